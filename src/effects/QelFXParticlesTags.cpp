// Reading effect files: the <ParticleEffect> top level, <ParticleSystem>
// elements and the <Parameter> children of <Particle>.
#include "effects/QelFXParticles.h"
#include "foundation/MemoryStream.h"
#include "foundation/Numeric.h"
#include "foundation/QelException.h"
#include "foundation/QelParser.h"
#include "foundation/StrUtils.h"

namespace qv::fx {

namespace {

const std::string kParamErr = "[TQelParticleTemplate.AddParamTypeByTag]: ";

std::string Quoted(std::string_view s) { return "\"" + std::string(s) + "\""; }

int32_t IndexInTree(const std::vector<TQelMorph*>& tree, std::string_view name) {
  for (size_t i = 0; i < tree.size(); ++i)
    if (tree[i] && SameTextAscii(tree[i]->Name, name)) return static_cast<int32_t>(i);
  return -1;
}

int32_t Seconds(std::string_view text) { return Round(FxStrToFloat(text) * 1000); }

}  // namespace

void TQelParticleTemplate::AddParamTypeByTag(const TQelXMLTag& tag) {
  if (tag.Name != "Parameter") throw Exception(kParamErr + "<Particle> tag contains invalid tag " + Quoted(tag.Name));
  const TQelParserAttribute* name = tag.FindAttribute("Name");
  if (!name) throw Exception(kParamErr + "<Parameter> tag has no \"Name\" attribute");
  const TQelParserAttribute* dimAttr = tag.FindAttribute("Dim");
  if (!dimAttr) throw Exception(kParamErr + "<Parameter> tag has no \"Dim\" attribute");
  int32_t dim = StrToInt(Trim(dimAttr->Value));
  if (dim < 1 || dim > 3)
    throw Exception(kParamErr + "<Parameter> tag \"Dim\" attribute has invalid value " + Quoted(dimAttr->Value));
  int32_t index = AddParam(name->Value, dim);
  const TQelParserAttribute* morphAttr = tag.FindAttribute("Morph");
  if (!morphAttr) throw Exception(kParamErr + "<Parameter> tag has no \"Morph\" attribute");
  TQelMorphLib* library = Effect ? Effect->MorphLibrary.get() : nullptr;
  int32_t morphIndex = library ? library->IndexOf(morphAttr->Value) : -1;
  if (morphIndex < 0)
    throw Exception(kParamErr + "<Parameter> tag \"Morph\" attribute contains unknown Morph name " +
                    Quoted(morphAttr->Value));
  TParticleParam& param = Params[static_cast<size_t>(index)];
  param.MorphIndex = morphIndex;
  if (const TQelParserAttribute* cloned = tag.FindAttribute("ClonedMorph"))
    param.ClonedMorph = Trim(cloned->Value) == "true" ? 1 : 0;
  std::vector<TQelMorph*> tree;
  library->GetMorph(morphIndex)->CollectMorphTree(tree);
  for (const auto& child : tag.Tags) {
    if (child->Name == "InitMorphs") {
      ReadInitMorphs(*child, param, tree);
    } else if (child->Name == "LiveValue") {
      std::string text = Trim(child->Text);
      size_t sep = text.find(")-(");
      if (sep == std::string::npos || sep < 1)
        throw Exception(kParamErr + "<LiveValue> tag value " + Quoted(text) + " has invalid syntax");
      StrToVect(text.substr(0, sep), param.LiveMin);
      StrToVect(text.substr(sep + 2), param.LiveMax);
      param.HasLiveValue = 1;
    }
  }
  OrderInitMorphs(param);
  LinkInitMorphRefs(param);
}

void TQelParticleTemplate::ReadInitMorphs(const TQelXMLTag& tag, TParticleParam& param,
                                          std::vector<TQelMorph*>& tree) {
  TQelMorphLib* library = Effect->MorphLibrary.get();
  const int32_t effectStart = static_cast<int32_t>(Effect->StartTime);
  for (const auto& child : tag.Tags) {
    if (child->Name != "InitMorph")
      throw Exception(kParamErr + "<InitMorphs> tag contains invalid tag " + Quoted(child->Name));
    const TQelParserAttribute* name = child->FindAttribute("Name");
    if (!name) throw Exception(kParamErr + "<InitMorph> tag has no \"Name\" attribute");
    TInitMorph entry;
    TQelMorph* m = nullptr;
    int32_t inTree = IndexInTree(tree, name->Value);
    if (inTree >= 0) {
      entry.IsSubMorph = 1;
      entry.MorphIndex = inTree;
      m = tree[static_cast<size_t>(inTree)];
    } else {
      int32_t inLib = library->IndexOf(name->Value);
      if (inLib < 0)
        throw Exception(kParamErr + "<InitMorph> tag \"Name\" attribute contains unknown Morph name " +
                        Quoted(name->Value));
      entry.MorphIndex = inLib;
      entry.Morph = std::make_unique<TQelMorph>();
      TQelMorph::AssignWithLibraries(entry.Morph.get(), library->GetMorph(inLib), Effect->FunctionLibrary.get(),
                                     library);
      m = entry.Morph.get();
    }
    for (const auto& prop : child->Tags) {
      if (prop->Name != "Property")
        throw Exception(kParamErr + "<InitMorph> tag contains invalid tag <" + prop->Name + ">");
      const TQelParserAttribute* propName = prop->FindAttribute("Name");
      if (!propName) throw Exception(kParamErr + "<Property> tag has no \"Name\" attribute");
      TInitMorphProperty p;
      std::string text = Trim(prop->Text);
      int32_t ref = IndexInTree(tree, text);
      size_t range = text.find("..");
      if (ref >= 0) {
        p.SourceKind = SourceSubMorph;
        p.RefKind = RefTree;
        p.RefIndex = ref;
      } else if ((ref = library->IndexOf(text)) >= 0) {
        p.SourceKind = SourceSubMorph;
        p.RefKind = RefLibrary;
        p.RefIndex = ref;
      } else if (range != std::string::npos && range >= 3) {
        p.SourceKind = SourceRange;
        StrToVect(text.substr(0, range), p.From);
        StrToVect(text.substr(range + 2), p.To);
      } else {
        p.SourceKind = SourceFixed;
        StrToVect(ReplaceAll(text, "T", IntToStr(effectStart)), p.From);
      }
      const std::string& target = propName->Value;
      if (target == "Position" || target == "Rotation" || target == "Scale") {
        int32_t type = target == "Position" ? PropPosition : (target == "Rotation" ? PropRotation : PropScale);
        int32_t found = m->FindProperty(type, -1, -1);
        p.Target = found >= 0 ? found : -type - 1;
      } else if (target == "StartTime") {
        if (text == "T") {
          p.UseEffectStart = 1;
          p.Target = -1;
        } else {
          int32_t found = m->FindProperty(PropStartTime, -1, -1);
          p.Target = found >= 0 ? found : TargetStartTime;
        }
      } else {
        size_t dot = target.find('.');
        if (dot == std::string::npos || dot < 1)
          throw Exception(kParamErr + "<Property> tag \"Name\" attribute has invalid value " + Quoted(target));
        p.FuncIndex = m->IndexOfFunc(target.substr(0, dot));
        if (p.FuncIndex < 0)
          throw Exception(kParamErr + "<Property> tag \"Name\" attribute value " + Quoted(target) +
                          " contains unknown Function name");
        p.ParamIndex = m->GetFunc(p.FuncIndex)->GetParamIdx(target.substr(dot + 1));
        if (p.ParamIndex < 1)
          throw Exception(kParamErr + "<Property> tag \"Name\" attribute value " + Quoted(target) +
                          " contains unknown parameter name");
        int32_t found = m->FindProperty(PropFuncParam, p.FuncIndex, p.ParamIndex);
        p.Target = found >= 0 ? found : TargetFuncParam;
      }
      entry.InitProperties.push_back(p);
    }
    param.InitMorphs.push_back(std::move(entry));
  }
}

// ---------------------------------------------------------------------------
// Effect files

namespace {

// Particles are allocated up front from these counts, so a tiny file could
// otherwise ask for gigabytes; no real effect comes near this many.
constexpr int32_t kMaxParticleCount = 10000;

int32_t CheckedParticleCount(int32_t value, std::string_view what, const std::string& owner) {
  if (value > kMaxParticleCount)
    throw Exception("[TQelParticleEffect.AnalyzeXML]: " + std::string(what) + " of " + Quoted(owner) + " is " +
                    std::to_string(value) + ", more than " + std::to_string(kMaxParticleCount));
  return value;
}

}  // namespace

void TQelParticleEffect::LoadFromStream(TMemoryStream* stream) {
  if (!stream || stream->Size() == 0)
    throw Exception("[TQelParticleEffect.LoadFromStream]: Invalid effect " + Quoted(Name) + " XML stream");
  auto parser = std::make_unique<TQelParser>();
  parser->LoadFromStream(*stream);
  AnalyzeXML(parser.get());
}

void TQelParticleEffect::AnalyzeXML(const TQelParser* parser) {
  const std::string err = "[TQelParticleEffect.AnalyzeXML]: ";
  const TQelXMLTag* root = parser ? parser->FindTag("ParticleEffect") : nullptr;
  if (!root) throw Exception(err + "Effect " + Quoted(Name) + " XML description has no <ParticleEffect> tag");
  const TQelParserAttribute* name = root->FindAttribute("Name");
  if (!name) throw Exception(err + "Tag <ParticleEffect> has no \"Name\" attribute");
  SetName(name->Value);
  if (const TQelParserAttribute* life = root->FindAttribute("Lifetime")) {
    Lifetime = Seconds(life->Value);
    HasLifetime = 1;
  }
  if (const TQelParserAttribute* minp = root->FindAttribute("MinParticles")) {
    MinParticles = CheckedParticleCount(StrToInt(Trim(minp->Value)), "MinParticles", Name);
    HasMinParticles = 1;
  }
  auto section = [&](const char* tagName) {
    const TQelXMLTag* t = root->FindTag(tagName);
    if (!t)
      throw Exception(err + "Effect " + Quoted(Name) + " XML description has no <" + tagName + "> tag");
    return t;
  };
  for (const auto& child : section("Functions")->Tags)
    if (auto f = CreateMorphFuncByTag(*child)) AddFuncToLib(FunctionLibrary.get(), std::move(f));
  for (const auto& child : section("Morphs")->Tags)
    if (auto m = CreateMorphByTag(*child, FunctionLibrary.get(), MorphLibrary.get()))
      AddMorphToLib(MorphLibrary.get(), std::move(m));
  for (const auto& child : section("Particles")->Tags) {
    if (child->Name != "Particle") continue;
    const TQelParserAttribute* pname = child->FindAttribute("Name");
    if (!pname) throw Exception("<Particle> tag has no \"Name\" attribute");
    TQelParticleTemplate* t = TemplateLibrary->GetTemplate(AddTemplate(pname->Value));
    for (const auto& param : child->Tags) t->AddParamTypeByTag(*param);
  }
  for (const auto& child : section("ParticleSystems")->Tags)
    if (child->Name == "ParticleSystem") ReadSystem(*child);
}

void TQelParticleEffect::ReadSystem(const TQelXMLTag& tag) {
  const TQelParserAttribute* name = tag.FindAttribute("Name");
  if (!name) throw Exception("<ParticleSystem> tag has no \"Name\" attribute");
  const TQelParserAttribute* tmpl = tag.FindAttribute("Template");
  if (!tmpl) throw Exception("<ParticleSystem> tag has no \"Template\" attribute");
  TQelParticleSystem* s = SystemLibrary->GetSystem(AddSystem(name->Value, tmpl->Value));
  auto text = [&](const char* child) -> const std::string* {
    const TQelXMLTag* t = tag.FindTag(child);
    return t ? &t->Text : nullptr;
  };
  auto integer = [&](const char* child, int32_t& field) {
    if (const std::string* v = text(child)) field = StrToInt(Trim(*v));
  };
  auto count = [&](const char* child, int32_t& field) {
    if (const std::string* v = text(child)) field = CheckedParticleCount(StrToInt(Trim(*v)), child, name->Value);
  };
  auto seconds = [&](const char* child, int32_t& field) {
    if (const std::string* v = text(child)) field = Seconds(*v);
  };
  if (const std::string* v = text("Position")) StrToVect(*v, s->Position);
  count("InitParticles", s->InitParticles);
  if (const std::string* v = text("InitInterval")) {
    std::string t = Trim(*v);
    if (!t.empty() && t[0] == '/') {
      s->InitIntervalDivisor = 1;
      s->InitIntervalDivisorN = StrToInt(Trim(t.substr(1)));
    } else {
      s->InitIntervalDivisor = 0;
      s->InitInterval = Seconds(t);
    }
  }
  count("MinParticles", s->MinParticles);
  count("MaxParticles", s->MaxParticles);
  seconds("ThrowInterval", s->ThrowInterval);
  count("ParticlesPerThrow", s->ParticlesPerThrow);
  seconds("EmissionInterval", s->EmissionInterval);
  integer("ThrowsPerEmission", s->ThrowsPerEmission);
  seconds("MaxLifetime", s->MaxLifetime);
  integer("FrameCount", s->FrameCount);
  if (const std::string* v = text("Resource")) {
    std::string r = Trim(*v);
    s->Resource = r.substr(0, std::min(r.size(), MaxNameLength));
  }
  integer("OutputMode", s->OutputMode);
}

}  // namespace qv::fx
