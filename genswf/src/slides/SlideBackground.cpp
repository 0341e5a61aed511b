// A slide's shared background: rendered through a copy of the slide with and without headers
// and footers, the base registered so that slides of one design share it, and what differs cut
// out as small difference images placed over the base.

#include "genswf/slides/SlideBackground.h"

#include "genswf/animation/EffectRegistry.h"
#include "genswf/movie/ExportSettings.h"
#include "genswf/movie/Movie.h"
#include "genswf/ppt/PptHeadersFooters.h"
#include "genswf/ppt/PptShapes.h"
#include "genswf/ppt/PptSlide.h"
#include "genswf/slides/Slide.h"
#include "genswf/utils/Exceptions.h"
#include "libimageanalyzer/ImageComparer.h"
#include "libimageanalyzer/ImageException.h"

#include "base/files/WholeFile.h"

#include <algorithm>
#include <cstdio>
#include <system_error>

namespace genswf {

namespace {

// Differing pixels this close to a region join it: the digits of one footer make one picture.
constexpr std::uint32_t kRegionDistance = 10;

// Larger files are not pictures of a slide; the reader of pictures refuses them too.
constexpr std::uint64_t kMaxPictureBytes = 256ull * 1024 * 1024;

// Deletes a copy of the slide when the work on it ends, also when the work fails, so no copy
// stays in the user's presentation.
class CSlideCopyGuard {
public:
    explicit CSlideCopyGuard(CPptSlide* copy) : m_copy(copy) {}
    ~CSlideCopyGuard() {
        if (!m_copy) return;
        try {
            m_copy->Delete();
        } catch (...) {
            // Already failing: the first failure is the one reported.
        }
    }
    CSlideCopyGuard(const CSlideCopyGuard&) = delete;
    CSlideCopyGuard& operator=(const CSlideCopyGuard&) = delete;

    // Deletes the copy now; a failure is reported and not tried again.
    void Delete() {
        CPptSlide* copy = m_copy;
        m_copy = nullptr;
        copy->Delete();
    }
    // Someone else deletes the copy from here on.
    void HandOver() { m_copy = nullptr; }

private:
    CPptSlide* m_copy;
};

// A picture the application said it wrote must be there; it is read as the comparison takes it
// (RGBA, every pixel clear).
std::shared_ptr<libimageanalyzer::CImageBuffer> ReadPicture(const std::wstring& path) {
    std::shared_ptr<libimageanalyzer::CImageBuffer> picture = libimageanalyzer::CImageBuffer::Create();
    picture->ReadPngAsRgba(path, 0);
    // The reader leaves the buffer empty when the file cannot be opened.
    if (picture->GetWidth() == 0 || picture->GetHeight() == 0)
        throw libimageanalyzer::CBaseException(L"Can not read file: " + path);
    return picture;
}

std::vector<std::uint8_t> ReadBytes(const std::wstring& path) {
    std::vector<std::uint8_t> bytes;
    if (base::files::ReadWholeFile(NativePath(path), bytes, kMaxPictureBytes) != 0)
        throw libimageanalyzer::CBaseException(L"Can not read file: " + path);
    return bytes;
}

bool SameBytes(const std::wstring& a, const std::wstring& b) { return ReadBytes(a) == ReadBytes(b); }

void RequireFile(const std::wstring& path) {
    if (!FileExists(path)) throw libimageanalyzer::CBaseException(L"Can not read file: " + path);
}

// Hides one header or footer element. One that the slide does not have, or that refuses to be
// hidden, is nothing to hide.
void HideElement(CMovie* movie, CPptHeadersFooters& headersFooters,
                 std::shared_ptr<CPptHeaderFooter> (CPptHeadersFooters::*get)(), const wchar_t* name) {
    try {
        (headersFooters.*get)()->SetVisible(PowerPoint::msoFalse);
    } catch (const CPPTException&) {
        movie->Log(std::wstring(L"No ") + name + L" to hide");
    }
}

}  // namespace

std::shared_ptr<CSlideBackground> CSlideBackground::Create(CSlide* slide) {
    return std::make_shared<CSlideBackground>(slide);
}

CSlideBackground::CSlideBackground(CSlide* slide)
    : m_track(CreateFrameTrack(slide->GetMovie())), m_slide(slide), m_movie(slide->GetMovie()) {
    CComPtr<PowerPoint::_Slide> pptSlide;
    pptSlide.Attach(slide->GetSlideInterface());
    CComPtr<PowerPoint::ShapeRange> background;
    if (!pptSlide || pptSlide->get_Background(&background) < 0 || !background) THROW_PPT_EXCEPTION();
    CComPtr<PowerPoint::FillFormat> fill;
    if (background->get_Fill(&fill) < 0 || !fill) THROW_PPT_EXCEPTION();
    CComPtr<PowerPoint::ColorFormat> color;
    if (fill->get_ForeColor(&color) < 0 || !color) THROW_PPT_EXCEPTION();
    ULONG rgb = 0;
    CHECK_PPT_HR(color->get_RGB(&rgb));
    m_backgroundColor = static_cast<COLORREF>(rgb & 0xFFFFFFu);
}

CSlideBackground::~CSlideBackground() = default;

CBackgroundComparisons::CBackgroundComparisons(unsigned threads) : m_threads(threads) {}

CBackgroundComparisons::~CBackgroundComparisons() {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_stopping = true;
        m_queue.clear();
    }
    m_ready.notify_all();
    for (std::thread& worker : m_workers) worker.join();
}

