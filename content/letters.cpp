#include "content/letters.h"

#include <algorithm>
#include <new>

namespace {

struct LetterSettings {
  const int32_t* letterBase = nullptr;
  uint32_t* flags = nullptr;
};

LetterSettings gSettings;

// Converts into dest, which has room for n + 1 characters; returns the count.
int32_t Convert(const uint8_t* text, int32_t n, char16_t* dest) {
  const int32_t base = CurrentLetterBase();
  int32_t count = 0;
  if (text) {
    while (count < n && text[count] != 0) {
      dest[count] = DisplayCharacter(text[count], base);
      ++count;
    }
  }
  dest[count] = 0;
  if (count > 0 && (base & 0xFFFF) != kLatinLetterBase && (CurrentFlags() & kFlagReverse)) {
    ReverseMirrored(dest, count);
  }
  return count;
}

}  // namespace

ConversionBuffer& SharedConversionBuffer() {
  static ConversionBuffer buffer;
  return buffer;
}

void BindLetterSettings(const int32_t* letterBase, uint32_t* flags) {
  gSettings.letterBase = letterBase;
  gSettings.flags = flags;
}

int32_t CurrentLetterBase() { return gSettings.letterBase ? *gSettings.letterBase : kUnicodeLetterBase; }

uint32_t CurrentFlags() { return gSettings.flags ? *gSettings.flags : 0; }

uint32_t SuspendReverse() {
  const uint32_t flags = CurrentFlags();
  if (gSettings.flags) *gSettings.flags = flags & ~kFlagReverse;
  return flags;
}

void RestoreFlags(uint32_t flags) {
  if (gSettings.flags) *gSettings.flags = flags;
}

const char16_t* MapLetters(const uint8_t* text, int32_t n, ConversionBuffer& shared) {
  n = std::max(n, 0);
  if (!shared.chars || shared.capacity < n) {
    shared.chars.reset();
    shared.capacity = 0;
    shared.chars.reset(new (std::nothrow) char16_t[static_cast<size_t>(n) + 1]);
    if (!shared.chars) return nullptr;
    shared.capacity = n;
  }
  Convert(text, n, shared.chars.get());
  return shared.chars.get();
}

std::unique_ptr<char16_t[]> MapLetters(const uint8_t* text, int32_t n) {
  n = std::max(n, 0);
  std::unique_ptr<char16_t[]> result(new (std::nothrow) char16_t[static_cast<size_t>(n) + 1]);
  if (result) Convert(text, n, result.get());
  return result;
}

int ReverseMirrored(char16_t* s, int32_t n) {
  if (!s || n <= 0) return 0;
  std::reverse(s, s + n);
  std::transform(s, s + n, s, MirroredBracket);
  return 0;
}
