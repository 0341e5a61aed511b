// PNG output with fixed settings, so the same pixels always give the same bytes, and files that
// appear whole or not at all. The pictures are handed to the next step and read once: fast
// deflate, the "up" filter (slide pictures are mostly flat areas and repeated rows), and the
// bands of a large picture compressed on a few threads.

#include "Internal.h"
#include "base/files/AtomicFile.h"
#include "base/system/Cores.h"

#include <zlib.h>

#include <unistd.h>
#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <list>
#include <mutex>
#include <system_error>
#include <thread>

namespace render {

std::uint32_t Raster::At(int x, int y) const {
    if (x < 0 || y < 0 || x >= width || y >= height) return 0;
    const std::uint8_t* p = &rgba[(static_cast<size_t>(y) * width + x) * 4];
    return (std::uint32_t(p[0]) << 24) | (p[1] << 16) | (p[2] << 8) | p[3];
}

namespace detail {
namespace {

// The picture is cut into bands of this many rows, each deflated on its own and ended on a
// byte boundary, so that bands can be compressed side by side and a band whose rows did not
// change can be taken from the last picture. The cut depends on the picture alone, never on the
// number of threads: the same pixels always give the same bytes. Bands are short because
// consecutive pictures mostly differ in a few rows (a slide number, a date).
constexpr int kBandRows = 16;
constexpr unsigned kMaxEncodeThreads = 4;
// Smaller pictures are quicker made on one thread than the helpers are started.
constexpr std::uint64_t kThreadedPixels = 128 * 1024;

void PutU32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<std::uint8_t>(v >> shift));
}

void PutChunk(std::vector<std::uint8_t>& out, const char* type, const std::uint8_t* data, std::size_t size) {
    PutU32(out, static_cast<std::uint32_t>(size));
    const std::size_t typeAt = out.size();
    out.insert(out.end(), type, type + 4);
    if (size) out.insert(out.end(), data, data + size);
    const uLong crc = crc32_z(crc32(0, nullptr, 0), out.data() + typeAt, size + 4);
    PutU32(out, static_cast<std::uint32_t>(crc));
}

struct Band {
    std::vector<std::uint8_t> deflated;
    uLong adler = 1;
    std::size_t length = 0;  // filtered bytes in, for combining the checksums
    bool ok = false;
};

// One raw deflate stream at the fixed settings, reset for every band a thread encodes: setting
// up a stream costs more than deflating a short band of flat colour.
class CBandDeflater {
public:
    CBandDeflater() = default;
    CBandDeflater(const CBandDeflater&) = delete;
    CBandDeflater& operator=(const CBandDeflater&) = delete;
    ~CBandDeflater() {
        if (m_ready) deflateEnd(&m_z);
    }

