// Writes the game's sounds and music: effects and voices on one thread, each
// music track on a thread of its own (the tracks take most of the time).
#include "audio_gen.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <thread>

#include "audio_parts.h"

namespace fs = std::filesystem;
using namespace audiogen;

namespace {

std::string Quote(const std::string& Text) {
  std::string q = "'";
  for (char c : Text) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return q + "'";
}

// The synthesiser's speech at 44.1 kHz, or nothing when it is not installed.
Mono Speak(const std::string& Text, const fs::path& Scratch) {
  const std::string command = "espeak-ng -v en-us -s 145 -p 40 -w " + Quote(Scratch.string()) + " " +
                              Quote(Text) + " >/dev/null 2>&1";
  Mono speech;
  int rate = 0;
  const bool ok = std::system(command.c_str()) == 0 && ReadWav(Scratch.string(), speech, rate);
  std::error_code ec;
  fs::remove(Scratch, ec);
  if (!ok || speech.empty()) {
    std::fprintf(stderr, "assetgen: warning: espeak-ng gave no speech for \"%s\"; a jingle stands in\n",
                 Text.c_str());
    return {};
  }
  return Resample(speech, rate, kRate);
}

void Write(const fs::path& Path, const std::vector<const Mono*>& Channels, float Quality, int Serial) {
  std::string error;
  if (!WriteOgg(Path.string(), Channels, Quality, Serial, error)) throw std::runtime_error(error);
}

void WriteEffects(const fs::path& Folder, unsigned Seed) {
  for (int n = 0; n < kEffectCount; n++) {
    TRng rng(Seed * 1000003ull + static_cast<unsigned>(n));
    Mono sound;
    if (const char* text = SpokenText(n))
      sound = ShapeVoice(n, Speak(text, Folder / (".speech-" + std::to_string(n) + ".wav")), rng);
    else
      sound = RenderEffect(n, rng);
    Write(Folder / (std::string(kEffectNames[static_cast<std::size_t>(n)]) + ".ogg"), {&sound}, 0.4f,
          static_cast<int>(Seed * 31 + static_cast<unsigned>(n)));
  }
}

void WriteTrack(const fs::path& Folder, int Track, unsigned Seed) {
  const Stereo music = RenderTrack(Track, Seed);
  Write(Folder / (std::string(kTrackNames[static_cast<std::size_t>(Track)]) + ".ogg"), {&music.L, &music.R}, 0.3f,
        static_cast<int>(Seed * 31 + 100 + static_cast<unsigned>(Track)));
}

}  // namespace

void GenerateAudio(const std::string& outDir, unsigned seed) {
  const auto start = std::chrono::steady_clock::now();
  const fs::path sounds = fs::path(outDir) / "Sounds", music = fs::path(outDir) / "Music";
  fs::create_directories(sounds);
  fs::create_directories(music);

  std::vector<std::string> errors(kTrackCount + 1);
  auto guarded = [&errors](std::size_t Slot, auto Job) {
    try {
      Job();
    } catch (const std::exception& e) {
      errors[Slot] = e.what();
    }
  };
  std::vector<std::thread> threads;
  for (int t = 0; t < kTrackCount; t++)
    threads.emplace_back([&, t] { guarded(static_cast<std::size_t>(t), [&] { WriteTrack(music, t, seed); }); });
  guarded(kTrackCount, [&] { WriteEffects(sounds, seed); });
  for (std::thread& t : threads) t.join();
  for (const std::string& e : errors)
    if (!e.empty()) throw std::runtime_error("audio: " + e);

  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  std::printf("assetgen: %d sounds and %d music tracks in %.1f s\n", kEffectCount, kTrackCount, seconds);
}
