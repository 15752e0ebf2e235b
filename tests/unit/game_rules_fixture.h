// The game-rules tests' set-up: the shared game fixture plus a pointer that
// can be put on any board point, waiting cubes, and a throw-away game folder
// for saved games.
#pragma once

#include <filesystem>
#include <memory>
#include <string>

#include "../../tools/autoplay/invariants.h"
#include "foundation_temp.h"
#include "frontend/cursor.h"
#include "game_update_fixture.h"
#include "platform/win32/paths.h"

class GameRulesTest : public GameUpdateTest {
 protected:
  void SetUp() override {
    GameUpdateTest::SetUp();
    std::filesystem::create_directories(Folder / "data");
    std::filesystem::create_directories(Folder / "user");
    SetGameFolder(Folder.Path);
    SetUserDataFolder(Folder / "user");
    for (int m = 1; m <= 3; ++m) CursorSprites[m] = std::make_unique<T3DSprite>(Device, "Images\\nocursor.tga");
    CursorMode = 2;
    PointAt(-10, -10);  // off the board
  }

  void TearDown() override {
    for (auto& sprite : CursorSprites) sprite.reset();
    GameUpdateTest::TearDown();
  }

  // The pointer at a point of the board plane, then the game's hover handler.
  void PointAt(float X, float Y) {
    for (int m = 1; m <= 3; ++m) CursorSprites[m]->Position = D3DVECTOR{X, Y, 0.01f};
  }
  void Hover(int X, int Y) {
    PointAt(X - 5.0f, Y - 5.0f);
    G().MouseMove();
  }
  void Click(int X, int Y, int Button = 0) {
    Hover(X, Y);
    G().MouseDown(Button);
  }

  // An announced (waiting) cube of Kind at (X, Y).
  int PutWaiting(int X, int Y, TCubeKind Kind) {
    const int i = Put(X, Y, Kind);
    TCube& c = G().Cubes[i];
    G().SetCubeState(i, csWaiting);
    c.Scale = D3DVECTOR{0.3f, 0.3f, 0.3f};
    c.Position.z = 0.15f;
    G().Board[X][Y].State = 1;
    return i;
  }

  // Runs frames until nothing appears, moves or explodes (at most Ms),
  // checking the board's invariants after each one.
  void RunUntilQuiet(double Ms = 5000) {
    for (double t = 0; t < Ms; t += 16) {
      G().Update(16);
      const std::string broken = autoplay::CheckInvariants(G());
      ASSERT_EQ(broken, "") << "after " << t << " ms";
      const TStateCounts& n = G().StateCount;
      if (n[StateSlot(csAppearing)] + n[StateSlot(csMoving)] + n[StateSlot(csExploding)] +
              n[StateSlot(csRemoving)] ==
          0) {
        G().Update(16);  // the frame that finds the board settled
        return;
      }
    }
  }

  int Kinds(TCubeKind Kind) const {
    int n = 0;
    for (int i = 1; i <= G().CubeCount; ++i) n += G().Cubes[i].Kind == Kind;
    return n;
  }

  int Stops(int Number) const {
    int n = 0;
    for (const TAudioCall& c : AudioCalls) n += c.Name == "StopSound" && c.Arg == Number;
    return n;
  }

  TTempFolder Folder;
};
