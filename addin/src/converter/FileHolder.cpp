#include "FileHolder.h"

#include <fcntl.h>
#include <unistd.h>
#include <cstdio>

bool CFileHolder::Create(const std::wstring& path) {
    Close();
    if (!m_file.Create(path, genswf::GENERIC_WRITE, 0, genswf::CREATE_ALWAYS, genswf::FILE_ATTRIBUTE_NORMAL))
        return false;
    m_path = path;
    return true;
}

bool CFileHolder::CommitAs(const std::wstring& target) {
    if (!m_file.IsValid()) return false;
    m_file.Close();
    // The data must be on disk before the rename makes it the target.
    const std::string native = genswf::NativePath(m_path);
    const int fd = ::open(native.c_str(), O_RDONLY | O_CLOEXEC);
    const bool synced = fd >= 0 && ::fsync(fd) == 0;
    if (fd >= 0) ::close(fd);
    if (!synced || std::rename(native.c_str(), genswf::NativePath(target).c_str()) != 0) return false;
    m_committed = true;
    m_path.clear();
    return true;
}

void CFileHolder::Close() {
    m_file.Close();
    if (!m_committed && !m_path.empty()) ::unlink(genswf::NativePath(m_path).c_str());
    m_committed = false;
    m_path.clear();
}
