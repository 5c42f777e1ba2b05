#pragma once
// The registry of the current user: keys of named values, read once at start
// and written once at exit. On the desktop it is one per-user text file in
// the registry export format, written atomically, keeping keys and values the
// program does not know as they were.

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

// The value types kept; every other type read is kept as it is but not read.
enum : uint32_t {
  kRegistryString = 1,  // a zero-terminated wide string
  kRegistryBinary = 3,
  kRegistryNumber = 4,  // 32 bits, little-endian
};

struct PlatformRegistryKey;
using RegistryKey = PlatformRegistryKey*;

// Opens an existing key under the current user for reading, by path with
// backslashes ("Software\Brantholm\Quenzil"; case does not matter). Nothing
// when there is no such key.
RegistryKey OpenRegistryKey(std::u16string_view path);

// Opens the key for writing, creating it and the keys above it as needed.
RegistryKey CreateRegistryKey(std::u16string_view path);

// A value's type and bytes; false when the key has no value of that name.
bool QueryRegistryValue(RegistryKey key, std::u16string_view name, uint32_t* type, std::vector<uint8_t>* data);

// Sets a value of type 1, 3 or 4; false for another type or a key opened for
// reading.
bool SetRegistryValue(RegistryKey key, std::u16string_view name, uint32_t type, std::span<const uint8_t> data);

// Closes the key. Closing a key written to puts its values into the store;
// false when the store could not be written (the values are then lost, and
// the store is as it was).
bool CloseRegistryKey(RegistryKey key);
