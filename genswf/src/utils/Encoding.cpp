// The code-page calls of the pipeline over the shared text encodings.

#include "Utils.h"

#include "TextEncoding.h"

namespace genswf {

std::string Utf8FromWide(const std::wstring& text) { return bctext::Utf8FromWide(text); }

std::wstring WideFromUtf8(const std::string& text) { return bctext::WideFromUtf8(text); }

std::string WideToMultiByte(const std::wstring& text, unsigned codePage) {
    if (codePage == CP_UTF8) return bctext::Utf8FromWide(text);
    if (codePage == CP_LATIN1) return bctext::Latin1FromWide(text);
    return bctext::Cp1252FromWide(text);
}

std::wstring MultiByteToWide(const std::string& text, unsigned codePage) {
    if (codePage == CP_UTF8) return bctext::WideFromUtf8(text);
    if (codePage == CP_LATIN1) return bctext::WideFromLatin1(text);
    return bctext::WideFromCp1252(text);
}

}  // namespace genswf
