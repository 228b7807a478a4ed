#include <gtest/gtest.h>

#include "EngineCanvas.h"
#include "FieldFakes.h"
#include "foundation/QelException.h"
#include "foundation/QelParser.h"
#include "game/BeltPath.h"
#include "game/GameFakes.h"
#include "game/LevelSurfaces.h"

namespace qv::test {
namespace {

class SurfacesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    H.MakeRow(3);
    S.Level.BackPicture = "Back.jpg";
    S.Level.LentaFramesBack = "LentaBack.jpg";
    S.Level.LevelFramesBack = "CanvasBack.jpg";
    S.Level.Zones[0].Picture = "ZoneAll.png";
    S.Level.StreetTypes = {stNone, stUp, stDown};
    Surfaces.Shadow = {4, 6, 90};
  }
  std::vector<std::string> DrawOrder() const {
    std::vector<std::string> out;
    for (const DrawCall& c : Canvas.Draws) out.push_back(c.Source + ">" + c.Target);
    return out;
  }

  GameHarness H;
  TGameState& S = H.State;
  FakeCanvas Canvas;
  FakeHost Host;
  TLevelSurfaces Surfaces{H.State, H.Svc, Canvas, Host};
};

TEST_F(SurfacesTest, LevelSurfacesAreLaidInOrder) {
  S.Level.LentaFrames = {{10, 50, 90, 200, 255}, {50, 50, 90, 200, 255}};
  S.Level.LevelFrames = {{20, 90, 200, 110, 8049407}, {90, 20, 200, 110, 0}};
  TBonusPlaceType bp;
  bp.Points = {{20, 30}};
  bp.PictureBack = "BPBack.png";
  bp.PictureCardBack = "BPCard.png";
  S.BonusPlaceTypes = {bp};
  S.Level.BonusPlaceX = 600;
  S.Level.BonusPlaceY = 400;
  Canvas.Sizes["Shadow.png"] = {40, 60};
  Canvas.Sizes["Mask.png"] = {36, 54};

  Surfaces.MakeLevelSurfaces();
  EXPECT_EQ(DrawOrder(), (std::vector<std::string>{
                             "Back.jpg>Background", "LentaBack.jpg>LevelLenta", "LentaShadow>Background",
                             "LevelLenta>Background", "LevelShadow>Background", "CanvasBack.jpg>LevelCanvas",
                             "LevelCanvas>Background", "BPBack.png>Background", "BPCard.png>Background",
                             "ZoneAll.png>Background", "CardBackStrUp.png>Background",
                             "CardBackStrDown.png>Background", "Frame.png>Background"}));
  EXPECT_EQ(Canvas.Ramps, (std::vector<std::string>{"LevelLenta>Background 10,50,90", "LevelShadow>Background 20,90,200"}))
      << "a glow without a rising and falling ramp is left out";
  const DrawCall& shadow = Canvas.Draws[2];
  EXPECT_EQ((TGamePoint{shadow.X, shadow.Y}), (TGamePoint{4, 6}));
  EXPECT_EQ(shadow.Alpha, 90);
  EXPECT_EQ((TGamePoint{Canvas.Draws[8].X, Canvas.Draws[8].Y}), (TGamePoint{604, 405}));
  EXPECT_EQ((TGamePoint{Canvas.Draws[10].X, Canvas.Draws[10].Y}), (TGamePoint{124, 175}));
  EXPECT_EQ(Canvas.Created, (std::vector<std::string>{"LentaShadow", "LevelLenta", "LevelShadow", "LevelCanvas"}));
  ASSERT_EQ(Canvas.Combines.size(), 6u) << "no belt: no path stamps; shadow and mask on three points";
  EXPECT_EQ((TGamePoint{Canvas.Combines[0].X, Canvas.Combines[0].Y}), (TGamePoint{80, 170}));
  EXPECT_EQ(Canvas.Combines[3].Source, "Mask.png");
}

