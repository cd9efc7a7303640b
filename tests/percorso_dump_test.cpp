// `percorso dump` on the embedded scenario's three files (exported and compiled in a fresh
// folder) read back as JSON and as text, and on files it must refuse.
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <sys/stat.h>

#include <memory>

#include "aiuti.h"
#include "documents/documents.h"
#include "output/output.h"
#include "tools/percorso.h"

namespace scenario {
namespace {

using nlohmann::json;
using prova::percorso;

class PercorsoDump : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    dir = std::make_unique<prova::CartellaTemporanea>();
    const std::string p(nome_percorso_incorporato), t(nome_treno_incorporato);
    ASSERT_EQ(percorso({"export", "-o", dir->operator()().string()}).stato, 0);
    const auto c = percorso({"compile", (*dir / nome_descrizione_linea(p, t)).string(),
                             (*dir / nome_descrizione_treno(p, t)).string(), "-o", (*dir / "out").string()});
    ASSERT_EQ(c.stato, 0) << c.err;
  }
  static void TearDownTestSuite() { dir.reset(); }

  static std::string file(const std::string& nome) { return (dir->operator()() / "out" / nome).string(); }

  // `percorso dump FILE --json ...`, parsed.
  static json dump_json(const std::string& f, std::vector<std::string> extra = {}) {
    std::vector<std::string> a{"dump", f, "--json"};
    a.insert(a.end(), extra.begin(), extra.end());
    const auto u = percorso(a);
    EXPECT_EQ(u.stato, 0) << u.err;
    EXPECT_EQ(u.err, "");
    return json::parse(u.out);
  }

  // The record whose `chiave` is `valore`.
  static json record(const json& j, const std::string& chiave, std::int64_t valore) {
    for (const json& r : j["records"]) {
      if (r[chiave] == valore) return r;
    }
    ADD_FAILURE() << "no record with " << chiave << " " << valore;
    return json::object();
  }

  // The field of a record by its name.
  static json campo(const json& r, const std::string& nome) {
    for (const json& c : r["fields"]) {
      if (c["name"] == nome) return c;
    }
    ADD_FAILURE() << "no field " << nome;
    return json::object();
  }

  static inline std::unique_ptr<prova::CartellaTemporanea> dir;
};

TEST_F(PercorsoDump, TrainDataFileInJson) {
  const json j = dump_json(file("Valdora_Tarvo.dat"));
  EXPECT_EQ(j["kind"], "train data file");
  EXPECT_EQ(j["size"], 67515);
  const json& s = j["summary"];
  EXPECT_EQ(s["cells"], 4501);
  EXPECT_EQ(s["route_m"], 225000);
  EXPECT_EQ(s["line_length_m"], 218000);
  EXPECT_EQ(s["route_mark"], 5121);
  EXPECT_EQ(s["plain_code"], 2598);
  EXPECT_EQ(s["plain_code_from_names"], 2598);
  EXPECT_EQ(s["names_from"], file("Valdora_Tarvo.sim"));
  EXPECT_EQ(s["counts"]["signs"], 20);
  EXPECT_EQ(s["counts"]["slowdown_cells"], 0);

  // The header in cell 1, field by field at its file offsets.
  const json testata = record(j, "cell", 1);
  EXPECT_EQ(campo(testata, "valore1"),
            json({{"name", "valore1"}, {"offset", 16}, {"value", 5121}, {"meaning", "route mark"}}));
  EXPECT_EQ(campo(testata, "valore2")["offset"], 18);
  EXPECT_EQ(campo(testata, "valore2")["value"], 2598);

  // The board at 9450 m, in cell 190: its packed speeds taken apart.
  const json tabella = record(j, "cell", 190);
  EXPECT_EQ(tabella["offset"], 2850);
  EXPECT_EQ(tabella["details"]["kind_words"], "speed-indicator board");
  EXPECT_EQ(tabella["details"]["position_m"], 9450);
  EXPECT_EQ(tabella["details"]["first"], json({{"A", 140}, {"B", 155}, {"C", 165}, {"stripes", 2}}));
  EXPECT_EQ(tabella["details"]["second"], json({{"A", 0}, {"B", 0}, {"C", 0}, {"stripes", 0}}));

  // The signal at 1050 m: `segnale, 1050, 2, 4, 1, 1, 0, 2, 2,1,1, 0`.
  const json segnale = record(j, "cell", 22)["details"];
  EXPECT_EQ(segnale["s"], json({4, 1, 1}));
  EXPECT_EQ(segnale["d"], json({2, 1, 1}));
  EXPECT_EQ(segnale["sx"], 2);
  EXPECT_EQ(segnale["dx"], 2);
  EXPECT_EQ(segnale["rapp"], 0);

  // The first station's stop cell and a sign name what they point at.
  EXPECT_EQ(record(j, "cell", 9)["details"]["name"], "Rivalba");
  const json cartello = record(j, "cell", 4009)["details"];
  EXPECT_EQ(cartello["text"], "(Cippo  )(  Km   )(184+000)");
  EXPECT_EQ(cartello["position_m"], 200400);
  EXPECT_EQ(cartello["chainage_m"], 184000);  // 200400 - 16400, the chainage entry from 194700 m

  // By default only cells that hold something; --all lists every one.
  for (const json& r : j["records"]) EXPECT_NE(r["cell"], 3);
  EXPECT_EQ(dump_json(file("Valdora_Tarvo.dat"), {"--all"})["records"].size(), 4501u);
}

