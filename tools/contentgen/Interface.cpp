#include "Interface.h"

#include <filesystem>
#include <map>
#include <stdexcept>

#include "foundation/MemoryStream.h"

namespace contentgen {

namespace fs = std::filesystem;

namespace {

// Colours as the widgets take them: 0x00BBGGRR in decimal text.
std::string Colour(uint32_t rgb) {
  uint32_t r = (rgb >> 16) & 0xFF, g = (rgb >> 8) & 0xFF, b = rgb & 0xFF;
  return std::to_string((b << 16) | (g << 8) | r);
}

const std::string kInk = Colour(0x3B2412);       // body text on parchment
const std::string kHeading = Colour(0x7A1E0A);   // headings on parchment
const std::string kBandText = Colour(0xF6E3B0);  // titles on the wooden band
const std::string kButtonText = Colour(0xFFF1CF);
const std::string kButtonOver = Colour(0xFFD24A);
const std::string kChecked = Colour(0x8B1A0A);
const std::string kSelected = Colour(0xC0392B);
const std::string kGold = Colour(0xF2C94C);
const std::string kCream = Colour(0xEAD9B0);
const std::string kLink = Colour(0xE8C878);
const std::string kLinkOver = Colour(0xFFFFFF);

const char* kClick = "Click.ogg";
const char* kCheck = "Check.ogg";

std::string Num(int v) { return std::to_string(v); }

std::string Exec(const std::string& method) { return "ExecMethod Method=\"" + method + "\";"; }
std::string Show(const std::string& window) { return "ShowModal Form=\"" + window + "\";"; }
std::string Hide(const std::string& window) { return "HideModal Form=\"" + window + "\";"; }
const std::string kHideAll = "HideModalList;";

std::string Escape(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (c == '&')
      out += "&amp;";
    else if (c == '<')
      out += "&lt;";
    else if (c == '>')
      out += "&gt;";
    else
      out += c;
  }
  return out;
}

// Button sizes: title and menus, dialogs, the between-level menu button and
// the side panel of the game.
struct ButtonSize {
  int W, H;
};
constexpr ButtonSize kWide{220, 38};
constexpr ButtonSize kNormal{190, 36};
constexpr ButtonSize kNarrow{140, 36};
constexpr ButtonSize kSmall{84, 28};

enum class Text { Body, BodyCentre, Heading, Band, BandCentre, Panel, PanelCentre, Gold };

}  // namespace

std::string UiObject::Get(const std::string& property) const {
  for (const UiProperty& p : Props)
    if (p.Name == property) return p.Value.En;
  return {};
}

class InterfaceBuilder {
 public:
  explicit InterfaceBuilder(Interface& ui) : Ui(ui) {}

  UiObject& Add(const std::string& cls, const std::string& name, const std::string& parent) {
    for (const UiObject& o : Ui.Items)
      if (o.Name == name) throw std::logic_error("two widgets named " + name);
    Ui.Items.push_back(UiObject{cls, name, parent, {}});
    return Ui.Items.back();
  }
  static void Set(UiObject& o, const std::string& prop, const std::string& value) {
    o.Props.push_back(UiProperty{prop, Words{value, value, value}, false});
  }
  static void Say(UiObject& o, const std::string& prop, const Words& value) {
    o.Props.push_back(UiProperty{prop, value, true});
  }
  static void Box(UiObject& o, int x, int y, int w, int h) {
    Set(o, "Left", Num(x));
    Set(o, "Top", Num(y));
    Set(o, "Width", Num(w));
    Set(o, "Height", Num(h));
  }

  std::string Picture(WidgetPicture p) {
    for (const WidgetPicture& q : Ui.Drawn)
      if (q.Name == p.Name) return p.Name;
    Ui.Drawn.push_back(p);
    return p.Name;
  }

  // A dialog window: the panel picture of its size and its title on the band.
  UiObject& Window(const std::string& name, int w, int h, const Words& title) {
    const int left = (800 - w) / 2, top = (600 - h) / 2;
    UiObject& form = Add("TQelForm", name, "Interface");
    Box(form, left, top, w, h);
    const std::string panel = "Panel" + Num(w) + "x" + Num(h) + ".png";
    Set(form, "Picture", Picture({panel, WidgetPicture::Panel, w, h}));
    if (!title.En.empty()) Label(name, name + "_LTitle", 20, 12, w - 40, 24, title, Text::BandCentre);
    return Ui.Items[IndexOf(name)];
  }
  // A window over the whole screen; an empty picture leaves what lies below
  // visible.
  UiObject& Screen(const std::string& name, const std::string& picture) {
    UiObject& form = Add("TQelForm", name, "Interface");
    Box(form, 0, 0, 800, 600);
    if (!picture.empty()) Set(form, "Picture", picture);
    return form;
  }

  UiObject& Label(const std::string& parent, const std::string& name, int x, int y, int w, int h, const Words& caption,
                  Text style) {
    UiObject& o = Add("TQelLabel", name, parent);
    Box(o, x, y, w, h);
    Style(o, style);
    if (!caption.En.empty()) {
      if (caption.Fr.empty())
        Set(o, "Caption", caption.En);
      else
        Say(o, "Caption", caption);
    }
    return o;
  }
  static void Style(UiObject& o, Text style) {
    std::string colour = kInk, align = "taLeft", layout = "tlCenter";
    switch (style) {
      case Text::Body:
        layout = "tlTop";
        break;
      case Text::BodyCentre:
        align = "taCenter";
        layout = "tlTop";
        break;
      case Text::Heading:
        colour = kHeading;
        break;
      case Text::Band:
        colour = kBandText;
        break;
      case Text::BandCentre:
        colour = kBandText;
        align = "taCenter";
        break;
      case Text::Panel:
        colour = kCream;
        break;
      case Text::PanelCentre:
        colour = kCream;
        align = "taCenter";
        break;
      case Text::Gold:
        colour = kGold;
        align = "taCenter";
        break;
    }
    Set(o, "Color", colour);
    Set(o, "MouseOverColor", colour);
    Set(o, "Alignment", align);
    Set(o, "Layout", layout);
  }

  UiObject& Button(const std::string& parent, const std::string& name, int x, int y, ButtonSize size,
                   const Words& caption, const std::string& script) {
    UiObject& o = Add("TQelLabel", name, parent);
    Box(o, x, y, size.W, size.H);
    const std::string base = "Btn" + Num(size.W) + "x" + Num(size.H);
    Set(o, "Picture", Picture({base + ".png", WidgetPicture::Button, size.W, size.H, 0}));
    Set(o, "MouseOverPicture", Picture({base + "Over.png", WidgetPicture::Button, size.W, size.H, 1}));
    Set(o, "MouseDownPicture", Picture({base + "Down.png", WidgetPicture::Button, size.W, size.H, 2}));
    Set(o, "Color", kButtonText);
    Set(o, "MouseOverColor", kButtonOver);
    Set(o, "Alignment", "taCenter");
    Set(o, "Layout", "tlCenter");
    Set(o, "TextShiftTop", "-1");
    Set(o, "TextDownShiftLeft", "1");
    Set(o, "TextDownShiftTop", "2");
    Set(o, "SoundMouseDown", kClick);
    Set(o, "OnMouseUp", script);
    Say(o, "Caption", caption);
    return o;
  }

  void BoxPictures(UiObject& o, WidgetPicture::Kind kind) {
    const std::string base = kind == WidgetPicture::CheckBox ? "CheckBox" : "Radio";
    Set(o, "Picture", Picture({base + ".png", kind, 22, 22, 0}));
    Set(o, "MouseDownPicture", Picture({base + "On.png", kind, 22, 22, 1}));
  }
  UiObject& Check(const std::string& parent, const std::string& name, int x, int y, int w, const Words& caption) {
    UiObject& o = Add("TQelCheckBox", name, parent);
    Box(o, x, y, w, 24);
    BoxPictures(o, WidgetPicture::CheckBox);
    ChoiceText(o);
    Say(o, "Caption", caption);
    return o;
  }
  UiObject& Radio(const std::string& parent, const std::string& name, int x, int y, int w, int group,
                  const Words& caption, const std::string& script) {
    UiObject& o = Add("TQelRadioButton", name, parent);
    Box(o, x, y, w, 24);
    BoxPictures(o, WidgetPicture::RadioButton);
    ChoiceText(o);
    Set(o, "CheckedColor", kChecked);
    Set(o, "RadioGroup", Num(group));
    if (!script.empty()) Set(o, "OnMouseUp", script);
    if (caption.Fr.empty())
      Set(o, "Caption", caption.En);
    else
      Say(o, "Caption", caption);
    return o;
  }
  static void ChoiceText(UiObject& o) {
    Set(o, "BoxPlace", "bpLeft");
    Set(o, "Color", kInk);
    Set(o, "MouseOverColor", kHeading);
    Set(o, "Alignment", "taLeft");
    Set(o, "Layout", "tlCenter");
    Set(o, "TextShiftLeft", "8");
    Set(o, "SoundMouseUp", kCheck);
  }

