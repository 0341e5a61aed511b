// Embedded fonts and HTML text fields.
#include "CompilerInternal.h"
#include "Files.h"
#include "Html.h"

#include <cctype>
#include <cstdio>

namespace tarnquill {

std::uint16_t Compiler::EmitFont(const Definition& def) {
    FontInfo info;
    info.name = def.fontName.empty() ? def.id : def.fontName;
    try {
        info.font = BuildFont(ResolvePath(def.src), info.name, def.chars);
    } catch (const InputError& e) {
        FailAt(def.where, "src", e.what());
    }
    if (!info.font.missing.empty()) {
        std::string list;
        for (char32_t c : info.font.missing) {
            if (c < 0x20) continue;  // line breaks and tabs are never drawn: nothing is lost
            char buffer[16];
            std::snprintf(buffer, sizeof buffer, "%sU+%04X", list.empty() ? "" : " ", static_cast<unsigned>(c));
            list += buffer;
        }
        if (!list.empty())
            warnings_.push_back(FormatError("font " + def.src + " has no outline for " + list + "; skipped",
                                            def.where.element, "chars", def.where.line));
    }
    info.id = NewCharacterId(def.where);
    BitWriter w;
    w.U16(info.id);
    w.Bytes(info.font.body);
    WriteTag(out_, kDefineFont3, w.Data(), true);
    std::uint16_t id = info.id;
    fonts_.emplace(&def, std::move(info));
    return id;
}

// A face named in the markup: a font's id, its name, or the family of its file.
std::optional<std::string> Compiler::FaceOf(const std::string& face) {
    auto byId = movie_.byId.find(face);
    if (byId != movie_.byId.end() && byId->second->kind == DefKind::Font) return Font(*byId->second).name;
    for (const auto& def : movie_.definitions)
        if (def->kind == DefKind::Font && def->fontName == face) return Font(*def).name;
    auto lower = [](std::string s) {
        for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        return s;
    };
    for (const auto& def : movie_.definitions)
        if (def->kind == DefKind::Font && lower(Font(*def).font.familyName) == lower(face)) return Font(*def).name;
    return std::nullopt;
}

std::uint16_t Compiler::EmitText(const Definition& def) {
    const FontInfo* font = nullptr;
    if (!def.fontId.empty()) {
        const Definition& target = Lookup(def.fontId, def.where, "fontId");
        if (target.kind != DefKind::Font) FailAt(def.where, "fontId", "\"" + def.fontId + "\" is not a font");
        font = &Font(target);
    }
    if (def.fontSize < 0 || def.fontSize > 65535) FailAt(def.where, "fontSize", "font size out of range");
    std::set<std::string> unknown;
    std::string html = RewriteFontFaces(
        def.html, [&](const std::string& face) { return FaceOf(face); },
        [&](const std::string& face) { unknown.insert(face); });
    for (const std::string& face : unknown)
        warnings_.push_back(FormatError("font face \"" + face + "\" is not embedded; its text may not show",
                                        def.where.element, "", def.where.line));
    if (font) {
        // Outlines only draw what the font holds; say which characters will be missing.
        std::u32string absent;
        for (char32_t c : HtmlPlainText(html))
            if (c != ' ' && c != 0xa0 && !font->font.glyphs.count(c) && absent.find(c) == std::u32string::npos)
                absent.push_back(c);
        if (!absent.empty())
            warnings_.push_back(FormatError(std::to_string(absent.size()) +
                                                " character(s) of the text are not in font \"" + def.fontId +
                                                "\" and will not show",
                                            def.where.element, "", def.where.line));
    }

    BitWriter w;
    std::uint16_t id = NewCharacterId(def.where);
    w.U16(id);
    WriteRect(w, Bounds(def));
    std::uint8_t flags = 0x80 | 0x08 | 0x04;  // has text, read-only, has colour
    if (def.wordWrap) flags |= 0x40;
    if (def.multiline) flags |= 0x20;
    if (font) flags |= 0x01;
    std::uint8_t flags2 = 0x20 | 0x02;  // has layout, HTML
    if (!def.selectable) flags2 |= 0x10;
    if (font) flags2 |= 0x01;  // draw with the embedded outlines
    w.U8(flags);
    w.U8(flags2);
    if (font) {
        w.U16(font->id);
        // A field without a size would show nothing at all.
        w.U16(static_cast<std::uint16_t>(def.fontSize ? def.fontSize : 240));
    }
    w.U8(static_cast<std::uint8_t>(def.color >> 16));
    w.U8(static_cast<std::uint8_t>(def.color >> 8));
    w.U8(static_cast<std::uint8_t>(def.color));
    w.U8(255);
    w.U8(0);   // left aligned
    w.U16(0);  // margins, indent and leading
    w.U16(0);
    w.U16(0);
    w.U16(0);
    w.String("");  // no variable
    w.String(html);
    WriteTag(out_, kDefineEditText, w.Data());
    return id;
}

}  // namespace tarnquill
