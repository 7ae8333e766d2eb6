// frame_outputs.h — the per-pass files of a capture: the trace, raw dumps
// of the drawn frame and PNGs of the presented one.
//
//   FrameOutputs out;
//   if (!OpenFrameOutputs(&out, options)) -> reported, exit 1
//   per active pass: WriteFramePass(&out, pass, probe, presented, pitch)
//   FinishFrameOutputs(&out)   // false if anything failed to be written
//   CommitChecked(&out.trace) or DiscardChecked(&out.trace)
//
// Each dump and PNG is written beside its place and renamed when complete,
// so a folder holds only whole frames; the trace is renamed by the caller
// once the whole run succeeded. The first failure is reported through
// ReportFailure (stopping the run) and nothing more is written.
#pragma once
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "host/host.h"
#include "tools/capture/options.h"
#include "tools/common/checked_file.h"

// FNV-1a, 64 bits, over `size` bytes.
uint64_t Fnv1a64(const uint8_t* bytes, std::size_t size);

struct FrameOutputs {
  bool tracing = false;
  CheckedFile trace;
  std::vector<PassRange> dumpPasses;
  std::string dumpDir;
  std::string pngDir;
  int pngEvery = 0;   // 0: no PNGs
  bool failed = false;
};

// Creates the trace (with its header) and the dump and PNG folders.
bool OpenFrameOutputs(FrameOutputs* out, const CaptureOptions& options);

// One active pass: a trace line, the dump of the drawn frame if listed, and a
// PNG of the presented picture (`presented`, rows `pitch` bytes apart) on
// every Nth pass. Does nothing once anything failed.
void WriteFramePass(FrameOutputs* out, int64_t pass, const FrameProbe& probe,
                    const uint8_t* presented, int pitch);

// Flushes and closes the trace, checked; false if anything failed.
bool FinishFrameOutputs(FrameOutputs* out);
