// The parts of a real shell on a program folder as the tests run it: the
// headless display and event queue, no audio device, and the per-user store
// in the folder's "config", so no test touches the player's own settings.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <memory>

#include "platform/Events.h"
#include "platform/HeadlessDisplay.h"
#include "shell/Shell.h"

namespace qv::test {

struct HeadlessParts {
  explicit HeadlessParts(const std::filesystem::path& folder) {
    std::filesystem::create_directories(folder / "config");
    setenv("XDG_CONFIG_HOME", (folder / "config").c_str(), 1);
    setenv("QUORVANE_VIDEO", "headless", 1);
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    Parts.ProgramFolder = folder;
    auto display = std::make_unique<THeadlessDisplay>();
    Display = display.get();
    Parts.Display = std::move(display);
    auto events = std::make_unique<THeadlessEvents>();
    Events = events.get();
    Parts.Events = std::move(events);
    Parts.OpenAudio = false;
  }

  TShellParts Parts;
  // Owned by the shell once Parts is handed to it.
  THeadlessDisplay* Display = nullptr;
  THeadlessEvents* Events = nullptr;
};

}  // namespace qv::test
