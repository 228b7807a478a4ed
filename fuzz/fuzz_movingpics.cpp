// Moving-picture descriptions from hostile text: read, sized, aligned,
// animated at awkward tick counts and drawn.
#include <climits>
#include <cstddef>
#include <cstdint>
#include <exception>
#include <string>

#include "../tests/ui/FakeGraphic.h"
#include "foundation/Log.h"
#include "ui/QelInterfaceEngine.h"
#include "ui/QelMoving.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string description(reinterpret_cast<const char*>(data), size);
  qv::test::TFakeGraphic graphic;
  graphic.SetPicture("fire.png", 80, 20);
  graphic.SetPicture("one.png", 1, 1);
  qv::TQelInterfaceEngine engine;
  engine.Graphic = &graphic;
  engine.LoadFromText(
      "<QelInterface><o c=\"TQelForm\"><p n=\"Name\">W</p><p n=\"ParentName\">S</p><p n=\"Width\">400</p>"
      "<p n=\"Height\">300</p></o>"
      "<o c=\"TQelMoving\"><p n=\"Name\">M</p><p n=\"ParentName\">W</p><p n=\"AutoSize\">asPicture</p>"
      "<p n=\"PictureHAlign\">phaCenter</p><p n=\"PictureVAlign\">pvaBottom</p>"
      "<p n=\"Visible\">true</p></o></QelInterface>");
  engine.ShowModal("W");
  auto* moving = dynamic_cast<qv::TQelMoving*>(engine.FindObject("M"));
  if (!moving) return 0;
  try {
    moving->SetPicture(description);
  } catch (const std::exception&) {
  }
  engine.RealignForms();
  for (int32_t t : {0, 1, 999, 1000000, -1, INT32_MIN, INT32_MAX}) {
    engine.Animate(t);
    engine.DrawInterface();
  }
  (void)moving->GetPictureList();
  // The log buffers until the shell installs its sink; runs must not pile it up.
  qv::Log::TakeBuffered();
  return 0;
}
