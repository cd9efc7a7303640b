// `percorso render` on the numbers: what the figures say is read back from their elements and
// their scale (data-m, data-x0, data-sx, data-y0, data-sy) and checked against the rows of the
// descriptions, not against pixels.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <set>
#include <sstream>

#include "aiuti.h"
#include "documents/documents.h"
#include "tools/rendi.h"

namespace scenario {
namespace {

using prova::percorso;
using Attributi = std::map<std::string, std::string>;

// The attributes of every element whose opening tag holds `segno`, in document order.
std::vector<Attributi> elementi(std::string_view testo, std::string_view segno) {
  std::vector<Attributi> fuori;
  for (std::size_t i = testo.find(segno); i != std::string_view::npos; i = testo.find(segno, i + 1)) {
    const std::size_t apre = testo.rfind('<', i), chiude = testo.find('>', i);
    const std::string_view tag = testo.substr(apre, chiude - apre);
    Attributi a;
    for (std::size_t k = tag.find("=\""); k != std::string_view::npos; k = tag.find("=\"", k)) {
      const std::size_t nome = tag.rfind(' ', k) + 1, fine = tag.find('"', k + 2);
      a[std::string(tag.substr(nome, k - nome))] = std::string(tag.substr(k + 2, fine - k - 2));
      k = fine + 1;
    }
    fuori.push_back(std::move(a));
  }
  return fuori;
}

double numero(const Attributi& a, const std::string& nome) { return std::stod(a.at(nome)); }

// The value rows of one keyword in a description: the fields after the keyword, as numbers.
std::vector<std::vector<long>> righe_di(std::span<const std::string_view> righe, std::string_view parola) {
  std::vector<std::vector<long>> fuori;
  for (const auto r : righe) {
    if (r.rfind(parola, 0) != 0) continue;
    std::vector<long> valori;
    std::stringstream ss{std::string(r.substr(r.find(',') + 1))};
    for (std::string campo; std::getline(ss, campo, ',');) {
      try {
        valori.push_back(std::stol(campo));
      } catch (const std::exception&) {
        valori.push_back(0);  // a name or an empty field
      }
    }
    fuori.push_back(valori);
  }
  return fuori;
}

// A panel's scale and its polyline as (metres, value) pairs.
struct Curva2 {
  double x0, sx, y0, sy;
  std::vector<std::pair<double, double>> punti;
  double a(double metri) const {  // linear between the vertices
    for (std::size_t i = 1; i < punti.size(); ++i) {
      if (punti[i].first >= metri) {
        const auto [m0, v0] = punti[i - 1];
        const auto [m1, v1] = punti[i];
        return m1 == m0 ? v1 : v0 + (v1 - v0) * (metri - m0) / (m1 - m0);
      }
    }
    return punti.back().second;
  }
};

Curva2 leggi_pannello(const std::string& svg, const std::string& pannello, const std::string& linea) {
  const auto g = elementi(svg, "class=\"pannello " + pannello + "\"");
  EXPECT_EQ(g.size(), 1u) << pannello;
  Curva2 c{numero(g[0], "data-x0"), numero(g[0], "data-sx"), numero(g[0], "data-y0"), numero(g[0], "data-sy"), {}};
  const auto p = elementi(svg, linea);
  EXPECT_EQ(p.size(), 1u) << linea;
  std::stringstream ss(p.at(0).at("points"));
  for (std::string coppia; ss >> coppia;) {
    const double x = std::stod(coppia.substr(0, coppia.find(',')));
    const double y = std::stod(coppia.substr(coppia.find(',') + 1));
    c.punti.emplace_back((x - c.x0) / c.sx, (c.y0 - y) / c.sy);
  }
  return c;
}

// The embedded scenario compiled in memory once for all the tests here.
class RendiIncorporato : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    Descrizioni d{{"Valdora_linea.txt", testo_righe(righe_linea()), {}}, {"Valdora_Tarvo-.txt", testo_righe(righe_treno()), {}}};
    auto c = compila_in_memoria(d, "Valdora", "Tarvo");
    ASSERT_TRUE(c.dati.has_value());
    ASSERT_TRUE(c.diagnostiche.empty()) << c.diagnostiche[0].messaggio;
    dati_ = new DatiScenario(std::move(*c.dati));
    quadro_ = new Quadro(analizza(*dati_));
  }
  static void TearDownTestSuite() {
    delete quadro_;
    delete dati_;
  }
  static const Quadro& q() { return *quadro_; }

