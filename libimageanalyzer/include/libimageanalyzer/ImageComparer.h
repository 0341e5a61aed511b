#pragma once
// Finds where two renderings of the same size differ, as rectangles of the second one.

#include "ImageBuffer.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace libimageanalyzer {

// A rectangle of a picture (inclusive pixel bounds); keeps the picture alive.
class CImageRegion {
public:
    CImageRegion(std::shared_ptr<CImageBuffer> image, std::int32_t left, std::int32_t top, std::int32_t right,
                 std::int32_t bottom)
        : m_image(std::move(image)), m_left(left), m_top(top), m_right(right), m_bottom(bottom) {}
    virtual ~CImageRegion() = default;

    // Writes the region's RGBA pixels with a one-pixel transparent border on every side;
    // pixels whose alpha is 0 are written as all zero. A file that fails is removed.
    void SavePng(const std::wstring& path) const;

    const std::shared_ptr<CImageBuffer>& GetImage() const { return m_image; }
    std::int32_t GetLeft() const { return m_left; }
    std::int32_t GetTop() const { return m_top; }
    std::int32_t GetRight() const { return m_right; }
    std::int32_t GetBottom() const { return m_bottom; }
    std::int32_t GetWidth() const { return m_right - m_left + 1; }
    std::int32_t GetHeight() const { return m_bottom - m_top + 1; }

private:
    std::shared_ptr<CImageBuffer> m_image;
    std::int32_t m_left, m_top, m_right, m_bottom;
};

class CImageComparer {
public:
    struct Rect {
        std::int32_t left, top, right, bottom;
    };

    virtual ~CImageComparer() = default;

    // Reads both PNG files and collects the regions where they differ. Pixels closer than
    // distance to a growing region join it. Regions are views of the picture of pathB, in which
    // exactly the differing pixels are opaque.
    void Compare(const std::wstring& pathA, const std::wstring& pathB, std::uint32_t distance);
    // The same over pictures already read (both are converted to RGBA).
    void Compare(const std::shared_ptr<CImageBuffer>& a, const std::shared_ptr<CImageBuffer>& b,
                 std::uint32_t distance);
    // The same against a base that is left as it is, so that many pictures can be compared with
    // one base, also at the same time: base must be RGBA with every pixel clear (alpha 0), as
    // ReadPngAsRgba(path, 0) reads it; b is taken as it is when it is RGBA, and must then be
    // clear too.
    void CompareToBase(const CImageBuffer& base, const std::shared_ptr<CImageBuffer>& b, std::uint32_t distance);

    std::size_t GetRegionCount() const { return m_regions.size(); }
    const std::shared_ptr<CImageRegion>& GetRegion(std::size_t i) const { return m_regions.at(i); }

private:
    // Marks the differing pixels opaque in b, and in a unless it is null.
    void MarkDifferences(const CImageBuffer& a, CImageBuffer* markA, CImageBuffer& b);
    void CollectRegions(const std::shared_ptr<CImageBuffer>& b, std::uint32_t distance);
    void GrowRegions(std::uint32_t width, std::uint32_t height, std::uint32_t distance);
    void TakeFrom(Rect& grown, std::int32_t y, std::int32_t fromX, std::int32_t toX, std::uint32_t width);
    void MergeOverlapping();

    std::vector<std::shared_ptr<CImageRegion>> m_regions;
    std::vector<std::uint8_t> m_mask;
    std::vector<std::uint32_t> m_firstDiff;
    std::vector<Rect> m_rects;
};

}  // namespace libimageanalyzer
