// Time functions, path scripts, the rotator and morphs of the effects engine.
//
// A time function maps a time in milliseconds to a vector of one to three
// components; a morph sums weighted functions and scales, rotates and shifts
// the sum. Times handed to functions are unsigned 32-bit counts (a negative
// local time counts as a very large one).
//
// A belt (a morph of dimension 2 with one path function):
//
//   auto belt = std::make_unique<qv::fx::TQelMorph>();
//   belt->SetDim(2);
//   belt->AddPiecewiseFunc("Lenta", "Set Linear; Set Timing 1; Path (0, 0) (100, 0);", 1.0f);
//   auto* path = dynamic_cast<qv::fx::TQelPiecewiseFunc*>(belt->GetFunc(0));
//   int32_t length = qv::Round(path->TotalLength);        // pixels
//   uint32_t duration = path->TotalDuration;               // ms
//   qv::fx::TVector3 p = belt->GetValue2D(ageMs);          // p.x, p.y on the path
//
// A card flight aims a clone of an effect (see QelFXParticles.h):
//
//   auto* f = dynamic_cast<qv::fx::TQelPiecewiseFunc*>(effect->GetFunction(effect->IndexOfFunction("FContour")));
//   if (f) f->SetScript("Set Linear; Set Timing 0.3; Path (100,200) (300,400); Ending Stop;");
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "effects/Base.h"

namespace qv {
class TQelXMLTag;
}

namespace qv::fx {

class TQelMorph;
class TQelMorphFuncLib;
class TQelMorphLib;

// ---------------------------------------------------------------------------
// Time functions

class TQelMorphFunc : public TQelBaseObject {
 public:
  TQelMorphFunc();
  const char* ClassName() const override { return "TQelMorphFunc"; }
  TQelBaseObject* NewInstance() const override = 0;
  bool Assign(const TQelBaseObject* source) override;

  // Parameter index of a name ("Weight" is 0 on every kind); raises for names
  // the kind does not know (names are case-sensitive).
  virtual int32_t GetParamIdx(std::string_view name) const;
  // Sets a parameter from up to Dim values (fewer values set fewer components).
  virtual void SetParam(int32_t index, const std::vector<float>& values);
  void SetParamByName(std::string_view name, const std::vector<float>& values);
  // The first Dim components of the value (or of its derivative) at time ms.
  virtual void GetValue(uint32_t time, bool derivative, TVector3& out) const = 0;
  // Dim within 1..3, else raises.
  void SetDim(int32_t dim);
  int Dims() const { return ClampDim(Dim); }

  uint8_t Dim = 2;
  // 1: the function belongs to the morph that holds it; 0: to a library.
  uint8_t Owned = 1;
  float Weight = 1.0f;
};

class TQelConstantFunc : public TQelMorphFunc {
 public:
  TQelConstantFunc() { SetDefaultName(); }
  const char* ClassName() const override { return "TQelConstantFunc"; }
  TQelBaseObject* NewInstance() const override { return new TQelConstantFunc(); }
  bool Assign(const TQelBaseObject* source) override;
  int32_t GetParamIdx(std::string_view name) const override;
  void SetParam(int32_t index, const std::vector<float>& values) override;
  void GetValue(uint32_t time, bool derivative, TVector3& out) const override;

  TVector3 Value;
};

class TQelParabolicFunc : public TQelMorphFunc {
 public:
  TQelParabolicFunc() { SetDefaultName(); }
  const char* ClassName() const override { return "TQelParabolicFunc"; }
  TQelBaseObject* NewInstance() const override { return new TQelParabolicFunc(); }
  bool Assign(const TQelBaseObject* source) override;
  int32_t GetParamIdx(std::string_view name) const override;
  void SetParam(int32_t index, const std::vector<float>& values) override;
  // P + V t + A t² per component, t in seconds (a full A t², as effect files expect).
  void GetValue(uint32_t time, bool derivative, TVector3& out) const override;

  TVector3 StartPosition, StartVelocity, Acceleration;
};

// One axis of a periodic function: g1 sin(a1 t + b1 [+ g3 sin(a3 t + b3)]) [* sin(a2 t + b2)] + c.
struct TPeriodicAxis {
  uint8_t HasSecondFactor = 0;
  uint8_t HasInner = 0;
  float g1 = 0, a1 = 0, b1 = 0, a2 = 0, b2 = 0, g3 = 0, a3 = 0, b3 = 0, c = 0;
  // Coefficient by parameter index 1..9.
  float& Coef(int32_t index);
};

class TQelPeriodicFunc : public TQelMorphFunc {
 public:
  TQelPeriodicFunc();
  const char* ClassName() const override { return "TQelPeriodicFunc"; }
  TQelBaseObject* NewInstance() const override { return new TQelPeriodicFunc(); }
  bool Assign(const TQelBaseObject* source) override;
  int32_t GetParamIdx(std::string_view name) const override;
  void SetParam(int32_t index, const std::vector<float>& values) override;
  void GetValue(uint32_t time, bool derivative, TVector3& out) const override;

