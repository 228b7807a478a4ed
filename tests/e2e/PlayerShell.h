// The real program as a player meets it: the shell started on a copy of the
// built program folder in the headless display, without a sound device, on a
// manual clock, and driven only through its event queue (pointer moves,
// presses and releases at screen positions, keys, typed text, focus). What a
// test reads back is what a player sees or what lands on disk: the window on
// top, the game mode, the log file, the picture shown last.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "foundation/Clock.h"
#include "foundation/SFunctions.h"
#include "platform/Events.h"
#include "platform/HeadlessDisplay.h"
#include "shell/Shell.h"

namespace qv::test {

// A fresh copy of the built program folder, removed with the object.
class ProgramFolder {
 public:
  explicit ProgramFolder(const std::string& tag);
  ~ProgramFolder();
  ProgramFolder(const ProgramFolder&) = delete;
  ProgramFolder& operator=(const ProgramFolder&) = delete;

  std::filesystem::path Path;
};

class PlayerShell {
 public:
  // Starts the program in folder and runs it until the title is up. The
  // seed makes the game's chances the same on every run.
  explicit PlayerShell(const std::filesystem::path& folder, uint32_t seed = 7);
  // Shuts the program down as closing its window does.
  ~PlayerShell();
  PlayerShell(const PlayerShell&) = delete;
  PlayerShell& operator=(const PlayerShell&) = delete;

  // Turns of the event loop, each after ms of game time.
  void Frames(int count, int32_t ms = 20);
  // Frames until done() holds or maxMs of game time passed; false on the
  // time-out.
  template <typename F>
  bool RunUntil(F done, int32_t maxMs, int32_t ms = 20) {
    for (int32_t t = 0; t < maxMs; t += ms) {
      if (done()) return true;
      Frames(1, ms);
      if (Ended()) return done();
    }
    return done();
  }

  // ---- input, as the window's event source delivers it ----
  void Move(int32_t x, int32_t y);
  // A press and release of the left (0) or right (1) button at (x, y), the
  // pointer moved there with the press; a frame passes after the press and
  // after the release.
  void Click(int32_t x, int32_t y, int button = 0);
  // A click at the centre of a widget, found through the interface engine.
  // Fails the test when the widget is not visible on the window on top.
  void ClickWidget(const std::string& name);
  // A click at a point inside a widget (relative to its top-left corner).
  void ClickWidgetAt(const std::string& name, int32_t dx, int32_t dy);
  void Key(uint16_t key, uint32_t shift = 0);
  // Typed text: one character event per character (UTF-8 in).
  void Type(const std::string& text);
  void FocusLost();
  void FocusGained();
  // Moves the pointer out of every button, so pictures compare alike.
  void Rest();

  // ---- what the player sees ----
  std::string Top();
  int32_t Mode();
  // The widget's rectangle on the screen; empty for an unknown one.
  TRect WidgetRect(const std::string& name);
  // The window a widget sits in (itself for a window).
  std::string WindowOf(const std::string& name);
  // Visible, with every window it sits in.
  bool Shown(const std::string& name);
  std::string Prop(const std::string& name, const char* prop);
  // The texts of a grid's cells, row by row (the header row included).
  std::vector<std::string> GridTexts(const std::string& grid);
  // The log lines written since the last call.
  std::vector<std::string> NewLogLines();
  // The picture shown last, exactly; writes it as a PNG.
  bool WriteScreenshot(const std::filesystem::path& png) const;
  // The program asked to end (the quit button, a fatal error).
  bool Ended() const { return Shell->Closing; }

  TShell& operator*() { return *Shell; }
  TShell* operator->() { return Shell.get(); }

  std::filesystem::path Folder;
  ManualClock Clock;
  THeadlessEvents* Events = nullptr;
  THeadlessDisplay* Display = nullptr;
  std::unique_ptr<TShell> Shell;

 private:
  void Push(const TInputEvent& event);
  size_t logLinesSeen_ = 0;
  int32_t mouseX_ = 400, mouseY_ = 300;
};

// Compares the picture shown last with the golden PNG of that name in
// tests/fixtures/e2e/golden/, exactly. With QUORVANE_REGEN_GOLDENS set the
// golden is written instead. The picture of a mismatch is left beside the
// test binary as "<name>.actual.png". Empty when they agree.
std::string CheckGolden(const PlayerShell& shell, const std::string& name);

}  // namespace qv::test
