// Pane drawing, highlighting and scrolling on the headless surface, which
// logs every text drawn (letters a, b, c... come out as U+05D0, U+05D1, ...).
#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "tests/pane_fixture.h"

// A drawn text as the tests check it.
struct Drawn {
  std::u16string text;
  int32_t x;
  int32_t y;
  bool operator==(const Drawn&) const = default;
};

inline void PrintTo(const Drawn& d, std::ostream* os) {
  *os << "{";
  for (char16_t c : d.text) *os << (c >= 0x5D0 ? static_cast<char>('a' + (c - 0x5D0)) : static_cast<char>(c));
  *os << " at " << d.x << "," << d.y << "}";
}

namespace {

bool IsHighlight(const DrawnText& d) {
  return d.backgroundMode == kOpaque && d.backgroundColour == kYellow && d.textColour == kBlue;
}

std::vector<Drawn> Texts(SurfaceHandle surface, bool highlights) {
  std::vector<Drawn> out;
  for (const DrawnText& d : DrawnTexts(surface)) {
    if (IsHighlight(d) == highlights) out.push_back({d.text, d.x, d.y});
  }
  return out;
}

// Five one-row paragraphs "aa" .. "ee", each but the last followed by a
// blank unit: units 0 to 8, rows at units 0, 2, 4, 6, 8.
ArticleBuffer FiveParagraphs() {
  return MakeArticle({{0x81, 0, "aa"}, {0x81, 0, "bb"}, {0x81, 0, "cc"}, {0x81, 0, "dd"}, {0x81, 0, "ee"}});
}

TEST_F(PaneTest, DrawsEachRowInItsStylesFontColourAndBox) {
  ASSERT_EQ(LayOut(MakeArticle({{0xDC, 0, "ab"}, {0xB1, 0, "cc dd"}, {0xB2, 0, "ee"}}), 200, 200, 10, 5), kPaneOk);
  FillBox(surface, 0, 0, kSurfaceWidth, kSurfaceHeight, kBlackBrush);
  SetTextColour(surface, kRed);

  ASSERT_EQ(DrawPane(pane, true), kPaneOk);
  const std::vector<DrawnText>& d = DrawnTexts(surface);
  ASSERT_EQ(d.size(), 3u);
  // The title: large (25 high, letters 12 wide), bold, blue, centred.
  EXPECT_EQ(d[0].text, u"\u05D0\u05D1");
  EXPECT_EQ(d[0].x, 10 + (200 - 24) / 2);
  EXPECT_EQ(d[0].y, 5);
  EXPECT_EQ(d[0].textColour, kBlue);
  EXPECT_EQ(d[0].font.weight, kWeightBold);
  // Main text: black, right-aligned, below the title's blank unit; a stored
  // reversed row is drawn as its stored run.
  EXPECT_EQ(d[1].text, u"\u05D2\u05D2 \u05D3\u05D3");
  EXPECT_EQ(d[1].x, 10 + 200 - 45);
  EXPECT_EQ(d[1].y, 5 + 25 + 25);
  EXPECT_EQ(d[1].textColour, kBlack);
  // Commentary: small (15 high, letters 7 wide), dark blue.
  EXPECT_EQ(d[2].x, 10 + 200 - 14);
  EXPECT_EQ(d[2].y, 55 + 20 + 20);
  EXPECT_EQ(d[2].textColour, kDarkBlue);
  EXPECT_EQ(d[2].height, 15);
  EXPECT_EQ(pane->drawnUnits, 5);

  EXPECT_EQ(GetPixel(surface, d[0].x + 2, 7), kBlue) << "ink";
  EXPECT_EQ(GetPixel(surface, 10, 204), kWhite) << "the pane was cleared";
  EXPECT_EQ(GetPixel(surface, 10, 205), kBlack) << "and nothing outside it";
  EXPECT_EQ(GetPixel(surface, 9, 5), kBlack);
  EXPECT_EQ(GetTextColour(surface), kRed) << "the text colour is put back";
}

TEST_F(PaneTest, DrawingWithoutClearingLeavesTheBackground) {
  ASSERT_EQ(LayOut(FiveParagraphs(), 100, 100), kPaneOk);
  FillBox(surface, 0, 0, 100, 100, kBlackBrush);
  SetBackgroundMode(surface, kTransparent);
  ASSERT_EQ(DrawPane(pane, false), kPaneOk);
  EXPECT_EQ(GetPixel(surface, 0, 0), kBlack);
  EXPECT_EQ(GetPixel(surface, 90, 50), kBlack);
}

TEST_F(PaneTest, WhichUnitsAreDrawn) {
  const struct {
    const char* name;
    int32_t height;
    uint16_t topLine;
    std::vector<Drawn> texts;
    int32_t drawnUnits;
  } cases[] = {
      {"AllThatFit", 100, 0,
       {{u"\u05D0\u05D0", 0, 0}, {u"\u05D1\u05D1", 0, 40}, {u"\u05D2\u05D2", 0, 80}}, 6},
      {"FromABlankUnitTheFirstRowIsOneRowHeightDown", 100, 1,
       {{u"\u05D1\u05D1", 0, 20}, {u"\u05D2\u05D2", 0, 60}}, 4},
      {"ACutOffBlankUnitStillCounts", 30, 0, {{u"\u05D0\u05D0", 0, 0}}, 2},
      {"ARowThatDoesNotFitEndsTheDrawing", 50, 0, {{u"\u05D0\u05D0", 0, 0}}, 2},
      {"TheLastRowHasNoBlankUnit", 100, 8, {{u"\u05D4\u05D4", 0, 0}}, 1},
      {"ATopLineBeyondTheUnitsIsDrawnAsMaxTopLine", 100, 10,
       {{u"\u05D2\u05D2", 0, 0}, {u"\u05D3\u05D3", 0, 40}, {u"\u05D4\u05D4", 0, 80}}, 5},
  };
  for (const auto& c : cases) {
    DestroyPane(pane);
    pane = nullptr;
    ASSERT_EQ(LayOut(FiveParagraphs(), 100, c.height), kPaneOk);
    ClearDrawnTexts(surface);
    pane->topLine = c.topLine;
    ASSERT_EQ(DrawPane(pane, true), kPaneOk) << c.name;
    EXPECT_EQ(Texts(surface, false), c.texts) << c.name;
    EXPECT_EQ(pane->drawnUnits, c.drawnUnits) << c.name;
  }
  EXPECT_EQ(pane->topLine, pane->maxTopLine) << "pulled back";
}

TEST_F(PaneTest, DrawsARuleAsOnePixelLineAcrossItsLength) {
  ASSERT_EQ(LayOut(MakeArticle({{0x01, 0, "a"}, {0x27, 40, ""}, {0x01, 0, "b"}}), 100), kPaneOk);
  ASSERT_EQ(DrawPane(pane, true), kPaneOk);
  // The rule's row is 20 high at y 20; its line lies at y 30, x 60..99.
  EXPECT_EQ(GetPixel(surface, 60, 30), kBlack);
  EXPECT_EQ(GetPixel(surface, 99, 30), kBlack);
  EXPECT_EQ(GetPixel(surface, 59, 30), kWhite);
  EXPECT_EQ(GetPixel(surface, 100, 30), kWhite);
  EXPECT_EQ(GetPixel(surface, 80, 29), kWhite);
  EXPECT_EQ(GetPixel(surface, 80, 31), kWhite);
  EXPECT_EQ(pane->drawnUnits, 3);
}

TEST_F(PaneTest, DrawsHangingWordsInTheirColumn) {
  // In stored order the word stands left of the body; stored reversed it
  // follows the body's run and stands right of it.
  ASSERT_EQ(LayOut(MakeArticle({{0x01, 0x40, "aa bbbb"}, {0x31, 0x40, "dddd cc"}}), 100), kPaneOk);
  ASSERT_EQ(DrawPane(pane, true), kPaneOk);
  const std::vector<Drawn> expected = {
      {u"\u05D0\u05D0", 0, 0},
      {u"\u05D1\u05D1\u05D1\u05D1", 20, 0},
      {u"\u05D2\u05D2", 80, 20},
      {u"\u05D3\u05D3\u05D3\u05D3", 40, 20},
  };
  EXPECT_EQ(Texts(surface, false), expected);
}

// "aaaa bbbb cccc" at width 100: row 0 is "aaaa bbbb" (offsets 2..10), row 1
// "cccc" (12..15).
TEST_F(PaneTest, DrawsTheHighlightBlueOnYellow) {
  const struct {
    uint16_t start;
    uint16_t end;
    std::vector<Drawn> texts;
  } cases[] = {
      {7, 15, {{u"\u05D1\u05D1\u05D1\u05D1", 45, 0}, {u"\u05D2\u05D2\u05D2", 0, 20}}},  // over two rows
      {5, 7, {{u"\u05D0 ", 30, 0}}},    // inside one row; the byte at the end is not drawn
      {0, 3, {{u"\u05D0", 0, 0}}},       // a start of 0 is a highlight
      {11, 13, {{u"\u05D2", 0, 20}}},    // row 0 ends where it starts: touched, nothing drawn
      {0, 0, {}},                        // no highlight
  };
  for (const auto& c : cases) {
    DestroyPane(pane);
    pane = nullptr;
    ASSERT_EQ(LayOut(MakeArticle({{0x01, 0, "aaaa bbbb cccc"}}), 100), kPaneOk);
    ClearDrawnTexts(surface);
    pane->highlightStart = c.start;
    pane->highlightEnd = c.end;
    SetBackgroundMode(surface, kTransparent);
    SetBackgroundColour(surface, kRed);
    ASSERT_EQ(DrawPane(pane, true), kPaneOk);
    EXPECT_EQ(Texts(surface, true), c.texts) << c.start << ".." << c.end;
    EXPECT_EQ(GetBackgroundMode(surface), kTransparent);
    EXPECT_EQ(GetBackgroundColour(surface), kRed);
  }
  // The last case drew "c" at (0, 20): its cell is yellow, its ink blue.
  DestroyPane(pane);
  pane = nullptr;
  ASSERT_EQ(LayOut(MakeArticle({{0x01, 0, "aaaa bbbb cccc"}}), 100), kPaneOk);
  pane->highlightStart = 11;
  pane->highlightEnd = 13;
  ASSERT_EQ(DrawPane(pane, true), kPaneOk);
  EXPECT_EQ(GetPixel(surface, 0, 20), kYellow);
  EXPECT_EQ(GetPixel(surface, 5, 30), kBlue);
  EXPECT_EQ(GetPixel(surface, 10, 30), kWhite) << "the box is as wide as the highlighted byte";
}

TEST_F(PaneTest, TheHangingWordOfAReversedRowIsHighlightedWhole) {
  ASSERT_EQ(LayOut(MakeArticle({{0x31, 0x40, "dddd cc"}}), 100), kPaneOk);
  pane->highlightStart = 2;
  pane->highlightEnd = 3;
  ASSERT_EQ(DrawPane(pane, true), kPaneOk);
  const std::vector<Drawn> expected = {{u"\u05D2\u05D2", 80, 0}, {u"\u05D3", 40, 0}};
  EXPECT_EQ(Texts(surface, true), expected);
}

TEST_F(PaneTest, ReverseReversesDrawnRunsButNotWidthsOrPositions) {
  // "a bc": a at 2, the space at 3, b at 4, c at 5. Highlighting b and c
  // starts after "a " (15 pixels) in stored order.
  ASSERT_EQ(LayOut(MakeArticle({{0x01, 0, "a bc"}}), 100), kPaneOk);
  flags = kFlagReverse;
  pane->highlightStart = 4;
  pane->highlightEnd = 6;
  ASSERT_EQ(DrawPane(pane, true), kPaneOk);
  const std::vector<Drawn> body = {{u"\u05D2\u05D1 \u05D0", 0, 0}};
  const std::vector<Drawn> highlight = {{u"\u05D2\u05D1", 15, 0}};
  EXPECT_EQ(Texts(surface, false), body);
  EXPECT_EQ(Texts(surface, true), highlight);
  EXPECT_EQ(Row(0).width, 35);
  EXPECT_EQ(flags, kFlagReverse);
}

TEST_F(PaneTest, DrawPaneNeedsAnArticleAndALineTable) {
  EXPECT_EQ(DrawPane(nullptr, true), kPaneMissing);
  EXPECT_EQ(DrawHighlight(nullptr), kPaneMissing);
  pane = CreatePane(surface, nullptr, TestFont(), 0);
  EXPECT_EQ(DrawPane(pane, true), kPaneMissing);
  EXPECT_EQ(DrawHighlight(pane), kPaneMissing);
  EXPECT_TRUE(DrawnTexts(surface).empty());
}

// --- Scrolling -----------------------------------------------------------------------------

TEST_F(PaneTest, ScrollPaneClampsAsThePaneRulesSay) {
  const struct {
    uint16_t topLine;
    int32_t n;
    int result;
    uint16_t after;
  } cases[] = {
      // maxTopLine 10, unitCount 30 throughout.
      {3, -5, kScrollMovedUndrawn, 0},
      {10, 1, kScrollUnmoved, 10},
      {0, 1000, kScrollMovedUndrawn, 10},
      {9, 5, kScrollMovedUndrawn, 14},  // a step down is limited by the units only
      {9, 21, kScrollMovedUndrawn, 30},
      {9, 22, kScrollMovedUndrawn, 10},
      {14, 1, kScrollUnmoved, 14},      // beyond maxTopLine nothing moves down
      {14, -1, kScrollMovedUndrawn, 13},
      {5, 0, kScrollUnmoved, 5},
      {0, -1, kScrollUnmoved, 0},
      {5, INT32_MAX, kScrollMovedUndrawn, 10},
      {5, INT32_MIN, kScrollMovedUndrawn, 0},
  };
  pane = CreatePane(surface, nullptr, TestFont(), 0);
  pane->maxTopLine = 10;
  pane->unitCount = 30;
  for (const auto& c : cases) {
    pane->topLine = c.topLine;
    EXPECT_EQ(ScrollPane(pane, c.n, false), c.result) << c.topLine << " by " << c.n;
    EXPECT_EQ(pane->topLine, c.after) << c.topLine << " by " << c.n;
  }
  EXPECT_EQ(ScrollPane(nullptr, 1, false), kPaneMissing);
}

TEST_F(PaneTest, ScrollPaneWithRedrawDrawsOnlyWhenItMoved) {
  ASSERT_EQ(LayOut(FiveParagraphs(), 100, 100), kPaneOk);
  ClearDrawnTexts(surface);
  EXPECT_EQ(ScrollPane(pane, 0, true), kScrollUnmoved);
  EXPECT_EQ(ScrollPane(pane, -1, true), kScrollUnmoved);
  EXPECT_TRUE(DrawnTexts(surface).empty());
  EXPECT_EQ(ScrollPane(pane, 2, true), kPaneOk);
  EXPECT_EQ(pane->topLine, 2);
  ASSERT_FALSE(DrawnTexts(surface).empty());
  EXPECT_EQ(DrawnTexts(surface).front().text, u"\u05D1\u05D1");
}

// --- The shared drawing helpers ----------------------------------------------------------------

TEST_F(PaneTest, DrawColouredTextPutsTheSurfaceBackAsItWas) {
  SetBackgroundMode(surface, kTransparent);
  SetTextColour(surface, kRed);
  SetBackgroundColour(surface, kPaleBlueWhite);
  DrawColouredText(surface, reinterpret_cast<const uint8_t*>("ab"), 2, 10, 10, 40, 30, kBlue, kYellow);
  ASSERT_EQ(DrawnTexts(surface).size(), 1u);
  const DrawnText& d = DrawnTexts(surface)[0];
  EXPECT_EQ(d.backgroundMode, kOpaque);
  EXPECT_EQ(d.textColour, kBlue);
  EXPECT_EQ(d.backgroundColour, kYellow);
  EXPECT_EQ(d.x, 10 + (40 - 16) / 2) << "centred: two letters 8 wide in the default font";
  EXPECT_EQ(d.y, 10 + (30 - 16) / 2);
  EXPECT_EQ(GetBackgroundMode(surface), kTransparent);
  EXPECT_EQ(GetTextColour(surface), kRed);
  EXPECT_EQ(GetBackgroundColour(surface), kPaleBlueWhite);
}

TEST_F(PaneTest, FillBoxFillsExactlyTheBox) {
  FillBox(surface, 5, 6, 3, 2, kBlackBrush);
  EXPECT_EQ(GetPixel(surface, 5, 6), kBlack);
  EXPECT_EQ(GetPixel(surface, 7, 7), kBlack);
  EXPECT_EQ(GetPixel(surface, 8, 7), kWhite);
  EXPECT_EQ(GetPixel(surface, 7, 8), kWhite);
  EXPECT_EQ(GetPixel(surface, 4, 6), kWhite);
}

}  // namespace
