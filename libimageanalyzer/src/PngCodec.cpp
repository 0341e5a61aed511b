#include "libimageanalyzer/PngCodec.h"

#include <png.h>

#include <cstring>

#include <csetjmp>
#include <limits>

namespace libimageanalyzer {

namespace {

// A full-strength deflate stream never inflates more than this many times its own size; an
// image that claims more pixel data than its file could carry is refused before allocating.
constexpr std::uint64_t kMaxInflateRatio = 1032;

void ReadFromStream(png_structp png, png_bytep data, size_t length) {
    auto* stream = static_cast<CInputStream*>(png_get_io_ptr(png));
    if (length > static_cast<size_t>(std::numeric_limits<long long>::max()) ||
        stream->Read(data, static_cast<long long>(length)) != static_cast<long long>(length)) {
        png_error(png, "Read error");
    }
}

// libpng's own handler prints; the codec reports through its result instead.
void OnPngError(png_structp png, png_const_charp) { png_longjmp(png, 1); }
void OnPngWarning(png_structp, png_const_charp) {}

struct Options {
    bool expandPalette, strip16, expandGrey, transparencyToAlpha, greyToRgb, applyGamma;
    double screenGamma;
    bool addAlpha;
    std::uint8_t alpha;
};

struct Outcome {
    std::uint32_t width, height, bitDepth, colourType;
    std::uint64_t rowBytes;
    std::uint32_t error;
};

// Everything between setjmp and libpng lives here, with trivially destructible locals only:
// libpng leaves through longjmp. Without decode only the header is read.
bool RunPng(png_structp png, png_infop info, const Options& options, long long streamBytes, bool decode,
            std::uint8_t* rows, std::uint64_t capacity, Outcome& out) {
    if (setjmp(png_jmpbuf(png))) return false;

    png_set_sig_bytes(png, 8);
    png_read_info(png, info);

    const png_uint_32 width = png_get_image_width(png, info);
    const png_uint_32 height = png_get_image_height(png, info);
    const int depth = png_get_bit_depth(png, info);
    const int colourType = png_get_color_type(png, info);
    const int channels = png_get_channels(png, info);

    const std::uint64_t rawBits =
        static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(channels) * static_cast<std::uint64_t>(depth);
    const std::uint64_t rawRowBytes = (rawBits + 7) / 8;
    const std::uint64_t carried = streamBytes < 0 ? 0 : static_cast<std::uint64_t>(streamBytes) * kMaxInflateRatio;
    if (rawRowBytes == 0 || height > carried / rawRowBytes) {
        out.error = CPngCodec::kErrorTooLarge;
        return false;
    }

    if (options.strip16 && depth == 16) png_set_strip_16(png);
    if (options.expandPalette && colourType == PNG_COLOR_TYPE_PALETTE) png_set_palette_to_rgb(png);
    if (options.expandGrey && colourType == PNG_COLOR_TYPE_GRAY && depth < 8) png_set_expand_gray_1_2_4_to_8(png);
    if (options.transparencyToAlpha && png_get_valid(png, info, PNG_INFO_tRNS)) png_set_tRNS_to_alpha(png);
    if (options.greyToRgb && (colourType == PNG_COLOR_TYPE_GRAY || colourType == PNG_COLOR_TYPE_GRAY_ALPHA))
        png_set_gray_to_rgb(png);
    double fileGamma = 0.0;
    if (options.applyGamma && png_get_gAMA(png, info, &fileGamma) && fileGamma > 0.0)
        png_set_gamma(png, options.screenGamma, fileGamma);
    // Eight-bit RGB rows take their alpha here, four bytes a pixel: libpng's filler moves a byte
    // at a time and was most of decoding a slide's picture.
    const bool interlaced = png_get_interlace_type(png, info) != PNG_INTERLACE_NONE;
    const bool ownAlpha = options.addAlpha && colourType == PNG_COLOR_TYPE_RGB && depth == 8 && !interlaced &&
                          !(options.transparencyToAlpha && png_get_valid(png, info, PNG_INFO_tRNS));
    if (options.addAlpha && !ownAlpha && (depth <= 8 || options.strip16))
        png_set_add_alpha(png, options.alpha, PNG_FILLER_AFTER);
    const int passes = png_set_interlace_handling(png);
    png_read_update_info(png, info);

    out.width = width;
    out.height = height;
    out.bitDepth = png_get_bit_depth(png, info);
    out.colourType = png_get_color_type(png, info);
    out.rowBytes = png_get_rowbytes(png, info);
    if (ownAlpha) {
        out.colourType = PNG_COLOR_TYPE_RGB_ALPHA;
        out.rowBytes = static_cast<std::uint64_t>(width) * 4;
    }
    if (out.rowBytes == 0 || out.rowBytes > CPngCodec::kMaxBufferBytes ||
        out.rowBytes * height > CPngCodec::kMaxBufferBytes) {
        out.error = CPngCodec::kErrorTooLarge;
        return false;
    }
    if (!decode) return true;
    if (rows == nullptr || capacity < out.rowBytes * height) {
        out.error = CPngCodec::kErrorBadImage;
        return false;
    }
    // Row by row: no table of row pointers to allocate.
    if (ownAlpha) {
        // The three bytes a pixel go to the last three quarters of the row, and spread from its
        // start: a pixel's four bytes never reach a source byte not yet read.
        // A pixel is read as four bytes, its own three and the next one's first, which the alpha
        // replaces; the last pixel of a row has no next one.
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_BIG_ENDIAN__
        const std::uint32_t colour = 0xFFFFFF00u, alpha = options.alpha;
#else
        const std::uint32_t colour = 0x00FFFFFFu, alpha = static_cast<std::uint32_t>(options.alpha) << 24;
#endif
        const std::uint8_t lastAlpha = options.alpha;
        for (png_uint_32 y = 0; y < height; ++y) {
            std::uint8_t* row = rows + y * out.rowBytes;
            const std::uint8_t* rgb = row + width;
            png_read_row(png, row + width, nullptr);
            png_uint_32 x = 0;
            for (; x + 1 < width; ++x) {
                std::uint32_t pixel;
                std::memcpy(&pixel, rgb + 3 * static_cast<std::size_t>(x), 4);
                pixel = (pixel & colour) | alpha;
                std::memcpy(row + 4 * static_cast<std::size_t>(x), &pixel, 4);
            }
            const std::uint8_t* last = rgb + 3 * static_cast<std::size_t>(x);
            std::uint8_t* to = row + 4 * static_cast<std::size_t>(x);
            const std::uint8_t r = last[0], g = last[1], b = last[2];
            to[0] = r;
            to[1] = g;
            to[2] = b;
            to[3] = lastAlpha;
        }
    } else {
        for (int pass = 0; pass < passes; ++pass) {
            for (png_uint_32 y = 0; y < height; ++y) png_read_row(png, rows + y * out.rowBytes, nullptr);
        }
    }
    png_read_end(png, nullptr);
    return true;
}

bool FormatOfColourType(std::uint32_t colourType, std::uint32_t& format) {
    switch (colourType) {
    case PNG_COLOR_TYPE_GRAY:
        format = kFormatGrey;
        return true;
    case PNG_COLOR_TYPE_RGB:
        format = kFormatRgb;
        return true;
    case PNG_COLOR_TYPE_PALETTE:
        format = kFormatPalette;
        return true;
    case PNG_COLOR_TYPE_GRAY_ALPHA:
        format = kFormatGreyAlpha;
        return true;
    case PNG_COLOR_TYPE_RGB_ALPHA:
        format = kFormatRgba;
        return true;
    default:
        return false;
    }
}

}  // namespace

bool CPngCodec::Run(CInputStream& stream, Info& info, std::vector<std::uint8_t>* pixels) {
    m_lastError = kErrorNone;
    const long long start = stream.GetPosition();
    png_byte signature[8];
    if (stream.Read(signature, 8) != 8) {
        m_lastError = kErrorShortStream;
        stream.Seek(start, false);
        return false;
    }
    if (png_sig_cmp(signature, 0, 8) != 0) {
        m_lastError = kErrorNotPng;
        stream.Seek(start, false);
        return false;
    }

    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, OnPngError, OnPngWarning);
    png_infop pngInfo = png ? png_create_info_struct(png) : nullptr;
    if (!png || !pngInfo) {
        png_destroy_read_struct(&png, pngInfo ? &pngInfo : nullptr, nullptr);
        m_lastError = kErrorBadImage;
        stream.Seek(start, false);
        return false;
    }
    png_set_read_fn(png, &stream, ReadFromStream);
#ifdef PNG_IGNORE_ADLER32
    // Every data chunk is checked against its own CRC already; the stream's second checksum
    // over the inflated bytes would cost a pass over every pixel for nothing more.
    png_set_option(png, PNG_IGNORE_ADLER32, PNG_OPTION_ON);
#endif
    // libpng takes memory for the length a text or profile chunk claims before reading it; the
    // codec uses none of them, so they are skipped unread.
    static const png_byte kSkipped[] = "tEXt\0zTXt\0iTXt\0iCCP\0sPLT\0eXIf";
    png_set_keep_unknown_chunks(png, PNG_HANDLE_CHUNK_NEVER, kSkipped, 6);