TEST_F(PercorsoDump, SimulationFileInJson) {
  const json j = dump_json(file("Valdora_Tarvo.sim"));
  EXPECT_EQ(j["kind"], "simulation file");
  const json& s = j["summary"];
  EXPECT_EQ(s["route"], "Valdora");
  EXPECT_EQ(s["train"], "Tarvo");
  EXPECT_EQ(s["line_mark"], 610);
  EXPECT_EQ(s["weighted_code"], 33092);
  EXPECT_EQ(s["codes_from_names"], json({{"plain", 2598}, {"weighted", 33092}}));
  EXPECT_EQ(s["stations"], 25);
  EXPECT_EQ(s["signs"], 20);
  EXPECT_EQ(s["chainage_entries_in_use"], 2);
  EXPECT_EQ(s["line_length_m"], 218000);
  EXPECT_EQ(s["cab_signal_repetition"], json({{"from_m", 2100}, {"to_m", 211050}, {"codes", 4}}));
  EXPECT_EQ(s["clock"], "8:12:50");

  const json rivalba = record(j, "entry", 1);
  EXPECT_EQ(rivalba["offset"], 34);
  EXPECT_EQ(rivalba["details"]["name"], "Rivalba");
  EXPECT_EQ(rivalba["details"]["position_m"], 0);
  EXPECT_EQ(rivalba["details"]["zone_m"], json({-500, 500}));
  EXPECT_EQ(rivalba["details"]["time"], "8:12:50");

  const json testata = record(j, "entry", 85);
  EXPECT_EQ(testata["offset"], 3610);
  EXPECT_EQ(campo(testata, "parametro_1"),
            json({{"name", "parametro_1"}, {"offset", 3633}, {"value", 610}, {"meaning", "line mark"}}));
  EXPECT_EQ(campo(testata, "orario")["offset"], 3647);
  EXPECT_EQ(campo(testata, "orario")["value"], 33092);
  EXPECT_EQ(record(j, "entry", 86)["offset"], 3651);
  EXPECT_EQ(record(j, "entry", 80)["details"]["text"], "(Cippo )(  Km  )(11+000)");
  EXPECT_EQ(record(j, "entry", 81)["details"], json({{"role", "chainage"}, {"in_use", true}, {"from_m", 194700},
                                                     {"offset_m", -16400}, {"flag", 0}}));
  // Empty entries are left out unless asked for.
  for (const json& r : j["records"]) EXPECT_NE(r["entry"], 83);
  EXPECT_EQ(dump_json(file("Valdora_Tarvo.sim"), {"--all"})["records"].size(), 87u);
}

