// rough_conditions_test.cpp — full timeline runs of qm7-capture at low and
// high frame rates, with irregular frame intervals and with the application
// losing focus at awkward moments: one table of runs, each checked from its
// trace.
//
// Every run must end by itself (status 0; the tool gives up with status 1
// if the timeline never ends) on the quit entry, within the music's length
// plus its pauses. Its trace must show the scenes advancing one at a time in
// table order, each switch on a poll at or past the end of the scene it
// leaves, and no scene still running on a later poll at or past its own end
// (the catch-up after a missed row or a pause); the one exception is the
// music starting over, which goes straight to the quit entry. Every event
// fires once, in table order, at or past its position. Runs marked so are
// made twice and must give the same trace, frame hashes included.
//
// Under the sanitizers the steady low rates, the 24 fps run and the pauses
// over the first scene end and over the end of the music play the whole
// timeline; the others stop with Escape after the rows they are about,
// which keeps the suite's time in bounds.
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "host/timeline.h"
#include "tests/support/program_run.h"
#include "tests/support/scratch_folder.h"
#include "tests/support/trace_file.h"

namespace fs = std::filesystem;

namespace {

constexpr double kTimeLimitSeconds = 840;

constexpr int32_t kLastEvent = 52;

// The module: 53 orders of 64 rows, each row 3 ticks of 2.5/110 s
// (tests/data/module_test.cpp); then it starts over from order 0.
constexpr double kMusicSeconds = 53 * 64 * 3 * 2.5 / 110;
// A run ends on the first poll at or past the last row: at most one frame
// interval after it (2.5 frames at 12 fps with jitter is 0.21 s).
constexpr double kLastPollSlackSeconds = 0.25;

struct RoughRun {
  std::string name;
  std::vector<std::string> args;
  bool repeat;          // run twice and compare the traces
  double sanitizerEnd;  // sanitizer build: Escape at this virtual second; 0 plays it all
  // Positions (order, row) that a pause must have hidden from the timeline,
  // so the case shows what it claims to.
  std::vector<std::pair<uint32_t, uint32_t>> hiddenByPause;
};

void PrintTo(const RoughRun& run, std::ostream* os) { *os << run.name; }

const RoughRun kRuns[] = {
    {"fps10", {"--fps", "10"}, false, 0, {}},
    {"fps12", {"--fps", "12"}, false, 0, {}},
    {"fps24", {"--fps", "24"}, true, 0, {}},
    {"fps30", {"--fps", "30"}, true, 75, {}},
    {"fps60", {"--fps", "60"}, false, 75, {}},
    {"fps144", {"--fps", "144"}, false, 75, {}},
    {"fps500", {"--fps", "500"}, false, 15, {}},
    // Frame intervals drawn between half and two and a half frames. At 30
    // and 25 fps the longest frames (83 and 100 ms) outlast a row (68 ms) and
    // miss some, among them scene ends of the order-15 alternation.
    {"jitter_seed1", {"--fps", "60", "--jitter", "1"}, true, 75, {}},
    {"jitter_seed2", {"--fps", "60", "--jitter", "2"}, false, 75, {}},
    {"jitter_seed977", {"--fps", "144", "--jitter", "977"}, false, 30, {}},
    {"jitter_seed1_at_30fps", {"--fps", "30", "--jitter", "1"}, false, 75, {}},
    {"jitter_seed2_at_30fps", {"--fps", "30", "--jitter", "2"}, false, 75, {}},
    {"jitter_seed3_at_30fps", {"--fps", "30", "--jitter", "3"}, true, 75, {}},
    {"jitter_seed1_at_25fps", {"--fps", "25", "--jitter", "1"}, false, 75, {}},
    {"jitter_seed2_at_25fps", {"--fps", "25", "--jitter", "2"}, false, 75, {}},
    {"jitter_seed3_at_25fps", {"--fps", "25", "--jitter", "3"}, false, 75, {}},
    {"jitter_seed5_at_24fps", {"--fps", "24", "--jitter", "5"}, false, 75, {}},
    // Scene 0 ends at order 6, row 0 (26 s), inside a 10 s focus loss that
    // also hides the lens warp's last event (order 5, row 0).
    {"pause_over_first_scene_end", {"--fps", "30", "--pause", "20:10"}, true, 0, {{5, 0}, {6, 0}}},
    // Six of the frame cube's bursts (order 28, rows 0 to 40) at once.
    {"pause_over_events", {"--fps", "30", "--pause", "122:3"}, false, 130, {{28, 0}, {28, 40}}},
    // The whole order-15 alternation of tunnel and ripple swirl, eleven
    // scene ends 2 to 4 rows apart.
    {"pause_over_the_alternation", {"--fps", "30", "--pause", "67:4"}, true, 75, {{15, 32}, {16, 0}}},
    // Over the last row: the music has started over when the focus returns.
    {"pause_over_the_end", {"--fps", "30", "--pause", "230.5:2"}, false, 0, {{52, 63}}},
    // Before the first frame, of no length, and a long one.
    {"several_pauses", {"--fps", "30", "--pause", "0:1", "--pause", "10:0", "--pause", "100:12"}, true, 75,
     {}},
};

bool AtOrPast(const TraceLine& t, uint32_t order, uint32_t row) {
  return t.order > order || (t.order == order && t.row >= row);
}

// The seconds of every --pause AT:DURATION in `args`.
double PausedSeconds(const std::vector<std::string>& args) {
  double total = 0;
  for (std::size_t i = 0; i + 1 < args.size(); ++i)
    if (args[i] == "--pause") total += std::stod(args[i + 1].substr(args[i + 1].find(':') + 1));
  return total;
}

class RoughConditions : public testing::TestWithParam<RoughRun> {};

TEST_P(RoughConditions, RunEndsScenesAdvanceInOrderAndRepeatExactly) {
  const RoughRun& run = GetParam();
  std::vector<std::string> args = run.args;
  bool playsToTheEnd = true;
  if (QM7_HARDENING_SANITIZED) {
    if (run.sanitizerEnd > 0) {
      args.push_back("--escape");
      args.push_back(std::to_string(run.sanitizerEnd));
      playsToTheEnd = false;
    }
  }

  ScratchFolder scratch;
  std::string traces[2];
  for (int attempt = 0; attempt < (run.repeat ? 2 : 1); ++attempt) {
    fs::path trace = scratch.path() / ("trace" + std::to_string(attempt) + ".tsv");
    std::vector<std::string> argv = {QM7_CAPTURE_PROGRAM, "--data", QM7_DATA_DIR, "--trace", trace.string()};
    argv.insert(argv.end(), args.begin(), args.end());
    ProgramResult r = RunProgram(argv, scratch.path(), kTimeLimitSeconds);
    ASSERT_TRUE(r.exited) << r.Describe();
    ASSERT_EQ(r.status, 0) << r.Describe();
    EXPECT_FALSE(r.SanitizerReported()) << r.err;
    traces[attempt] = ReadWholeFile(trace);
  }
  if (run.repeat) {
    EXPECT_TRUE(traces[0] == traces[1]) << "two runs with the same arguments differ";
  }

  std::vector<TraceLine> passes = ParseTrace(traces[0]);
  ASSERT_GT(passes.size(), 10u);
  EXPECT_EQ(passes.front().scene, 0u);
  int32_t lastEvent = 0;
  int64_t ticks = 0;
  for (std::size_t i = 0; i < passes.size(); ++i) {
    const TraceLine& p = passes[i];
    const uint32_t before = i > 0 ? passes[i - 1].scene : 0;
    const bool startedOver = i > 0 && p.order < passes[i - 1].order;
    if (startedOver && p.scene == kQuitSceneIndex) {
      EXPECT_EQ(passes[i - 1].order, 52u) << "pass " << p.pass << ": the music started over early";
    } else {
      ASSERT_TRUE(p.scene == before || p.scene == before + 1)
          << "pass " << p.pass << ": scene " << before << " -> " << p.scene;
    }
    if (p.scene == before + 1 && !startedOver) {
      EXPECT_TRUE(AtOrPast(p, SceneTable[before].endOrder, SceneTable[before].endRow))
          << "scene " << before << " ended early at pass " << p.pass;
    }
    if (p.scene == before && p.scene < kQuitSceneIndex) {
      ASSERT_FALSE(AtOrPast(p, SceneTable[p.scene].endOrder, SceneTable[p.scene].endRow))
          << "scene " << p.scene << " ran on past its end at pass " << p.pass;
    }
    if (p.event >= 0) {
      ASSERT_EQ(p.event, lastEvent + 1) << "pass " << p.pass;
      EXPECT_TRUE(AtOrPast(p, EventTable[p.event].order, EventTable[p.event].row))
          << "event " << p.event << " fired early at pass " << p.pass;
      lastEvent = p.event;
    }
    EXPECT_GE(p.ticks, 0) << "pass " << p.pass;
    ticks += p.ticks;
  }

  for (auto [order, row] : run.hiddenByPause) {
    const uint32_t target = order * 64 + row;
    bool hidden = false;
    for (std::size_t i = 1; i < passes.size() && !hidden; ++i) {
      const uint32_t from = RowsPlayed(passes[i - 1]), to = RowsPlayed(passes[i]);
      // The music may have started again from order 0 during the pause.
      const bool skipped = from <= to ? from < target && target < to : from < target || target < to;
      hidden = passes[i].ticks >= 30 && skipped;
    }
    EXPECT_TRUE(hidden) << "no pause hid order " << order << ", row " << row
                        << " (the module's timing has changed?)";
  }

  if (playsToTheEnd) {
    EXPECT_EQ(passes.back().scene, kQuitSceneIndex);
    for (std::size_t i = 0; i + 1 < passes.size(); ++i) ASSERT_LT(passes[i].scene, kQuitSceneIndex);
    EXPECT_EQ(lastEvent, kLastEvent) << "an event was never fired";
    EXPECT_LE(ticks / 70.0, kMusicSeconds + PausedSeconds(args) + kLastPollSlackSeconds)
        << "the demo outlasted its music";
  }
}

INSTANTIATE_TEST_SUITE_P(Runs, RoughConditions, testing::ValuesIn(kRuns),
                         [](const testing::TestParamInfo<RoughRun>& info) { return info.param.name; });

}  // namespace
