// capture_runner.h — runs the qm7-capture program in a scratch folder and
// reads back what it wrote.
#pragma once
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/support/program_run.h"     // RunProgram, ReadWholeFile
#include "tests/support/scratch_folder.h"  // ScratchFolder
#include "tests/support/trace_file.h"      // TraceLine, ReadTrace

struct ToolResult {
  int status = -1;  // exit status, or -1 if it did not exit normally
  std::string out;
  std::string err;
};

// Runs the tool with `args` (plus "--data <generated data>" unless
// `withData` is false); `env` entries "NAME=value" replace the environment.
ToolResult RunCapture(const std::vector<std::string>& args, const std::filesystem::path& scratch,
                      bool withData = true, const std::vector<std::string>& env = {});

// FNV-1a 64 as 16 lowercase hex digits.
std::string Fnv1aHex(const std::string& bytes);

// The PNG's pixels as blue, green, red, alpha bytes; empty if unreadable.
std::string ReadPngBgra(const std::filesystem::path& path, int* width, int* height);

// True when `name` is a program on PATH.
bool HaveProgram(const char* name);

// Sample frames in a 44.1 kHz 16-bit stereo WAV file written by the tool
// (44-byte header, checked with EXPECT).
int64_t WavFrames(const std::filesystem::path& path);

// A fresh folder, removed after the test.
class CaptureTest : public testing::Test {
 protected:
  ScratchFolder scratch_;
  const std::filesystem::path dir_ = scratch_.path();
};
