// Placement rules shared by the text pieces and the text fields.

#include "TextLayers.h"

#include "genswf/movie/Movie.h"
#include "genswf/text/TextStyle.h"

#include <cmath>

namespace genswf {
namespace textlayers {

namespace {

constexpr float kRadiansPerDegree = 0.017453292f;

}  // namespace

float Shift(TextStyle& style) { return -(style.GetBaselineOffset() * style.GetSize()); }

float VerticalOffset(TextStyle& style, const Metrics& m, int baselineAlignment) {
    const float shift = Shift(style);
    switch (baselineAlignment) {
    case PowerPoint::ppBaselineAlignBaseline:
        return m.lineBaseline - m.ascent + shift;
    case PowerPoint::ppBaselineAlignTop:
        return m.lineBaseline - m.lineAscent + shift;
    case PowerPoint::ppBaselineAlignCenter:
        return (m.lineSize - m.size) * 0.5f + (m.lineBaseline - m.lineAscent) + shift;
    case PowerPoint::ppBaselineAlignFarEast50:
        return (m.descent - m.lineDescent) * 0.5f + (m.lineBaseline - m.ascent) + shift;
    default:
        return shift;
    }
}

Placement Place(const CMovie& movie, TextStyle& style, const std::wstring& text, LONG orientation, float left,
                float top, float width, float height, float ascent, float verticalOffset) {
    CMatrix base;
    const std::shared_ptr<SwfFont>& font = style.GetFont();
    if (style.GetItalic() && font && !font->IsItalic()) {
        // x' = x - (y - h) / 3 about the line at the ascent.
        const float h = movie.ScaleY(ascent);
        base = CMatrix(1.0f, 0.0f, -1.0f / 3.0f, 1.0f, h / 3.0f, 0.0f);
    }
    Placement placement;
    const float textWidth = style.GetTextWidth(text);
    placement.width = movie.ScaleX(textWidth);
    CMatrix move;
    if (orientation == PowerPoint::msoTextOrientationVerticalFarEast) {
        placement.height = movie.ScaleY(width);
        const CMatrix turn(0.0f, 1.0f, -1.0f, 0.0f, 0.0f, 0.0f);  // x' = -y, y' = x
        move.SetTranslation(movie.ScaleX(left + width - verticalOffset) + 2.0f, movie.ScaleY(top) - 2.0f);
        placement.matrix.Multiply(turn, base);
        placement.matrix.Multiply(move, placement.matrix);
    } else {
        placement.height = movie.ScaleY(height);
        move.SetTranslation(movie.ScaleX(left) - 2.0f, movie.ScaleY(top + verticalOffset) - 2.0f);
        placement.matrix.Multiply(move, base);
    }
    return placement;
}

Offset Direction(float rotationDegrees) {
    const float theta = -rotationDegrees * kRadiansPerDegree;
    const float c = std::cos(theta), s = std::sin(theta);
    return Offset{c - s, s + c};
}

}  // namespace textlayers
}  // namespace genswf
