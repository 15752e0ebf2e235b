// Flat textured rectangles of the game scene: the room, the background, the
// score line with its end cap, the bonus lights and the bonus plate. Each one
// draws the white unit quad of the shared vertex buffer with its own texture
// and world matrix.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "game/game_types.h"
#include "platform/d3d8/d3d8.h"

class TBackPlane {
 public:
  // Loads the texture (a missing file leaves it empty) and builds Matrix.
  TBackPlane(IDirect3DDevice8* Device, const std::string& FileName, const D3DVECTOR& Scale,
             const D3DVECTOR& Position, const D3DVECTOR& Rotation);
  virtual ~TBackPlane();
  TBackPlane(const TBackPlane&) = delete;
  TBackPlane& operator=(const TBackPlane&) = delete;

  // Draws with the matrix built by the constructor; Quad is the white quad's range.
  void Draw(const TVertexRange& Quad);

  IDirect3DDevice8* Device = nullptr;
  D3DVECTOR Scale{};
  D3DVECTOR Position{};
  D3DVECTOR Rotation{};
  D3DMATRIX Matrix{};
  IDirect3DTexture8* Texture = nullptr;

 protected:
  void DrawQuad(const TVertexRange& Quad);
};

// The level's progress bar: it keeps its right end next to the end cap and
// grows towards -x. In the timed mode it flashes and beeps when energy is low.
class TScoreLine : public TBackPlane {
 public:
  using TBackPlane::TBackPlane;

  // Mode is the game mode (1 or 2); Clock the frame loop's game clock in ms.
  void Draw(const TVertexRange& Quad, int Mode, double Clock);
  // One step of the low-energy warning; X grows from 0 to 1 as energy falls.
  void WarningStep(double X, double Clock);

  float Fill = 0;       // progress shown, 0..1
  float StartFill = 0;  // the fill during the last update of play
  D3DMATERIAL8 Material{};
  std::unique_ptr<TBackPlane> EndCap;
  double NextWarning = 0;  // ms; 0 = no warning running
};

// A row of up to five copies of one picture, 0.289 apart towards -x.
class TBonusLight : public TBackPlane {
 public:
  TBonusLight(IDirect3DDevice8* Device, const std::string& FileName, const D3DVECTOR& Scale,
              const D3DVECTOR& Position, const D3DVECTOR& Rotation);

  void Draw(const TVertexRange& Quad);

  std::array<D3DVECTOR, 6> LightPos{};  // [1..5]
  std::uint8_t LitCount = 0;            // 0..5 copies drawn
};

// White material (alpha 0) with power 10, the planes' and cubes' everyday
// material; and the score line's, with power 255.
D3DMATERIAL8 PlainPlaneMaterial();
D3DMATERIAL8 LinePlaneMaterial();
