// The mouse action of a shape or of linked text.

#include "genswf/ppt/PptActionSetting.h"

#include "PptHelpers.h"
#include "genswf/ppt/PptHyperlinks.h"

namespace genswf {

CPptActionSetting::CPptActionSetting(PowerPoint::ActionSetting* actionSetting) : CPptObject(actionSetting) {
    if (!actionSetting || actionSetting->get_Action(&m_action) < 0) ThrowPptException(__FILE__, 21);
    if (actionSetting->get_AnimateAction(&m_animateAction) < 0) ThrowPptException(__FILE__, 22);
    m_pActionSetting = AddRefCopy(actionSetting);
}

CPptActionSetting::~CPptActionSetting() {
    SafeRelease(m_pHyperlink);
    SafeRelease(m_pActionSetting);
}

PowerPoint::Hyperlink* CPptActionSetting::GetHyperlink() {
    if (!m_pHyperlink) {
        PowerPoint::Hyperlink* hyperlink = nullptr;
        if (!m_pActionSetting || m_pActionSetting->get_Hyperlink(&hyperlink) < 0 || !hyperlink) {
            SafeRelease(hyperlink);
            ThrowPptException(__FILE__, 34);
        }
        m_pHyperlink = hyperlink;
    }
    return AddRefCopy(m_pHyperlink);
}

bool CPptActionSetting::IsEqual(CPptActionSetting& other) {
    if (m_action != other.m_action || m_animateAction != other.m_animateAction) return false;
    CComPtr<PowerPoint::Hyperlink> theirs;
    theirs.Attach(other.GetHyperlink());
    CComPtr<PowerPoint::Hyperlink> ours;
    ours.Attach(GetHyperlink());
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
