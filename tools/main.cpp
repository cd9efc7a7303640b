// percorso: the authoring tool for scenario descriptions.
#include <iostream>
#include <string>
#include <vector>

#include "tools/percorso.h"

int main(int argc, char** argv) {
  std::vector<std::string> argomenti(argv, argv + argc);
  return scenario::esegui_percorso(argomenti, std::cout, std::cerr);
}
