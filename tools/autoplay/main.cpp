// voxarine-autoplay: plays whole games headless, through the same entry
// points the game window uses (MoveCursor with window pixels, MouseMove,
// MouseDown, Update with frame times), checks the game's invariants after
// every update, and prints what each game and level took.
//
//   voxarine-autoplay [--games N] [--seed S] [--mode 1|2] [--frames fixed|random] [--frame-ms MS]
//                     [--levels FILE] [--figures FILE] [--game-dir DIR]
//                     [--max-moves N] [--input mouse|keys] [--quiet] [--record DIR]
//   voxarine-autoplay --replay FILE|DIR... [--verify]
//
// With --record every game is kept as a replay in DIR (a game with a
// violation is named in the report); --replay plays replays headless and
// prints each end, --verify also holds it to the file's own.
//
// With --input keys every action goes through the keyboard path only: the
// arrow keys walk the board cursor to a cell, Enter clicks, Backspace
// right-clicks, as a player without a mouse does. Without --mode the games alternate between the modes; without --frames they
// alternate between a steady 16 ms and random frames of 1..50 ms; --frame-ms
// makes every frame MS long (33 for 30 frames a second, 4 for an uncapped
// 250), to compare the game at different paces. The last
// line reads "games: N, violations: V"; the exit code is 1 when V > 0.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <random>
#include <string>
#include <vector>

#include "audio/sounds.h"
#include "effects/particles.h"
#include "file_writes.h"
#include "frontend/cursor.h"
#include "frontend/labels.h"
#include "frontend/menu.h"
#include "frontend/menu3d.h"
#include "game/figure_file.h"
#include "game/game.h"
#include "game/level_file.h"
#include "game/planes.h"
#include "invariants.h"
#include "ledger.h"
#include "platform/d3d8/d3d8.h"
#include "platform/win32/io_error.h"
#include "platform/win32/message_box.h"
#include "platform/win32/paths.h"
#include "platform/win32/virtual_keys.h"
#include "platform/win32/random.h"
#include "shell/form_main.h"
#include "shell/input.h"
#include "shell/scene.h"
#include "replay/game_input.h"
#include "replays.h"
#include "strategy.h"

