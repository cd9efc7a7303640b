// The profiles against distance from the start: the gradient profile (elevation summed from
// the cells' gradients, and the gradient) and the speed profile (board ranks, the train's
// limit, slowdowns, speed caps, and rows of signals, boards and stops). A band of station
// names on top, the distance and chainage axes below.
#include <algorithm>
#include <cmath>

#include "tools/rendi_svg.h"

namespace scenario::disegno {
namespace {

struct Asse {
  double x0 = 80, sx = 1;
  std::int64_t fine = 1;
  double x(std::int64_t m) const { return x0 + static_cast<double>(m) * sx; }
};

Asse asse_di(const Quadro& q) {
  Asse a;
  a.fine = std::max<std::int64_t>(q.estensione, 1);
  a.x0 = 80;
  a.sx = (larghezza - 30 - a.x0) / static_cast<double>(a.fine);
  return a;
}

// A panel: its top, height and value range, with its scale as data attributes.
struct Pannello {
  double alto = 0, altezza = 0, minimo = 0, massimo = 1;
  double sy() const { return altezza / std::max(massimo - minimo, 1e-9); }
  double y0() const { return alto + altezza + minimo * sy(); }  // the y of value 0
  double y(double v) const { return y0() - v * sy(); }
};

void apri_pannello(Svg& svg, const Asse& a, const Pannello& p, std::string_view classe) {
  svg.s += "<g class=\"pannello ";
  svg.s += classe;
  svg.s += "\" data-x0=\"";
  svg.n(a.x0, 3);
  svg.s += "\" data-sx=\"";
  svg.n(a.sx, 9);
  svg.s += "\" data-y0=\"";
  svg.n(p.y0(), 3);
  svg.s += "\" data-sy=\"";
  svg.n(p.sy(), 9);
  svg.s += "\">";
}

// Grid lines and value labels of a panel, every `passo`, with its unit.
void griglia(Svg& svg, const Asse& a, const Pannello& p, double passo, std::string_view unita, int decimali = 0) {
  svg.s += "<g class=\"griglia\" font-size=\"10\" fill=\"#555\">";
  for (double v = std::ceil(p.minimo / passo) * passo; v <= p.massimo + 1e-9; v += passo) {
    svg.linea(a.x0, p.y(v), a.x(a.fine), p.y(v),
              std::string("stroke=\"") + (std::fabs(v) < 1e-9 ? "#999" : colore::griglia) + "\"");
    std::string e;
    numero(e, v, decimali);
    svg.scritta(a.x0 - 6, p.y(v) + 3.5, e, "text-anchor=\"end\"");
  }
  svg.scritta(12, p.alto + p.altezza / 2, unita,
              "text-anchor=\"middle\" font-size=\"11\" transform=\"rotate(-90 12 " +
                  [&] {
                    std::string s;
                    numero(s, p.alto + p.altezza / 2);
                    return s;
                  }() +
                  ")\"");
  svg.rettangolo(a.x0, p.alto, a.x(a.fine) - a.x0, p.altezza, "fill=\"none\" stroke=\"#999\"");
  svg.s += "</g>";
}

// The run-out and the tunnels as shaded bands over a height range.
void fasce(Svg& svg, const Quadro& q, const Asse& a, double alto, double basso) {
  svg.rettangolo(a.x(q.lunghezza), alto, a.x(q.estensione) - a.x(q.lunghezza), basso - alto,
                 "class=\"coda\" fill=\"#efefef\"");
  svg.s += "<g class=\"gallerie\" fill=\"";
  svg.s += colore::galleria;
  svg.s += "\" fill-opacity=\"0.22\">";
  for (const Galleria& g : q.gallerie) {
    svg.s += "<rect class=\"galleria\" data-m=\"";
    svg.i(g.inizio);
    svg.s += "\" x=\"";
    svg.n(a.x(g.inizio), 2);
    svg.s += "\" y=\"";
    svg.n(alto);
    svg.s += "\" width=\"";
    svg.n(std::max(a.x(g.fine) - a.x(g.inizio), 1.0), 2);
    svg.s += "\" height=\"";
    svg.n(basso - alto);
    svg.s += "\">";
    svg.titolo(nome_galleria(g));
    svg.s += "</rect>";
  }
  svg.s += "</g>";
}

// Station names in a band on top, with a dotted line down through the panels.
void stazioni_in_testa(Svg& svg, const Quadro& q, const Asse& a, double testa, double basso) {
  svg.s += "<g class=\"stazioni\" font-size=\"10\" fill=\"";
  svg.s += colore::stazione;
  svg.s += "\">";
  for (const StazioneVista& s : q.stazioni) {
    const std::int64_t m = s.voce->posizione_m;
    const double x = a.x(std::clamp<std::int64_t>(m, 0, a.fine));
    svg.s += "<g class=\"stazione\" data-m=\"";
    svg.i(m);
    svg.s += "\">";
    svg.titolo(descrivi_stazione(q, s));
    svg.linea(x, testa, x, basso,
              std::string("stroke=\"") + colore::stazione + "\" stroke-opacity=\"0.5\" stroke-dasharray=\"2 3\"");
    std::string trasforma = "transform=\"rotate(-60 ";
    numero(trasforma, x + 3);
    trasforma += ' ';
    numero(trasforma, testa - 4);
    trasforma += ")\"";
    svg.scritta(x + 3, testa - 4, s.voce->nome, trasforma);
    svg.s += "</g>";
  }
  svg.s += "</g>";
}

// The distance axis (km from the start) and the chainage row under it.
void assi_in_basso(Svg& svg, const Quadro& q, const Asse& a, double y) {
  const auto passo = static_cast<std::int64_t>(passo_tondo(std::max(60 / a.sx, 1000.0)));
  svg.s += "<g class=\"distanze\" font-size=\"10\" fill=\"#333\">";
  for (std::int64_t m = 0; m <= a.fine; m += passo) {
    svg.linea(a.x(m), y, a.x(m), y + 4, "stroke=\"#333\"");
    svg.scritta(a.x(m), y + 15, std::to_string(m / 1000), "text-anchor=\"middle\"");
  }
  svg.scritta(a.x0 - 6, y + 15, "km", "text-anchor=\"end\" font-weight=\"bold\"");
  svg.s += "</g><g class=\"progressive\" font-size=\"10\" fill=\"";
  svg.s += colore::tacca;
  svg.s += "\">";
  const double yc = y + 32;
  svg.scritta(a.x0 - 6, yc, "chainage", "text-anchor=\"end\" font-weight=\"bold\"");
  for (const Tacca& t : tacche(q.dati->voci, 0, q.lunghezza, passo, 45 / a.sx)) {
    svg.s += "<g class=\"tacca";
    if (t.ripresa) svg.s += " ripresa";
    svg.s += "\" data-m=\"";
    svg.i(t.metri);
    svg.s += "\" data-km=\"";
    svg.s += km(t.progressiva);
    svg.s += "\">";
    if (t.ripresa) {
      svg.titolo("The chainage restarts at " + std::to_string(t.metri) + " m: km " +
                 km(progressiva(q.dati->voci, t.metri - 1)) + " becomes km " + km(t.progressiva));
      svg.linea(a.x(t.metri), yc - 12, a.x(t.metri), yc + 14,
                std::string("stroke=\"") + colore::ripresa + "\" stroke-width=\"2\"");
      svg.scritta(a.x(t.metri) + 3, yc + 13, km(t.progressiva),
                  std::string("fill=\"") + colore::ripresa + "\" font-weight=\"bold\"");
    } else {
      svg.linea(a.x(t.metri), yc - 12, a.x(t.metri), yc - 8, std::string("stroke=\"") + colore::tacca + "\"");
      svg.scritta(a.x(t.metri), yc, t.progressiva % 1000 == 0 ? std::to_string(t.progressiva / 1000) : km(t.progressiva),
                  "text-anchor=\"middle\"");
    }
    svg.s += "</g>";
  }
  svg.s += "</g>";
}

// A step line through stretches: value held from each start to its end.
void scalini(Svg& svg, const Asse& a, const Pannello& p, const std::vector<Tratto>& tratti, std::string_view attributi,
             std::string_view titolo) {
  if (tratti.empty()) return;
  svg.s += "<polyline points=\"";
  for (const Tratto& t : tratti) {
    const double y = p.y(t.valore);
    svg.n(a.x(std::min(t.inizio, a.fine)), 2);
    svg.s += ',';
    svg.n(y, 2);
    svg.s += ' ';
    svg.n(a.x(std::min(t.fine, a.fine)), 2);
    svg.s += ',';
    svg.n(y, 2);
    svg.s += ' ';
  }
  svg.s.back() = '"';
  svg.s += ' ';
  svg.s += attributi;
  svg.s += '>';
  svg.titolo(titolo);
  svg.s += "</polyline>";
}

// A legend entry, the next one to the right of it.
void voce_legenda_riga(Svg& svg, double& x, double y, std::string_view simbolo, std::string_view testo) {
  svg.voce_legenda(x, y, simbolo, testo, 30);
  x += 42 + 6.2 * static_cast<double>(testo.size());
}

}  // namespace

std::string figura_pendenze(const Quadro& q, bool autonomo) {
  Svg svg;
  const Asse a = asse_di(q);
  const double testa = 150;
  Pannello quota{testa, 230, 0, 1}, pendenza{testa + 250, 140, -10, 10};
  double qmin = 0, qmax = 0;
  for (const auto& [m, mm] : q.quota) {
    qmin = std::min(qmin, static_cast<double>(mm) / 1000);
    qmax = std::max(qmax, static_cast<double>(mm) / 1000);
  }
  const double passo_quota = passo_tondo(std::max(qmax - qmin, 1.0) / 5);
  quota.minimo = std::floor(qmin / passo_quota) * passo_quota;
  quota.massimo = std::ceil(qmax / passo_quota) * passo_quota;
  if (quota.massimo <= quota.minimo) quota.massimo = quota.minimo + passo_quota;
  double gmax = 5;
  for (const Tratto& t : q.pendenze) gmax = std::max(gmax, std::fabs(static_cast<double>(t.valore)));
  const double passo_pendenza = passo_tondo(gmax / 3);
  pendenza.massimo = std::ceil(gmax / passo_pendenza) * passo_pendenza;
  pendenza.minimo = -pendenza.massimo;
  const double basso = pendenza.alto + pendenza.altezza;
  const double altezza = basso + 95;

  const std::string titolo = "Gradient profile of " + q.dati->nome_percorso + ": elevation from the gradients, and the gradient";
  svg.apri(larghezza, altezza, "pendenze", autonomo, titolo);
  svg.scritta(20, 24, titolo, "font-size=\"15\" font-weight=\"bold\"");
  fasce(svg, q, a, quota.alto, basso);
  griglia(svg, a, quota, passo_quota, "elevation from the start (m)");
  griglia(svg, a, pendenza, passo_pendenza, "gradient (per mille)");

  apri_pannello(svg, a, quota, "quota");
  svg.s += "<polyline class=\"quota\" points=\"";
  for (const auto& [m, mm] : q.quota) {
    svg.n(a.x(std::min(m, a.fine)), 2);
    svg.s += ',';
    svg.n(quota.y(static_cast<double>(mm) / 1000), 2);
    svg.s += ' ';
  }
  svg.s.back() = '"';
  svg.s += " fill=\"none\" stroke=\"";
  svg.s += colore::quota;
  svg.s += "\" stroke-width=\"1.8\" stroke-linejoin=\"round\"><title>Elevation relative to the start, from the cells' gradients</title></polyline></g>";

  apri_pannello(svg, a, pendenza, "pendenza");
  scalini(svg, a, pendenza, q.pendenze,
          std::string("class=\"pendenza\" fill=\"none\" stroke=\"") + colore::pendenza + "\" stroke-width=\"1.3\"",
          "Gradient in per mille, one value per 50 m cell");
  svg.s += "</g>";

  stazioni_in_testa(svg, q, a, testa, basso);
  assi_in_basso(svg, q, a, basso + 6);
  double lx = a.x0;
  const double ly = altezza - 14;
  svg.s += "<g class=\"legenda\" font-size=\"11\">";
  voce_legenda_riga(svg, lx, ly, std::string("<line x1=\"0\" y1=\"0\" x2=\"24\" y2=\"0\" stroke=\"") + colore::quota + "\" stroke-width=\"1.8\"/>", "elevation (m)");
  voce_legenda_riga(svg, lx, ly, std::string("<line x1=\"0\" y1=\"0\" x2=\"24\" y2=\"0\" stroke=\"") + colore::pendenza + "\" stroke-width=\"1.3\"/>", "gradient (per mille)");
  voce_legenda_riga(svg, lx, ly, std::string("<rect x=\"0\" y=\"-6\" width=\"24\" height=\"12\" fill=\"") + colore::galleria + "\" fill-opacity=\"0.22\"/>", "tunnel (hill section)");
  voce_legenda_riga(svg, lx, ly, "<rect x=\"0\" y=\"-6\" width=\"24\" height=\"12\" fill=\"#efefef\"/>", "run-out");
  voce_legenda_riga(svg, lx, ly, std::string("<line x1=\"12\" y1=\"-7\" x2=\"12\" y2=\"7\" stroke=\"") + colore::stazione + "\" stroke-dasharray=\"2 3\"/>", "station");
  voce_legenda_riga(svg, lx, ly, std::string("<line x1=\"12\" y1=\"-7\" x2=\"12\" y2=\"7\" stroke=\"") + colore::ripresa + "\" stroke-width=\"2\"/>", "chainage restarts");
  svg.s += "</g></svg>\n";
  return svg.s;
}

namespace {

// A row of marks under the speed panel: one mark per feature, at its position.
template <typename Titolo>
void riga_di_segni(Svg& svg, const Asse& a, double y, std::string_view nome, std::string_view classe,
                   const char* colore_segno, const std::vector<PuntoCella>& punti, Titolo titolo) {
  svg.scritta(a.x0 - 6, y + 4, nome, "text-anchor=\"end\" font-size=\"10\" fill=\"#333\"");
  svg.linea(a.x0, y, a.x(a.fine), y, "stroke=\"#eee\"");
  svg.s += "<g class=\"riga\" stroke=\"";
  svg.s += colore_segno;
  svg.s += "\" stroke-width=\"1.5\">";
  for (const PuntoCella& p : punti) {
    const double x = a.x(std::clamp<std::int64_t>(p.posizione, 0, a.fine));
    svg.s += "<line class=\"";
    svg.s += classe;
    svg.s += "\" data-m=\"";
    svg.i(p.posizione);
    svg.s += "\" x1=\"";
    svg.n(x, 2);
    svg.s += "\" y1=\"";
    svg.n(y - 6);
    svg.s += "\" x2=\"";
    svg.n(x, 2);
    svg.s += "\" y2=\"";
    svg.n(y + 6);
    svg.s += "\">";
    svg.titolo(titolo(p));
    svg.s += "</line>";
  }
  svg.s += "</g>";
}

}  // namespace

std::string figura_velocita(const Quadro& q, bool autonomo) {
  Svg svg;
  const Asse a = asse_di(q);
  const double testa = 150;
  // Ranks A, B and C from the boards: each board's speeds hold to the next board.
  std::array<std::vector<Tratto>, 3> ranghi;
  for (std::size_t i = 0; i < q.indicatori.size(); ++i) {
    const std::int64_t da = q.indicatori[i].posizione;
    const std::int64_t fino = i + 1 < q.indicatori.size() ? q.indicatori[i + 1].posizione : q.lunghezza;
    for (int r = 0; r < 3; ++r) {
      ranghi[static_cast<std::size_t>(r)].push_back({da, std::max(fino, da), velocita_indicatore(*q.indicatori[i].c, r).first});
    }
  }
  double vmax = 100;
  for (const auto& r : ranghi)
    for (const Tratto& t : r) vmax = std::max(vmax, static_cast<double>(t.valore));
  for (const Tratto& t : q.velocita) vmax = std::max(vmax, static_cast<double>(t.valore));
  for (const PuntoCella& p : q.rallentamenti) vmax = std::max(vmax, static_cast<double>(p.c->valore1));
  vmax = std::min(std::ceil(vmax / 20) * 20, 1300.0);
  const Pannello pannello{testa, 300, 0, vmax};
  const double basso = pannello.alto + pannello.altezza;
  const double righe = basso + 22;
  const double altezza = righe + 4 * 20 + 95;

  const std::string titolo = "Speed profile of " + q.dati->nome_percorso + " for " + q.dati->nome_treno +
                             ": board ranks A, B, C and the train's limit";
  svg.apri(larghezza, altezza, "velocita", autonomo, titolo);
  svg.scritta(20, 24, titolo, "font-size=\"15\" font-weight=\"bold\"");
  fasce(svg, q, a, pannello.alto, righe + 3 * 20 + 8);
  griglia(svg, a, pannello, vmax > 400 ? 100 : 20, "speed (km/h)");

  apri_pannello(svg, a, pannello, "velocita");
  scalini(svg, a, pannello, q.velocita,
          std::string("class=\"limite\" fill=\"none\" stroke=\"") + colore::limite +
              "\" stroke-opacity=\"0.4\" stroke-width=\"4\"",
          "The train's speed limit, one value per 50 m cell");
  const std::array<const char*, 3> nomi_rango = {"A", "B", "C"};
  for (std::size_t r = 0; r < 3; ++r) {
    scalini(svg, a, pannello, ranghi[r],
            std::string("class=\"rango\" data-rango=\"") + nomi_rango[r] + "\" fill=\"none\" stroke=\"" +
                colore::rango[r] + "\" stroke-width=\"1.4\" stroke-dasharray=\"" + (r == 0 ? "none" : r == 1 ? "6 3" : "2 2") +
                "\"",
            std::string("Rank ") + nomi_rango[r] + " from the speed-indicator boards");
  }

  // Slowdowns: from each start to the next end at its speed; the warning boards as marks.
  svg.s += "<g class=\"rallentamenti\" stroke=\"";
  svg.s += colore::rallentamento;
  svg.s += "\" stroke-width=\"3\">";
  for (std::size_t i = 0; i < q.rallentamenti.size(); ++i) {
    const PuntoCella& p = q.rallentamenti[i];
    if (p.c->tipo == tipo_cella::inizio_rallentamento) {
      std::int64_t fine = p.posizione;
      for (std::size_t j = i + 1; j < q.rallentamenti.size(); ++j) {
        if (q.rallentamenti[j].c->tipo == tipo_cella::fine_rallentamento) {
          fine = q.rallentamenti[j].posizione;
          break;
        }
      }
      const double y = pannello.y(p.c->valore1);
      svg.s += "<g class=\"rallentamento\" data-m=\"";
      svg.i(p.posizione);
      svg.s += "\">";
      svg.titolo("Slowdown " + luogo(q, p.posizione) + " to " + std::to_string(fine) + " m at " +
                 std::to_string(p.c->valore1) + " km/h");
      // At least 4 px long, so that a short slowdown still shows on a long line.
      svg.linea(a.x(p.posizione), y, std::max(a.x(fine), a.x(p.posizione) + 4), y);
      svg.s += "</g>";
    } else if (p.c->tipo == tipo_cella::avviso_rallentamento) {
      const double x = a.x(std::clamp<std::int64_t>(p.posizione, 0, a.fine)), y = pannello.y(p.c->valore1);
      svg.s += "<path class=\"avviso\" data-m=\"";
      svg.i(p.posizione);
      svg.s += "\" d=\"M";
      svg.n(x);
      svg.s += ',';
      svg.n(y - 9);
      svg.s += " l5,8 l-10,0 z\" fill=\"#fff\" stroke-width=\"1.5\">";
      svg.titolo("Slowdown warning board " + luogo(q, p.posizione) + ": " + std::to_string(p.c->valore1) + " km/h");
      svg.s += "</path>";
    }
  }
  svg.s += "</g><g class=\"abbattimenti\" stroke=\"";
  svg.s += colore::abbattimento;
  svg.s += "\" stroke-width=\"1.5\">";
  for (const PuntoCella& p : q.abbattimenti) {
    const double x = a.x(std::clamp<std::int64_t>(p.posizione, 0, a.fine));
    const double y = p.c->tipo == tipo_cella::abbattimento ? pannello.y(p.c->valore1) : pannello.y(0) - 6;
    svg.s += "<path class=\"abbattimento\" data-m=\"";
    svg.i(p.posizione);
    svg.s += "\" d=\"M";
    svg.n(x - 3);
    svg.s += ',';
    svg.n(y - 3);
    svg.s += " l6,6 m0,-6 l-6,6\">";
    svg.titolo(p.c->tipo == tipo_cella::abbattimento
                   ? "Speed-cap point " + luogo(q, p.posizione) + ": " + std::to_string(p.c->valore1) + " km/h"
                   : "Speed-cap point without a speed " + luogo(q, p.posizione));
    svg.s += "</path>";
  }
  svg.s += "</g></g>";

  // Rows of marks: signals, boards, stops.
  riga_di_segni(svg, a, righe, "signals", "segnale", colore::segnale, q.segnali,
                [&](const PuntoCella& p) { return descrivi_segnale(q, p); });
  riga_di_segni(svg, a, righe + 20, "boards", "indicatore", colore::rango[0], q.indicatori,
                [&](const PuntoCella& p) { return descrivi_indicatore(q, p); });
  riga_di_segni(svg, a, righe + 40, "stops", "fermata", colore::stazione, q.fermate, [&](const PuntoCella& p) {
    const int k = p.c->valore1;
    const std::string nome = k >= 1 && k <= prima_voce_cartello ? q.dati->voci[static_cast<std::size_t>(k)].nome : "";
    return "Station stop of " + (nome.empty() ? "station " + std::to_string(k) : nome) + " " + luogo(q, p.posizione) +
           " (cell " + std::to_string(p.cella) + ")";
  });
  stazioni_in_testa(svg, q, a, testa, righe + 3 * 20 + 8 - 14);
  assi_in_basso(svg, q, a, righe + 3 * 20);

  double lx = a.x0;
  const double ly = altezza - 14;
  svg.s += "<g class=\"legenda\" font-size=\"11\">";
  voce_legenda_riga(svg, lx, ly, std::string("<line x1=\"0\" y1=\"0\" x2=\"24\" y2=\"0\" stroke=\"") + colore::limite + "\" stroke-opacity=\"0.4\" stroke-width=\"4\"/>", "train's limit");
  for (std::size_t r = 0; r < 3; ++r) {
    voce_legenda_riga(svg, lx, ly, std::string("<line x1=\"0\" y1=\"0\" x2=\"24\" y2=\"0\" stroke=\"") + colore::rango[r] + "\" stroke-width=\"1.4\" stroke-dasharray=\"" + (r == 0 ? "none" : r == 1 ? "6 3" : "2 2") + "\"/>", std::string("rank ") + nomi_rango[r]);
  }
  voce_legenda_riga(svg, lx, ly, std::string("<line x1=\"0\" y1=\"0\" x2=\"24\" y2=\"0\" stroke=\"") + colore::rallentamento + "\" stroke-width=\"3\"/>", "slowdown");
  voce_legenda_riga(svg, lx, ly, std::string("<path d=\"M12,-6 l5,8 l-10,0 z\" fill=\"#fff\" stroke=\"") + colore::rallentamento + "\" stroke-width=\"1.5\"/>", "slowdown warning");
  voce_legenda_riga(svg, lx, ly, std::string("<path d=\"M9,-3 l6,6 m0,-6 l-6,6\" stroke=\"") + colore::abbattimento + "\" stroke-width=\"1.5\"/>", "speed cap");
  voce_legenda_riga(svg, lx, ly, std::string("<rect x=\"0\" y=\"-6\" width=\"24\" height=\"12\" fill=\"") + colore::galleria + "\" fill-opacity=\"0.22\"/>", "tunnel");
  voce_legenda_riga(svg, lx, ly, "<rect x=\"0\" y=\"-6\" width=\"24\" height=\"12\" fill=\"#efefef\"/>", "run-out");
  svg.s += "</g></svg>\n";
  return svg.s;
}

}  // namespace scenario::disegno
