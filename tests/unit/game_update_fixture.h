// A game on the recording device with a small level table built in code, and
// helpers that put cubes on the board, start moves and check the board's
// invariants. Shared by the game update, animation and drawing tests.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "audio/sounds.h"
#include "effects/particles.h"
#include "foundation_temp.h"
#include "frontend/labels.h"
#include "game/game.h"
#include "platform/d3d8/d3d8.h"
#include "platform/d3d8/record/record_device.h"
#include "platform/win32/paths.h"
#include "platform/win32/random.h"
#include "shell/options.h"

class GameUpdateTest : public ::testing::Test {
 public:
  void SetUp() override {
    // Anything the game writes (debug log, saves) goes to a folder of our own.
    SetGameFolder(Folder.Path);
    SetUserDataFolder(Folder / "user");
    D3D8SelectBackend(TD3D8Backend::Recording);
    RecordConfig() = {};
    D3D = Direct3DCreate8(D3D_SDK_VERSION);
    ASSERT_NE(D3D, nullptr);
    D3DPRESENT_PARAMETERS pp{};
    pp.Windowed = TRUE;
    pp.SwapEffect = D3DSWAPEFFECT_DISCARD;
    pp.EnableAutoDepthStencil = TRUE;
    pp.AutoDepthStencilFormat = D3DFMT_D16;
    ASSERT_EQ(D3D->CreateDevice(0, D3DDEVTYPE_HAL, nullptr, D3DCREATE_SOFTWARE_VERTEXPROCESSING, &pp, &Device),
              D3D_OK);
    Rec = AsRecordDevice(Device);
    Game = std::make_unique<TGame>(Device);
    Options = std::make_unique<TOptions>();
    RandSeed(12345);
    AudioRecording = true;
    AudioCalls.clear();
    ClearScoreLabels();
    ClearAllParticles();
    DelayedLabels = {};

    G().LevelCount = MaxLevels;
    for (int n = 1; n <= MaxLevels; ++n) {
      TLevelInfo& L = G().Levels[n];
      L.TurnCubes = {0, 3, 3};
      L.Colours = {0, 5, 5};
      L.JokerOdds = 0;
      L.Stones = {0, 0, 0};
      L.FigureMin = L.FigureMax = 1;
      L.Target = {0, 1000, 1000};
      L.DrainRate = 0.01;
      L.Kind = 0;
      L.CubePoints = 10;
      L.SquarePoints = 40;
      L.BonusBase = 300;
    }
    // One 4 x 4 checkerboard figure of colours 1 and 2: never built by accident.
    G().BonusFigureCount = 1;
    TBonusFigure& F = G().BonusFigures[1];
    F.Width = F.Height = 4;
    F.ColourCount = 2;
    F.BaseBonus = 100;
    for (int c = 1; c <= 4; ++c)
      for (int r = 1; r <= 4; ++r) F.Cubes[c][r].Kind = F.Cubes[c][r].Shown = static_cast<std::uint8_t>(1 + (c + r) % 2);
    G().CurrentFigure = 1;
    G().Mode = 1;
    G().Level = 1;
    G().ClearBoard();
    AudioCalls.clear();
  }

  void TearDown() override {
    Game.reset();
    Options.reset();
    ClearAllParticles();
    ClearScoreLabels();
    AudioRecording = false;
    SafeRelease(Device);
    SafeRelease(D3D);
    SetGameFolder("");
    SetUserDataFolder("");
  }

  static TGame& G() { return *Game; }

  // A full-size resting cube of Kind at (X, Y); returns its index.
  int Put(int X, int Y, TCubeKind Kind) {
    G().AddItemAt(Kind, MakeCell(static_cast<std::uint8_t>(X), static_cast<std::uint8_t>(Y)));
    return G().CubeCount;
  }

  // Level N made a bonus level that sets out Stones stones and Bombs bombs.
  TLevelInfo& MakeBonusLevel(int N, std::uint8_t Stones, std::int32_t Bombs) {
    TLevelInfo& L = G().Levels[N];
    L.Kind = 2;
    L.TurnCubes = {0, Stones, Stones};
    L.Stones = {0, Bombs, Bombs};
    return L;
  }

  // Sends cube i along Cells (from the cell next to it to the target), the
  // way a click on a shown path does.
  void StartMove(int i, const std::vector<std::pair<int, int>>& Cells) {
    TGame& g = G();
    g.Selected = i;
    g.DotCount = 0;
    for (auto it = Cells.rbegin(); it != Cells.rend(); ++it)
      g.AddDot(MakeCell(static_cast<std::uint8_t>(it->first), static_cast<std::uint8_t>(it->second)),
               it == Cells.rbegin() ? 2 : 1);
    TCube& c = g.Cubes[i];
    g.MoveUnscored = true;
    g.SetCubeState(i, csMoving);
    c.Phase = 0;
    g.AddDot(c.Cell(), 1);
    c.PathStart = c.PathPos = c.NextStep = static_cast<float>(g.DotCount);
  }

  void Run(double Ms, float Step = 16) {
    for (double t = 0; t < Ms; t += Step) G().Update(Step);
  }

  // Updates until Done holds; false when it did not within Limit ms.
  template <typename F>
  bool RunUntil(F Done, double Limit = 20000, float Step = 16) {
    for (double t = 0; t < Limit; t += Step) {
      G().Update(Step);
      if (Done()) return true;
    }
    return false;
  }

  int Sounds(int Number) const {
    return static_cast<int>(std::count_if(AudioCalls.begin(), AudioCalls.end(), [&](const TAudioCall& c) {
      return c.Name == "PlaySound" && c.Arg == Number;
    }));
  }

  bool HasLabel(const std::string& Text) const {
    for (int i = 1; i <= ScoreLabelCount; ++i)
      if (ScoreLabels[i].Text == Text) return true;
    return false;
  }

  // The data model's invariants: free list versus board, state counts,
  // cube indexes, cube count bounds.
  void ExpectConsistent() const {
    const TGame& g = G();
    ASSERT_GE(g.CubeCount, 0);
    ASSERT_LE(g.CubeCount, MaxCubes);
    int occupied[10][10] = {};
    TStateCounts counts{};
    for (int i = 1; i <= g.CubeCount; ++i) {
      const TCube& c = g.Cubes[i];
      ASSERT_TRUE(c.X >= 1 && c.X <= 9 && c.Y >= 1 && c.Y <= 9) << "cube " << i;
      ++occupied[c.X][c.Y];
      ++counts[StateSlot(c.State)];
      EXPECT_EQ(g.Board[c.X][c.Y].CubeIndex, i) << "cube " << i;
      EXPECT_NE(g.Board[c.X][c.Y].State, 0) << "cube " << i;
    }
    for (int s = 1; s <= 9; ++s) EXPECT_EQ(g.StateCount[s], counts[s]) << "slot " << s;
    int cells = 0;
    for (int X = 1; X <= 9; ++X)
      for (int Y = 1; Y <= 9; ++Y) {
        EXPECT_LE(occupied[X][Y], 1) << X << "," << Y;
        if (occupied[X][Y]) ++cells;
      }
    EXPECT_EQ(g.FreeCount + cells, 81);
    for (int k = 1; k <= g.FreeCount; ++k)
      EXPECT_EQ(occupied[g.FreeCells[k].X][g.FreeCells[k].Y], 0) << "free entry " << k;
  }

  TTempFolder Folder;
  IDirect3D8* D3D = nullptr;
  IDirect3DDevice8* Device = nullptr;
  TRecordDevice* Rec = nullptr;
};
