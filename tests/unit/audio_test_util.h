// Helpers of the audio tests: short generated WAV files, a temporary folder,
// and SDL's disk audio driver, whose recorded output the tests measure.
#pragma once

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace audiotest {

namespace fs = std::filesystem;

// A mono 16-bit 44.1 kHz sine of the given length (0 amplitude: silence).
inline void WriteWav(const fs::path& Path, double Seconds, double Hz = 440, double Amplitude = 0.5) {
  const std::uint32_t frames = static_cast<std::uint32_t>(Seconds * 44100);
  std::vector<std::int16_t> pcm(frames);
  for (std::uint32_t i = 0; i < frames; i++)
    pcm[i] = static_cast<std::int16_t>(32767 * Amplitude * std::sin(2 * M_PI * Hz * i / 44100.0));
  auto u32 = [](std::ofstream& f, std::uint32_t v) { f.write(reinterpret_cast<char*>(&v), 4); };
  auto u16 = [](std::ofstream& f, std::uint16_t v) { f.write(reinterpret_cast<char*>(&v), 2); };
  fs::create_directories(Path.parent_path());
  std::ofstream f(Path, std::ios::binary);
  f.write("RIFF", 4);
  u32(f, 36 + frames * 2);
  f.write("WAVEfmt ", 8);
  u32(f, 16);
  u16(f, 1);  // PCM
  u16(f, 1);  // mono
  u32(f, 44100);
  u32(f, 44100 * 2);
  u16(f, 2);
  u16(f, 16);
  f.write("data", 4);
  u32(f, frames * 2);
  f.write(reinterpret_cast<const char*>(pcm.data()), static_cast<std::streamsize>(pcm.size() * 2));
}

// A fresh folder under the system's temporary folder, removed at the end.
struct TTempFolder {
  fs::path Path;
  explicit TTempFolder(const std::string& Name) {
    Path = fs::temp_directory_path() / (Name + "-" + std::to_string(::getpid()));
    fs::remove_all(Path);
    fs::create_directories(Path);
  }
  ~TTempFolder() {
    std::error_code ec;
    fs::remove_all(Path, ec);
  }
};

// Sets an environment variable for the life of the object.
struct TScopedEnv {
  std::string Name, Old;
  bool Had;
  TScopedEnv(const std::string& name, const std::string& value) : Name(name) {
    const char* old = std::getenv(name.c_str());
    Had = old != nullptr;
    if (Had) Old = old;
    ::setenv(name.c_str(), value.c_str(), 1);
  }
  ~TScopedEnv() {
    if (Had)
      ::setenv(Name.c_str(), Old.c_str(), 1);
    else
      ::unsetenv(Name.c_str());
  }
};

// Routes the mixer's output into a raw file (44.1 kHz, 16-bit, stereo) while
// it lives; the short delay runs the device a few times faster than real time.
struct TDiskAudio {
  TScopedEnv Driver, File, Delay;
  explicit TDiskAudio(const fs::path& Raw)
      : Driver("SDL_AUDIODRIVER", "disk"), File("SDL_DISKAUDIOFILE", Raw.string()),
        Delay("SDL_DISKAUDIODELAY", "5") {}
};

// Peak absolute sample of a raw 16-bit file.
inline int PeakOf(const fs::path& Raw) {
  std::ifstream f(Raw, std::ios::binary);
  std::int16_t s = 0;
  int peak = 0;
  while (f.read(reinterpret_cast<char*>(&s), 2)) peak = std::max(peak, std::abs(static_cast<int>(s)));
  return peak;
}

// The game's 27 sound files by name, in the order of its sound numbers.
inline const char* const SoundNames[27] = {
    "NewLevel",  "BonusLevel", "NewTurn",    "FlyingBy",    "BonusLevelDone", "SelectCube", "MoveCube",
    "MoveBomb",  "Moved",      "FigureDone", "vDouble",     "vTriple",        "vQuadro",    "vExcellent",
    "vVoxarine", "ExplodeBomb", "Colorize",  "Shot",        "ShowBonus",      "GameOver",   "MenuMove",
    "MenuEnter", "MenuEsc",    "MenuKey",    "Selected",    "TimeUp",         "Message"};

}  // namespace audiotest
