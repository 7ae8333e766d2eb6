// song.cpp — the arrangement: a chord per bar, melodies over 4-bar phrases,
// and per-section rules for each channel, written into one long row grid
// that is then cut into 53 patterns.
#include "tools/compose/song.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "tools/compose/synth.h"

namespace {

constexpr int kOrders = 53;
constexpr int kBarRows = 32;
constexpr int kBeatRows = 8;

enum Channel {
  kChKick, kChSnare, kChHat, kChCrash, kChFx, kChBass,
  kChPad0, kChPad1, kChPad2, kChStab0, kChStab1, kChStab2,
  kChLead, kChEcho, kChArp, kChannelCount
};
static_assert(kChannelCount <= kItMaxChannels);

// ---- harmony -------------------------------------------------------------

struct Chord {
  int root;     // bass note
  int pad[3];   // close voicing around middle C
};
const Chord kAm{45, {57, 60, 64}}, kF{41, {57, 60, 65}}, kC{48, {55, 60, 64}},
    kG{43, {55, 59, 62}}, kEm{40, {55, 59, 64}}, kDm{38, {57, 62, 65}}, kE{40, {56, 59, 64}};

const Chord kProgressionA[4] = {kAm, kF, kC, kG};
const Chord kProgressionB[4] = {kF, kG, kEm, kAm};
const Chord kBreakdown[8] = {kF, kG, kEm, kAm, kDm, kAm, kE, kE};

// Which 4-bar phrase a bar belongs to: 'A', 'B', or another tag.
char PhraseOf(int bar) {
  int order = bar / 2;
  if (order < 12) return 'A';
  if (order < 20 || (order >= 24 && order < 34)) return ((bar / 4) % 2 == 0) ? 'A' : 'B';
  if (order < 24) return 'D';
  if (order == 34) return 'X';
  if (bar >= 102) return 'E';
  return ((bar - 70) / 4) % 2 == 0 ? 'A' : 'B';
}

Chord ChordOf(int bar) {
  switch (PhraseOf(bar)) {
    case 'A': return kProgressionA[bar % 4];
    case 'B': return kProgressionB[bar % 4];
    case 'D': return kBreakdown[bar - 40];
    case 'X': return kAm;
    default: {  // closing cadence
      const Chord ending[4] = {kDm, kE, kAm, kAm};
      return ending[bar - 102];
    }
  }
}

// ---- melodies: {row within the 4-bar phrase, note, length in rows} --------

struct MelodyNote { int row, note, length; };
const std::vector<MelodyNote> kMelodyA = {
    {0, 76, 12},  {12, 74, 4},  {16, 72, 8},  {24, 69, 8},
    {32, 72, 12}, {44, 69, 4},  {48, 72, 8},  {56, 77, 8},
    {64, 76, 12}, {76, 79, 4},  {80, 76, 8},  {88, 74, 4},  {92, 72, 4},
    {96, 74, 16}, {112, 71, 8}, {120, 67, 8}};
const std::vector<MelodyNote> kMelodyB = {
    {0, 81, 8},   {8, 79, 4},   {12, 77, 4},  {16, 76, 8},  {24, 72, 8},
    {32, 74, 8},  {40, 71, 4},  {44, 74, 4},  {48, 79, 16},
    {64, 76, 8},  {72, 79, 8},  {80, 83, 8},  {88, 79, 8},
    {96, 81, 24}, {120, 76, 8}};

// ---- the grid --------------------------------------------------------------

struct Grid {
  std::vector<std::array<ItCell, kItMaxChannels>> rows =
      std::vector<std::array<ItCell, kItMaxChannels>>(kOrders * kItRows);

  ItCell& at(int absRow, int channel) { return rows[absRow][channel]; }

  // A note with its sample and volume; later notes replace earlier cuts.
  void hit(int channel, int absRow, int sample, int note, int volume) {
    if (absRow < 0 || absRow >= static_cast<int>(rows.size())) return;
    ItCell& c = at(absRow, channel);
    c.note = note;
    c.sample = sample;
    c.volume = std::clamp(volume, 0, 64);
  }

  // A held note on a looped sample, cut after `length` rows unless another
  // note starts there.
  void held(int channel, int absRow, int sample, int note, int volume, int length) {
    hit(channel, absRow, sample, note, volume);
    int end = absRow + length;
    if (end < static_cast<int>(rows.size()) && at(end, channel).note < 0)
      at(end, channel).note = kItNoteCut;
  }

