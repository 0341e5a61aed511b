#pragma once
// A stretch of text of one style on the shape-text-index path: its bounds as PowerPoint laid
// it out, the metrics of the line that holds it, and the drawn copies (text field pieces) its
// layout makes, each tagged with its drawing pass.

#include "genswf/geometry/Geometry.h"
#include "genswf/movie/MovieTypes.h"
#include "genswf/ppt/Ppt.h"
#include "genswf/text/TextFieldPiece.h"
#include "genswf/utils/Utils.h"

#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace genswf {

class CActionSettingList;
class CFrameList;
class CMovie;
class CShapeTextIndex;
class CTextRangeItem;
class TextStyle;

class SwfTextField : public CRefCounted, public CTextFieldPieceSource {
public:
    // For an item of the shape text index: the given text at the given rectangle (points).
    SwfTextField(CTextRangeItem* item, const std::shared_ptr<TextStyle>& style, const std::wstring& text,
                 const Rect& rectangle);
    // Text and bounds of the range; owner gives the shape and the frame's orientation.
    SwfTextField(CShapeTextIndex* owner, const std::shared_ptr<TextStyle>& style, PowerPoint::TextRange* textRange);
    ~SwfTextField() override;
    SwfTextField(const SwfTextField&) = delete;
    SwfTextField& operator=(const SwfTextField&) = delete;

    // Lays the field out, then writes its pieces under parent; returns how many.
    int Write(const XmlElementPtr& parent);
    // The frame tracks of the pieces of that pass, in order.
    void AddFrames(CFrameList& frameList, int pass);
    // Movie units.
    Rect GetBounds() const;
    // The text links somewhere and text hyperlinks are on.
    bool HasTextHyperlink() const;

    // --- Set by the layout line ---
    void SetLineBaseline(float value) { m_lineBaseline = value; }
    void SetLineSize(float value) { m_lineSize = value; }
    void SetLineAscent(float value) { m_lineAscent = value; }
    void SetLineDescent(float value) { m_lineDescent = value; }
    float GetLineBaseline() const { return m_lineBaseline; }
    float GetLineSize() const { return m_lineSize; }
    float GetLineAscent() const { return m_lineAscent; }
    float GetLineDescent() const { return m_lineDescent; }
    void SetForcedColor(bool on) { m_forcedColor = on; }
    bool GetForcedColor() const { return m_forcedColor; }
    void SetActionSettings(const std::shared_ptr<CActionSettingList>& list) { m_actionSettings = list; }
    const std::shared_ptr<CActionSettingList>& GetActionSettings() const { return m_actionSettings; }

    // Points.
    float GetAscent() const { return m_ascent; }
    float GetDescent() const { return m_descent; }
    float GetSize() const { return m_size; }
    float GetLeft() const { return m_left; }
    float GetTop() const { return m_top; }
    float GetWidth() const { return m_width; }
    float GetHeight() const { return m_height; }
    float GetVerticalOffset() const { return m_verticalOffset; }
    int GetBaselineAlignment() const { return m_baselineAlignment; }
    CShapeTextIndex* GetOwner() const { return m_owner; }
    const std::vector<std::pair<int, CRefPtr<CTextFieldPiece>>>& GetPieces() const { return m_pieces; }

    // --- What a text field piece reads ---
    CMovie* GetMovie() const override { return m_movie; }
    const std::wstring& GetText() const override { return m_text; }
    std::shared_ptr<TextStyle> GetStyle() const override { return m_style; }
    const CMatrix& GetMatrix() const override { return m_matrix; }
    float GetFieldWidth() const override { return m_fieldWidth; }
    float GetFieldHeight() const override { return m_fieldHeight; }
    float ScaleY(float points) const override;
    // The 0-based SlideIndex of the slide that holds the text.
    LONG GetSlideId() const override;
    void AddHyperlinkSource(const std::shared_ptr<CHyperlinkSource>& source) override;

protected:
    // Vertical offset, matrix, field size and the pieces.
    void Layout();
    void ComputeMetrics();

private:
    CShapeTextIndex* m_owner;
    CMovie* m_movie;
    std::shared_ptr<TextStyle> m_style;
    std::wstring m_text;
    float m_left = 0.0f, m_top = 0.0f, m_width = 0.0f, m_height = 0.0f;
    float m_ascent = 0.0f, m_descent = 0.0f, m_size = 0.0f;
    float m_lineSize = 0.0f, m_lineAscent = 0.0f, m_lineDescent = 0.0f, m_lineBaseline = 0.0f;
    float m_verticalOffset = 0.0f;
    float m_fieldHeight = 0.0f, m_fieldWidth = 0.0f;
    std::shared_ptr<CActionSettingList> m_actionSettings;
    std::vector<std::pair<int, CRefPtr<CTextFieldPiece>>> m_pieces;
    CMatrix m_matrix;
    int m_baselineAlignment = 0;
    bool m_forcedColor = false;
};

}  // namespace genswf
