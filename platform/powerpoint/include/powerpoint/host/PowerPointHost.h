#pragma once
// The in-memory presentation host: the state behind the object model, a builder that makes
// presentations in code, per-member fault injection, call counting and a log of the writes
// made to the user's (original, non-duplicated) objects.
//
// A CHostDocument is one open presentation. All of its objects share the document's reference
// count: an interface handed out keeps the whole document alive, so every object stays valid
// while referenced, also after it was deleted (its members then fail with HOST_E_DELETED).
//
// Text positions count characters of std::wstring (one per UTF-16 unit for text in the BMP).

#include "powerpoint/model/PowerPoint.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <iterator>
#include <memory>
#include <new>
#include <string>
#include <tuple>
#include <type_traits>
#include <unordered_map>
#include <utility>
#include <vector>

namespace PowerPoint {
namespace Host {

// A member called on an object that was deleted.
constexpr HRESULT HOST_E_DELETED = MAKE_HRESULT_FAILURE(0x80048240u);

// ---- Plain state --------------------------------------------------------------------------------
struct ColorData {
    ULONG rgb = 0;  // 0x00BBGGRR
    PpColorSchemeIndex scheme = 0;
};

struct GradientStopData {
    float position = 0.0f;  // 0 to 1 along the gradient's run
    ColorData color;
    float transparency = -1.0f;  // < 0: from the fill's two transparencies by position
};

// Gradient kinds as the file stores them: shaded along an angle, from a rectangle, along the
// shape's outline.
enum GradientKindData : LONG { gradientLinear = 0, gradientRadial = 1, gradientRectangular = 2, gradientPath = 3 };

struct FillData {
    MsoTriState visible = msoTrue;
    MsoFillType type = msoFillSolid;
    float transparency = 0.0f;
    ColorData foreColor{0xFFFFFF, 0};
    ColorData backColor{0xFFFFFF, 0};
    // Gradients: kind, the angle of a linear run (degrees clockwise, 90 top to bottom), the
    // colours along it (empty: foreColor to backColor), the rectangle the others grow from
    // (fractions of the frame) and the back colour's transparency (< 0: as foreColor's).
    GradientKindData gradientKind = gradientLinear;
    float gradientAngle = 90.0f;
    std::vector<GradientStopData> gradientStops;
    float focusLeft = 0.5f, focusTop = 0.5f, focusRight = 0.5f, focusBottom = 0.5f;
    float backTransparency = -1.0f;
    // Tiled pictures and patterns: a point of the tile (from its centre, in tile sizes) lies on a
    // point of the shape (from its centre, in frame sizes); both 0: a tile is centred on the shape.
    float tileOriginX = 0.0f, tileOriginY = 0.0f, tileShapeOriginX = 0.0f, tileShapeOriginY = 0.0f;
};

struct LineData {
    MsoTriState visible = msoTrue;
    float transparency = 0.0f;
    float weight = 0.75f;
    MsoLineDashStyle dashStyle = msoLineSolid;
    ColorData foreColor{0, 0};
    ColorData backColor{0xFFFFFF, 0};
    LONG compound = 0;  // the file's line style: simple, double, thick-thin, thin-thick, triple
    // Arrowheads as the object model numbers them (1 none, 2 triangle, 3 open, 4 stealth,
    // 5 diamond, 6 oval); widths and lengths 1 to 3.
    LONG beginArrowheadStyle = 1, beginArrowheadWidth = 2, beginArrowheadLength = 2;
    LONG endArrowheadStyle = 1, endArrowheadWidth = 2, endArrowheadLength = 2;
};

struct ShadowData {
    MsoTriState visible = msoFalse;
    float offsetX = 2.0f, offsetY = 2.0f;  // points
    ColorData color{0x808080, 0};
    float transparency = 0.0f;
};

// A shape's own geometry as the file stores it (freeforms): vertices (0x80000000 | n refers to
// guide n), segment information words, guides (operation and flags, three parameters) and the
// box the vertices lie in.
struct GeometryData {
    std::vector<std::int32_t> vertices;
    std::vector<std::uint16_t> segments;
    std::vector<std::uint16_t> guides;  // four words a guide
    float geoLeft = 0, geoTop = 0, geoRight = 21600, geoBottom = 21600;
};

struct PictureData {
    float brightness = 0.5f;
    float contrast = 0.5f;
    MsoPictureColorType colorType = msoPictureAutomatic;
    // A colour of the picture shown transparent (0x00BBGGRR), when it has one.
    bool hasTransparencyColor = false;
    ULONG transparencyColor = 0;
    float cropLeft = 0, cropTop = 0, cropRight = 0, cropBottom = 0;
    std::vector<std::uint8_t> imageBytes;  // the picture as stored (PNG, JPEG, ...)
};

struct OleData {
    std::wstring progId;       // "ShockwaveFlash.ShockwaveFlash.1", ...
    CComPtr<IUnknown> object;  // what OLEFormat.Object hands out; may be null
    // The object's saved storage (a compound-file image) as the file holds it; empty when unknown.
    std::vector<std::uint8_t> storage;
};

struct SoundData {
    PpSoundFormatType type = ppSoundNone;
    std::wstring sourceFullName;
    std::vector<std::uint8_t> data;  // what SoundFormat.Export writes
};

struct HyperlinkData {
    std::wstring address;
    std::wstring subAddress;
    std::wstring textToDisplay;
};

struct ActionData {
    PpActionType action = ppActionNone;
    MsoTriState animateAction = msoFalse;
    std::wstring slideShowName;
    HyperlinkData hyperlink;
};

struct AnimationData {
    MsoTriState animate = msoFalse;
    MsoTriState animateBackground = msoFalse;
    MsoTriState animateTextInReverse = msoFalse;
    LONG animationOrder = 0;
    PpAfterEffect afterEffect = ppAfterEffectNothing;
    PpAdvanceMode advanceMode = ppAdvanceOnClick;
    PpEntryEffect entryEffect = ppEffectNone;
    PpTextLevelEffect textLevelEffect = ppAnimateLevelNone;
    ColorData dimColor;
    float advanceTime = 0.0f;
};

struct FontData {
    std::wstring name = L"Arial";
    std::wstring nameAscii = L"Arial";
    std::wstring nameFarEast;
    std::wstring nameOther = L"Arial";
    std::wstring nameComplexScript;
    float size = 18.0f;
    float baselineOffset = 0.0f;
    MsoTriState bold = msoFalse, italic = msoFalse, underline = msoFalse, shadow = msoFalse, emboss = msoFalse,
                subscript = msoFalse, superscript = msoFalse;
    ColorData color;
    bool operator==(const FontData& o) const;
    bool operator!=(const FontData& o) const { return !(*this == o); }
};

struct BulletData {
    MsoTriState visible = msoFalse;
    PpBulletType type = ppBulletNone;
    LONG character = 0x2022;
    float relativeSize = 1.0f;
    MsoTriState useTextColor = msoTrue;
    MsoTriState useTextFont = msoTrue;
    FontData font;
    PpNumberedBulletStyle style = ppBulletArabicPeriod;
    LONG startValue = 1;
};

struct ParagraphData {
    PpParagraphAlignment alignment = ppAlignLeft;
    LONG indentLevel = 1;  // 1 to 5
    PpBaselineAlignment baseLineAlignment = ppBaselineAlignBaseline;
    float spaceBefore = 0.0f, spaceAfter = 0.0f, spaceWithin = 1.0f;
    MsoTriState lineRuleBefore = msoTrue, lineRuleAfter = msoTrue, lineRuleWithin = msoTrue;
    BulletData bullet;
};

struct RulerLevelData {
    float firstMargin = 0.0f;
    float leftMargin = 0.0f;
};

// Hyperlinked characters of a text: [start, start + length), 0-based.
struct TextLinkData {
    LONG start = 0;
    LONG length = 0;
    ActionData click;
    ActionData over;
};

// A field of a master's text (a slide number, a date, a footer or header), which shows the value
// of the slide it is drawn on; the text keeps the field's own character at its position.
struct TextFieldData {
    enum Kind { SlideNumber, DateTime, Footer, Header };
    Kind kind = SlideNumber;
    LONG position = 0;   // 0-based, in the text
    std::wstring value;  // shown when the slide gives none (dates in their stored format)
};

// The fonts of a text's characters, one per character. Characters come in runs that share a
// font, so each font is kept once and a character holds its position in that pool: a text costs
// an index per character, not a font. Copies share one list until one of them is changed: a slide
// or shape copied to be drawn, and the texts laid out from it, copy no fonts.
// Reading goes through the const members. assign, push_back, resize, Splice, ChangeRange and
// ForEachFont keep the pool; the mutable element access and iterators first give every character
// a font of its own (a reference or iterator they give is good until the next copy of this list
// is made), so build and change lists through the others.
class CharFontList {
    struct Store {
        std::vector<FontData> fonts;
        std::vector<std::uint32_t> index;  // per character, into fonts; unused when perCharacter
        bool perCharacter = false;         // fonts holds one font per character
        std::size_t Size() const { return perCharacter ? fonts.size() : index.size(); }
        const FontData& At(std::size_t i) const { return perCharacter ? fonts[i] : fonts[index[i]]; }
    };

public:
    using value_type = FontData;
    using iterator = std::vector<FontData>::iterator;

