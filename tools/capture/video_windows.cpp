// video_windows.cpp — the video recorder of Windows builds, which do not run
// ffmpeg: FindFfmpeg finds none, so --video is refused before anything runs.
#include "tools/capture/video.h"

std::string FindFfmpeg() { return {}; }
bool StartVideo(VideoRecorder*, const std::string&, int, int) { return false; }
void VideoPresent(VideoRecorder*, int64_t, const uint8_t*, int) {}
bool FinishVideo(VideoRecorder*, int64_t, const std::string&) { return false; }
bool CommitVideo(VideoRecorder*) { return false; }
void AbandonVideo(VideoRecorder*) {}
