#include "base/files/WholeFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <algorithm>
#include <cerrno>

namespace base::files {

int ReadWholeFile(int fd, std::vector<std::uint8_t>& out, std::uint64_t maxBytes) {
    out.clear();
    struct stat info {};
    if (::fstat(fd, &info) != 0) return errno;
    if (S_ISREG(info.st_mode)) {
        const off_t at = ::lseek(fd, 0, SEEK_CUR);
        const std::uint64_t left = at >= 0 && at < info.st_size ? std::uint64_t(info.st_size - at) : 0;
        if (left > maxBytes) return EFBIG;
        // The byte beyond lets the read that finds the end land without growing the buffer.
        out.reserve(static_cast<std::size_t>(left) + 1);
    }
    // Read in pieces until the end: the size seen above is only a hint for a file that changes
    // while it is read, and other files have none.
    constexpr std::size_t kPiece = 64 * 1024;
    for (;;) {
        const std::size_t have = out.size();
        const std::uint64_t room = maxBytes - std::min<std::uint64_t>(have, maxBytes);
        // One byte past the limit tells a file that ends there from one that goes on.
        std::size_t want = room < kPiece ? static_cast<std::size_t>(room) + 1 : kPiece;
        if (out.capacity() > have) want = std::min(want, out.capacity() - have);
        out.resize(have + want);
        const ssize_t n = ::read(fd, out.data() + have, want);
        if (n < 0) {
            const int error = errno;
            if (error == EINTR) {
                out.resize(have);
                continue;
            }
            out.clear();
            return error;
        }
        out.resize(have + static_cast<std::size_t>(n));
        if (out.size() > maxBytes) {
            out.clear();
            return EFBIG;
        }
        if (n == 0) return 0;
    }
}

int ReadWholeFile(const std::string& path, std::vector<std::uint8_t>& out, std::uint64_t maxBytes) {
    out.clear();
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return errno;
    const int result = ReadWholeFile(fd, out, maxBytes);
    ::close(fd);
    return result;
}

}  // namespace base::files
