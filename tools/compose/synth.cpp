// synth.cpp — additive tones with exactly periodic loops, filtered noise for
// the drums and effects. Everything is computed in double and rounded once.
#include "tools/compose/synth.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "kit/numbers.h"

namespace {

constexpr double kRate = 44100.0;
constexpr double kMiddleC = 261.6255653005986;

// xorshift32 with a fixed seed per instrument: reproducible white noise.
struct Noise {
  uint32_t state;
  explicit Noise(uint32_t seed) : state(seed) {}
  double next() {  // uniform in [-1, 1)
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    return static_cast<double>(state) / 2147483648.0 - 1.0;
  }
};

// One-pole low-pass, cutoff in Hz; also gives a high-pass as input - output.
struct OnePole {
  double y = 0;
  double step(double x, double cutoff, double rate = kRate) {
    double a = 1.0 - std::exp(-2.0 * kPiDouble * cutoff / rate);
    y += a * (x - y);
    return y;
  }
};

// Chamberlin state-variable filter: low-pass and band-pass with resonance.
struct StateVariable {
  double low = 0, band = 0;
  void step(double x, double cutoff, double damping, double rate = kRate) {
    double f = 2.0 * std::sin(kPiDouble * std::min(cutoff, rate / 6.0) / rate);
    low += f * band;
    double high = x - low - damping * band;
    band += f * high;
  }
};

ItSample Finish(const char* name, std::vector<double> wave, double peak, uint32_t c5Speed,
                bool looped = false, uint32_t loopBegin = 0, uint32_t loopEnd = 0) {
  double maxAbs = 1e-12;
  for (double v : wave) maxAbs = std::max(maxAbs, std::fabs(v));
  ItSample s;
  s.name = name;
  s.data.resize(wave.size());
  for (size_t i = 0; i < wave.size(); ++i)
    s.data[i] = static_cast<int16_t>(std::lrint(wave[i] / maxAbs * peak * 32767.0));
  s.c5Speed = c5Speed;
  s.looped = looped;
  s.loopBegin = loopBegin;
  s.loopEnd = loopEnd;
  return s;
}

// Rate at which a sample whose fundamental is `base` Hz plays middle C on note 60.
uint32_t TunedRate(double base) { return static_cast<uint32_t>(std::lrint(kRate * kMiddleC / base)); }

ItSample Kick() {
  const int n = static_cast<int>(0.45 * kRate);
  std::vector<double> w(n);
  double phase = 0;
  Noise noise(0x1234567u);
  OnePole click;
  for (int i = 0; i < n; ++i) {
    double t = i / kRate;
    double freq = 44.0 + 120.0 * std::exp(-t / 0.035);
    phase += 2.0 * kPiDouble * freq / kRate;
    double body = std::sin(phase) * std::exp(-t / 0.24);
    double tick = click.step(noise.next(), 3000.0) * std::exp(-t / 0.004);
    double fadeOut = std::min(1.0, (n - i) / (0.02 * kRate));
    w[i] = std::tanh(1.6 * (body + 0.5 * tick)) * fadeOut;
  }
  return Finish("kick", w, 0.97, 44100);
}

ItSample Snare() {
  const int n = static_cast<int>(0.32 * kRate);
  std::vector<double> w(n);
  Noise noise(0x2345678u);
  OnePole lp, hp;
  double p1 = 0, p2 = 0;
  for (int i = 0; i < n; ++i) {
    double t = i / kRate;
    p1 += 2.0 * kPiDouble * (190.0 + 60.0 * std::exp(-t / 0.01)) / kRate;
    p2 += 2.0 * kPiDouble * 335.0 / kRate;
    double tone = (0.7 * std::sin(p1) + 0.35 * std::sin(p2)) * std::exp(-t / 0.05);
    double x = lp.step(noise.next(), 7000.0);
    double bright = x - hp.step(x, 700.0);
    double rattle = bright * std::exp(-t / 0.11);
    double fadeOut = std::min(1.0, (n - i) / (0.02 * kRate));
    w[i] = (tone + 0.9 * rattle) * fadeOut;
  }
  return Finish("snare", w, 0.9, 44100);
}

ItSample Hat(const char* name, double decay, double seconds, uint32_t seed) {
  const int n = static_cast<int>(seconds * kRate);
  std::vector<double> w(n);
  Noise noise(seed);
  OnePole hp1, hp2;
  // A few inharmonic squares under the noise give the metallic ring.
  const double ratios[6] = {1.0, 1.342, 1.2312, 1.6532, 1.9523, 2.1523};
  for (int i = 0; i < n; ++i) {
    double t = i / kRate;
    double metal = 0;
    for (double r : ratios) metal += std::sin(2.0 * kPiDouble * 540.0 * r * t) > 0 ? 1.0 : -1.0;
    double x = 0.6 * noise.next() + 0.08 * metal;
    double h = x - hp1.step(x, 6000.0);
    h = h - hp2.step(h, 6000.0);
    double attack = std::min(1.0, t / 0.0015);
    double fadeOut = std::min(1.0, (n - i) / (0.01 * kRate));
    w[i] = h * attack * std::exp(-t / decay) * fadeOut;
  }
  return Finish(name, w, 0.85, 44100);
}

ItSample Crash() {
  const int n = static_cast<int>(2.4 * kRate);
  std::vector<double> w(n);
  Noise noise(0x3456789u);
  OnePole hp, lp;
  for (int i = 0; i < n; ++i) {
    double t = i / kRate;
    double x = lp.step(noise.next(), 9000.0);
    double h = x - hp.step(x, 2500.0);
    double env = 0.35 * std::exp(-t / 0.05) + 0.65 * std::exp(-t / 0.75);
    double fadeOut = std::min(1.0, (n - i) / (0.2 * kRate));
    w[i] = h * env * std::min(1.0, t / 0.002) * fadeOut;
  }
  return Finish("crash", w, 0.85, 44100);
}

// Filtered noise whose cutoff and level climb for exactly one pattern
// (64 rows at speed 3, tempo 110 = 4.3636 s) at 22050 Hz.
ItSample Riser() {
  constexpr double rate = 22050.0;
  const int n = static_cast<int>(64 * 3 * 2.5 / 110.0 * rate);
  std::vector<double> w(n);
  Noise noise(0x456789Au);
  StateVariable svf;
  for (int i = 0; i < n; ++i) {
    double u = static_cast<double>(i) / n;
    double cutoff = 250.0 * std::pow(28.0, u);
    svf.step(noise.next(), cutoff, 0.5, rate);
    double fadeIn = u * u * u;
    w[i] = svf.band * fadeIn * (0.4 + 0.6 * u);
  }
  return Finish("riser", w, 0.8, 22050);
}

// Deep boom with a noisy front for the big hits.
ItSample Impact() {
  const int n = static_cast<int>(1.6 * kRate);
  std::vector<double> w(n);
  Noise noise(0x56789ABu);
  OnePole lp;
  double phase = 0;
  for (int i = 0; i < n; ++i) {
    double t = i / kRate;
    phase += 2.0 * kPiDouble * (38.0 + 70.0 * std::exp(-t / 0.06)) / kRate;
    double boom = std::sin(phase) * std::exp(-t / 0.45);
    double burst = lp.step(noise.next(), 1800.0) * std::exp(-t / 0.09);
    double fadeOut = std::min(1.0, (n - i) / (0.3 * kRate));
    w[i] = std::tanh(1.3 * (boom + 1.2 * burst)) * fadeOut;
  }
  return Finish("impact", w, 0.95, 44100);
}

// Sum of harmonics of a fundamental with `cycles` periods per `loop` samples,
// amplitude per harmonic from `shape`; phases from a seeded generator. Every
// partial completes whole cycles over the loop, so the loop is seamless.
template <typename Shape>
void AddPartials(std::vector<double>& w, int cycles, int loop, int maxHarmonic, double gain,
                 uint32_t seed, Shape shape) {
  Noise phases(seed);
  for (int h = 1; h <= maxHarmonic; ++h) {
    double phase0 = kPiDouble * phases.next();
    double step = 2.0 * kPiDouble * static_cast<double>(cycles) * h / loop;
    for (size_t i = 0; i < w.size(); ++i) {
      double amp = shape(h, static_cast<int>(i));
      if (amp != 0.0) w[i] += gain * amp * std::sin(phase0 + step * static_cast<double>(i % loop));
    }
  }
}

// Warm bass: saw-like partials whose brightness closes after the attack and
// stays fixed in the looped tail.
ItSample Bass() {
  constexpr int loop = 400 * 8;   // 8 periods of 110.25 Hz
  constexpr int attack = 400 * 40;
  std::vector<double> w(attack + loop, 0.0);
  AddPartials(w, 8, loop, 30, 1.0, 0x6789ABCu, [&](int h, int i) {
    double t = std::min(i, attack) / kRate;
    double cutoff = 380.0 + 2200.0 * std::exp(-t / 0.06);
    double f = 110.25 * h;
    double amp = 1.0 / h / (1.0 + std::pow(f / cutoff, 4.0));
    if (h == 1) amp *= 1.3;
    return amp;
  });
  for (int i = 0; i < 64; ++i) w[i] *= i / 64.0;
  return Finish("bass", w, 0.95, TunedRate(110.25), true, attack, attack + loop);
}

// Detuned pairs of soft saws: 256, 255 and 257 cycles per 51200 samples
// (220.5 Hz and about 7 cents either side) for a slow, seamless chorus.
ItSample ChorusTone(const char* name, int baseCycles, int maxHarmonic, double cutoff, uint32_t seed,
                    double decaySeconds, double seconds) {
  constexpr int loop = 51200;
  const int n = decaySeconds > 0 ? static_cast<int>(seconds * kRate) : loop;
  std::vector<double> w(n, 0.0);
  const double base = baseCycles * kRate / loop;
  const int voices[3] = {baseCycles, baseCycles - 1, baseCycles + 1};
  const double gains[3] = {1.0, 0.8, 0.8};
  for (int v = 0; v < 3; ++v) {
    AddPartials(w, voices[v], loop, maxHarmonic, gains[v], seed + 977u * v, [&](int h, int) {
      double f = base * h;
      return 1.0 / h / (1.0 + std::pow(f / cutoff, 2.0));
    });
  }
  if (decaySeconds > 0) {
    for (int i = 0; i < n; ++i) {
      double t = i / kRate;
      double fadeOut = std::min(1.0, (n - i) / (0.05 * kRate));
      w[i] *= std::min(1.0, t / 0.004) * std::exp(-t / decaySeconds) * fadeOut;
    }
    return Finish(name, w, 0.9, TunedRate(base));
  }
  return Finish(name, w, 0.9, TunedRate(base), true, 0, loop);
}

// Lead: hollow square-ish tone (odd harmonics strong, a little even) at 441 Hz,
// with a quieter saw 13.5 cents above for width.
ItSample Lead() {
  constexpr int loop = 100 * 128;  // 128 periods of 441 Hz
  std::vector<double> w(loop, 0.0);
  AddPartials(w, 128, loop, 14, 1.0, 0x789ABCDu, [](int h, int) {
    double amp = (h % 2 ? 1.0 : 0.35) / h;
    return amp / (1.0 + std::pow(441.0 * h / 3500.0, 2.0));
  });
  AddPartials(w, 129, loop, 8, 0.45, 0x89ABCDEu, [](int h, int) { return 1.0 / h; });
  return Finish("lead", w, 0.9, TunedRate(441.0), true, 0, loop);
}

// Plucked string (Karplus-Strong) of 100 samples per period: 441 Hz.
ItSample Pluck() {
  constexpr int period = 100;
  const int n = static_cast<int>(0.9 * kRate);
  std::vector<double> w(n);
  std::vector<double> line(period);
  Noise noise(0x9ABCDEFu);
  OnePole soften;
  for (double& v : line) v = soften.step(noise.next(), 5000.0);
  for (int i = 0; i < n; ++i) {
    int k = i % period;
    double out = line[k];
    double next = line[(k + 1) % period];
    line[k] = 0.996 * 0.5 * (out + next);
    double fadeOut = std::min(1.0, (n - i) / (0.05 * kRate));
    w[i] = out * fadeOut;
  }
  // Averaging two neighbours delays the loop by half a sample: 100.5 per period.
  return Finish("pluck", w, 0.9, TunedRate(kRate / (period + 0.5)));
}

}  // namespace

std::vector<ItSample> SynthesizeSamples() {
  std::vector<ItSample> s(kSampleCount);
  s[kKick - 1] = Kick();
  s[kSnare - 1] = Snare();
  s[kClosedHat - 1] = Hat("closed hat", 0.035, 0.12, 0xABCDEF1u);
  s[kOpenHat - 1] = Hat("open hat", 0.22, 0.5, 0xBCDEF12u);
  s[kCrash - 1] = Crash();
  s[kRiser - 1] = Riser();
  s[kImpact - 1] = Impact();
  s[kBass - 1] = Bass();
  s[kPad - 1] = ChorusTone("pad", 256, 30, 1400.0, 0xCDEF123u, 0.0, 0.0);
  s[kStab - 1] = ChorusTone("stab", 256, 40, 3200.0, 0xDEF1234u, 0.22, 0.7);
  s[kLead - 1] = Lead();
  s[kPluck - 1] = Pluck();
  return s;
}