    class const_iterator {
    public:
        using iterator_category = std::random_access_iterator_tag;
        using value_type = FontData;
        using difference_type = std::ptrdiff_t;
        using pointer = const FontData*;
        using reference = const FontData&;

        const_iterator() = default;
        reference operator*() const { return m_store->At(m_pos); }
        pointer operator->() const { return &m_store->At(m_pos); }
        reference operator[](difference_type n) const { return m_store->At(m_pos + n); }
        const_iterator& operator++() { return ++m_pos, *this; }
        const_iterator operator++(int) { return const_iterator(m_store, m_pos++); }
        const_iterator& operator--() { return --m_pos, *this; }
        const_iterator operator--(int) { return const_iterator(m_store, m_pos--); }
        const_iterator& operator+=(difference_type n) { return m_pos += n, *this; }
        const_iterator& operator-=(difference_type n) { return m_pos -= n, *this; }
        const_iterator operator+(difference_type n) const { return const_iterator(m_store, m_pos + n); }
        friend const_iterator operator+(difference_type n, const_iterator it) { return it + n; }
        const_iterator operator-(difference_type n) const { return const_iterator(m_store, m_pos - n); }
        difference_type operator-(const const_iterator& o) const {
            return static_cast<difference_type>(m_pos) - static_cast<difference_type>(o.m_pos);
        }
        bool operator==(const const_iterator& o) const { return m_pos == o.m_pos; }
        bool operator!=(const const_iterator& o) const { return m_pos != o.m_pos; }
        bool operator<(const const_iterator& o) const { return m_pos < o.m_pos; }
        bool operator>(const const_iterator& o) const { return m_pos > o.m_pos; }
        bool operator<=(const const_iterator& o) const { return m_pos <= o.m_pos; }
        bool operator>=(const const_iterator& o) const { return m_pos >= o.m_pos; }

