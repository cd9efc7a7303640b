// The checker's inside: what the reading showed (the observer's record) and the checker that
// turns it into diagnostics. Shared by the parts of this room only.
#pragma once

#include <cstdint>
#include <map>
#include <tuple>
#include <string>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "diagnostics/diagnostics.h"
#include "model/modello.h"
#include "reader/reader.h"
#include "reader/righe.h"

namespace scenario {

// A row as the reader read it.
struct RigaVista {
  const DescrizioneRiga* tipo = nullptr;
  bool treno = false;
  CampoLetto chiave;
  std::vector<CampoLetto> campi;                    // its value fields, as far as they were read
  std::vector<std::optional<std::int64_t>> numeri;  // the numbers read (nothing for a text or a failure)
  bool riuscita = true;                             // no code was found at it
};

// A field read where a keyword field stands.
struct CampoVisto {
  CampoLetto c;
  bool treno = false;
  Sezione sezione = Sezione::generale;
  bool prima_del_generale = false;  // passed over before the "[generale]" field (or that field)
  bool scartato = false;            // dropped: it holds "-"
  bool guardato = true;             // false: the file's last field, never used
  std::vector<std::size_t> righe;   // the rows it was taken as (indices into Raccolta::righe)
};

// The observer: records every field, row and outcome of a check reading.
class Raccolta final : public Osservatore {
 public:
  void inizio(std::string_view file, bool treno) override {
    treno_ = treno;
    prima_ = true;
    (treno ? file_treno_ : file_linea_) = file;
  }
  void sezione(Sezione s) override {
    sezione_ = s;
    prima_ = false;
  }
  void prima_del_generale(const CampoLetto& c) override { campi.push_back({c, treno_, sezione_, true, false, true, {}}); }
  void chiave(const CampoLetto& c, bool scartato, bool guardato) override {
    campi.push_back({c, treno_, sezione_, prima_, scartato, guardato, {}});
  }
  void riga(const DescrizioneRiga& r) override {
    righe.push_back({&r, treno_, campi.empty() ? CampoLetto{} : campi.back().c, {}, {}, true});
    if (!campi.empty()) campi.back().righe.push_back(righe.size() - 1);
  }
  void valore(const CampoLetto& c, std::optional<std::int64_t> numero) override {
    if (righe.empty()) return;
    righe.back().campi.push_back(c);
    righe.back().numeri.push_back(numero);
  }
  // An outcome; the row it was found at (by its place) did not succeed.
  void esito(const Esito& e) override {
    esiti.push_back(e);
    const Luogo& l = e.luogo();
    if (l.linea <= 0 || (l.file != file_linea_ && l.file != file_treno_)) return;
    const bool treno = l.file == file_treno_ && l.file != file_linea_;
    for (auto r = righe.rbegin(); r != righe.rend(); ++r) {
      if (r->treno != treno) continue;
      bool qui = r->chiave.linea == l.linea && r->chiave.colonna == l.colonna;
      for (const CampoLetto& c : r->campi) qui = qui || (c.linea == l.linea && c.colonna == l.colonna);
      if (qui) {
        r->riuscita = false;
        return;
      }
    }
  }

  std::vector<CampoVisto> campi;
  std::vector<RigaVista> righe;
  std::vector<Esito> esiti;

 private:
  bool treno_ = false;
  bool prima_ = true;
  Sezione sezione_ = Sezione::generale;
  std::string file_linea_, file_treno_;
};

// --- the words of a row and its fields ---------------------------------------------------------

inline std::string tra_apici(std::string_view testo) { return "`" + std::string(testo) + "`"; }

inline std::string n(std::int64_t v) { return std::to_string(v); }

// "gradient row, field 3 (gradient, per mille)": fields counted from 1 at the keyword.
inline std::string nome_campo(const RigaVista& r, std::size_t i) {
  std::string s = std::string(r.tipo->nome) + ", field " + n(static_cast<std::int64_t>(i) + 2);
  if (i < r.tipo->campi.size()) {
    const CampoRiga& c = r.tipo->campi[i];
    s += " (" + std::string(c.nome);
    if (!c.unita.empty()) s += ", " + std::string(c.unita);
    s += ")";
  }
  return s;
}

// The range a field's width allows.
inline std::pair<std::int64_t, std::int64_t> limiti_larghezza(Larghezza l) {
  switch (l) {
    case Larghezza::n8: return {0, 255};
    case Larghezza::n16: return {-32768, 32767};
    default: return {-2147483648LL, 2147483647LL};
  }
}

inline const char* nome_tipo_cella(std::uint8_t t) {
  switch (t) {
    case tipo_cella::segnale: return "a signal";
    case tipo_cella::fine_rallentamento: return "a slowdown end";
    case tipo_cella::inizio_rallentamento: return "a slowdown start";
    case tipo_cella::avviso_rallentamento: return "a slowdown warning point";
    case tipo_cella::preavviso_rallentamento: return "a slowdown pre-warning step";
    case tipo_cella::indicatore_v_max: return "a speed-indicator board";
    case tipo_cella::fermata: return "a station stop";
    case tipo_cella::abbattimento: return "a speed-cap point";
    case tipo_cella::abbattimento_senza_velocita: return "a speed-cap point";
    case tipo_cella::cartello: return "a sign";
    default: return "a feature";
  }
}

std::string_view id_del_codice(std::int32_t codice);

// "expected a multiple of 50 m (1000 or 1050)": the two multiples around v.
inline std::string multipli_vicini(std::int64_t v, std::int64_t passo) {
  const std::int64_t sotto = (v >= 0 ? v / passo : (v - passo + 1) / passo) * passo;
  return "expected a multiple of " + n(passo) + " m (" + n(sotto) + " or " + n(sotto + passo) + ")";
}

inline bool e_riga(const RigaVista& r, std::string_view parola) { return r.tipo->chiave.parola == parola; }

// --- the checker ---------------------------------------------------------------------------------

class Controllo {
 public:
  Controllo(const Descrizioni& d, const OpzioniControllo& o) : d_(d), o_(o) {}

