// trace_file.h — the lines of a qm7-capture --trace file, for the tests that
// run the tool and check the timeline it wrote.
//
//   std::vector<TraceLine> lines = ReadTrace(scratch / "t.tsv");
//   for (const TraceLine& t : lines) ... t.scene, RowsPlayed(t) ...
//
// A wrong header or a line that does not read is a test failure (reading
// stops there). The golden traces are compared by trace_compare.py instead.
// Header only; used by the capture and hardening tests.
#pragma once
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

// One line of a --trace file: one pass of the main loop.
struct TraceLine {
  int64_t pass;
  uint32_t order, row, scene;
  int32_t event, ticks;
  std::string hash;  // FNV-1a 64 of the frame, 16 hex digits
};

// The position as rows from the module's start (64 rows an order).
inline uint32_t RowsPlayed(const TraceLine& t) { return t.order * 64 + t.row; }

// The lines after the header of a trace's text.
inline std::vector<TraceLine> ParseTrace(const std::string& text) {
  std::istringstream in(text);
  std::string line;
  std::getline(in, line);
  EXPECT_EQ(line, "pass\torder\trow\tscene\tevent\tticks\thash");
  std::vector<TraceLine> lines;
  while (std::getline(in, line)) {
    std::istringstream fields(line);
    TraceLine t;
    fields >> t.pass >> t.order >> t.row >> t.scene >> t.event >> t.ticks >> t.hash;
    if (!fields || t.hash.size() != 16) {
      ADD_FAILURE() << "bad trace line: " << line;
      break;
    }
    lines.push_back(t);
  }
  return lines;
}

inline std::vector<TraceLine> ReadTrace(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return ParseTrace(text.str());
}
