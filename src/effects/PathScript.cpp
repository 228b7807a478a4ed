// The piecewise path function and its script language: segments, node
// smoothing, endings and the "Set / Path / Ending" statements.
#include <cmath>

#include "effects/QelFXBase.h"
#include "foundation/Numeric.h"
#include "foundation/QelException.h"
#include "foundation/StrUtils.h"

namespace qv::fx {

namespace {

constexpr float kNodeEpsilon = 1e-6f;
constexpr double kDegToRad = 3.14159265358979323846 / 180.0;

bool Near(const TVector3& a, const TVector3& b, int n) {
  TVector3 d;
  SubVectors(a, b, n, d);
  return VectorLength(d, n) <= kNodeEpsilon;
}

TVector3 Sub(const TVector3& a, const TVector3& b, int n) {
  TVector3 d;
  SubVectors(a, b, n, d);
  return d;
}

TVector3 Unit(const TVector3& v, int n) {
  TVector3 u;
  NormalizeVector(v, n, u);
  return u;
}

// Text between the first `open` (from `from`) and the next `close`; the rest of
// the text when `close` is missing. found is false without `open`.
std::string Between(const std::string& s, char open, char close, bool& found, size_t from = 0) {
  size_t a = s.find(open, from);
  found = a != std::string::npos;
  if (!found) return {};
  size_t b = s.find(close, a + 1);
  if (b == std::string::npos) b = s.size();
  return s.substr(a + 1, b - a - 1);
}

std::vector<std::string> SplitComma(const std::string& s) {
  std::vector<std::string> parts;
  size_t start = 0;
  while (true) {
    size_t d = s.find(',', start);
    if (d == std::string::npos) {
      parts.push_back(s.substr(start));
      return parts;
    }
    parts.push_back(s.substr(start, d - start));
    start = d + 1;
  }
}

// A timing text: a leading "+" means a speed, which is stored negated.
float TimingValue(const std::string& text) {
  std::string t = Trim(text);
  float v = static_cast<float>(FxStrToFloatDef(t));
  if (!t.empty() && t[0] == '+') v = -v;
  return v;
}

}  // namespace

void TPathSegment::SetPoint(int k, const TVector3& v, int n) {
  n = ClampDim(n);
  for (int a = 0; a < n; ++a) Points.At(a, k) = v[a];
}

TQelPiecewiseFunc::TQelPiecewiseFunc() {
  SetDefaultName();
  ResetAll();
}

TQelPiecewiseFunc::~TQelPiecewiseFunc() { ResetAll(); }

std::unique_ptr<TQelPiecewiseFunc> TQelPiecewiseFunc::CreateFromScript(std::string_view name,
                                                                       std::string_view script, int32_t dim) {
  auto f = std::make_unique<TQelPiecewiseFunc>();
  f->SetName(name);
  f->SetDim(dim);
  f->SetScript(script);
  return f;
}

void TQelPiecewiseFunc::ResetAll() {
  Segments.clear();
  TotalDuration = 0;
  TotalLength = 0;
  NodeCount = 0;
  Ending = EndingStop;
  EndValue = TVector3{};
  Timing = 1.0f;
  FirstAngle = SecondAngle = 0;
  PosCorrectionFirst = PosCorrectionSecond = 1.0f;
  Bezier = 1;
}

bool TQelPiecewiseFunc::Assign(const TQelBaseObject* source) {
  auto* src = dynamic_cast<const TQelPiecewiseFunc*>(source);
  if (!src || !TQelMorphFunc::Assign(source)) return false;
  if (src == this) return true;
  Ending = src->Ending;
  NodeCount = src->NodeCount;
  TotalDuration = src->TotalDuration;
  TotalLength = src->TotalLength;
  EndValue = src->EndValue;
  Timing = src->Timing;
  FirstAngle = src->FirstAngle;
  SecondAngle = src->SecondAngle;
  PosCorrectionFirst = src->PosCorrectionFirst;
  PosCorrectionSecond = src->PosCorrectionSecond;
  Bezier = src->Bezier;
  Segments = src->Segments;
  return true;
}

int32_t TQelPiecewiseFunc::GetParamIdx(std::string_view name) const {
  size_t open = name.find('[');
  if (open != std::string_view::npos) {
    size_t close = name.find(']', open + 1);
    std::string_view inner =
        name.substr(open + 1, (close == std::string_view::npos ? name.size() : close) - open - 1);
    return StrToInt(inner);
  }
  return TQelMorphFunc::GetParamIdx(name);
}

void TQelPiecewiseFunc::SetParam(int32_t index, const std::vector<float>& values) {
  if (index <= 0 || Segments.empty()) {
    TQelMorphFunc::SetParam(index, values);
    return;
  }
  NodeRef ref;
  if (!LocateNode(index, ref)) return;
  int n = std::min(Dims(), static_cast<int>(values.size()));
  auto place = [&](TPathSegment& seg, int k) {
    for (int a = 0; a < n; ++a) seg.Points.At(a, k) = values[static_cast<size_t>(a)];
  };
  if (ref.freeEnd) {
    place(Segments[static_cast<size_t>(ref.out)], 3);
  } else {
    place(Segments[static_cast<size_t>(ref.out)], 0);
    if (ref.in >= 0) place(Segments[static_cast<size_t>(ref.in)], 3);
  }
  SmoothJoint(index, 1, 1, 0, 0);
}

// ---------------------------------------------------------------------------
// Segments

void TQelPiecewiseFunc::AppendSegment(uint8_t kind, const TVector3& p0, const TVector3& p3) {
  const int n = Dims();
  TPathSegment seg;
  seg.Duration = 1000;
  seg.Kind = kind;
  for (int a = 0; a < 3; ++a) {
    double s = p0[a], e = p3[a];
    seg.Points.At(a, 0) = p0[a];
    seg.Points.At(a, 1) = static_cast<float>(s + (e - s) / 3);
    seg.Points.At(a, 2) = static_cast<float>(s + 2 * (e - s) / 3);
    seg.Points.At(a, 3) = p3[a];
  }
  TotalDuration += 1000;
  auto known = [&](const TVector3& p) {
    for (const auto& s : Segments)
      if (Near(p, s.P0(), n) || Near(p, s.P3(), n)) return true;
    return false;
  };
  if (!known(p0)) ++NodeCount;
  if (!known(p3)) ++NodeCount;
  Segments.push_back(seg);
  Segments.back().Length = 0;
  RecomputeLength(SegmentCount() - 1);
}

void TQelPiecewiseFunc::RecomputeLength(int32_t segment) {
  if (segment < 0 || segment >= SegmentCount()) return;
  TPathSegment& seg = Segments[static_cast<size_t>(segment)];
  TotalLength -= seg.Length;
  if (seg.Kind == 0)
    seg.Length = VectorLength(Sub(seg.P3(), seg.P0(), Dims()), Dims());
  else
    seg.Length = BezierLength(seg.Points, Dims(), 1e-6f);
  TotalLength += seg.Length;
}

void TQelPiecewiseFunc::SetDuration(int32_t segment, uint32_t ms) {
  if (segment < 0 || segment >= SegmentCount()) return;
  TPathSegment& seg = Segments[static_cast<size_t>(segment)];
  TotalDuration = TotalDuration - seg.Duration + ms;
  seg.Duration = ms;
}

void TQelPiecewiseFunc::SetSpeed(int32_t segment, float speed) {
  if (segment < 0 || segment >= SegmentCount()) return;
  if (!(speed > 1e-6f)) {
    SetDuration(segment, 0);
    return;
  }
  int32_t ms = Round(static_cast<double>(Segments[static_cast<size_t>(segment)].Length) / speed);
  SetDuration(segment, static_cast<uint32_t>(std::max(ms, 0)));
}

// Nodes are numbered from 1 along the segments: the start of every segment,
// and the end of every segment that does not join the next one.
bool TQelPiecewiseFunc::LocateNode(int32_t node, NodeRef& ref) const {
  const int32_t count = SegmentCount();
  if (count == 0 || node < 1) return false;
  const int n = Dims();
  auto joins = [&](int32_t a, int32_t b) {
    return Near(Segments[static_cast<size_t>(a)].P3(), Segments[static_cast<size_t>(b)].P0(), n);
  };
  const bool closed = joins(count - 1, 0);
  int32_t number = 0;
  for (int32_t i = 0; i < count; ++i) {
    if (++number == node) {
      ref = NodeRef{};
      ref.out = i;
      if (i > 0 && joins(i - 1, i))
        ref.in = i - 1;
      else if (i == 0 && closed)
        ref.in = count - 1;
      return true;
    }
    bool joinsNext = i < count - 1 ? joins(i, i + 1) : closed;
    if (!joinsNext && ++number == node) {
      ref = NodeRef{};
      ref.out = i;
      ref.freeEnd = true;
      return true;
    }
  }
  return false;
}

void TQelPiecewiseFunc::SmoothJoint(int32_t node, float factorIn, float factorOut, float angleIn, float angleOut) {
  NodeRef ref;
  if (!LocateNode(node, ref)) return;
  const int n = Dims();
  if (ref.in >= 0 && !ref.freeEnd) {
    TPathSegment& in = Segments[static_cast<size_t>(ref.in)];
    TPathSegment& out = Segments[static_cast<size_t>(ref.out)];
    TVector3 c = Sub(in.P0(), in.P3(), n), d = Sub(out.P3(), out.P0(), n);
    float lc = VectorLength(c, n), ld = VectorLength(d, n);
    TVector3 axis;
    if (n == 3) {
      CrossProduct(c, d, axis);
      axis = Unit(axis, 3);
    }
    TVector3 cu = Unit(c, n), du = Unit(d, n);
    TVector3 dIn, dOut;
    bool setIn = false, setOut = false;
    if (in.Kind == 1 && out.Kind == 1) {
      TVector3 t = Unit(Sub(out.P3(), in.P0(), n), n);
      TVector3 v;
      if (lc >= ld) {
        // Two zero-length segments would give 0/0 here; they get no handles.
        float ratio = lc > 0 ? ld / lc : 0.0f;
        for (int a = 0; a < n; ++a) v[a] = du[a] + ratio * (t[a] - du[a]);
        dOut = Unit(v, n);
        ScaleVector(dOut, n, dIn, -1);
      } else {
        float ratio = ld > 0 ? lc / ld : 0.0f;
        for (int a = 0; a < n; ++a) v[a] = cu[a] + ratio * (-t[a] - cu[a]);
        dIn = Unit(v, n);
        ScaleVector(dIn, n, dOut, -1);
      }
      setIn = setOut = true;
    } else if (in.Kind == 1) {
      ScaleVector(du, n, dIn, -1);
      setIn = true;
    } else if (out.Kind == 1) {
      ScaleVector(cu, n, dOut, -1);
      setOut = true;
    } else {
      return;
    }
    if (setIn) {
      TVector3 h;
      ScaleVector(dIn, n, h, static_cast<float>(static_cast<double>(factorIn) * lc * 0.4));
      if (std::fabs(angleIn) > 1e-6f) RotateVector(h, axis, n, h, angleIn);
      TVector3 p3 = in.P3(), c2;
      AddVectors(p3, h, n, c2);
      in.SetPoint(2, c2, n);
      RecomputeLength(ref.in);
    }
    if (setOut) {
      TVector3 h;
      ScaleVector(dOut, n, h, static_cast<float>(static_cast<double>(factorOut) * ld * 0.4));
      if (std::fabs(angleOut) > 1e-6f) RotateVector(h, axis, n, h, angleOut);
      TVector3 p0 = out.P0(), c1;
      AddVectors(p0, h, n, c1);
      out.SetPoint(1, c1, n);
      RecomputeLength(ref.out);
    }
    return;
  }
  // A free end or a free start: the far handle mirrored along the chord.
  TPathSegment& seg = Segments[static_cast<size_t>(ref.out)];
  if (seg.Kind != 1) return;
  TVector3 chord, p;
  float factor, angle;
  if (ref.freeEnd) {
    chord = Sub(seg.P3(), seg.P0(), n);
    p = Sub(seg.C1(), seg.P0(), n);
    factor = factorIn;
    angle = angleIn;
  } else {
    chord = Sub(seg.P0(), seg.P3(), n);
    p = Sub(seg.C2(), seg.P3(), n);
    factor = factorOut;
    angle = angleOut;
  }
  TVector3 nu = Unit(chord, n), pu = Unit(p, n);
  TVector3 proj, perp, h;
  ScaleVector(nu, n, proj, static_cast<float>(static_cast<double>(VectorLength(p, n)) * DotProduct(nu, pu, n)));
  SubVectors(p, proj, n, perp);
  SubVectors(perp, proj, n, h);
  ScaleVector(h, n, h, factor);
  if (std::fabs(angle) > 1e-6f) {
    TVector3 axis;
    CrossProduct(p, proj, axis);
    RotateVector(h, Unit(axis, 3), n, h, angle);
  }
  if (ref.freeEnd) {
    TVector3 c2;
    AddVectors(seg.P3(), h, n, c2);
    seg.SetPoint(2, c2, n);
  } else {
    TVector3 c1;
    AddVectors(seg.P0(), h, n, c1);
    seg.SetPoint(1, c1, n);
  }
  RecomputeLength(ref.out);
}

// ---------------------------------------------------------------------------
// Evaluation

void TQelPiecewiseFunc::FindSegment(uint32_t time, int32_t& segment, float& fraction) const {
  segment = -1;
  fraction = 0;
  const uint64_t total = TotalDuration;
  uint64_t t = time;
  if (t > total) {
    switch (Ending) {
      case EndingLoop:
        // A path without duration stands at its first node.
        t = total ? t % total : 0;
        break;
      case EndingReverseStop:
        if (t > 2 * total) {
          fraction = 1.1f;
          return;
        }
        t = 2 * total - t;
        break;
      case EndingReverse:
        if (total == 0)
          t = 0;
        else if ((t / total) % 2 == 1)
          t = total - t % total;
        else
          t = t % total;
        break;
      default:
        fraction = 1.1f;
        return;
    }
  }
  uint64_t start = 0;
  for (size_t i = 0; i < Segments.size(); ++i) {
    uint64_t d = Segments[i].Duration;
    if (start + d >= t) {
      segment = static_cast<int32_t>(i);
      fraction = d ? static_cast<float>(static_cast<double>(t - start) / static_cast<double>(d)) : 0.0f;
      return;
    }
    start += d;
  }
}

void TQelPiecewiseFunc::GetValue(uint32_t time, bool derivative, TVector3& out) const {
  out = TVector3{};
  int32_t index = -1;
  float fraction = 0;
  FindSegment(time, index, fraction);
  if (index < 0) {
    if (fraction > 1 && (Ending == EndingStop || Ending == EndingReverseStop)) out = EndValue;
    return;
  }
  const TPathSegment& s = Segments[static_cast<size_t>(index)];
  const double u = fraction, v = 1 - u;
  for (int a = 0; a < Dims(); ++a) {
    double p0 = s.Points.At(a, 0), c1 = s.Points.At(a, 1), c2 = s.Points.At(a, 2), p3 = s.Points.At(a, 3);
    double r;
    if (s.Kind == 0)
      r = derivative ? p3 - p0 : p0 + (p3 - p0) * u;
    else if (!derivative)
      r = v * v * v * p0 + 3 * u * v * (v * c1 + u * c2) + u * u * u * p3;
    else
      r = 3 * (v * ((1 - 3 * u) * c1 - v * p0) + u * ((2 - 3 * u) * c2 + u * p3));
    out[a] = static_cast<float>(r);
  }
}

// ---------------------------------------------------------------------------
// Script

void TQelPiecewiseFunc::SetScript(std::string_view script) {
  if (Trim(script).empty()) return;
  std::string text = ReplaceAll(ReplaceAll(script, "\r\n", " "), "\t", " ");
  std::vector<TPathNode> nodes;
  size_t start = 0;
  while (true) {
    size_t semi = text.find(';', start);
    if (semi == std::string::npos) break;  // text after the last ";" is no statement
    std::string statement = Trim(std::string_view(text).substr(start, semi - start));
    start = semi + 1;
    size_t blank = statement.find(' ');
    if (blank == std::string::npos) continue;
    std::string keyword = LowerAscii(statement.substr(0, blank));
    std::string body = Trim(statement.substr(blank + 1));
    if (keyword == "set")
      ParseSet(body);
    else if (keyword == "path")
      ParsePath(body, nodes);
    else if (keyword == "ending")
      ParseEnding(body);
  }
  Compile(nodes);
}

void TQelPiecewiseFunc::ParseSet(const std::string& body) {
  std::string lower = LowerAscii(body);
  if (lower == "bezier") {
    Bezier = 1;
    return;
  }
  if (lower == "linear") {
    Bezier = 0;
    return;
  }
  size_t blank = body.find(' ');
  if (blank == std::string::npos) return;
  std::string name = LowerAscii(body.substr(0, blank));
  std::string value = Trim(body.substr(blank + 1));
  if (value.empty()) return;
  float v = static_cast<float>(FxStrToFloatDef(value));
  if (name == "timing")
    Timing = TimingValue(value);
  else if (name == "firstangle")
    FirstAngle = v;
  else if (name == "secondangle")
    SecondAngle = v;
  else if (name == "poscorrectionfirst")
    PosCorrectionFirst = v;
  else if (name == "poscorrectionsecond")
    PosCorrectionSecond = v;
}

void TQelPiecewiseFunc::ParsePath(const std::string& body, std::vector<TPathNode>& nodes) const {
  size_t open = body.find('(');
  while (open != std::string::npos) {
    size_t next = body.find('(', open + 1);
    std::string node = Trim(body.substr(open, (next == std::string::npos ? body.size() : next) - open));
    open = next;
    TPathNode p;
    p.Timing = Timing;
    p.FirstAngle = FirstAngle;
    p.SecondAngle = SecondAngle;
    p.PosCorrectionFirst = PosCorrectionFirst;
    p.PosCorrectionSecond = PosCorrectionSecond;
    p.Bezier = Bezier;
    bool found = false;
    std::string pos = Trim(Between(node, '(', ')', found));
    if (!pos.empty()) {
      auto fields = SplitComma(pos);
      float* xyz[3] = {&p.X, &p.Y, &p.Z};
      for (size_t i = 0; i < fields.size() && i < 3; ++i) *xyz[i] = static_cast<float>(FxStrToFloatDef(fields[i]));
    }
    auto pair = [&](char o, char c, float& first, float& second) {
      bool has = false;
      std::string text = Between(node, o, c, has);
      if (!has) return;
      auto fields = SplitComma(text);
      if (fields.size() == 1) {
        if (!Trim(fields[0]).empty()) first = second = static_cast<float>(FxStrToFloatDef(fields[0]));
        return;
      }
      if (!Trim(fields[0]).empty()) first = static_cast<float>(FxStrToFloatDef(fields[0]));
      if (!Trim(fields[1]).empty()) second = static_cast<float>(FxStrToFloatDef(fields[1]));
    };
    pair('[', ']', p.FirstAngle, p.SecondAngle);
    pair('{', '}', p.PosCorrectionFirst, p.PosCorrectionSecond);
    size_t q1 = node.find('"');
    if (q1 != std::string::npos) {
      size_t q2 = node.find('"', q1 + 1);
      if (q2 != std::string::npos) p.Timing = TimingValue(node.substr(q1 + 1, q2 - q1 - 1));
    }
    if (node.find("..") != std::string::npos)
      p.Bezier = 1;
    else if (node.find("--") != std::string::npos)
      p.Bezier = 0;
    nodes.push_back(p);
  }
}

void TQelPiecewiseFunc::ParseEnding(const std::string& body) {
  std::string lower = LowerAscii(body);
  if (lower == "loop") {
    Ending = EndingLoop;
    return;
  }
  if (lower == "reverse") {
    Ending = EndingReverse;
    return;
  }
  size_t blank = body.find(' ');
  if (blank == std::string::npos) return;
  bool found = false;
  std::string inner = Trim(Between(body, '(', ')', found));
  if (!found || inner.empty()) return;
  auto fields = SplitComma(inner);
  for (size_t i = 0; i < fields.size() && i < 3; ++i)
    EndValue[static_cast<int>(i)] = static_cast<float>(FxStrToFloatDef(fields[i]));
  std::string word = LowerAscii(body.substr(0, blank));
  if (word == "reversestop")
    Ending = EndingReverseStop;
  else if (word == "stop")
    Ending = EndingStop;
}

void TQelPiecewiseFunc::Compile(const std::vector<TPathNode>& nodes) {
  if (nodes.size() < 2) return;
  const int32_t n0 = NodeCount;
  const int32_t s0 = SegmentCount();
  for (size_t k = 0; k + 1 < nodes.size(); ++k) {
    const TPathNode& a = nodes[k];
    const TPathNode& b = nodes[k + 1];
    AppendSegment(a.Bezier, TVector3{a.X, a.Y, a.Z}, TVector3{b.X, b.Y, b.Z});
  }
  auto smooth = [&](int32_t number, const TPathNode& node) {
    SmoothJoint(number, node.PosCorrectionFirst, node.PosCorrectionSecond,
                static_cast<float>(node.FirstAngle * kDegToRad), static_cast<float>(node.SecondAngle * kDegToRad));
  };
  for (int32_t number = n0 + 2; number <= NodeCount; ++number) {
    int64_t k = static_cast<int64_t>(number) - n0 - 1;
    if (k >= 0 && k < static_cast<int64_t>(nodes.size())) smooth(number, nodes[static_cast<size_t>(k)]);
  }
  smooth(n0 + 1, nodes[0]);
  for (int32_t j = s0; j < SegmentCount(); ++j) {
    const TPathNode& node = nodes[static_cast<size_t>(j - s0)];
    if (node.Timing >= 0)
      SetDuration(j, static_cast<uint32_t>(std::max(Round(static_cast<double>(node.Timing) * 1000), 0)));
    else
      SetSpeed(j, -node.Timing);
  }
}

}  // namespace qv::fx
