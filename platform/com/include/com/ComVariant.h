#pragma once
// VARIANT and SAFEARRAY, the subset the system passes across interfaces: VT_EMPTY, VT_I4,
// VT_BSTR, VT_BOOL, VT_DISPATCH and VT_UNKNOWN (both hold an IUnknown*), VT_ERROR and
// VT_ARRAY|VT_UI1 (one-dimensional byte arrays).

#include "ComBase.h"
#include "ComBstr.h"

using VARTYPE = std::uint16_t;
using VARIANT_BOOL = std::int16_t;
constexpr VARIANT_BOOL VARIANT_TRUE = -1;
constexpr VARIANT_BOOL VARIANT_FALSE = 0;

enum VARENUM : VARTYPE {
    VT_EMPTY = 0,
    VT_NULL = 1,
    VT_I2 = 2,
    VT_I4 = 3,
    VT_BSTR = 8,
    VT_DISPATCH = 9,
    VT_ERROR = 10,
    VT_BOOL = 11,
    VT_UNKNOWN = 13,
    VT_UI1 = 17,
    VT_ARRAY = 0x2000,
    VT_BYREF = 0x4000,
};

struct SAFEARRAYBOUND {
    ULONG cElements;
    LONG lLbound;
};

struct SAFEARRAY {
    USHORT cDims;
    USHORT fFeatures;
    ULONG cbElements;
    ULONG cLocks;
    void* pvData;
    SAFEARRAYBOUND rgsabound[1];
};
using LPSAFEARRAY = SAFEARRAY*;

struct VARIANT {
    VARTYPE vt;
    WORD wReserved1;
    WORD wReserved2;
    WORD wReserved3;
    union {
        LONG lVal;
        SHORT iVal;
        BYTE bVal;
        VARIANT_BOOL boolVal;
        SCODE scode;
        BSTR bstrVal;
        IUnknown* punkVal;
        IUnknown* pdispVal;  // no IDispatch here: the system calls members directly
        SAFEARRAY* parray;
    };
};
using VARIANTARG = VARIANT;

// Accessors in the usual spelling.
#define V_VT(v) ((v)->vt)
#define V_I4(v) ((v)->lVal)
#define V_BOOL(v) ((v)->boolVal)
#define V_BSTR(v) ((v)->bstrVal)
#define V_UNKNOWN(v) ((v)->punkVal)
#define V_DISPATCH(v) ((v)->pdispVal)
#define V_ERROR(v) ((v)->scode)
#define V_ARRAY(v) ((v)->parray)

void VariantInit(VARIANT* pvarg);
// Frees what the VARIANT owns (BSTR, interface reference, array) and leaves VT_EMPTY.
// DISP_E_BADVARTYPE for a type outside the subset (the VARIANT is left as it was); E_INVALIDARG
// for null; DISP_E_ARRAYISLOCKED when its array is still accessed.
HRESULT VariantClear(VARIANT* pvarg);
// Deep copy: dest is cleared first, then gets its own BSTR, reference or array. Copying a
// VARIANT onto itself does nothing.
HRESULT VariantCopy(VARIANT* pvargDest, const VARIANT* pvargSrc);

// Only VT_UI1 vectors are supported; other types give null.
SAFEARRAY* SafeArrayCreateVector(VARTYPE vt, LONG lLbound, ULONG cElements);
HRESULT SafeArrayDestroy(SAFEARRAY* psa);
HRESULT SafeArrayAccessData(SAFEARRAY* psa, void** ppvData);
HRESULT SafeArrayUnaccessData(SAFEARRAY* psa);
HRESULT SafeArrayGetLBound(SAFEARRAY* psa, UINT nDim, LONG* plLbound);
HRESULT SafeArrayGetUBound(SAFEARRAY* psa, UINT nDim, LONG* plUbound);
UINT SafeArrayGetDim(SAFEARRAY* psa);
UINT SafeArrayGetElemsize(SAFEARRAY* psa);
HRESULT SafeArrayGetVartype(SAFEARRAY* psa, VARTYPE* pvt);
HRESULT SafeArrayCopy(SAFEARRAY* psa, SAFEARRAY** ppsaOut);
