// The game's sound player over the real mixer (SDL's dummy and disk drivers)
// with short generated sounds and tracks in a temporary game folder.
#include <SDL.h>
#include <SDL_mixer.h>
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "audio/sounds.h"
#include "audio_test_util.h"
#include "platform/mixer/imx.h"
#include "platform/win32/paths.h"
#include "shell/options.h"

using namespace audiotest;

namespace {

class SoundsTest : public ::testing::Test {
 protected:
  TTempFolder Folder{"voxarine-sounds"};
  std::string OldGameFolder, OldUserFolder;
  std::unique_ptr<TOptions> OldOptions;

  void SetUp() override {
    OldGameFolder = GameFolder();
    OldUserFolder = UserDataFolder();
    SetGameFolder(Folder.Path.string());
    SetUserDataFolder((Folder.Path / "user").string());
    OldOptions = std::move(Options);
    Options = std::make_unique<TOptions>();
    Options->SoundVol = Options->MusicVol = 9;
    AudioCalls.clear();
    AudioRecording = true;
    for (const char* name : SoundNames) WriteWav(Folder.Path / "Sounds" / (std::string(name) + ".wav"), 0.05);
    // Music files keep their .ogg names; the mixer decodes them by content.
    for (const char* track : {"menu1", "menu2", "theme1", "theme2"})
      WriteWav(Folder.Path / "Music" / (std::string(track) + ".ogg"), 0.15);
  }
  void TearDown() override {
    DoneSound();
    AudioRecording = false;
    AudioCalls.clear();
    Options = std::move(OldOptions);
    SetGameFolder(OldGameFolder);
    SetUserDataFolder(OldUserFolder);
  }

