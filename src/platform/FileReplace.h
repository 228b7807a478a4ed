// Replacing a file's contents so that an interrupted write never leaves a
// torn file: the bytes go to a temporary beside the target, are synced, and
// the temporary is renamed over the target.
#pragma once

#include <cstddef>
#include <filesystem>
#include <system_error>

namespace qv {

// The system's reason ("No space left on device", ...) when the temporary
// cannot be written or renamed, the target then left as it was; no error
// when the target was replaced. Temporaries of the same target left by writers that died
// mid-write ("<target>.tmp<pid>_<n>") are removed first, so they never pile up.
std::error_code ReplaceFileContents(const std::filesystem::path& path, const void* data, size_t size);

}  // namespace qv
