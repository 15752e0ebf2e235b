// voxarine-autoplay --replay FILE... [--verify]
#include "replays.h"

#include <algorithm>
#include <cinttypes>
#include <cstdio>
#include <filesystem>

#include "effects/particles.h"
#include "frontend/labels.h"
#include "game/game.h"
#include "invariants.h"
#include "ledger.h"
#include "replay/playback.h"
#include "replay/state_digest.h"
#include "shell/form_main.h"

namespace {

std::vector<std::string> Expand(const std::vector<std::string>& Paths) {
  namespace fs = std::filesystem;
  std::vector<std::string> files;
  for (const std::string& p : Paths) {
    std::error_code ec;
    if (!fs::is_directory(p, ec)) {
      files.push_back(p);
      continue;
    }
    std::vector<std::string> inside;
    for (fs::directory_iterator it(p, ec), end; !ec && it != end; it.increment(ec))
      if (it->path().extension() == ".vxr") inside.push_back(it->path().string());
    std::sort(inside.begin(), inside.end());
    files.insert(files.end(), inside.begin(), inside.end());
  }
  return files;
}

enum class TOutcome { Equal, Differs, Unplayable };

TOutcome PlayOne(const std::string& Path, bool Verify, const TLevelTable& Pristine) {
  std::unique_ptr<replay::TPlayer> player;
  try {
    player = std::make_unique<replay::TPlayer>(Path, replay::ReadReplayFile(Path));
    player->CheckFits();
  } catch (const std::exception& e) {
    std::printf("%s\n", e.what());
    return TOutcome::Unplayable;
  }
  std::copy(Pristine.begin(), Pristine.end(), Game->Levels.begin());
  ClearAllParticles();
  ClearScoreLabels();
  autoplay::TScoreLedger ledger;
  std::string violation;
  player->Applied = [&](const replay::TEvent& E) {
    if (E.Kind == replay::TEventKind::Load) ledger.Continued(*Game);
  };
  player->AfterFrame = [&] {
    if (!violation.empty()) return;
    violation = autoplay::CheckInvariants(*Game);
    if (violation.empty()) violation = ledger.Check(*Game);
    if (!violation.empty()) violation = "after frame " + std::to_string(player->Frame()) + ": " + violation;
  };
  Game->ScoreObserver = &ledger;
  try {
    player->Begin();
    while (player->Step()) {
    }
  } catch (const std::exception& e) {
    Game->ScoreObserver = nullptr;
    std::printf("%s\n", e.what());
    return TOutcome::Unplayable;
  }
  Game->ScoreObserver = nullptr;
  const replay::TReplay& r = player->Replay();
  const std::uint64_t digest = replay::GameStateDigest(*Game);
  std::error_code ec;
  std::printf("%s: score %.0f, level %d, state %016" PRIx64 ", %" PRIu64 " frames, %.1f s, %ju bytes", Path.c_str(),
              Game->Score, Game->Level, digest, player->Frame(), player->PlayedMs() / 1000,
              static_cast<std::uintmax_t>(std::filesystem::file_size(Path, ec)));
  std::printf(", items %ld (%ld bombs, %ld colorize, %ld shots), bonus levels %ld, %s", ledger.Count[skItem],
              ledger.Items[ikBomb], ledger.Items[ikColorize], ledger.Items[ikShot], ledger.Count[skBonusLevel],
              r.End == replay::TEndReason::GameOver ? "lost" : "not lost");
  if (r.Continued) std::printf(", continued");
  if (!violation.empty()) std::printf("; violation %s", violation.c_str());
  if (!Verify) {
    std::printf("\n");
    return violation.empty() ? TOutcome::Equal : TOutcome::Differs;
  }
  const bool same = Game->Score == r.FinalScore && Game->Level == r.FinalLevel && digest == r.FinalDigest;
  if (same && player->DivergedAt == 0) {
    std::printf(": equal\n");
    return TOutcome::Equal;
  }
  std::printf(": DIFFERS (the file ends with score %.0f, level %d, state %016" PRIx64 ")", r.FinalScore, r.FinalLevel,
              r.FinalDigest);
  if (player->DivergedAt != 0)
    std::printf("; the state first differed at frame %" PRIu64 " (it was equal at frame %" PRIu64 ")",
                player->DivergedAt, player->LastEqualAt);
  std::printf("\n");
  return TOutcome::Differs;
}

}  // namespace

int PlayReplays(const std::vector<std::string>& Paths, bool Verify, const TLevelTable& Pristine) {
  const std::vector<std::string> files = Expand(Paths);
  int equal = 0, differ = 0, unplayable = 0;
  for (const std::string& f : files) {
    switch (PlayOne(f, Verify, Pristine)) {
      case TOutcome::Equal: ++equal; break;
      case TOutcome::Differs: ++differ; break;
      case TOutcome::Unplayable: ++unplayable; break;
    }
    GameState = gsGame;
  }
  if (Verify || files.size() != 1)
    std::printf("replays: %zu, %s: %d, differing: %d, not playable: %d\n", files.size(), Verify ? "equal" : "played",
                equal, differ, unplayable);
  return !files.empty() && differ == 0 && unplayable == 0 ? 0 : 1;
}
