// The game's own field code builds its pictures from the content: the piece
// masks of the kingdom map come out of the piece map, and every level's
// surfaces, cover and overview picture are made from its pictures.
#include <gtest/gtest.h>

#include <cstdlib>

#include "content/GameWiring.h"
#include "foundation/Numeric.h"
#include "game/BeltPath.h"
#include "game/FieldCanvas.h"
#include "game/KingdomMap.h"
#include "game/LevelSurfaces.h"

namespace qv::test {
namespace {

class QuietHost : public IFieldHost {
 public:
  int32_t TextWidth(std::string_view text) override { return int32_t(text.size()) * 8; }
  int32_t TextHeight() override { return 14; }
  void TextOut(std::string_view, std::string_view, int32_t, int32_t, uint8_t, uint32_t) override {}
  void DrawLabelOnPicture(std::string_view, std::string_view, int32_t, int32_t, int32_t, int32_t, int32_t,
                          std::string_view) override {}
  void SetLabelPictures(std::string_view, std::string_view) override {}
};

// The game after its start-up: work surfaces, the picture list, the bonus
// places and the map with its piece masks.
struct StartedGame : ContentGame {
  StartedGame() : Field(State, Svc, Surfaces.Canvas(), Host), Map(State, Svc, Surfaces.Canvas()) {
    IFieldCanvas& c = Surfaces.Canvas();
    for (const char* work : {"MemorySurface", "MemoryBufer", "Background", "TempMapSel", "TempMapSelC", "Cover"})
      c.CreateSurface(work, 800, 600);
    c.FillAlpha("TempMapSel", 0);
    c.FillAlpha("TempMapSelC", 0);
    const std::string list = EntryText(WorkingArchive(), "surfaces.dat");
    size_t at = 0;
    while (at < list.size()) {
      size_t end = list.find('\n', at);
      if (end == std::string::npos) end = list.size();
      const std::string name = list.substr(at, end - at);
      if (name.size() > 4) {
        if (name.substr(name.size() - 3) == "png")
          Surfaces.LoadPng(name);
        else
          Surfaces.LoadJpeg(name);
      }
      at = end + 1;
    }
    Field.Shadow = {6, 6, 110};
    Svc.Field = &Field;
    EXPECT_TRUE(Loader.LoadBonusPlaceTypes("BonusPlaceTypes.xml"));
    EXPECT_TRUE(Loader.LoadMapPieces("MapPieces.xml"));
    Map.PrepareMapPieces();
  }

  uint8_t AlphaAt(const char* surface, int x, int y) {
    std::vector<uint8_t> a;
    if (!Surfaces.Canvas().ReadAlpha(surface, TRect{x, y, x, y}, a) || a.empty()) return 0;
    return a[0];
  }

