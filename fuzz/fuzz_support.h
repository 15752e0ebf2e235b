// What every reader target shares: a throw-away game folder the inputs are
// written into (the readers take file names, as in the game), the scene on
// the recording device, and a game with the shipped levels and figures.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// The game folder of this process (created on first use, removed at exit);
// the game's paths resolve against it.
const std::string& FuzzFolder();

// Writes the input to Name (a game file name such as "data/Levels.dat").
void WriteInput(const std::string& Name, const std::uint8_t* Data, std::size_t Size);

// The device, vertex buffer and settings the drawing code needs; idempotent.
void FuzzScene();

// FuzzScene, then the global Game with the shipped level table and figures.
void FuzzGame();

// Forgets the draw calls, particles and labels of the last input, so that
// memory and time per input stay flat.
void ClearRecording();

// The shipped copy of a data file (assets/data/Name), for tables a target
// needs but does not fuzz.
std::string ShippedDataFile(const std::string& Name);
