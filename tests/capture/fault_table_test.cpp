// Every kind of output against every way its writing can go wrong, with one
// thread and with two: a full device, /dev/full, a folder that cannot be
// written, an encoder that dies or stops reading, SIGINT and SIGTERM. Each
// run must end within 5 s (kTimeScale times that under an emulator) with
// status 1 (130 / 143 for the signals), say one
// thing naming the file, leave no complete-looking file that is not whole
// (an earlier file of the same name stays as it was), and leave no process
// behind.
//
// The full device is a 16 KB tmpfs and the read-only folder a read-only
// tmpfs, mounted in a mount namespace of the test's own when it may make one
// (as root); otherwise a 16 KB file size limit (SIGXFSZ ignored, so writes
// fail with EFBIG) and a path under a regular file stand in for them.
#include <sched.h>
#include <sys/mount.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <thread>

#include "tests/capture/capture_runner.h"

namespace fs = std::filesystem;

namespace {

enum class Kind { kTrace, kDump, kPng, kWav, kVideo };
enum class Fault { kFullDevice, kDevFull, kReadOnlyFolder, kEncoderDies, kEncoderHangsUp, kSigint, kSigterm };

struct Row {
  Kind kind;
  Fault fault;
  int threads;
};

const char* KindName(Kind k) {
  static const char* const names[] = {"trace", "dump", "png", "wav", "video"};
  return names[static_cast<int>(k)];
}

const char* FaultName(Fault f) {
  static const char* const names[] = {"FullDevice", "DevFull", "ReadOnlyFolder", "EncoderDies",
                                      "EncoderHangsUp", "Sigint", "Sigterm"};
  return names[static_cast<int>(f)];
}

std::vector<Row> AllRows() {
  std::vector<Row> rows;
  for (int threads : {1, 2})
    for (Kind kind : {Kind::kTrace, Kind::kDump, Kind::kPng, Kind::kWav, Kind::kVideo})
      for (Fault fault : {Fault::kFullDevice, Fault::kDevFull, Fault::kReadOnlyFolder, Fault::kEncoderDies,
                          Fault::kEncoderHangsUp, Fault::kSigint, Fault::kSigterm}) {
        bool folder = kind == Kind::kDump || kind == Kind::kPng;
        bool encoder = fault == Fault::kEncoderDies || fault == Fault::kEncoderHangsUp;
        if (encoder && kind != Kind::kVideo) continue;
        if (fault == Fault::kDevFull && folder) continue;  // a device is no folder: the folder row
        rows.push_back({kind, fault, threads});
      }
  return rows;
}

// Mounts in a mount namespace of this process's own (nothing outside sees
// them); false where that is not allowed.
bool CanMount() {
  static const bool allowed = unshare(CLONE_NEWNS) == 0 &&
                              mount("none", "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0;
  return allowed;
}

bool MountTmpfs(const fs::path& at, bool readOnly) {
  if (!CanMount()) return false;
  fs::create_directories(at);
  if (mount("tmpfs", at.c_str(), "tmpfs", readOnly ? MS_RDONLY : 0, "size=16k") == 0) return true;
  fs::remove(at);
  return false;
}

// Once the run has made a file in `watch` besides the `already` there, and
// a little after (well into the run): `signal`; 0 until then.
std::function<int()> SignalOnceWritten(int signal, const fs::path& watch, std::size_t already) {
  if (!signal) return nullptr;
  return [signal, watch, already] {
    std::error_code ignored;
    auto entries = fs::directory_iterator(watch, ignored);
    if (ignored || static_cast<std::size_t>(std::distance(entries, fs::directory_iterator())) <= already)
      return 0;
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    return signal;
  };
}

// The processes whose parent is this one.
std::vector<pid_t> Children() {
  std::vector<pid_t> found;
  for (const auto& entry : fs::directory_iterator("/proc")) {
    std::ifstream stat(entry.path() / "stat");
    std::string pid, name, state;
    pid_t parent = 0;
    // "pid (name) state ppid ...": names here have no spaces.
    if (stat >> pid >> name >> state >> parent && parent == getpid()) found.push_back(std::stoi(pid));
  }
  return found;
}

// A stand-in for ffmpeg that takes ten frames, then `ending`.
fs::path StandInEncoder(const fs::path& dir, const char* ending) {
  fs::create_directories(dir);
  WriteWholeFile(dir / "ffmpeg", std::string("#!/bin/sh\nhead -c 3072000 >/dev/null\n") + ending);
  fs::permissions(dir / "ffmpeg", fs::perms::owner_all);
  return dir;
}

class FaultTable : public CaptureTest, public testing::WithParamInterface<Row> {
 protected:
  void TearDown() override {
    for (const fs::path& m : mounts_) umount2(m.c_str(), MNT_DETACH);
    CaptureTest::TearDown();
  }
  std::vector<fs::path> mounts_;
};

TEST_P(FaultTable, EndsSoonWithOneMessageAndNoFalseFile) {
  const Row row = GetParam();
  const bool folder = row.kind == Kind::kDump || row.kind == Kind::kPng;
  const bool encoderFault = row.fault == Fault::kEncoderDies || row.fault == Fault::kEncoderHangsUp;
  const int signal = row.fault == Fault::kSigint ? SIGINT : row.fault == Fault::kSigterm ? SIGTERM : 0;
  if (row.kind == Kind::kVideo && !encoderFault && !HaveProgram("ffmpeg"))
    GTEST_SKIP() << "ffmpeg is not installed";
  // Orphans of the tool come to this process, so one that outlives it shows.
  prctl(PR_SET_CHILD_SUBREAPER, 1);

  fs::path out = dir_ / "out";
  uint64_t fileLimit = 0;
  fs::path pathPrefix;
  switch (row.fault) {
    case Fault::kFullDevice:
      if (MountTmpfs(out, false))
        mounts_.push_back(out);
      else
        fileLimit = 16384;
      break;
    case Fault::kReadOnlyFolder:
      if (MountTmpfs(dir_ / "locked", true)) {
        mounts_.push_back(dir_ / "locked");
        out = dir_ / "locked";
      } else {
        WriteWholeFile(dir_ / "locked", "a file, not a folder");
        out = dir_ / "locked" / "out";
      }
      break;
    case Fault::kEncoderDies:
      pathPrefix = StandInEncoder(dir_ / "bin", "echo 'stand-in encoder: giving up' >&2\nexit 1\n");
      break;
    case Fault::kEncoderHangsUp:
      pathPrefix = StandInEncoder(dir_ / "bin",
                                  "exec 0<&-\necho 'stand-in encoder: not reading' >&2\nexec sleep 30\n");
      break;
    default:
      break;
  }
  if (row.fault != Fault::kReadOnlyFolder) fs::create_directories(out);

  // The file or folder named on the command line and expected in the message.
  const std::map<Kind, std::string> names = {{Kind::kTrace, "run.tsv"}, {Kind::kDump, "dumps"},
                                             {Kind::kPng, "png"}, {Kind::kWav, "run.wav"},
                                             {Kind::kVideo, "v.mp4"}};
  std::string target = row.fault == Fault::kDevFull ? "/dev/full" : (out / names.at(row.kind)).string();
  std::vector<std::string> args = {QM7_CAPTURE_PROGRAM, "--data", QM7_DATA_DIR, "--threads",
                                   std::to_string(row.threads)};
  switch (row.kind) {
    case Kind::kTrace: args.insert(args.end(), {"--trace", target}); break;
    case Kind::kDump: args.insert(args.end(), {"--dump-frames", "0-99999", "--dump-dir", target}); break;
    case Kind::kPng: args.insert(args.end(), {"--png", target}); break;
    case Kind::kWav: args.insert(args.end(), {"--wav", target}); break;
    case Kind::kVideo: args.insert(args.end(), {"--video", target, "--scale", "1"}); break;
  }

  // An earlier file of the same name must outlive a failed run unchanged.
  const bool earlier = !folder && row.fault != Fault::kDevFull && row.fault != Fault::kReadOnlyFolder;
  const std::string earlierText = "an earlier run\n";
  if (earlier) WriteWholeFile(target, earlierText);

  RunOptions options;
  options.pathPrefix = pathPrefix.string();
  options.fileSizeLimit = fileLimit;
  options.signalWhen = SignalOnceWritten(signal, out, earlier ? 1 : 0);
  const ProgramResult run = RunProgram(args, dir_, 5 * kTimeScale, options);
  EXPECT_FALSE(run.timedOut) << "still running after " << 5 * kTimeScale << " s";
  if (signal) {
    EXPECT_GE(run.afterSignal, 0) << "the run wrote nothing into " << out << " to signal it by";
  }
  EXPECT_TRUE(run.exited);
  EXPECT_EQ(run.status, signal ? 128 + signal : 1) << run.err;

  // One message, naming the file; an encoder's own lines follow it indented.
  std::vector<std::string> messages;
  std::size_t start = 0;
  while (start < run.err.size()) {
    std::size_t end = run.err.find('\n', start);
    if (end == std::string::npos) end = run.err.size();
    std::string line = run.err.substr(start, end - start);
    if (!line.empty() && line.compare(0, 2, "  ") != 0) messages.push_back(line);
    start = end + 1;
  }
  ASSERT_EQ(messages.size(), 1u) << run.err;
  EXPECT_EQ(messages[0].rfind("qm7-capture: ", 0), 0u) << run.err;
  EXPECT_NE(messages[0].find(target), std::string::npos) << run.err;
  if (encoderFault) {
    EXPECT_NE(run.err.find("stand-in encoder: "), std::string::npos) << "ffmpeg's own words are not shown";
  }

  // Nothing of ours runs on.
  std::vector<pid_t> left = Children();
  EXPECT_TRUE(left.empty()) << "a process outlived the tool";
  for (pid_t pid : left) kill(pid, SIGKILL);
  for (pid_t pid : left) waitpid(pid, nullptr, 0);

  // No working files, no single-file output; only whole frames in folders.
  std::error_code ignored;
  if (row.fault == Fault::kDevFull) {
    for (const char* part : {"/dev/full.part", "/dev/full.part-audio.wav", "/dev/full.part-video.mp4"})
      EXPECT_FALSE(fs::exists(part, ignored)) << "left behind: " << part;
    return;
  }
  if (!fs::is_directory(out, ignored)) return;
  for (const auto& entry : fs::recursive_directory_iterator(out)) {
    if (!entry.is_regular_file()) continue;
    const fs::path& p = entry.path();
    EXPECT_EQ(p.filename().string().find(".part"), std::string::npos) << "left behind: " << p;
    if (!folder) {
      EXPECT_TRUE(earlier && p == target && ReadWholeFile(p) == earlierText) << "left behind: " << p;
    } else if (row.kind == Kind::kDump) {
      EXPECT_EQ(fs::file_size(p), 307200u) << p;
    } else {
      int width = 0, height = 0;
      EXPECT_FALSE(ReadPngBgra(p, &width, &height).empty()) << p;
      EXPECT_EQ(width * height, 320 * 240) << p;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Capture, FaultTable, testing::ValuesIn(AllRows()),
                         [](const testing::TestParamInfo<Row>& info) {
                           return std::string(KindName(info.param.kind)) + "_" + FaultName(info.param.fault) +
                                  "_threads" + std::to_string(info.param.threads);
                         });

}  // namespace
