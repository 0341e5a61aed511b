// Strings and numbers.

#include "genswf/utils/Utils.h"

#include <charconv>
#include <climits>
#include <cmath>
#include <cwchar>
#include <cwctype>
#include <string_view>

namespace genswf {

namespace {

// Decimal digits without the locale machinery behind to_wstring: the description writes hundreds
// of thousands of numbers.
template <class T>
std::wstring WideDecimal(T value, std::string_view unit = {}) {
    char buffer[24];
    const char* end = std::to_chars(buffer, buffer + sizeof buffer, value).ptr;
    std::wstring text;
    text.reserve(static_cast<std::size_t>(end - buffer) + unit.size());
    text.append(static_cast<const char*>(buffer), end);
    text.append(unit.begin(), unit.end());
    return text;
}

}  // namespace

std::wstring IntToWString(int value) { return WideDecimal(value); }

std::wstring UIntToWString(unsigned value) { return WideDecimal(value); }

int WStringToInt(const std::wstring& text, bool& stoppedEarly) {
    int base = 10;
    std::size_t start = 0;
    if (text.size() >= 3 && text[0] == L'0' && (text[1] == L'x' || text[1] == L'X')) {
        base = 16;
        start = 2;
    } else if (text.size() >= 2 && text[0] == L'#') {
        base = 16;
        start = 1;
    }
    const wchar_t* begin = text.c_str() + start;
    wchar_t* end = nullptr;
    long long value = std::wcstoll(begin, &end, base);
    stoppedEarly = end != nullptr && *end != L'\0';
    // Out-of-range text saturates instead of wrapping.
    if (value > INT_MAX) value = INT_MAX;
    if (value < INT_MIN) value = INT_MIN;
    return static_cast<int>(value);
}

int WStringToInt(const std::wstring& text) {
    bool stoppedEarly = false;
    return WStringToInt(text, stoppedEarly);
}

int FloatToTwipsValue(float value) {
    const float twips = value * 20.0f;
    if (std::isnan(twips)) return 0;
    // Values past the 32-bit range saturate; the cast itself would be undefined.
    if (twips >= 2147483647.0f) return INT_MAX;
    if (twips <= -2147483648.0f) return INT_MIN;
    return static_cast<int>(twips);
}

// The unit goes in with the digits: one string made, none appended to.
std::wstring FloatToTwips(float value) { return WideDecimal(FloatToTwipsValue(value), "tw"); }

std::wstring ColorToWString(COLORREF color) {
    const unsigned rgb = ((color & 0xFFu) << 16) | (color & 0xFF00u) | ((color >> 16) & 0xFFu);
    static const wchar_t kDigits[] = L"0123456789abcdef";
    std::wstring text(7, L'#');
    for (int i = 0; i < 6; ++i) text[static_cast<std::size_t>(6 - i)] = kDigits[(rgb >> (4 * i)) & 0xFu];
    return text;
}

std::wstring FormatFloat(double value, int decimals) {
    if (decimals < 0) decimals = 0;
    if (decimals > 30) decimals = 30;
    // to_chars ignores the process locale: the decimal mark is always '.'.
    char buffer[400];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
    if (result.ec != std::errc()) return std::wstring();
    return std::wstring(buffer, result.ptr);
}

std::size_t SplitString(const std::wstring& text, const std::wstring& separators, std::vector<std::wstring>& pieces) {
    pieces.clear();
    if (text.empty()) return 0;
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (separators.find(text[i]) != std::wstring::npos) {
            pieces.push_back(text.substr(start, i - start));
            start = i + 1;
        }
    }
    pieces.push_back(text.substr(start));
    return pieces.size();
}

std::wstring JoinStrings(const std::vector<std::wstring>& pieces, const std::wstring& separator) {
    std::wstring out;
    for (std::size_t i = 0; i < pieces.size(); ++i) {
        if (i > 0) out += separator;
        out += pieces[i];
    }
    return out;
}

void RemoveEmptyStrings(std::vector<std::wstring>& pieces) {
    std::vector<std::wstring> kept;
    kept.reserve(pieces.size());
    for (auto& piece : pieces) {
        if (!piece.empty()) kept.push_back(std::move(piece));
    }
    pieces.swap(kept);
}

std::wstring ReplaceAll(const std::wstring& text, const std::wstring& search, const std::wstring& replacement) {
    if (search.empty()) return text;
    std::wstring out;
    std::size_t pos = 0;
    for (;;) {
        const std::size_t hit = text.find(search, pos);
        if (hit == std::wstring::npos) break;
        out.append(text, pos, hit - pos);
        out += replacement;
        pos = hit + search.size();
    }
    out.append(text, pos, std::wstring::npos);
    return out;
}

std::wstring ReplacePlaceholders(const std::wstring& text, const std::map<std::wstring, std::wstring>& placeholders) {
    std::wstring out = text;
    for (const auto& [key, value] : placeholders) out = ReplaceAll(out, key, value);
    return out;
}

int CompareNoCase(const std::wstring& a, const std::wstring& b) {
    const std::size_t n = a.size() < b.size() ? a.size() : b.size();
    for (std::size_t i = 0; i < n; ++i) {
        const wint_t x = std::towlower(static_cast<wint_t>(a[i]));
        const wint_t y = std::towlower(static_cast<wint_t>(b[i]));
        if (x != y) return x > y ? 1 : -1;
    }
    if (a.size() == b.size()) return 0;
    return a.size() > b.size() ? 1 : -1;
}

std::wstring Trim(const std::wstring& text) {
    const std::size_t first = text.find_first_not_of(L" \t");
    if (first == std::wstring::npos) return std::wstring();
    const std::size_t last = text.find_last_not_of(L" \t");
    return text.substr(first, last - first + 1);
}

std::wstring ToLowerCase(const std::wstring& text) {
    std::wstring out = text;
    for (wchar_t& c : out) c = static_cast<wchar_t>(std::towlower(static_cast<wint_t>(c)));
    return out;
}

std::wstring ToRomanNumeral(int n) {
    if (n <= 0) return std::wstring();
    static const wchar_t* const kHundreds[] = {L"", L"C", L"CC", L"CCC", L"CD", L"D", L"DC", L"DCC", L"DCCC", L"CM"};
    static const wchar_t* const kTens[] = {L"", L"X", L"XX", L"XXX", L"XL", L"L", L"LX", L"LXX", L"LXXX", L"XC"};
    static const wchar_t* const kUnits[] = {L"", L"I", L"II", L"III", L"IV", L"V", L"VI", L"VII", L"VIII", L"IX"};
    std::wstring out(static_cast<std::size_t>(n / 1000), L'M');
    out += kHundreds[(n / 100) % 10];
    out += kTens[(n / 10) % 10];
    out += kUnits[n % 10];
    return out;
}

std::wstring UrlEscape(const std::wstring& text) {
    static const wchar_t kHex[] = L"0123456789abcdef";
    std::wstring out;
    const auto escapeByte = [&out](unsigned char b) {
        out += L'%';
        out += kHex[b >> 4];
        out += kHex[b & 0xF];
    };
    for (wchar_t c : text) {
        if (c >= 128) {
            // Non-ASCII text goes out as the percent-encoded bytes of its UTF-8 form.
            for (char b : Utf8FromWide(std::wstring(1, c))) escapeByte(static_cast<unsigned char>(b));
        } else if (c < 33 || c >= 123 || c == L'%' || c == L'?' || c == L'&' || c == L'=') {
            escapeByte(static_cast<unsigned char>(c));
        } else {
            out += c;
        }
    }
    return out;
}

}  // namespace genswf
