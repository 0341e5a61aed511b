// The code-page calls of the pipeline over the shared text encodings.

#include "genswf/utils/Utils.h"

#include "base/encodings/TextEncoding.h"

namespace genswf {

std::string Utf8FromWide(const std::wstring& text) { return base::encodings::Utf8FromWide(text); }

std::wstring WideFromUtf8(const std::string& text) { return base::encodings::WideFromUtf8(text); }

std::string WideToMultiByte(const std::wstring& text, unsigned codePage) {
    if (codePage == CP_UTF8) return base::encodings::Utf8FromWide(text);
    if (codePage == CP_LATIN1) return base::encodings::Latin1FromWide(text);
    return base::encodings::Cp1252FromWide(text);
}

std::wstring MultiByteToWide(const std::string& text, unsigned codePage) {
    if (codePage == CP_UTF8) return base::encodings::WideFromUtf8(text);
    if (codePage == CP_LATIN1) return base::encodings::WideFromLatin1(text);
    return base::encodings::WideFromCp1252(text);
}

}  // namespace genswf
