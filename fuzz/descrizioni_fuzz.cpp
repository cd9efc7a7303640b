// Fuzz target: arbitrary bytes as a line description and a train description, through the
// whole compile step into files kept in memory. The input is split at its first NUL byte:
// before it the line description, after it the train description.
#include <cstddef>
#include <cstdint>
#include <string>
#include <optional>
#include <string_view>

#include "compile/compile.h"

namespace {

// Takes every byte of every file and keeps only their count: the writers run in full, with
// nothing held in memory.
class Scarico final : public scenario::Destinazione {
 public:
  std::optional<std::string> scrivi(const std::string&, std::string_view dati) override {
    byte_ += dati.size();
    return std::nullopt;
  }
  std::optional<std::string> scrivi_a_pezzi(const std::string&, const scenario::Pezzi& pezzi) override {
    pezzi([this](std::string_view pezzo) {
      byte_ += pezzo.size();
      return true;
    });
    return std::nullopt;
  }

 private:
  std::size_t byte_ = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* dati, std::size_t n) {
  const std::string_view tutto(reinterpret_cast<const char*>(dati), n);
  const std::size_t taglio = tutto.find('\0');
  const std::string_view linea = tutto.substr(0, taglio);
  const std::string_view treno = taglio == std::string_view::npos ? std::string_view() : tutto.substr(taglio + 1);

  scenario::Modello m;
  m.nome_percorso = "Valdora";
  m.nome_treno = "Tarvo";
  scenario::Descrizioni d{{"linea.txt", std::string(linea), {}}, {"treno.txt", std::string(treno), {}}};
  Scarico dove;
  // The plan of a long line is the slow part; three inputs in four (by their length) skip it.
  (void)scenario::memorizza_percorso(m, n % 4 == 0 ? 1 : 0, d, dove);
  return 0;
}
