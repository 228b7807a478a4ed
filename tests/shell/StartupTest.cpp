// The real start-up on the built sample content, headless with a manual
// clock: both stages with their log lines, a second start, the window set-up
// alone, the title window on screen, the switch between full screen and
// window and back, and the program's exit status.
#include <gtest/gtest.h>

#include <cstdlib>
#include <algorithm>
#include <fstream>
#include <set>
#include <sstream>

#include "foundation/Files.h"
#include "foundation/Log.h"
#include "shell/HeadlessParts.h"
#include "shell/ShellLog.h"
#include "shell/ShellTempDir.h"
#include "platform/HeadlessDisplay.h"
#include "shell/Shell.h"

namespace qv::test {
namespace {

const std::filesystem::path kProgram = QUORVANE_PROGRAM_DIR;

std::vector<std::string> LogLines(const std::filesystem::path& folder) {
  std::ifstream in(folder / "Quorvane.log");
  std::vector<std::string> lines;
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

// The message of a log line, without its "{m:s:ms} " prefix.
std::vector<std::string> Messages(const std::vector<std::string>& lines) {
  std::vector<std::string> out;
  for (const std::string& l : lines) {
    const size_t close = l.find("} ");
    if (!l.empty() && l[0] == '{' && close != std::string::npos) out.push_back(l.substr(close + 2));
  }
  return out;
}

size_t IndexOf(const std::vector<std::string>& lines, const std::string& text) {
  for (size_t i = 0; i < lines.size(); ++i)
    if (lines[i] == text) return i;
  return std::string::npos;
}

// Whether one of the lines holds every one of the texts.
bool HasLine(const std::vector<std::string>& lines, const std::vector<std::string>& texts) {
  return std::any_of(lines.begin(), lines.end(), [&](const std::string& l) {
    return std::all_of(texts.begin(), texts.end(),
                       [&](const std::string& t) { return l.find(t) != std::string::npos; });
  });
}

// A program folder with the built content, a store of its own and a shell
// on headless parts.
class Startup : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!std::filesystem::exists(kProgram / "game.zxc")) GTEST_SKIP() << "the content is not built";
    for (const auto& e : std::filesystem::directory_iterator(kProgram)) {
      const std::string name = e.path().filename().string();
      if (name == "temp" || name == "saves" || name == "quorvane" || name == "Quorvane.log" || name == "options.cfg" ||
          name == "HighScores.dat")
        continue;
      std::filesystem::copy(e.path(), Dir.Path / name, std::filesystem::copy_options::recursive);
    }
    setenv("XDG_CONFIG_HOME", (Dir.Path / "config").c_str(), 1);
    setenv("QUORVANE_VIDEO", "headless", 1);
    SetClock(&Clock);
  }
  void TearDown() override {
    Shell.reset();
    StopLogFile();
    SetClock(nullptr);
  }

  TShell& Make() {
    Shell.reset();
    HeadlessParts headless(Dir.Path);
    Display = headless.Display;
    Events = headless.Events;
    headless.Parts.Desktop = std::make_unique<THeadlessDesktop>();
    Shell = std::make_unique<TShell>(std::move(headless.Parts));
    return *Shell;
  }

  ManualClock Clock;
  // Capitals and a blank in the folder's path, as under a player's "Games".
  TempDir Dir{"Program Folder"};
  std::unique_ptr<TShell> Shell;
  THeadlessDisplay* Display = nullptr;
  THeadlessEvents* Events = nullptr;
};

