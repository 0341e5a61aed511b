#include "ui/DialogModel.h"

#include <algorithm>

namespace ui {

const CControlState* CDialogModel::FindControl(int id) const {
    const auto it = m_controls.find(id);
    return it == m_controls.end() ? nullptr : &it->second;
}

std::wstring CDialogModel::GetItemText(int id) const {
    const CControlState* c = FindControl(id);
    return c ? c->text : std::wstring();
}

bool CDialogModel::IsItemEnabled(int id) const {
    const CControlState* c = FindControl(id);
    return !c || c->enabled;
}

bool CDialogModel::IsItemVisible(int id) const {
    const CControlState* c = FindControl(id);
    return !c || c->visible;
}

bool CDialogModel::IsItemChecked(int id) const {
    const CControlState* c = FindControl(id);
    return c && c->checked;
}

void CDialogModel::CheckRadioButton(int first, int last, int id) {
    for (int button = first; button <= last; ++button) CheckItem(button, button == id);
}

void CDialogModel::SetTimer(int id) {
    if (std::find(m_timers.begin(), m_timers.end(), id) == m_timers.end()) m_timers.push_back(id);
}

void CDialogModel::KillTimer(int id) {
    m_timers.erase(std::remove(m_timers.begin(), m_timers.end(), id), m_timers.end());
}

bool CDialogModel::NextTimer(int& id) const {
    if (m_timers.empty()) return false;
    id = m_timers.front();
    return true;
}

int RunModal(CDialogModel& dialog, const std::function<void(CDialogModel&)>& input) {
    dialog.OnInitDialog();
    if (!dialog.IsEnded()) dialog.OnShowWindow();
    bool inputGiven = false;
    while (!dialog.IsEnded()) {
        int timer = 0;
        if (dialog.NextTimer(timer)) {
            dialog.OnTimer(timer);
            continue;
        }
        if (inputGiven || !input) {
            dialog.EndDialog(IDCANCEL);
            break;
        }
        inputGiven = true;
        input(dialog);
    }
    return dialog.GetResult();
}

}  // namespace ui
