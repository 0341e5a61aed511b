// The presentation side of the movie document: its settings, the movie tags of the
// presentation, the slides it exports and the accessors every exporter reads.

#include "genswf/animation/EffectExporter.h"
#include "genswf/animation/EffectRegistry.h"
#include "genswf/fonts/FontManager.h"
#include "genswf/movie/LogFile.h"
#include "genswf/movie/Movie.h"
#include "genswf/movie/MovieImpl.h"
#include "genswf/ppt/PptPresentation.h"
#include "genswf/slides/Slide.h"
#include "genswf/slides/SlideActions.h"
#include "genswf/utils/Exceptions.h"
#include "ppt/PptHelpers.h"

#include <cmath>

namespace genswf {

namespace {

// The presentation's Tags, AddRef'ed.
CComPtr<PowerPoint::Tags> PresentationTags(PowerPoint::_Presentation* presentation) {
    CComPtr<PowerPoint::Tags> tags;
    if (!presentation || presentation->get_Tags(&tags) < 0 || !tags) THROW_PPT_EXCEPTION();
    return tags;
}

std::wstring ReadTag(PowerPoint::_Presentation* presentation, const wchar_t* name, bool& found) {
    std::wstring value;
    found = GetTagValue(PresentationTags(presentation), name, value);
    return value;
}

bool ReadFlagTag(PowerPoint::_Presentation* presentation, const wchar_t* name) {
    bool found = false;
    const std::wstring value = ReadTag(presentation, name, found);
    return found && value == L"1";
}

std::wstring ReadTargetTag(PowerPoint::_Presentation* presentation, const wchar_t* name) {
    bool found = false;
    const std::wstring value = ReadTag(presentation, name, found);
    for (const wchar_t* target : {L"_blank", L"_self", L"_parent", L"_top"})
        if (found && value == target) return value;
    return L"_self";
}

std::wstring ReadUrlTag(PowerPoint::_Presentation* presentation, const wchar_t* name) {
    bool found = false;
    const std::wstring value = ReadTag(presentation, name, found);
    return found ? Trim(value) : std::wstring();
}

}  // namespace

// --- Tags ------------------------------------------------------------------------------------

bool GetTagValue(PowerPoint::Tags* tags, const std::wstring& name, std::wstring& value) {
    if (!tags) return false;
    LONG count = 0;
    if (tags->get_Count(&count) < 0) THROW_PPT_EXCEPTION();
    for (LONG i = 1; i <= count; ++i) {
        BSTR tagName = nullptr;
        if (tags->Name(i, &tagName) < 0) {
            SysFreeString(tagName);
            THROW_PPT_EXCEPTION();
        }
        if (TakeBstr(tagName) != name) continue;
        BSTR key = BstrFromWString(name);
        BSTR text = nullptr;
        const HRESULT hr = tags->Item(key, &text);
        SysFreeString(key);
        if (hr >= 0) {
            value = TakeBstr(text);
            return true;
        }
        SysFreeString(text);
    }
    return false;
}

bool ReadLoopedPlaybackTag(PowerPoint::_Presentation* presentation) {
    return ReadFlagTag(presentation, L"GENSWF_MOVIE_LOOPED_PLAYBACK");
}

bool ReadOnClickUrlEnabledTag(PowerPoint::_Presentation* presentation) {
    return ReadFlagTag(presentation, L"GENSWF_MOVIE_ONCLICK_URL_ENABLED");
}

std::wstring ReadOnClickUrlTargetTag(PowerPoint::_Presentation* presentation) {
    return ReadTargetTag(presentation, L"GENSWF_MOVIE_ONCLICK_URL_TARGET");
}

std::wstring ReadOnClickUrlTag(PowerPoint::_Presentation* presentation) {
    return ReadUrlTag(presentation, L"GENSWF_MOVIE_ONCLICK_URL");
}

bool ReadPresentationEndUrlEnabledTag(PowerPoint::_Presentation* presentation) {
    return ReadFlagTag(presentation, L"GENSWF_MOVIE_PRESENTATION_END_URL_ENABLED");
}

std::wstring ReadPresentationEndUrlTargetTag(PowerPoint::_Presentation* presentation) {
    return ReadTargetTag(presentation, L"GENSWF_MOVIE_PRESENTATION_END_URL_TARGET");
}

std::wstring ReadPresentationEndUrlTag(PowerPoint::_Presentation* presentation) {
    return ReadUrlTag(presentation, L"GENSWF_MOVIE_PRESENTATION_END_URL");
}

// --- Slides ----------------------------------------------------------------------------------

void CollectSlidesInIndexOrder(PowerPoint::SlideRange* range, std::vector<CComPtr<PowerPoint::_Slide>>& slides) {
    slides.clear();
    if (!range) return;
    LONG count = 0;
    if (range->get_Count(&count) < 0) THROW_PPT_EXCEPTION();
    std::vector<LONG> indexes;
    for (LONG i = 1; i <= count; ++i) {
        VARIANT position = PositionVariant(i);
        CComPtr<PowerPoint::_Slide> slide;
        const HRESULT hr = range->Item(position, &slide);
        VariantClear(&position);
        if (hr < 0 || !slide) THROW_PPT_EXCEPTION();
        LONG index = 0;
        if (slide->get_SlideIndex(&index) < 0) THROW_PPT_EXCEPTION();
        // A slide listed twice is one slide of the movie.
        bool listed = false;
        std::size_t at = indexes.size();
        for (std::size_t k = 0; k < indexes.size(); ++k) {
            if (indexes[k] == index) listed = true;
            if (indexes[k] > index && at == indexes.size()) at = k;
        }
        if (listed) continue;
        indexes.insert(indexes.begin() + static_cast<std::ptrdiff_t>(at), index);
        slides.insert(slides.begin() + static_cast<std::ptrdiff_t>(at), slide);
    }
}

// --- Construction ----------------------------------------------------------------------------

std::shared_ptr<CMovie> CMovie::Create(const std::shared_ptr<CExportSettings>& settings) {
    if (!settings) throw CBaseException(0, LocatedMessage(L"No export settings", __FILE__, __LINE__));
    return std::shared_ptr<CMovie>(new CMovie(settings));
}

CMovie::CMovie(std::shared_ptr<CExportSettings> settings)
    : m_impl(std::make_unique<CMovieImpl>(settings)),
      m_presentation(settings->GetPresentation()),
      m_settings(settings) {
    m_fontManager = CFontManager::Create(this);
    m_fontManager->SetUseCharacterStyleFonts(settings->GetUseCharacterStyleFonts());
    m_movieWidth = static_cast<unsigned>(std::max(0, settings->GetMovieWidth()));
    m_movieHeight = static_cast<unsigned>(std::max(0, settings->GetMovieHeight()));

    m_frameRate = 10;
    m_timeMargin = 2.0f;
    m_automaticTransitionDelay = settings->GetAutomaticSlideTransitionDelay();

    PowerPoint::_Presentation* presentation = m_presentation ? m_presentation->GetPresentationPtr() : nullptr;
    CComPtr<PowerPoint::_Presentation> presentationHolder;
    presentationHolder.Attach(presentation);
    if (presentation) {
        m_onClickUrlEnabled = ReadOnClickUrlEnabledTag(presentation);
        m_onClickUrl = ReadOnClickUrlTag(presentation);
        m_onClickTarget = ReadOnClickUrlTargetTag(presentation);
        m_presentationEndUrlEnabled = ReadPresentationEndUrlEnabledTag(presentation);
        m_presentationEndUrl = ReadPresentationEndUrlTag(presentation);
        m_presentationEndTarget = ReadPresentationEndUrlTargetTag(presentation);
    }

    CComPtr<PowerPoint::_Application> application;
    if (m_presentation) application.Attach(m_presentation->GetApplication());
    CEffectRegistry::CreateGlobal(application);
    m_effectFactory = CEffectExporterFactory::Create(this);

    if (presentation) m_loopedPlayback = ReadLoopedPlaybackTag(presentation);

    m_progress = settings->GetProgressSink() ? settings->GetProgressSink() : &m_defaultProgress;
    m_presentationPath = settings->GetPresentationPath();

    m_progress->SetTask(TASK_COLLECTING_DATA);
    CComPtr<PowerPoint::SlideRange> range = settings->GetSlideRange();
    if (!range && presentation) {
        CComPtr<PowerPoint::Slides> slides;
        if (presentation->get_Slides(&slides) < 0 || !slides) THROW_PPT_EXCEPTION();
        LONG count = 0;
        if (slides->get_Count(&count) < 0) THROW_PPT_EXCEPTION();
        if (count > 0) {
            VARIANT all;
            VariantInit(&all);
            if (slides->Range(all, &range) < 0 || !range) THROW_PPT_EXCEPTION();
        }
    }
    if (range) {
        std::vector<CComPtr<PowerPoint::_Slide>> collected;
        CollectSlidesInIndexOrder(range, collected);
        const int n = static_cast<int>(collected.size());
        m_progress->SetSlideCount(n);
        Log(L"Slide Range count: " + IntToWString(n));
        Log(L"Collecting slides.");
        for (int i = 0; i < n; ++i) {
            m_progress->SetSlide(i);
            m_slides.push_back(CSlide::Create(collected[static_cast<std::size_t>(i)], this, i));
        }
        Log(L"Slides are constructed.");
    }

    m_firstSlidePosition = 0;
    m_lastSlidePosition = settings->GetLastSlidePosition();

    Log(L"Creating MSXML document");
    CreateDocument();
    CreateCollections();
}

std::shared_ptr<CMovie> CMovie::CreateEmpty() {
    std::shared_ptr<CMovie> movie(new CMovie());
    movie->CreateDocument();
    movie->CreateCollections();
    return movie;
}

CMovie::CMovie() = default;

CMovie::~CMovie() {
    // Slides and exporters hold plain pointers to this movie; they go first.
    m_effectFactory.reset();
    m_slides.clear();
}

// --- Accessors -------------------------------------------------------------------------------

float CMovie::GetSlideWidth() const { return m_settings ? m_settings->GetSlideWidth() : 720.0f; }
float CMovie::GetSlideHeight() const { return m_settings ? m_settings->GetSlideHeight() : 540.0f; }

float CMovie::ScaleX(float x) const {
    const float width = GetSlideWidth();
    // An empty slide has no scale; nothing may become infinite or NaN.
    if (!(width > 0.0f) || !std::isfinite(width)) return 0.0f;
    return x * static_cast<float>(m_movieWidth) / width;
}

float CMovie::ScaleY(float y) const {
    const float height = GetSlideHeight();
    if (!(height > 0.0f) || !std::isfinite(height)) return 0.0f;
    return y * static_cast<float>(m_movieHeight) / height;
}

std::wstring CMovie::GetTempFolder() const { return m_settings ? m_settings->GetTempFolder() : std::wstring(); }
int CMovie::GetJpegQuality() const { return m_settings ? m_settings->GetJpegQuality() : 0; }
int CMovie::GetMp3Quality() const { return m_settings ? m_settings->GetMp3Quality() : 0; }
int CMovie::GetStartFrame() const { return m_settings ? m_settings->GetStartFrame() : 0; }

int CMovie::GetSlideStartFrame(int i) const {
    const int framesPerSlide = m_settings ? m_settings->GetFramesPerSlide() : 1;
    const int firstFrame = m_settings ? m_settings->GetFirstSlideFrame() : 0;
    return framesPerSlide * i + firstFrame;
}

std::shared_ptr<CLogFile> CMovie::GetLogFile() const { return m_settings ? m_settings->GetLogFile() : nullptr; }

void CMovie::Log(const std::wstring& line) const {
    if (auto log = GetLogFile()) log->WriteLine(line);
}

void CMovie::Warn(const std::wstring& text) const {
    Log(L"Warning: " + text);
    if (m_progress) m_progress->AddWarning(text);
}

bool CMovie::IsObjectExportEnabled() const { return CEffectRegistry::GetRequiredGlobal()->HasTimeLine(); }

std::shared_ptr<CSlide> CMovie::GetSlide(std::size_t i) const { return i < m_slides.size() ? m_slides[i] : nullptr; }

std::wstring CMovie::AddImage(const std::wstring& file, const std::wstring& name) {
    if (!m_impl) throw CBaseException(0, LocatedMessage(L"No images collection", __FILE__, __LINE__));
    return m_impl->AddImage(file, name);
}

void CMovie::AddHyperlinkSource(const std::shared_ptr<CHyperlinkSource>& source) {
    if (source) m_hyperlinkSources.push_back(source);
}

}  // namespace genswf
