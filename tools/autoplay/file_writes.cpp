// The game's own writers in a loop, and their readers on what is left: the
// material of the interrupted-write trials. Two versions of every file
// alternate, so that after a kill each file must be byte for byte one of
// them, and a reader must take it.
#include "file_writes.h"

#include <cstdio>
#include <filesystem>
#include <exception>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "frontend/hiscores.h"
#include "game/game.h"
#include "platform/d3dx/image_io.h"
#include "platform/win32/io_error.h"
#include "platform/win32/paths.h"
#include "platform/win32/random.h"
#include "shell/debug_log.h"
#include "shell/options.h"

namespace {

constexpr int BitmapWidth = 640, BitmapHeight = 480;  // as large as a tutorial page
const char* const BitmapName = "Images\\Tutorial\\tut1.bmp";

double SavedScore(int Version, int Mode) { return 1000.0 * (Version + 1) + Mode; }
std::int32_t TableScore(int Version) { return 50000 + Version; }
std::uint8_t SoundVolume(int Version) { return Version ? 7 : 2; }

void WriteVersion(int Version, THiScores& Scores, long Round) {
  for (int mode = 1; mode <= 2; ++mode) {
    RandSeed(static_cast<std::uint32_t>(100 + Version));
    Game->Mode = static_cast<std::uint8_t>(mode);
    Game->NewGame();
    Game->Score = SavedScore(Version, mode);
    Game->SaveGame();
  }
  Scores.Entry(1, 1).Score = TableScore(Version);
  Scores.Entry(2, 1).SetName(Version ? "Ada" : "Bob");
  Scores.SaveScores();

  Options->SoundVol = SoundVolume(Version);
  Options->Save();

  std::vector<std::uint8_t> rgb(static_cast<std::size_t>(BitmapWidth) * BitmapHeight * 3,
                                static_cast<std::uint8_t>(Version ? 200 : 40));
  if (!WriteBmp24(WritablePath(BitmapName), BitmapWidth, BitmapHeight, rgb))
    throw EInOutError(BitmapName, "cannot write the bitmap");

  DebugLog(false, " write round " + std::to_string(Round) + " version " + std::to_string(Version));
}

std::string CheckOne(const char* What, const std::function<std::string()>& Check) {
  try {
    const std::string problem = Check();
    return problem.empty() ? "" : std::string(What) + ": " + problem;
  } catch (const std::exception& e) {
    return std::string(What) + ": " + e.what();
  }
}

}  // namespace

int WriteFiles(long Rounds, int FirstVersion) {
  Options = std::make_unique<TOptions>();
  Options->Load();
  THiScores scores;
  for (long round = 0; Rounds == 0 || round < Rounds; ++round)
    WriteVersion(static_cast<int>((FirstVersion + round) % 2), scores, round);
  return 0;
}

int CheckFiles(bool Versions) {
  namespace fs = std::filesystem;
  std::vector<std::string> problems;
  auto present = [](const std::string& Name) { return fs::exists(ResolvePath(Name)); };
  for (int mode = 1; mode <= 2; ++mode) {
    const char* name = mode == 1 ? "data/Save1.dat" : "data/Save2.dat";
    if (!Versions && !present(name)) continue;
    problems.push_back(CheckOne(name, [&]() -> std::string {
      Game->Score = -1;
      Game->Mode = 0;
      Game->LoadGame(mode);
      if (Game->Mode != mode) return "not loaded";
      if (!Versions) return "";
      if (Game->Score != SavedScore(0, mode) && Game->Score != SavedScore(1, mode))
        return "score " + std::to_string(Game->Score) + " is neither version's";
      return "";
    }));
  }
  if (Versions || present("data/Hiscores.dat"))
  problems.push_back(CheckOne("Hiscores.dat", [&]() -> std::string {
    std::string bytes;
    if (!ReadWholeFile(ResolvePath("data/Hiscores.dat"), bytes)) return "unreadable";
    THiScores scores;
    const std::string problem = scores.ReadImage(bytes);
    if (!problem.empty()) return problem;
    if (!Versions) return "";
    const std::int32_t top = scores.Entry(1, 1).Score;
    if (top != TableScore(0) && top != TableScore(1)) return "top score " + std::to_string(top) + " is neither version's";
    return "";
  }));
  problems.push_back(CheckOne("settings.reg", [&]() -> std::string {
    TOptions options;
    options.ReadRegistry();
    if (!Versions) return "";
    if (options.SoundVol != SoundVolume(0) && options.SoundVol != SoundVolume(1))
      return "sound volume " + std::to_string(options.SoundVol) + " is neither version's";
    return "";
  }));
  for (int n = 1; n <= (Versions ? 1 : 9); ++n) {
    const std::string name = "Images\\Tutorial\\tut" + std::to_string(n) + ".bmp";
    if (!Versions && !present(name)) continue;
    problems.push_back(CheckOne(name.c_str(), [&]() -> std::string {
      TImage image;
      if (!DecodeImageFile(ResolvePath(name), image)) return "does not decode";
      if (Versions && (image.Width != BitmapWidth || image.Height != BitmapHeight)) return "wrong size";
      return "";
    }));
  }
  int bad = 0;
  for (const std::string& p : problems)
    if (!p.empty()) {
      std::printf("refused: %s\n", p.c_str());
      ++bad;
    }
  std::printf("files checked: %d refused\n", bad);
  return bad ? 1 : 0;
}
