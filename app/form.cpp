#include <system_error>
#include <unistd.h>

#include "app/app.h"

namespace scenario {

std::string testo_errore(std::string_view numero) { return " Errore n. " + std::string(numero); }

std::filesystem::path cartella_del_programma() {
  std::error_code ec;
  const auto eseguibile = std::filesystem::read_symlink("/proc/self/exe", ec);
  if (ec) return std::filesystem::current_path();
  return eseguibile.parent_path();
}

int Form_Load(const std::filesystem::path& cartella, Schermo& schermo) {
  (void)cartella;
  schermo.mostra_attesa();
  schermo.chiudi_attesa();
  return 0;
}

}  // namespace scenario
