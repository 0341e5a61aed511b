// The text-frame model of a basic shape.

#include "genswf/text/TextFrameContent.h"

#include "genswf/animation/EffectExporter.h"
#include "genswf/animation/Placement.h"
#include "genswf/animation/TimeLine.h"
#include "genswf/movie/Movie.h"
#include "genswf/movie/MovieObjects.h"
#include "genswf/ppt/PptShape.h"
#include "genswf/ppt/PptTextFrame.h"
#include "genswf/ppt/PptTextRange.h"
#include "genswf/shapes/BasicShape.h"
#include "genswf/shapes/ShapeExportRequest.h"
#include "genswf/shapes/ShapeHolder.h"
#include "genswf/text/TextParagraph.h"

namespace genswf {

namespace {

constexpr float kRadiansPerDegree = 0.017453292f;

}  // namespace

std::shared_ptr<CTextFrameContent> CTextFrameContent::Create(const std::shared_ptr<CPptTextFrame>& frame,
                                                             CBasicShape* shape) {
    return std::make_shared<CTextFrameContent>(frame, shape);
}

CTextFrameContent::CTextFrameContent(const std::shared_ptr<CPptTextFrame>& frame, CBasicShape* shape)
    : m_source(frame, shape), m_shape(shape), m_frame(frame) {
    if (!m_frame || !m_shape || m_frame->GetHasText() == 0) return;
    CComPtr<PowerPoint::TextRange> range;
    range.Attach(m_frame->GetTextRange());
    if (!range) return;
    m_range = CreatePptTextRange(range.Get());

    const LONG count = m_range->Paragraphs(-1, -1)->GetCount();
    for (LONG i = 0; i < count; ++i)
        m_paragraphs.push_back(CTextParagraph::Create(this, m_range->Paragraphs(i, 1), m_shape->GetContext()));
}

CTextFrameContent::~CTextFrameContent() = default;

void CTextFrameContent::ExportTextShape(const std::shared_ptr<CTextExportRequest>& request) {
    if (m_paragraphs.empty()) return;
    const std::shared_ptr<CTimeLineEffect> effect = request ? request->GetEffect() : nullptr;
    const std::shared_ptr<CShapeContext>& context = m_shape->GetContext();
    CMovie* movie = context->GetMovie();
    const std::shared_ptr<CEffectExporterFactory> factory = context->GetEffectExporterFactory();
    const std::shared_ptr<CEffectExporterBase> exporter = factory ? factory->GetExporter(effect) : nullptr;
    if (!exporter) return;

    // The text turns with the shape (and by its own rotation) about the shape's centre.
    const std::shared_ptr<CPptShape>& pptShape = m_shape->GetShape();
    const float width = context->ToMovieX(pptShape->GetWidth());
    const float height = context->ToMovieY(pptShape->GetHeight());
    const float halfWidth = context->ToMovieX(pptShape->GetWidth() * 0.5f);
    const float halfHeight = context->ToMovieY(pptShape->GetHeight() * 0.5f);
    const float left = context->ToMovieX(m_shape->GetLeft());
    const float top = context->ToMovieY(m_shape->GetTop());
    const float cx = left + halfWidth, cy = top + halfHeight;
    CMatrix matrix;
    matrix.SetTranslation(-cx, -cy);
    matrix.Rotate(m_shape->GetTextRotation() * kRadiansPerDegree);
    matrix.Rotate(m_shape->GetRotation() * kRadiansPerDegree);
    CMatrix back;
    back.SetTranslation(cx, cy);
    matrix.Multiply(back, matrix);

    const Rect shapeBounds = m_shape->GetBounds();
    const std::shared_ptr<CPlacement> shapePlacement = CPlacement::Create(movie, left, top, width, height, matrix);

    // The area an effect on each paragraph animates.
    const std::size_t n = m_paragraphs.size();
    std::vector<Rect> groups(n, shapeBounds);
    if (effect && effect->IsTextEffect()) {
        const std::int32_t level = effect->GetTextBuildLevel();
        if (level < 0) {
            const std::int32_t named = effect->GetParagraph();
            if (named >= 0 && static_cast<std::size_t>(named) < n)
                groups[static_cast<std::size_t>(named)] = m_paragraphs[static_cast<std::size_t>(named)]->GetBounds();
        } else if (level > 0) {
            Rect group;
            for (std::size_t i = 0; i < n; ++i) {
                const LONG k = m_paragraphs[i]->GetIndentLevel();
                const Rect bounds = m_paragraphs[i]->GetBounds();
                if (k <= level) {
                    group = bounds;
                } else {
                    group.Union(bounds);
                    for (std::size_t j = i; j-- > 0;) {
                        const LONG earlier = m_paragraphs[j]->GetIndentLevel();
                        if (earlier < level) {
                            group = bounds;
                            break;
                        }
                        groups[j] = group;
                        if (earlier == level) break;
                    }
                }
                groups[i] = group;
            }
        }
    }

    for (std::size_t i = 0; i < n; ++i) {
        const std::shared_ptr<CTextAnimatedObject>& target = m_paragraphs[i]->GetAnimationTarget();
        if (!target) continue;
        std::shared_ptr<CPlacement> placement;
        if (!effect) {
            placement = shapePlacement;
        } else if (effect->IsTextEffect() &&
                   (effect->GetParagraph() < 0 || static_cast<std::size_t>(effect->GetParagraph()) == i)) {
            Rect area = groups[i];
            area.TransformBounds(matrix);
            placement = CPlacement::Create(movie, area.x, area.y, area.width, area.height, matrix);
        } else {
            continue;
        }
        if (!target->GetCurrentObject()) {
            CTextExportContext exportContext(this);
            target->SetObject(m_paragraphs[i]->ExportSprite(exportContext));
        }
        exporter->Export(placement, target, effect);
    }
}

CMovie* CTextFrameContent::GetMovie() const { return m_shape->GetContextMovie(); }
COLORREF CTextFrameContent::GetLightColor() const { return m_shape->GetLightColor(); }
COLORREF CTextFrameContent::GetDarkColor() const { return m_shape->GetDarkColor(); }
COLORREF CTextFrameContent::GetBaseColor() const { return m_shape->GetBaseColor(); }
COLORREF CTextFrameContent::GetContrastColor(COLORREF color) const { return m_shape->GetContrastColor(color); }
std::shared_ptr<libpptparser::CTextFrame> CTextFrameContent::GetParsedTextFrame() {
    return m_source.GetParsedTextFrame();
}

}  // namespace genswf
