// Bookkeeping of the card arrays: removing a belt card, discarding a card of
// the table and returning one to the belt, while every index list that
// points into Cards stays valid.
#pragma once

#include <cstdint>

#include "game/GameServices.h"
#include "game/GameTypes.h"

namespace qv {

// Nothing for an index past the belt's end; otherwise the whole screen is
// redrawn and the card leaves, the rest keeping their order.
void RemoveBeltCard(TGameState& state, IGameScreen& screen, int32_t belt, int32_t index);

// Removes Cards[card]: HeldCard, PointsBusy and BPPointsBusy entries equal to
// it become -1 and larger ones drop by one; in the drop pack larger entries
// drop by one (an equal entry is the caller's to remove).
void DiscardCard(TGameState& state, int32_t card);

// Puts Cards[card] back at the head of the first belt, riding just ahead of
// the card there (born at `now` on an empty belt), and discards its entry;
// shows, plays and draws nothing. False, changing nothing, without a belt.
bool ReturnCardToBelt(TGameState& state, int32_t card, int32_t now);

// Puts Cards[card] at the tail of the first belt as its newest card, with
// the given spacing: it enters no earlier than a card born at `now` and no
// closer to the card ahead than a born card keeps, so it has the whole path
// ahead of it. Discards its entry; false, changing nothing, without a belt.
bool QueueCardOnBelt(TGameState& state, int32_t card, int32_t now, int32_t spacing);

}  // namespace qv
