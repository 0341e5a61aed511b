#include "genswf/geometry/Geometry.h"

#include <algorithm>
#include <cmath>

namespace genswf {

void CMatrix::SetTranslation(float x, float y) {
    a = d = 1.0f;
    b = c = 0.0f;
    tx = x;
    ty = y;
}

void CMatrix::Translate(float dx, float dy) {
    tx += dx;
    ty += dy;
}

void CMatrix::Scale(float sx, float sy) {
    a *= sx;
    c *= sx;
    tx *= sx;
    b *= sy;
    d *= sy;
    ty *= sy;
}

void CMatrix::SetScale(float sx, float sy) {
    a = sx;
    d = sy;
    b = c = tx = ty = 0.0f;
}

void CMatrix::SetRotation(float angle) {
    const float cs = std::cos(angle), sn = std::sin(angle);
    a = cs;
    b = sn;
    c = -sn;
    d = cs;
    tx = ty = 0.0f;
}

void CMatrix::Rotate(float angle) {
    const float cs = std::cos(angle), sn = std::sin(angle);
    auto turn = [cs, sn](float& u, float& v) {
        const float nu = u * cs - v * sn;
        const float nv = u * sn + v * cs;
        u = nu;
        v = nv;
    };
    turn(a, b);
    turn(c, d);
    turn(tx, ty);
}

void CMatrix::Multiply(const CMatrix& A, const CMatrix& B) {
    // Computed into a temporary, so m.Multiply(m, n) gives the product, not a mix of both.
    CMatrix r;
    r.a = A.a * B.a + A.c * B.b;
    r.b = A.b * B.a + A.d * B.b;
    r.c = A.a * B.c + A.c * B.d;
    r.d = A.b * B.c + A.d * B.d;
    r.tx = A.a * B.tx + A.c * B.ty + A.tx;
    r.ty = A.b * B.tx + A.d * B.ty + A.ty;
    *this = r;
}

void CMatrix::Transform(float x, float y, float& outX, float& outY) const {
    outX = a * x + c * y + tx;
    outY = b * x + d * y + ty;
}

void Rect::TransformBounds(const CMatrix& matrix) {
    const float xs[4] = {x, x + width, x + width, x};
    const float ys[4] = {y, y, y + height, y + height};
    float minX = 0, minY = 0, maxX = 0, maxY = 0;
    for (int i = 0; i < 4; ++i) {
        float px, py;
        matrix.Transform(xs[i], ys[i], px, py);
        if (i == 0) {
            minX = maxX = px;
            minY = maxY = py;
        } else {
            minX = std::min(minX, px);
            maxX = std::max(maxX, px);
            minY = std::min(minY, py);
            maxY = std::max(maxY, py);
        }
    }
    x = minX;
    y = minY;
    width = maxX - minX;
    height = maxY - minY;
}

void Rect::Union(const Rect& other) {
    if (!other.valid) return;
    if (!valid) {
        *this = other;
        return;
    }
    const float right = std::max(x + width, other.x + other.width);
    const float bottom = std::max(y + height, other.y + other.height);
    x = std::min(x, other.x);
    y = std::min(y, other.y);
    width = right - x;
    height = bottom - y;
}

}  // namespace genswf
