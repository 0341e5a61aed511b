#include "base/encodings/TextEncoding.h"

#include <cstdint>

namespace base::encodings {

namespace {

constexpr char16_t kHighFirst = 0xD800;
constexpr char16_t kLowFirst = 0xDC00;
constexpr char16_t kLowLast = 0xDFFF;

bool IsHighSurrogate(char32_t c) { return c >= kHighFirst && c < kLowFirst; }
bool IsLowSurrogate(char32_t c) { return c >= kLowFirst && c <= kLowLast; }
char32_t JoinPair(char32_t high, char32_t low) { return 0x10000 + ((high - kHighFirst) << 10) + (low - kLowFirst); }

// wchar_t is signed here: a negative value must read as out of range, not wrap into it.
char32_t CodeUnit(wchar_t c) { return static_cast<char32_t>(static_cast<std::uint32_t>(c)); }

// Windows-1252 bytes 0x80..0x9F; the unassigned ones keep their C1 code points.
constexpr char16_t kCp1252High[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                      0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                      0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                      0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

char ByteOfCp1252(char32_t c, char replacement) {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return static_cast<char>(c);
    for (unsigned i = 0; i < 32; ++i)
        if (kCp1252High[i] == c) return static_cast<char>(0x80 + i);
    return replacement;
}

// Length of the well-formed UTF-8 sequence at s[0..n), 0 when there is none; its value in cp.
std::size_t DecodeOne(const unsigned char* s, std::size_t n, char32_t& cp) {
    const unsigned char b = s[0];
    if (b < 0x80) {
        cp = b;
        return 1;
    }
    std::size_t extra;
    char32_t min;
    if (b >= 0xC2 && b <= 0xDF) {
        extra = 1;
        cp = b & 0x1F;
        min = 0x80;
    } else if (b >= 0xE0 && b <= 0xEF) {
        extra = 2;
        cp = b & 0x0F;
        min = 0x800;
    } else if (b >= 0xF0 && b <= 0xF4) {
        extra = 3;
        cp = b & 0x07;
        min = 0x10000;
    } else {
        return 0;  // a continuation byte, an overlong two-byte lead or no lead at all
    }
    if (n <= extra) return 0;
    for (std::size_t k = 1; k <= extra; ++k) {
        if ((s[k] & 0xC0) != 0x80) return 0;
        cp = (cp << 6) | (s[k] & 0x3F);
    }
    if (cp < min || !IsScalarValue(cp)) return 0;
    return extra + 1;
}

template <typename UnitAt>
std::wstring DecodeUtf16(std::size_t count, UnitAt unitAt) {
    std::wstring out;
    out.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        const char32_t u = unitAt(i);
        if (IsHighSurrogate(u) && i + 1 < count && IsLowSurrogate(unitAt(i + 1))) {
            out += static_cast<wchar_t>(JoinPair(u, unitAt(i + 1)));
            ++i;
        } else {
            out += IsHighSurrogate(u) || IsLowSurrogate(u) ? static_cast<wchar_t>(kReplacementCharacter)
                                                           : static_cast<wchar_t>(u);
        }
    }
    return out;
}

char32_t LeUnit(const unsigned char* data, std::size_t i) { return data[2 * i] | (data[2 * i + 1] << 8); }
char32_t BeUnit(const unsigned char* data, std::size_t i) { return (data[2 * i] << 8) | data[2 * i + 1]; }

template <typename PutUnit>
void EncodeUtf16(const std::wstring& text, PutUnit put) {
    for (std::size_t i = 0; i < text.size();) {
        char32_t c = NextCodePoint(text, i);
        if (!IsScalarValue(c)) c = kReplacementCharacter;
        if (c >= 0x10000) {
            put(static_cast<char16_t>(kHighFirst + ((c - 0x10000) >> 10)));
            put(static_cast<char16_t>(kLowFirst + ((c - 0x10000) & 0x3FF)));
        } else {
            put(static_cast<char16_t>(c));
        }
    }
}

}  // namespace

bool IsScalarValue(char32_t c) { return c <= 0x10FFFF && !IsHighSurrogate(c) && !IsLowSurrogate(c); }

char32_t NextCodePoint(const std::wstring& text, std::size_t& i) {
    const char32_t c = CodeUnit(text[i++]);
    if (IsHighSurrogate(c) && i < text.size() && IsLowSurrogate(CodeUnit(text[i])))
        return JoinPair(c, CodeUnit(text[i++]));
    return c;
}

void AppendUtf8(std::string& out, char32_t c) {
    if (!IsScalarValue(c)) c = kReplacementCharacter;
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

std::string Utf8FromWide(const std::wstring& text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) AppendUtf8(out, NextCodePoint(text, i));
    return out;
}

bool StrictUtf8FromWide(const std::wstring& text, std::string& out) {
    out.clear();
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const char32_t c = NextCodePoint(text, i);
        if (!IsScalarValue(c)) {
            out.clear();
            return false;
        }
        AppendUtf8(out, c);
    }
    return true;
}