TEST_F(Startup, BothStagesLogInOrderAndTheTitleIsShown) {
  TShell& s = Make();
  s.FormCreate(true);
  Clock.Advance(61234);
  s.FormActivate();
  const std::vector<std::string> lines = LogLines(Dir.Path);
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines[0], "{0:0:0} Quorvane Version: 1.5");
  const std::vector<std::string> m = Messages(lines);
  const std::vector<std::string> order = {"Quorvane Version: 1.5",
                                          "System Information",
                                          "Form Create Method runed.",
                                          "Bass init Ok...",
                                          "File Folders morfed Ok...",
                                          "Qel Font Loaded Ok...",
                                          "Qel Interface Loaded Ok...",
                                          "Prepare for Game run...",
                                          "Init Direct Draw Ok...",
                                          "Pictures from Folder Load Ok...",
                                          "resource List Reinit Surfaces Ok...",
                                          "Changed Language Ok...",
                                          "Game Started..."};
  size_t last = 0;
  for (const std::string& text : order) {
    const size_t at = IndexOf(m, text);
    ASSERT_NE(at, std::string::npos) << text;
    EXPECT_GE(at, last) << text;
    last = at;
  }
  // The second stage ran a minute, a second and 234 ms after the start.
  EXPECT_NE(std::find(lines.begin(), lines.end(), "{1:1:234} Game Started..."), lines.end());
  // No store yet is no fault: nothing is said of it.
  EXPECT_FALSE(HasLine(m, {"user store"}));
  // The first start converted the shipped archive.
  EXPECT_TRUE(std::filesystem::exists(Dir.Path / "temp" / "game.zxc"));
  EXPECT_TRUE(std::filesystem::is_directory(Dir.Path / "saves"));

  EXPECT_EQ(s.UI->TopWindow(), "WTitle");
  EXPECT_EQ(s.Game.Game.GameMode, gmMenus);
  EXPECT_EQ(s.Game.Game.Mode, dmNormal);
  EXPECT_GT(s.Game.Game.MapPlaces.size(), 0u);
  EXPECT_NE(s.Effects.Templates.Swap, nullptr);
  EXPECT_EQ(s.Frame.CursorPicture, "cursor_line.png");
  EXPECT_TRUE(s.UI->Exists("AddLogo0"));
  EXPECT_EQ(s.Game.Params.SharperDelay, 5000) << "the enciphered GameParams.xml is read";

  // The second stage runs once, however often the window is activated.
  const size_t count = LogLines(Dir.Path).size();
  s.FormActivate();
  EXPECT_EQ(LogLines(Dir.Path).size(), count);

  // The window set-up alone: no log line, no archive or engine work.
  const size_t surfaces = s.Engine.Surfaces.size();
  s.FormCreate(false);
  EXPECT_EQ(LogLines(Dir.Path).size(), count);
  EXPECT_EQ(s.Engine.Surfaces.size(), surfaces);
  EXPECT_EQ(s.UI->TopWindow(), "WTitle") << "the window stack stays";

  // The loop starts through the private message; the first pass shows the
  // title window whole, and it is not a blank picture.
  s.AppActivate();
  s.Step();
  ASSERT_GE(Display->CommitCount(), 1);
  const TDisplaySurface* frame = Display->LastFrame();
  ASSERT_NE(frame, nullptr);
  std::set<uint32_t> colours;
  for (int y = 0; y < 600; y += 7)
    for (int x = 0; x < 800; x += 7) colours.insert(*reinterpret_cast<const uint32_t*>(frame->Row(y) + x * 4));
  EXPECT_GT(colours.size(), 20u);
}

TEST_F(Startup, SecondStartDeletesTheLogAndDoesNotConvertAgain) {
  {
    TShell& s = Make();
    s.FormCreate(true);
    s.FormActivate();
  }
  const auto converted = std::filesystem::last_write_time(Dir.Path / "temp" / "game.zxc");
  Clock.Advance(5000);
  TShell& s = Make();
  s.FormCreate(true);
  const std::vector<std::string> lines = LogLines(Dir.Path);
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines[0], "{0:0:0} Quorvane Version: 1.5");
  EXPECT_EQ(IndexOf(Messages(lines), "Game Started..."), std::string::npos) << "the old log is gone";
  for (const std::string& l : Messages(lines)) EXPECT_NE(l.rfind("Done: ", 0), 0u) << "converted again: " << l;
  const std::filesystem::path working = Dir.Path / "temp" / "game.zxc";
  EXPECT_EQ(std::filesystem::last_write_time(working), converted);

  // A working archive cut short is converted again, with a line that names it.
  const std::vector<uint8_t> bytes = ReadWholeFile(working);
  AtomicWriteFile(working, bytes.data(), bytes.size() / 2);
  Make().FormCreate(true);
  EXPECT_TRUE(HasLine(Messages(LogLines(Dir.Path)), {working.string(), "again"}));
  EXPECT_EQ(ReadWholeFile(working), bytes);
}

TEST_F(Startup, SwitchingDisplayModeTwiceReloadsEveryPicture) {
  TShell& s = Make();
  s.FormCreate(true);
  s.FormActivate();
  const bool fullAtStart = Display->FullScreen();
  std::vector<std::string> names;
  for (const TSurface& surface : s.Engine.Surfaces) names.push_back(surface.Name);
  std::sort(names.begin(), names.end());
  auto pixels = [&s](const std::string& name) {
    std::vector<uint8_t> out;
    TSurface* surface = s.Engine.Find(name);
    if (!surface || !surface->Surface) return out;
    for (int y = 0; y < surface->Height; ++y) {
      const uint8_t* row = surface->Surface->Row(y);
      out.insert(out.end(), row, row + surface->Width * surface->Surface->Format().BytesPerPixel());
    }
    return out;
  };
  // The maker's logo comes from the program folder, not the archive.
  const std::vector<uint8_t> logo = pixels("ostrandel_logo.png");
  ASSERT_FALSE(logo.empty());

  s.ChangewindowMode();
  EXPECT_NE(Display->FullScreen(), fullAtStart);
  EXPECT_EQ(s.Settings.FullScreenMode, fullAtStart ? 0 : 1);
  s.ChangewindowMode();
  EXPECT_EQ(Display->FullScreen(), fullAtStart);
  EXPECT_EQ(s.Settings.FullScreenMode, fullAtStart ? 1 : 0);

  std::vector<std::string> after;
  for (const TSurface& surface : s.Engine.Surfaces) {
    after.push_back(surface.Name);
    EXPECT_NE(surface.Surface, nullptr) << surface.Name << " was not reloaded";
  }
  std::sort(after.begin(), after.end());
  EXPECT_EQ(after, names);
  EXPECT_EQ(pixels("ostrandel_logo.png"), logo);
  // The next pass shows the whole screen, right and bottom edges included.
  EXPECT_EQ(s.Frame.DirtyRects, TRects{kWholeScreen});
  // The switch is remembered in the settings file.
  EXPECT_TRUE(std::filesystem::exists(Dir.Path / "options.cfg"));
}

