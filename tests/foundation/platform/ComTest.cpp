// COM-lite values: GUID text forms, HRESULTs, BSTR, VARIANT, SAFEARRAY, CComPtr and CComError.

#include "com/ComLite.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

DEFINE_GUID(kSample, 0x0B49FC2B, 0xA0A1, 0x4870, 0x89, 0x91, 0xA2, 0x28, 0x60, 0x0B, 0x48, 0xD8);

// Counts its references; the test watches AddRef/Release balance.
struct CCounted : com::CComObjectImpl<IClassFactory> {
    static int s_alive;
    CCounted() { ++s_alive; }
    ~CCounted() override { --s_alive; }
    HRESULT CreateInstance(IUnknown*, REFIID, void**) override { return E_NOTIMPL; }
    HRESULT LockServer(BOOL) override { return S_OK; }
    ULONG Refs() {
        AddRef();
        return Release();
    }
};
int CCounted::s_alive = 0;

}  // namespace

TEST(ComGuid, TextFormsRoundTripAndRejectMalformedText) {
    EXPECT_EQ(com::GuidToString(kSample), L"{0B49FC2B-A0A1-4870-8991-A228600B48D8}");
    static_assert(com::GuidFromLiteral("{0B49FC2B-A0A1-4870-8991-A228600B48D8}") == kSample);
    static_assert(com::GuidFromLiteral("0b49fc2b-a0a1-4870-8991-a228600b48d8") == kSample);
    static_assert(!IsEqualGUID(kSample, GUID_NULL));

    GUID parsed{};
    ASSERT_TRUE(com::GuidFromString(L"{0b49fc2b-a0a1-4870-8991-a228600b48d8}", &parsed));
    EXPECT_EQ(parsed, kSample);
    const GUID before = parsed;
    for (const wchar_t* bad : {L"", L"0B49FC2B-A0A1-4870-8991-A228600B48D8", L"{0B49FC2B-A0A1-4870-8991-A228600B48D8",
                               L"{0B49FC2B-A0A1-4870-8991A-228600B48D8}", L"{0B49FC2B-A0A1-4870-8991-A228600B48DG}",
                               L"{0B49FC2B-A0A1-4870-8991-A228600B48D8}x", L"{+B49FC2B-A0A1-4870-8991-A228600B48D8}"}) {
        EXPECT_FALSE(com::GuidFromString(bad, &parsed)) << testing::PrintToString(std::wstring(bad));
        EXPECT_EQ(parsed, before);
    }

    LPOLESTR text = nullptr;
    ASSERT_EQ(StringFromCLSID(kSample, &text), S_OK);
    EXPECT_EQ(WStringFromOleStr(text), L"{0B49FC2B-A0A1-4870-8991-A228600B48D8}");
    CLSID back{};
    EXPECT_EQ(CLSIDFromString(text, &back), S_OK);
    EXPECT_EQ(back, kSample);
    CoTaskMemFree(text);
    EXPECT_EQ(StringFromCLSID(kSample, nullptr), E_INVALIDARG);

    OLECHAR buffer[39];
    EXPECT_EQ(StringFromGUID2(kSample, buffer, 38), 0);  // no room for the NUL
    EXPECT_EQ(StringFromGUID2(kSample, buffer, 39), 39);
    EXPECT_EQ(buffer[38], 0);
    EXPECT_EQ(CLSIDFromString(u"{0B49FC2B-A0A1-4870-8991-A228600B48D}", &back), CO_E_CLASSSTRING);
}

