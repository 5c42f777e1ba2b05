// The headless drawing surface: fixed metrics and an array of pixels, as
// platform/headless/headless.h describes them.
#include <algorithm>
#include <cstdlib>
#include <new>
#include <utility>

#include "platform/bitmap.h"
#include "platform/headless/headless.h"
#include "platform/surface_state.h"

struct PlatformFont {
  FontDescription description;
  int32_t size;  // H: the text height
};

struct PlatformBitmap {
  BitmapPixels bitmap;
};

struct PlatformSurface {
  int32_t width;
  int32_t height;
  std::vector<Colour> pixels;
  PlatformFont defaultFont;
  FontHandle font;
  SurfaceState state;
  std::vector<DrawnText> drawn;
};

namespace {

int32_t FontSize(const FontDescription& d) {
  if (d.height == 0) return kHeadlessDefaultHeight;
  return d.height < 0 ? -d.height : d.height;
}

int32_t CharacterWidth(const PlatformFont& font, char16_t c) {
  return c == u' ' ? std::max(1, font.size / 4) : font.size / 2;
}

// Fills the part of the rectangle that lies on the surface and in clip.
void Fill(PlatformSurface* s, Rect r, const Rect& clip, Colour colour) {
  r.left = std::max({r.left, clip.left, 0});
  r.top = std::max({r.top, clip.top, 0});
  r.right = std::min({r.right, clip.right, s->width});
  r.bottom = std::min({r.bottom, clip.bottom, s->height});
  if (r.left >= r.right) return;
  for (int32_t y = r.top; y < r.bottom; ++y) {
    const auto row = static_cast<size_t>(y) * static_cast<size_t>(s->width);
    std::fill(s->pixels.begin() + static_cast<std::ptrdiff_t>(row + static_cast<size_t>(r.left)),
              s->pixels.begin() + static_cast<std::ptrdiff_t>(row + static_cast<size_t>(r.right)), colour);
  }
}

Rect Whole(const PlatformSurface* s) { return {0, 0, s->width, s->height}; }

int32_t RunWidth(const PlatformFont& font, const char16_t* s, int32_t n) {
  int32_t width = 0;
  for (int32_t i = 0; i < n; ++i) width += CharacterWidth(font, s[i]);
  return width;
}

// Draws a run with the top left of its first cell at (x, y), clipped.
void DrawRun(PlatformSurface* surface, int32_t x, int32_t y, const char16_t* s, int32_t n, const Rect& clip) {
  const PlatformFont& font = *surface->font;
  const int32_t h = font.size;
  surface->drawn.push_back({std::u16string(s, static_cast<size_t>(std::max(n, 0))), x, y, RunWidth(font, s, n), h,
                            surface->state.textColour, surface->state.backgroundColour, surface->state.backgroundMode,
                            font.description});
  for (int32_t i = 0; i < n; ++i) {
    const int32_t w = CharacterWidth(font, s[i]);
    if (surface->state.backgroundMode == kOpaque) {
      Fill(surface, {x, y, x + w, y + h}, clip, surface->state.backgroundColour);
    }
    if (s[i] != u' ') Fill(surface, {x + 1, y + 1, x + w - 1, y + h - 1}, clip, surface->state.textColour);
    x += w;
  }
}

}  // namespace

// --- Surfaces -----------------------------------------------------------------------

SurfaceHandle CreateImageSurface(int32_t width, int32_t height) {
  if (width <= 0 || height <= 0) return nullptr;
  auto* s = new (std::nothrow) PlatformSurface{};
  if (!s) return nullptr;
  s->width = width;
  s->height = height;
  s->pixels.assign(static_cast<size_t>(width) * static_cast<size_t>(height), kWhite);
  s->defaultFont = {FontDescription{}, kHeadlessDefaultHeight};
  s->font = &s->defaultFont;
  return s;
}

void DestroyImageSurface(SurfaceHandle surface) { delete surface; }

Colour GetPixel(SurfaceHandle surface, int32_t x, int32_t y) {
  if (!surface || x < 0 || y < 0 || x >= surface->width || y >= surface->height) return kNoPixel;
  return surface->pixels[static_cast<size_t>(y) * static_cast<size_t>(surface->width) + static_cast<size_t>(x)];
}

const std::vector<DrawnText>& DrawnTexts(SurfaceHandle surface) { return surface->drawn; }

void ClearDrawnTexts(SurfaceHandle surface) { surface->drawn.clear(); }

// --- Fonts and text metrics -------------------------------------------------------

FontHandle CreateFont(const FontDescription& description) {
  HeadlessPlatform& p = Headless();
  if (p.refuseFonts) return nullptr;
  auto* font = new (std::nothrow) PlatformFont{description, FontSize(description)};
  if (!font) return nullptr;
  font->description.faceName[kFaceNameLength - 1] = 0;
  ++p.fontsMade;
  ++p.fontsLive;
  return font;
}

void DeleteFont(FontHandle font) {
  if (!font) return;
  --Headless().fontsLive;
  delete font;
}

FontDescription GetFontDescription(FontHandle font) { return font ? font->description : FontDescription{}; }

FontHandle SelectFont(SurfaceHandle surface, FontHandle font) {
  if (!surface || !font) return nullptr;
  FontHandle before = surface->font;
  surface->font = font;
  return before;
}

