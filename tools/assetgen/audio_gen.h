// The game's sounds and music, generated: 27 effect samples in
// <outDir>/Sounds and four music tracks in <outDir>/Music, all Ogg Vorbis,
// the same bytes for the same seed. The spoken samples need espeak-ng on the
// PATH; without it they become short jingles and a warning is printed.
#pragma once

#include <string>

void GenerateAudio(const std::string& outDir, unsigned seed);
