// The spoken effects: the speech synthesiser's words, cleaned, given a little
// presence and room, over a small chime that grows with the combo.
#include "audio_parts.h"

namespace audiogen {

namespace {

void AddBell(Mono& Out, float Start, float Note, float Decay, float Gain) {
  const std::size_t from = Frames(Start), n = Frames(Decay * 5);
  if (Out.size() < from + n) Out.resize(from + n, 0);
  const float hz = MidiToHz(Note);
  for (std::size_t i = 0; i < n; i++) {
    const float t = static_cast<float>(i) / kRate;
    const float index = 2 * std::exp(-t / (Decay * 0.3f));
    Out[from + i] += Gain * Perc(t, 0.002f, Decay) * Sine(hz * t + index * Sine(2 * hz * t) / kTwoPi);
  }
}

// A rising C major chime of Notes notes (the combo's size) after Start.
Mono Chime(int Notes, float Start) {
  const float steps[] = {72, 76, 79, 84, 88, 91};
  Mono o;
  for (int i = 0; i < Notes; i++) AddBell(o, Start + 0.07f * i, steps[i % 6], 0.3f, 0.3f);
  return o;
}

// A breath of rising air in front of the game's name.
Mono Whoosh(TRng& Rng, float Length) {
  Mono o(Frames(Length));
  TSvf f;
  for (std::size_t i = 0; i < o.size(); i++) {
    const float x = static_cast<float>(i) / o.size();
    f.Process(Rng.Noise(), 400 * std::pow(12.0f, x), 1.5f);
    o[i] = 0.5f * f.Band * x * x;
  }
  return o;
}

void MixInto(Mono& Out, const Mono& In, float Gain, std::size_t At = 0) {
  if (Out.size() < At + In.size()) Out.resize(At + In.size(), 0);
  for (std::size_t i = 0; i < In.size(); i++) Out[At + i] += Gain * In[i];
}

// Speech as it comes: low rumble off, silence trimmed, a slap echo for body.
Mono CleanSpeech(Mono Speech) {
  RemoveDc(Speech);
  TSvf low;
  for (float& v : Speech) {
    low.Process(v, 90, 0.7f);
    v = low.High;
  }
  Trim(Speech, 0.01f * Peak(Speech), 0.01f);
  FadeIn(Speech, 0.005f);
  FadeOut(Speech, 0.03f);
  Normalise(Speech, -14, -1);
  Mono o = Speech;
  MixInto(o, Speech, 0.25f, Frames(0.014));
  TReverb room(0.45f, 0.5f, 0);
  o.resize(o.size() + Frames(0.4), 0);
  for (float& v : o) {
    float l, r;
    room.Process(v, v, l, r);
    v += 0.4f * l;
  }
  return o;
}

}  // namespace

const char* SpokenText(int Number) {
  switch (Number) {
    case 10: return "Double score!";
    case 11: return "Triple!";
    case 12: return "Quadro!";
    case 13: return "Excellent!";
    case 14: return "Voxareen";  // spelt as it is said
    default: return nullptr;
  }
}

Mono ShapeVoice(int Number, Mono Speech, TRng& Rng) {
  const bool spoken = !Speech.empty();
  Mono o;
  if (Number == 14) {  // the name at the end of loading: air, the word, a chord
    const Mono air = Whoosh(Rng, 0.35f);
    MixInto(o, air, 0.6f);
    const std::size_t at = Frames(0.3);
    if (spoken) MixInto(o, CleanSpeech(std::move(Speech)), 1, at);
    MixInto(o, Chime(4, 0), spoken ? 0.35f : 1.0f, at);
    MixInto(o, Chime(3, 0.45f), spoken ? 0.25f : 0.8f, at);
  } else {
    const int notes = Number == 13 ? 6 : Number - 8;  // 2, 3, 4 for the combos
    if (spoken) MixInto(o, CleanSpeech(std::move(Speech)), 1);
    MixInto(o, Chime(notes, spoken ? 0.05f : 0), spoken ? 0.3f : 1.0f);
  }
  RemoveDc(o);
  Trim(o, 1e-3f * Peak(o), 0.01f);
  FadeIn(o, 0.002f);
  FadeOut(o, 0.05f);
  Master(o, -16);
  return o;
}

}  // namespace audiogen
