// Drawing the game scene (room, decorations, board, figure, numbers, labels,
// particles) and the full-screen pictures behind the menus. The order of the
// state changes matters: later draws rely on what earlier ones left set.
#include <algorithm>
#include <cmath>
#include <string>

#include "effects/particles.h"
#include "frontend/cursor.h"
#include "frontend/fonts.h"
#include "frontend/menu.h"
#include "game/game.h"
#include "game/planes.h"
#include "shell/form_main.h"
#include "shell/math/d3dmath.h"
#include "shell/scene.h"
#include "shell/textures.h"

namespace {
const TVertexRange& Range(int Number) { return Collector.Ranges[Number]; }

void DrawRange(IDirect3DDevice8* Device, int Number) {
  Device->DrawPrimitive(D3DPT_TRIANGLELIST, 3 * Range(Number).Start, Range(Number).Length);
}

void SetFilters(IDirect3DDevice8* Device, DWORD Filter) {
  Device->SetTextureStageState(0, D3DTSS_MAGFILTER, Filter);
  Device->SetTextureStageState(0, D3DTSS_MINFILTER, Filter);
}

void DrawPlane(TBackPlane* Plane) {
  if (Plane) Plane->Draw(Range(RangeQuadB));
}

}  // namespace

// Whole numbers for the board's display. Beyond the range of long long (or
// NaN) the conversion would be undefined, so the value is clamped first.
std::string RoundedText(double Value) {
  constexpr double Limit = 9.0e18;
  const double r = std::nearbyint(Value);
  if (!(r == r)) return "0";
  return std::to_string(static_cast<long long>(std::clamp(r, -Limit, Limit)));
}

void DrawGame() {
  if (!Game || !Game->Device) return;
  TGame& g = *Game;
  IDirect3DDevice8* device = g.Device;
  // Full-screen pictures of the screens around a game are not held during it.
  g.ReleaseStatePictures();
  ReleaseMenuBackdrop();

  // The room is lit flat and drawn unfiltered.
  device->SetRenderState(D3DRS_AMBIENT, 0xFFFFFF);
  SetFilters(device, D3DTEXF_NONE);
  for (auto& plane : g.RoomPlanes) DrawPlane(plane.get());
  DrawPlane(g.Background.get());
  SetFilters(device, D3DTEXF_LINEAR);

  if (g.ScoreLine) {
    // The end sequences animate the line themselves.
    if (g.EndPhase == epPlaying) {
      const TLevelInfo& L = g.CurrentLevel();
      g.ScoreLine->Fill = static_cast<float>(L.Progress / L.Target[g.Mode == 2 ? 2 : 1]);
      g.ScoreLine->StartFill = g.ScoreLine->Fill;
    }
    g.ScoreLine->Draw(Range(RangeQuadB), g.Mode, TotalTime);
  }

  device->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
  if (g.BonusLights) g.BonusLights->Draw(Range(RangeQuadB));
  device->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);

  device->SetRenderState(D3DRS_AMBIENT, 0x666666);
  g.DrawBoard();
  DrawScoreLabels();
  for (int list : {5, 1, 2, 3, 4, 6}) DrawParticles(device, ParticleLists[list]);
}

