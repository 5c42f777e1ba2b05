#pragma once
// Article resources and their unpacking. Article N (1 to 414) is the raw-data
// resource N + 1000 and the index of sections is resource 32767 (number
// 31767). Each resource is a container, all numbers 16-bit big-endian:
//
//   0  length            bytes after these 6 (resource size - 6)
//   2  tag 1, 4  tag 2   not read
//   6  packed length P
//   8  unpacked length U
//   10 the stream (P bytes), then 4 zero bytes of padding
//
// Nothing is cached: every load unpacks afresh into a buffer the caller owns.

#include <cstdint>
#include <memory>
#include <span>

constexpr int32_t kArticleCount = 414;
constexpr int32_t kArticleResourceBase = 1000;
constexpr int32_t kIndexNumber = 31767;  // loads resource 32767
constexpr uint16_t kContainerHeaderSize = 6;

// Why a load returned nothing.
enum : int {
  kLoadNoResource = 1,     // no raw-data resource has the id
  kLoadNoBuffer = 2,       // empty or unloadable resource, or no memory
  kLoadBadContainer = 3,   // length field below 5, or packed length 0
  kLoadNothing = 4,        // unpacked length 0, or no stream
  kLoadBufferError = 5,    // the stream did not fill the output exactly
};

// An unpacked article or index: size bytes of records, then two zero bytes.
struct ArticleBuffer {
  std::unique_ptr<uint8_t[]> bytes;
  uint16_t size = 0;

  explicit operator bool() const { return bytes != nullptr; }
  // The records and the zero byte after them, the range a walk may read.
  std::span<const uint8_t> records() const { return {bytes.get(), bytes ? size_t{size} + 1 : 0}; }
};

// Finds resource number + 1000 (kept to 16 bits) and unpacks it. A number
// below 1 yields nothing and no code. On failure, *error (when given) gets
// the code; on success it is left alone.
ArticleBuffer LoadArticle(int32_t number, int* error);

// Unpacks a container from the bytes after its 6-byte header, given its
// length field. Reads only the bytes given, however long the container says
// its stream is.
ArticleBuffer OpenContainer(std::span<const uint8_t> bytes, uint16_t length, int* error);

// Unpacks P stream bytes into a new buffer of U bytes and two zeros. A stream
// that does not fill it exactly, or breaks the token rules, shows
// "UnCompress() buffer error!" and yields code 5.
ArticleBuffer UnCompress(const uint8_t* stream, uint16_t packed, uint16_t unpacked, int* error);
