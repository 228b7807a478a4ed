// Fakes for the services the card game talks to, and a harness that wires
// them to one game state.
#pragma once

#include <deque>
#include <map>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "foundation/Clock.h"
#include "foundation/QelException.h"
#include "game/CardRules.h"
#include "game/GameServices.h"
#include "game/GameTypes.h"

namespace qv::test {

// Scripted draws; with nothing scripted Random gives 0, RandomFloat 0.0 and
// WeightedRandom the first index with a weight (the length when none).
class FakeRandom : public IGameRandom {
 public:
  int32_t Random(int32_t m) override {
    ++IntDraws;
    if (Ints.empty()) return 0;
    const int32_t v = Ints.front();
    Ints.pop_front();
    return m <= 0 ? 0 : v % m;
  }
  double RandomFloat() override {
    if (Floats.empty()) return 0.0;
    const double v = Floats.front();
    Floats.pop_front();
    return v;
  }
  int32_t WeightedRandom(const TIntegers& weights) override {
    WeightCalls.push_back(weights);
    if (!Weighted.empty()) {
      const int32_t v = Weighted.front();
      Weighted.pop_front();
      return v;
    }
    for (size_t i = 0; i < weights.size(); ++i) {
      if (weights[i] > 0) return static_cast<int32_t>(i);
    }
    return static_cast<int32_t>(weights.size());
  }

  std::deque<int32_t> Ints;
  std::deque<double> Floats;
  std::deque<int32_t> Weighted;
  std::vector<TIntegers> WeightCalls;
  int IntDraws = 0;
};

class FakeSound : public IGameSound {
 public:
  void PlaySample(std::string_view name) override { Samples.emplace_back(name); }
  void StopAllSounds() override { ++StopAll; }
  void PlayMusic(std::string_view name, int32_t fadeOut, int32_t position, int32_t slideIn) override {
    Music.emplace_back(std::string(name), fadeOut, position, slideIn);
  }
  void UpdateMusicSchedule(int32_t) override { ++ScheduleUpdates; }
  void FadeOutMusic(int32_t ms) override { MusicFades.push_back(ms); }

  std::vector<std::string> Samples;
  std::vector<std::tuple<std::string, int32_t, int32_t, int32_t>> Music;
  int StopAll = 0;
  int ScheduleUpdates = 0;
  std::vector<int32_t> MusicFades;
};

struct ShownHint {
  int Hint;
  int32_t X, Y;
  int Anchor;
};

class FakeWidgets : public IGameWidgets {
 public:
  bool Exists(std::string_view name) override { return Captions.count(std::string(name)) > 0; }
  std::string GetCaption(std::string_view name) override {
    const auto it = Captions.find(std::string(name));
    return it == Captions.end() ? std::string() : it->second;
  }
  void SetCaption(std::string_view name, std::string_view caption) override { Captions[std::string(name)] = caption; }
  int32_t TextWidth(std::string_view) override { return Width; }
  void ShowModal(std::string_view name) override { Modals.emplace_back(name); }
  void HideModalList() override { Modals.emplace_back("-"); }
  void Animate(int32_t) override { ++Animations; }
  bool IsGameHintVisible(int hint) override { return VisibleHints.count(hint) > 0; }
  void ShowGameHint(int hint, int32_t x, int32_t y, int anchor) override {
    Hints.push_back({hint, x, y, anchor});
    VisibleHints.insert(hint);
  }
  void HideGameHint(int hint) override {
    if (VisibleHints.erase(hint) > 0) HiddenHints.push_back(hint);
  }
  void ShowHint(std::string_view name, int32_t x, int32_t y, int anchor) override {
    NamedHints.emplace_back(std::string(name), ShownHint{0, x, y, anchor});
    VisibleNamedHints.insert(std::string(name));
  }
  void HideHint(std::string_view name) override {
    if (VisibleNamedHints.erase(std::string(name)) > 0) HiddenNamedHints.emplace_back(name);
  }

