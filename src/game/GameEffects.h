// The game's running effects (flights, bursts, score texts, card turns, wall
// crashes) and the animations timed beside play: the cursor strip, the level
// pictures and the card-turning sweep behind the level-complete window.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "game/GameServices.h"
#include "game/GameTypes.h"

namespace qv {

namespace fx {
class TQelParticleEffect;
}

class TLevelSurfaces;

// The effect objects read at start-up, which every entry copies.
struct TEffectTemplates {
  const fx::TQelParticleEffect* Swap = nullptr;
  const fx::TQelParticleEffect* WallCrash = nullptr;
  const fx::TQelParticleEffect* CardTurn = nullptr;
  const fx::TQelParticleEffect* CardTurnBack = nullptr;
  const fx::TQelParticleEffect* GiveScore = nullptr;
  const fx::TQelParticleEffect* ThiefDisappear = nullptr;
};

// The straight flight's path script, in whole numbers.
std::string FlightScript(TGamePoint from, TGamePoint to);

class TGameEffects : public IGameEffects {
 public:
  TGameEffects(TGameState& state, const TGameServices& services, TLevelSurfaces& field)
      : S(state), Svc(services), Field(field) {}

  TEffectTemplates Templates;
  // Height of the cursor picture, set with the cursor picture.
  int32_t CursorHeight = 0;

  void UpdateEffects(int32_t t) override;
  void UpdateCursorBlink(int32_t t) override;
  void UpdatePictureAnimations(int32_t t) override;
  void UpdateLevelEndSweep(int32_t t) override;
  void StartCardFlyEffect(TGamePoint from, TGamePoint to, std::string_view picture, int32_t start) override;
  void StartPictureEffect(TGamePoint at, std::string_view picture) override;
  void ShowScoreEffect(std::string_view text, TGamePoint at, int32_t start) override;

  // A flight along any path script; lifetime -1 keeps the template's.
  void StartCardFlight(std::string_view picture, std::string_view pathScript, int32_t start,
                       int32_t lifetimeMs) override;
  // One of the joker's flashes: a picture at a place, no path.
  void StartSwapFlash(std::string_view picture, TGamePoint origin, int32_t start, int32_t lifetimeMs) override;
  // A card turning on a point, started now.
  void StartCardTurnEffect(std::string_view picture, TGamePoint origin) override;
  // A wall falling, started now; picture is its crash strip.
  void StartWallCrashEffect(std::string_view picture, TGamePoint origin) override;

  void RemoveEffect(int32_t index);
  void StopEffects(std::string_view name);

 private:
  // Appends an entry with a copy of the template; nothing without a template.
  TPartEffect* AddEntry(const fx::TQelParticleEffect* tmpl, std::string_view picture, TGamePoint origin, int32_t kind,
                        int32_t start, int32_t lifetime);
  void SweepPoint(int32_t point, int32_t t);
  void StartTurn(std::string_view picture, TGamePoint origin, bool back);
  int32_t Now() const;

  TGameState& S;
  const TGameServices& Svc;
  TLevelSurfaces& Field;
};

}  // namespace qv