  void effect(int channel, int absRow, int command, int param) {
    ItCell& c = at(absRow, channel);
    c.command = command;
    c.param = param;
  }
};

constexpr int Abs(int order, int row) { return order * kItRows + row; }
constexpr int kVibrato = 'H' - 'A' + 1;

int Scaled(double level) { return static_cast<int>(std::lrint(std::clamp(level, 0.0, 64.0))); }

// ---- per-channel parts -------------------------------------------------------

// Pad level (0..64) at a row: swells, drops and fades of the whole piece.
double PadLevel(int order, int row) {
  double u = row / 64.0;
  switch (order) {
    case 0: return 44.0 * u * (2.0 - u);
    case 1: return 44.0 + 6.0 * u * u;
    case 3: return 44.0 + 6.0 * u * u;
    case 2: case 4: return 44.0 + 8.0 * std::exp(-row / 10.0);
    case 5: return 44.0 + 6.0 * u;
  }
  if (order <= 11) return 32.0;
  if (order <= 19) return (order == 15 && row >= 32) ? 0.0 : 28.0;
  if (order <= 22) return 40.0;
  if (order == 23) return 40.0 - 10.0 * u;
  if (order <= 33) return 30.0;
  if (order == 34) return row < 24 ? 30.0 : 30.0 - 14.0 * (row - 24) / 40.0;
  if (order == 35) return 16.0 + 24.0 * u;
  if (order <= 50) return 40.0 + 4.0 * std::sin((order - 35) * 0.9 + u * 2.0);
  // orders 51-52: fade to silence by the last row
  double left = 1.0 - ((order - 51) * 64 + row + 1) / 128.0;
  return 40.0 * left * left;
}

void WritePads(Grid& g) {
  const int pads[3] = {kChPad0, kChPad1, kChPad2};
  for (int bar = 0; bar < kOrders * 2; ++bar) {
    int order = bar / 2;
    Chord chord = ChordOf(bar);
    bool stutterBar = order == 15 && bar % 2 == 1;
    for (int v = 0; v < 3; ++v) {
      if (stutterBar) {
        g.at(bar * kBarRows, pads[v]).note = kItNoteCut;
        continue;
      }
      g.hit(pads[v], bar * kBarRows, kPad, chord.pad[v], 0);
    }
  }
  // Volume on every row shapes the pads; the first voice sits slightly lower.
  for (int order = 0; order < kOrders; ++order)
    for (int row = 0; row < kItRows; ++row)
      for (int v = 0; v < 3; ++v)
        g.at(Abs(order, row), pads[v]).volume = Scaled(PadLevel(order, row) * (v == 0 ? 0.85 : 1.0));
}

void WriteBass(Grid& g) {
  for (int bar = 0; bar < kOrders * 2; ++bar) {
    int order = bar / 2;
    int root = ChordOf(bar).root;
    int start = bar * kBarRows;
    if (order < 2) {
      continue;  // the intro opens without bass
    } else if (order <= 5) {
      g.held(kChBass, start, kBass, root, 38, 30);
    } else if (order == 6 || order == 7) {
      for (int beat = 0; beat < 4; ++beat) g.held(kChBass, start + beat * 8, kBass, root, 44, 6);
    } else if (order <= 11) {
      for (int beat = 0; beat < 4; ++beat) {
        g.held(kChBass, start + beat * 8 + 4, kBass, root, 46, 3);
        if (beat == 0) g.held(kChBass, start, kBass, root, 40, 3);
      }
    } else if ((order <= 19 && !(order == 15 && bar % 2 == 1)) || (order >= 24 && order <= 33)) {
      // rolling sixteenths between the kicks, octave jump on the off-beat
      for (int beat = 0; beat < 4; ++beat)
        for (int step : {2, 4, 6}) {
          int note = step == 4 ? root + 12 : root;
          g.held(kChBass, start + beat * 8 + step, kBass, note, step == 4 ? 48 : 40, 2);
        }
    } else if (order >= 20 && order <= 22) {
      g.held(kChBass, start, kBass, root, 36, 28);
    } else if (order == 23) {
      if (bar % 2 == 0) {
        g.held(kChBass, start, kBass, root, 36, 28);
      } else {
        for (int step = 0; step < 32; step += 4) g.held(kChBass, start + step, kBass, root, 30 + step / 2, 3);
      }
    } else if (order >= 39 && order <= 48) {
      g.held(kChBass, start, kBass, root, 38, 30);
    } else if (bar == 104) {  // the last note fades with the pads
      g.held(kChBass, start, kBass, root, 34, 63);
      for (int r = 1; r < 63; ++r) g.at(start + r, kChBass).volume = Scaled(34.0 * (63 - r) / 63.0);
    }
  }
}

void WriteDrums(Grid& g) {
  for (int order = 0; order < kOrders; ++order) {
    for (int row = 0; row < kItRows; ++row) {
      int a = Abs(order, row);
      int inBar = row % kBarRows;
      bool onBeat = row % kBeatRows == 0;
      bool stutter = order == 15 && row >= 32;
      // kick
      bool kick = false;
      if (order == 6 || order == 7) kick = inBar == 0 || inBar == 16;
      else if ((order >= 8 && order <= 19) || (order >= 24 && order <= 33)) kick = onBeat && !stutter;
      else if (order == 23) kick = row >= 32 && onBeat;
      if (kick) g.hit(kChKick, a, kKick, 60, 56);
      // snare: backbeat
      bool driving = (order >= 12 && order <= 19 && !stutter) || (order >= 24 && order <= 33);
      if ((order == 10 || order == 11 || driving) && (inBar == 8 || inBar == 24) &&
          !(order == 11 && row >= 48))
        g.hit(kChSnare, a, kSnare, 60, 52);
      if (driving && inBar == 30 && row == 62) g.hit(kChSnare, a, kSnare, 60, 20);  // ghost
      // hats
      if (order == 5 && row >= 32 && row % 4 == 0) g.hit(kChHat, a, kClosedHat, 60, 8 + (row - 32) / 2);
      if ((order >= 6 && order <= 9) && row % 8 == 4) g.hit(kChHat, a, kClosedHat, 60, 30);
      if (((order >= 10 && order <= 19 && !stutter) || (order >= 24 && order <= 33)) && row % 2 == 0) {
        bool offBeat = row % 8 == 4;
        bool open = offBeat && (order >= 16 && order != 19);
        g.hit(kChHat, a, open ? kOpenHat : kClosedHat, 60, offBeat ? (open ? 30 : 36) : (row % 4 ? 16 : 24));
      }
      if ((order == 22 || order == 23) && row % 8 == 4) g.hit(kChHat, a, kClosedHat, 60, 22);
      if (order >= 39 && order <= 46 && row % 8 == 4) g.hit(kChHat, a, kClosedHat, 60, 14);
    }
  }
  // snare rolls into the driving section and into the peak
  for (int row = 48; row < 64; ++row)
    if (row < 56 ? row % 2 == 0 : true) g.hit(kChSnare, Abs(11, row), kSnare, 60, 20 + (row - 48) * 2);
  for (int row = 32; row < 64; ++row)
    if (row < 56 ? row % 4 == 0 : true) g.hit(kChSnare, Abs(23, row), kSnare, 60, 14 + (row - 32));
  for (int order : {19, 27, 31})
    for (int row : {56, 58, 60, 61, 62, 63}) g.hit(kChSnare, Abs(order, row), kSnare, 60, 26 + (row - 56) * 3);
}

// A big accent: stab chord, impact, optional crash.
void Accent(Grid& g, int absRow, int level, bool crash) {
  Chord chord = ChordOf(absRow / kBarRows);
  const int stabs[3] = {kChStab0, kChStab1, kChStab2};
  for (int v = 0; v < 3; ++v) g.hit(stabs[v], absRow, kStab, chord.pad[v] + 12, level);
  g.hit(kChFx, absRow, kImpact, 60, level - 2);
  if (crash) g.hit(kChCrash, absRow, kCrash, 60, 44);
}

void WriteAccents(Grid& g) {
  // risers land on the logo events and the section starts
  for (int order : {1, 3, 5, 11, 23}) g.hit(kChFx, Abs(order, 0), kRiser, 60, order == 23 ? 40 : 34);
  for (int order : {2, 4}) {
    g.hit(kChFx, Abs(order, 0), kImpact, 60, 50);
    g.hit(kChCrash, Abs(order, 0), kCrash, 60, 40);
  }
  for (int order = 6; order <= 11; ++order) Accent(g, Abs(order, 0), 34 + (order - 6) * 2, true);
  Accent(g, Abs(12, 0), 40, true);
  // the stutter break: one hit on each picture cut
  int level = 30;
  for (int row : {32, 36, 40, 44, 48, 52, 54, 58, 60, 62}) {
    int a = Abs(15, row);
    Accent(g, a, level, false);  // no crash: the gaps between hits stay silent
    g.hit(kChKick, a, kKick, 60, 56);
    if (row >= 52) g.hit(kChSnare, a, kSnare, 60, level + 10);
    level += 2;
  }
  Accent(g, Abs(16, 0), 42, true);
  g.hit(kChCrash, Abs(20, 0), kCrash, 60, 30);
  Accent(g, Abs(24, 0), 44, true);
  for (int order = 28; order <= 31; ++order)
    for (int row = 0; row < 64; row += 8) Accent(g, Abs(order, row), row == 0 ? 42 : 34, row == 0);
  for (int order = 32; order <= 34; ++order)
    for (int row : {0, 12, 24, 32}) {
      if (order == 34 && row == 32) continue;
      Accent(g, Abs(order, row), 42, row == 0 || row == 32);
      g.hit(kChKick, Abs(order, row), kKick, 60, 56);
    }
  g.hit(kChCrash, Abs(35, 0), kCrash, 60, 18);
}

// The note `steps` scale degrees below `note` in A natural minor (the
// melodies use only scale notes).
int ScaleStepsBelow(int note, int steps) {
  static const bool inScale[12] = {1, 0, 1, 0, 1, 1, 0, 1, 0, 1, 0, 1};  // from C
  int n = note;
  for (int s = 0; s < steps; ++s) {
    --n;
    while (!inScale[n % 12]) --n;
  }
  return n;
}

enum class Second { kEcho, kHarmony };

// A melody phrase on the lead channel; the second lead channel either echoes
// it a dotted eighth later or sings a third below it.
void WriteMelody(Grid& g, int startBar, int transpose, int level, char phrase,
                 Second second = Second::kEcho) {
  const std::vector<MelodyNote>& melody = phrase == 'A' ? kMelodyA : kMelodyB;
  int base = startBar * kBarRows;
  for (const MelodyNote& n : melody) {
    int a = base + n.row;
    int note = n.note + transpose;
    g.held(kChLead, a, kLead, note, level, n.length - 1);
    if (second == Second::kEcho)
      g.held(kChEcho, a + 6, kLead, note, level * 2 / 5, n.length - 1);
    else
      g.held(kChEcho, a, kLead, ScaleStepsBelow(note, 2), level * 3 / 5, n.length - 1);
    for (int r = 4; r < n.length - 1; ++r) g.effect(kChLead, a + r, kVibrato, 0x42);
  }
}

void WriteLead(Grid& g) {
  for (int bar = 24; bar < 68; bar += 4) {  // orders 12-33
    int order = bar / 2;
    if (order >= 20 && order < 24) continue;
    WriteMelody(g, bar, 0, order >= 24 ? 40 : 36, PhraseOf(bar),
                order >= 28 ? Second::kHarmony : Second::kEcho);
  }
  WriteMelody(g, 40, -12, 34, 'B');  // breakdown, low and soft
  for (int bar = 78; bar < 94; bar += 4) WriteMelody(g, bar, -12, 34, PhraseOf(bar));  // outro
  // the stutter break silences the lead
  for (int ch : {kChLead, kChEcho})
    for (int row = 32; row < 64; ++row) {
      ItCell& c = g.at(Abs(15, row), ch);
      c = ItCell{};
      if (row == 32) c.note = kItNoteCut;
    }
}

void WriteArp(Grid& g) {
  const int pattern[8] = {0, 1, 2, 3, 2, 1, 2, 1};
  for (int order = 1; order < kOrders; ++order) {
    int step;
    double level;
    if (order <= 5) { step = 4; level = 24.0; }
    else if (order <= 11) { step = 2; level = 24.0; }
    else if (order <= 19) { step = 2; level = 20.0; }
    else if (order <= 23) { step = 2; level = 32.0; }
    else if (order <= 33) { step = 2; level = 22.0; }
    else if (order == 34) continue;
    else if (order >= 43 && order <= 46) { step = 2; level = 24.0; }  // the outro's gentle high point
    else { step = 4; level = 32.0; }
    for (int row = 0; row < kItRows; row += step) {
      if (order == 15 && row >= 32) break;
      int a = Abs(order, row);
      Chord chord = ChordOf(a / kBarRows);
      int tones[4] = {chord.pad[0] + 12, chord.pad[1] + 12, chord.pad[2] + 12, chord.pad[0] + 24};
      int idx = pattern[(row / step) % 8];
      double l = level;
      if (order == 1) l = 8.0 + 16.0 * row / 64.0;
      if (order >= 51) l = level * (1.0 - ((order - 51) * 64 + row) / 128.0);
      if (row % 8 == 0) l += 4;
      g.hit(kChArp, a, kPluck, tones[idx], Scaled(l));
    }
  }
}

}  // namespace

ItModule ComposeSong() {
  Grid g;
  WritePads(g);
  WriteBass(g);
  WriteDrums(g);
  WriteAccents(g);
  WriteLead(g);
  WriteArp(g);

  ItModule m;
  m.title = "qm7";
  m.initialSpeed = 3;
  m.initialTempo = 110;
  m.mixVolume = 64;
  m.channels = kChannelCount;
  const int pans[kChannelCount] = {32, 30, 42, 24, 32, 32, 14, 32, 50, 22, 32, 42, 28, 46, 18};
  for (int c = 0; c < kChannelCount; ++c) m.pan[c] = pans[c];
  m.samples = SynthesizeSamples();
  for (int order = 0; order < kOrders; ++order) {
    ItPattern p;
    for (int row = 0; row < kItRows; ++row) p.rows[row] = g.rows[Abs(order, row)];
    m.patterns.push_back(p);
    m.orders.push_back(order);
  }
  return m;
}
