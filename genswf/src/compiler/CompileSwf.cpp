#include "genswf/compiler/CompileSwf.h"

#include "com/ComLite.h"
#include "com/ComPtr.h"
#include "com/ComServer.h"
#include "genswf/utils/Exceptions.h"
#include "genswf/utils/ProgressSink.h"
#include "genswf/utils/RegistryKey.h"
#include "genswf/utils/Utils.h"
#include "tarnquill/Tarnquill.h"

#include <algorithm>
#include <cstring>
#include <exception>

namespace genswf {

namespace {

// Releases the VARIANT it holds on every path.
class CVariantHolder {
public:
    CVariantHolder() { VariantInit(&value); }
    ~CVariantHolder() { VariantClear(&value); }
    CVariantHolder(const CVariantHolder&) = delete;
    CVariantHolder& operator=(const CVariantHolder&) = delete;
    VARIANT value;
};

// Passes the compiler's progress to the export's sink. A cancel (or any failure) there cannot
// cross the component: it stops the compile with E_ABORT and is thrown again once Compile has
// returned.
class CCompileProgress : public com::CComObjectImpl<ITarnquillProgress> {
public:
    explicit CCompileProgress(CProgressSink* sink) : m_sink(sink) {}

    HRESULT OnProgress(LONG done, LONG total) override {
        if (m_stopped) return E_ABORT;
        const long long percent = total > 0 ? std::clamp<long long>(100LL * done / total, 0, 100) : 0;
        try {
            m_sink->SetValue(static_cast<int>(percent));
            m_sink->PumpMessagesAndCheckCancel();
        } catch (...) {
            m_stopped = std::current_exception();
            return E_ABORT;
        }
        return S_OK;
    }
    void RethrowIfStopped() const {
        if (m_stopped) std::rethrow_exception(m_stopped);
    }

private:
    CProgressSink* m_sink;
    std::exception_ptr m_stopped;
};

// Stops the compiler's reports on every path, so the component never calls a sink that is gone.
class CProgressConnection {
public:
    CProgressConnection(ITarnquillCompileReports* reports, ITarnquillProgress* progress) : m_reports(reports) {
        if (m_reports) m_reports->put_Progress(progress);
    }
    ~CProgressConnection() {
        if (m_reports) m_reports->put_Progress(nullptr);
    }
    CProgressConnection(const CProgressConnection&) = delete;
    CProgressConnection& operator=(const CProgressConnection&) = delete;

private:
    ITarnquillCompileReports* m_reports;
};

std::wstring LastCompileError(ITarnquillCompiler* compiler) {
    BSTR text = nullptr;
    if (FAILED(compiler->GetLastErrorText(&text))) return std::wstring();
    const std::wstring message = WStringFromBstr(text);
    SysFreeString(text);
    return message;
}

}  // namespace

void CompileSwf(const std::wstring& xmlPath, std::vector<std::uint8_t>& bytes, CProgressSink* progress,
                std::vector<std::wstring>* warnings) {
    bytes.clear();

    CComPtr<ITarnquillCompiler> compiler;
    HRESULT hr = CoCreateInstance(CLSID_TarnquillCompiler, nullptr,
                                  CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER | CLSCTX_LOCAL_SERVER,
                                  IID_ITarnquillCompiler, reinterpret_cast<void**>(&compiler));
    if (FAILED(hr) || !compiler) {
        throw CXml2SwfException(L"Tarnquill is not installed. Error code: " + IntToWString(static_cast<int>(hr)));
    }

    if (FAILED(compiler->put_IgnoreErrors(VARIANT_FALSE))) throw CXml2SwfException(L"Cannot put ignore errors");

    {
        CBstr baseFolder(GetFolderOfPath(xmlPath));
        if (FAILED(compiler->put_BaseFolder(baseFolder))) throw CXml2SwfException(L"ERR_TARN_QUILL_INTERNAL_ERROR");
    }

    // The schema ships beside the component's own library.
    LPOLESTR clsidText = nullptr;
    if (FAILED(StringFromCLSID(CLSID_TarnquillCompiler, &clsidText)) || !clsidText) {
        throw CXml2SwfException(L"ERR_INTERNAL_ERROR");
    }
    const std::wstring clsidKey = L"CLSID\\" + WStringFromOleStr(clsidText) + L"\\InprocServer32";
    CoTaskMemFree(clsidText);
    std::wstring libraryPath;
    {
        CRegistryKey key;
        key.Open(HKEY_CLASSES_ROOT, clsidKey, KEY_READ);
        libraryPath = key.QueryStringValue(std::wstring(), std::wstring());
        key.Close();
    }
    if (libraryPath.empty()) throw CXml2SwfException(L"Can't find Tarnquill registry entry");
    {
        CBstr schemaPath(GetFolderOfPath(libraryPath) + kPathSeparator + L"tarnquill.xsd");
        compiler->put_SchemaPath(schemaPath);
    }

    // An older compiler without reports compiles all the same.
    CComPtr<ITarnquillCompileReports> reports;
    if (FAILED(compiler->QueryInterface(IID_ITarnquillCompileReports, reinterpret_cast<void**>(&reports))))
        reports = nullptr;
    CComPtr<CCompileProgress> sink;
    if (progress && reports) sink.Attach(new CCompileProgress(progress));
    {
        CProgressConnection connection(sink ? reports.Get() : nullptr, sink.Get());
        CBstr path(xmlPath);
        hr = compiler->Compile(path);
    }
    if (sink) sink->RethrowIfStopped();
    if (FAILED(hr)) throw CComError(hr, LastCompileError(compiler), IID_ITarnquillCompiler);

    LONG warningCount = 0;
    if (warnings && reports && SUCCEEDED(reports->get_WarningCount(&warningCount))) {
        for (LONG i = 0; i < warningCount; ++i) {
            BSTR text = nullptr;
            if (FAILED(reports->GetWarningText(i, &text))) continue;
            warnings->push_back(WStringFromBstr(text));
            SysFreeString(text);
        }
    }

    CVariantHolder copy;
    {
        CVariantHolder returned;
        hr = compiler->GetSwfData(&returned.value);
        if (FAILED(hr)) throw CComError(hr, std::wstring(), IID_ITarnquillCompiler);
        const HRESULT copied = VariantCopy(&copy.value, &returned.value);
        if (FAILED(copied)) {
            VariantClear(&copy.value);
            copy.value.vt = VT_ERROR;
            copy.value.scode = copied;
        }
    }

    LONG size = 0;
    hr = compiler->GetSwfSize(&size);
    if (FAILED(hr)) throw CComError(hr, std::wstring(), IID_ITarnquillCompiler);

    // Never read past the array: a size larger than the data is a broken answer.
    if (size <= 0) return;
    if (copy.value.vt != (VT_ARRAY | VT_UI1) || !copy.value.parray) {
        throw CComError(E_UNEXPECTED, L"The compiler returned no SWF data.", IID_ITarnquillCompiler);
    }
    SAFEARRAY* array = copy.value.parray;
    const std::size_t available = array->rgsabound[0].cElements;
    if (static_cast<std::size_t>(size) > available) {
        throw CComError(E_UNEXPECTED, L"The compiler reported more SWF bytes than it returned.",
                        IID_ITarnquillCompiler);
    }
    void* data = nullptr;
    if (FAILED(SafeArrayAccessData(array, &data)) || !data) {
        throw CComError(E_UNEXPECTED, L"The compiler's SWF data cannot be read.", IID_ITarnquillCompiler);
    }
    bytes.resize(static_cast<std::size_t>(size));
    std::memcpy(bytes.data(), data, bytes.size());
    SafeArrayUnaccessData(array);
}

}  // namespace genswf
