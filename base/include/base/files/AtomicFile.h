// Replacing a file whole: readers see the old contents or the new, never a part.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace base::files {

// Writes `size` bytes to `path`: a temporary file is created exclusively beside it (an entry
// already there, a planted link included, is never opened), written, flushed to disk and
// renamed over the target; then the folder is flushed so that the rename lasts. `mode` is the
// new file's permission before the umask. Returns 0, or the errno of the step that failed,
// in which case the temporary file is gone and the target untouched.
int WriteFileAtomically(const std::string& path, const void* data, std::size_t size, unsigned mode = 0666);

inline int WriteFileAtomically(const std::string& path, const std::vector<std::uint8_t>& bytes,
                               unsigned mode = 0666) {
    return WriteFileAtomically(path, bytes.data(), bytes.size(), mode);
}

}  // namespace base::files
