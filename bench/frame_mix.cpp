// Writes the draw mix of a full-board frame for the ceiling program: the game
// set up as bench/game_fps.sh plays it (the same saved full board, continued
// from the menu), one frame drawn on the recording device, and every draw's
// vertices carried to clip space with the transforms in effect at that draw.
// The ceiling then draws exactly these triangles, with these blend, depth and
// cull settings, and nothing else: what the frame costs GL alone.
//
//   voxarine-frame-mix <out file>     (prints the mix's summary)
//
// The file: "VXMIX3\n", u32 draws, u32 vertices, u32 textures; per draw
// u32 first vertex, u32 vertex count, u8 primitive (0 list, 1 strip), u8
// flags (1 blend, 2 depth test, 4 depth write, 8 cull clockwise, 16 cull
// counter-clockwise), i32 texture (-1: none), u32 first index (all ones: not
// indexed); per texture u32 width, height, mip levels, u8 linear
// magnification, linear minification, mip filter (0 none, 1 nearest,
// 2 linear); per vertex float x, y, z, w, u, v and u32 colour (B, G, R, A
// bytes); u32 indices and the indices. Textures go by size and filtering:
// what they cost to sample, not what they show.
#include <cstdio>
#include <cstring>
#include <unistd.h>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <tuple>
#include <vector>

#include "frontend/fonts.h"
#include "frontend/menu.h"
#include "frontend/menu3d.h"
#include "bench_scene.h"
#include "game/game.h"
#include "platform/d3d8/record/record_device.h"
#include "platform/win32/paths.h"
#include "shell/form_main.h"
#include "shell/math/d3dmath.h"
#include "shell/options.h"
#include "shell/scene.h"

namespace {

// The board write_full_board_save (tests/e2e/frontend_common.bash) saves:
// every cell but (9, 9) taken, 74 resting cubes and 6 waiting in row 9.
std::string FullBoardSave() {
  std::string cubes;
  int n = 0;
  for (int y = 1; y <= 9; ++y)
    for (int x = 1; x <= 9; ++x) {
      if (x == 9 && y == 9) continue;
      const int flag = y == 9 && x >= 3 ? 0 : 1;
      cubes += std::to_string(flag) + "\r\n" + std::to_string((x + 2 * y) % 7) + "\r\n" + std::to_string(x) +
               "\r\n" + std::to_string(y) + "\r\n";
      ++n;
    }
  return "saved by the test\r\n1\r\n1\r\n0\r\n 0.00000000000000E+0000\r\n 5.00000000000000E+0003\r\n1\r\n" +
         std::to_string(n) + "\r\n" + cubes;
}

struct TClipVertex {
  float X, Y, Z, W, U, V;
  std::uint32_t Color;
};

TClipVertex ToClip(const BYTE* v, const D3DMATRIX& m) {
  TSceneVertex s;
  std::memcpy(&s, v, sizeof s);
  TClipVertex c{};
  c.X = s.X * m._11 + s.Y * m._21 + s.Z * m._31 + m._41;
  c.Y = s.X * m._12 + s.Y * m._22 + s.Z * m._32 + m._42;
  c.Z = s.X * m._13 + s.Y * m._23 + s.Z * m._33 + m._43;
  c.W = s.X * m._14 + s.Y * m._24 + s.Z * m._34 + m._44;
  c.U = s.U;
  c.V = s.V;
  c.Color = s.Diffuse;
  return c;
}

template <typename T>
void Put(std::ofstream& out, const T& value) {
  out.write(reinterpret_cast<const char*>(&value), sizeof value);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s <mix file to write>\n", argv[0]);
    return 2;
  }
  const std::string game = VOXARINE_GAME_DIR;
  if (!std::filesystem::exists(game + "/data/Levels.dat")) {
    std::fprintf(stderr, "needs the built game folder %s\n", game.c_str());
    return 1;
  }
  const auto user = std::filesystem::temp_directory_path() / ("voxarine-frame-mix-" + std::to_string(getpid()));
  SetGameFolder(game);
  SetUserDataFolder(user.string());
  SetInstalledLayout(true);  // the save goes to the scratch folder, not the game's
  D3D8SelectBackend(TD3D8Backend::Recording);
  if (!OpenBenchScene(nullptr)) return 1;
  AtomicWriteFile(WritablePath(SaveFileNames[1]), FullBoardSave());
  Game->Mode = 1;
  StartGame();
  // Continue the saved game, as the offer's button does.
  Game->EndPhase = epPlaying;
  Game->LoadGame(1);
  Menu->SetPage(mpPlaying);
  GameState = gsGame;
  for (int i = 0; i < 120; ++i) Game->Update(16);  // cubes settle as they do on screen

  TRecordDevice* rec = AsRecordDevice(D3DDevice);
  rec->ClearLog();
  RenderFrame();
  const std::vector<BYTE>& model = *rec->VertexBytes(VertexBuffer);

