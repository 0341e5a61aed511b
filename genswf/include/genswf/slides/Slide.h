#pragma once
// The exporter of one slide: what it reads of the slide when the movie collects it, and the
// passes the movie export drives it through (shape pictures, the slide sprite with its
// animations, the shared background).

#include "genswf/movie/MovieTypes.h"
#include "genswf/ppt/Ppt.h"
#include "genswf/slides/SlideAnimations2000.h"
#include "genswf/utils/Utils.h"
#include "powerpoint/model/PowerPoint.h"

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace libpptparser {
class CSlide;
class CShape;
}  // namespace libpptparser

namespace genswf {

class CActionSettingList;
class CMovie;
class CPptSlide;
class CProgressSink;
class CShape;
class CShapes;
class CSlide;
class CBackgroundComparisons;
class CSlideBackground;
class CSlideTimeLineExport;

// Ties a slide to its slide in the parsed copy of the presentation.
class CParsedSlideLink {
public:
    CParsedSlideLink(CSlide* owner, std::shared_ptr<CPptSlide> slide, CMovie* movie, int exportIndex);
    virtual ~CParsedSlideLink();
    CParsedSlideLink(const CParsedSlideLink&) = delete;
    CParsedSlideLink& operator=(const CParsedSlideLink&) = delete;

    // The parsed slide of the slide's SlideIndex, asked once; empty when the parsed copy has none.
    std::shared_ptr<libpptparser::CSlide> GetParsedSlide();
    // Shape i (0-based, drawing order) of the parsed slide; empty when there is none.
    std::shared_ptr<libpptparser::CShape> GetParsedShape(std::size_t i);

private:
    CSlide* m_owner;
    std::shared_ptr<CPptSlide> m_slide;
    CMovie* m_movie;
    int m_exportIndex;
    std::shared_ptr<libpptparser::CSlide> m_parsedSlide;
};

class CSlide {
public:
    static std::shared_ptr<CSlide> Create(PowerPoint::_Slide* slide, CMovie* movie, int exportIndex);
    CSlide(PowerPoint::_Slide* slide, CMovie* movie, int exportIndex);
    virtual ~CSlide();
    CSlide(const CSlide&) = delete;
    CSlide& operator=(const CSlide&) = delete;

    // --- Passes, in the order the movie export runs them ---
    // Every shape's picture files into the folder (the 2000 path only has shapes here).
    void ExportShapePictures(const std::wstring& folder);
    // The sprite "sld" + export index under parent (null: straight into the movie), its shapes
    // and animations.
    void Export(const XmlElementPtr& parent);
    // The shared background and the difference images, inserted as the slide's lowest layer.
    void SaveBackground();
    // The same in two halves, the pictures' comparison running in between (see CSlideBackground).
    void StartBackground(CBackgroundComparisons& comparisons);
    void FinishBackground();

    // Seconds the slide lasts.
    float GetSlideDuration();
    // A transparent button over the slide that moves the root movie to the next slide.
    void ExportSlideFrame();
    // The animations without the timeline (version 9).
    void ExportSlideAnimations2000();

    // Click actions of the whole shape named name, in list order.
    std::shared_ptr<CActionSettingList> FindShapeActionSettings(const std::wstring& name) const;
    // Click actions of the text of shape `name` whose range overlaps [start, start + length);
    // start is 0-based in the shape's text.
    std::shared_ptr<CActionSettingList> FindTextActionSettings(const std::wstring& name, LONG start, LONG length) const;

