// The effect templates of the fixtures, read as the game reads its own.
#pragma once

#include <memory>
#include <string>

#include "effects/QelFXParticles.h"
#include "foundation/Files.h"
#include "foundation/MemoryStream.h"
#include "game/GameEffects.h"

namespace qv::test {

inline std::unique_ptr<fx::TQelParticleEffect> LoadFixtureEffect(const std::string& file) {
  TMemoryStream stream(ReadWholeFile(std::string(QUORVANE_FIXTURES) + "/game/effects/" + file));
  auto effect = std::make_unique<fx::TQelParticleEffect>();
  effect->LoadFromStream(&stream);
  return effect;
}

struct FixtureTemplates {
  FixtureTemplates()
      : Flight(LoadFixtureEffect("Flight.xml")), Turn(LoadFixtureEffect("Turn.xml")),
        Score(LoadFixtureEffect("Score.xml")) {}
  // Flights and flashes, crashes, turns both ways, scores and bursts.
  TEffectTemplates All() const {
    TEffectTemplates t;
    t.Swap = Flight.get();
    t.WallCrash = Turn.get();
    t.CardTurn = Turn.get();
    t.CardTurnBack = Turn.get();
    t.GiveScore = Score.get();
    t.ThiefDisappear = Score.get();
    return t;
  }
  std::unique_ptr<fx::TQelParticleEffect> Flight, Turn, Score;
};

}  // namespace qv::test
