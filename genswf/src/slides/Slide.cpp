// The exporter of one slide.
//
// Skeleton: reads the slide's identity and writes an empty sprite, so the movie export can
// run before the slide's shapes, animations and background are exported.

#include "genswf/slides/Slide.h"

#include "genswf/animation/SlideTimeLineExport.h"
#include "genswf/movie/Movie.h"
#include "genswf/ppt/PptSlide.h"
#include "genswf/shapes/Shape.h"
#include "genswf/shapes/Shapes.h"
#include "genswf/slides/SlideActions.h"
#include "genswf/slides/SlideBackground.h"
#include "genswf/utils/Exceptions.h"

namespace genswf {

// --- Parsed-slide link -----------------------------------------------------------------------

CParsedSlideLink::CParsedSlideLink(CSlide* owner, std::shared_ptr<CPptSlide> slide, CMovie* movie, int exportIndex)
    : m_owner(owner), m_slide(std::move(slide)), m_movie(movie), m_exportIndex(exportIndex) {}

CParsedSlideLink::~CParsedSlideLink() = default;

std::shared_ptr<libpptparser::CSlide> CParsedSlideLink::GetParsedSlide() { return m_parsedSlide; }

std::shared_ptr<libpptparser::CShape> CParsedSlideLink::GetParsedShape(std::size_t /*i*/) { return nullptr; }

// --- Slide -----------------------------------------------------------------------------------

std::shared_ptr<CSlide> CSlide::Create(PowerPoint::_Slide* slide, CMovie* movie, int exportIndex) {
    return std::make_shared<CSlide>(slide, movie, exportIndex);
}

CSlide::CSlide(PowerPoint::_Slide* slide, CMovie* movie, int exportIndex)
    : m_parsedLink(std::make_unique<CParsedSlideLink>(this, CreatePptSlide(slide), movie, exportIndex)),
      m_slide(slide),
      m_movie(movie),
      m_exportIndex(exportIndex),
      m_progress(movie->GetProgressSink()),
      m_sequences(exportIndex),
      m_clickActions(CreateActionSettingList()),
      m_shapeClickActions(CreateActionSettingList()),
      m_textClickActions(CreateActionSettingList()) {
    if (!m_slide || m_slide->get_SlideID(&m_slideId) < 0) THROW_PPT_EXCEPTION();
    LONG index = 0;
    if (m_slide->get_SlideIndex(&index) < 0) THROW_PPT_EXCEPTION();
    m_slideIndex = static_cast<int>(index) - 1;
    m_transitionDuration = movie->GetAutomaticTransitionDelay();
    m_layers = CreateLayersCollection(movie);
    m_objects = CreateObjectsCollection(movie);
    m_styles = CreateStylesCollection(movie);
}

CSlide::~CSlide() = default;

void CSlide::ExportShapePictures(const std::wstring& /*folder*/) {}

void CSlide::Export(const XmlElementPtr& parent) {
    if (parent) {
        m_spriteName = L"sld" + IntToWString(m_exportIndex);
        m_spriteElement = m_movie->WriteSprite(parent, m_spriteName);
        m_objectsElement = m_movie->WriteObjects(m_spriteElement);
        m_layersElement = m_movie->WriteLayers(m_spriteElement);
    } else {
        m_objectsElement = m_movie->GetObjectsElement();
        m_layersElement = m_movie->GetLayersElement();
    }
}

void CSlide::SaveBackground() {}

float CSlide::GetSlideDuration() { return m_movie->GetAutomaticTransitionDelay(); }

void CSlide::ExportSlideFrame() { throw CBaseException(0, L"CSlide::ExportSlideFrame is not built yet"); }

void CSlide::ExportSlideAnimations2000() {}

std::shared_ptr<CActionSettingList> CSlide::FindShapeActionSettings(const std::wstring& /*name*/) const {
    return CreateActionSettingList();
}

std::shared_ptr<CActionSettingList> CSlide::FindTextActionSettings(const std::wstring& /*name*/, LONG /*start*/,
                                                                   LONG /*length*/) const {
    return CreateActionSettingList();
}

PowerPoint::_Slide* CSlide::GetSlideInterface() const {
    PowerPoint::_Slide* slide = m_slide.Get();
    if (slide) slide->AddRef();
    return slide;
}

void CSlide::CollectHyperlinks() {}

}  // namespace genswf