  std::vector<Diagnostica> esegui();

 private:
  // Reporting.
  Diagnostica& errore(std::string_view id, std::optional<std::int32_t> codice, Luogo l, std::string messaggio) {
    out_.push_back({Gravita::errore, id, codice, std::move(l), std::move(messaggio), {}});
    return out_.back();
  }
  Diagnostica& avviso(std::string_view id, Luogo l, std::string messaggio) {
    out_.push_back({Gravita::avviso, id, std::nullopt, std::move(l), std::move(messaggio), {}});
    return out_.back();
  }
  static void nota(Diagnostica& g, Luogo l, std::string messaggio) { g.note.push_back({std::move(l), std::move(messaggio)}); }

  Luogo luogo(const CampoLetto& c, bool treno) const {
    return {treno ? d_.treno.nome : d_.linea.nome, c.linea, c.colonna, c.colonna_fine};
  }
  Luogo luogo_chiave(const RigaVista& r) const { return luogo(r.chiave, r.treno); }
  Luogo luogo_valore(const RigaVista& r, std::size_t i) const {
    return i < r.campi.size() ? luogo(r.campi[i], r.treno) : luogo_chiave(r);
  }
  Luogo luogo_file(bool treno) const { return {treno ? d_.treno.nome : d_.linea.nome, 0, 0, 0}; }

  // The first checks, before any reading: an input that is surely not a description.
  bool sano(const Descrizione& d, bool treno);
  void scambiate();

  // Outcomes of the reading, of the completion pass and of the header checks.
  void esiti();
  void esito(const Esito& e);
  void guasto(const Esito& e, const RigaVista* r, std::optional<std::size_t> campo);
  void occupata(const Esito& e, const RigaVista& r, std::string_view id);
  void completamento();
  void testata();
  void rete_di_sicurezza();

  // Warnings.
  void parole_chiave();
  void righe();
  void ordine_e_doppioni();
  void velocita_e_cartelli();
  void testi();

  // Where the rows stand.
  const RigaVista* riga_di(const Luogo& l) const;
  std::optional<std::size_t> campo_di(const RigaVista& r, const Luogo& l) const;
  std::int64_t numero(const RigaVista& r, std::size_t i) const {
    return i < r.numeri.size() && r.numeri[i] ? *r.numeri[i] : 0;
  }
  std::vector<std::int64_t> celle_della_riga(const RigaVista& r) const;
  const RigaVista* occupante(std::int64_t cella, const RigaVista* prima_di) const;
  const RigaVista* lunghezza_letta() const;
  std::int64_t lunghezza_linea() const { return campo(m_.voci, testata::lunghezza_linea); }
  std::int64_t ultima_posizione(std::int64_t margine) const {
    return std::int64_t{metri_cella} * m_.ultima_cella - margine;
  }

  const Descrizioni& d_;
  const OpzioniControllo& o_;
  Modello m_;
  Raccolta r_;
  std::vector<Esito> completamento_;
  std::vector<Diagnostica> out_;
  const RigaVista* lunghezza_ = nullptr;  // the length row the route is sized for, if any
  bool senza_lunghezza_ = false;
  // Rows by the places of their fields, made when first asked.
  mutable std::map<std::tuple<bool, std::int32_t, std::int32_t>, const RigaVista*> indice_righe_;
};


}  // namespace scenario
