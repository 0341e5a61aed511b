#pragma once
// The movie document of one export: the XML document that becomes "movie.xml", the element
// and attribute writers every exporter writes through, the id makers and the movie-wide
// collections; with a presentation, also the slides to export, the movie settings the host
// keeps as presentation tags, and the export that writes the whole description.
//
// CreateEmpty gives the document alone, for the writers and for tests.

#include "ExportSettings.h"
#include "MovieFrames.h"
#include "MovieObjects.h"
#include "MovieTypes.h"
#include "genswf/geometry/Geometry.h"
#include "genswf/utils/ProgressSink.h"
#include "powerpoint/model/PowerPoint.h"

#include <cstddef>
#include <cstdint>
#include <future>
#include <memory>
#include <string>
#include <vector>

namespace genswf {

class CEffectExporterFactory;
class CFontManager;
class CHyperlinkSource;
class CLogFile;
class CActionList;
class CMovieImpl;
class CPptHyperlink;
class CPptPresentation;
class CSlide;

class CMovie {
public:
    // The movie of one export: reads the presentation's movie tags, collects the slides of the
    // settings' range (all slides without one) in slide order and makes the document. Throws
    // CPPTException when PowerPoint fails, and whatever making a slide throws.
    static std::shared_ptr<CMovie> Create(const std::shared_ptr<CExportSettings>& settings);
    // A movie document with its skeleton ("movie" holding "styles", "objects", "layers") and
    // empty collections, without a presentation.
    static std::shared_ptr<CMovie> CreateEmpty();

    // Writes the whole description into the working folder as fileName.
    virtual void Export(const std::wstring& fileName);
    virtual ~CMovie();
    CMovie(const CMovie&) = delete;
    CMovie& operator=(const CMovie&) = delete;

    // --- Passes of the export, in the order Export runs them ---
    void ExportSlidePictures(const std::wstring& folder);
    // Fonts before the slides; only on the path without a timeline.
    void ExportFonts();
    // Buttons of linked shapes and text get their jumps and addresses.
    void ExportHyperlinks();
    // Fonts and every slide's gathered objects and layers; only on the timeline path.
    void ExportObjects();
    // A transparent button over the movie that opens the presentation's on-click address.
    void ExportOnClickButton();
    void ExportBackgrounds();

    // --- Settings and geometry ---
    const std::shared_ptr<CExportSettings>& GetExportSettings() const { return m_settings; }
    // Points; 720 x 540 without settings.
    float GetSlideWidth() const;
    float GetSlideHeight() const;
    // Points to movie units: x * movie width / slide width (0 for an empty slide size).
    float ScaleX(float x) const;
    float ScaleY(float y) const;
    // The working folder, with a trailing separator.
    std::wstring GetTempFolder() const;
    int GetJpegQuality() const;
    int GetMp3Quality() const;
    int GetStartFrame() const;
    // Seconds added after animations: 2.0, or 0 while the time margin is off.
    float GetTimeMargin() const { return m_timeMarginOff ? 0.0f : m_timeMargin; }
    // Root-timeline frame at which exported slide i starts.
    int GetSlideStartFrame(int i) const;
    std::shared_ptr<CLogFile> GetLogFile() const;
    // Writes a line to the export log (nothing without one).
    void Log(const std::wstring& line) const;
    // Something of the presentation the movie leaves out or shows otherwise: a "Warning: "
    // line in the export log, and the progress sink's warning for the user.
    void Warn(const std::wstring& text) const;
    // True when the running PowerPoint has the animation timeline (version above 9); throws
    // CBaseException when no export registry exists.
    bool IsObjectExportEnabled() const;
    CProgressSink* GetProgressSink() const { return m_progress; }

    // --- Objects of the export ---
    const std::shared_ptr<CFontManager>& GetFontManager() const { return m_fontManager; }
    const std::shared_ptr<CEffectExporterFactory>& GetEffectExporterFactory() const { return m_effectFactory; }
    const std::shared_ptr<CPptPresentation>& GetPresentation() const { return m_presentation; }
    // Null for a movie without a presentation.
    CMovieImpl* GetMovieImpl() const { return m_impl.get(); }
    const std::vector<std::shared_ptr<CSlide>>& GetSlides() const { return m_slides; }
    std::size_t GetSlideCount() const { return m_slides.size(); }
    // Empty past the end.
    std::shared_ptr<CSlide> GetSlide(std::size_t i) const;
    // The id to use for the picture: an earlier identical picture's, else name.
    std::wstring AddImage(const std::wstring& file, const std::wstring& name);
    // A linked object's button and actions, for the hyperlink pass.
    void AddHyperlinkSource(const std::shared_ptr<CHyperlinkSource>& source);
    const std::vector<std::shared_ptr<CHyperlinkSource>>& GetHyperlinkSources() const { return m_hyperlinkSources; }
    const std::vector<int>& GetSlideStartFrames() const { return m_slideStartFrames; }

