#pragma once
// A snapshot of a shape's entry animation (effect, order, timing, after effect), taken once.

#include "Ppt.h"
#include "genswf/utils/Utils.h"

namespace genswf {

class CShape;

class CPptAnimationSettings : public CRefCounted {
public:
    // Reads what the shape's animation needs; a failing read leaves its field at its start
    // value. ownerHasText: whether the owning shape exporter found text in the shape.
    CPptAnimationSettings(PowerPoint::AnimationSettings* settings, CShape* owner, bool ownerHasText);
    ~CPptAnimationSettings() override;
    CPptAnimationSettings(const CPptAnimationSettings&) = delete;
    CPptAnimationSettings& operator=(const CPptAnimationSettings&) = delete;

    CShape* GetOwner() const { return m_owner; }
    PowerPoint::MsoTriState GetAnimate() const { return m_animate; }
    PowerPoint::MsoTriState GetAnimateBackground() const { return m_animateBackground; }
    PowerPoint::MsoTriState GetAnimateTextInReverse() const { return m_animateTextInReverse; }
    LONG GetAnimationOrder() const { return m_animationOrder; }  // -1 when not animated
    PowerPoint::PpAfterEffect GetAfterEffect() const { return m_afterEffect; }
    PowerPoint::PpAdvanceMode GetAdvanceMode() const { return m_advanceMode; }
    PowerPoint::PpEntryEffect GetEntryEffect() const { return m_entryEffect; }
    PowerPoint::PpTextLevelEffect GetTextLevelEffect() const { return m_textLevelEffect; }
    ULONG GetDimColor() const { return m_dimColor; }        // 0x00BBGGRR, read only for a dim after effect
    float GetAdvanceTime() const { return m_advanceTime; }  // seconds

private:
    CComPtr<PowerPoint::AnimationSettings> m_pSettings;
    CShape* m_owner = nullptr;
    PowerPoint::MsoTriState m_animate = 0;
    PowerPoint::MsoTriState m_animateBackground = 0;
    PowerPoint::MsoTriState m_animateTextInReverse = 0;
    LONG m_animationOrder = -1;
    PowerPoint::PpAfterEffect m_afterEffect = 0;
    PowerPoint::PpAdvanceMode m_advanceMode = 0;
    PowerPoint::PpEntryEffect m_entryEffect = 0;
    PowerPoint::PpTextLevelEffect m_textLevelEffect = 0;
    ULONG m_dimColor = 0;
    float m_advanceTime = 0.0f;
};

// Never throws a PowerPoint failure; the holder owns the one reference.
CRefPtr<CPptAnimationSettings> CreatePptAnimationSettings(PowerPoint::AnimationSettings* settings, CShape* owner,
                                                          bool ownerHasText);

}  // namespace genswf
