// The edit: typing with its limits and filters, selection in both
// directions, the clipboard keys and their conditions, the mouse and the
// cursor blink.
#include <gtest/gtest.h>

#include "WidgetTestSupport.h"
#include "ui/QelEdit.h"

namespace qv {
namespace {

using test::Child;

class EditTest : public ::testing::Test, public test::TWidgetFixture {
 protected:
  void SetUp() override {
    graphic.SetPicture("cur.png", 4, 10);
    Load({Child("TQelEdit", "E", {{"Width", "200"}, {"Height", "20"}, {"MaxLength", "10"}, {"MaxWidth", "200"},
                                  {"TextShiftLeft", "2"}, {"FontName", "QelUnicode"}, {"CursorPicture", "cur.png"}, {"SelectColor", "9"},
                                  {"Color", "1"}, {"OnKeyDown", "PlaySound Sound=\"k\";"}})});
    edit = W<TQelEdit>("E");
    edit->SetFocused(true);
  }
  void Type(std::u16string_view text) {
    for (char16_t c : text) engine.KeyPress(c);
  }
  void Key(uint16_t key, TShiftState shift = 0) { engine.KeyDown(key, shift); }
  void Start(const std::u16string& text) {
    edit->SetCaption(text);
    edit->SetFocused(true);
  }
  std::u16string Text() const { return edit->GetCaption(); }

