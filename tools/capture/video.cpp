// video.cpp — feeds raw BGRA frames to a watched ffmpeg and muxes the music in.
#include "tools/capture/video.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "kit/frame.h"
#include "tools/capture/stop_request.h"
#include "tools/common/checked_file.h"

extern char** environ;

namespace {

constexpr int64_t kFrameUnits = 1000;
// How often a wait for ffmpeg looks at it and at the stop flag.
constexpr int kWatchMs = 50;
// How long an ffmpeg that stopped taking frames may take to end by itself.
constexpr int kHangUpMs = 500;
// How much of its error output is kept, and how many lines are shown.
constexpr std::size_t kErrorTextBytes = 4096;
constexpr int kErrorLines = 6;

void CloseFd(int* fd) {
  if (*fd >= 0) close(*fd);
  *fd = -1;
}

// Starts ffmpeg with `args` in a process group of its own, its standard
// error a pipe to us; with `feed` its standard input is a pipe from us, else
// /dev/null. The ends we keep do not block.
bool Spawn(const std::vector<std::string>& args, bool feed, Encoder* e, int* error) {
  *e = Encoder{};
  std::vector<char*> argv;
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  int in[2] = {-1, -1}, err[2] = {-1, -1};
  if (pipe2(err, O_CLOEXEC) != 0 || (feed && pipe2(in, O_CLOEXEC) != 0)) {
    *error = errno;
    for (int* fd : {&in[0], &in[1], &err[0], &err[1]}) CloseFd(fd);
    return false;
  }
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  if (feed)
    posix_spawn_file_actions_adddup2(&actions, in[0], 0);
  else
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_adddup2(&actions, err[1], 2);
  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGDEF);
  posix_spawnattr_setpgroup(&attributes, 0);
  sigset_t defaults;  // the tool ignores SIGPIPE; ffmpeg gets the usual one
  sigemptyset(&defaults);
  sigaddset(&defaults, SIGPIPE);
  posix_spawnattr_setsigdefault(&attributes, &defaults);
  pid_t pid = -1;
  *error = posix_spawnp(&pid, argv[0], &actions, &attributes, argv.data(), environ);
  posix_spawnattr_destroy(&attributes);
  posix_spawn_file_actions_destroy(&actions);
  CloseFd(&in[0]);
  CloseFd(&err[1]);
  if (*error) {
    CloseFd(&in[1]);
    CloseFd(&err[0]);
    return false;
  }
  e->pid = pid;
  e->input = in[1];
  e->errors = err[0];
  for (int fd : {e->input, e->errors})
    if (fd >= 0) fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) | O_NONBLOCK);
  return true;
}

// Takes what ffmpeg has printed so far, keeping the end.
void DrainErrors(Encoder* e) {
  char chunk[1024];
  while (e->errors >= 0) {
    ssize_t n = read(e->errors, chunk, sizeof chunk);
    if (n > 0) {
      e->errorText.append(chunk, static_cast<std::size_t>(n));
      if (e->errorText.size() > kErrorTextBytes)
        e->errorText.erase(0, e->errorText.size() - kErrorTextBytes);
    } else if (n == 0 || (errno != EINTR && errno != EAGAIN)) {
      CloseFd(&e->errors);  // it closed its end (usually: it ended)
    } else if (errno == EAGAIN) {
      return;
    }
  }
}

// True once ffmpeg has ended (then `status` holds how).
bool Reap(Encoder* e, bool block) {
  if (e->exited || e->pid <= 0) return true;
  int status = 0;
  pid_t r;
  do r = waitpid(e->pid, &status, block ? 0 : WNOHANG);
  while (r < 0 && errno == EINTR);
  if (r == e->pid) {
    e->exited = true;
    e->status = status;
  } else if (r < 0 && errno == ECHILD) {  // gone, its status unknown: not a success
    e->exited = true;
    e->status = 255 << 8;
  }
  return e->exited;
}

// Waits up to `ms` milliseconds for ffmpeg's error output or its end.
void Watch(Encoder* e, int ms) {
  pollfd fd{e->errors, POLLIN, 0};
  poll(&fd, e->errors >= 0 ? 1 : 0, ms);
  DrainErrors(e);
}

// Ends ffmpeg and whatever it started, at once.
void Kill(Encoder* e) {
  CloseFd(&e->input);
  if (e->pid > 0) {
    e->killed = !e->exited;
    kill(-e->pid, SIGKILL);  // the group: its children too, even after it ended itself
    Reap(e, true);
    e->pid = -1;
  }
  DrainErrors(e);
  CloseFd(&e->errors);
}

