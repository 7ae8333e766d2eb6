// Runs of the whole host on the virtual platform, read back from the trace
// and the WAV: pacing, repeatability, Escape, pauses and the full timeline.
#include <cmath>
#include <filesystem>
#include <set>

#include "tests/capture/capture_runner.h"

namespace fs = std::filesystem;

namespace {

// FNV-1a 64 of the 307200 zero bytes of a blank frame.
constexpr const char* kBlankFrameHash = "156ed4086987e325";
constexpr int64_t kTicksPerFrameCounts = 10000000 / 70;  // the host's 70 Hz tick in counter units


}  // namespace

// At a steady rate every pass advances the clock by 1/F s and the audio by
// exactly round(n x 44100 / F) frames in total, however F divides 44100.
TEST_F(CaptureTest, SteadyRatePacesClockAndAudioExactly) {
  struct Case {
    int fps;
    int64_t frames;
  };
  for (Case c : {Case{60, 600}, Case{24, 101}, Case{7, 10}, Case{70, 140}}) {
    SCOPED_TRACE("fps " + std::to_string(c.fps));
    fs::path trace = dir_ / "t.tsv", wav = dir_ / "a.wav";
    ToolResult r = RunCapture({"--fps", std::to_string(c.fps), "--frames", std::to_string(c.frames),
                               "--trace", trace.string(), "--wav", wav.string()},
                              dir_);
    ASSERT_EQ(r.status, 0) << r.err;
    std::vector<TraceLine> lines = ReadTrace(trace);
    ASSERT_EQ(static_cast<int64_t>(lines.size()), c.frames);
    int64_t ticks = 0;
    for (std::size_t i = 0; i < lines.size(); ++i) {
      EXPECT_EQ(lines[i].pass, static_cast<int64_t>(i));
      ticks += lines[i].ticks;
    }
    EXPECT_EQ(lines[0].order, 0u);
    EXPECT_EQ(lines[0].scene, 0u);
    int64_t clock = std::llround(static_cast<double>(c.frames) * 1e7 / c.fps);
    EXPECT_EQ(ticks, clock / kTicksPerFrameCounts);
    EXPECT_EQ(WavFrames(wav), std::llrint(static_cast<double>(c.frames) * 44100.0 / c.fps));
  }
}

// Jitter and a pause make uneven frames; the same arguments still give the
// same bytes, and each dump is the frame the trace hashed.
TEST_F(CaptureTest, SameArgumentsWriteIdenticalTracesWavsAndDumps) {
  auto run = [&](const std::string& name, const std::string& seed) {
    fs::path out = dir_ / name;
    fs::create_directory(out);
    ToolResult r = RunCapture({"--frames", "500", "--jitter", seed, "--pause", "3:1.25", "--trace",
                               (out / "t.tsv").string(), "--wav", (out / "a.wav").string(),
                               "--dump-frames", "0-2,250,499,180-181", "--dump-dir",
                               (out / "dumps").string()},
                              dir_);
    EXPECT_EQ(r.status, 0) << r.err;
    return out;
  };
  fs::path a = run("a", "7"), b = run("b", "7"), c = run("c", "8");

  EXPECT_TRUE(ReadWholeFile(a / "t.tsv") == ReadWholeFile(b / "t.tsv")) << "traces differ";
  EXPECT_TRUE(ReadWholeFile(a / "a.wav") == ReadWholeFile(b / "a.wav")) << "WAVs differ";
  EXPECT_FALSE(ReadWholeFile(a / "t.tsv") == ReadWholeFile(c / "t.tsv")) << "the seed changes nothing";

  std::vector<TraceLine> lines = ReadTrace(a / "t.tsv");
  ASSERT_EQ(lines.size(), 500u);
  std::set<std::string> names;
  for (const auto& entry : fs::directory_iterator(a / "dumps")) names.insert(entry.path().filename());
  EXPECT_EQ(names, (std::set<std::string>{"frame-000000.bgra", "frame-000001.bgra", "frame-000002.bgra",
                                          "frame-000180.bgra", "frame-000181.bgra", "frame-000250.bgra",
                                          "frame-000499.bgra"}));
  for (const std::string& name : names) {
    std::string bytes = ReadWholeFile(a / "dumps" / name);
    EXPECT_TRUE(bytes == ReadWholeFile(b / "dumps" / name)) << name << " differs";
    ASSERT_EQ(bytes.size(), 307200u) << name;
    int64_t pass = std::stoll(name.substr(6, 6));
    EXPECT_EQ(Fnv1aHex(bytes), lines[pass].hash) << name;
  }

  // Intervals of 0.5 to 2.5 frames at 60 fps: some passes see no tick, some
  // two or more, and some skip rows.
  bool noTick = false, severalTicks = false, skippedRow = false, longPause = false;
  for (std::size_t i = 1; i < lines.size(); ++i) {
    noTick |= lines[i].ticks == 0;
    severalTicks |= lines[i].ticks >= 2;
    skippedRow |= RowsPlayed(lines[i]) > RowsPlayed(lines[i - 1]) + 1;
    longPause |= lines[i].ticks >= 87;  // the 1.25 s pause is measured in one frame
  }
  EXPECT_TRUE(noTick && severalTicks && skippedRow && longPause);
}

