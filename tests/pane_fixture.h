#pragma once
// A headless surface and a pane on it, and articles built from a list of
// records, for the text pane's tests. Under the headless metrics a font of
// size 20 draws rows 20 high, characters 10 wide and spaces 5 wide.

#include <gtest/gtest.h>

#include <cstring>
#include <string_view>
#include <vector>

#include "content/letters.h"
#include "pane/pane.h"
#include "platform/headless/headless.h"

// One record of a test article; letters are written as the letter code
// (a..{), so "a" is the first letter.
struct TestRecord {
  uint8_t flags;
  uint8_t param;
  std::string_view text;
};

// The article's bytes, ended by three zero bytes as the volume stores them.
inline ArticleBuffer MakeArticle(const std::vector<TestRecord>& records) {
  std::vector<uint8_t> bytes;
  for (const TestRecord& r : records) {
    bytes.push_back(r.flags);
    bytes.push_back(r.param);
    bytes.insert(bytes.end(), r.text.begin(), r.text.end());
    bytes.push_back(0);
  }
  bytes.insert(bytes.end(), {0, 0, 0});
  ArticleBuffer article;
  article.size = static_cast<uint16_t>(bytes.size());
  article.bytes.reset(new uint8_t[bytes.size() + 2]());
  std::memcpy(article.bytes.get(), bytes.data(), bytes.size());
  return article;
}

// The font every fixture pane starts with: the default face at size 20.
inline FontSpec TestFont(int32_t size = 20) {
  FontSpec fonts{};
  fonts.FontSize = size;
  fonts.FontAsciiBase = kUnicodeLetterBase;
  return fonts;
}

class PaneTest : public testing::Test {
 protected:
  static constexpr int32_t kSurfaceWidth = 400;
  static constexpr int32_t kSurfaceHeight = 300;

  void SetUp() override {
    ResetHeadless();
    BindLetterSettings(&letterBase, &flags);
    surface = CreateImageSurface(kSurfaceWidth, kSurfaceHeight);
    ASSERT_NE(surface, nullptr);
  }

  void TearDown() override {
    DestroyPane(pane);
    DestroyImageSurface(surface);
    BindLetterSettings(nullptr, nullptr);
  }

  // A pane at (left, top) of the given size, laid out with the article.
  int LayOut(ArticleBuffer article, int32_t width, int32_t height = 200, int32_t left = 0, int32_t top = 0) {
    if (!pane) {
      const Rect rect{left, top, left + width, top + height};
      pane = CreatePane(surface, &rect, TestFont(), 100);
    }
    return LayOutArticle(pane, &article, true);
  }

  const LineEntry& Row(int32_t i) const { return pane->lines[static_cast<size_t>(i)]; }

  int32_t letterBase = kUnicodeLetterBase;
  uint32_t flags = 0;
  SurfaceHandle surface = nullptr;
  TextPane* pane = nullptr;
};