  std::map<std::string, std::string> Captions;
  std::vector<std::string> Modals;
  std::set<int> VisibleHints;
  std::vector<ShownHint> Hints;
  std::vector<int> HiddenHints;
  std::vector<std::pair<std::string, ShownHint>> NamedHints;
  std::set<std::string> VisibleNamedHints;
  std::vector<std::string> HiddenNamedHints;
  int32_t Width = 20;
  int Animations = 0;
};

class FakeSurfaces : public IGameSurfaces {
 public:
  bool Exists(std::string_view name) override { return Sizes.count(std::string(name)) > 0; }
  bool GetSize(std::string_view name, int32_t& w, int32_t& h) override {
    const auto it = Sizes.find(std::string(name));
    if (it == Sizes.end()) return false;
    w = it->second.first;
    h = it->second.second;
    return true;
  }
  void LoadPng(std::string_view name) override {
    Png.emplace_back(name);
    Sizes[std::string(name)] = {64, 32};
  }
  void LoadJpeg(std::string_view name) override {
    Jpeg.emplace_back(name);
    Sizes[std::string(name)] = {64, 32};
  }
  void Release(std::string_view name) override {
    Released.emplace_back(name);
    Sizes.erase(std::string(name));
  }

  std::map<std::string, std::pair<int32_t, int32_t>> Sizes;
  std::vector<std::string> Png, Jpeg, Released;
};

class FakeArchive : public IGameArchive {
 public:
  bool HasEntry(std::string_view name) override { return Entries.count(std::string(name)) > 0; }
  std::string ReadEntry(std::string_view name) override {
    const auto it = Entries.find(std::string(name));
    if (it == Entries.end()) throw Exception("Can not find " + std::string(name) + "in file folder");
    return it->second;
  }
  std::map<std::string, std::string> Entries;
};

class FakeScreen : public IGameScreen {
 public:
  void AddDirtyRect(const TRect& r) override { Dirty.push_back(r); }
  void SetOnlyDirtyRect(const TRect& r) override {
    Dirty.assign(1, r);
    ++OnlyRects;
  }
  void ComposeFrame() override { ++Composed; }
  std::vector<TRect> Dirty;
  int OnlyRects = 0;
  int Composed = 0;
};

struct Flight {
  TGamePoint From, To;
  std::string Picture;
  int32_t Start;
};

// A flight with its own path script, or a flash without one.
struct ScriptedFlight {
  std::string Picture;
  std::string Script;
  int32_t Start;
  int32_t Lifetime;
};

struct Flash {
  std::string Picture;
  TGamePoint Origin;
  int32_t Start;
  int32_t Lifetime;
};

class FakeEffects : public TNullGameEffects {
 public:
  void StartCardFlyEffect(TGamePoint from, TGamePoint to, std::string_view picture, int32_t start) override {
    Flights.push_back({from, to, std::string(picture), start});
  }
  void StartPictureEffect(TGamePoint at, std::string_view picture) override {
    Pictures.emplace_back(at, std::string(picture));
  }
  void ShowScoreEffect(std::string_view text, TGamePoint at, int32_t) override { Scores.emplace_back(at, std::string(text)); }
  void UpdateLevelEndSweep(int32_t) override { ++Sweeps; }
  void StartCardFlight(std::string_view picture, std::string_view script, int32_t start, int32_t lifetime) override {
    ScriptedFlights.push_back({std::string(picture), std::string(script), start, lifetime});
  }
  void StartSwapFlash(std::string_view picture, TGamePoint origin, int32_t start, int32_t lifetime) override {
    Flashes.push_back({std::string(picture), origin, start, lifetime});
  }
  void StartCardTurnEffect(std::string_view picture, TGamePoint origin) override {
    Turns.emplace_back(origin, std::string(picture));
  }
  void StartWallCrashEffect(std::string_view picture, TGamePoint origin) override {
    Crashes.emplace_back(origin, std::string(picture));
  }
  std::vector<ScriptedFlight> ScriptedFlights;
  std::vector<Flash> Flashes;
  std::vector<std::pair<TGamePoint, std::string>> Turns;
  std::vector<std::pair<TGamePoint, std::string>> Crashes;
  std::vector<Flight> Flights;
  std::vector<std::pair<TGamePoint, std::string>> Pictures;
  std::vector<std::pair<TGamePoint, std::string>> Scores;
  int Sweeps = 0;
};

class FakeField : public TNullFieldSurfaces {
 public:
  void DrawCoverMask() override { ++CoverMasks; }
  void MakeLevelSurfaces() override { ++LevelSurfaces; }
  void DrawLevelTexts(const TQelXMLTag* tag) override { HadDrawText = tag != nullptr; }
  int CoverMasks = 0;
  int LevelSurfaces = 0;
  bool HadDrawText = false;
};

class FakeScreens : public TNullGameScreens {
 public:
  void OpenUpgradeScreen() override { ++Upgrades; }
  void DrawMapScreen() override { ++MapScreens; }
  void ComposeMapSelection() override { ++MapSelections; }
  void ShowLevelLoadProgress(int32_t percent) override { Progress.push_back(percent); }
  void RunPointScript(int32_t point) override { PointScripts.push_back(point); }
  int Upgrades = 0;
  int MapScreens = 0;
  int MapSelections = 0;
  std::vector<int32_t> Progress;
  std::vector<int32_t> PointScripts;
};

inline TCard MakeCard(int32_t kind, int32_t bonus = btNone, int32_t bornTime = 0) {
  TCard c;
  c.CType = kind;
  c.BonusType = bonus;
  c.BornTime = bornTime;
  return c;
}

// One game state wired to fakes; the clock starts where the real one does.
struct GameHarness {
  GameHarness() {
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
  }

