#include "ui/QelLabel.h"

#include <algorithm>
#include <climits>

#include "foundation/StrUtils.h"
#include "ui/QelFontEngine.h"
#include "ui/QelInterfaceEngine.h"

namespace qv {

TQelLabel::TQelLabel() : FontName("QelUnicode") {}

const TQelClass& TQelLabel::StaticClass() {
  using T = TQelLabel;
  static const TQelClass cls = TQelClass::Make<T>("TQelLabel", &TQelInterfaceObject::StaticClass(), [](TPropertyList& p) {
    p.String("MouseOverPicture", &T::MouseOverPicture);
    p.String("MouseDownPicture", &T::MouseDownPicture);
    p.String("MouseDownBumpMapPicture", &T::MouseDownBumpMapPicture);
    p.String("FontName", &T::FontName, &T::SetFontName);
    p.String("Caption", &T::GetCaption, &T::SetCaption);
    p.Integer("Alpha", &T::Alpha, &T::SetAlpha);
    p.Integer("Color", &T::Color);
    p.Integer("MouseOverColor", &T::MouseOverColor);
    p.Enum("Alignment", &T::Alignment, &T::SetAlignment, TextAlignmentNames());
    p.Enum("Layout", &T::Layout, &T::SetLayout, TextLayoutNames());
    p.Integer("TextShiftLeft", &T::TextShiftLeft, &T::SetTextShiftLeft);
    p.Integer("TextShiftTop", &T::TextShiftTop, &T::SetTextShiftTop);
    p.Integer("LineSpace", &T::LineSpace, &T::SetLineSpace);
    p.Integer("TextDownShiftLeft", &T::TextDownShiftLeft);
    p.Integer("TextDownShiftTop", &T::TextDownShiftTop);
    p.Bool("Floating", &T::Floating, &T::SetFloating);
    p.Integer("CharShiftAngle", &T::CharShiftAngle, &T::SetCharShiftAngle);
  });
  return cls;
}

const TQelClass& TQelLabel::ClassType() const { return StaticClass(); }

void TQelLabel::Assign(const TQelObject& source) {
  TQelInterfaceObject::Assign(source);
  const auto* s = dynamic_cast<const TQelLabel*>(&source);
  if (!s) return;
  FPressed = s->FPressed;
  FMouseOver = s->FMouseOver;
  MouseOverPicture = s->MouseOverPicture;
  MouseDownPicture = s->MouseDownPicture;
  SetFontName(s->FontName);
  Alpha = s->Alpha;
  Color = s->Color;
  MouseOverColor = s->MouseOverColor;
  Alignment = s->Alignment;
  Layout = s->Layout;
  TextShiftLeft = s->TextShiftLeft;
  TextShiftTop = s->TextShiftTop;
  LineSpace = s->LineSpace;
  TextDownShiftLeft = s->TextDownShiftLeft;
  TextDownShiftTop = s->TextDownShiftTop;
  SetCaption(s->GetCaption());
}

bool TQelLabel::ResolveFont() {
  FFont = nullptr;
  TQelInterfaceEngine* engine = GetInterfaceEngine();
  if (engine && engine->FontEngine) FFont = engine->FontEngine->FindFont(FontName);
  return FFont != nullptr;
}

void TQelLabel::SetCaption(const std::string& value) {
  FCaption = Utf8ToUtf16(value);
  if (Width > 0 && Height > 0) {
    SplitCaption();
    PlaceTextBlocks();
    Invalidate();
  }
}

std::string TQelLabel::GetCaption() const { return Utf16ToUtf8(FCaption); }

void TQelLabel::SetFontName(const std::string& value) {
  FontName = value;
  ResolveFont();
  if (Width > 0 && Height > 0) {
    SplitCaption();
    PlaceTextBlocks();
  }
}

void TQelLabel::SetPicture(const std::string& value) {
  TQelInterfaceObject::SetPicture(value);
  if (Width > 0 && Height > 0) {
    SplitCaption();
    PlaceTextBlocks();
    Invalidate();
  }
}

void TQelLabel::SetWidth(int32_t value) {
  TQelInterfaceObject::SetWidth(value);
  SplitCaption();
  PlaceTextBlocks();
  Invalidate();
}

void TQelLabel::Realign() {
  TQelInterfaceObject::Realign();
  SplitCaption();
  PlaceTextBlocks();
}

void TQelLabel::SetAlignment(TTextAlignment value) {
  Alignment = value;
  PlaceTextBlocks();
  Invalidate();
}

void TQelLabel::SetLayout(TTextLayout value) {
  Layout = value;
  PlaceTextBlocks();
  Invalidate();
}

void TQelLabel::SetTextShiftLeft(int32_t value) {
  TextShiftLeft = value;
  PlaceTextBlocks();
  Invalidate();
}

void TQelLabel::SetTextShiftTop(int32_t value) {
  TextShiftTop = value;
  PlaceTextBlocks();
  Invalidate();
}

void TQelLabel::SetLineSpace(int32_t value) {
  LineSpace = value;
  PlaceTextBlocks();
  Invalidate();
}

void TQelLabel::SetAlpha(uint8_t value) {
  Alpha = value;
  Invalidate();
}

void TQelLabel::SetCharShiftAngle(int32_t value) {
  CharShiftAngle = value;
  Invalidate();
}

void TQelLabel::SetFloating(bool value) {
  Floating = value;
  Realign();
}

int32_t TQelLabel::GetTextWidth() const { return Width; }

std::string TQelLabel::GetPictureList() const {
  std::string out;
  for (const std::string* name : {&Picture, &MouseOverPicture, &MouseDownPicture}) {
    if (name->empty()) continue;
    if (!out.empty()) out += "\r\n";
    out += *name;
  }
  return out;
}

void TQelLabel::SplitCaption() {
  if (!FFont) {
    if (!FontName.empty()) ResolveFont();
    return;
  }
  FTextBlocks.clear();
  TFloatArea area;
  area.Floating = Floating;
  area.PictureWidth = PictureWidth;
  if (!Picture.empty()) {
    int32_t w = 0, h = 0;
    PictureSize(Picture, w, h);
    area.Top = PictureTop;
    area.Bottom = PictureTop + h;
  }
  if (FCaption.empty() || FontName.empty() || Width == 0 || Height == 0) return;
  FTextBlocks = SplitLabelText(PrepareLabelText(FCaption), TFontMeasure(*FFont), GetTextWidth(), area);
}

void TQelLabel::PlaceTextBlocks() {
  if (!FFont && !ResolveFont()) return;
  TBlockPlacement place;
  place.Alignment = Alignment;
  place.Layout = Layout;
  place.Available = GetTextWidth();
  place.Height = Height;
  place.ShiftLeft = TextShiftLeft;
  place.ShiftTop = TextShiftTop;
  place.LineSpace = LineSpace;
  place.FloatShift = Floating && PictureHAlign == TPictureHAlignType::phaLeft ? PictureWidth : 0;
  PlaceLabelBlocks(FTextBlocks, FFont->Height, place);
}

void TQelLabel::UpdateTextBlocks() {
  for (TTextBlock& b : FTextBlocks) {
    b.Color = Color;
    b.MouseOverColor = MouseOverColor;
    b.Alpha = Alpha;
    b.FontName = FontName;
  }
}

void TQelLabel::MouseDown(TMouseButton button, TShiftState, int32_t x, int32_t y) {
  if (button != TMouseButton::mbLeft || !Inside(x, y)) return;
  QueueScript(OnMouseDown, SoundMouseDown);
  FPressed = true;
  Invalidate();
  CurrentBumpMap = MouseDownBumpMapPicture;
  if (TQelInterfaceEngine* engine = GetInterfaceEngine()) engine->Changed = true;
}

void TQelLabel::MouseMove(TShiftState, int32_t x, int32_t y) {
  if (FMouseOver) {
    FMouseOver = false;
    Invalidate();
  }
  if (Inside(x, y)) {
    QueueScript(OnMouseMove, SoundMouseMove);
    FMouseOver = true;
    Invalidate();
  }
}

void TQelLabel::MouseUp(TMouseButton button, TShiftState, int32_t x, int32_t y) {
  if (button != TMouseButton::mbLeft || !FPressed) return;
  FPressed = false;
  if (!Inside(x, y)) return;
  QueueScript(OnMouseUp, SoundMouseUp);
  Invalidate();
  CurrentBumpMap = BumpMapPicture;
  if (TQelInterfaceEngine* engine = GetInterfaceEngine()) engine->Changed = true;
}

void TQelLabel::DrawBlock(const TTextBlock& block, int32_t x, int32_t y, uint32_t color, bool justify,
                          int32_t available, bool slant) const {
  const TFontMeasure measure(*FFont);
  if (justify) {
    const std::vector<int32_t> xs =
        JustifiedCharX(block.Text, measure, available - block.Width, block.SpaceCount);
    for (size_t k = 0; k < block.Text.size(); ++k)
      FFont->TextOut(x + xs[k], y, color, Alpha, std::u16string_view(block.Text).substr(k, 1));
  } else if (slant) {
    const std::vector<TCharOffset> offsets = SlantedCharOffsets(block.Text, measure, block.Left, CharShiftAngle);
    for (size_t k = 0; k < block.Text.size(); ++k)
      FFont->TextOut(x + offsets[k].X, y + offsets[k].Y, color, Alpha, std::u16string_view(block.Text).substr(k, 1));
  } else {
    FFont->TextOut(x, y, color, Alpha, block.Text);
  }
}

void TQelLabel::DrawBlocks(uint32_t color, int32_t offsetX, int32_t offsetY, bool slant, bool floatReduce) const {
  if (!FFont) return;
  for (size_t i = 0; i < FTextBlocks.size(); ++i) {
    const TTextBlock& b = FTextBlocks[i];
    const bool justify = Alignment == taJustify && i + 1 < FTextBlocks.size();
    const int32_t available = GetTextWidth() - (floatReduce && Floating && b.Floating ? PictureWidth : 0);
    const int64_t x = int64_t(ScreenLeft) + b.Left + offsetX, y = int64_t(ScreenTop) + b.Top + offsetY;
    DrawBlock(b, static_cast<int32_t>(std::clamp<int64_t>(x, INT32_MIN, INT32_MAX)),
              static_cast<int32_t>(std::clamp<int64_t>(y, INT32_MIN, INT32_MAX)), color, justify, available, slant);
  }
}

void TQelLabel::DrawBoxAndText(const std::string& box, TBoxPlace place, uint32_t color) const {
  int32_t b = 0, h = 0;
  PictureSize(box, b, h);
  const int32_t boxX = place == bpRight ? Width - b : 0;
  if (IQelGraphic* g = Graphic(); g && !box.empty())
    g->Draw(box, BumpMapPicture, BlendingMode, ScreenLeft + boxX, ScreenTop, PictureAlpha, nullptr);
  DrawBlocks(color, place == bpLeft ? b : 0, 0, false, false);
}

int32_t TQelLabel::WidthBesideBox() const {
  int32_t w = 0, h = 0;
  PictureSize(Picture, w, h);
  return Width - w;
}

void TQelLabel::Draw() {
  const std::string* picture = &Picture;
  uint32_t color = Color;
  int32_t ox = 0, oy = 0;
  if (FMouseOver && FPressed) {
    picture = &MouseDownPicture;
    color = MouseOverColor;
    ox = TextDownShiftLeft;
    oy = TextDownShiftTop;
  } else if (FMouseOver) {
    picture = &MouseOverPicture;
    color = MouseOverColor;
  }
  IQelGraphic* g = Graphic();
  if (g && !picture->empty())
    g->Draw(*picture, BumpMapPicture, BlendingMode, ScreenLeft + PictureLeft, ScreenTop + PictureTop, PictureAlpha,
            nullptr);
  DrawBlocks(color, ox, oy, CharShiftAngle != 0, true);
}

}  // namespace qv
