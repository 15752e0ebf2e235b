// The nine tutorial pictures (Images/Tutorial/tut1..9.jpg) and the hints
// page shown before a game (Images/help.jpg). Each teaches one rule with a
// small board diagram drawn from the same cube faces as skin 1. The bottom
// strip stays free for the menu's buttons.
#include <cmath>
#include <stdexcept>
#include <string>
#include <vector>

#include "assetgen.h"
#include "style.h"

namespace ag {

namespace {

// A patch of board: cells of `cell` units, column 1 at the left, row 1 at the top.
struct MiniBoard {
  float U0, V0, Cell;
  int Cols, Rows;
  float U(float col) const { return U0 + (col - 0.5f) * Cell; }
  float V(float row) const { return V0 + (row - 0.5f) * Cell; }
};

MiniBoard DrawMiniBoard(Canvas& c, float cu, float cv, float cell, int cols, int rows) {
  MiniBoard b{cu - cols * cell / 2, cv - rows * cell / 2, cell, cols, rows};
  float hw = cols * cell / 2, hh = rows * cell / 2;
  Box box = BoxAround(cu, cv, hw + 0.2f, hh + 0.2f, 0.2f);
  auto frame = [=](float u, float v) { return SdRoundBox(u, v, cu, cv, hw + 0.14f, hh + 0.14f, 0.16f); };
  Shadow(c, box, frame, Rgb(0, 0, 0, 0.7f), 0.15f, 0.04f, 0.08f);
  c.Fill(box, frame, [=](float u, float v) {
    float g = Fbm(u * 0.6f, v * 9.f, 3, 71) * 0.05f;
    RGBA w = Mix(Rgb(92, 58, 40), Rgb(54, 30, 22), Clamp01((v - cv + hh) / (2 * hh)));
    return RGBA{w.r + g, w.g + g, w.b + g, 1};
  });
  c.Fill(box, [=](float u, float v) { return SdRoundBox(u, v, cu, cv, hw + 0.03f, hh + 0.03f, 0.08f); }, Rgb(14, 16, 34));
  for (int x = 1; x <= cols; ++x)
    for (int y = 1; y <= rows; ++y) {
      float u = b.U(x), v = b.V(y);
      RGBA base = (x + y) % 2 ? Rgb(40, 46, 90) : Rgb(34, 39, 80);
      c.Fill(BoxAround(u, v, cell / 2, cell / 2, 0.01f),
             [=](float uu, float vv) { return SdRoundBox(uu, vv, u, v, cell * 0.455f, cell * 0.455f, cell * 0.09f); },
             base);
    }
  return b;
}

void Cube(Canvas& c, const MiniBoard& b, float col, float row, int tex, float scale = 0.8f) {
  DiagramCube(c, 1, tex, b.U(col), b.V(row), b.Cell * scale);
}

void Trail(Canvas& c, const MiniBoard& b, const std::vector<std::pair<int, int>>& cells) {
  for (auto [x, y] : cells) {
    float u = b.U(x), v = b.V(y), r = b.Cell * 0.1f;
    Box bx = BoxAround(u, v, r * 3, r * 3, 0.02f);
    Glow(c, bx, [=](float uu, float vv) { return SdCircle(uu, vv, u, v, r); }, Rgb(255, 190, 80, 0.8f), r);
    c.Fill(bx, [=](float uu, float vv) { return SdCircle(uu, vv, u, v, r); }, Rgb(255, 236, 180));
  }
}

void Target(Canvas& c, const MiniBoard& b, int x, int y, bool reachable) {
  float u = b.U(x), v = b.V(y), h = b.Cell * 0.42f;
  RGBA col = reachable ? Rgb(110, 255, 190) : Rgb(255, 90, 80);
  Box bx = BoxAround(u, v, h, h, 0.05f);
  auto ring = [=](float uu, float vv) { return std::fabs(SdRoundBox(uu, vv, u, v, h, h, h * 0.28f)) - b.Cell * 0.03f; };
  Glow(c, bx, ring, WithAlpha(col, 0.8f), b.Cell * 0.04f);
  c.Fill(bx, ring, col);
  if (!reachable) {
    float s = h * 0.4f, t = b.Cell * 0.04f;
    c.Fill(bx, [=](float uu, float vv) {
      return std::min(SdSegment(uu, vv, u - s, v - s, u + s, v + s, t), SdSegment(uu, vv, u + s, v - s, u - s, v + s, t));
    }, col);
  }
}

void Halo(Canvas& c, const MiniBoard& b, float x, float y) {
  float u = b.U(x), v = b.V(y), r = b.Cell * 0.55f;
  Box bx = BoxAround(u, v, r * 1.4f, r * 1.4f, 0.05f);
  Glow(c, bx, [=](float uu, float vv) { return std::fabs(SdCircle(uu, vv, u, v, r)) - 0.02f; }, Rgb(255, 220, 120, 0.9f), 0.06f);
}

void Pointer(Canvas& c, float u, float v, float s) {
  std::vector<std::pair<float, float>> arrow{{u, v}, {u, v + 0.36f * s}, {u + 0.085f * s, v + 0.275f * s},
                                             {u + 0.14f * s, v + 0.4f * s}, {u + 0.19f * s, v + 0.378f * s},
                                             {u + 0.136f * s, v + 0.255f * s}, {u + 0.255f * s, v + 0.255f * s}};
  Box bx = BoxAround(u + 0.15f * s, v + 0.2f * s, 0.3f * s, 0.3f * s, 0.05f);
  c.Fill(bx, [&](float uu, float vv) { return SdPolygon(uu, vv, arrow) - 0.015f * s; }, Rgb(20, 14, 8));
  c.Fill(bx, [&](float uu, float vv) { return SdPolygon(uu, vv, arrow); }, Rgb(255, 244, 210));
}

void Arrow(Canvas& c, float u0, float v0, float u1, float v1, float w = 0.06f) {
  float du = u1 - u0, dv = v1 - v0, len = std::hypot(du, dv);
  float nu = du / len, nv = dv / len, hs = w * 3.2f;
  float bu = u1 - nu * hs, bv = v1 - nv * hs;
  Box bx{std::min(u0, u1) - 0.3f, std::min(v0, v1) - 0.3f, std::max(u0, u1) + 0.3f, std::max(v0, v1) + 0.3f};
  auto shape = [=](float u, float v) {
    float shaft = SdSegment(u, v, u0, v0, bu, bv, w / 2);
    float head = SdPolygon(u, v, {{u1, v1}, {bu - nv * hs * 0.6f, bv + nu * hs * 0.6f}, {bu + nv * hs * 0.6f, bv - nu * hs * 0.6f}});
    return std::min(shaft, head);
  };
  Shadow(c, bx, shape, Rgb(0, 0, 0, 0.6f), 0.04f, 0.02f, 0.04f);
  c.Fill(bx, shape, pal::BrassLight);
}

void Label(Canvas& c, const std::string& text, float u, float v, float size, const RGBA& col,
           Face face = Face::SansBold) {
  TextStyle st;
  st.face = face;
  st.size = size;
  st.align = Align::Centre;
  st.colour = col;
  DrawTextShadowed(c, text, u, v, st, Rgb(0, 0, 0, 0.9f), size * 0.08f, 0, size * 0.06f);
}

// The text column on the right of every page. Its ink stays above the menu's
// buttons along the bottom (Close, Next, Previous: their top edge lies at
// v = 9.67), whatever the window's size, since picture and buttons scale
// together.
constexpr float TextU = 7.9f, TextWidth = 5.85f;
constexpr float TextTop = 2.3f;      // first baseline
constexpr float TextBottom = 9.4f;   // lowest ink
constexpr float TextSize = 0.33f;    // em height, as long as the page's text fits
constexpr float TextMinSize = 0.28f;
constexpr float LineGap = 1.38f;     // baseline to baseline, in ems
constexpr float ParagraphGap = 0.22f;
constexpr float Descent = 0.25f;     // ink below the baseline, in ems

struct Paragraph {
  std::string Text;
  bool Strong = false;
};

// The common frame: title, diagram panel on the left, text on the right.
struct Page {
  ScreenPicture P;
  Canvas& C = P.C;
  std::string Title;
  std::vector<Paragraph> Paragraphs;
};

void Frame(Page& pg, int number, const std::string& title) {
  Canvas& c = pg.C;
  pg.Title = title;
  NightBackdrop(c, 100 + number, 0.5f);
  TextStyle st;
  st.face = Face::SerifBold;
  st.size = 0.72f;
  st.colour = pal::BrassLight;
  DrawTextShadowed(c, title, 0.8f, 1.25f, st, Rgb(0, 0, 0, 0.85f), 0.06f, 0, 0.05f);
  TextStyle num;
  num.face = Face::SansCondBold;
  num.size = 0.3f;
  num.align = Align::Right;
  num.colour = pal::TextDim;
  DrawText(c, std::to_string(number) + " / 9", 13.7f, 1.2f, num);
  c.Fill({0.8f, 1.45f, 13.7f, 1.55f}, [](float u, float v) { return std::max(std::fabs(v - 1.5f) - 0.01f, std::fabs(u - 7.25f) - 6.45f); },
         Rgb(196, 150, 72, 0.7f));
  GlassPanel(c, 4.0f, 5.55f, 3.3f, 3.45f, 0.3f);
}

void Text(Page& pg, const std::string& para, bool strong = false) { pg.Paragraphs.push_back({para, strong}); }

TextStyle ParagraphStyle(bool Strong, float Size) {
  TextStyle st;
  st.face = Strong ? Face::SansBold : Face::Sans;
  st.size = Size;
  st.colour = Strong ? pal::BrassLight : pal::Text;
  return st;
}

// The lowest ink of the page's text set at Size; with Draw, sets it too.
float SetParagraphs(Page& pg, float Size, bool Draw) {
  float v = TextTop, lowest = TextTop;
  for (const Paragraph& p : pg.Paragraphs) {
    const TextStyle st = ParagraphStyle(p.Strong, Size);
    for (const std::string& line : WrapParagraph(pg.C, p.Text, TextWidth, st)) {
      if (Draw) DrawText(pg.C, line, TextU, v, st);
      lowest = v + Descent * Size;
      v += Size * LineGap;
    }
    v += ParagraphGap;
  }
  return lowest;
}

// Sets the text at the largest size that keeps it clear of the buttons; a
// page that would need smaller letters than TextMinSize has too much text.
void SetText(Page& pg) {
  float size = TextSize;
  while (SetParagraphs(pg, size, false) > TextBottom) {
    size -= 0.005f;
    if (size < TextMinSize) throw std::runtime_error("tutorial page \"" + pg.Title + "\": the text does not fit");
  }
  SetParagraphs(pg, size, true);
}

void Save(const Context& ctx, Page& pg, int n) {
  SetText(pg);
  SaveJpg(ctx.Path("Images/Tutorial/tut" + std::to_string(n) + ".jpg"), pg.P.Final(), 93);
}

void Tut1(const Context& ctx) {
  Page pg;
  Frame(pg, 1, "Pick a cube, send it off");
  Canvas& c = pg.C;
  MiniBoard b = DrawMiniBoard(c, 4.0f, 5.55f, 1.0f, 6, 6);
  Cube(c, b, 2, 5, 0); Cube(c, b, 4, 2, 3); Cube(c, b, 5, 5, 1); Cube(c, b, 3, 3, 2); Cube(c, b, 6, 1, 0);
  Cube(c, b, 6, 3, 4, 0.35f);  // an announced cube: small, does not block
  Halo(c, b, 2, 5);
  Trail(c, b, {{2, 4}, {2, 3}, {2, 2}, {2, 1}, {3, 1}});
  Target(c, b, 4, 1, true);
  Pointer(c, b.U(4) + 0.05f, b.V(1) + 0.05f, 1.6f);
  Text(pg, "Click a cube to pick it up: it lifts and turns.");
  Text(pg, "Point at an empty cell: a trail of lights shows the cube's way. Click again and it travels there.");
  Text(pg, "Small cubes are the next arrivals; they do not block the way. A right click puts the cube back down.");
  Text(pg, "No mouse? The arrows or a gamepad move a frame over the board. Enter, Space or A clicks; Backspace or B puts the cube down; Esc, P, F1 or Start pauses.", true);
  Save(ctx, pg, 1);
}

void Tut2(const Context& ctx) {
  Page pg;
  Frame(pg, 2, "Up to 30 steps");
  Canvas& c = pg.C;
  MiniBoard b = DrawMiniBoard(c, 4.0f, 5.55f, 1.0f, 6, 6);
  for (int y = 1; y <= 5; ++y) Cube(c, b, 3, y, y % 4);
  for (int x = 4; x <= 6; ++x) Cube(c, b, x, 4, (x + 1) % 4);
  Cube(c, b, 1, 1, 2);
  Halo(c, b, 1, 1);
  Trail(c, b, {{1, 2}, {1, 3}, {1, 4}, {1, 5}, {1, 6}, {2, 6}, {3, 6}, {4, 6}, {5, 6}, {6, 6}, {6, 5}});
  Target(c, b, 5, 5, true);
  Target(c, b, 5, 2, false);
  Text(pg, "Cubes move up, down, left and right, never across a corner, and never through another cube.");
  Text(pg, "One move may take at most 30 steps.");
  Text(pg, "A green frame marks a cell the cube can reach. A red cross means no way leads there: clicking it does nothing.");
  Save(ctx, pg, 2);
}

void Tut3(const Context& ctx) {
  Page pg;
  Frame(pg, 3, "Squares score");
  Canvas& c = pg.C;
  MiniBoard b = DrawMiniBoard(c, 4.0f, 5.55f, 1.0f, 6, 6);
  Cube(c, b, 2, 2, 0); Cube(c, b, 3, 2, 0); Cube(c, b, 2, 3, 0);
  Cube(c, b, 5, 5, 0);
  Halo(c, b, 5, 5);
  Trail(c, b, {{4, 5}, {3, 5}, {3, 4}});
  Target(c, b, 3, 3, true);
  Cube(c, b, 5, 2, 1); Cube(c, b, 1, 5, 3); Cube(c, b, 6, 4, 2);
  Label(c, "+40", b.U(2.5f), b.V(2.5f) + 0.15f, 0.5f, pal::BrassLight);
  Text(pg, "Four cubes of one colour in a 2 x 2 square vanish and score.");
  Text(pg, "A move that scores nothing brings in the small announced cubes, and new ones are announced.");
  Text(pg, "When a new cube finds no free cell, the game is over. Keep the board open!");
  Save(ctx, pg, 3);
}

void Tut4(const Context& ctx) {
  Page pg;
  Frame(pg, 4, "Jokers");
  Canvas& c = pg.C;
  MiniBoard b = DrawMiniBoard(c, 4.0f, 5.55f, 1.0f, 6, 6);
  Cube(c, b, 2, 2, 2); Cube(c, b, 3, 2, 2); Cube(c, b, 2, 3, 7); Cube(c, b, 3, 3, 2);
  Cube(c, b, 4, 5, 3); Cube(c, b, 5, 5, 7); Cube(c, b, 4, 6, 3); Cube(c, b, 5, 6, 7);
  Label(c, "square", b.U(2.5f), b.V(1) - 0.2f, 0.3f, pal::Text);
  Label(c, "square", b.U(4.5f), b.V(4) - 0.2f, 0.3f, pal::Text);
  Text(pg, "The rainbow joker stands in for any colour.");
  Text(pg, "Three cubes of one colour and a joker make a square, and so do four jokers.");
  Text(pg, "Jokers also fill any place of the bonus figure.");
  Save(ctx, pg, 4);
}

void Tut5(const Context& ctx) {
  Page pg;
  Frame(pg, 5, "The bonus figure");
  Canvas& c = pg.C;
  MiniBoard b = DrawMiniBoard(c, 3.05f, 6.05f, 0.85f, 5, 6);
  Cube(c, b, 2, 3, 0); Cube(c, b, 3, 3, 1); Cube(c, b, 4, 3, 0); Cube(c, b, 3, 4, 1);
  Cube(c, b, 1, 6, 2); Cube(c, b, 5, 1, 3);
  // The figure as shown beside the board.
  float fu = 6.35f, fv = 3.05f;
  c.Fill(BoxAround(fu, fv, 0.8f, 0.62f, 0.05f), [=](float u, float v) { return SdRoundBox(u, v, fu, fv, 0.78f, 0.6f, 0.1f); }, Rgb(8, 8, 20, 0.9f));
  DiagramCube(c, 1, 0, fu - 0.46f, fv - 0.2f, 0.42f);
  DiagramCube(c, 1, 1, fu, fv - 0.2f, 0.42f);
  DiagramCube(c, 1, 0, fu + 0.46f, fv - 0.2f, 0.42f);
  DiagramCube(c, 1, 1, fu, fv + 0.26f, 0.42f);
  Label(c, "figure", fu, fv + 0.92f, 0.26f, pal::TextDim);
  Arrow(c, fu - 0.3f, fv + 1.2f, b.U(3.6f), b.V(3) - 0.3f);
  Text(pg, "Beside the board stands a bonus figure of up to 4 x 4 cubes.");
  Text(pg, "Build the same pattern anywhere on the board, the right way up, and it vanishes and pays its bonus. Empty places in the figure may hold anything.");
  Text(pg, "Each figure also earns a special item, and a new figure takes its place.");
  Save(ctx, pg, 5);
}

void Tut6(const Context& ctx) {
  Page pg;
  Frame(pg, 6, "Combos");
  Canvas& c = pg.C;
  const char* words[] = {"40", "Double score", "Triple score", "Quadro score"};
  for (int i = 0; i < 4; ++i) {
    float v = 2.9f + i * 1.55f;
    for (int k = 0; k < 4; ++k) DiagramCube(c, 1, i % 4, 1.6f + 0.5f * (k % 2), v + 0.5f * (k / 2) - 0.25f, 0.44f);
    Label(c, words[i], 4.6f, v + 0.15f, 0.42f, i ? Rgb(255, 214, 130) : pal::Text);
  }
  Text(pg, "Score with one move after another and a combo builds up: the second scoring move in a row pays double, the third triple, and so on.");
  Text(pg, "Every odd combo from three on (3, 5, 7...) earns a special item.");
  Text(pg, "A move that scores nothing at all ends the combo.");
  Save(ctx, pg, 6);
}

void ItemRow(Canvas& c, float v, int tex, const std::string& name, const std::string& what) {
  DiagramCube(c, 1, tex, 1.7f, v, 0.8f);
  TextStyle st;
  st.face = Face::SansBold;
  st.size = 0.36f;
  st.colour = pal::BrassLight;
  DrawText(c, name, 2.5f, v - 0.08f, st);
  TextStyle body;
  body.face = Face::Sans;
  body.size = 0.27f;
  body.colour = pal::Text;
  DrawParagraph(c, what, 2.5f, v + 0.32f, 4.6f, body, 1.3f);
}

void Tut7(const Context& ctx) {
  Page pg;
  Frame(pg, 7, "Three special items");
  Canvas& c = pg.C;
  ItemRow(c, 3.0f, 8, "Bomb", "Move it: it blasts the 3 x 3 block where it lands.");
  ItemRow(c, 5.5f, 9, "Shot", "Pick it up, then click a cube: every cube of that colour goes.");
  ItemRow(c, 8.0f, 10, "Colorize", "Move it: the cubes around its landing cell take its colour.");
  Text(pg, "Items come from bonus figures and from combos of 3, 5, 7 and more.");
  Text(pg, "Every cube an item removes or recolours pays points. Which items a level hands out grows with the levels.");
  Save(ctx, pg, 7);
}

void Tut8(const Context& ctx) {
  Page pg;
  Frame(pg, 8, "Bonus levels");
  Canvas& c = pg.C;
  MiniBoard b = DrawMiniBoard(c, 4.0f, 5.55f, 1.0f, 6, 6);
  const int stones[][2] = {{2, 2}, {3, 2}, {2, 3}, {5, 5}, {6, 5}, {5, 6}, {1, 6}};
  for (auto& s : stones) DiagramCube(c, 1, 17, b.U(s[0]), b.V(s[1]), 0.78f);
  DiagramCube(c, 1, 8, b.U(4), b.V(3), 0.78f);
  DiagramCube(c, 1, 8, b.U(3), b.V(5), 0.78f);
  Arrow(c, b.U(4) + 0.1f, b.V(3) - 0.35f, b.U(3) + 0.3f, b.V(3) - 0.25f, 0.05f);
  Text(pg, "Every fifth level is a bonus level: the board is cleared and set with stones and bombs.");
  Text(pg, "Move the bombs to blast the stones. With three stones or fewer left you win a bonus, the whole of it with none left.");
  Text(pg, "The level before it is a finale: when you finish it, its cubes fly away.");
  Save(ctx, pg, 8);
}

void Tut9(const Context& ctx) {
  Page pg;
  Frame(pg, 9, "Two ways to play");
  Canvas& c = pg.C;
  auto bar = [&](float v, float fill, const RGBA& col) {
    float u0 = 1.4f, w = 5.2f;
    c.Fill(BoxAround(u0 + w / 2, v, w / 2 + 0.1f, 0.25f, 0.05f), [=](float u, float vv) { return SdRoundBox(u, vv, u0 + w / 2, v, w / 2 + 0.06f, 0.2f, 0.2f); }, Rgb(6, 6, 14));
    c.Fill(BoxAround(u0 + w / 2, v, w / 2, 0.2f, 0.05f), [=](float u, float vv) { return SdRoundBox(u, vv, u0 + w * fill / 2, v, w * fill / 2, 0.12f, 0.12f); }, col);
  };
  Label(c, "Relaxed", 4.0f, 3.1f, 0.45f, pal::BrassLight, Face::SerifBold);
  bar(3.8f, 0.45f, Rgb(150, 240, 220));
  Label(c, "points fill the bar", 4.0f, 4.5f, 0.28f, pal::Text, Face::Sans);
  Label(c, "Against the clock", 4.0f, 6.1f, 0.45f, pal::BrassLight, Face::SerifBold);
  bar(6.8f, 0.22f, Rgb(255, 120, 90));
  Label(c, "the bar drains; points refill it", 4.0f, 7.5f, 0.28f, pal::Text, Face::Sans);
  Text(pg, "Relaxed: each level has a points target. The bar under the board fills as you score. Take all the time you like.", false);
  Text(pg, "Against the clock: the bar is your energy. It drains all the time, faster after the first minute, and points refill it. Fill it to finish the level; if it runs dry, the game is over.");
  Text(pg, "Both modes keep their own saved game and high scores.");
  Save(ctx, pg, 9);
}

// The hints page shown before a game, with the start button and the hints
// switch over its bottom strip.
void Help(const Context& ctx) {
  ScreenPicture p;
  Canvas& c = p.C;
  NightBackdrop(c, 200, 0.5f);
  TextStyle st;
  st.face = Face::SerifBold;
  st.size = 0.72f;
  st.colour = pal::BrassLight;
  st.align = Align::Centre;
  DrawTextShadowed(c, "Before you play", c.UW / 2, 1.2f, st, Rgb(0, 0, 0, 0.85f), 0.06f, 0, 0.05f);
  struct Tip {
    int tex;
    const char* title;
    const char* text;
  };
  const Tip tips[] = {
      {0, "Move", "Click a cube, then click where it should go. It moves along free cells, at most 30 steps."},
      {1, "Squares", "Four cubes of one colour in a 2 x 2 square vanish and score."},
      {7, "Jokers", "The rainbow joker counts as any colour."},
      {2, "Bonus figure", "Rebuild the figure beside the board for its bonus and a special item."},
      {8, "Items", "Bombs blast, shots clear a colour, colorize items repaint their neighbours."},
      {3, "Careful", "A move that scores nothing brings new cubes. A full board ends the game."},
  };
  for (int i = 0; i < 6; ++i) {
    float cu = i % 2 == 0 ? 3.85f : 10.6f, cv = 2.5f + (i / 2) * 2.2f;
    GlassPanel(c, cu, cv + 0.2f, 3.2f, 0.98f, 0.22f);
    DiagramCube(c, 1, tips[i].tex, cu - 2.45f, cv + 0.2f, 0.8f);
    TextStyle t;
    t.face = Face::SansBold;
    t.size = 0.34f;
    t.colour = pal::BrassLight;
    DrawText(c, tips[i].title, cu - 1.75f, cv - 0.2f, t);
    TextStyle body;
    body.face = Face::Sans;
    body.size = 0.25f;
    body.colour = pal::Text;
    DrawParagraph(c, tips[i].text, cu - 1.75f, cv + 0.2f, 4.75f, body, 1.3f);
  }
  TextStyle foot;
  foot.face = Face::Sans;
  foot.size = 0.26f;
  foot.align = Align::Centre;
  foot.colour = pal::TextDim;
  DrawText(c, "Keys: the arrows move a frame over the board, Enter or Space clicks, Backspace lets go, Esc pauses.",
           c.UW / 2, 8.5f, foot);
  DrawText(c, "Gamepad: the D-pad or the stick moves, A clicks, B lets go, Start pauses.", c.UW / 2, 8.9f, foot);
  DrawText(c, "The full rules are in the tutorial, under Play.", c.UW / 2, 9.3f, foot);
  SaveJpg(ctx.Path("Images/help.jpg"), p.Final(), 93);
}

}  // namespace

void AddTutorialJobs(std::vector<Job>& jobs) {
  void (*pages[])(const Context&) = {Tut1, Tut2, Tut3, Tut4, Tut5, Tut6, Tut7, Tut8, Tut9};
  for (int i = 0; i < 9; ++i) jobs.push_back({"tutorial" + std::to_string(i + 1), 8, pages[i]});
  jobs.push_back({"help", 8, Help});
}

}  // namespace ag
