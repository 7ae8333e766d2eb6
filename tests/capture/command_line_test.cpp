// What the tool does before any run: bad command lines, missing data, no ffmpeg.
#include <filesystem>

#include "tests/capture/capture_runner.h"

namespace fs = std::filesystem;

TEST_F(CaptureTest, BadCommandLinesGetTheUsageLineAndStatus2) {
  const std::vector<std::vector<std::string>> cases = {
      {"--frobnicate"},
      {"--fps"},
      {"--fps", "0"},
      {"--fps", "60x"},
      {"--jitter", "-3"},
      {"--pause", "3"},
      {"--pause", "a:1"},
      {"--pause", "2:-1"},
      {"--escape", "nan"},
      {"--frames", "0"},
      {"--dump-frames", "5-2", "--dump-dir", "d"},
      {"--dump-frames", "1,,2", "--dump-dir", "d"},
      {"--dump-frames", "1"},
      {"--dump-dir", "d"},
      {"--every", "2"},
      {"--png", "p", "--every", "0"},
      {"--scale", "2"},
      {"--video", "v.mp4", "--scale", "0"},
      {"--bench", "--trace", "t.tsv"},
      {"--threads", "0"},
      {"--threads", "3"},
      {"--wav", "same", "--video", "same"},
  };
  for (const auto& args : cases) {
    std::string shown;
    for (const std::string& a : args) shown += a + " ";
    ToolResult r = RunCapture(args, dir_);
    EXPECT_EQ(r.status, 2) << shown;
    EXPECT_NE(r.err.find("usage: qm7-capture"), std::string::npos) << shown << r.err;
    EXPECT_TRUE(r.out.empty()) << shown << "ran anyway: " << r.out;
  }
}

TEST_F(CaptureTest, MissingDataEndsWithTheHostsMessagesAndStatus1) {
  fs::create_directory(dir_ / "empty");
  ToolResult r = RunCapture({"--data", (dir_ / "empty").string(), "--trace", (dir_ / "t.tsv").string()},
                            dir_, false);
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.out.find("Could not open brisk.bin"), std::string::npos) << r.out;
  EXPECT_NE(r.err.find("brisk.bin"), std::string::npos) << r.err;

  // Both forms qm7 takes, with qm7's message.
  for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
           {"--data", (dir_ / "nowhere").string()}, {"--data=" + (dir_ / "nowhere").string()}}) {
    r = RunCapture(args, dir_, false);
    EXPECT_EQ(r.status, 1) << args[0];
    EXPECT_NE(r.err.find("Can't use the data folder " + (dir_ / "nowhere").string()), std::string::npos)
        << r.err;
  }
}

TEST_F(CaptureTest, VideoWithoutFfmpegFailsBeforeRunning) {
  fs::path video = dir_ / "v.mp4";
  ToolResult r = RunCapture({"--video", video.string(), "--frames", "10"}, dir_, true,
                            {"PATH=" + (dir_ / "no-programs-here").string()});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("ffmpeg"), std::string::npos) << r.err;
  EXPECT_FALSE(fs::exists(video));
}
