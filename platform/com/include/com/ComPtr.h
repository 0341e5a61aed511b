#pragma once
// CComPtr<T>: holds one reference to an interface.

#include "ComBase.h"

#include <memory>
#include <utility>

HRESULT CoCreateInstance(REFCLSID rclsid, IUnknown* pUnkOuter, DWORD dwClsContext, REFIID riid, void** ppv);

template <class T>
class CComPtr {
public:
    CComPtr() = default;
    CComPtr(T* p) : m_p(p) {
        if (m_p) m_p->AddRef();
    }
    CComPtr(const CComPtr& other) : CComPtr(other.m_p) {}
    CComPtr(CComPtr&& other) noexcept : m_p(other.Detach()) {}
    ~CComPtr() { Release(); }

    CComPtr& operator=(T* p) {
        if (p) p->AddRef();
        Attach(p);
        return *this;
    }
    CComPtr& operator=(const CComPtr& other) { return *this = other.m_p; }
    CComPtr& operator=(CComPtr&& other) noexcept {
        if (this != std::addressof(other)) Attach(other.Detach());
        return *this;
    }

    operator T*() const { return m_p; }
    T* operator->() const { return m_p; }
    T& operator*() const { return *m_p; }
    T* Get() const { return m_p; }
    // Receives an out pointer; whatever was held is released first.
    T** operator&() {
        Release();
        return &m_p;
    }
    bool operator!() const { return m_p == nullptr; }

    // Takes over a reference without AddRef.
    void Attach(T* p) {
        T* old = m_p;
        m_p = p;
        if (old) old->Release();
    }
    T* Detach() {
        T* p = m_p;
        m_p = nullptr;
        return p;
    }
    void Release() {
        T* p = m_p;
        if (p) {
            m_p = nullptr;
            p->Release();
        }
    }
    HRESULT CopyTo(T** pp) const {
        if (!pp) return E_POINTER;
        *pp = m_p;
        if (m_p) m_p->AddRef();
        return S_OK;
    }
    template <class Q>
    HRESULT QueryInterface(Q** pp) const {
        if (!pp) return E_POINTER;
        *pp = nullptr;
        if (!m_p) return E_POINTER;
        return m_p->QueryInterface(UuidOf<Q>(), reinterpret_cast<void**>(pp));
    }
    // Creates an object of a registered class (see CoCreateInstance).
    HRESULT CoCreateInstance(REFCLSID clsid, IUnknown* outer = nullptr, DWORD clsctx = 0x17 /* CLSCTX_ALL */) {
        Release();
        return ::CoCreateInstance(clsid, outer, clsctx, UuidOf<T>(), reinterpret_cast<void**>(&m_p));
    }

private:
    T* m_p = nullptr;
};
