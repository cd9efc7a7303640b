// `percorso dump`: the three binary files decoded for people. A summary first, then every
// record that holds something with its byte offset, and each field with its name, its value
// and, where the value is a code or a packed group, what it means. `--json` gives the same
// content as one JSON object. Each record's layout is walked from the one place it is
// written down (`campi_cella`, `campi_voce`), so the offsets shown are those of the file.
#include <nlohmann/json.hpp>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <memory>
#include <optional>
#include <ostream>
#include <sstream>
#include <string_view>
#include <type_traits>

#include "model/archivi.h"
#include "model/codici.h"
#include "output/codifica.h"
#include "output/output.h"
#include "tools/percorso.h"

namespace scenario {
namespace {

using Json = nlohmann::ordered_json;

// ---------------------------------------------------------------------------------------------
// Words and numbers

// Windows-1252 text as UTF-8, for the terminal and for JSON; the five bytes the code page
// leaves undefined become U+FFFD.
std::string utf8_da_cp1252(std::string_view testo) {
  static constexpr char16_t alti[32] = {
      0x20AC, 0xFFFD, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
      0x2039, 0x0152, 0xFFFD, 0x017D, 0xFFFD, 0xFFFD, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
      0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0xFFFD, 0x017E, 0x0178};
  std::string r;
  for (const char c : testo) {
    const auto b = static_cast<unsigned char>(c);
    const char32_t u = b >= 0x80 && b < 0xA0 ? alti[b - 0x80] : b;
    if (u < 0x80) {
      r.push_back(static_cast<char>(u));
    } else if (u < 0x800) {
      r.push_back(static_cast<char>(0xC0 | (u >> 6)));
      r.push_back(static_cast<char>(0x80 | (u & 0x3F)));
    } else {
      r.push_back(static_cast<char>(0xE0 | (u >> 12)));
      r.push_back(static_cast<char>(0x80 | ((u >> 6) & 0x3F)));
      r.push_back(static_cast<char>(0x80 | (u & 0x3F)));
    }
  }
  return r;
}

// A name in quotes for the terminal: control characters and quotes escaped.
std::string tra_virgolette(std::string_view utf8) {
  std::string r = "\"";
  for (const char c : utf8) {
    const auto b = static_cast<unsigned char>(c);
    if (b < 0x20 || b == 0x7F) {
      static constexpr char cifre[] = "0123456789abcdef";
      r += "\\x";
      r.push_back(cifre[b >> 4]);
      r.push_back(cifre[b & 0xF]);
    } else if (c == '"' || c == '\\') {
      r.push_back('\\');
      r.push_back(c);
    } else {
      r.push_back(c);
    }
  }
  return r + "\"";
}

// A chainage in kilometres with three decimals, from metres: 9450 -> "9.450", -500 -> "-0.500".
std::string km(std::int64_t metri) {
  const std::int64_t a = metri < 0 ? -metri : metri;
  std::string decimali = std::to_string(a % 1000);
  decimali.insert(0, 3 - decimali.size(), '0');
  return (metri < 0 ? "-" : "") + std::to_string(a / 1000) + "." + decimali;
}

// The shortest text that reads back as the same double.
std::string numero(double v) {
  char buf[64];
  const auto r = std::to_chars(buf, buf + sizeof buf, v);
  return std::string(buf, r.ptr);
}

// Metres to the millimetre, for words: 1999.9385013248175 -> "1999.939".
std::string metri_mm(double v) {
  char buf[64];
  const auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed, 3);
  return std::string(buf, r.ptr);
}

// A time of day: 8, 12, 50 -> "8:12:50"; from seconds since midnight, 29570 -> "8:12:50".
std::string ora(std::int64_t ore, std::int64_t minuti, std::int64_t secondi) {
  auto due = [](std::int64_t n) { return (n >= 0 && n < 10 ? "0" : "") + std::to_string(n); };
  return std::to_string(ore) + ":" + due(minuti) + ":" + due(secondi);
}
std::string ora(std::int64_t secondi) { return ora(secondi / 3600, secondi / 60 % 60, secondi % 60); }

// The chainage as the timetable prints it: from the chainage entries in use (81 to 83, each
// `inizio_zona` = from which line metre, `fine_zona` = what is added there), the one with the
// largest start at or before the position applies; before all of them the chainage is the
// position itself. Known only when the simulation file is at hand.
class Progressiva {
 public:
  Progressiva() = default;
  explicit Progressiva(const std::array<Voce, numero_voci>& voci) : nota_(true) {
    for (int k = voce_progressiva_tre; k <= voce_progressiva_uno; ++k) {
      const Voce& v = voci[static_cast<std::size_t>(k)];
      if (in_uso(v)) voci_.emplace_back(v.inizio_zona, v.fine_zona);
    }
  }
  static bool in_uso(const Voce& v) { return v.inizio_zona != 0 || v.fine_zona != 0 || v.posizione_m != 0; }
  [[nodiscard]] bool nota() const { return nota_; }
  [[nodiscard]] std::int64_t di(std::int64_t p) const {
    const std::pair<std::int64_t, std::int64_t>* scelta = nullptr;
    for (const auto& v : voci_) {
      if (v.first <= p && (scelta == nullptr || v.first > scelta->first)) scelta = &v;
    }
    return scelta == nullptr ? p : p + scelta->second;
  }
  // "9450 m (km 9.450)", or "9450 m" when the chainage is not known.
  [[nodiscard]] std::string posizione(std::int64_t p) const {
    return std::to_string(p) + " m" + (nota_ ? " (km " + km(di(p)) + ")" : "");
  }
  // The same for JSON: {"position_m": p, "chainage_m": ...}, or with a prefix
  // {"from_m": p, "from_chainage_m": ...}.
  void in_json(Json& j, std::int64_t p, const std::string& prefisso = "") const {
    j[(prefisso.empty() ? "position" : prefisso) + "_m"] = p;
    if (nota_) j[(prefisso.empty() ? "" : prefisso + "_") + "chainage_m"] = di(p);
  }

