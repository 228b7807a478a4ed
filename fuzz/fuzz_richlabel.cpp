// Rich-label and hint captions from hostile text: laid out at a few widths
// and alignments, drawn, and clicked, including their links. A caption may
// raise the conversion error; the widget must stay usable and draw nothing
// half built.
#include <cstddef>
#include <cstdint>
#include <exception>
#include <string>

#include "../tests/ui/FakeGraphic.h"
#include "foundation/Log.h"
#include "ui/QelFontEngine.h"
#include "ui/QelHint.h"
#include "ui/QelInterfaceEngine.h"
#include "ui/QelRichLabel.h"

namespace {

void Try(auto&& step) {
  try {
    step();
  } catch (const std::exception&) {
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string caption(reinterpret_cast<const char*>(data), size);
  qv::test::TFakeGraphic graphic;
  graphic.SetPicture("tip.png", 60, 30);
  qv::TQelFontEngine fonts;
  fonts.Graphic = &graphic;
  fonts.LoadFromText("<Font><Name>QelUnicode</Name><Height>12</Height><Picture>font.png</Picture>"
                     "<Metrics>65:0:0:0:8:1,32:8:0:0:4:0,87:16:0:0:30:0</Metrics></Font>");
  qv::TQelInterfaceEngine engine;
  engine.Graphic = &graphic;
  engine.FontEngine = &fonts;
  engine.LoadFromText(
      "<QelInterface><o c=\"TQelForm\"><p n=\"Name\">W</p><p n=\"ParentName\">S</p><p n=\"Width\">400</p>"
      "<p n=\"Height\">300</p></o>"
      "<o c=\"TQelRichLabel\"><p n=\"Name\">R</p><p n=\"ParentName\">W</p><p n=\"Left\">10</p>"
      "<p n=\"Width\">150</p><p n=\"Height\">80</p><p n=\"TextShiftLeft\">3</p><p n=\"Visible\">true</p></o>"
      "<o c=\"TQelHint\"><p n=\"Name\">H</p><p n=\"ParentName\">W</p><p n=\"Width\">40</p>"
      "<p n=\"Height\">20</p><p n=\"ShowTime\">10</p></o></QelInterface>");
  engine.RealignForms();
  engine.ShowModal("W");
  auto* rich = dynamic_cast<qv::TQelRichLabel*>(engine.FindObject("R"));
  auto* hint = dynamic_cast<qv::TQelHint*>(engine.FindObject("H"));
  if (!rich || !hint) return 0;

  for (qv::TTextAlignment align : {qv::taLeft, qv::taCenter, qv::taJustify}) {
    for (int32_t width : {150, 9, 0}) {
      rich->SetAlignment(align);
      Try([&] { rich->SetWidth(width); });
      Try([&] { rich->SetCaption(caption); });
      Try([&] {
        engine.MouseMove(0, 20, 5);
        engine.MouseDown(qv::TMouseButton::mbLeft, qv::ssLeft, 30, 8);
        engine.MouseUp(qv::TMouseButton::mbLeft, 0, 30, 8);
      });
      engine.DrawInterface();
    }
  }
  Try([&] { hint->SetCaption(caption); });
  hint->ShowHint();
  engine.Animate(1000000);
  hint->SetLeft(500);
  Try([&] { hint->SetPicture("tip.png"); });
  engine.DrawInterface();
  hint->Draw();
  engine.Animate(2000000);
  // The log buffers until the shell installs its sink; runs must not pile it up.
  qv::Log::TakeBuffered();
  return 0;
}
