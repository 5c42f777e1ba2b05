#include "platform/bitmap.h"

#include "platform/resources.h"

namespace {

constexpr size_t kHeaderSize = 4;

uint32_t ReadLittle(std::span<const uint8_t> bytes, size_t at, size_t width) {
  uint32_t value = 0;
  for (size_t i = 0; i < width; ++i) value |= uint32_t{bytes[at + i]} << (8 * i);
  return value;
}

void WriteLittle(std::vector<uint8_t>* out, uint32_t value, size_t width) {
  for (size_t i = 0; i < width; ++i) out->push_back(static_cast<uint8_t>(value >> (8 * i)));
}

}  // namespace

bool DecodeBitmap(std::span<const uint8_t> bytes, BitmapPixels* bitmap) {
  if (bytes.size() < kHeaderSize) return false;
  const uint32_t width = ReadLittle(bytes, 0, 2);
  const uint32_t height = ReadLittle(bytes, 2, 2);
  const size_t count = size_t{width} * height;
  if (count == 0 || bytes.size() != kHeaderSize + 4 * count) return false;
  bitmap->width = static_cast<int32_t>(width);
  bitmap->height = static_cast<int32_t>(height);
  bitmap->pixels.resize(count);
  for (size_t i = 0; i < count; ++i) bitmap->pixels[i] = ReadLittle(bytes, kHeaderSize + 4 * i, 4) & 0xFFFFFF;
  return true;
}

std::vector<uint8_t> EncodeBitmap(const BitmapPixels& bitmap) {
  std::vector<uint8_t> out;
  out.reserve(kHeaderSize + 4 * bitmap.pixels.size());
  WriteLittle(&out, static_cast<uint32_t>(bitmap.width), 2);
  WriteLittle(&out, static_cast<uint32_t>(bitmap.height), 2);
  for (Colour c : bitmap.pixels) WriteLittle(&out, c, 4);
  return out;
}

BitmapHandle LoadBitmap(uint16_t id) {
  const ResourceEntry* entry = FindResource(id, kResourceBitmap);
  if (!entry) return nullptr;
  BitmapPixels decoded;
  if (!DecodeBitmap({LoadResource(entry), SizeofResource(entry)}, &decoded)) return nullptr;
  return CreateBitmap(decoded.width, decoded.height, decoded.pixels.data());
}
