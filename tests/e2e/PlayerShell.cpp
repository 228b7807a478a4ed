#include "e2e/PlayerShell.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "foundation/Files.h"
#include "foundation/Random.h"
#include "foundation/StrUtils.h"
#include "graphics/PictureCodec.h"
#include "shell/InterfaceBridge.h"
#include "shell/HeadlessParts.h"
#include "shell/ShellLog.h"
#include "ui/QelGrid.h"

namespace qv::test {

namespace fs = std::filesystem;

ProgramFolder::ProgramFolder(const std::string& tag) {
  static int counter = 0;
  Path = fs::temp_directory_path() /
         ("quorvane-e2e-" + tag + "-" + std::to_string(::getpid()) + "-" + std::to_string(++counter));
  fs::remove_all(Path);
  fs::create_directories(Path);
  const fs::path program = QUORVANE_PROGRAM_DIR;
  for (const fs::directory_entry& e : fs::directory_iterator(program)) {
    const std::string name = e.path().filename().string();
    // Only what an installation holds: no executables of the build, no
    // state of an earlier run.
    if (name == "temp" || name == "saves" || name == "options.cfg" || name == "HighScores.dat" ||
        name == kLogFileName || (e.is_regular_file() && (e.status().permissions() & fs::perms::owner_exec) != fs::perms::none))
      continue;
    fs::copy(e.path(), Path / name, fs::copy_options::recursive);
  }
}

ProgramFolder::~ProgramFolder() {
  std::error_code ec;
  fs::remove_all(Path, ec);
}

PlayerShell::PlayerShell(const fs::path& folder, uint32_t seed) : Folder(folder) {
  test::HeadlessParts headless(folder);
  Display = headless.Display;
  Events = headless.Events;
  SetClock(&Clock);
  Shell = std::make_unique<TShell>(std::move(headless.Parts));
  // The program's own start: both stages, then the window gets the focus.
  Shell->FormCreate(true);
  RandSeed(seed);
  Shell->FormActivate();
  Push(TInputEvent{TEventKind::FocusGained});
  Frames(3);
}

PlayerShell::~PlayerShell() {
  Shell->FormDestroy();
  Shell.reset();
  SetClock(nullptr);
}

void PlayerShell::Push(const TInputEvent& event) { Events->Push(event); }

void PlayerShell::Frames(int count, int32_t ms) {
  for (int i = 0; i < count && !Shell->Closing; ++i) {
    Clock.Advance(ms);
    Shell->Step();
  }
}

void PlayerShell::Move(int32_t x, int32_t y) {
  TInputEvent e{TEventKind::MouseMove};
  e.X = mouseX_ = x;
  e.Y = mouseY_ = y;
  Push(e);
  Frames(1);
}

void PlayerShell::Click(int32_t x, int32_t y, int button) {
  // The move and the press arrive in one turn of the loop, as a quick hand
  // gives them: a moving card is still where it was seen.
  TInputEvent move{TEventKind::MouseMove};
  move.X = mouseX_ = x;
  move.Y = mouseY_ = y;
  Push(move);
  TInputEvent down{TEventKind::MouseDown};
  down.X = x;
  down.Y = y;
  down.Button = button;
  down.Shift = button == 1 ? kRightButton : kLeftButton;
  Push(down);
  Frames(1);
  TInputEvent up{TEventKind::MouseUp};
  up.X = x;
  up.Y = y;
  up.Button = button;
  Push(up);
  Frames(1);
}

TRect PlayerShell::WidgetRect(const std::string& name) {
  auto* bridge = dynamic_cast<TInterfaceBridge*>(Shell->UI.get());
  if (!bridge) return {};
  const TQelInterfaceObject* w = bridge->Interface.FindWidget(name);
  return w ? w->Bounds() : TRect{};
}

std::string PlayerShell::WindowOf(const std::string& name) {
  auto* bridge = dynamic_cast<TInterfaceBridge*>(Shell->UI.get());
  if (!bridge) return {};
  const TQelObject* o = bridge->Interface.FindWidget(name);
  std::string window;
  for (; o && dynamic_cast<const TQelInterfaceObject*>(o); o = o->Parent()) window = o->Name();
  return window;
}

bool PlayerShell::Shown(const std::string& name) {
  auto* bridge = dynamic_cast<TInterfaceBridge*>(Shell->UI.get());
  if (!bridge) return false;
  const TQelObject* o = bridge->Interface.FindWidget(name);
  if (!o) return false;
  for (; o; o = o->Parent()) {
    const auto* w = dynamic_cast<const TQelInterfaceObject*>(o);
    if (!w) break;
    if (!w->Visible) return false;
  }
  return true;
}

void PlayerShell::ClickWidgetAt(const std::string& name, int32_t dx, int32_t dy) {
  const TRect r = WidgetRect(name);
  ASSERT_GT(r.Width(), 0) << name << " is not a widget";
  ASSERT_TRUE(Shown(name)) << name << " is not shown";
  const std::string top = Top();
  ASSERT_EQ(WindowOf(name), top) << name << " is not on the window on top";
  Click(r.Left + dx, r.Top + dy);
}

void PlayerShell::ClickWidget(const std::string& name) {
  const TRect r = WidgetRect(name);
  ClickWidgetAt(name, r.Width() / 2, r.Height() / 2);
}

void PlayerShell::Key(uint16_t key, uint32_t shift) {
  TInputEvent down{TEventKind::KeyDown};
  down.Key = key;
  down.Shift = shift;
  Push(down);
  const char32_t c = ControlCharOf(key, shift);
  if (c != 0) {
    TInputEvent press{TEventKind::KeyPress};
    press.Char = c;
    Push(press);
  }
  TInputEvent up{TEventKind::KeyUp};
  up.Key = key;
  up.Shift = shift;
  Push(up);
  Frames(1);
}

void PlayerShell::Type(const std::string& text) {
  for (char16_t c : Utf8ToUtf16(text)) {
    TInputEvent press{TEventKind::KeyPress};
    press.Char = c;
    Push(press);
    Frames(1);
  }
}

void PlayerShell::FocusLost() {
  Push(TInputEvent{TEventKind::FocusLost});
  Frames(1);
}

void PlayerShell::FocusGained() {
  Push(TInputEvent{TEventKind::FocusGained});
  Frames(2);
}

void PlayerShell::Rest() { Move(4, 596); }

std::string PlayerShell::Top() { return Shell->UI->TopWindow(); }
int32_t PlayerShell::Mode() { return Shell->Game.Game.GameMode; }
std::string PlayerShell::Prop(const std::string& name, const char* prop) { return Shell->UI->GetProp(name, prop); }

std::vector<std::string> PlayerShell::GridTexts(const std::string& grid) {
  std::vector<std::string> texts;
  auto* bridge = dynamic_cast<TInterfaceBridge*>(Shell->UI.get());
  const auto* g = bridge ? dynamic_cast<const TQelGrid*>(bridge->Interface.FindWidget(grid)) : nullptr;
  if (g)
    for (const TCell& cell : g->Cells()) texts.push_back(Utf16ToUtf8(cell.Text));
  return texts;
}

std::vector<std::string> PlayerShell::NewLogLines() {
  std::vector<std::string> lines;
  std::ifstream in(Folder / kLogFileName);
  std::string line;
  size_t n = 0;
  while (std::getline(in, line)) {
    if (n++ < logLinesSeen_) continue;
    // "{m:s:ms} message": the time is not the test's business.
    const size_t close = line.find("} ");
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(close == std::string::npos ? line : line.substr(close + 2));
  }
  logLinesSeen_ = n;
  return lines;
}

bool PlayerShell::WriteScreenshot(const fs::path& png) const { return Display->WriteShownPNG(png); }

namespace {

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream buffer;
  buffer << in.rdbuf();
  return buffer.str();
}

}  // namespace

