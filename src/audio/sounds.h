// Sound effects and music: the game's player over the mixer library.
// Sounds are numbered 1..27 (24 is the looping selection sound); music tracks
// are 0..3 (0, 1 menu tracks; 2, 3 game themes).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

void InitSound();          // start the mixer; on failure both volumes become 0
void OpenMusicStreams();   // open the four music streams
void LoadSounds();         // load the 27 samples (.ogg or .wav)
void SetSoundVolume(int Volume);  // 0..9
void SetMusicVolume(int Volume);  // 0..9
void PlaySound(int Number);
void StopSound(int Number);
void PlayMusic(int Track);
void StopMusic();
bool MusicFinished();      // the current track reached its natural end
void UpdateMenuMusic();    // alternate the two menu tracks when one ends
void DoneSound();          // shut the mixer down; later calls do nothing

extern int LastMenuTrack;
extern std::uint32_t SelectionChannel;

// Tests switch recording on to see which calls the game makes, in order.
struct TAudioCall {
  std::string Name;  // "PlaySound", "StopSound", "PlayMusic", "StopMusic"
  int Arg;           // sound or track number; -1 when the call has none
};
extern bool AudioRecording;
extern std::vector<TAudioCall> AudioCalls;
