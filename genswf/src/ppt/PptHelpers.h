#pragma once
// Small reference and string helpers of the wrapper sources.

#include "Ppt.h"

#include <string>

namespace genswf {

template <class I>
void SafeRelease(I*& p)
{
    if (p) {
        I* q = p;
        p = nullptr;
        q->Release();
    }
}

template <class I>
I* AddRefCopy(I* p)
{
    if (p)
        p->AddRef();
    return p;
}

// Copies a BSTR from the object model (null gives "") and frees it.
inline std::wstring TakeBstr(BSTR text)
{
    std::wstring result = WStringFromBstr(text);
    SysFreeString(text);
    return result;
}

// A VT_I4 VARIANT holding a 1-based position.
inline VARIANT PositionVariant(LONG position)
{
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_I4;
    v.lVal = position;
    return v;
}

} // namespace genswf
