#include "libimageanalyzer/ImageException.h"

#include "base/encodings/TextEncoding.h"

namespace libimageanalyzer {

std::string NativeImagePath(const std::wstring& path) {
    std::string native = base::encodings::Utf8FromWide(path);
    for (char& c : native) {
        if (c == '\\') c = '/';
    }
    return native;
}

}  // namespace libimageanalyzer
