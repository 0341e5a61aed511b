// What several fuzz targets share: a scratch folder of the process for readers that take a
// path, and writing bytes there.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include <unistd.h>

namespace fuzzsupport {

// A folder of this process, removed when the process ends: in memory where the system offers
// that (some readers' writers sync every file), else under the temporary folder.
inline const std::filesystem::path& ScratchDir() {
    static const std::filesystem::path dir = [] {
        std::filesystem::path base = std::filesystem::temp_directory_path();
        if (!std::getenv("TMPDIR") && access("/dev/shm", W_OK) == 0) base = "/dev/shm";
        std::string pattern = (base / "bc-fuzz-XXXXXX").string();
        if (!mkdtemp(pattern.data())) std::abort();
        std::atexit([] {
            std::error_code ec;
            std::filesystem::remove_all(ScratchDir(), ec);
        });
        return std::filesystem::path(pattern);
    }();
    return dir;
}

inline void WriteBytes(const std::filesystem::path& path, const std::uint8_t* data, std::size_t size) {
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) std::abort();
    if (size && std::fwrite(data, 1, size, f) != size) std::abort();
    std::fclose(f);
}

}  // namespace fuzzsupport
