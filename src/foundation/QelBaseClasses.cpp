#include "foundation/QelBaseClasses.h"

#include <utility>

#include "foundation/Log.h"
#include "foundation/Numeric.h"
#include "foundation/QelException.h"
#include "foundation/StrUtils.h"

namespace qv {

namespace {

[[noreturn]] void InvalidElement(std::string_view element) {
  throw EConvertError("Invalid property element: " + std::string(element));
}

// Value names match without regard to ASCII case: the shell writes "true"
// where the names read "True".
int32_t EnumOrdinal(const std::vector<std::string>& names, std::string_view text) {
  for (size_t i = 0; i < names.size(); ++i) {
    if (SameTextAscii(names[i], text)) return static_cast<int32_t>(i);
  }
  InvalidElement(text);
}

std::string EnumName(const std::vector<std::string>& names, int32_t ordinal) {
  if (ordinal >= 0 && static_cast<size_t>(ordinal) < names.size()) return names[static_cast<size_t>(ordinal)];
  return IntToStr(ordinal);
}

bool IsSetSeparator(char c) { return c == ',' || c == ' ' || c == ']'; }

// "[a, b]", "a,b" and "" all read; blanks, commas and the closing bracket
// separate the names.
uint32_t ParseSet(const std::vector<std::string>& names, std::string_view text) {
  uint32_t result = 0;
  size_t i = 0;
  while (i < text.size() && (text[i] == '[' || text[i] == ' ')) ++i;
  while (i < text.size()) {
    size_t start = i;
    while (i < text.size() && !IsSetSeparator(text[i])) ++i;
    std::string_view word = text.substr(start, i - start);
    while (i < text.size() && IsSetSeparator(text[i])) ++i;
    if (word.empty()) continue;
    result |= uint32_t{1} << EnumOrdinal(names, word);
  }
  return result;
}

std::string SetText(const std::vector<std::string>& names, uint32_t bits) {
  std::string text;
  for (size_t i = 0; i < names.size(); ++i) {
    if ((bits >> i) & 1u) {
      if (!text.empty()) text += ',';
      text += names[i];
    }
  }
  return text;
}

template <class V, class Convert>
std::function<void(TQelObject&, std::string_view)> TextSetter(const std::string& propName,
                                                             std::function<void(TQelObject&, const V&)> set,
                                                             Convert convert) {
  if (!set) {
    return [propName](TQelObject&, std::string_view) {
      throw Exception("Property " + propName + " is read-only");
    };
  }
  return [set = std::move(set), convert](TQelObject& o, std::string_view text) { set(o, convert(text)); };
}

template <class V, class Convert>
std::function<TPropValue(const TQelObject&)> ValueGetter(std::function<V(const TQelObject&)> get, Convert convert) {
  if (!get) return [](const TQelObject&) { return TPropValue{}; };
  return [get = std::move(get), convert](const TQelObject& o) { return TPropValue(convert(get(o))); };
}

}  // namespace

std::string PropValueToText(const TPropValue& value) {
  struct Visitor {
    std::string operator()(std::monostate) const { return {}; }
    std::string operator()(int32_t v) const { return IntToStr(v); }
    std::string operator()(double v) const { return FloatToStr(v); }
    std::string operator()(const std::string& v) const { return v; }
    std::string operator()(const std::u16string& v) const { return Utf16ToUtf8(v); }
  };
  return std::visit(Visitor{}, value);
}

// ---------------------------------------------------------------------------
// TPropertyList

const TPropInfo* TPropertyList::Find(std::string_view name) const {
  for (const TPropInfo& info : FItems) {
    if (SameTextAscii(info.Name, name)) return &info;
  }
  return nullptr;
}

TPropertyList& TPropertyList::Add(TPropInfo info) {
  for (TPropInfo& existing : FItems) {
    if (SameTextAscii(existing.Name, info.Name)) {
      existing = std::move(info);
      return *this;
    }
  }
  FItems.push_back(std::move(info));
  return *this;
}

TPropertyList& TPropertyList::AddInteger(std::string name, Reader<int32_t> get, Writer<int32_t> set) {
  TPropInfo info;
  info.Kind = TPropKind::Integer;
  info.Get = ValueGetter<int32_t>(std::move(get), [](int32_t v) { return v; });
  info.Set = TextSetter<int32_t>(name, std::move(set), [](std::string_view t) { return StrToInt(t); });
  info.Name = std::move(name);
  return Add(std::move(info));
}

TPropertyList& TPropertyList::AddChar(std::string name, Reader<unsigned char> get, Writer<int32_t> set) {
  TPropInfo info;
  info.Kind = TPropKind::Char;
  info.Get = ValueGetter<unsigned char>(std::move(get), [](unsigned char v) { return static_cast<int32_t>(v); });
  info.Set = TextSetter<int32_t>(name, std::move(set), [](std::string_view t) { return StrToInt(t); });
  info.Name = std::move(name);
  return Add(std::move(info));
}

TPropertyList& TPropertyList::AddEnum(std::string name, std::vector<std::string> names, Reader<int32_t> get,
                                      Writer<int32_t> set) {
  TPropInfo info;
  info.Kind = TPropKind::Enum;
  info.EnumNames = std::move(names);
  info.Get = ValueGetter<int32_t>(std::move(get), [names = info.EnumNames](int32_t v) { return EnumName(names, v); });
  info.Set = TextSetter<int32_t>(name, std::move(set),
                                 [names = info.EnumNames](std::string_view t) { return EnumOrdinal(names, t); });
  info.Name = std::move(name);
  return Add(std::move(info));
}

TPropertyList& TPropertyList::AddBool(std::string name, Reader<bool> get, Writer<bool> set) {
  TPropInfo info;
  info.Kind = TPropKind::Bool;
  info.EnumNames = {"False", "True"};
  info.Get = ValueGetter<bool>(std::move(get), [](bool v) { return std::string(v ? "True" : "False"); });
  info.Set = TextSetter<bool>(name, std::move(set),
                              [names = info.EnumNames](std::string_view t) { return EnumOrdinal(names, t) == 1; });
  info.Name = std::move(name);
  return Add(std::move(info));
}

TPropertyList& TPropertyList::AddSet(std::string name, std::vector<std::string> names, Reader<uint32_t> get,
                                     Writer<uint32_t> set) {
  if (names.size() > 32) throw Exception("Set property " + name + " has more than 32 members");
  TPropInfo info;
  info.Kind = TPropKind::Set;
  info.EnumNames = std::move(names);
  info.Get = ValueGetter<uint32_t>(std::move(get), [names = info.EnumNames](uint32_t v) { return SetText(names, v); });
  info.Set = TextSetter<uint32_t>(name, std::move(set),
                                  [names = info.EnumNames](std::string_view t) { return ParseSet(names, t); });
  info.Name = std::move(name);
  return Add(std::move(info));
}

TPropertyList& TPropertyList::AddFloat(std::string name, Reader<double> get, Writer<double> set) {
  TPropInfo info;
  info.Kind = TPropKind::Float;
  info.Get = ValueGetter<double>(std::move(get), [](double v) { return v; });
  info.Set = TextSetter<double>(name, std::move(set), [](std::string_view t) { return StrToFloat(t); });
  info.Name = std::move(name);
  return Add(std::move(info));
}

TPropertyList& TPropertyList::AddString(std::string name, Reader<std::string> get, Writer<std::string> set) {
  TPropInfo info;
  info.Kind = TPropKind::String;
  info.Get = ValueGetter<std::string>(std::move(get), [](const std::string& v) { return v; });
  info.Set = TextSetter<std::string>(name, std::move(set), [](std::string_view t) { return std::string(t); });
  info.Name = std::move(name);
  return Add(std::move(info));
}

TPropertyList& TPropertyList::AddWideString(std::string name, Reader<std::u16string> get,
                                            Writer<std::u16string> set) {
  TPropInfo info;
  info.Kind = TPropKind::WideString;
  info.Get = ValueGetter<std::u16string>(std::move(get), [](const std::u16string& v) { return v; });
  info.Set = TextSetter<std::u16string>(name, std::move(set), [](std::string_view t) { return Utf8ToUtf16(t); });
  info.Name = std::move(name);
  return Add(std::move(info));
}

// ---------------------------------------------------------------------------
// TQelClass

TQelClass::TQelClass(std::string name, Factory factory, const TQelClass* base, const Publisher& publish)
    : FName(std::move(name)), FFactory(factory), FBase(base) {
  if (base) FProperties = base->Properties();
  if (publish) publish(FProperties);
}

std::unique_ptr<TQelObject> TQelClass::Create() const { return FFactory ? FFactory() : nullptr; }

// ---------------------------------------------------------------------------
// TQelObject

const TQelClass& TQelObject::StaticClass() {
  static const TQelClass cls = TQelClass::Make<TQelObject>("TQelObject", nullptr, [](TPropertyList& p) {
    p.String("ParentName", &TQelObject::ParentName);
    p.String("Name", &TQelObject::Name, &TQelObject::SetName);
    p.Integer("Tag", &TQelObject::Tag);
  });
  return cls;
}

const TQelClass& TQelObject::ClassType() const { return StaticClass(); }

void TQelObject::Assign(const TQelObject& source) {
  Tag = source.Tag;
  FEngine = source.FEngine;
}

void TQelObject::SetName(const std::string& value) {
  if (value == FName) return;
  if (FEngine && FEngine->IndexOfObject(value) >= 0) {
    // The clash is reported and swallowed: the object keeps its old name.
    Log::Write("[TQelBaseClasses.SetName] The name \"" + value + "\" is present !");
    return;
  }
  FName = value;
}

void TQelObject::LinkParent() { FParent = FEngine ? FEngine->FindObject(ParentName) : nullptr; }

void SetPropValue(TQelObject& object, std::string_view propName, std::string_view value) {
  const TPropInfo* info = object.Properties().Find(propName);
  if (!info) throw Exception("Property " + std::string(propName) + " does not exist");
  info->Set(object, value);
}

TPropValue GetPropValue(const TQelObject& object, std::string_view propName) {
  const TPropInfo* info = object.Properties().Find(propName);
  if (!info) throw Exception("Property " + std::string(propName) + " does not exist");
  return info->Get(object);
}

// ---------------------------------------------------------------------------
// TQelEngine

TQelEngine::~TQelEngine() { FreeAll(); }

int TQelEngine::AddObject(std::unique_ptr<TQelObject> object) {
  FObjects.push_back(std::move(object));
  return Count() - 1;
}

int TQelEngine::CreateObject(const std::string& name, const std::string& parentName, const std::string& className) {
  const TQelClass* cls = ClassReg().FindClassByName(className);
  if (!cls) return -1;
  std::unique_ptr<TQelObject> object = cls->Create();
  if (!object) return -1;
  TQelObject* raw = object.get();
  int index = AddObject(std::move(object));
  raw->SetEngine(this);
  raw->ParentName = parentName;
  raw->SetName(name);
  return index;
}

int TQelEngine::IndexOfObject(std::string_view name) const {
  for (size_t i = 0; i < FObjects.size(); ++i) {
    if (FObjects[i]->Name() == name) return static_cast<int>(i);
  }
  return -1;
}

TQelObject* TQelEngine::FindObject(std::string_view name) const {
  int index = IndexOfObject(name);
  return index < 0 ? nullptr : FObjects[static_cast<size_t>(index)].get();
}

void TQelEngine::DeleteObjectAt(int index) {
  if (index < 0 || index >= Count()) return;
  auto it = FObjects.begin() + index;
  std::unique_ptr<TQelObject> doomed = std::move(*it);
  FObjects.erase(it);
  // Children keep their ParentName but must not reach freed memory through Parent.
  for (const auto& object : FObjects) {
    if (object->FParent == doomed.get()) object->FParent = nullptr;
  }
}

void TQelEngine::DeleteObject(const std::string& name) { DeleteObjectAt(IndexOfObject(name)); }

void TQelEngine::Clear() { FreeAll(); }

void TQelEngine::FreeAll() {
  // The list is emptied before the objects go, so nothing found during their
  // destruction is already freed.
  std::vector<std::unique_ptr<TQelObject>> doomed;
  doomed.swap(FObjects);
  doomed.clear();
}

void TQelEngine::LinkParents() {
  for (const auto& object : FObjects) object->LinkParent();
}

bool TQelEngine::SetProp(std::string_view objectName, std::string_view propName, std::string_view value) {
  TQelObject* object = FindObject(objectName);
  if (!object) return false;
  SetPropValue(*object, propName, value);
  return true;
}

TPropValue TQelEngine::GetProp(std::string_view objectName, std::string_view propName) const {
  TQelObject* object = FindObject(objectName);
  if (!object) return {};
  return GetPropValue(*object, propName);
}

// ---------------------------------------------------------------------------
// TQelClassReg

const TQelClass* TQelClassReg::FindClassByName(std::string_view name) const {
  for (const TQelClass* cls : FClasses) {
    if (cls->Name() == name) return cls;
  }
  return nullptr;
}

TQelClassReg& ClassReg() {
  static TQelClassReg registry;
  return registry;
}

void RegisterFoundationClasses() {
  static const bool registered = [] {
    ClassReg().Register(TQelObject::StaticClass());
    return true;
  }();
  (void)registered;
}

}  // namespace qv
