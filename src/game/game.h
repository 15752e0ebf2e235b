// TGame: the one object that holds a whole game — the level table, the board
// and its cubes, the path marks, the bonus figures, the score and the state of
// the running level — and every game operation as a method.
//
// Where the methods live:
//   game.cpp          constructor, destructor, the globals below
//   loading.cpp       LoadResources, ReadLevels, ReadBonusFigures, ClearBoard, NewGame,
//                     StartLevel, NewTurn, SettleWaitingCubes, AnnounceCube, AddItem,
//                     AddItemAt, TakeFreeCell, RemoveFreeCell
//   moves.cpp         CursorOnBoard, CursorCell, IsUnderCursor, MarkNeighbours,
//                     ComputeReach, StepBack, AddDot, ShowPath, MouseMove, MouseDown
//   scoring.cpp       TestSquare, TestBonusFigure, TestFigures, ChooseBonusFigure,
//                     ColouriseFigure, GrantItem
//   save_file.cpp     SaveGame, LoadGame
//   items.cpp         BombBlast, Colorize, ShootColour, IsSpecialKind
//   update.cpp        Update, CheckGameOver, CountPending, CompleteLevel, CountBonusLevel,
//                     RunLevelDone, RunGameOver
//   animations.cpp    Appear, StartWobble, Wobble, StartSpin, Spin, Hover, Select,
//                     MoveAlongPath, ArriveCube, Explode, RemoveCube
//   end_sequences.cpp Scatter, Fly, SweepCamera
//   scene_draw.cpp    DrawGame, DrawBackdrop, TGame::DrawBoard
//   planes.h/.cpp     TBackPlane, TScoreLine, TBonusLight
//
// Every array is indexed from 1 as the game counts (see game_types.h): element 0
// is never used.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "game/game_types.h"
#include "game/score_events.h"
#include "platform/d3d8/d3d8.h"

class TBackPlane;
class TScoreLine;
class TBonusLight;

constexpr int MaxLevels = 100;
constexpr int MaxCubes = 81;
constexpr int MaxFigures = 30;
constexpr int MaxPathLength = 30;  // steps a cube may travel in one move

class TGame {
 public:
  explicit TGame(IDirect3DDevice8* Device);
  ~TGame();
  TGame(const TGame&) = delete;
  TGame& operator=(const TGame&) = delete;

  // ---- Fields of the game, in their fixed order ----------------------------
  IDirect3DDevice8* Device = nullptr;  // held (AddRef) for the life of the object
  std::int32_t Level = 0;              // 1..100; 0 before the first level of a game
  std::int32_t LevelCount = 0;         // levels described by the level file
  std::array<TLevelInfo, MaxLevels + 1> Levels{};  // [1..100]
  double PlayClock = 0;                // ms played in the level
  std::uint8_t Mode = 0;               // 1 or 2
  double Score = 0;
  double PendingScore = 0;             // earned, not yet counted into Score and Progress
  std::int32_t Combo = 0;              // consecutive scoring moves
  std::int32_t CubeCount = 0;          // 0..81; Cubes[1..CubeCount] are live
  std::int32_t Selected = 0;           // selected cube, 0 = none
  std::array<TCube, MaxCubes + 1> Cubes{};  // [1..81]
  TStateCounts StateCount{};           // [1..9] cubes per state slot
  TStateCounts PrevStateCount{};       // the counts as of the previous update
  std::int8_t FreeCount = 0;           // free board cells, 0..81
  std::array<TFreeCell, MaxCubes + 1> FreeCells{};  // [1..FreeCount], any order
  std::int32_t DotCount = 0;           // path marks in use
  std::array<TDot, MaxCubes + 1> Dots{};  // [1..81]: destination first, start cell last
  std::array<std::array<TBoardCell, 10>, 10> Board{};  // Board[X][Y], 1..9
  std::uint8_t HoverX = 0, HoverY = 0;  // board cell under the cursor
  TCellValue ShotCell = 0;              // where the shot item being aimed stood
  std::int32_t BonusFigureCount = 0;    // 0..30
  std::int32_t CurrentFigure = 0;       // 1..BonusFigureCount
  std::array<TBonusFigure, MaxFigures + 1> BonusFigures{};  // [1..30]
  std::int32_t ItemRequests = 0;        // items owed to the player; granted by Update
  bool MoveUnscored = false;            // set at a move's start, cleared by any scoring
  std::uint8_t EndPhase = epPlaying;    // TEndPhase
  double EndTimer = 0;                  // clock of the end sequences
  bool Quiet = false;                   // nothing appears, moves or explodes: input accepted
  bool ResourcesLoaded = false;         // LoadResources has run

