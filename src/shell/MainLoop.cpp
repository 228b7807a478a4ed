#include "shell/MainLoop.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "foundation/Clock.h"
#include "foundation/Log.h"
#include "foundation/Numeric.h"
#include "foundation/QelException.h"

namespace qv {

namespace {

constexpr const char* kBuffer = "MemoryBufer";
constexpr const char* kSurface = "MemorySurface";
constexpr TGamePoint kDropPackTopLeft{731, 375};
// The cursor strip: frames 40 pixels wide, 41 apart.
constexpr int32_t kCursorStep = 41;

std::vector<TDisplayRect> ToDisplayRects(const TRects& rects) {
  std::vector<TDisplayRect> out;
  out.reserve(rects.size());
  for (const TRect& r : rects) out.push_back(TDisplayRect{r.Left, r.Top, r.Right, r.Bottom});
  return out;
}

}  // namespace

bool TMainLoop::Pass() {
  if (!PendingError.empty()) {
    Log::Write(PendingError);
    return false;
  }
  F.GameClock = GetTickCount();
  if (!Display || !Display->IsOpen()) return true;
  if (Update) Update(F.GameClock);
  if (!E.DirectDraw) return true;
  DrawMemorySurface();
  const int32_t mode = S.Game.GameMode;
  if (mode == gmPlaying || mode == gmFrozen || mode == gmLost)
    F.RedrawRects.insert(F.RedrawRects.end(), Field.BeltRects.begin(), Field.BeltRects.end());
  Present();
  F.PrevMousePos = S.MousePos;
  if (S.HeldCard >= 0 && S.HeldCard < int32_t(S.Cards.size()))
    F.PrevHeldCardPos = TGamePoint{S.Cards[size_t(S.HeldCard)].X, S.Cards[size_t(S.HeldCard)].Y};
  F.RedrawRects.clear();
  F.DirtyRects.clear();
  Field.BeltRects.clear();
  SampleFrameRate(GetTickCount());
  F.PrevFrameTime = F.GameClock;
  return true;
}

void TMainLoop::Present() {
  if (F.RedrawRects.empty()) return;
  TSurface* memory = E.Find(kSurface);
  if (!memory || !memory->Surface || !Display->PrimarySurface()) return;
  const bool full = Display->FullScreen();
  try {
    std::vector<TDisplayRect> shown;
    if (full) {
      TDisplaySurface* back = Display->BackBuffer().get();
      E.Present(back, memory->Surface.get(), F.RedrawRects);
      BltFast(*Display->PrimarySurface(), 0, 0, *back, nullptr);
    } else {
      E.CheckClipper();
      E.Present(Display->PrimarySurface().get(), memory->Surface.get(), F.RedrawRects);
    }
    shown = ToDisplayRects(F.RedrawRects);
    if (!shown.empty()) Display->Commit(shown);
  } catch (const std::exception&) {
    PendingError = full ? "Exception error in QelGameEngine.AppIdle! Fullscreen mode on."
                        : "Exception error in QelGameEngine.AppIdle! Fullscreen mode off.";
    throw QelException(PendingError);
  }
}

void TMainLoop::PresentMemorySurface(const TRect* rect) {
  TSurface* memory = E.Find(kSurface);
  if (!Display || !memory || !memory->Surface || !Display->PrimarySurface()) return;
  const TDisplayRect whole{0, 0, memory->Width, memory->Height};
  const TDisplayRect part = rect ? TDisplayRect{rect->Left, rect->Top, rect->Right, rect->Bottom} : whole;
  if (rect) {
    const TDisplayRect source{rect->Left, rect->Top, rect->Right, rect->Bottom};
    BltFast(*Display->PrimarySurface(), rect->Left, rect->Top, *memory->Surface, &source);
  } else {
    BltFast(*Display->PrimarySurface(), 0, 0, *memory->Surface, nullptr);
  }
  Display->Commit({part});
}

void TMainLoop::SampleFrameRate(int32_t now) {
  if (uint32_t(now) - uint32_t(F.LastRateTick) <= 1000u) return;
  F.LastRateTick = now;
  F.FrameRate = F.FrameCounter;
  if (DebugMode && SetCaption) SetCaption("FPS:" + std::to_string(F.FrameRate));
  const double n = double(++F.RateSamples);
  F.AverageRate = n * F.AverageRate / (n + 1.0) + double(F.FrameRate) / (n + 1.0);
  F.FrameCounter = 0;
}

void TMainLoop::DrawMemorySurface() {
  try {
    Compose();
  } catch (const std::exception&) {
    throw QelException("Exception Error in TQelGameEngine.DrawMemorySurface.");
  }
}

void TMainLoop::Compose() {
  Field.BeginPass(F.GameClock, F.PrevFrameTime);
  switch (S.Game.GameMode) {
    case gmPlaying:
      ComposePlay(false);
      break;
    case gmLost:
      ComposePlay(true);
      break;
    case gmMap:
      ComposeMap();
      break;
    case gmFrozen:
      ComposeFrozen();
      break;
    case gmMenus:
      CollectInterfaceRects(false);
      UI.DrawInterface();
      CopyToMemorySurface(F.RedrawRects);
      DrawCursor();
      break;
    default:
      break;
  }
  ++F.FrameCounter;
}

void TMainLoop::Blit(std::string_view picture, int32_t x, int32_t y, uint8_t alpha, const TRect* sourceRect) {
  E.DrawWithAlphaChannel(picture, kBuffer, x, y, alpha, sourceRect, 0, 0, nullptr);
}

std::string TMainLoop::CardPicture(const TCard& card) const {
  if (card.BonusType != btNone) return "joker.png";
  if (card.CType < 0 || card.CType >= kCardKinds) return {};
  return S.CardTypes[size_t(card.CType)].Picture;
}

void TMainLoop::DrawPackAndHat() {
  Blit("CardPack.png", S.CardPackPos.X, S.CardPackPos.Y, 255);
  Blit("EndHat.png", S.EndHatPos.X, S.EndHatPos.Y, 255);
  if (!S.Game.DropPack.empty()) {
    const int32_t top = S.Game.DropPack.back();
    if (top >= 0 && top < int32_t(S.Cards.size()))
      Blit(CardPicture(S.Cards[size_t(top)]), kDropPackTopLeft.X, kDropPackTopLeft.Y, 255);
  }
}

// The windows' changes become cells; during play only when nothing else
// made cells yet this pass.
void TMainLoop::CollectInterfaceRects(bool onlyWhenNoCells) {
  UI.GetChangedRects(F.DirtyRects);
  if (F.DirtyRects.empty()) return;
  if (onlyWhenNoCells && !F.RedrawRects.empty()) return;
  TRects cells;
  RectsToCells(cells, F.DirtyRects);
  F.RedrawRects.insert(F.RedrawRects.end(), cells.begin(), cells.end());
}

void TMainLoop::DrawHeldCard() {
  if (S.HeldCard < 0 || S.HeldCard >= int32_t(S.Cards.size())) return;
  const TCard& card = S.Cards[size_t(S.HeldCard)];
  if (card.QuestCard) {
    const int32_t n = Round(55.0 * std::sin(double(F.GameClock) * std::numbers::pi / 500.0));
    Blit("BonusOreol.png", card.X - F.HaloOffset.X, card.Y - F.HaloOffset.Y, uint8_t((200 + n) & 0xFF));
  }
  Blit(CardPicture(card), card.X, card.Y, 255);
}

void TMainLoop::ComposePlay(bool lost) {
  AddHeldCardDirtyRect();
  if (lost)
    Field.DrawLostField(kBuffer);
  else
    Field.DrawPlayField(kBuffer);
  DrawPackAndHat();
  CollectInterfaceRects(true);
  UI.DrawInterface();
  DrawHeldCard();
  CopyToMemorySurface(F.RedrawRects);
  CopyToMemorySurface(Field.BeltRects);
  DrawCursor();
}

void TMainLoop::ComposeMap() {
  Blit("Background", 0, 0, 255);
  const int32_t level = S.Game.MapLevel;
  if (level >= 0 && level < int32_t(S.Game.MapPlaces.size())) {
    const TRect& r = S.Game.MapPlaces[size_t(level)].Bounds;
    const int32_t open = S.Game.MapOpenTime;
    if (open == -1 || open < F.GameClock) {
      const int32_t n = Round(80.0 * std::sin(double(F.GameClock) * std::numbers::pi / 500.0));
      Blit("TempMapSel", r.Left, r.Top, uint8_t((155 + n) & 0xFF), &r);
      Blit("TempMapSelC", r.Left, r.Top, 255, &r);
    } else {
      const int32_t d = open - F.GameClock;
      const int32_t f = Round(255.0 * double(d) / 1500.0);
      Blit("TempMapSel", r.Left, r.Top, uint8_t((255 - f) & 0xFF), &r);
      Blit("TempMapSelC", r.Left, r.Top, uint8_t(f & 0xFF), &r);
    }
  }
  if (DebugMode) {
    for (int32_t next : S.Game.MapNearComplete) {
      if (next < 0 || next >= int32_t(S.Game.MapPlaces.size())) continue;
      const TMapPlace& p = S.Game.MapPlaces[size_t(next)];
      Host.TextOut(kBuffer, std::to_string(next + 1), p.x - 10, p.y - 10, 255, 0xFF0000);
    }
  }
  F.DirtyRects.push_back(kWholeScreen);
  CollectInterfaceRects(true);
  UI.DrawInterface();
  CopyToMemorySurface(F.RedrawRects);
  DrawCursor();
}

void TMainLoop::ComposeFrozen() {
  const std::string top = UI.TopWindow();
  if (top == "WUpgrade" && UpdateSkillHints) UpdateSkillHints();
  Field.DrawFrozenField(kBuffer, top == "WLevelComplete");
  DrawPackAndHat();
  CollectInterfaceRects(false);
  UI.DrawInterface();
  CopyToMemorySurface(F.RedrawRects);
  CopyToMemorySurface(Field.BeltRects);
  DrawCursor();
}

void TMainLoop::CopyToMemorySurface(const TRects& rects) {
  for (TRect r : rects) {
    r.Left = std::max(r.Left, 0);
    r.Top = std::max(r.Top, 0);
    r.Right = std::min(r.Right, 800);
    r.Bottom = std::min(r.Bottom, 600);
    if (r.IsEmpty()) continue;
    E.DrawSurface(kBuffer, kSurface, r.Left, r.Top, &r);
  }
}

void TMainLoop::DrawCursor() {
  if (F.CursorPicture.empty()) return;
  const TGamePoint m = S.MousePos;
  const int32_t frame = S.Game.CursorFrame;
  TRect src{frame * kCursorStep, 0, frame * kCursorStep + 40, F.CursorHeight - 2};
  if (m.X + kCursorStep > 800) src.Right -= m.X + kCursorStep - 800;
  if (m.Y + F.CursorHeight > 600) src.Bottom -= m.Y + F.CursorHeight - 600;
  F.CursorSourceRect = src;
  if (src.Right < src.Left || src.Bottom < src.Top) return;
  E.DrawWithAlphaChannel(F.CursorPicture, kSurface, m.X, m.Y, 255, &src, 0, 0, nullptr);
}

void TMainLoop::AddHeldCardDirtyRect() {
  if (S.HeldCard < 0 || S.HeldCard >= int32_t(S.Cards.size())) return;
  const TCard& card = S.Cards[size_t(S.HeldCard)];
  const int32_t x = card.X, y = card.Y;
  const TGamePoint prev = F.PrevHeldCardPos, m = S.MousePos, pm = F.PrevMousePos;
  TRect r;
  r.Left = std::min(x, prev.X);
  r.Top = std::min(y, prev.Y);
  r.Right = std::max({x + kCardWidth, prev.X + kCardWidth, m.X + kCursorStep, pm.X + kCursorStep});
  r.Bottom = std::max({y + kCardHeight, prev.Y + kCardHeight, m.Y + F.CursorHeight, pm.Y + F.CursorHeight});
  if (card.QuestCard) {
    r.Left -= F.HaloOffset.X;
    r.Right = std::max(r.Right, x + F.HaloOffset.X + kCardWidth);
    r.Top -= F.HaloOffset.Y;
    r.Bottom = std::max(r.Bottom, y + F.HaloOffset.Y + kCardHeight);
  }
  F.DirtyRects.push_back(r);
}

}  // namespace qv