// The music and output threads (--threads 2, the default) change no byte:
// trace, WAV, dumps and PNGs equal those of the single-threaded run, through
// uneven frames, pauses, Escape (also inside a pause), the frame limit, and
// intervals long enough to be rendered in several pieces.
TEST_F(CaptureTest, TwoThreadsWriteTheSameBytesAsOne) {
  const std::vector<std::vector<std::string>> cases = {
      {"--frames", "400", "--jitter", "11", "--pause", "2:1.5", "--pause", "4.2:0.3"},
      {"--escape", "3.3", "--jitter", "5"},
      {"--escape", "2.5", "--pause", "2:10"},
      {"--fps", "7", "--jitter", "2", "--frames", "30"},
  };
  for (const auto& caseArgs : cases) {
    std::string shown;
    for (const std::string& a : caseArgs) shown += a + " ";
    SCOPED_TRACE(shown);
    std::string outputs[2][4];
    for (int threads = 1; threads <= 2; ++threads) {
      fs::path out = dir_ / std::to_string(threads);
      fs::remove_all(out);
      fs::create_directory(out);
      std::vector<std::string> args = caseArgs;
      args.insert(args.end(), {"--threads", std::to_string(threads), "--trace", (out / "t.tsv").string(),
                               "--wav", (out / "a.wav").string(), "--dump-frames", "0-2,29,150,399",
                               "--dump-dir", (out / "dumps").string(), "--png",
                               (out / "png").string(), "--every", "13"});
      ToolResult r = RunCapture(args, dir_);
      ASSERT_EQ(r.status, 0) << r.err;
      outputs[threads - 1][0] = ReadWholeFile(out / "t.tsv");
      outputs[threads - 1][1] = ReadWholeFile(out / "a.wav");
      for (int kind : {2, 3}) {
        std::set<fs::path> files;
        for (const auto& entry : fs::directory_iterator(out / (kind == 2 ? "dumps" : "png")))
          files.insert(entry.path());
        for (const fs::path& file : files)
          outputs[threads - 1][kind] += file.filename().string() + ReadWholeFile(file);
      }
    }
    EXPECT_GT(ReadTrace(dir_ / "1" / "t.tsv").size(), 20u);
    EXPECT_TRUE(outputs[0][0] == outputs[1][0]) << "traces differ";
    EXPECT_TRUE(outputs[0][1] == outputs[1][1]) << "WAVs differ";
    EXPECT_TRUE(outputs[0][2] == outputs[1][2]) << "dumps differ";
    EXPECT_TRUE(outputs[0][3] == outputs[1][3]) << "PNGs differ";
    EXPECT_FALSE(outputs[0][3].empty());
  }
}

// Escape ends the run at once with status 0; the music has played exactly
// until then, pauses included.
TEST_F(CaptureTest, EscapeEndsTheRunEarlyWithStatus0) {
  struct Case {
    std::vector<std::string> args;
    int64_t passes;
    int64_t audioFrames;
  };
  const std::vector<Case> cases = {
      {{"--escape", "5"}, 300, 5 * 44100},
      {{"--escape", "5", "--pause", "2:10"}, 120, 5 * 44100},
      {{"--escape", "0"}, 0, 0},
      {{"--fps", "50", "--escape", "2.5", "--pause", "1:0.5"}, 100, 2 * 44100 + 22050},
  };
  for (const Case& c : cases) {
    std::string shown;
    for (const std::string& a : c.args) shown += a + " ";
    SCOPED_TRACE(shown);
    std::vector<std::string> args = c.args;
    args.insert(args.end(), {"--trace", (dir_ / "t.tsv").string(), "--wav", (dir_ / "a.wav").string()});
    ToolResult r = RunCapture(args, dir_);
    EXPECT_EQ(r.status, 0) << r.err;
    std::vector<TraceLine> lines = ReadTrace(dir_ / "t.tsv");
    EXPECT_EQ(static_cast<int64_t>(lines.size()), c.passes);
    for (const TraceLine& t : lines) EXPECT_LT(t.scene, 17u);
    EXPECT_EQ(WavFrames(dir_ / "a.wav"), c.audioFrames);
  }
}

// The whole timeline at 60 fps (at 20 fps, a third of the passes, in sanitizer builds).
TEST_F(CaptureTest, FullRunGoesThroughEveryScene) {
  fs::path trace = dir_ / "t.tsv";
  ToolResult r = RunCapture({"--fps", QM7_CAPTURE_LONG_RUNS ? "60" : "20", "--trace", trace.string()}, dir_);
  ASSERT_EQ(r.status, 0) << r.err;
  std::vector<TraceLine> lines = ReadTrace(trace);
  ASSERT_FALSE(lines.empty());

  std::vector<uint32_t> scenes = {lines[0].scene};
  std::vector<int32_t> events;
  for (const TraceLine& t : lines) {
    if (t.scene != scenes.back()) scenes.push_back(t.scene);
    if (t.event >= 0) events.push_back(t.event);
  }
  std::vector<uint32_t> allScenes(18), allEvents(52);
  for (uint32_t i = 0; i < 18; ++i) allScenes[i] = i;
  for (int32_t i = 0; i < 52; ++i) allEvents[i] = static_cast<uint32_t>(i + 1);
  EXPECT_EQ(scenes, allScenes);
  EXPECT_EQ(std::vector<uint32_t>(events.begin(), events.end()), allEvents);

  // The quit entry is reached on the poll of order 52, row 63, and blanks the frame.
  const TraceLine& last = lines.back();
  EXPECT_EQ(last.scene, 17u);
  EXPECT_EQ(last.order, 52u);
  EXPECT_EQ(last.row, 63u);
  EXPECT_EQ(last.hash, kBlankFrameHash);
  for (std::size_t i = 0; i + 1 < lines.size(); ++i) EXPECT_LT(lines[i].scene, 17u);
}
