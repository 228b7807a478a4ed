// The options window (display mode, colour depth, volumes, hints) and the
// language window. Volumes take effect while the sliders move; the other
// options on OK; Cancel returns every setting to the file's value.
#pragma once

namespace qv {

class TShell;

class TOptionsScreen {
 public:
  explicit TOptionsScreen(TShell& shell) : Sh(shell) {}

  void Publish();

  // Settings from the file into the window (Cancel, and before it opens).
  void SettingsToWindow();
  void Confirm();
  void MusicVolumeChanged();
  void SoundVolumeChanged();
  void ConfirmLanguage();

 private:
  void SetGlobalVolumes();

  TShell& Sh;
};

}  // namespace qv
