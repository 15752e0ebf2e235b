// The tutorial: nine full-screen pictures behind menu page 9, stepped forward
// and back. The pictures ship as JPEG; bitmap copies are written on first use
// (where the game's writable files go) and loaded from then on.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "shell/textures.h"

constexpr int TutorialPictures = 9;

class TTutorial {
 public:
  explicit TTutorial(IDirect3DDevice8* Device);
  TTutorial(const TTutorial&) = delete;
  TTutorial& operator=(const TTutorial&) = delete;

  // Step < 0 goes back, >= 1 forward, within 1..9; the picture is reloaded
  // even when the step leads nowhere.
  void ShowPicture(int Step);
  void Draw();

  // "Images\Tutorial\tut<n>.jpg" / ".bmp"
  static std::string PictureName(int N, const char* Extension);
  static void ConvertTutorialPictures();

  IDirect3DDevice8* Device = nullptr;
  std::unique_ptr<T3DSprite> Background;
  std::uint8_t Picture = 1;  // 1..9
};

// Exists only while the tutorial is shown.
extern std::unique_ptr<TTutorial> Tutorial;