// Closes ffmpeg's input and waits for it to end: at most `limitMs` (< 0: no
// limit) before it is killed. False when a stop was requested meanwhile (it
// is killed then too).
bool AwaitEnd(Encoder* e, int limitMs) {
  CloseFd(&e->input);
  auto start = std::chrono::steady_clock::now();
  while (!Reap(e, false)) {
    if (StopRequested()) {
      Kill(e);
      return false;
    }
    if (limitMs >= 0 && std::chrono::steady_clock::now() - start > std::chrono::milliseconds(limitMs)) {
      Kill(e);
      return true;
    }
    Watch(e, kWatchMs);
  }
  DrainErrors(e);
  CloseFd(&e->errors);
  return true;
}

bool EndedWell(const Encoder& e) {
  return e.exited && WIFEXITED(e.status) && WEXITSTATUS(e.status) == 0;
}

// " (it ended with status 1); it said:\n  <its last lines>"
std::string HowItEnded(const Encoder& e) {
  std::string text;
  if (e.killed)
    text = " (it no longer read its input, nor ended; it was killed)";
  else if (e.exited && WIFEXITED(e.status))
    text = " (it ended with status " + std::to_string(WEXITSTATUS(e.status)) + ")";
  else if (e.exited && WIFSIGNALED(e.status))
    text = " (it was killed by signal " + std::to_string(WTERMSIG(e.status)) + ")";
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < e.errorText.size()) {
    std::size_t end = e.errorText.find_first_of("\r\n", start);
    if (end == std::string::npos) end = e.errorText.size();
    if (end > start) lines.push_back(e.errorText.substr(start, end - start));
    start = end + 1;
  }
  if (lines.empty()) return text;
  text += "; it said:";
  std::size_t first = lines.size() > kErrorLines ? lines.size() - kErrorLines : 0;
  for (std::size_t i = first; i < lines.size(); ++i) text += "\n  " + lines[i];
  return text;
}

// Writes `size` bytes to ffmpeg's input. False when a stop was requested or
// ffmpeg no longer takes them: it ended, or it closed its input.
bool Feed(Encoder* e, const uint8_t* bytes, std::size_t size) {
  while (size > 0) {
    if (StopRequested()) return false;
    ssize_t n = write(e->input, bytes, size);
    if (n > 0) {
      bytes += n;
      size -= static_cast<std::size_t>(n);
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && errno != EAGAIN) return false;  // EPIPE: nobody reads any more
    // The pipe is full: wait for room, its messages or its end.
    pollfd fds[2] = {{e->input, POLLOUT, 0}, {e->errors, POLLIN, 0}};
    poll(fds, e->errors >= 0 ? 2 : 1, kWatchMs);
    DrainErrors(e);
    if (Reap(e, false)) return false;
  }
  return !Reap(e, false);  // ended while a grandchild still holds the pipe
}

void WritePicture(VideoRecorder* v) {
  if (Feed(&v->encoder, v->picture.data(), v->picture.size())) {
    ++v->framesWritten;
    return;
  }
  v->failed = true;
  if (StopRequested()) return;  // stopped for another reason, told already
  AwaitEnd(&v->encoder, kHangUpMs);
  ReportFailure("ffmpeg stopped taking the frames of " + v->path + HowItEnded(v->encoder));
}

// Every frame whose interval ends before `units` shows the current picture.
void WriteFramesBefore(VideoRecorder* v, int64_t units) {
  while (!v->failed && (v->framesWritten + 1) * kFrameUnits < units) WritePicture(v);
}

// Runs ffmpeg with `args` to its end; false (reported unless stopped) when it failed.
bool RunToEnd(VideoRecorder* v, const std::vector<std::string>& args, const std::string& what) {
  int error = 0;
  if (!Spawn(args, false, &v->encoder, &error)) {
    ReportFailure("cannot start " + args[0] + ": " + std::strerror(error));
    return false;
  }
  if (!AwaitEnd(&v->encoder, -1)) return false;
  if (EndedWell(v->encoder)) return true;
  ReportFailure(what + HowItEnded(v->encoder));
  return false;
}

}  // namespace

