// Paragraphs and lines of the text-frame path.

#include "genswf/text/TextParagraph.h"

#include "genswf/fonts/FontManager.h"
#include "genswf/movie/Movie.h"
#include "genswf/movie/MovieObjects.h"
#include "genswf/ppt/PptBulletFormat.h"
#include "genswf/ppt/PptParagraphFormat.h"
#include "genswf/ppt/PptTextFrame.h"
#include "genswf/ppt/PptTextRange.h"
#include "genswf/shapes/BasicShape.h"
#include "genswf/shapes/ShapeHolder.h"
#include "genswf/slides/Slide.h"
#include "genswf/slides/SlideActions.h"
#include "genswf/text/BulletRecord.h"
#include "genswf/text/TextExportSupport.h"
#include "genswf/text/TextFrameContent.h"
#include "genswf/text/TextPiece.h"
#include "genswf/text/TextStyle.h"

#include <algorithm>

namespace genswf {

namespace {

// The slide that holds the text: reached through the shape's export context.
CSlide* SlideOf(CTextFrameContent* content) {
    CBasicShape* shape = content ? content->GetBasicShape() : nullptr;
    const std::shared_ptr<CShapeContext>& context = shape ? shape->GetContext() : nullptr;
    return context ? context->GetOwner() : nullptr;
}

}  // namespace

// --- Line ------------------------------------------------------------------------------------

CTextLine::CTextLine(const std::shared_ptr<CPptTextFrame>& textFrame, const std::shared_ptr<CPptTextRange>& lineRange,
                     std::vector<std::shared_ptr<CTextPiece>> pieces)
    : m_pieces(std::move(pieces)) {
    const CTextPiece* tallest = nullptr;
    for (const auto& piece : m_pieces)
        if (!tallest || piece->GetSize() > tallest->GetSize()) tallest = piece.get();
    if (tallest) {
        m_ascent = tallest->GetAscent();
        m_descent = tallest->GetDescent();
        m_height = tallest->GetSize();
    }
    const bool vertical = textFrame && textFrame->GetOrientation() == PowerPoint::msoTextOrientationVerticalFarEast;
    const float extent = vertical ? lineRange->GetBoundWidth() : lineRange->GetBoundHeight();
    // A line of zero-height text sits on its top edge.
    m_baseline = m_height > 0.0f ? extent * m_ascent / m_height : 0.0f;
}

CTextLine::~CTextLine() = default;

std::shared_ptr<CPlacedTextFieldGroups> CTextLine::Layout(CTextExportContext& context) {
    CTextLayoutParams params;
    params.context = &context;
    params.lineHeight = m_height;
    params.ascent = m_ascent;
    params.descent = m_descent;
    params.baseline = m_baseline;
    const CSlide* slide = SlideOf(context.GetContent());
    params.hyperlinkColor = slide ? slide->GetFallbackColor() : 0;

    auto groups = std::make_shared<CPlacedTextFieldGroups>();
    for (const auto& piece : m_pieces) groups->Add(piece->Layout(params));
    return groups;
}

// --- Paragraph -------------------------------------------------------------------------------

std::shared_ptr<CTextParagraph> CTextParagraph::Create(CTextFrameContent* owner,
                                                       const std::shared_ptr<CPptTextRange>& range,
                                                       const std::shared_ptr<CShapeContext>& shapeContext) {
    return std::make_shared<CTextParagraph>(owner, range, shapeContext);
}

CTextParagraph::CTextParagraph(CTextFrameContent* owner, const std::shared_ptr<CPptTextRange>& range,
                               const std::shared_ptr<CShapeContext>& shapeContext)
    : m_owner(owner), m_range(range), m_shapeContext(shapeContext) {
    CollectLines();
}

CTextParagraph::~CTextParagraph() = default;

void CTextParagraph::CollectLines() {
    const LONG count = m_range->Lines(-1, -1)->GetCount();
    // The count is PowerPoint's; room is made for no more than a page of lines up front.
    if (count > 0) m_lines.reserve(static_cast<std::size_t>(std::min<LONG>(count, 256)));
    for (LONG i = 0; i < count; ++i) {
        std::shared_ptr<CPptTextRange> line = m_range->Lines(i, 1);
        const LONG lineStart = line->GetStart();
        const LONG lineEnd = lineStart + line->GetLength();
        std::vector<std::shared_ptr<CTextPiece>> pieces;
        const LONG words = line->Words(-1, -1)->GetCount();
        for (LONG w = 0; w < words; ++w) {
            std::vector<std::shared_ptr<CTextPiece>> more = CollectWordPieces(line->Words(w, 1), lineStart, lineEnd);
            pieces.insert(pieces.end(), more.begin(), more.end());
        }
        if (pieces.empty()) continue;
        if (i == 0) {
            MakeBullet();
            if (m_bullet) pieces.push_back(m_bullet);
        }
        m_lines.push_back(
            std::make_shared<CTextLine>(m_owner ? m_owner->GetTextFrame() : nullptr, line, std::move(pieces)));
    }
    if (!m_lines.empty() && m_owner) m_animationTarget = CTextAnimatedObject::Create(m_owner->GetBasicShape());
    // The pieces hold what they read: the lines', words' and runs' wrappers need not outlive them.
    m_range->ReleaseSubRanges();
}

std::vector<std::shared_ptr<CTextPiece>> CTextParagraph::CollectWordPieces(const std::shared_ptr<CPptTextRange>& word,
                                                                           LONG lineStart, LONG lineEnd) {
    std::vector<std::shared_ptr<CTextPiece>> pieces;
    const LONG wordStart = word->GetStart();
    const LONG from = std::max(wordStart, lineStart);
    const LONG to = std::min(wordStart + word->GetLength(), lineEnd);
    if (from >= to) return pieces;
    const LONG runs = word->Runs(-1, -1)->GetCount();
    for (LONG j = 0; j < runs; ++j) {
        std::vector<std::shared_ptr<CTextPiece>> more = CollectRunPieces(word, word->Runs(j, 1), from, to);
        pieces.insert(pieces.end(), more.begin(), more.end());
    }
    return pieces;
}

std::vector<std::shared_ptr<CTextPiece>> CTextParagraph::CollectRunPieces(const std::shared_ptr<CPptTextRange>& word,
                                                                          const std::shared_ptr<CPptTextRange>& run,
                                                                          LONG from, LONG to) {
    const LONG runStart = run->GetStart();
    const LONG runEnd = runStart + run->GetLength();
    if (!(runStart < to && runEnd > from)) return {};
    const LONG s = std::max(runStart, from);
    const LONG e = std::min(runEnd, to);
    const std::shared_ptr<CFontManager> fonts = m_shapeContext ? m_shapeContext->GetFontManager() : nullptr;
    if (!fonts) return {};
    // A run that lies wholly inside the word and the line is its own piece of text: asking for
    // the same characters again would only read the same text, font and bounds a second time.
    if (s == runStart && e == runEnd) return fonts->CollectRunFonts(run, *this);
    return fonts->CollectRunFonts(word->Characters(s - word->GetStart(), e - s), *this);
}

void CTextParagraph::MakeBullet() {
    std::shared_ptr<CPptBulletFormat> bullet = m_range->GetParagraphFormat()->GetBullet();
    if (bullet->GetVisible() == 0 || !ParagraphShowsBullet(m_range->GetText())) return;
    const std::shared_ptr<CFontManager> fonts = m_shapeContext ? m_shapeContext->GetFontManager() : nullptr;
    if (fonts) m_bullet = fonts->CollectBulletFont(*this);
}

Rect CTextParagraph::GetBoundsInPoints() {
    Rect bounds(GetBoundLeft(), GetBoundTop(), GetBoundWidth(), GetBoundHeight());
    if (m_bullet)
        bounds.Union(Rect(m_bullet->GetLeft(), m_bullet->GetTop(), m_bullet->GetWidth(), m_bullet->GetSize()));
    return bounds;
}

Rect CTextParagraph::GetBounds() {
    Rect bounds = GetBoundsInPoints();
    CMatrix scale;
    if (m_shapeContext) scale.SetScale(m_shapeContext->ToMovieX(1.0f), m_shapeContext->ToMovieY(1.0f));
    bounds.TransformBounds(scale);
    return bounds;
}

float CTextParagraph::GetBoundLeft() { return m_range->GetBoundLeft(); }
float CTextParagraph::GetBoundTop() { return m_range->GetBoundTop(); }
float CTextParagraph::GetBoundWidth() { return m_range->GetBoundWidth(); }
float CTextParagraph::GetBoundHeight() { return m_range->GetBoundHeight(); }
LONG CTextParagraph::GetIndentLevel() { return m_range->GetIndentLevel(); }

std::shared_ptr<CActionSettingList> CTextParagraph::FindActionSettings(LONG start, LONG length) {
    CBasicShape* shape = m_owner ? m_owner->GetBasicShape() : nullptr;
    const CSlide* slide = SlideOf(m_owner);
    if (!shape || !slide) return nullptr;
    return slide->FindTextActionSettings(shape->GetName(), start, length);
}

// --- The paragraph's sprite ------------------------------------------------------------------

std::shared_ptr<CSpriteObject> CTextParagraph::ExportSprite(CTextExportContext& context) {
    CMovie* movie = context.GetMovie();
    std::shared_ptr<CSpriteObject> sprite = CreateSpriteObject(movie);
    CPlacedTextFieldGroups groups;
    for (const auto& line : m_lines) groups.AddAll(*line->Layout(context));

    std::shared_ptr<CLayer> layer = sprite->GetLayers()->AddLayer();
    std::shared_ptr<CFrameTrack> track = layer->AddTrack();
    const CSlide* slide = SlideOf(m_owner);
    const LONG slideIndex = slide ? slide->GetSlideIndex() : 0;

    // Pass by pass: all shadows of the paragraph lie under all emboss copies, all faces on top.
    for (int pass = TEXT_PASS_SHADOW; pass <= TEXT_PASS_FACE; ++pass) {
        for (std::size_t g = 0; g < groups.GetCount(); ++g) {
            std::shared_ptr<CPlacedTextField> placed = groups.GetAt(g)->FindByPass(pass);
            if (!placed) continue;
            sprite->GetObjects()->Add(placed->field);
            std::wstring shownId = placed->field->GetId();
            if (placed->actionSettings && !placed->actionSettings->IsEmpty()) {
                // Linked text shows underlined once: markup of underlined text already opens with it.
                const std::wstring& html = placed->field->html;
                if (html.compare(0, 3, L"<U>") != 0) placed->field->html = L"<U>" + html + L"</U>";
                std::shared_ptr<CButtonObject> button =
                    sprite->GetObjects()->AddButton(nullptr, shownId, shownId, shownId, shownId);
                shownId = button->GetId();
                movie->AddHyperlinkSource(CreateHyperlinkButton(button, placed->actionSettings, slideIndex));
            }
            track->AddShow(0, shownId, placed->matrix);
        }
    }
    return sprite;
}

}  // namespace genswf
