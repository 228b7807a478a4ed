// The state the shell's pieces share: the frame's rectangle lists and
// clocks, the frame-rate sample, the pointer and cursor, the host's draw
// target and the error waiting for the next pass of the main loop.
#pragma once

#include <cstdint>
#include <string>

#include "foundation/SFunctions.h"
#include "game/GameTypes.h"

namespace qv {

// The whole screen, right and bottom exclusive.
inline constexpr TRect kWholeScreen{0, 0, 800, 600};

struct TShellFrame {
  // Every change on screen, as rectangles (right and bottom exclusive).
  TRects DirtyRects;
  // DirtyRects split into disjoint cells: what this pass copies and shows.
  TRects RedrawRects;

  int32_t GameClock = 0;      // "now" for everything of one pass
  int32_t PrevFrameTime = 0;  // the game clock of the previous pass

  // Frame rate: frames composed since the last sample, the last sample
  // (kept whole, however high), and the running average of the samples.
  uint32_t FrameCounter = 0;
  uint32_t FrameRate = 0;
  int32_t LastRateTick = 0;
  int32_t RateSamples = 0;
  double AverageRate = 0.0;

  TGamePoint PrevMousePos;
  TGamePoint PrevHeldCardPos;
  std::string CursorPicture;
  int32_t CursorHeight = 0;
  TRect CursorSourceRect;
  // Where the quest card's halo sits relative to the card's corner.
  TGamePoint HaloOffset;

  // The surface every drawing of the host goes into.
  std::string DrawTarget = "MemoryBufer";
};

}  // namespace qv
