// The embedded line and train descriptions: the fixed rows, counts and forms, and the
// coherence of the scenario (signs against the chainage, boards against the speed rows, free
// signal cells).
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "documents/documents.h"
#include "model/modello.h"

namespace scenario {
namespace {

std::vector<std::string> righe(std::span<const std::string_view> r) { return {r.begin(), r.end()}; }

// The rows under a header, up to the next header.
std::vector<std::string> sezione(const std::vector<std::string>& testo, const std::string& intestazione) {
  auto it = std::find(testo.begin(), testo.end(), intestazione);
  std::vector<std::string> out;
  if (it == testo.end()) return out;
  for (++it; it != testo.end() && !(it->size() > 1 && it->front() == '['); ++it) {
    if (!it->empty()) out.push_back(*it);
  }
  return out;
}

// The whole numbers of a row, in order.
std::vector<long> numeri(const std::string& riga) {
  std::vector<long> v;
  static const std::regex numero(R"(-?\d+)");
  std::string resto = riga.substr(riga.find(','));
  for (std::sregex_iterator i(resto.begin(), resto.end(), numero), fine; i != fine; ++i) v.push_back(std::stol(i->str()));
  return v;
}

const auto linea = righe(righe_linea());
const auto treno = righe(righe_treno());

TEST(DescrizioniIncorporate, LineDescriptionLayout) {
  ASSERT_EQ(linea.size(), 349u);
  const std::vector<std::pair<std::string, std::size_t>> sezioni = {
      {"[generale]", 1}, {"[curve]", 10}, {"[pendenze]", 111}, {"[montagne]", 270},
      {"[cartelli]", 279}, {"[indicazioni]", 328}, {"[fine]", 349}};
  for (const auto& [titolo, numero] : sezioni) EXPECT_EQ(linea[numero - 1], titolo);
  EXPECT_EQ(sezione(linea, "[curve]").size(), 100u);
  EXPECT_EQ(sezione(linea, "[pendenze]").size(), 158u);
  EXPECT_EQ(sezione(linea, "[montagne]").size(), 8u);
  EXPECT_EQ(sezione(linea, "[cartelli]").size(), 48u);
  EXPECT_EQ(sezione(linea, "[indicazioni]").size(), 20u);
  const std::vector<std::string> generale = {
      "lunghezza percorso,    218000",
      "progressiva chilometrica uno,    180350,    -180350,    0",
      "progressiva chilometrica due,    194700,    -16400,    0",
      "progressiva chilometrica tre,    0,    0,    0",
      "sfondo uno,    1",
      "sfondo due,    0",
      "sfondo tre,    0",
      "ripetizione segnali 4 codici,    2100,    211050"};
  EXPECT_EQ(std::vector<std::string>(linea.begin() + 1, linea.begin() + 9), generale);
  EXPECT_EQ(linea[114], "pendenza,  1250,   -4,5");
  for (const auto& r : linea) {
    for (char c : r) ASSERT_TRUE(c >= 0x20 && c < 0x7F) << r;
  }
}

TEST(DescrizioniIncorporate, LineRowsQuotedAndFormed) {
  const std::set<std::string> citate = {
      "curvas1,  1350,  150", "curvad3,  2350,  50", "curvad6,  212250,  200", "curvas2,  156000,  1750",
      "pendenza,  0,   0", "pendenza,  600,   -11", "pendenza,  1200,   0", "pendenza,  212700,   0",
      "pendenza,  210550,   -12", "montagna,   79000,  80550,  12",
      "indicatori_vmax,  9450,  140,  155,  165,  2,  ,  ,  ,  0",
      "indicatori_vmax,  9750,  140,  155,  165,  1,  ,  ,  ,  0",
      "indicatori_vmax,  10050,  140,  155,  165,  0,  ,  ,  ,  0",
      "indicatori_vmax,  1100,  105,  110,  125,  0,  ,  ,  ,  0",
      "indicatori_vmax,  211000,  30,  30,  30,  0,  ,  ,  ,  0",
      "cartello_indicatore,  10950,   (Cippo )(  Km  )(11+000)", "cartello_indicatore,  79900,   (Culmine)",
      "cartello_indicatore,  166700,   (   Km  )(166+700)",
      "cartello_indicatore,  182250,   (Cavalcavia)(    Km    )(   1.900  )",
      "cartello_indicatore,  92650,   (Culmine )(Galleria)"};
  for (const auto& r : citate) EXPECT_NE(std::find(linea.begin(), linea.end(), r), linea.end()) << r;
  EXPECT_EQ(sezione(linea, "[curve]").front(), "curvas1,  1350,  150");
  EXPECT_EQ(sezione(linea, "[curve]")[1], "curvad3,  2350,  50");
  EXPECT_EQ(sezione(linea, "[curve]").back(), "curvad6,  212250,  200");

  const std::vector<std::pair<std::string, std::regex>> forme = {
      {"[curve]", std::regex(R"(curva([sd])([1-6]),  (\d+),  (\d+))")},
      {"[pendenze]", std::regex(R"(pendenza,  \d+,   -?\d+(,5)?)")},
      {"[montagne]", std::regex(R"(montagna,   \d+,  \d+,  \d+)")},
      {"[cartelli]", std::regex(R"(indicatori_vmax,  \d+,  \d+,  \d+,  \d+,  [012],  ,  ,  ,  0)")},
      {"[indicazioni]", std::regex(R"(cartello_indicatore,  \d+,   (\([^()]+\)){1,3})")}};
  for (const auto& [titolo, forma] : forme) {
    long prima = -1;
    for (const auto& r : sezione(linea, titolo)) {
      EXPECT_TRUE(std::regex_match(r, forma)) << r;
      const long p = numeri(r)[0];
      EXPECT_GT(p, prima) << r;
      EXPECT_EQ(p % 50, 0) << r;
      prima = p;
    }
  }
}

TEST(DescrizioniIncorporate, CurvesByClassAndSideNeverOverlap) {
  std::map<std::string, int> conta;
  long fine = 0;
  for (const auto& r : sezione(linea, "[curve]")) {
    conta[r.substr(0, 7)]++;
    const auto n = numeri(r);  // the class digit is part of the keyword, not a number field
    const long inizio = n[n.size() - 2], lunghezza = n.back();
    EXPECT_GT(inizio, fine) << r;
    EXPECT_TRUE(lunghezza >= 50 && lunghezza <= 1750 && lunghezza % 50 == 0) << r;
    fine = inizio + lunghezza;
  }
  const std::map<std::string, int> attese = {{"curvas1", 2},  {"curvad1", 4},  {"curvas2", 6},  {"curvad2", 9},
                                             {"curvas3", 15}, {"curvad3", 22}, {"curvas4", 17}, {"curvad4", 18},
                                             {"curvas5", 3},  {"curvad5", 2},  {"curvas6", 1},  {"curvad6", 1}};
  EXPECT_EQ(conta, attese);
}

TEST(DescrizioniIncorporate, BoardsAndSigns) {
  const auto cartelli = sezione(linea, "[cartelli]");
  int gruppi = 0, soli = 0;
  for (std::size_t i = 0; i < cartelli.size(); ++i) {
    const auto n = numeri(cartelli[i]);
    EXPECT_TRUE(n[1] <= n[2] && n[2] <= n[3] && n[1] >= 30 && n[3] <= 180) << cartelli[i];
    if (n[4] == 2) {
      ASSERT_LT(i + 2, cartelli.size());
      const auto b = numeri(cartelli[i + 1]), c = numeri(cartelli[i + 2]);
      EXPECT_EQ(b[0], n[0] + 300);
      EXPECT_EQ(c[0], n[0] + 600);
      EXPECT_EQ((std::vector<long>{b[1], b[2], b[3], b[4], c[1], c[2], c[3], c[4]}),
                (std::vector<long>{n[1], n[2], n[3], 1, n[1], n[2], n[3], 0}));
      ++gruppi;
      i += 2;
    } else {
      EXPECT_EQ(n[4], 0) << cartelli[i];
      ++soli;
    }
  }
  EXPECT_EQ(gruppi, 11);
  EXPECT_EQ(soli, 15);

  std::map<std::size_t, int> pannelli;
  for (const auto& r : sezione(linea, "[indicazioni]")) {
    std::vector<std::string> p;
    static const std::regex pannello(R"(\(([^()]*)\))");
    for (std::sregex_iterator i(r.begin(), r.end(), pannello), fine; i != fine; ++i) p.push_back((*i)[1]);
    pannelli[p.size()]++;
    for (const auto& x : p) EXPECT_TRUE(x.size() == p[0].size() && x.size() >= 6 && x.size() <= 11) << r;
  }
  EXPECT_EQ(pannelli, (std::map<std::size_t, int>{{1, 2}, {2, 9}, {3, 9}}));
}

// The chainage at a position: from 0, restarting at the "uno" entry and again at the "due" entry.
double progressiva(long p) {
  if (p >= 194700) return (p - 16400) / 1000.0;
  if (p >= 180350) return (p - 180350) / 1000.0;
  return p / 1000.0;
}

TEST(DescrizioniIncorporate, KilometrePostsStandWhereTheChainageReachesThem) {
  int posti = 0;
  for (const auto& r : sezione(linea, "[indicazioni]")) {
    if (r.find("Km") == std::string::npos) continue;
    // The last panel holds the kilometre: "(11+000)", "(166+700)", or "(   1.900  )".
    const std::string ultimo = r.substr(r.rfind('(') + 1, r.rfind(')') - r.rfind('(') - 1);
    const auto piu = ultimo.find('+');
    const double km = piu == std::string::npos ? std::stod(ultimo)
                                               : std::stod(ultimo.substr(0, piu)) + std::stod(ultimo.substr(piu + 1)) / 1000;
    EXPECT_LE(std::abs(progressiva(numeri(r)[0]) - km), 0.050 + 1e-9) << r;
    ++posti;
  }
  EXPECT_EQ(posti, 10);  // eight posts, one mark, the overpass
}

TEST(DescrizioniIncorporate, TrainDescriptionLayout) {
  ASSERT_EQ(treno.size(), 181u);
  const std::vector<std::pair<std::string, std::size_t>> sezioni = {
      {"[generale]", 1}, {"[aderenze]", 6}, {"[vel_limite]", 14}, {"[stazioni]", 41},
      {"[rallentamenti]", 67}, {"[segnali]", 68}, {"[codici]", 179}, {"[fine]", 180}};
  for (const auto& [titolo, numero] : sezioni) EXPECT_EQ(treno[numero - 1], titolo);
  EXPECT_EQ(treno[180], "");
  const std::vector<std::string> inizio = {"numero vetture,    12", "percentuale massa frenata,    130", "sabbia,    180",
                                           "orologio,    8               12            50 "};
  EXPECT_EQ(std::vector<std::string>(treno.begin() + 1, treno.begin() + 5), inizio);
  const std::vector<std::string> aderenze = {"aderenza,       0,    63", "aderenza,    9550,    58",
                                             "aderenza,   36650,    75", "aderenza,   73300,    80",
                                             "aderenza,   86750,    88", "aderenza,  122200,    95",
                                             "aderenza,  158900,    98"};
  EXPECT_EQ(sezione(treno, "[aderenze]"), aderenze);
  const auto velocita = sezione(treno, "[vel_limite]");
  ASSERT_EQ(velocita.size(), 26u);
  EXPECT_EQ(velocita[0], "velocita,   0,    30");
  EXPECT_EQ(velocita[1], "velocita,    1100,   125");
  EXPECT_EQ(velocita[2], "velocita,    4000,   155");
  EXPECT_EQ(velocita[24], "velocita,  210050,    90");
  EXPECT_EQ(velocita[25], "velocita,  212100,    30");
  const std::set<long> ammesse = {30, 90, 115, 120, 125, 135, 140, 145, 155, 160, 165, 170, 175, 180};
  std::set<long> usate;
  for (std::size_t i = 1; i < velocita.size(); ++i) {
    EXPECT_TRUE(std::regex_match(velocita[i], std::regex(R"(velocita, {1,8}\d{1,8}, {1,6}\d{1,6})"))) << velocita[i];
    EXPECT_EQ(velocita[i].size(), 24u) << velocita[i];
    usate.insert(numeri(velocita[i])[1]);
  }
  EXPECT_EQ(usate, ammesse);
  EXPECT_EQ(sezione(treno, "[stazioni]").size(), 25u);
  EXPECT_EQ(sezione(treno, "[segnali]").size(), 110u);
  EXPECT_TRUE(sezione(treno, "[rallentamenti]").empty());
}

TEST(DescrizioniIncorporate, StationsAndSignalsValues) {
  const auto stazioni = sezione(treno, "[stazioni]");
  EXPECT_EQ(stazioni.front(), "stazione,       0,  8,  500,  1, 0, 0,  4,1,0,  2,1,1,    1,   8,12,50, Rivalba");
  EXPECT_EQ(stazioni.back(), "stazione,  213950,  6,  400,  1, 0, 0,  1,1,0,  2,1,1,    0,  10, 0, 0, Casterno");
  EXPECT_NE(std::find(stazioni.begin(), stazioni.end(),
                      "stazione,  198500, 28,  300,  0, 0, 0,  0,0,0,  0,0,0,    0,   0, 0, 0, Marzanello"),
            stazioni.end());
  // Distribution of each value field over the 25 rows (value 1 is the position).
  std::vector<std::map<long, int>> valori(17);
  for (const auto& r : stazioni) {
    const auto n = numeri(r);
    ASSERT_EQ(n.size(), 16u) << r;
    for (std::size_t i = 0; i < n.size(); ++i) valori[i + 1][n[i]]++;
    EXPECT_EQ(r.find(", ", r.rfind(',')), r.rfind(',')) << r;  // the name after the last comma and one space
  }
  EXPECT_EQ(valori[2], (std::map<long, int>{{24, 15}, {12, 3}, {4, 2}, {2, 2}, {8, 1}, {28, 1}, {6, 1}}));
  EXPECT_EQ(valori[3], (std::map<long, int>{{400, 16}, {500, 6}, {300, 3}}));
  EXPECT_EQ(valori[4], (std::map<long, int>{{0, 23}, {1, 2}}));
  EXPECT_EQ(valori[5], (std::map<long, int>{{0, 25}}));
  EXPECT_EQ(valori[6], (std::map<long, int>{{0, 16}, {1, 9}}));
  EXPECT_EQ(valori[7], (std::map<long, int>{{0, 16}, {1, 8}, {4, 1}}));
  EXPECT_EQ(valori[8], (std::map<long, int>{{0, 16}, {1, 9}}));
  EXPECT_EQ(valori[9], (std::map<long, int>{{0, 25}}));
  EXPECT_EQ(valori[10], (std::map<long, int>{{4, 22}, {2, 2}, {0, 1}}));
  EXPECT_EQ(valori[11], (std::map<long, int>{{1, 24}, {0, 1}}));
  EXPECT_EQ(valori[13], (std::map<long, int>{{0, 23}, {1, 2}}));

  const auto segnali = sezione(treno, "[segnali]");
  EXPECT_EQ(segnali.front(), "segnale,    1050,   2, 4, 1,  1, 0,    2,  2,1,1, 0");
  EXPECT_EQ(segnali.back(), "segnale,  212100,   2, 2, 3,  1, 0,    0,  0,0,0, 245");
  std::map<long, int> s1;
  int senza_d = 0;
  for (const auto& r : segnali) {
    const auto n = numeri(r);
    ASSERT_EQ(n.size(), 11u) << r;
    EXPECT_EQ(n[1], 2) << r;
    EXPECT_EQ(n[5], 0) << r;
    s1[n[2]]++;
    if (n[6] == 0 && n[7] == 0 && n[8] == 0 && n[9] == 0) ++senza_d;
    if (&r != &segnali.back()) {
      EXPECT_EQ(n[10], 0) << r;
    }
  }
  EXPECT_EQ(s1, (std::map<long, int>{{4, 104}, {3, 3}, {5, 2}, {2, 1}}));
  EXPECT_EQ(senza_d, 97);
}

TEST(DescrizioniIncorporate, SpeedRowsFollowTheBoardsRankC) {
  std::vector<std::pair<long, long>> tavole;  // position, rank C speed
  for (const auto& r : sezione(linea, "[cartelli]")) tavole.emplace_back(numeri(r)[0], numeri(r)[3]);
  const auto velocita = sezione(treno, "[vel_limite]");
  for (std::size_t i = 1; i < velocita.size(); ++i) {
    const long p = numeri(velocita[i])[0], v = numeri(velocita[i])[1];
    long in_vigore = -1;
    for (const auto& [q, c] : tavole) if (q <= p) in_vigore = c;
    EXPECT_EQ(in_vigore, v) << velocita[i];
  }
}

TEST(DescrizioniIncorporate, SignalCellsAreFreeAndCellOneIsEmpty) {
  std::map<std::int64_t, std::string> occupate;
  for (const auto& r : sezione(linea, "[cartelli]")) occupate[cella_di(numeri(r)[0], 1)] = r;
  for (const auto& r : sezione(linea, "[indicazioni]")) {
    const auto c = cella_di(numeri(r)[0], 1);
    EXPECT_FALSE(occupate.count(c)) << r << " on " << occupate[c];
    occupate[c] = r;
  }
  for (const auto& r : sezione(treno, "[stazioni]")) {
    const auto n = numeri(r);
    if (n[1] >= 25) continue;
    const long meta = n[2] / 2 + (n[5] != 0 ? 50 : 0);
    const long fine = (n[1] == 5 || n[1] == 6) ? n[0] + 150 : (n[1] == 7 || n[1] == 8) ? n[0] + n[2] : n[0] + meta;
    occupate[arrotonda(fine, 50) - 1] = r;
  }
  EXPECT_FALSE(occupate.count(1));
  std::set<std::int64_t> segnali;
  for (const auto& r : sezione(treno, "[segnali]")) {
    const auto c = cella_di(numeri(r)[0], 1);
    EXPECT_FALSE(occupate.count(c)) << r << " on " << occupate[c];
    EXPECT_TRUE(segnali.insert(c).second) << r;
    EXPECT_NE(c, 1);
  }
}

}  // namespace
}  // namespace scenario
