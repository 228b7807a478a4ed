#include <gtest/gtest.h>

#include <algorithm>

#include "foundation/Log.h"
#include "foundation/QelBaseClasses.h"
#include "foundation/QelException.h"

using namespace qv;

namespace {

enum class TSizing { szNone, szPicture, szCaption };

// A widget-like class with one property of every kind, fields and accessors mixed.
class TTestObject : public TQelObject {
 public:
  static const TQelClass& StaticClass();
  const TQelClass& ClassType() const override { return StaticClass(); }

  int32_t Left = 0;
  uint8_t Alpha = 255;
  char Letter = 'a';
  bool Visible = false;
  TSizing Sizing = TSizing::szNone;
  uint32_t Anchors = 0;
  double Speed = 0;
  std::string Picture;
  std::u16string Caption;
  std::string Metrics;
  int SetVisibleCalls = 0;

  void SetVisible(bool value) {
    Visible = value;
    ++SetVisibleCalls;
  }
  const std::u16string& GetCaption() const { return Caption; }
  void SetMetrics(const std::string& value) { Metrics = "parsed:" + value; }
  int32_t GetArea() const { return Left * 2; }
};

const TQelClass& TTestObject::StaticClass() {
  static const TQelClass cls =
      TQelClass::Make<TTestObject>("TTestObject", &TQelObject::StaticClass(), [](TPropertyList& p) {
        p.Integer("Left", &TTestObject::Left);
        p.Integer("Alpha", &TTestObject::Alpha);
        p.Char("Letter", &TTestObject::Letter);
        p.Bool("Visible", &TTestObject::Visible, &TTestObject::SetVisible);
        p.Enum("Sizing", &TTestObject::Sizing, {"szNone", "szPicture", "szCaption"});
        p.Set("Anchors", &TTestObject::Anchors, {"akLeft", "akTop", "akRight", "akBottom"});
        p.Float("Speed", &TTestObject::Speed);
        p.String("Picture", &TTestObject::Picture);
        p.WideString("Caption", &TTestObject::GetCaption, &TTestObject::Caption);
        p.String("Metrics", nullptr, &TTestObject::SetMetrics);
        p.Integer("Area", &TTestObject::GetArea, nullptr);
      });
  return cls;
}

// A subclass that only adds one property: it must keep all the others.
class TTestChild : public TTestObject {
 public:
  static const TQelClass& StaticClass() {
    static const TQelClass cls = TQelClass::Make<TTestChild>(
        "TTestChild", &TTestObject::StaticClass(), [](TPropertyList& p) { p.Integer("Extra", &TTestChild::Extra); });
    return cls;
  }
  const TQelClass& ClassType() const override { return StaticClass(); }
  int32_t Extra = 0;
};

void RegisterTestClasses() {
  RegisterFoundationClasses();
  static const bool done = [] {
    ClassReg().Register(TTestObject::StaticClass());
    ClassReg().Register(TTestChild::StaticClass());
    return true;
  }();
  (void)done;
}

class QelObjectModel : public ::testing::Test {
 protected:
  void SetUp() override { RegisterTestClasses(); }

  TTestObject& Add(const std::string& name, const std::string& parent = "", const char* cls = "TTestObject") {
    int index = engine.CreateObject(name, parent, cls);
    EXPECT_GE(index, 0);
    return static_cast<TTestObject&>(*engine.Objects()[static_cast<size_t>(index)]);
  }

  std::string Text(const std::string& object, const std::string& prop) {
    return PropValueToText(engine.GetProp(object, prop));
  }

  TQelEngine engine;
};

template <class F> std::string ErrorOf(F f) {
  try {
    f();
  } catch (const std::exception& e) {
    return e.what();
  }
  return "(no error)";
}

}  // namespace

TEST_F(QelObjectModel, RegistryFindsClassesByExactNameAndBuildsTheirOwnKind) {
  ASSERT_NE(ClassReg().FindClassByName("TQelObject"), nullptr);
  EXPECT_EQ(ClassReg().FindClassByName("tqelobject"), nullptr);
  EXPECT_EQ(ClassReg().FindClassByName("TTestObjectX"), nullptr);

  auto made = ClassReg().FindClassByName("TTestChild")->Create();
  ASSERT_NE(dynamic_cast<TTestChild*>(made.get()), nullptr);
  EXPECT_EQ(made->ClassName(), "TTestChild");
  EXPECT_EQ(made->Tag, 0);
  EXPECT_EQ(made->Name(), "");

  // Registering again is harmless; the first record found stays the same.
  size_t before = ClassReg().Classes().size();
  RegisterFoundationClasses();
  EXPECT_EQ(ClassReg().Classes().size(), before);

  // A private registry keeps duplicates in order and returns the first.
  TQelClassReg reg;
  reg.Register(TTestObject::StaticClass());
  reg.Register(TTestObject::StaticClass());
  EXPECT_EQ(reg.Classes().size(), 2u);
  EXPECT_EQ(reg.FindClassByName("TTestObject"), &TTestObject::StaticClass());
}

