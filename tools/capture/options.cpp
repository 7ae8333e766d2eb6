// options.cpp — parses and checks the capture tool's command line.
#include "tools/capture/options.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <iterator>

const char* const kCaptureUsage =
    "usage: qm7-capture [--data DIR] [--fps F] [--jitter SEED] [--pause AT:DUR]... [--escape AT]"
    " [--frames N] [--trace FILE] [--dump-frames LIST --dump-dir DIR] [--png DIR --every N]"
    " [--wav FILE] [--video FILE.mp4 [--scale N]] [--bench] [--threads N] [--help] [--version]";

const char* const kCaptureHelp =
    "Runs the demo on a virtual clock and display, frame-exact, and records it.\n"
    "  --data DIR            folder with qm7.dat and qm7.it (default: the first that holds\n"
    "                        them of the current, the program's and the installed one)\n"
    "  --fps F               frames per second of virtual time (default 60)\n"
    "  --jitter SEED         frame intervals vary between 0.5x and 2.5x, repeatably\n"
    "  --pause AT:DUR        the demo loses focus at second AT for DUR seconds (repeatable)\n"
    "  --escape AT           Escape is pressed at second AT\n"
    "  --frames N            stop after N frames\n"
    "  --trace FILE          one line per frame: pass order row scene event ticks hash\n"
    "  --dump-frames LIST    raw 320x240 BGRA frames of the passes listed (0-99,500,...)\n"
    "  --dump-dir DIR        ... written to DIR/frame-PPPPPP.bgra\n"
    "  --png DIR             PNGs of the presented frames in DIR\n"
    "  --every N             ... of every Nth one (default 1)\n"
    "  --wav FILE            the music, 44.1 kHz 16-bit stereo\n"
    "  --video FILE.mp4      H.264 + AAC video through ffmpeg\n"
    "  --scale N             ... scaled N times with nearest-neighbour (default 4)\n"
    "  --bench               CPU time per frame for each scene, and the speed of the run\n"
    "  --threads N           1 or 2 (default): with 2 the music of the next frame is rendered,\n"
    "                        and the files of the last ones written, on threads of their own\n"
    "                        while a frame is drawn; the output is the same\n"
    "  -h, --help            this help\n"
    "  --version             the version\n"
    "An option's value may also follow an equals sign (--fps=30).\n"
    "Each file is written as NAME.part and renamed when complete. Exit status: 0 done,\n"
    "1 missing data or a file not written (one message names it), 2 bad command line,\n"
    "130 / 143 stopped by SIGINT / SIGTERM (nothing unfinished is kept).\n";

namespace {

// Longest run the tool accepts for any time given on the command line.
constexpr double kMaxSeconds = 1.0e6;

bool ParseInt(const char* text, int64_t low, int64_t high, int64_t* value) {
  if (!*text || std::isspace(static_cast<unsigned char>(*text)) || *text == '+') return false;
  errno = 0;
  char* end = nullptr;
  long long v = std::strtoll(text, &end, 10);
  if (errno || *end || v < low || v > high) return false;
  *value = v;
  return true;
}

bool ParseUnsigned(const char* text, uint64_t* value) {
  if (!*text || !std::isdigit(static_cast<unsigned char>(*text))) return false;
  errno = 0;
  char* end = nullptr;
  unsigned long long v = std::strtoull(text, &end, 10);
  if (errno || *end) return false;
  *value = v;
  return true;
}

bool ParseSeconds(const char* text, double* value) {
  if (!*text || !(std::isdigit(static_cast<unsigned char>(*text)) || *text == '.')) return false;
  errno = 0;
  char* end = nullptr;
  double v = std::strtod(text, &end);
  if (errno || *end || !std::isfinite(v) || v < 0 || v > kMaxSeconds) return false;
  *value = v;
  return true;
}

}  // namespace

bool ParsePassList(const std::string& text, std::vector<PassRange>* ranges) {
  std::vector<PassRange> found;
  std::size_t start = 0;
  for (;;) {
    std::size_t comma = text.find(',', start);
    std::string item = text.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
    std::size_t dash = item.find('-');
    PassRange range;
    if (dash == std::string::npos) {
      if (!ParseInt(item.c_str(), 0, INT64_MAX, &range.first)) return false;
      range.last = range.first;
    } else {
      if (!ParseInt(item.substr(0, dash).c_str(), 0, INT64_MAX, &range.first) ||
          !ParseInt(item.substr(dash + 1).c_str(), 0, INT64_MAX, &range.last) ||
          range.last < range.first)
        return false;
    }
    found.push_back(range);
    if (comma == std::string::npos) break;
    start = comma + 1;
  }
  std::sort(found.begin(), found.end(),
            [](const PassRange& a, const PassRange& b) { return a.first < b.first; });
  ranges->clear();
  for (const PassRange& r : found) {
    if (!ranges->empty() && r.first <= ranges->back().last + 1)
      ranges->back().last = std::max(ranges->back().last, r.last);
    else
      ranges->push_back(r);
  }
  return true;
}

