#include "ui/QelRadioButton.h"

namespace qv {

const TQelClass& TQelRadioButton::StaticClass() {
  using T = TQelRadioButton;
  static const TQelClass cls = TQelClass::Make<T>("TQelRadioButton", &TQelLabel::StaticClass(), [](TPropertyList& p) {
    p.Integer("CheckedColor", &T::CheckedColor);
    p.Enum("BoxPlace", &T::BoxPlace, BoxPlaceNames());
    p.Bool("Checked", &T::Checked, &T::SetChecked);
    p.Integer("RadioGroup", &T::RadioGroup);
  });
  return cls;
}

const TQelClass& TQelRadioButton::ClassType() const { return StaticClass(); }

void TQelRadioButton::Assign(const TQelObject& source) {
  TQelLabel::Assign(source);
  if (const auto* s = dynamic_cast<const TQelRadioButton*>(&source)) {
    CheckedColor = s->CheckedColor;
    BoxPlace = s->BoxPlace;
    RadioGroup = s->RadioGroup;
  }
}

int32_t TQelRadioButton::GetTextWidth() const { return WidthBesideBox(); }

void TQelRadioButton::UpdateTextBlocks() {
  TQelLabel::UpdateTextBlocks();
  for (TTextBlock& b : FTextBlocks) b.CheckedColor = CheckedColor;
}

void TQelRadioButton::SetChecked(bool value) {
  // Only buttons of exactly this class in the same window take part.
  if (value) {
    if (TQelForm* form = ParentForm()) {
      for (TQelInterfaceObject* child : form->ChildList) {
        if (child == nullptr || child->ClassName() != "TQelRadioButton") continue;
        auto* radio = static_cast<TQelRadioButton*>(child);
        if (radio->RadioGroup != RadioGroup || !radio->Checked) continue;
        radio->Checked = false;
        radio->Invalidate();
      }
    }
  }
  Checked = value;
  Invalidate();
}

void TQelRadioButton::Draw() {
  const uint32_t color = Checked ? CheckedColor : FMouseOver ? MouseOverColor : Color;
  DrawBoxAndText(Checked ? MouseDownPicture : Picture, BoxPlace, color);
}

void TQelRadioButton::MouseDown(TMouseButton button, TShiftState, int32_t x, int32_t y) {
  if (Checked) return;
  FPressed = false;
  if (button != TMouseButton::mbLeft || !Inside(x, y)) return;
  FPressed = true;
  QueueScript(OnMouseDown, SoundMouseDown);
  Invalidate();
}

void TQelRadioButton::MouseUp(TMouseButton button, TShiftState, int32_t x, int32_t y) {
  if (Checked || !Inside(x, y) || button != TMouseButton::mbLeft || !FPressed) return;
  SetChecked(true);
  QueueScript(OnMouseUp, SoundMouseUp);
  Invalidate();
}

}  // namespace qv
