// The program-wide random generator. Seeded from the clock when the game
// window is created (Randomize); tests and replays seed it with RandSeed.
#pragma once

#include <cstdint>

void Randomize();                  // seed from the clock
void RandSeed(std::uint32_t Seed);  // seed for a replayable run
int Random(int n);                 // uniform 0..n-1; 0 for n <= 1
double RandomReal();               // uniform [0, 1)
