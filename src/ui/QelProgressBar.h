// The loading bar: copies of a step picture side by side, as many as the
// position's share of the bar's width holds.
#pragma once

#include <cstdint>
#include <string>

#include "ui/QelInterfaceClasses.h"

namespace qv {

// The number of step pictures for a position: its share of Max - Min of the
// steps that fit into `inner` pixels, never below 0 nor above the bar; 0 for
// a step width of 0 or Max equal to Min.
int32_t ProgressSteps(int32_t inner, int32_t stepWidth, int32_t position, int32_t min, int32_t max);

// Published in addition: BarPicture, BarShiftLeft, BarShiftTop, Min, Max,
// Position, StepWidth.
class TQelProgressBar : public TQelInterfaceObject {
 public:
  static const TQelClass& StaticClass();
  const TQelClass& ClassType() const override;

  void Assign(const TQelObject& source) override;
  void Draw() override;
  void SetPos(int32_t value);

  std::string BarPicture;
  int32_t BarShiftLeft = 0;
  int32_t BarShiftTop = 0;
  int32_t Min = 0;
  int32_t Max = 0;
  int32_t Position = 0;
  int32_t StepWidth = 0;
};

}  // namespace qv
