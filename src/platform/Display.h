// The display: the one seam between the game's pictures and the screen.
// The game draws into TDisplaySurface pictures in processor memory; the
// display owns the primary surface (the picture on screen), in full screen a
// back buffer of the same size, in a window a clipper with the visible parts
// of the client area, and shows the primary surface when asked (Commit).
// Backends: SDL2 (a real window) and headless (memory only, for tests and
// tools). Neither backend's library shows through this header.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/DisplaySurface.h"

namespace qv {

struct TDisplayMode {
  bool FullScreen = false;
  int Width = 800;
  int Height = 600;
  // Full screen only: 16 gives 5-6-5, 32 gives 8-8-8-8; a window takes the
  // desktop's format.
  int BitsPerPixel = 32;
  // Window position on the desktop; negative centres it.
  int WindowX = -1;
  int WindowY = -1;
  // When BitCount is not 0 this format is used whatever the above say.
  TPixelFormat ForcedFormat{0, 0, 0, 0};
  // Presentation waits for the screen's refresh where the driver offers it
  // (the game's window); off for windows that show many quick updates.
  bool VSync = false;
};

// The visible parts of a window's client area, as the windowing system sees
// them, in screen coordinates.
class IDisplayClipper {
 public:
  virtual ~IDisplayClipper() = default;
  // True when the list changed since it was last fetched.
  virtual bool IsClipListChanged() = 0;
  virtual std::vector<TDisplayRect> GetClipList() = 0;
};

// A clipper holding a list that its owner sets.
class TDisplayClipper : public IDisplayClipper {
 public:
  bool IsClipListChanged() override { return changed_; }
  std::vector<TDisplayRect> GetClipList() override {
    changed_ = false;
    return rects_;
  }
  void SetClipList(std::vector<TDisplayRect> rects) {
    rects_ = std::move(rects);
    changed_ = true;
  }

 private:
  std::vector<TDisplayRect> rects_;
  bool changed_ = false;
};

class TDisplay {
 public:
  virtual ~TDisplay() = default;

  // Sets the display up, releasing an earlier set-up first. False, with a
  // readable text in errorText, when the mode cannot be had.
  virtual bool Open(const TDisplayMode& mode, std::string& errorText) = 0;
  // Releases the screen and every display object; surfaces made by
  // CreateSurface stay valid pictures in memory.
  virtual void Close() = 0;
  // Shows the primary surface. Changed lists the parts that changed since the
  // last commit (empty: the whole picture).
  virtual void Commit(const std::vector<TDisplayRect>& changed = {}) = 0;
  virtual void SetCaption(const std::string& caption) = 0;
  // Called once per pass of the main loop after any Commit. On a real screen
  // it waits out what is left of the refresh interval since the last pass,
  // whether or not the driver waits for the refresh itself, so neither an
  // idle game nor a busy one keeps a processor core spinning; the headless
  // display returns at once.
  virtual void WaitFrame() {}

  bool IsOpen() const { return primary_ != nullptr; }
  bool FullScreen() const { return mode_.FullScreen; }
  const TDisplayMode& Mode() const { return mode_; }
  const TPixelFormat& PixelFormat() const { return format_; }
  const std::shared_ptr<TDisplaySurface>& PrimarySurface() const { return primary_; }
  // Full screen only (null in a window).
  const std::shared_ptr<TDisplaySurface>& BackBuffer() const { return back_; }
  // Window only (null in full screen).
  IDisplayClipper* Clipper() { return mode_.FullScreen || !primary_ ? nullptr : &clipper_; }
  // Top-left corner of the client area in screen coordinates. The primary
  // surface is the client area itself, so this is always (0, 0).
  int ClientX() const { return 0; }
  int ClientY() const { return 0; }

  // A new off-screen picture in the display's format, cleared to 0; null
  // while the display is not open or when a side is not in 1..16384.
  std::shared_ptr<TDisplaySurface> CreateSurface(int width, int height);

 protected:
  // Shared part of Open: remembers the mode, picks the format, makes the
  // primary surface (and back buffer) and the clip list.
  bool SetUp(const TDisplayMode& mode, const TPixelFormat& desktop, std::string& errorText);
  void TearDown();

  TDisplayMode mode_;
  TPixelFormat format_;
  std::shared_ptr<TDisplaySurface> primary_;
  std::shared_ptr<TDisplaySurface> back_;
  TDisplayClipper clipper_;
};

// Microseconds still to wait when spentUs went by since the last pass began,
// for a screen refreshing refreshHz times a second (60 when the rate is not
// known, 0 or less); never more than one interval.
int64_t FrameWaitMicroseconds(int64_t spentUs, int refreshHz);

// Paces the passes of the main loop on a clock counting microseconds. Each
// interval begins where the last one was planned to end, so a sleep that
// wakes late does not push the passes after it back; a pass that overran
// its interval starts the count again from its own end.
class TFramePacer {
 public:
  using TClock = std::function<int64_t()>;
  using TSleepUntil = std::function<void(int64_t)>;

  TFramePacer(TClock now, TSleepUntil sleepUntil) : now_(std::move(now)), sleepUntil_(std::move(sleepUntil)) {}
  // The first interval begins now.
  void Start() { passStart_ = now_(); }
  // Sleeps out what is left of the interval (FrameWaitMicroseconds).
  void Wait(int refreshHz);

 private:
  TClock now_;
  TSleepUntil sleepUntil_;
  int64_t passStart_ = 0;
};

// Why a window on the video driver that SDL chose would be seen by nobody:
// with no display to reach, SDL quietly falls back to its "offscreen" or
// "dummy" driver. Empty for any other driver, and for those two when
// SDL_VIDEODRIVER (asked, a comma-separated list, may be null) names them,
// as the tests and tools do on purpose.
std::string InvisibleDriverReason(std::string_view chosen, const char* asked);

// The backend named by the environment variable QUORVANE_VIDEO: "headless",
// or "sdl" (also when the variable is not set).
std::unique_ptr<TDisplay> CreateDisplay();

}  // namespace qv
