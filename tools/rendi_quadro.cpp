// What `percorso render` draws from: the scenario compiled in memory or loaded from its
// binary files, and read once into lists of features in order of position.
#include <algorithm>
#include <cctype>
#include <cmath>
#include <numbers>

#include "compile/compile.h"
#include "files/files.h"
#include "output/output.h"
#include "tools/rendi.h"

namespace scenario {
namespace {

// Takes the files of the compile step and keeps nothing: the page is drawn from the model
// itself, so the bytes of a long line's plan are never made.
class Scarto final : public Destinazione {
 public:
  std::optional<std::string> scrivi(const std::string&, std::string_view) override { return std::nullopt; }
  std::optional<std::string> scrivi_a_pezzi(const std::string&, const Pezzi&) override { return std::nullopt; }
};

bool finisce_con(const std::string& s, std::string_view fine) {
  return s.size() >= fine.size() && s.compare(s.size() - fine.size(), fine.size(), fine) == 0;
}

bool voce_vuota(const Voce& v) {
  return v.tipo == 0 && v.inizio_zona == 0 && v.fine_zona == 0 && v.posizione_m == 0 && v.classe == 0 &&
         v.nome.empty() && v.parametro_1 == 0 && v.parametro_2 == 0 && v.parametro_3 == 0 && v.parametro_4 == 0 &&
         v.parametro_5 == 0 && v.opzione_1 == 0 && v.opzione_2 == 0 && v.opzione_3 == 0 && v.opzione_4 == 0 &&
         v.orario == 0;
}

std::string minuscolo(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

// Runs of equal values of one byte of the cells, as stretches of 50 m per cell. The cells at
// the end that were never written (byte 0) are left out: the readers stop three cells short.
template <typename Valore>
std::vector<Tratto> tratti(const std::vector<Cella>& celle, Valore valore_di, std::uint8_t Cella::*campo) {
  std::size_t n = celle.size();
  while (n > 0 && celle[n - 1].*campo == 0) --n;
  std::vector<Tratto> fuori;
  for (std::size_t i = 0; i < n; ++i) {
    const std::int32_t v = valore_di(celle[i].*campo);
    const auto inizio = static_cast<std::int64_t>(i) * metri_cella;
    if (!fuori.empty() && fuori.back().valore == v && fuori.back().fine == inizio) {
      fuori.back().fine = inizio + metri_cella;
    } else {
      fuori.push_back({inizio, inizio + metri_cella, v});
    }
  }
  return fuori;
}

// The class of a heading change per metre: the nearest on a ratio scale, 0 for straight track
// (under half of class 1).
int classe_di(double k) {
  const double a = std::fabs(k);
  if (a < classi_curva[0] / 2) return 0;
  int migliore = 1;
  double distanza = std::fabs(std::log(a / classi_curva[0]));
  for (std::size_t i = 1; i < classi_curva.size(); ++i) {
    const double d = std::fabs(std::log(a / classi_curva[i]));
    if (d < distanza) {
      distanza = d;
      migliore = static_cast<int>(i) + 1;
    }
  }
  return migliore;
}

bool ha_punto(const Tracciato& t, std::int64_t m) {
  if (!t.contiene(m)) return false;
  const auto i = static_cast<std::size_t>(m);
  return t.etichette[0][i] != Etichetta::vuoto && t.etichette[1][i] != Etichetta::vuoto;
}

// Curves from the plan: the heading change of the step into metre m against the step before
// it. A curved step turns the step vector (d0, d1) into (d0 + k d1, d1 - k d0), so k is minus
// the cross product over the dot product of the two steps.
std::vector<Curva> curve_del_tracciato(const Tracciato& t, std::int64_t fino_a) {
  std::vector<Curva> curve;
  const std::int64_t ultimo = std::min(fino_a, t.metri() - 1);
  double somma_k = 0;
  std::int64_t metri_curva = 0;
  const auto chiudi = [&] {
    if (!curve.empty() && metri_curva > 0) curve.back().k = somma_k / static_cast<double>(metri_curva);
    somma_k = 0;
    metri_curva = 0;
  };
  for (std::int64_t m = 2; m <= ultimo; ++m) {
    if (!ha_punto(t, m) || !ha_punto(t, m - 1) || !ha_punto(t, m - 2)) continue;
    const auto a = static_cast<std::size_t>(m - 2), b = static_cast<std::size_t>(m - 1),
               c = static_cast<std::size_t>(m);
    const double p0 = t.valori[0][b] - t.valori[0][a], p1 = t.valori[1][b] - t.valori[1][a];
    const double q0 = t.valori[0][c] - t.valori[0][b], q1 = t.valori[1][c] - t.valori[1][b];
    const double prodotto = p0 * q0 + p1 * q1;
    if (prodotto <= 0) continue;  // a reversal is no curve of this plan
    const double k = -(p0 * q1 - p1 * q0) / prodotto;
    const int classe = classe_di(k);
    if (classe == 0) continue;
    const bool destra = k > 0;
    if (!curve.empty() && curve.back().fine == m - 1 && curve.back().classe == classe &&
        curve.back().destra == destra) {
      curve.back().fine = m;
    } else {
      chiudi();
      curve.push_back({m - 1, m, classe, destra, 0});
    }
    somma_k += std::fabs(k);
    ++metri_curva;
  }
  chiudi();
  return curve;
}

}  // namespace

Caricamento compila_in_memoria(const Descrizioni& d, const std::string& nome_percorso,
                               const std::string& nome_treno) {
  Modello m;
  m.nome_percorso = nome_percorso;
  m.nome_treno = nome_treno;
  Scarto dove;
  // The only call of the compile step in this tool.
  const EsitoCompilazione esito = memorizza_percorso(m, 1, d, dove);

  Caricamento c;
  const auto diagnostica = [&](const Esito& e, std::string messaggio) {
    const Luogo& l = e.luogo();
    c.diagnostiche.push_back({Gravita::errore, "", l.file, l.linea, l.colonna, std::move(messaggio)});
  };
  if (m.codice_errore != 0) diagnostica(esito.esito, parole_errore(m));
  // The completion pass goes on past a cell it cannot fill; the error state keeps the last case.
  for (const Esito& e : esito.completamento) {
    if (e.codice() == m.codice_errore && e.posizione().value_or(m.posizione_errore) == m.posizione_errore) continue;
    diagnostica(e, std::string(descrizione_codice(e.codice())) + " (code " + std::to_string(e.codice()) +
                       ", position " + std::to_string(e.posizione().value_or(0)) + " m)");
  }
  if (esito.rapporto != 0) {
    c.diagnostiche.push_back({Gravita::errore, "", "", 0, 0,
                              "report " + std::to_string(esito.rapporto) + ": " +
                                  std::string(descrizione_rapporto(esito.rapporto))});
  }
  if (esito.senza_celle) {
    c.diagnostiche.push_back({Gravita::errore, "", "", 0, 0, "the line has no route cells: there is nothing to draw"});
  }
  DatiScenario dati;
  dati.nome_percorso = nome_percorso;
  dati.nome_treno = nome_treno;
  dati.tracciato = std::move(m.tracciato);
  dati.celle = std::move(m.celle);
  dati.voci = std::move(m.voci);
  dati.origine = d.linea.nome + " and " + d.treno.nome;
  c.dati = std::move(dati);
  return c;
}

Caricamento carica_file_binari(const std::filesystem::path& cartella, const std::string& nome_percorso,
                               const std::string& nome_treno) {
  Caricamento c;
  std::error_code ec;
  if (!std::filesystem::is_directory(cartella, ec)) {
    c.errore = cartella.string() + " is not a folder";
    return c;
  }
  std::vector<std::string> nomi;
  for (const auto& e : std::filesystem::directory_iterator(cartella, ec)) nomi.push_back(e.path().filename().string());
  std::sort(nomi.begin(), nomi.end());

  std::string percorso = nome_percorso;
  if (percorso.empty()) {
    std::vector<std::string> trovati;
    for (const auto& n : nomi) {
      if (finisce_con(n, "_linea.dat") && n.size() > 10) trovati.push_back(n.substr(0, n.size() - 10));
    }
    if (trovati.size() != 1) {
      c.errore = trovati.empty() ? "no <route>_linea.dat in " + cartella.string() + " (name the route with --route)"
                                 : "more than one route in " + cartella.string() + " (name one with --route)";
      return c;
    }
    percorso = trovati[0];
  }
  std::string treno = nome_treno;
  if (treno.empty()) {
    std::vector<std::string> trovati;
    const std::string prefisso = percorso + "_";
    for (const auto& n : nomi) {
      if (n.size() > prefisso.size() + 4 && n.compare(0, prefisso.size(), prefisso) == 0 && finisce_con(n, ".sim")) {
        trovati.push_back(n.substr(prefisso.size(), n.size() - prefisso.size() - 4));
      }
    }
    if (trovati.size() != 1) {
      c.errore = trovati.empty() ? "no " + percorso + "_<train>.sim in " + cartella.string()
                                 : "more than one train of " + percorso + " in " + cartella.string() +
                                       " (name one with --train)";
      return c;
    }
    treno = trovati[0];
  }

  DatiScenario dati;
  dati.nome_percorso = percorso;
  dati.nome_treno = treno;
  const auto file_sim = cartella / nome_file_simulazione(percorso, treno);
  const auto file_dat = cartella / nome_file_treno(percorso, treno);
  const auto file_linea = cartella / nome_file_linea(percorso);
  const FileLetto sim = leggi_intero(file_sim, massimo_file_simulazione);
  const FileLetto dat = leggi_intero(file_dat, massimo_file_treno);
  if (!sim.dati || !dat.dati) {
    c.errore = "cannot read " + (!sim.dati ? file_sim.string() + ": " + sim.perche : file_dat.string() + ": " + dat.perche);
    return c;
  }
  auto voci = decodifica_simulazione(*sim.dati);
  if (!voci) {
    c.errore = file_sim.string() + " is not a simulation file (87 entries)";
    return c;
  }
  auto celle = decodifica_treno(*dat.dati);
  if (!celle) {
    c.errore = file_dat.string() + " is not a train data file (15-byte cells)";
    return c;
  }
  dati.voci = std::move(*voci);
  dati.celle = std::move(*celle);
  std::error_code assente;
  if (const FileLetto linea = leggi_intero(file_linea, massimo_file_linea); linea.dati) {
    auto t = decodifica_linea(*linea.dati);
    if (!t) {
      c.errore = file_linea.string() + " is not a line data file (tagged plan values)";
      return c;
    }
    dati.tracciato = std::move(*t);
  } else if (!std::filesystem::exists(file_linea, assente)) {
    c.diagnostiche.push_back({Gravita::avviso, "", file_linea.string(), 0, 0,
                              "no line data file: the plan of the line is not drawn"});
  } else {
    c.errore = "cannot read " + file_linea.string() + ": " + linea.perche;
    return c;
  }

  // Files of one compile agree on the length; say so when these do not.
  const std::int64_t estesa = std::int64_t{dati.voci[voce_generale].fine_zona} + coda_percorso;
  if (dati.tracciato.metri() != 0 && dati.tracciato.metri() != estesa + 1) {
    c.diagnostiche.push_back({Gravita::avviso, "", file_linea.string(), 0, 0,
                              "the plan holds " + std::to_string(dati.tracciato.metri()) +
                                  " metres, but the line length in the simulation file gives " +
                                  std::to_string(estesa + 1)});
  }
  if (static_cast<std::int64_t>(dati.celle.size()) != cella_di(estesa) + 1) {
    c.diagnostiche.push_back({Gravita::avviso, "", file_dat.string(), 0, 0,
                              "the file holds " + std::to_string(dati.celle.size()) +
                                  " cells, which does not match the line length in the simulation file"});
  }
  dati.origine = (cartella / "").string() + " (" + nome_file_linea(percorso) + ", " +
                 nome_file_simulazione(percorso, treno) + ", " + nome_file_treno(percorso, treno) + ")";
  c.dati = std::move(dati);
  return c;
}

std::int64_t progressiva(const std::array<Voce, numero_voci>& voci, std::int64_t posizione) {
  const Voce* in_uso = nullptr;
  for (int i = voce_progressiva_tre; i <= voce_progressiva_uno; ++i) {
    const Voce& v = voci[static_cast<std::size_t>(i)];
    if (v.inizio_zona == 0 && v.fine_zona == 0 && v.posizione_m == 0) continue;
    if (v.inizio_zona <= posizione && (in_uso == nullptr || v.inizio_zona > in_uso->inizio_zona)) in_uso = &v;
  }
  return posizione + (in_uso != nullptr ? in_uso->fine_zona : 0);
}

std::vector<std::string> pannelli(std::string_view testo) {
  std::vector<std::string> fuori;
  std::size_t i = 0;
  while (i < testo.size()) {
    const std::size_t apre = testo.find('(', i);
    if (apre == std::string_view::npos) break;
    const std::size_t chiude = testo.find(')', apre + 1);
    std::string_view dentro =
        testo.substr(apre + 1, (chiude == std::string_view::npos ? testo.size() : chiude) - apre - 1);
    while (!dentro.empty() && dentro.front() == ' ') dentro.remove_prefix(1);
    while (!dentro.empty() && dentro.back() == ' ') dentro.remove_suffix(1);
    fuori.emplace_back(dentro);
    if (chiude == std::string_view::npos) break;
    i = chiude + 1;
  }
  if (fuori.empty()) {
    std::string_view tutto = testo;
    while (!tutto.empty() && tutto.front() == ' ') tutto.remove_prefix(1);
    while (!tutto.empty() && tutto.back() == ' ') tutto.remove_suffix(1);
    if (!tutto.empty()) fuori.emplace_back(tutto);
  }
  return fuori;
}

Quadro analizza(const DatiScenario& dati) {
  Quadro q;
  q.dati = &dati;
  q.lunghezza = std::clamp<std::int64_t>(dati.voci[voce_generale].fine_zona, 0, lunghezza_massima);
  q.estensione = q.lunghezza + coda_percorso;

  // Sign texts fill `voci` from 80 down; stations fill it from 1 up to the first sign text.
  int primo_cartello = prima_voce_cartello + 1;
  for (std::size_t i = 0; i < dati.celle.size(); ++i) {
    const Cella& c = dati.celle[i];
    const auto indice = static_cast<std::int64_t>(i);
    const PuntoCella punto{indice, (indice - 1) * metri_cella, &c};
    const PuntoCella punto_senza_scarto{indice, indice * metri_cella, &c};
    switch (c.tipo) {
      case tipo_cella::segnale: q.segnali.push_back(punto); break;
      case tipo_cella::indicatore_v_max: q.indicatori.push_back(punto); break;
      case tipo_cella::fine_rallentamento:
      case tipo_cella::inizio_rallentamento:
      case tipo_cella::avviso_rallentamento: q.rallentamenti.push_back(punto); break;
      case tipo_cella::fermata: q.fermate.push_back(punto_senza_scarto); break;
      case tipo_cella::abbattimento:
      case tipo_cella::abbattimento_senza_velocita: q.abbattimenti.push_back(punto_senza_scarto); break;
      case tipo_cella::cartello:
        q.cartelli.push_back(punto);
        if (c.valore1 >= 1 && c.valore1 <= prima_voce_cartello) primo_cartello = std::min<int>(primo_cartello, c.valore1);
        break;
      default: break;
    }
  }
  for (int k = 1; k < primo_cartello; ++k) {
    const Voce& v = dati.voci[static_cast<std::size_t>(k)];
    if (voce_vuota(v)) break;
    StazioneVista s;
    s.numero = k;
    s.voce = &v;
    for (const PuntoCella& f : q.fermate) {
      if (f.c->valore1 == k) s.cella_fermata = f.cella;
    }
    q.stazioni.push_back(s);
  }

  // Hill sections: runs of one `tipo_montagna`, named by a tunnel sign within 500 m of them.
  for (std::size_t i = 0; i < dati.celle.size();) {
    const std::uint8_t tipo = dati.celle[i].tipo_montagna;
    std::size_t j = i;
    while (j < dati.celle.size() && dati.celle[j].tipo_montagna == tipo) ++j;
    if (tipo != 0) {
      Galleria g{static_cast<std::int64_t>(i) * metri_cella, static_cast<std::int64_t>(j) * metri_cella, tipo, {}};
      for (const PuntoCella& cartello : q.cartelli) {
        if (cartello.posizione < g.inizio - 500 || cartello.posizione > g.fine + 500) continue;
        const auto p = pannelli(dati.voci[static_cast<std::size_t>(std::clamp<int>(cartello.c->valore1, 0, 86))].nome);
        if (p.size() >= 2 && minuscolo(p[0]).rfind("galleria", 0) == 0) {
          g.nome = p[1];
          break;
        }
      }
      q.gallerie.push_back(std::move(g));
    }
    i = j;
  }

  q.curve = curve_del_tracciato(dati.tracciato, q.estensione);
  q.pendenze = tratti(
      dati.celle, [](std::uint8_t b) { return std::int32_t{b} - 100; }, &Cella::pendenza);
  q.velocita = tratti(
      dati.celle, [](std::uint8_t b) { return std::int32_t{b} * 5; }, &Cella::velocita);
  std::int64_t quota = 0;
  q.quota.emplace_back(0, 0);
  for (const Tratto& t : q.pendenze) {
    quota += std::int64_t{t.valore} * (t.fine - t.inizio);  // per mille over metres: millimetres
    q.quota.emplace_back(t.fine, quota);
  }
  return q;
}

std::vector<PuntoPianta> sfoltisci(const Tracciato& t, std::int64_t da, std::int64_t a, double tolleranza) {
  da = std::max<std::int64_t>(da, 0);
  a = std::min(a, t.metri() - 1);
  const double mezza = std::max(tolleranza / 2, 1e-9);
  const auto punto = [&](std::int64_t m) {
    const auto i = static_cast<std::size_t>(m);
    return PuntoPianta{m, t.valori[0][i], t.valori[1][i]};
  };

  // First pass: one point every half tolerance along the track; cheap over a million metres.
  std::vector<PuntoPianta> fitti;
  std::int64_t ultimo = -1;
  for (std::int64_t m = da; m <= a; ++m) {
    if (!ha_punto(t, m)) continue;
    ultimo = m;
    const PuntoPianta p = punto(m);
    if (!fitti.empty()) {
      const double dx = p.x - fitti.back().x, dy = p.y - fitti.back().y;
      if (dx * dx + dy * dy < mezza * mezza) continue;
    }
    fitti.push_back(p);
  }
  if (ultimo >= 0 && (fitti.empty() || fitti.back().metro != ultimo)) fitti.push_back(punto(ultimo));
  if (fitti.size() <= 2) return fitti;

  // Second pass: from each kept point, the directions that pass within half the tolerance of
  // every following point narrow to a sector; the point that leaves the sector starts anew.
  std::vector<PuntoPianta> fuori{fitti.front()};
  std::size_t ancora = 0, precedente = 0;
  bool settore = false;
  double riferimento = 0, basso = 0, alto = 0;
  for (std::size_t i = 1; i < fitti.size(); ++i) {
    for (;;) {
      const double dx = fitti[i].x - fitti[ancora].x, dy = fitti[i].y - fitti[ancora].y;
      const double d = std::sqrt(dx * dx + dy * dy);
      if (d <= mezza) break;
      const double ampiezza = std::asin(mezza / d);
      const double angolo = std::atan2(dy, dx);
      if (!settore) {
        settore = true;
        riferimento = angolo;
        basso = -ampiezza;
        alto = ampiezza;
        break;
      }
      double relativo = angolo - riferimento;
      if (relativo > std::numbers::pi) relativo -= 2 * std::numbers::pi;
      if (relativo < -std::numbers::pi) relativo += 2 * std::numbers::pi;
      if (relativo >= basso && relativo <= alto) {
        basso = std::max(basso, relativo - ampiezza);
        alto = std::min(alto, relativo + ampiezza);
        break;
      }
      fuori.push_back(fitti[precedente]);
      ancora = precedente;
      settore = false;
    }
    precedente = i;
  }
  if (fuori.back().metro != fitti.back().metro) fuori.push_back(fitti.back());
  return fuori;
}

}  // namespace scenario
