// Text pieces of the text-frame path and the fields their layout places.

#include "genswf/text/TextPiece.h"

#include "TextLayers.h"
#include "genswf/movie/Movie.h"
#include "genswf/movie/MovieObjects.h"
#include "genswf/ppt/PptParagraphFormat.h"
#include "genswf/ppt/PptShape.h"
#include "genswf/ppt/PptTextFrame.h"
#include "genswf/ppt/PptTextRange.h"
#include "genswf/slides/SlideActions.h"
#include "genswf/text/TextExportSupport.h"
#include "genswf/text/TextStyle.h"

namespace genswf {

namespace {

// Extra room of each drawn copy's field, movie units.
constexpr float kFaceExtra = 5.0f;
constexpr float kShadowExtra = 10.0f;
constexpr float kEmbossDarkExtra = 0.0f;
constexpr float kEmbossExtra = 10.0f;

}  // namespace

std::shared_ptr<CPlacedTextField> CreatePlacedTextField(std::shared_ptr<CActionSettingList> actionSettings,
                                                        std::shared_ptr<CTextFieldObject> field, const CMatrix& matrix,
                                                        int pass) {
    return std::make_shared<CPlacedTextField>(std::move(actionSettings), std::move(field), matrix, pass);
}

std::shared_ptr<CPlacedTextField> CPlacedTextFieldList::FindByPass(int pass) const {
    for (const auto& field : fields)
        if (field && field->pass == pass) return field;
    return nullptr;
}

void CPlacedTextFieldGroups::AddAll(const CPlacedTextFieldGroups& other) {
    for (const auto& group : other.m_groups) m_groups.push_back(group);
}

std::shared_ptr<CTextPiece> CTextPiece::CreateFromRange(const std::shared_ptr<CPptTextRange>& range,
                                                        const std::shared_ptr<TextStyle>& style,
                                                        const std::shared_ptr<CPptTextFrame>& frame,
                                                        const std::shared_ptr<CPptShape>& shape,
                                                        const std::shared_ptr<CPptParagraphFormat>& paragraphFormat) {
    auto piece = std::make_shared<CTextPiece>();
    piece->m_style = style;
    piece->m_left = range->GetBoundLeft();
    piece->m_top = range->GetBoundTop();
    piece->m_width = range->GetBoundWidth();
    piece->m_height = range->GetBoundHeight();
    piece->m_text = range->GetText();
    piece->TakeFrame(range, frame, shape);
    piece->m_paragraphFormat = paragraphFormat ? paragraphFormat : range->GetParagraphFormat();
    piece->ComputeMetrics();
    return piece;
}

std::shared_ptr<CTextPiece> CTextPiece::CreateBullet(const std::shared_ptr<CPptTextRange>& paragraphRange,
                                                     const std::shared_ptr<TextStyle>& style, const Rect& rectangle,
                                                     const std::wstring& text,
                                                     const std::shared_ptr<CPptTextFrame>& frame,
                                                     const std::shared_ptr<CPptShape>& shape) {
    auto piece = std::make_shared<CTextPiece>();
    piece->m_style = style;
    piece->m_left = rectangle.x;
    piece->m_top = rectangle.y;
    piece->m_width = rectangle.width;
    piece->m_height = rectangle.height;
    piece->m_text = text;
    piece->TakeFrame(paragraphRange, frame, shape);
    piece->m_paragraphFormat = paragraphRange->GetParagraphFormat();
    piece->ComputeMetrics();
    return piece;
}

CTextPiece::CTextPiece() = default;
CTextPiece::~CTextPiece() = default;

void CTextPiece::TakeFrame(const std::shared_ptr<CPptTextRange>& range, const std::shared_ptr<CPptTextFrame>& frame,
                           const std::shared_ptr<CPptShape>& shape) {
    m_textFrame = frame;
    if (!m_textFrame) {
        CComPtr<PowerPoint::TextFrame> parent;
        parent.Attach(range->GetParentTextFrame());
        if (parent) m_textFrame = CreatePptTextFrame(parent.Get());
    }
    m_shape = shape;
    if (!m_shape && m_textFrame) {
        CComPtr<PowerPoint::Shape> parent;
        parent.Attach(m_textFrame->GetParentShape());
        if (parent) m_shape = CreatePptShape(parent.Get());
    }
}

void CTextPiece::ComputeMetrics() {
    const std::shared_ptr<SwfFont>& font = m_style ? m_style->GetFont() : nullptr;
    const float size = m_style ? m_style->GetEffectiveSize() : 0.0f;
    m_ascent = font ? font->GetAscent() * size : 0.0f;
    m_descent = font ? font->GetDescent() * size : 0.0f;
    m_size = font ? font->GetLineHeight() * size : 0.0f;
}

LONG CTextPiece::GetOrientation() const {
    return m_textFrame ? m_textFrame->GetOrientation() : PowerPoint::msoTextOrientationHorizontal;
}

std::shared_ptr<CPlacedTextFieldList> CTextPiece::Layout(const CTextLayoutParams& params) {
    auto placed = std::make_shared<CPlacedTextFieldList>();
    CTextExportContext* context = params.context;
    CMovie* movie = context ? context->GetMovie() : nullptr;
    if (!movie || !m_style || !m_style->GetFont()) return placed;

    textlayers::Metrics metrics;
    metrics.ascent = m_ascent;
    metrics.descent = m_descent;
    metrics.size = m_size;
    metrics.lineSize = params.lineHeight;
    metrics.lineAscent = params.ascent;
    metrics.lineDescent = params.descent;
    metrics.lineBaseline = params.baseline;
    const int alignment = m_paragraphFormat ? m_paragraphFormat->GetBaseLineAlignment() : 0;
    const float verticalOffset = textlayers::VerticalOffset(*m_style, metrics, alignment);
    const textlayers::Placement placement = textlayers::Place(*movie, *m_style, m_text, GetOrientation(), m_left, m_top,
                                                              m_width, m_height, m_ascent, verticalOffset);
    const textlayers::Offset d = textlayers::Direction(m_shape ? m_shape->GetRotation() : 0.0f);

    const bool linked = m_actionSettings && !m_actionSettings->IsEmpty();
    const std::shared_ptr<CActionSettingList> links = linked ? m_actionSettings : nullptr;
    const COLORREF face = linked ? params.hyperlinkColor : m_style->GetColor();
    const std::wstring html = m_style->ToHtml(m_text);
    const float fontSize = context->ScaleX(m_style->GetEffectiveSize());

    auto layer = [&](int pass, COLORREF color, float dx, float dy, float extra,
                     const std::shared_ptr<CActionSettingList>& list) {
        std::shared_ptr<CTextFieldObject> field =
            context->CreateTextField(0.0f, 0.0f, placement.width + extra, placement.height + extra);
        field->color = color;
        field->html = html;
        field->fontId = m_style->GetFont()->GetId();
        field->fontSize = fontSize;
        CMatrix matrix;
        matrix.SetTranslation(dx, dy);
        matrix.Multiply(matrix, placement.matrix);
        placed->Add(CreatePlacedTextField(list, field, matrix, pass));
    };

    if (m_style->GetEmboss()) {
        // The copies stand one point apart on the page, whatever the movie's scale.
        const float dx = context->ScaleX(d.x), dy = context->ScaleY(d.y);
        layer(TEXT_PASS_EMBOSS_DARK, context->GetDarkColor(), dx, dy, kEmbossDarkExtra, links);
        layer(TEXT_PASS_EMBOSS_LIGHT, context->GetLightColor(), -dx, -dy, kEmbossExtra, links);
        layer(TEXT_PASS_EMBOSS_FACE, context->GetBaseColor(), 0.0f, 0.0f, kEmbossExtra, links);
        return placed;
    }
    if (m_style->GetShadow()) {
        const COLORREF shadow = linked ? params.hyperlinkColor : context->GetContrastColor(face);
        const float size = m_style->GetEffectiveSize();
        layer(TEXT_PASS_SHADOW, shadow, context->ScaleX(size * d.x * textlayers::kShadowFactor),
              context->ScaleY(size * d.y * textlayers::kShadowFactor), kShadowExtra, nullptr);
    }
    layer(TEXT_PASS_FACE, face, 0.0f, 0.0f, kFaceExtra, links);
    return placed;
}

}  // namespace genswf
