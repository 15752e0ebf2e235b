// Native-looking controls from Dear ImGui primitives: accelerator letters
// underlined, the default button framed, a group box around radio buttons.
#include "platform/forms/widgets.h"

#include "platform/forms/form.h"

#ifdef VOXARINE_HAVE_IMGUI
#include <SDL.h>
#include <imgui.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "platform/d3dx/image_io.h"

namespace {

ImVec2 At(int Left, int Top) {
  const ImVec2 origin = ImGui::GetWindowPos();
  return ImVec2(origin.x + static_cast<float>(Left), origin.y + static_cast<float>(Top));
}

ImU32 TextColour(bool Enabled) {
  return ImGui::GetColorU32(Enabled ? ImGuiCol_Text : ImGuiCol_TextDisabled);
}

// Underlines the accelerator letter of Caption drawn at TextPos.
void UnderlineAccelerator(const std::string& Caption, ImVec2 TextPos, bool Enabled) {
  std::string before;
  for (std::size_t i = 0; i + 1 < Caption.size(); ++i) {
    if (Caption[i] == '&' && Caption[i + 1] == '&') {
      before += '&';
      ++i;
      continue;
    }
    if (Caption[i] == '&') {
      const float x0 = TextPos.x + ImGui::CalcTextSize(before.c_str()).x;
      const char letter[2] = {Caption[i + 1], 0};
      const float x1 = x0 + ImGui::CalcTextSize(letter).x;
      const float y = TextPos.y + ImGui::GetFontSize();
      ImGui::GetWindowDrawList()->AddLine(ImVec2(x0, y), ImVec2(x1, y), TextColour(Enabled));
      return;
    }
    before += Caption[i];
  }
}

void NoteFocus(TForm& Form, TControl& Control) {
  if (ImGui::IsItemFocused()) Form.Focused = &Control;
}

}  // namespace

bool DrawButton(TForm& Form, TButton& B) {
  if (!B.Visible) return false;
  const std::string shown = DisplayCaption(B.Caption);
  ImGui::PushID(&B);
  ImGui::SetCursorScreenPos(At(B.Left, B.Top));
  ImGui::BeginDisabled(!B.Enabled);
  const ImVec2 size(static_cast<float>(B.Width), static_cast<float>(B.Height));
  const bool clicked = ImGui::Button(shown.c_str(), size);
  ImGui::EndDisabled();
  if (B.Enabled) Form.TabStop(B, false);
  NoteFocus(Form, B);
  const ImVec2 min = ImGui::GetItemRectMin(), max = ImGui::GetItemRectMax();
  if (B.Default)  // the default button wears a darker frame
    ImGui::GetWindowDrawList()->AddRect(min, max, ImGui::GetColorU32(ImGuiCol_NavHighlight), 2.0f, 0, 1.5f);
  const ImVec2 text = ImGui::CalcTextSize(shown.c_str());
  UnderlineAccelerator(B.Caption, ImVec2(min.x + (size.x - text.x) * 0.5f, min.y + (size.y - text.y) * 0.5f),
                       B.Enabled);
  (void)max;
  ImGui::PopID();
  return clicked && B.Enabled;
}

bool DrawCheckBox(TForm& Form, TCheckBox& C) {
  if (!C.Visible) return false;
  const std::string shown = DisplayCaption(C.Caption);
  ImGui::PushID(&C);
  const float frame = ImGui::GetFrameHeight();
  // Centre the box on the control's height.
  ImGui::SetCursorScreenPos(At(C.Left, C.Top + static_cast<int>((static_cast<float>(C.Height) - frame) * 0.5f)));
  ImGui::BeginDisabled(!C.Enabled);
  const bool changed = ImGui::Checkbox(shown.c_str(), &C.Checked);
  ImGui::EndDisabled();
  if (C.Enabled) Form.TabStop(C, false);
  NoteFocus(Form, C);
  const ImVec2 min = ImGui::GetItemRectMin();
  const ImGuiStyle& s = ImGui::GetStyle();
  UnderlineAccelerator(C.Caption, ImVec2(min.x + frame + s.ItemInnerSpacing.x, min.y + s.FramePadding.y), C.Enabled);
  ImGui::PopID();
  return changed;
}

