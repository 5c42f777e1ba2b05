#pragma once
// Our packer for the PalmDoc LZ77 token scheme that the reader unpacks.

#include <cstdint>
#include <span>
#include <vector>

// The longest back-reference distance and the range of its count.
constexpr size_t kWindow = 2047;
constexpr size_t kMinMatch = 3;
constexpr size_t kMaxMatch = 10;

// Packs input into the shortest stream this token scheme allows for it, as
// far as the tokens go: back-references at any distance in the window, space
// pairs, single literals and literal runs, chosen by a shortest-path parse.
// The stream unpacks to exactly the input and is consumed exactly.
std::vector<uint8_t> PackStream(std::span<const uint8_t> input);
