// sound_match RECORDING.raw REFERENCE.wav — finds the offline render of the
// music inside a recording of what a sound server played, and says how far
// the music had got when the recording fell silent.
//
// RECORDING.raw: 44.1 kHz 16-bit little-endian stereo, no header (parec's
// output), starting before the music does and ending after the player closed
// (a null sink's monitor is digital silence then). REFERENCE.wav: the same
// music rendered offline from its first frame (qm7-capture --wav), longer
// than the recorded part. A server that runs dry plays silence and then goes
// on where it was, so the recording is cut into pieces at runs of silence;
// each piece is placed in the reference after the one before.
//
// Output, one "key value" per line (the test script reads them):
//   pieces N         stretches of music between runs of silence
//   gaps FRAMES      silence between them (the server running dry, or the
//                    music's own)
//   heard FRAMES     the reference frame after the last recorded one: how
//                    much of the music had been played when it stopped
//   lag FRAMES       recording frame minus reference frame in the last piece:
//                    recording frame R there holds music frame R - lag
//   level DBFS       RMS level of the longest piece
//   envelope R       correlation of its 10 ms RMS envelope (up to 8 s) with the
//                    reference's where it was placed (1 = same shape)
//   exact FRACTION   share of its frames equal to the reference, sample for sample
// Exit status 0 when the music was found, 1 otherwise (reason on standard error).
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr int kRate = 44100;
constexpr int kBlock = 441;  // 10 ms

struct Stereo {
  std::vector<int16_t> left, right;
  std::size_t Frames() const { return left.size(); }
};

bool ReadBytes(const char* path, std::vector<uint8_t>* bytes) {
  std::FILE* f = std::fopen(path, "rb");
  if (f == nullptr) return false;
  uint8_t chunk[65536];
  std::size_t got;
  while ((got = std::fread(chunk, 1, sizeof chunk, f)) > 0) bytes->insert(bytes->end(), chunk, chunk + got);
  std::fclose(f);
  return true;
}

void Deinterleave(const uint8_t* p, std::size_t frames, Stereo* out) {
  out->left.resize(frames);
  out->right.resize(frames);
  for (std::size_t i = 0; i < frames; ++i, p += 4) {
    out->left[i] = static_cast<int16_t>(p[0] | p[1] << 8);
    out->right[i] = static_cast<int16_t>(p[2] | p[3] << 8);
  }
}

uint32_t U32(const uint8_t* p) { return p[0] | p[1] << 8 | p[2] << 16 | static_cast<uint32_t>(p[3]) << 24; }

// The "data" chunk of a 16-bit stereo WAV.
bool ReadWav(const char* path, Stereo* out) {
  std::vector<uint8_t> b;
  if (!ReadBytes(path, &b) || b.size() < 12 || std::memcmp(b.data(), "RIFF", 4) != 0) return false;
  for (std::size_t at = 12; at + 8 <= b.size();) {
    const uint32_t size = U32(&b[at + 4]);
    if (std::memcmp(&b[at], "data", 4) == 0) {
      const std::size_t bytes = std::min<std::size_t>(size, b.size() - at - 8);
      Deinterleave(&b[at + 8], bytes / 4, out);
      return true;
    }
    at += 8 + size + (size & 1);
  }
  return false;
}

// RMS of the mono mix per 10 ms block.
std::vector<double> Envelope(const Stereo& s, std::size_t from, std::size_t frames) {
  std::vector<double> env(frames / kBlock);
  for (std::size_t b = 0; b < env.size(); ++b) {
    double sum = 0;
    for (std::size_t i = from + b * kBlock, end = i + kBlock; i < end; ++i) {
      const double m = (s.left[i] + s.right[i]) * 0.5;
      sum += m * m;
    }
    env[b] = std::sqrt(sum / kBlock);
  }
  return env;
}

double Correlation(const double* a, const double* b, std::size_t n) {
  double ma = 0, mb = 0;
  for (std::size_t i = 0; i < n; ++i) ma += a[i], mb += b[i];
  ma /= n;
  mb /= n;
  double ab = 0, aa = 0, bb = 0;
  for (std::size_t i = 0; i < n; ++i) {
    ab += (a[i] - ma) * (b[i] - mb);
    aa += (a[i] - ma) * (a[i] - ma);
    bb += (b[i] - mb) * (b[i] - mb);
  }
  return aa > 0 && bb > 0 ? ab / std::sqrt(aa * bb) : 0;
}

int Fail(const char* why) {
  std::fprintf(stderr, "sound_match: %s\n", why);
  return 1;
}

