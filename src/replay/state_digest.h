// Digests that say whether two runs are the same game: the game's state
// (every field the rules read, with floats by their exact bits) and the data
// tables a game is played with.
#pragma once

#include <cstdint>

class TGame;

namespace replay {

// FNV-1a over the state of the game; the drawing-only fields (matrices,
// planes, labels) and the pointer are left out.
std::uint64_t GameStateDigest(const TGame& G);
// The bytes of the level and bonus figure tables ("data/Levels.dat",
// "data/BonusFigures.dat") as the game finds them; 0 when one cannot be read.
std::uint64_t TablesDigest();

}  // namespace replay
