// A label with a box picture beside its text: Picture is the empty box,
// MouseDownPicture the checked one; a click toggles Checked.
#pragma once

#include "ui/QelLabel.h"

namespace qv {

// Published in addition: BoxPlace, Checked.
class TQelCheckBox : public TQelLabel {
 public:
  static const TQelClass& StaticClass();
  const TQelClass& ClassType() const override;

  void Assign(const TQelObject& source) override;
  void Draw() override;
  // The width beside the empty box.
  int32_t GetTextWidth() const override;
  void MouseDown(TMouseButton button, TShiftState shift, int32_t x, int32_t y) override;
  void MouseUp(TMouseButton button, TShiftState shift, int32_t x, int32_t y) override;

  TBoxPlace BoxPlace = bpLeft;
  bool Checked = false;
};

}  // namespace qv
