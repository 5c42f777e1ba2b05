// Drawing a laid-out pane from its top line, the highlight of a search hit,
// scrolling by line units, and the small drawing helpers the outline and the
// search banner share.
#include <algorithm>

#include "content/letters.h"
#include "content/records.h"
#include "pane/pane.h"

namespace {

constexpr uint8_t kSpace = 0x20;

// Where drawing starts: the first row to draw, its top and the room left.
struct FirstRow {
  int32_t row;
  int32_t y;
  int32_t room;
};

// Finds the row that holds topLine, pulling a topLine beyond the units back
// to maxTopLine first. A topLine on a blank unit starts one row-height down.
FirstRow FindFirstRow(TextPane* pane) {
  if (pane->topLine > pane->unitCount) pane->topLine = pane->maxTopLine;
  int32_t units = 0;
  int32_t row = 0;
  while (units < pane->topLine && pane->lines[static_cast<size_t>(row)].flags != 0) {
    units += (pane->lines[static_cast<size_t>(row)].flags & kFlagBlankAfter) ? 2 : 1;
    ++row;
  }
  if (units > pane->topLine) {
    const int32_t skip = pane->lines[static_cast<size_t>(row) - 1].height;
    return {row, pane->y + skip, pane->height - skip};
  }
  return {row, pane->y, pane->height};
}

uint8_t StartStyle(const LineEntry& line) { return IsRule(line.flags) ? uint8_t{kFlagPlain} : line.flags; }

// The hanging word of a row stored reversed, as it is drawn: it begins
// after the body's stored run, past the spaces, and runs to the end of the
// record's text; the bytes of it that fit its column stand at the column's
// right, next to the body.
struct HangingBox {
  uint16_t start;
  int32_t count;  // the bytes that fit
  int32_t x;
  int32_t width;
};
HangingBox ReversedHangingWord(const TextPane* pane, const LineEntry& line) {
  const uint8_t* bytes = pane->article.bytes.get();
  int32_t at = line.offset + line.length;
  while (bytes[at] != 0 && bytes[at] != kSpace) ++at;
  while (bytes[at] == kSpace) ++at;
  int32_t end = at;
  while (bytes[end] != 0) ++end;
  int32_t width = line.hangWidth;
  int32_t count = end - at;
  MeasureFit(pane->surface, bytes + at, &width, &count);
  return {static_cast<uint16_t>(at), count, line.x + line.width + line.hangWidth - width, width};
}

// The hanging word of a row in stored order, from the row's offset to the
// first space; and where the body begins after it and its spaces.
int32_t StoredHangingWordLength(const TextPane* pane, const LineEntry& line) {
  const uint8_t* word = pane->article.bytes.get() + line.offset;
  int32_t n = 0;
  while (word[n] != 0 && word[n] != kSpace) ++n;
  return n;
}

int32_t SkipSpaces(const TextPane* pane, int32_t at) {
  while (pane->article.bytes[static_cast<size_t>(at)] == kSpace) ++at;
  return at;
}

// Width and height of a run in stored order.
TextExtent MeasureRun(SurfaceHandle surface, const uint8_t* run, int32_t count) {
  const uint32_t flags = SuspendReverse();
  TextExtent extent{0, 0};
  if (const char16_t* s = MapLetters(run, count, SharedConversionBuffer())) {
    int32_t length = 0;
    while (length < count && s[length] != 0) ++length;
    extent = MeasureText(surface, s, length);
  }
  RestoreFlags(flags);
  return extent;
}

}  // namespace

int DrawPane(TextPane* pane, bool clearBackground) {
  if (!pane || !pane->article || !pane->lines) return kPaneMissing;
  pane->drawnUnits = 0;
  FirstRow first = FindFirstRow(pane);
  SurfaceHandle surface = pane->surface;
  const uint8_t* bytes = pane->article.bytes.get();

  const Colour textColour = GetTextColour(surface);
  uint8_t style = StartStyle(pane->lines[static_cast<size_t>(first.row)]);
  const FontHandle before = SelectStyle(pane, style, true);
  if (clearBackground) FillBox(surface, pane->x, pane->y, pane->width, pane->height, kWhiteBrush);

  int32_t y = first.y;
  int32_t room = first.room;
  for (int32_t row = first.row;; ++row) {
    const LineEntry& line = pane->lines[static_cast<size_t>(row)];
    if (line.flags == 0 || line.height > room) break;
    if (IsRule(line.flags)) {
      const BrushHandle brush = SelectBrush(surface, GetStockBrush(kBlackBrush));
      const int32_t middle = y + line.height / 2;
      DrawRectangle(surface, {line.x, middle, line.x + line.width, middle + 1});
      SelectBrush(surface, brush);
    } else {
      if ((line.flags ^ style) & kStyleKeyMask) {
        SelectStyle(pane, line.flags, true);
        style = line.flags;
      }
      int32_t body = line.offset;
      if (line.hangWidth != 0 && (line.flags & kFlagStoredReversed)) {
        const HangingBox word = ReversedHangingWord(pane, line);
        DrawTextBox(surface, bytes + word.start, word.count, word.x, y, word.width, line.height);
      } else if (line.hangWidth != 0) {
        const int32_t length = StoredHangingWordLength(pane, line);
        int32_t w = line.hangWidth;
        int32_t fit = length;
        MeasureFit(surface, bytes + line.offset, &w, &fit);
        DrawTextBox(surface, bytes + line.offset, fit, line.x - line.hangWidth, y, w, line.height);
        body = SkipSpaces(pane, line.offset + length);
      }
      DrawTextBox(surface, bytes + body, line.length, line.x, y, line.width, line.height);
    }
    y += line.height;
    room -= line.height;
    ++pane->drawnUnits;
    if (line.flags & kFlagBlankAfter) {
      // The blank unit counts even when it is cut off at the bottom.
      y += line.height;
      room -= line.height;
      ++pane->drawnUnits;
    }
  }
  if (before) SelectFont(surface, before);
  SetTextColour(surface, textColour);
  if (pane->highlightStart != 0 || pane->highlightEnd != 0) return DrawHighlight(pane);
  return kPaneOk;
}

