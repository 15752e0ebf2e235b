// The shipped data files and the generated game folder: the level table and
// bonus figures load and make a playable curve, the menu file provides every
// page and item the menu commands use, and every picture, font, sound and
// music file the game loads is there and decodes.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "frontend/fonts.h"
#include "game/figure_file.h"
#include "game/level_file.h"
#include "platform/win32/paths.h"
#include "platform/win32/text_reader.h"

// A private copy of the decoder: the library keeps its own to itself.
#define STB_IMAGE_STATIC
#define STB_IMAGE_IMPLEMENTATION
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-function"
#include "stb_image.h"
#pragma GCC diagnostic pop

namespace fs = std::filesystem;

namespace {

const std::string DataDir = std::string(VOXARINE_SOURCE_DIR) + "/assets/data/";
const std::string GameDir = VOXARINE_GAME_DIR;

struct Tables {
  TLevelTable Levels{};
  std::int32_t LevelCount = 0;
  TLevelLines Lines{};
  TFigureTable Figures{};
  std::int32_t FigureCount = 0;
  Tables() {
    ReadLevelTable(DataDir + "Levels.dat", Levels, LevelCount, &Lines);
    ReadFigureTable(DataDir + "BonusFigures.dat", Figures, FigureCount);
  }
};

const Tables& Shipped() {
  static const Tables t;
  return t;
}

// ---- Levels ---------------------------------------------------------------------
TEST(ShippedLevels, FiftyLevelsLoadAndNameExistingFigures) {
  const Tables& t = Shipped();
  EXPECT_EQ(t.LevelCount, 50);
  EXPECT_NO_THROW(CheckFigureRanges(DataDir + "Levels.dat", t.Levels, t.LevelCount, t.FigureCount, t.Lines));
}

// Difficulty only grows from one round of five levels to the next, in both modes.
TEST(ShippedLevels, DifficultyNeverDropsFromRoundToRound) {
  const Tables& t = Shipped();
  for (int i = 1; i + 5 <= 50; ++i) {
    const TLevelInfo& a = t.Levels[i];
    const TLevelInfo& b = t.Levels[i + 5];
    SCOPED_TRACE("level " + std::to_string(i) + " against " + std::to_string(i + 5));
    for (int m = 1; m <= 2; ++m) {
      EXPECT_LE(a.Colours[m], b.Colours[m]);
      EXPECT_LE(a.TurnCubes[m], b.TurnCubes[m]);
      if (a.Kind != 2) {
        EXPECT_LE(a.Target[m], b.Target[m]);
        EXPECT_LE(a.Stones[m], b.Stones[m]);
      }
    }
    EXPECT_LT(a.DrainRate, b.DrainRate);
    if (a.Kind != 2) {
      EXPECT_LE(a.JokerOdds, b.JokerOdds);
    }
    EXPECT_LE(a.AllowBomb, b.AllowBomb);
    EXPECT_LE(a.AllowShot, b.AllowShot);
    EXPECT_LE(a.AllowColorize, b.AllowColorize);
  }
}

TEST(ShippedLevels, EveryLevelIsPlayable) {
  const Tables& t = Shipped();
  for (int i = 1; i <= 100; ++i) {
    const TLevelInfo& l = t.Levels[i];
    SCOPED_TRACE("level " + std::to_string(i));
    EXPECT_LE(l.LightsOff, 5);
    // The lamps count the levels of the round: one lit on its first level,
    // all five on the bonus level that ends it.
    EXPECT_EQ(5 - l.LightsOff, (i - 1) % 5 + 1);
    for (int m = 1; m <= 2; ++m) {
      EXPECT_GE(l.Colours[m], 1);
      EXPECT_LE(l.Colours[m], 7);
      EXPECT_GE(l.TurnCubes[m], 1);
      if (l.Kind == 2) {
        EXPECT_GE(l.Stones[m], 1) << "a bonus level needs bombs";
        EXPECT_LT(l.TurnCubes[m] + l.Stones[m], 81);
      } else {
        EXPECT_GT(l.Target[m], 0);
        // 20 stones or more would never or almost always turn a cube to stone.
        EXPECT_LT(l.Stones[m], 20);
      }
    }
    EXPECT_GT(l.DrainRate, 0);
    if (l.Kind == 2) {
      EXPECT_GT(l.Target[2], 0) << "the bonus level's energy in mode 2";
    }
    // Every figure the level can draw fits in its colours (the colour shift needs it).
    int last = std::min<int>(l.FigureMax, t.FigureCount);
    for (int f = l.FigureMin; f <= last; ++f)
      for (int m = 1; m <= 2; ++m) EXPECT_LE(t.Figures[f].ColourCount, l.Colours[m]) << "figure " << f;
  }
}

// ---- Bonus figures --------------------------------------------------------------------
TEST(ShippedFigures, ThirtyFiguresWithHonestColourCounts) {
  const Tables& t = Shipped();
  ASSERT_EQ(t.FigureCount, 30);
  for (int f = 1; f <= 30; ++f) {
    const TBonusFigure& fig = t.Figures[f];
    SCOPED_TRACE("figure " + std::to_string(f));
    EXPECT_GE(fig.Width, 1);
    EXPECT_LE(fig.Width, 4);
    EXPECT_GE(fig.Height, 1);
    EXPECT_LE(fig.Height, 4);
    EXPECT_GT(fig.BaseBonus, 0);
    std::set<int> colours;
    int cubes = 0;
    for (int c = 1; c <= fig.Width; ++c)
      for (int r = 1; r <= fig.Height; ++r)
        if (fig.Cubes[c][r].Kind) {
          colours.insert(fig.Cubes[c][r].Kind);
          ++cubes;
        }
    EXPECT_GE(cubes, 3) << "a smaller figure would be matched by almost any board";
    // Colours 1..ColourCount, all used: the level's colour shift relies on it.
    EXPECT_EQ(static_cast<int>(colours.size()), fig.ColourCount);
    EXPECT_EQ(*colours.rbegin(), fig.ColourCount);
    // A one-coloured full 2 x 2 block would score as a square first.
    for (int c = 1; c < fig.Width; ++c)
      for (int r = 1; r < fig.Height; ++r) {
        int k = fig.Cubes[c][r].Kind;
        bool block = k && fig.Cubes[c + 1][r].Kind == k && fig.Cubes[c][r + 1].Kind == k &&
                     fig.Cubes[c + 1][r + 1].Kind == k;
        EXPECT_FALSE(block) << "at column " << c << ", row " << r;
      }
  }
}

// ---- Menu file --------------------------------------------------------------------------
struct MenuItem {
  std::string Normal, Highlight;
  float X = 0, Y = 0, W = 0, H = 0;
  bool Visible = false, Selectable = false;
};

std::vector<float> Numbers(const std::string& line) {
  std::vector<float> out;
  std::size_t pos = 0;
  while (pos < line.size()) {
    std::size_t used = 0;
    try {
      out.push_back(std::stof(line.substr(pos), &used));
    } catch (...) {
      break;
    }
    pos += used;
  }
  return out;
}

struct MenuFile {
  std::string Background;
  std::vector<std::vector<MenuItem>> Pages;  // [0] unused
  MenuFile() {
    TTextReader in(DataDir + "Menu.dat");
    in.NextLine();
    Background = in.ReadLine();
    in.NextLine();
    int pages = static_cast<int>(in.ReadInt());
    Pages.resize(pages + 1);
    for (int p = 1; p <= pages; ++p) {
      in.NextLine();
      int n = static_cast<int>(in.ReadInt());
      for (int i = 0; i < n; ++i) {
        MenuItem it;
        it.Normal = in.ReadLine();
        it.Highlight = in.ReadLine();
        auto pos = Numbers(in.ReadLine());
        auto scale = Numbers(in.ReadLine());
        auto rot = Numbers(in.ReadLine());
        EXPECT_EQ(pos.size(), 3u);
        EXPECT_EQ(scale.size(), 3u);
        EXPECT_EQ(rot.size(), 3u);
        if (pos.size() < 2 || scale.size() < 2) continue;
        it.X = pos[0], it.Y = pos[1], it.W = scale[0], it.H = scale[1];
        it.Visible = in.ReadInt() == 1;
        it.Selectable = in.ReadInt() == 1;
        Pages[p].push_back(it);
      }
    }
  }
  const MenuItem& Item(int page, int item) const { return Pages[page][item - 1]; }
};

const MenuFile& Menu() {
  static const MenuFile m;
  return m;
}

TEST(ShippedMenu, ProvidesEveryPageAndItemTheCommandsUse) {
  const MenuFile& m = Menu();
  ASSERT_EQ(m.Pages.size(), 11u);
  // page -> the items its commands choose with Enter.
  const std::vector<std::pair<int, std::vector<int>>> commands = {
      {1, {1, 2, 3, 4}},  {2, {1, 2, 3, 4}}, {3, {1, 2, 4, 6, 8, 10, 12, 14}}, {4, {1}},
      {5, {2, 3}},        {6, {1, 2, 3}},    {7, {2, 3}},  {9, {1, 2, 3}}, {10, {1, 2, 3}}};
  for (const auto& [page, items] : commands)
    for (int item : items) {
      SCOPED_TRACE("page " + std::to_string(page) + " item " + std::to_string(item));
      ASSERT_LE(item, static_cast<int>(m.Pages[page].size()));
      EXPECT_TRUE(m.Item(page, item).Selectable);
    }
  ASSERT_GE(m.Pages[3].size(), 19u);
  // Rows of the options page: label, bar and the skin numbers are shown, not chosen.
  for (int item : {3, 5, 7, 9, 11, 13, 15, 16, 17, 18, 19}) EXPECT_FALSE(m.Item(3, item).Selectable) << item;
}

TEST(ShippedMenu, ToggledItemsStartInTheirFirstState) {
  const MenuFile& m = Menu();
  EXPECT_FALSE(m.Item(3, 3).Visible);
  EXPECT_TRUE(m.Item(3, 15).Visible);
  for (int i = 16; i <= 19; ++i) EXPECT_FALSE(m.Item(3, i).Visible) << i;
  EXPECT_TRUE(m.Item(6, 2).Visible);
  EXPECT_FALSE(m.Item(6, 3).Visible);
  EXPECT_TRUE(m.Item(9, 2).Visible);
  EXPECT_FALSE(m.Item(9, 3).Visible);
  EXPECT_TRUE(m.Item(10, 2).Visible);
  EXPECT_FALSE(m.Item(10, 3).Visible);
}

// The volume bars are set by clicks in x -2.6..-1.0 of their rows: the bars
// must lie there and the arrows beside them must not, or a click on an arrow
// would also jump the volume.
TEST(ShippedMenu, VolumeBarsSitInTheirClickRows) {
  const MenuFile& m = Menu();
  const struct { int bar, down, up; float y0, y1; } rows[] = {{7, 4, 6, 1.801f, 2.201f},
                                                            {11, 8, 10, -0.00525f, 0.39475f}};
  for (const auto& r : rows) {
    const MenuItem& bar = m.Item(3, r.bar);
    EXPECT_GE(bar.Y - bar.H / 2, r.y0 - 1e-3f);
    EXPECT_LE(bar.Y + bar.H / 2, r.y1 + 1e-3f);
    for (int arrow : {r.down, r.up}) {
      const MenuItem& a = m.Item(3, arrow);
      bool overlapsX = a.X - a.W / 2 <= -1.0f && a.X + a.W / 2 >= -2.6f;
      EXPECT_FALSE(overlapsX) << "arrow " << arrow;
    }
    // Down stands on the bar's empty side (screen left is +x), up on its full side.
    EXPECT_GT(m.Item(3, r.down).X, -1.0f);
    EXPECT_LT(m.Item(3, r.up).X, -2.6f);
  }
}

// The options page stands on the menu's glass panel (centre (-1.8, -0.55),
// 5.4 by 4.4 units each way, its rim 0.1 wide): every label and control lies
// inside it, the three rows are evenly spaced, each label heads its row at the
// same distance, and every row is centred on the panel.
TEST(ShippedMenu, OptionsPageRowsAreEvenAndCentredInThePanel) {
  const MenuFile& m = Menu();
  constexpr float PanelX = -1.8f, PanelY = -0.55f, HalfW = 5.4f - 0.1f, HalfH = 4.4f - 0.1f;
  for (int i = 1; i <= static_cast<int>(m.Pages[3].size()); ++i) {
    const MenuItem& it = m.Item(3, i);
    if (it.W >= 14) continue;  // the full-screen overlay of the tubes and title
    EXPECT_LE(std::abs(it.X - PanelX) + it.W / 2, HalfW) << "item " << i << " leaves the panel sideways";
    EXPECT_LE(std::abs(it.Y - PanelY) + it.H / 2, HalfH) << "item " << i << " leaves the panel";
  }
  struct TRow { int Label, Down, Middle, Up; };
  const TRow rows[] = {{5, 4, 7, 6}, {9, 8, 11, 10}, {13, 12, 15, 14}};
  const float gap1 = m.Item(3, 7).Y - m.Item(3, 11).Y, gap2 = m.Item(3, 11).Y - m.Item(3, 15).Y;
  EXPECT_NEAR(gap1, gap2, 0.01f) << "rows unevenly spaced";
  const float labelAbove = m.Item(3, 5).Y - m.Item(3, 7).Y;
  for (const TRow& r : rows) {
    SCOPED_TRACE("row of label " + std::to_string(r.Label));
    EXPECT_NEAR(m.Item(3, r.Label).Y - m.Item(3, r.Middle).Y, labelAbove, 1e-3f);
    EXPECT_NEAR(m.Item(3, r.Down).Y, m.Item(3, r.Middle).Y, 1e-3f);
    EXPECT_NEAR(m.Item(3, r.Up).Y, m.Item(3, r.Middle).Y, 1e-3f);
    float left = -1e9f, right = 1e9f;  // screen left is +x
    for (int i : {r.Label, r.Down, r.Middle, r.Up}) {
      left = std::max(left, m.Item(3, i).X + m.Item(3, i).W / 2);
      right = std::min(right, m.Item(3, i).X - m.Item(3, i).W / 2);
    }
    EXPECT_NEAR((left + right) / 2, PanelX, 0.05f) << "row off centre";
  }
  // The stand-in for a highlighted label takes a label's place.
  EXPECT_NEAR(m.Item(3, 3).Y, m.Item(3, 5).Y, 1e-3f);
}

// Two selectable items on one page must not overlap, except the pairs of
// which only one is shown at a time.
TEST(ShippedMenu, SelectableItemsDoNotOverlapAndStayOnScreen) {
  const MenuFile& m = Menu();
  const std::set<std::pair<int, std::pair<int, int>>> swapped = {{6, {2, 3}}, {10, {2, 3}}};
  for (int p = 1; p < static_cast<int>(m.Pages.size()); ++p) {
    const auto& items = m.Pages[p];
    for (size_t i = 0; i < items.size(); ++i) {
      const MenuItem& a = items[i];
      EXPECT_LE(std::abs(a.X + 1.8f) + a.W / 2, 7.225f + 1e-3f) << "page " << p << " item " << i + 1;
      EXPECT_LE(std::abs(a.Y + 0.25f) + a.H / 2, 5.41875f + 1e-3f) << "page " << p << " item " << i + 1;
      for (size_t j = i + 1; j < items.size(); ++j) {
        const MenuItem& b = items[j];
        if (!a.Selectable || !b.Selectable) continue;
        if (swapped.count({p, {static_cast<int>(i + 1), static_cast<int>(j + 1)}})) continue;
        bool overlap = std::abs(a.X - b.X) * 2 < a.W + b.W && std::abs(a.Y - b.Y) * 2 < a.H + b.H;
        EXPECT_FALSE(overlap) << "page " << p << " items " << i + 1 << " and " << j + 1;
      }
    }
  }
}

// ---- The generated game folder ------------------------------------------------------
bool HaveGameFolder() { return fs::exists(GameDir + "/Images/background.jpg"); }

std::string Local(std::string name) {
  std::replace(name.begin(), name.end(), '\\', '/');
  return name;
}

bool IsPow2(int n) { return n > 0 && (n & (n - 1)) == 0; }

// Decodes a picture; returns its size, or {0, 0} when it does not decode.
std::pair<int, int> Decode(const std::string& path, std::vector<unsigned char>* rgba = nullptr) {
  int w = 0, h = 0, n = 0;
  unsigned char* px = stbi_load(path.c_str(), &w, &h, &n, 4);
  if (!px) return {0, 0};
  if (rgba) rgba->assign(px, px + static_cast<size_t>(w) * h * 4);
  stbi_image_free(px);
  return {w, h};
}

std::vector<std::string> PicturesTheGameLoads() {
  std::vector<std::string> files = {
      "Images/gameover.jpg", "Images/help.jpg", "Images/floor.jpg", "Images/wall1.jpg",
      "Images/wall2.jpg", "Images/wall3.jpg", "Images/wall4.jpg", "Images/background.jpg",
      "Images/bonuslight.tga", "Images/plugbonus.tga", "Images/line.tga", "Images/lineleft.tga",
      "Images/loading.jpg", "Images/cursor.tga", "Images/cursor1.tga", "Images/newlevel.tga",
      "Images/boardcursor.tga"};
  for (int n = 1; n <= 3; ++n) files.push_back("Images/dot" + std::to_string(n) + ".tga");
  for (int n = 1; n <= 6; ++n) files.push_back("Images/effect" + std::to_string(n) + ".tga");
  for (int n = 1; n <= 9; ++n) files.push_back("Images/Tutorial/tut" + std::to_string(n) + ".jpg");
  for (int s = 1; s <= 5; ++s)
    for (int n = 0; n <= 17; ++n)
      files.push_back("Images/Skin" + std::to_string(s) + "/tex" + std::to_string(n) + ".tga");
  files.push_back(Local(Menu().Background));
  for (const auto& page : Menu().Pages)
    for (const MenuItem& it : page) {
      files.push_back(Local(it.Normal));
      files.push_back(Local(it.Highlight));
    }
  return files;
}

TEST(GameFolder, EveryPictureExistsDecodesAndHasTextureSize) {
  if (!HaveGameFolder()) GTEST_SKIP() << "no generated game folder at " << GameDir;
  for (const std::string& f : PicturesTheGameLoads()) {
    SCOPED_TRACE(f);
    auto [w, h] = Decode(GameDir + "/" + f);
    ASSERT_GT(w, 0) << "missing or undecodable";
    EXPECT_TRUE(IsPow2(w) && IsPow2(h)) << w << " x " << h;
  }
  auto [w, h] = Decode(GameDir + "/Images/launcher.jpg");
  EXPECT_EQ(w, 200);
  EXPECT_EQ(h, 150);
}

TEST(GameFolder, FontsDefineTheWholeCharacterSet) {
  if (!HaveGameFolder()) GTEST_SKIP() << "no generated game folder at " << GameDir;
  SetGameFolder(GameDir);
  LoadFontMetrics();
  const char* textures[] = {"", "data/font.tga", "data/font1.tga"};
  for (int f = 1; f <= 2; ++f) {
    SCOPED_TRACE("font " + std::to_string(f));
    EXPECT_GE(Fonts[f].GlyphCount, 51);
    auto [w, h] = Decode(GameDir + "/" + textures[f]);
    ASSERT_GT(w, 0);
    for (int g = 1; g <= 51; ++g) {
      const TGlyph& gl = Fonts[f].Glyphs[g];
      EXPECT_GT(Fonts[f].Widths[g], 4) << "glyph " << g;
      EXPECT_GE(gl.LeftU, 0.f);
      EXPECT_LE(gl.RightU, 1.f) << "glyph " << g << " runs off a texture " << w << " wide";
      EXPECT_LT(gl.TopV, gl.BottomV);
    }
  }
}

// Each glyph's cell holds ink, and the ink (outline included) stays clear of
// the cell's sides, so no glyph is cut off or shows a sliver of its neighbour.
TEST(GameFolder, GlyphsSitInsideTheirCells) {
  if (!HaveGameFolder()) GTEST_SKIP() << "no generated game folder at " << GameDir;
  SetGameFolder(GameDir);
  LoadFontMetrics();
  const char* textures[] = {"", "data/font.tga", "data/font1.tga"};
  for (int f = 1; f <= 2; ++f) {
    std::vector<unsigned char> px;
    auto [w, h] = Decode(GameDir + "/" + textures[f], &px);
    ASSERT_GT(w, 0);
    auto alpha = [&](int x, int y) { return px[(static_cast<size_t>(y) * w + x) * 4 + 3]; };
    for (int g = 1; g <= 51; ++g) {
      const TGlyph& gl = Fonts[f].Glyphs[g];
      int x0 = static_cast<int>(gl.LeftU * w + 0.5f), x1 = static_cast<int>(gl.RightU * w + 0.5f);
      int y0 = static_cast<int>(gl.TopV * h + 0.5f), y1 = static_cast<int>(gl.BottomV * h + 0.5f);
      int ink = 0, edge = 0;
      for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x)
          if (alpha(x, y) > 40) {
            ++ink;
            if (x == x0 || x == x1 - 1 || y == y0 || y == y1 - 1) ++edge;
          }
      EXPECT_GT(ink, 20) << "font " << f << " glyph " << g << " is empty";
      EXPECT_EQ(edge, 0) << "font " << f << " glyph " << g << " touches its cell's border";
    }
  }
}

