// The engine's object model: named objects owned by an engine, created by
// class name through one class registry, and published properties that are
// read and set by name with text values (the interface description, the font
// files, language files and the shell's "SetProp" all work through these).
//
// A class publishes its properties by giving its class record a publishing
// function; the record starts from the base class's list, so a widget has the
// properties of all its ancestors:
//
//   const TQelClass& TQelLabel::StaticClass() {
//     static const TQelClass cls = TQelClass::Make<TQelLabel>(
//         "TQelLabel", &TQelInterfaceObject::StaticClass(), [](TPropertyList& p) {
//           p.String("FontName", &TQelLabel::FontName, &TQelLabel::SetFontName);
//           p.Integer("Alpha", &TQelLabel::Alpha);
//           p.Enum("Alignment", &TQelLabel::Alignment, {"taLeft", "taCenter", "taRight", "taJustify"});
//           p.Bool("Floating", &TQelLabel::Floating);
//         });
//     return cls;
//   }
//   const TQelClass& TQelLabel::ClassType() const { return StaticClass(); }
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <type_traits>
#include <variant>
#include <vector>

namespace qv {

class TQelObject;
class TQelEngine;

// A property value as read by name: empty, an integer (integer and character
// properties), a float, a text (8-bit strings, and enumerations, booleans and
// sets by their names) or a wide text.
using TPropValue = std::variant<std::monostate, int32_t, double, std::string, std::u16string>;

// The value as text that setting the property by name reads back (integers in
// decimal, floats with ".", wide text as UTF-8, empty for an empty value).
std::string PropValueToText(const TPropValue& value);

enum class TPropKind { Integer, Char, Enum, Bool, Set, Float, String, WideString };

namespace detail {

template <class P> struct MemberTraits;
template <class C, class M> struct MemberTraits<M C::*> {
  using Class = C;
  using Value = M;
};
template <class C, class R> struct MemberTraits<R (C::*)() const> {
  using Class = C;
  using Value = std::decay_t<R>;
};
template <class C, class R> struct MemberTraits<R (C::*)() const noexcept> {
  using Class = C;
  using Value = std::decay_t<R>;
};
template <class C, class A> struct MemberTraits<void (C::*)(A)> {
  using Class = C;
  using Value = std::decay_t<A>;
};
template <class C, class A> struct MemberTraits<void (C::*)(A) noexcept> {
  using Class = C;
  using Value = std::decay_t<A>;
};

// Reads a field or calls a getter, giving the value as V.
template <class V, class G>
std::function<V(const TQelObject&)> MakeReader(G get) {
  if constexpr (std::is_null_pointer_v<G>) {
    return nullptr;
  } else {
    using C = typename MemberTraits<G>::Class;
    if constexpr (std::is_member_object_pointer_v<G>) {
      return [get](const TQelObject& o) { return static_cast<V>(static_cast<const C&>(o).*get); };
    } else {
      return [get](const TQelObject& o) { return static_cast<V>((static_cast<const C&>(o).*get)()); };
    }
  }
}

// Stores into a field or calls a setter with a value given as V.
template <class V, class S>
std::function<void(TQelObject&, const V&)> MakeWriter(S set) {
  if constexpr (std::is_null_pointer_v<S>) {
    return nullptr;
  } else {
    using C = typename MemberTraits<S>::Class;
    using M = typename MemberTraits<S>::Value;
    if constexpr (std::is_member_object_pointer_v<S>) {
      return [set](TQelObject& o, const V& v) { static_cast<C&>(o).*set = static_cast<M>(v); };
    } else {
      return [set](TQelObject& o, const V& v) { (static_cast<C&>(o).*set)(static_cast<M>(v)); };
    }
  }
}

}  // namespace detail

// One published property: its name, kind, enumeration names (enumerations
// and the members of sets, in ordinal order) and the two accessors. A
// property without a getter reads as an empty value; one without a setter
// refuses to be set.
struct TPropInfo {
  std::string Name;
  TPropKind Kind = TPropKind::Integer;
  std::vector<std::string> EnumNames;
  std::function<TPropValue(const TQelObject&)> Get;
  std::function<void(TQelObject&, std::string_view text)> Set;
};

// The published properties of a class, in declaration order, the base
// class's first. Names compare without regard to ASCII case; a property
// published again under a name already present replaces the earlier entry.
//
// Accessors are member pointers of the class or of a base class: a field
// (`&TQelLabel::Alpha`, read and written as is), a getter `R (C::*)() const`
// or a setter `void (C::*)(A)`, or nullptr for a write-only or read-only
// property. With one accessor the field is both read and written.
class TPropertyList {
 public:
  const std::vector<TPropInfo>& Items() const { return FItems; }
  // The property of that name, or none.
  const TPropInfo* Find(std::string_view name) const;