    // --- Movie options and the presentation's movie tags ---
    float GetAutomaticTransitionDelay() const { return m_automaticTransitionDelay; }
    const std::wstring& GetPresentationPath() const { return m_presentationPath; }
    bool GetLoopAllowed() const { return m_loopAllowed; }
    void SetLoopAllowed(bool on) { m_loopAllowed = on; }
    bool GetLoopedPlayback() const { return m_loopedPlayback; }
    // Loop allowed and the presentation asks for looping.
    bool IsLooping() const { return m_loopAllowed && m_loopedPlayback; }
    bool GetTimeMarginOff() const { return m_timeMarginOff; }
    void SetTimeMarginOff(bool on) { m_timeMarginOff = on; }
    bool GetOneFramePerSlide() const { return m_oneFramePerSlide; }
    void SetOneFramePerSlide(bool on) { m_oneFramePerSlide = on; }
    bool GetOnClickUrlEnabled() const { return m_onClickUrlEnabled; }
    const std::wstring& GetOnClickUrl() const { return m_onClickUrl; }
    const std::wstring& GetOnClickTarget() const { return m_onClickTarget; }
    bool GetPresentationEndUrlEnabled() const { return m_presentationEndUrlEnabled; }
    const std::wstring& GetPresentationEndUrl() const { return m_presentationEndUrl; }
    const std::wstring& GetPresentationEndTarget() const { return m_presentationEndTarget; }
    int GetFirstSlidePosition() const { return m_firstSlidePosition; }
    int GetLastSlidePosition() const { return m_lastSlidePosition; }
    // Build sequences of the slides exported so far.
    int GetSequenceTally() const { return m_sequenceTally; }

    // --- Nodes ---
    XmlElementPtr CreateElement(const XmlNodePtr& parent, const std::wstring& name);
    // The new element becomes the first child of parent.
    XmlElementPtr InsertElementFirst(const XmlNodePtr& parent, const std::wstring& name);
    void AppendCDataSection(const XmlElementPtr& element, const std::wstring& text);

    // --- Attributes (created unattached; the caller adds them to an attribute map) ---
    XmlAttributePtr CreateStringAttribute(const std::wstring& name, const std::wstring& value);
    XmlAttributePtr CreateAttribute(const std::wstring& name, const std::wstring& value);
    XmlAttributePtr CreateIntAttribute(const std::wstring& name, int value);
    XmlAttributePtr CreateUIntAttribute(const std::wstring& name, unsigned value);
    // Twips text: value x 20 truncated toward zero, then "tw".
    XmlAttributePtr CreateFloatAttribute(const std::wstring& name, float value);
    // "color" = "#rrggbb" of a 0x00BBGGRR colour.
    XmlAttributePtr CreateColorAttribute(COLORREF color);
    // "alpha" = the value clamped to 0..255.
    XmlAttributePtr CreateAlphaAttribute(int alpha);
    // Adds the attribute to the element's map (a same-named one is replaced in place).
    void SetAttribute(const XmlElementPtr& element, const XmlAttributePtr& attribute);
    // CreateAttribute and SetAttribute in one step, without an attribute node in between.
    void SetElementAttribute(const XmlElementPtr& element, const std::wstring& name, const std::wstring& value);

