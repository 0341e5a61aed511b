// The animation sequence wrapper.

#include "genswf/ppt/PptTimeLine.h"

#include "PptHelpers.h"

namespace genswf {

CPptSequence::CPptSequence(PowerPoint::Sequence* sequence)
    : CPptObject<PowerPoint::Sequence>(sequence), m_pSequence(sequence) {
    LONG count = 0;
    if (!m_pSequence || m_pSequence->get_Count(&count) < 0) ThrowPptException(__FILE__, 20);
    m_count = count < 0 ? 0 : count;
    m_effects.resize(static_cast<std::size_t>(m_count));
    m_effectWrappers.assign(static_cast<std::size_t>(m_count), nullptr);
}

CPptSequence::~CPptSequence() {
    m_effectWrappers.clear();
    m_effects.clear();
}

PowerPoint::Effect* CPptSequence::GetItem(LONG i) {
    // Outside the count read at construction: nothing, rather than a read past the cache.
    if (i < 0 || i >= m_count) return nullptr;
    CComPtr<PowerPoint::Effect>& slot = m_effects[static_cast<std::size_t>(i)];
    if (!slot) {
        CComPtr<PowerPoint::Effect> effect;
        if (m_pSequence->Item(i + 1, &effect) < 0 || !effect) ThrowPptException(__FILE__, 35);
        slot = std::move(effect);
    }
    return AddRefCopy(slot);
}

std::shared_ptr<CPptEffect> CPptSequence::GetEffect(LONG i) {
    if (i < 0 || i >= m_count) return nullptr;
    std::shared_ptr<CPptEffect>& slot = m_effectWrappers[static_cast<std::size_t>(i)];
    if (!slot) {
        slot = std::make_shared<CPptEffect>(Adopt(GetItem(i)));
    }
    return slot;
}

}  // namespace genswf
