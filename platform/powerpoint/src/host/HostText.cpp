// Text frames, text ranges, fonts, paragraph and bullet formats and rulers of the in-memory host.

#include "HostObjects.h"
#include "powerpoint/layout/HostTextLayout.h"

#include <algorithm>
#include <cwctype>

namespace PowerPoint {
namespace Host {

ActionSettings* TextActionSettingsObject(CHostShape* shape, LONG link);
ColorFormat* ColorFormatObject(CHostDocument* doc, const CHostNode* node, const void* key,
                               std::function<ColorData()> get, std::function<void(const ColorData&)> set);

namespace {

LONG Size(const TextData& t) { return static_cast<LONG>(t.text.size()); }

// Fonts are read by their own count: builder code may have set the text without them.
LONG FontCount(const TextData& t) { return static_cast<LONG>(t.charFonts.size()); }

const FontData& FirstFont(const TextData& t, LONG start) {
    static const FontData kNoCharacters;
    if (start >= 0 && start < FontCount(t)) return t.charFonts[static_cast<std::size_t>(start)];
    if (start > 0 && start - 1 < FontCount(t)) return t.charFonts[static_cast<std::size_t>(start - 1)];
    return kNoCharacters;
}

}  // namespace

// ---- Fonts ------------------------------------------------------------------------------------

// A font over some characters of a text (reads the first, writes all) or over one FontData.
class CFontObject : public CObject<Font> {
public:
    // `get` hands out the font as it stands (valid until the text changes), so that reading one
    // property does not copy the whole font.
    CFontObject(CHostDocument* doc, const CHostNode* node, const void* key, std::function<const FontData&()> get,
                std::function<void(const std::function<void(FontData&)>&)> change)
        : CObject(doc, node, key), m_get(std::move(get)), m_change(std::move(change)) {}
    const char* InterfaceName() const override { return "Font"; }
    HOST_APPLICATION
    HOST_NO_PARENT
    HRESULT get_Color(ColorFormat** out) override {
        HOST_ENTER_OUT("get_Color", out);
        // The colour is the one object over this font: made on the first call, kept after.
        if (!m_color) {
            auto get = m_get;
            auto change = m_change;
            m_color = ColorFormatObject(
                m_doc, m_node, this, [get] { return get().color; },
                [change](const ColorData& c) { change([&c](FontData& f) { f.color = c; }); });
        }
        return GiveOut<ColorFormat>(m_color, out);
    }
#define HOST_FONT_PROPERTY(Name, field, Type)                \
    HRESULT get_##Name(Type* out) override {                 \
        HOST_ENTER_OUT("get_" #Name, out);                   \
        *out = m_get().field;                                \
        return S_OK;                                         \
    }                                                        \
    HRESULT put_##Name(Type value) override {                \
        HOST_ENTER("put_" #Name);                            \
        Written("put_" #Name);                               \
        m_change([value](FontData& f) { f.field = value; }); \
        return S_OK;                                         \
    }
    HOST_FONT_PROPERTY(Bold, bold, MsoTriState)
    HOST_FONT_PROPERTY(Italic, italic, MsoTriState)
    HOST_FONT_PROPERTY(Shadow, shadow, MsoTriState)
    HOST_FONT_PROPERTY(Emboss, emboss, MsoTriState)
    HOST_FONT_PROPERTY(Underline, underline, MsoTriState)
    HOST_FONT_PROPERTY(Subscript, subscript, MsoTriState)
    HOST_FONT_PROPERTY(Superscript, superscript, MsoTriState)
    HOST_FONT_PROPERTY(BaselineOffset, baselineOffset, float)
#undef HOST_FONT_PROPERTY
    HRESULT get_Size(float* out) override {
        HOST_ENTER_OUT("get_Size", out);
        *out = m_get().size;
        return S_OK;
    }
    HRESULT put_Size(float value) override {
        HOST_ENTER("put_Size");
        if (!(value >= 1.0f && value <= 4000.0f)) return E_INVALIDARG;
        Written("put_Size");
        m_change([value](FontData& f) { f.size = value; });
        return S_OK;
    }
    HOST_GET_STRING(Name, m_get().name)
    HRESULT put_Name(BSTR value) override {
        HOST_ENTER("put_Name");
        const std::wstring name = WStringFromBstr(value);
        if (name.empty()) return E_INVALIDARG;
        Written("put_Name");
        m_change([&name](FontData& f) { f.name = f.nameAscii = f.nameOther = name; });
        return S_OK;
    }
    HOST_GET_STRING(NameFarEast, m_get().nameFarEast)
    HOST_GET_STRING(NameAscii, m_get().nameAscii)
    HOST_GET_STRING(NameOther, m_get().nameOther)
    HOST_GET_STRING(NameComplexScript, m_get().nameComplexScript)

private:
    std::function<const FontData&()> m_get;
    std::function<void(const std::function<void(FontData&)>&)> m_change;
    ColorFormat* m_color = nullptr;
};

Font* TextFontObject(CHostShape* shape, LONG start, LONG length) {
    CHostDocument* doc = shape->Document();
    TextData* t = &shape->data.text;
    return Obtain<CFontObject>(
        doc, t, start, length, doc, shape, t, [t, start]() -> const FontData& { return FirstFont(*t, start); },
        [t, start, length](const std::function<void(FontData&)>& change) {
            const LONG end = std::min(start + length, FontCount(*t));
            const LONG first = std::max<LONG>(0, start);
            if (first < end)
                t->charFonts.ChangeRange(static_cast<std::size_t>(first), static_cast<std::size_t>(end), change);
        });
}

Font* FixedFontObject(CHostDocument* doc, const CHostNode* node, FontData* font) {
    return Obtain<CFontObject>(
        doc, font, -1, -1, doc, node, font, [font]() -> const FontData& { return *font; },
        [font](const std::function<void(FontData&)>& change) { change(*font); });
}

// ---- Paragraph and bullet formats -------------------------------------------------------------

class CBulletFormatObject : public CObject<BulletFormat> {
public:
    CBulletFormatObject(CHostDocument* doc, CHostShape* shape, LONG start, LONG length)
        : CObject(doc, shape, &shape->data.text), m_shape(shape), m_start(start), m_length(length) {}
    const char* InterfaceName() const override { return "BulletFormat"; }
    HOST_APPLICATION
    HOST_NO_PARENT
#define HOST_BULLET_PROPERTY(Name, field, Type) \
    HRESULT get_##Name(Type* out) override {    \
        HOST_ENTER_OUT("get_" #Name, out);      \
        *out = First().field;                   \
        return S_OK;                            \
    }
    HOST_BULLET_PROPERTY(Visible, visible, MsoTriState)
    HOST_BULLET_PROPERTY(Character, character, LONG)
    HOST_BULLET_PROPERTY(RelativeSize, relativeSize, float)
    HOST_BULLET_PROPERTY(UseTextColor, useTextColor, MsoTriState)
    HOST_BULLET_PROPERTY(UseTextFont, useTextFont, MsoTriState)
    HOST_BULLET_PROPERTY(Type, type, PpBulletType)
    HOST_BULLET_PROPERTY(Style, style, PpNumberedBulletStyle)
    HOST_BULLET_PROPERTY(StartValue, startValue, LONG)
#undef HOST_BULLET_PROPERTY
    HRESULT put_Visible(MsoTriState value) override {
        HOST_ENTER("put_Visible");
        Written("put_Visible");
        ForAll([value](BulletData& b) { b.visible = value; });
        return S_OK;
    }
    HRESULT put_Character(LONG value) override {
        HOST_ENTER("put_Character");
        Written("put_Character");
        ForAll([value](BulletData& b) { b.character = value; });
        return S_OK;
    }
    HRESULT put_Type(PpBulletType value) override {
        HOST_ENTER("put_Type");
        if (value < ppBulletNone || value > ppBulletPicture) return E_INVALIDARG;
        Written("put_Type");
        ForAll([value](BulletData& b) { b.type = value; });
        return S_OK;
    }
    HRESULT get_Font(Font** out) override {
        HOST_ENTER_OUT("get_Font", out);
        TextData& t = m_shape->data.text;
        std::size_t p = ParagraphsOf(m_shape, m_start, m_length).front();
        return GiveOut<Font>(FixedFontObject(m_doc, m_shape, &t.paragraphs[p].bullet.font), out);
    }
    HRESULT get_Number(LONG* out) override {
        HOST_ENTER_OUT("get_Number", out);
        // Numbered paragraphs count on from the start value while they follow each other.
        const TextData& t = m_shape->data.text;
        std::size_t p = ParagraphsOf(m_shape, m_start, m_length).front();
        const ParagraphData& para = t.paragraphs[p];
        LONG n = para.bullet.startValue;
        for (std::size_t q = p; q > 0; --q) {
            const ParagraphData& prev = t.paragraphs[q - 1];
            if (prev.indentLevel < para.indentLevel) break;
            if (prev.indentLevel > para.indentLevel) continue;
            if (prev.bullet.type != ppBulletNumbered || prev.bullet.visible == msoFalse) break;
            ++n;
        }
        *out = n;
        return S_OK;
    }

private:
    const BulletData& First() const {
        const TextData& t = m_shape->data.text;
        return t.paragraphs[ParagraphsOf(m_shape, m_start, m_length).front()].bullet;
    }
    template <class F>
    void ForAll(F f) {
        TextData& t = m_shape->data.text;
        for (std::size_t p : ParagraphsOf(m_shape, m_start, m_length)) f(t.paragraphs[p].bullet);
    }
    CHostShape* m_shape;
    LONG m_start, m_length;
};

class CParagraphFormatObject : public CObject<ParagraphFormat> {
public:
    CParagraphFormatObject(CHostDocument* doc, CHostShape* shape, LONG start, LONG length)
        : CObject(doc, shape, &shape->data.text), m_shape(shape), m_start(start), m_length(length) {}
    const char* InterfaceName() const override { return "ParagraphFormat"; }
    HOST_APPLICATION
    HOST_NO_PARENT
    HRESULT get_Alignment(PpParagraphAlignment* out) override {
        HOST_ENTER_OUT("get_Alignment", out);
        *out = First().alignment;
        return S_OK;
    }
    HRESULT put_Alignment(PpParagraphAlignment value) override {
        HOST_ENTER("put_Alignment");
        if (value < ppAlignLeft || value > ppAlignDistribute) return E_INVALIDARG;
        Written("put_Alignment");
        TextData& t = m_shape->data.text;
        for (std::size_t p : ParagraphsOf(m_shape, m_start, m_length)) t.paragraphs[p].alignment = value;
        return S_OK;
    }
    HRESULT get_Bullet(BulletFormat** out) override {
        HOST_ENTER_OUT("get_Bullet", out);
        return GiveOut<BulletFormat>(Obtain<CBulletFormatObject>(m_doc, &m_shape->data.text, m_start, m_length, m_doc,
                                                                 m_shape, m_start, m_length),
                                     out);
    }
#define HOST_PARAGRAPH_GET(Name, field, Type) \
    HRESULT get_##Name(Type* out) override {  \
        HOST_ENTER_OUT("get_" #Name, out);    \
        *out = First().field;                 \
        return S_OK;                          \
    }
    HOST_PARAGRAPH_GET(LineRuleBefore, lineRuleBefore, MsoTriState)
    HOST_PARAGRAPH_GET(LineRuleAfter, lineRuleAfter, MsoTriState)
    HOST_PARAGRAPH_GET(LineRuleWithin, lineRuleWithin, MsoTriState)
    HOST_PARAGRAPH_GET(SpaceBefore, spaceBefore, float)
    HOST_PARAGRAPH_GET(SpaceAfter, spaceAfter, float)
    HOST_PARAGRAPH_GET(SpaceWithin, spaceWithin, float)
    HOST_PARAGRAPH_GET(BaseLineAlignment, baseLineAlignment, PpBaselineAlignment)
#undef HOST_PARAGRAPH_GET

private:
    const ParagraphData& First() const {
        const TextData& t = m_shape->data.text;
        return t.paragraphs[ParagraphsOf(m_shape, m_start, m_length).front()];
    }
    CHostShape* m_shape;
    LONG m_start, m_length;
};

// ---- Ruler ------------------------------------------------------------------------------------

class CRulerLevelObject : public CObject<RulerLevel> {
public:
    CRulerLevelObject(CHostDocument* doc, CHostShape* shape, RulerLevelData* level)
        : CObject(doc, shape, level), m_level(level) {}
    const char* InterfaceName() const override { return "RulerLevel"; }
    HOST_PROPERTY(FirstMargin, float, m_level->firstMargin)
    HOST_PROPERTY(LeftMargin, float, m_level->leftMargin)

private:
    RulerLevelData* m_level;
};

class CRulerLevelsObject : public CObject<RulerLevels> {
public:
    CRulerLevelsObject(CHostDocument* doc, CHostShape* shape)
        : CObject(doc, shape, shape->data.text.rulerLevels), m_shape(shape) {}
    const char* InterfaceName() const override { return "RulerLevels"; }
    HOST_APPLICATION
    HOST_NO_PARENT
    HOST_GET(Count, LONG, 5)
    HRESULT Item(LONG index, RulerLevel** out) override {
        HOST_ENTER_OUT("Item", out);
        *out = nullptr;
        if (index < 1 || index > 5) return E_INVALIDARG;
        RulerLevelData* level = &m_shape->data.text.rulerLevels[index - 1];
        return GiveOut<RulerLevel>(Obtain<CRulerLevelObject>(m_doc, level, 0, 0, m_doc, m_shape, level), out);
    }

private:
    CHostShape* m_shape;
};

class CRulerObject : public CObject<Ruler> {
public:
    CRulerObject(CHostDocument* doc, CHostShape* shape)
        : CObject(doc, shape, &shape->data.text.rulerLevels), m_shape(shape) {}
    const char* InterfaceName() const override { return "Ruler"; }
    HOST_APPLICATION
    HOST_NO_PARENT
    HRESULT get_Levels(RulerLevels** out) override {
        HOST_ENTER_OUT("get_Levels", out);
        return GiveOut<RulerLevels>(Obtain<CRulerLevelsObject>(m_doc, m_shape, 0, 0, m_doc, m_shape), out);
    }

private:
    CHostShape* m_shape;
};

// ---- Text range -------------------------------------------------------------------------------

class CTextRangeObject : public CObject<TextRange> {
public:
    CTextRangeObject(CHostDocument* doc, CHostShape* shape, LONG start, LONG length, LONG count)
        : CObject(doc, shape, &shape->data.text), m_shape(shape), m_start(start), m_length(length), m_count(count) {}
    const char* InterfaceName() const override { return "TextRange"; }
    HOST_APPLICATION
    HOST_GET(Count, LONG, m_count)
    HRESULT get_Parent(IDispatch** out) override {
        HOST_ENTER_OUT("get_Parent", out);
        return GiveOut<IDispatch>(TextFrameObject(m_shape), out);
    }
    HRESULT get_ActionSettings(ActionSettings** out) override {
        HOST_ENTER_OUT("get_ActionSettings", out);
        *out = nullptr;
        auto& links = m_shape->data.text.links;
        for (std::size_t i = 0; i < links.size(); ++i)
            if (links[i].start <= m_start && m_start < links[i].start + links[i].length)
                return GiveOut<ActionSettings>(TextActionSettingsObject(m_shape, static_cast<LONG>(i)), out);
        const LONG start = Start(), length = Length();
        if (length == 0) return E_FAIL;
        // Characters without a link yet get an empty one to hold their actions.
        links.push_back({start, length, ActionData(), ActionData()});
        return GiveOut<ActionSettings>(TextActionSettingsObject(m_shape, static_cast<LONG>(links.size() - 1)), out);
    }
    HRESULT get_Start(LONG* out) override {
        HOST_ENTER_OUT("get_Start", out);
        *out = Start() + 1;
        return S_OK;
    }
    HRESULT get_Length(LONG* out) override {
        HOST_ENTER_OUT("get_Length", out);
        *out = Length();
        return S_OK;
    }
    // Bounds and lines come from the text layout engine.
    HRESULT get_BoundLeft(float* out) override { return Bound("get_BoundLeft", &fonts::layout::TextBox::left, out); }
    HRESULT get_BoundTop(float* out) override { return Bound("get_BoundTop", &fonts::layout::TextBox::top, out); }
    HRESULT get_BoundWidth(float* out) override { return Bound("get_BoundWidth", &fonts::layout::TextBox::width, out); }
    HRESULT get_BoundHeight(float* out) override {
        return Bound("get_BoundHeight", &fonts::layout::TextBox::height, out);
    }
    HRESULT Paragraphs(LONG start, LONG length, TextRange** out) override {
        return Sub("Paragraphs", Unit::Paragraph, start, length, out);
    }
    HRESULT Sentences(LONG start, LONG length, TextRange** out) override {
        return Sub("Sentences", Unit::Sentence, start, length, out);
    }
    HRESULT Words(LONG start, LONG length, TextRange** out) override {
        return Sub("Words", Unit::Word, start, length, out);
    }
    HRESULT Characters(LONG start, LONG length, TextRange** out) override {
        return Sub("Characters", Unit::Character, start, length, out);
    }
    HRESULT Lines(LONG start, LONG length, TextRange** out) override {
        return Sub("Lines", Unit::Line, start, length, out);
    }
    HRESULT Runs(LONG start, LONG length, TextRange** out) override {
        return Sub("Runs", Unit::Run, start, length, out);
    }
    HRESULT get_Text(BSTR* out) override {
        HOST_ENTER_OUT("get_Text", out);
        return GiveString(
            m_shape->data.text.text.substr(static_cast<std::size_t>(Start()), static_cast<std::size_t>(Length())), out);
    }
    HRESULT put_Text(BSTR value) override {
        HOST_ENTER("put_Text");
        Written("put_Text");
        Replace(WStringFromBstr(value));
        return S_OK;
    }
    HRESULT get_Font(Font** out) override {
        HOST_ENTER_OUT("get_Font", out);
        return GiveOut<Font>(TextFontObject(m_shape, Start(), Length()), out);
    }
    HRESULT get_ParagraphFormat(ParagraphFormat** out) override {
        HOST_ENTER_OUT("get_ParagraphFormat", out);
        return GiveOut<ParagraphFormat>(Obtain<CParagraphFormatObject>(m_doc, &m_shape->data.text, Start(), Length(),
                                                                       m_doc, m_shape, Start(), Length()),
                                        out);
    }
    HRESULT get_IndentLevel(LONG* out) override {
        HOST_ENTER_OUT("get_IndentLevel", out);
        const TextData& t = m_shape->data.text;
        *out = t.paragraphs[ParagraphsOf(m_shape, Start(), Length()).front()].indentLevel;
        return S_OK;
    }
    HRESULT put_IndentLevel(LONG value) override {
        HOST_ENTER("put_IndentLevel");
        if (value < 1 || value > 5) return E_INVALIDARG;
        Written("put_IndentLevel");
        TextData& t = m_shape->data.text;
        for (std::size_t p : ParagraphsOf(m_shape, Start(), Length())) t.paragraphs[p].indentLevel = value;
        return S_OK;
    }
    HRESULT Delete() override {
        HOST_ENTER("Delete");
        Written("Delete");
        Replace(std::wstring());
        return S_OK;
    }

private:
    // The range within the current text (the text may have shrunk since the range was made).
    LONG Start() const { return std::clamp<LONG>(m_start, 0, Size(m_shape->data.text)); }
    LONG Length() const { return std::clamp<LONG>(m_length, 0, Size(m_shape->data.text) - Start()); }

