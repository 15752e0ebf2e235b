// Recording and playing back: a game driven through the input calls plays
// again to the same state, frame for frame, whatever the game held before;
// a replay that goes another way is caught at the first digest after it.
#include <gtest/gtest.h>

#include "game_rules_fixture.h"
#include "platform/win32/io_error.h"
#include "platform/win32/random.h"
#include "replay/game_input.h"
#include "replay/playback.h"
#include "replay/state_digest.h"
#include "shell/form_main.h"

namespace {

using namespace replay;

class ReplayPlayTest : public GameRulesTest {
 protected:
  void SetUp() override {
    GameRulesTest::SetUp();
    Recording = TRecordSettings{};
    Recording.Enabled = true;
    Recording.Folder = Folder / "rec";
    Recording.Keep = 0;
    Recording.Written = [this](const std::string& P) { Path = P; };
    GameState = gsGame;
  }
  void TearDown() override {
    EndRecording(TEndReason::Cut);
    Recording = TRecordSettings{};
    GameRulesTest::TearDown();
  }

  // A game through the calls the window makes: uneven frames, the pointer
  // on cells here and there with clicks, and a pause set from outside.
  void PlayScripted() {
    G().Mode = 1;
    G().Level = 1;
    G().ClearBoard();
    G().Levels[1].Progress = 0;
    RandSeed(99);
    ReplayNewGame();
    G().EndPhase = epPlaying;
    for (int f = 1; f <= 600; ++f) {
      GameFrame(f % 3 ? 16.0f : 17.25f);
      if (f % 20 == 0) {
        PointAt(static_cast<float>(f / 20 % 9 + 1 - 5), static_cast<float>(f / 7 % 9 + 1 - 5));
        GamePointer();
        GamePress(f % 100 == 0 ? 1 : 0);
        GameRelease(0);
      }
      if (f == 300) G().EndPhase = epPaused;
      if (f == 340) G().EndPhase = epPlaying;
    }
    EndDigest = GameStateDigest(G());
    EndScore = G().Score;
    ASSERT_NE(EndRecording(TEndReason::Cut), "");
  }

  // Plays R from a game left in another state than the recording's.
  std::uint64_t PlayBack(TReplay R, std::uint64_t* DivergedAt = nullptr) {
    G().Combo = 7;
    G().ItemRequests = 2;
    G().EndPhase = epLevelDone;
    RandSeed(12345);
    TPlayer p("test.vxr", std::move(R));
    p.Begin();
    while (p.Step()) {
    }
    if (DivergedAt) *DivergedAt = p.DivergedAt;
    return GameStateDigest(G());
  }

  std::string Path;
  std::uint64_t EndDigest = 0;
  double EndScore = 0;
};

// The file plays back to the recorded end, with every digest on the way equal.
TEST_F(ReplayPlayTest, RecordedGamePlaysToTheSameEnd) {
  PlayScripted();
  const TReplay r = ReadReplayFile(Path);
  EXPECT_EQ(r.Frames, 600u);
  EXPECT_EQ(r.FinalDigest, EndDigest);
  std::uint64_t diverged = 1;
  EXPECT_EQ(PlayBack(r, &diverged), EndDigest);
  EXPECT_EQ(diverged, 0u);
  EXPECT_EQ(G().Score, EndScore);
  // The pause from outside is in the file, as a state change.
  EXPECT_TRUE(std::any_of(r.Events.begin(), r.Events.end(),
                          [](const TEvent& e) { return e.Kind == TEventKind::State && e.A == epPaused; }));
}

// One frame time changed: the game goes another way, and the first digest
// after the change says where.
TEST_F(ReplayPlayTest, DivergenceIsNamedByFrame) {
  PlayScripted();
  TReplay r = ReadReplayFile(Path);
  std::uint64_t frame = 0;
  for (TEvent& e : r.Events) {
    if (e.Kind != TEventKind::Frame) continue;
    frame += e.B;
    if (frame >= 95) {
      e.A = BitsOf(40.0f);
      break;
    }
  }
  std::uint64_t diverged = 0;
  EXPECT_NE(PlayBack(r, &diverged), EndDigest);
  EXPECT_GE(diverged, 95u);
  EXPECT_LE(diverged, 95u + 40);  // the next digest, half a second later
}

// A replay that cannot be written is reported and the game goes on: the
// folder's place is taken by a file here, which no user (root included) can
// write into.
TEST_F(ReplayPlayTest, AFailedWriteLeavesTheGameAlone) {
  WriteText(Folder / "blocked", "not a folder");
  Recording.Folder = Folder / "blocked";
  std::string why;
  Recording.Failed = [&why](const std::string& W) { why = W; };
  RandSeed(1);
  ReplayNewGame();
  G().EndPhase = epPlaying;
  for (int f = 0; f < 50; ++f) GameFrame(16);
  const std::uint64_t before = GameStateDigest(G());
  EXPECT_EQ(EndRecording(TEndReason::Cut), "");
  EXPECT_NE(why.find("blocked"), std::string::npos) << why;
  EXPECT_EQ(GameStateDigest(G()), before);
  GameFrame(16);  // play goes on, unrecorded
  EXPECT_FALSE(RecordingOpen());
}

// A replay of another version or of other tables says so, naming the file,
// instead of playing a different game.
TEST_F(ReplayPlayTest, OtherVersionsAndTablesAreRefused) {
  TReplay r;
  r.GameVersion = "0.0.1";
  r.TablesDigest = TablesDigest();
  auto why = [](const TReplay& R) {
    try {
      TPlayer("old.vxr", R).CheckFits();
    } catch (const EInOutError& e) {
      return std::string(e.what());
    }
    return std::string();
  };
  EXPECT_NE(why(r).find("old.vxr"), std::string::npos);
  EXPECT_NE(why(r).find("recorded by Voxarine 0.0.1"), std::string::npos);
  r.GameVersion = GameVersion();
  EXPECT_EQ(why(r), "");
  r.TablesDigest ^= 1;
  EXPECT_NE(why(r).find("other level or bonus figure tables"), std::string::npos);
}

// Without recording, a game start leaves the generator as it was: tests and
// the headless player keep their sequences.
TEST_F(ReplayPlayTest, NoRecordingNoReseed) {
  Recording.Enabled = false;
  RandSeed(5);
  ReplayNewGame();
  const std::uint64_t a = GameStateDigest(G());
  RandSeed(5);
  G().NewGame();
  EXPECT_EQ(GameStateDigest(G()), a);
  EXPECT_FALSE(RecordingOpen());
}

}  // namespace
