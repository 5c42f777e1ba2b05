// Arbitrary bytes as the registry's store: whatever parses writes back into
// text that parses to the same keys and values, and a value set in it reads
// back exactly.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "platform/registry_store.h"

namespace {

void Check(bool ok) {
  if (!ok) std::abort();
}

bool SameValues(const RegistryDocument& a, const RegistryDocument& b) {
  if (a.sections.size() != b.sections.size()) return false;
  for (size_t s = 0; s < a.sections.size(); ++s) {
    const auto& x = a.sections[s];
    const auto& y = b.sections[s];
    if (x.path != y.path || x.items.size() != y.items.size()) return false;
    for (size_t i = 0; i < x.items.size(); ++i) {
      const RegistryItem& p = x.items[i];
      const RegistryItem& q = y.items[i];
      if (p.isValue != q.isValue || p.name != q.name || p.type != q.type || p.data != q.data) return false;
    }
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  std::optional<RegistryDocument> document = ParseRegistry(text);
  if (!document) return 0;
  std::optional<RegistryDocument> again = ParseRegistry(FormatRegistry(*document));
  Check(again.has_value() && SameValues(*document, *again));

  // A value set under the first key read back from the written text.
  const std::string path = document->sections.empty() ? "HKEY_CURRENT_USER\\K" : document->sections[0].path;
  const std::vector<uint8_t> value(data, data + std::min<size_t>(size, 9));
  const uint32_t type = size % 2 ? 1 : 3;
  SetRegistryItem(&*document, path, "Fuzzed", type, value);
  again = ParseRegistry(FormatRegistry(*document));
  Check(again.has_value());
  bool found = false;
  for (const RegistrySection& s : again->sections) {
    if (s.path != path) continue;
    for (const RegistryItem& item : s.items) {
      if (item.isValue && item.name == "Fuzzed" && item.type == type && item.data == value) found = true;
    }
    break;
  }
  Check(found);
  return 0;
}
