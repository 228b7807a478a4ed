#include "shell/ScreenRoad.h"

#include <algorithm>

#include "foundation/Files.h"
#include "foundation/Numeric.h"
#include "game/Bonuses.h"
#include "game/LevelStart.h"
#include "shell/SaveScreens.h"
#include "shell/Shell.h"

namespace qv {

namespace {

// The last level of the map: winning it completes the game.
constexpr int32_t kLastMapLevel = 4;

bool Holds(const TIntegers& list, int32_t value) { return std::find(list.begin(), list.end(), value) != list.end(); }

void Remove(TIntegers& list, int32_t value) { list.erase(std::remove(list.begin(), list.end(), value), list.end()); }

}  // namespace

void TScreenRoad::Publish() {
  Sh.Publish("WTitle_BNewGame_MouseUp", [this] { NewGameButton(); });
  Sh.Publish("WTitle_BQuit_MouseUp", [this] { Sh.Close(); });
  Sh.Publish("WTitle_LOstrandelLink_MouseUp", [this] { OpenMakersLink(); });
  Sh.Publish("WStartGame_RBNormal_MouseUp", [this] { SetDifficulty(dmNormal); });
  Sh.Publish("WStartGame_RBHard_MouseUp", [this] { SetDifficulty(dmHard); });
  Sh.Publish("WStartGame_RBNoLose_MouseUp", [this] { SetDifficulty(dmNoLose); });
  Sh.Publish("WStartGame_BPlay_MouseUp", [this] { NewGame(); });
  Sh.Publish("WStartGame_BBack_MouseUp", [] {});
  Sh.Publish("WOverview_BPlay_MouseUp", [this] { StartPlay(); });
  Sh.Publish("WGame_BMenu_MouseUp", [this] { FreezeForMenu(); });
  Sh.Publish("WGame_BHelp_MouseUp", [this] { FreezeForMenu(); });
  Sh.Publish("WGame_BQuit_MouseUp", [this] { FreezeForMenu(); });
  Sh.Publish("WGame_BMize_MouseUp", [this] { Sh.ChangewindowMode(); });
  Sh.Publish("WGame_BUndo_MouseUp", [] {});
  Sh.Publish("WGameMenu_BResume_MouseUp", [this] { ResumeFromMenu(); });
  Sh.Publish("WGameMenu_BQuit_MouseUp", [this] { Sh.Close(); });
  Sh.Publish("WHelp_BClose_MouseUp", [this] { CloseHelp(); });
  Sh.Publish("WQuit_BCancel_MouseUp", [this] { CancelQuit(); });
  Sh.Publish("WExitToMainMenu_BOk_MouseUp", [this] { ExitToMainMenu(); });
  Sh.Publish("WLevelComplete_BOk_MouseUp", [this] { WonLevel(); });
  Sh.Publish("WGameOver_BOk_MouseUp", [this] { LostLevel(); });
  Sh.Publish("WAbortLevel_BOk_MouseUp", [this] { LostLevel(); });
  Sh.Publish("WBetweenLevel_BNextLevel_MouseUp", [this] { NextLevel(); });
}

void TScreenRoad::NewGameButton() {
  Sh.UI->SetProp("WStartGame_RBNormal", "Checked", "true");
  SetDifficulty(dmNormal);
}

void TScreenRoad::OpenMakersLink() {
  Sh.Desktop->OpenLink(ResolveNoCase(Sh.ProgramFolder, "Ostrandel.url").string());
}

void TScreenRoad::SetDifficulty(int32_t mode) { Sh.Game.Game.Mode = mode; }

void TScreenRoad::StartLevel(int32_t n) {
  std::string debugLevel;
  if (Sh.Settings.DebugOn() && !Sh.Args.empty()) debugLevel = Sh.Args.front();
  qv::StartLevel(Sh.Game, Sh.Svc, Sh.Loader, n, debugLevel);
}

void TScreenRoad::UpdateDropPackCount() {
  const TGame& G = Sh.Game.Game;
  Sh.UI->SetProp("WGame_LDropPackCount", "Caption",
                 IntToStr(int64_t{G.DropPackCapacity} - static_cast<int64_t>(G.DropPack.size())));
}

void TScreenRoad::RedrawNow() {
  Sh.Frame.DirtyRects.assign(1, kWholeScreen);
  Sh.Loop.DrawMemorySurface();
}

void TScreenRoad::NewGame() {
  TGame& G = Sh.Game.Game;
  G.TotalScore = 0;
  G.PrevScore = 0;
  G.Economy = G.AntiSharper = G.DropPackLevel = G.Luck = 0;
  G.DropPackCapacity = 3;
  G.MapComplete.clear();
  G.GameMode = gmPlaying;
  StartLevel(kIntroLevel);
  G.IntroFlags = {false, false, false, false};
  G.MapLevel = kIntroLevel;
  Sh.Map.ComposeMapSelection();
  Sh.UI->SetProp("WGame_LDropPackCount", "Caption", "3");
  Sh.Game.PauseFlag = false;
}

void TScreenRoad::StartPlay() {
  TGameState& S = Sh.Game;
  S.Game.GameMode = gmPlaying;
  int32_t t = Sh.Frame.GameClock;
  const TLevel& L = S.Level;
  if (L.BonusPlaceType >= 0 && static_cast<size_t>(L.BonusPlaceType) < S.BonusPlaceTypes.size()) {
    const TPoints& points = S.BonusPlaceTypes[static_cast<size_t>(L.BonusPlaceType)].Points;
    TBonusActions bonuses(S, Sh.Svc);
    for (size_t i = 0; i < L.BPPointsBusy.size() && i < points.size(); ++i) {
      const int32_t card = L.BPPointsBusy[i];
      if (card < 0 || static_cast<size_t>(card) >= S.Cards.size()) continue;
      const TGamePoint at{points[i].X + L.BonusPlaceX - 16, points[i].Y + L.BonusPlaceY - 25};
      bonuses.FlyBonusPlaceCards(static_cast<int32_t>(i), at, t);
      const int32_t kind = S.Cards[static_cast<size_t>(card)].CType;
      const int32_t rank = kind >= 0 && kind < kCardKinds ? S.CardTypes[static_cast<size_t>(kind)].Rank : 0;
      t += (rank % 12) * 300 - 200;
    }
  }
  Sh.Sound.PlaySample("BonusInit.ogg");
}

void TScreenRoad::FreezeForMenu() { Sh.FreezeForMenu(); }

void TScreenRoad::ResumeFromMenu() { Sh.ResumeFromMenu(); }

void TScreenRoad::CloseHelp() {
  IShellInterface& UI = *Sh.UI;
  for (std::string top = UI.TopWindow(); !top.empty(); top = UI.TopWindow()) {
    UI.HideModal();
    if (top == "WHelp") break;
  }
  if (UI.TopWindow() == "WGame") {
    Sh.Game.Game.GameMode = gmPlaying;
    RedrawNow();
  }
}

void TScreenRoad::CancelQuit() {
  if (Sh.UI->TopWindow() != "WGame") return;
  Sh.Game.Game.GameMode = gmPlaying;
  RedrawNow();
}

void TScreenRoad::ExitToMainMenu() {
  Sh.Game.Game.GameMode = gmMenus;
  Sh.Map.DrawMapScreen();
  Sh.Effects.StopEffects("ClickHereEffect");
}

void TScreenRoad::WonLevel() {
  TGame& G = Sh.Game.Game;
  G.GameMode = gmMap;
  Sh.Map.DrawMapScreen();
  Sh.Map.ComposeMapSelection();
  // The window over the map names the difficulty and keeps off the region
  // just won, as it does after a lost level.
  ShowBetweenLevelScreen();
  G.MapOpenTime = Sh.Frame.GameClock + 1500;
  Sh.Sound.PlaySample("OpenMap.ogg");
  Saves.AutoSave();
}

void TScreenRoad::LostLevel() {
  TGame& G = Sh.Game.Game;
  if (G.CurLevel == kIntroLevel) {
    G.GameMode = gmMenus;
    Sh.UI->HideModalList();
    Sh.UI->ShowModal("WTitle");
  } else {
    G.GameMode = gmMap;
    // Level 9 opens only through level 8: losing 8 takes both back.
    if (G.CurLevel == 8) Remove(G.MapComplete, 9);
    Remove(G.MapComplete, G.CurLevel);
    Sh.Map.DrawMapScreen();
    Sh.Map.ComposeMapSelection();
    G.TotalScore = G.PrevScore;
    Sh.UI->HideModalList();
    Sh.UI->ShowModal("WBetweenLevel");
    ShowBetweenLevelScreen();
    G.MapOpenTime = -1;
  }
  ScheduleTitleMusic();
  G.Economy = G.PrevEconomy;
  G.AntiSharper = G.PrevAntiSharper;
  G.DropPackLevel = G.PrevDropPackLevel;
  G.Luck = G.PrevLuck;
}

void TScreenRoad::ScheduleTitleMusic() {
  const int32_t position = Sh.Random.RandomFloat() > 0.5 ? 5 : 13;
  Sh.Sound.PlayMusic("vibe-pp.mo3", 1000, position, 1000);
}

void TScreenRoad::NextLevel() {
  TGame& G = Sh.Game.Game;
  if (G.MapOpenTime > 0) {
    if (!Holds(G.MapComplete, G.CurLevel)) G.MapComplete.push_back(G.CurLevel);
    G.MapOpenTime = -1;
    if (G.CurLevel == kLastMapLevel) {
      Sh.UI->ShowModal("WGameComplete");
      return;
    }
    if (!G.MapNearComplete.empty())
      G.MapLevel = G.MapNearComplete[static_cast<size_t>(Sh.Random.Random(static_cast<int32_t>(G.MapNearComplete.size())))];
    Sh.Map.DrawMapScreen();
    Sh.Map.ComposeMapSelection();
  }
  G.PrevEconomy = G.Economy;
  G.PrevAntiSharper = G.AntiSharper;
  G.PrevDropPackLevel = G.DropPackLevel;
  G.PrevLuck = G.Luck;
  UpdateDropPackCount();
  StartLevel(G.MapLevel);
  G.PrevScore = G.TotalScore;
}

void TScreenRoad::ShowBetweenLevelScreen() {
  const TGame& G = Sh.Game.Game;
  IShellInterface& UI = *Sh.UI;
  const auto found = std::find(G.PieceOrder.begin(), G.PieceOrder.end(), G.CurLevel);
  const int64_t p = found == G.PieceOrder.end() ? -1 : found - G.PieceOrder.begin();
  // Late pieces lie on the map's right: the controls go to the left then.
  const bool left = p >= 40;
  UI.SetProp("WBetweenLevel_BNextLevel", "Left", left ? "195" : "595");
  UI.SetProp("WBetweenLevel_BMenu", "Left", left ? "45" : "445");
  UI.SetProp("WBetweenLevel_LDifficulty", "Left", left ? "15" : "482");
  UI.SetProp("WBetweenLevel_LDifficulty", "Color", left ? "4934475" : "59624");
  UI.SetProp("WBetweenLevel_LDifficulty", "MouseOverColor", left ? "4934475" : "59624");
  UI.SetProp("WBetweenLevel_LKingdom", "Left", left ? "15" : "482");
  UI.SetProp("WBetweenLevel_LKingdom", "Color", left ? "0" : "65535");
  UI.SetProp("WBetweenLevel_LKingdom", "MouseOverColor", left ? "0" : "65535");
  const char* button = G.Mode == dmNoLose ? "WStartGame_RBNoLose" : G.Mode == dmHard ? "WStartGame_RBHard" : "WStartGame_RBNormal";
  UI.SetProp("WBetweenLevel_LDifficulty", "Caption", UI.GetProp(button, "Caption"));
}

}  // namespace qv
