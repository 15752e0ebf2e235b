// Links from high-score entries to their replays, and the high-score page's
// way into them.
#include "replay/links.h"

#include <array>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>

#include "frontend/fonts.h"
#include "frontend/hiscores.h"
#include "platform/win32/paths.h"
#include "platform/win32/virtual_keys.h"
#include "replay/game_input.h"
#include "replay/playback.h"
#include "shell/debug_log.h"

namespace replay {

namespace {

struct TLink {
  std::int32_t Score = 0;
  std::string Name;  // a file name in the replay folder; empty: none
};
using TLinkTable = std::array<std::array<TLink, HiScoreRows + 1>, 3>;  // [table 1..2][row 1..10]

std::optional<TLinkTable> Links;
int ChosenRow = 0;  // the entry the keys chose on the shown table, 0 none

// A bare name of ours: nothing that could lead out of the replay folder.
bool PlainName(const std::string& Name) {
  return !Name.empty() && Name.size() < 200 && Name.find('/') == std::string::npos &&
         Name.find('\\') == std::string::npos && Name[0] != '.' && Name.ends_with(".vxr");
}

TLinkTable& Table() {
  if (Links) return *Links;
  Links.emplace();
  std::ifstream in(ResolvePath(LinksFileName));
  std::string line;
  // A damaged line is left out; the file is written whole at the next link.
  while (in && std::getline(in, line)) {
    std::istringstream s(line);
    int t = 0, r = 0;
    std::int32_t score = 0;
    std::string name;
    if (!(s >> t >> r >> score >> name) || t < 1 || t > 2 || r < 1 || r > HiScoreRows || !PlainName(name)) continue;
    (*Links)[static_cast<std::size_t>(t)][static_cast<std::size_t>(r)] = TLink{score, name};
  }
  return *Links;
}

void SaveLinks() {
  std::string text;
  for (int t = 1; t <= 2; ++t)
    for (int r = 1; r <= HiScoreRows; ++r) {
      const TLink& l = Table()[static_cast<std::size_t>(t)][static_cast<std::size_t>(r)];
      if (!l.Name.empty())
        text += std::to_string(t) + " " + std::to_string(r) + " " + std::to_string(l.Score) + " " + l.Name + "\n";
    }
  try {
    AtomicWriteFile(WritablePath(LinksFileName), text);
  } catch (const std::exception& e) {
    DebugLog(false, std::string(" High-score replays not linked: ") + e.what());
  }
}

int ShownTable() { return HiScores && HiScores->ShownTable == 2 ? 2 : 1; }

// The row under (X, Y) on the shown table, 0 for none: the rows' band
// between the names' left and the scores' right end.
int RowAt(float X, float Y) {
  if (!HiScores || HiScores->Editing || X < ScoreColumnRight - 0.3f || X > 2.6f) return 0;
  for (int r = 1; r <= HiScoreRows; ++r)
    if (std::fabs(Y - HiScoreRowY(r, 0)) < 0.26f) return r;
  return 0;
}

bool Play(int Row) {
  const std::string path = EntryReplay(ShownTable(), Row);
  if (path.empty()) return false;
  HiScores->SaveScores();
  return StartWindowReplay(path);
}

}  // namespace

void ForgetLinks() {
  Links.reset();
  ChosenRow = 0;
}

bool IsReplayLinked(const std::string& Path) {
  const std::string name = std::filesystem::path(Path).filename().string();
  for (int t = 1; t <= 2; ++t)
    for (int r = 1; r <= HiScoreRows; ++r)
      if (Table()[static_cast<std::size_t>(t)][static_cast<std::size_t>(r)].Name == name) return true;
  return false;
}

void LinkNewEntry(int Table_, int Row, std::int32_t Score, const std::string& Path) {
  if (Table_ < 1 || Table_ > 2 || Row < 1 || Row > HiScoreRows) return;
  auto& rows = Table()[static_cast<std::size_t>(Table_)];
  for (int r = HiScoreRows; r > Row; --r) rows[static_cast<std::size_t>(r)] = rows[static_cast<std::size_t>(r - 1)];
  const std::string name = std::filesystem::path(Path).filename().string();
  rows[static_cast<std::size_t>(Row)] = PlainName(name) ? TLink{Score, name} : TLink{};
  SaveLinks();
}

std::string EntryReplay(int Table_, int Row) {
  if (Table_ < 1 || Table_ > 2 || Row < 1 || Row > HiScoreRows || !HiScores) return {};
  const TLink& l = Table()[static_cast<std::size_t>(Table_)][static_cast<std::size_t>(Row)];
  if (l.Name.empty() || HiScores->Entry(Table_, Row).Score != l.Score) return {};
  const std::string path = ReplayFolder() + "/" + l.Name;
  std::error_code ec;
  return std::filesystem::is_regular_file(path, ec) ? path : std::string();
}

void DrawReplayMarks() {
  if (!HiScores || HiScores->Editing) return;
  const int t = ShownTable();
  for (int r = 1; r <= HiScoreRows; ++r) {
    if (EntryReplay(t, r).empty()) continue;
    // ">" left of the name marks a replay; the chosen row's mark is lit.
    DrawText3D(1, r == ChosenRow ? 5 : 4, 9, 2.55f, HiScoreRowY(r, 0), ">", 0.1f, 255);
  }
}

bool HiScoresReplayKey(std::uint16_t Key) {
  if (!HiScores || HiScores->Editing) return false;
  if (Key == VK_UP || Key == VK_DOWN) {
    const int step = Key == VK_DOWN ? 1 : -1;
    for (int r = ChosenRow + step; r >= 1 && r <= HiScoreRows; r += step)
      if (!EntryReplay(ShownTable(), r).empty()) {
        ChosenRow = r;
        break;
      }
    return true;
  }
  if (Key == VK_RETURN && ChosenRow != 0) {
    const int row = ChosenRow;
    ChosenRow = 0;
    return Play(row);
  }
  if (Key == VK_LEFT || Key == VK_RIGHT || Key == VK_ESCAPE) ChosenRow = 0;
  return false;
}

bool HiScoresReplayClick(float X, float Y) {
  const int row = RowAt(X, Y);
  return row != 0 && Play(row);
}

}  // namespace replay
