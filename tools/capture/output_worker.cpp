// output_worker.cpp — a queue of preallocated pass slots and the thread that
// writes them.
#include "tools/capture/output_worker.h"

#include <cstring>
#include <system_error>

#include "kit/frame.h"
#include "tools/capture/stop_request.h"

namespace {

#if QM7_OUTPUT_THREAD
void WriteSlot(OutputWorker* w, const OutputSlot& slot) {
  if (StopRequested()) return;  // the rest is thrown away
  const uint8_t* presented = slot.presentedCopied ? slot.presented.data() : nullptr;
  WriteFramePass(w->outputs, slot.pass, slot.probe, presented, kFrameRowBytes);
  if (w->video && presented) VideoPresent(w->video, slot.units, presented, kFrameRowBytes);
}

void Work(OutputWorker* w) {
  std::unique_lock<std::mutex> hold(w->lock);
  for (;;) {
    w->wake.wait(hold, [w] { return w->written < w->queued || w->quit; });
    if (w->written == w->queued) return;  // told to quit, nothing left
    const OutputSlot& slot = w->slots[w->written % kOutputSlots];
    hold.unlock();
    WriteSlot(w, slot);
    hold.lock();
    ++w->written;
    w->wake.notify_all();
  }
}
#endif

}  // namespace

bool StartOutputWorker(OutputWorker* w, FrameOutputs* outputs, VideoRecorder* video) {
#if QM7_OUTPUT_THREAD
  w->outputs = outputs;
  w->video = video;
  for (OutputSlot& slot : w->slots) {
    slot.frame.resize(kFrameBytes);
    slot.presented.resize(kFrameBytes);
  }
  try {
    w->thread = std::thread(Work, w);
  } catch (const std::system_error&) {
    return false;
  }
  w->running = true;
  return true;
#else
  (void)w, (void)outputs, (void)video;
  return false;
#endif
}

void QueueFramePass(OutputWorker* w, int64_t pass, const FrameProbe& probe,
                    const uint8_t* presented, int pitch, int64_t units) {
#if QM7_OUTPUT_THREAD
  std::unique_lock<std::mutex> hold(w->lock);
  w->wake.wait(hold, [w] { return w->queued - w->written < kOutputSlots; });
  OutputSlot& slot = w->slots[w->queued % kOutputSlots];
  hold.unlock();

  // The thread does not look at this slot until `queued` counts it.
  const FrameOutputs& out = *w->outputs;
  bool wantsFrame = out.tracing || (!out.dumpDir.empty() && PassListed(out.dumpPasses, pass));
  bool wantsPresented = w->video || (out.pngEvery && pass % out.pngEvery == 0);
  slot.pass = pass;
  slot.units = units;
  slot.probe = probe;
  slot.probe.frame = nullptr;
  if (wantsFrame && probe.frame) {
    std::memcpy(slot.frame.data(), probe.frame, kFrameBytes);
    slot.probe.frame = slot.frame.data();
  }
  slot.presentedCopied = wantsPresented && presented;
  if (slot.presentedCopied)
    for (int y = 0; y < kFrameHeight; ++y)
      std::memcpy(slot.presented.data() + static_cast<std::ptrdiff_t>(y) * kFrameRowBytes,
                  presented + static_cast<std::ptrdiff_t>(y) * pitch, kFrameRowBytes);

  hold.lock();
  ++w->queued;
  w->wake.notify_all();
#else
  (void)w, (void)pass, (void)probe, (void)presented, (void)pitch, (void)units;
#endif
}

void StopOutputWorker(OutputWorker* w) {
#if QM7_OUTPUT_THREAD
  if (!w->running) return;
  {
    std::lock_guard<std::mutex> hold(w->lock);
    w->quit = true;
  }
  w->wake.notify_all();
  w->thread.join();
  w->running = false;
#else
  (void)w;
#endif
}
