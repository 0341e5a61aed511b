// A document's memory of what was drawn. A deck draws the same things again and again: the
// design's background and graphics under every slide, the same master shapes as pictures on
// every slide. The key of a picture is the whole drawing written out as bytes (pictures inside
// it by their SHA-1), so two drawings share a picture only when nothing that decides a pixel
// differs; a drawing whose text painter gives no key is never looked up.

#include "Internal.h"

#include <nettle/sha1.h>

#include <cmath>
#include <cstring>
#include <list>
#include <mutex>
#include <new>

namespace render {

namespace detail {

std::array<std::uint8_t, 20> DigestOf(const std::vector<std::uint8_t>& bytes) {
    static_assert(SHA1_DIGEST_SIZE == 20, "a SHA-1 is 20 bytes");
    sha1_ctx ctx;
    sha1_init(&ctx);
    sha1_update(&ctx, bytes.size(), bytes.data());
    std::array<std::uint8_t, 20> digest;
    sha1_digest(&ctx, digest.size(), digest.data());
    return digest;
}

namespace {

class CKeyWriter {
public:
    explicit CKeyWriter(std::string& out) : m_out(out) {}

    template <class T>
    void Put(const T& value) {
        AppendKeyScalar(m_out, value);
    }
    void Put(const std::string& bytes) {
        Put(bytes.size());
        m_out.append(bytes);
    }
    void PutBytesDigest(const std::vector<std::uint8_t>& bytes) {
        Put(bytes.size());
        if (bytes.empty()) return;
        const std::array<std::uint8_t, 20> digest = DigestOf(bytes);
        m_out.append(reinterpret_cast<const char*>(digest.data()), digest.size());
    }
    void Put(const Frame& f) {
        Put(f.left);
        Put(f.top);
        Put(f.width);
        Put(f.height);
    }
    void Put(const Point& p) {
        Put(p.x);
        Put(p.y);
    }
    void Put(const Operand& o) {
        Put(o.kind);
        Put(o.value);
        Put(o.index);
    }
    void Put(const PictureData& p) {
        PutBytesDigest(p.bytes);
        Put(p.format);
        Put(p.brightness);
        Put(p.contrast);
        Put(p.color);
        Put(p.hasTransparentColor);
        Put(p.transparentColor);
        Put(p.cropLeft);
        Put(p.cropTop);
        Put(p.cropRight);
        Put(p.cropBottom);
    }
    void Put(const FillData& f) {
        Put(f.kind);
        Put(f.color);
        Put(f.color2);
        Put(f.gradientAngle);
        Put(f.gradient);
        Put(f.stops.size());
        for (const GradientStop& s : f.stops) {
            Put(s.position);
            Put(s.color);
            Put(s.transparency);
        }
        Put(f.focusLeft);
        Put(f.focusTop);
        Put(f.focusRight);
        Put(f.focusBottom);
        Put(f.transparency);
        Put(f.transparency2);
        for (std::uint8_t row : f.pattern) Put(row);
        Put(f.picture);
        Put(f.tileWidth);
        Put(f.tileHeight);
        Put(f.tileOriginX);
        Put(f.tileOriginY);
        Put(f.tileShapeOriginX);
        Put(f.tileShapeOriginY);
    }
    void Put(const Arrowhead& a) {
        Put(a.style);
        Put(a.width);
        Put(a.length);
    }
    void Put(const LineData& l) {
        Put(l.visible);
        Put(l.color);
        Put(l.weight);
        Put(l.transparency);
        Put(l.dashStyle);
        Put(l.beginArrow);
        Put(l.endArrow);
        Put(l.compound);
    }
    void Put(const ShadowData& s) {
        Put(s.visible);
        Put(s.offsetX);
        Put(s.offsetY);
        Put(s.color);
        Put(s.transparency);
    }
    void Put(const FreeformData& f) {
        Put(f.vertices.size());
        for (std::int32_t v : f.vertices) Put(v);
        Put(f.segments.size());
        for (std::uint16_t s : f.segments) Put(s);
        Put(f.guides.size());
        for (const FreeformData::Guide& g : f.guides) {
            Put(g.opAndFlags);
            Put(g.p1);
            Put(g.p2);
            Put(g.p3);
        }
        Put(f.geoLeft);
        Put(f.geoTop);
        Put(f.geoRight);
        Put(f.geoBottom);
        Put(f.presetFormulas.size());
        for (const Formula& formula : f.presetFormulas) {
            Put(formula.op);
            Put(formula.a);
            Put(formula.b);
            Put(formula.c);
        }
        Put(f.presetAdjust.size());
        for (double a : f.presetAdjust) Put(a);
    }

private:
    std::string& m_out;
};

}  // namespace

bool AppendDrawingKey(const ShapeDrawing& s, std::string& key, bool placed) {
    if (s.text && s.textKey.empty()) return false;
    CKeyWriter w(key);
    w.Put(s.kind);
    w.Put(s.autoShapeType);
    w.Put(s.shapeType);
    if (placed) {
        w.Put(s.frame);
    } else {
        // A shape's own picture is drawn from its frame's size alone (its text painter takes the
        // place from the text's key); a frame that is not finite is refused all the same.
        w.Put(std::isfinite(s.frame.left) && std::isfinite(s.frame.top));
        w.Put(s.frame.width);
        w.Put(s.frame.height);
    }
    w.Put(s.rotation);
    w.Put(s.flipH);
    w.Put(s.flipV);
    w.Put(s.adjustments.size());
    for (double a : s.adjustments) w.Put(a);
    w.Put(s.connector);
    w.Put(s.paths.size());
    for (const Path& path : s.paths) {
        w.Put(path.segments.size());
        for (const PathSegment& segment : path.segments) {
            w.Put(segment.kind);
            for (const Point& p : segment.p) w.Put(p);
        }
    }
    w.Put(s.pathBox);
    w.Put(s.freeform);
    w.Put(s.fill);
    w.Put(s.line);
    w.Put(s.shadow);
    w.Put(s.picture);
    w.Put(static_cast<bool>(s.text));
    w.Put(s.textKey);
    return true;
}

void AppendFillKey(const FillData& fill, std::string& key) { CKeyWriter(key).Put(fill); }

}  // namespace detail

using namespace detail;

namespace {

// The pixels of the last layer copy, handed back when its surface goes: the next picture over a
// layer is copied into memory already in use instead of fresh pages.
class CSpareBuffer {
public:
    std::unique_ptr<unsigned char[]> Take(std::size_t size) {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (!m_buffer || m_size != size) return nullptr;
        m_size = 0;
        return std::move(m_buffer);
    }
    void Give(std::unique_ptr<unsigned char[]> buffer, std::size_t size) {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_buffer = std::move(buffer);
        m_size = size;
    }

private:
    std::mutex m_mutex;
    std::unique_ptr<unsigned char[]> m_buffer;
    std::size_t m_size = 0;
};

// What a layer copy's surface holds on to; its pixels go back to the spare when it is destroyed.
struct LayerPixels {
    std::shared_ptr<CSpareBuffer> spare;
    std::unique_ptr<unsigned char[]> data;
    std::size_t size = 0;
    static void Release(void* p) {
        std::unique_ptr<LayerPixels> held(static_cast<LayerPixels*>(p));
        held->spare->Give(std::move(held->data), held->size);
    }
};

}  // namespace

struct PictureMemory::Impl {
    struct Entry {
        std::string key;
        bool layer = false;
        // Layer: the surface's pixels as cairo keeps them; picture: PNG bytes.
        int width = 0, height = 0, stride = 0;
        cairo_format_t format = CAIRO_FORMAT_INVALID;
        std::vector<std::uint8_t> bytes;
    };

