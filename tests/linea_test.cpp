// The line reader and the line feature stores, through `memorizza_dati` on small
// descriptions.
#include <gtest/gtest.h>

#include <functional>

#include "aiuti.h"
#include "model/archivi.h"
#include "reader/reader.h"

namespace scenario {
namespace {

// A line description: the general rows, then the feature rows, then "[fine]".
std::string linea(const std::string& righe, const std::string& generale = "lunghezza percorso,    3000\r\n") {
  return "[generale]\r\n" + generale + "[curve]\r\n" + righe + "[fine]\r\n";
}

struct Letto {
  Modello m;
  Esito esito = Esito::fatto();
};

Letto leggi_con_esito(const std::string& testo_linea, std::int32_t scrivi_linea = 0, std::string testo_treno = "") {
  Letto l;
  l.m.nome_percorso = "Valdora";
  l.m.nome_treno = "Tarvo";
  l.m.scrivi_linea = scrivi_linea;
  const Descrizioni d{{"linea.txt", testo_linea, {}}, {"treno.txt", std::move(testo_treno), {}}};
  l.esito = memorizza_dati(l.m, d);
  return l;
}

Modello leggi(const std::string& testo_linea, std::int32_t scrivi_linea = 0, std::string testo_treno = "") {
  return leggi_con_esito(testo_linea, scrivi_linea, std::move(testo_treno)).m;
}

struct Caso {
  const char* nome;
  std::string testo;
  std::int32_t codice;
  std::int32_t posizione;
  std::function<void(const Modello&)> verifica;
};

void esegui(const std::vector<Caso>& casi, std::int32_t scrivi_linea = 0) {
  for (const Caso& c : casi) {
    SCOPED_TRACE(c.nome);
    const Modello m = leggi(c.testo, scrivi_linea);
    EXPECT_EQ(m.codice_errore, c.codice);
    if (c.codice != 0 && c.codice != 25) EXPECT_EQ(m.posizione_errore, c.posizione);
    if (c.verifica) c.verifica(m);
  }
}

TEST(Linea, GeneralRows) {
  esegui({
      {"length sizes the route", linea(""), 0, 0,
       [](const Modello& m) {
         EXPECT_EQ(m.lunghezza_estesa, 10000);
         EXPECT_EQ(m.ultima_cella, 200);
         EXPECT_EQ(m.celle.size(), 201u);
         EXPECT_EQ(m.voci[84].fine_zona, 3000);
       }},
      {"length 0 gives cells 0 to 140", linea("", "lunghezza percorso, 0\r\n"), 0, 0,
       [](const Modello& m) { EXPECT_EQ(m.ultima_cella, 140); }},
      {"length 1000000 accepted", linea("", "lunghezza percorso, 1000000\r\n"), 0, 0,
       [](const Modello& m) { EXPECT_EQ(m.ultima_cella, 20140); }},
      {"length 1000001 refused before sizing", linea("", "lunghezza percorso, 1000001\r\n"), 1, 0,
       [](const Modello& m) { EXPECT_TRUE(m.celle.empty()); }},
      {"length below -7000 fails", linea("", "lunghezza percorso, -7001\r\n"), 25, 0,
       [](const Modello& m) { EXPECT_TRUE(m.celle.empty()); }},
      {"capital initials still a length row", linea("", "Lunghezza Percorso, 0\r\n"), 0, 0,
       [](const Modello& m) { EXPECT_EQ(m.ultima_cella, 140); }},
      {"background tokens are case-sensitive",
       linea("", "lunghezza percorso, 0\r\nSfondo uno, 7\r\nsfondo due, 5\r\nsfondo tre, 6\r\nsfondo uno, 4\r\n"), 0, 0,
       [](const Modello& m) {
         EXPECT_EQ(m.voci[85].inizio_zona, 4);
         EXPECT_EQ(m.voci[85].posizione_m, 5);
         EXPECT_EQ(m.voci[85].fine_zona, 6);
       }},
      {"cab signals with 9 codes", linea("", "lunghezza percorso, 0\r\nripetizione segnali 9 codici, 100, 2000\r\n"), 0,
       0, [](const Modello& m) { EXPECT_EQ(m.voci[86].posizione_m, 9); }},
      {"cab signals ending at 0 store no codes",
       linea("", "lunghezza percorso, 0\r\nripetizione segnali 4 codici, 100, 0\r\n"), 0, 0,
       [](const Modello& m) { EXPECT_EQ(m.voci[86].posizione_m, 0); }},
      {"cab-signal start not a multiple of 50", linea("", "ripetizione segnali 4 codici, 110, 2000\r\n"), 3, 0, {}},
      {"cab-signal end not a multiple of 50", linea("", "ripetizione segnali 4 codici, 100, 2010\r\n"), 4, 0, {}},
      {"cab signals with no code count", linea("", "ripetizione segnali codici, 100, 2000\r\n"), 5, 0, {}},
      {"no general block", "[curve]\r\npendenza, 0, 0\r\n", 102, 0, {}},
      {"general block as the last field", "x,[generale]", 102, 0, {}},
      {"an empty file", "", 102, 0, {}},
      {"a gradient row inside the general block is ignored",
       "[generale]\r\nlunghezza percorso, 0\r\npendenza, 0, 5\r\n[curve]\r\n[fine]\r\n", 0, 0,
       [](const Modello& m) { EXPECT_EQ(m.celle[0].pendenza, 100); }},
  });
}

TEST(Linea, ChainageOrder) {
  auto righe = [](const std::string& tre, const std::string& due, const std::string& uno) {
    return linea("", "lunghezza percorso, 0\r\nprogressiva chilometrica tre, " + tre + "\r\nprogressiva chilometrica due, " +
                         due + "\r\nprogressiva chilometrica uno, " + uno + "\r\n");
  };
  auto voci = [](const Modello& m) {
    std::vector<std::int32_t> v;
    for (int i = 81; i <= 83; ++i) {
      for (std::int32_t x : {m.voci[static_cast<std::size_t>(i)].inizio_zona, m.voci[static_cast<std::size_t>(i)].fine_zona,
                             m.voci[static_cast<std::size_t>(i)].posizione_m}) {
        v.push_back(x);
      }
    }
    return v;
  };
  using V = std::vector<std::int32_t>;
  const std::vector<std::pair<std::string, std::pair<std::vector<std::string>, V>>> casi = {
      {"embedded", {{"0, 0, 0", "194700, -16400, 0", "180350, -180350, 0"}, {194700, -16400, 0, 180350, -180350, 0, 0, 0, 0}}},
      {"tie below goes to the higher entry", {{"500, 1, 0", "100, 2, 0", "100, 3, 0"}, {500, 1, 0, 100, 3, 0, 100, 2, 0}}},
      {"tie on top goes to the higher entry", {{"100, 1, 0", "100, 2, 0", "50, 3, 0"}, {100, 2, 0, 100, 1, 0, 50, 3, 0}}},
      {"all at 0: due's b decides", {{"0, 0, 0", "0, 5, 0", "0, 0, 0"}, {0, 5, 0, 0, 0, 0, 0, 0, 0}}},
      {"all at 0: uno's b wins last", {{"0, 1, 0", "0, 5, 0", "0, 7, 0"}, {0, 7, 0, 0, 5, 0, 0, 1, 0}}},
      {"all at 0 and no b above 0", {{"0, -1, 3", "0, 0, 4", "0, 0, 5"}, {0, 0, 0, 0, 0, 0, 0, 0, 0}}},
      {"flag 1 adds 100 to b", {{"0, 0, 0", "194700, -16400, 1", "0, 0, 0"}, {194700, -16300, 1, 0, 0, 0, 0, 0, 0}}},
  };
  for (const auto& [nome, caso] : casi) {
    const Modello m = leggi(righe(caso.first[0], caso.first[1], caso.first[2]));
    EXPECT_EQ(voci(m), caso.second) << nome;
  }
  // b + 100 beyond 32 bits is a failure.
  EXPECT_EQ(leggi(righe("0, 0, 0", "100, 2147483600, 1", "0, 0, 0")).codice_errore, 25);
}

TEST(Linea, GradientsAndRange) {
  esegui({
      {"gradients 0, 600, 1200", linea("pendenza,  0,   0\r\npendenza,  600,   -11\r\npendenza,  1200,   0\r\n"), 0, 0,
       [](const Modello& m) {
         for (int i = 0; i <= 23; ++i) EXPECT_EQ(m.celle[static_cast<std::size_t>(i)].pendenza, i <= 11 ? 100 : 89) << i;
         EXPECT_EQ(m.celle[24].pendenza, 100);
       }},
      {"decimal comma row", linea("pendenza,  0,   0\r\npendenza,  1250,   -4,5\r\n"), 0, 0,
       [](const Modello& m) {
         EXPECT_EQ(m.celle[24].pendenza, 100);
         EXPECT_EQ(m.celle[25].pendenza, 96);
       }},
      {"first row later than 0", linea("pendenza,  500,   7\r\n"), 0, 0,
       [](const Modello& m) {
         EXPECT_EQ(m.celle[9].pendenza, 100);
         EXPECT_EQ(m.celle[10].pendenza, 107);
       }},
      {"two rows at one position", linea("pendenza,  500,   3\r\npendenza,  500,   5\r\n"), 0, 0,
       [](const Modello& m) {
         EXPECT_EQ(m.celle[9].pendenza, 100);
         EXPECT_EQ(m.celle[10].pendenza, 103);
         EXPECT_EQ(m.celle[11].pendenza, 105);
       }},
      {"last gradient up to ultima_cella - 3", linea("pendenza,  0,   2\r\n"), 0, 0,
       [](const Modello& m) {
         EXPECT_EQ(m.celle[197].pendenza, 102);
         for (int i = 198; i <= 200; ++i) EXPECT_EQ(m.celle[static_cast<std::size_t>(i)].pendenza, 0) << i;
       }},
      {"last position inside the route", linea("pendenza,  9900,   1\r\n"), 0, 0, {}},
      {"one metre more is beyond", linea("pendenza,  0,   1\r\npendenza,  9901,   2\r\n"), 15, 9901,
       [](const Modello& m) { EXPECT_EQ(m.celle[197].pendenza, 101); }},
      {"a minus field before a row is dropped", linea("-- vecchia riga --\r\npendenza,  0,   4\r\n"), 0, 0,
       [](const Modello& m) { EXPECT_EQ(m.celle[0].pendenza, 104); }},
      {"a feature row without a length row fails", "[generale]\r\n[curve]\r\npendenza, 0, 0\r\n[fine]\r\n", 25, 0,
       [](const Modello& m) { EXPECT_TRUE(m.celle.empty()); }},
      {"a complete last row is used", "[generale]\r\nlunghezza percorso, 0\r\n[x]\r\npendenza, 0, 3\r\n[fine]", 0, 0,
       [](const Modello& m) { EXPECT_EQ(m.celle[0].pendenza, 103); }},
      {"a row cut short by the end fails", linea("") + "pendenza, 0", 25, 0, {}},
  });
}

TEST(Linea, HillSectionsBoardsAndSigns) {
  esegui({
      {"hill 10950-11000 covers cell 219 only", linea("montagna, 10950, 11000, 2\r\n", "lunghezza percorso, 20000\r\n"), 0, 0,
       [](const Modello& m) {
         EXPECT_EQ(m.celle[218].tipo_montagna, 0);
         EXPECT_EQ(m.celle[219].tipo_montagna, 2);
         EXPECT_EQ(m.celle[220].tipo_montagna, 0);
       }},
      {"hill 10950-10975 covers none", linea("montagna, 10950, 10975, 2\r\n", "lunghezza percorso, 20000\r\n"), 0, 0,
       [](const Modello& m) { EXPECT_EQ(m.celle[219].tipo_montagna, 0); }},
      {"gap of 150 gives type 3 with marks", linea("montagna, 1000, 1500, 1\r\nmontagna, 1650, 2500, 12\r\n"), 0, 0,
       [](const Modello& m) {
         EXPECT_EQ(m.celle[33].tipo_montagna, 3);
         EXPECT_EQ(m.celle[36].tipo, 11);  // the fourth cell from 33
         EXPECT_EQ(m.celle[35].tipo, 0);
       }},
      {"gap of 200 keeps type 2 with marks", linea("montagna, 1000, 1500, 1\r\nmontagna, 1700, 2500, 12\r\n"), 0, 0,
       [](const Modello& m) {
         EXPECT_EQ(m.celle[34].tipo_montagna, 2);
         EXPECT_EQ(m.celle[37].tipo, 11);
       }},
      {"marks never cover a feature",
       linea("indicatori_vmax,  1450,  1, 2, 3, 0, , , , 0\r\nmontagna, 1200, 2500, 11\r\n"), 0, 0,
       [](const Modello& m) { EXPECT_EQ(m.celle[30].tipo, 6); }},
      {"board values", linea("indicatori_vmax,  2450,  140,  155,  165,  2,  ,  ,  ,  0\r\n"), 0, 0,
       [](const Modello& m) {
         const Cella& c = m.celle[50];
         EXPECT_EQ(std::make_tuple(c.tipo, c.valore1, c.valore2, c.valore3, c.valore4),
                   std::make_tuple(std::uint8_t{6}, std::int16_t{2800}, std::int16_t{3100}, std::int16_t{3300}, std::int16_t{20}));
       }},
      {"board over a hill mark replaces it",
       linea("montagna, 1000, 2500, 11\r\nindicatori_vmax,  1100,  1, 2, 3, 0, , , , 0\r\n"), 0, 0,
       [](const Modello& m) { EXPECT_EQ(m.celle[23].tipo, 6); }},
      {"board over a sign", linea("cartello_indicatore, 1100, (x)\r\nindicatori_vmax,  1100,  1, 2, 3, 0, , , , 0\r\n"), 21,
       1100, {}},
      {"board speed past 16 bits fails", linea("indicatori_vmax,  1100,  1700, 2, 3, 0, , , , 0\r\n"), 25, 0,
       [](const Modello& m) { EXPECT_EQ(m.celle[23].tipo, 6); }},
      {"sign takes entry 80 downward", linea("cartello_indicatore,  1100,   (Cippo )(  Km  )(1+000)\r\ncartello_indicatore,  2000,   (B)\r\n"),
       0, 0,
       [](const Modello& m) {
         EXPECT_EQ(std::make_pair(m.celle[23].tipo, m.celle[23].valore1), std::make_pair(std::uint8_t{14}, std::int16_t{80}));
         EXPECT_EQ(m.voci[80].nome, "(Cippo )(  Km  )(1+000)");
         EXPECT_EQ(m.voci[79].nome, "(B)");
       }},
      {"second sign in one cell", linea("cartello_indicatore, 1100, (A)\r\ncartello_indicatore, 1120, (B)\r\n"), 6, 1120, {}},
      {"sign over a hill mark", linea("montagna, 1000, 2500, 11\r\ncartello_indicatore, 1100, (A)\r\n"), 0, 0,
       [](const Modello& m) { EXPECT_EQ(m.celle[23].tipo, 14); }},
  });
}

TEST(Linea, CurvesAndThePlan) {
  esegui(
      {
          {"straight plan", linea(""), 0, 0,
           [](const Modello& m) {
             const Tracciato& t = m.tracciato;
             ASSERT_EQ(t.metri(), 10001);
             EXPECT_EQ(t.etichette[0][1], Etichetta::intero);
             EXPECT_EQ(t.etichette[1][2], Etichetta::doppio);
             EXPECT_EQ(t.valori[1][9998], 9998.0);
             EXPECT_EQ(t.valori[0][9998], 0.0);
             EXPECT_EQ(t.etichette[0][9999], Etichetta::vuoto);
             EXPECT_EQ(t.etichette[1][10000], Etichetta::vuoto);
           }},
          {"class-6 right curve from 100", linea("curvad6,  100,  200\r\n"), 0, 0,
           [](const Modello& m) {
             const auto& x = m.tracciato.valori[0];
             EXPECT_EQ(x[100], 0.0);
             EXPECT_GT(x[101], 0.0);
             EXPECT_EQ(x[101], 0.003);
             EXPECT_GT(x[301] - x[300], x[300] - x[299] - 1e-12);  // straight again after 300
           }},
          {"capital D and digit 3: right class 3", linea("curvaD3,  100,  50\r\n"), 0, 0,
           [](const Modello& m) { EXPECT_EQ(m.tracciato.valori[0][101], 0.0004); }},
          {"digits 1 and 2: class 1, left", linea("curvas21,  100,  50\r\n"), 0, 0,
           [](const Modello& m) { EXPECT_EQ(m.tracciato.valori[0][101], -0.0001); }},
          {"no class digit", linea("curvas7,  100,  50\r\n"), 103, 0, {}},
          {"a curve past the plan's end fails", linea("curvad1,  9000,  5000\r\n"), 25, 0, {}},
      },
      1);
  // Without the plan, curve rows are passed over and their values read as keyword fields.
  const Modello m = leggi(linea("curvas7,  100,  50\r\n"));
  EXPECT_EQ(m.codice_errore, 0);
  EXPECT_EQ(m.tracciato.metri(), 0);
}

TEST(Linea, OutOfModelInputsFailWithCode25) {
  std::string molte;
  for (int i = 0; i < 81; ++i) molte += "montagna, " + std::to_string(i * 100) + ", " + std::to_string(i * 100 + 50) + ", 1\r\n";
  std::string cartelli;
  for (int i = 0; i < 81; ++i) cartelli += "cartello_indicatore, " + std::to_string(100 + i * 100) + ", (x)\r\n";
  esegui({
      {"81st hill section", linea(molte, "lunghezza percorso, 20000\r\n"), 25, 0,
       [](const Modello& m) { EXPECT_EQ(m.n_montagne, 80); }},
      {"81st sign", linea(cartelli, "lunghezza percorso, 20000\r\n"), 25, 0,
       [](const Modello& m) {
         EXPECT_EQ(m.voci[1].nome, "(x)");
         EXPECT_EQ(std::make_pair(m.celle[163].tipo, m.celle[163].valore1), std::make_pair(std::uint8_t{14}, std::int16_t{0}));
       }},
      {"hill beyond the cells", linea("montagna, 9000, 20000, 1\r\n"), 25, 0,
       [](const Modello& m) { EXPECT_EQ(m.celle[200].tipo_montagna, 1); }},
      {"negative hill start", linea("montagna, -500, 200, 1\r\n"), 25, 0, {}},
      {"negative sign position", linea("cartello_indicatore, -100, (x)\r\n"), 25, 0, {}},
  });
}

TEST(Linea, TheDescriptionIsDeletedOnlyWhenTheCallerOwnsIt) {
  struct Caso {
    const char* nome;
    std::string testo;
    std::int32_t codice;
  };
  for (const Caso& c : {Caso{"normal end", linea(""), 0}, Caso{"hard stop", linea("curvas7, 100, 50\r\n"), 103},
                        Caso{"range stop", linea("pendenza, 99999, 0\r\n"), 15}, Caso{"failure", linea("pendenza, x"), 25}}) {
    for (bool proprietario : {true, false}) {
      prova::CartellaTemporanea dir;
      const auto file_linea = dir / "Valdora_linea.txt";
      const auto file_treno = dir / "Valdora_Tarvo-.txt";
      prova::scrivi_file(file_linea, c.testo);
      prova::scrivi_file(file_treno, "");
      Modello m;
      m.scrivi_linea = 1;
      Descrizioni d{leggi_descrizione(file_linea, proprietario), leggi_descrizione(file_treno, proprietario)};
      (void)memorizza_dati(m, d);
      EXPECT_EQ(m.codice_errore, c.codice) << c.nome;
      EXPECT_EQ(std::filesystem::exists(file_linea), !proprietario) << c.nome;
      // The train half runs (and deletes its file) unless the line half ended with a hard stop.
      const bool treno_letto = c.codice == 0 || c.codice == 15 || c.codice == 25;
      EXPECT_EQ(std::filesystem::exists(file_treno), !(proprietario && treno_letto)) << c.nome;
    }
  }
  // A missing line description: code 101, nothing opened or deleted.
  prova::CartellaTemporanea dir;
  Modello m;
  Descrizioni d{leggi_descrizione(dir / "manca.txt", true), leggi_descrizione(dir / "manca-.txt", true)};
  (void)memorizza_dati(m, d);
  EXPECT_EQ(m.codice_errore, 101);
}

TEST(Linea, CodesCarryTheirPlaceInTheFile) {
  const Letto m = leggi_con_esito(
      linea("pendenza,  0,   0\r\n  cartello_indicatore, 1100, (A)\r\ncartello_indicatore, 1120, (B)\r\n"));
  EXPECT_EQ(m.m.codice_errore, 6);
  EXPECT_EQ(m.esito.codice(), 6);
  EXPECT_EQ(m.esito.luogo().file, "linea.txt");
  EXPECT_EQ(m.esito.luogo().linea, 6);
  EXPECT_EQ(m.esito.luogo().colonna, 1);
  const Letto n = leggi_con_esito(linea("pendenza,  0,   x\r\n"));
  EXPECT_EQ(n.m.codice_errore, 25);
  EXPECT_EQ(n.esito.perche(), Guasto::non_numero);
  EXPECT_EQ(std::make_pair(n.esito.luogo().linea, n.esito.luogo().colonna), std::make_pair(4, 17));
}

}  // namespace
}  // namespace scenario

