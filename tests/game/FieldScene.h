// A busy level made on the spot for golden frames and the field benchmark:
// every level surface, two belts, thirty cards, ten running effects, a
// castle, a wall, the thief, the sharper, level pictures and the prompt.
#pragma once

#include <cmath>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "EngineCanvas.h"
#include "effects/QelFXParticles.h"
#include "foundation/MemoryStream.h"
#include "foundation/Random.h"
#include "game/BeltPath.h"
#include "game/FieldCanvas.h"
#include "game/GameEffects.h"
#include "GameFakes.h"
#include "game/LevelSurfaces.h"

namespace qv::test {

using PictureMaker = std::function<void(const std::string&, int, int, bool, const std::function<Rgba(int, int)>&)>;

inline constexpr const char* kSceneFlight =
    "<ParticleEffect Name=\"Flight\" Lifetime=\"0.3\"><Functions>"
    "<Function Name=\"FContour\" Dim=\"2\" Type=\"piecewise\"/></Functions>"
    "<Morphs><Morph Name=\"MContour\" Dim=\"2\"><Functions><Function Name=\"FContour\"/></Functions>"
    "<Properties/></Morph></Morphs>"
    "<Particles><Particle Name=\"Card\"><Parameter Name=\"Position\" Dim=\"2\" Morph=\"MContour\"/></Particle>"
    "</Particles><ParticleSystems><ParticleSystem Name=\"Flight\" Template=\"Card\">"
    "<InitParticles>1</InitParticles></ParticleSystem></ParticleSystems></ParticleEffect>";

inline constexpr const char* kSceneTurn =
    "<ParticleEffect Name=\"Turn\" Lifetime=\"0.5\"><Functions>"
    "<Function Name=\"FTurn\" Dim=\"1\" Type=\"piecewise\">"
    "<Script>Set Linear; Set Timing 0.45; Path (0) (9); Ending Stop (9);</Script></Function>"
    "<Function Name=\"FFade\" Dim=\"1\" Type=\"piecewise\">"
    "<Script>Set Linear; Set Timing 0.5; Path (1) (0.4); Ending Stop (0.4);</Script></Function>"
    "<Function Name=\"FBlue\" Dim=\"3\" Type=\"constant\"><Value>(40, 90, 255)</Value></Function>"
    "<Function Name=\"FTint\" Dim=\"1\" Type=\"constant\"><Value>(0.6)</Value></Function></Functions>"
    "<Morphs><Morph Name=\"MTurn\" Dim=\"1\"><Functions><Function Name=\"FTurn\"/></Functions><Properties/></Morph>"
    "<Morph Name=\"MFade\" Dim=\"1\"><Functions><Function Name=\"FFade\"/></Functions><Properties/></Morph>"
    "<Morph Name=\"MBlue\" Dim=\"3\"><Functions><Function Name=\"FBlue\"/></Functions><Properties/></Morph>"
    "<Morph Name=\"MTint\" Dim=\"1\"><Functions><Function Name=\"FTint\"/></Functions><Properties/></Morph>"
    "</Morphs><Particles><Particle Name=\"Card\">"
    "<Parameter Name=\"Frame\" Dim=\"1\" Morph=\"MTurn\"/><Parameter Name=\"Alpha\" Dim=\"1\" Morph=\"MFade\"/>"
    "<Parameter Name=\"Color\" Dim=\"3\" Morph=\"MBlue\"/><Parameter Name=\"ColorValue\" Dim=\"1\" Morph=\"MTint\"/>"
    "</Particle></Particles><ParticleSystems><ParticleSystem Name=\"Turn\" Template=\"Card\">"
    "<InitParticles>1</InitParticles><FrameCount>10</FrameCount></ParticleSystem></ParticleSystems>"
    "</ParticleEffect>";

inline std::unique_ptr<fx::TQelParticleEffect> SceneEffect(const char* text) {
  const std::string s(text);
  TMemoryStream stream(std::vector<uint8_t>(s.begin(), s.end()));
  auto effect = std::make_unique<fx::TQelParticleEffect>();
  effect->LoadFromStream(&stream);
  return effect;
}

inline uint8_t SceneByte(int v) { return static_cast<uint8_t>(v < 0 ? 0 : v > 255 ? 255 : v); }

// Every picture the field draws.
inline void MakeScenePictures(IFieldCanvas& canvas, const TCardTypes& types, const PictureMaker& make) {
  make("Back.jpg", 800, 600, false, [](int x, int y) { return Rgba{SceneByte(40 + x / 8), SceneByte(60 + y / 6), 90}; });
  make("LentaBack.jpg", 800, 600, false, [](int x, int y) {
    return ((x + y) / 12) % 2 ? Rgba{150, 110, 60} : Rgba{120, 85, 45};
  });
  make("CanvasBack.jpg", 800, 600, false, [](int x, int y) {
    return ((x / 20) + (y / 20)) % 2 ? Rgba{225, 215, 190} : Rgba{205, 195, 170};
  });
  auto disc = [](int size) {
    return [size](int x, int y) {
      const double r = size / 2.0, d = std::hypot(x + 0.5 - r, y + 0.5 - r);
      return Rgba{255, 255, 255, SceneByte(static_cast<int>((r - d) * 255 / r * 2))};
    };
  };
  make("Pen1.png", 24, 24, true, disc(24));
  make("Shadow.png", 44, 60, true, [](int x, int y) {
    const int edge = std::min(std::min(x, 43 - x), std::min(y, 59 - y));
    return Rgba{0, 0, 0, SceneByte(edge * 30)};
  });
  make("Mask.png", 36, 54, true, [](int x, int y) {
    const int edge = std::min(std::min(x, 35 - x), std::min(y, 53 - y));
    return Rgba{255, 255, 255, SceneByte(edge * 90)};
  });
  make("Frame.png", 800, 600, true, [](int x, int y) {
    const bool border = x < 8 || y < 8 || x >= 792 || y >= 592;
    return Rgba{70, 40, 20, static_cast<uint8_t>(border ? 255 : 0)};
  });
  auto card = [](Rgba face, Rgba ink, int mark) {
    return [face, ink, mark](int x, int y) {
      if (x == 0 || y == 0 || x == 31 || y == 49) return Rgba{30, 30, 30, 255};
      if (std::abs(x - 16) + std::abs(y - 25) < 4 + mark % 9) return ink;
      return face;
    };
  };
  for (const TCardType& t : types) {
    const Rgba ink = t.Suit >= 2 ? Rgba{200, 20, 30, 255} : Rgba{20, 20, 30, 255};
    make(t.Picture, 32, 50, true, card(Rgba{250, 248, 240, 255}, ink, t.Rank));
  }
  make("ZoneAll.png", 32, 50, true, [](int x, int y) { return Rgba{90, 140, 90, SceneByte(120 + (x + y) % 40)}; });
  make("ZoneCastle.png", 32, 50, true, [](int, int) { return Rgba{160, 120, 200, 150}; });
  make("CardBackStrUp.png", 32, 50, true, [](int, int y) { return Rgba{60, 120, 220, SceneByte(100 + y * 2)}; });
  make("CardBackStrDown.png", 32, 50, true, [](int, int y) { return Rgba{220, 120, 60, SceneByte(200 - y * 2)}; });
  make("CardBack.png", 32, 50, true, card(Rgba{60, 70, 160, 255}, Rgba{200, 200, 240, 255}, 5));
  make("CardDress.png", 32, 50, true, card(Rgba{130, 40, 40, 255}, Rgba{230, 190, 90, 255}, 7));
  make("CoverMask.png", 32, 50, true, [](int, int) { return Rgba{0, 0, 0, 255}; });
  make("Cover", 800, 600, false, [](int x, int y) { return Rgba{SceneByte(100 + (x * y) % 90), 90, SceneByte(y / 3)}; });
  make("CardFrame.png", 40, 56, true, [](int x, int y) {
    const bool ring = x < 3 || y < 3 || x >= 37 || y >= 53;
    return Rgba{255, 230, 80, static_cast<uint8_t>(ring ? 230 : 0)};
  });
  make("VCardLine.png", 6, 54, true, [](int x, int) { return Rgba{250, 250, 200, SceneByte(255 - std::abs(x - 3) * 80)}; });
  make("HCardLine.png", 36, 8, true, [](int, int y) { return Rgba{250, 250, 200, SceneByte(255 - std::abs(y - 4) * 60)}; });
  make("CardPoint.png", 10, 12, true, disc(10));
  make("Vor.png", 40, 60, true, [](int x, int y) { return Rgba{40, 40, 40, SceneByte((x * 7 + y * 3) % 255)}; });
  make("Shuller.png", 40, 60, true, disc(40));
  make("LentaPart.png", 20, 14, true, [](int x, int) { return Rgba{180, 140, 90, SceneByte(x * 12)}; });
  make("BPBack.png", 120, 80, true, [](int, int) { return Rgba{120, 90, 160, 180}; });
  make("BPCard.png", 32, 50, true, [](int, int) { return Rgba{200, 200, 220, 140}; });
  make("Wall1.png", 90, 30, true, [](int x, int y) { return Rgba{110, 110, 120, SceneByte(200 + (x ^ y) % 50)}; });
  make("joker.png", 32, 50, true, card(Rgba{240, 200, 40, 255}, Rgba{80, 20, 120, 255}, 8));
  make("CardCrop.png", 32, 50, true, card(Rgba{40, 200, 120, 255}, Rgba{10, 60, 30, 255}, 3));
  for (const char* strip : {"card_animeRN.png", "card_animeBP.png"}) {
    make(strip, 320, 50, true, [](int x, int y) {
      const int frame = x / 32, col = x % 32;
      const int half = 16 - std::abs(16 - frame * 16 / 9 * 2 % 33);
      return Rgba{SceneByte(250 - frame * 20), 220, SceneByte(frame * 25),
                  static_cast<uint8_t>(std::abs(col - 16) <= half + 1 && y > 0 && y < 49 ? 255 : 0)};
    });
  }
  make("Fire.png", 96, 48, true, [](int x, int y) {
    return Rgba{255, SceneByte(80 + (x % 32) * 5), 20, SceneByte(255 - y * 5)};
  });
  make("Tower1.png", 50, 70, true, [](int x, int) { return Rgba{150, 150, 170, SceneByte(150 + x)}; });
  (void)canvas;
}

struct SceneTemplates {
  SceneTemplates() : Flight(SceneEffect(kSceneFlight)), Turn(SceneEffect(kSceneTurn)) {}
  TEffectTemplates All() const {
    TEffectTemplates t;
    t.Swap = Flight.get();
    t.CardTurn = t.CardTurnBack = t.WallCrash = t.GiveScore = t.ThiefDisappear = Turn.get();
    return t;
  }
  std::unique_ptr<fx::TQelParticleEffect> Flight, Turn;
};

inline void AddSceneBelt(TGameState& s, const char* script, int32_t now, int32_t cards, int32_t firstKind) {
  TBeltPathInfo info = MakeBeltPath(script);
  TFishkaLenta belt;
  belt.Path = std::move(info.Path);
  belt.PathTime = static_cast<int32_t>(info.TotalDuration);
  belt.PathLength = static_cast<int32_t>(info.TotalLength);
  belt.PointsBetween = 26;
  belt.PointStep = belt.PathLength / belt.PointsBetween;
  belt.PartImage = "LentaPart.png";
  belt.PartWidth = 20;
  belt.PartHeight = 14;
  for (int32_t i = 0; i < cards; ++i) {
    TCard c = MakeCard((firstKind + i * 7) % kCardKinds, btNone, now - belt.PathTime + 2500 + i * 1400);
    if (i == 2) c.BonusType = btJoker;
    if (i == 5) c.BonusType = btCrop;
    double x = 0, y = 0;
    BeltPathPoint(belt, now - c.BornTime, x, y);
    c.X = static_cast<int32_t>(std::lround(x)) - 16;
    c.Y = static_cast<int32_t>(std::lround(y)) - 25;
    c.Alpha = static_cast<uint8_t>(i == cards - 1 ? 120 : 255);
    belt.Cards.push_back(c);
  }
  s.Level.Belts.push_back(std::move(belt));
}

// The level at time now: 18 points, 12 laid cards, two belts of 9 cards,
// 10 running effects.
inline void BuildScene(GameHarness& h, TLevelSurfaces& surfaces, TGameEffects& effects, int32_t now) {
  TGameState& s = h.State;
  TLevel& L = s.Level;
  RandSeed(20261208);
  h.Clock.Set(now - 400);
  L.BackPicture = "Back.jpg";
  L.LentaFramesBack = "LentaBack.jpg";
  L.LevelFramesBack = "CanvasBack.jpg";
  L.LentaFrames = {{10, 60, 140, 160, 0x30C0FF}};
  L.LevelFrames = {{20, 90, 200, 110, 8049407}};
  L.Zones.resize(2);
  L.Zones[0].Picture = "ZoneAll.png";
  L.Zones[1].Picture = "ZoneCastle.png";
  L.Zones[1].Wall = true;
  for (int j = 0; j < 3; ++j) {
    for (int i = 0; i < 6; ++i) {
      L.Points.push_back({250 + 34 * i, 200 + 52 * j});
      L.PointZone.push_back(i < 2 && j < 2 ? 1 : 0);
      L.StreetTypes.push_back(static_cast<uint8_t>(j == 2 ? (i % 3 == 1 ? stUp : i % 3 == 2 ? stDown : stNone) : stNone));
    }
  }
  L.NearPoints.assign(L.Points.size(), {});
  L.PointsBusy.assign(L.Points.size(), -1);
  L.Zones[1].FlashStart = now - 150;
  L.Zones[1].FlashEnd = now + 650;
  L.Zones[1].FlashCount = 2;
  L.Zones[1].FlashAmplitude = 200;
  TBonusPlaceType bp;
  bp.Points = {{30, 40}, {90, 40}};
  bp.PictureBack = "BPBack.png";
  bp.PictureCardBack = "BPCard.png";
  s.BonusPlaceTypes = {bp};
  L.BonusPlaceX = 560;
  L.BonusPlaceY = 330;
  TWall wall;
  wall.Picture = "Wall1.png";
  wall.X = 420;
  wall.Y = 300;
  wall.WallOut = {15, 16};
  L.Walls = {wall};

  for (int32_t p : {0, 1, 2, 3, 4, 6, 7, 8, 9, 10, 12, 13}) {
    const int32_t card = h.Lay(p, Random(kCardKinds));
    if (p == 1 || p == 7 || p == 8) s.Cards[static_cast<size_t>(card)].State = csEnclosed;
  }
  TCard& flashing = s.Cards[2];
  flashing.FlashStart = now - 100;
  flashing.FlashEnd = now + 700;
  flashing.FlashCount = 2;
  flashing.FlashAmplitude = 200;
  TCard bonusCard = MakeCard(Random(kCardKinds));
  s.Cards.push_back(bonusCard);
  L.BPPointsBusy = {static_cast<int32_t>(s.Cards.size()) - 1, -1};

  AddSceneBelt(s, "Set Linear; Set Timing 20; Path (60, 60) (60, 540) (740, 540) (740, 60); Ending Loop;", now, 9, 3);
  AddSceneBelt(s, "Set Linear; Set Timing 18; Path (150, 110) (650, 110) (650, 480) (150, 480); Ending Loop;", now, 9,
               11);
  for (int32_t k = 0; k < kCardKinds; k += 3) s.SuitableKinds.set(static_cast<size_t>(k));
  s.FrameOffset = {4, 3};
  L.BeltPhase = -200;
  L.PrevBeltPhase = -180;

  s.HeldCard = 0;
  s.Game.PromptShown = true;
  s.Game.TakeTime = now - 2100;
  L.TimePrompt = 2000;
  s.TargetPoints = {5, 11, 14};
  s.BonusTargets = {{651, 395}};

  L.ThiefPoints = {17};
  L.ThiefPos = {430, 330};
  L.SharperPoint = 16;
  s.Params.SharperDelay = 2000;
  L.SharperFrom = {480, 250};
  L.SharperPos = {520, 300};
  L.SharperTime = now + 2000 - 600;

  TLevelPicture fire;
  fire.SeparateImages = false;
  fire.X = 700;
  fire.Y = 420;
  fire.Images = {"Fire.png"};
  fire.FramesCount = 5;
  fire.FramesPerLine = 3;
  fire.FrameWidth = 32;
  fire.FrameHeight = 24;
  fire.Frame = 4;
  TLevelPicture tower;
  tower.Images = {"Tower1.png"};
  tower.X = 60;
  tower.Y = 380;
  tower.FlashStart = now - 200;
  tower.FlashEnd = now + 600;
  tower.FlashCount = 2;
  tower.FlashAmplitude = 200;
  L.Pictures = {fire, tower};

  surfaces.MakeWallOutlines();
  surfaces.MakeLevelSurfaces();
  surfaces.DrawCoverMask();

  const std::string picture = s.CardTypes[5].Picture;
  for (int32_t i = 0; i < 4; ++i) {
    effects.StartCardFlyEffect({100 + 60 * i, 560}, {400, 100 + 30 * i}, s.CardTypes[static_cast<size_t>(i * 9)].Picture,
                               now - 60 * (i + 1));
  }
  for (int32_t i = 0; i < 3; ++i) effects.StartCardTurnEffect("card_animeRN.png", {300 + 50 * i, 460});
  h.Clock.Set(now - 250);
  for (int32_t i = 0; i < 3; ++i) effects.StartCardTurnEffect("card_animeBP.png", {520 + 40 * i, 150 + 20 * i});
  effects.UpdateEffects(now);
  h.Clock.Set(now);
}

}  // namespace qv::test
