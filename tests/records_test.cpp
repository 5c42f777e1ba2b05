// The walk over an article's records.
#include <gtest/gtest.h>

#include <vector>

#include "content/records.h"

namespace {

std::vector<TextRecord> Walk(const std::vector<uint8_t>& article) {
  std::vector<TextRecord> records;
  TextRecord r;
  for (size_t offset = 0; ReadRecord(article, offset, &r); offset = NextRecordOffset(r)) records.push_back(r);
  return records;
}

TEST(RecordWalk, FindsEveryRecordAndStopsAtFlagsZero) {
  const std::vector<uint8_t> article = {0xDC, 0, 'a', 'b', 0, 0xB1, 0x05, 'c', 0, 0, 0, 0, 0xB1, 0, 'x', 0};
  const std::vector<TextRecord> r = Walk(article);
  ASSERT_EQ(r.size(), 2u);
  EXPECT_EQ(r[0].offset, 0);
  EXPECT_EQ(r[0].flags, 0xDC);
  EXPECT_EQ(r[0].text, 2);
  EXPECT_EQ(r[0].textLength, 2);
  EXPECT_EQ(r[1].offset, 5);
  EXPECT_EQ(r[1].param, 0x05);
  EXPECT_EQ(r[1].text, 7);
  EXPECT_EQ(r[1].textLength, 1);
}

TEST(RecordWalk, RuleOfLengthZeroIsFollowedThreeBytesOn) {
  // A rule with code 0 whose "text" is not empty: the walk does not read it.
  const std::vector<uint8_t> article = {0x87, 0, 0, 0xB1, 0, 'a', 0, 0, 0, 0};
  const std::vector<TextRecord> r = Walk(article);
  ASSERT_EQ(r.size(), 2u);
  EXPECT_EQ(r[1].offset, 3);
  const std::vector<uint8_t> odd = {0x87, 0, 'q', 0xB1, 0, 'a', 0, 0, 0, 0};
  ASSERT_EQ(Walk(odd).size(), 2u);
  EXPECT_EQ(Walk(odd)[1].offset, 3);
}

TEST(RecordWalk, AnyFlagsWithLowThreeBitsIsARule) {
  for (int flags = 1; flags < 256; ++flags) {
    EXPECT_EQ(IsRule(static_cast<uint8_t>(flags)), (flags & 7) == 7) << flags;
  }
}

TEST(RecordWalk, NeverReadsPastTheBytes) {
  // A last text without its terminator, and a rule that would step past the end.
  EXPECT_TRUE(Walk({0xB1, 0, 'a', 'b'}).empty());
  EXPECT_EQ(Walk({0xB1, 0, 'a', 0, 0x87, 0}).size(), 1u);
  EXPECT_TRUE(Walk({}).empty());
}

}  // namespace
