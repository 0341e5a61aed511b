#pragma once
// Text rules of the registry: names compare ASCII-case-insensitively; files are UTF-8 and REG_SZ
// data UTF-16LE, both converted by bctext.

#include "TextEncoding.h"

#include <string>

namespace bcreg {
namespace detail {

// ASCII case folding: the registry compares names this way.
std::wstring Fold(const std::wstring& name);

// False for characters UTF-8 cannot carry (surrogates, beyond U+10FFFF).
inline bool IsEncodable(wchar_t c) { return bctext::IsScalarValue(static_cast<char32_t>(c)); }

}  // namespace detail
}  // namespace bcreg