    // The stream, fresh; null when zlib has no memory for it.
    z_stream* Start() {
        if (m_ready) return deflateReset(&m_z) == Z_OK ? &m_z : nullptr;
        m_z = z_stream{};
        m_ready = deflateInit2(&m_z, 1, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY) == Z_OK;
        return m_ready ? &m_z : nullptr;
    }

private:
    z_stream m_z{};
    bool m_ready = false;
};

// Rows [first, last) unfiltered and deflated at level 1; the last band finishes the stream, the
// others end with a sync flush. Slides are mostly flat colour, which deflate takes as well
// without a filter, and the reader of the picture then has no filter to undo.
template <class FillRow>
void DeflateBand(CBandDeflater& deflater, int width, int channels, int first, int last, bool final,
                 const FillRow& fillRow, Band& band) {
    const std::size_t rowBytes = static_cast<std::size_t>(width) * channels;
    std::vector<std::uint8_t> row(1 + rowBytes);
    row[0] = 0;  // filter type None
    z_stream* z = deflater.Start();
    if (!z) return;
    band.deflated.resize(deflateBound(z, static_cast<uLong>((1 + rowBytes) * (last - first))) + 16);
    z->next_out = band.deflated.data();
    z->avail_out = static_cast<uInt>(band.deflated.size());
    bool ok = true;
    for (int y = first; y < last && ok; ++y) {
        fillRow(y, row.data() + 1);
        band.adler = adler32_z(band.adler, row.data(), row.size());
        band.length += row.size();
        z->next_in = row.data();
        z->avail_in = static_cast<uInt>(row.size());
        const bool lastRow = y + 1 == last;
        const int flush = !lastRow ? Z_NO_FLUSH : final ? Z_FINISH : Z_SYNC_FLUSH;
        const int result = deflate(z, flush);
        ok = (result == Z_OK || result == Z_STREAM_END) && z->avail_in == 0;
        if (lastRow && final) ok = ok && result == Z_STREAM_END;
    }
    band.deflated.resize(band.deflated.size() - z->avail_out);
    band.ok = ok;
}

// The whole PNG: `fillRow(y, row)` puts row y (8-bit RGB or RGBA) into `row`; it is called from
// several threads at once and must only read shared state.
int BandCount(int height) { return (height + kBandRows - 1) / kBandRows; }

// `bands` holds one entry a band; those already made (ok) are taken as they are, the others are
// made here.
template <class FillRow>
std::vector<std::uint8_t> WritePng(int width, int height, bool withAlpha, const FillRow& fillRow,
                                   std::vector<Band>& bands) {
    if (width <= 0 || height <= 0 || static_cast<std::uint64_t>(width) * (withAlpha ? 4 : 3) + 1 > 0x7fffffffu)
        throw RenderError("PNG encoding: picture size out of range");
    const int channels = withAlpha ? 4 : 3;
    const int bandCount = BandCount(height);
    bands.resize(static_cast<std::size_t>(bandCount));
    std::vector<int> todo;
    for (int b = 0; b < bandCount; ++b)
        if (!bands[static_cast<std::size_t>(b)].ok) todo.push_back(b);
    std::atomic<int> next{0};
    const int todoCount = static_cast<int>(todo.size());
    auto work = [&] {
        CBandDeflater deflater;
        for (int t = next++; t < todoCount; t = next++) {
            try {
                const int b = todo[static_cast<std::size_t>(t)];
                const int first = b * kBandRows;
                DeflateBand(deflater, width, channels, first, std::min(height, first + kBandRows), b + 1 == bandCount,
                            fillRow, bands[static_cast<std::size_t>(b)]);
            } catch (...) {
                // out of memory: the band stays failed and the picture is refused below
            }
        }
    };
    std::vector<std::thread> helpers;
    // What is left to encode decides: a picture whose other bands were taken from the last one
    // is finished sooner on this thread than helpers are started for it.
    const std::uint64_t todoRows =
        std::min<std::uint64_t>(static_cast<std::uint64_t>(todoCount) * kBandRows, static_cast<std::uint64_t>(height));
    const bool large = static_cast<std::uint64_t>(width) * todoRows >= kThreadedPixels;
    // The number of cores is read from the system each time it is asked: only when it counts.
    const unsigned wanted =
        large ? std::min({kMaxEncodeThreads, base::system::UsableCores(), static_cast<unsigned>(todoCount)}) : 1;
    for (unsigned i = 1; i < wanted; ++i) {
        try {
            helpers.emplace_back(work);
        } catch (const std::system_error&) {
            break;  // fewer helpers: this thread takes the rest
        }
    }
    work();
    for (std::thread& helper : helpers) helper.join();

    std::vector<std::uint8_t> out = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
    std::uint8_t header[13];
    for (int i = 0; i < 4; ++i) {
        header[i] = static_cast<std::uint8_t>(static_cast<std::uint32_t>(width) >> (24 - 8 * i));
        header[4 + i] = static_cast<std::uint8_t>(static_cast<std::uint32_t>(height) >> (24 - 8 * i));
    }
    header[8] = 8;                             // bits per channel
    header[9] = withAlpha ? 6 : 2;             // RGBA or RGB
    header[10] = header[11] = header[12] = 0;  // deflate, adaptive filters, no interlace
    PutChunk(out, "IHDR", header, sizeof header);
    std::size_t total = 2 + 4;
    for (const Band& band : bands) {
        if (!band.ok) throw RenderError("PNG encoding failed");
        total += band.deflated.size();
    }
    // One data chunk: the zlib header (fastest level, 32 KiB window), the bands, the checksum.
    std::vector<std::uint8_t> data;
    data.reserve(total);
    data.push_back(0x78);
    data.push_back(0x01);
    uLong adler = 1;
    for (const Band& band : bands) {
        data.insert(data.end(), band.deflated.begin(), band.deflated.end());
        adler = adler32_combine(adler, band.adler, static_cast<z_off_t>(band.length));
    }
    PutU32(data, static_cast<std::uint32_t>(adler));
    if (data.size() > 0x7fffffffu) throw RenderError("PNG encoding: picture too large");
    out.reserve(out.size() + data.size() + 24);
    PutChunk(out, "IDAT", data.data(), data.size());
    PutChunk(out, "IEND", nullptr, 0);
    return out;
}

template <class FillRow>
std::vector<std::uint8_t> WritePng(int width, int height, bool withAlpha, const FillRow& fillRow) {
    std::vector<Band> bands;
    return WritePng(width, height, withAlpha, fillRow, bands);
}

// The bands of the large pictures encoded last, with their pixels. Pictures drawn one after
// another mostly differ in a small part (a slide with its headers and footers, the next one with
// another number): a band whose rows hold the same pixels as before deflates to the same bytes,
// so those are taken instead. Remembered pictures share the bands they have in common, so a
// picture that changes a few rows costs only those rows to remember.
class CRecentBands {
public:
    static CRecentBands& Instance() {
        static CRecentBands recent;
        return recent;
    }

