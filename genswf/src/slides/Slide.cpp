// The exporter of one slide: what it reads of the slide when the movie collects it, its sprite,
// the end of its timeline and the button that moves a waiting slide on.

#include "genswf/slides/Slide.h"

#include "genswf/animation/SlideTimeLineExport.h"
#include "genswf/movie/ExportSettings.h"
#include "genswf/movie/Movie.h"
#include "genswf/movie/MovieImpl.h"
#include "genswf/ppt/PptActionSetting.h"
#include "genswf/ppt/PptHyperlinks.h"
#include "genswf/ppt/PptSlide.h"
#include "genswf/shapes/BasicShape.h"
#include "genswf/shapes/MediaProbe.h"
#include "genswf/shapes/Shape.h"
#include "genswf/shapes/ShapeHolder.h"
#include "genswf/shapes/Shapes.h"
#include "genswf/slides/SlideActions.h"
#include "genswf/slides/SlideBackground.h"
#include "genswf/utils/Exceptions.h"
#include "libpptparser/Presentation.h"
#include "ppt/PptHelpers.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numeric>

namespace genswf {

namespace {

// A sprite counts its frames in 16 bits; no slide may end beyond the last frame it can hold.
constexpr int kLastSpriteFrame = 65534;

// Points truncated toward zero; nothing that is not a number becomes one.
int TruncatePoints(float value) {
    if (!std::isfinite(value)) return 0;
    const float limit = static_cast<float>(std::numeric_limits<int>::max() / 2);
    return static_cast<int>(std::max(-limit, std::min(limit, value)));
}

// Seconds as PowerPoint gives them; a negative or undefined time is none.
float NonNegativeSeconds(float seconds) { return seconds > 0.0f && std::isfinite(seconds) ? seconds : 0.0f; }

}  // namespace

// --- Parsed-slide link -----------------------------------------------------------------------

CParsedSlideLink::CParsedSlideLink(CSlide* owner, std::shared_ptr<CPptSlide> slide, CMovie* movie, int exportIndex)
    : m_owner(owner), m_slide(std::move(slide)), m_movie(movie), m_exportIndex(exportIndex) {}

CParsedSlideLink::~CParsedSlideLink() = default;

std::shared_ptr<libpptparser::CSlide> CParsedSlideLink::GetParsedSlide() {
    if (!m_parsedSlide) {
        CMovieImpl* impl = m_movie ? m_movie->GetMovieImpl() : nullptr;
        if (!impl) return nullptr;
        // The index read when the slide was collected: a background copy moves the slide later.
        const LONG index = m_owner ? m_owner->GetSlideIndex() : (m_slide ? m_slide->GetSlideIndex() : -1);
        if (index < 0) return nullptr;
        m_parsedSlide = impl->GetParsedSlide(static_cast<std::size_t>(index));
    }
    return m_parsedSlide;
}

std::shared_ptr<libpptparser::CShape> CParsedSlideLink::GetParsedShape(std::size_t i) {
    const std::shared_ptr<libpptparser::CSlide> slide = GetParsedSlide();
    const std::shared_ptr<libpptparser::CShapesCollection> shapes = slide ? slide->GetShapes() : nullptr;
    return shapes ? shapes->GetItem(i) : nullptr;
}

// --- Slide -----------------------------------------------------------------------------------

std::shared_ptr<CSlide> CSlide::Create(PowerPoint::_Slide* slide, CMovie* movie, int exportIndex) {
    return std::make_shared<CSlide>(slide, movie, exportIndex);
}

CSlide::CSlide(PowerPoint::_Slide* slide, CMovie* movie, int exportIndex)
    : m_parsedLink(std::make_unique<CParsedSlideLink>(this, CreatePptSlide(slide), movie, exportIndex)),
      m_movie(movie),
      m_exportIndex(exportIndex),
      m_sequences(exportIndex),
      m_clickActions(CreateActionSettingList()),
      m_shapeClickActions(CreateActionSettingList()),
      m_textClickActions(CreateActionSettingList()) {
    if (!m_movie) throw CBaseException(0, LocatedMessage(L"A slide needs its movie", __FILE__, __LINE__));
    m_progress = m_movie->GetProgressSink();
    m_movie->Log(L"CSlide() constructor is called. index=" + IntToWString(m_exportIndex));

    if (!slide) THROW_PPT_EXCEPTION();
    m_slide = slide;

    CComPtr<PowerPoint::ColorScheme> scheme;
    if (m_slide->get_ColorScheme(&scheme) < 0 || !scheme) THROW_PPT_EXCEPTION();
    CComPtr<PowerPoint::RGBColor> linkColor;
    if (scheme->Colors(PowerPoint::ppAccent2, &linkColor) < 0 || !linkColor) THROW_PPT_EXCEPTION();
    ULONG rgb = 0;
    CHECK_PPT_HR(linkColor->get_RGB(&rgb));
    m_fallbackColor = static_cast<COLORREF>(rgb & 0xFFFFFFu);
    CHECK_PPT_HR(m_slide->get_SlideID(&m_slideId));

    CComPtr<PowerPoint::SlideShowTransition> transition;
    if (m_slide->get_SlideShowTransition(&transition) < 0 || !transition) THROW_PPT_EXCEPTION();
    PowerPoint::MsoTriState advanceOnTime = 0;
    CHECK_PPT_HR(transition->get_AdvanceOnTime(&advanceOnTime));
    float advanceTime = 0.0f;
    CHECK_PPT_HR(transition->get_AdvanceTime(&advanceTime));
    m_advanceOnTime = advanceOnTime != 0;
    m_advanceTime = NonNegativeSeconds(advanceTime);
    const std::shared_ptr<CExportSettings>& settings = m_movie->GetExportSettings();
    const bool automaticTransition = settings && settings->GetAutomaticSlideTransition();
    if (m_advanceOnTime && !automaticTransition)
        m_transitionDuration = m_advanceTime;
    else
        m_transitionDuration = std::max(m_movie->GetAutomaticTransitionDelay(), m_advanceTime);

    if (m_slide->get_Shapes(&m_shapesInterface) < 0 || !m_shapesInterface) THROW_PPT_EXCEPTION();
    LONG count = 0;
    CHECK_PPT_HR(m_shapesInterface->get_Count(&count));
    m_shapeCount = std::max<LONG>(count, 0);
    LONG index = 0;
    CHECK_PPT_HR(m_slide->get_SlideIndex(&index));
    m_slideIndex = static_cast<int>(index) - 1;
    m_background = CSlideBackground::Create(this);
    if (m_progress) m_progress->SetShapeCount(m_shapeCount);

    CollectHyperlinks();

    // Made before the shapes, which may reach for them while they are made.
    m_layers = CreateLayersCollection(m_movie);
    m_objects = CreateObjectsCollection(m_movie);
    m_styles = CreateStylesCollection(m_movie);

    if (m_movie->IsObjectExportEnabled()) {
        m_shapeList = CShapes::Create(this);
        m_timeLineExport = CSlideTimeLineExport::Create(this);
    } else {
        CollectShapes();
    }

    CComPtr<PowerPoint::_Master> master;
    if (m_slide->get_Master(&master) < 0 || !master) THROW_PPT_EXCEPTION();
    float width = 0.0f, height = 0.0f;
    CHECK_PPT_HR(master->get_Width(&width));
    CHECK_PPT_HR(master->get_Height(&height));
    m_width = TruncatePoints(width);
    m_height = TruncatePoints(height);

    ReadSound();

    m_animations2000 = CSlideAnimations2000::Create(this);
}

CSlide::~CSlide() {
    // Reverse order of the fields: the exporters that point back at this slide go first.
    m_styles.reset();
    m_layers.reset();
    m_objects.reset();
    m_timeLineExport.reset();
    m_shapeList.reset();
    m_animations2000 = nullptr;
    m_shapesByZOrder.clear();
    m_shapes.clear();
    m_shapesInterface = nullptr;
    m_slide = nullptr;
    m_background.reset();
    m_parsedLink.reset();
}

void CSlide::CollectHyperlinks() {
    CComPtr<PowerPoint::Hyperlinks> hyperlinks;
    if (m_slide->get_Hyperlinks(&hyperlinks) < 0 || !hyperlinks) ThrowPptException(__FILE__, 71);
    CPptHyperlinks list(hyperlinks);

    for (LONG i = 0; i < list.GetCount(); ++i) {
        CComPtr<PowerPoint::Hyperlink> item;
        item.Attach(list.GetItemPtr(i));
        if (!item) THROW_PPT_EXCEPTION();
        CPptHyperlink hyperlink(item);
        CComPtr<PowerPoint::IDispatch> parent;
        parent.Attach(hyperlink.GetParent());
        CComPtr<PowerPoint::ActionSetting> actionSetting;
        actionSetting.Attach(QueryActionSetting(parent));
        if (!actionSetting) THROW_PPT_EXCEPTION();
        CPptActionSetting setting(actionSetting);
        std::shared_ptr<CActionSetting> record = CActionSetting::Create(setting);
        // Mouse-over actions have no part in the movie.
        if (record->mouseEvent != PowerPoint::ppMouseClick) continue;
        m_clickActions->Add(record);
        if (hyperlink.GetType() == PowerPoint::msoHyperlinkRange)
            m_textClickActions->Add(record);
        else if (hyperlink.GetType() == PowerPoint::msoHyperlinkShape)
            m_shapeClickActions->Add(record);
    }
}

void CSlide::CollectShapes() {
    m_shapes.reserve(static_cast<std::size_t>(m_shapeCount));
    for (int i = 0; i < m_shapeCount; ++i) {
        if (m_progress) m_progress->SetShape(i);
        VARIANT position = PositionVariant(i + 1);
        CComPtr<PowerPoint::Shape> item;
        const HRESULT hr = m_shapesInterface->Item(position, &item);
        VariantClear(&position);
        if (hr < 0 || !item) THROW_PPT_EXCEPTION();
        std::shared_ptr<CShape> shape = CShape::Create(item, this, i);
        m_shapes.push_back(shape);
        // A later shape of the same name takes the name over.
        m_shapeIndexByName[shape->GetName()] = i;
    }

    // Slot k holds the shape of z-order k. A z-order outside the slide puts its shape last, and
    // two shapes claiming one place keep the collection's order; no shape is lost.
    std::vector<std::size_t> order(m_shapes.size());
    std::iota(order.begin(), order.end(), std::size_t(0));
    const int count = static_cast<int>(m_shapes.size());
    auto place = [&](std::size_t i) {
        const int z = m_shapes[i]->GetZOrder();
        return z >= 0 && z < count ? z : count;
    };
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) { return place(a) < place(b); });
    m_shapesByZOrder.clear();
    m_shapesByZOrder.reserve(order.size());
    for (std::size_t i : order) m_shapesByZOrder.push_back(m_shapes[i]);
}

