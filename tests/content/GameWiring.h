// The card game's archive and surfaces backed by the working archive.
#pragma once

#include "content/ContentSupport.h"
#include "foundation/SFunctions.h"
#include "foundation/StrUtils.h"
#include "game/CardRules.h"
#include "game/GameFakes.h"
#include "game/GameServices.h"
#include "game/LevelLoader.h"

namespace qv::test {

class ArchiveOfGame : public IGameArchive {
 public:
  bool HasEntry(std::string_view name) override { return WorkingArchive().IndexOf(name) >= 0; }
  std::string ReadEntry(std::string_view name) override { return EntryText(WorkingArchive(), std::string(name)); }
};

class SurfacesOfGame : public IGameSurfaces {
 public:
  bool Exists(std::string_view name) override { return Store.Find(std::string(name)).Found; }
  bool GetSize(std::string_view name, int32_t& w, int32_t& h) override {
    const SurfaceStore::Info i = Store.Find(std::string(name));
    w = i.Width;
    h = i.Height;
    return i.Found;
  }
  void LoadPng(std::string_view name) override { Load(name, true); }
  void LoadJpeg(std::string_view name) override { Load(name, false); }
  void Release(std::string_view name) override { Store.Release(std::string(name)); }
  IFieldCanvas& Canvas() { return Store.Canvas(); }
  uint32_t Pixel(std::string_view name, int x, int y) { return Store.Pixel(std::string(name), x, y); }
  // Names the loader asked for that the archive could not give.
  std::vector<std::string> Missing;

 private:
  void Load(std::string_view name, bool png) {
    const std::string n(name);
    if (png)
      Store.LoadPng(n);
    else
      Store.LoadJpeg(n);
    if (!Store.Find(n).Found) Missing.push_back(n);
  }
  SurfaceStore Store;
};

// The card game wired to the working archive and real surfaces.
struct ContentGame {
  ContentGame() {
    Svc.Clock = &Clock;
    Svc.Random = &Rand;
    Svc.Sound = &Sound;
    Svc.Widgets = &Widgets;
    Svc.Surfaces = &Surfaces;
    Svc.Archive = &Archive;
    Svc.Screen = &Screen;
    Svc.Effects = &Effects;
    Svc.Field = &Field;
    Svc.Screens = &Screens;
    BuildCardTypes(State.CardTypes);
    ReadParams();
    for (const char* fixed : {"EndHat.png", "CardPack.png", "LentaPart.png"}) Surfaces.LoadPng(fixed);
  }

  // The parameters of the shipped "GameParams.xml", read from its source.
  void ReadParams() {
    auto tags = ParseTags(ReadText(ContentSources() / "GameParams.xml"));
    const TQelXMLTag* root = tags->FindTag("GamePlayParams");
    ASSERT_NE(root, nullptr);
    auto num = [&](const char* tag, const char* attr) {
      const TQelXMLTag* t = root->FindTag(tag);
      return t ? StrToIntVal(attr ? Attr(*t, attr) : Trim(t->Text)) : 0;
    };
    TGameParams& p = State.Params;
    p.GameBornPeriod = num("BornPeriod", nullptr);
    p.AccelerationMax = num("Acceleration", "Max");
    p.AccelerationStep = num("Acceleration", "Step");
    p.ThiefOffset = {num("ThiefShift", "x"), num("ThiefShift", "y")};
    p.SharperOffset = {num("Sharper", "x"), num("Sharper", "y")};
    p.SharperDelay = num("Sharper", "Time");
  }

  ManualClock Clock;
  TProcessRandom Rand;
  FakeSound Sound;
  FakeWidgets Widgets;
  ArchiveOfGame Archive;
  SurfacesOfGame Surfaces;
  FakeScreen Screen;
  FakeEffects Effects;
  FakeField Field;
  FakeScreens Screens;
  TGameServices Svc;
  TGameState State;
  TLevelLoader Loader{State, Svc};
};

}  // namespace qv::test
