// The main loop: one pass per turn of the event loop, with no timer; a real
// window's display paces the passes to the screen's refresh after each one
// (TDisplay::WaitFrame), headless runs them back to back. A pass reads the
// game clock once, updates the game, composes the frame by game mode into
// "MemoryBufer", copies the dirty cells to "MemorySurface", draws the cursor
// there and shows only those cells.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "game/FieldCanvas.h"
#include "game/FieldDrawing.h"
#include "game/GameServices.h"
#include "game/GameTypes.h"
#include "graphics/SurfEngine.h"
#include "platform/Display.h"
#include "shell/ShellInterface.h"
#include "shell/ShellState.h"

namespace qv {

class TMainLoop {
 public:
  TMainLoop(TShellFrame& frame, TGameState& state, TSurfEngine& engine, TFieldDrawing& field, IShellInterface& ui,
            IFieldHost& host)
      : F(frame), S(state), E(engine), Field(field), UI(ui), Host(host) {}

  // Set by the display set-up; null while there is no display.
  TDisplay* Display = nullptr;
  // The game's update of one pass.
  std::function<void(int32_t)> Update;
  // The window's caption (the frame rate in the debug mode).
  std::function<void(const std::string&)> SetCaption;
  // Called each frozen frame while "WUpgrade" is the top window.
  std::function<void()> UpdateSkillHints;
  bool DebugMode = false;
  // An error of the start-up or of a pass, logged and ending the program on
  // the next pass.
  std::string PendingError;

  // One pass. False when the program must end (a pending error was logged).
  bool Pass();
  // Composes the frame into "MemoryBufer" and copies the cells to redraw
  // into "MemorySurface"; a failure inside raises QelException
  // "Exception Error in TQelGameEngine.DrawMemorySurface.".
  void DrawMemorySurface();
  // Shows "MemorySurface" (whole when rect is null).
  void PresentMemorySurface(const TRect* rect);
  void AddHeldCardDirtyRect();
  // Takes one frame-rate sample when more than a second went by.
  void SampleFrameRate(int32_t now);

 private:
  void Compose();
  void ComposePlay(bool lost);
  void ComposeMap();
  void ComposeFrozen();
  void DrawPackAndHat();
  void DrawHeldCard();
  void CollectInterfaceRects(bool onlyWhenNoCells);
  void CopyToMemorySurface(const TRects& rects);
  void DrawCursor();
  void Present();
  void Blit(std::string_view picture, int32_t x, int32_t y, uint8_t alpha, const TRect* sourceRect = nullptr);
  std::string CardPicture(const TCard& card) const;

  TShellFrame& F;
  TGameState& S;
  TSurfEngine& E;
  TFieldDrawing& Field;
  IShellInterface& UI;
  IFieldHost& Host;
};

}  // namespace qv