    private:
        friend class CharFontList;
        const_iterator(const Store* store, std::size_t pos) : m_store(store), m_pos(pos) {}
        const Store* m_store = nullptr;
        std::size_t m_pos = 0;
    };

    CharFontList() = default;
    CharFontList(std::initializer_list<FontData> fonts) {
        for (const FontData& f : fonts) push_back(f);
    }

    std::size_t size() const { return m_store ? m_store->Size() : 0; }
    bool empty() const { return size() == 0; }
    const FontData& operator[](std::size_t i) const { return m_store->At(i); }
    const FontData& front() const { return m_store->At(0); }
    const FontData& back() const { return m_store->At(size() - 1); }
    const_iterator begin() const { return const_iterator(m_store.get(), 0); }
    const_iterator end() const { return const_iterator(m_store.get(), size()); }
    // True when characters i and j have equal fonts (without comparing them when they share one).
    bool SameFont(std::size_t i, std::size_t j) const;

    FontData& operator[](std::size_t i) { return PerCharacter()[i]; }
    iterator begin() { return PerCharacter().begin(); }
    iterator end() { return PerCharacter().end(); }
    iterator erase(iterator first, iterator last) { return PerCharacter().erase(first, last); }
    iterator erase(iterator at) { return PerCharacter().erase(at); }
    iterator insert(iterator at, std::size_t count, const FontData& font) {
        return PerCharacter().insert(at, count, font);
    }

