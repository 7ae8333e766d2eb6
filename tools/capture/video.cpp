// video.cpp — feeds raw BGRA frames to ffmpeg and muxes the music in.
#include "tools/capture/video.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "kit/frame.h"

extern char** environ;

namespace {

constexpr int64_t kFrameUnits = 1000;

// Starts ffmpeg with `args`; with `stdinPipe` its standard input is a pipe
// whose writing end is returned there.
pid_t Spawn(const std::vector<std::string>& args, std::FILE** stdinPipe) {
  std::vector<char*> argv;
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  int fds[2] = {-1, -1};
  if (stdinPipe) {
    if (pipe(fds) != 0) return -1;
    posix_spawn_file_actions_adddup2(&actions, fds[0], 0);
    posix_spawn_file_actions_addclose(&actions, fds[0]);
    posix_spawn_file_actions_addclose(&actions, fds[1]);
  } else {
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  }
  pid_t pid = -1;
  int error = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (stdinPipe) {
    close(fds[0]);
    if (error) {
      close(fds[1]);
      return -1;
    }
    *stdinPipe = fdopen(fds[1], "wb");
  }
  return error ? -1 : pid;
}

bool Wait(pid_t pid) {
  int status = 0;
  while (waitpid(pid, &status, 0) < 0)
    if (errno != EINTR) return false;
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

void WritePicture(VideoRecorder* v) {
  if (v->failed) return;
  if (std::fwrite(v->picture.data(), 1, v->picture.size(), v->pipe) != v->picture.size()) {
    std::fprintf(stderr, "qm7-capture: ffmpeg stopped taking frames (%s)\n", std::strerror(errno));
    v->failed = true;
  }
  ++v->framesWritten;
}

// Every frame whose interval ends before `units` shows the current picture.
void WriteFramesBefore(VideoRecorder* v, int64_t units) {
  while ((v->framesWritten + 1) * kFrameUnits < units) WritePicture(v);
}

bool EndEncoder(VideoRecorder* v) {
  bool ok = true;
  if (v->pipe) {
    ok = std::fclose(v->pipe) == 0;
    v->pipe = nullptr;
  }
  if (v->encoder > 0) {
    ok = Wait(v->encoder) && ok;
    v->encoder = -1;
  }
  return ok;
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
  v->partPath = path + ".part-video.mp4";
  v->scale = scale;
  v->fps = fps;
  v->picture.assign(kFrameBytes, 0);
  std::string ffmpeg = FindFfmpeg();
  if (ffmpeg.empty()) {
    std::fprintf(stderr,
                 "qm7-capture: --video needs ffmpeg, which is not installed or not on PATH "
                 "(on Debian: apt-get install ffmpeg)\n");
    return false;
  }
  std::string size = std::to_string(kFrameWidth) + "x" + std::to_string(kFrameHeight);
  std::string filter = "scale=" + std::to_string(kFrameWidth * scale) + ":" +
                       std::to_string(kFrameHeight * scale) + ":flags=neighbor,setsar=1,format=yuv420p";
  v->encoder = Spawn({ffmpeg, "-hide_banner", "-loglevel", "error", "-y",
                      "-f", "rawvideo", "-pixel_format", "bgra", "-video_size", size,
                      "-framerate", std::to_string(fps), "-i", "-",
                      "-sws_flags", "neighbor", "-vf", filter,
                      "-c:v", "libx264", "-pix_fmt", "yuv420p", "-crf", "16", "-preset", "veryfast",
                      "-an", "-f", "mp4", v->partPath},
                     &v->pipe);
  if (v->encoder < 0 || !v->pipe) {
    std::fprintf(stderr, "qm7-capture: cannot start %s\n", ffmpeg.c_str());
    AbandonVideo(v);
    return false;
  }
  return true;
}

void VideoPresent(VideoRecorder* v, int64_t units, const uint8_t* picture, int pitch) {
  WriteFramesBefore(v, units);
  for (int y = 0; y < kFrameHeight; ++y)
    std::memcpy(v->picture.data() + y * kFrameRowBytes, picture + static_cast<std::ptrdiff_t>(y) * pitch,
                kFrameRowBytes);
}

bool FinishVideo(VideoRecorder* v, int64_t endUnits, const std::string& wavPath) {
  WriteFramesBefore(v, endUnits + 1);  // frames ending at or before endUnits
  bool ok = EndEncoder(v) && !v->failed;
  if (!ok) {
    std::fprintf(stderr, "qm7-capture: ffmpeg could not encode the video\n");
  } else {
    // The sound is cut to the pictures' length: after uneven last passes the
    // music may run up to a frame beyond the last whole video frame.
    char seconds[32];
    std::snprintf(seconds, sizeof seconds, "%.6f",
                  static_cast<double>(v->framesWritten) / static_cast<double>(v->fps));
    pid_t muxer = Spawn({FindFfmpeg(), "-hide_banner", "-loglevel", "error", "-y",
                         "-i", v->partPath, "-i", wavPath, "-map", "0:v", "-map", "1:a",
                         "-c:v", "copy", "-c:a", "aac", "-b:a", "256k", "-t", seconds,
                         "-movflags", "+faststart", "-f", "mp4", v->path},
                        nullptr);
    ok = muxer > 0 && Wait(muxer);
    if (!ok) {
      std::fprintf(stderr, "qm7-capture: ffmpeg could not add the audio to %s\n", v->path.c_str());
      unlink(v->path.c_str());
    }
  }
  unlink(v->partPath.c_str());
  return ok;
}

void AbandonVideo(VideoRecorder* v) {
  EndEncoder(v);
  if (!v->partPath.empty()) unlink(v->partPath.c_str());
}