// Item pictures are drawn for the shape of their item; a picture of another
// shape would show its lettering squashed or stretched.
TEST(GameFolder, MenuPicturesFitTheShapeOfTheirItems) {
  if (!HaveGameFolder()) GTEST_SKIP() << "no generated game folder at " << GameDir;
  for (int p = 1; p < static_cast<int>(Menu().Pages.size()); ++p)
    for (const MenuItem& it : Menu().Pages[p]) {
      auto [w, h] = Decode(GameDir + "/" + Local(it.Normal));
      ASSERT_GT(w, 0) << it.Normal;
      // Power-of-two sizes round the shape, so allow a factor below 1.5 either way.
      float stretch = (static_cast<float>(w) / h) / (it.W / it.H);
      EXPECT_GT(stretch, 0.66f) << it.Normal;
      EXPECT_LT(stretch, 1.5f) << it.Normal;
    }
}

// The pictures shown behind a page of buttons (the tutorial's nine behind page
// 9, the hints behind page 10) keep their text out of the buttons' band: no
// bright pixel from a little above the highest button's top to the bottom
// edge. Picture and buttons fill the same view of the board plane, so this
// holds at every window size.
TEST(GameFolder, PictureTextStaysClearOfTheButtonsBelowIt) {
  if (!HaveGameFolder()) GTEST_SKIP() << "no generated game folder at " << GameDir;
  std::vector<std::pair<std::string, int>> pictures;
  for (int n = 1; n <= 9; ++n) pictures.push_back({"Images/Tutorial/tut" + std::to_string(n) + ".jpg", 9});
  pictures.push_back({"Images/help.jpg", 10});
  constexpr float ViewH = 10.8375f, ViewTop = -0.25f + ViewH / 2;
  constexpr float Margin = 0.1f;  // world units kept free above the buttons
  for (const auto& [file, page] : pictures) {
    SCOPED_TRACE(file);
    float top = -ViewTop;  // the highest button's top edge, as world y
    for (const MenuItem& it : Menu().Pages[page])
      if (it.Visible || it.Selectable) top = std::max(top, it.Y + it.H / 2);
    std::vector<unsigned char> px;
    auto [w, h] = Decode(GameDir + "/" + file, &px);
    ASSERT_GT(w, 0);
    const int firstRow = static_cast<int>((ViewTop - top - Margin) / ViewH * h);
    ASSERT_GT(firstRow, h / 2);
    int bright = 0, highest = h;
    for (int y = firstRow; y < h; ++y)
      for (int x = 0; x < w; ++x) {
        const unsigned char* p = &px[(static_cast<size_t>(y) * w + x) * 4];
        // The backdrop is a dark night blue; lettering is light.
        if (std::max({p[0], p[1], p[2]}) > 110) {
          ++bright;
          highest = std::min(highest, y);
        }
      }
    EXPECT_EQ(bright, 0) << "text reaches row " << highest << " of " << h << "; the buttons' band starts at row "
                         << firstRow;
  }
}

TEST(GameFolder, SoundsAndMusicArePresent) {
  if (!HaveGameFolder()) GTEST_SKIP() << "no generated game folder at " << GameDir;
  if (!fs::exists(GameDir + "/Music")) GTEST_SKIP() << "audio not generated yet";
  for (const char* track : {"menu1.ogg", "menu2.ogg", "theme1.ogg", "theme2.ogg"})
    EXPECT_TRUE(fs::exists(GameDir + "/Music/" + track)) << track;
  int sounds = 0;
  for (const auto& e : fs::directory_iterator(GameDir + "/Sounds"))
    if (e.path().extension() == ".ogg" || e.path().extension() == ".wav") ++sounds;
  EXPECT_GE(sounds, 27);
}

}  // namespace
