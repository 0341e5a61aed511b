// Geometry and copies shared by the shape exporters.

#include "ShapeGeometry.h"

#include "genswf/ppt/PptShape.h"

#include <algorithm>

namespace genswf {

void TurnAdjustment(int degrees, float& u, float& v) {
    const float a = u, b = v;
    switch (degrees) {
    case 90:
        u = 1.0f - b;
        v = a;
        break;
    case 180:
        u = 1.0f - a;
        v = 1.0f - b;
        break;
    case 270:
        u = b;
        v = 1.0f - a;
        break;
    default:
        break;
    }
}

Rect WidenByAdjustments(PowerPoint::Adjustments& adjustments, const AdjustmentFrame& frame, int pairs, int turnDegrees,
                        bool horizontalFlip, bool verticalFlip) {
    float left = frame.left, top = frame.top;
    float right = frame.left + frame.width, bottom = frame.top + frame.height;
    for (int k = 1; k <= pairs; ++k) {
        float u = 0.0f, v = 0.0f;
        const bool uRead = adjustments.get_Item(2 * k - 1, &u) >= 0;
        const bool vRead = adjustments.get_Item(2 * k, &v) >= 0;
        if (!uRead && !vRead) break;
        if (!uRead) u = 0.0f;
        if (!vRead) v = 0.0f;
        TurnAdjustment(turnDegrees, u, v);
        if (horizontalFlip) u = 1.0f - u;
        if (verticalFlip) v = 1.0f - v;
        const float x = frame.left + u * frame.width;
        const float y = frame.top + v * frame.height;
        left = std::min(left, x);
        top = std::min(top, y);
        right = std::max(right, x);
        bottom = std::max(bottom, y);
    }
    return Rect(left, top, right - left, bottom - top);
}

Rect TurnedAboutCentre(float x, float y, float w, float h, float angle) {
    CMatrix m;
    m.SetTranslation(-w * 0.5f, -h * 0.5f);
    m.Rotate(angle);
    m.Translate(x + w * 0.5f, y + h * 0.5f);
    Rect r(0.0f, 0.0f, w, h);
    r.TransformBounds(m);
    return r;
}

CShapeCopy::~CShapeCopy() {
    if (!m_copy) return;
    try {
        m_copy->Delete();
    } catch (...) {
        // Reached only while another failure travels up; that one is the one to report.
    }
}

void CShapeCopy::Finish() {
    std::shared_ptr<CPptShape> copy = std::move(m_copy);
    if (copy) copy->Delete();
}

}  // namespace genswf
