// The Qt surface with the machine's real fonts, offscreen: where text lands
// and how wide it is, the font height rules, backgrounds, rectangles, the
// selection of objects, bitmaps and the font families.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

#include "platform/qt/qt_backend.h"
#include "platform/surface.h"

namespace {

constexpr char16_t kAlef = u'\u05D0';

FontDescription Face(std::u16string_view face, int32_t height, int32_t weight = kWeightNormal,
                     bool underline = false) {
  FontDescription d;
  d.height = height;
  d.weight = weight;
  d.underline = underline;
  std::copy_n(face.begin(), std::min<size_t>(face.size(), kFaceNameLength - 1), d.faceName);
  return d;
}

// Names parameterised cases after their name field.
template <typename Case>
std::string CaseName(const testing::TestParamInfo<Case>& c) {
  return c.param.name;
}

int32_t Length(std::u16string_view s) { return static_cast<int32_t>(s.size()); }

// A font made from a description and selected into a surface while in scope.
class SelectedFont {
 public:
  SelectedFont(SurfaceHandle surface, const FontDescription& description)
      : surface_(surface), font_(CreateFont(description)), previous_(SelectFont(surface, font_)) {}
  ~SelectedFont() {
    if (!font_) return;
    SelectFont(surface_, previous_);
    DeleteFont(font_);
  }
  SelectedFont(const SelectedFont&) = delete;
  SelectedFont& operator=(const SelectedFont&) = delete;
  bool ok() const { return font_ && previous_; }

