// wav_file.cpp — a RIFF header, then the samples as the music renders them.
#include "tools/capture/wav_file.h"

#include <cstring>

#include "platform/music.h"
#include "tools/capture/stop_request.h"

namespace {

void PutLe(uint8_t* p, uint32_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}

// `dataBytes` 0xFFFFFFFF: length unknown (a pipe or device, never patched).
bool WriteHeader(WavFile* wav, uint32_t dataBytes) {
  uint8_t h[44];
  std::memcpy(h, "RIFF", 4);
  PutLe(h + 4, dataBytes > 0xFFFFFFFFu - 36 ? 0xFFFFFFFFu : 36 + dataBytes, 4);
  std::memcpy(h + 8, "WAVEfmt ", 8);
  PutLe(h + 16, 16, 4);
  PutLe(h + 20, 1, 2);  // PCM
  PutLe(h + 22, 2, 2);  // stereo
  PutLe(h + 24, kMusicRate, 4);
  PutLe(h + 28, kMusicRate * 4, 4);
  PutLe(h + 32, 4, 2);
  PutLe(h + 34, 16, 2);
  std::memcpy(h + 36, "data", 4);
  PutLe(h + 40, dataBytes, 4);
  return WriteChecked(&wav->file, h, sizeof h);
}

bool Failed(WavFile* wav) {
  ReportFailure(wav->file.error);
  DiscardChecked(&wav->file);
  return false;
}

}  // namespace

bool OpenWavFile(WavFile* wav, const std::string& path, const char* suffix) {
  *wav = WavFile{};
  if (!OpenChecked(&wav->file, path, suffix)) return Failed(wav);
  return WriteHeader(wav, wav->file.inPlace ? 0xFFFFFFFFu : 0) || Failed(wav);
}

void WavSink(const int16_t* samples, std::size_t frames, void* user) {
  auto* wav = static_cast<WavFile*>(user);
  if (wav->file.failed) return;
  // Samples in the machine's order: little-endian everywhere the tool runs.
  if (!WriteChecked(&wav->file, samples, frames * 4)) {
    Failed(wav);
    return;
  }
  wav->frames += static_cast<int64_t>(frames);
}

bool FinishWavFile(WavFile* wav) {
  if (wav->file.failed) return false;
  if (!wav->file.inPlace) {
    int64_t bytes = wav->frames * 4;
    uint32_t dataBytes = bytes > 0xFFFFFFFE ? 0xFFFFFFFEu : static_cast<uint32_t>(bytes);
    if (!SeekChecked(&wav->file, 0) || !WriteHeader(wav, dataBytes)) return Failed(wav);
  }
  return FinishChecked(&wav->file) || Failed(wav);
}