TEST_F(QelObjectModel, CreateObjectByClassName) {
  EXPECT_EQ(engine.CreateObject("A", "", "ttestobject"), -1);
  EXPECT_EQ(engine.CreateObject("A", "", "TNoSuchClass"), -1);
  EXPECT_EQ(engine.Count(), 0);

  EXPECT_EQ(engine.CreateObject("Form", "", "TQelObject"), 0);
  EXPECT_EQ(engine.CreateObject("Button", "Form", "TTestChild"), 1);
  TQelObject* button = engine.FindObject("Button");
  ASSERT_NE(button, nullptr);
  EXPECT_EQ(button->ClassName(), "TTestChild");
  EXPECT_EQ(button->GetEngine(), &engine);
  EXPECT_EQ(button->ParentName, "Form");
  EXPECT_EQ(engine.Objects()[0]->ClassName(), "TQelObject");
}

TEST_F(QelObjectModel, NamesAreUniquePerEngineAndCaseSensitive) {
  Log::SetSink(nullptr);
  Log::TakeBuffered();
  TTestObject& first = Add("A");
  TTestObject& second = Add("A");
  EXPECT_EQ(engine.Count(), 2);  // the refused object stays in the engine
  EXPECT_EQ(second.Name(), "");
  EXPECT_EQ(engine.FindObject("A"), &first);
  auto lines = Log::TakeBuffered();
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_NE(lines[0].find("[TQelBaseClasses.SetName] The name \"A\" is present !"), std::string::npos) << lines[0];

  TTestObject& upper = Add("Button");
  TTestObject& lower = Add("button");
  EXPECT_EQ(lower.Name(), "button");
  EXPECT_EQ(engine.FindObject("button"), &lower);
  EXPECT_EQ(engine.FindObject("Button"), &upper);
  EXPECT_EQ(engine.IndexOfObject("BUTTON"), -1);
  EXPECT_EQ(engine.FindObject("nobody"), nullptr);

  // Renaming to its own name changes nothing and logs nothing; to another's
  // name is refused; to a free name works, also through the property.
  upper.SetName("Button");
  EXPECT_TRUE(Log::TakeBuffered().empty());
  upper.SetName("A");
  EXPECT_EQ(upper.Name(), "Button");
  EXPECT_EQ(Log::TakeBuffered().size(), 1u);
  EXPECT_TRUE(engine.SetProp("Button", "name", "OkButton"));
  EXPECT_EQ(upper.Name(), "OkButton");
  EXPECT_TRUE(engine.SetProp("OkButton", "Name", "A"));
  EXPECT_EQ(upper.Name(), "OkButton");
  Log::TakeBuffered();

  // Several objects may keep the empty name; an object without an engine takes any name.
  Add("");
  EXPECT_EQ(engine.IndexOfObject(""), 1);
  TTestObject loose;
  loose.SetName("A");
  EXPECT_EQ(loose.Name(), "A");
}

TEST_F(QelObjectModel, AssignCopiesTagAndEngineOnly) {
  TTestObject& source = Add("Source", "Form");
  source.Tag = 42;
  TTestObject target;
  target.SetName("Target");
  target.ParentName = "Other";
  target.Assign(source);
  EXPECT_EQ(target.Tag, 42);
  EXPECT_EQ(target.GetEngine(), &engine);
  EXPECT_EQ(target.Name(), "Target");
  EXPECT_EQ(target.ParentName, "Other");
}

TEST_F(QelObjectModel, LinkParentsAndDeletion) {
  TTestObject& form = Add("Form");
  TTestObject& panel = Add("Panel", "Form");
  TTestObject& button = Add("Button", "Panel");
  Add("Orphan", "Missing");
  engine.LinkParents();
  EXPECT_EQ(form.Parent(), nullptr);
  EXPECT_EQ(panel.Parent(), &form);
  EXPECT_EQ(button.Parent(), &panel);
  EXPECT_EQ(engine.FindObject("Orphan")->Parent(), nullptr);

  // Deleting a parent leaves no child pointing at freed memory (the sanitizer
  // build would catch a read through a stale Parent).
  engine.DeleteObject("Panel");
  EXPECT_EQ(engine.Count(), 3);
  EXPECT_EQ(button.Parent(), nullptr);
  EXPECT_EQ(button.ParentName, "Panel");
  EXPECT_EQ(engine.IndexOfObject("Button"), 1);
  engine.LinkParents();
  EXPECT_EQ(button.Parent(), nullptr);

  engine.DeleteObject("Nobody");
  engine.DeleteObjectAt(-1);
  engine.DeleteObjectAt(engine.Count());
  EXPECT_EQ(engine.Count(), 3);

  engine.DeleteObjectAt(0);
  EXPECT_EQ(engine.Objects()[0]->Name(), "Button");

  engine.Clear();
  EXPECT_EQ(engine.Count(), 0);
  engine.Clear();
  EXPECT_EQ(engine.Count(), 0);
}

