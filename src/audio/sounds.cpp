// The game's sound player: 27 samples by number and four music streams, one
// playing at a time, over the mixer library.
//
// The mixer's end-of-track callback may run on the audio thread; it only
// clears MusicPlaying, which the frame loop polls through MusicFinished.
#include "audio/sounds.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <filesystem>

#include "platform/mixer/imx.h"
#include "platform/win32/io_error.h"
#include "platform/win32/paths.h"
#include "shell/debug_log.h"

int LastMenuTrack = 2;
std::int32_t SelectionChannel = -1;
bool AudioRecording = false;
std::vector<TAudioCall> AudioCalls;

namespace {

constexpr int kSoundCount = 27;
constexpr int kTrackCount = 4;
constexpr int kSelected = 24;  // the looping selection sound

constexpr std::array<const char*, kSoundCount> kSoundNames = {
    "NewLevel",  "BonusLevel", "NewTurn",     "FlyingBy",  "BonusLevelDone", "SelectCube",
    "MoveCube",  "MoveBomb",   "Moved",       "FigureDone", "vDouble",       "vTriple",
    "vQuadro",   "vExcellent", "vVoxarine",   "ExplodeBomb", "Colorize",     "Shot",
    "ShowBonus", "GameOver",   "MenuMove",    "MenuEnter", "MenuEsc",        "MenuKey",
    "Selected",  "TimeUp",     "Message"};
constexpr std::array<const char*, kTrackCount> kTrackFiles = {"menu1.ogg", "menu2.ogg",
                                                               "theme1.ogg", "theme2.ogg"};

enum class TState { Idle, Running, Silent, Done };

TState State = TState::Idle;
std::array<std::int32_t, kTrackCount> StreamHandles{};  // 0 = never opened
std::array<std::int32_t, kSoundCount> SampleHandles{};
int CurrentTrack = 0;
std::atomic<bool> MusicPlaying{false};
int SoundVolume = 9;  // 0..9, as last set
int MusicVolume = 9;

void Record(const char* Name, int Arg) {
  if (AudioRecording) AudioCalls.push_back({Name, Arg});
}

// The debug log failing is no reason to stop the game over a sound.
void Log(const std::string& Text) {
  try {
    DebugLog(false, " " + Text);
  } catch (const EInOutError&) {
  }
}

int AttributeVolume(int Setting) { return (Setting * 100 + 4) / 9; }  // 9 → 100, 5 → 56

void IMXCALLBACK MusicEndCallback(std::int32_t, std::int32_t, std::int32_t, std::int32_t) {
  MusicPlaying = false;
}

}  // namespace

bool InitSound(void* Window) {
  if (State == TState::Running) return true;
  StreamHandles.fill(0);
  SampleHandles.fill(0);
  CurrentTrack = 0;
  MusicPlaying = false;
  LastMenuTrack = 2;
  SelectionChannel = -1;
  if (IMXInit(Window, 44100, 0, -1) != 0 && IMXStart() != 0) {
    State = TState::Running;
    SoundVolume = MusicVolume = 9;
    return true;
  }
  Log(std::string("Sound disabled: ") + IMXErrorText());
  IMXUninit();
  // Silent for this run only: the player's volume settings stay as stored
  // (a device missing once, headphones unplugged, must not cost them).
  State = TState::Silent;
  SoundVolume = MusicVolume = 0;
  return false;
}

void OpenMusicStreams() {
  if (State != TState::Running) return;
  for (int track = 0; track < kTrackCount; track++) {
    const std::string name = std::string("Music\\") + kTrackFiles[track];
    const std::int32_t handle = IMXStreamOpenFile(0, ResolvePath(name).c_str(), 0, 0, 0);
    if (handle < 0) Log("Music file not played: " + name + " (" + IMXErrorText() + ")");
    StreamHandles[track] = handle < 0 ? 0 : handle;
  }
}

void LoadSounds() {
  if (State != TState::Running) return;
  std::error_code ec;
  const char* ext = std::filesystem::exists(ResolvePath("Sounds\\NewLevel.ogg"), ec) ? ".ogg" : ".wav";
  for (int n = 0; n < kSoundCount; n++) {
    const std::string name = std::string("Sounds\\") + kSoundNames[n] + ext;
    const std::int32_t handle =
        IMXSampleLoad(0, ResolvePath(name).c_str(), 0, 0, 0, n == kSelected ? 1 : 0);
    if (handle < 0) Log("Sound file not played: " + name + " (" + IMXErrorText() + ")");
    SampleHandles[n] = handle < 0 ? 0 : handle;
  }
  SelectionChannel = -1;
}

void SetSoundVolume(int Volume) {
  if (State == TState::Done) return;
  SoundVolume = State == TState::Silent ? 0 : std::clamp(Volume, 0, 9);
  for (std::int32_t handle : SampleHandles)
    if (handle != 0) IMXChannelSetAttributes(handle, AttributeVolume(SoundVolume), -101, 0);
}

void SetMusicVolume(int Volume) {
  if (State == TState::Done) return;
  MusicVolume = State == TState::Silent ? 0 : std::clamp(Volume, 0, 9);
  for (std::int32_t handle : StreamHandles)
    if (handle != 0) IMXChannelSetAttributes(handle, AttributeVolume(MusicVolume), -101, 0);
}

void PlaySound(int Number) {
  Record("PlaySound", Number);
  if (SoundVolume == 0 || State != TState::Running) return;
  if (Number < 0 || Number >= kSoundCount || SampleHandles[Number] == 0) return;
  if (Number == kSelected && SelectionChannel != -1) StopSound(kSelected);
  const std::int32_t channel = IMXSamplePlay(SampleHandles[Number], SoundVolume * 10, 0, 0, 0);
  if (Number == kSelected) SelectionChannel = channel < 0 ? -1 : channel;
}

void StopSound(int Number) {
  Record("StopSound", Number);
  if (Number != kSelected || SelectionChannel == -1) return;
  if (State == TState::Running) IMXChannelStop(SelectionChannel);
  SelectionChannel = -1;
}

void PlayMusic(int Track, int Flags) {
  Record("PlayMusic", Track);
  if (State == TState::Done) return;
  Track %= 128;
  if (Track < 0 || Track >= kTrackCount) return;
  if (Flags < 0) Flags = Track >= 2 ? 1 : 0;
  if (State == TState::Running) IMXChannelStop(StreamHandles[CurrentTrack]);
  CurrentTrack = Track;
  MusicPlaying = true;
  if (State != TState::Running) return;  // nothing will end: the menu does not keep switching
  // A track that cannot play counts as ended, so the menu moves on to the other.
  if (IMXStreamPlay(StreamHandles[Track], Flags) == 0) MusicPlaying = false;
  IMXChannelSetSync(StreamHandles[Track], IMX_SYNC_END, 0, MusicEndCallback, 0);
}

void StopMusic() {
  Record("StopMusic", -1);
  if (State == TState::Running) IMXChannelStop(StreamHandles[CurrentTrack]);
}

bool MusicFinished() { return !MusicPlaying; }

void UpdateMenuMusic() {
  if (!MusicFinished()) return;
  if (LastMenuTrack == 1) {
    PlayMusic(1, 0);
    LastMenuTrack = 2;
  } else {
    PlayMusic(0, 0);
    LastMenuTrack = 1;
  }
}

void DoneSound() {
  if (State == TState::Running) {
    IMXStop();
    IMXUninit();
  }
  State = TState::Done;
  StreamHandles.fill(0);
  SampleHandles.fill(0);
  SelectionChannel = -1;
}
