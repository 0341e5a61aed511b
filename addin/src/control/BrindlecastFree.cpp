// The control: settings for its lifetime, the Export road (Publish, progress, opening the
// result), the language lookups and the About and Options boxes.
#include "addin/control/BrindlecastFree.h"

#include "addin/dialogs/AboutDialog.h"
#include "addin/dialogs/ConsoleView.h"
#include "addin/dialogs/OptionsDialog.h"
#include "addin/dialogs/ProgressDialog.h"
#include "addin/dialogs/PublishDialog.h"
#include "addin/language/LanguageManager.h"
#include "addin/settings/Settings.h"
#include "com/ComPtr.h"
#include "com/ComServer.h"
#include "genswf/utils/Exceptions.h"
#include "genswf/utils/ModuleVersionInfo.h"
#include "genswf/utils/Utils.h"
#include "powerpoint/model/PowerPoint.h"
#include "ui/ScriptedAnswers.h"

#include <atomic>
#include <cstdlib>
#include <new>
#include <string>
#include <vector>

using namespace genswf;

namespace addin {

namespace {

std::atomic<LONG> g_objects{0};

// The folder part of the output path: the text before the last separator, or the whole path.
std::wstring OutputFolderOf(const std::wstring& path) {
    const std::size_t last = path.find_last_of(L"\\/");
    return last == std::wstring::npos ? path : path.substr(0, last);
}

template <class T>
T* Query(IUnknown* object) {
    if (!object) return nullptr;
    void* p = nullptr;
    if (FAILED(object->QueryInterface(UuidOf<T>(), &p))) return nullptr;
    return static_cast<T*>(p);
}

class CBrindlecastFree : public com::CComObjectImpl<IBrindlecastFree, IBrindlecastScript> {
public:
    CBrindlecastFree() {
        ++g_objects;
        std::srand(genswf::GetTickCount());
        settings.Load();
        // Not registered (a program holding the control itself): the language files are found
        // beside the module, as an installation lays them out.
        if (settings.InstallationFolder.empty()) {
            const CModuleVersionInfo module(reinterpret_cast<const void*>(&CreateBrindlecastFree));
            if (!module.GetModulePath().empty())
                settings.InstallationFolder = GetFolderOfPath(GetFolderOfPath(module.GetModulePath()));
        }
        ReloadLanguages();
    }
    ~CBrindlecastFree() override { --g_objects; }

    HRESULT get_HasMessage(BSTR messageName, LONG* pVal) override {
        if (!pVal) return E_POINTER;
        *pVal = GetLanguageManager()->HasMessage(WStringFromBstr(messageName)) ? 1 : 0;
        return S_OK;
    }

    HRESULT get_Message(BSTR messageName, BSTR* pVal) override {
        if (!pVal) return E_POINTER;
        std::wstring text;
        if (!GetLanguageManager()->GetMessage(WStringFromBstr(messageName), text)) return E_FAIL;
        BSTR result = BstrFromWString(text);
        if (!result) return E_OUTOFMEMORY;
        *pVal = result;
        return S_OK;
    }

    HRESULT Export(IUnknown* presentationObject, IUnknown* slideRangeObject) override {
        // The host's warnings belong to this export only.
        struct ClearHostWarnings {
            std::vector<std::wstring>& warnings;
            ~ClearHostWarnings() { warnings.clear(); }
        } clearHostWarnings{hostWarnings};
        outcome = kOutcomeNone;
        lastOutputFile.clear();
        view.ClearLastError();
        CComPtr<PowerPoint::_Presentation> presentation;
        presentation.Attach(Query<PowerPoint::_Presentation>(presentationObject));
        CComPtr<PowerPoint::SlideRange> slideRange;
        slideRange.Attach(Query<PowerPoint::SlideRange>(slideRangeObject));
        try {
            ExportRoad(presentation, slideRange);
        } catch (const CPPTException& e) {
            Fail(GetLanguageManager()->GetMessageString(L"ERR_POWERPOINT_EXCEPTION"), e.GetMessage());
        } catch (const CBaseException& e) {
            Fail(GetLanguageManager()->GetMessageString(L"ERR_BASE_EXCEPTION"), e.GetMessage());
        } catch (const std::bad_alloc&) {
            Fail(GetLanguageManager()->GetMessageString(L"ERR_INTERNAL_ERROR"), L"Out of memory.");
        } catch (...) {
            Fail(GetLanguageManager()->GetMessageString(L"ERR_INTERNAL_ERROR"), std::wstring());
        }
        return S_OK;
    }

    HRESULT About() override {
        try {
            CAboutDialog dialog;
            view.RunAbout(dialog);
        } catch (...) {}
        return S_OK;
    }

    HRESULT Options() override {
        try {
            COptionsDialog dialog(&settings);
            view.RunOptions(dialog);
        } catch (...) {}
        return S_OK;
    }

