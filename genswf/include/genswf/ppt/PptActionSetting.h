#pragma once
// The mouse action of a shape or of linked text, read into plain values.

#include "Ppt.h"

namespace genswf {

class CPptActionSetting : public CPptObject<PowerPoint::ActionSetting> {
public:
    // Reads Action and AnimateAction.
    explicit CPptActionSetting(PowerPoint::ActionSetting* actionSetting);
    ~CPptActionSetting() override;

    PowerPoint::PpActionType GetAction() const { return m_action; }
    PowerPoint::MsoTriState GetAnimateAction() const { return m_animateAction; }
    // Read once; an AddRef'ed copy the caller releases.
    PowerPoint::Hyperlink* GetHyperlink();
    // Same action, same animation and a hyperlink to the same place.
    bool IsEqual(CPptActionSetting& other);
    // The same object of the object model (by COM identity), not merely an equal one.
    bool IsSameObject(const CPptActionSetting& other) const;

private:
    CComPtr<PowerPoint::ActionSetting> m_pActionSetting;
    PowerPoint::PpActionType m_action = 0;
    PowerPoint::MsoTriState m_animateAction = 0;
    CComPtr<PowerPoint::Hyperlink> m_pHyperlink;
};

}  // namespace genswf
