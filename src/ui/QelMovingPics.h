// The strips of a moving picture and their loop: a description such as
//   "Fire.png:8:100:0;Smoke.png:4:50:500;"
// names strips (picture, frame count, milliseconds per frame, pause after the
// strip) that play one after another, on a loop driven by the tick count.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "foundation/SFunctions.h"

namespace qv {

struct TMovingPic {
  std::string Name;
  int32_t FrameCount = 0;
  int32_t FrameTime = 0;
  int32_t Pause = 0;
  int32_t EndTime = 0;      // end of this strip's slot in the loop
  int32_t FrameWidth = 0;   // the picture's width divided by FrameCount
  int32_t FrameHeight = 0;  // the picture's height

  // Frame j of the strip in the picture, right and bottom inclusive.
  TRect Frame(int32_t j) const { return Rect(FrameWidth * j, 0, (j + 1) * FrameWidth - 1, FrameHeight - 1); }
};
using TMovingPics = std::vector<TMovingPic>;

// Name and the three numbers of every entry. A field counts once its ":" or
// ";" is reached; missing fields stay 0. Numbers that do not parse raise
// EConvertError.
TMovingPics ParseMovingPics(std::string_view text);

// Drops strips without frames, then sets the loop's end times and the frame
// sizes from the pictures' sizes. A strip whose frame time is below 1 stays:
// it is a still picture of its first frame, held for its pause (a negative
// frame time shortens the loop as a negative pause does).
using TPictureSizeFn = std::function<void(const std::string& name, int32_t& width, int32_t& height)>;
void PrepareMovingPics(TMovingPics& strips, const TPictureSizeFn& pictureSize);

// The strip and frame showing at tick count `tick`; false when there is no
// loop to play.
bool MovingFrameAt(const TMovingPics& strips, int32_t tick, size_t& strip, int32_t& frame);

}  // namespace qv
