// The output side of a shape on the path without a timeline: the pictures PowerPoint renders of
// it, their definitions and buttons in the movie, its text sprites and the sprite that plays a
// sound shape's sound.

#include "genswf/shapes/Shape.h"

#include "ShapeGeometry.h"
#include "genswf/animation/EffectRegistry.h"
#include "genswf/movie/ExportSettings.h"
#include "genswf/movie/Movie.h"
#include "genswf/ppt/PptAnimationSettings.h"
#include "genswf/ppt/PptShape.h"
#include "genswf/ppt/PptSoundFormat.h"
#include "genswf/shapes/EmbeddedMovie.h"
#include "genswf/shapes/MediaProbe.h"
#include "genswf/slides/Slide.h"
#include "genswf/slides/SlideActions.h"
#include "genswf/text/ShapeTextIndex.h"
#include "genswf/utils/Exceptions.h"

#include <algorithm>

namespace genswf {

namespace {

void SetColor(PowerPoint::ColorFormat* color, ULONG rgb) {
    if (!color) THROW_PPT_EXCEPTION();
    CHECK_PPT_HR(color->put_RGB(rgb));
}

// Fore and back colour of a fill or line in one colour.
template <class Format>
void Recolor(Format* format, ULONG rgb) {
    CComPtr<PowerPoint::ColorFormat> fore;
    CHECK_PPT_HR(format->get_ForeColor(&fore));
    SetColor(fore, rgb);
    CComPtr<PowerPoint::ColorFormat> back;
    CHECK_PPT_HR(format->get_BackColor(&back));
    SetColor(back, rgb);
}

}  // namespace

std::wstring CShape::PicturePath(const std::wstring& id, bool wmf) const {
    const CRefPtr<CEffectRegistry> registry = CEffectRegistry::GetRequiredGlobal();
    return IncludeTrailingBackslash(m_pictureFolder) + id + L"." + (wmf ? L"wmf" : registry->GetPictureFormat());
}

bool CShape::ExportPicture(CPptShape& shape, const std::wstring& path, bool wmf) const {
    const CRefPtr<CEffectRegistry> registry = CEffectRegistry::GetRequiredGlobal();
    const PowerPoint::PpShapeFormat filter =
        wmf ? PowerPoint::ppShapeFormatWMF : static_cast<PowerPoint::PpShapeFormat>(registry->GetPictureFilter());
    const auto width = static_cast<LONG>(m_movie->ScaleX(m_movie->GetSlideWidth()));
    const auto height = static_cast<LONG>(m_movie->ScaleY(m_movie->GetSlideHeight()));
    return shape.Export(path, filter, width, height, PowerPoint::ppScaleXY);
}

void CShape::SavePictures(const std::wstring& folder) {
    if (!m_exportAsPicture) return;
    m_pictureFolder = folder;
    if (m_embeddedMovie) {
        m_embeddedMovie->WriteSpriteFile(m_movie, folder);
        return;
    }

    CShapeCopy copy(m_pptShape->Duplicate());
    if (copy->GetHasTextFrame() != PowerPoint::msoFalse) {
        CComPtr<PowerPoint::TextFrame> frame;
        frame.Attach(copy->GetTextFramePtr());
        CHECK_PPT_HR(frame->put_AutoSize(PowerPoint::ppAutoSizeNone));
    }
    // What PowerPoint cannot unturn stays turned in the picture; the movie must not turn it again.
    if (!m_pptShape->CanSetRotation() || !copy->SetRotation(0.0f)) m_rotation = 0.0f;
    // The text goes into the movie as text of its own.
    copy->DeleteText();

    m_imageId = m_movie->NewImageId();
    m_imageFile = PicturePath(m_imageId, false);
    if (!ExportPicture(*copy, m_imageFile, false)) {
        m_imageFile = PicturePath(m_imageId, true);
        if (!ExportPicture(*copy, m_imageFile, true))
            throw CPPTException(LocatedMessage(L"Faied to save shape background", __FILE__, 467));
    }

    if (IsAnimated() && m_animationSettings->GetAfterEffect() == PowerPoint::ppAfterEffectDim) SaveDimPicture(*copy);
    copy.Finish();
}

void CShape::SaveDimPicture(CPptShape& copy) {
    using namespace PowerPoint;
    const ULONG dim = m_animationSettings->GetDimColor();
    if (m_type == msoLinkedOLEObject || m_type == msoLinkedPicture || m_type == msoPicture) {
        CComPtr<PictureFormat> picture;
        picture.Attach(copy.GetPictureFormatPtr());
        if (picture->put_Brightness(0.0f) >= 0 && picture->put_Contrast(0.0f) >= 0) {
            m_dimRed = static_cast<int>(dim & 0xFF);
            m_dimGreen = static_cast<int>((dim >> 8) & 0xFF);
            m_dimBlue = static_cast<int>((dim >> 16) & 0xFF);
        }
    }
    if (m_type >= msoAutoShape && m_type <= msoTable) {
        if (m_fillVisible != msoFalse) {
            CComPtr<FillFormat> fill;
            fill.Attach(copy.GetFillPtr());
            Recolor(fill.Get(), dim);
        }
        if (m_lineVisible != msoFalse) {
            CComPtr<LineFormat> line;
            line.Attach(copy.GetLinePtr());
            Recolor(line.Get(), dim);
        }
    }
    m_dimImageId = m_movie->NewImageId();
    m_dimImageFile = PicturePath(m_dimImageId, false);
    if (!ExportPicture(copy, m_dimImageFile, false)) {
        m_dimImageFile = PicturePath(m_dimImageId, true);
        if (!ExportPicture(copy, m_dimImageFile, true))
            throw CPPTException(LocatedMessage(L"PowerPoint failed to save shape background", __FILE__, 569));
    }
}

void CShape::WriteImageDefinition(const std::wstring& id, const std::wstring& file) {
    const CRefPtr<CEffectRegistry> registry = CEffectRegistry::GetRequiredGlobal();
    // The compiler draws a metafile as a sprite of the shape's size, not as an image.
    if (file.size() >= 4 && ToLowerCase(file.substr(file.size() - 4)) == L".wmf") {
        XmlElementPtr sprite = m_movie->WriteSprite(m_definitionsParent, id);
        m_movie->SetElementAttribute(sprite, L"src", file);
        // A straight line has no height (or width); the compiler needs a size to scale to.
        const float width = std::max(1.0f, m_movie->ScaleX(m_boundsWidth));
        const float height = std::max(1.0f, m_movie->ScaleY(m_boundsHeight));
        m_movie->SetAttribute(sprite, m_movie->CreateFloatAttribute(L"width", width));
        m_movie->SetAttribute(sprite, m_movie->CreateFloatAttribute(L"height", height));
        return;
    }
    // Only the version without a timeline sizes its pictures; later ones take the file's size.
    const float width = registry->IsVersion9() ? m_movie->ScaleX(m_boundsWidth) : 0.0f;
    const float height = registry->IsVersion9() ? m_movie->ScaleY(m_boundsHeight) : 0.0f;
    XmlElementPtr image =
        m_movie->WriteImage(m_definitionsParent, id, file, 0.0f, 0.0f, width, height, m_movie->GetJpegQuality());
    const std::shared_ptr<CExportSettings>& settings = m_movie->GetExportSettings();
    if (!settings || settings->GetImageSmoothing())
        m_movie->SetAttribute(image, m_movie->CreateIntAttribute(L"smoothing", 1));
}

void CShape::ExportDefinitions(const XmlElementPtr& parent) {
    m_definitionsParent = parent;
    if (m_exportAsPicture && m_type != PowerPoint::msoMedia) {
        if (m_embeddedMovie) {
            if (!m_embeddedMovie->GetSpriteId().empty()) m_embeddedMovie->WriteSpriteElement(parent);
        } else if (!m_imageId.empty()) {
            const bool linked = !m_actionSettings->IsEmpty();
            const LONG slideIndex = m_slide->GetSlideIndex();
            WriteImageDefinition(m_imageId, m_imageFile);
            if (linked) {
                m_button = CreateButtonObject(m_movie, nullptr, m_imageId, m_imageId, m_imageId, m_imageId);
                m_movie->AddHyperlinkSource(CreateHyperlinkButton(m_button, m_actionSettings, slideIndex));
            }
            if (!m_dimImageId.empty()) {
                WriteImageDefinition(m_dimImageId, m_dimImageFile);
                if (linked) {
                    m_dimButton =
                        CreateButtonObject(m_movie, nullptr, m_dimImageId, m_dimImageId, m_dimImageId, m_dimImageId);
                    m_movie->AddHyperlinkSource(CreateHyperlinkButton(m_dimButton, m_actionSettings, slideIndex));
                }
            }
            if (m_button) m_button->Write(parent);
            if (m_dimButton) m_dimButton->Write(parent);
        }
    }
    if (m_hasTextFrame && m_textIndex) m_textIndex->WriteTextSprites(parent);
    if (m_type == PowerPoint::msoMedia && m_pptShape->GetMediaType() == PowerPoint::ppMediaTypeSound)
        ExportSoundShape();
}

void CShape::ExportSoundShape() {
    m_movie->Log(L"Exporting sound shape");
    const std::shared_ptr<CPptSoundFormat> sound = m_pptShape->GetSoundFormat();
    std::wstring path = sound->GetSourceFullName();
    m_movie->Log(L"Sound path is " + path);
    m_movie->Log(L"Attempt to load sound path indirectly");

    bool opened = false;
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (!path.empty() && FileExists(path)) {
            m_movie->Log(L"Opening sound file " + path);
            CMediaProbe probe;
            if (probe.Open(path)) {
                m_movie->Log(L"Sound file is successfully opened");
                opened = true;
            } else {
                m_movie->Log(L"Sound opening error. Error code is: " + UIntToWString(probe.GetLastError()));
            }
            probe.Close();
        }
        if (opened || attempt == 1) break;
        // PowerPoint holds the sound itself; it writes a copy that can be used.
        const wchar_t* extension = sound->GetType() == PowerPoint::ppSoundWAV ? L".wav" : L".mp3";
        path = m_movie->GetTempFolder() + m_movie->MakeSoundId() + extension;
        sound->Export(path);
        m_movie->Log(L"Attempt to export sound into file " + path);
    }
    if (!opened) {
        // PowerPoint's own copy is no sound either: the compiler would refuse the whole movie
        // for it, so the movie goes without this one sound.
        m_movie->Warn(L"Slide " + IntToWString(m_slide ? m_slide->GetSlideIndex() + 1 : 0) + L", shape " +
                      IntToWString(m_index + 1) + L": its sound cannot be played and is left out.");
        return;
    }

    std::shared_ptr<CSpriteObject> sprite = CreateSpriteObject(m_movie);
    std::shared_ptr<CSoundObject> soundObject = sprite->objects->AddSound(path);
    soundObject->mp3Quality = m_movie->GetMp3Quality();
    std::shared_ptr<CFrameTrack> track = sprite->layers->AddLayer()->AddTrack();
    track->AddStartSoundStream(0, soundObject->GetId())->stopOnFinish = true;
    sprite->Write(m_definitionsParent);
    m_soundSprite = CRefPtr<CSoundSpriteRecord>(new CSoundSpriteRecord(sprite->GetId()));
}

}  // namespace genswf