    void push_back(const FontData& font) { Splice(size(), 0, 1, font); }
    void assign(std::size_t count, const FontData& font);
    void resize(std::size_t count, const FontData& fill) {
        if (count < size())
            Splice(count, size() - count, 0, fill);
        else if (count > size())
            Splice(size(), 0, count - size(), fill);
    }
    void clear() { m_store.reset(); }
    // Replaces `removeCount` characters' fonts at `at` by `insertCount` characters in `font`.
    void Splice(std::size_t at, std::size_t removeCount, std::size_t insertCount, const FontData& font);
    // Applies `change` to the font of each character in [first, last), as to a copy of its own.
    template <class F>
    void ChangeRange(std::size_t first, std::size_t last, F change) {
        last = std::min(last, size());
        if (first >= last) return;
        Store& s = Own();
        if (s.perCharacter) {
            for (std::size_t i = first; i < last; ++i) change(s.fonts[i]);
            return;
        }
        // Each font the range uses is changed once, into a new pool entry its characters move to.
        std::vector<std::pair<std::uint32_t, std::uint32_t>> moved;
        for (std::size_t i = first; i < last; ++i) {
            const std::uint32_t from = s.index[i];
            auto it = std::find_if(moved.begin(), moved.end(), [from](const auto& m) { return m.first == from; });
            if (it == moved.end()) {
                FontData font = s.fonts[from];
                change(font);
                moved.emplace_back(from, Intern(s, std::move(font)));
                it = moved.end() - 1;
            }
            s.index[i] = it->second;
        }
    }
    // Applies `change` to every character's font alike (each shared font once).
    template <class F>
    void ForEachFont(F change) {
        if (!m_store) return;
        for (FontData& f : Own().fonts) change(f);
    }

private:
    Store& Own();
    std::vector<FontData>& PerCharacter();
    // The pool position of a font equal to `font`, added when the last entry differs.
    static std::uint32_t Intern(Store& s, FontData font);

    std::shared_ptr<Store> m_store;
};

// A text as characters with their fonts and paragraphs. Paragraphs end with '\r' (the last one
// without); there is one ParagraphData per paragraph.
struct TextData {
    std::wstring text;
    CharFontList charFonts;                 // one per character
    std::vector<ParagraphData> paragraphs;  // one per paragraph
    std::vector<TextLinkData> links;
    std::vector<TextFieldData> fields;  // masters only: slides' texts hold the values themselves
    float marginLeft = 7.2f, marginTop = 3.6f, marginRight = 7.2f, marginBottom = 3.6f;
    MsoTextOrientation orientation = msoTextOrientationHorizontal;
    MsoHorizontalAnchor horizontalAnchor = msoAnchorNone;
    MsoVerticalAnchor verticalAnchor = msoAnchorTop;
    PpAutoSize autoSize = ppAutoSizeNone;
    MsoTriState wordWrap = msoTrue;
    RulerLevelData rulerLevels[5] = {{0, 0}, {27, 27}, {54, 54}, {90, 90}, {126, 126}};

    LONG ParagraphCount() const;
    // Appends a run; "\r" in text starts new paragraphs, which take `paragraph`.
    void AddRun(const std::wstring& runText, const FontData& font = FontData(),
                const ParagraphData& paragraph = ParagraphData());
    // Makes charFonts and paragraphs agree with text again (after text was set directly).
    void Normalize();
    // Puts each field's value in place of its character (an empty value removes it), fonts,
    // links and paragraphs kept in step; the fields are gone afterwards.
    void ExpandFields();
};

struct HeaderFooterData {
    MsoTriState visible = msoFalse;
    std::wstring text;
};

struct HeadersFootersData {
    HeaderFooterData dateAndTime, slideNumber, header, footer;
};

struct TransitionData {
    MsoTriState advanceOnClick = msoTrue;
    MsoTriState advanceOnTime = msoFalse;
    float advanceTime = 0.0f;
    PpEntryEffect entryEffect = ppEffectNone;
    MsoTriState hidden = msoFalse;
};

struct TagData {
    std::wstring name;  // kept upper case
    std::wstring value;
};

class CHostDocument;
class CHostSlide;
class CHostShape;

// Common part of everything the builder makes.
class CHostNode {
public:
    explicit CHostNode(CHostDocument* doc, CHostNode* owner) : m_doc(doc), m_owner(owner) {}
    virtual ~CHostNode() = default;
    CHostNode(const CHostNode&) = delete;
    CHostNode& operator=(const CHostNode&) = delete;

