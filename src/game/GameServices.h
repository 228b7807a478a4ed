// The narrow interfaces through which the card game reaches everything
// outside its own records: the clock and random generator, sound, widgets,
// surfaces, the archive and the screen, plus the game's own later layers
// (effects, field surfaces, screens) that are filled in separately. Tests
// put simple fakes behind each of them.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "foundation/Clock.h"
#include "game/GameTypes.h"

namespace qv {

class TQelXMLTag;

class IGameRandom {
 public:
  virtual ~IGameRandom() = default;
  // 0 .. m-1; 0 for m <= 0.
  virtual int32_t Random(int32_t m) = 0;
  // [0, 1).
  virtual double RandomFloat() = 0;
  // The index of the first weight whose running sum reaches Random(sum) + 1;
  // the number of weights when none does (all zero).
  virtual int32_t WeightedRandom(const TIntegers& weights) = 0;
};

// The process-wide generator.
class TProcessRandom : public IGameRandom {
 public:
  int32_t Random(int32_t m) override;
  double RandomFloat() override;
  int32_t WeightedRandom(const TIntegers& weights) override;
};

class IGameSound {
 public:
  virtual ~IGameSound() = default;
  virtual void PlaySample(std::string_view name) = 0;
  // Music and samples.
  virtual void StopAllSounds() = 0;
  // Fades the current music out over fadeOutMs, then starts `name` from the
  // order position, sliding its volume in over slideInMs.
  virtual void PlayMusic(std::string_view name, int32_t fadeOutMs, int32_t position, int32_t slideInMs) = 0;
  virtual void UpdateMusicSchedule(int32_t t) = 0;
  // Slides the current music's volume to 0 over ms, leaving it playing.
  virtual void FadeOutMusic(int32_t /*ms*/) {}
};

class IGameWidgets {
 public:
  virtual ~IGameWidgets() = default;
  virtual bool Exists(std::string_view name) = 0;
  // Captions are UTF-8; a missing widget gives the empty text.
  virtual std::string GetCaption(std::string_view name) = 0;
  virtual void SetCaption(std::string_view name, std::string_view caption) = 0;
  // Width in pixels of the widget's caption in its font.
  virtual int32_t TextWidth(std::string_view name) = 0;
  virtual void ShowModal(std::string_view name) = 0;
  virtual void Animate(int32_t t) = 0;
  // The seven game hints, numbered 1..7.
  virtual bool IsGameHintVisible(int hint) = 0;
  virtual void ShowGameHint(int hint, int32_t x, int32_t y, int anchor) = 0;
  // Hides the game hint when it is visible.
  virtual void HideGameHint(int /*hint*/) {}
  // A hint widget found by name (the zone hints "WGame_Hint_" + picture):
  // shown at a point, or hidden when it exists, is a hint and is visible.
  virtual void ShowHint(std::string_view /*name*/, int32_t /*x*/, int32_t /*y*/, int /*anchor*/) {}
  virtual void HideHint(std::string_view /*name*/) {}
  // Closes every modal window.
  virtual void HideModalList() {}
};

class IGameSurfaces {
 public:
  virtual ~IGameSurfaces() = default;
  virtual bool Exists(std::string_view name) = 0;
  // False when there is no such surface.
  virtual bool GetSize(std::string_view name, int32_t& width, int32_t& height) = 0;
  // From the archive: PNG with its alpha, or JPEG.
  virtual void LoadPng(std::string_view name) = 0;
  virtual void LoadJpeg(std::string_view name) = 0;
  virtual void Release(std::string_view name) = 0;
};

class IGameArchive {
 public:
  virtual ~IGameArchive() = default;
  virtual bool HasEntry(std::string_view name) = 0;
  // The entry's bytes; a missing entry raises the archive's error.
  virtual std::string ReadEntry(std::string_view name) = 0;
};

class IGameScreen {
 public:
  virtual ~IGameScreen() = default;
  virtual void AddDirtyRect(const TRect& rect) = 0;
  // Replaces every dirty rectangle by this one.
  virtual void SetOnlyDirtyRect(const TRect& rect) = 0;
  // Composes the frame at once instead of waiting for the next pass.
  virtual void ComposeFrame() = 0;
};

// Running effects, timed animations and the cursor.
class IGameEffects {
 public:
  virtual ~IGameEffects() = default;
  virtual void UpdateEffects(int32_t t) = 0;
  virtual void UpdateCursorBlink(int32_t t) = 0;
  virtual void UpdatePictureAnimations(int32_t t) = 0;
  virtual void UpdateLevelEndSweep(int32_t t) = 0;
  virtual void StartCardFlyEffect(TGamePoint from, TGamePoint to, std::string_view picture, int32_t start) = 0;
  virtual void StartPictureEffect(TGamePoint at, std::string_view picture) = 0;
  // A floating score text; start -1 means now.
  virtual void ShowScoreEffect(std::string_view text, TGamePoint at, int32_t start) = 0;
  // A card flight: a copy of the "SwapEffect.xml" template whose function
  // "FContour" runs the path script, started at start; lifetimeMs -1 keeps
  // the template's lifetime.
  virtual void StartCardFlight(std::string_view /*picture*/, std::string_view /*pathScript*/, int32_t /*start*/,
                               int32_t /*lifetimeMs*/) {}
  // A flash of the "SwapEffect.xml" template without a path, at origin.
  virtual void StartSwapFlash(std::string_view /*picture*/, TGamePoint /*origin*/, int32_t /*start*/,
                              int32_t /*lifetimeMs*/) {}
  // A card turning over on a point: kind 10, a copy of "CardTurnEffect.xml", started now.
  virtual void StartCardTurnEffect(std::string_view /*picture*/, TGamePoint /*origin*/) {}
  // A wall falling: kind 20, a copy of "WallCrashEffect.xml", started now.
  virtual void StartWallCrashEffect(std::string_view /*picture*/, TGamePoint /*origin*/) {}
};

// The surfaces of the field that are built once per level or after changes.
class IFieldSurfaces {
 public:
  virtual ~IFieldSurfaces() = default;
  virtual void MakeWallOutlines() = 0;
  virtual void MakeLevelSurfaces() = 0;
  virtual void MakeCover() = 0;
  virtual void ShowOverviewPicture() = 0;
  virtual void DrawCoverMask() = 0;
  // Writes the level's texts (the children of the "DrawText" tag, which may
  // be missing) onto the background and sets the castle and street captions.
  virtual void DrawLevelTexts(const TQelXMLTag* drawText) = 0;
};

// Screens of the shell and the map that the game opens or redraws.
class IGameScreens {
 public:
  virtual ~IGameScreens() = default;
  virtual void OpenUpgradeScreen() = 0;
  virtual void DrawMapScreen() = 0;
  virtual void ComposeMapSelection() = 0;
  virtual void ShowLevelLoadProgress(int32_t percent) = 0;
  // Runs the script of a point after a card was put on it.
  virtual void RunPointScript(int32_t /*point*/) {}
};

// Do-nothing layers for the parts that are not wired.
class TNullGameEffects : public IGameEffects {
 public:
  void UpdateEffects(int32_t) override {}
  void UpdateCursorBlink(int32_t) override {}
  void UpdatePictureAnimations(int32_t) override {}
  void UpdateLevelEndSweep(int32_t) override {}
  void StartCardFlyEffect(TGamePoint, TGamePoint, std::string_view, int32_t) override {}
  void StartPictureEffect(TGamePoint, std::string_view) override {}
  void ShowScoreEffect(std::string_view, TGamePoint, int32_t) override {}
};

class TNullFieldSurfaces : public IFieldSurfaces {
 public:
  void MakeWallOutlines() override {}
  void MakeLevelSurfaces() override {}
  void MakeCover() override {}
  void ShowOverviewPicture() override {}
  void DrawCoverMask() override {}
  void DrawLevelTexts(const TQelXMLTag*) override {}
};

class TNullGameScreens : public IGameScreens {
 public:
  void OpenUpgradeScreen() override {}
  void DrawMapScreen() override {}
  void ComposeMapSelection() override {}
  void ShowLevelLoadProgress(int32_t) override {}
};

// What one game instance is wired to. Every pointer must be set.
struct TGameServices {
  IClock* Clock = nullptr;  // the tick count
  IGameRandom* Random = nullptr;
  IGameSound* Sound = nullptr;
  IGameWidgets* Widgets = nullptr;
  IGameSurfaces* Surfaces = nullptr;
  IGameArchive* Archive = nullptr;
  IGameScreen* Screen = nullptr;
  IGameEffects* Effects = nullptr;
  IFieldSurfaces* Field = nullptr;
  IGameScreens* Screens = nullptr;
};

}  // namespace qv
