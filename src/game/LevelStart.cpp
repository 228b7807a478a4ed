#include "game/LevelStart.h"

#include "foundation/Numeric.h"

namespace qv {

// Counted in 64 bits, so that the last level number cannot overflow.
std::string LevelFileName(int32_t n) { return "Level" + IntToStr(int64_t{n} + 1) + ".xml"; }

bool StartLevel(TGameState& state, const TGameServices& services, TLevelLoader& loader, int32_t n,
                std::string_view debugEntry) {
  state.Game.CurLevel = n;
  const std::string entry = debugEntry.empty() ? LevelFileName(n) : std::string(debugEntry);
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