    CHostDocument* Document() const { return m_doc; }
    CHostNode* Owner() const { return m_owner; }
    // Deleted itself or inside something deleted.
    bool IsDeleted() const;
    // Made by the builder or loader (not by Duplicate), and so part of the user's presentation.
    bool IsOriginal() const;
    // "slide 256", "shape 'Title 1' (slide 256)", ... for the change log.
    virtual std::wstring Describe() const = 0;

    bool deleted = false;
    bool original = true;

protected:
    CHostDocument* m_doc;
    CHostNode* m_owner;
};

struct ShapeData {
    MsoShapeType type = msoAutoShape;
    MsoAutoShapeType autoShapeType = msoShapeRectangle;
    std::wstring name;
    LONG id = 0;
    float left = 0, top = 0, width = 0, height = 0, rotation = 0;
    MsoTriState visible = msoTrue;
    MsoTriState horizontalFlip = msoFalse, verticalFlip = msoFalse;
    MsoTriState connector = msoFalse;
    MsoTriState hasTextFrame = msoFalse;
    PpMediaType mediaType = ppMediaTypeOther;  // asked only of media shapes
    std::vector<float> adjustments;
    int shapeType = 0;      // the file's shape type (0: from autoShapeType)
    GeometryData geometry;  // freeforms
    FillData fill;
    LineData line;
    ShadowData shadow;
    PictureData picture;
    OleData ole;
    SoundData sound;
    TextData text;
    AnimationData animation;
    ActionData click, over;
    std::vector<TagData> tags;
    // Which master placeholder a placeholder is (ppPlaceholderDate, ...); 0 when unknown.
    LONG placeholderType = 0;
};

// Placeholder kinds the host draws itself: the headers and footers of a slide.
enum : LONG { ppPlaceholderSlideNumber = 13, ppPlaceholderFooter = 15, ppPlaceholderDate = 16 };

// What a slide or master shows behind its shapes.
struct BackgroundData {
    FillData fill;                         // solid white unless told otherwise
    std::vector<std::uint8_t> imageBytes;  // picture and texture fills, as stored
};

class CHostShape : public CHostNode {
public:
    // owner: the slide or master the shape lies on.
    CHostShape(CHostDocument* doc, CHostNode* owner);
    std::wstring Describe() const override;
    CHostSlide* Slide() const;  // null for a master's shape
    // Its Shape interface, AddRef'ed.
    CComPtr<PowerPoint::Shape> Interface();
    // Gives the shape a text frame holding one run.
    CHostShape& SetText(const std::wstring& text, const FontData& font = FontData());

    ShapeData data;
};

struct EffectData {
    CHostShape* shape = nullptr;  // null: an effect without a target shape
    MsoAnimEffect effectType = msoAnimEffectAppear;
    LONG paragraph = 0;  // from 1; 0 the whole shape
    MsoTriState exit = msoFalse;
    float duration = 0.5f;
    MsoAnimTriggerType triggerType = msoAnimTriggerOnPageClick;
    float triggerDelayTime = 0.0f;
    MsoAnimDirection direction = msoAnimDirectionNone;
    MsoAnimAfterEffect afterEffect = msoAnimAfterEffectNone;
    ColorData dimColor;  // of a dim after-effect
    MsoTriState animateBackground = msoFalse;
    MsoTriState animateTextInReverse = msoFalse;
    MsoAnimateByLevel buildByLevelEffect = msoAnimateLevelNone;
    // As a file states the effect (0 when it does not): its class (1 entrance, 2 exit,
    // 3 emphasis, 4 motion path, 6 media), its preset in that class and the preset's variant.
    LONG presetClass = 0, presetId = 0, presetSubtype = 0;
};

class CHostSequence;

class CHostEffect : public CHostNode {
public:
    CHostEffect(CHostDocument* doc, CHostSlide* slide);
    std::wstring Describe() const override;
    EffectData data;
    CHostSequence* sequence = nullptr;  // null: the main sequence
};

// A sequence of effects that a click on its trigger shape starts.
class CHostSequence : public CHostNode {
public:
    CHostSequence(CHostDocument* doc, CHostSlide* slide);
    std::wstring Describe() const override;
    // Builder: an effect at the end of this sequence, started by the trigger shape's click.
    CHostEffect* AddEffect(CHostShape* target, MsoAnimEffect type = msoAnimEffectAppear);

