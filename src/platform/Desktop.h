// What the game asks of the desktop besides its window: an error box, opening
// a link with the desktop's default program, keeping the screen saver away
// while the game has focus, and hiding the system's pointer (the game draws
// its own). The headless desktop only reports what it was asked to do.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace qv {

class IDesktop {
 public:
  virtual ~IDesktop() = default;
  // Receives one line per request worth keeping (the shell passes them to its
  // log): every error box with its whole text, and a box that could not be shown.
  std::function<void(const std::string&)> Report;

  // A modal box with one OK button (Enter and Escape press it) that shows
  // ErrorBoxText of the text.
  virtual void ShowErrorBox(const std::string& caption, const std::string& text) = 0;
  // Opens an address or a file (an Internet shortcut opens its address).
  // False when nothing could be opened.
  virtual bool OpenLink(const std::string& target) = 0;
  virtual void SuppressScreenSaver(bool suppress) = 0;
  virtual void ShowSystemCursor(bool show) = 0;
};

// What a link opens: for an Internet-shortcut file (".url") the text after
// "URL=" on its first such line; for another existing file its "file://"
// address; anything else (an address) as it is. Empty when a shortcut has
// no address line.
std::string ResolveLink(const std::string& target);
// The address line of a shortcut file's text; empty when there is none.
std::string ShortcutAddress(std::string_view text);

// The error box's text broken into lines of at most `columns` characters
// (UTF-8 code points): at blanks, which the break drops; else, in a path,
// after a "/"; else anywhere. Line breaks of the text (LF, CR LF or a CR
// alone) stay, as LF.
std::string BreakLines(std::string_view text, size_t columns);
// Lines this long keep the error box inside an 800-pixel screen.
inline constexpr size_t kErrorBoxColumns = 60;
// So many lines keep its OK button on a 600-pixel screen.
inline constexpr size_t kErrorBoxLines = 20;
// What the error box shows of a text: its broken lines, at most
// kErrorBoxLines of them. A longer text shows its first lines, a line ending
// in "…" and its last line that is not empty, which often gives the reason.
std::string ErrorBoxText(std::string_view text);

// Reports every request, error boxes and links, and keeps it in Requests.
class THeadlessDesktop : public IDesktop {
 public:
  std::vector<std::string> Requests;

  void ShowErrorBox(const std::string& caption, const std::string& text) override;
  bool OpenLink(const std::string& target) override;
  void SuppressScreenSaver(bool suppress) override;
  void ShowSystemCursor(bool show) override;

 private:
  void Say(const std::string& line);
};

std::unique_ptr<IDesktop> CreateSdlDesktop();
// Headless when QUORVANE_VIDEO is "headless", else SDL.
std::unique_ptr<IDesktop> CreateDesktop();

}  // namespace qv
