#include "ui/QelHint.h"

#include <algorithm>
#include <climits>

#include "foundation/Clock.h"

namespace qv {

const TQelClass& TQelHint::StaticClass() {
  using T = TQelHint;
  static const TQelClass cls = TQelClass::Make<T>("TQelHint", &TQelRichLabel::StaticClass(), [](TPropertyList& p) {
    p.Integer("ShowTime", &T::ShowTime);
    p.Integer("BackGroundColor", &T::BackGroundColor);
    p.Integer("BackGroundAlpha", &T::BackGroundAlpha);
  });
  return cls;
}

const TQelClass& TQelHint::ClassType() const { return StaticClass(); }

TRect TQelHint::HintArea() const {
  auto c = [](int64_t v) { return static_cast<int32_t>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX)); };
  const int64_t l = ScreenLeft, t = ScreenTop;
  if (!Picture.empty()) {
    int32_t w = 0, h = 0;
    PictureSize(Picture, w, h);
    return Rect(c(l), c(t + Height - h), c(l + Width), c(t + h));
  }
  return Rect(c(l - 16), c(t - 10), c(l + Width + 16), c(t + Height + 10));
}

void TQelHint::KeepAreaBeforeMove(bool across) {
  const TRect area = HintArea();
  if (!Changed) {
    OldRect = area;
    Changed = true;
  } else if (across) {
    OldRect.Left = std::min(OldRect.Left, area.Left);
    OldRect.Right = std::max(OldRect.Right, area.Right);
  } else {
    OldRect.Top = std::min(OldRect.Top, area.Top);
    OldRect.Bottom = std::max(OldRect.Bottom, area.Bottom);
  }
}

void TQelHint::SetLeft(int32_t value) {
  KeepAreaBeforeMove(true);
  Left = value;
  UpdateScreenPosition();
}

void TQelHint::SetTop(int32_t value) {
  KeepAreaBeforeMove(false);
  Top = value;
  UpdateScreenPosition();
}

void TQelHint::SetPicture(const std::string& value) {
  TQelRichLabel::SetPicture(value);
  if (!Picture.empty()) OldRect = HintArea();
}

void TQelHint::ShowHint() {
  if (Visible || FBlocks.empty()) return;
  FShowTick = GetTickCount();
  TQelInterfaceObject::SetVisible(true);
  OldRect = HintArea();
}

void TQelHint::HideHint() {
  // Through the setter, so that the area is reported and redrawn.
  TQelInterfaceObject::SetVisible(false);
  OldRect = HintArea();
}

void TQelHint::Animate(int32_t now) {
  if (Picture.empty() && !FBlocks.empty() && FFont)
    Height = static_cast<int32_t>(
        std::clamp<int64_t>(int64_t(FBlocks.back().Top) + TextShiftTop + FFont->Height, INT32_MIN, INT32_MAX));
  if (!Visible) return;
  // The end wraps as the 32-bit tick count does.
  const int32_t end = static_cast<int32_t>(static_cast<uint32_t>(FShowTick) + static_cast<uint32_t>(ShowTime));
  if (end >= 0 && now < end) return;
  HideHint();
}

void TQelHint::Draw() {
  if (Picture.empty()) {
    if (IQelGraphic* g = Graphic()) g->DrawRect("", HintArea(), BackGroundColor, BackGroundAlpha, true);
  }
  TQelRichLabel::Draw();
}

}  // namespace qv
