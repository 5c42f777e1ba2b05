// Arbitrary article bytes laid out at arbitrary widths and drawn, scrolled
// and highlighted on the headless surface: no crash, no endless loop, no read
// outside the article (the buffer is exactly as long as an unpacked article
// would be), and the line table always describes the article.
//
// Input: width (16 bits little-endian), height, options, then the article.
// Options: bit 0 Reverse; bits 1-2 the letter base; bits 3-7 the font size.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "content/letters.h"
#include "pane/pane.h"
#include "platform/headless/headless.h"

namespace {

constexpr int32_t kMaxWidth = 700;
// Panes may lie anywhere; the surface clips. A small one keeps the pixel
// work, which tells the fuzzer nothing, from slowing every run.
constexpr int32_t kSurfaceWidth = 48;
constexpr int32_t kSurfaceHeight = 48;
constexpr int32_t kFontSizes[] = {0, 16, -16, 20, -13, 8, 40, 2, 1, -1, 100, -64};
constexpr int32_t kBases[] = {kUnicodeLetterBase, kCodePageLetterBase, kLatinLetterBase, 0xD7FF};

void Check(bool ok) {
  if (!ok) std::abort();
}

// Every row lies in the article and the counts add up.
void CheckTable(const TextPane* pane) {
  if (!pane->article) return;
  int32_t units = 0;
  for (int32_t i = 0; i < pane->lineCount; ++i) {
    const LineEntry& line = pane->lines[static_cast<size_t>(i)];
    Check(size_t{line.offset} + line.length <= pane->article.size);
    units += (line.flags & 0x80) ? 2 : 1;
  }
  Check(pane->lines[pane->lineCount].flags == 0);
  Check(units == pane->unitCount);
  Check(pane->maxTopLine <= pane->unitCount);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 4) return 0;
  static SurfaceHandle surface = CreateImageSurface(kSurfaceWidth, kSurfaceHeight);
  static int32_t letterBase = kUnicodeLetterBase;
  static uint32_t flags = 0;
  ResetHeadless();
  ClearDrawnTexts(surface);
  BindLetterSettings(&letterBase, &flags);

  const int32_t width = 1 + (data[0] | data[1] << 8) % kMaxWidth;
  const int32_t height = 1 + data[2];
  const uint8_t options = data[3];
  flags = (options & 1) ? kFlagReverse : 0;
  letterBase = kBases[(options >> 1) & 3];
  FontSpec fonts{};
  fonts.FontSize = kFontSizes[(options >> 3) % std::size(kFontSizes)];

  // An unpacked article: its bytes, then two zeros, and not one byte more.
  const size_t length = std::min<size_t>(size - 4, UINT16_MAX);
  ArticleBuffer article;
  article.size = static_cast<uint16_t>(length);
  article.bytes.reset(new uint8_t[length + 2]);
  std::memcpy(article.bytes.get(), data + 4, length);
  article.bytes[length] = 0;
  article.bytes[length + 1] = 0;

  const Rect rect{7, 3, 7 + width, 3 + height};
  TextPane* pane = CreatePane(surface, &rect, fonts, 100);
  Check(pane != nullptr);
  const int status = LayOutArticle(pane, &article, true);
  Check(status == kPaneOk || status == kPaneBadData);
  if (status == kPaneOk) {
    CheckTable(pane);
    // Draw from several top lines, with highlights from the data itself.
    const uint16_t tops[] = {0, 1, pane->maxTopLine, static_cast<uint16_t>(pane->unitCount / 2),
                             static_cast<uint16_t>(pane->unitCount + 5)};
    for (size_t i = 0; i < std::size(tops); ++i) {
      pane->topLine = tops[i];
      const size_t at = 4 + (i * 7) % (size - 4);
      pane->highlightStart = static_cast<uint16_t>(data[at] * length / 256);
      pane->highlightEnd = static_cast<uint16_t>(pane->highlightStart + data[(at + 1) % size] % 64);
      Check(DrawPane(pane, i % 2 == 0) == kPaneOk);
      Check(pane->topLine <= pane->unitCount);
    }
    for (int32_t n : {1, -1, 5, 1000, -1000, pane->drawnUnits - 1}) ScrollPane(pane, n, n > 0);
    for (size_t i = 0; i < 8; ++i) {
      ShowOffset(pane, static_cast<uint16_t>(data[4 + i % (size - 4)] * length / 256));
      Check(pane->topLine <= pane->unitCount);
    }
    // The same article at another width and in another size.
    Check(ResizePane(pane, 1 + (width * 7 + 13) % kMaxWidth, height) == kPaneOk);
    CheckTable(pane);
    fonts.FontSize = -fonts.FontSize + 3;
    SetPaneFont(pane, fonts);
    CheckTable(pane);
  }
  DestroyPane(pane);
  Check(Headless().fontsLive == 0);
  return 0;
}
