#pragma once
// Holds the bytes of a file to be written; they replace the file whole when committed, and
// nothing is left behind when they are not.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace addin {

class CFileHolder {
public:
    CFileHolder() = default;
    ~CFileHolder() { Close(); }
    CFileHolder(const CFileHolder&) = delete;
    CFileHolder& operator=(const CFileHolder&) = delete;

    // Where the file goes; it is not touched before Commit.
    bool Create(const std::wstring& path);
    bool Write(const void* data, std::size_t size);
    // Replaces the file with the bytes through the atomic writer: readers see the earlier file
    // or the whole new one. False, the file untouched and nothing left beside it, on failure.
    bool Commit();
    void Close();

private:
    bool m_committed = false;
    std::vector<std::uint8_t> m_bytes;
    std::wstring m_path;
};

}  // namespace addin
