// Which embedded font shows a character: the requested faces first, then the stand-by faces of
// the character's kind; every font is made once per export and shared by every key that resolves
// to its face.
#include "genswf/fonts/FontManager.h"

#include "genswf/movie/Movie.h"
#include "genswf/movie/MovieObjects.h"
#include "genswf/ppt/PptFont.h"

#include "libpptparser/PptAtoms.h"
#include "libpptparser/Presentation.h"

#include <algorithm>

namespace genswf {

void FontNameList::Add(const std::wstring& name) {
    if (name.empty() || count >= kMaxNames) return;
    for (int i = 0; i < count; ++i)
        if (names[i] == name) return;
    names[count++] = name;
}

CFontManager::CFontManager(CMovie* movie) : m_movie(movie), m_objects(std::make_shared<CObjectsCollection>(movie)) {}

CFontManager::~CFontManager() = default;

std::shared_ptr<CFontManager> CFontManager::Create(CMovie* movie) { return std::make_shared<CFontManager>(movie); }

FontNameList CFontManager::MakeFontNameList(const CPptFont& pptFont, bool asciiFirst) {
    FontNameList list;
    list.bold = pptFont.GetBold() == -1;
    list.italic = pptFont.GetItalic() == -1;
    if (asciiFirst) {
        list.Add(pptFont.GetNameAscii());
        list.Add(pptFont.GetName());
        list.Add(pptFont.GetNameComplexScript());
        list.Add(pptFont.GetNameOther());
        list.Add(pptFont.GetNameFarEast());
    } else {
        list.Add(pptFont.GetName());
        list.Add(pptFont.GetNameComplexScript());
        list.Add(pptFont.GetNameOther());
        list.Add(pptFont.GetNameFarEast());
        list.Add(pptFont.GetNameAscii());
    }
    return list;
}

std::shared_ptr<SwfFont> CFontManager::FindFontForChar(const FontNameList& nameList, std::uint32_t code, int kind) {
    for (int i = 0; i < nameList.count && i < FontNameList::kMaxNames; ++i) {
        std::shared_ptr<SwfFont> font = FindOrCreateFont(nameList.names[i], nameList.bold, nameList.italic, code, kind);
        if (font) return font;
    }
    return FindFontByKind(code, kind, nameList.bold, nameList.italic);
}

std::shared_ptr<SwfFont> CFontManager::FindFontByKind(std::uint32_t code, int kind, bool bold, bool italic) {
    const CFontTable* table = CFontTable::GetGlobal();
    if (!table) return nullptr;
    for (const std::wstring& name : table->GetNamesOfKind(kind == kFontKindText ? kFontKindText : kFontKindPicture)) {
        std::shared_ptr<SwfFont> font = FindOrCreateFont(name, bold, italic, code, kind);
        if (font) return font;
    }
    return nullptr;
}

std::shared_ptr<SwfFont> CFontManager::FindOrCreateFont(const FontKey& key, std::uint32_t code, int kind) {
    return FindOrCreateFont(key.name, key.bold, key.italic, code, kind);
}

std::shared_ptr<SwfFont> CFontManager::FindOrCreateFont(const std::wstring& name, bool bold, bool italic,
                                                        std::uint32_t code, int kind) {
    // Every character of a run comes through here: the key's parts are compared where they
    // lie rather than copied into a key first.
    bool keyKnown = false;
    std::shared_ptr<SwfFont> standBy;
    std::shared_ptr<SwfFont> own;
    for (const FontEntry& entry : m_entries) {
        if (entry.key.bold != bold || entry.key.italic != italic || entry.key.name != name) continue;
        keyKnown = true;
        if (!entry.font->HasChar(code)) continue;
        if (!entry.font->IsFallback()) {
            own = entry.font;
            break;
        }
        if (!standBy) standBy = entry.font;
    }
    if (own) {
        own->AddChar(code);
        return own;
    }
    if (standBy && standBy->GetFallbackKind() == kind) {
        standBy->AddChar(code);
        return standBy;
    }
    // This key has had its font; it cannot show the character.
    if (keyKnown) return nullptr;

    std::shared_ptr<SwfFont> created = SwfFont::Create(m_movie, name, bold, italic, kind);
    if (!created) return nullptr;
    std::shared_ptr<SwfFont> chosen;
    for (const FontEntry& entry : m_entries)
        if (entry.font->IsSameFace(*created)) {
            chosen = entry.font;
            break;
        }
    if (!chosen) chosen = created;
    m_entries.push_back({FontKey{name, bold, italic}, chosen});
    if (!chosen->HasChar(code)) return nullptr;
    chosen->AddChar(code);
    return chosen;
}

std::shared_ptr<SwfFont> CFontManager::FindFontFromCharacterStyle(const libpptparser::CTextFrame* parsedTextFrame,
                                                                  std::uint32_t position, int kind) {
    if (!m_useCharacterStyleFonts || !parsedTextFrame || !parsedTextFrame->HasCharacterStyles()) return nullptr;
    const std::wstring& text = parsedTextFrame->GetText();
    // PowerPoint's text and the saved copy's may disagree in length.
    if (position >= text.size()) return nullptr;
    const std::uint32_t character = std::uint32_t(text[position]);
    std::shared_ptr<libpptparser::CCharacterStyle> style;
    if (!parsedTextFrame->FindCharacterStyle(position, style) || !style) return nullptr;
    if (!style->GetFont() && !style->GetSymbolFont()) return nullptr;
    std::shared_ptr<libpptparser::CPptFontEntityAtom> entity;
    if (kind == kFontKindSymbol && style->GetSymbolFont())
        entity = style->GetSymbolFont();
    else
        entity = style->GetFont();
    if (!entity) return nullptr;
    const bool bold = (style->GetFontStyle() & 1) != 0;
    const bool italic = (style->GetFontStyle() & 2) != 0;
    std::shared_ptr<SwfFont> font = FindOrCreateFont({entity->GetFaceName(), bold, italic}, character, kFontKindNone);
    if (!font) font = FindFontByKind(character, kind, bold, italic);
    return font;
}

std::shared_ptr<SwfFont> CFontManager::FindFontFromCharacterStyle(const libpptparser::CShape* parsedShape,
                                                                  std::uint32_t position, int kind) {
    if (!parsedShape) return nullptr;
    std::shared_ptr<libpptparser::CTextFrame> frame = parsedShape->GetTextFrame();
    return FindFontFromCharacterStyle(frame.get(), position, kind);
}

std::vector<std::shared_ptr<SwfFont>> CFontManager::UsedFonts() const {
    // A font shared by several keys is one face: it is written once, or the movie would define
    // one id twice.
    std::vector<std::shared_ptr<SwfFont>> fonts;
    for (const FontEntry& entry : m_entries)
        if (entry.font->HasUsedChars() && std::find(fonts.begin(), fonts.end(), entry.font) == fonts.end())
            fonts.push_back(entry.font);
    return fonts;
}

void CFontManager::ExportFonts(const std::wstring& folder) {
    for (const std::shared_ptr<SwfFont>& font : UsedFonts()) {
        font->SaveFontFile(folder);
        std::shared_ptr<CFontObject> definition = m_objects->AddFont();
        definition->SetId(font->GetId());
        definition->src = font->GetFileName();
        definition->name = font->GetId();
        definition->chars = font->GetUsedChars();
    }
}

void CFontManager::WriteFontElements(const XmlNodePtr& parent) {
    for (const std::shared_ptr<SwfFont>& font : UsedFonts()) font->WriteXml(parent);
}

}  // namespace genswf