 private:
  static inline DatiScenario* dati_ = nullptr;
  static inline Quadro* quadro_ = nullptr;
};

TEST_F(RendiIncorporato, ElevationAtChosenKilometresIsTheSumOfTheGradientsBeforeThem) {
  const std::string svg = svg_figura(q(), Figura::pendenze, false);
  const Curva2 quota = leggi_pannello(svg, "quota", "class=\"quota\" points=");
  // By hand: 0 per mille over 0..600 m, -11 over 600..1200 m, then 0 to 1250 m and -4 (the row
  // "pendenza,  1250,   -4,5") from there to 2600 m.
  EXPECT_NEAR(quota.a(600), 0.0, 0.05);
  EXPECT_NEAR(quota.a(1200), -6.6, 0.05);
  EXPECT_NEAR(quota.a(2600), -6.6 - 0.004 * 1350, 0.05);
  // Further on, the sum of the gradients of the 50 m cells before each point.
  const auto pendenze = righe_di(righe_linea(), "pendenza");
  for (const long km : {50, 100, 150, 200, 218}) {
    double somma = 0;
    for (long cella = 0; cella < km * 20; ++cella) {
      long g = 0;
      for (const auto& r : pendenze) {
        if (r[0] / 50 <= cella) g = r[1];
      }
      somma += g * 0.05;
    }
    EXPECT_NEAR(quota.a(km * 1000.0), somma, 0.1) << "km " << km;
  }
  // The gradient panel says the same per cell: -4 at 2 km, the row "pendenza, 12050, 10" at 12.1 km.
  const Curva2 pendenza = leggi_pannello(svg, "pendenza", "class=\"pendenza\"");
  EXPECT_NEAR(pendenza.a(2000), -4, 0.05);
  EXPECT_NEAR(pendenza.a(12100), 10, 0.05);
}

TEST_F(RendiIncorporato, StationsAndSignalsSitAtTheirPositionsOnTheDistanceAxis) {
  std::vector<double> stazioni, segnali;
  for (const auto& r : righe_di(righe_treno(), "stazione")) stazioni.push_back(static_cast<double>(r[0]));
  for (const auto& r : righe_di(righe_treno(), "segnale")) segnali.push_back(static_cast<double>(r[0]));
  ASSERT_EQ(stazioni.size(), 25u);
  ASSERT_EQ(segnali.size(), 110u);

  for (const Figura f : {Figura::pendenze, Figura::velocita}) {
    const std::string svg = svg_figura(q(), f, false);
    const auto pannello = elementi(svg, "class=\"pannello ");
    ASSERT_FALSE(pannello.empty());
    const double x0 = numero(pannello[0], "data-x0"), sx = numero(pannello[0], "data-sx");
    // A station is a group whose first line is its mark.
    std::vector<double> trovate;
    for (std::size_t i = svg.find("<g class=\"stazione\""); i != std::string::npos;
         i = svg.find("<g class=\"stazione\"", i + 1)) {
      const auto a = elementi(std::string_view(svg).substr(i, svg.find('>', i) - i + 1), "class=\"stazione\"");
      const auto linea = elementi(std::string_view(svg).substr(svg.find("<line", i)), "<line");
      const double m = numero(a.at(0), "data-m");
      EXPECT_NEAR(numero(linea.at(0), "x1"), x0 + m * sx, 0.06) << m;
      trovate.push_back(m);
    }
    EXPECT_EQ(trovate, stazioni);
    if (f != Figura::velocita) continue;
    std::vector<double> trovati;
    for (const auto& a : elementi(svg, "<line class=\"segnale\"")) {
      const double m = numero(a, "data-m");
      EXPECT_NEAR(numero(a, "x1"), x0 + m * sx, 0.006) << m;
      trovati.push_back(m);
    }
    EXPECT_EQ(trovati, segnali);
  }
}