  // The loading step of the game window: start, open, load, set volumes.
  void Load() {
    ASSERT_TRUE(InitSound());
    OpenMusicStreams();
    LoadSounds();
    SetSoundVolume(Options->SoundVol);
    SetMusicVolume(Options->MusicVol);
  }
  std::string DebugText() {
    std::ifstream f(Folder.Path / "debug.txt");
    std::stringstream s;
    s << f.rdbuf();
    return s.str();
  }
  // Calls UpdateMenuMusic like the frame loop until Calls "PlayMusic" calls are recorded.
  bool RunMenuFrames(size_t PlayCalls, int Ms) {
    const Uint32 start = SDL_GetTicks();
    auto count = [] {
      size_t n = 0;
      for (const auto& c : AudioCalls) n += c.Name == "PlayMusic";
      return n;
    };
    while (count() < PlayCalls && SDL_GetTicks() - start < static_cast<Uint32>(Ms)) {
      UpdateMenuMusic();
      SDL_Delay(5);
    }
    return count() >= PlayCalls;
  }
  std::vector<int> MusicTracks() {
    std::vector<int> tracks;
    for (const auto& c : AudioCalls)
      if (c.Name == "PlayMusic") tracks.push_back(c.Arg);
    return tracks;
  }
};

TEST_F(SoundsTest, PlayedSoundIsHeardWithTheDiskDriver) {
  const auto raw = Folder.Path / "out.raw";
  {
    TDiskAudio disk(raw);
    Load();
    PlaySound(14);
    SDL_Delay(200);
    DoneSound();
  }
  EXPECT_GT(PeakOf(raw), 4000);
}

// Volume 0 means the library is not even asked; the game's call is still recorded.
TEST_F(SoundsTest, SoundVolumeZeroPlaysNothing) {
  Load();
  const std::int32_t before = IMXSamplePlayCount();
  PlaySound(5);
  EXPECT_EQ(IMXSamplePlayCount(), before + 1);
  SetSoundVolume(0);
  PlaySound(5);
  PlaySound(24);
  EXPECT_EQ(IMXSamplePlayCount(), before + 1);
  EXPECT_EQ(SelectionChannel, -1);
  ASSERT_EQ(AudioCalls.size(), 3u);
  EXPECT_EQ(AudioCalls[2].Name, "PlaySound");
  EXPECT_EQ(AudioCalls[2].Arg, 24);
}

TEST_F(SoundsTest, SelectionLoopRestartsAndStopsOnlyOn24) {
  Load();
  PlaySound(24);
  const std::int32_t first = SelectionChannel;
  ASSERT_NE(first, -1);
  SDL_Delay(150);  // well past the sample's length: it loops
  EXPECT_EQ(Mix_Playing(-1), 1);

  PlaySound(24);  // the first loop stops before the second starts
  EXPECT_NE(SelectionChannel, -1);
  EXPECT_NE(SelectionChannel, first);
  EXPECT_EQ(Mix_Playing(-1), 1);

  StopSound(5);
  StopSound(0);
  EXPECT_EQ(Mix_Playing(-1), 1);
  StopSound(24);
  EXPECT_EQ(SelectionChannel, -1);
  EXPECT_EQ(Mix_Playing(-1), 0);
  StopSound(24);  // already stopped: nothing
}

TEST_F(SoundsTest, MenuTracksAlternateWhenEachEnds) {
  Load();
  PlayMusic(0, 0);  // entering the menu
  LastMenuTrack = 1;
  EXPECT_FALSE(MusicFinished());
  ASSERT_TRUE(RunMenuFrames(3, 3000));
  EXPECT_EQ(MusicTracks(), (std::vector<int>{0, 1, 0}));
  EXPECT_EQ(LastMenuTrack, 1);

  // After game over the menu goes on with menu2, then menu1.
  AudioCalls.clear();
  PlayMusic(1, 0);
  LastMenuTrack = 2;
  ASSERT_TRUE(RunMenuFrames(2, 3000));
  EXPECT_EQ(MusicTracks(), (std::vector<int>{1, 0}));
}

TEST_F(SoundsTest, ThemeRepeatsAndStopOrSwitchIsNoEnd) {
  Load();
  PlayMusic(2);  // game themes repeat
  SDL_Delay(500);  // more than three passes of the test track
  EXPECT_FALSE(MusicFinished());
  EXPECT_TRUE(Mix_PlayingMusic());

  StopMusic();
  SDL_Delay(50);
  EXPECT_FALSE(Mix_PlayingMusic());
  EXPECT_FALSE(MusicFinished());

  PlayMusic(0, 0);
  SDL_Delay(30);
  PlayMusic(1, 0);  // switched before its end
  SDL_Delay(30);
  EXPECT_FALSE(MusicFinished());
}

// A missing file silences that sound only, and the log names it.
TEST_F(SoundsTest, MissingFileIsLoggedAndSilencesOnlyThatSound) {
  std::filesystem::remove(Folder.Path / "Sounds" / "Shot.wav");
  std::ofstream(Folder.Path / "Sounds" / "MenuKey.wav") << "garbage";
  std::filesystem::remove(Folder.Path / "Music" / "menu1.ogg");
  Load();
  const std::string log = DebugText();
  EXPECT_NE(log.find("Sounds\\Shot.wav"), std::string::npos) << log;
  EXPECT_NE(log.find("Sounds\\MenuKey.wav"), std::string::npos) << log;
  EXPECT_NE(log.find("Music\\menu1.ogg"), std::string::npos) << log;

  const std::int32_t before = IMXSamplePlayCount();
  PlaySound(17);
  PlaySound(23);
  EXPECT_EQ(IMXSamplePlayCount(), before);
  PlaySound(16);
  EXPECT_EQ(IMXSamplePlayCount(), before + 1);

  // Without menu1 the menu goes on to menu2.
  PlayMusic(0, 0);
  LastMenuTrack = 1;
  EXPECT_TRUE(MusicFinished());
  UpdateMenuMusic();
  EXPECT_TRUE(Mix_PlayingMusic());
}

// NewLevel.ogg decides the extension of all 27 samples.
TEST_F(SoundsTest, OggOfTheFirstSoundChoosesOggForAll) {
  std::filesystem::copy_file(Folder.Path / "Sounds" / "NewLevel.wav", Folder.Path / "Sounds" / "NewLevel.ogg");
  Load();
  EXPECT_NE(DebugText().find("Sounds\\Message.ogg"), std::string::npos);
  const std::int32_t before = IMXSamplePlayCount();
  PlaySound(0);
  PlaySound(26);
  EXPECT_EQ(IMXSamplePlayCount(), before + 1);  // only NewLevel exists as .ogg
}

// Silent for the run, but the player's volume settings stay as they were.
TEST_F(SoundsTest, NoAudioDeviceRunsSilentlyKeepingTheVolumeSettings) {
  TScopedEnv driver("SDL_AUDIODRIVER", "no-such-driver");
  Options->SoundVol = 7;
  Options->MusicVol = 4;
  EXPECT_FALSE(InitSound());
  EXPECT_EQ(Options->SoundVol, 7);
  EXPECT_EQ(Options->MusicVol, 4);
  EXPECT_NE(DebugText().find("Sound disabled"), std::string::npos);
  // The rest of the loading and play go on without effect or crash.
  OpenMusicStreams();
  LoadSounds();
  SetSoundVolume(9);
  PlaySound(14);
  PlaySound(24);
  EXPECT_EQ(SelectionChannel, -1);
  PlayMusic(0, 0);
  UpdateMenuMusic();
  EXPECT_FALSE(MusicFinished());  // nothing ends: the menu does not keep switching
  StopMusic();
  StopSound(24);
}

TEST_F(SoundsTest, CallsAfterDoneSoundDoNothing) {
  Load();
  PlayMusic(2);
  PlaySound(24);
  DoneSound();
  EXPECT_EQ(SelectionChannel, -1);
  const std::int32_t before = IMXSamplePlayCount();
  PlaySound(5);
  PlaySound(24);
  StopSound(24);
  PlayMusic(0, 0);
  StopMusic();
  UpdateMenuMusic();
  SetSoundVolume(5);
  SetMusicVolume(5);
  DoneSound();
  EXPECT_EQ(IMXSamplePlayCount(), before);
  EXPECT_EQ(AudioCalls.back().Name, "StopMusic");  // the calls are still recorded
}

}  // namespace
