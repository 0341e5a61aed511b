#pragma once
// Small reference and string helpers of the wrapper sources.

#include "genswf/ppt/Ppt.h"

#include <cstdint>
#include <string>

namespace genswf {

template <class I>
void SafeRelease(I*& p) {
    if (p) {
        I* q = p;
        p = nullptr;
        q->Release();
    }
}

template <class I>
I* AddRefCopy(I* p) {
    if (p) p->AddRef();
    return p;
}

// Copies a BSTR from the object model (null gives "") and frees it.
inline std::wstring TakeBstr(BSTR text) {
    std::wstring result = WStringFromBstr(text);
    SysFreeString(text);
    return result;
}

// A VT_I4 VARIANT holding a 1-based position.
inline VARIANT PositionVariant(LONG position) {
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_I4;
    v.lVal = position;
    return v;
}

// Item i + 1 of a collection of slides, read once into slot; an AddRef'ed copy for the caller.
// A failed read throws the object-model failure of the caller's file and line.
template <class Collection, class Slide>
Slide* ReadSlideOnce(Collection* collection, std::uint32_t i, Slide*& slot, const char* file, int line) {
    if (!slot) {
        VARIANT index = PositionVariant(static_cast<LONG>(i) + 1);
        Slide* slide = nullptr;
        const HRESULT hr = collection->Item(index, &slide);
        VariantClear(&index);
        if (hr < 0 || !slide) {
            SafeRelease(slide);
            ThrowPptException(file, line);
        }
        slot = slide;
    }
    return AddRefCopy(slot);
}

}  // namespace genswf
