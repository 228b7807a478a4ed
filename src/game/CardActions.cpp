#include "game/CardActions.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "foundation/Numeric.h"
#include "game/BeltPath.h"
#include "game/Bonuses.h"
#include "game/CardBook.h"
#include "game/GameNames.h"
#include "game/CardRules.h"
#include "game/Scoring.h"
#include "game/Thief.h"

namespace qv {

namespace {

constexpr TRect kWholeScreen{0, 0, 800, 600};
constexpr int kKing = 11;
constexpr int kAce = 12;

bool ValidIndex(int32_t i, size_t size) { return i >= 0 && static_cast<size_t>(i) < size; }

bool InRect(TGamePoint p, const TRect& r) { return p.X >= r.Left && p.X < r.Right && p.Y >= r.Top && p.Y < r.Bottom; }

}  // namespace

bool TCardActions::TakeCard(int32_t x, int32_t y) {
  S.MousePos = {x, y};
  if (S.HeldCard == -1) MouseDown(TGameButton::Left);
  return S.HeldCard != -1;
}

bool TCardActions::PutCard(int32_t x, int32_t y) {
  S.MousePos = {x, y};
  if (S.HeldCard == -1) return false;
  TCardRules(S, Svc).MoveCardToMouse(S.HeldCard);
  MouseDown(TGameButton::Left);
  return S.HeldCard == -1;
}

bool TCardActions::ReturnCard() {
  if (S.HeldCard == -1) return false;
  MouseDown(TGameButton::Right);
  return S.HeldCard == -1;
}

void TCardActions::MouseDown(TGameButton button) {
  if (S.Game.GameMode != gmPlaying) return;
  if (button == TGameButton::Left && S.HeldCard == -1) {
    LeftWithoutCard();
  } else if (button == TGameButton::Left) {
    LeftWithCard();
  } else if (button == TGameButton::Right && S.HeldCard != -1 && S.Game.IntroFlags[1]) {
    if (!ValidIndex(S.HeldCard, S.Cards.size()) || S.Level.Belts.empty() || !S.Level.Belts[0].Path) return;
    S.Cards[static_cast<size_t>(S.HeldCard)].QuestCard = false;
    if (!TBonusActions(S, Svc).ReturnHeldCard(S.HeldCard)) return;
    S.HeldCard = -1;
    Svc.Sound->PlaySample("ReturnCard.ogg");
    HideGameHints();
  } else if (S.HeldCard == -1) {
    int32_t belt = -1;
    const int32_t c = FindBeltCardAt(S.MousePos, belt);
    // The card of that index on the first belt; the index may not exist there.
    if (c >= 0 && !S.Level.Belts.empty() && ValidIndex(c, S.Level.Belts[0].Cards.size()) &&
        S.Level.Belts[0].Cards[static_cast<size_t>(c)].BonusType != btNone) {
      TBonusActions(S, Svc).ReturnBeltCardToPack(c);
    }
  }
}

int32_t TCardActions::FindBeltCardAt(TGamePoint at, int32_t& belt) const {
  const int32_t now = Now();
  belt = -1;
  for (size_t b = 0; b < S.Level.Belts.size(); ++b) {
    const TCardArray& cards = S.Level.Belts[b].Cards;
    for (size_t i = 0; i < cards.size(); ++i) {
      const TCard& c = cards[i];
      // A card still queued at the belt start is not on the belt yet.
      if (c.BornTime > now) continue;
      if (InRect(at, TRect{c.X, c.Y, c.X + kCardWidth, c.Y + kCardHeight})) {
        belt = static_cast<int32_t>(b);
        return static_cast<int32_t>(i);
      }
    }
  }
  return -1;
}

void TCardActions::TakeBeltCard(int32_t belt, int32_t index) {
  if (!ValidIndex(belt, S.Level.Belts.size())) return;
  const TCardArray& cards = S.Level.Belts[static_cast<size_t>(belt)].Cards;
  if (!ValidIndex(index, cards.size())) return;
  S.Cards.push_back(cards[static_cast<size_t>(index)]);
  S.HeldCard = static_cast<int32_t>(S.Cards.size()) - 1;
  RemoveBeltCard(S, *Svc.Screen, belt, index);
  TCardRules(S, Svc).MoveCardToMouse(S.HeldCard);
}

void TCardActions::LeftWithoutCard() {
  TGame& G = S.Game;
  int32_t belt = -1;
  const int32_t c = FindBeltCardAt(S.MousePos, belt);
  TCardRules rules(S, Svc);
  TBonusActions bonuses(S, Svc);
  if (c >= 0) {
    if (!G.IntroFlags[0] && c != 0) return;
    G.IntroFlags[0] = true;
    Svc.Widgets->HideGameHint(1);
    const TCard& card = S.Level.Belts[static_cast<size_t>(belt)].Cards[static_cast<size_t>(c)];
    if (card.BonusType == btNone || card.BonusType == btJoker) {
      const bool quest = card.QuestCard;
      TakeBeltCard(belt, c);
      Svc.Sound->PlaySample(quest ? "GetQuestCard.ogg" : "GetCard.ogg");
      G.TakeTime = Now();
      rules.UpdateSuitableCards();
      rules.UpdateTargetPoints();
    } else {
      bonuses.UseBonusCard(belt, c);
    }
    bonuses.UpdateBonusPlaceTargets();
    return;
  }
  if (!InRect(S.MousePos, kDropPackRect) || G.DropPack.empty()) return;
  const int32_t top = G.DropPack.back();
  G.DropPack.pop_back();
  if (!ValidIndex(top, S.Cards.size())) return;
  S.HeldCard = top;
  rules.MoveCardToMouse(top);
  S.Cards[static_cast<size_t>(top)].QuestCard = false;
  UpdateDropPackLabel();
  G.TakeTime = Now();
  rules.UpdateSuitableCards();
  rules.UpdateTargetPoints();
  Svc.Sound->PlaySample("GetCard.ogg");
  bonuses.UpdateBonusPlaceTargets();
}

void TCardActions::UpdateDropPackLabel() {
  Svc.Widgets->SetCaption("WGame_LDropPackCount",
                          IntToStr(S.Game.DropPackCapacity - static_cast<int32_t>(S.Game.DropPack.size())));
}

bool TCardActions::RankFitsNeighbours(int r, int32_t point) const {
  const TLevel& L = S.Level;
  if (!ValidIndex(point, L.NearPoints.size()) || !ValidIndex(point, L.StreetTypes.size())) return false;
  const uint8_t street = L.StreetTypes[static_cast<size_t>(point)];
  for (int32_t n : L.NearPoints[static_cast<size_t>(point)]) {
    if (!ValidIndex(n, L.PointsBusy.size())) continue;
    const int32_t busy = L.PointsBusy[static_cast<size_t>(n)];
    if (!ValidIndex(busy, S.Cards.size())) continue;
    const int32_t kind = S.Cards[static_cast<size_t>(busy)].CType;
    if (!ValidIndex(kind, kCardKinds)) continue;
    const int rn = S.CardTypes[static_cast<size_t>(kind)].Rank;
    if (street == stNone && (r == rn + 1 || rn == r + 1 || (r == kAce && rn == 0) || (r == 0 && rn == kAce))) return true;
    if (street == stUp && (r == rn + 1 || (rn == kAce && r == 0))) return true;
    if (street == stDown && (rn == r + 1 || (rn == 0 && r == kAce))) return true;
  }
  return false;
}

bool TCardActions::FindTargetPointAt(int32_t cardIndex, TGamePoint& position, int32_t& point) {
  if (!ValidIndex(cardIndex, S.Cards.size())) return false;
  TCard& card = S.Cards[static_cast<size_t>(cardIndex)];
  const TLevel& L = S.Level;
  const TGamePoint centre{card.X + 16, card.Y + 25};
  TCardRules rules(S, Svc);
  for (int32_t p = 0; p < static_cast<int32_t>(L.Points.size()) && p < static_cast<int32_t>(L.PointsBusy.size()); ++p) {
    if (PointDistance(centre, L.Points[static_cast<size_t>(p)]) >= 24 || L.PointsBusy[static_cast<size_t>(p)] != -1) {
      continue;
    }
    if (p == L.SharperPoint) return false;
    if (card.BonusType == btJoker) {
      if (!rules.PointHasBusyNeighbour(p)) return false;
      const int32_t zone = ValidIndex(p, L.PointZone.size()) ? L.PointZone[static_cast<size_t>(p)] : -1;
      if (!ValidIndex(zone, L.Zones.size())) return false;
      const TZoneType& z = L.Zones[static_cast<size_t>(zone)];
      TIntegers suits, ranks;
      for (int s = 0; s < 4; ++s) {
        if (z.Suits.test(static_cast<size_t>(s))) suits.push_back(s);
      }
      for (int r = 0; r < 13; ++r) {
        if (z.Orders.test(static_cast<size_t>(r))) ranks.push_back(r);
      }
      // A zone that allows no suit or no rank has no kind for the joker.
      if (suits.empty() || ranks.empty()) return false;
      const int32_t suit = suits[static_cast<size_t>(Svc.Random->Random(static_cast<int32_t>(suits.size())))];
      const int32_t rank = ranks[static_cast<size_t>(Svc.Random->Random(static_cast<int32_t>(ranks.size())))];
      card.CType = KindOf(suit, rank);
    } else {
      if (!rules.ZoneAllows(card.CType, p)) return false;
      if (!RankFitsNeighbours(S.CardTypes[static_cast<size_t>(card.CType)].Rank, p)) continue;
    }
    const TGamePoint at = L.Points[static_cast<size_t>(p)];
    position = {at.X - 16, at.Y - 25};
    point = p;
    return true;
  }
  return false;
}

bool TCardActions::FindBonusPlaceTargetAt(int32_t cardIndex, TGamePoint& position, int32_t& place) {
  if (!ValidIndex(cardIndex, S.Cards.size()) || !ValidIndex(S.Level.BonusPlaceType, S.BonusPlaceTypes.size())) {
    return false;
  }
  TCard& card = S.Cards[static_cast<size_t>(cardIndex)];
  const TGamePoint centre{card.X + 16, card.Y + 25};
  const TPoints& places = S.BonusPlaceTypes[static_cast<size_t>(S.Level.BonusPlaceType)].Points;
  for (size_t i = 0; i < places.size(); ++i) {
    const TGamePoint at{places[i].X + S.Level.BonusPlaceX, places[i].Y + S.Level.BonusPlaceY};
    if (PointDistance(centre, at) >= 24) continue;
    const int32_t lying = ValidIndex(static_cast<int32_t>(i), S.Level.BPPointsBusy.size()) ? S.Level.BPPointsBusy[i] : -1;
    if (!ValidIndex(lying, S.Cards.size())) return false;
    const int32_t lyingKind = S.Cards[static_cast<size_t>(lying)].CType;
    if (!ValidIndex(lyingKind, kCardKinds)) return false;
    const int r = S.CardTypes[static_cast<size_t>(lyingKind)].Rank;
    if (r == kKing) return false;
    const int above = r == kAce ? 0 : r + 1;
    if (card.BonusType == btJoker) {
      card.CType = KindOf(Svc.Random->Random(4), above);
    } else if (!ValidIndex(card.CType, kCardKinds) || S.CardTypes[static_cast<size_t>(card.CType)].Rank != above) {
      return false;
    }
    position = {at.X - 16, at.Y - 25};
    place = static_cast<int32_t>(i);
    return true;
  }
  return false;
}

void TCardActions::LeftWithCard() {
  if (!ValidIndex(S.HeldCard, S.Cards.size())) return;
  TGamePoint position;
  int32_t point = -1;
  if (FindTargetPointAt(S.HeldCard, position, point) && !TCardRules(S, Svc).PointBehindStandingWall(point)) {
    PutOnPoint(point, position);
    return;
  }
  int32_t place = -1;
  if (FindBonusPlaceTargetAt(S.HeldCard, position, place)) {
    PutOnBonusPlace(place, position);
    return;
  }
  const TGame& G = S.Game;
  if (InRect(S.MousePos, kDropPackRect) && static_cast<int32_t>(G.DropPack.size()) < G.DropPackCapacity &&
      G.IntroFlags[1]) {
    PutIntoDropPack();
    return;
  }
  if (!ReturnHeldCardIfNear()) Missed();
}

void TCardActions::PutOnPoint(int32_t point, TGamePoint position) {
  TGame& G = S.Game;
  if (G.CurLevel == kIntroLevel) {
    G.IntroFlags[1] = true;
    Svc.Widgets->HideGameHint(2);
    Svc.Widgets->HideGameHint(3);
  }
  if (IntInArray(point, S.Level.ThiefPoints)) {
    TThief(S, Svc).ThiefStealsCard(point);
    return;
  }
  const int32_t held = S.HeldCard;
  TCard& card = S.Cards[static_cast<size_t>(held)];
  card.X = position.X;
  card.Y = position.Y;
  card.ShowTime = -1;
  S.Level.PointsBusy[static_cast<size_t>(point)] = held;

  TScoring scoring(S, Svc);
  const int32_t now = Now();
  scoring.StartCardTurnEffect(point);
  G.CoverUpdateTime = now + 500;
  scoring.AddCardScore(held);
  if (card.BonusType == btJoker) {
    Svc.Sound->PlaySample("PutJoker.ogg");
    if (card.ShowTime < 0 || card.ShowTime < now) TBonusActions(S, Svc).StartSwapEffects();
  } else {
    Svc.Sound->PlaySample(card.QuestCard ? "PutQuestCard.ogg" : "PutCard.ogg");
  }
  S.HeldCard = -1;
  scoring.CheckWallCrash(point);
  CheckLevelEnd();
  TCardRules(S, Svc).UpdateSuitableCards();
  scoring.CheckCastle(point);
  Svc.Screen->SetOnlyDirtyRect(kWholeScreen);
  Svc.Screens->RunPointScript(point);
  G.PromptShown = false;
  HideGameHints();
  scoring.CheckStreets(point);
}

void TCardActions::PutOnBonusPlace(int32_t place, TGamePoint position) {
  TGame& G = S.Game;
  const int32_t held = S.HeldCard;
  const int32_t lying = S.Level.BPPointsBusy[static_cast<size_t>(place)];
  TCard& put = S.Cards[static_cast<size_t>(lying)];
  std::swap(put, S.Cards[static_cast<size_t>(held)]);
  put.X = position.X;
  put.Y = position.Y;
  const bool joker = put.BonusType == btJoker;
  const bool king = S.CardTypes[static_cast<size_t>(put.CType)].Rank == kKing;
  Svc.Sound->PlaySample(joker ? "PutJoker.ogg" : "PutCardOnBonus.ogg");
  TScoring(S, Svc).UpdateScoreLabel();
  DiscardCard(S, held);
  TCardRules(S, Svc).UpdateSuitableCards();
  if (king) {
    G.UpgradeTime = Now() + 1500;
    TBonusActions(S, Svc).CompleteBonusPlace(place, position);
    DiscardCard(S, S.Level.BPPointsBusy[static_cast<size_t>(place)]);
  } else if (G.Mode != dmNoLose) {
    const int32_t points = BonusPlacePoints(G.Mode, G.Economy);
    G.TotalScore += points;
    const TCard& laid = S.Cards[static_cast<size_t>(S.Level.BPPointsBusy[static_cast<size_t>(place)])];
    Svc.Effects->ShowScoreEffect(IntToStr(points), TGamePoint{laid.X + 30, laid.Y + 45}, -1);
  }
  Svc.Screen->SetOnlyDirtyRect(kWholeScreen);
  G.PromptShown = false;
  HideGameHints();
}

void TCardActions::PutIntoDropPack() {
  S.Game.DropPack.push_back(S.HeldCard);
  S.Cards[static_cast<size_t>(S.HeldCard)].State = csDropPack;
  S.HeldCard = -1;
  UpdateDropPackLabel();
  Svc.Screen->SetOnlyDirtyRect(kWholeScreen);
  Svc.Sound->PlaySample("PutCard.ogg");
  HideGameHints();
}

void TCardActions::Missed() {
  TGame& G = S.Game;
  const int32_t now = Now();
  Svc.Sound->PlaySample("Error.ogg");
  if (G.CurLevel == kIntroLevel && G.IntroFlags[1] && !S.TargetPoints.empty()) {
    const int32_t first = S.TargetPoints[0];
    if (ValidIndex(first, S.Level.Points.size())) {
      const TGamePoint at = S.Level.Points[static_cast<size_t>(first)];
      Svc.Widgets->ShowGameHint(3, at.X, at.Y, 3);
    }
    G.PromptShown = true;
    G.FullRedrawTime = now + 1300;
    G.TakeTime = now - 1200;
  } else if (!Svc.Widgets->IsGameHintVisible(6)) {
    const int32_t p = FindPointAt(S.MousePos, S.Level.Points);
    if (p < 0 || !ValidIndex(p, S.Level.PointZone.size())) return;
    const int32_t zone = S.Level.PointZone[static_cast<size_t>(p)];
    if (!ValidIndex(zone, S.Level.Zones.size())) return;
    Svc.Widgets->ShowHint(ZoneHint(S.Level.Zones[static_cast<size_t>(zone)].Picture), S.MousePos.X,
                          S.MousePos.Y - 30, 0);
  }
}

bool TCardActions::ReturnHeldCardIfNear() {
  if (!S.Game.IntroFlags[1] || S.Level.Belts.empty() || !ValidIndex(S.HeldCard, S.Cards.size())) return false;
  const TFishkaLenta& belt = S.Level.Belts[0];
  // A belt shorter than one sample step has nothing to sample.
  const int32_t samples = Div(belt.PathLength, 4);
  if (!belt.Path || samples <= 0 || belt.PathTime <= 0) return false;
  const int32_t step = std::max(1, Div(belt.PathTime, samples));
  double best = 10000.0;
  for (int32_t t = 0; t < belt.PathTime; t += step) {
    double x = 0.0, y = 0.0;
    BeltPathPoint(belt, t, x, y);
    best = std::min(best, std::hypot(x - S.MousePos.X, y - S.MousePos.Y));
  }
  if (!(best < 40.0)) return false;
  S.Cards[static_cast<size_t>(S.HeldCard)].QuestCard = false;
  if (!TBonusActions(S, Svc).ReturnHeldCard(S.HeldCard)) return false;
  S.HeldCard = -1;
  Svc.Sound->PlaySample("ReturnCard.ogg");
  S.Game.PromptShown = false;
  HideGameHints();
  return true;
}

void TCardActions::CheckLevelEnd() {
  for (int32_t busy : S.Level.PointsBusy) {
    if (busy == -1) return;
  }
  S.Level.LevComplete = true;
  S.Game.LevelEndTime = Now() + 1000;
  Svc.Sound->FadeOutMusic(1000);
}

void TCardActions::HideGameHints() {
  for (int hint = 1; hint <= 7; ++hint) Svc.Widgets->HideGameHint(hint);
  for (const TZoneType& zone : S.Level.Zones) Svc.Widgets->HideHint(ZoneHint(zone.Picture));
}

}  // namespace qv