TEST_F(RendiIncorporato, ChainageTicksRestartWhereTheLinesChainageRestarts) {
  // "progressiva chilometrica uno, 180350, -180350" and "due, 194700, -16400".
  const auto scarto = [](double m) { return m >= 194700 ? -16400.0 : m >= 180350 ? -180350.0 : 0.0; };
  for (const Figura f : {Figura::pianta, Figura::pendenze, Figura::velocita}) {
    const std::string svg = svg_figura(q(), f, false);
    std::vector<std::pair<double, double>> riprese;
    double precedente = -1;
    const auto tacche = elementi(svg, "<g class=\"tacca");
    ASSERT_GE(tacche.size(), 10u);
    for (const auto& a : tacche) {
      const double m = numero(a, "data-m"), km = numero(a, "data-km");
      EXPECT_NEAR(km * 1000, m + scarto(m), 1e-6) << m;
      EXPECT_GT(m, precedente);
      precedente = m;
      if (a.at("class") == "tacca ripresa") riprese.emplace_back(m, km);
    }
    EXPECT_EQ(riprese, (std::vector<std::pair<double, double>>{{180350, 0}, {194700, 178.3}}));
  }
  // The overpass sign at 182250 reads km 1.900, and the signs table agrees.
  const std::string pagina = pagina_html(q(), {});
  const std::size_t riga = pagina.find("<tr data-m=\"182250\">");
  ASSERT_NE(riga, std::string::npos);
  EXPECT_NE(pagina.substr(riga, 200).find(">1.900<"), std::string::npos) << pagina.substr(riga, 200);
}

TEST(Progressiva, TheEntryThatStartsLastAtOrBeforeThePositionGivesTheOffset) {
  std::array<Voce, numero_voci> voci{};
  voci[81].inizio_zona = 194700;
  voci[81].fine_zona = -16400;
  voci[82].inizio_zona = 180350;
  voci[82].fine_zona = -180350;
  const std::vector<std::pair<std::int64_t, std::int64_t>> casi = {
      {0, 0}, {180349, 180349}, {180350, 0}, {182250, 1900}, {194699, 14349}, {194700, 178300}, {200400, 184000}};
  for (const auto& [p, attesa] : casi) EXPECT_EQ(progressiva(voci, p), attesa) << p;
  // An entry in use from position 0 shifts the whole line; one all zeros is not in use.
  voci = {};
  voci[83].fine_zona = 500;
  EXPECT_EQ(progressiva(voci, 0), 500);
  voci[83].fine_zona = 0;
  EXPECT_EQ(progressiva(voci, 1234), 1234);
}

TEST_F(RendiIncorporato, CurvesFoundInThePlanAreTheCurveRowsWithTheirClassAndSide) {
  std::vector<std::tuple<std::int64_t, std::int64_t, int, bool>> righe, trovate;
  for (const auto r : righe_linea()) {
    if (r.rfind("curva", 0) != 0) continue;
    const auto valori = righe_di(std::span(&r, 1), "curva")[0];
    righe.emplace_back(valori[0], valori[0] + valori[1], r[6] - '0', r[5] == 'd');
  }
  ASSERT_EQ(righe.size(), 100u);
  for (const Curva& c : q().curve) {
    trovate.emplace_back(c.inizio, c.fine, c.classe, c.destra);
    EXPECT_NEAR(c.k, classi_curva[static_cast<std::size_t>(c.classe - 1)], 1e-9);
  }
  EXPECT_EQ(trovate, righe);
}

TEST_F(RendiIncorporato, TunnelsAreTheHillSectionsNamedByTheirSigns) {
  std::vector<std::tuple<std::int64_t, std::int64_t, int, std::string>> trovate;
  for (const Galleria& g : q().gallerie) trovate.emplace_back(g.inizio, g.fine, g.tipo, g.nome);
  const std::vector<std::tuple<std::int64_t, std::int64_t, int, std::string>> attese = {
      {10950, 11000, 2, ""},           {79000, 80550, 2, "Tormena"},     {88950, 96500, 1, "Montorso"},
      {113250, 113400, 1, ""},         {114500, 122000, 1, "Sassonero"}, {126950, 127850, 1, "Cerreto"},
      {129150, 129500, 2, "Rovere"},   {156000, 161250, 2, "Monte Arsa"}};
  EXPECT_EQ(trovate, attese);
}

