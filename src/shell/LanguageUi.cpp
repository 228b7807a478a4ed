#include "shell/LanguageUi.h"

#include <system_error>

#include "foundation/Files.h"
#include "foundation/StrUtils.h"
#include "ui/QelInterfaceClasses.h"
#include "ui/QelInterfaceEngine.h"

namespace fs = std::filesystem;

namespace qv {

namespace {

constexpr const char* kWindow = "WLanguage";
constexpr const char* kEnglishButton = "WLanguage_RBENU";
constexpr const char* kRadioClass = "TQelRadioButton";

std::string ButtonName(std::string_view code) { return "WLanguage_RB" + UpperAscii(code); }

// The "lng" folder, or nothing when the program folder has none.
std::optional<fs::path> LanguageFolder(const fs::path& programFolder) {
  auto found = FindFileNoCase(programFolder, kLanguageFolder);
  std::error_code ec;
  if (!found || !fs::is_directory(*found, ec)) return std::nullopt;
  return found;
}

}  // namespace

void AddLanguageButtons(TQelInterfaceEngine& ui, const std::vector<TLanguageButton>& buttons) {
  auto* form = dynamic_cast<TQelForm*>(ui.FindObject(kWindow));
  auto* english = dynamic_cast<TQelInterfaceObject*>(ui.FindObject(kEnglishButton));
  if (!form || !english) return;
  for (const TLanguageButton& b : buttons) {
    const std::string name = ButtonName(b.Code);
    // A second object of the same name would be created nameless.
    if (ui.FindObject(name)) continue;
    const int index = ui.CreateObject(name, kWindow, kRadioClass);
    if (index < 0) return;
    auto* button = dynamic_cast<TQelInterfaceObject*>(ui.Objects()[static_cast<size_t>(index)].get());
    if (!button) continue;
    button->Assign(*english);
    ui.SetProp(name, "Checked", "false");
    button->LinkParent();
    button->SetTop(button->Top + b.TopOffset);
    if (b.LeftOffset != 0) button->SetLeft(button->Left + b.LeftOffset);
  }
  form->BuildChildList();
}

void ScanLanguages(TQelInterfaceEngine& ui, const fs::path& programFolder) {
  const auto folder = LanguageFolder(programFolder);
  if (!folder) return;
  AddLanguageButtons(ui, ScanLanguages(ListDirectory(*folder)));
}

std::string ChangeLanguage(TQelInterfaceEngine& ui, TUserStore& store, const fs::path& programFolder,
                           std::string_view langCode) {
  const auto folder = LanguageFolder(programFolder);
  if (!folder) return std::string(langCode);
  const TLanguageChoice choice = ChooseLanguage(ListDirectory(*folder), langCode);
  if (choice.FellBack) SaveLanguageToReg(store, choice.Code);
  for (const std::string& file : choice.Files) {
    ui.RestoreModifications();
    ui.LoadModifications(*folder / file);
  }
  ui.SetProp(ButtonName(choice.Code), "Checked", "true");
  return choice.Code;
}

std::string CheckedLanguage(const TQelInterfaceEngine& ui) {
  const auto* form = dynamic_cast<const TQelForm*>(ui.FindObject(kWindow));
  if (!form) return {};
  for (const TQelInterfaceObject* child : form->ChildList) {
    if (!child || child->ClassName() != kRadioClass) continue;
    if (SameTextAscii(PropValueToText(GetPropValue(*child, "Checked")), "true"))
      return LanguageCodeOfButton(child->Name());
  }
  return {};
}

}  // namespace qv
