// The registry's store: parsing and writing the registry export format, and
// the registry calls over the per-user file.
//
// Sections: text helpers; parsing; formatting; the store's file; keys.
#include "platform/registry_store.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <new>
#include <sstream>

#include "platform/registry.h"
#include "platform/utf.h"

namespace {

constexpr std::string_view kVersionLine = "Windows Registry Editor Version 5.00";
constexpr std::string_view kHive = "HKEY_CURRENT_USER\\";

std::string gPath;
RegistryRenameHook gRenameHook = nullptr;

// --- Text helpers ----------------------------------------------------------------------

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool SameText(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (Lower(a[i]) != Lower(b[i])) return false;
  }
  return true;
}

bool StartsWithText(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() && SameText(text.substr(0, prefix.size()), prefix);
}

std::vector<uint8_t> BytesOfUtf16(const std::u16string& s) {
  std::vector<uint8_t> bytes;
  for (char16_t c : s) {
    bytes.push_back(static_cast<uint8_t>(c & 0xFF));
    bytes.push_back(static_cast<uint8_t>(c >> 8));
  }
  return bytes;
}

// --- Parsing -------------------------------------------------------------------------

// Reads a quoted text with \\ and \" escapes from the start of s; on success
// s is left after the closing quote.
bool ReadQuoted(std::string_view* s, std::string* out) {
  if (s->empty() || s->front() != '"') return false;
  for (size_t i = 1; i < s->size(); ++i) {
    const char c = (*s)[i];
    if (c == '"') {
      s->remove_prefix(i + 1);
      return true;
    }
    if (c == '\\') {
      if (++i >= s->size() || ((*s)[i] != '\\' && (*s)[i] != '"')) return false;
      out->push_back((*s)[i]);
    } else {
      out->push_back(c);
    }
  }
  return false;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  c = Lower(c);
  return c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
}

bool ReadHexNumber(std::string_view s, uint32_t* value, size_t maxDigits) {
  if (s.empty() || s.size() > maxDigits) return false;
  uint32_t v = 0;
  for (char c : s) {
    const int d = HexDigit(c);
    if (d < 0) return false;
    v = v << 4 | static_cast<uint32_t>(d);
  }
  *value = v;
  return true;
}

// "aa,bb,cc" with spaces and the continuation backslashes already removed.
bool ReadHexBytes(std::string_view s, std::vector<uint8_t>* out) {
  if (s.empty()) return true;
  size_t start = 0;
  for (;;) {
    const size_t comma = s.find(',', start);
    const std::string_view item = s.substr(start, comma == std::string_view::npos ? s.npos : comma - start);
    uint32_t byte = 0;
    if (item.size() != 2 || !ReadHexNumber(item, &byte, 2)) return false;
    out->push_back(static_cast<uint8_t>(byte));
    if (comma == std::string_view::npos) return true;
    start = comma + 1;
  }
}

// The data after '=' of a value.
bool ReadData(std::string_view s, RegistryItem* item) {
  if (!s.empty() && s.front() == '"') {
    std::string text;
    if (!ReadQuoted(&s, &text) || !s.empty()) return false;
    std::u16string wide;
    if (!Utf16FromUtf8(text, &wide)) return false;
    wide.push_back(0);
    item->type = kRegistryString;
    item->data = BytesOfUtf16(wide);
    return true;
  }
  if (StartsWithText(s, "dword:")) {
    uint32_t v = 0;
    if (!ReadHexNumber(s.substr(6), &v, 8)) return false;
    item->type = kRegistryNumber;
    item->data = {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8), static_cast<uint8_t>(v >> 16),
                  static_cast<uint8_t>(v >> 24)};
    return true;
  }
  if (StartsWithText(s, "hex:")) {
    item->type = kRegistryBinary;
    return ReadHexBytes(s.substr(4), &item->data);
  }
  if (StartsWithText(s, "hex(")) {
    const size_t close = s.find("):");
    if (close == std::string_view::npos || !ReadHexNumber(s.substr(4, close - 4), &item->type, 8)) return false;
    return ReadHexBytes(s.substr(close + 2), &item->data);
  }
  return false;
}

bool IsBlankOrComment(std::string_view line) {
  const size_t first = line.find_first_not_of(" \t");
  return first == std::string_view::npos || line[first] == ';';
}

std::string_view Trimmed(std::string_view s) {
  const size_t first = s.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  const size_t last = s.find_last_not_of(" \t");
  return s.substr(first, last - first + 1);
}

