// Line layout on the headless metrics: rows of size-20 text are 20 high,
// letters 10 wide, spaces 5; the widest character is 20.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/pane_fixture.h"

// The fields a row is checked by.
struct ExpectedRow {
  uint16_t offset;
  uint16_t length;
  uint16_t x;
  uint16_t hangWidth;
  uint16_t width;
  uint8_t flags;
};

inline bool operator==(const LineEntry& a, const ExpectedRow& b) {
  return a.offset == b.offset && a.length == b.length && a.x == b.x && a.hangWidth == b.hangWidth &&
         a.width == b.width && a.flags == b.flags;
}

void PrintTo(const LineEntry& r, std::ostream* os) {
  *os << "{offset " << r.offset << ", length " << r.length << ", x " << r.x << ", hang " << r.hangWidth
      << ", width " << r.width << ", flags 0x" << std::hex << int{r.flags} << std::dec << "}";
}

namespace {


struct LayoutCase {
  const char* name;
  std::vector<TestRecord> records;
  int32_t width;
  int32_t left;
  std::vector<ExpectedRow> rows;
  uint16_t units;
};

void PrintTo(const LayoutCase& c, std::ostream* os) { *os << c.name; }

// Offsets: the first record's text starts at 2; each record adds its text
// and three bytes.
const LayoutCase kLayoutCases[] = {
    {"WrapsAtTheLastSpaceAndDropsIt",
     {{0x01, 0, "aaaa bbbb cccc"}}, 100, 0,
     {{2, 9, 0, 0, 85, 0x01}, {12, 4, 0, 0, 40, 0x01}}, 2},
    {"WrapsAfterAHyphenAndKeepsIt",
     {{0x01, 0, "aaaa-bbbb cc"}}, 80, 0,
     {{2, 5, 0, 0, 50, 0x01}, {7, 7, 0, 0, 65, 0x01}}, 2},
    {"BreaksAWordWiderThanTheRowWhereItStopsFitting",
     {{0x01, 0, "aaaaaaaaaaaa"}}, 50, 0,
     {{2, 5, 0, 0, 50, 0x01}, {7, 5, 0, 0, 50, 0x01}, {12, 2, 0, 0, 20, 0x01}}, 3},
    {"ASpaceAfterTheBodysFirstByteIsABreak",
     {{0x01, 0, "a bbbbbbbb"}}, 50, 0,
     {{2, 1, 0, 0, 10, 0x01}, {4, 5, 0, 0, 50, 0x01}, {9, 3, 0, 0, 30, 0x01}}, 3},
    {"AHyphenAtTheBodysStartIsNoBreak",
     {{0x01, 0, "-bbbbbbbb"}}, 50, 0,
     {{2, 5, 0, 0, 50, 0x01}, {7, 4, 0, 0, 40, 0x01}}, 2},
    {"SkipsLeadingSpacesAndKeepsTrailingOnesThatFit",
     {{0x01, 0, "   aa  "}}, 100, 0,
     {{5, 4, 0, 0, 30, 0x01}}, 1},
    {"TrailingSpacesThatDoNotFitLoseTheBlankUnit",
     {{0x81, 0, "aaaa  "}, {0x01, 0, "b"}}, 40, 0,
     {{2, 4, 0, 0, 40, 0x01}, {11, 1, 0, 0, 10, 0x01}}, 2},
    {"RightAlignmentWithAnIndentFromTheRightEdge",
     {{0x21, 5, "aa"}}, 100, 10,
     {{2, 2, 85, 0, 20, 0x21}}, 1},
    {"CentredAlignmentWithAnIndent",
     {{0x41, 6, "aa"}, {0x41, 0, "aaa"}}, 100, 0,
     {{2, 2, 43, 0, 20, 0x41}, {7, 3, 35, 0, 30, 0x41}}, 2},
    {"LeftAlignmentBothCodes",
     {{0x01, 3, "aa"}, {0x61, 7, "aa"}}, 100, 10,
     {{2, 2, 13, 0, 20, 0x01}, {7, 2, 17, 0, 20, 0x61}}, 2},
    {"BlankAfterOnTheParagraphsLastRowOnlyAndNeverOnTheArticlesLast",
     {{0x81, 0, "aaaa bbbb"}, {0x81, 0, "cc"}}, 50, 0,
     {{2, 4, 0, 0, 40, 0x01}, {7, 4, 0, 0, 40, 0x81}, {14, 2, 0, 0, 20, 0x01}}, 4},
    {"ALaterEmptyTextMakesNoRowAndLosesItsBlank",
     {{0x01, 0, "aa"}, {0x81, 0, ""}, {0x01, 0, "bb"}}, 100, 0,
     {{2, 2, 0, 0, 20, 0x01}, {10, 2, 0, 0, 20, 0x01}}, 2},
    {"HangingWordInAColumnAndLaterRowsLinedUpWithTheBody",
     {{0x01, 0x40, "aa bbbb cccc"}}, 100, 0,
     {{2, 4, 20, 20, 40, 0x01}, {10, 4, 20, 0, 40, 0x01}}, 2},
    {"HangingCodeThreeIsTwiceTheWidestCharacter",
     {{0x21, 0xC0, "aa bb"}}, 100, 0,
     {{2, 2, 40, 40, 20, 0x21}}, 1},
    {"AContinuationHangsNothingAndKeepsTheIndentReached",
     {{0x01, 0x40, "aa bb"}, {0x01, 0x42, " cc"}}, 100, 0,
     {{2, 2, 20, 20, 20, 0x01}, {11, 2, 22, 0, 20, 0x01}}, 2},
    {"AHangingRecordNotStartingWithASpaceHangsAgain",
     {{0x01, 0x40, "aa bb"}, {0x01, 0x40, "cc dd"}}, 100, 0,
     {{2, 2, 20, 20, 20, 0x01}, {10, 2, 20, 20, 20, 0x01}}, 2},
    {"StoredReversedRowsCoverTheStoredRun",
     {{0x31, 0, "cccc bbbb aaaa"}}, 100, 0,
     {{7, 9, 15, 0, 85, 0x31}, {2, 4, 60, 0, 40, 0x31}}, 2},
    {"StoredReversedHangingWordFollowsTheRunInTheStoredText",
     {{0x31, 0x40, "cccc bbbb aa"}}, 80, 0,
     {{7, 4, 20, 20, 40, 0x31}, {2, 4, 20, 0, 40, 0x31}}, 2},
    {"RuleCodeZeroMakesNoRowAndTheNextRecordIsThreeBytesOn",
     {{0x01, 0, "aa"}, {0x07, 0, ""}, {0x01, 0, "b"}}, 80, 0,
     {{2, 2, 0, 0, 20, 0x01}, {10, 1, 0, 0, 10, 0x01}}, 2},
    {"RuleLengthsFromTheCode",
     {{0x01, 0, "a"}, {0x07, 100, ""}, {0x27, 210, ""}, {0x47, 255, ""}, {0x47, 50, ""}, {0xE7, 180, ""}},
     80, 10,
     {{2, 1, 10, 0, 10, 0x01},
      {6, 0, 10, 0, 80, 0x07},
      {9, 0, 10, 0, 80, 0x27},
      {12, 0, 10, 0, 80, 0x47},
      {15, 0, 25, 0, 50, 0x47},
      {18, 0, 10, 0, 32, 0x67}},
     6},
    {"ARuleFlaggedBlankAfterAddsAUnit",
     {{0x01, 0, "a"}, {0x87, 40, ""}, {0x01, 0, "b"}}, 80, 0,
     {{2, 1, 0, 0, 10, 0x01}, {6, 0, 0, 0, 40, 0x87}, {9, 1, 0, 0, 10, 0x01}}, 4},
    {"NotOneByteFitsTheRowTakesOneAnyway",
     {{0x01, 0, "aaa"}}, 5, 0,
     {{2, 1, 0, 0, 10, 0x01}, {3, 1, 0, 0, 10, 0x01}, {4, 1, 0, 0, 10, 0x01}}, 3},
    {"AHangingColumnWiderThanThePaneStillMovesOn",
     {{0x01, 0xC0, "aa bb cc"}}, 30, 0,
     {{2, 0, 40, 40, 0, 0x01}, {5, 1, 40, 0, 10, 0x01}, {6, 1, 40, 0, 10, 0x01}, {8, 1, 40, 0, 10, 0x01},
      {9, 1, 40, 0, 10, 0x01}},
     5},
};

class LayoutTable : public PaneTest, public testing::WithParamInterface<LayoutCase> {};

TEST_P(LayoutTable, MakesTheseRows) {
  const LayoutCase& c = GetParam();
  ASSERT_EQ(LayOut(MakeArticle(c.records), c.width, 200, c.left), kPaneOk);
  ASSERT_EQ(pane->lineCount, c.rows.size());
  for (size_t i = 0; i < c.rows.size(); ++i) {
    EXPECT_EQ(Row(static_cast<int32_t>(i)), c.rows[i]) << "row " << i;
    EXPECT_EQ(Row(static_cast<int32_t>(i)).height, 20) << "row " << i;
  }
  EXPECT_EQ(Row(pane->lineCount).flags, 0) << "terminator";
  EXPECT_EQ(pane->unitCount, c.units);
}

INSTANTIATE_TEST_SUITE_P(Layout, LayoutTable, testing::ValuesIn(kLayoutCases),
                         [](const testing::TestParamInfo<LayoutCase>& p) { return std::string(p.param.name); });

// --- Styles, row heights and the font cache ---------------------------------------

TEST_F(PaneTest, RowsTakeTheHeightOfTheirStylesFontAndRulesTheCurrentHeight) {
  ASSERT_EQ(LayOut(MakeArticle({{0xDC, 0, "ba"}, {0x07, 10, ""}, {0xB2, 0, "cc"}, {0x07, 10, ""}}), 200), kPaneOk);
  ASSERT_EQ(pane->lineCount, 4);
  EXPECT_EQ(Row(0).height, 25);  // large: 20 * 5 / 4
  EXPECT_EQ(Row(0).width, 24);   // two letters 12 wide
  EXPECT_EQ(Row(1).height, 25);
  EXPECT_EQ(Row(2).height, 15);  // small: 20 * 6 / 8
  EXPECT_EQ(Row(3).height, 15);
}

struct FontHeightCase {
  int32_t fontSize;
  int32_t large;
  int32_t small;
  int32_t plain;
};

class FontHeights : public PaneTest, public testing::WithParamInterface<FontHeightCase> {};

TEST_P(FontHeights, FollowTheFontSize) {
  const FontHeightCase& c = GetParam();
  pane = CreatePane(surface, nullptr, TestFont(c.fontSize), 0);
  ASSERT_NE(pane, nullptr);
  const struct {
    uint8_t style;
    int32_t height;
    int32_t weight;
  } styles[] = {{0x1C, c.large, 700}, {0x0E, c.large, 700}, {0x02, c.small, 400}, {0x0A, c.small, 700},
                {0x01, c.plain, 400}, {0x09, c.plain, 700}};
  for (const auto& s : styles) {
    SelectStyle(pane, s.style, false);
    const FontDescription d = GetFontDescription(pane->fontSlots->font);
    EXPECT_EQ(d.height, s.height) << "style 0x" << std::hex << int{s.style};
    EXPECT_EQ(d.weight, s.weight) << "style 0x" << std::hex << int{s.style};
  }
}

INSTANTIATE_TEST_SUITE_P(Pane, FontHeights,
                         testing::Values(FontHeightCase{0, 20, 14, 0}, FontHeightCase{16, 20, 12, 16},
                                         FontHeightCase{-16, -20, -12, -16}, FontHeightCase{-13, -16, -9, -13}));

int SlotCount(const TextPane* pane) {
  int n = 0;
  for (const FontSlot* s = pane->fontSlots; s; s = s->next) ++n;
  return n;
}

TEST_F(PaneTest, MakesOneSlotPerStyleKeyAndSetPaneFontRemakesExactlyThose) {
  ASSERT_EQ(LayOut(MakeArticle({{0xDC, 0, "ab"}, {0xB1, 0, "cd"}, {0x51, 0, "ef"}, {0xB2, 0, "gh"}}), 200),
            kPaneOk);
  EXPECT_EQ(SlotCount(pane), 4);  // keys 0x01 (in force before the first record), 0x1C, 0x11, 0x12
  EXPECT_EQ(Headless().fontsMade, 4);
  ASSERT_EQ(LayOutArticle(pane, &pane->article, false), kPaneOk);
  EXPECT_EQ(Headless().fontsMade, 4) << "a second layout makes no font";

  ASSERT_EQ(SetPaneFont(pane, TestFont(-30)), kPaneOk);
  EXPECT_EQ(SlotCount(pane), 4);
  EXPECT_EQ(Headless().fontsMade, 8);
  EXPECT_EQ(Headless().fontsLive, 4);
  for (const FontSlot* s = pane->fontSlots; s; s = s->next) {
    const int32_t expected = s->styleKey == 0x1C ? -37 : s->styleKey == 0x12 ? -22 : -30;
    EXPECT_EQ(GetFontDescription(s->font).height, expected) << "key " << int{s->styleKey};
  }
  EXPECT_EQ(Row(0).height, 37) << "laid out again in the new fonts";
}

TEST_F(PaneTest, DestroyPaneDeletesEveryFont) {
  ASSERT_EQ(LayOut(MakeArticle({{0xDC, 0, "ab"}, {0xB2, 0, "cd"}}), 200), kPaneOk);
  DestroyPane(pane);
  pane = nullptr;
  EXPECT_EQ(Headless().fontsLive, 0);
}

TEST_F(PaneTest, AStyleWithoutAFontTriesAgainInItsOwnSlot) {
  pane = CreatePane(surface, nullptr, TestFont(), 0);
  Headless().refuseFonts = true;
  SelectStyle(pane, 0x02, false);
  SelectStyle(pane, 0x02, false);
  EXPECT_EQ(SlotCount(pane), 1);
  Headless().refuseFonts = false;
  SelectStyle(pane, 0x02, false);
  EXPECT_EQ(SlotCount(pane), 1);
  EXPECT_NE(pane->fontSlots->font, nullptr);
}

TEST_F(PaneTest, LayoutLeavesTheSurfacesFontAsItFoundIt) {
  FontDescription d;
  d.height = 40;
  const FontHandle mine = CreateFont(d);
  const FontHandle before = SelectFont(surface, mine);
  ASSERT_EQ(LayOut(MakeArticle({{0xDC, 0, "ab"}, {0xB2, 0, "cd"}}), 200), kPaneOk);
  EXPECT_EQ(GetTextMetrics(surface).height, 40);
  SelectFont(surface, before);
  DeleteFont(mine);
}

// --- MeasureFit ------------------------------------------------------------------------

TEST_F(PaneTest, MeasureFitFollowsTheStoredOrderUnderReverse) {
  // In the surface's default font (16: letters 8, spaces 4) "a bb" under
  // Reverse converts to "bb a"; the fit must still follow the stored order:
  // "a " (12), not "b" (8).
  const auto* run = reinterpret_cast<const uint8_t*>("a bb");
  flags = kFlagReverse;
  int32_t extent = 13;
  int32_t count = 4;
  MeasureFit(surface, run, &extent, &count);
  EXPECT_EQ(count, 2);
  EXPECT_EQ(extent, 12);
  EXPECT_EQ(flags, kFlagReverse) << "the Flags word is restored";
}

TEST_F(PaneTest, MeasureFitInvalidatesAnEarlierConversion) {
  const auto* first = reinterpret_cast<const uint8_t*>("ab");
  const char16_t* s = MapLetters(first, 2, SharedConversionBuffer());
  ASSERT_EQ(s[0], u'\u05D0');
  int32_t extent = 100;
  int32_t count = 2;
  MeasureFit(surface, reinterpret_cast<const uint8_t*>("cd"), &extent, &count);
  EXPECT_EQ(s, SharedConversionBuffer().chars.get());
  EXPECT_EQ(s[0], u'\u05D2') << "the shared buffer now holds the measured run";
}

// --- Status codes ------------------------------------------------------------------------

TEST_F(PaneTest, BadArticlesYieldMinus4AndKeepThePreviousArticle) {
  ASSERT_EQ(LayOut(MakeArticle({{0x01, 0, "ab"}}), 100), kPaneOk);
  pane->highlightStart = 2;
  pane->highlightEnd = 3;
  const uint8_t* shown = pane->article.bytes.get();

  ArticleBuffer empty = MakeArticle({});
  EXPECT_EQ(LayOutArticle(pane, &empty, true), kPaneBadData);
  EXPECT_TRUE(empty) << "a refused buffer stays the caller's";
  ArticleBuffer emptyFirstText = MakeArticle({{0x01, 0, ""}, {0x01, 0, "ab"}});
  EXPECT_EQ(LayOutArticle(pane, &emptyFirstText, true), kPaneBadData);

  EXPECT_EQ(pane->article.bytes.get(), shown);
  EXPECT_EQ(pane->lineCount, 1);
  EXPECT_EQ(pane->highlightStart, 0);
  EXPECT_EQ(pane->highlightEnd, 0);
  EXPECT_EQ(pane->unitCount, 0);
  EXPECT_EQ(pane->maxTopLine, 0);
}

TEST_F(PaneTest, AFirstRuleIsNoBadData) {
  EXPECT_EQ(LayOut(MakeArticle({{0x07, 20, ""}, {0x01, 0, "ab"}}), 100), kPaneOk);
  EXPECT_EQ(pane->lineCount, 2);
}

TEST_F(PaneTest, NoArticleYields2AndWithReplaceReleasesTheOldOne) {
  ASSERT_EQ(LayOut(MakeArticle({{0x01, 0, "ab"}, {0x01, 0, "cd"}}), 100), kPaneOk);
  EXPECT_EQ(LayOutArticle(pane, nullptr, false), kPaneNothing);
  EXPECT_TRUE(pane->article);
  EXPECT_EQ(LayOutArticle(pane, nullptr, true), kPaneNothing);
  EXPECT_FALSE(pane->article);
  EXPECT_EQ(pane->lineCount, 2) << "the line table is left as it was";
  EXPECT_EQ(DrawPane(pane, true), kPaneMissing);
}

TEST_F(PaneTest, StatusWithoutAPane) {
  ArticleBuffer article = MakeArticle({{0x01, 0, "ab"}});
  EXPECT_EQ(LayOutArticle(nullptr, &article, true), kPaneMissing);
  EXPECT_EQ(ResizePane(nullptr, 10, 10), kPaneMissing);
  EXPECT_EQ(SetPaneFont(nullptr, TestFont()), kPaneMissing);
  EXPECT_EQ(CreatePane(nullptr, nullptr, TestFont(), 100), nullptr);
}

TEST_F(PaneTest, ResizePaneRefusesSizesNotAbove0AndOtherwiseLaysOutAgain) {
  ASSERT_EQ(LayOut(MakeArticle({{0x01, 0, "aaaa bbbb"}}), 100), kPaneOk);
  for (const auto& [w, h] : {std::pair{0, 100}, {100, 0}, {-5, 100}}) {
    EXPECT_EQ(ResizePane(pane, w, h), kPaneBadSize);
    EXPECT_EQ(pane->width, 100);
    EXPECT_EQ(pane->lineCount, 1);
  }
  EXPECT_EQ(ResizePane(pane, 50, 100), kPaneOk);
  EXPECT_EQ(pane->lineCount, 2);
  EXPECT_EQ(pane->height, 100);
}

TEST_F(PaneTest, TheTableGrowsBy128Rows) {
  std::string text;
  for (int i = 0; i < 300; ++i) text += "a ";
  ASSERT_EQ(LayOut(MakeArticle({{0x01, 0, text}}), 10), kPaneOk);
  EXPECT_EQ(pane->lineCount, 300);
  EXPECT_EQ(pane->lineCapacity, 100 + 2 * 128);
  EXPECT_EQ(Row(299).offset, 2 + 2 * 299);
  EXPECT_EQ(Row(300).flags, 0);
}

// --- maxTopLine and ShowOffset ------------------------------------------------------------

// Five one-row paragraphs, each but the last followed by a blank unit: rows
// 0..4 are units 0, 2, 4, 6, 8; nine units, 20 pixels each.
ArticleBuffer FiveParagraphs() {
  return MakeArticle({{0x81, 0, "aa"}, {0x81, 0, "bb"}, {0x81, 0, "cc"}, {0x81, 0, "dd"}, {0x81, 0, "ee"}});
}

TEST_F(PaneTest, MaxTopLineByPaneHeight) {
  const struct {
    int32_t height;
    uint16_t maxTopLine;
  } cases[] = {
      {100, 4},   // rows 2..4 and their blank units exactly
      {110, 4},
      {90, 5},    // the blank unit below row 2 fits, row 2 does not: it counts
      {19, 9},    // not even the last row fits
      {1000, 0},  // everything fits
  };
  for (const auto& c : cases) {
    DestroyPane(pane);
    pane = nullptr;
    ASSERT_EQ(LayOut(FiveParagraphs(), 100, c.height), kPaneOk);
    EXPECT_EQ(pane->unitCount, 9);
    EXPECT_EQ(pane->maxTopLine, c.maxTopLine) << "height " << c.height;
    EXPECT_EQ(ComputeMaxTopLine(pane), c.maxTopLine);
  }
}

TEST_F(PaneTest, ComputeMaxTopLineWithoutRowsIsMinus1) {
  pane = CreatePane(surface, nullptr, TestFont(), 0);
  pane->maxTopLine = 7;
  EXPECT_EQ(ComputeMaxTopLine(pane), -1);
  EXPECT_EQ(pane->maxTopLine, 7);
}

TEST_F(PaneTest, ShowOffset) {
  // Rows: "aa" at 2..4 (unit 0), "bb" 7..9 (unit 2), "cc" 12..14 (unit 4),
  // "dd" 17..19 (unit 6), "ee" 22..24 (unit 8); maxTopLine 4 at height 100.
  ASSERT_EQ(LayOut(FiveParagraphs(), 100, 100), kPaneOk);
  const struct {
    uint16_t offset;
    int result;
    uint16_t topLine;
  } cases[] = {
      {2, 1, 0},  {4, 1, 0},   // the row's end belongs to it
      {7, 1, 2},  {9, 1, 2},
      {14, 1, 4}, {17, 1, 4},  // capped at maxTopLine
      {24, 1, 4},
      {5, 0, 33}, {6, 0, 33},  // the header bytes of the second record
      {26, 0, 33},             // past the article
  };
  for (const auto& c : cases) {
    pane->topLine = 33;
    EXPECT_EQ(ShowOffset(pane, c.offset), c.result) << "offset " << c.offset;
    EXPECT_EQ(pane->topLine, c.topLine) << "offset " << c.offset;
  }
}

TEST_F(PaneTest, ALayoutDropsTheHighlightButLeavesTheTopLine) {
  ASSERT_EQ(LayOut(FiveParagraphs(), 100, 100), kPaneOk);
  pane->topLine = 3;
  pane->highlightStart = 0;
  pane->highlightEnd = 4;
  ASSERT_EQ(ResizePane(pane, 120, 100), kPaneOk);
  EXPECT_EQ(pane->topLine, 3);
  EXPECT_EQ(pane->highlightEnd, 0);
}

}  // namespace
