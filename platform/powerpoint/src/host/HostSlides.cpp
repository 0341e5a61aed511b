// Masters, slides, slide ranges and the slides collection of the in-memory host.

#include "HostObjects.h"

#include <algorithm>
#include <fstream>

namespace PowerPoint {
namespace Host {

// ---- Master -----------------------------------------------------------------------------------

class CMasterObject : public CObject<_Master> {
public:
    CMasterObject(CHostDocument* doc, CHostMaster* master) : CObject(doc, master, master), m_master(master) {}
    const char* InterfaceName() const override { return "Master"; }
    HOST_APPLICATION
    HRESULT get_Parent(IDispatch** out) override {
        HOST_ENTER_OUT("get_Parent", out);
        *out = m_doc->Presentation().Detach();
        return S_OK;
    }
    HRESULT get_Shapes(Shapes** out) override {
        HOST_ENTER_OUT("get_Shapes", out);
        return GiveOut<Shapes>(ShapesObject(m_master, &m_master->shapes), out);
    }
    HRESULT get_HeadersFooters(HeadersFooters** out) override {
        HOST_ENTER_OUT("get_HeadersFooters", out);
        return GiveOut<HeadersFooters>(HeadersFootersObject(m_doc, m_master, &m_master->headersFooters), out);
    }
    HRESULT get_ColorScheme(ColorScheme** out) override {
        HOST_ENTER_OUT("get_ColorScheme", out);
        return GiveOut<ColorScheme>(ColorSchemeObject(m_doc, m_master, m_master->colorScheme), out);
    }
    HRESULT get_Name(BSTR* out) override {
        HOST_ENTER_OUT("get_Name", out);
        return GiveString(m_master->name, out);
    }
    HRESULT get_Height(float* out) override {
        HOST_ENTER_OUT("get_Height", out);
        *out = m_master->height;
        return S_OK;
    }
    HRESULT get_Width(float* out) override {
        HOST_ENTER_OUT("get_Width", out);
        *out = m_master->width;
        return S_OK;
    }
    HRESULT get_Tags(Tags** out) override {
        HOST_ENTER_OUT("get_Tags", out);
        return GiveOut<Tags>(TagsObject(m_doc, m_master, &m_master->tags), out);
    }

private:
    CHostMaster* m_master;
};

_Master* MasterObject(CHostMaster* master) {
    return Obtain<CMasterObject>(master->Document(), master, 0, 0, master->Document(), master);
}

// ---- Slide ------------------------------------------------------------------------------------

namespace {

CHostSlide* DuplicateSlide(CHostSlide* source) {
    CHostDocument* doc = source->Document();
    CHostSlide* copy = doc->Make<CHostSlide>(doc, source->master);
    copy->original = false;
    copy->slideId = doc->NewSlideId();
    copy->name = L"Slide" + std::to_wstring(copy->slideId);
    copy->hasTimeLine = source->hasTimeLine;
    std::copy(std::begin(source->colorScheme), std::end(source->colorScheme), std::begin(copy->colorScheme));
    copy->headersFooters = source->headersFooters;
    copy->transition = source->transition;
    copy->tags = source->tags;
    copy->followMasterBackground = source->followMasterBackground;
    copy->background = source->background;
    std::vector<std::pair<CHostShape*, CHostShape*>> mapping;
    for (CHostShape* shape : source->shapes) {
        CHostShape* s = doc->Make<CHostShape>(doc, copy);
        s->data = shape->data;
        s->data.id = doc->NewShapeId();
        copy->shapes.push_back(s);
        mapping.emplace_back(shape, s);
    }
    for (CHostEffect* effect : source->effects) {
        CHostEffect* e = doc->Make<CHostEffect>(doc, copy);
        e->data = effect->data;
        for (const auto& m : mapping)
            if (m.first == effect->data.shape) e->data.shape = m.second;
        copy->effects.push_back(e);
    }
    auto& slides = doc->MutableSlides();
    auto it = std::find(slides.begin(), slides.end(), source);
    slides.insert(it == slides.end() ? slides.end() : it + 1, copy);
    return copy;
}

HRESULT DeleteSlide(CHostSlide* slide) {
    auto& slides = slide->Document()->MutableSlides();
    auto it = std::find(slides.begin(), slides.end(), slide);
    if (it == slides.end()) return HOST_E_DELETED;
    slides.erase(it);
    slide->deleted = true;
    CHostDocument* doc = slide->Document();
    if (doc->viewSlide == slide) doc->viewSlide = nullptr;
    doc->selection.erase(std::remove(doc->selection.begin(), doc->selection.end(), slide), doc->selection.end());
    return S_OK;
}

HRESULT MoveSlide(CHostSlide* slide, LONG toPos) {
    auto& slides = slide->Document()->MutableSlides();
    auto it = std::find(slides.begin(), slides.end(), slide);
    if (it == slides.end()) return HOST_E_DELETED;
    if (toPos < 1 || toPos > static_cast<LONG>(slides.size())) return E_INVALIDARG;
    slides.erase(it);
    slides.insert(slides.begin() + (toPos - 1), slide);
    return S_OK;
}

}  // namespace

class CSlideObject : public CObject<_Slide> {
public:
    CSlideObject(CHostDocument* doc, CHostSlide* slide) : CObject(doc, slide, slide), m_slide(slide) {}
    const char* InterfaceName() const override { return "Slide"; }
    CHostSlide* Node() const { return m_slide; }
    HOST_APPLICATION
    HRESULT get_Parent(IDispatch** out) override {
        HOST_ENTER_OUT("get_Parent", out);
        *out = m_doc->Presentation().Detach();
        return S_OK;
    }
    HRESULT get_Shapes(Shapes** out) override {
        HOST_ENTER_OUT("get_Shapes", out);
        return GiveOut<Shapes>(ShapesObject(m_slide, &m_slide->shapes), out);
    }
    HRESULT get_HeadersFooters(HeadersFooters** out) override {
        HOST_ENTER_OUT("get_HeadersFooters", out);
        return GiveOut<HeadersFooters>(HeadersFootersObject(m_doc, m_slide, &m_slide->headersFooters), out);
    }
    HRESULT get_SlideShowTransition(SlideShowTransition** out) override {
        HOST_ENTER_OUT("get_SlideShowTransition", out);
        return GiveOut<SlideShowTransition>(TransitionObject(m_slide), out);
    }
    HRESULT get_ColorScheme(ColorScheme** out) override {
        HOST_ENTER_OUT("get_ColorScheme", out);
        return GiveOut<ColorScheme>(ColorSchemeObject(m_doc, m_slide, m_slide->colorScheme), out);
    }
    HRESULT get_Background(ShapeRange** out) override {
        HOST_ENTER_OUT("get_Background", out);
        return GiveOut<ShapeRange>(BackgroundRangeObject(m_slide), out);
    }
    HRESULT get_Name(BSTR* out) override {
        HOST_ENTER_OUT("get_Name", out);
        return GiveString(m_slide->name, out);
    }
    HRESULT put_Name(BSTR value) override {
        HOST_ENTER("put_Name");
        Written("put_Name");
        m_slide->name = WStringFromBstr(value);
        return S_OK;
    }
    HRESULT get_SlideID(LONG* out) override {
        HOST_ENTER_OUT("get_SlideID", out);
        *out = m_slide->slideId;
        return S_OK;
    }
    HRESULT Select() override {
        HOST_ENTER("Select");
        if (!m_doc->hasWindow) return E_FAIL;
        m_doc->selection.assign(1, m_slide);
        m_doc->viewSlide = m_slide;
        return S_OK;
    }
    HRESULT Duplicate(SlideRange** out) override {
        HOST_ENTER_OUT("Duplicate", out);
        return GiveOut<SlideRange>(SlideRangeObject(m_doc, {DuplicateSlide(m_slide)}), out);
    }
    HRESULT Delete() override {
        HOST_ENTER("Delete");
        Written("Delete");
        return DeleteSlide(m_slide);
    }
    HRESULT get_Tags(Tags** out) override {
        HOST_ENTER_OUT("get_Tags", out);
        return GiveOut<Tags>(TagsObject(m_doc, m_slide, &m_slide->tags), out);
    }
    HRESULT get_SlideIndex(LONG* out) override {
        HOST_ENTER_OUT("get_SlideIndex", out);
        *out = m_slide->SlideIndex();
        return S_OK;
    }
    HRESULT get_SlideNumber(LONG* out) override {
        HOST_ENTER_OUT("get_SlideNumber", out);
        *out = m_slide->SlideIndex();
        return S_OK;
    }
    HRESULT get_Master(_Master** out) override {
        HOST_ENTER_OUT("get_Master", out);
        return GiveOut<_Master>(MasterObject(m_slide->master), out);
    }
    HRESULT get_Hyperlinks(Hyperlinks** out) override {
        HOST_ENTER_OUT("get_Hyperlinks", out);
        return GiveOut<Hyperlinks>(SlideHyperlinksObject(m_slide), out);
    }
    HRESULT Export(BSTR fileName, BSTR filterName, LONG scaleWidth, LONG scaleHeight) override {
        HOST_ENTER("Export");
        return ExportSlidePicture(m_slide, WStringFromBstr(fileName), WStringFromBstr(filterName), scaleWidth,
                                  scaleHeight);
    }
    HRESULT MoveTo(LONG toPos) override {
        HOST_ENTER("MoveTo");
        Written("MoveTo");
        return MoveSlide(m_slide, toPos);
    }
    HRESULT get_TimeLine(TimeLine** out) override {
        HOST_ENTER_OUT("get_TimeLine", out);
        *out = nullptr;
        // The older application has no timeline.
        if (std::wcstol(m_doc->version.c_str(), nullptr, 10) < 10 || !m_slide->hasTimeLine) return E_NOINTERFACE;
        return GiveOut<TimeLine>(TimeLineObject(m_slide), out);
    }

private:
    CHostSlide* m_slide;
};

_Slide* SlideObject(CHostSlide* slide) {
    return Obtain<CSlideObject>(slide->Document(), slide, 0, 0, slide->Document(), slide);
}

// ---- Slide range ------------------------------------------------------------------------------

class CSlideRangeObject : public CObject<SlideRange> {
public:
    CSlideRangeObject(CHostDocument* doc, std::vector<CHostSlide*> slides)
        : CObject(doc, nullptr, nullptr), m_slides(std::move(slides)) {
        m_key = this;
    }
    const char* InterfaceName() const override { return "SlideRange"; }
    HOST_APPLICATION
    HRESULT get_Parent(IDispatch** out) override {
        HOST_ENTER_OUT("get_Parent", out);
        *out = m_doc->Presentation().Detach();
        return S_OK;
    }
    HRESULT get_Shapes(Shapes** out) override { return One("get_Shapes", out, &_Slide::get_Shapes); }
    HRESULT get_HeadersFooters(HeadersFooters** out) override {
        return One("get_HeadersFooters", out, &_Slide::get_HeadersFooters);
    }
    HRESULT get_SlideShowTransition(SlideShowTransition** out) override {
        return One("get_SlideShowTransition", out, &_Slide::get_SlideShowTransition);
    }
    HRESULT get_Name(BSTR* out) override { return One("get_Name", out, &_Slide::get_Name); }
    HRESULT get_SlideID(LONG* out) override { return One("get_SlideID", out, &_Slide::get_SlideID); }
    HRESULT Select() override {
        HOST_ENTER("Select");
        if (!m_doc->hasWindow) return E_FAIL;
        m_doc->selection = LiveSlides(m_slides);
        return S_OK;
    }
    HRESULT Duplicate(SlideRange** out) override {
        HOST_ENTER_OUT("Duplicate", out);
        std::vector<CHostSlide*> copies;
        for (CHostSlide* s : LiveSlides(m_slides)) copies.push_back(DuplicateSlide(s));
        return GiveOut<SlideRange>(SlideRangeObject(m_doc, copies), out);
    }
    HRESULT Delete() override {
        HOST_ENTER("Delete");
        for (CHostSlide* s : LiveSlides(m_slides)) {
            m_doc->Written(s, "SlideRange.Delete");
            DeleteSlide(s);
        }
        return S_OK;
    }
    HRESULT get_Tags(Tags** out) override { return One("get_Tags", out, &_Slide::get_Tags); }
    HRESULT get_SlideIndex(LONG* out) override { return One("get_SlideIndex", out, &_Slide::get_SlideIndex); }
    HRESULT get_Master(_Master** out) override { return One("get_Master", out, &_Slide::get_Master); }
    HRESULT get_Hyperlinks(Hyperlinks** out) override { return One("get_Hyperlinks", out, &_Slide::get_Hyperlinks); }
    HRESULT Export(BSTR fileName, BSTR filterName, LONG scaleWidth, LONG scaleHeight) override {
        HOST_ENTER("Export");
        if (m_slides.size() != 1) return E_FAIL;
        return ExportSlidePicture(m_slides[0], WStringFromBstr(fileName), WStringFromBstr(filterName), scaleWidth,
                                  scaleHeight);
    }
    HRESULT Item(VARIANT index, _Slide** out) override {
        HOST_ENTER_OUT("Item", out);
        *out = nullptr;
        LONG p = 0;
        HRESULT hr = PositionFromVariant(
            index, static_cast<LONG>(m_slides.size()),
            [this](const std::wstring& n) {
                for (std::size_t i = 0; i < m_slides.size(); ++i)
                    if (m_slides[i]->name == n) return static_cast<LONG>(i) + 1;
                return 0;
            },
            &p);
        if (FAILED(hr)) return hr;
        return GiveOut<_Slide>(SlideObject(m_slides[static_cast<std::size_t>(p - 1)]), out);
    }
    HRESULT get_Count(LONG* out) override {
        HOST_ENTER_OUT("get_Count", out);
        *out = static_cast<LONG>(m_slides.size());
        return S_OK;
    }
    HRESULT MoveTo(LONG toPos) override {
        HOST_ENTER("MoveTo");
        if (m_slides.size() != 1) return E_FAIL;
        m_doc->Written(m_slides[0], "SlideRange.MoveTo");
        return MoveSlide(m_slides[0], toPos);
    }
    HRESULT get_TimeLine(TimeLine** out) override { return One("get_TimeLine", out, &_Slide::get_TimeLine); }

private:
    // A single-slide property: only a range of one slide has it.
    template <class T>
    HRESULT One(const char* member, T* out, HRESULT (_Slide::*get)(T*)) {
        HOST_ENTER_OUT(member, out);
        if (m_slides.size() != 1) return E_FAIL;
        return (SlideObject(m_slides[0])->*get)(out);
    }
    std::vector<CHostSlide*> m_slides;
};

SlideRange* SlideRangeObject(CHostDocument* doc, std::vector<CHostSlide*> slides) {
    return MakeObject<CSlideRangeObject>(doc, doc, std::move(slides));
}

CComPtr<PowerPoint::SlideRange> CHostDocument::MakeSlideRange(const std::vector<CHostSlide*>& slides) {
    return CComPtr<PowerPoint::SlideRange>(SlideRangeObject(this, slides));
}

// ---- Slides -----------------------------------------------------------------------------------

class CSlidesObject : public CObject<Slides> {
public:
    explicit CSlidesObject(CHostDocument* doc) : CObject(doc, nullptr, &doc->Slides()) {}
    const char* InterfaceName() const override { return "Slides"; }
    HOST_APPLICATION
    HRESULT get_Parent(IDispatch** out) override {
        HOST_ENTER_OUT("get_Parent", out);
        *out = m_doc->Presentation().Detach();
        return S_OK;
    }
    HRESULT get_Count(LONG* out) override {
        HOST_ENTER_OUT("get_Count", out);
        *out = static_cast<LONG>(m_doc->Slides().size());
        return S_OK;
    }
    HRESULT Item(VARIANT index, _Slide** out) override {
        HOST_ENTER_OUT("Item", out);
        *out = nullptr;
        LONG p = 0;
        HRESULT hr = Position(index, &p);
        if (FAILED(hr)) return hr;
        return GiveOut<_Slide>(SlideObject(m_doc->Slides()[static_cast<std::size_t>(p - 1)]), out);
    }
    HRESULT FindBySlideID(LONG id, _Slide** out) override {
        HOST_ENTER_OUT("FindBySlideID", out);
        *out = nullptr;
        for (CHostSlide* s : m_doc->Slides())
            if (s->slideId == id) return GiveOut<_Slide>(SlideObject(s), out);
        return E_INVALIDARG;
    }
    HRESULT Range(VARIANT index, SlideRange** out) override {
        HOST_ENTER_OUT("Range", out);
        *out = nullptr;
        if (IsMissing(index)) return GiveOut<SlideRange>(SlideRangeObject(m_doc, m_doc->Slides()), out);
        LONG p = 0;
        HRESULT hr = Position(index, &p);
        if (FAILED(hr)) return hr;
        return GiveOut<SlideRange>(SlideRangeObject(m_doc, {m_doc->Slides()[static_cast<std::size_t>(p - 1)]}), out);
    }

private:
    HRESULT Position(const VARIANT& index, LONG* p) const {
        const auto& slides = m_doc->Slides();
        return PositionFromVariant(
            index, static_cast<LONG>(slides.size()),
            [&slides](const std::wstring& n) {
                for (std::size_t i = 0; i < slides.size(); ++i)
                    if (slides[i]->name == n) return static_cast<LONG>(i) + 1;
                return 0;
            },
            p);
    }
};

CHostSlide* HostSlideOf(IDispatch* object) {
    auto* slide = dynamic_cast<CSlideObject*>(object);
    return slide ? slide->Node() : nullptr;
}

Slides* SlidesObject(CHostDocument* doc) { return Obtain<CSlidesObject>(doc, doc, 0, 0, doc); }

}  // namespace Host
}  // namespace PowerPoint
