// main.cpp — qm7-capture: runs the demo's own host, timeline and effects on
// the virtual platform, frame-exact and faster than real time, and records
// what it does: a trace, frame dumps, PNGs, the music as WAV, an MP4 video,
// or CPU timings (--bench). See options.cpp for the command line.
//
//   qm7-capture --data build/data --video qm7.mp4
//   qm7-capture --data build/data --trace run.tsv --wav run.wav --frames 600
//   qm7-capture --data build/data --bench
//
// Exit status: 0 when the run ended (by the timeline, Escape or the frame
// limit) and every file was written; 1 when the data is missing (the host
// reports why), a file could not be written, ffmpeg is missing or failed, or
// the timeline never ended; 2 for a bad command line.
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>

#include "host/data_folder.h"
#include "platform/program_folder.h"
#include "host/host.h"
#include "qm7_build_info.h"
#include "platform/virtual/virtual_display.h"
#include "platform/virtual/virtual_platform.h"
#include "tools/capture/bench.h"
#include "tools/capture/frame_outputs.h"
#include "tools/capture/options.h"
#include "tools/capture/output_worker.h"
#include "tools/capture/pass_schedule.h"
#include "tools/capture/progress.h"
#include "tools/capture/video.h"

namespace {

struct CaptureRun {
  PassSchedule schedule;
  FrameOutputs outputs;
  OutputWorker worker;  // running: the outputs are written on its thread
  bool recordVideo = false;
  VideoRecorder video;
  bool bench = false;
  BenchRecorder benchRecorder;
  Progress progress;
};

CaptureRun Run;

void BenchHookEnteredThunk(void* user) { BenchHookEntered(static_cast<BenchRecorder*>(user)); }
void BenchHookLeftThunk(void* user) { BenchHookLeft(static_cast<BenchRecorder*>(user)); }

// One active pass, between the render step and the scene's update.
void ObserveFrame(const FrameProbe& probe) {
  if (Run.bench) BenchRenderDone(&Run.benchRecorder, probe.scene);
  int64_t pass = Run.schedule.activePasses++;
  VirtualFrame shown = VirtualFrontBuffer();
  if (Run.worker.running) {
    QueueFramePass(&Run.worker, pass, probe, shown.pixels, shown.pitch, Run.schedule.now);
  } else {
    WriteFramePass(&Run.outputs, pass, probe, shown.pixels, shown.pitch);
    if (Run.recordVideo && shown.pixels)
      VideoPresent(&Run.video, Run.schedule.now, shown.pixels, shown.pitch);
  }
  UpdateProgress(&Run.progress, probe.polledPosition, pass + 1,
                 ScheduleSeconds(Run.schedule, Run.schedule.now));
  if (Run.bench) BenchUpdateStarts(&Run.benchRecorder);
}

std::string Absolute(const std::string& path) {
  if (path.empty()) return path;
  std::error_code error;
  std::filesystem::path full = std::filesystem::absolute(path, error);
  return error ? path : full.string();
}

}  // namespace

