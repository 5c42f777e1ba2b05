#include "tools/pack/volume_source.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <optional>

#include "content/article.h"
#include "content/letters.h"

// Sections: decoding UTF-8 and characters; numbers and words; the line
// parser (a small state machine: header, articles, index).
namespace {

constexpr char32_t kFirstHebrewLetter = 0x5D0;
constexpr char32_t kLastHebrewLetter = 0x5EA;

std::string CodePointName(char32_t c) {
  char buf[32];
  if (c >= 0x21 && c < 0x7F) {
    std::snprintf(buf, sizeof buf, "U+%04X '%c'", static_cast<unsigned>(c), static_cast<char>(c));
  } else {
    std::snprintf(buf, sizeof buf, "U+%04X", static_cast<unsigned>(c));
  }
  return buf;
}

// Decodes UTF-8 strictly: no overlong forms, no surrogates, nothing past
// U+10FFFF.
bool DecodeUtf8(std::string_view s, std::vector<char32_t>* out) {
  for (size_t i = 0; i < s.size();) {
    const auto b = static_cast<uint8_t>(s[i]);
    size_t extra;
    char32_t c, min;
    if (b < 0x80) { c = b; extra = 0; min = 0; }
    else if ((b & 0xE0) == 0xC0) { c = b & 0x1Fu; extra = 1; min = 0x80; }
    else if ((b & 0xF0) == 0xE0) { c = b & 0x0Fu; extra = 2; min = 0x800; }
    else if ((b & 0xF8) == 0xF0) { c = b & 0x07u; extra = 3; min = 0x10000; }
    else return false;
    if (i + extra >= s.size()) return false;
    for (size_t k = 1; k <= extra; ++k) {
      const auto t = static_cast<uint8_t>(s[i + k]);
      if ((t & 0xC0) != 0x80) return false;
      c = c << 6 | (t & 0x3Fu);
    }
    if (c < min || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return false;
    out->push_back(c);
    i += extra + 1;
  }
  return true;
}

bool IsStoredAsItself(char32_t c) {
  return (c >= 0x20 && c <= 0x60) || c == '|' || c == '}';
}

std::optional<uint32_t> ParseNumber(std::string_view word) {
  int base = 10;
  if (word.size() > 2 && word[0] == '0' && (word[1] == 'x' || word[1] == 'X')) {
    word.remove_prefix(2);
    base = 16;
  }
  uint32_t value = 0;
  const auto [end, ec] = std::from_chars(word.data(), word.data() + word.size(), value, base);
  if (ec != std::errc() || end != word.data() + word.size() || word.empty()) return std::nullopt;
  return value;
}

std::vector<std::string_view> SplitWords(std::string_view s) {
  std::vector<std::string_view> words;
  size_t i = 0;
  while (i < s.size()) {
    while (i < s.size() && s[i] == ' ') ++i;
    const size_t start = i;
    while (i < s.size() && s[i] != ' ') ++i;
    if (i > start) words.push_back(s.substr(start, i - start));
  }
  return words;
}

struct ArticleKind {
  std::string_view name;
  uint8_t flags;
};

constexpr ArticleKind kArticleKinds[] = {
    {"title", 0xDC}, {"subtitle", 0xD1}, {"text", 0xB1},
    {"lemma", 0x51}, {"note", 0xB2},     {"aside", 0x82},
};

enum class Section { Header, Articles, Index };

class Parser {
 public:
  explicit Parser(std::vector<SourceError>* errors) : errors_(errors) {}

  void Line(int number, std::string_view line);
  void Finish(Volume* volume);

 private:
  void Error(std::string message) { errors_->push_back({line_, std::move(message)}); }
  void CloseArticle();
  void ArticleRecord(std::vector<std::string_view> words, std::string_view text);
  void IndexRecord(std::vector<std::string_view> words, std::string_view text);
  std::optional<uint32_t> Number(std::string_view word, uint32_t min, uint32_t max, const char* what);

  std::vector<SourceError>* errors_;
  int line_ = 0;
  Section section_ = Section::Header;
  std::vector<std::vector<uint8_t>> articles_;
  int articleLine_ = 0;  // where the open article started
  bool sawIndex_ = false;
  int indexLine_ = 0;
  std::vector<uint8_t> index_;
  std::optional<uint16_t> lastId_;
};

std::optional<uint32_t> Parser::Number(std::string_view word, uint32_t min, uint32_t max, const char* what) {
  const std::optional<uint32_t> v = ParseNumber(word);
  if (!v || *v < min || *v > max) {
    char buf[160];
    std::snprintf(buf, sizeof buf, "%s must be a number from %u to %u, not '%.*s'", what, min, max,
                  static_cast<int>(word.size()), word.data());
    Error(buf);
    return std::nullopt;
  }
  return v;
}

void Parser::CloseArticle() {
  if (articles_.empty()) return;
  std::vector<uint8_t>& a = articles_.back();
  const int saved = line_;
  line_ = articleLine_;
  if (a.empty()) Error("article " + std::to_string(articles_.size()) + " has no records");
  a.insert(a.end(), {0, 0, 0});
  if (a.size() > kMaxArticleBytes) {
    Error("article " + std::to_string(articles_.size()) + " is " + std::to_string(a.size()) +
          " bytes, more than the 65535 an article may have");
  }
  line_ = saved;
}

void Parser::Line(int number, std::string_view line) {
  line_ = number;
  if (!line.empty() && line.back() == '\r') {
    Error("line ends in CR: use LF line endings");
    line.remove_suffix(1);
  }
  if (line.empty() || line.front() == '#') return;

  const size_t tab = line.find('\t');
  if (tab == std::string_view::npos) {
    const std::vector<std::string_view> words = SplitWords(line);
    if (section_ == Section::Header) {
      if (words.size() == 2 && words[0] == "quenzil-volume" && words[1] == "1") {
        section_ = Section::Articles;
      } else {
        Error("a volume source starts with 'quenzil-volume 1'");
        section_ = Section::Articles;  // read on, to report what else is wrong
      }
      return;
    }
    if (!words.empty() && words[0] == "article") {
      if (section_ == Section::Index) { Error("an article after the index"); return; }
      if (words.size() != 2) { Error("'article' takes one number"); return; }
      const auto expected = static_cast<uint32_t>(articles_.size() + 1);
      const std::optional<uint32_t> n = Number(words[1], 1, uint32_t{kArticleCount}, "an article number");
      if (!n) return;
      if (*n != expected) {
        Error("article " + std::to_string(*n) + " out of order: expected article " + std::to_string(expected));
      }
      CloseArticle();
      articles_.emplace_back();
      articleLine_ = number;
      return;
    }
    if (words.size() == 1 && words[0] == "index") {
      if (sawIndex_) { Error("a second index"); return; }
      CloseArticle();
      sawIndex_ = true;
      indexLine_ = number;
      section_ = Section::Index;
      if (articles_.size() != kArticleCount) {
        Error("wrong article count: " + std::to_string(articles_.size()) + " articles before the index, the volume has 414");
      }
      return;
    }
    Error("a record needs a TAB between its kind and its text");
    return;
  }

  if (section_ == Section::Header) {
    Error("a volume source starts with 'quenzil-volume 1'");
    section_ = Section::Articles;
  }
  std::vector<std::string_view> words = SplitWords(line.substr(0, tab));
  const std::string_view text = line.substr(tab + 1);
  if (words.empty()) { Error("a record needs a kind before its TAB"); return; }
  if (section_ == Section::Index) {
    IndexRecord(std::move(words), text);
  } else if (articles_.empty()) {
    Error("a record before the first 'article' line");
  } else {
    ArticleRecord(std::move(words), text);
  }
}

void Parser::ArticleRecord(std::vector<std::string_view> words, std::string_view text) {
  uint8_t flags = 0, param = 0;
  const auto kind = std::find_if(std::begin(kArticleKinds), std::end(kArticleKinds),
                                 [&](const ArticleKind& k) { return k.name == words[0]; });
  if (kind != std::end(kArticleKinds)) {
    if (words.size() != 1) { Error("'" + std::string(words[0]) + "' takes no numbers"); return; }
    flags = kind->flags;
  } else if (words[0] == "record") {
    if (words.size() != 3) { Error("'record' takes flags and param"); return; }
    const auto f = Number(words[1], 1, 255, "flags");
    const auto p = Number(words[2], 0, 255, "param");
    if (!f || !p) return;
    // Rows carry their record's flags less the blank-after bit, and a row
    // of flags 0 ends the line table: flags 0x80 would cut the page short.
    if (*f == 0x80) { Error("flags 0x80 make no style, kind or alignment; use 0x81"); return; }
    flags = static_cast<uint8_t>(*f);
    param = static_cast<uint8_t>(*p);
  } else {
    Error("unknown record kind '" + std::string(words[0]) +
          "' (title, subtitle, text, lemma, note, aside or record)");
    return;
  }
  std::vector<uint8_t> bytes;
  std::string message;
  if (!EncodeText(text, (flags & 0x10) != 0, &bytes, &message)) { Error(message); return; }
  if ((flags & 0x07) == 0x07 && !bytes.empty()) { Error("a rule record has no text"); return; }
  std::vector<uint8_t>& a = articles_.back();
  a.push_back(flags);
  a.push_back(param);
  a.insert(a.end(), bytes.begin(), bytes.end());
  a.push_back(0);
}

void Parser::IndexRecord(std::vector<std::string_view> words, std::string_view text) {
  uint32_t id = 0, flags = 0, level = 0;
  if (words[0] == "heading") {
    if (words.size() != 2) { Error("'heading' takes an id"); return; }
    const auto v = Number(words[1], 0x8000, 0xBFFF, "a heading id");
    if (!v) return;
    id = *v; flags = 0x8C; level = 1;
  } else if (words[0] == "entry") {
    if (words.size() != 2) { Error("'entry' takes an article number"); return; }
    const auto v = Number(words[1], 1, uint32_t{kArticleCount}, "an entry's article number");
    if (!v) return;
    id = 0x4000 + *v; flags = 0x01; level = 2;
  } else if (words[0] == "outline") {
    if (words.size() != 4) { Error("'outline' takes id, flags and level"); return; }
    const auto i = Number(words[1], 0, 0xFFFF, "an id");
    const auto f = Number(words[2], 1, 255, "flags");
    const auto l = Number(words[3], 0, 255, "a level");
    if (!i || !f || !l) return;
    id = *i; flags = *f; level = *l;
  } else {
    Error("unknown index record kind '" + std::string(words[0]) + "' (heading, entry or outline)");
    return;
  }
  std::vector<uint8_t> bytes;
  std::string message;
  if (!EncodeText(text, true, &bytes, &message)) { Error(message); return; }
  if (bytes.empty()) { Error("an index record needs a text"); return; }
  if (lastId_ == id) { Error("two index records in a row with the same id"); return; }
  lastId_ = static_cast<uint16_t>(id);
  index_.push_back(static_cast<uint8_t>(id & 0xFF));
  index_.push_back(static_cast<uint8_t>(id >> 8));
  index_.push_back(static_cast<uint8_t>(flags));
  index_.push_back(static_cast<uint8_t>(level));
  index_.insert(index_.end(), bytes.begin(), bytes.end());
  index_.push_back(0);
}

void Parser::Finish(Volume* volume) {
  line_ = 0;
  if (section_ == Section::Header) { Error("empty source: no 'quenzil-volume 1' line"); return; }
  if (!sawIndex_) {
    CloseArticle();
    Error("the volume has no index");
    if (articles_.size() != kArticleCount) {
      Error("wrong article count: " + std::to_string(articles_.size()) + " articles, the volume has 414");
    }
    return;
  }
  line_ = indexLine_;
  if (index_.empty()) Error("the index has no records");
  index_.insert(index_.end(), {0, 0, 0, 0, 0});
  if (index_.size() > kMaxArticleBytes) {
    Error("the index is " + std::to_string(index_.size()) + " bytes, more than the 65535 it may have");
  }
  volume->articles = std::move(articles_);
  volume->index = std::move(index_);
}

}  // namespace

bool EncodeText(std::string_view utf8, bool storedReversed, std::vector<uint8_t>* out, std::string* message) {
  std::vector<char32_t> chars;
  if (!DecodeUtf8(utf8, &chars)) { *message = "the text is not valid UTF-8"; return false; }
  for (const char32_t c : chars) {
    const bool letter = c >= kFirstHebrewLetter && c <= kLastHebrewLetter;
    if (letter || IsStoredAsItself(c) || c == '{') continue;
    if (c >= 0x590 && c <= 0x5FF) {
      *message = CodePointName(c) + " is not one of the 27 letters";
    } else {
      *message = "character " + CodePointName(c) + " is not allowed in a text";
    }
    return false;
  }
  if (chars.size() > kMaxTextBytes) {
    *message = "text too long: " + std::to_string(chars.size()) + " bytes, at most 32767";
    return false;
  }
  if (storedReversed) {
    std::reverse(chars.begin(), chars.end());
    // Every character is in the Basic Multilingual Plane by now.
    for (char32_t& c : chars) c = MirroredBracket(static_cast<char16_t>(c));
  }
  out->clear();
  for (const char32_t c : chars) {
    if (c >= kFirstHebrewLetter && c <= kLastHebrewLetter) {
      out->push_back(static_cast<uint8_t>(0x61 + (c - kFirstHebrewLetter)));
    } else {
      out->push_back(c == '{' ? uint8_t{0x7E} : static_cast<uint8_t>(c));
    }
  }
  return true;
}

bool ParseVolumeSource(std::string_view source, Volume* volume, std::vector<SourceError>* errors) {
  const size_t before = errors->size();
  Parser parser(errors);
  int number = 0;
  while (!source.empty()) {
    const size_t nl = source.find('\n');
    const std::string_view line = source.substr(0, nl);
    parser.Line(++number, line);
    source.remove_prefix(nl == std::string_view::npos ? source.size() : nl + 1);
  }
  parser.Finish(volume);
  return errors->size() == before;
}