TEST_F(PercorsoDump, LineDataFileInJson) {
  const json j = dump_json(file("Valdora_linea.dat"), {"--step", "100000"});
  EXPECT_EQ(j["kind"], "line data file");
  EXPECT_EQ(j["summary"]["metres"], 225001);
  EXPECT_EQ(j["summary"]["line_length_m"], 218000);
  EXPECT_EQ(j["summary"]["values"], json({{"integer", 4}, {"binary64", 449994}, {"empty", 4}}));
  ASSERT_EQ(j["records"].size(), 3u);  // metres 0, 100000, 200000
  const json& zero = j["records"][0];
  EXPECT_EQ(zero["offsets"], json({0, 2249982}));
  EXPECT_EQ(zero["details"], json({{"across", 0}, {"along", 0}}));
  EXPECT_EQ(campo(zero, "etichetta[1]")["value"], 2);
  EXPECT_EQ(j["records"][1]["metre"], 100000);
  EXPECT_EQ(campo(j["records"][1], "etichetta[0]")["meaning"], "binary64");
}

TEST_F(PercorsoDump, TextReadsLikeTheReference) {
  const auto treno = percorso({"dump", file("Valdora_Tarvo.dat")});
  ASSERT_EQ(treno.stato, 0) << treno.err;
  for (const std::string& riga : {
           std::string("train data file " + file("Valdora_Tarvo.dat") + ", 67515 bytes\n"),
           std::string("\ncell 190, bytes 2850..2864: from 9500 m (km 9.500): speed-indicator board at 9450 m "
                       "(km 9.450): 140/155/165 km/h, 2 stripes\n"),
           std::string("\ncell 189, bytes 2835..2849: from 9450 m (km 9.450): no feature; speed 165 km/h\n"),
           std::string("\n       2851  valore1           2800  rank A 140 km/h; second set 0 km/h\n"),
           std::string("\n         16  valore1           5121  route mark\n"),
           std::string("\ncell 9, bytes 135..149: from 450 m (km 0.450): station stop of station entry 1, "
                       "\"Rivalba\"\n"),
           std::string("  approach mark 1 of 4 (1 nearest), ahead of a station stop, or a signal with sx * 3 + dx = 8\n"),
       }) {
    EXPECT_NE(treno.out.find(riga), std::string::npos) << riga;
  }
  const auto sim = percorso({"dump", file("Valdora_Tarvo.sim")});
  ASSERT_EQ(sim.stato, 0);
  EXPECT_NE(sim.out.find("\nentry 1, bytes 34..74: station 1, \"Rivalba\" at 0 m (km 0.000), zone -500 to 500 m, "
                         "time 8:12:50\n"),
            std::string::npos)
      << sim.out.substr(0, 2000);
  EXPECT_NE(sim.out.find("  line mark 610 in entry 85, weighted scenario code 33092"), std::string::npos);
}

TEST_F(PercorsoDump, ATrainDataFileAloneHasNoNamesButStillDumps) {
  prova::CartellaTemporanea altrove;
  std::filesystem::copy_file(file("Valdora_Tarvo.dat"), altrove / "solo.dat");
  const json j = dump_json((altrove / "solo.dat").string());
  EXPECT_TRUE(j["summary"]["names_from"].is_null());
  EXPECT_NE(j["summary"]["no_names"].get<std::string>().find("solo.sim: no such file"), std::string::npos);
  EXPECT_FALSE(record(j, "cell", 9)["details"].contains("name"));
  EXPECT_FALSE(record(j, "cell", 190)["details"].contains("chainage_m"));
  // --sim names the simulation file; one that cannot be used is then an error.
  const json con = dump_json((altrove / "solo.dat").string(), {"--sim", file("Valdora_Tarvo.sim")});
  EXPECT_EQ(record(con, "cell", 9)["details"]["name"], "Rivalba");
  const auto u = percorso({"dump", (altrove / "solo.dat").string(), "--sim", (altrove / "manca.sim").string()});
  EXPECT_EQ(u.stato, 2);
  EXPECT_NE(u.err.find("manca.sim"), std::string::npos);
}

