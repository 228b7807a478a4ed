// The display on a real screen through SDL2: one window of the mode's size,
// or in full screen the desktop-sized window with the picture scaled and
// letterboxed. Commit uploads the primary surface into a streaming texture
// of the same pixel format and shows it.
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

  // Renders the last committed picture again and reads the window's output
  // back as 0x00RRGGBB pixels, row by row; false when nothing can be read.
  bool ReadBack(std::vector<uint32_t>& pixels, int& width, int& height);

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace qv
