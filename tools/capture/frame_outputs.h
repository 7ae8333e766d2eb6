// frame_outputs.h — the per-pass files of a capture: the trace, raw dumps
// of the drawn frame and PNGs of the presented one.
//
//   FrameOutputs out;
//   if (!OpenFrameOutputs(&out, options)) -> message printed, exit 1
//   per active pass: WriteFramePass(&out, pass, probe, presented, pitch)
//   CloseFrameOutputs(&out)   // false if anything failed to be written
#pragma once
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "host/host.h"
#include "tools/capture/options.h"

// FNV-1a, 64 bits, over `size` bytes.
uint64_t Fnv1a64(const uint8_t* bytes, std::size_t size);

struct FrameOutputs {
  std::FILE* trace = nullptr;
  std::string tracePath;
  std::vector<PassRange> dumpPasses;
  std::string dumpDir;
  std::string pngDir;
  int pngEvery = 0;   // 0: no PNGs
  bool failed = false;  // a write went wrong; reported once
};

// Creates the trace (with its header) and the dump and PNG folders.
bool OpenFrameOutputs(FrameOutputs* out, const CaptureOptions& options);

// One active pass: a trace line, the dump of the drawn frame if listed, and a
// PNG of the presented picture (`presented`, rows `pitch` bytes apart) on
// every Nth pass.
void WriteFramePass(FrameOutputs* out, int64_t pass, const FrameProbe& probe,
                    const uint8_t* presented, int pitch);

bool CloseFrameOutputs(FrameOutputs* out);
