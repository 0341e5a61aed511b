#include "ImageTestUtil.h"
#include "FileBytes.h"

#include "genswf/utils/Utils.h"

#include <png.h>
#include <zlib.h>

#include <sys/stat.h>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace imagetest {

std::string Narrow(const std::wstring& text) { return genswf::Utf8FromWide(text); }

namespace {

bool WritePngFile(std::FILE* file, const PngSpec& spec) {
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_init_io(png, file);
    png_set_IHDR(png, info, spec.width, spec.height, spec.bitDepth, spec.colourType,
                 spec.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    if (!spec.palette.empty()) {
        std::vector<png_color> colours(spec.palette.size() / 3);
        for (std::size_t i = 0; i < colours.size(); ++i)
            colours[i] = png_color{spec.palette[i * 3], spec.palette[i * 3 + 1], spec.palette[i * 3 + 2]};
        png_set_PLTE(png, info, colours.data(), static_cast<int>(colours.size()));
    }
    if (!spec.transparency.empty())
        png_set_tRNS(png, info, spec.transparency.data(), static_cast<int>(spec.transparency.size()), nullptr);
    if (spec.gamma > 0) png_set_gAMA(png, info, spec.gamma);
    png_write_info(png, info);
    const std::size_t rowBytes = spec.rows.size() / spec.height;
    std::vector<png_bytep> rows(spec.height);
    for (std::uint32_t y = 0; y < spec.height; ++y) rows[y] = const_cast<png_bytep>(spec.rows.data() + y * rowBytes);
    png_write_image(png, rows.data());
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return true;
}

}  // namespace

void WritePng(const std::wstring& path, const PngSpec& spec) {
    std::FILE* file = std::fopen(Narrow(path).c_str(), "wb");
    if (!file) throw std::runtime_error("cannot create " + Narrow(path));
    const bool ok = WritePngFile(file, spec);
    std::fclose(file);
    if (!ok) throw std::runtime_error("cannot write " + Narrow(path));
}

void WriteRgbaPng(const std::wstring& path, std::uint32_t width, std::uint32_t height,
                  const std::vector<std::uint8_t>& rgba) {
    PngSpec spec;
    spec.width = width;
    spec.height = height;
    spec.rows = rgba;
    WritePng(path, spec);
}

std::vector<std::uint8_t> BuildPng(const std::vector<std::pair<std::string, std::vector<std::uint8_t>>>& chunks) {
    std::vector<std::uint8_t> out = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    auto put32 = [&out](std::uint32_t v) {
        for (int s = 24; s >= 0; s -= 8) out.push_back(static_cast<std::uint8_t>(v >> s));
    };
    for (const auto& chunk : chunks) {
        put32(static_cast<std::uint32_t>(chunk.second.size()));
        const std::size_t typeAt = out.size();
        out.insert(out.end(), chunk.first.begin(), chunk.first.end());
        out.insert(out.end(), chunk.second.begin(), chunk.second.end());
        put32(static_cast<std::uint32_t>(crc32(0, out.data() + typeAt, static_cast<uInt>(out.size() - typeAt))));
    }
    return out;
}

std::vector<std::uint8_t> Ihdr(std::uint32_t width, std::uint32_t height, std::uint8_t depth, std::uint8_t colourType,
                               std::uint8_t interlace) {
    std::vector<std::uint8_t> data;
    for (std::uint32_t v : {width, height})
        for (int s = 24; s >= 0; s -= 8) data.push_back(static_cast<std::uint8_t>(v >> s));
    data.insert(data.end(), {depth, colourType, 0, 0, interlace});
    return data;
}

std::vector<std::uint8_t> Deflate(const std::vector<std::uint8_t>& data) {
    uLongf size = compressBound(static_cast<uLong>(data.size()));
    std::vector<std::uint8_t> out(size);
    if (compress(out.data(), &size, data.data(), static_cast<uLong>(data.size())) != Z_OK)
        throw std::runtime_error("compress failed");
    out.resize(size);
    return out;
}

void WriteBytes(const std::wstring& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream out(Narrow(path), std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + Narrow(path));
}

std::vector<std::uint8_t> ReadBytes(const std::wstring& path) { return bctest::FileBytes(Narrow(path)); }

bool Exists(const std::wstring& path) {
    struct stat info {};
    return ::stat(Narrow(path).c_str(), &info) == 0;
}

}  // namespace imagetest
