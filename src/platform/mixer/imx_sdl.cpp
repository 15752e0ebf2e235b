// The mixer over SDL2_mixer: streams are Mix_Music, samples are Mix_Chunk,
// channels are SDL_mixer channels with a play serial so that a stale channel
// handle never stops a later sound on the same channel.
//
// SDL_mixer calls its music-finished hook both when a track ends and when it
// is halted or replaced. Halts and replacements only ever happen inside our
// calls on the main thread, while a natural end is noticed by the mixing
// callback on the audio thread; the hook tells them apart by the thread it
// runs on.
#include "platform/mixer/imx.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include <algorithm>
#include <atomic>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr std::int32_t kStreamTag = 0x10000000;
constexpr std::int32_t kSampleTag = 0x20000000;
constexpr std::int32_t kChannelTag = 0x30000000;
constexpr std::int32_t kTagMask = 0x70000000;
constexpr int kChannels = 32;     // simultaneous samples
constexpr int kChunkFrames = 1024;  // ~23 ms at 44.1 kHz

struct TStream {
  Mix_Music* Music = nullptr;
  int Volume = 100;  // percent
  std::atomic<bool> Repeat{false};
  std::atomic<TIMXSyncProc> Proc{nullptr};
  std::atomic<std::int32_t> User{0};
  std::int32_t Handle = 0;
};

struct TSample {
  Mix_Chunk* Chunk = nullptr;
  bool Loop = false;
};

enum class TPhase { Off, Open, Running };

TPhase Phase = TPhase::Off;
SDL_threadID MainThread = 0;
std::string LastError;
std::vector<std::unique_ptr<TStream>> Streams;  // handle = kStreamTag | (index + 1)
std::vector<TSample> Samples;                   // handle = kSampleTag | (index + 1)
std::vector<std::uint16_t> ChannelSerial(kChannels, 0);
std::atomic<TStream*> Playing{nullptr};  // read by the audio thread
std::atomic<std::int32_t> SamplePlays{0};

std::int32_t Fail(const std::string& Text) {
  LastError = Text;
  return -1;
}

int MixVolume(int Percent) { return std::clamp(Percent, 0, 100) * MIX_MAX_VOLUME / 100; }

TStream* FindStream(std::int32_t Handle) {
  if ((Handle & kTagMask) != kStreamTag) return nullptr;
  const std::size_t i = static_cast<std::size_t>(Handle & 0xFFFFFF);
  return i >= 1 && i <= Streams.size() ? Streams[i - 1].get() : nullptr;
}

TSample* FindSample(std::int32_t Handle) {
  if ((Handle & kTagMask) != kSampleTag) return nullptr;
  const std::size_t i = static_cast<std::size_t>(Handle & 0xFFFFFF);
  return i >= 1 && i <= Samples.size() ? &Samples[i - 1] : nullptr;
}

// The channel a channel handle names, or −1 when it is unknown or stale.
int FindChannel(std::int32_t Handle) {
  if ((Handle & kTagMask) != kChannelTag) return -1;
  const int channel = Handle & 0xFFF;
  const std::uint16_t serial = static_cast<std::uint16_t>((Handle >> 12) & 0xFFFF);
  if (channel >= static_cast<int>(ChannelSerial.size())) return -1;
  return ChannelSerial[channel] == serial ? channel : -1;
}

void MusicFinishedHook() {
  if (SDL_ThreadID() == MainThread) return;  // our own halt or switch
  TStream* stream = Playing.exchange(nullptr);
  if (stream == nullptr || stream->Repeat) return;
  if (TIMXSyncProc proc = stream->Proc.load()) proc(stream->Handle, 0, 0, stream->User.load());
}

void HaltMusic() {
  Playing = nullptr;
  Mix_HaltMusic();
}

}  // namespace

std::int32_t IMXInit(void*, std::int32_t Frequency, std::int32_t, std::int32_t) {
  if (Phase != TPhase::Off) return 1;
  if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
    LastError = std::string("no audio: ") + SDL_GetError();
    return 0;
  }
  Mix_Init(MIX_INIT_OGG);  // without it Ogg files fail one by one, WAV still plays
  if (Mix_OpenAudio(Frequency, MIX_DEFAULT_FORMAT, 2, kChunkFrames) != 0) {
    LastError = std::string("cannot open the audio device: ") + Mix_GetError();
    Mix_Quit();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    return 0;
  }
  Mix_AllocateChannels(kChannels);
  MainThread = SDL_ThreadID();
  Mix_HookMusicFinished(MusicFinishedHook);
  Phase = TPhase::Open;
  return 1;
}

std::int32_t IMXStart() {
  if (Phase == TPhase::Off) {
    LastError = "the mixer is not initialised";
    return 0;
  }
  Mix_Resume(-1);
  Mix_ResumeMusic();
  Phase = TPhase::Running;
  return 1;
}

std::int32_t IMXStop() {
  if (Phase != TPhase::Running) return 0;
  HaltMusic();
  Mix_HaltChannel(-1);
  Phase = TPhase::Open;
  return 1;
}

