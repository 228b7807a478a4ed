// The card game's state: the records of a run (TGame) and of the current
// level (TLevel), the cards in play, the belts, and the few globals beside
// them, gathered in one TGameState that every game unit works on.
#pragma once

#include <array>
#include <bitset>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "foundation/SFunctions.h"

namespace qv {

namespace fx {
class TQelMorph;
class TQelParticleEffect;
}

// A point of the field; the same type the surface engine takes.
using TGamePoint = TPoint;
using TNearPoints = std::vector<TIntegers>;

// Kinds 0..51 are used; the set is as wide as a byte.
using TKindSet = std::bitset<256>;

enum TStreetType : uint8_t { stNone = 0, stUp = 1, stDown = 2 };
using TStreetTypes = std::vector<uint8_t>;

// Game modes.
enum : int32_t {
  gmPlaying = 1,
  gmMap = 3,
  gmFrozen = 4,
  gmMenus = 5,
  gmLost = 10,
};

// Difficulties (TGame.Mode).
enum : int32_t { dmNoLose = 1, dmNormal = 2, dmHard = 3 };

// Bonus kinds of a belt card.
enum : int32_t { btNone = -1, btCrop = 1, btReverse = 2, btPause = 3, btJoker = 4 };

// Card states of a laid card.
enum : int32_t { csOpen = 0, csEnclosed = 1, csDropPack = 3 };

// The level the game falls back to, which also runs the tutorial.
constexpr int32_t kIntroLevel = 42;
constexpr int kCardKinds = 52;
constexpr int kCardWidth = 32;
constexpr int kCardHeight = 50;

struct TCardType {
  uint8_t Suit = 0;
  uint8_t Rank = 0;  // 0 Two .. 8 Ten, 9 Jack, 10 Queen, 11 King, 12 Ace
  std::string Picture;
};
using TCardTypes = std::array<TCardType, kCardKinds>;

struct TCard {
  int32_t X = 0;
  int32_t Y = 0;
  int32_t CType = 0;
  int32_t State = 0;
  int32_t BornTime = 0;
  int32_t Acceleration = 0;
  int32_t BonusType = 0;
  uint8_t Alpha = 0;
  int32_t Spacing = 0;
  int32_t FlashStart = 0;
  int32_t FlashEnd = 0;
  int32_t FlashCount = 0;
  int32_t FlashAmplitude = 0;
  int32_t ShowTime = 0;
  bool QuestCard = false;
  TRect DrawnRect;
};
using TCardArray = std::vector<TCard>;

struct TZoneType {
  std::string Name;
  std::string Picture;
  bool Wall = false;  // the zone is a castle
  std::bitset<8> Suits;
  std::bitset<16> Orders;
  // Castle outlines, filled when the field is built.
  TPoints CornerDots;
  TPoints VerticalEdges;
  TPoints HorizontalEdges;
  // The outline's flash; FlashEnd -1: none.
  int32_t FlashStart = -1;
  int32_t FlashEnd = -1;
  int32_t FlashCount = 0;
  int32_t FlashAmplitude = 0;
};
using TZoneTypes = std::vector<TZoneType>;

struct TWall {
  std::string Name;
  TIntegers WallIn;
  TIntegers WallOut;
  std::string Picture;
  int32_t X = 0;
  int32_t Y = 0;
  bool Crashed = false;
};
using TWalls = std::vector<TWall>;

struct TFrame {
  int32_t a1 = 0;
  int32_t a2 = 0;
  int32_t a3 = 0;
  int32_t AlphaMax = 0;
  int32_t Color = 0;
};
using TFrames = std::vector<TFrame>;

struct TLevelPicture {
  std::string Name;
  bool SeparateImages = true;  // false for a frame strip ("line")
  int32_t X = 0;
  int32_t Y = 0;
  std::vector<std::string> Images;
  TIntegers ImageTimes;
  int32_t NextFrameTime = 0;
  int32_t Frame = 0;
  bool Visible = true;
  std::string TagText;
  int32_t FramesCount = 0;
  int32_t FramesPerLine = 0;
  int32_t FrameHeight = 0;
  int32_t FrameWidth = 0;
  int32_t FlashStart = 0;
  int32_t FlashEnd = 0;
  int32_t FlashCount = 0;
  int32_t FlashAmplitude = 0;
};
using TLevelPictures = std::vector<TLevelPicture>;

struct TMorphDeleter {
  void operator()(fx::TQelMorph* morph) const;
};
using TMorphPtr = std::unique_ptr<fx::TQelMorph, TMorphDeleter>;

// One belt. Cards are oldest first: index 0 is furthest along the path.
struct TFishkaLenta {
  TMorphPtr Path;
  TCardArray Cards;
  int32_t Speed = 0;
  double CurSpeed = 0.0;
  int32_t PathLength = 0;  // pixels
  int32_t PathTime = 0;    // ms
  int32_t BornPeriod = 0;  // ms
  int32_t PointStep = 0;
  std::string PartImage;
  int32_t PartWidth = 0;
  int32_t PartHeight = 0;
  std::string PathScript;
  int32_t PointsBetween = 0;
  int32_t ReverseEnd = -1;
  int32_t ReverseStart = -1;
  int32_t BonusTime = -1;  // the third bonus time, set with the Reverse start
  int32_t PauseEnd = -1;
  int32_t PauseStart = -1;
};
using TFishkaLentas = std::vector<TFishkaLenta>;

struct TBonusPlaceType {
  uint8_t Type = 0;
  TPoints Points;
  std::string PictureBack;
  std::string PictureCardBack;
};
using TBonusPlaceTypes = std::vector<TBonusPlaceType>;

struct TMapPlace {
  int32_t x = 0;
  int32_t y = 0;
  TIntegers Near;  // 0-based piece indices
  TRect Bounds;
  std::vector<uint8_t> Mask;
};
using TMapPlaces = std::vector<TMapPlace>;

struct TLevel {
  bool LevComplete = false;
  TPoints Points;
  TNearPoints NearPoints;
  TIntegers PointsBusy;
  TIntegers PointZone;
  std::vector<std::string> PointScripts;
  TZoneTypes Zones;
  TStreetTypes StreetTypes;
  double SuitableCardProb = 0.0;
  double Suitable2CardProb = 0.0;
  TIntegers ThiefPoints;
  TGamePoint ThiefPos;
  TGamePoint SharperPos;
  TGamePoint SharperFrom;
  int32_t ThiefPoint = -1;
  int32_t ThiefPoint2 = -1;
  int32_t SharperTime = 0;
  int32_t SharperPoint = -1;
  int32_t SharperPrevPoint = -1;
  TWalls Walls;
  TFrames LevelFrames;
  TFrames LentaFrames;
  std::string BackPicture;
  std::string LevelFramesBack;
  std::string LentaFramesBack;
  int32_t BonusPlaceX = 0;
  int32_t BonusPlaceY = 0;
  int32_t BonusPlaceType = 0;
  TIntegers BPPointsBusy;
  std::string Picture;
  TLevelPictures Pictures;
  TFishkaLentas Belts;
  double BonusFishka = 0.0;
  double QuestFishka = 0.0;
  TIntegers BonusWeights;
  TIntegers BonusWorkWeights;
  double ReverseMultC = 0.0;
  double ReverseMultE = 0.0;
  double CropMultC = 0.0;
  double CropMultE = 0.0;
  int32_t BeltPhase = 0;
  int32_t PrevBeltPhase = 0;
  std::string Music;
  std::vector<std::string> PictureNames;
  int32_t CriticalTime = 0;
  double StartPhase = 0.33;
  double EndPhase = 0.8;
  int32_t TimePrompt = 0;
  int32_t SharperPatience = 5;
  TIntegers PresetPoints;
  int32_t SweepStart = 0;
  TIntegers SweepPoints;
  int32_t SweepPattern = 0;
  int32_t BeltClears = 5;
  int32_t DropPackClears = 5;
};

struct TGame {
  int32_t GameMode = gmMenus;
  int32_t Mode = dmNormal;
  int32_t TotalScore = 0;
  int32_t PrevScore = 0;
  int32_t CurLevel = 0;
  int32_t CursorFrame = 0;
  int32_t CursorPeriod = 30;
  int32_t CursorNextTime = 0;
  int32_t PauseStart = 0;
  TMapPlaces MapPlaces;
  TIntegers PieceOrder;
  TIntegers MapComplete;
  TIntegers MapNearComplete;
  int32_t MapLevel = -1;
  std::string MapBackPicture;
  int32_t CoverUpdateTime = -1;
  int32_t FullRedrawTime = -1;
  int32_t LevelEndTime = -1;
  bool PromptShown = false;
  int32_t TakeTime = 0;
  int32_t MapOpenTime = -1;
  TIntegers DropPack;
  int32_t DropPackCapacity = 0;
  int32_t UpgradeTime = -1;
  int32_t Economy = 0;
  int32_t AntiSharper = 0;
  int32_t DropPackLevel = 0;
  int32_t Luck = 0;
  int32_t PrevEconomy = 0;
  int32_t PrevAntiSharper = 0;
  int32_t PrevDropPackLevel = 0;
  int32_t PrevLuck = 0;
  int32_t GameOverTime = -1;
  // [0] false: the tutorial waits for the first take; [1] for the first put;
  // [2] false: the tutorial has not yet turned the belt back; [3] false: the
  // bonus-place hint has not been shown.
  std::array<bool, 4> IntroFlags{true, true, true, true};
};

struct TEffectDeleter {
  void operator()(fx::TQelParticleEffect* effect) const;
};
using TEffectPtr = std::unique_ptr<fx::TQelParticleEffect, TEffectDeleter>;

// One running effect of the game: a flight, a burst, a score text, a card
// turn or a wall crash. Each entry owns its own copy of the template.
struct TPartEffect {
  std::string Name;
  std::string Picture;  // the picture its particles show, or the text of a score
  int32_t X = 0;
  int32_t Y = 0;
  std::string PathScript;
  TEffectPtr Effect;
  TRect Clip{0, 0, 800, 600};
  int32_t Kind = 1;  // 1 single picture; above 1 a strip of that many frames
  bool IsText = false;
};
using TPartEffects = std::vector<TPartEffect>;

// The shell's game parameters that the card game reads.
struct TGameParams {
  int32_t GameBornPeriod = 0;
  int32_t AccelerationMax = 0;
  int32_t AccelerationStep = 0;
  TGamePoint ThiefOffset;
  TGamePoint SharperOffset;
  int32_t SharperDelay = 0;
};

// Everything the game units share. Index fields hold -1 for "none".
struct TGameState {
  TGame Game;
  TLevel Level;
  TCardArray Cards;
  int32_t HeldCard = -1;
  TCardTypes CardTypes{};
  TBonusPlaceTypes BonusPlaceTypes;
  TGamePoint EndHatPos;
  TGamePoint CardPackPos;

  // Derived after every change of the table; never saved.
  TIntegers FreePoints;
  TIntegers TargetPoints;
  TKindSet SuitableKinds;
  TKindSet NextButOneKinds;
  TPoints BonusTargets;

  TGameParams Params;
  TGamePoint FrameOffset;
  TGamePoint MousePos;
  bool PauseFlag = false;
  // The clock of the previous frame update; the belts move by the difference.
  int32_t PrevClock = 0;
  bool HasPrevClock = false;
  // The game clock's step since the previous frame update.
  int32_t FrameDelta = 0;

  // The running effects, oldest first, and their drawn box of the previous
  // pass (Left -1000: none).
  TPartEffects Effects;
  TRect EffectsRect{-1000, 0, 0, 0};
};

}  // namespace qv