std::wstring WideFromUtf8(const char* text, std::size_t length) {
    std::wstring out;
    if (!text) return out;
    out.reserve(length);
    const auto* s = reinterpret_cast<const unsigned char*>(text);
    for (std::size_t i = 0; i < length;) {
        char32_t cp = 0;
        const std::size_t used = DecodeOne(s + i, length - i, cp);
        if (used == 0) {
            out += static_cast<wchar_t>(kReplacementCharacter);
            ++i;
        } else {
            out += static_cast<wchar_t>(cp);
            i += used;
        }
    }
    return out;
}

std::wstring WideFromUtf8(const std::string& text) { return WideFromUtf8(text.data(), text.size()); }

bool StrictWideFromUtf8(const std::string& text, std::wstring& out) {
    out.clear();
    out.reserve(text.size());
    const auto* s = reinterpret_cast<const unsigned char*>(text.data());
    for (std::size_t i = 0; i < text.size();) {
        char32_t cp = 0;
        const std::size_t used = DecodeOne(s + i, text.size() - i, cp);
        if (used == 0) {
            out.clear();
            return false;
        }
        out += static_cast<wchar_t>(cp);
        i += used;
    }
    return true;
}

std::u16string Utf16FromWide(const std::wstring& text) {
    std::u16string out;
    out.reserve(text.size());
    EncodeUtf16(text, [&out](char16_t unit) { out += unit; });
    return out;
}

std::wstring WideFromUtf16(const char16_t* units, std::size_t count) {
    if (!units) return std::wstring();
    return DecodeUtf16(count, [units](std::size_t i) { return static_cast<char32_t>(units[i]); });
}

std::wstring WideFromUtf16(const std::u16string& units) { return WideFromUtf16(units.data(), units.size()); }

std::string Utf16LeBytesFromWide(const std::wstring& text) {
    std::string out;
    out.reserve(text.size() * 2);
    EncodeUtf16(text, [&out](char16_t unit) {
        out += static_cast<char>(unit & 0xFF);
        out += static_cast<char>(unit >> 8);
    });
    return out;
}

std::wstring WideFromUtf16LeBytes(const unsigned char* data, std::size_t size) {
    if (!data) return std::wstring();
    return DecodeUtf16(size / 2, [data](std::size_t i) { return LeUnit(data, i); });
}

std::wstring WideFromUtf16BeBytes(const unsigned char* data, std::size_t size) {
    if (!data) return std::wstring();
    return DecodeUtf16(size / 2, [data](std::size_t i) { return BeUnit(data, i); });
}

std::wstring WideFromUtf16LeBytesToNul(const unsigned char* data, std::size_t size) {
    if (!data) return std::wstring();
    std::size_t units = 0;
    while (units < size / 2 && LeUnit(data, units) != 0) ++units;
    return WideFromUtf16LeBytes(data, units * 2);
}

bool StrictWideFromUtf16LeBytes(const unsigned char* data, std::size_t size, std::wstring& out) {
    out.clear();
    if (size % 2 != 0 || (!data && size != 0)) return false;
    const std::size_t count = size / 2;
    out.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        const char32_t u = LeUnit(data, i);
        if (IsHighSurrogate(u) && i + 1 < count && IsLowSurrogate(LeUnit(data, i + 1))) {
            out += static_cast<wchar_t>(JoinPair(u, LeUnit(data, i + 1)));
            ++i;
        } else if (IsHighSurrogate(u) || IsLowSurrogate(u)) {
            out.clear();
            return false;
        } else {
            out += static_cast<wchar_t>(u);
        }
    }
    return true;
}

std::wstring WideFromCp1252(const std::string& text) {
    std::wstring out;
    out.reserve(text.size());
    for (char ch : text) {
        const auto b = static_cast<unsigned char>(ch);
        out += (b >= 0x80 && b <= 0x9F) ? static_cast<wchar_t>(kCp1252High[b - 0x80]) : static_cast<wchar_t>(b);
    }
    return out;
}

std::string Cp1252FromWide(const std::wstring& text, char replacement) {
    std::string out;
    out.reserve(text.size());
    for (wchar_t c : text) out += ByteOfCp1252(CodeUnit(c), replacement);
    return out;
}

std::wstring WideFromLatin1(const unsigned char* bytes, std::size_t count) {
    if (!bytes) return std::wstring();
    return std::wstring(bytes, bytes + count);
}

std::wstring WideFromLatin1(const std::string& text) {
    return WideFromLatin1(reinterpret_cast<const unsigned char*>(text.data()), text.size());
}

std::string Latin1FromWide(const std::wstring& text, char replacement) {
    std::string out;
    out.reserve(text.size());
    for (wchar_t c : text) out += CodeUnit(c) <= 0xFF ? static_cast<char>(c) : replacement;
    return out;
}

}  // namespace base::encodings
