#include "content/records.h"

#include <cstring>

bool ReadRecord(std::span<const uint8_t> article, size_t offset, TextRecord* record) {
  // The flags, param and at least the text's terminator must be there.
  if (offset + 2 >= article.size() || article[offset] == 0) return false;
  const size_t text = offset + 2;
  const void* end = std::memchr(article.data() + text, 0, article.size() - text);
  if (!end) return false;  // a text that runs off the bytes: nothing more to read
  record->offset = static_cast<uint16_t>(offset);
  record->flags = article[offset];
  record->param = article[offset + 1];
  record->text = static_cast<uint16_t>(text);
  record->textLength = static_cast<uint16_t>(static_cast<const uint8_t*>(end) - (article.data() + text));
  return true;
}

size_t NextRecordOffset(const TextRecord& record) {
  if (IsRule(record.flags) && record.param == 0) return size_t{record.offset} + 3;
  return size_t{record.text} + record.textLength + 1;
}
