// The slide timeline wrapper.

#include "genswf/ppt/PptTimeLine.h"

#include "PptHelpers.h"

namespace genswf {

CPptTimeLine::CPptTimeLine(PowerPoint::TimeLine* timeLine)
    : CPptObject<PowerPoint::TimeLine>(timeLine), m_pTimeLine(timeLine) {}

CPptTimeLine::~CPptTimeLine() { m_mainSequence.reset(); }

PowerPoint::Sequence* CPptTimeLine::GetMainSequencePtr() {
    return ReadPtrOnce(m_pMainSequence, m_pTimeLine.Get(), &PowerPoint::TimeLine::get_MainSequence, __FILE__, 31);
}

std::shared_ptr<CPptSequence> CPptTimeLine::GetMainSequence() {
    if (!m_mainSequence) m_mainSequence = std::make_shared<CPptSequence>(Adopt(GetMainSequencePtr()));
    return m_mainSequence;
}

}  // namespace genswf