void CSlide::ReadSound() {
    CComPtr<PowerPoint::Tags> tags;
    if (m_slide->get_Tags(&tags) < 0 || !tags) THROW_PPT_EXCEPTION();
    std::wstring path;
    // A folder is no sound; only a file that is there is one.
    if (!GetTagValue(tags, L"GENSWF_SOUND_FULL_PATH", path) || path.empty() || !FileExists(path)) return;
    m_soundPath = path;
    m_soundId = m_movie->MakeSoundId();
}

// --- Export ----------------------------------------------------------------------------------

void CSlide::ExportShapePictures(const std::wstring& folder) {
    if (m_progress) m_progress->SetShapeCount(static_cast<int>(m_shapes.size()));
    for (std::size_t i = 0; i < m_shapes.size(); ++i) {
        if (m_progress) m_progress->SetShape(static_cast<int>(i));
        m_shapes[i]->SavePictures(folder);
    }
}

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

    if (m_timeLineExport) {
        m_timeLineExport->Export();
        m_objects->AddAll(m_timeLineExport->GetFrameItems());
        m_layers->AddAll(m_timeLineExport->GetLayer());
        ExportTimeLineEnd();
        ReleaseShapeText();
    } else {
        ExportSlideAnimations2000();
    }
}

void CSlide::ReleaseShapeText() {
    // The later passes (links, objects, backgrounds, the saved description) read the movie
    // objects, never the shapes' text, which is the largest part of a slide's memory.
    if (!m_shapeList) return;
    for (const std::shared_ptr<CBasicShapeHandle>& handle : m_shapeList->GetHandles()) {
        const std::shared_ptr<CShapeHolder>& holder = handle ? handle->GetHolder() : nullptr;
        if (holder && holder->GetBasicShape()) holder->GetBasicShape()->ReleaseTextContent();
    }
}

