// program_run.h — runs a program of the build as a child process with a
// time limit, and reads back what it printed.
//
//   ProgramResult r = RunProgram({QM7_CAPTURE_PROGRAM, "--data", dir, "--frames", "30"},
//                                scratch, 60);
//   EXPECT_TRUE(r.exited) << r.Describe();
//
// A child still running at the limit is killed (timedOut). Standard input is
// /dev/null; standard output and error go to files in `scratch`. `env`
// entries "NAME=value", when given, replace the whole environment.
// Used by the hardening and capture tests.
#pragma once
#include <filesystem>
#include <string>
#include <vector>

struct ProgramResult {
  bool exited = false;    // ended by exit(): `status` is its exit status
  int status = -1;
  int signal = 0;         // the signal that ended it, when it did not exit
  bool timedOut = false;  // killed at the time limit
  std::string out;
  std::string err;

  // "exit 1", "killed by signal 11", "hung: killed after 60 s", plus the
  // last lines of standard error.
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
                         double timeLimitSeconds, const std::vector<std::string>& env = {});

std::string ReadWholeFile(const std::filesystem::path& path);
void WriteWholeFile(const std::filesystem::path& path, const std::string& bytes);
