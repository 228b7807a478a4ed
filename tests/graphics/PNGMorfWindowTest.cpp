#include <gtest/gtest.h>

#include "foundation/Log.h"
#include "graphics/Form3.h"
#include "graphics/PNGMorf.h"
#include "platform/HeadlessDisplay.h"

namespace qv {
namespace {

uint32_t PixelOf(const TDisplaySurface& s, int x, int y) {
  const uint8_t* p = s.Row(y) + size_t(x) * 4;
  return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16;
}

TEST(PNGMorfWindowTest, WindowShowsTheStepInItsTitleAndFillsTheBar) {
  auto owned = std::make_unique<THeadlessDisplay>();
  THeadlessDisplay* display = owned.get();
  TForm3 form(std::move(owned));
  form.Show();
  ASSERT_TRUE(display->IsOpen());
  EXPECT_EQ(display->Mode().Width, TForm3::kClientWidth);
  EXPECT_EQ(display->Mode().Height, TForm3::kClientHeight);
  EXPECT_FALSE(display->FullScreen());
  EXPECT_EQ(display->Caption(), "Quorvane - Installing game graphics ...");

  form.ShowProgress("Done: 50% ( Title.png)", 50);
  EXPECT_EQ(display->Caption(), "Quorvane - Done: 50% ( Title.png)");
  EXPECT_EQ(display->CommitCount(), 2);
  const TDisplaySurface& frame = *display->LastFrame();
  const int y = TForm3::kBarTop + TForm3::kBarHeight / 2;
  const int inner = TForm3::kBarWidth - 2;  // 287 pixels: 143 filled at 50 %
  EXPECT_EQ(PixelOf(frame, TForm3::kBarLeft + 1, y), 0x0000A0u);
  EXPECT_EQ(PixelOf(frame, TForm3::kBarLeft + 1 + inner / 2 - 1, y), 0x0000A0u);
  EXPECT_EQ(PixelOf(frame, TForm3::kBarLeft + 1 + inner / 2, y), 0xFFFFFFu);
  EXPECT_EQ(PixelOf(frame, 2, 2), 0xD4D0C8u);

  form.ShowProgress("beyond", 250);
  EXPECT_EQ(form.ProgressBar1, 100);
  EXPECT_EQ(PixelOf(*display->LastFrame(), TForm3::kBarLeft + inner, y), 0x0000A0u);
  form.Hide();
  EXPECT_FALSE(display->IsOpen());
}

TEST(PNGMorfWindowTest, WithoutDisplayTheStepsGoToTheLog) {
  Log::TakeBuffered();
  TForm3 form(nullptr);
  form.Show();
  TPNGMorf morf(90);
  morf.OnProgress = [&](const std::string& text, int32_t position) { form.ShowProgress(text, position); };
  morf.OnProgress("Done: 12.5% ( Title.png)", 12);
  form.Hide();
  std::vector<std::string> log = Log::TakeBuffered();
  ASSERT_EQ(log.size(), 2u);
  EXPECT_NE(log[0].find("} Installing game graphics ..."), std::string::npos);
  EXPECT_NE(log[1].find("} Done: 12.5% ( Title.png)"), std::string::npos);
  EXPECT_EQ(form.Label2, "Done: 12.5% ( Title.png)");
  EXPECT_EQ(form.ProgressBar1, 12);
  EXPECT_EQ(form.Display(), nullptr);
}

}  // namespace
}  // namespace qv
