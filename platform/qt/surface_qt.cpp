// The drawing surface on Qt: an RGB32 image whose pixels are written directly.
//
// Text is measured and drawn from one table per font: every character's
// advance in whole pixels and its glyph, looked up the first time the
// character is met. A character the font's own face lacks is looked up once
// through Qt's font fallback and then drawn from the face that found it.
// Each glyph is rasterised once by Qt, black on white, into a coverage mask;
// runs are drawn by blending those masks at the pen positions the advances
// give, so drawing lands exactly where measuring said and nothing is shaped
// or reordered. Black text on white comes out as Qt draws it; other colours
// blend the same coverage linearly.
#include <QApplication>
#include <QColor>
#include <QFont>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QFontMetricsF>
#include <QGlyphRun>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QRawFont>
#include <QRectF>
#include <QScreen>
#include <QString>
#include <QStyle>
#include <QTextLayout>

#include <algorithm>
#include <array>
#include <cmath>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#include <cstring>
#include <memory>
#include <new>
#include <string>
#include <utility>
#include <vector>

#include "platform/qt/surface_qt.h"
#include "platform/surface_state.h"

namespace {

constexpr uint32_t kNoFace = UINT32_MAX;
constexpr int32_t kNoMask = -1;

// One character of a font: its advance and the face, glyph and coverage mask
// it is drawn with.
struct Glyph {
  int32_t advance = -1;  // below 0: not looked up yet
  uint32_t face = 0;     // 0: the font's own; k: its fallback face k - 1; kNoFace: nothing to draw
  uint32_t index = 0;
  int32_t mask = kNoMask;  // into the font's masks; kNoMask: not rasterised yet
};

constexpr int kPageBits = 8;
constexpr size_t kPageSize = size_t{1} << kPageBits;
constexpr size_t kPageCount = size_t{0x10000} >> kPageBits;

struct GlyphPage {
  std::array<Glyph, kPageSize> glyphs;
};

// A glyph's coverage, 0 to 255 a pixel, rows from the top; left and top place
// it relative to the pen on the baseline. Empty for a glyph without ink.
struct GlyphMask {
  int32_t left = 0;
  int32_t top = 0;
  int32_t width = 0;
  int32_t height = 0;
  std::vector<uint8_t> coverage;
};

// Room around a glyph's outline box when it is rasterised: hinting and
// antialiasing may ink a little beyond it.
constexpr int32_t kRasterMargin = 4;

}  // namespace

struct PlatformFont {
  FontDescription description;
  QFont font;      // as described
  QFont drawFont;  // the same without underline: the underline is drawn over the measured width
  QRawFont raw;
  std::vector<QRawFont> fallbackFaces;  // faces the fallback found for characters raw lacks
  std::vector<GlyphMask> masks;
  int32_t ascent = 0;
  int32_t height = 0;  // ascent + descent
  int32_t maxCharWidth = 0;
  int32_t underlineTop = 0;  // from the top of the cell
  int32_t underlineThickness = 1;
  std::array<std::unique_ptr<GlyphPage>, kPageCount> pages;
};

struct PlatformBitmap {
  int32_t width;
  int32_t height;
  std::vector<QRgb> pixels;  // rows from the top
};

struct PlatformSurface {
  QImage image;
  uchar* bits = nullptr;  // the image's pixels; the image is never shared, so they stay put
  qsizetype stride = 0;
  FontHandle font = nullptr;
  SurfaceState state;
};

namespace {


QRgb ToQRgb(Colour c) {
  return qRgb(static_cast<int>(c & 0xFF), static_cast<int>((c >> 8) & 0xFF), static_cast<int>((c >> 16) & 0xFF));
}

Colour FromQRgb(QRgb p) {
  return static_cast<Colour>(qRed(p)) | static_cast<Colour>(qGreen(p)) << 8 | static_cast<Colour>(qBlue(p)) << 16;
}

bool IsEmpty(const Rect& r) { return r.right <= r.left || r.bottom <= r.top; }

Rect Intersect(const Rect& a, const Rect& b) {
  return {std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right), std::min(a.bottom, b.bottom)};
}

Rect Whole(const PlatformSurface* s) { return {0, 0, s->image.width(), s->image.height()}; }

QRgb* Row(PlatformSurface* s, int32_t y) { return reinterpret_cast<QRgb*>(s->bits + s->stride * y); }

