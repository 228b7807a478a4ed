#include "ui/QelCheckBox.h"

namespace qv {

const TQelClass& TQelCheckBox::StaticClass() {
  using T = TQelCheckBox;
  static const TQelClass cls = TQelClass::Make<T>("TQelCheckBox", &TQelLabel::StaticClass(), [](TPropertyList& p) {
    p.Enum("BoxPlace", &T::BoxPlace, BoxPlaceNames());
    p.Bool("Checked", &T::Checked);
  });
  return cls;
}

const TQelClass& TQelCheckBox::ClassType() const { return StaticClass(); }

void TQelCheckBox::Assign(const TQelObject& source) {
  TQelLabel::Assign(source);
  if (const auto* s = dynamic_cast<const TQelCheckBox*>(&source)) BoxPlace = s->BoxPlace;
}

int32_t TQelCheckBox::GetTextWidth() const { return WidthBesideBox(); }

void TQelCheckBox::Draw() {
  DrawBoxAndText(Checked ? MouseDownPicture : Picture, BoxPlace, FMouseOver ? MouseOverColor : Color);
}

void TQelCheckBox::MouseDown(TMouseButton button, TShiftState, int32_t x, int32_t y) {
  FPressed = false;
  if (button != TMouseButton::mbLeft || !Inside(x, y)) return;
  FPressed = true;
  QueueScript(OnMouseDown, SoundMouseDown);
  Invalidate();
}

void TQelCheckBox::MouseUp(TMouseButton button, TShiftState, int32_t x, int32_t y) {
  if (!Inside(x, y) || button != TMouseButton::mbLeft || !FPressed) return;
  Checked = !Checked;
  QueueScript(OnMouseUp, SoundMouseUp);
  Invalidate();
}

}  // namespace qv
