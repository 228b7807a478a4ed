// The undamaged program folder the bad-content cases start from: the built
// folder with its working archive already made, shared by every test process
// of one build (made once, under a lock, again when the shipped archive changes).
#pragma once

#include <filesystem>
#include <fstream>
#include <string>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include "BadContentRunner.h"
#include "graphics/PNGMorf.h"

namespace qv::e2e {

inline const fs::path& BaseFolder() {
  static const fs::path base = [] {
    const fs::path program = QUORVANE_PROGRAM_DIR;
    const fs::path work = QUORVANE_E2E_WORK;
    const fs::path base = work / "base";
    fs::create_directories(work);
    const int lock = ::open((work / "base.lock").c_str(), O_RDWR | O_CREAT, 0644);
    ::flock(lock, LOCK_EX);
    const fs::path shipped = program / "game.zxc";
    const std::string stamp = std::to_string(fs::file_size(shipped)) + " " +
                              std::to_string(fs::last_write_time(shipped).time_since_epoch().count()) + " " +
                              std::to_string(fs::last_write_time(program / "quorvane").time_since_epoch().count());
    if (ReadText(base / "stamp") != stamp) {
      fs::remove_all(base);
      fs::create_directories(base);
      // Only what ships: no settings, scores, saves, log or working archive.
      for (const char* name : {"quorvane", "game.zxc", "GameParams.xml", "AddLogo.xml", "Ostrandel.url", "lng",
                               "loading.jpg", "ostrandel_logo.png", "ostrandel_logo_on.png"}) {
        std::error_code ec;
        fs::copy(program / name, base / name, fs::copy_options::recursive, ec);
      }
      // The working archive, made the way the program makes it on its first start.
      fs::create_directories(base / "temp");
      TPNGMorf morf(90);
      morf.Jobs.push_back("Source=\"" + (base / "game.zxc").string() + "\" Dest=\"" +
                          (base / "temp" / "game.zxc").string() + "\"");
      morf.Execute();
      std::ofstream(base / "stamp") << stamp;
    }
    ::flock(lock, LOCK_UN);
    ::close(lock);
    return base;
  }();
  return base;
}

}  // namespace qv::e2e
