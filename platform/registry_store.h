#pragma once
// The registry's store on the desktop: one per-user text file in the
// registry export format, shared by both backends.
//
//   Windows Registry Editor Version 5.00
//
//   [HKEY_CURRENT_USER\Software\Brantholm\Quenzil]
//   "FontName"="David CLM"
//   "Lesson"=dword:00000005
//   "Bookmarks"=hex:01,00,02,00
//
// UTF-8, LF or CRLF line ends. Strings (type 1) are written as "text" with
// \ and " escaped when they are well-formed and end in one zero character;
// any other value is written as hex(type): bytes, so that every type is kept
// exactly. Lines and sections the program does not touch are written back as
// they were read. Key paths and value names compare without regard to case.
//
// Reading takes a snapshot of the file. Writing goes to the file only when a
// key written to is closed: under a lock the file is read again, the values
// written are put into it, and the whole is written to a temporary file that
// is flushed and renamed over the old one, so what others wrote meanwhile is
// kept and a crash leaves the old file or the new one. A file that cannot be
// read as this format is renamed aside, never overwritten.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The store's file: $XDG_CONFIG_HOME/Brantholm/registry.reg, or
// ~/.config/Brantholm/registry.reg when XDG_CONFIG_HOME is unset or empty.
std::string DefaultRegistryPath();

// Points the store at another file (the tests), or back at the default with
// an empty path.
void SetRegistryPath(std::string path);
const std::string& RegistryPath();

// Called after the temporary file is written and before it is renamed over
// the store; returning false stops the write there, as a crash would.
using RegistryRenameHook = bool (*)(const std::string& temporaryPath);
void SetRegistryRenameHook(RegistryRenameHook hook);

// --- The format, for the store and its tests -------------------------------------------

// One line of a section, or one value with the lines it was read from.
struct RegistryItem {
  bool isValue = false;
  std::string name;  // the value's name, unescaped; "@" is the default value
  uint32_t type = 0;
  std::vector<uint8_t> data;
  std::string text;  // as read (a value continued over lines keeps all of them), without the last line end
};

struct RegistrySection {
  std::string path;  // between the brackets, as read
  std::vector<RegistryItem> items;
};

struct RegistryDocument {
  std::vector<std::string> preamble;  // lines after the version line, before the first section
  std::vector<RegistrySection> sections;
};

// Parses a file's text; nothing when it is not in the format.
std::optional<RegistryDocument> ParseRegistry(std::string_view text);

// The text of a document: the version line, then everything as read, values
// set since written anew.
std::string FormatRegistry(const RegistryDocument& document);

// Sets a value in a document, adding the section and the value when they
// are missing.
void SetRegistryItem(RegistryDocument* document, std::string_view path, std::string_view name, uint32_t type,
                     const std::vector<uint8_t>& data);
