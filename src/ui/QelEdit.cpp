#include "ui/QelEdit.h"

#include <algorithm>

#include "foundation/Numeric.h"
#include "foundation/StrUtils.h"
#include "ui/QelFontEngine.h"
#include "ui/QelInterfaceEngine.h"

namespace qv {

namespace {

constexpr uint16_t kVkBack = 8;
constexpr uint16_t kVkEnd = 35;
constexpr uint16_t kVkHome = 36;
constexpr uint16_t kVkLeft = 37;
constexpr uint16_t kVkRight = 39;
constexpr uint16_t kVkDelete = 46;

constexpr char16_t kCtrlA = 1;
constexpr char16_t kCtrlC = 3;
constexpr char16_t kCtrlV = 22;
constexpr char16_t kCtrlX = 24;

bool IsDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

}  // namespace

const std::vector<std::string>& InputModeNames() {
  static const std::vector<std::string> names{"imNormal", "imNumbersOnly"};
  return names;
}

const TQelClass& TQelEdit::StaticClass() {
  using T = TQelEdit;
  static const TQelClass cls = TQelClass::Make<T>("TQelEdit", &TQelFocusedObject::StaticClass(), [](TPropertyList& p) {
    p.String("CursorPicture", &T::CursorPicture);
    p.String("FontName", &T::FontName, &T::SetFontName);
    p.String("CharSet", &T::CharSet);
    p.WideString("Caption", &T::GetCaption, &T::SetCaption);
    p.Integer("Alpha", &T::Alpha);
    p.Integer("Color", &T::Color);
    p.String("PasswordChar", &T::PasswordChar);
    p.Enum("InputMode", &T::InputMode, &T::SetInputMode, InputModeNames());
    p.String("ForbiddenChars", &T::ForbiddenChars, &T::SetForbiddenChars);
    p.Integer("SelectColor", &T::SelectColor);
    p.Integer("TextShiftLeft", &T::TextShiftLeft);
    p.Integer("TextShiftTop", &T::TextShiftTop);
    p.Integer("MaxLength", &T::MaxLength);
    p.Integer("MaxWidth", &T::MaxWidth);
    p.Bool("ReadOnly", &T::ReadOnly);
  });
  return cls;
}

const TQelClass& TQelEdit::ClassType() const { return StaticClass(); }

void TQelEdit::Assign(const TQelObject& source) {
  TQelFocusedObject::Assign(source);
  const auto* s = dynamic_cast<const TQelEdit*>(&source);
  if (!s) return;
  FCursor = s->FCursor;
  CursorPicture = s->CursorPicture;
  FontName = s->FontName;
  FFont = nullptr;
  CharSet = s->CharSet;
  FText = s->FText;
  Alpha = s->Alpha;
  Color = s->Color;
  SelectColor = s->SelectColor;
  TextShiftLeft = s->TextShiftLeft;
  TextShiftTop = s->TextShiftTop;
  ReadOnly = s->ReadOnly;
  MaxLength = s->MaxLength;
  MaxWidth = s->MaxWidth;
}

std::string TQelEdit::GetPictureList() const {
  if (Picture.empty()) return CursorPicture;
  if (CursorPicture.empty()) return Picture;
  return Picture + "\r\n" + CursorPicture;
}

TQelFont* TQelEdit::Font() {
  if (!FFont) {
    TQelInterfaceEngine* engine = GetInterfaceEngine();
    if (engine && engine->FontEngine) FFont = engine->FontEngine->FindFont(FontName);
  }
  return FFont;
}

int32_t TQelEdit::TextWidth(std::u16string_view text) {
  TQelFont* font = Font();
  return font ? font->TextWidth(text) : 0;
}

std::u16string TQelEdit::Shown(std::u16string_view text) const {
  if (PasswordChar.empty()) return std::u16string(text);
  const std::u16string mask = Utf8ToUtf16(PasswordChar);
  std::u16string out;
  out.reserve(mask.size() * text.size());
  for (size_t i = 0; i < text.size(); ++i) out += mask;
  return out;
}

IQelClipboard* TQelEdit::Clipboard() const {
  TQelInterfaceEngine* engine = GetInterfaceEngine();
  return engine ? engine->Clipboard : nullptr;
}

std::u16string TQelEdit::FilterInput(std::u16string_view text) const {
  const std::u16string forbidden = Utf8ToUtf16(ForbiddenChars);
  std::u16string out;
  for (char16_t c : text) {
    if (InputMode == imNumbersOnly && !IsDigit(c)) continue;
    if (forbidden.find(c) != std::u16string::npos) continue;
    out.push_back(c);
  }
  return out;
}

void TQelEdit::SetCaption(const std::u16string& value) {
  FText = FilterInput(value);
  FCursor = static_cast<int32_t>(FText.size()) + 1;
  Invalidate();
}

void TQelEdit::SetInputMode(TInputMode value) {
  InputMode = value;
  if (InputMode == imNumbersOnly) FText = FilterInput(FText);
  FCursor = std::min<int32_t>(FCursor, static_cast<int32_t>(FText.size()) + 1);
  Invalidate();
}

void TQelEdit::SetForbiddenChars(const std::string& value) {
  ForbiddenChars = value;
  if (!ForbiddenChars.empty()) FText = FilterInput(FText);
  FCursor = std::min<int32_t>(FCursor, static_cast<int32_t>(FText.size()) + 1);
  Invalidate();
}

void TQelEdit::SetFontName(const std::string& value) {
  FontName = value;
  FFont = nullptr;
  Font();
}

void TQelEdit::Selection(size_t& from, size_t& to) const {
  // Kept inside the text whatever the ends hold, so no edit can reach past it.
  const int32_t last = static_cast<int32_t>(FText.size()) + 1;
  const int32_t a = std::clamp(std::min(FSelStart, FSelEnd), 1, last);
  const int32_t b = std::clamp(std::max(FSelStart, FSelEnd), 1, last);
  from = static_cast<size_t>(a - 1);
  to = static_cast<size_t>(b - 1);
}

std::u16string TQelEdit::SelectedText() const {
  size_t from = 0, to = 0;
  Selection(from, to);
  return FText.substr(from, to - from);
}

void TQelEdit::DeleteSelection() {
  if (FSelStart == FSelEnd) return;
  size_t from = 0, to = 0;
  Selection(from, to);
  FText.erase(from, to - from);
  FCursor = FSelStart = FSelEnd = static_cast<int32_t>(from) + 1;
}

void TQelEdit::SelectAll() {
  FSelStart = 1;
  FSelEnd = FCursor = static_cast<int32_t>(FText.size()) + 1;
}

void TQelEdit::SetFocused(bool value) {
  TQelFocusedObject::SetFocused(value);
  if (value) {
    SelectAll();
  } else {
    FSelStart = FSelEnd = 0;
  }
  Invalidate();
}

void TQelEdit::KeyDown(uint16_t& key, TShiftState shift) {
  QueueScript(OnKeyDown, SoundKeyDown);
  if (ReadOnly || !Focused) return;
  const bool extend = (shift & ssShift) != 0;
  const int32_t last = static_cast<int32_t>(FText.size()) + 1;
  FCursor = std::clamp(FCursor, 1, last);
  switch (key) {
    case kVkBack:
      if (FSelStart == FSelEnd && FCursor > 1) {
        FText.erase(static_cast<size_t>(FCursor - 2), 1);
        --FCursor;
        // The empty selection follows the cursor; left where it was, a later
        // Shift+arrow would select past the shortened text.
        FSelStart = FSelEnd = FCursor;
      }
      DeleteSelection();
      break;
    case kVkDelete:
      if (FSelStart == FSelEnd && FCursor < last) {
        FText.erase(static_cast<size_t>(FCursor - 1), 1);
        FSelStart = FSelEnd = FCursor;
      }
      DeleteSelection();
      break;
    case kVkEnd:
      FCursor = FSelEnd = last;
      if (!extend) FSelStart = FCursor;
      break;
    case kVkHome:
      FCursor = FSelEnd = 1;
      if (!extend) FSelStart = FCursor;
      break;
    case kVkLeft:
      if (FCursor > 1) {
        FSelEnd = --FCursor;
        if (!extend) FSelStart = FCursor;
      }
      break;
    case kVkRight:
      if (FCursor < last) {
        FSelEnd = ++FCursor;
        if (!extend) FSelStart = FCursor;
      }
      break;
    default:
      break;
  }
  Invalidate();
}

void TQelEdit::KeyPress(char16_t& key) {
  if (ReadOnly || !Focused || static_cast<int64_t>(FText.size()) >= MaxLength) return;
  FCursor = std::clamp(FCursor, 1, static_cast<int32_t>(FText.size()) + 1);
  if (key < 32) {
    switch (key) {
      case kCtrlA: SelectAll(); break;
      case kCtrlC: Copy(); break;
      case kCtrlV:
        Paste();
        break;
      case kCtrlX: Cut(); break;
      default: break;
    }
    Invalidate();
    return;
  }
  if (FilterInput(std::u16string_view(&key, 1)).empty()) return;
  DeleteSelection();
  std::u16string copy = FText;
  copy.insert(static_cast<size_t>(FCursor - 1), 1, key);
  if (TextWidth(Shown(copy)) < int64_t(MaxWidth) - TextShiftLeft) {
    FText = std::move(copy);
    FSelStart = FSelEnd = ++FCursor;
  }
  Invalidate();
}

void TQelEdit::Copy() {
  if (MaxLength <= 0 || MaxWidth <= 0 || !PasswordChar.empty()) return;
  const std::u16string text = SelectedText();
  if (IQelClipboard* clipboard = Clipboard(); clipboard && !text.empty()) clipboard->CopyText(Utf16ToUtf8(text));
}

void TQelEdit::Cut() {
  if (MaxLength <= 0 || MaxWidth <= 0) return;
  const std::u16string text = SelectedText();
  if (text.empty()) {
    DeleteSelection();
    return;
  }
  // The text leaves the edit only once the clipboard holds it.
  IQelClipboard* clipboard = Clipboard();
  if (clipboard && clipboard->CopyText(Utf16ToUtf8(text))) DeleteSelection();
}

void TQelEdit::Paste() {
  // The clipboard is read before the selection goes, so that a clipboard
  // that cannot be read or holds nothing changes nothing.
  IQelClipboard* clipboard = Clipboard();
  std::string raw;
  if (!clipboard || !clipboard->PasteText(raw)) return;
  DeleteSelection();
  if (MaxLength <= 0 || MaxWidth <= 0 || static_cast<int64_t>(FText.size()) >= MaxLength) return;
  raw = ReplaceAll(raw.substr(0, raw.find('\0')), "\r\n", " ");
  std::replace(raw.begin(), raw.end(), '\t', ' ');
  // Pasted text passes the same filter as typed text: a name must not get a
  // character that a typed one could not.
  std::u16string text = FilterInput(Utf8ToUtf16(raw));
  const int64_t room = int64_t(MaxLength) - static_cast<int64_t>(FText.size());
  if (static_cast<int64_t>(text.size()) > room) text.resize(static_cast<size_t>(room));
  const int64_t limit = int64_t(MaxWidth) - TextWidth(FText) - TextShiftLeft;
  if (TextWidth(text) > limit) {
    int64_t n = std::min<int64_t>(room - 1, static_cast<int64_t>(text.size()));
    while (n > 0 && TextWidth(std::u16string_view(text).substr(0, static_cast<size_t>(n))) > limit) --n;
    if (n <= 0) return;
    text.resize(static_cast<size_t>(n));
  }
  FText.insert(static_cast<size_t>(FCursor - 1), text);
  FCursor += static_cast<int32_t>(text.size());
  FSelStart = FSelEnd = FCursor;
}

int32_t TQelEdit::CharAt(int32_t x) {
  const std::u16string mask = Utf8ToUtf16(PasswordChar);
  int64_t right = ScreenLeft;
  for (size_t n = 1; n <= FText.size(); ++n) {
    right += PasswordChar.empty() ? TextWidth(std::u16string_view(FText).substr(n - 1, 1)) : TextWidth(mask);
    if (x < right) return static_cast<int32_t>(n);
  }
  return 0;
}

void TQelEdit::MouseDown(TMouseButton button, TShiftState shift, int32_t x, int32_t y) {
  TQelFocusedObject::MouseDown(button, shift, x, y);
  FSelStart = FSelEnd = 1;
  if (!Contains(x, y) || button != TMouseButton::mbLeft) return;
  if (shift & ssDouble) {
    FDoubleClick = true;
    SelectAll();
    Invalidate();
    return;
  }
  const bool extend = (shift & ssShift) != 0;
  if (int64_t(x) >= int64_t(ScreenLeft) + TextShiftLeft + TextWidth(Shown(FText))) {
    FCursor = FSelEnd = static_cast<int32_t>(FText.size()) + 1;
    if (!extend) FSelStart = FCursor;
    return;
  }
  const int32_t n = CharAt(x);
  if (n > 0) {
    FCursor = FSelEnd = n;
    if (!extend) FSelStart = FCursor;
  }
  Invalidate();
}

void TQelEdit::MouseMove(TShiftState shift, int32_t x, int32_t) {
  if (!Focused || !Pressed || (shift & ssLeft) == 0 || FDoubleClick) return;
  if (int64_t(x) < int64_t(ScreenLeft) + TextShiftLeft + TextWidth(Shown(FText))) {
    const int32_t n = CharAt(x);
    if (n > 0) FCursor = FSelEnd = n;
    Invalidate();
  } else {
    FCursor = FSelEnd = static_cast<int32_t>(FText.size()) + 1;
  }
}

void TQelEdit::MouseUp(TMouseButton, TShiftState, int32_t, int32_t) {
  FDoubleClick = false;
  Pressed = false;
}

void TQelEdit::Animate(int32_t now) {
  if (!Focused) return;
  const bool shown = Mod(Div(now, 500), 2) == 0 || Pressed;
  const std::string& picture = shown ? CursorPicture : std::string();
  if (picture == FShownCursor) return;
  FShownCursor = shown ? CursorPicture : std::string();
  Invalidate();
}

void TQelEdit::Draw() {
  IQelGraphic* g = Graphic();
  if (!g) return;
  if (!Picture.empty()) g->Draw(Picture, BumpMapPicture, BlendingMode, ScreenLeft, ScreenTop, PictureAlpha, nullptr);
  TQelFont* font = Font();
  if (font) {
    const int32_t x0 = ScreenLeft + TextShiftLeft, y0 = ScreenTop + TextShiftTop;
    if (!PasswordChar.empty()) {
      font->TextOut(x0, y0, Color, Alpha, Shown(FText));
    } else {
      size_t from = 0, to = 0;
      Selection(from, to);
      int32_t x = 0;
      for (size_t i = 0; i < FText.size(); ++i) {
        const std::u16string_view c = std::u16string_view(FText).substr(i, 1);
        font->TextOut(x0 + x, y0, i >= from && i < to ? SelectColor : Color, Alpha, c);
        x += font->TextWidth(c);
      }
    }
  }
  if (Focused && !FShownCursor.empty()) {
    int32_t w = 0, h = 0;
    PictureSize(CursorPicture, w, h);
    const size_t before = static_cast<size_t>(std::clamp<int32_t>(FCursor - 1, 0, static_cast<int32_t>(FText.size())));
    const int32_t p = TextWidth(Shown(std::u16string_view(FText).substr(0, before)));
    g->Draw(FShownCursor, BumpMapPicture, BlendingMode, ScreenLeft + TextShiftLeft + p - w / 2 - 1,
            ScreenTop + TextShiftTop, PictureAlpha, nullptr);
  }
}

}  // namespace qv
