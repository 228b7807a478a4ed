// A font description with glyph lists from hostile text: loading, a second
// glyph list over the first, then layout and measuring of short, blank and
// over-long texts.
#include <cstddef>
#include <cstdint>
#include <exception>
#include <string>
#include <string_view>

#include "../tests/ui/FakeGraphic.h"
#include "foundation/Log.h"
#include "ui/QelFontEngine.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view input(reinterpret_cast<const char*>(data), size);
  qv::RegisterFontClasses();
  qv::test::TFakeGraphic graphic;
  qv::TQelFontEngine fonts;
  fonts.Graphic = &graphic;
  try {
    fonts.LoadFromText(input);
  } catch (const std::exception&) {
    // What was read stays and must still lay text out.
  }
  const std::u16string texts[] = {
      u"AB", u"   ", u" Quorvane ", std::u16string(3100, u'W'), std::u16string(1, char16_t(0xFFFF)), u""};
  for (const auto& object : fonts.Objects()) {
    auto* font = dynamic_cast<qv::TQelFont*>(object.get());
    if (!font) continue;
    for (int pass = 0; pass < 2; ++pass) {
      for (const std::u16string& text : texts) {
        font->TextOut(-5, 7, 0x00FFFFFF, 255, text);
        (void)font->TextWidth(text);
      }
      try {
        font->SetMetrics("65:1:2:3:4:5");
      } catch (const std::exception&) {
      }
    }
  }
  // The log buffers until the shell installs its sink; runs must not pile it up.
  qv::Log::TakeBuffered();
  return 0;
}
