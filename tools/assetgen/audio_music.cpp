// The four music tracks: a small composer writes a score (chord progressions
// in sections, a melody grown from a two-bar motif that follows the chords, a
// bass line, comping, drums), and a small synthesiser plays it.
//
// Menu tracks have an intro and an ending, since they are played once and
// then the other. Game themes loop: whatever rings past the loop's end (pad
// releases, reverb, echoes) is folded back onto its start, so the repeat has
// no gap and no seam.
#include <functional>
#include <map>

#include "audio_parts.h"

namespace audiogen {

namespace {

// ---------------------------------------------------------------- the score

enum class TInst { Lead, Keys, Pluck, Arp, Pad, Bass, Kick, Snare, Clap, Hat, OpenHat, Shaker };

struct TEvent {
  TInst Inst;
  double Beat;    // from the track's start, in beats
  double Length;  // beats
  int Pitch;      // MIDI note (drums ignore it)
  float Velocity; // 0..1
};

enum class TLeadSound { Flute, Bell, Pulse, Saw };
enum class TGroove { Soft, Gentle, Pop, Drive };

struct TStyle {
  float Bpm;
  int Key;                          // MIDI note of the tonic, octave 4
  std::array<int, 7> Scale;         // semitones of the seven degrees
  std::array<int, 4> ProgA, ProgB;  // one chord per bar: scale degree of its root
  bool Sevenths;
  TLeadSound Lead;
  TGroove Groove;
  bool Loops;
  std::string Form;  // one letter per 4-bar phrase: I intro, A, B, a (varied A), C breakdown, b (lifted B), O outro
};

constexpr std::array<int, 7> kMajor = {0, 2, 4, 5, 7, 9, 11};
constexpr std::array<int, 7> kMinor = {0, 2, 3, 5, 7, 8, 10};
constexpr std::array<int, 7> kDorian = {0, 2, 3, 5, 7, 9, 10};

TStyle StyleOf(int Track) {
  switch (Track) {
    case 0:  // menu1: calm and inviting, C major, electric piano and flute
      return {88, 60, kMajor, {0, 5, 3, 4}, {3, 2, 5, 4}, true, TLeadSound::Flute, TGroove::Soft, false, "IAABBaaO"};
    case 1:  // menu2: dreamy, A dorian, plucked arpeggios and a bell melody
      return {80, 57, kDorian, {0, 5, 2, 6}, {3, 0, 5, 4}, true, TLeadSound::Bell, TGroove::Gentle, false, "IAABBaO"};
    case 2:  // theme1 (points): bright, F major, a pop groove and a pulse lead
      return {110, 65, kMajor, {0, 4, 5, 3}, {5, 3, 1, 4}, false, TLeadSound::Pulse, TGroove::Pop, true, "AABBaaCCbb"};
    default:  // theme2 (against the clock): driving, E minor, four on the floor
      return {124, 64, kMinor, {0, 5, 6, 0}, {3, 5, 4, 6}, false, TLeadSound::Saw, TGroove::Drive, true, "AABBaaCCbbbb"};
  }
}

class TComposer {
 public:
  TComposer(const TStyle& Style, TRng& Rng) : S_(Style), Rng_(Rng) {}

  std::vector<TEvent> Compose() {
    MotifA_ = NewMotif();
    MotifB_ = NewMotif();
    MotifC_ = NewMotif();
    double beat = 0;
    for (std::size_t p = 0; p < S_.Form.size(); p++) {
      const char part = S_.Form[p];
      const char before = p > 0 ? S_.Form[p - 1] : (S_.Loops ? S_.Form.back() : ' ');
      const char next = p + 1 < S_.Form.size() ? S_.Form[p + 1] : (S_.Loops ? S_.Form[0] : ' ');
      Phrase(part, beat, part != before, part != next);
      beat += 16;
    }
    if (!S_.Loops) FinalChord(beat);
    return std::move(Events_);
  }

  double Beats() const { return 16.0 * S_.Form.size() + (S_.Loops ? 0 : 4); }

 private:
  struct TMotif {
    std::vector<std::pair<int, int>> Rhythm;  // (start, length) in eighths over two bars
    std::vector<int> Contour;                 // scale steps from the first note
  };