// Fills exactly the pixels of r that lie on the surface.
void Fill(PlatformSurface* s, const Rect& r, Colour colour) {
  const Rect on = Intersect(r, Whole(s));
  if (IsEmpty(on)) return;
  // One row by hand, the others copied from it: copying runs at memory speed.
  QRgb* first = Row(s, on.top) + on.left;
  const auto count = static_cast<size_t>(on.right - on.left);
  std::fill(first, first + count, ToQRgb(colour));
  for (int32_t y = on.top + 1; y < on.bottom; ++y) std::memcpy(Row(s, y) + on.left, first, count * sizeof(QRgb));
}

// (colour * coverage + under * (255 - coverage)) / 255 for each channel, two
// channels at a time; opaque stays opaque.
inline QRgb Blend(QRgb colour, uint32_t coverage, QRgb under) {
  const uint32_t rest = 255 - coverage;
  uint32_t redBlue = (colour & 0xFF00FF) * coverage + (under & 0xFF00FF) * rest;
  redBlue = ((redBlue + ((redBlue >> 8) & 0xFF00FF) + 0x800080) >> 8) & 0xFF00FF;
  uint32_t alphaGreen = ((colour >> 8) & 0xFF00FF) * coverage + ((under >> 8) & 0xFF00FF) * rest;
  alphaGreen = (alphaGreen + ((alphaGreen >> 8) & 0xFF00FF) + 0x800080) & 0xFF00FF00;
  return alphaGreen | redBlue;
}

// Blends count pixels with colour by their coverage; four at a time where
// the processor has SSE2, with the same arithmetic as Blend.
void BlendSpan(QRgb* out, const uint8_t* in, int32_t count, QRgb colour) {
  int32_t i = 0;
#if defined(__SSE2__)
  const __m128i zero = _mm_setzero_si128();
  const __m128i source = _mm_unpacklo_epi8(_mm_set1_epi32(static_cast<int>(colour)), zero);
  const __m128i full = _mm_set1_epi16(255);
  const __m128i half = _mm_set1_epi16(128);
  auto mix = [&](__m128i under, __m128i coverage) {
    const __m128i sum = _mm_add_epi16(_mm_mullo_epi16(source, coverage),
                                      _mm_mullo_epi16(under, _mm_sub_epi16(full, coverage)));
    return _mm_srli_epi16(_mm_add_epi16(_mm_add_epi16(sum, _mm_srli_epi16(sum, 8)), half), 8);
  };
  for (; i + 4 <= count; i += 4) {
    uint32_t four;
    std::memcpy(&four, in + i, sizeof four);
    if (four == 0) continue;
    __m128i coverage = _mm_unpacklo_epi8(_mm_cvtsi32_si128(static_cast<int>(four)), zero);
    coverage = _mm_unpacklo_epi16(coverage, coverage);  // each pixel's coverage twice
    auto* at = reinterpret_cast<__m128i*>(out + i);
    const __m128i under = _mm_loadu_si128(at);
    _mm_storeu_si128(at, _mm_packus_epi16(mix(_mm_unpacklo_epi8(under, zero), _mm_unpacklo_epi32(coverage, coverage)),
                                          mix(_mm_unpackhi_epi8(under, zero), _mm_unpackhi_epi32(coverage, coverage))));
  }
#endif
  for (; i < count; ++i) out[i] = Blend(colour, in[i], out[i]);
}

// Blends a mask in colour with its origin at (x, baseline), within clip.
void BlendMask(PlatformSurface* s, const GlyphMask& m, int32_t x, int32_t baseline, const Rect& clip, QRgb colour) {
  const int32_t left = x + m.left;
  const int32_t top = baseline + m.top;
  const Rect on = Intersect({left, top, left + m.width, top + m.height}, clip);
  if (IsEmpty(on)) return;
  for (int32_t y = on.top; y < on.bottom; ++y) {
    QRgb* out = Row(s, y) + on.left;
    const uint8_t* in = m.coverage.data() + static_cast<size_t>(y - top) * static_cast<size_t>(m.width) +
                        static_cast<size_t>(on.left - left);
    BlendSpan(out, in, on.right - on.left, colour);
  }
}

// --- Fonts --------------------------------------------------------------------------

