// An interface description and a language file from hostile text, applied
// to an engine that knows every registered widget class and draws through a
// recording host; then the windows are shown, drawn and fed input. The input
// is the description, optionally followed by a line "----" and the language
// file.
#include <cstddef>
#include <cstdint>
#include <exception>
#include <string>
#include <string_view>

#include "../tests/ui/FakeGraphic.h"
#include "foundation/Log.h"
#include "ui/QelFontEngine.h"
#include "ui/QelInterfaceEngine.h"

namespace {

void Try(auto&& step) {
  try {
    step();
  } catch (const std::exception&) {
    // Property errors reach the caller by design; the engine must stay usable.
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view input(reinterpret_cast<const char*>(data), size);
  std::string_view description = input;
  std::string_view language;
  size_t split = input.find("\n----\n");
  if (split != std::string_view::npos) {
    description = input.substr(0, split);
    language = input.substr(split + 6);
  }

  qv::test::TFakeGraphic graphic;
  graphic.SetPicture("back.png", 200, 100);
  graphic.SetPicture("button.png", 40, 20);
  qv::TQelFontEngine fonts;
  fonts.Graphic = &graphic;
  Try([&] {
    fonts.LoadFromText(
        "<Font><Name>QelUnicode</Name><Height>12</Height><Picture>font.png</Picture>"
        "<Metrics>65:0:0:0:8:1,32:8:0:0:4:0</Metrics></Font>");
  });
  qv::TQelMethodTable owner;
  qv::TQelInterfaceEngine engine;
  engine.Graphic = &graphic;
  engine.FontEngine = &fonts;
  engine.OwnerForm = &owner;
  owner.Publish("Reset", [&] { engine.ClearScripts(); });
  owner.Publish("DropTop", [&] {
    if (auto* top = engine.TopModal()) engine.DeleteObject(top->Name());
  });

  Try([&] { engine.LoadFromText(description); });
  if (!language.empty()) {
    Try([&] { engine.LoadModificationsFromText(language); });
    Try([&] { engine.RestoreModifications(); });
    Try([&] { engine.LoadModificationsFromText(language); });
  }
  Try([&] { engine.RealignForms(); });

  // The first few windows (widgets without a parent) go on the stack.
  int shown = 0;
  for (int i = 0; i < engine.Count() && shown < 4; ++i) {
    const qv::TQelObject* object = engine.Objects()[static_cast<size_t>(i)].get();
    if (object->Parent() == nullptr) {
      const std::string name = object->Name();
      Try([&] { engine.ShowModal(name); });
      ++shown;
    }
  }

  qv::TRects rects;
  Try([&] {
    engine.GetChangedRects(rects);
    engine.DrawInterface();
  });
  const int32_t points[][2] = {{5, 5}, {60, 40}, {150, 75}, {400, 300}};
  for (const auto& p : points) {
    Try([&] { engine.MouseMove(qv::ssLeft, p[0], p[1]); });
    Try([&] { engine.MouseDown(qv::TMouseButton::mbLeft, qv::ssLeft, p[0], p[1]); });
    Try([&] { engine.MouseMove(qv::ssLeft, p[0] + 7, p[1] + 3); });
    Try([&] { engine.MouseUp(qv::TMouseButton::mbLeft, 0, p[0] + 7, p[1] + 3); });
    Try([&] {
      bool handled = false;
      engine.MouseWheel(0, -120, qv::TPoint{p[0], p[1]}, handled);
    });
  }
  for (uint16_t key : {uint16_t{9}, uint16_t{9}, uint16_t{13}, uint16_t{37}, uint16_t{40}}) {
    Try([&] {
      uint16_t k = key;
      engine.KeyDown(k, key == 13 ? qv::ssShift : 0);
    });
  }
  Try([&] {
    char16_t ch = u'A';
    engine.KeyPress(ch);
  });
  Try([&] {
    engine.Animate(1000000);
    engine.Animate(1000500);
    rects.clear();
    engine.GetChangedRects(rects);
    engine.DrawInterface();
    for (const auto& object : engine.Objects()) {
      if (auto* widget = dynamic_cast<qv::TQelInterfaceObject*>(object.get())) (void)widget->GetPictureList();
    }
  });
  Try([&] {
    engine.HideTopModal();
    engine.ChangeTopModal("x");
    engine.HideModalList();
    engine.DrawInterface();
  });
  // The log buffers until the shell installs its sink; runs must not pile it up.
  qv::Log::TakeBuffered();
  return 0;
}
