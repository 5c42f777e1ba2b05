// The volume built into the program: every container loads, and the sample
// volume has the shape of the one the reader ships.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "content/article.h"
#include "content/records.h"
#include "platform/headless/headless.h"
#include "platform/resources.h"

namespace {

constexpr bool kSampleVolume = QUENZIL_SAMPLE_VOLUME;

uint16_t Be16(const uint8_t* p) { return static_cast<uint16_t>(p[0] << 8 | p[1]); }

std::vector<int32_t> AllNumbers() {
  std::vector<int32_t> numbers;
  for (int32_t n = 1; n <= kArticleCount; ++n) numbers.push_back(n);
  numbers.push_back(kIndexNumber);
  return numbers;
}

TEST(Volume, EveryContainerIsWellFormedAndUnpacksExactly) {
  ResetHeadless();
  for (const int32_t n : AllNumbers()) {
    const ResourceEntry* r = FindResource(static_cast<uint16_t>(n + kArticleResourceBase), kResourceRcData);
    ASSERT_NE(r, nullptr) << n;
    const uint8_t* c = LoadResource(r);
    const uint16_t packed = Be16(c + 6), unpacked = Be16(c + 8);
    EXPECT_EQ(Be16(c), r->size - 6) << n;
    EXPECT_EQ(r->size, packed + 14u) << n;
    const uint16_t tag1 = n == kIndexNumber ? 1 : static_cast<uint16_t>(n + 20);
    const uint16_t tag2 = n == kIndexNumber ? 255 : static_cast<uint16_t>(n + 20);
    EXPECT_EQ(Be16(c + 2), tag1) << n;
    EXPECT_EQ(Be16(c + 4), tag2) << n;
    EXPECT_TRUE(std::all_of(c + 10 + packed, c + 14 + packed, [](uint8_t b) { return b == 0; })) << n;
    int error = 0;
    const ArticleBuffer a = LoadArticle(n, &error);
    ASSERT_TRUE(a) << n << " error " << error;
    EXPECT_EQ(a.size, unpacked);
  }
  EXPECT_TRUE(Headless().messageBoxes.empty());
}

class SampleVolume : public testing::Test {
 protected:
  void SetUp() override {
    if (!kSampleVolume) GTEST_SKIP() << "built with a volume of its own";
    ResetHeadless();
  }
};

bool IsShippedTextByte(uint8_t b) {
  return (b >= 0x61 && b <= 0x7B) || std::string_view(" :.'\"()[]").find(static_cast<char>(b)) != std::string_view::npos;
}

// The five final letters and the forms they replace, in the letter code.
bool IsFinal(uint8_t b) { return b == 0x6B || b == 0x6E || b == 0x70 || b == 0x74 || b == 0x76; }
bool HasFinalForm(uint8_t b) { return IsFinal(static_cast<uint8_t>(b - 1)); }
bool IsLetter(uint8_t b) { return b >= 0x61 && b <= 0x7B; }

// In reading order, a final letter ends its word and the five letters with a
// final form never do.
void ExpectFinalFormsOnlyAtWordEnds(std::string reading, int32_t article) {
  for (size_t i = 0; i < reading.size(); ++i) {
    const auto b = static_cast<uint8_t>(reading[i]);
    const bool endsWord = i + 1 == reading.size() || !IsLetter(static_cast<uint8_t>(reading[i + 1]));
    if (IsFinal(b)) {
      EXPECT_TRUE(endsWord) << "article " << article << " at " << i;
    }
    if (HasFinalForm(b)) {
      EXPECT_FALSE(endsWord) << "article " << article << " at " << i;
    }
  }
}

TEST_F(SampleVolume, ArticlesHaveTheShapeOfTheShippedOnes) {
  size_t total = 0, packedTotal = 0, asides = 0;
  for (int32_t n = 1; n <= kArticleCount; ++n) {
    const ArticleBuffer a = LoadArticle(n, nullptr);
    ASSERT_TRUE(a);
    total += a.size;
    const ResourceEntry* r = FindResource(static_cast<uint16_t>(n + kArticleResourceBase), kResourceRcData);
    packedTotal += Be16(LoadResource(r) + 6);
    EXPECT_LE(a.size, 5570) << n;
    ASSERT_GE(a.size, 3);
    EXPECT_TRUE(a.bytes[a.size - 1u] == 0 && a.bytes[a.size - 2u] == 0 && a.bytes[a.size - 3u] == 0) << n;

    std::vector<TextRecord> records;
    TextRecord t;
    size_t offset = 0;
    for (; ReadRecord(a.records(), offset, &t); offset = NextRecordOffset(t)) records.push_back(t);
    EXPECT_EQ(offset, a.size - 3u) << "article " << n << " ends in exactly three zero bytes";
    ASSERT_GE(records.size(), 2u) << n;
    EXPECT_EQ(records[0].flags, kTitleFlags) << n;
    EXPECT_TRUE(records[0].textLength == 10 || records[0].textLength == 11) << n;

    uint8_t previous = kTitleFlags;
    for (size_t i = 1; i < records.size(); ++i) {
      const uint8_t f = records[i].flags;
      if (n % 2 == 1) {
        EXPECT_EQ(f, 0xB1) << n;
      } else if (f == 0x82) {
        EXPECT_EQ(previous, 0xB2) << n;
        EXPECT_TRUE(records[i].textLength == 1 || records[i].textLength == 2) << n;
        ++asides;
      } else {
        EXPECT_EQ(f, previous == 0x51 ? 0xB2 : 0x51) << "commentary " << n << " record " << i;
      }
      previous = f;
    }
    if (n % 2 == 0) {
      EXPECT_NE(previous, 0x51) << "a lemma without its note in " << n;
    }

    for (const TextRecord& rec : records) {
      EXPECT_EQ(rec.param, 0) << n;
      EXPECT_LE(rec.textLength, 2924) << n;
      const uint8_t* text = a.bytes.get() + rec.text;
      EXPECT_TRUE(std::all_of(text, text + rec.textLength, IsShippedTextByte)) << n;
      if (rec.flags == 0xB1 || rec.flags == 0x51 || rec.flags == 0xB2) {
        std::string reading(text, text + rec.textLength);
        std::reverse(reading.begin(), reading.end());
        ExpectFinalFormsOnlyAtWordEnds(reading, n);
        EXPECT_TRUE(rec.flags == 0x51 || reading.back() == ':' || reading.back() == '.') << n;
      }
    }
  }
  EXPECT_EQ(asides, 3u);
  EXPECT_GE(total, 1'000'000u);
  EXPECT_LE(total, 1'500'000u);
  EXPECT_LE(packedTotal * 2, total) << "the volume packs to at most half its size: " << packedTotal << " of " << total;
}

TEST_F(SampleVolume, IndexHasTheShapeOfTheShippedOne) {
  const ArticleBuffer index = LoadArticle(kIndexNumber, nullptr);
  ASSERT_TRUE(index);
  const std::span<const uint8_t> b = index.records();
  size_t offset = 0;
  std::vector<int> entriesPerHeading;
  unsigned nextHeading = 0xBFFE, nextArticle = 1;
  while (offset + 4 < b.size() && b[offset + 2] != 0) {
    const unsigned id = unsigned{b[offset]} | unsigned{b[offset + 1]} << 8;
    const uint8_t flags = b[offset + 2], level = b[offset + 3];
    const size_t length = strnlen(reinterpret_cast<const char*>(b.data() + offset + 4), b.size() - offset - 4);
    EXPECT_TRUE(length == 5 || length == 6) << "at " << offset;
    if (flags == 0x8C) {
      EXPECT_EQ(id, nextHeading--);
      EXPECT_EQ(level, 1);
      entriesPerHeading.push_back(0);
    } else {
      EXPECT_EQ(flags, 0x01);
      EXPECT_EQ(level, 2);
      EXPECT_EQ(id, 0x4000 + nextArticle);
      nextArticle += 2;
      ASSERT_FALSE(entriesPerHeading.empty());
      ++entriesPerHeading.back();
    }
    offset += length + 5;
  }
  EXPECT_EQ(entriesPerHeading, std::vector<int>({16, 20, 20, 20, 20, 20, 20, 20, 20, 20, 11}));
  EXPECT_EQ(offset + 5, index.size) << "the index ends in five zero bytes";
  EXPECT_TRUE(std::all_of(b.begin() + static_cast<ptrdiff_t>(offset), b.end(), [](uint8_t x) { return x == 0; }));
}

}  // namespace
