#pragma once
// What every wrapper of the presentation object model shares: the flat base CPptObject, the
// interface queries and the failure of an object-model call.

#include "genswf/utils/Exceptions.h"
#include "powerpoint/model/PowerPoint.h"

#include <utility>

namespace genswf {

// Throws the object-model failure "PPT Exception in file <sourceFile> at line <line>".
[[noreturn]] void ThrowPptException(const char* sourceFile, int line);

// The flat wrapper base over one interface: holds a reference to it and, once asked, to its
// Parent.
template <class I>
class CPptObject {
public:
    explicit CPptObject(I* object) : m_pObject(object) {}
    virtual ~CPptObject() = default;
    CPptObject(const CPptObject&) = delete;
    CPptObject& operator=(const CPptObject&) = delete;

    // The object's Parent, read once; an AddRef'ed copy the caller releases.
    PowerPoint::IDispatch* GetParent() {
        if (!m_pParent) {
            CComPtr<PowerPoint::IDispatch> parent;
            if (!m_pObject || m_pObject->get_Parent(&parent) < 0 || !parent) ThrowPptException(__FILE__, 23);
            m_pParent = std::move(parent);
        }
        PowerPoint::IDispatch* parent = nullptr;
        m_pParent.CopyTo(&parent);
        return parent;
    }

protected:
    CComPtr<I> m_pObject;
    CComPtr<PowerPoint::IDispatch> m_pParent;
};

// The interface of p, AddRef'ed, or null when p is null or lacks it. Never throws.
PowerPoint::Shape* QueryShape(IUnknown* p);
PowerPoint::TextFrame* QueryTextFrame(IUnknown* p);
PowerPoint::TextRange* QueryTextRange(IUnknown* p);
PowerPoint::ActionSetting* QueryActionSetting(IUnknown* p);

}  // namespace genswf
