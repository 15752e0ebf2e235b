// Recording: what the window, the keys and the menu hand to the game, in
// order, with the frame times as exact float bits. Changes made to the game
// from outside (the pause dialog setting the end phase, the pause button the
// cursor mode) are noticed at the next call into the game and recorded there,
// so the menu needs no hooks of its own.
#include "replay/game_input.h"

#include <algorithm>
#include <ctime>
#include <filesystem>
#include <memory>
#include <vector>

#include "frontend/cursor.h"
#include "game/game.h"
#include "platform/win32/io_error.h"
#include "platform/win32/paths.h"
#include "platform/win32/random.h"
#include "game/save_text.h"
#include "platform/win32/text_reader.h"
#include "replay/links.h"
#include "replay/playback.h"
#include "replay/state_digest.h"
#include "shell/form_main.h"

namespace replay {

TRecordSettings Recording;

namespace {

std::string LastWritten;

struct TSession {
  TReplay R;
  std::uint8_t LastPhase = 0xFF;   // as the game left it after the last call; 0xFF: not yet known
  std::uint8_t LastCursor = 0xFF;
  double SinceDigest = 0;  // ms of game time since the last state digest
};
std::unique_ptr<TSession> Open;

// Drawn from the program's generator: seeded from the clock in the window,
// by the caller in tests and the headless player, whose runs so stay
// repeatable from their own seed.
std::uint32_t FreshSeed() { return static_cast<std::uint32_t>(RandomReal() * 4294967296.0); }

void Push(TEvent E) { Open->R.Events.push_back(E); }

// Anything set in the game from outside since the last call goes in first.
void NoteOutsideChanges() {
  if (!Game) return;
  if (Game->EndPhase != Open->LastPhase || CursorMode != Open->LastCursor) {
    Push(TEvent{TEventKind::State, Game->EndPhase, CursorMode});
    Open->LastPhase = Game->EndPhase;
    Open->LastCursor = CursorMode;
  }
}

void NoteGameLeftAs() {
  Open->LastPhase = Game->EndPhase;
  Open->LastCursor = CursorMode;
}

std::string DefaultFolder() {
  // Beside the saved games: the folder data/Save1.dat is written to.
  return (std::filesystem::path(WritablePath(SaveFileNames[1])).parent_path() / "Replays").string();
}

std::string WriteReplay(const TReplay& R) {
  namespace fs = std::filesystem;
  const std::string folder = ReplayFolder();
  std::error_code ec;
  fs::create_directories(folder, ec);
  const std::string base = ReplayFileName(R.StartTime, R.Mode, R.FinalScore);
  std::string path = folder + "/" + base;
  for (int n = 2; fs::exists(path, ec); ++n) path = folder + "/" + base.substr(0, base.size() - 4) + "_" + std::to_string(n) + ".vxr";
  AtomicWriteFile(path, EncodeReplay(R));
  LastWritten = path;
  if (Recording.Keep > 0) PruneReplays(folder, Recording.Keep);
  return path;
}

}  // namespace

std::string ReplayFolder() { return Recording.Folder.empty() ? DefaultFolder() : Recording.Folder; }
const std::string& LastReplayWritten() { return LastWritten; }

bool RecordingOpen() { return Open != nullptr; }
const TReplay* OpenRecording() { return Open ? &Open->R : nullptr; }

std::string EndRecording(TEndReason Reason) {
  if (!Open || !Game) {
    Open.reset();
    return {};
  }
  NoteOutsideChanges();
  TReplay& r = Open->R;
  r.FinalScore = Game->Score;
  r.FinalLevel = std::clamp(Game->Level, 1, MaxLevels);
  r.FinalDigest = GameStateDigest(*Game);
  r.End = Reason;
  const std::unique_ptr<TSession> done = std::move(Open);
  LastWritten.clear();  // a failed write must not leave an older game's name behind
  try {
    const std::string path = WriteReplay(done->R);
    if (Recording.Written) Recording.Written(path);
    return path;
  } catch (const std::exception& e) {
    if (Recording.Failed) Recording.Failed(e.what());
    return {};
  }
}

std::string ReplayFileName(std::uint64_t StartTime, int Mode, double Score) {
  const std::time_t t = static_cast<std::time_t>(StartTime);
  std::tm local{};
  localtime_r(&t, &local);
  char date[32];
  std::strftime(date, sizeof date, "%Y-%m-%d_%H-%M-%S", &local);
  const long long points = Score >= 0 && Score < 9e15 ? static_cast<long long>(Score + 0.5) : 0;
  return std::string(date) + "_mode" + std::to_string(Mode) + "_" + std::to_string(points) + ".vxr";
}

void PruneReplays(const std::string& Folder, int Keep) {
  namespace fs = std::filesystem;
  std::error_code ec;
  std::vector<std::string> names;
  for (fs::directory_iterator it(Folder, ec), end; !ec && it != end; it.increment(ec))
    if (it->is_regular_file(ec) && it->path().extension() == ".vxr") names.push_back(it->path().filename().string());
  if (static_cast<int>(names.size()) <= Keep) return;
  std::sort(names.begin(), names.end());
  for (std::size_t k = 0; k + static_cast<std::size_t>(Keep) < names.size(); ++k)
    if (!IsReplayLinked(Folder + "/" + names[k])) fs::remove(Folder + "/" + names[k], ec);
}

}  // namespace replay

