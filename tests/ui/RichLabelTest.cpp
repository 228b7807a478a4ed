// Rich labels and hints: the caption's commands, links, paragraph
// alignment, tables, the faults of malformed captions, and the hint's time.
#include <gtest/gtest.h>

#include "WidgetTestSupport.h"
#include "foundation/Clock.h"
#include "foundation/QelException.h"
#include "ui/QelHint.h"
#include "ui/QelRichLabel.h"

namespace qv {
namespace {

using test::Child;

struct TWord {
  std::u16string Text;
  int32_t Left;
  int32_t Top;
  friend bool operator==(const TWord&, const TWord&) = default;
};

class RichLabelTest : public ::testing::Test, public test::TWidgetFixture {
 protected:
  void SetUp() override {
    Load({Child("TQelRichLabel", "R", {{"Width", "200"}, {"Height", "100"}, {"Color", "1193046"},
                                       {"LinkColor", "7"}})});
    rich = W<TQelRichLabel>("R");
  }
  // Width first, so that the caption is laid out at the width under test.
  std::vector<TWord> Lay(const std::string& caption, int32_t width = 200) {
    rich->SetWidth(width);
    rich->SetCaption(caption);
    std::vector<TWord> out;
    for (const TTextBlock& b : rich->RichBlocks()) out.push_back({b.Text, b.Left, b.Top});
    return out;
  }
  using Words = std::vector<TWord>;
  TQelRichLabel* rich = nullptr;
};

TEST_F(RichLabelTest, BracesColoursAndUnmatchedCommands) {
  // Closing commands without an opening one keep the label's own settings;
  // a "{" that nothing closes is text.
  EXPECT_EQ(Lay("{{a}} {$FF}red{/$} {/$}{/Center}plain a{b"),
            (Words{{u"{a}", 0, 0}, {u"red", 35, 0}, {u"plain", 0, 10}, {u"a{b", 55, 10}}));
  const TTextBlocks& b = rich->RichBlocks();
  EXPECT_EQ(b[0].Color, 0x123456u);
  EXPECT_EQ(b[1].Color, 0xFFu);
  EXPECT_EQ(b[2].Color, 0x123456u);
  EXPECT_EQ(b[0].SpaceCount, 1);
  EXPECT_EQ(b[0].Trailing, 5);

  graphic.Calls.clear();
  rich->Draw();
  auto texts = graphic.Of("ExtDraw");
  ASSERT_EQ(texts.size(), 4u);
  EXPECT_EQ(texts[1].Glyphs[0].Color, 0xFFu);
  EXPECT_EQ(texts[1].Glyphs[0].Alpha, 255);
  EXPECT_EQ(texts[1].Glyphs[0].X, rich->ScreenLeft + 35);
}

TEST_F(RichLabelTest, LinksAreLabelsThatQueueTheirScripts) {
  Lay("go {Link Action=PlaySound Sound=\"s\";}to the map{/Link} now");
  // The link's blanks belong to its text: one block of 20 + 5 + 30 + 5 + 30.
  const TTextBlocks& b = rich->RichBlocks();
  ASSERT_EQ(b.size(), 3u);
  EXPECT_TRUE(b[1].Text.empty());
  EXPECT_EQ(b[1].Width, 90);
  EXPECT_EQ(b[2].Left, 25 + 90 + 5);
  ASSERT_EQ(rich->Links().size(), 1u);
  const TQelLabel& link = *rich->Links()[0];
  EXPECT_EQ(link.GetCaption(), "to the map");
  EXPECT_EQ(link.ScreenLeft, rich->ScreenLeft + 25);
  EXPECT_EQ(link.Color, 7u);
  // A click on the link runs its script; a click beside it does not.
  engine.MouseDown(TMouseButton::mbLeft, ssLeft, rich->ScreenLeft + 5, rich->ScreenTop + 5);
  EXPECT_TRUE(graphic.Of("PlaySound").empty());
  engine.MouseDown(TMouseButton::mbLeft, ssLeft, rich->ScreenLeft + 30, rich->ScreenTop + 5);
  ASSERT_EQ(graphic.Of("PlaySound").size(), 1u);
  EXPECT_EQ(graphic.Of("PlaySound")[0].Picture, "s");

  // A link wider than the line gets a line of its own and stays whole.
  EXPECT_EQ(Lay("ab {Link Action=x;}abcdefgh{/Link} cd", 50),
            (Words{{u"ab", 0, 0}, {u"", 0, 10}, {u"cd", 0, 20}}));
  EXPECT_EQ(rich->Links()[0]->TextBlocks().size(), 1u);
}

TEST_F(RichLabelTest, ParagraphsAlignLineByLine) {
  // Centred paragraph: every line centred, its last line too.
  EXPECT_EQ(Lay("{Center}aa bb cc{/Center}", 60), (Words{{u"aa", 7, 0}, {u"bb", 32, 0}, {u"cc", 20, 10}}));
  // The label's own centring leaves the line in progress at the end alone.
  rich->SetAlignment(taCenter);
  EXPECT_EQ(Lay("aa bb cc", 60), (Words{{u"aa", 7, 0}, {u"bb", 32, 0}, {u"cc", 0, 10}}));
  rich->SetAlignment(taLeft);
  // Justified: 4 spare pixels over the 2 blanks of the first line; the last
  // line stays as placed.
  EXPECT_EQ(Lay("{Justify}aa b cc dd{/Justify}", 64),
            (Words{{u"aa", 0, 0}, {u"b", 27, 0}, {u"cc", 44, 0}, {u"dd", 0, 10}}));
  // A word wider than the line is split before the character that does not fit.
  EXPECT_EQ(Lay("abcdefg", 50), (Words{{u"abcde", 0, 0}, {u"fg", 0, 10}}));
}

TEST_F(RichLabelTest, TablesPlaceCellsAtTheirColumns) {
  EXPECT_EQ(Lay("top{Table}{TLeft 0/}ab{TRight 100/}cd{TCenter 150/}ef{/Table}x{BR 25/}y"),
            (Words{{u"top", 0, 0}, {u"ab", 0, 10}, {u"cd", 80, 10}, {u"ef", 140, 10}, {u"x", 0, 20},
                   {u"y", 0, 45}}));
}

TEST_F(RichLabelTest, AMalformedNumberLeavesNoTextBehind) {
  Lay("{Link Action=x;}ab{/Link} cd");
  ASSERT_FALSE(rich->RichBlocks().empty());
  EXPECT_THROW(rich->SetCaption("ab {BR x/}cd"), EConvertError);
  EXPECT_TRUE(rich->RichBlocks().empty());
  EXPECT_TRUE(rich->Links().empty());
  EXPECT_THROW(rich->SetCaption("{$GG}ab"), EConvertError);
  graphic.Calls.clear();
  rich->Draw();
  EXPECT_TRUE(graphic.Of("ExtDraw").empty());
}

class HintTest : public ::testing::Test, public test::TWidgetFixture {
 protected:
  void SetUp() override {
    SetClock(&clock);
    Load({Child("TQelHint", "H", {{"Left", "50"}, {"Top", "40"}, {"Width", "100"}, {"Height", "30"},
                                  {"ShowTime", "1000"}, {"BackGroundColor", "16"}, {"BackGroundAlpha", "128"},
                                  {"Caption", "a tip{BR/}more"}})});
    hint = W<TQelHint>("H");
    hint->HideHint();
  }
  void TearDown() override { SetClock(nullptr); }