  // A hint balloon of play: the balloon picture is chosen when it is shown.
  UiObject& GameHint(const std::string& name, int showTime, const Words& caption) {
    UiObject& o = Add("TQelHint", name, "WGame");
    Box(o, 0, 0, 262, 123);
    Set(o, "Picture", "HintWindowLeftTop.png");
    Set(o, "PictureVAlign", "pvaBottom");
    // Centred text sits inside both balloon shapes: the body below a tip at
    // the top (from 18 down) and above a tip at the bottom (to 105).
    Set(o, "Layout", "tlCenter");
    Set(o, "TextShiftLeft", "16");
    Set(o, "TextShiftTop", "0");
    Set(o, "Color", kInk);
    Set(o, "ShowTime", Num(showTime));
    Set(o, "Visible", "false");
    Say(o, "Caption", caption);
    return o;
  }

  UiObject& Slider(const std::string& parent, const std::string& name, int x, int y, int length, bool vertical) {
    UiObject& o = Add("TQelSlider", name, parent);
    const int w = vertical ? 26 : length, h = vertical ? length : 26;
    Box(o, x, y, w, h);
    Set(o, "Picture",
        Picture({"SliderTrack" + std::string(vertical ? "V" : "H") + Num(length) + ".png", WidgetPicture::SliderTrack,
                 w, h, 0, 0, vertical}));
    const std::string bar = vertical ? "SliderBarV.png" : "SliderBar.png";
    Set(o, "BarPicture",
        Picture({bar, WidgetPicture::SliderBar, vertical ? 26 : 16, vertical ? 16 : 26, 0, 0, vertical}));
    Set(o, "MouseOverBarPicture",
        Picture({vertical ? "SliderBarVOver.png" : "SliderBarOver.png", WidgetPicture::SliderBar, vertical ? 26 : 16,
                 vertical ? 16 : 26, 1, 0, vertical}));
    // The bar travels between the two step buttons.
    Set(o, "BarShiftLeft", vertical ? "0" : "27");
    Set(o, "BarShiftTop", vertical ? "27" : "0");
    Set(o, "Orientation", vertical ? "trVertical" : "trHorizontal");
    const char* names[4] = {"Left", "Right", "Up", "Down"};
    const int up = vertical ? 2 : 0, down = vertical ? 3 : 1;
    auto step = [&](int arrow, int look) {
      static const char* looks[3] = {"", "Over", "Down"};
      return Picture({std::string("Slider") + names[arrow] + looks[look] + ".png", WidgetPicture::SliderStep, 26, 26,
                      look, arrow});
    };
    Set(o, "UpPicture", step(up, 0));
    Set(o, "UpMouseOverPicture", step(up, 1));
    Set(o, "UpMouseDownPicture", step(up, 2));
    Set(o, "DownPicture", step(down, 0));
    Set(o, "DownMouseOverPicture", step(down, 1));
    Set(o, "DownMouseDownPicture", step(down, 2));
    return o;
  }

  UiObject& Edit(const std::string& parent, const std::string& name, int x, int y, int w, int maxLength) {
    UiObject& o = Add("TQelEdit", name, parent);
    Box(o, x, y, w, 32);
    Set(o, "Picture", Picture({"Edit" + Num(w) + ".png", WidgetPicture::EditBack, w, 32}));
    Set(o, "CursorPicture", Picture({"EditCursor.png", WidgetPicture::EditCursor, 2, 20}));
    Set(o, "FontName", "QelUnicode");
    Set(o, "Color", kInk);
    Set(o, "SelectColor", kSelected);
    Set(o, "TextShiftLeft", "9");
    Set(o, "TextShiftTop", "7");
    Set(o, "MaxLength", Num(maxLength));
    Set(o, "MaxWidth", Num(w - 12));
    Set(o, "TabOrder", "0");
    return o;
  }

  UiObject& Grid(const std::string& parent, const std::string& name, int x, int y, int w, int h,
                 const std::string& columns, int tabOrder) {
    UiObject& o = Add("TQelGrid", name, parent);
    Box(o, x, y, w, h);
    Set(o, "Picture", Picture({"GridBack" + Num(w) + "x" + Num(h) + ".png", WidgetPicture::GridBack, w, h}));
    Set(o, "CursorPicture", Picture({"GridCursor" + Num(w - 12) + ".png", WidgetPicture::GridCursor, w - 12, 26}));
    Set(o, "NotActiveCursorAlpha", "70");
    Set(o, "BorderWidth", "6");
    Set(o, "RowsHeight", "28");
    Set(o, "RowMouseOverColor", kHeading);
    Set(o, "AddColumns", columns);
    Set(o, "TabOrder", Num(tabOrder));
    return o;
  }

  UiObject& Progress(const std::string& parent, const std::string& name) {
    UiObject& o = Add("TQelProgressBar", name, parent);
    Box(o, 200, 500, 400, 24);
    Set(o, "Picture", Picture({"ProgressTrack.png", WidgetPicture::ProgressTrack, 400, 24}));
    Set(o, "BarPicture", Picture({"ProgressStep.png", WidgetPicture::ProgressStep, 7, 14}));
    Set(o, "BarShiftLeft", "4");
    Set(o, "BarShiftTop", "5");
    Set(o, "StepWidth", "8");
    Set(o, "Min", "0");
    Set(o, "Max", "100");
    Set(o, "Position", "0");
    return o;
  }

  // A question or a message: text and one or two buttons.
  void Dialog(const std::string& name, const Words& title, const Words& text, const std::string& okScript,
              const std::string& cancelScript, const Words& okCaption) {
    Window(name, 440, 200, title);
    UiObject& message = Label(name, name + "_LText", 30, 54, 380, 80, text, Text::BodyCentre);
    for (UiProperty& p : message.Props)
      if (p.Name == "Layout") p.Value = {"tlCenter", "tlCenter", "tlCenter"};
    if (cancelScript.empty()) {
      Button(name, name + "_BOk", 125, 146, kNormal, okCaption, okScript);
    } else {
      Button(name, name + "_BOk", 22, 146, kNormal, okCaption, okScript);
      Button(name, name + "_BCancel", 228, 146, kNormal, {"Cancel", "Annuler", "Abbrechen"}, cancelScript);
    }
  }

 private:
  size_t IndexOf(const std::string& name) const {
    for (size_t i = 0; i < Ui.Items.size(); ++i)
      if (Ui.Items[i].Name == name) return i;
    throw std::logic_error("no widget " + name);
  }
  Interface& Ui;
};

