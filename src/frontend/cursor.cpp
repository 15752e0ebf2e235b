// The 3D mouse pointer and the mapping of window pixels onto the menu and
// board plane.
#include "frontend/cursor.h"

#include <SDL.h>

#include <cmath>
#include <string>

#include "platform/d3d8/picture_fit.h"
#include "shell/debug_log.h"
#include "shell/form_main.h"
#include "shell/input.h"
#include "shell/options.h"
#include "shell/scene.h"

std::uint8_t CursorMode = 1;
std::array<std::unique_ptr<T3DSprite>, 4> CursorSprites;
bool CursorKeyDriven = false;
std::unique_ptr<T3DSprite> BoardFrameSprite;

namespace {

// The last pointer position lay in the picture, not in the bars around it.
bool InPicture = true;

const D3DVECTOR CursorStart{static_cast<float>(SceneOriginX), static_cast<float>(SceneOriginY), 0.01f};

SDL_Window* GameWindow() { return FormMain ? FormMain->Window : nullptr; }

}  // namespace

void CreateCursor() {
  const int width = FormMain ? FormMain->ClientWidth() : 0;
  const int height = FormMain ? FormMain->ClientHeight() : 0;
  if (SDL_Window* window = GameWindow()) {
    SDL_WarpMouseInWindow(window, width / 2, height / 2);
    PointerPlaced(width / 2, height / 2);
  }
  int x = 0, y = 0;
  if (SDL_WasInit(SDL_INIT_VIDEO)) SDL_GetGlobalMouseState(&x, &y);
  DebugLog(false, "Mouse created at " + std::to_string(x) + "_" + std::to_string(y));

  for (int i = 1; i <= 3; ++i) {
    CursorSprites[i] = std::make_unique<T3DSprite>(D3DDevice, i == 3 ? "Images\\cursor1.tga" : "Images\\cursor.tga");
    CursorSprites[i]->Scale = D3DVECTOR{1, 1, 1};
    CursorSprites[i]->Rotation = D3DVECTOR{0, 0, 0};
    CursorSprites[i]->Position = CursorStart;
  }
  BoardFrameSprite = std::make_unique<T3DSprite>(D3DDevice, "Images\\boardcursor.tga");
  BoardFrameSprite->Rotation = D3DVECTOR{0, 0, 0};
  CursorKeyDriven = false;
  InPicture = true;
  CursorMode = 1;
}

void MoveCursor(int x, int y) {
  if (!CursorSprites[1]) return;
  T3DSprite& lead = *CursorSprites[1];
  // The picture, not the window, spans the view: on a screen of another shape
  // it is centred between bars, and a pointer in a bar stands at its edge.
  const int width = FormMain ? FormMain->ClientWidth() : 0;
  const int height = FormMain ? FormMain->ClientHeight() : 0;
  float u = 0.5f, v = 0.5f;
  InPicture = width <= 0 || height <= 0 ||
              PointInPicture(FitPicture(width, height, PictureAspectW, PictureAspectH), x, y, u, v);
  // The picture's left edge is world +7.225 from the origin: world x grows leftwards.
  lead.Position.x = (0.5f - u) * ViewWidth + static_cast<float>(SceneOriginX);
  lead.Position.y = (0.5f - v) * ViewHeight + static_cast<float>(SceneOriginY);
  for (int i = 2; i <= 3; ++i) {
    CursorSprites[i]->Scale = lead.Scale;
    CursorSprites[i]->Position = lead.Position;
    CursorSprites[i]->Rotation = lead.Rotation;
  }
}

void DrawCursor(std::uint8_t mode) {
  if (mode < 1 || mode > 3 || !CursorSprites[mode] || !D3DDevice) return;
  // In the bars the pointer points at nothing, so the 3D cursor is not drawn.
  if (!InPicture && !CursorKeyDriven) return;
  if (FormMain && FormMain->Window && SDL_WasInit(SDL_INIT_VIDEO)) {
    int px = 0, py = 0;
    SDL_GetGlobalMouseState(&px, &py);
    const int left = FormMain->Left(), top = FormMain->Top();
    const int width = FormMain->ClientWidth(), height = FormMain->ClientHeight();
    // The system pointer left the window: the 3D cursor goes with it, unless
    // keys drive it.
    if (Options && !Options->Fullscreen && !CursorKeyDriven &&
        (px <= left || px >= left + width || py <= top || py >= top + height))
      return;
    if (Options && Options->PseudoFullscreen) {
      // The desktop-sized window has no frame to stop the pointer: keep it inside.
      int nx = px, ny = py;
      if (px <= left) nx = 1;
      if (px >= left + width) nx = left + width - 1;
      if (py <= top) ny = 1;
      if (py >= top + height) ny = top + height - 1;
      if (nx != px || ny != py) SDL_WarpMouseGlobal(nx, ny);
    }
  }
  D3DDevice->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
  CursorSprites[mode]->Draw();
  D3DDevice->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
}

bool PointerInPicture() { return InPicture; }

float CursorX() { return CursorSprites[1] ? CursorSprites[1]->Position.x : CursorStart.x; }
float CursorY() { return CursorSprites[1] ? CursorSprites[1]->Position.y : CursorStart.y; }

void FreeCursor() {
  for (auto& sprite : CursorSprites) sprite.reset();
  BoardFrameSprite.reset();
}

void PlaceCursor(float X, float Y) {
  InPicture = true;
  for (int i = 1; i <= 3; ++i) {
    if (!CursorSprites[i]) continue;
    CursorSprites[i]->Position.x = X;
    CursorSprites[i]->Position.y = Y;
  }
}

void DrawBoardFrame(int X, int Y, double Time) {
  if (!BoardFrameSprite || !BoardFrameSprite->Texture || !D3DDevice) return;
  // In the plane of the path marks, so that it frames the same cell as the
  // reach mark does: raised to the cubes' tops, the perspective would shift
  // it towards the screen's edge. The caller draws it after the cubes with
  // the depth test off, so a cube never hides it. The pulse (which tells it
  // from the path marks) keeps it inside its cell, off the board's border.
  const float pulse = 1.0f + 0.03f * static_cast<float>(std::sin(Time / 180.0));
  BoardFrameSprite->Scale = D3DVECTOR{0.98f * pulse, 0.98f * pulse, 1};
  BoardFrameSprite->Position = D3DVECTOR{X - 5.0f, Y - 5.0f, 0.05f};
  // Unlit: the frame keeps its own bright colours whatever the room's light.
  D3DDevice->SetRenderState(D3DRS_LIGHTING, FALSE);
  D3DDevice->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
  BoardFrameSprite->Draw();
  D3DDevice->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
  D3DDevice->SetRenderState(D3DRS_LIGHTING, TRUE);
}
