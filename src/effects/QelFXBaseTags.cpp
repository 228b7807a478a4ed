// Readers of the <Function> and <Morph> tags of effect files.
#include "effects/QelFXBase.h"
#include "foundation/Numeric.h"
#include "foundation/QelException.h"
#include "foundation/QelParser.h"
#include "foundation/StrUtils.h"

namespace qv::fx {

std::unique_ptr<TQelMorphFunc> CreateMorphFuncByTag(const TQelXMLTag& tag) {
  if (tag.Name != "Function") return nullptr;
  const TQelParserAttribute* name = tag.FindAttribute("Name");
  const TQelParserAttribute* dimAttr = tag.FindAttribute("Dim");
  if (!dimAttr) throw Exception("[CreateMorphFuncByTag]: <Function> tag has no \"Dim\" attribute");
  int32_t dim = StrToInt(Trim(dimAttr->Value));
  if (dim < 1 || dim > 3) throw Exception("[CreateMorphFuncByTag]: Invalid <Function> tag \"Dim\" attribute value");
  const TQelParserAttribute* type = tag.FindAttribute("Type");
  if (!type) throw Exception("[CreateMorphFuncByTag]: <Function> tag has no \"Type\" attribute");
  auto f = CreateFuncOfClass(type->Value, name ? name->Value : std::string(), dim);
  if (!f) throw Exception("[CreateMorphFuncByTag]: Invalid <Function> tag \"Type\" attribute value");
  if (auto* c = dynamic_cast<TQelConstantFunc*>(f.get())) {
    if (const TQelXMLTag* v = tag.FindTag("Value")) StrToVect(v->Text, c->Value);
  } else if (auto* p = dynamic_cast<TQelPiecewiseFunc*>(f.get())) {
    if (const TQelXMLTag* s = tag.FindTag("Script")) p->SetScript(s->Text);
  } else if (auto* q = dynamic_cast<TQelPeriodicFunc*>(f.get())) {
    if (const TQelXMLTag* x = tag.FindTag("XParam")) q->SetXFormula(x->Text);
    if (const TQelXMLTag* y = tag.FindTag("YParam")) q->SetYFormula(y->Text);
    if (const TQelXMLTag* z = tag.FindTag("ZParam")) q->SetZFormula(z->Text);
  } else if (auto* a = dynamic_cast<TQelParabolicFunc*>(f.get())) {
    if (const TQelXMLTag* v = tag.FindTag("StartPosition")) StrToVect(v->Text, a->StartPosition);
    if (const TQelXMLTag* v = tag.FindTag("StartVelocity")) StrToVect(v->Text, a->StartVelocity);
    if (const TQelXMLTag* v = tag.FindTag("Acceleration")) StrToVect(v->Text, a->Acceleration);
  }
  return f;
}

void TQelMorph::AddFuncByTag(const TQelXMLTag& tag) {
  if (tag.Name != "Function")
    throw Exception("[TQelMorph.AddFuncByTag]: <Functions> tag contains invalid child tag <" + tag.Name + ">");
  const TQelParserAttribute* name = tag.FindAttribute("Name");
  if (!name) throw Exception("[TQelMorph.AddFuncByTag]: <Function> tag has no \"Name\" attribute");
  const TQelParserAttribute* clone = tag.FindAttribute("Clone");
  int32_t index = (clone && clone->Value == "true") ? AddClonedFuncByName(name->Value) : AddFuncByName(name->Value);
  if (index < 0) return;
  if (const TQelParserAttribute* weight = tag.FindAttribute("Weight"))
    Functions[static_cast<size_t>(index)]->Weight = static_cast<float>(FxStrToFloat(weight->Value));
}

void TQelMorph::AddParamByTag(const TQelXMLTag& tag) {
  if (tag.Name != "Property")
    throw Exception("[TQelMorph.AddParamByTag]: Morph + \"" + Name + "\" <Properties> tag contains invalid tag \"" +
                    tag.Name + "\"");
  const TQelParserAttribute* nameAttr = tag.FindAttribute("Name");
  if (!nameAttr) throw Exception("[TQelMorph.AddParamByTag]: <Property> tag has no \"Name\" attribute");
  const std::string& name = nameAttr->Value;
  int32_t target, type, funcIndex = -1, paramIndex = -1;
  if (name == "Position") {
    target = TargetPosition;
  } else if (name == "Rotation") {
    target = TargetRotation;
  } else if (name == "Scale") {
    target = TargetScale;
  } else if (name == "StartTime") {
    target = TargetStartTime;
  } else if (name == "RotationPattern") {
    SetRotationPattern(tag.Text);
    return;
  } else {
    size_t dot = name.find('.');
    if (dot == std::string::npos || dot < 1)
      throw Exception("[TQelMorph.AddParamByTag]: <Property> tag \"Name\" attribute has invalid value \"" + name +
                      "\"");
    std::string func = name.substr(0, dot);
    funcIndex = IndexOfFunc(func);
    if (funcIndex < 0)
      throw Exception(
          "[TQelMorph.AddParamByTag]: <Property> tag \"Name\" attribute value contains unknown Function name \"" +
          func + "\"");
    paramIndex = GetFunc(funcIndex)->GetParamIdx(name.substr(dot + 1));
    target = TargetFuncParam;
  }
  type = -target - 1;
  std::string text = Trim(tag.Text);
  if (MorphLibrary && MorphLibrary->IndexOf(text) >= 0 && !text.empty()) {
    AddProperty(type, TVector3{}, paramIndex, funcIndex, text, TVector3{});
    return;
  }
  size_t range = text.find("..");
  if (range != std::string::npos && range >= 3) {
    TVector3 from = StrToVect(text.substr(0, range));
    TVector3 to = StrToVect(text.substr(range + 2));
    AddProperty(type, from, paramIndex, funcIndex, "", to);
    return;
  }
  TVector3 v = StrToVect(text);
  if (VectorLengthSqr(v, Dim) > 1e-12f) SetPropertyValue(target, v, paramIndex, funcIndex);
}

std::unique_ptr<TQelMorph> CreateMorphByTag(const TQelXMLTag& tag, TQelMorphFuncLib* functionLibrary,
                                            TQelMorphLib* morphLibrary) {
  if (tag.Name != "Morph") return nullptr;
  const TQelParserAttribute* name = tag.FindAttribute("Name");
  if (!name) throw Exception("[CreateMorphByTag]: <Morph> tag has no \"Name\" attribute");
  const TQelParserAttribute* dim = tag.FindAttribute("Dim");
  if (!dim) throw Exception("[CreateMorphByTag]: <Morph> tag has no \"Dim\" attribute");
  int32_t d = StrToInt(Trim(dim->Value));
  int32_t start = 0;
  if (const TQelParserAttribute* st = tag.FindAttribute("StartTime")) start = StrToInt(Trim(st->Value));
  auto m = CreateMorph(name->Value, d, start, morphLibrary, functionLibrary, "");
  if (const TQelXMLTag* funcs = tag.FindTag("Functions"))
    for (const auto& child : funcs->Tags) m->AddFuncByTag(*child);
  if (const TQelXMLTag* props = tag.FindTag("Properties"))
    for (const auto& child : props->Tags) m->AddParamByTag(*child);
  return m;
}

}  // namespace qv::fx
