#pragma once
// The per-shape exporter of the animation model without a timeline (version 9): what it reads
// of the shape once, the pictures PowerPoint renders of it, its definitions in the movie, and
// the build events (show with the entry effect, hide, dim) it writes into a frame list.

#include "genswf/animation/EntryEffect.h"
#include "genswf/geometry/Geometry.h"
#include "genswf/movie/MovieTypes.h"
#include "genswf/ppt/Ppt.h"
#include "genswf/utils/Utils.h"

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

namespace libpptparser {
class CShape;
class CTextFrame;
}  // namespace libpptparser

namespace genswf {

class CActionSettingList;
class CButtonObject;
class CFrameList;
class CMovie;
class CPptAnimationSettings;
class CPptShape;
class CShape;
class CShapeTextIndex;
class CSlide;
class CSwfContent;

// Ties a slide shape to its record in the parsed presentation.
class CParsedShapeLink {
public:
    CParsedShapeLink(std::shared_ptr<CPptShape> shape, CSlide* slide, int index, CShape* owner);
    virtual ~CParsedShapeLink();
    CParsedShapeLink(const CParsedShapeLink&) = delete;
    CParsedShapeLink& operator=(const CParsedShapeLink&) = delete;

    // Found through the slide's parsed-slide link by shape index, then kept; empty when the
    // parsed slide has no such shape.
    std::shared_ptr<libpptparser::CShape> GetParsedShape();
    bool HasTextFrame();
    std::shared_ptr<libpptparser::CTextFrame> GetTextFrame();
    // Quarter turns of the parsed shape's text x 90.0, in degrees; 0 without a parsed shape.
    float GetTextRotation();

private:
    std::shared_ptr<libpptparser::CShape> m_parsedShape;
    std::shared_ptr<CPptShape> m_shape;
    CSlide* m_slide;
    int m_index;
    CShape* m_owner;
};

// The sprite that plays a sound shape's sound.
class CSoundSpriteRecord : public CRefCounted {
public:
    explicit CSoundSpriteRecord(std::wstring spriteId_) : spriteId(std::move(spriteId_)) {}
    std::wstring spriteId;
};

class CPlacedRecord;

// A build event: its time (seconds from the slide's start) and the record it belongs to.
class CPlacedEvent : public CRefCounted {
public:
    CPlacedEvent(float time_, CPlacedRecord* record_) : time(time_), record(record_) {}
    float time;
    CPlacedRecord* record;  // not owned: the record owns its events
};

class CShowEvent : public CPlacedEvent {
public:
    CShowEvent(float time, CPlacedRecord* record, CRefPtr<CTransitionEffect> effect_)
        : CPlacedEvent(time, record), effect(std::move(effect_)) {}
    CRefPtr<CTransitionEffect> effect;
};

class CHideEvent : public CPlacedEvent {
public:
    using CPlacedEvent::CPlacedEvent;
};

// The shown object is replaced by its dimmed picture, with the dim colour added.
class CReplaceEvent : public CPlacedEvent {
public:
    CReplaceEvent(float time, CPlacedRecord* record, std::wstring newId_, int red_, int green_, int blue_)
        : CPlacedEvent(time, record), newId(std::move(newId_)), red(red_), green(green_), blue(blue_) {}
    std::wstring newId;
    int red, green, blue;
};

// A placed object (picture, text sprite or sound sprite) with its build events.
class CPlacedRecord : public CRefCounted {
public:
    explicit CPlacedRecord(CRefPtr<CShapeObjectRecord> object_) : object(std::move(object_)) {}

    CRefPtr<CShapeObjectRecord> object;
    std::wstring dimId;  // empty: no dimmed picture
    CRefPtr<CShowEvent> show;
    CRefPtr<CHideEvent> hide;
    CRefPtr<CReplaceEvent> replace;
    // Set for a sound shape: the sprite shown instead of the placed object.
    CRefPtr<CSoundSpriteRecord> soundSprite;
};

class CShape {
public:
    static std::shared_ptr<CShape> Create(PowerPoint::Shape* shape, CSlide* slide, int index);
    CShape(PowerPoint::Shape* shape, CSlide* slide, int index);
    virtual ~CShape();
    CShape(const CShape&) = delete;
    CShape& operator=(const CShape&) = delete;

