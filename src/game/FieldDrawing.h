// The game field drawn layer by layer into a target surface each pass, over
// the level surfaces "Background" and "Cover". Every layer reports what it
// changed: flashes, prompts, the sharper and the effects add dirty
// rectangles, the belt parts their moving rectangles (BeltRects).
//
// A pass of play (game mode 1):
//   field.BeginPass(gameClock, prevFrameTime);
//   field.DrawPlayField("MemoryBufer");   // or the layers one by one
#pragma once

#include <cstdint>
#include <string_view>

#include "foundation/SFunctions.h"
#include "game/FieldCanvas.h"
#include "game/GameServices.h"
#include "game/GameTypes.h"

namespace qv {

class TFieldDrawing {
 public:
  TFieldDrawing(TGameState& state, const TGameServices& services, IFieldCanvas& canvas, IFieldHost& host)
      : S(state), Svc(services), C(canvas), Host(host) {}

  // The game clock of this pass and of the previous one; empties BeltRects.
  void BeginPass(int32_t now, int32_t prevFrameTime);

  // Mode 1: every layer in order, "Background" and "Cover" included.
  void DrawPlayField(std::string_view target);
  // Mode 10: the field of a lost level.
  void DrawLostField(std::string_view target);
  // Mode 4: the field behind a window; belts and effects only behind the
  // level-complete window.
  void DrawFrozenField(std::string_view target, bool beltsAndEffects);

  void DrawWallPoints(std::string_view target);
  void DrawTargetPrompt(std::string_view target);
  void DrawBonusPlacePrompt(std::string_view target);
  void DrawMapCards(std::string_view target);
  void DrawCastleOutlines(std::string_view target);
  void DrawWalls(std::string_view target);
  void DrawBonusPlaceCards(std::string_view target);
  void DrawBelts(std::string_view target);
  void DrawThiefAndSharper(std::string_view target);
  void DrawLevelPictures(std::string_view target);
  void DrawEffects(std::string_view target);
  // Draws picture (or its inclusive sourceRect) at (x, y) with what lies
  // outside clip (exclusive right and bottom) cut off.
  void DrawClipped(std::string_view picture, std::string_view target, const TRect* sourceRect, uint8_t weight,
                   uint32_t color, uint8_t alpha, const TRect& clip, int32_t width, int32_t height, int32_t x,
                   int32_t y);

  // The rectangles of the moving belt parts of this pass (exclusive edges).
  TRects BeltRects;

 private:
  void DrawPrompt(std::string_view target, const TPoints& points, uint32_t color);
  void DrawPointMark(std::string_view target, int32_t point, uint32_t color, uint8_t weight);
  void Dirty(const TRect& r) { Svc.Screen->AddDirtyRect(r); }

  TGameState& S;
  const TGameServices& Svc;
  IFieldCanvas& C;
  IFieldHost& Host;
  int32_t Now = 0;
  int32_t PrevTime = 0;
};

}  // namespace qv
