// video.h — records the presented pictures and the music to an MP4 file
// through Debian's ffmpeg.
//
//   VideoRecorder video;
//   if (!StartVideo(&video, "out.mp4", scale, fps)) -> message printed, exit 1
//   after every present at virtual time T (units of PassSchedule):
//     VideoPresent(&video, T, picture, pitch);
//   FinishVideo(&video, endUnits, "music.wav");   // false if ffmpeg failed
//
// The video runs at exactly fps frames a second. Frame k stands for the
// interval [k, k+1) frame times and shows the picture on screen at its end,
// the picture whose audio was rendered just before it was drawn: at a steady
// frame rate that is one video frame per pass. Uneven passes (jitter) and
// pauses repeat or drop pictures so the video keeps to real time and stays
// in step with the audio.
//
// The pictures are encoded first (H.264, yuv420p, nearest-neighbour scaling
// by `scale`); the music is added in a second, quick step that copies the
// video and encodes the WAV to AAC, so the tool never has to feed ffmpeg two
// streams at once.
#pragma once
#include <sys/types.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

struct VideoRecorder {
  std::string path;
  std::string partPath;   // the picture-only encoding, removed at the end
  int scale = 4;
  int fps = 60;
  pid_t encoder = -1;
  std::FILE* pipe = nullptr;
  std::vector<uint8_t> picture;  // on screen since the last present (black at start)
  int64_t framesWritten = 0;
  bool failed = false;
};

// The ffmpeg program on PATH, or empty when there is none.
std::string FindFfmpeg();

bool StartVideo(VideoRecorder* video, const std::string& path, int scale, int fps);

// A picture presented at virtual time `units` (1000 units a frame).
void VideoPresent(VideoRecorder* video, int64_t units, const uint8_t* picture, int pitch);

// Writes the frames up to `endUnits`, ends the encoder and adds the audio of
// `wavPath`. False, with a message, when anything failed; the part files are
// removed either way.
bool FinishVideo(VideoRecorder* video, int64_t endUnits, const std::string& wavPath);

// Stops the encoder and removes every file of an unfinished recording.
void AbandonVideo(VideoRecorder* video);
