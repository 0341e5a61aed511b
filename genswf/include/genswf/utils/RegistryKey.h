#pragma once
// Owner of one open registry key.

#include "registry/Registry.h"

#include <optional>
#include <string>

namespace genswf {

class CRegistryKey {
public:
    CRegistryKey() = default;
    virtual ~CRegistryKey() { Close(); }
    CRegistryKey(const CRegistryKey&) = delete;
    CRegistryKey& operator=(const CRegistryKey&) = delete;

    // Both return the registry's error code; on failure the key held before stays held.
    LONG Create(HKEY root, const std::wstring& subKey, wchar_t* keyClass = nullptr,
                DWORD options = REG_OPTION_NON_VOLATILE, REGSAM access = KEY_ALL_ACCESS, void* security = nullptr,
                DWORD* disposition = nullptr);
    LONG Open(HKEY root, const std::wstring& subKey, REGSAM access = KEY_READ);

    // The value's text up to its first NUL, or the default on any error.
    std::wstring QueryStringValue(const std::wstring& name, const std::wstring& defaultValue) const;
    // The same, nothing on any error: for a default that costs something to work out.
    std::optional<std::wstring> QueryStringValue(const std::wstring& name) const;
    // The value's four bytes, or the default when they cannot be read.
    DWORD QueryDWORDValue(const std::wstring& name, DWORD defaultValue) const;
    bool SetDWORDValue(DWORD value, const std::wstring& name);
    bool SetStringValue(const std::wstring& text, const std::wstring& name);
    bool Close();

    HKEY Get() const { return m_key; }

private:
    HKEY m_key = nullptr;
};

}  // namespace genswf
