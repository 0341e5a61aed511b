#pragma once
// The movie object model: definition objects (sprites, text fields, images, rectangles, ovals,
// shapes, fonts, sounds, buttons), fill styles, the collections that write them and layers.
// Every object writes itself through the element writers of CMovie.

#include "MovieFrames.h"
#include "MovieTypes.h"

#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace genswf {

// --- Base ------------------------------------------------------------------------------------

class CMovieElement {
public:
    explicit CMovieElement(CMovie* movie) : m_movie(movie) {}
    virtual void Write(const XmlElementPtr& parent) = 0;
    virtual ~CMovieElement() = default;
    CMovieElement(const CMovieElement&) = delete;
    CMovieElement& operator=(const CMovieElement&) = delete;

    // The first value of a name is kept; later ones are dropped.
    void AddAttribute(std::wstring name, std::wstring value) { m_attributes.Add(std::move(name), std::move(value)); }
    void AddIntAttribute(std::wstring name, int value) { m_attributes.AddInt(std::move(name), value); }
    void AddColorAttribute(std::wstring name, COLORREF color) { m_attributes.AddColor(std::move(name), color); }
    void AddTwipsAttribute(std::wstring name, float value) { m_attributes.AddTwips(std::move(name), value); }
    // Attaches the list, in name order, after the element writer's own attributes.
    void WriteAttributes(const XmlElementPtr& element) const { m_attributes.Write(m_movie, element); }

    const CAttributeList& GetAttributes() const { return m_attributes; }
    CMovie* GetMovie() const { return m_movie; }

protected:
    CMovie* m_movie;
    CAttributeList m_attributes;
};

class CMovieObject : public CMovieElement {
public:
    CMovieObject(CMovie* movie, std::wstring id) : CMovieElement(movie), m_id(std::move(id)) {}

    const std::wstring& GetId() const { return m_id; }
    void SetId(const std::wstring& id) { m_id = id; }
    void SetFillStyle(const std::wstring& styleId) { AddAttribute(L"fillStyle", styleId); }

protected:
    std::wstring m_id;
};

// --- Collections and layers ------------------------------------------------------------------

class CButtonObject;
class CRectangleObject;
class COvalObject;
class CShapeObject;
class CFontObject;
class CSoundObject;
class CStyleObject;

class CObjectsCollection {
public:
    explicit CObjectsCollection(CMovie* movie) : m_movie(movie) {}
    virtual ~CObjectsCollection() = default;
    CObjectsCollection(const CObjectsCollection&) = delete;
    CObjectsCollection& operator=(const CObjectsCollection&) = delete;

    void Add(const std::shared_ptr<CMovieObject>& object);
    void AddAll(const std::shared_ptr<CObjectsCollection>& other);
    bool Contains(const std::shared_ptr<CMovieObject>& object) const;

    std::shared_ptr<CButtonObject> AddButton(CMovieObject* owner, const std::wstring& up, const std::wstring& over,
                                             const std::wstring& down, const std::wstring& hit);
    std::shared_ptr<CRectangleObject> AddRectangle(float x, float y, float width, float height);
    std::shared_ptr<COvalObject> AddOval(float x, float y, float width, float height);
    std::shared_ptr<CShapeObject> AddShape();
    std::shared_ptr<CFontObject> AddFont();
    std::shared_ptr<CSoundObject> AddSound(const std::wstring& src);

    std::wstring GetBlackFillStyleId();
    std::wstring GetTransparentFillStyleId();

    // "objects" with the members; nothing at all when empty.
    void Write(const XmlElementPtr& parent);
    // The members straight into an existing "objects" element.
    void WriteMembers(const XmlElementPtr& container);

    const std::vector<std::shared_ptr<CMovieObject>>& GetObjects() const { return m_objects; }
    bool IsEmpty() const { return m_objects.empty(); }

private:
    CMovie* m_movie;
    std::vector<std::shared_ptr<CMovieObject>> m_objects;
};

class CLayer {
public:
    explicit CLayer(CMovie* movie);
    virtual ~CLayer() = default;
    CLayer(const CLayer&) = delete;
    CLayer& operator=(const CLayer&) = delete;

