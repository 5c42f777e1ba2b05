// Conversions between UTF-8 and UTF-16.
#include "platform/utf.h"

bool Utf8FromUtf16(const char16_t* s, size_t n, std::string* out) {
  for (size_t i = 0; i < n; ++i) {
    char32_t c = s[i];
    if (c >= 0xD800 && c < 0xDC00) {
      if (i + 1 >= n || s[i + 1] < 0xDC00 || s[i + 1] >= 0xE000) return false;
      c = 0x10000 + ((c - 0xD800) << 10) + (s[++i] - 0xDC00);
    } else if (c >= 0xDC00 && c < 0xE000) {
      return false;
    }
    if (c < 0x80) {
      out->push_back(static_cast<char>(c));
    } else if (c < 0x800) {
      out->push_back(static_cast<char>(0xC0 | (c >> 6)));
      out->push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
      out->push_back(static_cast<char>(0xE0 | (c >> 12)));
      out->push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
      out->push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
      out->push_back(static_cast<char>(0xF0 | (c >> 18)));
      out->push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
      out->push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
      out->push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
  }
  return true;
}

bool Utf16FromUtf8(std::string_view in, std::u16string* out) {
  for (size_t i = 0; i < in.size();) {
    const auto b = static_cast<uint8_t>(in[i]);
    size_t extra = 0;
    char32_t c = 0;
    if (b < 0x80) {
      c = b;
    } else if ((b & 0xE0) == 0xC0) {
      extra = 1;
      c = b & 0x1F;
    } else if ((b & 0xF0) == 0xE0) {
      extra = 2;
      c = b & 0x0F;
    } else if ((b & 0xF8) == 0xF0) {
      extra = 3;
      c = b & 0x07;
    } else {
      return false;
    }
    if (i + extra >= in.size()) return false;
    for (size_t k = 1; k <= extra; ++k) {
      const auto next = static_cast<uint8_t>(in[i + k]);
      if ((next & 0xC0) != 0x80) return false;
      c = c << 6 | (next & 0x3F);
    }
    const char32_t lowest[] = {0, 0x80, 0x800, 0x10000};
    if (c < lowest[extra] || c > 0x10FFFF || (c >= 0xD800 && c < 0xE000)) return false;
    i += extra + 1;
    if (c >= 0x10000) {
      out->push_back(static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10)));
      out->push_back(static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF)));
    } else {
      out->push_back(static_cast<char16_t>(c));
    }
  }
  return true;
}