TEST_F(SurfacesTest, PathLineStampsEveryNewPixel) {
  TBeltPathInfo path = MakeBeltPath("Set Linear; Set Timing 1; Path (10, 20) (110, 20);");
  Canvas.Sizes["Pen1.png"] = {9, 7};
  Surfaces.DrawPathLine(path.Path.get(), "LevelLenta", "Pen1.png");
  ASSERT_EQ(Canvas.Combines.size(), 101u) << "1001 ms over 100 pixels: each pixel once";
  EXPECT_EQ((TGamePoint{Canvas.Combines[0].X, Canvas.Combines[0].Y}), (TGamePoint{6, 17}));
  EXPECT_EQ((TGamePoint{Canvas.Combines[100].X, Canvas.Combines[100].Y}), (TGamePoint{106, 17}));
  Canvas.Combines.clear();
  Surfaces.DrawPathLine(path.Path.get(), "LevelLenta", "Missing.png");
  Surfaces.DrawPathLine(nullptr, "LevelLenta", "Pen1.png");
  EXPECT_TRUE(Canvas.Combines.empty());
}

TEST_F(SurfacesTest, OutlinesOnlyForCastles) {
  S.Level.Zones.resize(2);
  S.Level.Zones[1].Wall = true;
  S.Level.PointZone = {1, 1, 0};
  S.Level.Zones[0].CornerDots = {{1, 1}};
  Surfaces.MakeWallOutlines();
  EXPECT_TRUE(S.Level.Zones[0].CornerDots.empty());
  EXPECT_EQ(S.Level.Zones[1].CornerDots.size(), 8u) << "points 40 apart: two separate cells";
  EXPECT_EQ(S.Level.Zones[1].VerticalEdges.size(), 4u);
}

TEST_F(SurfacesTest, LevelTextsKeepTheirAttributesAndNameCastles) {
  H.Widgets.Captions["WResource_LCastle1"] = "Oakhold";
  H.Widgets.Captions["WResource_LStreet1"] = "Mill Lane";
  H.Widgets.Captions["WResource_LCastle2"] = "Greywatch";
  TQelParser parser;
  parser.LoadFromText(
      "<Level><DrawText>"
      "<Text x=\"10\" y=\"20\" Width=\"100\" Angle=\"5\" ResLabel=\"WResource_LCastle1\" Color=\"255\"/>"
      "<Text x=\"30\" ResLabel=\"WResource_LStreet1\"/>"
      "<Other x=\"99\"/>"
      "<Text y=\"40\" ResLabel=\"WResource_LCastle2\" Color=\"65280\"/>"
      "</DrawText></Level>");
  Surfaces.DrawLevelTexts(parser.GetTag(0)->FindTag("DrawText"));
  ASSERT_EQ(Host.Labels.size(), 3u);
  EXPECT_EQ(Host.Labels[1].X, 30);
  EXPECT_EQ(Host.Labels[1].Y, 20) << "an absent attribute keeps the previous text's";
  EXPECT_EQ(Host.Labels[1].Color, 255);
  EXPECT_EQ(Host.Labels[1].Width, 100);
  EXPECT_EQ(Host.Labels[2].X, 30);
  EXPECT_EQ(Host.Labels[2].Color, 65280);
  EXPECT_EQ(Host.Labels[2].Picture, "Background");
  EXPECT_EQ(H.Widgets.Captions["WOverview_LCastleName"], "Oakhold, Greywatch");
  EXPECT_EQ(H.Widgets.Captions["WOverview_LStreetName"], "Mill Lane");

  Surfaces.DrawLevelTexts(nullptr);
  EXPECT_EQ(H.Widgets.Captions["WOverview_LCastleName"], "-");
  EXPECT_EQ(H.Widgets.Captions["WOverview_LStreetName"], "-");
}

TEST_F(SurfacesTest, LevelTextsFallBackAndRefuseATaglessEntry) {
  H.Archive.Entries["Level42.xml"] = "<Level><DrawText><Text ResLabel=\"L\"/></DrawText></Level>";
  Surfaces.LoadLevelTexts("Level7.xml");
  EXPECT_EQ(Host.Labels.size(), 1u);
  EXPECT_EQ(Canvas.Draws.front().Source, "Back.jpg") << "the surfaces are made anew first";
  H.Archive.Entries["Level3.xml"] = "no tags here";
  try {
    Surfaces.LoadLevelTexts("Level3.xml");
    FAIL() << "no exception";
  } catch (const QelException& e) {
    EXPECT_STREQ(e.what(), "Level3.xmlXML file does not has tags!");
  }
}