  static constexpr uint16_t kBack = 8, kEnd = 35, kHome = 36, kLeft = 37, kRight = 39, kDelete = 46;
  static constexpr char16_t kCopy = 3, kPaste = 22, kCut = 24;
  TQelEdit* edit = nullptr;
};

TEST_F(EditTest, TypingRespectsItsLimitsAndReplacesTheSelection) {
  Type(u"hi");
  EXPECT_EQ(Text(), u"hi");
  // Focusing selected all, so typing replaced it; now it goes at the cursor.
  Start(u"hello");
  Type(u"x");
  EXPECT_EQ(Text(), u"x");
  EXPECT_EQ(graphic.Of("PlaySound").size(), 0u);

  // Too wide: the selection goes, the character does not come.
  edit->MaxWidth = 42;
  Start(u"abcd");
  Key(kEnd);
  Key(kLeft, ssShift);
  Type(u"W");
  EXPECT_EQ(Text(), u"abc");
  EXPECT_EQ(graphic.Of("PlaySound").size(), 2u);

  // Nothing typed or pasted at MaxLength 0.
  edit->MaxLength = 0;
  edit->MaxWidth = 200;
  clipboard.Text = "zz";
  Start(u"");
  Type(u"ab");
  Type(std::u16string(1, kPaste));
  EXPECT_EQ(Text(), u"");

  // Digits only, for the caption as for typing.
  edit->MaxLength = 10;
  SetPropValue(*edit, "InputMode", "imNumbersOnly");
  SetPropValue(*edit, "Caption", "a1b2");
  EXPECT_EQ(Text(), u"12");
  Key(kEnd);
  Type(u"x3");
  EXPECT_EQ(Text(), u"123");
}

TEST_F(EditTest, BackwardSelectionsCopyCutAndDeleteTheSameCharacters) {
  Start(u"hello");
  Key(kEnd);
  for (int i = 0; i < 3; ++i) Key(kLeft, ssShift);
  EXPECT_EQ(edit->SelectedText(), u"llo");
  Type(std::u16string(1, kCopy));
  EXPECT_EQ(clipboard.Text, "llo");
  Key(kHome, ssShift);
  EXPECT_EQ(edit->SelectedText(), u"hello");
  Key(kRight);
  Key(kRight);
  Key(kRight, ssShift);
  Key(kRight, ssShift);
  Type(std::u16string(1, kCut));
  EXPECT_EQ(clipboard.Text, "ll");
  EXPECT_EQ(Text(), u"heo");
  Key(kLeft, ssShift);
  Key(kDelete);
  EXPECT_EQ(Text(), u"ho");

  // After a Backspace the selection starts at the new cursor.
  Start(u"abc");
  Key(kEnd);
  Key(kBack);
  Key(kLeft, ssShift);
  EXPECT_EQ(edit->SelectedText(), u"b");
  Type(std::u16string(1, kCut));
  EXPECT_EQ(Text(), u"a");
  EXPECT_EQ(clipboard.Text, "b");
}

TEST_F(EditTest, ClipboardKeysKeepTheirConditions) {
  // A password edit does not give its text away, but still cuts.
  edit->PasswordChar = "*";
  Start(u"secret");
  clipboard.Text = "before";
  Type(std::u16string(1, kCopy));
  EXPECT_EQ(clipboard.Text, "before");
  Type(std::u16string(1, kCut));
  EXPECT_EQ(clipboard.Text, "secret");
  EXPECT_EQ(Text(), u"");

  // Pasted text has its line ends turned into blanks, passes the filter and
  // is cut to the room left.
  edit->PasswordChar.clear();
  edit->SetForbiddenChars("/:");
  edit->MaxLength = 6;
  clipboard.Text = "a/b\r\nc:defgh";
  Start(u"");
  Type(std::u16string(1, kPaste));
  EXPECT_EQ(Text(), u"ab cde");
  // A clipboard that cannot be used changes nothing: the selection stays
  // on paste, and a cut does not lose the text.
  clipboard.Works = false;
  Start(u"xy");
  Type(std::u16string(1, kPaste));
  EXPECT_EQ(Text(), u"xy");
  Type(std::u16string(1, kCut));
  EXPECT_EQ(Text(), u"xy");
  // Too wide: only what fits is pasted.
  clipboard.Works = true;
  clipboard.Text = "abcdef";
  edit->MaxWidth = 45;
  Start(u"");
  Type(std::u16string(1, kPaste));
  EXPECT_EQ(Text(), u"abcd");
}

TEST_F(EditTest, MousePlacesTheCursorAndDragsTheSelection) {
  Start(u"abcd");
  const int32_t l = edit->ScreenLeft, t = edit->ScreenTop;
  engine.MouseDown(TMouseButton::mbLeft, ssLeft, l + 25, t + 5);
  EXPECT_EQ(edit->CursorPos(), 3);
  engine.MouseMove(ssLeft, l + 35, t + 5);
  EXPECT_EQ(edit->SelectedText(), u"c");
  engine.MouseMove(ssLeft, l + 150, t + 5);
  EXPECT_EQ(edit->SelectedText(), u"cd");
  engine.MouseUp(TMouseButton::mbLeft, 0, l + 150, t + 5);
  // Right of the text the cursor goes after it.
  engine.MouseDown(TMouseButton::mbLeft, ssLeft, l + 42, t + 5);
  EXPECT_EQ(edit->CursorPos(), 5);
  engine.MouseUp(TMouseButton::mbLeft, 0, l + 42, t + 5);
  // A double click selects all.
  engine.MouseDown(TMouseButton::mbLeft, ssLeft | ssDouble, l + 5, t + 5);
  EXPECT_EQ(edit->SelectedText(), u"abcd");
}

TEST_F(EditTest, CursorBlinksEveryHalfSecondAndDrawsAtTheCursor) {
  Start(u"ab");
  edit->Pressed = false;
  engine.Animate(1000);
  EXPECT_EQ(edit->DisplayedCursor(), "cur.png");
  engine.Animate(1499);
  EXPECT_EQ(edit->DisplayedCursor(), "cur.png");
  engine.Animate(1500);
  EXPECT_EQ(edit->DisplayedCursor(), "");
  engine.Animate(2000);
  Key(kLeft);
  graphic.Calls.clear();
  edit->Draw();
  auto draws = graphic.Of("Draw");
  ASSERT_EQ(draws.size(), 1u);
  EXPECT_EQ(draws[0].X, edit->ScreenLeft + 2 + 10 - 2 - 1);
  // The text is drawn per character, the selection in its own colour.
  Key(kLeft, ssShift);
  graphic.Calls.clear();
  edit->Draw();
  auto glyphs = graphic.Of("ExtDraw");
  ASSERT_EQ(glyphs.size(), 2u);
  EXPECT_EQ(glyphs[0].Glyphs[0].Color, 9u);
  EXPECT_EQ(glyphs[1].Glyphs[0].Color, 1u);
}

}  // namespace
}  // namespace qv
