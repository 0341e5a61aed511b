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
//
// Sync::None leaves out both flushes: the replacement is still whole-or-nothing for readers,
// but a crash may lose it. For scratch files that the next step reads back at once and nobody
// needs after a crash, where two flushes a file cost more than writing it.
enum class Sync { ToDisk, None };

int WriteFileAtomically(const std::string& path, const void* data, std::size_t size, unsigned mode = 0666,
                        Sync sync = Sync::ToDisk);

inline int WriteFileAtomically(const std::string& path, const std::vector<std::uint8_t>& bytes, unsigned mode = 0666,
                               Sync sync = Sync::ToDisk) {
    return WriteFileAtomically(path, bytes.data(), bytes.size(), mode, sync);
}

// Writes a scratch file that the next step reads back at once: a new name is created
// exclusively (an entry already there, a planted link included, is never opened) and written
// in place, and a failed write removes it; a name already taken is replaced as
// WriteFileAtomically does with Sync::None, so an earlier file is never lost. Nothing is
// flushed, and a reader may see a new file while it is being written. A run that writes
// hundreds of pictures saves a rename each. Returns 0 or the errno of the step that failed.
int WriteScratchFile(const std::string& path, const void* data, std::size_t size, unsigned mode = 0666);

}  // namespace base::files
