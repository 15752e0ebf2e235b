// The replay file: everything a game is a function of, so that it can be
// played again to the same end. A header (what the game started from), one
// event per thing the game received, frame by frame, and a trailer (how it
// ended). Binary, little-endian, with variable-length numbers and
// one-byte frames, so that an hour of play stays well under a megabyte.
//
// Layout (format 1):
//   "VXREPLAY" 8 bytes, format u8, game version (varint length + bytes),
//   tables digest u64, mode u8 (1..2), seed u32, start time varint (s since 1970),
//   start block (the game's state that a new game does not reset, and the pointer),
//   digest interval varint, continued u8 + save content (varint length + bytes);
//   the pointer's distinct x and y values (two tables); events until the end
//   tag, a pointer move as steps through the tables; trailer: frames varint, score f64, level varint,
//   state digest u64, end u8; then a checksum u32 of everything before it.
// Frames carry the exact float bits of the frame time (a whole number of ms
// in one byte, four frames that each step at most 1 ms from the one before,
// or two that step at most 3 ms, in one byte, a repeat in two); pointer positions are
// the game's own board coordinates (float bits), so neither the display rate
// nor the window's size or shape enters the replay.
#pragma once

#include <bit>
#include <cstdint>
#include <string>
#include <vector>

namespace replay {

constexpr std::uint8_t FormatVersion = 1;
constexpr std::size_t MaxFileBytes = 64u << 20;   // far beyond any real game (an hour is < 1 MB)
constexpr std::size_t MaxSaveBytes = 1u << 16;    // a saved game is a few hundred bytes
constexpr std::uint32_t DefaultDigestInterval = 500;  // ms of game time between state digests

enum class TEventKind : std::uint8_t {
  Frame,    // Update(A as float bits), B times in a row (B >= 1)
  Pointer,  // the pointer stands at board point (A, B as float bits): MouseMove
  Press,    // MouseDown(A): 0 left, 1 right, 2 middle
  Release,  // the button A went up (the game has no call for it; kept for the record)
  Key,      // the key A (virtual-key code) reached play; what it did is in the events after it
  State,    // set from outside the game: EndPhase = A (pause, continue), CursorMode = B
  Load,     // the saved game in the header is loaded now (LoadGame)
  Reseed,   // the random generator is seeded with A
  Digest,   // the game's state digest after the frames so far: A low, B high 32 bits
};

struct TEvent {
  TEventKind Kind = TEventKind::Frame;
  std::uint32_t A = 0, B = 0;
};

enum class TEndReason : std::uint8_t { GameOver = 1, SavedAndQuit = 2, Closed = 3, Cut = 4 };

// The game's fields that a new game does not reset: a game starts from them
// as the previous one left them.
struct TStartState {
  std::int32_t Combo = 0;
  std::int32_t ItemRequests = 0;
  bool MoveUnscored = false;
  double EndTimer = 0;
  std::uint16_t ShotCell = 0;
  std::uint8_t HoverX = 0, HoverY = 0;
  std::uint8_t CursorMode = 2;
  float PointerX = 0, PointerY = 0;  // board coordinates
};

struct TReplay {
  std::string GameVersion;
  std::uint64_t TablesDigest = 0;
  std::uint8_t Mode = 1;
  std::uint32_t Seed = 0;
  std::uint64_t StartTime = 0;  // s since 1970 (UTC)
  TStartState Start;
  std::uint32_t DigestInterval = DefaultDigestInterval;  // ms
  bool Continued = false;
  std::string SaveContent;  // the continued save's file, as read
  std::vector<TEvent> Events;
  // Trailer
  std::uint64_t Frames = 0;
  double FinalScore = 0;
  std::int32_t FinalLevel = 0;
  std::uint64_t FinalDigest = 0;
  TEndReason End = TEndReason::Cut;
};

// The file's bytes.
std::string EncodeReplay(const TReplay& R);
// Reads and checks a whole file's bytes; FileName only names it in errors.
// Raises EInOutError saying what is wrong: damage, truncation, a format of
// another version, anything out of range.
TReplay DecodeReplay(const std::string& FileName, const std::string& Bytes);
// Reads the file (at most MaxFileBytes) and decodes it.
TReplay ReadReplayFile(const std::string& Path);

// The version this build writes and plays.
std::string GameVersion();

inline float FloatOf(std::uint32_t Bits) { return std::bit_cast<float>(Bits); }
inline std::uint32_t BitsOf(float F) { return std::bit_cast<std::uint32_t>(F); }

}  // namespace replay
