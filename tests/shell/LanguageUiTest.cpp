#include <gtest/gtest.h>

#include "foundation/Files.h"
#include "shell/LanguageUi.h"
#include "shell/ShellTempDir.h"
#include "ui/QelInterfaceClasses.h"
#include "ui/QelInterfaceEngine.h"
#include "ui/UiTestSupport.h"

namespace qv::test {
namespace {

// A radio button with the published Checked of the real one, for as long
// as the toolkit does not register its own.
class TTestRadio : public TQelInterfaceObject {
 public:
  static const TQelClass& StaticClass() {
    static const TQelClass cls = TQelClass::Make<TTestRadio>(
        "TQelRadioButton", &TQelInterfaceObject::StaticClass(), [](TPropertyList& p) { p.Bool("Checked", &TTestRadio::Checked); });
    return cls;
  }
  const TQelClass& ClassType() const override { return StaticClass(); }
  bool Checked = false;
};

bool IsChecked(const TQelInterfaceEngine& ui, const std::string& name) {
  return PropValueToText(ui.GetProp(name, "Checked")) == "True";
}

class LanguageUiTest : public ::testing::Test {
 protected:
  void SetUp() override {
    RegisterInterfaceClasses();
    if (!ClassReg().FindClassByName("TQelRadioButton")) ClassReg().Register(TTestRadio::StaticClass());
    // Properties apply from the object after the defaults on.
    F.engine.LoadFromText(Description({
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
  TQelInterfaceObject* W(const std::string& name) { return F.W(name); }

  TEngineFixture F;
  TempDir Dir{"lang"};
  TUserStore Store{Dir.Path / "config" / "registry"};
};

TEST_F(LanguageUiTest, ButtonsAreCopiesOfTheEnglishOne) {
  for (const char* f : {"enu_1.lng", "deu_3.lng", "fra_2.lng", "fra_2scn.lng"}) Language(f, f);
  ScanLanguages(F.engine, Dir.Path);
  ASSERT_NE(W("WLanguage_RBFRA"), nullptr);
  ASSERT_NE(W("WLanguage_RBDEU"), nullptr);
  EXPECT_EQ(W("WLanguage_RBFRA")->Top, 54);
  EXPECT_EQ(W("WLanguage_RBDEU")->Top, 78);
  EXPECT_EQ(W("WLanguage_RBDEU")->Left, 40);
  auto* form = dynamic_cast<TQelForm*>(W("WLanguage"));
  ASSERT_EQ(form->ChildList.size(), 3u);
  EXPECT_EQ(W("WLanguage_RBDEU")->Parent(), form);

  // Scanning again adds nothing twice.
  ScanLanguages(F.engine, Dir.Path);
  EXPECT_EQ(form->ChildList.size(), 3u);

  F.engine.SetProp("WLanguage_RBDEU", "Checked", "true");
  EXPECT_EQ(CheckedLanguage(F.engine), "DEU");
}

TEST_F(LanguageUiTest, ChangeRestoresTheDescriptionFirstAndFallsBackToEnglish) {
  Language("enu_1.lng", "english");
  Language("deu_2.lng", "deutsch");
  ScanLanguages(F.engine, Dir.Path);
  EXPECT_EQ(ChangeLanguage(F.engine, Store, Dir.Path, "deu"), "deu");
  EXPECT_EQ(W("WLanguage")->Style, "deutsch");
  EXPECT_TRUE(IsChecked(F.engine, "WLanguage_RBDEU"));
  EXPECT_FALSE(Store.ReadString(kLanguageKey, kLanguageValue));  // a found language is stored by the window

  // No Italian file: English, stored as the language.
  EXPECT_EQ(ChangeLanguage(F.engine, Store, Dir.Path, "ITA"), "ENU");
  EXPECT_EQ(W("WLanguage")->Style, "english");
  EXPECT_EQ(ReadLangCode(Store), "ENU");
  EXPECT_TRUE(IsChecked(F.engine, "WLanguage_RBENU"));

  // Without the folder nothing changes.
  std::filesystem::remove_all(Dir.Path / "LNG");
  EXPECT_EQ(ChangeLanguage(F.engine, Store, Dir.Path, "deu"), "deu");
  EXPECT_EQ(W("WLanguage")->Style, "english");
}

}  // namespace
}  // namespace qv::test
