#include "ui/QelMoving.h"

namespace qv {

const TQelClass& TQelMoving::StaticClass() {
  static const TQelClass cls = TQelClass::Make<TQelMoving>("TQelMoving", &TQelInterfaceObject::StaticClass());
  return cls;
}

const TQelClass& TQelMoving::ClassType() const { return StaticClass(); }

void TQelMoving::SetPicture(const std::string& value) {
  TMovingPics strips = ParseMovingPics(value);
  PrepareMovingPics(strips, [this](const std::string& name, int32_t& w, int32_t& h) { PictureSize(name, w, h); });
  Picture = value;
  FStrips = std::move(strips);
  FHasCurrent = false;
  if (AutoSize == TAutoSizeType::asCaption) return;
  Invalidate();
  ApplyAutoSize();
  ApplyAlign();
  UpdateScreenPosition();
  AlignPicture();
}

void TQelMoving::Realign() { SetPicture(Picture); }

void TQelMoving::ApplyAutoSize() {
  if (AutoSize != TAutoSizeType::asPicture || FStrips.empty()) return;
  Width = FStrips.front().FrameWidth;
  Height = FStrips.front().FrameHeight;
}

void TQelMoving::AlignPicture() {
  if (FStrips.empty()) return;
  const TRect first = FStrips.front().Frame(0);
  switch (PictureHAlign) {
    case TPictureHAlignType::phaLeft: PictureLeft = 0; break;
    case TPictureHAlignType::phaCenter: PictureLeft = Width / 2 - (first.Right + 1) / 2; break;
    case TPictureHAlignType::phaRight: PictureLeft = Width - first.Right - 1; break;
  }
  switch (PictureVAlign) {
    case TPictureVAlignType::pvaTop: PictureTop = 0; break;
    case TPictureVAlignType::pvaCenter: PictureTop = Height / 2 - (first.Bottom + 1) / 2; break;
    case TPictureVAlignType::pvaBottom: PictureTop = Height - first.Bottom - 1; break;
  }
}

std::string TQelMoving::GetPictureList() const {
  std::string out;
  for (const TMovingPic& s : FStrips) {
    if (!out.empty()) out += "\r\n";
    out += s.Name;
  }
  return out;
}

void TQelMoving::Animate(int32_t now) {
  size_t strip = 0;
  int32_t frame = 0;
  if (!MovingFrameAt(FStrips, now, strip, frame)) return;
  FCurrent = FStrips[strip];
  FHasCurrent = true;
  FFrame = frame;
  Invalidate();
}

void TQelMoving::Draw() {
  IQelGraphic* g = Graphic();
  if (!g || FStrips.empty() || !FHasCurrent) return;
  const TRect frame = FCurrent.Frame(FFrame);
  g->Draw(FCurrent.Name, "", BlendingMode, ScreenLeft + PictureLeft, ScreenTop + PictureTop, 255, &frame);
}

}  // namespace qv
