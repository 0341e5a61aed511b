// The per-shape exporter of the animation model without a timeline.
//
// Skeleton: the shape exporter is not built yet.

#include "genswf/shapes/Shape.h"

#include "genswf/animation/EntryEffect.h"
#include "genswf/movie/MovieFrames.h"
#include "genswf/ppt/PptAnimationSettings.h"
#include "genswf/ppt/PptShape.h"
#include "genswf/shapes/EmbeddedMovie.h"
#include "genswf/slides/Slide.h"
#include "genswf/slides/SlideActions.h"
#include "genswf/text/ShapeTextIndex.h"
#include "genswf/utils/Exceptions.h"

namespace genswf {

namespace {

[[noreturn]] void NotBuilt(const wchar_t* what) { throw CBaseException(0, std::wstring(what) + L" is not built yet"); }

}  // namespace

// --- Parsed-shape link -----------------------------------------------------------------------

CParsedShapeLink::CParsedShapeLink(std::shared_ptr<CPptShape> shape, CSlide* slide, int index, CShape* owner)
    : m_shape(std::move(shape)), m_slide(slide), m_index(index), m_owner(owner) {}

CParsedShapeLink::~CParsedShapeLink() = default;

std::shared_ptr<libpptparser::CShape> CParsedShapeLink::GetParsedShape() { return m_parsedShape; }
bool CParsedShapeLink::HasTextFrame() { return false; }
std::shared_ptr<libpptparser::CTextFrame> CParsedShapeLink::GetTextFrame() { return nullptr; }
float CParsedShapeLink::GetTextRotation() { return 0.0f; }

// --- Shape -----------------------------------------------------------------------------------

std::shared_ptr<CShape> CShape::Create(PowerPoint::Shape* shape, CSlide* slide, int index) {
    return std::make_shared<CShape>(shape, slide, index);
}

CShape::CShape(PowerPoint::Shape* shape, CSlide* slide, int index)
    : m_parsedLink(std::make_unique<CParsedShapeLink>(CreatePptShape(shape), slide, index, this)),
      m_index(index),
      m_slide(slide),
      m_pptShape(CreatePptShape(shape)),
      m_movie(slide ? slide->GetMovie() : nullptr),
      m_actionSettings(CreateActionSettingList()) {
    NotBuilt(L"CShape");
}

CShape::~CShape() = default;

void CShape::SavePictures(const std::wstring& /*folder*/) { NotBuilt(L"CShape::SavePictures"); }
void CShape::ExportDefinitions(const XmlElementPtr& /*parent*/) { NotBuilt(L"CShape::ExportDefinitions"); }
void CShape::ExportBuild(float& /*clock*/, float& /*lastDuration*/) { NotBuilt(L"CShape::ExportBuild"); }

float CShape::PlacePicture(float /*time*/, const CRefPtr<CTransitionEffect>& /*effect*/, bool /*pending*/) {
    NotBuilt(L"CShape::PlacePicture");
}

float CShape::PlaceText(float /*clock*/, const CRefPtr<CTransitionEffect>& /*effect*/, float /*advance*/,
                        bool /*sameStep*/) {
    NotBuilt(L"CShape::PlaceText");
}

void CShape::HideAll(float /*time*/) { NotBuilt(L"CShape::HideAll"); }
void CShape::DimAll(float /*time*/) { NotBuilt(L"CShape::DimAll"); }
void CShape::WriteFrames() { NotBuilt(L"CShape::WriteFrames"); }
void CShape::WriteLayer(const XmlElementPtr& /*parent*/, int /*frameOffset*/) { NotBuilt(L"CShape::WriteLayer"); }

PowerPoint::Shape* CShape::GetShapeInterface() const { NotBuilt(L"CShape::GetShapeInterface"); }
COLORREF CShape::GetBaseColor() const { NotBuilt(L"CShape::GetBaseColor"); }
COLORREF CShape::GetLightColor() const { NotBuilt(L"CShape::GetLightColor"); }
COLORREF CShape::GetDarkColor() const { NotBuilt(L"CShape::GetDarkColor"); }
COLORREF CShape::GetContrastColor(COLORREF /*color*/) const { NotBuilt(L"CShape::GetContrastColor"); }
std::wstring CShape::GetImageId() const { NotBuilt(L"CShape::GetImageId"); }
std::wstring CShape::GetDimImageId() const { NotBuilt(L"CShape::GetDimImageId"); }
Rect CShape::GetRotatedBounds() const { NotBuilt(L"CShape::GetRotatedBounds"); }
Rect CShape::GetRotatedPictureBounds() const { NotBuilt(L"CShape::GetRotatedPictureBounds"); }
bool CShape::IsTextAnimatedWithShape() const { NotBuilt(L"CShape::IsTextAnimatedWithShape"); }

}  // namespace genswf
