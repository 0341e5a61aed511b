// Text of text frames: runs resolved through the master's text styles and the document defaults,
// bullets, rulers, hyperlinks of text ranges and expanded fields.

#include "LoaderInternal.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <ctime>

namespace PowerPoint {
namespace Loader {
namespace Detail {

using namespace Host;

namespace {

struct ParaRun {
    std::uint32_t count = 0;
    std::uint16_t level = 0;
    TextPF pf;
};
struct CharRun {
    std::uint32_t count = 0;
    TextCF cf;
};

void ReadStyleRuns(const CPptRecord& style, std::size_t textLength, std::vector<ParaRun>& paras,
                   std::vector<CharRun>& chars) {
    const CPptByteView b = style.GetBytes();
    std::size_t at = 0;
    std::size_t sum = 0;
    // The runs cover the text and its final mark, so each list ends once it passes the text.
    while (sum <= textLength && b.Has(at, 6)) {
        ParaRun run;
        run.count = b.U32(at);
        run.level = b.U16(at + 4);
        const std::size_t next = ReadTextPF(b, at + 6, run.pf);
        if (next == 0 || run.count == 0) return;
        paras.push_back(run);
        sum += run.count;
        at = next;
    }
    sum = 0;
    while (sum <= textLength && b.Has(at, 4)) {
        CharRun run;
        run.count = b.U32(at);
        const std::size_t next = ReadTextCF(b, at + 4, run.cf);
        if (next == 0 || run.count == 0) return;
        chars.push_back(run);
        sum += run.count;
        at = next;
    }
}

// Numbering of the later-version extension, one entry per paragraph run.
void ReadStyle9(const CPptRecord& atom, std::vector<ParaRun>& paras) {
    const CPptByteView b = atom.GetBytes();
    std::size_t at = 0;
    for (std::size_t i = 0; b.Has(at, 4); ++i) {
        const std::uint32_t pm = b.U32(at);
        at += 4;
        TextPF extra;
        if (pm & 0x800000) at += 2;  // picture bullet reference
        if (pm & 0x2000000) {
            extra.numbered = b.U16(at) != 0;
            extra.hasNumbering = true;
            at += 2;
        }
        if (pm & 0x1000000) {
            extra.numberScheme = b.U16(at);
            extra.numberStart = b.I16(at + 2);
            extra.hasNumbering = true;
            if (!(pm & 0x2000000)) extra.numbered = true;
            at += 4;
        }
        if (!b.Has(at, 4)) return;
        const std::uint32_t cm = b.U32(at);
        at += 4;
        if (cm & 0x100000) at += 1;
        if (cm & 0x4000000) at += 4;
        if (!b.Has(at, 4)) return;
        const std::uint32_t sm = b.U32(at);
        at += 4;
        if (sm & 0x1) at += 2;
        if (sm & 0x2) at += 2;
        if (sm & 0x4) at += 2;
        if (sm & 0x40) at += 2;
        if (sm & 0x20) at += 4;
        if (sm & 0x100) {
            if (!b.Has(at, 4)) return;
            at += 4 + 4 * static_cast<std::size_t>(std::min<std::uint32_t>(b.U32(at), 0x10000));
        }
        if (at > b.size()) return;
        if (i < paras.size() && extra.hasNumbering) {
            paras[i].pf.hasNumbering = true;
            paras[i].pf.numbered = extra.numbered;
            paras[i].pf.numberScheme = extra.numberScheme;
            paras[i].pf.numberStart = extra.numberStart;
        }
    }
}

// The text type whose styles a type falls back on.
int BaseType(int type) {
    switch (type) {
    case 5:
    case 7:
    case 8:
        return 1;
    case 6:
        return 0;
    default:
        return -1;
    }
}

// Text of the "other" type (text boxes, shapes' own text) takes the presentation's default
// text style, whatever its master says: the masters' "other" styles only fill in for a
// document without one.
constexpr int kOtherTextType = 4;

const TextTypeStyle* StyleOf(const CLoadContext& ctx, const MasterState* master, int type) {
    if (type == kOtherTextType && ctx.documentStyles[type].present) return &ctx.documentStyles[type];
    for (const MasterState* m = master; m; m = m->base)
        if (type >= 0 && type < kTextTypes && m->styles[type].present) return &m->styles[type];
    if (type >= 0 && type < kTextTypes && ctx.documentStyles[type].present) return &ctx.documentStyles[type];
    return nullptr;
}

// Fills what the run lacks: the level and the levels below it of the text type, of its base
// type, of the "other" type, then the document defaults.
void ResolvePF(const CLoadContext& ctx, const MasterState* master, int type, int level, TextPF& pf) {
    for (int t = type; t >= 0; t = BaseType(t))
        if (const TextTypeStyle* s = StyleOf(ctx, master, t))
            for (int l = level; l >= 0; --l)
                if (s->levels[l].present) Overlay(pf, s->levels[l].pf);
    Overlay(pf, ctx.defaultPF);
}

void ResolveCF(const CLoadContext& ctx, const MasterState* master, int type, int level, TextCF& cf) {
    for (int t = type; t >= 0; t = BaseType(t))
        if (const TextTypeStyle* s = StyleOf(ctx, master, t))
            for (int l = level; l >= 0; --l)
                if (s->levels[l].present) Overlay(cf, s->levels[l].cf);
    Overlay(cf, ctx.defaultCF);
}

ColorData TextColor(std::uint32_t value, const ULONG* scheme, ULONG fallback) {
    ColorData c;
    const std::uint32_t index = value >> 24;
    if (index == 0xFE) {
        c.rgb = value & 0xFFFFFF;
    } else if (index < 8 && scheme) {
        c.rgb = scheme[index];
        c.scheme = static_cast<PpColorSchemeIndex>(index + 1);
    } else {
        c.rgb = fallback;
    }
    return c;
}

std::wstring FontName(const CLoadContext& ctx, std::uint16_t index) {
    if (index < ctx.fonts.size() && !ctx.fonts[index].empty()) return ctx.fonts[index];
    return ctx.fonts.empty() ? std::wstring(L"Arial") : ctx.fonts.front();
}

FontData MakeFont(const CLoadContext& ctx, const TextCF& cf, const ULONG* scheme) {
    FontData f;
    // The run's font draws its text, and the object model hands it out as the ASCII and "other"
    // font too. The record's ANSI font slot names no font that is drawn with: files hold 0xFFFF,
    // "none", there, which the font list would turn into its first entry.
    f.name = FontName(ctx, cf.font);
    f.nameAscii = f.nameOther = f.name;
    if ((cf.mask & 0x200000) && cf.farEastFont < ctx.fonts.size()) f.nameFarEast = FontName(ctx, cf.farEastFont);
    f.size = (cf.mask & 0x20000) && cf.size > 0 ? static_cast<float>(cf.size) : 18.0f;
    f.bold = (cf.style & 0x1) ? msoTrue : msoFalse;
    f.italic = (cf.style & 0x2) ? msoTrue : msoFalse;
    f.underline = (cf.style & 0x4) ? msoTrue : msoFalse;
    f.shadow = (cf.style & 0x10) ? msoTrue : msoFalse;
    f.emboss = (cf.style & 0x200) ? msoTrue : msoFalse;
    const int position = std::max(-100, std::min<int>(100, cf.position));
    f.baselineOffset = static_cast<float>(position) / 100.0f;
    f.superscript = position > 0 ? msoTrue : msoFalse;
    f.subscript = position < 0 ? msoTrue : msoFalse;
    f.color = (cf.mask & 0x40000) ? TextColor(cf.color, scheme, 0) : TextColor(0x01000000, scheme, 0);
    return f;
}

// Spacing: positive values are hundredths of a line, negative ones master units.
void Spacing(std::int16_t value, float& amount, MsoTriState& lineRule, float defaultLines) {
    if (value >= 0) {
        amount = value == 0 && defaultLines > 0 ? defaultLines : static_cast<float>(value) / 100.0f;
        lineRule = msoTrue;
    } else {
        amount = static_cast<float>(-value) / 8.0f;
        lineRule = msoFalse;
    }
}

ParagraphData MakeParagraph(const CLoadContext& ctx, const TextPF& pf, int level, const FontData& firstFont,
                            const ULONG* scheme) {
    ParagraphData p;
    static const PpParagraphAlignment kAlign[] = {ppAlignLeft,       ppAlignCenter,     ppAlignRight,  ppAlignJustify,
                                                  ppAlignDistribute, ppAlignDistribute, ppAlignJustify};
    p.alignment = pf.alignment < 7 ? kAlign[pf.alignment] : ppAlignLeft;
    p.indentLevel = level + 1;
    Spacing((pf.mask & 0x1000) ? pf.lineSpacing : 100, p.spaceWithin, p.lineRuleWithin, 1.0f);
    Spacing(pf.spaceBefore, p.spaceBefore, p.lineRuleBefore, 0.0f);
    Spacing(pf.spaceAfter, p.spaceAfter, p.lineRuleAfter, 0.0f);
    static const PpBaselineAlignment kFontAlign[] = {ppBaselineAlignBaseline, ppBaselineAlignTop, ppBaselineAlignCenter,
                                                     ppBaselineAlignBaseline};
    p.baseLineAlignment = pf.fontAlign < 4 ? kFontAlign[pf.fontAlign] : ppBaselineAlignBaseline;

    BulletData& bullet = p.bullet;
    const bool has = (pf.bulletFlags & 0x1) != 0;
    bullet.visible = has ? msoTrue : msoFalse;
    bullet.type = !has ? ppBulletNone : (pf.hasNumbering && pf.numbered) ? ppBulletNumbered : ppBulletUnnumbered;
    if ((pf.mask & 0x80) && pf.bulletChar != 0) bullet.character = pf.bulletChar;
    bullet.relativeSize =
        (pf.bulletFlags & 0x8) && pf.bulletSize > 0 ? static_cast<float>(pf.bulletSize) / 100.0f : 1.0f;
    bullet.useTextColor = (pf.bulletFlags & 0x4) ? msoFalse : msoTrue;
    bullet.useTextFont = (pf.bulletFlags & 0x2) ? msoFalse : msoTrue;
    bullet.font = firstFont;
    if (pf.bulletFlags & 0x2) {
        bullet.font.name = FontName(ctx, pf.bulletFont);
        bullet.font.nameAscii = bullet.font.nameOther = bullet.font.name;
    }
    if (pf.bulletFlags & 0x4) bullet.font.color = TextColor(pf.bulletColor, scheme, firstFont.color.rgb);
    if (pf.hasNumbering) {
        bullet.style = static_cast<PpNumberedBulletStyle>(pf.numberScheme);
        bullet.startValue = pf.numberStart;
    }
    return p;
}

std::tm FieldDate(const CLoadContext& ctx) {
    std::time_t t =
        ctx.options.fieldDate >= 0 ? static_cast<std::time_t>(ctx.options.fieldDate * 86400) : std::time(nullptr);
    std::tm tm{};
    gmtime_r(&t, &tm);
    return tm;
}

std::wstring FormatDate(const CLoadContext& ctx, int format) {
    static const char* kMonths[] = {"January", "February", "March",     "April",   "May",      "June",
                                    "July",    "August",   "September", "October", "November", "December"};
    static const char* kDays[] = {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"};
    const std::tm tm = FieldDate(ctx);
    char buf[96];
    const int year = tm.tm_year + 1900;
    switch (format) {
    case 1:
        std::snprintf(buf, sizeof buf, "%s, %s %02d, %d", kDays[tm.tm_wday], kMonths[tm.tm_mon], tm.tm_mday, year);
        break;
    case 2:
        std::snprintf(buf, sizeof buf, "%02d %s %d", tm.tm_mday, kMonths[tm.tm_mon], year);
        break;
    case 3:
        std::snprintf(buf, sizeof buf, "%s %02d, %d", kMonths[tm.tm_mon], tm.tm_mday, year);
        break;
    case 4:
        std::snprintf(buf, sizeof buf, "%02d-%.3s-%02d", tm.tm_mday, kMonths[tm.tm_mon], year % 100);
        break;
    case 5:
        std::snprintf(buf, sizeof buf, "%s %02d", kMonths[tm.tm_mon], year % 100);
        break;
    case 6:
        std::snprintf(buf, sizeof buf, "%.3s-%02d", kMonths[tm.tm_mon], year % 100);
        break;
    case 9:
        std::snprintf(buf, sizeof buf, "%02d:%02d", tm.tm_hour, tm.tm_min);
        break;
    case 10:
        std::snprintf(buf, sizeof buf, "%02d:%02d:%02d", tm.tm_hour, tm.tm_min, tm.tm_sec);
        break;
    default:
        std::snprintf(buf, sizeof buf, "%d/%d/%d", tm.tm_mon + 1, tm.tm_mday, year);
        break;
    }
    return std::wstring(buf, buf + std::strlen(buf));
}

struct Field {
    std::size_t position;
    TextFieldData::Kind kind;
    std::wstring value;
};

// Texts hold a few fields and links; a damaged one may claim thousands, which are left as they are.
constexpr std::size_t kMaxFields = 256;
constexpr std::size_t kMaxLinks = 1024;

// Replaces the field character at each position with its value.
void ExpandFields(const std::vector<Field>& fields, TextData& out) {
    for (std::size_t i = 0; i < fields.size() && i < kMaxFields; ++i)
        out.fields.push_back({fields[i].kind, static_cast<LONG>(fields[i].position), fields[i].value});
    out.Normalize();
    out.ExpandFields();
}

}  // namespace

std::wstring DateText(const CLoadContext& ctx, int format) { return FormatDate(ctx, format); }

ActionData ReadInteractive(CLoadContext& ctx, const CPptContainer& interactiveInfo) {
    ActionData a;
    RecordPtr atom = FirstChild(&interactiveInfo, libpptparser::kRecordInteractiveInfoAtom);
    if (!atom) return a;
    const CPptByteView b = atom->GetBytes();
    const std::uint32_t linkId = b.U32(4);
    const std::uint8_t action = b.U8(8);
    const std::uint8_t jump = b.U8(10);
    switch (action) {
    case 1:
        a.action = ppActionRunMacro;
        break;
    case 2:
        a.action = ppActionRunProgram;
        break;
    case 3: {
        static const PpActionType kJump[] = {ppActionNone,       ppActionNextSlide, ppActionPreviousSlide,
                                             ppActionFirstSlide, ppActionLastSlide, ppActionLastSlideViewed,
                                             ppActionEndShow};
        a.action = jump < 7 ? kJump[jump] : ppActionNone;
        break;
    }
    case 4:
        a.action = ppActionHyperlink;
        break;
    case 5:
        a.action = ppActionOLEVerb;
        break;
    case 6:
        a.action = ppActionPlay;
        break;
    case 7:
        a.action = ppActionNamedSlideShow;
        break;
    default:
        break;
    }
    a.animateAction = (b.U8(11) & 0x1) ? msoTrue : msoFalse;
    auto it = ctx.hyperlinks.find(linkId);
    if (it != ctx.hyperlinks.end() && (action == 4 || action == 1 || action == 2 || action == 7)) {
        a.hyperlink.address = it->second.target;
        a.hyperlink.subAddress = it->second.location;
        a.hyperlink.textToDisplay = it->second.friendlyName;
        if (action == 1 || action == 2 || action == 7) a.slideShowName = it->second.target;
    } else if (action == 4) {
        ctx.Warn(L"a hyperlink names link " + std::to_wstring(linkId) + L", which the file does not hold");
    }
    return a;
}

void ResolveText(CLoadContext& ctx, SheetState& sheet, const TextSource& source, const MasterState::Placeholder*,
                 TextData& out) {
    const int type = source.textType >= 0 && source.textType < kTextTypes ? source.textType : 4;
    const MasterState* master = sheet.master;
    const ULONG* scheme = sheet.scheme;

    out.text = source.text;
    // Paragraphs end with '\r'; the file's final paragraph mark is not part of the text.
    std::vector<ParaRun> paras;
    std::vector<CharRun> chars;
    if (source.style) ReadStyleRuns(*source.style, out.text.size(), paras, chars);
    if (paras.empty() && source.levels) {
        const CPptByteView b = source.levels->GetBytes();
        for (std::size_t at = 0; b.Has(at, 6); at += 6) {
            ParaRun run;
            run.count = b.U32(at);
            run.level = b.U16(at + 4);
            if (run.count == 0) break;
            paras.push_back(run);
        }
    }
    if (source.style9) ReadStyle9(*source.style9, paras);

    const std::size_t n = out.text.size();
    out.charFonts.clear();
    out.paragraphs.clear();

    // Paragraph levels and formats, then characters at their paragraph's level.
    std::size_t paraRun = 0, paraRunEnd = paras.empty() ? SIZE_MAX : paras[0].count;
    std::size_t charRun = 0, charRunEnd = chars.empty() ? SIZE_MAX : chars[0].count;
    std::size_t start = 0;
    while (true) {
        std::size_t end = out.text.find(L'\r', start);
        const bool lastParagraph = end == std::wstring::npos;
        if (lastParagraph) end = n;
        while (paraRun < paras.size() && start >= paraRunEnd) {
            ++paraRun;
            paraRunEnd = paraRun < paras.size() ? paraRunEnd + paras[paraRun].count : SIZE_MAX;
        }
        TextPF pf;
        int level = 0;
        if (paraRun < paras.size()) {
            pf = paras[paraRun].pf;
            level = std::min<int>(4, paras[paraRun].level);
        }
        ResolvePF(ctx, master, type, level, pf);

        FontData firstFont;
        // A run's characters share its font: resolved once per run, not once per character.
        FontData font;
        std::size_t fontRun = SIZE_MAX;
        std::size_t pending = 0;  // characters in `font` not added yet: fonts go in a run at a time
        for (std::size_t i = start; i <= end && i < n + 1; ++i) {
            while (charRun < chars.size() && i >= charRunEnd) {
                ++charRun;
                charRunEnd = charRun < chars.size() ? charRunEnd + chars[charRun].count : SIZE_MAX;
            }
            if (charRun != fontRun) {
                if (pending > 0) out.charFonts.Splice(out.charFonts.size(), 0, pending, font);
                pending = 0;
                TextCF cf;
                if (charRun < chars.size()) cf = chars[charRun].cf;
                ResolveCF(ctx, master, type, level, cf);
                font = MakeFont(ctx, cf, scheme);
                fontRun = charRun;
            }
            if (i == start) firstFont = font;
            if (i < n) ++pending;
        }
        if (pending > 0) out.charFonts.Splice(out.charFonts.size(), 0, pending, font);
        out.paragraphs.push_back(MakeParagraph(ctx, pf, level, firstFont, scheme));
        if (lastParagraph) break;
        start = end + 1;
    }

    // Ruler: the master style's margins for each level, then the text's own ruler.
    for (int l = 0; l < 5; ++l) {
        TextPF pf;
        ResolvePF(ctx, master, type, l, pf);
        if (pf.mask & 0x400) out.rulerLevels[l].firstMargin = static_cast<float>(pf.indent) / 8.0f;
        if (pf.mask & 0x100) out.rulerLevels[l].leftMargin = static_cast<float>(pf.leftMargin) / 8.0f;
    }
    if (source.ruler) {
        const CPptByteView b = source.ruler->GetBytes();
        const std::uint32_t m = b.U32(0);
        std::size_t at = 4;
        if (m & 0x2) at += 2;
        if (m & 0x1) at += 2;
        if (m & 0x4) at += 2 + 4 * static_cast<std::size_t>(b.U16(at));
        for (int l = 0; l < 5 && b.Has(at, 0); ++l) {
            if (m & (0x8u << l)) {
                if (b.Has(at, 2)) out.rulerLevels[l].leftMargin = static_cast<float>(b.U16(at)) / 8.0f;
                at += 2;
            }
            if (m & (0x100u << l)) {
                if (b.Has(at, 2)) out.rulerLevels[l].firstMargin = static_cast<float>(b.U16(at)) / 8.0f;
                at += 2;
            }
        }
    }

    // Hyperlinks of text ranges and fields.
    std::vector<Field> fields;
    for (std::size_t i = 0; i < source.extras.size(); ++i) {
        const CPptRecord& r = *source.extras[i];
        switch (r.GetType()) {
        case libpptparser::kRecordInteractiveInfo: {
            if (i + 1 >= source.extras.size() ||
                source.extras[i + 1]->GetType() != libpptparser::kRecordTxInteractiveInfoAtom)
                break;
            const CPptByteView range = source.extras[i + 1]->GetBytes();
            const std::uint32_t begin = range.U32(0), endPos = range.U32(4);
            if (begin >= endPos || begin >= n || out.links.size() >= kMaxLinks) break;
            const auto* container = dynamic_cast<const CPptContainer*>(&r);
            if (!container) break;
            const ActionData action = ReadInteractive(ctx, *container);
            if (r.GetInstance() == 0 || r.GetInstance() == 1) {
                auto it = std::find_if(out.links.begin(), out.links.end(),
                                       [&](const TextLinkData& l) { return l.start == static_cast<LONG>(begin); });
                if (it == out.links.end()) {
                    TextLinkData link;
                    link.start = static_cast<LONG>(begin);
                    link.length = static_cast<LONG>(std::min<std::size_t>(endPos, n) - begin);
                    out.links.push_back(link);
                    it = out.links.end() - 1;
                }
                (r.GetInstance() == 0 ? it->click : it->over) = action;
            }
            break;
        }
        case libpptparser::kRecordSlideNumberMCAtom:
            fields.push_back({r.GetBytes().U32(0), TextFieldData::SlideNumber, std::to_wstring(sheet.slideNumber)});
            break;
        case libpptparser::kRecordDateTimeMCAtom:
            fields.push_back({r.GetBytes().U32(0), TextFieldData::DateTime, FormatDate(ctx, r.GetBytes().U8(4))});
            break;
        case libpptparser::kRecordGenericDateMCAtom: {
            const HeaderFooterData& d = sheet.headersFooters.dateAndTime;
            fields.push_back(
                {r.GetBytes().U32(0), TextFieldData::DateTime, !d.text.empty() ? d.text : FormatDate(ctx, 0)});
            break;
        }
        case libpptparser::kRecordFooterMCAtom:
            fields.push_back({r.GetBytes().U32(0), TextFieldData::Footer, sheet.headersFooters.footer.text});
            break;
        case libpptparser::kRecordHeaderMCAtom:
            fields.push_back({r.GetBytes().U32(0), TextFieldData::Header, sheet.headersFooters.header.text});
            break;
        default:
            break;
        }
    }
    out.Normalize();
    if (sheet.isMaster) {
        // A master's fields show each slide's own values when the slide is drawn.
        if (fields.size() > kMaxFields) fields.resize(kMaxFields);
        for (const Field& f : fields)
            if (f.position < out.text.size() && out.text[f.position] != L'\r')
                out.fields.push_back({f.kind, static_cast<LONG>(f.position), f.value});
    } else {
        ExpandFields(fields, out);
    }
    out.Normalize();
}

}  // namespace Detail
}  // namespace Loader
}  // namespace PowerPoint
