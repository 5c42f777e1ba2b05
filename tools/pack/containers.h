#pragma once
// The containers the reader loads its articles and index from, and the C++
// resource table that compiles them into the program.

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// One raw-data resource of the volume.
struct PackedResource {
  uint16_t id;
  std::vector<uint8_t> bytes;  // the container
};

// Packs one article or the index into its container: the 6-byte header
// (length, two tags), packed and unpacked lengths, the stream and four zero
// bytes. Checks that the stream unpacks to exactly the data, consuming it
// exactly. False with a message when the data or its stream is too large for
// the 16-bit fields.
bool MakeContainer(std::span<const uint8_t> data, uint16_t tag1, uint16_t tag2, std::vector<uint8_t>* container,
                   std::string* message);

// The source of the generated table: every resource's bytes and a table
// sorted by id, behind VolumeResources().
std::string ResourceTableSource(std::span<const PackedResource> resources, std::string_view from);
