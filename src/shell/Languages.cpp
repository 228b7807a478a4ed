#include "shell/Languages.h"

#include <algorithm>
#include <system_error>

#include "foundation/Files.h"
#include "foundation/Log.h"
#include "foundation/Numeric.h"
#include "foundation/SFunctions.h"
#include "foundation/StrUtils.h"
#include "shell/ShellInterface.h"

namespace qv {

namespace {

constexpr std::string_view kWindow = "WLanguage";
constexpr std::string_view kButtonPrefix = "WLanguage_RB";
constexpr std::string_view kEnglishButton = "WLanguage_RBENU";

std::string ButtonName(std::string_view code) { return std::string(kButtonPrefix) + UpperAscii(code); }

bool IsLanguageFile(const std::string& lowered) { return EndsWith(lowered, "lng"); }

}  // namespace

std::string ReadLangCode(const TUserStore& store) {
  auto value = store.ReadString(kLanguageKey, kLanguageValue);
  if (!value) return {};
  return value->substr(0, 3);
}

void SaveLanguageToReg(TUserStore& store, std::string_view langCode) {
  // The language stays in effect for this run either way, so a store that
  // cannot be written costs only the next start's choice.
  if (store.WriteString(kLanguageKey, kLanguageValue, langCode.substr(0, 3)) == TUserStoreWrite::Failed)
    Log::Write("Cannot write the user store " + store.File().string() + ", the language is not kept");
}

std::vector<TLanguageButton> ScanLanguages(const std::vector<std::string>& names) {
  struct TFound {
    std::string Code;
    int32_t Order;
  };
  std::vector<TFound> found;
  for (const auto& name : names) {
    std::string lowered = LowerAscii(name);
    if (!IsLanguageFile(lowered) || lowered.find("scn") != std::string::npos) continue;
    found.push_back({lowered.substr(0, 3), StrToIntVal(TextBetween(lowered, "_", "."))});
  }
  // A stable sort takes the first noted among equal order numbers first.
  std::stable_sort(found.begin(), found.end(), [](const TFound& a, const TFound& b) { return a.Order < b.Order; });
  std::vector<TLanguageButton> buttons;
  int32_t i = 1;
  for (const auto& f : found) {
    if (f.Code == "enu") continue;
    TLanguageButton b;
    b.Code = UpperAscii(f.Code);
    if (i <= 5) {
      b.TopOffset = i * 24;
    } else {
      b.TopOffset = i * 24 - 144;
      b.LeftOffset = 200;
    }
    buttons.push_back(std::move(b));
    ++i;
  }
  return buttons;
}

namespace {

std::vector<std::string> FilesFor(const std::vector<std::string>& names, std::string_view code) {
  std::vector<std::string> files;
  for (const auto& name : names) {
    std::string lowered = LowerAscii(name);
    if (IsLanguageFile(lowered) && SameTextAscii(lowered.substr(0, 3), code)) files.push_back(name);
  }
  return files;
}

}  // namespace

TLanguageChoice ChooseLanguage(const std::vector<std::string>& names, std::string_view langCode) {
  TLanguageChoice choice;
  choice.Code = std::string(langCode);
  choice.Files = FilesFor(names, langCode);
  if (choice.Files.empty()) {
    choice.Code = std::string(kFallbackLanguage);
    choice.FellBack = true;
    choice.Files = FilesFor(names, kFallbackLanguage);
  }
  return choice;
}

std::string LanguageCodeOfButton(std::string_view buttonName) {
  if (buttonName.size() < kButtonPrefix.size() + 3) return {};
  return std::string(buttonName.substr(kButtonPrefix.size(), 3));
}

std::optional<std::filesystem::path> LanguageFolder(const std::filesystem::path& programFolder) {
  auto found = FindFileNoCase(programFolder, kLanguageFolder);
  std::error_code ec;
  if (!found || !std::filesystem::is_directory(*found, ec)) return std::nullopt;
  return found;
}

void ScanLanguages(IShellInterface& ui, const std::filesystem::path& programFolder) {
  const auto folder = LanguageFolder(programFolder);
  if (!folder) return;
  int32_t top = 0, left = 0;
  TryStrToInt(ui.GetProp(kEnglishButton, "Top"), top);
  TryStrToInt(ui.GetProp(kEnglishButton, "Left"), left);
  for (const TLanguageButton& b : ScanLanguages(ListDirectory(*folder))) {
    const std::string name = ButtonName(b.Code);
    if (ui.Exists(name) || !ui.CreateWidget("TQelRadioButton", name, kWindow, kEnglishButton)) continue;
    ui.SetProp(name, "Checked", "false");
    ui.SetProp(name, "Top", std::to_string(top + b.TopOffset));
    ui.SetProp(name, "Left", std::to_string(left + b.LeftOffset));
  }
}

std::string ChangeLanguage(IShellInterface& ui, TUserStore* store, const std::filesystem::path& programFolder,
                           std::string_view langCode) {
  const auto folder = LanguageFolder(programFolder);
  if (!folder) return std::string(langCode);
  const TLanguageChoice choice = ChooseLanguage(ListDirectory(*folder), langCode);
  if (choice.FellBack && store) SaveLanguageToReg(*store, choice.Code);
  for (const std::string& file : choice.Files) {
    ui.RestoreModifications();
    ui.LoadModifications((*folder / file).string());
  }
  ui.SetProp(ButtonName(choice.Code), "Checked", "true");
  return choice.Code;
}

std::string CheckedLanguage(IShellInterface& ui) {
  for (const std::string& child : ui.ChildNames(kWindow))
    if (StartsWith(child, kButtonPrefix) && SameTextAscii(ui.GetProp(child, "Checked"), "true"))
      return LanguageCodeOfButton(child);
  return {};
}

}  // namespace qv
