// percorso: the authoring tool for scenario descriptions.
#include <csignal>
#include <exception>
#include <iostream>
#include <string>
#include <vector>

#include "tools/percorso.h"

int main(int argc, char** argv) {
  // A write past the file-size limit is an ordinary write error, reported like a full disk.
  std::signal(SIGXFSZ, SIG_IGN);
  try {
    std::vector<std::string> argomenti(argv, argv + argc);
    return scenario::esegui_percorso(argomenti, std::cout, std::cerr);
  } catch (const std::exception& e) {
    std::cerr << "percorso: " << e.what() << "\n";
  } catch (...) {
    std::cerr << "percorso: an unexpected failure\n";
  }
  return 2;
}