  // Signed 32-bit from decimal text; narrower fields keep the low bits.
  template <class G, class S> TPropertyList& Integer(std::string name, G get, S set) {
    return AddInteger(std::move(name), detail::MakeReader<int32_t>(get), detail::MakeWriter<int32_t>(set));
  }
  template <class F> TPropertyList& Integer(std::string name, F field) { return Integer(std::move(name), field, field); }

  // A character set and read as its code in decimal.
  template <class G, class S> TPropertyList& Char(std::string name, G get, S set) {
    return AddChar(std::move(name), detail::MakeReader<unsigned char>(get), detail::MakeWriter<int32_t>(set));
  }
  template <class F> TPropertyList& Char(std::string name, F field) { return Char(std::move(name), field, field); }

  // An enumeration written by the names of its values, in ordinal order.
  template <class G, class S>
  TPropertyList& Enum(std::string name, G get, S set, std::vector<std::string> names) {
    return AddEnum(std::move(name), std::move(names), detail::MakeReader<int32_t>(get),
                   detail::MakeWriter<int32_t>(set));
  }
  template <class F> TPropertyList& Enum(std::string name, F field, std::vector<std::string> names) {
    return Enum(std::move(name), field, field, std::move(names));
  }

  // A boolean written "False" or "True".
  template <class G, class S> TPropertyList& Bool(std::string name, G get, S set) {
    return AddBool(std::move(name), detail::MakeReader<bool>(get), detail::MakeWriter<bool>(set));
  }
  template <class F> TPropertyList& Bool(std::string name, F field) { return Bool(std::move(name), field, field); }

  // A set of up to 32 members, bit i standing for names[i], written as a
  // bracketed, comma-separated list of names.
  template <class G, class S>
  TPropertyList& Set(std::string name, G get, S set, std::vector<std::string> names) {
    return AddSet(std::move(name), std::move(names), detail::MakeReader<uint32_t>(get),
                  detail::MakeWriter<uint32_t>(set));
  }
  template <class F> TPropertyList& Set(std::string name, F field, std::vector<std::string> names) {
    return Set(std::move(name), field, field, std::move(names));
  }

  // A float from decimal text with a point.
  template <class G, class S> TPropertyList& Float(std::string name, G get, S set) {
    return AddFloat(std::move(name), detail::MakeReader<double>(get), detail::MakeWriter<double>(set));
  }
  template <class F> TPropertyList& Float(std::string name, F field) { return Float(std::move(name), field, field); }

  // An 8-bit string, taken as it stands.
  template <class G, class S> TPropertyList& String(std::string name, G get, S set) {
    return AddString(std::move(name), detail::MakeReader<std::string>(get), detail::MakeWriter<std::string>(set));
  }
  template <class F> TPropertyList& String(std::string name, F field) { return String(std::move(name), field, field); }

  // A wide string, set from UTF-8 text.
  template <class G, class S> TPropertyList& WideString(std::string name, G get, S set) {
    return AddWideString(std::move(name), detail::MakeReader<std::u16string>(get),
                         detail::MakeWriter<std::u16string>(set));
  }
  template <class F> TPropertyList& WideString(std::string name, F field) {
    return WideString(std::move(name), field, field);
  }

 private:
  template <class V> using Reader = std::function<V(const TQelObject&)>;
  template <class V> using Writer = std::function<void(TQelObject&, const V&)>;

  TPropertyList& Add(TPropInfo info);
  TPropertyList& AddInteger(std::string name, Reader<int32_t> get, Writer<int32_t> set);
  TPropertyList& AddChar(std::string name, Reader<unsigned char> get, Writer<int32_t> set);
  TPropertyList& AddEnum(std::string name, std::vector<std::string> names, Reader<int32_t> get, Writer<int32_t> set);
  TPropertyList& AddBool(std::string name, Reader<bool> get, Writer<bool> set);
  TPropertyList& AddSet(std::string name, std::vector<std::string> names, Reader<uint32_t> get,
                        Writer<uint32_t> set);
  TPropertyList& AddFloat(std::string name, Reader<double> get, Writer<double> set);
  TPropertyList& AddString(std::string name, Reader<std::string> get, Writer<std::string> set);
  TPropertyList& AddWideString(std::string name, Reader<std::u16string> get, Writer<std::u16string> set);

  std::vector<TPropInfo> FItems;
};

// A class reference: the class name, the virtual constructor and the
// published properties (the base class's followed by the class's own).
class TQelClass {
 public:
  using Factory = std::unique_ptr<TQelObject> (*)();
  using Publisher = std::function<void(TPropertyList&)>;

  TQelClass(std::string name, Factory factory, const TQelClass* base, const Publisher& publish);

