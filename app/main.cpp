// The scenario program: no command line; it works in the folder that holds it.
#include "app/app.h"

int main() {
  auto schermo = scenario::apri_schermo();
  const auto cartella = scenario::cartella_del_programma();
  if (!cartella) {
    // Never fall back to the current directory: the program writes only beside itself.
    schermo->messaggio("Cannot find the folder that holds the program.");
    return 1;
  }
  return scenario::Form_Load(*cartella, *schermo);
}
