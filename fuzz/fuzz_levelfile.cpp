// Loads arbitrary text as a level file and plays a few frames on it: a bad
// file must end in a QelException, and whatever loads must be safe to play.
#include <cstdint>
#include <map>
#include <string>

#include "foundation/QelException.h"
#include "game/CardRules.h"
#include "game/GameServices.h"
#include "game/GameUpdate.h"
#include "game/LevelLoader.h"
#include "FuzzGameFakes.h"

namespace {


class Surfaces final : public qv::IGameSurfaces {
 public:
  bool Exists(std::string_view name) override { return loaded_.count(std::string(name)) > 0; }
  bool GetSize(std::string_view, int32_t& w, int32_t& h) override {
    w = 32;
    h = 50;
    return true;
  }
  void LoadPng(std::string_view name) override { loaded_[std::string(name)] = 1; }
  void LoadJpeg(std::string_view name) override { loaded_[std::string(name)] = 1; }
  void Release(std::string_view name) override { loaded_.erase(std::string(name)); }

 private:
  std::map<std::string, int> loaded_;
};

class Archive final : public qv::IGameArchive {
 public:
  bool HasEntry(std::string_view) override { return true; }
  std::string ReadEntry(std::string_view name) override {
    if (name == "BonusPlaceTypes.xml") {
      return "<BonusPlaceTypes><Place Type=\"0\"><Point x=\"0\" y=\"0\"/><Point x=\"40\" y=\"0\"/></Place></BonusPlaceTypes>";
    }
    return Text;
  }
  std::string Text;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  qv::fuzz::GameRig<Surfaces, Archive> rig;
  rig.Archive.Text.assign(reinterpret_cast<const char*>(data), size);
  qv::ManualClock& clock = rig.Clock;
  qv::TGameServices& svc = rig.Svc;
  qv::TGameState& state = rig.State;
  qv::TLevelLoader loader(state, svc);
  try {
    loader.LoadBonusPlaceTypes("BonusPlaceTypes.xml");
    loader.LoadLevel("Level1.xml");
  } catch (const qv::QelException&) {
    return 0;
  }
  state.Game.GameMode = qv::gmPlaying;
  qv::TGameUpdate update(state, svc);
  qv::TCardRules rules(state, svc);
  for (int i = 0; i < 40; ++i) {
    update.UpdateFrame(clock.Now());
    clock.Advance(97);
    if (i == 20 && !state.Level.Belts.empty() && !state.Level.Belts[0].Cards.empty()) {
      state.Cards.push_back(state.Level.Belts[0].Cards[0]);
      state.HeldCard = static_cast<int32_t>(state.Cards.size()) - 1;
      rules.UpdateTargetPoints();
    }
  }
  return 0;
}
