#pragma once
// The interface implementations of the in-memory host: thin objects over the builder's state.

#include "powerpoint/host/PowerPointHost.h"

#include <functional>

namespace PowerPoint {
namespace Host {

// One interface over host state. Reference counts go to the document: an object lives exactly
// as long as its document.
template <class I>
class CObject : public CHostDocument::Object, public I {
public:
    CObject(CHostDocument* doc, const CHostNode* node, const void* key) : m_doc(doc), m_node(node), m_key(key) {}

    HRESULT QueryInterface(REFIID riid, void** ppv) override {
        if (!ppv) return E_POINTER;
        *ppv = nullptr;
        if (!IsEqualIID(riid, IID_IUnknown) && !IsEqualIID(riid, UuidOf<I>())) return E_NOINTERFACE;
        *ppv = static_cast<I*>(this);
        AddRef();
        return S_OK;
    }
    ULONG AddRef() override { return m_doc->AddRef(); }
    ULONG Release() override { return m_doc->Release(); }

protected:
    HRESULT ApplicationOut(_Application** out) const {
        HRESULT hr = Enter("get_Application");
        if (FAILED(hr)) return hr;
        if (!out) return E_POINTER;
        *out = m_doc->Application().Detach();
        return S_OK;
    }
    HRESULT Enter(const char* member) const { return m_doc->Enter(m_node, m_key, InterfaceName(), member); }
    void Written(const char* member) const {
        m_doc->Written(m_node, (std::string(InterfaceName()) + "." + member).c_str());
    }
    virtual const char* InterfaceName() const = 0;