TEST_F(QelObjectModel, SetAndGetEveryKindOfProperty) {
  TTestObject& o = Add("O");
  EXPECT_FALSE(engine.SetProp("Nobody", "Left", "1"));
  EXPECT_TRUE(std::holds_alternative<std::monostate>(engine.GetProp("Nobody", "Left")));

  EXPECT_TRUE(engine.SetProp("O", "Left", "-15"));
  EXPECT_EQ(o.Left, -15);
  EXPECT_EQ(engine.GetProp("O", "Left"), TPropValue(int32_t{-15}));
  EXPECT_TRUE(engine.SetProp("O", "Left", "$10"));
  EXPECT_EQ(o.Left, 16);
  EXPECT_TRUE(engine.SetProp("O", "Alpha", "128"));
  EXPECT_EQ(o.Alpha, 128);
  EXPECT_TRUE(engine.SetProp("O", "Tag", "7"));
  EXPECT_EQ(o.Tag, 7);

  EXPECT_TRUE(engine.SetProp("O", "Letter", "65"));
  EXPECT_EQ(o.Letter, 'A');
  EXPECT_TRUE(engine.SetProp("O", "Letter", "233"));
  EXPECT_EQ(engine.GetProp("O", "Letter"), TPropValue(int32_t{233}));

  EXPECT_TRUE(engine.SetProp("O", "Visible", "True"));
  EXPECT_TRUE(o.Visible);
  EXPECT_EQ(o.SetVisibleCalls, 1);  // the setter runs, not just the field
  EXPECT_EQ(engine.GetProp("O", "Visible"), TPropValue(std::string("True")));
  engine.SetProp("O", "Visible", "false");
  EXPECT_FALSE(o.Visible);
  engine.SetProp("O", "Visible", "TRUE");
  EXPECT_TRUE(o.Visible);
  EXPECT_EQ(Text("O", "Visible"), "True");

  engine.SetProp("O", "Sizing", "szCaption");
  EXPECT_EQ(o.Sizing, TSizing::szCaption);
  engine.SetProp("O", "Sizing", "SZPICTURE");
  EXPECT_EQ(o.Sizing, TSizing::szPicture);
  EXPECT_EQ(engine.GetProp("O", "Sizing"), TPropValue(std::string("szPicture")));

  engine.SetProp("O", "Anchors", "[akLeft,akBottom]");
  EXPECT_EQ(o.Anchors, 0b1001u);
  engine.SetProp("O", "Anchors", "[akTop, akright]");
  EXPECT_EQ(o.Anchors, 0b0110u);
  engine.SetProp("O", "Anchors", "akLeft");
  EXPECT_EQ(o.Anchors, 0b0001u);
  engine.SetProp("O", "Anchors", "[]");
  EXPECT_EQ(o.Anchors, 0u);
  o.Anchors = 0b1010u;
  EXPECT_EQ(Text("O", "Anchors"), "akTop,akBottom");
  engine.SetProp("O", "Anchors", Text("O", "Anchors"));
  EXPECT_EQ(o.Anchors, 0b1010u);

  engine.SetProp("O", "Speed", "0.25");
  EXPECT_EQ(o.Speed, 0.25);
  engine.SetProp("O", "Speed", "-3");
  EXPECT_EQ(engine.GetProp("O", "Speed"), TPropValue(-3.0));

  engine.SetProp("O", "Picture", " Button.png ");
  EXPECT_EQ(o.Picture, " Button.png ");  // 8-bit strings are taken as they stand

  engine.SetProp("O", "Caption", "Gr\xC3\xBC\xC3\x9F" "e \xE2\x82\xAC");
  EXPECT_EQ(o.Caption, u"Grüße €");
  EXPECT_EQ(engine.GetProp("O", "Caption"), TPropValue(std::u16string(u"Grüße €")));
  EXPECT_EQ(Text("O", "Caption"), "Gr\xC3\xBC\xC3\x9F" "e \xE2\x82\xAC");

  engine.SetProp("O", "Metrics", "x");
  EXPECT_EQ(o.Metrics, "parsed:x");
  EXPECT_TRUE(std::holds_alternative<std::monostate>(engine.GetProp("O", "Metrics")));
  EXPECT_EQ(engine.GetProp("O", "Area"), TPropValue(int32_t{32}));

  // Property names match without regard to case; inherited ones are there.
  EXPECT_TRUE(engine.SetProp("O", "parentname", "Form"));
  EXPECT_EQ(o.ParentName, "Form");
  EXPECT_EQ(engine.GetProp("O", "NAME"), TPropValue(std::string("O")));
}

