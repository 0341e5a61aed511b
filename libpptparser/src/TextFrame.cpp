// Text frames: the shape's text, from its text box or from the slide list, and its runs.

#include "libpptparser/Presentation.h"

namespace libpptparser {

CCharacterStyle::CCharacterStyle(const CPptCharacterStyle& run, uint32_t start, const CPresentation& presentation)
    : m_start(start),
      m_length(run.GetCharacterCount()),
      m_mask(run.GetMask()),
      m_fontStyle(run.GetStyleFlags()),
      m_size(run.GetFontSize()),
      m_color(run.GetColor()),
      m_position(run.GetPosition()) {
    if (m_mask & kCharFont) m_font = presentation.GetFontEntity(run.GetFont());
    if (m_mask & kCharSymbolFont) m_symbolFont = presentation.GetFontEntity(run.GetSymbolFont());
}

CCharacterStyle::~CCharacterStyle() = default;

// ---------------------------------------------------------------------------------------------

CTextFrame::CTextFrame(const std::shared_ptr<CPptContainer>& textBox, CShape* shape) : m_shape(shape) {
    const auto first = textBox->GetChild(0);
    if (!first) return;
    if (first->GetType() == kRecordTextHeaderAtom) {
        ReadText(*textBox, 1);
    } else if (first->GetType() == kRecordOutlineTextRefAtom) {
        if (const auto reference = std::dynamic_pointer_cast<CPptOutlineTextRefAtom>(first))
            ReadOutlineText(reference->GetIndex());
    }
}

CTextFrame::~CTextFrame() = default;

void CTextFrame::ReadText(const CPptContainer& container, size_t i) {
    auto child = container.GetChild(i);
    if (!child) return;
    if (child->GetType() == kRecordTextCharsAtom || child->GetType() == kRecordTextBytesAtom) {
        if (const auto text = std::dynamic_pointer_cast<CPptCommonString>(child)) m_text = text->GetText();
        child = container.GetChild(i + 1);
    }
    const auto style = std::dynamic_pointer_cast<CPptStyleTextPropAtom>(child);
    if (!style || style->GetType() != kRecordStyleTextPropAtom) return;
    const CPresentation& presentation = *m_shape->GetPresentation();
    uint64_t position = 0;
    for (const auto& run : style->GetCharacterStyles()) {
        if (position > UINT32_MAX) break;
        m_characterStyles.push_back(
            std::make_shared<CCharacterStyle>(*run, static_cast<uint32_t>(position), presentation));
        m_hasCharacterStyles = true;
        position += run->GetCharacterCount();
    }
}

// The slide list holds, after the slide's persist atom and before the next one, the slide's
// text headers in order; the reference is the 0-based number of the header among them.
void CTextFrame::ReadOutlineText(uint32_t reference) {
    const CSlide* slide = m_shape->GetCollection()->GetSlide();
    const auto list = m_shape->GetPresentation()->GetSlideList();
    if (!list || !slide) return;
    const auto& children = list->GetChildren();
    size_t i = 0;
    if (const auto own = slide->GetPersistAtom()) {
        while (i < children.size() && children[i] != own) ++i;
        if (i == children.size()) return;
        ++i;
    } else {
        // Without a known persist atom, the slide's entry is the one at its own position.
        uint64_t persistAtoms = 0;
        while (i < children.size() && persistAtoms < static_cast<uint64_t>(slide->GetIndex()) + 1) {
            if (children[i]->GetType() == kRecordSlidePersistAtom) ++persistAtoms;
            ++i;
        }
        if (persistAtoms < static_cast<uint64_t>(slide->GetIndex()) + 1) return;
    }
    uint64_t headers = 0;
    for (; i < children.size(); ++i) {
        const uint16_t type = children[i]->GetType();
        if (type == kRecordSlidePersistAtom) return;
        if (type != kRecordTextHeaderAtom) continue;
        if (headers++ == reference) {
            ReadText(*list, i + 1);
            return;
        }
    }
}

bool CTextFrame::FindCharacterStyle(uint32_t position, std::shared_ptr<CCharacterStyle>& style) const {
    for (const auto& run : m_characterStyles) {
        if (run->GetStart() <= position && position - run->GetStart() < run->GetLength()) {
            style = run;
            return true;
        }
    }
    return false;
}

}  // namespace libpptparser