void CSlide::SaveBackground() {
    m_background->SaveSlideBackground();
    m_background->WriteFrames(m_layersElement, 0);
}

void CSlide::StartBackground(CBackgroundComparisons& comparisons) { m_background->StartSlideBackground(comparisons); }

void CSlide::FinishBackground() {
    m_background->FinishSlideBackground();
    m_background->WriteFrames(m_layersElement, 0);
}

float CSlide::GetSlideDuration() {
    const float animation = m_animations2000 ? m_animations2000->GetAnimationLength() : 0.0f;
    if (animation == 0.0f) {
        // With automatic transitions a slide that does not advance on its own keeps the user's
        // delay: the time stored with it is not in use and must not cut the slide short.
        const std::shared_ptr<CExportSettings>& settings = m_movie->GetExportSettings();
        if (!m_advanceOnTime && settings && settings->GetAutomaticSlideTransition()) return m_transitionDuration;
        return m_advanceTime > 0.0f ? m_advanceTime : m_movie->GetAutomaticTransitionDelay();
    }
    return std::max(animation + m_movie->GetTimeMargin(), m_transitionDuration);
}

void CSlide::ExportSlideFrame() {
    if (!m_objectsElement || !m_layersElement)
        throw CBaseException(0, LocatedMessage(L"The slide frame needs the slide's sprite", __FILE__, __LINE__));
    const std::wstring rect = m_movie->NewRectId();
    const std::wstring style = m_movie->NewStyleId();
    m_movie->WriteSolidFillStyle(m_movie->GetStylesElement(), style, 0, 0);
    // The slide fills the movie: the button covers it in movie units, whatever the slide's points.
    const XmlElementPtr rectangle =
        m_movie->WriteRectangle(m_objectsElement, rect, 0.0f, 0.0f, static_cast<float>(m_movie->GetMovieWidth()),
                                static_cast<float>(m_movie->GetMovieHeight()));
    m_movie->SetElementAttribute(rectangle, L"fillStyle", style);

    const std::wstring buttonId = m_movie->NewButtonId();
    const XmlElementPtr button = m_movie->WriteButton(m_objectsElement, buttonId, L"push", rect, rect, rect, rect);
    CreateActionSetTarget(m_movie, L"/")->Write(button);
    CreateActionGoToFrame(m_movie, m_movie->GetSlideStartFrame(m_exportIndex + 1))->Write(button);

    std::shared_ptr<CFrameList> frames = CreateFrameList(m_movie);
    frames->AddTrack()->AddShow(0, buttonId, CMatrix());
    frames->Write(m_movie->WriteLayer(m_layersElement), 0);
}

