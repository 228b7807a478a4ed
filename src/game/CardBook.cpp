#include "game/CardBook.h"

#include <algorithm>
#include <climits>

namespace qv {

void RemoveBeltCard(TGameState& state, IGameScreen& screen, int32_t belt, int32_t index) {
  if (belt < 0 || belt >= static_cast<int32_t>(state.Level.Belts.size())) return;
  TCardArray& cards = state.Level.Belts[static_cast<size_t>(belt)].Cards;
  if (index < 0 || index >= static_cast<int32_t>(cards.size())) return;
  screen.SetOnlyDirtyRect(TRect{0, 0, 800, 600});
  cards.erase(cards.begin() + index);
}

namespace {

void ShiftIndices(TIntegers& list, int32_t card, bool clearEqual) {
  for (int32_t& v : list) {
    if (clearEqual && v == card) {
      v = -1;
    } else if (v > card) {
      --v;
    }
  }
}

}  // namespace

void DiscardCard(TGameState& state, int32_t card) {
  if (card < 0 || card >= static_cast<int32_t>(state.Cards.size())) return;
  if (state.HeldCard == card) {
    state.HeldCard = -1;
  } else if (state.HeldCard > card) {
    --state.HeldCard;
  }
  ShiftIndices(state.Level.PointsBusy, card, true);
  ShiftIndices(state.Level.BPPointsBusy, card, true);
  ShiftIndices(state.Game.DropPack, card, false);
  state.Cards.erase(state.Cards.begin() + card);
}

bool ReturnCardToBelt(TGameState& state, int32_t card, int32_t now) {
  if (state.Level.Belts.empty() || card < 0 || card >= static_cast<int32_t>(state.Cards.size())) return false;
  TFishkaLenta& belt = state.Level.Belts[0];
  belt.Cards.insert(belt.Cards.begin(), state.Cards[static_cast<size_t>(card)]);
  TCard& back = belt.Cards[0];
  if (belt.Cards.size() > 1) {
    const TCard& next = belt.Cards[1];
    back.BornTime = next.BornTime - belt.BornPeriod - 2 * next.Spacing;
  } else {
    back.BornTime = now;
  }
  back.ShowTime = now + 300;
  DiscardCard(state, card);
  return true;
}

bool QueueCardOnBelt(TGameState& state, int32_t card, int32_t now, int32_t spacing) {
  if (state.Level.Belts.empty() || card < 0 || card >= static_cast<int32_t>(state.Cards.size())) return false;
  TFishkaLenta& belt = state.Level.Belts[0];
  TCard queued = state.Cards[static_cast<size_t>(card)];
  queued.Spacing = spacing;
  queued.Acceleration = 0;
  queued.ShowTime = -1;
  // As a born card: its spacing after now, and the born period and both
  // spacings behind the card ahead.
  int64_t born = int64_t{now} + spacing;
  if (!belt.Cards.empty()) {
    const TCard& ahead = belt.Cards.back();
    born = std::max<int64_t>(born, int64_t{ahead.BornTime} + ahead.Spacing + spacing + belt.BornPeriod);
  }
  queued.BornTime = static_cast<int32_t>(std::clamp<int64_t>(born, INT32_MIN, INT32_MAX));
  belt.Cards.push_back(queued);
  DiscardCard(state, card);
  return true;
}

}  // namespace qv
