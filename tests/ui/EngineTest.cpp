// The interface engine at run time: the modal stack, scripts and their
// commands, input routing, drawing, changed rectangles and animation.
#include <gtest/gtest.h>

#include <memory>

#include "UiTestSupport.h"

namespace qv {
namespace {

using test::Description;
using test::TEngineFixture;
using test::TObj;
using test::TTestFocused;
using test::TTestMoving;

TObj Window(const std::string& name, int left) {
  return {"TQelForm",
          {{"Name", name},
           {"ParentName", "Screen"},
           {"Left", std::to_string(left)},
           {"Top", "10"},
           {"Width", "100"},
           {"Height", "50"},
           {"Picture", name + ".png"}}};
}

TObj Button(const std::string& name, const std::string& parent, const std::string& onMouseUp) {
  return {"TTestFocused",
          {{"Name", name},
           {"ParentName", parent},
           {"Width", "20"},
           {"Height", "10"},
           {"Visible", "true"},
           {"OnMouseUp", onMouseUp}}};
}

class EngineTest : public ::testing::Test, public TEngineFixture {
 protected:
  void SetUp() override {
    engine.OwnerForm = &owner;
    engine.LoadFromText(
        Description({Window("A", 0), Window("B", 200), Window("C", 400),
                     Button("A_Ok", "A", "ExecMethod Method=\"WA_Ok_MouseUp\";"), Button("B_Ok", "B", "HideModal;")}));
  }
  std::vector<std::string> Stack() const {
    std::vector<std::string> names;
    for (auto* w : engine.ModalStack) names.push_back(w->Name());
    return names;
  }
  void Run(const std::string& script, const std::string& sender = "A_Ok") {
    engine.AddScript(sender, script);
    engine.ExecuteScripts();
  }
  using Names = std::vector<std::string>;

