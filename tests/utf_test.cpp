// UTF-8 and UTF-16 conversions: well-formed text round-trips, and every
// kind of malformed input is refused.
#include <gtest/gtest.h>

#include "platform/utf.h"

namespace {

TEST(Utf, WellFormedTextRoundTrips) {
  const std::u16string texts[] = {u"", u"abc", u"\u05D0\u05EA {}", u"\u07FF\u0800\uFFFF", u"\U0001F600x"};
  for (const std::u16string& text : texts) {
    std::string utf8;
    ASSERT_TRUE(Utf8FromUtf16(text.data(), text.size(), &utf8));
    std::u16string back;
    ASSERT_TRUE(Utf16FromUtf8(utf8, &back));
    EXPECT_EQ(back, text);
  }
}

TEST(Utf, RefusesMalformedInput) {
  const char* bad[] = {
      "\xFF",              // never a lead byte
      "\x80",              // a continuation alone
      "\xC3",              // cut short
      "\xE2\x82",          // cut short
      "\xC0\xAF",          // overlong
      "\xE0\x80\xAF",      // overlong
      "\xED\xA0\x80",      // a surrogate
      "\xF4\x90\x80\x80",  // above U+10FFFF
      "a\xC3(",            // a bad continuation
  };
  for (const char* s : bad) {
    std::u16string out;
    EXPECT_FALSE(Utf16FromUtf8(s, &out)) << s;
  }
  const char16_t lone[][2] = {{0xD800, u'a'}, {0xDC00, u'a'}};
  for (const auto& s : lone) {
    std::string out;
    EXPECT_FALSE(Utf8FromUtf16(s, 2, &out));
  }
  const char16_t endsInHigh[] = {u'a', 0xD83D};
  std::string out;
  EXPECT_FALSE(Utf8FromUtf16(endsInHigh, 2, &out));
}

}  // namespace
