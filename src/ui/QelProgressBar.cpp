#include "ui/QelProgressBar.h"

#include <algorithm>

#include "foundation/Numeric.h"

namespace qv {

int32_t ProgressSteps(int32_t inner, int32_t stepWidth, int32_t position, int32_t min, int32_t max) {
  if (stepWidth == 0 || max == min) return 0;
  const double steps = double(inner) / stepWidth;
  const int32_t n = Round(steps * (double(position) - min) / (double(max) - min));
  // A position beyond Max would draw past the bar, and a huge one for ever.
  return std::clamp(n, 0, std::max(0, Round(steps)));
}

const TQelClass& TQelProgressBar::StaticClass() {
  using T = TQelProgressBar;
  static const TQelClass cls =
      TQelClass::Make<T>("TQelProgressBar", &TQelInterfaceObject::StaticClass(), [](TPropertyList& p) {
        p.String("BarPicture", &T::BarPicture);
        p.Integer("BarShiftLeft", &T::BarShiftLeft);
        p.Integer("BarShiftTop", &T::BarShiftTop);
        p.Integer("Min", &T::Min);
        p.Integer("Max", &T::Max);
        p.Integer("Position", &T::Position, &T::SetPos);
        p.Integer("StepWidth", &T::StepWidth);
      });
  return cls;
}

const TQelClass& TQelProgressBar::ClassType() const { return StaticClass(); }

void TQelProgressBar::Assign(const TQelObject& source) {
  TQelInterfaceObject::Assign(source);
  const auto* s = dynamic_cast<const TQelProgressBar*>(&source);
  if (!s) return;
  BarPicture = s->BarPicture;
  Min = s->Min;
  Max = s->Max;
  Position = s->Position;
  StepWidth = s->StepWidth;
  BarShiftLeft = s->BarShiftLeft;
  BarShiftTop = s->BarShiftTop;
}

void TQelProgressBar::SetPos(int32_t value) {
  Position = value;
  Invalidate();
}

void TQelProgressBar::Draw() {
  TQelInterfaceObject::Draw();
  IQelGraphic* g = Graphic();
  if (!g) return;
  const int32_t n = ProgressSteps(Width - 2 * BarShiftLeft, StepWidth, Position, Min, Max);
  for (int32_t k = 0; k < n; ++k)
    g->Draw(BarPicture, BumpMapPicture, BlendingMode, ScreenLeft + BarShiftLeft + k * StepWidth,
            ScreenTop + BarShiftTop, PictureAlpha, nullptr);
}

}  // namespace qv
