// Forms: the tab list and focus keys, the drag rectangle, tab-form groups
// and renaming.
#include <gtest/gtest.h>

#include "UiTestSupport.h"
#include "foundation/StrUtils.h"

namespace qv {
namespace {

using test::Description;
using test::TEngineFixture;
using test::TObj;
using test::TTestFocused;

TObj Window(const std::string& name) {
  return {"TQelForm",
          {{"Name", name},
           {"ParentName", "Screen"},
           {"Width", "400"},
           {"Height", "300"},
           {"Left", "100"},
           {"Top", "100"},
           {"Visible", "true"}}};
}

TObj Focusable(const std::string& name, const std::string& parent, const std::string& tabOrder) {
  return {"TTestFocused",
          {{"Name", name},
           {"ParentName", parent},
           {"TabOrder", tabOrder},
           {"Width", "50"},
           {"Height", "20"},
           {"Visible", "true"}}};
}

class FormTest : public ::testing::Test, public TEngineFixture {
 protected:
  TQelForm* Load(const std::vector<TObj>& objs) {
    engine.LoadFromText(Description(objs));
    return W<TQelForm>("W");
  }
  void Key(uint16_t key, TShiftState shift = 0) { W<TQelForm>("W")->KeyDown(key, shift); }
  bool Focused(const std::string& name) { return W<TTestFocused>(name)->Focused; }
};

TEST_F(FormTest, TabWithNoneOrOneFocusableChildDoesNothing) {
  TQelForm* w = Load({Window("W")});
  Key(kVkTab);
  EXPECT_TRUE(w->TabList.empty());

  engine.Clear();
  Load({Window("W"), Focusable("A", "W", "0")});
  Key(kVkTab);
  Key(kVkTab, ssShift);
  EXPECT_FALSE(Focused("A"));
}

TEST_F(FormTest, TabAndShiftTabWalkTheTabListInCircles) {
  // Listed out of order: the tab list follows TabOrder, not the file.
  Load({Window("W"), Focusable("C", "W", "2"), Focusable("A", "W", "0"), Focusable("B", "W", "1")});
  // Nobody focused counts as the first: Tab gives the focus to the second.
  Key(kVkTab);
  EXPECT_TRUE(Focused("B"));
  EXPECT_FALSE(Focused("A"));
  Key(kVkTab);
  Key(kVkTab);
  EXPECT_TRUE(Focused("A"));
  EXPECT_FALSE(Focused("C"));
  Key(kVkTab, ssShift);
  EXPECT_TRUE(Focused("C"));
  EXPECT_FALSE(Focused("A"));
  // Other keys go to the focused child only.
  Key(65);
  EXPECT_EQ(W<TTestFocused>("C")->Keys, std::vector<uint16_t>{65});
  EXPECT_TRUE(W<TTestFocused>("A")->Keys.empty());
}

TEST_F(FormTest, TabListsWithGapsAndRepeatsSkipTheHoles) {
  TQelForm* w = Load({Window("W"), Focusable("A", "W", "1"), Focusable("B", "W", "4"), Focusable("C", "W", "4"),
                      Focusable("D", "W", "-1"), Focusable("E", "W", "99999")});
  ASSERT_EQ(w->TabList.size(), 5u);
  EXPECT_EQ(w->TabList[0], nullptr);
  Key(kVkTab, ssShift);  // from the first filled place back to the last
  EXPECT_TRUE(Focused("C"));
  Key(kVkTab);
  EXPECT_TRUE(Focused("A"));
  Key(kVkTab);
  EXPECT_TRUE(Focused("C"));
  // A press on B (left out of the list by C's repeat) takes the focus from C.
  W<TTestFocused>("B")->MouseDown(TMouseButton::mbLeft, 0, W("B")->ScreenLeft + 1, W("B")->ScreenTop + 1);
  EXPECT_TRUE(Focused("B"));
  EXPECT_FALSE(Focused("C"));
  // Moving B in the list takes its real place into account.
  W<TTestFocused>("B")->SetTabOrder(0);
  EXPECT_EQ(w->TabList[0], W("B"));
  EXPECT_EQ(std::count(w->TabList.begin(), w->TabList.end(), W("B")), 1);
}

TEST_F(FormTest, TabOrderSetAfterLoadingMovesInTheList) {
  TQelForm* w = Load({Window("W"), Focusable("A", "W", "0"), Focusable("B", "W", "1"), Focusable("C", "W", "2")});
  engine.SetProp("A", "TabOrder", "99");
  ASSERT_EQ(w->TabList.size(), 3u);
  EXPECT_EQ(w->TabList[2], W("A"));
  EXPECT_EQ(W<TTestFocused>("A")->TabOrder, 2);
  EXPECT_EQ(W<TTestFocused>("B")->TabOrder, 0);
  EXPECT_EQ(W<TTestFocused>("C")->TabOrder, 1);
}

TEST_F(FormTest, HeadLineStartsADragStrictlyInside) {
  TQelForm* w = Load({Window("W"), Focusable("A", "W", "0")});
  w->SetHeadLine("10;20;");
  EXPECT_EQ(w->HeadLine, (TRect{10, 20, 0, 0}));
  w->SetHeadLine("0;0;400;30;77;");
  EXPECT_EQ(w->GetHeadLine(), "0;0;400;30;");

  // On the edge: no drag, the child still gets the press.
  w->MouseDown(TMouseButton::mbLeft, 0, 100, 110);
  EXPECT_FALSE(w->Dragging);
  w->MouseDown(TMouseButton::mbLeft, 0, 101, 101);
  EXPECT_TRUE(W<TTestFocused>("A")->Pressed);
  EXPECT_TRUE(w->Dragging);
  w->MouseMove(ssLeft, 131, 111);
  EXPECT_EQ(w->ScreenLeft, 130);
  EXPECT_EQ(w->ScreenTop, 110);
  EXPECT_EQ(W("A")->ScreenLeft, 130);
  EXPECT_TRUE(engine.Changed);
  // Released outside: the drag stays set, but moves without the button do nothing.
  w->MouseUp(TMouseButton::mbLeft, 0, 5, 5);
  EXPECT_TRUE(w->Dragging);
  w->MouseMove(0, 200, 200);
  EXPECT_EQ(w->ScreenLeft, 130);
}

TEST_F(FormTest, ShowingATabFormHidesItsGroupUnderTheSameParent) {
  auto tab = [](const std::string& name, const std::string& parent, const std::string& group) {
    return TObj{"TQelTabForm", {{"Name", name}, {"ParentName", parent}, {"TabGroup", group}, {"Visible", "true"}}};
  };
  Load({Window("W"), Window("V"), tab("T1", "W", "1"), tab("T2", "W", "1"), tab("T3", "W", "2"), tab("U1", "V", "1")});
  W("T1")->SetVisible(true);
  EXPECT_TRUE(W("T1")->Visible);
  EXPECT_FALSE(W("T2")->Visible);
  EXPECT_TRUE(W("T3")->Visible);
  EXPECT_TRUE(W("U1")->Visible);
  W("T2")->SetVisible(true);
  EXPECT_FALSE(W("T1")->Visible);
  EXPECT_TRUE(W("T2")->Visible);
}

TEST_F(FormTest, RenamingAFormKeepsItsChildren) {
  TQelForm* w = Load({Window("W"), Window("Other"), Focusable("A", "W", "0")});
  w->SetName("WNew");
  EXPECT_EQ(W("A")->ParentName, "WNew");
  w->BuildChildList();
  ASSERT_EQ(w->ChildList.size(), 1u);
  // A refused rename (the name is taken) leaves the children where they are.
  w->SetName("Other");
  EXPECT_EQ(w->Name(), "WNew");
  EXPECT_EQ(W("A")->ParentName, "WNew");
  w->BuildChildList();
  EXPECT_EQ(w->ChildList.size(), 1u);
}

TEST_F(FormTest, FormsThatContainEachOtherDoNotRecurse) {
  TQelForm* w = Load({{"TQelForm",
                       {{"Name", "W"},
                        {"ParentName", "P"},
                        {"Visible", "true"},
                        {"Width", "9"},
                        {"Height", "9"},
                        {"Picture", "w.png"}}},
                      {"TQelForm",
                       {{"Name", "P"},
                        {"ParentName", "W"},
                        {"Visible", "true"},
                        {"Width", "9"},
                        {"Height", "9"},
                        {"Picture", "p.png"}}}});
  w->Draw();
  uint16_t key = 65;
  w->KeyDown(key, 0);
  w->MouseDown(TMouseButton::mbLeft, 0, 1, 1);
  w->Realign();
  // The walk stops where it meets a form it is already in.
  EXPECT_TRUE(StartsWith(w->GetPictureList(), "w.png\r\np.png"));
  EXPECT_LE(graphic.Of("Draw").size(), 3u);
}

TEST_F(FormTest, AssignClonesTheChildrenAsNewWidgets) {
  Load({Window("W"), Focusable("A", "W", "0")});
  engine.CreateObject("Copy", "Screen", "TQelForm");
  auto* copy = W<TQelForm>("Copy");
  copy->Assign(*W("W"));
  ASSERT_EQ(copy->ChildList.size(), 1u);
  EXPECT_EQ(copy->ChildList[0]->Name(), "CopyA");
  EXPECT_EQ(copy->ChildList[0]->ParentName, "Copy");
  EXPECT_EQ(copy->ChildList[0]->Parent(), copy);
  EXPECT_EQ(copy->Width, 400);
}

}  // namespace
}  // namespace qv
