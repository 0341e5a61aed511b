// Reading the files a description names, bounded before any memory is taken.
#pragma once

#include <cerrno>
#include <cstdint>
#include <cstdio>
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
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) throw InputError(std::string("cannot open ") + what + " " + path + ": " + std::strerror(errno));
    std::vector<std::uint8_t> data;
    bool ok = std::fseek(f, 0, SEEK_END) == 0;
    long size = ok ? std::ftell(f) : -1;
    ok = ok && size >= 0 && std::fseek(f, 0, SEEK_SET) == 0;
    if (ok && static_cast<std::uint64_t>(size) > maxBytes) {
        std::fclose(f);
        throw InputError(std::string(what) + " " + path + " is too large (" + std::to_string(size) + " bytes, " +
                         std::to_string(maxBytes) + " at most)");
    }
    if (ok) {
        data.resize(static_cast<std::size_t>(size));
        ok = data.empty() || std::fread(data.data(), 1, data.size(), f) == data.size();
    }
    std::fclose(f);
    if (!ok) throw InputError(std::string("cannot read ") + what + " " + path);
    return data;
}

}  // namespace tarnquill
