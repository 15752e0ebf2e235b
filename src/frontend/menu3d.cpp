// The 3D menu: item bookkeeping, keyboard and pointer selection, drawing.
#include "frontend/menu3d.h"

#include <filesystem>
#include <stdexcept>

#include "audio/sounds.h"
#include "platform/win32/paths.h"
#include "platform/win32/virtual_keys.h"

std::unique_ptr<TD3DMenu> Menu;

namespace {

constexpr int SoundMenuMove = 20;
constexpr int SoundMenuEnter = 21;
constexpr int SoundMenuEsc = 22;

std::shared_ptr<T3DSprite> SpriteIfExists(IDirect3DDevice8* Device, const std::string& FileName) {
  std::error_code ec;
  if (FileName.empty() || !std::filesystem::is_regular_file(ResolvePath(FileName), ec)) return nullptr;
  return std::make_shared<T3DSprite>(Device, FileName);
}

bool Navigable(const TMenuItem& Item) { return Item.Visible && Item.Selectable; }
}  // namespace

TMenuPage& TD3DMenu::Page(int P) {
  if (P < 1 || P > MaxMenuPages) throw std::out_of_range("menu page " + std::to_string(P));
  return Pages[static_cast<std::size_t>(P)];
}

TMenuItem& TD3DMenu::Item(int P, int I) {
  TMenuPage& page = Page(P);
  if (I < 1 || I > MaxMenuItems) throw std::out_of_range("menu item " + std::to_string(I));
  return page.Items[static_cast<std::size_t>(I)];
}

void TD3DMenu::ApplyPose(T3DSprite* Sprite, const TMenuPose& Pose) {
  if (!Sprite) return;
  Sprite->Scale = Pose.Scale;
  Sprite->Position = Pose.Position;
  Sprite->Rotation = Pose.Rotation;
  BuildWorldMatrix(Sprite->Scale, Sprite->Position, Sprite->Rotation, Sprite->World);
}

void TD3DMenu::SetPageCount(std::uint16_t N) {
  if (N > MaxMenuPages) throw std::out_of_range("menu page count " + std::to_string(N));
  PageCount = N;
  for (int p = 1; p <= N; ++p) Page(p).Count = 0;
  CurrentPage = 1;
}

void TD3DMenu::AddMenuItem(IDirect3DDevice8* Device, int P, const std::string& NormalFile,
                           const std::string& HighlightFile, const D3DVECTOR& Position,
                           const D3DVECTOR& Scale, const D3DVECTOR& Rotation, bool Visible,
                           bool Selectable) {
  TMenuPage& page = Page(P);
  if (page.Count >= MaxMenuItems)
    throw std::out_of_range("more than " + std::to_string(MaxMenuItems) + " items on menu page " +
                            std::to_string(P));
  page.Count++;
  TMenuItem& item = page.Items[static_cast<std::size_t>(page.Count)];
  item.NormalSprite = SpriteIfExists(Device, NormalFile);
  item.HighlightSprite = SpriteIfExists(Device, HighlightFile);
  item.Visible = Visible;
  item.Selectable = Selectable;
  item.HomePose = {Scale, Position, Rotation};
  // A pressed item looks 2 % smaller and sits a little lower.
  item.PressedPose = item.HomePose;
  item.PressedPose.Scale.x *= 0.98f;
  item.PressedPose.Scale.y *= 0.98f;
  item.PressedPose.Position.y -= 0.03f;
  ApplyPose(item.NormalSprite.get(), item.HomePose);
  ApplyPose(item.HighlightSprite.get(), item.HomePose);
}

void TD3DMenu::SetPage(std::uint16_t P) {
  TMenuPage& page = Page(P);
  CurrentPage = P;
  for (int i = page.Count; i >= 1; --i) {
    TMenuItem& item = page.Items[static_cast<std::size_t>(i)];
    if (Navigable(item)) {
      page.Selected = i;
      page.Hovered = i;
    }
    ApplyPose(item.NormalSprite.get(), item.HomePose);
  }
}

