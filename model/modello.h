// The route model: the one in-memory picture of the scenario. Readers and stores fill it,
// the completion pass finishes it, the binary writers write it out. One plain record, passed
// by reference to every procedure; nothing else holds scenario data.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace scenario {

// Tag of one value of the plan of the line. The tag is written into the line data file.
enum class Etichetta : std::uint8_t { vuoto = 0, intero = 2, doppio = 5 };

// The plan of the line: two coordinates per metre (0 across, 1 along the starting direction),
// each a tagged value. Tags and values are kept apart so a 1,000,000 m line stays small.
// A 16-bit integer value is held exactly in the double.
struct Tracciato {
  std::array<std::vector<Etichetta>, 2> etichette;
  std::array<std::vector<double>, 2> valori;

  // Metres 0 .. lunghezza_estesa, every element empty. A negative length leaves no metres.
  void dimensiona(std::int64_t lunghezza_estesa);
  void libera();
  // Number of metres held (0 when never allocated).
  [[nodiscard]] std::int64_t metri() const { return static_cast<std::int64_t>(etichette[0].size()); }
  [[nodiscard]] bool contiene(std::int64_t metro) const { return metro >= 0 && metro < metri(); }
  // Checked stores: false when the metre or the coordinate lies outside the plan.
  [[nodiscard]] bool imposta_intero(std::int64_t metro, int coordinata, std::int16_t valore) {
    return imposta(metro, coordinata, Etichetta::intero, valore);
  }
  [[nodiscard]] bool imposta_doppio(std::int64_t metro, int coordinata, double valore) {
    return imposta(metro, coordinata, Etichetta::doppio, valore);
  }

 private:
  bool imposta(std::int64_t metro, int coordinata, Etichetta e, double valore) {
    if (!contiene(metro) || coordinata < 0 || coordinata > 1) return false;
    const auto c = static_cast<std::size_t>(coordinata);
    etichette[c][static_cast<std::size_t>(metro)] = e;
    valori[c][static_cast<std::size_t>(metro)] = valore;
    return true;
  }
};

// One route cell: 50 metres of line.
struct Cella {
  std::uint8_t tipo = 0;
  std::int16_t valore1 = 0;
  std::int16_t valore2 = 0;
  std::int16_t valore3 = 0;
  std::int16_t valore4 = 0;
  std::uint8_t tempo_segnale = 0;
  std::uint8_t preavviso = 0;
  std::uint8_t tipo_montagna = 0;
  std::uint8_t velocita = 0;
  std::uint8_t pendenza = 0;
  std::uint8_t aderenza = 0;
};

// Kinds of cell (`tipo`).
namespace tipo_cella {
inline constexpr std::uint8_t niente = 0;
inline constexpr std::uint8_t segnale = 1;
inline constexpr std::uint8_t fine_rallentamento = 2;
inline constexpr std::uint8_t inizio_rallentamento = 3;
inline constexpr std::uint8_t avviso_rallentamento = 4;
inline constexpr std::uint8_t preavviso_rallentamento = 5;
inline constexpr std::uint8_t indicatore_v_max = 6;
inline constexpr std::uint8_t fermata = 10;
inline constexpr std::uint8_t riempitivo_montagna = 11;
inline constexpr std::uint8_t abbattimento = 12;
inline constexpr std::uint8_t abbattimento_senza_velocita = 13;
inline constexpr std::uint8_t cartello = 14;
}  // namespace tipo_cella

// A cell is free for a point feature when it holds nothing or only a hill filler mark.
[[nodiscard]] inline bool libera(const Cella& c) {
  return c.tipo == tipo_cella::niente || c.tipo == tipo_cella::riempitivo_montagna;
}

// One entry of the entry table: a station, a sign text, a chainage record or a header.
struct Voce {
  std::uint8_t tipo = 0;
  std::int32_t inizio_zona = 0;
  std::int32_t fine_zona = 0;
  std::int32_t posizione_m = 0;
  std::uint8_t classe = 0;
  std::string nome;
  std::int16_t parametro_1 = 0;
  std::int16_t parametro_2 = 0;
  std::int16_t parametro_3 = 0;
  std::int16_t parametro_4 = 0;
  std::int16_t parametro_5 = 0;
  std::uint8_t opzione_1 = 0;
  std::uint8_t opzione_2 = 0;
  std::uint8_t opzione_3 = 0;
  std::uint8_t opzione_4 = 0;
  std::int32_t orario = 0;
};

inline constexpr int numero_voci = 87;
inline constexpr int voce_progressiva_tre = 81;
inline constexpr int voce_progressiva_due = 82;
inline constexpr int voce_progressiva_uno = 83;
inline constexpr int voce_generale = 84;
inline constexpr int voce_testata_percorso = 85;
inline constexpr int voce_testata_treno = 86;
inline constexpr int prima_voce_cartello = 80;
inline constexpr int massimo_montagne = 80;

// Where in a description the row that set the error code stands. Not part of the numeric
// error state: the tools use it to put the code into words at its place in the file.
struct Luogo {
  std::string file;        // empty: the code has no place in a file
  std::int32_t linea = 0;  // 1-based
  std::int32_t colonna = 0;  // 1-based, in bytes
};

struct Modello {
  Tracciato tracciato;
  std::vector<Cella> celle;  // indices 0 .. ultima_cella once sized; empty before
  std::array<Voce, numero_voci> voci;
  std::array<std::int32_t, massimo_montagne + 1> montagna_inizio{};
  std::array<std::int32_t, massimo_montagne + 1> montagna_fine{};
  std::int32_t n_montagne = 0;
  std::int32_t scrivi_linea = 0;
  std::int32_t cont_k = 0;
  std::int32_t cont_m = 0;
  std::int32_t cont_n = 0;
  std::int32_t cont_i = 0;
  std::int32_t cont_j = 0;
  std::int32_t cont_s = 0;
  std::string nome_treno;
  std::string nome_percorso;
  std::string riga;
  std::int32_t lunghezza_estesa = 0;
  std::int32_t ultima_cella = 0;
  std::int32_t codice_errore = 0;
  std::int32_t posizione_errore = 0;

  Luogo luogo_errore;
};

// The cell at index i, or nullptr when i lies outside 0 .. ultima_cella (or the cells were
// never sized). Every index into `celle` goes through here.
[[nodiscard]] Cella* cella(Modello& m, std::int64_t i);
[[nodiscard]] const Cella* cella(const Modello& m, std::int64_t i);

// Clears the error code (the position stays) and every entry of `voci`, in index order.
void azzera_voci(Modello& m);

// Sizes the route for an extended length: ultima_cella, fresh zeroed cells 0 .. ultima_cella,
// and, when scrivi_linea is nonzero, a fresh empty plan. The caller has checked the length.
void dimensiona_percorso(Modello& m, std::int32_t lunghezza_estesa);

}  // namespace scenario
