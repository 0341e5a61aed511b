#include "libpptparser/PptStrings.h"

#include <cwchar>

#include "base/encodings/TextEncoding.h"

namespace libpptparser {

namespace {

bool IsWindows1252(unsigned codePage) { return codePage == 0 || codePage == 1252; }

}  // namespace

std::wstring AnsiToWide(const std::string& text, unsigned codePage) {
    if (IsWindows1252(codePage)) return base::encodings::WideFromCp1252(text);
    if (codePage == 28591) return base::encodings::WideFromLatin1(text);
    if (codePage == 65001) return base::encodings::WideFromUtf8(text);
    return std::wstring();
}

std::string WideToAnsi(const std::wstring& text, unsigned codePage) {
    if (IsWindows1252(codePage)) return base::encodings::Cp1252FromWide(text);
    if (codePage == 28591) return base::encodings::Latin1FromWide(text);
    if (codePage == 65001) return base::encodings::Utf8FromWide(text);
    return std::string();
}

std::wstring Latin1ToWide(const uint8_t* bytes, size_t count) { return base::encodings::WideFromLatin1(bytes, count); }

long ParseInteger(const std::wstring& text) {
    if (text.size() >= 3 && text[0] == L'0' && (text[1] == L'x' || text[1] == L'X'))
        return std::wcstol(text.c_str() + 2, nullptr, 16);
    if (text.size() >= 2 && text[0] == L'#') return std::wcstol(text.c_str() + 1, nullptr, 16);
    return std::wcstol(text.c_str(), nullptr, 10);
}

std::wstring IntegerToWide(long value) { return std::to_wstring(value); }

std::string MakeXmlSafe(const std::string& text) {
    std::string out = text;
    for (char& ch : out) {
        const unsigned char c = static_cast<unsigned char>(ch);
        if (c == '"' || c == '&' || c == '<' || c == '>' || c < 32 || c > 127) ch = '?';
    }
    return out;
}

std::string WideToUtf8(const std::wstring& text) { return base::encodings::Utf8FromWide(text); }

std::wstring Utf8ToWide(const std::string& text) { return base::encodings::WideFromUtf8(text); }

}  // namespace libpptparser
