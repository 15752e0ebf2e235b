// High-score entries and their replays. The link lives in a side file,
// "data/Hiscores.replays" (one line per linked entry: table, row, score,
// replay file name), so that Hiscores.dat keeps its layout and a table
// without the side file works as before. A link counts only while its entry
// still holds the score it was made for.
#pragma once

#include <cstdint>
#include <string>

namespace replay {

inline constexpr const char* LinksFileName = "data/Hiscores.replays";

// Whether Path is the replay of an entry of a high-score table.
bool IsReplayLinked(const std::string& Path);
// A new entry entered Table (1..2) at Row (1..10) with Score: the rows below
// move down one, and the entry gets the replay at Path (may be empty).
void LinkNewEntry(int Table, int Row, std::int32_t Score, const std::string& Path);
// The replay of an entry, or "" (no link, a changed entry, a missing file).
std::string EntryReplay(int Table, int Row);
// Forgets the links read (tests; the next use reads the side file again).
void ForgetLinks();

// ---- The high-score page ----------------------------------------------------------
// A mark beside each entry with a replay, and the row chosen by the keys.
void DrawReplayMarks();
// Up and Down choose an entry; Enter on an entry with a replay plays it.
// True when the key was used so.
bool HiScoresReplayKey(std::uint16_t Key);
// A click on an entry with a replay plays it (X, Y in the menu plane). True then.
bool HiScoresReplayClick(float X, float Y);

}  // namespace replay