    HRESULT Bound(const char* member, float fonts::layout::TextBox::*field, float* out) {
        HOST_ENTER_OUT(member, out);
        *out = LayoutOf(m_shape).Bounds({Start(), Length()}).*field;
        return S_OK;
    }

    HRESULT Sub(const char* member, Unit unit, LONG start, LONG length, TextRange** out) {
        HOST_ENTER_OUT(member, out);
        *out = nullptr;
        const CItemsIn items = ItemsIn(m_shape, unit, Start(), Length());
        const LONG n = static_cast<LONG>(items.Count());
        if (start == 0 && length == -1) {
            // (0, -1) is how callers counting from 0 ask for the whole collection.
            start = 1;
            length = n;
        } else if (start == -1) {
            start = 1;
            if (length == -1) length = n;
        } else if (length == -1) {
            length = 1;
        }
        if (start < 1 || length < 0) return E_INVALIDARG;
        if (start > n || length == 0) {
            const LONG at = start > n ? Start() + Length() : items.At(static_cast<std::size_t>(start - 1)).first;
            return GiveOut<TextRange>(TextRangeObject(m_shape, at, 0, 0), out);
        }
        const LONG last = std::min(n, start - 1 + length);
        const Span a = items.At(static_cast<std::size_t>(start - 1));
        const Span b = items.At(static_cast<std::size_t>(last - 1));
        return GiveOut<TextRange>(TextRangeObject(m_shape, a.first, b.first + b.second - a.first, last - (start - 1)),
                                  out);
    }