  // ---- The running level's own copies of table values ----------------------
  // The level table stays as read: what a run uses up or speeds up lives here
  // and starts afresh with each level start, so a later game or a level
  // replayed after the wrap plays as the table says.
  double DrainRate = 0;                 // mode 2 energy lost per ms, grows with play time
  std::int32_t StonesLeft = 0;          // stones still to place in this level
  // New cubes that found no free cell while the game was not in play (a
  // pause, a level completion); the first update in play announces them
  // again, so a full board still ends the game. At most one turn's worth.
  std::int32_t MissedCubes = 0;
  // The level has been completed, and paid for, and the next one has not
  // started yet: a save then holds the next level, whatever the end phase
  // says by then, so that loading never completes the level a second time.
  bool LevelCompleted = false;

  // The full-screen pictures of the game-over and hints screens, loaded when
  // their screen is drawn (StatePicture) and let go once it is left: each
  // holds 4 MB in a software renderer, and neither shows during a game.
  IDirect3DTexture8* GameOverTexture = nullptr;  // "Images\gameover.jpg"
  IDirect3DTexture8* HelpTexture = nullptr;      // "Images\help.jpg"
  IDirect3DTexture8* StatePicture(bool GameOver);  // else the hints picture
  void ReleaseStatePictures();

  // ---- Resources made once by LoadResources --------------------------------
  // [1] plain (power 10), [2] bomb (power 255), [3] opaque (alpha 1, power 0),
  // [4] score line (power 255).
  std::array<D3DMATERIAL8, 5> Materials{};
  std::array<std::unique_ptr<TBackPlane>, 5> RoomPlanes;  // [0] floor, [1..4] walls
  std::unique_ptr<TBackPlane> Background;   // behind the board
  std::unique_ptr<TBonusLight> BonusLights; // row of lights, LitCount of them shown
  std::unique_ptr<TBonusLight> BonusPlate;  // shown instead of the figure on bonus levels
  std::unique_ptr<TScoreLine> ScoreLine;    // level progress; owns its end cap

  // ---- Who is told what pays (score_events.h); not owned, unset in the game --
  TScoreObserver* ScoreObserver = nullptr;

  TLevelInfo& CurrentLevel() { return Levels[Level >= 1 && Level <= MaxLevels ? Level : 1]; }

  // ---- Loading, level start and turns (loading.cpp) ------------------------
  void LoadResources();
  // The picture files LoadResources loads, for decoding them ahead.
  static std::vector<std::string> ResourcePictures();
  void ReadLevels();
  void ReadBonusFigures();
  void ClearBoard();
  void NewGame();
  void StartLevel();
  void NewTurn();
  void SettleWaitingCubes();
  void AnnounceCube();
  void AddItem(TCubeKind Kind);
  void AddItemAt(TCubeKind Kind, TCellValue Cell);
  TFreeCell TakeFreeCell();
  void RemoveFreeCell(int k);

  // ---- Selection, paths and moves (moves.cpp) ------------------------------
  bool CursorOnBoard() const;
  TCellValue CursorCell() const;
  bool IsUnderCursor(int i) const;
  int MarkNeighbours(int X, int Y, int D);
  void ComputeReach();
  TCellValue StepBack(TCellValue Cell) const;
  void AddDot(TCellValue Cell, std::uint8_t Kind);
  void ShowPath();
  void MouseMove();
  void MouseDown(int Button);  // 0 left, 1 right

  // ---- Figures, scoring and rewards (scoring.cpp) --------------------------
  // The cubes already on their way out (exploding, removing) as a figure
  // test begins: paid for once, they take part in no figure again. Cubes the
  // test itself sets exploding may still be shared, by overlapping squares
  // and by a square and the bonus figure. Without Paid, taken from the board now.
  using TCubeFlags = std::array<bool, MaxCubes + 1>;  // [1..CubeCount]
  TCubeFlags PaidCubes() const;
  bool TestSquare(int X, int Y, const TCubeFlags* Paid = nullptr);
  bool TestBonusFigure(const TCubeFlags* Paid = nullptr);
  void TestFigures();
  void ChooseBonusFigure(bool Announce);
  void ColouriseFigure();
  void GrantItem();
  // Tell the observer, if any, what just paid Points (score_events.h).
  void ReportScore(TScoreKind Kind, double Points);
  void Report(TScoreEvent& Event, double Points);