bool DrawRadioGroup(TForm& Form, TRadioGroup& G) {
  if (!G.Visible) return false;
  ImDrawList* draw = ImGui::GetWindowDrawList();
  const ImVec2 min = At(G.Left, G.Top + 4), max = At(G.Left + G.Width, G.Top + G.Height);
  draw->AddRect(min, max, ImGui::GetColorU32(ImGuiCol_Border));
  if (!G.Caption.empty()) draw->AddText(At(G.Left + 8, G.Top - 4), TextColour(G.Enabled), DisplayCaption(G.Caption).c_str());

  const int count = static_cast<int>(G.Items.size());
  const int columns = std::max(1, G.Columns);
  const int rows = std::max(1, (count + columns - 1) / columns);
  const float itemHeight = ImGui::GetFrameHeight();
  const float columnWidth = static_cast<float>(G.Width - 16) / static_cast<float>(columns);
  const float top = static_cast<float>(G.Top) + 4 + (static_cast<float>(G.Height - 4) - rows * itemHeight) * 0.5f;
  bool changed = false;
  ImGui::PushID(&G);
  ImGui::BeginDisabled(!G.Enabled);
  for (int i = 0; i < count; ++i) {
    const int column = i / rows, row = i % rows;
    ImGui::SetCursorScreenPos(At(G.Left + 8 + static_cast<int>(column * columnWidth), static_cast<int>(top + row * itemHeight)));
    ImGui::PushID(i);
    if (ImGui::RadioButton(DisplayCaption(G.Items[static_cast<std::size_t>(i)]).c_str(), G.ItemIndex == i) &&
        G.ItemIndex != i) {
      G.ItemIndex = i;
      changed = true;
    }
    // Tab stops at the chosen item only; the arrows move between the items.
    if (G.Enabled && i == std::max(0, G.ItemIndex)) Form.TabStop(G, false);
    if (ImGui::IsItemFocused()) Form.Focused = &G;
    ImGui::PopID();
  }
  ImGui::EndDisabled();
  ImGui::PopID();
  return changed;
}

void DrawComboBox(TForm& Form, TComboBox& C) {
  if (!C.Visible) return;
  ImGui::PushID(&C);
  const float arrow = ImGui::GetFrameHeight();
  ImGui::SetCursorScreenPos(At(C.Left, C.Top));
  ImGui::BeginDisabled(!C.Enabled);
  char buffer[64] = {};
  C.Text.copy(buffer, sizeof buffer - 1);
  ImGui::SetNextItemWidth(static_cast<float>(C.Width) - arrow);
  if (ImGui::InputText("##edit", buffer, sizeof buffer)) C.Edit(buffer);
  if (C.Enabled) Form.TabStop(C, true);
  NoteFocus(Form, C);
  // Up and Down in the field step through the list, as in a native combo
  // box; Alt+Down and F4 drop the list down.
  const int count = static_cast<int>(C.Items.size());
  bool open = false;
  if (ImGui::IsItemActive() && count > 0) {
    const bool alt = ImGui::GetIO().KeyAlt;
    if (ImGui::IsKeyPressed(ImGui::GetKeyIndex(ImGuiKey_DownArrow)) && !alt)
      C.Select(std::min(count - 1, C.ItemIndex + 1));
    if (ImGui::IsKeyPressed(ImGui::GetKeyIndex(ImGuiKey_UpArrow)) && !alt) C.Select(std::max(0, C.ItemIndex - 1));
    open = (alt && ImGui::IsKeyPressed(ImGui::GetKeyIndex(ImGuiKey_DownArrow))) || ImGui::IsKeyPressed(SDL_SCANCODE_F4);
  }
  const ImVec2 fieldMin = ImGui::GetItemRectMin();
  ImGui::SameLine(0, 0);
  if (ImGui::ArrowButton("##open", ImGuiDir_Down)) open = true;
  ImGui::EndDisabled();
  if (open) ImGui::OpenPopup("##list");

  // The list lives inside the dialog's window, so it must fit there: below
  // the field when there is room, else moved up until its last item shows.
  // All items show at once; only a window too small for them scrolls.
  const ImGuiStyle& style = ImGui::GetStyle();
  const ImVec2 padding(4, 2);
  const float spacing = 2;
  const float display = ImGui::GetIO().DisplaySize.y;
  const float rows = static_cast<float>(count) * ImGui::GetTextLineHeight() + static_cast<float>(std::max(0, count - 1)) * spacing;
  const float height = std::min(display, rows + 2 * padding.y + 2 * style.PopupBorderSize);
  const float top = std::max(0.0f, std::min(fieldMin.y + arrow, display - height));
  ImGui::SetNextWindowPos(ImVec2(fieldMin.x, top));
  ImGui::SetNextWindowSize(ImVec2(static_cast<float>(C.Width), height));
  ImGui::PushStyleVar(ImGuiStyleVar_WindowPadding, padding);
  ImGui::PushStyleVar(ImGuiStyleVar_ItemSpacing, ImVec2(style.ItemSpacing.x, spacing));
  if (ImGui::BeginPopup("##list")) {
    for (int i = 0; i < count; ++i) {
      const bool selected = C.ItemIndex == i;
      if (ImGui::Selectable(C.Items[static_cast<std::size_t>(i)].c_str(), selected)) C.Select(i);
      // Enter takes the item the keys are on, as Space does.
      const bool enter = ImGui::IsKeyPressed(ImGui::GetKeyIndex(ImGuiKey_Enter)) ||
                         ImGui::IsKeyPressed(ImGui::GetKeyIndex(ImGuiKey_KeyPadEnter));
      if (enter && ImGui::IsItemFocused()) {
        C.Select(i);
        ImGui::CloseCurrentPopup();
      }
      if (selected) {
        ImGui::SetItemDefaultFocus();
        if (ImGui::IsWindowAppearing()) ImGui::SetScrollHereY();
      }
    }
    ImGui::EndPopup();
  }
  ImGui::PopStyleVar(2);
  ImGui::PopID();
}

