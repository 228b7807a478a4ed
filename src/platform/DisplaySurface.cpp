#include "platform/DisplaySurface.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

namespace qv {

TDisplaySurface::TDisplaySurface(int width, int height, const TPixelFormat& format)
    : width_(width), height_(height), format_(format) {
  if (width <= 0 || height <= 0) throw std::invalid_argument("surface size must be positive");
  const size_t row = size_t(width) * format.BytesPerPixel();
  pitch_ = int((row + 15) / 16 * 16);
  memory_.assign(size_t(pitch_) * size_t(height), 0);
}

bool BltFast(TDisplaySurface& target, int x, int y, const TDisplaySurface& source, const TDisplayRect* sourceRect) {
  if (!(target.Format() == source.Format())) return false;
  int64_t left = 0, top = 0, right = source.Width(), bottom = source.Height();
  if (sourceRect) {
    left = sourceRect->Left;
    top = sourceRect->Top;
    right = sourceRect->Right;
    bottom = sourceRect->Bottom;
  }
  int64_t tx = x, ty = y;
  // Clip to the source, then to the target, moving the target corner along.
  if (left < 0) { tx -= left; left = 0; }
  if (top < 0) { ty -= top; top = 0; }
  right = std::min<int64_t>(right, source.Width());
  bottom = std::min<int64_t>(bottom, source.Height());
  if (tx < 0) { left -= tx; tx = 0; }
  if (ty < 0) { top -= ty; ty = 0; }
  right = std::min<int64_t>(right, left + (target.Width() - tx));
  bottom = std::min<int64_t>(bottom, top + (target.Height() - ty));
  if (right <= left || bottom <= top) return true;
  const size_t bpp = source.Format().BytesPerPixel();
  const size_t bytes = size_t(right - left) * bpp;
  for (int64_t row = top; row < bottom; ++row)
    std::memmove(target.Row(int(ty + row - top)) + size_t(tx) * bpp, source.Row(int(row)) + size_t(left) * bpp,
                 bytes);
  return true;
}

}  // namespace qv
