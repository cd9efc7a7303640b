// `percorso render`: one self-contained HTML page that shows a compiled scenario to its
// author (the plan of the line, the gradient and speed profiles, the tables of stations,
// signals and boards, and the diagnostics), and the same figures as SVG, PNG or PDF files.
//
// The page is drawn from the three things the simulator reads: the plan (`tracciato`), the
// cells (`celle`) and the entries (`voci`), whether they come from the compile step run in
// memory or from a scenario's binary files.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <iosfwd>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "model/modello.h"
#include "reader/reader.h"

namespace scenario {

// One finding about an author's descriptions, as a checker reports it: shown on the page
// at its file, line and column.
enum class Gravita { errore, avviso, nota };
struct Diagnostica {
  Gravita gravita = Gravita::errore;
  std::string id;            // stable identifier of the kind of finding; may be empty
  std::string file;          // empty: not tied to a file
  std::int32_t linea = 0;    // from 1; 0: the whole file
  std::int32_t colonna = 0;  // from 1; 0: the whole line
  std::string messaggio;
};

// What the page is drawn from. Texts (names, sign texts) are Windows-1252 as in the files.
struct DatiScenario {
  std::string nome_percorso;
  std::string nome_treno;
  Tracciato tracciato;  // no metres: there is no plan to draw
  std::vector<Cella> celle;
  std::array<Voce, numero_voci> voci{};
  std::string origine;  // where the data came from, in words, for the page's header
};

// The outcome of loading or compiling: the data, or the reason there are none. Diagnostics
// collected on the way (the compile step's error, a mismatch between files) go with it.
struct Caricamento {
  std::optional<DatiScenario> dati;
  std::string errore;  // set when there are no data
  std::vector<Diagnostica> diagnostiche;
};

// The compile step run in memory on two descriptions, with the plan of the line; no file is
// written. An error code of the compile becomes a diagnostic at its row; the data are kept,
// as far as the compile filled them.
[[nodiscard]] Caricamento compila_in_memoria(const Descrizioni& d, const std::string& nome_percorso,
                                             const std::string& nome_treno);

// A scenario's three binary files from `cartella`: <route>_linea.dat, <route>_<train>.sim and
// <route>_<train>.dat. Empty names are taken from the file names found there, which must then
// name one scenario only.
[[nodiscard]] Caricamento carica_file_binari(const std::filesystem::path& cartella, const std::string& nome_percorso,
                                             const std::string& nome_treno);

// The chainage at a position: the position plus the offset of the chainage entry in use
// (`voci` 81..83) that starts last at or before it; the position itself where none does.
[[nodiscard]] std::int64_t progressiva(const std::array<Voce, numero_voci>& voci, std::int64_t posizione);

// The classes of curve, by heading change per metre (rad/m), class 1 first.
inline constexpr std::array<double, 6> classi_curva = {0.0001, 0.0002, 0.0004, 0.001, 0.002, 0.003};

// A stretch of line with one value: [inizio, fine) in metres.
struct Tratto {
  std::int64_t inizio = 0;
  std::int64_t fine = 0;
  std::int32_t valore = 0;
};

// A curve found in the plan: the metres over which the heading turns at one class.
struct Curva {
  std::int64_t inizio = 0;
  std::int64_t fine = 0;
  int classe = 0;       // 1..6
  bool destra = false;  // turns towards positive coordinate 0
  double k = 0;         // mean heading change per metre, rad/m
};

struct StazioneVista {
  int numero = 0;  // entry of `voci`, from 1
  const Voce* voce = nullptr;
  std::optional<std::int64_t> cella_fermata;  // the kind-10 cell that names it, if any
};

// A feature held in one cell, with the position it stands for.
struct PuntoCella {
  std::int64_t cella = 0;
  std::int64_t posizione = 0;
  const Cella* c = nullptr;
};

struct Galleria {
  std::int64_t inizio = 0;
  std::int64_t fine = 0;
  std::uint8_t tipo = 0;  // `tipo_montagna`
  std::string nome;       // from a "(Galleria)(name)" sign near it; may be empty
};

// A point of the plan, in metres: x across (coordinate 0), y along the starting direction.
struct PuntoPianta {
  std::int64_t metro = 0;
  double x = 0;
  double y = 0;
};

// The scenario read for drawing: every list in order of position.
struct Quadro {
  const DatiScenario* dati = nullptr;
  std::int64_t lunghezza = 0;   // the line, `voci` 84 fine_zona (0 .. 1,000,000)
  std::int64_t estensione = 0;  // the line and its run-out (`coda_percorso`)
  std::vector<StazioneVista> stazioni;
  std::vector<PuntoCella> segnali;        // kind 1
  std::vector<PuntoCella> indicatori;     // kind 6
  std::vector<PuntoCella> cartelli;       // kind 14
  std::vector<PuntoCella> rallentamenti;  // kinds 2, 3, 4
  std::vector<PuntoCella> fermate;        // kind 10
  std::vector<PuntoCella> abbattimenti;   // kinds 12, 13
  std::vector<Galleria> gallerie;
  std::vector<Curva> curve;
  std::vector<Tratto> pendenze;  // per mille; the cells never written at the end are left out
  std::vector<Tratto> velocita;  // the train's limit, km/h; likewise
  // The elevation relative to the start, in millimetres, at every change of gradient and at
  // the end of the gradients: straight between these points.
  std::vector<std::pair<std::int64_t, std::int64_t>> quota;
};

[[nodiscard]] Quadro analizza(const DatiScenario& dati);

// The text of a sign (or of an entry) without its panels' brackets: "(Galleria )(Tormena  )"
// gives {"Galleria", "Tormena"}.
[[nodiscard]] std::vector<std::string> pannelli(std::string_view testo);

// The plan between two metres thinned for drawing at `tolleranza` metres: a point is kept only
// where the track would otherwise stray more than `tolleranza` from the drawn polyline. The
// first and last metres with a point are always kept.
[[nodiscard]] std::vector<PuntoPianta> sfoltisci(const Tracciato& t, std::int64_t da, std::int64_t a,
                                                 double tolleranza);

enum class Figura { pianta, pendenze, velocita };
enum class Formato { svg, png, pdf };

// One figure as an SVG document of its own (`autonomo`) or as an element for the page.
[[nodiscard]] std::string svg_figura(const Quadro& q, Figura f, bool autonomo);

// The whole page.
[[nodiscard]] std::string pagina_html(const Quadro& q, std::span<const Diagnostica> diagnostiche);

// An SVG document drawn into PNG (twice its size, for sharp text) or PDF bytes. Returns the
// reason on failure.
[[nodiscard]] std::optional<std::string> converti_svg(std::string_view svg, Formato formato, std::string& uscita);

// What `percorso render` was asked to do.
struct OpzioniRendi {
  std::filesystem::path file_linea;
  std::filesystem::path file_treno;
  std::filesystem::path cartella_binari;  // set: draw from the binary files in it
  std::string percorso;                   // empty: the default (descriptions) or from the files
  std::string treno;
  std::filesystem::path uscita;
  std::optional<Figura> figura;  // set: one figure instead of the page
  Formato formato = Formato::svg;
};

// Writes the page or the figure. Exit status: 0 written, 1 written but the compile step ended
// with an error code (shown on the page), 2 usage, unreadable input or unwritable output.
int rendi(const OpzioniRendi& opzioni, std::ostream& out, std::ostream& err);

}  // namespace scenario
