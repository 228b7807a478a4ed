#include <gtest/gtest.h>

#include <cmath>

#include "effects/QelFXBase.h"
#include "foundation/QelException.h"
#include "foundation/Random.h"

namespace qv::fx {
namespace {

constexpr float kPi = 3.14159265f;

std::unique_ptr<TQelMorph> Belt() {
  auto m = std::make_unique<TQelMorph>();
  m->SetDim(2);
  EXPECT_EQ(m->AddPiecewiseFunc("Lenta", "Set Linear; Path (0, 0) (100, 0) (100, 50);", 1.0f), 0);
  return m;
}

std::unique_ptr<TQelConstantFunc> Constant(const char* name, int dim, TVector3 v) {
  auto c = std::make_unique<TQelConstantFunc>();
  c->SetName(name);
  c->SetDim(dim);
  c->Value = v;
  return c;
}

TEST(Morph, BeltPathValueScaleAndPosition) {
  auto m = Belt();
  auto* path = dynamic_cast<TQelPiecewiseFunc*>(m->GetFunc(0));
  ASSERT_NE(path, nullptr);
  EXPECT_TRUE(m->OwnsFunc(0));
  EXPECT_EQ(path->Name, "Lenta");
  EXPECT_FLOAT_EQ(path->TotalLength, 150);
  EXPECT_EQ(path->TotalDuration, 2000u);
  EXPECT_EQ(m->GetValue2D(500), MakeVector(50, 0, 0));
  EXPECT_EQ(m->GetValue2D(1500), MakeVector(100, 25, 0));
  m->SetPosition(MakeVector(10, 5, 0));
  EXPECT_EQ(m->GetValue2D(500), MakeVector(60, 5, 0));
  m->SetScale(MakeVector(2, 2, 1));
  EXPECT_EQ(m->GetValue2D(500), MakeVector(110, 5, 0));
  m->SetStartTime(5000);
  EXPECT_EQ(m->GetValue2D(5000), MakeVector(10, 5, 0));
  EXPECT_EQ(m->GetValue2D(5500), MakeVector(110, 5, 0));
  // A path function of another dimension is refused and freed.
  auto other = std::make_unique<TQelMorph>();
  other->SetDim(1);
  EXPECT_EQ(other->AddFunc(std::unique_ptr<TQelMorphFunc>(Constant("c", 2, {}).release())), -1);
  EXPECT_EQ(other->AddFunc(static_cast<TQelMorphFunc*>(nullptr)), -1);
  EXPECT_EQ(other->FuncCount(), 0);
}

TEST(Morph, WeightedSumAndRotationSenses) {
  TQelMorphFuncLib lib;
  AddFuncToLib(&lib, Constant("A", 2, {1, 0, 0}));
  AddFuncToLib(&lib, Constant("B", 2, {0, 2, 0}));
  TQelMorph m;
  m.FunctionLibrary = &lib;
  EXPECT_EQ(m.AddFuncByName("a"), 0);
  EXPECT_EQ(m.AddClonedFuncByName("B"), 1);
  EXPECT_EQ(m.AddFuncByName("missing"), -1);
  m.GetFunc(1)->Weight = 0.5f;
  EXPECT_EQ(m.GetValue2D(0), MakeVector(1, 1, 0));
  // Two dimensions: (x cos a + y sin a, -x sin a + y cos a).
  m.SetRotation(MakeVector(kPi / 2, 0, 0));
  TVector3 v = m.GetValue2D(0);
  EXPECT_NEAR(v.x, 1, 1e-6);
  EXPECT_NEAR(v.y, -1, 1e-6);
  // One dimension: multiplied by the cosine.
  TQelMorph one;
  one.SetDim(1);
  one.AddFunc(std::unique_ptr<TQelMorphFunc>(Constant("k", 1, {4, 0, 0}).release()));
  one.SetRotation(MakeVector(kPi / 3, 0, 0));
  EXPECT_NEAR(one.GetValue1D(0), 2, 1e-5);
  // Three dimensions: the default pattern turns about Z by input 3.
  TQelMorph three;
  three.SetDim(3);
  EXPECT_EQ(three.Rotator->ItemCount(), 3);
  three.AddFunc(std::unique_ptr<TQelMorphFunc>(Constant("k", 3, {1, 0, 0}).release()));
  three.SetRotation(MakeVector(0, 0, kPi / 2));
  v = three.GetValue3D(0);
  EXPECT_NEAR(v.x, 0, 1e-6);
  EXPECT_NEAR(v.y, 1, 1e-6);
  EXPECT_NEAR(v.z, 0, 1e-6);
}

TEST(Rotator, PatternsAndErrors) {
  TQelRotator r;
  r.SetRotationPattern("(0, 0, 10); Z[1];\r\n\tX=1.5708;;");
  ASSERT_EQ(r.ItemCount(), 2);
  EXPECT_EQ(r.Items[0].ParamIndex, 1);
  EXPECT_EQ(r.Items[1].ParamIndex, 0);
  EXPECT_FLOAT_EQ(r.Items[1].Angle, 1.5708f);
  EXPECT_EQ(r.Items[1].Offset, MakeVector(0, 0, 10));
  float angles[1] = {kPi / 2};
  r.SetAngles(angles, 1);
  // The matrix is the ordered product of the item matrices.
  TMatrix4 a, b, expected;
  AxisTransformMatrix('Z', a, kPi / 2, 0, 0, 10);
  AxisTransformMatrix('X', b, 1.5708f, 0, 0, 10);
  MultiplyMatrices(a, b, 4, expected);
  for (int i = 0; i < 4; ++i)
    for (int j = 0; j < 4; ++j) EXPECT_NEAR(r.Matrix.m[i][j], expected.m[i][j], 1e-6) << i << "," << j;
  try {
    r.SetRotationPattern("W[1]");
    FAIL();
  } catch (const Exception& e) {
    EXPECT_STREQ(e.what(), "[TQelRotator.AddItem]: Invalid base axis value \"W\"");
  }
  try {
    r.SetRotationPattern("X[4]");
    FAIL();
  } catch (const Exception& e) {
    EXPECT_STREQ(e.what(), "[TQelRotator.SetRotationPattern]: Invalid rotation pattern parameter index");
  }
  EXPECT_THROW(r.SetRotationPattern("X[a]"), EConvertError);
  EXPECT_THROW(r.SetRotationPattern("X=q"), EConvertError);
  r.SetRotationPattern("");
  EXPECT_EQ(r.ItemCount(), 0);
}

TEST(Morph, RandomRangesAndFirstDefinitionWins) {
  TQelMorph m;
  m.AddFunc(std::unique_ptr<TQelMorphFunc>(Constant("k", 2, {1, 1, 0}).release()));
  int32_t p = m.AddProperty(PropScale, MakeVector(1, 1, 0), -1, -1, "", MakeVector(2, 2, 0));
  EXPECT_EQ(m.Properties[0].SourceKind, SourceRange);
  EXPECT_EQ(m.AddProperty(PropScale, MakeVector(5, 5, 0), -1, -1, "", MakeVector(5, 5, 0)), p);
  EXPECT_EQ(m.PropertyCount(), 1);
  // Same text twice after the same seed gives the same draw; the axes draw separately.
  RandSeed(42);
  ASSERT_TRUE(m.Init());
  TVector3 first = m.Scale;
  RandSeed(42);
  m.Init();
  EXPECT_EQ(m.Scale, first);
  bool differ = false;
  for (int i = 0; i < 20; ++i) {
    m.Init();
    EXPECT_GE(m.Scale.x, 1);
    EXPECT_LT(m.Scale.x, 2);
    EXPECT_GE(m.Scale.y, 1);
    EXPECT_LT(m.Scale.y, 2);
    EXPECT_EQ(m.HasScale, 1);
    differ |= m.Scale.x != m.Scale.y;
  }
  EXPECT_TRUE(differ);
  // A fixed value set through a property index.
  int32_t pos = m.AddProperty(PropPosition, MakeVector(3, 4, 0), -1, -1, "", MakeVector(3, 4, 0));
  EXPECT_EQ(m.Properties[static_cast<size_t>(pos)].SourceKind, SourceFixed);
  m.Init();
  EXPECT_EQ(m.Position, MakeVector(3, 4, 0));
  // A start-time property shifts this morph's time.
  m.AddProperty(PropStartTime, MakeVector(0.25f, 0, 0), -1, -1, "", MakeVector(0.25f, 0, 0));
  m.Init();
  EXPECT_EQ(m.TimeOffset, 250);
}

TEST(Morph, SubMorphPropertiesFollowTheirMorph) {
  TQelMorphFuncLib funcs;
  TQelMorphLib morphs;
  auto drift = std::make_unique<TQelParabolicFunc>();
  drift->SetName("Drift");
  drift->StartVelocity = MakeVector(10, 0, 0);
  AddFuncToLib(&funcs, std::move(drift));
  auto mover = CreateMorph("Mover", 2, 0, &morphs, &funcs, "");
  mover->AddFuncByName("Drift");
  AddMorphToLib(&morphs, std::move(mover));

  auto m = CreateMorph("Main", 2, 0, &morphs, &funcs, "");
  m->AddFunc(std::unique_ptr<TQelMorphFunc>(Constant("k", 2, {1, 1, 0}).release()));
  int32_t p = m->AddProperty(PropPosition, {}, -1, -1, "mover", {});
  EXPECT_EQ(m->Properties[static_cast<size_t>(p)].SourceKind, SourceSubMorph);
  EXPECT_EQ(m->ChildPropertyCount, 1);
  EXPECT_EQ(m->AddChildMorph("MOVER"), 0);
  EXPECT_EQ(m->AddChildMorph("nobody"), -1);
  EXPECT_EQ(m->AddChildMorph(""), -1);
  ASSERT_TRUE(m->Init());
  EXPECT_EQ(m->Position, MakeVector(0, 0, 0));
  // Each evaluation takes the sub-morph's value at that time.
  EXPECT_EQ(m->GetValue2D(2000), MakeVector(21, 1, 0));
  std::vector<TQelMorph*> tree;
  m->CollectMorphTree(tree);
  ASSERT_EQ(tree.size(), 2u);
  EXPECT_EQ(tree[0]->Name, "Mover");
  EXPECT_EQ(tree[1], m.get());
  // Start times reach the sub-morphs.
  m->SetStartTime(1000);
  EXPECT_EQ(morphs.GetMorph(0)->StartTime, 1000);
  EXPECT_EQ(m->GetValue2D(3000), MakeVector(21, 1, 0));
}

TEST(Morph, SelfDrivingMorphDoesNotRecurseForever) {
  TQelMorphLib morphs;
  TQelMorphFuncLib funcs;
  AddMorphToLib(&morphs, CreateMorph("Loop", 2, 0, &morphs, &funcs, ""));
  TQelMorph* loop = morphs.GetMorph(0);
  loop->ChildMorphs.push_back(TChildMorph{loop, {}});
  auto other = CreateMorph("Other", 2, 0, &morphs, &funcs, "");
  other->ChildMorphs.push_back(TChildMorph{loop, {}});
  AddMorphToLib(&morphs, std::move(other));
  TQelMorph* o = morphs.GetMorph(1);
  loop->ChildMorphs.push_back(TChildMorph{o, {}});
  loop->Properties.push_back(TMorphProperty{PropPosition, -1, -1, SourceSubMorph, {}, {}, 1});
  loop->ChildPropertyCount = 1;
  o->Properties.push_back(TMorphProperty{PropPosition, -1, -1, SourceSubMorph, {}, {}, 0});
  o->ChildPropertyCount = 1;
  EXPECT_TRUE(loop->Init());
  loop->GetValue2D(10);
  loop->SetStartTime(5);
  std::vector<TQelMorph*> tree;
  loop->CollectMorphTree(tree);
  EXPECT_LT(tree.size(), 100000u);
}

TEST(Morph, CopiesKeepOwnedFunctionsAndRebindShared) {
  TQelMorphFuncLib libA, libB;
  AddFuncToLib(&libA, Constant("Base", 2, {1, 0, 0}));
  AddFuncToLib(&libB, Constant("Base", 2, {0, 7, 0}));
  auto src = CreateMorph("Src", 2, 0, nullptr, &libA, "");
  src->AddFuncByName("Base");
  src->AddPiecewiseFunc("Path", "Set Linear; Path (0,0) (10,0);", 2.0f);
  src->AddClonedFuncByName("Base");
  src->GetFunc(2)->Weight = 3;
  src->SetPosition(MakeVector(1, 1, 0));

  TQelMorph copy;
  ASSERT_TRUE(TQelMorph::AssignWithLibraries(&copy, src.get(), &libB, nullptr));
  ASSERT_EQ(copy.FuncCount(), 3);
  // The shared function is the destination library's; the owned ones are the source's own.
  EXPECT_EQ(copy.GetFunc(0), libB.GetFunc(0));
  auto* path = dynamic_cast<TQelPiecewiseFunc*>(copy.GetFunc(1));
  ASSERT_NE(path, nullptr);
  EXPECT_NE(path, src->GetFunc(1));
  EXPECT_EQ(path->SegmentCount(), 1);
  EXPECT_FLOAT_EQ(path->Weight, 2);
  EXPECT_FLOAT_EQ(copy.GetFunc(2)->Weight, 3);
  EXPECT_EQ(copy.GetValue2D(500), MakeVector(1 + 10 + 3, 8, 0));
  path->SetScript("Path (10,0) (20,0);");
  EXPECT_EQ(dynamic_cast<TQelPiecewiseFunc*>(src->GetFunc(1))->SegmentCount(), 1);
  EXPECT_FALSE(TQelMorph::AssignWithLibraries(&copy, nullptr, &libB, nullptr));
}

TEST(Libraries, DuplicatesAndErrors) {
  TQelMorphFuncLib lib;
  EXPECT_EQ(AddFuncToLib(&lib, Constant("One", 2, {})), 0);
  EXPECT_EQ(lib.GetFunc(0)->Owned, 0);
  EXPECT_EQ(AddFuncToLib(&lib, Constant("ONE", 2, {})), 0);
  EXPECT_EQ(lib.Count(), 1);
  try {
    AddFuncToLib(nullptr, Constant("x", 2, {}));
    FAIL();
  } catch (const Exception& e) {
    EXPECT_STREQ(e.what(), "[AddFuncToLib]: Library reference is invalid");
  }
  try {
    AddFuncToLib(&lib, nullptr);
    FAIL();
  } catch (const Exception& e) {
    EXPECT_STREQ(e.what(), "[AddFuncToLib]: Function reference is invalid");
  }
  TQelMorphLib morphs;
  try {
    AddMorphToLib(&morphs, nullptr);
    FAIL();
  } catch (const Exception& e) {
    EXPECT_STREQ(e.what(), "[AddMorphToLib]: Morph reference is invalid");
  }
  EXPECT_EQ(GlobalFunctionsLibrary()->Name, "GlobalFunctionsLibrary");
  EXPECT_EQ(GlobalMorphsLibrary()->Name, "GlobalMorphsLibrary");
  TQelMorph m;
  EXPECT_EQ(m.FunctionLibrary, GlobalFunctionsLibrary());
  EXPECT_EQ(m.MorphLibrary, GlobalMorphsLibrary());
}

}  // namespace
}  // namespace qv::fx
