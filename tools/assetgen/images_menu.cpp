// The menu's item pictures, Images/Menu/<name>.tga and <name>_hi.tga (the
// highlighted look). Each picture is made for the size its item has in
// data/Menu.dat, so that letters keep their shape on the stretched quad.
#include <cmath>
#include <string>

#include "assetgen.h"
#include "style.h"

namespace ag {

namespace {

int Pow2Near(float px) {
  int p = 32;
  while (p < 1024 && p * 1.41f < px) p *= 2;
  return p;
}

// Renders a picture of w x h world units at twice the stored resolution.
template <typename F>
void Item(const Context& ctx, const std::string& name, float w, float h, F draw) {
  int tw = Pow2Near(w * 150), th = Pow2Near(h * 150);
  Image img(tw * 2, th * 2);
  Canvas c(img, w, h);
  draw(c);
  SaveTga(ctx.Path("Images/Menu/" + name + ".tga"), img.Resized(tw, th));
}

void ButtonPair(std::vector<Job>& jobs, const std::string& name, float w, float h,
                const std::string& label, const std::string& sub = "") {
  jobs.push_back({"menu_" + name, 1, [=](const Context& ctx) {
    for (bool hi : {false, true})
      Item(ctx, name + (hi ? "_hi" : ""), w, h, [&](Canvas& c) {
        Button(c, w / 2, h / 2, w / 2 - 0.06f, h / 2 - 0.06f, label, hi, sub);
      });
  }});
}

// A round brass knob with a sign: the volume and skin arrows.
void KnobPair(std::vector<Job>& jobs, const std::string& name, int sign) {
  jobs.push_back({"menu_" + name, 1, [=](const Context& ctx) {
    for (bool hi : {false, true})
      Item(ctx, name + (hi ? "_hi" : ""), 0.7f, 0.7f, [&](Canvas& c) {
        float cu = 0.35f, cv = 0.35f, r = 0.29f;
        Box all{0, 0, 0.7f, 0.7f};
        auto disc = [=](float u, float v) { return SdCircle(u, v, cu, cv, r); };
        if (hi) Glow(c, all, disc, Rgb(255, 190, 80, 0.8f), 0.05f);
        c.Fill(all, disc, [=](float, float v) { return Mix(pal::BrassLight, pal::BrassDark, (v - cv + r) / (2 * r)); });
        c.Fill(all, [=](float u, float v) { return SdCircle(u, v, cu, cv, r - 0.04f); }, [=](float, float v) {
          float t = (v - cv + r) / (2 * r);
          return hi ? Mix(Rgb(130, 80, 34), Rgb(70, 34, 14), t) : Mix(Rgb(52, 56, 110), Rgb(20, 22, 52), t);
        });
        RGBA ink = hi ? Rgb(255, 236, 190) : pal::Text;
        float s = 0.13f;
        switch (sign) {
          case 0:  // minus
            c.Fill(all, [=](float u, float v) { return SdRoundBox(u, v, cu, cv, s, 0.035f, 0.02f); }, ink);
            break;
          case 1:  // plus
            c.Fill(all, [=](float u, float v) {
              return std::min(SdRoundBox(u, v, cu, cv, s, 0.035f, 0.02f), SdRoundBox(u, v, cu, cv, 0.035f, s, 0.02f));
            }, ink);
            break;
          case 2:  // previous: points left on screen
            c.Fill(all, [=](float u, float v) {
              return SdPolygon(u, v, {{cu - 0.12f, cv}, {cu + 0.08f, cv - 0.12f}, {cu + 0.08f, cv + 0.12f}}) - 0.01f;
            }, ink);
            break;
          default:  // next
            c.Fill(all, [=](float u, float v) {
              return SdPolygon(u, v, {{cu + 0.12f, cv}, {cu - 0.08f, cv + 0.12f}, {cu - 0.08f, cv - 0.12f}}) - 0.01f;
            }, ink);
            break;
        }
      });
  }});
}

void LabelPair(std::vector<Job>& jobs, const std::string& name, const std::string& text) {
  jobs.push_back({"menu_" + name, 1, [=](const Context& ctx) {
    for (bool hi : {false, true})
      Item(ctx, name + (hi ? "_hi" : ""), 3.0f, 0.7f, [&](Canvas& c) {
        TextStyle st;
        st.face = Face::SansBold;
        // Centred: each label heads its row, above the row's controls.
        st.size = 0.36f;
        st.align = Align::Centre;
        st.colour = hi ? Rgb(255, 214, 130) : pal::Text;
        if (hi) {
          TextStyle g = st;
          g.colour = Rgb(255, 160, 40, 0.9f);
          Image glow = TextLayer(c, text, 1.5f, 0.48f, g);
          Blur(glow, static_cast<int>(0.06f * c.Sy));
          c.Img.Over(glow);
        }
        DrawTextShadowed(c, text, 1.5f, 0.48f, st, Rgb(0, 0, 0, 0.8f), 0.03f, 0, 0.02f);
      });
  }});
}

void SkinPair(std::vector<Job>& jobs, int skin) {
  static const char* names[] = {"Glass", "Toy blocks", "Anodised", "High contrast", "Neon"};
  std::string name = "skin" + std::to_string(skin);
  jobs.push_back({"menu_" + name, 2, [=](const Context& ctx) {
    for (bool hi : {false, true})
      Item(ctx, name + (hi ? "_hi" : ""), 2.0f, 1.0f, [&](Canvas& c) {
        Box all{0, 0, 2, 1};
        auto frame = [](float u, float v) { return SdRoundBox(u, v, 1, 0.5f, 0.95f, 0.45f, 0.12f); };
        if (hi) Glow(c, all, frame, Rgb(255, 190, 80, 0.6f), 0.04f);
        c.Fill(all, frame, Rgb(12, 12, 30, 0.75f));
        c.Fill(all, [=](float u, float v) { return std::fabs(frame(u, v)) - 0.015f; },
               hi ? pal::BrassLight : pal::Brass);
        for (int k = 0; k < 4; ++k) CubeFace(c, skin, k, 0.4f + 0.4f * k, 0.38f, 0.34f);
        TextStyle st;
        st.face = Face::SansBold;
        st.size = 0.2f;
        st.align = Align::Centre;
        st.colour = hi ? Rgb(255, 224, 160) : pal::Text;
        DrawText(c, std::to_string(skin) + "  " + names[skin - 1], 1.0f, 0.83f, st);
      });
  }});
}

void Bar(const Context& ctx) {
  for (bool hi : {false, true})
    Item(ctx, std::string("bar") + (hi ? "_hi" : ""), 1.4f, 0.4f, [&](Canvas& c) {
      // Only a vertical profile: the game stretches the bar to the volume.
      c.Fill({0, 0, 1.4f, 0.4f}, [](float, float v) { return std::fabs(v - 0.2f) - 0.13f; },
             [](float, float v) {
               float t = (v - 0.07f) / 0.26f;
               RGBA col = Mix(Rgb(255, 226, 140), Rgb(214, 120, 30), t);
               return Mix(col, Rgb(255, 255, 255), Smooth(0.35f, 0.0f, std::fabs(t - 0.25f)) * 0.5f);
             });
    });
}

// Drawn last on the options page: the title and glass tubes over the two
// volume bars (x -1.0 .. -2.6, at y 2.001 and 0.1945), transparent elsewhere.
void OptionsFrame(const Context& ctx) {
  Image img(2048, 2048);
  Canvas c(img, ViewW, ViewH);
  TextStyle st;
  st.face = Face::SerifBold;
  // Between the panel's rim and the sound row's label (the rows are fixed by
  // the volume bars' click areas).
  st.size = 0.52f;
  st.align = Align::Centre;
  st.colour = pal::BrassLight;
  DrawTextShadowed(c, "Options", WU(-1.8f), WV(3.24f), st, Rgb(0, 0, 0, 0.8f), 0.05f, 0, 0.04f);
  for (float y : {2.001f, 0.1945f}) {
    float cu = WU(-1.8f), cv = WV(y), hw = 0.86f, hh = 0.25f;
    Box b = BoxAround(cu, cv, hw, hh, 0.05f);
    auto tube = [=](float u, float v) { return SdRoundBox(u, v, cu, cv, hw, hh, hh); };
    c.Fill(b, [=](float u, float v) { return std::fabs(tube(u, v)) - 0.025f; },
           [=](float, float v) { return Mix(pal::BrassLight, pal::BrassDark, Clamp01((v - cv + hh) / (2 * hh))); });
    // Glass sheen over the upper part of the tube.
    c.Fill(b, [=](float u, float v) { return SdRoundBox(u, v, cu, cv - 0.1f, hw - 0.08f, 0.045f, 0.045f); },
           Rgb(255, 255, 255, 0.28f), 0.02f);
    for (int i = 1; i < 9; ++i) {
      float tu = WU(-1.0f - 1.5f * i / 9);
      c.Fill(b, [=](float u, float v) { return SdRoundBox(u, v, tu, cv + hh - 0.04f, 0.006f, 0.05f, 0); },
             Rgb(246, 214, 142, 0.6f));
    }
  }
  SaveTga(ctx.Path("Images/Menu/options_frame.tga"), img.Resized(1024, 1024));
}

void DialogPanel(const Context& ctx, const std::string& name, const std::string& title,
                 const std::string& text) {
  Item(ctx, name, 6.4f, 3.6f, [&](Canvas& c) {
    GlassPanel(c, 3.2f, 1.8f, 3.05f, 1.65f, 0.3f);
    TextStyle st;
    st.face = Face::SerifBold;
    st.size = 0.5f;
    st.align = Align::Centre;
    st.colour = pal::BrassLight;
    DrawTextShadowed(c, title, 3.2f, 0.85f, st, Rgb(0, 0, 0, 0.8f), 0.04f, 0, 0.03f);
    TextStyle body;
    body.face = Face::Sans;
    body.size = 0.24f;
    body.align = Align::Centre;
    body.colour = pal::Text;
    DrawText(c, text, 3.2f, 1.45f, body);
  });
}

void ScoresHead(const Context& ctx) {
  Item(ctx, "scores_head", 8.0f, 0.34f, [](Canvas& c) {
    TextStyle st;
    st.face = Face::SansCondBold;
    st.size = 0.22f;
    st.tracking = 0.03f;
    st.colour = pal::Brass;
    // Item spans x 2.2 .. -5.8: names start at x = 2.0, scores end at x = -5.6
    // (ScoreColumnRight), so the heading is right-aligned there too.
    DrawText(c, "NAME", 0.2f, 0.25f, st);
    TextStyle right = st;
    right.align = Align::Right;
    right.tracking = 0;
    DrawText(c, "SCORE", 7.8f, 0.25f, right);
    c.Fill({0, 0, 8, 0.34f}, [](float u, float v) { return std::max(std::fabs(v - 0.31f) - 0.008f, std::fabs(u - 4) - 3.9f); },
           Rgb(196, 150, 72, 0.6f));
  });
}

void Tabs(const Context& ctx) {
  // Tab 1 shows the relaxed table and offers the other; tab 2 the reverse.
  for (int shown = 1; shown <= 2; ++shown)
    for (bool hi : {false, true})
      Item(ctx, "tab" + std::to_string(shown) + (hi ? "_hi" : ""), 7.2f, 0.7f, [&](Canvas& c) {
        const char* names[] = {"Relaxed", "Against the clock"};
        for (int t = 1; t <= 2; ++t) {
          float cu = t == 1 ? 1.8f : 5.4f;
          bool active = t == shown;
          Box b = BoxAround(cu, 0.35f, 1.75f, 0.33f, 0.02f);
          auto shape = [=](float u, float v) { return SdRoundBox(u, v, cu, 0.35f, 1.7f, 0.3f, 0.14f); };
          if (!active && hi) Glow(c, b, shape, Rgb(255, 190, 80, 0.6f), 0.05f);
          c.Fill(b, shape, active ? Rgb(196, 150, 72, 0.95f) : Rgb(30, 34, 76, hi ? 0.95f : 0.8f));
          c.Fill(b, [=](float u, float v) { return std::fabs(shape(u, v)) - 0.015f; }, pal::BrassLight);
          TextStyle st;
          st.face = Face::SansBold;
          st.size = 0.3f;
          st.align = Align::Centre;
          st.colour = active ? Rgb(40, 24, 10) : (hi ? Rgb(255, 220, 150) : pal::TextDim);
          DrawText(c, names[t - 1], cu, 0.46f, st);
        }
      });
}

}  // namespace

void AddMenuJobs(std::vector<Job>& jobs) {
  ButtonPair(jobs, "play", 4.4f, 0.9f, "Play");
  ButtonPair(jobs, "options", 4.4f, 0.9f, "Options");
  ButtonPair(jobs, "scores", 4.4f, 0.9f, "High scores");
  ButtonPair(jobs, "exit", 4.4f, 0.9f, "Exit");
  ButtonPair(jobs, "mode1", 6.4f, 1.3f, "Relaxed", "Reach each level's points target at your own pace");
  ButtonPair(jobs, "mode2", 6.4f, 1.3f, "Against the clock", "Energy drains away: score to keep it up");
  ButtonPair(jobs, "tutorial", 4.4f, 0.9f, "How to play");
  ButtonPair(jobs, "back", 3.2f, 0.8f, "Back");
  ButtonPair(jobs, "save", 3.4f, 0.85f, "Save");
  ButtonPair(jobs, "cancel", 3.4f, 0.85f, "Cancel");
  ButtonPair(jobs, "pause", 1.9f, 0.65f, "Pause");
  ButtonPair(jobs, "quit", 2.7f, 0.75f, "Save and quit");
  ButtonPair(jobs, "continue", 2.7f, 0.75f, "Continue");
  ButtonPair(jobs, "resume", 2.7f, 0.75f, "Continue it");
  ButtonPair(jobs, "afresh", 2.7f, 0.75f, "New game");
  ButtonPair(jobs, "close", 2.6f, 0.7f, "Close");
  ButtonPair(jobs, "tut_next", 2.6f, 0.7f, "Next \u25B6");
  ButtonPair(jobs, "tut_prev", 2.6f, 0.7f, "\u25C0 Previous");
  ButtonPair(jobs, "start", 3.6f, 0.85f, "Start game");
  ButtonPair(jobs, "hints_on", 5.2f, 0.7f, "Hints before each game: ON");
  ButtonPair(jobs, "hints_off", 5.2f, 0.7f, "Hints before each game: OFF");
  KnobPair(jobs, "minus", 0);
  KnobPair(jobs, "plus", 1);
  KnobPair(jobs, "prev", 2);
  KnobPair(jobs, "next", 3);
  LabelPair(jobs, "lbl_sound", "Sound volume");
  LabelPair(jobs, "lbl_music", "Music volume");
  LabelPair(jobs, "lbl_skin", "Cube skin");
  for (int s = 1; s <= 5; ++s) SkinPair(jobs, s);
  jobs.push_back({"menu_bar", 1, Bar});
  jobs.push_back({"menu_options_frame", 4, OptionsFrame});
  jobs.push_back({"menu_panels", 2, [](const Context& ctx) {
    DialogPanel(ctx, "pause_panel", "Paused", "Leaving now saves your game for later.");
    DialogPanel(ctx, "saved_panel", "Saved game found", "Carry on where you left off, or start afresh?");
  }});
  jobs.push_back({"menu_scores_head", 1, ScoresHead});
  jobs.push_back({"menu_tabs", 1, Tabs});
}

}  // namespace ag
