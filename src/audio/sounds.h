// Sound effects and music: the game's player over the mixer library.
// Sounds are numbered 0..26 (24 is the looping selection sound); music tracks
// are 0..3 (0, 1 menu tracks; 2, 3 game themes).
//
// A missing sound or music file only silences that one sound (and says so in
// the debug log). Without an audio device the game runs silently; after
// DoneSound every call does nothing.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Starts the mixer. On failure both volume settings become 0 for the run and
// the debug log says why; returns whether sound runs.
bool InitSound(void* Window = nullptr);
void OpenMusicStreams();          // open the four music streams
void LoadSounds();                // load the 27 samples (.ogg, or .wav when NewLevel.ogg is absent)
void SetSoundVolume(int Volume);  // 0..9; 0 silences PlaySound
void SetMusicVolume(int Volume);  // 0..9
void PlaySound(int Number);
void StopSound(int Number);  // only 24, the selection loop, can be stopped
// Switches to a track; Flags 1 repeats it. Without Flags the game themes
// (2, 3) repeat and the menu tracks play once.
void PlayMusic(int Track, int Flags = -1);
void StopMusic();
bool MusicFinished();    // no track is playing: it reached its end, or none started
void UpdateMenuMusic();  // alternate the two menu tracks when one ends
void DoneSound();        // shut the mixer down; later calls do nothing

extern int LastMenuTrack;                // 1 or 2: the menu track most recently started
extern std::int32_t SelectionChannel;  // channel of the selection loop; -1 when silent

// Tests switch recording on to see which calls the game makes, in order.
struct TAudioCall {
  std::string Name;  // "PlaySound", "StopSound", "PlayMusic", "StopMusic"
  int Arg;           // sound or track number; -1 when the call has none
};
extern bool AudioRecording;
extern std::vector<TAudioCall> AudioCalls;
