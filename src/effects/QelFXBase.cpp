// Time functions: the base with its parameter access, the constant, parabolic
// and periodic kinds and the periodic formula reader.
#include "effects/QelFXBase.h"

#include <cmath>

#include "foundation/Numeric.h"
#include "foundation/QelException.h"
#include "foundation/StrUtils.h"

namespace qv::fx {

namespace {

constexpr double kHalfPi = 1.5707963267948966;

double Seconds(uint32_t time) { return static_cast<double>(time) * 0.001; }

}  // namespace

// ---------------------------------------------------------------------------
// Base function

TQelMorphFunc::TQelMorphFunc() { SetDefaultName(); }

bool TQelMorphFunc::Assign(const TQelBaseObject* source) {
  auto* src = dynamic_cast<const TQelMorphFunc*>(source);
  if (!src || !TQelBaseObject::Assign(source)) return false;
  Dim = src->Dim;
  Owned = src->Owned;
  Weight = src->Weight;
  return true;
}

int32_t TQelMorphFunc::GetParamIdx(std::string_view name) const {
  if (name == "Weight") return 0;
  throw Exception(std::string("[TQelMorphFunc.GetParamIdx]: Invalid ") + ClassName() + " function \"" + Name +
                  "\" parameter \"" + std::string(name) + "\"");
}

void TQelMorphFunc::SetParam(int32_t index, const std::vector<float>& values) {
  if (index == 0 && !values.empty()) {
    Weight = values[0];
    return;
  }
  throw Exception(std::string("[TQelMorpFunc.SetParam]: Invalid ") + ClassName() + " function \"" + Name +
                  "\" parameter index " + IntToStr(index));
}

void TQelMorphFunc::SetParamByName(std::string_view name, const std::vector<float>& values) {
  SetParam(GetParamIdx(name), values);
}

void TQelMorphFunc::SetDim(int32_t dim) {
  if (dim < 1 || dim > 3)
    throw Exception(std::string("[TQelMorphFunc.SetDim]: Invalid ") + ClassName() + " function \"" + Name +
                    "\" dimension " + IntToStr(dim));
  Dim = static_cast<uint8_t>(dim);
}

namespace {

// The first Dim components of v := values (only as many as given).
void SetComponents(TVector3& v, int dim, const std::vector<float>& values) {
  int n = std::min(ClampDim(dim), static_cast<int>(values.size()));
  for (int i = 0; i < n; ++i) v[i] = values[static_cast<size_t>(i)];
}

}  // namespace

// ---------------------------------------------------------------------------
// Constant

bool TQelConstantFunc::Assign(const TQelBaseObject* source) {
  auto* src = dynamic_cast<const TQelConstantFunc*>(source);
  if (!src || !TQelMorphFunc::Assign(source)) return false;
  Value = src->Value;
  return true;
}

int32_t TQelConstantFunc::GetParamIdx(std::string_view name) const {
  if (name == "Value") return 1;
  return TQelMorphFunc::GetParamIdx(name);
}

void TQelConstantFunc::SetParam(int32_t index, const std::vector<float>& values) {
  if (index == 1 && !values.empty()) {
    SetComponents(Value, Dim, values);
    return;
  }
  TQelMorphFunc::SetParam(index, values);
}

void TQelConstantFunc::GetValue(uint32_t, bool derivative, TVector3& out) const {
  out = derivative ? TVector3{} : Value;
}

// ---------------------------------------------------------------------------
// Parabolic

bool TQelParabolicFunc::Assign(const TQelBaseObject* source) {
  auto* src = dynamic_cast<const TQelParabolicFunc*>(source);
  if (!src || !TQelMorphFunc::Assign(source)) return false;
  StartPosition = src->StartPosition;
  StartVelocity = src->StartVelocity;
  Acceleration = src->Acceleration;
  return true;
}

int32_t TQelParabolicFunc::GetParamIdx(std::string_view name) const {
  if (name == "StartPosition") return 1;
  if (name == "StartVelocity") return 2;
  if (name == "Acceleration") return 3;
  return TQelMorphFunc::GetParamIdx(name);
}

void TQelParabolicFunc::SetParam(int32_t index, const std::vector<float>& values) {
  if (index >= 1 && index <= 3 && !values.empty()) {
    SetComponents(index == 1 ? StartPosition : (index == 2 ? StartVelocity : Acceleration), Dim, values);
    return;
  }
  TQelMorphFunc::SetParam(index, values);
}

void TQelParabolicFunc::GetValue(uint32_t time, bool derivative, TVector3& out) const {
  double t = Seconds(time);
  for (int i = 0; i < Dims(); ++i) {
    double p = StartPosition[i], v = StartVelocity[i], a = Acceleration[i];
    out[i] = static_cast<float>(derivative ? v + 2 * a * t : p + t * (v + a * t));
  }
}

// ---------------------------------------------------------------------------
// Periodic

float& TPeriodicAxis::Coef(int32_t index) {
  switch (index) {
    case 1: return g1;
    case 2: return a1;
    case 3: return b1;
    case 4: return a2;
    case 5: return b2;
    case 6: return g3;
    case 7: return a3;
    case 8: return b3;
    default: return c;
  }
}

TQelPeriodicFunc::TQelPeriodicFunc() {
  SetDefaultName();
  for (int i = 0; i < Dims(); ++i) {
    Axes[i].g1 = 1;
    Axes[i].a1 = 1;
  }
}

bool TQelPeriodicFunc::Assign(const TQelBaseObject* source) {
  auto* src = dynamic_cast<const TQelPeriodicFunc*>(source);
  if (!src || !TQelMorphFunc::Assign(source)) return false;
  for (int i = 0; i < 3; ++i) Axes[i] = src->Axes[i];
  return true;
}

int32_t TQelPeriodicFunc::GetParamIdx(std::string_view name) const {
  static const char* const names[] = {"g1", "a1", "b1", "a2", "b2", "g3", "a3", "b3", "c"};
  for (int32_t i = 0; i < 9; ++i)
    if (name == names[i]) return i + 1;
  return TQelMorphFunc::GetParamIdx(name);
}

void TQelPeriodicFunc::SetParam(int32_t index, const std::vector<float>& values) {
  if (index >= 1 && index <= 9) {
    int n = std::min(Dims(), static_cast<int>(values.size()));
    for (int i = 0; i < n; ++i) Axes[i].Coef(index) = values[static_cast<size_t>(i)];
    return;
  }
  TQelMorphFunc::SetParam(index, values);
}

void TQelPeriodicFunc::GetValue(uint32_t time, bool derivative, TVector3& out) const {
  double t = Seconds(time);
  for (int i = 0; i < Dims(); ++i) {
    const TPeriodicAxis& a = Axes[i];
    double phi = static_cast<double>(a.a1) * t + a.b1;
    double dphi = a.a1;
    if (a.HasInner) {
      double inner = static_cast<double>(a.a3) * t + a.b3;
      phi += a.g3 * std::sin(inner);
      dphi += static_cast<double>(a.g3) * a.a3 * std::cos(inner);
    }
    double second = static_cast<double>(a.a2) * t + a.b2;
    double r;
    if (!derivative) {
      r = a.g1 * std::sin(phi);
      if (a.HasSecondFactor) r *= std::sin(second);
      r += a.c;
    } else if (!a.HasSecondFactor) {
      r = a.g1 * std::cos(phi) * dphi;
    } else {
      r = a.g1 * (std::cos(phi) * dphi * std::sin(second) + std::sin(phi) * a.a2 * std::cos(second));
    }
    out[i] = static_cast<float>(r);
  }
}

namespace {

bool HasT(std::string_view s) { return s.find('t') != std::string_view::npos; }

std::string RemoveChars(std::string_view s, std::string_view chars) {
  std::string out;
  for (char c : s)
    if (chars.find(c) == std::string_view::npos) out += c;
  return out;
}

// g1, g3 and the factor of t: empty is 1, a lone sign is +1 or -1.
float Coefficient(std::string_view text, std::string_view remove) {
  std::string s = RemoveChars(text, remove);
  if (s.empty() || s == "+") return 1;
  if (s == "-") return -1;
  return static_cast<float>(FxStrToFloat(s));
}

// Position of the first "sin" or "cos" at or after from, and whether it is "cos".
size_t FindSine(const std::string& s, size_t from, bool& isCos) {
  size_t ps = s.find("sin", from), pc = s.find("cos", from);
  isCos = pc != std::string::npos && (ps == std::string::npos || pc < ps);
  return isCos ? pc : ps;
}

// The bracketed argument after start: [open, close] positions of the brackets.
void Bracket(const std::string& s, size_t start, size_t& open, size_t& close) {
  open = s.find('(', start);
  if (open == std::string::npos) throw Exception("Open bracket not found in expression \"" + s + "\"");
  int depth = 0;
  for (size_t i = open; i < s.size(); ++i) {
    if (s[i] == '(') ++depth;
    if (s[i] == ')' && --depth == 0) {
      close = i;
      return;
    }
  }
  throw Exception("Mismatching brackets in expression \"" + s + "\"");
}

// "k t + b" into k and b; an empty text leaves both.
void Linear(const std::string& s, float& k, float& b) {
  if (s.empty()) return;
  size_t sign = s.find_last_of("+-");
  if (sign != std::string::npos) {
    std::string left = s.substr(0, sign), right = s.substr(sign);
    if (HasT(left) && HasT(right)) throw Exception("Invalid sine argument \"" + s + "\"");
    if (HasT(left)) {
      k = Coefficient(left, "*t");
      if (!right.empty()) b = static_cast<float>(FxStrToFloat(right));
    } else {
      k = Coefficient(right, "*t");
      if (!left.empty()) b = static_cast<float>(FxStrToFloat(left));
    }
    return;
  }
  size_t star = s.find('*');
  if (star != std::string::npos) {
    if (!HasT(s)) throw Exception("Invalid sine argument \"" + s + "\"");
    std::string left = s.substr(0, star), right = s.substr(star + 1);
    k = static_cast<float>(FxStrToFloat(HasT(left) ? right : left));
    return;
  }
  if (HasT(s)) {
    std::string rest = RemoveChars(s, "t");
    k = rest.empty() ? 1.0f : static_cast<float>(FxStrToFloat(rest));
    return;
  }
  b = static_cast<float>(FxStrToFloat(s));
}

}  // namespace

void TQelPeriodicFunc::SetFormula(int axis, std::string_view text) {
  if (axis < 0 || axis > 2) return;
  TPeriodicAxis& a = Axes[axis];
  a = TPeriodicAxis{};
  std::string s;
  for (char ch : ReplaceAll(ReplaceAll(text, "\r\n", " "), "\t", " "))
    if (ch != ' ') s += ch;
  s = LowerAscii(s);
  if (s.empty()) return;
  bool isCos = false;
  size_t first = FindSine(s, 0, isCos);
  if (first == std::string::npos) {
    a.c = static_cast<float>(FxStrToFloat(s));
    return;
  }
  a.g1 = Coefficient(s.substr(0, first), "*");
  size_t open = 0, close = 0;
  Bracket(s, first + 3, open, close);
  std::string arg = s.substr(open + 1, close - open - 1);
  bool innerCos = false;
  size_t inner = FindSine(arg, 0, innerCos);
  if (inner != std::string::npos) {
    a.HasInner = 1;
    a.g3 = Coefficient(arg.substr(0, inner), "*");
    size_t iOpen = 0, iClose = 0;
    Bracket(arg, inner + 3, iOpen, iClose);
    Linear(arg.substr(iOpen + 1, iClose - iOpen - 1), a.a3, a.b3);
    if (innerCos) a.b3 = static_cast<float>(a.b3 + kHalfPi);
    Linear(arg.substr(iClose + 1), a.a1, a.b1);
  } else {
    Linear(arg, a.a1, a.b1);
  }
  if (isCos) a.b1 = static_cast<float>(a.b1 + kHalfPi);
  size_t last = close;
  bool secondCos = false;
  size_t second = FindSine(s, close + 1, secondCos);
  if (second != std::string::npos) {
    a.HasSecondFactor = 1;
    size_t sOpen = 0, sClose = 0;
    Bracket(s, second + 3, sOpen, sClose);
    Linear(s.substr(sOpen + 1, sClose - sOpen - 1), a.a2, a.b2);
    if (secondCos) a.b2 = static_cast<float>(a.b2 + kHalfPi);
    last = sClose;
  }
  std::string rest = s.substr(last + 1);
  if (!rest.empty()) a.c = static_cast<float>(FxStrToFloat(rest));
}

}  // namespace qv::fx