    // --- Pictures and definitions ---
    // The shape's picture (and its dimmed picture) into the folder; nothing unless the shape
    // is exported as a picture.
    void SavePictures(const std::wstring& folder);
    // Image, button, text-sprite and sound definitions under parent.
    void ExportDefinitions(const XmlElementPtr& parent);

    // --- Build timing and frames ---
    // Places the shape at the build clock; clock and lastDuration (seconds) move on.
    void ExportBuild(float& clock, float& lastDuration);
    // Returns the effect's duration.
    float PlacePicture(float time, const CRefPtr<CTransitionEffect>& effect, bool pending);
    float PlaceText(float clock, const CRefPtr<CTransitionEffect>& effect, float advance, bool sameStep);
    void HideAll(float time);
    void DimAll(float time);
    // Every event into a new frame list (the closing pass).
    void WriteFrames();
    // A "layer" under parent with the frame list at the offset, when it has a track.
    void WriteLayer(const XmlElementPtr& parent, int frameOffset = 0);

    // --- Read access ---
    const std::shared_ptr<CPptShape>& GetPptShape() const { return m_pptShape; }
    // AddRef'ed; the caller releases it.
    PowerPoint::Shape* GetShapeInterface() const;
    CParsedShapeLink& GetParsedLink() const { return *m_parsedLink; }
    CSlide* GetSlide() const { return m_slide; }
    CMovie* GetMovie() const { return m_movie; }
    const std::wstring& GetName() const { return m_name; }
    int GetZOrder() const { return m_zOrder; }
    int GetIndex() const { return m_index; }
    bool HasTextFrame() const { return m_hasTextFrame; }
    const CRefPtr<CShapeTextIndex>& GetTextIndex() const { return m_textIndex; }
    const CRefPtr<CPptAnimationSettings>& GetAnimationSettings() const { return m_animationSettings; }
    // Points.
    float GetLeft() const { return m_left; }
    float GetTop() const { return m_top; }
    float GetWidth() const { return m_width; }
    float GetHeight() const { return m_height; }
    float GetBoundsLeft() const { return m_boundsLeft; }
    float GetBoundsTop() const { return m_boundsTop; }
    float GetBoundsWidth() const { return m_boundsWidth; }
    float GetBoundsHeight() const { return m_boundsHeight; }
    float GetCenterX() const { return m_centerX; }
    float GetCenterY() const { return m_centerY; }
    // Degrees.
    float GetRotation() const { return m_rotation; }
    PowerPoint::MsoShapeType GetType() const { return m_type; }
    bool IsExportedAsPicture() const { return m_exportAsPicture; }
    // The colour behind the text and its variants (from the shape wrapper).
    COLORREF GetBaseColor() const;
    COLORREF GetLightColor() const;
    COLORREF GetDarkColor() const;
    COLORREF GetContrastColor(COLORREF color) const;
    // The button's id when the shape has action settings, else the picture's.
    std::wstring GetImageId() const;
    std::wstring GetDimImageId() const;
    // Movie units, turned about the centre of the rectangle, resp. of the bounds.
    Rect GetRotatedBounds() const;
    Rect GetRotatedPictureBounds() const;
    bool IsTextAnimatedWithShape() const;
    const std::shared_ptr<CActionSettingList>& GetActionSettings() const { return m_actionSettings; }
    const std::shared_ptr<CFrameList>& GetFrameList() const { return m_frameList; }
    const std::shared_ptr<CSwfContent>& GetEmbeddedMovie() const { return m_embeddedMovie; }
    const std::wstring& GetImageFile() const { return m_imageFile; }
    const std::wstring& GetDimImageFile() const { return m_dimImageFile; }
    const std::shared_ptr<CButtonObject>& GetButton() const { return m_button; }
    const std::shared_ptr<CButtonObject>& GetDimButton() const { return m_dimButton; }
    const CRefPtr<CSoundSpriteRecord>& GetSoundSprite() const { return m_soundSprite; }
    // The picture's placed object and record; null until the picture is placed.
    const CRefPtr<CShapeObjectRecord>& GetPlacedPicture() const { return m_placedPicture; }
    const CRefPtr<CPlacedRecord>& GetPlacedRecord() const { return m_placedRecord; }
    // Records whose after-effect is still pending, and those of the text pieces.
    const std::vector<CRefPtr<CPlacedRecord>>& GetPictureObjects() const { return m_pictureObjects; }
    const std::vector<CRefPtr<CPlacedRecord>>& GetTextObjects() const { return m_textObjects; }
    int GetDimRed() const { return m_dimRed; }
    int GetDimGreen() const { return m_dimGreen; }
    int GetDimBlue() const { return m_dimBlue; }

private:
    void DecideExportAsPicture();
    void WidenBounds(const std::shared_ptr<libpptparser::CShape>& parsed);
    std::wstring PicturePath(const std::wstring& id, bool wmf) const;
    // Shape.Export of one picture at the slide's size in movie units; false when it failed.
    bool ExportPicture(CPptShape& shape, const std::wstring& path, bool wmf) const;
    void SaveDimPicture(CPptShape& copy);
    void WriteImageDefinition(const std::wstring& id, const std::wstring& file);
    void ExportSoundShape();
    // A picture that the frames may refer to: exported, and defined (media shapes show their
    // sound sprite instead).
    bool HasPlaceablePicture() const;
    void WriteRecord(CPlacedRecord& record);
    bool IsAnimated() const;

