// The field reader: text and number fields, delimiters, line ends, widths and places.
#include <gtest/gtest.h>

#include <variant>

#include "reader/campi.h"

namespace scenario {
namespace {

// One read and what it must give: a text, a number, or a failure (nullopt).
enum class Lettura { testo, n32, n16, n8 };
struct Passo {
  Lettura lettura;
  std::optional<std::string> atteso;  // the text, or the number in decimal; nullopt: a failure
};
struct Caso {
  const char* nome;
  std::string dati;
  std::vector<Passo> passi;
  bool finito_alla_fine;
};

std::optional<std::string> leggi(LettoreCampi& l, Lettura tipo) {
  switch (tipo) {
    case Lettura::testo: {
      auto c = l.testo();
      return c ? std::optional<std::string>(c->testo) : std::nullopt;
    }
    case Lettura::n32: {
      auto n = l.numero_32();
      return n ? std::optional<std::string>(std::to_string(*n)) : std::nullopt;
    }
    case Lettura::n16: {
      auto n = l.numero_16();
      return n ? std::optional<std::string>(std::to_string(*n)) : std::nullopt;
    }
    case Lettura::n8: {
      auto n = l.numero_8();
      return n ? std::optional<std::string>(std::to_string(*n)) : std::nullopt;
    }
  }
  return std::nullopt;
}

constexpr auto T = Lettura::testo;
constexpr auto N = Lettura::n32;
const std::nullopt_t guasto = std::nullopt;

TEST(Campi, Rules) {
  const std::vector<Caso> casi = {
      {"text trims around and ends at comma", "  pendenza  ,  600,   -11\r\n", {{T, "pendenza"}, {N, "600"}, {N, "-11"}}, true},
      {"decimal comma gives a further field", "pendenza,  1250,   -4,5\r\n[fine]\r\n",
       {{T, "pendenza"}, {N, "1250"}, {N, "-4"}, {T, "5"}, {T, "[fine]"}}, true},
      {"blanks separate numbers", "orologio,    8               12            50 \r\nx", {{T, "orologio"}, {N, "8"}, {N, "12"}, {N, "50"}, {T, "x"}}, true},
      {"blanks before the comma", "12 , 5", {{N, "12"}, {N, "5"}}, true},
      {"empty fields read 0", "a,  ,  ,  0\r\n", {{T, "a"}, {N, "0"}, {N, "0"}, {N, "0"}}, true},
      {"a line end reads 0 and is consumed", "\r\n7", {{N, "0"}, {N, "7"}}, true},
      {"lone CR and lone LF end lines", "a\rb\nc", {{T, "a"}, {T, "b"}, {T, "c"}}, true},
      {"quoted text keeps commas and blanks", "\"  a, b \"tail,next", {{T, "  a, b "}, {T, "next"}}, true},
      {"unterminated quote runs to the line end", "\"abc\r\nz", {{T, "abc"}, {T, "z"}}, true},
      {"plus sign", "+15,", {{N, "15"}}, true},
      {"letter after digits fails", "12a", {{N, guasto}}, false},
      {"point after digits fails", "1.5", {{N, guasto}}, false},
      {"sign without digits fails", "-,", {{N, guasto}}, false},
      {"a word where a number stands fails", "abc", {{N, guasto}}, false},
      {"32-bit limits", "2147483647,-2147483648,2147483648", {{N, "2147483647"}, {N, "-2147483648"}, {N, guasto}}, false},
      {"16-bit limits", "32767,-32769", {{Lettura::n16, "32767"}, {Lettura::n16, guasto}}, false},
      {"8-bit limits", "255,-1", {{Lettura::n8, "255"}, {Lettura::n8, guasto}}, false},
      {"very long digit runs do not wrap", "99999999999999999999999999", {{N, guasto}}, false},
      {"nothing left is a failure", "a", {{T, "a"}, {T, guasto}, {N, guasto}}, true},
      {"blanks at the end read as an empty field", "a,   ", {{T, "a"}, {T, ""}}, true},
  };
  for (const Caso& c : casi) {
    LettoreCampi l(c.dati);
    for (std::size_t i = 0; i < c.passi.size(); ++i) {
      EXPECT_EQ(leggi(l, c.passi[i].lettura), c.passi[i].atteso) << c.nome << ", read " << i;
    }
    if (c.finito_alla_fine) {
      EXPECT_TRUE(l.finito()) << c.nome;
    }
  }
}

TEST(Campi, EachFieldKnowsWhereItStarts) {
  LettoreCampi l("[generale]\r\n  lunghezza percorso,    218000\r\n\tsfondo");
  ASSERT_TRUE(l.testo().has_value());
  auto c = l.testo();
  ASSERT_TRUE(c.has_value());
  EXPECT_EQ(std::make_pair(c->linea, c->colonna), std::make_pair(2, 3));
  ASSERT_TRUE(l.numero_32().has_value());
  EXPECT_EQ(std::make_pair(l.linea(), l.colonna()), std::make_pair(2, 26));
  c = l.testo();
  EXPECT_EQ(std::make_pair(c->linea, c->colonna), std::make_pair(3, 2));
}

}  // namespace
}  // namespace scenario
