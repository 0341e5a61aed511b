#pragma once
// The export log: UTF-16LE lines ending in CR LF, no byte-order mark. Writing is best effort:
// without an open file every call does nothing, and a failed write is ignored.

#include "genswf/utils/Utils.h"

#include <memory>
#include <string>

namespace genswf {

class CLogFile {
public:
    static std::shared_ptr<CLogFile> Create();

    CLogFile() = default;
    virtual ~CLogFile();
    CLogFile(const CLogFile&) = delete;
    CLogFile& operator=(const CLogFile&) = delete;

    // Creates the file anew (an older one is truncated); false when it cannot be created.
    bool Open(const std::wstring& path);
    void Close();
    bool IsOpen() const { return m_file.IsValid(); }
    const std::wstring& GetPath() const { return m_path; }

    void Write(const std::wstring& text);
    void WriteNewLine();
    void WriteLine(const std::wstring& text);
    // 8-bit text in the ANSI code page.
    void WriteA(const std::string& text);
    void WriteLineA(const std::string& text);

private:
    std::wstring m_path;
    CFileHandle m_file;
};

}  // namespace genswf
