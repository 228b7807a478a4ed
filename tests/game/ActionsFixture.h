// A small playing field for the card actions: a row of five points, one belt
// running from (0, 500) to (1000, 500) in 10 s, a bonus place of two
// positions and a drop pack of three, with the clock at kNow.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>

#include "foundation/Numeric.h"
#include "game/BeltPath.h"
#include "game/GameFakes.h"

namespace qv::test {

constexpr int32_t kNow = 1000000;

class ActionsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    H.Clock.Set(kNow);
    H.MakeRow(5);
    TGameState& S = H.State;
    S.Game.GameMode = gmPlaying;
    S.Game.DropPackCapacity = 3;
    S.Level.Belts.emplace_back();
    TFishkaLenta& b = S.Level.Belts[0];
    TBeltPathInfo path = MakeBeltPath("Set Linear; Set Timing 10; Path (0, 500) (1000, 500);");
    b.Path = std::move(path.Path);
    b.PathLength = Round(path.TotalLength);
    b.PathTime = static_cast<int32_t>(path.TotalDuration);
    b.BornPeriod = 300;
    TBonusPlaceType place;
    place.Points = {{500, 100}, {540, 100}};
    S.BonusPlaceTypes.push_back(place);
    S.Level.BonusPlaceType = 0;
    S.Level.BPPointsBusy = {-1, -1};
  }

  TGameState& St() { return H.State; }
  TFishkaLenta& Belt() { return H.State.Level.Belts[0]; }
  static int32_t Kind(int s, int r) { return GameHarness::Kind(s, r); }

  // A born card on the first belt with its picture's top-left at (x, y).
  int32_t AddBeltCard(int32_t kind, int32_t x, int32_t y, int32_t bonus = btNone) {
    TCard c = MakeCard(kind, bonus, kNow - 1000);
    c.X = x;
    c.Y = y;
    c.Spacing = 260;
    Belt().Cards.push_back(c);
    return static_cast<int32_t>(Belt().Cards.size()) - 1;
  }
  // A held card of the kind (already taken), its centre at the pointer.
  int32_t Hold(int32_t kind, int32_t bonus = btNone) {
    TCard c = MakeCard(kind, bonus);
    St().Cards.push_back(c);
    St().HeldCard = static_cast<int32_t>(St().Cards.size()) - 1;
    return St().HeldCard;
  }
  // A card lying on bonus-place position i.
  int32_t LayOnBonusPlace(int32_t i, int32_t kind) {
    TCard c = MakeCard(kind);
    const TGamePoint p = St().BonusPlaceTypes[0].Points[static_cast<size_t>(i)];
    c.X = p.X - 16;
    c.Y = p.Y - 25;
    St().Cards.push_back(c);
    St().Level.BPPointsBusy[static_cast<size_t>(i)] = static_cast<int32_t>(St().Cards.size()) - 1;
    return St().Level.BPPointsBusy[static_cast<size_t>(i)];
  }
  TGamePoint PointAt(int32_t p) const { return H.State.Level.Points[static_cast<size_t>(p)]; }
  bool Played(const std::string& sample) const {
    return std::find(H.Sound.Samples.begin(), H.Sound.Samples.end(), sample) != H.Sound.Samples.end();
  }

  GameHarness H;
};

}  // namespace qv::test
