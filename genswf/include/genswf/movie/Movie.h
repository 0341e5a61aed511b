#pragma once
// The movie document of one export: the XML document that becomes "movie.xml", the element
// and attribute writers every exporter writes through, the id makers and the movie-wide
// collections.
//
// The presentation side (settings, slides, tags, export) is added to this same class by the
// movie-document work; CreateEmpty gives the document alone, for the writers and for tests.

#include "MovieFrames.h"
#include "MovieObjects.h"
#include "MovieTypes.h"
#include "genswf/geometry/Geometry.h"

#include <cstdint>
#include <memory>
#include <string>

namespace genswf {

class CMovie {
public:
    // A movie document with its skeleton ("movie" holding "styles", "objects", "layers") and
    // empty collections, without a presentation.
    static std::shared_ptr<CMovie> CreateEmpty();

    virtual ~CMovie();
    CMovie(const CMovie&) = delete;
    CMovie& operator=(const CMovie&) = delete;

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

    // Serialises with every tag that follows another on a line of its own, reloads and saves
    // as UTF-8. Text inside CDATA sections and attribute values is left as it is.
    void SaveXml(const std::wstring& path);

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
    // The document and its skeleton, then the movie-wide collections: the last steps of
    // every constructor.
    void CreateDocument();
    void CreateCollections();

private:
    std::wstring NextId(const wchar_t* prefix, std::int32_t& counter);
    XmlElementPtr CreateWithId(const XmlNodePtr& parent, const wchar_t* name, const std::wstring& id);
    void AddRect(const XmlElementPtr& element, float x, float y, float width, float height);

    // Id counters, one per kind; "shape" and "img" share one.
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

    int m_frameRate = 10;
    unsigned m_movieWidth = 0;
    unsigned m_movieHeight = 0;

    std::shared_ptr<CObjectsCollection> m_objects;
    std::shared_ptr<CLayersCollection> m_layers;
    std::shared_ptr<CStylesCollection> m_styles;
};

// Puts a line feed between a tag and a directly following tag (start, end or empty-element
// tags only), leaving CDATA sections, comments, processing instructions and quoted attribute
// values as they are, so no element's text changes.
std::wstring SeparateTags(const std::wstring& xml);
std::string SeparateTags(const std::string& xml);

}  // namespace genswf
