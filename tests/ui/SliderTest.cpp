// Sliders, progress bars and moving pictures.
#include <gtest/gtest.h>

#include "WidgetTestSupport.h"
#include "foundation/QelException.h"
#include "ui/QelMoving.h"
#include "ui/QelProgressBar.h"
#include "ui/QelSlider.h"

namespace qv {
namespace {

using test::Child;

class SliderTest : public ::testing::Test, public test::TWidgetFixture {
 protected:
  void SetUp() override {
    graphic.SetPicture("track.png", 100, 10);
    graphic.SetPicture("bar.png", 10, 10);
    graphic.SetPicture("up.png", 8, 10);
    graphic.SetPicture("a.png", 40, 10);
    graphic.SetPicture("b.png", 80, 20);
    Load({Child("TQelSlider", "S", {{"Width", "100"}, {"Height", "10"}, {"Picture", "track.png"},
                                    {"BarPicture", "bar.png"}, {"BarShiftLeft", "5"}, {"Max", "10"}, {"Step", "3"},
                                    {"BigStep", "4"}, {"UpPicture", "up.png"},
                                    {"OnChange", "PlaySound Sound=\"change\";"}}),
          Child("TQelProgressBar", "P", {{"Top", "50"}, {"Width", "100"}, {"Height", "10"},
                                         {"BarPicture", "step.png"}, {"Max", "100"}, {"StepWidth", "10"}}),
          Child("TQelMoving", "M", {{"Top", "100"}, {"AutoSize", "asPicture"},
                                    {"Picture", "a.png:4:100:0;b.png:4:100:0;"}})});
    slider = W<TQelSlider>("S");
  }
  int Changes() {
    engine.ExecuteScripts();
    int n = static_cast<int>(graphic.Of("PlaySound").size());
    graphic.Calls.clear();
    return n;
  }
  // Presses on the bar and drags it to `x` pixels right of the track's start.
  void Drag(int32_t x) {
    const int32_t l = slider->ScreenLeft, t = slider->ScreenTop + 5;
    engine.MouseDown(TMouseButton::mbLeft, ssLeft, l + slider->BarOffset() + 1, t);
    engine.MouseMove(ssLeft, l + x, t);
    engine.MouseUp(TMouseButton::mbLeft, 0, l + x, t);
  }
  TQelSlider* slider = nullptr;
};

TEST_F(SliderTest, PositionIsClampedAndReportsOnlyChanges) {
  slider->SetPos(15);
  EXPECT_EQ(slider->Position, 10);
  EXPECT_EQ(Changes(), 1);
  slider->SetPos(12);
  EXPECT_EQ(Changes(), 0);
  slider->SetPos(-3);
  EXPECT_EQ(slider->Position, 0);
  EXPECT_EQ(Changes(), 1);
  // The bar's share of the 80 pixels of travel, after the margin.
  slider->SetPos(5);
  EXPECT_EQ(slider->BarOffset(), 45);
  graphic.Calls.clear();
  slider->Draw();
  auto draws = graphic.Trace();
  EXPECT_EQ(draws, (std::vector<std::string>{"Draw:track.png", "Draw:bar.png", "Draw:up.png"}));
  EXPECT_EQ(graphic.Of("Draw")[1].X, slider->ScreenLeft + 45);
}

TEST_F(SliderTest, DragSnapsToStepsCountedFromZero) {
  slider->Min = 1;
  slider->SetMax(11);
  slider->SetPos(1);
  // 50 pixels in: (50 - 5 - 5) / 8 = 5 steps of the range past Min, so 6,
  // which is a multiple of 3 counted from 0 (from Min it would be 7).
  Drag(50);
  EXPECT_EQ(slider->Position, 6);
  // A step of 0 does not divide by zero: the drag gives the plain value.
  slider->Step = 0;
  Drag(58);
  EXPECT_EQ(slider->Position, 7);
  // With Max equal to Min the bar stays at 0 and drags do nothing.
  slider->SetMax(1);
  slider->SetPos(1);
  EXPECT_EQ(slider->BarOffset(), 0);
  Drag(80);
  EXPECT_EQ(slider->Position, 1);
}

TEST_F(SliderTest, TrackAndButtonsStep) {
  slider->SetPos(5);
  const int32_t l = slider->ScreenLeft, t = slider->ScreenTop + 5;
  // Right of the bar on the track: a page up.
  engine.MouseDown(TMouseButton::mbLeft, ssLeft, l + 70, t);
  EXPECT_EQ(slider->Position, 9);
  engine.MouseUp(TMouseButton::mbLeft, 0, l + 70, t);
  // On the first button (and left of the bar): a page and a step down.
  engine.MouseDown(TMouseButton::mbLeft, ssLeft, l + 6, t);
  EXPECT_EQ(slider->Position, 9 - 4 - 3);
  EXPECT_FALSE(slider->Dragging());
}

TEST_F(SliderTest, ProgressBarDrawsItsShareOfSteps) {
  auto* bar = W<TQelProgressBar>("P");
  auto steps = [&](int32_t position) {
    bar->SetPos(position);
    graphic.Calls.clear();
    bar->Draw();
    int n = 0;
    for (const auto& c : graphic.Of("Draw")) n += c.Picture == "step.png";
    return n;
  };
  EXPECT_EQ(steps(50), 5);
  EXPECT_EQ(graphic.Of("Draw").back().X, bar->ScreenLeft + 40);
  EXPECT_EQ(steps(0), 0);
  // Past the end the bar is full, never longer.
  EXPECT_EQ(steps(2000000000), 10);
  EXPECT_EQ(steps(-50), 0);
  bar->StepWidth = 0;
  EXPECT_EQ(steps(50), 0);
  EXPECT_EQ(ProgressSteps(100, 10, 5, 5, 5), 0);
}

TEST_F(SliderTest, MovingPicturePlaysItsStripsOnTheLoopTime) {
  auto* m = W<TQelMoving>("M");
  ASSERT_EQ(m->Strips().size(), 2u);
  EXPECT_EQ(m->Strips()[1].EndTime, 800);
  // The size comes from the first strip's frame.
  EXPECT_EQ(m->Width, 10);
  EXPECT_EQ(m->Height, 10);
  EXPECT_EQ(m->GetPictureList(), "a.png\r\nb.png");
  auto frameAt = [&](int32_t t) {
    engine.Animate(t);
    return std::make_pair(m->CurrentStrip()->Name, m->CurrentFrame());
  };
  using F = std::pair<std::string, int32_t>;
  EXPECT_EQ(frameAt(8000), (F{"a.png", 0}));
  EXPECT_EQ(frameAt(8399), (F{"a.png", 3}));
  EXPECT_EQ(frameAt(8450), (F{"b.png", 0}));
  EXPECT_EQ(frameAt(8750), (F{"b.png", 3}));
  EXPECT_EQ(frameAt(8800 + 250), (F{"a.png", 2}));
  graphic.Calls.clear();
  m->Draw();
  auto draws = graphic.Of("Draw");
  ASSERT_EQ(draws.size(), 1u);
  EXPECT_EQ(*draws[0].Rect, (TRect{20, 0, 29, 9}));
  EXPECT_EQ(draws[0].Alpha, 255);

  // A strip without frames is skipped; one without a frame time is a still
  // picture held for its pause, and a negative frame time shortens the loop.
  // A bad number keeps the strips as they were.
  m->SetPicture("z.png:0:100:0;y.png:3:0:300;b.png:2:50:100;");
  ASSERT_EQ(m->Strips().size(), 2u);
  EXPECT_EQ(m->Strips()[1].EndTime, 500);
  EXPECT_EQ(frameAt(10250), (F{"y.png", 0}));
  EXPECT_EQ(frameAt(10450), (F{"b.png", 1}));
  m->SetPicture("y.png:3:-50:400;b.png:2:50:0;");
  EXPECT_EQ(m->Strips()[1].EndTime, 350);
  EXPECT_EQ(frameAt(10200), (F{"y.png", 0}));
  EXPECT_THROW(m->SetPicture("a.png:x:100;"), EConvertError);
  EXPECT_EQ(m->Strips().size(), 2u);
  m->SetPicture("a.png:0:0:0;");
  engine.Animate(123);
  m->Draw();
}

}  // namespace
}  // namespace qv
