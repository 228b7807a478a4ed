#include "game/FieldMath.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "foundation/Numeric.h"

namespace qv {

int32_t FlashWeight(int32_t now, int32_t start, int32_t end, int32_t count, int32_t amplitude) {
  if (start < 0 || now >= end || count <= 0) return 0;
  const int32_t period = Round((static_cast<double>(end) - start) / count);
  if (period <= 0) return 0;
  const int32_t phase = static_cast<int32_t>((static_cast<int64_t>(now) - start) % period);
  const double w = 255.0 - std::sin((period - phase) * std::numbers::pi / period) * amplitude;
  return std::clamp(Round(w), 0, 255);
}

int32_t PromptWeight(int32_t now, int32_t takeTime, int32_t timePrompt) {
  const double t = static_cast<double>(now) - takeTime - timePrompt;
  return std::clamp(Round(std::cos(t * std::numbers::pi / 300.0) * 127.0 + 128.0), 0, 255);
}

int32_t WarningWeight(int32_t now) {
  return std::clamp(Round(std::sin(now * std::numbers::pi / 300.0) * 127.0 + 128.0), 0, 255);
}

namespace {

// One axis of ClipDraw: the source span [lo, hi] placed at pos, cut to [cmin, cmax).
bool ClipAxis(int32_t& lo, int32_t& hi, int32_t& pos, int32_t cmin, int32_t cmax) {
  if (hi < lo) return false;
  if (pos < cmin) {
    const int64_t over = int64_t(cmin) - pos;
    if (int64_t(pos) + (int64_t(hi) - lo + 1) <= cmin) return false;
    lo = static_cast<int32_t>(lo + over);
    pos = cmin;
  }
  if (pos >= cmax) return false;
  if (int64_t(pos) + (int64_t(hi) - lo + 1) > cmax) hi = static_cast<int32_t>(int64_t(lo) + (int64_t(cmax) - pos) - 1);
  return lo <= hi;
}

}  // namespace

bool ClipDraw(const TRect* source, int32_t width, int32_t height, const TRect& clip, int32_t x, int32_t y,
              TClippedDraw& out) {
  TRect r = source ? *source : TRect{0, 0, width - 1, height - 1};
  if (!ClipAxis(r.Top, r.Bottom, y, clip.Top, clip.Bottom)) return false;
  if (!ClipAxis(r.Left, r.Right, x, clip.Left, clip.Right)) return false;
  out = TClippedDraw{r, x, y};
  return true;
}

TRect JoinEffectsBox(TRect drawn, TRect& kept) {
  if (drawn.Left == kNoBox) {
    // The last particles are gone: what they covered is redrawn once more.
    TRect dirty{0, 0, 0, 0};
    if (kept.Left != kNoBox) dirty = TRect{kept.Left, kept.Top, kept.Right + 1, kept.Bottom + 1};
    kept = TRect{kNoBox, 0, 0, 0};
    return dirty;
  }
  drawn.Left = std::clamp(drawn.Left, 0, 799);
  drawn.Top = std::clamp(drawn.Top, 0, 599);
  drawn.Right = std::clamp(drawn.Right, 0, 799);
  drawn.Bottom = std::clamp(drawn.Bottom, 0, 599);
  TRect joined = drawn;
  if (kept.Left != kNoBox) {
    joined.Left = std::min(joined.Left, kept.Left);
    joined.Top = std::min(joined.Top, kept.Top);
    joined.Right = std::max(joined.Right, kept.Right);
    joined.Bottom = std::max(joined.Bottom, kept.Bottom);
  }
  kept = drawn;
  return TRect{joined.Left, joined.Top, joined.Right + 1, joined.Bottom + 1};
}

std::vector<TGamePoint> MapPathDots(int32_t fx, int32_t fy, int32_t qx, int32_t qy, int32_t w, int32_t h) {
  std::vector<TGamePoint> dots;
  const double e = static_cast<double>(qx - Div(w, 2)) - fx;
  const double f = static_cast<double>(qy - Div(h, 2)) - fy;
  const int32_t g = Div(Round(std::sqrt(e * e + f * f)), 12);
  if (g <= 1) return dots;
  for (int32_t j = 1; j < g; ++j) dots.push_back({fx + Round(j * e / g), fy + Round(j * f / g)});
  return dots;
}

namespace {

struct TCounted {
  TGamePoint P;
  int Count = 0;
};

void CountPoint(std::vector<TCounted>& list, TGamePoint p) {
  for (TCounted& c : list) {
    if (c.P == p) {
      ++c.Count;
      return;
    }
  }
  list.push_back({p, 1});
}

TPoints Keep(const std::vector<TCounted>& list, int dropped) {
  TPoints out;
  for (const TCounted& c : list) {
    if (c.Count != dropped) out.push_back(c.P);
  }
  return out;
}

}  // namespace

void MakeCastleOutlines(const TPoints& points, TPoints& cornerDots, TPoints& verticalEdges, TPoints& horizontalEdges) {
  std::vector<TCounted> corners, vertical, horizontal;
  for (const TGamePoint& p : points) {
    const TGamePoint tl{p.X - 16, p.Y - 25}, tr{p.X + 18, p.Y - 25}, bl{p.X - 16, p.Y + 27}, br{p.X + 18, p.Y + 27};
    for (TGamePoint c : {tl, tr, bl, br}) CountPoint(corners, c);
    CountPoint(vertical, tl);
    CountPoint(vertical, tr);
    CountPoint(horizontal, tl);
    CountPoint(horizontal, bl);
  }
  cornerDots = Keep(corners, 4);
  verticalEdges = Keep(vertical, 2);
  horizontalEdges = Keep(horizontal, 2);
}

bool SweepSelects(int32_t pattern, int32_t x, int32_t y, int32_t q) {
  const int64_t X = x, Y = y, Q = q;
  const int64_t dx = 400 - X, dy = Y - 300;
  switch (pattern) {
    case 1: return X - Y + 600 < Q;
    case 2: return dx * dx + dy * dy < Q * Q;
    case 3: return 1300 - Q < X - Y + 600;
    case 4: return X < Q;
    case 5: return Y < Q;
    case 6: return (1300 - Q) * (1300 - Q) < dx * dx + dy * dy;
    case 7: return X + Y - 600 < Q;
    case 8: return 600 - Y - X < Q - 1300;
    default: return false;
  }
}

int32_t AdvanceCursor(int32_t& frame, int32_t& nextTime, int32_t t, int32_t period, int32_t frames) {
  if (period <= 0 || frames <= 0 || !(nextTime < t)) return 0;
  const int64_t steps = (int64_t(t) - nextTime - 1) / period + 1;
  frame = static_cast<int32_t>((int64_t(frame) + steps) % frames);
  if (frame < 0) frame += frames;
  nextTime = static_cast<int32_t>(int64_t(nextTime) + steps * period);
  return static_cast<int32_t>(std::min<int64_t>(steps, INT32_MAX));
}

TRect CoverWindow(int32_t x, int32_t y, int32_t pictureWidth, int32_t pictureHeight) {
  // A window that would reach past the picture's edge is moved back so that
  // it still holds exactly 800 x 600 pixels.
  const int64_t maxLeft = std::max<int64_t>(int64_t(pictureWidth) - 800, 0);
  const int64_t maxTop = std::max<int64_t>(int64_t(pictureHeight) - 600, 0);
  const auto left = static_cast<int32_t>(std::clamp<int64_t>(3 * int64_t(x) - 400, 0, maxLeft));
  const auto top = static_cast<int32_t>(std::clamp<int64_t>(3 * int64_t(y) - 300, 0, maxTop));
  return TRect{left, top, left + 799, top + 599};
}

}  // namespace qv
