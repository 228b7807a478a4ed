// A belt's path: one path function inside a two-dimensional morph, evaluated
// by a card's age in milliseconds.
#pragma once

#include <cstdint>
#include <string_view>

#include "game/GameTypes.h"

namespace qv {

struct TBeltPathInfo {
  TMorphPtr Path;
  double TotalLength = 0.0;  // pixels
  uint32_t TotalDuration = 0;  // ms
};

// A morph of Dim 2 whose only function is the path script, named "Lenta".
// Script errors of the effects engine pass through.
TBeltPathInfo MakeBeltPath(std::string_view script);

// The longest path a level may give a belt, in ms: card times stay far from
// the limits of the 32-bit clock.
constexpr int32_t kMaxBeltPathTime = 10000000;

// The path point at the given age, each coordinate held within +-1000000;
// false for a belt without a path.
bool BeltPathPoint(const TFishkaLenta& belt, int32_t age, double& x, double& y);

// Milliseconds a card needs for 26 pixels of the belt: round(PathTime / PathLength * 52 / 2);
// 0 for a belt without length.
int32_t BeltCardSpacing(const TFishkaLenta& belt);

}  // namespace qv
