// Files on disk: the one way every file of the programs reaches the disk (whole, or not at
// all), and the one way a file is read (a regular file within a size that makes sense for it,
// never a folder, a device or a pipe).
#pragma once

#include <signal.h>

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace scenario {

// A file's bytes handed over piece by piece: the producer calls `ricevi` with each piece in
// order and stops when it returns false. The line data file of a long line is millions of
// values; this way it never needs a buffer of its own size.
using Ricevi = std::function<bool(std::string_view)>;
using Pezzi = std::function<void(const Ricevi& ricevi)>;

// Writes `dati` as the whole content of `percorso`: into a temporary file in the same folder,
// flushed to the disk, then renamed over the old one, and the folder flushed after the
// rename. A failure leaves the old file (or none), never a partial one, and returns the reason
// in words; a power loss leaves the old file or the new one. A replaced file keeps the old
// file's permission bits; a new one gets the usual ones (0666 less the umask). SIGINT,
// SIGTERM and SIGHUP wait until the write is over (see SegnaliRimandati), so no temporary
// file outlives an interrupted write.
[[nodiscard]] std::optional<std::string> scrivi_intero(const std::filesystem::path& percorso,
                                                       std::string_view dati);
[[nodiscard]] std::optional<std::string> scrivi_intero(const std::filesystem::path& percorso, const Pezzi& pezzi);

// A whole file read, or why it could not be read, in words ("no such file", "it is a
// folder", "it is not a regular file", "it is larger than N bytes", ...).
struct FileLetto {
  std::optional<std::string> dati;
  std::string perche;
};

// Reads a regular file of at most `massimo` bytes. The kind and the size are checked on the
// opened file before anything is read, so a pipe, a device or an endless file is refused
// without blocking or filling memory.
[[nodiscard]] FileLetto leggi_intero(const std::filesystem::path& file, std::uintmax_t massimo);

// Whether two paths name the same file: the same device and inode when both exist (links
// followed, so a symbolic or hard link to a file is that file), otherwise the same path once
// made absolute and normal. A command that writes asks this of each output against each input
// before it writes anything.
[[nodiscard]] bool stesso_file(const std::filesystem::path& a, const std::filesystem::path& b);

// While an object of this kind lives, SIGINT, SIGTERM and SIGHUP are held back for the
// calling thread; when it goes, the mask before it comes back and a signal that came
// meanwhile takes effect then, with its usual outcome (the process ends by it). Work that
// must not be cut in the middle (a whole-file write, a set of files, a run that writes files
// and deletes them again) runs inside one. Objects nest.
class SegnaliRimandati {
 public:
  SegnaliRimandati();
  ~SegnaliRimandati();
  SegnaliRimandati(const SegnaliRimandati&) = delete;
  SegnaliRimandati& operator=(const SegnaliRimandati&) = delete;

 private:
  ::sigset_t maschera_{};  // the signal mask before
};

// True when SIGINT, SIGTERM or SIGHUP has come and is held back: the work under way should
// stop at its next safe point and clean up what it made.
[[nodiscard]] bool interruzione_in_attesa();

// An exclusive advisory lock (flock) on a folder, taken on the folder itself, so it leaves no
// file behind; held until the object goes or the process ends.
class BloccoCartella {
 public:
  explicit BloccoCartella(int fd) : fd_(fd) {}
  BloccoCartella(BloccoCartella&& altro) noexcept : fd_(altro.fd_) { altro.fd_ = -1; }
  BloccoCartella& operator=(BloccoCartella&&) = delete;
  BloccoCartella(const BloccoCartella&) = delete;
  ~BloccoCartella();

 private:
  int fd_;
};

// The lock on `cartella`, or why it was not had. When another process holds it, `in_attesa`
// is called once and the lock is tried again until it is free or `attesa` has passed
// ("another run has been working in FOLDER for N s").
// How long a run that writes a set of files into a folder (the scenario program, a compile,
// an export) waits for another such run in the same folder before it gives up. A run takes
// milliseconds; a minute allows for a slow disk.
inline constexpr std::chrono::milliseconds attesa_cartella{60000};

struct EsitoBlocco {
  std::optional<BloccoCartella> blocco;
  std::string perche;
};
[[nodiscard]] EsitoBlocco blocca_cartella(const std::filesystem::path& cartella, std::chrono::milliseconds attesa,
                                          const std::function<void()>& in_attesa);

}  // namespace scenario
