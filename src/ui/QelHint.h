// A tooltip: a rich label shown for ShowTime milliseconds, over a background
// rectangle of its own colour when it has no picture, sized to its text.
#pragma once

#include "ui/QelRichLabel.h"

namespace qv {

// Published in addition: ShowTime, BackGroundColor, BackGroundAlpha.
class TQelHint : public TQelRichLabel {
 public:
  static const TQelClass& StaticClass();
  const TQelClass& ClassType() const override;

  // Move without alignment checks; the area left behind is kept for redraw.
  void SetLeft(int32_t value) override;
  void SetTop(int32_t value) override;
  void SetPicture(const std::string& value) override;
  void Draw() override;
  // Fits the height to the text and hides the hint once its time is up.
  void Animate(int32_t now) override;

  // Shows a hidden hint that has text and starts its time.
  void ShowHint();
  void HideHint();
  // The screen area the hint covers: with a picture the picture's, else the
  // text's with a margin of 16 across and 10 down.
  TRect HintArea() const;

  int32_t ShowTime = 0;
  uint32_t BackGroundColor = 0;
  uint8_t BackGroundAlpha = 0;

 private:
  // Widens OldRect to also cover the area before a move.
  void KeepAreaBeforeMove(bool across);
  int32_t FShowTick = 0;
};

}  // namespace qv
