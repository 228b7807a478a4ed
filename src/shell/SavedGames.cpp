#include "shell/SavedGames.h"

#include <system_error>

#include "foundation/Files.h"
#include "foundation/Numeric.h"
#include "foundation/QelException.h"
#include "foundation/StrUtils.h"
#include "game/BeltPath.h"
#include "game/CardRules.h"
#include "game/GameUpdate.h"
#include "game/LevelStart.h"
#include "ui/QelGridCells.h"

namespace fs = std::filesystem;

namespace qv {

namespace {

int32_t WrapSub(int32_t a, int32_t b) {
  return static_cast<int32_t>(static_cast<uint32_t>(a) - static_cast<uint32_t>(b));
}

// Services for a dry run of the level loader: they read the archive and the
// clock, and show, draw and load nothing.
class TQuietWidgets : public IGameWidgets {
 public:
  bool Exists(std::string_view) override { return false; }
  std::string GetCaption(std::string_view) override { return {}; }
  void SetCaption(std::string_view, std::string_view) override {}
  int32_t TextWidth(std::string_view) override { return 0; }
  void ShowModal(std::string_view) override {}
  void Animate(int32_t) override {}
  bool IsGameHintVisible(int) override { return false; }
  void ShowGameHint(int, int32_t, int32_t, int) override {}
};

// Every picture counts as loaded, so none is loaded or released.
class TQuietSurfaces : public IGameSurfaces {
 public:
  bool Exists(std::string_view) override { return true; }
  bool GetSize(std::string_view, int32_t&, int32_t&) override { return false; }
  void LoadPng(std::string_view) override {}
  void LoadJpeg(std::string_view) override {}
  void Release(std::string_view) override {}
};

class TQuietScreen : public IGameScreen {
 public:
  void AddDirtyRect(const TRect&) override {}
  void SetOnlyDirtyRect(const TRect&) override {}
  void ComposeFrame() override {}
};

class TQuietSound : public IGameSound {
 public:
  void PlaySample(std::string_view) override {}
  void StopAllSounds() override {}
  void PlayMusic(std::string_view, int32_t, int32_t, int32_t) override {}
  void UpdateMusicSchedule(int32_t) override {}
};

// Preset cards of the dry run need no real draw, and must not take numbers
// from the game's generator.
class TQuietRandom : public IGameRandom {
 public:
  int32_t Random(int32_t) override { return 0; }
  double RandomFloat() override { return 0.0; }
  int32_t WeightedRandom(const TIntegers& weights) override { return static_cast<int32_t>(weights.size()); }
};

std::vector<TCard> Cards(const std::vector<TSavedCard>& saved) {
  std::vector<TCard> out;
  out.reserve(saved.size());
  for (const auto& s : saved) out.push_back(s.Card);
  return out;
}

}  // namespace

bool ProbeLevel(const TGameState& state, const TGameServices& services, int32_t curLevel, TLevelShape& shape) {
  TQuietWidgets widgets;
  TQuietSurfaces surfaces;
  TQuietScreen screen;
  TQuietRandom random;
  TQuietSound sound;
  TNullGameEffects effects;
  TNullFieldSurfaces field;
  TNullGameScreens screens;
  TGameServices quiet = services;
  quiet.Random = &random;
  quiet.Sound = &sound;
  quiet.Widgets = &widgets;
  quiet.Surfaces = &surfaces;
  quiet.Screen = &screen;
  quiet.Effects = &effects;
  quiet.Field = &field;
  quiet.Screens = &screens;

  // Only what a level load reads; the map's piece masks stay where they are.
  TGameState scratch;
  scratch.Game.CurLevel = curLevel;
  scratch.Game.PieceOrder = state.Game.PieceOrder;
  scratch.Game.TotalScore = state.Game.TotalScore;
  scratch.Game.DropPackCapacity = state.Game.DropPackCapacity;
  scratch.Game.Luck = state.Game.Luck;
  scratch.CardTypes = state.CardTypes;
  scratch.BonusPlaceTypes = state.BonusPlaceTypes;
  scratch.Params = state.Params;
  try {
    TLevelLoader loader(scratch, quiet);
    if (!loader.LoadLevel(LevelFileName(curLevel))) return false;
  } catch (const std::exception&) {
    return false;
  }
  const TLevel& L = scratch.Level;
  shape.Points = L.Points.size();
  shape.BonusPositions = L.BPPointsBusy.size();
  shape.Belts = L.Belts.size();
  shape.Walls = L.Walls.size();
  return true;
}

void CheckSaveAgainstLevel(const TSaveGame& save, const TLevelShape& shape, std::string_view fileName) {
  if (!save.HasLevel) return;
  auto fail = [&](const std::string& what) {
    throw QelException(std::string(fileName) + ": damaged saved game: " + what);
  };
  // The program always writes both lists; without them the cards could not
  // be placed.
  if (!save.PointsBusy || save.PointsBusy->size() != shape.Points)
    fail("the points list does not match the level's " + IntToStr(static_cast<int64_t>(shape.Points)) + " points");
  if (!save.BPPointsBusy || save.BPPointsBusy->size() != shape.BonusPositions)
    fail("the bonus-place list does not match the level's " + IntToStr(static_cast<int64_t>(shape.BonusPositions)) +
         " places");
  if (save.SharperPoint && *save.SharperPoint >= static_cast<int32_t>(shape.Points))
    fail("sharper point " + IntToStr(*save.SharperPoint) + " is not a point of the level");
  if (save.BeltCards && !save.BeltCards->empty() && shape.Belts == 0) fail("belt cards for a level without belts");
}

void TSavedGames::SaveGame(const fs::path& file) {
  TGameUpdate(S, Svc).PauseGameTimers();
  const std::string bytes = EncipherSaveGame(FormatSaveGame(S));
  AtomicWriteFile(file, bytes);
}

bool TSavedGames::LoadGame(const fs::path& file) {
  std::error_code ec;
  if (!fs::is_regular_file(file, ec)) return false;
  const auto bytes = ReadWholeFile(file);
  return LoadGameFromBytes(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()),
                           file.string());
}

