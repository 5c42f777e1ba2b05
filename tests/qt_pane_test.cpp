// A page of the volume laid out and drawn on the Qt backend, offscreen, in
// the real fonts: read back from the pixels as a reader sees it.
#include <gtest/gtest.h>

#include <algorithm>

#include "content/article.h"
#include "content/letters.h"
#include "content/records.h"
#include "pane/pane.h"

namespace {

constexpr int32_t kWidth = 240;
constexpr int32_t kHeight = 320;

bool IsInk(Colour c) { return c != kWhite; }

// The leftmost and rightmost columns with ink in rows top..bottom, or -1.
struct InkSpan {
  int32_t left = -1;
  int32_t right = -1;
};
InkSpan Ink(SurfaceHandle surface, int32_t top, int32_t bottom) {
  InkSpan span;
  for (int32_t x = 0; x < kWidth; ++x) {
    for (int32_t y = top; y < bottom; ++y) {
      if (!IsInk(GetPixel(surface, x, y))) continue;
      if (span.left < 0) span.left = x;
      span.right = x;
      break;
    }
  }
  return span;
}

// The most saturated blue of the ink in rows top..bottom: how blue the text is.
Colour Darkest(SurfaceHandle surface, int32_t top, int32_t bottom) {
  Colour best = kWhite;
  int32_t bestLevel = 3 * 255;
  for (int32_t y = top; y < bottom; ++y) {
    for (int32_t x = 0; x < kWidth; ++x) {
      const Colour c = GetPixel(surface, x, y);
      const int32_t level = static_cast<int32_t>((c & 0xFF) + (c >> 8 & 0xFF) + (c >> 16 & 0xFF));
      if (level < bestLevel) {
        bestLevel = level;
        best = c;
      }
    }
  }
  return best;
}

class QtPage : public testing::TestWithParam<int32_t> {
 protected:
  void SetUp() override {
    BindLetterSettings(&letterBase, &flags);
    surface = CreateImageSurface(kWidth, kHeight);
    ASSERT_NE(surface, nullptr);
    FontSpec fonts{};
    const std::u16string_view face = u"David CLM";
    std::copy(face.begin(), face.end(), fonts.FontName);
    const Rect rect{0, 0, kWidth, kHeight};
    pane = CreatePane(surface, &rect, fonts, 100);
    ArticleBuffer article = LoadArticle(GetParam(), nullptr);
    ASSERT_EQ(LayOutArticle(pane, &article, true), kPaneOk);
    ASSERT_EQ(DrawPane(pane, true), kPaneOk);
  }
  void TearDown() override {
    DestroyPane(pane);
    DestroyImageSurface(surface);
    BindLetterSettings(nullptr, nullptr);
  }
  int32_t letterBase = kUnicodeLetterBase;
  uint32_t flags = 0;
  SurfaceHandle surface = nullptr;
  TextPane* pane = nullptr;
};

TEST_P(QtPage, RowsStandWhereTheLayoutPutThemInTheirColours) {
  int32_t y = 0;
  int32_t rightAligned = 0;
  for (int32_t i = 0;; ++i) {
    const LineEntry& line = pane->lines[static_cast<size_t>(i)];
    if (line.flags == 0 || y + line.height > kHeight) break;
    const InkSpan ink = Ink(surface, y, y + line.height);
    ASSERT_GE(ink.left, 0) << "row " << i << " has no ink";
    // Ink lies in the row's box, give or take the glyphs' side bearings.
    EXPECT_GE(ink.left, line.x - 2) << "row " << i;
    EXPECT_LE(ink.right, line.x + line.width + 1) << "row " << i;
    if ((line.flags & kAlignMask) == kAlignRight) {
      ++rightAligned;
      EXPECT_GE(ink.right, kWidth - 4) << "row " << i << " ends at the right edge";
    }
    if ((line.flags & kAlignMask) == kAlignCentre) {
      EXPECT_NEAR(ink.left + ink.right, kWidth, 6) << "row " << i << " is centred";
    }
    const Colour c = Darkest(surface, y, y + line.height);
    const Colour expected = StyleColour(static_cast<uint8_t>(line.flags & kStyleKeyMask));
    EXPECT_NEAR(static_cast<int>(c & 0xFF), static_cast<int>(expected & 0xFF), 40) << "row " << i;
    EXPECT_NEAR(static_cast<int>(c >> 16 & 0xFF), static_cast<int>(expected >> 16 & 0xFF), 40) << "row " << i;
    y += line.height;
    if (line.flags & kFlagBlankAfter) {
      const int32_t blankEnd = std::min(y + line.height, kHeight);
      EXPECT_EQ(Ink(surface, y, blankEnd).left, -1) << "the blank unit after row " << i;
      y += line.height;
    }
  }
  EXPECT_GT(rightAligned, 3);
}

INSTANTIATE_TEST_SUITE_P(MainTextAndCommentary, QtPage, testing::Values(1, 2, 207, 414));

}  // namespace
