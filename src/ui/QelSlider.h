// A track bar: a draggable bar picture on a track picture, page steps on the
// track, two step buttons, and OnChange when the position changes. Linked to
// a grid it works as the grid's scroll bar.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "ui/QelInterfaceClasses.h"
#include "ui/QelLabel.h"

namespace qv {

class TQelGrid;

enum TTrackBarOrientation : uint8_t { trHorizontal, trVertical };
const std::vector<std::string>& TrackBarOrientationNames();

// The bar's offset along the track from its start: the position's share of
// the travel left beside the bar and the two margins, rounded half to even;
// 0 when Max equals Min.
int32_t SliderBarOffset(int32_t position, int32_t min, int32_t max, int32_t trackSize, int32_t barSize,
                        int32_t margin);
// The position a drag to `pointer` (pixels from the track's start) gives:
// rounded to the nearest position and snapped to a multiple of step counted
// from 0. A step of 0 counts as 1; with Max equal to Min, or no travel, the
// drag gives nothing (false).
bool SliderDragPosition(int32_t pointer, int32_t min, int32_t max, int32_t step, int32_t trackSize, int32_t barSize,
                        int32_t margin, int32_t& position);

// Published in addition: LinkedObjectName, BarPicture, BarShiftLeft,
// BarShiftTop, MouseOverBarPicture, Max, Min, Step, BigStep, Orientation,
// Position, UpPicture, UpMouseOverPicture, UpMouseDownPicture, DownPicture,
// DownMouseOverPicture, DownMouseDownPicture, ButtonsSound, OnChange.
class TQelSlider : public TQelInterfaceObject {
 public:
  TQelSlider();
  ~TQelSlider() override;

  static const TQelClass& StaticClass();
  const TQelClass& ClassType() const override;

  void Assign(const TQelObject& source) override;
  void SetWidth(int32_t value) override;
  void Realign() override;
  std::string GetPictureList() const override;
  void MouseDown(TMouseButton button, TShiftState shift, int32_t x, int32_t y) override;
  void MouseMove(TShiftState shift, int32_t x, int32_t y) override;
  void MouseUp(TMouseButton button, TShiftState shift, int32_t x, int32_t y) override;
  void Draw() override;

  // Clamps to Min..Max, queues OnChange when the value changed and moves a
  // linked grid's selection.
  void SetPos(int32_t value);
  void SetMax(int32_t value);
  void SetOrientation(TTrackBarOrientation value);
  void SetLinkedObjectName(const std::string& value);
  // The grid side of the link (the grid's own LinkedObjectName setter).
  void LinkToGrid(TQelGrid* grid);
  TQelGrid* LinkedGrid() const;
  int32_t BarOffset() const;

  std::string GetUpPicture() const;
  void SetUpPicture(const std::string& value);
  std::string GetUpMouseOverPicture() const;
  void SetUpMouseOverPicture(const std::string& value);
  std::string GetUpMouseDownPicture() const;
  void SetUpMouseDownPicture(const std::string& value);
  std::string GetDownPicture() const;
  void SetDownPicture(const std::string& value);
  std::string GetDownMouseOverPicture() const;
  void SetDownMouseOverPicture(const std::string& value);
  std::string GetDownMouseDownPicture() const;
  void SetDownMouseDownPicture(const std::string& value);

  TQelLabel& UpButton() { return *FUp; }
  TQelLabel& DownButton() { return *FDown; }
  bool Dragging() const { return FDragging; }

  std::string LinkedObjectName;
  std::string BarPicture;
  int32_t BarShiftLeft = 0;
  int32_t BarShiftTop = 0;
  std::string MouseOverBarPicture;
  int32_t Max = 0;
  int32_t Min = 0;
  int32_t Step = 0;
  int32_t BigStep = 0;
  TTrackBarOrientation Orientation = trHorizontal;
  int32_t Position = 0;
  std::string ButtonsSound;
  std::string OnChange;

 private:
  void LayoutButtons();
  std::unique_ptr<TQelLabel> FUp;
  std::unique_ptr<TQelLabel> FDown;
  // The linked grid's name, looked up when used, so a deleted grid is never
  // reached through a stale link.
  std::string FGridName;
  bool FDragging = false;
  bool FMouseOver = false;
};

}  // namespace qv
