// The small signal toolkit behind the generated sounds and music: a seeded
// random source, oscillators, envelopes, filters, a reverb, loudness
// measurement and mastering, WAV reading, resampling and Ogg Vorbis writing.
// Everything works at 44.1 kHz in floats (full scale ±1).
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

namespace audiogen {

constexpr int kRate = 44100;
constexpr float kPi = 3.14159265358979f;
constexpr float kTwoPi = 2 * kPi;

using Mono = std::vector<float>;
struct Stereo {
  Mono L, R;
  void Resize(std::size_t Frames) { L.resize(Frames), R.resize(Frames); }
  std::size_t Frames() const { return L.size(); }
};

inline std::size_t Frames(double Seconds) { return static_cast<std::size_t>(Seconds * kRate + 0.5); }
inline float DbToGain(float Db) { return std::pow(10.0f, Db / 20); }
inline float GainToDb(float Gain) { return 20 * std::log10(std::max(Gain, 1e-9f)); }
inline float MidiToHz(float Note) { return 440.0f * std::pow(2.0f, (Note - 69) / 12); }

// SplitMix64: small, fast and the same on every platform.
class TRng {
 public:
  explicit TRng(std::uint64_t Seed) : State_(Seed) {}
  std::uint64_t Next() {
    std::uint64_t z = (State_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  float Uniform() { return static_cast<float>(Next() >> 40) / static_cast<float>(1 << 24); }  // 0..1
  float Range(float A, float B) { return A + (B - A) * Uniform(); }
  float Noise() { return 2 * Uniform() - 1; }  // white, -1..1
  int Int(int N) { return N <= 0 ? 0 : static_cast<int>(Next() % static_cast<std::uint64_t>(N)); }
  bool Chance(float P) { return Uniform() < P; }

 private:
  std::uint64_t State_;
};

// Band-limited-enough oscillators for a phase in cycles (0..1).
// Table sine with linear interpolation (error < 3e-7, far below 16-bit):
// the synthesiser's most frequent call.
constexpr int kSineSize = 4096;
const std::vector<float>& SineTable();
inline const std::vector<float>& kSine = SineTable();
inline float Sine(double Phase) {
  long long whole = static_cast<long long>(Phase);
  if (Phase < static_cast<double>(whole)) whole--;
  const double p = (Phase - static_cast<double>(whole)) * kSineSize;
  const int i = static_cast<int>(p);
  const float f = static_cast<float>(p - i);
  const float* t = kSine.data() + i;
  return t[0] + f * (t[1] - t[0]);
}
float PolyBlepSaw(double Phase, double Increment);
float PolyBlepSquare(double Phase, double Increment, double Width = 0.5);
inline float Triangle(double Phase) {
  const double p = Phase - std::floor(Phase);
  return static_cast<float>(p < 0.5 ? 4 * p - 1 : 3 - 4 * p);
}

// Attack-decay-sustain-release for a note held Hold seconds; t in seconds.
float Adsr(float T, float Attack, float Decay, float Sustain, float Release, float Hold);
// Exponential decay with a short linear attack (plucks, bells, drums).
inline float Perc(float T, float Attack, float Decay) {
  if (T < 0) return 0;
  if (T < Attack) return T / Attack;
  return std::exp(-(T - Attack) / Decay);
}

// Topology-preserving state-variable filter: cutoff may change every sample.
class TSvf {
 public:
  void Process(float X, float CutoffHz, float Q);  // then read Low, Band, High
  float Low = 0, Band = 0, High = 0;

 private:
  float Ic1_ = 0, Ic2_ = 0;
  float Cutoff_ = -1, Q_ = -1, K_ = 0, A1_ = 0, A2_ = 0, A3_ = 0;
};

// One-pole smoothing low-pass / DC-blocking high-pass.
class TOnePole {
 public:
  explicit TOnePole(float CutoffHz = 1000) { SetCutoff(CutoffHz); }
  void SetCutoff(float Hz) { A_ = 1 - std::exp(-kTwoPi * Hz / kRate); }
  float Low(float X) { return Z_ += A_ * (X - Z_); }
  float High(float X) { return X - Low(X); }

 private:
  float A_ = 0, Z_ = 0;
};

// A stereo room: parallel combs into series all-passes per side (Schroeder).
class TReverb {
 public:
  TReverb(float RoomSize, float Damping, float Width = 1);
  void Process(float InL, float InR, float& OutL, float& OutR);

 private:
  struct TComb {
    std::vector<float> Buf;
    std::size_t Pos = 0;
    float Store = 0;
  };
  struct TAllPass {
    std::vector<float> Buf;
    std::size_t Pos = 0;
  };
  std::vector<TComb> CombL_, CombR_;
  std::vector<TAllPass> AllL_, AllR_;
  float Feedback_, Damp_, Width_;
};

// A tempo-free stereo echo (ping-pong), Seconds of delay.
class TEcho {
 public:
  TEcho(float Seconds, float Feedback, float Tone);
  void Process(float In, float& OutL, float& OutR);

 private:
  std::vector<float> L_, R_;
  std::size_t Pos_ = 0;
  float Feedback_;
  TOnePole ToneL_, ToneR_;
};

float Rms(const Mono& X);
float Peak(const Mono& X);
float RmsStereo(const Stereo& X);
float PeakStereo(const Stereo& X);

void FadeIn(Mono& X, float Seconds);   // raised-cosine ramps: no clicks
void FadeOut(Mono& X, float Seconds);
void RemoveDc(Mono& X);
// Cuts leading and trailing stretches quieter than Threshold (keeps Pad seconds).
void Trim(Mono& X, float Threshold, float Pad);

// Scales to the target RMS, unless that would push the peak over PeakDb, in
// which case the peak sets the gain.
void Normalise(Mono& X, float RmsDb, float PeakDb);
// Soft-knee peak limiter with 5 ms look-ahead: keeps every sample under CeilingDb.
void Limit(Stereo& X, float CeilingDb);
void Limit(Mono& X, float CeilingDb);

Mono Resample(const Mono& X, int FromRate, int ToRate);  // windowed sinc
bool ReadWav(const std::string& Path, Mono& Out, int& Rate);  // 16-bit PCM, mixed to mono

// Ogg Vorbis, quality -0.1..1. Serial makes the output reproducible.
bool WriteOgg(const std::string& Path, const std::vector<const Mono*>& Channels, float Quality,
              int Serial, std::string& Error);

}  // namespace audiogen
