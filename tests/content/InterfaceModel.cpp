#include "content/InterfaceModel.h"

#include <algorithm>

#include "content/ContentSupport.h"
#include "foundation/Numeric.h"
#include "foundation/SFunctions.h"
#include "foundation/StrUtils.h"

namespace qv::test {

std::string UiWidget::Get(const std::string& prop) const {
  for (auto it = Props.rbegin(); it != Props.rend(); ++it)
    if (it->first == prop) return it->second;
  return {};
}

bool UiWidget::Has(const std::string& prop) const {
  return std::any_of(Props.begin(), Props.end(), [&](const auto& p) { return p.first == prop; });
}

int UiWidget::Int(const std::string& prop) const {
  int32_t v = 0;
  return TryStrToInt(Get(prop), v) ? v : 0;
}

void UiWidget::Set(const std::string& prop, const std::string& value) { Props.emplace_back(prop, value); }

namespace {

const TQelParserAttribute* Only(const TQelXMLTag& tag) {
  return tag.AttributeCount() == 1 ? tag.Attributes.front().get() : nullptr;
}

}  // namespace

InterfaceModel InterfaceModel::FromText(const std::string& text) {
  InterfaceModel ui;
  auto file = ParseTags(text);
  if (file->TagCount() == 0 || file->GetTag(0)->Name != "QelInterface") {
    ui.Errors.push_back("no QelInterface tag first");
    return ui;
  }
  const TQelXMLTag& root = *file->GetTag(0);
  if (const TQelParserAttribute* v = root.FindAttribute("Version")) ui.Version = v->Value;
  std::vector<std::vector<std::string>> defaults;  // class, property, value
  bool first = true;
  for (const auto& o : root.Tags) {
    const TQelParserAttribute* c = Only(*o);
    if (o->Name != "o" || !c || c->Name != "c" || o->Tags.empty()) {
      ui.Errors.push_back("malformed object tag");
      break;
    }
    UiWidget w;
    w.Class = c->Value;
    for (const auto& p : o->Tags) {
      const TQelParserAttribute* n = Only(*p);
      if (p->Name != "p" || !n || n->Name != "n") {
        ui.Errors.push_back("malformed property tag in " + w.Class);
        break;
      }
      if (w.Class == "TQelDefaults") {
        const size_t a = p->Text.find(';'), b = a == std::string::npos ? a : p->Text.find(';', a + 1);
        if (n->Value != "DefLine" || b == std::string::npos || b + 1 >= p->Text.size())
          ui.Errors.push_back("malformed default line " + p->Text);
        else
          defaults.push_back(
              {Trim(p->Text.substr(0, a)), Trim(p->Text.substr(a + 1, b - a - 1)), p->Text.substr(b + 1)});
        continue;
      }
      if (n->Value == "Name")
        w.Name = p->Text;
      else if (n->Value == "ParentName")
        w.Parent = p->Text;
      else
        w.Props.emplace_back(n->Value, p->Text);
    }
    if (w.Class == "TQelDefaults") {
      ui.DefaultsFirst = first;
    } else if (w.Name.empty() || w.Parent.empty()) {
      ui.Errors.push_back("object without Name or ParentName");
      break;
    } else {
      ui.Widgets.push_back(std::move(w));
    }
    first = false;
  }
  for (UiWidget& w : ui.Widgets)
    for (const auto& d : defaults)
      if (d[0] == w.Class && !w.Has(d[1])) w.Props.emplace_back(d[1], d[2]);
  return ui;
}

InterfaceModel InterfaceModel::FromArchive() { return FromText(EntryText(WorkingArchive(), "Quorvane.li")); }

const UiWidget* InterfaceModel::Find(const std::string& name) const {
  for (const UiWidget& w : Widgets)
    if (w.Name == name) return &w;
  return nullptr;
}

void InterfaceModel::SetInt(const std::string& widget, const std::string& prop, int value) {
  for (UiWidget& w : Widgets)
    if (w.Name == widget) w.Set(prop, std::to_string(value));
}

std::vector<std::string> InterfaceModel::Apply(const std::string& languageFile) {
  std::vector<std::string> problems;
  auto file = ParseTags(languageFile);
  if (file->TagCount() == 0 || file->GetTag(0)->Name != "QelInterface") return {"no QelInterface tag first"};
  for (const auto& o : file->GetTag(0)->Tags) {
    std::string name;
    for (const auto& p : o->Tags)
      if (const TQelParserAttribute* n = Only(*p); n && n->Value == "Name") name = p->Text;
    UiWidget* target = nullptr;
    for (UiWidget& w : Widgets)
      if (w.Name == name) target = &w;
    // The game makes a radio button for every other language from the
    // English one.
    if (!target && name.rfind("WLanguage_RB", 0) == 0 && name.size() == 15) {
      if (const UiWidget* en = Find("WLanguage_RBENU")) {
        UiWidget copy = *en;
        copy.Name = name;
        Widgets.push_back(copy);
        target = &Widgets.back();
      }
    }
    if (!target) {
      problems.push_back("no widget " + name);
      continue;
    }
    for (const auto& p : o->Tags) {
      const TQelParserAttribute* n = Only(*p);
      if (!n || n->Value == "Name") continue;
      if (!target->Has(n->Value)) problems.push_back(name + " states no " + n->Value);
      target->Set(n->Value, p->Text);
      Applied.insert({name, n->Value});
    }
  }
  return problems;
}

std::vector<ScriptCommand> ParseScript(const std::string& script) {
  std::vector<ScriptCommand> out;
  std::string current;
  bool quoted = false;
  for (char c : script) {
    if (c == '"') quoted = !quoted;
    if (c == ';' && !quoted) {
      auto tag = ParseTags("<" + current + "/>");
      ScriptCommand cmd;
      if (tag->TagCount() > 0) {
        cmd.Name = tag->GetTag(0)->Name;
        for (const auto& a : tag->GetTag(0)->Attributes) cmd.Args[a->Name] = a->Value;
      }
      out.push_back(cmd);
      current.clear();
    } else {
      current += c;
    }
  }
  if (!Trim(current).empty()) out.push_back(ScriptCommand{"(text after the last ;)", {}});
  return out;
}

std::string StripCommands(const std::string& caption) {
  std::string out;
  bool inside = false;
  for (char c : caption) {
    if (c == '{') inside = true;
    if (!inside) out += c;
    if (c == '}') inside = false;
  }
  return out;
}

std::vector<std::string> SplitLines(const std::string& text) {
  std::vector<std::string> out;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = TrimRight(text.substr(start, end - start));
    if (!line.empty()) out.push_back(line);
    start = end + 1;
  }
  return out;
}

