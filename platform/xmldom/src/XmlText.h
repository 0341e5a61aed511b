#pragma once
// Wide text <-> the UTF-8 that libxml2 holds.

#include <string>

namespace xmldom {
namespace detail {

// True for the characters XML 1.0 allows in a document.
bool IsXmlChar(char32_t c);

// UTF-8 of the text with every character XML forbids dropped. A surrogate pair held as two
// wchar_t is joined into its code point; a lone surrogate is dropped.
std::string XmlUtf8FromWide(const std::wstring& text);

// UTF-8 of the text as it stands; false when it holds a value no UTF-8 can carry.
bool StrictUtf8FromWide(const std::wstring& text, std::string& out);

// Wide text of UTF-8 held by libxml2 (always valid there); a bad byte becomes U+FFFD.
std::wstring WideFromUtf8(const char* text, std::size_t length);
std::wstring WideFromUtf8(const char* text);

} // namespace detail
} // namespace xmldom