    // --- Element writers ---
    void WriteMovieAttributes(unsigned width, unsigned height, unsigned frameRate, COLORREF bgColor,
                              bool saveObjectsFirst);
    XmlElementPtr WriteStyles(const XmlNodePtr& parent);
    XmlElementPtr WriteObjects(const XmlNodePtr& parent);
    XmlElementPtr WriteLayers(const XmlNodePtr& parent);
    XmlElementPtr WriteLayer(const XmlNodePtr& parent);
    XmlElementPtr InsertLayerFirst(const XmlNodePtr& parent);
    XmlElementPtr WriteFrame(const XmlNodePtr& parent, int index);
    XmlElementPtr WriteSprite(const XmlNodePtr& parent, const std::wstring& id);
    XmlElementPtr WriteShape(const XmlNodePtr& parent, const std::wstring& id);
    XmlElementPtr WriteRectangle(const XmlNodePtr& parent, const std::wstring& id, float x, float y, float width,
                                 float height);
    XmlElementPtr WriteOval(const XmlNodePtr& parent, const std::wstring& id, float x, float y, float width,
                            float height);
    XmlElementPtr WriteSolidFillStyle(const XmlNodePtr& parent, const std::wstring& id, COLORREF color, int alpha);
    XmlElementPtr WriteImage(const XmlNodePtr& parent, const std::wstring& id, const std::wstring& src, float x,
                             float y, float width, float height, int jpegQuality);
    XmlElementPtr WriteFont(const XmlNodePtr& parent, const std::wstring& id, const std::wstring& src);
    XmlElementPtr WriteHtmlText(const XmlNodePtr& parent, const std::wstring& id, float x, float y, float width,
                                float height);
    XmlElementPtr WriteSound(const XmlNodePtr& parent, const std::wstring& id, const std::wstring& src);
    XmlElementPtr WriteButton(const XmlNodePtr& parent, const std::wstring& id, const std::wstring& type,
                              const std::wstring& up, const std::wstring& over, const std::wstring& down,
                              const std::wstring& hit);
    XmlElementPtr WriteShow(const XmlNodePtr& parent, const std::wstring& id, const std::wstring& objectId);
    XmlElementPtr WriteReplace(const XmlNodePtr& parent, const std::wstring& showId, const std::wstring& objectId);
    XmlElementPtr WriteModify(const XmlNodePtr& parent);
    XmlElementPtr WriteHide(const XmlNodePtr& parent, const std::wstring& showId);
    XmlElementPtr WriteStartSoundStream(const XmlNodePtr& parent, const std::wstring& objectId);
    XmlElementPtr WriteActions(const XmlNodePtr& parent);
    XmlElementPtr WriteActionStop(const XmlNodePtr& parent);
    XmlElementPtr WriteActionGetURL(const XmlNodePtr& parent, const std::wstring& url);
    XmlElementPtr WriteActionSetTarget(const XmlNodePtr& parent, const std::wstring& spriteName);
    XmlElementPtr WriteActionGoToFrame(const XmlNodePtr& parent, int index);
    XmlElementPtr WriteActionCallFunction(const XmlNodePtr& parent, const std::wstring& name);
    XmlElementPtr WriteParamInteger(const XmlNodePtr& parent, int value);

    // --- Ids: a prefix and a per-movie counter from 0 ---
    std::wstring NewShowId();
    std::wstring NewSpriteId();
    std::wstring NewFontId();
    std::wstring NewTextId();
    std::wstring NewImageId();  // "img" and "shape" draw from one counter
    std::wstring NewShapeId();
    std::wstring NewRectId();
    std::wstring NewOvalId();
    std::wstring MakeSoundId();
    std::wstring NewButtonId();
    std::wstring NewStyleId();

    // --- Shared fill styles, written into the movie's "styles" on first use ---
    std::wstring GetBlackFillStyleId();
    std::wstring GetTransparentFillStyleId();

    // Serialises with every tag that follows another on a line of its own, checks that the text
    // reads back (without building it again) and saves it as UTF-8. Text inside CDATA sections
    // and attribute values is left as it is; the document in memory stays as it was.
    void SaveXml(const std::wstring& path);
    // With `beside`, SaveXml leaves the reading back to a thread of its own and returns once the
    // file is written; the verdict is the description check's (whose get() throws what SaveXml
    // would have thrown). It outlives the movie.
    void SetDescriptionCheckBeside(bool beside) { m_descriptionCheckBeside = beside; }
    std::shared_future<void> GetDescriptionCheck() const { return m_descriptionCheck; }

    // --- Accessors ---
    const XmlDocumentPtr& GetDocument() const { return m_document; }
    const XmlElementPtr& GetRootElement() const { return m_root; }
    const XmlElementPtr& GetObjectsElement() const { return m_objectsElement; }
    const XmlElementPtr& GetLayersElement() const { return m_layersElement; }
    const XmlElementPtr& GetStylesElement() const { return m_stylesElement; }
    const std::shared_ptr<CObjectsCollection>& GetObjects() const { return m_objects; }
    const std::shared_ptr<CLayersCollection>& GetLayers() const { return m_layers; }
    const std::shared_ptr<CStylesCollection>& GetStyles() const { return m_styles; }

    int GetFrameRate() const { return m_frameRate; }
    void SetFrameRate(int frameRate) { m_frameRate = frameRate; }
    // Pixels; the export settings give them to a presentation's movie.
    unsigned GetMovieWidth() const { return m_movieWidth; }
    unsigned GetMovieHeight() const { return m_movieHeight; }
    void SetMovieSize(unsigned width, unsigned height) {
        m_movieWidth = width;
        m_movieHeight = height;
    }

protected:
    CMovie();
    // The constructor's steps of Create; the document comes last.
    explicit CMovie(std::shared_ptr<CExportSettings> settings);
    // The document and its skeleton, then the movie-wide collections: the last steps of
    // every constructor.
    void CreateDocument();
    void CreateCollections();

private:
    std::wstring NextId(const wchar_t* prefix, std::int32_t& counter);
    // The exported position a non-slide action's hyperlink jumps to (-1: none); an address
    // becomes a Get-URL action in actions instead.
    int HyperlinkTarget(const CPptHyperlink& hyperlink, CActionList& actions);
    XmlElementPtr CreateWithId(const XmlNodePtr& parent, const wchar_t* name, const std::wstring& id);
    void AddRect(const XmlElementPtr& element, float x, float y, float width, float height);

