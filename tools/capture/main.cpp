// main.cpp — qm7-capture: runs the demo's own host, timeline and effects on
// the virtual platform, frame-exact and faster than real time, and records
// what it does: a trace, frame dumps, PNGs, the music as WAV, an MP4 video,
// or CPU timings (--bench). See options.cpp for the command line.
//
//   qm7-capture --data build/data --video qm7.mp4
//   qm7-capture --data build/data --trace run.tsv --wav run.wav --frames 600
//   qm7-capture --data build/data --bench
//
// Files are complete or absent: each is written beside its place and renamed
// when the run has succeeded (dumps and PNGs as soon as each is whole). The
// first file that cannot be written, or an ffmpeg that fails, is reported
// once and ends the run at the next pass; so does SIGINT or SIGTERM.
//
// Exit status: 0 when the run ended (by the timeline, Escape or the frame
// limit) and every file was written; 1 when the data is missing (the host
// reports why), a file could not be written, ffmpeg is missing or failed, or
// the timeline never ended; 2 for a bad command line; 130 / 143 when stopped
// by SIGINT / SIGTERM.

#include <chrono>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <string>

#include "host/data_folder.h"
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
#include "tools/capture/stop_request.h"
#include "tools/capture/video.h"
#include "tools/capture/wav_file.h"

namespace {

struct CaptureRun {
  PassSchedule schedule;
  FrameOutputs outputs;
  OutputWorker worker;  // running: the outputs are written on its thread
  bool recordWav = false;
  WavFile wav;          // the --wav file, or the video's music
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
  if (StopRequested()) {
    // Nothing more is written; Escape ends the run at the next pass.
  } else if (Run.worker.running) {
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

// "; not written: run.tsv, run.wav" and where the finished frames are.
std::string LeftUnwritten(const CaptureOptions& o) {
  std::string files;
  for (const std::string* path : {&o.tracePath, &o.wavPath, &o.videoPath})
    if (!path->empty()) files += (files.empty() ? "" : ", ") + *path;
  std::string text = files.empty() ? "" : "; not written: " + files;
  for (const std::string* dir : {&o.dumpDir, &o.pngDir})
    if (!dir->empty()) text += "; the frames finished before are in " + *dir;
  return text;
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
  if (options.common.help) {
    std::printf("%s\n\n%s", kCaptureUsage, kCaptureHelp);
    return 0;
  }
  if (options.common.version) {
    std::printf("qm7-capture %s\n", QM7_VERSION);
    return 0;
  }
#ifdef SIGPIPE
  std::signal(SIGPIPE, SIG_IGN);  // a dead ffmpeg shows up as a failed write
  std::signal(SIGCHLD, SIG_DFL);  // ignored (as a parent may leave it), ffmpeg's status is lost
#endif
  InstallStopSignals();

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
  if (!EnterDataFolder(options.common.dataDir, &error)) {
    std::fprintf(stderr, "qm7-capture: %s\n", error.c_str());
    return 1;
  }

  VirtualPlatformReset();
  VirtualDisplayReset();
  Run.recordVideo = !options.videoPath.empty();
  Run.recordWav = !options.wavPath.empty() || Run.recordVideo;
  // Without --wav, a video's music goes to a working file beside it.
  bool opened = OpenFrameOutputs(&Run.outputs, options);
  if (opened && Run.recordVideo)
    opened = StartVideo(&Run.video, options.videoPath, options.videoScale, options.fps);
  if (opened && Run.recordWav)
    opened = options.wavPath.empty() ? OpenWavFile(&Run.wav, options.videoPath, ".part-audio.wav")
                                     : OpenWavFile(&Run.wav, options.wavPath);
  int code = 1;
  double wallSeconds = 0, cpuSeconds = 0, mainCpuSeconds = 0;
  if (opened) {
    if (Run.recordWav) VirtualMusicSetSink(WavSink, &Run.wav);
    bool anyOutput = Run.outputs.tracing || !Run.outputs.dumpDir.empty() || Run.outputs.pngEvery ||
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
    code = RunDemo();
    StopOutputWorker(&Run.worker);
    wallSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - wallStart).count();
    cpuSeconds = static_cast<double>(CpuNowNs() - cpuStart) / 1e9;
    mainCpuSeconds = static_cast<double>(ThreadCpuNowNs() - mainCpuStart) / 1e9;
    FrameObserver = nullptr;
    VirtualSetPassHook(nullptr, nullptr);
    VirtualMusicSetSink(nullptr, nullptr);
    EndProgress(&Run.progress);
    EndPlatform();
  }

  // Every file is finished and checked before any is renamed into place.
  bool ok = opened && code == 0 && !StopRequested();
  ok = ok && FinishFrameOutputs(&Run.outputs);
  ok = ok && (!Run.recordWav || FinishWavFile(&Run.wav));
  ok = ok && (!Run.recordVideo || FinishVideo(&Run.video, Run.schedule.now, Run.wav.file.partPath));
  ok = ok && !StopRequested();
  if (ok) {
    ok = !Run.outputs.tracing || CommitChecked(&Run.outputs.trace);
    if (!ok) ReportFailure(Run.outputs.trace.error);
  }
  if (ok && !options.wavPath.empty()) {
    ok = CommitChecked(&Run.wav.file);
    if (!ok) ReportFailure(Run.wav.file.error);
  }
  if (ok && Run.recordVideo) ok = CommitVideo(&Run.video);
  if (!ok) {
    DiscardChecked(&Run.outputs.trace);
    DiscardChecked(&Run.wav.file);
    if (Run.recordVideo) AbandonVideo(&Run.video);
  }
  DiscardChecked(&Run.wav.file);  // the video's music, once muxed

  if (StopSignal()) {
    std::fprintf(stderr, "qm7-capture: stopped by %s%s\n",
                 StopSignal() == SIGINT ? "SIGINT" : "SIGTERM", LeftUnwritten(options).c_str());
    return 128 + StopSignal();
  }
  if (!ok) return 1;
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
