// The basic-shape exporters of the timeline path: one class per PowerPoint shape type, each
// turning its shape into a movie object (picture, vector sprite or embedded movie, in a button
// when the shape links somewhere), placing it with the shape's geometry and handing it to the
// effect exporters, and exporting the shape's text through the text-frame model.

#include "genswf/shapes/BasicShape.h"

#include "ShapeGeometry.h"
#include "genswf/animation/EffectExporter.h"
#include "genswf/animation/EffectRegistry.h"
#include "genswf/animation/Placement.h"
#include "genswf/movie/ExportSettings.h"
#include "genswf/movie/Movie.h"
#include "genswf/movie/MovieObjects.h"
#include "genswf/ppt/PptColorFormat.h"
#include "genswf/ppt/PptFillFormat.h"
#include "genswf/ppt/PptLineFormat.h"
#include "genswf/ppt/PptOleFormat.h"
#include "genswf/ppt/PptShape.h"
#include "genswf/ppt/PptTextFrame.h"
#include "genswf/shapes/EmbeddedMovie.h"
#include "genswf/shapes/ShapeHolder.h"
#include "genswf/slides/Slide.h"
#include "genswf/slides/SlideActions.h"
#include "genswf/text/TextFrameContent.h"
#include "genswf/utils/Exceptions.h"
#include "libpptparser/Presentation.h"

#include <algorithm>
#include <cstdio>

