// The handle, holder and context of a shape on the timeline path.

#include "genswf/shapes/ShapeHolder.h"

#include "genswf/animation/EffectExporter.h"
#include "genswf/fonts/FontManager.h"
#include "genswf/movie/Movie.h"
#include "genswf/ppt/PptShape.h"
#include "genswf/shapes/BasicShape.h"
#include "genswf/slides/Slide.h"
#include "genswf/slides/SlideBackground.h"

namespace genswf {

// --- Context ---------------------------------------------------------------------------------

std::shared_ptr<CShapeContext> CShapeContext::Create(CSlide* owner, int shapeIndex) {
    return std::make_shared<CShapeContext>(owner, shapeIndex);
}

CMovie* CShapeContext::GetMovie() const { return m_owner->GetMovie(); }
std::wstring CShapeContext::GetWorkFolder() const { return GetMovie()->GetTempFolder(); }
float CShapeContext::GetSlideWidthInMovie() const { return GetMovie()->ScaleX(GetMovie()->GetSlideWidth()); }
float CShapeContext::GetSlideHeightInMovie() const { return GetMovie()->ScaleY(GetMovie()->GetSlideHeight()); }
float CShapeContext::ToMovieX(float x) const { return GetMovie()->ScaleX(x); }
float CShapeContext::ToMovieY(float y) const { return GetMovie()->ScaleY(y); }

std::shared_ptr<CEffectExporterFactory> CShapeContext::GetEffectExporterFactory() const {
    return GetMovie()->GetEffectExporterFactory();
}

std::shared_ptr<CFontManager> CShapeContext::GetFontManager() const { return GetMovie()->GetFontManager(); }

COLORREF CShapeContext::GetFallbackColor() const {
    const auto& background = m_owner->GetBackground();
    return background ? background->GetBackgroundColor() : 0;
}

// --- Holder and handle -----------------------------------------------------------------------

CShapeHolder::CShapeHolder(CSlide* owner, PowerPoint::Shape* shape, int shapeIndex)
    : m_owner(owner), m_shapeIndex(shapeIndex) {
    m_context = CShapeContext::Create(owner, shapeIndex);
    m_basicShape = CreateBasicShape(CreatePptShape(shape), m_context);
}

CShapeHolder::~CShapeHolder() = default;

bool CBasicShapeHandle::IsVisible() { return m_holder->GetBasicShape()->IsVisible(); }
void CBasicShapeHandle::Export() { m_holder->GetBasicShape()->Export(); }
LONG CBasicShapeHandle::GetZOrderPosition() { return m_holder->GetBasicShape()->GetZOrderPosition(); }

std::shared_ptr<CObjectsCollection> CBasicShapeHandle::GetObjectsCollection() {
    return m_holder->GetBasicShape()->GetObjectsCollection();
}

std::shared_ptr<CLayersCollection> CBasicShapeHandle::GetLayersCollection() {
    return m_holder->GetBasicShape()->GetLayersCollection();
}

void CBasicShapeHandle::ExportWithEffect(const std::shared_ptr<CTimeLineEffect>& effect) {
    m_holder->GetBasicShape()->ExportWithEffect(effect);
}

std::wstring CBasicShapeHandle::GetName() { return m_holder->GetBasicShape()->GetName(); }
bool CBasicShapeHandle::HasTextFrame() { return m_holder->GetBasicShape()->HasTextFrame(); }

std::shared_ptr<CBasicShapeHandle> CreateBasicShapeHandle(CSlide* owner, PowerPoint::Shape* shape, int shapeIndex) {
    return std::make_shared<CBasicShapeHandle>(std::make_shared<CShapeHolder>(owner, shape, shapeIndex));
}

}  // namespace genswf