    CHostShape* trigger = nullptr;
    std::vector<CHostEffect*> effects;
};

class CHostMaster : public CHostNode {
public:
    explicit CHostMaster(CHostDocument* doc);
    std::wstring Describe() const override;
    CComPtr<PowerPoint::_Master> Interface();

    std::wstring name = L"Office Theme";
    float width = 720.0f, height = 540.0f;
    std::vector<CHostShape*> shapes;
    ULONG colorScheme[8] = {0xFFFFFF, 0x000000, 0x808080, 0x000000, 0xBBE0E3, 0x998033, 0xFFFFFF, 0x00CC99};
    HeadersFootersData headersFooters;
    std::vector<TagData> tags;
    BackgroundData background;
};

class CHostSlide : public CHostNode {
public:
    CHostSlide(CHostDocument* doc, CHostMaster* master);
    std::wstring Describe() const override;
    CComPtr<PowerPoint::_Slide> Interface();

    // Builder: a new shape on top of the z-order.
    CHostShape* AddShape(MsoShapeType type, const std::wstring& name, float left, float top, float width, float height);
    CHostShape* AddTextBox(const std::wstring& name, float left, float top, float width, float height,
                           const std::wstring& text);
    // Builder: a timeline effect at the end of the main sequence.
    CHostEffect* AddEffect(CHostShape* target, MsoAnimEffect type = msoAnimEffectAppear);
    // Builder: a new interactive sequence started by a click on trigger.
    CHostSequence* AddInteractiveSequence(CHostShape* trigger);
    // 1-based position in the presentation; 0 once deleted.
    LONG SlideIndex() const;

    LONG slideId = 0;
    std::wstring name;
    CHostMaster* master;
    std::vector<CHostShape*> shapes;    // back to front
    std::vector<CHostEffect*> effects;  // the main sequence
    std::vector<CHostSequence*> interactiveSequences;
    bool hasTimeLine = true;
    ULONG colorScheme[8] = {0xFFFFFF, 0x000000, 0x808080, 0x000000, 0xBBE0E3, 0x998033, 0xFFFFFF, 0x00CC99};
    HeadersFootersData headersFooters;
    TransitionData transition;
    std::vector<TagData> tags;
    MsoTriState followMasterBackground = msoTrue;
    BackgroundData background;  // shown when it does not follow the master
};

// One write to an original object.
struct ChangeRecord {
    std::wstring object;  // CHostNode::Describe of what was written
    std::string member;   // "Shape.put_Rotation"
};

// Intrusive holder of a document (the builder's own reference).
class CHostDocumentRef;

class CHostDocument {
public:
    // A new, empty presentation (one master, no slides, one window).
    static CHostDocumentRef Create();

    // ---- builder ----
    CHostSlide* AddSlide();
    CHostMaster* Master() const { return m_master; }
    CComPtr<PowerPoint::_Presentation> Presentation();
    CComPtr<PowerPoint::_Application> Application();
    // A slide range over the given slides, in the given order.
    CComPtr<PowerPoint::SlideRange> MakeSlideRange(const std::vector<CHostSlide*>& slides);
    // Slides in presentation order (deleted ones are gone from it).
    const std::vector<CHostSlide*>& Slides() const { return m_slides; }

    std::wstring name = L"Presentation1.ppt";
    std::wstring path;               // folder; empty for a presentation never saved
    std::wstring version = L"11.0";  // Application.Version
    MsoTriState saved = msoTrue;
    std::vector<TagData> tags;
    bool hasWindow = true;
    CHostSlide* viewSlide = nullptr;      // what the window shows; null: the first slide
    std::vector<CHostSlide*> selection;   // the window's selected slides
    std::vector<std::uint8_t> fileBytes;  // what SaveCopyAs writes; empty: SaveCopyAs is not available

