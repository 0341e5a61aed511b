#include "genswf/utils/RegistryKey.h"

#include "base/bytes/ByteView.h"
#include "base/encodings/TextEncoding.h"

#include <algorithm>
#include <utility>
#include <vector>

namespace genswf {

LONG CRegistryKey::Create(HKEY root, const std::wstring& subKey, wchar_t* keyClass, DWORD options, REGSAM access,
                          void* security, DWORD* disposition) {
    HKEY key = nullptr;
    const LONG result =
        RegCreateKeyExW(root, subKey.c_str(), 0, keyClass, options, access, security, &key, disposition);
    if (result == ERROR_SUCCESS) {
        Close();
        m_key = key;
    }
    return result;
}

LONG CRegistryKey::Open(HKEY root, const std::wstring& subKey, REGSAM access) {
    HKEY key = nullptr;
    const LONG result = RegOpenKeyExW(root, subKey.c_str(), 0, access, &key);
    if (result == ERROR_SUCCESS) {
        Close();
        m_key = key;
    }
    return result;
}

std::wstring CRegistryKey::QueryStringValue(const std::wstring& name, const std::wstring& defaultValue) const {
    std::optional<std::wstring> value = QueryStringValue(name);
    return value ? std::move(*value) : defaultValue;
}

std::optional<std::wstring> CRegistryKey::QueryStringValue(const std::wstring& name) const {
    if (!m_key) return std::nullopt;
    // Asked for its size first, so a short value takes a short buffer; two zero bytes more end a
    // value stored without its terminator.
    DWORD size = 0;
    DWORD type = 0;
    if (RegQueryValueExW(m_key, name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS) return std::nullopt;
    std::vector<unsigned char> buffer(static_cast<std::size_t>(size) + 2, 0);
    if (RegQueryValueExW(m_key, name.c_str(), nullptr, &type, buffer.data(), &size) != ERROR_SUCCESS)
        return std::nullopt;
    return base::encodings::WideFromUtf16LeBytesToNul(buffer.data(), std::min<std::size_t>(size, buffer.size()));
}

DWORD CRegistryKey::QueryDWORDValue(const std::wstring& name, DWORD defaultValue) const {
    if (!m_key) return defaultValue;
    unsigned char bytes[4];
    DWORD size = sizeof bytes;
    DWORD type = 0;
    if (RegQueryValueExW(m_key, name.c_str(), nullptr, &type, bytes, &size) != ERROR_SUCCESS || size != 4)
        return defaultValue;
    return base::bytes::ByteView(bytes, sizeof bytes).U32(0);
}

bool CRegistryKey::SetDWORDValue(DWORD value, const std::wstring& name) {
    if (!m_key) return false;
    const unsigned char bytes[4] = {
        static_cast<unsigned char>(value & 0xFF), static_cast<unsigned char>((value >> 8) & 0xFF),
        static_cast<unsigned char>((value >> 16) & 0xFF), static_cast<unsigned char>(value >> 24)};
    return RegSetValueExW(m_key, name.c_str(), 0, REG_DWORD, bytes, 4) == ERROR_SUCCESS;
}

bool CRegistryKey::SetStringValue(const std::wstring& text, const std::wstring& name) {
    if (!m_key) return false;
    const std::string bytes = base::encodings::Utf16LeBytesFromWide(text).append(2, '\0');  // with its terminator
    return RegSetValueExW(m_key, name.c_str(), 0, REG_SZ, reinterpret_cast<const unsigned char*>(bytes.data()),
                          static_cast<DWORD>(bytes.size())) == ERROR_SUCCESS;
}

bool CRegistryKey::Close() {
    if (!m_key) return true;
    const LONG result = RegCloseKey(m_key);
    m_key = nullptr;
    return result == ERROR_SUCCESS;
}

}  // namespace genswf
