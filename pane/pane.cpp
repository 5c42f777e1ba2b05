// The pane's life and its font cache.
#include <algorithm>
#include <new>

#include "content/letters.h"
#include "content/records.h"
#include "pane/pane.h"

namespace {

// A table of rows rows plus the terminator, its first row zeroed.
std::unique_ptr<LineEntry[]> NewLineTable(int32_t rows) {
  std::unique_ptr<LineEntry[]> table(new (std::nothrow) LineEntry[static_cast<size_t>(rows) + 1]);
  if (table) table[0] = LineEntry{};
  return table;
}

}  // namespace

TextPane* CreatePane(SurfaceHandle surface, const Rect* rect, const FontSpec& fonts, int32_t capacity) {
  if (!surface) return nullptr;
  auto* pane = new (std::nothrow) TextPane{};
  if (!pane) return nullptr;
  pane->surface = surface;
  pane->fontSpec = fonts;
  pane->fontSpec.FontName[kFaceNameLength - 1] = 0;
  if (rect) {
    pane->x = rect->left;
    pane->y = rect->top;
    pane->width = rect->right - rect->left;
    pane->height = rect->bottom - rect->top;
  }
  if (capacity > 0) {
    // Short of memory the pane is still made; its first layout makes a table.
    capacity = std::min<int32_t>(capacity, UINT16_MAX - 1);
    pane->lines = NewLineTable(capacity);
    if (pane->lines) pane->lineCapacity = static_cast<uint16_t>(capacity);
  }
  return pane;
}

void DestroyPane(TextPane* pane) {
  if (!pane) return;
  for (FontSlot* slot = pane->fontSlots; slot;) {
    FontSlot* next = slot->next;
    DeleteFont(slot->font);
    delete slot;
    slot = next;
  }
  delete pane;
}

int ResizePane(TextPane* pane, int32_t width, int32_t height) {
  if (!pane) return kPaneMissing;
  if (width <= 0 || height <= 0) return kPaneBadSize;
  pane->width = width;
  pane->height = height;
  return LayOutArticle(pane, pane->article ? &pane->article : nullptr, false);
}

int SetPaneFont(TextPane* pane, const FontSpec& fonts) {
  if (!pane) return kPaneMissing;
  pane->fontSpec = fonts;
  pane->fontSpec.FontName[kFaceNameLength - 1] = 0;
  for (FontSlot* slot = pane->fontSlots; slot; slot = slot->next) {
    DeleteFont(slot->font);
    slot->font = nullptr;
    MakeStyleFont(pane, slot);
  }
  if (LayOutArticle(pane, pane->article ? &pane->article : nullptr, false) != kPaneOk) return 1;
  return DrawPane(pane, true);
}

void MakeStyleFont(TextPane* pane, FontSlot* slot) {
  const int32_t size = pane->fontSpec.FontSize;
  FontDescription d;
  if (slot->styleKey & kFlagLarge) {
    d.height = size == 0 ? 20 : size * 5 / 4;
  } else if (slot->styleKey & kFlagSmall) {
    d.height = size == 0 ? 14 : size * 6 / 8;
  } else {
    d.height = size;
  }
  d.weight = (slot->styleKey & kFlagBold) ? kWeightBold : kWeightNormal;
  std::copy_n(pane->fontSpec.FontName, kFaceNameLength, d.faceName);
  slot->font = CreateFont(d);
}

Colour StyleColour(uint8_t styleKey) {
  if (styleKey & kFlagSmall) return kDarkBlue;
  if ((styleKey & (kFlagLarge | kFlagBold)) == (kFlagLarge | kFlagBold)) return kBlue;
  return kBlack;
}

FontHandle SelectStyle(TextPane* pane, uint8_t style, bool withColour) {
  const auto key = static_cast<uint8_t>(style & kStyleKeyMask);
  FontSlot* slot = pane->fontSlots;
  while (slot && slot->styleKey != key) slot = slot->next;
  if (!slot) {
    slot = new (std::nothrow) FontSlot{pane->fontSlots, nullptr, key};
    if (slot) pane->fontSlots = slot;
  }
  // A slot whose font could not be made tries again in place, so failures do
  // not pile up slots; meanwhile the style measures and draws in whatever
  // font the surface has selected.
  if (slot && !slot->font) MakeStyleFont(pane, slot);
  if (withColour) SetTextColour(pane->surface, StyleColour(key));
  return slot ? SelectFont(pane->surface, slot->font) : nullptr;
}

void MeasureFit(SurfaceHandle surface, const uint8_t* run, int32_t* extent, int32_t* count) {
  // Converted and fitted a piece at a time: a row holds a few dozen
  // characters, and converting the whole rest of a paragraph for every row
  // would make the layout quadratic in the paragraph's length. Widths add
  // up, so the pieces measure what the whole run would.
  constexpr int32_t kPiece = 128;
  const uint32_t flags = SuspendReverse();
  const int32_t n = std::max(*count, 0);
  int32_t fitted = 0;
  int32_t width = 0;
  while (fitted < n) {
    const int32_t piece = std::min(n - fitted, kPiece);
    const char16_t* s = MapLetters(run + fitted, piece, SharedConversionBuffer());
    if (!s) {
      fitted = 0;
      width = 0;
      break;
    }
    int32_t length = 0;
    while (length < piece && s[length] != 0) ++length;
    const int32_t fit = FitText(surface, s, length, *extent - width);
    width += MeasureText(surface, s, fit).width;
    fitted += fit;
    if (fit < piece) break;  // stopped inside the piece, or the text ended
  }
  *count = fitted;
  *extent = width;
  RestoreFlags(flags);
}