TEST(ComHresult, ValuesAndConversions) {
    struct Case {
        HRESULT hr;
        std::uint32_t bits;
    };
    const Case cases[] = {
        {E_FAIL, 0x80004005u},
        {E_NOTIMPL, 0x80004001u},
        {E_NOINTERFACE, 0x80004002u},
        {E_POINTER, 0x80004003u},
        {E_INVALIDARG, 0x80070057u},
        {E_OUTOFMEMORY, 0x8007000Eu},
        {E_UNEXPECTED, 0x8000FFFFu},
        {E_ACCESSDENIED, 0x80070005u},
        {CLASS_E_CLASSNOTAVAILABLE, 0x80040111u},
        {REGDB_E_CLASSNOTREG, 0x80040154u},
        {CLASS_E_NOAGGREGATION, 0x80040110u},
        {DISP_E_BADINDEX, 0x8002000Bu},
        {DISP_E_TYPEMISMATCH, 0x80020005u},
        {HRESULT_FROM_WIN32(5), 0x80070005u},
        {HRESULT_FROM_WIN32(87), 0x80070057u},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(static_cast<std::uint32_t>(c.hr), c.bits);
        EXPECT_TRUE(FAILED(c.hr));
        EXPECT_LT(c.hr, 0);  // negative is failure
    }
    EXPECT_EQ(HRESULT_FROM_WIN32(0), S_OK);
    EXPECT_TRUE(SUCCEEDED(S_FALSE));
    EXPECT_EQ(HResultMessage(REGDB_E_CLASSNOTREG), L"Class not registered");
    EXPECT_EQ(HResultMessage(static_cast<HRESULT>(0x8DEAD001u)), L"Unknown error 0x8DEAD001");

    try {
        ThrowIfFailed(DISP_E_TYPEMISMATCH, L"", IID_IClassFactory);
        FAIL() << "no throw";
    } catch (const CComError& e) {
        EXPECT_EQ(e.Error(), DISP_E_TYPEMISMATCH);
        EXPECT_EQ(e.Iid(), IID_IClassFactory);
        EXPECT_EQ(e.ErrorMessage(), L"Type mismatch");
        EXPECT_STREQ(e.what(), "Type mismatch (0x80020005)");
    }
    EXPECT_EQ(ThrowIfFailed(S_FALSE), S_FALSE);
}

TEST(ComBstr, LengthPrefixConversionsAndOwnership) {
    BSTR s = SysAllocStringLen(u"a\0b", 3);  // embedded NUL counts
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(SysStringLen(s), 3u);
    EXPECT_EQ(SysStringByteLen(s), 6u);
    std::uint32_t prefix;
    std::memcpy(&prefix, reinterpret_cast<char*>(s) - 4, 4);
    EXPECT_EQ(prefix, 6u);
    EXPECT_EQ(s[3], 0);
    EXPECT_EQ(WStringFromBstr(s), std::wstring(L"a\0b", 3));
    SysFreeString(s);

    // A null BSTR is the empty string everywhere.
    EXPECT_EQ(SysStringLen(nullptr), 0u);
    EXPECT_EQ(WStringFromBstr(nullptr), L"");
    EXPECT_EQ(SysAllocString(nullptr), nullptr);
    SysFreeString(nullptr);

    struct Case {
        std::wstring wide;
        std::u16string utf16;
        std::wstring back;
    };
    const Case cases[] = {
        {L"", u"", L""},
        {L"Hello \u00E9", u"Hello \u00E9", L"Hello \u00E9"},
        {L"\U0001F600", u"\U0001F600", L"\U0001F600"},  // a surrogate pair each way
        {std::wstring(1, wchar_t(0x110000)), u"\uFFFD", L"\uFFFD"},
        {std::wstring(1, wchar_t(0xD800)), u"\uFFFD", L"\uFFFD"},
    };
    for (const Case& c : cases) {
        BSTR b = BstrFromWString(c.wide);
        ASSERT_NE(b, nullptr);
        EXPECT_EQ(std::u16string(b, SysStringLen(b)), c.utf16);
        EXPECT_EQ(WStringFromBstr(b), c.back);
        SysFreeString(b);
    }
    // An unpaired surrogate coming in from UTF-16 becomes U+FFFD.
    EXPECT_EQ(WStringFromU16(u"x\xDC00y", 3), L"x\uFFFDy");

    CBstr a(L"text");
    CBstr copy = a;
    EXPECT_NE(copy.Get(), a.Get());
    EXPECT_EQ(copy.ToWString(), L"text");
    CBstr moved = std::move(copy);
    EXPECT_EQ(copy.Get(), nullptr);
    EXPECT_EQ(moved.Length(), 4u);
    moved = moved;  // self-assignment keeps it
    EXPECT_EQ(moved.ToWString(), L"text");
    BSTR* out = &moved;  // receiving an out value frees the old one first
    EXPECT_EQ(*out, nullptr);
    *out = SysAllocString(u"new");
    EXPECT_EQ(moved.ToWString(), L"new");
}

