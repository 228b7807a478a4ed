// The frame: what a pass presents, the dirty rectangles of the pointer and
// the held card, the cursor at the screen's edges, the frame-rate average,
// focus changes and errors inside a pass.
#include <gtest/gtest.h>

#include "shell/ShellFakes.h"

namespace qv::test {
namespace {

TRect Union(const TRects& rects) {
  TRect u{100000, 100000, -100000, -100000};
  for (const TRect& r : rects) {
    u.Left = std::min(u.Left, r.Left);
    u.Top = std::min(u.Top, r.Top);
    u.Right = std::max(u.Right, r.Right);
    u.Bottom = std::max(u.Bottom, r.Bottom);
  }
  return u;
}

TEST(MainLoop, TitlePassPresentsOnlyWhatChanged) {
  ShellRig rig;
  TShell& s = *rig.Shell;
  s.Game.Game.GameMode = gmMenus;
  // The cursor's own animation stands still here.
  s.Game.Game.CursorNextTime = rig.Clock.Now() + 1000000;
  s.Frame.RedrawRects.push_back(kWholeScreen);
  ASSERT_TRUE(s.Loop.Pass());
  ASSERT_EQ(rig.Display->CommitCount(), 1);
  EXPECT_EQ(rig.Display->Commits()[0], std::vector<TDisplayRect>({TDisplayRect{0, 0, 800, 600}}));

  // Nothing changed: the cursor is drawn into the picture, but nothing is shown.
  rig.Clock.Advance(16);
  ASSERT_TRUE(s.Loop.Pass());
  EXPECT_EQ(rig.Display->CommitCount(), 1);

  // A pointer move marks the old and the new cursor place.
  s.FormMouseMove(0, 100, 50);
  ASSERT_EQ(s.Frame.DirtyRects.size(), 1u);
  EXPECT_EQ(s.Frame.DirtyRects[0], (TRect{0, 0, 141, 90}));
  ASSERT_TRUE(s.Loop.Pass());
  ASSERT_EQ(rig.Display->CommitCount(), 2);
  std::vector<TDisplayRect> shown = rig.Display->Commits()[1];
  TRects cells;
  for (const TDisplayRect& r : shown) cells.push_back(TRect{r.Left, r.Top, r.Right, r.Bottom});
  EXPECT_EQ(Union(cells), (TRect{0, 0, 141, 90}));
  EXPECT_EQ(s.Frame.PrevMousePos, (TGamePoint{100, 50}));

  // Moving back marks the union of both places again.
  s.FormMouseMove(0, 60, 70);
  EXPECT_EQ(s.Frame.DirtyRects.back(), (TRect{60, 50, 141, 110}));
  EXPECT_EQ(rig.UI->Calls.back(), "MouseMove 60,70");
}

TEST(MainLoop, HeldQuestCardMarksCardCursorAndHalo) {
  ShellRig rig;
  TShell& s = *rig.Shell;
  TCard card;
  card.X = 100;
  card.Y = 100;
  card.QuestCard = true;
  card.BonusType = btNone;
  s.Game.Cards.push_back(card);
  s.Game.HeldCard = 0;
  s.Frame.PrevHeldCardPos = {90, 95};
  s.Frame.PrevMousePos = {110, 120};
  s.Game.MousePos = {116, 125};
  s.Frame.HaloOffset = {10, 12};
  s.Loop.AddHeldCardDirtyRect();
  ASSERT_EQ(s.Frame.DirtyRects.size(), 1u);
  EXPECT_EQ(s.Frame.DirtyRects[0], (TRect{80, 83, 157, 165}));

  // Without the halo the rectangle is the card's and the cursor's only.
  s.Frame.DirtyRects.clear();
  s.Game.Cards[0].QuestCard = false;
  s.Loop.AddHeldCardDirtyRect();
  EXPECT_EQ(s.Frame.DirtyRects[0], (TRect{90, 95, 157, 165}));

  // No card held, nothing marked.
  s.Frame.DirtyRects.clear();
  s.Game.HeldCard = -1;
  s.Loop.AddHeldCardDirtyRect();
  EXPECT_TRUE(s.Frame.DirtyRects.empty());
}

TEST(MainLoop, CursorIsCutAtTheRightAndBottomEdges) {
  ShellRig rig;
  TShell& s = *rig.Shell;
  s.Game.Game.GameMode = gmMenus;
  s.Game.Game.CursorFrame = 2;
  s.Game.MousePos = {400, 300};
  s.Loop.DrawMemorySurface();
  EXPECT_EQ(s.Frame.CursorSourceRect, (TRect{82, 0, 122, 38}));

  s.Game.MousePos = {790, 590};
  s.Loop.DrawMemorySurface();
  // 31 pixels past the right edge and 30 past the bottom are cut off.
  EXPECT_EQ(s.Frame.CursorSourceRect, (TRect{82, 0, 91, 8}));
}

TEST(MainLoop, FrameRateAveragesItsSamples) {
  ShellRig rig;
  TShell& s = *rig.Shell;
  s.Loop.DebugMode = true;
  const int32_t t0 = rig.Clock.Now();
  s.Frame.LastRateTick = t0;
  s.Frame.FrameCounter = 100;
  s.Loop.SampleFrameRate(t0 + 1000);  // not more than a second yet
  EXPECT_EQ(s.Frame.RateSamples, 0);
  s.Loop.SampleFrameRate(t0 + 1001);
  EXPECT_DOUBLE_EQ(s.Frame.AverageRate, 50.0);
  EXPECT_EQ(s.Frame.FrameCounter, 0u);
  s.Frame.FrameCounter = 100;
  s.Loop.SampleFrameRate(t0 + 2002);
  EXPECT_NEAR(s.Frame.AverageRate, 66.667, 0.001);

  // A rate above 255 is kept whole, in the average and in the caption.
  s.Frame.FrameCounter = 400;
  s.Loop.SampleFrameRate(t0 + 3003);
  EXPECT_EQ(s.Frame.FrameRate, 400u);
  EXPECT_EQ(rig.Display->Caption(), "FPS:400");
  EXPECT_NEAR(s.Frame.AverageRate, 150.0, 0.001);
}

TEST(MainLoop, FocusLossDuringPlayOpensTheMenuAndOnlyTheMessageRestarts) {
  ShellRig rig;
  TShell& s = *rig.Shell;
  s.Game.Game.GameMode = gmPlaying;
  s.HandleEvent(TInputEvent{TEventKind::FocusLost});
  EXPECT_FALSE(s.Idling);
  EXPECT_EQ(s.Game.Game.GameMode, gmFrozen);
  EXPECT_EQ(rig.UI->TopWindow(), "WGameMenu");
  EXPECT_NE(s.Game.Game.PauseStart, 0);

  s.HandleEvent(TInputEvent{TEventKind::FocusGained});
  EXPECT_FALSE(s.Idling) << "the loop restarts only through the private message";
  ASSERT_EQ(rig.Events->Pending(), 1u);
  const int before = rig.Display->CommitCount();
  s.Step();
  EXPECT_TRUE(s.Idling);
  ASSERT_EQ(rig.Display->CommitCount(), before + 1);
  // The full redraw reaches the screen.
  TRects cells;
  for (const TDisplayRect& r : rig.Display->Commits().back()) cells.push_back(TRect{r.Left, r.Top, r.Right, r.Bottom});
  EXPECT_EQ(Union(cells), kWholeScreen);
}

TEST(MainLoop, ErrorInAPassShowsTheBoxAndTheLoopGoesOn) {
  ShellRig rig;
  TShell& s = *rig.Shell;
  int passes = 0;
  s.Loop.Update = [&](int32_t) {
    if (++passes == 1) throw QelException("[TQelFXBase.Update]: broken");
  };
  EXPECT_TRUE(s.Step());
  EXPECT_TRUE(s.Idling);
  ASSERT_FALSE(rig.Desktop->Requests.empty());
  EXPECT_NE(rig.Desktop->Requests.back().find("broken"), std::string::npos);
  EXPECT_TRUE(s.Step());
  EXPECT_EQ(passes, 2);

  // An error waiting for the next pass ends the program.
  s.Loop.PendingError = "Exception error in TQelGameEngine.RunGame";
  EXPECT_FALSE(s.Step());
  EXPECT_TRUE(s.Failed);
}

TEST(MainLoop, InputGoesToTheInterfaceFirstThenTheGame) {
  ShellRig rig;
  TShell& s = *rig.Shell;
  s.Game.Game.GameMode = gmPlaying;
  s.FormMouseWheel(0, 120, 10, 10);
  EXPECT_TRUE(rig.UI->Calls.empty()) << "the wheel does nothing during play";
  s.FormMouseDown(0, 0, 5, 5);
  EXPECT_EQ(rig.UI->Calls.back(), "MouseDown 5,5");

  // The tutorial waiting for the first take keeps clicks from the interface.
  s.Game.Game.IntroFlags[0] = false;
  rig.UI->Calls.clear();
  s.FormMouseDown(0, 0, 5, 5);
  EXPECT_TRUE(rig.UI->Calls.empty());

  // Key releases reach nobody; Ctrl+Space without clears left is passed on.
  s.HandleEvent(TInputEvent{TEventKind::KeyUp, 0, 0, 0, 0, 0, vkSpace});
  EXPECT_TRUE(rig.UI->Calls.empty());
  s.Game.Level.BeltClears = 0;
  s.FormKeyDown(vkSpace, kCtrlKey);
  EXPECT_EQ(rig.UI->Calls.back(), "KeyDown 32");

  // Escape after the level ended opens no menu but reaches the interface.
  s.Game.Level.LevComplete = true;
  s.FormKeyDown(vkEscape, 0);
  EXPECT_TRUE(rig.UI->Stack.empty());
  EXPECT_EQ(rig.UI->Calls.back(), "KeyDown 27");
}

}  // namespace
}  // namespace qv::test
