// lzw_bench.cpp — LZW decoding speed in bytes of output per second.
//
// Input: 1 MB shaped like the demo's data (a 320-pixel-wide greyscale picture
// with soft gradients and some grain), compressed once with the pack tool's
// encoder. Target: at least 100 MB/s of output.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "pack/lzw_decoder.h"
#include "pack/lzw_encoder.h"

namespace {

std::vector<uint8_t> PictureLikeMegabyte() {
  std::vector<uint8_t> data(1 << 20);
  uint32_t grain = 1;
  for (std::size_t i = 0; i < data.size(); ++i) {
    const uint32_t x = i % 320, y = static_cast<uint32_t>(i / 320);
    grain = grain * 1664525u + 1013904223u;
    const uint32_t shade = (x / 8 + y / 4) % 64 * 4;
    data[i] = static_cast<uint8_t>(shade + ((grain >> 29) == 0 ? 1 : 0));
  }
  return data;
}

void BM_LzwDecodeMegabyte(benchmark::State& state) {
  const std::vector<uint8_t> data = PictureLikeMegabyte();
  const std::vector<uint8_t> stream = LzwEncode(data.data(), data.size());
  std::vector<uint8_t> out(data.size());
  for (auto _ : state) {
    std::size_t written = 0;
    const LzwStatus status = Decode(stream.data(), stream.size(), out.data(), out.size(), &written);
    benchmark::DoNotOptimize(out.data());
    if (status != kLzwOk || written != data.size()) state.SkipWithError("decode failed");
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(data.size()));
  state.counters["ratio"] = static_cast<double>(data.size()) / static_cast<double>(stream.size());
}
BENCHMARK(BM_LzwDecodeMegabyte)->Unit(benchmark::kMillisecond);

}  // namespace
