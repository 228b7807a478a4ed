// Grid column and cell descriptions from hostile text, on a grid linked to
// a slider: columns, then cells, then changes of cells (parts separated by
// a line "----"); then the grid is drawn, scrolled by every key, the wheel
// and the mouse, and cleared.
#include <cstddef>
#include <cstdint>
#include <exception>
#include <string>
#include <string_view>

#include "../tests/ui/FakeGraphic.h"
#include "foundation/Log.h"
#include "ui/QelFontEngine.h"
#include "ui/QelGrid.h"
#include "ui/QelInterfaceEngine.h"
#include "ui/QelSlider.h"

namespace {

void Try(auto&& step) {
  try {
    step();
  } catch (const std::exception&) {
  }
}

std::string_view Part(std::string_view& rest) {
  const size_t split = rest.find("\n----\n");
  std::string_view part = rest.substr(0, split);
  rest = split == std::string_view::npos ? std::string_view() : rest.substr(split + 6);
  return part;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view rest(reinterpret_cast<const char*>(data), size);
  const std::string columns(Part(rest));
  const std::string cells(Part(rest));
  const std::string changes(Part(rest));

  qv::test::TFakeGraphic graphic;
  graphic.SetPicture("row.png", 100, 8);
  graphic.SetPicture("icon.png", 16, 16);
  qv::TQelFontEngine fonts;
  fonts.Graphic = &graphic;
  fonts.LoadFromText("<Font><Name>QelUnicode</Name><Height>12</Height><Picture>font.png</Picture>"
                     "<Metrics>65:0:0:0:8:1,32:8:0:0:4:0</Metrics></Font>");
  qv::TQelInterfaceEngine engine;
  engine.Graphic = &graphic;
  engine.FontEngine = &fonts;
  engine.LoadFromText(
      "<QelInterface><o c=\"TQelForm\"><p n=\"Name\">W</p><p n=\"ParentName\">S</p><p n=\"Width\">400</p>"
      "<p n=\"Height\">300</p></o>"
      "<o c=\"TQelGrid\"><p n=\"Name\">G</p><p n=\"ParentName\">W</p><p n=\"Width\">200</p>"
      "<p n=\"Height\">100</p><p n=\"RowsHeight\">12</p><p n=\"BorderWidth\">2</p>"
      "<p n=\"CursorPicture\">row.png</p><p n=\"Visible\">true</p></o>"
      "<o c=\"TQelSlider\"><p n=\"Name\">SB</p><p n=\"ParentName\">W</p><p n=\"Left\">210</p>"
      "<p n=\"Width\">10</p><p n=\"Height\">100</p><p n=\"Orientation\">trVertical</p>"
      "<p n=\"LinkedObjectName\">G</p><p n=\"Visible\">true</p></o></QelInterface>");
  engine.RealignForms();
  engine.ShowModal("W");
  auto* grid = dynamic_cast<qv::TQelGrid*>(engine.FindObject("G"));
  if (!grid) return 0;

  for (bool fixed : {false, true}) {
    grid->SetFixedRow(fixed);
    Try([&] { grid->SetAddColumns(columns); });
    Try([&] { grid->SetAddCells(cells); });
    Try([&] { grid->SetCells(changes); });
    grid->SetFocused(true);
    engine.DrawInterface();
    for (uint16_t key : {34, 34, 40, 35, 38, 33, 36, 40, 34, 33}) {
      engine.KeyDown(key, 0);
      engine.DrawInterface();
    }
    bool handled = false;
    engine.MouseWheel(0, -120, qv::TPoint{10, 10}, handled);
    engine.MouseMove(0, 20, 30);
    engine.MouseDown(qv::TMouseButton::mbLeft, qv::ssLeft, 20, 30);
    engine.MouseDown(qv::TMouseButton::mbLeft, qv::ssLeft, 215, 90);
    engine.MouseMove(qv::ssLeft, 215, 10);
    (void)grid->GetSelectedText();
    grid->SetFocused(false);
    engine.DrawInterface();
    grid->Clear();
    engine.DrawInterface();
  }
  // The log buffers until the shell installs its sink; runs must not pile it up.
  qv::Log::TakeBuffered();
  return 0;
}
