// The one-line text input: a background picture, the text in a bitmap font
// with its selection in another colour, a blinking cursor picture, keyboard
// editing with selection, copy, cut and paste through the clipboard, an
// optional password mask, a digits-only mode, forbidden characters and two
// limits (characters and pixels).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "ui/QelClipboard.h"
#include "ui/QelFont.h"
#include "ui/QelInterfaceClasses.h"

namespace qv {

enum TInputMode : uint8_t { imNormal, imNumbersOnly };
const std::vector<std::string>& InputModeNames();

// Published in addition: CursorPicture, FontName, CharSet, Caption, Alpha,
// Color, PasswordChar, InputMode, ForbiddenChars, SelectColor, TextShiftLeft,
// TextShiftTop, MaxLength, MaxWidth, ReadOnly.
class TQelEdit : public TQelFocusedObject {
 public:
  static const TQelClass& StaticClass();
  const TQelClass& ClassType() const override;

  void Assign(const TQelObject& source) override;
  std::string GetPictureList() const override;
  void KeyDown(uint16_t& key, TShiftState shift) override;
  // Typed characters, one at a time; control characters 1, 3, 22 and 24 are
  // Ctrl+A, Ctrl+C, Ctrl+V and Ctrl+X.
  void KeyPress(char16_t& key) override;
  void MouseDown(TMouseButton button, TShiftState shift, int32_t x, int32_t y) override;
  void MouseMove(TShiftState shift, int32_t x, int32_t y) override;
  void MouseUp(TMouseButton button, TShiftState shift, int32_t x, int32_t y) override;
  void Draw() override;
  // Focusing selects everything, losing the focus clears the selection.
  void SetFocused(bool value) override;
  // The cursor blink: shown in even half-seconds and while pressed.
  void Animate(int32_t now) override;

  // The text after the input filter; the cursor goes after it.
  void SetCaption(const std::u16string& value);
  const std::u16string& GetCaption() const { return FText; }
  void SetInputMode(TInputMode value);
  void SetForbiddenChars(const std::string& value);
  void SetFontName(const std::string& value);

  // Only the characters the mode and ForbiddenChars allow.
  std::u16string FilterInput(std::u16string_view text) const;

  // 1-based: the cursor stands before that character (length + 1: after
  // the text). The selection runs from the smaller end to the larger minus one.
  int32_t CursorPos() const { return FCursor; }
  int32_t SelStart() const { return FSelStart; }
  int32_t SelEnd() const { return FSelEnd; }
  // The selected text.
  std::u16string SelectedText() const;
  const std::string& DisplayedCursor() const { return FShownCursor; }

  std::string CursorPicture;
  std::string FontName;
  std::string CharSet;
  uint8_t Alpha = 0;
  uint32_t Color = 0;
  std::string PasswordChar;
  TInputMode InputMode = imNormal;
  std::string ForbiddenChars;
  uint32_t SelectColor = 0;
  int32_t TextShiftLeft = 0;
  int32_t TextShiftTop = 0;
  int32_t MaxLength = 0;
  int32_t MaxWidth = 0;
  bool ReadOnly = false;

 private:
  TQelFont* Font();
  int32_t TextWidth(std::u16string_view text);
  // The text as drawn: the mask repeated per character with PasswordChar.
  std::u16string Shown(std::u16string_view text) const;
  // The selection as a 0-based half-open range inside the text.
  void Selection(size_t& from, size_t& to) const;
  void DeleteSelection();
  void SelectAll();
  void Copy();
  // Cut and paste change the text only when the clipboard could be used.
  void Cut();
  // Ctrl+V: the selection is replaced by the clipboard's text.
  void Paste();
  // The first n (1..length) whose first n characters end right of x.
  int32_t CharAt(int32_t x);
  IQelClipboard* Clipboard() const;

  TQelFont* FFont = nullptr;
  std::u16string FText;
  int32_t FCursor = 1;
  int32_t FSelStart = 0;
  int32_t FSelEnd = 0;
  std::string FShownCursor;
  bool FDoubleClick = false;
};

}  // namespace qv