TEST(ComVariant, ClearAndCopyOwnTheirContents) {
    VARIANT v;
    VariantInit(&v);
    EXPECT_EQ(v.vt, VT_EMPTY);

    // BSTR: a deep copy; clearing either leaves the other intact.
    v.vt = VT_BSTR;
    v.bstrVal = BstrFromWString(L"movie");
    VARIANT c;
    VariantInit(&c);
    ASSERT_EQ(VariantCopy(&c, &v), S_OK);
    EXPECT_NE(c.bstrVal, v.bstrVal);
    EXPECT_EQ(VariantClear(&v), S_OK);
    EXPECT_EQ(v.vt, VT_EMPTY);
    EXPECT_EQ(WStringFromBstr(c.bstrVal), L"movie");
    // Copying onto itself must not free what it copies.
    EXPECT_EQ(VariantCopy(&c, &c), S_OK);
    EXPECT_EQ(WStringFromBstr(c.bstrVal), L"movie");

    // Interfaces: copy adds a reference, clear releases it.
    auto* object = new CCounted();
    VARIANT u;
    VariantInit(&u);
    u.vt = VT_UNKNOWN;
    u.punkVal = static_cast<IClassFactory*>(object);
    ASSERT_EQ(VariantCopy(&c, &u), S_OK);  // c's BSTR is freed first
    EXPECT_EQ(object->Refs(), 2u);
    c.vt = VT_DISPATCH;  // the same pointer seen as an object
    EXPECT_EQ(VariantClear(&c), S_OK);
    EXPECT_EQ(object->Refs(), 1u);
    EXPECT_EQ(VariantClear(&u), S_OK);
    EXPECT_EQ(CCounted::s_alive, 0);

    // Scalars and errors copy as they are.
    VARIANT b;
    VariantInit(&b);
    b.vt = VT_BOOL;
    b.boolVal = VARIANT_TRUE;
    ASSERT_EQ(VariantCopy(&c, &b), S_OK);
    EXPECT_EQ(c.boolVal, VARIANT_TRUE);
    b.vt = VT_ERROR;
    b.scode = E_FAIL;
    ASSERT_EQ(VariantCopy(&c, &b), S_OK);
    EXPECT_EQ(c.vt, VT_ERROR);
    EXPECT_EQ(c.scode, E_FAIL);

    // Types outside the subset are refused without touching the destination.
    b.vt = 0x48;  // VT_CLSID
    EXPECT_EQ(VariantCopy(&c, &b), DISP_E_BADVARTYPE);
    EXPECT_EQ(c.vt, VT_ERROR);
    EXPECT_EQ(VariantClear(&b), DISP_E_BADVARTYPE);
    EXPECT_EQ(VariantClear(nullptr), E_INVALIDARG);
}

