#pragma once
// Paragraph and character formatting runs of the text atom just before the style atom.

#include <cstdint>
#include <memory>
#include <vector>

#include "libpptparser/PptRecord.h"
#include "libpptparser/PptRecordVisitor.h"

namespace libpptparser {

// Paragraph property masks.
enum PptParagraphMask : uint32_t {
    kParaBulletFlagsMask = 0x0000000F,
    kParaBulletFont = 0x00000010,
    kParaBulletColor = 0x00000020,
    kParaBulletSize = 0x00000040,
    kParaBulletChar = 0x00000080,
    kParaLeftMargin = 0x00000100,
    kParaIndent = 0x00000400,
    kParaAlignment = 0x00000800,
    kParaLineSpacing = 0x00001000,
    kParaSpaceBefore = 0x00002000,
    kParaSpaceAfter = 0x00004000,
    kParaDefaultTabSize = 0x00008000,
    kParaFontAlign = 0x00010000,
    kParaWrapFlagsMask = 0x000E0000,  // character wrap, word wrap, overflow
    kParaTabStops = 0x00100000,
    kParaTextDirection = 0x00200000,
};

// Character property masks.
enum PptCharacterMask : uint32_t {
    kCharStyleFlagsMask = 0x0000FFFF,
    kCharFont = 0x00010000,
    kCharFontSize = 0x00020000,
    kCharColor = 0x00040000,
    kCharPosition = 0x00080000,
    kCharPp10Ext = 0x00100000,
    kCharFarEastFont = 0x00200000,
    kCharAnsiFont = 0x00400000,
    kCharSymbolFont = 0x00800000,
    kCharNewEastAsianFont = 0x01000000,
    kCharComplexScriptFont = 0x02000000,
    kCharPp11Ext = 0x04000000,
};

struct CPptTabStop {
    int16_t position = 0;
    uint16_t type = 0;
};

class CPptParagraphStyle {
public:
    // Reads the run at `offset`; IsComplete is false when its fields run past the data.
    CPptParagraphStyle(CPptByteView data, size_t offset);
    virtual ~CPptParagraphStyle();
    virtual void Accept(IPptRecordVisitor& visitor) { visitor.Visit(*this); }

    bool IsComplete() const { return m_complete; }
    uint32_t GetSize() const { return m_size; }
    uint32_t GetCharacterCount() const { return m_characterCount; }
    uint16_t GetIndentLevel() const { return m_indentLevel; }
    uint32_t GetMask() const { return m_mask; }
    uint16_t GetBulletFlags() const { return m_bulletFlags; }
    uint32_t GetBulletColor() const { return m_bulletColor; }
    uint16_t GetBulletFont() const { return m_bulletFont; }
    uint16_t GetBulletSize() const { return m_bulletSize; }
    uint16_t GetBulletChar() const { return m_bulletChar; }
    uint16_t GetAlignment() const { return m_alignment; }
    uint16_t GetLineSpacing() const { return m_lineSpacing; }
    uint16_t GetSpaceBefore() const { return m_spaceBefore; }
    uint16_t GetSpaceAfter() const { return m_spaceAfter; }
    uint16_t GetLeftMargin() const { return m_leftMargin; }
    uint16_t GetIndent() const { return m_indent; }
    uint16_t GetDefaultTabSize() const { return m_defaultTabSize; }
    const std::vector<CPptTabStop>& GetTabStops() const { return m_tabStops; }
    uint16_t GetFontAlign() const { return m_fontAlign; }
    uint16_t GetWrapFlags() const { return m_wrapFlags; }
    uint16_t GetTextDirection() const { return m_textDirection; }

private:
    bool m_complete = false;
    uint32_t m_size = 0;
    uint32_t m_characterCount = 0;
    uint16_t m_indentLevel = 0;
    uint32_t m_mask = 0;
    uint16_t m_bulletFlags = 0;
    uint32_t m_bulletColor = 0;
    uint16_t m_bulletFont = 0;
    uint16_t m_bulletSize = 0;
    uint16_t m_bulletChar = 0;
    uint16_t m_alignment = 0;
    uint16_t m_lineSpacing = 0;
    uint16_t m_spaceBefore = 0;
    uint16_t m_spaceAfter = 0;
    uint16_t m_leftMargin = 0;
    uint16_t m_indent = 0;
    uint16_t m_defaultTabSize = 0;
    std::vector<CPptTabStop> m_tabStops;
    uint16_t m_fontAlign = 0;
    uint16_t m_wrapFlags = 0;
    uint16_t m_textDirection = 0;
};

class CPptCharacterStyle {
public:
    CPptCharacterStyle(CPptByteView data, size_t offset);
    virtual ~CPptCharacterStyle();
    virtual void Accept(IPptRecordVisitor& visitor) { visitor.Visit(*this); }

    bool IsComplete() const { return m_complete; }
    uint32_t GetSize() const { return m_size; }
    uint32_t GetCharacterCount() const { return m_characterCount; }
    uint32_t GetMask() const { return m_mask; }
    uint16_t GetStyleFlags() const { return m_styleFlags; }
    uint16_t GetFont() const { return m_font; }
    uint16_t GetFontSize() const { return m_fontSize; }
    uint32_t GetColor() const { return m_color; }
    uint16_t GetPosition() const { return m_position; }
    uint16_t GetSymbolFont() const { return m_symbolFont; }
    uint16_t GetFarEastFont() const { return m_farEastFont; }
    uint16_t GetAnsiFont() const { return m_ansiFont; }
    uint32_t GetPp10Ext() const { return m_pp10Ext; }
    uint16_t GetNewEastAsianFont() const { return m_newEastAsianFont; }
    uint16_t GetComplexScriptFont() const { return m_complexScriptFont; }
    uint32_t GetPp11Ext() const { return m_pp11Ext; }

private:
    bool m_complete = false;
    uint32_t m_size = 0;
    uint32_t m_characterCount = 0;
    uint32_t m_mask = 0;
    uint16_t m_styleFlags = 0;
    uint16_t m_font = 0;
    uint16_t m_fontSize = 0;
    uint32_t m_color = 0;
    uint16_t m_position = 0;
    uint16_t m_symbolFont = 0;
    uint16_t m_farEastFont = 0;
    uint16_t m_ansiFont = 0;
    uint32_t m_pp10Ext = 0;
    uint16_t m_newEastAsianFont = 0;
    uint16_t m_complexScriptFont = 0;
    uint32_t m_pp11Ext = 0;
};

class CPptStyleTextPropAtom : public CPptAtom {
public:
    explicit CPptStyleTextPropAtom(const CPptRecordDescriptor& descriptor);
    void Accept(IPptRecordVisitor& visitor) override { visitor.Visit(*this); }
    const std::vector<std::shared_ptr<CPptParagraphStyle>>& GetParagraphStyles() const { return m_paragraphs; }
    const std::vector<std::shared_ptr<CPptCharacterStyle>>& GetCharacterStyles() const { return m_characters; }

private:
    std::vector<std::shared_ptr<CPptParagraphStyle>> m_paragraphs;
    std::vector<std::shared_ptr<CPptCharacterStyle>> m_characters;
};

}  // namespace libpptparser
