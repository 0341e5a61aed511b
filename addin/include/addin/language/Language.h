#pragma once
// One interface language, parsed from a ".lng" file: UTF-16 with a byte-order mark, an
// "[info]" section (languageName, defaultLanguage, languageIds, defaultLanguageId) and a
// "[messages]" section of name = text pairs.

#include "genswf/utils/Utils.h"

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

using LANGID = std::uint16_t;

namespace addin {

constexpr LANGID kUsEnglishLanguageId = 1033;

class CLanguage : public genswf::CRefCounted {
public:
    // Larger files are not read: no language needs that much text.
    static constexpr std::size_t kMaxFileBytes = 1024 * 1024;

    CLanguage() = default;
    // Parses the file; an unreadable or malformed file gives an empty, invalid language.
    explicit CLanguage(const std::wstring& path);

    // Parses the bytes of a whole file (BOM included).
    void Parse(const std::uint8_t* data, std::size_t size);

    bool GetMessage(const std::wstring& name, std::wstring& text) const;
    bool HasMessage(const std::wstring& name) const;
    bool SupportsLanguageId(LANGID id) const;

    // At least one message, a name and one language id.
    bool IsValid() const;

    const std::wstring& GetLanguageName() const { return languageName; }
    bool IsDefaultLanguage() const { return defaultLanguage; }
    const std::vector<LANGID>& GetLanguageIds() const { return languageIds; }
    LANGID GetDefaultLanguageId() const { return defaultLanguageId; }
    const std::map<std::wstring, std::wstring>& GetMessages() const { return messages; }

private:
    void ParseText(const std::wstring& text);
    void SetInfo(const std::wstring& key, const std::wstring& value);

    std::map<std::wstring, std::wstring> messages;
    std::wstring languageName;
    bool defaultLanguage = false;
    std::vector<LANGID> languageIds;
    LANGID defaultLanguageId = kUsEnglishLanguageId;
};

// A value's text after its enclosing double quotes are removed and its escapes resolved
// (\n, \r, \t; a backslash before any other character gives that character).
std::wstring UnquoteLanguageValue(const std::wstring& value);

// A language id from its text (decimal, or hexadecimal after "0x" or '#'); false when the
// number does not fit in 16 bits.
bool ParseLanguageId(const std::wstring& text, LANGID& id);

}  // namespace addin
