#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "files/files.h"

namespace scenario {
namespace {

std::string motivo(int numero) { return std::strerror(numero); }

}  // namespace

std::optional<std::string> scrivi_intero(const std::filesystem::path& percorso, std::string_view dati) {
  return scrivi_intero(percorso, [dati](const Ricevi& ricevi) { ricevi(dati); });
}

std::optional<std::string> scrivi_intero(const std::filesystem::path& percorso, const Pezzi& pezzi) {
  // An interruption waits for the end of the write, so the temporary file is never left.
  const SegnaliRimandati rimandati;
  const std::filesystem::path cartella =
      percorso.has_parent_path() ? percorso.parent_path() : std::filesystem::path(".");
  // A replaced file keeps its permission bits; a new one gets the usual ones.
  ::mode_t permessi = 0;
  struct ::stat vecchio {};
  if (::stat(percorso.c_str(), &vecchio) == 0 && S_ISREG(vecchio.st_mode)) {
    permessi = vecchio.st_mode & 0777;
  } else {
    const ::mode_t maschera = ::umask(0);
    ::umask(maschera);
    permessi = static_cast<::mode_t>(0666 & ~maschera);
  }
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
  if (::fchmod(fd, permessi) != 0) return abbandona(errno);
  // The bytes reach the disk before the name does: after a power loss the name holds the old
  // file or the whole new one, never an empty one.
  if (::fsync(fd) != 0) return abbandona(errno);
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
  // The rename is a change of the folder: flush it too, so the new name itself is kept.
  const int fd_cartella = ::open(cartella.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd_cartella < 0) return "cannot open the folder to flush it: " + motivo(errno);
  const int esito_cartella = ::fsync(fd_cartella);
  const int numero = errno;
  ::close(fd_cartella);
  // Some file systems cannot flush a folder (EINVAL): there the rename is as safe as it gets.
  if (esito_cartella != 0 && numero != EINVAL) return "cannot flush the folder: " + motivo(numero);
  return std::nullopt;
}

FileLetto leggi_intero(const std::filesystem::path& file, std::uintmax_t massimo) {
  FileLetto letto;
  // Opened without blocking: a pipe with no writer must not hold the program.
  const int fd = ::open(file.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    const int numero = errno;
    letto.perche = numero == ENOENT ? "no such file" : motivo(numero);
    return letto;
  }
  struct ::stat st {};
  if (::fstat(fd, &st) != 0) {
    letto.perche = motivo(errno);
  } else if (S_ISDIR(st.st_mode)) {
    letto.perche = "it is a folder";
  } else if (!S_ISREG(st.st_mode)) {
    letto.perche = "it is not a regular file";
  } else if (static_cast<std::uintmax_t>(st.st_size) > massimo) {
    letto.perche = "it is larger than " + std::to_string(massimo) + " bytes";
  }
  if (!letto.perche.empty()) {
    ::close(fd);
    return letto;
  }
  std::string dati(static_cast<std::size_t>(st.st_size), '\0');
  std::size_t n = 0;
  // Read to the end, never past the limit: a file that grows while it is read is refused too.
  while (true) {
    if (n == dati.size()) {
      if (dati.size() >= massimo) {
        char resto = 0;
        const ::ssize_t r = ::read(fd, &resto, 1);
        if (r == 0) break;
        letto.perche = r < 0 ? motivo(errno) : "it is larger than " + std::to_string(massimo) + " bytes";
        ::close(fd);
        return letto;
      }
      dati.resize(std::min<std::uintmax_t>(massimo, dati.size() * 2 + 4096));
    }
    const ::ssize_t r = ::read(fd, dati.data() + n, dati.size() - n);
    if (r < 0) {
      if (errno == EINTR) continue;
      letto.perche = motivo(errno);
      ::close(fd);
      return letto;
    }
    if (r == 0) break;
    n += static_cast<std::size_t>(r);
  }
  ::close(fd);
  dati.resize(n);
  letto.dati = std::move(dati);
  return letto;
}

}  // namespace scenario
