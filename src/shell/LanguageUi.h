// The language window and the language change on the interface engine: the
// radio buttons of "WLanguage" made from the language files, applying the
// files of a language code (after restoring what the previous file changed),
// and reading the chosen button back.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/UserStore.h"
#include "shell/Languages.h"

namespace qv {

class TQelInterfaceEngine;

// Adds a radio button "WLanguage_RB" + code to the window "WLanguage" for
// each button, as a copy of "WLanguage_RBENU", unchecked and moved by the
// button's offsets, then rebuilds the window's child list. Nothing happens
// without the window or the English button; a code that has a button
// already gets no second one.
void AddLanguageButtons(TQelInterfaceEngine& ui, const std::vector<TLanguageButton>& buttons);

// Lists "lng" of the program folder and adds its buttons.
void ScanLanguages(TQelInterfaceEngine& ui, const std::filesystem::path& programFolder);

// Applies the language files of langCode from "lng" of the program folder
// and checks its button. A code without a file falls back to "ENU", which is
// stored in the user store. Returns the code in effect; without the folder
// nothing changes and langCode is returned. Errors of reading or applying a
// language file reach the caller.
std::string ChangeLanguage(TQelInterfaceEngine& ui, TUserStore& store, const std::filesystem::path& programFolder,
                           std::string_view langCode);

// The code of the first checked radio button among the children of
// "WLanguage"; empty when none is checked.
std::string CheckedLanguage(const TQelInterfaceEngine& ui);

}  // namespace qv
