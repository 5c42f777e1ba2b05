#pragma once
// Reading a volume source (docs/volume-format.md): UTF-8 text in reading
// order, one record per line, turned into the letter code the reader stores.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// One fault of a source, at a line (counted from 1; 0 for the whole file).
struct SourceError {
  int line;
  std::string message;
};

// A volume in the letter code: each article's records with their end mark
// (three zero bytes), and the index records with theirs (five zero bytes).
struct Volume {
  std::vector<std::vector<uint8_t>> articles;  // articles[0] is article 1
  std::vector<uint8_t> index;
};

// Limits of a volume.
constexpr size_t kMaxTextBytes = 32767;
constexpr size_t kMaxArticleBytes = 65535;

// Reads a whole source. Returns true with the volume filled in, or false with
// every fault found in errors.
bool ParseVolumeSource(std::string_view source, Volume* volume, std::vector<SourceError>* errors);

// Turns one text in reading order into the letter code, reversed with its
// brackets mirrored when stored reversed. False with a message for a
// character the letter code cannot hold.
bool EncodeText(std::string_view utf8, bool storedReversed, std::vector<uint8_t>* out, std::string* message);
