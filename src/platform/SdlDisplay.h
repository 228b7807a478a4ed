// The display on a real screen through SDL2: one window of the mode's size,
// or in full screen the desktop-sized window with the picture scaled and
// letterboxed. In the window Commit copies the changed rectangles onto the
// window's surface and shows those alone; in full screen it uploads them
// into a streaming texture of the same pixel format and renders it scaled.
// Passes are paced to the screen's refresh (WaitFrame).
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/Display.h"

namespace qv {

class TSdlDisplay : public TDisplay {
 public:
  TSdlDisplay();
  ~TSdlDisplay() override;

  bool Open(const TDisplayMode& mode, std::string& errorText) override;
  void Close() override;
  void Commit(const std::vector<TDisplayRect>& changed = {}) override;
  void SetCaption(const std::string& caption) override;
  void WaitFrame() override;

  // Reads what the window shows of the committed pictures (in full screen
  // rendered again, bars included) as 0x00RRGGBB pixels, row by row; false
  // when nothing can be read.
  bool ReadBack(std::vector<uint32_t>& pixels, int& width, int& height);

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace qv