namespace {

int CharWidth(const ShippedFont& font, char16_t ch) {
  auto it = font.Glyphs.find(ch);
  if (it == font.Glyphs.end()) {
    for (const auto& [code, g] : font.Glyphs)
      if (g.Index == 0) return g.Offset + g.Width + g.Spacing;
    return 0;
  }
  return it->second.Offset + it->second.Width + it->second.Spacing;
}

int TextWidth(const ShippedFont& font, const std::u16string& text) {
  int w = 0;
  for (char16_t c : text) w += CharWidth(font, c);
  return w;
}

// The lines a label breaks its caption into, the way the label does it
// (including its habit of not counting the first character of a new line).
std::vector<std::u16string> LabelLines(const ShippedFont& font, const std::string& caption, int avail) {
  std::u16string t = Utf8ToUtf16(caption);
  while (!t.empty() && t.back() < 33) t.pop_back();
  std::u16string s;
  for (size_t i = 0; i < t.size(); ++i) {
    if (t[i] == u'\r' && i + 1 < t.size() && t[i + 1] == u'\n') {
      s += u' ';
      ++i;
    } else {
      s += t[i] == u'\t' ? u' ' : t[i];
    }
  }
  std::vector<std::u16string> lines;
  const size_t n = s.size();
  size_t S = 0, B = 0, P = 0;
  int W = 0;
  while (P < n) {
    W += CharWidth(font, s[P]);
    if (avail < W) {
      if (B == S) {
        lines.push_back(s.substr(S, P - S));
        S = B = P;
      } else {
        lines.push_back(s.substr(S, B - S));
        P = B;
        while (P < n && s[P] == u' ') ++P;
        S = B = P;
      }
      W = 0;
      ++P;
    } else {
      ++P;
      if (P < n && s[P] == u' ') B = P;
    }
  }
  if (S < n) lines.push_back(s.substr(S));
  return lines;
}

struct RichLayout {
  int Height = 0;   // from the first line's top to the last line's bottom
  int Widest = 0;   // right edge of the widest line
  int Wrapped = 0;  // lines broken by width, not by a command
};

RichLayout LayRich(const ShippedFont& font, const std::string& caption, int avail) {
  RichLayout r;
  const int h = font.Height, space = CharWidth(font, u' ');
  int x = 0, y = 0, lineRight = 0;
  std::u16string text = Utf8ToUtf16(caption);
  size_t i = 0;
  auto newLine = [&](int down) {
    r.Widest = std::max(r.Widest, lineRight);
    y += down;
    x = 0;
    lineRight = 0;
  };
  while (i < text.size()) {
    if (text[i] == u'{') {
      const size_t end = text.find(u'}', i);
      if (end == std::u16string::npos) break;
      const std::string cmd = Utf16ToUtf8(text.substr(i + 1, end - i - 1));
      if (cmd == "BR/") newLine(h);
      if (cmd.rfind("BR ", 0) == 0) newLine(StrToIntVal(cmd.substr(3, cmd.size() - 4)));
      i = end + 1;
      continue;
    }
    if (text[i] == u' ') {
      x += space;
      ++i;
      continue;
    }
    size_t j = i;
    while (j < text.size() && text[j] != u' ' && text[j] != u'{') ++j;
    const int w = TextWidth(font, text.substr(i, j - i));
    if (x > 0 && x + w > avail) {
      newLine(h);
      ++r.Wrapped;
    }
    x += w;
    lineRight = x;
    i = j;
  }
  newLine(0);
  r.Height = y + h;
  return r;
}

bool OnItsOwnWindow(const InterfaceModel& ui, const UiWidget& w) { return !ui.Find(w.Parent); }

}  // namespace

