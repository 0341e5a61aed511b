#pragma once
// Small text helpers of the fonts library (fontconfig speaks UTF-8, the system wide text).

#include <string>

namespace bcfonts {

std::string WideToUtf8(const std::wstring& text);
std::wstring Utf8ToWide(const std::string& text);
std::wstring LowerCase(const std::wstring& text);
std::wstring TrimBlanks(const std::wstring& text);

} // namespace bcfonts