  // The record of class T; abstract classes get no constructor.
  template <class T>
  static TQelClass Make(std::string name, const TQelClass* base, const Publisher& publish = nullptr) {
    Factory factory = nullptr;
    if constexpr (!std::is_abstract_v<T>) {
      factory = []() -> std::unique_ptr<TQelObject> { return std::make_unique<T>(); };
    }
    return TQelClass(std::move(name), factory, base, publish);
  }

  const std::string& Name() const { return FName; }
  const TQelClass* Base() const { return FBase; }
  const TPropertyList& Properties() const { return FProperties; }
  // A new object of this class with its fields as its constructor leaves
  // them; none for an abstract class.
  std::unique_ptr<TQelObject> Create() const;

 private:
  std::string FName;
  Factory FFactory;
  const TQelClass* FBase;
  TPropertyList FProperties;
};

// A named object of an engine. Published: ParentName, Name, Tag.
class TQelObject {
 public:
  TQelObject() = default;
  virtual ~TQelObject() = default;
  TQelObject(const TQelObject&) = delete;
  TQelObject& operator=(const TQelObject&) = delete;

  static const TQelClass& StaticClass();
  // The record of the object's own class; every class overrides it.
  virtual const TQelClass& ClassType() const;
  // The exact name of the object's own class (not an "is a" test).
  const std::string& ClassName() const { return ClassType().Name(); }
  const TPropertyList& Properties() const { return ClassType().Properties(); }

  // Copies Tag and Engine (not the names).
  virtual void Assign(const TQelObject& source);
  // Renames unless another object of the same engine has that name; a clash
  // is logged and the name stays.
  virtual void SetName(const std::string& value);
  const std::string& Name() const { return FName; }

  void SetEngine(TQelEngine* engine) { FEngine = engine; }
  TQelEngine* GetEngine() const { return FEngine; }
  // The object named by ParentName, as the last LinkParent found it.
  TQelObject* Parent() const { return FParent; }
  // Parent := the engine's object named ParentName (none without an engine).
  void LinkParent();

  std::string ParentName;
  int32_t Tag = 0;

 private:
  friend class TQelEngine;
  std::string FName;
  TQelEngine* FEngine = nullptr;
  TQelObject* FParent = nullptr;
};

// Sets a published property from text. Unknown names fail with
// "Property <name> does not exist"; values that do not convert fail with the
// conversion error (EConvertError).
void SetPropValue(TQelObject& object, std::string_view propName, std::string_view value);
// A published property's value, enumerations and sets by their names.
TPropValue GetPropValue(const TQelObject& object, std::string_view propName);

// Holds named objects, in creation order, and frees them.
class TQelEngine {
 public:
  TQelEngine() = default;
  virtual ~TQelEngine();
  TQelEngine(const TQelEngine&) = delete;
  TQelEngine& operator=(const TQelEngine&) = delete;

  const std::vector<std::unique_ptr<TQelObject>>& Objects() const { return FObjects; }
  int Count() const { return static_cast<int>(FObjects.size()); }

  // Appends and takes ownership; returns the new index.
  int AddObject(std::unique_ptr<TQelObject> object);
  // Creates an object of the registered class ClassName (exact name) with the
  // given names; -1 when no such class is registered. The object stays even
  // when its name is refused.
  int CreateObject(const std::string& name, const std::string& parentName, const std::string& className);
  // First object whose name equals name exactly; -1 / none when absent.
  int IndexOfObject(std::string_view name) const;
  TQelObject* FindObject(std::string_view name) const;
  // Frees the object and closes the gap; no object keeps it as Parent. An
  // index outside the list does nothing.
  void DeleteObjectAt(int index);
  virtual void DeleteObject(const std::string& name);
  // Frees every object.
  virtual void Clear();
  void LinkParents();

  // False (and nothing happens) when no object has that name; property
  // errors reach the caller.
  bool SetProp(std::string_view objectName, std::string_view propName, std::string_view value);
  // Empty when no object has that name.
  TPropValue GetProp(std::string_view objectName, std::string_view propName) const;

 protected:
  std::vector<std::unique_ptr<TQelObject>> FObjects;

 private:
  void FreeAll();
};

// The list of creatable classes, in registration order; a class may appear
// more than once.
class TQelClassReg {
 public:
  void Register(const TQelClass& cls) { FClasses.push_back(&cls); }
  // The first class whose name equals name exactly (case-sensitive), or none.
  const TQelClass* FindClassByName(std::string_view name) const;
  const std::vector<const TQelClass*>& Classes() const { return FClasses; }

 private:
  std::vector<const TQelClass*> FClasses;
};

// The one registry of the program.
TQelClassReg& ClassReg();

// Registers this unit's creatable classes (TQelObject); later calls do nothing.
void RegisterFoundationClasses();

}  // namespace qv
