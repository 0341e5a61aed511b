#pragma once
// Wide text (std::wstring, one code point per wchar_t) to and from the byte encodings at the
// system's edges: UTF-8 (paths, XML, terminal), UTF-16 (BSTR, file records, .lng, REG_SZ data),
// Windows-1252 (the "ANSI code page") and Latin-1.
//
// Wide text that arrived from UTF-16 without being joined may hold a surrogate pair as two
// wchar_t: the Unicode conversions from wide text treat such a pair as the one character it
// stands for. A lone surrogate or a value beyond U+10FFFF is not a character: the lenient
// conversions write U+FFFD for it, the strict ones fail.

#include <cstddef>
#include <string>

namespace base::encodings {

constexpr char32_t kReplacementCharacter = 0xFFFD;

// A code point other than a surrogate, at most U+10FFFF: what every Unicode encoding can carry.
bool IsScalarValue(char32_t c);

// The code point at text[i], joining a surrogate pair held as two wchar_t; advances i past it.
// Anything else (a lone surrogate, a value beyond U+10FFFF) comes back as it stands.
char32_t NextCodePoint(const std::wstring& text, std::size_t& i);

// UTF-8 of one code point; a value that is not a scalar value is written as U+FFFD.
void AppendUtf8(std::string& out, char32_t c);

// --- UTF-8 ---------------------------------------------------------------------------------

std::string Utf8FromWide(const std::wstring& text);
// False (and out empty) when the text holds a lone surrogate or a value beyond U+10FFFF.
bool StrictUtf8FromWide(const std::wstring& text, std::string& out);

// Each byte that does not start a well-formed sequence (a stray or unknown byte, a cut, overlong
// or surrogate sequence, a value beyond U+10FFFF) becomes one U+FFFD; decoding goes on at the
// next byte.
std::wstring WideFromUtf8(const std::string& text);
std::wstring WideFromUtf8(const char* text, std::size_t length);
// False (and out empty) on any malformed sequence.
bool StrictWideFromUtf8(const std::string& text, std::wstring& out);

// --- UTF-16 --------------------------------------------------------------------------------

// Characters beyond U+FFFF become surrogate pairs.
std::u16string Utf16FromWide(const std::wstring& text);
// Pairs are joined; a lone surrogate becomes U+FFFD. Embedded NULs are kept. Null units give "".
std::wstring WideFromUtf16(const char16_t* units, std::size_t count);
std::wstring WideFromUtf16(const std::u16string& units);

// UTF-16LE bytes, without a terminator.
std::string Utf16LeBytesFromWide(const std::wstring& text);
// As WideFromUtf16; an odd trailing byte is ignored. Null data gives "".
std::wstring WideFromUtf16LeBytes(const unsigned char* data, std::size_t size);
std::wstring WideFromUtf16BeBytes(const unsigned char* data, std::size_t size);
// As WideFromUtf16LeBytes, but only up to the first NUL unit (string data with a terminator).
std::wstring WideFromUtf16LeBytesToNul(const unsigned char* data, std::size_t size);
// False (and out empty) when the size is odd or a surrogate is unpaired.
bool StrictWideFromUtf16LeBytes(const unsigned char* data, std::size_t size, std::wstring& out);

// --- Windows-1252 and Latin-1 ---------------------------------------------------------------

// The five bytes Windows-1252 leaves unassigned (0x81, 0x8D, 0x8F, 0x90, 0x9D) stand for the C1
// control characters of the same value, both ways, so every byte survives a round trip.
std::wstring WideFromCp1252(const std::string& text);
// One byte per wchar_t (text kept as UTF-16 units keeps its offsets); a character without a byte
// becomes `replacement`.
std::string Cp1252FromWide(const std::wstring& text, char replacement = '?');

std::wstring WideFromLatin1(const std::string& text);
std::wstring WideFromLatin1(const unsigned char* bytes, std::size_t count);
std::string Latin1FromWide(const std::wstring& text, char replacement = '?');

}  // namespace base::encodings
