#include "libimageanalyzer/ImageComparer.h"

#include "libimageanalyzer/ImageException.h"

#include <algorithm>
#include <cstring>

namespace libimageanalyzer {

namespace {

constexpr std::uint32_t kNoDifference = 0xFFFFFFFFu;

using Rect = CImageComparer::Rect;

bool Overlap(const Rect& r, const Rect& q) {
    const std::int64_t dx = std::int64_t(r.left) + r.right - (std::int64_t(q.left) + q.right);
    const std::int64_t dy = std::int64_t(r.top) + r.bottom - (std::int64_t(q.top) + q.bottom);
    const std::int64_t w = std::int64_t(r.right) - r.left + (std::int64_t(q.right) - q.left);
    const std::int64_t h = std::int64_t(r.bottom) - r.top + (std::int64_t(q.bottom) - q.top);
    return (dx < 0 ? -dx : dx) < w && (dy < 0 ? -dy : dy) < h;
}

Rect Union(const Rect& r, const Rect& q) {
    return Rect{std::min(r.left, q.left), std::min(r.top, q.top), std::max(r.right, q.right),
                std::max(r.bottom, q.bottom)};
}

bool Same(const Rect& r, const Rect& q) {
    return r.left == q.left && r.top == q.top && r.right == q.right && r.bottom == q.bottom;
}

std::shared_ptr<CImageBuffer> ReadPicture(const std::wstring& path) {
    auto image = CImageBuffer::Create();
    image->ReadPng(path);
    // The reader leaves a file it cannot open unread; comparing nothing would report no
    // difference for a missing rendering.
    if (image->GetWidth() == 0 || image->GetHeight() == 0) throw CBaseException(L"Can not open image file " + path);
    return image;
}

}  // namespace

void CImageComparer::Compare(const std::wstring& pathA, const std::wstring& pathB, std::uint32_t distance) {
    auto a = ReadPicture(pathA);
    auto b = ReadPicture(pathB);
    Compare(a, b, distance);
}

void CImageComparer::Compare(const std::shared_ptr<CImageBuffer>& a, const std::shared_ptr<CImageBuffer>& b,
                             std::uint32_t distance) {
    m_regions.clear();
    m_rects.clear();
    if (!a || !b) throw CBaseException(L"Images have difference sizes");
    a->ToRgba(0);
    b->ToRgba(0);
    if (a->GetWidth() != b->GetWidth() || a->GetHeight() != b->GetHeight())
        throw CBaseException(L"Images have difference sizes");

    MarkDifferences(*a, a.get(), *b);
    CollectRegions(b, distance);
}

void CImageComparer::CompareToBase(const CImageBuffer& base, const std::shared_ptr<CImageBuffer>& b,
                                   std::uint32_t distance) {
    m_regions.clear();
    m_rects.clear();
    if (!b) throw CBaseException(L"Images have difference sizes");
    if (base.GetFormat() != kFormatRgba) throw CBaseException(L"The base picture is not RGBA");
    if (b->GetFormat() != kFormatRgba) b->ToRgba(0);
    if (base.GetWidth() != b->GetWidth() || base.GetHeight() != b->GetHeight())
        throw CBaseException(L"Images have difference sizes");

    MarkDifferences(base, nullptr, *b);
    CollectRegions(b, distance);
}

void CImageComparer::CollectRegions(const std::shared_ptr<CImageBuffer>& b, std::uint32_t distance) {
    GrowRegions(b->GetWidth(), b->GetHeight(), distance);
    MergeOverlapping();
    for (const Rect& r : m_rects)
        m_regions.push_back(std::make_shared<CImageRegion>(b, r.left, r.top, r.right, r.bottom));
}

void CImageComparer::MarkDifferences(const CImageBuffer& a, CImageBuffer* markA, CImageBuffer& b) {
    const std::size_t width = a.GetWidth();
    const std::size_t height = a.GetHeight();
    const std::size_t stride = width * 4;
    if (a.GetPixels().size() < stride * height || b.GetPixels().size() < stride * height)
        throw CBaseException(L"Images have difference sizes");

    m_mask.assign(width * height, 0);
    m_firstDiff.assign(height, kNoDifference);
    for (std::size_t y = 0; y < height; ++y) {
        const std::uint8_t* rowA = a.GetPixels().data() + y * stride;
        std::uint8_t* rowB = b.GetPixels().data() + y * stride;
        if (std::memcmp(rowA, rowB, stride) == 0) continue;
        std::uint8_t* marksA = markA ? markA->GetPixels().data() + y * stride : nullptr;
        for (std::size_t x = 0; x < width; ++x) {
            std::uint32_t pa, pb;
            std::memcpy(&pa, rowA + x * 4, 4);
            std::memcpy(&pb, rowB + x * 4, 4);
            if (pa == pb) continue;
            if (m_firstDiff[y] == kNoDifference) m_firstDiff[y] = static_cast<std::uint32_t>(x);
            m_mask[y * width + x] = 1;
            if (marksA) marksA[x * 4 + 3] = 255;
            rowB[x * 4 + 3] = 255;
        }
    }
}

// Takes the marked pixels of row y between fromX and toX (inclusive) into grown.
void CImageComparer::TakeFrom(Rect& grown, std::int32_t y, std::int32_t fromX, std::int32_t toX, std::uint32_t width) {
    const std::uint32_t first = m_firstDiff[static_cast<std::size_t>(y)];
    if (first == kNoDifference) return;
    std::int32_t x = std::max<std::int64_t>(fromX, first);
    std::uint8_t* row = m_mask.data() + static_cast<std::size_t>(y) * width;
    for (; x <= toX; ++x) {
        if (!row[x]) continue;
        row[x] = 0;
        if (x < grown.left)
            grown.left = x;
        else if (x > grown.right)
            grown.right = x;
        if (y < grown.top)
            grown.top = y;
        else if (y > grown.bottom)
            grown.bottom = y;
    }
}

void CImageComparer::GrowRegions(std::uint32_t width, std::uint32_t height, std::uint32_t distance) {
    m_rects.clear();
    const std::int64_t d = distance;
    const std::int64_t maxX = std::int64_t(width) - 1;
    const std::int64_t maxY = std::int64_t(height) - 1;
    for (std::uint32_t y = 0; y < height; ++y) {
        if (m_firstDiff[y] == kNoDifference) continue;
        for (std::uint32_t x = m_firstDiff[y]; x < width; ++x) {
            std::uint8_t& seed = m_mask[static_cast<std::size_t>(y) * width + x];
            if (!seed) continue;
            seed = 0;
            Rect grown{std::int32_t(x), std::int32_t(y), std::int32_t(x), std::int32_t(y)};
            for (;;) {
                const Rect o = grown;
                const Rect s{std::int32_t(std::max<std::int64_t>(0, o.left - d)),
                             std::int32_t(std::max<std::int64_t>(0, o.top - d)),
                             std::int32_t(std::min<std::int64_t>(maxX, o.right + d)),
                             std::int32_t(std::min<std::int64_t>(maxY, o.bottom + d))};
                for (std::int32_t row = s.top; row < o.top; ++row) TakeFrom(grown, row, s.left, s.right, width);
                for (std::int32_t row = o.bottom + 1; row <= s.bottom; ++row)
                    TakeFrom(grown, row, s.left, s.right, width);
                for (std::int32_t row = o.top; row <= o.bottom; ++row) {
                    TakeFrom(grown, row, s.left, o.left - 1, width);
                    TakeFrom(grown, row, o.right + 1, s.right, width);
                }
                if (Same(grown, o)) break;
            }
            m_rects.push_back(grown);
        }
    }
}

// Merges the first overlapping pair (in list order) into the earlier one until none is left.
// After a merge only the grown rectangle can overlap something earlier in the list, so the
// search resumes there instead of from the start.
void CImageComparer::MergeOverlapping() {
    std::size_t i = 0;
    while (i < m_rects.size()) {
        bool merged = false;
        for (std::size_t j = i + 1; j < m_rects.size(); ++j) {
            if (!Overlap(m_rects[i], m_rects[j])) continue;
            m_rects[i] = Union(m_rects[i], m_rects[j]);
            m_rects.erase(m_rects.begin() + static_cast<std::ptrdiff_t>(j));
            merged = true;
            break;
        }
        if (!merged) {
            ++i;
            continue;
        }
        for (;;) {
            std::size_t k = 0;
            while (k < i && !Overlap(m_rects[k], m_rects[i])) ++k;
            if (k == i) break;
            m_rects[k] = Union(m_rects[k], m_rects[i]);
            m_rects.erase(m_rects.begin() + static_cast<std::ptrdiff_t>(i));
            i = k;
        }
    }
}

}  // namespace libimageanalyzer
