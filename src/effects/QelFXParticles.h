// Particle templates, particles, particle systems and particle effects.
//
// An effect file holds functions, morphs, particle templates and particle
// systems; a template effect is read once and copied for every occurrence:
//
//   qv::fx::TQelParticleEffect effect;
//   effect.Assign(&swapTemplate);                       // deep copy, shares nothing
//   auto* path = dynamic_cast<qv::fx::TQelPiecewiseFunc*>(
//       effect.GetFunction(effect.IndexOfFunction("FContour")));
//   if (path) path->SetScript(script);
//   effect.SetStartTime(now);
//   effect.Init();                                      // the initial particles
//   ...every frame: effect.Update(now); when effect.Finished, drop it; draw with
//   effect.ForEachParticle([&](const TQelParticleSystem& s, const TQelParticle& p) {
//     picture s.Resource at p.Position(), alpha p.Alpha(), colour p.Color(),
//     colour value p.ColorValue(), frame p.Frame(), size p.Size()
//   });
// (or walk GetSystemCount / GetSystem(i)->GetParticleCount / GetParticle(j)).
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "effects/Base.h"
#include "effects/QelFXBase.h"

namespace qv {
class TQelXMLTag;
class TQelParser;
class TMemoryStream;
}  // namespace qv

namespace qv::fx {

class TQelParticleEffect;
class TQelParticleSystem;

// Fixed indexes of the built-in particle parameters.
enum : int32_t {
  ParamPosition = 0,
  ParamAlpha = 1,
  ParamColor = 2,
  ParamColorValue = 3,
  ParamFrame = 4,
  ParamSize = 5
};

enum : int32_t { RefTree = 0, RefLibrary = 1, RefEntry = 2 };

struct TInitMorphProperty {
  int32_t Target = -1;
  int32_t FuncIndex = -1;
  int32_t ParamIndex = -1;
  uint8_t SourceKind = SourceFixed;
  TVector3 From, To;
  int32_t RefKind = RefTree;
  int32_t RefIndex = -1;
  uint8_t UseEffectStart = 0;
};

// Morph settings drawn anew for every particle.
struct TInitMorph {
  int32_t MorphIndex = -1;  // in the parameter morph's tree list, or in the effect's library
  uint8_t IsSubMorph = 0;
  std::unique_ptr<TQelMorph> Morph;  // private copy of a library morph; nullptr for a tree entry
  std::vector<TInitMorphProperty> InitProperties;
};

struct TParticleParam {
  std::string Name;
  uint8_t Dim = 1;
  int32_t MorphIndex = -1;
  uint8_t ClonedMorph = 0;
  std::vector<TInitMorph> InitMorphs;
  uint8_t HasLiveValue = 0;
  TVector3 LiveMin, LiveMax;
};

class TQelParticleTemplate : public TQelBaseObject {
 public:
  TQelParticleTemplate();
  const char* ClassName() const override { return "TQelParticleTemplate"; }
  TQelBaseObject* NewInstance() const override { return new TQelParticleTemplate(); }
  bool Assign(const TQelBaseObject* source) override;

  int32_t AddParam(std::string_view name, int32_t dim);
  int32_t IndexOfParam(std::string_view name) const;
  // Reads one child of a <Particle> tag (a <Parameter>); raises on faults.
  void AddParamTypeByTag(const TQelXMLTag& tag);

  TQelParticleEffect* Effect = nullptr;
  std::vector<TParticleParam> Params;

 private:
  void ReadInitMorphs(const TQelXMLTag& tag, TParticleParam& param, std::vector<TQelMorph*>& tree);
  static void OrderInitMorphs(TParticleParam& param);
  static void LinkInitMorphRefs(TParticleParam& param);
};

struct TParticleSlot {
  TQelMorph* Morph = nullptr;         // the driving morph (shared library morph or OwnMorph)
  std::unique_ptr<TQelMorph> OwnMorph;  // the particle's own copy for cloned parameters
  TVector3 Value;
};

class TQelParticle : public TQelBaseObject {
 public:
  TQelParticle();
  const char* ClassName() const override { return "TQelParticle"; }
  TQelBaseObject* NewInstance() const override { return new TQelParticle(); }
  // Slots of cloned parameters get a copy of the source's morph bound to this
  // particle's effect, others the effect's library morph; set System first.
  bool Assign(const TQelBaseObject* source) override;
  using TQelBaseObject::Init;
  void Init(int32_t time);
  virtual void Update(int32_t time);

  int32_t GetAge() const;
  TVector3 Position() const { return Value(ParamPosition); }
  float Alpha() const { return Value(ParamAlpha).x; }
  TVector3 Color() const { return Value(ParamColor); }
  float ColorValue() const { return Value(ParamColorValue).x; }
  int32_t Frame() const;
  TVector3 Size() const { return Value(ParamSize); }
  TVector3 Value(int32_t index) const;
  void SetPosition(const TVector3& v);
  void AddParamSlot(TQelMorph* morph, std::unique_ptr<TQelMorph> own, const TVector3& value);
  void SetSystem(TQelParticleSystem* system) { System = system; }

  TQelParticleSystem* System = nullptr;
  std::vector<TParticleSlot> Params;
  int32_t BirthTime = 0;
  int32_t CurrentTime = 0;
  int32_t Delay = 0;
  uint8_t Dead = 0;
};

// A new particle of the template born at birthTime (see the system's AddParticles).
std::unique_ptr<TQelParticle> CreateParticle(TQelParticleTemplate* tmpl, int32_t birthTime,
                                             TQelParticleSystem* system);

class TQelParticleSystem : public TQelBaseObject {
 public:
  TQelParticleSystem();
  ~TQelParticleSystem() override;
  const char* ClassName() const override { return "TQelParticleSystem"; }
  TQelBaseObject* NewInstance() const override { return new TQelParticleSystem(); }
  // Copies settings, state and live particles; keeps this system's own template and effect.
  bool Assign(const TQelBaseObject* source) override;
  // The initial particles.
  bool Init() override;