void CSlide::ExportSlideAnimations2000() {
    m_movie->Log(L"CSlide::ExportSlideAnimations2000() is called");
    // Written before the shapes' layers, so their linked buttons lie above it.
    if (m_frameButton || NeedsFrameButton()) ExportSlideFrame();

    if (m_progress) m_progress->SetShapeCount(static_cast<int>(m_shapesByZOrder.size()));
    for (std::size_t k = 0; k < m_shapesByZOrder.size(); ++k) {
        if (m_progress) m_progress->SetShape(static_cast<int>(k));
        if (m_shapesByZOrder[k]) m_shapesByZOrder[k]->ExportDefinitions(m_objectsElement);
    }

    std::shared_ptr<CFrameList> frames = CreateFrameList(m_movie);
    frames->Add(m_background->GetTrack());

    m_animations2000->Export();

    const bool byDuration = !m_movie->GetTimeMarginOff();
    const int frameCount = byDuration ? SecondsToFrames(GetSlideDuration())
                                      : std::min(std::max(m_sequences.GetLastFrame(), 0), kLastSpriteFrame);
    if (byDuration) ExportSlideSound(frameCount);

    for (const std::shared_ptr<CShape>& shape : m_shapesByZOrder) {
        const std::shared_ptr<CFrameList>& list = shape ? shape->GetFrameList() : nullptr;
        if (std::shared_ptr<CFrameTrack> latest = list ? list->GetLatestTrack() : nullptr) frames->Add(latest);
    }

    if (m_movie->GetTimeMarginOff() && !m_sequences.IsEmpty())
        m_sequences.Write(m_movie, m_movie->WriteLayer(m_layersElement), L"sequence_", L"_start", L"_end");

    std::uint32_t endFrame = static_cast<std::uint32_t>(frameCount);
    if (std::shared_ptr<CFrameTrack> latest = frames->GetLatestTrack())
        endFrame = std::max(endFrame, latest->GetLastFrame());
    WriteSlideEnd(endFrame);

    for (const std::shared_ptr<CShape>& shape : m_shapesByZOrder)
        if (shape) shape->WriteLayer(m_layersElement, 0);
}

