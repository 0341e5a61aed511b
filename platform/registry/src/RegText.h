#pragma once
// Text rules of the registry: names compare ASCII-case-insensitively; files are UTF-8 and REG_SZ
// data UTF-16LE, both converted by the shared encodings.

#include "base/encodings/TextEncoding.h"

#include <string>

namespace registry {
namespace detail {

// ASCII case folding: the registry compares names this way.
std::wstring Fold(const std::wstring& name);

// False for characters UTF-8 cannot carry (surrogates, beyond U+10FFFF).
inline bool IsEncodable(wchar_t c) { return base::encodings::IsScalarValue(static_cast<char32_t>(c)); }

}  // namespace detail
}  // namespace registry
