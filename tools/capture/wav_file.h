// wav_file.h — the music of a capture as a 44.1 kHz 16-bit stereo WAV file,
// written through a checked file (tools/common/checked_file.h).
//
//   WavFile wav;
//   if (!OpenWavFile(&wav, "run.wav")) -> reported, exit 1
//   VirtualMusicSetSink(WavSink, &wav);   // the samples as they are rendered
//   FinishWavFile(&wav);                  // completes the header and closes
//   CommitChecked(&wav.file) or DiscardChecked(&wav.file)
//
// Every failure is reported once through ReportFailure, which stops the run;
// the file then takes no more samples.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

#include "tools/common/checked_file.h"

struct WavFile {
  CheckedFile file;
  int64_t frames = 0;
};

// Creates `path` + `suffix` with a header.
bool OpenWavFile(WavFile* wav, const std::string& path, const char* suffix = ".part");

// The virtual music's sink; `user` is the WavFile. Called on the main thread.
void WavSink(const int16_t* samples, std::size_t frames, void* user);

// Writes the sizes into the header and closes the file, checked.
bool FinishWavFile(WavFile* wav);
