// The control characters that keys type, and the addresses that links open.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include <unistd.h>

#include "platform/Desktop.h"
#include "platform/Events.h"

namespace qv {
namespace {

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
  // The box shows at most 20 lines of 60 columns; a text cut there ends in an ellipsis.
  EXPECT_EQ(ErrorBoxText("short\ntext"), "short\ntext");
  const std::string box = ErrorBoxText("TotalScore " + std::string(30000, '7'));
  ASSERT_TRUE(box.ends_with("\xE2\x80\xA6")) << box;
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
}

}  // namespace
}  // namespace qv