// --- Formatting -------------------------------------------------------------------------

std::string Quoted(std::string_view s) {
  std::string out = "\"";
  for (char c : s) {
    if (c == '\\' || c == '"') out.push_back('\\');
    out.push_back(c);
  }
  out.push_back('"');
  return out;
}

std::string HexList(const std::vector<uint8_t>& data) {
  std::string out;
  char byte[4];
  for (size_t i = 0; i < data.size(); ++i) {
    std::snprintf(byte, sizeof byte, i == 0 ? "%02x" : ",%02x", data[i]);
    out += byte;
  }
  return out;
}

// A string value as text when that gives back exactly its bytes: whole
// characters, one zero at the end and none before it, nothing else that
// the text form cannot carry.
bool StringAsText(const std::vector<uint8_t>& data, std::string* text) {
  if (data.size() < 2 || data.size() % 2 != 0) return false;
  std::u16string wide;
  for (size_t i = 0; i + 1 < data.size(); i += 2) wide.push_back(static_cast<char16_t>(data[i] | data[i + 1] << 8));
  if (wide.back() != 0) return false;
  wide.pop_back();
  for (char16_t c : wide) {
    if (c == 0 || c == u'\n' || c == u'\r') return false;
  }
  return Utf8FromUtf16(wide.data(), wide.size(), text);
}

std::string ValueText(std::string_view name, uint32_t type, const std::vector<uint8_t>& data) {
  std::string out = name == "@" ? std::string("@") : Quoted(name);
  out += '=';
  std::string text;
  char head[24];
  if (type == kRegistryString && StringAsText(data, &text)) {
    out += Quoted(text);
  } else if (type == kRegistryNumber && data.size() == 4) {
    std::snprintf(head, sizeof head, "dword:%08x",
                  static_cast<unsigned>(uint32_t{data[0]} | uint32_t{data[1]} << 8 | uint32_t{data[2]} << 16 |
                                        uint32_t{data[3]} << 24));
    out += head;
  } else if (type == kRegistryBinary) {
    out += "hex:" + HexList(data);
  } else {
    std::snprintf(head, sizeof head, "hex(%x):", static_cast<unsigned>(type));
    out += head + HexList(data);
  }
  return out;
}

// --- The store's file ----------------------------------------------------------------------

bool ReadWholeFile(const std::string& path, std::string* text) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::ostringstream buffer;
  buffer << in.rdbuf();
  *text = buffer.str();
  return true;
}

// Moves an unreadable store aside under the first free name.
void KeepAside(const std::string& path) {
  for (int n = 1; n < 1000; ++n) {
    const std::string aside = path + ".unreadable" + (n == 1 ? "" : "-" + std::to_string(n));
    struct stat st;
    if (stat(aside.c_str(), &st) == 0) continue;
    std::rename(path.c_str(), aside.c_str());
    std::fprintf(stderr, "quenzil: the settings file %s could not be read; it is kept as %s\n", path.c_str(),
                 aside.c_str());
    return;
  }
}

// The store as it is now; empty when there is none, and when it cannot be
// read as the format (it is then moved aside).
RegistryDocument LoadStore() {
  std::string text;
  if (!ReadWholeFile(RegistryPath(), &text)) return {};
  if (std::optional<RegistryDocument> document = ParseRegistry(text)) return std::move(*document);
  KeepAside(RegistryPath());
  return {};
}

std::string Folder(const std::string& path) {
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? std::string(".") : path.substr(0, slash);
}

bool MakeFolders(const std::string& folder) {
  for (size_t at = 1; at <= folder.size(); ++at) {
    if (at != folder.size() && folder[at] != '/') continue;
    const std::string part = folder.substr(0, at);
    if (mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) return false;
  }
  return true;
}

