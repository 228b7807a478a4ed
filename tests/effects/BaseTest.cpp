#include <gtest/gtest.h>

#include <cmath>

#include "effects/Base.h"
#include "effects/QelFXBase.h"
#include "foundation/QelException.h"

namespace qv::fx {
namespace {

constexpr float kPi = 3.14159265f;

TEST(FxBaseObject, DefaultNamesAndNameLimit) {
  TQelPiecewiseFunc f;
  EXPECT_EQ(f.Name, "QelPiecewiseFunc_Default");
  TQelMorph m;
  EXPECT_EQ(m.Name, "QelMorph_Default");
  f.SetName(std::string(40, 'a') );
  EXPECT_EQ(f.Name, std::string(32, 'a'));
  EXPECT_FALSE(m.Assign(nullptr));
  EXPECT_EQ(m.Name, "QelMorph_Default");
  // A morph cannot be assigned from a function.
  EXPECT_FALSE(m.Assign(&f));
}

TEST(FxCollection, LookupNilSlotsAssignAndInit) {
  TQelMorphLib lib;
  lib.Add(std::make_unique<TQelMorph>());
  lib.Add(nullptr);
  auto named = std::make_unique<TQelMorph>();
  named->SetName("Wave");
  lib.Add(std::move(named));
  EXPECT_EQ(lib.Count(), 3);
  EXPECT_EQ(lib.IndexOf("qelmorph_default"), 0);
  EXPECT_EQ(lib.IndexOf("WAVE"), 2);
  EXPECT_EQ(lib.IndexOf("none"), -1);
  EXPECT_EQ(lib.GetItem(-1), nullptr);
  EXPECT_EQ(lib.GetItem(3), nullptr);

  TQelMorphLib copy;
  ASSERT_TRUE(copy.Assign(&lib));
  ASSERT_EQ(copy.Count(), 3);
  EXPECT_EQ(copy.GetItem(1), nullptr);
  ASSERT_NE(copy.GetMorph(2), nullptr);
  EXPECT_NE(copy.GetMorph(2), lib.GetMorph(2));
  EXPECT_EQ(copy.GetMorph(2)->Name, "Wave");
  EXPECT_TRUE(copy.Init());

  int visited = 0;
  EXPECT_TRUE(copy.ForEach([&](std::unique_ptr<TQelBaseObject>&) {
    ++visited;
    return true;
  }));
  EXPECT_EQ(visited, 2);
  EXPECT_FALSE(copy.ForEach([&](std::unique_ptr<TQelBaseObject>&) { return false; }));
  copy.Clear();
  EXPECT_EQ(copy.Count(), 0);
}

TEST(FxCollection, FailedInitStopsTheWalk) {
  struct Failing : TQelBaseObject {
    bool Init() override { return false; }
  };
  struct Counting : TQelBaseObject {
    int* calls;
    explicit Counting(int* c) : calls(c) {}
    bool Init() override {
      ++*calls;
      return true;
    }
  };
  int calls = 0;
  TQelStaticCollection c;
  c.Add(std::make_unique<Counting>(&calls));
  c.Add(std::make_unique<Failing>());
  c.Add(std::make_unique<Counting>(&calls));
  EXPECT_FALSE(c.Init());
  EXPECT_EQ(calls, 1);
  EXPECT_EQ(ComposeLogLine(FxFailCode, "\"T.x\" initialization failed"),
            "ERROR (code -2147467259): \"T.x\" initialization failed");
}

TEST(FxText, VectorTextForms) {
  EXPECT_EQ(StrToVect("(3)"), MakeVector(3, 0, 0));
  EXPECT_EQ(StrToVect("( 1 ,2 )"), MakeVector(1, 2, 0));
  EXPECT_EQ(StrToVect("1, 2, 3"), MakeVector(1, 2, 3));
  EXPECT_EQ(StrToVect(" (-1.5, 2e1, .5) "), MakeVector(-1.5f, 20, 0.5f));
  try {
    StrToVect("(1, 2, 3, 4)");
    FAIL();
  } catch (const Exception& e) {
    EXPECT_STREQ(e.what(), "[StrToVect]: \"(1, 2, 3, 4)\" string-to-vector convertation failed");
  }
  try {
    StrToVect("()");
    FAIL();
  } catch (const EConvertError& e) {
    EXPECT_STREQ(e.what(), "'' is not a valid floating point value");
  }
  try {
    StrToVect("(1,,2)");
    FAIL();
  } catch (const EConvertError& e) {
    EXPECT_STREQ(e.what(), "'' is not a valid floating point value");
  }
  // A number too large for a single is refused instead of becoming infinity.
  EXPECT_THROW(StrToVect("(1e39)"), EConvertError);
  EXPECT_THROW(StrToVect("(1e400)"), EConvertError);
  EXPECT_THROW(StrToVect("(nan)"), EConvertError);
}

TEST(FxText, SplitStringKeepsEmptyParts) {
  std::vector<std::string> parts;
  int32_t count = 0;
  SplitString("a;;b;", ';', parts, count, false);
  ASSERT_EQ(count, 4);
  EXPECT_EQ(parts, (std::vector<std::string>{"a", "", "b", ""}));
  count = 0;
  SplitString("", ';', parts, count, false);
  EXPECT_EQ(count, 0);
  EXPECT_TRUE(parts.empty());
  count = 0;
  SplitString("x (1, 2) y", ',', parts, count, true);
  EXPECT_EQ(parts, (std::vector<std::string>{"1", " 2"}));
  EXPECT_EQ(CountChar("a;;b;", ';'), 3);
}

TEST(FxVectors, NormalizeAndAliasing) {
  TVector3 v{3, 4, 12};
  TVector3 out{9, 9, 9};
  NormalizeVector(MakeVector(0, 0, 0), 3, out);
  EXPECT_EQ(out, MakeVector(0, 0, 0));
  NormalizeVector(MakeVector(1e-7f, 0, 0), 3, out);
  EXPECT_EQ(out, MakeVector(0, 0, 0));
  NormalizeVector(v, 2, out);
  EXPECT_FLOAT_EQ(out.x, 0.6f);
  EXPECT_FLOAT_EQ(out.y, 0.8f);
  EXPECT_EQ(out.z, 0);
  // Output aliasing an input.
  TVector3 a{1, 2, 3};
  CrossProduct(a, MakeVector(0, 0, 1), a);
  EXPECT_EQ(a, MakeVector(2, -1, 0));
  TVector3 r{1, 0, 0};
  RotateVector(r, MakeVector(0, 0, 1), 3, r, kPi / 2);
  EXPECT_NEAR(r.x, 0, 1e-6);
  EXPECT_NEAR(r.y, 1, 1e-6);
  TMatrix4 m;
  AxisRotationMatrix('z', m, kPi / 2);
  MultiplyMatrices(m, m, 3, m);
  EXPECT_NEAR(m.m[0][0], -1, 1e-6);
  EXPECT_NEAR(m.m[1][1], -1, 1e-6);
}

TEST(FxVectors, RotationSensesByDimension) {
  TVector3 out;
  // One dimension: only the cosine.
  RotateVector(MakeVector(2, 0, 0), {}, 1, out, kPi / 3);
  EXPECT_NEAR(out.x, 1, 1e-6);
  // Two dimensions: (x cos a + y sin a, -x sin a + y cos a).
  out = {};
  RotateVector(MakeVector(1, 0, 0), {}, 2, out, kPi / 2);
  EXPECT_NEAR(out.x, 0, 1e-6);
  EXPECT_NEAR(out.y, -1, 1e-6);
  // Three dimensions about Z turns X toward Y.
  RotateVector(MakeVector(1, 0, 0), MakeVector(0, 0, 1), 3, out, kPi / 2);
  EXPECT_NEAR(out.x, 0, 1e-6);
  EXPECT_NEAR(out.y, 1, 1e-6);
  // Row-vector transform with translation row.
  TMatrix4 t;
  AxisTransformMatrix('Z', t, kPi / 2, 10, 20, 30);
  TransformPoint(MakeVector(1, 0, 0), t, out);
  EXPECT_NEAR(out.x, 10, 1e-5);
  EXPECT_NEAR(out.y, 21, 1e-5);
  EXPECT_NEAR(out.z, 30, 1e-5);
}

TEST(FxVectors, BezierLength) {
  TBezierPoints straight;
  float xs[4] = {0, 10, 20, 30}, ys[4] = {0, 40.0f / 3, 80.0f / 3, 40};
  for (int k = 0; k < 4; ++k) straight.At(0, k) = xs[k], straight.At(1, k) = ys[k];
  EXPECT_NEAR(BezierLength(straight, 2, 1e-6f), 50, 1e-4);
  // Quarter circle of radius 100 with the usual 0.5523 handles.
  TBezierPoints arc;
  const float k = 55.2284749831f;
  float ax[4] = {100, 100, k, 0}, ay[4] = {0, k, 100, 100};
  for (int i = 0; i < 4; ++i) arc.At(0, i) = ax[i], arc.At(1, i) = ay[i];
  EXPECT_NEAR(BezierLength(arc, 2, 1e-6f), 50 * kPi, 0.05);
  // Long, strongly bent curves and hostile coordinates end quickly.
  TBezierPoints wild;
  float wx[4] = {0, 1e30f, -1e30f, 1}, wy[4] = {0, -1e30f, 1e30f, 0};
  for (int i = 0; i < 4; ++i) wild.At(0, i) = wx[i], wild.At(1, i) = wy[i];
  EXPECT_GT(BezierLength(wild, 2, 1e-6f), 1e30f);
}

}  // namespace
}  // namespace qv::fx