  // Formula text such as "2*sin(3t+1)*cos(0.5t)+4"; raises on bad text (the
  // axis keeps what was read before the error).
  void SetXFormula(std::string_view text) { SetFormula(0, text); }
  void SetYFormula(std::string_view text) { SetFormula(1, text); }
  void SetZFormula(std::string_view text) { SetFormula(2, text); }
  void SetFormula(int axis, std::string_view text);

  TPeriodicAxis Axes[3];
};

// ---------------------------------------------------------------------------
// Piecewise path function

struct TPathSegment {
  uint32_t Duration = 0;
  float Length = 0;
  uint8_t Kind = 0;  // 0 straight, 1 cubic Bezier
  TBezierPoints Points;
  TVector3 P0() const { return {Points.At(0, 0), Points.At(1, 0), Points.At(2, 0)}; }
  TVector3 C1() const { return {Points.At(0, 1), Points.At(1, 1), Points.At(2, 1)}; }
  TVector3 C2() const { return {Points.At(0, 2), Points.At(1, 2), Points.At(2, 2)}; }
  TVector3 P3() const { return {Points.At(0, 3), Points.At(1, 3), Points.At(2, 3)}; }
  void SetPoint(int k, const TVector3& v, int n);
};

// A node of a path script: a point and the settings of the segment that starts there.
struct TPathNode {
  float Timing = 1.0f, FirstAngle = 0, SecondAngle = 0, PosCorrectionFirst = 1.0f, PosCorrectionSecond = 1.0f;
  float X = 0, Y = 0, Z = 0;
  uint8_t Bezier = 1;
};

enum : uint8_t { EndingStop = 0, EndingLoop = 1, EndingReverseStop = 2, EndingReverse = 3 };

class TQelPiecewiseFunc : public TQelMorphFunc {
 public:
  TQelPiecewiseFunc();
  ~TQelPiecewiseFunc() override;
  const char* ClassName() const override { return "TQelPiecewiseFunc"; }
  TQelBaseObject* NewInstance() const override { return new TQelPiecewiseFunc(); }
  static std::unique_ptr<TQelPiecewiseFunc> CreateFromScript(std::string_view name, std::string_view script,
                                                             int32_t dim);
  bool Assign(const TQelBaseObject* source) override;

  // "[n]" is path node n ("[0]" the weight); other names go to the base.
  int32_t GetParamIdx(std::string_view name) const override;
  // Index above 0 moves that path node.
  void SetParam(int32_t index, const std::vector<float>& values) override;
  void GetValue(uint32_t time, bool derivative, TVector3& out) const override;

  void ResetAll();
  // Parses a path script and appends its segments; the settings it makes stay
  // for the next script. An empty script changes nothing.
  void SetScript(std::string_view script);
  int32_t SegmentCount() const { return static_cast<int32_t>(Segments.size()); }
  void AppendSegment(uint8_t kind, const TVector3& p0, const TVector3& p3);
  void SetDuration(int32_t segment, uint32_t ms);
  void SetSpeed(int32_t segment, float speed);
  void SmoothJoint(int32_t node, float factorIn, float factorOut, float angleIn, float angleOut);
  // Segment index at time (or -1) and the fraction within it.
  void FindSegment(uint32_t time, int32_t& segment, float& fraction) const;

  std::vector<TPathSegment> Segments;
  uint32_t TotalDuration = 0;
  float TotalLength = 0;
  int32_t NodeCount = 0;
  TVector3 EndValue;
  uint8_t Ending = EndingStop;
  float Timing = 1.0f, FirstAngle = 0, SecondAngle = 0, PosCorrectionFirst = 1.0f, PosCorrectionSecond = 1.0f;
  uint8_t Bezier = 1;

