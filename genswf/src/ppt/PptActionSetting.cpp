// The mouse action of a shape or of linked text.

#include "genswf/ppt/PptActionSetting.h"

#include "PptHelpers.h"
#include "genswf/ppt/PptHyperlinks.h"

namespace genswf {

CPptActionSetting::CPptActionSetting(PowerPoint::ActionSetting* actionSetting) : CPptObject(actionSetting) {
    if (!actionSetting || actionSetting->get_Action(&m_action) < 0) ThrowPptException(__FILE__, 21);
    if (actionSetting->get_AnimateAction(&m_animateAction) < 0) ThrowPptException(__FILE__, 22);
    m_pActionSetting = actionSetting;
}

CPptActionSetting::~CPptActionSetting() = default;

PowerPoint::Hyperlink* CPptActionSetting::GetHyperlink() {
    return ReadPtrOnce(m_pHyperlink, m_pActionSetting.Get(), &PowerPoint::ActionSetting::get_Hyperlink, __FILE__, 34);
}

bool CPptActionSetting::IsEqual(CPptActionSetting& other) {
    if (m_action != other.m_action || m_animateAction != other.m_animateAction) return false;
    CComPtr<PowerPoint::Hyperlink> theirs = Adopt(other.GetHyperlink());
    CComPtr<PowerPoint::Hyperlink> ours = Adopt(GetHyperlink());
    const CPptHyperlink theirLink(theirs);
    const CPptHyperlink ourLink(ours);
    return ourLink == theirLink;
}

bool CPptActionSetting::IsSameObject(const CPptActionSetting& other) const {
    if (!m_pActionSetting || !other.m_pActionSetting) return false;
    CComPtr<IUnknown> mine;
    CComPtr<IUnknown> theirs;
    if (m_pActionSetting->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&mine)) < 0 ||
        other.m_pActionSetting->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&theirs)) < 0)
        return false;
    return mine && mine.Get() == theirs.Get();
}

}  // namespace genswf