  QuietHost Host;
  TLevelSurfaces Field;
  TKingdomMap Map;
};

TEST(ContentField, MapPiecesComeOutOfThePieceMap) {
  StartedGame g;
  EXPECT_TRUE(g.Surfaces.Missing.empty());
  for (size_t i = 0; i < g.State.Game.MapPlaces.size(); ++i) {
    const TMapPlace& p = g.State.Game.MapPlaces[i];
    SCOPED_TRACE("piece " + std::to_string(i));
    ASSERT_LE(p.Bounds.Left, p.Bounds.Right);
    EXPECT_TRUE(p.x >= p.Bounds.Left && p.x <= p.Bounds.Right && p.y >= p.Bounds.Top && p.y <= p.Bounds.Bottom);
    // A piece is a region of the map, not a stray colour spread over it.
    EXPECT_LT(p.Bounds.Right - p.Bounds.Left, 220);
    EXPECT_LT(p.Bounds.Bottom - p.Bounds.Top, 220);
    const int w = p.Bounds.Right - p.Bounds.Left + 1;
    ASSERT_EQ(p.Mask.size(), size_t(w) * size_t(p.Bounds.Bottom - p.Bounds.Top + 1));
    EXPECT_EQ(p.Mask[size_t(p.y - p.Bounds.Top) * size_t(w) + size_t(p.x - p.Bounds.Left)], 255);
  }
  // The road's first step: after the introductory level the first level is offered.
  g.State.Game.CurLevel = 42;
  g.State.Game.MapComplete = {42};
  g.State.Game.GameMode = gmMap;
  g.Map.ComposeMapPicture();
  EXPECT_EQ(g.State.Game.MapNearComplete, TIntegers{g.State.Game.PieceOrder[1]});
  g.State.Game.MapLevel = g.State.Game.PieceOrder[1];
  g.Map.DrawMapScreen();
  g.Map.ComposeMapSelection();
}

// The shipped map styles light up the borders of the current and the next
// pieces visibly on the real map picture.
TEST(ContentField, MapHighlightsShowOnTheMap) {
  StartedGame g;
  auto tags = ParseTags(ReadText(ContentSources() / "GameParams.xml"));
  const TQelXMLTag* params = tags->FindTag("GamePlayParams");
  ASSERT_NE(params, nullptr);
  const TQelXMLTag* path = params->FindTag("MapPath");
  ASSERT_NE(path, nullptr);
  ASSERT_EQ(path->TagCount(), 4);
  for (size_t i = 0; i < 4; ++i) {
    const TQelXMLTag& t = *path->Tags[i];
    g.Map.Styles[i] = TMapPathStyle{StrToInt(Attr(t, "a1")), StrToInt(Attr(t, "a2")), StrToInt(Attr(t, "a3")),
                                    StrToInt(Attr(t, "Alpha")), StrToInt(Attr(t, "Color"))};
  }
  TGame& game = g.State.Game;
  game.CurLevel = 42;
  game.MapComplete = {42};
  game.GameMode = gmMap;
  game.MapLevel = game.PieceOrder[0];
  const TMapPlace next = game.MapPlaces[size_t(game.PieceOrder[1])];
  const TRect& b = next.Bounds;
  const int w = b.Right - b.Left + 1;
  auto snapshot = [&] {
    std::vector<uint32_t> px;
    for (int y = b.Top; y <= b.Bottom; ++y)
      for (int x = b.Left; x <= b.Right; ++x) px.push_back(g.Surfaces.Pixel("Background", x, y));
    return px;
  };
  // The same screen without any border (no masks) is the plain map.
  const std::vector<TMapPlace> places = game.MapPlaces;
  for (TMapPlace& p : game.MapPlaces) p.Mask.clear();
  g.Map.DrawMapScreen();
  const std::vector<uint32_t> plain = snapshot();
  game.MapPlaces = places;
  g.Map.DrawMapScreen();
  const std::vector<uint32_t> lit = snapshot();
  int changed = 0;
  for (size_t i = 0; i < lit.size(); ++i) {
    if (next.Mask[i] == 0) continue;  // only the piece itself is lit
    int change = 0;
    for (int shift : {0, 8, 16}) change += std::abs(int((lit[i] >> shift) & 255) - int((plain[i] >> shift) & 255));
    changed += change >= 80;
  }
  // A band a few pixels wide along the whole border, not a speck.
  EXPECT_GE(changed, (w + b.Bottom - b.Top + 1) * 2) << "pixels of the next piece's border clearly lit";
  EXPECT_LT(changed, int(lit.size()) / 2) << "the border, not the whole piece";

  // The current piece's selection: its border is opaque enough to see.
  g.Map.ComposeMapSelection();
  const TMapPlace& current = game.MapPlaces[size_t(game.MapLevel)];
  std::vector<uint8_t> alpha;
  ASSERT_TRUE(g.Surfaces.Canvas().ReadAlpha("TempMapSelC", current.Bounds, alpha));
  const int cw = current.Bounds.Right - current.Bounds.Left + 1, ch = current.Bounds.Bottom - current.Bounds.Top + 1;
  int seen = 0;
  for (uint8_t a : alpha) seen += a >= 128;
  EXPECT_GE(seen, (cw + ch) * 2) << "pixels of the current piece's border clearly visible";
  EXPECT_LT(seen, int(alpha.size()) / 2);
}

TEST(ContentField, EveryLevelBuildsItsSurfaces) {
  StartedGame g;
  for (const std::string& entry : LevelEntries()) {
    SCOPED_TRACE(entry);
    const int number = LevelNumber(entry);
    g.State.Game.CurLevel = number == 42 ? 42 : number - 1;
    g.Surfaces.Missing.clear();
    ASSERT_TRUE(g.Loader.LoadLevel(entry));
    EXPECT_TRUE(g.Surfaces.Missing.empty());
    const TLevel& L = g.State.Level;
    int32_t w = 0, h = 0;
    for (const char* s : {"Background", "LevelCanvas", "LevelLenta", "LevelShadow", "LentaShadow", "Cover"}) {
      ASSERT_TRUE(g.Surfaces.Canvas().GetSize(s, w, h)) << s;
      EXPECT_EQ(w, 800);
      EXPECT_EQ(h, 600);
    }
    EXPECT_TRUE(g.Surfaces.Canvas().Exists("OverviewPic"));
    // The canvas lies under every point, the belt texture along the first belt.
    for (const TGamePoint& p : L.Points) {
      EXPECT_GE(g.AlphaAt("LevelCanvas", p.X, p.Y), 200) << p.X << "," << p.Y;
    }
    ASSERT_FALSE(L.Belts.empty());
    for (int32_t age = 0; age <= L.Belts[0].PathTime; age += 1000) {
      double x = 0, y = 0;
      ASSERT_TRUE(BeltPathPoint(L.Belts[0], age, x, y));
      EXPECT_GE(g.AlphaAt("LevelLenta", int(x), int(y)), 200) << x << "," << y;
    }
  }
}

}  // namespace
}  // namespace qv::test