    const Options options{m_expandPalette, m_strip16,  m_expandGrey, m_transparencyToAlpha, m_greyToRgb, m_applyGamma,
                          m_screenGamma,   m_addAlpha, m_alpha};
    Outcome outcome{0, 0, 0, 0, 0, kErrorNone};
    const bool ok = RunPng(png, pngInfo, options, stream.GetSize() - start, pixels != nullptr,
                           pixels ? pixels->data() : nullptr, pixels ? pixels->size() : 0, outcome);
    png_destroy_read_struct(&png, &pngInfo, nullptr);

    std::uint32_t format = 0;
    if (!ok || !FormatOfColourType(outcome.colourType, format)) {
        m_lastError = outcome.error != kErrorNone ? outcome.error : kErrorBadImage;
        stream.Seek(start, false);
        return false;
    }
    info = Info{outcome.width, outcome.height, outcome.bitDepth, format, outcome.rowBytes};
    return true;
}

bool CPngCodec::ReadInfo(CInputStream& stream, std::uint32_t& width, std::uint32_t& height, std::uint32_t& bitDepth,
                         std::uint32_t& format, std::uint64_t& bufferSize) {
    const long long start = stream.GetPosition();
    Info info{};
    const bool ok = Run(stream, info, nullptr);
    stream.Seek(start, false);
    if (!ok) return false;
    width = info.width;
    height = info.height;
    bitDepth = info.bitDepth;
    format = info.format;
    bufferSize = info.rowBytes * info.height;
    return true;
}

bool CPngCodec::Decode(CInputStream& stream, std::vector<std::uint8_t>& pixels) {
    Info info{};
    return Run(stream, info, &pixels);
}

}  // namespace libimageanalyzer
