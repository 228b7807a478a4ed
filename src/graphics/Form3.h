// The small window shown while the shipped archive is converted on the first
// start: caption "Quorvane", the line "Installing game graphics ...", a
// second line with the current step and a progress bar. There is no game
// font yet at that point, so the lines go into the window's title and only
// the bar is drawn. Without a display (headless runs, tests) the lines go to
// the log instead.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "platform/Display.h"

namespace qv {

class TForm3 {
 public:
  static constexpr int kClientWidth = 322;
  static constexpr int kClientHeight = 153;
  // The bar: left, top, width, height in the client area.
  static constexpr int kBarLeft = 16, kBarTop = 72, kBarWidth = 289, kBarHeight = 19;

  // display may be null: the window then lives in the log only.
  explicit TForm3(std::unique_ptr<TDisplay> display);
  ~TForm3();
  TForm3(const TForm3&) = delete;
  TForm3& operator=(const TForm3&) = delete;

  // Opens the window centred on the screen and draws it. A display that
  // cannot open is logged and the window falls back to the log.
  void Show();
  void Hide();
  bool Visible() const { return visible_; }

  // What the shell's progress handler does: the text into the second line,
  // the position (clamped to 0..100) into the bar, and a redraw at once.
  void ShowProgress(const std::string& text, int32_t position);

  std::string Caption = "Quorvane";
  std::string Label1 = "Installing game graphics ...";
  std::string Label2;         // the current step
  int32_t ProgressBar1 = 0;   // 0..100

  // The display the window is drawn on (null when it lives in the log).
  TDisplay* Display() const { return window_ ? display_.get() : nullptr; }

 private:
  void Paint();
  std::string Title() const;

  std::unique_ptr<TDisplay> display_;
  bool window_ = false;  // the display is open
  bool visible_ = false;
};

// The installer's window on the display the environment asks for; one that
// lives in the log only when the environment asks for no display.
std::unique_ptr<TForm3> CreateInstallWindow();

}  // namespace qv
