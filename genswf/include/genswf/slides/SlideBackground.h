#pragma once
// A slide's background: rendered through a copy of the slide, registered in the images
// collection so that slides of one design share one picture, and what differs (headers and
// footers) cut out as small difference images. It becomes the slide's lowest layer.

#include "genswf/movie/MovieTypes.h"
#include "genswf/utils/Utils.h"

#include <condition_variable>
#include <deque>
#include <functional>
#include <future>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace libimageanalyzer {
class CImageBuffer;
class CImageComparer;
}  // namespace libimageanalyzer

namespace genswf {

class CFrameTrack;
class CMovie;
class CPptSlide;
class CSlide;

// Compares each slide's two background pictures: on `threads` workers of its own while the
// next slides are drawn, or, without threads, when the result is asked for. The base picture of
// a design is decoded once for all its slides that follow one another. Comparisons still waiting
// when it goes are dropped; those running are finished first.
class CBackgroundComparisons {
public:
    using Result = std::shared_ptr<libimageanalyzer::CImageComparer>;

    explicit CBackgroundComparisons(unsigned threads);
    ~CBackgroundComparisons();
    CBackgroundComparisons(const CBackgroundComparisons&) = delete;
    CBackgroundComparisons& operator=(const CBackgroundComparisons&) = delete;

    // The regions where withTitlesFile differs from baseFile, the base registered as baseId; the
    // spent files are removed once the comparison has read them. The work holds no reference to
    // the movie: it may run on while the movie fails.
    std::future<Result> Compare(const std::wstring& baseId, const std::wstring& baseFile,
                                const std::wstring& withTitlesFile, std::vector<std::wstring> spent = {});

private:
    using Base = std::shared_ptr<const libimageanalyzer::CImageBuffer>;
    // Queues the work for a worker; false when there is none.
    bool Post(std::function<void()> work);
    // The work's result: from a worker, or, without one, worked out when it is asked for.
    template <class R>
    std::future<R> Run(std::function<R()> work);
    void Work();

    unsigned m_threads;
    std::vector<std::thread> m_workers;
    std::mutex m_mutex;
    std::condition_variable m_ready;
    std::deque<std::function<void()>> m_queue;
    bool m_stopping = false;
    std::wstring m_baseId;
    std::shared_future<Base> m_base;
};

class CSlideBackground {
public:
    static std::shared_ptr<CSlideBackground> Create(CSlide* slide);
    // Reads the colour of the slide's background fill.
    explicit CSlideBackground(CSlide* slide);
    virtual ~CSlideBackground();
    CSlideBackground(const CSlideBackground&) = delete;
    CSlideBackground& operator=(const CSlideBackground&) = delete;

    // Renders, registers, compares and places the background on the track.
    void SaveSlideBackground();
    // The same in two halves, so that the comparison runs while other slides are drawn: the
    // pictures rendered, the base registered and their comparison started ...
    void StartSlideBackground(CBackgroundComparisons& comparisons);
    // ... then the comparison waited for, the images written and placed on the track.
    void FinishSlideBackground();
    // The two pictures of the copy: with headers and footers, then without. The copy is deleted
    // at the end, also when a step fails.
    void SaveBackgroundImages(CPptSlide& copy, const std::wstring& withTitlesFile, const std::wstring& baseFile);
    // A new first "layer" of layersElement holding the track at the offset.
    void WriteFrames(const XmlElementPtr& layersElement, int offset);

    // Shows the background images; the slide's end command goes here too.
    const std::shared_ptr<CFrameTrack>& GetTrack() const { return m_track; }
    // 0x00BBGGRR of the background fill's foreground colour.
    COLORREF GetBackgroundColor() const { return m_backgroundColor; }

private:
    std::shared_ptr<CFrameTrack> m_track;
    CSlide* m_slide;
    CMovie* m_movie;
    COLORREF m_backgroundColor = 0;
    // Between the two halves.
    std::wstring m_baseName;
    std::wstring m_baseFile;
    std::wstring m_baseId;
    std::future<CBackgroundComparisons::Result> m_comparison;
};

}  // namespace genswf
