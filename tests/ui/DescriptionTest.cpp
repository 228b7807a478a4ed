// The interface description: creation and its structural errors, default
// lines, the property pass, language files and their undoing.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "UiTestSupport.h"
#include "foundation/Files.h"
#include "foundation/Log.h"

namespace qv {
namespace {

using test::Description;
using test::TEngineFixture;
using test::TObj;
using test::TTestFocused;

bool Logged(const std::vector<std::string>& lines, const std::string& text) {
  return std::any_of(lines.begin(), lines.end(),
                     [&](const std::string& l) { return l.find(text) != std::string::npos; });
}

class DescriptionTest : public ::testing::Test, public TEngineFixture {
 protected:
  void SetUp() override { Log::TakeBuffered(); }
};

TEST_F(DescriptionTest, DefaultLinesFillOnlyWhatObjectsDoNotState) {
  engine.LoadFromText(Description({
      {"TQelDefaults",
       {{"DefLine", " TTestFocused ; Style ;plain "},
        {"DefLine", "TQelForm;Picture;back.png"},
        {"DefLine", "TTestFocused;NoValue;"},
        {"DefLine", "no separators"}}},
      {"TTestFocused", {{"Name", "A"}, {"ParentName", "W"}}},
      {"TTestFocused", {{"Name", "B"}, {"ParentName", "W"}, {"Style", "own"}}},
      {"TQelForm", {{"Name", "W"}, {"ParentName", "Screen"}}},
  }));
  EXPECT_EQ(W("A")->Style, "plain");
  EXPECT_EQ(W("B")->Style, "own");
  EXPECT_EQ(W("W")->Picture, "back.png");
  auto lines = Log::TakeBuffered();
  EXPECT_EQ(
      std::count_if(lines.begin(), lines.end(),
                    [](const std::string& l) {
                      return l.find("[TQelInterfaceEngine.ApplyDefaultLine] DefLine does not have 3 parameters!") !=
                             std::string::npos;
                    }),
      2);
  // The value keeps its blanks; class and property names are trimmed.
  EXPECT_EQ(DefLinePars(" a ; b ; c;d "), (std::vector<std::string>{"a", "b", " c;d "}));
  EXPECT_TRUE(DefLinePars("a;b").empty());
}

TEST_F(DescriptionTest, PropertyPassStartsAfterTheDefaultsObject) {
  // The defaults object is taken to be first: here it is not, so the first
  // object gets no properties.
  engine.LoadFromText(Description({
      {"TQelForm", {{"Name", "A"}, {"ParentName", "Screen"}, {"Left", "5"}}},
      {"TQelDefaults", {{"DefLine", "TQelForm;Top;7"}}},
      {"TQelForm", {{"Name", "B"}, {"ParentName", "Screen"}, {"Left", "6"}}},
  }));
  EXPECT_EQ(W("A")->Left, 0);
  EXPECT_EQ(W("A")->Top, 0);
  EXPECT_EQ(W("B")->Left, 6);
  EXPECT_EQ(W("B")->Top, 7);
}

TEST_F(DescriptionTest, CreationStopsAtTheFirstStructuralErrorAndLogsIt) {
  engine.LoadFromText(Description({
      {"TQelForm", {{"Name", "A"}, {"ParentName", "Screen"}}},
      {"TQelForm", {{"Name", "NoParent"}}},
      {"TQelForm", {{"Name", "C"}, {"ParentName", "Screen"}}},
  }));
  EXPECT_NE(engine.FindObject("A"), nullptr);
  EXPECT_EQ(engine.FindObject("C"), nullptr);
  auto lines = Log::TakeBuffered();
  EXPECT_TRUE(Logged(lines,
                     "[TQelInterfaceEngine.CreateInterfaceObjects] [ClassName:TQelForm] Attribute <n> does "
                     "not has Name: \"ParentName\" or \"Name\"!"));

  engine.Clear();
  engine.LoadFromText("<QelInterface><o c=\"TQelForm\" x=\"1\"><p n=\"Name\">A</p></o></QelInterface>");
  EXPECT_EQ(engine.Count(), 0);
  EXPECT_TRUE(Logged(Log::TakeBuffered(), "Tag <o> has wrong number of attributes!"));
  engine.LoadFromText("<Other><o/></Other>");
  EXPECT_TRUE(Logged(Log::TakeBuffered(), "XML file does not has \"QelInterface\" tag!"));
  engine.LoadFromText("<QelInterface><o c=\"TQelForm\"><q n=\"Name\">A</q></o></QelInterface>");
  EXPECT_TRUE(Logged(Log::TakeBuffered(),
                     "[TQelInterfaceEngine.CreateInterfaceObjects] [ClassName:TQelInterfaceEngine] Tag <o> contains "
                     "wrong subtag!"));
  // A first tag without children is an empty description, not an error.
  engine.LoadFromText("<QelInterface/>");
  EXPECT_TRUE(Log::TakeBuffered().empty());
  EXPECT_EQ(engine.Count(), 0);
}

TEST_F(DescriptionTest, PropertyErrorsReachTheCallerAndTabOrderIsStoredRaw) {
  EXPECT_THROW(engine.LoadFromText(Description({{"TQelForm", {{"Name", "A"}, {"ParentName", "S"}, {"Colour", "1"}}}})),
               Exception);
  EXPECT_TRUE(engine.State.empty());
  engine.Clear();
  engine.LoadFromText(Description({{"TQelForm", {{"Name", "W"}, {"ParentName", "S"}}},
                                   {"TTestFocused", {{"Name", "A"}, {"ParentName", "W"}, {"TabOrder", "7"}}}}));
  EXPECT_EQ(W<TTestFocused>("A")->TabOrder, 7);
  EXPECT_EQ(W<TQelForm>("W")->TabList.size(), 8u);
  EXPECT_FALSE(W("W")->Changed);
}

class LanguageTest : public DescriptionTest {
 protected:
  void SetUp() override {
    DescriptionTest::SetUp();
    engine.LoadFromText(Description(
        {{"TQelForm", {{"Name", "W"}, {"ParentName", "Screen"}, {"Style", "orig"}, {"Picture", "title_en.png"}}},
         {"TQelForm", {{"Name", "V"}, {"ParentName", "Screen"}}}},
        "2.7"));
  }
  std::string Language(const std::string& style, const std::string& picture) {
    return Description({{"TQelForm", {{"Name", "W"}, {"Style", style}, {"Picture", picture}}},
                        {"TQelForm", {{"Name", "Missing"}, {"Style", "x"}}}});
  }
};

TEST_F(LanguageTest, AppliedTwiceAndRestoredGivesTheDescriptionBack) {
  engine.RestoreModifications();  // nothing applied yet: nothing changes
  EXPECT_EQ(W("W")->Style, "orig");

  engine.LoadModificationsFromText(Language("de", "title_de.png"));
  EXPECT_EQ(W("W")->Style, "de");
  EXPECT_EQ(W("W")->Picture, "title_de.png");
  engine.RestoreModifications();
  engine.LoadModificationsFromText(Language("fr", "title_fr.png"));
  EXPECT_EQ(W("W")->Style, "fr");
  // Without a restore in between, the first value still stays recorded.
  engine.LoadModificationsFromText(Language("it", "title_it.png"));
  ASSERT_EQ(engine.ModProps.TagCount(), 2);
  EXPECT_EQ(engine.ModProps.GetTag(0)->Text, "orig");
  EXPECT_EQ(engine.ModProps.GetTag(0)->FindAttribute("Object")->Value, "W");
  EXPECT_EQ(engine.ModProps.GetTag(0)->FindAttribute("Prop")->Value, "Style");
  engine.RestoreModifications();
  EXPECT_EQ(W("W")->Style, "orig");
  EXPECT_EQ(W("W")->Picture, "title_en.png");
  EXPECT_EQ(engine.FindObject("Missing"), nullptr);
}

TEST_F(LanguageTest, LanguageFileFromDiskAndInfoText) {
  std::filesystem::path file = std::filesystem::temp_directory_path() / "quorvane_ui_lang_test.lng";
  AtomicWriteFile(file, Language("es", "title_es.png"));
  engine.LoadModifications(file);
  std::filesystem::remove(file);
  EXPECT_EQ(W("W")->Style, "es");
  EXPECT_THROW(engine.LoadModifications(file), EInOutError);
  EXPECT_EQ(engine.GetInfo(),
            "QelInterfaceInfo:\r\n\t\tQelInterafce XML file: V2.7\r\n\t\tQelInterfaceEngine: V3.01 (19.04.05)"
            "\r\n\t\tQelInterfaceClasses: V3.04 (21.04.05)");
}

TEST_F(DescriptionTest, DeletedWidgetsLeaveNoTraceInFormsOrTheStack) {
  engine.LoadFromText(Description({{"TQelForm", {{"Name", "W"}, {"ParentName", "S"}}},
                                   {"TTestFocused", {{"Name", "A"}, {"ParentName", "W"}, {"TabOrder", "0"}}},
                                   {"TTestFocused", {{"Name", "B"}, {"ParentName", "W"}, {"TabOrder", "1"}}}}));
  engine.ShowModal("W");
  engine.AddScript("A", "PlaySound Sound=\"x\";");
  engine.DeleteObject("A");
  auto* w = W<TQelForm>("W");
  ASSERT_EQ(w->ChildList.size(), 1u);
  ASSERT_EQ(w->TabList.size(), 1u);
  EXPECT_EQ(w->TabList[0], W("B"));
  EXPECT_EQ(W<TTestFocused>("B")->TabOrder, 0);
  EXPECT_EQ(engine.Sender, nullptr);
  engine.DeleteObject("W");
  EXPECT_TRUE(engine.ModalStack.empty());
  engine.DeleteObject("nobody");
  EXPECT_EQ(engine.Count(), 1);
}

}  // namespace
}  // namespace qv
