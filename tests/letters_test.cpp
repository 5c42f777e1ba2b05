// The letter code's conversion to display characters and the Reverse rule.
#include <gtest/gtest.h>

#include <string>

#include "content/letters.h"

namespace {

// Binds the conversion to a letter base and Flags word of the test's own.
struct LetterFixture : testing::Test {
  int32_t base = kUnicodeLetterBase;
  uint32_t flags = 0;
  void SetUp() override { BindLetterSettings(&base, &flags); }
  void TearDown() override { BindLetterSettings(nullptr, nullptr); }

  std::u16string Map(const char* text, int32_t n) {
    std::unique_ptr<char16_t[]> s = MapLetters(reinterpret_cast<const uint8_t*>(text), n);
    return s ? std::u16string(s.get()) : u"<none>";
  }
};

struct MapCase {
  const char* name;
  int32_t base;
  bool reverse;
  const char* text;
  int32_t n;
  std::u16string expected;
};

void PrintTo(const MapCase& c, std::ostream* os) { *os << c.name; }

class MapLettersTable : public LetterFixture, public testing::WithParamInterface<MapCase> {};

TEST_P(MapLettersTable, Converts) {
  const MapCase& c = GetParam();
  base = c.base;
  flags = c.reverse ? 0xD1140040u | kFlagReverse : 0xD1140040u;
  EXPECT_EQ(Map(c.text, c.n), c.expected);
}

const MapCase kMapCases[] = {
    {"FirstAndLastLetterUnicode", kUnicodeLetterBase, false, "a{", 5, u"\u05D0\u05EA"},
    {"CurlyEscape", kUnicodeLetterBase, false, "~", 5, u"{"},
    {"CurlyEscapeMirroredWhenReversed", kUnicodeLetterBase, true, "~", 5, u"}"},
    {"PunctuationAndDigitsAsThemselves", kUnicodeLetterBase, false, " :.'\"()[]09", 20, u" :.'\"()[]09"},
    {"HighByteAsItsOwnValue", kUnicodeLetterBase, false, "\xE9", 5, u"\u00E9"},
    {"CodePageBase", kCodePageLetterBase, false, "a{", 5, u"\u00E0\u00FA"},
    {"LatinBaseGivesTheBytes", kLatinLetterBase, false, "abz{", 5, u"abz{"},
    {"LatinBaseIgnoresReverse", kLatinLetterBase, true, "ab(", 5, u"ab("},
    {"OnlyLow16BitsOfBase", 0x10000 + kUnicodeLetterBase, false, "b", 5, u"\u05D1"},
    {"ReverseMirrorsBrackets", kUnicodeLetterBase, true, "(a]", 5, u"[\u05D0)"},
    {"CountLimitCutsText", kUnicodeLetterBase, false, "abcd", 2, u"\u05D0\u05D1"},
    {"CountLimitReversesOnlyWhatWasProduced", kUnicodeLetterBase, true, "abcd", 2, u"\u05D1\u05D0"},
    {"ZeroByteEndsEarly", kUnicodeLetterBase, false, "ab\0cd", 5, u"\u05D0\u05D1"},
    {"CountZeroIsEmpty", kUnicodeLetterBase, true, "abc", 0, u""},
    {"NegativeCountIsEmpty", kUnicodeLetterBase, true, "abc", -3, u""},
};

INSTANTIATE_TEST_SUITE_P(Letters, MapLettersTable, testing::ValuesIn(kMapCases),
                         [](const auto& c) { return std::string(c.param.name); });

TEST_F(LetterFixture, ReadsBaseAndFlagsAfreshAtEveryCall) {
  EXPECT_EQ(Map("a(", 5), u"\u05D0(");
  base = kCodePageLetterBase;
  flags |= kFlagReverse;
  EXPECT_EQ(Map("a(", 5), u")\u00E0");
}

TEST_F(LetterFixture, SharedBufferGrowsForLongerAndIsReusedForShorter) {
  ConversionBuffer buffer;
  const uint8_t text[] = "abcdefgh";
  const char16_t* first = MapLetters(text, 3, buffer);
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(buffer.capacity, 3);
  EXPECT_EQ(std::u16string(first), u"\u05D0\u05D1\u05D2");

  const char16_t* shorter = MapLetters(text + 1, 2, buffer);
  EXPECT_EQ(shorter, first) << "a shorter request reuses the buffer";
  EXPECT_EQ(std::u16string(first), u"\u05D1\u05D2") << "the earlier string is overwritten";

  const char16_t* longer = MapLetters(text, 8, buffer);
  ASSERT_NE(longer, nullptr);
  EXPECT_EQ(buffer.capacity, 8);
  EXPECT_EQ(std::u16string(longer).size(), 8u);
}

TEST_F(LetterFixture, SharedBufferOfTheProgramIsOne) {
  EXPECT_EQ(&SharedConversionBuffer(), &SharedConversionBuffer());
}

TEST(ReverseMirrored, ReversesAndMirrorsTheSixBracketsOnly) {
  struct Case {
    std::u16string in;
    int32_t n;
    std::u16string out;
  };
  const Case cases[] = {
      {u"(x]", 3, u"[x)"},
      {u"{<>}", 4, u"{><}"},
      {u"abc", 2, u"bac"},
      {u"ab", 0, u"ab"},
      {u"\u05D0\u05D1.", 3, u".\u05D1\u05D0"},
  };
  for (const Case& c : cases) {
    std::u16string s = c.in;
    EXPECT_EQ(ReverseMirrored(s.data(), c.n), 0);
    EXPECT_EQ(s, c.out);
  }
}

}  // namespace
