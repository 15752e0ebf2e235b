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
  // Reads the file when it exists; a missing file keeps the defaults. A
  // damaged file (not 400 bytes, a name over 15, a table out of order, a
  // negative score, a name the font cannot draw) is reported once, with the
  // original kept beside it as "Hiscores.dat.damaged". Every whole entry is
  // still taken, except that a table out of order, with a negative score or
  // an undrawable name shows the defaults instead.
  void LoadScores();
  // Writes the 400-byte image atomically, but only when the tables differ
  // from what the file holds: viewing a table never rewrites it.
  void SaveScores();
  // Inserts Score into table ShownTable; returns its row, 0 when it does not enter.
  std::uint8_t InsertScore(std::int32_t Score);
  // One key of name entry (Windows virtual-key code): only keys whose
  // character the font can draw are typed; Enter or Escape ends the entry.
  void EditKey(std::uint8_t Key);
  void DrawScores(double Time);    // Time: the window's TotalTime in ms (drives the caret blink)

  // The 400-byte file image of both tables, and its inverse. ReadImage
  // returns what is wrong with Bytes, empty when they are a sound table.
  std::string Image() const;
  std::string ReadImage(const std::string& Bytes);

  THiScoreEntry& Entry(int Table, int Row);  // range-checked

  std::array<THiScoreTable, 3> Tables{};  // [1..2]: table t belongs to game mode t
  std::uint8_t ShownTable = 1;            // 1 or 2
  bool Editing = false;                   // a name is being typed
  std::uint8_t EditRow = 0;               // 1..10 while Editing

 private:
  void SetTableDefaults(int Table);
  // What makes the first Rows entries of Table unfit to show; empty if none.
  std::string TableProblem(int Table, int Rows);
  // Copies a damaged file's bytes to "<name>.damaged"; returns where.
  std::string KeepDamagedFile(const std::string& Path, const std::string& Bytes);

  std::string Stored_;           // the image the file holds, as read or last written
  std::string DamagedOriginal_;  // the damaged file's bytes until they are kept safe
  std::string DamagedPath_;      // where that file was read from
};

// The character a name-entry key types, or 0 for a key that types nothing
// the font can draw (Shift, Control, Alt, Caps Lock, F-keys...).
char NameCharOfKey(std::uint8_t Key);

// Where the score column ends (towards -x) and where the name prompt goes
// while a name is typed: inside the table's panel, under the edited row.
constexpr float ScoreColumnRight = -5.6f;
float HiScoreRowY(int Row, int EditRow);  // EditRow 0: no row is edited
float NamePromptY(int EditRow);

extern std::unique_ptr<THiScores> HiScores;

// The high score file's name as the game writes it.
inline constexpr const char* HiScoresFileName = "data/Hiscores.dat";
