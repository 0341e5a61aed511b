// Text sprites of the shape text index and their layout model.

#include "genswf/text/TextSprite.h"

#include "genswf/fonts/FontManager.h"
#include "genswf/movie/Movie.h"
#include "genswf/movie/MovieFrames.h"
#include "genswf/ppt/Ppt.h"
#include "genswf/shapes/Shape.h"
#include "genswf/text/BulletRecord.h"
#include "genswf/text/ShapeTextIndex.h"
#include "genswf/text/SwfTextField.h"
#include "genswf/text/TextPiece.h"
#include "genswf/text/TextStyle.h"
#include "genswf/utils/ProgressSink.h"

namespace genswf {

namespace {

// Degrees to radians, in single precision.
constexpr float kRadiansPerDegree = 0.017453292f;

void Dim(SwfTextField& field, COLORREF color) {
    if (const std::shared_ptr<TextStyle>& style = field.GetStyle()) style->SetColor(color);
    field.SetForcedColor(true);
}

std::wstring ParagraphText(PowerPoint::TextRange* range) {
    BSTR text = nullptr;
    std::wstring out;
    if (range && range->get_Text(&text) >= 0) out = WStringFromBstr(text);
    SysFreeString(text);
    return out;
}

template <class Child>
Rect UnionOf(const std::vector<CRefPtr<Child>>& children) {
    Rect bounds;
    for (const auto& child : children) bounds.Union(child->GetBounds());
    return bounds;
}

}  // namespace

// --- Word ------------------------------------------------------------------------------------

CTextLayoutWord::CTextLayoutWord(CTextLayoutLine* line_, int wordNumber_)
    : line(line_), movie(line_->movie), wordNumber(wordNumber_), index(line_->index) {
    CRefPtr<CTextWordItem> item = line->wordItems[static_cast<std::size_t>(wordNumber)];
    if (const std::shared_ptr<CFontManager>& fonts = movie ? movie->GetFontManager() : nullptr)
        fonts->CollectParsedRunFonts(*item, *line->lineItem, fields);
    const CTextSprite* sprite = line->paragraph->sprite;
    bool first = true;
    for (const auto& field : fields) {
        if (sprite->IsDimmed()) Dim(*field, sprite->GetDimColor());
        if (first || field->GetSize() > size) {
            size = field->GetSize();
            ascent = field->GetAscent();
            descent = field->GetDescent();
            first = false;
        }
    }
    baseline = ascent;
}

CTextLayoutWord::~CTextLayoutWord() = default;

Rect CTextLayoutWord::GetBounds() const {
    Rect bounds;
    for (const auto& field : fields) bounds.Union(field->GetBounds());
    return bounds;
}

void CTextLayoutWord::WriteObjects(const XmlElementPtr& objects) {
    for (const auto& field : fields) field->Write(objects);
}

void CTextLayoutWord::AddFrames(CFrameList& frameList, int pass) {
    for (const auto& field : fields) field->AddFrames(frameList, pass);
}

// --- Line ------------------------------------------------------------------------------------

CTextLayoutLine::CTextLayoutLine(CTextLayoutParagraph* paragraph_, int lineNumber_)
    : paragraph(paragraph_), movie(paragraph_->movie), lineNumber(lineNumber_), index(paragraph_->index) {
    lineItem = paragraph->lineItems[static_cast<std::size_t>(lineNumber)];
    index->GetWordsOfLine(static_cast<std::size_t>(lineItem->number), wordItems);
    firstWord = wordItems.empty() ? 0 : wordItems.front()->number;
    // Across the flow: the width of a vertical line; every other orientation is laid out as
    // horizontal text.
    const float lineHeight =
        index->GetOrientation() == PowerPoint::msoTextOrientationVerticalFarEast ? lineItem->width : lineItem->height;

    CProgressSink* progress = movie ? movie->GetProgressSink() : nullptr;
    for (std::size_t w = 0; w < wordItems.size(); ++w) {
        CRefPtr<CTextLayoutWord> word(new CTextLayoutWord(this, static_cast<int>(w)));
        // Every word counts for the metrics, also one without text fields.
        if (w == 0 || word->size > size) {
            size = word->size;
            ascent = word->ascent;
            descent = word->descent;
        }
        if (!word->fields.empty()) words.push_back(word);
        if (progress) progress->PumpMessagesAndCheckCancel();
    }
    if (words.empty()) return;
    // A line of zero-height text sits on its top edge.
    baseline = size > 0.0f ? lineHeight * ascent / size : 0.0f;
    for (const auto& word : words) {
        word->baseline = baseline;
        word->size = size;
        word->lineAscent = ascent;
        word->lineDescent = descent;
        for (const auto& field : word->fields) {
            field->SetLineBaseline(baseline);
            field->SetLineSize(size);
            field->SetLineAscent(ascent);
            field->SetLineDescent(descent);
        }
    }
}

CTextLayoutLine::~CTextLayoutLine() = default;

Rect CTextLayoutLine::GetBounds() const { return UnionOf(words); }

void CTextLayoutLine::WriteObjects(const XmlElementPtr& objects) {
    for (const auto& word : words) word->WriteObjects(objects);
}

void CTextLayoutLine::AddFrames(CFrameList& frameList, int pass) {
    for (const auto& word : words) word->AddFrames(frameList, pass);
}

// --- Bullet and paragraph --------------------------------------------------------------------

CTextBullet::CTextBullet(CTextLayoutParagraph* paragraph_, CMovie* movie_, CRefPtr<SwfTextField> field_)
    : paragraph(paragraph_), movie(movie_), field(std::move(field_)) {}
CTextBullet::~CTextBullet() = default;

CTextLayoutParagraph::CTextLayoutParagraph(CTextSprite* sprite_, int k)
    : sprite(sprite_), movie(sprite_->GetMovie()), index(sprite_->GetIndex()) {
    paragraphItem = index->GetParagraph(static_cast<std::size_t>(sprite->GetFirstParagraph() + k));
    index->GetLinesOfParagraph(static_cast<std::size_t>(paragraphItem->number), lineItems);
    firstLine = lineItems.empty() ? 0 : lineItems.front()->number;
    for (std::size_t j = 0; j < lineItems.size(); ++j) {
        CRefPtr<CTextLayoutLine> line(new CTextLayoutLine(this, static_cast<int>(j)));
        if (!line->words.empty()) lines.push_back(line);
    }
    if (lines.empty()) return;

    const CRefPtr<CBulletRecord>& record = paragraphItem->bullet;
    if (!record || !record->GetBulletFont() || record->GetType() == 0) return;
    if (!ParagraphShowsBullet(ParagraphText(paragraphItem->range.Get()))) return;
    const std::shared_ptr<CFontManager>& fonts = movie ? movie->GetFontManager() : nullptr;
    CRefPtr<SwfTextField> field = fonts ? fonts->CollectParsedBulletFont(*paragraphItem) : CRefPtr<SwfTextField>();
    if (!field) return;
    if (sprite->IsDimmed()) Dim(*field, sprite->GetDimColor());
    const CTextLayoutLine& first = *lines.front();
    field->SetLineSize(first.size);
    field->SetLineAscent(first.ascent);
    field->SetLineDescent(first.descent);
    field->SetLineBaseline(first.baseline);
    bullet = CRefPtr<CTextBullet>(new CTextBullet(this, movie, field));
}

CTextLayoutParagraph::~CTextLayoutParagraph() = default;

Rect CTextLayoutParagraph::GetBounds() const {
    Rect bounds = UnionOf(lines);
    if (bullet && bullet->field) bounds.Union(bullet->field->GetBounds());
    return bounds;
}

void CTextLayoutParagraph::WriteObjects(const XmlElementPtr& objects) {
    for (const auto& line : lines) line->WriteObjects(objects);
    if (bullet && bullet->field) bullet->field->Write(objects);
}

void CTextLayoutParagraph::AddFrames(CFrameList& frameList, int pass) {
    for (const auto& line : lines) line->AddFrames(frameList, pass);
    if (bullet && bullet->field) bullet->field->AddFrames(frameList, pass);
}

// --- Sprite ----------------------------------------------------------------------------------

CTextSprite::CTextSprite(CShapeTextIndex* index, int firstParagraph, int paragraphCount, bool dimmed, COLORREF dimColor)
    : m_owner(index),
      m_movie(index->GetMovie()),
      m_firstParagraph(firstParagraph),
      m_paragraphCount(paragraphCount),
      m_dimmed(dimmed),
      m_dimColor(dimColor),
      m_id(m_movie->NewSpriteId()) {
    for (int k = 0; k < m_paragraphCount; ++k) {
        CRefPtr<CTextLayoutParagraph> paragraph(new CTextLayoutParagraph(this, k));
        if (!paragraph->lines.empty()) m_paragraphs.push_back(paragraph);
    }
}

CTextSprite::~CTextSprite() = default;

void CTextSprite::Write(const XmlElementPtr& parent) {
    XmlElementPtr sprite = m_movie->WriteSprite(parent, m_id);
    XmlElementPtr objects = m_movie->WriteObjects(sprite);
    XmlElementPtr layers = m_movie->WriteLayers(sprite);
    XmlElementPtr layer = m_movie->WriteLayer(layers);
    for (const auto& paragraph : m_paragraphs) paragraph->WriteObjects(objects);

    // Pass by pass, so every shadow lies under every emboss copy and every face on top.
    std::shared_ptr<CFrameList> frames = CreateFrameList(m_movie);
    for (int pass = TEXT_PASS_SHADOW; pass <= TEXT_PASS_FACE; ++pass)
        for (const auto& paragraph : m_paragraphs) paragraph->AddFrames(*frames, pass);
    std::shared_ptr<CFrameTrack> stop = CreateFrameTrack(m_movie);
    stop->AddActions(0)->GetActions().AddStop();
    frames->Add(stop);
    frames->Write(layer, 0);

    const CMatrix matrix = GetPlacementMatrix();
    CShape* shape = m_owner->GetShape();
    Rect rectangle;
    if (shape->IsTextAnimatedWithShape()) {
        rectangle = shape->GetRotatedBounds();
    } else {
        rectangle = GetBounds();
        rectangle.TransformBounds(matrix);
    }
    m_placementRecord = CreateShapeObjectRecord(m_movie, parent, m_id, rectangle.x, rectangle.y, rectangle.width,
                                                rectangle.height, matrix);
}

Rect CTextSprite::GetBounds() const { return UnionOf(m_paragraphs); }

CMatrix CTextSprite::GetPlacementMatrix() const {
    CShape* shape = m_owner->GetShape();
    const float cx = m_movie->ScaleX(shape->GetLeft() + 0.5f * shape->GetWidth());
    const float cy = m_movie->ScaleY(shape->GetTop() + 0.5f * shape->GetHeight());
    CMatrix matrix;
    matrix.SetTranslation(-cx, -cy);
    CMatrix step;
    step.SetRotation(shape->GetParsedLink().GetTextRotation() * kRadiansPerDegree);
    matrix.Multiply(step, matrix);
    step.SetRotation(shape->GetRotation() * kRadiansPerDegree);
    matrix.Multiply(step, matrix);
    step.SetTranslation(cx, cy);
    matrix.Multiply(step, matrix);
    return matrix;
}

}  // namespace genswf