 private:
  SurfaceHandle surface_;
  FontHandle font_;
  FontHandle previous_;
};

// The smallest rectangle holding every pixel of area that is not background;
// empty (right <= left) when there is none.
Rect InkBounds(SurfaceHandle surface, const Rect& area, Colour background = kWhite) {
  Rect ink{area.right, area.bottom, area.left, area.top};
  for (int32_t y = area.top; y < area.bottom; ++y) {
    for (int32_t x = area.left; x < area.right; ++x) {
      if (GetPixel(surface, x, y) == background) continue;
      ink = {std::min(ink.left, x), std::min(ink.top, y), std::max(ink.right, x + 1), std::max(ink.bottom, y + 1)};
    }
  }
  return ink;
}

// Where a black-on-white drawing is dark: no channel above the middle, so
// the faint edges antialiasing leaves around glyphs are not counted.
Rect DarkBounds(SurfaceHandle surface, const Rect& area) {
  Rect dark{area.right, area.bottom, area.left, area.top};
  for (int32_t y = area.top; y < area.bottom; ++y) {
    for (int32_t x = area.left; x < area.right; ++x) {
      const Colour c = GetPixel(surface, x, y);
      if ((c & 0xFF) > 0x80 || ((c >> 8) & 0xFF) > 0x80 || ((c >> 16) & 0xFF) > 0x80) continue;
      dark = {std::min(dark.left, x), std::min(dark.top, y), std::max(dark.right, x + 1), std::max(dark.bottom, y + 1)};
    }
  }
  return dark;
}

bool HasInk(const Rect& ink) { return ink.right > ink.left; }

// The pixels of a surface that differ from another's.
int32_t DifferentPixels(SurfaceHandle a, SurfaceHandle b, int32_t width, int32_t height) {
  int32_t count = 0;
  for (int32_t y = 0; y < height; ++y) {
    for (int32_t x = 0; x < width; ++x) count += GetPixel(a, x, y) != GetPixel(b, x, y) ? 1 : 0;
  }
  return count;
}

// Draws s with the top left of its cell at (x, y), transparently, clipped
// only far from the cell: a box around the cell as much larger on each side
// centres the run exactly there.
void DrawAt(SurfaceHandle surface, int32_t x, int32_t y, std::u16string_view s) {
  constexpr int32_t kRoom = 40;
  const TextExtent e = MeasureText(surface, s.data(), Length(s));
  DrawTextCentred(surface, s.data(), Length(s), {x - kRoom, y - kRoom, x + e.width + kRoom, y + e.height + kRoom});
}

constexpr int32_t kWidth = 480;
constexpr int32_t kHeight = 120;

class QtSurface : public testing::Test {
 protected:
  void SetUp() override {
    surface_ = CreateImageSurface(kWidth, kHeight);
    ASSERT_NE(surface_, nullptr);
  }
  void TearDown() override { DestroyImageSurface(surface_); }
  SurfaceHandle surface_ = nullptr;
};

// --- Surfaces ------------------------------------------------------------------

TEST_F(QtSurface, StartsWhiteWithBlackTextOnWhiteOpaque) {
  ASSERT_NE(surface_, nullptr);
  EXPECT_EQ(GetPixel(surface_, 0, 0), kWhite);
  EXPECT_EQ(GetPixel(surface_, kWidth - 1, kHeight - 1), kWhite);
  EXPECT_EQ(GetTextColour(surface_), kBlack);
  EXPECT_EQ(GetBackgroundColour(surface_), kWhite);
  EXPECT_EQ(GetBackgroundMode(surface_), kOpaque);
  // The default pen outlines in black and the white stock brush fills.
  DrawRectangle(surface_, {10, 10, 20, 20});
  EXPECT_EQ(GetPixel(surface_, 10, 10), kBlack);
  EXPECT_EQ(GetPixel(surface_, 15, 15), kWhite);
  EXPECT_EQ(SelectBrush(surface_, GetStockBrush(kBlackBrush)), GetStockBrush(kWhiteBrush));
  // The default font is the platform's: a real one, made from an empty description.
  const TextMetrics m = GetTextMetrics(surface_);
  EXPECT_GT(m.height, 0);
  EXPECT_GT(m.averageCharWidth, 0);
}

TEST(QtSurfaceMade, RefusesSizesNotAboveZeroAndAnswersNoPixelOutside) {
  EXPECT_EQ(CreateImageSurface(0, 10), nullptr);
  EXPECT_EQ(CreateImageSurface(10, -1), nullptr);
  SurfaceHandle s = CreateImageSurface(3, 2);
  ASSERT_NE(s, nullptr);
  EXPECT_EQ(GetPixel(s, 2, 1), kWhite);
  for (auto [x, y] : {std::pair{3, 0}, {0, 2}, {-1, 0}, {0, -1}}) EXPECT_EQ(GetPixel(s, x, y), kNoPixel);
  DestroyImageSurface(s);
}

TEST_F(QtSurface, SavesPngAndFailsOnAPathThatCannotBeWritten) {
  FillRect(surface_, {0, 0, 5, 5}, GetStockBrush(kBlackBrush));
  const std::string path = testing::TempDir() + "qt_surface_test.png";
  ASSERT_TRUE(SaveSurfacePng(surface_, path.c_str()));
  std::ifstream in(path, std::ios::binary);
  const std::string head(std::istreambuf_iterator<char>(in), {});
  EXPECT_EQ(head.substr(0, 8), std::string("\x89PNG\r\n\x1a\n", 8));
  std::remove(path.c_str());
  EXPECT_FALSE(SaveSurfacePng(surface_, "/nonexistent-directory/out.png"));
}

// --- Where text lands ----------------------------------------------------------

struct RunCase {
  const char* name;
  std::u16string face;
  int32_t height;
  std::u16string text;
  bool ownFace = true;  // false: some characters come from a fallback face, whose ink may rise above the cell
};

void PrintTo(const RunCase& c, std::ostream* os) { *os << c.name; }

const RunCase kRuns[] = {
    {"HebrewDavid", u"David CLM", -24, u"\u05D0\u05D1\u05D2\u05D3 \u05D4\u05D5\u05D6\u05DA\u05DD"},
    {"HebrewFrankRuehl", u"Frank Ruehl CLM", 22, u"\u05E9\u05DC\u05D5\u05DD \u05E2\u05D5\u05DC\u05DD"},
    // Letters, digits and Latin together: any bidirectional reordering moves them.
    {"MixedDejaVu", u"DejaVu Sans", -20, u"\u05D0\u05D1 12 ab, \u05D2\u05D3 (x)"},
    {"LatinMiriam", u"Miriam CLM", -18, u"Quick brown fox, 1999."},
    // A character the face lacks goes through the fallback, in its place.
    {"FallbackInDavid", u"David CLM", -24, u"\u05D0\u00E0\u05D1\u0416\u00E9 \u05D2", false},
};

class QtRun : public QtSurface, public testing::WithParamInterface<RunCase> {};

// Drawing the run whole gives exactly the pixels of drawing each character
// alone where measuring the run's prefixes puts it: characters in the order
// given, first leftmost, at the measured positions.
TEST_P(QtRun, DrawsEveryCharacterWhereMeasuringPutsIt) {
  const RunCase& c = GetParam();
  SurfaceHandle pieces = CreateImageSurface(kWidth, kHeight);
  ASSERT_NE(pieces, nullptr);
  {
    SelectedFont whole(surface_, Face(c.face, c.height));
    SelectedFont piecewise(pieces, Face(c.face, c.height));
    ASSERT_TRUE(whole.ok() && piecewise.ok());
    SetBackgroundMode(surface_, kTransparent);
    SetBackgroundMode(pieces, kTransparent);
    DrawAt(surface_, 30, 40, c.text);
    for (size_t i = 0; i < c.text.size(); ++i) {
      const int32_t offset = MeasureText(pieces, c.text.data(), static_cast<int32_t>(i)).width;
      DrawAt(pieces, 30 + offset, 40, c.text.substr(i, 1));
    }
  }
  EXPECT_TRUE(HasInk(InkBounds(surface_, {0, 0, kWidth, kHeight})));
  EXPECT_EQ(DifferentPixels(surface_, pieces, kWidth, kHeight), 0);
  DestroyImageSurface(pieces);
}

// The ink of the run spans the cell MeasureText reports, give or take the
// side bearings, and stays within the cell's rows.
TEST_P(QtRun, InkSpansTheMeasuredCell) {
  const RunCase& c = GetParam();
  SelectedFont font(surface_, Face(c.face, c.height));
  ASSERT_TRUE(font.ok());
  const TextExtent e = MeasureText(surface_, c.text.data(), Length(c.text));
  EXPECT_EQ(e.height, GetTextMetrics(surface_).height);
  const int32_t x = 40;
  const int32_t y = 30;
  DrawTextFilled(surface_, x, y, {0, 0, kWidth, kHeight}, c.text.data(), Length(c.text));
  const Rect ink = InkBounds(surface_, {0, 0, kWidth, kHeight});
  ASSERT_TRUE(HasInk(ink));
  const int32_t bearing = std::max(3, e.height / 6);
  EXPECT_NEAR(ink.left, x, bearing);
  EXPECT_NEAR(ink.right, x + e.width, bearing);
  if (c.ownFace) {
    EXPECT_GE(ink.top, y);
    EXPECT_LE(ink.bottom, y + e.height);
  }
}

// Every character but the space shows some ink, those of fallback faces too.
TEST_P(QtRun, EveryCharacterShows) {
  const RunCase& c = GetParam();
  SelectedFont font(surface_, Face(c.face, c.height));
  ASSERT_TRUE(font.ok());
  for (char16_t ch : c.text) {
    if (ch == u' ') continue;
    DrawTextFilled(surface_, 20, 20, {0, 0, kWidth, kHeight}, &ch, 1);
    EXPECT_TRUE(HasInk(InkBounds(surface_, {0, 0, 100, 100}))) << static_cast<int>(ch);
  }
}

// Letters standing on the baseline end their dark ink on the row above it:
// the baseline lies ascent rows below the cell's top.
TEST_F(QtSurface, LettersStandOnTheBaseline) {
  for (const char16_t* face : {u"David CLM", u"Frank Ruehl CLM", u"Miriam CLM", u"DejaVu Sans"}) {
    for (int32_t height : {-16, -24, -40}) {
      FillRect(surface_, {0, 0, kWidth, kHeight}, GetStockBrush(kWhiteBrush));
      SelectedFont font(surface_, Face(face, height));
      ASSERT_TRUE(font.ok());
      const std::u16string text = u"\u05D1\u05D3\u05D4\u05EA xzE";
      DrawTextFilled(surface_, 10, 7, {0, 0, kWidth, kHeight}, text.data(), Length(text));
      EXPECT_EQ(DarkBounds(surface_, {0, 0, kWidth, kHeight}).bottom, 7 + GetTextMetrics(surface_).ascent) << height;
    }
  }
}

// Widths add up: measuring the run in two pieces gives the same total.
TEST_P(QtRun, WidthsAddUp) {
  const RunCase& c = GetParam();
  SelectedFont font(surface_, Face(c.face, c.height));
  ASSERT_TRUE(font.ok());
  const int32_t n = Length(c.text);
  const int32_t total = MeasureText(surface_, c.text.data(), n).width;
  for (int32_t k = 0; k <= n; ++k) {
    EXPECT_EQ(MeasureText(surface_, c.text.data(), k).width + MeasureText(surface_, c.text.data() + k, n - k).width,
              total)
        << "split at " << k;
  }
}

// FitText, for every extent from below nothing to beyond the run, takes the
// longest prefix whose measured width is within it.
TEST_P(QtRun, FitsTheLongestPrefixThatMeasuresWithinTheExtent) {
  const RunCase& c = GetParam();
  SelectedFont font(surface_, Face(c.face, c.height));
  ASSERT_TRUE(font.ok());
  const int32_t n = Length(c.text);
  std::vector<int32_t> prefix;
  for (int32_t k = 0; k <= n; ++k) prefix.push_back(MeasureText(surface_, c.text.data(), k).width);
  for (int32_t extent = -1; extent <= prefix.back() + 2; ++extent) {
    int32_t expected = 0;
    while (expected < n && prefix[static_cast<size_t>(expected) + 1] <= extent) ++expected;
    EXPECT_EQ(FitText(surface_, c.text.data(), n, extent), expected) << "extent " << extent;
  }
  EXPECT_EQ(FitText(surface_, c.text.data(), n, prefix[1] - 1), 0);
  EXPECT_EQ(FitText(surface_, c.text.data(), n, 1 << 30), n);
  EXPECT_EQ(FitText(surface_, c.text.data(), 3, 1 << 30), 3);
  EXPECT_EQ(FitText(surface_, c.text.data(), 0, 1 << 30), 0);
}

INSTANTIATE_TEST_SUITE_P(Runs, QtRun, testing::ValuesIn(kRuns), CaseName<RunCase>);

// The columns from the leftmost ink in area up to the first column after it
// with none: the leftmost glyph's ink, when glyphs do not touch.
std::pair<int32_t, int32_t> FirstInkColumns(SurfaceHandle surface, const Rect& area) {
  auto inked = [&](int32_t x) {
    for (int32_t y = area.top; y < area.bottom; ++y) {
      if (GetPixel(surface, x, y) != kWhite) return true;
    }
    return false;
  };
  int32_t first = area.left;
  while (first < area.right && !inked(first)) ++first;
  int32_t end = first;
  while (end < area.right && inked(end)) ++end;
  return {first, end};
}

// A run's first character is drawn at the left of its box, scanning column
// by column: alef, spaces and a narrow vav ink first the columns alef alone
// inks. Reordered as right-to-left text, the vav would come first.
TEST_F(QtSurface, FirstCharacterOfARunIsLeftmost) {
  const std::u16string run = u"\u05D0    \u05D5";
  for (const char16_t* face : {u"David CLM", u"DejaVu Sans"}) {
    SurfaceHandle alone = CreateImageSurface(kWidth, kHeight);
    ASSERT_NE(alone, nullptr);
    FillRect(surface_, {0, 0, kWidth, kHeight}, GetStockBrush(kWhiteBrush));
    {
      SelectedFont font(surface_, Face(face, -32));
      SelectedFont aloneFont(alone, Face(face, -32));
      ASSERT_TRUE(font.ok() && aloneFont.ok());
      const int32_t width = MeasureText(surface_, run.data(), Length(run)).width;
      const Rect box{100, 10, 100 + width, 90};
      DrawTextCentred(surface_, run.data(), Length(run), box);
      DrawTextFilled(alone, box.left, box.top + (box.bottom - box.top - GetTextMetrics(alone).height) / 2,
                     {0, 0, kWidth, kHeight}, run.data(), 1);
      const std::pair<int32_t, int32_t> alef = FirstInkColumns(alone, box);
      EXPECT_LT(alef.first, alef.second);
      EXPECT_LE(alef.first, box.left + 4);
      EXPECT_EQ(FirstInkColumns(surface_, box), alef);
    }
    DestroyImageSurface(alone);
  }
}

// --- Font heights -----------------------------------------------------------------

// The cell height a description gives.
int32_t CellOf(SurfaceHandle surface, const FontDescription& description) {
  SelectedFont font(surface, description);
  EXPECT_TRUE(font.ok());
  return GetTextMetrics(surface).height;
}

// A negative height is the pixel size, whose cell holds at least that many
// rows; a positive one is the cell of the largest pixel size that fits in it.
TEST_F(QtSurface, NegativeHeightIsTheCharacterHeightAndPositiveTheCell) {
  for (const char16_t* face : {u"David CLM", u"Frank Ruehl CLM", u"Miriam CLM", u"DejaVu Sans"}) {
    std::vector<int32_t> cellOfPixels{0};  // index: pixel size
    for (int32_t pixels = 1; pixels <= 48; ++pixels) cellOfPixels.push_back(CellOf(surface_, Face(face, -pixels)));
    for (int32_t h : {9, 12, 16, 24, 40}) {
      const int32_t cell = CellOf(surface_, Face(face, h));
      int32_t best = 0;
      for (int32_t c : cellOfPixels) {
        if (c <= h) best = std::max(best, c);
      }
      EXPECT_LE(cell, h) << h;
      EXPECT_EQ(cell, best) << h;
      EXPECT_GE(cellOfPixels[static_cast<size_t>(h)], h) << h;
      EXPECT_GE(cellOfPixels[static_cast<size_t>(h)], cell) << h;
    }
  }
}

TEST_F(QtSurface, ZeroHeightIsTheDefaultSizeInPixels) {
  SelectedFont font(surface_, Face(u"DejaVu Sans", 0));
  ASSERT_TRUE(font.ok());
  const TextMetrics byDefault = GetTextMetrics(surface_);
  const std::u16string text = u"abc \u05D0\u05D1\u05D2";
  const int32_t width = MeasureText(surface_, text.data(), Length(text)).width;
  int32_t matches = 0;
  for (int32_t pixels = 6; pixels <= 40; ++pixels) {
    SelectedFont sized(surface_, Face(u"DejaVu Sans", -pixels));
    const TextMetrics m = GetTextMetrics(surface_);
    if (m.height == byDefault.height && m.ascent == byDefault.ascent &&
        MeasureText(surface_, text.data(), Length(text)).width == width) {
      ++matches;
    }
  }
  EXPECT_GE(matches, 1);
}

TEST_F(QtSurface, TextMetricsDescribeTheFont) {
  SelectedFont font(surface_, Face(u"DejaVu Sans", -20));
  ASSERT_TRUE(font.ok());
  const TextMetrics m = GetTextMetrics(surface_);
  EXPECT_GT(m.ascent, 0);
  EXPECT_LT(m.ascent, m.height);
  const std::u16string letters = u"abcdefghijklmnopqrstuvwxyz";
  const int32_t sum = MeasureText(surface_, letters.data(), Length(letters)).width;
  EXPECT_NEAR(m.averageCharWidth, sum / 26, 1);
  EXPECT_GE(m.maxCharWidth, MeasureText(surface_, u"W", 1).width);
}

TEST_F(QtSurface, DescriptionChoosesFaceAndWeight) {
  const std::u16string text = u"\u05D0\u05D1\u05D2\u05D3 abcd";
  auto width = [&](const FontDescription& d) {
    SelectedFont font(surface_, d);
    return MeasureText(surface_, text.data(), Length(text)).width;
  };
  EXPECT_GT(width(Face(u"DejaVu Sans", -20, kWeightBold)), width(Face(u"DejaVu Sans", -20)));
  EXPECT_GT(width(Face(u"David CLM", -20, kWeightBold)), width(Face(u"David CLM", -20)));
  EXPECT_NE(width(Face(u"David CLM", -20)), width(Face(u"DejaVu Sans", -20)));
  FontHandle f = CreateFont(Face(u"Miriam CLM", 17, kWeightExtraBold, true));
  ASSERT_NE(f, nullptr);
  const FontDescription d = GetFontDescription(f);
  EXPECT_EQ(std::u16string(d.faceName), u"Miriam CLM");
  EXPECT_EQ(d.height, 17);
  EXPECT_EQ(d.weight, kWeightExtraBold);
  EXPECT_TRUE(d.underline);
  DeleteFont(f);
}

// An underlined run is underlined over its whole measured width, even its spaces.
TEST_F(QtSurface, UnderlineSpansTheMeasuredWidth) {
  SelectedFont font(surface_, Face(u"David CLM", -24, kWeightNormal, true));
  ASSERT_TRUE(font.ok());
  const std::u16string spaces = u"      ";
  const TextExtent e = MeasureText(surface_, spaces.data(), Length(spaces));
  DrawTextFilled(surface_, 50, 20, {0, 0, kWidth, kHeight}, spaces.data(), Length(spaces));
  const Rect ink = InkBounds(surface_, {0, 0, kWidth, kHeight});
  ASSERT_TRUE(HasInk(ink));
  EXPECT_EQ(ink.left, 50);
  EXPECT_EQ(ink.right, 50 + e.width);
  EXPECT_GT(ink.top, 20 + GetTextMetrics(surface_).ascent - 1);
  EXPECT_LE(ink.bottom, 20 + e.height);
}

// --- Backgrounds and clipping ------------------------------------------------------

struct BackgroundCase {
  const char* name;
  int32_t mode;
  Colour cellColour;  // what the cell's uninked corner shows
};

void PrintTo(const BackgroundCase& c, std::ostream* os) { *os << c.name; }

class QtBackground : public QtSurface, public testing::WithParamInterface<BackgroundCase> {};

// In the opaque mode exactly the text's cell is filled with the background
// colour before the text; in the transparent mode what was under it stays.
TEST_P(QtBackground, FillsTheCellOnlyWhenOpaque) {
  const BackgroundCase& c = GetParam();
  BrushHandle yellow = CreateSolidBrush(kYellow);
  FillRect(surface_, {0, 0, kWidth, kHeight}, yellow);
  SelectedFont font(surface_, Face(u"David CLM", -24));
  ASSERT_TRUE(font.ok());
  EXPECT_EQ(SetBackgroundMode(surface_, c.mode), kOpaque);
  SetBackgroundColour(surface_, kBlue);
  const std::u16string text = u"\u05D0\u05D1\u05D2";
  const TextExtent e = MeasureText(surface_, text.data(), Length(text));
  // Odd room on both axes: the half is truncated.
  const Rect box{10, 10, 10 + e.width + 41, 10 + e.height + 21};
  DrawTextCentred(surface_, text.data(), Length(text), box);
  const int32_t x = box.left + 20;
  const int32_t y = box.top + 10;
  EXPECT_EQ(GetPixel(surface_, x, y), c.cellColour);
  EXPECT_EQ(GetPixel(surface_, x + e.width - 1, y), c.cellColour);
  EXPECT_EQ(GetPixel(surface_, x, y + e.height - 1), c.cellColour);
  for (auto [px, py] : {std::pair{x - 1, y}, {x, y - 1}, {x + e.width, y}, {x, y + e.height}, {box.left, box.top}}) {
    EXPECT_EQ(GetPixel(surface_, px, py), kYellow) << px << "," << py;
  }
  EXPECT_TRUE(HasInk(InkBounds(surface_, {x, y, x + e.width, y + e.height}, c.cellColour)));
  DeleteBrush(yellow);
}

INSTANTIATE_TEST_SUITE_P(Modes, QtBackground,
                         testing::Values(BackgroundCase{"Opaque", kOpaque, kBlue},
                                         BackgroundCase{"Transparent", kTransparent, kYellow}),
                         CaseName<BackgroundCase>);

TEST_F(QtSurface, CentredTextIsClippedToItsBox) {
  SelectedFont font(surface_, Face(u"David CLM", -40));
  ASSERT_TRUE(font.ok());
  const std::u16string text = u"\u05E9\u05DC\u05D5\u05DD \u05E2\u05D5\u05DC\u05DD";
  const int32_t width = MeasureText(surface_, text.data(), Length(text)).width;
  const Rect box{100, 30, 100 + width / 3, 50};  // narrower and lower than the text
  DrawTextCentred(surface_, text.data(), Length(text), box);
  const Rect ink = InkBounds(surface_, {0, 0, kWidth, kHeight});
  ASSERT_TRUE(HasInk(ink));
  EXPECT_GE(ink.left, box.left);
  EXPECT_GE(ink.top, box.top);
  EXPECT_LE(ink.right, box.right);
  EXPECT_LE(ink.bottom, box.bottom);
}

TEST_F(QtSurface, FilledTextFillsTheRectangleAndStaysInIt) {
  SelectedFont font(surface_, Face(u"David CLM", -24));
  ASSERT_TRUE(font.ok());
  SetBackgroundColour(surface_, kYellow);
  SetTextColour(surface_, kRed);
  const std::u16string text = u"\u05D0\u05D1\u05D2\u05D3\u05D4\u05D5\u05D6\u05D7";
  const Rect fill{20, 10, 90, 40};  // the text starts inside and runs past its right
  DrawTextFilled(surface_, 30, 12, fill, text.data(), Length(text));
  EXPECT_EQ(GetPixel(surface_, fill.left, fill.top), kYellow);
  EXPECT_EQ(GetPixel(surface_, fill.right - 1, fill.bottom - 1), kYellow);
  const Rect ink = InkBounds(surface_, {0, 0, kWidth, kHeight});
  EXPECT_EQ(ink.left, fill.left);
  EXPECT_EQ(ink.top, fill.top);
  EXPECT_EQ(ink.right, fill.right);
  EXPECT_EQ(ink.bottom, fill.bottom);
  EXPECT_TRUE(HasInk(InkBounds(surface_, fill, kYellow)));
}

// --- Rectangles, pens and brushes ------------------------------------------------------

struct RectangleCase {
  const char* name;
  Rect rect;
};

void PrintTo(const RectangleCase& c, std::ostream* os) { *os << c.name; }

class QtRectangle : public QtSurface, public testing::WithParamInterface<RectangleCase> {};

// Every pixel: the edge in the pen's colour, the inside in the brush's, the
// rest untouched.
TEST_P(QtRectangle, OutlinesWithThePenAndFillsWithTheBrush) {
  const Rect r = GetParam().rect;
  PenHandle red = CreateSolidPen(kRed);
  PenHandle before = SelectPen(surface_, red);
  SelectBrush(surface_, GetStockBrush(kBlackBrush));
  DrawRectangle(surface_, r);
  for (int32_t y = r.top - 2; y < r.bottom + 2; ++y) {
    for (int32_t x = r.left - 2; x < r.right + 2; ++x) {
      const bool in = x >= r.left && x < r.right && y >= r.top && y < r.bottom;
      const bool edge = in && (x == r.left || x == r.right - 1 || y == r.top || y == r.bottom - 1);
      const Colour expected = x < 0 || y < 0 ? kNoPixel : edge ? kRed : in ? kBlack : kWhite;
      EXPECT_EQ(GetPixel(surface_, x, y), expected) << x << "," << y;
    }
  }
  EXPECT_EQ(SelectPen(surface_, before), red);
  DeletePen(red);
}

INSTANTIATE_TEST_SUITE_P(Rectangles, QtRectangle,
                         testing::Values(RectangleCase{"Wide", {10, 20, 40, 28}},
                                         RectangleCase{"OnePixelHigh", {10, 20, 40, 21}},
                                         RectangleCase{"OnePixelWide", {10, 20, 11, 30}},
                                         RectangleCase{"TwoByTwo", {5, 5, 7, 7}},
                                         RectangleCase{"OverTheEdge", {-3, -3, 6, 6}}),
                         CaseName<RectangleCase>);

TEST_F(QtSurface, FillRectFillsExactlyItsPixelsAndLeavesTheSelection) {
  const Rect black{3, 4, 9, 7};
  const Rect white{5, 5, 6, 6};
  FillRect(surface_, black, GetStockBrush(kBlackBrush));
  FillRect(surface_, white, GetStockBrush(kWhiteBrush));
  FillRect(surface_, {kWidth - 2, kHeight - 2, kWidth + 5, kHeight + 5}, GetStockBrush(kBlackBrush));
  auto inside = [](const Rect& r, int32_t x, int32_t y) {
    return x >= r.left && x < r.right && y >= r.top && y < r.bottom;
  };
  for (int32_t y = 0; y < 10; ++y) {
    for (int32_t x = 0; x < 12; ++x) {
      const bool isBlack = inside(black, x, y) && !inside(white, x, y);
      EXPECT_EQ(GetPixel(surface_, x, y), isBlack ? kBlack : kWhite) << x << "," << y;
    }
  }
  EXPECT_EQ(GetPixel(surface_, kWidth - 1, kHeight - 1), kBlack);
  EXPECT_EQ(GetPixel(surface_, kWidth - 3, kHeight - 1), kWhite);
  // The selected brush is still the white stock brush, and stock brushes survive deletion.
  DeleteBrush(GetStockBrush(kBlackBrush));
  EXPECT_EQ(SelectBrush(surface_, GetStockBrush(kBlackBrush)), GetStockBrush(kWhiteBrush));
  FillRect(surface_, {20, 20, 22, 22}, GetStockBrush(kBlackBrush));
  EXPECT_EQ(GetPixel(surface_, 21, 21), kBlack);
  BrushHandle blue = CreateSolidBrush(kDarkBlue);
  FillRect(surface_, {30, 30, 31, 31}, blue);
  EXPECT_EQ(GetPixel(surface_, 30, 30), kDarkBlue);
  DeleteBrush(blue);
}

TEST_F(QtSurface, SelectingReturnsTheObjectBeforeAndNothingChangesNothing) {
  FontHandle font = CreateFont(Face(u"David CLM", -20));
  ASSERT_NE(font, nullptr);
  FontHandle original = SelectFont(surface_, font);
  ASSERT_NE(original, nullptr);
  EXPECT_EQ(GetFontDescription(original).height, 0);
  EXPECT_EQ(GetFontDescription(original).faceName[0], u'\0');
  EXPECT_EQ(SelectFont(surface_, nullptr), nullptr);
  EXPECT_EQ(SelectFont(surface_, original), font);
  DeleteFont(font);

  PenHandle pen = CreateSolidPen(kBlue);
  PenHandle originalPen = SelectPen(surface_, pen);
  EXPECT_EQ(SelectPen(surface_, nullptr), nullptr);
  DrawRectangle(surface_, {0, 0, 3, 1});
  EXPECT_EQ(GetPixel(surface_, 1, 0), kBlue);
  EXPECT_EQ(SelectPen(surface_, originalPen), pen);
  DrawRectangle(surface_, {0, 0, 3, 1});
  EXPECT_EQ(GetPixel(surface_, 1, 0), kBlack);
  DeletePen(pen);

  BrushHandle brush = CreateSolidBrush(kRed);
  BrushHandle originalBrush = SelectBrush(surface_, brush);
  EXPECT_EQ(SelectBrush(surface_, nullptr), nullptr);
  EXPECT_EQ(SelectBrush(surface_, originalBrush), brush);
  DeleteBrush(brush);
}

TEST_F(QtSurface, ColourAndModeSettersReturnTheValueBefore) {
  EXPECT_EQ(SetTextColour(surface_, kRed), kBlack);
  EXPECT_EQ(SetTextColour(surface_, kBlue), kRed);
  EXPECT_EQ(SetBackgroundColour(surface_, kYellow), kWhite);
  EXPECT_EQ(GetBackgroundColour(surface_), kYellow);
  EXPECT_EQ(SetBackgroundMode(surface_, kTransparent), kOpaque);
  EXPECT_EQ(GetBackgroundMode(surface_), kTransparent);
  // Text comes out in the text colour: its darkest pixel is pure blue.
  SelectedFont font(surface_, Face(u"David CLM", -40));
  DrawTextFilled(surface_, 10, 10, {0, 0, kWidth, kHeight}, &kAlef, 1);
  bool blue = false;
  for (int32_t y = 0; y < 80 && !blue; ++y) {
    for (int32_t x = 0; x < 60 && !blue; ++x) blue = GetPixel(surface_, x, y) == kBlue;
  }
  EXPECT_TRUE(blue);
}

// --- Bitmaps ----------------------------------------------------------------------------

TEST_F(QtSurface, MissingBitmapLoadsAsNothingAndCopiesNothing) {
  BitmapHandle bitmap = LoadBitmap(60000);
  EXPECT_EQ(bitmap, nullptr);
  EXPECT_EQ(BitmapWidth(bitmap), 0);
  EXPECT_EQ(BitmapHeight(bitmap), 0);
  CopyBitmap(surface_, 0, 0, 10, 10, bitmap, 0, 0);
  EXPECT_FALSE(HasInk(InkBounds(surface_, {0, 0, 20, 20})));
  DeleteBitmap(bitmap);
  const Colour one = kRed;
  EXPECT_EQ(CreateBitmap(0, 1, &one), nullptr);
  EXPECT_EQ(CreateBitmap(1, 1, nullptr), nullptr);
}

TEST_F(QtSurface, CopiesBitmapPixelsExactlyAndClipsOnEverySide) {
  // A 9-by-9 bitmap whose every pixel is different, as the reader's glyphs are.
  std::vector<Colour> pixels;
  for (uint32_t i = 0; i < 81; ++i) pixels.push_back(i * 0x030507u & 0xFFFFFF);
  BitmapHandle bitmap = CreateBitmap(9, 9, pixels.data());
  ASSERT_NE(bitmap, nullptr);
  EXPECT_EQ(BitmapWidth(bitmap), 9);
  EXPECT_EQ(BitmapHeight(bitmap), 9);
  const auto at = [&](int32_t x, int32_t y) { return pixels[static_cast<size_t>(y * 9 + x)]; };

  CopyBitmap(surface_, 10, 20, 9, 9, bitmap, 0, 0);
  for (int32_t y = 0; y < 9; ++y) {
    for (int32_t x = 0; x < 9; ++x) ASSERT_EQ(GetPixel(surface_, 10 + x, 20 + y), at(x, y)) << x << "," << y;
  }
  EXPECT_EQ(GetPixel(surface_, 19, 20), kWhite);
  EXPECT_EQ(GetPixel(surface_, 10, 29), kWhite);

  // Part of the bitmap, from inside it, partly off the surface's top left and
  // its bottom right; the pixels beyond the bitmap are left alone.
  CopyBitmap(surface_, -2, -3, 5, 5, bitmap, 4, 4);
  EXPECT_EQ(GetPixel(surface_, 0, 0), at(6, 7));
  EXPECT_EQ(GetPixel(surface_, 2, 1), at(8, 8));
  EXPECT_EQ(GetPixel(surface_, 3, 0), kWhite) << "beyond the bitmap's right edge";
  CopyBitmap(surface_, kWidth - 2, kHeight - 1, 9, 9, bitmap, 0, 0);
  EXPECT_EQ(GetPixel(surface_, kWidth - 1, kHeight - 1), at(1, 0));
  DeleteBitmap(bitmap);
}

// --- Screen metrics and font families -------------------------------------------------

TEST(QtScreen, MetricsArePlausible) {
  EXPECT_GT(LogicalPixelsPerInchY(), 0);
  EXPECT_GT(GetSystemMetric(kMetricVerticalScrollWidth), 0);
  EXPECT_EQ(GetSystemMetric(kMetricEdgeWidth), 2);
  EXPECT_EQ(GetSystemMetric(kMetricEdgeHeight), 2);
  EXPECT_EQ(GetSystemMetric(1000), 0);
}

TEST_F(QtSurface, FontFamiliesAreSortedAndMarkHebrew) {
  const std::vector<FontFamily> families = EnumerateFontFamilies(surface_);
  auto find = [&](std::u16string_view name) {
    return std::find_if(families.begin(), families.end(), [&](const FontFamily& f) { return f.faceName == name; });
  };
  ASSERT_NE(find(u"David CLM"), families.end());
  EXPECT_EQ(find(u"David CLM")->charset, kHebrewCharset);
  ASSERT_NE(find(u"DejaVu Sans"), families.end());
  EXPECT_EQ(find(u"DejaVu Sans")->charset, kHebrewCharset);
  ASSERT_NE(find(u"DejaVu Serif"), families.end());  // no Hebrew letters
  EXPECT_EQ(find(u"DejaVu Serif")->charset, kDefaultCharset);
  EXPECT_NE(find(u"Frank Ruehl CLM"), families.end());
  EXPECT_TRUE(std::is_sorted(families.begin(), families.end(),
                             [](const FontFamily& a, const FontFamily& b) { return a.faceName < b.faceName; }));
}

}  // namespace
