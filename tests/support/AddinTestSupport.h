#pragma once
// Shared pieces of the add-in tests: a private registry, environment overrides, and ".lng"
// files written from text.

#include "EnvOverride.h"
#include "TempDir.h"
#include "genswf/utils/Utils.h"
#include "registry/Registry.h"

#include <cstdlib>
#include <fstream>
#include <string>

// A fresh, empty registry for one test.
class CTestRegistry {
public:
    CTestRegistry() : m_env("BRINDLECAST_REGISTRY", m_folder.Native().c_str()) { registry::ResetForTesting(); }
    ~CTestRegistry() { registry::ResetForTesting(); }
    const CScratchFolder& Folder() const { return m_folder; }

private:
    CScratchFolder m_folder;
    CEnvOverride m_env;
};

inline void WriteBytes(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// UTF-16 bytes of text (code points above U+FFFF as surrogate pairs), with or without a BOM.
inline std::string Utf16Bytes(const std::wstring& text, bool bigEndian = false, bool withBom = true) {
    std::string bytes;
    const auto put = [&](unsigned unit) {
        const char high = static_cast<char>((unit >> 8) & 0xFF);
        const char low = static_cast<char>(unit & 0xFF);
        bytes += bigEndian ? high : low;
        bytes += bigEndian ? low : high;
    };
    if (withBom) put(0xFEFF);
    for (wchar_t c : text) {
        const auto cp = static_cast<unsigned>(c);
        if (cp >= 0x10000) {
            put(0xD800 + ((cp - 0x10000) >> 10));
            put(0xDC00 + ((cp - 0x10000) & 0x3FF));
        } else {
            put(cp);
        }
    }
    return bytes;
}

// A minimal valid language file's text.
inline std::wstring LanguageText(const std::wstring& name, const std::wstring& ids, bool isDefault,
                                 const std::wstring& defaultId, const std::wstring& messages) {
    std::wstring text = L"[info]\r\nlanguageName=" + name + L"\r\nlanguageIds=" + ids + L"\r\n";
    if (isDefault) text += L"defaultLanguage=true\r\n";
    if (!defaultId.empty()) text += L"defaultLanguageId=" + defaultId + L"\r\n";
    return text + L"[messages]\r\n" + messages;
}
