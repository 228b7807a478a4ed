// Small stand-ins for the card game's seams that the game-file fuzz targets
// share: a repeatable random generator, silent sound, widgets that exist and
// a screen that ignores its dirty rectangles, and a rig that wires them with
// a target's own surfaces and archive into a game on a short belt period.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "foundation/Clock.h"
#include "game/CardRules.h"
#include "game/GameServices.h"

namespace qv::fuzz {

class ScriptRandom final : public qv::IGameRandom {
 public:
  int32_t Random(int32_t m) override { return m <= 0 ? 0 : static_cast<int32_t>(next() % static_cast<uint32_t>(m)); }
  double RandomFloat() override { return (next() % 1000u) / 1000.0; }
  int32_t WeightedRandom(const qv::TIntegers& w) override {
    int64_t sum = 0;
    for (int32_t v : w) sum += v;
    if (sum <= 0) return static_cast<int32_t>(w.size());
    int64_t r = static_cast<int64_t>(next() % static_cast<uint32_t>(sum > 0x7FFFFFFF ? 0x7FFFFFFF : sum)) + 1;
    for (size_t i = 0; i < w.size(); ++i) {
      r -= w[i];
      if (r <= 0) return static_cast<int32_t>(i);
    }
    return static_cast<int32_t>(w.size());
  }

 private:
  uint32_t next() { return state_ = state_ * 1103515245u + 12345u; }
  uint32_t state_ = 1;
};

class Sound final : public qv::IGameSound {
 public:
  void PlaySample(std::string_view) override {}
  void StopAllSounds() override {}
  void PlayMusic(std::string_view, int32_t, int32_t, int32_t) override {}
  void UpdateMusicSchedule(int32_t) override {}
};

class Widgets final : public qv::IGameWidgets {
 public:
  bool Exists(std::string_view) override { return true; }
  std::string GetCaption(std::string_view) override { return "x"; }
  void SetCaption(std::string_view, std::string_view) override {}
  int32_t TextWidth(std::string_view) override { return 10; }
  void ShowModal(std::string_view) override {}
  void Animate(int32_t) override {}
  bool IsGameHintVisible(int) override { return false; }
  void ShowGameHint(int, int32_t, int32_t, int) override {}
};

class Screen final : public qv::IGameScreen {
 public:
  void AddDirtyRect(const qv::TRect&) override {}
  void SetOnlyDirtyRect(const qv::TRect&) override {}
  void ComposeFrame() override {}
};

template <class TSurfaces, class TArchive>
struct GameRig {
  GameRig() {
    qv::BuildCardTypes(State.CardTypes);
    State.Params.GameBornPeriod = 300;
    State.Params.AccelerationMax = 40;
    State.Params.AccelerationStep = 10;
  }

  qv::ManualClock Clock;
  ScriptRandom Rng;
  Sound Sounds;
  Widgets Widget;
  TSurfaces Surfaces;
  TArchive Archive;
  Screen Screens;
  qv::TNullGameEffects Effects;
  qv::TNullFieldSurfaces Field;
  qv::TNullGameScreens GameScreens;
  qv::TGameServices Svc{&Clock, &Rng, &Sounds, &Widget, &Surfaces, &Archive, &Screens, &Effects, &Field, &GameScreens};
  qv::TGameState State;
};

}  // namespace qv::fuzz
