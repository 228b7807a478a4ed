#include "platform/Desktop.h"

#include <SDL.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

#include "platform/Events.h"

namespace qv {

namespace {

bool HasUrlExtension(const std::string& target) {
  if (target.size() < 4) return false;
  std::string ext = target.substr(target.size() - 4);
  for (char& c : ext) c = char(std::tolower(static_cast<unsigned char>(c)));
  return ext == ".url";
}

std::string ErrorBoxLine(const std::string& caption, const std::string& text) {
  return "Error box \"" + caption + "\": " + text;
}

class TSdlDesktop : public IDesktop {
 public:
  void ShowErrorBox(const std::string& caption, const std::string& text) override {
    // The log keeps the whole text, the box what fits on the screen: it
    // grows with its text and neither wraps nor scrolls.
    if (Report) Report(ErrorBoxLine(caption, text));
    const std::string shown = ErrorBoxText(text);
    SDL_MessageBoxButtonData ok{};
    ok.flags = SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT | SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT;
    ok.text = "OK";
    SDL_MessageBoxData box{};
    box.flags = SDL_MESSAGEBOX_ERROR;
    // The game opens one window; while it has the focus the box belongs to
    // it and stays above it.
    if (SDL_WasInit(SDL_INIT_VIDEO)) box.window = SDL_GetKeyboardFocus();
    box.title = caption.c_str();
    box.message = shown.c_str();
    box.numbuttons = 1;
    box.buttons = &ok;
    int pressed = 0;
    // A box that the window system refused is as good as closed: the game goes on.
    if (SDL_ShowMessageBox(&box, &pressed) != 0 && Report)
      Report(std::string("Error box not shown: ") + SDL_GetError());
    // Clicks and keys that went to the game's window while the box was up (a
    // second click on Load, an Enter meant for a box without the focus) would
    // act once it is gone, and open the box again.
    DropQueuedInput();
  }
  bool OpenLink(const std::string& target) override {
    const std::string url = ResolveLink(target);
    return !url.empty() && SDL_OpenURL(url.c_str()) == 0;
  }
  // Both need the window system; before the window exists they do nothing
  // (the shell asks again once the display is open).
  void SuppressScreenSaver(bool suppress) override {
    if (!SDL_WasInit(SDL_INIT_VIDEO)) return;
    if (suppress)
      SDL_DisableScreenSaver();
    else
      SDL_EnableScreenSaver();
  }
  void ShowSystemCursor(bool show) override {
    if (SDL_WasInit(SDL_INIT_VIDEO)) SDL_ShowCursor(show ? SDL_ENABLE : SDL_DISABLE);
  }
};

}  // namespace

std::string BreakLines(std::string_view text, size_t columns) {
  if (columns == 0) return std::string(text);
  std::string out;
  out.reserve(text.size() + text.size() / columns + 1);
  std::vector<size_t> at;  // where each character of the line starts: a break never falls inside one
  size_t start = 0;
  for (;;) {
    size_t end = text.find_first_of("\r\n", start);
    if (end == std::string_view::npos) end = text.size();
    const std::string_view line = text.substr(start, end - start);
    at.clear();
    for (size_t i = 0; i < line.size(); ++i)
      if ((static_cast<unsigned char>(line[i]) & 0xC0) != 0x80) at.push_back(i);
    at.push_back(line.size());
    // The line's rest starts at character `first`; each piece looks back at
    // most `columns` characters, so the whole line costs its length.
    size_t first = 0;
    while (at.size() - 1 - first > columns) {
      const size_t from = at[first];
      size_t cut = 0, next = 0;
      for (size_t k = columns; k > 0 && cut == 0; --k)
        if (line[at[first + k]] == ' ' && line[at[first + k] - 1] != ' ') {
          cut = next = at[first + k];
          while (next < line.size() && line[next] == ' ') ++next;
        }
      // A path without blanks breaks after a "/".
      for (size_t k = columns - 1; k > 0 && cut == 0; --k)
        if (line[at[first + k]] == '/') cut = next = at[first + k] + 1;
      if (cut == 0) cut = next = at[first + columns];
      out.append(line.substr(from, cut - from)).push_back('\n');
      while (at[first] < next) ++first;
    }
    out.append(line.substr(at[first]));
    if (end == text.size()) return out;
    out.push_back('\n');
    // A CRLF pair is one line break, and so are a CR and an LF alone.
    start = end + (text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n' ? 2 : 1);
  }
}

std::string ErrorBoxText(std::string_view text) {
  std::string lines = BreakLines(text, kErrorBoxColumns);
  // Where the first 21 lines start.
  std::vector<size_t> starts{0};
  for (size_t at; starts.size() <= kErrorBoxLines && (at = lines.find('\n', starts.back())) != std::string::npos;)
    starts.push_back(at + 1);
  // The text fits when only an empty line follows its 20th.
  if (starts.size() <= kErrorBoxLines || starts.back() == lines.size()) return lines;
  // The last line that is not empty often gives the reason (" is not a valid
  // integer value"): it closes the box. Only empty lines after the 20th
  // leave nothing to cut.
  const size_t end = lines.find_last_not_of('\n') + 1;
  const size_t tail = end == 0 ? 0 : lines.rfind('\n', end - 1) + 1;
  if (tail < starts[kErrorBoxLines]) return lines.substr(0, end);
  const std::string last = lines.substr(tail, end - tail);
  // The line before it ends in "…", which takes a column of its own.
  const size_t from = starts[kErrorBoxLines - 2];
  lines.resize(starts[kErrorBoxLines - 1] - 1);
  size_t columns = 0;
  for (size_t i = from; i < lines.size(); ++i)
    if ((static_cast<unsigned char>(lines[i]) & 0xC0) != 0x80) ++columns;
  for (; columns >= kErrorBoxColumns; --columns) {
    while ((static_cast<unsigned char>(lines.back()) & 0xC0) == 0x80) lines.pop_back();
    lines.pop_back();
  }
  return lines + "\xE2\x80\xA6\n" + last;
}

std::string ShortcutAddress(std::string_view text) {
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(start, end - start);
    while (!line.empty() && (line.back() == '\r' || line.back() == ' ' || line.back() == '\t')) line.remove_suffix(1);
    while (!line.empty() && (line.front() == ' ' || line.front() == '\t')) line.remove_prefix(1);
    if (line.size() > 4 && (line.substr(0, 4) == "URL=" || line.substr(0, 4) == "url=")) return std::string(line.substr(4));
    start = end + 1;
  }
  return {};
}

std::string ResolveLink(const std::string& target) {
  std::error_code ec;
  if (HasUrlExtension(target) && std::filesystem::is_regular_file(target, ec)) {
    std::ifstream in(target, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return ShortcutAddress(text.str());
  }
  if (std::filesystem::is_regular_file(target, ec))
    return "file://" + std::filesystem::absolute(target, ec).string();
  return target;
}

void THeadlessDesktop::Say(const std::string& line) {
  Requests.push_back(line);
  if (Report) Report(line);
}

void THeadlessDesktop::ShowErrorBox(const std::string& caption, const std::string& text) {
  Say(ErrorBoxLine(caption, text));
}

bool THeadlessDesktop::OpenLink(const std::string& target) {
  const std::string url = ResolveLink(target);
  Say("Open link: " + (url.empty() ? target : url));
  return !url.empty();
}

void THeadlessDesktop::SuppressScreenSaver(bool suppress) {
  Requests.push_back(suppress ? "Screen saver off" : "Screen saver on");
}

void THeadlessDesktop::ShowSystemCursor(bool show) {
  Requests.push_back(show ? "System cursor shown" : "System cursor hidden");
}

std::unique_ptr<IDesktop> CreateSdlDesktop() { return std::make_unique<TSdlDesktop>(); }

std::unique_ptr<IDesktop> CreateDesktop() {
  const char* video = std::getenv("QUORVANE_VIDEO");
  if (video && std::string_view(video) == "headless") return std::make_unique<THeadlessDesktop>();
  return std::make_unique<TSdlDesktop>();
}

}  // namespace qv
