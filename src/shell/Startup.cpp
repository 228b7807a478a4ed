// Start-up in two stages, the loading windows, and the shut-down.
#include <cstdio>
#include <system_error>

#include "foundation/CPUInfo.h"
#include "foundation/Clock.h"
#include "foundation/Files.h"
#include "foundation/Log.h"
#include "foundation/Numeric.h"
#include "foundation/QelException.h"
#include "foundation/QelParser.h"
#include "foundation/Random.h"
#include "foundation/StrUtils.h"
#include "foundation/WinVer.h"
#include "game/CardRules.h"
#include "game/LevelStart.h"
#include "graphics/Form3.h"
#include "graphics/PNGMorf.h"
#include "shell/AddLogos.h"
#include "shell/InterfaceBridge.h"
#include "shell/Languages.h"
#include "shell/ResourceLoading.h"
#include "shell/ScreenSet.h"
#include "shell/Shell.h"
#include "shell/ShellLog.h"

namespace qv {

namespace {

TShell* gShell = nullptr;

void PictureProgress(int32_t position) {
  if (gShell) gShell->ShowPictureLoadProgress(position);
}

constexpr const char* kEffectFiles[6] = {"SwapEffect.xml",         "WallCrashEffect.xml", "CardTurnEffect.xml",
                                         "CardTurnEffectBack.xml", "GiveScoreEffect.xml", "ThiefDisaperEffect.xml"};

}  // namespace

TShell* CurrentShell() { return gShell; }

namespace {
std::unique_ptr<IShellInterface> InterfaceOr(std::unique_ptr<IShellInterface> given, IQelGraphic& host) {
  if (given) return given;
  return std::make_unique<TInterfaceBridge>(host);
}
}  // namespace

TShell::TShell(TShellParts parts)
    : ProgramFolder(std::move(parts.ProgramFolder)),
      Args(std::move(parts.Args)),
      Display(std::move(parts.Display)),
      Events(std::move(parts.Events)),
      Desktop(std::move(parts.Desktop)),
      UI(InterfaceOr(std::move(parts.Interface), Host)),
      OpenAudioDevice(parts.OpenAudio),
      Canvas(MakeSurfEngineCanvas(Engine)),
      FieldHost(*UI, Frame),
      Screen(Frame, [this] { Loop.DrawMemorySurface(); }),
      GameArchive(Archive),
      GameSurfaces(Engine, Archive),
      Widgets(*UI),
      Sound(SoundList, CurrentMusic, Settings.MusicVolume, Settings.SoundVolume, Clock()),
      LevelSurfaces(Game, Svc, *Canvas, FieldHost),
      Effects(Game, Svc, LevelSurfaces),
      Map(Game, Svc, *Canvas),
      Screens(Map),
      Loader(Game, Svc),
      Update(Game, Svc),
      Field(Game, Svc, *Canvas, FieldHost),
      Actions(Game, Svc),
      Loop(Frame, Game, Engine, Field, *UI, FieldHost) {
  Svc.Clock = &Clock();
  Svc.Random = &Random;
  Svc.Sound = &Sound;
  Svc.Widgets = &Widgets;
  Svc.Surfaces = &GameSurfaces;
  Svc.Archive = &GameArchive;
  Svc.Screen = &Screen;
  Svc.Effects = &Effects;
  Svc.Field = &LevelSurfaces;
  Svc.Screens = &Screens;
  Screens.LevelProgress = [this](int32_t p) { ShowLevelLoadProgress(p); };
  Loop.Update = [this](int32_t t) { Update.UpdateFrame(t); };
  Loop.SetCaption = [this](const std::string& c) {
    if (Display) Display->SetCaption(c);
  };
  if (!Events) Events = std::make_unique<THeadlessEvents>();
  if (!Desktop) Desktop = std::make_unique<THeadlessDesktop>();
  Desktop->Report = [](const std::string& line) { Log::Write(line); };
  Host.Sound = [this](std::string_view name) {
    PlaySoundByName(name, SoundList, Settings.MusicVolume, Settings.SoundVolume, 0, CurrentMusic, 1000);
  };
  if (auto* bridge = dynamic_cast<TInterfaceBridge*>(UI.get())) {
    Host.Fonts = &bridge->Fonts;
    bridge->DrawTarget = &Frame.DrawTarget;
  }
  PublishHandlers();
  gShell = this;
}

// Every handler that the interface description's scripts call by name is
// published here; the screens of the game add theirs beside these.
void TShell::PublishHandlers() {
  Publish("YesMouseUp", [] {});
  Publish("AddLogoMouseUp", [this] { AddLogoMouseUp(); });
  ScreenSet = std::make_unique<TScreenSet>(*this);
}

TShell::~TShell() {
  if (gShell == this) gShell = nullptr;
  Engine.OnProgress = nullptr;
}

void TShell::Publish(const std::string& name, std::function<void()> handler) { UI->Publish(name, std::move(handler)); }

// ---- the first stage ----

void TShell::FormCreate(bool sender) {
  if (sender) {
    StartLogFile(ProgramFolder);
    Log::Write(std::string("Quorvane Version: ") + kVersionText);
    Log::Write("System Information");
    Log::Write("   OS Version: " + GetOSVersionText());
    Log::Write("   Processor: " + GetCPUName());
    Log::Write("   Total Memory: " + std::to_string(GetPhysicalMemoryMB()) + " Mb");
    Log::Write("Form Create Method runed.");
    Randomize();
    ResourceList = std::make_unique<TResourceList>(3, ProgramFolder.string(), &Engine);
    Settings = LoadOptions(ResolveNoCase(ProgramFolder, kOptionsFileName));

    SoundOn = false;
    if (OpenAudioDevice) {
      std::string error;
      SoundOn = Audio.OpenDevice(error);
      if (SoundOn) Audio.Start();
    }
    Audio.SetGlobalVolumes(Settings.MusicVolume, Settings.SoundVolume);
    Log::Write("Bass init Ok...");

    UnpackResourceArchive();
    Log::Write("File Folders morfed Ok...");
    LoadSounds();

    LoadFromEntry(*Archive, "QelUnicode.xml", [this] { UI->LoadFont(GetFolderStream(*Archive, "QelUnicode.xml")); });
    Log::Write("Qel Font Loaded Ok...");
    if (Archive->IndexOf("Quorvane.li") >= 0) UI->LoadDescription(GetFolderStream(*Archive, "Quorvane.li"));
    UI->RealignForms();
    Log::Write(UI->GetInfo());
    Log::Write("Qel Interface Loaded Ok...");
    Store = std::make_unique<TUserStore>();
    // A store that cannot be read reads as empty: the start goes on with the defaults.
    if (const std::string why = Store->ReadError(); !why.empty())
      Log::Write("Cannot read the user store " + Store->File().string() + " (" + why + "), the defaults apply");
    LangCode = ReadLangCode(*Store);
    qv::ScanLanguages(*UI, ProgramFolder);
    ChangeLanguage();
  }
  if (sender) UI->HideModalList();
  Settings = LoadOptions(ResolveNoCase(ProgramFolder, kOptionsFileName));
  Loop.DebugMode = Settings.DebugOn();
  ApplyWindowStyle();
}

void TShell::ApplyWindowStyle() {
  // The pointer is the game's own; the window's place and size take effect
  // when the display opens in this mode.
  Desktop->ShowSystemCursor(false);
  if (Display) Display->SetCaption("Quorvane");
}

void TShell::UnpackResourceArchive() {
  const std::filesystem::path shipped = ResolveNoCase(ProgramFolder, "game.zxc");
  const std::filesystem::path working = ResolveNoCase(ProgramFolder, "temp/game.zxc");
  {
    // The conversion skips a working archive that matches its checksum
    // record and makes any other again, as on the first start.
    TPNGMorf morf(90);
    std::unique_ptr<TForm3> form = CreateInstallWindow();
    morf.OnProgress = [&form](const std::string& text, int32_t position) { form->ShowProgress(text, position); };
    morf.Jobs.push_back("Source=\"" + shipped.string() + "\" Dest=\"" + working.string() + "\"");
    form->Show();
    morf.Execute();
    form->Hide();
  }
  ArchiveOwner = std::make_unique<TFileFolder>(working);
  Archive = ArchiveOwner.get();
  ResourceList->AddFolder(working);
}

void TShell::NoteDamagedArchive() {
  if (!Archive || Archive->DamagedEntry.empty()) return;
  // The working archive matched its checksum record when it was opened, so
  // an entry that does not load came so with the shipped archive.
  Log::Write("The entry " + Archive->DamagedEntry + " of the shipped archive " +
             ResolveNoCase(ProgramFolder, "game.zxc").string() + " is damaged");
}

void TShell::LoadSounds() { LoadSoundsFromFolder(*Archive, SoundList); }

void TShell::ChangeLanguage() {
  if (!LanguageFolder(ProgramFolder)) return;
  LangCode = qv::ChangeLanguage(*UI, Store.get(), ProgramFolder, LangCode);
  // The level's own texts are in the language too; a frozen level shows them.
  if (Game.Game.GameMode == gmFrozen) LevelSurfaces.LoadLevelTexts(LevelFileName(Game.Game.CurLevel));
  UI->SetProp("WGame_LScoreCount", "Caption", std::to_string(Game.Game.TotalScore));
  UI->SetProp("WGame_LDropPackCount", "Caption",
              std::to_string(int64_t{Game.Game.DropPackCapacity} - static_cast<int64_t>(Game.Game.DropPack.size())));
}

// ---- the second stage ----

void TShell::FormActivate() {
  if (RunGameDone) return;
  RunGameDone = true;
  RunGame();
}

void TShell::RunGame() {
  try {
    Log::Write("Prepare for Game run...");
    std::error_code ec;
    const std::filesystem::path saves = ResolveNoCase(ProgramFolder, "saves");
    if (!std::filesystem::is_directory(saves, ec)) std::filesystem::create_directories(saves, ec);

    std::string error;
    if (!InitDirectDraw(Settings.BitsPerPixel, error) && !InitDirectDraw(16, error)) {
      ReleaseDirectDraw();
      const std::string failed = "Error in init DirectX mode FullScreen=" + std::to_string(Settings.FullScreenMode);
      Log::Write(failed);
      ReportFailedStart(error.empty() ? failed : error);
      Failed = true;
      Close();
      return;
    }
    if (!Display || !Display->IsOpen()) return;
    Log::Write("Init Direct Draw Ok...");

    Engine.Create(Display.get(), Display->PrimarySurface(), 800, 600);
    EngineBuilt = true;
    CreateWorkSurfaces(Engine);
    PlaySoundByName("vibe-pp.mo3", SoundList, Settings.MusicVolume, Settings.SoundVolume, 0, CurrentMusic, 1000);

    LoadingBar = UI->Exists("WGameLoading_PBGameLoading") ? "WGameLoading_PBGameLoading" : "";
    LoadingWindow = UI->Exists("WGameLoading") ? "WGameLoading" : "";
    if (!LoadingWindow.empty())
      UI->SetProp(LoadingWindow, "Picture", LowerAscii(UI->GetProp(LoadingWindow, "Picture")));

    Engine.OnProgress = PictureProgress;
    LoadFolderPictures(Engine, ProgramFolder);
    std::vector<std::string> first;
    if (!LoadingBar.empty())
      first = {UI->GetProp(LoadingBar, "Picture"), UI->GetProp(LoadingBar, "BarPicture"), "QelUnicode.png"};
    LoadSurfaceList(Engine, *Archive, "surfaces.dat", first);
    if (!LoadingBar.empty()) UI->SetProp(LoadingBar, "Picture", UI->GetProp(LoadingBar, "Picture"));
    Engine.OnProgress = nullptr;
    Log::Write("Pictures from Folder Load Ok...");
    Log::Write("resource List Reinit Surfaces Ok...");

    SetCursorPicture("cursor_line.png");
    if (HighScoresLoader) HighScoresLoader();
    UI->RealignForms();
    Log::Write("Changed Language Ok...");

    LoadGameParams(ResolveNoCase(ProgramFolder, "GameParams.xml"), Params);
    Game.Params = Params.Game;
    LevelSurfaces.Shadow = Params.Shadow;
    Map.Styles = Params.MapPath;
    LoadGameTables();

    Game.Game.GameMode = gmMenus;
    Frame.GameClock = Frame.PrevFrameTime = GetTickCount();
    Game.Game.CursorPeriod = 30;
    Game.Game.CursorNextTime = GetTickCount();
    LoadAddLogos(ResolveNoCase(ProgramFolder, "AddLogo.xml"));
    Log::Write("Game Started...");

    UI->ClearScripts();
    UI->HideModalList();
    UI->ShowModal("WTitle");
    Game.HeldCard = -1;
    Frame.RedrawRects.push_back(kWholeScreen);
    CreateEffectTemplates();

    if (UI->Exists("WGameLoading_LLoading"))
      UI->SetProp("WLoadLevel_LLoadLevelText", "Caption", UI->GetProp("WGameLoading_LLoading", "Caption"));
    LevelLoadingWindow = UI->Exists("WLoadLevel") ? "WLoadLevel" : "";
    if (OptionsToWindow) OptionsToWindow();
    Game.Game.Mode = dmNormal;
    if (const TSurface* halo = Engine.Find("BonusOreol.png"))
      Frame.HaloOffset = TGamePoint{halo->Width / 2 - 16, halo->Height / 2 - 25};
    if (const TSurface* frame = Engine.Find("CardFrame.png"))
      Game.FrameOffset = TGamePoint{frame->Width / 2 - 16, frame->Height / 2 - 25};
    Map.PrepareMapPieces();
    Game.PauseFlag = false;
  } catch (const std::exception& e) {
    Engine.OnProgress = nullptr;
    NoteDamagedArchive();
    ReportFailedStart(e.what());
    Loop.PendingError = "Exception error in TQelGameEngine.RunGame";
    throw QelException(Loop.PendingError);
  }
}

void TShell::CreateEffectTemplates() {
  for (size_t i = 0; i < 6; ++i) {
    auto effect = std::make_unique<fx::TQelParticleEffect>();
    const char* file = kEffectFiles[i];
    LoadFromEntry(*Archive, file, [&] { effect->LoadFromStream(&GetFolderStream(*Archive, file)); });
    EffectTemplates[i] = std::move(effect);
  }
  Effects.Templates.Swap = EffectTemplates[0].get();
  Effects.Templates.WallCrash = EffectTemplates[1].get();
  Effects.Templates.CardTurn = EffectTemplates[2].get();
  Effects.Templates.CardTurnBack = EffectTemplates[3].get();
  Effects.Templates.GiveScore = EffectTemplates[4].get();
  Effects.Templates.ThiefDisappear = EffectTemplates[5].get();
}

void TShell::LoadGameTables() {
  LoadFromEntry(*Archive, "BonusPlaceTypes.xml", [this] { Loader.LoadBonusPlaceTypes("BonusPlaceTypes.xml"); });
  LoadFromEntry(*Archive, "MapPieces.xml", [this] { Loader.LoadMapPieces("MapPieces.xml"); });
  BuildCardTypes(Game.CardTypes);
}

void TShell::SetCursorPicture(const std::string& name) {
  const TSurface* s = Engine.Find(name);
  if (!s) return;
  Frame.CursorHeight = s->Height;
  Frame.CursorPicture = name;
  Effects.CursorHeight = s->Height;
}

// ---- extra logos ----

void TShell::LoadAddLogos(const std::filesystem::path& fileName) {
  const auto found = FindFileNoCase(fileName.parent_path(), fileName.filename().string());
  if (!found) return;
  const std::vector<uint8_t> bytes = ReadWholeFile(*found);
  const TRegistryReader registry = [this](std::string_view key, std::string_view value) {
    return Store ? Store->ReadString(key, value).value_or(std::string()) : std::string();
  };
  const std::vector<TAddLogoEntry> entries =
      ParseAddLogos(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()), fileName.string(),
                    ProgramFolder, registry);
  LinkSlots.assign(entries.size(), std::string());
  auto loadPicture = [this](const std::string& surface, const std::string& file) {
    if (Engine.IndexOf(surface) >= 0) return;
    if (EndsWithPng(file))
      Engine.LoadPNGFromFile(surface, ProgramFolder / file);
    else
      Engine.LoadJPEGFromFile(surface, ProgramFolder / file);
  };
  for (const TAddLogoEntry& e : entries) {
    if (!e.IsLogo || !UI->Exists(e.Parent)) continue;
    const std::string name = "AddLogo" + std::to_string(e.Index);
    if (!UI->CreateWidget("TQelLabel", name, e.Parent, {})) continue;
    UI->SetProp(name, "Alpha", "255");
    UI->SetProp(name, "PictureAlpha", "255");
    UI->SetProp(name, "Left", std::to_string(e.X));
    UI->SetProp(name, "Top", std::to_string(e.Y));
    std::string picture;
    if (e.Picture) {
      picture = LowerAscii(*e.Picture);
      loadPicture(picture, picture);
      if (const TSurface* s = Engine.Find(picture)) {
        UI->SetProp(name, "Width", std::to_string(s->Width));
        UI->SetProp(name, "Height", std::to_string(s->Height));
      }
    }
    UI->SetProp(name, "Picture", picture);
    const std::string over = e.PictureMouseOn ? *e.PictureMouseOn : picture;
    if (e.PictureMouseOn) loadPicture(over, over);
    UI->SetProp(name, "MouseOverPicture", over);
    const std::string down = e.PictureMouseDown ? *e.PictureMouseDown : picture;
    if (e.PictureMouseDown) loadPicture(down, down);
    UI->SetProp(name, "MouseDownPicture", down);
    UI->SetProp(name, "Visible", "true");
    if (e.Caption) {
      if (!picture.empty()) UI->SetProp(name, "AutoSize", "true");
      UI->SetProp(name, "FontName", "QelUnicode");
      UI->SetProp(name, "Width", std::to_string(UI->TextWidth(*e.Caption)));
      UI->SetProp(name, "Height", std::to_string(UI->TextHeight()));
      UI->SetProp(name, "Caption", *e.Caption);
    } else {
      UI->SetProp(name, "Caption", "");
    }
    if (e.Color) UI->SetProp(name, "Color", std::to_string(*e.Color));
    if (e.MouseOverColor) UI->SetProp(name, "MouseOverColor", std::to_string(*e.MouseOverColor));
    if (e.Url) {
      UI->SetProp(name, "OnMouseUp", "ExecMethod Method=\"AddLogoMouseUp\";");
      LinkSlots[size_t(e.Index)] = *e.Url;
    }
  }
}

