// Text fields of the shape-text-index path.
//
// Skeleton: the layout is not built yet.

#include "genswf/text/SwfTextField.h"

#include "genswf/movie/Movie.h"
#include "genswf/movie/MovieFrames.h"
#include "genswf/slides/SlideActions.h"
#include "genswf/text/ShapeTextIndex.h"
#include "genswf/text/TextStyle.h"
#include "genswf/utils/Exceptions.h"

namespace genswf {

namespace {

[[noreturn]] void NotBuilt(const wchar_t* what) { throw CBaseException(0, std::wstring(what) + L" is not built yet"); }

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
      m_height(rectangle.height) {}

SwfTextField::SwfTextField(CShapeTextIndex* owner, const std::shared_ptr<TextStyle>& style,
                           PowerPoint::TextRange* /*textRange*/)
    : m_owner(owner), m_movie(owner->GetMovie()), m_style(style) {}

SwfTextField::~SwfTextField() = default;

int SwfTextField::Write(const XmlElementPtr& /*parent*/) { NotBuilt(L"SwfTextField::Write"); }

void SwfTextField::AddFrames(CFrameList& frameList, int pass) {
    for (const auto& piece : m_pieces)
        if (piece.first == pass && piece.second->GetFrameTrack()) frameList.Add(piece.second->GetFrameTrack());
}

Rect SwfTextField::GetBounds() const {
    return Rect(m_movie->ScaleX(m_left), m_movie->ScaleY(m_top), m_movie->ScaleX(m_width), m_movie->ScaleY(m_height));
}

bool SwfTextField::HasTextHyperlink() const { NotBuilt(L"SwfTextField::HasTextHyperlink"); }
float SwfTextField::ScaleY(float points) const { return m_movie->ScaleY(points); }
LONG SwfTextField::GetSlideId() const { NotBuilt(L"SwfTextField::GetSlideId"); }

void SwfTextField::AddHyperlinkSource(const std::shared_ptr<CHyperlinkSource>& source) {
    m_movie->AddHyperlinkSource(source);
}

void SwfTextField::Layout() { NotBuilt(L"SwfTextField::Layout"); }
void SwfTextField::ComputeMetrics() { NotBuilt(L"SwfTextField::ComputeMetrics"); }

}  // namespace genswf
