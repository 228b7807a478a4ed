// The saved-game file: a tag file whose one top-level tag "SaveGameQuorvane"
// holds the run's scores and the current level's cards, belt, points, skills
// and map progress, always written enciphered with the game's data key and
// read plain or enciphered. Reading converts and range-checks every value
// into a TSaveGame record without touching the game; the checks that need
// the level are made by TSavedGames before anything is replaced.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "game/GameTypes.h"

namespace qv {

inline constexpr std::string_view kSaveGameTag = "SaveGameQuorvane";
// Level numbers (CurLevel and the map lists) lie in 0..kMaxSavedLevel.
inline constexpr int32_t kMaxSavedLevel = 998;
// Skill levels lie in 0..kMaxSkillLevel.
inline constexpr int32_t kMaxSkillLevel = 1000;

// A card as the file gives it; fields the file leaves out keep TCard's
// defaults. Belt cards carry their age at the pause.
struct TSavedCard {
  TCard Card;
  std::optional<int32_t> Age;
};

enum TSkillIndex : int {
  skEconomy,
  skAntiSharper,
  skDropPack,
  skLuck,
  skPrevEconomy,
  skPrevAntiSharper,
  skPrevDropPack,
  skPrevLuck,
  kSkillCount
};

// Every value a saved game may give; each is present only when the file has
// it. The level's parts are read only for an unfinished level.
struct TSaveGame {
  std::optional<int32_t> TotalScore;
  std::optional<int32_t> PrevScore;
  std::optional<int32_t> Mode;
  std::optional<int32_t> CurLevel;
  std::optional<bool> LevComplete;
  // Whether the level's parts below were read (the level is unfinished).
  bool HasLevel = false;
  std::vector<TSavedCard> Cards;
  std::optional<TIntegers> DropPack;
  std::optional<std::vector<TSavedCard>> BeltCards;
  std::optional<TIntegers> PointsBusy;
  std::optional<TIntegers> BPPointsBusy;
  std::optional<int32_t> SharperPoint;
  bool NoThief = false;
  std::array<std::optional<int32_t>, kSkillCount> Skills;
  std::optional<TIntegers> MapComplete;
  std::optional<TIntegers> MapNearComplete;
  // Read leniently; indices outside the level's walls are skipped later.
  std::optional<TIntegers> CrashedWalls;
};

// The tag text of the state's game. The belt cards' ages are taken at
// TGame.PauseStart, so the timers must be paused. A held card is written at
// the head of the first belt, as a right click would return it.
std::string FormatSaveGame(const TGameState& state);
// The bytes of a saved-game file.
std::string EncipherSaveGame(std::string_view text);

// Reads a file's bytes (plain text or enciphered). Raises QelException with
// fileName + "XML file does not has tags!", "Wrong Save File format!" or a
// text naming the damaged value, and EConvertError for a malformed number.
// currentLevComplete is the game's flag, which a file without "LevComplete"
// keeps.
TSaveGame ParseSaveGame(std::string_view bytes, std::string_view fileName, bool currentLevComplete);

// " 1 2 3": a blank before each element.
std::string IntListText(const TIntegers& list);

}  // namespace qv
