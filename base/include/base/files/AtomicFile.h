// Replacing a file whole: readers see the old contents or the new, never a part.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace base::files {

// Whether the file and its folder are flushed to disk before the call returns. Files that live
// for one run (pictures and descriptions handed from one step to the next) skip the flush: they
// are still seen whole or not at all, but a crash may lose them, which costs nothing.
enum class Flush { ToDisk, No };

// Writes `size` bytes to `path`: a temporary file is created exclusively beside it (an entry
// already there, a planted link included, is never opened), written, flushed to disk and
// renamed over the target; then the folder is flushed so that the rename lasts. `mode` is the
// new file's permission before the umask. Returns 0, or the errno of the step that failed,
// in which case the temporary file is gone and the target untouched.
int WriteFileAtomically(const std::string& path, const void* data, std::size_t size, unsigned mode = 0666,
                        Flush flush = Flush::ToDisk);

inline int WriteFileAtomically(const std::string& path, const std::vector<std::uint8_t>& bytes, unsigned mode = 0666,
                               Flush flush = Flush::ToDisk) {
    return WriteFileAtomically(path, bytes.data(), bytes.size(), mode, flush);
}

}  // namespace base::files