// The thinned plan never strays more than the tolerance from the track, and keeps few points.
TEST_F(RendiIncorporato, TheThinnedPlanStaysWithinItsToleranceWithFewPoints) {
  const Tracciato& t = q().dati->tracciato;
  for (const double tolleranza : {20.0, 2.0}) {
    const auto punti = sfoltisci(t, 0, q().estensione, tolleranza);
    ASSERT_GE(punti.size(), 2u);
    EXPECT_EQ(punti.front().metro, 0);
    EXPECT_EQ(punti.back().metro, q().estensione - 2);  // the last two metres are empty
    EXPECT_LT(punti.size(), tolleranza > 10 ? 1500u : 6000u);
    double peggiore = 0;
    std::size_t k = 0;
    for (std::int64_t m = 0; m <= punti.back().metro; ++m) {
      while (k + 1 < punti.size() && punti[k + 1].metro < m) ++k;
      const auto& a = punti[k];
      const auto& b = punti[std::min(k + 1, punti.size() - 1)];
      const double px = t.valori[0][static_cast<std::size_t>(m)], py = t.valori[1][static_cast<std::size_t>(m)];
      const double vx = b.x - a.x, vy = b.y - a.y, l2 = vx * vx + vy * vy;
      const double u = l2 > 0 ? std::clamp(((px - a.x) * vx + (py - a.y) * vy) / l2, 0.0, 1.0) : 0;
      peggiore = std::max(peggiore, std::hypot(px - a.x - u * vx, py - a.y - u * vy));
    }
    EXPECT_LE(peggiore, tolleranza) << tolleranza;
  }
  // A straight plan is two points whatever its length.
  Tracciato dritto;
  dritto.dimensiona(50000);
  for (int m = 0; m <= 50000; ++m) {
    ASSERT_TRUE(dritto.imposta_doppio(m, 0, 0.5 * m) && dritto.imposta_doppio(m, 1, m));
  }
  EXPECT_EQ(sfoltisci(dritto, 0, 50000, 0.1).size(), 2u);
}

TEST_F(RendiIncorporato, SpeedProfileHoldsTheBoardRanksAndTheTrainsLimit) {
  const std::string svg = svg_figura(q(), Figura::velocita, false);
  const auto g = elementi(svg, "class=\"pannello velocita\"");
  ASSERT_EQ(g.size(), 1u);
  Curva2 scala{numero(g[0], "data-x0"), numero(g[0], "data-sx"), numero(g[0], "data-y0"), numero(g[0], "data-sy"), {}};
  const auto leggi = [&](const std::string& segno) {
    Curva2 c = scala;
    std::stringstream ss(elementi(svg, segno).at(0).at("points"));
    for (std::string coppia; ss >> coppia;) {
      c.punti.emplace_back((std::stod(coppia.substr(0, coppia.find(','))) - c.x0) / c.sx,
                           (c.y0 - std::stod(coppia.substr(coppia.find(',') + 1))) / c.sy);
    }
    return c;
  };
  // "indicatori_vmax,  4000,  140,  145,  155" holds to the next board at 8000; the train's
  // "velocita, 4000, 155" likewise; at 9500 the board of 9450 (140, 155, 165).
  const std::vector<std::tuple<std::string, double, double>> casi = {
      {"data-rango=\"A\"", 6000, 140}, {"data-rango=\"B\"", 6000, 145}, {"data-rango=\"C\"", 6000, 155},
      {"class=\"limite\"", 6000, 155}, {"data-rango=\"A\"", 9500, 140}, {"data-rango=\"C\"", 9500, 165},
      {"class=\"limite\"", 500, 30},   {"class=\"limite\"", 212500, 30}};
  for (const auto& [segno, metri, kmh] : casi) EXPECT_NEAR(leggi(segno).a(metri), kmh, 0.05) << segno << " " << metri;
  // Each of the 48 boards is in the row of boards, at its row's position.
  std::vector<double> attese, trovate;
  for (const auto& r : righe_di(righe_linea(), "indicatori_vmax")) attese.push_back(static_cast<double>(r[0]));
  for (const auto& a : elementi(svg, "<line class=\"indicatore\"")) trovate.push_back(numero(a, "data-m"));
  EXPECT_EQ(trovate, attese);
}

// ---------------------------------------------------------------------------------------------
// A small scenario of the test's own, through the command.

const std::string linea_piccola =
    "[generale]\r\nlunghezza percorso,    20000\r\n[pendenze]\r\npendenza,  0,   5\r\n[cartelli]\r\n"
    "indicatori_vmax,  1100,  100,  110,  120,  0,  ,  ,  ,  0\r\n[fine]\r\n";
