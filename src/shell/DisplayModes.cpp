// Display set-up and the switch between full screen and window.
#include "foundation/Files.h"
#include "foundation/Log.h"
#include "foundation/QelException.h"
#include "game/LevelStart.h"
#include "shell/Shell.h"

namespace qv {

namespace {
void PictureProgress(int32_t position) {
  if (TShell* shell = CurrentShell()) shell->ShowPictureLoadProgress(position);
}
}  // namespace

bool TShell::InitDirectDraw(int32_t bitsPerPixel, std::string& errorText) {
  errorText.clear();
  if (!Display) return false;
  try {
    TDisplayMode mode;
    mode.FullScreen = Settings.FullScreenMode == 1;
    mode.Width = 800;
    mode.Height = 600;
    mode.BitsPerPixel = bitsPerPixel;
    mode.WindowX = Settings.WindowModeX;
    mode.WindowY = Settings.WindowModeY;
    mode.VSync = true;
    const bool ok = Display->Open(mode, errorText);
    // The reason is the player's only clue to a display that does not
    // start (no display at all, a window refused), in full screen or not.
    if (!ok && !errorText.empty()) Log::Write(errorText);
    Loop.Display = ok ? Display.get() : nullptr;
    if (ok) {
      Display->SetCaption("Quorvane");
      Desktop->ShowSystemCursor(false);
    }
    return ok;
  } catch (const std::exception&) {
    throw QelException("Error in init DirectX");
  }
}

void TShell::ReleaseDirectDraw() {
  if (Display) Display->Close();
  Loop.Display = nullptr;
}

void TShell::ChangewindowMode() {
  try {
    PauseGameTimers();
    Settings.FullScreenMode = 1 - Settings.FullScreenMode;
    try {
      SaveOptions(ResolveNoCase(ProgramFolder, kOptionsFileName), Settings);
    } catch (const std::exception&) {
      // The display stays as it is, so the setting a later save stores must
      // say what it shows.
      if (Display && Display->IsOpen()) Settings.FullScreenMode = Display->FullScreen() ? 1 : 0;
      else Settings.FullScreenMode = 1 - Settings.FullScreenMode;
      throw;
    }

    Engine.ScreenSurface.reset();
    Engine.DirectDraw = nullptr;
    ReleaseDirectDraw();
    for (TSurface& s : Engine.Surfaces) {
      s.Surface.reset();
      s.Bits = nullptr;
    }
    FormCreate(false);

    std::string error;
    if (!InitDirectDraw(Settings.BitsPerPixel, error) && !InitDirectDraw(16, error)) {
      Failed = true;
      Close();
      return;
    }
    Engine.Create(Display.get(), Display->PrimarySurface(), 800, 600);

    std::string first;
    if (!LoadingBar.empty())
      first = UI->GetProp(LoadingBar, "BarPicture") + " " + UI->GetProp(LoadingBar, "Picture") + " ";
    first += "QelUnicode.png";
    Engine.OnProgress = PictureProgress;
    if (Archive) Engine.ReloadSurfaces(*Archive, ProgramFolder, first);
    Engine.OnProgress = nullptr;

    Frame.DirtyRects.assign(1, kWholeScreen);
    ReloadLevelView();
    Loop.DrawMemorySurface();

    if (Settings.FullScreenMode == 1) {
      UI->SetProp("WOptions_CBFullScreen", "Checked", "true");
      UI->SetProp("WOptions_CB32bitColor", "Visible", "true");
      UI->SetProp("WOptions_CB32bitColor", "Checked", Settings.BitsPerPixel == 32 ? "true" : "false");
    } else {
      UI->SetProp("WOptions_CBFullScreen", "Checked", "false");
      UI->SetProp("WOptions_CB32bitColor", "Visible", "false");
    }
  } catch (const std::exception&) {
    Engine.OnProgress = nullptr;
    throw QelException("Exception Error in TQelGameEngine.ChangewindowMode.");
  }
}

void TShell::ReloadLevelView() {
  if (Game.Game.MapPlaces.empty()) return;
  Map.PrepareMapPieces();
  const int32_t mode = Game.Game.GameMode;
  if (mode == gmMap) {
    Map.DrawMapScreen();
    Map.ComposeMapSelection();
  } else if (mode == gmPlaying || mode == gmFrozen) {
    LevelSurfaces.LoadLevelTexts(LevelFileName(Game.Game.CurLevel));
    LevelSurfaces.MakeCover();
    LevelSurfaces.ShowOverviewPicture();
    LevelSurfaces.DrawCoverMask();
  }
}

}  // namespace qv
