#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>
#include <vector>

#include "output/output.h"

namespace scenario {
namespace {

std::string motivo(int numero) { return std::strerror(numero); }

}  // namespace

std::optional<std::string> scrivi_intero(const std::filesystem::path& percorso, std::string_view dati) {
  return scrivi_intero(percorso, [dati](const Ricevi& ricevi) { ricevi(dati); });
}

std::optional<std::string> scrivi_intero(const std::filesystem::path& percorso, const Pezzi& pezzi) {
  const std::filesystem::path cartella =
      percorso.has_parent_path() ? percorso.parent_path() : std::filesystem::path(".");
  // The temporary file sits beside the target, so the rename never crosses file systems.
  std::string base = percorso.filename().string();
  base.insert(base.begin(), '.');
  base.append(".XXXXXX");
  const std::string modello = (cartella / base).string();
  std::vector<char> nome(modello.begin(), modello.end());
  nome.push_back('\0');
  const int fd = ::mkstemp(nome.data());
  if (fd < 0) return "cannot create a file in " + cartella.string() + ": " + motivo(errno);
  const std::string temporaneo(nome.data());

  auto abbandona = [&](int numero) {
    ::close(fd);
    ::unlink(temporaneo.c_str());
    return std::optional<std::string>(motivo(numero));
  };

  int errore_scrittura = 0;
  pezzi([&](std::string_view dati) {
    std::size_t scritti = 0;
    while (scritti < dati.size()) {
      const ::ssize_t n = ::write(fd, dati.data() + scritti, dati.size() - scritti);
      if (n < 0) {
        if (errno == EINTR) continue;
        errore_scrittura = errno;
        return false;
      }
      scritti += static_cast<std::size_t>(n);
    }
    return true;
  });
  if (errore_scrittura != 0) return abbandona(errore_scrittura);
  // mkstemp creates the file readable by the owner only; give it the usual permissions.
  const ::mode_t maschera = ::umask(0);
  ::umask(maschera);
  if (::fchmod(fd, static_cast<::mode_t>(0666 & ~maschera)) != 0) return abbandona(errno);
  if (::close(fd) != 0) {
    const int numero = errno;
    ::unlink(temporaneo.c_str());
    return motivo(numero);
  }
  if (::rename(temporaneo.c_str(), percorso.c_str()) != 0) {
    const int numero = errno;
    ::unlink(temporaneo.c_str());
    return motivo(numero);
  }
  return std::nullopt;
}

std::optional<std::string> CartellaSuDisco::scrivi(const std::string& nome, std::string_view dati) {
  return scrivi_intero(cartella_ / nome, dati);
}

std::optional<std::string> CartellaSuDisco::scrivi_a_pezzi(const std::string& nome, const Pezzi& pezzi) {
  return scrivi_intero(cartella_ / nome, pezzi);
}

std::optional<std::string> Destinazione::scrivi_a_pezzi(const std::string& nome, const Pezzi& pezzi) {
  std::string tutto;
  pezzi([&tutto](std::string_view pezzo) {
    tutto.append(pezzo);
    return true;
  });
  return scrivi(nome, tutto);
}

}  // namespace scenario
