#include "libimageanalyzer/ImageComparer.h"
#include "libimageanalyzer/ImageException.h"

#include <png.h>

#include <csetjmp>
#include <cstdio>
#include <cstring>

namespace libimageanalyzer {

namespace {

void WriteToFile(png_structp png, png_bytep data, size_t length) {
    auto* file = static_cast<std::FILE*>(png_get_io_ptr(png));
    if (std::fwrite(data, 1, length, file) != length) png_error(png, "Write error");
}

void FlushFile(png_structp png) {
    auto* file = static_cast<std::FILE*>(png_get_io_ptr(png));
    if (std::fflush(file) != 0) png_error(png, "Write error");
}

void OnPngError(png_structp png, png_const_charp) { png_longjmp(png, 1); }
void OnPngWarning(png_structp, png_const_charp) {}

struct RegionView {
    const std::uint8_t* pixels;  // RGBA
    std::uint32_t stride;        // bytes per source row
    std::uint32_t left, top, width, height;
};

// Only trivially destructible locals between setjmp and libpng. row holds width + 2 pixels.
bool WriteRegion(png_structp png, png_infop info, const RegionView& view, std::uint8_t* row) {
    if (setjmp(png_jmpbuf(png))) return false;

    const std::uint32_t outWidth = view.width + 2;
    png_set_IHDR(png, info, outWidth, view.height + 2, 8, PNG_COLOR_TYPE_RGB_ALPHA, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);

    const std::size_t rowBytes = static_cast<std::size_t>(outWidth) * 4;
    std::memset(row, 0, rowBytes);
    png_write_row(png, row);
    for (std::uint32_t y = 0; y < view.height; ++y) {
        const std::uint8_t* in = view.pixels + static_cast<std::size_t>(view.top + y) * view.stride +
                                 static_cast<std::size_t>(view.left) * 4;
        std::uint8_t* out = row + 4;
        for (std::uint32_t x = 0; x < view.width; ++x, in += 4, out += 4) {
            if (in[3] != 0)
                std::memcpy(out, in, 4);
            else
                std::memset(out, 0, 4);
        }
        png_write_row(png, row);
    }
    std::memset(row, 0, rowBytes);
    png_write_row(png, row);
    png_write_end(png, info);
    return true;
}

}  // namespace

void CImageRegion::SavePng(const std::wstring& path) const {
    const CImageBuffer* image = m_image.get();
    if (image == nullptr || image->GetFormat() != kFormatRgba || image->GetBitDepth() != 8)
        throw CBaseException(L"Can not write region: the picture is not in rgba format");
    const std::uint64_t stride = static_cast<std::uint64_t>(image->GetWidth()) * 4;
    if (m_left < 0 || m_top < 0 || m_left > m_right || m_top > m_bottom ||
        static_cast<std::uint32_t>(m_right) >= image->GetWidth() ||
        static_cast<std::uint32_t>(m_bottom) >= image->GetHeight() ||
        image->GetPixels().size() < stride * image->GetHeight())
        throw CBaseException(L"Can not write region: it lies outside the picture");

    const RegionView view{image->GetPixels().data(),
                          static_cast<std::uint32_t>(stride),
                          static_cast<std::uint32_t>(m_left),
                          static_cast<std::uint32_t>(m_top),
                          static_cast<std::uint32_t>(GetWidth()),
                          static_cast<std::uint32_t>(GetHeight())};
    std::vector<std::uint8_t> row((static_cast<std::size_t>(view.width) + 2) * 4);

    const std::string native = NativeImagePath(path);
    std::FILE* file = std::fopen(native.c_str(), "wb");
    if (file == nullptr) throw CBaseException(L"Can not open file for writing: " + path);

    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, OnPngError, OnPngWarning);
    if (png == nullptr) {
        std::fclose(file);
        std::remove(native.c_str());
        throw CBaseException(L"Can not create png write struct for file " + path);
    }
    png_infop info = png_create_info_struct(png);
    if (info == nullptr) {
        png_destroy_write_struct(&png, nullptr);
        std::fclose(file);
        std::remove(native.c_str());
        throw CBaseException(L"Can not create png info for file " + path);
    }
    png_set_write_fn(png, file, WriteToFile, FlushFile);
    const bool written = WriteRegion(png, info, view, row.data());
    png_destroy_write_struct(&png, &info);
    const bool closed = std::fclose(file) == 0;
    // Never leave half a picture behind.
    if (!written || !closed) {
        std::remove(native.c_str());
        throw CBaseException(L"Error while writing png file");
    }
}

}  // namespace libimageanalyzer
