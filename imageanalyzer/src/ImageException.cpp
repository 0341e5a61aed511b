#include "ImageException.h"

#include "TextEncoding.h"

namespace libimageanalyzer {

std::string NativeImagePath(const std::wstring& path) {
    std::string native = bctext::Utf8FromWide(path);
    for (char& c : native) {
        if (c == '\\') c = '/';
    }
    return native;
}

}  // namespace libimageanalyzer
