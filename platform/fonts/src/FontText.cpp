#include "FontText.h"

#include <cwctype>

namespace fonts {

std::wstring LowerCase(const std::wstring& text) {
    std::wstring out = text;
    for (wchar_t& c : out) c = static_cast<wchar_t>(std::towlower(static_cast<wint_t>(c)));
    return out;
}

std::wstring TrimBlanks(const std::wstring& text) {
    std::size_t b = text.find_first_not_of(L" \t");
    if (b == std::wstring::npos) return std::wstring();
    std::size_t e = text.find_last_not_of(L" \t");
    return text.substr(b, e - b + 1);
}

}  // namespace fonts
