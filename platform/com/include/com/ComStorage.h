#pragma once
// Structured storage as the objects of this platform save themselves: an object writes its whole
// storage into an IStorage as one compound-file image.

#include "com/ComBase.h"

DEFINE_GUID(IID_IStorage, 0x0000000B, 0x0000, 0x0000, 0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46);
DEFINE_GUID(IID_IPersistStorage, 0x0000010A, 0x0000, 0x0000, 0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46);

struct IStorage : IUnknown {
    // Replaces whatever was saved before.
    virtual HRESULT WriteCompoundImage(const BYTE* data, ULONG size) = 0;
};
BC_DECLARE_INTERFACE_IID(IStorage, IID_IStorage)

struct IPersistStorage : IUnknown {
    virtual HRESULT Save(IStorage* storage, BOOL sameAsLoad) = 0;
};
BC_DECLARE_INTERFACE_IID(IPersistStorage, IID_IPersistStorage)
