// Reading the bonus figures and placing their cubes beside the board.
#include "game/figure_file.h"

#include "game/game.h"
#include "game/level_file.h"
#include "shell/textures.h"
#include "platform/win32/text_reader.h"

namespace {

constexpr double MaxBaseBonus = 1e6;

std::int64_t ReadRanged(TTextReader& In, const char* Field, std::int64_t Min, std::int64_t Max) {
  const std::int64_t v = In.ReadInt();
  if (v < Min || v > Max)
    In.FailField(std::string(Field) + " must be " + std::to_string(Min) + ".." + std::to_string(Max) + ", not " +
                 std::to_string(v));
  return v;
}

// One grid cell: a decimal digit; 1..7 is a cube of that colour, 0, 8 and 9
// leave the cell empty.
std::uint8_t ReadCell(TTextReader& In) {
  const char c = In.ReadChar();
  if (c < '0' || c > '9') In.FailField("a grid cell must be a digit 0..9, not '" + std::string(1, c) + "'");
  const int colour = c - '0';
  return static_cast<std::uint8_t>(colour >= 1 && colour <= 7 ? colour : 0);
}

void ReadFigure(TTextReader& In, TBonusFigure& F) {
  In.ReadLine();  // title
  F.ColourCount = static_cast<std::uint8_t>(ReadRanged(In, "ColourCount", 0, 7));
  F.Width = static_cast<std::uint8_t>(ReadRanged(In, "Width", 1, 4));
  F.Height = static_cast<std::uint8_t>(ReadRanged(In, "Height", 1, 4));
  // The bonus is scaled per level and shown as a whole number beside the board.
  F.BaseBonus = In.ReadReal();
  if (!(F.BaseBonus >= 0 && F.BaseBonus <= MaxBaseBonus))
    In.FailField("BaseBonus must be 0.." + std::to_string(static_cast<long long>(MaxBaseBonus)));
  F.Bonus = 0;
  for (int r = 1; r <= 4; ++r) {
    for (int c = 1; c <= 4; ++c) {
      TBonusCube& cube = F.Cubes[c][r];
      cube.Kind = cube.Shown = ReadCell(In);
      PlaceFigureCube(c, r, F.Width, F.Height, cube);
    }
    In.NextLine();
  }
}

}  // namespace

void PlaceFigureCube(int c, int r, int Width, int Height, TBonusCube& Cube) {
  Cube.Scale = D3DVECTOR{0.46f, 0.46f, 0.46f};
  Cube.Position = D3DVECTOR{static_cast<float>((c - Width / 2.0) * 0.46 - 7.14),
                            static_cast<float>((r - Height / 2.0) * 0.46 - 2.32), 0.2f};
  Cube.Rotation = D3DVECTOR{0, 0, 0};
  // The cube textures may not be loaded yet; drawing binds them anew.
  if (Cube.Kind != 0) Cube.Texture = CubeTextures[static_cast<std::size_t>(TextureIndex(Cube.Kind))];
  BuildWorldMatrix(Cube.Scale, Cube.Position, Cube.Rotation, Cube.World);
}

void ReadFigureTable(const std::string& FileName, TFigureTable& Figures, std::int32_t& FigureCount) {
  TTextReader in(FileName);
  const int count = static_cast<int>(ReadRanged(in, "the number of bonus figures", 0, 30));
  for (int k = 1; k <= count; ++k) ReadFigure(in, Figures[k]);
  FigureCount = count;
}

void ReadBonusFigureFile(const std::string& FileName, TGame& Game) {
  ReadFigureTable(FileName, Game.BonusFigures, Game.BonusFigureCount);
  CheckLevelFigures(Game);
}