    // --- Read access for the shape, text, background and timeline exporters ---
    // AddRef'ed; the caller releases it.
    PowerPoint::_Slide* GetSlideInterface() const;
    // Not AddRef'ed.
    PowerPoint::Shapes* GetShapesInterface() const { return m_shapesInterface.Get(); }
    CMovie* GetMovie() const { return m_movie; }
    CParsedSlideLink& GetParsedLink() const { return *m_parsedLink; }
    const std::shared_ptr<CSlideBackground>& GetBackground() const { return m_background; }
    const CRefPtr<CSlideAnimations2000>& GetAnimations2000() const { return m_animations2000; }
    CSequenceList& GetSequences() { return m_sequences; }
    // Build sequences of the slide, for the movie's running tally.
    int GetSequenceCount() const { return static_cast<int>(m_sequences.GetCount()); }
    const std::vector<std::shared_ptr<CShape>>& GetShapes() const { return m_shapes; }
    // Slot k: the shape whose 0-based z-order is k (may be empty).
    const std::vector<std::shared_ptr<CShape>>& GetShapesByZOrder() const { return m_shapesByZOrder; }
    const std::map<std::wstring, std::int32_t>& GetShapeIndexByName() const { return m_shapeIndexByName; }
    // The timeline path only.
    const std::shared_ptr<CShapes>& GetShapeList() const { return m_shapeList; }
    const std::shared_ptr<CSlideTimeLineExport>& GetTimeLineExport() const { return m_timeLineExport; }
    const std::wstring& GetSpriteId() const { return m_spriteName; }
    LONG GetSlideId() const { return m_slideId; }
    // SlideIndex - 1: the 0-based position in the presentation.
    int GetSlideIndex() const { return m_slideIndex; }
    // 0-based position among the exported slides.
    int GetExportIndex() const { return m_exportIndex; }
    // The master's size in points.
    int GetWidth() const { return m_width; }
    int GetHeight() const { return m_height; }
    const XmlElementPtr& GetSpriteElement() const { return m_spriteElement; }
    const XmlElementPtr& GetObjectsElement() const { return m_objectsElement; }
    const XmlElementPtr& GetLayersElement() const { return m_layersElement; }
    float GetTransitionDuration() const { return m_transitionDuration; }
    CProgressSink* GetProgress() const { return m_progress; }
    const std::wstring& GetSoundPath() const { return m_soundPath; }
    const std::wstring& GetSoundId() const { return m_soundId; }
    const std::shared_ptr<CActionSettingList>& GetClickActions() const { return m_clickActions; }
    const std::shared_ptr<CActionSettingList>& GetShapeClickActions() const { return m_shapeClickActions; }
    const std::shared_ptr<CActionSettingList>& GetTextClickActions() const { return m_textClickActions; }
    // Colour 7 of the slide's scheme: the colour linked text is drawn in.
    COLORREF GetFallbackColor() const { return m_fallbackColor; }
    bool GetFrameButton() const { return m_frameButton; }
    void SetFrameButton(bool on) { m_frameButton = on; }
    bool GetAdvanceOnTime() const { return m_advanceOnTime; }
    const std::shared_ptr<CObjectsCollection>& GetObjects() const { return m_objects; }
    const std::shared_ptr<CLayersCollection>& GetLayers() const { return m_layers; }
    const std::shared_ptr<CStylesCollection>& GetStyles() const { return m_styles; }

private:
    void CollectHyperlinks();
    void CollectShapes();
    void ReadSound();
    // The slide's end on the timeline path, which has no build of its own.
    void ExportTimeLineEnd();
    // Drops every shape's text model once the slide is exported.
    void ReleaseShapeText();
    // The sound definition and its layer; a sound that cannot be played is left out.
    void ExportSlideSound(int frameCount);
    // The stop or jump at endFrame on the background's track, and the presentation-end address.
    void WriteSlideEnd(std::uint32_t endFrame);
    bool IsLastExportedSlide() const;
    // The slide ends with a jump to the next slide (else with a stop, when it ends at all).
    bool EndsWithJump() const;
    bool WritesEndCommand() const;
    // A slide that stops and is followed by another moves on when clicked anywhere.
    bool NeedsFrameButton() const;
    int SecondsToFrames(float seconds) const;

    std::unique_ptr<CParsedSlideLink> m_parsedLink;
    std::shared_ptr<CSlideBackground> m_background;
    CComPtr<PowerPoint::_Slide> m_slide;
    CComPtr<PowerPoint::Shapes> m_shapesInterface;
    CRefPtr<CSlideAnimations2000> m_animations2000;
    CMovie* m_movie;
    std::vector<std::shared_ptr<CShape>> m_shapes;
    std::vector<std::shared_ptr<CShape>> m_shapesByZOrder;
    std::map<std::wstring, std::int32_t> m_shapeIndexByName;
    std::wstring m_spriteName;
    LONG m_slideId = 0;
    int m_slideIndex = 0;
    int m_exportIndex;
    int m_width = 0;
    int m_height = 0;
    XmlElementPtr m_spriteElement;
    XmlElementPtr m_objectsElement;
    XmlElementPtr m_layersElement;
    float m_transitionDuration = 0.0f;
    float m_advanceTime = 0.0f;
    int m_shapeCount = 0;
    CProgressSink* m_progress = nullptr;
    std::wstring m_soundPath;
    std::wstring m_soundId;
    CSequenceList m_sequences;
    std::shared_ptr<CActionSettingList> m_clickActions;
    std::shared_ptr<CActionSettingList> m_shapeClickActions;
    std::shared_ptr<CActionSettingList> m_textClickActions;
    COLORREF m_fallbackColor = 0;
    bool m_frameButton = false;
    bool m_advanceOnTime = false;
    std::shared_ptr<CShapes> m_shapeList;
    std::shared_ptr<CSlideTimeLineExport> m_timeLineExport;
    std::shared_ptr<CObjectsCollection> m_objects;
    std::shared_ptr<CLayersCollection> m_layers;
    std::shared_ptr<CStylesCollection> m_styles;
};

}  // namespace genswf