bool TSavedGames::LoadGameFromBytes(std::string_view bytes, std::string_view fileName) {
  const std::string name(fileName);
  const TSaveGame save = ParseSaveGame(bytes, name, S.Level.LevComplete);
  if (save.HasLevel) {
    TLevelShape shape;
    if (!ProbeLevel(S, Svc, save.CurLevel.value_or(S.Game.CurLevel), shape)) return false;
    CheckSaveAgainstLevel(save, shape, name);
  }
  // Everything is checked: from here on the game is replaced.
  S.PauseFlag = false;
  TGameUpdate(S, Svc).PauseGameTimers();
  Apply(save, S.Game.PauseStart);
  return true;
}

void TSavedGames::Apply(const TSaveGame& save, int32_t now) {
  TGame& G = S.Game;
  TLevel& L = S.Level;
  if (save.TotalScore) G.TotalScore = *save.TotalScore;
  if (save.PrevScore) G.PrevScore = *save.PrevScore;
  if (save.Mode) G.Mode = *save.Mode;
  if (save.CurLevel) G.CurLevel = *save.CurLevel;
  if (save.LevComplete) L.LevComplete = *save.LevComplete;
  if (save.HasLevel) ApplyLevel(save, now);
  S.HeldCard = -1;

  int32_t* skills[kSkillCount] = {&G.Economy,     &G.AntiSharper,     &G.DropPackLevel,     &G.Luck,
                                  &G.PrevEconomy, &G.PrevAntiSharper, &G.PrevDropPackLevel, &G.PrevLuck};
  for (int i = 0; i < kSkillCount; ++i)
    if (save.Skills[static_cast<size_t>(i)]) *skills[i] = *save.Skills[static_cast<size_t>(i)];

  // Older saves may lack the levels finished before the current one.
  G.MapComplete = save.MapComplete.value_or(TIntegers{});
  for (int32_t level : G.PieceOrder) {
    if (!IntInArray(level, G.MapComplete)) G.MapComplete.push_back(level);
    if (level == G.CurLevel) break;
  }
  if (IntInArray(8, G.MapComplete) && !IntInArray(9, G.MapComplete)) G.MapComplete.push_back(9);
  if (save.MapNearComplete) G.MapNearComplete = *save.MapNearComplete;

  if (save.CrashedWalls && !L.Walls.empty()) {
    for (int32_t w : *save.CrashedWalls) {
      if (w < 0 || w >= static_cast<int32_t>(L.Walls.size())) continue;
      TWall& wall = L.Walls[static_cast<size_t>(w)];
      wall.WallIn.clear();
      wall.WallOut.clear();
      wall.Crashed = true;
    }
  }

  G.DropPackCapacity = G.DropPackLevel + 3;
  Svc.Widgets->SetCaption("WGame_LDropPackCount",
                          IntToStr(int64_t{G.DropPackCapacity} - static_cast<int64_t>(G.DropPack.size())));
  Svc.Widgets->SetCaption("WOverview_LDPCapacity", IntToStr(G.DropPackCapacity));
  G.MapLevel = G.CurLevel;
}

