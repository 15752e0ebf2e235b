// Replay files: what is written reads back the same, small; a damaged, cut,
// foreign or hostile file is refused with a message naming it; old replays
// beyond the newest 50 are pruned.
#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cstdio>
#include <random>

#include "foundation_temp.h"
#include "platform/win32/io_error.h"
#include "replay/game_input.h"
#include "replay/replay_file.h"

namespace {

using namespace replay;

TReplay Sample() {
  TReplay r;
  r.GameVersion = GameVersion();
  r.TablesDigest = 0x1122334455667788ull;
  r.Mode = 2;
  r.Seed = 0xDEADBEEF;
  r.StartTime = 1765000000;
  r.Start.Combo = 3;
  r.Start.ItemRequests = 1;
  r.Start.EndTimer = 12.5;
  r.Start.CursorMode = 1;
  r.Start.PointerX = -1.8f;
  r.Start.PointerY = 0.25f;
  r.Continued = true;
  r.SaveContent = "date\r\n2\r\n1\r\n";
  r.Events = {
      {TEventKind::State, 3, 2},
      {TEventKind::Load, 0, 0},
      {TEventKind::Frame, BitsOf(16.0f), 3},
      {TEventKind::Pointer, BitsOf(-3.25f), BitsOf(1.0f)},
      {TEventKind::Pointer, BitsOf(-3.0f), BitsOf(1.125f)},
      {TEventKind::Press, 0, 0},
      {TEventKind::Release, 0, 0},
      {TEventKind::Key, 13, 0},
      {TEventKind::Frame, BitsOf(16.6667f), 1},
      {TEventKind::Reseed, 77, 0},
      {TEventKind::Digest, 0x01020304, 0x05060708},
      {TEventKind::Frame, BitsOf(1234.0f), 1},
  };
  r.Frames = 5;
  r.FinalScore = 4321;
  r.FinalLevel = 3;
  r.FinalDigest = 0xCAFE;
  r.End = TEndReason::GameOver;
  return r;
}

std::uint32_t Checksum(const std::string& B, std::size_t N) {
  std::uint32_t h = 2166136261u;
  for (std::size_t i = 0; i < N; ++i) h = (h ^ static_cast<unsigned char>(B[i])) * 16777619u;
  return h;
}

// Bytes with a checksum that fits again: only the reader's own checks stand
// between such a file and the game.
std::string Reseal(std::string B) {
  const std::uint32_t c = Checksum(B, B.size() - 4);
  for (int i = 0; i < 4; ++i) B[B.size() - 4 + static_cast<std::size_t>(i)] = static_cast<char>(c >> (8 * i));
  return B;
}

std::string ErrorOf(const std::string& Bytes) {
  try {
    DecodeReplay("Replays/x.vxr", Bytes);
  } catch (const EInOutError& e) {
    return e.what();
  }
  return {};
}

// A written file reads back event for event, with the exact float bits.
TEST(ReplayFile, RoundTripKeepsEveryField) {
  const TReplay a = Sample();
  const TReplay b = DecodeReplay("x", EncodeReplay(a));
  EXPECT_EQ(b.Mode, 2);
  EXPECT_EQ(b.Seed, a.Seed);
  EXPECT_EQ(b.SaveContent, a.SaveContent);
  EXPECT_EQ(b.Start.Combo, 3);
  EXPECT_EQ(BitsOf(b.Start.PointerX), BitsOf(-1.8f));
  ASSERT_EQ(b.Events.size(), a.Events.size());
  for (std::size_t k = 0; k < a.Events.size(); ++k) {
    EXPECT_EQ(b.Events[k].Kind, a.Events[k].Kind) << k;
    EXPECT_EQ(b.Events[k].A, a.Events[k].A) << k;
    EXPECT_EQ(b.Events[k].B, a.Events[k].B) << k;
  }
  EXPECT_EQ(b.Frames, 5u);
  EXPECT_EQ(b.FinalScore, 4321);
  EXPECT_EQ(b.End, TEndReason::GameOver);
}

// Every packed form of frame times (steps of one ms, repeats, whole and
// fractional ms, the ends of the one-byte range) reads back frame for frame.
TEST(ReplayFile, PackedFramesReadBackExactly) {
  std::vector<float> times;
  std::mt19937 rng(3);
  float ms = 16;
  for (int k = 0; k < 5000; ++k) {
    const int r = static_cast<int>(rng() % 10);
    if (r < 5) ms = std::clamp(ms + static_cast<float>(static_cast<int>(rng() % 3) - 1), 0.0f, 127.0f);
    else if (r == 5) ms = static_cast<float>(rng() % 200);
    else if (r == 6) ms = 16.6667f;
    else if (r == 7) ms = std::clamp(ms + static_cast<float>(static_cast<int>(rng() % 7) - 3), 0.0f, 127.0f);
    times.push_back(ms);
  }
  TReplay r = Sample();
  r.Events.clear();
  for (float t : times) {
    if (!r.Events.empty() && r.Events.back().A == BitsOf(t))
      ++r.Events.back().B;
    else
      r.Events.push_back({TEventKind::Frame, BitsOf(t), 1});
  }
  r.Frames = times.size();
  const TReplay b = DecodeReplay("x", EncodeReplay(r));
  std::vector<float> back;
  for (const TEvent& e : b.Events) back.insert(back.end(), e.B, FloatOf(e.A));
  ASSERT_EQ(back.size(), times.size());
  for (std::size_t k = 0; k < times.size(); ++k) ASSERT_EQ(BitsOf(back[k]), BitsOf(times[k])) << k;
}

// An hour at 60 frames a second, with frame times jittering by a
// millisecond, the mouse moving (a few pixels of an 800 x 600 window) on
// four frames in ten and a digest every half second, stays well under 1 MB.
TEST(ReplayFile, AnHourIsSmall) {
  TReplay r = Sample();
  r.Events.clear();
  r.Frames = 0;
  std::mt19937 rng(7);
  int px = 400, py = 300;
  for (int f = 0; f < 60 * 60 * 60; ++f) {
    r.Events.push_back({TEventKind::Frame, BitsOf(static_cast<float>(16 + rng() % 2)), 1});
    ++r.Frames;
    if (rng() % 10 < 4) {
      px = std::clamp(px + static_cast<int>(rng() % 9) - 4, 0, 799);
      py = std::clamp(py + static_cast<int>(rng() % 9) - 4, 0, 599);
      const float x = (0.5f - static_cast<float>(px) * (1.0f / 800)) * 14.45f - 1.8f;
      const float y = (0.5f - static_cast<float>(py) * (1.0f / 600)) * 10.8375f - 0.25f;
      r.Events.push_back({TEventKind::Pointer, BitsOf(x), BitsOf(y)});
    }
    if (f % 30 == 0) r.Events.push_back({TEventKind::Digest, static_cast<std::uint32_t>(rng()), 1});
  }
  const std::size_t size = EncodeReplay(r).size();
  std::printf("an hour of play: %zu bytes\n", size);
  EXPECT_LT(size, 600u * 1024);
}

// Every cut of a good file, and every single damaged byte, is refused with
// the file's name; none crashes or is read as a game.
TEST(ReplayFile, CutOrDamagedFilesAreRefusedByName) {
  const std::string good = EncodeReplay(Sample());
  for (std::size_t n = 0; n < good.size(); ++n) {
    const std::string why = ErrorOf(good.substr(0, n));
    EXPECT_NE(why.find("Replays/x.vxr"), std::string::npos) << "cut at " << n;
  }
  for (std::size_t k = 0; k < good.size(); ++k) {
    std::string bad = good;
    bad[k] = static_cast<char>(bad[k] ^ 0x41);
    EXPECT_FALSE(ErrorOf(bad).empty()) << "byte " << k;
  }
  EXPECT_NE(ErrorOf(good + "x").find("checksum"), std::string::npos);
}

// A file of another format says it comes from another version; another
// program's file says it is no replay.
TEST(ReplayFile, ForeignFilesSayWhatTheyAre) {
  std::string other = EncodeReplay(Sample());
  other[8] = 2;
  EXPECT_NE(ErrorOf(other).find("another version"), std::string::npos);
  EXPECT_NE(ErrorOf("PK\x03\x04 not a replay").find("not a Voxarine replay"), std::string::npos);
  EXPECT_NE(ErrorOf("").find("not a Voxarine replay"), std::string::npos);
}

// Values that pass the checksum but not the rules: each is named, none played.
TEST(ReplayFile, HostileValuesAreRefused) {
  auto withEvents = [](std::vector<TEvent> Events, std::uint64_t Frames) {
    TReplay r = Sample();
    r.Events = std::move(Events);
    r.Frames = Frames;
    return EncodeReplay(r);
  };
  EXPECT_NE(ErrorOf(withEvents({{TEventKind::Frame, BitsOf(-1.0f), 1}}, 1)).find("frame time"), std::string::npos);
  EXPECT_NE(ErrorOf(withEvents({{TEventKind::Frame, BitsOf(std::bit_cast<float>(0x7FC00000u)), 1}}, 1))
                .find("frame time"),
            std::string::npos);
  EXPECT_NE(ErrorOf(withEvents({{TEventKind::Pointer, 0x7F800000u, 0}}, 0)).find("pointer"), std::string::npos);
  EXPECT_NE(ErrorOf(withEvents({{TEventKind::Press, 7, 0}}, 0)).find("button"), std::string::npos);
  EXPECT_NE(ErrorOf(withEvents({{TEventKind::State, 9, 2}}, 0)).find("state"), std::string::npos);
  EXPECT_NE(ErrorOf(withEvents({{TEventKind::Load, 0, 0}, {TEventKind::Load, 0, 0}}, 0)).find("twice"),
            std::string::npos);
  EXPECT_NE(ErrorOf(withEvents({{TEventKind::Frame, BitsOf(16.0f), 1}}, 9)).find("frames"), std::string::npos);
  // An unknown record, a run without a frame and a huge length, resealed.
  std::string bad = withEvents({{TEventKind::Key, 13, 0}}, 0);
  const std::size_t key = bad.find(std::string("\x13\x0D\x00", 3));
  ASSERT_NE(key, std::string::npos);
  bad[key] = '\x7F';
  EXPECT_NE(ErrorOf(Reseal(bad)).find("unknown record"), std::string::npos);
  bad[key] = '\x02';
  EXPECT_NE(ErrorOf(Reseal(bad)).find("repeat"), std::string::npos);
  std::string big = EncodeReplay(Sample());
  big[9] = '\xFF';  // the version's length
  EXPECT_FALSE(ErrorOf(Reseal(big)).empty());
}

// The file names sort by date; pruning keeps the newest, however many.
TEST(ReplayFile, PruningKeepsTheNewest) {
  TTempFolder folder;
  EXPECT_EQ(ReplayFileName(0, 1, 12345.4).substr(0, 4), "1970");
  EXPECT_NE(ReplayFileName(0, 2, 12345.4).find("_mode2_12345.vxr"), std::string::npos);
  for (int k = 0; k < 53; ++k) WriteText(folder / ("2026-01-01_00-00-" + std::to_string(10 + k) + "_mode1_5.vxr"), "x");
  WriteText(folder / "notes.txt", "kept");
  PruneReplays(folder.Path, 50);
  int left = 0;
  for (const auto& e : std::filesystem::directory_iterator(folder.Path)) left += e.path().extension() == ".vxr";
  EXPECT_EQ(left, 50);
  EXPECT_FALSE(std::filesystem::exists(folder / "2026-01-01_00-00-12_mode1_5.vxr"));
  EXPECT_TRUE(std::filesystem::exists(folder / "2026-01-01_00-00-13_mode1_5.vxr"));
  EXPECT_TRUE(std::filesystem::exists(folder / "notes.txt"));
}

// A missing file, and a folder, are named as such.
TEST(ReplayFile, ReadingNamesTheFile) {
  TTempFolder folder;
  EXPECT_THROW(
      {
        try {
          ReadReplayFile(folder / "none.vxr");
        } catch (const EInOutError& e) {
          EXPECT_NE(std::string(e.what()).find("none.vxr"), std::string::npos);
          throw;
        }
      },
      EInOutError);
  EXPECT_THROW(ReadReplayFile(folder.Path), EInOutError);
}

}  // namespace
