// The interface languages: the language code kept in the per-user store, the
// list of language files in the folder "lng" of the program folder, and the
// choice of the files that a language change applies. A language file is
// named by its code, "_", its place in the language list, "." and "lng"
// ("deu_3.lng"); names containing "scn" are not languages. The choices are
// made on a folder listing; the language window's buttons and the language
// files go to the interface through the shell's interface.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/UserStore.h"

namespace qv {

class IShellInterface;

inline constexpr std::string_view kLanguageKey = "Software\\Ostrandel\\Quorvane";
inline constexpr std::string_view kLanguageValue = "LangStr";
inline constexpr std::string_view kLanguageFolder = "lng";
inline constexpr std::string_view kFallbackLanguage = "ENU";

// The first three characters of the stored value; empty when there is none.
std::string ReadLangCode(const TUserStore& store);
// Stores the code's first three characters. A store whose key cannot be
// created is ignored; a failed write is logged with the store's path.
void SaveLanguageToReg(TUserStore& store, std::string_view langCode);

// A radio button of the language window for one language file.
struct TLanguageButton {
  std::string Code;        // in capitals; the button is "WLanguage_RB" + Code
  int32_t TopOffset = 0;   // added to the English button's top
  int32_t LeftOffset = 0;  // added to the English button's left
};

// The buttons for the files of a listing of "lng", in the order of their
// order numbers (the first listed among equals); English makes no button.
// The first five go below the English button, 24 pixels apart; the others
// form a second column 200 pixels to the right, from its height on.
std::vector<TLanguageButton> ScanLanguages(const std::vector<std::string>& names);

// The language a change applies, from a listing of "lng".
struct TLanguageChoice {
  // The code in effect afterwards: the asked one, or "ENU" when no file
  // matched it (the caller then stores "ENU" in the user store).
  std::string Code;
  bool FellBack = false;
  // The files to apply in turn, each after restoring what the previous one
  // changed; the last counts. Empty when not even an English file exists.
  std::vector<std::string> Files;
};
TLanguageChoice ChooseLanguage(const std::vector<std::string>& names, std::string_view langCode);

// The code of a language button's name: the three characters after
// "WLanguage_RB"; empty when the name is too short.
std::string LanguageCodeOfButton(std::string_view buttonName);

// The folder "lng" of the program folder; nothing when there is none.
std::optional<std::filesystem::path> LanguageFolder(const std::filesystem::path& programFolder);

// Adds the buttons of the files in "lng" to the window "WLanguage", each a
// copy of "WLanguage_RBENU", unchecked and moved by its offsets. A code that
// has a button already gets no second one, as a second object of one name
// would be made nameless.
void ScanLanguages(IShellInterface& ui, const std::filesystem::path& programFolder);

// Applies the files of langCode from "lng" and checks its button; returns
// the code in effect. The fall-back to "ENU" is stored in the store (when
// there is one); a failed write is logged where it is raised, and the
// language applies all the same. Without the folder nothing changes and
// langCode is returned. Errors of reading or applying a language file reach
// the caller.
std::string ChangeLanguage(IShellInterface& ui, TUserStore* store, const std::filesystem::path& programFolder,
                           std::string_view langCode);

// The code of the first checked language button of "WLanguage"; empty when
// none is checked.
std::string CheckedLanguage(IShellInterface& ui);

}  // namespace qv
