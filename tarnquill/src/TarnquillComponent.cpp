// The COM shell over the compiler core.
#include "tarnquill/Tarnquill.h"

#include "tarnquill/Compiler.h"

#include "base/encodings/TextEncoding.h"
#include "com/ComPtr.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace {

// Paths from the driver may use either separator.
std::string PathFromBstr(BSTR text) {
    std::string path = base::encodings::Utf8FromWide(WStringFromBstr(text));
    std::replace(path.begin(), path.end(), '\\', '/');
    return path;
}

com::CComServerModule& Module();

// Thrown through the compiler core when the caller's progress sink asks to stop.
struct CompileStopped {
    HRESULT code;
};

class CTarnquillCompiler : public com::CComObjectImpl<ITarnquillCompiler, ITarnquillCompileReports> {
public:
    CTarnquillCompiler() { Module().Lock(); }
    ~CTarnquillCompiler() override { Module().Unlock(); }

    HRESULT put_IgnoreErrors(VARIANT_BOOL ignore) override {
        options_.ignoreErrors = ignore != VARIANT_FALSE;
        return S_OK;
    }
    HRESULT put_BaseFolder(BSTR folder) override {
        options_.baseFolder = PathFromBstr(folder);
        return S_OK;
    }
    HRESULT put_SchemaPath(BSTR path) override {
        options_.schemaPath = PathFromBstr(path);
        return S_OK;
    }
    HRESULT Compile(BSTR xmlPath) override {
        swf_.clear();
        compiled_ = false;
        lastError_.clear();
        if (!xmlPath || SysStringLen(xmlPath) == 0) {
            lastError_ = L"no description path given";
            return E_INVALIDARG;
        }
        warnings_.clear();
        tarnquill::CompileOptions options = options_;
        if (progress_) {
            CComPtr<ITarnquillProgress> sink = progress_;
            options.progress = [sink](std::uint64_t done, std::uint64_t total) {
                // Scaled into LONG; the ratio is what a bar shows.
                while (total > 0x7fffffff) {
                    total /= 2;
                    done /= 2;
                }
                const HRESULT hr = sink->OnProgress(static_cast<LONG>(done), static_cast<LONG>(total));
                if (FAILED(hr)) throw CompileStopped{hr};
            };
        }
        try {
            tarnquill::CompileResult result = tarnquill::CompileFile(PathFromBstr(xmlPath), options);
            if (result.swf.size() > 0x7fffffff) throw tarnquill::CompileError("the movie is too large");
            swf_ = std::move(result.swf);
            for (const std::string& warning : result.warnings)
                warnings_.push_back(base::encodings::WideFromUtf8(warning));
            compiled_ = true;
            return S_OK;
        } catch (const CompileStopped& stopped) {
            lastError_ = L"the compile was stopped";
            return stopped.code;
        } catch (const std::bad_alloc&) {
            lastError_ = L"out of memory";
            return E_OUTOFMEMORY;
        } catch (const std::exception& e) {
            lastError_ = base::encodings::WideFromUtf8(e.what());
            return E_FAIL;
        }
    }
    HRESULT GetSwfData(VARIANT* data) override {
        if (!data) return E_POINTER;
        VariantInit(data);
        if (!compiled_) return E_UNEXPECTED;
        SAFEARRAY* array = SafeArrayCreateVector(VT_UI1, 0, static_cast<ULONG>(swf_.size()));
        if (!array) return E_OUTOFMEMORY;
        void* bytes = nullptr;
        if (FAILED(SafeArrayAccessData(array, &bytes))) {
            SafeArrayDestroy(array);
            return E_FAIL;
        }
        if (!swf_.empty()) std::memcpy(bytes, swf_.data(), swf_.size());
        SafeArrayUnaccessData(array);
        data->vt = VT_ARRAY | VT_UI1;
        data->parray = array;
        return S_OK;
    }
    HRESULT GetSwfSize(LONG* size) override {
        if (!size) return E_POINTER;
        *size = static_cast<LONG>(swf_.size());
        return S_OK;
    }
    HRESULT GetLastErrorText(BSTR* text) override {
        if (!text) return E_POINTER;
        *text = BstrFromWString(lastError_);
        return *text || lastError_.empty() ? S_OK : E_OUTOFMEMORY;
    }

    HRESULT put_Progress(ITarnquillProgress* progress) override {
        progress_ = progress;
        return S_OK;
    }
    HRESULT get_WarningCount(LONG* count) override {
        if (!count) return E_POINTER;
        *count = static_cast<LONG>(warnings_.size());
        return S_OK;
    }
    HRESULT GetWarningText(LONG index, BSTR* text) override {
        if (!text) return E_POINTER;
        *text = nullptr;
        if (index < 0 || static_cast<std::size_t>(index) >= warnings_.size()) return E_INVALIDARG;
        *text = BstrFromWString(warnings_[static_cast<std::size_t>(index)]);
        return *text ? S_OK : E_OUTOFMEMORY;
    }

private:
    tarnquill::CompileOptions options_;
    CComPtr<ITarnquillProgress> progress_;
    std::vector<std::wstring> warnings_;
    std::vector<std::uint8_t> swf_;
    bool compiled_ = false;
    std::wstring lastError_;
};

HRESULT CreateCompiler(REFIID riid, void** ppv) {
    if (!ppv) return E_POINTER;
    *ppv = nullptr;
    auto* object = new (std::nothrow) CTarnquillCompiler();
    if (!object) return E_OUTOFMEMORY;
    HRESULT hr = object->QueryInterface(riid, ppv);
    object->Release();
    return hr;
}

com::CComServerModule& Module() {
    static com::CComServerModule module({{CLSID_TarnquillCompiler,
                                          kTarnquillProgId,
                                          L"Tarnquill.Compiler",
                                          L"Tarnquill XML-to-SWF compiler",
                                          &CreateCompiler,
                                          L"Apartment",
                                          {}}});
    return module;
}

}  // namespace

BC_COM_SERVER_EXPORTS(Module())
