// The generated sounds and music of the built game folder: every file the
// player loads is there and decodes, the tracks have their lengths, and the
// selection loop has no seam. Skipped when the game folder is not built.
#include <SDL.h>
#include <SDL_mixer.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "audio_test_util.h"
#include "platform/mixer/imx.h"

namespace {

namespace fs = std::filesystem;

class GeneratedAudioTest : public ::testing::Test {
 protected:
  fs::path Game = VOXARINE_GAME_DIR;
  void SetUp() override {
    if (!fs::exists(Game / "Sounds" / "NewLevel.ogg")) GTEST_SKIP() << "game folder not built";
    ASSERT_NE(IMXInit(nullptr, 44100, 0, -1), 0) << IMXErrorText();
  }
  void TearDown() override { IMXUninit(); }
};

TEST_F(GeneratedAudioTest, EverySoundAndTrackDecodes) {
  for (const char* name : audiotest::SoundNames) {
    const fs::path path = Game / "Sounds" / (std::string(name) + ".ogg");
    EXPECT_GT(IMXSampleLoad(0, path.c_str(), 0, 0, 0, 0), 0) << IMXErrorText();
  }
  for (const char* name : {"menu1", "menu2", "theme1", "theme2"}) {
    const fs::path path = Game / "Music" / (std::string(name) + ".ogg");
    EXPECT_GT(IMXStreamOpenFile(0, path.c_str(), 0, 0, 0), 0) << IMXErrorText();
    Mix_Music* music = Mix_LoadMUS(path.c_str());
    ASSERT_NE(music, nullptr) << name;
    const double seconds = Mix_MusicDuration(music);
    EXPECT_GE(seconds, 60) << name;
    EXPECT_LE(seconds, 120) << name;
    Mix_FreeMusic(music);
  }
}

// Played as a loop, the last sample leads into the first like any two
// neighbours: no click where it wraps.
TEST_F(GeneratedAudioTest, SelectionLoopHasNoSeam) {
  Mix_Chunk* chunk = Mix_LoadWAV((Game / "Sounds" / "Selected.ogg").c_str());
  ASSERT_NE(chunk, nullptr);
  const auto* s = reinterpret_cast<const Sint16*>(chunk->abuf);
  const std::size_t n = chunk->alen / 4;  // stereo 16-bit frames
  ASSERT_GT(n, 1000u);
  int largestStep = 0;
  for (std::size_t i = 1; i < n; i++) largestStep = std::max(largestStep, std::abs(s[2 * i] - s[2 * (i - 1)]));
  const int seam = std::abs(s[0] - s[2 * (n - 1)]);
  EXPECT_LE(seam, largestStep * 3 / 2) << "seam " << seam << ", largest step " << largestStep;
  Mix_FreeChunk(chunk);
}

}  // namespace