namespace {

const Words kOk{"OK", "OK", "OK"};
const Words kYes{"Yes", "Oui", "Ja"};
const Words kBack{"Back", "Retour", "Zurück"};
const Words kClose{"Close", "Fermer", "Schließen"};

// The regions of the kingdom by level number (level N + 1 is region N).
const char* const kRegionNames[43] = {
    "Ambervale",   "Briarholm",   "Coldmere",     "Dunhallow",    "Eastmarch",  "Fernwick",    "Glimmerdale",
    "Highcairn",   "Ivywood",     "Juniper Hill", "Kestrel Moor", "Larkspur",   "Millbrook",   "Northwatch",
    "Oakenshaw",   "Pebblecombe", "Quillfield",   "Ravenscar",    "Silverbank", "Thornbury",   "Underhill",
    "Vellmoor",    "Westerlea",   "Yarrowdown",   "Zephyr Point", "Ashcombe",   "Bellrock",    "Copperlake",
    "Deepdene",    "Elderglen",   "Foxhollow",    "Goldmere",     "Hartwood",   "Ironcliff",   "Lanternfield",
    "Mistral Bay", "Nettlebed",   "Orchard End",  "Pinecrest",    "Rosemarsh",  "Stonebridge", "Wrenfold",
    "Kingsgate"};

void TitleScreen(InterfaceBuilder& b) {
  b.Screen("WTitle", "TitleBack.jpg");
  struct Entry {
    const char* Name;
    Words Caption;
    std::string Script;
  };
  const Entry entries[] = {
      {"WTitle_BNewGame",
       {"New game", "Nouvelle partie", "Neues Spiel"},
       Exec("WTitle_BNewGame_MouseUp") + Show("WStartGame")},
      {"WTitle_BLoadGame",
       {"Load game", "Charger une partie", "Spiel laden"},
       Exec("WTitle_BLoadGame_MouseUp") + Show("WLoadGame")},
      {"WTitle_BHighScores",
       {"High scores", "Meilleurs scores", "Bestenliste"},
       Exec("WTitle_BHighScores_MouseUp") + Show("WHighScores")},
      {"WTitle_BOptions", {"Options", "Options", "Optionen"}, Exec("WOptions_BCancel_MouseUp") + Show("WOptions")},
      {"WTitle_BLanguage", {"Language", "Langue", "Sprache"}, Show("WLanguage")},
      {"WTitle_BQuit", {"Quit", "Quitter", "Beenden"}, Exec("WTitle_BQuit_MouseUp")},
  };
  int y = 214;
  for (const Entry& e : entries) {
    b.Button("WTitle", e.Name, 290, y, kWide, e.Caption, e.Script);
    y += 50;
  }
  UiObject& link = b.Label("WTitle", "WTitle_LOstrandelLink", 520, 562, 260, 24,
                           {"A game by Ostrandel", "Un jeu d'Ostrandel", "Ein Spiel von Ostrandel"}, Text::Panel);
  for (UiProperty& p : link.Props) {
    if (p.Name == "Color") p.Value = {kLink, kLink, kLink};
    if (p.Name == "MouseOverColor") p.Value = {kLinkOver, kLinkOver, kLinkOver};
    if (p.Name == "Alignment") p.Value = {"taRight", "taRight", "taRight"};
  }
  InterfaceBuilder::Set(link, "SoundMouseDown", kClick);
  InterfaceBuilder::Set(link, "OnMouseUp", Exec("WTitle_LOstrandelLink_MouseUp"));
}

void StartGame(InterfaceBuilder& b) {
  b.Window("WStartGame", 460, 380, {"New game", "Nouvelle partie", "Neues Spiel"});
  b.Label("WStartGame", "WStartGame_LChoose", 30, 52, 400, 22,
          {"Choose the difficulty:", "Choisissez la difficulté :", "Wählen Sie den Schwierigkeitsgrad:"},
          Text::Heading);
  struct Mode {
    const char* Name;
    Words Caption, Info;
  };
  const Mode modes[] = {
      {"WStartGame_RBNoLose",
       {"Relaxed", "Détente", "Entspannt"},
       {"Cards that reach the end of the belt do not end the level.",
        "Les cartes au bout du tapis ne terminent pas le niveau.",
        "Karten am Ende des Bandes beenden das Level nicht."}},
      {"WStartGame_RBNormal",
       {"Normal", "Normal", "Normal"},
       {"A card that reaches the end of the belt loses the level.",
        "Une carte qui atteint le bout du tapis fait perdre le niveau.",
        "Eine Karte am Ende des Bandes verliert das Level."}},
      {"WStartGame_RBHard",
       {"Hard", "Difficile", "Schwer"},
       {"Faster belts, no marks on fitting cards, more points.",
        "Tapis plus rapides, sans repères sur les cartes, plus de points.",
        "Schnellere Bänder, keine Markierungen, mehr Punkte."}},
  };
  int y = 84;
  for (const Mode& m : modes) {
    const std::string handler = std::string(m.Name) + "_MouseUp";
    UiObject& rb = b.Radio("WStartGame", m.Name, 40, y, 380, 1, m.Caption, Exec(handler));
    if (std::string(m.Name) == "WStartGame_RBNormal") InterfaceBuilder::Set(rb, "Checked", "true");
    b.Label("WStartGame", std::string(m.Name).replace(11, 2, "L") + "Info", 70, y + 26, 360, 38, m.Info, Text::Body);
    y += 74;
  }
  b.Button("WStartGame", "WStartGame_BPlay", 30, 318, kNormal, {"Play", "Jouer", "Spielen"},
           Exec("WStartGame_BPlay_MouseUp"));
  b.Button("WStartGame", "WStartGame_BBack", 240, 318, kNormal, kBack,
           Hide("WStartGame") + Exec("WStartGame_BBack_MouseUp"));
}

void Overview(InterfaceBuilder& b) {
  b.Window("WOverview", 520, 470, {"", "", ""});
  // The band shows the level's number and name instead of a fixed title.
  UiObject& name = b.Add("TQelRichLabel", "WOverview_RLLevelName", "WOverview");
  InterfaceBuilder::Box(name, 20, 14, 480, 22);
  InterfaceBuilder::Set(name, "Color", kBandText);
  InterfaceBuilder::Set(name, "Alignment", "taLeft");
  InterfaceBuilder::Set(name, "Caption", "{$80FFFF}Level 1. {/$} Ambervale");

  // The caption under the region's picture is fixed: with a label
  // "WResource_LOverview" the game would write the region's number on the
  // map there, which is not the level number of the band above.
  UiObject& piece =
      b.Label("WOverview", "WOverview_LOverview", 24, 60, 200, 170,
              {"The region on the map", "La région sur la carte", "Das Gebiet auf der Karte"}, Text::BodyCentre);
  for (UiProperty& p : piece.Props)
    if (p.Name == "Layout") p.Value = {"tlBottom", "tlBottom", "tlBottom"};
  InterfaceBuilder::Set(piece, "PictureHAlign", "phaCenter");
  InterfaceBuilder::Set(piece, "PictureVAlign", "pvaCenter");
  InterfaceBuilder::Set(piece, "TextShiftTop", "0");

  struct Row {
    const char* Heading;
    Words Caption;
    const char* Value;
  };
  const Row rows[] = {
      {"WOverview_LCreatures", {"Creatures:", "Créatures :", "Gestalten:"}, "WOverview_LCreaturesName"},
      {"WOverview_LWall", {"Walls:", "Murs :", "Mauern:"}, "WOverview_LWallName"},
      {"WOverview_LBonusPlace", {"Bonus place:", "Place bonus :", "Bonusplatz:"}, "WOverview_LBonusPlaceName"},
      {"WOverview_LCastle", {"Castles:", "Châteaux :", "Burgen:"}, "WOverview_LCastleName"},
      {"WOverview_LStreet", {"Streets:", "Suites :", "Straßen:"}, "WOverview_LStreetName"},
  };
  int y = 54;
  for (const Row& r : rows) {
    b.Label("WOverview", r.Heading, 240, y, 256, 20, r.Caption, Text::Heading);
    b.Label("WOverview", r.Value, 252, y + 20, 244, 38, {"-", "", ""}, Text::Body);
    y += 60;
  }
  b.Label("WOverview", "WOverview_LDPCapacityText", 240, y + 4, 190, 22,
          {"Drop pack places:", "Places de réserve :", "Ablageplätze:"}, Text::Heading);
  b.Label("WOverview", "WOverview_LDPCapacity", 430, y + 4, 66, 22, {"3", "", ""}, Text::Heading);
  b.Button("WOverview", "WOverview_BPlay", 165, 408, kNormal, {"Play", "Jouer", "Spielen"},
           Hide("WOverview") + Exec("WOverview_BPlay_MouseUp"));
}

void Play(InterfaceBuilder& b) {
  b.Screen("WGame", "");
  b.Label("WGame", "WGame_LScore", 708, 18, 88, 18, {"Score", "Score", "Punkte"}, Text::PanelCentre);
  b.Label("WGame", "WGame_LScoreCount", 712, 38, 80, 28, {"0", "", ""}, Text::Gold);
  struct Entry {
    const char* Name;
    Words Caption;
    std::string Script;
    bool Shown;
  };
  const Entry buttons[] = {
      {"WGame_BMenu", {"Menu", "Menu", "Menü"}, Exec("WGame_BMenu_MouseUp") + Show("WGameMenu"), true},
      {"WGame_BHelp", {"Help", "Aide", "Hilfe"}, Exec("WGame_BHelp_MouseUp") + Show("WHelp"), true},
      {"WGame_BQuickSave", {"Save", "Sauver", "Sichern"}, Exec("WGame_BQuickSave_MouseUp"), true},
      {"WGame_BMize", {"Display", "Affichage", "Anzeige"}, Exec("WGame_BMize_MouseUp"), true},
      {"WGame_BQuit", {"Quit", "Quitter", "Beenden"}, Exec("WGame_BQuit_MouseUp") + Show("WQuit"), true},
      // Kept for the handler the game publishes; the game has no undo yet.
      {"WGame_BUndo", {"Undo", "Annuler", "Zurück"}, Exec("WGame_BUndo_MouseUp"), false},
  };
  int y = 84;
  for (const Entry& e : buttons) {
    UiObject& o = b.Button("WGame", e.Name, 710, y, kSmall, e.Caption, e.Script);
    if (!e.Shown) InterfaceBuilder::Set(o, "Visible", "false");
    y += 36;
  }
  b.Label("WGame", "WGame_LDropPack", 706, 330, 92, 18, {"Drop pack", "Réserve", "Ablage"}, Text::PanelCentre);
  b.Label("WGame", "WGame_LDropPackCount", 721, 354, 52, 20, {"3", "", ""}, Text::Gold);
  // Writes the level's own texts onto its background.
  UiObject& temp = b.Label("WGame", "WGame_LTemp", 0, 0, 300, 60, {"", "", ""}, Text::Body);
  InterfaceBuilder::Set(temp, "Visible", "false");

  b.GameHint("WGame_Hint1", 30000,
             {"Click the first card on the{BR/}belt to pick it up.",
              "Cliquez sur la première carte{BR/}du tapis pour la prendre.",
              "Klicken Sie auf die erste Karte{BR/}des Bandes, um sie zu nehmen."});
  b.GameHint("WGame_Hint2", 15000,
             {"Lay the card on a place next{BR/}to a card one rank higher{BR/}or lower.",
              "Posez la carte à côté d'une{BR/}carte d'un rang de plus{BR/}ou de moins.",
              "Legen Sie die Karte neben eine{BR/}Karte, die einen Rang höher{BR/}oder niedriger ist."});
  b.GameHint("WGame_Hint3", 10000,
             {"The card does not fit here.{BR/}Try a glowing place, or{BR/}right-click to return it.",
              "La carte ne va pas ici.{BR/}Essayez une place qui brille,{BR/}ou rendez-la d'un clic droit.",
              "Die Karte passt hier nicht.{BR/}Nehmen Sie einen hellen Platz{BR/}oder Rechtsklick: zurück."});
  b.GameHint("WGame_Hint4", 8000,
             {"A card at the end of the belt{BR/}loses the level! This time{BR/}the belt turns back.",
              "Une carte au bout du tapis{BR/}fait perdre le niveau ! Cette{BR/}fois, le tapis recule.",
              "Eine Karte am Ende des Bandes{BR/}verliert das Level! Diesmal{BR/}läuft das Band zurück."});
  b.GameHint("WGame_Hint5", 8000,
             {"This card fits nowhere now.{BR/}Right-click to put it back{BR/}on the belt.",
              "Cette carte ne va nulle part.{BR/}Un clic droit la remet{BR/}sur le tapis.",
              "Diese Karte passt nirgends.{BR/}Ein Rechtsklick legt sie{BR/}zurück aufs Band."});
  b.GameHint("WGame_Hint6", 8000,
             {"This card fits the bonus{BR/}place: one rank above the{BR/}card there. A King fills it.",
              "Cette carte va sur la place{BR/}bonus : un rang au-dessus de{BR/}la carte. Un roi la complète.",
              "Diese Karte passt auf den{BR/}Bonusplatz: ein Rang über der{BR/}Karte dort. Ein König füllt ihn."});
  b.GameHint("WGame_Hint7", 8000,
             {"This card fits nowhere now.{BR/}Keep it in the drop pack{BR/}for later.",
              "Cette carte ne va nulle part.{BR/}Gardez-la dans la réserve{BR/}pour plus tard.",
              "Diese Karte passt nirgends.{BR/}Legen Sie sie für später{BR/}in die Ablage."});
  struct Zone {
    const char* Picture;
    Words Caption;
  };
  const Zone zones[] = {
      {"ZoneAll.png", {"Any card may lie here.", "Toute carte peut aller ici.", "Hier darf jede Karte liegen."}},
      {"ZoneRed.png",
       {"Only red cards:{BR/}hearts and diamonds.", "Cartes rouges seulement :{BR/}cœurs et carreaux.",
        "Nur rote Karten:{BR/}Herz und Karo."}},
      {"ZoneBlack.png",
       {"Only black cards:{BR/}spades and clubs.", "Cartes noires seulement :{BR/}piques et trèfles.",
        "Nur schwarze Karten:{BR/}Pik und Kreuz."}},
      {"ZoneSpades.png", {"Only spades.", "Piques seulement.", "Nur Pik."}},
      {"ZoneClubs.png", {"Only clubs.", "Trèfles seulement.", "Nur Kreuz."}},
      {"ZoneDiamonds.png", {"Only diamonds.", "Carreaux seulement.", "Nur Karo."}},
      {"ZoneHearts.png", {"Only hearts.", "Cœurs seulement.", "Nur Herz."}},
      {"ZoneLow.png",
       {"Only low cards:{BR/}Two to Eight.", "Petites cartes seulement :{BR/}du deux au huit.",
        "Nur niedrige Karten:{BR/}Zwei bis Acht."}},
      {"ZoneHigh.png",
       {"Only high cards:{BR/}Eight to Ace.", "Grandes cartes seulement :{BR/}du huit à l'as.",
        "Nur hohe Karten:{BR/}Acht bis Ass."}},
      {"ZoneCastle.png",
       {"A castle: fill all its places{BR/}for a big bonus.",
        "Un château : remplissez toutes{BR/}ses places pour un bonus.",
        "Eine Burg: Füllen Sie alle{BR/}Plätze für einen großen Bonus."}},
  };
  for (const Zone& z : zones) b.GameHint(std::string("WGame_Hint_") + z.Picture, 5000, z.Caption);
}

void GameMenus(InterfaceBuilder& b) {
  struct Entry {
    const char* Name;
    Words Caption;
    std::string Script;
  };
  auto menu = [&](const std::string& window, const Words& title, const std::vector<Entry>& entries) {
    const int h = 64 + int(entries.size()) * 46 + 12;
    b.Window(window, 320, h, title);
    int y = 60;
    for (const Entry& e : entries) {
      b.Button(window, e.Name, 50, y, kWide, e.Caption, e.Script);
      y += 46;
    }
  };
  const Words options{"Options", "Options", "Optionen"};
  const Words quitGame{"Quit game", "Quitter le jeu", "Spiel beenden"};
  const Words mainMenu{"Main menu", "Menu principal", "Hauptmenü"};
  menu("WGameMenu", {"Game menu", "Menu du jeu", "Spielmenü"},
       {{"WGameMenu_BResume",
         {"Resume", "Reprendre", "Weiterspielen"},
         Hide("WGameMenu") + Exec("WGameMenu_BResume_MouseUp")},
        {"WGameMenu_BHelp", {"Help", "Aide", "Hilfe"}, Show("WHelp")},
        {"WGameMenu_BOptions", options, Exec("WOptions_BCancel_MouseUp") + Show("WOptions")},
        {"WGameMenu_BAbortLevel", {"Give up level", "Abandonner", "Level aufgeben"}, Show("WAbortLevel")},
        {"WGameMenu_BExitToMainMenu", mainMenu, Show("WExitToMainMenu")},
        {"WGameMenu_BQuit", quitGame, Show("WQuit")}});
  menu("WBetweenLevelMenu", {"Menu", "Menu", "Menü"},
       {{"WBetweenLevel_BSaveGame",
         {"Save game", "Sauvegarder", "Spiel speichern"},
         Exec("WBetweenLevel_BSaveGame_MouseUp") + Show("WSaveGame")},
        {"WBetweenLevelMenu_BLoadGame",
         {"Load game", "Charger une partie", "Spiel laden"},
         Exec("WTitle_BLoadGame_MouseUp") + Show("WLoadGame")},
        {"WBetweenLevelMenu_BOptions", options, Exec("WOptions_BCancel_MouseUp") + Show("WOptions")},
        {"WBetweenLevelMenu_BExitToMainMenu", mainMenu, Show("WExitToMainMenu")},
        {"WBetweenLevelMenu_BQuit", quitGame, Show("WQuit")},
        {"WBetweenLevelMenu_BBack", kBack, Hide("WBetweenLevelMenu")}});

  b.Window("WHelp", 680, 530, {"How to play", "Comment jouer", "So wird gespielt"});
  UiObject& text = b.Add("TQelRichLabel", "WHelp_RLText", "WHelp");
  InterfaceBuilder::Box(text, 30, 54, 620, 410);
  InterfaceBuilder::Set(text, "Color", kInk);
  InterfaceBuilder::Set(text, "Alignment", "taLeft");
  const char* gap = " {BR/}{BR 7/}";
  InterfaceBuilder::Say(
      text, "Caption",
      {std::string("Cards ride along the belt. Click a card to take it, then click a free place of the board to lay "
                   "it there.") +
           gap +
           "A card fits a place when the place's mark allows its suit and rank and a neighbouring card is one rank "
           "higher or lower. Ranks run in a circle: an Ace fits next to a King and next to a Two." +
           gap +
           "Four or more cards in a row of rising or falling ranks make a street and score extra points. Fill all "
           "places of a castle for a big bonus; fill the places beside a wall to break it." +
           gap +
           "On the bonus place, lay a card one rank above the card lying there. A King completes it and lets you "
           "raise a skill." +
           gap +
           "Keep spare cards in the drop pack on the right. A right click returns the held card to the belt. "
           "Ctrl+Space clears the belt, Shift+Space the drop pack, a few times a level." +
           gap +
           "Beware of the thief and the sharper: they take cards from the board. The level is won when every place "
           "holds a card, and lost when a card reaches the end of the belt.",
       std::string("Les cartes avancent sur le tapis. Cliquez sur une carte pour la prendre, puis sur une place "
                   "libre du plateau pour l'y poser.") +
           gap +
           "Une carte va sur une place quand la marque de la place permet sa couleur et son rang, et qu'une carte "
           "voisine a un rang de plus ou de moins. Les rangs forment un cercle : l'as va à côté du roi et du deux." +
           gap +
           "Quatre cartes ou plus à la suite, en montant ou en descendant, forment une suite et rapportent des "
           "points. Remplissez un château pour un gros bonus ; remplissez les places près d'un mur pour l'abattre." +
           gap +
           "Sur la place bonus, posez une carte d'un rang au-dessus de celle qui s'y trouve. Un roi la complète et "
           "vous laisse améliorer un talent." +
           gap +
           "Gardez des cartes dans la réserve à droite. Un clic droit rend la carte tenue au tapis. Ctrl+Espace "
           "vide le tapis, Maj+Espace la réserve, quelques fois par niveau." +
           gap +
           "Gare au voleur et au tricheur : ils prennent des cartes du plateau. Le niveau est gagné quand chaque "
           "place porte une carte, et perdu quand une carte atteint le bout du tapis.",
       std::string("Die Karten fahren auf dem Band. Klicken Sie eine Karte an, um sie zu nehmen, dann einen freien "
                   "Platz des Spielfelds, um sie dort abzulegen.") +
           gap +
           "Eine Karte passt auf einen Platz, wenn sein Zeichen Farbe und Rang erlaubt und eine Nachbarkarte einen "
           "Rang höher oder niedriger ist. Die Ränge bilden einen Kreis: Ein Ass passt neben König und Zwei." +
           gap +
           "Vier oder mehr Karten in steigender oder fallender Folge bilden eine Straße und bringen Extrapunkte. "
           "Füllen Sie eine Burg für einen großen Bonus; füllen Sie die Plätze an einer Mauer, um sie einzureißen." +
           gap +
           "Auf den Bonusplatz kommt eine Karte, die einen Rang über der dort liegenden ist. Ein König vollendet ihn "
           "und Sie dürfen eine Fähigkeit steigern." +
           gap +
           "Heben Sie Karten in der Ablage rechts auf. Ein Rechtsklick bringt die gehaltene Karte zurück aufs Band. "
           "Strg+Leertaste leert das Band, Umschalt+Leertaste die Ablage, einige Male pro Level." +
           gap +
           "Vorsicht vor Dieb und Falschspieler: Sie nehmen Karten vom Spielfeld. Das Level ist gewonnen, wenn jeder "
           "Platz eine Karte trägt, und verloren, wenn eine Karte das Ende des Bandes erreicht."});
  b.Button("WHelp", "WHelp_BClose", 245, 474, kNormal, kClose, Exec("WHelp_BClose_MouseUp"));

  const std::string cancel = "";
  b.Dialog("WQuit", {"Quit", "Quitter", "Beenden"},
           {"Quit the game now? What you did since the last save is lost.",
            "Quitter le jeu ? Ce que vous avez fait depuis la dernière sauvegarde sera perdu.",
            "Das Spiel jetzt beenden? Was Sie seit dem letzten Speichern getan haben, geht verloren."},
           Exec("WGameMenu_BQuit_MouseUp"), Hide("WQuit") + Exec("WQuit_BCancel_MouseUp"), kYes);
  b.Dialog("WExitToMainMenu", mainMenu,
           {"Leave this game and return to the title? What you did since the last save is lost.",
            "Quitter la partie et revenir au titre ? Ce que vous avez fait depuis la dernière sauvegarde sera perdu.",
            "Dieses Spiel verlassen und zum Titel zurückkehren? Ungespeicherter Fortschritt geht verloren."},
           kHideAll + Exec("WExitToMainMenu_BOk_MouseUp") + Show("WTitle"), Hide("WExitToMainMenu"), kYes);
  b.Dialog("WAbortLevel", {"Give up level", "Abandonner le niveau", "Level aufgeben"},
           {"Give up this level? The points you scored in it are lost.",
            "Abandonner ce niveau ? Les points gagnés dans ce niveau seront perdus.",
            "Dieses Level aufgeben? Die darin erzielten Punkte gehen verloren."},
           Exec("WAbortLevel_BOk_MouseUp"), Hide("WAbortLevel"), kYes);
  b.Dialog("WLevelComplete", {"Level complete", "Niveau terminé", "Level geschafft"},
           {"Well done! Every place of the board holds a card.", "Bravo ! Chaque place du plateau porte une carte.",
            "Gut gemacht! Jeder Platz trägt eine Karte."},
           kHideAll + Exec("WLevelComplete_BOk_MouseUp") + Show("WBetweenLevel"), cancel, kOk);
  b.Dialog("WGameOver", {"Level lost", "Niveau perdu", "Level verloren"},
           {"A card reached the end of the belt. Try the level again!",
            "Une carte a atteint le bout du tapis. Retentez le niveau !",
            "Eine Karte hat das Ende des Bandes erreicht. Versuchen Sie es noch einmal!"},
           Exec("WGameOver_BOk_MouseUp"), cancel, kOk);
}

void BetweenLevels(InterfaceBuilder& b) {
  // Over the kingdom map; the game moves these to the side away from the
  // current region, dark text on the left and yellow text on the right. The
  // plate under both titles is drawn by the two labels, its upper part by the
  // kingdom's and its lower part by the difficulty's, so it goes where they
  // go; its mid tone keeps both colourings legible. It ends above the
  // tallest window shown over the map (top at 65).
  b.Screen("WBetweenLevel", "");
  UiObject& kingdom = b.Label("WBetweenLevel", "WBetweenLevel_LKingdom", 482, 8, 296, 30,
                              {"The kingdom", "Le royaume", "Das Königreich"}, Text::Band);
  InterfaceBuilder::Set(kingdom, "Color", Colour(0xFFFF00));
  InterfaceBuilder::Set(kingdom, "TextShiftLeft", "10");
  InterfaceBuilder::Set(kingdom, "TextShiftTop", "2");
  InterfaceBuilder::Set(kingdom, "Picture",
                        b.Picture({"MapCartoucheTop.png", WidgetPicture::Cartouche, 296, 30, 0}));
  UiObject& difficulty =
      b.Label("WBetweenLevel", "WBetweenLevel_LDifficulty", 482, 38, 296, 26, {"Normal", "", ""}, Text::Band);
  InterfaceBuilder::Set(difficulty, "Color", Colour(0xE8E800));
  InterfaceBuilder::Set(difficulty, "TextShiftLeft", "10");
  InterfaceBuilder::Set(difficulty, "TextShiftTop", "-3");
  InterfaceBuilder::Set(difficulty, "Picture",
                        b.Picture({"MapCartoucheBottom.png", WidgetPicture::Cartouche, 296, 26, 1}));
  b.Button("WBetweenLevel", "WBetweenLevel_BMenu", 445, 550, kNarrow, {"Menu", "Menu", "Menü"},
           Show("WBetweenLevelMenu"));
  b.Button("WBetweenLevel", "WBetweenLevel_BNextLevel", 595, 550, kNormal,
           {"Next level", "Niveau suivant", "Nächstes Level"}, Exec("WBetweenLevel_BNextLevel_MouseUp"));
}

void Upgrade(InterfaceBuilder& b) {
  b.Window("WUpgrade", 560, 400, {"Raise a skill", "Améliorer un talent", "Fähigkeit steigern"});
  b.Label("WUpgrade", "WUpgrade_LInfo", 30, 50, 500, 40,
          {"The bonus place is complete! Choose one skill to raise by one level.",
           "La place bonus est complète ! Choisissez un talent à améliorer d'un niveau.",
           "Der Bonusplatz ist voll! Wählen Sie eine Fähigkeit, die um eine Stufe steigt."},
          Text::Body);
  b.Label("WUpgrade", "WUpgrade_LSkillHeading", 30, 100, 190, 20, {"Skill", "Talent", "Fähigkeit"}, Text::Heading);
  UiObject& level =
      b.Label("WUpgrade", "WUpgrade_LLevelHeading", 222, 100, 96, 20, {"Level", "Niveau", "Stufe"}, Text::Heading);
  for (UiProperty& p : level.Props)
    if (p.Name == "Alignment") p.Value = {"taCenter", "taCenter", "taCenter"};
  b.Label("WUpgrade", "WUpgrade_LEffectHeading", 322, 100, 214, 20, {"Effect", "Effet", "Wirkung"}, Text::Heading);
  struct Skill {
    const char* Id;
    Words Caption, Hint;
  };
  const Skill skills[] = {
      {"AntiSharper",
       {"Vigilance", "Vigilance", "Wachsamkeit"},
       {"A better chance that a card taken by the thief or the sharper comes back.",
        "Plus de chances qu'une carte prise par le voleur ou le tricheur revienne.",
        "Höhere Chance, dass eine vom Dieb oder Falschspieler genommene Karte zurückkommt."}},
      {"Economy",
       {"Economy", "Économie", "Sparsamkeit"},
       {"Every card you lay scores more points.", "Chaque carte posée rapporte plus de points.",
        "Jede gelegte Karte bringt mehr Punkte."}},
      {"Luck",
       {"Luck", "Chance", "Glück"},
       {"Bonus cards come along the belt more often.", "Les cartes bonus arrivent plus souvent sur le tapis.",
        "Bonuskarten kommen öfter auf dem Band."}},
      {"DropPack",
       {"Drop pack", "Réserve", "Ablage"},
       {"The drop pack holds one more card.", "La réserve garde une carte de plus.",
        "Die Ablage fasst eine Karte mehr."}},
  };
  int y = 126;
  for (int i = 0; i < 4; ++i) {
    const Skill& s = skills[i];
    const std::string n = std::to_string(i + 1);
    b.Radio("WUpgrade", "WUpgrade_RBSkill" + n, 30, y, 190, 1, s.Caption, "");
    UiObject& lv = b.Label("WUpgrade", std::string("WUpgrade_LSkill") + s.Id + "Level", 222, y, 96, 24, {"1", "", ""},
                           Text::Heading);
    for (UiProperty& p : lv.Props)
      if (p.Name == "Alignment") p.Value = {"taCenter", "taCenter", "taCenter"};
    b.Label("WUpgrade", std::string("WUpgrade_L") + s.Id + "String", 322, y, 214, 24, {"+3%", "", ""}, Text::Body);
    UiObject& hint = b.Add("TQelHint", "WUpgrade_HSkill" + n, "WUpgrade");
    InterfaceBuilder::Box(hint, 30, y, 250, 40);
    InterfaceBuilder::Set(hint, "Color", kInk);
    InterfaceBuilder::Set(hint, "BackGroundColor", Colour(0xF2DFA8));
    InterfaceBuilder::Set(hint, "BackGroundAlpha", "245");
    InterfaceBuilder::Set(hint, "ShowTime", "8000");
    InterfaceBuilder::Set(hint, "Visible", "false");
    InterfaceBuilder::Say(hint, "Caption", s.Hint);
    y += 44;
  }
  // Floats up as "+" and this caption when vigilance brings a card back.
  UiObject& saved = b.Label("WUpgrade", "WUpgrade_LAntiSharper", 30, 330, 190, 24,
                            {"Vigilance", "Vigilance", "Wachsamkeit"}, Text::Body);
  InterfaceBuilder::Set(saved, "Visible", "false");
  b.Button("WUpgrade", "WUpgrade_BOk", 185, 344, kNormal, kOk, Hide("WUpgrade") + Exec("WUpgrade_BOk_MouseUp"));
}

void GameEnd(InterfaceBuilder& b) {
  b.Window("WGameComplete", 480, 270,
           {"The kingdom is yours!", "Le royaume est à vous !", "Das Königreich ist Ihres!"});
  b.Label("WGameComplete", "WGameComplete_LText", 30, 58, 420, 54,
          {"You have completed every level. Enter your name for the high scores:",
           "Vous avez terminé tous les niveaux. Entrez votre nom pour les meilleurs scores :",
           "Sie haben alle Level geschafft. Geben Sie Ihren Namen für die Bestenliste ein:"},
          Text::BodyCentre);
  UiObject& name = b.Edit("WGameComplete", "WGameComplete_EName", 60, 124, 360, 24);
  InterfaceBuilder::Set(name, "Focused", "true");
  b.Button("WGameComplete", "WGameComplete_BOk", 145, 206, kNormal, kOk, Exec("WGameComplete_BOk_MouseUp"));
  b.Dialog("WAfterGameComplete", {"Congratulations", "Félicitations", "Glückwunsch"},
           {"Your score is in the high-score table. Thank you for playing!",
            "Votre score est dans le tableau des meilleurs. Merci d'avoir joué !",
            "Ihre Punkte stehen in der Bestenliste. Danke fürs Spielen!"},
           Exec("WAfterGameComplete_BOk_MouseUp"), "", kOk);

  b.Window("WHighScores", 560, 480, {"High scores", "Meilleurs scores", "Bestenliste"});
  UiObject& place = b.Label("WHighScores", "WHighScores_LPlace", 30, 52, 60, 20, {"No.", "N°", "Nr."}, Text::Heading);
  for (UiProperty& p : place.Props)
    if (p.Name == "Alignment") p.Value = {"taCenter", "taCenter", "taCenter"};
  b.Label("WHighScores", "WHighScores_LName", 98, 52, 280, 20, {"Name", "Nom", "Name"}, Text::Heading);
  UiObject& score =
      b.Label("WHighScores", "WHighScores_LScore", 386, 52, 104, 20, {"Score", "Score", "Punkte"}, Text::Heading);
  for (UiProperty& p : score.Props)
    if (p.Name == "Alignment") p.Value = {"taRight", "taRight", "taRight"};
  const std::string font = " FontName=\"QelUnicode\" Color=\"" + kInk + "\" Layout=\"tlCenter\"";
  b.Grid("WHighScores", "WHighScores_GHighScores", 24, 74, 480, 318,
         "Width=\"60\" Alignment=\"taCenter\"" + font + ";Width=\"300\" Alignment=\"taLeft\"" + font +
             " TextShiftLeft=\"8\";Width=\"108\" Alignment=\"taRight\"" + font + " TextShiftLeft=\"-8\";",
         0);
  UiObject& scroll = b.Slider("WHighScores", "WHighScores_SScroll", 510, 74, 318, true);
  InterfaceBuilder::Set(scroll, "Min", "0");
  InterfaceBuilder::Set(scroll, "Step", "1");
  InterfaceBuilder::Set(scroll, "BigStep", "9");
  InterfaceBuilder::Set(scroll, "LinkedObjectName", "WHighScores_GHighScores");
  b.Button("WHighScores", "WHighScores_BClear", 60, 418, kNormal, {"Clear", "Effacer", "Löschen"},
           Exec("WHighScores_BClear_MouseUp"));
  b.Button("WHighScores", "WHighScores_BClose", 310, 418, kNormal, kClose, Hide("WHighScores"));
  b.Dialog("WClearHighScores", {"Clear high scores", "Effacer les scores", "Bestenliste löschen"},
           {"Remove every entry of the high-score table?", "Effacer toutes les entrées du tableau des scores ?",
            "Alle Einträge der Bestenliste löschen?"},
           Hide("WClearHighScores") + Exec("WClearHighScores_BOk_MouseUp"), Hide("WClearHighScores"), kYes);
}

void SavedGames(InterfaceBuilder& b) {
  const std::string columns =
      "Width=\"528\" Alignment=\"taLeft\" Layout=\"tlCenter\" FontName=\"QelUnicode\" Color=\"" + kInk +
      "\" TextShiftLeft=\"10\";";
  struct Files {
    const char* Window;
    Words Title;
    const char* Edit;
    const char* Action;
    Words ActionCaption;
  };
  const Files windows[] = {
      {"WLoadGame",
       {"Load game", "Charger une partie", "Spiel laden"},
       "WLoadGame_ELoadFile",
       "WLoadGame_BLoad",
       {"Load", "Charger", "Laden"}},
      {"WSaveGame",
       {"Save game", "Sauvegarder la partie", "Spiel speichern"},
       "WSaveGame_ESaveFile",
       "WSaveGame_BSave",
       {"Save", "Sauvegarder", "Speichern"}},
  };
  for (const Files& f : windows) {
    const std::string w = f.Window;
    b.Window(w, 620, 470, f.Title);
    UiObject& grid = b.Grid(w, w + "_GFiles", 24, 52, 540, 262, columns, 1);
    // No click sound here: a click on a row runs the script twice (once
    // more through the linked scroll bar), and so would its sound.
    InterfaceBuilder::Set(grid, "OnMouseDown", Exec(w + "_GFiles_MouseDown"));
    UiObject& scroll = b.Slider(w, w + "_SScroll", 572, 52, 262, true);
    InterfaceBuilder::Set(scroll, "Min", "0");
    InterfaceBuilder::Set(scroll, "Step", "1");
    InterfaceBuilder::Set(scroll, "BigStep", "8");
    InterfaceBuilder::Set(scroll, "LinkedObjectName", w + "_GFiles");
    b.Label(w, w + "_LName", 26, 326, 300, 20,
            {"Name of the saved game:", "Nom de la sauvegarde :", "Name des Spielstands:"}, Text::Heading);
    UiObject& edit = b.Edit(w, f.Edit, 24, 348, 574, 40);
    // Characters a file name cannot hold.
    InterfaceBuilder::Set(edit, "ForbiddenChars", "\"*./:<>?\\|");
    if (w == "WSaveGame") InterfaceBuilder::Set(edit, "Focused", "true");
    b.Button(w, f.Action, 20, 412, kNormal, f.ActionCaption, Exec(std::string(f.Action) + "_MouseUp"));
    b.Button(w, w + "_BDelete", 215, 412, kNormal, {"Delete", "Supprimer", "Löschen"}, Exec(w + "_BDelete_MouseUp"));
    b.Button(w, w + "_BCancel", 410, 412, kNormal, {"Cancel", "Annuler", "Abbrechen"}, Hide(w));
  }
  b.Dialog("WReplace", {"Replace", "Remplacer", "Ersetzen"},
           {"A saved game of this name exists. Replace it?", "Une sauvegarde de ce nom existe. La remplacer ?",
            "Ein Spielstand dieses Namens existiert. Ersetzen?"},
           Exec("WReplace_BOk_MouseUp") + Hide("WSaveGame"), Hide("WReplace"), kYes);
  b.Dialog("WDelete", {"Delete", "Supprimer", "Löschen"},
           {"Delete this saved game for good?", "Supprimer définitivement cette sauvegarde ?",
            "Diesen Spielstand endgültig löschen?"},
           Exec("WDelete_BOk_MouseUp"), Hide("WDelete"), kYes);
}

void Settings(InterfaceBuilder& b) {
  b.Window("WOptions", 480, 390, {"Options", "Options", "Optionen"});
  // The colour-depth box is hidden in a window: last, it leaves no gap.
  b.Check("WOptions", "WOptions_CBFullScreen", 40, 56, 400, {"Full screen", "Plein écran", "Vollbild"});
  b.Check("WOptions", "WOptions_CB32bitColor", 40, 120, 400, {"32-bit colour", "Couleurs 32 bits", "32-Bit-Farben"});
  b.Check("WOptions", "WOptions_CBTurnOffHints", 40, 88, 400,
          {"Turn off hints", "Désactiver les conseils", "Hinweise ausschalten"});
  struct Volume {
    const char* Label;
    const char* Slider;
    Words Caption;
  };
  const Volume volumes[] = {
      {"WOptions_LMusicVolume", "WOptions_SMusicVolume", {"Music volume", "Volume de la musique", "Musiklautstärke"}},
      {"WOptions_LSoundVolume", "WOptions_SSoundVolume", {"Sound volume", "Volume des sons", "Geräuschlautstärke"}},
  };
  int y = 162;
  for (const Volume& v : volumes) {
    b.Label("WOptions", v.Label, 40, y, 400, 20, v.Caption, Text::Heading);
    UiObject& s = b.Slider("WOptions", v.Slider, 40, y + 24, 400, false);
    InterfaceBuilder::Set(s, "Min", "0");
    InterfaceBuilder::Set(s, "Max", "100");
    InterfaceBuilder::Set(s, "Step", "1");
    InterfaceBuilder::Set(s, "BigStep", "10");
    InterfaceBuilder::Set(s, "Position", "100");
    InterfaceBuilder::Set(s, "OnChange", Exec(std::string(v.Slider) + "_Change"));
    y += 66;
  }
  b.Button("WOptions", "WOptions_BOk", 40, 326, kNormal, kOk, Hide("WOptions") + Exec("WOptions_BOk_MouseUp"));
  b.Button("WOptions", "WOptions_BCancel", 250, 326, kNormal, {"Cancel", "Annuler", "Abbrechen"},
           Exec("WOptions_BCancel_MouseUp") + Hide("WOptions"));

  // The game adds a button below this one for every other language file.
  b.Window("WLanguage", 440, 300, {"Language", "Langue", "Sprache"});
  b.Label("WLanguage", "WLanguage_LChoose", 30, 54, 380, 22,
          {"Language of the game:", "Langue du jeu :", "Sprache des Spiels:"}, Text::Heading);
  UiObject& en = b.Radio("WLanguage", "WLanguage_RBENU", 125, 84, 190, 1, {"English", "", ""}, "");
  InterfaceBuilder::Set(en, "Checked", "true");
  b.Button("WLanguage", "WLanguage_BOk", 22, 244, kNormal, kOk, Exec("WLanguage_BOk_MouseUp"));
  b.Button("WLanguage", "WLanguage_BCancel", 228, 244, kNormal, {"Cancel", "Annuler", "Abbrechen"}, Hide("WLanguage"));
}

void Loading(InterfaceBuilder& b) {
  // Drawn by the game itself while pictures or a level load; the picture is
  // a file of the program folder, loaded before everything else.
  for (const char* w : {"WGameLoading", "WLoadLevel"}) {
    b.Screen(w, "loading.jpg");
    const bool start = std::string(w) == "WGameLoading";
    b.Progress(w, start ? "WGameLoading_PBGameLoading" : "WLoadLevel_PBLoadLevel");
    b.Label(w, start ? "WGameLoading_LLoading" : "WLoadLevel_LLoadLevelText", 200, 470, 400, 24,
            start ? Words{"Loading ...", "Chargement ...", "Wird geladen ..."} : Words{"Loading ...", "", ""},
            Text::PanelCentre);
  }
}

void Resources(InterfaceBuilder& b) {
  // Never shown: its labels carry the texts the game builds captions from.
  UiObject& w = b.Add("TQelForm", "WResource", "Interface");
  InterfaceBuilder::Box(w, 0, 0, 400, 40);
  auto text = [&](const std::string& name, const Words& caption) {
    b.Label("WResource", "WResource_" + name, 0, 0, 400, 40, caption, Text::Body);
  };
  text("LLevel", {"Level", "Niveau", "Level"});
  for (int i = 0; i < 43; ++i) text("LLevelName" + std::to_string(i + 1), {kRegionNames[i], "", ""});
  text("LThief", {"Thief", "Voleur", "Dieb"});
  text("LSharper", {"Sharper", "Tricheur", "Falschspieler"});
  text("LWall_WallRow.png", {"Stone wall", "Mur de pierre", "Steinmauer"});
  text("LWall_WallBlock.png", {"Brick wall", "Mur de briques", "Ziegelmauer"});
  text("LWall_WallColumn.png", {"Slate wall", "Mur d'ardoise", "Schiefermauer"});
  text("LBonusPlace1", {"One card", "Une carte", "Eine Karte"});
  text("LBonusPlace2", {"Two cards", "Deux cartes", "Zwei Karten"});
  text("LBonusPlace3", {"Three cards", "Trois cartes", "Drei Karten"});
  text("LDropPackString", {"Extra places", "Places en plus", "Zusatzplätze"});
  text("LLuckString", {"Bonus chance", "Chance de bonus", "Bonuschance"});
  text("LAntiSharperString", {"Rescue chance", "Chance de sauvetage", "Rettungschance"});
  // Texts the levels write onto their backgrounds.
  text("LLevelTitle1", {"The fields of Ambervale", "Les champs d'Ambervale", "Die Felder von Ambervale"});
  text("LLevelTitle2", {"The old wall of Briarholm", "Le vieux mur de Briarholm", "Die alte Mauer von Briarholm"});
  text("LLevelTitle9", {"The watch tower of Ivywood", "La tour de guet d'Ivywood", "Der Wachturm von Ivywood"});
  text("LLevelTitle10",
       {"High and low at Juniper Hill", "Haut et bas à Juniper Hill", "Hoch und tief in Juniper Hill"});
  text("LLevelTitle42", {"The King's Road", "La route du roi", "Die Straße des Königs"});
  text("LStreetUp", {"Street up", "Suite montante", "Straße aufwärts"});
  text("LStreetDown", {"Street down", "Suite descendante", "Straße abwärts"});
  text("LStreetBoth", {"Streets up and down", "Suites montantes et descendantes", "Straßen auf- und abwärts"});
  text("LCastleKeep", {"The keep", "Le donjon", "Der Bergfried"});
  text("LCastleTower", {"The tower", "La tour", "Der Turm"});
  text("LCastleIce", {"The ice castle", "Le château de glace", "Die Eisburg"});
  text("LCastleRoyal", {"The royal castle", "Le château royal", "Die Königsburg"});
}

std::string DefaultsObject() {
  std::string out = "  <o c=\"TQelDefaults\">\r\n";
  auto line = [&](const std::string& text) { out += "    <p n=\"DefLine\">" + Escape(text) + "</p>\r\n"; };
  for (const char* cls : {"TQelLabel", "TQelCheckBox", "TQelRadioButton", "TQelRichLabel", "TQelHint"})
    line(std::string(cls) + ";FontName;QelUnicode");
  for (const char* cls : {"TQelLabel", "TQelCheckBox", "TQelRadioButton", "TQelRichLabel", "TQelEdit", "TQelSlider",
                          "TQelGrid", "TQelProgressBar"})
    line(std::string(cls) + ";Visible;true");
  for (const char* cls : {"TQelLabel", "TQelCheckBox", "TQelRadioButton", "TQelRichLabel", "TQelHint", "TQelEdit"})
    line(std::string(cls) + ";Alpha;255");
  line("TQelRichLabel;LinkColor;" + kHeading);
  line("TQelRichLabel;LinkMouseOverColor;" + kChecked);
  out += "  </o>\r\n";
  return out;
}

std::string ObjectTag(const UiObject& o, const std::vector<const UiProperty*>& props) {
  std::string out = "  <o c=\"" + o.Class + "\">\r\n";
  for (const UiProperty* p : props) out += "    <p n=\"" + p->Name + "\">" + Escape(p->Value.En) + "</p>\r\n";
  out += "  </o>\r\n";
  return out;
}

}  // namespace

