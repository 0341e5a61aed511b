// The basic-shape exporters of the timeline path.
//
// Skeleton: the exporters are not built yet.

#include "genswf/shapes/BasicShape.h"

#include "genswf/animation/Placement.h"
#include "genswf/movie/Movie.h"
#include "genswf/movie/MovieObjects.h"
#include "genswf/ppt/PptShape.h"
#include "genswf/shapes/EmbeddedMovie.h"
#include "genswf/shapes/ShapeHolder.h"
#include "genswf/text/TextFrameContent.h"
#include "genswf/utils/Exceptions.h"

namespace genswf {

namespace {

[[noreturn]] void NotBuilt(const wchar_t* what) { throw CBaseException(0, std::wstring(what) + L" is not built yet"); }

}  // namespace

// --- Parsed link, animation settings, animated object ----------------------------------------

CBasicShapeParsedLink::CBasicShapeParsedLink(CBasicShape* owner, std::shared_ptr<CPptShape> shape)
    : m_owner(owner), m_shape(std::move(shape)) {}
CBasicShapeParsedLink::~CBasicShapeParsedLink() = default;
std::shared_ptr<libpptparser::CShape> CBasicShapeParsedLink::GetParsedShape() { return m_parsedShape; }
std::shared_ptr<libpptparser::CTextFrame> CBasicShapeParsedLink::GetTextFrame() { return nullptr; }

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
    : m_parsedLink(std::make_unique<CBasicShapeParsedLink>(this, shape)), m_shape(std::move(shape)) {}

CBasicShape::~CBasicShape() = default;

float CBasicShape::GetHeight() { NotBuilt(L"CBasicShape::GetHeight"); }
float CBasicShape::GetWidth() { NotBuilt(L"CBasicShape::GetWidth"); }
float CBasicShape::GetTop() { NotBuilt(L"CBasicShape::GetTop"); }
float CBasicShape::GetLeft() { NotBuilt(L"CBasicShape::GetLeft"); }
bool CBasicShape::IsVisible() { NotBuilt(L"CBasicShape::IsVisible"); }
CMatrix CBasicShape::GetPlacement() { NotBuilt(L"CBasicShape::GetPlacement"); }
float CBasicShape::GetExportLeft() { return GetLeft(); }
float CBasicShape::GetExportTop() { return GetTop(); }
float CBasicShape::GetExportWidth() { return GetWidth(); }
float CBasicShape::GetExportHeight() { return GetHeight(); }

std::shared_ptr<CMovieObject> CBasicShape::ExportAsPicture(const std::shared_ptr<CPptShape>& shape) {
    return SaveShapeAsPicture(shape);
}

std::shared_ptr<CEffectExporterBase> CBasicShape::GetEffectExporter(const std::shared_ptr<CTimeLineEffect>& /*e*/) {
    NotBuilt(L"CBasicShape::GetEffectExporter");
}

void CBasicShape::ExportText(const std::shared_ptr<CTextExportRequest>& /*request*/) {
    NotBuilt(L"CBasicShape::ExportText");
}

void CBasicShape::ExportShape(const std::shared_ptr<CShapeExportRequest>& /*request*/) {
    NotBuilt(L"CBasicShape::ExportShape");
}

void CBasicShape::SetContext(const std::shared_ptr<CShapeContext>& context) { m_context = context; }
void CBasicShape::Export() { NotBuilt(L"CBasicShape::Export"); }

void CBasicShape::ExportWithEffect(const std::shared_ptr<CTimeLineEffect>& /*effect*/) {
    NotBuilt(L"CBasicShape::ExportWithEffect");
}

std::shared_ptr<CMovieObject> CBasicShape::SaveShapeAsPicture(const std::shared_ptr<CPptShape>& /*shape*/) {
    NotBuilt(L"CBasicShape::SaveShapeAsPicture");
}

std::shared_ptr<CMovieObject> CBasicShape::ExportAsWmf(const std::shared_ptr<CPptShape>& /*shape*/) {
    NotBuilt(L"CBasicShape::ExportAsWmf");
}

bool CBasicShape::HasTextFrame() { NotBuilt(L"CBasicShape::HasTextFrame"); }
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

std::shared_ptr<CTextFrameContent> CBasicShape::GetTextContent() { NotBuilt(L"CBasicShape::GetTextContent"); }

std::shared_ptr<CAnimatedObject> CBasicShape::GetAnimatedObject() {
    if (!m_animatedObject) m_animatedObject = std::make_shared<CBasicShapeAnimatedObject>(this);
    return m_animatedObject;
}

CMovie* CBasicShape::GetContextMovie() const { return m_context ? m_context->GetMovie() : nullptr; }
float CBasicShape::GetRotation() { NotBuilt(L"CBasicShape::GetRotation"); }
Rect CBasicShape::GetBounds() { NotBuilt(L"CBasicShape::GetBounds"); }

std::shared_ptr<CPlacement> CBasicShape::CreatePlacement(const std::shared_ptr<CShapeExportRequest>& /*request*/) {
    NotBuilt(L"CBasicShape::CreatePlacement");
}

float CBasicShape::GetCenterX() { NotBuilt(L"CBasicShape::GetCenterX"); }
float CBasicShape::GetCenterY() { NotBuilt(L"CBasicShape::GetCenterY"); }
float CBasicShape::GetTextRotation() { NotBuilt(L"CBasicShape::GetTextRotation"); }
COLORREF CBasicShape::GetLightColor() { NotBuilt(L"CBasicShape::GetLightColor"); }
COLORREF CBasicShape::GetDarkColor() { NotBuilt(L"CBasicShape::GetDarkColor"); }
COLORREF CBasicShape::GetBaseColor() { NotBuilt(L"CBasicShape::GetBaseColor"); }
COLORREF CBasicShape::GetContrastColor(COLORREF /*color*/) { NotBuilt(L"CBasicShape::GetContrastColor"); }
CMatrix CBasicShape::GetBasePlacement() { NotBuilt(L"CBasicShape::GetBasePlacement"); }

// --- Subclasses ------------------------------------------------------------------------------

CAutoShape::CAutoShape(std::shared_ptr<CPptShape> shape) : CBasicShape(std::move(shape)) {}
CAutoShape::~CAutoShape() = default;
float CAutoShape::GetHeight() { NotBuilt(L"CAutoShape::GetHeight"); }
float CAutoShape::GetWidth() { NotBuilt(L"CAutoShape::GetWidth"); }
float CAutoShape::GetTop() { NotBuilt(L"CAutoShape::GetTop"); }
float CAutoShape::GetLeft() { NotBuilt(L"CAutoShape::GetLeft"); }
std::shared_ptr<CMovieObject> CAutoShape::ExportAsPicture(const std::shared_ptr<CPptShape>& shape) {
    return ExportAsWmf(shape);
}
void CAutoShape::ComputeGeometry() { NotBuilt(L"CAutoShape::ComputeGeometry"); }
bool CAutoShape::IsCallout() { NotBuilt(L"CAutoShape::IsCallout"); }

COleObjectShape::COleObjectShape(std::shared_ptr<CPptShape> shape) : CBasicShape(std::move(shape)) {}
COleObjectShape::~COleObjectShape() = default;
CMatrix COleObjectShape::GetPlacement() { NotBuilt(L"COleObjectShape::GetPlacement"); }
std::shared_ptr<CMovieObject> COleObjectShape::ExportAsPicture(const std::shared_ptr<CPptShape>& /*shape*/) {
    NotBuilt(L"COleObjectShape::ExportAsPicture");
}
std::shared_ptr<CEffectExporterBase> COleObjectShape::GetEffectExporter(
    const std::shared_ptr<CTimeLineEffect>& /*effect*/) {
    NotBuilt(L"COleObjectShape::GetEffectExporter");
}
std::shared_ptr<CSwfContent> COleObjectShape::GetEmbeddedMovie() { NotBuilt(L"COleObjectShape::GetEmbeddedMovie"); }
bool COleObjectShape::IsListedObject() { NotBuilt(L"COleObjectShape::IsListedObject"); }

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

std::shared_ptr<CBasicShape> CreateBasicShape(const std::shared_ptr<CPptShape>& /*shape*/,
                                              const std::shared_ptr<CShapeContext>& /*context*/) {
    NotBuilt(L"CreateBasicShape");
}

}  // namespace genswf
