// The mixer over SDL2_mixer: what reaches the output, when the end-of-track
// callback fires, and that bad handles and late calls are harmless.
#include <SDL.h>
#include <SDL_mixer.h>
#include <gtest/gtest.h>

#include <atomic>
#include <string>

#include "audio_test_util.h"
#include "platform/mixer/imx.h"

using namespace audiotest;

namespace {

std::atomic<int> SyncCalls{0};
std::atomic<std::int32_t> SyncUser{0};

void IMXCALLBACK CountSync(std::int32_t, std::int32_t, std::int32_t, std::int32_t User) {
  SyncCalls++;
  SyncUser = User;
}

// Waits until Done holds or the time is up (ms); returns Done().
template <class F>
bool WaitFor(F Done, int Ms) {
  const Uint32 start = SDL_GetTicks();
  while (!Done() && SDL_GetTicks() - start < static_cast<Uint32>(Ms)) SDL_Delay(5);
  return Done();
}

class MixerTest : public ::testing::Test {
 protected:
  TTempFolder Folder{"voxarine-mixer"};
  void SetUp() override { SyncCalls = 0; }
  void TearDown() override { IMXUninit(); }
  std::string File(const std::string& Name) { return (Folder.Path / Name).string(); }
  void Start() {
    ASSERT_NE(IMXInit(nullptr, 44100, 0, -1), 0) << IMXErrorText();
    ASSERT_NE(IMXStart(), 0);
  }
};

// The disk driver records the mix: a played sample is heard, the same sample
// at volume 0 (sample attribute) is not.
TEST_F(MixerTest, PlayedSampleReachesTheOutputAndVolumeZeroSilencesIt) {
  WriteWav(Folder.Path / "tone.wav", 0.25, 440, 0.5);
  for (int volume : {0, 100}) {
    const auto raw = Folder.Path / ("out" + std::to_string(volume) + ".raw");
    {
      TDiskAudio disk(raw);
      Start();
      const std::int32_t sample = IMXSampleLoad(0, File("tone.wav").c_str(), 0, 0, 0, 0);
      ASSERT_GT(sample, 0) << IMXErrorText();
      IMXChannelSetAttributes(sample, volume, -101, 0);
      const std::int32_t channel = IMXSamplePlay(sample, 90, 0, 0, 0);
      ASSERT_GT(channel, 0);
      EXPECT_TRUE(WaitFor([] { return Mix_Playing(-1) == 0; }, 2000));
      IMXStop();
      IMXUninit();
    }
    const int peak = PeakOf(raw);
    if (volume == 0)
      EXPECT_EQ(peak, 0);
    else  // 0.5 full scale × 90% play volume, on one channel of the mix
      EXPECT_GT(peak, 8000);
  }
}

TEST_F(MixerTest, SyncFiresOnNaturalEndOnly) {
  WriteWav(Folder.Path / "short.wav", 0.15);
  Start();
  const std::int32_t stream = IMXStreamOpenFile(0, File("short.wav").c_str(), 0, 0, 0);
  ASSERT_GT(stream, 0) << IMXErrorText();
  ASSERT_EQ(IMXChannelSetSync(stream, IMX_SYNC_END, 0, CountSync, 77), 1);

  // Played once through: the callback fires once, with the user value.
  ASSERT_EQ(IMXStreamPlay(stream, 0), 1);
  EXPECT_TRUE(WaitFor([] { return SyncCalls > 0; }, 2000));
  SDL_Delay(100);
  EXPECT_EQ(SyncCalls, 1);
  EXPECT_EQ(SyncUser, 77);

  // Stopped, or replaced by a replay, before its end: no callback.
  SyncCalls = 0;
  IMXStreamPlay(stream, 0);
  SDL_Delay(20);
  IMXChannelStop(stream);
  IMXStreamPlay(stream, 0);
  SDL_Delay(20);
  IMXStreamPlay(stream, 1);  // repeats from here on
  SDL_Delay(500);            // several passes through the track
  EXPECT_EQ(SyncCalls, 0);
  EXPECT_TRUE(Mix_PlayingMusic());
  IMXChannelStop(stream);
  EXPECT_FALSE(Mix_PlayingMusic());
  SDL_Delay(50);
  EXPECT_EQ(SyncCalls, 0);
}

// A channel handle names one play: once spent, it never stops a later sound
// that reuses the channel.
TEST_F(MixerTest, StaleChannelHandleLeavesLaterSoundAlone) {
  WriteWav(Folder.Path / "loop.wav", 0.1);
  Start();
  const std::int32_t sample = IMXSampleLoad(0, File("loop.wav").c_str(), 0, 0, 0, 1);
  const std::int32_t first = IMXSamplePlay(sample, 90, 0, 0, 0);
  ASSERT_GT(first, 0);
  SDL_Delay(250);  // longer than the sample: it loops
  EXPECT_EQ(Mix_Playing(-1), 1);
  EXPECT_EQ(IMXChannelStop(first), 1);
  EXPECT_EQ(Mix_Playing(-1), 0);
  const std::int32_t second = IMXSamplePlay(sample, 90, 0, 0, 0);  // on the freed channel
  ASSERT_GT(second, 0);
  EXPECT_NE(second, first);
  EXPECT_EQ(IMXChannelStop(first), 0);
  EXPECT_EQ(Mix_Playing(-1), 1);
  EXPECT_EQ(IMXChannelStop(second), 1);
  EXPECT_EQ(Mix_Playing(-1), 0);
}

TEST_F(MixerTest, MissingOrUndecodableFilesFailNamingTheFile) {
  Start();
  EXPECT_LT(IMXSampleLoad(0, File("none.ogg").c_str(), 0, 0, 0, 0), 0);
  EXPECT_NE(std::string(IMXErrorText()).find("none.ogg"), std::string::npos);
  std::ofstream(Folder.Path / "junk.ogg") << "not a sound at all";
  EXPECT_LT(IMXSampleLoad(0, File("junk.ogg").c_str(), 0, 0, 0, 0), 0);
  EXPECT_LT(IMXStreamOpenFile(0, File("junk.ogg").c_str(), 0, 0, 0), 0);
  EXPECT_NE(std::string(IMXErrorText()).find("junk.ogg"), std::string::npos);
  EXPECT_LT(IMXStreamOpenFile(0, nullptr, 0, 0, 0), 0);
}

// Handles that were never set (0), belong to another kind, or outlive the
// mixer do nothing; so does every call before a start or after the end.
TEST_F(MixerTest, BadHandlesAndLateCallsDoNothing) {
  WriteWav(Folder.Path / "tone.wav", 0.1);
  EXPECT_LT(IMXSampleLoad(0, File("tone.wav").c_str(), 0, 0, 0, 0), 0);
  EXPECT_EQ(IMXStreamPlay(0, 0), 0);
  EXPECT_EQ(IMXStop(), 0);

  Start();
  const std::int32_t sample = IMXSampleLoad(0, File("tone.wav").c_str(), 0, 0, 0, 0);
  const std::int32_t stream = IMXStreamOpenFile(0, File("tone.wav").c_str(), 0, 0, 0);
  ASSERT_GT(sample, 0);
  ASSERT_GT(stream, 0);
  EXPECT_LT(IMXSamplePlay(0, 90, 0, 0, 0), 0);
  EXPECT_LT(IMXSamplePlay(stream, 90, 0, 0, 0), 0);
  EXPECT_EQ(IMXStreamPlay(sample, 0), 0);
  EXPECT_EQ(IMXStreamPlay(-5, 0), 0);
  EXPECT_EQ(IMXChannelStop(0), 0);
  EXPECT_EQ(IMXChannelSetAttributes(0, 50, -101, 0), 0);
  EXPECT_EQ(IMXChannelSetSync(sample, IMX_SYNC_END, 0, CountSync, 0), 0);

  IMXStop();
  IMXUninit();
  EXPECT_LT(IMXSamplePlay(sample, 90, 0, 0, 0), 0);
  EXPECT_EQ(IMXStreamPlay(stream, 1), 0);
  EXPECT_EQ(IMXChannelStop(stream), 0);
  EXPECT_EQ(IMXChannelSetAttributes(sample, 50, -101, 0), 0);
  EXPECT_EQ(IMXUninit(), 0);
}

TEST_F(MixerTest, NoAudioDeviceFailsInitWithAReason) {
  TScopedEnv driver("SDL_AUDIODRIVER", "no-such-driver");
  EXPECT_EQ(IMXInit(nullptr, 44100, 0, -1), 0);
  EXPECT_STRNE(IMXErrorText(), "");
  EXPECT_EQ(IMXStart(), 0);
  EXPECT_LT(IMXSamplePlay(1, 90, 0, 0, 0), 0);
}

}  // namespace
