#pragma once
// The text pane: one article laid out into rows for the pane's width, a font
// per style key, drawing from the top line, the highlight of a search hit and
// scrolling by line units. The reader's top and bottom panes are two panes.
//
// Sections: records; status codes; the pane's life; fonts; layout
// (pane/layout.cpp); drawing and scrolling (pane/draw.cpp).
//
// Line units: every row is one unit, and a row flagged blank after (0x80) is
// followed by one blank unit as high as the row. topLine, maxTopLine and
// every scroll amount count units. Rows hold article offsets, never
// addresses, so a row stays meaningful while the article it came from lives.

#include <cstdint>
#include <memory>

#include "content/article.h"
#include "platform/surface.h"

// The font settings a pane keeps a copy of.
struct FontSpec {
  char16_t FontName[kFaceNameLength];  // face, terminated; empty: the platform's default face
  int32_t FontSize;                    // height handed to font creation (see FontDescription)
  int32_t FontAsciiBase;               // letter base; conversions read the setting, not this copy
};

// One row of the layout.
struct LineEntry {
  uint16_t offset;     // article offset of the row's stored run (its hanging word first, in stored order)
  uint16_t length;     // stored bytes drawn as the row's body; 0 for a rule
  uint16_t x;          // left edge of the body on the surface
  uint16_t hangWidth;  // width of the hanging-word column; 0 when the row hangs nothing
  uint16_t width;      // measured width of the body; the length of a rule
  uint16_t height;     // text height of the row's font
  uint8_t flags;       // the record's flags; 0x80 only on a paragraph's last row, never on the article's
};

// One font of the cache, made for one style key.
struct FontSlot {
  FontSlot* next;
  FontHandle font;   // owned; nothing when it could not be made
  uint8_t styleKey;  // flags & 0x1F
};

// A pane. The reader writes x, y and topLine directly and reads topLine and
// maxTopLine for its scroll bars; the search writes the highlight range.
struct TextPane {
  std::unique_ptr<LineEntry[]> lines;  // lineCount rows, then a row of flags 0
  SurfaceHandle surface;               // borrowed for the pane's life
  ArticleBuffer article;               // the article laid out, owned
  int32_t drawnUnits;                  // units the last DrawPane drew
  FontSpec fontSpec;
  FontSlot* fontSlots;  // newest first, owned
  int32_t x;
  int32_t y;
  int32_t width;
  int32_t height;
  uint16_t topLine;
  uint16_t unitCount;
  uint16_t lineCount;
  uint16_t lineCapacity;  // rows the table holds besides the terminator
  uint16_t maxTopLine;    // smallest topLine at which the last unit is inside the pane
  uint16_t highlightStart;
  uint16_t highlightEnd;  // one past the last highlighted byte; both 0: no highlight
};

// Results of the pane's operations.
enum : int {
  kPaneOk = 0,
  kPaneMissing = -1,   // no pane, or no article or line table to draw
  kPaneNoMemory = -2,
  kPaneBadData = -4,   // empty article, or a first record with an empty text
  kPaneBadSize = -5,
  kPaneNothing = 2,    // no article given to lay out
  kScrollUnmoved = 1,
  kScrollMovedUndrawn = 3,
};

// The line table's first size and its growth step.
constexpr uint16_t kLineTableStep = 128;

// --- The pane's life ------------------------------------------------------------

// Makes a pane on a surface it borrows, over rect (or an empty rectangle),
// with a copy of the font settings and a table of capacity rows when capacity is above 0.
// Nothing when there is no surface or no memory.
TextPane* CreatePane(SurfaceHandle surface, const Rect* rect, const FontSpec& fonts, int32_t capacity);

// Releases the article, the line table, every slot and its font, and the pane.
void DestroyPane(TextPane* pane);

// Sets the size and lays the pane's own article out again: the layout's
// status, kPaneMissing without a pane, kPaneBadSize (nothing changed) for a
// size not above 0.
int ResizePane(TextPane* pane, int32_t width, int32_t height);