TEST_F(PercorsoDump, NamesInTheWindowsCodePageComeOutAsUtf8) {
  // A name with bytes that are not UTF-8 must not break the JSON output.
  std::array<Voce, numero_voci> voci;
  voci[voce_testata_percorso].nome = "Citt\xE0 \x80";
  voci[voce_testata_treno].nome = "\x81";
  prova::CartellaTemporanea d;
  prova::scrivi_file(d / "x.sim", file_simulazione(voci));
  const json j = dump_json((d / "x.sim").string());
  EXPECT_EQ(j["summary"]["route"], "Citt\xC3\xA0 \xE2\x82\xAC");
  EXPECT_EQ(j["summary"]["train"], "\xEF\xBF\xBD");
  const auto testo = percorso({"dump", (d / "x.sim").string()});
  EXPECT_NE(testo.out.find("route \"Citt\xC3\xA0 \xE2\x82\xAC\""), std::string::npos) << testo.out;
}

TEST_F(PercorsoDump, RefusesWhatIsNotAFileOfItsKind) {
  prova::CartellaTemporanea d;
  std::filesystem::create_directory(d / "cartella.dat");
  ASSERT_EQ(::mkfifo((d / "tubo.sim").c_str(), 0600), 0);
  prova::scrivi_file(d / "vuoto.dat", "");
  prova::scrivi_file(d / "vuoto_linea.dat", "");
  // One byte over the largest file of each kind, as a sparse file: refused before reading.
  for (const auto& [nome, massimo] : std::vector<std::pair<std::string, std::uintmax_t>>{
           {"grande.dat", massimo_file_treno}, {"grande.sim", massimo_file_simulazione},
           {"grande_linea.dat", massimo_file_linea}}) {
    prova::scrivi_file(d / nome, "");
    std::filesystem::resize_file(d / nome, massimo + 1);
  }
  prova::scrivi_file(d / "storto.dat", std::string(16, '\0'));
  prova::scrivi_file(d / "una_cella.dat", std::string(15, '\0'));
  prova::scrivi_file(d / "corto.sim", std::string(100, '\0'));
  prova::scrivi_file(d / "lungo.sim", std::string(numero_voci * dimensione_voce_vuota + 1, '\0'));
  prova::scrivi_file(d / "tag_linea.dat", std::string("\x07\x00", 2));
  prova::scrivi_file(d / "dispari_linea.dat", std::string("\x00\x00", 2));
  prova::scrivi_file(d / "nota.txt", "x");

  struct Caso {
    std::string nome, messaggio;
  };
  for (const Caso& c : std::vector<Caso>{
           {"cartella.dat", "it is a folder"},
           {"tubo.sim", "it is not a regular file"},
           {"vuoto.dat", "is empty: not a train data file"},
           {"vuoto_linea.dat", "is empty: not a line data file"},
           {"grande.dat", "it is larger than " + std::to_string(massimo_file_treno) + " bytes"},
           {"grande.sim", "it is larger than " + std::to_string(massimo_file_simulazione) + " bytes"},
           {"grande_linea.dat", "it is larger than " + std::to_string(massimo_file_linea) + " bytes"},
           {"storto.dat", "not a train data file: 16 bytes is not a whole number of 15-byte cells"},
           {"una_cella.dat", "not a train data file: it holds fewer than the two cells"},
           {"corto.sim", "not a simulation file: entry 2, from byte 68, is cut short"},
           {"lungo.sim", "not a simulation file: 1 bytes follow the 87 entries"},
           {"tag_linea.dat", "not a line data file: byte 0 holds the tag 7"},
           {"dispari_linea.dat", "not a line data file: it holds 1 values"},
           {"nota.txt", "cannot tell the kind"},
           {"manca.dat", "no such file"},
       }) {
    for (const std::string forma : {"", "--json"}) {
      std::vector<std::string> a{"dump", (d / c.nome).string()};
      if (!forma.empty()) a.push_back(forma);
      const auto u = percorso(a);
      EXPECT_EQ(u.stato, 2) << c.nome;
      EXPECT_EQ(u.out, "") << c.nome;
      EXPECT_NE(u.err.find(c.messaggio), std::string::npos) << c.nome << ": " << u.err;
    }
  }
  // --kind overrides the name, both ways.
  EXPECT_EQ(percorso({"dump", (d / "nota.txt").string(), "--kind", "treno"}).stato, 2);
  EXPECT_EQ(percorso({"dump", file("Valdora_Tarvo.dat"), "--kind", "linea"}).stato, 2);
}

}  // namespace
}  // namespace scenario
