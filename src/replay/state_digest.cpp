// The replay's digests.
#include "replay/state_digest.h"

#include <bit>
#include <fstream>
#include <iterator>
#include <string>

#include "frontend/cursor.h"
#include "game/game.h"
#include "platform/win32/paths.h"

namespace replay {

namespace {

class THash {
 public:
  void Byte(std::uint8_t B) { H = (H ^ B) * 1099511628211ull; }
  void Int(std::uint64_t V, int Bytes = 4) {
    for (int i = 0; i < Bytes; ++i) Byte(static_cast<std::uint8_t>(V >> (8 * i)));
  }
  void Float(float F) { Int(std::bit_cast<std::uint32_t>(F)); }
  void Real(double D) { Int(std::bit_cast<std::uint64_t>(D), 8); }
  void Vector(const D3DVECTOR& V) {
    Float(V.x);
    Float(V.y);
    Float(V.z);
  }
  std::uint64_t H = 14695981039346656037ull;
};

}  // namespace

std::uint64_t GameStateDigest(const TGame& G) {
  THash h;
  h.Int(static_cast<std::uint32_t>(G.Level));
  h.Byte(G.Mode);
  h.Real(G.Score);
  h.Real(G.PendingScore);
  h.Real(G.PlayClock);
  h.Int(static_cast<std::uint32_t>(G.Combo));
  h.Int(static_cast<std::uint32_t>(G.CubeCount));
  h.Int(static_cast<std::uint32_t>(G.Selected));
  for (int i = 1; i <= G.CubeCount && i <= MaxCubes; ++i) {
    const TCube& c = G.Cubes[i];
    h.Byte(c.State);
    h.Byte(c.Kind);
    h.Byte(c.X);
    h.Byte(c.Y);
    h.Float(c.Phase);
    h.Vector(c.Position);
    h.Vector(c.Scale);
    h.Vector(c.Rotation);
    h.Byte(c.SpinAxis);
    h.Byte(static_cast<std::uint8_t>(c.SpinDir));
    h.Float(c.SpinTarget);
    h.Float(c.PathStart);
    h.Float(c.PathPos);
    h.Float(c.NextStep);
  }
  h.Byte(static_cast<std::uint8_t>(G.FreeCount));
  for (int k = 1; k <= G.FreeCount && k <= MaxCubes; ++k) {
    h.Byte(G.FreeCells[k].X);
    h.Byte(G.FreeCells[k].Y);
  }
  h.Int(static_cast<std::uint32_t>(G.DotCount));
  for (int k = 1; k <= G.DotCount && k <= MaxCubes; ++k) {
    h.Byte(G.Dots[k].Kind);
    h.Int(G.Dots[k].Cell, 2);
  }
  for (int X = 1; X <= 9; ++X)
    for (int Y = 1; Y <= 9; ++Y) {
      h.Byte(G.Board[X][Y].State);
      h.Byte(G.Board[X][Y].CubeIndex);
    }
  h.Byte(G.HoverX);
  h.Byte(G.HoverY);
  h.Int(G.ShotCell, 2);
  h.Int(static_cast<std::uint32_t>(G.CurrentFigure));
  h.Int(static_cast<std::uint32_t>(G.ItemRequests));
  h.Byte(G.MoveUnscored);
  h.Byte(G.EndPhase);
  h.Real(G.EndTimer);
  h.Byte(G.Quiet);
  h.Real(G.DrainRate);
  h.Int(static_cast<std::uint32_t>(G.StonesLeft));
  h.Int(static_cast<std::uint32_t>(G.MissedCubes));
  h.Byte(G.LevelCompleted);
  if (G.Level >= 1 && G.Level <= MaxLevels) h.Real(G.Levels[static_cast<std::size_t>(G.Level)].Progress);
  h.Byte(CursorMode);
  return h.H;
}

std::uint64_t TablesDigest() {
  THash h;
  for (const char* name : {"data/Levels.dat", "data/BonusFigures.dat"}) {
    std::ifstream in(ResolvePath(name), std::ios::binary);
    if (!in) return 0;
    const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    h.Int(bytes.size(), 8);
    for (const char c : bytes) h.Byte(static_cast<std::uint8_t>(c));
  }
  return h.H;
}

}  // namespace replay
