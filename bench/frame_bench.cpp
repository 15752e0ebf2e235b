// One frame of a game in play — TGame::Update and RenderFrame — on the
// recording device (the CPU cost of the game and the drawing code) and on the
// OpenGL device under a display (what llvmpipe adds). Needs the built game folder.
#include <benchmark/benchmark.h>

#include <SDL.h>
#if __has_include(<valgrind/callgrind.h>)
#include <valgrind/callgrind.h>
#else
#define CALLGRIND_ZERO_STATS
#define CALLGRIND_DUMP_STATS_AT(name)
#endif

#include <cmath>
#include <filesystem>

#include "effects/particles.h"
#include "frontend/fonts.h"
#include "frontend/labels.h"
#include "frontend/menu.h"
#include "frontend/menu3d.h"
#include "bench_scene.h"
#include "game/game.h"
#include "platform/d3d8/gl/gl_device.h"
#include "platform/d3d8/record/record_device.h"
#include "platform/win32/paths.h"
#include "shell/form_main.h"
#include "shell/options.h"
#include "shell/scene.h"

namespace {

SDL_Window* Window = nullptr;

// A path of 30 marks snaking over the board (the longest a move may take).
void ShowLongPath() {
  Game->DotCount = 0;
  for (int i = 0; i < MaxPathLength; ++i) {
    const int row = i / 9, column = i % 9;
    Game->AddDot(MakeCell(row % 2 == 0 ? column + 1 : 9 - column, row + 1), i == 0 ? 2 : 1);
  }
}

// What a bomb leaves when it goes off, as the game makes it: 72 flames and 72 sparks.
void BombBurst() {
  for (int j = 1; j <= 72; ++j) {
    const float a = static_cast<float>(j) * 3.14159265f / 18;
    AddParticle(ParticleLists[2], 3, D3DVECTOR{1, 1, 1}, D3DVECTOR{24 * std::sin(a), 24 * std::cos(a), 0}, 256);
    AddParticle(ParticleLists[2], 2, D3DVECTOR{1, 1, 1}, D3DVECTOR{0.3f * j - 10, 10 - 0.3f * j, 0}, 256);
  }
}

// A burning fuse gives 17 sparks a frame.
void FuseSparks() {
  for (int n = 0; n < 17; ++n)
    AddParticle(ParticleLists[4], 5, D3DVECTOR{-2.3f, 1.5f, 0.85f},
                D3DVECTOR{1.5f * n - 12, 12 - 1.5f * n, 0.7f * n - 6}, 256);
}

// A game of mode 1 with every free cell filled, a long path shown, a bomb
// going off, a fuse burning and 20 labels afloat.
bool SetUpGame(TD3D8Backend backend) {
  const std::string game = VOXARINE_GAME_DIR;
  if (!std::filesystem::exists(game + "/data/Levels.dat")) return false;
  SetGameFolder(game);
  SetUserDataFolder((std::filesystem::temp_directory_path() / "voxarine-bench").string());
  D3D8SelectBackend(backend);
  if (backend == TD3D8Backend::OpenGL) {
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) return false;
    D3D8PrepareWindowAttributes();
    Window = SDL_CreateWindow("bench", 0, 0, 800, 600, SDL_WINDOW_OPENGL);
    if (!Window) return false;
  }
  if (!OpenBenchScene(Window)) return false;
  Game->Mode = 1;
  StartGame();
  Game->EndPhase = epPlaying;
  while (Game->FreeCount > 1) Game->AddItemAt(static_cast<TCubeKind>(1 + Game->FreeCount % 7),
                                              MakeCell(Game->FreeCells[1].X, Game->FreeCells[1].Y));
  for (int i = 0; i < 20; ++i) AddScoreLabel(D3DVECTOR{-4.0f + i * 0.4f, 0, 1}, 2, 2, 14, "+120");
  ShowLongPath();
  BombBurst();
  GameState = gsGame;
  return true;
}

void TearDownGame() {
  Game.reset();
  Menu.reset();
  SafeRelease(MenuBackground);
  ReleaseGraphics();
  if (Window) SDL_DestroyWindow(Window);
  Window = nullptr;
  Options.reset();
  ClearScoreLabels();
  ClearAllParticles();
}

// Keeps the scene as busy as SetUpGame made it: labels and bursts fade.
void KeepBusy() {
  while (ScoreLabelCount < 20) AddScoreLabel(D3DVECTOR{0, 0, 1}, 2, 2, 14, "+120");
  if (ParticleCount(ParticleLists[2]) < 72) BombBurst();
  FuseSparks();
}

void Frame(benchmark::State& state, TD3D8Backend backend, bool render, bool logged = false) {
  if (!SetUpGame(backend)) {
    state.SkipWithError("needs the game folder (and a display for the GL device)");
    TearDownGame();
    return;
  }
  // The game's own calls, or those plus the test log's copies of them.
  if (TRecordDevice* rec = AsRecordDevice(D3DDevice)) rec->Logging = logged;
  // Warm up (GL compiles its shader variants on first use), then count from
  // here: under callgrind each case's loop gets a profile of its own.
  for (int i = 0; i < 3 && render; ++i) RenderFrame();
  CALLGRIND_ZERO_STATS;
  for (auto _ : state) {
    Game->Update(16);
    KeepBusy();
    if (render) benchmark::DoNotOptimize(RenderFrame());
  }
  CALLGRIND_DUMP_STATS_AT(backend == TD3D8Backend::OpenGL ? "opengl" : !render ? "update" : logged ? "logged" : "recording");
  // What one frame holds, from the recording device's log.
  if (TRecordDevice* rec = AsRecordDevice(D3DDevice); rec && render) {
    rec->Logging = true;
    rec->ClearLog();
    RenderFrame();
    state.counters["draws"] = static_cast<double>(rec->DrawCount());
  }
  int particles = 0;
  for (const TParticleList& list : ParticleLists) particles += ParticleCount(list);
  state.counters["particles"] = particles;
  TearDownGame();
}

// The game's update alone (moves, animations, particles, labels), so that
// the recording case splits into updating and drawing.
void BM_Update(benchmark::State& state) { Frame(state, TD3D8Backend::Recording, false); }

void BM_FrameRecording(benchmark::State& state) { Frame(state, TD3D8Backend::Recording, true); }
void BM_FrameRecordingLogged(benchmark::State& state) { Frame(state, TD3D8Backend::Recording, true, true); }
void BM_FrameOpenGL(benchmark::State& state) { Frame(state, TD3D8Backend::OpenGL, true); }

}  // namespace

BENCHMARK(BM_Update)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_FrameRecording)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_FrameRecordingLogged)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_FrameOpenGL)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK_MAIN();