    // Id counters, one per kind; "shape" and "img" share one.
    // The presentation side, in the order it is made.
    std::unique_ptr<CMovieImpl> m_impl;
    CProgressSink* m_progress = nullptr;
    CProgressSink m_defaultProgress;
    std::vector<std::shared_ptr<CSlide>> m_slides;
    std::shared_ptr<CPptPresentation> m_presentation;

    std::int32_t m_showCounter = 0;
    std::int32_t m_spriteCounter = 0;
    std::int32_t m_fontCounter = 0;
    std::int32_t m_textCounter = 0;
    std::int32_t m_rectCounter = 0;
    std::int32_t m_ovalCounter = 0;
    std::int32_t m_buttonCounter = 0;
    std::int32_t m_soundCounter = 0;
    std::int32_t m_styleCounter = 0;
    std::int32_t m_shapeImageCounter = 0;

    std::wstring m_blackFillStyleId;
    std::shared_ptr<CSolidFillObject> m_transparentFillStyle;

    XmlDocumentPtr m_document;
    XmlElementPtr m_root;
    XmlElementPtr m_objectsElement;
    XmlElementPtr m_layersElement;
    XmlElementPtr m_stylesElement;

    std::shared_ptr<CFontManager> m_fontManager;
    int m_frameRate = 10;
    unsigned m_movieWidth = 0;
    unsigned m_movieHeight = 0;
    float m_timeMargin = 2.0f;
    float m_automaticTransitionDelay = 5.0f;
    std::wstring m_presentationPath;
    bool m_loopAllowed = false;
    bool m_descriptionCheckBeside = false;
    std::shared_future<void> m_descriptionCheck;
    bool m_loopedPlayback = false;
    bool m_onClickUrlEnabled = false;
    bool m_timeMarginOff = false;
    bool m_oneFramePerSlide = false;
    std::wstring m_onClickUrl;
    std::wstring m_onClickTarget = L"_self";
    bool m_presentationEndUrlEnabled = false;
    std::wstring m_presentationEndUrl;
    std::wstring m_presentationEndTarget = L"_self";
    std::vector<std::shared_ptr<CHyperlinkSource>> m_hyperlinkSources;
    std::vector<int> m_slideStartFrames;
    int m_firstSlidePosition = 0;
    int m_lastSlidePosition = -1;
    std::shared_ptr<CExportSettings> m_settings;
    int m_sequenceTally = 0;
    std::shared_ptr<CEffectExporterFactory> m_effectFactory;

    std::shared_ptr<CObjectsCollection> m_objects;
    std::shared_ptr<CLayersCollection> m_layers;
    std::shared_ptr<CStylesCollection> m_styles;
};

// --- Presentation tags ---

// The value of the first tag whose name equals name exactly (case-sensitive); false when no tag
// of that name can be read. PowerPoint failures of Count and Name throw CPPTException.
bool GetTagValue(PowerPoint::Tags* tags, const std::wstring& name, std::wstring& value);

// The movie tags of a presentation, each read through its Tags collection.
bool ReadLoopedPlaybackTag(PowerPoint::_Presentation* presentation);            // "1" only
bool ReadOnClickUrlEnabledTag(PowerPoint::_Presentation* presentation);         // "1" only
std::wstring ReadOnClickUrlTargetTag(PowerPoint::_Presentation* presentation);  // a known target, else "_self"
std::wstring ReadOnClickUrlTag(PowerPoint::_Presentation* presentation);        // trimmed of blanks and tabs
bool ReadPresentationEndUrlEnabledTag(PowerPoint::_Presentation* presentation);
std::wstring ReadPresentationEndUrlTargetTag(PowerPoint::_Presentation* presentation);
std::wstring ReadPresentationEndUrlTag(PowerPoint::_Presentation* presentation);

// The range's slides (AddRef'ed, in the vector's holders) by ascending SlideIndex; equal
// indexes keep range order and a slide listed twice is taken once.
void CollectSlidesInIndexOrder(PowerPoint::SlideRange* range, std::vector<CComPtr<PowerPoint::_Slide>>& slides);

// Whether the movie may open the address: http, https, mailto and ftp, or a file name relative
// to the movie. Script addresses, other schemes and absolute file names are refused.
bool IsSafeMovieUrl(const std::wstring& address);

// Puts a line feed between a tag and a directly following tag (start, end or empty-element
// tags only), leaving CDATA sections, comments, processing instructions and quoted attribute
// values as they are, so no element's text changes.
std::wstring SeparateTags(const std::wstring& xml);
std::string SeparateTags(const std::string& xml);

}  // namespace genswf