  int Midi(int Degree) const {
    const int octave = Degree >= 0 ? Degree / 7 : -((-Degree + 6) / 7);
    return S_.Key + 12 * octave + S_.Scale[static_cast<std::size_t>(Degree - 7 * octave)];
  }
  // Chord tones of a root degree, as degrees (triad, or seventh chord).
  std::vector<int> ChordDegrees(int Root) const {
    std::vector<int> d = {Root, Root + 2, Root + 4};
    if (S_.Sevenths) d.push_back(Root + 6);
    return d;
  }
  bool IsChordTone(int Degree, int Root) const {
    const int rel = ((Degree - Root) % 7 + 7) % 7;
    return rel == 0 || rel == 2 || rel == 4 || (S_.Sevenths && rel == 6);
  }
  int NearestChordTone(int Degree, int Root) const {
    for (int d = 0; d < 4; d++) {
      if (IsChordTone(Degree - d, Root)) return Degree - d;
      if (IsChordTone(Degree + d, Root)) return Degree + d;
    }
    return Degree;
  }

  TMotif NewMotif() {
    static const std::vector<std::vector<std::pair<int, int>>> rhythms = {
        {{0, 2}, {2, 1}, {3, 1}, {4, 2}, {6, 2}, {8, 3}, {11, 1}, {12, 4}},
        {{0, 1}, {1, 1}, {2, 2}, {4, 1}, {5, 1}, {6, 2}, {8, 2}, {10, 2}, {12, 4}},
        {{0, 3}, {3, 1}, {4, 2}, {6, 2}, {8, 3}, {11, 1}, {12, 2}, {14, 2}},
        {{1, 1}, {2, 1}, {3, 1}, {4, 4}, {9, 1}, {10, 1}, {11, 1}, {12, 4}},
        {{0, 2}, {2, 2}, {4, 1}, {5, 1}, {6, 1}, {7, 1}, {8, 4}, {12, 2}, {14, 2}},
        {{0, 4}, {4, 2}, {6, 2}, {8, 2}, {10, 1}, {11, 1}, {12, 4}},
    };
    TMotif m;
    m.Rhythm = rhythms[static_cast<std::size_t>(Rng_.Int(static_cast<int>(rhythms.size())))];
    int at = 0;
    for (std::size_t i = 0; i < m.Rhythm.size(); i++) {
      m.Contour.push_back(at);
      // Mostly steps, sometimes a leap, pulled back towards the start.
      const int steps[] = {-2, -1, -1, 1, 1, 2, 0, 3, -3};
      int step = steps[Rng_.Int(9)];
      if (std::abs(at + step) > 4) step = -step;
      at += step;
    }
    return m;
  }

  int ChordAt(char Part, int Bar) const {
    const bool b = Part == 'B' || Part == 'b';
    return (b ? S_.ProgB : S_.ProgA)[static_cast<std::size_t>(Bar % 4)];
  }

  void Add(TInst Inst, double Beat, double Length, int Pitch, float Velocity) {
    Events_.push_back({Inst, Beat, Length, Pitch, std::clamp(Velocity, 0.0f, 1.0f)});
  }

  // One 4-bar phrase of the form, starting at Beat.
  // Entering: the part differs from the one before; Leaving: from the next.
  void Phrase(char Part, double Beat, bool Entering, bool Leaving) {
    const bool intro = Part == 'I', outro = Part == 'O', breakdown = Part == 'C';
    const bool lifted = Part == 'a' || Part == 'b';
    for (int bar = 0; bar < 4; bar++) {
      const double b0 = Beat + 4 * bar;
      const int root = ChordAt(Part, bar);
      Pad(b0, root, intro || breakdown ? 1.0f : 0.6f);
      Comp(b0, root, intro ? 0.6f + 0.1f * bar : 0.8f, breakdown);
      if (!intro && !breakdown) Bassline(b0, root, lifted);
      if (breakdown && bar >= 2) Bassline(b0, root, false);
      Drums(b0, Part, bar, Entering, bar == 3 && Leaving);
    }
    if (!intro && !outro) {
      const TMotif& motif = Part == 'C' ? MotifC_ : (Part == 'B' || Part == 'b') ? MotifB_ : MotifA_;
      Melody(Beat, Part, motif, Part == 'b' ? 2 : 0, lifted, breakdown);
    } else if (outro) {
      Melody(Beat, 'A', MotifA_, 0, false, true);
    }
  }

