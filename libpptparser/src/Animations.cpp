// Animations of the slide's timeline: the time nodes three levels below its root.

#include "libpptparser/Presentation.h"

#include "ModelLookups.h"

namespace libpptparser {

namespace {

// Behaviour containers, in the order they are looked for.
constexpr uint16_t kBehaviours[] = {kRecordTimeAnimateBehavior, kRecordTimeSetBehavior,      kRecordTimeColorBehavior,
                                    kRecordTimeScaleBehavior,   kRecordTimeRotationBehavior, kRecordTimeMotionBehavior,
                                    kRecordTimeEffectBehavior,  kRecordTimeCommandBehavior};

std::vector<std::shared_ptr<CPptContainer>> TimeNodes(const CPptContainer& node) {
    std::vector<std::shared_ptr<CPptContainer>> nodes;
    for (const auto& child : node.GetChildren())
        if (child->GetType() == kRecordAnimGroup && child->IsContainer())
            nodes.push_back(std::static_pointer_cast<CPptContainer>(child));
    return nodes;
}

}  // namespace

CAnimationsCollection::CAnimationsCollection(const std::shared_ptr<CPptContainer>& node, CSlide* slide,
                                             CPresentation* presentation)
    : m_slide(slide), m_presentation(presentation) {
    if (!node) return;
    for (const auto& level1 : TimeNodes(*node))
        for (const auto& level2 : TimeNodes(*level1))
            for (const auto& level3 : TimeNodes(*level2)) {
                try {
                    m_animations.push_back(std::make_shared<CAnimation>(level3, this, presentation));
                } catch (const CPptParserException& e) {
                    // A malformed effect is left out; the other effects and the slide stay.
                    presentation->AddWarning(L"Slide " + std::to_wstring(slide ? slide->GetIndex() + 1 : 0) +
                                             L": an animation is left out: " + e.GetMessage());
                }
            }
}

CAnimationsCollection::~CAnimationsCollection() = default;

CAnimation::CAnimation(const std::shared_ptr<CPptContainer>& node, CAnimationsCollection* collection,
                       CPresentation* presentation)
    : m_collection(collection), m_presentation(presentation) {
    m_iteration = node->FindChild<CPptAnimIterationAtom>(kRecordAnimIterationAtom);

    if (const auto subEffect = node->FindChildContainer(kRecordSubEffect)) {
        if (const auto element = subEffect->FindChildContainer(kRecordClientVisualElement)) {
            const auto reference = PPT_REQUIRE(element->FindChild<CPptAnimReferenceAtom>(kRecordAnimReferenceAtom),
                                               L"no target reference");
            m_sound = presentation->GetSounds()->FindSound(static_cast<int32_t>(reference->GetValue(2)));
        }
    }

    const auto child = PPT_REQUIRE(node->FindChildContainer(kRecordAnimGroup), L"a time node has no child time node");
    std::shared_ptr<CPptContainer> behaviour;
    for (uint16_t type : kBehaviours)
        if ((behaviour = child->FindChildContainer(type))) break;
    if (!behaviour) PPT_PARSER_THROW(L"Animate Target not found");
    const auto core = PPT_REQUIRE(behaviour->FindChildContainer(kRecordBehaviourCore), L"a behaviour has no core");
    const auto element =
        PPT_REQUIRE(core->FindChildContainer(kRecordClientVisualElement), L"a behaviour has no target");
    const auto reference =
        PPT_REQUIRE(element->FindChild<CPptAnimReferenceAtom>(kRecordAnimReferenceAtom), L"no target reference");
    m_refMode = reference->GetValue(0);
}

CAnimation::~CAnimation() = default;

}  // namespace libpptparser
