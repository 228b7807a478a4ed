#include "effects/Base.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <ctime>

#include "foundation/Numeric.h"
#include "foundation/QelException.h"
#include "foundation/StrUtils.h"

namespace qv::fx {

// ---------------------------------------------------------------------------
// Base object

TQelBaseObject::TQelBaseObject() { SetDefaultName(); }

void TQelBaseObject::SetDefaultName() {
  std::string cls = ClassName();
  std::string name = (cls.empty() ? cls : cls.substr(1)) + "_Default";
  Name = name.substr(0, std::min(name.size(), MaxNameLength));
}

void TQelBaseObject::SetName(std::string_view name) {
  Name = std::string(name.substr(0, std::min(name.size(), MaxNameLength)));
}

bool TQelBaseObject::Assign(const TQelBaseObject* source) {
  if (!source) return false;
  SetName(source->Name);
  return true;
}

std::unique_ptr<TQelBaseObject> CloneObject(const TQelBaseObject* source) {
  if (!source) return nullptr;
  std::unique_ptr<TQelBaseObject> clone(source->NewInstance());
  if (!clone || !clone->Assign(source)) return nullptr;
  return clone;
}

// ---------------------------------------------------------------------------
// Collection

TQelStaticCollection::TQelStaticCollection() {
  SetDefaultName();
  Clear();
}

TQelStaticCollection::~TQelStaticCollection() { Clear(); }

TQelBaseObject* TQelStaticCollection::GetItem(int32_t index) const {
  if (index < 0 || index >= Count()) return nullptr;
  return Items[static_cast<size_t>(index)].get();
}

int32_t TQelStaticCollection::Add(std::unique_ptr<TQelBaseObject> item) {
  Items.push_back(std::move(item));
  return Count() - 1;
}

int32_t TQelStaticCollection::IndexOf(std::string_view name) const {
  for (size_t i = 0; i < Items.size(); ++i)
    if (Items[i] && SameTextAscii(Items[i]->Name, name)) return static_cast<int32_t>(i);
  return -1;
}

bool TQelStaticCollection::ForEach(const std::function<bool(std::unique_ptr<TQelBaseObject>& slot)>& callback) {
  for (size_t i = 0; i < Items.size(); ++i) {
    if (!Items[i]) continue;
    if (!callback(Items[i])) return false;
  }
  return true;
}

void TQelStaticCollection::Clear() {
  // Items may refer to each other while they go (a morph to its sub-morphs),
  // so they are freed one by one from the end before the array shrinks.
  for (size_t i = Items.size(); i-- > 0;) Items[i].reset();
  Items.clear();
}

std::unique_ptr<TQelBaseObject> TQelStaticCollection::Extract(int32_t index) {
  if (index < 0 || index >= Count()) return nullptr;
  auto item = std::move(Items[static_cast<size_t>(index)]);
  Items.erase(Items.begin() + index);
  return item;
}

bool TQelStaticCollection::Assign(const TQelBaseObject* source) {
  auto* src = dynamic_cast<const TQelStaticCollection*>(source);
  if (!src) return false;
  if (src == this) return true;
  if (!TQelBaseObject::Assign(source)) return false;
  Clear();
  for (const auto& item : src->Items) {
    if (!item) {
      Add(nullptr);
      continue;
    }
    auto clone = CloneObject(item.get());
    if (!clone) {
      Clear();
      return false;
    }
    Add(std::move(clone));
  }
  return true;
}

bool TQelStaticCollection::Init() {
  if (!TQelBaseObject::Init()) return false;
  for (auto& item : Items) {
    if (!item) continue;
    if (!item->Init()) {
      WriteLogLine(FxFailCode, std::string("\"") + item->ClassName() + "." + item->Name + "\" initialization failed",
                   true, true);
      return false;
    }
  }
  return true;
}

// ---------------------------------------------------------------------------
// Diagnostic lines

bool FxLogEnabled = false;

std::string ComposeLogLine(int32_t code, std::string_view text) {
  std::string line;
  if (code < 0) line = "ERROR (code " + IntToStr(code) + "): ";
  line += text;
  return line;
}

void WriteLogLine(int32_t code, std::string_view text, bool lineEnd, bool withDate) {
  if (!FxLogEnabled) return;
  std::string line = ComposeLogLine(code, text);
  if (withDate) {
    std::time_t now = std::time(nullptr);
    char buf[64] = {};
    std::tm tmv{};
    localtime_r(&now, &tmv);
    std::strftime(buf, sizeof buf, "%d.%m.%Y %H:%M:%S", &tmv);
    line = "(" + std::string(buf) + ") " + line;
  }
  if (lineEnd) line += "\n";
  std::fputs(line.c_str(), stderr);
  std::fflush(stderr);
}

// ---------------------------------------------------------------------------
// Vectors

TVector3 MakeVector(float x, float y, float z) { return TVector3{x, y, z}; }

float VectorLengthSqr(const TVector3& v, int n) {
  n = ClampDim(n);
  double s = 0;
  for (int i = 0; i < n; ++i) s += static_cast<double>(v[i]) * v[i];
  return static_cast<float>(s);
}

float VectorLength(const TVector3& v, int n) {
  n = ClampDim(n);
  double s = 0;
  for (int i = 0; i < n; ++i) s += static_cast<double>(v[i]) * v[i];
  return static_cast<float>(std::sqrt(s));
}

void NormalizeVector(TVector3 v, int n, TVector3& out) {
  n = ClampDim(n);
  out = TVector3{};
  float len = VectorLength(v, n);
  if (!(len >= 1e-6f)) return;
  float k = static_cast<float>(1.0 / len);
  for (int i = 0; i < n; ++i) out[i] = v[i] * k;
}

void AddVectors(TVector3 a, TVector3 b, int n, TVector3& out) {
  n = ClampDim(n);
  for (int i = 0; i < n; ++i) out[i] = a[i] + b[i];
}

void SubVectors(TVector3 a, TVector3 b, int n, TVector3& out) {
  n = ClampDim(n);
  for (int i = 0; i < n; ++i) out[i] = a[i] - b[i];
}

void ScaleVector(TVector3 v, int n, TVector3& out, float k) {
  n = ClampDim(n);
  for (int i = 0; i < n; ++i) out[i] = k * v[i];
}

float DotProduct(const TVector3& a, const TVector3& b, int n) {
  n = ClampDim(n);
  double s = 0;
  for (int i = 0; i < n; ++i) s += static_cast<double>(a[i]) * b[i];
  return static_cast<float>(s);
}

void LerpVectors(TVector3 a, TVector3 b, int n, TVector3& out, float t) {
  n = ClampDim(n);
  for (int i = 0; i < n; ++i) out[i] = static_cast<float>(a[i] + static_cast<double>(t) * (b[i] - a[i]));
}

void CrossProduct(TVector3 a, TVector3 b, TVector3& out) {
  out = TVector3{a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

void MatrixTimesVector(TVector3 v, const TMatrix4& m, int n, TVector3& out) {
  n = ClampDim(n);
  out = TVector3{};
  for (int i = 0; i < n; ++i) {
    double s = 0;
    for (int j = 0; j < n; ++j) s += static_cast<double>(v[j]) * m.m[i][j];
    out[i] = static_cast<float>(s);
  }
}

void TransformPoint(TVector3 p, const TMatrix4& m, TVector3& out) {
  for (int c = 0; c < 3; ++c)
    out[c] = static_cast<float>(static_cast<double>(p.x) * m.m[0][c] + static_cast<double>(p.y) * m.m[1][c] +
                                static_cast<double>(p.z) * m.m[2][c] + m.m[3][c]);
}

void AxisAngleToQuaternion(const TVector3& axis, TQuaternion& q, float angle) {
  double h = angle / 2.0;
  TVector3 n;
  NormalizeVector(axis, 3, n);
  float s = static_cast<float>(std::sin(h));
  q.x = n.x * s;
  q.y = n.y * s;
  q.z = n.z * s;
  q.w = static_cast<float>(std::cos(h));
}

void QuaternionToMatrix(const TQuaternion& q, TMatrix4& m) {
  IdentityMatrix4(m);
  double x = q.x, y = q.y, z = q.z, w = q.w;
  m.m[0][0] = static_cast<float>(1 - 2 * (y * y + z * z));
  m.m[0][1] = static_cast<float>(2 * (x * y - z * w));
  m.m[0][2] = static_cast<float>(2 * (x * z + y * w));
  m.m[1][0] = static_cast<float>(2 * (x * y + z * w));
  m.m[1][1] = static_cast<float>(1 - 2 * (z * z + x * x));
  m.m[1][2] = static_cast<float>(2 * (y * z - x * w));
  m.m[2][0] = static_cast<float>(2 * (x * z - y * w));
  m.m[2][1] = static_cast<float>(2 * (y * z + x * w));
  m.m[2][2] = static_cast<float>(1 - 2 * (y * y + x * x));
}

void RotateVector(TVector3 v, const TVector3& axis, int n, TVector3& out, float angle) {
  double c = std::cos(static_cast<double>(angle)), s = std::sin(static_cast<double>(angle));
  switch (n) {
    case 1:
      out[0] = static_cast<float>(v[0] * c);
      break;
    case 2:
      out[0] = static_cast<float>(v.x * c + v.y * s);
      out[1] = static_cast<float>(-v.x * s + v.y * c);
      break;
    case 3: {
      TQuaternion q;
      AxisAngleToQuaternion(axis, q, angle);
      TMatrix4 m;
      QuaternionToMatrix(q, m);
      MatrixTimesVector(v, m, 3, out);
      break;
    }
    default:
      break;
  }
}

void IdentityMatrix3(TMatrix3& m) {
  m = TMatrix3{};
  for (int i = 0; i < 3; ++i) m.m[i][i] = 1;
}

void IdentityMatrix4(TMatrix4& m) {
  m = TMatrix4{};
  for (int i = 0; i < 4; ++i) m.m[i][i] = 1;
}

void MultiplyMatrices(TMatrix4 a, TMatrix4 b, int n, TMatrix4& out) {
  n = n < 0 ? 0 : (n > 4 ? 4 : n);
  out = TMatrix4{};
  for (int i = 0; i < n; ++i)
    for (int j = 0; j < n; ++j) {
      double s = 0;
      for (int k = 0; k < n; ++k) s += static_cast<double>(a.m[i][k]) * b.m[k][j];
      out.m[i][j] = static_cast<float>(s);
    }
}

void AxisRotationMatrix(char letter, TMatrix4& m, float angle) {
  IdentityMatrix4(m);
  float c = static_cast<float>(std::cos(static_cast<double>(angle)));
  float s = static_cast<float>(std::sin(static_cast<double>(angle)));
  switch (letter) {
    case 'X':
    case 'x':
      m.m[1][1] = c, m.m[1][2] = s, m.m[2][1] = -s, m.m[2][2] = c;
      break;
    case 'Y':
    case 'y':
      m.m[0][0] = c, m.m[0][2] = -s, m.m[2][0] = s, m.m[2][2] = c;
      break;
    case 'Z':
    case 'z':
      m.m[0][0] = c, m.m[0][1] = s, m.m[1][0] = -s, m.m[1][1] = c;
      break;
    default:
      break;
  }
}

void AxisTransformMatrix(char letter, TMatrix4& m, float angle, float x, float y, float z) {
  AxisRotationMatrix(letter, m, angle);
  m.m[3][0] = x, m.m[3][1] = y, m.m[3][2] = z, m.m[3][3] = 1;
}

void SplitBezier(TBezierPoints points, TBezierPoints& left, TBezierPoints& right, int n) {
  n = ClampDim(n);
  for (int a = 0; a < n; ++a) {
    float p0 = points.At(a, 0), c1 = points.At(a, 1), c2 = points.At(a, 2), p3 = points.At(a, 3);
    float m01 = (p0 + c1) / 2, m12 = (c1 + c2) / 2, m23 = (c2 + p3) / 2;
    float m012 = (m01 + m12) / 2, m123 = (m12 + m23) / 2;
    float mid = (m012 + m123) / 2;
    left.At(a, 0) = p0, left.At(a, 1) = m01, left.At(a, 2) = m012, left.At(a, 3) = mid;
    right.At(a, 0) = mid, right.At(a, 1) = m123, right.At(a, 2) = m23, right.At(a, 3) = p3;
  }
}

namespace {

// The halving runs in double: in single precision the polygon and the chord of
// a long curve never agree within 1e-6, and the halving would not end.
struct BezierD {
  double p[3][4];
};

double DistD(const BezierD& b, int i, int j, int n) {
  double s = 0;
  for (int a = 0; a < n; ++a) {
    double d = b.p[a][i] - b.p[a][j];
    s += d * d;
  }
  return std::sqrt(s);
}

constexpr int kMaxBezierDepth = 32;

double BezierLengthD(const BezierD& b, int n, double tolerance, int depth) {
  double polygon = DistD(b, 0, 1, n) + DistD(b, 1, 2, n) + DistD(b, 2, 3, n);
  double chord = DistD(b, 0, 3, n);
  double diff = std::fabs(polygon - chord);
  // Differences below a part in 1e8 of the length are lost in the single the
  // result is stored in; stopping there bounds the work for huge coordinates.
  if (!(diff > tolerance) || !(diff > polygon * 1e-8) || depth >= kMaxBezierDepth) return polygon;
  BezierD l{}, r{};
  for (int a = 0; a < n; ++a) {
    double p0 = b.p[a][0], c1 = b.p[a][1], c2 = b.p[a][2], p3 = b.p[a][3];
    double m01 = (p0 + c1) / 2, m12 = (c1 + c2) / 2, m23 = (c2 + p3) / 2;
    double m012 = (m01 + m12) / 2, m123 = (m12 + m23) / 2;
    double mid = (m012 + m123) / 2;
    l.p[a][0] = p0, l.p[a][1] = m01, l.p[a][2] = m012, l.p[a][3] = mid;
    r.p[a][0] = mid, r.p[a][1] = m123, r.p[a][2] = m23, r.p[a][3] = p3;
  }
  return BezierLengthD(l, n, tolerance, depth + 1) + BezierLengthD(r, n, tolerance, depth + 1);
}

}  // namespace

float BezierLength(const TBezierPoints& points, int n, float tolerance) {
  n = ClampDim(n);
  BezierD b{};
  for (int a = 0; a < n; ++a)
    for (int k = 0; k < 4; ++k) b.p[a][k] = points.At(a, k);
  return static_cast<float>(BezierLengthD(b, n, tolerance, 0));
}

// ---------------------------------------------------------------------------
// Text

int32_t CountChar(std::string_view text, char c) {
  int32_t n = 0;
  for (char ch : text)
    if (ch == c) ++n;
  return n;
}

void SplitString(std::string_view text, char delimiter, std::vector<std::string>& parts, int32_t& count,
                 bool stripBrackets) {
  parts.clear();
  if (text.empty()) {
    count = 0;
    return;
  }
  std::string body(text);
  if (stripBrackets) {
    size_t open = body.find('(');
    size_t close = body.rfind(')');
    size_t from = open == std::string::npos ? 0 : open + 1;
    size_t to = close == std::string::npos ? body.size() : close;
    body = to > from ? body.substr(from, to - from) : std::string();
    body = Trim(body);
  }
  size_t start = 0;
  while (true) {
    size_t d = body.find(delimiter, start);
    if (d == std::string::npos) {
      parts.push_back(body.substr(start));
      break;
    }
    parts.push_back(body.substr(start, d - start));
    start = d + 1;
  }
  count = static_cast<int32_t>(parts.size());
}

namespace {
// Values are stored in single precision: a larger number is no number.
constexpr double kMaxSingle = 3.4028234663852886e38;
}  // namespace

double FxStrToFloat(std::string_view text) {
  double v = StrToFloat(text);
  if (std::fabs(v) > kMaxSingle) throw EConvertError("'" + std::string(text) + "' is not a valid floating point value");
  return v;
}

double FxStrToFloatDef(std::string_view text) {
  double v = 0;
  if (!TryStrToFloat(text, v) || std::fabs(v) > kMaxSingle) return 0;
  return v;
}

void StrToVect(std::string_view text, TVector3& out) {
  out = TVector3{};
  std::vector<std::string> parts;
  int32_t count = 0;
  SplitString(Trim(text), ',', parts, count, true);
  if (count < 1 || count > 3)
    throw EConvertError("[StrToVect]: \"" + std::string(text) + "\" string-to-vector convertation failed");
  for (int32_t i = 0; i < count; ++i) out[i] = static_cast<float>(FxStrToFloat(parts[static_cast<size_t>(i)]));
}

TVector3 StrToVect(std::string_view text) {
  TVector3 v;
  StrToVect(text, v);
  return v;
}

}  // namespace qv::fx
