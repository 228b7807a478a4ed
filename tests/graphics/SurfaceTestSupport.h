// An engine on a headless display in a chosen pixel format, with helpers to
// put pixels and alpha bytes into named surfaces and read them back.
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "graphics/SurfEngine.h"
#include "platform/HeadlessDisplay.h"

namespace qv::test {

class EngineOnDisplay {
 public:
  explicit EngineOnDisplay(const TPixelFormat& format, bool fullScreen = true) : display(format) {
    TDisplayMode mode;
    mode.FullScreen = fullScreen;
    mode.ForcedFormat = format;
    std::string error;
    if (!display.Open(mode, error)) ADD_FAILURE() << error;
    engine.Create(&display, display.PrimarySurface(), 800, 600);
  }

  TSurface& Make(const std::string& name, int w, int h, uint32_t fill = 0) {
    EXPECT_TRUE(engine.CreateEmptySurface(name, w, h));
    TSurface& s = engine.Surfaces.back();
    if (fill != 0)
      for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) Set(name, x, y, fill);
    return s;
  }
  TSurface& MakeAlpha(const std::string& name, int w, int h, uint32_t fill, uint8_t alpha) {
    Make(name, w, h, fill);
    engine.CreateAlphaBuffer(name, alpha);
    return *engine.Find(name);
  }

  uint32_t Get(const std::string& name, int x, int y) {
    TSurface& s = *engine.Find(name);
    const uint8_t* p = s.Surface->Row(y) + x * int(s.Surface->Format().BytesPerPixel());
    if (s.Surface->Format().BitCount == 16) {
      uint16_t v;
      std::memcpy(&v, p, 2);
      return v;
    }
    uint32_t v;
    std::memcpy(&v, p, 4);
    return v;
  }
  void Set(const std::string& name, int x, int y, uint32_t value) {
    TSurface& s = *engine.Find(name);
    uint8_t* p = s.Surface->Row(y) + x * int(s.Surface->Format().BytesPerPixel());
    if (s.Surface->Format().BitCount == 16) {
      const uint16_t v = uint16_t(value);
      std::memcpy(p, &v, 2);
    } else {
      std::memcpy(p, &value, 4);
    }
  }
  uint8_t& Alpha(const std::string& name, int x, int y) {
    TSurface& s = *engine.Find(name);
    return s.AlphaBuffer[size_t(y) * size_t(s.Width) + size_t(x)];
  }

  THeadlessDisplay display;
  TSurfEngine engine;
};

}  // namespace qv::test
