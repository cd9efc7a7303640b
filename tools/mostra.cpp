// `percorso draw`: the plan of the line drawn as an SVG picture.
#include <algorithm>
#include <cmath>
#include <fstream>
#include <iomanip>
#include <iterator>
#include <memory>
#include <ostream>
#include <sstream>

#include "output/codifica.h"
#include "output/output.h"
#include "tools/percorso.h"

namespace scenario {
namespace {

std::optional<std::string> leggi_tutto(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  if (!in) return std::nullopt;
  return std::string{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

int disegna(const std::filesystem::path& file, const std::filesystem::path& svg, std::ostream& err) {
  const auto dati = leggi_tutto(file);
  if (!dati) {
    err << "percorso: cannot read " << file.string() << "\n";
    return 2;
  }
  const auto t = decodifica_linea(*dati);
  if (!t) {
    err << file.string() << ": error: not a line data file (tagged plan values)\n";
    return 1;
  }
  std::vector<std::pair<double, double>> punti;
  // One point per cell length: enough for a picture of the whole line.
  for (std::int64_t m = 0; m < t->metri(); m += metri_cella) {
    const auto i = static_cast<std::size_t>(m);
    if (t->etichette[0][i] == Etichetta::vuoto || t->etichette[1][i] == Etichetta::vuoto) continue;
    punti.emplace_back(t->valori[0][i], t->valori[1][i]);
  }
  if (punti.empty()) {
    err << file.string() << ": error: the plan has no points to draw\n";
    return 1;
  }
  double x0 = punti[0].first, x1 = x0, y0 = punti[0].second, y1 = y0;
  for (const auto& [x, y] : punti) {
    x0 = std::min(x0, x);
    x1 = std::max(x1, x);
    y0 = std::min(y0, y);
    y1 = std::max(y1, y);
  }
  // A square picture of `lato_svg` pixels with a margin all round; the plan keeps its proportions.
  constexpr double lato_svg = 800;
  constexpr double margine = 20;
  const double lato = std::max({x1 - x0, y1 - y0, 1.0});
  const double scala = (lato_svg - 2 * margine) / lato;
  auto px = [&](double x) { return margine + (x - x0) * scala; };
  auto py = [&](double y) { return lato_svg - margine - (y - y0) * scala; };
  std::ostringstream s;
  s << std::fixed << std::setprecision(1) << "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" << lato_svg
    << "\" height=\"" << lato_svg << "\" viewBox=\"0 0 " << lato_svg << ' ' << lato_svg << "\">\n"
    << "<rect width=\"" << lato_svg << "\" height=\"" << lato_svg
    << "\" fill=\"white\"/>\n<polyline fill=\"none\" stroke=\"black\" stroke-width=\"2\" points=\"";
  for (const auto& [x, y] : punti) s << px(x) << ',' << py(y) << ' ';
  s << "\"/>\n<circle cx=\"" << px(punti.front().first) << "\" cy=\"" << py(punti.front().second)
    << "\" r=\"5\" fill=\"green\"/>\n</svg>\n";
  if (auto errore = scrivi_intero(svg, s.str())) {
    err << "percorso: cannot write " << svg.string() << ": " << *errore << "\n";
    return 2;
  }
  return 0;
}

}  // namespace

Sottocomando comando_draw(CLI::App& percorso) {
  auto file = std::make_shared<std::string>();
  auto svg = std::make_shared<std::string>("linea.svg");
  CLI::App* c = percorso.add_subcommand("draw", "Draw the plan of the line from a line data file as an SVG picture.");
  c->add_option("FILE", *file, "The line data file (*_linea.dat)")->required();
  c->add_option("-o,--output", *svg, "The SVG file to write")->capture_default_str();
  c->footer(
      "Examples:\n"
      "  percorso draw out/Valdora_linea.dat -o linea.svg");
  return {c, [file, svg](std::ostream&, std::ostream& err) { return disegna(*file, *svg, err); }};
}

}  // namespace scenario