    void Replace(const std::wstring& with) {
        TextData& t = m_shape->data.text;
        t.Normalize();  // fonts and paragraphs follow text the builder may have set alone
        const LONG start = Start(), length = Length();
        const FontData font = FirstFont(t, start);
        t.text.replace(static_cast<std::size_t>(start), static_cast<std::size_t>(length), with);
        t.charFonts.Splice(static_cast<std::size_t>(start), static_cast<std::size_t>(length), with.size(), font);
        const LONG delta = static_cast<LONG>(with.size()) - length;
        std::vector<TextLinkData> kept;
        for (TextLinkData l : t.links) {
            if (l.start + l.length <= start) {
                kept.push_back(l);
            } else if (l.start >= start + length) {
                l.start += delta;
                kept.push_back(l);
            }
        }
        t.links = kept;
        std::vector<TextFieldData> fields;
        for (TextFieldData f : t.fields) {
            if (f.position >= start && f.position < start + length) continue;  // replaced with the text
            if (f.position >= start + length) f.position += delta;
            fields.push_back(f);
        }
        t.fields = fields;
        t.Normalize();
    }

    CHostShape* m_shape;
    LONG m_start, m_length, m_count;
};

TextRange* TextRangeObject(CHostShape* shape, LONG start, LONG length, LONG count) {
    CHostDocument* doc = shape->Document();
    const std::int64_t b = (static_cast<std::int64_t>(length) << 32) | static_cast<std::uint32_t>(count);
    return Obtain<CTextRangeObject>(doc, &shape->data.text, start, b, doc, shape, start, length, count);
}

// ---- Text frame -------------------------------------------------------------------------------

class CTextFrameObject : public CObject<TextFrame> {
public:
    CTextFrameObject(CHostDocument* doc, CHostShape* shape) : CObject(doc, shape, shape), m_shape(shape) {
        m_key = &shape->data.text.marginLeft;  // the frame's own state, apart from its text
    }
    const char* InterfaceName() const override { return "TextFrame"; }
    HOST_APPLICATION
    HOST_CREATOR
    HRESULT get_Parent(IDispatch** out) override {
        HOST_ENTER_OUT("get_Parent", out);
        return GiveOut<IDispatch>(ShapeObject(m_shape), out);
    }
    HOST_PROPERTY(MarginBottom, float, m_shape->data.text.marginBottom)
    HOST_PROPERTY(MarginLeft, float, m_shape->data.text.marginLeft)
    HOST_PROPERTY(MarginRight, float, m_shape->data.text.marginRight)
    HOST_PROPERTY(MarginTop, float, m_shape->data.text.marginTop)
    HOST_PROPERTY(Orientation, MsoTextOrientation, m_shape->data.text.orientation)
    HOST_GET(HasText, MsoTriState, m_shape->data.text.text.empty() ? msoFalse : msoTrue)
    HRESULT get_TextRange(TextRange** out) override {
        HOST_ENTER_OUT("get_TextRange", out);
        return GiveOut<TextRange>(TextRangeObject(m_shape, 0, Size(m_shape->data.text), 1), out);
    }
    HRESULT get_Ruler(Ruler** out) override {
        HOST_ENTER_OUT("get_Ruler", out);
        return GiveOut<Ruler>(Obtain<CRulerObject>(m_doc, m_shape, 0, 0, m_doc, m_shape), out);
    }
    HOST_PROPERTY(HorizontalAnchor, MsoHorizontalAnchor, m_shape->data.text.horizontalAnchor)
    HOST_PROPERTY(VerticalAnchor, MsoVerticalAnchor, m_shape->data.text.verticalAnchor)
    HOST_GET(AutoSize, PpAutoSize, m_shape->data.text.autoSize)
    HRESULT put_AutoSize(PpAutoSize value) override {
        HOST_ENTER("put_AutoSize");
        if (value != ppAutoSizeNone && value != ppAutoSizeShapeToFitText) return E_INVALIDARG;
        Written("put_AutoSize");
        m_shape->data.text.autoSize = value;
        return S_OK;
    }
    HOST_PROPERTY(WordWrap, MsoTriState, m_shape->data.text.wordWrap)
    HRESULT DeleteText() override {
        HOST_ENTER("DeleteText");
        Written("DeleteText");
        TextData& t = m_shape->data.text;
        t.text.clear();
        t.charFonts.clear();
        t.links.clear();
        t.Normalize();
        return S_OK;
    }

private:
    CHostShape* m_shape;
};

TextFrame* TextFrameObject(CHostShape* shape) {
    return Obtain<CTextFrameObject>(shape->Document(), shape, 0, 0, shape->Document(), shape);
}

}  // namespace Host
}  // namespace PowerPoint
