// Line layout: an article's records broken into rows for the pane's width,
// with word wrap, alignment, indents, hanging words, rules and blank units;
// the max top line and the jump to an offset.
#include <algorithm>
#include <climits>
#include <new>

#include "content/records.h"
#include "pane/pane.h"

namespace {

constexpr uint8_t kSpace = 0x20;
constexpr uint8_t kHyphen = 0x2D;
constexpr int32_t kMaxRows = UINT16_MAX - 1;  // rows are counted in 16 bits, the terminator too

uint16_t Clamp16(int32_t value) { return static_cast<uint16_t>(std::clamp<int32_t>(value, 0, UINT16_MAX)); }

// The values the layout carries from record to record.
struct LayoutState {
  TextPane* pane;
  const uint8_t* bytes;  // the article
  uint8_t style;         // flags of the style in force
  int32_t rowHeight;
  int32_t indent;  // the running indent, pixels
  int32_t row;     // i: the next row to fill
  int32_t blankUnits;
  uint8_t previousParam;
};

// Makes room for row state->row; false when the table cannot grow.
bool RoomForRow(LayoutState* state) {
  TextPane* pane = state->pane;
  return state->row < pane->lineCapacity || GrowLineTable(pane, state->row) == kPaneOk;
}

void LayOutRule(LayoutState* state, const TextRecord& record) {
  TextPane* pane = state->pane;
  const int32_t width = pane->width;
  int32_t length = record.param <= 160 ? record.param : (record.param - 160) * 2 * width / 100;
  length = std::min(length, width);
  int32_t x = pane->x;
  switch (record.flags & kAlignMask) {
    case kAlignRight: x = pane->x + width - length; break;
    case kAlignCentre: x = pane->x + (width - length) / 2; break;
    default: break;
  }
  pane->lines[static_cast<size_t>(state->row)] = {record.text,           0, Clamp16(x), 0, Clamp16(length),
                                                  Clamp16(state->rowHeight), record.flags};
  ++state->row;
  if (record.flags & kFlagBlankAfter) ++state->blankUnits;
}

// Breaks one text record into rows. False when the table could not grow.
bool LayOutText(LayoutState* state, const TextRecord& record, int hanging) {
  TextPane* pane = state->pane;
  const int32_t width = pane->width;
  if ((record.flags ^ state->style) & kStyleKeyMask) {
    SelectStyle(pane, record.flags, false);
    state->rowHeight = GetTextMetrics(pane->surface).height;
  }
  state->style = record.flags;
  const int32_t textLength = record.textLength;
  int32_t f = hanging != 0 ? (hanging + 1) * GetTextMetrics(pane->surface).maxCharWidth / 2 : 0;

  // A record stored reversed is broken in reading order, on a reversed copy.
  const bool reversed = (record.flags & kFlagStoredReversed) != 0;
  std::unique_ptr<uint8_t[]> copy;
  const uint8_t* text = state->bytes + record.text;
  if (reversed) {
    copy.reset(new (std::nothrow) uint8_t[static_cast<size_t>(textLength) + 1]);
    if (!copy) return false;
    std::reverse_copy(text, text + textLength, copy.get());
    copy[static_cast<size_t>(textLength)] = 0;
    text = copy.get();
  }
  if (state->indent >= width) state->indent = 0;

  int32_t k = 0;  // position in text
  int32_t n = textLength;
  for (;;) {
    while (n > 0 && text[k] == kSpace) {
      ++k;
      --n;
    }
    if (n == 0) break;
    if (!RoomForRow(state)) return false;

    int32_t extent = width - state->indent;
    int32_t count = n;
    int32_t hangBytes = 0;  // the hanging word and the spaces after it
    if (f != 0) {
      while (hangBytes < n && text[k + hangBytes] != kSpace) ++hangBytes;
      while (hangBytes < n && text[k + hangBytes] == kSpace) ++hangBytes;
      count -= hangBytes;
      extent = std::max(0, width - state->indent - f);
    }
    const int32_t bodyStart = k + hangBytes;
    const uint8_t* body = text + bodyStart;
    int32_t kept = count;
    int32_t bodyWidth = extent;
    MeasureFit(pane->surface, body, &bodyWidth, &kept);

    // Word wrap: a row that would end inside a word backs up to the last
    // space (dropped) or hyphen (kept) after the body's first byte. A word
    // longer than the row is broken where it stops fitting.
    if (kept < count && body[kept] != kSpace && kept >= 2) {
      int32_t breakAt = 0;
      for (int32_t m = kept - 1; m >= 1; --m) {
        if (body[m] == kSpace) {
          breakAt = m;
          break;
        }
        if (body[m] == kHyphen) {
          breakAt = m + 1;
          break;
        }
      }
      if (breakAt != 0) {
        kept = breakAt;
        MeasureFit(pane->surface, body, &bodyWidth, &kept);
      }
    }
    // Not one byte fits and nothing hangs: the row takes one byte anyway,
    // wider than the pane, so that the layout always moves on.
    if (kept == 0 && hangBytes == 0) {
      kept = 1;
      bodyWidth = INT32_MAX;
      MeasureFit(pane->surface, body, &bodyWidth, &kept);
      kept = 1;
    }

    LineEntry& line = pane->lines[static_cast<size_t>(state->row)];
    line.length = static_cast<uint16_t>(kept);
    line.hangWidth = Clamp16(f);
    line.width = Clamp16(bodyWidth);
    line.height = Clamp16(state->rowHeight);
    if (reversed) {
      // The stored run the body covers; the spaces and the hanging word
      // follow it in the stored text.
      line.offset = static_cast<uint16_t>(record.text + textLength - bodyStart - kept);
    } else {
      line.offset = static_cast<uint16_t>(record.text + (hangBytes != 0 ? k : bodyStart));
    }
    const int32_t t = state->indent + f;
    int32_t x = pane->x + t;
    switch (record.flags & kAlignMask) {
      case kAlignRight: x = pane->x + width - t - bodyWidth; break;
      case kAlignCentre: x = pane->x + state->indent + (width - t - bodyWidth) / 2; break;
      default: break;
    }
    line.x = Clamp16(x);
    state->indent = t;
    f = 0;

    const int32_t advance = kept + hangBytes;
    if (advance == n) {
      line.flags = record.flags;
      if (record.flags & kFlagBlankAfter) ++state->blankUnits;
    } else {
      line.flags = static_cast<uint8_t>(record.flags & ~kFlagBlankAfter);
    }
    k += advance;
    n -= advance;
    ++state->row;
  }
  return true;
}

}  // namespace

