// The player's settings for the whole run (display mode, volumes, skin, help
// screen, debug switch), kept in the registry under "\Software\Voxarine",
// plus two things never saved: the scene camera's eye and the home page
// address from "Data/bundle.dat".
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "shell/math/d3dmath.h"

struct TResolution {
  std::int32_t Width = 0, Height = 0;  // pixels
};

// Display sizes 0..8 are fixed; entry 9 is the desktop size, filled in by the
// main window when a desktop mode is used (0 x 0 until then).
extern std::array<TResolution, 10> Resolutions;
// Colour depth per Color setting: 0 = 16 bits, 1 = 32 bits.
extern std::array<std::uint8_t, 2> ColorDepths;

// Opened by the launcher's Homepage button when the bundle file gives none.
extern const char* const DefaultHomePage;

class TOptions {
 public:
  // Fills the tables, resets the camera and sets the default home page; the
  // saved fields stay zero until Load.
  TOptions();

  void Load();  // ReadRegistry, then ReadBundle
  void Save();  // WriteRegistry

  // Reads the ten values; a missing key writes the defaults. A missing value,
  // a value of another type or out of range raises EInOutError; every field
  // not read by then has its default.
  void ReadRegistry();
  void WriteRegistry();
  // HomePage from "Data/bundle.dat" (the length-prefixed string at offset
  // 256); only web addresses are taken, anything else gives DefaultHomePage.
  void ReadBundle();
  void ResetCamera();  // CameraEye = (-1.8, -0.25, 12.7)
  void SetDefaults();  // every saved field to its default

  D3DVECTOR CameraEye{};          // not saved
  std::uint8_t SoundVol = 0;      // 0..9
  std::uint8_t MusicVol = 0;      // 0..9
  std::uint8_t Texture = 0;       // skin 1..5: "Images\Skin<n>"
  std::string HomePage;           // not saved; up to 255 characters
  std::uint8_t Resolution = 0;    // 0..9 into Resolutions
  std::uint8_t Color = 0;         // 0..1 into ColorDepths
  bool Fullscreen = false;
  bool Desktop = false;           // full screen at the desktop's size
  bool PseudoFullscreen = false;  // a desktop-sized window instead of a mode change
  bool Help = false;              // help screen before a game
  bool WriteDebug = false;        // frame-rate lines in the debug log
  bool FrameCap = true;           // frames no faster than the display refreshes (shell/frame_pacer)

 private:
  // The bundle's home page field as stored (length byte + 255 characters):
  // a short bundle file only overwrites what it holds.
  std::array<unsigned char, 256> HomePageBytes_{};
  // FrameCap came after the ten design values: it is written once the file
  // has it or the player turned the cap off, so that other files stay as they were.
  bool FrameCapStored_ = false;
};

extern std::unique_ptr<TOptions> Options;
