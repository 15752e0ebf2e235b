// Settings: registry values in their fixed read and write orders, defaults,
// and the home page address of the bundle file.
#include "shell/options.h"

#include <strings.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "platform/win32/io_error.h"
#include "platform/win32/paths.h"
#include "platform/win32/registry.h"

std::array<TResolution, 10> Resolutions{};
std::array<std::uint8_t, 2> ColorDepths{};
std::unique_ptr<TOptions> Options;

// The address the package, the manual page and the metainfo give too.
const char* const DefaultHomePage = "https://github.com/voxarine/voxarine";

namespace {

const char* const SettingsKey = "\\Software\\Voxarine";
const char* const BundleFile = "Data/bundle.dat";

// A value stored in a byte field; Max is the largest value that field can
// use (the tables behind Resolution and Color are only that long).
std::uint8_t ReadByte(const TRegistry& Reg, const char* Name, int Min, int Max) {
  const std::int32_t v = Reg.ReadInteger(Name);
  if (v < Min || v > Max)
    throw EInOutError(RegistryFile(), "'" + std::string(Name) + "' = " + std::to_string(v) + " is outside " +
                                          std::to_string(Min) + ".." + std::to_string(Max));
  return static_cast<std::uint8_t>(v);
}

bool ReadFlag(const TRegistry& Reg, const char* Name) { return ReadByte(Reg, Name, 0, 255) != 0; }

// The shell opens this address; anything but a web address (a program, a
// local file) is not ours to open.
bool IsWebAddress(const std::string& Address) {
  const bool scheme = strncasecmp(Address.c_str(), "http://", 7) == 0 || strncasecmp(Address.c_str(), "https://", 8) == 0;
  if (!scheme) return false;
  for (unsigned char c : Address)
    if (c < 0x20 || c == 0x7F) return false;
  return true;
}

}  // namespace

TOptions::TOptions() {
  Resolutions = {{{512, 384}, {640, 400}, {640, 480}, {800, 600}, {1024, 768},
                  {1152, 864}, {1280, 768}, {1280, 960}, {1280, 1024}, {0, 0}}};
  ColorDepths = {16, 32};
  ResetCamera();
  // A settings error stops Load before the bundle is read: the Homepage
  // button must still have somewhere to go.
  HomePage = DefaultHomePage;
}

void TOptions::Load() {
  ReadRegistry();
  ReadBundle();
}

void TOptions::Save() { WriteRegistry(); }

void TOptions::ResetCamera() { CameraEye = MakeVector(-1.8f, -0.25f, 12.7f); }

void TOptions::SetDefaults() {
  SoundVol = 9;
  MusicVol = 9;
  Texture = 1;
  Resolution = 6;
  Color = 0;
  Fullscreen = true;
  Desktop = true;
  PseudoFullscreen = false;
  Help = true;
  WriteDebug = false;
  FrameCap = true;
}

void TOptions::ReadRegistry() {
  TRegistry reg;
  if (!reg.OpenKey(SettingsKey, false)) {
    SetDefaults();
    WriteRegistry();
    return;
  }
  // A bad value stops the reading with an error; whatever was not read by
  // then keeps its default instead of a zero (skin 0 has no textures).
  SetDefaults();
  Fullscreen = ReadFlag(reg, "Fullscreen");
  Resolution = ReadByte(reg, "Resolution", 0, 9);
  Color = ReadByte(reg, "Color", 0, 1);
  Desktop = ReadFlag(reg, "Desktop");
  Texture = ReadByte(reg, "Texture", 1, 5);
  SoundVol = ReadByte(reg, "SoundVol", 0, 9);
  MusicVol = ReadByte(reg, "MusicVol", 0, 9);
  Help = ReadFlag(reg, "Help");
  FrameCapStored_ = reg.ValueExists("FrameCap");
  if (FrameCapStored_) FrameCap = ReadFlag(reg, "FrameCap");

  // Settings written before these two existed lack them: add both.
  try {
    PseudoFullscreen = ReadFlag(reg, "PseudoFullscreen");
    WriteDebug = ReadFlag(reg, "WriteDebug");
  } catch (const EInOutError&) {
    PseudoFullscreen = false;
    WriteDebug = false;
    reg.CloseKey();
    WriteRegistry();
  }
}

void TOptions::WriteRegistry() {
  TRegistry reg;
  reg.OpenKey(SettingsKey, true);
  reg.WriteInteger("SoundVol", SoundVol);
  reg.WriteInteger("MusicVol", MusicVol);
  reg.WriteBool("Fullscreen", Fullscreen);
  reg.WriteInteger("Resolution", Resolution);
  reg.WriteInteger("Color", Color);
  reg.WriteBool("Desktop", Desktop);
  reg.WriteInteger("Texture", Texture);
  reg.WriteBool("Help", Help);
  reg.WriteBool("WriteDebug", WriteDebug);
  reg.WriteBool("PseudoFullscreen", PseudoFullscreen);
  if (FrameCapStored_ || !FrameCap) {
    reg.WriteBool("FrameCap", FrameCap);
    FrameCapStored_ = true;
  }
  reg.CloseKey();
}

void TOptions::ReadBundle() {
  const std::string path = ResolvePath(BundleFile);
  std::error_code ec;
  if (!std::filesystem::exists(path, ec)) {
    HomePage = DefaultHomePage;
    return;
  }
  std::ifstream in(path, std::ios::binary);
  if (!in) throw EInOutError(BundleFile, std::string("cannot open: ") + std::strerror(errno));
  // The first 256 bytes belong to another program; a short file is read as
  // far as it goes and leaves the rest of the field as it was.
  in.seekg(256);
  if (in) in.read(reinterpret_cast<char*>(HomePageBytes_.data()), HomePageBytes_.size());

  const std::string address(reinterpret_cast<const char*>(HomePageBytes_.data()) + 1, HomePageBytes_[0]);
  HomePage = IsWebAddress(address) ? address : DefaultHomePage;
}