namespace {

constexpr int WindowWidth = 800;  // back buffer of the recording device
constexpr int WindowHeight = 600;
int ClientWidth = WindowWidth, ClientHeight = WindowHeight;  // the window's, once it exists

struct TOptionsCli {
  int Games = 10;
  std::uint32_t Seed = 1;
  int Mode = 0;        // 0 = alternate
  int Frames = 0;      // 0 = alternate, 1 fixed, 2 random
  int FrameMs = 16;    // the fixed frames' length
  std::string Levels, Figures, GameDir;
  int MaxMoves = 3000;  // a game that goes on for ever is cut here
  bool Quiet = false;
  bool Keys = false;  // --input keys
  std::string Files;      // --files: a game folder kept after the run
  long WriteRounds = -1;  // --write-files (0: until killed)
  int FirstVersion = 0;
  bool CheckFiles = false;
  bool AnyContent = false;  // --read-files: any content the readers take
  std::string Record;       // --record DIR
  std::vector<std::string> Replays;  // --replay
  bool Verify = false;
};

struct TLevelRecord {
  int Level = 0;
  int Moves = 0;
  double Ms = 0;
};

struct TGameRecord {
  int Mode = 0;
  int StartLevel = 1, LevelsCompleted = 0, LastLevel = 0;
  double Score = 0;
  int Moves = 0;
  double Ms = 0;
  std::string Cause;
  std::vector<TLevelRecord> Levels;
  bool Violation = false;
};

// The usage, after Why on stderr (status 2); with no Why, asked for: on stdout, status 0.
[[noreturn]] void Usage(const std::string& Why) {
  std::ostream& out = Why.empty() ? std::cout : std::cerr;
  if (!Why.empty()) out << "voxarine-autoplay: " << Why << "\n";
  out << "usage: voxarine-autoplay [--games N] [--seed S] [--mode 1|2] [--frames fixed|random] [--frame-ms MS]\n"
      << "                         [--levels FILE] [--figures FILE] [--game-dir DIR] [--max-moves N]\n"
      << "                         [--input mouse|keys] [--quiet] [--record DIR]\n"
      << "       voxarine-autoplay --replay FILE|DIR [--replay ...] [--verify]\n"
      << "       voxarine-autoplay --files DIR (--write-files ROUNDS [--first-version V] | --check-files | --read-files)\n";
  std::exit(Why.empty() ? 0 : 2);
}

TOptionsCli ParseArgs(int argc, char** argv) {
  TOptionsCli o;
  for (int a = 1; a < argc; ++a) {
    const std::string arg = argv[a];
    auto value = [&]() -> std::string {
      if (a + 1 >= argc) Usage(arg + " needs a value");
      return argv[++a];
    };
    auto number = [&](long Min, long Max) {
      const std::string v = value();
      char* end = nullptr;
      const long n = std::strtol(v.c_str(), &end, 10);
      if (v.empty() || *end != '\0' || n < Min || n > Max) Usage(arg + ": bad value \"" + v + "\"");
      return n;
    };
    if (arg == "--games") o.Games = static_cast<int>(number(0, 10000000));
    else if (arg == "--seed") o.Seed = static_cast<std::uint32_t>(number(0, 4294967295L));
    else if (arg == "--mode") o.Mode = static_cast<int>(number(1, 2));
    else if (arg == "--frames") {
      const std::string v = value();
      if (v == "fixed") o.Frames = 1;
      else if (v == "random") o.Frames = 2;
      else if (v == "mixed") o.Frames = 0;
      else Usage("--frames: fixed, random or mixed");
    } else if (arg == "--frame-ms") {
      o.FrameMs = static_cast<int>(number(1, 1000));
      o.Frames = 1;
    } else if (arg == "--levels") o.Levels = value();
    else if (arg == "--figures") o.Figures = value();
    else if (arg == "--game-dir") o.GameDir = value();
    else if (arg == "--max-moves") o.MaxMoves = static_cast<int>(number(1, 100000000));
    else if (arg == "--quiet") o.Quiet = true;
    else if (arg == "--input") {
      const std::string v = value();
      if (v == "keys") o.Keys = true;
      else if (v != "mouse") Usage("--input: mouse or keys");
    }
    else if (arg == "--files") o.Files = value();
    else if (arg == "--write-files") o.WriteRounds = number(0, 100000000);
    else if (arg == "--first-version") o.FirstVersion = static_cast<int>(number(0, 1));
    else if (arg == "--check-files") o.CheckFiles = true;
    else if (arg == "--read-files") o.CheckFiles = o.AnyContent = true;
    else if (arg == "--record") o.Record = value();
    else if (arg == "--replay") o.Replays.push_back(value());
    else if (arg == "--verify") o.Verify = true;
    else if (arg == "-h" || arg == "--help") Usage("");
    else Usage("unknown option " + arg);
  }
  return o;
}

// The game folder: --game-dir, else the build's game folder beside tools/.
std::string FindGameDir(const TOptionsCli& O, const char* Argv0) {
  namespace fs = std::filesystem;
  if (!O.GameDir.empty()) return O.GameDir;
  std::error_code ec;
  const fs::path exe = fs::canonical("/proc/self/exe", ec);
  const fs::path base = ec ? fs::path(Argv0).parent_path() : exe.parent_path();
  for (const fs::path& candidate : {base / "game", base.parent_path() / "game", fs::current_path()})
    if (fs::exists(candidate / "data" / "Levels.dat")) return candidate.string();
  return (base.parent_path() / "game").string();
}

IDirect3DDevice8* MakeDevice() {
  D3D8SelectBackend(TD3D8Backend::Recording);
  IDirect3D8* d3d = Direct3DCreate8(D3D_SDK_VERSION);
  if (!d3d) return nullptr;
  D3DPRESENT_PARAMETERS pp{};
  pp.Windowed = TRUE;
  pp.BackBufferWidth = WindowWidth;
  pp.BackBufferHeight = WindowHeight;
  IDirect3DDevice8* device = nullptr;
  d3d->CreateDevice(0, D3DDEVTYPE_HAL, nullptr, 0, &pp, &device);
  d3d->Release();
  return device;
}

// Window pixel of a board point: the inverse of the cursor's mapping (the
// window's left edge is world x = -1.8 + 7.225, its top edge y = -0.25 + 5.41875).
int PixelX(float X) { return static_cast<int>(std::lround((0.5 - (X + 1.8) / 14.45) * ClientWidth)); }
int PixelY(float Y) { return static_cast<int>(std::lround((0.5 - (Y + 0.25) / 10.8375) * ClientHeight)); }

void PointAt(float X, float Y) {
  MoveCursor(PixelX(X), PixelY(Y));
  if (GameState == gsGame) GamePointer();
}

// A left click on a menu item through the window, as a player's mouse makes
// it: the pointer moves there, the button goes down and up.
void ClickMenuItem(int Page, int Item) {
  const D3DVECTOR p = Menu->Item(Page, Item).HomePose.Position;
  FormMain->FormMouseMove(PixelX(p.x), PixelY(p.y));
  FormMain->FormMouseDown(0);
  FormMain->FormMouseUp(0);
}

constexpr int PauseButton = 1;    // the one item of the page shown during play
constexpr int PauseSaveQuit = 2;  // the pause page's "Save and quit"
constexpr int PauseContinue = 3;
constexpr int OfferContinue = 2;  // the saved-game offer's "Continue it"

void PointAtCell(int X, int Y) { PointAt(X - 5.0f, Y - 5.0f); }

// What the menu does when a game starts.
void StartGame(int Mode) {
  Game->Level = 1;
  Game->ClearBoard();
  Game->Levels[1].Progress = 0;
  if (Game->ScoreLine) Game->ScoreLine->Fill = Game->ScoreLine->StartFill = 0;
  Game->Mode = static_cast<std::uint8_t>(Mode);
  ReplayNewGame();  // recorded with --record
  GameState = gsGame;
  Game->EndPhase = epPlaying;
  if (Menu) Menu->SetPage(mpPlaying);
}

// The board as one line of rows from the top: '.' empty, kinds as letters.
std::string BoardPicture(const TGame& G) {
  std::string rows;
  for (int Y = 9; Y >= 1; --Y) {
    for (int X = 1; X <= 9; ++X) {
      char ch = '.';
      for (int i = 1; i <= G.CubeCount; ++i)
        if (G.Cubes[i].X == X && G.Cubes[i].Y == Y)
          ch = static_cast<char>(G.Cubes[i].State == csWaiting ? 'a' + G.Cubes[i].Kind - 1 : 'A' + G.Cubes[i].Kind - 1);
      rows += ch;
    }
    if (Y > 1) rows += '/';
  }
  return rows;
}

class TPlayer {
 public:
  TPlayer(const TOptionsCli& O, std::mt19937& Rng) : Opt(O), Rng(Rng) {}

