// The shipped interface description and language files in the real
// interface toolkit: loading with no structural error, every widget of the
// class the file names, language files that apply and restore cleanly,
// windows that realign on the screen, and every window drawn from shipped
// pictures only. With QUORVANE_SCREENSHOTS naming a folder, the drawn
// windows are saved there as PNG files, one per window and language.
#include <gtest/gtest.h>

#include <cstdlib>
#include <map>

#include "content/ContentSupport.h"
#include "content/InterfaceModel.h"
#include "content/ScreenHost.h"
#include "foundation/Log.h"
#include "ui/QelInterfaceEngine.h"

namespace qv::test {
namespace {

const char* const kLanguages[] = {"enu_1.lng", "fra_2.lng", "deu_3.lng"};

// The toolkit bound to the drawing host in the order the game binds it: the
// description loads and realigns before the host is known, then again after.
struct LoadedInterface {
  ScreenHost Host;
  TQelFontEngine Fonts;
  TQelInterfaceEngine Ui;
  TQelMethodTable Methods;
  std::vector<std::string> LogLines;

  LoadedInterface() {
    RegisterInterfaceClasses();
    Log::TakeBuffered();
    Fonts.LoadFromText(EntryText(WorkingArchive(), "QelUnicode.xml"));
    Ui.FontEngine = &Fonts;
    Ui.LoadFromText(EntryText(WorkingArchive(), "Quorvane.li"));
    Ui.RealignForms();
    LogLines = Log::TakeBuffered();
    AddLanguageButtons();
    Host.Fonts = &Fonts;
    Fonts.Graphic = &Host;
    Ui.Graphic = &Host;
    Ui.OwnerForm = &Methods;
    Ui.RealignForms();
  }

  // The game makes one radio button per other language file from the
  // English one, 24 pixels apart.
  void AddLanguageButtons() {
    auto* en = Ui.FindWidget("WLanguage_RBENU");
    if (!en) return;
    int i = 1;
    for (const char* code : {"FRA", "DEU"}) {
      const std::string name = std::string("WLanguage_RB") + code;
      Ui.CreateObject(name, "WLanguage", "TQelRadioButton");
      auto* rb = Ui.FindWidget(name);
      if (!rb) continue;
      rb->Assign(*en);
      Ui.SetProp(name, "Checked", "false");
      Ui.LinkParents();
      Ui.SetProp(name, "Top", std::to_string(en->Top + 24 * i));
      ++i;
    }
    if (auto* form = dynamic_cast<TQelForm*>(Ui.FindWidget("WLanguage"))) form->BuildChildList();
  }

  // Every published property of every widget as text.
  std::map<std::string, std::string> Snapshot() const {
    std::map<std::string, std::string> out;
    for (const auto& o : Ui.Objects())
      for (const TPropInfo& p : o->Properties().Items())
        if (p.Get) out[o->Name() + "." + p.Name] = PropValueToText(p.Get(*o));
    return out;
  }