    std::unique_ptr<CParsedShapeLink> m_parsedLink;
    std::wstring m_name;
    int m_zOrder = 0;
    int m_index;
    bool m_hasTextFrame = false;
    float m_left = 0, m_top = 0, m_width = 0, m_height = 0;
    float m_boundsLeft = 0, m_boundsTop = 0, m_boundsWidth = 0, m_boundsHeight = 0;
    float m_rotation = 0;
    CSlide* m_slide;
    std::shared_ptr<CPptShape> m_pptShape;
    CRefPtr<CShapeTextIndex> m_textIndex;
    CRefPtr<CPptAnimationSettings> m_animationSettings;
    CMovie* m_movie = nullptr;
    PowerPoint::MsoShapeType m_type = 0;
    CComPtr<PowerPoint::FillFormat> m_fill;
    PowerPoint::MsoTriState m_lineVisible = 0;
    PowerPoint::MsoTriState m_visible = 0;
    PowerPoint::MsoAutoShapeType m_autoShapeType = 0;
    CComPtr<PowerPoint::LineFormat> m_line;
    PowerPoint::MsoTriState m_fillVisible = 0;
    std::wstring m_imageId, m_dimImageId, m_imageFile, m_dimImageFile, m_pictureFolder;
    bool m_exportAsPicture = false;
    CRefPtr<CShapeObjectRecord> m_placedPicture;
    int m_dimRed = 0, m_dimGreen = 0, m_dimBlue = 0;
    COLORREF m_backgroundColor = 0;
    std::shared_ptr<CFrameList> m_frameList;
    XmlElementPtr m_definitionsParent;
    CRefPtr<CPlacedRecord> m_placedRecord;
    std::vector<CRefPtr<CPlacedRecord>> m_pictureObjects;
    std::vector<CRefPtr<CPlacedRecord>> m_textObjects;
    std::shared_ptr<CActionSettingList> m_actionSettings;
    std::shared_ptr<CButtonObject> m_button, m_dimButton;
    std::shared_ptr<CSwfContent> m_embeddedMovie;
    CRefPtr<CSoundSpriteRecord> m_soundSprite;
    float m_centerX = 0, m_centerY = 0;
    CComPtr<PowerPoint::Shape> m_shape;
};

}  // namespace genswf
