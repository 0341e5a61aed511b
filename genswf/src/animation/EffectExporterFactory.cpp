// The registry of effect exporters of one export.

#include "genswf/animation/EffectExporter.h"
#include "genswf/animation/EffectExporters.h"
#include "genswf/movie/Movie.h"

#include <string>

namespace genswf {

struct CEffectExporterFactory::Impl {
    std::map<std::int32_t, std::shared_ptr<CEffectExporterBase>> exporters;
    CEffectExporterFactory* handle = nullptr;
    std::shared_ptr<CEffectExporterBase> fallback;
    std::shared_ptr<CEffectExporterBase> embeddedMovie;
    CMovie* movie = nullptr;
};

CEffectExporterFactory::CEffectExporterFactory() : m_impl(std::make_unique<Impl>()) {}

CEffectExporterFactory::~CEffectExporterFactory() {
    m_impl->fallback.reset();
    m_impl->embeddedMovie.reset();
    m_impl->exporters.clear();
}

std::shared_ptr<CEffectExporterFactory> CEffectExporterFactory::Create(CMovie* movie) {
    std::shared_ptr<CEffectExporterFactory> factory(new CEffectExporterFactory());
    CEffectExporterFactory* self = factory.get();
    Impl& impl = *factory->m_impl;
    impl.handle = self;
    impl.fallback = std::make_shared<CStaticEffectExporter>(self);
    impl.embeddedMovie = std::make_shared<CEmbeddedMovieExporter>(self);
    impl.movie = movie;

    struct Entry {
        std::int32_t number;
        std::shared_ptr<CEffectExporterBase> (*create)(CEffectExporterFactory*);
    };
    static const Entry kTable[] = {
        {1, CreateAppearEffectExporter},   {2, CreateFlyEffectExporter},         {7, CreateCrawlEffectExporter},
        {6, CreateCircleEffectExporter},   {11, CreateFlashOnceEffectExporter},  {22, CreateWipeEffectExporter},
        {19, CreateSwivelEffectExporter},  {10, CreateFadeEffectExporter},       {9, CreateDissolveEffectExporter},
        {17, CreateStretchEffectExporter}, {12, CreatePeekEffectExporter},       {23, CreateZoomEffectExporter},
        {15, CreateSpiralEffectExporter},  {4, CreateBoxEffectExporter},         {16, CreateSplitEffectExporter},
        {3, CreateBlindsEffectExporter},   {14, CreateRandomBarsEffectExporter}, {5, CreateCheckerboardEffectExporter},
    };
    for (const Entry& entry : kTable) factory->Register(entry.number, entry.create(self));
    return factory;
}

void CEffectExporterFactory::Register(std::int32_t effectNumber, std::shared_ptr<CEffectExporterBase> exporter) {
    m_impl->exporters[effectNumber] = std::move(exporter);
}

std::shared_ptr<CEffectExporterBase> CEffectExporterFactory::GetExporter(
    const std::shared_ptr<CTimeLineEffect>& effect) const {
    if (!effect) return m_impl->fallback;
    auto it = m_impl->exporters.find(effect->GetEffectType());
    if (it == m_impl->exporters.end() || !it->second) {
        if (m_impl->movie)
            m_impl->movie->Warn(L"Animation effect " + std::to_wstring(effect->GetEffectType()) +
                                L" is not supported; its shapes appear without it.");
        return m_impl->fallback;
    }
    return it->second;
}

std::shared_ptr<CEffectExporterBase> CEffectExporterFactory::GetEmbeddedMovieExporter() const {
    return m_impl->embeddedMovie;
}

// Effects of a slide start at the movie's first frame.
std::uint32_t CEffectExporterFactory::GetStartFrame() const {
    const int start = m_impl->movie ? m_impl->movie->GetStartFrame() : 0;
    return start > 0 ? static_cast<std::uint32_t>(start) : 0u;
}

float CEffectExporterFactory::GetMovieWidth() const {
    return m_impl->movie ? static_cast<float>(m_impl->movie->GetMovieWidth()) : 0.0f;
}

float CEffectExporterFactory::GetMovieHeight() const {
    return m_impl->movie ? static_cast<float>(m_impl->movie->GetMovieHeight()) : 0.0f;
}

CMovie* CEffectExporterFactory::GetMovie() const { return m_impl->movie; }

}  // namespace genswf
