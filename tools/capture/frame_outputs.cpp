// frame_outputs.cpp — trace lines, raw frame dumps and PNGs, one pass at a time.
#include "tools/capture/frame_outputs.h"

#include <cerrno>
#include <cinttypes>
#include <cstring>
#include <filesystem>

#include "kit/frame.h"
#include "tools/common/png_writer.h"

namespace {

void Fail(FrameOutputs* out, const std::string& what) {
  if (!out->failed) std::fprintf(stderr, "qm7-capture: %s: %s\n", what.c_str(), std::strerror(errno));
  out->failed = true;
}

bool MakeFolder(const std::string& path) {
  std::error_code error;
  std::filesystem::create_directories(path, error);
  if (std::filesystem::is_directory(path, error)) return true;
  std::fprintf(stderr, "qm7-capture: cannot create folder %s\n", path.c_str());
  return false;
}

std::string PassFile(const std::string& dir, int64_t pass, const char* extension) {
  char name[48];
  std::snprintf(name, sizeof name, "/frame-%06" PRId64 ".%s", pass, extension);
  return dir + name;
}

void WriteDump(FrameOutputs* out, const std::string& path, const uint8_t* frame) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return Fail(out, "cannot create " + path);
  bool ok = std::fwrite(frame, 1, kFrameBytes, f) == kFrameBytes;
  ok = std::fclose(f) == 0 && ok;
  if (!ok) Fail(out, "cannot write " + path);
}

}  // namespace

uint64_t Fnv1a64(const uint8_t* bytes, std::size_t size) {
  uint64_t hash = 0xCBF29CE484222325ull;
  for (std::size_t i = 0; i < size; ++i) {
    hash ^= bytes[i];
    hash *= 0x100000001B3ull;
  }
  return hash;
}

bool OpenFrameOutputs(FrameOutputs* out, const CaptureOptions& o) {
  *out = FrameOutputs{};
  out->dumpPasses = o.dumpPasses;
  out->dumpDir = o.dumpDir;
  out->pngDir = o.pngDir;
  out->pngEvery = o.pngDir.empty() ? 0 : o.pngEvery;
  if (!out->dumpDir.empty() && !MakeFolder(out->dumpDir)) return false;
  if (!out->pngDir.empty() && !MakeFolder(out->pngDir)) return false;
  if (!o.tracePath.empty()) {
    out->tracePath = o.tracePath;
    out->trace = std::fopen(o.tracePath.c_str(), "w");
    if (!out->trace) {
      std::fprintf(stderr, "qm7-capture: cannot create %s: %s\n", o.tracePath.c_str(),
                   std::strerror(errno));
      return false;
    }
    std::fputs("pass\torder\trow\tscene\tevent\tticks\thash\n", out->trace);
  }
  return true;
}

void WriteFramePass(FrameOutputs* out, int64_t pass, const FrameProbe& probe,
                    const uint8_t* presented, int pitch) {
  if (out->trace) {
    std::fprintf(out->trace, "%" PRId64 "\t%u\t%u\t%u\t%d\t%d\t%016" PRIx64 "\n", pass,
                 static_cast<unsigned>(probe.polledPosition & 0xFFFF),
                 static_cast<unsigned>(probe.polledPosition >> 16),
                 static_cast<unsigned>(probe.scene), probe.eventFired, probe.pendingTicks,
                 Fnv1a64(probe.frame, kFrameBytes));
  }
  if (!out->dumpDir.empty() && PassListed(out->dumpPasses, pass))
    WriteDump(out, PassFile(out->dumpDir, pass, "bgra"), probe.frame);
  if (out->pngEvery && presented && pass % out->pngEvery == 0) {
    std::string path = PassFile(out->pngDir, pass, "png");
    if (!WriteBgraPng(path.c_str(), presented, kFrameWidth, kFrameHeight, pitch))
      Fail(out, "cannot write " + path);
  }
}

bool CloseFrameOutputs(FrameOutputs* out) {
  if (out->trace) {
    bool ok = !std::ferror(out->trace);
    ok = std::fclose(out->trace) == 0 && ok;
    out->trace = nullptr;
    if (!ok) Fail(out, "cannot write " + out->tracePath);
  }
  return !out->failed;
}
