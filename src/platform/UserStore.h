// The per-user store: the few string values the game keeps for the current
// user outside its program folder (the interface language), under key paths
// such as "Software\Ostrandel\Quorvane". It is one text file,
// $XDG_CONFIG_HOME/quorvane/registry (~/.config/quorvane/registry when the
// variable is unset or empty), rewritten whole through a temporary file and a
// rename, so a crash never leaves half a store. Key paths and value names
// compare without regard to ASCII case, as the system registry did. A file
// that is damaged in any way reads as an empty store.
#pragma once

#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace qv {

enum class TUserStoreWrite {
  Written,
  // The store's folder cannot be created: the key cannot be opened.
  NoKey,
  // The folder exists but the file could not be written; the old file stays.
  Failed,
};

class TUserStore {
 public:
  // The store's file for the current user, from the environment.
  static std::filesystem::path DefaultPath();

  explicit TUserStore(std::filesystem::path file = DefaultPath()) : File_(std::move(file)) {}

  const std::filesystem::path& File() const { return File_; }

  // The value, read from the file at each call; empty when the file, the key
  // or the value is missing or cannot be read, or the file is no store.
  std::optional<std::string> ReadString(std::string_view key, std::string_view name) const;

  // Why the file is there but is no store that reads: a folder, a pipe or
  // anything else that is not a regular file, a broken symbolic link, no
  // permission, a file over 1 MB, or one without the store's header line.
  // Empty when it reads or is missing. Such a store reads as empty, and the
  // next write replaces it.
  std::string ReadError() const;

  // Sets the value (creating the key and the folder as needed) and rewrites
  // the file with every other value kept.
  TUserStoreWrite WriteString(std::string_view key, std::string_view name, std::string_view value);

  // The file's text for a set of values, and back; Parse gives nothing for a
  // text without the store's header line and passes over the lines of a store
  // that cannot be read. Keys and names are stored as first written.
  struct TNoCaseLess {
    bool operator()(std::string_view a, std::string_view b) const;
    using is_transparent = void;
  };
  using TNames = std::map<std::string, std::string, TNoCaseLess>;
  using TValues = std::map<std::string, TNames, TNoCaseLess>;
  static std::string Format(const TValues& values);
  static std::optional<TValues> Parse(std::string_view text);

 private:
  std::filesystem::path File_;
};

}  // namespace qv
