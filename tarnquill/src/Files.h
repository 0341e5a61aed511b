// Reading the files a description names, bounded before any memory is taken.
#pragma once

#include "base/files/WholeFile.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <stdexcept>
#include <string>
#include <vector>

namespace tarnquill {

class InputError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The whole file, or InputError naming `what` and the path.
inline std::vector<std::uint8_t> ReadWholeFile(const std::string& path, std::uint64_t maxBytes, const char* what) {
    std::vector<std::uint8_t> data;
    const int error = base::files::ReadWholeFile(path, data, maxBytes);
    if (error == EFBIG) {
        struct stat info {};
        const std::string size = ::stat(path.c_str(), &info) == 0 ? std::to_string(info.st_size) + " bytes, " : "";
        throw InputError(std::string(what) + " " + path + " is too large (" + size + std::to_string(maxBytes) +
                         " at most)");
    }
    if (error != 0) throw InputError(std::string("cannot open ") + what + " " + path + ": " + std::strerror(error));
    return data;
}

}  // namespace tarnquill