const std::string treno_piccolo =
    "[generale]\r\nvelocita,   0,    100\r\n"
    "stazione,    1000,  8,  500,  1, 0, 0,  0,0,0,  0,0,0,    0,   9,30,0, Citt\xE0 <Alta>\r\n"
    "rallentamento,  10000,  60,  500,  0,  1,  0\r\n[fine]\r\n\r\n";

class RendiComando : public ::testing::Test {
 protected:
  void SetUp() override {
    prova::scrivi_file(dir / "linea.txt", linea_piccola);
    prova::scrivi_file(dir / "treno.txt", treno_piccolo);
  }
  prova::CartellaTemporanea dir;
};

TEST_F(RendiComando, SlowdownsStopsAndNamesReachTheFiguresAndThePage) {
  const auto e = percorso({"render", (dir / "linea.txt").string(), (dir / "treno.txt").string(), "-o",
                           (dir / "pagina.html").string()});
  ASSERT_EQ(e.stato, 0) << e.err;
  const std::string pagina = prova::leggi_file(dir / "pagina.html");
  // The Windows-1252 name as UTF-8, escaped.
  EXPECT_NE(pagina.find("Citt\xC3\xA0 &lt;Alta&gt;"), std::string::npos);
  EXPECT_NE(pagina.find("09:30:00"), std::string::npos);
  EXPECT_NE(pagina.find("stop (cell 29)"), std::string::npos);
  const auto g = elementi(pagina, "class=\"pannello velocita\"");
  ASSERT_EQ(g.size(), 1u);
  const double x0 = numero(g[0], "data-x0"), sx = numero(g[0], "data-sx"), y0 = numero(g[0], "data-y0"),
               sy = numero(g[0], "data-sy");
  // The slowdown from 10000 to 10500 m at 60 km/h; its warning board 1200 m before.
  const auto r = elementi(pagina, "<g class=\"rallentamento\"");
  ASSERT_EQ(r.size(), 1u);
  EXPECT_EQ(r[0].at("data-m"), "10000");
  const std::size_t i = pagina.find("<g class=\"rallentamento\"");
  const auto linea = elementi(std::string_view(pagina).substr(pagina.find("<line", i)), "<line").at(0);
  EXPECT_NEAR(numero(linea, "x1"), x0 + 10000 * sx, 0.06);
  EXPECT_NEAR(numero(linea, "x2"), std::max(x0 + 10500 * sx, numero(linea, "x1") + 4), 0.06);
  EXPECT_NEAR(numero(linea, "y1"), y0 - 60 * sy, 0.06);
  EXPECT_EQ(elementi(pagina, "<path class=\"avviso\"").at(0).at("data-m"), "8800");
  // The station's stop, and the speed-cap points the completion pass put ahead of the slowdown.
  EXPECT_EQ(elementi(pagina, "<line class=\"fermata\"").at(0).at("data-m"), "1450");
  EXPECT_GE(elementi(pagina, "<path class=\"abbattimento\"").size(), 3u);
}

TEST_F(RendiComando, DescriptionsAndTheirBinaryFilesDrawTheSameFigures) {
  ASSERT_EQ(percorso({"compile", (dir / "linea.txt").string(), (dir / "treno.txt").string(), "-o",
                      (dir / "bin").string(), "--route", "Prova", "--train", "Uno"})
                .stato,
            0);
  for (const std::string figura : {"plan", "gradient", "speed"}) {
    const auto a = percorso({"render", (dir / "linea.txt").string(), (dir / "treno.txt").string(), "--route", "Prova",
                             "--train", "Uno", "--figure", figura, "-o", (dir / "a.svg").string()});
    const auto b = percorso({"render", "--binaries", (dir / "bin").string(), "--figure", figura, "-o",
                             (dir / "b.svg").string()});
    ASSERT_EQ(a.stato, 0) << a.err;
    ASSERT_EQ(b.stato, 0) << b.err;
    const std::string svg = prova::leggi_file(dir / "a.svg");
    EXPECT_EQ(svg.rfind("<?xml", 0), 0u);
    EXPECT_NE(svg.find("xmlns=\"http://www.w3.org/2000/svg\""), std::string::npos);
    EXPECT_EQ(svg, prova::leggi_file(dir / "b.svg")) << figura;
  }
  // Without the line data file (compiled with --no-line-data) the page still comes, without a plan.
  std::filesystem::remove(dir / "bin" / "Prova_linea.dat");
  const auto e = percorso({"render", "--binaries", (dir / "bin").string(), "--route", "Prova", "-o",
                           (dir / "pagina.html").string()});
  EXPECT_EQ(e.stato, 0) << e.err;
  EXPECT_NE(e.err.find("warning: no line data file: the plan of the line is not drawn"), std::string::npos) << e.err;
  EXPECT_NE(prova::leggi_file(dir / "pagina.html").find("There is no plan of the line to draw"), std::string::npos);
}

