#pragma once
// String helpers shared by the record classes and the model.

#include <cstdint>
#include <string>

namespace libpptparser {

// Code page 0 is the "ANSI code page", which is Windows-1252 on this system. Also known: 1252,
// 28591 (Latin-1) and 65001 (UTF-8). A code page that is not known, or text that does not
// convert, gives an empty string.
std::wstring AnsiToWide(const std::string& text, unsigned codePage);
// Characters without a byte in the code page become '?'. Empty input gives an empty string.
std::string WideToAnsi(const std::wstring& text, unsigned codePage);
// 8-bit text of the file format: Latin-1, each byte zero-extended.
std::wstring Latin1ToWide(const uint8_t* bytes, size_t count);
// "0x1F" and "#1F" are hexadecimal, anything else decimal; parsing stops at the first character
// that does not fit, as wcstol does.
long ParseInteger(const std::wstring& text);
std::wstring IntegerToWide(long value);
// Double quotes, '&', '<', '>', control bytes and bytes above 127 become '?'.
std::string MakeXmlSafe(const std::string& text);
// UTF-8 <-> wide, for messages and paths.
std::string WideToUtf8(const std::wstring& text);
std::wstring Utf8ToWide(const std::string& text);

}  // namespace libpptparser
