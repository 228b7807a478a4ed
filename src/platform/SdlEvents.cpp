#include <SDL.h>

#include <atomic>
#include <csignal>
#include <cstdlib>
#include <string_view>

#include "platform/Events.h"

namespace qv {

uint16_t VirtualKeyOfSdlKey(int32_t key) {
  if (key >= SDLK_a && key <= SDLK_z) return uint16_t('A' + (key - SDLK_a));
  if (key >= SDLK_0 && key <= SDLK_9) return uint16_t(key);
  switch (key) {
    case SDLK_BACKSPACE: return vkBack;
    case SDLK_TAB: return vkTab;
    case SDLK_RETURN:
    case SDLK_KP_ENTER: return vkReturn;
    case SDLK_ESCAPE: return vkEscape;
    case SDLK_SPACE: return vkSpace;
    case SDLK_PAGEUP: return vkPrior;
    case SDLK_PAGEDOWN: return vkNext;
    case SDLK_END: return vkEnd;
    case SDLK_HOME: return vkHome;
    case SDLK_LEFT: return vkLeft;
    case SDLK_UP: return vkUp;
    case SDLK_RIGHT: return vkRight;
    case SDLK_DOWN: return vkDown;
    case SDLK_DELETE: return vkDelete;
    case SDLK_F5: return vkF5;
    case SDLK_F6: return vkF6;
    default: return 0;
  }
}

char32_t ControlCharOf(uint16_t key, uint32_t shift) {
  switch (key) {
    case vkBack: return 8;
    case vkTab: return 9;
    case vkReturn: return 13;
    case vkEscape: return 27;
    default: break;
  }
  // Ctrl with a letter types its control character (Ctrl+C is 3), which the
  // edit field reads for the clipboard.
  if ((shift & kCtrlKey) && !(shift & kAltKey) && key >= 'A' && key <= 'Z') return char32_t(key - 'A' + 1);
  return 0;
}

namespace {

// The code points of a UTF-8 text; a broken sequence gives U+FFFD.
std::u32string DecodeUtf8(const char* text) {
  std::u32string out;
  const auto* p = reinterpret_cast<const unsigned char*>(text);
  while (*p) {
    const unsigned char b = *p;
    int extra = b < 0x80 ? 0 : (b >> 5) == 6 ? 1 : (b >> 4) == 14 ? 2 : (b >> 3) == 30 ? 3 : -1;
    if (extra < 0) {
      out.push_back(0xFFFD);
      ++p;
      continue;
    }
    char32_t c = extra == 0 ? b : extra == 1 ? (b & 0x1F) : extra == 2 ? (b & 0x0F) : (b & 0x07);
    ++p;
    bool ok = true;
    for (int i = 0; i < extra; ++i, ++p) {
      if ((*p & 0xC0) != 0x80) {
        ok = false;
        break;
      }
      c = (c << 6) | (*p & 0x3F);
    }
    out.push_back(ok ? c : char32_t(0xFFFD));
  }
  return out;
}

uint32_t ShiftOfMods(Uint16 mods) {
  uint32_t s = 0;
  if (mods & KMOD_SHIFT) s |= kShiftKey;
  if (mods & KMOD_ALT) s |= kAltKey;
  if (mods & KMOD_CTRL) s |= kCtrlKey;
  return s;
}

uint32_t ShiftOfButtons(Uint32 buttons) {
  uint32_t s = 0;
  if (buttons & SDL_BUTTON(SDL_BUTTON_LEFT)) s |= kLeftButton;
  if (buttons & SDL_BUTTON(SDL_BUTTON_RIGHT)) s |= kRightButton;
  if (buttons & SDL_BUTTON(SDL_BUTTON_MIDDLE)) s |= kMiddleButton;
  return s;
}

int ButtonOf(Uint8 sdlButton) {
  if (sdlButton == SDL_BUTTON_RIGHT) return 1;
  if (sdlButton == SDL_BUTTON_MIDDLE) return 2;
  return 0;
}

class TSdlEventSource : public IEventSource {
 public:
  TSdlEventSource() {
    started_ = SDL_InitSubSystem(SDL_INIT_EVENTS) == 0;
    if (started_) activateType_ = SDL_RegisterEvents(1);
    SDL_StartTextInput();
  }
  ~TSdlEventSource() override {
    if (started_) SDL_QuitSubSystem(SDL_INIT_EVENTS);
  }

  void PostActivate() override {
    if (activateType_ == Uint32(-1)) return;
    SDL_Event e{};
    e.type = activateType_;
    SDL_PushEvent(&e);
  }

  bool Poll(TInputEvent& out) override {
    if (!pendingText_.empty()) {
      out = TInputEvent{TEventKind::KeyPress};
      out.Char = pendingText_.front();
      pendingText_.erase(pendingText_.begin());
      return true;
    }
    SDL_Event e;
    while (SDL_PollEvent(&e)) {
      if (Translate(e, out)) return true;
    }
    return false;
  }

 private:
  uint32_t Mods() const { return ShiftOfMods(Uint16(SDL_GetModState())); }

