#pragma once
// The bitmap resources' format, read by both backends:
//
//   0  width    16-bit little-endian, above 0
//   2  height   16-bit little-endian, above 0
//   4  pixels   width * height colours, rows from the top, each colour
//               0x00BBGGRR as 4 bytes little-endian
//
// Nothing else may follow, so a truncated or padded resource is refused.

#include <cstdint>
#include <span>
#include <vector>

#include "platform/surface.h"

// A decoded bitmap.
struct BitmapPixels {
  int32_t width = 0;
  int32_t height = 0;
  std::vector<Colour> pixels;  // width * height, rows from the top
};

// Decodes a resource's bytes; false when they do not have the format.
bool DecodeBitmap(std::span<const uint8_t> bytes, BitmapPixels* bitmap);

// Encodes a bitmap into the format (the resource generator and the tests).
std::vector<uint8_t> EncodeBitmap(const BitmapPixels& bitmap);
