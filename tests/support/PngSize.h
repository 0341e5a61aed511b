#pragma once
// The size a PNG's header gives, read apart from any decoder under test.

#include "FileBytes.h"

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <utility>
#include <vector>

namespace bctest {

// Width and height from a PNG's header; (0, 0) when the bytes are no PNG.
inline std::pair<int, int> PngSize(const std::vector<std::uint8_t>& png) {
    static const std::uint8_t signature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    if (png.size() < 24 || !std::equal(signature, signature + 8, png.begin())) return {0, 0};
    const auto be = [&png](std::size_t at) {
        return int((std::uint32_t(png[at]) << 24) | (png[at + 1] << 16) | (png[at + 2] << 8) | png[at + 3]);
    };
    return {be(16), be(20)};
}

inline std::pair<int, int> PngSize(const std::filesystem::path& file) { return PngSize(FileBytes(file)); }

}  // namespace bctest