// Copies the font settings, remakes the font of every slot, lays the article out again and
// draws it with the background cleared: DrawPane's result, or 1 when the
// layout did not give 0.
int SetPaneFont(TextPane* pane, const FontSpec& fonts);

// --- Fonts ---------------------------------------------------------------------

// Makes the slot's font for its style key from the pane's FontSpec: large
// FontSize * 5 / 4 (20 for size 0), else small FontSize * 6 / 8 (14), else
// FontSize; bold weight 700, else 400.
void MakeStyleFont(TextPane* pane, FontSlot* slot);

// Selects the font of style & 0x1F into the surface, making its slot the
// first time, and with colour sets the style's text colour. Returns the font
// selected before.
FontHandle SelectStyle(TextPane* pane, uint8_t style, bool withColour);

// The text colour of a style key: dark blue for small, blue for large and
// bold, black otherwise.
Colour StyleColour(uint8_t styleKey);

// Measures a letter-code run in stored order, whatever the Reverse setting.
// On entry *extent is the widest width allowed and *count the bytes to
// consider; on return *count is how many leading bytes fit and *extent their
// width. A conversion that cannot be had measures nothing (both 0).
void MeasureFit(SurfaceHandle surface, const uint8_t* run, int32_t* extent, int32_t* count);

// --- Layout (pane/layout.cpp) -----------------------------------------------------

// Grows the line table by kLineTableStep rows. Without memory the row being
// added (row) is zeroed to end the table and the result is kPaneNoMemory.
int GrowLineTable(TextPane* pane, int32_t row);

// Lays an article out for the pane's width. With replace the pane releases
// the article it held and adopts this one (on success, or when none is
// given); without, the article is the pane's own, laid out again. Always
// drops the highlight; leaves topLine to the caller.
int LayOutArticle(TextPane* pane, ArticleBuffer* article, bool replace);

// Computes and stores maxTopLine; -1 (maxTopLine unchanged) with no rows.
int32_t ComputeMaxTopLine(TextPane* pane);

// Puts the row holding offset (both ends of a row's run included) at the top,
// or maxTopLine when that is smaller: 1, or 0 when no row holds it. No drawing.
int ShowOffset(TextPane* pane, uint16_t offset);

// --- Drawing and scrolling (pane/draw.cpp) -------------------------------------------

// Draws the units from topLine that fit, clearing the pane first when asked,
// then the highlight. 0, kPaneMissing, or DrawHighlight's result.
int DrawPane(TextPane* pane, bool clearBackground);

// Draws the highlighted bytes of the visible rows again, blue on yellow.
int DrawHighlight(TextPane* pane);

// Draws the part of a run (start offset, count bytes, drawn at x, y) that
// lies in the highlight range.
void DrawHighlightRun(TextPane* pane, uint16_t start, int32_t count, int32_t x, int32_t y);

// Moves topLine by n units with the pane's clamping: kPaneMissing,
// kScrollUnmoved, kScrollMovedUndrawn without redraw, or with redraw
// DrawPane's result once it moved.
int ScrollPane(TextPane* pane, int32_t n, bool redraw);

// Converts a run (reversed under the Reverse setting) and draws it on one
// line centred in the box, in the surface's font, colours and mode.
void DrawTextBox(SurfaceHandle surface, const uint8_t* run, int32_t count, int32_t x, int32_t y, int32_t width,
                 int32_t height);

// DrawTextBox in the opaque mode with the given colours, leaving the
// surface's mode and colours as they were.
void DrawColouredText(SurfaceHandle surface, const uint8_t* run, int32_t count, int32_t x, int32_t y, int32_t width,
                      int32_t height, Colour text, Colour background);

// Fills the box with a stock brush (kWhiteBrush, kBlackBrush).
void FillBox(SurfaceHandle surface, int32_t x, int32_t y, int32_t width, int32_t height, int32_t stockBrush);