bool CBackgroundComparisons::Post(std::function<void()> work) {
    std::unique_lock<std::mutex> lock(m_mutex);
    // Workers are started as the work comes, up to the number asked for.
    if (m_workers.size() < m_threads && m_queue.size() >= m_workers.size()) {
        try {
            m_workers.emplace_back([this] { Work(); });
        } catch (const std::system_error&) {
            m_threads = static_cast<unsigned>(m_workers.size());  // no thread to spare
        }
    }
    if (m_workers.empty()) return false;
    m_queue.push_back(std::move(work));
    lock.unlock();
    m_ready.notify_one();
    return true;
}

void CBackgroundComparisons::Work() {
    for (;;) {
        std::function<void()> work;
        {
            std::unique_lock<std::mutex> lock(m_mutex);
            m_ready.wait(lock, [this] { return m_stopping || !m_queue.empty(); });
            if (m_queue.empty()) return;
            work = std::move(m_queue.front());
            m_queue.pop_front();
        }
        work();  // a packaged task: what it throws goes to its future
    }
}

template <class R>
std::future<R> CBackgroundComparisons::Run(std::function<R()> work) {
    auto task = std::make_shared<std::packaged_task<R()>>(std::move(work));
    std::future<R> result = task->get_future();
    if (Post([task] { (*task)(); })) return result;
    // No worker: the work runs when its result is asked for.
    return std::async(std::launch::deferred, [task, result = std::move(result)]() mutable {
        (*task)();
        return result.get();
    });
}

std::future<CBackgroundComparisons::Result> CBackgroundComparisons::Compare(const std::wstring& baseId,
                                                                            const std::wstring& baseFile,
                                                                            const std::wstring& withTitlesFile,
                                                                            std::vector<std::wstring> spent) {
    // The base is queued before the comparisons that wait for it, so a worker never waits for
    // work that no one has taken.
    if (baseId != m_baseId || !m_base.valid()) {
        m_baseId = baseId;
        m_base = Run<Base>([baseFile] { return Base(ReadPicture(baseFile)); }).share();
    }
    return Run<Result>([base = m_base, baseFile, withTitlesFile, spent = std::move(spent)] {
        auto comparer = std::make_shared<libimageanalyzer::CImageComparer>();
        // Equal files hold equal pixels: a slide without headers and footers has nothing to cut out.
        // The base is shared by the comparisons of its design and stays as it is.
        if (!SameBytes(baseFile, withTitlesFile))
            comparer->CompareToBase(*base.get(), ReadPicture(withTitlesFile), kRegionDistance);
        // The base may have been read from one of the spent files.
        base.wait();
        for (const std::wstring& file : spent) std::remove(NativePath(file).c_str());
        return comparer;
    });
}

