// The score ledger: listens to what the game says it pays (score_events.h)
// and holds it against the score. Every point in Score + PendingScore must
// come from one reported event; no cube is paid for twice (a cube paid for
// stays spent until it has left the board); a level's end and a bonus
// level's count happen once per level start. Header-only so that unit tests
// can keep the same books.
#pragma once

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <sstream>
#include <string>

#include "game/game.h"
#include "game/score_events.h"

namespace autoplay {

inline const char* ScoreKindName(TScoreKind Kind) {
  switch (Kind) {
    case skSquares: return "square";
    case skFigure: return "bonus figure";
    case skItem: return "item";
    case skBonusLevel: return "bonus-level count";
    case skLevelEnd: return "level end";
    case skLevelStart: return "level start";
  }
  return "?";
}

class TScoreLedger : public TScoreObserver {
 public:
  // A new game: nothing paid, no level under way.
  void Reset() { *this = TScoreLedger{}; }

  void Scored(const TGame& G, const TScoreEvent& E) override {
    ++Serial;
    ++Count[E.Kind];
    if (E.Kind == skItem) ++Items[E.Item];
    if (!(E.Points >= 0)) Fail("a " + Describe(E) + " pays " + Number(E.Points) + " points");
    Paid += E.Points;
    switch (E.Kind) {
      case skLevelStart:
        LevelOpen = true;
        BonusCounted = false;
        break;
      case skBonusLevel:
        if (!LevelOpen || BonusCounted) Fail("the " + Describe(E) + " is counted again (the level has already " +
                                             (LevelOpen ? "been counted)" : "ended)"));
        BonusCounted = true;
        break;
      case skLevelEnd:
        if (!LevelOpen) Fail("level " + std::to_string(E.Level) + " ends again without a new start");
        LevelOpen = false;
        break;
      default:
        break;
    }
    SpendCells(E);
    Reconcile(G, "after a " + Describe(E));
  }

  // After every update: frees the cells whose paid cube has left, and holds
  // the score against the events. Returns the first violation, if any.
  std::string Check(const TGame& G) {
    ++Epoch;
    std::array<std::array<std::uint8_t, 10>, 10> state{};
    std::array<std::array<bool, 10>, 10> occupied{};
    for (int i = 1; i <= G.CubeCount; ++i) {
      const TCube& c = G.Cubes[i];
      if (c.X < 1 || c.X > 9 || c.Y < 1 || c.Y > 9) continue;
      occupied[c.X][c.Y] = true;
      state[c.X][c.Y] = c.State;
    }
    // A paid cube explodes until it leaves: a cell whose cube does not is
    // held by another cube.
    for (int X = 1; X <= 9; ++X)
      for (int Y = 1; Y <= 9; ++Y)
        if (Spent[X][Y].Serial != 0 && (!occupied[X][Y] || state[X][Y] < csExploding)) Spent[X][Y] = {};
    Reconcile(G, "after an update");
    return Violation;
  }

  // Around a save and a load (which starts a game on the way): the loaded
  // game holds what was saved, and a level already ended stays ended.
  void Saved(const TGame& G) {
    SavedTotal = G.Score + G.PendingScore;
    SavedOpen = LevelOpen;
    SavedCounted = BonusCounted;
  }
  void Loaded(const TGame& G) {
    if (std::fabs(G.Score + G.PendingScore - SavedTotal) > Tolerance(SavedTotal))
      Fail("the loaded game holds " + Number(G.Score + G.PendingScore) + " points, the saved one " +
           Number(SavedTotal));
    Paid = G.Score + G.PendingScore;
    LevelOpen = SavedOpen;
    BonusCounted = SavedCounted;
    Spent = {};
  }

  // A replay loaded a saved game whose saving it did not see: the loaded
  // points count as paid, and its level as under way.
  void Continued(const TGame& G) {
    Paid = G.Score + G.PendingScore;
    LevelOpen = true;
    BonusCounted = false;
    Spent = {};
  }

  const std::string& FirstViolation() const { return Violation; }
  std::array<long, 6> Count{};  // events by kind
  std::array<long, 4> Items{};  // item payments by TItemKind
  double Paid = 0;              // the sum of all events' points

 private:
  struct TSpent {
    std::uint64_t Serial = 0;  // the event that paid for the cube; 0 = not spent
    std::uint64_t Epoch = 0;   // the update it happened in
    TScoreKind Kind = skSquares;
    std::int32_t Level = 0;
  };

  static double Tolerance(double Total) { return 1e-6 * std::max(1.0, std::fabs(Total)); }
  static std::string Number(double V) {
    std::ostringstream s;
    s.precision(12);
    s << V;
    return s.str();
  }
  static std::string Describe(const TScoreEvent& E) {
    return std::string(ScoreKindName(E.Kind)) + " of level " + std::to_string(E.Level);
  }

  void Fail(const std::string& Why) {
    if (Violation.empty()) Violation = "score ledger: " + Why;
  }

  // One figure test (one per update) may share cubes between its squares and
  // the bonus figure; anything else that meets a spent cube pays it twice.
  void SpendCells(const TScoreEvent& E) {
    std::ostringstream twice;
    int n = 0;
    const TSpent* first = nullptr;
    for (int k = 0; k < E.CellCount; ++k) {
      const int X = CellX(E.Cells[static_cast<std::size_t>(k)]), Y = CellY(E.Cells[static_cast<std::size_t>(k)]);
      if (X < 1 || X > 9 || Y < 1 || Y > 9) continue;
      TSpent& s = Spent[X][Y];
      if (s.Serial == Serial) continue;  // overlapping squares of this event
      const bool sameTest = s.Epoch == Epoch && (s.Kind == skSquares || s.Kind == skFigure) &&
                            (E.Kind == skSquares || E.Kind == skFigure);
      if (s.Serial != 0 && !sameTest) {
        if (!first) first = &s;
        twice << (n++ ? " " : "") << "(" << X << "," << Y << ")";
        continue;
      }
      s = TSpent{Serial, Epoch, E.Kind, E.Level};
    }
    if (first)
      Fail("the " + Describe(E) + " pays again for " + std::to_string(n) + " cube(s) already paid by the " +
           ScoreKindName(first->Kind) + " of level " + std::to_string(first->Level) + " " +
           std::to_string(Epoch - first->Epoch) + " update(s) earlier: " + twice.str());
  }

  void Reconcile(const TGame& G, const std::string& When) {
    const double held = G.Score + G.PendingScore;
    if (std::fabs(held - Paid) > Tolerance(Paid))
      Fail(When + ": score " + Number(G.Score) + " + pending " + Number(G.PendingScore) + " = " + Number(held) +
           ", but the events paid " + Number(Paid) + (held > Paid ? " (untraced points)" : " (points lost)"));
  }

  std::array<std::array<TSpent, 10>, 10> Spent{};
  std::uint64_t Serial = 0, Epoch = 0;
  bool LevelOpen = false, BonusCounted = false;
  double SavedTotal = 0;
  bool SavedOpen = false, SavedCounted = false;
  std::string Violation;
};

}  // namespace autoplay
