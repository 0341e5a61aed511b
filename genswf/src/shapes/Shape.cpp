// The per-shape exporter of the animation model without a timeline: what it reads of the shape
// once, and the geometry and colours the later passes use.

#include "genswf/shapes/Shape.h"

#include "ShapeGeometry.h"
#include "genswf/movie/ExportSettings.h"
#include "genswf/movie/Movie.h"
#include "genswf/ppt/PptAnimationSettings.h"
#include "genswf/ppt/PptShape.h"
#include "genswf/shapes/EmbeddedMovie.h"
#include "genswf/slides/Slide.h"
#include "genswf/slides/SlideActions.h"
#include "genswf/slides/SlideBackground.h"
#include "genswf/text/ShapeTextIndex.h"
#include "genswf/utils/Exceptions.h"
#include "libpptparser/Presentation.h"

namespace genswf {

namespace {

constexpr float kDegreesToRadians = 3.14159265358979f / 180.0f;

bool IsCalloutAutoShape(PowerPoint::MsoAutoShapeType type) { return type >= 105 && type <= 124; }

}  // namespace

// --- Parsed-shape link -----------------------------------------------------------------------

CParsedShapeLink::CParsedShapeLink(std::shared_ptr<CPptShape> shape, CSlide* slide, int index, CShape* owner)
    : m_shape(std::move(shape)), m_slide(slide), m_index(index), m_owner(owner) {}

CParsedShapeLink::~CParsedShapeLink() = default;

std::shared_ptr<libpptparser::CShape> CParsedShapeLink::GetParsedShape() {
    if (!m_parsedShape && m_slide && m_index >= 0)
        m_parsedShape = m_slide->GetParsedLink().GetParsedShape(static_cast<std::size_t>(m_index));
    return m_parsedShape;
}

bool CParsedShapeLink::HasTextFrame() { return GetTextFrame() != nullptr; }

std::shared_ptr<libpptparser::CTextFrame> CParsedShapeLink::GetTextFrame() {
    const std::shared_ptr<libpptparser::CShape> parsed = GetParsedShape();
    return parsed ? parsed->GetTextFrame() : nullptr;
}

float CParsedShapeLink::GetTextRotation() {
    const std::shared_ptr<libpptparser::CShape> parsed = GetParsedShape();
    return parsed ? static_cast<float>(parsed->GetFontRotation()) * 90.0f : 0.0f;
}

// --- Shape -----------------------------------------------------------------------------------

std::shared_ptr<CShape> CShape::Create(PowerPoint::Shape* shape, CSlide* slide, int index) {
    return std::make_shared<CShape>(shape, slide, index);
}

CShape::CShape(PowerPoint::Shape* shape, CSlide* slide, int index)
    : m_index(index),
      m_slide(slide),
      m_pptShape(CreatePptShape(shape)),
      m_movie(slide ? slide->GetMovie() : nullptr),
      m_actionSettings(CreateActionSettingList()),
      m_shape(shape) {
    if (!m_slide || !m_movie) throw CBaseException(0, L"a shape needs its slide and movie");
    m_parsedLink = std::make_unique<CParsedShapeLink>(m_pptShape, slide, index, this);
    m_movie->Log(L"CShape() constructor is called. index=" + IntToWString(index));

    m_name = m_pptShape->GetName();
    m_hasTextFrame = m_pptShape->GetHasTextFrame() == PowerPoint::msoTrue;
    {
        CComPtr<PowerPoint::AnimationSettings> settings;
        settings.Attach(m_pptShape->GetAnimationSettingsPtr());
        m_animationSettings = CreatePptAnimationSettings(settings, this, m_hasTextFrame);
    }

    m_visible = m_pptShape->GetVisible();
    m_fill.Attach(m_pptShape->GetFillPtr());
    m_line.Attach(m_pptShape->GetLinePtr());
    CHECK_PPT_HR(m_line->get_Visible(&m_lineVisible));
    CHECK_PPT_HR(m_fill->get_Visible(&m_fillVisible));
    m_type = m_pptShape->GetType();
    m_zOrder = m_pptShape->GetZOrderPosition();  // the wrapper counts from 0
    m_rotation = m_pptShape->GetRotation();

    DecideExportAsPicture();

    m_left = m_pptShape->GetLeft();
    m_top = m_pptShape->GetTop();
    m_width = m_pptShape->GetWidth();
    m_height = m_pptShape->GetHeight();
    const bool connector = m_pptShape->GetConnector() != PowerPoint::msoFalse;
    // Only connectors need the saved presentation here; it is parsed when first asked.
    const std::shared_ptr<libpptparser::CShape> parsed = connector ? m_parsedLink->GetParsedShape() : nullptr;
    if (connector && parsed) {
        // PowerPoint reports a connector's frame unflipped; the file keeps where it really is.
        m_left = parsed->GetLeft();
        m_top = parsed->GetTop();
        m_width = parsed->GetRight() - parsed->GetLeft();
        m_height = parsed->GetBottom() - parsed->GetTop();
    }

    m_boundsLeft = m_left;
    m_boundsTop = m_top;
    m_boundsWidth = m_width;
    m_boundsHeight = m_height;
    m_centerX = m_left + m_width * 0.5f;
    m_centerY = m_top + m_height * 0.5f;

    bool widen = false;
    if (m_type == PowerPoint::msoAutoShape) {
        m_autoShapeType = m_pptShape->GetAutoShapeType();
        widen = IsCalloutAutoShape(m_autoShapeType) || connector;
    } else if (m_type == PowerPoint::msoCallout) {
        widen = true;
    }
    if (widen) WidenBounds(parsed);

    if (m_fillVisible != PowerPoint::msoFalse) {
        CComPtr<PowerPoint::ColorFormat> color;
        CHECK_PPT_HR(m_fill->get_ForeColor(&color));
        if (!color) THROW_PPT_EXCEPTION();
        ULONG rgb = 0;
        CHECK_PPT_HR(color->get_RGB(&rgb));
        m_backgroundColor = rgb;
    } else {
        const std::shared_ptr<CSlideBackground>& background = m_slide->GetBackground();
        m_backgroundColor = background ? background->GetBackgroundColor() : 0xFFFFFF;
    }
    m_pptShape->SetBackgroundColor(m_backgroundColor);

    m_actionSettings = m_slide->FindShapeActionSettings(m_name);
    if (!m_actionSettings) m_actionSettings = CreateActionSettingList();
    if (!m_actionSettings->IsEmpty()) m_exportAsPicture = true;

    // The text index lays the text out within the shape's frame and colours, so it comes last.
    if (m_hasTextFrame) {
        m_textIndex = CShapeTextIndex::Create(this);
        if (!m_textIndex || m_textIndex->GetTextSpriteCount() == 0) {
            m_hasTextFrame = false;
            m_textIndex = nullptr;
        }
    }
}

CShape::~CShape() = default;

void CShape::DecideExportAsPicture() {
    using namespace PowerPoint;
    switch (m_type) {
    case msoLinkedPicture:
    case msoPicture:
        m_exportAsPicture = true;
        break;
    case msoGroup:
    case msoEmbeddedOLEObject:
    case msoLinkedOLEObject:
    case msoTable:
    case msoCanvas:
    case msoDiagram:
    case msoInk:
    case msoInkComment:
    case msoMedia:
        m_exportAsPicture = m_visible != msoFalse;
        break;
    case msoAutoShape:
    case msoCallout:
    case msoChart:
    case msoComment:
    case msoFreeform:
    case msoFormControl:
    case msoLine:
    case msoTextEffect:
    case msoTextBox:
    case msoScriptAnchor:
        m_exportAsPicture = m_fillVisible != msoFalse || m_lineVisible != msoFalse;
        break;
    case msoOLEControlObject: {
        const std::shared_ptr<CExportSettings>& settings = m_movie->GetExportSettings();
        m_embeddedMovie = CreateSwfContent(m_pptShape, settings ? settings->GetPresentationPath() : std::wstring());
        m_exportAsPicture = m_visible != msoFalse;
        break;
    }
    case msoPlaceholder: {
        const std::shared_ptr<libpptparser::CShape> parsed = m_parsedLink->GetParsedShape();
        m_exportAsPicture = m_visible != msoFalse && parsed && parsed->GetShapeType() == kPictureFrameShapeType;
        break;
    }
    default:
        m_exportAsPicture = false;
        break;
    }
}

void CShape::WidenBounds(const std::shared_ptr<libpptparser::CShape>& parsed) {
    CComPtr<PowerPoint::Adjustments> adjustments;
    adjustments.Attach(m_pptShape->GetAdjustmentsPtr());
    AdjustmentFrame frame{m_left, m_top, m_width, m_height};
    const int turn =
        (m_pptShape->GetConnector() != PowerPoint::msoFalse && parsed) ? static_cast<int>(parsed->GetRotation()) : 0;
    const Rect bounds = WidenByAdjustments(*adjustments, frame, kAdjustmentPairs, turn,
                                           m_pptShape->GetHorizontalFlip() != PowerPoint::msoFalse,
                                           m_pptShape->GetVerticalFlip() != PowerPoint::msoFalse);
    m_boundsLeft = bounds.x;
    m_boundsTop = bounds.y;
    m_boundsWidth = bounds.width;
    m_boundsHeight = bounds.height;
}

PowerPoint::Shape* CShape::GetShapeInterface() const {
    PowerPoint::Shape* shape = m_shape.Get();
    if (shape) shape->AddRef();
    return shape;
}

COLORREF CShape::GetBaseColor() const { return m_pptShape->GetBackgroundColor(); }
COLORREF CShape::GetLightColor() const { return m_pptShape->GetEmbossHighlightColor(); }
COLORREF CShape::GetDarkColor() const { return m_pptShape->GetEmbossShadowColor(); }
COLORREF CShape::GetContrastColor(COLORREF color) const { return m_pptShape->GetShadowColor(color); }

std::wstring CShape::GetImageId() const {
    return (m_button && !m_actionSettings->IsEmpty()) ? m_button->GetId() : m_imageId;
}

std::wstring CShape::GetDimImageId() const {
    return (m_dimButton && !m_actionSettings->IsEmpty()) ? m_dimButton->GetId() : m_dimImageId;
}

Rect CShape::GetRotatedBounds() const {
    return TurnedAboutCentre(m_movie->ScaleX(m_left), m_movie->ScaleY(m_top), m_movie->ScaleX(m_width),
                             m_movie->ScaleY(m_height), m_rotation * kDegreesToRadians);
}

Rect CShape::GetRotatedPictureBounds() const {
    return TurnedAboutCentre(m_movie->ScaleX(m_boundsLeft), m_movie->ScaleY(m_boundsTop),
                             m_movie->ScaleX(m_boundsWidth), m_movie->ScaleY(m_boundsHeight),
                             m_rotation * kDegreesToRadians);
}

bool CShape::IsAnimated() const {
    return m_animationSettings && m_animationSettings->GetAnimate() != PowerPoint::msoFalse;
}

bool CShape::IsTextAnimatedWithShape() const {
    if (!m_exportAsPicture) return false;
    if (!IsAnimated()) return true;
    const PowerPoint::PpTextLevelEffect level = m_animationSettings->GetTextLevelEffect();
    if (m_animationSettings->GetAnimateBackground() != PowerPoint::msoFalse)
        return level == PowerPoint::ppAnimateLevelNone || level == PowerPoint::ppAnimateByAllLevels;
    return level == PowerPoint::ppAnimateLevelNone;
}

}  // namespace genswf
