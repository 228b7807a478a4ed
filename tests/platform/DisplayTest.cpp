#include <gtest/gtest.h>
#include <png.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "platform/Display.h"
#include "platform/HeadlessDisplay.h"
#include "platform/SdlDisplay.h"
#include "platform/SdlQueueProbe.h"
#include "platform/ScopedEnv.h"

namespace qv {
namespace {

uint32_t Pixel32(const TDisplaySurface& s, int x, int y) {
  uint32_t v;
  std::memcpy(&v, s.Row(y) + x * 4, 4);
  return v;
}

void Fill32(TDisplaySurface& s, uint32_t value) {
  for (int y = 0; y < s.Height(); ++y)
    for (int x = 0; x < s.Width(); ++x) std::memcpy(s.Row(y) + x * 4, &value, 4);
}

// Source pixel (x, y) holds x + 16 * y + 1.
void Number32(TDisplaySurface& s) {
  for (int y = 0; y < s.Height(); ++y)
    for (int x = 0; x < s.Width(); ++x) {
      const uint32_t v = uint32_t(x + 16 * y + 1);
      std::memcpy(s.Row(y) + x * 4, &v, 4);
    }
}

TEST(DisplaySurface, RowsArePaddedAndMemoryStaysPut) {
  TDisplaySurface s16(5, 3, kFormatRGB565);
  EXPECT_EQ(s16.Pitch(), 16);
  TDisplaySurface s32(5, 3, kFormatXRGB8888);
  EXPECT_EQ(s32.Pitch(), 32);
  uint8_t* first = s32.Lock();
  s32.Unlock();
  EXPECT_EQ(s32.Lock(), first);
  EXPECT_TRUE(s32.Restore());
  EXPECT_THROW(TDisplaySurface(0, 3, kFormatXRGB8888), std::invalid_argument);
}

TEST(BltFast, CopiesAndClipsAtEveryEdge) {
  TDisplaySurface src(4, 4, kFormatXRGB8888);
  Number32(src);
  // Whole source partly off the target's top-left corner.
  {
    TDisplaySurface dst(4, 4, kFormatXRGB8888);
    ASSERT_TRUE(BltFast(dst, -1, -2, src, nullptr));
    EXPECT_EQ(Pixel32(dst, 0, 0), uint32_t(1 + 16 * 2 + 1));
    EXPECT_EQ(Pixel32(dst, 2, 1), uint32_t(3 + 16 * 3 + 1));
    EXPECT_EQ(Pixel32(dst, 3, 0), 0u);
    EXPECT_EQ(Pixel32(dst, 0, 2), 0u);
  }
  // Partly off the bottom-right corner.
  {
    TDisplaySurface dst(4, 4, kFormatXRGB8888);
    ASSERT_TRUE(BltFast(dst, 3, 3, src, nullptr));
    EXPECT_EQ(Pixel32(dst, 3, 3), 1u);
    EXPECT_EQ(Pixel32(dst, 2, 3), 0u);
  }
  // A source rectangle reaching outside the source keeps its placement.
  {
    TDisplaySurface dst(4, 4, kFormatXRGB8888);
    const TDisplayRect r{-1, -1, 2, 2};
    ASSERT_TRUE(BltFast(dst, 0, 0, src, &r));
    EXPECT_EQ(Pixel32(dst, 0, 0), 0u);
    EXPECT_EQ(Pixel32(dst, 1, 1), 1u);
    EXPECT_EQ(Pixel32(dst, 2, 2), uint32_t(1 + 16 + 1));
    EXPECT_EQ(Pixel32(dst, 3, 3), 0u);
  }
  // Inverted and far-away rectangles copy nothing.
  {
    TDisplaySurface dst(4, 4, kFormatXRGB8888);
    const TDisplayRect inverted{3, 3, 1, 1};
    EXPECT_TRUE(BltFast(dst, 0, 0, src, &inverted));
    EXPECT_TRUE(BltFast(dst, 100000, -100000, src, nullptr));
    EXPECT_TRUE(BltFast(dst, -2147483647, 2147483647, src, nullptr));
    for (int y = 0; y < 4; ++y)
      for (int x = 0; x < 4; ++x) EXPECT_EQ(Pixel32(dst, x, y), 0u);
  }
  TDisplaySurface other(4, 4, kFormatRGB565);
  EXPECT_FALSE(BltFast(other, 0, 0, src, nullptr));
}

TEST(HeadlessDisplay, FullScreenHasABackBufferAndTheAskedDepth) {
  THeadlessDisplay display(kFormatXRGB8888);
  std::string error;
  EXPECT_EQ(display.CreateSurface(10, 10), nullptr);
  TDisplayMode mode;
  mode.FullScreen = true;
  mode.BitsPerPixel = 16;
  ASSERT_TRUE(display.Open(mode, error)) << error;
  EXPECT_EQ(display.PixelFormat(), kFormatRGB565);
  ASSERT_NE(display.BackBuffer(), nullptr);
  EXPECT_EQ(display.PrimarySurface()->Width(), 800);
  EXPECT_EQ(display.Clipper(), nullptr);
  auto s = display.CreateSurface(32, 50);
  ASSERT_NE(s, nullptr);
  EXPECT_EQ(s->Format(), kFormatRGB565);
  EXPECT_EQ(display.CreateSurface(0, 5), nullptr);
  EXPECT_EQ(display.CreateSurface(5, 100000), nullptr);

  mode.BitsPerPixel = 24;
  EXPECT_FALSE(display.Open(mode, error));
  EXPECT_FALSE(error.empty());
  EXPECT_FALSE(display.IsOpen());
  // Surfaces made before stay valid pictures.
  EXPECT_EQ(s->Width(), 32);
}

TEST(HeadlessDisplay, WindowTakesTheDesktopFormatAndReportsItsClipListOnce) {
  THeadlessDisplay display(kFormatRGB555);
  std::string error;
  ASSERT_TRUE(display.Open(TDisplayMode{}, error));
  EXPECT_EQ(display.PixelFormat(), kFormatRGB555);
  EXPECT_EQ(display.BackBuffer(), nullptr);
  IDisplayClipper* clipper = display.Clipper();
  ASSERT_NE(clipper, nullptr);
  EXPECT_TRUE(clipper->IsClipListChanged());
  const auto list = clipper->GetClipList();
  ASSERT_EQ(list.size(), 1u);
  EXPECT_EQ(list[0], (TDisplayRect{0, 0, 800, 600}));
  EXPECT_FALSE(clipper->IsClipListChanged());
  display.SetClipList({TDisplayRect{0, 0, 10, 10}, TDisplayRect{20, 0, 30, 10}});
  EXPECT_TRUE(clipper->IsClipListChanged());
  EXPECT_EQ(clipper->GetClipList().size(), 2u);
}

TEST(HeadlessDisplay, RecordsCommitsAndWritesTheShownPicture) {
  THeadlessDisplay display;
  std::string error;
  TDisplayMode mode;
  mode.Width = 4;
  mode.Height = 2;
  ASSERT_TRUE(display.Open(mode, error));
  const auto path = std::filesystem::temp_directory_path() / "quorvane_headless_shown.png";
  EXPECT_FALSE(display.WriteShownPNG(path));
  EXPECT_EQ(display.LastFrame(), nullptr);
  Fill32(*display.PrimarySurface(), 0x00FFFFFF);
  display.Commit({TDisplayRect{0, 0, 2, 2}});
  Fill32(*display.PrimarySurface(), 0x00102030);
  display.Commit();
  ASSERT_EQ(display.CommitCount(), 2);
  EXPECT_EQ(display.Commits()[0], (std::vector<TDisplayRect>{{0, 0, 2, 2}}));
  EXPECT_TRUE(display.Commits()[1].empty());
  // The shown picture is the primary surface itself, not a copy of it.
  EXPECT_EQ(display.LastFrame(), display.PrimarySurface().get());
  ASSERT_TRUE(display.WriteShownPNG(path));
  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  ASSERT_TRUE(png_image_begin_read_from_file(&image, path.string().c_str()));
  image.format = PNG_FORMAT_RGB;
  std::vector<uint8_t> rgb(PNG_IMAGE_SIZE(image));
  ASSERT_TRUE(png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr));
  EXPECT_EQ(image.width, 4u);
  EXPECT_EQ(rgb[0], 0x10);
  EXPECT_EQ(rgb[1], 0x20);
  EXPECT_EQ(rgb[2], 0x30);
  std::filesystem::remove(path);
}

TEST(HeadlessDisplay, SixteenBitPicturesAreWidenedWhenWritten) {
  TDisplaySurface s(2, 1, kFormatRGB565);
  const uint16_t white = 0xFFFF, mid = uint16_t((16 << 11) | (32 << 5) | 16);
  std::memcpy(s.Row(0), &white, 2);
  std::memcpy(s.Row(0) + 2, &mid, 2);
  const auto path = std::filesystem::temp_directory_path() / "quorvane_headless_565.png";
  ASSERT_TRUE(WriteSurfacePNG(s, path));
  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  ASSERT_TRUE(png_image_begin_read_from_file(&image, path.string().c_str()));
  image.format = PNG_FORMAT_RGB;
  std::vector<uint8_t> rgb(PNG_IMAGE_SIZE(image));
  ASSERT_TRUE(png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr));
  EXPECT_EQ((std::vector<int>{rgb[0], rgb[1], rgb[2]}), (std::vector<int>{255, 255, 255}));
  EXPECT_EQ((std::vector<int>{rgb[3], rgb[4], rgb[5]}), (std::vector<int>{132, 130, 132}));
  std::filesystem::remove(path);
}

