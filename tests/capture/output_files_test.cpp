// The files meant for people: PNGs of the presented frames and the MP4 video.
#include <cstdio>
#include <filesystem>
#include <map>
#include <set>

#include "tests/capture/capture_runner.h"

namespace fs = std::filesystem;

namespace {

// Colour bytes only: the frame's fourth byte is not part of the picture.
std::string Colours(const std::string& bgra) {
  std::string rgb;
  for (std::size_t i = 0; i + 3 < bgra.size(); i += 4) rgb.append(bgra, i, 3);
  return rgb;
}

// ffprobe's fields as "video.width", "audio.duration", "format.duration", ...
std::map<std::string, std::string> Probe(const fs::path& video) {
  std::string command =
      "ffprobe -v error -count_frames -show_entries "
      "stream=codec_type,codec_name,width,height,pix_fmt,display_aspect_ratio,nb_read_frames,"
      "r_frame_rate,sample_rate,duration:format=duration -of compact '" +
      video.string() + "'";
  std::map<std::string, std::string> fields;
  std::FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return fields;
  char line[1024];
  while (std::fgets(line, sizeof line, pipe)) {
    // "stream|codec_name=h264|codec_type=video|..." or "format|duration=2.000000"
    std::map<std::string, std::string> section;
    std::string text(line), name;
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
    std::size_t start = 0;
    for (bool first = true;; first = false) {
      std::size_t bar = text.find('|', start);
      std::string item = text.substr(start, bar == std::string::npos ? std::string::npos : bar - start);
      std::size_t eq = item.find('=');
      if (first)
        name = item;
      else if (eq != std::string::npos)
        section[item.substr(0, eq)] = item.substr(eq + 1);
      if (bar == std::string::npos) break;
      start = bar + 1;
    }
    std::string prefix = name == "stream" ? section["codec_type"] : name;
    for (const auto& [key, value] : section) fields[prefix + "." + key] = value;
  }
  pclose(pipe);
  return fields;
}

}  // namespace

// A presented frame is the one drawn in the pass before: the PNG of pass p
// equals the dump of pass p - 1, and pass 0 shows the black start-up frame.
TEST_F(CaptureTest, PngsShowEveryNthPresentedFrame) {
  fs::path png = dir_ / "png", dumps = dir_ / "dumps";
  ToolResult r = RunCapture({"--frames", "121", "--png", png.string(), "--every", "60", "--dump-frames",
                             "59,119", "--dump-dir", dumps.string()},
                            dir_);
  ASSERT_EQ(r.status, 0) << r.err;
  std::set<std::string> names;
  for (const auto& entry : fs::directory_iterator(png)) names.insert(entry.path().filename());
  EXPECT_EQ(names, (std::set<std::string>{"frame-000000.png", "frame-000060.png", "frame-000120.png"}));

  int width = 0, height = 0;
  std::string first = ReadPngBgra(png / "frame-000000.png", &width, &height);
  ASSERT_EQ(width, 320);
  ASSERT_EQ(height, 240);
  EXPECT_EQ(Colours(first), std::string(320 * 240 * 3, '\0'));
  for (auto [shown, drawn] : {std::pair{"frame-000060.png", "frame-000059.bgra"},
                              std::pair{"frame-000120.png", "frame-000119.bgra"}}) {
    std::string picture = ReadPngBgra(png / shown, &width, &height);
    std::string dump = ReadWholeFile(dumps / drawn);
    ASSERT_EQ(dump.size(), 307200u);
    EXPECT_EQ(Colours(picture), Colours(dump)) << shown;
    EXPECT_NE(Colours(dump), std::string(320 * 240 * 3, '\0')) << "the effect drew nothing";
  }
}

// Size, frame count and duration of the video as ffprobe reads them; a pause
// holds the last picture on screen for its length, in step with the music.
TEST_F(CaptureTest, VideoReadsBackWithItsSizeFramesAndDuration) {
  if (!HaveProgram("ffmpeg") || !HaveProgram("ffprobe")) GTEST_SKIP() << "ffmpeg is not installed";
  struct Case {
    std::vector<std::string> args;
    int width, height;
    int frames;
    const char* rate;
    double seconds;
  };
  const std::vector<Case> cases = {
      {{"--frames", "120"}, 1280, 960, 120, "60/1", 2.0},
      {{"--fps", "30", "--frames", "45", "--scale", "2"}, 640, 480, 45, "30/1", 1.5},
      {{"--fps", "30", "--frames", "30", "--pause", "0.5:1", "--scale", "1"}, 320, 240, 60, "30/1", 2.0},
  };
  for (const Case& c : cases) {
    std::string shown;
    for (const std::string& a : c.args) shown += a + " ";
    SCOPED_TRACE(shown);
    fs::path out = dir_ / "video";
    fs::remove_all(out);
    fs::create_directory(out);
    fs::path video = out / "v.mp4";
    std::vector<std::string> args = c.args;
    args.insert(args.end(), {"--video", video.string()});
    ToolResult r = RunCapture(args, dir_);
    ASSERT_EQ(r.status, 0) << r.err;

    std::map<std::string, std::string> f = Probe(video);
    EXPECT_EQ(f["video.codec_name"], "h264");
    EXPECT_EQ(f["video.pix_fmt"], "yuv420p");
    EXPECT_EQ(f["video.width"], std::to_string(c.width));
    EXPECT_EQ(f["video.height"], std::to_string(c.height));
    EXPECT_EQ(f["video.display_aspect_ratio"], "4:3");
    EXPECT_EQ(f["video.nb_read_frames"], std::to_string(c.frames));
    EXPECT_EQ(f["video.r_frame_rate"], c.rate);
    EXPECT_EQ(f["audio.codec_name"], "aac");
    EXPECT_EQ(f["audio.sample_rate"], "44100");
    EXPECT_NEAR(std::stod(f["format.duration"].empty() ? "0" : f["format.duration"]), c.seconds, 0.03);
    EXPECT_NEAR(std::stod(f["audio.duration"].empty() ? "0" : f["audio.duration"]), c.seconds, 0.03);

    std::set<std::string> left;
    for (const auto& entry : fs::directory_iterator(out)) left.insert(entry.path().filename());
    EXPECT_EQ(left, std::set<std::string>{"v.mp4"}) << "working files left behind";
  }
}

// With uneven frame times the video still runs at the steady rate: as many
// frames as whole frame times fit into the music played, and no longer.
TEST_F(CaptureTest, JitteredVideoKeepsToTheMusicsLength) {
  if (!HaveProgram("ffmpeg") || !HaveProgram("ffprobe")) GTEST_SKIP() << "ffmpeg is not installed";
  fs::path video = dir_ / "j.mp4", wav = dir_ / "j.wav";
  ToolResult r = RunCapture({"--frames", "100", "--jitter", "3", "--scale", "1", "--video",
                             video.string(), "--wav", wav.string()},
                            dir_);
  ASSERT_EQ(r.status, 0) << r.err;
  int64_t frames = WavFrames(wav) / 735;  // 44100 / 60 samples a frame
  EXPECT_GT(frames, 100) << "no interval was longer than a frame";
  std::map<std::string, std::string> f = Probe(video);
  EXPECT_EQ(f["video.nb_read_frames"], std::to_string(frames));
  EXPECT_NEAR(std::stod(f["audio.duration"].empty() ? "0" : f["audio.duration"]),
              static_cast<double>(frames) / 60, 0.03);
}
