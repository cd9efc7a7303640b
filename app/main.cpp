// The scenario program: no command line; it works in the folder that holds it.
#include <csignal>
#include <exception>
#include <string>

#include "app/app.h"

int main() {
  // A write past the file-size limit is an ordinary write error, reported like a full disk.
  std::signal(SIGXFSZ, SIG_IGN);
  auto schermo = scenario::apri_schermo();
  try {
    const auto cartella = scenario::cartella_del_programma();
    if (!cartella) {
      // Never fall back to the current directory: the program writes only beside itself.
      schermo->messaggio("Cannot find the folder that holds the program.");
      return 1;
    }
    return scenario::Form_Load(*cartella, *schermo);
  } catch (const std::exception& e) {
    schermo->messaggio(std::string("The scenario run failed: ") + e.what());
  } catch (...) {
    schermo->messaggio("The scenario run failed.");
  }
  return 1;
}