  ManualClock clock{5000};
  TQelHint* hint = nullptr;
};

TEST_F(HintTest, ShowsForItsTimeWithoutRestarting) {
  hint->ShowHint();
  EXPECT_TRUE(hint->Visible);
  engine.Animate(5500);
  EXPECT_TRUE(hint->Visible);
  // Showing a visible hint does not restart its time.
  clock.Set(5600);
  hint->ShowHint();
  engine.Animate(5999);
  EXPECT_TRUE(hint->Visible);
  engine.Animate(6000);
  EXPECT_FALSE(hint->Visible);
  EXPECT_TRUE(hint->Changed);
  EXPECT_EQ(hint->OldRect, hint->HintArea());

  // A show time of 0 ends at the next step.
  hint->ShowTime = 0;
  hint->ShowHint();
  engine.Animate(clock.Now());
  EXPECT_FALSE(hint->Visible);

  // Without text there is nothing to show, not even the text it had before.
  hint->SetCaption("");
  hint->ShowHint();
  EXPECT_FALSE(hint->Visible);
}

TEST_F(HintTest, BackgroundCoversTheTextWithAMargin) {
  hint->ShowHint();
  engine.Animate(5001);
  // The height follows the text: two lines of 10.
  EXPECT_EQ(hint->Height, 20);
  graphic.Calls.clear();
  hint->Draw();
  auto rects = graphic.Of("DrawRect");
  ASSERT_EQ(rects.size(), 1u);
  const int32_t l = hint->ScreenLeft, t = hint->ScreenTop;
  EXPECT_EQ(*rects[0].Rect, (TRect{l - 16, t - 10, l + 100 + 16, t + 20 + 10}));
  EXPECT_EQ(rects[0].Color, 16u);
  EXPECT_EQ(rects[0].Alpha, 128);

  // A move keeps the area it leaves in the old rectangle; more moves before
  // the next drawing widen it in their direction.
  engine.ResetChanged();
  const TRect before = hint->HintArea();
  hint->SetLeft(90);
  hint->SetTop(10);
  EXPECT_EQ(hint->OldRect, before);
  EXPECT_EQ(hint->ScreenLeft, 100 + 90);
  hint->SetLeft(0);
  hint->SetTop(100);
  EXPECT_EQ(hint->OldRect, (TRect{before.Left, before.Top - 30, before.Right + 40, before.Bottom}));
  // Coming back keeps the edges reached before.
  hint->SetLeft(50);
  hint->SetTop(40);
  hint->SetLeft(20);
  hint->SetTop(70);
  EXPECT_EQ(hint->OldRect, (TRect{before.Left - 50, before.Top - 30, before.Right + 40, before.Bottom + 60}));
}

}  // namespace
}  // namespace qv
