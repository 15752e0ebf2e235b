// Placeholder player: records the calls until the mixer-backed player lands.
#include "audio/sounds.h"

int LastMenuTrack = 0;
std::uint32_t SelectionChannel = 0;
bool AudioRecording = false;
std::vector<TAudioCall> AudioCalls;

namespace {
void Record(const char* name, int arg) {
  if (AudioRecording) AudioCalls.push_back({name, arg});
}
}  // namespace

void InitSound() {}
void OpenMusicStreams() {}
void LoadSounds() {}
void SetSoundVolume(int) {}
void SetMusicVolume(int) {}
void PlaySound(int Number) { Record("PlaySound", Number); }
void StopSound(int Number) { Record("StopSound", Number); }
void PlayMusic(int Track) { Record("PlayMusic", Track); }
void StopMusic() { Record("StopMusic", -1); }
bool MusicFinished() { return false; }
void UpdateMenuMusic() {}
void DoneSound() {}
