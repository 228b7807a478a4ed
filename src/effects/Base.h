// The effects engine's own object family: a small base object with a name, a
// virtual constructor, a copy operation and an initialisation step, and the
// owning, name-indexed collection the effect libraries are made of. Beside them
// the single-precision vector and matrix maths the time functions use and the
// text form of vectors "(x, y, z)".
//
// This family is unrelated to the object model's TQelObject: it has no engine,
// no class registry and no published properties.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace qv::fx {

// ---------------------------------------------------------------------------
// Base object and collection

class TQelBaseObject {
 public:
  // Names are short strings: longer ones keep their first 32 characters.
  static constexpr size_t MaxNameLength = 32;

  TQelBaseObject();
  virtual ~TQelBaseObject() = default;
  TQelBaseObject(const TQelBaseObject&) = delete;
  TQelBaseObject& operator=(const TQelBaseObject&) = delete;

  // The class name ("TQelMorph"); the default name and messages use it.
  virtual const char* ClassName() const { return "TQelBaseObject"; }
  // The virtual constructor: a new, default-constructed object of this class.
  virtual TQelBaseObject* NewInstance() const { return new TQelBaseObject(); }

  virtual void SetName(std::string_view name);
  // Copies the source's fields; false (and nothing changed) for a missing
  // source or, in subclasses, a source of another class.
  virtual bool Assign(const TQelBaseObject* source);
  // Prepares the object for use; false when that failed.
  virtual bool Init() { return true; }

  std::string Name;

 protected:
  // "<class without its first letter>_Default"; every constructor of a class
  // that overrides ClassName calls it so that the default name is its own.
  void SetDefaultName();
};

// A new object of the source's own class made a copy of it; nullptr when the
// source is missing or the copy fails.
std::unique_ptr<TQelBaseObject> CloneObject(const TQelBaseObject* source);

template <class T>
std::unique_ptr<T> CloneAs(const T* source) {
  auto clone = CloneObject(source);
  if (!clone) return nullptr;
  T* typed = dynamic_cast<T*>(clone.get());
  if (!typed) return nullptr;
  clone.release();
  return std::unique_ptr<T>(typed);
}

// Owns its items; a slot may be empty (nullptr): such slots are counted, kept
// by Assign and passed over by every walk.
class TQelStaticCollection : public TQelBaseObject {
 public:
  TQelStaticCollection();
  ~TQelStaticCollection() override;
  const char* ClassName() const override { return "TQelStaticCollection"; }
  TQelBaseObject* NewInstance() const override { return new TQelStaticCollection(); }

  int32_t Count() const { return static_cast<int32_t>(Items.size()); }
  // nullptr outside 0 .. Count-1.
  TQelBaseObject* GetItem(int32_t index) const;
  // Appends (an empty item allowed) and returns the new index.
  int32_t Add(std::unique_ptr<TQelBaseObject> item);
  // First present item whose name matches without regard to ASCII case; -1 when none.
  int32_t IndexOf(std::string_view name) const;
  // Calls callback for every present slot from index 0 and stops at the first
  // call that answers false; answers whether the walk went to the end.
  bool ForEach(const std::function<bool(std::unique_ptr<TQelBaseObject>& slot)>& callback);
  void Clear();
  // Removes the slot and returns its item to the caller.
  std::unique_ptr<TQelBaseObject> Extract(int32_t index);

  bool Assign(const TQelBaseObject* source) override;
  bool Init() override;

  std::vector<std::unique_ptr<TQelBaseObject>> Items;
};

// The diagnostic line writer. It stays switched off in this program, so the
// lines composed for it are dropped; the switch exists for debugging builds.
extern bool FxLogEnabled;
// Failure codes are negative; E_FAIL of the platform.
constexpr int32_t FxFailCode = static_cast<int32_t>(0x80004005u);
// The composed line ("ERROR (code n): text"), also when the writer is off.
std::string ComposeLogLine(int32_t code, std::string_view text);
void WriteLogLine(int32_t code, std::string_view text, bool lineEnd, bool withDate);

// ---------------------------------------------------------------------------
// Vectors and matrices (single precision; n = 1..3 selects the first components)

