// The shipped archive converts through the installer, and every picture that
// the game, a level, the map or the bonus places name is in the working
// archive and loads into a surface of the expected shape.
#include <gtest/gtest.h>

#include <filesystem>
#include <regex>

#include "content/ContentSupport.h"
#include "content/InterfaceModel.h"
#include "foundation/CUnit.h"
#include "foundation/MemoryStream.h"
#include "foundation/Numeric.h"
#include "foundation/StrUtils.h"
#include "game/CardRules.h"
#include "game/GameNames.h"
#include "graphics/PictureCodec.h"

namespace qv::test {
namespace {

// Names the game asks for by itself, outside any data file: those it spells
// out, and the card faces and turn strips it builds for every card kind.
std::vector<std::string> FixedPictures() {
  std::vector<std::string> names = {
      "CardCrop.png",      "CardReverce.png",  "CardPause.png",       "joker.png",         "CardQuest.png",
      "CardDress.png",     "CardBack.png",     "CardBackStrUp.png",   "CardBackStrDown.png", "CardFrame.png",
      "BonusOreol.png",    "CoverMask.png",    "Shadow.png",          "Mask.png",          "Pen1.png",
      "Frame.png",         "CardPack.png",     "EndHat.png",          "Vor.png",           "Shuller.png",
      "cursor_line.png",   "VCardLine.png",    "HCardLine.png",       "CardPoint.png",     "Map.png",
      "MapOutlines.png",   "MapComplete.jpg",  "MapFrame.png",        "particle2.png",     "particle3.png",
      "BackZamok.jpg",     "amulet1.png",      "HintWindowLeftTop.png", "HintWindowRightTop.png",
      "HintWindowLeft.png", "HintWindowRight.png"};
  TCardTypes kinds;
  BuildCardTypes(kinds);
  for (const TCardType& kind : kinds) {
    names.push_back(kind.Picture);
    names.push_back(TurnPicture(kind));
  }
  return names;
}

TEST(ContentArchive, ConvertsIntoAWorkingArchive) {
  TFileFolder& shipped = ShippedArchive();
  TFileFolder& working = WorkingArchive();
  ASSERT_GT(shipped.Count(), 100);
  for (const TDirEntry& e : shipped.Dir) {
    const std::string name = e.GetName();
    EXPECT_LE(name.size(), 32u) << name;
    const std::string base = name.substr(0, name.find('.'));
    if (EndsWith(name, "._PNG")) {
      EXPECT_GE(shipped.IndexOf(base + "._JPG"), 0) << name;
      EXPECT_GE(working.IndexOf(base + ".PNG"), 0) << name;
    } else if (EndsWith(name, "._aim")) {
      EXPECT_GE(working.IndexOf(base + ".aim"), 0) << name;
      EXPECT_GE(working.IndexOf(base + ".pNg"), 0) << "the script's picture " << name;
    } else if (!EndsWith(name, "._JPG")) {
      // Copied as it is, exact bytes (the piece map's colours depend on it).
      ASSERT_GE(working.IndexOf(name), 0) << name;
      EXPECT_EQ(EntryText(shipped, name), EntryText(working, name)) << name;
    }
  }
  for (const TDirEntry& e : working.Dir) {
    EXPECT_FALSE(EndsWith(e.GetName(), "._JPG") || EndsWith(e.GetName(), "._PNG")) << e.GetName();
  }
  // The piece map keeps exact colours: it is not split into JPEG and mask.
  EXPECT_GE(shipped.IndexOf("Map.png"), 0);
  EXPECT_LT(shipped.IndexOf("Map._JPG"), 0);
}

TEST(ContentArchive, EveryNamedPictureExists) {
  TFileFolder& working = WorkingArchive();
  std::set<std::string> names;
  for (const std::string& n : FixedPictures()) names.insert(n);
  for (const std::string& n : SplitLines(EntryText(working, "surfaces.dat"))) names.insert(n);
  for (const std::string& level : LevelEntries()) {
    auto tags = ParseTags(EntryText(working, level));
    ASSERT_GT(tags->TagCount(), 0) << level;
    for (const std::string& n : PicturesOfLevel(*tags->GetTag(0))) names.insert(n);
  }
  auto map = ParseTags(EntryText(working, "MapPieces.xml"));
  names.insert(Attr(*map->GetTag(0), "BackPicture"));
  auto places = ParseTags(EntryText(working, "BonusPlaceTypes.xml"));
  for (const auto& place : places->GetTag(0)->Tags) {
    names.insert(Attr(*place, "PictureBack"));
    names.insert(Attr(*place, "PictureCardBack"));
  }
  std::vector<std::string> missing;
  for (const std::string& n : names) {
    EXPECT_LE(n.size(), 32u) << n;
    if (n.empty() || working.IndexOf(n) < 0) missing.push_back(n);
  }
  EXPECT_TRUE(missing.empty()) << "missing: " << [&] {
    std::string s;
    for (const auto& m : missing) s += "\"" + m + "\" ";
    return s;
  }();
}

// Names the code puts together from pieces are built in one place, whose
// names the tests take; one built anywhere else would escape them.
TEST(ContentArchive, TheCodeBuildsEntryNamesOnlyInOnePlace) {
  const std::regex built(R"re((\+\s*"[A-Za-z0-9_-]*|\+=\s*")\.(ogg|mo3|png|jpg)")re");
  for (const auto& e : std::filesystem::recursive_directory_iterator(ContentSources().parent_path() / "src")) {
    if (!e.is_regular_file() || e.path().stem() == "GameNames") continue;
    EXPECT_FALSE(std::regex_search(ReadText(e.path()), built)) << e.path() << " builds an entry name";
  }
}

// A level load brings only its animated pictures and wall crash strips; all
// else it draws must come from the picture list loaded at start-up.
TEST(ContentArchive, PictureListHoldsWhatLevelsDrawWithoutLoading) {
  TFileFolder& working = WorkingArchive();
  std::set<std::string> listed;
  for (const std::string& n : SplitLines(EntryText(working, "surfaces.dat"))) listed.insert(LowerAscii(n));
  std::set<std::string> needed;
  for (const std::string& level : LevelEntries()) {
    auto tags = ParseTags(EntryText(working, level));
    const TQelXMLTag& root = *tags->GetTag(0);
    needed.insert(Attr(root, "BackPicture"));
    std::vector<const TQelXMLTag*> all;
    CollectTags(root, all);
    for (const TQelXMLTag* t : all) {
      if (t->Name == "Zone" || t->Name == "Wall") needed.insert(Attr(*t, "Picture"));
      if (t->Name == "Belt") needed.insert(Attr(*t, "PartImage"));
      if (t->Name == "LevelFrames" || t->Name == "LentaFrames") needed.insert(Attr(*t, "BackPicture"));
    }
  }
  auto places = ParseTags(EntryText(working, "BonusPlaceTypes.xml"));
  for (const auto& place : places->GetTag(0)->Tags) {
    needed.insert(Attr(*place, "PictureBack"));
    needed.insert(Attr(*place, "PictureCardBack"));
  }
  needed.insert(Attr(*ParseTags(EntryText(working, "MapPieces.xml"))->GetTag(0), "BackPicture"));
  for (const std::string& n : needed) {
    EXPECT_TRUE(listed.count(LowerAscii(n))) << "\"" << n << "\" is not in surfaces.dat";
  }
}

TEST(ContentArchive, PictureListLoadsIntoSurfaces) {
  TFileFolder& working = WorkingArchive();
  SurfaceStore h;
  const std::vector<std::string> lines = SplitLines(EntryText(working, "surfaces.dat"));
  ASSERT_GT(lines.size(), 60u);
  for (const std::string& name : lines) {
    const std::string ext = name.substr(name.size() - 4);
    ASSERT_TRUE(ext == ".png" || ext == ".jpg") << "extension of \"" << name << "\" must be lower-case .png or .jpg";
    if (ext == ".png")
      h.LoadPng(name);
    else
      h.LoadJpeg(name);
    const SurfaceStore::Info s = h.Find(name);
    ASSERT_TRUE(s.Found) << name;
    EXPECT_GT(s.Width, 0) << name;
    EXPECT_GT(s.Height, 0) << name;
    if (ext == ".png") {
      EXPECT_TRUE(s.Alpha) << name;
    }
  }
  auto size = [&](const char* name) {
    const SurfaceStore::Info s = h.Find(name);
    return s.Found ? std::make_pair(s.Width, s.Height) : std::make_pair(-1, -1);
  };
  for (const char* card : {"2_piki.png", "10_kresti.png", "Q_bubny.png", "A_chervi.png", "joker.png", "CardDress.png",
                           "CoverMask.png", "CardBackStrDown.png"})
    EXPECT_EQ(size(card), std::make_pair(32, 50)) << card;
  // The cursor strip holds 30 frames 41 pixels apart; a turn strip 10 cards.
  EXPECT_GE(size("cursor_line.png").first, 29 * 41 + 40);
  EXPECT_EQ(size("card_animeRP.png"), std::make_pair(320, 50));
  EXPECT_EQ(size("Map.png"), std::make_pair(800, 600));
  EXPECT_EQ(size("MapComplete.jpg"), std::make_pair(800, 600));
  EXPECT_EQ(size("Frame.png"), std::make_pair(800, 600));
  // The card frame is centred on a card: equal margins on both sides.
  EXPECT_EQ(size("CardFrame.png").first % 2, 0);
  EXPECT_EQ(size("CardFrame.png").second % 2, 0);
}

TEST(ContentArchive, CardsAreCardShapedAndReadable) {
  TFileFolder& working = WorkingArchive();
  for (const char* name : {"7_piki.png", "K_chervi.png", "10_bubny.png", "A_kresti.png"}) {
    TPngImage img = DecodePNG(*working.GetStream(name));
    ASSERT_EQ(img.Width, 32);
    ASSERT_TRUE(img.HasAlpha());
    EXPECT_LT(img.AlphaRow(0)[0], 128) << name << ": rounded corner";
    EXPECT_EQ(img.AlphaRow(25)[16], 255) << name << ": opaque face";
    // Red suits print red, black suits dark: look for the ink in the rank corner.
    bool red = std::string(name).find("chervi") != std::string::npos || std::string(name).find("bubny") != std::string::npos;
    int inkPixels = 0;
    for (int y = 2; y < 14; ++y)
      for (int x = 1; x < 16; ++x) {
        const uint8_t* p = img.Row(y) + x * 3;  // blue, green, red
        bool ink = red ? (p[2] > 150 && p[1] < 90 && p[0] < 110) : (p[0] < 80 && p[1] < 80 && p[2] < 80);
        if (ink) ++inkPixels;
      }
    EXPECT_GT(inkPixels, 10) << name;
  }
}

TEST(ContentArchive, BigPicturesHaveTheirSizes) {
  TFileFolder& working = WorkingArchive();
  TBitmap24 kingdom = DecodeJPEG(*working.GetStream("BackZamok.jpg"));
  EXPECT_EQ(kingdom.Width, 2400);
  EXPECT_EQ(kingdom.Height, 1800);
  for (const std::string& level : LevelEntries()) {
    auto tags = ParseTags(EntryText(working, level));
    const std::string back = Attr(*tags->GetTag(0), "BackPicture");
    TBitmap24 b = DecodeJPEG(*working.GetStream(back));
    EXPECT_EQ(b.Width, 800) << back;
    EXPECT_EQ(b.Height, 600) << back;
  }
}

// The game parameters ship enciphered with the game's key, as the program
// expects them, and decipher to their source.
TEST(ContentProgramFolder, GameParamsShipEnciphered) {
  TMemoryStream shipped;
  shipped.LoadFromFile(ProgramFolder() / "GameParams.xml");
  ASSERT_GT(shipped.Size(), 0);
  EXPECT_FALSE(IsTextStream(shipped));
  TMemoryStream plain;
  CryptStream(shipped, plain, kGameDataKey);
  const std::string text(plain.Bytes().begin(), plain.Bytes().end());
  EXPECT_EQ(text, ReadText(ContentSources() / "GameParams.xml"));
  auto tags = ParseTags(text);
  const TQelXMLTag* root = tags->FindTag("GamePlayParams");
  ASSERT_NE(root, nullptr);
  for (const char* required : {"ShadowShift", "ThiefShift", "Sharper", "Acceleration", "BornPeriod", "MapPath"}) {
    EXPECT_NE(root->FindTag(required), nullptr) << required;
  }
  // The map's highlight ramps rise.
  const TQelXMLTag* path = root->FindTag("MapPath");
  ASSERT_NE(path, nullptr);
  EXPECT_EQ(path->TagCount(), 4);
  for (const auto& style : path->Tags) {
    const int a1 = StrToInt(Attr(*style, "a1")), a2 = StrToInt(Attr(*style, "a2")), a3 = StrToInt(Attr(*style, "a3"));
    EXPECT_TRUE(a1 < a2 && a2 < a3) << a1 << " " << a2 << " " << a3;
  }
}

}  // namespace
}  // namespace qv::test