int DrawHighlight(TextPane* pane) {
  if (!pane || !pane->article || !pane->lines) return kPaneMissing;
  FirstRow first = FindFirstRow(pane);
  SurfaceHandle surface = pane->surface;
  const uint8_t* bytes = pane->article.bytes.get();
  uint8_t style = StartStyle(pane->lines[static_cast<size_t>(first.row)]);
  const FontHandle before = SelectStyle(pane, style, false);

  int32_t y = first.y;
  int32_t room = first.room;
  for (int32_t row = first.row;; ++row) {
    const LineEntry& line = pane->lines[static_cast<size_t>(row)];
    if (line.flags == 0 || line.height > room) break;
    const bool touches = line.offset <= pane->highlightEnd && pane->highlightStart <= line.offset + line.length;
    if (!IsRule(line.flags) && touches) {
      if ((line.flags ^ style) & kStyleKeyMask) {
        SelectStyle(pane, line.flags, false);
        style = line.flags;
      }
      int32_t body = line.offset;
      if (line.hangWidth != 0 && (line.flags & kFlagStoredReversed)) {
        // The hanging word of a reversed row is highlighted whole.
        const HangingBox word = ReversedHangingWord(pane, line);
        DrawColouredText(surface, bytes + word.start, word.count, word.x, y, word.width, line.height, kBlue, kYellow);
      } else if (line.hangWidth != 0) {
        const int32_t length = StoredHangingWordLength(pane, line);
        DrawHighlightRun(pane, line.offset, length, line.x - line.hangWidth, y);
        body = SkipSpaces(pane, line.offset + length);
      }
      DrawHighlightRun(pane, static_cast<uint16_t>(body), line.length, line.x, y);
    }
    const int32_t units = (line.flags & kFlagBlankAfter) ? 2 : 1;
    y += units * line.height;
    room -= units * line.height;
  }
  if (before) SelectFont(surface, before);
  return kPaneOk;
}

void DrawHighlightRun(TextPane* pane, uint16_t start, int32_t count, int32_t x, int32_t y) {
  if (!pane || !pane->article) return;
  const uint8_t* bytes = pane->article.bytes.get();
  int32_t at = start;
  int32_t p = 0;
  const int32_t r = pane->highlightStart - at;
  if (r >= 0) {
    count -= r;
    if (count < 0) return;
    p = MeasureRun(pane->surface, bytes + at, r).width;
    at += r;
  }
  const int32_t n = std::min(count, pane->highlightEnd - at);
  if (n <= 0) return;
  const TextExtent e = MeasureRun(pane->surface, bytes + at, n);
  DrawColouredText(pane->surface, bytes + at, n, x + p, y, e.width, e.height, kBlue, kYellow);
}

int ScrollPane(TextPane* pane, int32_t n, bool redraw) {
  if (!pane) return kPaneMissing;
  int64_t next = int64_t{pane->topLine} + n;
  if (next < 0) {
    next = 0;
  } else {
    // Down from at or beyond the last page, nothing moves; a step down is
    // limited by the units, not by maxTopLine.
    if (next >= pane->topLine && pane->topLine >= pane->maxTopLine) return kScrollUnmoved;
    if (next > pane->unitCount) next = pane->maxTopLine;
  }
  if (redraw && next == pane->topLine) return kScrollUnmoved;
  const bool moved = next != pane->topLine;
  pane->topLine = static_cast<uint16_t>(next);
  if (redraw) return DrawPane(pane, true);
  return moved ? kScrollMovedUndrawn : kScrollUnmoved;
}

void DrawTextBox(SurfaceHandle surface, const uint8_t* run, int32_t count, int32_t x, int32_t y, int32_t width,
                 int32_t height) {
  const char16_t* s = MapLetters(run, count, SharedConversionBuffer());
  if (!s) return;
  int32_t length = 0;
  while (length < count && s[length] != 0) ++length;
  DrawTextCentred(surface, s, length, {x, y, x + width, y + height});
}

void DrawColouredText(SurfaceHandle surface, const uint8_t* run, int32_t count, int32_t x, int32_t y, int32_t width,
                      int32_t height, Colour text, Colour background) {
  const int32_t mode = SetBackgroundMode(surface, kOpaque);
  const Colour textBefore = SetTextColour(surface, text);
  const Colour backgroundBefore = SetBackgroundColour(surface, background);
  DrawTextBox(surface, run, count, x, y, width, height);
  SetBackgroundColour(surface, backgroundBefore);
  SetTextColour(surface, textBefore);
  SetBackgroundMode(surface, mode);
}

void FillBox(SurfaceHandle surface, int32_t x, int32_t y, int32_t width, int32_t height, int32_t stockBrush) {
  FillRect(surface, {x, y, x + width, y + height}, GetStockBrush(stockBrush));
}
