// The widget base: alignment, auto-size, the once-per-frame old rectangle,
// focus by mouse and moving in the tab list.
#include <gtest/gtest.h>

#include "UiTestSupport.h"

namespace qv {
namespace {

using test::Description;
using test::TEngineFixture;

class WidgetBaseTest : public ::testing::Test, public TEngineFixture {
 protected:
  void SetUp() override {
    graphic.SetPicture("box.png", 40, 20);
    engine.LoadFromText(Description({
        {"TQelForm",
         {{"Name", "W"},
          {"ParentName", "Screen"},
          {"Left", "100"},
          {"Top", "50"},
          {"Width", "400"},
          {"Height", "300"},
          {"Visible", "true"}}},
        {"TQelForm",
         {{"Name", "C"},
          {"ParentName", "W"},
          {"Width", "60"},
          {"Height", "30"},
          {"HAlign", "haCenter"},
          {"ShiftLeft", "5"},
          {"VAlign", "vaBottom"},
          {"ShiftTop", "-10"}}},
        {"TQelForm",
         {{"Name", "P"},
          {"ParentName", "W"},
          {"AutoSize", "asPicture"},
          {"Picture", "box.png"},
          {"HAlign", "haJustify"},
          {"Left", "7"}}},
    }));
  }
};

TEST_F(WidgetBaseTest, AlignmentFollowsTheContainer) {
  auto* c = W("C");
  EXPECT_EQ(c->Left, 400 / 2 + 5 - 60 / 2);
  EXPECT_EQ(c->Top, 300 - 10 - 30);
  EXPECT_EQ(c->ScreenLeft, 100 + c->Left);
  EXPECT_EQ(c->ScreenTop, 50 + c->Top);
  // An aligned widget ignores Left; the window itself follows the screen.
  c->SetLeft(3);
  EXPECT_EQ(c->Left, 175);
  W("W")->SetHAlign(THAlignType::haRight);
  EXPECT_EQ(W("W")->Left, 800 - 400);
  EXPECT_EQ(c->ScreenLeft, 400 + 175);

  // Justify does not touch an auto-sized widget, which takes its picture's size.
  auto* p = W("P");
  EXPECT_EQ(p->Left, 0);
  EXPECT_EQ(p->Width, 40);
  EXPECT_EQ(p->Height, 20);
  // A picture the host does not know keeps the size and the picture offset.
  p->SetPictureHAlign(TPictureHAlignType::phaRight);
  p->SetPicture("unknown.png");
  EXPECT_EQ(p->Width, 40);
  EXPECT_EQ(p->PictureLeft, 0);
}

TEST_F(WidgetBaseTest, OldRectIsTheBoundsOfTheLastDrawing) {
  auto* w = W("W");
  EXPECT_FALSE(w->Changed);
  w->SetLeft(120);
  w->SetTop(70);
  EXPECT_TRUE(w->Changed);
  EXPECT_EQ(w->OldRect, (TRect{100, 50, 500, 350}));
  EXPECT_EQ(w->Bounds(), (TRect{120, 70, 520, 370}));
}

TEST_F(WidgetBaseTest, EventScriptsCarryTheirSound) {
  auto* w = W("W");
  w->QueueScript("ShowModal Form=\"X\";", "click.ogg");
  ASSERT_EQ(engine.ScriptQueue.TagCount(), 1);
  const TQelXMLTag* script = engine.ScriptQueue.GetTag(0);
  EXPECT_EQ(script->FindAttribute("Sender")->Value, "W");
  ASSERT_EQ(script->TagCount(), 2);
  EXPECT_EQ(script->GetTag(0)->Name, "PlaySound");
  EXPECT_EQ(script->GetTag(0)->FindAttribute("Sound")->Value, "click.ogg");
  EXPECT_EQ(script->GetTag(1)->Name, "ShowModal");
  EXPECT_EQ(engine.Sender, w);
}

TEST(WidgetProperties, PublishedByNameFromText) {
  TQelInterfaceEngine engine;
  engine.LoadFromText(Description({{"TQelTabForm",
                                    {{"Name", "T"},
                                     {"ParentName", "Screen"},
                                     {"BlendingMode", "bmAddBlend"},
                                     {"PictureAlpha", "128"},
                                     {"Visible", "true"},
                                     {"OnMouseUp", "HideModal;"},
                                     {"TabGroup", "3"},
                                     {"HeadLine", "0;0;400;30;"},
                                     {"BumpMapPicture", "bump"}}}}));
  auto* t = dynamic_cast<TQelTabForm*>(engine.FindObject("T"));
  ASSERT_NE(t, nullptr);
  EXPECT_EQ(t->BlendingMode, TBlendingMode::bmAddBlend);
  EXPECT_EQ(t->PictureAlpha, 128);
  EXPECT_TRUE(t->Visible);
  EXPECT_EQ(t->TabGroup, 3);
  EXPECT_EQ(t->CurrentBumpMap, "bump");
  EXPECT_EQ(PropValueToText(engine.GetProp("T", "HeadLine")), "0;0;400;30;");
  EXPECT_EQ(PropValueToText(engine.GetProp("T", "VAlign")), "vaNone");
  EXPECT_THROW(engine.SetProp("T", "HAlign", "haMiddle"), EConvertError);
  EXPECT_THROW(engine.SetProp("T", "Caption", "x"), Exception);
}

}  // namespace
}  // namespace qv