    std::shared_ptr<CFrameTrack> AddTrack();
    // "layer" with its frames at offset 0; nothing when no track has a command.
    void Write(const XmlElementPtr& parent);

    const std::shared_ptr<CFrameList>& GetFrames() const { return m_frames; }

private:
    CMovie* m_movie;
    std::shared_ptr<CFrameList> m_frames;
};

class CLayersCollection {
public:
    explicit CLayersCollection(CMovie* movie) : m_movie(movie) {}
    virtual ~CLayersCollection() = default;
    CLayersCollection(const CLayersCollection&) = delete;
    CLayersCollection& operator=(const CLayersCollection&) = delete;

    std::shared_ptr<CLayer> AddLayer();
    void AddAll(const std::shared_ptr<CLayersCollection>& other);
    // "layers" with the layers; nothing at all when empty.
    void Write(const XmlElementPtr& parent);
    void WriteMembers(const XmlElementPtr& container);

    const std::vector<std::shared_ptr<CLayer>>& GetLayers() const { return m_layers; }
    bool IsEmpty() const { return m_layers.empty(); }

private:
    std::vector<std::shared_ptr<CLayer>> m_layers;
    CMovie* m_movie;
};

class CStylesCollection {
public:
    explicit CStylesCollection(CMovie* movie) : m_movie(movie) {}
    virtual ~CStylesCollection() = default;
    CStylesCollection(const CStylesCollection&) = delete;
    CStylesCollection& operator=(const CStylesCollection&) = delete;

    void Add(const std::shared_ptr<CStyleObject>& style);
    // "styles" with the styles; nothing at all when empty.
    void Write(const XmlElementPtr& parent);

    const std::vector<std::shared_ptr<CStyleObject>>& GetStyles() const { return m_styles; }
    bool IsEmpty() const { return m_styles.empty(); }

private:
    CMovie* m_movie;
    std::vector<std::shared_ptr<CStyleObject>> m_styles;
};

std::shared_ptr<CObjectsCollection> CreateObjectsCollection(CMovie* movie);
std::shared_ptr<CLayersCollection> CreateLayersCollection(CMovie* movie);
std::shared_ptr<CStylesCollection> CreateStylesCollection(CMovie* movie);
std::shared_ptr<CLayer> CreateLayer(CMovie* movie);

// --- Definition objects ----------------------------------------------------------------------
// Lengths and positions are in movie units (pixels); the writers turn them into twips.

class CDefinitionObject : public CMovieObject {
public:
    using CMovieObject::CMovieObject;
};

class CRectangleObject : public CDefinitionObject {
public:
    CRectangleObject(CMovie* movie, float x, float y, float width, float height);
    void Write(const XmlElementPtr& parent) override;

    float x, y, width, height;
};

class COvalObject : public CDefinitionObject {
public:
    COvalObject(CMovie* movie, float x, float y, float width, float height);
    void Write(const XmlElementPtr& parent) override;

    float x, y, width, height;  // the bounding box
};

class CImageObject : public CDefinitionObject {
public:
    CImageObject(CMovie* movie, const std::wstring& src, float x, float y, float width, float height);
    // "image" always goes first among its parent's children.
    void Write(const XmlElementPtr& parent) override;
    void SetSrc(const std::wstring& path) { src = path; }

    float x, y, width, height;
    int jpegQuality = 0;  // 0 keeps the picture's own quality
    std::wstring src;
    bool smoothing = false;
};

class CSpriteObject : public CMovieObject {
public:
    explicit CSpriteObject(CMovie* movie);
    void Write(const XmlElementPtr& parent) override;

    std::shared_ptr<CObjectsCollection> GetObjects() const { return objects; }
    std::shared_ptr<CLayersCollection> GetLayers() const { return layers; }
    std::shared_ptr<CStylesCollection> GetStyles() const { return styles; }
    void SetWidth(float w) {
        width = w;
        hasWidth = true;
    }
    void SetHeight(float h) {
        height = h;
        hasHeight = true;
    }

    std::shared_ptr<CObjectsCollection> objects;
    std::shared_ptr<CLayersCollection> layers;
    std::shared_ptr<CStylesCollection> styles;
    std::wstring src;  // set: the sprite stands for this movie file and has no content
    std::wstring name;
    bool lockroot = true;
    bool hasWidth = false, hasHeight = false;
    float width = 0.0f, height = 0.0f;

private:
    bool m_writing = false;  // guards against a sprite that holds itself
};

