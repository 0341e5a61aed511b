#pragma once
// The one channel through which exports report what they are doing and learn of a cancel.
// The base class stores every value and never cancels; the progress dialog derives from it.

namespace genswf {

enum ProgressTask {
    TASK_COLLECTING_DATA = 1,  // "IDS_TASK_COLLECTING_DATA"
    TASK_EXPORT_FILES = 2,     // "IDS_TASK_EXPORT_FILES"
    TASK_EXPORT_XML = 3,       // "IDS_TASK_EXPORT_XML"
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
    virtual int SetShapeCount(int count) { return m_shapeCount = count; }
    virtual ~CProgressSink() = default;

    int GetTask() const { return m_task; }
    int GetShape() const { return m_shape; }
    int GetSlide() const { return m_slide; }
    int GetSlideCount() const { return m_slideCount; }
    int GetValue() const { return m_value; }
    int GetShapeCount() const { return m_shapeCount; }

private:
    int m_task = 0;
    int m_shape = 0;
    int m_slide = 0;
    int m_slideCount = 0;
    int m_value = 0;
    int m_shapeCount = 0;
};

}  // namespace genswf