  void Melody(double Beat, char Part, const TMotif& Motif, int Shift, bool Ornament, bool Sparse) {
    // The melody's home: the degree nearest E5, whatever the key.
    int centre = 0;
    while (Midi(centre + 1) <= 76) centre++;
    centre += Shift;
    for (int half = 0; half < 2; half++) {
      const bool cadence = half == 1;
      const std::size_t n = Motif.Rhythm.size();
      for (std::size_t i = 0; i < n; i++) {
        auto [start, length] = Motif.Rhythm[i];
        if (Sparse && length < 2) continue;
        const int bar = half * 2 + start / 8;
        const int root = ChordAt(Part, bar);
        int degree = centre + Motif.Contour[i];
        const bool strong = start % 4 == 0;
        if (strong || length >= 3) degree = NearestChordTone(degree, root);
        if (cadence && i + 1 == n) {  // the phrase comes home on the chord's root or third
          degree = NearestChordTone(centre - 2, root);
          length = 4;
        }
        const double beat = Beat + half * 8 + start * 0.5;
        const float vel = (strong ? 0.85f : 0.7f) + Rng_.Range(-0.05f, 0.05f);
        if (Ornament && length >= 2 && !strong && Rng_.Chance(0.5f)) {
          Add(TInst::Lead, beat, 0.25, Midi(degree + 1), vel * 0.9f);  // upper neighbour
          Add(TInst::Lead, beat + 0.25, length * 0.5 - 0.25, Midi(degree), vel);
        } else {
          Add(TInst::Lead, beat, length * 0.5, Midi(degree), vel);
        }
      }
    }
  }

  void Pad(double Beat, int Root, float Velocity) {
    for (int d : ChordDegrees(Root)) Add(TInst::Pad, Beat, 4, Voice(d, 57), Velocity);
  }

  // The chord tone's note nearest to Centre (close voicing around it).
  int Voice(int Degree, int Centre) const {
    int m = Midi(Degree);
    while (m < Centre - 6) m += 12;
    while (m >= Centre + 6) m -= 12;
    return m;
  }

  void Comp(double Beat, int Root, float Velocity, bool Breakdown) {
    const std::vector<int> tones = ChordDegrees(Root);
    switch (S_.Groove) {
      case TGroove::Soft:  // electric piano: beat 1 and the "and" of 2
        for (int d : tones) {
          Add(TInst::Keys, Beat, 1.4, Voice(d, 64), Velocity * 0.8f);
          Add(TInst::Keys, Beat + 1.5, 2.3, Voice(d, 64), Velocity * 0.65f);
        }
        break;
      case TGroove::Gentle:  // plucked arpeggio up and down in eighths
      {
        // Up and down the chord from its voiced root: root, third, fifth, (seventh), octave.
        std::vector<int> up = tones;
        up.push_back(tones[0] + 7);
        const int base = Voice(tones[0], 60) - Midi(tones[0]);
        const int order[] = {0, 1, 2, 3, 4, 3, 2, 1};
        for (int i = 0; i < 8; i++) {
          const int d = up[static_cast<std::size_t>(std::min(order[i], static_cast<int>(up.size()) - 1))];
          Add(TInst::Pluck, Beat + 0.5 * i, 0.5, Midi(d) + base, Velocity * (i % 2 ? 0.6f : 0.75f));
        }
        break;
      }
      case TGroove::Pop:  // offbeat stabs, plus a rolling arpeggio in breakdowns
        for (int beat = 0; beat < 4; beat++)
          for (int d : tones) Add(TInst::Pluck, Beat + beat + 0.5, 0.3, Voice(d, 67), Velocity * 0.6f);
        if (Breakdown)
          for (int i = 0; i < 16; i++)
            Add(TInst::Arp, Beat + 0.25 * i, 0.25, Voice(tones[static_cast<std::size_t>(i % 3)], 72), 0.5f);
        break;
      case TGroove::Drive:  // sixteenth arpeggio over two octaves
        for (int i = 0; i < 16; i++) {
          const int d = tones[static_cast<std::size_t>(i % 3)] + 7 * ((i / 3) % 2);
          Add(TInst::Arp, Beat + 0.25 * i, 0.25, Voice(d, 67), (i % 4 == 0 ? 0.8f : 0.55f) * Velocity);
        }
        break;
    }
  }

