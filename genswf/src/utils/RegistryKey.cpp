#include "RegistryKey.h"

#include <algorithm>
#include <vector>

namespace genswf {

namespace {

std::vector<unsigned char> Utf16Bytes(const std::wstring& text)
{
    std::vector<unsigned char> bytes;
    bytes.reserve((text.size() + 1) * 2);
    const auto put = [&bytes](std::uint32_t unit) {
        bytes.push_back(static_cast<unsigned char>(unit & 0xFF));
        bytes.push_back(static_cast<unsigned char>(unit >> 8));
    };
    for (wchar_t c : text) {
        const auto cp = static_cast<std::uint32_t>(c);
        if (cp >= 0x10000 && cp <= 0x10FFFF) {
            put(0xD800 + ((cp - 0x10000) >> 10));
            put(0xDC00 + ((cp - 0x10000) & 0x3FF));
        } else {
            put(cp & 0xFFFF);
        }
    }
    put(0);
    return bytes;
}

// Decodes UTF-16LE up to the first NUL unit.
std::wstring TextOfUtf16(const unsigned char* data, std::size_t byteCount)
{
    std::wstring text;
    for (std::size_t i = 0; i + 1 < byteCount; i += 2) {
        std::uint32_t unit = data[i] | (data[i + 1] << 8);
        if (unit == 0) break;
        if (unit >= 0xD800 && unit <= 0xDBFF && i + 3 < byteCount) {
            const std::uint32_t low = data[i + 2] | (data[i + 3] << 8);
            if (low >= 0xDC00 && low <= 0xDFFF) {
                unit = 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00);
                i += 2;
            }
        }
        text += static_cast<wchar_t>(unit);
    }
    return text;
}

} // namespace

LONG CRegistryKey::Create(HKEY root, const std::wstring& subKey, wchar_t* keyClass, DWORD options,
                          REGSAM access, void* security, DWORD* disposition)
{
    HKEY key = nullptr;
    const LONG result = RegCreateKeyExW(root, subKey.c_str(), 0, keyClass, options, access, security, &key, disposition);
    if (result == ERROR_SUCCESS) {
        Close();
        m_key = key;
    }
    return result;
}

LONG CRegistryKey::Open(HKEY root, const std::wstring& subKey, REGSAM access)
{
    HKEY key = nullptr;
    const LONG result = RegOpenKeyExW(root, subKey.c_str(), 0, access, &key);
    if (result == ERROR_SUCCESS) {
        Close();
        m_key = key;
    }
    return result;
}

std::wstring CRegistryKey::QueryStringValue(const std::wstring& name, const std::wstring& defaultValue) const
{
    if (!m_key) return defaultValue;
    const std::size_t units = std::max<std::size_t>(defaultValue.size() + 1, 65536);
    std::vector<unsigned char> buffer(units * 2, 0);
    DWORD size = static_cast<DWORD>(buffer.size());
    DWORD type = 0;
    if (RegQueryValueExW(m_key, name.c_str(), nullptr, &type, buffer.data(), &size) != ERROR_SUCCESS)
        return defaultValue;
    return TextOfUtf16(buffer.data(), std::min<std::size_t>(size, buffer.size()));
}

DWORD CRegistryKey::QueryDWORDValue(const std::wstring& name, DWORD defaultValue) const
{
    if (!m_key) return defaultValue;
    unsigned char bytes[4];
    DWORD size = sizeof bytes;
    DWORD type = 0;
    if (RegQueryValueExW(m_key, name.c_str(), nullptr, &type, bytes, &size) != ERROR_SUCCESS || size != 4)
        return defaultValue;
    return static_cast<DWORD>(bytes[0]) | (static_cast<DWORD>(bytes[1]) << 8) |
           (static_cast<DWORD>(bytes[2]) << 16) | (static_cast<DWORD>(bytes[3]) << 24);
}

bool CRegistryKey::SetDWORDValue(DWORD value, const std::wstring& name)
{
    if (!m_key) return false;
    const unsigned char bytes[4] = {static_cast<unsigned char>(value & 0xFF), static_cast<unsigned char>((value >> 8) & 0xFF),
                                    static_cast<unsigned char>((value >> 16) & 0xFF), static_cast<unsigned char>(value >> 24)};
    return RegSetValueExW(m_key, name.c_str(), 0, REG_DWORD, bytes, 4) == ERROR_SUCCESS;
}

bool CRegistryKey::SetStringValue(const std::wstring& text, const std::wstring& name)
{
    if (!m_key) return false;
    const std::vector<unsigned char> bytes = Utf16Bytes(text);
    return RegSetValueExW(m_key, name.c_str(), 0, REG_SZ, bytes.data(), static_cast<DWORD>(bytes.size())) == ERROR_SUCCESS;
}

bool CRegistryKey::Close()
{
    if (!m_key) return true;
    const LONG result = RegCloseKey(m_key);
    m_key = nullptr;
    return result == ERROR_SUCCESS;
}

} // namespace genswf
