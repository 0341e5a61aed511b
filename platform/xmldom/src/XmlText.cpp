#include "XmlText.h"

#include <cstring>
#include <type_traits>

namespace xmldom {
namespace detail {

namespace {

void AppendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (c >> 6)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (c >> 12)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (c >> 18)));
        out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
}

bool IsHighSurrogate(char32_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLowSurrogate(char32_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

// The code point at text[i], joining a surrogate pair; advances i past it.
char32_t NextCodePoint(const std::wstring& text, std::size_t& i) {
    char32_t c = static_cast<char32_t>(static_cast<std::make_unsigned_t<wchar_t>>(text[i++]));
    if (IsHighSurrogate(c) && i < text.size()) {
        char32_t low = static_cast<char32_t>(static_cast<std::make_unsigned_t<wchar_t>>(text[i]));
        if (IsLowSurrogate(low)) {
            ++i;
            return 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
        }
    }
    return c;
}

} // namespace

bool IsXmlChar(char32_t c) {
    return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) ||
           (c >= 0xE000 && c <= 0xFFFD) || (c >= 0x10000 && c <= 0x10FFFF);
}

std::string XmlUtf8FromWide(const std::wstring& text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        char32_t c = NextCodePoint(text, i);
        if (IsXmlChar(c)) AppendUtf8(out, c);
    }
    return out;
}

bool StrictUtf8FromWide(const std::wstring& text, std::string& out) {
    out.clear();
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        char32_t c = NextCodePoint(text, i);
        if (c > 0x10FFFF || IsHighSurrogate(c) || IsLowSurrogate(c)) return false;
        AppendUtf8(out, c);
    }
    return true;
}

std::wstring WideFromUtf8(const char* text, std::size_t length) {
    std::wstring out;
    out.reserve(length);
    const auto* p = reinterpret_cast<const unsigned char*>(text);
    const unsigned char* end = p + length;
    while (p < end) {
        unsigned char b = *p;
        char32_t c;
        int extra;
        if (b < 0x80) {
            c = b;
            extra = 0;
        } else if ((b & 0xE0) == 0xC0) {
            c = b & 0x1F;
            extra = 1;
        } else if ((b & 0xF0) == 0xE0) {
            c = b & 0x0F;
            extra = 2;
        } else if ((b & 0xF8) == 0xF0) {
            c = b & 0x07;
            extra = 3;
        } else {
            out.push_back(L'\uFFFD');
            ++p;
            continue;
        }
        if (end - p < extra + 1) {
            out.push_back(L'\uFFFD');
            break;
        }
        bool ok = true;
        for (int k = 1; k <= extra; ++k) {
            if ((p[k] & 0xC0) != 0x80) {
                ok = false;
                break;
            }
            c = (c << 6) | (p[k] & 0x3F);
        }
        if (!ok) {
            out.push_back(L'\uFFFD');
            ++p;
            continue;
        }
        p += extra + 1;
        out.push_back(static_cast<wchar_t>(c));
    }
    return out;
}

std::wstring WideFromUtf8(const char* text) {
    return text ? WideFromUtf8(text, std::strlen(text)) : std::wstring();
}

} // namespace detail
} // namespace xmldom
