#include "addin/dialogs/ProgressDialog.h"

#include "addin/converter/PresentationConverter.h"
#include "addin/dialogs/AddinView.h"
#include "addin/dialogs/ErrorReportDialog.h"
#include "addin/language/LanguageManager.h"
#include "addin/settings/Settings.h"
#include "com/ComError.h"
#include "genswf/utils/Exceptions.h"
#include "genswf/utils/Utils.h"

using namespace genswf;

namespace addin {

CProgressDialog::CProgressDialog(PowerPoint::_Presentation* presentation, PowerPoint::SlideRange* slideRange,
                                 CSettings* settings)
    : CDialogModel(IDD),
      presentation(presentation),
      slideRange(slideRange),
      settings(settings),
      clock(&genswf::GetTickCount),
      lastPumpTicks(genswf::GetTickCount()) {}

CProgressDialog::~CProgressDialog() = default;

void CProgressDialog::SetClock(std::function<std::uint32_t()> newClock) {
    clock = std::move(newClock);
    lastPumpTicks = clock();
}

int CProgressDialog::DoModal(IAddinView& addinView) {
    view = &addinView;
    const int result = addinView.RunProgress(*this);
    view = nullptr;
    return result;
}

void CProgressDialog::OnInitDialog() {
    const std::wstring title = GetLanguageManager()->GetMessageString(L"IDS_EXPORTING_PRESENTATION");
    SetTitle(ReplacePlaceholders(title, {{L"{presentation_title}", settings ? settings->PresentationName : L""}}));
}

void CProgressDialog::OnShowWindow() { SetTimer(kConversionTimer); }

void CProgressDialog::OnTimer(int id) {
    if (id != kConversionTimer) return;
    KillTimer(kConversionTimer);
    RunConversion();
}

void CProgressDialog::RunConversion() {
    std::wstring caption;
    std::wstring description;
    int result = kFailed;
    CLanguageManager* languages = GetLanguageManager();
    try {
        std::unique_ptr<CPresentationConverter> converter = CreateConverter();
        converter->Convert();
        result = kSucceeded;
        outputFilePath = converter->GetOutputFilePath();
        converter.reset();
        EndDialog(kSucceeded);
        return;
    } catch (const CXml2SwfException& e) {
        caption = L"Error during SWF generation";
        description = e.GetMessage();
    } catch (const CInterruptedException&) {
        result = kCancelled;
    } catch (const CConvertException& e) {
        caption = L"Error during convertion";
        description = e.GetMessage();
    } catch (const CPPTException& e) {
        caption = languages->GetMessageString(L"ERR_POWERPOINT_EXCEPTION");
        description = e.GetMessage();
    } catch (const CBaseException& e) {
        caption = languages->GetMessageString(L"ERR_BASE_EXCEPTION");
        description = e.GetMessage();
    } catch (const CComError& e) {
        // The compiler's own words say why it refused the movie; an empty report would not.
        caption = languages->GetMessageString(L"ERR_INTERNAL_ERROR");
        description = e.ErrorMessage();
    } catch (...) {
        caption = languages->GetMessageString(L"ERR_INTERNAL_ERROR");
    }
    // A failed run leaves no output path behind for Export to open.
    outputFilePath.clear();
    if (result != kSucceeded && result != kCancelled) {
        errorCaption = caption;
        errorDescription = description;
        ShowError(caption, description);
    }
    EndDialog(result);
}

std::unique_ptr<CPresentationConverter> CProgressDialog::CreateConverter() {
    return std::make_unique<CPresentationConverter>(presentation, settings, slideRange, this);
}

void CProgressDialog::ShowError(const std::wstring& caption, const std::wstring& description) {
    if (!view) return;
    CErrorReportDialog dialog(caption, description);
    view->RunErrorReport(dialog);
}

bool CProgressDialog::OnCommand(int id, int) {
    if (id == ui::IDOK) {
        EndDialog(ui::IDOK);
        return true;
    }
    if (id == ui::IDCANCEL) {
        // The conversion sees the flag at its next report; the dialog stays until then.
        if (!cancelled) {
            cancelled = true;
            EnableItem(ui::IDCANCEL, false);
        }
        return true;
    }
    return false;
}

int CProgressDialog::SetTask(int task) {
    const int stored = CProgressSink::SetTask(task);
    const wchar_t* name = task == TASK_COLLECTING_DATA ? L"IDS_TASK_COLLECTING_DATA"
                          : task == TASK_EXPORT_FILES  ? L"IDS_TASK_EXPORT_FILES"
                          : task == TASK_EXPORT_XML    ? L"IDS_TASK_EXPORT_XML"
                          : task == TASK_COMPILE_SWF   ? L"IDS_TASK_COMPILE_SWF"
                                                       : nullptr;
    std::wstring text = name ? GetLanguageManager()->GetMessageString(name) : std::wstring();
    // Language files written before the compile had a line of its own still say what happens.
    if (text.empty() && task == TASK_COMPILE_SWF) text = L"Compiling the Flash movie...";
    SetItemText(IDC_TASK, text);
    if (task == TASK_COMPILE_SWF) {
        // Every slide is through; the lower bar follows the compiler in percent.
        ui::CControlState& slides = Control(IDC_SLIDE_PROGRESS);
        slides.position = slides.rangeMax;
        SetItemText(IDC_SLIDE_TEXT, std::wstring());
        ui::CControlState& bar = Control(IDC_SHAPE_PROGRESS);
        bar.rangeMin = 0;
        bar.rangeMax = 100;
        bar.position = 0;
        SetItemText(IDC_SHAPE_TEXT, std::wstring());
    }
    PumpMessagesAndCheckCancel();
    return stored;
}

namespace {

// Bar arithmetic in 64 bits: counts from a damaged presentation must not overflow.
int ClampToInt(long long value) {
    return value > 0x7fffffffLL ? 0x7fffffff : value < -0x7fffffffLL ? -0x7fffffff : static_cast<int>(value);
}

}  // namespace

int CProgressDialog::SetSlideCount(int count) {
    const int stored = CProgressSink::SetSlideCount(count);
    ui::CControlState& bar = Control(IDC_SLIDE_PROGRESS);
    bar.rangeMin = 0;
    bar.rangeMax = ClampToInt(static_cast<long long>(count) * 10);
    PumpMessagesAndCheckCancel();
    return stored;
}

int CProgressDialog::SetSlide(int index) {
    const int stored = CProgressSink::SetSlide(index);
    Control(IDC_SLIDE_PROGRESS).position = ClampToInt(static_cast<long long>(index) * 10);
    SetItemText(IDC_SLIDE_TEXT, GetLanguageManager()->FormatMessageString(L"IDS_SLIDE", index + 1, GetSlideCount()));
    PumpMessagesAndCheckCancel();
    return stored;
}

int CProgressDialog::SetShapeCount(int count) {
    const int stored = CProgressSink::SetShapeCount(count);
    ui::CControlState& bar = Control(IDC_SHAPE_PROGRESS);
    bar.rangeMin = 0;
    bar.rangeMax = count;
    bar.position = 0;
    // No shape of the new count is under way yet; the last pass's text would say one is.
    SetItemText(IDC_SHAPE_TEXT, std::wstring());
    PumpMessagesAndCheckCancel();
    return stored;
}

int CProgressDialog::SetShape(int index) {
    const int stored = CProgressSink::SetShape(index);
    Control(IDC_SHAPE_PROGRESS).position = ClampToInt(static_cast<long long>(index) + 1);
    const long long slideBase = static_cast<long long>(GetSlide()) * 10;
    const int shapeCount = GetShapeCount();
    const long long within = shapeCount == 0 ? 10 : (static_cast<long long>(index) + 1) * 10 / shapeCount;
    Control(IDC_SLIDE_PROGRESS).position = ClampToInt(slideBase + within);
    SetItemText(IDC_SHAPE_TEXT, GetLanguageManager()->FormatMessageString(L"IDS_SHAPE", index + 1, shapeCount));
    PumpMessagesAndCheckCancel();
    return stored;
}

int CProgressDialog::SetValue(int value) {
    const int stored = CProgressSink::SetValue(value);
    if (GetTask() != TASK_COMPILE_SWF) return stored;
    Control(IDC_SHAPE_PROGRESS).position = value < 0 ? 0 : value > 100 ? 100 : value;
    PumpMessagesAndCheckCancel();
    return stored;
}

void CProgressDialog::PumpMessagesAndCheckCancel() {
    const std::uint32_t now = clock();
    if (static_cast<std::uint32_t>(now - lastPumpTicks) > kPumpInterval) {
        CheckCancelNow();
        return;
    }
    if (cancelled) throw CInterruptedException();
}

void CProgressDialog::CheckCancelNow() {
    if (view) view->PumpProgress(*this);
    lastPumpTicks = clock();
    if (cancelled) throw CInterruptedException();
}

}  // namespace addin
