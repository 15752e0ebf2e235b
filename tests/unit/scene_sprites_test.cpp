// Textures, world matrices, sprites, the JPEG to bitmap conversion, the 3D
// text and the cursor mapping, on the recording device.
#include <cmath>
#include <filesystem>
#include <fstream>
#include <vector>

#include "frontend/cursor.h"
#include "frontend/fonts.h"
#include "frontend/labels.h"
#include "platform/d3dx/image_io.h"
#include "platform/win32/io_error.h"
#include "scene_fixture.h"
#include "shell/math/d3dmath.h"
#include "shell/textures.h"

namespace {

D3DVECTOR Transform(const D3DVECTOR& p, const D3DMATRIX& m) {
  return {p.x * m._11 + p.y * m._21 + p.z * m._31 + m._41, p.x * m._12 + p.y * m._22 + p.z * m._32 + m._42,
          p.x * m._13 + p.y * m._23 + p.z * m._33 + m._43};
}

TEST(SceneWorldMatrix, ScalesBeforeTurningAndMovesLast) {
  D3DMATRIX w{};
  BuildWorldMatrix(D3DVECTOR{2, 1, 1}, D3DVECTOR{10, 20, 30}, D3DVECTOR{0, 0, 1.5707964f}, w);
  // The quad's x extent (2 units) ends up along y, its y extent (1 unit) along x.
  const D3DVECTOR px = Transform(D3DVECTOR{0.5f, 0, 0}, w), py = Transform(D3DVECTOR{0, 0.5f, 0}, w);
  EXPECT_NEAR(std::fabs(px.y - 20) * 2, 2, 1e-5f);
  EXPECT_NEAR(std::fabs(py.x - 10) * 2, 1, 1e-5f);
  EXPECT_NEAR(px.z, 30, 1e-5f);
  // Order z, then y, then x: a point on x turned a quarter about z, then about y, stays on y.
  BuildWorldMatrix(D3DVECTOR{1, 1, 1}, D3DVECTOR{0, 0, 0}, D3DVECTOR{0, 1.5707964f, 1.5707964f}, w);
  const D3DVECTOR q = Transform(D3DVECTOR{1, 0, 0}, w);
  EXPECT_NEAR(q.y, 1, 1e-5f);
}

TEST_F(SceneTest, SpriteDrawsQuadBWithItsTextureThenUnbinds) {
  MakeScene();
  T3DSprite sprite(D3DDevice, "Images\\nothing-here.tga");
  EXPECT_EQ(sprite.Texture, nullptr) << "a missing picture leaves the slot empty";
  EXPECT_FLOAT_EQ(sprite.Scale.x, 0) << "invisible until its owner sizes it";
  D3DDevice->BeginScene();
  sprite.Draw();
  D3DDevice->EndScene();
  ASSERT_EQ(Rec->DrawCount(), 1u);
  EXPECT_EQ(Rec->Draws()[0].StartVertex, 6u);
  EXPECT_EQ(Rec->Draws()[0].PrimitiveCount, 2u);
  EXPECT_FLOAT_EQ(Rec->Draws()[0].World._11, 0);
  const auto& calls = Rec->Calls();
  ASSERT_GE(calls.size(), 2u);
  EXPECT_EQ(calls[calls.size() - 2].Name, "SetTexture") << "unbound after the draw";
  EXPECT_EQ(calls[calls.size() - 2].Args[1], 0u);
  EXPECT_EQ(Rec->CountCalls("SetRenderState"), 0u) << "the caller owns the states";
}

TEST_F(SceneTest, LoadTextureReplacesAndClears) {
  MakeScene();
  std::vector<std::uint8_t> rgb(4 * 4 * 3, 200);
  std::filesystem::create_directories(Folder / "Images");
  ASSERT_TRUE(WriteBmp24(Folder / "Images/grey.bmp", 4, 4, rgb));
  IDirect3DTexture8* t = nullptr;
  LoadTexture(D3DDevice, "images\\GREY.bmp", t);
  ASSERT_NE(t, nullptr);
  EXPECT_EQ(t->GetLevelCount(), 3u) << "full mip chain";
  LoadTexture(D3DDevice, "Images\\missing.bmp", t);
  EXPECT_EQ(t, nullptr);
  LoadTexture(nullptr, "Images\\grey.bmp", t);
  EXPECT_EQ(t, nullptr);
}

TEST_F(SceneTest, JpegToBmpWritesABitmapOrRaises) {
  // A JPEG made from a bitmap we decode back through the game's own decoder.
  EXPECT_THROW(JpegToBmp("Images\\Tutorial\\tut1.jpg"), EInOutError);
  WriteText(Folder / "Images/Tutorial/tut2.jpg", "this is no picture");
  EXPECT_THROW(JpegToBmp("Images\\Tutorial\\tut2.jpg"), EInOutError);
}

// ---- Fonts ----------------------------------------------------------------------

class FontTest : public SceneTest {
 protected:
  void SetUp() override {
    SceneTest::SetUp();
    // Font 1: one row of three glyphs, a second row with one border only.
    WriteText(Folder / "data/font.dat", "metrics\r\n200\r\nrows\r\n2\r\n0 10 30 60\r\n7\r\n");
    // Font 2: 51 glyphs of width 4 in two rows.
    std::string row1 = "0", row2 = "0";
    for (int i = 1; i <= 26; ++i) row1 += " " + std::to_string(4 * i);
    for (int i = 1; i <= 25; ++i) row2 += " " + std::to_string(4 * i);
    WriteText(Folder / "data/font1.dat", "x\n256\nx\n2\n" + row1 + "\n" + row2 + "\n");
  }
  void TearDown() override {
    ClearScoreLabels();
    SceneTest::TearDown();
  }
};

TEST_F(FontTest, MetricsRowsMakeGlyphs) {
  LoadFontMetrics();
  ASSERT_EQ(Fonts[1].GlyphCount, 3) << "a row of k + 1 borders makes k glyphs, a single border none";
  EXPECT_EQ(Fonts[1].Widths[2], 20);
  EXPECT_FLOAT_EQ(Fonts[1].Glyphs[2].LeftU, 10.0f / 200);
  EXPECT_FLOAT_EQ(Fonts[1].Glyphs[3].RightU, 60.0f / 200);
  EXPECT_FLOAT_EQ(Fonts[1].Glyphs[1].TopV, 0);
  EXPECT_FLOAT_EQ(Fonts[1].Glyphs[1].BottomV, 0.5f);
  EXPECT_EQ(Fonts[2].GlyphCount, 51);
  EXPECT_FLOAT_EQ(Fonts[2].Glyphs[27].TopV, 0.5f) << "second row";
}

TEST_F(FontTest, BrokenMetricsNameTheFileAndLine) {
  WriteText(Folder / "data/font.dat", "x\n200\nx\n2\n0 10 ab\n");
  try {
    LoadFontMetrics();
    FAIL() << "no error";
  } catch (const EInOutError& e) {
    EXPECT_NE(std::string(e.what()).find("font.dat"), std::string::npos);
    EXPECT_EQ(e.Line, 5);
  }
  WriteText(Folder / "data/font.dat", "x\n200\nx\n3\n0 10\n");
  EXPECT_THROW(LoadFontMetrics(), EInOutError) << "a row missing";
  std::string many = "0";
  for (int i = 1; i <= 101; ++i) many += " " + std::to_string(i);
  WriteText(Folder / "data/font.dat", "x\n200\nx\n1\n" + many + "\n");
  EXPECT_THROW(LoadFontMetrics(), EInOutError) << "glyph 101";
}

// Glyph borders run left to right within the picture: a border that goes
// back, repeats or leaves the picture (the 64-bit extremes included) is
// refused with its line instead of making a negative or overflowing width.
TEST_F(FontTest, GlyphBordersMustIncreaseWithinThePicture) {
  for (const char* row : {"1 -9223372036854775808", "0 10 5", "0 10 10", "0 201", "-1 10", "0 9223372036854775807"}) {
    WriteText(Folder / "data/font.dat", std::string("x\n200\nx\n2\n0 10\n") + row + "\n");
    try {
      LoadFontMetrics();
      ADD_FAILURE() << row;
    } catch (const EInOutError& e) {
      EXPECT_EQ(e.Line, 6) << row;
      EXPECT_NE(std::string(e.what()).find("font.dat"), std::string::npos);
    }
  }
  WriteText(Folder / "data/font.dat", "x\n200\nx\n1\n0 200\n");
  EXPECT_NO_THROW(LoadFontMetrics()) << "a glyph may end at the picture's edge";
  WriteText(Folder / "data/font.dat", "x\n100000\nx\n1\n0 200\n");
  EXPECT_THROW(LoadFontMetrics(), EInOutError) << "wider than any picture we load";
}

TEST(FontGlyphs, CharacterMap) {
  EXPECT_EQ(GlyphNumber('0'), 1);
  EXPECT_EQ(GlyphNumber('9'), 10);
  EXPECT_EQ(GlyphNumber('A'), 11);
  EXPECT_EQ(GlyphNumber('z'), 36);
  EXPECT_EQ(GlyphNumber(':'), 37);
  EXPECT_EQ(GlyphNumber('\''), 42);
  EXPECT_EQ(GlyphNumber('$'), 51);
  EXPECT_EQ(GlyphNumber(' '), GlyphSpace);
  for (char c : {'#', ';', '%', '\0', '\xE9'}) EXPECT_EQ(GlyphNumber(c), GlyphSkipped) << int(c);
}

TEST_F(FontTest, TextRunsAlongMinusXAndReturnsThePen) {
  MakeScene();
  LoadFontMetrics();
  // Font 2, size 100: each glyph 0.4 wide, a space 2.2.
  D3DDevice->BeginScene();
  const float pen = DrawText3D(2, 1, 100, 1.0f, 2.0f, "ab c#", 0.1f, 255);
  EXPECT_NEAR(pen, 1.0f - 0.4f - 0.4f - 2.2f - 0.4f, 1e-5f);
  ASSERT_EQ(Rec->DrawCount(), 3u);
  const TRecordedDraw& first = Rec->Draws()[0];
  EXPECT_EQ(first.StartVertex, 0u);
  EXPECT_FLOAT_EQ(first.World._11, 0.4f);
  EXPECT_FLOAT_EQ(first.World._22, 4.0f) << "40 font pixels high";
  EXPECT_FLOAT_EQ(first.World._41, 1.0f);
  EXPECT_FLOAT_EQ(Rec->Draws()[2].World._41, 1.0f - 0.8f - 2.2f);
  EXPECT_EQ(first.RenderState(D3DRS_LIGHTING), static_cast<DWORD>(FALSE));
  EXPECT_EQ(first.RenderState(D3DRS_ALPHABLENDENABLE), static_cast<DWORD>(TRUE));
  EXPECT_EQ(first.StageState(D3DTSS_ALPHAOP), static_cast<DWORD>(D3DTOP_MODULATE));
  EXPECT_EQ(first.VertexColor(0), ColorARGB(255, 115, 0, 153));
  // Glyph "A" (11) of font 2: left u 40/256 at x = 0, right u at x = -1.
  EXPECT_FLOAT_EQ(first.VertexU(0), 40.0f / 256);
  EXPECT_FLOAT_EQ(first.VertexU(1), 44.0f / 256);
  EXPECT_FLOAT_EQ(first.VertexPosition(1).x, -1);

  Rec->ClearLog();
  EXPECT_FLOAT_EQ(DrawText3D(2, 1, 100, 1.0f, 0, "#;%", 0, 255), 1.0f) << "nothing drawable";
  D3DDevice->EndScene();
  EXPECT_EQ(Rec->DrawCount(), 0u);
  DWORD lighting = 0;
  D3DDevice->GetRenderState(D3DRS_LIGHTING, &lighting);
  EXPECT_EQ(lighting, static_cast<DWORD>(TRUE)) << "lighting back on afterwards";
}

TEST_F(FontTest, OutOfRangeArgumentsAreHeldInRange) {
  MakeScene();
  LoadFontMetrics();
  D3DDevice->BeginScene();
  DrawText3D(9, 42, 100, 0, 0, "1", 0, 300);
  D3DDevice->EndScene();
  ASSERT_EQ(Rec->DrawCount(), 1u);
  EXPECT_EQ(Rec->Draws()[0].VertexColor(0) >> 24, 255u);
}

TEST_F(FontTest, LabelsDrawWithTheirRoundedAlpha) {
  MakeScene();
  LoadFontMetrics();
  AddScoreLabel(D3DVECTOR{1, 2, 0}, 2, 6, 14, "40");
  AddScoreLabel(D3DVECTOR{3, 4, 0}, 2, 6, 14, "8");
  ScoreLabels[1].Alpha = 100.5f;  // halves go to the even neighbour
  D3DDevice->BeginScene();
  DrawScoreLabels();
  D3DDevice->EndScene();
  ASSERT_EQ(Rec->DrawCount(), 3u);
  EXPECT_EQ(Rec->Draws()[0].VertexColor(0), ColorARGB(100, 255, 0, 0));
  EXPECT_FLOAT_EQ(Rec->Draws()[0].World._43, 1.0f);
  EXPECT_FLOAT_EQ(Rec->Draws()[2].World._41, 3.0f);
}

// ---- Cursor -----------------------------------------------------------------------

TEST_F(SceneTest, CursorMapsTheWindowOntoTheBoardPlane) {
  MakeScene();
  FormMain = std::make_unique<TFormMain>();
  CreateCursor();
  ASSERT_NE(CursorSprites[3], nullptr);
  EXPECT_EQ(CursorMode, 1);
  const int w = FormMain->ClientWidth(), h = FormMain->ClientHeight();
  MoveCursor(w / 2, h / 2);
  EXPECT_NEAR(CursorX(), -1.8f, 1e-2f);
  EXPECT_NEAR(CursorY(), -0.25f, 1e-2f);
  MoveCursor(0, 0);
  EXPECT_NEAR(CursorX(), 5.425f, 1e-5f);
  EXPECT_NEAR(CursorY(), 5.16875f, 1e-5f);
  EXPECT_FLOAT_EQ(CursorSprites[3]->Position.x, CursorX()) << "all three follow";

  Rec->ClearLog();
  D3DDevice->BeginScene();
  DrawCursor(0);
  DrawCursor(4);
  EXPECT_EQ(Rec->DrawCount(), 0u);
  Options->Fullscreen = true;  // the pointer's place does not matter then
  DrawCursor(3);
  D3DDevice->EndScene();
  ASSERT_EQ(Rec->DrawCount(), 1u);
  EXPECT_EQ(Rec->Draws()[0].RenderState(D3DRS_ALPHABLENDENABLE), static_cast<DWORD>(TRUE));
  EXPECT_EQ(Rec->Draws()[0].Texture, CursorSprites[3]->Texture);
  FreeCursor();
  FormMain.reset();
}

}  // namespace
