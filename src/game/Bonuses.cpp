#include "game/Bonuses.h"

#include <algorithm>

#include "foundation/Numeric.h"
#include "game/BeltPath.h"
#include "game/CardBook.h"
#include "game/CardRules.h"

namespace qv {

namespace {

constexpr TRect kWholeScreen{0, 0, 800, 600};
constexpr int kKing = 11;
constexpr int kAce = 12;

bool ValidIndex(int32_t i, size_t size) { return i >= 0 && static_cast<size_t>(i) < size; }

std::string Coord(TGamePoint p) { return "(" + IntToStr(p.X) + "," + IntToStr(p.Y) + ")"; }

const char* const kPathHead = "Set Linear; Set Timing 0.3; Path ";

}  // namespace

std::string StraightPath(TGamePoint from, TGamePoint to) {
  return kPathHead + Coord(from) + " " + Coord(to) + "; Ending Stop;";
}

std::string WaitThenFlyPath(TGamePoint from, TGamePoint to) {
  return kPathHead + Coord(from) + " " + Coord(from) + " " + Coord(to) + "; Ending Stop;";
}

std::string FlyInPath(TGamePoint from, TGamePoint to) {
  return kPathHead + Coord(from) + " " + Coord(to) + "; Ending Stop " + Coord(to) + ";";
}

TGamePoint TBonusActions::BeltStart(int32_t belt) const {
  if (!ValidIndex(belt, S.Level.Belts.size())) return {0, 0};
  double x = 0.0, y = 0.0;
  if (!BeltPathPoint(S.Level.Belts[static_cast<size_t>(belt)], 0, x, y)) return {0, 0};
  return {Round(x), Round(y)};
}

void TBonusActions::Fly(const std::string& picture, const std::string& script, int32_t start, int32_t lifetime) {
  Svc.Effects->StartCardFlight(picture, script, start, lifetime);
}

std::string TBonusActions::RandomSuitPicture(int rank) {
  const int suit = Svc.Random->Random(4);
  return S.CardTypes[static_cast<size_t>(KindOf(suit, rank))].Picture;
}

void TBonusActions::UseBonusCard(int32_t belt, int32_t index) {
  if (!ValidIndex(belt, S.Level.Belts.size())) return;
  TFishkaLenta& b = S.Level.Belts[static_cast<size_t>(belt)];
  if (!ValidIndex(index, b.Cards.size())) return;
  const int32_t now = Now();
  switch (b.Cards[static_cast<size_t>(index)].BonusType) {
    case btCrop: {
      TIntegers list{index};
      const int32_t count = static_cast<int32_t>(b.Cards.size());
      for (int32_t i = index + 1; i <= index + 2 && i < count; ++i) list.push_back(i);
      for (int32_t i = index - 1; i >= index - 2 && i >= 0; --i) list.push_back(i);
      const TGamePoint start = BeltStart(belt);
      for (size_t k = 0; k < list.size(); ++k) {
        const int32_t removed = list[k];
        if (!ValidIndex(removed, b.Cards.size())) continue;
        const TCard& c = b.Cards[static_cast<size_t>(removed)];
        Fly(CardPicture(S, c), StraightPath({c.X, c.Y}, start), now);
        RemoveBeltCard(S, *Svc.Screen, belt, removed);
        for (size_t j = k + 1; j < list.size(); ++j) {
          if (list[j] > removed) --list[j];
        }
      }
      Svc.Screen->SetOnlyDirtyRect(kWholeScreen);
      Svc.Sound->PlaySample("Remover.ogg");
      break;
    }
    case btReverse:
      RemoveBeltCard(S, *Svc.Screen, belt, index);
      b.ReverseEnd = now + 2000;
      b.ReverseStart = now;
      b.BonusTime = now;
      b.PauseEnd = -1;
      Svc.Sound->PlaySample("Reverser.ogg");
      break;
    case btPause:
      RemoveBeltCard(S, *Svc.Screen, belt, index);
      b.PauseStart = now;
      b.PauseEnd = now + 7000;
      b.ReverseEnd = -1;
      Svc.Sound->PlaySample("Pause.ogg");
      break;
    default:
      break;
  }
}

void TBonusActions::StartSwapEffects() {
  if (!ValidIndex(S.HeldCard, S.Cards.size())) return;
  TCard& held = S.Cards[static_cast<size_t>(S.HeldCard)];
  const int32_t now = Now();
  held.ShowTime = now + 600;
  const TGamePoint origin{held.X + 16, held.Y + 25};
  for (int32_t k = 0; k < 6; ++k) {
    const int32_t kind = Svc.Random->Random(kCardKinds);
    Svc.Effects->StartSwapFlash(S.CardTypes[static_cast<size_t>(kind)].Picture, origin, now + 100 * k, 100);
  }
}

void TBonusActions::ReturnBeltCardToPack(int32_t index) {
  if (S.Level.Belts.empty()) return;
  TFishkaLenta& belt = S.Level.Belts[0];
  if (!ValidIndex(index, belt.Cards.size())) return;
  const TCard& c = belt.Cards[static_cast<size_t>(index)];
  Fly(CardPicture(S, c), StraightPath({c.X, c.Y}, BeltStart()), Now());
  RemoveBeltCard(S, *Svc.Screen, 0, index);
  S.HeldCard = -1;
  Svc.Sound->PlaySample("ReturnCard.ogg");
}

bool TBonusActions::ReturnHeldCard(int32_t card) {
  if (S.Level.Belts.empty() || !S.Level.Belts[0].Path || !ValidIndex(card, S.Cards.size())) return false;
  const int32_t now = Now();
  Svc.Widgets->HideGameHint(3);
  ReturnCardToBelt(S, card, now);
  Svc.Screen->SetOnlyDirtyRect(kWholeScreen);
  TFishkaLenta& belt = S.Level.Belts[0];
  const TCard& back = belt.Cards[0];
  double x = 0.0, y = 0.0;
  BeltPathPoint(belt, static_cast<int32_t>(static_cast<int64_t>(now) - back.BornTime), x, y);
  Fly(CardPicture(S, back), StraightPath(S.MousePos, {Round(x), Round(y)}), now);
  return true;
}

void TBonusActions::UpdateBonusPlaceTargets() {
  S.BonusTargets.clear();
  if (!ValidIndex(S.HeldCard, S.Cards.size()) || !ValidIndex(S.Level.BonusPlaceType, S.BonusPlaceTypes.size())) return;
  const TCard& held = S.Cards[static_cast<size_t>(S.HeldCard)];
  const int heldRank = ValidIndex(held.CType, kCardKinds) ? S.CardTypes[static_cast<size_t>(held.CType)].Rank : -1;
  const TPoints& places = S.BonusPlaceTypes[static_cast<size_t>(S.Level.BonusPlaceType)].Points;
  for (size_t i = 0; i < places.size() && i < S.Level.BPPointsBusy.size(); ++i) {
    const int32_t lying = S.Level.BPPointsBusy[i];
    if (!ValidIndex(lying, S.Cards.size())) continue;
    const int32_t kind = S.Cards[static_cast<size_t>(lying)].CType;
    if (!ValidIndex(kind, kCardKinds)) continue;
    const int r = S.CardTypes[static_cast<size_t>(kind)].Rank;
    const bool admits = held.BonusType == btJoker || heldRank == r + 1 || (r == kAce && heldRank == 0);
    if (admits) S.BonusTargets.push_back({places[i].X + S.Level.BonusPlaceX, places[i].Y + S.Level.BonusPlaceY});
  }
}

void TBonusActions::FlyBonusPlaceCards(int32_t place, TGamePoint position, int32_t start) {
  if (!ValidIndex(place, S.Level.BPPointsBusy.size())) return;
  const int32_t lying = S.Level.BPPointsBusy[static_cast<size_t>(place)];
  if (!ValidIndex(lying, S.Cards.size())) return;
  TCard& card = S.Cards[static_cast<size_t>(lying)];
  if (!ValidIndex(card.CType, kCardKinds)) return;
  const int r = S.CardTypes[static_cast<size_t>(card.CType)].Rank;
  const int m = r == kAce ? -1 : r;
  const TGamePoint from = BeltStart();
  const TGamePoint to{position.X + 16, position.Y + 25};
  for (int i = -1; i <= m; ++i) {
    const std::string picture = i == m ? CardPicture(S, card) : RandomSuitPicture(i == -1 ? kAce : i);
    Fly(picture, FlyInPath(from, to), start + 100 * i + 100, 600);
  }
  card.ShowTime = start + 100 * m + 200;
  S.Game.FullRedrawTime = std::max(S.Game.FullRedrawTime, card.ShowTime);
}

void TBonusActions::CompleteBonusPlace(int32_t place, TGamePoint position) {
  if (!ValidIndex(place, S.Level.BPPointsBusy.size())) return;
  const int32_t lying = S.Level.BPPointsBusy[static_cast<size_t>(place)];
  const std::string king = ValidIndex(lying, S.Cards.size()) ? CardPicture(S, S.Cards[static_cast<size_t>(lying)])
                                                              : S.CardTypes[static_cast<size_t>(kKing)].Picture;
  const int32_t now = Now();
  const TGamePoint from{position.X + 16, position.Y + 25};
  const TGamePoint to = BeltStart();
  for (int i = -1; i <= kKing; ++i) {
    const std::string picture = i == kKing ? king : RandomSuitPicture(i == -1 ? kAce : i);
    Fly(picture, WaitThenFlyPath(from, to), now + 800 - 100 * i, 600);
  }
  Svc.Sound->PlaySample("BonusDone.ogg");
  if (S.Game.Mode != dmNoLose) {
    S.Game.TotalScore += 200;
    Svc.Effects->ShowScoreEffect("200", TGamePoint{position.X + 30, position.Y + 45}, -1);
  }
}

void TBonusActions::ClearBelt() {
  const int32_t now = Now();
  if (!S.Level.Belts.empty()) {
    TFishkaLenta& belt = S.Level.Belts[0];
    const TGamePoint start = BeltStart();
    for (const TCard& c : belt.Cards) Fly(CardPicture(S, c), StraightPath({c.X, c.Y}, start), now);
    Svc.Screen->SetOnlyDirtyRect(kWholeScreen);
    belt.Cards.clear();
  } else {
    Svc.Screen->SetOnlyDirtyRect(kWholeScreen);
  }
  Svc.Sound->PlaySample("Remover.ogg");
  --S.Level.BeltClears;
}

void TBonusActions::ClearDropPack() {
  const int32_t now = Now();
  TIntegers& pack = S.Game.DropPack;
  const TGamePoint from{kDropPackRect.Left + 16, kDropPackRect.Top + 25};
  const TGamePoint to = BeltStart();
  int32_t k = 0;
  for (auto it = pack.rbegin(); it != pack.rend(); ++it, ++k) {
    if (!ValidIndex(*it, S.Cards.size())) continue;
    Fly(CardPicture(S, S.Cards[static_cast<size_t>(*it)]), WaitThenFlyPath(from, to), now + 300 * k, 600);
  }
  // The discard lowers the pack's remaining entries above the card itself.
  while (!pack.empty()) {
    const int32_t card = pack.front();
    pack.erase(pack.begin());
    DiscardCard(S, card);
  }
  Svc.Screen->SetOnlyDirtyRect(kWholeScreen);
  Svc.Sound->PlaySample("Remover.ogg");
  --S.Level.DropPackClears;
  Svc.Widgets->SetCaption("WGame_LDropPackCount", IntToStr(S.Game.DropPackCapacity));
}

}  // namespace qv