void TSavedGames::ApplyLevel(const TSaveGame& save, int32_t now) {
  TGame& G = S.Game;
  TLevel& L = S.Level;
  if (!Loader.LoadLevel(LevelFileName(G.CurLevel)))
    throw QelException("Cannot load " + LevelFileName(G.CurLevel) + " for the saved game");
  // The dry run saw the same file; a level that changed since is not trusted.
  TLevelShape shape{L.Points.size(), L.BPPointsBusy.size(), L.Belts.size(), L.Walls.size()};
  CheckSaveAgainstLevel(save, shape, LevelFileName(G.CurLevel));
  G.MapLevel = G.CurLevel;
  Svc.Screens->ComposeMapSelection();

  const int32_t spacing = L.Belts.empty() ? 0 : BeltCardSpacing(L.Belts[0]);
  S.Cards = Cards(save.Cards);
  if (save.DropPack) {
    G.DropPack = *save.DropPack;
    for (int32_t c : G.DropPack) S.Cards[static_cast<size_t>(c)].Spacing = spacing;
  }
  if (save.BeltCards && !L.Belts.empty()) {
    TCardArray& belt = L.Belts[0].Cards;
    belt.clear();
    for (const TSavedCard& saved : *save.BeltCards) {
      TCard c = saved.Card;
      if (saved.Age) c.BornTime = WrapSub(now, *saved.Age);
      c.Spacing = spacing;
      belt.push_back(c);
    }
  }
  L.PointsBusy = *save.PointsBusy;
  L.BPPointsBusy = *save.BPPointsBusy;
  if (save.SharperPoint) {
    L.SharperPoint = *save.SharperPoint;
    if (L.SharperPoint >= 0) {
      const TGamePoint& p = L.Points[static_cast<size_t>(L.SharperPoint)];
      L.SharperPos = TGamePoint{p.X + S.Params.SharperOffset.X, p.Y + S.Params.SharperOffset.Y};
      // Standing, not walking in from the level's starting point.
      L.SharperFrom = L.SharperPos;
      L.SharperTime = Svc.Clock->Now() + S.Params.SharperDelay;
    }
  }
  if (save.NoThief) {
    L.ThiefPoints.clear();
    L.ThiefPoint = -1;
    L.ThiefPoint2 = -1;
  }
  TCardRules(S, Svc).UpdateSuitableCards();
}

std::string FilterFileName(std::string_view text) {
  std::string out;
  for (char c : text)
    if (std::string_view("\"*./:<>?\\|").find(c) == std::string_view::npos) out += c;
  return out;
}

fs::path SavesFolder(const fs::path& programFolder) { return ResolveNoCase(programFolder, kSavesFolder); }

std::optional<fs::path> SaveFilePath(const fs::path& programFolder, std::string_view name) {
  if (name.empty()) return std::nullopt;
  // A separator or a NUL would reach outside the folder or cut the name.
  for (char c : name)
    if (c == '/' || c == '\\' || c == '\0') return std::nullopt;
  return SavesFolder(programFolder) / (std::string(name) + ".sav");
}

std::vector<std::string> ListSavedGames(const fs::path& programFolder) {
  std::vector<std::string> names;
  const fs::path folder = SavesFolder(programFolder);
  for (const std::string& entry : ListDirectory(folder)) {
    std::error_code ec;
    if (!EndsWith(entry, "sav") || !fs::is_regular_file(folder / entry, ec)) continue;
    names.push_back(entry.substr(0, entry.size() >= 4 ? entry.size() - 4 : 0));
  }
  return names;
}

std::string SaveListCell(std::string_view name) { return TextCellItem(name); }

}  // namespace qv
