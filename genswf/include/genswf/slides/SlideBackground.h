#pragma once
// A slide's background: rendered through a copy of the slide, registered in the images
// collection so that slides of one design share one picture, and what differs (headers and
// footers) cut out as small difference images. It becomes the slide's lowest layer.

#include "genswf/movie/MovieTypes.h"
#include "genswf/utils/Utils.h"

#include <future>
#include <memory>
#include <string>

namespace libimageanalyzer {
class CImageBuffer;
class CImageComparer;
}  // namespace libimageanalyzer

namespace genswf {

class CFrameTrack;
class CMovie;
class CPptSlide;
class CSlide;

// Compares each slide's two background pictures, on threads of their own while the next slides
// are drawn when `threaded`, else when the result is asked for. The base picture of a design is
// decoded once for all its slides that follow one another.
class CBackgroundComparisons {
public:
    using Result = std::shared_ptr<libimageanalyzer::CImageComparer>;

    explicit CBackgroundComparisons(bool threaded);
    CBackgroundComparisons(const CBackgroundComparisons&) = delete;
    CBackgroundComparisons& operator=(const CBackgroundComparisons&) = delete;

    // The regions where withTitlesFile differs from baseFile, the base registered as baseId. The
    // work holds no reference to the movie: it may run on while the movie fails.
    std::future<Result> Compare(const std::wstring& baseId, const std::wstring& baseFile,
                                const std::wstring& withTitlesFile);

private:
    std::launch m_policy;
    std::wstring m_baseId;
    std::shared_future<std::shared_ptr<const libimageanalyzer::CImageBuffer>> m_base;
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