// Where rec[from, from + n) lies in the reference, searched from reference
// frame lo to hi: the place with the least squared difference over (at most)
// its first 4096 frames.
std::size_t Place(const Stereo& rec, std::size_t from, std::size_t n, const Stereo& ref,
                  std::size_t lo, std::size_t hi) {
  const std::size_t m = std::min<std::size_t>(n, 4096);
  std::size_t place = lo;
  double best = 1e300;
  for (std::size_t k = lo; k <= hi && k + n <= ref.Frames(); ++k) {
    double d = 0;
    for (std::size_t i = 0; i < m && d < best; ++i) {
      const double l = rec.left[from + i] - ref.left[k + i], r = rec.right[from + i] - ref.right[k + i];
      d += l * l + r * r;
    }
    if (d < best) best = d, place = k;
  }
  return place;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: sound_match RECORDING.raw REFERENCE.wav\n");
    return 2;
  }
  std::vector<uint8_t> raw;
  Stereo rec, ref;
  if (!ReadBytes(argv[1], &raw)) return Fail("cannot read the recording");
  Deinterleave(raw.data(), raw.size() / 4, &rec);
  if (!ReadWav(argv[2], &ref)) return Fail("cannot read the reference WAV");

  // Pieces: stretches without 32 silent frames in a row.
  constexpr std::size_t kGap = 32;
  struct Piece {
    std::size_t from, frames;
  };
  std::vector<Piece> pieces;
  std::size_t gaps = 0;
  for (std::size_t i = 0, n = rec.Frames(); i < n;) {
    std::size_t silent = 0;
    while (i + silent < n && rec.left[i + silent] == 0 && rec.right[i + silent] == 0) ++silent;
    if (silent >= kGap || i + silent == n) {
      if (!pieces.empty() && i + silent < n) gaps += silent;
      i += silent;
      continue;
    }
    // Music (or a short silence inside it) until the next long silence.
    std::size_t end = i + silent, quiet = 0;
    while (end < n && quiet < kGap) {
      quiet = (rec.left[end] == 0 && rec.right[end] == 0) ? quiet + 1 : 0;
      ++end;
    }
    if (quiet >= kGap) end -= quiet;
    pieces.push_back({i, end - i});
    i = end;
  }
  if (pieces.empty()) return Fail("the recording is silent");

  // A server that runs dry goes on where it was: each piece continues the
  // music where the one before ended, or later by at most the silence between
  // them (when that silence was the music's own). The first one lies within
  // the first 5 s of the reference.
  std::vector<std::size_t> placed(pieces.size());
  for (std::size_t p = 0; p < pieces.size(); ++p) {
    std::size_t lo = 0, hi = 5 * kRate;
    if (p > 0) {
      lo = placed[p - 1] + pieces[p - 1].frames;
      hi = lo + (pieces[p].from - pieces[p - 1].from - pieces[p - 1].frames);
    }
    if (lo + pieces[p].frames > ref.Frames()) return Fail("the reference is shorter than the recorded music");
    placed[p] = Place(rec, pieces[p].from, pieces[p].frames, ref, lo, hi);
  }
  const std::size_t heard = placed.back() + pieces.back().frames;

  // The longest piece (up to 8 s of it) against the reference where it was placed.
  std::size_t longest = 0;
  for (std::size_t p = 1; p < pieces.size(); ++p)
    if (pieces[p].frames > pieces[longest].frames) longest = p;
  const Piece& l = pieces[longest];
  if (l.frames < kRate) return Fail("no stretch of a second without silence in the recording");
  const std::size_t compared = std::min<std::size_t>(l.frames, 8 * kRate) / kBlock * kBlock;
  const std::size_t at = placed[longest];
  double sum = 0;
  std::size_t exact = 0;
  for (std::size_t i = 0; i < compared; ++i) {
    const double m = (rec.left[l.from + i] + rec.right[l.from + i]) * 0.5;
    sum += m * m;
    exact += rec.left[l.from + i] == ref.left[at + i] && rec.right[l.from + i] == ref.right[at + i];
  }
  const double rms = std::sqrt(sum / compared);
  const std::vector<double> a = Envelope(rec, l.from, compared), b = Envelope(ref, at, compared);
  const double envelope = Correlation(a.data(), b.data(), a.size());

  const long long lag = static_cast<long long>(pieces.back().from) - static_cast<long long>(placed.back());
  std::printf("pieces %zu\ngaps %zu\nheard %zu\nlag %lld\nlevel %.1f\nenvelope %.4f\nexact %.4f\n", pieces.size(),
              gaps, heard, lag, rms > 0 ? 20 * std::log10(rms / 32768) : -999.0, envelope,
              static_cast<double>(exact) / compared);
  return 0;
}
