// Shapes, shape ranges and the formats, actions and hyperlinks of a shape in the in-memory host.

#include "HostObjects.h"

#include <algorithm>
#include <cmath>
#include <fstream>

namespace PowerPoint {
namespace Host {

namespace {

std::vector<CHostShape*>* OwnerShapes(CHostShape* shape) {
    if (auto* slide = dynamic_cast<CHostSlide*>(shape->Owner())) return &slide->shapes;
    if (auto* master = dynamic_cast<CHostMaster*>(shape->Owner())) return &master->shapes;
    return nullptr;
}

IDispatch* OwnerObject(CHostShape* shape) {
    if (auto* slide = dynamic_cast<CHostSlide*>(shape->Owner())) return SlideObject(slide);
    if (auto* master = dynamic_cast<CHostMaster*>(shape->Owner())) return MasterObject(master);
    return nullptr;
}

bool IsOleType(MsoShapeType type) {
    return type == msoEmbeddedOLEObject || type == msoLinkedOLEObject || type == msoOLEControlObject;
}

}  // namespace

std::string Utf8Path(const std::wstring& wide) {
    std::string out;
    for (wchar_t c : wide) {
        std::uint32_t u = static_cast<std::uint32_t>(c == L'\\' ? L'/' : c);
        if (u < 0x80) {
            out.push_back(static_cast<char>(u));
        } else if (u < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (u >> 6)));
            out.push_back(static_cast<char>(0x80 | (u & 0x3F)));
        } else if (u < 0x10000) {
            out.push_back(static_cast<char>(0xE0 | (u >> 12)));
            out.push_back(static_cast<char>(0x80 | ((u >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (u & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xF0 | (u >> 18)));
            out.push_back(static_cast<char>(0x80 | ((u >> 12) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | ((u >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (u & 0x3F)));
        }
    }
    return out;
}

CHostShape* DuplicateShape(CHostShape* shape) {
    CHostDocument* doc = shape->Document();
    CHostShape* copy = doc->Make<CHostShape>(doc, shape->Owner());
    copy->original = false;
    copy->data = shape->data;
    copy->data.id = doc->NewShapeId();
    if (auto* shapes = OwnerShapes(shape)) shapes->push_back(copy);
    return copy;
}

void DeleteShape(CHostShape* shape) {
    if (auto* shapes = OwnerShapes(shape))
        shapes->erase(std::remove(shapes->begin(), shapes->end(), shape), shapes->end());
    if (CHostSlide* slide = shape->Slide())
        slide->effects.erase(std::remove_if(slide->effects.begin(), slide->effects.end(),
                                            [shape](CHostEffect* e) { return e->data.shape == shape; }),
                             slide->effects.end());
    shape->deleted = true;
}

// ---- Colour -----------------------------------------------------------------------------------

class CColorFormatObject : public CObject<ColorFormat> {
public:
    CColorFormatObject(CHostDocument* doc, const CHostNode* node, const void* key, std::function<ColorData()> get,
                       std::function<void(const ColorData&)> set)
        : CObject(doc, node, key), m_get(std::move(get)), m_set(std::move(set)) {}
    const char* InterfaceName() const override { return "ColorFormat"; }
    HOST_APPLICATION
    HOST_CREATOR
    HOST_NO_PARENT
    HRESULT get_RGB(ULONG* out) override {
        HOST_ENTER_OUT("get_RGB", out);
        *out = m_get().rgb;
        return S_OK;
    }
    HRESULT put_RGB(ULONG value) override {
        HOST_ENTER("put_RGB");
        if (value > 0xFFFFFFu) return E_INVALIDARG;
        Written("put_RGB");
        m_set(ColorData{value, 0});
        return S_OK;
    }
    HRESULT get_SchemeColor(PpColorSchemeIndex* out) override {
        HOST_ENTER_OUT("get_SchemeColor", out);
        *out = m_get().scheme;
        return S_OK;
    }
    HRESULT put_SchemeColor(PpColorSchemeIndex value) override {
        HOST_ENTER("put_SchemeColor");
        if (value < 1 || value > 8) return E_INVALIDARG;
        Written("put_SchemeColor");
        ColorData c = m_get();
        c.scheme = value;
        m_set(c);
        return S_OK;
    }

private:
    std::function<ColorData()> m_get;
    std::function<void(const ColorData&)> m_set;
};

ColorFormat* ColorFormatObject(CHostDocument* doc, const CHostNode* node, const void* key,
                               std::function<ColorData()> get, std::function<void(const ColorData&)> set) {
    return Obtain<CColorFormatObject>(doc, key, 0, 0, doc, node, key, std::move(get), std::move(set));
}

// ---- Fill, line, picture, OLE, sound, adjustments --------------------------------------------

class CFillFormatObject : public CObject<FillFormat> {
public:
    CFillFormatObject(CHostDocument* doc, CHostShape* shape) : CObject(doc, shape, &shape->data.fill), m_shape(shape) {}
    const char* InterfaceName() const override { return "FillFormat"; }
    HOST_APPLICATION
    HOST_CREATOR
    HRESULT get_Parent(IDispatch** out) override {
        HOST_ENTER_OUT("get_Parent", out);
        return GiveOut<IDispatch>(ShapeObject(m_shape), out);
    }
    HRESULT get_BackColor(ColorFormat** out) override {
        HOST_ENTER_OUT("get_BackColor", out);
        return GiveOut<ColorFormat>(ColorFormatObject(m_doc, m_shape, &m_shape->data.fill.backColor), out);
    }
    HRESULT get_ForeColor(ColorFormat** out) override {
        HOST_ENTER_OUT("get_ForeColor", out);
        return GiveOut<ColorFormat>(ColorFormatObject(m_doc, m_shape, &m_shape->data.fill.foreColor), out);
    }
    HOST_GET(Transparency, float, m_shape->data.fill.transparency)
    HRESULT put_Transparency(float value) override {
        HOST_ENTER("put_Transparency");
        if (!(value >= 0.0f && value <= 1.0f)) return E_INVALIDARG;
        Written("put_Transparency");
        m_shape->data.fill.transparency = value;
        return S_OK;
    }
    HOST_GET(Type, MsoFillType, m_shape->data.fill.visible == msoFalse ? msoFillBackground : m_shape->data.fill.type)
    HOST_PROPERTY(Visible, MsoTriState, m_shape->data.fill.visible)

private:
    CHostShape* m_shape;
};

class CLineFormatObject : public CObject<LineFormat> {
public:
    CLineFormatObject(CHostDocument* doc, CHostShape* shape) : CObject(doc, shape, &shape->data.line), m_shape(shape) {}
    const char* InterfaceName() const override { return "LineFormat"; }
    HOST_APPLICATION
    HOST_CREATOR
    HRESULT get_Parent(IDispatch** out) override {
        HOST_ENTER_OUT("get_Parent", out);
        return GiveOut<IDispatch>(ShapeObject(m_shape), out);
    }
    HRESULT get_BackColor(ColorFormat** out) override {
        HOST_ENTER_OUT("get_BackColor", out);
        return GiveOut<ColorFormat>(ColorFormatObject(m_doc, m_shape, &m_shape->data.line.backColor), out);
    }
    HOST_GET(DashStyle, MsoLineDashStyle, m_shape->data.line.dashStyle)
    HRESULT get_ForeColor(ColorFormat** out) override {
        HOST_ENTER_OUT("get_ForeColor", out);
        return GiveOut<ColorFormat>(ColorFormatObject(m_doc, m_shape, &m_shape->data.line.foreColor), out);
    }
    HOST_GET(Transparency, float, m_shape->data.line.transparency)
    HRESULT put_Transparency(float value) override {
        HOST_ENTER("put_Transparency");
        if (!(value >= 0.0f && value <= 1.0f)) return E_INVALIDARG;
        Written("put_Transparency");
        m_shape->data.line.transparency = value;
        return S_OK;
    }
    HOST_PROPERTY(Visible, MsoTriState, m_shape->data.line.visible)
    HOST_PROPERTY(Weight, float, m_shape->data.line.weight)

private:
    CHostShape* m_shape;
};

class CPictureFormatObject : public CObject<PictureFormat> {
public:
    CPictureFormatObject(CHostDocument* doc, CHostShape* shape)
        : CObject(doc, shape, &shape->data.picture), m_shape(shape) {}
    const char* InterfaceName() const override { return "PictureFormat"; }
    HOST_APPLICATION
    HOST_CREATOR
    HRESULT get_Parent(IDispatch** out) override {
        HOST_ENTER_OUT("get_Parent", out);
        return GiveOut<IDispatch>(ShapeObject(m_shape), out);
    }
    HOST_GET(Brightness, float, m_shape->data.picture.brightness)
    HRESULT put_Brightness(float value) override {
        return PutUnit("put_Brightness", value, &m_shape->data.picture.brightness);
    }
    HOST_PROPERTY(ColorType, MsoPictureColorType, m_shape->data.picture.colorType)
    HOST_GET(Contrast, float, m_shape->data.picture.contrast)
    HRESULT put_Contrast(float value) override {
        return PutUnit("put_Contrast", value, &m_shape->data.picture.contrast);
    }
    HOST_GET(CropBottom, float, m_shape->data.picture.cropBottom)
    HOST_GET(CropLeft, float, m_shape->data.picture.cropLeft)
    HOST_GET(CropRight, float, m_shape->data.picture.cropRight)
    HOST_GET(CropTop, float, m_shape->data.picture.cropTop)

private:
    // Brightness and contrast run from 0 to 1.
    HRESULT PutUnit(const char* member, float value, float* target) {
        HOST_ENTER(member);
        if (!(value >= 0.0f && value <= 1.0f)) return E_INVALIDARG;
        Written(member);
        *target = value;
        return S_OK;
    }
    CHostShape* m_shape;
};

class COLEFormatObject : public CObject<OLEFormat> {
public:
    COLEFormatObject(CHostDocument* doc, CHostShape* shape) : CObject(doc, shape, &shape->data.ole), m_shape(shape) {}
    const char* InterfaceName() const override { return "OLEFormat"; }
    HOST_APPLICATION
    HRESULT get_Parent(IDispatch** out) override {
        HOST_ENTER_OUT("get_Parent", out);
        return GiveOut<IDispatch>(ShapeObject(m_shape), out);
    }
    HRESULT get_Object(IDispatch** out) override {
        HOST_ENTER_OUT("get_Object", out);
        *out = nullptr;
        if (!m_shape->data.ole.object) return E_FAIL;
        *out = CComPtr<IUnknown>(m_shape->data.ole.object).Detach();
        return S_OK;
    }
    HOST_GET_STRING(ProgID, m_shape->data.ole.progId)

private:
    CHostShape* m_shape;
};

class CSoundFormatObject : public CObject<SoundFormat> {
public:
    CSoundFormatObject(CHostDocument* doc, CHostShape* shape)
        : CObject(doc, shape, &shape->data.sound), m_shape(shape) {}
    const char* InterfaceName() const override { return "SoundFormat"; }
    HOST_APPLICATION
    HRESULT get_Parent(IDispatch** out) override {
        HOST_ENTER_OUT("get_Parent", out);
        return GiveOut<IDispatch>(ShapeObject(m_shape), out);
    }
    HRESULT Export(BSTR fileName, PpSoundFormatType* out) override {
        HOST_ENTER_OUT("Export", out);
        const SoundData& sound = m_shape->data.sound;
        const std::wstring name = WStringFromBstr(fileName);
        if (name.empty()) return E_INVALIDARG;
        if (sound.data.empty()) return E_FAIL;  // nothing embedded to write
        std::ofstream file(Utf8Path(name), std::ios::binary | std::ios::trunc);
        if (!file) return E_ACCESSDENIED;
        file.write(reinterpret_cast<const char*>(sound.data.data()), static_cast<std::streamsize>(sound.data.size()));
        file.close();
        if (!file) return E_FAIL;
        *out = sound.type;
        return S_OK;
    }
    HOST_GET(Type, PpSoundFormatType, m_shape->data.sound.type)
    HOST_GET_STRING(SourceFullName, m_shape->data.sound.sourceFullName)

private:
    CHostShape* m_shape;
};

class CAdjustmentsObject : public CObject<Adjustments> {
public:
    CAdjustmentsObject(CHostDocument* doc, CHostShape* shape)
        : CObject(doc, shape, &shape->data.adjustments), m_shape(shape) {}
    const char* InterfaceName() const override { return "Adjustments"; }
    HOST_APPLICATION
    HOST_CREATOR
    HRESULT get_Parent(IDispatch** out) override {
        HOST_ENTER_OUT("get_Parent", out);
        return GiveOut<IDispatch>(ShapeObject(m_shape), out);
    }
    HOST_GET(Count, LONG, static_cast<LONG>(m_shape->data.adjustments.size()))
    HRESULT get_Item(LONG index, float* out) override {
        HOST_ENTER_OUT("get_Item", out);
        if (index < 1 || index > static_cast<LONG>(m_shape->data.adjustments.size())) return E_INVALIDARG;
        *out = m_shape->data.adjustments[static_cast<std::size_t>(index - 1)];
        return S_OK;
    }
    HRESULT put_Item(LONG index, float value) override {
        HOST_ENTER("put_Item");
        if (index < 1 || index > static_cast<LONG>(m_shape->data.adjustments.size())) return E_INVALIDARG;
        Written("put_Item");
        m_shape->data.adjustments[static_cast<std::size_t>(index - 1)] = value;
        return S_OK;
    }

private:
    CHostShape* m_shape;
};

// ---- Animation settings -----------------------------------------------------------------------

class CAnimationSettingsObject : public CObject<AnimationSettings> {
public:
    CAnimationSettingsObject(CHostDocument* doc, CHostShape* shape)
        : CObject(doc, shape, &shape->data.animation), m_shape(shape) {}
    const char* InterfaceName() const override { return "AnimationSettings"; }
    HOST_APPLICATION
    HRESULT get_Parent(IDispatch** out) override {
        HOST_ENTER_OUT("get_Parent", out);
        return GiveOut<IDispatch>(ShapeObject(m_shape), out);
    }
    HRESULT get_DimColor(ColorFormat** out) override {
        HOST_ENTER_OUT("get_DimColor", out);
        return GiveOut<ColorFormat>(ColorFormatObject(m_doc, m_shape, &m_shape->data.animation.dimColor), out);
    }
    HOST_PROPERTY(EntryEffect, PpEntryEffect, m_shape->data.animation.entryEffect)
    HOST_PROPERTY(AfterEffect, PpAfterEffect, m_shape->data.animation.afterEffect)
    HOST_PROPERTY(AnimationOrder, LONG, m_shape->data.animation.animationOrder)
    HOST_PROPERTY(AdvanceMode, PpAdvanceMode, m_shape->data.animation.advanceMode)
    HOST_PROPERTY(AdvanceTime, float, m_shape->data.animation.advanceTime)
    HOST_PROPERTY(TextLevelEffect, PpTextLevelEffect, m_shape->data.animation.textLevelEffect)
    HOST_PROPERTY(Animate, MsoTriState, m_shape->data.animation.animate)
    HOST_PROPERTY(AnimateBackground, MsoTriState, m_shape->data.animation.animateBackground)
    HOST_PROPERTY(AnimateTextInReverse, MsoTriState, m_shape->data.animation.animateTextInReverse)

private:
    CHostShape* m_shape;
};

// ---- Actions and hyperlinks -------------------------------------------------------------------

namespace {
// The action of the shape itself (link -1) or of one of its text links; null when gone.
ActionData* ResolveAction(CHostShape* shape, LONG link, PpMouseActivation activation) {
    if (link < 0) return activation == ppMouseOver ? &shape->data.over : &shape->data.click;
    auto& links = shape->data.text.links;
    if (link >= static_cast<LONG>(links.size())) return nullptr;
    TextLinkData& l = links[static_cast<std::size_t>(link)];
    return activation == ppMouseOver ? &l.over : &l.click;
}

// Address of the state an action object reads, as its fault and call key.
const void* ActionKey(CHostShape* shape, LONG link, PpMouseActivation activation) {
    ActionData* a = ResolveAction(shape, link, activation);
    return a ? static_cast<const void*>(a) : static_cast<const void*>(shape);
}
}  // namespace

class CActionSettingObject;
ActionSetting* ActionSettingObject(CHostShape* shape, LONG link, PpMouseActivation activation);

class CHyperlinkObject : public CObject<Hyperlink> {
public:
    CHyperlinkObject(CHostDocument* doc, CHostShape* shape, LONG link, PpMouseActivation activation)
        : CObject(doc, shape, &ResolveAction(shape, link, activation)->hyperlink),
          m_shape(shape),
          m_link(link),
          m_activation(activation) {}
    const char* InterfaceName() const override { return "Hyperlink"; }
    HOST_APPLICATION
    HRESULT get_Parent(IDispatch** out) override {
        HOST_ENTER_OUT("get_Parent", out);
        return GiveOut<IDispatch>(ActionSettingObject(m_shape, m_link, m_activation), out);
    }
    HRESULT get_Type(MsoHyperlinkType* out) override {
        HOST_ENTER_OUT("get_Type", out);
        *out = m_link < 0 ? msoHyperlinkShape : msoHyperlinkRange;
        return S_OK;
    }
    HRESULT get_Address(BSTR* out) override { return GetText("get_Address", out, &HyperlinkData::address); }
    HRESULT put_Address(BSTR value) override { return PutText("put_Address", value, &HyperlinkData::address); }
    HRESULT get_SubAddress(BSTR* out) override { return GetText("get_SubAddress", out, &HyperlinkData::subAddress); }
    HRESULT put_SubAddress(BSTR value) override { return PutText("put_SubAddress", value, &HyperlinkData::subAddress); }
    HRESULT get_TextToDisplay(BSTR* out) override {
        HOST_ENTER_OUT("get_TextToDisplay", out);
        ActionData* a = ResolveAction(m_shape, m_link, m_activation);
        if (!a) return E_FAIL;
        if (m_link >= 0 && a->hyperlink.textToDisplay.empty()) {
            const TextData& t = m_shape->data.text;
            const TextLinkData& l = t.links[static_cast<std::size_t>(m_link)];
            return GiveString(t.text.substr(static_cast<std::size_t>(l.start), static_cast<std::size_t>(l.length)),
                              out);
        }
        return GiveString(m_link >= 0 ? a->hyperlink.textToDisplay : std::wstring(), out);
    }
    HRESULT put_TextToDisplay(BSTR value) override {
        return PutText("put_TextToDisplay", value, &HyperlinkData::textToDisplay);
    }

private:
    HRESULT GetText(const char* member, BSTR* out, std::wstring HyperlinkData::*field) {
        HOST_ENTER_OUT(member, out);
        ActionData* a = ResolveAction(m_shape, m_link, m_activation);
        if (!a) return E_FAIL;
        return GiveString(a->hyperlink.*field, out);
    }
    HRESULT PutText(const char* member, BSTR value, std::wstring HyperlinkData::*field) {
        HOST_ENTER(member);
        ActionData* a = ResolveAction(m_shape, m_link, m_activation);
        if (!a) return E_FAIL;
        Written(member);
        a->hyperlink.*field = WStringFromBstr(value);
        return S_OK;
    }
    CHostShape* m_shape;
    LONG m_link;
    PpMouseActivation m_activation;
};

Hyperlink* HyperlinkObject(CHostShape* shape, LONG link, PpMouseActivation activation) {
    if (!ResolveAction(shape, link, activation)) return nullptr;
    CHostDocument* doc = shape->Document();
    return Obtain<CHyperlinkObject>(doc, shape, link, activation, doc, shape, link, activation);
}

class CActionSettingObject : public CObject<ActionSetting> {
public:
    CActionSettingObject(CHostDocument* doc, CHostShape* shape, LONG link, PpMouseActivation activation)
        : CObject(doc, shape, ActionKey(shape, link, activation)),
          m_shape(shape),
          m_link(link),
          m_activation(activation) {}
    const char* InterfaceName() const override { return "ActionSetting"; }
    HOST_APPLICATION
    HRESULT get_Parent(IDispatch** out) override {
        HOST_ENTER_OUT("get_Parent", out);
        if (m_link < 0) return GiveOut<IDispatch>(ShapeObject(m_shape), out);
        const auto& links = m_shape->data.text.links;
        if (m_link >= static_cast<LONG>(links.size())) return E_FAIL;
        const TextLinkData& l = links[static_cast<std::size_t>(m_link)];
        return GiveOut<IDispatch>(TextRangeObject(m_shape, l.start, l.length, 1), out);
    }
    HRESULT get_Action(PpActionType* out) override {
        HOST_ENTER_OUT("get_Action", out);
        ActionData* a = ResolveAction(m_shape, m_link, m_activation);
        if (!a) return E_FAIL;
        *out = a->action;
        return S_OK;
    }
    HRESULT put_Action(PpActionType value) override {
        HOST_ENTER("put_Action");
        ActionData* a = ResolveAction(m_shape, m_link, m_activation);
        if (!a) return E_FAIL;
        Written("put_Action");
        a->action = value;
        return S_OK;
    }
    HRESULT get_AnimateAction(MsoTriState* out) override {
        HOST_ENTER_OUT("get_AnimateAction", out);
        ActionData* a = ResolveAction(m_shape, m_link, m_activation);
        if (!a) return E_FAIL;
        *out = a->animateAction;
        return S_OK;
    }
    HRESULT put_AnimateAction(MsoTriState value) override {
        HOST_ENTER("put_AnimateAction");
        ActionData* a = ResolveAction(m_shape, m_link, m_activation);
        if (!a) return E_FAIL;
        Written("put_AnimateAction");
        a->animateAction = value;
        return S_OK;
    }
    HRESULT get_SlideShowName(BSTR* out) override {
        HOST_ENTER_OUT("get_SlideShowName", out);
        ActionData* a = ResolveAction(m_shape, m_link, m_activation);
        if (!a) return E_FAIL;
        return GiveString(a->slideShowName, out);
    }
    HRESULT get_Hyperlink(Hyperlink** out) override {
        HOST_ENTER_OUT("get_Hyperlink", out);
        return GiveOut<Hyperlink>(HyperlinkObject(m_shape, m_link, m_activation), out);
    }

private:
    CHostShape* m_shape;
    LONG m_link;
    PpMouseActivation m_activation;
};

ActionSetting* ActionSettingObject(CHostShape* shape, LONG link, PpMouseActivation activation) {
    if (!ResolveAction(shape, link, activation)) return nullptr;
    CHostDocument* doc = shape->Document();
    return Obtain<CActionSettingObject>(doc, shape, link, activation, doc, shape, link, activation);
}

class CActionSettingsObject : public CObject<ActionSettings> {
public:
    CActionSettingsObject(CHostDocument* doc, CHostShape* shape, LONG link)
        : CObject(doc, shape,
                  link < 0 ? static_cast<const void*>(&shape->data.click)
                           : static_cast<const void*>(&shape->data.text.links[static_cast<std::size_t>(link)])),
          m_shape(shape),
          m_link(link) {}
    const char* InterfaceName() const override { return "ActionSettings"; }
    HOST_APPLICATION
    HRESULT get_Parent(IDispatch** out) override {
        HOST_ENTER_OUT("get_Parent", out);
        return GiveOut<IDispatch>(ShapeObject(m_shape), out);
    }
    HRESULT get_Count(LONG* out) override {
        HOST_ENTER_OUT("get_Count", out);
        *out = 2;
        return S_OK;
    }
    HRESULT Item(PpMouseActivation index, ActionSetting** out) override {
        HOST_ENTER_OUT("Item", out);
        *out = nullptr;
        if (index != ppMouseClick && index != ppMouseOver) return E_INVALIDARG;
        return GiveOut<ActionSetting>(ActionSettingObject(m_shape, m_link, index), out);
    }

private:
    CHostShape* m_shape;
    LONG m_link;
};

ActionSettings* ShapeActionSettingsObject(CHostShape* shape) {
    CHostDocument* doc = shape->Document();
    return Obtain<CActionSettingsObject>(doc, shape, -1, 0, doc, shape, -1);
}

// The action settings of text link `link` (made by the text range that asks).
ActionSettings* TextActionSettingsObject(CHostShape* shape, LONG link) {
    CHostDocument* doc = shape->Document();
    return Obtain<CActionSettingsObject>(doc, shape, link, 0, doc, shape, link);
}

// ---- Shape ------------------------------------------------------------------------------------

class CShapeObject : public CObject<Shape> {
public:
    CShapeObject(CHostDocument* doc, CHostShape* shape) : CObject(doc, shape, shape), m_shape(shape) {}
    const char* InterfaceName() const override { return "Shape"; }
    HOST_APPLICATION
    HOST_CREATOR
    HRESULT get_Parent(IDispatch** out) override {
        HOST_ENTER_OUT("get_Parent", out);
        return GiveOut<IDispatch>(OwnerObject(m_shape), out);
    }
    HRESULT Delete() override {
        HOST_ENTER("Delete");
        Written("Delete");
        DeleteShape(m_shape);
        return S_OK;
    }
    HRESULT get_Adjustments(Adjustments** out) override {
        HOST_ENTER_OUT("get_Adjustments", out);
        return GiveOut<Adjustments>(Obtain<CAdjustmentsObject>(m_doc, m_shape, 0, 0, m_doc, m_shape), out);
    }
    HOST_PROPERTY(AutoShapeType, MsoAutoShapeType, m_shape->data.autoShapeType)
    HOST_GET(Connector, MsoTriState, m_shape->data.connector)
    HRESULT get_Fill(FillFormat** out) override {
        HOST_ENTER_OUT("get_Fill", out);
        return GiveOut<FillFormat>(Obtain<CFillFormatObject>(m_doc, m_shape, 0, 0, m_doc, m_shape), out);
    }
    HOST_PROPERTY(Height, float, m_shape->data.height)
    HOST_GET(HorizontalFlip, MsoTriState, m_shape->data.horizontalFlip)
    HOST_PROPERTY(Left, float, m_shape->data.left)
    HRESULT get_Line(LineFormat** out) override {
        HOST_ENTER_OUT("get_Line", out);
        return GiveOut<LineFormat>(Obtain<CLineFormatObject>(m_doc, m_shape, 0, 0, m_doc, m_shape), out);
    }
    HOST_GET_STRING(Name, m_shape->data.name)
    HRESULT put_Name(BSTR value) override {
        HOST_ENTER("put_Name");
        Written("put_Name");
        m_shape->data.name = WStringFromBstr(value);
        return S_OK;
    }
    HOST_GET(Rotation, float, m_shape->data.rotation)
    HRESULT put_Rotation(float value) override {
        HOST_ENTER("put_Rotation");
        // Embedded objects and controls cannot be turned.
        if (IsOleType(m_shape->data.type) || !std::isfinite(value)) return E_FAIL;
        Written("put_Rotation");
        float r = std::fmod(value, 360.0f);
        m_shape->data.rotation = r < 0 ? r + 360.0f : r;
        return S_OK;
    }
    HRESULT get_PictureFormat(PictureFormat** out) override {
        HOST_ENTER_OUT("get_PictureFormat", out);
        return GiveOut<PictureFormat>(Obtain<CPictureFormatObject>(m_doc, m_shape, 0, 0, m_doc, m_shape), out);
    }
    HRESULT get_TextFrame(TextFrame** out) override {
        HOST_ENTER_OUT("get_TextFrame", out);
        *out = nullptr;
        if (m_shape->data.hasTextFrame == msoFalse) return E_FAIL;  // this shape has no text frame
        return GiveOut<TextFrame>(TextFrameObject(m_shape), out);
    }
    HOST_PROPERTY(Top, float, m_shape->data.top)
    HOST_GET(Type, MsoShapeType, m_shape->data.type)
    HOST_GET(VerticalFlip, MsoTriState, m_shape->data.verticalFlip)
    HOST_PROPERTY(Visible, MsoTriState, m_shape->data.visible)
    HOST_PROPERTY(Width, float, m_shape->data.width)
    HRESULT get_ZOrderPosition(LONG* out) override {
        HOST_ENTER_OUT("get_ZOrderPosition", out);
        auto* shapes = OwnerShapes(m_shape);
        if (!shapes) return E_FAIL;
        auto it = std::find(shapes->begin(), shapes->end(), m_shape);
        if (it == shapes->end()) return E_FAIL;
        *out = static_cast<LONG>(it - shapes->begin()) + 1;
        return S_OK;
    }
    HRESULT get_OLEFormat(OLEFormat** out) override {
        HOST_ENTER_OUT("get_OLEFormat", out);
        *out = nullptr;
        if (!IsOleType(m_shape->data.type)) return E_FAIL;  // only OLE objects have one
        return GiveOut<OLEFormat>(Obtain<COLEFormatObject>(m_doc, m_shape, 0, 0, m_doc, m_shape), out);
    }
    HRESULT get_AnimationSettings(AnimationSettings** out) override {
        HOST_ENTER_OUT("get_AnimationSettings", out);
        return GiveOut<AnimationSettings>(Obtain<CAnimationSettingsObject>(m_doc, m_shape, 0, 0, m_doc, m_shape), out);
    }
    HRESULT get_ActionSettings(ActionSettings** out) override {
        HOST_ENTER_OUT("get_ActionSettings", out);
        return GiveOut<ActionSettings>(ShapeActionSettingsObject(m_shape), out);
    }
    HRESULT get_Tags(Tags** out) override {
        HOST_ENTER_OUT("get_Tags", out);
        return GiveOut<Tags>(TagsObject(m_doc, m_shape, &m_shape->data.tags), out);
    }
    HRESULT Duplicate(ShapeRange** out) override {
        HOST_ENTER_OUT("Duplicate", out);
        return GiveOut<ShapeRange>(ShapeRangeObject(m_doc, m_shape->Owner(), {DuplicateShape(m_shape)}), out);
    }
    HOST_GET(MediaType, PpMediaType, m_shape->data.mediaType)
    HOST_GET(HasTextFrame, MsoTriState, m_shape->data.hasTextFrame)
    HRESULT get_SoundFormat(SoundFormat** out) override {
        HOST_ENTER_OUT("get_SoundFormat", out);
        *out = nullptr;
        if (m_shape->data.type != msoMedia) return E_FAIL;  // only media shapes have one
        return GiveOut<SoundFormat>(Obtain<CSoundFormatObject>(m_doc, m_shape, 0, 0, m_doc, m_shape), out);
    }
    HOST_GET(Id, LONG, m_shape->data.id)
    HRESULT Export(BSTR pathName, PpShapeFormat filter, LONG scaleWidth, LONG scaleHeight, PpExportMode mode) override {
        HOST_ENTER("Export");
        return ExportShapePicture(m_shape, WStringFromBstr(pathName), filter, scaleWidth, scaleHeight, mode);
    }

private:
    CHostShape* m_shape;
};

Shape* ShapeObject(CHostShape* shape) {
    return Obtain<CShapeObject>(shape->Document(), shape, 0, 0, shape->Document(), shape);
}

// ---- Shape range ------------------------------------------------------------------------------

class CShapeRangeObject : public CObject<ShapeRange> {
public:
    CShapeRangeObject(CHostDocument* doc, CHostNode* owner, std::vector<CHostShape*> shapes)
        : CObject(doc, owner, nullptr), m_owner(owner), m_shapes(std::move(shapes)) {
        m_key = this;
    }
    const char* InterfaceName() const override { return "ShapeRange"; }
    HOST_APPLICATION
    HOST_CREATOR
    HRESULT get_Parent(IDispatch** out) override {
        HOST_ENTER_OUT("get_Parent", out);
        if (auto* slide = dynamic_cast<CHostSlide*>(m_owner)) return GiveOut<IDispatch>(SlideObject(slide), out);
        if (auto* master = dynamic_cast<CHostMaster*>(m_owner)) return GiveOut<IDispatch>(MasterObject(master), out);
        return E_FAIL;
    }
    HRESULT Delete() override {
        HOST_ENTER("Delete");
        for (CHostShape* s : m_shapes)
            if (!s->IsDeleted()) {
                m_doc->Written(s, "ShapeRange.Delete");
                DeleteShape(s);
            }
        return S_OK;
    }
    HRESULT get_Fill(FillFormat** out) override {
        HOST_ENTER_OUT("get_Fill", out);
        *out = nullptr;
        // The fill of several shapes at once is not offered.
        if (m_shapes.size() != 1) return E_NOTIMPL;
        CHostShape* shape = m_shapes[0];
        return GiveOut<FillFormat>(Obtain<CFillFormatObject>(m_doc, shape, 0, 0, m_doc, shape), out);
    }
    HRESULT get_Visible(MsoTriState* out) override {
        HOST_ENTER_OUT("get_Visible", out);
        if (m_shapes.empty()) return E_FAIL;
        MsoTriState v = m_shapes[0]->data.visible;
        for (CHostShape* s : m_shapes)
            if (s->data.visible != v) v = msoTriStateMixed;
        *out = v;
        return S_OK;
    }
    HRESULT put_Visible(MsoTriState value) override {
        HOST_ENTER("put_Visible");
        for (CHostShape* s : m_shapes)
            if (!s->IsDeleted()) {
                m_doc->Written(s, "ShapeRange.put_Visible");
                s->data.visible = value;
            }
        return S_OK;
    }
    HRESULT Item(VARIANT index, Shape** out) override {
        HOST_ENTER_OUT("Item", out);
        *out = nullptr;
        LONG p = 0;
        if (index.vt == VT_I4)
            p = index.lVal;
        else if (index.vt == VT_I2)
            p = index.iVal;
        else if (index.vt == VT_BSTR) {
            const std::wstring n = WStringFromBstr(index.bstrVal);
            for (std::size_t i = 0; i < m_shapes.size() && !p; ++i)
                if (m_shapes[i]->data.name == n) p = static_cast<LONG>(i) + 1;
        } else
            return DISP_E_TYPEMISMATCH;
        if (p < 1 || p > static_cast<LONG>(m_shapes.size())) return E_INVALIDARG;
        return GiveOut<Shape>(ShapeObject(m_shapes[static_cast<std::size_t>(p - 1)]), out);
    }
    HOST_GET(Count, LONG, static_cast<LONG>(m_shapes.size()))

private:
    CHostNode* m_owner;
    std::vector<CHostShape*> m_shapes;
};

ShapeRange* ShapeRangeObject(CHostDocument* doc, CHostNode* owner, std::vector<CHostShape*> shapes) {
    return MakeObject<CShapeRangeObject>(doc, doc, owner, std::move(shapes));
}

// ---- Shapes -----------------------------------------------------------------------------------

class CShapesObject : public CObject<Shapes> {
public:
    CShapesObject(CHostDocument* doc, CHostNode* owner, std::vector<CHostShape*>* shapes)
        : CObject(doc, owner, shapes), m_owner(owner), m_shapes(shapes) {}
    const char* InterfaceName() const override { return "Shapes"; }
    HOST_APPLICATION
    HOST_CREATOR
    HRESULT get_Parent(IDispatch** out) override {
        HOST_ENTER_OUT("get_Parent", out);
        if (auto* slide = dynamic_cast<CHostSlide*>(m_owner)) return GiveOut<IDispatch>(SlideObject(slide), out);
        if (auto* master = dynamic_cast<CHostMaster*>(m_owner)) return GiveOut<IDispatch>(MasterObject(master), out);
        return E_FAIL;
    }
    HOST_GET(Count, LONG, static_cast<LONG>(m_shapes->size()))
    HRESULT Item(VARIANT index, Shape** out) override {
        HOST_ENTER_OUT("Item", out);
        *out = nullptr;
        LONG p = 0;
        HRESULT hr = Position(index, &p);
        if (FAILED(hr)) return hr;
        return GiveOut<Shape>(ShapeObject((*m_shapes)[static_cast<std::size_t>(p - 1)]), out);
    }
    HRESULT Range(VARIANT index, ShapeRange** out) override {
        HOST_ENTER_OUT("Range", out);
        *out = nullptr;
        if (index.vt == VT_EMPTY || index.vt == VT_ERROR)
            return GiveOut<ShapeRange>(ShapeRangeObject(m_doc, m_owner, *m_shapes), out);
        LONG p = 0;
        HRESULT hr = Position(index, &p);
        if (FAILED(hr)) return hr;
        return GiveOut<ShapeRange>(ShapeRangeObject(m_doc, m_owner, {(*m_shapes)[static_cast<std::size_t>(p - 1)]}),
                                   out);
    }

private:
    HRESULT Position(const VARIANT& index, LONG* position) const {
        LONG p = 0;
        if (index.vt == VT_I4)
            p = index.lVal;
        else if (index.vt == VT_I2)
            p = index.iVal;
        else if (index.vt == VT_BSTR) {
            const std::wstring n = WStringFromBstr(index.bstrVal);
            for (std::size_t i = 0; i < m_shapes->size() && !p; ++i)
                if ((*m_shapes)[i]->data.name == n) p = static_cast<LONG>(i) + 1;
        } else
            return DISP_E_TYPEMISMATCH;
        if (p < 1 || p > static_cast<LONG>(m_shapes->size())) return E_INVALIDARG;
        *position = p;
        return S_OK;
    }
    CHostNode* m_owner;
    std::vector<CHostShape*>* m_shapes;
};

Shapes* ShapesObject(CHostNode* owner, std::vector<CHostShape*>* shapes) {
    CHostDocument* doc = owner->Document();
    return Obtain<CShapesObject>(doc, shapes, 0, 0, doc, owner, shapes);
}

}  // namespace Host
}  // namespace PowerPoint