  // The player's hand: the mouse (pointer moves, button presses) or the
  // keyboard (arrows to the cell, Enter, Backspace). False when the keys
  // could not bring the board cursor to the cell.
  bool Point(int X, int Y) {
    if (!Opt.Keys) {
      PointAtCell(X, Y);
      return true;
    }
    // The first arrow only brings the board cursor up where the pointer is.
    if (!BoardCursor.Shown) FormMain->FormKeyDown(VK_UP);
    for (int guard = 0; guard < 20 && (BoardCursor.X != X || BoardCursor.Y != Y); ++guard) {
      // Screen directions: Left is one column up, Up one row up.
      if (BoardCursor.X < X) FormMain->FormKeyDown(VK_LEFT);
      else if (BoardCursor.X > X) FormMain->FormKeyDown(VK_RIGHT);
      else if (BoardCursor.Y < Y) FormMain->FormKeyDown(VK_UP);
      else FormMain->FormKeyDown(VK_DOWN);
    }
    return BoardCursor.X == X && BoardCursor.Y == Y;
  }
  void Click(int Button) {
    if (Opt.Keys)
      FormMain->FormKeyDown(Button == 0 ? VK_RETURN : VK_BACK);
    else
      GamePress(Button);
  }

  TGameRecord Play(int Mode, bool RandomFrames, float FrameMs) {
    TGameRecord rec;
    rec.Mode = Mode;
    Ledger.Reset();
    Game->ScoreObserver = &Ledger;
    EndPauseAt = -1;
    WasEnding = false;
    StartGame(Mode);
    rec.Score = PlayOn(rec, RandomFrames, FrameMs);
    Game->ScoreObserver = nullptr;
    for (std::size_t k = 0; k < Events.size(); ++k) Events[k] += Ledger.Count[k];
    for (std::size_t k = 0; k < Items.size(); ++k) Items[k] += Ledger.Items[k];
    return rec;
  }

