#pragma once
// Small reference and string helpers of the wrapper sources.

#include "genswf/ppt/Ppt.h"

#include <cstdint>
#include <string>
#include <utility>

namespace genswf {

// Holds a reference the callee already AddRef'ed (the wrappers' ...Ptr operations).
template <class I>
CComPtr<I> Adopt(I* p) {
    CComPtr<I> held;
    held.Attach(p);
    return held;
}

// An AddRef'ed copy of what held holds, for the operations that hand out a reference.
template <class I>
I* AddRefCopy(const CComPtr<I>& held) {
    I* p = nullptr;
    held.CopyTo(&p);
    return p;
}

// An interface-valued member read once into kept; the caller gets its own reference. A failed
// or empty read keeps nothing, so the next call asks again, and throws the object-model failure
// of the caller's file and line.
template <class O, class C, class P>
P* ReadPtrOnce(CComPtr<P>& kept, O* object, HRESULT (C::*get)(P**), const char* file, int line) {
    if (!kept) {
        CComPtr<P> value;
        if (!object || (object->*get)(&value) < 0 || !value) ThrowPptException(file, line);
        kept = std::move(value);
    }
    return AddRefCopy(kept);
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
Slide* ReadSlideOnce(Collection* collection, std::uint32_t i, CComPtr<Slide>& slot, const char* file, int line) {
    if (!slot) {
        VARIANT index = PositionVariant(static_cast<LONG>(i) + 1);
        CComPtr<Slide> slide;
        const HRESULT hr = collection->Item(index, &slide);
        VariantClear(&index);
        if (hr < 0 || !slide) ThrowPptException(file, line);
        slot = std::move(slide);
    }
    return AddRefCopy(slot);
}

}  // namespace genswf
