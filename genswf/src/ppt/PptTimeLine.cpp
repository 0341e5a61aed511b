// The slide timeline wrapper.

#include "genswf/ppt/PptTimeLine.h"

#include "PptHelpers.h"

namespace genswf {

CPptTimeLine::CPptTimeLine(PowerPoint::TimeLine* timeLine)
    : CPptObject<PowerPoint::TimeLine>(timeLine), m_pTimeLine(AddRefCopy(timeLine)) {}

CPptTimeLine::~CPptTimeLine() {
    m_mainSequence.reset();
    SafeRelease(m_pMainSequence);
    SafeRelease(m_pTimeLine);
}

PowerPoint::Sequence* CPptTimeLine::GetMainSequencePtr() {
    if (!m_pMainSequence) {
        PowerPoint::Sequence* sequence = nullptr;
        if (!m_pTimeLine || m_pTimeLine->get_MainSequence(&sequence) < 0 || !sequence) {
            SafeRelease(sequence);
            ThrowPptException(__FILE__, 31);
        }
        m_pMainSequence = sequence;
    }
    return AddRefCopy(m_pMainSequence);
}

std::shared_ptr<CPptSequence> CPptTimeLine::GetMainSequence() {
    if (!m_mainSequence) {
        PowerPoint::Sequence* sequence = GetMainSequencePtr();
        try {
            m_mainSequence = std::make_shared<CPptSequence>(sequence);
        } catch (...) {
            sequence->Release();
            throw;
        }
        sequence->Release();
    }
    return m_mainSequence;
}

}  // namespace genswf