  void Bassline(double Beat, int Root, bool Busy) {
    const int r = Voice(Root, 40), fifth = Voice(Root + 4, 45);
    switch (S_.Groove) {
      case TGroove::Soft:
      case TGroove::Gentle:
        Add(TInst::Bass, Beat, 1.9, r, 0.8f);
        Add(TInst::Bass, Beat + 2, 1.4, fifth, 0.65f);
        Add(TInst::Bass, Beat + 3.5, 0.5, Busy ? r + 12 : r, 0.6f);
        break;
      case TGroove::Pop: {
        const double at[] = {0, 0.75, 1.5, 2, 2.75, 3.5};
        for (std::size_t i = 0; i < 6; i++)
          Add(TInst::Bass, Beat + at[i], 0.4, i == 4 && Busy ? r + 12 : (i == 2 ? fifth : r), i == 0 ? 0.9f : 0.7f);
        break;
      }
      case TGroove::Drive:
        for (int i = 0; i < 8; i++) Add(TInst::Bass, Beat + 0.5 * i, 0.35, i % 4 == 3 ? r + 12 : r, i % 2 ? 0.6f : 0.85f);
        break;
    }
  }

  void Drums(double Beat, char Part, int Bar, bool Entering, bool Fill) {
    const bool intro = Part == 'I', outro = Part == 'O', breakdown = Part == 'C';
    if (intro || (outro && Bar == 3)) return;
    auto humanise = [&] { return Rng_.Range(-0.01f, 0.01f); };
    switch (S_.Groove) {
      case TGroove::Soft:
        if (Part == 'A' && Entering && Bar < 2) return;  // the drums come in half way
        Add(TInst::Kick, Beat, 0.5, 0, 0.6f);
        Add(TInst::Kick, Beat + 2.5, 0.5, 0, 0.45f);
        for (int i = 0; i < 8; i++) Add(TInst::Shaker, Beat + 0.5 * i + humanise(), 0.25, 0, i % 2 ? 0.35f : 0.5f);
        Add(TInst::Snare, Beat + 1, 0.5, 0, 0.35f);
        Add(TInst::Snare, Beat + 3, 0.5, 0, 0.35f);
        break;
      case TGroove::Gentle:
        if (Part == 'A') return;
        Add(TInst::Kick, Beat, 0.5, 0, 0.6f);
        Add(TInst::Kick, Beat + 1.75, 0.5, 0, 0.4f);
        Add(TInst::Snare, Beat + 2, 0.5, 0, 0.45f);
        for (int i = 0; i < 4; i++) Add(TInst::Hat, Beat + i + 0.5 + humanise(), 0.25, 0, 0.35f);
        break;
      case TGroove::Pop:
        if (breakdown) {
          if (Bar >= 2) for (int i = 0; i < 4; i++) Add(TInst::Kick, Beat + i, 0.5, 0, 0.5f + 0.1f * Bar);
          break;
        }
        for (double k : {0.0, 1.5, 2.0}) Add(TInst::Kick, Beat + k, 0.5, 0, 0.85f);
        Add(TInst::Snare, Beat + 1, 0.5, 0, 0.75f);
        Add(TInst::Snare, Beat + 3, 0.5, 0, 0.75f);
        for (int i = 0; i < 8; i++) Add(TInst::Hat, Beat + 0.5 * i + humanise(), 0.25, 0, i % 2 ? 0.35f : 0.55f);
        if (Part == 'a' || Part == 'b') Add(TInst::OpenHat, Beat + 3.5, 0.5, 0, 0.45f);
        break;
      case TGroove::Drive:
        if (breakdown) {
          for (int i = 0; i < 8; i++) Add(TInst::Hat, Beat + 0.5 * i + 0.25, 0.25, 0, 0.3f);
          if (Bar >= 2) for (int i = 0; i < 4; i++) Add(TInst::Kick, Beat + i, 0.5, 0, 0.5f + 0.15f * (Bar - 2));
          break;
        }
        for (int i = 0; i < 4; i++) {
          Add(TInst::Kick, Beat + i, 0.5, 0, 0.9f);
          Add(TInst::OpenHat, Beat + i + 0.5, 0.4, 0, 0.35f);
        }
        Add(TInst::Clap, Beat + 1, 0.5, 0, 0.7f);
        Add(TInst::Clap, Beat + 3, 0.5, 0, 0.7f);
        for (int i = 0; i < 16; i++) Add(TInst::Hat, Beat + 0.25 * i + humanise(), 0.2, 0, i % 4 == 2 ? 0.4f : 0.22f);
        break;
    }
    if (Fill && S_.Groove != TGroove::Soft)  // a roll leads into the next part
      for (int i = 0; i < 4; i++) Add(TInst::Snare, Beat + 3 + 0.25 * i, 0.25, 0, 0.35f + 0.12f * i);
  }

