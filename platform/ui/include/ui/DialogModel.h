#pragma once
// A dialog without a window: its controls' state (text, enabled, visible, checked, range and
// position) by control id, its title, timers and result. Dialog classes keep their logic on top
// of it; a view shows the state and feeds the user's input back as commands.

#include <functional>
#include <map>
#include <string>
#include <vector>

namespace ui {

constexpr int IDOK = 1;
constexpr int IDCANCEL = 2;
constexpr int EN_CHANGE = 0x300;
constexpr int BN_CLICKED = 0;

struct CControlState {
    std::wstring text;
    bool enabled = true;
    bool visible = true;
    bool checked = false;
    int rangeMin = 0;
    int rangeMax = 100;
    int position = 0;
    std::vector<std::wstring> items;  // list entries
    int selection = -1;
};

class CDialogModel {
public:
    explicit CDialogModel(int resourceId) : m_resourceId(resourceId) {}
    virtual ~CDialogModel() = default;
    CDialogModel(const CDialogModel&) = delete;
    CDialogModel& operator=(const CDialogModel&) = delete;

    int GetResourceId() const { return m_resourceId; }
    const std::wstring& GetTitle() const { return m_title; }
    void SetTitle(const std::wstring& title) { m_title = title; }

    // A control's state; made (with defaults) on first use.
    CControlState& Control(int id) { return m_controls[id]; }
    const CControlState* FindControl(int id) const;

    void SetItemText(int id, const std::wstring& text) { Control(id).text = text; }
    std::wstring GetItemText(int id) const;
    void EnableItem(int id, bool enable) { Control(id).enabled = enable; }
    bool IsItemEnabled(int id) const;
    void ShowItem(int id, bool show) { Control(id).visible = show; }
    bool IsItemVisible(int id) const;
    void CheckItem(int id, bool check) { Control(id).checked = check; }
    bool IsItemChecked(int id) const;
    // Checks `id` and clears the other buttons of first..last.
    void CheckRadioButton(int first, int last, int id);
    void SetFocusItem(int id) { m_focus = id; }
    int GetFocusItem() const { return m_focus; }

    void SetTimer(int id);
    void KillTimer(int id);
    // The next running timer that is due; false when none runs.
    bool NextTimer(int& id) const;

    void EndDialog(int result) {
        m_result = result;
        m_ended = true;
    }
    bool IsEnded() const { return m_ended; }
    int GetResult() const { return m_result; }

    // Messages, as a modal loop delivers them.
    virtual void OnInitDialog() {}
    virtual void OnShowWindow() {}
    virtual void OnTimer(int /*id*/) {}
    // False when the command is not one the dialog handles.
    virtual bool OnCommand(int /*id*/, int /*notifyCode*/) { return false; }

private:
    int m_resourceId;
    std::wstring m_title;
    std::map<int, CControlState> m_controls;
    std::vector<int> m_timers;
    int m_focus = 0;
    bool m_ended = false;
    int m_result = 0;
};

// Runs a dialog as a modal loop does: WM_INITDIALOG, WM_SHOWWINDOW, then timers while they
// run and `input` whenever none does, until the dialog ends. A loop that gets no input and has
// nothing else to deliver ends the dialog with IDCANCEL rather than waiting for ever.
int RunModal(CDialogModel& dialog, const std::function<void(CDialogModel&)>& input);

}  // namespace ui