  std::array<long, 6> Events{};  // scoring events of all games, by kind
  std::array<long, 4> Items{};   // item payments of all games, by TItemKind
  long Pauses = 0, EndPauses = 0, Reloads = 0;

 private:
  double PlayOn(TGameRecord& rec, bool RandomFrames, float FrameMs) {
    int level = Game->Level;
    TLevelRecord current{level, 0, 0};
    double sinceQuiet = 0;
    double sinceMove = 0;
    double stuckMs = 0;     // ms of play without a move the game accepted
    int pendingAction = 0;  // frames to wait before the next input
    TPlan plan;
    int step = 0;  // 0 choose, 1 cube clicked, 2 destination clicked; 10+ aiming

    for (;;) {
      const float dt = RandomFrames ? static_cast<float>(1 + Rng() % 50) : FrameMs;
      GameFrame(dt);
      rec.Ms += dt;
      current.Ms += dt;
      if (const std::string why = autoplay::CheckInvariants(*Game); !why.empty()) {
        rec.Violation = true;
        rec.Cause = "invariant violated at level " + std::to_string(Game->Level) + ", move " +
                    std::to_string(rec.Moves) + ": " + why;
        break;
      }
      if (const std::string why = Ledger.Check(*Game); !why.empty()) {
        rec.Violation = true;
        rec.Cause = "at level " + std::to_string(Game->Level) + ", move " + std::to_string(rec.Moves) + ": " + why;
        break;
      }
      if (GameState == gsGameOver) {
        rec.Cause = (Game->Mode == 2 && Game->Levels[Game->Level].Progress < 0) ? "energy ran out" : "board full";
        break;
      }
      if (Game->Level != level) {
        rec.Levels.push_back(current);
        ++rec.LevelsCompleted;
        level = Game->Level;
        current = TLevelRecord{level, 0, 0};
        step = 0;
      }
      rec.LastLevel = Game->Level;

      if (Game->Quiet || Game->EndPhase != epPlaying)
        sinceQuiet = 0;
      else if ((sinceQuiet += dt) > 60000) {
        rec.Violation = true;
        rec.Cause = "stalled: no quiet moment for a minute at level " + std::to_string(Game->Level);
        break;
      }
      sinceMove += dt;
      if (sinceMove > 600000) {
        rec.Violation = true;
        rec.Cause = "no move accepted for ten minutes at level " + std::to_string(Game->Level);
        break;
      }
      if (rec.Moves >= Opt.MaxMoves) {
        rec.Cause = "move limit";
        break;
      }
      if (Menu && step == 0 && CursorMode != 3) {
        const std::string why = UsePauseButton(dt);
        if (!why.empty()) {
          rec.Violation = true;
          rec.Cause = "at level " + std::to_string(Game->Level) + ": " + why;
          break;
        }
        if (GameState != gsGame || Game->EndPhase == epPaused) continue;
      }
      if (Game->EndPhase != epPlaying || !Game->Quiet) continue;
      if (pendingAction > 0) {
        --pendingAction;
        continue;
      }
      pendingAction = static_cast<int>(Rng() % 3);

      if (CursorMode == 3) {
        // Aiming a shot: point at a cube of the most common colour until it
        // spins under the cursor, then fire.
        const int target = ShotTarget(*Game);
        if (target == 0) {
          Click(1);  // nothing worth shooting: put the shot back
          continue;
        }
        const TCube& c = Game->Cubes[target];
        if (!Point(c.X, c.Y)) {
          rec.Violation = true;
          rec.Cause = "the board cursor did not reach a cell";
          break;
        }
        if (c.State == csSpinning) {
          Click(0);
          sinceMove = 0;
        }
        continue;
      }

      if (step == 0) {
        plan = ChoosePlan(*Game, Rng);
        if (plan.Cube == 0) {
          // Nothing to move can be a passing moment (a new turn is on its
          // way); only a lasting one ends the game.
          if (!AnyCubeMovable(*Game) && (stuckMs += dt) > 5000) {
            rec.Cause = "no move possible (" + BoardPicture(*Game) + ")";
            break;
          }
          continue;
        }
        stuckMs = 0;
        const TCube& c = Game->Cubes[plan.Cube];
        if (!Point(c.X, c.Y)) {
          rec.Violation = true;
          rec.Cause = "the board cursor did not reach a cell";
          break;
        }
        Click(0);
        if (Game->Selected == 0) {
          step = 0;  // a shot item went off (aiming next) or the click missed
          continue;
        }
        step = 1;
      } else if (step == 1) {
        if (!Point(plan.ToX, plan.ToY)) {
          rec.Violation = true;
          rec.Cause = "the board cursor did not reach a cell";
          break;
        }
        if (Game->DotCount == 0 || Game->Dots[1].Kind != 2) {
          Click(1);  // the plan went stale: let go and think again
          step = 0;
          continue;
        }
        Click(0);
        if (Game->StateCount[StateSlot(csMoving)] > 0) {
          sinceMove = 0;
          ++rec.Moves;
          ++current.Moves;
        }
        step = 0;
      }
    }
    return Game->Score;
  }

