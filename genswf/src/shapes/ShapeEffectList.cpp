// The timeline effects of one shape.

#include "genswf/shapes/ShapeEffectList.h"

#include "genswf/animation/TimeLine.h"

namespace genswf {

namespace {

// Room for the effects a shape usually has.
constexpr std::size_t kReservedEffects = 8;

}  // namespace

CShapeEffectList::CShapeEffectList(std::wstring shapeName, std::int32_t shapeId)
    : m_name(std::move(shapeName)), m_shapeId(shapeId) {
    m_effects.reserve(kReservedEffects);
}

std::shared_ptr<CShapeEffectList> CShapeEffectList::Create(const std::wstring& shapeName, std::int32_t shapeId) {
    return std::make_shared<CShapeEffectList>(shapeName, shapeId);
}

void CShapeEffectList::AddIfTarget(const std::shared_ptr<CTimeLineEffect>& effect) {
    if (!effect) return;
    const bool match = m_shapeId != 0 && effect->GetTargetShapeId() != 0 ? effect->GetTargetShapeId() == m_shapeId
                                                                         : effect->GetTargetShapeName() == m_name;
    if (match) m_effects.push_back(effect);
}

}  // namespace genswf
