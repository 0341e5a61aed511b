#pragma once
// A stretch of text of one style on the text-frame path, and the text fields its layout places:
// up to four drawn copies (shadow, emboss dark, light and face copies, face), each a text field
// with a matrix and a drawing pass.

#include "genswf/geometry/Geometry.h"
#include "genswf/ppt/Ppt.h"
#include "genswf/utils/Utils.h"

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

namespace genswf {

class CActionSettingList;
class CPptParagraphFormat;
class CPptShape;
class CPptTextFrame;
class CPptTextRange;
class CTextFieldObject;
struct CTextLayoutParams;
class TextStyle;

// Drawing passes: all of pass 0 lies below all of pass 1, and so on.
enum TextDrawingPass : int {
    TEXT_PASS_SHADOW = 0,
    TEXT_PASS_EMBOSS_DARK = 1,
    TEXT_PASS_EMBOSS_LIGHT = 2,
    TEXT_PASS_EMBOSS_FACE = 3,
    TEXT_PASS_FACE = 4,
};

struct CTextFieldPlacement {
    CMatrix matrix;
    float width = 0.0f;   // movie units
    float height = 0.0f;  // movie units
};

class CPlacedTextField {
public:
    CPlacedTextField(std::shared_ptr<CActionSettingList> actionSettings_, std::shared_ptr<CTextFieldObject> field_,
                     const CMatrix& matrix_, int pass_)
        : actionSettings(std::move(actionSettings_)), field(std::move(field_)), matrix(matrix_), pass(pass_) {}
    virtual ~CPlacedTextField() = default;

    std::shared_ptr<CActionSettingList> actionSettings;  // null unless the text links somewhere
    std::shared_ptr<CTextFieldObject> field;
    CMatrix matrix;
    int pass;
};

std::shared_ptr<CPlacedTextField> CreatePlacedTextField(std::shared_ptr<CActionSettingList> actionSettings,
                                                        std::shared_ptr<CTextFieldObject> field, const CMatrix& matrix,
                                                        int pass);

// The fields of one piece, in the order made.
class CPlacedTextFieldList {
public:
    virtual ~CPlacedTextFieldList() = default;
    void Add(const std::shared_ptr<CPlacedTextField>& field) { fields.push_back(field); }
    // The first field of that pass, or null.
    std::shared_ptr<CPlacedTextField> FindByPass(int pass) const;

    std::vector<std::shared_ptr<CPlacedTextField>> fields;
};

// One list per piece, in piece order.
class CPlacedTextFieldGroups {
public:
    virtual ~CPlacedTextFieldGroups() = default;
    void Add(const std::shared_ptr<CPlacedTextFieldList>& list) { m_groups.push_back(list); }
    void AddAll(const CPlacedTextFieldGroups& other);
    std::size_t GetCount() const { return m_groups.size(); }
    const std::shared_ptr<CPlacedTextFieldList>& GetAt(std::size_t i) const { return m_groups[i]; }

private:
    std::vector<std::shared_ptr<CPlacedTextFieldList>> m_groups;
};

class CTextPiece {
public:
    // Bounds and text from the range; frame, shape and paragraph format (that of the paragraph
    // the range lies in) as given, else from the range (the text path knows them already and
    // saves the questions).
    static std::shared_ptr<CTextPiece> CreateFromRange(
        const std::shared_ptr<CPptTextRange>& range, const std::shared_ptr<TextStyle>& style,
        const std::shared_ptr<CPptTextFrame>& frame = nullptr, const std::shared_ptr<CPptShape>& shape = nullptr,
        const std::shared_ptr<CPptParagraphFormat>& paragraphFormat = nullptr);
    // The bullet of the paragraph range: text as the bullet pass chose it (the bullet's text,
    // less characters its font cannot show) at the rectangle (points) it computed.
    static std::shared_ptr<CTextPiece> CreateBullet(const std::shared_ptr<CPptTextRange>& paragraphRange,
                                                    const std::shared_ptr<TextStyle>& style, const Rect& rectangle,
                                                    const std::wstring& text,
                                                    const std::shared_ptr<CPptTextFrame>& frame = nullptr,
                                                    const std::shared_ptr<CPptShape>& shape = nullptr);
    CTextPiece();
    virtual ~CTextPiece();
    CTextPiece(const CTextPiece&) = delete;
    CTextPiece& operator=(const CTextPiece&) = delete;

    // The piece's placed fields for a line.
    std::shared_ptr<CPlacedTextFieldList> Layout(const CTextLayoutParams& params);

    const std::shared_ptr<CActionSettingList>& GetActionSettings() const { return m_actionSettings; }
    void SetActionSettings(const std::shared_ptr<CActionSettingList>& list) { m_actionSettings = list; }
    // The text frame's Orientation.
    LONG GetOrientation() const;

    const std::shared_ptr<TextStyle>& GetStyle() const { return m_style; }
    const std::wstring& GetText() const { return m_text; }
    // Points.
    float GetAscent() const { return m_ascent; }
    float GetDescent() const { return m_descent; }
    float GetSize() const { return m_size; }
    float GetLeft() const { return m_left; }
    float GetTop() const { return m_top; }
    float GetWidth() const { return m_width; }
    float GetHeight() const { return m_height; }

protected:
    // Ascent, descent and line height of the style's font at its effective size.
    void ComputeMetrics();
    // Frame and shape as given, else from the range.
    void TakeFrame(const std::shared_ptr<CPptTextRange>& range, const std::shared_ptr<CPptTextFrame>& frame,
                   const std::shared_ptr<CPptShape>& shape);

    std::shared_ptr<TextStyle> m_style;
    float m_ascent = 0.0f, m_descent = 0.0f, m_size = 0.0f;
    float m_left = 0.0f, m_top = 0.0f, m_width = 0.0f, m_height = 0.0f;
    std::wstring m_text;
    std::shared_ptr<CPptTextFrame> m_textFrame;
    std::shared_ptr<CPptParagraphFormat> m_paragraphFormat;
    std::shared_ptr<CPptShape> m_shape;
    std::shared_ptr<CActionSettingList> m_actionSettings;
};

}  // namespace genswf
