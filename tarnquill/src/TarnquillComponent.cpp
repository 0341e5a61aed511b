// The COM shell over the compiler core.
#include "tarnquill/Tarnquill.h"

#include "tarnquill/Compiler.h"

#include "base/encodings/TextEncoding.h"

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

class CTarnquillCompiler : public com::CComObjectImpl<ITarnquillCompiler> {
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
        try {
            tarnquill::CompileResult result = tarnquill::CompileFile(PathFromBstr(xmlPath), options_);
            if (result.swf.size() > 0x7fffffff) throw tarnquill::CompileError("the movie is too large");
            swf_ = std::move(result.swf);
            compiled_ = true;
            return S_OK;
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

private:
    tarnquill::CompileOptions options_;
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
