// The interface description read as plain tag data, for checks that need
// no toolkit: its widgets with their stated properties (defaults filled in
// as the engine fills them), the scripts of their events, language files
// laid over it, and the measuring of captions in the shipped font.
#pragma once

#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "content/FontGlyphs.h"

namespace qv::test {

struct UiWidget {
  std::string Class, Name, Parent;
  std::vector<std::pair<std::string, std::string>> Props;  // in file order, defaults last

  std::string Get(const std::string& prop) const;  // the last value stated, "" when none
  int Int(const std::string& prop) const;          // 0 when none
  bool Has(const std::string& prop) const;
  void Set(const std::string& prop, const std::string& value);
  bool Visible() const { return Get("Visible") == "true"; }
};

struct InterfaceModel {
  std::string Version;
  bool DefaultsFirst = false;
  std::vector<std::string> Errors;  // structural faults of the file
  std::vector<UiWidget> Widgets;
  std::set<std::pair<std::string, std::string>> Applied;  // (widget, property) set by language files

  static InterfaceModel FromText(const std::string& text);
  // "Quorvane.li" of the working archive.
  static InterfaceModel FromArchive();

  const UiWidget* Find(const std::string& name) const;
  void SetInt(const std::string& widget, const std::string& prop, int value);
  // Lays a language file over the widgets; returns what it names that does
  // not exist (widgets, or properties the description does not state).
  std::vector<std::string> Apply(const std::string& languageFile);
};

struct ScriptCommand {
  std::string Name;
  std::map<std::string, std::string> Args;
};
// The commands of an event script, cut at ";" outside double quotes.
std::vector<ScriptCommand> ParseScript(const std::string& script);

// A rich label's caption without its commands in braces.
std::string StripCommands(const std::string& caption);
std::vector<std::string> SplitLines(const std::string& text);

// What is wrong with how a widget's caption fits it in that font: too wide
// for one-line widgets, too many lines for its height.
std::vector<std::string> FitProblems(const UiWidget& w, const ShippedFont& font);
// Windows off the 800 x 600 screen, widgets outside their window, visible
// widgets of one window that overlap.
std::vector<std::string> LayoutProblems(const InterfaceModel& ui);

}  // namespace qv::test
