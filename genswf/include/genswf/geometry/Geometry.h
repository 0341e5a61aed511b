#pragma once
// 2D geometry for placing movie objects: an affine matrix and an axis-aligned rectangle.

namespace genswf {

// Maps (x, y) to (a*x + c*y + tx, b*x + d*y + ty).
class CMatrix {
public:
    CMatrix() = default;
    CMatrix(float a_, float b_, float c_, float d_, float tx_, float ty_)
        : a(a_), b(b_), c(c_), d(d_), tx(tx_), ty(ty_) {}

    void SetTranslation(float x, float y);
    // In place: tx += dx, ty += dy.
    void Translate(float dx, float dy);
    // In place: a, c and tx times sx; b, d and ty times sy.
    void Scale(float sx, float sy);
    void SetScale(float sx, float sy);
    // Angles are in radians; with y pointing down a positive angle turns clockwise.
    void SetRotation(float angle);
    // this = R(angle) * this: the whole transform, translation included, turns about the origin.
    void Rotate(float angle);
    // this = A * B (B applied first). Safe when this is A or B.
    void Multiply(const CMatrix& A, const CMatrix& B);

    void Transform(float x, float y, float& outX, float& outY) const;

    float a = 1.0f, b = 0.0f;
    float c = 0.0f, d = 1.0f;
    float tx = 0.0f, ty = 0.0f;
};

class Rect {
public:
    Rect() = default;
    Rect(float x_, float y_, float width_, float height_, bool valid_ = true)
        : x(x_), width(width_), y(y_), height(height_), valid(valid_) {}
    virtual ~Rect() = default;
    Rect(const Rect&) = default;
    Rect& operator=(const Rect&) = default;

    // The bounding box of the four corners mapped by the matrix; `valid` is kept.
    void TransformBounds(const CMatrix& matrix);
    // Grows to cover other; an invalid rectangle takes the other as it is.
    void Union(const Rect& other);

    float x = 0.0f;
    float width = 0.0f;
    float y = 0.0f;
    float height = 0.0f;
    bool valid = false;
};

}  // namespace genswf