TEST_F(QelObjectModel, PropertyErrorsReachTheCaller) {
  TTestObject& o = Add("O");
  o.Left = 5;
  EXPECT_EQ(ErrorOf([&] { engine.SetProp("O", "Width", "1"); }), "Property Width does not exist");
  EXPECT_EQ(ErrorOf([&] { engine.GetProp("O", "Width"); }), "Property Width does not exist");
  EXPECT_EQ(ErrorOf([&] { engine.SetProp("O", "Visible", "Yes"); }), "Invalid property element: Yes");
  EXPECT_EQ(ErrorOf([&] { engine.SetProp("O", "Visible", ""); }), "Invalid property element: ");
  EXPECT_EQ(ErrorOf([&] { engine.SetProp("O", "Sizing", "asPicture"); }), "Invalid property element: asPicture");
  EXPECT_EQ(ErrorOf([&] { engine.SetProp("O", "Anchors", "[akLeft,akNowhere]"); }),
            "Invalid property element: akNowhere");
  EXPECT_EQ(ErrorOf([&] { engine.SetProp("O", "Left", "12px"); }), "'12px' is not a valid integer value");
  EXPECT_EQ(ErrorOf([&] { engine.SetProp("O", "Left", "99999999999"); }),
            "'99999999999' is not a valid integer value");
  EXPECT_EQ(ErrorOf([&] { engine.SetProp("O", "Speed", "1,5"); }), "'1,5' is not a valid floating point value");
  EXPECT_EQ(ErrorOf([&] { engine.SetProp("O", "Area", "1"); }), "Property Area is read-only");
  EXPECT_THROW(engine.SetProp("O", "Sizing", "x"), EConvertError);
  EXPECT_THROW(engine.SetProp("O", "Left", "x"), EConvertError);
  // A failed conversion leaves the value alone.
  EXPECT_EQ(o.Left, 5);
  EXPECT_FALSE(o.Visible);
  EXPECT_EQ(o.Anchors, 0u);
}

TEST_F(QelObjectModel, DerivedClassesInheritAndExtendTheTable) {
  const TPropertyList& base = TTestObject::StaticClass().Properties();
  const TPropertyList& child = TTestChild::StaticClass().Properties();
  ASSERT_EQ(child.Items().size(), base.Items().size() + 1);
  for (size_t i = 0; i < base.Items().size(); ++i) EXPECT_EQ(child.Items()[i].Name, base.Items()[i].Name);
  EXPECT_EQ(child.Items().back().Name, "Extra");
  EXPECT_EQ(base.Find("Extra"), nullptr);
  EXPECT_EQ(TQelObject::StaticClass().Properties().Items().size(), 3u);

  TTestChild& c = static_cast<TTestChild&>(Add("C", "", "TTestChild"));
  engine.SetProp("C", "extra", "3");
  engine.SetProp("C", "Sizing", "szCaption");
  EXPECT_EQ(c.Extra, 3);
  EXPECT_EQ(c.Sizing, TSizing::szCaption);
  TTestObject& plain = Add("P");
  EXPECT_THROW(engine.SetProp("P", "Extra", "3"), Exception);
  EXPECT_EQ(plain.Left, 0);

  // Publishing a name again replaces the entry in place.
  TPropertyList list;
  int32_t TTestObject::*field = &TTestObject::Left;
  list.Integer("Left", field).Integer("Top", field).Integer("LEFT", &TTestObject::GetArea, nullptr);
  ASSERT_EQ(list.Items().size(), 2u);
  EXPECT_EQ(list.Items()[0].Name, "LEFT");
  TTestObject probe;
  probe.Left = 4;
  EXPECT_EQ(list.Items()[0].Get(probe), TPropValue(int32_t{8}));
}

TEST(PropValueText, ReadsBackAsSetTextExpects) {
  EXPECT_EQ(PropValueToText(TPropValue{}), "");
  EXPECT_EQ(PropValueToText(TPropValue(int32_t{-2147483647 - 1})), "-2147483648");
  EXPECT_EQ(PropValueToText(TPropValue(1.5)), "1.5");
  EXPECT_EQ(PropValueToText(TPropValue(std::string("asPicture"))), "asPicture");
  EXPECT_EQ(PropValueToText(TPropValue(std::u16string(u"\u00e9"))), "\xC3\xA9");
}
