// The shape wrapper.

#include "genswf/ppt/PptShape.h"

#include "PptHelpers.h"
#include "genswf/ppt/PptFillFormat.h"
#include "genswf/ppt/PptLineFormat.h"
#include "genswf/ppt/PptOleFormat.h"
#include "genswf/ppt/PptSoundFormat.h"

#include <algorithm>

namespace genswf {

namespace {

using PowerPoint::Shape;

// A value read once; a failed read keeps nothing, so the next call asks again.
template <class T>
T ReadOnce(Shape* shape, bool& read, T& kept, HRESULT (Shape::*get)(T*), int line) {
    if (!read) {
        T value{};
        if (!shape || (shape->*get)(&value) < 0) ThrowPptException(__FILE__, line);
        kept = value;
        read = true;
    }
    return kept;
}

bool IsOleShape(PowerPoint::MsoShapeType type) {
    return type == PowerPoint::msoEmbeddedOLEObject || type == PowerPoint::msoLinkedOLEObject ||
           type == PowerPoint::msoOLEControlObject;
}

// A child wrapper made once over the interface its Ptr operation reads.
template <class W, class P>
std::shared_ptr<W> ChildOnce(std::shared_ptr<W>& kept, CPptShape& shape, P* (CPptShape::*getPtr)(),
                             std::shared_ptr<W> (*create)(P*)) {
    if (!kept) {
        CComPtr<P> p;
        p.Attach((shape.*getPtr)());
        kept = create(p);
    }
    return kept;
}

ULONG Rgb(ULONG r, ULONG g, ULONG b) { return b << 16 | g << 8 | r; }

}  // namespace

CPptShape::CPptShape(PowerPoint::Shape* shape) : CPptObject(shape), m_pShape(shape) {}

// The child wrappers are declared after the interfaces they were made from, so they go first.
CPptShape::~CPptShape() = default;

void CPptShape::Delete() {
    if (!m_pShape || m_pShape->Delete() < 0) {
        if (!m_duplicateRange || m_duplicateRange->Delete() < 0) ThrowPptException(__FILE__, 354);
    }
    m_duplicateRange.Release();
    m_pShape.Release();
}

PowerPoint::Adjustments* CPptShape::GetAdjustmentsPtr() {
    return ReadPtrOnce(m_pAdjustments, m_pShape.Get(), &Shape::get_Adjustments, __FILE__, 126);
}

PowerPoint::FillFormat* CPptShape::GetFillPtr() {
    return ReadPtrOnce(m_pFill, m_pShape.Get(), &Shape::get_Fill, __FILE__, 75);
}

PowerPoint::LineFormat* CPptShape::GetLinePtr() {
    return ReadPtrOnce(m_pLine, m_pShape.Get(), &Shape::get_Line, __FILE__, 106);
}

PowerPoint::PictureFormat* CPptShape::GetPictureFormatPtr() {
    return ReadPtrOnce(m_pPictureFormat, m_pShape.Get(), &Shape::get_PictureFormat, __FILE__, 116);
}

PowerPoint::TextFrame* CPptShape::GetTextFramePtr() {
    return ReadPtrOnce(m_pTextFrame, m_pShape.Get(), &Shape::get_TextFrame, __FILE__, 87);
}

PowerPoint::OLEFormat* CPptShape::GetOLEFormatPtr() {
    if (!m_pOLEFormat && !IsOleShape(GetType())) throw CPPTException(L"Ole Format is available only for OLE shapes");
    return ReadPtrOnce(m_pOLEFormat, m_pShape.Get(), &Shape::get_OLEFormat, __FILE__, 170);
}

PowerPoint::AnimationSettings* CPptShape::GetAnimationSettingsPtr() {
    return ReadPtrOnce(m_pAnimationSettings, m_pShape.Get(), &Shape::get_AnimationSettings, __FILE__, 96);
}

PowerPoint::ActionSettings* CPptShape::GetActionSettingsPtr() {
    return ReadPtrOnce(m_pActionSettings, m_pShape.Get(), &Shape::get_ActionSettings, __FILE__, 136);
}

PowerPoint::SoundFormat* CPptShape::GetSoundFormatPtr() {
    return ReadPtrOnce(m_pSoundFormat, m_pShape.Get(), &Shape::get_SoundFormat, __FILE__, 183);
}

std::shared_ptr<CPptFillFormat> CPptShape::GetFill() {
    return ChildOnce(m_fill, *this, &CPptShape::GetFillPtr, &CreatePptFillFormat);
}

std::shared_ptr<CPptLineFormat> CPptShape::GetLine() {
    return ChildOnce(m_line, *this, &CPptShape::GetLinePtr, &CreatePptLineFormat);
}

std::shared_ptr<CPptSoundFormat> CPptShape::GetSoundFormat() {
    return ChildOnce(m_soundFormat, *this, &CPptShape::GetSoundFormatPtr, &CreatePptSoundFormat);
}

std::shared_ptr<CPptOleFormat> CPptShape::GetOLEFormat() {
    return ChildOnce(m_oleFormat, *this, &CPptShape::GetOLEFormatPtr, &CreatePptOleFormat);
}

PowerPoint::MsoAutoShapeType CPptShape::GetAutoShapeType() {
    return ReadOnce(m_pShape, m_autoShapeTypeRead, m_autoShapeType, &Shape::get_AutoShapeType, 246);
}

PowerPoint::MsoTriState CPptShape::GetConnector() {
    return ReadOnce(m_pShape, m_connectorRead, m_connector, &Shape::get_Connector, 519);
}

float CPptShape::GetHeight() { return ReadOnce(m_pShape, m_heightRead, m_height, &Shape::get_Height, 209); }

PowerPoint::MsoTriState CPptShape::GetHorizontalFlip() {
    return ReadOnce(m_pShape, m_horizontalFlipRead, m_horizontalFlip, &Shape::get_HorizontalFlip, 262);
}

float CPptShape::GetLeft() { return ReadOnce(m_pShape, m_leftRead, m_left, &Shape::get_Left, 194); }

const std::wstring& CPptShape::GetName() {
    if (!m_nameRead) {
        BSTR name = nullptr;
        if (!m_pShape || m_pShape->get_Name(&name) < 0) {
            SysFreeString(name);
            ThrowPptException(__FILE__, 231);
        }
        m_name = TakeBstr(name);
        m_nameRead = true;
    }
    return m_name;
}

float CPptShape::GetRotation() { return ReadOnce(m_pShape, m_rotationRead, m_rotation, &Shape::get_Rotation, 214); }

bool CPptShape::SetRotation(float rotation) {
    if (!m_pShape || m_pShape->put_Rotation(rotation) < 0) {
        m_canSetRotation = false;
        return false;
    }
    m_rotation = rotation;
    m_rotationRead = true;
    m_canSetRotation = true;
    return true;
}

float CPptShape::GetTop() { return ReadOnce(m_pShape, m_topRead, m_top, &Shape::get_Top, 199); }

PowerPoint::MsoShapeType CPptShape::GetType() { return ReadOnce(m_pShape, m_typeRead, m_type, &Shape::get_Type, 236); }

PowerPoint::MsoTriState CPptShape::GetVerticalFlip() {
    return ReadOnce(m_pShape, m_verticalFlipRead, m_verticalFlip, &Shape::get_VerticalFlip, 267);
}

PowerPoint::MsoTriState CPptShape::GetVisible() {
    return ReadOnce(m_pShape, m_visibleRead, m_visible, &Shape::get_Visible, 257);
}

float CPptShape::GetWidth() { return ReadOnce(m_pShape, m_widthRead, m_width, &Shape::get_Width, 204); }

LONG CPptShape::GetZOrderPosition() {
    if (!m_zOrderPositionRead) {
        LONG position = 0;
        if (!m_pShape || m_pShape->get_ZOrderPosition(&position) < 0) ThrowPptException(__FILE__, 221);
        m_zOrderPosition = position - 1;
        m_zOrderPositionRead = true;
    }
    return m_zOrderPosition;
}

LONG CPptShape::GetId() {
    if (!m_idRead) {
        LONG id = 0;
        if (!m_pShape || m_pShape->get_Id(&id) < 0) id = 0;
        m_id = id;
        m_idRead = true;
    }
    return m_id;
}

PowerPoint::PpMediaType CPptShape::GetMediaType() {
    return ReadOnce(m_pShape, m_mediaTypeRead, m_mediaType, &Shape::get_MediaType, 241);
}

PowerPoint::MsoTriState CPptShape::GetHasTextFrame() {
    return ReadOnce(m_pShape, m_hasTextFrameRead, m_hasTextFrame, &Shape::get_HasTextFrame, 252);
}

std::shared_ptr<CPptShape> CPptShape::Duplicate() {
    CComPtr<PowerPoint::ShapeRange> range;
    if (!m_pShape || m_pShape->Duplicate(&range) < 0 || !range) ThrowPptException(__FILE__, 145);
    VARIANT first = PositionVariant(1);
    CComPtr<PowerPoint::Shape> copy;
    const HRESULT hr = range->Item(first, &copy);
    VariantClear(&first);
    if (hr < 0 || !copy) {
        // The copy exists even though it cannot be reached: it must not stay on the slide.
        range->Delete();
        ThrowPptException(__FILE__, 147);
    }
    std::shared_ptr<CPptShape> duplicate = CreatePptShape(copy);
    duplicate->m_duplicateRange = range;
    return duplicate;
}

bool CPptShape::Export(const std::wstring& pathName, PowerPoint::PpShapeFormat filter, LONG scaleWidth,
                       LONG scaleHeight, PowerPoint::PpExportMode exportMode) {
    if (!m_pShape) return false;
    BSTR path = BstrFromWString(pathName);
    const HRESULT hr = m_pShape->Export(path, filter, scaleWidth, scaleHeight, exportMode);
    SysFreeString(path);
    return hr >= 0;
}

void CPptShape::DeleteText() {
    if (GetHasTextFrame() == PowerPoint::msoFalse) return;
    CComPtr<PowerPoint::TextFrame> frame = Adopt(GetTextFramePtr());
    if (frame->DeleteText() < 0) ThrowPptException(__FILE__, 332);
}

bool CPptShape::CanSetRotation() {
    if (m_rotationDecided) return m_canSetRotation;
    if (IsOleShape(GetType())) {
        m_canSetRotation = false;
    } else {
        // Ask PowerPoint on a copy, so the user's shape is never turned.
        m_canSetRotation = true;
        std::shared_ptr<CPptShape> copy = Duplicate();
        if (!copy->SetRotation(0.0f)) m_canSetRotation = false;
        copy->Delete();
    }
    m_rotationDecided = true;
    return m_canSetRotation;
}

void CPptShape::SetBackgroundColor(ULONG color) {
    if (m_colorsSet) return;
    const ULONG r = color & 0xFF;
    const ULONG g = (color >> 8) & 0xFF;
    const ULONG b = (color >> 16) & 0xFF;
    m_backgroundColor = color;
    m_faceColor = color;
    const ULONG half = std::max({r, g, b}) / 2;
    m_embossHighlightColor =
        Rgb(std::min<ULONG>(r + half, 255), std::min<ULONG>(g + half, 255), std::min<ULONG>(b + half, 255));
    m_embossShadowColor = Rgb(r * 3 / 5, g * 3 / 5, b * 3 / 5);
    m_colorsSet = true;
}

ULONG CPptShape::GetShadowColor(ULONG textColor) const {
    if (m_backgroundColor == 0xFFFFFF) return 0xC0C0C0;
    if (m_backgroundColor == 0) return textColor == 0xFFFFFF ? 0xC0C0C0 : 0xFFFFFF;
    return textColor != 0 ? 0 : 0xFFFFFF;
}

std::shared_ptr<CPptShape> CreatePptShape(PowerPoint::Shape* shape) { return std::make_shared<CPptShape>(shape); }

}  // namespace genswf
