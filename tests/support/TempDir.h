#pragma once
// A private scratch folder for one test, removed with everything in it afterwards.

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

class CScratchFolder {
public:
    CScratchFolder();
    ~CScratchFolder();
    CScratchFolder(const CScratchFolder&) = delete;
    CScratchFolder& operator=(const CScratchFolder&) = delete;

    const std::wstring& Path() const { return m_path; }
    // The path with a trailing '/', as the export's temporary folder is given.
    std::wstring FolderPath() const { return m_path + L"/"; }
    // The path as the file system takes it (UTF-8), and as a path object.
    const std::string& Native() const { return m_native; }
    std::filesystem::path Fs() const { return std::filesystem::path(m_native); }
    std::wstring operator/(const std::wstring& name) const { return m_path + L"/" + name; }
    std::filesystem::path operator/(const std::string& name) const { return Fs() / name; }
    std::filesystem::path operator/(const char* name) const { return Fs() / name; }
    // Writes the bytes to the named file (UTF-8 name) in the folder; returns its path.
    std::wstring Write(const std::string& name, const std::vector<std::uint8_t>& bytes) const;

private:
    std::string m_native;
    std::wstring m_path;
};
