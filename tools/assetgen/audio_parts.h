// The pieces of the audio generator: effect recipes, voice shaping and the
// music composer, shared by audio_gen.cpp.
#pragma once

#include <array>

#include "audio_dsp.h"

namespace audiogen {

constexpr int kEffectCount = 27;
constexpr int kSelectedLoop = 24;

// File names of the effects, by the number the game plays them with.
constexpr std::array<const char*, kEffectCount> kEffectNames = {
    "NewLevel",  "BonusLevel", "NewTurn",     "FlyingBy",  "BonusLevelDone", "SelectCube",
    "MoveCube",  "MoveBomb",   "Moved",       "FigureDone", "vDouble",       "vTriple",
    "vQuadro",   "vExcellent", "vVoxarine",   "ExplodeBomb", "Colorize",     "Shot",
    "ShowBonus", "GameOver",   "MenuMove",    "MenuEnter", "MenuEsc",        "MenuKey",
    "Selected",  "TimeUp",     "Message"};

// What the spoken effects say (10..14); nullptr for the others.
const char* SpokenText(int Number);

// A finished effect (mono, mastered) for any number that is not spoken.
Mono RenderEffect(int Number, TRng& Rng);
// Turns raw speech (44.1 kHz) into the finished spoken effect; an empty
// Speech (no speech synthesiser) gives a short jingle instead.
Mono ShapeVoice(int Number, Mono Speech, TRng& Rng);

constexpr int kTrackCount = 4;
constexpr std::array<const char*, kTrackCount> kTrackNames = {"menu1", "menu2", "theme1", "theme2"};
// A finished, mastered music track; the game themes (2, 3) loop seamlessly.
Stereo RenderTrack(int Track, unsigned Seed);

// Loudness used for mastering: the loudest 200 ms window's RMS.
float MomentaryRms(const Mono& X);
// Brings an effect to TargetDb of momentary loudness, peaks under -3 dBFS.
void Master(Mono& X, float TargetDb);

}  // namespace audiogen
