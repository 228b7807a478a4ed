#include "ui/QelRichLabel.h"

#include <algorithm>
#include <climits>

#include "foundation/StrUtils.h"

namespace qv {

namespace {

// Words far down a caption ({BR 99999/} and the like) stay at the 32-bit ends.
int32_t Clamp32(int64_t v) { return static_cast<int32_t>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX)); }

}  // namespace

const TQelClass& TQelRichLabel::StaticClass() {
  using T = TQelRichLabel;
  static const TQelClass cls = TQelClass::Make<T>("TQelRichLabel", &TQelLabel::StaticClass(), [](TPropertyList& p) {
    p.Integer("LinkColor", &T::LinkColor);
    p.Integer("LinkMouseOverColor", &T::LinkMouseOverColor, &T::SetLinkMouseOverColor);
  });
  return cls;
}

const TQelClass& TQelRichLabel::ClassType() const { return StaticClass(); }

void TQelRichLabel::Assign(const TQelObject& source) {
  TQelLabel::Assign(source);
  if (const auto* s = dynamic_cast<const TQelRichLabel*>(&source)) {
    LinkColor = s->LinkColor;
    LinkMouseOverColor = s->LinkMouseOverColor;
    SetCaption(s->GetCaption());
  }
}

void TQelRichLabel::SetCaption(const std::string& value) {
  std::string text = ReplaceAll(value, "\r\n", " ");
  for (char& c : text)
    if (c == '\t') c = ' ';
  FCaption = Utf8ToUtf16(text);
  SplitCaption();
  Invalidate();
}

void TQelRichLabel::SetAlpha(uint8_t value) {
  Alpha = value;
  SplitCaption();
  Invalidate();
}

void TQelRichLabel::SetLinkMouseOverColor(uint32_t value) {
  LinkMouseOverColor = value;
  SplitCaption();
  Invalidate();
}

void TQelRichLabel::SplitCaption() {
  if (!FFont && !FontName.empty()) ResolveFont();
  // Emptied first, so that an emptied caption does not leave the old words.
  FLinks.clear();
  FBlocks.clear();
  if (FCaption.empty() || !FFont || Width == 0 || Height == 0) return;
  TRichStyle style;
  style.Color = Color;
  style.Alignment = Alignment;
  style.FontName = FontName;
  style.Available = Width - TextShiftLeft;
  // Laid out aside, so that an error leaves the label without text rather
  // than half built.
  TRichText text = LayoutRichText(FCaption, TFontMeasure(*FFont), style);
  std::vector<std::unique_ptr<TQelLabel>> links;
  for (const TRichLink& link : text.Links) {
    auto label = std::make_unique<TQelLabel>();
    label->SetEngine(GetEngine());
    label->OnMouseDown = link.Script;
    label->SetFontName(link.FontName);
    label->Height = FFont->Height;
    label->Alpha = Alpha;
    label->Color = LinkColor;
    label->MouseOverColor = LinkMouseOverColor;
    label->SetCaption(Utf16ToUtf8(link.Text));
    if (link.Block >= 0) {
      const TTextBlock& block = text.Blocks[static_cast<size_t>(link.Block)];
      label->Width = block.Width;
      label->Alpha = Alpha;
      label->SplitCaption();
      label->PlaceTextBlocks();
      label->SetLeft(Clamp32(int64_t(ScreenLeft) + TextShiftLeft + block.Left));
      label->SetTop(Clamp32(int64_t(ScreenTop) + TextShiftTop + block.Top));
    }
    links.push_back(std::move(label));
  }
  FBlocks = std::move(text.Blocks);
  FLinks = std::move(links);
}

void TQelRichLabel::MouseDown(TMouseButton button, TShiftState shift, int32_t x, int32_t y) {
  for (auto& link : FLinks) link->MouseDown(button, shift, x, y);
  Invalidate();
}

void TQelRichLabel::MouseMove(TShiftState shift, int32_t x, int32_t y) {
  for (auto& link : FLinks) link->MouseMove(shift, x, y);
  Invalidate();
}

void TQelRichLabel::Draw() {
  if (IQelGraphic* g = Graphic(); g && !Picture.empty())
    g->Draw(Picture, BumpMapPicture, BlendingMode, ScreenLeft + PictureLeft, ScreenTop + PictureTop, PictureAlpha,
            nullptr);
  if (FFont && !FBlocks.empty()) {
    const int64_t bottom = int64_t(FBlocks.back().Top) + FFont->Height;
    int64_t d = 0;
    if (Layout == tlCenter) d = Height / 2 - bottom / 2;
    else if (Layout == tlBottom) d = Height - bottom;
    for (const TTextBlock& b : FBlocks) {
      if (b.Text.empty()) continue;
      FFont->TextOut(Clamp32(int64_t(ScreenLeft) + TextShiftLeft + b.Left),
                     Clamp32(int64_t(ScreenTop) + TextShiftTop + b.Top + d), b.Color, 255, b.Text);
    }
  }
  for (auto& link : FLinks) link->Draw();
}

}  // namespace qv
