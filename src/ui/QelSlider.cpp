#include "ui/QelSlider.h"

#include <algorithm>
#include <climits>

#include "foundation/Numeric.h"
#include "ui/QelGrid.h"
#include "ui/QelInterfaceEngine.h"

namespace qv {

namespace {

int32_t Clamp32(int64_t v) { return static_cast<int32_t>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX)); }

}  // namespace

const std::vector<std::string>& TrackBarOrientationNames() {
  static const std::vector<std::string> names{"trHorizontal", "trVertical"};
  return names;
}

int32_t SliderBarOffset(int32_t position, int32_t min, int32_t max, int32_t trackSize, int32_t barSize,
                        int32_t margin) {
  if (max == min) return 0;
  const double share = (double(position) - min) / (double(max) - min);
  const double travel = double(trackSize) - 2.0 * margin - barSize;
  return Clamp32(int64_t(Round(share * travel)) + margin);
}

bool SliderDragPosition(int32_t pointer, int32_t min, int32_t max, int32_t step, int32_t trackSize, int32_t barSize,
                        int32_t margin, int32_t& position) {
  const double travel = double(trackSize) - barSize - 2.0 * margin;
  if (max == min || travel == 0) return false;
  const double perUnit = travel / (double(max) - min);
  const int64_t v = int64_t(Round((double(pointer) - barSize / 2 - margin) / perUnit)) + min;
  // Snapped to multiples of the step counted from 0; a step of 0 would
  // divide by zero and counts as 1.
  const int64_t s = step == 0 ? 1 : step;
  position = Clamp32(int64_t(Round(double(v) / double(s))) * s);
  return true;
}

TQelSlider::TQelSlider() : FUp(std::make_unique<TQelLabel>()), FDown(std::make_unique<TQelLabel>()) {}

TQelSlider::~TQelSlider() = default;

const TQelClass& TQelSlider::StaticClass() {
  using T = TQelSlider;
  static const TQelClass cls = TQelClass::Make<T>("TQelSlider", &TQelInterfaceObject::StaticClass(), [](TPropertyList& p) {
    p.String("LinkedObjectName", &T::LinkedObjectName, &T::SetLinkedObjectName);
    p.String("BarPicture", &T::BarPicture);
    p.Integer("BarShiftLeft", &T::BarShiftLeft);
    p.Integer("BarShiftTop", &T::BarShiftTop);
    p.String("MouseOverBarPicture", &T::MouseOverBarPicture);
    p.Integer("Max", &T::Max, &T::SetMax);
    p.Integer("Min", &T::Min);
    p.Integer("Step", &T::Step);
    p.Integer("BigStep", &T::BigStep);
    p.Enum("Orientation", &T::Orientation, &T::SetOrientation, TrackBarOrientationNames());
    p.Integer("Position", &T::Position, &T::SetPos);
    p.String("UpPicture", &T::GetUpPicture, &T::SetUpPicture);
    p.String("UpMouseOverPicture", &T::GetUpMouseOverPicture, &T::SetUpMouseOverPicture);
    p.String("UpMouseDownPicture", &T::GetUpMouseDownPicture, &T::SetUpMouseDownPicture);
    p.String("DownPicture", &T::GetDownPicture, &T::SetDownPicture);
    p.String("DownMouseOverPicture", &T::GetDownMouseOverPicture, &T::SetDownMouseOverPicture);
    p.String("DownMouseDownPicture", &T::GetDownMouseDownPicture, &T::SetDownMouseDownPicture);
    p.String("ButtonsSound", &T::ButtonsSound);
    p.String("OnChange", &T::OnChange);
  });
  return cls;
}

const TQelClass& TQelSlider::ClassType() const { return StaticClass(); }

void TQelSlider::Assign(const TQelObject& source) {
  TQelInterfaceObject::Assign(source);
  const auto* s = dynamic_cast<const TQelSlider*>(&source);
  if (!s) return;
  Orientation = s->Orientation;
  Position = s->Position;
  Max = s->Max;
  Min = s->Min;
  Step = s->Step;
  BigStep = s->BigStep;
  MouseOverBarPicture = s->MouseOverBarPicture;
  BarPicture = s->BarPicture;
}

std::string TQelSlider::GetPictureList() const {
  std::string out;
  for (const std::string* name : {&Picture, &MouseOverBarPicture, &BarPicture}) {
    if (name->empty()) continue;
    if (!out.empty()) out += "\r\n";
    out += *name;
  }
  return out;
}

