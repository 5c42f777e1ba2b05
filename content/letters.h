#pragma once
// The letter code and its conversion to display characters.
//
// Every text is stored one byte a character: 0x61..0x7B are the 27 Hebrew
// letters in code-point order (final forms at their own places), 0x7E is a
// literal left curly bracket, 0 ends a text and any other byte stands for
// itself. Texts become display characters only when they are measured, drawn
// or exported, through the letter base: the display code point of the first
// letter.

#include <cstdint>
#include <memory>

enum : uint8_t {
  kFirstLetter = 0x61,
  kLastLetter = 0x7B,
  kCurlyEscape = 0x7E,  // stands for '{', whose own byte is the 27th letter
};

constexpr int kLetterCount = 27;

// The three letter bases in use.
constexpr int32_t kLatinLetterBase = 97;     // the bytes themselves
constexpr int32_t kCodePageLetterBase = 224;  // the Windows-1255 positions
constexpr int32_t kUnicodeLetterBase = 0x5D0;  // the Unicode Hebrew block (default)

// The Flags bit of the Reverse setting.
constexpr uint32_t kFlagReverse = 0x800;

// A growable wide-character buffer that conversions write into.
struct ConversionBuffer {
  std::unique_ptr<char16_t[]> chars;
  int32_t capacity = 0;  // characters it holds, besides the terminator
};

// The program's one conversion buffer, shared by measuring, drawing and the
// plain-text export. A string converted through it is valid until the next
// conversion.
ConversionBuffer& SharedConversionBuffer();

// Points the conversion at the letter base and the Flags word it reads at
// every call (the reader's settings, which change at run time). Unbound, or
// bound to nothing, the conversion uses the Unicode base and no Reverse.
void BindLetterSettings(const int32_t* letterBase, uint32_t* flags);

// The letter base and Flags word in force now.
int32_t CurrentLetterBase();
uint32_t CurrentFlags();

// Clears the Reverse bit of the bound Flags word for the length of one
// measurement, so that widths and fits follow the stored order, and returns
// the word as it was for RestoreFlags.
uint32_t SuspendReverse();
void RestoreFlags(uint32_t flags);

// The display character of one letter-code byte under a letter base.
constexpr char16_t DisplayCharacter(uint8_t byte, int32_t letterBase) {
  if (byte >= kFirstLetter && byte <= kLastLetter) {
    return static_cast<char16_t>((static_cast<uint32_t>(letterBase) & 0xFFFF) + (byte - kFirstLetter));
  }
  return byte == kCurlyEscape ? u'{' : static_cast<char16_t>(byte);
}

// Converts at most n bytes of text (fewer when a 0 byte comes first) into the
// shared buffer, growing it when it holds fewer than n characters, and
// returns the zero-terminated result, or nothing when memory cannot be had
// (the buffer is then left empty). Under Reverse, unless the letter base is
// 97, the result is reversed with brackets mirrored.
const char16_t* MapLetters(const uint8_t* text, int32_t n, ConversionBuffer& shared);

// The same conversion into a string of the caller's own.
std::unique_ptr<char16_t[]> MapLetters(const uint8_t* text, int32_t n);

// Reverses the first n characters of s in place, swapping ( and ), [ and ],
// { and } on the way. Returns 0 (it needs no working memory, so it cannot
// fail).
int ReverseMirrored(char16_t* s, int32_t n);

// The mirror image of a bracket, or the character itself.
constexpr char16_t MirroredBracket(char16_t c) {
  switch (c) {
    case u'(': return u')';
    case u')': return u'(';
    case u'[': return u']';
    case u']': return u'[';
    case u'{': return u'}';
    case u'}': return u'{';
    default: return c;
  }
}
