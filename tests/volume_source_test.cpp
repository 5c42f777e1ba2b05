// Reading a volume source: what it turns into, and the faults it reports.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tools/pack/volume_source.h"

namespace {

using Bytes = std::vector<uint8_t>;

// A valid source: every article a title (and article 1 what a test puts in
// it), and an index of one heading and one entry.
std::string Source(const std::string& article1 = "title\tא", const std::string& index = "heading 0xBFFE\tפרק\nentry 1\tדף") {
  std::string s = "quenzil-volume 1\narticle 1\n" + article1 + "\n";
  for (int n = 2; n <= 414; ++n) s += "article " + std::to_string(n) + "\ntitle\tב\n";
  return s + "index\n" + index + "\n";
}

std::vector<SourceError> Errors(const std::string& source) {
  Volume volume;
  std::vector<SourceError> errors;
  EXPECT_FALSE(ParseVolumeSource(source, &volume, &errors));
  return errors;
}

TEST(VolumeSource, ValidSourceBecomesTheLetterCode) {
  Volume v;
  std::vector<SourceError> errors;
  const std::string article1 = "title\tאב (ג]\naside\tא{\ntext\tת{\nrecord 0x87 210\t";
  ASSERT_TRUE(ParseVolumeSource(Source(article1), &v, &errors)) << errors[0].message;
  ASSERT_EQ(v.articles.size(), 414u);
  const Bytes expected = {
      0xDC, 0, '[', 'c', ')', ' ', 'b', 'a', 0,  // stored reversed, brackets mirrored
      0x82, 0, 'a', 0x7E, 0,                       // stored order; the bracket escaped
      0xB1, 0, '}', 0x7B, 0,                       // reversed: { became }, the letter stays
      0x87, 210, 0,                                // a rule
      0, 0, 0};
  EXPECT_EQ(v.articles[0], expected);
  EXPECT_EQ(v.articles[413], Bytes({0xDC, 0, 'b', 0, 0, 0, 0}));
  // id low byte first, flags, level, text reversed; five zero bytes at the end.
  const Bytes index = {0xFE, 0xBF, 0x8C, 1, 'x', 'y', 'u', 0, 0x01, 0x40, 0x01, 2, 't', 'd', 0, 0, 0, 0, 0, 0};
  EXPECT_EQ(v.index, index);
}

TEST(VolumeSource, OutlineRecordsAndCommentsAndBlankLines) {
  Volume v;
  std::vector<SourceError> errors;
  std::string s = Source("# a comment\n\ntitle\tא", "outline 0x1234 0xC1 3\tאב");
  ASSERT_TRUE(ParseVolumeSource(s, &v, &errors));
  EXPECT_EQ(v.index, Bytes({0x34, 0x12, 0xC1, 3, 'b', 'a', 0, 0, 0, 0, 0, 0}));
}

struct FaultCase {
  const char* name;
  std::string source;
  int line;
  const char* message;  // a part of the first error
};

void PrintTo(const FaultCase& c, std::ostream* os) { *os << c.name; }

class VolumeSourceFaults : public testing::TestWithParam<FaultCase> {};

TEST_P(VolumeSourceFaults, AreReportedWithTheirLine) {
  const FaultCase& c = GetParam();
  const std::vector<SourceError> errors = Errors(c.source);
  ASSERT_FALSE(errors.empty());
  EXPECT_EQ(errors[0].line, c.line) << errors[0].message;
  EXPECT_NE(errors[0].message.find(c.message), std::string::npos) << errors[0].message;
}

std::string WithoutLastArticle() {
  std::string s = Source();
  const size_t at = s.find("article 414\n");
  return s.erase(at, std::string("article 414\ntitle\tב\n").size());
}

std::string LongText(size_t letters) {
  std::string s;
  for (size_t i = 0; i < letters; ++i) s += "א";
  return s;
}

const FaultCase kFaults[] = {
    {"PointIsNotALetter", Source("title\tא\u05B0"), 3, "U+05B0 is not one of the 27 letters"},
    {"LatinLetter", Source("title\taleph"), 3, "U+0061 'a' is not allowed"},
    {"Tilde", Source("title\t~"), 3, "U+007E '~' is not allowed"},
    {"ControlCharacter", Source("title\tא\x01"), 3, "U+0001 is not allowed"},
    {"TabInText", Source("title\tא\tב"), 3, "U+0009 is not allowed"},
    {"OtherScript", Source("title\t\u00E9"), 3, "U+00E9 is not allowed"},
    {"BadUtf8", Source("title\t\xD7"), 3, "not valid UTF-8"},
    {"OverlongUtf8", Source("title\t\xC0\xA0"), 3, "not valid UTF-8"},
    {"TextTooLong", Source("text\t" + LongText(32768)), 3, "text too long: 32768 bytes"},
    {"ArticleTooLong", Source("text\t" + LongText(32767) + "\ntext\t" + LongText(32767)), 2,
     "article 1 is 65543 bytes"},
    {"WrongArticleCount", WithoutLastArticle(), 828, "wrong article count: 413"},
    {"ArticleOutOfOrder", "quenzil-volume 1\narticle 2\ntitle\tא\n", 2, "expected article 1"},
    {"ArticleNumberTooLarge", "quenzil-volume 1\narticle 415\n", 2, "from 1 to 414"},
    {"NoHeader", "article 1\ntitle\tא\n", 1, "starts with 'quenzil-volume 1'"},
    {"EmptySource", "", 0, "empty source"},
    {"CrLf", Source("title\tא\r"), 3, "line ends in CR"},
    {"UnknownKind", Source("heading\tא"), 3, "unknown record kind 'heading'"},
    {"NoTab", Source("title א"), 3, "needs a TAB"},
    {"RecordBeforeArticle", "quenzil-volume 1\ntitle\tא\n", 2, "before the first 'article'"},
    {"FlagsZero", Source("record 0 0\tא"), 3, "flags must be a number from 1 to 255"},
    {"FlagsOfBlankAfterAlone", Source("record 0x80 0\tא"), 3, "flags 0x80 make no style, kind or alignment; use 0x81"},
    {"RuleWithText", Source("title\tא\nrecord 0x07 10\tא"), 4, "a rule record has no text"},
    {"ArticleWithoutRecords", Source("# nothing"), 2, "article 1 has no records"},
    {"HeadingIdNotAHeading", Source("title\tא", "heading 0xC000\tא"), 831, "a heading id"},
    {"EntryBeyondTheArticles", Source("title\tא", "entry 415\tא"), 831, "from 1 to 414"},
    {"EmptyIndexText", Source("title\tא", "entry 1\t"), 831, "needs a text"},
    {"SameIdTwice", Source("title\tא", "entry 1\tא\nentry 1\tב"), 832, "same id"},
    {"NoIndex", Source().substr(0, Source().find("index\n")), 0, "no index"},
    {"ArticleAfterIndex", Source() + "article 1\n", 833, "after the index"},
};

INSTANTIATE_TEST_SUITE_P(Faults, VolumeSourceFaults, testing::ValuesIn(kFaults),
                         [](const auto& c) { return std::string(c.param.name); });

TEST(VolumeSource, ReportsEveryFaultNotJustTheFirst) {
  const std::vector<SourceError> errors = Errors(Source("title\tא\ntext\ta\ntext\t~\nbogus\tא"));
  ASSERT_EQ(errors.size(), 3u);
  EXPECT_EQ(errors[0].line, 4);
  EXPECT_EQ(errors[1].line, 5);
  EXPECT_EQ(errors[2].line, 6);
}

}  // namespace
