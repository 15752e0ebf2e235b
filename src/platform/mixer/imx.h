// The audio mixer: music streams and sound samples addressed by integer
// handles, in the shape the game's sound player was written against, built on
// SDL2_mixer. Ogg Vorbis and WAV files.
//
// Handles are positive 32-bit integers; a negative result means failure and
// IMXErrorText() says why. 0 is never a valid handle, so a handle that was
// never set is harmless: every call given an unknown, stale or zero handle
// does nothing. Every call before IMXInit, after IMXUninit or after a failed
// start does nothing and returns 0 (or −1 where a handle is expected).
//
// Everything is called from one thread. Only the end-of-track callback may
// run on the audio thread.
#pragma once

#include <cstdint>

#if defined(_WIN32) && !defined(_WIN64)
#define IMXCALLBACK __stdcall
#else
#define IMXCALLBACK
#endif

// Called when a stream reaches its natural end; the arguments are the stream
// handle, 0, 0 and the user value given to IMXChannelSetSync. Runs on the
// audio thread: keep it to a flag store.
using TIMXSyncProc = void(IMXCALLBACK*)(std::int32_t Handle, std::int32_t Channel,
                                        std::int32_t Data, std::int32_t User);

// Sets the mixer up at Frequency Hz (stereo, 16-bit). Window and the two
// reserved values are accepted and ignored. Non-zero on success.
std::int32_t IMXInit(void* Window, std::int32_t Frequency, std::int32_t Reserved1,
                     std::int32_t Reserved2);
// Lets output run. Non-zero on success.
std::int32_t IMXStart();
// Stops all output: every channel and the music.
std::int32_t IMXStop();
// Frees every stream and sample and closes the audio device.
std::int32_t IMXUninit();

// Opens a music file as a stream (not yet playing). Volume starts at 100%.
std::int32_t IMXStreamOpenFile(std::int32_t Reserved, const char* Path, std::int32_t Offset,
                               std::int32_t Length, std::int32_t Flags);
// Plays a stream from its start, replacing any stream that was playing.
// Flags bit 0: repeat until stopped (a repeating stream never ends).
std::int32_t IMXStreamPlay(std::int32_t Stream, std::int32_t Flags);

// Loads a whole sound file. Loop 1: every play of it repeats until stopped.
std::int32_t IMXSampleLoad(std::int32_t Reserved, const char* Path, std::int32_t Offset,
                           std::int32_t Length, std::int32_t Flags, std::int32_t Loop);
// Plays a sample on a free channel at Volume percent (0..100) of the sample's
// own volume; returns the channel's handle.
std::int32_t IMXSamplePlay(std::int32_t Sample, std::int32_t Volume, std::int32_t Reserved1,
                           std::int32_t Reserved2, std::int32_t Reserved3);

// Stops a playing stream (without its end callback) or a sample's channel.
std::int32_t IMXChannelStop(std::int32_t Handle);
// Volume of a stream or a sample in percent (0..100); −1 leaves it. Pan is
// kept for the interface's shape: −101 leaves it (the only value in use).
std::int32_t IMXChannelSetAttributes(std::int32_t Handle, std::int32_t Volume, std::int32_t Pan,
                                     std::int32_t Reserved);

constexpr std::int32_t IMX_SYNC_END = 1;
// Calls Proc when the stream reaches its natural end (Type IMX_SYNC_END);
// one callback per stream, a later call replaces it.
std::int32_t IMXChannelSetSync(std::int32_t Stream, std::int32_t Type, std::int32_t Param,
                               TIMXSyncProc Proc, std::int32_t User);

// Why the last call failed.
const char* IMXErrorText();

// Tests count the calls that would make a sound.
std::int32_t IMXSamplePlayCount();
