// The plan of the line, to scale: the track thinned to the picture's resolution, the run-out,
// curves by class and side, chainage ticks and restarts, tunnels, stations, signals and signs,
// the end of the line, a scale bar and a legend.
#include <algorithm>
#include <cmath>
#include <limits>

#include "tools/rendi_svg.h"

namespace scenario::disegno {
namespace {

struct Pianta {
  const Quadro& q;
  const Tracciato& t;
  double scala = 1;  // px per metre
  double x_min = 0, y_max = 0, ox = 0, oy = 0;
  double tolleranza = 1;  // metres: a quarter of a pixel

  double X(double x) const { return ox + (x - x_min) * scala; }
  double Y(double y) const { return oy + (y_max - y) * scala; }

  bool punto(std::int64_t m, double& x, double& y) const {
    if (!t.contiene(m)) return false;
    const auto i = static_cast<std::size_t>(m);
    if (t.etichette[0][i] == Etichetta::vuoto || t.etichette[1][i] == Etichetta::vuoto) return false;
    x = t.valori[0][i];
    y = t.valori[1][i];
    return true;
  }
  // The nearest metre with a point, searching back then forth; false when the plan has none.
  bool vicino(std::int64_t m, double& x, double& y, std::int64_t& trovato) const {
    for (std::int64_t d = 0; d < 8; ++d) {
      for (const std::int64_t c : {m - d, m + d}) {
        if (punto(c, x, y)) {
          trovato = c;
          return true;
        }
      }
    }
    return false;
  }
  // The unit direction of travel at metre m, in plan coordinates.
  void direzione(std::int64_t m, double& dx, double& dy) const {
    double ax = 0, ay = 0, bx = 0, by = 0;
    std::int64_t a = 0, b = 0;
    dx = 0;
    dy = 1;
    if (!vicino(m - 3, ax, ay, a) || !vicino(m + 3, bx, by, b) || a == b) return;
    const double l = std::hypot(bx - ax, by - ay);
    if (l > 0) {
      dx = (bx - ax) / l;
      dy = (by - ay) / l;
    }
  }
  void polilinea(Svg& svg, std::int64_t da, std::int64_t a, std::string_view attributi) const {
    const auto punti = sfoltisci(t, da, a, tolleranza);
    if (punti.size() < 2) return;
    svg.s += "<polyline points=\"";
    for (const auto& p : punti) {
      svg.n(X(p.x));
      svg.s += ',';
      svg.n(Y(p.y));
      svg.s += ' ';
    }
    svg.s.back() = '"';
    if (!attributi.empty()) (svg.s += ' ') += attributi;
    svg.s += "/>";
  }
};

// A legend entry, the next one below it.
void legenda_voce(Svg& svg, double x, double& y, std::string_view simbolo, std::string_view testo) {
  svg.voce_legenda(x, y, simbolo, testo, 34);
  y += 19;
}

void barra_di_scala(Svg& svg, double x, double y, double scala) {
  const double metri = passo_tondo(160 / scala);
  const double w = metri * scala;
  svg.s += "<g class=\"scala\" data-metri=\"";
  svg.n(metri, 0);
  svg.s += "\">";
  svg.titolo("Scale bar: " + (metri >= 1000 ? testo::km(static_cast<std::int64_t>(metri)) + " km" : std::to_string(static_cast<int>(metri)) + " m"));
  svg.rettangolo(x, y, w / 2, 6, "fill=\"#222\"");
  svg.rettangolo(x + w / 2, y, w / 2, 6, "fill=\"#fff\" stroke=\"#222\"");
  svg.rettangolo(x, y, w, 6, "fill=\"none\" stroke=\"#222\"");
  svg.scritta(x, y + 20, "0", "text-anchor=\"middle\"");
  std::string etichetta = metri >= 1000 ? std::to_string(static_cast<std::int64_t>(metri / 1000)) + " km"
                                        : std::to_string(static_cast<std::int64_t>(metri)) + " m";
  svg.scritta(x + w, y + 20, etichetta, "text-anchor=\"middle\"");
  svg.s += "</g>";
}

}  // namespace

std::string figura_pianta(const Quadro& q, bool autonomo) {
  const Tracciato& t = q.dati->tracciato;
  Pianta p{q, t};
  Svg svg;
  // The extent of the plan, line and run-out.
  double x0 = std::numeric_limits<double>::max(), x1 = -x0, y0 = x0, y1 = -x0;
  const std::int64_t ultimo = std::min(q.estensione, t.metri() - 1);
  bool qualcosa = false;
  for (std::int64_t m = 0; m <= ultimo; ++m) {
    double x = 0, y = 0;
    if (!p.punto(m, x, y) || !std::isfinite(x) || !std::isfinite(y)) continue;
    qualcosa = true;
    x0 = std::min(x0, x);
    x1 = std::max(x1, x);
    y0 = std::min(y0, y);
    y1 = std::max(y1, y);
  }
  const std::string titolo = "Plan of the line " + q.dati->nome_percorso + " (" + km(q.lunghezza) +
                             " km; up is the starting direction)";
  const double margine = 50, legenda_w = 290, area_w = larghezza - legenda_w - 2 * margine - 20, area_h_massima = 1150;
  if (!qualcosa) {
    svg.apri(larghezza, 200, "pianta", autonomo, titolo);
    svg.scritta(20, 30, titolo, "font-size=\"15\" font-weight=\"bold\"");
    svg.scritta(20, 80, "There is no plan of the line to draw (no line data).", "font-size=\"13\"");
    svg.s += "</svg>\n";
    return svg.s;
  }
  const double bw = std::max(x1 - x0, 1.0), bh = std::max(y1 - y0, 1.0);
  p.scala = std::min(area_w / bw, area_h_massima / bh);
  const double disegno_h = bh * p.scala;
  const double altezza = std::max(disegno_h + 2 * margine + 60, 560.0);
  p.x_min = x0;
  p.y_max = y1;
  p.ox = margine + (area_w - bw * p.scala) / 2;
  p.oy = margine + 10;
  p.tolleranza = 0.25 / p.scala;

  svg.apri(larghezza, altezza, "pianta", autonomo, titolo);
  svg.scritta(20, 26, titolo, "font-size=\"15\" font-weight=\"bold\"");
  svg.s += "<g class=\"disegno\" data-scala=\"";
  svg.n(p.scala, 8);
  svg.s += "\">";

  // Tunnels and hill sections, under the track.
  svg.s += "<g class=\"gallerie\" fill=\"none\" stroke=\"";
  svg.s += colore::galleria;
  svg.s += "\" stroke-opacity=\"0.55\" stroke-width=\"9\">";
  for (const Galleria& g : q.gallerie) {
    svg.s += "<g class=\"galleria\" data-m=\"";
    svg.i(g.inizio);
    svg.s += "\">";
    svg.titolo(nome_galleria(g));
    p.polilinea(svg, g.inizio, g.fine, "");
    svg.s += "</g>";
  }
  svg.s += "</g>";

  // The line and its run-out.
  p.polilinea(svg, 0, q.lunghezza,
              std::string("class=\"binario\" fill=\"none\" stroke=\"") + colore::binario +
                  "\" stroke-width=\"1.6\" stroke-linejoin=\"round\"");
  svg.s += "<g class=\"coda\">";
  svg.titolo("Run-out: " + std::to_string(coda_percorso) + " m past the end of the line, not part of it");
  p.polilinea(svg, q.lunghezza, q.estensione,
              std::string("fill=\"none\" stroke=\"") + colore::coda + "\" stroke-width=\"1.4\" stroke-dasharray=\"5 4\"");
  svg.s += "</g>";

  // Curves: coloured by class over the track, with a dot on the inner side.
  svg.s += "<g class=\"curve\" fill=\"none\" stroke-width=\"3.5\" stroke-linecap=\"round\">";
  for (const Curva& c : q.curve) {
    const auto colore_classe = colore::classe[static_cast<std::size_t>(std::clamp(c.classe, 1, 6) - 1)];
    svg.s += "<g class=\"curva\" data-m=\"";
    svg.i(c.inizio);
    svg.s += "\" data-classe=\"";
    svg.i(c.classe);
    svg.s += "\" data-lato=\"";
    svg.s += c.destra ? "destra" : "sinistra";
    svg.s += "\" stroke=\"";
    svg.s += colore_classe;
    svg.s += "\">";
    std::string titolo_curva = std::string(c.destra ? "Right" : "Left") + " curve, class " + std::to_string(c.classe) +
                               ": ";
    numero(titolo_curva, c.k, 5);
    titolo_curva += " rad/m (radius ";
    numero(titolo_curva, c.k > 0 ? 1 / c.k : 0, 0);
    titolo_curva += " m), " + std::to_string(c.inizio) + ".." + std::to_string(c.fine) + " m (" +
                    std::to_string(c.fine - c.inizio) + " m), chainage km " + km(progressiva(q.dati->voci, c.inizio));
    svg.titolo(titolo_curva);
    p.polilinea(svg, c.inizio, c.fine, "");
    const std::int64_t mezzo = (c.inizio + c.fine) / 2;
    double x = 0, y = 0, dx = 0, dy = 1;
    std::int64_t trovato = 0;
    if (p.vicino(mezzo, x, y, trovato)) {
      p.direzione(mezzo, dx, dy);
      const double lato = c.destra ? 1 : -1;  // the right-hand normal of (dx, dy) is (dy, -dx)
      const double px = p.X(x) + lato * dy * 7, py = p.Y(y) + lato * dx * 7;
      svg.s += "<circle cx=\"";
      svg.n(px);
      svg.s += "\" cy=\"";
      svg.n(py);
      svg.s += "\" r=\"2.6\" stroke=\"none\" fill=\"";
      svg.s += colore_classe;
      svg.s += "\"/>";
    }
    svg.s += "</g>";
  }
  svg.s += "</g>";

  // Chainage ticks along the line, and the restarts.
  const auto passo_km = static_cast<std::int64_t>(passo_tondo(std::max(45 / p.scala, 1000.0)));
  svg.s += "<g class=\"progressive\" font-size=\"9\" fill=\"";
  svg.s += colore::tacca;
  svg.s += "\">";
  for (const Tacca& tc : tacche(q.dati->voci, 0, q.lunghezza, passo_km, 30 / p.scala)) {
    double x = 0, y = 0, dx = 0, dy = 1;
    std::int64_t trovato = 0;
    if (!p.vicino(tc.metri, x, y, trovato)) continue;
    p.direzione(tc.metri, dx, dy);
    const double X = p.X(x), Y = p.Y(y);
    // The left-hand normal on the page: (-dy, -dx) in page coordinates.
    const double nx = -dy, ny = -dx, lungo = tc.ripresa ? 9 : 5;
    svg.s += "<g class=\"tacca";
    if (tc.ripresa) svg.s += " ripresa";
    svg.s += "\" data-m=\"";
    svg.i(tc.metri);
    svg.s += "\" data-km=\"";
    svg.s += km(tc.progressiva);
    svg.s += "\">";
    svg.titolo(tc.ripresa ? "The chainage restarts " + std::string("at ") + std::to_string(tc.metri) +
                                " m: km " + km(progressiva(q.dati->voci, tc.metri - 1)) + " becomes km " +
                                km(tc.progressiva)
                          : "Chainage km " + km(tc.progressiva) + ", " + std::to_string(tc.metri) + " m from the start");
    svg.linea(X - nx * lungo, Y - ny * lungo, X + nx * lungo, Y + ny * lungo,
              std::string("stroke=\"") + (tc.ripresa ? colore::ripresa : colore::tacca) +
                  (tc.ripresa ? "\" stroke-width=\"2.2\"" : "\" stroke-width=\"1\""));
    std::string etichetta = tc.ripresa ? "km " + km(tc.progressiva) : std::to_string(tc.progressiva / 1000);
    if (!tc.ripresa && tc.progressiva % 1000 != 0) etichetta = km(tc.progressiva);
    svg.scritta(X + nx * (lungo + 9), Y + ny * (lungo + 9) + 3, etichetta,
                tc.ripresa ? std::string("text-anchor=\"middle\" font-weight=\"bold\" fill=\"") + colore::ripresa + "\""
                           : "text-anchor=\"middle\"");
    svg.s += "</g>";
  }
  svg.s += "</g>";

  // Signs and signals: small marks with their titles.
  svg.s += "<g class=\"cartelli\" fill=\"";
  svg.s += colore::cartello;
  svg.s += "\">";
  for (const PuntoCella& c : q.cartelli) {
    double x = 0, y = 0;
    std::int64_t trovato = 0;
    if (!p.vicino(c.posizione, x, y, trovato)) continue;
    svg.s += "<rect class=\"cartello\" data-m=\"";
    svg.i(c.posizione);
    svg.s += "\" x=\"";
    svg.n(p.X(x) - 2.2);
    svg.s += "\" y=\"";
    svg.n(p.Y(y) - 2.2);
    svg.s += "\" width=\"4.4\" height=\"4.4\" transform=\"rotate(45 ";
    svg.n(p.X(x));
    svg.s += ' ';
    svg.n(p.Y(y));
    svg.s += ")\">";
    svg.titolo("Sign " + luogo(q, c.posizione) + ": " +
               q.dati->voci[static_cast<std::size_t>(std::clamp<int>(c.c->valore1, 0, 86))].nome);
    svg.s += "</rect>";
  }
  svg.s += "</g><g class=\"segnali\" fill=\"";
  svg.s += colore::segnale;
  svg.s += "\">";
  for (const PuntoCella& c : q.segnali) {
    double x = 0, y = 0;
    std::int64_t trovato = 0;
    if (!p.vicino(c.posizione, x, y, trovato)) continue;
    svg.s += "<circle class=\"segnale\" data-m=\"";
    svg.i(c.posizione);
    svg.s += "\" cx=\"";
    svg.n(p.X(x));
    svg.s += "\" cy=\"";
    svg.n(p.Y(y));
    svg.s += "\" r=\"2\">";
    svg.titolo(descrivi_segnale(q, c));
    svg.s += "</circle>";
  }
  svg.s += "</g>";

  // The end of the line.
  {
    double x = 0, y = 0, dx = 0, dy = 1;
    std::int64_t trovato = 0;
    if (p.vicino(q.lunghezza, x, y, trovato)) {
      p.direzione(q.lunghezza, dx, dy);
      const double X = p.X(x), Y = p.Y(y), nx = -dy, ny = -dx;
      svg.s += "<g class=\"fine-linea\" data-m=\"";
      svg.i(q.lunghezza);
      svg.s += "\">";
      svg.titolo("End of the line " + luogo(q, q.lunghezza) + "; the run-out follows");
      svg.linea(X - nx * 10, Y - ny * 10, X + nx * 10, Y + ny * 10, "stroke=\"#000\" stroke-width=\"3\"");
      svg.scritta(X - nx * 14 + (nx <= 0 ? 4 : -4), Y - ny * 14 + 4, "end of line",
                  std::string("font-weight=\"bold\" text-anchor=\"") + (nx <= 0 ? "start" : "end") + "\"");
      svg.s += "</g>";
    }
  }

  // Stations, on top.
  svg.s += "<g class=\"stazioni\" font-size=\"11\">";
  for (const StazioneVista& s : q.stazioni) {
    double x = 0, y = 0, dx = 0, dy = 1;
    std::int64_t trovato = 0;
    const std::int64_t m = s.voce->posizione_m;
    if (!p.vicino(std::clamp<std::int64_t>(m, 0, q.estensione), x, y, trovato)) continue;
    p.direzione(m, dx, dy);
    const double X = p.X(x), Y = p.Y(y);
    svg.s += "<g class=\"stazione\" data-m=\"";
    svg.i(m);
    svg.s += "\">";
    svg.titolo(descrivi_stazione(q, s));
    svg.s += "<circle cx=\"";
    svg.n(X);
    svg.s += "\" cy=\"";
    svg.n(Y);
    svg.s += "\" r=\"4.5\" fill=\"#fff\" stroke=\"";
    svg.s += colore::stazione;
    svg.s += "\" stroke-width=\"2\"/>";
    // The name on the right-hand side of the track, away from the chainage labels.
    const double nx = dy, ny = dx;
    const bool destra = nx >= 0;
    svg.scritta(X + nx * 9 + (destra ? 4 : -4), Y + ny * 9 + 4, s.voce->nome,
                std::string("fill=\"") + colore::stazione + "\" text-anchor=\"" + (destra ? "start" : "end") + "\"");
    svg.s += "</g>";
  }
  svg.s += "</g></g>";

  barra_di_scala(svg, margine, altezza - 40, p.scala);

  // The legend.
  double y = 70;
  // Beside the drawing where there is room, else at the right edge.
  const double lx = std::min(p.ox + bw * p.scala + 60, larghezza - legenda_w);
  svg.s += "<g class=\"legenda\" font-size=\"11\">";
  svg.scritta(lx, y - 20, "Legend", "font-weight=\"bold\" font-size=\"12\"");
  legenda_voce(svg, lx, y, std::string("<line x1=\"0\" y1=\"0\" x2=\"26\" y2=\"0\" stroke=\"") + colore::binario + "\" stroke-width=\"1.6\"/>", "line");
  legenda_voce(svg, lx, y, std::string("<line x1=\"0\" y1=\"0\" x2=\"26\" y2=\"0\" stroke=\"") + colore::coda + "\" stroke-width=\"1.4\" stroke-dasharray=\"5 4\"/>", "run-out (" + std::to_string(coda_percorso) + " m, not line)");
  legenda_voce(svg, lx, y, "<line x1=\"13\" y1=\"-7\" x2=\"13\" y2=\"7\" stroke=\"#000\" stroke-width=\"3\"/>", "end of the line");
  legenda_voce(svg, lx, y, std::string("<line x1=\"0\" y1=\"0\" x2=\"26\" y2=\"0\" stroke=\"") + colore::galleria + "\" stroke-opacity=\"0.55\" stroke-width=\"9\"/>", "tunnel (hill section)");
  legenda_voce(svg, lx, y, std::string("<circle cx=\"13\" cy=\"0\" r=\"4.5\" fill=\"#fff\" stroke=\"") + colore::stazione + "\" stroke-width=\"2\"/>", "station");
  legenda_voce(svg, lx, y, std::string("<circle cx=\"13\" cy=\"0\" r=\"2\" fill=\"") + colore::segnale + "\"/>", "signal");
  legenda_voce(svg, lx, y, std::string("<rect x=\"10.8\" y=\"-2.2\" width=\"4.4\" height=\"4.4\" transform=\"rotate(45 13 0)\" fill=\"") + colore::cartello + "\"/>", "sign");
  legenda_voce(svg, lx, y, std::string("<line x1=\"13\" y1=\"-5\" x2=\"13\" y2=\"5\" stroke=\"") + colore::tacca + "\"/>", "chainage every " + std::to_string(passo_km / 1000) + " km");
  legenda_voce(svg, lx, y, std::string("<line x1=\"13\" y1=\"-9\" x2=\"13\" y2=\"9\" stroke=\"") + colore::ripresa + "\" stroke-width=\"2.2\"/>", "chainage restarts");
  y += 8;
  svg.scritta(lx, y, "Curves, by class (dot on the inner side):", "font-weight=\"bold\"");
  y += 20;
  for (std::size_t c = 0; c < classi_curva.size(); ++c) {
    std::string voce = "class " + std::to_string(c + 1) + ": ";
    numero(voce, classi_curva[c], 4);
    voce += " rad/m, radius ";
    numero(voce, 1 / classi_curva[c], 0);
    voce += " m";
    legenda_voce(svg, lx, y, std::string("<line x1=\"0\" y1=\"0\" x2=\"26\" y2=\"0\" stroke=\"") + colore::classe[c] + "\" stroke-width=\"3.5\" stroke-linecap=\"round\"/>", voce);
  }
  y += 8;
  svg.scritta(lx, y, std::to_string(q.curve.size()) + " curves, " + std::to_string(q.stazioni.size()) + " stations, " +
                         std::to_string(q.segnali.size()) + " signals");
  svg.s += "</g></svg>\n";
  return svg.s;
}

}  // namespace scenario::disegno