std::string FindFfmpeg() {
  const char* path = std::getenv("PATH");
  std::string dirs = path ? path : "/usr/bin:/bin";
  std::size_t start = 0;
  for (;;) {
    std::size_t colon = dirs.find(':', start);
    std::string dir = dirs.substr(start, colon == std::string::npos ? std::string::npos : colon - start);
    std::string candidate = (dir.empty() ? std::string(".") : dir) + "/ffmpeg";
    struct stat info;
    if (stat(candidate.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
        access(candidate.c_str(), X_OK) == 0)
      return candidate;
    if (colon == std::string::npos) return {};
    start = colon + 1;
  }
}

bool StartVideo(VideoRecorder* v, const std::string& path, int scale, int fps) {
  *v = VideoRecorder{};
  v->path = path;
  v->picturesPath = path + ".part-video.mp4";
  v->muxedPath = path + ".part";
  v->scale = scale;
  v->fps = fps;
  v->picture.assign(kFrameBytes, 0);
  if (IsSpecialFile(path)) {
    ReportFailure("cannot write " + path +
                  ": not a regular file (a video is made beside its place and renamed)");
    return false;
  }
  std::string ffmpeg = FindFfmpeg();
  if (ffmpeg.empty()) {
    ReportFailure("--video needs ffmpeg, which is not installed or not on PATH "
                  "(on Debian: apt-get install ffmpeg)");
    return false;
  }
  std::string size = std::to_string(kFrameWidth) + "x" + std::to_string(kFrameHeight);
  std::string filter = "scale=" + std::to_string(kFrameWidth * scale) + ":" +
                       std::to_string(kFrameHeight * scale) + ":flags=neighbor,setsar=1,format=yuv420p";
  int error = 0;
  if (!Spawn({ffmpeg, "-hide_banner", "-loglevel", "error", "-y",
              "-f", "rawvideo", "-pixel_format", "bgra", "-video_size", size,
              "-framerate", std::to_string(fps), "-i", "-",
              "-sws_flags", "neighbor", "-vf", filter,
              "-c:v", "libx264", "-pix_fmt", "yuv420p", "-crf", "16", "-preset", "veryfast",
              "-an", "-f", "mp4", v->picturesPath},
             true, &v->encoder, &error)) {
    ReportFailure("cannot start " + ffmpeg + ": " + std::strerror(error));
    return false;
  }
  return true;
}

void VideoPresent(VideoRecorder* v, int64_t units, const uint8_t* picture, int pitch) {
  WriteFramesBefore(v, units);
  if (v->failed) return;
  for (int y = 0; y < kFrameHeight; ++y)
    std::memcpy(v->picture.data() + y * kFrameRowBytes, picture + static_cast<std::ptrdiff_t>(y) * pitch,
                kFrameRowBytes);
}

bool FinishVideo(VideoRecorder* v, int64_t endUnits, const std::string& wavPath) {
  WriteFramesBefore(v, endUnits + 1);  // frames ending at or before endUnits
  bool ok = !v->failed && AwaitEnd(&v->encoder, -1);
  if (ok && !EndedWell(v->encoder)) {
    ReportFailure("ffmpeg could not encode " + v->path + HowItEnded(v->encoder));
    ok = false;
  }
  if (ok) {
    // The sound is cut to the pictures' length: after uneven last passes the
    // music may run up to a frame beyond the last whole video frame.
    char seconds[32];
    std::snprintf(seconds, sizeof seconds, "%.6f",
                  static_cast<double>(v->framesWritten) / static_cast<double>(v->fps));
    ok = RunToEnd(v,
                  {FindFfmpeg(), "-hide_banner", "-loglevel", "error", "-y",
                   "-i", v->picturesPath, "-i", wavPath, "-map", "0:v", "-map", "1:a",
                   "-c:v", "copy", "-c:a", "aac", "-b:a", "256k", "-t", seconds,
                   "-movflags", "+faststart", "-f", "mp4", v->muxedPath},
                  "ffmpeg could not add the music to " + v->path);
  }
  unlink(v->picturesPath.c_str());
  if (!ok) AbandonVideo(v);
  return ok;
}

bool CommitVideo(VideoRecorder* v) {
  std::string error;
  if (ReplaceFile(v->muxedPath, v->path, &error)) return true;
  ReportFailure(error);
  AbandonVideo(v);
  return false;
}

void AbandonVideo(VideoRecorder* v) {
  Kill(&v->encoder);
  if (!v->picturesPath.empty()) unlink(v->picturesPath.c_str());
  if (!v->muxedPath.empty()) unlink(v->muxedPath.c_str());
}
