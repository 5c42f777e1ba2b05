// quenzil-tool: the reader's command-line companion. It reads the volume
// compiled into it, the same way the reader does.
//
//   quenzil-tool list          N<TAB>title for every article
//   quenzil-tool unpack N      the unpacked bytes of article N (31767: the index)
//   quenzil-tool resource N    the container of article N, as stored
//   quenzil-tool dump N        one line per record, texts in reading order
//   quenzil-tool render N -o FILE.png [options]
//                              article N laid out and drawn in one pane
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
#include "pane/pane.h"
#include "platform/qt/qt_backend.h"
#include "platform/resources.h"
#include "platform/utf.h"

namespace {

constexpr std::string_view kUsage =
    "usage: quenzil-tool list | unpack N | resource N | dump N | render N -o FILE.png [options]\n"
    "       (N: 1 to 414, or 31767 for the index; each command takes --help)";

constexpr std::string_view kRenderHelp =
    "usage: quenzil-tool render N -o FILE.png [--width W] [--height H] [--face NAME] [--size S]\n"
    "                           [--base 97|224|1488] [--reverse] [--top T] [--highlight START:END]\n"
    "Lays article N out in one pane of W by H pixels (240 by 320) and writes what the pane\n"
    "draws as a PNG: face NAME (\"David CLM\"), font size S (0: the default; negative: the\n"
    "character height in pixels, positive: the cell height), the letter base (1488), the\n"
    "Reverse setting, top line T (0) and a highlight from byte offset START to END.\n"
    "Needs no display.\n";

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

// A letter-code text in reading order, with the Unicode Hebrew letters.
std::string ReadingOrder(const uint8_t* text, size_t length, bool storedReversed) {
  const auto n = static_cast<int32_t>(length);
  std::unique_ptr<char16_t[]> wide = MapLetters(text, n);
  std::string out;
  if (!wide) return out;
  if (storedReversed) ReverseMirrored(wide.get(), n);
  Utf8FromUtf16(wide.get(), static_cast<size_t>(n), &out);
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

// The options of render, as given.
struct RenderOptions {
  int32_t number = 0;
  const char* output = nullptr;
  int32_t width = 240;
  int32_t height = 320;
  std::u16string face = u"David CLM";
  int32_t size = 0;
  int32_t base = kUnicodeLetterBase;
  bool reverse = false;
  int32_t top = 0;
  int32_t highlightStart = 0;
  int32_t highlightEnd = 0;
};

bool ParseNumber(std::string_view text, int32_t lowest, int32_t highest, int32_t* value) {
  int32_t v = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
  if (ec != std::errc() || end != text.data() + text.size() || v < lowest || v > highest) return false;
  *value = v;
  return true;
}

// Fills options from argv[2..]; an error message, or empty when they are good.
std::string ParseRender(int argc, char** argv, RenderOptions* o) {
  bool haveNumber = false;
  for (int i = 2; i < argc; ++i) {
    const std::string_view arg = argv[i];
    const bool hasValue = i + 1 < argc;
    const std::string_view value = hasValue ? argv[i + 1] : "";
    auto number = [&](int32_t lowest, int32_t highest, int32_t* out) {
      if (!hasValue || !ParseNumber(value, lowest, highest, out)) return false;
      ++i;
      return true;
    };
    if (arg == "-o") {
      if (!hasValue) return "-o needs a file name";
      o->output = argv[++i];
    } else if (arg == "--width") {
      if (!number(1, 8192, &o->width)) return "--width needs a number from 1 to 8192";
    } else if (arg == "--height") {
      if (!number(1, 8192, &o->height)) return "--height needs a number from 1 to 8192";
    } else if (arg == "--size") {
      if (!number(-500, 500, &o->size)) return "--size needs a number from -500 to 500";
    } else if (arg == "--top") {
      if (!number(0, UINT16_MAX, &o->top)) return "--top needs a number from 0 to 65535";
    } else if (arg == "--base") {
      if (!number(0, INT32_MAX, &o->base) ||
          (o->base != kLatinLetterBase && o->base != kCodePageLetterBase && o->base != kUnicodeLetterBase)) {
        return "--base needs 97, 224 or 1488";
      }
    } else if (arg == "--face") {
      if (!hasValue) return "--face needs a name";
      std::u16string face;
      if (!Utf16FromUtf8(value, &face) || face.empty() || face.size() >= kFaceNameLength) {
        return "--face needs a name of 1 to 31 characters";
      }
      o->face = face;
      ++i;
    } else if (arg == "--reverse") {
      o->reverse = true;
    } else if (arg == "--highlight") {
      const size_t colon = value.find(':');
      if (!hasValue || colon == std::string_view::npos ||
          !ParseNumber(value.substr(0, colon), 0, UINT16_MAX, &o->highlightStart) ||
          !ParseNumber(value.substr(colon + 1), 0, UINT16_MAX, &o->highlightEnd)) {
        return "--highlight needs START:END, byte offsets";
      }
      ++i;
    } else if (!haveNumber && ParseNumber(arg, INT32_MIN, INT32_MAX, &o->number)) {
      haveNumber = true;
    } else {
      return "unknown render option '" + std::string(arg) + "'";
    }
  }
  if (!haveNumber) return "render needs an article number";
  if (!o->output) return "render needs -o FILE.png";
  return {};
}

int RunRender(int argc, char** argv) {
  RenderOptions o;
  const std::string error = ParseRender(argc, argv, &o);
  if (!error.empty()) return BadUse(error + "\n" + std::string(kRenderHelp));
  ArticleBuffer article;
  if (!Load(o.number, &article)) return 1;

  uint32_t flags = o.reverse ? kFlagReverse : 0;
  BindLetterSettings(&o.base, &flags);
  StartQtApplication(&argc, argv, true);
  SurfaceHandle surface = CreateImageSurface(o.width, o.height);
  if (!surface) {
    std::cerr << "quenzil-tool: no memory for a " << o.width << " by " << o.height << " image\n";
    return 1;
  }
  FontSpec fonts{};
  std::copy(o.face.begin(), o.face.end(), fonts.FontName);
  fonts.FontSize = o.size;
  fonts.FontAsciiBase = o.base;
  const Rect rect{0, 0, o.width, o.height};
  TextPane* pane = CreatePane(surface, &rect, fonts, 100);
  int status = pane ? LayOutArticle(pane, &article, true) : kPaneNoMemory;
  if (status == kPaneOk) {
    pane->topLine = static_cast<uint16_t>(o.top);
    pane->highlightStart = static_cast<uint16_t>(o.highlightStart);
    pane->highlightEnd = static_cast<uint16_t>(o.highlightEnd);
    status = DrawPane(pane, true);
  }
  int result = 0;
  if (status != kPaneOk) {
    std::cerr << "quenzil-tool: article " << o.number << " cannot be laid out (status " << status << ")\n";
    result = 1;
  } else if (!SaveSurfacePng(surface, o.output)) {
    std::cerr << "quenzil-tool: cannot write " << o.output << '\n';
    result = 1;
  }
  DestroyPane(pane);
  DestroyImageSurface(surface);
  return result;
}

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
  if (name == "render") {
    if (argc == 3 && std::string_view(argv[2]) == "--help") {
      std::cout << kRenderHelp;
      return 0;
    }
    return RunRender(argc, argv);
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
