// The 3D menu: pages of textured quads in the menu plane. The menu only knows
// pages, items, selection and hover; what an item does is decided by the menu
// controller (frontend/menu.h), which receives (page, item, action) triples.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "shell/textures.h"

enum TMenuAction : std::uint8_t { maNone = 0, maMove = 1, maEnter = 2, maBack = 3 };

// Scale, position and rotation, laid out like a T3DSprite's pose.
struct TMenuPose {
  D3DVECTOR Scale{};
  D3DVECTOR Position{};
  D3DVECTOR Rotation{};  // radians
};

struct TMenuItem {
  TMenuPose PressedPose;  // while the mouse button is held on the selected item
  TMenuPose HomePose;     // at rest; also the hit rectangle (x, y, width, height)
  // Shared so that an item can stand in for another with the other's picture
  // (the highlighted row label of the options page).
  std::shared_ptr<T3DSprite> NormalSprite;     // absent when its file is missing
  std::shared_ptr<T3DSprite> HighlightSprite;  // drawn instead while selected
  bool Visible = false;
  bool Selectable = false;
};

constexpr int MaxMenuPages = 10;
constexpr int MaxMenuItems = 20;

struct TMenuPage {
  std::int32_t Count = 0;     // items in use, 0..20
  std::int32_t Selected = 0;  // 0 = none
  std::int32_t Hovered = 0;   // item under the pointer at the last move (for the move sound)
  std::array<TMenuItem, MaxMenuItems + 1> Items;  // [1..20]
};

// What a key did: page and item are filled only for maEnter and maBack.
struct TMenuKeyResult {
  int Page = 0;
  int Item = 0;
  TMenuAction Action = maNone;
};

class TD3DMenu {
 public:
  TD3DMenu() = default;
  TD3DMenu(const TD3DMenu&) = delete;
  TD3DMenu& operator=(const TD3DMenu&) = delete;

  void SetPageCount(std::uint16_t N);  // 1..10; empties those pages, shows page 1
  // Appends an item; a sprite whose file does not exist stays absent.
  // Raises std::out_of_range for a page outside 1..PageCount or a 21st item.
  void AddMenuItem(IDirect3DDevice8* Device, int Page, const std::string& NormalFile,
                   const std::string& HighlightFile, const D3DVECTOR& Position, const D3DVECTOR& Scale,
                   const D3DVECTOR& Rotation, bool Visible, bool Selectable);
  // Shows page P and selects its lowest-numbered visible selectable item
  // (keeps the old selection when there is none).
  void SetPage(std::uint16_t P);
  // On the current page: hides item Hide, shows item Show and selects it.
  void SwapItems(std::int16_t Hide, std::int16_t Show);
  void Draw(IDirect3DDevice8* Device);
  TMenuKeyResult KeyDown(std::uint16_t Key);  // Windows virtual-key code
  void MouseMove(float X, float Y);           // menu-plane coordinates (world units)
  static bool HitTest(const TMenuPose& Pose, float X, float Y);

  // Range-checked access (std::out_of_range outside 1..10 / 1..20).
  TMenuPage& Page(int P);
  TMenuPage& Current() { return Page(CurrentPage); }
  TMenuItem& Item(int P, int I);
  TMenuItem& Item(int I) { return Item(CurrentPage, I); }
  // Puts a sprite (if present) in the given pose.
  static void ApplyPose(T3DSprite* Sprite, const TMenuPose& Pose);

  std::int32_t PageCount = 0;
  std::int32_t CurrentPage = 1;
  std::array<TMenuPage, MaxMenuPages + 1> Pages;  // [1..10]
  bool Pressed = false;  // a mouse button is down over the selection

 private:
  bool HasNavigableItem(const TMenuPage& Page) const;
};

extern std::unique_ptr<TD3DMenu> Menu;