    explicit Impl(std::size_t budget) : budget(budget) {}

    // Moves a match to the front; null when there is none.
    const Entry* Find(const std::string& key, bool layer) {
        for (auto it = entries.begin(); it != entries.end(); ++it)
            if (it->layer == layer && it->key == key) {
                entries.splice(entries.begin(), entries, it);
                ++hits;
                return &entries.front();
            }
        return nullptr;
    }

    void Keep(Entry entry) {
        const std::size_t cost = Cost(entry);
        if (cost > budget) return;
        bytes += cost;
        entries.push_front(std::move(entry));
        while (bytes > budget) {
            bytes -= Cost(entries.back());
            entries.pop_back();
        }
    }

    static std::size_t Cost(const Entry& e) { return e.key.size() + e.bytes.size() + sizeof(Entry); }

    std::mutex mutex;
    std::size_t budget;
    std::size_t bytes = 0;
    std::size_t hits = 0;
    std::list<Entry> entries;  // most recently used first
    std::shared_ptr<CSpareBuffer> spare = std::make_shared<CSpareBuffer>();
};

PictureMemory::PictureMemory(std::size_t budgetBytes) : m_impl(std::make_unique<Impl>(budgetBytes)) {}

PictureMemory::~PictureMemory() = default;

std::size_t PictureMemory::Hits() const {
    std::lock_guard<std::mutex> lock(m_impl->mutex);
    return m_impl->hits;
}

bool PictureMemoryAccess::FindPng(PictureMemory& memory, const std::string& key, std::vector<std::uint8_t>& png) {
    PictureMemory::Impl& m = *memory.m_impl;
    std::lock_guard<std::mutex> lock(m.mutex);
    const PictureMemory::Impl::Entry* e = m.Find(key, false);
    if (!e) return false;
    png = e->bytes;
    return true;
}

void PictureMemoryAccess::KeepPng(PictureMemory& memory, std::string key, const std::vector<std::uint8_t>& png) {
    PictureMemory::Impl& m = *memory.m_impl;
    PictureMemory::Impl::Entry e;
    e.key = std::move(key);
    e.bytes = png;
    std::lock_guard<std::mutex> lock(m.mutex);
    m.Keep(std::move(e));
}

SurfacePtr PictureMemoryAccess::FindLayer(PictureMemory& memory, const std::string& key) {
    PictureMemory::Impl& m = *memory.m_impl;
    std::lock_guard<std::mutex> lock(m.mutex);
    const PictureMemory::Impl::Entry* e = m.Find(key, true);
    if (!e) return nullptr;
    if (cairo_format_stride_for_width(e->format, e->width) != e->stride) return nullptr;
    // The layer's bytes go into memory of the surface's own, not cleared first: they cover it.
    auto held = std::make_unique<LayerPixels>();
    held->spare = m.spare;
    held->size = e->bytes.size();
    held->data = m.spare->Take(held->size);
    if (!held->data) held->data.reset(new (std::nothrow) unsigned char[held->size]);
    if (!held->data) return nullptr;
    std::memcpy(held->data.get(), e->bytes.data(), e->bytes.size());
    SurfacePtr surface(
        cairo_image_surface_create_for_data(held->data.get(), e->format, e->width, e->height, e->stride));
    static cairo_user_data_key_t owned;
    if (cairo_surface_status(surface.get()) != CAIRO_STATUS_SUCCESS ||
        cairo_surface_set_user_data(surface.get(), &owned, held.get(), &LayerPixels::Release) != CAIRO_STATUS_SUCCESS)
        return nullptr;
    held.release();  // the surface gives it back
    return surface;
}

void PictureMemoryAccess::KeepLayer(PictureMemory& memory, std::string key, cairo_surface_t* surface) {
    cairo_surface_flush(surface);
    PictureMemory::Impl::Entry e;
    e.key = std::move(key);
    e.layer = true;
    e.width = cairo_image_surface_get_width(surface);
    e.height = cairo_image_surface_get_height(surface);
    e.stride = cairo_image_surface_get_stride(surface);
    e.format = cairo_image_surface_get_format(surface);
    const unsigned char* data = cairo_image_surface_get_data(surface);
    if (!data || e.stride <= 0 || e.height <= 0) return;
    e.bytes.assign(data, data + static_cast<std::size_t>(e.stride) * static_cast<std::size_t>(e.height));
    PictureMemory::Impl& m = *memory.m_impl;
    std::lock_guard<std::mutex> lock(m.mutex);
    m.Keep(std::move(e));
}

}  // namespace render
