// Starting a level: load it, freeze the game under the overview window and
// schedule the level's music.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "game/GameServices.h"
#include "game/GameTypes.h"
#include "game/LevelLoader.h"

namespace qv {

// The archive entry of level n (from 0): "Level" + (n + 1) + ".xml".
std::string LevelFileName(int32_t n);

// Loads LevelFileName(n), or debugEntry when it is not empty (the
// debug mode's level named on the command line), and opens "WGame" with
// "WOverview" above it; the current music fades out over a second and the
// level's starts from its beginning.
bool StartLevel(TGameState& state, const TGameServices& services, TLevelLoader& loader, int32_t n,
                std::string_view debugEntry = {});

}  // namespace qv