int GrowLineTable(TextPane* pane, int32_t row) {
  const int32_t capacity = pane->lineCapacity;
  const int32_t grown = std::min(capacity + kLineTableStep, kMaxRows);
  std::unique_ptr<LineEntry[]> table;
  if (grown > capacity) table.reset(new (std::nothrow) LineEntry[static_cast<size_t>(grown) + 1]);
  if (!table) {
    if (pane->lines) pane->lines[static_cast<size_t>(row)] = LineEntry{};
    return kPaneNoMemory;
  }
  if (pane->lines) std::copy_n(pane->lines.get(), capacity, table.get());
  pane->lines = std::move(table);
  pane->lineCapacity = static_cast<uint16_t>(grown);
  return kPaneOk;
}

int LayOutArticle(TextPane* pane, ArticleBuffer* article, bool replace) {
  if (!pane) return kPaneMissing;
  pane->highlightStart = 0;
  pane->highlightEnd = 0;
  pane->unitCount = 0;
  pane->maxTopLine = 0;
  if (!article || !*article) {
    if (replace) pane->article = ArticleBuffer{};
    return kPaneNothing;
  }
  const std::span<const uint8_t> records = article->records();
  TextRecord first;
  if (!ReadRecord(records, 0, &first) || (!IsRule(first.flags) && first.textLength == 0)) return kPaneBadData;

  // The article laid out is held here until the rows are done; with replace
  // the pane's previous article is let go first.
  ArticleBuffer adopted = std::move(*article);
  if (replace) pane->article = ArticleBuffer{};
  if (!pane->lines || pane->lineCapacity == 0) {
    pane->lines.reset(new (std::nothrow) LineEntry[size_t{kLineTableStep} + 1]);
    if (!pane->lines) {
      pane->lineCapacity = 0;
      if (!replace) pane->article = std::move(adopted);
      return kPaneNoMemory;
    }
    pane->lineCapacity = kLineTableStep;
  }

  LayoutState state{pane, adopted.bytes.get(), kFlagPlain, 0, 0, 0, 0, 0};
  const FontHandle before = SelectStyle(pane, kFlagPlain, false);
  state.rowHeight = GetTextMetrics(pane->surface).height;

  bool complete = true;
  TextRecord record;
  for (size_t at = 0; complete && ReadRecord(records, at, &record); at = NextRecordOffset(record)) {
    int hanging = record.param >> kHangingShift;
    const bool rule = IsRule(record.flags);
    if (hanging != 0 && !rule && record.textLength > 0 && state.bytes[record.text] == 0x20 && state.row > 0) {
      // A continuation: it hangs nothing and keeps the indentation reached.
      hanging = 0;
      state.indent += (record.param & kIndentMask) - (state.previousParam & kIndentMask);
    } else {
      state.indent = (hanging != 0 && !rule) ? (record.param & kIndentMask) : record.param;
    }
    state.previousParam = record.param;
    if (rule) {
      if (record.param == 0) continue;
      if (!RoomForRow(&state)) {
        complete = false;
        break;
      }
      LayOutRule(&state, record);
    } else {
      complete = LayOutText(&state, record, hanging);
    }
  }
  if (!complete) {
    // The rows made so far stay, ended by the terminator GrowLineTable wrote.
    pane->lines[static_cast<size_t>(state.row)] = LineEntry{};
    if (!replace) pane->article = std::move(adopted);
    if (before) SelectFont(pane->surface, before);
    return kPaneNoMemory;
  }

  const int32_t rows = state.row;
  pane->lines[static_cast<size_t>(rows)] = LineEntry{};
  int32_t units = rows + state.blankUnits;
  if (rows > 0 && (pane->lines[static_cast<size_t>(rows) - 1].flags & kFlagBlankAfter)) {
    // No blank unit follows the article's last row.
    pane->lines[static_cast<size_t>(rows) - 1].flags &= static_cast<uint8_t>(~kFlagBlankAfter);
    --units;
  }
  pane->lineCount = static_cast<uint16_t>(rows);
  pane->unitCount = Clamp16(units);
  pane->article = std::move(adopted);
  ComputeMaxTopLine(pane);
  if (before) SelectFont(pane->surface, before);
  return kPaneOk;
}