TEST(DisplayPacing, WaitsOutTheRestOfOneRefreshInterval) {
  EXPECT_EQ(FrameWaitMicroseconds(4000, 100), 6000);
  EXPECT_EQ(FrameWaitMicroseconds(12000, 100), 0);
  EXPECT_EQ(FrameWaitMicroseconds(0, 0), 16666);  // rate unknown: 60 Hz
  EXPECT_EQ(FrameWaitMicroseconds(-5000, 60), 16666);
  // Passes of 2 ms whose sleeps wake 3 ms late stay on the 10 ms grid: ten
  // passes take ten intervals, not ten times 13 ms.
  int64_t now = 500;
  std::vector<int64_t> until;
  TFramePacer pacer([&] { return now; }, [&](int64_t us) { until.push_back(us); now = us + 3000; });
  pacer.Start();
  for (int pass = 0; pass < 10; ++pass) {
    now += 2000;
    pacer.Wait(100);
  }
  ASSERT_EQ(until.size(), 10u);
  EXPECT_EQ(until.front(), 10500);
  EXPECT_EQ(until.back(), 100500);
}

TEST(DisplayFactory, BackendFollowsTheEnvironment) {
  const char* old = std::getenv("QUORVANE_VIDEO");
  const std::string saved = old ? old : "";
  setenv("QUORVANE_VIDEO", "headless", 1);
  EXPECT_NE(dynamic_cast<THeadlessDisplay*>(CreateDisplay().get()), nullptr);
  setenv("QUORVANE_VIDEO", "sdl", 1);
  EXPECT_NE(dynamic_cast<TSdlDisplay*>(CreateDisplay().get()), nullptr);
  if (old)
    setenv("QUORVANE_VIDEO", saved.c_str(), 1);
  else
    unsetenv("QUORVANE_VIDEO");
}

