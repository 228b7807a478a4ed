#include "game/BeltPath.h"

#include <algorithm>
#include <cmath>

#include "effects/QelFXBase.h"
#include "foundation/Numeric.h"

namespace qv {

namespace {
constexpr double kFarAway = 1000000.0;
}  // namespace

void TMorphDeleter::operator()(fx::TQelMorph* morph) const { delete morph; }

TBeltPathInfo MakeBeltPath(std::string_view script) {
  TBeltPathInfo info;
  info.Path.reset(new fx::TQelMorph());
  info.Path->SetDim(2);
  info.Path->AddPiecewiseFunc("Lenta", script, 1.0f);
  if (const auto* f = dynamic_cast<const fx::TQelPiecewiseFunc*>(info.Path->GetFunc(0))) {
    info.TotalLength = f->TotalLength;
    info.TotalDuration = f->TotalDuration;
  }
  return info;
}

bool BeltPathPoint(const TFishkaLenta& belt, int32_t age, double& x, double& y) {
  if (!belt.Path) return false;
  const fx::TVector3 v = belt.Path->GetValue2D(age);
  // A path far off the screen is held within a range where card rectangles
  // cannot overflow the screen arithmetic.
  x = std::isnan(v.x) ? 0.0 : std::clamp(static_cast<double>(v.x), -kFarAway, kFarAway);
  y = std::isnan(v.y) ? 0.0 : std::clamp(static_cast<double>(v.y), -kFarAway, kFarAway);
  return true;
}

int32_t BeltCardSpacing(const TFishkaLenta& belt) {
  if (belt.PathLength <= 0) return 0;
  return Round(static_cast<double>(belt.PathTime) / belt.PathLength * 52.0 / 2.0);
}

}  // namespace qv
