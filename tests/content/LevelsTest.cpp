// Every level, the kingdom map and the bonus places load through the card
// game's own loader, and the level files keep the rules their play relies on:
// belts that loop and stay clear of the board, symmetric neighbours on rows
// and columns, a board that can be filled from its preset cards.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>

#include "content/GameWiring.h"
#include "foundation/SFunctions.h"
#include "foundation/StrUtils.h"
#include "game/BeltPath.h"
#include "game/GameFakes.h"
#include "game/LevelLoader.h"
#include "graphics/PictureCodec.h"

namespace qv::test {
namespace {

const TQelXMLTag* Child(const TQelXMLTag& t, const char* name) { return t.FindTag(name); }

TEST(ContentLevels, MapAndBonusPlacesLoad) {
  ContentGame g;
  ASSERT_TRUE(g.Loader.LoadBonusPlaceTypes("BonusPlaceTypes.xml"));
  ASSERT_TRUE(g.Loader.LoadMapPieces("MapPieces.xml"));
  EXPECT_EQ(g.State.BonusPlaceTypes.size(), 3u);
  const TGame& game = g.State.Game;
  ASSERT_GE(game.MapPlaces.size(), 43u);
  ASSERT_GE(game.PieceOrder.size(), 7u);
  EXPECT_EQ(game.PieceOrder.front(), 42) << "the road starts at the introductory level";
  EXPECT_EQ(game.PieceOrder.back(), 4) << "winning level index 4 completes the game";
  for (int linked : {8, 9})
    EXPECT_NE(std::find(game.PieceOrder.begin(), game.PieceOrder.end(), linked), game.PieceOrder.end()) << linked;
  // Level n is read from "Level<n+1>.xml"; the introductory level falls back to "Level42.xml".
  EXPECT_LT(WorkingArchive().IndexOf("Level43.xml"), 0);
  EXPECT_GE(WorkingArchive().IndexOf("Level42.xml"), 0);
  for (int32_t level : game.PieceOrder)
    if (level != 42) {
      EXPECT_GE(WorkingArchive().IndexOf("Level" + std::to_string(level + 1) + ".xml"), 0) << level;
    }
  for (size_t i = 0; i < game.MapPlaces.size(); ++i)
    for (int32_t n : game.MapPlaces[i].Near) {
      ASSERT_GE(n, 0);
      const TIntegers& back = game.MapPlaces[size_t(n)].Near;
      EXPECT_NE(std::find(back.begin(), back.end(), int32_t(i)), back.end()) << "piece " << i << " and " << n;
    }
  // Every piece's point lies on a colour of its own in the piece map.
  TPngImage map = DecodePNG(*WorkingArchive().GetStream("Map.png"));
  ASSERT_EQ(map.Width, 800);
  ASSERT_TRUE(map.HasAlpha());
  std::map<uint32_t, size_t> owner;
  for (size_t i = 0; i < game.MapPlaces.size(); ++i) {
    const int x = game.MapPlaces[i].x, y = game.MapPlaces[i].y;
    ASSERT_TRUE(x >= 0 && y >= 0 && x < 800 && y < 600) << i;
    EXPECT_EQ(map.AlphaRow(y)[x], 255) << "piece " << i;
    const uint8_t* p = map.Row(y) + x * 3;
    const uint32_t colour = uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16;
    EXPECT_TRUE(owner.emplace(colour, i).second) << "pieces " << i << " and " << owner[colour] << " share a colour";
  }
}

TEST(ContentLevels, EveryLevelLoadsAndKeepsTheRules) {
  const std::vector<std::string> levels = LevelEntries();
  ASSERT_GE(levels.size(), 7u);
  for (const std::string& entry : levels) {
    SCOPED_TRACE(entry);
    ContentGame g;
    ASSERT_TRUE(g.Loader.LoadBonusPlaceTypes("BonusPlaceTypes.xml"));
    g.State.Game.CurLevel = LevelNumber(entry) - 1;
    ASSERT_TRUE(g.Loader.LoadLevel(entry));
    EXPECT_TRUE(g.Surfaces.Missing.empty()) << g.Surfaces.Missing.front();
    const TLevel& L = g.State.Level;
    auto tags = ParseTags(EntryText(WorkingArchive(), entry));
    const TQelXMLTag& root = *tags->GetTag(0);
    EXPECT_FALSE(Attr(root, "TimePrompt").empty());
    EXPECT_GT(L.TimePrompt, 0);

    // Every probability and both multipliers are given.
    const TQelXMLTag* prob = Child(root, "Probabilities");
    ASSERT_NE(prob, nullptr);
    for (const char* name : {"SuitableCardProb", "Suitable2CardProb", "BonusFishka", "QuestFishka", "CropBonusWeight",
                             "ReverseBonusWeight", "PauseBonusWeight", "JokerWeight", "CommonCardWeight",
                             "CriticalTime"})
      EXPECT_NE(prob->FindTag(name), nullptr) << name;
    for (const char* name : {"CropBonusWeight", "ReverseBonusWeight"}) {
      ASSERT_NE(prob->FindTag(name), nullptr);
      EXPECT_NE(prob->FindTag(name)->FindAttribute("MultC"), nullptr) << name;
      EXPECT_NE(prob->FindTag(name)->FindAttribute("MultE"), nullptr) << name;
    }
    ASSERT_EQ(L.BonusWeights.size(), 5u);
    EXPECT_GT(L.BonusWeights[4], 0);
    if (LevelNumber(entry) != 42) {
      EXPECT_GT(L.BonusWeights[3], 0) << "jokers free a point that no card fits";
    }

    // Neighbours: symmetric, on one row or one column, and all of the board
    // reachable from the preset cards.
    const size_t n = L.Points.size();
    ASSERT_GT(n, 0u);
    for (size_t i = 0; i < n; ++i) {
      const TGamePoint a = L.Points[i];
      EXPECT_TRUE(a.X - 16 >= 0 && a.X + 16 <= 700 && a.Y - 25 >= 0 && a.Y + 25 <= 600) << "point " << i;
      for (int32_t j : L.NearPoints[i]) {
        ASSERT_TRUE(j >= 0 && size_t(j) < n && size_t(j) != i);
        const TIntegers& back = L.NearPoints[size_t(j)];
        EXPECT_NE(std::find(back.begin(), back.end(), int32_t(i)), back.end()) << i << " -> " << j;
        const TGamePoint b = L.Points[size_t(j)];
        EXPECT_TRUE(std::abs(a.Y - b.Y) <= 9 || std::abs(a.X - b.X) <= 9) << i << " and " << j;
      }
    }
    ASSERT_FALSE(L.PresetPoints.empty());
    std::vector<bool> seen(n, false);
    TIntegers todo = L.PresetPoints;
    for (int32_t p : todo) seen[size_t(p)] = true;
    while (!todo.empty()) {
      const int32_t p = todo.back();
      todo.pop_back();
      for (int32_t q : L.NearPoints[size_t(p)])
        if (!seen[size_t(q)]) {
          seen[size_t(q)] = true;
          todo.push_back(q);
        }
    }
    EXPECT_EQ(std::count(seen.begin(), seen.end(), true), int(n)) << "points unreachable from the preset cards";

    // Belts loop, have a length and keep their cards off the board.
    ASSERT_FALSE(L.Belts.empty());
    std::vector<const TQelXMLTag*> all;
    CollectTags(root, all);
    for (const TQelXMLTag* t : all)
      if (t->Name == "Path") {
        EXPECT_TRUE(EndsWith(Trim(t->Text), "Ending Loop;")) << t->Text;
      }
    for (size_t b = 0; b < L.Belts.size(); ++b) {
      const TFishkaLenta& belt = L.Belts[b];
      EXPECT_GT(belt.PathLength, 0);
      EXPECT_GT(belt.PathTime, 0);
      EXPECT_TRUE(belt.PointsBetween >= 1 && belt.PointsBetween <= belt.PathLength) << belt.PointsBetween;
      // The first fault of a belt is enough to mend it.
      std::string fault;
      for (int32_t age = 0; age <= belt.PathTime && fault.empty(); age += 50) {
        double x = 0, y = 0;
        ASSERT_TRUE(BeltPathPoint(belt, age, x, y));
        if (!(x >= 16 && x <= 690 && y >= 25 && y <= 575))
          fault = "leaves the field at " + std::to_string(x) + "," + std::to_string(y);
        for (size_t i = 0; i < n && fault.empty(); ++i)
          if (std::fabs(x - L.Points[i].X) < 34 && std::fabs(y - L.Points[i].Y) < 52)
            fault = "runs over point " + std::to_string(i) + " at age " + std::to_string(age);
      }
      EXPECT_TRUE(fault.empty()) << "belt " << b << " " << fault;
    }

    // Walls, creatures and the bonus place point at things that exist.
    for (const TWall& w : L.Walls) {
      EXPECT_FALSE(w.WallIn.empty());
      EXPECT_FALSE(w.WallOut.empty());
      for (int32_t p : w.WallOut) {
        EXPECT_EQ(std::find(w.WallIn.begin(), w.WallIn.end(), p), w.WallIn.end());
        EXPECT_NE(p, L.SharperPoint);
        EXPECT_NE(p, L.ThiefPoint);
      }
    }
    if (L.SharperPoint >= 0) {
      EXPECT_EQ(std::find(L.ThiefPoints.begin(), L.ThiefPoints.end(), L.SharperPoint), L.ThiefPoints.end());
    }
    ASSERT_TRUE(L.BonusPlaceType >= 0 && size_t(L.BonusPlaceType) < g.State.BonusPlaceTypes.size());
    for (const TFrame& f : L.LevelFrames) {
      EXPECT_TRUE(f.a1 < f.a2 && f.a2 < f.a3);
    }
    for (const TFrame& f : L.LentaFrames) {
      EXPECT_TRUE(f.a1 < f.a2 && f.a2 < f.a3);
    }

    // Point scripts name pictures of the level.
    std::set<std::string> pictures;
    for (const TLevelPicture& p : L.Pictures) pictures.insert(p.Name);
    for (const TQelXMLTag* t : all) {
      if (t->Name == "ShowPic" || t->Name == "HidePic") {
        EXPECT_TRUE(pictures.count(Attr(*t, "Name"))) << Attr(*t, "Name");
      }
    }
  }
}

// Along the road the levels grow harder: the first belt never slows down and
// fitting cards never come more often.
TEST(ContentLevels, DifficultyGrowsAlongTheRoad) {
  ContentGame map;
  ASSERT_TRUE(map.Loader.LoadBonusPlaceTypes("BonusPlaceTypes.xml"));
  ASSERT_TRUE(map.Loader.LoadMapPieces("MapPieces.xml"));
  double lastSpeed = 0, lastProb = 1;
  for (int32_t level : map.State.Game.PieceOrder) {
    const std::string entry = level == 42 ? "Level42.xml" : "Level" + std::to_string(level + 1) + ".xml";
    SCOPED_TRACE(entry);
    ContentGame g;
    ASSERT_TRUE(g.Loader.LoadBonusPlaceTypes("BonusPlaceTypes.xml"));
    g.State.Game.CurLevel = level;
    ASSERT_TRUE(g.Loader.LoadLevel(entry));
    const TFishkaLenta& belt = g.State.Level.Belts.at(0);
    const double speed = double(belt.PathLength) / double(belt.PathTime);
    EXPECT_GE(speed, lastSpeed - 1e-4);
    EXPECT_LE(g.State.Level.SuitableCardProb, lastProb);
    lastSpeed = speed;
    lastProb = g.State.Level.SuitableCardProb;
  }
}

// Every mechanic of the game shows in some level.
TEST(ContentLevels, LevelsCoverEveryMechanic) {
  std::map<std::string, int> seen;
  int playable = 0;
  for (const std::string& entry : LevelEntries()) {
    if (LevelNumber(entry) != 42) ++playable;
    auto tags = ParseTags(EntryText(WorkingArchive(), entry));
    const TQelXMLTag& root = *tags->GetTag(0);
    std::vector<const TQelXMLTag*> all;
    CollectTags(root, all);
    int belts = 0;
    for (const TQelXMLTag* t : all) {
      const std::string& n = t->Name;
      if (n == "Belt") ++belts;
      if (n == "Path") {
        if (t->Text.find("Set Bezier") != std::string::npos) ++seen["curved belt"];
        if (t->Text.find("Set Linear") != std::string::npos) ++seen["straight belt"];
      }
      if (n == "Zone") {
        if (Attr(*t, "Wall") == "true") ++seen["castle"];
        if (WordCount(Attr(*t, "Suits")) == 1) ++seen["one-suit zone"];
        if (WordCount(Attr(*t, "Suits")) == 2) ++seen["two-suit zone"];
        if (WordCount(Attr(*t, "Orders")) < 13) ++seen["rank zone"];
      }
      if (n == "point" && Attr(*t, "StrType") == "1") ++seen["street up"];
      if (n == "point" && Attr(*t, "StrType") == "2") ++seen["street down"];
      if (n == "Wall") ++seen["wall"];
      if (n == "Thief") ++seen["thief"];
      if (n == "Sharper") ++seen["sharper"];
      if (n == "BonusPlace") ++seen["bonus place " + Attr(*t, "Type")];
      if (n == "ShowPic") ++seen["ShowPic"];
      if (n == "HidePic") ++seen["HidePic"];
      if (n == "Text") ++seen["text"];
      if (n == "Picture") ++seen[Attr(*t, "FrameType") == "line" ? "frame strip" : "separate images"];
      if (n == "QuestFishka" && StrToFloatVal(Trim(t->Text)) > 0) ++seen["quest cards"];
      for (const char* w : {"CropBonusWeight", "ReverseBonusWeight", "PauseBonusWeight", "JokerWeight"})
        if (n == w && StrToIntVal(Trim(t->Text)) > 0) ++seen[w];
    }
    ++seen[belts == 1 ? "one belt" : "two belts"];
  }
  EXPECT_GE(playable, 6);
  for (const char* m : {"curved belt", "straight belt", "one belt", "two belts", "castle", "one-suit zone",
                        "two-suit zone", "rank zone", "street up", "street down", "wall", "thief", "sharper",
                        "bonus place 0", "bonus place 1", "bonus place 2", "ShowPic", "HidePic", "text",
                        "frame strip", "separate images", "quest cards", "CropBonusWeight", "ReverseBonusWeight",
                        "PauseBonusWeight", "JokerWeight"})
    EXPECT_GT(seen[m], 0) << m;
}

}  // namespace
}  // namespace qv::test