TEST_F(RendiComando, PngAndPdfAreTheSameFigureDrawnBySvgLibrary) {
  ASSERT_EQ(percorso({"render", (dir / "linea.txt").string(), (dir / "treno.txt").string(), "--figure", "gradient",
                      "-o", (dir / "f.svg").string()})
                .stato,
            0);
  const auto svg = elementi(prova::leggi_file(dir / "f.svg"), "<svg ").at(0);
  for (const std::string formato : {"png", "pdf"}) {
    const auto e = percorso({"render", (dir / "linea.txt").string(), (dir / "treno.txt").string(), "--figure",
                             "gradient", "--format", formato, "-o", (dir / ("f." + formato)).string()});
    ASSERT_EQ(e.stato, 0) << e.err;
  }
  const std::string png = prova::leggi_file(dir / "f.png");
  ASSERT_GT(png.size(), 24u);
  EXPECT_EQ(png.substr(0, 8), "\x89PNG\r\n\x1a\n");
  const auto grande = [&](std::size_t da) {
    return (static_cast<unsigned char>(png[da]) << 24) | (static_cast<unsigned char>(png[da + 1]) << 16) |
           (static_cast<unsigned char>(png[da + 2]) << 8) | static_cast<unsigned char>(png[da + 3]);
  };
  EXPECT_EQ(grande(16), 2 * std::stoul(svg.at("width")));
  EXPECT_EQ(grande(20), 2 * std::stoul(svg.at("height")));
  const std::string pdf = prova::leggi_file(dir / "f.pdf");
  EXPECT_EQ(pdf.substr(0, 5), "%PDF-");
  EXPECT_NE(pdf.find("%%EOF"), std::string::npos);
}

TEST_F(RendiComando, ACompileErrorIsShownAtItsRowAndTheExitStatusSaysSo) {
  std::string treno = treno_piccolo;
  treno.replace(treno.find("1000,  8"), 4, "1025");  // a station off the 50 m grid: code 8
  prova::scrivi_file(dir / "treno.txt", treno);
  const auto e = percorso({"render", (dir / "linea.txt").string(), (dir / "treno.txt").string(), "-o",
                           (dir / "pagina.html").string()});
  EXPECT_EQ(e.stato, 1);
  const std::string dove = (dir / "treno.txt").string() + ":3:";
  EXPECT_NE(e.err.find(dove), std::string::npos) << e.err;
  const std::string pagina = prova::leggi_file(dir / "pagina.html");
  EXPECT_NE(pagina.find("<code>" + dove), std::string::npos);
  // The page gives what percorso check says, with its id.
  EXPECT_NE(pagina.find("station row, field 2 (position, m) is `1025`: expected a multiple of 50 m"), std::string::npos);
  EXPECT_NE(pagina.find("station-position-not-multiple"), std::string::npos);
}

TEST_F(RendiComando, UsageAndFileErrorsEndWithStatusTwoAndWriteNothing) {
  prova::CartellaTemporanea due;
  for (const char* nome : {"A_linea.dat", "B_linea.dat"}) prova::scrivi_file(due / nome, "");
  const std::string pagina = (dir / "pagina.html").string();
  const std::vector<std::pair<std::vector<std::string>, std::string>> casi = {
      {{"render", "-o", pagina}, "give LINE_FILE and TRAIN_FILE, or --binaries DIR"},
      {{"render", (dir / "linea.txt").string(), "-o", pagina}, "give LINE_FILE and TRAIN_FILE"},
      {{"render", (dir / "linea.txt").string(), (dir / "manca.txt").string(), "-o", pagina}, "cannot read"},
      {{"render", "--binaries", (dir / "manca").string(), "-o", pagina}, "is not a folder"},
      {{"render", "--binaries", dir().string(), "-o", pagina}, "no <route>_linea.dat"},
      {{"render", "--binaries", due().string(), "-o", pagina}, "more than one route"},
      {{"render", "--binaries", due().string(), "--route", "A", "-o", pagina}, "no A_<train>.sim"},
      {{"render", (dir / "linea.txt").string(), (dir / "treno.txt").string(), "--figure", "map", "-o", pagina}, "map"},
      {{"render", (dir / "linea.txt").string(), (dir / "treno.txt").string(), "-o",
        (dir / "manca" / "pagina.html").string()},
       "cannot write"},
  };
  for (const auto& [argomenti, messaggio] : casi) {
    const auto e = percorso(argomenti);
    EXPECT_EQ(e.stato, 2) << argomenti.back() << e.err;
    EXPECT_NE(e.err.find(messaggio), std::string::npos) << e.err;
    EXPECT_FALSE(std::filesystem::exists(pagina));
  }
}