TEST_F(Startup, FullScreenFallsBackTo16BitsAndAFailedDisplayEndsTheProgram) {
  AtomicWriteFile(Dir.Path / "options.cfg", "[Options]\r\nFullScreenMode=1\r\nBitsPerPixel=24\r\n");
  {
    TShell& s = Make();
    s.FormCreate(true);
    s.FormActivate();
    ASSERT_TRUE(Display->IsOpen());
    EXPECT_TRUE(Display->FullScreen());
    EXPECT_EQ(Display->PixelFormat(), kFormatRGB565);
    EXPECT_EQ(s.Engine.PixelFormat, kFormatRGB565);
    EXPECT_FALSE(s.Failed);
  }
  // A display that refuses every mode: the stage logs it and the program ends.
  TShell& s = Make();
  s.FormCreate(true);
  s.Display = std::make_unique<THeadlessDisplay>(TPixelFormat{24, 0xFF0000, 0xFF00, 0xFF});
  AtomicWriteFile(Dir.Path / "options.cfg", "[Options]\r\nFullScreenMode=0\r\n");
  s.Settings.FullScreenMode = 0;
  testing::internal::CaptureStderr();
  s.FormActivate();
  const std::string errors = testing::internal::GetCapturedStderr();
  EXPECT_TRUE(s.Failed);
  EXPECT_TRUE(s.Closing);
  const std::vector<std::string> m = Messages(LogLines(Dir.Path));
  EXPECT_NE(IndexOf(m, "Error in init DirectX mode FullScreen=0"), std::string::npos);
  // In a window too, the display's own reason is in the log and on stderr.
  EXPECT_NE(IndexOf(m, "Unsupported pixel format"), std::string::npos);
  EXPECT_EQ(errors, "Quorvane: Unsupported pixel format\n");
  EXPECT_EQ(IndexOf(m, "Game Started..."), std::string::npos);
}

TEST_F(Startup, ExitStatusTellsAFailedStartFromAQuit) {
  {
    TShell& s = Make();
    Events->Push(TInputEvent{TEventKind::Quit});
    EXPECT_EQ(s.Run(), 0);
    const std::vector<std::string> m = Messages(LogLines(Dir.Path));
    ASSERT_FALSE(m.empty());
    EXPECT_EQ(m.back().rfind("Average FPS: ", 0), 0u);
  }
  {
    // A second stage that fails: a quit asked for before the pass that
    // ends on the error does not make the failed start a success.
    const std::vector<uint8_t> picture = ReadWholeFile(Dir.Path / "loading.jpg");
    AtomicWriteFile(Dir.Path / "loading.jpg", picture.data(), picture.size() / 3);
    TShell& s = Make();
    Events->Push(TInputEvent{TEventKind::Quit});
    EXPECT_EQ(s.Run(), 1);
    AtomicWriteFile(Dir.Path / "loading.jpg", picture.data(), picture.size());
  }
  // A shipped archive cut short, with a broken header, or none: the first
  // start stops and names it.
  const std::filesystem::path shipped = Dir.Path / "game.zxc";
  std::vector<uint8_t> bytes = ReadWholeFile(shipped);
  std::filesystem::remove_all(Dir.Path / "temp");
  for (const char* damage : {"(wrong file size)", "(broked label)"}) {
    AtomicWriteFile(shipped, bytes.data(), bytes.size() / 2);
    bytes[0] ^= 0xFF;
    EXPECT_EQ(Make().Run(), 1);
    EXPECT_TRUE(HasLine(Messages(LogLines(Dir.Path)), {damage, shipped.string()})) << damage;
  }
  std::filesystem::remove(shipped);
  EXPECT_EQ(Make().Run(), 1);
  EXPECT_TRUE(HasLine(Messages(LogLines(Dir.Path)), {"Can not find file", shipped.string()}));
}

}  // namespace
}  // namespace qv::test
