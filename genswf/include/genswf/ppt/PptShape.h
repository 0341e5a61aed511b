#pragma once
// The shape wrapper: geometry, type, formats and text frame of one shape, the few things the
// exporters do to a shape, and the colours derived from the colour behind its text.

#include "Ppt.h"

#include <memory>
#include <string>

namespace genswf {

class CPptFillFormat;
class CPptLineFormat;
class CPptTextFrame;
class CPptSoundFormat;
class CPptOleFormat;

class CPptShape : public CPptObject<PowerPoint::Shape> {
public:
    explicit CPptShape(PowerPoint::Shape* shape);
    ~CPptShape() override;

    // Deletes the shape; the wrapper may then only be destroyed. A duplicate that refuses is
    // deleted through the range it came in.
    void Delete();

    // AddRef'ed copies, read once.
    PowerPoint::Adjustments* GetAdjustmentsPtr();
    PowerPoint::FillFormat* GetFillPtr();
    PowerPoint::LineFormat* GetLinePtr();
    PowerPoint::PictureFormat* GetPictureFormatPtr();
    PowerPoint::TextFrame* GetTextFramePtr();
    // Only OLE shapes (embedded, linked, control) have one; others throw before asking.
    PowerPoint::OLEFormat* GetOLEFormatPtr();
    PowerPoint::AnimationSettings* GetAnimationSettingsPtr();
    PowerPoint::ActionSettings* GetActionSettingsPtr();
    PowerPoint::SoundFormat* GetSoundFormatPtr();

    std::shared_ptr<CPptFillFormat> GetFill();
    std::shared_ptr<CPptLineFormat> GetLine();
    std::shared_ptr<CPptTextFrame> GetTextFrame();
    std::shared_ptr<CPptSoundFormat> GetSoundFormat();
    std::shared_ptr<CPptOleFormat> GetOLEFormat();

    PowerPoint::MsoAutoShapeType GetAutoShapeType();
    PowerPoint::MsoTriState GetConnector();
    float GetHeight();
    PowerPoint::MsoTriState GetHorizontalFlip();
    float GetLeft();
    const std::wstring& GetName();
    float GetRotation();
    // False when PowerPoint refuses; never throws. On success the new value is what GetRotation
    // returns from then on.
    bool SetRotation(float rotation);
    float GetTop();
    PowerPoint::MsoShapeType GetType();
    PowerPoint::MsoTriState GetVerticalFlip();
    PowerPoint::MsoTriState GetVisible();
    float GetWidth();
    LONG GetZOrderPosition();  // 0 at the back
    // The shape's Id, unique on its slide; 0 when it cannot be read (never throws).
    LONG GetId();
    PowerPoint::PpMediaType GetMediaType();
    PowerPoint::MsoTriState GetHasTextFrame();

    // A copy on the same slide; the caller deletes it when done. When the copy cannot be taken
    // out of its range, the range is deleted before the failure is thrown.
    std::shared_ptr<CPptShape> Duplicate();
    // Saves the shape as a picture; false when PowerPoint could not. Never throws.
    bool Export(const std::wstring& pathName, PowerPoint::PpShapeFormat filter, LONG scaleWidth, LONG scaleHeight,
                PowerPoint::PpExportMode exportMode);
    // Empties the text frame, if the shape has one.
    void DeleteText();
    // Whether PowerPoint lets this kind of shape be turned; found out once on a copy.
    bool CanSetRotation();

    // The colour behind the text; only the first call counts.
    void SetBackgroundColor(ULONG color);
    // The colour of a text shadow that stands out against the background.
    ULONG GetShadowColor(ULONG textColor) const;
    ULONG GetEmbossShadowColor() const { return m_embossShadowColor; }
    ULONG GetEmbossHighlightColor() const { return m_embossHighlightColor; }
    ULONG GetBackgroundColor() const { return m_faceColor; }

private:
    CComPtr<PowerPoint::Shape> m_pShape;

    CComPtr<PowerPoint::FillFormat> m_pFill;
    CComPtr<PowerPoint::TextFrame> m_pTextFrame;
    CComPtr<PowerPoint::AnimationSettings> m_pAnimationSettings;
    CComPtr<PowerPoint::LineFormat> m_pLine;
    CComPtr<PowerPoint::PictureFormat> m_pPictureFormat;
    CComPtr<PowerPoint::Adjustments> m_pAdjustments;
    CComPtr<PowerPoint::ActionSettings> m_pActionSettings;
    CComPtr<PowerPoint::OLEFormat> m_pOLEFormat;
    CComPtr<PowerPoint::SoundFormat> m_pSoundFormat;

    bool m_widthRead = false;
    float m_width = 0;
    bool m_heightRead = false;
    float m_height = 0;
    bool m_leftRead = false;
    float m_left = 0;
    bool m_topRead = false;
    float m_top = 0;
    bool m_rotationRead = false;
    float m_rotation = 0;
    bool m_idRead = false;
    LONG m_id = 0;
    bool m_zOrderPositionRead = false;
    LONG m_zOrderPosition = 0;
    bool m_nameRead = false;
    std::wstring m_name;
    bool m_typeRead = false;
    PowerPoint::MsoShapeType m_type = 0;
    bool m_mediaTypeRead = false;
    PowerPoint::PpMediaType m_mediaType = 0;
    bool m_hasTextFrameRead = false;
    PowerPoint::MsoTriState m_hasTextFrame = 0;
    bool m_visibleRead = false;
    PowerPoint::MsoTriState m_visible = 0;
    bool m_autoShapeTypeRead = false;
    PowerPoint::MsoAutoShapeType m_autoShapeType = 0;
    bool m_horizontalFlipRead = false;
    PowerPoint::MsoTriState m_horizontalFlip = 0;
    bool m_verticalFlipRead = false;
    PowerPoint::MsoTriState m_verticalFlip = 0;

    bool m_rotationDecided = false;
    bool m_canSetRotation = false;

    std::shared_ptr<CPptLineFormat> m_line;
    std::shared_ptr<CPptFillFormat> m_fill;

    bool m_colorsSet = false;
    ULONG m_backgroundColor = 0;
    ULONG m_embossShadowColor = 0;
    ULONG m_embossHighlightColor = 0;
    ULONG m_faceColor = 0;

    std::shared_ptr<CPptTextFrame> m_textFrame;
    std::shared_ptr<CPptSoundFormat> m_soundFormat;

    bool m_connectorRead = false;
    PowerPoint::MsoTriState m_connector = 0;

    std::shared_ptr<CPptOleFormat> m_oleFormat;

    // Set for a duplicate: the range Duplicate returned, the second way to delete it.
    CComPtr<PowerPoint::ShapeRange> m_duplicateRange;
};

std::shared_ptr<CPptShape> CreatePptShape(PowerPoint::Shape* shape);

}  // namespace genswf