void TGame::DrawBoard() {
  if (!Device) return;
  const D3DMATERIAL8& plain = Materials[1];
  const D3DMATERIAL8& bombMaterial = Materials[2];
  Device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_MODULATE);

  // Path marks, hidden while a shot is aimed.
  if (DotCount > 0 && CursorMode != 3) {
    Device->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    Device->SetMaterial(&plain);
    for (int i = 1; i <= DotCount && i <= MaxCubes; ++i) {
      TDot& dot = Dots[i];
      Device->SetTexture(0, dot.Texture);
      BuildWorldMatrix(dot.Scale, dot.Position, dot.Rotation, dot.World);
      Device->SetTransform(D3DTS_WORLD, &dot.World);
      DrawRange(Device, RangeQuadB);
    }
    Device->SetTexture(0, nullptr);
  }
  Device->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);

  for (int i = 1; i <= CubeCount; ++i) {
    TCube& c = Cubes[i];
    Device->SetTexture(0, CubeTextures[TextureIndex(c.Kind)]);
    int range = RangeCube;
    const D3DMATERIAL8* material = &plain;
    if (c.Kind == ckBomb) {
      range = RangeBomb;
      material = &bombMaterial;
    } else if (c.Kind == ckStone) {
      range = RangeStone;
    }
    Device->SetMaterial(material);
    BuildWorldMatrix(c.Scale, c.Position, c.Rotation, c.World);
    Device->SetTransform(D3DTS_WORLD, &c.World);
    DrawRange(Device, range);
  }

  Device->SetTexture(0, nullptr);
  Device->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);

  const bool bonusLevel = CurrentLevel().Kind == 2;
  const bool figureShown = CurrentFigure >= 1 && CurrentFigure <= BonusFigureCount;
  if (bonusLevel) {
    if (BonusPlate) {
      // Unlit: its caption is written over the background's and must keep
      // the picture's own colours, whatever the lights do.
      Device->SetRenderState(D3DRS_LIGHTING, FALSE);
      BonusPlate->TBackPlane::Draw(Range(RangeQuadB));
      Device->SetRenderState(D3DRS_LIGHTING, TRUE);
    }
  } else if (figureShown) {
    TBonusFigure& F = BonusFigures[CurrentFigure];
    for (int col = 1; col <= F.Width && col <= 4; ++col)
      for (int row = 1; row <= F.Height && row <= 4; ++row) {
        TBonusCube& fc = F.Cubes[col][row];
        if (fc.Kind == 0) continue;
        // The figure shows this level's colours, the ones to rebuild.
        const int kind = fc.Shown != 0 ? fc.Shown : fc.Kind;
        Device->SetMaterial(&plain);
        Device->SetTexture(0, CubeTextures[TextureIndex(kind)]);
        BuildWorldMatrix(fc.Scale, fc.Position, fc.Rotation, fc.World);
        Device->SetTransform(D3DTS_WORLD, &fc.World);
        DrawRange(Device, RangeCube);
      }
  }

  Device->SetTexture(0, nullptr);
  Device->SetMaterial(&plain);

  DrawText3D(2, 1, 12, -6.75f, 3.6f, std::to_string(Level), 0.1f, 255);
  const std::string score = RoundedText(Score);
  DrawText3D(2, 1, 12, 0.15f * static_cast<float>(score.size()) - 6.9f, 1.93f, score, 0.1f, 255);
  std::string bonus;
  if (bonusLevel)
    bonus = "+" + std::to_string(CurrentLevel().BonusBase);
  else if (figureShown)
    bonus = "+" + RoundedText(BonusFigures[CurrentFigure].Bonus);
  if (!bonus.empty()) DrawText3D(2, 1, 12, -6.4f, -3.5f, bonus, 0.1f, 255);

  Device->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
}

void DrawBackdrop() {
  IDirect3DDevice8* device = D3DDevice;
  if (!device) return;
  SetFilters(device, D3DTEXF_NONE);
  IDirect3DTexture8* picture = nullptr;
  switch (GameState) {
    case gsMenu:
    case gsHiScores:
      if (Game) Game->ReleaseStatePictures();
      picture = MenuBackdrop();
      break;
    case gsGameOver:
    case gsHelp:
      ReleaseMenuBackdrop();
      picture = Game ? Game->StatePicture(GameState == gsGameOver) : nullptr;
      break;
    default:
      break;
  }
  device->SetTexture(0, picture);
  const D3DMATERIAL8 plain = PlainPlaneMaterial();
  device->SetMaterial(&plain);
  // The same rectangle as the background plane: exactly the camera's view.
  const D3DMATRIX screen = MatrixMultiply(MatrixTranslation(MakeVector(-1.8f, -0.25f, 0)),
                                          MatrixScaling(ViewWidth, ViewHeight, 1));
  device->SetTransform(D3DTS_WORLD, &screen);
  DrawRange(device, RangeQuadB);
  device->SetTexture(0, nullptr);
  SetFilters(device, D3DTEXF_LINEAR);
}
