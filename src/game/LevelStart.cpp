#include "game/LevelStart.h"

#include <string>

#include "foundation/Numeric.h"

namespace qv {

bool StartLevel(TGameState& state, const TGameServices& services, TLevelLoader& loader, int32_t n,
                std::string_view debugEntry) {
  state.Game.CurLevel = n;
  const std::string entry = debugEntry.empty() ? "Level" + IntToStr(int64_t{n} + 1) + ".xml" : std::string(debugEntry);
  const bool loaded = loader.LoadLevel(entry);
  state.HeldCard = -1;
  state.Game.GameMode = gmFrozen;
  services.Field->DrawCoverMask();
  services.Widgets->HideModalList();
  services.Widgets->ShowModal("WGame");
  services.Widgets->ShowModal("WOverview");
  services.Sound->PlayMusic(state.Level.Music, 1000, 0, 1000);
  return loaded;
}

}  // namespace qv
