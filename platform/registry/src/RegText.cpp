#include "RegText.h"

namespace bcreg {
namespace detail {

std::wstring Fold(const std::wstring& name)
{
    std::wstring folded = name;
    for (wchar_t& c : folded)
        if (c >= L'A' && c <= L'Z')
            c = static_cast<wchar_t>(c - L'A' + L'a');
    return folded;
}

bool IsEncodable(wchar_t c)
{
    auto u = static_cast<unsigned long>(c);
    return u <= 0x10FFFF && (u < 0xD800 || u > 0xDFFF);
}

void AppendUtf8(std::string& out, wchar_t c)
{
    auto u = static_cast<unsigned long>(c);
    if (u < 0x80) {
        out += static_cast<char>(u);
    } else if (u < 0x800) {
        out += static_cast<char>(0xC0 | (u >> 6));
        out += static_cast<char>(0x80 | (u & 0x3F));
    } else if (u < 0x10000) {
        out += static_cast<char>(0xE0 | (u >> 12));
        out += static_cast<char>(0x80 | ((u >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (u & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (u >> 18));
        out += static_cast<char>(0x80 | ((u >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((u >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (u & 0x3F));
    }
}

bool DecodeUtf8(const std::string& in, std::wstring& out)
{
    out.clear();
    std::size_t i = 0;
    const std::size_t n = in.size();
    while (i < n) {
        auto b = static_cast<unsigned char>(in[i]);
        if (b < 0x80) {
            out += static_cast<wchar_t>(b);
            ++i;
            continue;
        }
        int extra;
        unsigned long cp;
        unsigned long min;
        if ((b & 0xE0) == 0xC0) {
            extra = 1;
            cp = b & 0x1F;
            min = 0x80;
        } else if ((b & 0xF0) == 0xE0) {
            extra = 2;
            cp = b & 0x0F;
            min = 0x800;
        } else if ((b & 0xF8) == 0xF0) {
            extra = 3;
            cp = b & 0x07;
            min = 0x10000;
        } else {
            return false;
        }
        if (i + static_cast<std::size_t>(extra) >= n)
            return false;
        for (int k = 1; k <= extra; ++k) {
            auto c = static_cast<unsigned char>(in[i + static_cast<std::size_t>(k)]);
            if ((c & 0xC0) != 0x80)
                return false;
            cp = (cp << 6) | (c & 0x3F);
        }
        if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
            return false;
        out += static_cast<wchar_t>(cp);
        i += static_cast<std::size_t>(extra) + 1;
    }
    return true;
}

std::string Utf16Bytes(const std::wstring& text)
{
    std::string out;
    out.reserve(text.size() * 2 + 2);
    auto put = [&out](unsigned unit) {
        out += static_cast<char>(unit & 0xFF);
        out += static_cast<char>((unit >> 8) & 0xFF);
    };
    for (wchar_t c : text) {
        auto u = static_cast<unsigned long>(c);
        if (!IsEncodable(c)) {
            put(0xFFFD);
        } else if (u >= 0x10000) {
            u -= 0x10000;
            put(static_cast<unsigned>(0xD800 + (u >> 10)));
            put(static_cast<unsigned>(0xDC00 + (u & 0x3FF)));
        } else {
            put(static_cast<unsigned>(u));
        }
    }
    return out;
}

bool DecodeUtf16Exact(const unsigned char* data, std::size_t size, std::wstring& out)
{
    out.clear();
    if (size % 2 != 0)
        return false;
    const std::size_t units = size / 2;
    for (std::size_t i = 0; i < units; ++i) {
        unsigned u = data[2 * i] | (data[2 * i + 1] << 8);
        if (u >= 0xD800 && u <= 0xDBFF) {
            if (i + 1 >= units)
                return false;
            unsigned v = data[2 * i + 2] | (data[2 * i + 3] << 8);
            if (v < 0xDC00 || v > 0xDFFF)
                return false;
            out += static_cast<wchar_t>(0x10000 + ((u - 0xD800) << 10) + (v - 0xDC00));
            ++i;
        } else if (u >= 0xDC00 && u <= 0xDFFF) {
            return false;
        } else {
            out += static_cast<wchar_t>(u);
        }
    }
    return true;
}

} // namespace detail
} // namespace bcreg