namespace scenario {
namespace {

// A feature row of a line whose route was never sized (the general block ended before any
// length row) is checked against the last cell, 0: a range stop at its position. Code 25
// comes only at the first real access to a cell or a plan metre.
TEST(Linea, AFeatureRowBeforeTheRouteIsSized) {
  const std::string nota = "[generale]\r\n[nota]\r\nlunghezza percorso, 3000\r\npendenza, 1750, 6\r\n[fine]\r\n";
  const Modello senza_piano = leggi(nota, 0);  // the gradient completion is the first access
  EXPECT_EQ(senza_piano.codice_errore, 25);
  EXPECT_EQ(senza_piano.posizione_errore, 1750);
  const Modello con_piano = leggi(nota, 1);  // seeding the plan is the first access
  EXPECT_EQ(con_piano.codice_errore, 25);
  EXPECT_EQ(con_piano.posizione_errore, 0);
  // At -100 the row passes the check, and the store's own access fails.
  const Modello cartello = leggi("[generale]\r\n[nota]\r\ncartello_indicatore, -100, (x)\r\n[fine]\r\n", 0);
  EXPECT_EQ(cartello.codice_errore, 25);
  EXPECT_EQ(cartello.posizione_errore, 0);
}

// Eighty signs take every entry down to 1: a station would overwrite the last sign's text,
// so the train reader refuses it before reading it.
TEST(Linea, EightySignsLeaveNoEntryForAStation) {
  std::string cartelli;
  for (int i = 0; i < 80; ++i) {
    cartelli += "cartello_indicatore, " + std::to_string(100 + i * 100) + ", (S" + std::to_string(i) + ")\r\n";
  }
  const Modello m = leggi(linea(cartelli, "lunghezza percorso, 20000\r\n"), 0,
                          "[generale]\r\nstazione, 0, 8, 500, 1, 0, 0, 4,1,0, 2,1,1, 1, 8,12,50, Vallorba\r\n[fine]\r\n");
  EXPECT_EQ(m.codice_errore, 10);
  for (int i = 0; i < 80; ++i) EXPECT_EQ(m.voci[static_cast<std::size_t>(80 - i)].nome, "(S" + std::to_string(i) + ")");
  EXPECT_EQ(m.celle[9].tipo, tipo_cella::cartello);  // the stop cell would have gone over this sign
}

}  // namespace
}  // namespace scenario
