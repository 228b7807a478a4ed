#include <gtest/gtest.h>

#include <cmath>
#include <functional>

#include "effects/QelFXBase.h"
#include "foundation/QelException.h"

namespace qv::fx {
namespace {

constexpr double kHalfPi = 1.5707963267948966;

std::string ErrorOf(const std::function<void()>& f) {
  try {
    f();
  } catch (const std::exception& e) {
    return e.what();
  }
  return "(no error)";
}

struct FormulaCase {
  const char* text;
  bool second, inner;
  float g1, a1, b1, a2, b2, g3, a3, b3, c;
};

TEST(PeriodicFormula, CoefficientsOfFormulas) {
  const FormulaCase cases[] = {
      {"sin(t)", false, false, 1, 1, 0, 0, 0, 0, 0, 0, 0},
      {"2*sin(3t+1)*cos(0.5t)+4", true, false, 2, 3, 1, 0.5f, float(kHalfPi), 0, 0, 0, 4},
      {"sin(0.2sin(5t)+t)", false, true, 1, 1, 0, 0, 0, 0.2f, 5, 0, 0},
      {"cos(t)", false, false, 1, 1, float(kHalfPi), 0, 0, 0, 0, 0, 0},
      {"-sin(1-2t)", false, false, -1, -2, 1, 0, 0, 0, 0, 0, 0},
      {"+ SIN ( -t )\t+3", false, false, 1, -1, 0, 0, 0, 0, 0, 0, 3},
      {"sin(3+2)", false, false, 1, 2, 3, 0, 0, 0, 0, 0, 0},
      {"0.5sin(2*t)", false, false, 0.5f, 2, 0, 0, 0, 0, 0, 0, 0},
      {"sin(t*4)", false, false, 1, 4, 0, 0, 0, 0, 0, 0, 0},
      {"sin(2.5)", false, false, 1, 0, 2.5f, 0, 0, 0, 0, 0, 0},
      {"sin()", false, false, 1, 0, 0, 0, 0, 0, 0, 0, 0},
      {"3*sin(t)*sin(2t-1)", true, false, 3, 1, 0, 2, -1, 0, 0, 0, 0},
      {"sin(-cos(t)+1)", false, true, 1, 1, 0, 0, 0, -1, 1, float(kHalfPi), 0},
      {"7.25", false, false, 0, 0, 0, 0, 0, 0, 0, 0, 7.25f},
      {"", false, false, 0, 0, 0, 0, 0, 0, 0, 0, 0},
  };
  for (const auto& k : cases) {
    TQelPeriodicFunc f;
    f.SetXFormula(k.text);
    const TPeriodicAxis& a = f.Axes[0];
    SCOPED_TRACE(k.text);
    EXPECT_EQ(a.HasSecondFactor, k.second ? 1 : 0);
    EXPECT_EQ(a.HasInner, k.inner ? 1 : 0);
    EXPECT_FLOAT_EQ(a.g1, k.g1);
    EXPECT_FLOAT_EQ(a.a1, k.a1);
    EXPECT_FLOAT_EQ(a.b1, k.b1);
    EXPECT_FLOAT_EQ(a.a2, k.a2);
    EXPECT_FLOAT_EQ(a.b2, k.b2);
    EXPECT_FLOAT_EQ(a.g3, k.g3);
    EXPECT_FLOAT_EQ(a.a3, k.a3);
    EXPECT_FLOAT_EQ(a.b3, k.b3);
    EXPECT_FLOAT_EQ(a.c, k.c);
  }
}

TEST(PeriodicFormula, ErrorMessages) {
  TQelPeriodicFunc f;
  EXPECT_EQ(ErrorOf([&] { f.SetXFormula("sin(t)+"); }), "'+' is not a valid floating point value");
  EXPECT_EQ(ErrorOf([&] { f.SetXFormula("sin(t"); }), "Mismatching brackets in expression \"sin(t\"");
  EXPECT_EQ(ErrorOf([&] { f.SetXFormula("sin t"); }), "Open bracket not found in expression \"sint\"");
  EXPECT_EQ(ErrorOf([&] { f.SetXFormula("2t"); }), "'2t' is not a valid floating point value");
  EXPECT_EQ(ErrorOf([&] { f.SetXFormula("sin(t+2t)"); }), "Invalid sine argument \"t+2t\"");
  EXPECT_EQ(ErrorOf([&] { f.SetXFormula("xsin(t)"); }), "'x' is not a valid floating point value");
  EXPECT_EQ(ErrorOf([&] { f.SetXFormula("sin(at)"); }), "'a' is not a valid floating point value");
  // The axis was cleared first and keeps what was read before the error.
  f.SetXFormula("2sin(3t)");
  EXPECT_THROW(f.SetXFormula("5sin(t"), Exception);
  EXPECT_FLOAT_EQ(f.Axes[0].g1, 5);
  EXPECT_FLOAT_EQ(f.Axes[0].a1, 0);
}

TEST(PeriodicFunc, ValuesAndDerivatives) {
  TQelPeriodicFunc f;
  TVector3 v{9, 9, 9};
  f.GetValue(500, false, v);
  EXPECT_NEAR(v.x, std::sin(0.5), 1e-6);
  EXPECT_NEAR(v.y, std::sin(0.5), 1e-6);
  EXPECT_EQ(v.z, 9);  // beyond Dim: untouched
  f.SetXFormula("cos(t)");
  f.GetValue(0, false, v);
  EXPECT_NEAR(v.x, 1, 1e-6);
  f.SetXFormula("2*sin(3t+1)*cos(0.5t)+4");
  f.SetYFormula("sin(0.2sin(5t)+t)");
  const double t = 0.7;
  auto value = [&](double s, int axis) {
    TVector3 r;
    f.GetValue(static_cast<uint32_t>(std::lround(s * 1000)), false, r);
    return r[axis];
  };
  f.GetValue(700, false, v);
  EXPECT_NEAR(v.x, 2 * std::sin(3 * t + 1) * std::cos(0.5 * t) + 4, 1e-5);
  EXPECT_NEAR(v.y, std::sin(0.2 * std::sin(5 * t) + t), 1e-6);
  TVector3 d;
  f.GetValue(700, true, d);
  EXPECT_NEAR(d.x, (value(t + 0.001, 0) - value(t - 0.001, 0)) / 0.002, 2e-2);
  EXPECT_NEAR(d.y, (value(t + 0.001, 1) - value(t - 0.001, 1)) / 0.002, 2e-2);
}

TEST(PeriodicFunc, ParametersByName) {
  TQelPeriodicFunc f;
  f.SetParamByName("a1", {2, 3});
  EXPECT_FLOAT_EQ(f.Axes[0].a1, 2);
  EXPECT_FLOAT_EQ(f.Axes[1].a1, 3);
  // Fewer values than Dim set only those given.
  f.SetParamByName("c", {7});
  EXPECT_FLOAT_EQ(f.Axes[0].c, 7);
  EXPECT_FLOAT_EQ(f.Axes[1].c, 0);
  EXPECT_EQ(f.GetParamIdx("b3"), 8);
  EXPECT_EQ(f.GetParamIdx("Weight"), 0);
  EXPECT_EQ(ErrorOf([&] { f.GetParamIdx("weight"); }),
            "[TQelMorphFunc.GetParamIdx]: Invalid TQelPeriodicFunc function \"QelPeriodicFunc_Default\" parameter "
            "\"weight\"");
  EXPECT_EQ(ErrorOf([&] { f.SetParam(0, {}); }),
            "[TQelMorpFunc.SetParam]: Invalid TQelPeriodicFunc function \"QelPeriodicFunc_Default\" parameter index "
            "0");
  EXPECT_THROW(f.SetParam(10, {1, 1}), Exception);
}

TEST(TimeFunctions, ConstantAndParabolic) {
  TQelConstantFunc c;
  c.SetParamByName("Value", {4, 5});
  TVector3 v{9, 9, 9};
  c.GetValue(12345, false, v);
  EXPECT_EQ(v, MakeVector(4, 5, 0));
  c.GetValue(12345, true, v);
  EXPECT_EQ(v, MakeVector(0, 0, 0));
  EXPECT_THROW(c.GetParamIdx("value"), Exception);

  TQelParabolicFunc p;
  p.SetParamByName("StartVelocity", {10, 0});
  p.SetParamByName("Acceleration", {0, 5});
  p.GetValue(1000, false, v);
  EXPECT_FLOAT_EQ(v.x, 10);
  EXPECT_FLOAT_EQ(v.y, 5);
  p.GetValue(2000, false, v);
  EXPECT_FLOAT_EQ(v.x, 20);
  EXPECT_FLOAT_EQ(v.y, 20);
  p.GetValue(2000, true, v);
  EXPECT_FLOAT_EQ(v.y, 20);
  EXPECT_EQ(p.GetParamIdx("Acceleration"), 3);
  p.SetParam(0, {0.25f});
  EXPECT_FLOAT_EQ(p.Weight, 0.25f);

  // Clones are independent and keep the kind.
  auto clone = CloneAs<TQelMorphFunc>(&p);
  ASSERT_TRUE(dynamic_cast<TQelParabolicFunc*>(clone.get()));
  clone->SetParam(2, {1, 1});
  EXPECT_FLOAT_EQ(p.StartVelocity.x, 10);
  EXPECT_FALSE(c.Assign(&p));
}

TEST(TimeFunctions, DimensionOutsideRangeIsRefused) {
  TQelConstantFunc c;
  EXPECT_THROW(c.SetDim(0), Exception);
  EXPECT_THROW(c.SetDim(4), Exception);
  c.SetDim(3);
  EXPECT_EQ(c.Dim, 3);
  EXPECT_EQ(CreateFuncOfClass("spline", "x", 2), nullptr);
  EXPECT_THROW(CreateFuncOfClass("constant", "x", 7), Exception);
}

}  // namespace
}  // namespace qv::fx
