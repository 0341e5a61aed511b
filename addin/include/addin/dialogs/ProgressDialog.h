#pragma once
// "Exporting presentation": runs one conversion, shows its progress, turns Cancel into an
// interruption at the next report and every failure into the error report.

#include "com/ComPtr.h"
#include "genswf/utils/ProgressSink.h"
#include "powerpoint/model/PowerPoint.h"
#include "ui/DialogModel.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace addin {

class CSettings;
class CPresentationConverter;
class IAddinView;

class CProgressDialog : public ui::CDialogModel, public genswf::CProgressSink {
public:
    static constexpr int IDD = 105;
    static constexpr int IDC_SLIDE_PROGRESS = 230;
    static constexpr int IDC_SHAPE_PROGRESS = 231;
    static constexpr int IDC_TASK = 232;
    static constexpr int IDC_SLIDE_TEXT = 233;
    static constexpr int IDC_SHAPE_TEXT = 234;
    static constexpr int kConversionTimer = 1;
    static constexpr std::uint32_t kPumpInterval = 200;  // ms between two message pumps

    enum Result { kSucceeded = 1, kCancelled = 2, kFailed = 3 };

    CProgressDialog(PowerPoint::_Presentation* presentation, PowerPoint::SlideRange* slideRange, CSettings* settings);
    ~CProgressDialog() override;

    // Runs the dialog through view; the view also pumps during the conversion.
    int DoModal(IAddinView& view);

    void OnInitDialog() override;
    void OnShowWindow() override;
    void OnTimer(int id) override;
    bool OnCommand(int id, int notifyCode) override;

    int SetTask(int task) override;
    int SetSlide(int index) override;
    int SetShape(int index) override;
    int SetSlideCount(int count) override;
    int SetValue(int value) override;
    void PumpMessagesAndCheckCancel() override;
    void CheckCancelNow() override;
    int SetShapeCount(int count) override;

    bool IsCancelled() const { return cancelled; }
    const std::wstring& GetOutputFilePath() const { return outputFilePath; }
    // The caption and description of the error shown, for hosts that report it once more.
    const std::wstring& GetErrorCaption() const { return errorCaption; }
    const std::wstring& GetErrorDescription() const { return errorDescription; }
    CSettings* GetSettings() const { return settings; }

    // Milliseconds for the pump's interval (tests give their own clock).
    void SetClock(std::function<std::uint32_t()> clock);

protected:
    virtual std::unique_ptr<CPresentationConverter> CreateConverter();
    // Shows the error report; overridable so the driver can be tested without a view.
    virtual void ShowError(const std::wstring& caption, const std::wstring& description);

private:
    void RunConversion();

    CComPtr<PowerPoint::_Presentation> presentation;
    CComPtr<PowerPoint::SlideRange> slideRange;
    CSettings* settings;
    IAddinView* view = nullptr;
    bool cancelled = false;
    std::wstring outputFilePath;
    std::wstring errorCaption;
    std::wstring errorDescription;
    std::function<std::uint32_t()> clock;
    std::uint32_t lastPumpTicks;
};

}  // namespace addin
