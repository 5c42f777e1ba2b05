// Arbitrary bytes as an article resource, as a container and as a stream:
// the loader never reads outside what it is given, and whatever it returns
// is exactly as long as the container says, ends in zeros and can be walked.
#include <algorithm>
#include <cstdint>
#include <cstdlib>

#include "content/article.h"
#include "content/records.h"
#include "platform/headless/headless.h"

namespace {

void Check(bool ok) {
  if (!ok) std::abort();
}

void Walk(const ArticleBuffer& a) {
  TextRecord r;
  size_t offset = 0, count = 0;
  for (; ReadRecord(a.records(), offset, &r); offset = NextRecordOffset(r)) {
    Check(size_t{r.text} + r.textLength < a.records().size());
    ++count;
  }
  Check(count <= a.size);
}

void CheckResult(const ArticleBuffer& a, uint16_t unpacked) {
  if (!a) return;
  Check(a.size == unpacked);
  Check(a.bytes[a.size] == 0 && a.bytes[a.size + 1u] == 0);
  Walk(a);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  ResetHeadless();
  // A copy of exactly the input, so that any read past it is caught.
  auto* copy = static_cast<uint8_t*>(std::malloc(size ? size : 1));
  std::copy(data, data + size, copy);

  const ResourceEntry resource{kResourceRcData, 1001, static_cast<uint32_t>(size), copy};
  Headless().resources = {&resource, 1};
  int error = 0;
  const ArticleBuffer a = LoadArticle(1, &error);
  Check(a ? error == 0 : error >= 1 && error <= 5);
  if (size >= 10) CheckResult(a, static_cast<uint16_t>(copy[8] << 8 | copy[9]));

  if (size >= 2) {
    const auto unpacked = static_cast<uint16_t>(copy[0] << 8 | copy[1]);
    const auto packed = static_cast<uint16_t>(std::min<size_t>(size - 2, 0xFFFF));
    CheckResult(UnCompress(copy + 2, packed, unpacked, nullptr), unpacked);
  }
  Headless().resources = {};
  std::free(copy);
  return 0;
}
