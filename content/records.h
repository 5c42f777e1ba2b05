#pragma once
// The records of an unpacked article. An article is a run of TextRecords
// (flags byte, param byte, zero-terminated letter-code text) with nothing
// between them, ended by a flags byte of 0. Offsets count bytes from the
// article's first flags byte and are 16-bit, so an article is at most 65,535
// bytes long.

#include <cstddef>
#include <cstdint>
#include <span>

// Bits of a record's flags byte.
enum : uint8_t {
  kFlagPlain = 0x01,
  kFlagSmall = 0x02,
  kFlagLarge = 0x04,
  kFlagBold = 0x08,
  kFlagStoredReversed = 0x10,
  kAlignMask = 0x60,
  kAlignLeft = 0x00,
  kAlignRight = 0x20,
  kAlignCentre = 0x40,
  kAlignLeftToo = 0x60,
  kFlagBlankAfter = 0x80,
  kRuleBits = 0x07,     // all three set: a rule record
  kStyleKeyMask = 0x1F,  // selects font and colour
};

// The flags of the records the title banner looks for at an article's start.
constexpr uint8_t kTitleFlags = 0xDC;
constexpr uint8_t kSubtitleFlags = 0xD1;

// The param byte of a text record: indent in pixels and hanging code.
constexpr uint8_t kIndentMask = 0x3F;
constexpr int kHangingShift = 6;

// Whether a flags byte makes a rule record, whatever its other bits say.
constexpr bool IsRule(uint8_t flags) { return (flags & kRuleBits) == kRuleBits; }

// One record of an article, as found by the walk.
struct TextRecord {
  uint16_t offset;      // of the flags byte
  uint8_t flags;
  uint8_t param;
  uint16_t text;        // offset of the first text byte
  uint16_t textLength;  // bytes before the terminating 0
};

// Reads the record at offset of an article (its bytes up to and including
// the zero byte that follows them). False at the end of the article: a flags
// byte of 0, or an offset at or past the bytes there are.
bool ReadRecord(std::span<const uint8_t> article, size_t offset, TextRecord* record);

// Where the record after this one starts: one byte past its text's 0, or
// three bytes past its flags byte for a rule of length code 0 (whose text the
// layout takes to be empty).
size_t NextRecordOffset(const TextRecord& record);