TQelGrid* TQelSlider::LinkedGrid() const {
  if (FGridName.empty() || !GetEngine()) return nullptr;
  return dynamic_cast<TQelGrid*>(GetEngine()->FindObject(FGridName));
}

void TQelSlider::LinkToGrid(TQelGrid* grid) { FGridName = grid ? grid->Name() : std::string(); }

void TQelSlider::SetLinkedObjectName(const std::string& value) {
  LinkedObjectName = value;
  if (!GetEngine()) return;
  auto* grid = dynamic_cast<TQelGrid*>(GetEngine()->FindObject(value));
  if (!grid) return;
  FGridName = grid->Name();
  grid->LinkToSlider(this);
  grid->LinkedObjectName = Name();
  Max = grid->DataRows() - 1;
}

void TQelSlider::SetMax(int32_t value) {
  TQelGrid* grid = LinkedGrid();
  Max = grid ? grid->DataRows() - 1 : value;
  Invalidate();
}

void TQelSlider::SetPos(int32_t value) {
  const int32_t old = Position;
  int32_t v = value;
  if (v < Min) v = Min;
  if (v > Max) v = Max;
  Position = v;
  if (v != old) QueueScript(OnChange, "");
  if (TQelGrid* grid = LinkedGrid()) grid->SetPos(v);
  Invalidate();
}

void TQelSlider::SetOrientation(TTrackBarOrientation value) {
  Orientation = value;
  LayoutButtons();
  Invalidate();
}

void TQelSlider::SetWidth(int32_t value) {
  TQelInterfaceObject::SetWidth(value);
  LayoutButtons();
  Invalidate();
}

void TQelSlider::Realign() {
  TQelInterfaceObject::Realign();
  LayoutButtons();
}

std::string TQelSlider::GetUpPicture() const { return FUp->Picture; }
std::string TQelSlider::GetUpMouseOverPicture() const { return FUp->MouseOverPicture; }
std::string TQelSlider::GetUpMouseDownPicture() const { return FUp->MouseDownPicture; }
std::string TQelSlider::GetDownPicture() const { return FDown->Picture; }
std::string TQelSlider::GetDownMouseOverPicture() const { return FDown->MouseOverPicture; }
std::string TQelSlider::GetDownMouseDownPicture() const { return FDown->MouseDownPicture; }

void TQelSlider::SetUpPicture(const std::string& value) {
  FUp->Picture = value;
  LayoutButtons();
  Invalidate();
}

void TQelSlider::SetUpMouseOverPicture(const std::string& value) {
  FUp->MouseOverPicture = value;
  Invalidate();
}

void TQelSlider::SetUpMouseDownPicture(const std::string& value) {
  FUp->MouseDownPicture = value;
  Invalidate();
}

void TQelSlider::SetDownPicture(const std::string& value) {
  FDown->Picture = value;
  LayoutButtons();
  Invalidate();
}

void TQelSlider::SetDownMouseOverPicture(const std::string& value) { FDown->MouseOverPicture = value; }

void TQelSlider::SetDownMouseDownPicture(const std::string& value) { FDown->MouseDownPicture = value; }

void TQelSlider::LayoutButtons() {
  int32_t bw = 0, bh = 0, dw = 0, dh = 0;
  PictureSize(FUp->Picture, bw, bh);
  PictureSize(FDown->Picture, dw, dh);
  for (TQelLabel* b : {FUp.get(), FDown.get()}) {
    b->SetEngine(GetEngine());
    b->PictureAlpha = PictureAlpha;
  }
  FUp->Width = bw;
  FUp->Height = bh;
  FDown->Width = dw;
  FDown->Height = dh;
  if (Orientation == trVertical) {
    FUp->ScreenLeft = ScreenLeft + (Width - bw) / 2;
    FUp->ScreenTop = ScreenTop;
    FDown->ScreenLeft = ScreenLeft + (Width - bw) / 2;
    FDown->ScreenTop = ScreenTop + Height - dh;
  } else {
    FUp->ScreenLeft = ScreenLeft;
    FUp->ScreenTop = ScreenTop + (Height - bh) / 2;
    FDown->ScreenLeft = ScreenLeft + Width - dw;
    FDown->ScreenTop = ScreenTop + (Height - dh) / 2;
  }
}

int32_t TQelSlider::BarOffset() const {
  int32_t pw = 0, ph = 0, sw = 0, sh = 0;
  PictureSize(Picture, pw, ph);
  PictureSize(BarPicture, sw, sh);
  return Orientation == trVertical ? SliderBarOffset(Position, Min, Max, ph, sh, BarShiftTop)
                                   : SliderBarOffset(Position, Min, Max, pw, sw, BarShiftLeft);
}