namespace genswf {

namespace {

constexpr float kDegreesToRadians = 0.0174532924f;

bool IsSemiTransparent(float transparency) { return transparency > 0.0f && transparency < 1.0f; }

// The copy a picture is taken from: unturned where PowerPoint allows it, never resized to its
// text, and without the text, which the movie shows as text of its own. Only shapes with text or
// a rotation need one; the others are exported as they are.
std::unique_ptr<CShapeCopy> PrepareForPicture(const std::shared_ptr<CPptShape>& shape) {
    bool hasText = false;
    if (shape->GetHasTextFrame() != PowerPoint::msoFalse) {
        CComPtr<PowerPoint::TextFrame> frame;
        frame.Attach(shape->GetTextFramePtr());
        PowerPoint::MsoTriState text = PowerPoint::msoFalse;
        CHECK_PPT_HR(frame->get_HasText(&text));
        hasText = text != PowerPoint::msoFalse;
    }
    if (!hasText && shape->GetRotation() == 0.0f) return nullptr;

    auto copy = std::make_unique<CShapeCopy>(shape->Duplicate());
    if (hasText) {
        CComPtr<PowerPoint::TextFrame> frame;
        frame.Attach((*copy)->GetTextFramePtr());
        CHECK_PPT_HR(frame->put_AutoSize(PowerPoint::ppAutoSizeNone));
    }
    if ((*copy)->GetRotation() != 0.0f && shape->CanSetRotation()) (*copy)->SetRotation(0.0f);
    (*copy)->DeleteText();
    return copy;
}

}  // namespace

// --- Parsed link, animation settings, animated object ----------------------------------------

CBasicShapeParsedLink::CBasicShapeParsedLink(CBasicShape* owner, std::shared_ptr<CPptShape> shape)
    : m_owner(owner), m_shape(std::move(shape)) {}

CBasicShapeParsedLink::~CBasicShapeParsedLink() = default;

std::shared_ptr<libpptparser::CShape> CBasicShapeParsedLink::GetParsedShape() {
    if (!m_parsedShape) {
        const std::shared_ptr<CShapeContext>& context = m_owner->GetContext();
        CSlide* slide = context ? context->GetOwner() : nullptr;
        if (slide && context->GetShapeIndex() >= 0)
            m_parsedShape = slide->GetParsedLink().GetParsedShape(static_cast<std::size_t>(context->GetShapeIndex()));
    }
    return m_parsedShape;
}

std::shared_ptr<libpptparser::CTextFrame> CBasicShapeParsedLink::GetTextFrame() {
    const std::shared_ptr<libpptparser::CShape> parsed = GetParsedShape();
    return parsed ? parsed->GetTextFrame() : nullptr;
}

CAnimationSettingsRef::CAnimationSettingsRef(PowerPoint::AnimationSettings* settings) : m_settings(settings) {}
CAnimationSettingsRef::~CAnimationSettingsRef() = default;

std::shared_ptr<CLayer> CBasicShapeAnimatedObject::GetLayer() {
    if (!m_layer) m_layer = m_owner->GetFirstLayer();
    return m_layer;
}

std::shared_ptr<CObjectsCollection> CBasicShapeAnimatedObject::FetchObjects() {
    return m_owner->GetObjectsCollection();
}

// --- Basic shape -----------------------------------------------------------------------------

CBasicShape::CBasicShape(std::shared_ptr<CPptShape> shape)
    : m_parsedLink(std::make_unique<CBasicShapeParsedLink>(this, shape)), m_shape(std::move(shape)) {
    CComPtr<PowerPoint::AnimationSettings> settings;
    settings.Attach(m_shape->GetAnimationSettingsPtr());
    m_animationSettings = std::make_shared<CAnimationSettingsRef>(settings);
}

CBasicShape::~CBasicShape() = default;

float CBasicShape::GetHeight() { return m_shape->GetHeight(); }
float CBasicShape::GetWidth() { return m_shape->GetWidth(); }
float CBasicShape::GetTop() { return m_shape->GetTop(); }
float CBasicShape::GetLeft() { return m_shape->GetLeft(); }
bool CBasicShape::IsVisible() { return m_shape->GetVisible() == PowerPoint::msoTrue; }
CMatrix CBasicShape::GetPlacement() { return GetBasePlacement(); }
float CBasicShape::GetExportLeft() { return GetLeft(); }
float CBasicShape::GetExportTop() { return GetTop(); }
float CBasicShape::GetExportWidth() { return GetWidth(); }
float CBasicShape::GetExportHeight() { return GetHeight(); }

std::shared_ptr<CMovieObject> CBasicShape::ExportAsPicture(const std::shared_ptr<CPptShape>& shape) {
    return SaveShapeAsPicture(shape);
}

std::shared_ptr<CEffectExporterBase> CBasicShape::GetEffectExporter(const std::shared_ptr<CTimeLineEffect>& effect) {
    const std::shared_ptr<CEffectExporterFactory> factory = m_context->GetEffectExporterFactory();
    if (!factory) throw CBaseException(0, std::wstring());
    return factory->GetExporter(effect);
}

void CBasicShape::ExportText(const std::shared_ptr<CTextExportRequest>& request) {
    const std::shared_ptr<CTextFrameContent> content = GetTextContent();
    if (content && content->HasText()) content->ExportTextShape(request);
}

void CBasicShape::ExportShape(const std::shared_ptr<CShapeExportRequest>& request) {
    const std::shared_ptr<CAnimatedObject> animated = GetAnimatedObject();
    const std::shared_ptr<CTimeLineEffect> effect = request ? request->GetEffect() : nullptr;
    // An effect on a paragraph is the text export's.
    const bool go = effect ? effect->IsShapeEffect() : !animated->GetCurrentObject();
    if (!go) return;

    if (!animated->GetCurrentObject()) {
        std::shared_ptr<CMovieObject> object = ExportAsPicture(m_shape);
        CSlide* slide = m_context->GetOwner();
        const std::shared_ptr<CActionSettingList> actions = slide->FindShapeActionSettings(GetName());
        if (actions && !actions->IsEmpty()) {
            CMovie* movie = GetContextMovie();
            const std::wstring& id = object->GetId();
            // The button shows the picture, so the picture must be defined before it.
            GetObjectsCollection()->Add(object);
            std::shared_ptr<CButtonObject> button = CreateButtonObject(movie, nullptr, id, id, id, id);
            GetObjectsCollection()->Add(button);
            movie->AddHyperlinkSource(CreateHyperlinkButton(button, actions, slide->GetSlideIndex()));
            object = button;
        }
        animated->SetObject(object);
    }

    const std::shared_ptr<CEffectExporterBase> exporter = GetEffectExporter(effect);
    exporter->Export(CreatePlacement(request), animated, effect);
}

void CBasicShape::SetContext(const std::shared_ptr<CShapeContext>& context) {
    m_context = context;
    // The text is drawn over the fill where there is one, else over the slide.
    const std::shared_ptr<CPptFillFormat> fill = m_shape->GetFill();
    ULONG color = 0;
    if (fill->GetVisible() != PowerPoint::msoFalse)
        color = fill->GetForeColor()->GetRGB();
    else
        color = m_context->GetFallbackColor();
    m_shape->SetBackgroundColor(color);
}

void CBasicShape::Export() {
    if (IsVisible()) ExportShape(std::make_shared<CShapeExportRequest>());
    if (HasTextFrame()) {
        const std::shared_ptr<CTextFrameContent> content = GetTextContent();
        if (content && content->HasText()) ExportText(std::make_shared<CTextExportRequest>());
    }
}

void CBasicShape::ExportWithEffect(const std::shared_ptr<CTimeLineEffect>& effect) {
    if (IsVisible()) ExportShape(std::make_shared<CShapeExportRequest>(effect));
    if (HasTextFrame()) {
        const std::shared_ptr<CTextFrameContent> content = GetTextContent();
        if (content && content->HasText()) ExportText(std::make_shared<CTextExportRequest>(effect));
    }
}

std::shared_ptr<CMovieObject> CBasicShape::SaveShapeAsPicture(const std::shared_ptr<CPptShape>& shape) {
    std::unique_ptr<CShapeCopy> copy = PrepareForPicture(shape);
    CPptShape& target = copy ? **copy : *shape;

    const CRefPtr<CEffectRegistry> registry = CEffectRegistry::GetRequiredGlobal();
    CMovie* movie = GetContextMovie();
    // Later versions take the picture's own size.
    const float f = registry->IsVersion9() ? 1.0f : 0.0f;
    std::shared_ptr<CImageObject> image = CreateImageObject(
        movie, std::wstring(), 0.0f, 0.0f, m_context->ToMovieX(GetWidth()) * f, m_context->ToMovieY(GetHeight()) * f);
    const std::shared_ptr<CExportSettings>& settings = movie->GetExportSettings();
    image->smoothing = settings ? settings->GetImageSmoothing() : true;

    const std::wstring folder = IncludeTrailingBackslash(m_context->GetWorkFolder());
    std::wstring path = folder + image->GetId() + L"." + registry->GetPictureFormat();
    auto filter = static_cast<PowerPoint::PpShapeFormat>(registry->GetPictureFilter());
    const auto scaleWidth = static_cast<LONG>(m_context->GetSlideWidthInMovie() + 0.5f);
    const auto scaleHeight = static_cast<LONG>(m_context->GetSlideHeightInMovie() + 0.5f);
    bool saved = target.Export(path, filter, scaleWidth, scaleHeight, PowerPoint::ppScaleXY);
    if (!saved && filter != PowerPoint::ppShapeFormatWMF) {
        path = folder + image->GetId() + L".wmf";
        filter = PowerPoint::ppShapeFormatWMF;
        saved = target.Export(path, filter, scaleWidth, scaleHeight, PowerPoint::ppScaleXY);
    }
    if (!saved) throw CPPTException(LocatedMessage(L"failed to save shape as " + path, __FILE__, 349));
    if (copy) copy->Finish();
    if (filter == PowerPoint::ppShapeFormatWMF) {
        std::shared_ptr<CSpriteObject> sprite = CreateSpriteObject(movie);
        sprite->SetId(image->GetId());
        SetMetafile(*sprite, path);
        return sprite;
    }

    image->SetSrc(path);
    image->jpegQuality = movie->GetJpegQuality();
    return image;
}

std::shared_ptr<CMovieObject> CBasicShape::ExportAsWmf(const std::shared_ptr<CPptShape>& shape) {
    bool vector = true;
    const std::shared_ptr<CPptFillFormat> fill = shape->GetFill();
    if (fill->GetVisible() != PowerPoint::msoFalse) {
        if (IsSemiTransparent(fill->GetTransparency()))
            vector = false;
        else
            vector = fill->GetType() == PowerPoint::msoFillSolid;
    }
    const std::shared_ptr<CPptLineFormat> line = shape->GetLine();
    if (line->GetVisible() != PowerPoint::msoFalse && IsSemiTransparent(line->GetTransparency())) vector = false;
    // A metafile holds neither see-through colours nor gradients, patterns and pictures.
    if (!vector) return SaveShapeAsPicture(shape);

    std::unique_ptr<CShapeCopy> copy = PrepareForPicture(shape);
    CPptShape& target = copy ? **copy : *shape;
    CMovie* movie = GetContextMovie();
    std::shared_ptr<CSpriteObject> sprite = CreateSpriteObject(movie);
    const std::wstring path = movie->GetTempFolder() + sprite->GetId() + L".wmf";
    const bool saved = target.Export(path, PowerPoint::ppShapeFormatWMF, static_cast<LONG>(movie->GetMovieWidth()),
                                     static_cast<LONG>(movie->GetMovieHeight()), PowerPoint::ppScaleXY);
    if (copy) copy->Finish();
    if (!saved) {
        // Nothing half-written may stay behind to be compiled; the picture path says why it failed.
        std::remove(Utf8FromWide(path).c_str());
        return SaveShapeAsPicture(shape);
    }
    SetMetafile(*sprite, path);
    return sprite;
}

void CBasicShape::SetMetafile(CSpriteObject& sprite, const std::wstring& path) {
    CMovie* movie = GetContextMovie();
    sprite.src = path;
    // A straight line has no width or height; the compiler needs a size to scale the metafile to.
    sprite.SetWidth(std::max(1.0f, movie->ScaleX(GetWidth())));
    sprite.SetHeight(std::max(1.0f, movie->ScaleY(GetHeight())));
}

bool CBasicShape::HasTextFrame() { return m_shape->GetHasTextFrame() == PowerPoint::msoTrue; }
const std::wstring& CBasicShape::GetName() { return m_shape->GetName(); }
LONG CBasicShape::GetZOrderPosition() { return m_shape->GetZOrderPosition(); }

std::shared_ptr<CObjectsCollection> CBasicShape::GetObjectsCollection() {
    if (!m_objects) m_objects = CreateObjectsCollection(GetContextMovie());
    return m_objects;
}

std::shared_ptr<CLayersCollection> CBasicShape::GetLayersCollection() {
    if (!m_layers) {
        m_layers = CreateLayersCollection(GetContextMovie());
        m_firstLayer = m_layers->AddLayer();
        m_secondLayer = m_layers->AddLayer();
    }
    return m_layers;
}

std::shared_ptr<CLayer> CBasicShape::GetFirstLayer() {
    GetLayersCollection();
    return m_firstLayer;
}

std::shared_ptr<CLayer> CBasicShape::GetSecondLayer() {
    GetLayersCollection();
    return m_secondLayer;
}

std::shared_ptr<CTextFrameContent> CBasicShape::GetTextContent() {
    if (!m_textContent && HasTextFrame()) m_textContent = CTextFrameContent::Create(m_shape->GetTextFrame(), this);
    return m_textContent;
}

std::shared_ptr<CAnimatedObject> CBasicShape::GetAnimatedObject() {
    if (!m_animatedObject) m_animatedObject = std::make_shared<CBasicShapeAnimatedObject>(this);
    return m_animatedObject;
}

CMovie* CBasicShape::GetContextMovie() const { return m_context ? m_context->GetMovie() : nullptr; }

float CBasicShape::GetRotation() { return m_shape->CanSetRotation() ? m_shape->GetRotation() : 0.0f; }

Rect CBasicShape::GetBounds() {
    Rect bounds(0.0f, 0.0f, m_context->ToMovieX(GetExportWidth()), m_context->ToMovieY(GetExportHeight()));
    bounds.TransformBounds(GetBasePlacement());
    return bounds;
}

std::shared_ptr<CPlacement> CBasicShape::CreatePlacement(const std::shared_ptr<CShapeExportRequest>& /*request*/) {
    const Rect bounds = GetBounds();
    return CPlacement::Create(GetContextMovie(), bounds.x, bounds.y, bounds.width, bounds.height, GetPlacement());
}

float CBasicShape::GetCenterX() { return m_shape->GetLeft() + 0.5f * m_shape->GetWidth(); }
float CBasicShape::GetCenterY() { return m_shape->GetTop() + 0.5f * m_shape->GetHeight(); }

float CBasicShape::GetTextRotation() {
    const std::shared_ptr<libpptparser::CShape> parsed = m_parsedLink->GetParsedShape();
    return parsed ? static_cast<float>(parsed->GetFontRotation()) * 90.0f : 0.0f;
}

COLORREF CBasicShape::GetLightColor() { return m_shape->GetEmbossHighlightColor(); }
COLORREF CBasicShape::GetDarkColor() { return m_shape->GetEmbossShadowColor(); }
COLORREF CBasicShape::GetBaseColor() { return m_shape->GetBackgroundColor(); }
COLORREF CBasicShape::GetContrastColor(COLORREF color) { return m_shape->GetShadowColor(color); }

CMatrix CBasicShape::GetBasePlacement() {
    const float left = GetLeft();
    const float top = GetTop();
    // The shape turns about the centre of PowerPoint's frame, wherever its own frame lies.
    const float hx = m_context->ToMovieX(GetCenterX() - left);
    const float hy = m_context->ToMovieY(GetCenterY() - top);
    CMatrix m;
    m.SetTranslation(-hx, -hy);
    m.Rotate(GetRotation() * kDegreesToRadians);
    m.Translate(hx + m_context->ToMovieX(left), hy + m_context->ToMovieY(top));
    return m;
}

// --- AutoShape -------------------------------------------------------------------------------

CAutoShape::CAutoShape(std::shared_ptr<CPptShape> shape) : CBasicShape(std::move(shape)) {
    m_frameLeft = m_shape->GetLeft();
    m_frameTop = m_shape->GetTop();
    m_frameWidth = m_shape->GetWidth();
    m_frameHeight = m_shape->GetHeight();
}

CAutoShape::~CAutoShape() = default;

float CAutoShape::GetHeight() {
    ComputeGeometry();
    return m_frameHeight;
}

float CAutoShape::GetWidth() {
    ComputeGeometry();
    return m_frameWidth;
}

float CAutoShape::GetTop() {
    ComputeGeometry();
    return m_frameTop;
}

float CAutoShape::GetLeft() {
    ComputeGeometry();
    return m_frameLeft;
}

std::shared_ptr<CMovieObject> CAutoShape::ExportAsPicture(const std::shared_ptr<CPptShape>& shape) {
    return ExportAsWmf(shape);
}

bool CAutoShape::IsCallout() {
    if (!m_calloutDecided) {
        const PowerPoint::MsoAutoShapeType type = m_shape->GetAutoShapeType();
        m_isCallout = type >= 105 && type <= 124;
        m_calloutDecided = true;
    }
    return m_isCallout;
}

void CAutoShape::ComputeGeometry() {
    if (m_geometryComputed) return;
    m_geometryComputed = true;
    if (IsCallout()) {
        // The frame takes in the callout's pointer; without both values of the tip it stays.
        CComPtr<PowerPoint::Adjustments> adjustments;
        adjustments.Attach(m_shape->GetAdjustmentsPtr());
        float u = 0.0f, v = 0.0f;
        if (adjustments->get_Item(1, &u) < 0 || adjustments->get_Item(2, &v) < 0) return;
        const float tipX = m_frameLeft + m_frameWidth * u;
        const float tipY = m_frameTop + m_frameHeight * v;
        const float left = std::min(m_frameLeft, tipX);
        const float top = std::min(m_frameTop, tipY);
        m_frameWidth = std::max(m_frameLeft + m_frameWidth, tipX) - left;
        m_frameHeight = std::max(m_frameTop + m_frameHeight, tipY) - top;
        m_frameLeft = left;
        m_frameTop = top;
        return;
    }
    if (m_shape->GetConnector() == PowerPoint::msoFalse) return;
    // A connector is where the saved presentation anchors it, widened by its bend points.
    const std::shared_ptr<libpptparser::CShape> parsed = m_parsedLink->GetParsedShape();
    if (!parsed) return;
    CComPtr<PowerPoint::Adjustments> adjustments;
    adjustments.Attach(m_shape->GetAdjustmentsPtr());
    const AdjustmentFrame anchor{parsed->GetLeft(), parsed->GetTop(), parsed->GetRight() - parsed->GetLeft(),
                                 parsed->GetBottom() - parsed->GetTop()};
    const Rect frame = WidenByAdjustments(
        *adjustments, anchor, kAdjustmentPairs, static_cast<int>(parsed->GetRotation()),
        m_shape->GetHorizontalFlip() != PowerPoint::msoFalse, m_shape->GetVerticalFlip() != PowerPoint::msoFalse);
    m_frameLeft = frame.x;
    m_frameTop = frame.y;
    m_frameWidth = frame.width;
    m_frameHeight = frame.height;
}

// --- OLE objects -----------------------------------------------------------------------------

COleObjectShape::COleObjectShape(std::shared_ptr<CPptShape> shape) : CBasicShape(std::move(shape)) {}
COleObjectShape::~COleObjectShape() = default;

std::shared_ptr<CSwfContent> COleObjectShape::GetEmbeddedMovie() {
    if (!m_movieDecided) {
        if (m_shape->GetType() == PowerPoint::msoOLEControlObject) {
            CMovie* movie = GetContextMovie();
            const std::shared_ptr<CExportSettings> settings = movie ? movie->GetExportSettings() : nullptr;
            m_embeddedMovie = CreateSwfContent(m_shape, settings ? settings->GetPresentationPath() : std::wstring());
        }
        m_movieDecided = true;
    }
    return m_embeddedMovie;
}

bool COleObjectShape::IsListedObject() {
    if (!m_listedDecided) {
        try {
            CMovie* movie = GetContextMovie();
            const std::shared_ptr<CExportSettings> settings = movie ? movie->GetExportSettings() : nullptr;
            m_listedObject = settings && m_shape->GetType() == PowerPoint::msoEmbeddedOLEObject &&
                             settings->IsFlashProgId(m_shape->GetOLEFormat()->GetProgID());
        } catch (...) {
            // An object that cannot say what it is goes the picture way.
            m_listedObject = false;
        }
        m_listedDecided = true;
    }
    return m_listedObject;
}

std::shared_ptr<CMovieObject> COleObjectShape::ExportAsPicture(const std::shared_ptr<CPptShape>& shape) {
    if (const std::shared_ptr<CSwfContent> content = GetEmbeddedMovie()) {
        CMovie* movie = GetContextMovie();
        std::shared_ptr<CSpriteObject> sprite = CreateSpriteObject(movie);
        const std::wstring path = movie->GetTempFolder() + sprite->GetId() + L".swf";
        content->WriteFile(path);
        sprite->src = path;
        return sprite;
    }
    if (IsListedObject()) return ExportAsWmf(shape);
    return SaveShapeAsPicture(shape);
}

CMatrix COleObjectShape::GetPlacement() {
    const std::shared_ptr<CSwfContent> content = GetEmbeddedMovie();
    if (!content) return GetBasePlacement();
    CMatrix fitted = content->GetFitMatrix();
    fitted.Scale(m_context->ToMovieX(1.0f), m_context->ToMovieY(1.0f));
    CMatrix placement;
    placement.Multiply(GetBasePlacement(), fitted);
    return placement;
}

std::shared_ptr<CEffectExporterBase> COleObjectShape::GetEffectExporter(
    const std::shared_ptr<CTimeLineEffect>& effect) {
    if (!GetEmbeddedMovie()) return CBasicShape::GetEffectExporter(effect);
    const std::shared_ptr<CEffectExporterFactory> factory = m_context->GetEffectExporterFactory();
    if (!factory) throw CBaseException(0, std::wstring());
    return factory->GetEmbeddedMovieExporter();
}

// --- Vector pictures and the rest ------------------------------------------------------------

CFreeformShape::~CFreeformShape() = default;
std::shared_ptr<CMovieObject> CFreeformShape::ExportAsPicture(const std::shared_ptr<CPptShape>& shape) {
    return ExportAsWmf(shape);
}
CGroupShape::~CGroupShape() = default;
std::shared_ptr<CMovieObject> CGroupShape::ExportAsPicture(const std::shared_ptr<CPptShape>& shape) {
    return ExportAsWmf(shape);
}
CLineShape::~CLineShape() = default;
std::shared_ptr<CMovieObject> CLineShape::ExportAsPicture(const std::shared_ptr<CPptShape>& shape) {
    return ExportAsWmf(shape);
}
CTableShape::~CTableShape() = default;
std::shared_ptr<CMovieObject> CTableShape::ExportAsPicture(const std::shared_ptr<CPptShape>& shape) {
    return ExportAsWmf(shape);
}

CCalloutShape::~CCalloutShape() = default;
CChartShape::~CChartShape() = default;
CCommentShape::~CCommentShape() = default;
CFormControlShape::~CFormControlShape() = default;
CPictureShape::~CPictureShape() = default;
CPlaceholderShape::~CPlaceholderShape() = default;
CTextEffectShape::~CTextEffectShape() = default;
CMediaShape::~CMediaShape() = default;
CTextBoxShape::~CTextBoxShape() = default;
CScriptAnchorShape::~CScriptAnchorShape() = default;
CCanvasShape::~CCanvasShape() = default;
CDiagramShape::~CDiagramShape() = default;
CInkShape::~CInkShape() = default;
CInkCommentShape::~CInkCommentShape() = default;

std::shared_ptr<CBasicShape> CreateBasicShape(const std::shared_ptr<CPptShape>& shape,
                                              const std::shared_ptr<CShapeContext>& context) {
    using namespace PowerPoint;
    std::shared_ptr<CBasicShape> made;
    switch (shape->GetType()) {
    case msoAutoShape:
        made = std::make_shared<CAutoShape>(shape);
        break;
    case msoCallout:
        made = std::make_shared<CCalloutShape>(shape);
        break;
    case msoChart:
        made = std::make_shared<CChartShape>(shape);
        break;
    case msoComment:
        made = std::make_shared<CCommentShape>(shape);
        break;
    case msoFreeform:
        made = std::make_shared<CFreeformShape>(shape);
        break;
    case msoGroup:
        made = std::make_shared<CGroupShape>(shape);
        break;
    case msoEmbeddedOLEObject:
    case msoLinkedOLEObject:
    case msoOLEControlObject:
        made = std::make_shared<COleObjectShape>(shape);
        break;
    case msoFormControl:
        made = std::make_shared<CFormControlShape>(shape);
        break;
    case msoLine:
        made = std::make_shared<CLineShape>(shape);
        break;
    case msoLinkedPicture:
    case msoPicture:
        made = std::make_shared<CPictureShape>(shape);
        break;
    case msoPlaceholder:
        made = std::make_shared<CPlaceholderShape>(shape);
        break;
    case msoTextEffect:
        made = std::make_shared<CTextEffectShape>(shape);
        break;
    case msoMedia:
        made = std::make_shared<CMediaShape>(shape);
        break;
    case msoTextBox:
        made = std::make_shared<CTextBoxShape>(shape);
        break;
    case msoScriptAnchor:
        made = std::make_shared<CScriptAnchorShape>(shape);
        break;
    case msoTable:
        made = std::make_shared<CTableShape>(shape);
        break;
    case msoCanvas:
        made = std::make_shared<CCanvasShape>(shape);
        break;
    case msoDiagram:
        made = std::make_shared<CDiagramShape>(shape);
        break;
    case msoInk:
        made = std::make_shared<CInkShape>(shape);
        break;
    case msoInkComment:
        made = std::make_shared<CInkCommentShape>(shape);
        break;
    default:
        made = std::make_shared<CBasicShape>(shape);
        break;
    }
    made->SetContext(context);
    return made;
}

}  // namespace genswf
