#pragma once
// The packed stream of an article: the byte-oriented LZ77 token scheme of
// PalmDoc text. Tokens, by their first byte c:
//
//   0x00, 0x09..0x7F  literal: the byte c
//   0x01..0x08        literal run: the next c stream bytes, unchanged
//   0x80..0xBF        back-reference c, d: w = c << 8 | d,
//                     distance (w >> 3) & 0x7FF, count (w & 7) + 3;
//                     bytes are copied one at a time, so a count beyond the
//                     distance repeats the last distance bytes
//   0xC0..0xFF        space pair: a space, then c ^ 0x80

#include <cstddef>
#include <cstdint>

// How one unpacking ended.
struct UnpackResult {
  size_t written;   // output bytes produced
  size_t consumed;  // stream bytes read
  bool malformed;   // a token reached past the stream or before the output's start
};

// Unpacks the stream into out until out is full or the stream is used up.
// A literal run or back-reference stops as soon as out is full, and a space
// pair whose space fills out drops its second byte. A token that needs bytes
// beyond the stream, or a back-reference of distance 0 or reaching before the
// first output byte, stops the unpacking as malformed. Never reads or writes
// outside the two ranges.
UnpackResult UnpackStream(const uint8_t* in, size_t inSize, uint8_t* out, size_t outSize);
