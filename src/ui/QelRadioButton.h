// A label with a box picture that belongs to a numbered group of its window:
// checking one unchecks the others of the group; a checked button ignores
// clicks. Picture is the empty box, MouseDownPicture the checked one.
#pragma once

#include "ui/QelLabel.h"

namespace qv {

// Published in addition: CheckedColor, BoxPlace, Checked, RadioGroup.
class TQelRadioButton : public TQelLabel {
 public:
  static const TQelClass& StaticClass();
  const TQelClass& ClassType() const override;

  void Assign(const TQelObject& source) override;
  void Draw() override;
  // The width beside the empty box.
  int32_t GetTextWidth() const override;
  void UpdateTextBlocks() override;
  void MouseDown(TMouseButton button, TShiftState shift, int32_t x, int32_t y) override;
  void MouseUp(TMouseButton button, TShiftState shift, int32_t x, int32_t y) override;

  // Checking unchecks every radio button of the same group in the window.
  void SetChecked(bool value);

  uint32_t CheckedColor = 0;
  TBoxPlace BoxPlace = bpLeft;
  bool Checked = false;
  int32_t RadioGroup = 0;
};

}  // namespace qv
