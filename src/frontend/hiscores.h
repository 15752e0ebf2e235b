// The two high score tables (one per game mode), their file
// "data/Hiscores.dat", name entry and drawing.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>

constexpr int HiScoreNameMax = 15;
constexpr int HiScoreRows = 10;
constexpr std::size_t HiScoreEntryBytes = 20;
constexpr std::size_t HiScoreFileBytes = 2 * HiScoreRows * HiScoreEntryBytes;  // 400

// One row, stored as in the file: a length byte, 15 name bytes (those past
// the length are leftovers of earlier names and mean nothing), the score.
struct THiScoreEntry {
  std::uint8_t NameLength = 0;  // 0..15
  std::array<char, HiScoreNameMax> NameChars{};
  std::int32_t Score = 0;

  std::string Name() const;
  void SetName(const std::string& Name);  // cut to 15 characters
};

using THiScoreTable = std::array<THiScoreEntry, HiScoreRows + 1>;  // [1..10], entry 1 is the best

class THiScores {
 public:
  THiScores();  // defaults, then LoadScores

  void SetDefaults();
  // Reads the file when it exists; a missing file keeps the defaults. Whole
  // entries are taken up to the first unsound one (cut off, name over 15).
  void LoadScores();
  void SaveScores();  // writes the 400-byte image atomically
  // Inserts Score into table ShownTable; returns its row, 0 when it does not enter.
  std::uint8_t InsertScore(std::int32_t Score);
  void EditKey(std::uint8_t Key);  // Windows virtual-key code
  void DrawScores(double Time);    // Time: the window's TotalTime in ms (drives the caret blink)

  // The 400-byte file image of both tables, and its inverse.
  std::string Image() const;
  void ReadImage(const std::string& Bytes);

  THiScoreEntry& Entry(int Table, int Row);  // range-checked

  std::array<THiScoreTable, 3> Tables{};  // [1..2]: table t belongs to game mode t
  std::uint8_t ShownTable = 1;            // 1 or 2
  bool Editing = false;                   // a name is being typed
  std::uint8_t EditRow = 0;               // 1..10 while Editing
};

extern std::unique_ptr<THiScores> HiScores;

// The high score file's name as the game writes it.
inline constexpr const char* HiScoresFileName = "data/Hiscores.dat";