void TShell::AddLogoMouseUp() {
  const int32_t i = LogoIndexOfName(UI->SenderName());
  if (i >= 0 && i < int32_t(LinkSlots.size()) && !LinkSlots[size_t(i)].empty())
    Desktop->OpenLink(LinkSlots[size_t(i)]);
}

// ---- loading windows ----

void TShell::DrawProgressWindow(const std::string& form) {
  Engine.FillSurface("MemoryBufer", 0);
  Frame.RedrawRects.assign(1, kWholeScreen);
  UI->DrawForm(form);
  Engine.DrawSurface("MemoryBufer", "MemorySurface", 0, 0, nullptr);
  Loop.PresentMemorySurface(nullptr);
}

void TShell::ShowPictureLoadProgress(int32_t position) {
  if (LoadingBar.empty() || UI->GetProp(LoadingBar, "Position") == std::to_string(position)) return;
  UI->SetProp(LoadingBar, "Position", std::to_string(position));
  auto loaded = [this](const std::string& name) {
    const TSurface* s = Engine.Find(name);
    return s && s->Surface;
  };
  if (!loaded(UI->GetProp(LoadingBar, "BarPicture")) || !loaded(UI->GetProp(LoadingBar, "Picture")) ||
      LoadingWindow.empty() || !loaded(UI->GetProp(LoadingWindow, "Picture")))
    return;
  DrawProgressWindow(LoadingWindow);
}

