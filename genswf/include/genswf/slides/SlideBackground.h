#pragma once
// A slide's background: rendered through a copy of the slide, registered in the images
// collection so that slides of one design share one picture, and what differs (headers and
// footers) cut out as small difference images. It becomes the slide's lowest layer.

#include "genswf/movie/MovieTypes.h"
#include "genswf/utils/Utils.h"

#include <memory>
#include <string>

namespace genswf {

class CFrameTrack;
class CMovie;
class CPptSlide;
class CSlide;

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
};

}  // namespace genswf
