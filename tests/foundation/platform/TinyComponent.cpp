// A tiny in-process component: one class with two interfaces.

#include "TinyComponent.h"

namespace {

com::CComServerModule& Module();

class CTinyGreeter final : public com::CComObjectImpl<ITinyGreeter, ITinyCounter> {
public:
    CTinyGreeter() { Module().Lock(); }
    ~CTinyGreeter() override { Module().Unlock(); }

    HRESULT Greet(BSTR name, BSTR* greeting) override {
        if (!greeting) return E_POINTER;
        *greeting = BstrFromWString(L"Hello, " + WStringFromBstr(name) + L"!");
        return *greeting ? S_OK : E_OUTOFMEMORY;
    }
    HRESULT GetBytes(LONG count, VARIANT* data) override {
        if (!data) return E_POINTER;
        if (count < 0) return E_INVALIDARG;
        SAFEARRAY* array = SafeArrayCreateVector(VT_UI1, 0, static_cast<ULONG>(count));
        if (!array) return E_OUTOFMEMORY;
        void* bytes = nullptr;
        SafeArrayAccessData(array, &bytes);
        for (LONG i = 0; i < count; ++i) static_cast<BYTE*>(bytes)[i] = static_cast<BYTE>(i);
        SafeArrayUnaccessData(array);
        VariantInit(data);
        data->vt = VT_ARRAY | VT_UI1;
        data->parray = array;
        return S_OK;
    }
    HRESULT Next(LONG* value) override {
        if (!value) return E_POINTER;
        *value = ++m_count;
        return S_OK;
    }

private:
    LONG m_count = 0;
};

HRESULT CreateTinyGreeter(REFIID riid, void** ppv) {
    auto* object = new CTinyGreeter();
    HRESULT hr = object->QueryInterface(riid, ppv);
    object->Release();
    return hr;
}

com::CComServerModule& Module() {
    static com::CComServerModule module({{CLSID_TinyGreeter,
                                          kTinyProgId,
                                          kTinyVersionIndependentProgId,
                                          L"TinyGreeter Class",
                                          &CreateTinyGreeter,
                                          L"Apartment",
                                          {{L"", L"Version", L"1.0"}, {L"ToolboxBitmap32", L"", L"%MODULE%, 102"}}}});
    return module;
}

}  // namespace

BC_COM_SERVER_EXPORTS(Module())
