// quenzil-tool: the reader's command-line companion. It reads the volume
// compiled into it, the same way the reader does.
//
//   quenzil-tool list          N<TAB>title for every article
//   quenzil-tool unpack N      the unpacked bytes of article N (31767: the index)
//   quenzil-tool resource N    the container of article N, as stored
//   quenzil-tool dump N        one line per record, texts in reading order
//
// Exit status: 0 done, 1 the article cannot be had, 2 bad use.
#include <charconv>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <string>
#include <string_view>

#include "content/article.h"
#include "content/letters.h"
#include "content/records.h"
#include "platform/resources.h"

namespace {

constexpr std::string_view kUsage =
    "usage: quenzil-tool list | unpack N | resource N | dump N  (N: 1 to 414, or 31767 for the index)";

struct Verb {
  std::string_view name;
  bool takesNumber;
  std::string_view help;
  int (*run)(int32_t number);
};

int BadUse(std::string_view message) {
  std::cerr << "quenzil-tool: " << message << '\n';
  return 2;
}

const char* LoadErrorText(int code) {
  switch (code) {
    case kLoadNoResource: return "no such resource";
    case kLoadNoBuffer: return "the resource is empty or no memory";
    case kLoadBadContainer: return "bad container";
    case kLoadNothing: return "nothing to unpack";
    case kLoadBufferError: return "buffer error";
    default: return "no such article";
  }
}

bool Load(int32_t number, ArticleBuffer* article) {
  int error = 0;
  *article = LoadArticle(number, &error);
  if (*article) return true;
  std::cerr << "quenzil-tool: article " << number << " cannot be had: " << LoadErrorText(error) << '\n';
  return false;
}

void AppendUtf8(std::string* out, char32_t c) {
  if (c < 0x80) {
    out->push_back(static_cast<char>(c));
  } else if (c < 0x800) {
    out->push_back(static_cast<char>(0xC0 | (c >> 6)));
    out->push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else {
    out->push_back(static_cast<char>(0xE0 | (c >> 12)));
    out->push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out->push_back(static_cast<char>(0x80 | (c & 0x3F)));
  }
}

// A letter-code text in reading order, with the Unicode Hebrew letters.
std::string ReadingOrder(const uint8_t* text, size_t length, bool storedReversed) {
  const auto n = static_cast<int32_t>(length);
  std::unique_ptr<char16_t[]> wide = MapLetters(text, n);
  std::string out;
  if (!wide) return out;
  if (storedReversed) ReverseMirrored(wide.get(), n);
  for (int32_t i = 0; i < n; ++i) AppendUtf8(&out, wide[static_cast<size_t>(i)]);
  return out;
}

int RunList(int32_t) {
  int status = 0;
  for (int32_t n = 1; n <= kArticleCount; ++n) {
    ArticleBuffer article;
    TextRecord title;
    if (!Load(n, &article)) {
      status = 1;
      continue;
    }
    std::string line = std::to_string(n) + '\t';
    if (ReadRecord(article.records(), 0, &title)) {
      line += ReadingOrder(article.bytes.get() + title.text, title.textLength, title.flags & kFlagStoredReversed);
    }
    line += '\n';
    std::fwrite(line.data(), 1, line.size(), stdout);
  }
  return status;
}

int RunUnpack(int32_t number) {
  ArticleBuffer article;
  if (!Load(number, &article)) return 1;
  std::fwrite(article.bytes.get(), 1, article.size, stdout);
  return 0;
}

int RunResource(int32_t number) {
  const ResourceEntry* r =
      number >= 1 ? FindResource(static_cast<uint16_t>(number + kArticleResourceBase), kResourceRcData) : nullptr;
  const uint8_t* bytes = LoadResource(r);
  if (!bytes) {
    std::cerr << "quenzil-tool: article " << number << " cannot be had: no such resource\n";
    return 1;
  }
  std::fwrite(bytes, 1, SizeofResource(r), stdout);
  return 0;
}

// The index is a run of IndexRecords: id (2 bytes, low first), flags,
// level, text; its texts are always stored reversed.
void DumpIndex(const ArticleBuffer& index) {
  const std::span<const uint8_t> bytes = index.records();
  char head[48];
  for (size_t offset = 0; offset + 4 < bytes.size() && bytes[offset + 2] != 0;) {
    const uint8_t* r = bytes.data() + offset;
    const size_t length = strnlen(reinterpret_cast<const char*>(r + 4), bytes.size() - offset - 4);
    std::snprintf(head, sizeof head, "%04zx %04x %02x %02x ", offset, r[0] | r[1] << 8, r[2], r[3]);
    std::string line = head + ReadingOrder(r + 4, length, true) + '\n';
    std::fwrite(line.data(), 1, line.size(), stdout);
    offset += length + 5;
  }
}

int RunDump(int32_t number) {
  ArticleBuffer article;
  if (!Load(number, &article)) return 1;
  if (number == kIndexNumber) {
    DumpIndex(article);
    return 0;
  }
  TextRecord record;
  char head[32];
  for (size_t offset = 0; ReadRecord(article.records(), offset, &record); offset = NextRecordOffset(record)) {
    std::snprintf(head, sizeof head, "%04x %02x %02x ", record.offset, record.flags, record.param);
    std::string line = head +
                       ReadingOrder(article.bytes.get() + record.text, record.textLength,
                                    record.flags & kFlagStoredReversed) +
                       '\n';
    std::fwrite(line.data(), 1, line.size(), stdout);
  }
  return 0;
}

constexpr Verb kVerbs[] = {
    {"list", false, "usage: quenzil-tool list\nPrints N<TAB>title for every article, 1 to 414, in reading order.\n",
     RunList},
    {"unpack", true,
     "usage: quenzil-tool unpack N\nWrites the unpacked bytes of article N (31767: the index) to standard output.\n",
     RunUnpack},
    {"resource", true,
     "usage: quenzil-tool resource N\nWrites the container of article N (31767: the index) as stored.\n",
     RunResource},
    {"dump", true,
     "usage: quenzil-tool dump N\nPrints one line per record: offset, flags and param in hex and the text in\n"
     "reading order (for the index, 31767: offset, id, flags, level and text).\n",
     RunDump},
};

}  // namespace

int main(int argc, char** argv) {
  // The companion always shows the Unicode letters in stored order.
  const int32_t letterBase = kUnicodeLetterBase;
  uint32_t flags = 0;
  BindLetterSettings(&letterBase, &flags);

  if (argc < 2) return BadUse(kUsage);
  const std::string_view name = argv[1];
  if (name == "--help" || name == "-h") {
    std::cout << kUsage << '\n';
    return 0;
  }
  for (const Verb& verb : kVerbs) {
    if (verb.name != name) continue;
    if (argc == 3 && std::string_view(argv[2]) == "--help") {
      std::cout << verb.help;
      return 0;
    }
    if (argc != (verb.takesNumber ? 3 : 2)) return BadUse(kUsage);
    int32_t number = 0;
    if (verb.takesNumber) {
      const std::string_view arg = argv[2];
      const auto [end, ec] = std::from_chars(arg.data(), arg.data() + arg.size(), number);
      if (ec != std::errc() || end != arg.data() + arg.size()) return BadUse("not an article number: " + std::string(arg));
    }
    return verb.run(number);
  }
  return BadUse("unknown command '" + std::string(name) + "'; " + std::string(kUsage));
}
