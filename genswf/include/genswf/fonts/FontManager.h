#pragma once
// The movie's font manager: which embedded font shows a character for a requested face, weight
// and slant; at the end of the export, the used fonts as files and "font" definitions.

#include "FontTable.h"
#include "SwfFont.h"
#include "genswf/movie/MovieTypes.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace libpptparser {
class CShape;
class CTextFrame;
}  // namespace libpptparser

namespace genswf {

class CMovie;
class CObjectsCollection;
class CPptFont;
class CPptTextRange;
class CTextLineItem;
class CTextParagraph;
class CTextParagraphItem;
class CTextPiece;
class CTextWordItem;
class SwfTextField;

struct FontKey {
    std::wstring name;  // case-sensitive
    bool bold = false;
    bool italic = false;
    bool operator==(const FontKey& o) const { return bold == o.bold && italic == o.italic && name == o.name; }
    bool operator!=(const FontKey& o) const { return !(*this == o); }
};

struct FontNameList {
    static constexpr int kMaxNames = 5;
    std::wstring names[kMaxNames];
    int count = 0;
    bool bold = false;
    bool italic = false;
    // Appends a name that is neither empty nor already listed.
    void Add(const std::wstring& name);
};

struct FontEntry {
    FontKey key;
    std::shared_ptr<SwfFont> font;
};

class CFontManager {
public:
    explicit CFontManager(CMovie* movie);
    virtual ~CFontManager();
    CFontManager(const CFontManager&) = delete;
    CFontManager& operator=(const CFontManager&) = delete;

    static std::shared_ptr<CFontManager> Create(CMovie* movie);

    // Candidate names of a PowerPoint font; bold and italic only when PowerPoint says -1.
    static FontNameList MakeFontNameList(const CPptFont& pptFont, bool asciiFirst);

    // Each of these records the character in the font it returns.
    std::shared_ptr<SwfFont> FindFontForChar(const FontNameList& nameList, std::uint32_t code, int kind);
    std::shared_ptr<SwfFont> FindOrCreateFont(const FontKey& key, std::uint32_t code, int kind);
    std::shared_ptr<SwfFont> FindFontByKind(std::uint32_t code, int kind, bool bold, bool italic);
    // The face of the saved presentation's character-style run at the position; null when that
    // source is switched off or says nothing.
    std::shared_ptr<SwfFont> FindFontFromCharacterStyle(const libpptparser::CTextFrame* parsedTextFrame,
                                                        std::uint32_t position, int kind);
    std::shared_ptr<SwfFont> FindFontFromCharacterStyle(const libpptparser::CShape* parsedShape, std::uint32_t position,
                                                        int kind);

    // --- Font passes: a piece of text cut into stretches of one font and one link ---
    // A PowerPoint run of a paragraph of the text-frame path: its pieces in text order.
    std::vector<std::shared_ptr<CTextPiece>> CollectRunFonts(const std::shared_ptr<CPptTextRange>& run,
                                                             CTextParagraph& paragraph);
    // The bullet of a paragraph of the text-frame path at its first line; null when none shows.
    std::shared_ptr<CTextPiece> CollectBulletFont(CTextParagraph& paragraph);
    // The characters of a word of the shape text index on one line: the word's fields replace
    // what `fields` held, in text order.
    void CollectParsedRunFonts(CTextWordItem& word, CTextLineItem& line, std::vector<CRefPtr<SwfTextField>>& fields);
    // The bullet of a paragraph of the shape text index; null when none shows.
    CRefPtr<SwfTextField> CollectParsedBulletFont(CTextParagraphItem& paragraph);

    // Saves every used font into the folder and adds its definition to GetObjects().
    void ExportFonts(const std::wstring& folder);
    // One "font" element per used font under parent.
    void WriteFontElements(const XmlNodePtr& parent);

    const std::shared_ptr<CObjectsCollection>& GetObjects() const { return m_objects; }
    const std::vector<FontEntry>& GetEntries() const { return m_entries; }

    // Whether fonts may come from the saved presentation's character styles (off unless the
    // export settings ask for it).
    void SetUseCharacterStyleFonts(bool on) { m_useCharacterStyleFonts = on; }
    bool GetUseCharacterStyleFonts() const { return m_useCharacterStyleFonts; }

private:
    // FindOrCreateFont of the key {name, bold, italic}.
    std::shared_ptr<SwfFont> FindOrCreateFont(const std::wstring& name, bool bold, bool italic, std::uint32_t code,
                                              int kind);
    // The distinct used fonts, in entry order.
    std::vector<std::shared_ptr<SwfFont>> UsedFonts() const;

    CMovie* m_movie;
    std::vector<FontEntry> m_entries;
    std::shared_ptr<CObjectsCollection> m_objects;
    bool m_useCharacterStyleFonts = false;
};

}  // namespace genswf
