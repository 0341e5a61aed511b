#include "FileHolder.h"

#include "genswf/utils/Utils.h"

#include "base/files/AtomicFile.h"

namespace addin {

bool CFileHolder::Create(const std::wstring& path) {
    Close();
    if (path.empty()) return false;
    m_path = path;
    return true;
}

bool CFileHolder::Write(const void* data, std::size_t size) {
    if (m_path.empty() || m_committed) return false;
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    m_bytes.insert(m_bytes.end(), bytes, bytes + size);
    return true;
}

bool CFileHolder::Commit() {
    if (m_path.empty() || m_committed) return false;
    if (base::files::WriteFileAtomically(genswf::NativePath(m_path), m_bytes) != 0) return false;
    m_committed = true;
    return true;
}

void CFileHolder::Close() {
    m_committed = false;
    m_bytes.clear();
    m_path.clear();
}

}  // namespace addin
