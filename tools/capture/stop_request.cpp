// stop_request.cpp — one flag for every thread and the signal handler.
#include "tools/capture/stop_request.h"

#include <atomic>
#include <csignal>
#include <cstdio>

namespace {

// 0: running; -1: a failure; a signal number: that signal.
std::atomic<int> StopReason{0};
static_assert(std::atomic<int>::is_always_lock_free, "the signal handler sets it");

extern "C" void OnStopSignal(int signal) {
  int running = 0;
  StopReason.compare_exchange_strong(running, signal);
  std::signal(signal, SIG_DFL);  // a second Ctrl+C is not ignored
}

}  // namespace

void InstallStopSignals() {
  std::signal(SIGINT, OnStopSignal);
  std::signal(SIGTERM, OnStopSignal);
}

void ReportFailure(const std::string& message) {
  int running = 0;
  if (StopReason.compare_exchange_strong(running, -1))
    std::fprintf(stderr, "qm7-capture: %s\n", message.c_str());
}

bool StopRequested() { return StopReason.load() != 0; }

int StopSignal() {
  int reason = StopReason.load();
  return reason > 0 ? reason : 0;
}
