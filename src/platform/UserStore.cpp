#include "platform/UserStore.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <system_error>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/FileReplace.h"

namespace fs = std::filesystem;

namespace qv {

namespace {

// The first line of every store file; anything else is a damaged file.
constexpr std::string_view kHeader = "QuorvaneUserStore 1";
constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

char LowerChar(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

// Backslash, line breaks, "=" and brackets would change how a line reads, so they are escaped.
std::string Escape(std::string_view s) {
  std::string out;
  for (char c : s) {
    switch (c) {
      case '\\': out += "\\\\"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '=': out += "\\e"; break;
      case '[': out += "\\o"; break;
      case ']': out += "\\c"; break;
      default: out += c;
    }
  }
  return out;
}

std::optional<std::string> Unescape(std::string_view s) {
  std::string out;
  for (size_t i = 0; i < s.size(); ++i) {
    if (s[i] != '\\') {
      out += s[i];
      continue;
    }
    if (++i >= s.size()) return std::nullopt;
    switch (s[i]) {
      case '\\': out += '\\'; break;
      case 'n': out += '\n'; break;
      case 'r': out += '\r'; break;
      case 'e': out += '='; break;
      case 'o': out += '['; break;
      case 'c': out += ']'; break;
      default: return std::nullopt;
    }
  }
  return out;
}

// A store is a few short lines; a file far larger is not one, and reading
// it whole would only cost time and memory.
constexpr size_t kMaxStoreBytes = 1 << 20;

// The file's bytes; nothing when it is missing or cannot be read, with the
// reason in `why` for a file that is there but is no readable store file (a
// folder, a pipe, a broken link, no permission, far too large). Only a
// regular file is read: it is opened without waiting, so a pipe in its place
// cannot block the start, and checked once open.
std::optional<std::string> ReadFile(const fs::path& file, std::string* why = nullptr) {
  auto fail = [why](const std::string& reason) -> std::optional<std::string> {
    if (why != nullptr) *why = reason;
    return std::nullopt;
  };
  const int fd = ::open(file.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    const int error = errno;
    struct stat link {};
    if (error == ENOENT && ::lstat(file.c_str(), &link) == 0 && S_ISLNK(link.st_mode))
      return fail("a broken symbolic link");
    if (error == ENOENT) return std::nullopt;
    return fail(std::strerror(error));
  }
  struct TCloser {
    int Fd;
    ~TCloser() { ::close(Fd); }
  } closer{fd};
  struct stat info {};
  if (::fstat(fd, &info) != 0) return fail(std::strerror(errno));
  if (S_ISDIR(info.st_mode)) return fail(std::strerror(EISDIR));
  if (!S_ISREG(info.st_mode)) return fail("not a regular file");
  if (static_cast<uint64_t>(info.st_size) > kMaxStoreBytes) return fail("larger than 1 MB");
  std::string text;
  char buffer[4096];
  for (;;) {
    const ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return fail(std::strerror(errno));
    if (n == 0) return text;
    text.append(buffer, static_cast<size_t>(n));
    if (text.size() > kMaxStoreBytes) return fail("larger than 1 MB");
  }
}

// A store edited on another system may end its lines in CR LF. A CR of a
// name or a value is always escaped, so a CR at a line's end only ends it.
std::string_view WithoutCr(std::string_view line) {
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  return line;
}

bool WriteText(const fs::path& file, const std::string& text) {
  return !ReplaceFileContents(file, text.data(), text.size());
}

}  // namespace

bool TUserStore::TNoCaseLess::operator()(std::string_view a, std::string_view b) const {
  size_t n = std::min(a.size(), b.size());
  for (size_t i = 0; i < n; ++i) {
    char x = LowerChar(a[i]), y = LowerChar(b[i]);
    if (x != y) return static_cast<unsigned char>(x) < static_cast<unsigned char>(y);
  }
  return a.size() < b.size();
}

fs::path TUserStore::DefaultPath() {
  const char* xdg = std::getenv("XDG_CONFIG_HOME");
  fs::path base;
  if (xdg != nullptr && *xdg != '\0') {
    base = xdg;
  } else {
    const char* home = std::getenv("HOME");
    base = fs::path(home != nullptr && *home != '\0' ? home : ".") / ".config";
  }
  return base / "quorvane" / "registry";
}

std::string TUserStore::Format(const TValues& values) {
  std::string out(kHeader);
  out += '\n';
  for (const auto& [key, names] : values) {
    out += '[' + Escape(key) + "]\n";
    for (const auto& [name, value] : names) out += Escape(name) + '=' + Escape(value) + '\n';
  }
  return out;
}

std::optional<TUserStore::TValues> TUserStore::Parse(std::string_view text) {
  // An editor may put a UTF-8 byte order mark before the header line.
  if (text.substr(0, kUtf8Bom.size()) == kUtf8Bom) text.remove_prefix(kUtf8Bom.size());
  // Only a file that starts with the header line is a store at all.
  // The store is only ever replaced whole, so a last line without a line
  // feed is no torn write but an editor's: it is read like the others.
  const size_t first = std::min(text.find('\n'), text.size());
  if (WithoutCr(text.substr(0, first)) != kHeader) return std::nullopt;
  // Within a store a damaged line costs only itself: every line that reads
  // is kept, so an edited file keeps what was intact.
  TValues values;
  TNames* current = nullptr;
  size_t pos = first + 1;
  while (pos < text.size()) {
    const size_t end = std::min(text.find('\n', pos), text.size());
    const std::string_view line = WithoutCr(text.substr(pos, end - pos));
    pos = end + 1;
    if (!line.empty() && line.front() == '[') {
      auto key = line.size() >= 2 && line.back() == ']' ? Unescape(line.substr(1, line.size() - 2)) : std::nullopt;
      // Values under a key that cannot be read belong to no key we know.
      current = key ? &values[*key] : nullptr;
      continue;
    }
    size_t eq = line.find('=');
    if (current == nullptr || eq == std::string_view::npos) continue;
    auto name = Unescape(line.substr(0, eq));
    auto value = Unescape(line.substr(eq + 1));
    if (name && value) (*current)[*name] = *value;
  }
  return values;
}

std::string TUserStore::ReadError() const {
  std::string why;
  const std::optional<std::string> text = ReadFile(File_, &why);
  if (text && !Parse(*text)) why = "no store header line";
  return why;
}

std::optional<std::string> TUserStore::ReadString(std::string_view key, std::string_view name) const {
  auto text = ReadFile(File_);
  if (!text) return std::nullopt;
  auto values = Parse(*text);
  if (!values) return std::nullopt;
  auto k = values->find(key);
  if (k == values->end()) return std::nullopt;
  auto v = k->second.find(name);
  if (v == k->second.end()) return std::nullopt;
  return v->second;
}

TUserStoreWrite TUserStore::WriteString(std::string_view key, std::string_view name, std::string_view value) {
  std::error_code ec;
  fs::path folder = File_.parent_path();
  if (!folder.empty()) {
    fs::create_directories(folder, ec);
    if (!fs::is_directory(folder, ec)) return TUserStoreWrite::NoKey;
  }
  TValues values;
  if (auto text = ReadFile(File_)) {
    if (auto parsed = Parse(*text)) values = std::move(*parsed);
  }
  auto& names = values[std::string(key)];
  // Assigning through find keeps the spelling the value was first written with.
  auto it = names.find(name);
  if (it != names.end()) {
    it->second = std::string(value);
  } else {
    names.emplace(std::string(name), std::string(value));
  }
  return WriteText(File_, Format(values)) ? TUserStoreWrite::Written : TUserStoreWrite::Failed;
}

}  // namespace qv
