// The event loop, the application's focus and error handling, and the
// routing of input: the interface engine first, then the card game.
#include <chrono>
#include <cstdio>
#include <thread>

#include "foundation/Clock.h"
#include "foundation/Log.h"
#include "foundation/QelException.h"
#include "game/Bonuses.h"
#include "game/CardBook.h"
#include "game/CardRules.h"
#include "shell/Shell.h"

namespace qv {

int TShell::Run() {
  try {
    FormCreate(true);
  } catch (const std::exception& e) {
    // Without the first stage there is nothing to run.
    Log::Write(e.what());
    ReportFailedStart(e.what());
    NoteDamagedArchive();
    Desktop->ShowErrorBox("Quorvane", e.what());
    Failed = true;
    FormDestroy();
    return 1;
  }
  Active = true;
  try {
    FormActivate();
  } catch (const std::exception& e) {
    AppException(e);
  }
  if (!Closing) AppActivate();
  while (!Closing) Step();
  FormDestroy();
  // An error still pending (a failed second stage whose closing pass a quit
  // came before) is a failure too.
  return Failed || !Loop.PendingError.empty() ? 1 : 0;
}

bool TShell::Step() {
  TInputEvent event;
  while (!Closing && Events->Poll(event)) {
    try {
      if (!HandleEvent(event)) Closing = true;
    } catch (const std::exception& e) {
      AppException(e);
    }
  }
  if (Closing) return false;
  if (Idling) {
    try {
      if (!Loop.Pass()) {
        Failed = true;
        Closing = true;
      }
    } catch (const std::exception& e) {
      AppException(e);
    }
    if (Display) Display->WaitFrame();
  } else {
    // Nothing runs without focus: wait for the next event.
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return !Closing;
}

bool TShell::HandleEvent(const TInputEvent& e) {
  switch (e.Kind) {
    case TEventKind::MouseDown:
      FormMouseDown(e.Button, e.Shift, e.X, e.Y);
      break;
    case TEventKind::MouseMove:
      FormMouseMove(e.Shift, e.X, e.Y);
      break;
    case TEventKind::MouseUp:
      FormMouseUp(e.Button, e.Shift, e.X, e.Y);
      break;
    case TEventKind::MouseWheel:
      FormMouseWheel(e.Shift, e.WheelDelta, e.X, e.Y);
      break;
    case TEventKind::KeyDown:
      FormKeyDown(e.Key, e.Shift);
      break;
    case TEventKind::KeyUp:
      // Key releases reach neither the interface nor the game.
      break;
    case TEventKind::KeyPress:
      FormKeyPress(e.Char);
      break;
    case TEventKind::FocusGained:
      Active = true;
      AppActivate();
      break;
    case TEventKind::FocusLost:
      Active = false;
      AppDeactivate();
      break;
    case TEventKind::Paint:
      FormPaint();
      break;
    case TEventKind::WindowMoved:
      // The picture is drawn into the client area itself: nothing to move.
      break;
    case TEventKind::Activate:
      ActivateMessage();
      break;
    case TEventKind::Quit:
      return false;
  }
  return !Closing;
}

void TShell::AppActivate() {
  Events->PostActivate();
  Desktop->ShowSystemCursor(false);
  Desktop->SuppressScreenSaver(true);
}

void TShell::AppDeactivate() {
  Idling = false;
  if (Game.Game.GameMode == gmPlaying) {
    FreezeForMenu();
    UI->ShowModal("WGameMenu");
  } else {
    PauseGameTimers();
  }
  Audio.Pause();
  Desktop->ShowSystemCursor(true);
  Desktop->SuppressScreenSaver(false);
}

void TShell::ActivateMessage() {
  if (!Active || !EngineBuilt || !Display || !Display->IsOpen()) return;
  Idling = true;
  Frame.DirtyRects.assign(1, kWholeScreen);
  Loop.DrawMemorySurface();
  if (SoundOn) Audio.Start();
}

void TShell::ReportFailedStart(const std::string& reason) {
  // The log may be out of reach (a program folder the player may not write)
  // and the box may not show: the reason is on the standard error as well.
  std::fprintf(stderr, "Quorvane: %s\n", reason.c_str());
  std::fflush(stderr);
}

void TShell::AppException(const std::exception& error) {
  Idling = false;
  Desktop->ShowErrorBox("Quorvane", error.what());
  Idling = true;
}

void TShell::FormPaint() {
  if (!EngineBuilt || Engine.IndexOf("MemorySurface") < 0) return;
  Loop.DrawMemorySurface();
  Loop.PresentMemorySurface(nullptr);
}

void TShell::FreezeForMenu() {
  PauseGameTimers();
  Game.Game.GameMode = gmFrozen;
  Frame.DirtyRects.assign(1, kWholeScreen);
  Loop.DrawMemorySurface();
}

void TShell::ResumeFromMenu() {
  Game.Game.GameMode = gmPlaying;
  Map.DrawMapScreen();
  Frame.DirtyRects.assign(1, kWholeScreen);
  Loop.DrawMemorySurface();
}

// ---- input routing ----

void TShell::FormMouseDown(int button, uint32_t shift, int32_t x, int32_t y) {
  const TGame& G = Game.Game;
  if (G.GameMode != gmPlaying || (!Game.Level.LevComplete && G.IntroFlags[0] && G.IntroFlags[1]))
    UI->MouseDown(button, shift, x, y);
  if (Game.Game.GameMode != gmPlaying) return;
  Actions.MouseDown(button == 1 ? TGameButton::Right : button == 2 ? TGameButton::Middle : TGameButton::Left);
}

void TShell::FormMouseMove(uint32_t shift, int32_t x, int32_t y) {
  Game.MousePos = TGamePoint{x, y};
  LastMouseMoveTick = GetTickCount();
  UI->MouseMove(shift, x, y);
  if (Game.HeldCard >= 0 && Game.Game.GameMode == gmPlaying) {
    TCardRules(Game, Svc).MoveCardToMouse(Game.HeldCard);
    return;
  }
  const TGamePoint old = Frame.PrevMousePos;
  Frame.DirtyRects.push_back(TRect{std::min(old.X, x), std::min(old.Y, y), std::max(x, old.X) + 41,
                                   std::max(y, old.Y) + Frame.CursorHeight});
}

void TShell::FormMouseUp(int button, uint32_t shift, int32_t x, int32_t y) { UI->MouseUp(button, shift, x, y); }

void TShell::FormMouseWheel(uint32_t shift, int32_t delta, int32_t x, int32_t y) {
  if (Game.Game.GameMode == gmPlaying) return;
  UI->MouseWheel(shift, delta, x, y);
}

void TShell::FormKeyPress(char32_t c) { UI->KeyPress(c); }

void TShell::FormKeyDown(uint16_t key, uint32_t shift) {
  TGame& G = Game.Game;
  const bool ctrl = shift & kCtrlKey, alt = shift & kAltKey, shiftKey = shift & kShiftKey;
  if (key == vkReturn && alt) {
    if (G.GameMode == gmPlaying) PauseGameTimers();
    ChangewindowMode();
    return;
  }
  if (key == vkReturn) {
    const std::string top = UI->TopWindow();
    if (top == "WSaveGame")
      UI->CallHandler("WSaveGame_BSave_MouseUp");
    else if (top == "WLoadGame")
      UI->CallHandler("WLoadGame_BLoad_MouseUp");
  }
  if (key == vkEscape) {
    if (G.GameMode == gmPlaying && !Game.Level.LevComplete) {
      PauseGameTimers();
      FreezeForMenu();
      UI->ShowModal("WGameMenu");
    } else if (G.GameMode == gmFrozen && UI->TopWindow() == "WGameMenu") {
      ResumeFromMenu();
      UI->HideModal();
    }
  }
  if (key == vkSpace && ctrl && !shiftKey && G.GameMode == gmPlaying && Game.Level.BeltClears > 0) {
    TBonusActions(Game, Svc).ClearBelt();
    return;
  }
  if (key == vkSpace && shiftKey && !ctrl && G.GameMode == gmPlaying && Game.Level.DropPackClears > 0) {
    TBonusActions(Game, Svc).ClearDropPack();
    return;
  }
  if (Settings.DebugOn()) {
    if (key == vkDelete && Game.HeldCard >= 0) {
      DiscardCard(Game, Game.HeldCard);
      Frame.DirtyRects.assign(1, kWholeScreen);
    }
    if ((key == vkF5 || key == vkF6) && !Game.Level.Belts.empty())
      Game.Level.Belts[0].CurSpeed += key == vkF5 ? 0.5 : -0.5;
    if (key == vkSpace && !ctrl && !shiftKey && G.GameMode == gmPlaying) {
      G.GameMode = gmFrozen;
      Game.Level.LevComplete = true;
      UI->ShowModal("WLevelComplete");
      Loop.DrawMemorySurface();
      Sound.PlaySample("LevelDone.ogg");
    }
  }
  UI->KeyDown(key, shift);
}

}  // namespace qv
