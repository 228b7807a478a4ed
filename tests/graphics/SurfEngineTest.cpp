#include "graphics/SurfEngine.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "foundation/Numeric.h"
#include "foundation/QelException.h"
#include "graphics/PictureFixtures.h"
#include "graphics/SurfaceTestSupport.h"

namespace qv {
namespace {

using test::EngineOnDisplay;
using test::MakePng;
using test::PngRecipe;

std::vector<uint8_t> RgbPng(int w, int h) {
  PngRecipe s;
  s.Width = w;
  s.Height = h;
  s.ColorType = 2;
  for (int i = 0; i < w * h; ++i) {
    s.Samples.push_back(0xF8);  // red
    s.Samples.push_back(0x84);  // green
    s.Samples.push_back(0x18);  // blue
  }
  return MakePng(s);
}

std::vector<uint8_t> GreyAlphaPng() {
  PngRecipe s;
  s.Width = 2;
  s.ColorType = 4;
  s.Samples = {10, 0, 20, 200};
  return MakePng(s);
}

std::vector<uint8_t> PalettePngWithTrns() {
  PngRecipe s;
  s.Width = 2;
  s.ColorType = 3;
  s.Palette = {1, 2, 3, 4, 5, 6};
  s.TrnsAlpha = {0, 0};
  s.Samples = {0, 1};
  return MakePng(s);
}

class ScratchFolder {
 public:
  ScratchFolder() {
    path = std::filesystem::temp_directory_path() /
           ("quorvane_surf_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "_" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::create_directories(path);
  }
  ~ScratchFolder() { std::filesystem::remove_all(path); }
  std::filesystem::path Write(const std::string& name, const std::vector<uint8_t>& bytes) const {
    std::ofstream out(path / name, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    return path / name;
  }
  std::filesystem::path path;
};

std::unique_ptr<TFileFolder> Archive(const std::vector<std::pair<std::string, std::vector<uint8_t>>>& entries) {
  auto folder = TFileFolder::CreateNew("unused.zxc");
  for (const auto& [name, bytes] : entries) folder->AddFile(name, 2, TMemoryStream(bytes));
  return folder;
}

TEST(SurfStore, NamesAreExactAndTheFirstOfTwoWins) {
  EngineOnDisplay t(kFormatXRGB8888);
  t.Make("Card", 2, 2);
  t.Make("Card", 3, 3);
  EXPECT_EQ(t.engine.IndexOf("Card"), 0);
  EXPECT_EQ(t.engine.IndexOf("card"), -1);
  t.engine.DeleteSurface("Card");
  ASSERT_EQ(t.engine.Surfaces.size(), 1u);
  EXPECT_EQ(t.engine.Surfaces[0].Width, 3);
  t.engine.DeleteSurface("Nothing");
  EXPECT_EQ(t.engine.Surfaces.size(), 1u);
}

TEST(SurfStore, RefusedSurfacesAddNothingAndBuffersAreKept) {
  EngineOnDisplay t(kFormatXRGB8888);
  EXPECT_FALSE(t.engine.CreateEmptySurface("Zero", 0, 10));
  EXPECT_EQ(t.engine.IndexOf("Zero"), -1);
  t.Make("A", 2, 1);
  t.engine.CreateAlphaBuffer("A", 7);
  t.engine.CreateAlphaBuffer("A", 9);
  EXPECT_EQ(t.engine.Find("A")->AlphaPitch, 2);
  EXPECT_EQ(t.Alpha("A", 1, 0), 7);
  t.engine.FillSurface("A", 0xAB);
  EXPECT_EQ(t.Get("A", 1, 0), 0xABABABABu);

  TSurfEngine unbound;
  EXPECT_FALSE(unbound.CreateEmptySurface("X", 4, 4));
}

TEST(SurfLoading, PixelsArePackedExactlyInEveryFormat) {
  struct Case {
    TPixelFormat format;
    uint32_t expected;
  };
  // Red f8, green 84, blue 18.
  const std::vector<Case> cases = {
      {kFormatRGB565, (0xF8u >> 3 << 11) | (0x84u >> 2 << 5) | (0x18u >> 3)},
      {kFormatRGB555, (0xF8u >> 3 << 10) | (0x84u >> 3 << 5) | (0x18u >> 3)},
      {kFormatXRGB8888, 0x00F88418u},
  };
  for (const Case& c : cases) {
    EngineOnDisplay t(c.format);
    auto folder = Archive({{"Pic.png", RgbPng(3, 2)}});
    t.engine.LoadPNGFromFolder(*folder, "Pic", "Pic.png");
    TSurface* s = t.engine.Find("Pic");
    ASSERT_NE(s, nullptr);
    EXPECT_GT(s->Pitch, s->Width * int(c.format.BytesPerPixel()));  // padded rows
    for (int y = 0; y < 2; ++y)
      for (int x = 0; x < 3; ++x) EXPECT_EQ(t.Get("Pic", x, y), c.expected) << c.format.BitCount;
    // The padding after the last pixel of a row is left alone.
    const uint8_t* pad = s->Surface->Row(0) + 3 * c.format.BytesPerPixel();
    EXPECT_EQ(pad[0], 0);
  }
  // The PNG copy also writes 24-bit pictures: the low three bytes.
  EngineOnDisplay t(kFormatXRGB8888);
  TSurface record;
  record.Surface = std::make_shared<TDisplaySurface>(2, 1, TPixelFormat{24, 0xFF0000, 0xFF00, 0xFF});
  const auto bytes = RgbPng(2, 1);
  ASSERT_TRUE(t.engine.PNGToSurface(record, DecodePNG(bytes.data(), bytes.size())));
  const uint8_t* p = record.Surface->Row(0);
  EXPECT_EQ((std::vector<int>{p[3], p[4], p[5]}), (std::vector<int>{0x18, 0x84, 0xF8}));
}

TEST(SurfLoading, AlphaRulesFromTheArchive) {
  EngineOnDisplay t(kFormatXRGB8888);
  auto folder = Archive({{"Rgb.png", RgbPng(2, 2)},
                         {"Ga.png", GreyAlphaPng()},
                         {"Pal.png", PalettePngWithTrns()},
                         {"Empty.png", {}},
                         {"Bad.png", {0x89, 'P', 'N', 'G', 13, 10, 26, 10, 0, 0}}});
  t.engine.LoadPNGFromFolder(*folder, "Rgb", "rgb.PNG");  // entries are found case-blind
  t.engine.LoadPNGFromFolder(*folder, "Ga", "Ga.png");
  t.engine.LoadPNGFromFolder(*folder, "Pal", "Pal.png");
  t.engine.LoadPNGFromFolder(*folder, "Missing", "Missing.png");
  t.engine.LoadPNGFromFolder(*folder, "Empty", "Empty.png");
  EXPECT_THROW(t.engine.LoadPNGFromFolder(*folder, "Bad", "Bad.png"), QelException);

  ASSERT_NE(t.engine.Find("Rgb"), nullptr);
  EXPECT_EQ(t.engine.Find("Rgb")->FileName, "rgb.PNG");
  EXPECT_EQ(t.engine.Find("Rgb")->AlphaPitch, 2);
  EXPECT_EQ(t.engine.Find("Rgb")->AlphaBuffer, std::vector<uint8_t>(4, 255));
  EXPECT_EQ(t.engine.Find("Ga")->AlphaBuffer, (std::vector<uint8_t>{0, 200}));
  // A transparent colour does not make alpha.
  EXPECT_EQ(t.engine.Find("Pal")->AlphaBuffer, (std::vector<uint8_t>{255, 255}));
  EXPECT_EQ(t.Get("Pal", 1, 0), 0x00040506u);
  EXPECT_EQ(t.engine.IndexOf("Missing"), -1);
  EXPECT_EQ(t.engine.IndexOf("Empty"), -1);
  EXPECT_EQ(t.engine.IndexOf("Bad"), -1);
}

TEST(SurfLoading, AlphaRulesFromFiles) {
  EngineOnDisplay t(kFormatRGB565);
  ScratchFolder dir;
  dir.Write("rgb.png", RgbPng(2, 2));
  dir.Write("ga.png", GreyAlphaPng());
  dir.Write("Upper.PNG", RgbPng(1, 1));
  PngRecipe deep;
  deep.Width = 3;
  deep.Height = 3;
  deep.ColorType = 6;
  deep.BitDepth = 16;
  deep.Interlaced = true;
  for (int i = 0; i < 9; ++i) deep.Samples.insert(deep.Samples.end(), {0xFFFF, 0, 0, 0x8000});
  dir.Write("deep.png", MakePng(deep));

  EXPECT_TRUE(t.engine.LoadPNGFromFile("rgb.png", dir.path / "rgb.png"));
  EXPECT_EQ(t.engine.Find("rgb.png")->AlphaPitch, -1);
  EXPECT_TRUE(t.engine.Find("rgb.png")->AlphaBuffer.empty());
  EXPECT_TRUE(t.engine.LoadPNGFromFile("ga.png", dir.path / "ga.png"));
  EXPECT_EQ(t.engine.Find("ga.png")->AlphaBuffer, (std::vector<uint8_t>{0, 200}));
  EXPECT_TRUE(t.engine.LoadPNGFromFile("upper.png", dir.path / "upper.png"));  // found case-blind
  EXPECT_TRUE(t.engine.LoadPNGFromFile("deep", dir.path / "deep.png"));
  EXPECT_EQ(t.Get("deep", 2, 2), 0xF800u);
  EXPECT_EQ(t.Alpha("deep", 1, 1), 0x80);
  EXPECT_FALSE(t.engine.LoadPNGFromFile("none", dir.path / "none.png"));
  const auto whole = RgbPng(4, 4);
  dir.Write("cut.png", std::vector<uint8_t>(whole.begin(), whole.begin() + 40));
  EXPECT_THROW(t.engine.LoadPNGFromFile("cut", dir.path / "cut.png"), QelException);
  EXPECT_EQ(t.engine.IndexOf("cut"), -1);
}

TEST(SurfLoading, JpegPicturesHaveNoAlpha) {
  EngineOnDisplay t(kFormatXRGB8888);
  std::vector<uint8_t> bgr(16 * 8 * 3);
  for (size_t i = 0; i < bgr.size(); i += 3) {
    bgr[i] = 40;
    bgr[i + 1] = 120;
    bgr[i + 2] = 220;
  }
  const auto jpeg = test::MakeJpeg(16, 8, bgr, 100, true);
  auto folder = Archive({{"Photo.jpg", jpeg}, {"Broken.jpg", {0xFF, 0xD8, 0xFF}}});
  t.engine.LoadJPEGFromFolder(*folder, "Photo", "Photo.jpg");
  TSurface* s = t.engine.Find("Photo");
  ASSERT_NE(s, nullptr);
  EXPECT_EQ(s->AlphaPitch, -1);
  EXPECT_EQ(s->Width, 16);
  const uint32_t p = t.Get("Photo", 5, 5);
  EXPECT_NEAR(int((p >> 16) & 0xFF), 220, 4);
  EXPECT_NEAR(int((p >> 8) & 0xFF), 120, 4);
  EXPECT_NEAR(int(p & 0xFF), 40, 4);
  EXPECT_THROW(t.engine.LoadJPEGFromFolder(*folder, "Broken", "Broken.jpg"), QelException);
  t.engine.LoadJPEGFromFolder(*folder, "Missing", "Missing.jpg");
  EXPECT_EQ(t.engine.IndexOf("Missing"), -1);

  ScratchFolder dir;
  dir.Write("photo.jpg", jpeg);
  EXPECT_TRUE(t.engine.LoadJPEGFromFile("photo.jpg", dir.path / "photo.jpg"));
  EXPECT_FALSE(t.engine.LoadJPEGFromFile("gone.jpg", dir.path / "gone.jpg"));
}

std::vector<int> g_progress;
void RecordProgress(int32_t percent) { g_progress.push_back(percent); }

// Drops every display surface, as a display switch does.
void TearDownSurfaces(TSurfEngine& e) {
  for (TSurface& s : e.Surfaces) s.Surface.reset();
}

TEST(SurfReload, QueueTurnsOnceAndReportsEverySecondStep) {
  EngineOnDisplay t(kFormatXRGB8888);
  for (int i = 0; i < 41; ++i) t.Make("Work" + std::to_string(i), 2 + i, 3);
  t.engine.CreateAlphaBuffer("Work0", 255);
  TearDownSurfaces(t.engine);
  auto folder = Archive({});
  g_progress.clear();
  t.engine.OnProgress = RecordProgress;
  t.engine.ReloadSurfaces(*folder, "/nonexistent", "");
  t.engine.OnProgress = nullptr;
  // Steps 1, 3, 5, ... 39 of High = 40, Step = 2: i * 100 / 40 rounded half to even.
  std::vector<int> expected;
  for (int i = 1; i <= 39; i += 2) expected.push_back(Round(i * 100.0 / 40));
  EXPECT_EQ(g_progress, expected);
  EXPECT_EQ(g_progress.front(), 2);  // 2.5 rounds to 2
  ASSERT_EQ(t.engine.Surfaces.size(), 41u);
  for (int i = 0; i < 41; ++i) {
    const TSurface& s = t.engine.Surfaces[size_t(i)];
    EXPECT_EQ(s.Name, "Work" + std::to_string(i));  // same order as before
    EXPECT_EQ(s.Width, 2 + i);
    EXPECT_NE(s.Surface, nullptr);
    EXPECT_EQ(s.AlphaPitch, -1);  // alpha is not carried over
  }
}

TEST(SurfReload, PicturesComeBackFromArchiveOrFolderAndWordsGoFirst) {
  EngineOnDisplay t(kFormatXRGB8888);
  ScratchFolder dir;
  dir.Write("disk.png", RgbPng(2, 1));
  auto folder = Archive({{"Font.png", RgbPng(1, 1)}, {"Bar.PNG", RgbPng(3, 1)}, {"Back.JPG", test::MakeJpeg(
      8, 8, std::vector<uint8_t>(8 * 8 * 3, 90), 90, false)}});
  t.engine.LoadPNGFromFolder(*folder, "Bar", "Bar.PNG");
  t.engine.LoadJPEGFromFolder(*folder, "Back", "Back.JPG");
  t.engine.LoadPNGFromFolder(*folder, "Font", "Font.png");
  ASSERT_TRUE(t.engine.LoadPNGFromFile("Disk.PNG", dir.path / "disk.png"));
  t.Make("Lost", 2, 2);
  t.engine.Find("Lost")->FileName = "lost.png";
  t.engine.Find("Disk.PNG")->FileName = "Disk.PNG";
  TearDownSurfaces(t.engine);
  g_progress.clear();
  t.engine.OnProgress = RecordProgress;
  t.engine.ReloadSurfaces(*folder, dir.path, "Font Bar Unknown");
  t.engine.OnProgress = nullptr;
  std::vector<std::string> names;
  for (const TSurface& s : t.engine.Surfaces) {
    names.push_back(s.Name);
    EXPECT_NE(s.Surface, nullptr) << s.Name;
  }
  // Upper-case endings survive; the file on disk comes back lower-cased;
  // a picture found nowhere is dropped.
  EXPECT_EQ(names, (std::vector<std::string>{"Font", "Bar", "Back", "disk.png"}));
  EXPECT_EQ(t.engine.Find("disk.png")->FileName, "disk.png");
  EXPECT_EQ(t.engine.Find("Back")->AlphaPitch, -1);
  EXPECT_EQ(t.engine.Find("Bar")->AlphaBuffer, std::vector<uint8_t>(3, 255));
  // High 4 and Step 0: every handled step after the first reports; the
  // steps that meet the restored words do nothing.
  EXPECT_EQ(g_progress, (std::vector<int>{25, 50}));

  // One surface only: High = 0 never reports.
  EngineOnDisplay one(kFormatXRGB8888);
  one.Make("Only", 1, 1);
  TearDownSurfaces(one.engine);
  g_progress.clear();
  one.engine.OnProgress = RecordProgress;
  one.engine.ReloadSurfaces(*folder, dir.path, "");
  EXPECT_TRUE(g_progress.empty());
  EXPECT_NE(one.engine.Find("Only")->Surface, nullptr);
}

TEST(SurfReload, FailedBlankSurfaceEndsTheReload) {
  EngineOnDisplay t(kFormatXRGB8888);
  t.Make("A", 2, 2);
  t.Make("B", 2, 2);
  TearDownSurfaces(t.engine);
  t.engine.Find("A")->Width = 0;  // the display refuses this size
  auto folder = Archive({});
  t.engine.ReloadSurfaces(*folder, "/nonexistent", "");
  EXPECT_EQ(t.engine.Surfaces[0].Name, "A");
  EXPECT_EQ(t.engine.Find("B")->Surface, nullptr);
}

// ---------------------------------------------------------------- presentation

class PresentTest : public ::testing::Test {
 protected:
  void Prepare(EngineOnDisplay& t) {
    t.Make("MemorySurface", 800, 600);
    for (int y = 0; y < 600; y += 7)
      for (int x = 0; x < 800; x += 5) t.Set("MemorySurface", x, y, uint32_t(x * 1000 + y));
  }
  static uint32_t At(const TDisplaySurface& s, int x, int y) {
    uint32_t v;
    std::memcpy(&v, s.Row(y) + x * 4, 4);
    return v;
  }
};

TEST_F(PresentTest, FullScreenCopiesOnlyTheCellsAndSurvivesBadRectangles) {
  EngineOnDisplay t(kFormatXRGB8888, true);
  Prepare(t);
  TDisplaySurface& back = *t.display.BackBuffer();
  TRects cells = {TRect{10, 14, 20, 22},   TRect{50, 50, 50, 60},  // Right = Left
                  TRect{30, 30, 20, 20},   TRect{790, 590, 900, 700},
                  TRect{-50, -50, 5, 7},   TRect{-2147483647, 0, 2147483647, 1}};
  t.engine.Present(&back, t.engine.Find("MemorySurface")->Surface.get(), cells);
  EXPECT_EQ(At(back, 10, 14), 10u * 1000 + 14);
  EXPECT_EQ(At(back, 15, 21), 15u * 1000 + 21);
  EXPECT_EQ(At(back, 20, 21), 0u);  // exclusive edge
  EXPECT_EQ(At(back, 50, 56), 0u);
  EXPECT_EQ(At(back, 795, 595), 795u * 1000 + 595);
  EXPECT_EQ(At(back, 0, 0), 0u);
  EXPECT_EQ(At(back, 400, 0), 400u * 1000);
  EXPECT_EQ(cells.size(), 6u);  // full screen never clips the list
}

TEST_F(PresentTest, WindowClipsToTheVisiblePartsAtTheClientOrigin) {
  EngineOnDisplay t(kFormatXRGB8888, false);
  Prepare(t);
  TDisplaySurface& primary = *t.display.PrimarySurface();
  TDisplaySurface* source = t.engine.Find("MemorySurface")->Surface.get();

  // The whole client area visible: the list stays as it is.
  t.engine.CheckClipper();
  TRects cells = {TRect{0, 0, 10, 7}, TRect{100, 100, 110, 107}};
  t.engine.Present(&primary, source, cells);
  EXPECT_EQ(cells.size(), 2u);
  EXPECT_EQ(At(primary, 105, 105), 105u * 1000 + 105);

  // Two visible parts, given in screen coordinates of a window at (5, 7).
  t.engine.ClientX = 5;
  t.engine.ClientY = 7;
  t.display.SetClipList({TDisplayRect{5, 7, 25, 27}, TDisplayRect{105, 7, 205, 107}});
  t.engine.CheckClipper();
  EXPECT_EQ(t.engine.ClipList, (TRects{TRect{0, 0, 20, 20}, TRect{100, 0, 200, 100}}));
  cells = {TRect{10, 0, 150, 14}, TRect{0, 50, 800, 60}, TRect{300, 300, 310, 310}};
  t.engine.Present(&primary, source, cells);
  EXPECT_EQ(cells, (TRects{TRect{10, 0, 20, 14}, TRect{100, 0, 150, 14}, TRect{100, 50, 200, 60}}));
  EXPECT_EQ(At(primary, 5 + 10, 7 + 7), 10u * 1000 + 7);
  EXPECT_EQ(At(primary, 5 + 15, 7 + 7), 15u * 1000 + 7);
  EXPECT_EQ(At(primary, 5 + 195, 7 + 56), 195u * 1000 + 56);
  EXPECT_EQ(At(primary, 5 + 300, 7 + 301), 0u);
  // Cells that the origin pushes past the primary's edge are cut there.
  t.Set("MemorySurface", 794, 592, 0xABCDEF);
  cells = {TRect{790, 590, 800, 600}};
  t.display.SetClipList({TDisplayRect{0, 0, 900, 700}, TDisplayRect{0, 0, 1, 1}});
  t.engine.CheckClipper();
  t.engine.Present(&primary, source, cells);
  EXPECT_EQ(cells, (TRects{TRect{790, 590, 800, 600}}));
  EXPECT_EQ(At(primary, 799, 599), 0xABCDEFu);

  // A clipper that reports no change keeps the old list.
  t.engine.CheckClipper();
  EXPECT_EQ(t.engine.ClipList.size(), 2u);
}

TEST(ClipRedrawRects, NothingChangesBeforeAListWasFetched) {
  EngineOnDisplay t(kFormatXRGB8888, false);
  TRects cells = {TRect{0, 0, 5, 5}};
  t.engine.ClipRedrawRects(cells);
  EXPECT_EQ(cells.size(), 1u);
  t.engine.ClipList = {TRect{0, 0, 2, 2}};
  t.engine.ClipRedrawRects(cells);  // not fetched yet
  EXPECT_EQ(cells, (TRects{TRect{0, 0, 5, 5}}));
  t.engine.ClipListFetched = true;
  t.engine.ClipRedrawRects(cells);
  EXPECT_EQ(cells, (TRects{TRect{0, 0, 2, 2}}));
}

TEST(ResourceList, KeepsTheArchivesItOpens) {
  ScratchFolder dir;
  auto folder = TFileFolder::CreateNew(dir.path / "game.zxc");
  folder->AddFile("a.txt", 0, TMemoryStream(std::vector<uint8_t>{'a'}));
  folder->Save();
  int anchor = 0;
  TResourceList list(3, dir.path.string(), &anchor);
  list.AddFolder(dir.path / "game.zxc");
  ASSERT_EQ(list.Folders.size(), 1u);
  EXPECT_EQ(list.Folders[0]->IndexOf("A.TXT"), 0);
  EXPECT_EQ(list.Number, 3);
  EXPECT_EQ(list.Pointer, &anchor);
}

}  // namespace
}  // namespace qv