void TQelSlider::Draw() {
  TQelInterfaceObject::Draw();
  IQelGraphic* g = Graphic();
  if (!g) return;
  int32_t sw = 0, sh = 0;
  PictureSize(BarPicture, sw, sh);
  const std::string& bar = FMouseOver ? MouseOverBarPicture : BarPicture;
  const int32_t o = BarOffset();
  if (Orientation == trVertical)
    g->Draw(bar, BumpMapPicture, BlendingMode, ScreenLeft + BarShiftLeft + (Width - sw) / 2, ScreenTop + PictureTop + o,
            PictureAlpha, nullptr);
  else
    g->Draw(bar, BumpMapPicture, BlendingMode, ScreenLeft + PictureLeft + o, ScreenTop + BarShiftTop + (Height - sh) / 2,
            PictureAlpha, nullptr);
  if (!FUp->Picture.empty()) FUp->Draw();
  if (!FDown->Picture.empty()) FDown->Draw();
}

void TQelSlider::MouseDown(TMouseButton button, TShiftState shift, int32_t x, int32_t y) {
  FDragging = false;
  FUp->SetPressedState(false);
  FDown->SetPressedState(false);
  if (!Contains(x, y)) return;
  if (shift & ssLeft) {
    FUp->MouseDown(button, shift, x, y);
    FDown->MouseDown(button, shift, x, y);
  }
  int32_t pw = 0, ph = 0, sw = 0, sh = 0, bw = 0, bh = 0;
  PictureSize(Picture, pw, ph);
  PictureSize(BarPicture, sw, sh);
  PictureSize(FUp->Picture, bw, bh);
  const bool vertical = Orientation == trVertical;
  // Along the slider's direction: pointer, track start, margin, sizes.
  const int64_t p = vertical ? y : x;
  const int64_t start = vertical ? int64_t(ScreenTop) + PictureTop : int64_t(ScreenLeft) + PictureLeft;
  const int64_t margin = vertical ? BarShiftTop : BarShiftLeft;
  const int64_t track = vertical ? ph : pw;
  const int64_t bar = vertical ? sh : sw;
  const int64_t buttonSize = vertical ? bh : bw;
  const int64_t edge = vertical ? ScreenTop : ScreenLeft;
  const int64_t size = vertical ? Height : Width;
  const int64_t o = BarOffset();
  if (start + o <= p && p <= start + o + bar) {
    FDragging = true;
  } else {
    if (start + margin <= p && p < start + o) SetPos(Clamp32(int64_t(Position) - BigStep));
    if (start + track - margin >= p && p > start + o + bar) SetPos(Clamp32(int64_t(Position) + BigStep));
    if (edge <= p && p <= edge + buttonSize) SetPos(Clamp32(int64_t(Position) - Step));
    if (edge + size - buttonSize < p && p < edge + size) SetPos(Clamp32(int64_t(Position) + Step));
  }
  Invalidate();
}

void TQelSlider::MouseMove(TShiftState shift, int32_t x, int32_t y) {
  FUp->SetMouseOverState(false);
  FDown->SetMouseOverState(false);
  if (!FDragging && !Contains(x, y)) {
    if (FMouseOver) Invalidate();
    FMouseOver = false;
    return;
  }
  FMouseOver = true;
  FUp->MouseMove(shift, x, y);
  FDown->MouseMove(shift, x, y);
  if (FDragging && (shift & ssLeft) && Max != Min) {
    int32_t pw = 0, ph = 0, sw = 0, sh = 0;
    PictureSize(Picture, pw, ph);
    PictureSize(BarPicture, sw, sh);
    int32_t v = 0;
    const bool moved =
        Orientation == trVertical
            ? SliderDragPosition(Clamp32(int64_t(y) - ScreenTop - PictureTop), Min, Max, Step, ph, sh, BarShiftTop, v)
            : SliderDragPosition(Clamp32(int64_t(x) - ScreenLeft - PictureLeft), Min, Max, Step, pw, sw, BarShiftLeft,
                                 v);
    if (moved) SetPos(v);
  }
  Invalidate();
}

void TQelSlider::MouseUp(TMouseButton, TShiftState, int32_t, int32_t) {
  FDragging = false;
  FUp->SetPressedState(false);
  FDown->SetPressedState(false);
  Invalidate();
}

}  // namespace qv
