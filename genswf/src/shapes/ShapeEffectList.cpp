// The timeline effects of one shape.

#include "genswf/shapes/ShapeEffectList.h"

#include "genswf/animation/TimeLine.h"

namespace genswf {

namespace {

// Room for the effects a shape usually has.
constexpr std::size_t kReservedEffects = 8;

}  // namespace

CShapeEffectList::CShapeEffectList(std::wstring shapeName) : m_name(std::move(shapeName)) {
    m_effects.reserve(kReservedEffects);
}

std::shared_ptr<CShapeEffectList> CShapeEffectList::Create(const std::wstring& shapeName) {
    return std::make_shared<CShapeEffectList>(shapeName);
}

void CShapeEffectList::AddIfTarget(const std::shared_ptr<CTimeLineEffect>& effect) {
    if (effect && effect->GetTargetShapeName() == m_name) m_effects.push_back(effect);
}

}  // namespace genswf
