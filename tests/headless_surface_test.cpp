// The headless surface keeps the metrics and pixels its header documents;
// the pane's exact tests rest on them. Bitmaps decode as both backends read
// them.
#include <gtest/gtest.h>

#include "platform/bitmap.h"
#include "platform/headless/headless.h"
#include "platform/surface.h"

namespace {

class HeadlessSurface : public testing::Test {
 protected:
  void SetUp() override {
    ResetHeadless();
    surface = CreateImageSurface(64, 48);
    ASSERT_NE(surface, nullptr);
  }
  void TearDown() override { DestroyImageSurface(surface); }
  SurfaceHandle surface = nullptr;
};

TEST_F(HeadlessSurface, MetricsFollowTheFontHeight) {
  const struct {
    int32_t height;
    TextMetrics metrics;
    int32_t spaceWidth;
  } cases[] = {
      {-20, {20, 16, 10, 20}, 5},
      {20, {20, 16, 10, 20}, 5},
      {0, {16, 12, 8, 16}, 4},
      {3, {3, 2, 1, 3}, 1},
  };
  for (const auto& c : cases) {
    FontDescription d;
    d.height = c.height;
    const FontHandle font = CreateFont(d);
    const FontHandle before = SelectFont(surface, font);
    const TextMetrics m = GetTextMetrics(surface);
    EXPECT_EQ(m.height, c.metrics.height) << c.height;
    EXPECT_EQ(m.ascent, c.metrics.ascent) << c.height;
    EXPECT_EQ(m.averageCharWidth, c.metrics.averageCharWidth) << c.height;
    EXPECT_EQ(m.maxCharWidth, c.metrics.maxCharWidth) << c.height;
    EXPECT_EQ(MeasureText(surface, u" ", 1).width, c.spaceWidth) << c.height;
    EXPECT_EQ(SelectFont(surface, before), font);
    DeleteFont(font);
  }
  EXPECT_EQ(Headless().fontsLive, 0);
}

TEST_F(HeadlessSurface, FitTextNeverPassesTheExtentOrTheCount) {
  // Default font: letters 8, spaces 4.
  const char16_t* s = u"ab cd";
  const struct {
    int32_t n;
    int32_t extent;
    int32_t fit;
  } cases[] = {{5, 100, 5}, {5, 36, 5}, {5, 35, 4}, {5, 27, 3}, {5, 20, 3}, {5, 19, 2},
               {5, 7, 0},   {5, -1, 0},  {2, 100, 2}, {0, 10, 0}};
  for (const auto& c : cases) {
    EXPECT_EQ(FitText(surface, s, c.n, c.extent), c.fit) << c.n << " within " << c.extent;
  }
}

TEST_F(HeadlessSurface, OpaqueTextFillsItsCellTransparentTextDoesNot) {
  FillRect(surface, {0, 0, 64, 48}, GetStockBrush(kBlackBrush));
  SetTextColour(surface, kBlue);
  SetBackgroundColour(surface, kYellow);
  EXPECT_EQ(SetBackgroundMode(surface, kOpaque), kOpaque);
  DrawTextCentred(surface, u"a b", 3, {0, 0, 20, 16});  // 20 wide: the box exactly
  EXPECT_EQ(GetPixel(surface, 0, 0), kYellow);
  EXPECT_EQ(GetPixel(surface, 4, 8), kBlue);
  EXPECT_EQ(GetPixel(surface, 10, 8), kYellow) << "a space has no ink";
  EXPECT_EQ(GetPixel(surface, 20, 8), kBlack) << "outside the cells";

  SetBackgroundMode(surface, kTransparent);
  DrawTextCentred(surface, u"a", 1, {0, 20, 8, 36});
  EXPECT_EQ(GetPixel(surface, 0, 20), kBlack);
  EXPECT_EQ(GetPixel(surface, 4, 28), kBlue);
}

TEST_F(HeadlessSurface, CentredTextIsClippedToItsBox) {
  DrawTextCentred(surface, u"abcd", 4, {10, 10, 26, 26});  // 32 wide in a 16-pixel box
  EXPECT_EQ(DrawnTexts(surface).back().x, 2);
  EXPECT_EQ(GetPixel(surface, 9, 18), kWhite);
  EXPECT_EQ(GetPixel(surface, 11, 18), kBlack);
  EXPECT_EQ(GetPixel(surface, 26, 18), kWhite);
}

TEST_F(HeadlessSurface, FilledTextFillsTheWholeRectangle) {
  SetBackgroundColour(surface, kPaleBlueWhite);
  SetBackgroundMode(surface, kTransparent);
  DrawTextFilled(surface, 5, 5, {0, 0, 40, 30}, u"a", 1);
  EXPECT_EQ(GetPixel(surface, 39, 29), kPaleBlueWhite);
  EXPECT_EQ(GetPixel(surface, 40, 29), kWhite);
  EXPECT_EQ(GetPixel(surface, 8, 10), kBlack);
}

TEST_F(HeadlessSurface, RectanglesTakeThePenAtTheEdgeAndTheBrushInside) {
  const PenHandle red = CreateSolidPen(kRed);
  const BrushHandle yellow = CreateSolidBrush(kYellow);
  const PenHandle oldPen = SelectPen(surface, red);
  const BrushHandle oldBrush = SelectBrush(surface, yellow);
  EXPECT_EQ(oldBrush, GetStockBrush(kWhiteBrush));
  DrawRectangle(surface, {2, 2, 6, 6});
  EXPECT_EQ(GetPixel(surface, 2, 2), kRed);
  EXPECT_EQ(GetPixel(surface, 5, 5), kRed);
  EXPECT_EQ(GetPixel(surface, 3, 3), kYellow);
  EXPECT_EQ(GetPixel(surface, 6, 6), kWhite);
  DrawRectangle(surface, {10, 10, 20, 11});  // one pixel high: all edge
  EXPECT_EQ(GetPixel(surface, 15, 10), kRed);
  EXPECT_EQ(GetPixel(surface, 15, 11), kWhite);
  EXPECT_EQ(SelectPen(surface, oldPen), red);
  EXPECT_EQ(SelectBrush(surface, oldBrush), yellow);
  DeletePen(red);
  DeleteBrush(yellow);
  DeleteBrush(GetStockBrush(kBlackBrush));  // stock brushes stay
  FillRect(surface, {0, 0, 1, 1}, GetStockBrush(kBlackBrush));
  EXPECT_EQ(GetPixel(surface, 0, 0), kBlack);
}

TEST_F(HeadlessSurface, CopiesABitmapResourceAsItIs) {
  BitmapPixels bitmap{3, 2, {1, 2, 3, 4, 5, 6}};
  const std::vector<uint8_t> bytes = EncodeBitmap(bitmap);
  const ResourceEntry overlay[] = {{kResourceBitmap, 119, static_cast<uint32_t>(bytes.size()), bytes.data()}};
  Headless().resources = overlay;
  const BitmapHandle b = LoadBitmap(119);
  ASSERT_NE(b, nullptr);
  EXPECT_EQ(BitmapWidth(b), 3);
  EXPECT_EQ(BitmapHeight(b), 2);
  CopyBitmap(surface, 62, 10, 3, 2, b, 0, 0);  // its last column falls off the surface
  EXPECT_EQ(GetPixel(surface, 62, 10), 1u);
  EXPECT_EQ(GetPixel(surface, 63, 11), 5u);
  CopyBitmap(surface, 0, 0, 2, 1, b, 1, 1);
  EXPECT_EQ(GetPixel(surface, 0, 0), 5u);
  EXPECT_EQ(GetPixel(surface, 1, 0), 6u);
  EXPECT_EQ(GetPixel(surface, 0, 1), kWhite);
  DeleteBitmap(b);
  EXPECT_EQ(LoadBitmap(120), nullptr);
}

TEST(Bitmap, RefusesBytesOfTheWrongLength) {
  const std::vector<uint8_t> good = EncodeBitmap({2, 2, {0x123456, 0, 0, 0xFFFFFF}});
  BitmapPixels b;
  ASSERT_TRUE(DecodeBitmap(good, &b));
  EXPECT_EQ(b.pixels[0], 0x123456u);
  std::vector<uint8_t> longer = good;
  longer.push_back(0);
  const std::vector<uint8_t> shorter(good.begin(), good.end() - 1);
  const std::vector<uint8_t> empty = EncodeBitmap({0, 5, {}});
  for (const auto& bad : {longer, shorter, empty, std::vector<uint8_t>{1, 0}}) {
    EXPECT_FALSE(DecodeBitmap(bad, &b)) << bad.size() << " bytes";
  }
}

TEST(HeadlessPlatformTest, FontFamiliesAreSortedAndCarryTheHebrewCharset) {
  ResetHeadless();
  const std::vector<FontFamily> families = EnumerateFontFamilies(nullptr);
  ASSERT_EQ(families.size(), 3u);
  EXPECT_EQ(families[0].faceName, u"David CLM");
  EXPECT_EQ(families[0].charset, kHebrewCharset);
  EXPECT_EQ(families[2].charset, kDefaultCharset);
}

}  // namespace
