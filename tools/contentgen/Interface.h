// The game's windows: every window and widget of the interface description
// "Quorvane.li", laid out on the 800 x 600 screen, with its captions in
// English, French and German. The same model writes the description, the
// language files of the "lng" folder and the list of widget pictures the
// generator has to draw.
#pragma once

#include <string>
#include <vector>

namespace contentgen {

// A text in the three languages of the game (UTF-8).
struct Words {
  std::string En, Fr, De;
};

struct UiProperty {
  std::string Name;
  Words Value;              // En only for texts that do not change with the language
  bool Translated = false;  // written into the language files
};

struct UiObject {
  std::string Class, Name, Parent;
  std::vector<UiProperty> Props;  // in the order they are applied

  // The value of a property as the description states it ("" when absent).
  std::string Get(const std::string& property) const;
};

// A picture that a widget names and the generator draws: what it shows and
// its size.
struct WidgetPicture {
  enum Kind {
    Panel,        // window: wooden frame, title band, parchment
    Button,       // Look 0 normal, 1 pointer over, 2 pressed
    CheckBox,     // Look 0 unchecked, 1 checked
    RadioButton,  // Look 0 unchecked, 1 checked
    SliderTrack,  // Vertical or not
    SliderBar,
    SliderStep,  // Look 0..2 as buttons; Arrow 0 left, 1 right, 2 up, 3 down
    ProgressTrack,
    ProgressStep,
    EditBack,
    EditCursor,
    GridBack,
    GridCursor,
    Cartouche,  // the plate under the between-level window's titles: Look 0 upper, 1 lower part
  };
  std::string Name;
  Kind What = Panel;
  int Width = 0, Height = 0;
  int Look = 0;
  int Arrow = 0;
  bool Vertical = false;
};

class Interface {
 public:
  Interface();

  const std::vector<UiObject>& Objects() const { return Items; }
  const std::vector<WidgetPicture>& Pictures() const { return Drawn; }

  // "Quorvane.li": the defaults object, then every widget.
  std::string Description() const;
  // A language file: every translated property in one language ("ENU",
  // "FRA" or "DEU"), plus the captions of the language buttons.
  std::string LanguageFile(const std::string& code) const;

 private:
  std::vector<UiObject> Items;
  std::vector<WidgetPicture> Drawn;

  friend class InterfaceBuilder;
};

// Writes "Quorvane.li" into the staging folder of the archive.
void WriteInterface(const std::string& stageFolder);
// Writes "lng/enu_1.lng", "lng/fra_2.lng" and "lng/deu_3.lng" into the
// program folder.
void WriteLanguages(const std::string& programFolder);

}  // namespace contentgen
