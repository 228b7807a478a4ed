#include "shell/ScoreScreens.h"

#include <utility>

#include "foundation/Files.h"
#include "shell/Shell.h"

namespace qv {

namespace {
constexpr const char* kGrid = "WHighScores_GHighScores";
}

void TScoreScreens::Publish() {
  Sh.Publish("WTitle_BHighScores_MouseUp", [this] { FillGrid(); });
  Sh.Publish("WGameComplete_BOk_MouseUp", [this] { EnterFinalScore(); });
  Sh.Publish("WAfterGameComplete_BOk_MouseUp", [this] { AfterGameComplete(); });
  Sh.Publish("WHighScores_BClear_MouseUp", [this] { AskClear(); });
  Sh.Publish("WClearHighScores_BOk_MouseUp", [this] { Clear(); });
  Sh.HighScoresLoader = [this] { Load(); };
}

void TScoreScreens::Load() { Table = LoadHighScores(ResolveNoCase(Sh.ProgramFolder, kHighScoresFileName)); }

void TScoreScreens::FillGrid() {
  Sh.UI->ClearGrid(kGrid);
  for (size_t i = 0; i < Table.size(); ++i)
    Sh.UI->SetProp(kGrid, "AddCells", HighScoreCells(static_cast<int>(i), Table[i]));
}

void TScoreScreens::EnterFinalScore() {
  std::string name = Sh.UI->GetProp("WGameComplete_EName", "Caption");
  if (name.empty()) name = kDefaultPlayerName;
  Sh.Settings.PlayerName = name;
  // The table takes the row only once the file holds it: a failed write
  // leaves this window open, and its OK again must not add the row twice.
  THighScores entered = Table;
  InsertHighScore(name, Sh.Game.Game.TotalScore, entered);
  SaveHighScores(ResolveNoCase(Sh.ProgramFolder, kHighScoresFileName), entered);
  Table = std::move(entered);
  FillGrid();
  Sh.UI->HideModalList();
  Sh.UI->ShowModal("WAfterGameComplete");
}

void TScoreScreens::AfterGameComplete() {
  Sh.UI->HideModalList();
  Sh.UI->ShowModal("WTitle");
  Sh.UI->ShowModal("WHighScores");
  Sh.Game.Game.GameMode = gmMenus;
}

void TScoreScreens::AskClear() {
  if (!Table.empty()) Sh.UI->ShowModal("WClearHighScores");
}

void TScoreScreens::Clear() {
  ClearHighScores(ResolveNoCase(Sh.ProgramFolder, kHighScoresFileName), Table);
  FillGrid();
}

}  // namespace qv
