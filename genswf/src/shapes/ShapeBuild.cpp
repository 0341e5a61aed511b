// A shape's side of the slide build without a timeline: where its picture and text pieces are
// placed, when each is shown, hidden or replaced by its dimmed picture, and the frames that say so.

#include "genswf/shapes/Shape.h"

#include "genswf/animation/EffectRegistry.h"
#include "genswf/movie/Movie.h"
#include "genswf/movie/MovieFrames.h"
#include "genswf/ppt/PptAnimationSettings.h"
#include "genswf/shapes/EmbeddedMovie.h"
#include "genswf/text/ShapeTextIndex.h"
#include "genswf/text/TextSprite.h"

#include <algorithm>

namespace genswf {

namespace {

constexpr float kDegreesToRadians = 3.14159265358979f / 180.0f;

}  // namespace

bool CShape::HasPlaceablePicture() const {
    if (!m_exportAsPicture) return false;
    if (m_soundSprite) return true;
    // A media shape gets no image definition; without its sound there is nothing to show.
    if (m_type == PowerPoint::msoMedia) return false;
    if (m_embeddedMovie) return !m_embeddedMovie->GetSpriteId().empty();
    return !m_imageId.empty();
}

void CShape::ExportBuild(float& clock, float& lastDuration) {
    using namespace PowerPoint;
    float delay = lastDuration;
    float advance = 0.0f;
    int code = 0;
    const bool animated = IsAnimated();
    if (animated) {
        advance = m_animationSettings->GetAdvanceMode() == ppAdvanceOnClick ? m_movie->GetTimeMargin()
                                                                            : m_animationSettings->GetAdvanceTime();
        delay = std::max(delay, advance);
        code = m_animationSettings->GetEntryEffect();
    }
    const CRefPtr<CEffectRegistry> registry = CEffectRegistry::GetRequiredGlobal();
    const CRefPtr<CTransitionEffect> effect = registry->GetEffect(code);
    advance = std::max(advance, effect->GetDuration());

    const bool picture = HasPlaceablePicture();
    const bool text = m_hasTextFrame && m_textIndex;
    if (picture && !text) {
        clock += delay;
        lastDuration = PlacePicture(clock, effect, true);
    } else if (!picture && text) {
        clock += delay;
        lastDuration = PlaceText(clock, effect, advance, false);
    } else if (!picture) {
        return;
    } else if (animated && code != 0 && m_animationSettings->GetAnimateBackground() != msoFalse) {
        clock += delay;
        if (m_animationSettings->GetTextLevelEffect() == ppAnimateByAllLevels) {
            PlacePicture(clock, effect, true);
            lastDuration = PlaceText(clock, effect, advance, true);
        } else {
            lastDuration = PlacePicture(clock, effect, true);
            clock += advance;
            lastDuration = PlaceText(clock, effect, advance, false);
        }
    } else if (animated && code != 0) {
        // Only the text is built; the shape behind it is there from the start.
        lastDuration = 0.0f;
        PlacePicture(0.0f, registry->GetEffect(0), false);
        clock += delay;
        lastDuration = PlaceText(clock, effect, advance, false);
    } else {
        const float start = static_cast<float>(m_movie->GetStartFrame()) / static_cast<float>(m_movie->GetFrameRate());
        PlacePicture(start, effect, false);
        PlaceText(start, effect, advance, false);
    }
}

float CShape::PlacePicture(float time, const CRefPtr<CTransitionEffect>& effect, bool pending) {
    std::wstring id = GetImageId();
    CMatrix matrix;
    if (m_embeddedMovie && !m_embeddedMovie->GetSpriteId().empty()) {
        id = m_embeddedMovie->GetSpriteId();
        matrix = m_embeddedMovie->GetFitMatrix();
        matrix.Scale(m_movie->ScaleX(1.0f), m_movie->ScaleY(1.0f));
    }
    // The picture covers the bounds and turns about the shape's centre.
    matrix.Translate(-m_movie->ScaleX(m_centerX - m_boundsLeft), -m_movie->ScaleY(m_centerY - m_boundsTop));
    matrix.Rotate(m_rotation * kDegreesToRadians);
    matrix.Translate(m_movie->ScaleX(m_centerX), m_movie->ScaleY(m_centerY));

    const Rect bounds = GetRotatedPictureBounds();
    m_placedPicture = CreateShapeObjectRecord(m_movie, m_definitionsParent, id, bounds.x, bounds.y, bounds.width,
                                              bounds.height, matrix);
    m_placedRecord = CRefPtr<CPlacedRecord>(new CPlacedRecord(m_placedPicture));
    m_placedRecord->soundSprite = m_soundSprite;
    m_placedRecord->show = CRefPtr<CShowEvent>(new CShowEvent(time, m_placedRecord.Get(), effect));
    if (pending) m_pictureObjects.push_back(m_placedRecord);

    if (IsAnimated() && pending) {
        const PowerPoint::PpAfterEffect after = m_animationSettings->GetAfterEffect();
        if (after == PowerPoint::ppAfterEffectHide)
            HideAll(time + effect->GetDuration());
        else if (after == PowerPoint::ppAfterEffectDim)
            m_placedRecord->dimId = GetDimImageId();
    }
    return effect->GetDuration();
}

float CShape::PlaceText(float clock, const CRefPtr<CTransitionEffect>& effect, float advance, bool sameStep) {
    using namespace PowerPoint;
    if (!m_textIndex) return effect->GetDuration();
    const std::size_t n = m_textIndex->GetTextSpriteCount();
    const bool animated = IsAnimated();
    const bool reverse = animated && m_animationSettings->GetAnimateTextInReverse() != msoFalse;
    const PpAfterEffect after = animated ? m_animationSettings->GetAfterEffect() : ppAfterEffectNothing;
    for (std::size_t k = 0; k < n; ++k) {
        const std::size_t i = reverse ? n - 1 - k : k;
        const CRefPtr<CTextSprite> sprite = m_textIndex->GetTextSprite(i);
        CRefPtr<CShapeObjectRecord> placed;
        if (sprite) placed = sprite->GetPlacementRecord();
        if (!placed) continue;  // a piece that was never written has nothing to show
        CRefPtr<CPlacedRecord> record(new CPlacedRecord(placed));
        record->show = CRefPtr<CShowEvent>(new CShowEvent(clock, record.Get(), effect));
        if (after == ppAfterEffectHide) {
            record->hide = CRefPtr<CHideEvent>(new CHideEvent(clock + effect->GetDuration(), record.Get()));
        } else if (after == ppAfterEffectDim) {
            if (!sameStep) DimAll(clock);
            if (i < m_textIndex->GetDimmedTextSpriteCount())
                if (const CRefPtr<CTextSprite> dimmed = m_textIndex->GetDimmedTextSprite(i))
                    record->dimId = dimmed->GetId();
        } else if (after == ppAfterEffectHideOnClick) {
            if (!sameStep) HideAll(clock);
        }
        if (k + 1 < n) clock += advance;
        m_pictureObjects.push_back(record);
        m_textObjects.push_back(record);
    }
    return effect->GetDuration();
}

void CShape::HideAll(float time) {
    for (const CRefPtr<CPlacedRecord>& record : m_pictureObjects) {
        // A piece that hides itself earlier keeps that time.
        if (record->hide && record->hide->time <= time) continue;
        record->hide = CRefPtr<CHideEvent>(new CHideEvent(time, record.Get()));
    }
    m_pictureObjects.clear();
}

void CShape::DimAll(float time) {
    for (const CRefPtr<CPlacedRecord>& record : m_pictureObjects) {
        // Without a dimmed picture there is nothing to show in its place.
        if (record->dimId.empty()) continue;
        record->replace = CRefPtr<CReplaceEvent>(
            new CReplaceEvent(time, record.Get(), record->dimId, m_dimRed, m_dimGreen, m_dimBlue));
    }
    // The dim colour is added once.
    m_dimRed = m_dimGreen = m_dimBlue = 0;
    m_pictureObjects.clear();
}

void CShape::WriteRecord(CPlacedRecord& record) {
    CShapeObjectRecord& object = *record.object;
    const int rate = m_movie->GetFrameRate();
    if (record.soundSprite) {
        const std::uint32_t frame = SecondsToFrame(rate, record.show ? record.show->time : 0.0f);
        object.SetShowCommand(m_frameList->AddTrack()->AddShow(frame, record.soundSprite->spriteId, CMatrix()));
    } else if (record.show && record.show->effect) {
        record.show->effect->WriteFrames(object, m_frameList, record.show->time);
    }
    const std::shared_ptr<CShowCommand>& shown = object.GetShowCommand();
    if (!shown) return;
    CFrameTrack* track = shown->GetTrack();
    if (!record.hide && record.replace) {
        const std::uint32_t frame = SecondsToFrame(rate, record.replace->time);
        track->AddHide(frame, shown->GetShowId());
        std::shared_ptr<CShowCommand> dimmed =
            m_frameList->AddTrack()->AddShow(frame, record.replace->newId, object.secondMatrix);
        dimmed->shiftRed = record.replace->red;
        dimmed->shiftGreen = record.replace->green;
        dimmed->shiftBlue = record.replace->blue;
    } else if (record.hide) {
        track->AddHide(SecondsToFrame(rate, record.hide->time), shown->GetShowId());
    }
}

void CShape::WriteFrames() {
    m_frameList = CreateFrameList(m_movie);
    if (m_placedRecord) WriteRecord(*m_placedRecord);
    for (const CRefPtr<CPlacedRecord>& record : m_textObjects) WriteRecord(*record);
}

void CShape::WriteLayer(const XmlElementPtr& parent, int frameOffset) {
    if (!m_frameList || m_frameList->GetTracks().empty()) return;
    XmlElementPtr layer = m_movie->WriteLayer(parent);
    m_frameList->Write(layer, static_cast<std::uint32_t>(std::max(0, frameOffset)));
}

}  // namespace genswf
