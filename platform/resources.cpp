#include "platform/resources.h"

#include <algorithm>

const ResourceEntry* FindResourceIn(std::span<const ResourceEntry> table, uint16_t id, uint16_t kind) {
  auto before = [](const ResourceEntry& e, std::pair<uint16_t, uint16_t> key) {
    return e.kind != key.first ? e.kind < key.first : e.id < key.second;
  };
  auto it = std::lower_bound(table.begin(), table.end(), std::pair{kind, id}, before);
  if (it == table.end() || it->kind != kind || it->id != id) return nullptr;
  return &*it;
}

uint32_t SizeofResource(const ResourceEntry* resource) { return resource ? resource->size : 0; }

const uint8_t* LoadResource(const ResourceEntry* resource) {
  return resource && resource->size ? resource->bytes : nullptr;
}