std::int32_t IMXUninit() {
  if (Phase == TPhase::Off) return 0;
  Mix_HookMusicFinished(nullptr);
  HaltMusic();
  Mix_HaltChannel(-1);
  for (auto& stream : Streams) Mix_FreeMusic(stream->Music);
  for (auto& sample : Samples) Mix_FreeChunk(sample.Chunk);
  Streams.clear();
  Samples.clear();
  Mix_CloseAudio();
  Mix_Quit();
  SDL_QuitSubSystem(SDL_INIT_AUDIO);
  Phase = TPhase::Off;
  return 1;
}

std::int32_t IMXStreamOpenFile(std::int32_t, const char* Path, std::int32_t, std::int32_t,
                               std::int32_t) {
  if (Phase == TPhase::Off) return Fail("the mixer is not initialised");
  if (Path == nullptr) return Fail("no file name");
  // Decoded by content, not by name: a WAV named .ogg still plays.
  SDL_RWops* file = SDL_RWFromFile(Path, "rb");
  if (file == nullptr) return Fail(std::string(Path) + ": " + SDL_GetError());
  Mix_Music* music = Mix_LoadMUS_RW(file, 1);
  if (music == nullptr) return Fail(std::string(Path) + ": " + Mix_GetError());
  auto stream = std::make_unique<TStream>();
  stream->Music = music;
  stream->Handle = kStreamTag | static_cast<std::int32_t>(Streams.size() + 1);
  Streams.push_back(std::move(stream));
  return Streams.back()->Handle;
}

std::int32_t IMXStreamPlay(std::int32_t Handle, std::int32_t Flags) {
  if (Phase != TPhase::Running) return 0;
  TStream* stream = FindStream(Handle);
  if (stream == nullptr) return 0;
  HaltMusic();
  stream->Repeat = (Flags & 1) != 0;
  Mix_VolumeMusic(MixVolume(stream->Volume));
  Playing = stream;  // before the play: a very short track may end at once
  if (Mix_PlayMusic(stream->Music, stream->Repeat ? -1 : 0) != 0) {
    Playing = nullptr;
    LastError = Mix_GetError();
    return 0;
  }
  return 1;
}

std::int32_t IMXSampleLoad(std::int32_t, const char* Path, std::int32_t, std::int32_t,
                           std::int32_t, std::int32_t Loop) {
  if (Phase == TPhase::Off) return Fail("the mixer is not initialised");
  if (Path == nullptr) return Fail("no file name");
  Mix_Chunk* chunk = Mix_LoadWAV(Path);  // also decodes Ogg Vorbis
  if (chunk == nullptr) return Fail(std::string(Path) + ": " + Mix_GetError());
  Samples.push_back({chunk, Loop != 0});
  return kSampleTag | static_cast<std::int32_t>(Samples.size());
}

std::int32_t IMXSamplePlay(std::int32_t Handle, std::int32_t Volume, std::int32_t, std::int32_t,
                           std::int32_t) {
  if (Phase != TPhase::Running) return Fail("the mixer is not running");
  TSample* sample = FindSample(Handle);
  if (sample == nullptr) return Fail("unknown sample");
  SamplePlays++;
  // Pick the channel first so its volume is right from the first buffer.
  int channel = -1;
  for (int i = 0; i < static_cast<int>(ChannelSerial.size()) && channel < 0; i++)
    if (!Mix_Playing(i)) channel = i;
  if (channel < 0) return Fail("every channel is busy");
  Mix_Volume(channel, MixVolume(Volume));
  if (Mix_PlayChannel(channel, sample->Chunk, sample->Loop ? -1 : 0) < 0)
    return Fail(Mix_GetError());
  const std::uint16_t serial = ++ChannelSerial[channel];
  return kChannelTag | (static_cast<std::int32_t>(serial) << 12) | channel;
}

std::int32_t IMXChannelStop(std::int32_t Handle) {
  if (Phase != TPhase::Running) return 0;
  if (TStream* stream = FindStream(Handle)) {
    if (Playing == stream) HaltMusic();
    return 1;
  }
  const int channel = FindChannel(Handle);
  if (channel < 0) return 0;
  Mix_HaltChannel(channel);
  ChannelSerial[channel]++;  // the handle is spent
  return 1;
}

std::int32_t IMXChannelSetAttributes(std::int32_t Handle, std::int32_t Volume, std::int32_t,
                                     std::int32_t) {
  if (Phase == TPhase::Off || Volume < 0) return 0;
  if (TStream* stream = FindStream(Handle)) {
    stream->Volume = std::min(Volume, 100);
    if (Playing == stream) Mix_VolumeMusic(MixVolume(stream->Volume));
    return 1;
  }
  if (TSample* sample = FindSample(Handle)) {
    Mix_VolumeChunk(sample->Chunk, MixVolume(Volume));
    return 1;
  }
  const int channel = FindChannel(Handle);
  if (channel < 0) return 0;
  Mix_Volume(channel, MixVolume(Volume));
  return 1;
}

std::int32_t IMXChannelSetSync(std::int32_t Handle, std::int32_t Type, std::int32_t,
                               TIMXSyncProc Proc, std::int32_t User) {
  if (Phase == TPhase::Off || Type != IMX_SYNC_END) return 0;
  TStream* stream = FindStream(Handle);
  if (stream == nullptr) return 0;
  stream->User = User;
  stream->Proc = Proc;
  return 1;
}

const char* IMXErrorText() { return LastError.c_str(); }

std::int32_t IMXSamplePlayCount() { return SamplePlays.load(); }
