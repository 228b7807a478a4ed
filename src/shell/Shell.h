// The game program's owner of everything: the display, the event source,
// the desktop, the sound list, the working archive, the surface engine, the
// interface, the card game with its wiring, and the main loop. Its work is
// spread by concern: start-up and shut-down (Startup.cpp), the event loop
// and input routing (ShellEvents.cpp), display set-up and the switch between
// full screen and window (DisplayModes.cpp); the frame itself is MainLoop.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "effects/QelFXParticles.h"
#include "foundation/FileFolder.h"
#include "game/CardActions.h"
#include "game/FieldDrawing.h"
#include "game/GameEffects.h"
#include "game/GameServices.h"
#include "game/GameUpdate.h"
#include "game/KingdomMap.h"
#include "game/LevelLoader.h"
#include "game/LevelSurfaces.h"
#include "graphics/SurfEngine.h"
#include "platform/Audio.h"
#include "platform/Desktop.h"
#include "platform/Display.h"
#include "platform/Events.h"
#include "platform/UserStore.h"
#include "shell/GameParams.h"
#include "shell/GameWiring.h"
#include "shell/HostGraphic.h"
#include "shell/MainLoop.h"
#include "shell/Settings.h"
#include "shell/ShellInterface.h"
#include "shell/ShellState.h"
#include "sound/GameSound.h"
#include "sound/Music.h"

namespace qv {

class TScreenSet;

inline constexpr const char* kVersionText = "1.5";

// The outside parts the shell runs on; the program makes the real ones,
// tests headless ones.
struct TShellParts {
  std::filesystem::path ProgramFolder;  // with or without a trailing separator
  std::unique_ptr<TDisplay> Display;
  std::unique_ptr<IEventSource> Events;
  std::unique_ptr<IDesktop> Desktop;
  // Null: the real interface toolkit over the shell's host.
  std::unique_ptr<IShellInterface> Interface;
  // Opens the audio device; false leaves the game silent.
  bool OpenAudio = true;
  std::vector<std::string> Args;
};

class TShell {
 public:
  explicit TShell(TShellParts parts);
  ~TShell();
  TShell(const TShell&) = delete;
  TShell& operator=(const TShell&) = delete;

  // The whole life of the program: both start-up stages, the event loop
  // until the window closes, the shut-down. The exit status: 0 after a
  // normal quit, 1 when the program ended on an error.
  int Run();

  // ---- start-up and shut-down ----
  // The first stage; with sender false only the window set-up is applied
  // again (after a display change).
  void FormCreate(bool sender);
  // Runs the second stage the first time only.
  void FormActivate();
  // The second stage; an error inside is logged and raised as QelException
  // "Exception error in TQelGameEngine.RunGame", which also becomes the
  // pending error that ends the program on the next pass.
  void RunGame();
  void FormDestroy();

  // ---- events ----
  // Handles one event; false once the window is to close.
  bool HandleEvent(const TInputEvent& event);
  // One turn of the loop: every waiting event, then a pass when the loop runs.
  bool Step();
  void AppActivate();
  void AppDeactivate();
  // The private message: restarts the loop with a full redraw.
  void ActivateMessage();
  void AppException(const std::exception& error);
  void FormPaint();

  void FormMouseDown(int button, uint32_t shift, int32_t x, int32_t y);
  void FormMouseMove(uint32_t shift, int32_t x, int32_t y);
  void FormMouseUp(int button, uint32_t shift, int32_t x, int32_t y);
  void FormMouseWheel(uint32_t shift, int32_t delta, int32_t x, int32_t y);
  void FormKeyDown(uint16_t key, uint32_t shift);
  void FormKeyPress(char32_t c);

  // ---- display ----
  bool InitDirectDraw(int32_t bitsPerPixel, std::string& errorText);
  void ReleaseDirectDraw();
  void ChangewindowMode();
  void ReloadLevelView();

