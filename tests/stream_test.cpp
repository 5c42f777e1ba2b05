// Unpacking: the token scheme, the checks on malformed streams, and the
// loader's error codes.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "content/article.h"
#include "content/stream.h"
#include "platform/headless/headless.h"

namespace {

using Bytes = std::vector<uint8_t>;

Bytes Ref(unsigned distance, unsigned count) {
  const unsigned w = 0x8000u | distance << 3 | (count - 3);
  return {static_cast<uint8_t>(w >> 8), static_cast<uint8_t>(w & 0xFF)};
}

Bytes Cat(std::initializer_list<Bytes> parts) {
  Bytes out;
  for (const Bytes& p : parts) out.insert(out.end(), p.begin(), p.end());
  return out;
}

Bytes Str(const std::string& s) { return Bytes(s.begin(), s.end()); }

struct UnpackCase {
  const char* name;
  Bytes stream;
  size_t unpacked;
  Bytes expected;  // empty: a buffer error
};

void PrintTo(const UnpackCase& c, std::ostream* os) { *os << c.name; }

class UnCompressTable : public testing::TestWithParam<UnpackCase> {
 protected:
  void SetUp() override { ResetHeadless(); }
};

TEST_P(UnCompressTable, Unpacks) {
  const UnpackCase& c = GetParam();
  int error = -1;
  const ArticleBuffer out = UnCompress(c.stream.data(), static_cast<uint16_t>(c.stream.size()),
                                       static_cast<uint16_t>(c.unpacked), &error);
  if (c.expected.empty()) {
    EXPECT_FALSE(out);
    EXPECT_EQ(error, kLoadBufferError);
    ASSERT_EQ(Headless().messageBoxes.size(), 1u);
    const RecordedMessageBox& box = Headless().messageBoxes[0];
    EXPECT_EQ(box.owner, nullptr);
    EXPECT_EQ(box.text, u"UnCompress() buffer error!");
    EXPECT_EQ(box.caption, u"");
    EXPECT_EQ(box.type, kMbOk);
    return;
  }
  ASSERT_TRUE(out);
  EXPECT_EQ(error, -1) << "the error place is left alone on success";
  EXPECT_EQ(out.size, c.unpacked);
  EXPECT_EQ(Bytes(out.bytes.get(), out.bytes.get() + out.size), c.expected);
  EXPECT_EQ(out.bytes[out.size], 0) << "a zero follows the data";
  EXPECT_EQ(out.bytes[out.size + 1u], 0);
  EXPECT_TRUE(Headless().messageBoxes.empty());
}

const UnpackCase kUnpackCases[] = {
    {"ZeroByteIsALiteralZero", {0x00, 'a'}, 2, {0x00, 'a'}},
    {"LiteralRun", {0x03, 0xDC, 0x00, 0xFF}, 3, {0xDC, 0x00, 0xFF}},
    {"LiteralsFrom09To7F", {0x09, 0x41, 0x7F}, 3, {0x09, 0x41, 0x7F}},
    {"SpacePair", {0xE1}, 2, {' ', 'a'}},
    {"SpacePairAtTheLastPlaceDropsItsSecondByte", {'x', 0xE1}, 2, {'x', ' '}},
    {"CountTenDistanceOneRepeatsTheLastByte", Cat({{'a'}, Ref(1, 10)}), 11, Bytes(11, 'a')},
    {"CountBeyondDistanceRepeatsTheLastBytes", Cat({Str("ab"), Ref(2, 7)}), 9, Str("ababababa")},
    {"LongestDistance", Cat({{'q'}, Bytes(2046, 0x20), Ref(2047, 3)}), 2050,
     Cat({{'q'}, Bytes(2046, 0x20), {'q', ' ', ' '}})},
    {"MoreThanUStopsAtUAndSucceeds", Str("abcdef"), 4, Str("abcd")},
    {"RunCutByTheOutputEnd", {0x08, 1, 2, 3}, 2, {1, 2}},
    {"ReferenceCutByTheOutputEnd", Cat({Str("ab"), Ref(2, 10)}), 5, Str("ababa")},
    {"DataEndingInZerosStillGetsItsZero", {0, 0}, 2, {0, 0}},
    // Malformed streams: buffer errors, never reads outside.
    {"StreamTooShort", Str("abc"), 4, {}},
    {"RunPastTheStreamEnd", {0x05, 'a', 'b'}, 5, {}},
    {"ReferenceWithoutItsSecondByte", {'a', 0x80}, 4, {}},
    {"DistanceZero", Cat({Str("abc"), Ref(0, 3)}), 6, {}},
    {"DistanceBeyondTheOutput", Cat({Str("abc"), Ref(4, 3)}), 6, {}},
    {"ReferenceAsTheFirstToken", Ref(1, 3), 3, {}},
};

INSTANTIATE_TEST_SUITE_P(Stream, UnCompressTable, testing::ValuesIn(kUnpackCases),
                         [](const auto& c) { return std::string(c.param.name); });

// The fast path of the unpacker runs while both ends are far off; the same
// malformed tokens must be caught there too.
TEST(UnpackStream, MalformedTokensAreCaughtFarFromTheEnds) {
  const Bytes prefix(64, 'a');
  for (const Bytes& bad : {Ref(0, 5), Ref(65, 3), Ref(2047, 10)}) {
    const Bytes stream = Cat({prefix, bad, Bytes(64, 'b')});
    Bytes out(200);
    const UnpackResult r = UnpackStream(stream.data(), stream.size(), out.data(), out.size());
    EXPECT_TRUE(r.malformed);
    EXPECT_EQ(r.written, 64u);
  }
}

TEST(UnpackStream, ReportsTheBytesConsumed) {
  const Bytes stream = Cat({Str("abcdefgh"), Ref(8, 10), {0xE1}, Str("tail")});
  Bytes out(24);
  const UnpackResult r = UnpackStream(stream.data(), stream.size(), out.data(), out.size());
  EXPECT_FALSE(r.malformed);
  EXPECT_EQ(r.written, 24u);
  EXPECT_EQ(r.consumed, stream.size());
}

TEST(UnCompress, NothingToUnpack) {
  const uint8_t stream[] = {'a'};
  int error = 0;
  EXPECT_FALSE(UnCompress(stream, 1, 0, &error));
  EXPECT_EQ(error, kLoadNothing);
  error = 0;
  EXPECT_FALSE(UnCompress(nullptr, 1, 5, &error));
  EXPECT_EQ(error, kLoadNothing);
  EXPECT_FALSE(UnCompress(nullptr, 1, 5, nullptr)) << "the error place is optional";
}

// A container around a stream, as the packer writes it.
Bytes Container(const Bytes& stream, size_t unpacked, size_t lengthField = 0) {
  const size_t length = lengthField ? lengthField : stream.size() + 8;
  Bytes c = {static_cast<uint8_t>(length >> 8), static_cast<uint8_t>(length), 0, 21, 0, 21,
             static_cast<uint8_t>(stream.size() >> 8), static_cast<uint8_t>(stream.size()),
             static_cast<uint8_t>(unpacked >> 8), static_cast<uint8_t>(unpacked)};
  c.insert(c.end(), stream.begin(), stream.end());
  c.insert(c.end(), {0, 0, 0, 0});
  return c;
}

class LoadArticleTest : public testing::Test {
 protected:
  void SetUp() override {
    ResetHeadless();
    good_ = Container({0x01, 0xDC, 0x00, 'a', 0x00, 0x00, 0x00, 0x00}, 7);
    lengthFour_ = Container({'a'}, 1, 4);
    packedZero_ = Container({}, 1);
    unpackedZero_ = Container({'a'}, 0);
    truncated_ = Container(Str("abcdefgh"), 8);
    truncated_.resize(12);  // the stream said to be 8 bytes, but only 2 there
    lengthOnly_ = {0x00, 0x09, 0x00};
    index_ = Container(Str("index"), 5);
    resources_ = {
        {kResourceRcData, 1001, static_cast<uint32_t>(good_.size()), good_.data()},
        {kResourceRcData, 1002, 0, nullptr},
        {kResourceRcData, 1003, static_cast<uint32_t>(lengthFour_.size()), lengthFour_.data()},
        {kResourceRcData, 1004, static_cast<uint32_t>(packedZero_.size()), packedZero_.data()},
        {kResourceRcData, 1005, static_cast<uint32_t>(unpackedZero_.size()), unpackedZero_.data()},
        {kResourceRcData, 1006, static_cast<uint32_t>(truncated_.size()), truncated_.data()},
        {kResourceRcData, 1007, static_cast<uint32_t>(lengthOnly_.size()), lengthOnly_.data()},
        {kResourceRcData, 32767, static_cast<uint32_t>(index_.size()), index_.data()},
    };
    Headless().resources = resources_;
  }
  void TearDown() override { ResetHeadless(); }

