// The interface description "Quorvane.li" and the language files of the
// program folder: well formed, holding every window and widget the game
// looks up by name with the class it expects, calling every screen handler,
// naming pictures the game loads, and laid out so that every caption in
// every language fits its widget and no two widgets of a window overlap.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <stdexcept>

#include "content/ContentSupport.h"
#include "content/FontGlyphs.h"
#include "content/InterfaceModel.h"
#include "foundation/Files.h"
#include "foundation/StrUtils.h"
#include "game/GameNames.h"
#include "graphics/PictureCodec.h"

namespace qv::test {
namespace {

// Every widget the shell and the card game reach by name, with its class.
// Zone hints, wall and bonus-place texts and the level texts come from the
// level files (below).
const std::vector<std::pair<std::string, std::string>>& NamedWidgets() {
  static const std::vector<std::pair<std::string, std::string>> list = [] {
    std::vector<std::pair<std::string, std::string>> l;
    for (const char* w : {"WTitle",         "WStartGame",       "WOverview",
                          "WGame",          "WGameMenu",        "WHelp",
                          "WQuit",          "WExitToMainMenu",  "WAbortLevel",
                          "WLevelComplete", "WGameOver",        "WBetweenLevel",
                          "WUpgrade",       "WGameComplete",    "WAfterGameComplete",
                          "WHighScores",    "WClearHighScores", "WLoadGame",
                          "WSaveGame",      "WReplace",         "WDelete",
                          "WOptions",       "WLanguage",        "WGameLoading",
                          "WLoadLevel",     "WResource"})
      l.emplace_back(w, "TQelForm");
    for (const char* n : {"WGame_LScore",
                          "WGame_LScoreCount",
                          "WGame_LDropPackCount",
                          "WGame_LTemp",
                          "WLevelComplete_BOk",
                          "WGameLoading_LLoading",
                          "WLoadLevel_LLoadLevelText",
                          "WOverview_LOverview",
                          "WOverview_LCreaturesName",
                          "WOverview_LWallName",
                          "WOverview_LBonusPlaceName",
                          "WOverview_LCastleName",
                          "WOverview_LStreetName",
                          "WOverview_LDPCapacity",
                          "WBetweenLevel_BNextLevel",
                          "WBetweenLevel_BMenu",
                          "WBetweenLevel_LDifficulty",
                          "WBetweenLevel_LKingdom",
                          "WUpgrade_LSkillEconomyLevel",
                          "WUpgrade_LSkillAntiSharperLevel",
                          "WUpgrade_LSkillDropPackLevel",
                          "WUpgrade_LSkillLuckLevel",
                          "WUpgrade_LEconomyString",
                          "WUpgrade_LDropPackString",
                          "WUpgrade_LLuckString",
                          "WUpgrade_LAntiSharperString",
                          "WUpgrade_LAntiSharper",
                          "WResource_LLevel",
                          "WResource_LThief",
                          "WResource_LSharper",
                          "WResource_LDropPackString",
                          "WResource_LLuckString",
                          "WResource_LAntiSharperString",
                          "WTitle_BNewGame",
                          "WTitle_BLoadGame",
                          "WTitle_BHighScores",
                          "WTitle_BQuit",
                          "WTitle_LOstrandelLink"})
      l.emplace_back(n, "TQelLabel");
    for (int piece = 0; piece < 43; ++piece) l.emplace_back(LevelNameLabel(piece), "TQelLabel");
    l.emplace_back("WOverview_RLLevelName", "TQelRichLabel");
    for (const char* n : {"WStartGame_RBNoLose", "WStartGame_RBNormal", "WStartGame_RBHard", "WUpgrade_RBSkill1",
                          "WUpgrade_RBSkill2", "WUpgrade_RBSkill3", "WUpgrade_RBSkill4", "WLanguage_RBENU"})
      l.emplace_back(n, "TQelRadioButton");
    for (int i = 1; i <= 7; ++i) l.emplace_back("WGame_Hint" + std::to_string(i), "TQelHint");
    for (int i = 1; i <= 4; ++i) l.emplace_back("WUpgrade_HSkill" + std::to_string(i), "TQelHint");
    for (const char* n : {"WOptions_CBFullScreen", "WOptions_CB32bitColor", "WOptions_CBTurnOffHints"})
      l.emplace_back(n, "TQelCheckBox");
    l.emplace_back("WOptions_SMusicVolume", "TQelSlider");
    l.emplace_back("WOptions_SSoundVolume", "TQelSlider");
    for (const char* n : {"WLoadGame_GFiles", "WSaveGame_GFiles", "WHighScores_GHighScores"})
      l.emplace_back(n, "TQelGrid");
    for (const char* n : {"WLoadGame_ELoadFile", "WSaveGame_ESaveFile", "WGameComplete_EName"})
      l.emplace_back(n, "TQelEdit");
    l.emplace_back("WGameLoading_PBGameLoading", "TQelProgressBar");
    l.emplace_back("WLoadLevel_PBLoadLevel", "TQelProgressBar");
    return l;
  }();
  return list;
}

// The screen handlers the game publishes for the description's scripts.
const std::vector<std::string>& Handlers() {
  static const std::vector<std::string> list = {"WTitle_BNewGame_MouseUp",       "WTitle_BQuit_MouseUp",
                                                "WTitle_BLoadGame_MouseUp",      "WTitle_BHighScores_MouseUp",
                                                "WTitle_LOstrandelLink_MouseUp", "WStartGame_RBNormal_MouseUp",
                                                "WStartGame_RBHard_MouseUp",     "WStartGame_RBNoLose_MouseUp",
                                                "WStartGame_BPlay_MouseUp",      "WStartGame_BBack_MouseUp",
                                                "WOverview_BPlay_MouseUp",       "WGame_BMenu_MouseUp",
                                                "WGame_BHelp_MouseUp",           "WGame_BQuit_MouseUp",
                                                "WGame_BMize_MouseUp",           "WGame_BQuickSave_MouseUp",
                                                "WGame_BUndo_MouseUp",           "WGameMenu_BResume_MouseUp",
                                                "WGameMenu_BQuit_MouseUp",       "WHelp_BClose_MouseUp",
                                                "WQuit_BCancel_MouseUp",         "WExitToMainMenu_BOk_MouseUp",
                                                "WLevelComplete_BOk_MouseUp",    "WGameOver_BOk_MouseUp",
                                                "WAbortLevel_BOk_MouseUp",       "WBetweenLevel_BNextLevel_MouseUp",
                                                "WUpgrade_BOk_MouseUp",          "WBetweenLevel_BSaveGame_MouseUp",
                                                "WLoadGame_GFiles_MouseDown",    "WSaveGame_GFiles_MouseDown",
                                                "WLoadGame_BLoad_MouseUp",       "WLoadGame_BDelete_MouseUp",
                                                "WSaveGame_BSave_MouseUp",       "WSaveGame_BDelete_MouseUp",
                                                "WReplace_BOk_MouseUp",          "WDelete_BOk_MouseUp",
                                                "WGameComplete_BOk_MouseUp",     "WAfterGameComplete_BOk_MouseUp",
                                                "WClearHighScores_BOk_MouseUp",  "WHighScores_BClear_MouseUp",
                                                "WOptions_BOk_MouseUp",          "WOptions_BCancel_MouseUp",
                                                "WOptions_SMusicVolume_Change",  "WOptions_SSoundVolume_Change",
                                                "WLanguage_BOk_MouseUp"};
  return list;
}

// Names the levels make: zone hints, wall texts, bonus-place texts and the
// texts written on the backgrounds.
std::vector<std::pair<std::string, std::string>> NamesFromLevels() {
  std::vector<std::pair<std::string, std::string>> l;
  for (const std::string& entry : LevelEntries()) {
    auto tags = ParseTags(EntryText(WorkingArchive(), entry));
    std::vector<const TQelXMLTag*> all;
    CollectTags(*tags->GetTag(0), all);
    for (const TQelXMLTag* t : all) {
      if (t->Name == "Zone") l.emplace_back(ZoneHint(Attr(*t, "Picture")), "TQelHint");
      if (t->Name == "Wall") l.emplace_back(WallLabel(Attr(*t, "Picture")), "TQelLabel");
      if (t->Name == "Text") l.emplace_back(Attr(*t, "ResLabel"), "TQelLabel");
    }
  }
  auto places = ParseTags(EntryText(WorkingArchive(), "BonusPlaceTypes.xml"));
  for (int type = 0; type < places->GetTag(0)->TagCount(); ++type) l.emplace_back(BonusPlaceLabel(type), "TQelLabel");
  return l;
}

const InterfaceModel& Ui() {
  static const InterfaceModel model = InterfaceModel::FromArchive();
  return model;
}

TEST(InterfaceDescription, IsWellFormedWithTheDefaultsFirst) {
  const InterfaceModel& ui = Ui();
  EXPECT_TRUE(ui.Errors.empty()) << ui.Errors.front();
  EXPECT_FALSE(ui.Version.empty());
  EXPECT_TRUE(ui.DefaultsFirst);
  ASSERT_GT(ui.Widgets.size(), 200u);
  std::set<std::string> names;
  for (const UiWidget& w : ui.Widgets) {
    EXPECT_TRUE(names.insert(w.Name).second) << "two widgets named " << w.Name;
    const UiWidget* parent = ui.Find(w.Parent);
    if (parent) {
      EXPECT_EQ(parent->Class, "TQelForm") << w.Name << " lies on " << w.Parent;
    }
  }
}

TEST(InterfaceDescription, HoldsEveryWidgetTheGameLooksUp) {
  auto expected = NamedWidgets();
  for (const auto& n : NamesFromLevels()) expected.push_back(n);
  for (const auto& [name, cls] : expected) {
    const UiWidget* w = Ui().Find(name);
    ASSERT_NE(w, nullptr) << name << " is missing";
    EXPECT_EQ(w->Class, cls) << name;
  }
}

TEST(InterfaceDescription, ScriptsCallEveryHandlerAndOpenOnlyExistingWindows) {
  std::set<std::string> called;
  for (const UiWidget& w : Ui().Widgets)
    for (const auto& [prop, value] : w.Props) {
      if (prop.rfind("On", 0) != 0) continue;
      for (const ScriptCommand& c : ParseScript(value)) {
        if (c.Name == "ExecMethod") {
          ASSERT_TRUE(c.Args.count("Method")) << w.Name;
          called.insert(c.Args.at("Method"));
        } else if (c.Name == "ShowModal" || c.Name == "HideModal") {
          for (const auto& [key, window] : c.Args) {
            const UiWidget* target = Ui().Find(window);
            ASSERT_NE(target, nullptr) << w.Name << " " << c.Name << " " << window;
            EXPECT_TRUE(target->Parent.empty() || !Ui().Find(target->Parent)) << window << " is not a window";
          }
        } else if (c.Name == "PlaySound") {
          ASSERT_TRUE(c.Args.count("Sound")) << w.Name;
          EXPECT_GE(WorkingArchive().IndexOf(c.Args.at("Sound")), 0) << c.Args.at("Sound");
        } else {
          EXPECT_EQ(c.Name, "HideModalList") << "unknown command in " << w.Name << ": " << value;
        }
      }
    }
  for (const std::string& h : Handlers()) EXPECT_TRUE(called.count(h)) << "no script calls " << h;
  for (const std::string& m : called)
    EXPECT_NE(std::find(Handlers().begin(), Handlers().end(), m), Handlers().end()) << "no handler " << m;
}

TEST(InterfaceDescription, NamesOnlyPicturesAndSoundsTheGameLoads) {
  std::set<std::string> listed;
  for (const std::string& line : SplitLines(EntryText(WorkingArchive(), "surfaces.dat"))) listed.insert(line);
  SurfaceStore store;
  for (const UiWidget& w : Ui().Widgets)
    for (const auto& [prop, value] : w.Props) {
      if (prop.rfind("Sound", 0) == 0) {
        EXPECT_GE(WorkingArchive().IndexOf(value), 0) << w.Name << " " << value;
      }
      if (prop.find("Picture") == std::string::npos || prop == "PictureHAlign" || prop == "PictureVAlign" ||
          prop == "PictureAlpha" || value.empty())
        continue;
      if (value == "loading.jpg") {
        // A picture of the program folder, loaded before the archive's.
        EXPECT_TRUE(std::filesystem::exists(ProgramFolder() / value)) << w.Name;
        continue;
      }
      ASSERT_TRUE(listed.count(value)) << w.Name << "." << prop << " names \"" << value << "\", not in surfaces.dat";
      if (value.size() > 4 && value.substr(value.size() - 4) == ".png")
        store.LoadPng(value);
      else
        store.LoadJpeg(value);
      const SurfaceStore::Info info = store.Find(value);
      ASSERT_TRUE(info.Found) << value;
      // Buttons, boxes and backgrounds are drawn at the widget's corner: they
      // must not reach beyond it.
      if (w.Class != "TQelForm" || w.Int("Width") < 800) {
        if (prop == "Picture" || prop == "MouseOverPicture" || prop == "MouseDownPicture") {
          EXPECT_LE(info.Width, w.Int("Width")) << w.Name << " " << value;
          EXPECT_LE(info.Height, w.Int("Height")) << w.Name << " " << value;
        }
      }
      if (w.Class == "TQelHint") {
        EXPECT_EQ(info.Width, 262) << value;
        EXPECT_EQ(info.Height, 123) << value;
      }
    }
  // The balloons the game chooses between, and the pointer strip.
  for (const char* name :
       {"HintWindowLeftTop.png", "HintWindowRightTop.png", "HintWindowLeft.png", "HintWindowRight.png"}) {
    store.LoadPng(name);
    EXPECT_EQ(store.Find(name).Width, 262) << name;
    EXPECT_EQ(store.Find(name).Height, 123) << name;
  }
}

// Every caption of the description and of each language file, in each
// language: every character has a glyph, and the text fits its widget.
class InterfaceLanguages : public ::testing::TestWithParam<std::string> {};

TEST_P(InterfaceLanguages, EveryCaptionHasGlyphsAndFitsItsWidget) {
  const ShippedFont& font = QelUnicodeFont();
  InterfaceModel ui = Ui();
  if (!GetParam().empty()) {
    const std::string text = ReadText(ProgramFolder() / "lng" / GetParam());
    for (const std::string& e : ui.Apply(text)) ADD_FAILURE() << GetParam() << ": " << e;
  }
  for (const UiWidget& w : ui.Widgets) {
    for (const char* prop : {"Caption"}) {
      const std::string caption = w.Get(prop);
      for (char16_t ch : Utf8ToUtf16(StripCommands(caption)))
        EXPECT_TRUE(font.Draws(ch)) << w.Name << ": no glyph for U+" << std::hex << int(ch) << " in " << caption;
    }
    for (const std::string& problem : FitProblems(w, font)) ADD_FAILURE() << GetParam() << ": " << problem;
  }

  // Captions the game builds from the carriers' words, at their longest.
  auto caption = [&](const std::string& name) {
    const UiWidget* w = ui.Find(name);
    return w ? w->Get("Caption") : std::string();
  };
  auto fits = [&](const std::string& widget, const std::string& text, int width = 0) {
    const UiWidget* w = ui.Find(widget);
    ASSERT_NE(w, nullptr) << widget;
    UiWidget copy = *w;
    copy.Set("Caption", text);
    if (width > 0) copy.Set("Width", std::to_string(width));
    for (const std::string& problem : FitProblems(copy, font)) ADD_FAILURE() << GetParam() << ", built: " << problem;
  };
  fits("WUpgrade_LEconomyString", caption("WGame_LScore") + " +30%");
  fits("WUpgrade_LDropPackString", caption("WResource_LDropPackString") + " +10");
  fits("WUpgrade_LLuckString", caption("WResource_LLuckString") + " +10%");
  fits("WUpgrade_LAntiSharperString", caption("WResource_LAntiSharperString") + " +10%");
  fits("WOverview_LCreaturesName", caption("WResource_LThief") + ", " + caption("WResource_LSharper"));
  // Without this carrier the caption under the overview's picture stays as
  // described; with it the game would append the region's map number, which
  // contradicts the level number in the band above.
  EXPECT_EQ(ui.Find("WResource_LOverview"), nullptr);
  for (int piece = 0; piece < 43; ++piece)
    fits("WOverview_RLLevelName",
         "{$80FFFF}" + caption("WResource_LLevel") + " 43. {/$} " + caption(LevelNameLabel(piece)));
  for (const char* rb : {"WStartGame_RBNoLose", "WStartGame_RBNormal", "WStartGame_RBHard"})
    fits("WBetweenLevel_LDifficulty", caption(rb));
  fits("WLoadLevel_LLoadLevelText", caption("WGameLoading_LLoading"));
  for (const auto& [name, cls] : NamesFromLevels()) {
    if (name.rfind("WResource_LWall_", 0) == 0) fits("WOverview_LWallName", caption(name));
    if (name.rfind("WResource_LBonusPlace", 0) == 0) fits("WOverview_LBonusPlaceName", caption(name));
  }
  // Each level's texts: written on its background through "WGame_LTemp" at
  // the width the level gives, and gathered for the overview.
  for (const std::string& entry : LevelEntries()) {
    auto tags = ParseTags(EntryText(WorkingArchive(), entry));
    std::vector<const TQelXMLTag*> all;
    CollectTags(*tags->GetTag(0), all);
    std::string castles, streets;
    for (const TQelXMLTag* t : all) {
      if (t->Name != "Text") continue;
      const std::string res = Attr(*t, "ResLabel");
      fits("WGame_LTemp", caption(res), std::stoi(Attr(*t, "Width")));
      std::string& list = res.find("Castle") != std::string::npos ? castles : streets;
      if (res.find("Castle") != std::string::npos || res.find("Street") != std::string::npos)
        list += (list.empty() ? "" : ", ") + caption(res);
    }
    if (!castles.empty()) fits("WOverview_LCastleName", castles);
    if (!streets.empty()) fits("WOverview_LStreetName", streets);
  }
}

INSTANTIATE_TEST_SUITE_P(Content, InterfaceLanguages,
                         ::testing::Values(std::string(), "enu_1.lng", "fra_2.lng", "deu_3.lng"));

TEST(InterfaceLanguageFiles, TranslateEveryCaptionAndNameOnlyWhatExists) {
  for (const char* file : {"enu_1.lng", "fra_2.lng", "deu_3.lng"}) {
    InterfaceModel ui = Ui();
    const std::string text = ReadText(ProgramFolder() / "lng" / file);
    EXPECT_TRUE(ui.Apply(text).empty()) << file;
    const std::set<std::pair<std::string, std::string>> set = ui.Applied;
    // Every caption that is not a number, a placeholder or a place name
    // changes with the language.
    for (const UiWidget& w : Ui().Widgets) {
      const std::string c = w.Get("Caption");
      if (c.empty() || w.Class == "TQelRichLabel" || w.Name.rfind("WResource_LLevelName", 0) == 0) continue;
      if (c.find_first_not_of("0123456789-+%#. ") == std::string::npos) continue;
      if (w.Name == "WLoadLevel_LLoadLevelText" || w.Name == "WBetweenLevel_LDifficulty") continue;
      EXPECT_TRUE(set.count({w.Name, "Caption"})) << file << " leaves " << w.Name << " untranslated";
    }
  }
}

TEST(InterfaceLayout, EveryWindowLiesOnTheScreenAndNoWidgetsOverlap) {
  for (const std::string& problem : LayoutProblems(Ui())) ADD_FAILURE() << problem;
  // The game moves the between-level controls to the left side of the map.
  InterfaceModel left = Ui();
  left.SetInt("WBetweenLevel_BNextLevel", "Left", 195);
  left.SetInt("WBetweenLevel_BMenu", "Left", 45);
  left.SetInt("WBetweenLevel_LDifficulty", "Left", 15);
  left.SetInt("WBetweenLevel_LKingdom", "Left", 15);
  for (const std::string& problem : LayoutProblems(left)) ADD_FAILURE() << "left side: " << problem;
  // Language buttons the game adds below the English one, 24 pixels apart.
  const UiWidget* en = Ui().Find("WLanguage_RBENU");
  ASSERT_NE(en, nullptr);
  InterfaceModel languages = Ui();
  for (int i = 1; i <= 5; ++i) {
    UiWidget copy = *en;
    copy.Name += std::to_string(i);
    copy.Set("Top", std::to_string(en->Int("Top") + 24 * i));
    languages.Widgets.push_back(copy);
  }
  for (const std::string& problem : LayoutProblems(languages)) ADD_FAILURE() << "five more languages: " << problem;
}

TEST(InterfaceLayout, TheMakersLogoLiesOnTheTitleBesideItsButtons) {
  auto logos = ParseTags(ReadText(ProgramFolder() / "AddLogo.xml"));
  ASSERT_GT(logos->TagCount(), 0);
  const TQelXMLTag& logo = *logos->GetTag(0)->GetTag(0);
  auto child = [&](const char* name) -> const TQelXMLTag& {
    for (const auto& t : logo.Tags)
      if (t->Name == name) return *t;
    throw std::runtime_error(std::string("AddLogo.xml: no ") + name);
  };
  EXPECT_EQ(logo.Name, "Logo");
  EXPECT_EQ(child("Parent").Text, "WTitle");
  const std::string link = ReadText(ProgramFolder() / child("URL").Text);
  EXPECT_NE(link.find("URL="), std::string::npos) << "the link file holds no URL= line";
  EXPECT_NE(ReadText(ProgramFolder() / "Ostrandel.url").find("URL="), std::string::npos);
  const std::vector<uint8_t> bytes = ReadWholeFile(ProgramFolder() / child("Picture").Text);
  const TPngImage png = DecodePNG(bytes.data(), bytes.size());
  InterfaceModel ui = Ui();
  UiWidget w{"TQelLabel", "AddLogo0", "WTitle", {}};
  w.Set("Left", Attr(child("Position"), "x"));
  w.Set("Top", Attr(child("Position"), "y"));
  w.Set("Width", std::to_string(png.Width));
  w.Set("Height", std::to_string(png.Height));
  w.Set("Visible", "true");
  ui.Widgets.push_back(w);
  for (const std::string& problem : LayoutProblems(ui)) ADD_FAILURE() << "with the logo: " << problem;
}

}  // namespace
}  // namespace qv::test