  // ---- Saved games (save_file.cpp) -----------------------------------------
  void SaveGame();
  void LoadGame(int AMode);
  // Reads and checks the saved game of mode AMode without touching the game:
  // false when there is none; raises EInOutError when it is damaged.
  static bool CheckSavedGame(int AMode);

  // ---- Special items (items.cpp) -------------------------------------------
  void BombBlast(int X, int Y);
  void Colorize(int X, int Y, int Colour);  // Colour 0..6 (item kind - 11)
  void ShootColour(TCubeKind Kind);

  // ---- Per-frame update (update.cpp) ---------------------------------------
  void Update(float DeltaMs);
  bool CheckGameOver(bool BoardFullTest);
  void CountPending(bool Instant, float DeltaMs);
  void CompleteLevel();
  void CountBonusLevel();          // bonus count of a finished bonus level
  void RunLevelDone(float DeltaMs);  // one update of the level-completed sequence
  void RunGameOver(float DeltaMs);   // one update of the game-over sequence

  // ---- Cube animations and states (animations.cpp) -------------------------
  void SetCubeState(int i, std::uint8_t State) { ChangeCubeState(Cubes[i], State, StateCount); }
  void Appear(int i, float DeltaMs);
  void StartWobble(int i);
  void Wobble(int i, float DeltaMs);
  void StartSpin(int i);
  void Spin(int i, float DeltaMs);
  void Hover(int i, float DeltaMs);
  void Select(int i);
  void MoveAlongPath(int i, float DeltaMs);
  void ArriveCube(int i);  // the moving cube reached Dots[1]
  void Explode(int i, float DeltaMs);
  void RemoveCube(int i);

  // ---- End-of-level flight and camera sweep (end_sequences.cpp) ------------
  void Scatter(int Pattern);
  void Fly(float DeltaMs);  // one frame of flight
  void SweepCamera(float T);

  // ---- Drawing (scene_draw.cpp) ---------------------------------------------
  void DrawBoard();
};

// Items other than the seven plain colours: jokers, bombs, shots, colorize
// items and stones (items.cpp).
bool IsSpecialKind(TCubeKind Kind);

// The game scene and the full-screen pictures (scene_draw.cpp).
void DrawGame();
// A number as the board shows it: rounded, clamped to what a long long holds.
std::string RoundedText(double Value);
void DrawBackdrop();

// A label the level-completed sequence shows later. Slots [1..2].
struct TDelayedScoreLabel {
  std::uint8_t Active = 0;
  D3DVECTOR Position{};
  std::string Text;
};
extern std::array<TDelayedScoreLabel, 3> DelayedLabels;

// The game's sounds by number (PlaySound / StopSound).
enum TGameSound : int {
  sndNewLevel = 0, sndBonusLevel = 1, sndNewTurn = 2, sndFlyingBy = 3, sndBonusLevelDone = 4,
  sndSelectCube = 5, sndMoveCube = 6, sndMoveBomb = 7, sndMoved = 8, sndFigureDone = 9,
  sndDouble = 10, sndTriple = 11, sndQuadro = 12, sndExcellent = 13, sndVoxarine = 14,
  sndExplodeBomb = 15, sndColorize = 16, sndShot = 17, sndShowBonus = 18, sndGameOver = 19,
  sndSelected = 24,  // loops while a cube is selected
  sndTimeUp = 25, sndMessage = 26,
};

extern std::unique_ptr<TGame> Game;

// Cube textures: [0..17] by TextureIndex(kind), loaded from the chosen skin by
// the menu's game start; [18..20] the path mark textures (mark kind 1..3).
constexpr int CubeTextureCount = 21;
extern std::array<IDirect3DTexture8*, CubeTextureCount> CubeTextures;

// The saved game of each mode, [1..2].
extern const std::array<std::string, 3> SaveFileNames;
// What the player is told when SaveGame failed: the game was not saved, why
// (naming the file), and that an older save is left as it was.
std::string GameNotSavedText(const std::string& Why);
