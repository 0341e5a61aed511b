#pragma once
// Holds a file being written; unless committed, closing it deletes the file.

#include "genswf/utils/Utils.h"

#include <string>

class CFileHolder {
public:
    CFileHolder() = default;
    ~CFileHolder() { Close(); }
    CFileHolder(const CFileHolder&) = delete;
    CFileHolder& operator=(const CFileHolder&) = delete;

    bool Create(const std::wstring& path);
    bool Write(const void* data, std::size_t size) { return m_file.Write(data, size); }
    // Flushes the file to disk and moves it over target; false (and the file kept for Close to
    // delete) when either step fails.
    bool CommitAs(const std::wstring& target);
    void Close();

private:
    bool m_committed = false;
    genswf::CFileHandle m_file;
    std::wstring m_path;
};