    // ---- fault injection ----
    // Makes `member` ("Shape.get_Left", "Shape.*" or "*") fail with hr on the object whose state is
    // `key` (a node, or the state a sub-object reads: &shape->data.fill, &shape->data.text, ...;
    // null: every object). The first `skip` matching calls pass; then `times` calls fail (-1: all).
    void Fail(const std::string& member, HRESULT hr, const void* key = nullptr, int times = -1, int skip = 0);
    void ClearFaults();
    // How often `member` was called on `key` (null: on any object), failed calls included. The
    // counts by object are kept only while countCallsByObject is on (else they stay 0).
    int Calls(const std::string& member, const void* key = nullptr) const;
    // Off for a presentation opened only to be converted: nobody asks, and a long deck makes
    // many of them.
    bool countCallsByObject = true;
    void ResetCalls();

    // ---- change log ----
    const std::vector<ChangeRecord>& Changes() const { return m_changes; }
    void ClearChanges() { m_changes.clear(); }
    // Grows with every write through the object model; what the host derives from its state (text
    // layout, item lists) is rebuilt when it moves. A shape's text and frame are checked as well,
    // but code that edits fonts or paragraph formats in place after they were read calls Touch.
    std::uint64_t Revision() const { return m_revision; }
    void Touch() { ++m_revision; }

    // ---- for the object implementations ----
    ULONG AddRef();
    ULONG Release();
    HRESULT Enter(const CHostNode* node, const void* key, const char* member);
    // The same for "<interfaceName>.<member>"; both are string literals (kept by address).
    HRESULT Enter(const CHostNode* node, const void* key, const char* interfaceName, const char* member);
    void Written(const CHostNode* node, const char* member);
    LONG NewSlideId() { return m_nextSlideId++; }
    LONG NewShapeId() { return m_nextShapeId++; }
    template <class T, class... A>
    T* Make(A&&... args) {
        auto p = std::make_unique<T>(std::forward<A>(args)...);
        T* raw = p.get();
        m_nodes.push_back(std::move(p));
        return raw;
    }
    struct Object {
        virtual ~Object() = default;
    };  // the interface implementations' common base
    // The object of kind `kind` over `key` (two extra numbers tell text ranges apart), if made.
    Object* Find(const void* key, const void* kind, std::int64_t a, std::int64_t b) const;
    // Makes an object that lives as long as the document; with a key (and kind), Find finds it
    // later. Objects are laid out in blocks the document frees all at once when it goes.
    template <class T, class... A>
    T* Keep(const void* key, const void* kind, std::int64_t a, std::int64_t b, A&&... args) {
        static_assert(std::is_base_of<Object, T>::value, "documents keep Objects");
        static_assert(alignof(T) <= alignof(std::max_align_t), "blocks are aligned for any scalar");
        T* object = new (ObjectRoom(sizeof(T))) T(std::forward<A>(args)...);
        try {
            Kept(object, key, kind, a, b);
        } catch (...) {
            object->~T();  // not recorded, so the document would never destroy it
            throw;
        }
        return object;
    }
    std::vector<CHostSlide*>& MutableSlides() { return m_slides; }

private:
    CHostDocument();
    ~CHostDocument();
    friend class CHostDocumentRef;
    friend std::default_delete<CHostDocument>;

    struct FaultRule {
        std::string member;
        HRESULT hr;
        const void* key;
        int times;
        int skip;
    };
    ULONG m_refs = 0;
    CHostMaster* m_master = nullptr;
    std::vector<CHostSlide*> m_slides;
    std::vector<std::unique_ptr<CHostNode>> m_nodes;
    // Kept objects, in the order they were made (they are destroyed in that order), and the
    // blocks they live in.
    void* ObjectRoom(std::size_t size);
    void Kept(Object* object, const void* key, const void* kind, std::int64_t a, std::int64_t b);
    std::vector<Object*> m_objects;
    std::vector<std::unique_ptr<std::max_align_t[]>> m_objectBlocks;
    unsigned char* m_blockFree = nullptr;  // the free room of the block being filled
    std::size_t m_blockLeft = 0;
    // Entries found by their key in open addressing with linear probing: a power of two slots,
    // at most half of them used. Nothing is ever removed. An entry says whether its slot is
    // used, hashes its key and compares keys.
    template <class Entry>
    class CProbedTable {
    public:
        explicit CProbedTable(std::size_t firstSize) : m_firstSize(firstSize) {}
        // The entry with the probe's key, or null.
        const Entry* Find(const Entry& probe) const {
            if (m_slots.empty()) return nullptr;
            const Entry& slot = m_slots[SlotOf(probe)];
            return slot.Used() ? &slot : nullptr;
        }
        // Puts the entry in, over one with the same key; without memory to grow, the table stays
        // as it was.
        void Put(const Entry& entry) {
            if (2 * (m_used + 1) > m_slots.size()) Grow();
            Entry& slot = m_slots[SlotOf(entry)];
            if (!slot.Used()) ++m_used;
            slot = entry;
        }
        void Clear() {
            m_slots.clear();
            m_used = 0;
        }