void CSlide::ExportTimeLineEnd() {
    if (m_frameButton || NeedsFrameButton()) ExportSlideFrame();
    const int frameCount = SecondsToFrames(GetSlideDuration());
    ExportSlideSound(frameCount);

    std::uint32_t endFrame = static_cast<std::uint32_t>(frameCount);
    for (const std::shared_ptr<CLayer>& layer : m_layers->GetLayers()) {
        const std::shared_ptr<CFrameList>& list = layer ? layer->GetFrames() : nullptr;
        if (std::shared_ptr<CFrameTrack> latest = list ? list->GetLatestTrack() : nullptr)
            endFrame = std::max(endFrame, latest->GetLastFrame());
    }
    WriteSlideEnd(endFrame);
}

void CSlide::ExportSlideSound(int frameCount) {
    if (m_soundId.empty()) return;
    CMediaProbe probe;
    if (!FileExists(m_soundPath) || !probe.Open(m_soundPath)) {
        m_movie->Log(L"Slide sound " + m_soundPath + L" can not be played; the slide has no sound (error " +
                     UIntToWString(probe.GetLastError()) + L")");
        m_movie->Warn(L"Slide " + IntToWString(m_slideIndex + 1) + L": its sound cannot be played and is left out.");
        return;
    }
    probe.Close();

    const XmlElementPtr sound = m_movie->WriteSound(m_objectsElement, m_soundId, m_soundPath);
    if (m_movie->GetMp3Quality() != 0)
        m_movie->SetElementAttribute(sound, L"mp3Quality", IntToWString(m_movie->GetMp3Quality()));
    const int start = m_movie->GetStartFrame();
    std::shared_ptr<CFrameList> frames = CreateFrameList(m_movie);
    frames->AddTrack()->AddStartSoundStream(static_cast<std::uint32_t>(start + 1), m_soundId)->trimFrames =
        frameCount - start;
    frames->Write(m_movie->WriteLayer(m_layersElement), 0);
}

