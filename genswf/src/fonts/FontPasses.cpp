// The font passes: a piece of text cut into stretches that one font shows and one link covers.

#include "genswf/fonts/FontManager.h"
#include "genswf/movie/ExportSettings.h"
#include "genswf/movie/Movie.h"
#include "genswf/ppt/PptBulletFormat.h"
#include "genswf/ppt/PptFont.h"
#include "genswf/ppt/PptParagraphFormat.h"
#include "genswf/ppt/PptRuler.h"
#include "genswf/ppt/PptShape.h"
#include "genswf/ppt/PptTextFrame.h"
#include "genswf/ppt/PptTextRange.h"
#include "genswf/shapes/BasicShape.h"
#include "genswf/shapes/Shape.h"
#include "genswf/slides/Slide.h"
#include "genswf/slides/SlideActions.h"
#include "genswf/text/BulletRecord.h"
#include "genswf/text/ShapeTextIndex.h"
#include "genswf/text/SwfTextField.h"
#include "genswf/text/TextFrameContent.h"
#include "genswf/text/TextParagraph.h"
#include "genswf/text/TextPiece.h"
#include "genswf/text/TextStyle.h"
#include "libpptparser/Presentation.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <optional>

namespace genswf {

namespace {

bool IsSymbolCode(wchar_t c) { return c >= 0xF000 && c <= 0xF0FF; }
int KindOf(wchar_t c) { return IsSymbolCode(c) ? kFontKindSymbol : kFontKindText; }
bool IsBlank(wchar_t c) { return c == L' ' || c == L'\t'; }

bool TrimsRunBlanks(CMovie* movie) {
    const auto& settings = movie ? movie->GetExportSettings() : nullptr;
    return settings && settings->GetTrimRunBlanks();
}

bool IsLinked(const std::shared_ptr<CActionSettingList>& list) { return list && !list->IsEmpty(); }

bool SameLinks(const std::shared_ptr<CActionSettingList>& a, const std::shared_ptr<CActionSettingList>& b) {
    if (!IsLinked(a) || !IsLinked(b)) return IsLinked(a) == IsLinked(b);
    return a->IsEqual(*b);
}

// A stretch of a run: characters [start, start + length) of its text, one style, one link list
// (null when it links nowhere).
struct Stretch {
    int start = 0;
    int length = 0;
    std::shared_ptr<TextStyle> style;
    std::shared_ptr<CActionSettingList> links;
};

// What a run pass needs to know besides the run's text and font.
struct RunSource {
    // 0-based position of the run's first character in the shape's text.
    LONG position = 0;
    // The saved presentation's text frame of the shape, asked only when character-style fonts are
    // on (may give null).
    std::function<std::shared_ptr<libpptparser::CTextFrame>()> parsedFrame;
    // The click actions covering any of `length` characters of the shape's text from `position`
    // (0-based).
    std::function<std::shared_ptr<CActionSettingList>(LONG position, LONG length)> linksAt;
};

// Steps 2 to 4 of the run pass: the run's characters resolved to fonts, cut where the font or the
// link list changes.
std::vector<Stretch> CutRun(CFontManager& manager, CMovie* movie, const std::wstring& text,
                            const std::shared_ptr<CPptFont>& snapshot, const RunSource& source) {
    std::vector<Stretch> stretches;
    int begin = 0;
    int end = static_cast<int>(text.size());
    if (TrimsRunBlanks(movie)) {
        while (begin < end && IsBlank(text[static_cast<std::size_t>(begin)])) ++begin;
        while (end > begin && IsBlank(text[static_cast<std::size_t>(end - 1)])) --end;
    }
    if (begin >= end) return stretches;
    // Most runs link nowhere: one question about all of the run's characters saves asking about
    // each of them.
    const bool linked = source.linksAt && IsLinked(source.linksAt(source.position + begin, end - begin));

    // ASCII characters look the names up in one order, the others in another; each list is made
    // when a character first needs it (most runs need only one).
    std::optional<FontNameList> asciiFirst;
    std::optional<FontNameList> nameFirst;
    auto namesFor = [&](wchar_t c) -> const FontNameList& {
        const bool ascii = c < 0x80;
        std::optional<FontNameList>& names = ascii ? asciiFirst : nameFirst;
        if (!names) names = CFontManager::MakeFontNameList(*snapshot, ascii);
        return *names;
    };
    std::shared_ptr<libpptparser::CTextFrame> parsed;
    bool parsedAsked = false;

    auto fontOf = [&](int i) -> std::shared_ptr<SwfFont> {
        const wchar_t c = text[static_cast<std::size_t>(i)];
        const int kind = KindOf(c);
        if (manager.GetUseCharacterStyleFonts() && source.parsedFrame) {
            if (!parsedAsked) {
                parsed = source.parsedFrame();
                parsedAsked = true;
            }
            const LONG position = source.position + i;
            if (parsed && position >= 0) {
                std::shared_ptr<SwfFont> font =
                    manager.FindFontFromCharacterStyle(parsed.get(), static_cast<std::uint32_t>(position), kind);
                // The saved copy's character there may not be PowerPoint's (fields make the texts
                // differ): its font counts only when it shows PowerPoint's character.
                if (font && font->HasChar(c)) {
                    font->AddChar(c);
                    return font;
                }
            }
        }
        return manager.FindFontForChar(namesFor(c), c, kind);
    };

    auto emit = [&](int start, int stop, const std::shared_ptr<SwfFont>& font) {
        std::shared_ptr<TextStyle> style = TextStyle::Create(font, snapshot);
        int subStart = start;
        std::shared_ptr<CActionSettingList> subLinks = linked ? source.linksAt(source.position + start, 1) : nullptr;
        for (int i = start + 1; i <= stop; ++i) {
            std::shared_ptr<CActionSettingList> links;
            if (i < stop && linked) links = source.linksAt(source.position + i, 1);
            if (i == stop || !SameLinks(links, subLinks)) {
                stretches.push_back({subStart, i - subStart, style, IsLinked(subLinks) ? subLinks : nullptr});
                subStart = i;
                subLinks = links;
            }
        }
    };

    int stretchStart = -1;
    std::shared_ptr<SwfFont> stretchFont;
    for (int i = begin; i < end; ++i) {
        std::shared_ptr<SwfFont> font = fontOf(i);
        if (font && font == stretchFont) continue;
        if (stretchFont) emit(stretchStart, i, stretchFont);
        stretchFont = font;
        stretchStart = font ? i : -1;
    }
    if (stretchFont) emit(stretchStart, end, stretchFont);
    return stretches;
}

// The bullet's font: the first one, in lookup order, that shows every character of the bullet.
// Without one, the font of the first character that any font shows, and `shown` keeps only the
// characters that font has rather than recording ones it cannot draw.
std::shared_ptr<SwfFont> BulletFont(CFontManager& manager, const FontNameList& names, const std::wstring& text,
                                    int kind, std::wstring& shown) {
    std::vector<FontKey> keys;
    for (int i = 0; i < names.count; ++i) keys.push_back({names.names[i], names.bold, names.italic});
    if (const CFontTable* table = CFontTable::GetGlobal())
        for (const std::wstring& name : table->GetNamesOfKind(kind == kFontKindText ? kFontKindText : kFontKindPicture))
            keys.push_back({name, names.bold, names.italic});

    auto hasAll = [&text](const SwfFont& font) {
        return std::all_of(text.begin(), text.end(), [&font](wchar_t c) { return font.HasChar(c); });
    };
    auto take = [&](const std::shared_ptr<SwfFont>& font) {
        shown.clear();
        for (wchar_t c : text)
            if (font->HasChar(c)) {
                font->AddChar(c);
                shown += c;
            }
        return font;
    };

    for (const FontKey& key : keys) {
        std::shared_ptr<SwfFont> font;
        for (wchar_t c : text)
            if ((font = manager.FindOrCreateFont(key, c, kind))) break;
        if (font && hasAll(*font)) return take(font);
    }
    for (wchar_t c : text)
        if (std::shared_ptr<SwfFont> font = manager.FindFontForChar(names, c, kind)) return take(font);
    return nullptr;
}

// Name list and kind of a bullet by its type; false for a type that shows no bullet.
bool BulletLookup(PowerPoint::PpBulletType type, const CPptFont& snapshot, const std::wstring& text,
                  FontNameList& names, int& kind) {
    if (type == PowerPoint::ppBulletUnnumbered || type == PowerPoint::ppBulletPicture) {
        names = CFontManager::MakeFontNameList(snapshot, false);
        names.bold = names.italic = false;
        kind = IsSymbolCode(text[0]) ? kFontKindSymbol : kFontKindPicture;
        return true;
    }
    if (type == PowerPoint::ppBulletNumbered) {
        names = CFontManager::MakeFontNameList(snapshot, true);
        kind = kFontKindText;
        return true;
    }
    return false;
}

// Character bullets are drawn plain; numbers keep the text's weight, slant and underline.
void ApplyBulletType(PowerPoint::PpBulletType type, TextStyle& style) {
    if (type == PowerPoint::ppBulletNumbered) return;
    style.SetBold(false);
    style.SetItalic(false);
    style.SetUnderline(false);
}

// Where the bullet sits against its paragraph's first line (points): left of it, or above it in
// vertical text. Orientations other than vertical are placed as horizontal.
Rect BulletRectangle(LONG orientation, float lineLeft, float lineTop, float lineWidth, float lineHeight,
                     float textWidth, float gap) {
    const float extent = std::max(textWidth, gap);
    if (orientation == PowerPoint::msoTextOrientationVerticalFarEast)
        return Rect(lineLeft, lineTop - extent, lineWidth, textWidth);
    return Rect(lineLeft - extent, lineTop, textWidth, lineHeight);
}

template <class T, class I>
T ReadOr(I* object, HRESULT (I::*get)(T*), T fallback) {
    T value = fallback;
    if (!object || (object->*get)(&value) < 0) return fallback;
    return value;
}

// A bullet is drawn at its RelativeSize times the size its font gives; 1 when that cannot be read
// or makes no sense.
float BulletScale(float relativeSize) { return relativeSize > 0.0f && relativeSize <= 4.0f ? relativeSize : 1.0f; }

// |FirstMargin - LeftMargin| of the ruler level of an indent level, read straight from the frame;
// 0 when any of it cannot be read.
float RawRulerGap(PowerPoint::TextFrame* frame, LONG indentLevel) {
    CComPtr<PowerPoint::Ruler> ruler;
    CComPtr<PowerPoint::RulerLevels> levels;
    CComPtr<PowerPoint::RulerLevel> level;
    if (!frame || frame->get_Ruler(&ruler) < 0 || !ruler) return 0.0f;
    if (ruler->get_Levels(&levels) < 0 || !levels) return 0.0f;
    if (levels->Item(indentLevel, &level) < 0 || !level) return 0.0f;
    const float first = ReadOr(level.Get(), &PowerPoint::RulerLevel::get_FirstMargin, 0.0f);
    const float left = ReadOr(level.Get(), &PowerPoint::RulerLevel::get_LeftMargin, 0.0f);
    return std::fabs(first - left);
}

float WrappedRulerGap(const std::shared_ptr<CPptTextFrame>& frame, LONG indentLevel) {
    if (!frame || indentLevel < 1) return 0.0f;
    std::shared_ptr<CPptRuler> ruler = frame->GetRuler();
    std::shared_ptr<CPptRulerLevels> levels = ruler ? ruler->GetLevels() : nullptr;
    std::shared_ptr<CPptRulerLevel> level =
        levels ? levels->GetItem(static_cast<std::uint32_t>(indentLevel - 1)) : nullptr;
    if (!level) return 0.0f;
    return std::fabs(level->GetFirstMargin() - level->GetLeftMargin());
}

}  // namespace

// --- The text-frame path ---------------------------------------------------------------------

std::vector<std::shared_ptr<CTextPiece>> CFontManager::CollectRunFonts(const std::shared_ptr<CPptTextRange>& run,
                                                                       CTextParagraph& paragraph) {
    std::vector<std::shared_ptr<CTextPiece>> pieces;
    const std::wstring text = run->GetText();
    if (text.empty()) return pieces;
    std::shared_ptr<CPptFont> snapshot = run->GetFont();
    CTextFrameContent* owner = paragraph.GetOwner();

    RunSource source;
    source.position = run->GetStart();
    source.parsedFrame = [owner] { return owner ? owner->GetParsedTextFrame() : nullptr; };
    source.linksAt = [&paragraph](LONG position, LONG length) {
        return paragraph.FindActionSettings(position, length);
    };

    const std::shared_ptr<CPptTextFrame> frame = owner ? owner->GetTextFrame() : nullptr;
    const std::shared_ptr<CPptShape> shape =
        owner && owner->GetBasicShape() ? owner->GetBasicShape()->GetShape() : nullptr;
    for (const Stretch& stretch : CutRun(*this, m_movie, text, snapshot, source)) {
        // Every piece lies in the paragraph: its format is the paragraph's, which the paragraph's
        // range reads once for all of them.
        std::shared_ptr<CTextPiece> piece =
            CTextPiece::CreateFromRange(run->Characters(stretch.start, stretch.length), stretch.style, frame, shape,
                                        paragraph.GetRange()->GetParagraphFormat());
        piece->SetActionSettings(stretch.links);
        pieces.push_back(piece);
    }
    return pieces;
}

std::shared_ptr<CTextPiece> CFontManager::CollectBulletFont(CTextParagraph& paragraph) {
    const std::shared_ptr<CPptTextRange>& range = paragraph.GetRange();
    std::shared_ptr<CPptBulletFormat> bullet = range->GetParagraphFormat()->GetBullet();
    const std::wstring text = bullet->GetBulletText();
    if (text.empty()) return nullptr;

    const bool useTextFont = bullet->GetUseTextFont() != 0;
    std::shared_ptr<CPptFont> snapshot = useTextFont ? range->Characters(0, 1)->GetFont() : bullet->GetFont();
    const PowerPoint::PpBulletType type = bullet->GetType();
    FontNameList names;
    int kind = kFontKindNone;
    if (!BulletLookup(type, *snapshot, text, names, kind)) return nullptr;
    std::wstring shown;
    std::shared_ptr<SwfFont> font = BulletFont(*this, names, text, kind, shown);
    if (!font || shown.empty()) return nullptr;

    std::shared_ptr<TextStyle> style = TextStyle::Create(font, snapshot);
    ApplyBulletType(type, *style);
    if (useTextFont && bullet->GetUseTextColor() == 0) style->SetColor(bullet->GetFont()->GetColor());
    if (!(style->GetSize() > 0.0f)) {
        float size = 8.0f;
        if (range->GetLength() > 0) {
            CComPtr<PowerPoint::Font> first;
            first.Attach(range->Characters(0, 1)->GetFontPtr());
            if (!first || first->get_Size(&size) < 0) ThrowPptException(__FILE__, 280);
        }
        style->SetSize(size);
    }
    {
        CComPtr<PowerPoint::BulletFormat> raw;
        raw.Attach(range->GetParagraphFormat()->GetBulletPtr());
        style->SetSize(style->GetSize() *
                       BulletScale(ReadOr(raw.Get(), &PowerPoint::BulletFormat::get_RelativeSize, 1.0f)));
    }

    CTextFrameContent* owner = paragraph.GetOwner();
    const std::shared_ptr<CPptTextFrame> frame = owner ? owner->GetTextFrame() : nullptr;
    const float gap = WrappedRulerGap(frame, range->GetIndentLevel());
    std::shared_ptr<CPptTextRange> first = range->Lines(0, 1);
    const Rect rectangle = BulletRectangle(frame ? frame->GetOrientation() : PowerPoint::msoTextOrientationHorizontal,
                                           first->GetBoundLeft(), first->GetBoundTop(), first->GetBoundWidth(),
                                           first->GetBoundHeight(), style->GetTextWidth(shown), gap);
    const std::shared_ptr<CPptShape> shape =
        owner && owner->GetBasicShape() ? owner->GetBasicShape()->GetShape() : nullptr;
    return CTextPiece::CreateBullet(range, style, rectangle, shown, frame, shape);
}

// --- The shape-text-index path ---------------------------------------------------------------

void CFontManager::CollectParsedRunFonts(CTextWordItem& word, CTextLineItem& line,
                                         std::vector<CRefPtr<SwfTextField>>& fields) {
    fields.clear();
    CShapeTextIndex* index = word.owner;
    const LONG from = std::max<LONG>(word.start, line.start);
    const LONG to = std::min<LONG>(word.start + word.length, line.start + line.length);
    if (!index || from >= to) return;
    PowerPoint::TextRange* whole = index->GetTextRange();
    if (!whole) return;

    CShape* shape = index->GetShape();
    CSlide* slide = shape ? shape->GetSlide() : nullptr;
    const std::wstring shapeName = shape ? shape->GetName() : std::wstring();

    RunSource source;
    source.parsedFrame = [index] { return index->GetParsedTextSource().GetParsedTextFrame(); };
    if (slide)
        source.linksAt = [slide, &shapeName](LONG position, LONG length) {
            return slide->FindTextActionSettings(shapeName, position, length);
        };

    for (const auto& run : index->GetRunSpans()) {
        const LONG s = std::max<LONG>(run.first, from);
        const LONG e = std::min<LONG>(run.first + run.second, to);
        if (s >= e) continue;
        CComPtr<PowerPoint::TextRange> characters;
        if (whole->Characters(s + 1, e - s, &characters) < 0 || !characters) continue;
        BSTR raw = nullptr;
        if (characters->get_Text(&raw) < 0) {
            SysFreeString(raw);
            continue;
        }
        const std::wstring text = WStringFromBstr(raw);
        SysFreeString(raw);
        CComPtr<PowerPoint::Font> font;
        if (characters->get_Font(&font) < 0 || !font) continue;
        std::shared_ptr<CPptFont> snapshot = CPptFont::Create(font);

        source.position = s;
        for (const Stretch& stretch : CutRun(*this, m_movie, text, snapshot, source)) {
            CComPtr<PowerPoint::TextRange> piece;
            if (whole->Characters(s + stretch.start + 1, stretch.length, &piece) < 0 || !piece) continue;
            CRefPtr<SwfTextField> field(new SwfTextField(index, stretch.style, piece));
            field->SetActionSettings(stretch.links);
            fields.push_back(field);
        }
    }
}

CRefPtr<SwfTextField> CFontManager::CollectParsedBulletFont(CTextParagraphItem& paragraph) {
    CBulletRecord* record = paragraph.bullet.Get();
    CShapeTextIndex* index = paragraph.owner;
    if (!record || !index || !record->GetBulletFont()) return CRefPtr<SwfTextField>();
    const std::wstring& text = record->GetText();
    if (text.empty()) return CRefPtr<SwfTextField>();

    std::shared_ptr<CPptFont> snapshot = CPptFont::Create(record->GetBulletFont());
    const PowerPoint::PpBulletType type = record->GetType();
    FontNameList names;
    int kind = kFontKindNone;
    if (!BulletLookup(type, *snapshot, text, names, kind)) return CRefPtr<SwfTextField>();
    std::wstring shown;
    std::shared_ptr<SwfFont> font = BulletFont(*this, names, text, kind, shown);
    if (!font || shown.empty()) return CRefPtr<SwfTextField>();

    std::shared_ptr<TextStyle> style = TextStyle::Create(font, snapshot);
    ApplyBulletType(type, *style);
    style->SetColor(record->GetColor());
    if (!(style->GetSize() > 0.0f) && record->GetTextFont()) {
        float size = 0.0f;
        if (record->GetTextFont()->get_Size(&size) >= 0) style->SetSize(size);
    }
    style->SetSize(style->GetSize() * BulletScale(record->GetRelativeSize()));

    std::vector<CRefPtr<CTextLineItem>> lines;
    if (index->GetLinesOfParagraph(static_cast<std::size_t>(paragraph.number), lines) == 0)
        return CRefPtr<SwfTextField>();
    const CTextLineItem& first = *lines.front();
    const float gap = RawRulerGap(index->GetTextFrame(), paragraph.indentLevel);
    const Rect rectangle = BulletRectangle(index->GetOrientation(), first.left, first.top, first.width, first.height,
                                           style->GetTextWidth(shown), gap);
    return CRefPtr<SwfTextField>(new SwfTextField(&paragraph, style, shown, rectangle));
}

}  // namespace genswf
