// The card game's narrow interfaces over the shell's real engines: the
// screen's dirty rectangles and frame, the surface engine with the working
// archive, the interface's widgets, the map and level-loading screens, and
// the text the field writes.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "foundation/FileFolder.h"
#include "game/FieldCanvas.h"
#include "game/GameServices.h"
#include "game/KingdomMap.h"
#include "graphics/SurfEngine.h"
#include "shell/ShellInterface.h"
#include "shell/ShellState.h"

namespace qv {

class TShellScreen : public IGameScreen {
 public:
  TShellScreen(TShellFrame& frame, std::function<void()> compose) : F(frame), Compose(std::move(compose)) {}
  void AddDirtyRect(const TRect& rect) override { F.DirtyRects.push_back(rect); }
  void SetOnlyDirtyRect(const TRect& rect) override { F.DirtyRects.assign(1, rect); }
  void ComposeFrame() override {
    if (Compose) Compose();
  }

 private:
  TShellFrame& F;
  std::function<void()> Compose;
};

// The working archive, once it is open (a pointer the shell fills).
class TShellArchive : public IGameArchive {
 public:
  explicit TShellArchive(TFileFolder*& archive) : A(archive) {}
  bool HasEntry(std::string_view name) override { return A && A->IndexOf(name) >= 0; }
  // A missing entry raises "Can not find <name>in file folder".
  std::string ReadEntry(std::string_view name) override;

 private:
  TFileFolder*& A;
};

class TShellSurfaces : public IGameSurfaces {
 public:
  TShellSurfaces(TSurfEngine& engine, TFileFolder*& archive) : E(engine), A(archive) {}
  bool Exists(std::string_view name) override { return E.IndexOf(name) >= 0; }
  bool GetSize(std::string_view name, int32_t& width, int32_t& height) override;
  void LoadPng(std::string_view name) override;
  void LoadJpeg(std::string_view name) override;
  void Release(std::string_view name) override { E.DeleteSurface(name); }

 private:
  TSurfEngine& E;
  TFileFolder*& A;
};

class TShellWidgets : public IGameWidgets {
 public:
  explicit TShellWidgets(IShellInterface& ui) : UI(ui) {}
  bool Exists(std::string_view name) override { return UI.Exists(name); }
  std::string GetCaption(std::string_view name) override { return UI.GetProp(name, "Caption"); }
  void SetCaption(std::string_view name, std::string_view caption) override { UI.SetProp(name, "Caption", caption); }
  int32_t TextWidth(std::string_view name) override { return UI.TextWidth(UI.GetProp(name, "Caption")); }
  void ShowModal(std::string_view name) override { UI.ShowModal(name); }
  void Animate(int32_t t) override { UI.Animate(t); }
  bool IsGameHintVisible(int hint) override;
  void ShowGameHint(int hint, int32_t x, int32_t y, int anchor) override;
  void HideGameHint(int hint) override;
  void ShowHint(std::string_view name, int32_t x, int32_t y, int anchor) override;
  void HideHint(std::string_view name) override;
  void HideModalList() override { UI.HideModalList(); }

  // The screen controller's balloon placement; without it a hint is shown
  // with its corner at the point, relative to the window on top.
  std::function<void(std::string_view name, int32_t x, int32_t y, int anchor)> PlaceHint;

 private:
  IShellInterface& UI;
};

class TShellScreens : public IGameScreens {
 public:
  explicit TShellScreens(TKingdomMap& map) : Map(map) {}
  void OpenUpgradeScreen() override {
    if (OpenUpgrade) OpenUpgrade();
  }
  void DrawMapScreen() override { Map.DrawMapScreen(); }
  void ComposeMapSelection() override { Map.ComposeMapSelection(); }
  void ShowLevelLoadProgress(int32_t percent) override {
    if (LevelProgress) LevelProgress(percent);
  }
  void RunPointScript(int32_t point) override { Map.RunPointScript(point); }

  // Filled by the shell: the upgrade window and the level-loading window.
  std::function<void()> OpenUpgrade;
  std::function<void(int32_t)> LevelProgress;

 private:
  TKingdomMap& Map;
};

// Text the field writes, through the font engine and the interface's labels.
class TShellFieldHost : public IFieldHost {
 public:
  TShellFieldHost(IShellInterface& ui, TShellFrame& frame) : UI(ui), F(frame) {}
  int32_t TextWidth(std::string_view text) override { return UI.TextWidth(text); }
  int32_t TextHeight() override { return UI.TextHeight(); }
  void TextOut(std::string_view target, std::string_view text, int32_t x, int32_t y, uint8_t alpha,
               uint32_t color) override {
    UI.TextOut(target, text, x, y, alpha, color);
  }
  // The first label takes the angle, place, width, colour and the caption
  // of the second and draws itself into picture.
  void DrawLabelOnPicture(std::string_view label, std::string_view sourceLabel, int32_t x, int32_t y, int32_t width,
                          int32_t angle, int32_t color, std::string_view picture) override;
  void SetLabelPictures(std::string_view label, std::string_view picture) override;

 private:
  IShellInterface& UI;
  TShellFrame& F;
};

}  // namespace qv
