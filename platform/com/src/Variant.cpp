#include "com/ComVariant.h"

#include <cstddef>
#include <cstdlib>
#include <cstring>

namespace {

constexpr USHORT FADF_HAVEVARTYPE = 0x0080;

// Our arrays carry their element type in the header block, ahead of the SAFEARRAY.
struct ArrayBlock {
    VARTYPE vt;
    SAFEARRAY array;
};

ArrayBlock* BlockOf(SAFEARRAY* psa) {
    return reinterpret_cast<ArrayBlock*>(reinterpret_cast<char*>(psa) - offsetof(ArrayBlock, array));
}

bool IsSupported(VARTYPE vt) {
    switch (vt) {
    case VT_EMPTY:
    case VT_NULL:
    case VT_I2:
    case VT_I4:
    case VT_BSTR:
    case VT_DISPATCH:
    case VT_ERROR:
    case VT_BOOL:
    case VT_UNKNOWN:
    case VT_UI1:
    case VT_ARRAY | VT_UI1:
        return true;
    default:
        return false;
    }
}

}  // namespace

void VariantInit(VARIANT* pvarg) {
    if (!pvarg) return;
    pvarg->vt = VT_EMPTY;
    pvarg->wReserved1 = pvarg->wReserved2 = pvarg->wReserved3 = 0;
    pvarg->parray = nullptr;
}

HRESULT VariantClear(VARIANT* pvarg) {
    if (!pvarg) return E_INVALIDARG;
    if (!IsSupported(pvarg->vt)) return DISP_E_BADVARTYPE;
    switch (pvarg->vt) {
    case VT_BSTR:
        SysFreeString(pvarg->bstrVal);
        break;
    case VT_DISPATCH:
    case VT_UNKNOWN:
        if (pvarg->punkVal) pvarg->punkVal->Release();
        break;
    case VT_ARRAY | VT_UI1:
        if (pvarg->parray) {
            HRESULT hr = SafeArrayDestroy(pvarg->parray);
            if (FAILED(hr)) return hr;
        }
        break;
    default:
        break;
    }
    VariantInit(pvarg);
    return S_OK;
}

HRESULT VariantCopy(VARIANT* pvargDest, const VARIANT* pvargSrc) {
    if (!pvargDest || !pvargSrc) return E_INVALIDARG;
    if (pvargDest == pvargSrc) return S_OK;
    if (!IsSupported(pvargSrc->vt)) return DISP_E_BADVARTYPE;
    // Copy first, so a failure leaves the destination as it was.
    VARIANT copy = *pvargSrc;
    switch (pvargSrc->vt) {
    case VT_BSTR:
        if (pvargSrc->bstrVal) {
            copy.bstrVal = SysAllocStringLen(pvargSrc->bstrVal, SysStringLen(pvargSrc->bstrVal));
            if (!copy.bstrVal) return E_OUTOFMEMORY;
        }
        break;
    case VT_DISPATCH:
    case VT_UNKNOWN:
        if (copy.punkVal) copy.punkVal->AddRef();
        break;
    case VT_ARRAY | VT_UI1:
        if (pvargSrc->parray) {
            HRESULT hr = SafeArrayCopy(pvargSrc->parray, &copy.parray);
            if (FAILED(hr)) return hr;
        }
        break;
    default:
        break;
    }
    HRESULT hr = VariantClear(pvargDest);
    if (FAILED(hr)) {
        VariantClear(&copy);
        return hr;
    }
    *pvargDest = copy;
    return S_OK;
}

SAFEARRAY* SafeArrayCreateVector(VARTYPE vt, LONG lLbound, ULONG cElements) {
    if (vt != VT_UI1) return nullptr;
    // The upper bound lLbound + cElements - 1 must fit in a LONG.
    if (cElements > 0 && static_cast<long long>(lLbound) + cElements - 1 > 0x7FFFFFFFLL) return nullptr;
    auto* block = static_cast<ArrayBlock*>(std::calloc(1, sizeof(ArrayBlock)));
    if (!block) return nullptr;
    void* data = std::calloc(cElements ? cElements : 1, 1);
    if (!data) {
        std::free(block);
        return nullptr;
    }
    block->vt = vt;
    SAFEARRAY* psa = &block->array;
    psa->cDims = 1;
    psa->fFeatures = FADF_HAVEVARTYPE;
    psa->cbElements = 1;
    psa->cLocks = 0;
    psa->pvData = data;
    psa->rgsabound[0].cElements = cElements;
    psa->rgsabound[0].lLbound = lLbound;
    return psa;
}

HRESULT SafeArrayDestroy(SAFEARRAY* psa) {
    if (!psa) return S_OK;
    if (psa->cLocks > 0) return DISP_E_ARRAYISLOCKED;
    std::free(psa->pvData);
    std::free(BlockOf(psa));
    return S_OK;
}

HRESULT SafeArrayAccessData(SAFEARRAY* psa, void** ppvData) {
    if (!psa || !ppvData) return E_INVALIDARG;
    if (psa->cLocks == 0xFFFFFFFFu) return E_UNEXPECTED;
    ++psa->cLocks;
    *ppvData = psa->pvData;
    return S_OK;
}

HRESULT SafeArrayUnaccessData(SAFEARRAY* psa) {
    if (!psa) return E_INVALIDARG;
    if (psa->cLocks == 0) return E_UNEXPECTED;
    --psa->cLocks;
    return S_OK;
}

HRESULT SafeArrayGetLBound(SAFEARRAY* psa, UINT nDim, LONG* plLbound) {
    if (!psa || !plLbound) return E_INVALIDARG;
    if (nDim != 1) return DISP_E_BADINDEX;
    *plLbound = psa->rgsabound[0].lLbound;
    return S_OK;
}

HRESULT SafeArrayGetUBound(SAFEARRAY* psa, UINT nDim, LONG* plUbound) {
    if (!psa || !plUbound) return E_INVALIDARG;
    if (nDim != 1) return DISP_E_BADINDEX;
    // An empty array's upper bound is one below its lower bound.
    *plUbound = static_cast<LONG>(static_cast<long long>(psa->rgsabound[0].lLbound) + psa->rgsabound[0].cElements - 1);
    return S_OK;
}

UINT SafeArrayGetDim(SAFEARRAY* psa) { return psa ? psa->cDims : 0; }

UINT SafeArrayGetElemsize(SAFEARRAY* psa) { return psa ? psa->cbElements : 0; }

HRESULT SafeArrayGetVartype(SAFEARRAY* psa, VARTYPE* pvt) {
    if (!psa || !pvt) return E_INVALIDARG;
    *pvt = BlockOf(psa)->vt;
    return S_OK;
}

HRESULT SafeArrayCopy(SAFEARRAY* psa, SAFEARRAY** ppsaOut) {
    if (!ppsaOut) return E_INVALIDARG;
    *ppsaOut = nullptr;
    if (!psa) return S_OK;
    SAFEARRAY* copy = SafeArrayCreateVector(BlockOf(psa)->vt, psa->rgsabound[0].lLbound, psa->rgsabound[0].cElements);
    if (!copy) return E_OUTOFMEMORY;
    std::memcpy(copy->pvData, psa->pvData, psa->rgsabound[0].cElements);
    *ppsaOut = copy;
    return S_OK;
}
