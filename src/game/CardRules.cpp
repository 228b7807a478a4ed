#include "game/CardRules.h"

#include <cmath>
#include <cstdlib>

#include "foundation/Numeric.h"
#include "game/BeltPath.h"

namespace qv {

namespace {

constexpr const char* kSuitSuffix[4] = {"_piki.png", "_kresti.png", "_bubny.png", "_chervi.png"};
constexpr const char* kFaceNames[4] = {"J", "Q", "K", "A"};
constexpr int kKing = 11;
constexpr int kAce = 12;

bool ValidKind(int32_t kind) { return kind >= 0 && kind < kCardKinds; }

}  // namespace

void BuildCardTypes(TCardTypes& types) {
  for (int suit = 0; suit < 4; ++suit) {
    for (int number = 2; number <= 14; ++number) {
      TCardType& t = types[static_cast<size_t>(suit * 13 + number - 2)];
      t.Suit = static_cast<uint8_t>(suit);
      t.Rank = static_cast<uint8_t>(number - 2);
      t.Picture = (number <= 10 ? std::to_string(number) : std::string(kFaceNames[number - 11])) + kSuitSuffix[suit];
    }
  }
}

int RankDistance(uint8_t a, uint8_t b) {
  const int d = std::abs(static_cast<int>(a) - static_cast<int>(b));
  return d <= 6 ? d : 13 - d;
}

int32_t PointDistance(TGamePoint a, TGamePoint b) {
  const int64_t dx = static_cast<int64_t>(a.X) - b.X;
  const int64_t dy = static_cast<int64_t>(a.Y) - b.Y;
  return Round(std::sqrt(static_cast<double>(dx * dx + dy * dy)));
}

int32_t FindPointAt(TGamePoint q, const TPoints& list) {
  for (size_t i = 0; i < list.size(); ++i) {
    if (PointDistance(q, list[i]) <= 24) return static_cast<int32_t>(i);
  }
  return -1;
}

std::string CardPicture(const TGameState& state, const TCard& card) {
  switch (card.BonusType) {
    case btCrop: return "CardCrop.png";
    case btReverse: return "CardReverce.png";
    case btPause: return "CardPause.png";
    case btJoker: return "joker.png";
    default: break;
  }
  return ValidKind(card.CType) ? state.CardTypes[static_cast<size_t>(card.CType)].Picture : std::string();
}

int TCardRules::RankOfCard(int32_t cardIndex) const {
  if (cardIndex < 0 || cardIndex >= static_cast<int32_t>(S.Cards.size())) return -1;
  const int32_t kind = S.Cards[static_cast<size_t>(cardIndex)].CType;
  return ValidKind(kind) ? S.CardTypes[static_cast<size_t>(kind)].Rank : -1;
}

bool TCardRules::FirstBeltHasCards() const {
  return !S.Level.Belts.empty() && !S.Level.Belts[0].Cards.empty();
}

bool TCardRules::PointHasBusyNeighbour(int32_t point) const {
  if (point < 0 || point >= static_cast<int32_t>(S.Level.NearPoints.size())) return false;
  for (int32_t n : S.Level.NearPoints[static_cast<size_t>(point)]) {
    if (n >= 0 && n < static_cast<int32_t>(S.Level.PointsBusy.size()) && S.Level.PointsBusy[static_cast<size_t>(n)] != -1) {
      return true;
    }
  }
  return false;
}

bool TCardRules::PointBehindStandingWall(int32_t point) const {
  for (const TWall& wall : S.Level.Walls) {
    if (!wall.Crashed && IntInArray(point, wall.WallIn)) return true;
  }
  return false;
}

bool TCardRules::ZoneAllows(int32_t kind, int32_t point) const {
  if (!ValidKind(kind) || point < 0 || point >= static_cast<int32_t>(S.Level.PointZone.size())) return false;
  const int32_t zone = S.Level.PointZone[static_cast<size_t>(point)];
  if (zone < 0 || zone >= static_cast<int32_t>(S.Level.Zones.size())) return false;
  const TZoneType& z = S.Level.Zones[static_cast<size_t>(zone)];
  const TCardType& t = S.CardTypes[static_cast<size_t>(kind)];
  return t.Rank <= 15 && z.Orders.test(t.Rank) && t.Suit <= 7 && z.Suits.test(t.Suit);
}

bool TCardRules::CardFitsPoint(int32_t kind, int32_t point) const {
  if (PointBehindStandingWall(point)) return false;
  if (!ZoneAllows(kind, point)) return false;
  if (point >= static_cast<int32_t>(S.Level.NearPoints.size()) || point >= static_cast<int32_t>(S.Level.StreetTypes.size())) {
    return false;
  }
  const int r = S.CardTypes[static_cast<size_t>(kind)].Rank;
  const uint8_t street = S.Level.StreetTypes[static_cast<size_t>(point)];
  for (int32_t n : S.Level.NearPoints[static_cast<size_t>(point)]) {
    if (n < 0 || n >= static_cast<int32_t>(S.Level.PointsBusy.size())) continue;
    const int32_t busy = S.Level.PointsBusy[static_cast<size_t>(n)];
    if (busy == -1) continue;
    const int rn = RankOfCard(busy);
    if (rn < 0) continue;
    switch (street) {
      case stNone:
        if (r == rn + 1 || rn == r + 1 || (r == kAce && rn == 0) || (r == 0 && rn == kAce)) return true;
        break;
      case stUp:
        if (r == rn + 1 || (rn == kAce && r == 0)) return true;
        break;
      case stDown:
        if (rn == r + 1 || (rn == 0 && r == kAce)) return true;
        break;
      default:
        break;
    }
  }
  return false;
}

void TCardRules::UpdateSuitableCards() {
  S.FreePoints.clear();
  S.SuitableKinds.reset();
  S.NextButOneKinds.reset();
  TLevel& L = S.Level;
  for (int32_t i = 0; i < static_cast<int32_t>(L.PointsBusy.size()); ++i) {
    if (L.PointsBusy[static_cast<size_t>(i)] == -1 && PointHasBusyNeighbour(i)) S.FreePoints.push_back(i);
  }
  for (int32_t f : S.FreePoints) {
    for (int32_t j = 0; j < kCardKinds; ++j) {
      if (CardFitsPoint(j, f)) {
        S.SuitableKinds.set(static_cast<size_t>(j));
      } else if (ZoneAllows(j, f) && f < static_cast<int32_t>(L.NearPoints.size())) {
        const uint8_t rj = S.CardTypes[static_cast<size_t>(j)].Rank;
        for (int32_t n : L.NearPoints[static_cast<size_t>(f)]) {
          if (n < 0 || n >= static_cast<int32_t>(L.PointsBusy.size())) continue;
          const int rn = RankOfCard(L.PointsBusy[static_cast<size_t>(n)]);
          if (rn >= 0 && RankDistance(static_cast<uint8_t>(rn), rj) == 2) S.NextButOneKinds.set(static_cast<size_t>(j));
        }
      }
    }
  }
  if (S.Game.IntroFlags[0] && FirstBeltHasCards()) {
    for (int32_t i = 0; i < kCardKinds; ++i) {
      const int ri = S.CardTypes[static_cast<size_t>(i)].Rank;
      for (int32_t busy : L.BPPointsBusy) {
        if (busy == -1) continue;
        const int b = RankOfCard(busy);
        if (b < 0 || b == kKing) continue;
        if (ri == b + 1 || (b == kAce && ri == 0)) S.SuitableKinds.set(static_cast<size_t>(i));
      }
    }
  }
}

void TCardRules::UpdateTargetPoints() {
  if (S.HeldCard < 0 || S.HeldCard >= static_cast<int32_t>(S.Cards.size())) return;
  S.TargetPoints.clear();
  const TCard& held = S.Cards[static_cast<size_t>(S.HeldCard)];
  for (int32_t f : S.FreePoints) {
    const bool fits = held.BonusType == btJoker || CardFitsPoint(held.CType, f);
    if (fits && !IntInArray(f, S.TargetPoints) && f != S.Level.SharperPoint) S.TargetPoints.push_back(f);
  }
}

void TCardRules::FillPool(TIntegers& weights, const TKindSet& kinds) const {
  for (int32_t k = 0; k < kCardKinds; ++k) weights[static_cast<size_t>(k)] = kinds.test(static_cast<size_t>(k)) ? 100 : 0;
}

void TCardRules::HalveForTable(TIntegers& weights) const {
  for (const TCard& c : S.Cards) {
    if (!ValidKind(c.CType)) continue;
    int32_t& w = weights[static_cast<size_t>(c.CType)];
    if (w != 0) {
      w = Div(w, 2);
      if (w == 0) w = 1;
    }
  }
}

int32_t TCardRules::ChooseNextCard() {
  TIntegers weights(kCardKinds, 0);
  const double r = Svc.Random->RandomFloat();
  const TLevel& L = S.Level;
  const bool anySuitable = S.SuitableKinds.any();
  if ((r < L.SuitableCardProb || S.FreePoints.size() == 1) && anySuitable) {
    FillPool(weights, S.SuitableKinds);
  } else if (!S.Game.IntroFlags[0] && !FirstBeltHasCards()) {
    FillPool(weights, S.SuitableKinds);
  } else if (r < L.SuitableCardProb + L.Suitable2CardProb && S.NextButOneKinds.any()) {
    FillPool(weights, S.NextButOneKinds);
  } else {
    weights.assign(kCardKinds, 100);
  }
  HalveForTable(weights);
  int32_t kind = Svc.Random->WeightedRandom(weights);
  if (!ValidKind(kind)) {
    // An empty pool (only zero weights) draws from every kind instead, so no
    // index outside the card table is ever produced.
    weights.assign(kCardKinds, 100);
    HalveForTable(weights);
    kind = Svc.Random->WeightedRandom(weights);
    if (!ValidKind(kind)) kind = 0;
  }
  return kind;
}

int32_t TCardRules::ChooseCardBonus(int32_t t) {
  TLevel& L = S.Level;
  bool e = false;
  if (!L.Belts.empty()) {
    for (const TCard& c : L.Belts[0].Cards) {
      if (c.BonusType == btCrop || c.BonusType == btReverse) e = true;
    }
  }
  L.BonusWorkWeights = L.BonusWeights;
  L.BonusWorkWeights.resize(5, 0);
  TIntegers& w = L.BonusWorkWeights;
  if (e) {
    w[1] = Round(w[1] * L.ReverseMultE);
    w[0] = Round(w[0] * L.CropMultE);
  }
  if (!L.Belts.empty() && L.Belts[0].Cards.size() > 3) {
    const TFishkaLenta& belt = L.Belts[0];
    const int64_t age = static_cast<int64_t>(t) - belt.Cards[0].BornTime;
    if (age > static_cast<int64_t>(belt.PathTime) - L.CriticalTime) {
      w[1] = Round(w[1] * L.ReverseMultC);
      w[0] = Round(w[0] * L.CropMultC);
    }
  }
  if (S.Game.Luck > 0) {
    const double f = std::sqrt(10.0 * S.Game.Luck) * 2.0 / 100.0 + 1.0;
    w[1] = Round(w[1] * f);
    w[0] = Round(w[0] * f);
    w[2] = Round(w[2] * f);
  }
  const int32_t i = Svc.Random->WeightedRandom(w);
  // Anything past the four bonus kinds (the common weight, or no draw at all)
  // is a common card.
  return (i >= 0 && i < 4) ? i + 1 : btNone;
}

void TCardRules::BornBeltCard(int32_t beltIndex, int32_t t) {
  if (beltIndex < 0 || beltIndex >= static_cast<int32_t>(S.Level.Belts.size())) return;
  const int32_t kind = ChooseNextCard();
  if (kind == -1) return;
  TFishkaLenta& belt = S.Level.Belts[static_cast<size_t>(beltIndex)];
  if (!belt.Cards.empty() && belt.Cards.back().BornTime > t) return;
  belt.Cards.emplace_back();
  const size_t idx = belt.Cards.size() - 1;
  if (!S.Game.IntroFlags[0] && S.Level.Belts[0].Cards.size() == 1) {
    belt.Cards[idx].BonusType = btNone;
    belt.Cards[idx].CType = kind;
  } else {
    const int32_t bonus = ChooseCardBonus(t);
    belt.Cards[idx].BonusType = bonus;
    if (bonus == btNone) {
      belt.Cards[idx].CType = kind;
      belt.Cards[idx].QuestCard = Svc.Random->RandomFloat() < S.Level.QuestFishka;
    }
  }
  TCard& card = belt.Cards[idx];
  double x = 0.0, y = 0.0;
  if (BeltPathPoint(belt, 0.0, x, y)) {
    card.X = Round(x) + 16;
    card.Y = Round(y) + 16;
  } else {
    card.X = -1000;
    card.Y = -1000;
  }
  card.Spacing = BeltCardSpacing(belt);
  if (idx > 0 && belt.Cards[idx - 1].Acceleration == 0) {
    const TCard& prev = belt.Cards[idx - 1];
    card.BornTime = prev.BornTime + prev.Spacing + card.Spacing + belt.BornPeriod;
  } else {
    card.BornTime = t + card.Spacing;
  }
}

void TCardRules::MoveCardToMouse(int32_t card) {
  if (card < 0 || card >= static_cast<int32_t>(S.Cards.size())) return;
  S.Cards[static_cast<size_t>(card)].X = S.MousePos.X - 16;
  S.Cards[static_cast<size_t>(card)].Y = S.MousePos.Y - 26;
}

}  // namespace qv