  void FinalChord(double Beat) {
    const int root = S_.ProgA[0];
    for (int d : ChordDegrees(root)) {
      Add(TInst::Pad, Beat, 4, Voice(d, 57), 0.7f);
      Add(TInst::Keys, Beat, 4, Voice(d, 64), 0.6f);
    }
    Add(TInst::Bass, Beat, 4, Voice(root, 40), 0.7f);
    Add(TInst::Lead, Beat, 4, Midi(7 + root), 0.6f);
  }

  const TStyle& S_;
  TRng& Rng_;
  TMotif MotifA_, MotifB_, MotifC_;
  std::vector<TEvent> Events_;
};

// ---------------------------------------------------------- the synthesiser

struct TMixBus {
  Stereo Dry;
  Mono ReverbSend, EchoSend;
  explicit TMixBus(std::size_t Frames) : ReverbSend(Frames), EchoSend(Frames) { Dry.Resize(Frames); }
};

struct TInstSetup {
  float Gain, Pan, Reverb, Echo;  // pan -1 (left) .. 1 (right)
};

TInstSetup SetupOf(TInst Inst, TLeadSound Lead) {
  switch (Inst) {
    case TInst::Lead: return {Lead == TLeadSound::Saw || Lead == TLeadSound::Pulse ? 0.22f : 0.3f, 0.05f, 0.25f, 0.2f};
    case TInst::Keys: return {0.12f, -0.2f, 0.25f, 0};
    case TInst::Pluck: return {0.13f, 0.3f, 0.2f, 0.1f};
    case TInst::Arp: return {0.09f, -0.35f, 0.15f, 0.15f};
    case TInst::Pad: return {0.07f, 0, 0.45f, 0};
    case TInst::Bass: return {0.34f, 0, 0.03f, 0};
    case TInst::Kick: return {0.55f, 0, 0.04f, 0};
    case TInst::Snare: return {0.28f, 0.05f, 0.25f, 0};
    case TInst::Clap: return {0.25f, -0.05f, 0.25f, 0};
    case TInst::Hat: return {0.09f, 0.25f, 0.05f, 0};
    case TInst::OpenHat: return {0.08f, -0.25f, 0.1f, 0};
    case TInst::Shaker: return {0.06f, 0.3f, 0.1f, 0};
  }
  return {0, 0, 0, 0};
}

// Renders one event into Out (mono, from its start); Length in seconds.
void Voice(const TEvent& E, float Length, TLeadSound Lead, TRng& Rng, Mono& Out) {
  const float hz = MidiToHz(static_cast<float>(E.Pitch));
  const double inc = hz / kRate;
  const float v = E.Velocity;
  double ph = 0, ph2 = 0;
  TSvf f;
  auto render = [&](float Tail, const std::function<float(float)>& Fn) {
    Out.assign(Frames(Length + Tail), 0);
    for (std::size_t i = 0; i < Out.size(); i++) Out[i] = Fn(static_cast<float>(i) / kRate);
  };
  switch (E.Inst) {
    case TInst::Lead:
      switch (Lead) {
        case TLeadSound::Flute:
          render(0.25f, [&](float t) {
            const float vib = 1 + 0.004f * Sine(5.2 * t) * std::min(1.0f, t * 3);
            ph += inc * vib;
            // A little breath around the second harmonic, strongest at the onset.
            f.Process(Rng.Noise(), 2 * hz, 4);
            const float breath = 0.25f * f.Band * (0.3f + std::exp(-t / 0.08f));
            return v * Adsr(t, 0.04f, 0.1f, 0.8f, 0.2f, Length) * (0.8f * Sine(ph) + 0.2f * Triangle(ph * 2) + breath);
          });
          break;
        case TLeadSound::Bell:
          render(1.2f, [&](float t) {
            const float index = 1.6f * std::exp(-t / 0.25f);
            ph += inc;
            ph2 += 3.5 * inc;
            const float env = Perc(t, 0.003f, 0.7f) * (t < Length ? 1 : std::exp(-(t - Length) / 0.2f));
            return v * env * Sine(ph + index * Sine(ph2) / kTwoPi);
          });
          break;
        case TLeadSound::Pulse:
          render(0.15f, [&](float t) {
            const float vib = 1 + 0.003f * Sine(5.5 * t) * std::min(1.0f, t * 2);
            ph += inc * vib;
            const float env = Adsr(t, 0.008f, 0.15f, 0.6f, 0.12f, Length);
            f.Process(PolyBlepSquare(ph, inc, 0.3 + 0.1 * Sine(0.7 * t)), 1200 + 3500 * env, 0.8f);
            return v * env * f.Low;
          });
          break;
        case TLeadSound::Saw:
          render(0.15f, [&](float t) {
            ph += inc;
            ph2 += inc * 1.006;
            const float env = Adsr(t, 0.006f, 0.2f, 0.55f, 0.1f, Length);
            f.Process(0.5f * (PolyBlepSaw(ph, inc) + PolyBlepSaw(ph2, inc)), 900 + 4000 * env * env, 1.1f);
            return v * env * f.Low;
          });
          break;
      }
      break;
    case TInst::Keys:  // electric piano: FM with a bright, quickly fading strike
      render(0.6f, [&](float t) {
        ph += inc;
        const float index = 1.2f * std::exp(-t / 0.12f) + 0.2f;
        const float env = Perc(t, 0.004f, 1.1f) * (t < Length ? 1 : std::exp(-(t - Length) / 0.12f));
        const float trem = 1 + 0.08f * Sine(4.5 * t);
        return v * env * trem * Sine(ph + index * Sine(ph) / kTwoPi);
      });
      break;
    case TInst::Pluck:
      render(0.35f, [&](float t) {
        ph += inc;
        const float env = Perc(t, 0.002f, 0.22f) * (t < Length ? 1 : std::exp(-(t - Length) / 0.05f));
        f.Process(PolyBlepSaw(ph, inc), 300 + 3500 * env * env, 1.0f);
        return v * env * f.Low;
      });
      break;
    case TInst::Arp:
      render(0.1f, [&](float t) {
        ph += inc;
        const float env = Perc(t, 0.002f, 0.09f);
        f.Process(PolyBlepSquare(ph, inc, 0.5), 800 + 3000 * env, 1.5f);
        return v * env * f.Low;
      });
      break;
    case TInst::Pad: {
      std::array<double, 3> phases{Rng.Uniform(), Rng.Uniform(), Rng.Uniform()};
      render(1.2f, [&](float t) {
        float s = 0;
        const double detune[] = {0.996, 1.0, 1.004};
        for (std::size_t k = 0; k < 3; k++) {
          s += PolyBlepSaw(phases[k], inc * detune[k]);
          phases[k] += inc * detune[k];
        }
        const float env = Adsr(t, 0.6f, 0.5f, 0.85f, 1.1f, Length);
        f.Process(s, 700 + 500 * Sine(0.15 * t + 0.25), 0.6f);
        return v * env * f.Low / 3;
      });
      break;
    }
    case TInst::Bass:
      render(0.12f, [&](float t) {
        ph += inc;
        const float env = Adsr(t, 0.005f, 0.25f, 0.7f, 0.08f, Length);
        f.Process(PolyBlepSaw(ph, inc), 180 + 900 * Perc(t, 0.003f, 0.08f), 0.9f);
        return v * env * (0.7f * Sine(ph) + 0.5f * f.Low);
      });
      break;
    case TInst::Kick:
      render(0.35f, [&](float t) {
        ph += (48 + 110 * std::exp(-t / 0.03f)) / kRate;
        return v * (Sine(ph) * Perc(t, 0.001f, 0.16f) + 0.3f * Rng.Noise() * Perc(t, 0.0005f, 0.004f));
      });
      break;
    case TInst::Snare:
      render(0.3f, [&](float t) {
        ph += 185.0 / kRate;
        f.Process(Rng.Noise(), 3200, 0.7f);
        return v * (0.45f * Sine(ph) * Perc(t, 0.001f, 0.05f) + 0.8f * f.Band * Perc(t, 0.001f, 0.09f));
      });
      break;
    case TInst::Clap:
      render(0.3f, [&](float t) {
        f.Process(Rng.Noise(), 1400, 1.2f);
        float env = Perc(t - 0.022f, 0.001f, 0.1f);
        for (float k : {0.0f, 0.009f, 0.016f}) env = std::max(env, Perc(t - k, 0.0005f, 0.006f));
        return v * 1.4f * f.Band * env;
      });
      break;
    case TInst::Hat:
    case TInst::OpenHat: {
      const float decay = E.Inst == TInst::Hat ? 0.03f : 0.16f;
      render(decay * 5, [&](float t) {
        f.Process(Rng.Noise(), 8000, 0.8f);
        return v * f.High * Perc(t, 0.0005f, decay);
      });
      break;
    }
    case TInst::Shaker:
      render(0.1f, [&](float t) {
        f.Process(Rng.Noise(), 6000, 1.0f);
        return v * f.Band * Perc(t, 0.012f, 0.03f);
      });
      break;
  }
}

Stereo Perform(const std::vector<TEvent>& Events, const TStyle& S, double TotalBeats, TRng& Rng) {
  const double beatSeconds = 60.0 / S.Bpm;
  const std::size_t total = Frames(TotalBeats * beatSeconds), tail = Frames(4);
  TMixBus bus(total + tail);
  Mono voice;
  for (const TEvent& e : Events) {
    const TInstSetup setup = SetupOf(e.Inst, S.Lead);
    Voice(e, static_cast<float>(e.Length * beatSeconds), S.Lead, Rng, voice);
    const std::size_t at = Frames(e.Beat * beatSeconds);
    const float gl = setup.Gain * std::sqrt(0.5f * (1 - setup.Pan));
    const float gr = setup.Gain * std::sqrt(0.5f * (1 + setup.Pan));
    for (std::size_t i = 0; i < voice.size() && at + i < bus.Dry.Frames(); i++) {
      const float x = voice[i];
      bus.Dry.L[at + i] += gl * x;
      bus.Dry.R[at + i] += gr * x;
      bus.ReverbSend[at + i] += setup.Reverb * setup.Gain * x;
      bus.EchoSend[at + i] += setup.Echo * setup.Gain * x;
    }
  }
  // Effects: a dotted-eighth ping-pong echo and a medium hall.
  TEcho echo(static_cast<float>(0.75 * beatSeconds), 0.35f, 3500);
  TReverb hall(0.75f, 0.4f, 1);
  for (std::size_t i = 0; i < bus.Dry.Frames(); i++) {
    float el, er, rl, rr;
    echo.Process(bus.EchoSend[i], el, er);
    hall.Process(bus.ReverbSend[i] + 0.3f * (el + er), bus.ReverbSend[i], rl, rr);
    bus.Dry.L[i] += el + 2.2f * rl;
    bus.Dry.R[i] += er + 2.2f * rr;
  }
  Stereo out = std::move(bus.Dry);
  if (S.Loops) {  // what rings past the end belongs to the start of the next pass
    for (std::size_t i = 0; i < tail; i++) {
      out.L[i] += out.L[total + i];
      out.R[i] += out.R[total + i];
    }
    out.Resize(total);
  } else {  // let the last chord ring, then fade out to silence
    FadeOut(out.L, 2.5f);
    FadeOut(out.R, 2.5f);
    FadeIn(out.L, 0.01f);
    FadeIn(out.R, 0.01f);
  }
  return out;
}

// Common loudness for all tracks, some 4 dB under the effects; peaks under -1 dBFS.
void MasterTrack(Stereo& X, bool Loops) {
  for (Mono* c : {&X.L, &X.R}) {
    TOnePole dc(20);
    if (!Loops) {  // a filter's start-up transient would sit at the loop seam
      for (float& v : *c) v = dc.High(v);
    }
  }
  const float rms = RmsStereo(X);
  if (rms <= 0) return;
  const float gain = DbToGain(-21) / rms;
  for (Mono* c : {&X.L, &X.R})
    for (float& v : *c) v *= gain;
  Limit(X, -1);
}

}  // namespace

Stereo RenderTrack(int Track, unsigned Seed) {
  const TStyle style = StyleOf(Track);
  TRng rng(Seed * 7919ull + static_cast<unsigned>(Track) * 104729ull + 17);
  TComposer composer(style, rng);
  const std::vector<TEvent> events = composer.Compose();
  Stereo out = Perform(events, style, composer.Beats(), rng);
  MasterTrack(out, style.Loops);
  return out;
}

}  // namespace audiogen
