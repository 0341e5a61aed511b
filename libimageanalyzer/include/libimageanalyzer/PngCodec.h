#pragma once
// PNG decoding over a byte stream, with the transformations the comparer wants: 8-bit
// channels, palettes and low-depth grey expanded, transparency as alpha, grey as RGB.

#include "MemoryStream.h"

#include <cstdint>
#include <vector>

namespace libimageanalyzer {

// Pixel layouts of a decoded image.
enum : std::uint32_t {
    kFormatGrey = 0,
    kFormatPalette = 1,
    kFormatRgb = 2,
    kFormatRgba = 3,
    kFormatGreyAlpha = 4,
};

class CPngCodec {
public:
    enum : std::uint32_t {
        kErrorNone = 0,
        kErrorShortStream = 1,
        kErrorNotPng = 2,
        kErrorBadImage = 3,
        kErrorTooLarge = 4
    };

    // Decoded images larger than this are refused before anything is allocated.
    static constexpr std::uint64_t kMaxBufferBytes = 256ull * 1024 * 1024;

    virtual ~CPngCodec() = default;

    virtual void SetGamma(double screenGamma) { m_screenGamma = screenGamma; }
    virtual void SetExpandPalette(bool on) { m_expandPalette = on; }
    virtual void SetStrip16(bool on) { m_strip16 = on; }
    virtual void SetExpandGrey(bool on) { m_expandGrey = on; }
    virtual void SetTransparencyToAlpha(bool on) { m_transparencyToAlpha = on; }
    virtual void SetGreyToRgb(bool on) { m_greyToRgb = on; }
    virtual void SetApplyGamma(bool on) { m_applyGamma = on; }
    // Pictures without an alpha channel of their own get one of this value (8-bit layouts).
    virtual void SetAddAlpha(bool on, std::uint8_t alpha) {
        m_addAlpha = on;
        m_alpha = alpha;
    }

    virtual double GetGamma() const { return m_screenGamma; }
    virtual bool GetExpandPalette() const { return m_expandPalette; }
    virtual bool GetStrip16() const { return m_strip16; }
    virtual bool GetExpandGrey() const { return m_expandGrey; }
    virtual bool GetTransparencyToAlpha() const { return m_transparencyToAlpha; }
    virtual bool GetGreyToRgb() const { return m_greyToRgb; }
    virtual bool GetApplyGamma() const { return m_applyGamma; }
    virtual std::uint32_t GetLastError() const { return m_lastError; }

    // The decoded size and layout, leaving the stream where it was. False on a short stream,
    // a bad signature or header, or an image above kMaxBufferBytes (see GetLastError).
    virtual bool ReadInfo(CInputStream& stream, std::uint32_t& width, std::uint32_t& height, std::uint32_t& bitDepth,
                          std::uint32_t& format, std::uint64_t& bufferSize);
    // Decodes the whole image into pixels, which must hold the buffer size ReadInfo gave.
    virtual bool Decode(CInputStream& stream, std::vector<std::uint8_t>& pixels);

private:
    struct Info {
        std::uint32_t width, height, bitDepth, format;
        std::uint64_t rowBytes;
    };
    bool Run(CInputStream& stream, Info& info, std::vector<std::uint8_t>* pixels);

    std::uint32_t m_lastError = kErrorNone;
    bool m_expandPalette = false;
    bool m_strip16 = true;
    bool m_expandGrey = true;
    bool m_transparencyToAlpha = true;
    bool m_greyToRgb = true;
    bool m_applyGamma = true;
    bool m_addAlpha = false;
    std::uint8_t m_alpha = 255;
    double m_screenGamma = 2.2;
};

}  // namespace libimageanalyzer