  void ChangeLanguage(const std::string& file) {
    Ui.RestoreModifications();
    Ui.LoadModificationsFromText(ReadText(ProgramFolder() / "lng" / file));
  }
};

TEST(InterfaceInToolkit, LoadsWithoutStructuralErrorsAndEveryWidgetHasItsClass) {
  LoadedInterface li;
  for (const std::string& line : li.LogLines) ADD_FAILURE() << "logged while loading: " << line;
  const InterfaceModel& model = InterfaceModel::FromArchive();
  for (const UiWidget& w : model.Widgets) {
    const TQelInterfaceObject* o = li.Ui.FindWidget(w.Name);
    ASSERT_NE(o, nullptr) << w.Name << " was not created";
    EXPECT_EQ(o->ClassName(), w.Class) << w.Name;
  }
}

TEST(InterfaceInToolkit, LanguageFilesApplyAndRestoreCleanly) {
  LoadedInterface li;
  const std::map<std::string, std::string> original = li.Snapshot();
  for (const char* file : kLanguages) {
    ASSERT_NO_THROW(li.ChangeLanguage(file)) << file;
    // Every caption the file names is now shown.
    const InterfaceModel lang = InterfaceModel::FromText(ReadText(ProgramFolder() / "lng" / file));
    auto parsed = ParseTags(ReadText(ProgramFolder() / "lng" / file));
    for (const auto& o : parsed->GetTag(0)->Tags) {
      std::string name, caption;
      for (const auto& p : o->Tags) {
        if (Attr(*p, "n") == "Name") name = p->Text;
        if (Attr(*p, "n") == "Caption") caption = p->Text;
      }
      EXPECT_EQ(PropValueToText(li.Ui.GetProp(name, "Caption")), caption) << file << " " << name;
    }
  }
  li.Ui.RestoreModifications();
  const std::map<std::string, std::string> restored = li.Snapshot();
  for (const auto& [key, value] : original) {
    auto it = restored.find(key);
    ASSERT_NE(it, restored.end()) << key;
    EXPECT_EQ(it->second, value) << key << " after the languages were undone";
  }
}

TEST(InterfaceInToolkit, EveryWindowRealignsOnTheScreenInEveryLanguage) {
  LoadedInterface li;
  for (const char* file : kLanguages) {
    li.ChangeLanguage(file);
    li.Ui.RealignForms();
    for (const auto& o : li.Ui.Objects()) {
      auto* w = dynamic_cast<TQelInterfaceObject*>(o.get());
      if (!w || w->Parent()) continue;
      EXPECT_GE(w->ScreenLeft, 0) << w->Name();
      EXPECT_GE(w->ScreenTop, 0) << w->Name();
      EXPECT_LE(w->ScreenLeft + w->Width, 800) << w->Name();
      EXPECT_LE(w->ScreenTop + w->Height, 600) << w->Name();
      auto* form = dynamic_cast<TQelForm*>(w);
      if (!form || w->Name() == "WResource") continue;
      for (TQelInterfaceObject* c : form->ChildList) {
        if (!c->Visible || c->ClassName() == "TQelHint") continue;
        EXPECT_GE(c->ScreenLeft, w->ScreenLeft) << c->Name();
        EXPECT_GE(c->ScreenTop, w->ScreenTop) << c->Name();
        EXPECT_LE(c->ScreenLeft + c->Width, w->ScreenLeft + w->Width) << c->Name();
        EXPECT_LE(c->ScreenTop + c->Height, w->ScreenTop + w->Height) << c->Name();
      }
    }
  }
}

// A click on every button of every window runs its script in the engine:
// the handlers it names are called in order, the sound plays and the
// windows it opens end up on the stack.
TEST(InterfaceInToolkit, EveryButtonsScriptRunsInTheEngine) {
  LoadedInterface li;
  std::vector<std::string> calls;
  const InterfaceModel& model = InterfaceModel::FromArchive();
  for (const UiWidget& w : model.Widgets)
    for (const auto& [prop, value] : w.Props)
      if (prop.rfind("On", 0) == 0)
        for (const ScriptCommand& c : ParseScript(value))
          if (c.Name == "ExecMethod") {
            const std::string m = c.Args.at("Method");
            li.Methods.Publish(m, [&calls, m] { calls.push_back(m); });
          }
  int clicked = 0;
  for (const UiWidget& w : model.Widgets) {
    const std::string script = w.Get("OnMouseUp");
    const UiWidget* window = model.Find(w.Parent);
    if (w.Class != "TQelLabel" || script.empty() || !window || !w.Visible()) continue;
    li.Ui.HideModalList();
    li.Ui.ShowModal(w.Parent);
    auto* button = li.Ui.FindWidget(w.Name);
    ASSERT_NE(button, nullptr);
    const int32_t x = button->ScreenLeft + button->Width / 2, y = button->ScreenTop + button->Height / 2;
    calls.clear();
    li.Host.Sounds.clear();
    li.Ui.MouseMove(0, x, y);
    li.Ui.MouseDown(TMouseButton::mbLeft, ssLeft, x, y);
    li.Ui.MouseUp(TMouseButton::mbLeft, 0, x, y);
    ++clicked;
    std::vector<std::string> expected;
    std::string lastShown;
    for (const ScriptCommand& c : ParseScript(script)) {
      if (c.Name == "ExecMethod") expected.push_back(c.Args.at("Method"));
      if (c.Name == "ShowModal") lastShown = c.Args.at("Form");
    }
    EXPECT_EQ(calls, expected) << w.Name;
    EXPECT_EQ(li.Host.Sounds, std::vector<std::string>{"Click.ogg"}) << w.Name;
    if (!lastShown.empty()) {
      ASSERT_NE(li.Ui.TopModal(), nullptr) << w.Name;
      EXPECT_EQ(li.Ui.TopModal()->Name(), lastShown) << w.Name;
    }
  }
  EXPECT_GT(clicked, 50);
}

// What lies under a window when the game shows it, bottom first.
struct Scene {
  const char* Background;
  std::vector<std::string> Stack;
};

const std::map<std::string, Scene>& Scenes() {
  static const std::map<std::string, Scene> scenes = {
      {"WTitle", {"", {"WTitle"}}},
      {"WStartGame", {"", {"WTitle", "WStartGame"}}},
      {"WHighScores", {"", {"WTitle", "WHighScores"}}},
      {"WClearHighScores", {"", {"WTitle", "WHighScores", "WClearHighScores"}}},
      {"WLoadGame", {"", {"WTitle", "WLoadGame"}}},
      {"WDelete", {"", {"WTitle", "WLoadGame", "WDelete"}}},
      {"WOptions", {"", {"WTitle", "WOptions"}}},
      {"WLanguage", {"", {"WTitle", "WLanguage"}}},
      {"WOverview", {"Back1.jpg", {"WGame", "WOverview"}}},
      {"WGame", {"Back1.jpg", {"WGame"}}},
      {"WGameMenu", {"Back1.jpg", {"WGame", "WGameMenu"}}},
      {"WHelp", {"Back1.jpg", {"WGame", "WHelp"}}},
      {"WQuit", {"Back1.jpg", {"WGame", "WQuit"}}},
      {"WExitToMainMenu", {"Back1.jpg", {"WGame", "WGameMenu", "WExitToMainMenu"}}},
      {"WAbortLevel", {"Back1.jpg", {"WGame", "WGameMenu", "WAbortLevel"}}},
      {"WLevelComplete", {"Back1.jpg", {"WGame", "WLevelComplete"}}},
      {"WGameOver", {"Back1.jpg", {"WGame", "WGameOver"}}},
      {"WUpgrade", {"Back1.jpg", {"WGame", "WUpgrade"}}},
      {"WBetweenLevel", {"MapComplete.jpg", {"WBetweenLevel"}}},
      {"WBetweenLevelMenu", {"MapComplete.jpg", {"WBetweenLevel", "WBetweenLevelMenu"}}},
      {"WSaveGame", {"MapComplete.jpg", {"WBetweenLevel", "WSaveGame"}}},
      {"WReplace", {"MapComplete.jpg", {"WBetweenLevel", "WSaveGame", "WReplace"}}},
      {"WGameComplete", {"MapComplete.jpg", {"WGameComplete"}}},
      {"WAfterGameComplete", {"", {"WTitle", "WAfterGameComplete"}}},
  };
  return scenes;
}

// Sample contents the game would fill in: lists, hints on show.
void FillSamples(LoadedInterface& li) {
  TQelInterfaceEngine& ui = li.Ui;
  ui.SetProp("WHighScores_GHighScores", "AddCells",
             "Text=\"1\";Text=\"Ysolde\";Text=\"48250\";Text=\"2\";Text=\"Player\";Text=\"31975\";Text=\"3\";"
             "Text=\"Éloïse Dürrenmatt\";Text=\"12040\";");
  for (const char* grid : {"WLoadGame_GFiles", "WSaveGame_GFiles"})
    ui.SetProp(grid, "AddCells", "Text=\"AutoSave\";Text=\"QuickSave\";Text=\"Before the ice castle\";");
  ui.SetProp("WLoadGame_ELoadFile", "Caption", "AutoSave");
  ui.SetProp("WSaveGame_ESaveFile", "Caption", "Before the ice castle");
  ui.SetProp("WGameComplete_EName", "Caption", "Player");
  ui.SetProp("WGame_Hint1", "Left", "150");
  ui.SetProp("WGame_Hint1", "Top", "160");
  ui.SetProp("WGame_Hint1", "Visible", "true");
  ui.SetProp("WGame_Hint_ZoneRed.png", "Picture", "HintWindowRight.png");
  ui.SetProp("WGame_Hint_ZoneRed.png", "PictureVAlign", "pvaTop");
  ui.SetProp("WGame_Hint_ZoneRed.png", "Left", "380");
  ui.SetProp("WGame_Hint_ZoneRed.png", "Top", "380");
  ui.SetProp("WGame_Hint_ZoneRed.png", "Visible", "true");
  ui.SetProp("WUpgrade_HSkill2", "Left", "30");
  ui.SetProp("WUpgrade_HSkill2", "Top", "110");
  ui.SetProp("WUpgrade_HSkill2", "Visible", "true");
  ui.SetProp("WOverview_LCreaturesName", "Caption", "Thief, Sharper");
  ui.SetProp("WBetweenLevel_LDifficulty", "Caption", "Normal");
}

TEST(InterfaceInToolkit, EveryWindowDrawsFromShippedPicturesAndFont) {
  const char* folder = std::getenv("QUORVANE_SCREENSHOTS");
  LoadedInterface li;
  FillSamples(li);
  for (const std::string lang : {"", "enu_1.lng", "fra_2.lng", "deu_3.lng"}) {
    if (!lang.empty()) li.ChangeLanguage(lang);
    li.Ui.RealignForms();
    for (const auto& [name, scene] : Scenes()) {
      li.Host.Clear(scene.Background);
      // The field's frame and the map's frame lie over their backgrounds.
      const std::string bg = scene.Background;
      if (bg == "Back1.jpg") li.Host.Draw("Frame.png", "", TBlendingMode::bmNormal, 0, 0, 255, nullptr);
      if (bg == "MapComplete.jpg") li.Host.Draw("MapFrame.png", "", TBlendingMode::bmNormal, 0, 0, 255, nullptr);
      li.Ui.HideModalList();
      for (const std::string& w : scene.Stack) li.Ui.ShowModal(w);
      ASSERT_NE(li.Ui.TopModal(), nullptr) << name;
      EXPECT_EQ(li.Ui.TopModal()->Name(), name);
      li.Ui.DrawInterface();
      if (folder)
        li.Host.Save(std::filesystem::path(folder) /
                     ((lang.empty() ? "description" : lang.substr(0, 3)) + "_" + name + ".png"));
    }
    // Over a region on the map's right the game moves the between-level
    // controls to the left and writes the titles dark instead of yellow.
    const std::pair<const char*, const char*> leftSide[] = {
        {"WBetweenLevel_BNextLevel", "195"}, {"WBetweenLevel_BMenu", "45"}, {"WBetweenLevel_LDifficulty", "15"},
        {"WBetweenLevel_LKingdom", "15"}};
    for (const auto& [widget, left] : leftSide) li.Ui.SetProp(widget, "Left", left);
    for (const char* prop : {"Color", "MouseOverColor"}) {
      li.Ui.SetProp("WBetweenLevel_LDifficulty", prop, "4934475");
      li.Ui.SetProp("WBetweenLevel_LKingdom", prop, "0");
    }
    li.Host.Clear("MapComplete.jpg");
    li.Host.Draw("MapFrame.png", "", TBlendingMode::bmNormal, 0, 0, 255, nullptr);
    li.Ui.HideModalList();
    li.Ui.ShowModal("WBetweenLevel");
    li.Ui.DrawInterface();
    if (folder)
      li.Host.Save(std::filesystem::path(folder) /
                   ((lang.empty() ? "description" : lang.substr(0, 3)) + "_WBetweenLevel_left.png"));
    const std::pair<const char*, const char*> rightSide[] = {
        {"WBetweenLevel_BNextLevel", "595"}, {"WBetweenLevel_BMenu", "445"}, {"WBetweenLevel_LDifficulty", "482"},
        {"WBetweenLevel_LKingdom", "482"}};
    for (const auto& [widget, left] : rightSide) li.Ui.SetProp(widget, "Left", left);
    for (const char* prop : {"Color", "MouseOverColor"}) {
      li.Ui.SetProp("WBetweenLevel_LDifficulty", prop, "59624");
      li.Ui.SetProp("WBetweenLevel_LKingdom", prop, "65535");
    }
    // The loading windows are drawn by the game itself, off the stack.
    li.Ui.HideModalList();
    for (const char* w : {"WGameLoading", "WLoadLevel"}) {
      li.Host.Clear("");
      li.Ui.SetProp(std::string(w) == "WGameLoading" ? "WGameLoading_PBGameLoading" : "WLoadLevel_PBLoadLevel",
                    "Position", "60");
      li.Ui.FindWidget(w)->Draw();
      if (folder)
        li.Host.Save(std::filesystem::path(folder) /
                     ((lang.empty() ? "description" : lang.substr(0, 3)) + "_" + w + ".png"));
    }
  }
  EXPECT_TRUE(li.Host.Missing.empty()) << "not shipped: " << *li.Host.Missing.begin();
  EXPECT_GT(li.Host.GlyphsDrawn, 1000);
}

}  // namespace
}  // namespace qv::test