void CSlideBackground::SaveSlideBackground() {
    CBackgroundComparisons now(0);
    StartSlideBackground(now);
    FinishSlideBackground();
}

void CSlideBackground::StartSlideBackground(CBackgroundComparisons& comparisons) {
    const int n = m_slide->GetExportIndex();
    const std::wstring folder = IncludeTrailingBackslash(m_movie->GetTempFolder());
    m_baseName = L"bg" + IntToWString(n);
    const std::wstring withTitlesFile = folder + m_baseName + L"_titles.png";
    m_baseFile = folder + m_baseName + L".png";

    // Asked before the copy exists, so a missing registry leaves nothing behind.
    CEffectRegistry::GetRequiredGlobal();
    CComPtr<PowerPoint::_Slide> pptSlide;
    pptSlide.Attach(m_slide->GetSlideInterface());
    std::shared_ptr<CPptSlide> original = CreatePptSlide(pptSlide);
    const LONG position = original->GetSlideIndex();

    m_movie->Log(L"Duplicate slide");
    {
        std::shared_ptr<CPptSlide> copy = original->Duplicate();
        CSlideCopyGuard guard(copy.get());
        // In the original's place the copy draws the original's slide number; the original
        // follows it until the copy is deleted.
        copy->MoveTo(position);
        guard.HandOver();
        SaveBackgroundImages(*copy, withTitlesFile, m_baseFile);
    }

    m_movie->Log(L"Adding base background image " + m_baseFile + L" to images collection");
    m_baseId = m_movie->AddImage(m_baseFile, m_baseName);
    m_movie->Log(L"existing BgId=" + m_baseId);
    // The picture with headers and footers, and a base that is a copy of one registered before,
    // are not part of the movie: only the comparison reads them.
    std::vector<std::wstring> spent;
    const std::shared_ptr<CExportSettings>& settings = m_movie->GetExportSettings();
    if (settings && settings->GetRemoveSpentPictures()) {
        spent.push_back(withTitlesFile);
        if (m_baseId != m_baseName) spent.push_back(m_baseFile);
    }
    m_comparison = comparisons.Compare(m_baseId, m_baseFile, withTitlesFile, std::move(spent));
}

void CSlideBackground::FinishSlideBackground() {
    if (!m_comparison.valid())
        throw CBaseException(0, LocatedMessage(L"The background was not rendered", __FILE__, __LINE__));
    const CBackgroundComparisons::Result comparer = m_comparison.get();

    if (m_baseId == m_baseName) {
        m_movie->Log(L"Creating new base image");
        std::shared_ptr<CImageObject> image =
            CreateImageObject(m_movie, m_baseFile, 0.0f, 0.0f, static_cast<float>(m_movie->GetMovieWidth()),
                              static_cast<float>(m_movie->GetMovieHeight()));
        image->SetId(m_baseId);
        const std::shared_ptr<CExportSettings>& settings = m_movie->GetExportSettings();
        image->smoothing = settings ? settings->GetImageSmoothing() : false;
        image->jpegQuality = m_movie->GetJpegQuality();
        image->Write(m_movie->GetObjectsElement());
    }
    m_track->AddShow(0, m_baseId, CMatrix());

    const std::wstring folder = IncludeTrailingBackslash(m_movie->GetTempFolder());
    if (comparer->GetRegionCount() > 0) m_movie->Log(L"Saving background differences");
    for (std::size_t i = 0; i < comparer->GetRegionCount(); ++i) {
        const std::shared_ptr<libimageanalyzer::CImageRegion>& region = comparer->GetRegion(i);
        // The region's picture carries a one-pixel transparent border; placing it one pixel up
        // and left lays its pixels exactly over the base.
        std::shared_ptr<CImageObject> image =
            CreateImageObject(m_movie, std::wstring(), static_cast<float>(region->GetLeft() - 1),
                              static_cast<float>(region->GetTop() - 1), 0.0f, 0.0f);
        const std::wstring file = folder + image->GetId() + L".png";
        m_movie->Log(L"Saving difference image " + IntToWString(region->GetRight() - region->GetLeft()) + L" x " +
                     IntToWString(region->GetBottom() - region->GetTop()) + L" to file: " + file);
        region->SavePng(file);
        image->SetSrc(file);
        const std::wstring id = m_movie->AddImage(file, image->GetId());
        if (id == image->GetId()) image->Write(m_movie->GetObjectsElement());
        m_track->AddShow(0, id, CMatrix());
    }

    m_movie->Log(L"Slide background is saved");
    m_movie->Log(std::wstring());
}