TEST(ComSafeArray, ByteVectorsBoundsLocksAndCopies) {
    SAFEARRAY* a = SafeArrayCreateVector(VT_UI1, 0, 5);
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(SafeArrayGetDim(a), 1u);
    EXPECT_EQ(SafeArrayGetElemsize(a), 1u);
    VARTYPE vt = 0;
    EXPECT_EQ(SafeArrayGetVartype(a, &vt), S_OK);
    EXPECT_EQ(vt, VT_UI1);
    LONG lo = -1, hi = -1;
    EXPECT_EQ(SafeArrayGetLBound(a, 1, &lo), S_OK);
    EXPECT_EQ(SafeArrayGetUBound(a, 1, &hi), S_OK);
    EXPECT_EQ(lo, 0);
    EXPECT_EQ(hi, 4);
    EXPECT_EQ(SafeArrayGetUBound(a, 2, &hi), DISP_E_BADINDEX);
    EXPECT_EQ(SafeArrayGetLBound(a, 0, &lo), DISP_E_BADINDEX);

    void* data = nullptr;
    ASSERT_EQ(SafeArrayAccessData(a, &data), S_OK);
    std::memcpy(data, "FWS\x08\x10", 5);
    // An array in use cannot be destroyed, nor the VARIANT holding it cleared.
    EXPECT_EQ(SafeArrayDestroy(a), DISP_E_ARRAYISLOCKED);
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_ARRAY | VT_UI1;
    v.parray = a;
    EXPECT_EQ(VariantClear(&v), DISP_E_ARRAYISLOCKED);
    EXPECT_EQ(v.parray, a);
    EXPECT_EQ(SafeArrayUnaccessData(a), S_OK);
    EXPECT_EQ(SafeArrayUnaccessData(a), E_UNEXPECTED);

    VARIANT copy;
    VariantInit(&copy);
    ASSERT_EQ(VariantCopy(&copy, &v), S_OK);
    ASSERT_NE(copy.parray, a);
    ASSERT_EQ(SafeArrayAccessData(copy.parray, &data), S_OK);
    EXPECT_EQ(std::memcmp(data, "FWS\x08\x10", 5), 0);
    SafeArrayUnaccessData(copy.parray);
    EXPECT_EQ(VariantClear(&v), S_OK);
    EXPECT_EQ(VariantClear(&copy), S_OK);

    // Empty arrays: upper bound one below the lower bound; other lower bounds are kept.
    SAFEARRAY* empty = SafeArrayCreateVector(VT_UI1, 1, 0);
    ASSERT_NE(empty, nullptr);
    EXPECT_EQ(SafeArrayGetUBound(empty, 1, &hi), S_OK);
    EXPECT_EQ(hi, 0);
    EXPECT_EQ(SafeArrayDestroy(empty), S_OK);
    EXPECT_EQ(SafeArrayCreateVector(VT_BSTR, 0, 1), nullptr);          // only bytes here
    EXPECT_EQ(SafeArrayCreateVector(VT_UI1, 0x7FFFFFFF, 2), nullptr);  // upper bound overflows
    EXPECT_EQ(SafeArrayDestroy(nullptr), S_OK);
}

TEST(ComPtr, ReferencesBalanceAndQueryInterfaceUsesTheInterfaceId) {
    {
        auto* raw = new CCounted();  // one reference, ours
        CComPtr<IClassFactory> p;
        p.Attach(raw);
        EXPECT_EQ(raw->Refs(), 1u);
        {
            CComPtr<IClassFactory> q = p;
            EXPECT_EQ(raw->Refs(), 2u);
            CComPtr<IClassFactory> r = std::move(q);
            EXPECT_EQ(q.Get(), nullptr);
            EXPECT_EQ(raw->Refs(), 2u);
            r = r;  // self-assignment
            EXPECT_EQ(raw->Refs(), 2u);
        }
        EXPECT_EQ(raw->Refs(), 1u);

        CComPtr<IUnknown> unknown;
        ASSERT_EQ(p.QueryInterface(&unknown), S_OK);
        EXPECT_EQ(raw->Refs(), 2u);
        // operator& releases what was held before receiving a new pointer.
        ASSERT_EQ(p->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&unknown)), S_OK);
        EXPECT_EQ(raw->Refs(), 2u);
        unknown.Release();
        EXPECT_EQ(unknown.Get(), nullptr);
        // Asking for an interface the object lacks.
        CComPtr<IClassFactory> none;
        void* out = reinterpret_cast<void*>(1);
        EXPECT_EQ(p->QueryInterface(kSample, &out), E_NOINTERFACE);
        EXPECT_EQ(out, nullptr);
        EXPECT_EQ(p->QueryInterface(IID_IUnknown, nullptr), E_POINTER);
        EXPECT_EQ(none.QueryInterface(&unknown), E_POINTER);

        IClassFactory* detached = p.Detach();
        EXPECT_EQ(p.Get(), nullptr);
        detached->Release();
    }
    EXPECT_EQ(CCounted::s_alive, 0);
}