    HRESULT SetAnswer(BSTR nameText, BSTR valueText) override {
        const std::wstring name = WStringFromBstr(nameText);
        const std::wstring value = WStringFromBstr(valueText);
        int number = 0;
        if (name == L"width" || name == L"height") {
            if (!ui::ParseWholeNumber(value, number) || number < 1 || number > 8191) return E_INVALIDARG;
        } else if (name == L"auto-advance") {
            if (!ui::ParseWholeNumber(value, number) || number < static_cast<int>(CSettings::kMinTransitionDelay) ||
                number > static_cast<int>(CSettings::kMaxTransitionDelay))
                return E_INVALIDARG;
        } else if (name == L"no-auto-advance") {
            if (value != L"0" && value != L"1") return E_INVALIDARG;
        } else if (name == L"slides") {
            if (value != L"all" && value != L"selected" && value != L"current") return E_INVALIDARG;
        } else if (name == L"lang") {
            if (!ui::ParseWholeNumber(value, number) || number < 0 || number > 0xFFFF) return E_INVALIDARG;
            settings.LanguageId = number;
            ReloadLanguages();
        } else if (name == L"terminal") {
            view.Output().SetTerminal(value != L"0");
        } else if (name != L"output" && name != L"debug" && name != L"yes" && name != L"open" &&
                   name != L"send-report" && name != L"image-quality" && name != L"keep-image-quality") {
            return E_INVALIDARG;
        }
        // The last of the two ways for the automatic transition wins.
        if (name == L"auto-advance") view.Answers().Remove(L"no-auto-advance");
        if (name == L"no-auto-advance") view.Answers().Remove(L"auto-advance");
        view.Answers().Set(name, value);
        return S_OK;
    }

    HRESULT get_LastOutcome(LONG* value) override {
        if (!value) return E_POINTER;
        *value = outcome;
        return S_OK;
    }

    HRESULT get_LastErrorText(BSTR* text) override {
        if (!text) return E_POINTER;
        *text = BstrFromWString(view.GetLastError());
        return S_OK;
    }

    HRESULT get_LastOutputFile(BSTR* path) override {
        if (!path) return E_POINTER;
        *path = BstrFromWString(lastOutputFile);
        return S_OK;
    }

    HRESULT AddWarning(BSTR textValue) override {
        const std::wstring text = WStringFromBstr(textValue);
        if (text.empty()) return E_INVALIDARG;
        try {
            if (runningExport)
                runningExport->AddWarning(text);
            else if (hostWarnings.size() < CProgressDialog::kMaxWarnings * 10)
                hostWarnings.push_back(text);
        } catch (const std::bad_alloc&) {
            return E_OUTOFMEMORY;
        }
        return S_OK;
    }

private:
    void ReloadLanguages() {
        CRefPtr<CLanguageManager> manager(new CLanguageManager(&settings));
        SetLanguageManager(manager);
        manager->LoadLanguages();
    }

    void Fail(const std::wstring& caption, const std::wstring& description) {
        outcome = kOutcomeFailed;
        view.ReportFailure(caption, description);
    }

    void ExportRoad(PowerPoint::_Presentation* presentation, PowerPoint::SlideRange* slideRange) {
        if (!presentation) {
            Fail(GetLanguageManager()->GetMessageString(L"ERR_POWERPOINT_EXCEPTION"), L"No presentation to export.");
            return;
        }
        // The choices are kept only for an export that went well: a failed or cancelled run
        // leaves the saved settings, and this control's, as they were.
        const CSettings before = settings;
        CPublishDialog publish(presentation, slideRange, &settings);
        publish.SetSaveOnPublish(false);
        if (view.RunPublish(publish) != ui::IDOK) {
            settings = before;
            outcome = kOutcomePublishCancelled;
            return;
        }
        CProgressDialog progress(presentation, slideRange, &settings);
        for (const std::wstring& warning : hostWarnings) progress.AddWarning(warning);
        struct Running {
            CProgressDialog*& running;
            ~Running() { running = nullptr; }
        } running{runningExport};
        runningExport = &progress;
        const int result = progress.DoModal(view);
        if (result != CProgressDialog::kSucceeded) {
            settings = before;
            outcome = result == CProgressDialog::kCancelled ? kOutcomeCancelled : kOutcomeFailed;
            return;
        }
        settings.Save();
        outcome = kOutcomeSucceeded;
        lastOutputFile = progress.GetOutputFilePath();
        view.OpenOutput(OutputFolderOf(lastOutputFile), lastOutputFile);
    }

    CSettings settings;
    CConsoleView view;
    LONG outcome = kOutcomeNone;
    std::wstring lastOutputFile;
    // The host's warnings waiting for the next export, and the export they go to while it runs.
    std::vector<std::wstring> hostWarnings;
    CProgressDialog* runningExport = nullptr;
};

}  // namespace

HRESULT CreateBrindlecastFree(REFIID riid, void** ppv) {
    if (!ppv) return E_POINTER;
    *ppv = nullptr;
    CBrindlecastFree* object = nullptr;
    try {
        object = new CBrindlecastFree();
    } catch (...) {
        return E_OUTOFMEMORY;
    }
    const HRESULT hr = object->QueryInterface(riid, ppv);
    object->Release();
    return hr;
}

LONG BrindlecastFreeObjectCount() { return g_objects.load(); }

}  // namespace addin
