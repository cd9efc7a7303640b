// The route model: the one in-memory picture of the scenario. Readers and stores fill it,
// the completion pass finishes it, the binary writers write it out. One plain record, passed
// by reference to every procedure; nothing else holds scenario data.
//
// The room's other parts: esito.h (the outcome of a step), errori.h (the codes, named),
// aritmetica.h (rounding and narrowing), archivi.h (the feature stores), completamento.h (the
// completion pass), codici.h (the scenario codes).
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "model/aritmetica.h"
#include "model/esito.h"

namespace scenario {

// A route cell covers this many metres of line.
inline constexpr std::int32_t metri_cella = 50;
// The cell of position p with the given offset: round(p / 50 + offset), halves to even.
[[nodiscard]] constexpr std::int64_t cella_di(std::int64_t p, std::int64_t offset = 0) {
  return arrotonda(p + metri_cella * offset, metri_cella);
}
// The route runs on this many metres past the line's end (the run-out).
inline constexpr std::int32_t coda_percorso = 7000;
// The longest line a description may give.
inline constexpr std::int32_t lunghezza_massima = 1000000;

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

// A cell's `pendenza` holds the gradient plus this; its `velocita` the speed limit divided by
// this many km/h.
inline constexpr std::int32_t scarto_pendenza = 100;
inline constexpr std::int32_t passo_velocita = 5;

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

// The entry table: stations from entry 1 up, sign texts from entry 80 down, then the three
// chainage records (each: `inizio_zona` the position it applies from, `fine_zona` the value
// added there, `posizione_m` a flag tested for 1) and the three header entries.
inline constexpr int numero_voci = 87;
inline constexpr int prima_voce_cartello = 80;
inline constexpr int voce_progressiva_tre = 81;
inline constexpr int voce_progressiva_due = 82;
inline constexpr int voce_progressiva_uno = 83;
inline constexpr int voce_generale = 84;
inline constexpr int voce_testata_percorso = 85;
inline constexpr int voce_testata_treno = 86;
inline constexpr int massimo_montagne = 80;

// A named field of one of the header entries: which entry, which member. Read and written
// through `campo`, on a model's table or on one decoded from a simulation file.
template <typename T>
struct CampoTestata {
  int voce;
  T Voce::*membro;
};

template <typename Voci, typename T>
[[nodiscard]] constexpr auto& campo(Voci& voci, CampoTestata<T> c) {
  return voci[static_cast<std::size_t>(c.voce)].*c.membro;
}

namespace testata {
// Entry 84, the general data.
inline constexpr CampoTestata<std::int32_t> massa_frenata{voce_generale, &Voce::inizio_zona};  // per cent
inline constexpr CampoTestata<std::int32_t> lunghezza_linea{voce_generale, &Voce::fine_zona};  // metres
inline constexpr CampoTestata<std::int32_t> numero_vetture{voce_generale, &Voce::posizione_m};
// Entry 85, the route header. The three background settings are stored one, three, two.
inline constexpr CampoTestata<std::int32_t> sfondo_uno{voce_testata_percorso, &Voce::inizio_zona};
inline constexpr CampoTestata<std::int32_t> sfondo_due{voce_testata_percorso, &Voce::posizione_m};
inline constexpr CampoTestata<std::int32_t> sfondo_tre{voce_testata_percorso, &Voce::fine_zona};
inline constexpr CampoTestata<std::string> nome_percorso{voce_testata_percorso, &Voce::nome};
inline constexpr CampoTestata<std::int16_t> marca_linea{voce_testata_percorso, &Voce::parametro_1};
inline constexpr CampoTestata<std::int32_t> codice_pesato{voce_testata_percorso, &Voce::orario};
// Entry 86, the train header.
inline constexpr CampoTestata<std::int32_t> ripetizione_inizio{voce_testata_treno, &Voce::inizio_zona};  // metres
inline constexpr CampoTestata<std::int32_t> ripetizione_fine{voce_testata_treno, &Voce::fine_zona};      // metres
inline constexpr CampoTestata<std::int32_t> ripetizione_codici{voce_testata_treno, &Voce::posizione_m};  // 0, 4, 9
inline constexpr CampoTestata<std::string> nome_treno{voce_testata_treno, &Voce::nome};
inline constexpr CampoTestata<std::int16_t> sabbia{voce_testata_treno, &Voce::parametro_1};
inline constexpr CampoTestata<std::int16_t> ore{voce_testata_treno, &Voce::parametro_3};
inline constexpr CampoTestata<std::int16_t> minuti{voce_testata_treno, &Voce::parametro_4};
inline constexpr CampoTestata<std::int16_t> secondi{voce_testata_treno, &Voce::parametro_5};
}  // namespace testata

// The header marks: entry 85's `parametro_1` and cell 1's `valore1` (cell 1 doubles as the
// header of the train data file; its `valore2` takes the plain scenario code).
inline constexpr std::int16_t marca_linea = 610;
inline constexpr std::int16_t marca_percorso = 5121;

struct Modello {
  Tracciato tracciato;
  std::vector<Cella> celle;  // indices 0 .. ultima_cella once sized; empty before
  std::array<Voce, numero_voci> voci;
  std::array<std::int32_t, massimo_montagne + 1> montagna_inizio{};
  std::array<std::int32_t, massimo_montagne + 1> montagna_fine{};
  std::int32_t n_montagne = 0;
  std::int32_t scrivi_linea = 0;
  // The system's scratch counters `cont_i`, `cont_j`, `cont_k`, `cont_m`, `cont_n`, `cont_s`
  // and its field text `riga` are not kept here: each procedure that uses them keeps its
  // own, and none depends on what another left in them.
  std::string nome_treno;
  std::string nome_percorso;
  std::int32_t lunghezza_estesa = 0;
  std::int32_t ultima_cella = 0;
  std::int32_t codice_errore = 0;
  std::int32_t posizione_errore = 0;
};

// The cell at index i, or nullptr when i lies outside 0 .. ultima_cella (or the cells were
// never sized). Every index into `celle` goes through here.
[[nodiscard]] Cella* cella(Modello& m, std::int64_t i);
[[nodiscard]] const Cella* cella(const Modello& m, std::int64_t i);

// The range test of every positioned row: true when (posizione + margine) / 50 lies beyond
// the last cell. Before the route is sized the last cell is 0.
[[nodiscard]] bool fuori_percorso(const Modello& m, std::int64_t posizione, std::int64_t margine);

// Clears the error code (the position stays) and every entry of `voci`, in index order.
void azzera_voci(Modello& m);

// Sizes the route for a line length L (checked by the caller against `lunghezza_massima`):
// lunghezza_estesa = L + 7000, ultima_cella, fresh zeroed cells 0 .. ultima_cella, and, when
// scrivi_linea is nonzero, a fresh empty plan.
void dimensiona_percorso(Modello& m, std::int32_t lunghezza_linea);

// Sets the error state from an outcome: the code, and the position when the outcome has one.
void registra(Modello& m, const Esito& e);

}  // namespace scenario
