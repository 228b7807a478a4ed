// Shared set-up of the widget tests: an engine with the recording host, a
// font in which every character is 10 pixels wide and 10 high except the
// blank (5 wide), a fake clipboard and a visible window "W" at (100, 50).
#pragma once

#include <string>
#include <vector>

#include "UiTestSupport.h"
#include "ui/QelClipboard.h"
#include "ui/QelFontEngine.h"

namespace qv::test {

class TFakeClipboard : public IQelClipboard {
 public:
  bool CopyText(std::string_view text) override {
    if (!Works) return false;
    Text = std::string(text);
    ++Copies;
    return true;
  }
  bool PasteText(std::string& text) override {
    if (!Works || Text.empty()) return false;
    text = Text;
    return true;
  }
  std::string Text;
  bool Works = true;
  int Copies = 0;
};

struct TWidgetFixture : TEngineFixture {
  TWidgetFixture() {
    graphic.Fonts = &fonts;
    fonts.Graphic = &graphic;
    // Glyph 0 (used for every character the list does not name) is 10 wide.
    fonts.LoadFromText(
        "<Font>\n<Name>QelUnicode</Name>\n<Height>10</Height>\n<Picture>font.png</Picture>\n"
        "<Metrics>65:0:0:0:10:0,32:100:0:0:5:0</Metrics>\n</Font>\n");
    engine.FontEngine = &fonts;
    engine.Clipboard = &clipboard;
  }

  // Loads the window "W" with the given children, realigns and shows it.
  void Load(std::vector<TObj> children) {
    std::vector<TObj> objs{{"TQelForm", {{"Name", "W"}, {"ParentName", "Screen"}, {"Left", "100"}, {"Top", "50"},
                                         {"Width", "600"}, {"Height", "500"}}}};
    for (TObj& c : children) objs.push_back(std::move(c));
    engine.LoadFromText(Description(objs));
    engine.RealignForms();
    engine.ShowModal("W");
    engine.ResetChanged();
  }

  // The scripts queued by a widget since the queue was last emptied.
  int Queued(const std::string& sender) const {
    int n = 0;
    for (const auto& s : engine.ScriptQueue.Tags) {
      const TQelParserAttribute* a = s->FindAttribute("Sender");
      if (a && a->Value == sender) ++n;
    }
    return n;
  }

  // The glyphs drawn since the calls were last cleared: (x, y) of every
  // character, in order.
  std::vector<TPoint> GlyphPlaces() const {
    std::vector<TPoint> out;
    for (const TGraphicCall& c : graphic.Of("ExtDraw"))
      for (const TCharRect& g : c.Glyphs) out.push_back({g.X, g.Y});
    return out;
  }

  TQelFontEngine fonts;
  TFakeClipboard clipboard;
};

// A visible child of "W" with the given properties.
inline TObj Child(const std::string& cls, const std::string& name,
                  std::vector<std::pair<std::string, std::string>> props) {
  props.insert(props.begin(), {{"Name", name}, {"ParentName", "W"}});
  props.push_back({"Visible", "true"});
  return {cls, std::move(props)};
}

}  // namespace qv::test
