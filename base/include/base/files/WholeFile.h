// Reading a file whole, bounded before memory is taken.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace base::files {

// Reads what is left of the open file `fd` from its position on into `out`. A regular file
// larger than `maxBytes` is refused before anything is read; any other file is read until it
// ends or passes the limit. Returns 0, or the errno of the read that failed, or EFBIG for a
// file over the limit; `out` is then empty. The descriptor stays open.
int ReadWholeFile(int fd, std::vector<std::uint8_t>& out, std::uint64_t maxBytes);

// The same for the file at `path`, opened for reading only; the errno of opening it when it
// cannot be opened.
int ReadWholeFile(const std::string& path, std::vector<std::uint8_t>& out, std::uint64_t maxBytes);

}  // namespace base::files
