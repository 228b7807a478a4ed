// Particle templates, particles, particle systems and particle effects at run time.
#include "effects/QelFXParticles.h"

#include <algorithm>

#include "foundation/Numeric.h"
#include "foundation/Random.h"
#include "foundation/StrUtils.h"

namespace qv::fx {

namespace {

int64_t Diff(int32_t a, int32_t b) { return static_cast<int64_t>(a) - static_cast<int64_t>(b); }

TQelMorphLib* LibraryOf(const TQelParticleEffect* effect) {
  return effect ? effect->MorphLibrary.get() : nullptr;
}

TQelMorphFuncLib* FunctionsOf(const TQelParticleEffect* effect) {
  return effect ? effect->FunctionLibrary.get() : nullptr;
}

// The morph evaluated by a dimension: 1 gives x, 2 x and y, 3 all three.
TVector3 EvaluateBy(TQelMorph& morph, int32_t time, int dim) {
  switch (dim) {
    case 1: return TVector3{morph.GetValue1D(time), 0, 0};
    case 2: return morph.GetValue2D(time);
    default: return morph.GetValue3D(time);
  }
}

}  // namespace

// ---------------------------------------------------------------------------
// Template

TQelParticleTemplate::TQelParticleTemplate() {
  SetDefaultName();
  AddParam("Position", 2);
  AddParam("Alpha", 1);
  AddParam("Color", 3);
  AddParam("ColorValue", 1);
  AddParam("Frame", 1);
  AddParam("Size", 2);
}

int32_t TQelParticleTemplate::IndexOfParam(std::string_view name) const {
  for (size_t i = 0; i < Params.size(); ++i)
    if (SameTextAscii(Params[i].Name, name)) return static_cast<int32_t>(i);
  return -1;
}

int32_t TQelParticleTemplate::AddParam(std::string_view name, int32_t dim) {
  int32_t index = IndexOfParam(name);
  if (index < 0) {
    Params.emplace_back();
    index = static_cast<int32_t>(Params.size()) - 1;
  }
  TParticleParam& p = Params[static_cast<size_t>(index)];
  p.Name = std::string(name.substr(0, std::min(name.size(), MaxNameLength)));
  p.Dim = static_cast<uint8_t>(ClampDim(dim));
  p.MorphIndex = -1;
  p.ClonedMorph = 0;
  p.HasLiveValue = 0;
  p.LiveMin = p.LiveMax = TVector3{};
  return index;
}

bool TQelParticleTemplate::Assign(const TQelBaseObject* source) {
  auto* src = dynamic_cast<const TQelParticleTemplate*>(source);
  if (!src || !TQelBaseObject::Assign(source)) return false;
  if (src == this) return true;
  Params.clear();
  for (const TParticleParam& sp : src->Params) {
    TParticleParam p;
    p.Name = sp.Name;
    p.Dim = sp.Dim;
    p.MorphIndex = sp.MorphIndex;
    p.ClonedMorph = sp.ClonedMorph;
    p.HasLiveValue = sp.HasLiveValue;
    p.LiveMin = sp.LiveMin;
    p.LiveMax = sp.LiveMax;
    for (const TInitMorph& se : sp.InitMorphs) {
      TInitMorph e;
      e.MorphIndex = se.MorphIndex;
      e.IsSubMorph = se.IsSubMorph;
      e.InitProperties = se.InitProperties;
      if (se.Morph) {
        e.Morph = std::make_unique<TQelMorph>();
        TQelMorph::AssignWithLibraries(e.Morph.get(), se.Morph.get(), FunctionsOf(Effect), LibraryOf(Effect));
      }
      p.InitMorphs.push_back(std::move(e));
    }
    Params.push_back(std::move(p));
  }
  return true;
}

void TQelParticleTemplate::OrderInitMorphs(TParticleParam& param) {
  std::stable_sort(param.InitMorphs.begin(), param.InitMorphs.end(), [](const TInitMorph& a, const TInitMorph& b) {
    if (a.IsSubMorph != b.IsSubMorph) return a.IsSubMorph == 0;
    if (a.IsSubMorph) return a.MorphIndex < b.MorphIndex;
    return false;
  });
}

void TQelParticleTemplate::LinkInitMorphRefs(TParticleParam& param) {
  for (size_t i = 1; i < param.InitMorphs.size(); ++i) {
    for (TInitMorphProperty& p : param.InitMorphs[i].InitProperties) {
      if (p.SourceKind != SourceSubMorph || p.RefKind != RefLibrary) continue;
      for (size_t j = 0; j < i; ++j) {
        const TInitMorph& e = param.InitMorphs[j];
        if (!e.IsSubMorph && e.Morph && e.MorphIndex == p.RefIndex) {
          p.RefKind = RefEntry;
          p.RefIndex = static_cast<int32_t>(j);
          break;
        }
      }
    }
  }
}

// ---------------------------------------------------------------------------
// Particle

TQelParticle::TQelParticle() { SetDefaultName(); }

bool TQelParticle::Assign(const TQelBaseObject* source) {
  auto* src = dynamic_cast<const TQelParticle*>(source);
  if (!src || !TQelBaseObject::Assign(source)) return false;
  if (src == this) return true;
  BirthTime = src->BirthTime;
  CurrentTime = src->CurrentTime;
  Delay = src->Delay;
  Dead = src->Dead;
  const TQelParticleTemplate* tmpl = System ? System->Template : nullptr;
  const TQelParticleEffect* effect = System ? System->Effect : nullptr;
  Params.clear();
  for (size_t i = 0; i < src->Params.size(); ++i) {
    const TParticleSlot& s = src->Params[i];
    TParticleSlot slot;
    slot.Value = s.Value;
    const TParticleParam* param = tmpl && i < tmpl->Params.size() ? &tmpl->Params[i] : nullptr;
    if (s.OwnMorph) {
      slot.OwnMorph = std::make_unique<TQelMorph>();
      TQelMorph::AssignWithLibraries(slot.OwnMorph.get(), s.OwnMorph.get(), FunctionsOf(effect), LibraryOf(effect));
      slot.Morph = slot.OwnMorph.get();
    } else if (param && param->MorphIndex >= 0 && effect) {
      slot.Morph = effect->MorphLibrary->GetMorph(param->MorphIndex);
    }
    Params.push_back(std::move(slot));
  }
  return true;
}

void TQelParticle::Init(int32_t time) {
  BirthTime = CurrentTime = time;
  for (auto& slot : Params)
    if (slot.OwnMorph) slot.OwnMorph->SetStartTime(time);
}

void TQelParticle::Update(int32_t time) {
  CurrentTime = time;
  if (!System) return;
  const TQelParticleTemplate* tmpl = System->Template;
  for (size_t i = 0; i < Params.size(); ++i) {
    TParticleSlot& slot = Params[i];
    if (!slot.Morph) continue;
    const TParticleParam* param = tmpl && i < tmpl->Params.size() ? &tmpl->Params[i] : nullptr;
    int dim = param ? param->Dim : 3;
    if (!slot.OwnMorph) {
      // A shared morph serves every particle: each re-times it before use.
      slot.Morph->SetStartTime(BirthTime);
      if (i == 0) slot.Morph->Delay = Delay;
    }
    TVector3 v = EvaluateBy(*slot.Morph, time, dim);
    for (int c = 0; c < ClampDim(dim); ++c) slot.Value[c] = v[c];
    if (param && param->HasLiveValue) {
      for (int c = 0; c < ClampDim(dim); ++c) {
        if (slot.Value[c] < param->LiveMin[c] || slot.Value[c] > param->LiveMax[c]) {
          Dead = 1;
          return;
        }
      }
    }
    Dead = 0;
  }
}

int32_t TQelParticle::GetAge() const {
  return static_cast<int32_t>(static_cast<uint32_t>(CurrentTime) - static_cast<uint32_t>(BirthTime));
}

TVector3 TQelParticle::Value(int32_t index) const {
  if (index < 0 || index >= static_cast<int32_t>(Params.size())) return TVector3{};
  return Params[static_cast<size_t>(index)].Value;
}

int32_t TQelParticle::Frame() const { return Round(Value(ParamFrame).x); }

void TQelParticle::SetPosition(const TVector3& v) {
  if (!Params.empty()) Params[0].Value = v;
}

void TQelParticle::AddParamSlot(TQelMorph* morph, std::unique_ptr<TQelMorph> own, const TVector3& value) {
  TParticleSlot slot;
  slot.OwnMorph = std::move(own);
  slot.Morph = slot.OwnMorph ? slot.OwnMorph.get() : morph;
  slot.Value = value;
  Params.push_back(std::move(slot));
}

std::unique_ptr<TQelParticle> CreateParticle(TQelParticleTemplate* tmpl, int32_t birthTime,
                                             TQelParticleSystem* system) {
  auto particle = std::make_unique<TQelParticle>();
  particle->SetSystem(system);
  if (!tmpl) return particle;
  TQelParticleEffect* effect = tmpl->Effect;
  TQelMorphLib* library = LibraryOf(effect);
  const int32_t effectStart = effect ? static_cast<int32_t>(effect->StartTime) : 0;
  for (size_t i = 0; i < tmpl->Params.size(); ++i) {
    TParticleParam& param = tmpl->Params[i];
    TQelMorph* libMorph = library ? library->GetMorph(param.MorphIndex) : nullptr;
    if (param.MorphIndex < 0 || !libMorph) {
      static const TVector3 defaults[6] = {{0, 0, 0}, {1, 0, 0}, {255, 255, 255}, {0, 0, 0}, {0, 0, 0}, {1, 1, 1}};
      particle->AddParamSlot(nullptr, nullptr, i < 6 ? defaults[i] : TVector3{});
      continue;
    }
    std::unique_ptr<TQelMorph> own;
    TQelMorph* morph = libMorph;
    if (param.ClonedMorph) {
      own = std::make_unique<TQelMorph>();
      TQelMorph::AssignWithLibraries(own.get(), libMorph, FunctionsOf(effect), library);
      own->SetStartTime(birthTime);
      own->Init();
      morph = own.get();
    }
    std::vector<TQelMorph*> tree;
    morph->CollectMorphTree(tree);
    for (TInitMorph& entry : param.InitMorphs) {
      TQelMorph* m = nullptr;
      if (entry.IsSubMorph) {
        if (entry.MorphIndex >= 0 && entry.MorphIndex < static_cast<int32_t>(tree.size()))
          m = tree[static_cast<size_t>(entry.MorphIndex)];
      } else {
        m = entry.Morph.get();
      }
      if (!m) continue;
      for (const TInitMorphProperty& p : entry.InitProperties) {
        TVector3 value;
        if (p.SourceKind == SourceSubMorph) {
          TQelMorph* ref = nullptr;
          if (p.RefKind == RefTree) {
            if (p.RefIndex >= 0 && p.RefIndex < static_cast<int32_t>(tree.size()))
              ref = tree[static_cast<size_t>(p.RefIndex)];
          } else if (p.RefKind == RefLibrary) {
            ref = library ? library->GetMorph(p.RefIndex) : nullptr;
          } else if (p.RefIndex >= 0 && p.RefIndex < static_cast<int32_t>(param.InitMorphs.size())) {
            ref = param.InitMorphs[static_cast<size_t>(p.RefIndex)].Morph.get();
          }
          if (!ref) continue;
          ref->SetStartTime(p.UseEffectStart ? effectStart : birthTime);
          value = EvaluateBy(*ref, birthTime, ClampDim(ref->Dim));
        } else if (p.SourceKind == SourceRange) {
          value = p.From;
          for (int c = 0; c < ClampDim(param.Dim); ++c)
            value[c] = static_cast<float>(p.From[c] + Random() * (static_cast<double>(p.To[c]) - p.From[c]));
        } else {
          value = p.From;
        }
        m->SetPropertyValue(p.Target, value, p.ParamIndex, p.FuncIndex);
      }
      if (!entry.IsSubMorph) m->Init();
    }
    particle->AddParamSlot(morph, std::move(own), TVector3{});
  }
  particle->Init(birthTime);
  return particle;
}

// ---------------------------------------------------------------------------
// System

TQelParticleSystem::TQelParticleSystem() { SetDefaultName(); }

TQelParticleSystem::~TQelParticleSystem() { ClearParticles(); }

void TQelParticleSystem::ClearParticles() { Particles.clear(); }

TQelParticle* TQelParticleSystem::GetParticle(int32_t index) const {
  if (index < 0 || index >= GetParticleCount()) return nullptr;
  return Particles[static_cast<size_t>(index)].get();
}

void TQelParticleSystem::SetTemplate(TQelParticleTemplate* tmpl) {
  ClearParticles();
  Template = tmpl;
  if (Template) Template->Effect = Effect;
}

int32_t TQelParticleSystem::EffectTime() const {
  return Effect ? static_cast<int32_t>(Effect->CurrentTime) : 0;
}

bool TQelParticleSystem::Assign(const TQelBaseObject* source) {
  auto* src = dynamic_cast<const TQelParticleSystem*>(source);
  if (!src || !TQelBaseObject::Assign(source)) return false;
  if (src == this) return true;
  InitParticles = src->InitParticles;
  InitInterval = src->InitInterval;
  InitIntervalDivisor = src->InitIntervalDivisor;
  InitIntervalDivisorN = src->InitIntervalDivisorN;
  MinParticles = src->MinParticles;
  MaxParticles = src->MaxParticles;
  MaxLifetime = src->MaxLifetime;
  ThrowInterval = src->ThrowInterval;
  ParticlesPerThrow = src->ParticlesPerThrow;
  EmissionInterval = src->EmissionInterval;
  ThrowsPerEmission = src->ThrowsPerEmission;
  FrameCount = src->FrameCount;
  Resource = src->Resource;
  OutputMode = src->OutputMode;
  LastThrowTime = src->LastThrowTime;
  LastEmissionEnd = src->LastEmissionEnd;
  Emitting = src->Emitting;
  ThrowCount = src->ThrowCount;
  Position = src->Position;
  ClearParticles();
  for (const auto& p : src->Particles) {
    auto copy = std::make_unique<TQelParticle>();
    copy->SetSystem(this);
    if (!copy->Assign(p.get())) return false;
    Particles.push_back(std::move(copy));
  }
  return true;
}

bool TQelParticleSystem::Init() {
  if (!TQelBaseObject::Init()) return false;
  if (InitParticles == 0) return true;
  if (InitIntervalDivisor) {
    // "/n" spreads the particles over the position path; without a path or
    // with n = 0 they all start together.
    InitInterval = 0;
    if (Template && Effect && InitIntervalDivisorN > 0) {
      int32_t pos = Template->IndexOfParam("Position");
      TQelMorph* morph =
          pos >= 0 ? Effect->MorphLibrary->GetMorph(Template->Params[static_cast<size_t>(pos)].MorphIndex) : nullptr;
      if (morph) {
        for (int32_t i = 0; i < morph->FuncCount(); ++i) {
          if (auto* path = dynamic_cast<TQelPiecewiseFunc*>(morph->GetFunc(i))) {
            InitInterval = static_cast<int32_t>(path->TotalDuration / static_cast<uint32_t>(InitIntervalDivisorN));
            break;
          }
        }
      }
    }
  }
  AddParticles(InitParticles, InitInterval != 0);
  return true;
}

void TQelParticleSystem::AddParticles(int32_t count, bool staggered) {
  const int32_t now = EffectTime();
  if (Template) {
    for (int32_t k = 0; k < count; ++k) {
      int32_t index = GetParticleCount();
      auto p = CreateParticle(Template, now, this);
      p->SetName(Template->Name + IntToStr(index));
      p->SetSystem(this);
      p->Delay = staggered ? static_cast<int32_t>(static_cast<int64_t>(k) * InitInterval) : 0;
      p->Update(now);
      Particles.push_back(std::move(p));
    }
  }
  LastThrowTime = now;
}

void TQelParticleSystem::Update(int32_t time) {
  for (size_t i = 0; i < Particles.size();) {
    TQelParticle& p = *Particles[i];
    p.Update(time);
    bool expired = p.Dead || (MaxLifetime != 0 && p.GetAge() > MaxLifetime);
    if (expired && GetParticleCount() > MinParticles) {
      Particles.erase(Particles.begin() + static_cast<std::ptrdiff_t>(i));
      continue;
    }
    TVector3 pos = p.Position();
    AddVectors(pos, Position, 3, pos);
    p.SetPosition(pos);
    ++i;
  }
  auto roomForThrow = [&] {
    return static_cast<int64_t>(MaxParticles) >= static_cast<int64_t>(GetParticleCount()) + ParticlesPerThrow;
  };
  if (EmissionInterval != 0) {
    if (!Emitting && Diff(time, LastEmissionEnd) >= EmissionInterval) {
      Emitting = 1;
      ThrowCount = 0;
    }
    if (Emitting && ThrowInterval != 0 && Diff(time, LastThrowTime) >= ThrowInterval && roomForThrow()) {
      AddParticles(ParticlesPerThrow, false);
      ++ThrowCount;
      if (ThrowCount == ThrowsPerEmission) {
        Emitting = 0;
        LastEmissionEnd = time;
      }
    }
  } else if (ThrowInterval != 0 && Diff(time, LastThrowTime) >= ThrowInterval && roomForThrow()) {
    AddParticles(ParticlesPerThrow, false);
  }
}

// ---------------------------------------------------------------------------
// Effect

TQelParticleEffect::TQelParticleEffect()
    : FunctionLibrary(std::make_unique<TQelMorphFuncLib>()),
      MorphLibrary(std::make_unique<TQelMorphLib>()),
      TemplateLibrary(std::make_unique<TQelParticleTemplateLib>()),
      SystemLibrary(std::make_unique<TQelParticleSystemLib>()) {
  SetDefaultName();
}

TQelParticleEffect::~TQelParticleEffect() { FreeLibraries(); }

void TQelParticleEffect::FreeLibraries() {
  // Particles use morphs and templates, morphs use functions: free in that order.
  SystemLibrary.reset();
  TemplateLibrary.reset();
  MorphLibrary.reset();
  FunctionLibrary.reset();
}

void TQelParticleEffect::SetStartTime(uint32_t t) {
  StartTime = t;
  CurrentTime = t;
}

bool TQelParticleEffect::SetLifetime(int32_t ms) {
  Lifetime = ms;
  HasLifetime = static_cast<uint32_t>(ms) != 4294967295u ? 1 : 0;
  return HasLifetime != 0;
}

int32_t TQelParticleEffect::AddTemplate(std::string_view name) {
  int32_t index = TemplateLibrary->IndexOf(name);
  if (index >= 0) return index;
  auto t = std::make_unique<TQelParticleTemplate>();
  t->SetName(name);
  t->Effect = this;
  return TemplateLibrary->Add(std::move(t));
}

int32_t TQelParticleEffect::AddSystem(std::string_view name, std::string_view templateName) {
  int32_t index = SystemLibrary->IndexOf(name);
  if (index >= 0) return index;
  auto s = std::make_unique<TQelParticleSystem>();
  s->SetName(name);
  s->Effect = this;
  s->SetTemplate(TemplateLibrary->GetTemplate(TemplateLibrary->IndexOf(templateName)));
  return SystemLibrary->Add(std::move(s));
}

bool TQelParticleEffect::Assign(const TQelBaseObject* source) {
  auto* src = dynamic_cast<const TQelParticleEffect*>(source);
  if (!src || !TQelBaseObject::Assign(source)) return false;
  if (src == this) return true;
  StartTime = src->StartTime;
  CurrentTime = StartTime + src->GetAge();
  ParticleCount = src->ParticleCount;
  HasLifetime = src->HasLifetime;
  Lifetime = src->Lifetime;
  HasMinParticles = src->HasMinParticles;
  MinParticles = src->MinParticles;
  Finished = src->Finished;
  FreeLibraries();
  FunctionLibrary = std::make_unique<TQelMorphFuncLib>();
  MorphLibrary = std::make_unique<TQelMorphLib>();
  TemplateLibrary = std::make_unique<TQelParticleTemplateLib>();
  SystemLibrary = std::make_unique<TQelParticleSystemLib>();
  bool ok = FunctionLibrary->Assign(src->FunctionLibrary.get());
  MorphLibrary->SetName(src->MorphLibrary->Name);
  TemplateLibrary->SetName(src->TemplateLibrary->Name);
  SystemLibrary->SetName(src->SystemLibrary->Name);
  // Slot for slot, so that morph indexes held by the templates stay valid.
  for (int32_t i = 0; i < src->MorphLibrary->Count(); ++i) {
    const TQelMorph* m = src->MorphLibrary->GetMorph(i);
    if (!m) {
      MorphLibrary->Add(nullptr);
      continue;
    }
    auto copy = CreateMorph(m->Name, m->Dim, m->StartTime, MorphLibrary.get(), FunctionLibrary.get(), "");
    TQelMorph* raw = copy.get();
    MorphLibrary->Add(std::move(copy));
    ok = raw->Assign(m) && ok;
  }
  for (int32_t i = 0; i < src->TemplateLibrary->Count(); ++i) {
    const TQelParticleTemplate* t = src->TemplateLibrary->GetTemplate(i);
    if (!t) continue;
    ok = TemplateLibrary->GetTemplate(AddTemplate(t->Name))->Assign(t) && ok;
  }
  for (int32_t i = 0; i < src->SystemLibrary->Count(); ++i) {
    const TQelParticleSystem* s = src->SystemLibrary->GetSystem(i);
    if (!s) continue;
    ok = SystemLibrary->GetSystem(AddSystem(s->Name, s->Template ? std::string_view(s->Template->Name) : ""))
             ->Assign(s) &&
         ok;
  }
  return ok;
}

bool TQelParticleEffect::Init() {
  if (!TQelBaseObject::Init()) return false;
  return SystemLibrary->Init();
}

void TQelParticleEffect::Update(uint32_t time) {
  if (time < StartTime) return;
  CurrentTime = time;
  int64_t count = 0;
  for (int32_t i = 0; i < SystemLibrary->Count(); ++i) {
    TQelParticleSystem* s = SystemLibrary->GetSystem(i);
    if (!s) continue;
    s->Update(static_cast<int32_t>(CurrentTime));
    count += s->GetParticleCount();
  }
  ParticleCount = static_cast<int32_t>(std::min<int64_t>(count, 2147483647));
  Finished = ((HasLifetime && static_cast<int64_t>(GetAge()) >= Lifetime) ||
              (HasMinParticles && ParticleCount <= MinParticles))
                 ? 1
                 : 0;
}

void TQelParticleEffect::ForEachParticle(
    const std::function<void(const TQelParticleSystem&, const TQelParticle&)>& draw) const {
  for (int32_t i = 0; i < SystemLibrary->Count(); ++i) {
    const TQelParticleSystem* s = SystemLibrary->GetSystem(i);
    if (!s) continue;
    for (const auto& p : s->Particles) draw(*s, *p);
  }
}

}  // namespace qv::fx
