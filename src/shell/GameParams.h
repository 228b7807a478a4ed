// The optional game-parameter file "GameParams.xml" of the program folder,
// plain or enciphered with the data-file key: belt birth period and
// catch-up, the belts' shadow, the kingdom map's path styles and the thief's
// and sharper's offsets. Every value stays 0 until the file sets it.
#pragma once

#include <array>
#include <filesystem>
#include <string>
#include <string_view>

#include "game/GameTypes.h"
#include "game/KingdomMap.h"
#include "game/LevelSurfaces.h"

namespace qv {

struct TShellGameParams {
  TGameParams Game;
  TShadowParams Shadow;
  std::array<TMapPathStyle, 4> MapPath{};
};

// Reads the file's bytes: deciphered first unless they pass the plain-text
// test. A text without tags raises QelException fileName + "XML file does
// not has tags!"; a "GamePlayParams" file without "ShadowShift", "ThiefShift"
// or "Sharper", with an "Acceleration" lacking "Max" or "Step", or with an
// attribute that is not a decimal integer raises as well, leaving params as
// they were. A first tag of another name changes nothing.
void ParseGameParams(std::string_view bytes, std::string_view fileName, TShellGameParams& params);

// The file of the program folder; nothing happens (false) when it is missing.
bool LoadGameParams(const std::filesystem::path& fileName, TShellGameParams& params);

}  // namespace qv
