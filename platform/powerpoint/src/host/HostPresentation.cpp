// Application, presentation, slides, slide ranges, masters, windows, tags, headers and footers,
// transitions, colour schemes and the animation timeline of the in-memory host.

#include "HostObjects.h"

#include <algorithm>
#include <fstream>

namespace PowerPoint {
namespace Host {

namespace {

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

bool IsMissing(const VARIANT& v) { return v.vt == VT_EMPTY || v.vt == VT_ERROR; }

std::vector<CHostSlide*> LiveSlides(const std::vector<CHostSlide*>& slides) {
    std::vector<CHostSlide*> live;
    for (CHostSlide* s : slides)
        if (!s->IsDeleted()) live.push_back(s);
    return live;
}

}  // namespace

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

// ---- Tags -------------------------------------------------------------------------------------

class CTagsObject : public CObject<Tags> {
public:
    CTagsObject(CHostDocument* doc, const CHostNode* node, std::vector<TagData>* tags)
        : CObject(doc, node, tags), m_tags(tags) {}
    const char* InterfaceName() const override { return "Tags"; }
    HOST_APPLICATION
    HRESULT get_Parent(IDispatch** out) override {
        HOST_ENTER_OUT("get_Parent", out);
        *out = nullptr;
        return E_NOTIMPL;
    }
    HRESULT get_Count(LONG* out) override {
        HOST_ENTER_OUT("get_Count", out);
        *out = static_cast<LONG>(m_tags->size());
        return S_OK;
    }
    HRESULT Item(BSTR name, BSTR* out) override {
        HOST_ENTER_OUT("Item", out);
        const std::wstring key = TagName(WStringFromBstr(name));
        for (const TagData& t : *m_tags)
            if (t.name == key) return GiveString(t.value, out);
        return GiveString(std::wstring(), out);
    }
    HRESULT Add(BSTR name, BSTR value) override {
        HOST_ENTER("Add");
        const std::wstring key = TagName(WStringFromBstr(name));
        if (key.empty()) return E_INVALIDARG;
        Written("Add");
        for (TagData& t : *m_tags)
            if (t.name == key) {
                t.value = WStringFromBstr(value);
                return S_OK;
            }
        m_tags->push_back({key, WStringFromBstr(value)});
        return S_OK;
    }
    HRESULT Delete(BSTR name) override {
        HOST_ENTER("Delete");
        const std::wstring key = TagName(WStringFromBstr(name));
        auto it = std::find_if(m_tags->begin(), m_tags->end(), [&](const TagData& t) { return t.name == key; });
        if (it == m_tags->end()) return E_INVALIDARG;
        Written("Delete");
        m_tags->erase(it);
        return S_OK;
    }
    HRESULT Name(LONG index, BSTR* out) override {
        HOST_ENTER_OUT("Name", out);
        if (index < 1 || index > static_cast<LONG>(m_tags->size())) return E_INVALIDARG;
        return GiveString((*m_tags)[static_cast<std::size_t>(index - 1)].name, out);
    }
    HRESULT Value(LONG index, BSTR* out) override {
        HOST_ENTER_OUT("Value", out);
        if (index < 1 || index > static_cast<LONG>(m_tags->size())) return E_INVALIDARG;
        return GiveString((*m_tags)[static_cast<std::size_t>(index - 1)].value, out);
    }

private:
    std::vector<TagData>* m_tags;
};

Tags* TagsObject(CHostDocument* doc, const CHostNode* node, std::vector<TagData>* tags) {
    return Obtain<CTagsObject>(doc, tags, 0, 0, doc, node, tags);
}

// ---- Headers and footers ----------------------------------------------------------------------

class CHeaderFooterObject : public CObject<HeaderFooter> {
public:
    CHeaderFooterObject(CHostDocument* doc, const CHostNode* node, HeaderFooterData* data)
        : CObject(doc, node, data), m_data(data) {}
    const char* InterfaceName() const override { return "HeaderFooter"; }
    HOST_APPLICATION
    HRESULT get_Parent(IDispatch** out) override {
        HOST_ENTER_OUT("get_Parent", out);
        *out = nullptr;
        return E_NOTIMPL;
    }
    HRESULT get_Visible(MsoTriState* out) override {
        HOST_ENTER_OUT("get_Visible", out);
        *out = m_data->visible;
        return S_OK;
    }
    HRESULT put_Visible(MsoTriState value) override {
        HOST_ENTER("put_Visible");
        if (value != msoTrue && value != msoFalse && value != msoCTrue) return E_INVALIDARG;
        Written("put_Visible");
        m_data->visible = value == msoFalse ? msoFalse : msoTrue;
        return S_OK;
    }
    HRESULT get_Text(BSTR* out) override {
        HOST_ENTER_OUT("get_Text", out);
        return GiveString(m_data->text, out);
    }
    HRESULT put_Text(BSTR value) override {
        HOST_ENTER("put_Text");
        Written("put_Text");
        m_data->text = WStringFromBstr(value);
        return S_OK;
    }

private:
    HeaderFooterData* m_data;
};

class CHeadersFootersObject : public CObject<HeadersFooters> {
public:
    CHeadersFootersObject(CHostDocument* doc, const CHostNode* node, HeadersFootersData* data)
        : CObject(doc, node, data), m_data(data) {}
    const char* InterfaceName() const override { return "HeadersFooters"; }
    HOST_APPLICATION
    HRESULT get_Parent(IDispatch** out) override {
        HOST_ENTER_OUT("get_Parent", out);
        *out = nullptr;
        return E_NOTIMPL;
    }
    HRESULT get_DateAndTime(HeaderFooter** out) override {
        HOST_ENTER_OUT("get_DateAndTime", out);
        return Give(&m_data->dateAndTime, out);
    }
    HRESULT get_SlideNumber(HeaderFooter** out) override {
        HOST_ENTER_OUT("get_SlideNumber", out);
        return Give(&m_data->slideNumber, out);
    }
    HRESULT get_Header(HeaderFooter** out) override {
        HOST_ENTER_OUT("get_Header", out);
        return Give(&m_data->header, out);
    }
    HRESULT get_Footer(HeaderFooter** out) override {
        HOST_ENTER_OUT("get_Footer", out);
        return Give(&m_data->footer, out);
    }

private:
    HRESULT Give(HeaderFooterData* data, HeaderFooter** out) {
        return GiveOut<HeaderFooter>(Obtain<CHeaderFooterObject>(m_doc, data, 0, 0, m_doc, m_node, data), out);
    }
    HeadersFootersData* m_data;
};

HeadersFooters* HeadersFootersObject(CHostDocument* doc, const CHostNode* node, HeadersFootersData* data) {
    return Obtain<CHeadersFootersObject>(doc, data, 0, 0, doc, node, data);
}

// ---- Colour scheme ------------------------------------------------------------------------------

class CRGBColorObject : public CObject<RGBColor> {
public:
    CRGBColorObject(CHostDocument* doc, const CHostNode* node, ULONG* color)
        : CObject(doc, node, color), m_color(color) {}
    const char* InterfaceName() const override { return "RGBColor"; }
    HOST_APPLICATION
    HRESULT get_Parent(IDispatch** out) override {
        HOST_ENTER_OUT("get_Parent", out);
        *out = nullptr;
        return E_NOTIMPL;
    }
    HRESULT get_RGB(ULONG* out) override {
        HOST_ENTER_OUT("get_RGB", out);
        *out = *m_color;
        return S_OK;
    }
    HRESULT put_RGB(ULONG value) override {
        HOST_ENTER("put_RGB");
        if (value > 0xFFFFFFu) return E_INVALIDARG;
        Written("put_RGB");
        *m_color = value;
        return S_OK;
    }

private:
    ULONG* m_color;
};

class CColorSchemeObject : public CObject<ColorScheme> {
public:
    CColorSchemeObject(CHostDocument* doc, const CHostNode* node, ULONG* colors)
        : CObject(doc, node, colors), m_colors(colors) {}
    const char* InterfaceName() const override { return "ColorScheme"; }
    HOST_APPLICATION
    HRESULT get_Parent(IDispatch** out) override {
        HOST_ENTER_OUT("get_Parent", out);
        *out = nullptr;
        return E_NOTIMPL;
    }
    HRESULT get_Count(LONG* out) override {
        HOST_ENTER_OUT("get_Count", out);
        *out = 8;
        return S_OK;
    }
    HRESULT Colors(PpColorSchemeIndex index, RGBColor** out) override {
        HOST_ENTER_OUT("Colors", out);
        *out = nullptr;
        if (index < 1 || index > 8) return E_INVALIDARG;
        ULONG* color = &m_colors[index - 1];
        return GiveOut<RGBColor>(Obtain<CRGBColorObject>(m_doc, color, 0, 0, m_doc, m_node, color), out);
    }

private:
    ULONG* m_colors;
};

ColorScheme* ColorSchemeObject(CHostDocument* doc, const CHostNode* node, ULONG* colors) {
    return Obtain<CColorSchemeObject>(doc, colors, 0, 0, doc, node, colors);
}

// ---- Slide show transition --------------------------------------------------------------------

class CTransitionObject : public CObject<SlideShowTransition> {
public:
    CTransitionObject(CHostDocument* doc, const CHostNode* node, TransitionData* data)
        : CObject(doc, node, data), m_data(data) {}
    const char* InterfaceName() const override { return "SlideShowTransition"; }
    HOST_APPLICATION
    HRESULT get_Parent(IDispatch** out) override {
        HOST_ENTER_OUT("get_Parent", out);
        *out = nullptr;
        return E_NOTIMPL;
    }
#define HOST_TRANSITION_PROPERTY(Name, field, Type) \
    HRESULT get_##Name(Type* out) override {        \
        HOST_ENTER_OUT("get_" #Name, out);          \
        *out = m_data->field;                       \
        return S_OK;                                \
    }                                               \
    HRESULT put_##Name(Type value) override {       \
        HOST_ENTER("put_" #Name);                   \
        Written("put_" #Name);                      \
        m_data->field = value;                      \
        return S_OK;                                \
    }
    HOST_TRANSITION_PROPERTY(AdvanceOnClick, advanceOnClick, MsoTriState)
    HOST_TRANSITION_PROPERTY(AdvanceOnTime, advanceOnTime, MsoTriState)
    HOST_TRANSITION_PROPERTY(AdvanceTime, advanceTime, float)
    HOST_TRANSITION_PROPERTY(EntryEffect, entryEffect, PpEntryEffect)
    HOST_TRANSITION_PROPERTY(Hidden, hidden, MsoTriState)
#undef HOST_TRANSITION_PROPERTY

private:
    TransitionData* m_data;
};

// ---- Timeline ---------------------------------------------------------------------------------

class CTimingObject : public CObject<Timing> {
public:
    CTimingObject(CHostDocument* doc, CHostEffect* effect) : CObject(doc, effect, &effect->data), m_effect(effect) {}
    const char* InterfaceName() const override { return "Timing"; }
    HOST_APPLICATION
    HRESULT get_Parent(IDispatch** out) override {
        HOST_ENTER_OUT("get_Parent", out);
        *out = nullptr;
        return E_NOTIMPL;
    }
#define HOST_TIMING_PROPERTY(Name, field, Type) \
    HRESULT get_##Name(Type* out) override {    \
        HOST_ENTER_OUT("get_" #Name, out);      \
        *out = m_effect->data.field;            \
        return S_OK;                            \
    }                                           \
    HRESULT put_##Name(Type value) override {   \
        HOST_ENTER("put_" #Name);               \
        Written("put_" #Name);                  \
        m_effect->data.field = value;           \
        return S_OK;                            \
    }
    HOST_TIMING_PROPERTY(Duration, duration, float)
    HOST_TIMING_PROPERTY(TriggerType, triggerType, MsoAnimTriggerType)
    HOST_TIMING_PROPERTY(TriggerDelayTime, triggerDelayTime, float)
#undef HOST_TIMING_PROPERTY

private:
    CHostEffect* m_effect;
};

class CEffectParametersObject : public CObject<EffectParameters> {
public:
    CEffectParametersObject(CHostDocument* doc, CHostEffect* effect)
        : CObject(doc, effect, &effect->data.direction), m_effect(effect) {}
    const char* InterfaceName() const override { return "EffectParameters"; }
    HOST_APPLICATION
    HRESULT get_Parent(IDispatch** out) override {
        HOST_ENTER_OUT("get_Parent", out);
        *out = nullptr;
        return E_NOTIMPL;
    }
    HRESULT get_Direction(MsoAnimDirection* out) override {
        HOST_ENTER_OUT("get_Direction", out);
        *out = m_effect->data.direction;
        return S_OK;
    }

private:
    CHostEffect* m_effect;
};

class CEffectInformationObject : public CObject<EffectInformation> {
public:
    CEffectInformationObject(CHostDocument* doc, CHostEffect* effect)
        : CObject(doc, effect, &effect->data.buildByLevelEffect), m_effect(effect) {}
    const char* InterfaceName() const override { return "EffectInformation"; }
    HOST_APPLICATION
    HRESULT get_Parent(IDispatch** out) override {
        HOST_ENTER_OUT("get_Parent", out);
        *out = nullptr;
        return E_NOTIMPL;
    }
    HRESULT get_AfterEffect(LONG* out) override {
        HOST_ENTER_OUT("get_AfterEffect", out);
        *out = m_effect->data.afterEffect;
        return S_OK;
    }
    HRESULT get_AnimateBackground(MsoTriState* out) override {
        HOST_ENTER_OUT("get_AnimateBackground", out);
        *out = m_effect->data.animateBackground;
        return S_OK;
    }
    HRESULT get_AnimateTextInReverse(MsoTriState* out) override {
        HOST_ENTER_OUT("get_AnimateTextInReverse", out);
        *out = m_effect->data.animateTextInReverse;
        return S_OK;
    }
    HRESULT get_BuildByLevelEffect(MsoAnimateByLevel* out) override {
        HOST_ENTER_OUT("get_BuildByLevelEffect", out);
        *out = m_effect->data.buildByLevelEffect;
        return S_OK;
    }

private:
    CHostEffect* m_effect;
};

class CEffectObject : public CObject<Effect> {
public:
    CEffectObject(CHostDocument* doc, CHostEffect* effect) : CObject(doc, effect, effect), m_effect(effect) {}
    const char* InterfaceName() const override { return "Effect"; }
    HOST_APPLICATION
    HRESULT get_Parent(IDispatch** out) override {
        HOST_ENTER_OUT("get_Parent", out);
        *out = nullptr;
        return E_NOTIMPL;
    }
    HRESULT get_Shape(Shape** out) override {
        HOST_ENTER_OUT("get_Shape", out);
        *out = nullptr;
        if (m_effect->data.shape) return GiveOut<Shape>(ShapeObject(m_effect->data.shape), out);
        return S_OK;
    }
    HRESULT get_Index(LONG* out) override {
        HOST_ENTER_OUT("get_Index", out);
        auto* slide = static_cast<CHostSlide*>(m_effect->Owner());
        auto it = std::find(slide->effects.begin(), slide->effects.end(), m_effect);
        if (it == slide->effects.end()) return E_FAIL;
        *out = static_cast<LONG>(it - slide->effects.begin()) + 1;
        return S_OK;
    }
    HRESULT get_Timing(Timing** out) override {
        HOST_ENTER_OUT("get_Timing", out);
        return GiveOut<Timing>(Obtain<CTimingObject>(m_doc, &m_effect->data, 0, 0, m_doc, m_effect), out);
    }
    HRESULT get_EffectType(MsoAnimEffect* out) override {
        HOST_ENTER_OUT("get_EffectType", out);
        *out = m_effect->data.effectType;
        return S_OK;
    }
    HRESULT get_EffectParameters(EffectParameters** out) override {
        HOST_ENTER_OUT("get_EffectParameters", out);
        return GiveOut<EffectParameters>(Obtain<CEffectParametersObject>(m_doc, &m_effect->data, 0, 0, m_doc, m_effect),
                                         out);
    }
    HRESULT get_Paragraph(LONG* out) override {
        HOST_ENTER_OUT("get_Paragraph", out);
        *out = m_effect->data.paragraph;
        return S_OK;
    }
    HRESULT get_Exit(MsoTriState* out) override {
        HOST_ENTER_OUT("get_Exit", out);
        *out = m_effect->data.exit;
        return S_OK;
    }
    HRESULT get_EffectInformation(EffectInformation** out) override {
        HOST_ENTER_OUT("get_EffectInformation", out);
        return GiveOut<EffectInformation>(
            Obtain<CEffectInformationObject>(m_doc, &m_effect->data, 0, 0, m_doc, m_effect), out);
    }

private:
    CHostEffect* m_effect;
};

class CSequenceObject : public CObject<Sequence> {
public:
    CSequenceObject(CHostDocument* doc, CHostSlide* slide) : CObject(doc, slide, &slide->effects), m_slide(slide) {}
    const char* InterfaceName() const override { return "Sequence"; }
    HOST_APPLICATION
    HRESULT get_Parent(IDispatch** out) override {
        HOST_ENTER_OUT("get_Parent", out);
        *out = nullptr;
        return E_NOTIMPL;
    }
    HRESULT get_Count(LONG* out) override {
        HOST_ENTER_OUT("get_Count", out);
        *out = static_cast<LONG>(m_slide->effects.size());
        return S_OK;
    }
    HRESULT Item(LONG index, Effect** out) override {
        HOST_ENTER_OUT("Item", out);
        *out = nullptr;
        if (index < 1 || index > static_cast<LONG>(m_slide->effects.size())) return E_INVALIDARG;
        CHostEffect* effect = m_slide->effects[static_cast<std::size_t>(index - 1)];
        return GiveOut<Effect>(Obtain<CEffectObject>(m_doc, effect, 0, 0, m_doc, effect), out);
    }

private:
    CHostSlide* m_slide;
};

class CTimeLineObject : public CObject<TimeLine> {
public:
    CTimeLineObject(CHostDocument* doc, CHostSlide* slide) : CObject(doc, slide, &slide->hasTimeLine), m_slide(slide) {}
    const char* InterfaceName() const override { return "TimeLine"; }
    HOST_APPLICATION
    HRESULT get_Parent(IDispatch** out) override {
        HOST_ENTER_OUT("get_Parent", out);
        return GiveOut<IDispatch>(SlideObject(m_slide), out);
    }
    HRESULT get_MainSequence(Sequence** out) override {
        HOST_ENTER_OUT("get_MainSequence", out);
        return GiveOut<Sequence>(Obtain<CSequenceObject>(m_doc, &m_slide->effects, 0, 0, m_doc, m_slide), out);
    }

private:
    CHostSlide* m_slide;
};

// ---- Slide hyperlinks -------------------------------------------------------------------------

class CHyperlinksObject : public CObject<Hyperlinks> {
public:
    struct Entry {
        CHostShape* shape;
        LONG link;
        PpMouseActivation activation;
    };
    CHyperlinksObject(CHostDocument* doc, CHostSlide* slide) : CObject(doc, slide, slide), m_slide(slide) {}
    const char* InterfaceName() const override { return "Hyperlinks"; }
    HOST_APPLICATION
    HRESULT get_Parent(IDispatch** out) override {
        HOST_ENTER_OUT("get_Parent", out);
        return GiveOut<IDispatch>(SlideObject(m_slide), out);
    }
    HRESULT get_Count(LONG* out) override {
        HOST_ENTER_OUT("get_Count", out);
        *out = static_cast<LONG>(Entries().size());
        return S_OK;
    }
    HRESULT Item(LONG index, Hyperlink** out) override {
        HOST_ENTER_OUT("Item", out);
        *out = nullptr;
        std::vector<Entry> entries = Entries();
        if (index < 1 || index > static_cast<LONG>(entries.size())) return E_INVALIDARG;
        const Entry& e = entries[static_cast<std::size_t>(index - 1)];
        return GiveOut<Hyperlink>(HyperlinkObject(e.shape, e.link, e.activation), out);
    }

private:
    // Every hyperlink of the slide: per shape, back to front, its own click and mouse-over
    // hyperlinks, then those of its text.
    std::vector<Entry> Entries() const {
        std::vector<Entry> entries;
        for (CHostShape* shape : m_slide->shapes) {
            if (shape->data.click.action == ppActionHyperlink) entries.push_back({shape, -1, ppMouseClick});
            if (shape->data.over.action == ppActionHyperlink) entries.push_back({shape, -1, ppMouseOver});
            const auto& links = shape->data.text.links;
            for (std::size_t i = 0; i < links.size(); ++i) {
                if (links[i].click.action == ppActionHyperlink)
                    entries.push_back({shape, static_cast<LONG>(i), ppMouseClick});
                if (links[i].over.action == ppActionHyperlink)
                    entries.push_back({shape, static_cast<LONG>(i), ppMouseOver});
            }
        }
        return entries;
    }
    CHostSlide* m_slide;
};

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
        return GiveOut<SlideShowTransition>(
            Obtain<CTransitionObject>(m_doc, &m_slide->transition, 0, 0, m_doc, m_slide, &m_slide->transition), out);
    }
    HRESULT get_ColorScheme(ColorScheme** out) override {
        HOST_ENTER_OUT("get_ColorScheme", out);
        return GiveOut<ColorScheme>(ColorSchemeObject(m_doc, m_slide, m_slide->colorScheme), out);
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
        return GiveOut<Hyperlinks>(Obtain<CHyperlinksObject>(m_doc, m_slide, 0, 0, m_doc, m_slide), out);
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
        return GiveOut<TimeLine>(Obtain<CTimeLineObject>(m_doc, m_slide, 0, 0, m_doc, m_slide), out);
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
        auto* slide = dynamic_cast<CSlideObject*>(value);
        if (!slide || slide->Node()->IsDeleted()) return E_INVALIDARG;
        m_doc->viewSlide = slide->Node();
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
        return GiveOut<Slides>(Obtain<CSlidesObject>(m_doc, m_doc, 0, 0, m_doc), out);
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
