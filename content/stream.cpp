#include "content/stream.h"

#include <cstring>

// The loop has a fast path for the bulk of the stream, taken while at least
// kInSlack stream bytes and kOutSlack output bytes remain: then no token can
// run past either end, so the only check left per token is the distance of a
// back-reference, and copies are done in whole words (writing up to
// kOutSlack bytes, of which the later tokens overwrite what this one did not
// produce). The careful path checks every byte and finishes the last bytes.
//
// Prose packs to literals and back-references in about equal numbers, in no
// order a branch predictor can follow, so the fast path tells those two
// apart without a branch: both copy a word from a source (a literal from
// the stream, where it stands itself; a reference from the output) and
// differ only in the source, the count and the step through the stream.
// Space pairs and literal runs, the rare tokens, keep their branches.
namespace {

constexpr size_t kInSlack = 17;   // a literal copied as a 16-byte word
constexpr size_t kOutSlack = 16;  // the widest word copy

// Copies 16 bytes in two words, the second read after the first is written:
// so a source 8 to 15 bytes behind repeats, as a back-reference must.
void CopyTwoWords(uint8_t* to, const uint8_t* from) {
  uint64_t word;
  std::memcpy(&word, from, 8);
  std::memcpy(to, &word, 8);
  std::memcpy(&word, from + 8, 8);
  std::memcpy(to + 8, &word, 8);
}

}  // namespace

UnpackResult UnpackStream(const uint8_t* in, size_t inSize, uint8_t* out, size_t outSize) {
  const uint8_t* ip = in;
  const uint8_t* const inEnd = in + inSize;
  uint8_t* op = out;
  uint8_t* const outEnd = out + outSize;

  if (inSize >= kInSlack && outSize >= kOutSlack) {
    const uint8_t* const inFast = inEnd - kInSlack;
    uint8_t* const outFast = outEnd - kOutSlack;
    while (ip <= inFast && op <= outFast) {
      const unsigned c = ip[0];
      if (c >= 0xC0) {
        op[0] = ' ';
        op[1] = static_cast<uint8_t>(c ^ 0x80);
        op += 2;
        ip += 1;
        continue;
      }
      if (c - 1u < 8u) {
        std::memcpy(op, ip + 1, 8);
        op += c;
        ip += c + 1;
        continue;
      }
      const unsigned d = ip[1];  // for a literal, a byte of the next token
      const size_t isReference = c >> 7;
      const size_t distance = (c & 0x3Fu) << 5 | d >> 3;
      const size_t written = static_cast<size_t>(op - out);
      if (isReference & ((distance < 8) | (distance > written))) {
        if (distance == 0 || distance > written) return {written, static_cast<size_t>(ip + 2 - in), true};
        // Closer than a word: byte by byte, each copy seeing the one before.
        const uint8_t* from = op - distance;
        const size_t count = (d & 7) + 3;
        for (size_t i = 0; i < count; ++i) op[i] = from[i];
        op += count;
        ip += 2;
        continue;
      }
      // Selected with a mask, in integers: a conditional here is one that
      // compilers turn back into the branch this avoids.
      const size_t mask = 0 - isReference;
      const auto literal = reinterpret_cast<uintptr_t>(ip);
      const uintptr_t reference = reinterpret_cast<uintptr_t>(op) - distance;
      CopyTwoWords(op, reinterpret_cast<const uint8_t*>(literal + ((reference - literal) & mask)));
      op += 1 + (((d & 7) + 2) & mask);
      ip += 1 + isReference;
    }
  }

  while (op < outEnd && ip < inEnd) {
    const unsigned c = *ip++;
    if (c >= 0xC0) {
      *op++ = ' ';
      if (op < outEnd) *op++ = static_cast<uint8_t>(c ^ 0x80);
    } else if (c >= 0x80) {
      if (ip == inEnd) return {static_cast<size_t>(op - out), static_cast<size_t>(ip - in), true};
      const unsigned w = c << 8 | *ip++;
      const size_t distance = (w >> 3) & 0x7FF;
      size_t count = (w & 7) + 3;
      if (distance == 0 || distance > static_cast<size_t>(op - out)) {
        return {static_cast<size_t>(op - out), static_cast<size_t>(ip - in), true};
      }
      for (; count > 0 && op < outEnd; --count, ++op) *op = *(op - distance);
    } else if (c >= 0x09 || c == 0) {
      *op++ = static_cast<uint8_t>(c);
    } else {
      for (unsigned n = c; n > 0 && op < outEnd; --n) {
        if (ip == inEnd) return {static_cast<size_t>(op - out), static_cast<size_t>(ip - in), true};
        *op++ = *ip++;
      }
    }
  }
  return {static_cast<size_t>(op - out), static_cast<size_t>(ip - in), false};
}
