#include "foundation/Files.h"

#include <algorithm>
#include <cerrno>
#include <system_error>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "foundation/QelException.h"
#include "foundation/StrUtils.h"
#include "platform/FileReplace.h"

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

std::string FileErrorText(std::string_view what, const fs::path& path, int error) {
  return "Cannot " + std::string(what) + " file \"" + path.string() + "\": " + std::generic_category().message(error);
}

std::vector<uint8_t> ReadWholeFile(const fs::path& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) throw EInOutError(FileErrorText("open", path, errno));
  struct Closer {
    int fd;
    ~Closer() { ::close(fd); }
  } closer{fd};
  struct stat st{};
  if (::fstat(fd, &st) != 0) throw EInOutError(FileErrorText("read", path, errno));
  if (S_ISDIR(st.st_mode)) throw EInOutError(FileErrorText("read", path, EISDIR));
  std::vector<uint8_t> bytes(static_cast<size_t>(st.st_size));
  size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::read(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) throw EInOutError(FileErrorText("read", path, errno));
    if (n == 0) break;  // the file shrank while it was read
    done += static_cast<size_t>(n);
  }
  bytes.resize(done);
  return bytes;
}

void AtomicWriteFile(const fs::path& path, const void* data, size_t size) {
  if (const std::error_code ec = ReplaceFileContents(path, data, size))
    throw EInOutError(FileErrorText("write", path, ec.value()));
}

void AtomicWriteFile(const fs::path& path, std::string_view text) { AtomicWriteFile(path, text.data(), text.size()); }

}  // namespace qv
