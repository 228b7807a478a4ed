// Saving and loading the running game, and the saved-game files of the
// folder "saves": named saves, "AutoSave.sav" after each won level and
// "QuickSave.sav". Loading reads and checks the whole file first (against
// the level too, by a dry run of the level loader that touches nothing of
// the game); only a file that passes replaces the game, so a damaged or
// hostile file leaves the running game exactly as it was.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "game/GameServices.h"
#include "game/GameTypes.h"
#include "game/LevelLoader.h"
#include "shell/SaveGameFile.h"

namespace qv {

inline constexpr const char* kSavesFolder = "saves";
inline constexpr const char* kAutoSaveName = "AutoSave";
inline constexpr const char* kQuickSaveName = "QuickSave";

class TSavedGames {
 public:
  // The loader is the one the game starts its levels with.
  TSavedGames(TGameState& state, const TGameServices& services, TLevelLoader& loader)
      : S(state), Svc(services), Loader(loader) {}

  // Pauses the game timers and writes the game, enciphered, through a
  // temporary file; EInOutError when it cannot be written.
  void SaveGame(const std::filesystem::path& file);

  // False when the file does not exist or the level of an unfinished game
  // cannot be loaded; raises (QelException, EConvertError, EInOutError) for
  // a damaged file. In all these cases the game is left untouched. On
  // success the game timers are paused at the time of loading.
  bool LoadGame(const std::filesystem::path& file);
  // The same for a file's bytes; fileName names it in errors.
  bool LoadGameFromBytes(std::string_view bytes, std::string_view fileName);

 private:
  void Apply(const TSaveGame& save, int32_t now);
  void ApplyLevel(const TSaveGame& save, int32_t now);

  TGameState& S;
  const TGameServices& Svc;
  TLevelLoader& Loader;
};

// The shape of a level that a saved game's indices must fit.
struct TLevelShape {
  size_t Points = 0;
  size_t BonusPositions = 0;
  size_t Belts = 0;
  size_t Walls = 0;
};
// Runs the level loader on a scratch copy of what it needs, with services
// that draw, show and load nothing; false when the level cannot be loaded.
bool ProbeLevel(const TGameState& state, const TGameServices& services, int32_t curLevel, TLevelShape& shape);

// Raises QelException naming the first index of the save that does not fit
// the level.
void CheckSaveAgainstLevel(const TSaveGame& save, const TLevelShape& shape, std::string_view fileName);

// The text without the ten characters a file name may not hold: " * . / : < > ? \ |
std::string FilterFileName(std::string_view text);

// The program folder's "saves" folder (found without regard to case).
std::filesystem::path SavesFolder(const std::filesystem::path& programFolder);
// The file of a save name: the saves folder, the name and ".sav". Nothing
// for an empty name or one that would leave the folder.
std::optional<std::filesystem::path> SaveFilePath(const std::filesystem::path& programFolder, std::string_view name);

// The names (without ".sav") of the saves folder's files, sorted.
std::vector<std::string> ListSavedGames(const std::filesystem::path& programFolder);
// The grid's AddCells text of one listed name, one cell whatever it holds.
std::string SaveListCell(std::string_view name);

}  // namespace qv
