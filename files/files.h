// Files on disk: the one way every file of the programs reaches the disk (whole, or not at
// all), and the one way a file is read (a regular file within a size that makes sense for it,
// never a folder, a device or a pipe).
#pragma once

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
// then renamed over the old one. A failure leaves the old file (or none), never a partial
// one, and returns the reason in words.
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

}  // namespace scenario
