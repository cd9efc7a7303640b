// The driver: start-up in its fixed order, the wait window and the numbered error report.
#pragma once

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace scenario {

// What the driver shows a person: the wait window and message boxes. A real window when a
// display can be opened, standard error otherwise.
class Schermo {
 public:
  virtual ~Schermo() = default;
  virtual void mostra_attesa() = 0;    // shown and painted before the work starts
  virtual void chiudi_attesa() = 0;
  virtual void messaggio(const std::string& testo) = 0;  // modal, one OK button
  virtual void nota(const std::string& testo) = 0;       // a line on standard error, nothing to press
};

// The screen for this process: a window when a display can be opened, else standard error.
std::unique_ptr<Schermo> apri_schermo();

// The text of the numbered error report: " Errore n. " followed by the number.
[[nodiscard]] std::string testo_errore(std::string_view numero);

// The start-up sequence in its fixed order, working in `cartella`. Returns the exit status:
// 0 after a normal run, nonzero after a numbered report or a failure. The whole run holds the
// folder's lock, so a second run in the same folder waits for the first (up to
// `attesa_cartella`) and then does its own whole run. SIGINT, SIGTERM and SIGHUP are held back
// while it works: one that came stops the run after the documents, the descriptions are
// deleted, and the process ends by that signal when the lock is released.
[[nodiscard]] int Form_Load(const std::filesystem::path& cartella, Schermo& schermo);

// The folder that holds the running executable; nothing when the system cannot say.
[[nodiscard]] std::optional<std::filesystem::path> cartella_del_programma();

}  // namespace scenario