TextMetrics GetTextMetrics(SurfaceHandle surface) {
  const int32_t h = surface->font->size;
  return {h, h * 4 / 5, h / 2, h};
}

// --- Measuring -------------------------------------------------------------------

int32_t FitText(SurfaceHandle surface, const char16_t* s, int32_t n, int32_t maxExtent) {
  int32_t width = 0;
  for (int32_t i = 0; i < n; ++i) {
    width += CharacterWidth(*surface->font, s[i]);
    if (width > maxExtent) return i;
  }
  return std::max(n, 0);
}

TextExtent MeasureText(SurfaceHandle surface, const char16_t* s, int32_t n) {
  return {RunWidth(*surface->font, s, n), surface->font->size};
}

// --- Drawing text ------------------------------------------------------------------

void DrawTextCentred(SurfaceHandle surface, const char16_t* s, int32_t n, const Rect& box) {
  if (n <= 0) return;
  const TextExtent e = MeasureText(surface, s, n);
  const int32_t x = box.left + (box.right - box.left - e.width) / 2;
  const int32_t y = box.top + (box.bottom - box.top - e.height) / 2;
  DrawRun(surface, x, y, s, n, box);
}

void DrawTextFilled(SurfaceHandle surface, int32_t x, int32_t y, const Rect& fill, const char16_t* s, int32_t n) {
  Fill(surface, fill, Whole(surface), surface->state.backgroundColour);
  if (n > 0) DrawRun(surface, x, y, s, n, fill);
}

// --- Rectangles -------------------------------------------------------------------------

SurfaceState& StateOf(SurfaceHandle surface) { return surface->state; }

void DrawRectangle(SurfaceHandle surface, const Rect& r) {
  if (r.right <= r.left || r.bottom <= r.top) return;
  const Rect all = Whole(surface);
  const Colour pen = surface->state.pen->colour;
  Fill(surface, {r.left, r.top, r.right, r.top + 1}, all, pen);
  Fill(surface, {r.left, r.bottom - 1, r.right, r.bottom}, all, pen);
  Fill(surface, {r.left, r.top, r.left + 1, r.bottom}, all, pen);
  Fill(surface, {r.right - 1, r.top, r.right, r.bottom}, all, pen);
  Fill(surface, {r.left + 1, r.top + 1, r.right - 1, r.bottom - 1}, all, surface->state.brush->colour);
}

void FillRect(SurfaceHandle surface, const Rect& rect, BrushHandle brush) {
  if (brush) Fill(surface, rect, Whole(surface), brush->colour);
}

// --- Bitmaps ----------------------------------------------------------------------------

BitmapHandle CreateBitmap(int32_t width, int32_t height, const Colour* pixels) {
  if (width <= 0 || height <= 0 || !pixels) return nullptr;
  auto* bitmap = new (std::nothrow) PlatformBitmap{};
  if (!bitmap) return nullptr;
  bitmap->bitmap.width = width;
  bitmap->bitmap.height = height;
  bitmap->bitmap.pixels.assign(pixels, pixels + static_cast<size_t>(width) * static_cast<size_t>(height));
  return bitmap;
}

void DeleteBitmap(BitmapHandle bitmap) { delete bitmap; }

int32_t BitmapWidth(BitmapHandle bitmap) { return bitmap ? bitmap->bitmap.width : 0; }

int32_t BitmapHeight(BitmapHandle bitmap) { return bitmap ? bitmap->bitmap.height : 0; }

void CopyBitmap(SurfaceHandle surface, int32_t x, int32_t y, int32_t width, int32_t height, BitmapHandle bitmap,
                int32_t sourceX, int32_t sourceY) {
  if (!surface || !bitmap) return;
  const BitmapPixels& b = bitmap->bitmap;
  for (int32_t row = 0; row < height; ++row) {
    for (int32_t column = 0; column < width; ++column) {
      const int32_t sx = sourceX + column;
      const int32_t sy = sourceY + row;
      const int32_t dx = x + column;
      const int32_t dy = y + row;
      if (sx < 0 || sy < 0 || sx >= b.width || sy >= b.height) continue;
      if (dx < 0 || dy < 0 || dx >= surface->width || dy >= surface->height) continue;
      surface->pixels[static_cast<size_t>(dy) * static_cast<size_t>(surface->width) + static_cast<size_t>(dx)] =
          b.pixels[static_cast<size_t>(sy) * static_cast<size_t>(b.width) + static_cast<size_t>(sx)];
    }
  }
}

// --- Screen metrics ---------------------------------------------------------------------

int32_t LogicalPixelsPerInchY() { return 96; }

int32_t GetSystemMetric(int32_t metric) {
  switch (metric) {
    case kMetricVerticalScrollWidth: return 13;
    case kMetricEdgeWidth:
    case kMetricEdgeHeight: return 2;
    default: return 0;
  }
}

// --- Font families ----------------------------------------------------------------------

std::vector<FontFamily> EnumerateFontFamilies(SurfaceHandle) {
  std::vector<FontFamily> families = Headless().fontFamilies;
  std::sort(families.begin(), families.end(),
            [](const FontFamily& a, const FontFamily& b) { return a.faceName < b.faceName; });
  return families;
}
