// The COM shell over the compiler core.
#include "Tarnquill.h"

#include "tarnquill/Compiler.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace {

std::string Utf8(const std::wstring& text) {
    std::string out;
    for (wchar_t wc : text) {
        auto c = static_cast<std::uint32_t>(wc);
        if (c > 0x10ffff || (c >= 0xd800 && c < 0xe000)) c = 0xfffd;
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xc0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3f));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xe0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3f));
            out += static_cast<char>(0x80 | (c & 0x3f));
        } else {
            out += static_cast<char>(0xf0 | (c >> 18));
            out += static_cast<char>(0x80 | ((c >> 12) & 0x3f));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3f));
            out += static_cast<char>(0x80 | (c & 0x3f));
        }
    }
    return out;
}

std::wstring Wide(const std::string& utf8) {
    std::wstring out;
    for (std::size_t i = 0; i < utf8.size();) {
        unsigned char c = static_cast<unsigned char>(utf8[i]);
        int n = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
        if (n == 0 || i + n > utf8.size()) {
            out += L'\xfffd';
            ++i;
            continue;
        }
        std::uint32_t cp = n == 1 ? c : c & (0x7f >> n);
        for (int k = 1; k < n; ++k) cp = (cp << 6) | (static_cast<unsigned char>(utf8[i + k]) & 0x3f);
        out += static_cast<wchar_t>(cp);
        i += n;
    }
    return out;
}

// Paths from the driver may use either separator.
std::string PathFromBstr(BSTR text) {
    std::string path = Utf8(WStringFromBstr(text));
    std::replace(path.begin(), path.end(), '\\', '/');
    return path;
}

bccom::CComServerModule& Module();

class CTarnquillCompiler : public bccom::CComObjectImpl<ITarnquillCompiler> {
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
            lastError_ = Wide(e.what());
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

bccom::CComServerModule& Module() {
    static bccom::CComServerModule module({{CLSID_TarnquillCompiler, kTarnquillProgId, L"Tarnquill.Compiler",
                                            L"Tarnquill XML-to-SWF compiler", &CreateCompiler, L"Apartment", {}}});
    return module;
}

} // namespace

BC_COM_SERVER_EXPORTS(Module())