// ---------------------------------------------------------------------------------------------
// The page.

TEST_F(RendiIncorporato, ThePageHoldsItsTablesAndTheDiagnosticsItIsGiven) {
  const std::vector<RigaDiagnostica> diagnostiche = {
      {GravitaPagina::errore, "E021", "Valdora_linea.txt", 212, 3, "a board on a <sign> & more"},
      {GravitaPagina::avviso, "W004", "Valdora_Tarvo-.txt", 40, 0, "two stations close together"},
      {GravitaPagina::nota, "", "", 0, 0, "the run-out is 7000 m"},
  };
  const std::string pagina = pagina_html(q(), diagnostiche);
  EXPECT_NE(pagina.find("1 error, 1 warning, 1 note."), std::string::npos);
  const std::vector<std::string> righe_attese = {
      "<td class=\"errore\">error</td><td><code>Valdora_linea.txt:212:3</code></td><td><code>E021</code></td>"
      "<td>a board on a &lt;sign&gt; &amp; more</td>",
      "<td class=\"avviso\">warning</td><td><code>Valdora_Tarvo-.txt:40</code></td><td><code>W004</code></td>",
      "<td class=\"nota\">note</td><td><code>-</code></td><td><code>-</code></td><td>the run-out is 7000 m</td>",
  };
  for (const auto& r : righe_attese) EXPECT_NE(pagina.find(r), std::string::npos) << r;
  EXPECT_NE(pagina_html(q(), {}).find("No diagnostics"), std::string::npos);

  // Rows of the tables: the first station stops and leaves at 8:12:50; the type 28 one passes.
  EXPECT_NE(pagina.find("<td>Rivalba</td><td class=\"n\">0</td><td class=\"n\">0.000</td><td>-500 .. 500</td>"
                        "<td class=\"n\">8</td><td>stop (cell 9)</td><td>08:12:50</td>"),
            std::string::npos);
  EXPECT_NE(pagina.find("<td>Marzanello</td><td class=\"n\">198500</td><td class=\"n\">182.100</td>"),
            std::string::npos);
  EXPECT_NE(pagina.find("<td>pass</td>"), std::string::npos);
  EXPECT_NE(pagina.find("<tr data-m=\"1050\"><td class=\"n\">1050</td><td class=\"n\">1.050</td><td class=\"n\">22</td>"
                        "<td>2: 4 1 1</td><td>2: 2 1 1</td>"),
            std::string::npos);
  EXPECT_NE(pagina.find("<tr data-m=\"9450\"><td class=\"n\">9450</td><td class=\"n\">9.450</td><td class=\"n\">140</td>"
                        "<td class=\"n\">155</td><td class=\"n\">165</td><td>-</td><td>2 and 0</td>"),
            std::string::npos);

  // Self-contained: nothing loaded from anywhere, no script; hover titles and a print style.
  for (const char* fuori : {"http:", "https:", "src=", "href=\"/", "url(", "<script", "@import", "<link"}) {
    EXPECT_EQ(pagina.find(fuori), std::string::npos) << fuori;
  }
  EXPECT_NE(pagina.find("Content-Security-Policy\" content=\"default-src 'none'"), std::string::npos);
  EXPECT_NE(pagina.find("@media print"), std::string::npos);
  EXPECT_NE(pagina.find("<title>Rivalba: station 1, type 8, at 0 m"), std::string::npos);
  EXPECT_NE(pagina.find("<title>Tunnel Tormena, 79000..80550 m"), std::string::npos);
}

