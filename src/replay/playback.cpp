// The replay player.
#include "replay/playback.h"

#include "frontend/cursor.h"
#include "game/game.h"
#include "game/planes.h"
#include "game/save_text.h"
#include "platform/win32/io_error.h"
#include "platform/win32/random.h"
#include "platform/win32/text_reader.h"
#include "replay/state_digest.h"
#include "shell/form_main.h"

namespace replay {

void TPlayer::CheckFits() const {
  if (R.GameVersion != GameVersion())
    throw EInOutError(Name, "recorded by Voxarine " + R.GameVersion + ", this is Voxarine " + GameVersion() +
                                ": its game may have other rules, so it is not played");
  if (R.TablesDigest != TablesDigest())
    throw EInOutError(Name, "recorded with other level or bonus figure tables than this game's "
                            "(data/Levels.dat, data/BonusFigures.dat), so it is not played");
}

void TPlayer::Begin() {
  TGame& g = *Game;
  // What the menu's game start does before the new game.
  g.Level = 1;
  g.ClearBoard();
  g.Levels[1].Progress = 0;
  if (g.ScoreLine) g.ScoreLine->Fill = g.ScoreLine->StartFill = 0;
  g.Mode = R.Mode;
  const TStartState& s = R.Start;
  g.Combo = s.Combo;
  g.ItemRequests = s.ItemRequests;
  g.MoveUnscored = s.MoveUnscored;
  g.EndTimer = s.EndTimer;
  g.ShotCell = s.ShotCell;
  g.HoverX = s.HoverX;
  g.HoverY = s.HoverY;
  CursorMode = s.CursorMode;
  PlaceCursor(s.PointerX, s.PointerY);
  GameState = gsGame;
  RandSeed(R.Seed);
  g.NewGame();
  Next = 0;
  RunDone = 0;
  Frames = 0;
  Ms = 0;
  DivergedAt = LastEqualAt = 0;
}

float TPlayer::NextFrameMs() const {
  for (std::size_t k = Next; k < R.Events.size(); ++k)
    if (R.Events[k].Kind == TEventKind::Frame) return FloatOf(R.Events[k].A);
  return -1;
}

bool TPlayer::Step() {
  TGame& g = *Game;
  while (Next < R.Events.size()) {
    const TEvent& e = R.Events[Next];
    switch (e.Kind) {
      case TEventKind::Frame:
        g.Update(FloatOf(e.A));
        ++Frames;
        Ms += FloatOf(e.A);
        if (++RunDone >= e.B) {
          RunDone = 0;
          ++Next;
        }
        if (AfterFrame) AfterFrame();
        return true;
      case TEventKind::Pointer:
        PlaceCursor(FloatOf(e.A), FloatOf(e.B));
        g.MouseMove();
        break;
      case TEventKind::Press: g.MouseDown(static_cast<int>(e.A)); break;
      case TEventKind::Release:
      case TEventKind::Key: break;
      case TEventKind::State:
        g.EndPhase = static_cast<std::uint8_t>(e.A);
        CursorMode = static_cast<std::uint8_t>(e.B);
        break;
      case TEventKind::Load: {
        const TTextReader file(Name + " (its saved game)", R.SaveContent);
        LoadGameText(g, R.Mode, &file);
        break;
      }
      case TEventKind::Reseed: RandSeed(e.A); break;
      case TEventKind::Digest:
        if (DivergedAt != 0) break;
        if (GameStateDigest(g) != (static_cast<std::uint64_t>(e.B) << 32 | e.A))
          DivergedAt = Frames;
        else
          LastEqualAt = Frames;
        break;
    }
    ++Next;
    if (Applied) Applied(e);
  }
  return false;
}

}  // namespace replay
