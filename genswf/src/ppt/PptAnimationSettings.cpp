// The snapshot of a shape's entry animation.

#include "genswf/ppt/PptAnimationSettings.h"

#include "PptHelpers.h"

namespace genswf {

namespace {

// Failures are not reported: the field keeps what it held.
template <class T>
void ReadQuietly(PowerPoint::AnimationSettings* settings, HRESULT (PowerPoint::AnimationSettings::*get)(T*), T& field) {
    T value{};
    if ((settings->*get)(&value) >= 0) field = value;
}

}  // namespace

CPptAnimationSettings::CPptAnimationSettings(PowerPoint::AnimationSettings* settings, CShape* owner, bool ownerHasText)
    : m_pSettings(settings), m_owner(owner) {
    using A = PowerPoint::AnimationSettings;
    if (!m_pSettings) return;
    ReadQuietly(m_pSettings, &A::get_Animate, m_animate);
    if (m_animate != PowerPoint::msoTrue) return;
    ReadQuietly(m_pSettings, &A::get_AnimationOrder, m_animationOrder);
    ReadQuietly(m_pSettings, &A::get_AfterEffect, m_afterEffect);
    if (m_afterEffect == PowerPoint::ppAfterEffectDim) {
        CComPtr<PowerPoint::ColorFormat> color;
        if (m_pSettings->get_DimColor(&color) >= 0 && color) {
            ULONG rgb = 0;
            if (color->get_RGB(&rgb) >= 0) m_dimColor = rgb;
        }
    }
    ReadQuietly(m_pSettings, &A::get_AdvanceMode, m_advanceMode);
    ReadQuietly(m_pSettings, &A::get_EntryEffect, m_entryEffect);
    ReadQuietly(m_pSettings, &A::get_AdvanceTime, m_advanceTime);
    if (ownerHasText) {
        ReadQuietly(m_pSettings, &A::get_TextLevelEffect, m_textLevelEffect);
        ReadQuietly(m_pSettings, &A::get_AnimateTextInReverse, m_animateTextInReverse);
    }
    ReadQuietly(m_pSettings, &A::get_AnimateBackground, m_animateBackground);
}

CPptAnimationSettings::~CPptAnimationSettings() = default;

CRefPtr<CPptAnimationSettings> CreatePptAnimationSettings(PowerPoint::AnimationSettings* settings, CShape* owner,
                                                          bool ownerHasText) {
    return CRefPtr<CPptAnimationSettings>(new CPptAnimationSettings(settings, owner, ownerHasText));
}

}  // namespace genswf
