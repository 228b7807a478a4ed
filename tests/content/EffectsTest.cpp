// The six effect files load into effect templates, and a copy of each, aimed
// the way the game aims it, runs and finishes.
#include <gtest/gtest.h>

#include <cmath>

#include "content/ContentSupport.h"
#include "effects/QelFXParticles.h"
#include "foundation/MemoryStream.h"

namespace qv::test {
namespace {

using fx::TQelParticleEffect;

std::unique_ptr<TQelParticleEffect> LoadTemplate(const std::string& entry) {
  auto effect = std::make_unique<TQelParticleEffect>();
  TMemoryStream stream;
  const std::string text = EntryText(WorkingArchive(), entry);
  stream.Write(text.data(), text.size());
  stream.SetPosition(0);
  effect->LoadFromStream(&stream);
  return effect;
}

// A copy started at `start`, updated every 20 ms until it finishes; returns
// the time it took (or -1 when it was still running after 10 seconds).
int32_t RunToEnd(const TQelParticleEffect& tmpl, uint32_t start,
                 const std::function<void(TQelParticleEffect&)>& aim = nullptr,
                 const std::function<void(TQelParticleEffect&, uint32_t)>& watch = nullptr) {
  TQelParticleEffect e;
  EXPECT_TRUE(e.Assign(&tmpl));
  if (aim) aim(e);
  e.SetStartTime(start);
  e.Init();
  for (uint32_t t = start; t <= start + 10000; t += 20) {
    e.Update(t);
    if (watch) watch(e, t);
    if (e.Finished) return int32_t(t - start);
  }
  return -1;
}

TEST(ContentEffects, EveryEffectLoadsAndFinishes) {
  for (const char* entry : {"SwapEffect.xml", "WallCrashEffect.xml", "CardTurnEffect.xml", "CardTurnEffectBack.xml",
                            "GiveScoreEffect.xml", "ThiefDisaperEffect.xml"}) {
    SCOPED_TRACE(entry);
    std::unique_ptr<TQelParticleEffect> tmpl;
    ASSERT_NO_THROW(tmpl = LoadTemplate(entry));
    ASSERT_GT(tmpl->GetSystemCount(), 0);
    bool drewSomething = false;
    const int32_t took = RunToEnd(*tmpl, 1000000, nullptr, [&](TQelParticleEffect& e, uint32_t) {
      if (e.ParticleCount > 0) drewSomething = true;
    });
    EXPECT_GT(took, 0);
    EXPECT_LE(took, 2000);
    EXPECT_TRUE(drewSomething);
  }
}

TEST(ContentEffects, SwapEffectCarriesTheFlightScript) {
  auto tmpl = LoadTemplate("SwapEffect.xml");
  const int32_t f = tmpl->IndexOfFunction("FContour");
  ASSERT_GE(f, 0);
  auto* contour = dynamic_cast<fx::TQelPiecewiseFunc*>(tmpl->GetFunction(f));
  ASSERT_NE(contour, nullptr);
  EXPECT_EQ(contour->Dim, 2);
  EXPECT_EQ(contour->SegmentCount(), 0) << "the game appends the flight to an empty path";
  EXPECT_TRUE(tmpl->HasLifetime);
  EXPECT_EQ(tmpl->Lifetime, 300);
  ASSERT_EQ(tmpl->GetSystemCount(), 1);
  EXPECT_EQ(tmpl->GetSystem(0)->InitParticles, 1) << "one card flies";

  // A flight as the game starts it: the card follows the script.
  fx::TVector3 at150, atEnd;
  const int32_t took = RunToEnd(
      *tmpl, 5000,
      [](TQelParticleEffect& e) {
        auto* fn = dynamic_cast<fx::TQelPiecewiseFunc*>(e.GetFunction(e.IndexOfFunction("FContour")));
        fn->SetScript("Set Linear; Set Timing 0.3; Path (100,200) (300,400); Ending Stop;");
      },
      [&](TQelParticleEffect& e, uint32_t t) {
        e.ForEachParticle([&](const fx::TQelParticleSystem&, const fx::TQelParticle& p) {
          if (t == 5160) at150 = p.Position();
          if (t == 5280) atEnd = p.Position();
        });
      });
  EXPECT_EQ(took, 300);
  EXPECT_NEAR(at150.x, 206.7, 1.0);
  EXPECT_NEAR(at150.y, 306.7, 1.0);
  EXPECT_NEAR(atEnd.x, 286.7, 1.0);
  // The template itself stays without a path.
  EXPECT_EQ(contour->SegmentCount(), 0);

  // A joker flash: no script, a lifetime of 100 ms, the card at the origin.
  fx::TVector3 pos{1, 1, 1};
  const int32_t flash = RunToEnd(
      *tmpl, 9000, [](TQelParticleEffect& e) { e.SetLifetime(100); },
      [&](TQelParticleEffect& e, uint32_t) {
        e.ForEachParticle([&](const fx::TQelParticleSystem&, const fx::TQelParticle& p) { pos = p.Position(); });
      });
  EXPECT_EQ(flash, 100);
  EXPECT_FLOAT_EQ(pos.x, 0.0f);
  EXPECT_FLOAT_EQ(pos.y, 0.0f);
}

TEST(ContentEffects, TurnsWalkTheirStrips) {
  auto frames = [](const char* entry) {
    auto tmpl = LoadTemplate(entry);
    std::vector<int32_t> seen;
    RunToEnd(*tmpl, 1000, nullptr, [&](TQelParticleEffect& e, uint32_t) {
      e.ForEachParticle([&](const fx::TQelParticleSystem&, const fx::TQelParticle& p) {
        if (seen.empty() || seen.back() != p.Frame()) seen.push_back(p.Frame());
      });
    });
    return seen;
  };
  std::vector<int32_t> down = frames("CardTurnEffect.xml");
  ASSERT_FALSE(down.empty());
  EXPECT_EQ(down.front(), 0);
  EXPECT_EQ(down.back(), 9);
  EXPECT_TRUE(std::is_sorted(down.begin(), down.end()));
  std::vector<int32_t> up = frames("CardTurnEffectBack.xml");
  ASSERT_FALSE(up.empty());
  EXPECT_EQ(up.front(), 9);
  EXPECT_EQ(up.back(), 0);
  std::vector<int32_t> crash = frames("WallCrashEffect.xml");
  ASSERT_FALSE(crash.empty());
  EXPECT_EQ(crash.front(), 0);
  EXPECT_EQ(crash.back(), 19) << "a crash strip has twenty frames";
}

}  // namespace
}  // namespace qv::test