int32_t CellHeight(QFont font, int pixelSize) {
  font.setPixelSize(pixelSize);
  const QFontMetrics metrics(font);
  return metrics.ascent() + metrics.descent();
}

// The pixel size whose cell is the highest not above cell (at least 1): a
// proportional guess, then steps of one while the neighbour fits better.
int PixelSizeForCell(const QFont& font, int32_t cell) {
  int size = cell;
  const int32_t first = CellHeight(font, size);
  if (first > 0) size = std::max(1, static_cast<int>(int64_t{cell} * cell / first));
  for (int step = 0; step < 16; ++step) {
    if (CellHeight(font, size) > cell) {
      if (size == 1) break;
      --size;
    } else if (CellHeight(font, size + 1) <= cell) {
      ++size;
    } else {
      break;
    }
  }
  return size;
}

// The application's default font size in pixels.
int DefaultPixelSize() {
  const QFont font = QGuiApplication::font();
  if (font.pixelSize() > 0) return font.pixelSize();
  return std::max(1, qRound(font.pointSizeF() * LogicalPixelsPerInchY() / 72.0));
}

QFont::Weight ToQtWeight(int32_t weight) {
  // Qt's weights are on the same 100..900 scale; 0 asks for the normal one.
  if (weight <= 0) return QFont::Normal;
  return static_cast<QFont::Weight>(std::min(weight, 1000));
}

// Where Qt's font fallback draws a character the font's own face lacks: the
// face and glyph of laying the character out alone.
void DescribeFallback(PlatformFont& f, QChar ch, Glyph* g) {
  g->advance = std::max(0, qRound(QFontMetricsF(f.drawFont).horizontalAdvance(ch)));
  g->face = kNoFace;
  QTextLayout layout(QString(ch), f.drawFont);
  layout.beginLayout();
  layout.createLine();
  layout.endLayout();
  const QList<QGlyphRun> runs = layout.glyphRuns();
  if (runs.size() != 1 || runs[0].glyphIndexes().size() != 1) return;
  const QRawFont face = runs[0].rawFont();
  const auto known = std::find(f.fallbackFaces.begin(), f.fallbackFaces.end(), face);
  g->face = static_cast<uint32_t>(known - f.fallbackFaces.begin()) + 1;
  if (known == f.fallbackFaces.end()) f.fallbackFaces.push_back(face);
  g->index = runs[0].glyphIndexes()[0];
}

void Describe(PlatformFont& f, char16_t c, Glyph* g) {
  const QChar ch(c);
  quint32 index = 0;
  int count = 1;
  if (f.raw.isValid() && f.raw.glyphIndexesForChars(&ch, 1, &index, &count) && count == 1 && index != 0) {
    QPointF advance;
    f.raw.advancesForGlyphIndexes(&index, &advance, 1, QRawFont::SeparateAdvances);
    g->face = 0;
    g->index = index;
    g->advance = std::max(0, qRound(advance.x()));
  } else {
    DescribeFallback(f, ch, g);
  }
}

inline Glyph& LookUp(PlatformFont& f, char16_t c) {
  std::unique_ptr<GlyphPage>& page = f.pages[c >> kPageBits];
  if (!page) page = std::make_unique<GlyphPage>();
  Glyph& g = page->glyphs[c & (kPageSize - 1)];
  if (g.advance < 0) Describe(f, c, &g);
  return g;
}

