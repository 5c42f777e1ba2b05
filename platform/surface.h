#pragma once
// The drawing surface: fonts, text measuring and drawing, colours, pens and
// brushes, bitmaps and the screen's metrics. Every drawing the engine does
// goes through these calls; the backend decides how pixels come about.
//
// Sections: handles and records; surfaces; fonts and text metrics; measuring;
// drawing text; colours and modes; pens, brushes and rectangles; bitmaps;
// screen metrics; font families.
//
// A surface has one current font, pen, brush, text colour, background colour
// and background mode. Selecting an object returns the one selected before;
// the caller selects that back before it deletes its own object or lets the
// surface go. Coordinates are device pixels from the surface's top left.
// Text runs are drawn in the order given, first character leftmost: the
// engine hands over runs already in visual order, so nothing is reordered.

#include <cstdint>
#include <string>
#include <vector>

// Colours are 0x00BBGGRR.
using Colour = uint32_t;
constexpr Colour kBlack = 0x000000;
constexpr Colour kWhite = 0xFFFFFF;
constexpr Colour kRed = 0x0000FF;
constexpr Colour kBlue = 0xFF0000;
constexpr Colour kDarkBlue = 0x800000;
constexpr Colour kYellow = 0x00FFFF;
constexpr Colour kPaleBlueWhite = 0xFFFFEE;

// Objects of the backend; only the backend knows what stands behind them.
struct PlatformSurface;
struct PlatformFont;
struct PlatformPen;
struct PlatformBrush;
struct PlatformBitmap;
using SurfaceHandle = PlatformSurface*;
using FontHandle = PlatformFont*;
using PenHandle = PlatformPen*;
using BrushHandle = PlatformBrush*;
using BitmapHandle = PlatformBitmap*;

// A rectangle from (left, top) to (right, bottom), right and bottom excluded.
struct Rect {
  int32_t left;
  int32_t top;
  int32_t right;
  int32_t bottom;
};

// The size of a run of text.
struct TextExtent {
  int32_t width;
  int32_t height;
};

// --- Surfaces -------------------------------------------------------------------

// A surface over an image of its own, white, with the platform's default
// font, a black pen, the white stock brush, black text on white and the
// opaque background mode. Windows get theirs from the window services; this
// one serves memory surfaces, the command-line rendering and the tests.
// Nothing when the size is not above 0 or memory is short.
SurfaceHandle CreateImageSurface(int32_t width, int32_t height);

// Releases a surface made by CreateImageSurface. Objects selected into it
// stay the caller's.
void DestroyImageSurface(SurfaceHandle surface);

// The colour of one pixel; kNoPixel outside the surface.
constexpr Colour kNoPixel = 0xFFFFFFFF;
Colour GetPixel(SurfaceHandle surface, int32_t x, int32_t y);

// --- Fonts and text metrics -------------------------------------------------------

constexpr int kFaceNameLength = 32;  // wide characters, the terminator included

enum : int32_t {
  kWeightNormal = 400,
  kWeightBold = 700,
  kWeightExtraBold = 800,
};

// What a font is made from; every field not set stays at its default.
// height < 0: the character height in pixels (the em, without the leading
// above it); height > 0: the cell height (ascent plus descent); 0: the
// platform's default size.
struct FontDescription {
  int32_t height = 0;
  int32_t weight = kWeightNormal;
  bool underline = false;
  char16_t faceName[kFaceNameLength] = {};  // terminated; empty: the default face
};

// Makes a font; nothing when it cannot be had.
FontHandle CreateFont(const FontDescription& description);

// Deletes a font that is selected into no surface.
void DeleteFont(FontHandle font);

// The description a font was made from.
FontDescription GetFontDescription(FontHandle font);

// Selects a font into the surface and returns the one selected before. A
// font of nothing leaves the surface as it is and returns nothing.
FontHandle SelectFont(SurfaceHandle surface, FontHandle font);

// Metrics of the surface's current font, whole pixels.
struct TextMetrics {
  int32_t height;            // ascent + descent: a row of text
  int32_t ascent;            // from the top of a row to the baseline
  int32_t averageCharWidth;  // of the lower-case Latin letters
  int32_t maxCharWidth;      // the widest character of the font
};
TextMetrics GetTextMetrics(SurfaceHandle surface);

// --- Measuring -------------------------------------------------------------------
//
// Widths are whole pixels and add up: the width of a run is the sum of the
// widths of its characters, so measuring a run in two pieces gives the same
// total and drawing places every character where measuring said.