std::string CheckGolden(const PlayerShell& shell, const std::string& name) {
  const fs::path golden = fs::path(QUORVANE_FIXTURES) / "e2e" / "golden" / (name + ".png");
  const fs::path actual = fs::current_path() / (name + ".actual.png");
  if (shell.Display->LastFrame() == nullptr) return "nothing was shown";
  if (shell.Display->LastFrame()->Format().BitCount != 32) return "the display is not 32-bit";
  if (std::getenv("QUORVANE_REGEN_GOLDENS"))
    return shell.WriteScreenshot(golden) ? std::string() : "cannot write " + golden.string();
  if (!shell.WriteScreenshot(actual)) return "cannot write " + actual.string();
  const std::string want = ReadFile(golden);
  if (want.empty()) return "no golden " + golden.string() + " (run scripts/regen-goldens.sh)";
  const std::string got = ReadFile(actual);
  const TPngImage a = DecodePNG(reinterpret_cast<const uint8_t*>(got.data()), got.size());
  const TPngImage b = DecodePNG(reinterpret_cast<const uint8_t*>(want.data()), want.size());
  if (a.Width != b.Width || a.Height != b.Height) return "size differs from " + golden.string();
  int bad = 0;
  std::string first;
  for (int y = 0; y < a.Height; ++y)
    for (int x = 0; x < a.Width; ++x)
      for (int c = 0; c < 3; ++c)
        if (a.Row(y)[x * 3 + c] != b.Row(y)[x * 3 + c] && bad++ == 0)
          first = " first at (" + std::to_string(x) + ", " + std::to_string(y) + ")";
  if (bad == 0) {
    fs::remove(actual);
    return {};
  }
  return std::to_string(bad) + " channel values differ from " + golden.string() + "," + first + "; see " +
         actual.string();
}

}  // namespace qv::test