using namespace replay;

void ReplayNewGame() {
  if (!Game) return;
  if (Open) EndRecording(GameState == gsGame ? TEndReason::Cut : TEndReason::SavedAndQuit);
  // Without recording the generator runs on as it always did.
  if (!Recording.Enabled || ReplayPlaying()) {
    Game->NewGame();
    return;
  }
  const std::uint32_t seed = FreshSeed();
  {
    Open = std::make_unique<TSession>();
    TReplay& r = Open->R;
    r.GameVersion = GameVersion();
    r.TablesDigest = TablesDigest();
    r.Mode = Game->Mode == 2 ? 2 : 1;
    r.Seed = seed;
    r.StartTime = static_cast<std::uint64_t>(std::time(nullptr));
    r.Start = TStartState{Game->Combo, Game->ItemRequests, Game->MoveUnscored, Game->EndTimer, Game->ShotCell,
                          Game->HoverX,  Game->HoverY,       CursorMode,         CursorX(),     CursorY()};
  }
  RandSeed(seed);
  Game->NewGame();
}

void ReplayLoadGame(int Mode) {
  if (!Game) return;
  const std::string name = SaveFileNames[Mode == 2 ? 2 : 1];
  if (!std::filesystem::exists(ResolvePath(name)) || !Open) {
    Game->LoadGame(Mode);
    if (Open) NoteGameLeftAs();
    return;
  }
  const TTextReader file(name);
  // The game checks the content as it loads; only a loaded one is recorded.
  LoadGameText(*Game, Mode, &file);
  NoteOutsideChanges();
  Open->R.Continued = true;
  Open->R.SaveContent = file.Text();
  // The load replaces the game: a fresh replay would start here, but the
  // generator has moved on since the seed, so the load is an event.
  Push(TEvent{TEventKind::Load, 0, 0});
  NoteGameLeftAs();
}

void GameFrame(float DeltaMs) {
  if (!Game) return;
  if (Open) {
    NoteOutsideChanges();
    std::vector<TEvent>& ev = Open->R.Events;
    const std::uint32_t bits = BitsOf(DeltaMs);
    if (!ev.empty() && ev.back().Kind == TEventKind::Frame && ev.back().A == bits)
      ++ev.back().B;
    else
      Push(TEvent{TEventKind::Frame, bits, 1});
  }
  Game->Update(DeltaMs);
  if (!Open) return;
  NoteGameLeftAs();
  TReplay& r = Open->R;
  ++r.Frames;
  if ((Open->SinceDigest += DeltaMs) >= r.DigestInterval) {
    Open->SinceDigest = 0;
    const std::uint64_t d = GameStateDigest(*Game);
    Push(TEvent{TEventKind::Digest, static_cast<std::uint32_t>(d), static_cast<std::uint32_t>(d >> 32)});
  }
  if (GameState == gsGameOver) EndRecording(TEndReason::GameOver);
}

void GamePointer() {
  if (!Game) return;
  if (Open) {
    NoteOutsideChanges();
    Push(TEvent{TEventKind::Pointer, BitsOf(CursorX()), BitsOf(CursorY())});
  }
  Game->MouseMove();
  if (Open) NoteGameLeftAs();
}

void GamePress(int Button) {
  if (!Game) return;
  if (Open) {
    NoteOutsideChanges();
    Push(TEvent{TEventKind::Press, static_cast<std::uint32_t>(Button), 0});
  }
  Game->MouseDown(Button);
  if (Open) NoteGameLeftAs();
}

void GameRelease(int Button) {
  if (Open && GameState == gsGame) Push(TEvent{TEventKind::Release, static_cast<std::uint32_t>(Button), 0});
}

void GameKey(std::uint16_t Key) {
  if (Open) Push(TEvent{TEventKind::Key, Key, 0});
}

void ReplayIdle(float FrameMs) {
  if (PlaybackIdle(FrameMs)) return;
  if (GameState == gsGame && Game) {
    GameFrame(FrameMs);
    return;
  }
  if (Open && GameState != gsGameOver) EndRecording(TEndReason::SavedAndQuit);
}

void ReplayWindowClosing() {
  if (Open) EndRecording(TEndReason::Closed);
}
