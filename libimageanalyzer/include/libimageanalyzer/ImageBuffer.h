#pragma once
// A decoded picture: rows of pixels, top row first, in one of the layouts of PngCodec.h.

#include "PngCodec.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace libimageanalyzer {

class CImageBuffer {
public:
    static std::shared_ptr<CImageBuffer> Create();
    virtual ~CImageBuffer() = default;

    // Reads a PNG file. A file that cannot be opened leaves the buffer as it was; anything
    // else that fails throws CBaseException.
    void ReadPng(const std::wstring& path);
    // The same, left as ToRgba(alpha) would leave it: a picture without alpha of its own is
    // given the channel while it is decoded, not copied once more.
    void ReadPngAsRgba(const std::wstring& path, std::uint8_t alpha);
    // Converts to RGBA and gives every pixel the alpha value.
    void ToRgba(std::uint8_t alpha);

    std::vector<std::uint8_t>& GetPixels() { return m_pixels; }
    const std::vector<std::uint8_t>& GetPixels() const { return m_pixels; }
    std::uint32_t GetWidth() const { return m_width; }
    std::uint32_t GetHeight() const { return m_height; }
    std::uint32_t GetBitDepth() const { return m_bitDepth; }
    std::uint32_t GetPixelCount() const { return m_pixelCount; }
    std::uint32_t GetFormat() const { return m_format; }

    // Replaces the contents with an RGBA picture (pixels must hold width × height × 4 bytes).
    void SetRgba(std::uint32_t width, std::uint32_t height, std::vector<std::uint8_t> pixels);

private:
    CImageBuffer() = default;
    void Read(const std::wstring& path, bool asRgba, std::uint8_t alpha);

    std::vector<std::uint8_t> m_pixels;
    std::uint32_t m_width = 0;
    std::uint32_t m_height = 0;
    std::uint32_t m_bitDepth = 8;
    std::uint32_t m_pixelCount = 0;
    std::uint32_t m_format = kFormatRgba;
};

}  // namespace libimageanalyzer