 private:
  bool nota_ = false;
  std::vector<std::pair<std::int64_t, std::int64_t>> voci_;
};

// ---------------------------------------------------------------------------------------------
// What is shown: a summary, then records with their fields. The text and the JSON forms are
// both made from these.

struct CampoMostrato {
  std::string nome;
  std::size_t offset;
  Json valore;
  std::string significato;
};

struct RecordMostrato {
  std::string titolo;       // "cell 190", "entry 85", "metre 3000"
  std::string dove;         // "bytes 2850..2864"
  Json chiavi;              // what identifies the record in JSON, with its offset
  std::string descrizione;  // the record in words
  Json dettagli;            // the packed values taken apart, for JSON (null when none)
  std::vector<CampoMostrato> campi;
};

struct Riepilogo {
  std::vector<std::string> righe;  // the text form
  Json dati;                       // the JSON form
};

using Emetti = std::function<void(const RecordMostrato&)>;

// The size a field takes in the file: an integer its width, a name its 16-bit length and bytes.
template <typename T>
std::size_t dimensione_campo(const T& campo) {
  if constexpr (std::is_same_v<T, std::string>) {
    return 2 + std::min(campo.size(), nome_massimo);
  } else {
    return sizeof(T);
  }
}

template <typename T>
Json valore_json(const T& campo) {
  if constexpr (std::is_same_v<T, std::string>) {
    return utf8_da_cp1252(campo);
  } else {
    return static_cast<std::int64_t>(campo);
  }
}

// ---------------------------------------------------------------------------------------------
// The train data file

std::string_view parole_tipo_cella(std::uint8_t tipo) {
  switch (tipo) {
    case tipo_cella::niente: return "nothing";
    case tipo_cella::segnale: return "signal";
    case tipo_cella::fine_rallentamento: return "slowdown end";
    case tipo_cella::inizio_rallentamento: return "slowdown start";
    case tipo_cella::avviso_rallentamento: return "slowdown warning point";
    case tipo_cella::preavviso_rallentamento: return "slowdown pre-warning step";
    case tipo_cella::indicatore_v_max: return "speed-indicator board";
    case tipo_cella::fermata: return "station stop";
    case tipo_cella::riempitivo_montagna: return "hill filler mark";
    case tipo_cella::abbattimento: return "speed-cap point";
    case tipo_cella::abbattimento_senza_velocita: return "speed-cap point without a speed";
    case tipo_cella::cartello: return "indication sign";
    default: return "unknown kind: never written by the compile step";
  }
}

// How many of the four values a kind writes (the rest keep what an earlier feature left).
int valori_scritti(std::uint8_t tipo) {
  switch (tipo) {
    case tipo_cella::segnale:
    case tipo_cella::indicatore_v_max: return 4;
    case tipo_cella::fine_rallentamento:
    case tipo_cella::inizio_rallentamento: return 3;
    case tipo_cella::avviso_rallentamento:
    case tipo_cella::preavviso_rallentamento: return 2;
    case tipo_cella::fermata:
    case tipo_cella::abbattimento:
    case tipo_cella::cartello: return 1;
    default: return 0;
  }
}

// Kinds placed one cell further than their position: cell round(p / 50 + 1).
bool un_passo_avanti(std::uint8_t tipo) {
  return tipo == tipo_cella::segnale || tipo == tipo_cella::fine_rallentamento ||
         tipo == tipo_cella::inizio_rallentamento || tipo == tipo_cella::avviso_rallentamento ||
         tipo == tipo_cella::indicatore_v_max || tipo == tipo_cella::cartello;
}

// What the cells point at: the entry table of the simulation file, when it is at hand.
struct Voci {
  std::optional<std::array<Voce, numero_voci>> voci;
  std::string nome(std::int64_t k) const {
    if (!voci || k < 0 || k >= numero_voci) return {};
    return utf8_da_cp1252((*voci)[static_cast<std::size_t>(k)].nome);
  }
};

std::string parole_coppia(char rango, std::int16_t v) {
  if (v < 0) return "negative: cannot be taken apart";
  return std::string("rank ") + rango + " " + std::to_string(v / 20) + " km/h; second set " +
         std::to_string(v % 20 * 5) + " km/h";
}

// The meaning of one value field of a cell (indice 1 to 4).
std::string significato_valore(const Cella& c, std::int64_t i, int indice, std::int16_t v, const Voci& voci) {
  if (i == 1 && indice == 1) {
    return "route mark" + std::string(v == marca_percorso ? "" : ", expected " + std::to_string(marca_percorso));
  }
  if (i == 1 && indice == 2) return "plain scenario code";
  if (indice > valori_scritti(c.tipo)) return v == 0 ? "" : "not written for this kind: left by an earlier feature";
  const std::array<std::string_view, 4> gruppi = {"1", "2", "3", ""};
  switch (c.tipo) {
    case tipo_cella::segnale:
      if (v < 0) return "negative: cannot be taken apart";
      if (indice < 4) {
        return "s" + std::string(gruppi[static_cast<std::size_t>(indice - 1)]) + " " + std::to_string(v / 10) +
               ", d" + std::string(gruppi[static_cast<std::size_t>(indice - 1)]) + " " + std::to_string(v % 10);
      }
      return "rapp " + std::to_string(v / 10) + ", sx " + std::to_string(v % 10 / 3) + ", dx " +
             std::to_string(v % 10 % 3);
    case tipo_cella::fine_rallentamento:
    case tipo_cella::inizio_rallentamento:
    case tipo_cella::avviso_rallentamento:
      if (indice == 1) return "speed " + std::to_string(v) + " km/h";
      if (indice == 2) return "d_v";
      return "f_tt";
    case tipo_cella::preavviso_rallentamento:
      return indice == 1 ? "step " + std::to_string(v) + " (1 nearest the warning point)" : "the step again (d_v set)";
    case tipo_cella::indicatore_v_max:
      if (indice < 4) return parole_coppia("ABC"[indice - 1], v);
      if (v < 0) return "negative: cannot be taken apart";
      return std::to_string(v / 10) + " stripes; second set " + std::to_string(v % 10);
    case tipo_cella::fermata: {
      const std::string n = voci.nome(v);
      return "station entry " + std::to_string(v) + (n.empty() ? "" : ": " + tra_virgolette(n));
    }
    case tipo_cella::abbattimento: return "cap speed " + std::to_string(v) + " km/h";
    case tipo_cella::cartello: {
      const std::string n = voci.nome(v);
      return "sign text entry " + std::to_string(v) + (n.empty() ? "" : ": " + tra_virgolette(n));
    }
    default: return "";
  }
}

// An approach mark: tens digit the group (8 for a station stop, or a signal's sx * 3 + dx),
// units the step, 1 nearest the stop or the signal.
std::string significato_preavviso(std::uint8_t p) {
  if (p == 0) return "";
  const int gruppo = p / 10, passo = p % 10;
  if (passo < 1 || passo > 4) return "not an approach mark the compile step writes";
  const std::string chi = gruppo == 8 ? "a station stop, or a signal with sx * 3 + dx = 8"
                                      : "a signal with sx * 3 + dx = " + std::to_string(gruppo);
  return "approach mark " + std::to_string(passo) + " of 4 (1 nearest), ahead of " + chi;
}

// The feature of a cell: words for the record's line and the values taken apart for JSON.
std::pair<std::string, Json> caratteristica(const Cella& c, std::int64_t i, const Voci& voci,
                                            const Progressiva& prog) {
  Json d = Json::object();
  std::string parole(parole_tipo_cella(c.tipo));
  d["kind"] = c.tipo;
  d["kind_words"] = parole;
  const std::int64_t inizio = std::int64_t{metri_cella} * i;
  if (un_passo_avanti(c.tipo)) {
    parole += " at " + prog.posizione(inizio - metri_cella);
    prog.in_json(d, inizio - metri_cella);
  }
  switch (c.tipo) {
    case tipo_cella::segnale:
      if (c.valore1 >= 0 && c.valore2 >= 0 && c.valore3 >= 0 && c.valore4 >= 0) {
        d["s"] = {c.valore1 / 10, c.valore2 / 10, c.valore3 / 10};
        d["d"] = {c.valore1 % 10, c.valore2 % 10, c.valore3 % 10};
        d["rapp"] = c.valore4 / 10;
        d["sx"] = c.valore4 % 10 / 3;
        d["dx"] = c.valore4 % 10 % 3;
      }
      d["time"] = c.tempo_segnale;
      break;
    case tipo_cella::fine_rallentamento:
    case tipo_cella::inizio_rallentamento:
    case tipo_cella::avviso_rallentamento:
      d["speed_kmh"] = c.valore1;
      d["d_v"] = c.valore2;
      if (c.tipo != tipo_cella::avviso_rallentamento) d["f_tt"] = c.valore3;
      parole += ", " + std::to_string(c.valore1) + " km/h";
      break;
    case tipo_cella::preavviso_rallentamento: {
      d["step"] = c.valore1;
      const std::int64_t avviso = inizio + std::int64_t{metri_cella} * (c.valore1 - 1);
      prog.in_json(d, avviso, "warning_point");
      parole += " " + std::to_string(c.valore1) + " before the warning point at " + prog.posizione(avviso);
      break;
    }
    case tipo_cella::indicatore_v_max: {
      Json prima = Json::object(), seconda = Json::object();
      const std::array<std::int16_t, 3> v = {c.valore1, c.valore2, c.valore3};
      for (std::size_t r = 0; r < 3; ++r) {
        const std::string rango(1, "ABC"[r]);
        prima[rango] = v[r] < 0 ? Json(nullptr) : Json(v[r] / 20);
        seconda[rango] = v[r] < 0 ? Json(nullptr) : Json(v[r] % 20 * 5);
      }
      prima["stripes"] = c.valore4 < 0 ? Json(nullptr) : Json(c.valore4 / 10);
      seconda["stripes"] = c.valore4 < 0 ? Json(nullptr) : Json(c.valore4 % 10);
      d["first"] = prima;
      d["second"] = seconda;
      parole += ": " + prima["A"].dump() + "/" + prima["B"].dump() + "/" + prima["C"].dump() + " km/h, " +
                prima["stripes"].dump() + " stripes";
      break;
    }
    case tipo_cella::fermata: {
      d["station_entry"] = c.valore1;
      const std::string n = voci.nome(c.valore1);
      if (voci.voci) d["name"] = n;
      parole += " of station entry " + std::to_string(c.valore1) + (n.empty() ? "" : ", " + tra_virgolette(n));
      break;
    }
    case tipo_cella::abbattimento:
    case tipo_cella::abbattimento_senza_velocita:
      prog.in_json(d, inizio);
      if (c.tipo == tipo_cella::abbattimento) d["speed_kmh"] = c.valore1;
      parole += " at " + prog.posizione(inizio) +
                (c.tipo == tipo_cella::abbattimento ? ", " + std::to_string(c.valore1) + " km/h" : "");
      break;
    case tipo_cella::cartello: {
      d["text_entry"] = c.valore1;
      const std::string n = voci.nome(c.valore1);
      if (voci.voci) d["text"] = n;
      parole += (n.empty() ? ", text in entry " + std::to_string(c.valore1) : ": " + tra_virgolette(n));
      break;
    }
    default:
      break;
  }
  if (i == 1) {
    d["route_mark"] = c.valore1;
    d["plain_code"] = c.valore2;
    parole += "; the file's header: route mark " + std::to_string(c.valore1) + ", plain scenario code " +
              std::to_string(c.valore2);
  }
  return {parole, d};
}

RecordMostrato record_cella(const std::vector<Cella>& celle, std::int64_t i, const Voci& voci,
                            const Progressiva& prog) {
  const Cella& c = celle[static_cast<std::size_t>(i)];
  const std::size_t inizio = static_cast<std::size_t>(i) * dimensione_cella;
  const std::int64_t metri = std::int64_t{metri_cella} * i;
  const bool oltre_profili = i + 3 > static_cast<std::int64_t>(celle.size()) - 1;
  RecordMostrato r;
  r.titolo = "cell " + std::to_string(i);
  r.dove = "bytes " + std::to_string(inizio) + ".." + std::to_string(inizio + dimensione_cella - 1);
  r.chiavi = {{"cell", i}, {"offset", inizio}};
  prog.in_json(r.chiavi, metri, "from");
  auto [parole, dettagli] = caratteristica(c, i, voci, prog);
  if (c.tipo == tipo_cella::niente) parole = "no feature";
  // What else the cell says: its approach mark, and the profile values that change here.
  if (c.preavviso != 0) parole += "; approach mark " + std::to_string(c.preavviso);
  const Cella* prima = i > 0 ? &celle[static_cast<std::size_t>(i - 1)] : nullptr;
  if (prima == nullptr || prima->velocita != c.velocita) {
    parole += "; speed " + std::to_string(c.velocita * passo_velocita) + " km/h";
  }
  if (prima == nullptr || prima->pendenza != c.pendenza) {
    parole += "; gradient " + std::to_string(c.pendenza - scarto_pendenza);
  }
  if (prima == nullptr || prima->aderenza != c.aderenza) parole += "; adhesion " + std::to_string(c.aderenza);
  if (prima == nullptr || prima->tipo_montagna != c.tipo_montagna) {
    parole += c.tipo_montagna == 0 ? "; no hill section" : "; hill type " + std::to_string(c.tipo_montagna);
  }
  r.descrizione = "from " + prog.posizione(metri) + ": " + parole;
  r.dettagli = std::move(dettagli);
  std::size_t offset = inizio;
  int valore = 0;
  campi_cella(c, [&](const char* nome, const auto& campo) {
    std::string s;
    const std::string_view n(nome);
    if (n == "tipo") {
      s = parole_tipo_cella(c.tipo);
    } else if (n.substr(0, 6) == "valore") {
      ++valore;
      s = significato_valore(c, i, valore, static_cast<std::int16_t>(campo), voci);
    } else if (n == "tempo_segnale") {
      s = c.tempo_segnale == 0 ? "" : "signal time value";
    } else if (n == "preavviso") {
      s = significato_preavviso(c.preavviso);
    } else if (n == "tipo_montagna") {
      s = c.tipo_montagna == 0 ? "" : "hill type " + std::to_string(c.tipo_montagna);
    } else if (n == "velocita") {
      s = oltre_profili && c.velocita == 0 ? "none: beyond every profile"
                                           : std::to_string(c.velocita * passo_velocita) + " km/h";
    } else if (n == "pendenza") {
      s = oltre_profili && c.pendenza == 0 ? "none: beyond every profile"
                                           : "gradient " + std::to_string(c.pendenza - scarto_pendenza);
    }
    r.campi.push_back({nome, offset, valore_json(campo), s});
    offset += dimensione_campo(campo);
  });
  return r;
}

bool ha_caratteristica(const Cella& c) {
  return c.tipo != 0 || c.valore1 != 0 || c.valore2 != 0 || c.valore3 != 0 || c.valore4 != 0 ||
         c.tempo_segnale != 0 || c.preavviso != 0;
}

bool stesso_profilo(const Cella& a, const Cella& b) {
  return a.tipo_montagna == b.tipo_montagna && a.velocita == b.velocita && a.pendenza == b.pendenza &&
         a.aderenza == b.aderenza;
}

// `origine_voci`: the simulation file the names come from, or why there are none.
Riepilogo riepilogo_treno(const std::vector<Cella>& celle, const Voci& voci, const std::string& origine_voci) {
  Riepilogo r;
  const auto n = static_cast<std::int64_t>(celle.size());
  const std::int64_t percorso = std::int64_t{metri_cella} * (n - 1);
  r.righe.push_back(std::to_string(n) + " cells (0 to " + std::to_string(n - 1) + "), route " +
                    std::to_string(percorso) + " m, line about " + std::to_string(percorso - coda_percorso) +
                    " m (to within 25 m)");
  r.dati["cells"] = n;
  r.dati["route_m"] = percorso;
  r.dati["line_length_m"] = percorso - coda_percorso;

  const Cella& testata = celle[1];
  r.dati["route_mark"] = testata.valore1;
  r.dati["route_mark_expected"] = marca_percorso;
  r.dati["plain_code"] = testata.valore2;
  std::string riga = "header (cell 1): route mark " + std::to_string(testata.valore1) +
                     (testata.valore1 == marca_percorso ? "" : " (expected " + std::to_string(marca_percorso) + ")") +
                     ", plain scenario code " + std::to_string(testata.valore2);
  if (voci.voci) {
    Modello m;
    m.voci = *voci.voci;
    const std::int32_t dai_nomi = codice_gara_og(m);
    r.dati["plain_code_from_names"] = dai_nomi;
    riga += " (the names in the simulation file give " + std::to_string(dai_nomi) + ")";
  }
  r.righe.push_back(riga);
  r.righe.push_back(voci.voci ? "names and chainage from " + origine_voci : origine_voci);
  r.dati["names_from"] = voci.voci ? Json(origine_voci) : Json(nullptr);
  if (!voci.voci) r.dati["no_names"] = origine_voci;

  struct Conto {
    const char* chiave;
    const char* parole;
    std::function<bool(const Cella&)> conta;
  };
  auto di_tipo = [](std::initializer_list<std::uint8_t> tipi) {
    return [v = std::vector<std::uint8_t>(tipi)](const Cella& c) {
      return std::find(v.begin(), v.end(), c.tipo) != v.end();
    };
  };
  const std::vector<Conto> conti = {
      {"station_stops", "station stops", di_tipo({tipo_cella::fermata})},
      {"signals", "signals", di_tipo({tipo_cella::segnale})},
      {"boards", "speed-indicator boards", di_tipo({tipo_cella::indicatore_v_max})},
      {"slowdown_cells", "slowdown cells",
       di_tipo({tipo_cella::fine_rallentamento, tipo_cella::inizio_rallentamento, tipo_cella::avviso_rallentamento,
                tipo_cella::preavviso_rallentamento})},
      {"speed_caps", "speed-cap points", di_tipo({tipo_cella::abbattimento, tipo_cella::abbattimento_senza_velocita})},
      {"signs", "signs", di_tipo({tipo_cella::cartello})},
      {"hill_cells", "hill cells", [](const Cella& c) { return c.tipo_montagna != 0; }},
      {"filler_marks", "hill filler marks", di_tipo({tipo_cella::riempitivo_montagna})},
  };
  Json conteggi = Json::object();
  riga.clear();
  for (const Conto& c : conti) {
    const auto quanti = std::count_if(celle.begin(), celle.end(), c.conta);
    conteggi[c.chiave] = quanti;
    riga += (riga.empty() ? "" : ", ") + std::to_string(quanti) + " " + c.parole;
  }
  r.dati["counts"] = conteggi;
  r.righe.push_back(riga);
  return r;
}

// ---------------------------------------------------------------------------------------------
// The simulation file

bool vuota(const Voce& v) {
  bool vuota = true;
  campi_voce(v, [&](const char*, const auto& campo) {
    if constexpr (std::is_same_v<std::decay_t<decltype(campo)>, std::string>) {
      vuota = vuota && campo.empty();
    } else {
      vuota = vuota && campo == 0;
    }
  });
  return vuota;
}

bool solo_nome(const Voce& v) {
  Voce senza = v;
  senza.nome.clear();
  return !v.nome.empty() && vuota(senza);
}

// Where the stations end and the sign texts begin: stations from entry 1 up while entries
// hold something, sign texts (entries holding only a name) from 80 down.
struct Blocchi {
  int stazioni = 0;         // entries 1 .. stazioni
  int primo_cartello = 81;  // entries primo_cartello .. 80
};

Blocchi blocchi(const std::array<Voce, numero_voci>& voci) {
  Blocchi b;
  while (b.primo_cartello - 1 >= 1 && solo_nome(voci[static_cast<std::size_t>(b.primo_cartello - 1)])) {
    --b.primo_cartello;
  }
  while (b.stazioni + 1 < b.primo_cartello && !vuota(voci[static_cast<std::size_t>(b.stazioni + 1)])) ++b.stazioni;
  return b;
}

std::string parole_tipo_stazione(std::uint8_t t) {
  const std::string n = "type " + std::to_string(t) + ": ";
  if (t >= stazione_tipo_corto_da && t <= stazione_tipo_corto_a) {
    return n + "zone p - L to p + 150, stop cell, no approach marks";
  }
  if (t >= stazione_tipo_doppio_da && t <= stazione_tipo_doppio_a) {
    return n + "zone p - L to p + L, stop cell and approach marks";
  }
  if (t < stazione_senza_fermata) return n + "zone p - L/2 to p + L/2 (+ 50 m with option 3), stop cell and approach marks";
  return n + "zone p - L/2 to p + L/2 (+ 50 m with option 3), no stop cell, no approach marks";
}

template <typename T>
bool e_campo(const std::array<Voce, numero_voci>& voci, const void* p, CampoTestata<T> c) {
  return p == static_cast<const void*>(&campo(voci, c));
}

// The meaning of a field of the three header entries, by its name in the model.
std::string significato_testata(const std::array<Voce, numero_voci>& voci, const void* p, const Progressiva& prog,
                                std::int32_t pesato_dai_nomi) {
  namespace t = testata;
  if (e_campo(voci, p, t::massa_frenata)) return "braked mass " + std::to_string(campo(voci, t::massa_frenata)) + " %";
  if (e_campo(voci, p, t::lunghezza_linea)) return "line length, m";
  if (e_campo(voci, p, t::numero_vetture)) return "number of coaches";
  if (e_campo(voci, p, t::sfondo_uno)) return "background setting one";
  if (e_campo(voci, p, t::sfondo_due)) return "background setting two";
  if (e_campo(voci, p, t::sfondo_tre)) return "background setting three";
  if (e_campo(voci, p, t::nome_percorso)) return "route name";
  if (e_campo(voci, p, t::marca_linea)) {
    return "line mark" + std::string(campo(voci, t::marca_linea) == scenario::marca_linea
                                         ? ""
                                         : ", expected " + std::to_string(scenario::marca_linea));
  }
  if (e_campo(voci, p, t::codice_pesato)) {
    return "weighted scenario code (the names give " + std::to_string(pesato_dai_nomi) + ")";
  }
  if (e_campo(voci, p, t::ripetizione_inizio)) {
    return "cab-signal repetition from " + prog.posizione(campo(voci, t::ripetizione_inizio));
  }
  if (e_campo(voci, p, t::ripetizione_fine)) {
    const std::int32_t f = campo(voci, t::ripetizione_fine);
    return f == 0 ? "cab-signal repetition end: 0, none" : "cab-signal repetition to " + prog.posizione(f);
  }
  if (e_campo(voci, p, t::ripetizione_codici)) {
    const std::int32_t n = campo(voci, t::ripetizione_codici);
    return n == 0 ? "no cab-signal repetition" : "cab-signal codes: " + std::to_string(n);
  }
  if (e_campo(voci, p, t::nome_treno)) return "train name";
  if (e_campo(voci, p, t::sabbia)) return "sand";
  if (e_campo(voci, p, t::ore)) return "clock start, hours";
  if (e_campo(voci, p, t::minuti)) return "clock start, minutes";
  if (e_campo(voci, p, t::secondi)) return "clock start, seconds";
  return "";
}

RecordMostrato record_voce(const std::array<Voce, numero_voci>& voci, int k, std::size_t inizio, const Blocchi& b,
                           const Progressiva& prog, std::int32_t pesato_dai_nomi) {
  const Voce& v = voci[static_cast<std::size_t>(k)];
  const std::size_t lunghezza = dimensione_voce_vuota + std::min(v.nome.size(), nome_massimo);
  RecordMostrato r;
  r.titolo = "entry " + std::to_string(k);
  r.dove = "bytes " + std::to_string(inizio) + ".." + std::to_string(inizio + lunghezza - 1);
  r.chiavi = {{"entry", k}, {"offset", inizio}};
  Json d = Json::object();
  const std::string nome = utf8_da_cp1252(v.nome);

  enum class Ruolo { vuota, stazione, cartello, progressiva, testata };
  Ruolo ruolo = Ruolo::vuota;
  if (k >= 1 && k <= b.stazioni) {
    ruolo = Ruolo::stazione;
    r.descrizione = "station " + std::to_string(k) + ", " + tra_virgolette(nome) + " at " +
                    prog.posizione(v.posizione_m) + ", zone " + std::to_string(v.inizio_zona) + " to " +
                    std::to_string(v.fine_zona) + " m" + (v.orario != 0 ? ", time " + ora(v.orario) : "");
    d = {{"role", "station"}, {"station", k}, {"name", nome}, {"type", v.tipo}};
    prog.in_json(d, v.posizione_m);
    d["zone_m"] = {v.inizio_zona, v.fine_zona};
    d["time"] = v.orario != 0 ? Json(ora(v.orario)) : Json(nullptr);
  } else if (k >= b.primo_cartello && k <= prima_voce_cartello) {
    ruolo = Ruolo::cartello;
    r.descrizione = "text of sign " + std::to_string(prima_voce_cartello - k + 1) + ": " + tra_virgolette(nome);
    d = {{"role", "sign text"}, {"sign", prima_voce_cartello - k + 1}, {"text", nome}};
  } else if (k >= voce_progressiva_tre && k <= voce_progressiva_uno) {
    ruolo = Ruolo::progressiva;
    const bool uso = Progressiva::in_uso(v);
    r.descrizione = uso ? "chainage entry: from line metre " + std::to_string(v.inizio_zona) + " the chainage is " +
                              "the position " + (v.fine_zona < 0 ? "- " : "+ ") +
                              std::to_string(std::abs(std::int64_t{v.fine_zona})) + " m"
                        : "chainage entry, not in use";
    d = {{"role", "chainage"}, {"in_use", uso}, {"from_m", v.inizio_zona}, {"offset_m", v.fine_zona},
         {"flag", v.posizione_m}};
  } else if (k == voce_generale) {
    ruolo = Ruolo::testata;
    r.descrizione = "general data: line length " + std::to_string(v.fine_zona) + " m, braked mass " +
                    std::to_string(v.inizio_zona) + " %, " + std::to_string(v.posizione_m) + " coaches";
    d = {{"role", "general data"}};
  } else if (k == voce_testata_percorso) {
    ruolo = Ruolo::testata;
    r.descrizione = "route header: " + tra_virgolette(nome) + ", line mark " + std::to_string(v.parametro_1) +
                    ", weighted scenario code " + std::to_string(v.orario);
    d = {{"role", "route header"}, {"route", nome}, {"line_mark", v.parametro_1}, {"weighted_code", v.orario}};
  } else if (k == voce_testata_treno) {
    ruolo = Ruolo::testata;
    r.descrizione =
        "train header: " + tra_virgolette(nome) + ", clock " + ora(v.parametro_3, v.parametro_4, v.parametro_5);
    d = {{"role", "train header"}, {"train", nome}};
  } else {
    r.descrizione = k == 0 ? "never filled" : "free place between the stations and the sign texts";
    if (!vuota(v)) r.descrizione += ", yet it holds values";
    d = {{"role", k == 0 ? "never filled" : "free"}};
  }
  r.dettagli = std::move(d);

  std::size_t offset = inizio;
  campi_voce(v, [&](const char* nome_campo, const auto& campo) {
    const std::string_view n(nome_campo);
    std::string s;
    if (ruolo == Ruolo::testata) {
      s = significato_testata(voci, &campo, prog, pesato_dai_nomi);
    } else if (ruolo == Ruolo::stazione) {
      if (n == "tipo") s = parole_tipo_stazione(v.tipo);
      if (n == "inizio_zona") s = "zone start, " + prog.posizione(v.inizio_zona);
      if (n == "fine_zona") s = "zone end, " + prog.posizione(v.fine_zona);
      if (n == "posizione_m") s = "position, " + prog.posizione(v.posizione_m);
      if (n == "classe") s = "station code";
      if (n == "nome") s = "station name";
      if (n == "orario") s = v.orario == 0 ? "no time" : "time " + ora(v.orario);
    } else if (ruolo == Ruolo::cartello) {
      if (n == "nome") s = "sign text";
    } else if (ruolo == Ruolo::progressiva) {
      if (n == "inizio_zona") s = "from line metre";
      if (n == "fine_zona") s = "added to the position (100 more when the flag is 1)";
      if (n == "posizione_m") s = "flag";
    }
    if (n == "nome") s += (s.empty() ? "" : ", ") + std::to_string(v.nome.size()) + " bytes";
    r.campi.push_back({nome_campo, offset, valore_json(campo), s});
    offset += dimensione_campo(campo);
  });
  return r;
}

Riepilogo riepilogo_simulazione(const std::array<Voce, numero_voci>& voci, const Blocchi& b, std::int32_t semplice,
                                std::int32_t pesato) {
  namespace t = testata;
  Riepilogo r;
  const std::string percorso = utf8_da_cp1252(campo(voci, t::nome_percorso));
  const std::string treno = utf8_da_cp1252(campo(voci, t::nome_treno));
  r.righe.push_back(std::to_string(numero_voci) + " entries; route " + tra_virgolette(percorso) + ", train " +
                    tra_virgolette(treno));
  const std::int16_t marca = campo(voci, t::marca_linea);
  const std::string attesa =
      marca == scenario::marca_linea ? "" : " (expected " + std::to_string(scenario::marca_linea) + ")";
  r.righe.push_back("line mark " + std::to_string(marca) + " in entry 85" + attesa +
                    ", weighted scenario code " + std::to_string(campo(voci, t::codice_pesato)) +
                    " (the names give weighted " + std::to_string(pesato) + ", plain " + std::to_string(semplice) +
                    ")");
  int in_uso = 0;
  for (int k = voce_progressiva_tre; k <= voce_progressiva_uno; ++k) {
    in_uso += Progressiva::in_uso(voci[static_cast<std::size_t>(k)]) ? 1 : 0;
  }
  const int cartelli = prima_voce_cartello - b.primo_cartello + 1;
  r.righe.push_back(std::to_string(b.stazioni) + " stations" +
                    (b.stazioni > 0 ? " (entries 1 to " + std::to_string(b.stazioni) + ")" : "") + ", " +
                    std::to_string(cartelli) + " sign texts" +
                    (cartelli > 0 ? " (entries 80 down to " + std::to_string(b.primo_cartello) + ")" : "") + ", " +
                    std::to_string(in_uso) + " of 3 chainage entries in use");
  const std::int32_t fine = campo(voci, t::ripetizione_fine);
  r.righe.push_back("line length " + std::to_string(campo(voci, t::lunghezza_linea)) + " m, braked mass " +
                    std::to_string(campo(voci, t::massa_frenata)) + " %, " +
                    std::to_string(campo(voci, t::numero_vetture)) + " coaches; cab-signal repetition " +
                    (fine == 0 ? std::string("none")
                               : std::to_string(campo(voci, t::ripetizione_inizio)) + " to " + std::to_string(fine) +
                                     " m, " + std::to_string(campo(voci, t::ripetizione_codici)) + " codes") +
                    "; clock " + ora(campo(voci, t::ore), campo(voci, t::minuti), campo(voci, t::secondi)));
  r.dati = {{"entries", numero_voci},
            {"route", percorso},
            {"train", treno},
            {"line_mark", marca},
            {"line_mark_expected", scenario::marca_linea},
            {"weighted_code", campo(voci, t::codice_pesato)},
            {"codes_from_names", {{"plain", semplice}, {"weighted", pesato}}},
            {"stations", b.stazioni},
            {"signs", cartelli},
            {"chainage_entries_in_use", in_uso},
            {"line_length_m", campo(voci, t::lunghezza_linea)},
            {"braked_mass_percent", campo(voci, t::massa_frenata)},
            {"coaches", campo(voci, t::numero_vetture)},
            {"cab_signal_repetition", fine == 0 ? Json(nullptr)
                                                : Json{{"from_m", campo(voci, t::ripetizione_inizio)},
                                                       {"to_m", fine},
                                                       {"codes", campo(voci, t::ripetizione_codici)}}},
            {"clock", ora(campo(voci, t::ore), campo(voci, t::minuti), campo(voci, t::secondi))}};
  return r;
}

// ---------------------------------------------------------------------------------------------
// The line data file

std::string_view parole_etichetta(Etichetta e) {
  switch (e) {
    case Etichetta::vuoto: return "empty";
    case Etichetta::intero: return "16-bit integer";
    case Etichetta::doppio: return "binary64";
  }
  return "";
}

Riepilogo riepilogo_linea(const Tracciato& t) {
  Riepilogo r;
  const std::int64_t metri = t.metri();
  r.righe.push_back("metres 0 to " + std::to_string(metri - 1) + ", line length " +
                    std::to_string(metri - 1 - coda_percorso) + " m (the plan runs " +
                    std::to_string(coda_percorso) + " m past the line's end)");
  r.dati["metres"] = metri;
  r.dati["line_length_m"] = metri - 1 - coda_percorso;
  std::array<std::int64_t, 3> conti{};
  Json estensione = Json::object();
  std::string riga = "plan:";
  for (std::size_t c = 0; c < 2; ++c) {
    std::optional<double> minimo, massimo;
    for (std::size_t m = 0; m < t.etichette[c].size(); ++m) {
      const Etichetta e = t.etichette[c][m];
      ++conti[e == Etichetta::vuoto ? 0 : e == Etichetta::intero ? 1 : 2];
      const double v = t.valori[c][m];
      if (e == Etichetta::vuoto || !std::isfinite(v)) continue;
      minimo = std::min(minimo.value_or(v), v);
      massimo = std::max(massimo.value_or(v), v);
    }
    const char* nome = c == 0 ? "across" : "along";
    if (minimo) {
      estensione[nome] = {*minimo, *massimo};
      riga += std::string(c == 0 ? " " : ", ") + nome + " " + metri_mm(*minimo) + " to " + metri_mm(*massimo) + " m";
    } else {
      estensione[nome] = nullptr;
      riga += std::string(c == 0 ? " " : ", ") + nome + " no values";
    }
  }
  r.righe.push_back(riga);
  r.righe.push_back("values: " + std::to_string(conti[1]) + " 16-bit integers, " + std::to_string(conti[2]) +
                    " binary64, " + std::to_string(conti[0]) + " empty");
  r.dati["extent_m"] = estensione;
  r.dati["values"] = {{"integer", conti[1]}, {"binary64", conti[2]}, {"empty", conti[0]}};
  return r;
}

void record_linea(const Tracciato& t, std::int64_t passo, bool tutte, const Emetti& emetti) {
  // Each coordinate's run: the tagged values of every metre in turn. The second run starts
  // where the first ends.
  std::array<std::size_t, 2> offset{0, 0};
  for (std::int64_t m = 0; m < t.metri(); ++m) {
    offset[1] += dimensione_valore(t.etichette[0][static_cast<std::size_t>(m)]);
  }
  for (std::int64_t m = 0; m < t.metri(); ++m) {
    const auto i = static_cast<std::size_t>(m);
    const bool vuoto = t.etichette[0][i] == Etichetta::vuoto && t.etichette[1][i] == Etichetta::vuoto;
    if (m % passo == 0 && (tutte || !vuoto)) {
      RecordMostrato r;
      r.titolo = "metre " + std::to_string(m);
      r.dove = "bytes " + std::to_string(offset[0]) + " and " + std::to_string(offset[1]);
      r.chiavi = {{"metre", m}, {"offsets", {offset[0], offset[1]}}};
      Json d = Json::object();
      for (std::size_t c = 0; c < 2; ++c) {
        const Etichetta e = t.etichette[c][i];
        const char* nome = c == 0 ? "across" : "along";
        const double x = t.valori[c][i];
        const Json v = e == Etichetta::vuoto  ? Json(nullptr)
                       : e == Etichetta::intero ? Json(static_cast<std::int64_t>(x))
                                                : Json(x);
        d[nome] = v;
        r.descrizione += std::string(c == 0 ? "" : ", ") + nome + " " +
                         (e == Etichetta::vuoto ? std::string("empty") : metri_mm(x) + " m");
        const std::string indice = "[" + std::to_string(c) + "]";
        r.campi.push_back({"etichetta" + indice, offset[c], static_cast<int>(e), std::string(parole_etichetta(e))});
        if (e != Etichetta::vuoto) {
          r.campi.push_back({"valore" + indice, offset[c] + dimensione_etichetta, v,
                             std::string(c == 0 ? "across, m" : "along, m")});
        }
      }
      r.dettagli = std::move(d);
      emetti(r);
    }
    for (std::size_t c = 0; c < 2; ++c) offset[c] += dimensione_valore(t.etichette[c][i]);
  }
}

// ---------------------------------------------------------------------------------------------
// Why bytes are not a file of a kind, in words (the decoders only say whether they are).

std::string perche_non_treno(std::string_view dati) {
  if (dati.size() % dimensione_cella != 0) {
    return std::to_string(dati.size()) + " bytes is not a whole number of " + std::to_string(dimensione_cella) +
           "-byte cells";
  }
  return "it holds fewer than the two cells every train data file starts with (cell 1 is its header)";
}

std::string perche_non_simulazione(std::string_view dati) {
  Lettore l(dati);
  for (int k = 0; k < numero_voci; ++k) {
    const std::size_t inizio = dati.size() - l.resto();
    Voce v;
    bool ok = true;
    campi_voce(v, [&](const char*, auto& campo) { ok = ok && l.prendi(campo); });
    if (!ok) {
      return "entry " + std::to_string(k) + ", from byte " + std::to_string(inizio) +
             ", is cut short or has a negative name length";
    }
  }
  return std::to_string(l.resto()) + " bytes follow the " + std::to_string(numero_voci) + " entries";
}

std::string perche_non_linea(std::string_view dati) {
  Lettore l(dati);
  std::size_t valori = 0;
  while (l.resto() > 0) {
    const std::size_t inizio = dati.size() - l.resto();
    std::uint16_t tag = 0;
    if (!l.prendi(tag)) return "the value at byte " + std::to_string(inizio) + " is cut short";
    std::size_t resto = 0;
    if (tag == static_cast<std::uint16_t>(Etichetta::intero)) resto = 2;
    else if (tag == static_cast<std::uint16_t>(Etichetta::doppio)) resto = 8;
    else if (tag != static_cast<std::uint16_t>(Etichetta::vuoto)) {
      return "byte " + std::to_string(inizio) + " holds the tag " + std::to_string(tag) + ": expected 0, 2 or 5";
    }
    if (l.resto() < resto) return "the value at byte " + std::to_string(inizio) + " is cut short";
    for (std::size_t i = 0; i < resto; ++i) {
      std::uint8_t b = 0;
      (void)l.prendi(b);
    }
    ++valori;
  }
  return "it holds " + std::to_string(valori) + " values: not two runs of equal length";
}

// ---------------------------------------------------------------------------------------------
// Output

void scrivi_riepilogo_testo(const std::string& intestazione, const Riepilogo& r, std::ostream& out) {
  out << intestazione << "\n";
  for (const std::string& riga : r.righe) out << "  " << riga << "\n";
}

std::string a_destra(const std::string& s, std::size_t larghezza) {
  return std::string(s.size() < larghezza ? larghezza - s.size() : 0, ' ') + s;
}

void scrivi_record_testo(const RecordMostrato& r, std::ostream& out) {
  out << "\n" << r.titolo << ", " << r.dove << ": " << r.descrizione << "\n";
  for (const CampoMostrato& c : r.campi) {
    const std::string valore = c.valore.is_string() ? tra_virgolette(c.valore.get<std::string>())
                               : c.valore.is_number_float() ? numero(c.valore.get<double>())
                                                            : c.valore.dump();
    std::string riga = "  " + a_destra(std::to_string(c.offset), 9) + "  " + c.nome;
    riga += std::string(c.nome.size() < 14 ? 14 - c.nome.size() : 1, ' ') + a_destra(valore, 8);
    if (!c.significato.empty()) riga += "  " + c.significato;
    out << riga << "\n";
  }
}

Json record_json(const RecordMostrato& r) {
  Json j = r.chiavi;
  j["description"] = r.descrizione;
  if (!r.dettagli.is_null()) j["details"] = r.dettagli;
  Json campi = Json::array();
  for (const CampoMostrato& c : r.campi) {
    Json f = {{"name", c.nome}, {"offset", c.offset}, {"value", c.valore}};
    if (!c.significato.empty()) f["meaning"] = c.significato;
    campi.push_back(std::move(f));
  }
  j["fields"] = std::move(campi);
  return j;
}

// Text from the files can hold anything: bytes that are not UTF-8 are replaced, never thrown.
std::string testo_json(const Json& j) { return j.dump(-1, ' ', false, Json::error_handler_t::replace); }

// Prints the summary and then each record as it comes, in text or as one JSON object whose
// records are written one by one (a long line's listing never sits in memory whole).
class Stampa {
 public:
  Stampa(std::ostream& out, bool json, std::string file, std::string_view tipo, std::uintmax_t dimensione)
      : out_(out), json_(json), file_(std::move(file)), tipo_(tipo), dimensione_(dimensione) {}

