// The rotator, morphs and the function and morph libraries.
#include <cmath>

#include "effects/QelFXBase.h"
#include "foundation/Numeric.h"
#include "foundation/QelException.h"
#include "foundation/Random.h"
#include "foundation/StrUtils.h"

namespace qv::fx {

namespace {

// Sub-morph chains are short in real files; the bound only stops a morph
// that (through a copied library) ends up driving itself.
constexpr int kMaxMorphDepth = 32;
thread_local int g_morphDepth = 0;

struct DepthGuard {
  DepthGuard() { ++g_morphDepth; }
  ~DepthGuard() { --g_morphDepth; }
  bool TooDeep() const { return g_morphDepth > kMaxMorphDepth; }
};

int32_t WrapAdd(int32_t a, int32_t b) {
  return static_cast<int32_t>(static_cast<uint32_t>(a) + static_cast<uint32_t>(b));
}

}  // namespace

// ---------------------------------------------------------------------------
// Rotator

TQelRotator::TQelRotator() {
  SetDefaultName();
  IdentityMatrix4(Matrix);
}

bool TQelRotator::Assign(const TQelBaseObject* source) {
  auto* src = dynamic_cast<const TQelRotator*>(source);
  if (!src || !TQelBaseObject::Assign(source)) return false;
  Items = src->Items;
  Matrix = src->Matrix;
  return true;
}

void TQelRotator::ClearItems() {
  Items.clear();
  IdentityMatrix4(Matrix);
}

void TQelRotator::Recompute(size_t from) {
  for (size_t i = from; i < Items.size(); ++i) {
    TRotationItem& it = Items[i];
    TMatrix4 own;
    AxisTransformMatrix(it.Axis, own, it.Angle, it.Offset.x, it.Offset.y, it.Offset.z);
    if (i == 0)
      it.ItemMatrix = own;
    else
      MultiplyMatrices(Items[i - 1].ItemMatrix, own, 4, it.ItemMatrix);
  }
  if (Items.empty())
    IdentityMatrix4(Matrix);
  else
    Matrix = Items.back().ItemMatrix;
}

void TQelRotator::AddItem(char axis, uint8_t paramIndex, float x, float y, float z, float angle) {
  switch (axis) {
    case 'X': case 'Y': case 'Z': case 'x': case 'y': case 'z':
      break;
    default:
      throw Exception(std::string("[TQelRotator.AddItem]: Invalid base axis value \"") + axis + "\"");
  }
  TRotationItem it;
  it.Axis = axis;
  it.Angle = angle;
  it.ParamIndex = paramIndex;
  it.Offset = TVector3{x, y, z};
  if (paramIndex != 0) {
    for (size_t i = Items.size(); i-- > 0;)
      if (Items[i].ParamIndex != 0) {
        Items[i].NextDriven = static_cast<int32_t>(Items.size());
        break;
      }
  }
  Items.push_back(it);
  Recompute(Items.size() - 1);
}

void TQelRotator::SetAngles(const float* values, int32_t count) {
  if (count < 1 || !values) return;
  size_t first = Items.size();
  for (size_t i = 0; i < Items.size(); ++i) {
    TRotationItem& it = Items[i];
    if (it.ParamIndex >= 1 && it.ParamIndex <= count && it.ParamIndex <= 3) {
      it.Angle = values[it.ParamIndex - 1];
      first = std::min(first, i);
    }
  }
  Recompute(first);
}

void TQelRotator::SetRotationPattern(std::string_view text) {
  ClearItems();
  std::string s = ReplaceAll(ReplaceAll(text, "\r\n", " "), "\t", " ");
  TVector3 offset;
  size_t start = 0;
  while (start <= s.size()) {
    size_t semi = s.find(';', start);
    if (semi == std::string::npos) semi = s.size();
    std::string part = Trim(std::string_view(s).substr(start, semi - start));
    start = semi + 1;
    if (part.empty()) continue;
    size_t open = part.find('(');
    if (open != std::string::npos) {
      size_t close = part.find(')', open + 1);
      StrToVect(part.substr(open + 1, (close == std::string::npos ? part.size() : close) - open - 1), offset);
      continue;
    }
    uint8_t index = 0;
    size_t bracket = part.find('[', 1);
    if (bracket != std::string::npos) {
      size_t close = part.find(']', bracket + 1);
      int32_t v = StrToInt(part.substr(bracket + 1, (close == std::string::npos ? part.size() : close) - bracket - 1));
      if (v < 1 || v > 3) throw Exception("[TQelRotator.SetRotationPattern]: Invalid rotation pattern parameter index");
      index = static_cast<uint8_t>(v);
    }
    float angle = 0;
    size_t eq = part.find('=', 1);
    if (eq != std::string::npos) angle = static_cast<float>(FxStrToFloat(part.substr(eq + 1)));
    AddItem(part[0], index, offset.x, offset.y, offset.z, angle);
  }
}

// ---------------------------------------------------------------------------
// Morph: construction, copying, functions

TQelMorph::TQelMorph() : Rotator(std::make_unique<TQelRotator>()) {
  SetDefaultName();
  IdentityMatrix4(Matrix);
  FunctionLibrary = GlobalFunctionsLibrary();
  MorphLibrary = GlobalMorphsLibrary();
}

TQelMorph::~TQelMorph() { ClearFunctions(); }

void TQelMorph::ClearFunctions() {
  Functions.clear();
  owned_.clear();
}

std::unique_ptr<TQelMorph> TQelMorph::CreateNamed(std::string_view name, int32_t dim) {
  auto m = std::make_unique<TQelMorph>();
  m->SetName(name);
  m->SetDim(dim);
  return m;
}

bool TQelMorph::AssignWithLibraries(TQelMorph* morph, const TQelMorph* source, TQelMorphFuncLib* functionLibrary,
                                    TQelMorphLib* morphLibrary) {
  if (!morph || !source) return false;
  morph->FunctionLibrary = functionLibrary;
  morph->MorphLibrary = morphLibrary;
  return morph->Assign(source);
}

bool TQelMorph::Assign(const TQelBaseObject* source) {
  auto* src = dynamic_cast<const TQelMorph*>(source);
  if (!src || !TQelBaseObject::Assign(source)) return false;
  if (src == this) return true;
  Dim = src->Dim;
  StartTime = src->StartTime;
  TimeOffset = src->TimeOffset;
  Delay = src->Delay;
  Position = src->Position;
  Scale = src->Scale;
  Rotation = src->Rotation;
  Matrix = src->Matrix;
  HasScale = src->HasScale;
  HasRotation = src->HasRotation;
  HasPosition = src->HasPosition;
  Rotator->Assign(src->Rotator.get());
  ClearFunctions();
  for (int32_t i = 0; i < src->FuncCount(); ++i) {
    const TQelMorphFunc* f = src->Functions[static_cast<size_t>(i)];
    if (src->OwnsFunc(i))
      AddClonedFunc(f);
    else if (f)
      AddFuncByName(f->Name);
  }
  Properties.clear();
  ChildMorphs.clear();
  ChildPropertyCount = 0;
  for (const TMorphProperty& p : src->Properties) {
    std::string child;
    if (p.SourceKind == SourceSubMorph && p.ChildIndex >= 0 &&
        p.ChildIndex < static_cast<int32_t>(src->ChildMorphs.size()) &&
        src->ChildMorphs[static_cast<size_t>(p.ChildIndex)].Morph)
      child = src->ChildMorphs[static_cast<size_t>(p.ChildIndex)].Morph->Name;
    TVector3 to = p.SourceKind == SourceRange ? p.To : p.From;
    AddProperty(p.Type, p.From, p.ParamIndex, p.FuncIndex, child, to);
  }
  return true;
}

void TQelMorph::SetDim(int32_t d) {
  if (d == Dim || d <= 0 || d > 3) return;
  Dim = static_cast<uint8_t>(d);
  if (d == 3) {
    Rotator->ClearItems();
    Rotator->AddItem('X', 1, 0, 0, 0, 0);
    Rotator->AddItem('Y', 2, 0, 0, 0, 0);
    Rotator->AddItem('Z', 3, 0, 0, 0, 0);
    Matrix = Rotator->Matrix;
  }
}

TQelMorphFunc* TQelMorph::GetFunc(int32_t index) const {
  if (index < 0 || index >= FuncCount()) return nullptr;
  return Functions[static_cast<size_t>(index)];
}

bool TQelMorph::OwnsFunc(int32_t index) const {
  return index >= 0 && index < FuncCount() && owned_[static_cast<size_t>(index)] != nullptr;
}

void TQelMorph::SetStartTime(int32_t ms) {
  DepthGuard guard;
  StartTime = ms;
  if (Properties.empty() || guard.TooDeep()) return;
  for (auto& c : ChildMorphs)
    if (c.Morph && c.Morph != this) c.Morph->SetStartTime(ms);
}

void TQelMorph::SetTimeOffset(int32_t ms) {
  DepthGuard guard;
  TimeOffset = ms;
  if (Properties.empty() || guard.TooDeep()) return;
  for (auto& c : ChildMorphs)
    if (c.Morph && c.Morph != this) c.Morph->SetTimeOffset(ms);
}

void TQelMorph::SetRotationPattern(std::string_view text) {
  if (Dim != 3) return;
  Rotator->SetRotationPattern(text);
  HasRotation = Rotator->ItemCount() > 0 ? 1 : 0;
  Matrix = Rotator->Matrix;
}

int32_t TQelMorph::AddFunc(TQelMorphFunc* function) {
  if (!function || function->Dim != Dim) return -1;
  Functions.push_back(function);
  owned_.emplace_back();
  return FuncCount() - 1;
}

int32_t TQelMorph::AddFunc(std::unique_ptr<TQelMorphFunc> function) {
  if (!function || function->Dim != Dim) return -1;
  function->Owned = 1;
  Functions.push_back(function.get());
  owned_.push_back(std::move(function));
  return FuncCount() - 1;
}

int32_t TQelMorph::AddClonedFunc(const TQelMorphFunc* function) {
  auto clone = CloneAs(function);
  if (!clone) return -1;
  return AddFunc(std::move(clone));
}

int32_t TQelMorph::AddFuncByName(std::string_view name) {
  if (!FunctionLibrary) return -1;
  return AddFunc(FunctionLibrary->GetFunc(FunctionLibrary->IndexOf(name)));
}

int32_t TQelMorph::AddClonedFuncByName(std::string_view name) {
  if (!FunctionLibrary) return -1;
  TQelMorphFunc* f = FunctionLibrary->GetFunc(FunctionLibrary->IndexOf(name));
  if (!f) return -1;
  return AddClonedFunc(f);
}

int32_t TQelMorph::AddPiecewiseFunc(std::string_view name, std::string_view script, float weight) {
  auto f = TQelPiecewiseFunc::CreateFromScript(name, script, ClampDim(Dim) ? Dim : 1);
  f->Weight = weight;
  return AddFunc(std::unique_ptr<TQelMorphFunc>(std::move(f)));
}

int32_t TQelMorph::IndexOfFunc(std::string_view name) const {
  for (size_t i = 0; i < Functions.size(); ++i)
    if (Functions[i] && SameTextAscii(Functions[i]->Name, name)) return static_cast<int32_t>(i);
  return -1;
}

// ---------------------------------------------------------------------------
// Sub-morphs and properties

int32_t TQelMorph::AddChildMorph(std::string_view name) {
  if (name.empty()) return -1;
  int32_t existing = IndexOfChild(name);
  if (existing >= 0) return existing;
  if (!MorphLibrary) return -1;
  TQelMorph* m = MorphLibrary->GetMorph(MorphLibrary->IndexOf(name));
  if (!m) return -1;
  ChildMorphs.push_back(TChildMorph{m, TVector3{}});
  return static_cast<int32_t>(ChildMorphs.size()) - 1;
}

int32_t TQelMorph::IndexOfChild(std::string_view name) const {
  for (size_t i = 0; i < ChildMorphs.size(); ++i)
    if (ChildMorphs[i].Morph && SameTextAscii(ChildMorphs[i].Morph->Name, name)) return static_cast<int32_t>(i);
  return -1;
}

void TQelMorph::CollectSubMorphs(std::vector<TQelMorph*>& list) const {
  DepthGuard guard;
  if (guard.TooDeep()) return;
  for (const auto& c : ChildMorphs) {
    if (!c.Morph || c.Morph == this) continue;
    c.Morph->CollectSubMorphs(list);
    list.push_back(c.Morph);
  }
}

void TQelMorph::CollectMorphTree(std::vector<TQelMorph*>& list) {
  CollectSubMorphs(list);
  list.push_back(this);
}

int32_t TQelMorph::FindProperty(int32_t type, int32_t funcIndex, int32_t paramIndex) const {
  for (size_t i = 0; i < Properties.size(); ++i) {
    const TMorphProperty& p = Properties[i];
    if (p.Type == type && p.FuncIndex == funcIndex && p.ParamIndex == paramIndex) return static_cast<int32_t>(i);
  }
  return -1;
}

int32_t TQelMorph::AddProperty(int32_t type, const TVector3& from, int32_t paramIndex, int32_t funcIndex,
                               std::string_view subMorphName, const TVector3& to) {
  int32_t found = FindProperty(type, funcIndex, paramIndex);
  if (found >= 0) return found;
  TMorphProperty p;
  p.Type = type;
  p.FuncIndex = funcIndex;
  p.ParamIndex = paramIndex;
  TVector3 diff;
  SubVectors(to, from, 3, diff);
  if (VectorLengthSqr(diff, Dim) < 1e-12f) {
    p.SourceKind = SourceFixed;
    p.From = from;
  } else {
    p.SourceKind = SourceRange;
    p.From = from;
    p.To = to;
  }
  p.ChildIndex = -1;
  if (!subMorphName.empty()) {
    int32_t child = AddChildMorph(subMorphName);
    if (child >= 0) {
      p.ChildIndex = child;
      p.SourceKind = SourceSubMorph;
      ++ChildPropertyCount;
    }
  }
  Properties.push_back(p);
  return static_cast<int32_t>(Properties.size()) - 1;
}

void TQelMorph::SetPosition(const TVector3& v) {
  Position = v;
  HasPosition = 1;
}

void TQelMorph::SetScale(const TVector3& v) {
  Scale = v;
  HasScale = 1;
}

void TQelMorph::SetRotation(const TVector3& v) {
  if (Dim == 3) {
    float angles[3] = {v.x, v.y, v.z};
    Rotator->SetAngles(angles, 3);
    Matrix = Rotator->Matrix;
  } else {
    Rotation = v.x;
  }
  HasRotation = 1;
}

void TQelMorph::ApplyByType(int32_t type, const TVector3& value, int32_t paramIndex, int32_t funcIndex,
                            bool onlyThis) {
  switch (type) {
    case PropPosition:
      SetPosition(value);
      break;
    case PropRotation:
      SetRotation(value);
      break;
    case PropScale:
      SetScale(value);
      break;
    case PropStartTime:
      if (onlyThis)
        TimeOffset = Round(static_cast<double>(value.x) * 1000);
      else
        SetTimeOffset(Round(static_cast<double>(value.x) * 1000));
      break;
    case PropFuncParam:
      if (TQelMorphFunc* f = GetFunc(funcIndex)) f->SetParam(paramIndex, {value.x, value.y, value.z});
      break;
    default:
      break;
  }
}

void TQelMorph::SetPropertyValue(int32_t target, const TVector3& value, int32_t paramIndex, int32_t funcIndex) {
  if (target >= 0) {
    if (target >= PropertyCount()) return;
    const TMorphProperty p = Properties[static_cast<size_t>(target)];
    ApplyByType(p.Type, value, p.ParamIndex, p.FuncIndex, false);
    return;
  }
  if (target < TargetFuncParam) return;
  ApplyByType(-target - 1, value, paramIndex, funcIndex, false);
}

// ---------------------------------------------------------------------------
// Evaluation

bool TQelMorph::Init() {
  if (!TQelBaseObject::Init()) return false;
  DepthGuard guard;
  if (guard.TooDeep()) return true;
  int32_t at = WrapAdd(WrapAdd(StartTime, TimeOffset), Delay);
  for (auto& c : ChildMorphs) {
    if (!c.Morph || c.Morph == this) continue;
    if (!c.Morph->Init()) return false;
    c.Value = c.Morph->GetValue(at);
  }
  for (size_t i = 0; i < Properties.size(); ++i) {
    const TMorphProperty p = Properties[i];
    TVector3 v;
    switch (p.SourceKind) {
      case SourceRange:
        v = p.From;
        for (int k = 0; k < ClampDim(Dim); ++k)
          v[k] = static_cast<float>(p.From[k] + Random() * (static_cast<double>(p.To[k]) - p.From[k]));
        break;
      case SourceSubMorph:
        if (p.ChildIndex >= 0 && p.ChildIndex < static_cast<int32_t>(ChildMorphs.size()))
          v = ChildMorphs[static_cast<size_t>(p.ChildIndex)].Value;
        break;
      default:
        v = p.From;
        break;
    }
    ApplyByType(p.Type, v, p.ParamIndex, p.FuncIndex, true);
  }
  return true;
}

void TQelMorph::Evaluate(int32_t time, bool derivative, int n, TVector3& out) {
  out = TVector3{};
  DepthGuard guard;
  if (ChildPropertyCount > 0 && !guard.TooDeep()) {
    for (auto& c : ChildMorphs)
      if (c.Morph && c.Morph != this) c.Value = c.Morph->GetValue(time);
    for (size_t i = 0; i < Properties.size(); ++i) {
      const TMorphProperty p = Properties[i];
      if (p.SourceKind != SourceSubMorph || p.ChildIndex < 0 ||
          p.ChildIndex >= static_cast<int32_t>(ChildMorphs.size()))
        continue;
      ApplyByType(p.Type, ChildMorphs[static_cast<size_t>(p.ChildIndex)].Value, p.ParamIndex, p.FuncIndex, false);
    }
  }
  uint32_t local = static_cast<uint32_t>(time) - static_cast<uint32_t>(StartTime) + static_cast<uint32_t>(TimeOffset) +
                   static_cast<uint32_t>(Delay);
  double sum[3] = {0, 0, 0};
  for (const TQelMorphFunc* f : Functions) {
    if (!f) continue;
    TVector3 v;
    f->GetValue(local, derivative, v);
    for (int k = 0; k < 3; ++k) sum[k] += static_cast<double>(f->Weight) * v[k];
  }
  for (int k = 0; k < 3; ++k) out[k] = static_cast<float>(sum[k]);
  if (HasScale)
    for (int k = 0; k < 3; ++k) out[k] = out[k] * Scale[k];
  if (HasRotation) {
    if (n == 1)
      out.x = static_cast<float>(out.x * std::cos(static_cast<double>(Rotation)));
    else if (n == 2)
      RotateVector(out, TVector3{}, 2, out, Rotation);
    else if (n == 3)
      TransformPoint(out, Matrix, out);
  }
  if (HasPosition) AddVectors(out, Position, 3, out);
  for (int k = ClampDim(n); k < 3; ++k) out[k] = 0;
}

float TQelMorph::GetValue1D(int32_t time, bool derivative) {
  TVector3 v;
  Evaluate(time, derivative, 1, v);
  return v.x;
}

TVector3 TQelMorph::GetValue2D(int32_t time, bool derivative) {
  TVector3 v;
  Evaluate(time, derivative, 2, v);
  return v;
}

TVector3 TQelMorph::GetValue3D(int32_t time, bool derivative) {
  TVector3 v;
  Evaluate(time, derivative, 3, v);
  return v;
}

TVector3 TQelMorph::GetValue(int32_t time, bool derivative) {
  TVector3 v;
  Evaluate(time, derivative, ClampDim(Dim), v);
  return v;
}

// ---------------------------------------------------------------------------
// Libraries

namespace {

struct GlobalLibraries {
  // Members are destroyed in reverse order: the morphs go before the functions they use.
  std::unique_ptr<TQelMorphFuncLib> functions;
  std::unique_ptr<TQelMorphLib> morphs;
  GlobalLibraries() : functions(std::make_unique<TQelMorphFuncLib>()), morphs(std::make_unique<TQelMorphLib>()) {
    functions->SetName("GlobalFunctionsLibrary");
    morphs->SetName("GlobalMorphsLibrary");
  }
};

GlobalLibraries& Globals() {
  static GlobalLibraries g;
  return g;
}

}  // namespace

TQelMorphFuncLib* GlobalFunctionsLibrary() { return Globals().functions.get(); }
TQelMorphLib* GlobalMorphsLibrary() { return Globals().morphs.get(); }

int32_t AddFuncToLib(TQelMorphFuncLib* library, std::unique_ptr<TQelMorphFunc> function) {
  if (!library) throw Exception("[AddFuncToLib]: Library reference is invalid");
  if (!function) throw Exception("[AddFuncToLib]: Function reference is invalid");
  int32_t existing = library->IndexOf(function->Name);
  if (existing >= 0) return existing;  // the rejected duplicate is freed here
  function->Owned = 0;
  return library->Add(std::move(function));
}

int32_t AddMorphToLib(TQelMorphLib* library, std::unique_ptr<TQelMorph> morph) {
  if (!library) throw Exception("[AddMorphToLib]: Library reference is invalid");
  if (!morph) throw Exception("[AddMorphToLib]: Morph reference is invalid");
  int32_t existing = library->IndexOf(morph->Name);
  if (existing >= 0) return existing;
  return library->Add(std::move(morph));
}

std::unique_ptr<TQelMorphFunc> CreateFuncOfClass(std::string_view kind, std::string_view name, int32_t dim) {
  std::unique_ptr<TQelMorphFunc> f;
  if (kind == "constant")
    f = std::make_unique<TQelConstantFunc>();
  else if (kind == "piecewise")
    f = std::make_unique<TQelPiecewiseFunc>();
  else if (kind == "periodic")
    f = std::make_unique<TQelPeriodicFunc>();
  else if (kind == "parabolic")
    f = std::make_unique<TQelParabolicFunc>();
  else
    return nullptr;
  f->SetName(name);
  f->SetDim(dim);
  return f;
}

std::unique_ptr<TQelMorph> CreateMorph(std::string_view name, int32_t dim, int32_t startTime,
                                       TQelMorphLib* morphLibrary, TQelMorphFuncLib* functionLibrary,
                                       std::string_view rotationPattern) {
  auto m = TQelMorph::CreateNamed(name, dim);
  m->SetStartTime(startTime);
  if (morphLibrary) m->MorphLibrary = morphLibrary;
  if (functionLibrary) m->FunctionLibrary = functionLibrary;
  if (!rotationPattern.empty()) m->SetRotationPattern(rotationPattern);
  return m;
}

}  // namespace qv::fx
