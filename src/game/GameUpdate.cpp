#include "game/GameUpdate.h"

#include <cmath>

#include "foundation/Numeric.h"
#include "game/Belts.h"
#include "game/CardBook.h"
#include "game/CardRules.h"

namespace qv {

namespace {

constexpr TRect kWholeScreen{0, 0, 800, 600};  // right and bottom are exclusive
constexpr TGamePoint kDropPackTopLeft{731, 375};
constexpr int32_t kSharperPatience = 5;

}  // namespace

bool SharperCornered(const TGameState& state, const TIntegers& neighbours) {
  const TLevel& L = state.Level;
  for (int32_t n : neighbours) {
    if (n < 0 || n >= static_cast<int32_t>(L.PointsBusy.size()) || L.PointsBusy[static_cast<size_t>(n)] != -1) continue;
    if (L.ThiefPoint != -1 && (n == L.ThiefPoint || n == L.ThiefPoint2)) return false;
    bool behindWall = false;
    for (const TWall& w : L.Walls) {
      if (IntInArray(n, w.WallIn)) behindWall = true;
    }
    if (!behindWall) return false;
  }
  return true;
}

void TGameUpdate::UpdateFrame(int32_t t) {
  S.FrameDelta = S.HasPrevClock ? static_cast<int32_t>(static_cast<uint32_t>(t) - static_cast<uint32_t>(S.PrevClock)) : 0;
  S.PrevClock = t;
  S.HasPrevClock = true;

  Svc.Effects->UpdateCursorBlink(t);
  Svc.Effects->UpdateEffects(t);
  Svc.Sound->UpdateMusicSchedule(t);
  Svc.Widgets->Animate(t);

  TGame& G = S.Game;
  switch (G.GameMode) {
    case gmPlaying:
      ResumeGameTimers();
      UpdateCardFlashes(t);
      TBelts(S, Svc).UpdateBelts(t);
      UpdateGameEvents(t);
      Svc.Effects->UpdatePictureAnimations(t);
      break;
    case gmFrozen:
      if (S.Level.LevComplete) Svc.Effects->UpdateLevelEndSweep(t);
      Svc.Effects->UpdatePictureAnimations(t);
      break;
    case gmLost:
      TBelts(S, Svc).UpdateLostBelts(t);
      if (G.GameOverTime < t) {
        Svc.Widgets->ShowModal("WGameOver");
        G.GameMode = gmFrozen;
        Svc.Screen->AddDirtyRect(kWholeScreen);
        Svc.Screen->ComposeFrame();
      }
      break;
    case gmMap:
      UpdateMapOpening(t);
      break;
    default:
      break;
  }
}

void TGameUpdate::UpdateMapOpening(int32_t t) {
  TGame& G = S.Game;
  if (!(G.MapOpenTime > 0 && G.MapOpenTime < t)) return;
  if (!IntInArray(G.CurLevel, G.MapComplete)) G.MapComplete.push_back(G.CurLevel);
  if (IntInArray(8, G.MapComplete) && !IntInArray(9, G.MapComplete)) G.MapComplete.push_back(9);
  G.MapOpenTime = -1;
  if (G.CurLevel == 4) {
    Svc.Widgets->ShowModal("WGameComplete");
    G.MapLevel = -1;
    Svc.Screens->DrawMapScreen();
    G.MapNearComplete.clear();
  } else {
    if (!G.MapNearComplete.empty()) {
      G.MapLevel = G.MapNearComplete[static_cast<size_t>(Svc.Random->Random(static_cast<int32_t>(G.MapNearComplete.size())))];
    }
    Svc.Screens->DrawMapScreen();
    Svc.Screens->ComposeMapSelection();
  }
}

void TGameUpdate::UpdateCardFlashes(int32_t t) {
  for (int32_t i = 0; i < static_cast<int32_t>(S.Cards.size()); ++i) {
    if (i == S.HeldCard) continue;
    TCard& c = S.Cards[static_cast<size_t>(i)];
    if (c.ShowTime > 0 && c.ShowTime < t) {
      c.ShowTime = -1;
      Svc.Screen->AddDirtyRect(TRect{c.X, c.Y, c.X + 34, c.Y + 52});
    }
  }
}

void TGameUpdate::PauseGameTimers() {
  if (S.PauseFlag) return;
  S.Game.PauseStart = Svc.Clock->Now();
  S.PauseFlag = true;
}

void TGameUpdate::ResumeGameTimers() {
  if (!S.PauseFlag) return;
  const int32_t span = Svc.Clock->Now() - S.Game.PauseStart;
  // Every belt keeps its cards where they were, not only the first one.
  for (TFishkaLenta& belt : S.Level.Belts) {
    for (TCard& c : belt.Cards) c.BornTime += span;
  }
  S.PauseFlag = false;
}

void TGameUpdate::UpdateGameEvents(int32_t t) {
  TGame& G = S.Game;
  if (G.CoverUpdateTime > 0 && G.CoverUpdateTime < t) {
    Svc.Field->DrawCoverMask();
    G.CoverUpdateTime = -1;
  }
  if (G.UpgradeTime > 0 && G.UpgradeTime < t) {
    Svc.Screens->OpenUpgradeScreen();
    return;
  }
  UpdateSharper(t);
  if (G.FullRedrawTime > 0 && G.FullRedrawTime < t) {
    Svc.Screen->AddDirtyRect(kWholeScreen);
    G.FullRedrawTime = -1;
  }
  if (S.Level.LevComplete && G.LevelEndTime < t) {
    G.GameMode = gmFrozen;
    Svc.Widgets->ShowModal("WLevelComplete");
    Svc.Sound->PlaySample("LevelDone.ogg");
    const int32_t position = Svc.Random->RandomFloat() > 0.5 ? 5 : 13;
    Svc.Sound->PlayMusic("vibe-pp.mo3", 3000, position, 1000);
    S.Level.SweepStart = t;
    Svc.Field->DrawCoverMask();
    Svc.Screen->AddDirtyRect(kWholeScreen);
    Svc.Screen->ComposeFrame();
    S.Level.SweepPattern = Svc.Random->Random(9) + 1;
  }
  ShowTargetPrompt(t);
}

void TGameUpdate::UpdateSharper(int32_t t) {
  TLevel& L = S.Level;
  if (L.SharperPoint < 0 || L.SharperPoint >= static_cast<int32_t>(L.NearPoints.size()) || !(L.SharperTime < t)) return;
  const TIntegers& near = L.NearPoints[static_cast<size_t>(L.SharperPoint)];
  if (near.empty()) return;
  const int32_t p = near[static_cast<size_t>(Svc.Random->Random(static_cast<int32_t>(near.size())))];
  if (p == L.ThiefPoint || p == L.ThiefPoint2) return;
  for (const TWall& w : L.Walls) {
    if (IntInArray(p, w.WallIn)) return;
  }
  if (L.PointsBusy[static_cast<size_t>(p)] == -1) {
    L.SharperPrevPoint = L.SharperPoint;
    L.SharperPoint = p;
    L.SharperFrom = L.SharperPos;
    const TGamePoint at = L.Points[static_cast<size_t>(p)];
    L.SharperPos = {at.X + S.Params.SharperOffset.X, at.Y + S.Params.SharperOffset.Y};
    L.SharperTime = t + S.Params.SharperDelay;
    Svc.Screen->AddDirtyRect(kWholeScreen);
    --L.SharperPatience;
  } else if (L.SharperPatience > 0) {
    --L.SharperPatience;
  } else {
    StealCard(p, t);
  }
}

void TGameUpdate::StealCard(int32_t p, int32_t t) {
  TLevel& L = S.Level;
  const int32_t card = L.PointsBusy[static_cast<size_t>(p)];
  if (card < 0 || card >= static_cast<int32_t>(S.Cards.size())) return;
  const TGamePoint at = L.Points[static_cast<size_t>(p)];
  const std::string picture = CardPicture(S, S.Cards[static_cast<size_t>(card)]);
  Svc.Effects->StartCardFlyEffect(at, L.SharperPos, picture, t);
  if (SharperCornered(S, L.NearPoints[static_cast<size_t>(L.SharperPoint)])) {
    Svc.Effects->StartPictureEffect(L.SharperPos, "Shuller.png");
    L.SharperPoint = -1;
  } else {
    L.SharperPatience = kSharperPatience;
  }
  bool saved = false;
  const int32_t k = S.Game.AntiSharper;
  if (k > 0) {
    const double draw = Svc.Random->RandomFloat();
    saved = draw <= std::sqrt(10.0 * k) / 100.0 && L.SharperPoint != -1;
  }
  if (saved) {
    Svc.Effects->StartCardFlyEffect(L.SharperPos, at, picture, t + 300);
    const int32_t width = Svc.Widgets->TextWidth("WUpgrade_LAntiSharper");
    Svc.Effects->ShowScoreEffect(Svc.Widgets->GetCaption("WUpgrade_LAntiSharper"), TGamePoint{at.X + width, at.Y}, -1);
    S.Cards[static_cast<size_t>(card)].ShowTime = t + 600;
  } else {
    DiscardCard(S, card);
  }
  // A card that lost a neighbour is no longer enclosed.
  for (size_t i = 0; i < L.PointsBusy.size(); ++i) {
    const int32_t c = L.PointsBusy[i];
    if (c < 0 || c >= static_cast<int32_t>(S.Cards.size()) || S.Cards[static_cast<size_t>(c)].State != csEnclosed) continue;
    for (int32_t n : L.NearPoints[i]) {
      if (L.PointsBusy[static_cast<size_t>(n)] == -1) {
        S.Cards[static_cast<size_t>(c)].State = csOpen;
        break;
      }
    }
  }
  Svc.Field->DrawCoverMask();
  TCardRules rules(S, Svc);
  rules.UpdateSuitableCards();
  rules.UpdateTargetPoints();
  Svc.Sound->PlaySample("StealCard.ogg");
  L.SharperTime = t + S.Params.SharperDelay;
  L.SharperPrevPoint = L.SharperPoint;
  L.SharperFrom = L.SharperPos;
}

void TGameUpdate::ShowTargetPrompt(int32_t t) {
  TGame& G = S.Game;
  if (G.PromptShown || S.HeldCard == -1) return;
  if (!(static_cast<int64_t>(G.TakeTime) + S.Level.TimePrompt < t)) return;
  G.PromptShown = true;
  G.FullRedrawTime = t + 1300;
  IGameWidgets& W = *Svc.Widgets;
  if (G.CurLevel == kIntroLevel && !G.IntroFlags[1] && !W.IsGameHintVisible(2) && !S.TargetPoints.empty()) {
    const TGamePoint at = S.Level.Points[static_cast<size_t>(S.TargetPoints[0])];
    W.ShowGameHint(2, at.X, at.Y, 3);
  }
  if (!S.TargetPoints.empty()) return;
  if (S.BonusTargets.empty()) {
    if (G.CurLevel == kIntroLevel || static_cast<int32_t>(G.DropPack.size()) == G.DropPackCapacity) {
      W.ShowGameHint(5, S.MousePos.X, S.MousePos.Y, 0);
    } else {
      W.ShowGameHint(7, kDropPackTopLeft.X, kDropPackTopLeft.Y, 0);
    }
  } else if (!G.IntroFlags[3]) {
    W.ShowGameHint(6, S.BonusTargets[0].X, S.BonusTargets[0].Y, 0);
    G.IntroFlags[3] = true;
  }
}

}  // namespace qv
