#pragma once
// A private scratch folder for one test, removed afterwards.

#include "genswf/utils/Utils.h"

#include <cstdlib>
#include <string>

class CScratchFolder {
public:
    CScratchFolder() {
        char pattern[] = "/tmp/bctest.XXXXXX";
        const char* made = ::mkdtemp(pattern);
        m_path = made ? genswf::WideFromUtf8(made) : std::wstring();
    }
    ~CScratchFolder() { genswf::DeleteFolderTree(m_path, true); }
    const std::wstring& Path() const { return m_path; }
    std::string Native() const { return genswf::NativePath(m_path); }
    std::wstring operator/(const std::wstring& name) const { return m_path + L"/" + name; }

private:
    std::wstring m_path;
};
