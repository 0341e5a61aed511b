#include "genswf/utils/ModuleVersionInfo.h"

#include "BcVersion.h"
#include "genswf/utils/Utils.h"

#include <dlfcn.h>

namespace genswf {

CModuleVersionInfo::CModuleVersionInfo(const void* module, const std::wstring& blockName,
                                       const std::wstring& valueName) {
    if (!module) return;
    Dl_info info{};
    if (dladdr(module, &info) != 0 && info.dli_fname) m_modulePath = WideFromUtf8(info.dli_fname);

    const std::wstring major = UIntToWString(BC_VERSION_MAJOR);
    const std::wstring minor = UIntToWString(BC_VERSION_MINOR);
    const std::wstring patch = UIntToWString(BC_VERSION_PATCH);
    m_fileVersion = major + L"." + minor + L"." + patch;
    m_productVersion = m_fileVersion + L".0";

    if (blockName.empty() && valueName.empty()) return;
    // The values a version block of ours would hold.
    if (valueName == L"ProductName")
        m_stringValue = L"Brindlecast";
    else if (valueName == L"FileVersion")
        m_stringValue = m_fileVersion;
    else if (valueName == L"ProductVersion")
        m_stringValue = m_productVersion;
}

}  // namespace genswf
