// present_bench.cpp — one 320x240 frame through each presentation path into
// the in-memory display: the plain row copy, and the channel repacking for a
// mode with red and blue swapped.
#include <benchmark/benchmark.h>

#include <vector>

#include "display/display_device.h"
#include "kit/frame.h"
#include "platform/virtual/virtual_display.h"

namespace {

// A started device over the in-memory display listing only `mode`.
bool StartDevice(DisplayDevice& device, const DdMode& mode) {
  VirtualDisplayReset();
  VirtualDisplay.modes = {mode};
  return device.InitDisplay(nullptr) && device.ChooseMode(320, 240, 32) &&
         (device.SetSourceFormat(32, 0x00FF0000, 0x0000FF00, 0x000000FF), true) &&
         device.CreateSurfaces();
}

std::vector<uint32_t> TestFrame() {
  std::vector<uint32_t> frame(kFrameWidth * kFrameHeight);
  for (size_t i = 0; i < frame.size(); ++i) frame[i] = uint32_t(i * 2654435761u) & 0x00FFFFFF;
  return frame;
}

void BM_PresentPlain(benchmark::State& state) {
  DisplayDevice device;
  if (!StartDevice(device, {320, 240, 32, 0x00FF0000, 0x0000FF00, 0x000000FF})) {
    state.SkipWithError("display start-up failed");
    return;
  }
  std::vector<uint32_t> frame = TestFrame();
  for (auto _ : state) {
    benchmark::DoNotOptimize(device.PresentPlain(frame.data(), 0, kFrameHeight));
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(kFrameBytes));
}
BENCHMARK(BM_PresentPlain);

void BM_PresentConverted(benchmark::State& state) {
  DisplayDevice device;
  if (!StartDevice(device, {320, 240, 32, 0x000000FF, 0x0000FF00, 0x00FF0000}) ||
      device.converter != kConvert32To4Bytes) {
    state.SkipWithError("display start-up failed");
    return;
  }
  std::vector<uint32_t> frame = TestFrame();
  for (auto _ : state) {
    benchmark::DoNotOptimize(device.PresentConverted(frame.data(), 0, kFrameHeight));
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(kFrameBytes));
}
BENCHMARK(BM_PresentConverted);

}  // namespace