Interface::Interface() {
  InterfaceBuilder b(*this);
  TitleScreen(b);
  StartGame(b);
  Overview(b);
  Play(b);
  GameMenus(b);
  BetweenLevels(b);
  Upgrade(b);
  GameEnd(b);
  SavedGames(b);
  Settings(b);
  Loading(b);
  Resources(b);
}

std::string Interface::Description() const {
  std::string out = "<QelInterface Version=\"1.5\">\r\n" + DefaultsObject();
  for (const UiObject& o : Items) {
    UiProperty name{"Name", {o.Name, o.Name, o.Name}, false};
    UiProperty parent{"ParentName", {o.Parent, o.Parent, o.Parent}, false};
    std::vector<const UiProperty*> props{&name, &parent};
    for (const UiProperty& p : o.Props) props.push_back(&p);
    out += ObjectTag(o, props);
  }
  out += "</QelInterface>\r\n";
  return out;
}

std::string Interface::LanguageFile(const std::string& code) const {
  auto pick = [&](const Words& w) { return code == "FRA" ? w.Fr : code == "DEU" ? w.De : w.En; };
  std::string out = "<QelInterface>\r\n";
  for (const UiObject& o : Items) {
    std::vector<UiProperty> texts;
    for (const UiProperty& p : o.Props)
      if (p.Translated) texts.push_back(UiProperty{p.Name, {pick(p.Value), "", ""}, true});
    if (texts.empty()) continue;
    UiProperty name{"Name", {o.Name, "", ""}, false};
    std::vector<const UiProperty*> props{&name};
    for (const UiProperty& p : texts) props.push_back(&p);
    out += ObjectTag(o, props);
  }
  // Each language names itself in its own words, whatever the interface
  // language; the game makes these buttons from the English one.
  const std::pair<const char*, const char*> languages[] = {
      {"WLanguage_RBENU", "English"}, {"WLanguage_RBFRA", "Français"}, {"WLanguage_RBDEU", "Deutsch"}};
  for (const auto& [name, caption] : languages) {
    UiObject o{"TQelRadioButton", name, "WLanguage", {}};
    UiProperty n{"Name", {name, "", ""}, false};
    UiProperty c{"Caption", {caption, "", ""}, true};
    out += ObjectTag(o, {&n, &c});
  }
  out += "</QelInterface>\r\n";
  return out;
}

namespace {
void WriteText(const fs::path& path, const std::string& text) {
  qv::TMemoryStream s;
  s.Write(text.data(), text.size());
  s.SaveToFile(path);
}
}  // namespace

void WriteInterface(const std::string& stageFolder) {
  WriteText(fs::path(stageFolder) / "Quorvane.li", Interface().Description());
}

void WriteLanguages(const std::string& programFolder) {
  const Interface ui;
  const fs::path folder = fs::path(programFolder) / "lng";
  fs::create_directories(folder);
  WriteText(folder / "enu_1.lng", ui.LanguageFile("ENU"));
  WriteText(folder / "fra_2.lng", ui.LanguageFile("FRA"));
  WriteText(folder / "deu_3.lng", ui.LanguageFile("DEU"));
}

}  // namespace contentgen
