// Arbitrary bytes through our packer: every stream it writes unpacks to
// exactly the input and is consumed exactly.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "content/stream.h"
#include "tools/pack/compress.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::vector<uint8_t> stream = PackStream({data, size});
  std::vector<uint8_t> out(size);
  const UnpackResult r = UnpackStream(stream.data(), stream.size(), out.data(), out.size());
  if (r.malformed || r.written != size || r.consumed != stream.size()) std::abort();
  if (size && std::memcmp(out.data(), data, size) != 0) std::abort();
  // No stream is longer than literal runs of the whole input would be.
  if (stream.size() > size + (size + 7) / 8) std::abort();
  return 0;
}