void CSlide::WriteSlideEnd(std::uint32_t endFrame) {
    endFrame = std::min(endFrame, static_cast<std::uint32_t>(kLastSpriteFrame));
    if (WritesEndCommand()) {
        CActionList& actions = m_background->GetTrack()->AddActions(endFrame)->GetActions();
        if (EndsWithJump()) {
            actions.AddSetTarget(L"..");
            actions.AddGoToFrame(m_movie->GetSlideStartFrame(m_exportIndex + 1));
        } else {
            actions.AddStop();
        }
    }

    // An empty address would only reload the page that holds the movie.
    if (m_movie->GetPresentationEndUrlEnabled() && IsLastExportedSlide() && !m_movie->GetPresentationEndUrl().empty()) {
        std::shared_ptr<CFrameList> frames = CreateFrameList(m_movie);
        frames->AddTrack()->AddActions(endFrame)->GetActions().AddGetURL(m_movie->GetPresentationEndUrl(),
                                                                         m_movie->GetPresentationEndTarget());
        frames->Write(m_movie->WriteLayer(m_layersElement), 0);
    }
}

bool CSlide::IsLastExportedSlide() const { return m_exportIndex + 1 >= static_cast<int>(m_movie->GetSlideCount()); }

bool CSlide::EndsWithJump() const {
    const std::shared_ptr<CExportSettings>& settings = m_movie->GetExportSettings();
    if (settings && settings->GetAutomaticSlideTransition()) return true;
    const bool last = IsLastExportedSlide();
    return (m_advanceOnTime && !last) || (last && m_movie->IsLooping());
}

bool CSlide::WritesEndCommand() const { return !(m_movie->GetTimeMarginOff() && m_shapeCount > 0); }

bool CSlide::NeedsFrameButton() const { return WritesEndCommand() && !EndsWithJump() && !IsLastExportedSlide(); }

int CSlide::SecondsToFrames(float seconds) const {
    const double frames = static_cast<double>(m_movie->GetFrameRate()) * static_cast<double>(seconds) + 0.5;
    if (!(frames > 0.0)) return 0;
    return frames >= kLastSpriteFrame ? kLastSpriteFrame : static_cast<int>(frames);
}

// --- Click actions ---------------------------------------------------------------------------

std::shared_ptr<CActionSettingList> CSlide::FindShapeActionSettings(const std::wstring& name) const {
    std::shared_ptr<CActionSettingList> found = CreateActionSettingList();
    if (!m_shapeClickActions) return found;
    for (const std::shared_ptr<CActionSetting>& setting : m_shapeClickActions->settings)
        if (setting && setting->shapeName == name) found->Add(setting);
    return found;
}

std::shared_ptr<CActionSettingList> CSlide::FindTextActionSettings(const std::wstring& name, LONG start,
                                                                   LONG length) const {
    std::shared_ptr<CActionSettingList> found = CreateActionSettingList();
    if (!m_textClickActions) return found;
    const long long askedStart = start;
    const long long askedEnd = askedStart + length;
    for (const std::shared_ptr<CActionSetting>& setting : m_textClickActions->settings) {
        if (!setting || setting->shapeName != name) continue;
        // The record counts characters from 1; callers count from 0.
        const long long s = static_cast<long long>(setting->textStart) - 1;
        const long long e = s + setting->textLength;
        if (s < askedEnd && e > askedStart) found->Add(setting);
    }
    return found;
}

PowerPoint::_Slide* CSlide::GetSlideInterface() const {
    PowerPoint::_Slide* slide = m_slide.Get();
    if (slide) slide->AddRef();
    return slide;
}

}  // namespace genswf