    CHostDocument* m_doc;
    const CHostNode* m_node;
    const void* m_key;
};

// Every member starts with these: count the call, apply injected faults, refuse deleted objects,
// refuse a null out-parameter.
#define HOST_ENTER(member)                   \
    do {                                     \
        HRESULT enterHr = Enter(member);     \
        if (FAILED(enterHr)) return enterHr; \
    } while (0)
#define HOST_ENTER_OUT(member, out)   \
    do {                              \
        HOST_ENTER(member);           \
        if (!(out)) return E_POINTER; \
    } while (0)

// get_Application for an implementation class.
#define HOST_APPLICATION \
    HRESULT get_Application(_Application** out) override { return ApplicationOut(out); }

// Hands out an AddRef'ed interface.
template <class I, class T>
HRESULT GiveOut(T* object, I** out) {
    if (!object) {
        *out = nullptr;
        return E_FAIL;
    }
    I* p = object;
    p->AddRef();
    *out = p;
    return S_OK;
}

inline HRESULT GiveString(const std::wstring& text, BSTR* out) {
    *out = BstrFromWString(text);
    return *out || text.empty() ? S_OK : E_OUTOFMEMORY;
}

// The one object of type T over key (a, b distinguish ranges), made with args the first time.
template <class T>
const void* KindOf() {
    static const char kind = 0;
    return &kind;
}

template <class T, class... A>
T* Obtain(CHostDocument* doc, const void* key, std::int64_t a, std::int64_t b, A&&... args) {
    if (CHostDocument::Object* found = doc->Find(key, KindOf<T>(), a, b)) return static_cast<T*>(found);
    return doc->Keep<T>(key, KindOf<T>(), a, b, std::forward<A>(args)...);
}

// Makes a fresh object each time (ranges, whose content is a snapshot).
template <class T, class... A>
T* MakeObject(CHostDocument* doc, A&&... args) {
    return doc->Keep<T>(nullptr, nullptr, 0, 0, std::forward<A>(args)...);
}

// The interface of a node or of state reached from it.
_Slide* SlideObject(CHostSlide* slide);
_Master* MasterObject(CHostMaster* master);
Shape* ShapeObject(CHostShape* shape);
Shapes* ShapesObject(CHostNode* owner, std::vector<CHostShape*>* shapes);
ShapeRange* ShapeRangeObject(CHostDocument* doc, CHostNode* owner, std::vector<CHostShape*> shapes);
SlideRange* SlideRangeObject(CHostDocument* doc, std::vector<CHostSlide*> slides);
Tags* TagsObject(CHostDocument* doc, const CHostNode* node, std::vector<TagData>* tags);
TextFrame* TextFrameObject(CHostShape* shape);
// start 0-based, length in characters; count: how many items the range was made of.
TextRange* TextRangeObject(CHostShape* shape, LONG start, LONG length, LONG count);
ActionSettings* ShapeActionSettingsObject(CHostShape* shape);
// The hyperlink of text link `link` of the shape, or of the shape's own action (link -1).
Hyperlink* HyperlinkObject(CHostShape* shape, LONG link, PpMouseActivation activation);
SlideShowTransition* TransitionObject(CHostSlide* slide);
// Slide.Background: the fill the slide shows (the master's while it follows the master).
ShapeRange* BackgroundRangeObject(CHostSlide* slide);
Hyperlinks* SlideHyperlinksObject(CHostSlide* slide);
TimeLine* TimeLineObject(CHostSlide* slide);
Slides* SlidesObject(CHostDocument* doc);
// The host slide behind a slide object of this host, or null for anything else.
CHostSlide* HostSlideOf(IDispatch* object);
HeadersFooters* HeadersFootersObject(CHostDocument* doc, const CHostNode* node, HeadersFootersData* data);
ColorScheme* ColorSchemeObject(CHostDocument* doc, const CHostNode* node, ULONG* colors);

// A colour reached through getter and setter (fill, line, font, dim colour).
ColorFormat* ColorFormatObject(CHostDocument* doc, const CHostNode* node, const void* key,
                               std::function<ColorData()> get, std::function<void(const ColorData&)> set);
inline ColorFormat* ColorFormatObject(CHostDocument* doc, const CHostNode* node, ColorData* data) {
    return ColorFormatObject(
        doc, node, data, [data] { return *data; }, [data](const ColorData& c) { *data = c; });
}

// Font over the characters [start, start + length) of a shape's text, or over fixed font state.
Font* TextFontObject(CHostShape* shape, LONG start, LONG length);
Font* FixedFontObject(CHostDocument* doc, const CHostNode* node, FontData* font);

// Copies a shape onto its own slide (on top), as Shape.Duplicate does.
CHostShape* DuplicateShape(CHostShape* shape);
// Removes a shape from its slide, as Shape.Delete does.
void DeleteShape(CHostShape* shape);

inline ULONG ClampColor(ULONG rgb) { return rgb & 0xFFFFFFu; }

// A path as the object model takes it (either separator) in the file system's UTF-8.
std::string Utf8Path(const std::wstring& wide);

// Shape.Export and Slide.Export: pictures drawn by the renderer.
HRESULT ExportShapePicture(CHostShape* shape, const std::wstring& path, PpShapeFormat filter, LONG scaleWidth,
                           LONG scaleHeight, PpExportMode mode);
HRESULT ExportSlidePicture(CHostSlide* slide, const std::wstring& path, const std::wstring& filter, LONG width,
                           LONG height);

// The 1-based position a VARIANT index names among count items; names go through byName (0: none).
template <class ByName>
HRESULT PositionFromVariant(const VARIANT& index, LONG count, ByName byName, LONG* position) {
    LONG p = 0;
    switch (index.vt) {
    case VT_I4:
        p = index.lVal;
        break;
    case VT_I2:
        p = index.iVal;
        break;
    case VT_BSTR:
        p = byName(WStringFromBstr(index.bstrVal));
        break;
    default:
        return DISP_E_TYPEMISMATCH;
    }
    if (p < 1 || p > count) return E_INVALIDARG;
    *position = p;
    return S_OK;
}

inline bool IsMissing(const VARIANT& v) { return v.vt == VT_EMPTY || v.vt == VT_ERROR; }

inline std::vector<CHostSlide*> LiveSlides(const std::vector<CHostSlide*>& slides) {
    std::vector<CHostSlide*> live;
    for (CHostSlide* s : slides)
        if (!s->IsDeleted()) live.push_back(s);
    return live;
}

}  // namespace Host
}  // namespace PowerPoint

// Simple properties over an lvalue of the state.
#define HOST_GET(Name, Type, lvalue)         \
    HRESULT get_##Name(Type* out) override { \
        HOST_ENTER_OUT("get_" #Name, out);   \
        *out = (lvalue);                     \
        return S_OK;                         \
    }
#define HOST_PUT(Name, Type, lvalue)          \
    HRESULT put_##Name(Type value) override { \
        HOST_ENTER("put_" #Name);             \
        Written("put_" #Name);                \
        (lvalue) = value;                     \
        return S_OK;                          \
    }
#define HOST_PROPERTY(Name, Type, lvalue) HOST_GET(Name, Type, lvalue) HOST_PUT(Name, Type, lvalue)
#define HOST_GET_STRING(Name, expr)          \
    HRESULT get_##Name(BSTR* out) override { \
        HOST_ENTER_OUT("get_" #Name, out);   \
        return GiveString((expr), out);      \
    }
#define HOST_NO_PARENT                             \
    HRESULT get_Parent(IDispatch** out) override { \
        HOST_ENTER_OUT("get_Parent", out);         \
        *out = nullptr;                            \
        return E_NOTIMPL;                          \
    }
#define HOST_CREATOR                                     \
    HRESULT get_Creator(LONG* out) override {            \
        HOST_ENTER_OUT("get_Creator", out);              \
        *out = 0x4D535030; /* the host's creator code */ \
        return S_OK;                                     \
    }
