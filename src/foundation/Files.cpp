#include "foundation/Files.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <fstream>
#include <system_error>

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include "foundation/QelException.h"
#include "foundation/StrUtils.h"

namespace fs = std::filesystem;

namespace qv {

std::string NormalizePath(std::string_view path) {
  std::string out(path);
  std::replace(out.begin(), out.end(), '\\', '/');
  return out;
}

namespace {

std::vector<std::string> SplitComponents(std::string_view relative) {
  std::vector<std::string> parts;
  std::string cur;
  for (char c : relative) {
    if (c == '/' || c == '\\') {
      if (!cur.empty()) parts.push_back(cur);
      cur.clear();
    } else {
      cur.push_back(c);
    }
  }
  if (!cur.empty()) parts.push_back(cur);
  return parts;
}

}  // namespace

std::optional<fs::path> FindFileNoCase(const fs::path& folder, std::string_view relative) {
  auto parts = SplitComponents(relative);
  if (parts.empty()) return std::nullopt;
  fs::path cur = folder;
  for (const auto& part : parts) {
    std::error_code ec;
    if (part == "." || part == "..") {
      cur /= part;
      continue;
    }
    if (fs::exists(cur / part, ec)) {
      cur /= part;
      continue;
    }
    std::optional<fs::path> found;
    for (const auto& name : ListDirectory(cur)) {
      if (SameTextAscii(name, part)) {
        found = cur / name;
        break;
      }
    }
    if (!found) return std::nullopt;
    cur = *found;
  }
  return cur;
}

fs::path ResolveNoCase(const fs::path& folder, std::string_view relative) {
  if (auto found = FindFileNoCase(folder, relative)) return *found;
  fs::path out = folder;
  for (const auto& part : SplitComponents(relative)) out /= part;
  return out;
}

std::vector<std::string> ListDirectory(const fs::path& folder, std::string_view extension) {
  std::vector<std::string> names;
  std::error_code ec;
  fs::directory_iterator it(folder, ec), end;
  if (ec) return names;
  for (; it != end; it.increment(ec)) {
    if (ec) break;
    std::string name = it->path().filename().string();
    if (!extension.empty()) {
      std::error_code ec2;
      if (!it->is_regular_file(ec2)) continue;
      if (name.size() < extension.size() ||
          !SameTextAscii(std::string_view(name).substr(name.size() - extension.size()), extension))
        continue;
    }
    names.push_back(std::move(name));
  }
  std::sort(names.begin(), names.end());
  return names;
}

std::vector<uint8_t> ReadWholeFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw EInOutError("Cannot open file \"" + path.string() + "\"");
  in.seekg(0, std::ios::end);
  auto size = in.tellg();
  if (size < 0) throw EInOutError("Cannot read file \"" + path.string() + "\"");
  in.seekg(0, std::ios::beg);
  std::vector<uint8_t> bytes(static_cast<size_t>(size));
  if (size > 0 && !in.read(reinterpret_cast<char*>(bytes.data()), size))
    throw EInOutError("Cannot read file \"" + path.string() + "\"");
  return bytes;
}

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

// A writer killed mid-write leaves its temporary behind; the next write of the
// same target removes those whose process is gone, so they never pile up.
// Temporaries of live writers (another process writing the same target) stay.
void RemoveStaleTemporaries(const fs::path& path) {
  const std::string target = path.filename().string();
  fs::path folder = path.parent_path();
  if (folder.empty()) folder = ".";
  for (const auto& name : ListDirectory(folder)) {
    pid_t owner = TemporaryOwner(name, target);
    if (owner <= 0 || owner == ::getpid()) continue;
    if (::kill(owner, 0) == 0 || errno != ESRCH) continue;
    std::error_code ec;
    fs::remove(folder / name, ec);
  }
}

}  // namespace

void AtomicWriteFile(const fs::path& path, const void* data, size_t size) {
  static std::atomic<int> counter{0};
  RemoveStaleTemporaries(path);
  fs::path tmp = path;
  tmp += ".tmp" + std::to_string(::getpid()) + "_" + std::to_string(++counter);
  int fd = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) throw EInOutError("Cannot create file \"" + path.string() + "\"");
  const char* p = static_cast<const char*>(data);
  size_t left = size;
  bool ok = true;
  while (left > 0) {
    ssize_t n = ::write(fd, p, left);
    if (n < 0) {
      if (errno == EINTR) continue;
      ok = false;
      break;
    }
    p += n;
    left -= static_cast<size_t>(n);
  }
  if (ok && ::fsync(fd) != 0) ok = false;
  if (::close(fd) != 0) ok = false;
  if (!ok || std::rename(tmp.c_str(), path.c_str()) != 0) {
    std::error_code ec;
    fs::remove(tmp, ec);
    throw EInOutError("Cannot write file \"" + path.string() + "\"");
  }
}

void AtomicWriteFile(const fs::path& path, std::string_view text) { AtomicWriteFile(path, text.data(), text.size()); }

}  // namespace qv
