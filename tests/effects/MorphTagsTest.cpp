#include <gtest/gtest.h>

#include <functional>

#include "effects/QelFXBase.h"
#include "foundation/QelException.h"
#include "foundation/QelParser.h"

namespace qv::fx {
namespace {

std::string ErrorOf(const std::function<void()>& f) {
  try {
    f();
  } catch (const std::exception& e) {
    return e.what();
  }
  return "(no error)";
}

// Parses one tag (and its children) and keeps the parser alive.
struct Tag {
  TQelParser parser;
  explicit Tag(const std::string& text) { parser.LoadFromText(text); }
  const TQelXMLTag& operator*() const { return *parser.GetTag(0); }
};

TEST(FunctionTag, KindsAndTheirChildren) {
  auto c = CreateMorphFuncByTag(*Tag(R"(<Function Name="C" Dim="2" Type="constant"><Value>(1, 2)</Value></Function>)"));
  ASSERT_TRUE(dynamic_cast<TQelConstantFunc*>(c.get()));
  EXPECT_EQ(dynamic_cast<TQelConstantFunc*>(c.get())->Value, MakeVector(1, 2, 0));
  auto p = CreateMorphFuncByTag(*Tag(
      R"(<Function Name="P" Dim="2" Type="piecewise"><Script>Set Linear; Path (0,0) (4,3);</Script></Function>)"));
  ASSERT_TRUE(dynamic_cast<TQelPiecewiseFunc*>(p.get()));
  EXPECT_FLOAT_EQ(dynamic_cast<TQelPiecewiseFunc*>(p.get())->TotalLength, 5);
  auto q = CreateMorphFuncByTag(*Tag(
      R"(<Function Name="Q" Dim="3" Type="periodic"><XParam>3</XParam><ZParam>2sin(t)</ZParam></Function>)"));
  auto* qp = dynamic_cast<TQelPeriodicFunc*>(q.get());
  ASSERT_TRUE(qp);
  EXPECT_FLOAT_EQ(qp->Axes[0].c, 3);
  EXPECT_FLOAT_EQ(qp->Axes[1].g1, 1);  // untouched axis keeps the constructor's sine
  EXPECT_FLOAT_EQ(qp->Axes[2].g1, 2);
  auto a = CreateMorphFuncByTag(*Tag(
      R"(<Function Name="A" Dim="1" Type="parabolic"><Acceleration>(4)</Acceleration><Value>(9)</Value></Function>)"));
  ASSERT_TRUE(dynamic_cast<TQelParabolicFunc*>(a.get()));
  EXPECT_FLOAT_EQ(dynamic_cast<TQelParabolicFunc*>(a.get())->Acceleration.x, 4);
  auto unnamed = CreateMorphFuncByTag(*Tag(R"(<Function Dim="1" Type="constant"/>)"));
  EXPECT_EQ(unnamed->Name, "");
  EXPECT_EQ(CreateMorphFuncByTag(*Tag(R"(<Func Dim="1" Type="constant"/>)")), nullptr);
}

TEST(FunctionTag, Errors) {
  EXPECT_EQ(ErrorOf([] { CreateMorphFuncByTag(*Tag(R"(<Function Name="X" Type="constant"/>)")); }),
            "[CreateMorphFuncByTag]: <Function> tag has no \"Dim\" attribute");
  EXPECT_EQ(ErrorOf([] { CreateMorphFuncByTag(*Tag(R"(<Function Name="X" Dim="2"/>)")); }),
            "[CreateMorphFuncByTag]: <Function> tag has no \"Type\" attribute");
  EXPECT_EQ(ErrorOf([] { CreateMorphFuncByTag(*Tag(R"(<Function Name="X" Dim="2" Type="Constant"/>)")); }),
            "[CreateMorphFuncByTag]: Invalid <Function> tag \"Type\" attribute value");
  EXPECT_EQ(ErrorOf([] { CreateMorphFuncByTag(*Tag(R"(<Function Name="X" Dim="4" Type="constant"/>)")); }),
            "[CreateMorphFuncByTag]: Invalid <Function> tag \"Dim\" attribute value");
  EXPECT_EQ(ErrorOf([] { CreateMorphFuncByTag(*Tag(R"(<Function Name="X" Dim="two" Type="constant"/>)")); }),
            "'two' is not a valid integer value");
  EXPECT_EQ(ErrorOf([] {
              CreateMorphFuncByTag(*Tag(R"(<Function Name="X" Dim="1" Type="periodic"><XParam>sin(t</XParam></Function>)"));
            }),
            "Mismatching brackets in expression \"sin(t\"");
}

class MorphTagTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* text : {R"(<Function Name="F" Dim="2" Type="constant"><Value>(1, 1)</Value></Function>)",
                             R"(<Function Name="G" Dim="2" Type="constant"><Value>(0, 2)</Value></Function>)",
                             R"(<Function Name="One" Dim="1" Type="constant"><Value>(1)</Value></Function>)",
                             R"(<Function Name="Path" Dim="2" Type="piecewise">
                                  <Script>Set Linear; Path (0,0) (10,0) (10,10);</Script></Function>)"})
      AddFuncToLib(&funcs, CreateMorphFuncByTag(*Tag(text)));
  }
  std::unique_ptr<TQelMorph> Read(const std::string& text) {
    return CreateMorphByTag(*Tag(text), &funcs, &morphs);
  }
  std::unique_ptr<TQelMorph> WithProps(const std::string& props, const std::string& functions = "<Function Name=\"F\"/>") {
    return Read("<Morph Name=\"M\" Dim=\"2\"><Functions>" + functions + "</Functions><Properties>" + props +
                "</Properties></Morph>");
  }
  TQelMorphFuncLib funcs;
  TQelMorphLib morphs;
};

