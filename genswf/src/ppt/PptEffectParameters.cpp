// The effect parameters wrapper and its stored record.

#include "genswf/ppt/PptTimeLine.h"

#include "PptHelpers.h"

namespace genswf {

CPptEffectParameters::CPptEffectParameters(PowerPoint::EffectParameters* parameters) : m_pParameters(parameters) {}

CPptEffectParameters::~CPptEffectParameters() = default;

PowerPoint::MsoAnimDirection CPptEffectParameters::GetDirection() {
    if (!m_directionRead) {
        PowerPoint::MsoAnimDirection direction = 0;
        // Many effects have no direction; an unreadable one counts as none and is not retried.
        m_direction = (m_pParameters && m_pParameters->get_Direction(&direction) >= 0)
                          ? direction
                          : PowerPoint::msoAnimDirectionNone;
        m_directionRead = true;
    }
    return m_direction;
}

std::shared_ptr<CEffectParameters> CreateEffectParameters(CPptEffectParameters& parameters) {
    return std::make_shared<CEffectParameters>(parameters.GetDirection());
}

}  // namespace genswf