// With no display SDL falls back to a driver that shows nothing; the game
// runs there only when asked to.
TEST(DisplayFactory, RefusesADriverThatShowsNothingUnlessAskedFor) {
  EXPECT_NE(InvisibleDriverReason("offscreen", nullptr).find("QUORVANE_VIDEO=headless"), std::string::npos);
  EXPECT_NE(InvisibleDriverReason("dummy", "x11"), "");
  EXPECT_EQ(InvisibleDriverReason("offscreen", "offscreen"), "");
  EXPECT_EQ(InvisibleDriverReason("dummy", "x11,DUMMY"), "");
  EXPECT_EQ(InvisibleDriverReason("offscreen", "offscreen,x11"), "");
  EXPECT_EQ(InvisibleDriverReason("x11", nullptr), "");
  EXPECT_EQ(InvisibleDriverReason("wayland", "x11"), "");

  // The real display with no display at all: SDL falls back to such a driver.
  const test::ScopedEnv asked("SDL_VIDEODRIVER", nullptr), x11("DISPLAY", nullptr), wayland("WAYLAND_DISPLAY", nullptr);
  TSdlDisplay display;
  std::string error;
  const bool opened = display.Open(TDisplayMode{}, error);
  const TSdlQueueProbe probe;  // started after Open, so that Open starts the video itself
  if (probe.Valid() && probe.Driver() != "offscreen" && probe.Driver() != "dummy")
    GTEST_SKIP() << "SDL found a display of its own: " << probe.Driver();
  EXPECT_FALSE(opened);
  EXPECT_NE(error.find("QUORVANE_VIDEO=headless"), std::string::npos) << error;
}

// The real backend, on whatever video driver the environment gives (the
// tests run it with SDL's dummy driver or under a virtual X server).
class SdlDisplayTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!std::getenv("SDL_VIDEODRIVER") && !std::getenv("DISPLAY")) setenv("SDL_VIDEODRIVER", "dummy", 1);
  }
  // The dummy and offscreen drivers need no device: asked for, they must open.
  static bool AskedForNoDevice() {
    const char* asked = std::getenv("SDL_VIDEODRIVER");
    return InvisibleDriverReason("dummy", asked).empty() || InvisibleDriverReason("offscreen", asked).empty();
  }
};

