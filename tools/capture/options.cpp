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
  bool everyGiven = false, scaleGiven = false, dumpListGiven = false;
  for (int i = 1; i < argc; ++i) {
    const char* arg = argv[i];
    auto value = [&](const char** out) {
      if (i + 1 >= argc) {
        *error = std::string(arg) + " needs a value";
        return false;
      }
      *out = argv[++i];
      return true;
    };
    auto bad = [&](const char* v) {
      *error = std::string("bad value for ") + arg + ": '" + v + "'";
      return false;
    };
    const char* v = nullptr;
    int64_t n = 0;
    if (!std::strcmp(arg, "--help") || !std::strcmp(arg, "-h")) {
      o->help = true;
    } else if (!std::strcmp(arg, "--version")) {
      o->version = true;
    } else if (!std::strcmp(arg, "--bench")) {
      o->bench = true;
    } else if (!std::strcmp(arg, "--threads")) {
      if (!value(&v)) return false;
      if (!ParseInt(v, 1, 2, &n)) return bad(v);
      o->threads = static_cast<int>(n);
    } else if (!std::strcmp(arg, "--data")) {
      if (!value(&v)) return false;
      if (!*v) return bad(v);
      o->dataDir = v;
    } else if (!std::strcmp(arg, "--fps")) {
      if (!value(&v)) return false;
      if (!ParseInt(v, 1, 1000, &n)) return bad(v);
      o->fps = static_cast<int>(n);
    } else if (!std::strcmp(arg, "--jitter")) {
      if (!value(&v)) return false;
      if (!ParseUnsigned(v, &o->jitterSeed)) return bad(v);
      o->jitter = true;
    } else if (!std::strcmp(arg, "--pause")) {
      if (!value(&v)) return false;
      const char* colon = std::strchr(v, ':');
      PauseSpec pause;
      if (!colon || !ParseSeconds(std::string(v, colon).c_str(), &pause.at) ||
          !ParseSeconds(colon + 1, &pause.duration))
        return bad(v);
      o->pauses.push_back(pause);
    } else if (!std::strcmp(arg, "--escape")) {
      if (!value(&v)) return false;
      if (!ParseSeconds(v, &o->escapeAt)) return bad(v);
    } else if (!std::strcmp(arg, "--frames")) {
      if (!value(&v)) return false;
      if (!ParseInt(v, 1, INT64_MAX / 4, &o->frames)) return bad(v);
    } else if (!std::strcmp(arg, "--trace")) {
      if (!value(&v)) return false;
      if (!*v) return bad(v);
      o->tracePath = v;
    } else if (!std::strcmp(arg, "--dump-frames")) {
      if (!value(&v)) return false;
      if (!ParsePassList(v, &o->dumpPasses)) return bad(v);
      dumpListGiven = true;
    } else if (!std::strcmp(arg, "--dump-dir")) {
      if (!value(&v)) return false;
      if (!*v) return bad(v);
      o->dumpDir = v;
    } else if (!std::strcmp(arg, "--png")) {
      if (!value(&v)) return false;
      if (!*v) return bad(v);
      o->pngDir = v;
    } else if (!std::strcmp(arg, "--every")) {
      if (!value(&v)) return false;
      if (!ParseInt(v, 1, INT32_MAX, &n)) return bad(v);
      o->pngEvery = static_cast<int>(n);
      everyGiven = true;
    } else if (!std::strcmp(arg, "--wav")) {
      if (!value(&v)) return false;
      if (!*v) return bad(v);
      o->wavPath = v;
    } else if (!std::strcmp(arg, "--video")) {
      if (!value(&v)) return false;
      if (!*v) return bad(v);
      o->videoPath = v;
    } else if (!std::strcmp(arg, "--scale")) {
      if (!value(&v)) return false;
      if (!ParseInt(v, 1, 16, &n)) return bad(v);
      o->videoScale = static_cast<int>(n);
      scaleGiven = true;
    } else {
      *error = std::string("unknown argument '") + arg + "'";
      return false;
    }
  }
  if (o->help || o->version) return true;
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