  // ---- progress windows ----
  void ShowPictureLoadProgress(int32_t position);
  void ShowLevelLoadProgress(int32_t position);

  // ---- data ----
  void LoadGameTables();
  void LoadAddLogos(const std::filesystem::path& fileName);
  void AddLogoMouseUp();
  // Applies the language of LangCode (the fall-back to English included),
  // then the texts that follow it: a frozen level's own and the counters.
  void ChangeLanguage();
  void SetCursorPicture(const std::string& name);
  // Registers a published handler that the interface's scripts call by name.
  void Publish(const std::string& name, std::function<void()> handler);

  // The game freezes under its menu (the menu button's work); resumes.
  void FreezeForMenu();
  void ResumeFromMenu();

  // Filled by the high-score and settings pieces: load the high scores,
  // set the options window from the settings.
  std::function<void()> HighScoresLoader;
  std::function<void()> OptionsToWindow;

  // Pauses the game timers (a window covers the game).
  void PauseGameTimers() { Update.PauseGameTimers(); }
  // Asks the loop to end after this turn.
  void Close() { Closing = true; }

  // ---- state ----
  std::filesystem::path ProgramFolder;
  std::vector<std::string> Args;
  TSettings Settings;
  std::unique_ptr<TUserStore> Store;
  std::string LangCode;
  std::unique_ptr<TDisplay> Display;
  std::unique_ptr<IEventSource> Events;
  std::unique_ptr<IDesktop> Desktop;

  TSurfEngine Engine;
  bool EngineBuilt = false;
  TShellFrame Frame;
  THostGraphic Host{Engine, Frame};
  std::unique_ptr<IShellInterface> UI;

  TAudio Audio;
  TMusicList SoundList{Audio};
  std::string CurrentMusic;
  bool SoundOn = false;
  bool OpenAudioDevice = true;

  std::unique_ptr<TFileFolder> ArchiveOwner;
  TFileFolder* Archive = nullptr;
  std::unique_ptr<TResourceList> ResourceList;

  TShellGameParams Params;
  std::vector<std::string> LinkSlots;
  std::array<std::unique_ptr<fx::TQelParticleEffect>, 6> EffectTemplates;

  // The card game and its wiring.
  TGameState Game;
  TGameServices Svc;
  TProcessRandom Random;
  std::unique_ptr<IFieldCanvas> Canvas;
  TShellFieldHost FieldHost;
  TShellScreen Screen;
  TShellArchive GameArchive;
  TShellSurfaces GameSurfaces;
  TShellWidgets Widgets;
  TGameSound Sound;
  TLevelSurfaces LevelSurfaces;
  TGameEffects Effects;
  TKingdomMap Map;
  TShellScreens Screens;
  TLevelLoader Loader;
  TGameUpdate Update;
  TFieldDrawing Field;
  TCardActions Actions;
  TMainLoop Loop;

  // The loading window and its bar, when the interface has them.
  std::string LoadingWindow;
  std::string LoadingBar;
  std::string LevelLoadingWindow;

  bool Active = false;      // the application has focus
  bool Idling = false;      // the main loop's pass runs
  bool RunGameDone = false;  // the second stage ran (once only)
  bool Closing = false;
  bool Failed = false;  // the program ends on an error
  int64_t LastMouseMoveTick = 0;

  // The screens' handlers; made last, so that they go first.
  std::unique_ptr<TScreenSet> ScreenSet;

 private:
  void UnpackResourceArchive();
  // After a failed start: logs the archive entry that did not load, if any.
  void NoteDamagedArchive();
  // After a failed start: its reason on the standard error.
  void ReportFailedStart(const std::string& reason);
  void LoadSounds();
  void ApplyWindowStyle();
  void CreateEffectTemplates();
  void DrawProgressWindow(const std::string& form);
  void PublishHandlers();
};

// The one shell of the process, for the surface engine's progress callback
// (a plain function); null when none runs.
TShell* CurrentShell();

}  // namespace qv
