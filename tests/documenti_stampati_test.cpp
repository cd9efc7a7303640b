// The printed documents: the fixed lines of the three forms, their widths and columns, and
// the agreement of the timetable sheet with the two descriptions.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <regex>
#include <string>
#include <vector>

#include "documents/documents.h"

namespace scenario {
namespace {

std::vector<std::string> righe(std::span<const std::string_view> r) { return {r.begin(), r.end()}; }

const auto note = righe(righe_note());
const auto rallentamenti = righe(righe_rallentamenti());
const auto scheda = righe(righe_scheda_treno());
const auto treno = righe(righe_treno());
const auto linea = righe(righe_linea());

// Line n, counted from 1.
const std::string& riga(const std::vector<std::string>& d, std::size_t n) { return d.at(n - 1); }


TEST(DocumentiStampati, Notes) {
  ASSERT_EQ(note.size(), 25u);
  for (std::size_t n : {1, 12, 15, 21, 22, 23, 24}) {
    EXPECT_EQ(riga(note, n).substr(0, 4), "    ") << n;
    EXPECT_NE(riga(note, n)[4], ' ') << n;
  }
  for (std::size_t n = 1; n <= 21; ++n) {
    const std::size_t l = riga(note, n).size();
    if (n == 5 || n == 17) {
      EXPECT_EQ(l, 191u) << n;
    } else if (n == 11 || n == 14 || n == 20) {
      EXPECT_LT(l, 94u) << n;
    } else {
      EXPECT_TRUE(l >= 94 && l <= 97) << n << ": " << l;
    }
  }
  EXPECT_EQ(riga(note, 25), "      ");
  std::string tutto;
  for (const auto& r : note) tutto += r + "\n";
  // "½" and the five accented letters à, è, ì, ò, ù.
  for (char c : {'\xBD', '\xE0', '\xE8', '\xEC', '\xF2', '\xF9'}) {
    EXPECT_NE(tutto.find(c), std::string::npos) << static_cast<int>(static_cast<unsigned char>(c));
  }
  for (const char* fatto : {"12 vetture", "3 minuti", "rallentamenti", "mezzo minuto", "aderenza"}) {
    EXPECT_NE(tutto.find(fatto), std::string::npos) << fatto;
  }
}

TEST(DocumentiStampati, SlowdownOrder) {
  ASSERT_EQ(rallentamenti.size(), 46u);
  const std::map<std::size_t, std::string> esatte = {
      {1, ""},
      {2, "                               Modulo M. 3"},
      {3, "                           ORDINE DI RALLENTAMENTO"},
      {4, " " + std::string(80, '_')},
      {6, ""},
      {7, "  Si ordina al macchinista del treno Tarvo di effettuare i seguenti rallentamenti"},
      {8, "  " + std::string(79, '_')},
      {9, " |   |                            |Inizio dopo |          |         |            |"},
      {10, " | N.|      FRA LE STAZIONI       | il cippo   | Velocita'|Lunghezza|Prescrizioni|"},
      {11, " |   |   (o nelle Stazioni di)    |chilometrico|          |   metri | specifiche |"},
      {12, " |___|____________________________|____________|__________|_________|____________|"},
      {39, " |___|____________________________|____________|__________|_________|____________|"},
      {40, ""},
      {41, "              Prescrizioni specifiche"},
      {42, " A - Da rispettare con tutto il treno (per i treni viaggiatori)"},
      {43, " B - Interessa anche la stazione di......."},
      {44, " D - Rallentamneto N. ... e N. ...  sono contigui"},
      {45, " C - Da rispettare dalle ore ....  alle ore ..... di tutti"},
      {46, "     i giorni esclusi i seguenti:........."}};
  for (const auto& [n, testo] : esatte) EXPECT_EQ(riga(rallentamenti, n), testo) << n;
  // The table is empty, as the train's slowdown section is.
  for (std::size_t n = 13; n <= 38; ++n) {
    EXPECT_EQ(riga(rallentamenti, n), " |   |                            |            |          |         |            |") << n;
  }
  const auto inizio = std::find(treno.begin(), treno.end(), "[rallentamenti]");
  ASSERT_NE(inizio, treno.end());
  EXPECT_EQ(*(inizio + 1), "[segnali]");
  // The line's short name: its end towns, the sheet's origin and last station.
  EXPECT_EQ(riga(rallentamenti, 5), "  Linea  Rivalba-Casterno");
}

TEST(DocumentiStampati, TimetableSheetFrameAndFixedLines) {
  ASSERT_EQ(scheda.size(), 215u);
  const std::map<std::size_t, std::string> esatte = {
      {1, std::string(32, ' ') + "SCHEDA ORARIO"},
      {2, "  " + std::string(80, '_')},
      {6, " |                                                        Validit\xE0 Treno:         |"},
      {9, " "},
      {10, "  " + std::string(80, '_')},
      {11, " |_Pr_|N.Treno|_Class_|_______Localit\xE0____________|__Arr___|__Part__|______|______|"},
      {38, " |____|_______|_______|___________________________|________|________|______|______|"},
      {39, " "}, {40, ""},
      {41, "  " + std::string(80, '_')},
      {42, " |_____________________________________NOTE_______________________________________|"},
      {44, " |_________________|______________________|__________________|____________________|"},
      {58, std::string(81, '.')},
      {59, "  "},
      {61, "   " + std::string(75, '_')},
      {62, "  |  Velocit\xE0 Max Km/h    |   Progr. Chilom.   |     Localit\xE0 di Servizio     |"},
      {63, "  |_______________________|____________________|______________________________|      "},
      {64, "  |__A__|__B__|__C__|__P__|     ____                                          |"},
      {97, "  |_____|_____|_____|_____|___________________________________________________|"},
      {111, " "}, {112, " "},
      {113, std::string(72, '.')},
      {116, "   " + std::string(61, '_')},
      {117, "  |  Velocit\xE0 Max Km/h    |   Progr. Chilom. |   Localit\xE0 di    |"},
      {118, "  |_______________________|__________________|____Servizio______|      "},
      {119, "  |__A__|__B__|__C__|__P__|                                     |  "},
      {155, "  |_____|_____|_____|_____|_____________________________________|"},
      {164, " "},
      {166, std::string(72, '.')},
      {186, std::string(32, ' ') + "PER MEMORIA"}};
  for (const auto& [n, testo] : esatte) EXPECT_EQ(riga(scheda, n), testo) << n;
  for (std::size_t n = 3; n <= 7; ++n) {
    EXPECT_EQ(riga(scheda, n).size(), 83u) << n;
    EXPECT_EQ(riga(scheda, n).substr(0, 2), " |") << n;
    EXPECT_EQ(riga(scheda, n).back(), '|') << n;
  }
  EXPECT_EQ(riga(scheda, 3).find("Treno "), 35u);
  EXPECT_EQ(riga(scheda, 7).find("Denominazione:"), 33u);
  EXPECT_EQ(riga(scheda, 7).find("Da: "), 2u);
  EXPECT_TRUE(std::regex_search(riga(scheda, 7), std::regex(R"(dal \d\d/\d\d/\d{4}\|$)")));
  const std::string& base = riga(scheda, 8);
  EXPECT_EQ(base.size(), 97u);
  EXPECT_EQ(base.substr(2, 4), "A_:_");
  EXPECT_EQ(base.find("Classifica:"), 33u);
  EXPECT_EQ(base.substr(83), std::string(14, ' '));
  EXPECT_TRUE(std::regex_search(base, std::regex(R"(al \d\d/\d\d/\d{4}\| {14}$)")));
  // Empty lines are empty; the memo page is empty but for its title.
  for (std::size_t n : {45, 57, 98, 110, 156, 163, 165, 167, 185, 187, 215}) EXPECT_EQ(riga(scheda, n), "") << n;
}

TEST(DocumentiStampati, TimetableRowsAndNotesBox) {
  static const std::regex ruled(
      R"( \|_(\d+)_*\|_*(\d*)_*\|_*([A-Z]*)_*\|_([A-Z' ]+?)_*\|_{8}\|_(\d+\.\d\d\xBD?)_*\|_{6}\|_{6}\|)");
  for (std::size_t n = 12; n <= 36; ++n) {
    const std::string& r = riga(scheda, n);
    EXPECT_EQ(r.size(), 83u) << n;
    std::smatch m;
    ASSERT_TRUE(std::regex_match(r, m, ruled)) << r;
    EXPECT_EQ(std::stoul(m[1]), n - 11) << r;
    EXPECT_EQ(!m[2].str().empty(), n == 12) << r;  // train number and category on the origin only
    EXPECT_EQ(!m[3].str().empty(), n == 12) << r;
  }
  EXPECT_EQ(riga(scheda, 12).substr(0, 6), " |_1__");
  EXPECT_EQ(riga(scheda, 21).substr(0, 6), " |_10_");
  EXPECT_TRUE(std::regex_match(riga(scheda, 37), std::regex(R"( \| 26 \|       \|       \| [A-Z ]{26}\| \d+\.\d\d\xBD? *\|        \|      \|      \|)")))
      << riga(scheda, 37);
  const std::string& note_box = riga(scheda, 43);
  EXPECT_EQ(note_box.size(), 86u);
  EXPECT_EQ(note_box.substr(0, 2), " |");
  EXPECT_EQ(note_box.substr(2, 17).rfind("Rango V.Max : C", 0), 0u);
  EXPECT_EQ(note_box.substr(20, 22).rfind("Massa Frenata : 130%", 0), 0u);
  EXPECT_EQ(note_box.substr(43, 18).rfind("Loc", 0), 0u);
  EXPECT_EQ(note_box.substr(62, 20).rfind("RS", 0), 0u);
  EXPECT_EQ(note_box.substr(82), "|   ");
  // The braked mass printed is the train description's.
  EXPECT_NE(std::find(treno.begin(), treno.end(), "percentuale massa frenata,    130"), treno.end());
}

// The stations of the train description, in order: name and position.
std::vector<std::pair<std::string, long>> stazioni() {
  std::vector<std::pair<std::string, long>> s;
  for (const auto& r : treno) {
    if (r.rfind("stazione,", 0) != 0) continue;
    s.emplace_back(r.substr(r.rfind(", ") + 2), std::stol(r.substr(9)));
  }
  return s;
}

std::string maiuscole(std::string s) {
  std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
  return s;
}

TEST(DocumentiStampati, SheetAgreesWithTheStationsAndTimes) {
  const auto s = stazioni();
  ASSERT_EQ(s.size(), 25u);
  for (std::size_t i = 0; i < s.size(); ++i) {
    const std::string& r = riga(scheda, 12 + i);
    EXPECT_NE(r.find("|_" + maiuscole(s[i].first) + "_"), std::string::npos) << r;
  }
  EXPECT_NE(riga(scheda, 4).find("Origine Treno: " + maiuscole(s.front().first)), std::string::npos);
  EXPECT_NE(riga(scheda, 7).find("Da: " + maiuscole(s.front().first)), std::string::npos);
  EXPECT_EQ(riga(scheda, 8).find("A_:_" + maiuscole(s.back().first) + "_"), 2u);
  // The last station's time is the train description's (10:00:00); the printed departure is
  // the scheduled one, about three minutes before the clock's start at 8:12:50.
  EXPECT_NE(riga(scheda, 36).find("|_10.00__|"), std::string::npos);
  EXPECT_NE(riga(scheda, 12).find("|_8.10___|"), std::string::npos);
  // The destination lies beyond the line and is the header's destination.
  const std::string destinazione = riga(scheda, 5).substr(riga(scheda, 5).find(": ") + 2);
  EXPECT_NE(riga(scheda, 37).find("| " + destinazione.substr(0, destinazione.find_last_not_of(" |") + 1) + " "),
            std::string::npos);
}

// The chainage printed for a position: restarting at 180350 and at 194700.
double progressiva(long p) {
  if (p >= 194700) return (p - 16400) / 1000.0;
  if (p >= 180350) return (p - 180350) / 1000.0;
  return p / 1000.0;
}

TEST(DocumentiStampati, StripsAgreeWithTheLine) {
  // The boards of the line by chainage, and the stations by name.
  std::map<std::string, std::vector<long>> tavole;
  for (const auto& r : linea) {
    if (r.rfind("indicatori_vmax,", 0) != 0) continue;
    long p, a, b, c;
    std::sscanf(r.c_str(), "indicatori_vmax, %ld, %ld, %ld, %ld", &p, &a, &b, &c);
    char km[32];
    std::snprintf(km, sizeof km, "%.3f", progressiva(p));
    tavole.emplace(km, std::vector<long>{a, b, c});
  }
  std::map<std::string, long> posizioni;
  for (const auto& [nome, p] : stazioni()) posizioni[maiuscole(nome)] = p;

  struct Striscia {
    std::size_t prima, ultima, larghezza, fine_progressiva, inizio_nome;
  };
  int tavole_viste = 0, stazioni_viste = 0;
  for (const Striscia& st : {Striscia{65, 96, 79, 45, 55}, Striscia{120, 154, 65, 43, 47}}) {
    std::vector<long> in_vigore(3, 0);
    for (std::size_t n = st.prima; n <= st.ultima; ++n) {
      const std::string r = riga(scheda, n).substr(0, st.larghezza);
      ASSERT_EQ(r.size(), st.larghezza) << n;
      ASSERT_EQ(r.back(), '|') << n;
      for (int k = 0; k < 3; ++k) {
        const std::string c = r.substr(3 + 6 * static_cast<std::size_t>(k), 5);
        if (c.find_first_of("0123456789") != std::string::npos) in_vigore[static_cast<std::size_t>(k)] = std::stol(c);
      }
      const std::string resto = r.substr(st.inizio_nome - 1);
      const std::string nome = resto.substr(0, resto.find_last_not_of(" |") + 1);
      if (posizioni.count(nome)) {  // a station row: chainage ending at its column, name at its column
        const std::string ch = r.substr(0, st.fine_progressiva);
        char atteso[32];
        std::snprintf(atteso, sizeof atteso, "%.2f", progressiva(posizioni[nome]));
        EXPECT_EQ(ch.substr(ch.size() - std::string(atteso).size()), atteso) << r;
        EXPECT_EQ(r[st.inizio_nome - 2], ' ') << r;
        ++stazioni_viste;
      }
      std::smatch m;
      if (std::regex_search(r, m, std::regex(R"((Cippo )?Km (\d+\.\d{3}) *\|$)")) && tavole.count(m[2])) {
        EXPECT_EQ(in_vigore, tavole[m[2]]) << r;
        ++tavole_viste;
      }
    }
  }
  EXPECT_EQ(stazioni_viste, 26);  // the strips meet at one station, which both show
  EXPECT_EQ(tavole_viste, 26);    // one row per single board and per group of three
  EXPECT_EQ(riga(scheda, 67), "  | 140 | 145 | 155 | 180 |   \\\\_||_                   Cippo Km 4.000         |");
  EXPECT_EQ(riga(scheda, 69), "  |     | 155 | 175 |     |      ||                    Cippo Km 8.000         |");
  // The branch box on the right of the second strip.
  for (std::size_t n = 139; n <= 151; ++n) EXPECT_TRUE(riga(scheda, n).size() == 82 || riga(scheda, n).size() == 83) << n;
  EXPECT_EQ(riga(scheda, 123).substr(65), "  ");
  EXPECT_EQ(riga(scheda, 127).substr(65), "  ");
}

}  // namespace
}  // namespace scenario
