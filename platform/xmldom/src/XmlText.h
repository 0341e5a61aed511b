#pragma once
// Wide text <-> the UTF-8 the document holds.

#include "base/encodings/TextEncoding.h"

#include <string>

namespace xmldom {
namespace detail {

// True for the characters XML 1.0 allows in a document.
bool IsXmlChar(char32_t c);

// UTF-8 of the text with every character XML forbids dropped. A surrogate pair held as two
// wchar_t is joined into its code point; a lone surrogate is dropped.
std::string XmlUtf8FromWide(const std::wstring& text);
// The same, appended to out.
void AppendXmlUtf8(std::string& out, const std::wstring& text);

// Wide text of the UTF-8 the document holds (always valid there); null gives "".
inline std::wstring WideFromUtf8(const char* text, std::size_t length) {
    return base::encodings::WideFromUtf8(text, length);
}
std::wstring WideFromUtf8(const char* text);

}  // namespace detail
}  // namespace xmldom
