#pragma once
// Hand-made PNG files for the image tests, and the scratch folder they are written to.

#include "TempDir.h"

#include <cstdint>
#include <string>
#include <vector>

namespace imagetest {

struct PngSpec {
    std::uint32_t width = 1, height = 1;
    int colourType = 6;  // PNG colour type
    int bitDepth = 8;
    bool interlaced = false;
    std::vector<std::uint8_t> palette;       // RGB triples
    std::vector<std::uint8_t> transparency;  // tRNS bytes (palette alpha)
    double gamma = 0.0;                      // gAMA when positive
    std::vector<std::uint8_t> rows;          // packed rows as the file holds them
};

// Writes a PNG with libpng, exactly as described.
void WritePng(const std::wstring& path, const PngSpec& spec);
// An 8-bit RGBA PNG of the pixels (width × height × 4 bytes).
void WriteRgbaPng(const std::wstring& path, std::uint32_t width, std::uint32_t height,
                  const std::vector<std::uint8_t>& rgba);

// A raw PNG from chunks of our own making (type + data; lengths and CRCs added).
std::vector<std::uint8_t> BuildPng(const std::vector<std::pair<std::string, std::vector<std::uint8_t>>>& chunks);
std::vector<std::uint8_t> Ihdr(std::uint32_t width, std::uint32_t height, std::uint8_t depth, std::uint8_t colourType,
                               std::uint8_t interlace = 0);
std::vector<std::uint8_t> Deflate(const std::vector<std::uint8_t>& data);

void WriteBytes(const std::wstring& path, const std::vector<std::uint8_t>& bytes);
std::vector<std::uint8_t> ReadBytes(const std::wstring& path);
bool Exists(const std::wstring& path);
std::string Narrow(const std::wstring& text);

}  // namespace imagetest
