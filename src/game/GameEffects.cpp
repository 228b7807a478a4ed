#include "game/GameEffects.h"

#include <algorithm>

#include "effects/QelFXBase.h"
#include "effects/QelFXParticles.h"
#include "foundation/Numeric.h"
#include "game/FieldMath.h"

namespace qv {

namespace {
constexpr TRect kWholeScreen{0, 0, 800, 600};
}  // namespace

void TEffectDeleter::operator()(fx::TQelParticleEffect* effect) const { delete effect; }

std::string FlightScript(TGamePoint a, TGamePoint b) {
  std::string s = "Set Linear; Set Timing 0.3; Path (";
  s += IntToStr(a.X);
  s += ',';
  s += IntToStr(a.Y);
  s += ") (";
  s += IntToStr(b.X);
  s += ',';
  s += IntToStr(b.Y);
  s += "); Ending Stop;";
  return s;
}

int32_t TGameEffects::Now() const { return Svc.Clock->Now(); }

TPartEffect* TGameEffects::AddEntry(const fx::TQelParticleEffect* tmpl, std::string_view picture, TGamePoint origin,
                                    int32_t kind, int32_t start, int32_t lifetime) {
  if (!tmpl) return nullptr;
  TPartEffect entry;
  entry.Picture = std::string(picture);
  entry.X = origin.X;
  entry.Y = origin.Y;
  entry.Kind = kind;
  entry.Effect.reset(new fx::TQelParticleEffect());
  entry.Effect->Assign(tmpl);
  entry.Effect->SetStartTime(static_cast<uint32_t>(start));
  if (lifetime >= 0) entry.Effect->SetLifetime(lifetime);
  entry.Effect->Init();
  S.Effects.push_back(std::move(entry));
  return &S.Effects.back();
}

void TGameEffects::UpdateEffects(int32_t t) {
  size_t i = 0;
  while (i < S.Effects.size()) {
    TPartEffect& e = S.Effects[i];
    if (!e.Effect) {
      ++i;
      continue;
    }
    e.Effect->Update(static_cast<uint32_t>(t));
    if (e.Effect->Finished) {
      RemoveEffect(static_cast<int32_t>(i));
    } else {
      ++i;
    }
  }
}

void TGameEffects::RemoveEffect(int32_t index) {
  if (index < 0 || index >= static_cast<int32_t>(S.Effects.size())) return;
  S.Effects.erase(S.Effects.begin() + index);
  Svc.Screen->SetOnlyDirtyRect(kWholeScreen);
}

void TGameEffects::StopEffects(std::string_view name) {
  size_t i = 0;
  while (i < S.Effects.size()) {
    if (S.Effects[i].Name == name) {
      RemoveEffect(static_cast<int32_t>(i));
    } else {
      ++i;
    }
  }
}

void TGameEffects::StartCardFlyEffect(TGamePoint from, TGamePoint to, std::string_view picture, int32_t start) {
  StartCardFlight(picture, FlightScript(from, to), start, -1);
}

void TGameEffects::StartCardFlight(std::string_view picture, std::string_view pathScript, int32_t start,
                                   int32_t lifetimeMs) {
  if (!Templates.Swap) return;
  TPartEffect entry;
  entry.Picture = std::string(picture);
  entry.Kind = 1;
  entry.PathScript = std::string(pathScript);
  entry.Effect.reset(new fx::TQelParticleEffect());
  entry.Effect->Assign(Templates.Swap);
  const int32_t f = entry.Effect->IndexOfFunction("FContour");
  if (auto* path = dynamic_cast<fx::TQelPiecewiseFunc*>(f >= 0 ? entry.Effect->GetFunction(f) : nullptr)) {
    path->SetScript(entry.PathScript);
  }
  entry.Effect->SetStartTime(static_cast<uint32_t>(start));
  if (lifetimeMs >= 0) entry.Effect->SetLifetime(lifetimeMs);
  entry.Effect->Init();
  S.Effects.push_back(std::move(entry));
}

void TGameEffects::StartSwapFlash(std::string_view picture, TGamePoint origin, int32_t start, int32_t lifetimeMs) {
  AddEntry(Templates.Swap, picture, origin, 1, start, lifetimeMs);
}

void TGameEffects::StartPictureEffect(TGamePoint at, std::string_view picture) {
  int32_t w = 0, h = 0;
  TGamePoint origin{0, 0};
  if (Svc.Surfaces->GetSize(picture, w, h)) origin = {at.X + Div(w, 2), at.Y + Div(h, 2)};
  AddEntry(Templates.ThiefDisappear, picture, origin, 1, Now(), -1);
}

void TGameEffects::ShowScoreEffect(std::string_view text, TGamePoint at, int32_t start) {
  std::string caption = "+";
  caption += text;
  TPartEffect* e = AddEntry(Templates.GiveScore, caption, at, 1, start == -1 ? Now() : start, -1);
  if (!e) return;
  e->Name = "ScoreEffect";
  e->IsText = true;
}

void TGameEffects::StartCardTurnEffect(std::string_view picture, TGamePoint origin) {
  AddEntry(Templates.CardTurn, picture, origin, 10, Now(), -1);
}

void TGameEffects::StartTurn(std::string_view picture, TGamePoint origin, bool back) {
  AddEntry(back ? Templates.CardTurnBack : Templates.CardTurn, picture, origin, 10, Now(), -1);
}

void TGameEffects::StartWallCrashEffect(std::string_view picture, TGamePoint origin) {
  AddEntry(Templates.WallCrash, picture, origin, 20, Now(), -1);
}

}  // namespace qv
