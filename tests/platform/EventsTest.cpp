// The control characters that keys type, the input an error box drops, the
// addresses that links open and what the error box shows and logs.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include <unistd.h>

#include "platform/Desktop.h"
#include "platform/Events.h"
#include "platform/SdlQueueProbe.h"
#include "platform/ScopedEnv.h"

namespace qv {
namespace {

using test::ScopedEnv;

TEST(Events, ControlKeysTypeTheirCharacters) {
  EXPECT_EQ(ControlCharOf(vkBack, 0), 8u);
  EXPECT_EQ(ControlCharOf(vkReturn, 0), 13u);
  EXPECT_EQ(ControlCharOf(vkEscape, kShiftKey), 27u);
  // The edit field's clipboard keys.
  EXPECT_EQ(ControlCharOf('C', kCtrlKey), 3u);
  EXPECT_EQ(ControlCharOf('V', kCtrlKey | kShiftKey), 22u);
  EXPECT_EQ(ControlCharOf('C', 0), 0u) << "plain letters come as text input";
  EXPECT_EQ(ControlCharOf('C', kCtrlKey | kAltKey), 0u);
  EXPECT_EQ(ControlCharOf(vkSpace, kCtrlKey), 0u);
}

TEST(Events, HeadlessQueueDeliversInOrderAndTheActivationLast) {
  THeadlessEvents q;
  q.Push(TInputEvent{TEventKind::MouseMove, 3, 4});
  q.PostActivate();
  TInputEvent e;
  ASSERT_TRUE(q.Poll(e));
  EXPECT_EQ(e.Kind, TEventKind::MouseMove);
  ASSERT_TRUE(q.Poll(e));
  EXPECT_EQ(e.Kind, TEventKind::Activate);
  EXPECT_FALSE(q.Poll(e));
}

// The game's window gets clicks and keys while an error box runs its own
// loop; once the box is closed they are dropped, and the rest stays.
TEST(Events, InputQueuedBehindAnErrorBoxIsDropped) {
  const ScopedEnv driver("SDL_VIDEODRIVER", "dummy");
  TSdlQueueProbe sdl;
  ASSERT_TRUE(sdl.Valid()) << sdl.Error();
  using enum TEventKind;
  const std::vector<TEventKind> pushed = {KeyDown, MouseMove, MouseDown, Quit, MouseWheel,
                                          KeyPress, FocusGained, MouseUp, KeyUp, Activate};
  for (const TEventKind kind : pushed) ASSERT_TRUE(sdl.Push(kind));
  ASSERT_EQ(sdl.Queued(), pushed);
  DropQueuedInput();
  EXPECT_EQ(sdl.Queued(), (std::vector<TEventKind>{MouseMove, Quit, FocusGained, Activate}));
}

TEST(Desktop, LinksOpenTheShortcutsAddress) {
  EXPECT_EQ(ShortcutAddress("[InternetShortcut]\r\nURL=https://example.org/\r\n"), "https://example.org/");
  EXPECT_EQ(ShortcutAddress("[InternetShortcut]\nIconIndex=0\n  URL=http://a.b/c  \n"), "http://a.b/c");
  EXPECT_EQ(ShortcutAddress("[InternetShortcut]\n"), "");

  const auto dir = std::filesystem::temp_directory_path() / ("quorvane-links-" + std::to_string(::getpid()));
  std::filesystem::create_directories(dir);
  {
    std::ofstream(dir / "Maker.URL") << "[InternetShortcut]\r\nURL=https://example.org/\r\n";
    std::ofstream(dir / "notes.txt") << "x";
  }
  EXPECT_EQ(ResolveLink((dir / "Maker.URL").string()), "https://example.org/");
  EXPECT_EQ(ResolveLink((dir / "notes.txt").string()), "file://" + (dir / "notes.txt").string());
  EXPECT_EQ(ResolveLink("https://example.org/x"), "https://example.org/x");
  THeadlessDesktop desktop;
  std::vector<std::string> said;
  desktop.Report = [&](const std::string& line) { said.push_back(line); };
  EXPECT_TRUE(desktop.OpenLink((dir / "Maker.URL").string()));
  desktop.ShowErrorBox("Quorvane", "broken");
  EXPECT_EQ(said, (std::vector<std::string>{"Open link: https://example.org/", "Error box \"Quorvane\": broken"}));
  std::filesystem::remove_all(dir);
}

TEST(Desktop, LongErrorTextsBreakIntoLines) {
  EXPECT_EQ(BreakLines("one two  three four\nfive", 9), "one two\nthree\nfour\nfive");
  EXPECT_EQ(BreakLines("/home/ann/saves/Game.sav", 10), "/home/ann/\nsaves/\nGame.sav");
  EXPECT_EQ(BreakLines("abcdefghijkl", 5), "abcde\nfghij\nkl");
  EXPECT_EQ(BreakLines("\xC3\xA4\xC3\xA4\xC3\xA4", 2), "\xC3\xA4\xC3\xA4\n\xC3\xA4");
  // A word that fills the line exactly breaks at the blank after it.
  EXPECT_EQ(BreakLines("abcd efgh", 4), "abcd\nefgh");
  // CRLF is one line break: a full line before it leaves no line of its own.
  const std::string full(60, 'x');
  EXPECT_EQ(BreakLines(full + "\r\nnext\r\n", 60), full + "\nnext\n");
  // A CR alone breaks the line too.
  EXPECT_EQ(BreakLines("one\r\rtwo\r", 60), "one\n\ntwo\n");
  // The box shows at most 20 lines of 60 columns; a text cut there shows its
  // first 18, a 19th that ends in an ellipsis and its last line.
  EXPECT_EQ(ErrorBoxText("short\ntext"), "short\ntext");
  const auto lastTwoLines = [](const std::string& box) {
    size_t lines = 1, columns = 0;
    for (const char c : box) {
      if (c == '\n') {
        ++lines;
        columns = 0;
      } else if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) {
        EXPECT_LE(++columns, 60u) << box;
      }
    }
    EXPECT_LE(lines, 20u) << box;
    const size_t before = box.rfind('\n', box.rfind('\n') - 1) + 1;
    return box.substr(before);
  };
  const std::string box = ErrorBoxText("TotalScore " + std::string(30000, '7'));
  EXPECT_EQ(lastTwoLines(box), std::string(59, '7') + "\xE2\x80\xA6\n" + std::string(60, '7')) << box;
  // A number too long for a save still shows why it was refused, also when
  // the text ends in a line break.
  const std::string refused = "'" + std::string(30000, '7') + "' is not a valid integer value";
  const std::string reason = ErrorBoxText(refused);
  EXPECT_TRUE(lastTwoLines(reason).ends_with("\xE2\x80\xA6\n7' is not a valid integer value")) << reason;
  EXPECT_EQ(ErrorBoxText(refused + "\n"), reason);
  EXPECT_EQ(reason.substr(0, 18 * 61), BreakLines(refused, 60).substr(0, 18 * 61));
  // Empty lines after the 20th go without an ellipsis.
  std::string twenty(39, '\n');
  for (size_t i = 0; i < twenty.size(); i += 2) twenty[i] = 'x';
  EXPECT_EQ(ErrorBoxText(twenty + "\n\n\n"), twenty);
}

// Without a window system the SDL desktop cannot show its box: the log still
// gets the whole text, and why there is no box; input sent meanwhile is dropped.
TEST(Desktop, SdlDesktopLogsTheTextOfABoxItCannotShow) {
  const ScopedEnv driver("SDL_VIDEODRIVER", "dummy"), x11("DISPLAY", nullptr), wayland("WAYLAND_DISPLAY", nullptr);
  TSdlQueueProbe sdl;
  ASSERT_TRUE(sdl.Valid()) << sdl.Error();
  const auto desktop = CreateSdlDesktop();
  std::vector<std::string> said;
  desktop->Report = [&](const std::string& line) { said.push_back(line); };
  const std::string text = "'" + std::string(3000, '7') + "' is not a valid integer value";
  ASSERT_TRUE(sdl.Push(TEventKind::KeyDown));
  desktop->ShowErrorBox("Quorvane", text);
  EXPECT_TRUE(sdl.Queued().empty());
  ASSERT_EQ(said.size(), 2u);
  EXPECT_EQ(said[0], "Error box \"Quorvane\": " + text);
  EXPECT_TRUE(said[1].starts_with("Error box not shown: ")) << said[1];
}

}  // namespace
}  // namespace qv