struct TVector3 {
  float x = 0, y = 0, z = 0;
  float& operator[](int i) { return i == 0 ? x : (i == 1 ? y : z); }
  float operator[](int i) const { return i == 0 ? x : (i == 1 ? y : z); }
  bool operator==(const TVector3&) const = default;
};

struct TMatrix3 {
  float m[3][3] = {};
};

// Row-major; points are row vectors, row 3 is the translation.
struct TMatrix4 {
  float m[4][4] = {};
};

struct TQuaternion {
  float x = 0, y = 0, z = 0, w = 0;
};

// One cubic Bezier segment per axis: X[0..3], Y[0..3], Z[0..3] with index 0
// the start, 1 and 2 the controls and 3 the end.
struct TBezierPoints {
  float p[12] = {};
  float& At(int axis, int k) { return p[axis * 4 + k]; }
  float At(int axis, int k) const { return p[axis * 4 + k]; }
};

// Clamps a dimension argument to 0..3 so no loop can leave the vector.
inline int ClampDim(int n) { return n < 0 ? 0 : (n > 3 ? 3 : n); }

TVector3 MakeVector(float x, float y, float z);
float VectorLength(const TVector3& v, int n);
float VectorLengthSqr(const TVector3& v, int n);
// Outputs may alias inputs in every operation below.
void NormalizeVector(TVector3 v, int n, TVector3& out);
void AddVectors(TVector3 a, TVector3 b, int n, TVector3& out);
void SubVectors(TVector3 a, TVector3 b, int n, TVector3& out);
void ScaleVector(TVector3 v, int n, TVector3& out, float k);
float DotProduct(const TVector3& a, const TVector3& b, int n);
void LerpVectors(TVector3 a, TVector3 b, int n, TVector3& out, float t);
void CrossProduct(TVector3 a, TVector3 b, TVector3& out);
void MatrixTimesVector(TVector3 v, const TMatrix4& m, int n, TVector3& out);
void TransformPoint(TVector3 p, const TMatrix4& m, TVector3& out);
void AxisAngleToQuaternion(const TVector3& axis, TQuaternion& q, float angle);
void QuaternionToMatrix(const TQuaternion& q, TMatrix4& m);
// Turns v by angle (radians): n = 1 scales x by cos; n = 2 gives
// (x cos a + y sin a, -x sin a + y cos a), counter-clockwise on a screen whose
// y grows downward; n = 3 turns about axis.
void RotateVector(TVector3 v, const TVector3& axis, int n, TVector3& out, float angle);
void IdentityMatrix3(TMatrix3& m);
void IdentityMatrix4(TMatrix4& m);
// out[i][j] = sum over k below n of a[i][k] * b[k][j] (n up to 4).
void MultiplyMatrices(TMatrix4 a, TMatrix4 b, int n, TMatrix4& out);
void AxisRotationMatrix(char letter, TMatrix4& m, float angle);
void AxisTransformMatrix(char letter, TMatrix4& m, float angle, float x, float y, float z);
void SplitBezier(TBezierPoints points, TBezierPoints& left, TBezierPoints& right, int n);
// Arc length by halving until the control polygon and the chord agree within
// tolerance (the polygon length is taken then).
float BezierLength(const TBezierPoints& points, int n, float tolerance);

// ---------------------------------------------------------------------------
// Text

int32_t CountChar(std::string_view text, char c);
// Splits at delimiter; with stripBrackets only what lies between the first "("
// and the last ")" is split. When count is 0 on entry it is preset from the
// number of delimiters; on return it is the number of parts.
void SplitString(std::string_view text, char delimiter, std::vector<std::string>& parts, int32_t& count,
                 bool stripBrackets);
// "(x, y, z)" (brackets optional, one to three numbers) into out; raises
// EConvertError with the parser texts on bad input.
void StrToVect(std::string_view text, TVector3& out);
TVector3 StrToVect(std::string_view text);
// A float with "." as separator (blanks around it allowed); raises
// EConvertError "'<text>' is not a valid floating point value" for anything
// else, an overflow to infinity included.
double FxStrToFloat(std::string_view text);
// As FxStrToFloat, but 0 where that would raise.
double FxStrToFloatDef(std::string_view text);

}  // namespace qv::fx
