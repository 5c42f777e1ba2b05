// The program's resources are the tables compiled into it.
#include "platform/resources.h"

const ResourceEntry* FindResource(uint16_t id, uint16_t kind) {
  return FindResourceIn(VolumeResources(), id, kind);
}
