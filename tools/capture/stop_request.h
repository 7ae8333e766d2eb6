// stop_request.h — ending a capture early, from any thread: a file that
// could not be written, an encoder that failed, or SIGINT / SIGTERM.
//
//   InstallStopSignals();                      // once at start-up
//   ReportFailure("cannot write run.wav.part: No space left on device");
//   if (StopRequested()) -> write nothing more, end the run
//   exit status: StopSignal() ? 128 + StopSignal() : 1
//
// Only the first reason is told: a failure after another (the same full
// disk refusing the next file) or after a signal prints nothing.
#pragma once
#include <string>

// SIGINT and SIGTERM then request a stop instead of ending the process; a
// second one ends it at once.
void InstallStopSignals();

// Prints "qm7-capture: <message>" unless a stop was already requested, then
// requests one.
void ReportFailure(const std::string& message);

// True once a failure was reported or a signal arrived.
bool StopRequested();

// The signal that requested the stop; 0 when none did.
int StopSignal();
