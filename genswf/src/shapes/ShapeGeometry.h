#pragma once
// Geometry the two shape exporters share: the frame widened by a shape's adjustment points, the
// bounds of a rectangle turned about its centre, and copies that never outlive their use.

#include "genswf/geometry/Geometry.h"
#include "genswf/ppt/Ppt.h"

#include <cstdint>
#include <memory>

namespace genswf {

class CPptShape;

// The drawing shape type of a picture frame in the saved presentation.
constexpr std::uint16_t kPictureFrameShapeType = 75;
// Adjustment values come in (x, y) pairs; a shape has at most this many.
constexpr int kAdjustmentPairs = 4;

struct AdjustmentFrame {
    float left, top, width, height;  // points
};

// Turns an adjustment point (fractions of the frame) by a whole number of degrees the way the
// saved presentation turns a connector: 90, 180 and 270 move it, anything else leaves it.
void TurnAdjustment(int degrees, float& u, float& v);

// The frame widened by the points of the first `pairs` adjustment pairs (reads stop at the first
// pair of which neither value can be read; one failed value counts as 0), each point turned by
// `turnDegrees` and mirrored by the flips first.
Rect WidenByAdjustments(PowerPoint::Adjustments& adjustments, const AdjustmentFrame& frame, int pairs, int turnDegrees,
                        bool horizontalFlip, bool verticalFlip);

// (0, 0, w, h) through T(x, y) T(w/2, h/2) R(angle) T(-w/2, -h/2), bounded.
Rect TurnedAboutCentre(float x, float y, float w, float h, float angle);

// A duplicate made to change without touching the user's shape. Deleted when Finish is called
// (a failure to delete is then reported) or, at the latest, when the holder goes, so also when
// the work on it throws.
class CShapeCopy {
public:
    explicit CShapeCopy(std::shared_ptr<CPptShape> copy) : m_copy(std::move(copy)) {}
    ~CShapeCopy();
    CShapeCopy(const CShapeCopy&) = delete;
    CShapeCopy& operator=(const CShapeCopy&) = delete;

    CPptShape* operator->() const { return m_copy.get(); }
    CPptShape& operator*() const { return *m_copy; }
    const std::shared_ptr<CPptShape>& Get() const { return m_copy; }
    void Finish();

private:
    std::shared_ptr<CPptShape> m_copy;
};

}  // namespace genswf