int main(int argc, char** argv) {
  CaptureOptions options;
  std::string error;
  if (!ParseCaptureOptions(argc, argv, &options, &error)) {
    std::fprintf(stderr, "qm7-capture: %s\n%s\n", error.c_str(), kCaptureUsage);
    return 2;
  }
  if (options.help) {
    std::printf("%s\n\n%s", kCaptureUsage, kCaptureHelp);
    return 0;
  }
  if (options.version) {
    std::printf("qm7-capture %s\n", QM7_VERSION);
    return 0;
  }
#ifdef SIGPIPE
  std::signal(SIGPIPE, SIG_IGN);  // a dead ffmpeg shows up as a failed write
#endif

  // Output paths are taken relative to where the tool was started, not to
  // the data folder it moves into.
  for (std::string* path : {&options.tracePath, &options.dumpDir, &options.pngDir,
                            &options.wavPath, &options.videoPath})
    *path = Absolute(*path);
  if (!options.videoPath.empty() && FindFfmpeg().empty()) {
    std::fprintf(stderr,
                 "qm7-capture: --video needs ffmpeg, which is not installed or not on PATH "
                 "(on Debian: apt-get install ffmpeg)\n");
    return 1;
  }
  if (!options.dataDir.empty() && chdir(options.dataDir.c_str()) != 0) {
    std::fprintf(stderr, "qm7-capture: cannot use data folder %s: %s\n", options.dataDir.c_str(),
                 std::strerror(errno));
    return 1;
  }
  // Without --data, the same folders as qm7: working, own, installed.
  std::string searchNote;
  if (options.dataDir.empty()) {
    char working[4096];
    DataFolderSearch search = FindDataFolder(DataFolderCandidates(
        getcwd(working, sizeof working) ? working : ".", ProgramFolder(), QM7_INSTALLED_DATA_DIR));
    if (!search.found || chdir(search.folder.c_str()) != 0) {
      searchNote = DescribeDataSearch(search);
      DataSearchNote = searchNote.c_str();
    }
  }

  VirtualPlatformReset();
  VirtualDisplayReset();
  if (!OpenFrameOutputs(&Run.outputs, options)) return 1;
  Run.recordVideo = !options.videoPath.empty();
  std::string wavPath = options.wavPath;
  bool wavIsPart = false;
  if (wavPath.empty() && Run.recordVideo) {
    wavPath = options.videoPath + ".part-audio.wav";
    wavIsPart = true;
  }
  auto removePart = [&] {
    if (wavIsPart) std::remove(wavPath.c_str());
  };
  if (!wavPath.empty() && !VirtualMusicOpenWav(wavPath.c_str())) {
    std::fprintf(stderr, "qm7-capture: cannot create %s: %s\n", wavPath.c_str(), std::strerror(errno));
    CloseFrameOutputs(&Run.outputs);
    return 1;
  }
  if (Run.recordVideo &&
      !StartVideo(&Run.video, options.videoPath, options.videoScale, options.fps)) {
    VirtualMusicCloseWav();
    removePart();
    CloseFrameOutputs(&Run.outputs);
    return 1;
  }

  bool anyOutput = Run.outputs.trace || !Run.outputs.dumpDir.empty() || Run.outputs.pngEvery ||
                   Run.recordVideo;
  if (options.threads > 1 && anyOutput)
    StartOutputWorker(&Run.worker, &Run.outputs, Run.recordVideo ? &Run.video : nullptr);

  StartSchedule(&Run.schedule, options);
  Run.bench = options.bench;
  if (Run.bench) {
    Run.benchRecorder.samples.reserve(1 << 16);
    Run.schedule.hookEntered = BenchHookEnteredThunk;
    Run.schedule.hookLeft = BenchHookLeftThunk;
    Run.schedule.timingUser = &Run.benchRecorder;
  }
  VirtualSetPassHook(SchedulePassHook, &Run.schedule);
  FrameObserver = ObserveFrame;
  StartProgress(&Run.progress, options.frames, options.escapeAt);

  auto wallStart = std::chrono::steady_clock::now();
  int64_t cpuStart = CpuNowNs();
  int64_t mainCpuStart = ThreadCpuNowNs();
  int code = RunDemo();
  StopOutputWorker(&Run.worker);
  double wallSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - wallStart).count();
  double cpuSeconds = static_cast<double>(CpuNowNs() - cpuStart) / 1e9;
  double mainCpuSeconds = static_cast<double>(ThreadCpuNowNs() - mainCpuStart) / 1e9;
  FrameObserver = nullptr;
  VirtualSetPassHook(nullptr, nullptr);
  EndProgress(&Run.progress);
  VirtualMusicCloseWav();
  EndPlatform();

  bool ok = CloseFrameOutputs(&Run.outputs);
  if (code != 0) {
    if (Run.recordVideo) AbandonVideo(&Run.video);
    removePart();
    return 1;
  }
  if (Run.recordVideo) ok = FinishVideo(&Run.video, Run.schedule.now, wavPath) && ok;
  removePart();
  double virtualSeconds = ScheduleSeconds(Run.schedule, Run.schedule.now);
  if (Run.schedule.stoppedByTimeLimit) {
    std::fprintf(stderr,
                 "qm7-capture: the timeline had not ended after %.0f s of demo time; stopped\n",
                 virtualSeconds);
    ok = false;
  }
  if (Run.bench) PrintBench(Run.benchRecorder, stdout, virtualSeconds, wallSeconds, cpuSeconds,
                            mainCpuSeconds);
  if (Run.progress.enabled)
    std::fprintf(stderr, "qm7-capture: %lld passes, %.2f s of demo time in %.1f s\n",
                 static_cast<long long>(Run.schedule.activePasses), virtualSeconds, wallSeconds);
  return ok ? 0 : 1;
}
