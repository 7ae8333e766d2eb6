// frame_outputs.cpp — trace lines, raw frame dumps and PNGs, one pass at a time.
#include "tools/capture/frame_outputs.h"

#include <cinttypes>
#include <filesystem>
#include <system_error>

#include "kit/frame.h"
#include "tools/capture/stop_request.h"
#include "tools/common/png_writer.h"

namespace {

void Fail(FrameOutputs* out, const std::string& message) {
  out->failed = true;
  ReportFailure(message);
}

bool MakeFolder(const std::string& path) {
  std::error_code error;
  std::filesystem::create_directories(path, error);
  if (!error && std::filesystem::is_directory(path, error)) return true;
  if (!error) error = std::make_error_code(std::errc::not_a_directory);
  ReportFailure("cannot create folder " + path + ": " + error.message());
  return false;
}

std::string PassFile(const std::string& dir, int64_t pass, const char* extension) {
  char name[48];
  std::snprintf(name, sizeof name, "/frame-%06" PRId64 ".%s", pass, extension);
  return dir + name;
}

void WriteTraceText(FrameOutputs* out, const char* text, int length) {
  if (length < 0 || !WriteChecked(&out->trace, text, static_cast<std::size_t>(length)))
    Fail(out, out->trace.error);
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
    out->tracing = true;
    if (!OpenChecked(&out->trace, o.tracePath)) {
      ReportFailure(out->trace.error);
      return false;
    }
    static const char kHeader[] = "pass\torder\trow\tscene\tevent\tticks\thash\n";
    WriteTraceText(out, kHeader, sizeof kHeader - 1);
    if (out->failed) {
      DiscardChecked(&out->trace);
      return false;
    }
  }
  return true;
}

void WriteFramePass(FrameOutputs* out, int64_t pass, const FrameProbe& probe,
                    const uint8_t* presented, int pitch) {
  if (out->failed) return;
  if (out->tracing) {
    char line[128];
    int length = std::snprintf(line, sizeof line, "%" PRId64 "\t%u\t%u\t%u\t%d\t%d\t%016" PRIx64 "\n",
                               pass, static_cast<unsigned>(probe.polledPosition & 0xFFFF),
                               static_cast<unsigned>(probe.polledPosition >> 16),
                               static_cast<unsigned>(probe.scene), probe.eventFired,
                               probe.pendingTicks, Fnv1a64(probe.frame, kFrameBytes));
    WriteTraceText(out, line, length);
    if (out->failed) return;
  }
  std::string why;
  if (!out->dumpDir.empty() && PassListed(out->dumpPasses, pass) &&
      !WriteFileChecked(PassFile(out->dumpDir, pass, "bgra"), probe.frame, kFrameBytes, &why))
    return Fail(out, why);
  if (out->pngEvery && presented && pass % out->pngEvery == 0 &&
      !WriteBgraPng(PassFile(out->pngDir, pass, "png").c_str(), presented, kFrameWidth, kFrameHeight,
                    pitch, &why))
    return Fail(out, why);
}

bool FinishFrameOutputs(FrameOutputs* out) {
  if (out->tracing && !out->failed && !FinishChecked(&out->trace)) Fail(out, out->trace.error);
  return !out->failed;
}
