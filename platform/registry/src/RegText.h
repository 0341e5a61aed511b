#pragma once
// Text conversions of the registry: UTF-8 for files, UTF-16LE for REG_SZ data.

#include <string>

namespace bcreg {
namespace detail {

// ASCII case folding: the registry compares names this way.
std::wstring Fold(const std::wstring& name);

// False for characters UTF-8 cannot carry (surrogates, beyond U+10FFFF).
bool IsEncodable(wchar_t c);
void AppendUtf8(std::string& out, wchar_t c); // c must be encodable
// Strict: false on any malformed, overlong or surrogate sequence.
bool DecodeUtf8(const std::string& in, std::wstring& out);

// UTF-16LE code units of text; characters outside UTF-16 become U+FFFD.
std::string Utf16Bytes(const std::wstring& text);
// Exact decode: false when the bytes are not whole UTF-16 with paired surrogates.
bool DecodeUtf16Exact(const unsigned char* data, std::size_t size, std::wstring& out);

} // namespace detail
} // namespace bcreg