// Rasterises a glyph black on white with Qt and keeps the darkness of every
// pixel, trimmed to the inked ones.
GlyphMask Rasterise(const QRawFont& face, quint32 index) {
  const QRectF box = face.boundingRect(index);
  const int32_t left = static_cast<int32_t>(std::floor(box.left())) - kRasterMargin;
  const int32_t top = static_cast<int32_t>(std::floor(box.top())) - kRasterMargin;
  const int32_t width = static_cast<int32_t>(std::ceil(box.right())) + kRasterMargin - left;
  const int32_t height = static_cast<int32_t>(std::ceil(box.bottom())) + kRasterMargin - top;
  QImage image(width, height, QImage::Format_RGB32);
  if (image.isNull()) return {};
  image.fill(QColor(Qt::white));
  {
    QPainter painter(&image);
    painter.setPen(QColor(Qt::black));
    QGlyphRun run;
    run.setRawFont(face);
    const QPointF origin(-left, -top);
    run.setRawData(&index, &origin, 1);
    painter.drawGlyphRun(QPointF(0, 0), run);
  }
  auto darkness = [&](int32_t x, int32_t y) {
    const QRgb p = image.pixel(x, y);
    return static_cast<uint8_t>(255 - (qRed(p) + qGreen(p) + qBlue(p) + 1) / 3);
  };
  Rect ink{width, height, 0, 0};
  for (int32_t y = 0; y < height; ++y) {
    for (int32_t x = 0; x < width; ++x) {
      if (darkness(x, y) == 0) continue;
      ink = {std::min(ink.left, x), std::min(ink.top, y), std::max(ink.right, x + 1), std::max(ink.bottom, y + 1)};
    }
  }
  if (IsEmpty(ink)) return {};
  GlyphMask mask{left + ink.left, top + ink.top, ink.right - ink.left, ink.bottom - ink.top, {}};
  mask.coverage.reserve(static_cast<size_t>(mask.width) * static_cast<size_t>(mask.height));
  for (int32_t y = ink.top; y < ink.bottom; ++y) {
    for (int32_t x = ink.left; x < ink.right; ++x) mask.coverage.push_back(darkness(x, y));
  }
  return mask;
}

const GlyphMask& MaskOf(PlatformFont& f, Glyph& g) {
  if (g.mask == kNoMask) {
    f.masks.push_back(Rasterise(g.face == 0 ? f.raw : f.fallbackFaces[g.face - 1], g.index));
    g.mask = static_cast<int32_t>(f.masks.size() - 1);
  }
  return f.masks[static_cast<size_t>(g.mask)];
}

// The font every surface starts with; it lives for the run.
FontHandle DefaultFont() {
  static FontHandle font = CreateFont(FontDescription{});
  return font;
}

int32_t RunWidth(PlatformFont& f, const char16_t* s, int32_t n) {
  int32_t width = 0;
  for (int32_t i = 0; i < n; ++i) width += LookUp(f, s[i]).advance;
  return width;
}

// Draws a run with the top left of its cell at (x, y), clipped to clip; with
// fillCell the cell is first filled with the background colour.
void DrawRun(PlatformSurface* s, int32_t x, int32_t y, const char16_t* text, int32_t n, const Rect& clip,
             bool fillCell) {
  PlatformFont& f = *s->font;
  const Rect visible = Intersect(clip, Whole(s));
  if (IsEmpty(visible)) return;
  const bool underline = f.description.underline;
  const int32_t width = fillCell || underline ? RunWidth(f, text, n) : 0;
  if (fillCell) Fill(s, Intersect({x, y, x + width, y + f.height}, visible), s->state.backgroundColour);
  const QRgb colour = ToQRgb(s->state.textColour);
  const int32_t baseline = y + f.ascent;
  int32_t pen = x;
  for (int32_t i = 0; i < n; ++i) {
    Glyph& g = LookUp(f, text[i]);
    if (g.face != kNoFace) BlendMask(s, MaskOf(f, g), pen, baseline, visible, colour);
    pen += g.advance;
  }
  if (underline) {
    const int32_t top = y + f.underlineTop;
    Fill(s, Intersect({x, top, x + width, top + f.underlineThickness}, visible), s->state.textColour);
  }
}

}  // namespace

const QImage& SurfaceImage(SurfaceHandle surface) { return surface->image; }

// --- Surfaces -----------------------------------------------------------------------

SurfaceHandle CreateImageSurface(int32_t width, int32_t height) {
  if (width <= 0 || height <= 0) return nullptr;
  if (!qGuiApp) return nullptr;  // fonts need the application
  const FontHandle font = DefaultFont();
  if (!font) return nullptr;
  std::unique_ptr<PlatformSurface> s(new (std::nothrow) PlatformSurface{});
  if (!s) return nullptr;
  s->image = QImage(width, height, QImage::Format_RGB32);
  if (s->image.isNull()) return nullptr;
  s->bits = s->image.bits();
  s->stride = s->image.bytesPerLine();
  s->font = font;
  Fill(s.get(), Whole(s.get()), kWhite);
  return s.release();
}

void DestroyImageSurface(SurfaceHandle surface) { delete surface; }

