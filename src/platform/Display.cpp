#include "platform/Display.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <string_view>

#include "platform/HeadlessDisplay.h"
#include "platform/SdlDisplay.h"

namespace qv {

namespace {
constexpr int kMaxSurfaceSide = 16384;
}

std::shared_ptr<TDisplaySurface> TDisplay::CreateSurface(int width, int height) {
  if (!primary_ || width <= 0 || height <= 0 || width > kMaxSurfaceSide || height > kMaxSurfaceSide) return nullptr;
  return std::make_shared<TDisplaySurface>(width, height, format_);
}

bool TDisplay::SetUp(const TDisplayMode& mode, const TPixelFormat& desktop, std::string& errorText) {
  TearDown();
  TPixelFormat format = desktop;
  if (mode.ForcedFormat.BitCount != 0) {
    format = mode.ForcedFormat;
  } else if (mode.FullScreen) {
    if (mode.BitsPerPixel == 16) {
      format = kFormatRGB565;
    } else if (mode.BitsPerPixel == 32) {
      format = kFormatXRGB8888;
    } else {
      errorText = "Unsupported display depth " + std::to_string(mode.BitsPerPixel);
      return false;
    }
  }
  if (!(format == kFormatRGB565 || format == kFormatRGB555 || format == kFormatXRGB8888)) {
    errorText = "Unsupported pixel format";
    return false;
  }
  if (mode.Width <= 0 || mode.Height <= 0 || mode.Width > kMaxSurfaceSide || mode.Height > kMaxSurfaceSide) {
    errorText = "Unsupported display size";
    return false;
  }
  mode_ = mode;
  format_ = format;
  primary_ = std::make_shared<TDisplaySurface>(mode.Width, mode.Height, format);
  if (mode.FullScreen) back_ = std::make_shared<TDisplaySurface>(mode.Width, mode.Height, format);
  clipper_.SetClipList({TDisplayRect{0, 0, mode.Width, mode.Height}});
  return true;
}

void TDisplay::TearDown() {
  primary_.reset();
  back_.reset();
  clipper_.SetClipList({});
}

int64_t FrameWaitMicroseconds(int64_t spentUs, int refreshHz) {
  const int64_t interval = 1000000 / (refreshHz > 0 ? refreshHz : 60);
  return std::clamp<int64_t>(interval - spentUs, 0, interval);
}

void TFramePacer::Wait(int refreshHz) {
  const int64_t spent = now_() - passStart_;
  const int64_t wait = FrameWaitMicroseconds(spent, refreshHz);
  // The next pass counts from the end of this interval, not from when the
  // sleep returned, so a late wake-up does not lower the rate.
  passStart_ += spent + wait;
  if (wait > 0) sleepUntil_(passStart_);
}

std::string InvisibleDriverReason(std::string_view chosen, const char* asked) {
  const auto same = [](std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
             return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
  };
  if (!same(chosen, "offscreen") && !same(chosen, "dummy")) return {};
  for (std::string_view list = asked ? asked : ""; !list.empty();) {
    const size_t comma = std::min(list.find(','), list.size());
    if (same(list.substr(0, comma), chosen)) return {};
    list.remove_prefix(std::min(comma + 1, list.size()));
  }
  return "There is no display to open a window on (SDL found none and chose its \"" + std::string(chosen) +
         "\" video driver); QUORVANE_VIDEO=headless runs the game without one";
}

std::unique_ptr<TDisplay> CreateDisplay() {
  const char* video = std::getenv("QUORVANE_VIDEO");
  if (video && std::string_view(video) == "headless") return std::make_unique<THeadlessDisplay>();
  return std::make_unique<TSdlDisplay>();
}

}  // namespace qv
