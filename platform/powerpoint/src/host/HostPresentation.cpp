// Application, presentation and windows of the in-memory host.

#include "HostObjects.h"

#include <algorithm>
#include <fstream>

namespace PowerPoint {
namespace Host {

// ---- Application ------------------------------------------------------------------------------

class CApplicationObject : public CObject<_Application> {
public:
    explicit CApplicationObject(CHostDocument* doc) : CObject(doc, nullptr, doc) {}
    const char* InterfaceName() const override { return "Application"; }

    HRESULT get_Name(BSTR* out) override {
        HOST_ENTER_OUT("get_Name", out);
        return GiveString(L"Presentation host", out);
    }
    HRESULT get_ActivePresentation(_Presentation** out) override {
        HOST_ENTER_OUT("get_ActivePresentation", out);
        *out = m_doc->Presentation().Detach();
        return S_OK;
    }
    HRESULT get_Version(BSTR* out) override {
        HOST_ENTER_OUT("get_Version", out);
        return GiveString(m_doc->version, out);
    }
};

// ---- Windows ----------------------------------------------------------------------------------

class CViewObject : public CObject<View> {
public:
    explicit CViewObject(CHostDocument* doc) : CObject(doc, nullptr, &doc->viewSlide) {}
    const char* InterfaceName() const override { return "View"; }
    HOST_APPLICATION
    HRESULT get_Parent(IDispatch** out) override {
        HOST_ENTER_OUT("get_Parent", out);
        *out = nullptr;
        return E_NOTIMPL;
    }
    HRESULT get_Type(PpViewType* out) override {
        HOST_ENTER_OUT("get_Type", out);
        *out = ppViewNormal;
        return S_OK;
    }
    HRESULT get_Slide(IDispatch** out) override {
        HOST_ENTER_OUT("get_Slide", out);
        *out = nullptr;
        CHostSlide* shown = m_doc->viewSlide;
        if (!shown && !m_doc->Slides().empty()) shown = m_doc->Slides().front();
        if (!shown) return E_FAIL;
        return GiveOut<IDispatch>(SlideObject(shown), out);
    }
    HRESULT put_Slide(IDispatch* value) override {
        HOST_ENTER("put_Slide");
        CHostSlide* slide = HostSlideOf(value);
        if (!slide || slide->IsDeleted()) return E_INVALIDARG;
        m_doc->viewSlide = slide;
        return S_OK;
    }
};

class CSelectionObject : public CObject<Selection> {
public:
    explicit CSelectionObject(CHostDocument* doc) : CObject(doc, nullptr, &doc->selection) {}
    const char* InterfaceName() const override { return "Selection"; }
    HOST_APPLICATION
    HRESULT get_Parent(IDispatch** out) override {
        HOST_ENTER_OUT("get_Parent", out);
        *out = nullptr;
        return E_NOTIMPL;
    }
    HRESULT Unselect() override {
        HOST_ENTER("Unselect");
        m_doc->selection.clear();
        return S_OK;
    }
    HRESULT get_Type(PpSelectionType* out) override {
        HOST_ENTER_OUT("get_Type", out);
        *out = m_doc->selection.empty() ? ppSelectionNone : ppSelectionSlides;
        return S_OK;
    }
    HRESULT get_SlideRange(SlideRange** out) override {
        HOST_ENTER_OUT("get_SlideRange", out);
        *out = nullptr;
        std::vector<CHostSlide*> selected = LiveSlides(m_doc->selection);
        if (selected.empty()) return E_FAIL;  // nothing appropriate is selected
        return GiveOut<SlideRange>(SlideRangeObject(m_doc, selected), out);
    }
    HRESULT get_ShapeRange(ShapeRange** out) override {
        HOST_ENTER_OUT("get_ShapeRange", out);
        *out = nullptr;
        return E_FAIL;
    }
};

class CDocumentWindowObject : public CObject<DocumentWindow> {
public:
    explicit CDocumentWindowObject(CHostDocument* doc) : CObject(doc, nullptr, &doc->hasWindow) {}
    const char* InterfaceName() const override { return "DocumentWindow"; }
    HOST_APPLICATION
    HRESULT get_Parent(IDispatch** out) override {
        HOST_ENTER_OUT("get_Parent", out);
        *out = m_doc->Application().Detach();
        return S_OK;
    }
    HRESULT get_Selection(Selection** out) override {
        HOST_ENTER_OUT("get_Selection", out);
        return GiveOut<Selection>(Obtain<CSelectionObject>(m_doc, m_doc, 0, 0, m_doc), out);
    }
    HRESULT get_View(View** out) override {
        HOST_ENTER_OUT("get_View", out);
        return GiveOut<View>(Obtain<CViewObject>(m_doc, m_doc, 0, 0, m_doc), out);
    }
    HRESULT get_Presentation(_Presentation** out) override {
        HOST_ENTER_OUT("get_Presentation", out);
        *out = m_doc->Presentation().Detach();
        return S_OK;
    }
};

class CDocumentWindowsObject : public CObject<DocumentWindows> {
public:
    explicit CDocumentWindowsObject(CHostDocument* doc) : CObject(doc, nullptr, &doc->hasWindow) {}
    const char* InterfaceName() const override { return "DocumentWindows"; }
    HOST_APPLICATION
    HRESULT get_Parent(IDispatch** out) override {
        HOST_ENTER_OUT("get_Parent", out);
        *out = m_doc->Application().Detach();
        return S_OK;
    }
    HRESULT get_Count(LONG* out) override {
        HOST_ENTER_OUT("get_Count", out);
        *out = m_doc->hasWindow ? 1 : 0;
        return S_OK;
    }
    HRESULT Item(LONG index, DocumentWindow** out) override {
        HOST_ENTER_OUT("Item", out);
        *out = nullptr;
        if (!m_doc->hasWindow || index != 1) return E_INVALIDARG;
        return GiveOut<DocumentWindow>(Obtain<CDocumentWindowObject>(m_doc, m_doc, 0, 0, m_doc), out);
    }
};

// ---- Presentation -----------------------------------------------------------------------------

class CPresentationObject : public CObject<_Presentation> {
public:
    explicit CPresentationObject(CHostDocument* doc) : CObject(doc, nullptr, doc) {}
    const char* InterfaceName() const override { return "Presentation"; }
    HOST_APPLICATION
    HRESULT get_Parent(IDispatch** out) override {
        HOST_ENTER_OUT("get_Parent", out);
        *out = m_doc->Application().Detach();
        return S_OK;
    }
    HRESULT get_SlideMaster(_Master** out) override {
        HOST_ENTER_OUT("get_SlideMaster", out);
        return GiveOut<_Master>(MasterObject(m_doc->Master()), out);
    }
    HRESULT get_Slides(Slides** out) override {
        HOST_ENTER_OUT("get_Slides", out);
        return GiveOut<Slides>(SlidesObject(m_doc), out);
    }
    HRESULT get_Windows(DocumentWindows** out) override {
        HOST_ENTER_OUT("get_Windows", out);
        return GiveOut<DocumentWindows>(Obtain<CDocumentWindowsObject>(m_doc, m_doc, 0, 0, m_doc), out);
    }
    HRESULT get_Tags(Tags** out) override {
        HOST_ENTER_OUT("get_Tags", out);
        return GiveOut<Tags>(TagsObject(m_doc, nullptr, &m_doc->tags), out);
    }
    HRESULT get_FullName(BSTR* out) override {
        HOST_ENTER_OUT("get_FullName", out);
        if (m_doc->path.empty()) return GiveString(m_doc->name, out);
        std::wstring sep = m_doc->path.back() == L'/' || m_doc->path.back() == L'\\' ? L"" : L"/";
        return GiveString(m_doc->path + sep + m_doc->name, out);
    }
    HRESULT get_Name(BSTR* out) override {
        HOST_ENTER_OUT("get_Name", out);
        return GiveString(m_doc->name, out);
    }
    HRESULT get_Path(BSTR* out) override {
        HOST_ENTER_OUT("get_Path", out);
        return GiveString(m_doc->path, out);
    }
    HRESULT get_Saved(MsoTriState* out) override {
        HOST_ENTER_OUT("get_Saved", out);
        *out = m_doc->saved;
        return S_OK;
    }
    HRESULT put_Saved(MsoTriState value) override {
        HOST_ENTER("put_Saved");
        Written("put_Saved");
        m_doc->saved = value == msoFalse ? msoFalse : msoTrue;
        return S_OK;
    }
    HRESULT SaveCopyAs(BSTR fileName, PpSaveAsFileType format, MsoTriState) override {
        HOST_ENTER("SaveCopyAs");
        if (m_doc->fileBytes.empty()) return E_NOTIMPL;  // only a loaded file has bytes to write
        if (format != ppSaveAsPresentation) return E_NOTIMPL;
        const std::wstring wide = WStringFromBstr(fileName);
        if (wide.empty()) return E_INVALIDARG;
        std::string path;
        for (wchar_t c : wide) {
            // Paths are UTF-8 at the file-system edge.
            std::uint32_t u = static_cast<std::uint32_t>(c);
            if (u < 0x80) {
                path.push_back(static_cast<char>(c == L'\\' ? L'/' : c));
            } else if (u < 0x800) {
                path.push_back(static_cast<char>(0xC0 | (u >> 6)));
                path.push_back(static_cast<char>(0x80 | (u & 0x3F)));
            } else if (u < 0x10000) {
                path.push_back(static_cast<char>(0xE0 | (u >> 12)));
                path.push_back(static_cast<char>(0x80 | ((u >> 6) & 0x3F)));
                path.push_back(static_cast<char>(0x80 | (u & 0x3F)));
            } else {
                path.push_back(static_cast<char>(0xF0 | (u >> 18)));
                path.push_back(static_cast<char>(0x80 | ((u >> 12) & 0x3F)));
                path.push_back(static_cast<char>(0x80 | ((u >> 6) & 0x3F)));
                path.push_back(static_cast<char>(0x80 | (u & 0x3F)));
            }
        }
        std::ofstream file(path, std::ios::binary | std::ios::trunc);
        if (!file) return E_ACCESSDENIED;
        file.write(reinterpret_cast<const char*>(m_doc->fileBytes.data()),
                   static_cast<std::streamsize>(m_doc->fileBytes.size()));
        file.close();
        return file ? S_OK : E_FAIL;
    }
};

CComPtr<PowerPoint::_Presentation> CHostDocument::Presentation() {
    return CComPtr<PowerPoint::_Presentation>(Obtain<CPresentationObject>(this, this, 0, 0, this));
}

CComPtr<PowerPoint::_Application> CHostDocument::Application() {
    return CComPtr<PowerPoint::_Application>(Obtain<CApplicationObject>(this, this, 0, 0, this));
}
}  // namespace Host
}  // namespace PowerPoint
