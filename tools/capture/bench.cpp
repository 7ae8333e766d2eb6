// bench.cpp — per-pass CPU times and the table printed by --bench.
#include "tools/capture/bench.h"

#include <time.h>

#include <algorithm>
#include <cmath>

#include "host/timeline.h"

namespace {

const char* const kSceneNames[kSceneCount] = {
    "lens warp",    "kaleidoscope", "tunnel",       "ripple swirl", "tunnel",
    "ripple swirl", "tunnel",       "ripple swirl", "tunnel",       "ripple swirl",
    "tunnel",       "ripple swirl", "tunnel",       "ripple swirl", "flying blobs",
    "frame cube",   "scroller",     "quit"};

struct Figures {
  double mean = 0, p99 = 0, max = 0;
};

// Microseconds; the 99th percentile is the smallest value that at least 99%
// of the passes do not exceed.
Figures Summarise(std::vector<int64_t>& ns) {
  Figures f;
  if (ns.empty()) return f;
  std::sort(ns.begin(), ns.end());
  double sum = 0;
  for (int64_t v : ns) sum += static_cast<double>(v);
  f.mean = sum / static_cast<double>(ns.size()) / 1000.0;
  std::size_t rank = static_cast<std::size_t>(std::ceil(0.99 * static_cast<double>(ns.size())));
  f.p99 = static_cast<double>(ns[std::max<std::size_t>(rank, 1) - 1]) / 1000.0;
  f.max = static_cast<double>(ns.back()) / 1000.0;
  return f;
}

}  // namespace

int64_t CpuNowNs() {
  timespec t;
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return static_cast<int64_t>(t.tv_sec) * 1000000000 + t.tv_nsec;
}

int64_t ThreadCpuNowNs() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return static_cast<int64_t>(t.tv_sec) * 1000000000 + t.tv_nsec;
}

void BenchHookEntered(BenchRecorder* b) {
  if (!b->updatePending) return;
  b->samples.back().updateNs = ThreadCpuNowNs() - b->frameNs;
  b->updatePending = false;
}

void BenchHookLeft(BenchRecorder* b) { b->hookLeftNs = ThreadCpuNowNs(); }

void BenchRenderDone(BenchRecorder* b, uint32_t scene) {
  b->samples.push_back({scene, ThreadCpuNowNs() - b->hookLeftNs, 0});
}

void BenchUpdateStarts(BenchRecorder* b) {
  b->updatePending = true;
  b->frameNs = ThreadCpuNowNs();
}

void PrintBench(const BenchRecorder& b, std::FILE* out, double virtualSeconds, double wallSeconds,
                double cpuSeconds, double mainCpuSeconds) {
  // The pack reader's dots end without a newline; start the table on a line of its own.
  std::fprintf(out, "\n%-5s %-13s %7s | %-27s | %-27s | %-27s\n", "", "", "", "render µs (CPU)",
               "update µs (CPU)", "render+update µs (CPU)");
  std::fprintf(out, "%-5s %-13s %7s | %8s %8s %8s | %8s %8s %8s | %8s %8s %8s\n", "scene", "effect",
               "passes", "mean", "p99", "max", "mean", "p99", "max", "mean", "p99", "max");
  double engineNs = 0;
  for (int scene = 0; scene < kSceneCount; ++scene) {
    std::vector<int64_t> render, update, total;
    for (const BenchSample& s : b.samples) {
      if (s.scene != static_cast<uint32_t>(scene)) continue;
      render.push_back(s.renderNs);
      update.push_back(s.updateNs);
      total.push_back(s.renderNs + s.updateNs);
      engineNs += static_cast<double>(s.renderNs + s.updateNs);
    }
    if (render.empty()) continue;
    std::size_t passes = render.size();
    Figures r = Summarise(render), u = Summarise(update), t = Summarise(total);
    std::fprintf(out, "%-5d %-13s %7zu | %8.1f %8.1f %8.1f | %8.1f %8.1f %8.1f | %8.1f %8.1f %8.1f\n",
                 scene, kSceneNames[scene], passes, r.mean, r.p99, r.max, u.mean, u.p99, u.max,
                 t.mean, t.p99, t.max);
  }
  std::vector<int64_t> all;
  for (const BenchSample& s : b.samples) all.push_back(s.renderNs + s.updateNs);
  Figures t = Summarise(all);
  std::fprintf(out, "%-5s %-13s %7zu | %26s | %26s | %8.1f %8.1f %8.1f\n", "all", "", all.size(), "",
               "", t.mean, t.p99, t.max);
  double engineSeconds = engineNs / 1e9;
  auto multiple = [&](double seconds) { return seconds > 0 ? virtualSeconds / seconds : 0.0; };
  std::fprintf(out, "demo time %.2f s\n", virtualSeconds);
  std::fprintf(out, "whole run      %8.2f s wall  %6.1fx real time\n", wallSeconds, multiple(wallSeconds));
  std::fprintf(out, "whole run      %8.2f s CPU   %6.1fx real time (audio rendering included)\n",
               cpuSeconds, multiple(cpuSeconds));
  std::fprintf(out, "main thread    %8.2f s CPU   %6.1fx real time (the wall time with a core to spare)\n",
               mainCpuSeconds, multiple(mainCpuSeconds));
  std::fprintf(out, "render+update  %8.2f s CPU   %6.1fx real time\n", engineSeconds,
               multiple(engineSeconds));
}
