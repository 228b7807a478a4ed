#include <gtest/gtest.h>

#include "foundation/Files.h"
#include "shell/InterfaceBridge.h"
#include "shell/Languages.h"
#include "shell/ShellTempDir.h"
#include "ui/QelInterfaceClasses.h"
#include "ui/UiTestSupport.h"

namespace qv::test {
namespace {

// The language window on the real toolkit, behind the bridge the program uses.
class LanguageUiTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // Properties apply from the object after the defaults on.
    Ui.Interface.LoadFromText(Description({
        {"TQelDefaults", {{"DefLine", "TQelForm;Style;orig"}}},
        {"TQelForm", {{"Name", "WLanguage"}, {"ParentName", "Screen"}, {"Style", "orig"}}},
        {"TQelRadioButton", {{"Name", "WLanguage_RBENU"}, {"ParentName", "WLanguage"}, {"Left", "40"}, {"Top", "30"}}},
    }));
    std::filesystem::create_directories(Dir.Path / "LNG");
  }
  void Language(const std::string& file, const std::string& style) {
    AtomicWriteFile(Dir.Path / "LNG" / file,
                    Description({{"TQelForm", {{"Name", "WLanguage"}, {"ParentName", "Screen"}, {"Style", style}}}}));
  }
  TQelInterfaceObject* W(const std::string& name) { return Ui.Interface.FindWidget(name); }
  bool IsChecked(const std::string& name) { return Ui.GetProp(name, "Checked") == "True"; }

  TFakeGraphic Graphic;
  TInterfaceBridge Ui{Graphic};
  TempDir Dir{"lang"};
  TUserStore Store{Dir.Path / "config" / "registry"};
};

TEST_F(LanguageUiTest, ButtonsAreCopiesOfTheEnglishOne) {
  for (const char* f : {"enu_1.lng", "deu_3.lng", "fra_2.lng", "fra_2scn.lng"}) Language(f, f);
  ScanLanguages(Ui, Dir.Path);
  ASSERT_NE(W("WLanguage_RBFRA"), nullptr);
  ASSERT_NE(W("WLanguage_RBDEU"), nullptr);
  EXPECT_EQ(W("WLanguage_RBFRA")->Top, 54);
  EXPECT_EQ(W("WLanguage_RBDEU")->Top, 78);
  EXPECT_EQ(W("WLanguage_RBDEU")->Left, 40);
  auto* form = dynamic_cast<TQelForm*>(W("WLanguage"));
  ASSERT_EQ(form->ChildList.size(), 3u);
  EXPECT_EQ(W("WLanguage_RBDEU")->Parent(), form);

  // Scanning again adds nothing twice.
  ScanLanguages(Ui, Dir.Path);
  EXPECT_EQ(form->ChildList.size(), 3u);

  Ui.SetProp("WLanguage_RBDEU", "Checked", "true");
  EXPECT_EQ(CheckedLanguage(Ui), "DEU");
}

TEST_F(LanguageUiTest, ChangeRestoresTheDescriptionFirstAndFallsBackToEnglish) {
  Language("enu_1.lng", "english");
  Language("deu_2.lng", "deutsch");
  ScanLanguages(Ui, Dir.Path);
  EXPECT_EQ(ChangeLanguage(Ui, &Store, Dir.Path, "deu"), "deu");
  EXPECT_EQ(W("WLanguage")->Style, "deutsch");
  EXPECT_TRUE(IsChecked("WLanguage_RBDEU"));
  EXPECT_FALSE(Store.ReadString(kLanguageKey, kLanguageValue));  // a found language is stored by the window

  // No Italian file: English, stored as the language.
  EXPECT_EQ(ChangeLanguage(Ui, &Store, Dir.Path, "ITA"), "ENU");
  EXPECT_EQ(W("WLanguage")->Style, "english");
  EXPECT_EQ(ReadLangCode(Store), "ENU");
  EXPECT_TRUE(IsChecked("WLanguage_RBENU"));

  // Without the folder nothing changes.
  std::filesystem::remove_all(Dir.Path / "LNG");
  EXPECT_EQ(ChangeLanguage(Ui, &Store, Dir.Path, "deu"), "deu");
  EXPECT_EQ(W("WLanguage")->Style, "english");
}

}  // namespace
}  // namespace qv::test
