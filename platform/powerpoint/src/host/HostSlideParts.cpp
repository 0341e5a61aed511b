// Tags, headers and footers, colour schemes, slide transitions and slide hyperlinks of the
// in-memory host.

#include "HostObjects.h"

#include <algorithm>

namespace PowerPoint {
namespace Host {

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

// ---- Slide background ---------------------------------------------------------------------------

namespace {

// The background a slide shows: its master's while it follows the master, else its own.
FillData& ShownBackgroundFill(CHostSlide* slide) {
    if (slide->followMasterBackground != msoFalse && slide->master) return slide->master->background.fill;
    return slide->background.fill;
}

}  // namespace

class CBackgroundFillObject : public CObject<FillFormat> {
public:
    CBackgroundFillObject(CHostDocument* doc, CHostSlide* slide)
        : CObject(doc, slide, &slide->background), m_slide(slide) {}
    const char* InterfaceName() const override { return "FillFormat"; }
    HOST_APPLICATION
    HOST_CREATOR
    HRESULT get_Parent(IDispatch** out) override {
        HOST_ENTER_OUT("get_Parent", out);
        return GiveOut<IDispatch>(BackgroundRangeObject(m_slide), out);
    }
    HRESULT get_BackColor(ColorFormat** out) override { return Color("get_BackColor", &FillData::backColor, out); }
    HRESULT get_ForeColor(ColorFormat** out) override { return Color("get_ForeColor", &FillData::foreColor, out); }
    HOST_GET(Transparency, float, ShownBackgroundFill(m_slide).transparency)
    HRESULT put_Transparency(float value) override {
        HOST_ENTER("put_Transparency");
        if (!(value >= 0.0f && value <= 1.0f)) return E_INVALIDARG;
        Written("put_Transparency");
        ShownBackgroundFill(m_slide).transparency = value;
        return S_OK;
    }
    HOST_GET(Type, MsoFillType,
             ShownBackgroundFill(m_slide).visible == msoFalse ? msoFillBackground : ShownBackgroundFill(m_slide).type)
    HOST_PROPERTY(Visible, MsoTriState, ShownBackgroundFill(m_slide).visible)

private:
    HRESULT Color(const char* member, ColorData FillData::*which, ColorFormat** out) {
        HOST_ENTER_OUT(member, out);
        CHostSlide* slide = m_slide;
        // Keyed per colour of the slide; reads and writes follow what the slide shows.
        const void* key = &(slide->background.fill.*which);
        return GiveOut<ColorFormat>(ColorFormatObject(
                                        m_doc, slide, key, [slide, which] { return ShownBackgroundFill(slide).*which; },
                                        [slide, which](const ColorData& c) { ShownBackgroundFill(slide).*which = c; }),
                                    out);
    }
    CHostSlide* m_slide;
};

class CBackgroundRangeObject : public CObject<ShapeRange> {
public:
    CBackgroundRangeObject(CHostDocument* doc, CHostSlide* slide) : CObject(doc, slide, slide), m_slide(slide) {}
    const char* InterfaceName() const override { return "ShapeRange"; }
    HOST_APPLICATION
    HOST_CREATOR
    HRESULT get_Parent(IDispatch** out) override {
        HOST_ENTER_OUT("get_Parent", out);
        return GiveOut<IDispatch>(SlideObject(m_slide), out);
    }
    // The background is part of the slide; it is neither deleted nor hidden on its own.
    HRESULT Delete() override {
        HOST_ENTER("Delete");
        return E_NOTIMPL;
    }
    HRESULT get_Fill(FillFormat** out) override {
        HOST_ENTER_OUT("get_Fill", out);
        return GiveOut<FillFormat>(Obtain<CBackgroundFillObject>(m_doc, &m_slide->background, 0, 0, m_doc, m_slide),
                                   out);
    }
    HRESULT get_Visible(MsoTriState* out) override {
        HOST_ENTER_OUT("get_Visible", out);
        *out = msoTrue;
        return S_OK;
    }
    HRESULT put_Visible(MsoTriState) override {
        HOST_ENTER("put_Visible");
        return E_NOTIMPL;
    }
    HRESULT Item(VARIANT, Shape** out) override {
        HOST_ENTER_OUT("Item", out);
        *out = nullptr;
        return E_NOTIMPL;
    }
    HRESULT get_Count(LONG* out) override {
        HOST_ENTER_OUT("get_Count", out);
        *out = 1;
        return S_OK;
    }

private:
    CHostSlide* m_slide;
};

ShapeRange* BackgroundRangeObject(CHostSlide* slide) {
    return Obtain<CBackgroundRangeObject>(slide->Document(), slide, 0, 0, slide->Document(), slide);
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
    // Addresses and the moves to the next, previous, first and last slide are listed; other
    // actions (programs, macros, sounds) are not.
    static bool IsListed(const ActionData& action) {
        switch (action.action) {
        case ppActionHyperlink:
        case ppActionNextSlide:
        case ppActionPreviousSlide:
        case ppActionFirstSlide:
        case ppActionLastSlide:
            return true;
        default:
            return false;
        }
    }
    // Every link of the slide: per shape, back to front, its own click and mouse-over links,
    // then those of its text.
    std::vector<Entry> Entries() const {
        std::vector<Entry> entries;
        for (CHostShape* shape : m_slide->shapes) {
            if (IsListed(shape->data.click)) entries.push_back({shape, -1, ppMouseClick});
            if (IsListed(shape->data.over)) entries.push_back({shape, -1, ppMouseOver});
            const auto& links = shape->data.text.links;
            for (std::size_t i = 0; i < links.size(); ++i) {
                if (IsListed(links[i].click)) entries.push_back({shape, static_cast<LONG>(i), ppMouseClick});
                if (IsListed(links[i].over)) entries.push_back({shape, static_cast<LONG>(i), ppMouseOver});
            }
        }
        return entries;
    }
    CHostSlide* m_slide;
};

SlideShowTransition* TransitionObject(CHostSlide* slide) {
    CHostDocument* doc = slide->Document();
    return Obtain<CTransitionObject>(doc, &slide->transition, 0, 0, doc, slide, &slide->transition);
}

Hyperlinks* SlideHyperlinksObject(CHostSlide* slide) {
    CHostDocument* doc = slide->Document();
    return Obtain<CHyperlinksObject>(doc, slide, 0, 0, doc, slide);
}

}  // namespace Host
}  // namespace PowerPoint