    struct Key {
        int width = 0, height = 0, stride = 0;
        cairo_format_t format = CAIRO_FORMAT_INVALID;
        bool withAlpha = false;
        bool operator==(const Key& o) const {
            return width == o.width && height == o.height && stride == o.stride && format == o.format &&
                   withAlpha == o.withAlpha;
        }
    };

    // A band as it was encoded: its rows' pixels and their bytes.
    struct Remembered {
        std::vector<std::uint8_t> pixels;
        Band encoded;
    };
    using Shared = std::vector<std::shared_ptr<const Remembered>>;

    // Fills `bands` with the bands of a remembered picture of this kind whose rows match, and
    // `from` with what they were taken from.
    void Reuse(const Key& key, const unsigned char* pixels, std::vector<Band>& bands, Shared& from) {
        from.assign(bands.size(), nullptr);
        std::lock_guard<std::mutex> lock(m_mutex);
        for (const Entry& e : m_entries) {
            if (!(e.key == key)) continue;
            for (std::size_t b = 0; b < bands.size() && b < e.bands.size(); ++b) {
                if (from[b] || !e.bands[b] || !e.bands[b]->encoded.ok) continue;
                const std::vector<std::uint8_t>& rows = e.bands[b]->pixels;
                if (std::memcmp(rows.data(), pixels + Offset(key, b), rows.size()) != 0) continue;
                bands[b] = e.bands[b]->encoded;
                from[b] = e.bands[b];
            }
        }
    }

    // Remembers the picture; the bands taken from earlier pictures are shared with them.
    void Keep(const Key& key, const unsigned char* pixels, const std::vector<Band>& bands, const Shared& from) {
        Entry e;
        e.key = key;
        e.bands.resize(bands.size());
        for (std::size_t b = 0; b < bands.size(); ++b) {
            if (b < from.size() && from[b]) {
                e.bands[b] = from[b];
                continue;
            }
            auto band = std::make_shared<Remembered>();
            const std::size_t rows = std::min<std::size_t>(key.height - b * kBandRows, kBandRows);
            band->pixels.assign(pixels + Offset(key, b), pixels + Offset(key, b) + rows * key.stride);
            band->encoded = bands[b];
            e.bands[b] = std::move(band);
        }
        std::lock_guard<std::mutex> lock(m_mutex);
        m_entries.push_front(std::move(e));
        if (m_entries.size() > kKept) m_entries.pop_back();
    }

private:
    static std::size_t Offset(const Key& key, std::size_t band) {
        return band * kBandRows * static_cast<std::size_t>(key.stride);
    }

