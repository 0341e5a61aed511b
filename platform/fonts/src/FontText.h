#pragma once
// Small text helpers of the fonts library.

#include <string>

namespace fonts {

std::wstring LowerCase(const std::wstring& text);
std::wstring TrimBlanks(const std::wstring& text);

}  // namespace fonts
