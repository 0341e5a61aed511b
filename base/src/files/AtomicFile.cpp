#include "base/files/AtomicFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <atomic>
#include <cerrno>

namespace base::files {

namespace {

bool WriteAll(int fd, const void* data, std::size_t size) {
    const auto* p = static_cast<const char*>(data);
    while (size > 0) {
        ssize_t n = ::write(fd, p, size);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            if (n == 0) errno = EIO;
            return false;
        }
        p += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

std::string FolderOf(const std::string& path) {
    auto slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

}  // namespace

int WriteFileAtomically(const std::string& path, const void* data, std::size_t size, unsigned mode, Sync sync) {
    if (path.empty()) return ENOENT;
    // The first name is plain (path.tmp<pid>); a name already taken, by a stale file or a link
    // someone planted, moves on to the next.
    static std::atomic<unsigned> counter{0};
    const std::string stem = path + ".tmp" + std::to_string(static_cast<long>(::getpid()));
    std::string temp = stem;
    int fd = -1;
    for (int attempt = 0; attempt < 100; ++attempt) {
        if (attempt > 0) temp = stem + "-" + std::to_string(counter++);
        fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, static_cast<mode_t>(mode));
        if (fd >= 0 || errno != EEXIST) break;
    }
    if (fd < 0) return errno;

    int err = 0;
    const bool flush = sync == Sync::ToDisk;
    if (!WriteAll(fd, data, size) || (flush && ::fsync(fd) != 0)) err = errno ? errno : EIO;
    if (::close(fd) != 0 && !err) err = errno;
    if (!err && ::rename(temp.c_str(), path.c_str()) != 0) err = errno;
    if (err) {
        ::unlink(temp.c_str());
        return err;
    }
    if (!flush) return 0;
    // The rename lasts once the folder is on disk; a folder that cannot be flushed (some
    // file systems refuse) leaves the file written all the same.
    int dir = ::open(FolderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    return 0;
}

int WriteScratchFile(const std::string& path, const void* data, std::size_t size, unsigned mode) {
    if (path.empty()) return ENOENT;
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, static_cast<mode_t>(mode));
    if (fd < 0) {
        if (errno == EEXIST) return WriteFileAtomically(path, data, size, mode, Sync::None);
        return errno;
    }
    int err = 0;
    if (!WriteAll(fd, data, size)) err = errno ? errno : EIO;
    if (::close(fd) != 0 && !err) err = errno;
    if (err) ::unlink(path.c_str());
    return err;
}

}  // namespace base::files