// Each channel at a level that survives the 5-bit and 6-bit packings.
struct Probe {
  int x, y;
  uint8_t r, g, b;
};

void Paint(TDisplaySurface& s, const Probe& p) {
  const TPixelFormat& f = s.Format();
  if (f.BitCount == 32) {
    const uint32_t v = (uint32_t(p.r) << 16) | (uint32_t(p.g) << 8) | p.b;
    std::memcpy(s.Row(p.y) + p.x * 4, &v, 4);
  } else {
    const int gBits = f.GMask == kFormatRGB565.GMask ? 6 : 5;
    const int rShift = gBits == 6 ? 11 : 10;
    const uint16_t v = uint16_t(((p.r >> 3) << rShift) | ((p.g >> (8 - gBits)) << 5) | (p.b >> 3));
    std::memcpy(s.Row(p.y) + p.x * 2, &v, 2);
  }
}

TEST_F(SdlDisplayTest, PresentsAKnownPictureInEveryFormat) {
  const std::vector<Probe> probes = {{0, 0, 255, 0, 0}, {799, 0, 0, 255, 0}, {0, 599, 0, 0, 255},
                                     {799, 599, 255, 255, 255}, {400, 300, 128, 64, 32}};
  for (const TPixelFormat& format : {kFormatXRGB8888, kFormatRGB565, kFormatRGB555}) {
    TSdlDisplay display;
    TDisplayMode mode;
    mode.ForcedFormat = format;
    std::string error;
    if (!display.Open(mode, error)) {
      ASSERT_FALSE(AskedForNoDevice()) << error;
      GTEST_SKIP() << "no video: " << error;
    }
    EXPECT_EQ(display.PixelFormat(), format);
    for (const Probe& p : probes) Paint(*display.PrimarySurface(), p);
    display.Commit();
    std::vector<uint32_t> pixels;
    int w = 0, h = 0;
    ASSERT_TRUE(display.ReadBack(pixels, w, h));
    ASSERT_EQ(w, 800);
    ASSERT_EQ(h, 600);
    for (const Probe& p : probes) {
      const uint32_t v = pixels[size_t(p.y) * 800 + size_t(p.x)];
      EXPECT_NEAR(int((v >> 16) & 0xFF), p.r, 8) << format.BitCount << " at " << p.x << "," << p.y;
      EXPECT_NEAR(int((v >> 8) & 0xFF), p.g, 8) << format.BitCount << " at " << p.x << "," << p.y;
      EXPECT_NEAR(int(v & 0xFF), p.b, 8) << format.BitCount << " at " << p.x << "," << p.y;
    }
    EXPECT_EQ(pixels[1] & 0xFFFFFF, 0u);
    // Only the changed part is uploaded: the rest keeps the last picture.
    Paint(*display.PrimarySurface(), Probe{1, 0, 255, 255, 255});
    Paint(*display.PrimarySurface(), Probe{400, 300, 0, 0, 0});
    display.Commit({TDisplayRect{1, 0, 2, 1}, TDisplayRect{5, 5, 2, 2}});
    ASSERT_TRUE(display.ReadBack(pixels, w, h));
    EXPECT_GE(pixels[1] & 0xFF, 0xF0u);
    EXPECT_GE((pixels[1] >> 8) & 0xFF, 0xF0u);
    EXPECT_NE(pixels[300 * 800 + 400] & 0xFFFFFF, 0u);
    display.Close();
    EXPECT_FALSE(display.IsOpen());
  }
}

TEST_F(SdlDisplayTest, FullScreenScalesThePictureOntoTheDesktop) {
  TSdlDisplay display;
  TDisplayMode mode;
  mode.FullScreen = true;
  mode.BitsPerPixel = 32;
  std::string error;
  if (!display.Open(mode, error)) {
    ASSERT_FALSE(AskedForNoDevice()) << error;
    GTEST_SKIP() << "no video: " << error;
  }
  ASSERT_NE(display.BackBuffer(), nullptr);
  Fill32(*display.PrimarySurface(), 0x0000FF00);
  display.Commit();
  std::vector<uint32_t> pixels;
  int w = 0, h = 0;
  ASSERT_TRUE(display.ReadBack(pixels, w, h));
  ASSERT_GE(w, 800);
  ASSERT_GE(h, 600);
  EXPECT_EQ(pixels[size_t(h / 2) * size_t(w) + size_t(w / 2)] & 0xFFFFFF, 0x00FF00u);
  display.SetCaption("FPS:60");
}

}  // namespace
}  // namespace qv
