// A short memory of the pictures encoded last, by their pixels. A deck draws the same picture
// again and again (a design's background for every slide, an empty placeholder on each slide);
// equal pixels give equal bytes, so the bytes made the first time serve the others.

#include "Internal.h"

#include <cstring>
#include <list>
#include <mutex>

namespace render {
namespace detail {

namespace {

// Pixel bytes kept: a few slide-sized pictures.
constexpr std::size_t kBudget = 8u << 20;

struct Encoded {
    int width = 0, height = 0, stride = 0;
    cairo_format_t format = CAIRO_FORMAT_INVALID;
    bool withAlpha = false;
    std::vector<std::uint8_t> pixels;
    std::vector<std::uint8_t> png;
};

class CRecentPictures {
public:
    static CRecentPictures& Instance() {
        static CRecentPictures recent;
        return recent;
    }

    bool Find(const Encoded& key, const unsigned char* pixels, std::vector<std::uint8_t>& png) {
        std::lock_guard<std::mutex> lock(m_mutex);
        for (auto it = m_entries.begin(); it != m_entries.end(); ++it) {
            if (it->width != key.width || it->height != key.height || it->stride != key.stride ||
                it->format != key.format || it->withAlpha != key.withAlpha ||
                std::memcmp(it->pixels.data(), pixels, it->pixels.size()) != 0)
                continue;
            m_entries.splice(m_entries.begin(), m_entries, it);
            png = m_entries.front().png;
            return true;
        }
        return false;
    }

    void Add(Encoded entry) {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_bytes += Cost(entry);
        m_entries.push_front(std::move(entry));
        while (m_bytes > kBudget && m_entries.size() > 1) {
            m_bytes -= Cost(m_entries.back());
            m_entries.pop_back();
        }
    }

private:
    static std::size_t Cost(const Encoded& e) { return e.pixels.size() + e.png.size(); }

    std::mutex m_mutex;
    std::list<Encoded> m_entries;  // most recently used first
    std::size_t m_bytes = 0;
};

}  // namespace

std::vector<std::uint8_t> EncodeSurfacePngOnce(cairo_surface_t* surface, bool withAlpha) {
    cairo_surface_flush(surface);
    Encoded key;
    key.width = cairo_image_surface_get_width(surface);
    key.height = cairo_image_surface_get_height(surface);
    key.stride = cairo_image_surface_get_stride(surface);
    key.format = cairo_image_surface_get_format(surface);
    key.withAlpha = withAlpha;
    const unsigned char* data = cairo_image_surface_get_data(surface);
    const std::size_t size = key.stride > 0 && key.height > 0
                                 ? static_cast<std::size_t>(key.stride) * static_cast<std::size_t>(key.height)
                                 : 0;
    // Pictures too large to keep are not worth looking for.
    if (!data || size == 0 || size > kBudget / 2) return EncodeSurfacePng(surface, withAlpha);

    std::vector<std::uint8_t> png;
    CRecentPictures& recent = CRecentPictures::Instance();
    if (recent.Find(key, data, png)) return png;
    png = EncodeSurfacePng(surface, withAlpha);
    key.pixels.assign(data, data + size);
    key.png = png;
    recent.Add(std::move(key));
    return png;
}

}  // namespace detail
}  // namespace render