  std::vector<TClipVertex> vertices;
  std::vector<std::uint32_t> indices;
  constexpr std::uint32_t NotIndexed = 0xFFFFFFFF;
  // (texture, mag, min, mip) -> index, and what each index is.
  std::map<std::tuple<IDirect3DTexture8*, int, int, int>, std::int32_t> textureIndex;
  std::vector<std::tuple<UINT, UINT, UINT, int, int, int>> textures;
  std::ofstream out(argv[1], std::ios::binary);
  out.write("VXMIX3\n", 7);
  Put(out, static_cast<std::uint32_t>(rec->DrawCount()));
  const auto countAt = out.tellp();
  Put(out, std::uint32_t{0});
  Put(out, std::uint32_t{0});
  unsigned triangles = 0, blended = 0, blendedTriangles = 0;
  for (const TRecordedDraw& d : rec->Draws()) {
    const UINT count = d3d8::VertexCount(d.PrimitiveType, d.PrimitiveCount);
    const D3DMATRIX wvp = MatrixMultiply(d.Projection, MatrixMultiply(d.View, d.World));  // world, view, then projection
    // Quads are rewritten between draws: their own copy; models never are.
    const BYTE* source = d.Vertices.empty() ? model.data() + static_cast<size_t>(d.StartVertex) * d3d8::VertexSize
                                            : d.Vertices.data();
    // Long lists go through indices of their distinct vertices, as the
    // game's device draws them, so that each is shaded once.
    std::vector<TClipVertex> clip;
    for (UINT v = 0; v < count; ++v) clip.push_back(ToClip(source + static_cast<size_t>(v) * d3d8::VertexSize, wvp));
    const bool indexed = d.PrimitiveType == D3DPT_TRIANGLELIST && count >= 48;
    Put(out, static_cast<std::uint32_t>(vertices.size()));
    Put(out, static_cast<std::uint32_t>(count));
    Put(out, static_cast<std::uint8_t>(d.PrimitiveType == D3DPT_TRIANGLESTRIP ? 1 : 0));
    const bool blend = d.RenderState(D3DRS_ALPHABLENDENABLE) != FALSE;
    const DWORD cull = d.RenderState(D3DRS_CULLMODE);
    std::uint8_t flags = blend ? 1 : 0;
    if (d.RenderState(D3DRS_ZENABLE) != FALSE) flags |= 2;
    if (d.RenderState(D3DRS_ZWRITEENABLE) != FALSE) flags |= 4;
    if (cull == D3DCULL_CW) flags |= 8;
    if (cull == D3DCULL_CCW) flags |= 16;
    Put(out, flags);
    std::int32_t texture = -1;
    if (d.Texture) {
      const int mag = d.StageState(D3DTSS_MAGFILTER) >= D3DTEXF_LINEAR ? 1 : 0;
      const int min = d.StageState(D3DTSS_MINFILTER) >= D3DTEXF_LINEAR ? 1 : 0;
      const UINT levels = d.Texture->GetLevelCount();
      const DWORD mipFilter = d.StageState(D3DTSS_MIPFILTER);
      const int mip = levels < 2 || mipFilter == D3DTEXF_NONE ? 0 : mipFilter == D3DTEXF_POINT ? 1 : 2;
      auto [at, added] = textureIndex.try_emplace({d.Texture, mag, min, mip}, static_cast<std::int32_t>(textures.size()));
      if (added) {
        D3DSURFACE_DESC desc{};
        d.Texture->GetLevelDesc(0, &desc);
        textures.emplace_back(desc.Width, desc.Height, levels, mag, min, mip);
      }
      texture = at->second;
    }
    Put(out, texture);
    Put(out, indexed ? static_cast<std::uint32_t>(indices.size()) : NotIndexed);
    if (indexed) {
      const size_t base = vertices.size();
      for (const TClipVertex& c : clip) {
        size_t at = base;
        while (at < vertices.size() && std::memcmp(&vertices[at], &c, sizeof c) != 0) ++at;
        if (at == vertices.size()) vertices.push_back(c);
        indices.push_back(static_cast<std::uint32_t>(at));
      }
    } else {
      vertices.insert(vertices.end(), clip.begin(), clip.end());
    }
    triangles += d.PrimitiveCount;
    if (blend) {
      ++blended;
      blendedTriangles += d.PrimitiveCount;
    }
  }
  for (const auto& [width, height, levels, mag, min, mip] : textures) {
    Put(out, static_cast<std::uint32_t>(width));
    Put(out, static_cast<std::uint32_t>(height));
    Put(out, static_cast<std::uint32_t>(levels));
    Put(out, static_cast<std::uint8_t>(mag));
    Put(out, static_cast<std::uint8_t>(min));
    Put(out, static_cast<std::uint8_t>(mip));
  }
  out.write(reinterpret_cast<const char*>(vertices.data()),
            static_cast<std::streamsize>(vertices.size() * sizeof(TClipVertex)));
  Put(out, static_cast<std::uint32_t>(indices.size()));
  out.write(reinterpret_cast<const char*>(indices.data()),
            static_cast<std::streamsize>(indices.size() * sizeof(std::uint32_t)));
  out.seekp(countAt);
  Put(out, static_cast<std::uint32_t>(vertices.size()));
  Put(out, static_cast<std::uint32_t>(textures.size()));
  out.close();
  std::printf("full-board frame: %zu draws, %u triangles, %u blended draws (%u triangles), %zu textures\n",
              rec->DrawCount(), triangles, blended, blendedTriangles, textures.size());

  Game.reset();
  Menu.reset();
  SafeRelease(MenuBackground);
  ReleaseGraphics();
  Options.reset();
  std::filesystem::remove_all(user);
  return out ? 0 : 1;
}
