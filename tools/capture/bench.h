// bench.h — CPU time of every pass's drawing and animation step, per scene.
//
//   BenchRecorder bench;                // the main thread's CPU time, nanoseconds
//   hook start:     BenchHookEntered(&bench)   (ends the previous update)
//   hook end:       BenchHookLeft(&bench)      (the render step starts)
//   frame observer: BenchRenderDone(&bench, scene) first,
//                   BenchUpdateStarts(&bench) last
//   PrintBench(&bench, stdout, virtualSeconds, wallSeconds);
//
// "render" is everything from the end of the pass hook to the frame
// observer: presenting the previous picture (a 300 KB copy), the music
// poll and the scene's render routine. "update" runs from the observer to
// the next hook: the scene's update routine and the loop's own few calls.
// The audio rendered inside the hook is not counted in either, nor the
// music thread's work (--threads 2). The last
// pass of a normal end (the quit entry) has no update and no hook after it.
#pragma once
#include <cstdint>
#include <cstdio>
#include <vector>

struct BenchSample {
  uint32_t scene;
  int64_t renderNs;
  int64_t updateNs;
};

struct BenchRecorder {
  std::vector<BenchSample> samples;
  int64_t hookLeftNs = 0;
  int64_t frameNs = 0;
  bool updatePending = false;
};

int64_t CpuNowNs();        // the whole process, every thread
int64_t ThreadCpuNowNs();  // the calling thread
void BenchHookEntered(BenchRecorder* bench);
void BenchHookLeft(BenchRecorder* bench);
void BenchRenderDone(BenchRecorder* bench, uint32_t scene);
void BenchUpdateStarts(BenchRecorder* bench);

// The table per scene and the run's speed as a multiple of real time.
// `cpuSeconds` counts every thread, `mainCpuSeconds` the thread that ran the demo.
void PrintBench(const BenchRecorder& bench, std::FILE* out, double virtualSeconds,
                double wallSeconds, double cpuSeconds, double mainCpuSeconds);