std::vector<std::string> FitProblems(const UiWidget& w, const ShippedFont& font) {
  std::vector<std::string> out;
  const std::string caption = w.Get("Caption");
  if (caption.empty() || w.Parent == "WResource") return out;
  const int width = w.Int("Width"), height = w.Int("Height"), h = font.Height;
  const std::string what = w.Name + " \"" + caption + "\"";
  if (w.Class == "TQelLabel") {
    const bool button = !w.Get("Picture").empty() && w.Get("Picture") != "OverviewPic";
    const std::vector<std::u16string> lines = LabelLines(font, caption, width);
    if (button) {
      if (lines.size() != 1 || TextWidth(font, lines[0]) > width - 16) out.push_back(what + " does not fit its button");
    } else if (int(lines.size()) * h > height) {
      out.push_back(what + " needs " + std::to_string(lines.size()) + " lines of " + std::to_string(h) +
                    " pixels, the label is " + std::to_string(height) + " high");
    }
  } else if (w.Class == "TQelCheckBox" || w.Class == "TQelRadioButton") {
    const int avail = width - 22 - w.Int("TextShiftLeft");
    if (TextWidth(font, Utf8ToUtf16(caption)) > avail) out.push_back(what + " is wider than its box leaves");
  } else if (w.Class == "TQelHint" && !w.Get("Picture").empty()) {
    // Two balloons share the text: below a tip at the top the balloon begins
    // 18 pixels down, above a tip at the bottom it ends at 105.
    const RichLayout r = LayRich(font, caption, width - w.Int("TextShiftLeft"));
    if (r.Wrapped > 0) out.push_back(what + " breaks a line by itself");
    if (r.Widest > width - w.Int("TextShiftLeft") - 12) out.push_back(what + " runs into the balloon's edge");
    const int top = w.Int("TextShiftTop") + (w.Get("Layout") == "tlCenter" ? height / 2 - r.Height / 2 : 0);
    if (top < 22 || top + r.Height > 101) out.push_back(what + " runs out of the balloon's body");
  } else if (w.Class == "TQelHint") {
    const RichLayout r = LayRich(font, caption, width - w.Int("TextShiftLeft"));
    if (r.Height > 5 * h) out.push_back(what + " is longer than five lines");
  } else if (w.Class == "TQelRichLabel") {
    const RichLayout r = LayRich(font, caption, width - w.Int("TextShiftLeft"));
    if (w.Int("TextShiftTop") + r.Height > height) out.push_back(what + " is taller than its label");
  }
  return out;
}

std::vector<std::string> LayoutProblems(const InterfaceModel& ui) {
  std::vector<std::string> out;
  struct Box {
    int L, T, R, B;
  };
  auto box = [](const UiWidget& w) {
    return Box{w.Int("Left"), w.Int("Top"), w.Int("Left") + w.Int("Width"), w.Int("Top") + w.Int("Height")};
  };
  for (const UiWidget& win : ui.Widgets) {
    // The carrier of language-dependent texts is never shown.
    if (!OnItsOwnWindow(ui, win) || win.Name == "WResource") continue;
    const Box wb = box(win);
    if (wb.L < 0 || wb.T < 0 || wb.R > 800 || wb.B > 600) out.push_back(win.Name + " is off the screen");
    std::vector<const UiWidget*> shown;
    for (const UiWidget& c : ui.Widgets) {
      if (c.Parent != win.Name || c.Class == "TQelHint" || !c.Visible()) continue;
      const Box b = box(c);
      if (b.L < 0 || b.T < 0 || b.R > wb.R - wb.L || b.B > wb.B - wb.T)
        out.push_back(c.Name + " reaches outside " + win.Name);
      if (b.R <= b.L || b.B <= b.T) out.push_back(c.Name + " has no size");
      shown.push_back(&c);
    }
    for (size_t i = 0; i < shown.size(); ++i)
      for (size_t j = i + 1; j < shown.size(); ++j) {
        const Box a = box(*shown[i]), b = box(*shown[j]);
        if (a.L < b.R && b.L < a.R && a.T < b.B && b.T < a.B)
          out.push_back(shown[i]->Name + " overlaps " + shown[j]->Name);
      }
  }
  return out;
}

}  // namespace qv::test
