// File-system helpers. Program-folder files are found without regard to
// letter case (names in data files were written on a case-blind system),
// "\" in stored paths means "/", listings are sorted, and every file the
// program writes goes to a temporary file first and is renamed into place,
// so an interrupted write never leaves a torn file behind.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qv {

// "\" becomes "/".
std::string NormalizePath(std::string_view path);

// Finds a relative path (one or more components, "\" or "/" separated) below
// a folder, matching every component without regard to ASCII case; an exact
// match wins over a case-blind one. Empty when nothing matches.
std::optional<std::filesystem::path> FindFileNoCase(const std::filesystem::path& folder, std::string_view relative);

// The folder joined with the relative path as found by FindFileNoCase, or the
// plain join (with "/" separators) when there is no such file yet.
std::filesystem::path ResolveNoCase(const std::filesystem::path& folder, std::string_view relative);

// Names of the entries of a folder, sorted by byte order. With an extension
// (".png", compared without regard to case) only regular files that have it.
// A missing folder gives an empty list.
std::vector<std::string> ListDirectory(const std::filesystem::path& folder, std::string_view extension = {});

// The text of a failed file operation with the system's reason, as
// `Cannot open file "<path>": No such file or directory` (what = "open").
std::string FileErrorText(std::string_view what, const std::filesystem::path& path, int error);

// Reads a whole regular file; EInOutError with FileErrorText on failure.
std::vector<uint8_t> ReadWholeFile(const std::filesystem::path& path);

// Writes the bytes to "<path>.tmp<pid>_<n>" in the same folder, flushes, then
// renames over the path; EInOutError with FileErrorText ("write") on failure
// (the old file is left as it was).
// Temporaries of the same target left by writers that died mid-write are
// removed first.
void AtomicWriteFile(const std::filesystem::path& path, const void* data, size_t size);
void AtomicWriteFile(const std::filesystem::path& path, std::string_view text);

}  // namespace qv
