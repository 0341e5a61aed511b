// Conversions between wide text and the byte encodings at file and system edges.

#include "Utils.h"

namespace genswf {

namespace {

// Windows-1252 bytes 0x80..0x9F; 0 marks the five undefined bytes, which map to themselves.
const char16_t kCp1252High[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

wchar_t Cp1252ToWide(unsigned char c)
{
    if (c >= 0x80 && c <= 0x9F && kCp1252High[c - 0x80] != 0) return static_cast<wchar_t>(kCp1252High[c - 0x80]);
    return static_cast<wchar_t>(c);
}

char WideToCp1252(wchar_t c)
{
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return static_cast<char>(c);
    for (int i = 0; i < 32; ++i) {
        if (kCp1252High[i] != 0 && static_cast<wchar_t>(kCp1252High[i]) == c) return static_cast<char>(0x80 + i);
    }
    if (c >= 0x80 && c <= 0x9F) return static_cast<char>(c); // the undefined bytes round-trip
    return '?';
}

void AppendUtf8(std::string& out, std::uint32_t cp)
{
    if (cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) cp = 0xFFFD;
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

} // namespace

std::string Utf8FromWide(const std::wstring& text)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        std::uint32_t cp = static_cast<std::uint32_t>(text[i]);
        // Tolerate UTF-16 surrogate pairs that reached a wide string unjoined.
        if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < text.size()) {
            const std::uint32_t low = static_cast<std::uint32_t>(text[i + 1]);
            if (low >= 0xDC00 && low <= 0xDFFF) {
                cp = 0x10000 + ((cp - 0xD800) << 10) + (low - 0xDC00);
                ++i;
            }
        }
        AppendUtf8(out, cp);
    }
    return out;
}

std::wstring WideFromUtf8(const std::string& text)
{
    std::wstring out;
    out.reserve(text.size());
    const auto* s = reinterpret_cast<const unsigned char*>(text.data());
    const std::size_t n = text.size();
    std::size_t i = 0;
    while (i < n) {
        const unsigned char c = s[i];
        std::uint32_t cp;
        int extra;
        if (c < 0x80) { cp = c; extra = 0; }
        else if (c >= 0xC2 && c <= 0xDF) { cp = c & 0x1F; extra = 1; }
        else if (c >= 0xE0 && c <= 0xEF) { cp = c & 0x0F; extra = 2; }
        else if (c >= 0xF0 && c <= 0xF4) { cp = c & 0x07; extra = 3; }
        else { out += L'\xFFFD'; ++i; continue; }
        bool ok = true;
        for (int k = 1; k <= extra; ++k) {
            if (i + k >= n || (s[i + k] & 0xC0) != 0x80) { ok = false; break; }
            cp = (cp << 6) | (s[i + k] & 0x3F);
        }
        const bool overlong = (extra == 2 && cp < 0x800) || (extra == 3 && cp < 0x10000);
        if (!ok || overlong || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
            out += L'\xFFFD';
            ++i;
            continue;
        }
        out += static_cast<wchar_t>(cp);
        i += extra + 1;
    }
    return out;
}

std::string WideToMultiByte(const std::wstring& text, unsigned codePage)
{
    if (codePage == CP_UTF8) return Utf8FromWide(text);
    std::string out;
    out.reserve(text.size());
    for (wchar_t c : text) {
        if (codePage == CP_LATIN1) out += (c <= 0xFF) ? static_cast<char>(c) : '?';
        else out += WideToCp1252(c);
    }
    return out;
}

std::wstring MultiByteToWide(const std::string& text, unsigned codePage)
{
    if (codePage == CP_UTF8) return WideFromUtf8(text);
    std::wstring out;
    out.reserve(text.size());
    for (char c : text) {
        const auto b = static_cast<unsigned char>(c);
        out += (codePage == CP_LATIN1) ? static_cast<wchar_t>(b) : Cp1252ToWide(b);
    }
    return out;
}

} // namespace genswf
