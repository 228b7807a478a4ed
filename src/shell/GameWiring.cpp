#include "shell/GameWiring.h"

#include "foundation/Numeric.h"
#include "foundation/QelException.h"
#include "foundation/StrUtils.h"
#include "shell/ResourceLoading.h"

namespace qv {

namespace {
std::string HintName(int hint) { return "WGame_Hint" + std::to_string(hint); }
}  // namespace

std::string TShellArchive::ReadEntry(std::string_view name) {
  if (!A) throw QelException("Can not find " + std::string(name) + "in file folder");
  return std::string(GetFolderStream(*A, name).AsStringView());
}

bool TShellSurfaces::GetSize(std::string_view name, int32_t& width, int32_t& height) {
  width = height = 0;
  const TSurface* s = E.Find(name);
  if (!s) return false;
  width = s->Width;
  height = s->Height;
  return true;
}

void TShellSurfaces::LoadPng(std::string_view name) {
  if (A) E.LoadPNGFromFolder(*A, std::string(name), std::string(name));
}

void TShellSurfaces::LoadJpeg(std::string_view name) {
  if (A) E.LoadJPEGFromFolder(*A, std::string(name), std::string(name));
}

bool TShellWidgets::IsGameHintVisible(int hint) { return SameTextAscii(UI.GetProp(HintName(hint), "Visible"), "true"); }

void TShellWidgets::ShowGameHint(int hint, int32_t x, int32_t y, int anchor) { ShowHint(HintName(hint), x, y, anchor); }

void TShellWidgets::HideGameHint(int hint) { HideHint(HintName(hint)); }

void TShellWidgets::ShowHint(std::string_view name, int32_t x, int32_t y, int anchor) {
  if (!UI.Exists(name)) return;
  if (PlaceHint) {
    PlaceHint(name, x, y, anchor);
    return;
  }
  const std::string top = UI.TopWindow();
  int32_t left = 0, topY = 0;
  if (!top.empty()) {
    TryStrToInt(UI.GetProp(top, "Left"), left);
    TryStrToInt(UI.GetProp(top, "Top"), topY);
  }
  UI.SetProp(name, "Left", std::to_string(x - left));
  UI.SetProp(name, "Top", std::to_string(y - topY));
  UI.SetProp(name, "Visible", "true");
}

void TShellWidgets::HideHint(std::string_view name) {
  if (UI.Exists(name) && SameTextAscii(UI.GetProp(name, "Visible"), "true")) UI.SetProp(name, "Visible", "false");
}

void TShellFieldHost::DrawLabelOnPicture(std::string_view label, std::string_view sourceLabel, int32_t x, int32_t y,
                                         int32_t width, int32_t angle, int32_t color, std::string_view picture) {
  if (!UI.Exists(label) || !UI.Exists(sourceLabel) || !UI.Exists("WGame")) return;
  int32_t formLeft = 0, formTop = 0;
  TryStrToInt(UI.GetProp("WGame", "Left"), formLeft);
  TryStrToInt(UI.GetProp("WGame", "Top"), formTop);
  UI.SetProp(label, "CharShiftAngle", std::to_string(angle));
  UI.SetProp(label, "Left", std::to_string(x - formLeft));
  UI.SetProp(label, "Top", std::to_string(y - formTop));
  UI.SetProp(label, "Width", std::to_string(width));
  UI.SetProp(label, "Color", std::to_string(color));
  const std::string saved = F.DrawTarget;
  F.DrawTarget = std::string(picture);
  try {
    UI.SetProp(label, "Caption", UI.GetProp(sourceLabel, "Caption"));
    UI.DrawWidget(label);
  } catch (...) {
    F.DrawTarget = saved;
    throw;
  }
  F.DrawTarget = "MemoryBufer";
}

void TShellFieldHost::SetLabelPictures(std::string_view label, std::string_view picture) {
  UI.SetProp(label, "Picture", picture);
  UI.SetProp(label, "MouseOverPicture", picture);
  UI.SetProp(label, "MouseDownPicture", picture);
}

}  // namespace qv
