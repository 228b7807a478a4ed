// Builds the card game's world from its tag files: a level ("Level<N>.xml"),
// the kingdom map ("MapPieces.xml") and the bonus-place types
// ("BonusPlaceTypes.xml"). Every index a file gives is checked here, so the
// rules and belts can trust the level; a bad one raises QelException naming
// the file, the entry and the attribute.
#pragma once

#include <set>
#include <string>
#include <string_view>

#include "game/GameServices.h"
#include "game/GameTypes.h"

namespace qv {

class TLevelLoader {
 public:
  TLevelLoader(TGameState& state, const TGameServices& services) : S(state), Svc(services) {}

  // Frees and resets the level's data; probabilities, multipliers, the
  // critical time, the prompt delay, the music and the picture names stay.
  void ClearLevel();
  // Falls back to "Level42.xml" when the archive has no such entry.
  bool LoadLevel(std::string_view entryName);
  // Reads the record's own tag text; fileName names it in errors.
  void LoadLevelPicture(TLevelPicture& picture, std::string_view fileName);
  bool LoadMapPieces(std::string_view entryName);
  bool LoadBonusPlaceTypes(std::string_view entryName);
  void DealBonusPlaceCards();

  // Surfaces that level loads created and that a later level may release.
  const std::set<std::string>& LoadedPictures() const { return Loaded; }

 private:
  void LoadPictures(const std::vector<std::string>& previous);

  TGameState& S;
  const TGameServices& Svc;
  std::set<std::string> Loaded;
};

void AddPoint(TPoints& list, TGamePoint p);
// An index outside the list does nothing.
void DeletePoint(TPoints& list, int index);
int FindPoint(TGamePoint p, const TPoints& list);

}  // namespace qv