// Binary files can hold anything: absurd values are drawn as they are, clipped where they
// would leave the picture, and never read outside the model (the sanitizer build checks).
TEST(RendiDatiAssurdi, AnythingTheFilesHoldIsDrawnWithoutReadingOutside) {
  DatiScenario d;
  d.nome_percorso = "X";
  d.nome_treno = "Y";
  d.tracciato.dimensiona(40);
  const double strani[] = {std::nan(""), INFINITY, -INFINITY, 1e308, -1e308, 0};
  for (int m = 0; m <= 40; ++m) {
    ASSERT_TRUE(d.tracciato.imposta_doppio(m, 0, strani[m % 6]) && d.tracciato.imposta_doppio(m, 1, m));
  }
  d.celle.resize(300);
  for (std::size_t i = 0; i < d.celle.size(); ++i) {
    Cella& c = d.celle[i];
    c.tipo = static_cast<std::uint8_t>(i % 16);
    c.valore1 = static_cast<std::int16_t>(i % 2 ? -32768 : 32767);
    c.valore2 = c.valore3 = c.valore4 = -32768;
    c.pendenza = static_cast<std::uint8_t>(i * 37);
    c.velocita = 255;
    c.tipo_montagna = static_cast<std::uint8_t>(i / 7 % 3);
  }
  for (int k = 1; k <= 86; ++k) {
    Voce& v = d.voci[static_cast<std::size_t>(k)];
    v.posizione_m = k % 2 ? INT32_MIN : INT32_MAX;
    v.inizio_zona = k % 3 ? INT32_MAX : INT32_MIN;
    v.fine_zona = k % 5 ? INT32_MIN : INT32_MAX;
    v.orario = INT32_MIN;
    v.nome = std::string("(\x81\x01") + "<&>)(Galleria)";
  }
  d.voci[voce_generale].fine_zona = -5;
  for (const std::int32_t lunghezza : {-5, 2'000'000'000}) {
    d.voci[voce_generale].fine_zona = lunghezza;
    const Quadro q = analizza(d);
    EXPECT_EQ(pagina_html(q, {}).rfind("<!DOCTYPE html>", 0), 0u);
    for (const Figura f : {Figura::pianta, Figura::pendenze, Figura::velocita}) {
      const std::string svg = svg_figura(q, f, true);
      EXPECT_NE(svg.find("</svg>"), std::string::npos);
      EXPECT_EQ(svg.find("nan"), std::string::npos);
      EXPECT_EQ(svg.find("inf"), std::string::npos);
    }
  }
}

// A line at the length limit stays light: the plan thinned to the picture, the page small.
TEST(RendiLineaLunga, AMillionMetreLineGivesAPageUnderFiveMegabytes) {
  std::string linea =
      "[generale]\r\nlunghezza percorso,    1000000\r\nprogressiva chilometrica uno,    500000,    -400000,    0\r\n"
      "[curve]\r\n";
  for (int i = 0; i < 300; ++i) {
    linea += std::string(i % 2 ? "curvas" : "curvad") + std::to_string(1 + i % 6) + ",  " +
             std::to_string(2000 + i * 3300) + ",  " + std::to_string(200 + (i % 4) * 200) + "\r\n";
  }
  linea += "[pendenze]\r\n";
  for (int p = 0; p < 1000000; p += 1500) linea += "pendenza,  " + std::to_string(p) + ",   " + std::to_string(p % 17 - 8) + "\r\n";
  linea += "[fine]\r\n";
  Descrizioni d{{"linea", linea, {}}, {"treno", "[generale]\r\nvelocita, 0, 100\r\n[fine]\r\n\r\n", {}}};
  auto c = compila_in_memoria(d, "Lunga", "Uno");
  ASSERT_TRUE(c.dati.has_value());
  ASSERT_TRUE(c.diagnostiche.empty()) << c.diagnostiche[0].messaggio;
  const Quadro q = analizza(*c.dati);
  EXPECT_EQ(q.curve.size(), 300u);
  const std::string pagina = pagina_html(q, {});
  EXPECT_LT(pagina.size(), 5u * 1000 * 1000);
  const auto binario = elementi(pagina, "class=\"binario\"");
  ASSERT_EQ(binario.size(), 1u);
  const auto punti = std::count(binario[0].at("points").begin(), binario[0].at("points").end(), ',');
  EXPECT_GT(punti, 100);
  EXPECT_LT(punti, 20000);
}

}  // namespace
}  // namespace scenario
