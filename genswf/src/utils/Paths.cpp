// Paths, folders and files.

#include "genswf/utils/Utils.h"

#include "base/files/WholeFile.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>

namespace genswf {

namespace {

std::size_t FindLastSeparator(const std::wstring& path) {
    const std::size_t a = path.rfind(L'\\');
    const std::size_t b = path.rfind(L'/');
    if (a == std::wstring::npos) return b;
    if (b == std::wstring::npos) return a;
    return a > b ? a : b;
}

bool IsDoubleSeparatorStart(const std::wstring& path) {
    return path.size() >= 3 && IsPathSeparator(path[0]) && IsPathSeparator(path[1]);
}

bool StatPath(const std::wstring& path, struct stat& st) {
    return !path.empty() && ::stat(NativePath(path).c_str(), &st) == 0;
}

// Removes the entries of the open folder dirFd; subfolders only when recursive.
// Symbolic links are removed as links, never followed.
bool DeleteFolderContents(int dirFd, bool recursive, int depth) {
    DIR* dir = ::fdopendir(dirFd);
    if (!dir) {
        ::close(dirFd);
        return false;
    }
    bool allGone = true;
    while (dirent* entry = ::readdir(dir)) {
        const char* name = entry->d_name;
        if (std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0) continue;
        struct stat st;
        if (::fstatat(::dirfd(dir), name, &st, AT_SYMLINK_NOFOLLOW) != 0) {
            allGone = false;
            continue;
        }
        if (S_ISDIR(st.st_mode)) {
            // Deeper than any real export folder: leave it rather than exhaust descriptors.
            if (!recursive || depth > 256) {
                allGone = false;
                continue;
            }
            const int child = ::openat(::dirfd(dir), name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
            if (child < 0 || !DeleteFolderContents(child, recursive, depth + 1) ||
                ::unlinkat(::dirfd(dir), name, AT_REMOVEDIR) != 0) {
                allGone = false;
            }
        } else if (::unlinkat(::dirfd(dir), name, 0) != 0) {
            allGone = false;
        }
    }
    ::closedir(dir);
    return allGone;
}

}  // namespace

std::string NativePath(const std::wstring& path) {
    std::string native = Utf8FromWide(path);
    for (char& c : native) {
        if (c == '\\') c = '/';
    }
    return native;
}

bool FolderExists(const std::wstring& path) {
    struct stat st;
    return StatPath(path, st) && S_ISDIR(st.st_mode);
}

bool FileExists(const std::wstring& path) {
    struct stat st;
    return StatPath(path, st) && S_ISREG(st.st_mode);
}

std::wstring IncludeTrailingBackslash(const std::wstring& path) {
    if (!path.empty() && IsPathSeparator(path.back())) return path;
    return path + kPathSeparator;
}

std::wstring GetFolderOfPath(const std::wstring& path) {
    const std::size_t pos = FindLastSeparator(path);
    if (pos == std::wstring::npos) return std::wstring();
    // A double-separator path whose last separator is its second character names only a server.
    if (pos == 1 && IsDoubleSeparatorStart(path)) return std::wstring();
    // The folder of an entry of the root is the root itself.
    if (pos == 0) return path.substr(0, 1);
    return path.substr(0, pos);
}

std::wstring GetFileNameOfPath(const std::wstring& path) {
    const std::size_t pos = FindLastSeparator(path);
    return pos == std::wstring::npos ? path : path.substr(pos + 1);
}

std::wstring StripExtension(const std::wstring& path) {
    const std::size_t pos = path.rfind(L'.');
    return pos == std::wstring::npos ? path : path.substr(0, pos);
}

std::wstring GetFileExtension(const std::wstring& path) {
    const std::size_t pos = path.rfind(L'.');
    if (pos == std::wstring::npos || pos + 1 == path.size()) return std::wstring();
    return path.substr(pos + 1);
}

bool CreateFolderTree(const std::wstring& path) {
    if (path.empty()) return true;
    const std::string native = NativePath(path);
    if (native.size() >= 2 && native[0] == '/' && native[1] == '/') {
        // A server or share root: there is nothing we could create.
        const std::size_t share = native.find('/', 2);
        if (share == std::string::npos || native.find('/', share + 1) == std::string::npos) return true;
    }
    // Create level by level from the root; an existing level is fine.
    std::size_t pos = 0;
    while (pos != std::string::npos) {
        pos = native.find('/', pos + 1);
        const std::string level = native.substr(0, pos);
        if (level.empty() || level == "/") continue;
        struct stat st;
        if (::stat(level.c_str(), &st) == 0) {
            if (!S_ISDIR(st.st_mode)) return false;
            continue;
        }
        if (::mkdir(level.c_str(), 0777) != 0 && errno != EEXIST) return false;
    }
    return FolderExists(path);
}

std::wstring CreateFolder(const std::wstring& path) {
    const std::wstring p = IncludeTrailingBackslash(Trim(path));
    // Only absolute paths: a relative one would land wherever the process happens to be.
    if (Trim(path).empty() || !IsPathSeparator(p[0])) return std::wstring();
    if (IsDoubleSeparatorStart(p)) {
        const std::wstring inner = p.substr(2);
        std::size_t sep = 0;
        while (sep < inner.size() && !IsPathSeparator(inner[sep])) ++sep;
        if (sep + 1 >= inner.size()) return std::wstring();  // a bare server
    }
    if (FolderExists(p) || CreateFolderTree(p)) return p;
    return std::wstring();
}

std::wstring GetTempFolder() {
    const char* tmp = std::getenv("TMPDIR");
    std::wstring folder = (tmp && *tmp) ? WideFromUtf8(tmp) : std::wstring(L"/tmp");
    return IncludeTrailingBackslash(folder);
}

std::uint32_t GetTickCount() {
    using namespace std::chrono;
    return static_cast<std::uint32_t>(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

std::wstring CreateUniqueTempFolder(const std::wstring& prefix, const std::wstring& suffix,
                                    const std::wstring& baseFolder) {
    std::wstring base = baseFolder.empty() ? GetTempFolder() : IncludeTrailingBackslash(baseFolder);
    if (!CreateFolderTree(base)) return std::wstring();
    std::uint32_t n = GetTickCount();
    for (int attempt = 0; attempt < 999; ++attempt, ++n) {
        const std::wstring name = base + prefix + UIntToWString(n & 0x7FFFFFFFu) + suffix;
        // Exclusive and private: an existing entry (or someone else's link) is never reused.
        if (::mkdir(NativePath(name).c_str(), 0700) == 0) return name;
    }
    return std::wstring();
}

void DeleteFolderTree(const std::wstring& folder, bool recursive) {
    if (folder.empty()) return;
    std::string native = NativePath(folder);
    while (native.size() > 1 && native.back() == '/') native.pop_back();
    const int fd = ::open(native.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) return;
    DeleteFolderContents(fd, recursive, 0);
    ::rmdir(native.c_str());
}

std::wstring ResolveRelativePath(const std::wstring& relative, const std::wstring& base) {
    const auto isAbsolute = [](const std::wstring& p) {
        return (p.size() > 2 && p[1] == L':') || (p.size() >= 2 && IsPathSeparator(p[0]) && IsPathSeparator(p[1]));
    };
    if (relative.size() > 2 && isAbsolute(relative)) return relative;

    std::wstring root;
    std::wstring rest;
    if (!base.empty() && IsPathSeparator(base[0])) {
        // A Unix path: the root is the file-system root.
        rest = base;
    } else {
        std::size_t split = base.find(L'\\', 2);
        if (split == std::wstring::npos) split = base.find(L'/', 2);
        if (base.size() > 2 && split != std::wstring::npos) {
            root = base.substr(0, split);
            rest = base.substr(split + 1);
        } else {
            root = base;
        }
    }
    if (!relative.empty() && IsPathSeparator(relative[0])) rest.clear();

    std::vector<std::wstring> pieces;
    SplitString(rest, L"\\/", pieces);
    RemoveEmptyStrings(pieces);
    std::vector<std::wstring> relPieces;
    SplitString(relative, L"\\/", relPieces);
    RemoveEmptyStrings(relPieces);
    for (const std::wstring& piece : relPieces) {
        if (piece == L"..") {
            if (!pieces.empty()) pieces.pop_back();
        } else if (piece != L".") {
            pieces.push_back(piece);
        }
    }
    return root + kPathSeparator + JoinStrings(pieces, std::wstring(1, kPathSeparator));
}

// --- CFileHandle -------------------------------------------------------------------------------

bool CFileHandle::Create(const std::wstring& name, std::uint32_t access, std::uint32_t /*shareMode*/,
                         std::uint32_t creationDisposition, std::uint32_t /*flagsAndAttributes*/) {
    Close();
    int flags = O_CLOEXEC;
    const bool read = (access & GENERIC_READ) != 0;
    const bool write = (access & GENERIC_WRITE) != 0;
    flags |= (read && write) ? O_RDWR : (write ? O_WRONLY : O_RDONLY);
    switch (creationDisposition) {
    case CREATE_NEW:
        flags |= O_CREAT | O_EXCL;
        break;
    case CREATE_ALWAYS:
        flags |= O_CREAT | O_TRUNC;
        break;
    case OPEN_ALWAYS:
        flags |= O_CREAT;
        break;
    case OPEN_EXISTING:
        break;
    default:
        return false;
    }
    if (name.empty()) return false;
    m_fd = ::open(NativePath(name).c_str(), flags, 0666);
    if (m_fd < 0) return false;
    struct stat st;
    if (::fstat(m_fd, &st) != 0 || S_ISDIR(st.st_mode)) {
        Close();
        return false;
    }
    return true;
}

bool CFileHandle::Write(const void* buffer, std::size_t count) {
    if (count == 0) return true;
    if (m_fd < 0 || !buffer) return false;
    const auto* p = static_cast<const unsigned char*>(buffer);
    while (count > 0) {
        const ssize_t written = ::write(m_fd, p, count);
        if (written < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        if (written == 0) return false;
        p += written;
        count -= static_cast<std::size_t>(written);
    }
    return true;
}

long long CFileHandle::Read(void* buffer, std::size_t count) {
    if (m_fd < 0) return -1;
    auto* p = static_cast<unsigned char*>(buffer);
    std::size_t total = 0;
    while (total < count) {
        const ssize_t got = ::read(m_fd, p + total, count - total);
        if (got < 0) {
            if (errno == EINTR) continue;
            return -1;
        }
        if (got == 0) break;
        total += static_cast<std::size_t>(got);
    }
    return static_cast<long long>(total);
}

long long CFileHandle::Size() const {
    struct stat st;
    if (m_fd < 0 || ::fstat(m_fd, &st) != 0) return -1;
    return static_cast<long long>(st.st_size);
}

void CFileHandle::Close() {
    if (m_fd >= 0) {
        ::close(m_fd);
        m_fd = -1;
    }
}

bool ReadWholeFile(const std::wstring& path, std::vector<std::uint8_t>& bytes, std::size_t maxBytes) {
    return base::files::ReadWholeFile(NativePath(path), bytes, maxBytes) == 0;
}

bool WriteWholeFile(const std::wstring& path, const void* data, std::size_t size) {
    CFileHandle file;
    if (!file.Create(path, GENERIC_WRITE, 0, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL)) return false;
    if (!file.Write(data, size)) {
        file.Close();
        ::unlink(NativePath(path).c_str());
        return false;
    }
    return true;
}

}  // namespace genswf
