#include "shell/OptionsScreen.h"

#include "foundation/Files.h"
#include "foundation/Numeric.h"
#include "foundation/StrUtils.h"
#include "shell/Languages.h"
#include "shell/Shell.h"

namespace qv {

namespace {

const char* BoolText(bool value) { return value ? "true" : "false"; }

bool Checked(IShellInterface& ui, std::string_view name) { return SameTextAscii(ui.GetProp(name, "Checked"), "true"); }

int32_t SliderPosition(IShellInterface& ui, std::string_view name, int32_t fallback) {
  double value = 0;
  if (!TryStrToFloat(ui.GetProp(name, "Position"), value)) return fallback;
  return Round(value);
}

}  // namespace

void TOptionsScreen::Publish() {
  Sh.Publish("WOptions_BOk_MouseUp", [this] { Confirm(); });
  Sh.Publish("WOptions_BCancel_MouseUp", [this] { SettingsToWindow(); });
  Sh.Publish("WOptions_SMusicVolume_Change", [this] { MusicVolumeChanged(); });
  Sh.Publish("WOptions_SSoundVolume_Change", [this] { SoundVolumeChanged(); });
  Sh.Publish("WLanguage_BOk_MouseUp", [this] { ConfirmLanguage(); });
  Sh.OptionsToWindow = [this] { SettingsToWindow(); };
}

void TOptionsScreen::SetGlobalVolumes() { Sh.Audio.SetGlobalVolumes(Sh.Settings.MusicVolume, Sh.Settings.SoundVolume); }

void TOptionsScreen::SettingsToWindow() {
  TSettings& S = Sh.Settings;
  IShellInterface& UI = *Sh.UI;
  S = LoadOptions(ResolveNoCase(Sh.ProgramFolder, kOptionsFileName));
  if (S.FullScreenMode == 1) {
    UI.SetProp("WOptions_CBFullScreen", "Checked", "true");
    UI.SetProp("WOptions_CB32bitColor", "Visible", "true");
    UI.SetProp("WOptions_CB32bitColor", "Checked", BoolText(S.BitsPerPixel == 32));
  } else {
    UI.SetProp("WOptions_CBFullScreen", "Checked", "false");
    UI.SetProp("WOptions_CB32bitColor", "Visible", "false");
  }
  UI.SetProp("WOptions_CBTurnOffHints", "Checked", BoolText(S.TurnOffHint != 0));
  UI.SetProp("WOptions_SMusicVolume", "Position", IntToStr(S.MusicVolume));
  UI.SetProp("WOptions_SSoundVolume", "Position", IntToStr(S.SoundVolume));
  SetGlobalVolumes();
}

void TOptionsScreen::Confirm() {
  TSettings& S = Sh.Settings;
  IShellInterface& UI = *Sh.UI;
  const auto file = ResolveNoCase(Sh.ProgramFolder, kOptionsFileName);
  SaveOptions(file, S);
  const bool fullScreen = Checked(UI, "WOptions_CBFullScreen");
  const bool deep = Checked(UI, "WOptions_CB32bitColor");
  bool depthChanged = false;
  if (S.FullScreenMode == 1) {
    if (deep && S.BitsPerPixel == 16) {
      S.BitsPerPixel = 32;
      depthChanged = true;
    } else if (!deep && S.BitsPerPixel == 32) {
      S.BitsPerPixel = 16;
      depthChanged = true;
    }
    if (depthChanged) SaveOptions(file, S);
  }
  if (fullScreen != (S.FullScreenMode == 1)) {
    Sh.ChangewindowMode();
  } else if (depthChanged) {
    // The display is rebuilt in full screen at the new depth: the switch
    // runs from the other mode back into this one.
    S.FullScreenMode = 1 - S.FullScreenMode;
    Sh.ChangewindowMode();
  }
}

void TOptionsScreen::MusicVolumeChanged() {
  TSettings& S = Sh.Settings;
  const bool wasSilent = S.MusicVolume == 0;
  S.MusicVolume = SliderPosition(*Sh.UI, "WOptions_SMusicVolume", S.MusicVolume);
  SetGlobalVolumes();
  // A silenced piece never started; it begins now that it can be heard.
  if (wasSilent && S.MusicVolume != 0 && !Sh.CurrentMusic.empty())
    PlaySoundByName(Sh.CurrentMusic, Sh.SoundList, S.MusicVolume, S.SoundVolume, 0, Sh.CurrentMusic, 0);
}

void TOptionsScreen::SoundVolumeChanged() {
  TSettings& S = Sh.Settings;
  S.SoundVolume = SliderPosition(*Sh.UI, "WOptions_SSoundVolume", S.SoundVolume);
  SetGlobalVolumes();
}

void TOptionsScreen::ConfirmLanguage() {
  IShellInterface& UI = *Sh.UI;
  const std::string code = CheckedLanguage(UI);
  if (!code.empty() && !SameTextAscii(code, Sh.LangCode)) {
    Sh.LangCode = code;
    Sh.ChangeLanguage();
    if (Sh.Store) SaveLanguageToReg(*Sh.Store, Sh.LangCode);
  }
  if (Sh.Game.Game.GameMode == gmFrozen)
    UI.SetProp("WGame_LScoreCount", "Caption", IntToStr(Sh.Game.Game.TotalScore));
  UI.HideModal();
  Sh.Frame.DirtyRects.assign(1, kWholeScreen);
  Sh.Loop.DrawMemorySurface();
}

}  // namespace qv
