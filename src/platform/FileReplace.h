// Replacing a file's contents so that an interrupted write never leaves a
// torn file: the bytes go to a temporary beside the target, are synced, and
// the temporary is renamed over the target.
#pragma once

#include <cstddef>
#include <filesystem>

namespace qv {

// False when the temporary cannot be written or renamed; the target is then
// left as it was. Temporaries of the same target left by writers that died
// mid-write ("<target>.tmp<pid>_<n>") are removed first, so they never pile up.
bool ReplaceFileContents(const std::filesystem::path& path, const void* data, size_t size);

}  // namespace qv
