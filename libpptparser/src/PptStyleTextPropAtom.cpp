// Paragraph and character runs. Each run reads the fields its mask announces, in the format's
// order and with their widths, so the run after it starts where it really starts.

#include "libpptparser/PptStyleTextPropAtom.h"

#include "libpptparser/PptAtoms.h"

namespace libpptparser {

namespace {

// Reads the optional fields of one run in order; any field past the data marks the run short.
class CFieldReader {
public:
    CFieldReader(CPptByteView data, size_t offset) : m_data(data), m_offset(offset) {}
    bool Ok() const { return m_ok; }
    size_t Offset() const { return m_offset; }

    template <class T>
    void Read(bool present, T& field) {
        if (!present || !m_ok) return;
        const size_t width = sizeof(T) <= 2 ? 2 : 4;
        if (!m_data.Has(m_offset, width)) {
            m_ok = false;
            return;
        }
        field = static_cast<T>(width == 2 ? m_data.U16(m_offset) : m_data.U32(m_offset));
        m_offset += width;
    }

    void ReadTabStops(bool present, std::vector<CPptTabStop>& stops) {
        if (!present || !m_ok) return;
        uint16_t count = 0;
        Read(true, count);
        if (!m_ok) return;
        if (!m_data.Has(m_offset, static_cast<size_t>(count) * 4)) {
            m_ok = false;
            return;
        }
        stops.resize(count);
        for (auto& stop : stops) {
            stop.position = m_data.I16(m_offset);
            stop.type = m_data.U16(m_offset + 2);
            m_offset += 4;
        }
    }

private:
    CPptByteView m_data;
    size_t m_offset;
    bool m_ok = true;
};

constexpr size_t kParagraphHeader = 10;  // count u32, indent level u16, mask u32
constexpr size_t kCharacterHeader = 8;   // count u32, mask u32

}  // namespace

CPptParagraphStyle::CPptParagraphStyle(CPptByteView data, size_t offset) {
    if (!data.Has(offset, kParagraphHeader)) return;
    m_characterCount = data.U32(offset);
    m_indentLevel = data.U16(offset + 4);
    m_mask = data.U32(offset + 6);
    const uint32_t m = m_mask;
    CFieldReader r(data, offset + kParagraphHeader);
    r.Read((m & kParaBulletFlagsMask) != 0, m_bulletFlags);
    r.Read((m & kParaBulletChar) != 0, m_bulletChar);
    r.Read((m & kParaBulletFont) != 0, m_bulletFont);
    r.Read((m & kParaBulletSize) != 0, m_bulletSize);
    r.Read((m & kParaBulletColor) != 0, m_bulletColor);
    r.Read((m & kParaAlignment) != 0, m_alignment);
    r.Read((m & kParaLineSpacing) != 0, m_lineSpacing);
    r.Read((m & kParaSpaceBefore) != 0, m_spaceBefore);
    r.Read((m & kParaSpaceAfter) != 0, m_spaceAfter);
    r.Read((m & kParaLeftMargin) != 0, m_leftMargin);
    r.Read((m & kParaIndent) != 0, m_indent);
    r.Read((m & kParaDefaultTabSize) != 0, m_defaultTabSize);
    r.ReadTabStops((m & kParaTabStops) != 0, m_tabStops);
    r.Read((m & kParaFontAlign) != 0, m_fontAlign);
    r.Read((m & kParaWrapFlagsMask) != 0, m_wrapFlags);
    r.Read((m & kParaTextDirection) != 0, m_textDirection);
    m_complete = r.Ok();
    m_size = static_cast<uint32_t>(r.Offset() - offset);
}

CPptParagraphStyle::~CPptParagraphStyle() = default;

CPptCharacterStyle::CPptCharacterStyle(CPptByteView data, size_t offset) {
    if (!data.Has(offset, kCharacterHeader)) return;
    m_characterCount = data.U32(offset);
    m_mask = data.U32(offset + 4);
    const uint32_t m = m_mask;
    CFieldReader r(data, offset + kCharacterHeader);
    r.Read((m & kCharStyleFlagsMask) != 0, m_styleFlags);
    r.Read((m & kCharFont) != 0, m_font);
    r.Read((m & kCharFarEastFont) != 0, m_farEastFont);
    r.Read((m & kCharAnsiFont) != 0, m_ansiFont);
    r.Read((m & kCharSymbolFont) != 0, m_symbolFont);
    r.Read((m & kCharFontSize) != 0, m_fontSize);
    r.Read((m & kCharColor) != 0, m_color);
    r.Read((m & kCharPosition) != 0, m_position);
    r.Read((m & kCharPp10Ext) != 0, m_pp10Ext);
    r.Read((m & kCharNewEastAsianFont) != 0, m_newEastAsianFont);
    r.Read((m & kCharComplexScriptFont) != 0, m_complexScriptFont);
    r.Read((m & kCharPp11Ext) != 0, m_pp11Ext);
    m_complete = r.Ok();
    m_size = static_cast<uint32_t>(r.Offset() - offset);
}

CPptCharacterStyle::~CPptCharacterStyle() = default;

CPptStyleTextPropAtom::CPptStyleTextPropAtom(const CPptRecordDescriptor& descriptor) : CPptAtom(descriptor) {
    const CPptContainer* parent = GetParent();
    if (!parent || GetOrdinal() == 0) return;
    const auto previous = parent->GetChild(GetOrdinal() - 1);
    if (!previous || (previous->GetType() != kRecordTextCharsAtom && previous->GetType() != kRecordTextBytesAtom))
        return;
    const auto text = std::dynamic_pointer_cast<CPptCommonString>(previous);
    if (!text) return;
    const uint64_t textLength = text->GetLength();
    const CPptByteView data = GetBytes();

    // The runs cover the text and its final character mark: each loop ends once the counts
    // pass the text's length, or when the next run does not fit in the data.
    size_t offset = 0;
    uint64_t sum = 0;
    while (offset < data.size()) {
        auto run = std::make_shared<CPptParagraphStyle>(data, offset);
        if (!run->IsComplete()) break;
        m_paragraphs.push_back(run);
        sum += run->GetCharacterCount();
        offset += run->GetSize();
        if (sum > textLength) break;
    }
    sum = 0;
    while (offset < data.size()) {
        auto run = std::make_shared<CPptCharacterStyle>(data, offset);
        if (!run->IsComplete()) break;
        m_characters.push_back(run);
        sum += run->GetCharacterCount();
        offset += run->GetSize();
        if (sum > textLength) break;
    }
}

}  // namespace libpptparser
