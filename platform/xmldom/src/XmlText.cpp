#include "XmlText.h"

#include <cstring>

namespace xmldom {
namespace detail {

bool IsXmlChar(char32_t c) {
    return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) || (c >= 0xE000 && c <= 0xFFFD) ||
           (c >= 0x10000 && c <= 0x10FFFF);
}

void AppendXmlUtf8(std::string& out, const std::wstring& text) {
    out.reserve(out.size() + text.size());
    for (std::size_t i = 0; i < text.size();) {
        const wchar_t w = text[i];
        // Plain ASCII text, most of what is written, goes as it is.
        if (w >= 0x20 && w < 0x80) {
            out.push_back(static_cast<char>(w));
            ++i;
            continue;
        }
        const char32_t c = base::encodings::NextCodePoint(text, i);
        if (IsXmlChar(c)) base::encodings::AppendUtf8(out, c);
    }
}

std::string XmlUtf8FromWide(const std::wstring& text) {
    std::string out;
    AppendXmlUtf8(out, text);
    return out;
}

std::wstring WideFromUtf8(const char* text) { return text ? WideFromUtf8(text, std::strlen(text)) : std::wstring(); }

}  // namespace detail
}  // namespace xmldom
