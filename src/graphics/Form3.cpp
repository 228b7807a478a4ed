#include "graphics/Form3.h"

#include <algorithm>
#include <cstdlib>
#include <string_view>

#include "foundation/Log.h"

namespace qv {

namespace {

struct TColour {
  uint8_t R, G, B;
};
constexpr TColour kFace{212, 208, 200};
constexpr TColour kFrame{128, 128, 128};
constexpr TColour kTrack{255, 255, 255};
constexpr TColour kFill{0, 0, 160};

int Shift(uint32_t mask) {
  int s = 0;
  while (mask && !(mask & 1u)) {
    mask >>= 1;
    ++s;
  }
  return s;
}

int Bits(uint32_t mask) {
  int n = 0;
  for (; mask; mask >>= 1) n += int(mask & 1u);
  return n;
}

uint32_t Pack(const TPixelFormat& f, TColour c) {
  auto channel = [](uint8_t v, uint32_t mask) {
    const int bits = Bits(mask);
    return bits == 0 ? 0u : (uint32_t(v) >> (8 - std::min(bits, 8))) << Shift(mask);
  };
  return channel(c.R, f.RMask) | channel(c.G, f.GMask) | channel(c.B, f.BMask);
}

void FillRect(TDisplaySurface& s, int left, int top, int right, int bottom, TColour c) {
  left = std::max(left, 0);
  top = std::max(top, 0);
  right = std::min(right, s.Width());
  bottom = std::min(bottom, s.Height());
  const uint32_t value = Pack(s.Format(), c);
  const uint32_t bpp = s.Format().BytesPerPixel();
  for (int y = top; y < bottom; ++y) {
    uint8_t* row = s.Row(y);
    for (int x = left; x < right; ++x)
      for (uint32_t b = 0; b < bpp; ++b) row[size_t(x) * bpp + b] = uint8_t(value >> (8 * b));
  }
}

}  // namespace

TForm3::TForm3(std::unique_ptr<TDisplay> display) : display_(std::move(display)) {}

TForm3::~TForm3() { Hide(); }

std::string TForm3::Title() const { return Caption + " - " + (Label2.empty() ? Label1 : Label2); }

void TForm3::Show() {
  if (visible_) return;
  visible_ = true;
  if (display_) {
    TDisplayMode mode;
    mode.FullScreen = false;
    mode.Width = kClientWidth;
    mode.Height = kClientHeight;
    std::string error;
    window_ = display_->Open(mode, error);
    if (!window_) Log::Write("Installer window not shown: " + error);
  }
  if (window_)
    Paint();
  else
    Log::Write(Label1);
}

void TForm3::Hide() {
  if (!visible_) return;
  visible_ = false;
  if (window_) display_->Close();
  window_ = false;
}

void TForm3::ShowProgress(const std::string& text, int32_t position) {
  Label2 = text;
  ProgressBar1 = std::clamp(position, 0, 100);
  if (window_)
    Paint();
  else
    Log::Write(text);
}

void TForm3::Paint() {
  TDisplaySurface& s = *display_->PrimarySurface();
  FillRect(s, 0, 0, s.Width(), s.Height(), kFace);
  const int right = kBarLeft + kBarWidth, bottom = kBarTop + kBarHeight;
  FillRect(s, kBarLeft, kBarTop, right, bottom, kFrame);
  FillRect(s, kBarLeft + 1, kBarTop + 1, right - 1, bottom - 1, kTrack);
  const int filled = (kBarWidth - 2) * ProgressBar1 / 100;
  FillRect(s, kBarLeft + 1, kBarTop + 1, kBarLeft + 1 + filled, bottom - 1, kFill);
  display_->SetCaption(Title());
  display_->Commit();
}

std::unique_ptr<TForm3> CreateInstallWindow() {
  const char* video = std::getenv("QUORVANE_VIDEO");
  if (video && std::string_view(video) == "headless") return std::make_unique<TForm3>(nullptr);
  return std::make_unique<TForm3>(CreateDisplay());
}

}  // namespace qv
