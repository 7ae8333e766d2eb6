// present_bench.cpp — one 320x240 frame through each presentation path into
// the in-memory display: the plain row copy, and the channel repacking for a
// mode with red and blue swapped; and the CPU presentation's enlargement
// of a frame into a full-screen window.
#include <benchmark/benchmark.h>

#include <vector>

#include "display/display_device.h"
#include "kit/frame.h"
#include "platform/picture_scale.h"
#include "platform/virtual/virtual_display.h"

namespace {

// A started device over the in-memory display listing only `mode` (any
// non-null token stands for the window; the device's address serves).
bool StartDevice(DisplayDevice& device, const DdMode& mode) {
  VirtualDisplayReset();
  VirtualDisplay.modes = {mode};
  return device.InitDisplay(&device) && device.ChooseMode(320, 240, 32) &&
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

// The CPU presentation's enlargement of one frame into a window of the given
// size (the picture's rectangle only; the bars are painted once).
void BM_ScalePictureIntoWindow(benchmark::State& state) {
  const int width = static_cast<int>(state.range(0)), height = static_cast<int>(state.range(1));
  std::vector<uint32_t> frame = TestFrame();
  std::vector<uint32_t> window(size_t(width) * height);
  PictureScale scale;
  PrepareScale(&scale, kFrameWidth, kFrameHeight, FitPicture(width, height, kFrameWidth, kFrameHeight));
  for (auto _ : state) {
    ScalePicture(scale, frame.data(), kFrameWidth * 4, window.data(), width * 4);
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * scale.place.w * scale.place.h * 4);
}
BENCHMARK(BM_ScalePictureIntoWindow)->Args({1280, 1024})->Args({1920, 1080})->Unit(benchmark::kMicrosecond);