TEST_F(MorphTagTest, FunctionReferences) {
  auto m = Read(R"(<Morph Name="M" Dim="2" StartTime="500"><Functions>
      <Function Name="f" Weight="3"/>
      <Function Name="G" Clone="true" Weight="0.5"/>
      <Function Name="G" Clone="TRUE"/>
      <Function Name="One" Weight="9"/>
      <Function Name="Missing" Weight="9"/>
    </Functions><Other/></Morph>)");
  ASSERT_NE(m, nullptr);
  EXPECT_EQ(m->Name, "M");
  EXPECT_EQ(m->StartTime, 500);
  EXPECT_EQ(m->FunctionLibrary, &funcs);
  EXPECT_EQ(m->MorphLibrary, &morphs);
  ASSERT_EQ(m->FuncCount(), 3);
  // A shared reference: the weight lands on the library's function.
  EXPECT_EQ(m->GetFunc(0), funcs.GetFunc(0));
  EXPECT_FLOAT_EQ(funcs.GetFunc(0)->Weight, 3);
  // A clone carries its own weight.
  EXPECT_NE(m->GetFunc(1), funcs.GetFunc(1));
  EXPECT_TRUE(m->OwnsFunc(1));
  EXPECT_FLOAT_EQ(m->GetFunc(1)->Weight, 0.5f);
  // Clone="TRUE" is a shared reference.
  EXPECT_EQ(m->GetFunc(2), funcs.GetFunc(1));
  // A function of another dimension is not added and its weight not applied.
  EXPECT_FLOAT_EQ(funcs.GetFunc(2)->Weight, 1);
  EXPECT_EQ(m->GetValue2D(500), MakeVector(3, 3 + 1 + 2, 0));
  EXPECT_EQ(Read("<Morf Name=\"M\" Dim=\"2\"/>"), nullptr);
}

TEST_F(MorphTagTest, Errors) {
  EXPECT_EQ(ErrorOf([&] { Read(R"(<Morph Dim="2"/>)"); }), "[CreateMorphByTag]: <Morph> tag has no \"Name\" attribute");
  EXPECT_EQ(ErrorOf([&] { Read(R"(<Morph Name="M"/>)"); }), "[CreateMorphByTag]: <Morph> tag has no \"Dim\" attribute");
  EXPECT_EQ(ErrorOf([&] { Read(R"(<Morph Name="M" Dim="2"><Functions><Func Name="F"/></Functions></Morph>)"); }),
            "[TQelMorph.AddFuncByTag]: <Functions> tag contains invalid child tag <Func>");
  EXPECT_EQ(ErrorOf([&] { Read(R"(<Morph Name="M" Dim="2"><Functions><Function/></Functions></Morph>)"); }),
            "[TQelMorph.AddFuncByTag]: <Function> tag has no \"Name\" attribute");
  EXPECT_EQ(ErrorOf([&] { WithProps("<Prop Name=\"Position\">(1, 1)</Prop>"); }),
            "[TQelMorph.AddParamByTag]: Morph + \"M\" <Properties> tag contains invalid tag \"Prop\"");
  EXPECT_EQ(ErrorOf([&] { WithProps("<Property>(1, 1)</Property>"); }),
            "[TQelMorph.AddParamByTag]: <Property> tag has no \"Name\" attribute");
  EXPECT_EQ(ErrorOf([&] { WithProps("<Property Name=\".Value\">(1, 1)</Property>"); }),
            "[TQelMorph.AddParamByTag]: <Property> tag \"Name\" attribute has invalid value \".Value\"");
  EXPECT_EQ(ErrorOf([&] { WithProps("<Property Name=\"Size\">(1, 1)</Property>"); }),
            "[TQelMorph.AddParamByTag]: <Property> tag \"Name\" attribute has invalid value \"Size\"");
  EXPECT_EQ(ErrorOf([&] { WithProps("<Property Name=\"H.Value\">(1, 1)</Property>"); }),
            "[TQelMorph.AddParamByTag]: <Property> tag \"Name\" attribute value contains unknown Function name \"H\"");
  EXPECT_EQ(ErrorOf([&] { WithProps("<Property Name=\"F.value\">(1, 1)</Property>"); }),
            "[TQelMorphFunc.GetParamIdx]: Invalid TQelConstantFunc function \"F\" parameter \"value\"");
  EXPECT_EQ(ErrorOf([&] { WithProps("<Property Name=\"Scale\">(1, 2, 3, 4)</Property>"); }),
            "[StrToVect]: \"(1, 2, 3, 4)\" string-to-vector convertation failed");
}