  void SetTemplate(TQelParticleTemplate* tmpl);
  void AddParticles(int32_t count, bool staggered);
  void Update(int32_t time);
  int32_t GetParticleCount() const { return static_cast<int32_t>(Particles.size()); }
  TQelParticle* GetParticle(int32_t index) const;
  void ClearParticles();

  TQelParticleEffect* Effect = nullptr;
  TQelParticleTemplate* Template = nullptr;
  std::vector<std::unique_ptr<TQelParticle>> Particles;
  int32_t InitParticles = 0;
  int32_t InitInterval = 0;
  uint8_t InitIntervalDivisor = 0;
  int32_t InitIntervalDivisorN = 0;
  int32_t MinParticles = 0;
  int32_t MaxParticles = 2147483647;
  int32_t MaxLifetime = 0;
  int32_t ThrowInterval = 0;
  int32_t ParticlesPerThrow = 0;
  int32_t EmissionInterval = 0;
  int32_t ThrowsPerEmission = 0;
  int32_t FrameCount = 0;
  std::string Resource;
  int32_t OutputMode = 0;
  int32_t LastThrowTime = 0;
  int32_t LastEmissionEnd = 0;
  uint8_t Emitting = 0;
  int32_t ThrowCount = 0;
  TVector3 Position;

 private:
  int32_t EffectTime() const;
};

class TQelParticleTemplateLib : public TQelStaticCollection {
 public:
  TQelParticleTemplateLib() { SetDefaultName(); }
  const char* ClassName() const override { return "TQelParticleTemplateLib"; }
  TQelBaseObject* NewInstance() const override { return new TQelParticleTemplateLib(); }
  TQelParticleTemplate* GetTemplate(int32_t index) const {
    return dynamic_cast<TQelParticleTemplate*>(GetItem(index));
  }
};

class TQelParticleSystemLib : public TQelStaticCollection {
 public:
  TQelParticleSystemLib() { SetDefaultName(); }
  const char* ClassName() const override { return "TQelParticleSystemLib"; }
  TQelBaseObject* NewInstance() const override { return new TQelParticleSystemLib(); }
  TQelParticleSystem* GetSystem(int32_t index) const { return dynamic_cast<TQelParticleSystem*>(GetItem(index)); }
};

class TQelParticleEffect : public TQelBaseObject {
 public:
  TQelParticleEffect();
  ~TQelParticleEffect() override;
  const char* ClassName() const override { return "TQelParticleEffect"; }
  TQelBaseObject* NewInstance() const override { return new TQelParticleEffect(); }

  // Reads an effect file; raises on a missing/empty stream and on faulty
  // content (what was read before the fault stays in the effect).
  void LoadFromStream(TMemoryStream* stream);
  void AnalyzeXML(const TQelParser* parser);

  void SetStartTime(uint32_t t);
  // -1 clears the lifetime; answers whether one is set.
  bool SetLifetime(int32_t ms);
  uint32_t GetAge() const { return CurrentTime - StartTime; }

  int32_t GetSystemCount() const { return SystemLibrary->Count(); }
  TQelParticleSystem* GetSystem(int32_t index) const { return SystemLibrary->GetSystem(index); }
  TQelMorphFunc* GetFunction(int32_t index) const { return FunctionLibrary->GetFunc(index); }
  int32_t IndexOfFunction(std::string_view name) const { return FunctionLibrary->IndexOf(name); }
  TQelMorph* GetMorph(int32_t index) const { return MorphLibrary->GetMorph(index); }
  int32_t IndexOfMorph(std::string_view name) const { return MorphLibrary->IndexOf(name); }
  int32_t AddFunc(std::unique_ptr<TQelMorphFunc> f) { return AddFuncToLib(FunctionLibrary.get(), std::move(f)); }
  int32_t AddMorph(std::unique_ptr<TQelMorph> m) { return AddMorphToLib(MorphLibrary.get(), std::move(m)); }
  int32_t AddTemplate(std::string_view name);
  int32_t AddSystem(std::string_view name, std::string_view templateName);

  // A deep copy: new libraries, morphs, templates, systems and live particles
  // all bound to this effect.
  bool Assign(const TQelBaseObject* source) override;
  bool Init() override;
  void Update(uint32_t time);

  // Calls draw for every live particle of every system, systems in file order.
  void ForEachParticle(const std::function<void(const TQelParticleSystem&, const TQelParticle&)>& draw) const;

  uint32_t StartTime = 0;
  uint32_t CurrentTime = 0;
  int32_t ParticleCount = 0;
  uint8_t HasLifetime = 0;
  int32_t Lifetime = -1;
  uint8_t HasMinParticles = 0;
  int32_t MinParticles = 0;
  uint8_t Finished = 0;
  std::unique_ptr<TQelMorphFuncLib> FunctionLibrary;
  std::unique_ptr<TQelMorphLib> MorphLibrary;
  std::unique_ptr<TQelParticleTemplateLib> TemplateLibrary;
  std::unique_ptr<TQelParticleSystemLib> SystemLibrary;

 private:
  void FreeLibraries();
  void ReadSystem(const TQelXMLTag& tag);
};

}  // namespace qv::fx
