// The text widget: a caption laid out into lines inside the widget's width,
// aligned across and down, optionally floating beside the picture and
// slanted, with plain, mouse-over and pressed looks. Buttons of the interface
// description are labels with pictures; check boxes, radio buttons, the rich
// label and the hint derive from it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "ui/QelFont.h"
#include "ui/QelInterfaceClasses.h"
#include "ui/QelTextLayout.h"

namespace qv {

// A font as the layout functions measure it.
class TFontMeasure : public ITextMeasure {
 public:
  explicit TFontMeasure(const TQelFont& font) : font_(font) {}
  int32_t TextWidth(std::u16string_view text) const override { return font_.TextWidth(text); }
  int32_t FontHeight() const override { return font_.Height; }

 private:
  const TQelFont& font_;
};

// Published in addition: MouseOverPicture, MouseDownPicture,
// MouseDownBumpMapPicture, FontName, Caption (UTF-8), Alpha, Color,
// MouseOverColor, Alignment, Layout, TextShiftLeft, TextShiftTop, LineSpace,
// TextDownShiftLeft, TextDownShiftTop, Floating, CharShiftAngle.
class TQelLabel : public TQelInterfaceObject {
 public:
  TQelLabel();

  static const TQelClass& StaticClass();
  const TQelClass& ClassType() const override;

  void Assign(const TQelObject& source) override;
  void SetPicture(const std::string& value) override;
  void SetWidth(int32_t value) override;
  std::string GetPictureList() const override;
  void Realign() override;
  void MouseDown(TMouseButton button, TShiftState shift, int32_t x, int32_t y) override;
  void MouseMove(TShiftState shift, int32_t x, int32_t y) override;
  void MouseUp(TMouseButton button, TShiftState shift, int32_t x, int32_t y) override;
  void Draw() override;

  // Breaks the caption into text blocks (nothing until a font, a size and
  // a caption are there).
  virtual void SplitCaption();
  // Copies the colours, alpha and font name into every block.
  virtual void UpdateTextBlocks();
  virtual void SetAlpha(uint8_t value);
  // The width the text may take.
  virtual int32_t GetTextWidth() const;
  // UTF-8 text.
  virtual void SetCaption(const std::string& value);
  std::string GetCaption() const;
  const std::u16string& CaptionText() const { return FCaption; }

  // Left and Top of every block by Alignment and Layout.
  void PlaceTextBlocks();
  void SetFontName(const std::string& value);
  void SetAlignment(TTextAlignment value);
  void SetLayout(TTextLayout value);
  void SetTextShiftLeft(int32_t value);
  void SetTextShiftTop(int32_t value);
  void SetLineSpace(int32_t value);
  void SetFloating(bool value);
  void SetCharShiftAngle(int32_t value);

  // The font FontName names, or none; looked up again while it is missing.
  TQelFont* Font() const { return FFont; }
  bool ResolveFont();
  const TTextBlocks& TextBlocks() const { return FTextBlocks; }

  // The pressed and pointer-over looks; a slider sets them on its buttons.
  bool IsPressed() const { return FPressed; }
  void SetPressedState(bool value) { FPressed = value; }
  bool IsMouseOver() const { return FMouseOver; }
  void SetMouseOverState(bool value) { FMouseOver = value; }

  std::string MouseOverPicture;
  std::string MouseDownPicture;
  std::string MouseDownBumpMapPicture;
  std::string FontName;
  uint8_t Alpha = 255;
  uint32_t Color = 0;
  uint32_t MouseOverColor = 0;
  TTextAlignment Alignment = taLeft;
  TTextLayout Layout = tlTop;
  int32_t TextShiftLeft = 0;
  int32_t TextShiftTop = 0;
  int32_t LineSpace = 0;
  int32_t TextDownShiftLeft = 0;
  int32_t TextDownShiftTop = 0;
  bool Floating = false;
  int32_t CharShiftAngle = 0;

 protected:
  bool Inside(int32_t x, int32_t y) const { return Contains(x, y); }
  // Draws one line: justified over `available` pixels, or slanted, or plain.
  void DrawBlock(const TTextBlock& block, int32_t x, int32_t y, uint32_t color, bool justify, int32_t available,
                 bool slant) const;
  void DrawBlocks(uint32_t color, int32_t offsetX, int32_t offsetY, bool slant, bool floatReduce) const;
  // Check boxes and radio buttons: the box picture at its side, the text
  // beside it; the width the empty box leaves for text.
  void DrawBoxAndText(const std::string& box, TBoxPlace place, uint32_t color) const;
  int32_t WidthBesideBox() const;
  TTextBlocks FTextBlocks;
  std::u16string FCaption;
  TQelFont* FFont = nullptr;
  bool FPressed = false;
  bool FMouseOver = false;
};

}  // namespace qv