 private:
  struct NodeRef {
    int32_t in = -1, out = -1;  // segments ending / starting at the node
    bool freeEnd = false;       // `out` is the segment whose free end this is
  };
  bool LocateNode(int32_t node, NodeRef& ref) const;
  void RecomputeLength(int32_t segment);
  void ParseSet(const std::string& body);
  void ParsePath(const std::string& body, std::vector<TPathNode>& nodes) const;
  void ParseEnding(const std::string& body);
  void Compile(const std::vector<TPathNode>& nodes);
};

// ---------------------------------------------------------------------------
// Rotator

struct TRotationItem {
  char Axis = 'X';
  float Angle = 0;
  uint8_t ParamIndex = 0;  // 0 fixed, 1..3 the angle is that component of the input
  int32_t NextDriven = 2147483647;
  TVector3 Offset;
  TMatrix4 ItemMatrix;  // the product of the item matrices up to and including this one
};

class TQelRotator : public TQelBaseObject {
 public:
  TQelRotator();
  const char* ClassName() const override { return "TQelRotator"; }
  TQelBaseObject* NewInstance() const override { return new TQelRotator(); }
  bool Assign(const TQelBaseObject* source) override;

  int32_t ItemCount() const { return static_cast<int32_t>(Items.size()); }
  void ClearItems();
  void AddItem(char axis, uint8_t paramIndex, float x, float y, float z, float angle);
  void SetAngles(const float* values, int32_t count);
  // "(0, 0, 10); Z[1]; X=1.5708": offsets in brackets, items axis[input]=angle.
  void SetRotationPattern(std::string_view text);

  std::vector<TRotationItem> Items;
  TMatrix4 Matrix;

 private:
  void Recompute(size_t from);
};

// ---------------------------------------------------------------------------
// Morph

struct TChildMorph {
  TQelMorph* Morph = nullptr;  // in the morph library, not owned
  TVector3 Value;
};

enum : int32_t { PropPosition = 0, PropRotation = 1, PropScale = 2, PropStartTime = 3, PropFuncParam = 4 };
enum : int32_t {
  TargetPosition = -1,
  TargetRotation = -2,
  TargetScale = -3,
  TargetStartTime = -4,
  TargetFuncParam = -5
};
enum : uint8_t { SourceFixed = 0, SourceRange = 1, SourceSubMorph = 2 };

struct TMorphProperty {
  int32_t Type = 0;
  int32_t FuncIndex = -1;
  int32_t ParamIndex = -1;
  uint8_t SourceKind = SourceFixed;
  TVector3 From, To;
  int32_t ChildIndex = -1;
};

class TQelMorph : public TQelBaseObject {
 public:
  TQelMorph();
  ~TQelMorph() override;
  const char* ClassName() const override { return "TQelMorph"; }
  TQelBaseObject* NewInstance() const override { return new TQelMorph(); }
  static std::unique_ptr<TQelMorph> CreateNamed(std::string_view name, int32_t dim);
  // Binds both libraries, then Assign; false for a missing source.
  static bool AssignWithLibraries(TQelMorph* morph, const TQelMorph* source, TQelMorphFuncLib* functionLibrary,
                                  TQelMorphLib* morphLibrary);

  // Copies settings and rotator; owned functions are copied from the source's
  // own function (weight, parameters and path kept), shared ones are looked up
  // by name in this morph's function library; properties and sub-morphs are
  // re-bound to this morph's libraries.
  bool Assign(const TQelBaseObject* source) override;
  // Draws random ranges and takes sub-morph values.
  bool Init() override;

  void SetDim(int32_t d);
  int32_t FuncCount() const { return static_cast<int32_t>(Functions.size()); }
  TQelMorphFunc* GetFunc(int32_t index) const;
  bool OwnsFunc(int32_t index) const;
  void SetStartTime(int32_t ms);
  void SetTimeOffset(int32_t ms);
  void SetRotationPattern(std::string_view text);

  // A shared reference (not owned); -1 for nullptr or a Dim other than the morph's.
  int32_t AddFunc(TQelMorphFunc* function);
  // Takes ownership (Owned := 1); the function is freed when it cannot be added.
  int32_t AddFunc(std::unique_ptr<TQelMorphFunc> function);
  int32_t AddClonedFunc(const TQelMorphFunc* function);
  int32_t AddFuncByName(std::string_view name);
  int32_t AddClonedFuncByName(std::string_view name);
  // A new owned path function made from the script with the morph's Dim.
  int32_t AddPiecewiseFunc(std::string_view name, std::string_view script, float weight);
  int32_t IndexOfFunc(std::string_view name) const;

  int32_t AddChildMorph(std::string_view name);
  int32_t IndexOfChild(std::string_view name) const;
  // Every sub-morph of the tree, each morph's own sub-morphs before itself.
  void CollectSubMorphs(std::vector<TQelMorph*>& list) const;
  void CollectMorphTree(std::vector<TQelMorph*>& list);

