#include "content/stream.h"

#include <cstring>

// The loop has a fast path for the bulk of the stream, taken while at least
// kInSlack stream bytes and kOutSlack output bytes remain: then no token can
// run past either end, so the only check left per token is the distance of a
// back-reference, and copies are done in whole words (writing up to
// kOutSlack bytes, of which the later tokens overwrite what this one did not
// produce). The careful path checks every byte and finishes the last bytes.
namespace {

constexpr size_t kInSlack = 9;    // a literal run of 8 and its length byte
constexpr size_t kOutSlack = 16;  // the widest word copy below

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
      const unsigned c = *ip++;
      if (c >= 0xC0) {
        op[0] = ' ';
        op[1] = static_cast<uint8_t>(c ^ 0x80);
        op += 2;
      } else if (c >= 0x80) {
        const unsigned w = c << 8 | *ip++;
        const size_t distance = (w >> 3) & 0x7FF;
        const size_t count = (w & 7) + 3;
        if (distance == 0 || distance > static_cast<size_t>(op - out)) {
          return {static_cast<size_t>(op - out), static_cast<size_t>(ip - in), true};
        }
        const uint8_t* from = op - distance;
        if (distance >= 8) {
          // Two word copies; the second starts 8 bytes on, still at least
          // distance behind, so neither reads bytes this token writes.
          std::memcpy(op, from, 8);
          std::memcpy(op + 8, from + 8, 8);
        } else {
          for (size_t i = 0; i < count; ++i) op[i] = from[i];
        }
        op += count;
      } else if (c >= 0x09 || c == 0) {
        *op++ = static_cast<uint8_t>(c);
      } else {
        std::memcpy(op, ip, 8);
        op += c;
        ip += c;
      }
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
