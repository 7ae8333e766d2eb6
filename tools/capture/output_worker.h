// output_worker.h — writes each pass's files (trace line and its hash, raw
// dumps, PNGs, video frames) on a thread of their own, in pass order, while
// the next frames are drawn. The files are the same bytes as when the passes
// are written directly (WriteFramePass, VideoPresent).
//
//   OutputWorker worker;
//   if (StartOutputWorker(&worker, &outputs, recordVideo ? &video : nullptr)) {
//     per active pass: QueueFramePass(&worker, pass, probe, presented, pitch, units);
//     StopOutputWorker(&worker);  // all written; before CloseFrameOutputs / FinishVideo
//   }
//
// A pass's pictures are copied into one of kOutputSlots buffers allocated at
// the start, and only those the pass writes; when every slot is waiting, the
// caller waits for the oldest to be written. The main thread touches neither
// the outputs nor the video between start and stop. Once a stop is
// requested the slots are emptied without writing, and a write to ffmpeg
// gives up within 50 ms, so the caller never waits long.
#pragma once
#include <cstdint>
#include <vector>

#include "host/host.h"
#include "tools/capture/frame_outputs.h"
#include "tools/capture/video.h"

#if defined(__EMSCRIPTEN__) && !defined(__EMSCRIPTEN_PTHREADS__)
#define QM7_OUTPUT_THREAD 0
#else
#define QM7_OUTPUT_THREAD 1
#include <condition_variable>
#include <mutex>
#include <thread>
#endif

constexpr int kOutputSlots = 4;

struct OutputSlot {
  int64_t pass = 0;
  int64_t units = 0;
  FrameProbe probe{};            // probe.frame points into `frame` (or is null)
  bool presentedCopied = false;
  std::vector<uint8_t> frame;      // the drawn frame, kFrameBytes
  std::vector<uint8_t> presented;  // the presented picture, rows kFrameWidth x 4 bytes
};

struct OutputWorker {
  FrameOutputs* outputs = nullptr;
  VideoRecorder* video = nullptr;
  OutputSlot slots[kOutputSlots];
  bool running = false;
#if QM7_OUTPUT_THREAD
  std::mutex lock;
  std::condition_variable wake;  // both ways: a pass queued, a pass written
  int64_t queued = 0;            // under `lock`
  int64_t written = 0;           // under `lock`
  bool quit = false;             // under `lock`
  std::thread thread;
#endif
};

// Allocates the slots and starts the thread; false (nothing started) where
// there are no threads.
bool StartOutputWorker(OutputWorker* worker, FrameOutputs* outputs, VideoRecorder* video);

// Called by the frame observer for each active pass, with the picture on
// screen (`presented`, may be null) and the virtual time of the pass.
void QueueFramePass(OutputWorker* worker, int64_t pass, const FrameProbe& probe,
                    const uint8_t* presented, int pitch, int64_t units);

// Waits until every queued pass is written and ends the thread.
void StopOutputWorker(OutputWorker* worker);
