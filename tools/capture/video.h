// video.h — records the presented pictures and the music to an MP4 file
// through Debian's ffmpeg.
//
//   VideoRecorder video;
//   if (!StartVideo(&video, "out.mp4", scale, fps)) -> reported, exit 1
//   after every present at virtual time T (units of PassSchedule):
//     VideoPresent(&video, T, picture, pitch);
//   FinishVideo(&video, endUnits, "music.wav");   // false: reported
//   CommitVideo(&video) or AbandonVideo(&video);
//
// The video runs at exactly fps frames a second. Frame k stands for the
// interval [k, k+1) frame times and shows the picture on screen at its end,
// the picture whose audio was rendered just before it was drawn: at a steady
// frame rate that is one video frame per pass. Uneven passes (jitter) and
// pauses repeat or drop pictures so the video keeps to real time and stays
// in step with the audio.
//
// The pictures are encoded first (H.264, yuv420p, nearest-neighbour scaling
// by `scale`) into FILE.part-video.mp4; the music is added in a second,
// quick step that copies the video and encodes the WAV to AAC into
// FILE.part, so the tool never has to feed ffmpeg two streams at once.
// CommitVideo renames FILE.part to FILE.
//
// ffmpeg is watched: it runs in a process group of its own (a Ctrl+C
// reaches only the tool, which ends it), its error output is kept, and a
// write that finds it gone or no longer reading fails at once. Waits for it
// look at StopRequested() every 100 ms, and a stop kills it. Each failure
// is reported once through ReportFailure, with ffmpeg's last lines.
#pragma once
#include <sys/types.h>

#include <cstdint>
#include <string>
#include <vector>

// One ffmpeg process.
struct Encoder {
  pid_t pid = -1;
  int input = -1;          // the writing end of its standard input (a pipe), or -1
  int errors = -1;         // the reading end of its standard error, or -1
  std::string errorText;   // the last few KB it printed there
  bool exited = false;
  int status = 0;          // as waitpid gives it, once exited
  bool killed = false;     // ended by the tool
};

struct VideoRecorder {
  std::string path;
  std::string picturesPath;  // the picture-only encoding, removed at the end
  std::string muxedPath;     // pictures and music, renamed to `path` by CommitVideo
  int scale = 4;
  int fps = 60;
  Encoder encoder;
  std::vector<uint8_t> picture;  // on screen since the last present (black at start)
  int64_t framesWritten = 0;
  bool failed = false;
};

// The ffmpeg program on PATH, or empty when there is none.
std::string FindFfmpeg();

bool StartVideo(VideoRecorder* video, const std::string& path, int scale, int fps);

// A picture presented at virtual time `units` (1000 units a frame). Does
// nothing once the recording failed or a stop was requested.
void VideoPresent(VideoRecorder* video, int64_t units, const uint8_t* picture, int pitch);

// Writes the frames up to `endUnits`, ends the encoder and adds the audio of
// `wavPath` into FILE.part. False when anything failed or a stop was
// requested (then everything is removed).
bool FinishVideo(VideoRecorder* video, int64_t endUnits, const std::string& wavPath);

// Renames the finished FILE.part to FILE; false: reported, removed.
bool CommitVideo(VideoRecorder* video);

// Kills the encoder and removes every file of an unfinished recording.
void AbandonVideo(VideoRecorder* video);