// How many leading characters of s[0..n) fit within maxExtent pixels: never
// more than n, 0 when the extent is below the first character's width.
// Measuring stops at the first character past the extent.
int32_t FitText(SurfaceHandle surface, const char16_t* s, int32_t n, int32_t maxExtent);

// The width and height of s[0..n) drawn as one run in the current font.
TextExtent MeasureText(SurfaceHandle surface, const char16_t* s, int32_t n);

// --- Drawing text ------------------------------------------------------------------

// Draws s[0..n) on one line, centred horizontally and vertically in box and
// clipped to it, with no prefix characters interpreted, in the current font
// and text colour; in the opaque mode the run's cell is first filled with the
// background colour.
void DrawTextCentred(SurfaceHandle surface, const char16_t* s, int32_t n, const Rect& box);

// Fills fill with the background colour, then draws s[0..n) with the top left
// of its cell at (x, y), clipped to fill.
void DrawTextFilled(SurfaceHandle surface, int32_t x, int32_t y, const Rect& fill, const char16_t* s, int32_t n);

// --- Colours and modes ---------------------------------------------------------------

enum : int32_t {
  kTransparent = 1,  // text leaves what is under it
  kOpaque = 2,       // text's cell is filled with the background colour first
};

// Each setter returns the value before.
Colour SetTextColour(SurfaceHandle surface, Colour colour);
Colour GetTextColour(SurfaceHandle surface);
Colour SetBackgroundColour(SurfaceHandle surface, Colour colour);
Colour GetBackgroundColour(SurfaceHandle surface);
int32_t SetBackgroundMode(SurfaceHandle surface, int32_t mode);
int32_t GetBackgroundMode(SurfaceHandle surface);

// --- Pens, brushes and rectangles ----------------------------------------------------

// The stock brushes; they are never deleted.
enum : int32_t {
  kWhiteBrush = 0,
  kBlackBrush = 4,
};
BrushHandle GetStockBrush(int32_t kind);

// A solid pen one pixel wide, and a solid brush; nothing when memory is short.
PenHandle CreateSolidPen(Colour colour);
BrushHandle CreateSolidBrush(Colour colour);

// Deleting a stock brush does nothing.
void DeletePen(PenHandle pen);
void DeleteBrush(BrushHandle brush);

// Select into the surface, returning the one selected before; nothing selects
// nothing.
PenHandle SelectPen(SurfaceHandle surface, PenHandle pen);
BrushHandle SelectBrush(SurfaceHandle surface, BrushHandle brush);

// Outlines the rectangle's edge pixels with the current pen and fills what is
// inside with the current brush. A rectangle one pixel high is all edge.
void DrawRectangle(SurfaceHandle surface, const Rect& rect);

// Fills the rectangle with the brush; the surface's selection is untouched.
void FillRect(SurfaceHandle surface, const Rect& rect, BrushHandle brush);

// --- Bitmaps ----------------------------------------------------------------------------

// A bitmap of width by height colours (0x00BBGGRR), rows from the top;
// nothing when the size is not above 0 or memory is short.
BitmapHandle CreateBitmap(int32_t width, int32_t height, const Colour* pixels);

// Loads bitmap resource id (format in platform/bitmap.h); nothing when there
// is none or it is malformed.
BitmapHandle LoadBitmap(uint16_t id);
void DeleteBitmap(BitmapHandle bitmap);
int32_t BitmapWidth(BitmapHandle bitmap);
int32_t BitmapHeight(BitmapHandle bitmap);

// Copies width by height pixels of the bitmap, from (sourceX, sourceY), to
// (x, y) on the surface as they are: no blending, no scaling.
void CopyBitmap(SurfaceHandle surface, int32_t x, int32_t y, int32_t width, int32_t height, BitmapHandle bitmap,
                int32_t sourceX, int32_t sourceY);

// --- Screen metrics ---------------------------------------------------------------------

// Vertical pixels per logical inch of the screen.
int32_t LogicalPixelsPerInchY();

enum : int32_t {
  kMetricVerticalScrollWidth = 2,
  kMetricEdgeWidth = 45,
  kMetricEdgeHeight = 46,
};
// One of the system metrics above, in pixels; 0 for any other.
int32_t GetSystemMetric(int32_t metric);

// --- Font families ----------------------------------------------------------------------

constexpr uint8_t kHebrewCharset = 177;
constexpr uint8_t kDefaultCharset = 0;

// One family that fonts can be made of.
struct FontFamily {
  std::u16string faceName;
  uint8_t charset;  // kHebrewCharset when the family has Hebrew letters
};

// The families available on the surface, sorted by face name.
std::vector<FontFamily> EnumerateFontFamilies(SurfaceHandle surface);
