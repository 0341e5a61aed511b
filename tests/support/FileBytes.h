#pragma once
// A whole file as the test reads it back: bytes for comparisons, text for searching. Empty
// when the file is missing or unreadable, which the comparison then shows.

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace bctest {

inline std::string FileText(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline std::vector<std::uint8_t> FileBytes(const std::filesystem::path& path) {
    const std::string text = FileText(path);
    return std::vector<std::uint8_t>(text.begin(), text.end());
}

}  // namespace bctest