    static constexpr std::size_t kKept = 2;
    struct Entry {
        Key key;
        Shared bands;
    };
    std::mutex m_mutex;
    std::list<Entry> m_entries;  // most recent first
};

// Pictures larger than this are not remembered (two of them are kept).
constexpr std::size_t kMaxRememberedBytes = 8u << 20;

// straight = round(premultiplied * 255 / alpha), looked up: [alpha][premultiplied].
const std::uint8_t* UnpremultiplyTable() {
    static const std::vector<std::uint8_t> table = [] {
        std::vector<std::uint8_t> t(256 * 256, 0);
        for (unsigned a = 1; a < 256; ++a)
            for (unsigned c = 0; c < 256; ++c) t[a * 256 + c] = static_cast<std::uint8_t>((c * 255 + a / 2) / a);
        return t;
    }();
    return table.data();
}

}  // namespace

std::vector<std::uint8_t> EncodeSurfacePng(cairo_surface_t* surface, bool withAlpha) {
    cairo_surface_flush(surface);
    const int w = cairo_image_surface_get_width(surface), h = cairo_image_surface_get_height(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    const bool hasAlpha = cairo_image_surface_get_format(surface) == CAIRO_FORMAT_ARGB32;
    const unsigned char* data = cairo_image_surface_get_data(surface);
    const int channels = withAlpha ? 4 : 3;
    const std::uint8_t* straight = UnpremultiplyTable();
    auto fillRow = [=](int y, std::uint8_t* dst) {
        const auto* src = reinterpret_cast<const std::uint32_t*>(data + static_cast<size_t>(y) * stride);
        for (int x = 0; x < w; ++x, dst += channels) {
            const std::uint32_t v = src[x];
            const std::uint32_t a = hasAlpha ? v >> 24 : 255;
            std::uint32_t r = (v >> 16) & 0xFF, g = (v >> 8) & 0xFF, b = v & 0xFF;
            if (a != 255) {  // cairo keeps colours premultiplied; fully clear is black
                const std::uint8_t* row = straight + a * 256;
                r = row[r];
                g = row[g];
                b = row[b];
            }
            dst[0] = static_cast<std::uint8_t>(r);
            dst[1] = static_cast<std::uint8_t>(g);
            dst[2] = static_cast<std::uint8_t>(b);
            if (withAlpha) dst[3] = static_cast<std::uint8_t>(a);
        }
    };
    const std::size_t size = static_cast<std::size_t>(stride) * static_cast<std::size_t>(std::max(h, 0));
    const bool remember =
        data && w > 0 && h > 0 && static_cast<std::uint64_t>(w) * h >= kThreadedPixels && size <= kMaxRememberedBytes;
    std::vector<Band> bands(static_cast<std::size_t>(std::max(BandCount(h), 0)));
    CRecentBands::Key key{w, h, stride, cairo_image_surface_get_format(surface), withAlpha};
    CRecentBands::Shared from;
    if (remember) CRecentBands::Instance().Reuse(key, data, bands, from);
    std::vector<std::uint8_t> png = WritePng(w, h, withAlpha, fillRow, bands);
    if (remember) CRecentBands::Instance().Keep(key, data, bands, from);
    return png;
}

void WritePictureFile(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes) {
    // Exported pictures are read back by the next step: flushing each to disk, or writing it
    // aside and renaming it, cost more than drawing it. A file already there is still replaced
    // whole.
    if (base::files::WriteScratchFile(path.string(), bytes.data(), bytes.size()) != 0)
        throw RenderError("Cannot write file " + path.string());
}

}  // namespace detail

std::vector<std::uint8_t> EncodePng(const Raster& raster, bool withAlpha) {
    if (raster.width <= 0 || raster.height <= 0 ||
        raster.rgba.size() != static_cast<size_t>(raster.width) * raster.height * 4)
        throw RenderError("PNG encoding: raster size does not match its pixels");
    const std::uint8_t* base = raster.rgba.data();
    const size_t width = static_cast<size_t>(raster.width);
    auto fillRow = [=](int y, std::uint8_t* dst) {
        const std::uint8_t* src = base + static_cast<size_t>(y) * width * 4;
        if (withAlpha) {
            std::copy(src, src + width * 4, dst);
            return;
        }
        for (size_t x = 0; x < width; ++x, src += 4, dst += 3) {
            dst[0] = src[0];
            dst[1] = src[1];
            dst[2] = src[2];
        }
    };
    return detail::WritePng(raster.width, raster.height, withAlpha, fillRow);
}

}  // namespace render
