// The arithmetic of the field's drawing and animations, apart from any
// surface: flash and pulse weights, clipped draws, the effects' box, the
// dots of the map path, castle outlines, the sweep patterns, the cursor
// strip and the cover's window into the kingdom picture.
#pragma once

#include <cstdint>
#include <vector>

#include "foundation/SFunctions.h"
#include "game/GameTypes.h"

namespace qv {

// The tint weight of a flash (start, end, count, amplitude) at now: 0 when
// it is not running; a period that comes out as 0 also gives 0.
int32_t FlashWeight(int32_t now, int32_t start, int32_t end, int32_t count, int32_t amplitude);
// The pulse of the target prompt and of the belt's warning, 1..255.
int32_t PromptWeight(int32_t now, int32_t takeTime, int32_t timePrompt);
int32_t WarningWeight(int32_t now);

// A picture (or its inclusive source rectangle) placed at (x, y) and cut to
// the clip rectangle (exclusive right and bottom). False when nothing is left.
struct TClippedDraw {
  TRect Source;  // inclusive
  int32_t X = 0;
  int32_t Y = 0;
};
bool ClipDraw(const TRect* source, int32_t width, int32_t height, const TRect& clip, int32_t x, int32_t y,
              TClippedDraw& out);

// The effects' box: `drawn` is the inclusive box of this pass (Left -1000
// for nothing drawn), `kept` the box of the previous pass, replaced by this
// pass's box clamped to the screen. Returns the rectangle to redraw
// (exclusive edges), or an empty one (Right <= Left).
TRect JoinEffectsBox(TRect drawn, TRect& kept);
constexpr int32_t kNoBox = -1000;

// The dots between two markers of the map path: from (fx, fy) to the corner
// of a picture of w x h centred on (qx, qy), about one every 12 pixels, none
// on the ends.
std::vector<TGamePoint> MapPathDots(int32_t fx, int32_t fy, int32_t qx, int32_t qy, int32_t w, int32_t h);

// The three outline lists of a castle made of the cells around points.
void MakeCastleOutlines(const TPoints& points, TPoints& cornerDots, TPoints& verticalEdges, TPoints& horizontalEdges);

// Whether a sweep pattern 1..8 takes the point (x, y) at front q.
bool SweepSelects(int32_t pattern, int32_t x, int32_t y, int32_t q);

// Advances the cursor strip to time t: every period after nextTime that lies
// before t is one frame. Returns the number of frames passed.
int32_t AdvanceCursor(int32_t& frame, int32_t& nextTime, int32_t t, int32_t period, int32_t frames);

// The inclusive window of 800 x 600 pixels of the kingdom picture (of the
// given size) around the map place (x, y), scaled by 3.
TRect CoverWindow(int32_t x, int32_t y, int32_t pictureWidth = 2400, int32_t pictureHeight = 1800);

}  // namespace qv
