// The scenario program: no command line; it works in the folder that holds it.
#include "app/app.h"

int main() {
  auto schermo = scenario::apri_schermo();
  return scenario::Form_Load(scenario::cartella_del_programma(), *schermo);
}