void TShell::ShowLevelLoadProgress(int32_t position) {
  if (LevelLoadingWindow.empty()) return;
  UI->SetProp("WLoadLevel_PBLoadLevel", "Position", std::to_string(position));
  DrawProgressWindow(LevelLoadingWindow);
}

// ---- shut-down ----

void TShell::FormDestroy() {
  char rate[32];
  std::snprintf(rate, sizeof rate, "%.3g", Frame.AverageRate);
  Log::Write(std::string("Average FPS: ") + rate);
  try {
    SaveOptions(ResolveNoCase(ProgramFolder, kOptionsFileName), Settings);
  } catch (const std::exception& e) {
    Log::Write(e.what());
  }
  Idling = false;
  Engine.OnProgress = nullptr;
  Loader.ClearLevel();
  Game.Effects.clear();
  Engine.Destroy();
  EngineBuilt = false;
  ReleaseDirectDraw();
  Archive = nullptr;
  ArchiveOwner.reset();
  ResourceList.reset();
  Game.Cards.clear();
  Game.HeldCard = -1;
  StopSounds(SoundList, true);
  Audio.Pause();
  DeleteAllSounds(SoundList);
  LinkSlots.clear();
  Frame.RedrawRects.clear();
  Frame.DirtyRects.clear();
  Field.BeltRects.clear();
  Game.Game.MapPlaces.clear();
  Effects.Templates = TEffectTemplates{};
  for (auto& t : EffectTemplates) t.reset();
}

}  // namespace qv
