// Loads arbitrary bytes as a saved game over a running game on a small
// level: the first byte picks plain text (even) or an enciphered file (odd)
// for the rest. A bad file must end in an exception and leave the game as it
// was; whatever loads must be safe to play, save and load again.
#include <cstdint>
#include <string>

#include "foundation/Log.h"
#include "foundation/QelException.h"
#include "game/GameServices.h"
#include "game/GameUpdate.h"
#include "game/LevelLoader.h"
#include "shell/SavedGames.h"
#include "FuzzGameFakes.h"

namespace {

constexpr const char* kLevel =
    "<Level Picture=\"L.jpg\"><Points>"
    "<point Origin=\"1\" X=\"100\" Y=\"100\" NearPoints=\"1\"/>"
    "<point Origin=\"2\" X=\"140\" Y=\"100\" NearPoints=\"0 2\"/>"
    "<point Origin=\"3\" X=\"180\" Y=\"100\" NearPoints=\"1\"/></Points>"
    "<Thief Point=\"0\"/><Sharper Point=\"2\"/>"
    "<Zones><Zone Name=\"F\" Picture=\"C.png\" Suits=\"0 1 2 3\" Orders=\"0 1 2 3 4 5 6 7 8 9 10 11 12\"/></Zones>"
    "<Belts><Belt Speed=\"3\" PartImage=\"P.png\" PointsBetween=\"10\">"
    "<Path>Set Linear; Set Timing 1; Path (0, 500) (400, 500);</Path></Belt></Belts>"
    "<Walls><Wall Name=\"G\" Picture=\"G.png\" X=\"1\" Y=\"2\" WallIn=\"1\" WallOut=\"2 3\"/></Walls>"
    "<BonusPlace x=\"600\" y=\"50\" Type=\"0\" Cards=\"5\"/></Level>";


class Surfaces final : public qv::IGameSurfaces {
 public:
  bool Exists(std::string_view) override { return true; }
  bool GetSize(std::string_view, int32_t& w, int32_t& h) override {
    w = 32;
    h = 50;
    return true;
  }
  void LoadPng(std::string_view) override {}
  void LoadJpeg(std::string_view) override {}
  void Release(std::string_view) override {}
};

class Archive final : public qv::IGameArchive {
 public:
  bool HasEntry(std::string_view name) override { return name != "Level3.xml"; }
  std::string ReadEntry(std::string_view name) override {
    if (name == "BonusPlaceTypes.xml") {
      return "<BonusPlaceTypes><Place Type=\"0\"><Point x=\"0\" y=\"0\"/><Point x=\"40\" y=\"0\"/></Place></BonusPlaceTypes>";
    }
    if (name == "MapPieces.xml") {
      return "<Map><Pieces><Piece x=\"1\" y=\"2\" Near=\"2\"/><Piece x=\"3\" y=\"4\" Near=\"1\"/></Pieces>"
             "<PieceOrder>2 1</PieceOrder></Map>";
    }
    // Level 2 is a broken file, so loading can fail after the save was read.
    if (name == "Level2.xml") return "<Level><Points><point/></Points></Level>";
    return kLevel;
  }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // Every QelException is logged; without a sink the lines would pile up.
  static const bool quietLog = [] {
    qv::Log::SetSink([](const std::string&) {});
    return true;
  }();
  (void)quietLog;
  if (size == 0) return 0;
  qv::fuzz::GameRig<Surfaces, Archive> rig;
  qv::ManualClock& clock = rig.Clock;
  qv::TGameServices& svc = rig.Svc;
  qv::TGameState& state = rig.State;
  qv::TLevelLoader loader(state, svc);
  loader.LoadBonusPlaceTypes("BonusPlaceTypes.xml");
  loader.LoadMapPieces("MapPieces.xml");
  loader.LoadLevel("Level1.xml");
  qv::TSavedGames saves(state, svc, loader);

  std::string bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
  if (data[0] & 1) bytes = qv::EncipherSaveGame(bytes);
  const std::string before = qv::FormatSaveGame(state);
  try {
    if (!saves.LoadGameFromBytes(bytes, "fuzz.sav")) {
      if (qv::FormatSaveGame(state) != before) __builtin_trap();
      return 0;
    }
  } catch (const qv::Exception&) {
    if (qv::FormatSaveGame(state) != before) __builtin_trap();
    return 0;
  }

  state.Game.GameMode = qv::gmPlaying;
  qv::TGameUpdate update(state, svc);
  update.ResumeGameTimers();
  for (int i = 0; i < 30; ++i) {
    update.UpdateFrame(clock.Now());
    clock.Advance(97);
  }
  // What loaded saves and loads again.
  update.PauseGameTimers();
  const std::string again = qv::FormatSaveGame(state);
  try {
    if (!saves.LoadGameFromBytes(qv::EncipherSaveGame(again), "again.sav")) __builtin_trap();
  } catch (const qv::Exception&) {
    __builtin_trap();
  }
  return 0;
}