    private:
        // The slot holding the probe's key, or the free slot it would take.
        std::size_t SlotOf(const Entry& probe) const {
            const std::size_t mask = m_slots.size() - 1;
            for (std::size_t i = probe.Hash() & mask;; i = (i + 1) & mask)
                if (!m_slots[i].Used() || m_slots[i].SameKey(probe)) return i;
        }
        void Grow() {
            std::vector<Entry> old(m_slots.empty() ? m_firstSize : m_slots.size() * 2, Entry{});
            old.swap(m_slots);
            for (const Entry& entry : old)
                if (entry.Used()) m_slots[SlotOf(entry)] = entry;
        }

        std::vector<Entry> m_slots;
        std::size_t m_used = 0;
        const std::size_t m_firstSize;
    };
    // The objects Find finds (a slot without object is free).
    struct CacheSlot {
        const void* key;
        const void* kind;
        std::int64_t a, b;
        Object* object;
        bool Used() const { return object != nullptr; }
        std::size_t Hash() const;
        bool SameKey(const CacheSlot& o) const { return key == o.key && kind == o.kind && a == o.a && b == o.b; }
    };
    CProbedTable<CacheSlot> m_cache{1024};
    // Calls are counted per member number: every call of a member counts without building its name.
    struct PairHash {
        template <class A, class B>
        std::size_t operator()(const std::pair<A, B>& p) const {
            return std::hash<A>()(p.first) * 31u ^ std::hash<B>()(p.second);
        }
    };
    std::uint32_t MemberNumber(const std::string& name);
    std::uint32_t MemberNumber(const char* interfaceName, const char* member);
    HRESULT Enter(const CHostNode* node, const void* key, std::uint32_t number);
    // Member numbers by the addresses of the two literals (a slot without member is free).
    struct LiteralSlot {
        const char* interfaceName;
        const char* member;
        std::uint32_t number;
        bool Used() const { return member != nullptr; }
        std::size_t Hash() const;
        bool SameKey(const LiteralSlot& o) const { return interfaceName == o.interfaceName && member == o.member; }
    };
    CProbedTable<LiteralSlot> m_literalNumbers{256};
    std::unordered_map<std::string, std::uint32_t> m_memberNumbers;
    std::vector<std::string> m_memberNames;  // by number
    std::vector<int> m_totalCalls;           // by number
    std::vector<FaultRule> m_faults;
    std::unordered_map<std::pair<const void*, std::uint32_t>, int, PairHash> m_calls;
    std::vector<ChangeRecord> m_changes;
    std::uint64_t m_revision = 0;
    LONG m_nextSlideId = 256;
    LONG m_nextShapeId = 2;
};

class CHostDocumentRef {
public:
    CHostDocumentRef() = default;
    explicit CHostDocumentRef(CHostDocument* doc) : m_doc(doc) {
        if (m_doc) m_doc->AddRef();
    }
    CHostDocumentRef(const CHostDocumentRef& o) : CHostDocumentRef(o.m_doc) {}
    CHostDocumentRef& operator=(const CHostDocumentRef& o) {
        CHostDocumentRef copy(o);
        std::swap(m_doc, copy.m_doc);
        return *this;
    }
    ~CHostDocumentRef() {
        if (m_doc) m_doc->Release();
    }
    CHostDocument* operator->() const { return m_doc; }
    CHostDocument& operator*() const { return *m_doc; }
    CHostDocument* Get() const { return m_doc; }

private:
    CHostDocument* m_doc = nullptr;
};

// Upper-cases a tag name as the host keeps it.
std::wstring TagName(const std::wstring& name);

}  // namespace Host
}  // namespace PowerPoint
