// Labels, check boxes and radio buttons: caption layout, justified and
// slanted lines, the mouse looks and scripts, and radio groups.
#include <gtest/gtest.h>

#include "WidgetTestSupport.h"
#include "ui/QelCheckBox.h"
#include "ui/QelLabel.h"
#include "ui/QelRadioButton.h"

namespace qv {
namespace {

using test::Child;
using test::TObj;

std::vector<std::u16string> Lines(const TQelLabel& label) {
  std::vector<std::u16string> out;
  for (const TTextBlock& b : label.TextBlocks()) out.push_back(b.Text);
  return out;
}

class LabelTest : public ::testing::Test, public test::TWidgetFixture {};

TEST_F(LabelTest, CaptionIsTrimmedAndBrokenIntoLines) {
  Load({Child("TQelLabel", "Long", {{"Width", "30"}, {"Height", "100"}, {"Caption", "abcdef"}}),
        Child("TQelLabel", "Breaks", {{"Width", "200"}, {"Height", "100"}, {"Caption", "ab\r\ncd\tef  \r\n"}}),
        Child("TQelLabel", "Blanks", {{"Width", "35"}, {"Height", "100"}, {"Caption", "ab   cd"}}),
        Child("TQelLabel", "Later", {{"Height", "100"}, {"Caption", "abc"}})});
  using L = std::vector<std::u16string>;
  // A line exactly as wide as the label fits; a word wider than the line
  // breaks before the character that overflows.
  EXPECT_EQ(Lines(*W<TQelLabel>("Long")), (L{u"abc", u"def"}));
  // Trailing blanks and line ends vanish; inner CR LF and tabs are one blank.
  EXPECT_EQ(Lines(*W<TQelLabel>("Breaks")), (L{u"ab cd ef"}));
  EXPECT_EQ(W<TQelLabel>("Breaks")->TextBlocks()[0].SpaceCount, 2);
  // The blanks at a break belong to neither line.
  EXPECT_EQ(Lines(*W<TQelLabel>("Blanks")), (L{u"ab", u"cd"}));
  EXPECT_EQ(W<TQelLabel>("Blanks")->TextBlocks()[0].Width, 20);

  // Without a width the caption is kept but not laid out or drawn.
  auto* later = W<TQelLabel>("Later");
  EXPECT_TRUE(later->TextBlocks().empty());
  graphic.Calls.clear();
  later->Draw();
  EXPECT_TRUE(graphic.Of("ExtDraw").empty());
  later->SetWidth(100);
  EXPECT_EQ(Lines(*later), (L{u"abc"}));
  EXPECT_EQ(later->GetCaption(), "abc");
}

TEST_F(LabelTest, AlignmentAndLayoutPlaceTheLines) {
  Load({Child("TQelLabel", "C", {{"Left", "10"}, {"Top", "20"}, {"Width", "35"}, {"Height", "100"},
                                 {"Caption", "abcdef"}, {"Alignment", "taCenter"}, {"Layout", "tlBottom"},
                                 {"LineSpace", "2"}, {"TextShiftTop", "1"}})});
  const TTextBlocks& b = W<TQelLabel>("C")->TextBlocks();
  ASSERT_EQ(b.size(), 2u);
  // Two lines of 10 with 2 between: 22 high, from 100 - 22 down, plus the shift.
  EXPECT_EQ(b[0].Left, (35 - 30) / 2);
  EXPECT_EQ(b[0].Top, 100 - 22 + 1);
  EXPECT_EQ(b[1].Top, 100 - 22 + 12 + 1);
  graphic.Calls.clear();
  W("C")->Draw();
  auto glyphs = GlyphPlaces();
  ASSERT_EQ(glyphs.size(), 6u);
  EXPECT_EQ(glyphs[0], (TPoint{100 + 10 + 2, 50 + 20 + 79}));
}

TEST_F(LabelTest, FloatingLinesGoBesideThePicture) {
  // A picture 30 wide and 25 high at the top left: the lines beside it are
  // 30 shorter and start right of it, the lines below have the full width.
  graphic.SetPicture("pic.png", 30, 25);
  Load({Child("TQelLabel", "F", {{"Width", "100"}, {"Height", "100"}, {"Picture", "pic.png"},
                                 {"Floating", "true"}, {"Caption", "aaaa bbbb cccc dddd eeee ffff"}})});
  const TTextBlocks& b = W<TQelLabel>("F")->TextBlocks();
  ASSERT_EQ(b.size(), 5u);
  using L = std::vector<std::u16string>;
  EXPECT_EQ(Lines(*W<TQelLabel>("F")), (L{u"aaaa", u"bbbb", u"cccc", u"dddd eeee", u"ffff"}));
  for (size_t i = 0; i < 3; ++i) {
    EXPECT_TRUE(b[i].Floating);
    EXPECT_EQ(b[i].Left, 30);
  }
  EXPECT_FALSE(b[3].Floating);
  EXPECT_EQ(b[3].Left, 0);
}

TEST_F(LabelTest, JustifiedLinesSpreadTheExtraPixelsOverTheirBlanks) {
  // "a b c" is 40 wide in 61 pixels: 21 extra over 2 blanks gives 10 each and
  // the one left over to the second blank. The last line is drawn as it is.
  Load({Child("TQelLabel", "J", {{"Width", "61"}, {"Height", "100"}, {"Alignment", "taJustify"},
                                 {"Caption", "a b c dddddd"}}),
        Child("TQelLabel", "J5", {{"Width", "99"}, {"Height", "100"}, {"Alignment", "taJustify"},
                                  {"Caption", "a b c d e f g"}})});
  auto* j = W<TQelLabel>("J");
  ASSERT_EQ(j->TextBlocks().size(), 2u);
  EXPECT_EQ(j->TextBlocks()[0].Text, u"a b c");
  graphic.Calls.clear();
  j->Draw();
  const int32_t x0 = j->ScreenLeft;
  std::vector<int32_t> xs;
  for (const TPoint& p : GlyphPlaces()) xs.push_back(p.X - x0);
  EXPECT_EQ(xs, (std::vector<int32_t>{0, 25, 51, 0, 10, 20, 30, 40, 50}));
  // 14 extra over 5 blanks: 2 each, and the 4 left over at the marks 1.25,
  // 2.5, 3.75 and 5 rounded half to even: blanks 1, 2, 4 and 5.
  graphic.Calls.clear();
  W("J5")->Draw();
  xs.clear();
  for (const TPoint& p : GlyphPlaces()) xs.push_back(p.X - W("J5")->ScreenLeft);
  EXPECT_EQ(xs, (std::vector<int32_t>{0, 18, 36, 53, 71, 89, 0}));
}

TEST_F(LabelTest, SlantedLinesClimbCharacterByCharacter) {
  Load({Child("TQelLabel", "S", {{"Width", "100"}, {"Height", "100"}, {"Caption", "AAA"},
                                 {"CharShiftAngle", "45"}})});
  graphic.Calls.clear();
  W("S")->Draw();
  auto g = GlyphPlaces();
  ASSERT_EQ(g.size(), 3u);
  const TQelInterfaceObject* s = W("S");
  EXPECT_EQ(g[0], (TPoint{s->ScreenLeft, s->ScreenTop}));
  EXPECT_EQ(g[1], (TPoint{s->ScreenLeft + 10, s->ScreenTop - 10}));
  EXPECT_EQ(g[2], (TPoint{s->ScreenLeft + 20, s->ScreenTop - 20}));
}

TEST_F(LabelTest, PointerAndPressShowTheirLooksAndQueueScripts) {
  graphic.SetPicture("up.png", 50, 20);
  Load({Child("TQelLabel", "B", {{"Left", "10"}, {"Top", "10"}, {"Width", "50"}, {"Height", "20"},
                                 {"Picture", "up.png"}, {"MouseOverPicture", "over.png"},
                                 {"MouseDownPicture", "down.png"}, {"TextDownShiftLeft", "2"},
                                 {"OnMouseMove", "PlaySound Sound=\"move\";"}, {"OnMouseUp", "HideModal;"},
                                 {"SoundMouseUp", "click.ogg"}, {"Caption", "Ok"}})});
  auto* b = W<TQelLabel>("B");
  auto lastPicture = [&] {
    graphic.Calls.clear();
    b->Draw();
    auto draws = graphic.Of("Draw");
    return draws.empty() ? std::string() : draws[0].Picture;
  };
  EXPECT_EQ(lastPicture(), "up.png");
  // Every move inside queues the move script.
  engine.MouseMove(0, 115, 65);
  engine.MouseMove(0, 116, 65);
  EXPECT_EQ(graphic.Of("PlaySound").size(), 2u);
  EXPECT_EQ(lastPicture(), "over.png");
  engine.MouseDown(TMouseButton::mbLeft, ssLeft, 115, 65);
  EXPECT_EQ(lastPicture(), "down.png");
  EXPECT_EQ(GlyphPlaces()[0].X, b->ScreenLeft + 2);
  // The release inside plays the sound and runs the script: the window closes.
  graphic.Calls.clear();
  engine.MouseUp(TMouseButton::mbLeft, 0, 115, 65);
  ASSERT_EQ(graphic.Of("PlaySound").size(), 1u);
  EXPECT_EQ(graphic.Of("PlaySound")[0].Picture, "click.ogg");
  EXPECT_TRUE(engine.ModalStack.empty());
}

TEST_F(LabelTest, RadioButtonsUncheckTheirGroupInTheirWindowOnly) {
  graphic.SetPicture("box.png", 12, 12);
  graphic.SetPicture("tick.png", 12, 12);
  auto radio = [](const std::string& name, int top, const std::string& group) {
    return Child("TQelRadioButton", name, {{"Top", std::to_string(top)}, {"Width", "100"}, {"Height", "12"},
                                           {"Picture", "box.png"}, {"MouseDownPicture", "checked.png"},
                                           {"RadioGroup", group}, {"OnMouseUp", "PlaySound Sound=\"r\";"}});
  };
  Load({radio("R1", 0, "1"), radio("R2", 20, "1"), radio("R3", 40, "2"),
        Child("TQelCheckBox", "CB", {{"Top", "60"}, {"Width", "100"}, {"Height", "12"}, {"Picture", "box.png"},
                                     {"MouseDownPicture", "tick.png"}, {"BoxPlace", "bpRight"}, {"Caption", "x"}})});
  auto* r1 = W<TQelRadioButton>("R1");
  auto* r2 = W<TQelRadioButton>("R2");
  auto* r3 = W<TQelRadioButton>("R3");
  r1->SetChecked(true);
  r3->SetChecked(true);
  // A click on R2 checks it and unchecks R1, not R3 of the other group.
  engine.MouseDown(TMouseButton::mbLeft, ssLeft, 105, 75);
  engine.MouseUp(TMouseButton::mbLeft, 0, 105, 75);
  EXPECT_TRUE(r2->Checked);
  EXPECT_FALSE(r1->Checked);
  EXPECT_TRUE(r3->Checked);
  EXPECT_EQ(graphic.Of("PlaySound").size(), 1u);
  // A checked button ignores clicks.
  engine.MouseDown(TMouseButton::mbLeft, ssLeft, 105, 75);
  engine.MouseUp(TMouseButton::mbLeft, 0, 105, 75);
  EXPECT_EQ(graphic.Of("PlaySound").size(), 1u);
  EXPECT_TRUE(r2->Checked);
  // The text goes beside the box: 100 - 12 wide.
  EXPECT_EQ(r1->GetTextWidth(), 88);

  // A check box toggles on each click; its box stands at the right.
  auto* cb = W<TQelCheckBox>("CB");
  engine.MouseDown(TMouseButton::mbLeft, ssLeft, 105, 115);
  engine.MouseUp(TMouseButton::mbLeft, 0, 105, 115);
  EXPECT_TRUE(cb->Checked);
  graphic.Calls.clear();
  cb->Draw();
  ASSERT_EQ(graphic.Of("Draw").size(), 1u);
  EXPECT_EQ(graphic.Of("Draw")[0].Picture, "tick.png");
  EXPECT_EQ(graphic.Of("Draw")[0].X, cb->ScreenLeft + 100 - 12);
  EXPECT_EQ(GlyphPlaces()[0].X, cb->ScreenLeft);
  engine.MouseDown(TMouseButton::mbLeft, ssLeft, 105, 115);
  engine.MouseUp(TMouseButton::mbLeft, 0, 105, 115);
  EXPECT_FALSE(cb->Checked);
}

}  // namespace
}  // namespace qv
