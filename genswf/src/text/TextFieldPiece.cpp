// One drawn copy of a text field and the "htmlText" definition it is written as.

#include "genswf/text/TextFieldPiece.h"

#include "genswf/movie/Movie.h"
#include "genswf/slides/SlideActions.h"
#include "genswf/text/TextStyle.h"
#include "genswf/utils/Exceptions.h"

namespace genswf {

namespace {

// Room around the text so the field never clips a glyph's overhang.
constexpr float kFieldMargin = 10.0f;

}  // namespace

CTextFieldPiece::CTextFieldPiece(CTextFieldPieceSource* field, COLORREF color, const CMatrix& matrix)
    : m_text(field->GetText()),
      m_color(color),
      m_field(field),
      m_movie(field->GetMovie()),
      m_id(m_movie->NewTextId()),
      m_width(field->GetFieldWidth()),
      m_height(field->GetFieldHeight()) {
    m_matrix.Multiply(matrix, field->GetMatrix());
}

CTextFieldPiece::~CTextFieldPiece() = default;

bool CTextFieldPiece::IsLinked() const { return m_actionSettings && !m_actionSettings->IsEmpty(); }

void CTextFieldPiece::Write(const XmlElementPtr& parent) {
    const std::shared_ptr<TextStyle> style = m_field->GetStyle();
    if (!style || !style->GetFont())
        throw CBaseException(0, LocatedMessage(L"Text field without a font", __FILE__, __LINE__));

    XmlElementPtr element =
        m_movie->WriteHtmlText(parent, m_id, 0.0f, 0.0f, m_width + kFieldMargin, m_height + kFieldMargin);
    m_movie->SetAttribute(element, m_movie->CreateColorAttribute(m_color));
    m_movie->SetAttribute(element, m_movie->CreateAttribute(L"fontId", style->GetFont()->GetId()));
    m_movie->SetAttribute(element,
                          m_movie->CreateFloatAttribute(L"fontSize", m_field->ScaleY(style->GetEffectiveSize())));
    // Every piece is one line the user cannot select.
    m_movie->SetAttribute(element, m_movie->CreateIntAttribute(L"multiline", 0));
    m_movie->SetAttribute(element, m_movie->CreateIntAttribute(L"wordWrap", 0));
    m_movie->SetAttribute(element, m_movie->CreateIntAttribute(L"selectable", 0));

    std::wstring html = style->ToHtml(m_text);
    // Linked text always shows underlined, once.
    if (IsLinked() && !style->GetUnderline()) html = L"<U>" + html + L"</U>";
    m_movie->AppendCDataSection(element, html);

    std::wstring shownId = m_id;
    if (IsLinked()) {
        m_button = CreateButtonObject(m_movie, nullptr, m_id, m_id, m_id, m_id);
        m_field->AddHyperlinkSource(CreateHyperlinkButton(m_button, m_actionSettings, m_field->GetSlideId()));
        m_button->Write(parent);
        shownId = m_button->GetId();
    }

    m_frameTrack = CreateFrameTrack(m_movie);
    m_frameTrack->AddShow(0, shownId, m_matrix);
}

CRefPtr<CTextFieldPiece> CreateTextFieldPiece(CTextFieldPieceSource* field, COLORREF color, const CMatrix& matrix) {
    return CRefPtr<CTextFieldPiece>(new CTextFieldPiece(field, color, matrix));
}

}  // namespace genswf