  TQelMethodTable owner;
};

TEST_F(EngineTest, ShowModalPushesOnceAndHideModalUncoversTheNextWindow) {
  engine.ShowModal("A");
  engine.ShowModal("B");
  engine.ShowModal("C");
  engine.ShowModal("A");  // already on the stack: not moved
  engine.ShowModal("Nobody");
  EXPECT_EQ(Stack(), (Names{"A", "B", "C"}));
  EXPECT_TRUE(W("C")->Visible);

  engine.ResetChanged();
  Run("HideModal;");
  EXPECT_EQ(Stack(), (Names{"A", "B"}));
  EXPECT_FALSE(W("C")->Visible);
  EXPECT_TRUE(W("B")->Changed);
  EXPECT_EQ(W("B")->OldRect, (TRect{400, 10, 500, 60}));

  engine.ShowModal("C");
  Run("HideModal Form=\"B\";");
  EXPECT_EQ(Stack(), (Names{"A"}));
  EXPECT_FALSE(W("B")->Visible);
  EXPECT_FALSE(W("C")->Visible);
  // A name that is not on the stack leaves it alone.
  Run("HideModal Form=\"C\";ChangeModal HideForm=\"C\" ShowForm=\"B\";");
  EXPECT_EQ(Stack(), (Names{"A"}));

  engine.ShowModal("B");
  engine.ShowModal("C");
  Run("HideModalList x=\"1\";");
  EXPECT_EQ(Stack().size(), 3u);
  Run("HideModalList;");
  EXPECT_TRUE(Stack().empty());
}

TEST_F(EngineTest, ChangeModalReplacesWindows) {
  engine.ShowModal("A");
  engine.ShowModal("B");
  Run("ChangeModal HideForm=\"A\" ShowForm=\"C\";");
  EXPECT_EQ(Stack(), (Names{"C"}));
  Run("ChangeModal ShowForm=\"B\";");
  EXPECT_EQ(Stack(), (Names{"B"}));
  EXPECT_TRUE(W("B")->Changed);
  engine.HideModalList();
  engine.ChangeTopModal("A");  // empty stack: nothing
  EXPECT_TRUE(Stack().empty());
}

TEST_F(EngineTest, ScriptsKeepQuotedSemicolonsAndDropAnUnendedCommand) {
  Run("PlaySound Sound=\"a;b.ogg\";ShowModal Form=\"A\"");
  auto sounds = graphic.Of("PlaySound");
  ASSERT_EQ(sounds.size(), 1u);
  EXPECT_EQ(sounds[0].Picture, "a;b.ogg");
  EXPECT_TRUE(Stack().empty());
  EXPECT_EQ(engine.ScriptQueue.TagCount(), 0);
  // Unknown commands and commands without their attribute do nothing.
  Run("Explode;ShowModal;ShowModal Form=\"B\";");
  EXPECT_EQ(Stack(), (Names{"B"}));
}

TEST_F(EngineTest, ExecMethodCallsHandlersByNameAndSenderIsTheQueuingWidget) {
  std::vector<std::string> calls;
  owner.Publish("WA_Ok_MouseUp", [&] { calls.push_back("ok:" + engine.Sender->Name()); });
  owner.Publish("Other", [&] { calls.push_back("other:" + engine.Sender->Name()); });
  engine.AddScript("A_Ok",
                   "ExecMethod Method=\"wa_ok_mouseup\";ExecMethod Method=\"NotPublished\";"
                   "PlaySound Sound=\"after\";");
  engine.AddScript("B_Ok", "ExecMethod Method=\"Other\";");
  EXPECT_EQ(engine.Sender, W("B_Ok"));
  engine.ExecuteScripts();
  EXPECT_EQ(calls, (Names{"ok:A_Ok", "other:B_Ok"}));
  EXPECT_EQ(graphic.Of("PlaySound").size(), 1u);
  TQelInterfaceEngine::ExecMethod(nullptr, "Other");
}

TEST_F(EngineTest, HandlersMayClearTheQueueWhileItRuns) {
  owner.Publish("Reset", [&] {
    engine.ClearScripts();
    engine.AddScript("B_Ok", "ShowModal Form=\"C\";");  // queued during the run: dropped
  });
  Run("ExecMethod Method=\"Reset\";ShowModal Form=\"A\";");
  EXPECT_EQ(Stack(), (Names{"A"}));
  EXPECT_EQ(engine.ScriptQueue.TagCount(), 0);
}

TEST_F(EngineTest, SetPropErrorStopsTheRunAndEmptiesTheQueue) {
  Run("SetProp Object=\"A\" Prop=\"Left\" Value=\"33\";SetProp Object=\"Nobody\" Prop=\"Left\" Value=\"1\";");
  EXPECT_EQ(W("A")->Left, 33);
  engine.AddScript("A_Ok", "SetProp Object=\"A\" Prop=\"Left\" Value=\"x\";ShowModal Form=\"A\";");
  engine.AddScript("B_Ok", "ShowModal Form=\"B\";");
  EXPECT_THROW(engine.ExecuteScripts(), EConvertError);
  EXPECT_TRUE(Stack().empty());
  EXPECT_EQ(engine.ScriptQueue.TagCount(), 0);
  engine.ExecuteScripts();
  EXPECT_TRUE(Stack().empty());
}

TEST_F(EngineTest, InputReachesOnlyTheTopWindowThenRunsItsScripts) {
  engine.ShowModal("A");
  engine.ShowModal("B");
  int okCalls = 0;
  owner.Publish("WA_Ok_MouseUp", [&] { ++okCalls; });
  // A click on A's button position does not reach A: B is on top.
  engine.MouseUp(TMouseButton::mbLeft, 0, 5, 15);
  EXPECT_EQ(okCalls, 0);
  // B's button hides B within the same call.
  engine.MouseUp(TMouseButton::mbLeft, 0, 205, 15);
  EXPECT_EQ(Stack(), (Names{"A"}));
  engine.MouseUp(TMouseButton::mbLeft, 0, 5, 15);
  EXPECT_EQ(okCalls, 1);
  char16_t ch = u'x';
  engine.KeyPress(ch);
  EXPECT_EQ(W<TTestFocused>("A_Ok")->Chars, u"x");
  engine.HideModalList();
  engine.MouseUp(TMouseButton::mbLeft, 0, 5, 15);  // empty stack: nothing
  EXPECT_EQ(okCalls, 1);
}

TEST_F(EngineTest, DrawsBottomToTopAndClearsTheChangeFlags) {
  engine.ShowModal("A");
  engine.ShowModal("B");
  W("B_Ok")->SetVisible(false);
  graphic.Calls.clear();
  engine.DrawInterface();
  EXPECT_EQ(graphic.Trace(), (Names{"DrawBumpMap:A.png", "DrawBumpMap:", "DrawBumpMap:B.png", "Draw:A.png",
                                    "Draw:", "PostFormDraw:A", "Draw:B.png", "PostFormDraw:B"}));
  EXPECT_FALSE(engine.Changed);
  EXPECT_FALSE(W("A")->Changed);
  EXPECT_EQ(W("A")->OldRect, TRect{});
  // Nothing changed: no bump maps the next time.
  graphic.Calls.clear();
  engine.DrawInterface();
  EXPECT_TRUE(graphic.Of("DrawBumpMap").empty());
}

TEST_F(EngineTest, ChangedRectsOfWindowsAndNestedChildren) {
  engine.LoadFromText(Description(
      {{"TQelForm",
        {{"Name", "Panel"}, {"ParentName", "A"}, {"Left", "10"}, {"Top", "10"}, {"Width", "50"}, {"Height", "30"}}},
       Button("Inner", "Panel", "")}));
  engine.ShowModal("A");
  engine.ShowModal("B");
  engine.ResetChanged();
  TRects rects;
  engine.GetChangedRects(rects);
  EXPECT_TRUE(rects.empty());

  // A changed window: old and new bounds, even when it did not move.
  W("B")->SetPictureAlpha(100);
  // A changed child that moved, and a changed child of an unchanged panel.
  W("A_Ok")->SetLeft(30);
  W("Inner")->SetPictureAlpha(9);
  engine.GetChangedRects(rects);
  EXPECT_EQ(rects,
            (TRects{{30, 10, 50, 20}, {0, 10, 20, 20}, {10, 20, 30, 30}, {200, 10, 300, 60}, {200, 10, 300, 60}}));
  // Once the panel itself changed, its children are not looked at.
  W("Panel")->SetPictureAlpha(1);
  rects.clear();
  engine.GetChangedRects(rects);
  EXPECT_EQ(rects,
            (TRects{{30, 10, 50, 20}, {0, 10, 20, 20}, {10, 20, 60, 50}, {200, 10, 300, 60}, {200, 10, 300, 60}}));
}

TEST_F(EngineTest, AnimateStepsTheTopWindowsMovingPicturesAndChildForms) {
  auto add = [&](std::unique_ptr<TTestFocused> w, const std::string& name, const std::string& parent) {
    TTestFocused* raw = w.get();
    engine.AddObject(std::move(w));
    raw->SetEngine(&engine);
    raw->SetName(name);
    raw->ParentName = parent;
    return raw;
  };
  TTestFocused* moving = add(std::make_unique<TTestMoving>(), "Anim", "A");
  TTestFocused* plain = add(std::make_unique<TTestFocused>(), "Plain", "A");
  engine.BuildChildLists();
  engine.Animate(5);  // empty stack
  engine.ShowModal("A");
  engine.Animate(1234);
  EXPECT_EQ(moving->Steps, std::vector<int32_t>{1234});
  EXPECT_TRUE(plain->Steps.empty());
  W("A")->SetVisible(false);
  engine.Animate(1300);
  EXPECT_EQ(moving->Steps.size(), 1u);
}

}  // namespace
}  // namespace qv