int32_t ComputeMaxTopLine(TextPane* pane) {
  if (!pane->lines || pane->unitCount == 0 || pane->lineCount == 0) return -1;
  auto room = static_cast<int32_t>(static_cast<int16_t>(pane->height));
  int32_t units = 0;
  for (int32_t row = pane->lineCount - 1; row >= 0; --row) {
    const LineEntry& line = pane->lines[static_cast<size_t>(row)];
    if (line.height > room) break;
    room -= line.height;
    ++units;
    if (line.flags & kFlagBlankAfter) {
      // Its blank unit lies below it.
      room -= line.height;
      ++units;
    }
  }
  // The last blank unit counted fitted, its row did not.
  if (room < 0) --units;
  pane->maxTopLine = static_cast<uint16_t>(std::max(0, pane->unitCount - units));
  return pane->maxTopLine;
}

int ShowOffset(TextPane* pane, uint16_t offset) {
  if (!pane || !pane->lines) return 0;
  int32_t units = 0;
  for (int32_t row = 0; row < pane->lineCount; ++row) {
    const LineEntry& line = pane->lines[static_cast<size_t>(row)];
    if (line.offset <= offset && offset <= line.offset + line.length) {
      pane->topLine = static_cast<uint16_t>(std::min<int32_t>(units, pane->maxTopLine));
      return 1;
    }
    units += (line.flags & kFlagBlankAfter) ? 2 : 1;
  }
  return 0;
}