Colour GetPixel(SurfaceHandle surface, int32_t x, int32_t y) {
  if (!surface || x < 0 || y < 0 || x >= surface->image.width() || y >= surface->image.height()) return kNoPixel;
  return FromQRgb(Row(surface, y)[x]);
}

// --- Fonts and text metrics -------------------------------------------------------

FontHandle CreateFont(const FontDescription& description) {
  if (!qGuiApp) return nullptr;
  std::unique_ptr<PlatformFont> f(new (std::nothrow) PlatformFont{});
  if (!f) return nullptr;
  f->description = description;
  f->description.faceName[kFaceNameLength - 1] = 0;
  QFont font;  // the application's default font, so the default family
  const size_t nameLength = std::char_traits<char16_t>::length(f->description.faceName);
  if (nameLength > 0) {
    font.setFamily(QString::fromUtf16(f->description.faceName, static_cast<qsizetype>(nameLength)));
  }
  font.setWeight(ToQtWeight(description.weight));
  font.setUnderline(description.underline);
  font.setKerning(false);
  int pixelSize = DefaultPixelSize();
  if (description.height < 0) pixelSize = -description.height;
  if (description.height > 0) pixelSize = PixelSizeForCell(font, description.height);
  font.setPixelSize(std::max(1, pixelSize));
  f->font = font;
  f->drawFont = font;
  f->drawFont.setUnderline(false);
  f->raw = QRawFont::fromFont(f->drawFont);
  const QFontMetrics metrics(font);
  f->ascent = metrics.ascent();
  f->height = metrics.ascent() + metrics.descent();
  f->maxCharWidth = metrics.maxWidth();
  f->underlineThickness = std::max(1, metrics.lineWidth());
  f->underlineTop = std::max(0, std::min(f->ascent + std::max(1, metrics.underlinePos()),
                                         f->height - f->underlineThickness));
  return f.release();
}

void DeleteFont(FontHandle font) { delete font; }

FontDescription GetFontDescription(FontHandle font) { return font ? font->description : FontDescription{}; }

FontHandle SelectFont(SurfaceHandle surface, FontHandle font) {
  if (!surface || !font) return nullptr;
  return std::exchange(surface->font, font);
}

TextMetrics GetTextMetrics(SurfaceHandle surface) {
  if (!surface) return {};
  PlatformFont& f = *surface->font;
  const int32_t letters = RunWidth(f, u"abcdefghijklmnopqrstuvwxyz", 26);
  return {f.height, f.ascent, (letters + 13) / 26, f.maxCharWidth};
}

// --- Measuring -------------------------------------------------------------------

int32_t FitText(SurfaceHandle surface, const char16_t* s, int32_t n, int32_t maxExtent) {
  if (!surface || !s || n <= 0) return 0;
  PlatformFont& f = *surface->font;
  int32_t width = 0;
  for (int32_t i = 0; i < n; ++i) {
    width += LookUp(f, s[i]).advance;
    if (width > maxExtent) return i;
  }
  return n;
}

TextExtent MeasureText(SurfaceHandle surface, const char16_t* s, int32_t n) {
  if (!surface) return {};
  return {s && n > 0 ? RunWidth(*surface->font, s, n) : 0, surface->font->height};
}

// --- Drawing text ------------------------------------------------------------------

void DrawTextCentred(SurfaceHandle surface, const char16_t* s, int32_t n, const Rect& box) {
  if (!surface || !s || n <= 0) return;
  const TextExtent e = MeasureText(surface, s, n);
  const int32_t x = box.left + (box.right - box.left - e.width) / 2;
  const int32_t y = box.top + (box.bottom - box.top - e.height) / 2;
  DrawRun(surface, x, y, s, n, box, surface->state.backgroundMode == kOpaque);
}

void DrawTextFilled(SurfaceHandle surface, int32_t x, int32_t y, const Rect& fill, const char16_t* s, int32_t n) {
  if (!surface) return;
  Fill(surface, fill, surface->state.backgroundColour);
  // The cell lies on the fill just made, so there is nothing more to fill.
  if (s && n > 0) DrawRun(surface, x, y, s, n, fill, false);
}

// --- Rectangles -------------------------------------------------------------------------

SurfaceState& StateOf(SurfaceHandle surface) { return surface->state; }