  bool Translate(const SDL_Event& e, TInputEvent& out) {
    if (activateType_ != Uint32(-1) && e.type == activateType_) {
      out = TInputEvent{TEventKind::Activate};
      return true;
    }
    switch (e.type) {
      case SDL_QUIT:
        out = TInputEvent{TEventKind::Quit};
        return true;
      case SDL_MOUSEMOTION:
        out = TInputEvent{TEventKind::MouseMove};
        out.X = lastX_ = e.motion.x;
        out.Y = lastY_ = e.motion.y;
        out.Shift = Mods() | ShiftOfButtons(e.motion.state);
        return true;
      case SDL_MOUSEBUTTONDOWN:
      case SDL_MOUSEBUTTONUP: {
        const bool down = e.type == SDL_MOUSEBUTTONDOWN;
        out = TInputEvent{down ? TEventKind::MouseDown : TEventKind::MouseUp};
        out.X = lastX_ = e.button.x;
        out.Y = lastY_ = e.button.y;
        out.Button = ButtonOf(e.button.button);
        out.Shift = Mods() | ShiftOfButtons(SDL_GetMouseState(nullptr, nullptr));
        if (down && e.button.clicks >= 2) out.Shift |= kDoubleClick;
        return true;
      }
      case SDL_MOUSEWHEEL: {
        int y = e.wheel.y;
        if (e.wheel.direction == SDL_MOUSEWHEEL_FLIPPED) y = -y;
        if (y == 0) return false;
        out = TInputEvent{TEventKind::MouseWheel};
        out.X = lastX_;
        out.Y = lastY_;
        out.WheelDelta = y * 120;
        out.Shift = Mods() | ShiftOfButtons(SDL_GetMouseState(nullptr, nullptr));
        return true;
      }
      case SDL_KEYDOWN:
      case SDL_KEYUP: {
        const uint16_t key = VirtualKeyOfSdlKey(e.key.keysym.sym);
        if (key == 0) return false;
        const uint32_t shift = ShiftOfMods(e.key.keysym.mod);
        out = TInputEvent{e.type == SDL_KEYDOWN ? TEventKind::KeyDown : TEventKind::KeyUp};
        out.Key = key;
        out.Shift = shift;
        // Control characters do not come as text input; the key press that
        // follows the key down carries them.
        if (e.type == SDL_KEYDOWN) {
          const char32_t c = ControlCharOf(key, shift);
          if (c != 0 && !(key == vkReturn && (shift & kAltKey))) pendingText_.push_back(c);
        }
        return true;
      }
      case SDL_TEXTINPUT: {
        pendingText_ += DecodeUtf8(e.text.text);
        if (pendingText_.empty()) return false;
        out = TInputEvent{TEventKind::KeyPress};
        out.Char = pendingText_.front();
        pendingText_.erase(pendingText_.begin());
        return true;
      }
      case SDL_WINDOWEVENT:
        // Events of a window that is gone (the installer's) are stale.
        if (!SDL_GetWindowFromID(e.window.windowID)) return false;
        switch (e.window.event) {
          case SDL_WINDOWEVENT_FOCUS_GAINED:
            out = TInputEvent{TEventKind::FocusGained};
            return true;
          case SDL_WINDOWEVENT_FOCUS_LOST:
            out = TInputEvent{TEventKind::FocusLost};
            return true;
          case SDL_WINDOWEVENT_EXPOSED:
            out = TInputEvent{TEventKind::Paint};
            return true;
          case SDL_WINDOWEVENT_MOVED:
            out = TInputEvent{TEventKind::WindowMoved};
            out.X = e.window.data1;
            out.Y = e.window.data2;
            return true;
          default:
            return false;
        }
      default:
        return false;
    }
  }

  bool started_ = false;
  Uint32 activateType_ = Uint32(-1);
  int32_t lastX_ = 0, lastY_ = 0;
  std::u32string pendingText_;
};

// Set by a stop signal, read by the headless queue's poll.
std::atomic<int> gStopRequested{0};
static_assert(std::atomic<int>::is_always_lock_free, "the signal handler may only touch a lock-free flag");

extern "C" void OnStopSignal(int) { gStopRequested.store(1); }

// The headless program's queue: SIGTERM and SIGINT become the quit request
// that SDL makes of them in a window, so both end through the same orderly
// shut-down. The handler is installed once and stays for the rest of the
// process: a second signal (a repeated kill, a `timeout` that also signals
// the process group) must not cut short the shut-down that the first one
// started, up to the exit with status 0; SIGKILL still ends a hung one.
// Interrupted calls are restarted, so that no write of that shut-down fails
// on a signal.
class TSignalledHeadlessEvents : public THeadlessEvents {
 public:
  TSignalledHeadlessEvents() {
    gStopRequested.store(0);
    static const bool installed = [] {
      struct sigaction action {};
      action.sa_handler = OnStopSignal;
      sigemptyset(&action.sa_mask);
      action.sa_flags = SA_RESTART;
      sigaction(SIGTERM, &action, nullptr);
      sigaction(SIGINT, &action, nullptr);
      return true;
    }();
    (void)installed;
  }
  bool Poll(TInputEvent& event) override {
    if (gStopRequested.exchange(0) != 0) {
      event = TInputEvent{TEventKind::Quit};
      return true;
    }
    return THeadlessEvents::Poll(event);
  }
};

}  // namespace

void DropQueuedInput() {
  if (!SDL_WasInit(SDL_INIT_VIDEO)) return;
  // Input reaches SDL's queue only when the window system's queue is pumped.
  SDL_PumpEvents();
  SDL_FlushEvents(SDL_KEYDOWN, SDL_TEXTINPUT);  // keys, text being composed, typed text
  SDL_FlushEvents(SDL_MOUSEBUTTONDOWN, SDL_MOUSEWHEEL);
}

std::unique_ptr<IEventSource> CreateSdlEventSource() { return std::make_unique<TSdlEventSource>(); }

std::unique_ptr<IEventSource> CreateEventSource() {
  const char* video = std::getenv("QUORVANE_VIDEO");
  if (video && std::string_view(video) == "headless") {
    // Nobody reads SDL's queue here, so its quit-on-signal would be lost:
    // the headless queue turns the signals into its quit itself.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    return std::make_unique<TSignalledHeadlessEvents>();
  }
  return CreateSdlEventSource();
}

}  // namespace qv
