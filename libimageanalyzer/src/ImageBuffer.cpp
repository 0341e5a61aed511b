#include "libimageanalyzer/ImageBuffer.h"

#include "libimageanalyzer/ImageException.h"
#include "libimageanalyzer/MemoryStream.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace libimageanalyzer {

namespace {

// Picture files beyond this are not renderings we made; refuse rather than allocate.
constexpr std::uint64_t kMaxFileBytes = 256ull * 1024 * 1024;

class CFd {
public:
    explicit CFd(int fd) : m_fd(fd) {}
    ~CFd() {
        if (m_fd >= 0) ::close(m_fd);
    }
    CFd(const CFd&) = delete;
    CFd& operator=(const CFd&) = delete;
    int Get() const { return m_fd; }

private:
    int m_fd;
};

bool ReadAll(int fd, std::uint8_t* data, std::size_t size) {
    std::size_t done = 0;
    while (done < size) {
        const ssize_t got = ::read(fd, data + done, size - done);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) return false;
        done += static_cast<std::size_t>(got);
    }
    return true;
}

std::size_t BytesPerPixel(std::uint32_t format) {
    switch (format) {
    case kFormatGrey:
        return 1;
    case kFormatRgb:
        return 3;
    case kFormatRgba:
        return 4;
    case kFormatGreyAlpha:
        return 2;
    default:
        return 0;
    }
}

}  // namespace

std::shared_ptr<CImageBuffer> CImageBuffer::Create() { return std::shared_ptr<CImageBuffer>(new CImageBuffer()); }

void CImageBuffer::ReadPng(const std::wstring& path) { Read(path, false, 0); }

void CImageBuffer::ReadPngAsRgba(const std::wstring& path, std::uint8_t alpha) { Read(path, true, alpha); }

void CImageBuffer::Read(const std::wstring& path, bool asRgba, std::uint8_t alpha) {
    CFd file(::open(NativeImagePath(path).c_str(), O_RDONLY | O_CLOEXEC));
    struct stat info {};
    // Like a file that is not there, a folder is nothing this reader can open.
    if (file.Get() < 0 || ::fstat(file.Get(), &info) != 0 || !S_ISREG(info.st_mode)) return;

    const std::uint64_t size = static_cast<std::uint64_t>(info.st_size);
    if (size > kMaxFileBytes) throw CBaseException(L"Can not read file: " + path);
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size));
    if (!ReadAll(file.Get(), bytes.data(), bytes.size())) throw CBaseException(L"Can not read file: " + path);

    CMemoryStream stream(bytes.data(), bytes.size());
    CPngCodec codec;
    codec.SetExpandPalette(true);

    std::uint32_t width = 0, height = 0, bitDepth = 0, format = 0;
    std::uint64_t bufferSize = 0;
    if (!codec.ReadInfo(stream, width, height, bitDepth, format, bufferSize))
        throw CBaseException(L"Can not get image info. Image " + path);
    // Eight-bit RGB takes its alpha while it is decoded; other layouts are converted after.
    const bool addAlpha = asRgba && format == kFormatRgb && bitDepth == 8;
    if (addAlpha) {
        codec.SetAddAlpha(true, alpha);
        if (!codec.ReadInfo(stream, width, height, bitDepth, format, bufferSize) || format != kFormatRgba)
            throw CBaseException(L"Can not get image info. Image " + path);
    }

    // Decoded aside, so a failure leaves the buffer as it was.
    std::vector<std::uint8_t> pixels(static_cast<std::size_t>(bufferSize), 0);
    if (!codec.Decode(stream, pixels)) throw CBaseException(L"Can not decode image " + path);

    m_pixels = std::move(pixels);
    m_width = width;
    m_height = height;
    m_bitDepth = bitDepth;
    m_format = format;
    m_pixelCount = static_cast<std::uint32_t>(static_cast<std::uint64_t>(width) * height);
    if (asRgba && !addAlpha) ToRgba(alpha);
}

void CImageBuffer::ToRgba(std::uint8_t alpha) {
    if (m_format == kFormatPalette) throw CBaseException(L"Can not convert from palette to rgba format");
    const std::size_t bpp = BytesPerPixel(m_format);
    if (bpp == 0) {
        m_format = kFormatRgba;
        return;
    }
    if (m_bitDepth != 8) throw CBaseException(L"Can not convert to rgba format: channels are not 8 bits");
    const std::size_t count = m_pixelCount;
    if (m_pixels.size() / bpp < count) throw CBaseException(L"Can not convert to rgba format: pixel data is short");

    if (m_format == kFormatRgba) {
        for (std::size_t i = 0; i < count; ++i) m_pixels[i * 4 + 3] = alpha;
        return;
    }
    std::vector<std::uint8_t> rgba(count * 4);
    const std::uint8_t* in = m_pixels.data();
    std::uint8_t* out = rgba.data();
    // One loop per layout: a slide-sized picture is converted for every slide compared.
    if (m_format == kFormatRgb) {
        for (std::size_t i = 0; i < count; ++i, in += 3, out += 4) {
            out[0] = in[0];
            out[1] = in[1];
            out[2] = in[2];
            out[3] = alpha;
        }
    } else {
        for (std::size_t i = 0; i < count; ++i, in += bpp, out += 4) {
            out[0] = out[1] = out[2] = in[0];
            out[3] = alpha;
        }
    }
    m_pixels = std::move(rgba);
    m_format = kFormatRgba;
}

void CImageBuffer::SetRgba(std::uint32_t width, std::uint32_t height, std::vector<std::uint8_t> pixels) {
    if (pixels.size() != static_cast<std::uint64_t>(width) * height * 4)
        throw CBaseException(L"Pixel data does not match the picture size");
    m_pixels = std::move(pixels);
    m_width = width;
    m_height = height;
    m_bitDepth = 8;
    m_format = kFormatRgba;
    m_pixelCount = static_cast<std::uint32_t>(static_cast<std::uint64_t>(width) * height);
}

}  // namespace libimageanalyzer
