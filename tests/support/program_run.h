// program_run.h — runs a program of the build as a child process with a
// time limit, and reads back what it printed.
//
//   ProgramResult r = RunProgram({QM7_CAPTURE_PROGRAM, "--data", dir, "--frames", "30"},
//                                scratch, 60);
//   EXPECT_TRUE(r.exited) << r.Describe();
//
// A child still running at the limit is killed (timedOut). Standard input is
// /dev/null; standard output and error go to files in `scratch`. RunOptions
// change the child's environment and limits, or signal it while it runs.
// Used by the hardening and capture tests.
#pragma once
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

struct RunOptions {
  std::vector<std::string> env;  // "NAME=value" entries replacing the whole environment
  std::string pathPrefix;        // a folder put before PATH's
  uint64_t fileSizeLimit = 0;    // the child's file size limit in bytes, SIGXFSZ ignored; 0: none
  // Asked every few milliseconds while the child runs; the first nonzero
  // signal it returns is sent to the child (once).
  std::function<int()> signalWhen;
};

struct ProgramResult {
  bool exited = false;    // ended by exit(): `status` is its exit status
  int status = -1;
  int signal = 0;         // the signal that ended it, when it did not exit
  bool timedOut = false;  // killed at the time limit
  double seconds = 0;       // from start to end
  double afterSignal = -1;  // from the signal signalWhen asked for to the end; -1: none sent
  std::string out;
  std::string err;

  // "exit 1", "killed by signal 11", "hung: killed at the time limit", plus
  // the last lines of standard error.
  std::string Describe() const;
  // A sanitizer report on standard error (memory error, undefined behaviour, leak).
  bool SanitizerReported() const;
};

// How many times longer than natively a program of the build may take: 1,
// or more under an emulator (the arm64 build under qemu-user), for the time
// limits that only catch a hang or a run that does not end soon.
#ifndef QM7_TEST_TIME_SCALE
#define QM7_TEST_TIME_SCALE 1
#endif
constexpr double kTimeScale = QM7_TEST_TIME_SCALE;

ProgramResult RunProgram(const std::vector<std::string>& argv, const std::filesystem::path& scratch,
                         double timeLimitSeconds, const RunOptions& options = {});

std::string ReadWholeFile(const std::filesystem::path& path);
void WriteWholeFile(const std::filesystem::path& path, const std::string& bytes);
