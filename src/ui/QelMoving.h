// Frame animations from horizontal picture strips: Picture holds the strips'
// description (QelMovingPics.h) and the window's animation step advances
// the frame from the tick count.
#pragma once

#include <string>

#include "ui/QelInterfaceClasses.h"
#include "ui/QelMovingPics.h"

namespace qv {

// No published properties of its own.
class TQelMoving : public TQelInterfaceObject {
 public:
  static const TQelClass& StaticClass();
  const TQelClass& ClassType() const override;

  // Reads the strips; a number that does not parse raises EConvertError and
  // keeps the strips and the description as they were.
  void SetPicture(const std::string& value) override;
  void Realign() override;
  // With asPicture the first strip's frame size.
  void ApplyAutoSize() override;
  // Places the first frame.
  void AlignPicture() override;
  std::string GetPictureList() const override;
  void Animate(int32_t now) override;
  void Draw() override;

  const TMovingPics& Strips() const { return FStrips; }
  // The strip showing and its frame; none before the first animation step.
  const TMovingPic* CurrentStrip() const { return FHasCurrent ? &FCurrent : nullptr; }
  int32_t CurrentFrame() const { return FFrame; }

 private:
  TMovingPics FStrips;
  TMovingPic FCurrent;
  bool FHasCurrent = false;
  int32_t FFrame = 0;
};

}  // namespace qv
