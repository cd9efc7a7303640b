#include <gtest/gtest.h>

#include "model/codici.h"

namespace scenario {
namespace {

struct Caso {
  std::string treno, percorso;
  std::int32_t og, st;
};

std::pair<std::int32_t, std::int32_t> codici(const std::string& treno, const std::string& percorso) {
  Modello m;
  m.voci[voce_testata_treno].nome = treno;
  m.voci[voce_testata_percorso].nome = percorso;
  const std::int32_t st = codice_gara_st(m);
  const std::int32_t og = codice_gara_og(m);
  return {og, st};
}

TEST(CodiciGara, WorkedExample) {
  EXPECT_EQ(codici("ab", "c"), std::make_pair(2546, 33756));
}

TEST(CodiciGara, CaseDoesNotMatterAndOnlyTwentyFiveCharactersCount) {
  EXPECT_EQ(codici("AB", "C"), codici("ab", "c"));
  const std::string lungo = "abcdefghijklmnopqrstuvwxy";
  EXPECT_EQ(codici(lungo, "z"), codici(lungo, "qualunque cosa"));
  EXPECT_EQ(codici("", lungo + "XYZ"), codici(lungo, ""));
  // The train name comes first: swapping the names moves the weights.
  EXPECT_NE(codici("ab", "c").second, codici("c", "ab").second);
  EXPECT_EQ(codici("ab", "c").first, codici("c", "ab").first);
}

TEST(CodiciGara, WindowsCodePageLowerCasing) {
  EXPECT_EQ(minuscole_cp1252("\xC0\xD7\xDE\x8A\x8C\x8E\x9F\xDF Z"), "\xE0\xD7\xFE\x9A\x9C\x9E\xFF\xDF z");
  EXPECT_EQ(codici("\xC8", ""), codici("\xE8", ""));
}

TEST(CodiciGara, TwoEmptyNamesGiveTheCodesOfTheFillTextAlone) {
  // "aabbccddeeffgghhiillmmnno": the first 25 fill characters.
  EXPECT_EQ(codici("", ""), std::make_pair(2583, 34355));
}

}  // namespace
}  // namespace scenario
