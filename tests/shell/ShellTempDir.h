// A fresh folder per test, removed afterwards.
#pragma once

#include <filesystem>
#include <string>

#include <unistd.h>

namespace qv::test {

class TempDir {
 public:
  explicit TempDir(const std::string& tag) {
    static int counter = 0;
    Path = std::filesystem::temp_directory_path() /
           ("quorvane-shell-" + tag + "-" + std::to_string(::getpid()) + "-" + std::to_string(++counter));
    std::filesystem::remove_all(Path);
    std::filesystem::create_directories(Path);
  }
  ~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(Path, ec);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  std::filesystem::path Path;
};

}  // namespace qv::test
