#include "platform/Clipboard.h"

#include <SDL.h>

#include <memory>

namespace qv {

bool SetClipboardText(std::string_view text) {
  if (SDL_WasInit(SDL_INIT_VIDEO) == 0) return false;
  const std::string copy(text.substr(0, text.find('\0')));
  return SDL_SetClipboardText(copy.c_str()) == 0;
}

bool GetClipboardText(std::string& text) {
  if (SDL_WasInit(SDL_INIT_VIDEO) == 0 || SDL_HasClipboardText() != SDL_TRUE) return false;
  std::unique_ptr<char, decltype(&SDL_free)> held(SDL_GetClipboardText(), &SDL_free);
  if (!held || *held == '\0') return false;
  text = held.get();
  return true;
}

}  // namespace qv