  void riepilogo(const Riepilogo& r) {
    if (json_) {
      Json testa = {{"file", file_}, {"kind", tipo_}, {"size", dimensione_}, {"summary", r.dati}};
      std::string s = testo_json(testa);
      s.pop_back();  // the closing brace: the records follow
      out_ << s << ",\"records\":[";
    } else {
      scrivi_riepilogo_testo(std::string(tipo_) + " " + file_ + ", " + std::to_string(dimensione_) + " bytes", r,
                             out_);
    }
  }
  void record(const RecordMostrato& r) {
    if (json_) {
      out_ << (primo_ ? "" : ",") << testo_json(record_json(r));
      primo_ = false;
    } else {
      scrivi_record_testo(r, out_);
    }
  }
  void fine() {
    if (json_) out_ << "]}\n";
  }

 private:
  std::ostream& out_;
  bool json_;
  std::string file_;
  std::string_view tipo_;
  std::uintmax_t dimensione_;
  bool primo_ = true;
};

// ---------------------------------------------------------------------------------------------
// The command

struct OpzioniDump {
  std::string file, tipo, simulazione;
  bool tutte = false;
  bool json = false;
  std::int64_t passo = 1000;
};

std::optional<std::string> tipo_da_nome(const std::filesystem::path& file) {
  const std::string nome = file.filename().string();
  if (nome.ends_with("_linea.dat")) return "linea";
  if (file.extension() == ".sim") return "simulazione";
  if (file.extension() == ".dat") return "treno";
  return std::nullopt;
}

struct Genere {
  std::string_view parole;
  std::uintmax_t massimo;
};

Genere genere(const std::string& tipo) {
  if (tipo == "linea") return {"line data file", massimo_file_linea};
  if (tipo == "simulazione") return {"simulation file", massimo_file_simulazione};
  return {"train data file", massimo_file_treno};
}

// The entry table that names the stations and signs of a train data file: the one given
// with --sim, else the simulation file of the same name beside it when there is one.
std::optional<std::string> carica_voci(const OpzioniDump& o, Voci& voci, std::string& origine) {
  const bool data = !o.simulazione.empty();
  const std::filesystem::path sim =
      data ? std::filesystem::path(o.simulazione) : std::filesystem::path(o.file).replace_extension(".sim");
  const FileLetto letto = leggi_intero(sim, massimo_file_simulazione);
  if (!letto.dati) {
    if (data) return "cannot read " + sim.string() + " as a simulation file: " + letto.perche;
    origine = "no names or chainage: " + sim.string() + ": " + letto.perche;
    return std::nullopt;
  }
  voci.voci = decodifica_simulazione(*letto.dati);
  if (!voci.voci) {
    const std::string perche = sim.string() + " is not a simulation file: " + perche_non_simulazione(*letto.dati);
    if (data) return perche;
    origine = "no names or chainage: " + perche;
    return std::nullopt;
  }
  origine = sim.string();
  return std::nullopt;
}

int dump(const OpzioniDump& o, std::ostream& out, std::ostream& err) {
  const std::filesystem::path file(o.file);
  std::string tipo = o.tipo;
  if (tipo.empty()) {
    const auto dal_nome = tipo_da_nome(file);
    if (!dal_nome) {
      err << "percorso: cannot tell the kind of " << o.file
          << " from its name (*_linea.dat, *.sim, *.dat): give --kind linea|simulazione|treno\n";
      return 2;
    }
    tipo = *dal_nome;
  }
  const Genere g = genere(tipo);
  const FileLetto letto = leggi_intero(file, g.massimo);
  if (!letto.dati) {
    err << "percorso: cannot read " << o.file << " as a " << g.parole << ": " << letto.perche << "\n";
    return 2;
  }
  const std::string& dati = *letto.dati;
  if (dati.empty()) {
    err << "percorso: " << o.file << " is empty: not a " << g.parole << "\n";
    return 2;
  }
  auto non_e = [&](const std::string& perche) {
    err << "percorso: " << o.file << " is not a " << g.parole << ": " << perche << "\n";
    return 2;
  };
  Stampa stampa(out, o.json, o.file, g.parole, dati.size());
  const std::int64_t passo = std::max<std::int64_t>(o.passo, 1);

  if (tipo == "treno") {
    const auto celle = decodifica_treno(dati);
    if (!celle || celle->size() < 2) return non_e(perche_non_treno(dati));
    Voci voci;
    std::string origine;
    if (auto errore = carica_voci(o, voci, origine)) {
      err << "percorso: " << *errore << "\n";
      return 2;
    }
    const Progressiva prog = voci.voci ? Progressiva(*voci.voci) : Progressiva();
    stampa.riepilogo(riepilogo_treno(*celle, voci, origine));
    for (std::size_t i = 0; i < celle->size(); ++i) {
      const Cella& c = (*celle)[i];
      if (o.tutte || i <= 1 || ha_caratteristica(c) || !stesso_profilo(c, (*celle)[i - 1])) {
        stampa.record(record_cella(*celle, static_cast<std::int64_t>(i), voci, prog));
      }
    }
  } else if (tipo == "simulazione") {
    const auto voci = decodifica_simulazione(dati);
    if (!voci) return non_e(perche_non_simulazione(dati));
    Modello m;
    m.voci = *voci;
    const std::int32_t semplice = codice_gara_og(m), pesato = codice_gara_st(m);
    const Blocchi b = blocchi(*voci);
    const Progressiva prog(*voci);
    stampa.riepilogo(riepilogo_simulazione(*voci, b, semplice, pesato));
    std::size_t inizio = 0;
    for (int k = 0; k < numero_voci; ++k) {
      const Voce& v = (*voci)[static_cast<std::size_t>(k)];
      if (o.tutte || !vuota(v)) stampa.record(record_voce(*voci, k, inizio, b, prog, pesato));
      inizio += dimensione_voce_vuota + std::min(v.nome.size(), nome_massimo);
    }
  } else {
    const auto t = decodifica_linea(dati);
    if (!t) return non_e(perche_non_linea(dati));
    stampa.riepilogo(riepilogo_linea(*t));
    record_linea(*t, passo, o.tutte, [&](const RecordMostrato& r) { stampa.record(r); });
  }
  stampa.fine();
  return 0;
}

}  // namespace