bool WriteAll(int fd, const std::string& text) {
  size_t done = 0;
  while (done < text.size()) {
    const ssize_t n = write(fd, text.data() + done, text.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<size_t>(n);
  }
  return true;
}

// A value written to a key, waiting for the key's close.
struct PendingValue {
  std::string name;
  uint32_t type;
  std::vector<uint8_t> data;
};

// Puts the values into the store under its lock: the file is read again, so
// what others wrote meanwhile stays, then replaced whole.
bool Commit(const std::string& section, const std::vector<PendingValue>& values) {
  const std::string& path = RegistryPath();
  const std::string folder = Folder(path);
  if (!MakeFolders(folder)) return false;
  const int lock = open((path + ".lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  if (lock < 0) return false;
  bool ok = flock(lock, LOCK_EX) == 0;
  if (ok) {
    RegistryDocument document = LoadStore();
    for (const PendingValue& v : values) SetRegistryItem(&document, section, v.name, v.type, v.data);
    const std::string temporary = path + ".tmp-" + std::to_string(getpid());
    const int fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    ok = fd >= 0 && WriteAll(fd, FormatRegistry(document)) && fsync(fd) == 0;
    if (fd >= 0) ok = close(fd) == 0 && ok;
    const bool stopped = ok && gRenameHook && !gRenameHook(temporary);
    ok = ok && !stopped && std::rename(temporary.c_str(), path.c_str()) == 0;
    if (!ok && !stopped) unlink(temporary.c_str());
    if (ok) {
      // The rename itself must reach the disk for the new file to be the one a crash leaves.
      const int dir = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
      if (dir >= 0) {
        fsync(dir);
        close(dir);
      }
    }
  }
  close(lock);
  return ok;
}

}  // namespace

// --- The format -----------------------------------------------------------------------------

std::optional<RegistryDocument> ParseRegistry(std::string_view text) {
  if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
  std::vector<std::string_view> lines;
  for (size_t start = 0; start < text.size();) {
    size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    lines.push_back(line);
    start = end + 1;
  }
  RegistryDocument document;
  size_t i = 0;
  while (i < lines.size() && Trimmed(lines[i]).empty()) ++i;
  if (i == lines.size()) return document;  // an empty file: no keys yet
  if (lines[i] != kVersionLine) return std::nullopt;
  for (++i; i < lines.size(); ++i) {
    const std::string_view line = lines[i];
    if (line.size() >= 2 && line.front() == '[' && line.back() == ']') {
      if (line[1] == '-') return std::nullopt;  // a key to delete: not something a store holds
      document.sections.push_back({std::string(line.substr(1, line.size() - 2)), {}});
      continue;
    }
    if (IsBlankOrComment(line)) {
      RegistryItem raw;
      raw.text = line;
      if (document.sections.empty()) {
        document.preamble.emplace_back(line);
      } else {
        document.sections.back().items.push_back(std::move(raw));
      }
      continue;
    }
    if (document.sections.empty()) return std::nullopt;
    // A value, its hex list perhaps continued over lines ending in '\'.
    RegistryItem item;
    item.isValue = true;
    item.text = line;
    std::string joined(line);
    while (!joined.empty() && joined.back() == '\\' && i + 1 < lines.size()) {
      joined.pop_back();
      joined += Trimmed(lines[++i]);
      item.text += '\n';
      item.text += lines[i];
    }
    std::string_view rest = joined;
    if (rest.front() == '@') {
      item.name = "@";
      rest.remove_prefix(1);
    } else if (!ReadQuoted(&rest, &item.name)) {
      return std::nullopt;
    }
    rest = Trimmed(rest);
    if (rest.empty() || rest.front() != '=') return std::nullopt;
    rest = Trimmed(rest.substr(1));
    std::string data;
    for (char c : rest) {
      if (c != ' ' && c != '\t') data.push_back(c);
    }
    // Spaces matter inside a quoted text.
    if (!ReadData(!rest.empty() && rest.front() == '"' ? rest : std::string_view(data), &item)) return std::nullopt;
    document.sections.back().items.push_back(std::move(item));
  }
  return document;
}

std::string FormatRegistry(const RegistryDocument& document) {
  std::string out(kVersionLine);
  out += '\n';
  for (const std::string& line : document.preamble) out += line + '\n';
  for (const RegistrySection& section : document.sections) {
    out += '[' + section.path + "]\n";
    for (const RegistryItem& item : section.items) out += item.text + '\n';
  }
  return out;
}

void SetRegistryItem(RegistryDocument* document, std::string_view path, std::string_view name, uint32_t type,
                     const std::vector<uint8_t>& data) {
  RegistrySection* section = nullptr;
  for (RegistrySection& s : document->sections) {
    if (SameText(s.path, path)) {
      section = &s;
      break;
    }
  }
  if (!section) {
    // A new key, after a blank line as the format has them.
    const bool blankBefore = document->sections.empty()
                                 ? !document->preamble.empty() && Trimmed(document->preamble.back()).empty()
                                 : !document->sections.back().items.empty() &&
                                       Trimmed(document->sections.back().items.back().text).empty();
    if (!blankBefore) {
      if (document->sections.empty()) {
        document->preamble.emplace_back();
      } else {
        document->sections.back().items.emplace_back();
      }
    }
    document->sections.push_back({std::string(path), {}});
    section = &document->sections.back();
  }
  RegistryItem item;
  item.isValue = true;
  item.name = name;
  item.type = type;
  item.data = data;
  item.text = ValueText(name, type, data);
  for (RegistryItem& existing : section->items) {
    if (existing.isValue && SameText(existing.name, name)) {
      existing = std::move(item);
      return;
    }
  }
  // After the key's last value, before the blank lines that end it.
  auto at = section->items.end();
  while (at != section->items.begin() && !(at - 1)->isValue) --at;
  if (at == section->items.begin()) {
    while (at != section->items.end() && !at->isValue && !Trimmed(at->text).empty()) ++at;
  }
  section->items.insert(at, std::move(item));
}

// --- The store's path ------------------------------------------------------------------------------

std::string DefaultRegistryPath() {
  const char* config = std::getenv("XDG_CONFIG_HOME");
  std::string folder;
  if (config && *config) {
    folder = config;
  } else {
    const char* home = std::getenv("HOME");
    folder = std::string(home && *home ? home : ".") + "/.config";
  }
  return folder + "/Brantholm/registry.reg";
}

void SetRegistryPath(std::string path) { gPath = std::move(path); }

const std::string& RegistryPath() {
  if (gPath.empty()) gPath = DefaultRegistryPath();
  return gPath;
}

void SetRegistryRenameHook(RegistryRenameHook hook) { gRenameHook = hook; }

// --- Keys ----------------------------------------------------------------------------------------------

struct PlatformRegistryKey {
  std::string section;               // the key's path in the file, the hive in front
  std::vector<RegistryItem> values;  // as the store held them when the key was opened
  bool writable;
  std::vector<PendingValue> pending;
};

namespace {

RegistryKey OpenKey(std::u16string_view path, bool create) {
  std::string section(kHive);
  if (!Utf8FromUtf16(path.data(), path.size(), &section)) return nullptr;
  const RegistryDocument document = LoadStore();
  auto* key = new (std::nothrow) PlatformRegistryKey{section, {}, create, {}};
  if (!key) return nullptr;
  bool found = false;
  for (const RegistrySection& s : document.sections) {
    if (SameText(s.path, section)) {
      found = true;
      for (const RegistryItem& item : s.items) {
        if (item.isValue) key->values.push_back(item);
      }
    } else if (StartsWithText(s.path, section + '\\')) {
      found = true;  // a key exists while keys below it do
    }
  }
  if (!found && !create) {
    delete key;
    return nullptr;
  }
  return key;
}

}  // namespace

RegistryKey OpenRegistryKey(std::u16string_view path) { return OpenKey(path, false); }

RegistryKey CreateRegistryKey(std::u16string_view path) { return OpenKey(path, true); }

bool QueryRegistryValue(RegistryKey key, std::u16string_view name, uint32_t* type, std::vector<uint8_t>* data) {
  std::string wanted;
  if (!key || !Utf8FromUtf16(name.data(), name.size(), &wanted)) return false;
  for (auto it = key->pending.rbegin(); it != key->pending.rend(); ++it) {
    if (SameText(it->name, wanted)) {
      *type = it->type;
      *data = it->data;
      return true;
    }
  }
  for (const RegistryItem& item : key->values) {
    if (SameText(item.name, wanted)) {
      *type = item.type;
      *data = item.data;
      return true;
    }
  }
  return false;
}

bool SetRegistryValue(RegistryKey key, std::u16string_view name, uint32_t type, std::span<const uint8_t> data) {
  if (!key || !key->writable) return false;
  if (type != kRegistryString && type != kRegistryBinary && type != kRegistryNumber) return false;
  if (type == kRegistryNumber && data.size() != 4) return false;
  std::string utf8;
  if (!Utf8FromUtf16(name.data(), name.size(), &utf8) || utf8.find_first_of("\n\r") != std::string::npos) {
    return false;
  }
  key->pending.push_back({std::move(utf8), type, std::vector<uint8_t>(data.begin(), data.end())});
  return true;
}

bool CloseRegistryKey(RegistryKey key) {
  if (!key) return false;
  const bool ok = key->pending.empty() || Commit(key->section, key->pending);
  delete key;
  return ok;
}
