// Full-screen pictures: the menu background, the loading screen (with the
// frame for its 30 lamps), the game-over picture, and the launcher's small
// picture.
#include <cmath>

#include "assetgen.h"
#include "style.h"

namespace ag {

namespace {

// Tilted cubes scattered in the margins, for a sense of play.
void ScatterCubes(Canvas& c, Rng& rng, int count, float u0, float u1, float v0, float v1, float size) {
  for (int i = 0; i < count; ++i) {
    float u = rng.Range(u0, u1), v = rng.Range(v0, v1);
    float s = size * rng.Range(0.7f, 1.15f);
    int kind = rng.Below(8);
    if (kind == 7) kind = 7;  // now and then a joker among the colours
    DiagramCube(c, 1, kind, u, v, s);
  }
}

void MenuBackground(const Context& ctx) {
  ScreenPicture p;
  NightBackdrop(p.C, 21);
  Rng rng(HashName("menu", ctx.Seed));
  ScatterCubes(p.C, rng, 5, 0.25f, 1.35f, 1.5f, 10.0f, 0.55f);
  ScatterCubes(p.C, rng, 5, 13.1f, 14.2f, 1.5f, 10.0f, 0.55f);
  Logo(p.C, WU(-1.8f), WV(4.12f), 1.0f);
  // The glass panel every menu page and the high score table stand on.
  GlassPanel(p.C, WU(-1.8f), WV(-0.55f), 5.4f, 4.4f, 0.35f);
  SaveJpg(ctx.Path("Images/menu.jpg"), p.Final(), 93);
}

void Loading(const Context& ctx) {
  ScreenPicture p;
  NightBackdrop(p.C, 33);
  Canvas& c = p.C;
  Logo(c, WU(-1.8f), WV(1.9f), 1.5f);
  TextStyle st;
  st.face = Face::SerifItalic;
  st.size = 0.38f;
  st.align = Align::Centre;
  st.colour = pal::TextDim;
  DrawText(c, "a puzzle of coloured cubes", WU(-1.8f), WV(1.05f), st);
  // The lamp rail: 30 sockets at x = 1.9 - 0.255 (i - 1), y = -0.28.
  float cu = WU(-1.7975f), cv = WV(-0.28f), hw = 3.95f, hh = 0.3f;
  Box rail = BoxAround(cu, cv, hw, hh, 0.2f);
  auto shape = [=](float u, float v) { return SdRoundBox(u, v, cu, cv, hw, hh, hh); };
  Shadow(c, rail, shape, Rgb(0, 0, 0, 0.7f), 0.12f, 0.03f, 0.07f);
  c.Fill(rail, shape, [=](float, float v) { return Mix(pal::BrassLight, pal::BrassDark, Clamp01((v - cv + hh) / (2 * hh))); });
  c.Fill(rail, [=](float u, float v) { return SdRoundBox(u, v, cu, cv, hw - 0.06f, hh - 0.06f, hh - 0.06f); }, Rgb(14, 14, 30));
  for (int i = 1; i <= 30; ++i) Lamp(c, WU(1.9f - 0.255f * (i - 1)), cv, 0.11f, false);
  TextStyle small = st;
  small.face = Face::SansCondBold;
  small.size = 0.26f;
  small.tracking = 0.04f;
  small.colour = pal::Brass;
  DrawText(c, "LOADING", WU(-1.8f), WV(-1.2f), small);
  Rng rng(HashName("loading", ctx.Seed));
  ScatterCubes(c, rng, 6, 0.6f, 13.8f, 7.6f, 10.2f, 0.6f);
  SaveJpg(ctx.Path("Images/loading.jpg"), p.Final(), 93);
}

void GameOver(const Context& ctx) {
  ScreenPicture p;
  NightBackdrop(p.C, 47, 0.7f);
  Canvas& c = p.C;
  // A red dusk over the night: the board is lost.
  c.Fill({0, 0, c.UW, c.UH}, [](float, float) { return -1.f; }, [&](float u, float v) {
    float d = std::hypot(u - c.UW / 2, (v - c.UH * 0.45f) * 1.3f);
    return Rgb(140, 20, 30, 0.35f * Smooth(6.f, 0.f, d));
  });
  TextStyle st;
  st.face = Face::SerifBold;
  st.size = 1.5f;
  st.align = Align::Centre;
  st.tracking = 0.08f;
  st.colour = Rgb(255, 206, 150);
  DrawTextShadowed(c, "GAME OVER", WU(-1.8f), WV(0.6f), st, Rgb(0, 0, 0, 0.9f), 0.12f, 0.05f, 0.1f);
  TextStyle sub;
  sub.face = Face::Sans;
  sub.size = 0.38f;
  sub.align = Align::Centre;
  sub.colour = pal::Text;
  DrawText(c, "No room left for the next cubes, or the energy ran out.", WU(-1.8f), WV(-0.5f), sub);
  // Cubes tumbled down to a row well below the prompt, which stays clear.
  Rng rng(HashName("gameover", ctx.Seed));
  for (int i = 0; i < 9; ++i) {
    float u = 1.0f + 12.4f * (i + rng.Range(0.2f, 0.8f)) / 9, v = rng.Range(9.4f, 9.9f);
    DiagramCube(c, 1, rng.Below(7), u, v, rng.Range(0.4f, 0.55f));
  }
  sub.colour = pal::BrassLight;
  sub.face = Face::SansBold;
  DrawText(c, "Press a key or click to see the high scores", WU(-1.8f), WV(-3.6f), sub);
  SaveJpg(ctx.Path("Images/gameover.jpg"), p.Final(), 93);
}

// The launcher dialog's 200 x 150 picture.
void Launcher(const Context& ctx) {
  Image img(800, 600);
  Canvas c(img, 4, 3);
  NightBackdrop(c, 61, 0.5f);
  Logo(c, 2.0f, 0.95f, 0.55f);
  const int kinds[] = {0, 1, 2, 3, 4, 5, 6, 7, 0};
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j) DiagramCube(c, 1, kinds[i * 3 + j], 1.45f + 0.55f * i, 1.45f + 0.5f * j, 0.44f);
  SaveJpg(ctx.Path("Images/launcher.jpg"), img.Resized(200, 150), 92);
}

}  // namespace

void AddScreenJobs(std::vector<Job>& jobs) {
  jobs.push_back({"menu_background", 8, MenuBackground});
  jobs.push_back({"loading", 8, Loading});
  jobs.push_back({"gameover", 8, GameOver});
  jobs.push_back({"launcher", 1, Launcher});
}

}  // namespace ag
