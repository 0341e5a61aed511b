#pragma once
// One drawn copy of a text field: the "htmlText" definition that shows the field's text in the
// piece's colour, and the frame track that places it. Linked text is shown through a push
// button whose four states show the text field.

#include "genswf/geometry/Geometry.h"
#include "genswf/movie/MovieTypes.h"
#include "genswf/ppt/Ppt.h"
#include "genswf/utils/Utils.h"

#include <memory>
#include <string>

namespace genswf {

class CActionSettingList;
class CButtonObject;
class CFrameTrack;
class CHyperlinkSource;
class CMovie;
class TextStyle;

// What a piece reads of the text field it belongs to. The field stays alive as long as its
// pieces (it owns them), so a piece keeps a plain pointer to it.
class CTextFieldPieceSource {
public:
    virtual ~CTextFieldPieceSource() = default;

    virtual CMovie* GetMovie() const = 0;
    virtual const std::wstring& GetText() const = 0;
    virtual std::shared_ptr<TextStyle> GetStyle() const = 0;
    // The field's own placement; a piece's matrix is its offset times this.
    virtual const CMatrix& GetMatrix() const = 0;
    // Movie units, as the field's layout computed them.
    virtual float GetFieldWidth() const = 0;
    virtual float GetFieldHeight() const = 0;
    // Points to movie units, vertically.
    virtual float ScaleY(float points) const = 0;
    // The slide that holds the text, for the hyperlink pass.
    virtual LONG GetSlideId() const = 0;
    // Hands a linked piece's button to the movie's hyperlink pass.
    virtual void AddHyperlinkSource(const std::shared_ptr<CHyperlinkSource>& source) = 0;
};

class CTextFieldPiece : public CRefCounted {
public:
    // Text, movie, size and a new "txt" id from the field; matrix = matrix x the field's matrix.
    CTextFieldPiece(CTextFieldPieceSource* field, COLORREF color, const CMatrix& matrix);
    ~CTextFieldPiece() override;
    CTextFieldPiece(const CTextFieldPiece&) = delete;
    CTextFieldPiece& operator=(const CTextFieldPiece&) = delete;

    // The "htmlText" element (and the button of linked text) under parent, and the frame track
    // that shows it at frame 0. Throws CBaseException when the style has no font to show it.
    void Write(const XmlElementPtr& parent);

    const std::shared_ptr<CFrameTrack>& GetFrameTrack() const { return m_frameTrack; }
    const std::shared_ptr<CActionSettingList>& GetActionSettings() const { return m_actionSettings; }
    void SetActionSettings(const std::shared_ptr<CActionSettingList>& list) { m_actionSettings = list; }
    const std::shared_ptr<CButtonObject>& GetButton() const { return m_button; }
    const std::wstring& GetId() const { return m_id; }
    const std::wstring& GetText() const { return m_text; }
    COLORREF GetColor() const { return m_color; }
    const CMatrix& GetMatrix() const { return m_matrix; }
    float GetWidth() const { return m_width; }
    float GetHeight() const { return m_height; }

private:
    bool IsLinked() const;

    std::wstring m_text;
    COLORREF m_color;
    CTextFieldPieceSource* m_field;
    CMovie* m_movie;
    std::wstring m_id;
    CMatrix m_matrix;
    float m_width;
    float m_height;
    std::shared_ptr<CFrameTrack> m_frameTrack;
    std::shared_ptr<CActionSettingList> m_actionSettings;
    std::shared_ptr<CButtonObject> m_button;
};

CRefPtr<CTextFieldPiece> CreateTextFieldPiece(CTextFieldPieceSource* field, COLORREF color, const CMatrix& matrix);

}  // namespace genswf