  // Kind of suit s and rank r.
  static int32_t Kind(int s, int r) { return s * 13 + r; }

  // Lays a new card of the kind on the point.
  int32_t Lay(int32_t point, int32_t kind) {
    TCard c;
    c.CType = kind;
    c.BonusType = btNone;
    c.X = State.Level.Points[static_cast<size_t>(point)].X - 16;
    c.Y = State.Level.Points[static_cast<size_t>(point)].Y - 25;
    State.Cards.push_back(c);
    State.Level.PointsBusy[static_cast<size_t>(point)] = static_cast<int32_t>(State.Cards.size()) - 1;
    return static_cast<int32_t>(State.Cards.size()) - 1;
  }

  // A row of points 40 pixels apart, each the neighbour of the next, all in
  // one zone that allows every card.
  void MakeRow(int count) {
    TLevel& L = State.Level;
    L.Points.clear();
    L.NearPoints.assign(static_cast<size_t>(count), {});
    for (int i = 0; i < count; ++i) {
      L.Points.push_back({100 + 40 * i, 200});
      if (i > 0) L.NearPoints[static_cast<size_t>(i)].push_back(i - 1);
      if (i + 1 < count) L.NearPoints[static_cast<size_t>(i)].push_back(i + 1);
    }
    L.PointsBusy.assign(static_cast<size_t>(count), -1);
    L.PointZone.assign(static_cast<size_t>(count), 0);
    L.StreetTypes.assign(static_cast<size_t>(count), stNone);
    L.Zones.assign(1, TZoneType{});
    L.Zones[0].Suits = 0x0F;
    L.Zones[0].Orders = 0x1FFF;
    L.BonusWeights.assign(5, 0);
  }

  ManualClock Clock;
  FakeRandom Rand;
  FakeSound Sound;
  FakeWidgets Widgets;
  FakeSurfaces Surfaces;
  FakeArchive Archive;
  FakeScreen Screen;
  FakeEffects Effects;
  FakeField Field;
  FakeScreens Screens;
  TGameServices Svc;
  TGameState State;
};

}  // namespace qv::test