Sottocomando comando_dump(CLI::App& percorso) {
  auto o = std::make_shared<OpzioniDump>();
  CLI::App* c = percorso.add_subcommand(
      "dump",
      "Print a binary scenario file in words: a summary, then each record with its byte offset and every field "
      "with its name, value and meaning.");
  c->add_option("FILE", o->file, "The file: *_linea.dat, *.sim or *.dat")->required();
  c->add_option("--kind", o->tipo, "Read the file as this kind instead of telling it from its name")
      ->check(CLI::IsMember({"linea", "simulazione", "treno"}));
  c->add_option("--sim", o->simulazione,
                "For a train data file: the simulation file that names its stations and signs (default: the "
                ".sim file beside it)");
  c->add_flag("--all", o->tutte,
              "List every record: every cell, every entry, every listed metre, even when it holds nothing. By "
              "default a train data file lists the cells that hold a feature or a mark or where the speed, "
              "gradient, adhesion or hill type changes");
  c->add_option("--step", o->passo, "Metres between the listed points of a line data file")
      ->capture_default_str()
      ->check(CLI::PositiveNumber);
  c->add_flag("--json", o->json, "Print one JSON object with the same content: file, kind, size, summary, records");
  c->footer(
      "The kind comes from the name: *_linea.dat is a line data file, *.sim a simulation file, any other *.dat "
      "a train data file. A train data file takes its station and sign names and its chainage from the "
      "simulation file of the same name beside it. Exit status 0, or 2 when the file cannot be read, is larger "
      "than any file of its kind, is empty or is not a file of its kind.\n\n"
      "Examples:\n"
      "  percorso dump out/Valdora_Tarvo.dat\n"
      "  percorso dump out/Valdora_Tarvo.sim --json");
  return {c, [o](std::ostream& out, std::ostream& err) { return dump(*o, out, err); }};
}

}  // namespace scenario