  // The pause button, used as a restless player does: now and then in play,
  // and in a third of the levels' ends (where it must do nothing). From the
  // pause page the player goes on by the button or the pause key, or saves,
  // quits and continues the saved game. Returns a violation, if any.
  std::string UsePauseButton(float Dt) {
    if (GameState != gsGame) return {};
    if (Game->EndPhase == epPaused && Menu->CurrentPage == mpPause) {
      if (PauseWait > 0) {
        --PauseWait;
        return {};
      }
      const int how = static_cast<int>(Rng() % 8);
      if (how == 0) return SaveAndContinue();
      if (how <= 2)
        FormMain->FormKeyDown(VK_ESCAPE);  // the pause key undoes the pause
      else
        ClickMenuItem(mpPause, PauseContinue);
      return {};
    }
    const bool ending = Game->EndPhase == epLevelDone;
    if (ending && !WasEnding) {
      EndPauseAt = Rng() % 3 == 0 ? static_cast<double>(Rng() % 600) : -1;
      EndClock = 0;
    }
    WasEnding = ending;
    if (ending && EndPauseAt >= 0 && (EndClock += Dt) >= EndPauseAt) {
      EndPauseAt = -1;
      ++EndPauses;
      PressPause();
    } else if (Game->EndPhase == epPlaying && Rng() % 2000 == 0) {
      ++Pauses;
      PressPause();
    }
    return {};
  }

  void PressPause() {
    // With the keys, the pause keys too: they may pause only in play.
    if (Opt.Keys && Rng() % 2 == 0)
      FormMain->FormKeyDown(Rng() % 2 == 0 ? VK_ESCAPE : 'P');
    else
      ClickMenuItem(mpPlaying, PauseButton);
    PauseWait = static_cast<int>(Rng() % 20);
  }

  // "Save and quit", then the game's own start offers the saved game and the
  // player continues it; the ledger holds the loaded game to what was saved.
  std::string SaveAndContinue() {
    ++Reloads;
    Ledger.Saved(*Game);
    MessageBoxCalls.clear();
    ClickMenuItem(mpPause, PauseSaveQuit);
    if (GameState != gsMenu) return "\"Save and quit\" did not go back to the menu";
    Game->ScoreObserver = nullptr;  // the menu's start makes a fresh game first
    ::StartGame();
    if (Menu->CurrentPage != mpSavedGame) return "the saved game was not offered";
    ClickMenuItem(mpSavedGame, OfferContinue);
    Game->ScoreObserver = &Ledger;
    if (!MessageBoxCalls.empty()) return "continuing the saved game: " + MessageBoxCalls.front().Text;
    if (GameState != gsGame || Game->EndPhase != epPlaying) return "the saved game did not continue";
    Ledger.Loaded(*Game);
    return {};
  }

  const TOptionsCli& Opt;
  std::mt19937& Rng;
  autoplay::TScoreLedger Ledger;
  int PauseWait = 0;
  double EndPauseAt = -1, EndClock = 0;
  bool WasEnding = false;
};

double Median(std::vector<double> V) {
  if (V.empty()) return 0;
  std::sort(V.begin(), V.end());
  const std::size_t n = V.size();
  return n % 2 ? V[n / 2] : (V[n / 2 - 1] + V[n / 2]) / 2;
}

int PlayAll(const TOptionsCli& opt);

TLevelTable PristineLevels() {
  TLevelTable t;
  std::copy(Game->Levels.begin(), Game->Levels.end(), t.begin());
  return t;
}

}  // namespace

