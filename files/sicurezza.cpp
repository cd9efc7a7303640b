// What keeps a run whole against the world around it: the test "is this the same file", the
// held-back interruption signals, and the lock on a folder.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <system_error>
#include <thread>

#include "files/files.h"

namespace scenario {
namespace {

// The three signals a person or the system sends to stop a program.
::sigset_t segnali_di_arresto() {
  ::sigset_t s;
  ::sigemptyset(&s);
  ::sigaddset(&s, SIGINT);
  ::sigaddset(&s, SIGTERM);
  ::sigaddset(&s, SIGHUP);
  return s;
}

std::filesystem::path normale(const std::filesystem::path& p) {
  std::error_code ec;
  const auto assoluto = std::filesystem::absolute(p, ec);
  return (ec ? p : assoluto).lexically_normal();
}

}  // namespace

bool stesso_file(const std::filesystem::path& a, const std::filesystem::path& b) {
  struct ::stat sa {}, sb {};
  if (::stat(a.c_str(), &sa) == 0 && ::stat(b.c_str(), &sb) == 0) {
    return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
  }
  return normale(a) == normale(b);
}

SegnaliRimandati::SegnaliRimandati() {
  const ::sigset_t arresto = segnali_di_arresto();
  ::pthread_sigmask(SIG_BLOCK, &arresto, &maschera_);
}

SegnaliRimandati::~SegnaliRimandati() { ::pthread_sigmask(SIG_SETMASK, &maschera_, nullptr); }

bool interruzione_in_attesa() {
  ::sigset_t in_attesa;
  ::sigemptyset(&in_attesa);
  if (::sigpending(&in_attesa) != 0) return false;
  return ::sigismember(&in_attesa, SIGINT) == 1 || ::sigismember(&in_attesa, SIGTERM) == 1 ||
         ::sigismember(&in_attesa, SIGHUP) == 1;
}

BloccoCartella::~BloccoCartella() {
  if (fd_ >= 0) ::close(fd_);  // closing the folder releases the lock
}

EsitoBlocco blocca_cartella(const std::filesystem::path& cartella, std::chrono::milliseconds attesa,
                            const std::function<void()>& in_attesa) {
  EsitoBlocco esito;
  const int fd = ::open(cartella.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) {
    esito.perche = "cannot open the folder " + cartella.string() + ": " + std::strerror(errno);
    return esito;
  }
  const auto inizio = std::chrono::steady_clock::now();
  auto pausa = std::chrono::milliseconds(1);
  bool avvisato = false;
  while (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    const int numero = errno;
    if (numero == EINTR) continue;
    if (numero != EWOULDBLOCK) {
      ::close(fd);
      esito.perche = "cannot lock the folder " + cartella.string() + ": " + std::strerror(numero);
      return esito;
    }
    const auto passato = std::chrono::steady_clock::now() - inizio;
    if (passato >= attesa) {
      ::close(fd);
      esito.perche = "another run has been working in " + cartella.string() + " for " +
                     std::to_string(std::chrono::duration_cast<std::chrono::seconds>(passato).count()) +
                     " s; try again when it has ended";
      return esito;
    }
    if (!avvisato) {
      avvisato = true;
      if (in_attesa) in_attesa();
    }
    // A run takes milliseconds: look again soon, a little later each time, never past the bound.
    std::this_thread::sleep_for(std::min(pausa, std::chrono::duration_cast<std::chrono::milliseconds>(attesa - passato)));
    pausa = std::min(pausa * 2, std::chrono::milliseconds(50));
  }
  esito.blocco.emplace(fd);
  return esito;
}

}  // namespace scenario
