#include "content/article.h"

#include <algorithm>
#include <new>

#include "content/stream.h"
#include "platform/resources.h"
#include "platform/window.h"

namespace {

ArticleBuffer Fail(int* error, int code) {
  if (error) *error = code;
  return {};
}

uint16_t BigEndian16(const uint8_t* p) { return static_cast<uint16_t>(p[0] << 8 | p[1]); }

}  // namespace

ArticleBuffer LoadArticle(int32_t number, int* error) {
  if (number < 1) return {};
  const auto id = static_cast<uint16_t>(number + kArticleResourceBase);
  const ResourceEntry* resource = FindResource(id, kResourceRcData);
  if (!resource) return Fail(error, kLoadNoResource);
  const uint32_t size = SizeofResource(resource);
  if (size == 0) return Fail(error, kLoadNoBuffer);
  const uint8_t* bytes = LoadResource(resource);
  if (!bytes) return Fail(error, kLoadNoBuffer);
  // A resource too short to hold its header has no container to open.
  if (size < kContainerHeaderSize) return Fail(error, kLoadBadContainer);
  return OpenContainer({bytes + kContainerHeaderSize, size - kContainerHeaderSize}, BigEndian16(bytes), error);
}

ArticleBuffer OpenContainer(std::span<const uint8_t> bytes, uint16_t length, int* error) {
  if (length < 5 || bytes.size() < 4) return Fail(error, kLoadBadContainer);
  const uint16_t packed = BigEndian16(bytes.data());
  if (packed == 0) return Fail(error, kLoadBadContainer);
  const uint16_t unpacked = BigEndian16(bytes.data() + 2);
  // A stream said to be longer than the resource is read only as far as the
  // resource goes; if it needed more, that is a buffer error.
  const auto available = static_cast<uint16_t>(std::min<size_t>(packed, bytes.size() - 4));
  return UnCompress(bytes.data() + 4, available, unpacked, error);
}

ArticleBuffer UnCompress(const uint8_t* stream, uint16_t packed, uint16_t unpacked, int* error) {
  if (unpacked == 0 || !stream) return Fail(error, kLoadNothing);
  ArticleBuffer buffer;
  buffer.bytes.reset(new (std::nothrow) uint8_t[size_t{unpacked} + 2]);
  if (!buffer.bytes) return Fail(error, kLoadNoBuffer);
  const UnpackResult r = UnpackStream(stream, packed, buffer.bytes.get(), unpacked);
  if (r.malformed || r.written != unpacked) {
    buffer.bytes.reset();
    MessageBox(nullptr, u"UnCompress() buffer error!", u"", kMbOk);
    return Fail(error, kLoadBufferError);
  }
  // Byte U ends the data; the one after it is zeroed too, so that a walk
  // that steps past the last text never reads a byte nobody wrote.
  buffer.bytes[unpacked] = 0;
  buffer.bytes[size_t{unpacked} + 1] = 0;
  buffer.size = unpacked;
  return buffer;
}