void DrawRectangle(SurfaceHandle surface, const Rect& r) {
  if (!surface || IsEmpty(r)) return;
  const Colour pen = surface->state.pen->colour;
  Fill(surface, {r.left, r.top, r.right, r.top + 1}, pen);
  Fill(surface, {r.left, r.bottom - 1, r.right, r.bottom}, pen);
  Fill(surface, {r.left, r.top + 1, r.left + 1, r.bottom - 1}, pen);
  Fill(surface, {r.right - 1, r.top + 1, r.right, r.bottom - 1}, pen);
  Fill(surface, {r.left + 1, r.top + 1, r.right - 1, r.bottom - 1}, surface->state.brush->colour);
}

void FillRect(SurfaceHandle surface, const Rect& rect, BrushHandle brush) {
  if (surface && brush) Fill(surface, rect, brush->colour);
}

// --- Bitmaps ----------------------------------------------------------------------------

BitmapHandle CreateBitmap(int32_t width, int32_t height, const Colour* pixels) {
  if (width <= 0 || height <= 0 || !pixels) return nullptr;
  std::unique_ptr<PlatformBitmap> bitmap(new (std::nothrow) PlatformBitmap{width, height, {}});
  if (!bitmap) return nullptr;
  const size_t count = static_cast<size_t>(width) * static_cast<size_t>(height);
  bitmap->pixels.reserve(count);
  for (size_t i = 0; i < count; ++i) bitmap->pixels.push_back(ToQRgb(pixels[i]));
  return bitmap.release();
}

void DeleteBitmap(BitmapHandle bitmap) { delete bitmap; }

int32_t BitmapWidth(BitmapHandle bitmap) { return bitmap ? bitmap->width : 0; }

int32_t BitmapHeight(BitmapHandle bitmap) { return bitmap ? bitmap->height : 0; }

void CopyBitmap(SurfaceHandle surface, int32_t x, int32_t y, int32_t width, int32_t height, BitmapHandle bitmap,
                int32_t sourceX, int32_t sourceY) {
  if (!surface || !bitmap || width <= 0 || height <= 0) return;
  // The source pixels inside the bitmap whose destinations lie on the surface.
  const Rect source = Intersect(Intersect({sourceX, sourceY, sourceX + width, sourceY + height},
                                          {0, 0, bitmap->width, bitmap->height}),
                                {sourceX - x, sourceY - y, sourceX - x + surface->image.width(),
                                 sourceY - y + surface->image.height()});
  if (IsEmpty(source)) return;
  const int32_t dx = x - sourceX;
  const int32_t dy = y - sourceY;
  for (int32_t sy = source.top; sy < source.bottom; ++sy) {
    const QRgb* from = bitmap->pixels.data() + static_cast<size_t>(sy) * static_cast<size_t>(bitmap->width);
    std::copy(from + source.left, from + source.right, Row(surface, sy + dy) + source.left + dx);
  }
}

// --- Screen metrics ---------------------------------------------------------------------

int32_t LogicalPixelsPerInchY() {
  const QScreen* screen = qGuiApp ? QGuiApplication::primaryScreen() : nullptr;
  return screen ? qRound(screen->logicalDotsPerInchY()) : 96;
}

int32_t GetSystemMetric(int32_t metric) {
  switch (metric) {
    case kMetricVerticalScrollWidth: {
      const bool widgets = qobject_cast<QApplication*>(QCoreApplication::instance()) != nullptr;
      const QStyle* style = widgets ? QApplication::style() : nullptr;
      return style ? style->pixelMetric(QStyle::PM_ScrollBarExtent) : 16;
    }
    case kMetricEdgeWidth:
    case kMetricEdgeHeight: return 2;
    default: return 0;
  }
}

// --- Font families ----------------------------------------------------------------------

std::vector<FontFamily> EnumerateFontFamilies(SurfaceHandle) {
  std::vector<FontFamily> families;
  if (!qGuiApp) return families;
  for (const QString& name : QFontDatabase::families()) {
    if (QFontDatabase::isPrivateFamily(name)) continue;
    const bool hebrew = QFontDatabase::writingSystems(name).contains(QFontDatabase::Hebrew);
    families.push_back({name.toStdU16String(), hebrew ? kHebrewCharset : kDefaultCharset});
  }
  std::sort(families.begin(), families.end(),
            [](const FontFamily& a, const FontFamily& b) { return a.faceName < b.faceName; });
  return families;
}
