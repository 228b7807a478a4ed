#include "platform/SdlQueueProbe.h"

#include <SDL.h>

namespace qv {

namespace {

struct TKindOfType {
  TEventKind Kind;
  Uint32 Type;
};

constexpr TKindOfType kKinds[] = {
    {TEventKind::KeyDown, SDL_KEYDOWN},           {TEventKind::KeyUp, SDL_KEYUP},
    {TEventKind::KeyPress, SDL_TEXTINPUT},        {TEventKind::MouseDown, SDL_MOUSEBUTTONDOWN},
    {TEventKind::MouseUp, SDL_MOUSEBUTTONUP},     {TEventKind::MouseMove, SDL_MOUSEMOTION},
    {TEventKind::MouseWheel, SDL_MOUSEWHEEL},     {TEventKind::FocusGained, SDL_WINDOWEVENT},
    {TEventKind::Activate, SDL_USEREVENT},        {TEventKind::Quit, SDL_QUIT},
};

}  // namespace

TSdlQueueProbe::TSdlQueueProbe() {
  started_ = SDL_InitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS) == 0;
  if (!started_) {
    error_ = SDL_GetError();
    return;
  }
  SDL_PumpEvents();
  SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
}

TSdlQueueProbe::~TSdlQueueProbe() {
  if (started_) SDL_QuitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS);
}

std::string TSdlQueueProbe::Driver() const {
  const char* driver = started_ ? SDL_GetCurrentVideoDriver() : nullptr;
  return driver ? driver : "";
}

bool TSdlQueueProbe::Push(TEventKind kind) {
  for (const TKindOfType& k : kKinds) {
    if (k.Kind != kind) continue;
    SDL_Event e{};
    e.type = k.Type;
    if (k.Type == SDL_WINDOWEVENT) e.window.event = SDL_WINDOWEVENT_FOCUS_GAINED;
    if (k.Type == SDL_TEXTINPUT) e.text.text[0] = 'a';
    if (k.Type == SDL_MOUSEWHEEL) e.wheel.y = 1;
    return SDL_PushEvent(&e) == 1;
  }
  return false;
}

std::vector<TEventKind> TSdlQueueProbe::Queued() const {
  SDL_Event events[64];
  const int count = SDL_PeepEvents(events, 64, SDL_PEEKEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT);
  std::vector<TEventKind> kinds;
  for (int i = 0; i < count; ++i) {
    const Uint32 type = events[i].type >= SDL_USEREVENT ? Uint32(SDL_USEREVENT) : events[i].type;
    for (const TKindOfType& k : kKinds)
      if (k.Type == type) kinds.push_back(k.Kind);
  }
  return kinds;
}

}  // namespace qv