int main(int argc, char** argv) {
  namespace fs = std::filesystem;
  const TOptionsCli opt = ParseArgs(argc, argv);
  // No display and no sound: the dummy drivers stand in for them.
  setenv("SDL_VIDEODRIVER", "dummy", 0);
  setenv("SDL_AUDIODRIVER", "dummy", 0);

  // The games run in a throw-away game folder holding only the data tables,
  // so that the debug log and saved games never touch a real installation.
  const std::string sourceDir = FindGameDir(opt, argv[0]);
  const bool filesRun = !opt.Files.empty();
  if (filesRun != (opt.WriteRounds >= 0 || opt.CheckFiles)) Usage("--files goes with --write-files or --check-files");
  const fs::path work = filesRun ? fs::path(opt.Files)
                                 : fs::temp_directory_path() / ("voxarine-autoplay-" + std::to_string(::getpid()));
  std::error_code ec;
  fs::create_directories(work / "data");
  fs::create_directories(work / "user");
  const std::string levels = opt.Levels.empty() ? sourceDir + "/data/Levels.dat" : opt.Levels;
  const std::string figures = opt.Figures.empty() ? sourceDir + "/data/BonusFigures.dat" : opt.Figures;
  fs::copy_file(levels, work / "data" / "Levels.dat",
                filesRun ? fs::copy_options::skip_existing : fs::copy_options::overwrite_existing, ec);
  if (ec) {
    std::cerr << "voxarine-autoplay: cannot read \"" << levels << "\": " << ec.message() << "\n";
    return 2;
  }
  // The menu gives the pause button and pages their places; without it the
  // player never pauses.
  const bool withMenu =
      !filesRun && fs::copy_file(sourceDir + "/data/Menu.dat", work / "data" / "Menu.dat",
                                 fs::copy_options::overwrite_existing, ec);
  fs::copy_file(figures, work / "data" / "BonusFigures.dat",
                filesRun ? fs::copy_options::skip_existing : fs::copy_options::overwrite_existing, ec);
  if (ec) {
    std::cerr << "voxarine-autoplay: cannot read \"" << figures << "\": " << ec.message() << "\n";
    return 2;
  }
  SetGameFolder(work.string());
  SetUserDataFolder((work / "user").string());

  IDirect3DDevice8* device = MakeDevice();
  if (!device) {
    std::cerr << "voxarine-autoplay: no recording device\n";
    return 2;
  }
  int status = 2;
  try {
    FormMain = std::make_unique<TFormMain>();  // windowless: gives the client size
    D3DDevice = device;
    CreateCursor();
    ClientWidth = FormMain->ClientWidth();
    ClientHeight = FormMain->ClientHeight();
    Game = std::make_unique<TGame>(device);
    Game->LoadResources();
    if (withMenu) LoadMenu();
    MessageBoxRecording = true;  // a message would name a fault: the player reports it
    // Keys reach the game through the window's key handler, which a click
    // goes through too: it must take part as an active window does.
    FormMain->Active = true;
    if (!opt.Replays.empty()) status = PlayReplays(opt.Replays, opt.Verify, PristineLevels());
    else if (opt.CheckFiles) status = CheckFiles(!opt.AnyContent);
    else if (filesRun) status = WriteFiles(opt.WriteRounds, opt.FirstVersion);
    else status = PlayAll(opt);
  } catch (const std::exception& e) {
    std::cerr << "voxarine-autoplay: " << e.what() << "\n";
  }
  Game.reset();
  Menu.reset();
  FreeCursor();
  D3DDevice = nullptr;
  FormMain.reset();
  SafeRelease(device);
  if (!filesRun) fs::remove_all(work, ec);
  return status;
}