  Bytes good_, lengthFour_, packedZero_, unpackedZero_, truncated_, lengthOnly_, index_;
  std::vector<ResourceEntry> resources_;
};

TEST_F(LoadArticleTest, ErrorCodes) {
  struct Case {
    int32_t number;
    int code;  // 0: loads
  };
  const Case cases[] = {
      {1, 0}, {2, kLoadNoBuffer}, {3, kLoadBadContainer}, {4, kLoadBadContainer}, {5, kLoadNothing},
      {6, kLoadBufferError}, {7, kLoadBadContainer}, {499, kLoadNoResource}, {kIndexNumber, 0},
  };
  for (const Case& c : cases) {
    int error = 0;
    const ArticleBuffer a = LoadArticle(c.number, &error);
    EXPECT_EQ(static_cast<bool>(a), c.code == 0) << c.number;
    EXPECT_EQ(error, c.code) << c.number;
  }
}

TEST_F(LoadArticleTest, LoadsTheArticleAndTheIndex) {
  const ArticleBuffer a = LoadArticle(1, nullptr);
  ASSERT_TRUE(a);
  EXPECT_EQ(Bytes(a.bytes.get(), a.bytes.get() + a.size), Bytes({0xDC, 0x00, 'a', 0x00, 0x00, 0x00, 0x00}));
  const ArticleBuffer index = LoadArticle(kIndexNumber, nullptr);
  ASSERT_TRUE(index);
  EXPECT_EQ(Bytes(index.bytes.get(), index.bytes.get() + index.size), Str("index"));
}

TEST_F(LoadArticleTest, NumbersBelowOneYieldNothingAndNoCode) {
  for (const int32_t number : {0, -1, -1000}) {
    int error = 42;
    EXPECT_FALSE(LoadArticle(number, &error));
    EXPECT_EQ(error, 42);
  }
  EXPECT_TRUE(Headless().messageBoxes.empty());
}

TEST_F(LoadArticleTest, OnlyTheBufferErrorShowsAMessage) {
  for (int32_t n = 2; n <= 7; ++n) LoadArticle(n, nullptr);
  LoadArticle(499, nullptr);
  ASSERT_EQ(Headless().messageBoxes.size(), 1u) << "only article 6, the truncated stream";
  EXPECT_EQ(Headless().messageBoxes[0].text, u"UnCompress() buffer error!");
}

}  // namespace