TEST_F(SurfacesTest, OverviewPictureNeverHasANegativeSize) {
  S.Game.MapPlaces.resize(2);
  S.Game.MapPlaces[0].Bounds = {100, 50, 159, 89};
  S.Game.MapPlaces[1].Bounds = {1000, 1000, -1000, -1000};
  S.Game.CurLevel = 0;
  Surfaces.ShowOverviewPicture();
  EXPECT_EQ(Canvas.Sizes["OverviewPic"], (std::pair<int32_t, int32_t>{62, 42}));
  ASSERT_EQ(Canvas.Opaque.size(), 1u);
  EXPECT_EQ(Canvas.Opaque[0].Rect, (TRect{100, 50, 160, 90}));
  EXPECT_EQ((TGamePoint{Canvas.Opaque[0].X, Canvas.Opaque[0].Y}), (TGamePoint{1, 1}));
  EXPECT_EQ(Host.LabelPictures["WOverview_LOverview"], "OverviewPic");

  S.Game.CurLevel = 1;
  Surfaces.ShowOverviewPicture();
  EXPECT_EQ(Canvas.Sizes["OverviewPic"], (std::pair<int32_t, int32_t>{2, 2}));
  EXPECT_EQ(Canvas.Opaque.size(), 1u);
  S.Game.CurLevel = 5;
  Surfaces.ShowOverviewPicture();
  S.Game.CurLevel = -1;
  Surfaces.MakeCover();
  EXPECT_TRUE(Canvas.JpegWindows.empty()) << "a level outside the map has no place";
}

class CoverTest : public ::testing::Test {
 protected:
  void SetUp() override {
    H.MakeRow(3);
    H.State.Game.MapPlaces.resize(1);
    H.State.Game.CurLevel = 0;
    E.Canvas().CreateSurface("Cover", 800, 600);
    E.Canvas().FillSurface("Cover", 0x40);
  }
  GameHarness H;
  EngineCanvas E;
  FakeHost Host;
  TLevelSurfaces Surfaces{H.State, H.Svc, E.Canvas(), Host};
};

TEST_F(CoverTest, WindowNearTheEdgeIsAWholeScreen) {
  // White only in the last 800 x 600 pixels of the kingdom picture.
  H.Archive.Entries["BackZamok.jpg"] = EngineCanvas::MakeJpegBytes(2400, 1800, [](int x, int y) {
    return x >= 1600 && y >= 1200 ? Rgba{255, 255, 255} : Rgba{0, 0, 0};
  });
  H.State.Game.MapPlaces[0].x = 790;
  H.State.Game.MapPlaces[0].y = 590;
  Surfaces.MakeCover();
  for (auto [x, y] : {std::pair{0, 0}, {799, 0}, {0, 599}, {799, 599}, {400, 300}}) {
    EXPECT_GT(E.Pixel("Cover", x, y).R, 240) << x << "," << y;
  }
}

TEST_F(CoverTest, MissingOrBrokenPictureLeavesTheCover) {
  Surfaces.MakeCover();
  EXPECT_EQ(E.Pixel("Cover", 5, 5).G, 0x40);
  H.Archive.Entries["BackZamok.jpg"] = "not a picture";
  Surfaces.MakeCover();
  EXPECT_EQ(E.Pixel("Cover", 5, 5).G, 0x40);
}

TEST_F(CoverTest, MaskOnlyOverEnclosedCards) {
  E.MakePicture("CoverMask.png", 32, 50, true, [](int, int) { return Rgba{0, 0, 0, 255}; });
  H.Lay(0, 3);
  const int32_t enclosed = H.Lay(1, 4);
  H.State.Cards[static_cast<size_t>(enclosed)].State = csEnclosed;
  Surfaces.DrawCoverMask();
  EXPECT_EQ(E.Alpha("Cover", 124, 175), 255);
  EXPECT_EQ(E.Alpha("Cover", 155, 224), 255);
  EXPECT_EQ(E.Alpha("Cover", 156, 224), 0);
  EXPECT_EQ(E.Alpha("Cover", 100, 200), 0) << "an open card shows";
  H.State.Cards[static_cast<size_t>(enclosed)].State = csOpen;
  Surfaces.DrawCoverMask();
  EXPECT_EQ(E.Alpha("Cover", 130, 200), 0) << "the mask is cleared first";
}

}  // namespace
}  // namespace qv::test