void CSlideBackground::SaveBackgroundImages(CPptSlide& copy, const std::wstring& withTitlesFile,
                                            const std::wstring& baseFile) {
    CSlideCopyGuard guard(&copy);
    m_movie->Log(L"Saving slide background images");
    m_movie->Log(L"File title with background: " + withTitlesFile);
    m_movie->Log(L"File title without background: " + baseFile);

    std::shared_ptr<CPptShapes> shapes = copy.GetShapes();
    if (shapes->GetCount() > 0) {
        m_movie->Log(L"Getting shape range");
        VARIANT all;
        VariantInit(&all);
        std::shared_ptr<CPptShapeRange> range = shapes->Range(all);
        if (!range) THROW_PPT_EXCEPTION();
        if (CEffectRegistry::GetRequiredGlobal()->IsVersion9()) {
            m_movie->Log(L"Deleting shape range");
            range->Delete();
        } else {
            m_movie->Log(L"Hiding shape range");
            range->SetVisible(PowerPoint::msoFalse);
        }
    }

    const LONG width = static_cast<LONG>(m_movie->GetMovieWidth());
    const LONG height = static_cast<LONG>(m_movie->GetMovieHeight());
    m_movie->Log(L"Exporting slide background with titles");
    copy.Export(withTitlesFile, L"png", width, height);
    RequireFile(withTitlesFile);

    m_movie->Log(L"Hiding titles");
    std::shared_ptr<CPptHeadersFooters> headersFooters;
    try {
        headersFooters = copy.GetHeadersFooters();
    } catch (const CPPTException&) {
        m_movie->Log(L"No headers and footers to hide");
    }
    if (headersFooters) {
        HideElement(m_movie, *headersFooters, &CPptHeadersFooters::GetFooter, L"footer");
        HideElement(m_movie, *headersFooters, &CPptHeadersFooters::GetHeader, L"header");
        HideElement(m_movie, *headersFooters, &CPptHeadersFooters::GetDateAndTime, L"date and time");
        HideElement(m_movie, *headersFooters, &CPptHeadersFooters::GetSlideNumber, L"slide number");
    }

    m_movie->Log(L"Exporting slide background without titles");
    copy.Export(baseFile, L"png", width, height);
    RequireFile(baseFile);

    m_movie->Log(L"Slide background images are saved");
    guard.Delete();
}

void CSlideBackground::WriteFrames(const XmlElementPtr& layersElement, int offset) {
    if (!layersElement)
        throw CBaseException(0, LocatedMessage(L"The background needs the slide's layers", __FILE__, __LINE__));
    std::shared_ptr<CFrameList> frames = CreateFrameList(m_movie);
    frames->Add(m_track);
    frames->Write(m_movie->InsertLayerFirst(layersElement), static_cast<std::uint32_t>(std::max(offset, 0)));
}

}  // namespace genswf