namespace {
int PlayAll(const TOptionsCli& opt) {
  const TLevelTable pristine = PristineLevels();
  std::string written;  // the last replay written (--record)
  if (!opt.Record.empty()) {
    replay::Recording.Enabled = true;
    replay::Recording.Folder = opt.Record;
    replay::Recording.Keep = 0;
    replay::Recording.Written = [&written](const std::string& Path) { written = Path; };
    replay::Recording.Failed = [](const std::string& Why) { std::printf("replay not written: %s\n", Why.c_str()); };
  }

  std::mt19937 rng(opt.Seed);
  TPlayer player(opt, rng);
  int violations = 0;
  std::vector<double> movesPerLevel;
  int levelsStarted = 0, levelsCompleted = 0;
  double playMs = 0, moves = 0;  // game time and moves of all games: the game's pace per move
  int reached[3][3] = {};  // [mode][5, 10, 20]
  int gamesPerMode[3] = {};

  for (int g = 1; g <= opt.Games; ++g) {
    const int mode = opt.Mode ? opt.Mode : (g % 2 ? 1 : 2);
    const bool randomFrames = opt.Frames ? opt.Frames == 2 : g % 4 >= 2;
    // Each game starts from the table as read: levels consume their stones.
    std::copy(pristine.begin(), pristine.end(), Game->Levels.begin());
    RandSeed(opt.Seed * 7919u + static_cast<std::uint32_t>(g));
    AudioRecording = false;
    written.clear();
    const TGameRecord rec = player.Play(mode, randomFrames, static_cast<float>(opt.FrameMs));
    replay::EndRecording(replay::TEndReason::Cut);  // a game not lost ends here
    ClearAllParticles();
    ClearScoreLabels();

    ++gamesPerMode[mode];
    const int reachedLevel = rec.LevelsCompleted + 1;
    if (reachedLevel >= 5) ++reached[mode][0];
    if (reachedLevel >= 10) ++reached[mode][1];
    if (reachedLevel >= 20) ++reached[mode][2];
    levelsStarted += rec.LevelsCompleted + 1;
    levelsCompleted += rec.LevelsCompleted;
    playMs += rec.Ms;
    moves += rec.Moves;
    for (const TLevelRecord& l : rec.Levels) movesPerLevel.push_back(l.Moves);
    if (rec.Violation) ++violations;

    if (!opt.Quiet || rec.Violation) {
      std::printf("game %d: mode %d, %s frames, levels reached %d (completed %d), score %.0f, moves %d, "
                  "time %.1f s, end: %s\n",
                  g, mode, randomFrames ? "random" : "fixed", reachedLevel, rec.LevelsCompleted, rec.Score,
                  rec.Moves, rec.Ms / 1000, rec.Cause.c_str());
      if (!opt.Quiet)
        for (const TLevelRecord& l : rec.Levels)
          std::printf("  level %d: %d moves, %.1f s\n", l.Level, l.Moves, l.Ms / 1000);
    }
    if (rec.Violation && !written.empty()) std::printf("  replay: %s\n", written.c_str());
    if (rec.Violation) break;  // stop at the first violation, with its report above
  }

  std::printf("levels completed: %d of %d started (%.1f%%), median moves per completed level: %.1f\n",
              levelsCompleted, levelsStarted, levelsStarted ? 100.0 * levelsCompleted / levelsStarted : 0.0,
              Median(movesPerLevel));
  for (int m = 1; m <= 2; ++m)
    if (gamesPerMode[m])
      std::printf("mode %d: %d games, reaching level 5: %d, level 10: %d, level 20: %d\n", m, gamesPerMode[m],
                  reached[m][0], reached[m][1], reached[m][2]);
  std::printf("game time per move: %.3f s\n", moves > 0 ? playMs / moves / 1000 : 0.0);
  const int played = [&] { return gamesPerMode[1] + gamesPerMode[2]; }();
  const auto& e = player.Events;
  std::printf("score ledger: %ld square tests, %ld figures, %ld items (%ld bombs, %ld colorize, %ld shots), "
              "%ld bonus-level counts, %ld level ends; "
              "pauses: %ld in play, %ld during a level's end, %ld saved and continued\n",
              e[skSquares], e[skFigure], e[skItem], player.Items[ikBomb], player.Items[ikColorize],
              player.Items[ikShot], e[skBonusLevel], e[skLevelEnd], player.Pauses,
              player.EndPauses, player.Reloads);
  std::printf("games: %d, violations: %d\n", played, violations);
  return violations > 0 ? 1 : 0;
}
}  // namespace