void DrawLabel(const TLabel& L) {
  if (!L.Visible) return;
  const ImVec2 pos = At(L.Left, L.Top);
  ImGui::GetWindowDrawList()->AddText(pos, TextColour(L.Enabled), DisplayCaption(L.Caption).c_str());
  UnderlineAccelerator(L.Caption, pos, L.Enabled);
}

void DrawPanel(int Left, int Top, int Width, int Height) {
  ImDrawList* d = ImGui::GetWindowDrawList();
  const ImU32 dark = IM_COL32(160, 160, 160, 255), light = IM_COL32(255, 255, 255, 255);
  auto frame = [&](int inset, ImU32 topLeft, ImU32 bottomRight) {
    const ImVec2 a = At(Left + inset, Top + inset), b = At(Left + Width - 1 - inset, Top + Height - 1 - inset);
    d->AddLine(a, ImVec2(b.x, a.y), topLeft);
    d->AddLine(a, ImVec2(a.x, b.y), topLeft);
    d->AddLine(ImVec2(a.x, b.y), ImVec2(b.x + 1, b.y), bottomRight);
    d->AddLine(ImVec2(b.x, a.y), b, bottomRight);
  };
  frame(0, dark, light);  // lowered outer
  frame(1, light, dark);  // raised inner
}

void DrawBevelTop(int Left, int Top, int Width) {
  ImDrawList* d = ImGui::GetWindowDrawList();
  d->AddLine(At(Left, Top), At(Left + Width, Top), IM_COL32(160, 160, 160, 255));
  d->AddLine(At(Left, Top + 1), At(Left + Width, Top + 1), IM_COL32(255, 255, 255, 255));
}

SDL_Texture* LoadPicture(const std::string& FileName, int& Width, int& Height) {
  SDL_Renderer* renderer = PaintingRenderer();
  TImage image;
  if (!renderer || !DecodeImageFile(FileName, image)) return nullptr;
  SDL_Texture* texture =
      SDL_CreateTexture(renderer, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STATIC, image.Width, image.Height);
  if (!texture) return nullptr;
  // The decoder's pixels are 0xAARRGGBB words, as the texture stores them.
  SDL_UpdateTexture(texture, nullptr, image.Pixels.data(), image.Width * 4);
  SDL_SetTextureBlendMode(texture, SDL_BLENDMODE_BLEND);
  Width = image.Width;
  Height = image.Height;
  return texture;
}

void FreePicture(SDL_Texture* Texture) {
  if (Texture) SDL_DestroyTexture(Texture);
}

void DrawPicture(SDL_Texture* Texture, int PictureWidth, int PictureHeight, int Left, int Top, int Width, int Height) {
  if (!Texture || PictureWidth <= 0 || PictureHeight <= 0) return;
  const float scale = std::min(static_cast<float>(Width) / PictureWidth, static_cast<float>(Height) / PictureHeight);
  const float w = PictureWidth * scale, h = PictureHeight * scale;
  const ImVec2 a = At(Left, Top);
  const ImVec2 min(a.x + (Width - w) * 0.5f, a.y + (Height - h) * 0.5f);
  ImGui::GetWindowDrawList()->AddImage(static_cast<ImTextureID>(Texture), min, ImVec2(min.x + w, min.y + h));
}

#else  // no Dear ImGui: forms stay windowless and draw nothing

bool DrawButton(TForm&, TButton&) { return false; }
bool DrawCheckBox(TForm&, TCheckBox&) { return false; }
bool DrawRadioGroup(TForm&, TRadioGroup&) { return false; }
void DrawComboBox(TForm&, TComboBox&) {}
void DrawLabel(const TLabel&) {}
void DrawPanel(int, int, int, int) {}
void DrawBevelTop(int, int, int) {}
SDL_Texture* LoadPicture(const std::string&, int&, int&) { return nullptr; }
void FreePicture(SDL_Texture*) {}
void DrawPicture(SDL_Texture*, int, int, int, int, int, int) {}

#endif
