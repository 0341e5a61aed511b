#pragma once
// The one channel through which exports report what they are doing and learn of a cancel.
// The base class stores every value and never cancels; the progress dialog derives from it.

#include <algorithm>
#include <cstddef>
#include <string>
#include <vector>

namespace genswf {

enum ProgressTask {
    TASK_COLLECTING_DATA = 1,  // "IDS_TASK_COLLECTING_DATA"
    TASK_EXPORT_FILES = 2,     // "IDS_TASK_EXPORT_FILES"
    TASK_EXPORT_XML = 3,       // "IDS_TASK_EXPORT_XML"
    TASK_COMPILE_SWF = 4,      // "IDS_TASK_COMPILE_SWF": SetValue gives the percent done
};

class CProgressSink {
public:
    virtual int SetTask(int task) { return m_task = task; }
    virtual int SetSlide(int index) { return m_slide = index; }
    virtual int SetShape(int index) { return m_shape = index; }
    virtual int SetSlideCount(int count) { return m_slideCount = count; }
    virtual int SetValue(int value) { return m_value = value; }
    // Lets the user interface run; throws CInterruptedException once the user has cancelled.
    virtual void PumpMessagesAndCheckCancel() {}
    // The same at once, without waiting for the interface's next turn: the last chance to
    // cancel before the output is touched.
    virtual void CheckCancelNow() { PumpMessagesAndCheckCancel(); }
    virtual int SetShapeCount(int count) { return m_shapeCount = count; }
    // Something the movie leaves out or shows otherwise than the presentation does, while the
    // export goes on. Each text is kept once, in the order first reported; a damaged deck's
    // flood of them is counted past the first kMaxWarnings.
    virtual void AddWarning(const std::wstring& text) {
        if (text.empty() || std::find(m_warnings.begin(), m_warnings.end(), text) != m_warnings.end()) return;
        if (m_warnings.size() < kMaxWarnings)
            m_warnings.push_back(text);
        else
            ++m_warningsLeftOut;
    }
    virtual ~CProgressSink() = default;

    int GetTask() const { return m_task; }
    int GetShape() const { return m_shape; }
    int GetSlide() const { return m_slide; }
    int GetSlideCount() const { return m_slideCount; }
    int GetValue() const { return m_value; }
    int GetShapeCount() const { return m_shapeCount; }
    const std::vector<std::wstring>& GetWarnings() const { return m_warnings; }
    // Further distinct warnings (or repeats of them) beyond those kept.
    int GetWarningsLeftOut() const { return m_warningsLeftOut; }
    static constexpr std::size_t kMaxWarnings = 100;

private:
    int m_task = 0;
    int m_shape = 0;
    int m_slide = 0;
    int m_slideCount = 0;
    int m_value = 0;
    int m_shapeCount = 0;
    std::vector<std::wstring> m_warnings;
    int m_warningsLeftOut = 0;
};

}  // namespace genswf
