#include "tools/pack/compress.h"

#include <algorithm>
#include <limits>

// Two passes. The first finds, for every position, the longest match (up to
// 10 bytes) anywhere in the 2,047 bytes before it, with hash chains over
// three-byte prefixes. Any shorter prefix of that match is a match too, so
// these lengths are all the back-references there are.
//
// The second is a shortest path from the end of the input back to its start:
// cost[i] is the fewest stream bytes that produce input[i..]. From each
// position the candidates are a back-reference of every length the match
// allows (2 bytes), a space pair (1 byte for a space and a byte 0x40..0x7F),
// a single literal (1 byte, for 0x00 and 0x09..0x7F) and a literal run of 1
// to 8 bytes (1 + k bytes, for anything). Among parses of equal length the
// one with the fewest tokens wins: it unpacks quicker, since the unpacker's
// cost is mostly per token. So a cost is stream bytes and tokens in one
// number, bytes in the high bits.
namespace {

struct Match {
  uint16_t length;  // 0 when no match of kMinMatch bytes
  uint16_t distance;
};

std::vector<Match> FindMatches(std::span<const uint8_t> in) {
  const size_t n = in.size();
  std::vector<Match> matches(n, Match{0, 0});
  if (n < kMinMatch) return matches;
  constexpr size_t kHashBits = 15;
  constexpr uint32_t kNone = std::numeric_limits<uint32_t>::max();
  std::vector<uint32_t> head(size_t{1} << kHashBits, kNone);
  std::vector<uint32_t> previous(n, kNone);
  auto hash = [&](size_t i) {
    const uint32_t v = uint32_t{in[i]} << 16 | uint32_t{in[i + 1]} << 8 | in[i + 2];
    return static_cast<size_t>((v * 2654435761u) >> (32 - kHashBits));
  };
  for (size_t i = 0; i + kMinMatch <= n; ++i) {
    const size_t h = hash(i);
    const size_t limit = std::min(kMaxMatch, n - i);
    Match best{0, 0};
    for (uint32_t j = head[h]; j != kNone && i - j <= kWindow; j = previous[j]) {
      size_t len = 0;
      while (len < limit && in[j + len] == in[i + len]) ++len;
      if (len >= kMinMatch && len > best.length) {
        best = {static_cast<uint16_t>(len), static_cast<uint16_t>(i - j)};
        if (len == limit) break;
      }
    }
    matches[i] = best;
    previous[i] = head[h];
    head[h] = static_cast<uint32_t>(i);
  }
  return matches;
}

enum class Token : uint8_t { Literal, Run, Space, Reference };

struct Step {
  Token token;
  uint8_t length;  // input bytes the token covers
};

bool IsSingleLiteral(uint8_t b) { return b == 0 || (b >= 0x09 && b <= 0x7F); }

}  // namespace

std::vector<uint8_t> PackStream(std::span<const uint8_t> in) {
  const size_t n = in.size();
  const std::vector<Match> matches = FindMatches(in);
  constexpr int kTokenBits = 24;  // tokens of inputs up to 16 MiB; past that still a valid parse
  auto price = [](uint64_t bytes) { return bytes << kTokenBits | 1; };
  std::vector<uint64_t> cost(n + 1, 0);
  std::vector<Step> steps(n);
  for (size_t i = n; i-- > 0;) {
    uint64_t best = std::numeric_limits<uint64_t>::max();
    Step step{Token::Run, 1};
    auto consider = [&](uint64_t c, Token token, size_t length) {
      if (c < best) {
        best = c;
        step = {token, static_cast<uint8_t>(length)};
      }
    };
    for (size_t len = matches[i].length; len >= kMinMatch; --len) {
      consider(price(2) + cost[i + len], Token::Reference, len);
    }
    if (in[i] == ' ' && i + 1 < n && in[i + 1] >= 0x40 && in[i + 1] <= 0x7F) {
      consider(price(1) + cost[i + 2], Token::Space, 2);
    }
    if (IsSingleLiteral(in[i])) consider(price(1) + cost[i + 1], Token::Literal, 1);
    for (size_t k = std::min<size_t>(8, n - i); k >= 1; --k) {
      consider(price(1 + k) + cost[i + k], Token::Run, k);
    }
    cost[i] = best;
    steps[i] = step;
  }

  std::vector<uint8_t> out;
  out.reserve(cost[0] >> kTokenBits);
  for (size_t i = 0; i < n;) {
    const Step s = steps[i];
    switch (s.token) {
      case Token::Literal:
        out.push_back(in[i]);
        break;
      case Token::Space:
        out.push_back(static_cast<uint8_t>(in[i + 1] ^ 0x80));
        break;
      case Token::Run:
        out.push_back(s.length);
        out.insert(out.end(), in.begin() + static_cast<ptrdiff_t>(i), in.begin() + static_cast<ptrdiff_t>(i + s.length));
        break;
      case Token::Reference: {
        const unsigned w = 0x8000u | unsigned{matches[i].distance} << 3 | (s.length - 3u);
        out.push_back(static_cast<uint8_t>(w >> 8));
        out.push_back(static_cast<uint8_t>(w & 0xFF));
        break;
      }
    }
    i += s.length;
  }
  return out;
}