class CTextFieldObject : public CMovieObject {
public:
    CTextFieldObject(CMovie* movie, float x, float y, float width, float height);
    void Write(const XmlElementPtr& parent) override;

    float fontSize = 0.0f;
    float x, y, width, height;
    COLORREF color = 0;
    std::wstring fontId;
    std::wstring html;  // markup, written as a CDATA section
    bool multiline = false, wordWrap = false, selectable = false;
};

class CShapeObject : public CMovieObject {
public:
    explicit CShapeObject(CMovie* movie);
    void Write(const XmlElementPtr& parent) override;

    std::shared_ptr<CRectangleObject> AddRectangle(float x, float y, float width, float height);
    std::shared_ptr<COvalObject> AddOval(float x, float y, float width, float height);

    std::vector<std::shared_ptr<CMovieObject>> parts;
};

class CFontObject : public CMovieObject {
public:
    explicit CFontObject(CMovie* movie);
    void Write(const XmlElementPtr& parent) override;

    std::wstring src;
    std::wstring name;
    std::wstring chars;
};

class CSoundObject : public CMovieObject {
public:
    CSoundObject(CMovie* movie, const std::wstring& src);
    void Write(const XmlElementPtr& parent) override;

    std::wstring src;
    int mp3Quality = 0;
};

class CButtonObject : public CMovieObject {
public:
    CButtonObject(CMovie* movie, CMovieObject* owner, const std::wstring& up, const std::wstring& over,
                  const std::wstring& down, const std::wstring& hit);
    // First call: the "button" element and the actions. Later calls add only the actions
    // appended since, into the same element.
    void Write(const XmlElementPtr& parent) override;

    CActionList& GetActions() { return actions; }
    const XmlElementPtr& GetElement() const { return element; }

    CActionList actions;
    XmlElementPtr element;
    CMovieObject* owner;  // set for a menu button; not owned
    std::wstring up, down, over, hit;

private:
    std::size_t m_writtenActions = 0;
};

// --- Fill styles -----------------------------------------------------------------------------

class CStyleObject {
public:
    explicit CStyleObject(CMovie* movie);
    virtual void Write(const XmlElementPtr& parent) = 0;
    virtual ~CStyleObject() = default;
    CStyleObject(const CStyleObject&) = delete;
    CStyleObject& operator=(const CStyleObject&) = delete;

    const std::wstring& GetId() const { return m_id; }

protected:
    std::wstring m_id;
    CMovie* m_movie;
};

class CSolidFillObject : public CStyleObject {
public:
    // alpha is clamped to 0..255.
    CSolidFillObject(CMovie* movie, COLORREF color, int alpha);
    void Write(const XmlElementPtr& parent) override;

    COLORREF color;
    std::uint8_t alpha;  // 0 transparent, 255 opaque
};

std::shared_ptr<CRectangleObject> CreateRectangleObject(CMovie* movie, float x, float y, float width, float height);
std::shared_ptr<COvalObject> CreateOvalObject(CMovie* movie, float x, float y, float width, float height);
std::shared_ptr<CImageObject> CreateImageObject(CMovie* movie, const std::wstring& src, float x, float y, float width,
                                                float height);
std::shared_ptr<CSpriteObject> CreateSpriteObject(CMovie* movie);
std::shared_ptr<CTextFieldObject> CreateTextFieldObject(CMovie* movie, float x, float y, float width, float height);
std::shared_ptr<CShapeObject> CreateShapeObject(CMovie* movie);
std::shared_ptr<CFontObject> CreateFontObject(CMovie* movie);
std::shared_ptr<CSoundObject> CreateSoundObject(CMovie* movie, const std::wstring& src);
std::shared_ptr<CButtonObject> CreateButtonObject(CMovie* movie, CMovieObject* owner, const std::wstring& up,
                                                  const std::wstring& over, const std::wstring& down,
                                                  const std::wstring& hit);
std::shared_ptr<CSolidFillObject> CreateSolidFillObject(CMovie* movie, COLORREF color, int alpha);

}  // namespace genswf