  int32_t FindProperty(int32_t type, int32_t funcIndex, int32_t paramIndex) const;
  int32_t AddProperty(int32_t type, const TVector3& from, int32_t paramIndex, int32_t funcIndex,
                      std::string_view subMorphName, const TVector3& to);
  int32_t PropertyCount() const { return static_cast<int32_t>(Properties.size()); }
  void SetPropertyValue(int32_t target, const TVector3& value, int32_t paramIndex, int32_t funcIndex);
  void SetPosition(const TVector3& v);
  void SetScale(const TVector3& v);
  void SetRotation(const TVector3& v);

  // Value at time ms (game clock): the weighted sum of the functions at the
  // local time, scaled, rotated and shifted by the settings that are set.
  float GetValue1D(int32_t time, bool derivative = false);
  TVector3 GetValue2D(int32_t time, bool derivative = false);
  TVector3 GetValue3D(int32_t time, bool derivative = false);
  // By the morph's own Dim.
  TVector3 GetValue(int32_t time, bool derivative = false);

  // Reads one <Function> child of <Functions> / one <Property> child of <Properties>.
  void AddFuncByTag(const TQelXMLTag& tag);
  void AddParamByTag(const TQelXMLTag& tag);

  uint8_t Dim = 2;
  int32_t StartTime = 0;
  int32_t TimeOffset = 0;
  int32_t Delay = 0;
  TQelMorphFuncLib* FunctionLibrary = nullptr;
  std::vector<TQelMorphFunc*> Functions;
  TVector3 Scale{1, 1, 1};
  TVector3 Position;
  float Rotation = 0;
  TMatrix4 Matrix;
  std::unique_ptr<TQelRotator> Rotator;
  std::vector<TMorphProperty> Properties;
  int32_t ChildPropertyCount = 0;
  TQelMorphLib* MorphLibrary = nullptr;
  std::vector<TChildMorph> ChildMorphs;
  uint8_t HasScale = 0, HasRotation = 0, HasPosition = 0;

 private:
  void Evaluate(int32_t time, bool derivative, int n, TVector3& out);
  void ApplyByType(int32_t type, const TVector3& value, int32_t paramIndex, int32_t funcIndex, bool onlyThis);
  void ClearFunctions();
  std::vector<std::unique_ptr<TQelMorphFunc>> owned_;  // parallel to Functions; empty where shared
};

// ---------------------------------------------------------------------------
// Libraries

class TQelMorphFuncLib : public TQelStaticCollection {
 public:
  TQelMorphFuncLib() { SetDefaultName(); }
  const char* ClassName() const override { return "TQelMorphFuncLib"; }
  TQelBaseObject* NewInstance() const override { return new TQelMorphFuncLib(); }
  TQelMorphFunc* GetFunc(int32_t index) const { return dynamic_cast<TQelMorphFunc*>(GetItem(index)); }
};

class TQelMorphLib : public TQelStaticCollection {
 public:
  TQelMorphLib() { SetDefaultName(); }
  const char* ClassName() const override { return "TQelMorphLib"; }
  TQelBaseObject* NewInstance() const override { return new TQelMorphLib(); }
  TQelMorph* GetMorph(int32_t index) const { return dynamic_cast<TQelMorph*>(GetItem(index)); }
};

// The two process-wide libraries ("GlobalFunctionsLibrary", "GlobalMorphsLibrary").
TQelMorphFuncLib* GlobalFunctionsLibrary();
TQelMorphLib* GlobalMorphsLibrary();

// Adds to the library (which then owns the item, Owned := 0) unless it already
// holds an item of that name: then that index is answered and the new item freed.
int32_t AddFuncToLib(TQelMorphFuncLib* library, std::unique_ptr<TQelMorphFunc> function);
int32_t AddMorphToLib(TQelMorphLib* library, std::unique_ptr<TQelMorph> morph);

// "constant", "piecewise", "periodic", "parabolic"; nullptr for another class name.
std::unique_ptr<TQelMorphFunc> CreateFuncOfClass(std::string_view kind, std::string_view name, int32_t dim);
std::unique_ptr<TQelMorph> CreateMorph(std::string_view name, int32_t dim, int32_t startTime,
                                       TQelMorphLib* morphLibrary, TQelMorphFuncLib* functionLibrary,
                                       std::string_view rotationPattern);
// nullptr for a tag of another name; raises on a faulty tag.
std::unique_ptr<TQelMorphFunc> CreateMorphFuncByTag(const TQelXMLTag& tag);
std::unique_ptr<TQelMorph> CreateMorphByTag(const TQelXMLTag& tag, TQelMorphFuncLib* functionLibrary,
                                            TQelMorphLib* morphLibrary);

}  // namespace qv::fx
