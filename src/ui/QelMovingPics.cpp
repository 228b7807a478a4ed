#include "ui/QelMovingPics.h"

#include <algorithm>
#include <climits>

#include "foundation/Numeric.h"

namespace qv {

TMovingPics ParseMovingPics(std::string_view text) {
  TMovingPics strips;
  TMovingPic current;
  int field = 0;
  std::string collected;
  for (char c : text) {
    if (c != ':' && c != ';') {
      collected.push_back(c);
      continue;
    }
    switch (field) {
      case 0: current.Name = collected; break;
      case 1: current.FrameCount = StrToInt(collected); break;
      case 2: current.FrameTime = StrToInt(collected); break;
      case 3: current.Pause = StrToInt(collected); break;
      default: break;  // fields after the fourth are not read
    }
    collected.clear();
    ++field;
    if (c == ';') {
      strips.push_back(std::move(current));
      current = TMovingPic();
      field = 0;
    }
  }
  return strips;
}

void PrepareMovingPics(TMovingPics& strips, const TPictureSizeFn& pictureSize) {
  std::erase_if(strips, [](const TMovingPic& s) { return s.FrameCount < 1; });
  int64_t end = 0;
  for (TMovingPic& s : strips) {
    end += int64_t(s.Pause) + int64_t(s.FrameCount) * s.FrameTime;
    end = std::clamp<int64_t>(end, INT32_MIN, INT32_MAX);
    s.EndTime = static_cast<int32_t>(end);
    int32_t w = 0, h = 0;
    if (pictureSize) pictureSize(s.Name, w, h);
    s.FrameWidth = Div(w, s.FrameCount);
    s.FrameHeight = h;
  }
}

bool MovingFrameAt(const TMovingPics& strips, int32_t tick, size_t& strip, int32_t& frame) {
  if (strips.empty() || strips.back().EndTime < 1) return false;
  const uint32_t loop = static_cast<uint32_t>(strips.back().EndTime);
  const int64_t t = static_cast<uint32_t>(tick) % loop;
  strip = 0;
  while (strip + 1 < strips.size() && strips[strip].EndTime < t) ++strip;
  const TMovingPic& s = strips[strip];
  // A frame time below 1 holds the first frame; nothing is divided by it.
  const int64_t span = int64_t(s.FrameCount) * s.FrameTime;
  frame = s.FrameTime >= 1 && span > 0 ? static_cast<int32_t>((t % span) / s.FrameTime) : 0;
  return true;
}

}  // namespace qv
