#include "shell/SaveScreens.h"

#include <system_error>

#include "foundation/Numeric.h"
#include "shell/SavedGames.h"
#include "shell/ScreenRoad.h"
#include "shell/Shell.h"

namespace qv {

namespace fs = std::filesystem;

namespace {
std::string Grid(const std::string& window) { return window + "_GFiles"; }
std::string EditOf(const std::string& window) {
  return window == "WLoadGame" ? "WLoadGame_ELoadFile" : "WSaveGame_ESaveFile";
}
bool FileExists(const fs::path& file) {
  std::error_code ec;
  return fs::is_regular_file(file, ec);
}
}  // namespace

void TSaveScreens::Publish() {
  Sh.Publish("WTitle_BLoadGame_MouseUp", [this] { FillList("WLoadGame"); });
  Sh.Publish("WBetweenLevel_BSaveGame_MouseUp", [this] { FillList("WSaveGame"); });
  Sh.Publish("WLoadGame_GFiles_MouseDown", [this] { TakeSelection("WLoadGame"); });
  Sh.Publish("WSaveGame_GFiles_MouseDown", [this] { TakeSelection("WSaveGame"); });
  Sh.Publish("WLoadGame_BLoad_MouseUp", [this] { LoadNamed(); });
  Sh.Publish("WSaveGame_BSave_MouseUp", [this] { SaveNamed(); });
  Sh.Publish("WReplace_BOk_MouseUp", [this] { ReplaceConfirmed(); });
  Sh.Publish("WLoadGame_BDelete_MouseUp", [this] { AskDelete(); });
  Sh.Publish("WSaveGame_BDelete_MouseUp", [this] { AskDelete(); });
  Sh.Publish("WDelete_BOk_MouseUp", [this] { DeleteConfirmed(); });
  Sh.Publish("WGame_BQuickSave_MouseUp", [this] { QuickSave(); });
}

void TSaveScreens::FillList(const std::string& window) {
  IShellInterface& UI = *Sh.UI;
  const std::string grid = Grid(window);
  if (window == "WLoadGame" && !UI.Exists(grid)) return;
  UI.ClearGrid(grid);
  for (const std::string& name : ListSavedGames(Sh.ProgramFolder)) UI.SetProp(grid, "AddCells", SaveListCell(name));
  TakeSelection(window);
}

void TSaveScreens::TakeSelection(const std::string& window) {
  Sh.UI->SetProp(EditOf(window), "Caption", Sh.UI->GridSelectedText(Grid(window)));
}

void TSaveScreens::LoadNamed() {
  const std::string name = Sh.UI->GetProp("WLoadGame_ELoadFile", "Caption");
  if (name.empty()) return;
  const auto file = SaveFilePath(Sh.ProgramFolder, name);
  if (!file) return;
  TSavedGames saves(Sh.Game, Sh.Svc, Sh.Loader);
  if (!saves.LoadGame(*file)) return;

  TGameState& S = Sh.Game;
  TGame& G = S.Game;
  IShellInterface& UI = *Sh.UI;
  UI.SetProp("WGame_LScoreCount", "Caption", IntToStr(G.TotalScore));
  if (S.Level.LevComplete) {
    G.GameMode = gmMap;
    Sh.Map.DrawMapScreen();
    if (!G.MapNearComplete.empty())
      G.MapLevel = G.MapNearComplete[static_cast<size_t>(Sh.Random.Random(static_cast<int32_t>(G.MapNearComplete.size())))];
    Sh.Map.ComposeMapSelection();
    UI.HideModalList();
    UI.ShowModal("WBetweenLevel");
    if (Road) Road->ShowBetweenLevelScreen();
  } else {
    G.GameMode = gmFrozen;
    Sh.Map.DrawMapScreen();
    Sh.LevelSurfaces.DrawCoverMask();
    UI.HideModalList();
    UI.ShowModal("WGame");
    UI.ShowModal("WOverview");
    Sh.Sound.PlayMusic(S.Level.Music, 1000, 0, 1000);
  }
}

void TSaveScreens::SaveTo(const std::string& name) {
  if (const auto file = SaveFilePath(Sh.ProgramFolder, name)) TSavedGames(Sh.Game, Sh.Svc, Sh.Loader).SaveGame(*file);
}

void TSaveScreens::SaveNamed() {
  const std::string name = FilterFileName(Sh.UI->GetProp("WSaveGame_ESaveFile", "Caption"));
  const auto file = SaveFilePath(Sh.ProgramFolder, name);
  if (!file) return;
  if (FileExists(*file)) {
    Sh.UI->ShowModal("WReplace");
    return;
  }
  TSavedGames(Sh.Game, Sh.Svc, Sh.Loader).SaveGame(*file);
  Sh.UI->HideModal();
}

void TSaveScreens::ReplaceConfirmed() {
  SaveTo(FilterFileName(Sh.UI->GetProp("WSaveGame_ESaveFile", "Caption")));
  Sh.UI->HideModal();
}

std::string TSaveScreens::NamingWindow() { return Sh.UI->TopWindow() == "WLoadGame" ? "WLoadGame" : "WSaveGame"; }

void TSaveScreens::AskDelete() {
  const auto file = SaveFilePath(Sh.ProgramFolder, Sh.UI->GetProp(EditOf(NamingWindow()), "Caption"));
  if (file && FileExists(*file)) Sh.UI->ShowModal("WDelete");
}

void TSaveScreens::DeleteConfirmed() {
  Sh.UI->HideModal();
  const std::string window = NamingWindow();
  if (const auto file = SaveFilePath(Sh.ProgramFolder, Sh.UI->GetProp(EditOf(window), "Caption"))) {
    std::error_code ec;
    fs::remove(*file, ec);
  }
  FillList(window);
}

void TSaveScreens::QuickSave() {
  Sh.PauseGameTimers();
  SaveTo(kQuickSaveName);
}

void TSaveScreens::AutoSave() { SaveTo(kAutoSaveName); }

}  // namespace qv