TEST_F(MorphTagTest, PropertyValueTexts) {
  // A zero vector leaves the target; a non-zero one applies at once.
  auto m = WithProps(R"(<Property Name="Position">(0, 0)</Property>
                        <Property Name="Scale">(2, 3)</Property>)");
  EXPECT_EQ(m->HasPosition, 0);
  EXPECT_EQ(m->HasScale, 1);
  EXPECT_EQ(m->Scale, MakeVector(2, 3, 0));
  EXPECT_EQ(m->PropertyCount(), 0);
  auto p = WithProps(R"(<Property Name="Position">(3, 4)</Property>)");
  EXPECT_EQ(p->Position, MakeVector(3, 4, 0));
  EXPECT_EQ(p->HasPosition, 1);
  // Ranges are drawn in Init; a later range for the same target is ignored.
  auto r = WithProps(R"(<Property Name="Scale">(1, 1)..(2, 2)</Property>
                        <Property Name="Scale">(5, 5)..(6, 6)</Property>
                        <Property Name="StartTime">(0.5)..(0.5)</Property>)");
  ASSERT_EQ(r->PropertyCount(), 2);
  EXPECT_EQ(r->Properties[0].SourceKind, SourceRange);
  EXPECT_EQ(r->Properties[1].Type, PropStartTime);
  EXPECT_EQ(r->Properties[1].SourceKind, SourceFixed);
  ASSERT_TRUE(r->Init());
  EXPECT_GE(r->Scale.x, 1);
  EXPECT_LT(r->Scale.y, 2);
  EXPECT_EQ(r->TimeOffset, 500);
  // Function parameters, path nodes included.
  auto f = WithProps(R"(<Property Name="G.Value">(7, 8)</Property><Property Name="Path.[2]">(20, 0)</Property>)",
                     R"(<Function Name="G" Clone="true"/><Function Name="Path" Clone="true"/>)");
  EXPECT_EQ(dynamic_cast<TQelConstantFunc*>(f->GetFunc(0))->Value, MakeVector(7, 8, 0));
  EXPECT_EQ(dynamic_cast<TQelPiecewiseFunc*>(f->GetFunc(1))->Segments[0].P3(), MakeVector(20, 0, 0));
  EXPECT_EQ(dynamic_cast<TQelPiecewiseFunc*>(funcs.GetFunc(3))->Segments[0].P3(), MakeVector(10, 0, 0));
}

TEST_F(MorphTagTest, SubMorphsAndRotationPatterns) {
  AddMorphToLib(&morphs, Read(R"(<Morph Name="Shift" Dim="2"><Functions><Function Name="G"/></Functions></Morph>)"));
  auto m = WithProps(R"(<Property Name="Position"> shift </Property>)");
  ASSERT_EQ(m->PropertyCount(), 1);
  EXPECT_EQ(m->Properties[0].SourceKind, SourceSubMorph);
  EXPECT_EQ(m->ChildPropertyCount, 1);
  EXPECT_EQ(m->GetValue2D(0), MakeVector(1, 3, 0));

  auto r = Read(R"(<Morph Name="R" Dim="3"><Functions/><Properties>
      <Property Name="RotationPattern">(0, 0, 10); Z[1]</Property></Properties></Morph>)");
  EXPECT_EQ(r->Rotator->ItemCount(), 1);
  EXPECT_EQ(r->HasRotation, 1);
  EXPECT_FLOAT_EQ(r->Matrix.m[3][2], 10);
  // Only three-dimensional morphs take a pattern.
  auto flat = WithProps(R"(<Property Name="RotationPattern">Z[1]</Property>)");
  EXPECT_EQ(flat->HasRotation, 0);
  EXPECT_THROW(Read(R"(<Morph Name="R" Dim="3"><Properties><Property Name="RotationPattern">W[1]</Property>
      </Properties></Morph>)"),
               Exception);
}

}  // namespace
}  // namespace qv::fx