bool PassListed(const std::vector<PassRange>& ranges, int64_t pass) {
  auto it = std::upper_bound(ranges.begin(), ranges.end(), pass,
                             [](int64_t p, const PassRange& r) { return p < r.first; });
  return it != ranges.begin() && pass <= std::prev(it)->last;
}

bool ParseCaptureOptions(int argc, char** argv, CaptureOptions* o, std::string* error) {
  *o = CaptureOptions{};
  error->clear();
  std::vector<OptionSpec> known = kCommonOptions;
  known.insert(known.end(), {{"--bench", nullptr},
                             {"--threads", "a number"},
                             {"--fps", "a number"},
                             {"--jitter", "a seed"},
                             {"--pause", "AT:DURATION"},
                             {"--escape", "a time"},
                             {"--frames", "a number"},
                             {"--trace", "a file"},
                             {"--dump-frames", "a list of passes"},
                             {"--dump-dir", "a folder"},
                             {"--png", "a folder"},
                             {"--every", "a number"},
                             {"--wav", "a file"},
                             {"--video", "a file"},
                             {"--scale", "a number"}});
  std::vector<GivenOption> given;
  if (!SplitCommandLine(argc, argv, known, &given, error)) return false;
  bool everyGiven = false, scaleGiven = false, dumpListGiven = false;
  for (const GivenOption& option : given) {
    const std::string& name = option.name;
    const char* v = option.value.c_str();
    auto bad = [&] {
      *error = "bad value for " + name + ": '" + option.value + "'";
      return false;
    };
    // Options naming a file or folder take any name but an empty one.
    auto path = [&](std::string* out) {
      if (option.value.empty()) return bad();
      *out = option.value;
      return true;
    };
    int64_t n = 0;
    if (TakeCommonOption(option, &o->common, error)) {
      if (!error->empty()) return false;
    } else if (name == "--bench") {
      o->bench = true;
    } else if (name == "--threads") {
      if (!ParseInt(v, 1, 2, &n)) return bad();
      o->threads = static_cast<int>(n);
    } else if (name == "--fps") {
      if (!ParseInt(v, 1, 1000, &n)) return bad();
      o->fps = static_cast<int>(n);
    } else if (name == "--jitter") {
      if (!ParseUnsigned(v, &o->jitterSeed)) return bad();
      o->jitter = true;
    } else if (name == "--pause") {
      const char* colon = std::strchr(v, ':');
      PauseSpec pause;
      if (!colon || !ParseSeconds(std::string(v, colon).c_str(), &pause.at) ||
          !ParseSeconds(colon + 1, &pause.duration))
        return bad();
      o->pauses.push_back(pause);
    } else if (name == "--escape") {
      if (!ParseSeconds(v, &o->escapeAt)) return bad();
    } else if (name == "--frames") {
      if (!ParseInt(v, 1, INT64_MAX / 4, &o->frames)) return bad();
    } else if (name == "--trace") {
      if (!path(&o->tracePath)) return false;
    } else if (name == "--dump-frames") {
      if (!ParsePassList(option.value, &o->dumpPasses)) return bad();
      dumpListGiven = true;
    } else if (name == "--dump-dir") {
      if (!path(&o->dumpDir)) return false;
    } else if (name == "--png") {
      if (!path(&o->pngDir)) return false;
    } else if (name == "--every") {
      if (!ParseInt(v, 1, INT32_MAX, &n)) return bad();
      o->pngEvery = static_cast<int>(n);
      everyGiven = true;
    } else if (name == "--wav") {
      if (!path(&o->wavPath)) return false;
    } else if (name == "--video") {
      if (!path(&o->videoPath)) return false;
    } else if (name == "--scale") {
      if (!ParseInt(v, 1, 16, &n)) return bad();
      o->videoScale = static_cast<int>(n);
      scaleGiven = true;
    }
  }
  if (o->common.help || o->common.version) return true;
  if (dumpListGiven != !o->dumpDir.empty()) {
    *error = "--dump-frames and --dump-dir go together";
    return false;
  }
  if (everyGiven && o->pngDir.empty()) {
    *error = "--every needs --png";
    return false;
  }
  if (scaleGiven && o->videoPath.empty()) {
    *error = "--scale needs --video";
    return false;
  }
  if (o->bench && (!o->tracePath.empty() || dumpListGiven || !o->pngDir.empty() ||
                   !o->wavPath.empty() || !o->videoPath.empty())) {
    *error = "--bench writes no files; leave out the output options";
    return false;
  }
  if (!o->wavPath.empty() && o->wavPath == o->videoPath) {
    *error = "--wav and --video name the same file";
    return false;
  }
  std::stable_sort(o->pauses.begin(), o->pauses.end(),
                   [](const PauseSpec& a, const PauseSpec& b) { return a.at < b.at; });
  return true;
}
