// The speed of unpacking the volume, and the packer's ratio and speed.
//
//   build/bench/quenzil_bench
//
// Unpack/* report MB/s of unpacked output; Pack reports the packed share of
// the volume as the counter "ratio". Unpack/unchecked is a plain unpacker
// that trusts its stream, byte by byte, the yardstick for what our checks
// cost on the same machine and data.
#include <benchmark/benchmark.h>

#include <vector>

#include "content/article.h"
#include "content/stream.h"
#include "platform/resources.h"
#include "tools/pack/compress.h"

namespace {

struct Stream {
  const uint8_t* bytes;
  uint16_t packed;
  uint16_t unpacked;
};

// Every container of the volume: its stream and lengths.
std::vector<Stream> VolumeStreams() {
  std::vector<Stream> streams;
  for (const ResourceEntry& r : VolumeResources()) {
    const uint8_t* c = r.bytes;
    streams.push_back({c + 10, static_cast<uint16_t>(c[6] << 8 | c[7]), static_cast<uint16_t>(c[8] << 8 | c[9])});
  }
  return streams;
}

int64_t UnpackedTotal(const std::vector<Stream>& streams) {
  int64_t total = 0;
  for (const Stream& s : streams) total += s.unpacked;
  return total;
}

// The unpacking loop alone, into one buffer: what a search pays per article.
void UnpackStreams(benchmark::State& state) {
  const std::vector<Stream> streams = VolumeStreams();
  std::vector<uint8_t> out(65536);
  for (auto _ : state) {
    for (const Stream& s : streams) {
      benchmark::DoNotOptimize(UnpackStream(s.bytes, s.packed, out.data(), s.unpacked));
    }
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(state.iterations() * UnpackedTotal(streams));
}
BENCHMARK(UnpackStreams)->Name("Unpack/stream");

// A plain unpacker with no checks at all: it trusts every token.
size_t UnpackUnchecked(const uint8_t* ip, size_t packed, uint8_t* op, size_t unpacked) {
  const uint8_t* const end = ip + packed;
  uint8_t* const start = op;
  uint8_t* const outEnd = op + unpacked;
  while (ip < end && op < outEnd) {
    unsigned c = *ip++;
    if (c >= 1 && c <= 8) {
      while (c--) *op++ = *ip++;
    } else if (c < 0x80) {
      *op++ = static_cast<uint8_t>(c);
    } else if (c >= 0xC0) {
      *op++ = ' ';
      *op++ = static_cast<uint8_t>(c ^ 0x80);
    } else {
      const unsigned w = c << 8 | *ip++;
      const size_t distance = (w >> 3) & 0x7FF;
      for (unsigned n = (w & 7) + 3; n > 0; --n, ++op) *op = *(op - distance);
    }
  }
  return static_cast<size_t>(op - start);
}

void UnpackStreamsUnchecked(benchmark::State& state) {
  const std::vector<Stream> streams = VolumeStreams();
  std::vector<uint8_t> out(65536 + 16);
  for (auto _ : state) {
    for (const Stream& s : streams) benchmark::DoNotOptimize(UnpackUnchecked(s.bytes, s.packed, out.data(), s.unpacked));
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(state.iterations() * UnpackedTotal(streams));
}
BENCHMARK(UnpackStreamsUnchecked)->Name("Unpack/unchecked");

// The whole load of every article and the index: lookup, checks, a fresh buffer.
void LoadEveryArticle(benchmark::State& state) {
  std::vector<int32_t> numbers;
  for (int32_t n = 1; n <= kArticleCount; ++n) numbers.push_back(n);
  numbers.push_back(kIndexNumber);
  for (auto _ : state) {
    for (const int32_t n : numbers) benchmark::DoNotOptimize(LoadArticle(n, nullptr));
  }
  state.SetBytesProcessed(state.iterations() * UnpackedTotal(VolumeStreams()));
}
BENCHMARK(LoadEveryArticle)->Name("Unpack/LoadArticle");

// Packing every article and the index afresh.
void PackVolume(benchmark::State& state) {
  std::vector<std::vector<uint8_t>> data;
  for (const Stream& s : VolumeStreams()) {
    std::vector<uint8_t> d(s.unpacked);
    UnpackStream(s.bytes, s.packed, d.data(), d.size());
    data.push_back(std::move(d));
  }
  size_t packed = 0, unpacked = 0;
  for (auto _ : state) {
    packed = unpacked = 0;
    for (const auto& d : data) {
      packed += PackStream(d).size();
      unpacked += d.size();
    }
  }
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(unpacked));
  state.counters["ratio"] = static_cast<double>(packed) / static_cast<double>(unpacked);
  state.counters["packed"] = static_cast<double>(packed);
  state.counters["unpacked"] = static_cast<double>(unpacked);
}
BENCHMARK(PackVolume)->Name("Pack")->Unit(benchmark::kMillisecond);

}  // namespace
