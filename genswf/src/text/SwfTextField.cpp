// Text fields of the shape-text-index path.

#include "genswf/text/SwfTextField.h"

#include "TextLayers.h"
#include "genswf/movie/ExportSettings.h"
#include "genswf/movie/Movie.h"
#include "genswf/movie/MovieFrames.h"
#include "genswf/shapes/Shape.h"
#include "genswf/slides/Slide.h"
#include "genswf/slides/SlideActions.h"
#include "genswf/text/ShapeTextIndex.h"
#include "genswf/text/TextPiece.h"
#include "genswf/text/TextStyle.h"

namespace genswf {

namespace {

// ParagraphFormat.BaseLineAlignment of a range; 0 when it cannot be read.
int ReadBaselineAlignment(PowerPoint::TextRange* range) {
    CComPtr<PowerPoint::ParagraphFormat> format;
    if (!range || range->get_ParagraphFormat(&format) < 0 || !format) return 0;
    PowerPoint::PpBaselineAlignment alignment = 0;
    if (format->get_BaseLineAlignment(&alignment) < 0) return 0;
    return alignment;
}

float ReadFloat(PowerPoint::TextRange* range, HRESULT (PowerPoint::TextRange::*get)(float*)) {
    float value = 0.0f;
    if (!range || (range->*get)(&value) < 0) return 0.0f;
    return value;
}

}  // namespace

SwfTextField::SwfTextField(CTextRangeItem* item, const std::shared_ptr<TextStyle>& style, const std::wstring& text,
                           const Rect& rectangle)
    : m_owner(item->owner),
      m_movie(item->movie),
      m_style(style),
      m_text(text),
      m_left(rectangle.x),
      m_top(rectangle.y),
      m_width(rectangle.width),
      m_height(rectangle.height) {
    m_baselineAlignment = ReadBaselineAlignment(item->range.Get());
    ComputeMetrics();
}

SwfTextField::SwfTextField(CShapeTextIndex* owner, const std::shared_ptr<TextStyle>& style,
                           PowerPoint::TextRange* textRange)
    : m_owner(owner), m_movie(owner->GetMovie()), m_style(style) {
    BSTR text = nullptr;
    if (textRange && textRange->get_Text(&text) >= 0) m_text = WStringFromBstr(text);
    SysFreeString(text);
    m_left = ReadFloat(textRange, &PowerPoint::TextRange::get_BoundLeft);
    m_top = ReadFloat(textRange, &PowerPoint::TextRange::get_BoundTop);
    m_width = ReadFloat(textRange, &PowerPoint::TextRange::get_BoundWidth);
    m_height = ReadFloat(textRange, &PowerPoint::TextRange::get_BoundHeight);
    m_baselineAlignment = ReadBaselineAlignment(textRange);
    ComputeMetrics();
}

SwfTextField::~SwfTextField() = default;

void SwfTextField::ComputeMetrics() {
    const std::shared_ptr<SwfFont>& font = m_style ? m_style->GetFont() : nullptr;
    const float size = m_style ? m_style->GetEffectiveSize() : 0.0f;
    m_ascent = font ? font->GetAscent() * size : 0.0f;
    m_descent = font ? font->GetDescent() * size : 0.0f;
    m_size = font ? font->GetLineHeight() * size : 0.0f;
    m_lineSize = m_size;
    m_lineAscent = m_ascent;
    m_lineDescent = m_descent;
    m_lineBaseline = m_ascent;
}

int SwfTextField::Write(const XmlElementPtr& parent) {
    Layout();
    for (const auto& piece : m_pieces) piece.second->Write(parent);
    return static_cast<int>(m_pieces.size());
}

void SwfTextField::AddFrames(CFrameList& frameList, int pass) {
    for (const auto& piece : m_pieces)
        if (piece.first == pass && piece.second->GetFrameTrack()) frameList.Add(piece.second->GetFrameTrack());
}

Rect SwfTextField::GetBounds() const {
    return Rect(m_movie->ScaleX(m_left), m_movie->ScaleY(m_top), m_movie->ScaleX(m_width), m_movie->ScaleY(m_height));
}

bool SwfTextField::HasTextHyperlink() const {
    if (!m_actionSettings || m_actionSettings->IsEmpty()) return false;
    const std::shared_ptr<CExportSettings>& settings = m_movie->GetExportSettings();
    return settings && settings->GetTextHyperlinks();
}

float SwfTextField::ScaleY(float points) const { return m_movie->ScaleY(points); }

LONG SwfTextField::GetSlideId() const {
    CShape* shape = m_owner ? m_owner->GetShape() : nullptr;
    CSlide* slide = shape ? shape->GetSlide() : nullptr;
    return slide ? slide->GetSlideIndex() : 0;
}

void SwfTextField::AddHyperlinkSource(const std::shared_ptr<CHyperlinkSource>& source) {
    m_movie->AddHyperlinkSource(source);
}

void SwfTextField::Layout() {
    m_pieces.clear();
    if (!m_style) return;

    textlayers::Metrics metrics;
    metrics.ascent = m_ascent;
    metrics.descent = m_descent;
    metrics.size = m_size;
    metrics.lineSize = m_lineSize;
    metrics.lineAscent = m_lineAscent;
    metrics.lineDescent = m_lineDescent;
    metrics.lineBaseline = m_lineBaseline;
    // An alignment outside 1-4 leaves the text on the line's top.
    const bool known = m_baselineAlignment >= 1 && m_baselineAlignment <= 4;
    m_verticalOffset = known ? textlayers::VerticalOffset(*m_style, metrics, m_baselineAlignment) : 0.0f;

    CShape* shape = m_owner ? m_owner->GetShape() : nullptr;
    const LONG orientation = m_owner ? m_owner->GetOrientation() : PowerPoint::msoTextOrientationHorizontal;
    const textlayers::Placement placement = textlayers::Place(*m_movie, *m_style, m_text, orientation, m_left, m_top,
                                                              m_width, m_height, m_ascent, m_verticalOffset);
    m_matrix = placement.matrix;
    m_fieldWidth = placement.width;
    m_fieldHeight = placement.height;

    const textlayers::Offset d = textlayers::Direction(shape ? shape->GetRotation() : 0.0f);
    const COLORREF styleColor = m_style->GetColor();
    const bool linked = HasTextHyperlink();
    const std::shared_ptr<CActionSettingList> links = linked ? m_actionSettings : nullptr;
    COLORREF face = styleColor;
    if (!m_forcedColor && linked) {
        CSlide* slide = shape ? shape->GetSlide() : nullptr;
        face = slide ? slide->GetFallbackColor() : styleColor;
    }

    auto add = [this](int pass, COLORREF color, float dx, float dy, const std::shared_ptr<CActionSettingList>& list) {
        CMatrix offset;
        offset.SetTranslation(dx, dy);
        CRefPtr<CTextFieldPiece> piece = CreateTextFieldPiece(this, color, offset);
        piece->SetActionSettings(list);
        m_pieces.emplace_back(pass, piece);
    };

    if (m_style->GetShadow()) {
        const COLORREF shadow = m_forcedColor ? styleColor : (shape ? shape->GetContrastColor(styleColor) : 0);
        const float size = m_style->GetSize();
        add(TEXT_PASS_SHADOW, shadow, m_movie->ScaleX(size * d.x * textlayers::kShadowFactor),
            m_movie->ScaleY(size * d.y * textlayers::kShadowFactor), nullptr);
        add(TEXT_PASS_FACE, face, 0.0f, 0.0f, links);
    } else if (m_style->GetEmboss()) {
        const COLORREF dark = m_forcedColor ? styleColor : (shape ? shape->GetDarkColor() : 0);
        const COLORREF light = m_forcedColor ? styleColor : (shape ? shape->GetLightColor() : 0);
        const COLORREF base = m_forcedColor ? styleColor : (shape ? shape->GetBaseColor() : 0);
        const float dx = m_movie->ScaleX(d.x), dy = m_movie->ScaleY(d.y);
        add(TEXT_PASS_EMBOSS_DARK, dark, dx, dy, links);
        add(TEXT_PASS_EMBOSS_LIGHT, light, -dx, -dy, links);
        add(TEXT_PASS_EMBOSS_FACE, base, 0.0f, 0.0f, links);
    } else {
        add(TEXT_PASS_FACE, face, 0.0f, 0.0f, links);
    }
}

}  // namespace genswf
