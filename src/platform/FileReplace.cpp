#include "platform/FileReplace.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace qv {

namespace {

// The writer's process id when the name is "<target>.tmp<pid>_<n>", else 0.
pid_t TemporaryOwner(std::string_view name, std::string_view target) {
  std::string prefix = std::string(target) + ".tmp";
  if (name.size() <= prefix.size() || name.substr(0, prefix.size()) != prefix) return 0;
  std::string_view rest = name.substr(prefix.size());
  size_t cut = rest.find('_');
  if (cut == 0 || cut == std::string_view::npos || cut + 1 == rest.size()) return 0;
  auto digits = [](std::string_view t) {
    return std::all_of(t.begin(), t.end(), [](char c) { return c >= '0' && c <= '9'; });
  };
  if (cut > 9 || !digits(rest.substr(0, cut)) || !digits(rest.substr(cut + 1))) return 0;
  return static_cast<pid_t>(std::stol(std::string(rest.substr(0, cut))));
}

// Temporaries of live writers (another process writing the same target) stay.
void RemoveStaleTemporaries(const fs::path& path) {
  const std::string target = path.filename().string();
  fs::path folder = path.parent_path();
  if (folder.empty()) folder = ".";
  std::error_code ec;
  fs::directory_iterator it(folder, ec), end;
  if (ec) return;
  std::vector<fs::path> stale;
  for (; it != end; it.increment(ec)) {
    if (ec) break;
    pid_t owner = TemporaryOwner(it->path().filename().string(), target);
    if (owner <= 0 || owner == ::getpid()) continue;
    if (::kill(owner, 0) == 0 || errno != ESRCH) continue;
    stale.push_back(it->path());
  }
  for (const auto& p : stale) fs::remove(p, ec);
}

}  // namespace

std::error_code ReplaceFileContents(const fs::path& path, const void* data, size_t size) {
  static std::atomic<int> counter{0};
  RemoveStaleTemporaries(path);
  fs::path tmp = path;
  tmp += ".tmp" + std::to_string(::getpid()) + "_" + std::to_string(++counter);
  int fd = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) return std::error_code(errno, std::generic_category());
  const char* p = static_cast<const char*>(data);
  size_t left = size;
  int error = 0;  // the first failure is the reason
  while (left > 0) {
    ssize_t n = ::write(fd, p, left);
    if (n < 0) {
      if (errno == EINTR) continue;
      error = errno;
      break;
    }
    p += n;
    left -= static_cast<size_t>(n);
  }
  // A full disk may only show when the data reaches it.
  if (error == 0 && ::fsync(fd) != 0) error = errno;
  if (::close(fd) != 0 && error == 0) error = errno;
  if (error == 0 && std::rename(tmp.c_str(), path.c_str()) == 0) return {};
  if (error == 0) error = errno;
  std::error_code ec;
  fs::remove(tmp, ec);
  return std::error_code(error, std::generic_category());
}

}  // namespace qv
