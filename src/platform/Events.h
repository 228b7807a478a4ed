// The machine's input and window events, as the game reads them: mouse
// buttons, moves and the wheel with the shift-state bits, key presses by
// their virtual key codes, typed characters, focus, the window's paint and
// move, the private activation message and the request to quit. An event
// source delivers them one at a time; the SDL source reads the window's
// queue, the headless one a queue that tests fill.
#pragma once

#include <cstdint>
#include <deque>
#include <memory>
#include <string>

namespace qv {

// Shift-state bits of every input event, as the interface's widgets read
// them.
enum : uint32_t {
  kShiftKey = 1u << 0,
  kAltKey = 1u << 1,
  kCtrlKey = 1u << 2,
  kLeftButton = 1u << 3,
  kRightButton = 1u << 4,
  kMiddleButton = 1u << 5,
  kDoubleClick = 1u << 6,
};

// Virtual key codes the game reacts to (letters and digits are their
// upper-case ASCII codes).
enum : uint16_t {
  vkBack = 8,
  vkTab = 9,
  vkReturn = 13,
  vkEscape = 27,
  vkSpace = 32,
  vkPrior = 33,
  vkNext = 34,
  vkEnd = 35,
  vkHome = 36,
  vkLeft = 37,
  vkUp = 38,
  vkRight = 39,
  vkDown = 40,
  vkDelete = 46,
  vkF5 = 116,
  vkF6 = 117,
};

enum class TEventKind {
  MouseDown,
  MouseMove,
  MouseUp,
  MouseWheel,
  KeyDown,
  KeyUp,
  // One typed character (Char), from text input or a control key.
  KeyPress,
  FocusGained,
  FocusLost,
  // The window must be drawn again.
  Paint,
  // The window moved on the desktop (X, Y its new position).
  WindowMoved,
  // The private message that (re)starts the main loop.
  Activate,
  Quit,
};

struct TInputEvent {
  TEventKind Kind = TEventKind::Quit;
  int32_t X = 0;  // pointer position in the 800 x 600 picture
  int32_t Y = 0;
  int Button = 0;  // 0 left, 1 right, 2 middle
  uint32_t Shift = 0;
  int32_t WheelDelta = 0;  // 120 per notch, positive away from the player
  uint16_t Key = 0;
  char32_t Char = 0;
};

class IEventSource {
 public:
  virtual ~IEventSource() = default;
  // The next event, without waiting; false when the queue is empty.
  virtual bool Poll(TInputEvent& event) = 0;
  // Queues the private activation message behind what is waiting.
  virtual void PostActivate() = 0;
};

// A queue filled by tests (and the headless program, which then only sees
// what they put there).
class THeadlessEvents : public IEventSource {
 public:
  bool Poll(TInputEvent& event) override {
    if (queue_.empty()) return false;
    event = queue_.front();
    queue_.pop_front();
    return true;
  }
  void PostActivate() override { Push(TInputEvent{TEventKind::Activate}); }
  void Push(const TInputEvent& event) { queue_.push_back(event); }
  size_t Pending() const { return queue_.size(); }

 private:
  std::deque<TInputEvent> queue_;
};

// The window's event queue through SDL. Typed text arrives as UTF-8 and is
// split into one KeyPress per character; Backspace, Tab, Enter, Escape and
// Ctrl with a letter give their control characters as well.
std::unique_ptr<IEventSource> CreateSdlEventSource();

// The source the environment asks for: headless when QUORVANE_VIDEO is
// "headless", else SDL. Either way SIGTERM and SIGINT arrive as a Quit (the
// headless source catches them itself while it exists).
std::unique_ptr<IEventSource> CreateEventSource();

// Drops the key presses, typed text, mouse clicks and wheel turns that wait
// for the game's window, also those the window system still holds, and keeps
// the rest (quit, window and focus events, pointer moves). A modal box runs
// its own loop; what the player sent the game meanwhile must not act once the
// box is gone. Does nothing before SDL's video starts.
void DropQueuedInput();

// Maps an SDL key symbol with its modifiers to the virtual key code (0 for
// keys the game does not know) and the control character it types (0 none).
// Exposed for tests; modifiers are the shift-state bits.
uint16_t VirtualKeyOfSdlKey(int32_t sdlKey);
char32_t ControlCharOf(uint16_t virtualKey, uint32_t shift);

}  // namespace qv
