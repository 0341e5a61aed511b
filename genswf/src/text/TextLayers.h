#pragma once
// The placement rules both text paths share: where a stretch of text sits on its line, the
// matrix that puts its field where PowerPoint drew it, and the direction of its shadow and
// emboss copies.

#include "genswf/geometry/Geometry.h"
#include "genswf/ppt/Ppt.h"

#include <string>

namespace genswf {

class CMovie;
class TextStyle;

namespace textlayers {

// Shadow distance per point of text size.
constexpr float kShadowFactor = 0.04050405f;

// Points: the stretch's own metrics and those of the line that holds it.
struct Metrics {
    float ascent = 0.0f, descent = 0.0f, size = 0.0f;
    float lineSize = 0.0f, lineAscent = 0.0f, lineDescent = 0.0f, lineBaseline = 0.0f;
};

// How far the baseline offset moves the text down (points; a superscript moves up).
float Shift(TextStyle& style);
// The top of the field below the top of the line (points) for baseline alignments 1 to 4;
// Shift alone for any other.
float VerticalOffset(TextStyle& style, const Metrics& metrics, int baselineAlignment);

struct Placement {
    CMatrix matrix;
    float width = 0.0f;   // movie units
    float height = 0.0f;  // movie units
};

// The field's matrix and size: 2 movie units up and left of where PowerPoint put the text,
// turned a quarter for vertical text, sheared when the font has no italic face of its own.
// Orientations other than vertical are placed as horizontal text.
Placement Place(const CMovie& movie, TextStyle& style, const std::wstring& text, LONG orientation, float left,
                float top, float width, float height, float ascent, float verticalOffset);

struct Offset {
    float x = 0.0f, y = 0.0f;
};
// (1, 1) turned back by the shape's rotation (degrees): shadows and emboss copies fall to the
// lower right of the page whatever the shape's turn.
Offset Direction(float rotationDegrees);

}  // namespace textlayers
}  // namespace genswf