void TD3DMenu::SwapItems(std::int16_t Hide, std::int16_t Show) {
  Item(Hide).Visible = false;
  Item(Show).Visible = true;
  Current().Selected = Show;
  Current().Hovered = Show;
}

void TD3DMenu::Draw(IDirect3DDevice8* Device) {
  TMenuPage& page = Current();
  Device->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
  Device->SetRenderState(D3DRS_LIGHTING, FALSE);
  for (int i = 1; i <= page.Count; ++i) {
    TMenuItem& item = page.Items[static_cast<std::size_t>(i)];
    if (i != page.Selected && item.Visible && item.NormalSprite) item.NormalSprite->Draw();
  }
  if (page.Selected >= 1 && page.Selected <= page.Count) {
    TMenuItem& item = page.Items[static_cast<std::size_t>(page.Selected)];
    ApplyPose(item.HighlightSprite.get(), Pressed ? item.PressedPose : item.HomePose);
    if (item.Visible && item.HighlightSprite) item.HighlightSprite->Draw();
  }
  Device->SetTexture(0, nullptr);
  Device->SetRenderState(D3DRS_LIGHTING, TRUE);
  Device->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
}

bool TD3DMenu::HasNavigableItem(const TMenuPage& P) const {
  for (int i = 1; i <= P.Count; ++i)
    if (Navigable(P.Items[static_cast<std::size_t>(i)])) return true;
  return false;
}

TMenuKeyResult TD3DMenu::KeyDown(std::uint16_t Key) {
  TMenuPage& page = Current();
  TMenuKeyResult result;
  switch (Key) {
    case VK_UP:
    case VK_LEFT:
      // Without a target the search would never end; such a page ignores arrows.
      if (!HasNavigableItem(page)) break;
      do {
        if (--page.Selected < 1) page.Selected = page.Count;
      } while (!Navigable(page.Items[static_cast<std::size_t>(page.Selected)]));
      result.Action = maMove;
      PlaySound(SoundMenuMove);
      break;
    case VK_DOWN:
    case VK_RIGHT:
      if (!HasNavigableItem(page)) break;
      do {
        if (++page.Selected >= page.Count + 1) page.Selected = 1;
      } while (!Navigable(page.Items[static_cast<std::size_t>(page.Selected)]));
      result.Action = maMove;
      PlaySound(SoundMenuMove);
      break;
    case VK_RETURN:
    case VK_SPACE:
      result = {CurrentPage, page.Selected, maEnter};
      if (page.Selected != 0) PlaySound(SoundMenuEnter);
      break;
    case VK_ESCAPE:
      result = {CurrentPage, page.Selected, maBack};
      if (page.Selected != 0) PlaySound(SoundMenuEsc);
      break;
    default:
      break;
  }
  return result;
}

void TD3DMenu::MouseMove(float X, float Y) {
  TMenuPage& page = Current();
  page.Selected = 0;
  for (int i = 1; i <= page.Count; ++i) {
    const TMenuItem& item = page.Items[static_cast<std::size_t>(i)];
    if (Navigable(item) && HitTest(item.HomePose, X, Y)) {
      page.Selected = i;
      if (i != page.Hovered) {
        PlaySound(SoundMenuMove);
        page.Hovered = i;
      }
    }
  }
  if (page.Selected == 0) Pressed = false;
  page.Hovered = page.Selected;
}

bool TD3DMenu::HitTest(const TMenuPose& Pose, float X, float Y) {
  return Pose.Position.x - Pose.Scale.x / 2 <= X && X <= Pose.Position.x + Pose.Scale.x / 2 &&
         Pose.Position.y - Pose.Scale.y / 2 <= Y && Y <= Pose.Position.y + Pose.Scale.y / 2;
}
