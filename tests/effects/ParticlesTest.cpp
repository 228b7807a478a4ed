#include <gtest/gtest.h>

#include <cmath>
#include <functional>

#include "effects/QelFXParticles.h"
#include "foundation/MemoryStream.h"
#include "foundation/QelException.h"
#include "foundation/QelParser.h"
#include "foundation/Random.h"

namespace qv::fx {
namespace {

std::unique_ptr<TQelParticleEffect> LoadText(const std::string& xml) {
  TQelParser parser;
  parser.LoadFromText(xml);
  auto e = std::make_unique<TQelParticleEffect>();
  e->AnalyzeXML(&parser);
  return e;
}

std::unique_ptr<TQelParticleEffect> LoadFixture(const char* name) {
  TMemoryStream stream;
  stream.LoadFromFile(std::string(QUORVANE_FIXTURES) + "/effects/" + name);
  auto e = std::make_unique<TQelParticleEffect>();
  e->LoadFromStream(&stream);
  return e;
}

std::string ErrorOf(const std::function<void()>& f) {
  try {
    f();
  } catch (const std::exception& e) {
    return e.what();
  }
  return "(no error)";
}

// An effect whose one template is built in code; the system gets `setup`.
struct CodeEffect {
  TQelParticleEffect effect;
  TQelParticleSystem* system = nullptr;
  TQelParticleTemplate* tmpl = nullptr;
  explicit CodeEffect(const char* script = nullptr) {
    if (script) {
      auto f = TQelPiecewiseFunc::CreateFromScript("FPath", script, 2);
      effect.AddFunc(std::move(f));
      auto m = CreateMorph("MPath", 2, 0, effect.MorphLibrary.get(), effect.FunctionLibrary.get(), "");
      m->AddFuncByName("FPath");
      effect.AddMorph(std::move(m));
    }
    tmpl = effect.TemplateLibrary->GetTemplate(effect.AddTemplate("T"));
    if (script) tmpl->Params[ParamPosition].MorphIndex = 0;
    system = effect.GetSystem(effect.AddSystem("S", "T"));
  }
};

TEST(ParticleSystem, DefaultsOfATemplateWithoutParameters) {
  CodeEffect c;
  c.system->Position = MakeVector(7, 8, 0);
  c.system->InitParticles = 2;
  c.effect.SetStartTime(1000000);
  ASSERT_TRUE(c.effect.Init());
  ASSERT_EQ(c.system->GetParticleCount(), 2);
  EXPECT_EQ(c.system->GetParticle(1)->Name, "T1");
  EXPECT_EQ(c.system->GetParticle(2), nullptr);
  c.effect.Update(1000010);
  const TQelParticle& p = *c.system->GetParticle(0);
  EXPECT_EQ(p.Position(), MakeVector(7, 8, 0));
  EXPECT_FLOAT_EQ(p.Alpha(), 1);
  EXPECT_EQ(p.Color(), MakeVector(255, 255, 255));
  EXPECT_FLOAT_EQ(p.ColorValue(), 0);
  EXPECT_EQ(p.Frame(), 0);
  EXPECT_EQ(p.Size(), MakeVector(1, 1, 1));
  EXPECT_EQ(p.GetAge(), 10);
  EXPECT_EQ(c.effect.ParticleCount, 2);
  // The system defaults.
  TQelParticleSystem fresh;
  EXPECT_EQ(fresh.MaxParticles, 2147483647);
  EXPECT_EQ(fresh.MaxLifetime, 0);
  EXPECT_EQ(fresh.Template, nullptr);
  EXPECT_EQ(TQelParticleTemplate().Params.size(), 6u);
}

TEST(ParticleSystem, StaggeredByThePathDuration) {
  CodeEffect c("Set Linear; Path (0, 0) (100, 0); Ending Loop;");
  c.system->InitParticles = 4;
  c.system->InitIntervalDivisor = 1;
  c.system->InitIntervalDivisorN = 2;
  c.effect.SetStartTime(1000000);
  c.effect.Init();
  EXPECT_EQ(c.system->InitInterval, 500);
  ASSERT_EQ(c.system->GetParticleCount(), 4);
  const int32_t delays[4] = {0, 500, 1000, 1500};
  const float xs[4] = {10, 60, 10, 60};
  c.effect.Update(1000100);
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(c.system->GetParticle(i)->Delay, delays[i]);
    EXPECT_NEAR(c.system->GetParticle(i)->Position().x, xs[i], 1e-3) << i;
  }
  // A divisor of 0 spreads nothing instead of dividing by zero.
  CodeEffect z("Set Linear; Path (0, 0) (100, 0);");
  z.system->InitParticles = 2;
  z.system->InitIntervalDivisor = 1;
  z.system->InitIntervalDivisorN = 0;
  z.effect.Init();
  EXPECT_EQ(z.system->InitInterval, 0);
  EXPECT_EQ(z.system->GetParticle(1)->Delay, 0);
}

TEST(ParticleSystem, BurstsOfThrows) {
  CodeEffect c;
  c.system->ThrowInterval = 100;
  c.system->ParticlesPerThrow = 1;
  c.system->EmissionInterval = 1000;
  c.system->ThrowsPerEmission = 3;
  c.effect.SetStartTime(1000000);
  c.effect.Init();
  std::vector<int32_t> throwTimes;
  for (int32_t t = 1000000; t <= 1003000; t += 10) {
    int32_t before = c.system->GetParticleCount();
    c.effect.Update(static_cast<uint32_t>(t));
    if (c.system->GetParticleCount() > before) throwTimes.push_back(t - 1000000);
  }
  ASSERT_GE(throwTimes.size(), 6u);
  // Three throws 100 ms apart, then a second's pause after the third.
  EXPECT_EQ(throwTimes[1] - throwTimes[0], 100);
  EXPECT_EQ(throwTimes[2] - throwTimes[1], 100);
  EXPECT_EQ(throwTimes[3] - throwTimes[2], 1000);
  EXPECT_EQ(throwTimes[4] - throwTimes[3], 100);
}

TEST(ParticleSystem, MaxAndMinParticlesAndRemoval) {
  CodeEffect c;
  c.system->ThrowInterval = 100;
  c.system->ParticlesPerThrow = 2;
  c.system->MaxParticles = 5;
  c.system->MaxLifetime = 250;
  c.effect.SetStartTime(1000000);
  c.effect.Init();
  c.effect.Update(1000100);
  c.effect.Update(1000200);
  EXPECT_EQ(c.system->GetParticleCount(), 4);
  // A throw that would pass the maximum is refused and tried again at every update.
  c.effect.Update(1000300);
  EXPECT_EQ(c.system->GetParticleCount(), 4);
  EXPECT_EQ(c.system->LastThrowTime, 1000200);
  // Both particles born at 100 are past 250 ms at 351 and go in one walk; then the throw fits.
  c.effect.Update(1000351);
  EXPECT_EQ(c.system->GetParticleCount(), 4);
  EXPECT_EQ(c.system->GetParticle(0)->BirthTime, 1000200);
  EXPECT_EQ(c.system->GetParticle(2)->BirthTime, 1000351);

  // With MinParticles 3 nothing below three is removed.
  CodeEffect m;
  m.system->InitParticles = 3;
  m.system->MinParticles = 3;
  m.system->MaxLifetime = 10;
  m.effect.SetStartTime(1000000);
  m.effect.Init();
  m.effect.Update(1005000);
  EXPECT_EQ(m.system->GetParticleCount(), 3);

  // A particle exactly MaxLifetime old still lives; one millisecond more and it goes.
  CodeEffect edge;
  edge.system->InitParticles = 1;
  edge.system->MaxLifetime = 100;
  edge.effect.SetStartTime(1000000);
  edge.effect.Init();
  edge.effect.Update(1000100);
  EXPECT_EQ(edge.system->GetParticleCount(), 1) << "age 100 of 100";
  edge.effect.Update(1000101);
  EXPECT_EQ(edge.system->GetParticleCount(), 0) << "age 101 of 100";
}

TEST(ParticleSystem, FrameRoundsHalvesToEven) {
  auto e = LoadText(R"(<ParticleEffect Name="Frames">
  <Functions>
    <Function Name="F25" Dim="1" Type="constant"><Value>(2.5)</Value></Function>
    <Function Name="F35" Dim="1" Type="constant"><Value>(3.5)</Value></Function>
    <Function Name="F26" Dim="1" Type="constant"><Value>(2.6)</Value></Function>
  </Functions>
  <Morphs>
    <Morph Name="M25" Dim="1"><Functions><Function Name="F25"/></Functions></Morph>
    <Morph Name="M35" Dim="1"><Functions><Function Name="F35"/></Functions></Morph>
    <Morph Name="M26" Dim="1"><Functions><Function Name="F26"/></Functions></Morph>
  </Morphs>
  <Particles>
    <Particle Name="P25"><Parameter Name="Frame" Dim="1" Morph="M25"/></Particle>
    <Particle Name="P35"><Parameter Name="Frame" Dim="1" Morph="M35"/></Particle>
    <Particle Name="P26"><Parameter Name="Frame" Dim="1" Morph="M26"/></Particle>
  </Particles>
  <ParticleSystems>
    <ParticleSystem Name="S25" Template="P25"><InitParticles>1</InitParticles></ParticleSystem>
    <ParticleSystem Name="S35" Template="P35"><InitParticles>1</InitParticles></ParticleSystem>
    <ParticleSystem Name="S26" Template="P26"><InitParticles>1</InitParticles></ParticleSystem>
  </ParticleSystems>
</ParticleEffect>)");
  e->SetStartTime(1000000);
  ASSERT_TRUE(e->Init());
  e->Update(1000010);
  const int32_t expected[3] = {2, 4, 3};
  for (int32_t i = 0; i < 3; ++i) {
    ASSERT_EQ(e->GetSystem(i)->GetParticleCount(), 1);
    EXPECT_EQ(e->GetSystem(i)->GetParticle(0)->Frame(), expected[i]) << e->GetSystem(i)->Name;
  }
}

TEST(ParticleSystem, LiveRangeKillsAndClonedMorphsAreOwn) {
  RandSeed(7);
  auto e = LoadFixture("Sparks.xml");
  TQelParticleSystem* burst = e->GetSystem(0);
  ASSERT_NE(burst, nullptr);
  TQelParticleTemplate* spark = burst->Template;
  ASSERT_NE(spark, nullptr);
  // "position" replaced the built-in parameter instead of adding a seventh.
  ASSERT_EQ(spark->Params.size(), 6u);
  EXPECT_EQ(spark->Params[0].Name, "position");
  EXPECT_EQ(spark->Params[0].ClonedMorph, 1);
  EXPECT_EQ(spark->Params[1].HasLiveValue, 1);
  EXPECT_FLOAT_EQ(spark->Params[1].LiveMin.x, 0.1f);
  EXPECT_FLOAT_EQ(spark->Params[1].LiveMax.x, 1.5f);
  e->SetStartTime(1000000);
  ASSERT_TRUE(e->Init());
  ASSERT_EQ(burst->GetParticleCount(), 3);
  const TQelParticle* p0 = burst->GetParticle(0);
  const TQelParticle* p1 = burst->GetParticle(1);
  ASSERT_TRUE(p0->Params[0].OwnMorph);
  EXPECT_NE(p0->Params[0].Morph, p1->Params[0].Morph);
  EXPECT_NE(p0->Params[0].Morph, e->GetMorph(0));
  // Each particle drew its own position and scale.
  const TQelMorph& m0 = *p0->Params[0].Morph;
  EXPECT_GE(m0.Scale.x, 1);
  EXPECT_LT(m0.Scale.x, 2);
  EXPECT_GE(m0.Position.x, 0);
  EXPECT_LT(m0.Position.x, 800);
  EXPECT_NE(m0.Position, p1->Params[0].Morph->Position);
  // Clone="true" gave the morph its own function with the tag's weight.
  EXPECT_FLOAT_EQ(m0.GetFunc(0)->Weight, 2);
  // The library's shared morph is untouched by the draws.
  EXPECT_EQ(e->GetMorph(0)->HasScale, 0);
  // The system's own position is added after the morph.
  e->Update(1000000);
  EXPECT_NEAR(p0->Position().x, m0.Position.x + 5, 1e-3);
  // Alpha 0.5 cos t + 0.5 leaves the live range after about 2.5 s; MaxLifetime removes them first.
  EXPECT_NEAR(p0->Alpha(), 1, 1e-6);
  e->Update(1000600);
  for (int i = 0; i < burst->GetParticleCount(); ++i) EXPECT_LE(burst->GetParticle(i)->GetAge(), 500);
}

TEST(ParticleSystem, DeadParticlesGoWhileTheWalkGoesOn) {
  auto e = LoadText(R"(<ParticleEffect Name="Fade">
  <Functions><Function Name="F" Dim="1" Type="parabolic"><StartVelocity>(-1)</StartVelocity>
    <StartPosition>(1)</StartPosition></Function></Functions>
  <Morphs><Morph Name="M" Dim="1"><Functions><Function Name="F"/></Functions></Morph></Morphs>
  <Particles><Particle Name="P"><Parameter Name="Alpha" Dim="1" Morph="M"><LiveValue>(0)-(1)</LiveValue>
  </Parameter></Particle></Particles>
  <ParticleSystems><ParticleSystem Name="S" Template="P"><InitParticles>2</InitParticles>
    <ThrowInterval>0.5</ThrowInterval><ParticlesPerThrow>1</ParticlesPerThrow></ParticleSystem></ParticleSystems>
</ParticleEffect>)");
  e->SetStartTime(1000000);
  e->Init();
  TQelParticleSystem* s = e->GetSystem(0);
  e->Update(1000500);
  EXPECT_EQ(s->GetParticleCount(), 3);
  EXPECT_NEAR(s->GetParticle(0)->Alpha(), 0.5, 1e-6);
  // At 1001001 the first two (born at 0) are dead and removed in one walk; the third stays.
  e->Update(1001001);
  ASSERT_EQ(s->GetParticleCount(), 2);
  EXPECT_EQ(s->GetParticle(0)->BirthTime, 1000500);
  EXPECT_EQ(s->GetParticle(1)->BirthTime, 1001001);
}

TEST(ParticleEffect, CardFlightFromTheSwapTemplate) {
  auto tmpl = LoadFixture("SwapEffect.xml");
  EXPECT_EQ(tmpl->Name, "SwapEffect");
  ASSERT_EQ(tmpl->GetSystemCount(), 1);
  EXPECT_EQ(tmpl->GetSystem(0)->Resource, "CardPicture");
  EXPECT_EQ(tmpl->GetSystem(0)->FrameCount, 4);

  TQelParticleEffect flight;
  ASSERT_TRUE(flight.Assign(tmpl.get()));
  int32_t fi = flight.IndexOfFunction("fcontour");
  ASSERT_GE(fi, 0);
  auto* path = dynamic_cast<TQelPiecewiseFunc*>(flight.GetFunction(fi));
  ASSERT_NE(path, nullptr);
  EXPECT_NE(path, tmpl->GetFunction(fi));
  path->SetScript("Set Linear; Set Timing 0.3; Path (100,200) (300,400); Ending Stop;");
  flight.SetStartTime(1000000);
  flight.Init();
  ASSERT_EQ(flight.GetSystem(0)->GetParticleCount(), 1);
  const TQelParticle* card = flight.GetSystem(0)->GetParticle(0);
  flight.Update(1000000);
  EXPECT_EQ(card->Position(), MakeVector(100, 200, 0));
  flight.Update(1000150);
  EXPECT_EQ(card->Position(), MakeVector(200, 300, 0));
  EXPECT_FLOAT_EQ(card->Alpha(), 0.75f);
  flight.Update(1000300);
  EXPECT_EQ(card->Position(), MakeVector(300, 400, 0));
  EXPECT_FALSE(flight.Finished);
  // The template's path got no script and no particles.
  EXPECT_EQ(dynamic_cast<TQelPiecewiseFunc*>(tmpl->GetFunction(fi))->SegmentCount(), 0);
  EXPECT_EQ(tmpl->GetSystem(0)->GetParticleCount(), 0);

  int drawn = 0;
  flight.ForEachParticle([&](const TQelParticleSystem& s, const TQelParticle& p) {
    EXPECT_EQ(s.Resource, "CardPicture");
    EXPECT_EQ(p.Position(), MakeVector(300, 400, 0));
    ++drawn;
  });
  EXPECT_EQ(drawn, 1);
}

TEST(ParticleEffect, CopiesAreIndependent) {
  auto tmpl = LoadFixture("Sparks.xml");
  tmpl->SetStartTime(1000000);
  tmpl->Init();
  tmpl->Update(1000050);
  TQelParticleEffect copy;
  ASSERT_TRUE(copy.Assign(tmpl.get()));
  EXPECT_EQ(copy.CurrentTime, 1000050u);
  ASSERT_EQ(copy.GetSystemCount(), 2);
  TQelParticleSystem* cs = copy.GetSystem(0);
  TQelParticleSystem* ts = tmpl->GetSystem(0);
  ASSERT_EQ(cs->GetParticleCount(), ts->GetParticleCount());
  EXPECT_NE(cs->Template, ts->Template);
  EXPECT_EQ(cs->Template->Effect, &copy);
  EXPECT_EQ(cs->Effect, &copy);
  for (int i = 0; i < cs->GetParticleCount(); ++i) {
    const TQelParticle* a = cs->GetParticle(i);
    const TQelParticle* b = ts->GetParticle(i);
    EXPECT_EQ(a->System, cs);
    EXPECT_EQ(a->Position(), b->Position());
    EXPECT_NE(a->Params[0].Morph, b->Params[0].Morph);
    EXPECT_EQ(a->Params[0].Morph->FunctionLibrary, copy.FunctionLibrary.get());
    // Shared morphs are the copy's own library morphs.
    EXPECT_EQ(a->Params[1].Morph, copy.GetMorph(1));
  }
  for (int i = 0; i < copy.MorphLibrary->Count(); ++i) {
    const TQelMorph* m = copy.GetMorph(i);
    EXPECT_EQ(m->FunctionLibrary, copy.FunctionLibrary.get());
    for (const TQelMorphFunc* f : m->Functions) {
      bool inCopy = false;
      for (int k = 0; k < copy.FunctionLibrary->Count(); ++k) inCopy |= copy.GetFunction(k) == f;
      EXPECT_TRUE(inCopy || m->OwnsFunc(0));
    }
  }
  std::vector<TVector3> before;
  for (int i = 0; i < ts->GetParticleCount(); ++i) before.push_back(ts->GetParticle(i)->Position());
  int32_t countBefore = ts->GetParticleCount();
  copy.Update(1000400);
  copy.Update(1001000);
  ASSERT_EQ(ts->GetParticleCount(), countBefore);
  for (int i = 0; i < countBefore; ++i) EXPECT_EQ(ts->GetParticle(i)->Position(), before[static_cast<size_t>(i)]);
  EXPECT_EQ(tmpl->CurrentTime, 1000050u);
  // The copy can outlive the template.
  tmpl.reset();
  copy.Update(1001100);
}

TEST(ParticleEffect, LifetimeStartAndFinish) {
  auto e = LoadFixture("Sparks.xml");
  EXPECT_EQ(e->HasLifetime, 1);
  EXPECT_EQ(e->Lifetime, 2000);
  EXPECT_EQ(e->HasMinParticles, 1);
  e->SetStartTime(1000);
  e->Init();
  e->Update(2999);
  EXPECT_FALSE(e->Finished);
  EXPECT_EQ(e->GetAge(), 1999u);
  // Both systems are counted.
  EXPECT_EQ(e->ParticleCount, e->GetSystem(0)->GetParticleCount() + e->GetSystem(1)->GetParticleCount());
  e->Update(3000);
  EXPECT_TRUE(e->Finished);
  // A time before the start changes nothing at all.
  int32_t count = e->ParticleCount;
  e->Update(999);
  EXPECT_EQ(e->CurrentTime, 3000u);
  EXPECT_EQ(e->ParticleCount, count);
  EXPECT_TRUE(e->Finished);
  EXPECT_FALSE(e->SetLifetime(-1));
  e->Update(3001);
  // Sparks still live, so the minimum of 0 does not finish it.
  EXPECT_EQ(e->Finished, e->ParticleCount <= 0 ? 1 : 0);
  EXPECT_TRUE(e->SetLifetime(5));
}

TEST(ParticleEffect, SystemWithoutTemplateFinishesAtOnce) {
  auto e = LoadText(R"(<ParticleEffect Name="Empty" MinParticles="0">
  <Functions/><Morphs/><Particles/>
  <ParticleSystems><ParticleSystem Name="S" Template="Nobody"><InitParticles>5</InitParticles>
  <ThrowInterval>0.01</ThrowInterval><ParticlesPerThrow>3</ParticlesPerThrow></ParticleSystem></ParticleSystems>
</ParticleEffect>)");
  ASSERT_EQ(e->GetSystemCount(), 1);
  EXPECT_EQ(e->GetSystem(0)->Template, nullptr);
  e->SetStartTime(100);
  e->Init();
  e->Update(200);
  EXPECT_EQ(e->ParticleCount, 0);
  EXPECT_TRUE(e->Finished);
}

TEST(ParticleEffect, MissingSectionsAndReadingErrors) {
  TQelParticleEffect e;
  TQelParser parser;
  parser.LoadFromText(R"(<ParticleEffect Name="Half">
  <Morphs><Morph Name="M" Dim="2"><Functions><Function Name="F"/></Functions></Morph></Morphs>
  <Functions><Function Name="F" Dim="2" Type="constant"><Value>(1, 2)</Value></Function></Functions>
  <ParticleSystems/>
</ParticleEffect>)");
  EXPECT_EQ(ErrorOf([&] { e.AnalyzeXML(&parser); }),
            "[TQelParticleEffect.AnalyzeXML]: Effect \"Half\" XML description has no <Particles> tag");
  // Functions and morphs were read before the error (in that order, whatever the file order).
  ASSERT_EQ(e.FunctionLibrary->Count(), 1);
  ASSERT_EQ(e.MorphLibrary->Count(), 1);
  EXPECT_EQ(e.GetMorph(0)->FuncCount(), 1);

  TQelParticleEffect none;
  EXPECT_EQ(ErrorOf([&] { none.AnalyzeXML(nullptr); }),
            "[TQelParticleEffect.AnalyzeXML]: Effect \"QelParticleEffect_Default\" XML description has no "
            "<ParticleEffect> tag");
  EXPECT_EQ(ErrorOf([&] { none.LoadFromStream(nullptr); }),
            "[TQelParticleEffect.LoadFromStream]: Invalid effect \"QelParticleEffect_Default\" XML stream");
  TMemoryStream empty;
  EXPECT_THROW(none.LoadFromStream(&empty), Exception);

  auto wrap = [](const std::string& particles, const std::string& morphs = "") {
    return "<ParticleEffect Name=\"E\"><Functions><Function Name=\"F\" Dim=\"2\" Type=\"constant\"/>"
           "</Functions><Morphs><Morph Name=\"M\" Dim=\"2\"><Functions><Function Name=\"F\"/></Functions>"
           "</Morph>" +
           morphs + "</Morphs><Particles><Particle Name=\"P\">" + particles +
           "</Particle></Particles><ParticleSystems/></ParticleEffect>";
  };
  const std::string p = "[TQelParticleTemplate.AddParamTypeByTag]: ";
  EXPECT_EQ(ErrorOf([&] { LoadText(wrap("<Param/>")); }), p + "<Particle> tag contains invalid tag \"Param\"");
  EXPECT_EQ(ErrorOf([&] { LoadText(wrap("<Parameter Dim=\"2\" Morph=\"M\"/>")); }),
            p + "<Parameter> tag has no \"Name\" attribute");
  EXPECT_EQ(ErrorOf([&] { LoadText(wrap("<Parameter Name=\"Position\" Morph=\"M\"/>")); }),
            p + "<Parameter> tag has no \"Dim\" attribute");
  EXPECT_EQ(ErrorOf([&] { LoadText(wrap("<Parameter Name=\"Position\" Dim=\"7\" Morph=\"M\"/>")); }),
            p + "<Parameter> tag \"Dim\" attribute has invalid value \"7\"");
  EXPECT_EQ(ErrorOf([&] { LoadText(wrap("<Parameter Name=\"Position\" Dim=\"2\"/>")); }),
            p + "<Parameter> tag has no \"Morph\" attribute");
  EXPECT_EQ(ErrorOf([&] { LoadText(wrap("<Parameter Name=\"Position\" Dim=\"2\" Morph=\"Q\"/>")); }),
            p + "<Parameter> tag \"Morph\" attribute contains unknown Morph name \"Q\"");
  EXPECT_EQ(ErrorOf([&] {
              LoadText(wrap("<Parameter Name=\"Position\" Dim=\"2\" Morph=\"M\"><LiveValue>(1)(2)</LiveValue>"
                            "</Parameter>"));
            }),
            p + "<LiveValue> tag value \"(1)(2)\" has invalid syntax");
  auto init = [&](const std::string& body) {
    return wrap("<Parameter Name=\"Position\" Dim=\"2\" Morph=\"M\"><InitMorphs>" + body +
                "</InitMorphs></Parameter>");
  };
  EXPECT_EQ(ErrorOf([&] { LoadText(init("<X/>")); }), p + "<InitMorphs> tag contains invalid tag \"X\"");
  EXPECT_EQ(ErrorOf([&] { LoadText(init("<InitMorph/>")); }), p + "<InitMorph> tag has no \"Name\" attribute");
  EXPECT_EQ(ErrorOf([&] { LoadText(init("<InitMorph Name=\"Z\"/>")); }),
            p + "<InitMorph> tag \"Name\" attribute contains unknown Morph name \"Z\"");
  EXPECT_EQ(ErrorOf([&] { LoadText(init("<InitMorph Name=\"M\"><Prop/></InitMorph>")); }),
            p + "<InitMorph> tag contains invalid tag <Prop>");
  EXPECT_EQ(ErrorOf([&] { LoadText(init("<InitMorph Name=\"M\"><Property>(1)</Property></InitMorph>")); }),
            p + "<Property> tag has no \"Name\" attribute");
  EXPECT_EQ(ErrorOf([&] {
              LoadText(init("<InitMorph Name=\"M\"><Property Name=\".x\">(1)</Property></InitMorph>"));
            }),
            p + "<Property> tag \"Name\" attribute has invalid value \".x\"");
  EXPECT_EQ(ErrorOf([&] {
              LoadText(init("<InitMorph Name=\"M\"><Property Name=\"G.Value\">(1)</Property></InitMorph>"));
            }),
            p + "<Property> tag \"Name\" attribute value \"G.Value\" contains unknown Function name");
  EXPECT_EQ(ErrorOf([&] {
              LoadText(init("<InitMorph Name=\"M\"><Property Name=\"F.Weight\">(1)</Property></InitMorph>"));
            }),
            p + "<Property> tag \"Name\" attribute value \"F.Weight\" contains unknown parameter name");
  // "1..2" is no range (the ".." stands too early) and fails as a vector.
  EXPECT_THROW(LoadText(init("<InitMorph Name=\"M\"><Property Name=\"Scale\">1..2</Property></InitMorph>")),
               EConvertError);
  EXPECT_NO_THROW(
      LoadText(init("<InitMorph Name=\"M\"><Property Name=\"Scale\">(1)..(2)</Property></InitMorph>")));

  const std::string sys = "<ParticleEffect Name=\"E\"><Functions/><Morphs/><Particles/><ParticleSystems>";
  EXPECT_EQ(ErrorOf([&] { LoadText(sys + "<ParticleSystem Template=\"T\"/></ParticleSystems></ParticleEffect>"); }),
            "<ParticleSystem> tag has no \"Name\" attribute");
  EXPECT_EQ(ErrorOf([&] { LoadText(sys + "<ParticleSystem Name=\"S\"/></ParticleSystems></ParticleEffect>"); }),
            "<ParticleSystem> tag has no \"Template\" attribute");
  EXPECT_THROW(LoadText(sys + "<ParticleSystem Name=\"S\" Template=\"T\"><InitParticles>x</InitParticles>"
                              "</ParticleSystem></ParticleSystems></ParticleEffect>"),
               EConvertError);
  // Particle counts a tiny file could blow up into gigabytes are refused.
  auto counted = [&](const std::string& tag, int32_t n) {
    return sys + "<ParticleSystem Name=\"S\" Template=\"T\"><" + tag + ">" + std::to_string(n) + "</" + tag +
           "></ParticleSystem></ParticleSystems></ParticleEffect>";
  };
  for (const char* tag : {"InitParticles", "MinParticles", "MaxParticles", "ParticlesPerThrow"}) {
    EXPECT_EQ(ErrorOf([&] { LoadText(counted(tag, 100000)); }),
              std::string("[TQelParticleEffect.AnalyzeXML]: ") + tag + " of \"S\" is 100000, more than 10000");
    EXPECT_EQ(LoadText(counted(tag, 10000))->GetSystemCount(), 1) << tag;
  }
  EXPECT_EQ(ErrorOf([&] {
              LoadText("<ParticleEffect Name=\"E\" MinParticles=\"10001\"><Functions/><Morphs/><Particles/>"
                       "<ParticleSystems/></ParticleEffect>");
            }),
            "[TQelParticleEffect.AnalyzeXML]: MinParticles of \"E\" is 10001, more than 10000");
  EXPECT_EQ(ErrorOf([&] { LoadText("<ParticleEffect><Functions/></ParticleEffect>"); }),
            "[TQelParticleEffect.AnalyzeXML]: Tag <ParticleEffect> has no \"Name\" attribute");
}

// Ranges draw every component of the parameter, and a morph named as the
// start time "T" runs from the effect's start, not from the particle's birth.
TEST(ParticleTemplate, InitMorphRangesPerComponentAndEffectStart) {
  RandSeed(11);
  auto e = LoadText(R"(<ParticleEffect Name="E">
  <Functions>
    <Function Name="G" Dim="3" Type="constant"><Value>(0, 0, 0)</Value></Function>
    <Function Name="FLine" Dim="2" Type="piecewise"><Script>Set Linear; Path (0, 0) (100, 0);</Script></Function>
  </Functions>
  <Morphs>
    <Morph Name="Main" Dim="3"><Functions><Function Name="G"/></Functions></Morph>
    <Morph Name="T" Dim="2"><Functions><Function Name="FLine"/></Functions></Morph>
  </Morphs>
  <Particles><Particle Name="P">
    <Parameter Name="Position" Dim="3" Morph="Main" ClonedMorph="true">
      <InitMorphs>
        <InitMorph Name="Main">
          <Property Name="Scale">(1, 10, 100)..(2, 20, 200)</Property>
          <Property Name="StartTime">T</Property>
        </InitMorph>
      </InitMorphs>
    </Parameter>
  </Particle></Particles>
  <ParticleSystems><ParticleSystem Name="S" Template="P">
    <ThrowInterval>0.25</ThrowInterval><ParticlesPerThrow>1</ParticlesPerThrow></ParticleSystem>
  </ParticleSystems>
</ParticleEffect>)");
  const TInitMorphProperty& start = e->TemplateLibrary->GetTemplate(0)->Params[0].InitMorphs[0].InitProperties[1];
  EXPECT_EQ(start.UseEffectStart, 1);
  e->SetStartTime(1000000);
  e->Init();
  for (int32_t t = 1000000; t <= 1001000; t += 50) e->Update(static_cast<uint32_t>(t));
  TQelParticleSystem* s = e->GetSystem(0);
  ASSERT_GE(s->GetParticleCount(), 3);
  float ys[3], zs[3];
  for (int32_t i = 0; i < 3; ++i) {
    const TQelParticle* p = s->GetParticle(i);
    const TQelMorph& own = *p->Params[0].Morph;
    SCOPED_TRACE(i);
    EXPECT_GE(own.Scale.x, 1);
    EXPECT_LT(own.Scale.x, 2);
    EXPECT_GE(own.Scale.y, 10);
    EXPECT_LT(own.Scale.y, 20);
    EXPECT_GE(own.Scale.z, 100);
    EXPECT_LT(own.Scale.z, 200);
    ys[i] = own.Scale.y;
    zs[i] = own.Scale.z;
    // "T" started with the effect: a particle born 250 ms in finds the line a quarter along.
    const int32_t born = static_cast<int32_t>(p->BirthTime) - 1000000;
    EXPECT_EQ(born, 250 * i);
    EXPECT_NEAR(own.Position.x, born / 10.0f, 1e-3) << "born " << born;
  }
  EXPECT_FALSE(ys[0] == ys[1] && ys[1] == ys[2]) << "the y component is drawn, not copied";
  EXPECT_FALSE(zs[0] == zs[1] && zs[1] == zs[2]) << "the z component is drawn, not copied";
}

TEST(ParticleTemplate, InitMorphEntriesAreOrderedAndLinked) {
  auto e = LoadText(R"(<ParticleEffect Name="E">
  <Functions>
    <Function Name="F" Dim="2" Type="constant"><Value>(1, 1)</Value></Function>
    <Function Name="G" Dim="2" Type="constant"><Value>(0, 0)</Value></Function>
  </Functions>
  <Morphs>
    <Morph Name="Sub" Dim="2"><Functions><Function Name="G"/></Functions></Morph>
    <Morph Name="Spread" Dim="2"><Functions><Function Name="G"/></Functions>
      <Properties><Property Name="Position">(10, 10)..(20, 20)</Property></Properties></Morph>
    <Morph Name="Main" Dim="2"><Functions><Function Name="F"/></Functions>
      <Properties><Property Name="Position">Sub</Property></Properties></Morph>
  </Morphs>
  <Particles><Particle Name="P">
    <Parameter Name="Position" Dim="2" Morph="Main" ClonedMorph="true">
      <InitMorphs>
        <InitMorph Name="Main"><Property Name="Scale">Spread</Property></InitMorph>
        <InitMorph Name="Spread"><Property Name="Rotation">(0)</Property></InitMorph>
      </InitMorphs>
    </Parameter>
  </Particle></Particles>
  <ParticleSystems><ParticleSystem Name="S" Template="P"><InitParticles>1</InitParticles></ParticleSystem>
  </ParticleSystems>
</ParticleEffect>)");
  const TParticleParam& param = e->TemplateLibrary->GetTemplate(0)->Params[0];
  ASSERT_EQ(param.InitMorphs.size(), 2u);
  // The library copy comes first, then the tree entry, whose reference to the
  // library morph now points at that entry.
  EXPECT_EQ(param.InitMorphs[0].IsSubMorph, 0);
  ASSERT_TRUE(param.InitMorphs[0].Morph);
  EXPECT_EQ(param.InitMorphs[1].IsSubMorph, 1);
  EXPECT_EQ(param.InitMorphs[1].MorphIndex, 1);  // tree: Sub, Main
  EXPECT_EQ(param.InitMorphs[1].InitProperties[0].RefKind, RefEntry);
  EXPECT_EQ(param.InitMorphs[1].InitProperties[0].RefIndex, 0);
  EXPECT_EQ(param.InitMorphs[1].InitProperties[0].Target, TargetScale);
  e->SetStartTime(1000);
  e->Init();
  // The tree entry targets the particle's own clone, whose scale is the
  // entry copy's value: its random position in (10..20).
  const TQelParticle* particle = e->GetSystem(0)->GetParticle(0);
  const TQelMorph* own = particle->Params[0].Morph;
  EXPECT_GE(own->Scale.x, 10);
  EXPECT_LT(own->Scale.x, 20);
  EXPECT_EQ(own->HasScale, 1);
}

}  // namespace
}  // namespace qv::fx
