// The game's sound effects, each built from a few synthesised layers (bells,
// plucks, glides, filtered noise, booms) and mastered to one loudness.
// Pitches keep to C major so that effects played together never clash.
#include <functional>

#include "audio_parts.h"

namespace audiogen {

namespace {

// Note numbers used by the recipes (MIDI: 60 = middle C).
constexpr float C4 = 60, D4 = 62, E4 = 64, F4 = 65, G4 = 67, A4 = 69, B4 = 71;
constexpr float C5 = 72, D5 = 74, E5 = 76, G5 = 79, A5 = 81, B5 = 83, C6 = 84;

// Adds Fn(t, i) for t in [Start, Start + Length) seconds, growing the buffer.
void AddSpan(Mono& Out, float Start, float Length, const std::function<float(float)>& Fn) {
  const std::size_t from = Frames(Start), n = Frames(Length);
  if (Out.size() < from + n) Out.resize(from + n, 0);
  for (std::size_t i = 0; i < n; i++) Out[from + i] += Fn(static_cast<float>(i) / kRate);
}

// Glassy two-operator FM bell with an inharmonic upper partial.
void Bell(Mono& Out, float Start, float Note, float Decay, float Gain, float Bright = 1) {
  const float hz = MidiToHz(Note);
  double car = 0, mod = 0, part = 0;
  AddSpan(Out, Start, Decay * 5, [&](float t) {
    const float index = Bright * 2.5f * std::exp(-t / (Decay * 0.3f));
    const float m = Sine(mod) * index;
    const float v = Sine(car + m / kTwoPi) + 0.25f * Sine(part) * std::exp(-t / (Decay * 0.4f));
    car += hz / kRate;
    mod += hz * 2.0 / kRate;
    part += hz * 2.76 / kRate;
    return Gain * v * Perc(t, 0.002f, Decay);
  });
}

// Plucked string: a saw through a low-pass that closes as the note decays.
void Pluck(Mono& Out, float Start, float Note, float Decay, float Gain, float Brightness = 4000) {
  const float hz = MidiToHz(Note);
  double phase = 0;
  TSvf f;
  AddSpan(Out, Start, Decay * 5, [&](float t) {
    const float env = Perc(t, 0.003f, Decay);
    f.Process(PolyBlepSaw(phase, hz / kRate), 200 + Brightness * env * env, 0.9f);
    phase += hz / kRate;
    return Gain * env * f.Low;
  });
}

// A tone gliding exponentially from one pitch to another.
enum class TWave { Sine, Triangle, Square, Saw };
void Glide(Mono& Out, float Start, float Length, float Hz0, float Hz1, TWave Wave, float Gain,
           float Attack = 0.004f, float Release = 0.03f) {
  double phase = 0;
  AddSpan(Out, Start, Length, [&](float t) {
    const float hz = Hz0 * std::pow(Hz1 / Hz0, t / Length);
    const double inc = hz / kRate;
    float v = 0;
    switch (Wave) {
      case TWave::Sine: v = Sine(phase); break;
      case TWave::Triangle: v = Triangle(phase); break;
      case TWave::Square: v = 0.6f * PolyBlepSquare(phase, inc); break;
      case TWave::Saw: v = 0.6f * PolyBlepSaw(phase, inc); break;
    }
    phase += inc;
    const float env = std::min({1.0f, t / Attack, (Length - t) / Release});
    return Gain * v * std::max(env, 0.0f);
  });
}

// Band-passed noise whose centre sweeps exponentially; Shape gives the envelope.
void Swish(Mono& Out, TRng& Rng, float Start, float Length, float Hz0, float Hz1, float Q,
           float Gain, const std::function<float(float)>& Shape) {
  TSvf f;
  AddSpan(Out, Start, Length, [&](float t) {
    f.Process(Rng.Noise(), Hz0 * std::pow(Hz1 / Hz0, t / Length), Q);
    return Gain * f.Band * Shape(t / Length);
  });
}

// A sine with a falling pitch: kicks, thuds and the body of explosions.
void Boom(Mono& Out, float Start, float Hz0, float Hz1, float Decay, float Gain) {
  double phase = 0;
  AddSpan(Out, Start, Decay * 6, [&](float t) {
    const float hz = Hz1 + (Hz0 - Hz1) * std::exp(-t / (Decay * 0.25f));
    phase += hz / kRate;
    return Gain * Sine(phase) * Perc(t, 0.002f, Decay);
  });
}

// A short noise click (the tick of a key or a landing).
void Click(Mono& Out, TRng& Rng, float Start, float Decay, float CutoffHz, float Gain) {
  TSvf f;
  AddSpan(Out, Start, Decay * 6, [&](float t) {
    f.Process(Rng.Noise(), CutoffHz, 0.7f);
    return Gain * f.Band * Perc(t, 0.0005f, Decay);
  });
}

// A slowly opening saw chord: the warm bed under fanfares.
void Pad(Mono& Out, float Start, float Length, std::initializer_list<float> Notes, float Gain) {
  std::vector<double> phases(Notes.size() * 2, 0);
  TSvf f;
  AddSpan(Out, Start, Length, [&](float t) {
    float v = 0;
    std::size_t k = 0;
    for (float note : Notes) {
      const float hz = MidiToHz(note);
      for (float detune : {0.997f, 1.003f}) {
        v += PolyBlepSaw(phases[k], hz * detune / kRate);
        phases[k++] += hz * detune / kRate;
      }
    }
    const float env = Adsr(t, Length * 0.3f, 0.1f, 0.8f, Length * 0.4f, Length * 0.6f);
    f.Process(v, 500 + 2500 * env, 0.7f);
    return Gain * f.Low * env / static_cast<float>(Notes.size());
  });
}

// A small room around dry effects; Wet is the reverb's share.
void Room(Mono& X, float Wet, float Size = 0.5f, float Tail = 0.6f) {
  TReverb reverb(Size, 0.5f, 0);
  X.resize(X.size() + Frames(Tail), 0);
  for (float& v : X) {
    float l, r;
    reverb.Process(v, v, l, r);
    v += Wet * 3 * l;
  }
}

Mono Effect(int Number, TRng& Rng) {
  Mono o;
  switch (Number) {
    case 0:  // NewLevel: a rising C major arpeggio over a swelling chord
      for (int i = 0; i < 4; i++) Bell(o, 0.09f * i, std::array{C5, E5, G5, C6}[i], 0.35f, 0.5f);
      Pad(o, 0.05f, 1.1f, {C4, E4, G4, C5}, 0.5f);
      Bell(o, 0.36f, C6 + 7, 0.5f, 0.25f, 0.6f);
      Room(o, 0.25f);
      break;
    case 1:  // BonusLevel: a quick pentatonic glissando into a shimmering chord
      for (int i = 0; i < 12; i++) {
        const float steps[] = {0, 2, 4, 7, 9};
        Bell(o, 0.04f * i, C5 + 12 * (i / 5) + steps[i % 5], 0.25f, 0.35f, 1.3f);
      }
      for (float n : {C5, E5, G5, B5, D5 + 12}) {
        double ph = 0;
        const float hz = MidiToHz(n);
        AddSpan(o, 0.5f, 1.1f, [&](float t) {
          ph += hz / kRate;
          return 0.12f * Sine(ph) * (0.7f + 0.3f * Sine(t * 7)) * Adsr(t, 0.05f, 0.2f, 0.7f, 0.6f, 0.5f);
        });
      }
      Room(o, 0.35f, 0.7f, 0.8f);
      break;
    case 2:  // NewTurn: two soft plucks as the new cubes drop in
      Pluck(o, 0, G4, 0.08f, 0.6f, 3000);
      Pluck(o, 0.07f, C5, 0.1f, 0.6f, 3000);
      Boom(o, 0, 220, 140, 0.04f, 0.3f);
      Room(o, 0.2f, 0.3f, 0.3f);
      break;
    case 3:  // FlyingBy: air rushing past, rising then falling, with a Doppler hum
      Swish(o, Rng, 0, 1.3f, 350, 900, 1.2f, 1.0f, [](float x) { return std::sin(kPi * x) * std::sin(kPi * x); });
      Swish(o, Rng, 0, 1.3f, 2500, 1200, 2.0f, 0.4f, [](float x) { return std::pow(std::sin(kPi * x), 3.0f); });
      Glide(o, 0.2f, 0.9f, 190, 120, TWave::Triangle, 0.12f, 0.3f, 0.4f);
      break;
    case 4:  // BonusLevelDone: a fanfare of brassy triplets landing on a chord
      for (int i = 0; i < 3; i++) Pluck(o, 0.11f * i, std::array{G4, C5, E5}[i], 0.15f, 0.45f, 5000);
      Pluck(o, 0.33f, G5, 0.3f, 0.45f, 6000);
      Pad(o, 0.33f, 1.5f, {C4, G4, C5, E5, G5}, 0.8f);
      Bell(o, 0.35f, C6, 0.6f, 0.3f);
      Bell(o, 0.55f, G5 + 12, 0.5f, 0.15f);
      Room(o, 0.3f, 0.6f, 0.8f);
      break;
    case 5:  // SelectCube: a bright rising blip
      Glide(o, 0, 0.09f, 620, 940, TWave::Triangle, 0.6f, 0.002f, 0.05f);
      Click(o, Rng, 0, 0.004f, 3000, 0.4f);
      Room(o, 0.1f, 0.2f, 0.15f);
      break;
    case 6:  // MoveCube: a soft slide across the board
      Swish(o, Rng, 0, 0.32f, 700, 2200, 1.5f, 0.9f, [](float x) { return std::sin(kPi * x); });
      Glide(o, 0, 0.3f, MidiToHz(G4), MidiToHz(C5), TWave::Sine, 0.12f, 0.05f, 0.15f);
      break;
    case 7:  // MoveBomb: a heavy rolling rumble with a crackling fuse
      Swish(o, Rng, 0, 0.55f, 160, 260, 0.8f, 1.0f, [](float x) {
        return std::sin(kPi * x) * (0.6f + 0.4f * std::sin(kTwoPi * 16 * x * 0.55f));
      });
      Glide(o, 0, 0.55f, 70, 62, TWave::Sine, 0.35f, 0.05f, 0.2f);
      for (int i = 0; i < 14; i++) Click(o, Rng, Rng.Range(0, 0.5f), 0.002f, 5000, Rng.Range(0.15f, 0.35f));
      break;
    case 8:  // Moved: the cube settles with a soft wooden knock
      Boom(o, 0, 240, 120, 0.05f, 0.8f);
      Click(o, Rng, 0, 0.006f, 1800, 0.6f);
      Room(o, 0.12f, 0.2f, 0.2f);
      break;
    case 9:  // FigureDone: a square vanishes in a sparkling chime
      for (int i = 0; i < 3; i++) Bell(o, 0.03f * i, std::array{C6, E5 + 12, G5 + 12}[i], 0.3f, 0.35f, 1.2f);
      Swish(o, Rng, 0.02f, 0.6f, 7000, 9000, 1.0f, 0.25f, [](float x) { return std::exp(-5 * x); });
      Room(o, 0.3f, 0.5f, 0.5f);
      break;
    case 15:  // ExplodeBomb: a deep boom under a burst that darkens, then debris
      Boom(o, 0, 110, 38, 0.35f, 1.0f);
      {
        TSvf f;
        AddSpan(o, 0, 1.2f, [&](float t) {
          f.Process(Rng.Noise(), 300 + 6000 * std::exp(-t / 0.12f), 0.6f);
          return 0.9f * f.Low * Perc(t, 0.003f, 0.25f);
        });
      }
      for (int i = 0; i < 25; i++) Click(o, Rng, Rng.Range(0.1f, 0.9f), 0.003f, Rng.Range(1500, 5000), Rng.Range(0.05f, 0.2f));
      Room(o, 0.3f, 0.7f, 0.7f);
      break;
    case 16:  // Colorize: a magic whole-tone shimmer sweeping upwards
      for (int i = 0; i < 8; i++) {
        double ph = 0;
        const float hz = MidiToHz(C5 + 2 * i);
        AddSpan(o, 0.05f * i, 0.5f, [&](float t) {
          ph += hz * (1 + 0.01f * Sine(t * 6)) / kRate;
          return 0.2f * Sine(ph) * Perc(t, 0.01f, 0.15f);
        });
      }
      Swish(o, Rng, 0, 0.8f, 1500, 8000, 3.0f, 0.3f, [](float x) { return std::sin(kPi * x); });
      Room(o, 0.35f, 0.6f, 0.6f);
      break;
    case 17:  // Shot: a laser zap that falls away, with a short echo
      Glide(o, 0, 0.28f, 1800, 180, TWave::Square, 0.7f, 0.001f, 0.12f);
      Glide(o, 0.12f, 0.22f, 1200, 150, TWave::Square, 0.25f, 0.001f, 0.1f);
      Click(o, Rng, 0, 0.003f, 4000, 0.5f);
      Room(o, 0.15f, 0.3f, 0.3f);
      break;
    case 18:  // ShowBonus: "ta-da" — two bright notes and a chord
      Bell(o, 0, G5, 0.18f, 0.45f, 1.3f);
      Bell(o, 0.12f, C6, 0.4f, 0.5f, 1.3f);
      Pad(o, 0.12f, 0.8f, {C5, E5, G5, C6}, 0.35f);
      Room(o, 0.3f, 0.5f, 0.5f);
      break;
    case 19: {  // GameOver: four falling, sighing notes and a low minor chord
      const float notes[] = {G4, F4 + 1, F4, E4};
      for (int i = 0; i < 4; i++) {
        const float length = i < 3 ? 0.42f : 1.4f;
        double ph = 0;
        TSvf f;
        const float hz = MidiToHz(notes[i]);
        AddSpan(o, 0.45f * i, length, [&](float t) {
          const float vib = i < 3 ? 0 : 0.012f * Sine(t * 5) * std::min(1.0f, t * 2);
          ph += hz * (1 + vib) / kRate;
          const float env = Adsr(t, 0.03f, 0.1f, 0.8f, 0.15f, length - 0.15f);
          f.Process(PolyBlepSaw(ph, hz / kRate), 400 + 1600 * env * (1 - 0.5f * t / length), 1.2f);
          return 0.5f * f.Low * env;
        });
      }
      Pad(o, 1.35f, 1.5f, {C4 - 12, C4, E4 - 1, G4}, 0.4f);
      Room(o, 0.3f, 0.6f, 0.8f);
      break;
    }
    case 20:  // MenuMove: a tiny tick
      Glide(o, 0, 0.035f, 1400, 1300, TWave::Sine, 0.6f, 0.001f, 0.03f);
      Click(o, Rng, 0, 0.002f, 4000, 0.2f);
      break;
    case 21:  // MenuEnter: two notes up
      Glide(o, 0, 0.08f, MidiToHz(E5), MidiToHz(E5), TWave::Triangle, 0.5f, 0.002f, 0.04f);
      Glide(o, 0.07f, 0.13f, MidiToHz(B5), MidiToHz(B5), TWave::Triangle, 0.5f, 0.002f, 0.1f);
      Room(o, 0.12f, 0.3f, 0.2f);
      break;
    case 22:  // MenuEsc: the same two notes down, softer
      Glide(o, 0, 0.08f, MidiToHz(B5), MidiToHz(B5), TWave::Triangle, 0.4f, 0.002f, 0.04f);
      Glide(o, 0.07f, 0.13f, MidiToHz(E5), MidiToHz(E5), TWave::Triangle, 0.4f, 0.002f, 0.1f);
      Room(o, 0.12f, 0.3f, 0.2f);
      break;
    case 23:  // MenuKey: a typewriter key
      Click(o, Rng, 0, 0.006f, 2500, 1.0f);
      Glide(o, 0, 0.02f, 2600, 2400, TWave::Sine, 0.2f, 0.001f, 0.015f);
      break;
    case 24:  // Selected: a soft pulsing hum; every part repeats within one second
      AddSpan(o, 0, 1.0f, [](float t) {
        const float pulse = 0.75f + 0.25f * std::cos(kTwoPi * 2 * t);
        const float shimmer = 0.5f + 0.5f * std::cos(kTwoPi * 4 * t);
        return pulse * (0.5f * std::sin(kTwoPi * 262 * t) + 0.25f * std::sin(kTwoPi * 393 * t) +
                        0.12f * std::sin(kTwoPi * 524 * t)) +
               0.08f * shimmer * std::sin(kTwoPi * 1048 * t);
      });
      break;
    case 25:  // TimeUp: an alarm of four falling double beeps and a low bell
      for (int i = 0; i < 4; i++) {
        Glide(o, 0.3f * i, 0.1f, 880, 880, TWave::Square, 0.4f, 0.003f, 0.02f);
        Glide(o, 0.3f * i + 0.12f, 0.1f, 660, 660, TWave::Square, 0.4f, 0.003f, 0.02f);
      }
      Bell(o, 1.2f, C4, 0.6f, 0.6f, 0.8f);
      Room(o, 0.15f, 0.4f, 0.5f);
      break;
    case 26:  // Message: a gentle two-note call
      Bell(o, 0, E5, 0.25f, 0.45f, 0.8f);
      Bell(o, 0.14f, A5, 0.4f, 0.45f, 0.8f);
      Room(o, 0.25f, 0.4f, 0.4f);
      break;
    default:
      break;
  }
  return o;
}

// Target loudness per effect (momentary RMS, dBFS): quiet UI ticks and the
// endless selection hum sit lower than the events of play.
float TargetDb(int Number) {
  switch (Number) {
    case 20: return -21;
    case 23: return -23;
    case 21: case 22: case 5: case 8: return -19;
    case 24: return -25;
    case 3: case 6: return -19;
    default: return -17;
  }
}

}  // namespace

float MomentaryRms(const Mono& X) {
  const std::size_t w = Frames(0.2), step = Frames(0.01);
  if (X.size() <= w) return Rms(X) * std::sqrt(static_cast<float>(X.size()) / w);
  float best = 0;
  for (std::size_t at = 0; at + w <= X.size(); at += step) {
    double sum = 0;
    for (std::size_t i = at; i < at + w; i++) sum += static_cast<double>(X[i]) * X[i];
    best = std::max(best, static_cast<float>(std::sqrt(sum / w)));
  }
  return best;
}

// Brings an effect to its loudness: gain to the target, at most 3 dB of it
// taken by the limiter. Peaks stay under -3 dBFS: the game often plays
// several effects at once, and their sum must not clip.
void Master(Mono& X, float TargetDb) {
  constexpr float kCeilingDb = -3;
  const float loud = MomentaryRms(X), peak = Peak(X);
  if (loud <= 0) return;
  const float gain = std::min(DbToGain(TargetDb) / loud, DbToGain(kCeilingDb + 3) / peak);
  for (float& v : X) v *= gain;
  Limit(X, kCeilingDb);
}

Mono RenderEffect(int Number, TRng& Rng) {
  Mono o = Effect(Number, Rng);
  if (Number == kSelectedLoop) {  // already seamless: no fades, no DC filter transient
    Master(o, TargetDb(Number));
    return o;
  }
  RemoveDc(o);
  Trim(o, 1e-3f * Peak(o), 0.01f);  // tails end 60 dB down
  FadeIn(o, 0.002f);
  FadeOut(o, std::min(0.05f, o.size() / 4.0f / kRate));
  Master(o, TargetDb(Number));
  return o;
}

}  // namespace audiogen
