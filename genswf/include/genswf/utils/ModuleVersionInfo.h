#pragma once
// Version of one of our modules, as the error report shows it. Our libraries carry no version
// resource: every module of the build has the build's version.

#include <string>

namespace genswf {

class CModuleVersionInfo {
public:
    // module: any address inside the module, or null (nothing is read). When a block or a value
    // name is given, the string value of that block is looked up as well.
    CModuleVersionInfo(const void* module, const std::wstring& blockName = std::wstring(),
                       const std::wstring& valueName = std::wstring());

    const std::wstring& GetStringValue() const { return m_stringValue; }
    const std::wstring& GetFileVersion() const { return m_fileVersion; }        // "1.2.3"
    const std::wstring& GetProductVersion() const { return m_productVersion; }  // "1.2.3.0"
    const std::wstring& GetModulePath() const { return m_modulePath; }

private:
    std::wstring m_stringValue;
    std::wstring m_fileVersion;
    std::wstring m_productVersion;
    std::wstring m_modulePath;
};

}  // namespace genswf
