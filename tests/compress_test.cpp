// Our packer: every stream it writes unpacks to exactly its input, consuming
// the stream exactly.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "content/stream.h"
#include "tools/pack/compress.h"

namespace {

using Bytes = std::vector<uint8_t>;

// A small deterministic generator, so that a failure can be replayed.
struct Rng {
  uint64_t state;
  uint64_t Next() {
    uint64_t z = (state += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  size_t Below(size_t n) { return static_cast<size_t>(Next() % n); }
  uint8_t Byte() { return static_cast<uint8_t>(Next()); }
};

::testing::AssertionResult RoundTrips(const Bytes& input) {
  const Bytes stream = PackStream(input);
  Bytes out(input.size() + 16, 0xEE);
  const UnpackResult r = UnpackStream(stream.data(), stream.size(), out.data(), input.size());
  if (r.malformed) return ::testing::AssertionFailure() << "malformed stream";
  if (r.written != input.size()) return ::testing::AssertionFailure() << "wrote " << r.written << " of " << input.size();
  if (r.consumed != stream.size()) {
    return ::testing::AssertionFailure() << "consumed " << r.consumed << " of " << stream.size();
  }
  for (size_t i = 0; i < input.size(); ++i) {
    if (out[i] != input[i]) return ::testing::AssertionFailure() << "differs at " << i;
  }
  return ::testing::AssertionSuccess();
}

// Letter-code prose: words of letters, spaces, a little punctuation.
Bytes TextLike(Rng& rng, size_t size) {
  static const char* const kWords[] = {"ab", "vzh", "lo", "{mr", "hnh", "ki", "al", "shl", "bdbr", "rbi", "aiyn"};
  Bytes out;
  while (out.size() < size) {
    const char* w = kWords[rng.Below(std::size(kWords))];
    if (rng.Below(4) == 0) {
      for (size_t k = 1 + rng.Below(7); k > 0; --k) out.push_back(static_cast<uint8_t>('a' + rng.Below(27)));
    } else {
      out.insert(out.end(), w, w + std::char_traits<char>::length(w));
    }
    const size_t p = rng.Below(20);
    out.push_back(p == 0 ? ':' : p == 1 ? '.' : ' ');
    if (rng.Below(60) == 0) out.insert(out.end(), {0, 0xB1, 0});  // a record boundary
  }
  out.resize(size);
  return out;
}

TEST(PackStream, RoundTripsRandomBytesOfEveryValue) {
  Rng rng{1};
  for (int trial = 0; trial < 200; ++trial) {
    Bytes input(rng.Below(3000));
    for (uint8_t& b : input) b = rng.Byte();
    ASSERT_TRUE(RoundTrips(input)) << "trial " << trial << ", size " << input.size();
  }
}

TEST(PackStream, RoundTripsTextLikeInput) {
  Rng rng{2};
  for (int trial = 0; trial < 100; ++trial) {
    const Bytes input = TextLike(rng, rng.Below(6000));
    ASSERT_TRUE(RoundTrips(input)) << "trial " << trial;
  }
}

TEST(PackStream, RoundTripsSmallAlphabets) {
  // Few distinct bytes make long hash chains and many overlapping matches.
  Rng rng{3};
  for (const unsigned alphabet : {1u, 2u, 3u}) {
    for (const unsigned first : {0x00u, 0x08u, 0x20u, 0x40u, 0x80u, 0xC0u}) {
      Bytes input(rng.Below(5000) + 1);
      for (uint8_t& b : input) b = static_cast<uint8_t>(first + rng.Below(alphabet));
      ASSERT_TRUE(RoundTrips(input)) << alphabet << " from " << first;
    }
  }
}

TEST(PackStream, RoundTripsEdgesAndRuns) {
  const Bytes cases[] = {
      {},
      {0x00},
      {' '},
      {' ', 0x40},
      {' ', 0x3F},
      {' ', 0x80},
      Bytes(10000, 0x00),
      Bytes(10000, 0xFF),
      Bytes(9, 0x01),
      Bytes(65535, ' '),
  };
  for (const Bytes& input : cases) EXPECT_TRUE(RoundTrips(input)) << input.size();
}

TEST(PackStream, UsesARepeatAtEveryDistanceOfTheWindow) {
  Rng rng{4};
  for (size_t distance = 1; distance <= kWindow; ++distance) {
    // distance bytes, then ten bytes repeating from distance back.
    Bytes input(distance);
    for (uint8_t& b : input) b = static_cast<uint8_t>(0x09 + rng.Below(0x77));
    const size_t tail = 10;
    for (size_t i = 0; i < tail; ++i) input.push_back(input[input.size() - distance]);
    ASSERT_TRUE(RoundTrips(input)) << distance;
    const Bytes alone(input.begin(), input.end() - static_cast<ptrdiff_t>(tail));
    EXPECT_LE(PackStream(input).size(), PackStream(alone).size() + 2) << "the repeat at distance " << distance
                                                                       << " is one back-reference";
  }
}

TEST(PackStream, BeatsLiteralsOnProseAndNeedsRunsOnlyForHighBytes) {
  Rng rng{5};
  const Bytes prose = TextLike(rng, 20000);
  EXPECT_LT(PackStream(prose).size(), prose.size() * 6 / 10);
  // Bytes 0x80 and above cost a run byte per eight.
  const Bytes high(800, 0x90);
  Bytes spread;
  for (int i = 0; i < 80; ++i) spread.insert(spread.end(), {0x90, 0x91, 0x92, 0x93, 0x94, 0x95, 0x96, 0x97, 0x98, 0x99});
  EXPECT_LE(PackStream(spread).size(), 12u + 2u * 79u);
  EXPECT_LE(PackStream(high).size(), 2u + 2u * 80u);
}

}  // namespace
