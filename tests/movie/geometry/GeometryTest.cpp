// CMatrix and Rect.

#include "genswf/geometry/Geometry.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace genswf;

namespace {

const float kPi = 3.14159265358979f;

void ExpectMaps(const CMatrix& m, float x, float y, float ex, float ey) {
    float ox, oy;
    m.Transform(x, y, ox, oy);
    EXPECT_NEAR(ox, ex, 1e-5f);
    EXPECT_NEAR(oy, ey, 1e-5f);
}

TEST(Geometry, MatrixBasics) {
    CMatrix identity;
    ExpectMaps(identity, 3, 4, 3, 4);

    CMatrix r;
    r.SetRotation(kPi / 2);
    ExpectMaps(r, 1, 0, 0, 1);
    ExpectMaps(r, 0, 1, -1, 0);

    CMatrix t;
    t.SetTranslation(5, 0);
    t.Rotate(kPi);
    EXPECT_NEAR(t.tx, -5.0f, 1e-5f);
    EXPECT_NEAR(t.ty, 0.0f, 1e-5f);

    CMatrix s;
    s.SetTranslation(7, 7);
    s.SetScale(2, 3);
    ExpectMaps(s, 1, 1, 2, 3);
}

// Translate and Scale change the matrix in place, translation included.
TEST(Geometry, InPlaceTranslateAndScale) {
    CMatrix m(1, 2, 3, 4, 5, 6);
    m.Translate(10, -20);
    EXPECT_EQ(m.tx, 15.0f);
    EXPECT_EQ(m.ty, -14.0f);
    m.Scale(2, 0.5f);
    EXPECT_EQ(m.a, 2.0f);
    EXPECT_EQ(m.c, 6.0f);
    EXPECT_EQ(m.tx, 30.0f);
    EXPECT_EQ(m.b, 1.0f);
    EXPECT_EQ(m.d, 2.0f);
    EXPECT_EQ(m.ty, -7.0f);
}

TEST(Geometry, MultiplyOrderAndAliasing) {
    CMatrix T, S, m;
    T.SetTranslation(10, 0);
    S.SetScale(2, 2);
    m.Multiply(T, S);
    ExpectMaps(m, 1, 1, 12, 2);
    m.Multiply(S, T);
    ExpectMaps(m, 1, 1, 22, 2);

    // The product into one of its own factors is still the product.
    CMatrix a = T;
    a.Multiply(a, S);
    ExpectMaps(a, 1, 1, 12, 2);
    CMatrix b = T;
    b.Multiply(S, b);
    ExpectMaps(b, 1, 1, 22, 2);
    CMatrix r;
    r.SetRotation(kPi / 2);
    r.Multiply(r, r);
    ExpectMaps(r, 1, 0, -1, 0);
}

TEST(Geometry, RectBoundsAndUnion) {
    Rect r(0, 0, 10, 20);
    CMatrix rot;
    rot.SetRotation(kPi / 2);
    r.TransformBounds(rot);
    EXPECT_NEAR(r.x, -20, 1e-4f);
    EXPECT_NEAR(r.y, 0, 1e-4f);
    EXPECT_NEAR(r.width, 20, 1e-4f);
    EXPECT_NEAR(r.height, 10, 1e-4f);
    EXPECT_TRUE(r.valid);

    Rect invalid;
    EXPECT_FALSE(invalid.valid);
    EXPECT_EQ(invalid.width, 0.0f);
    Rect valid(1, 2, 3, 4);
    invalid.Union(valid);
    EXPECT_TRUE(invalid.valid);
    EXPECT_EQ(invalid.x, 1.0f);
    EXPECT_EQ(invalid.height, 4.0f);

    Rect kept(1, 2, 3, 4);
    kept.Union(Rect(100, 100, 1, 1, false));
    EXPECT_EQ(kept.x, 1.0f);
    EXPECT_EQ(kept.width, 3.0f);

    Rect a(0, 0, 2, 2), b(-1, 1, 2, 5);
    a.Union(b);
    EXPECT_EQ(a.x, -1.0f);
    EXPECT_EQ(a.y, 0.0f);
    EXPECT_EQ(a.width, 3.0f);
    EXPECT_EQ(a.height, 6.0f);
}

}  // namespace
