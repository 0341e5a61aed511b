// Entry effects that reveal the shape through a mask sprite whose parts change every frame.

#include "genswf/animation/EntryEffects.h"

namespace genswf {

namespace {

// The mask technique: the mask sprite and the masked shape in two new tracks from the first
// frame, one mask part per frame in the mask's own track, the sprite hidden after the end.
class CMaskWriter {
public:
    CMaskWriter(CShapeObjectRecord& record, const std::shared_ptr<CFrameList>& frames, const EntryEffectFrames& f)
        : m_record(record), m_frames(f), m_mask(CreateTransitionMask(record.movie)) {
        auto maskTrack = frames->AddTrack();
        auto shapeTrack = frames->AddTrack();
        m_maskShow = maskTrack->AddShow(f.start, m_mask->GetId(), CMatrix());
        m_shapeTrack = shapeTrack;
        m_shapeShow = shapeTrack->AddShow(f.start, record.objectId, MovedShape(0.0f, 0.0f));
        m_shapeShow->maskId = m_maskShow->GetShowId();
        m_shapeShow->AddAttribute(L"maskId", m_maskShow->GetShowId());
        record.SetShowCommand(m_shapeShow);
        m_maskTrack = maskTrack;
    }

    CTransitionMask& Mask() { return *m_mask; }
    std::wstring BlackFill() { return m_record.movie->GetBlackFillStyleId(); }

    std::shared_ptr<CRectangleObject> BlackRectangle(float x, float y, float width, float height) {
        auto rectangle = m_mask->AddRectangle(x, y, width, height);
        rectangle->SetFillStyle(BlackFill());
        return rectangle;
    }

    std::shared_ptr<CRectangleObject> BlackRectangleIn(CShapeObject& shape, float x, float y, float width,
                                                       float height) {
        auto rectangle = shape.AddRectangle(x, y, width, height);
        rectangle->SetFillStyle(BlackFill());
        return rectangle;
    }

    // The part made for frame (start + step) becomes what the mask shows from then on.
    // Returns the show of the first part, which every later part replaces.
    const std::shared_ptr<CShowCommand>& ShowPart(std::uint32_t step, const std::shared_ptr<CMovieObject>& part) {
        if (!m_partShow)
            m_partShow = m_mask->GetTrack()->AddShow(step, part->GetId(), CMatrix());
        else
            m_mask->GetTrack()->AddReplace(step, m_partShow->GetShowId(), part->GetId(), CMatrix());
        return m_partShow;
    }

    // The masked shape's placement, moved by (dx, dy) from the record's first matrix.
    CMatrix MovedShape(float dx, float dy) const {
        CMatrix m = m_record.firstMatrix;
        m.Translate(dx, dy);
        return m;
    }

    void MoveShape(std::uint32_t frame, float dx, float dy) {
        if (frame == m_frames.start) {
            m_shapeShow->matrix = MovedShape(dx, dy);
            return;
        }
        m_shapeTrack->AddModify(frame, m_shapeShow->GetShowId(), MovedShape(dx, dy));
    }

    // Hides the mask after the last frame and writes its definition.
    void Finish() {
        m_maskTrack->AddHide(m_frames.end + 1, m_maskShow->GetShowId());
        m_mask->Write(m_record.GetObjectsElement());
    }

private:
    CShapeObjectRecord& m_record;
    EntryEffectFrames m_frames;
    CRefPtr<CTransitionMask> m_mask;
    std::shared_ptr<CFrameTrack> m_maskTrack;
    std::shared_ptr<CFrameTrack> m_shapeTrack;
    std::shared_ptr<CShowCommand> m_maskShow;
    std::shared_ptr<CShowCommand> m_shapeShow;
    std::shared_ptr<CShowCommand> m_partShow;
};

}  // namespace

CWipeTransition::CWipeTransition(int code) {
    switch (code) {
    case 2817:
        moveX = -1;
        growW = 1;
        startX = 1;
        startH = 1;
        break;
    case 2818:
        moveY = -1;
        growH = 1;
        startY = 1;
        startW = 1;
        break;
    case 2819:
        growW = 1;
        startH = 1;
        break;
    case 2820:
        growH = 1;
        startW = 1;
        break;
    default:
        break;
    }
}

void CWipeTransition::WriteFrames(CShapeObjectRecord& record, std::shared_ptr<CFrameList> frames,
                                  float startSeconds) const {
    const EntryEffectFrames f = Frames(record, startSeconds);
    const float w = record.width, h = record.height, n = static_cast<float>(f.n);
    // One unit of margin on every side, so no edge of the shape stays cut at the end.
    float left = record.x + w * startX - 1.0f;
    float top = record.y + h * startY - 1.0f;
    float width = w * startW + 2.0f;
    float height = h * startH + 2.0f;
    CMaskWriter writer(record, frames, f);
    for (std::uint32_t frame = f.start; frame <= f.end; ++frame) {
        writer.ShowPart(frame - f.start, writer.BlackRectangle(left, top, width, height));
        left += (w + 2.0f) * moveX / n;
        top += (h + 2.0f) * moveY / n;
        width += (w + 2.0f) * growW / n;
        height += (h + 2.0f) * growH / n;
    }
    writer.Finish();
}

CUncoverTransition::CUncoverTransition(int code) {
    Band left;  // from the right edge leftwards
    left.startX = 1;
    left.moveX = -1;
    left.startW = 0;
    left.growW = 1;
    Band up;  // from the bottom edge upwards
    up.startY = 1;
    up.moveY = -1;
    up.startH = 0;
    up.growH = 1;
    Band right;
    right.startW = 0;
    right.growW = 1;
    Band down;
    down.startH = 0;
    down.growH = 1;
    switch (code) {
    case 2049:
        first = left;
        break;
    case 2050:
        first = up;
        break;
    case 2051:
        first = right;
        break;
    case 2052:
        first = down;
        break;
    case 2053:
        first = left;
        second = up;
        twoRectangles = true;
        break;
    case 2054:
        first = right;
        second = up;
        twoRectangles = true;
        break;
    case 2055:
        first = left;
        second = down;
        twoRectangles = true;
        break;
    case 2056:
        first = right;
        second = down;
        twoRectangles = true;
        break;
    default:
        break;
    }
}

void CUncoverTransition::WriteFrames(CShapeObjectRecord& record, std::shared_ptr<CFrameList> frames,
                                     float startSeconds) const {
    const EntryEffectFrames f = Frames(record, startSeconds);
    const float w = record.width, h = record.height, n = static_cast<float>(f.n);
    CMaskWriter writer(record, frames, f);
    for (std::uint32_t frame = f.start; frame <= f.end; ++frame) {
        const float k = static_cast<float>(frame - f.start) / n;
        auto rect = [&](const Band& b, float& x, float& y, float& width, float& height) {
            x = record.x + w * b.startX + w * b.moveX * k;
            y = record.y + h * b.startY + h * b.moveY * k;
            width = w * b.startW + w * b.growW * k;
            height = h * b.startH + h * b.growH * k;
        };
        float x, y, width, height;
        rect(first, x, y, width, height);
        if (!twoRectangles) {
            writer.ShowPart(frame - f.start, writer.BlackRectangle(x, y, width, height));
            continue;
        }
        auto shape = writer.Mask().AddShape();
        writer.BlackRectangleIn(*shape, x, y, width, height);
        rect(second, x, y, width, height);
        writer.BlackRectangleIn(*shape, x, y, width, height);
        writer.ShowPart(frame - f.start, shape);
    }
    writer.Finish();
}

CBlindsTransition::CBlindsTransition(int code) {
    if (code == 769) {
        a = 1;
        d = 1.0f / 6.0f;
        f = 1.0f / 6.0f;
    } else if (code == 770) {
        b = 1;
        c = 1.0f / 6.0f;
        e = 1.0f / 6.0f;
    }
}

void CBlindsTransition::WriteFrames(CShapeObjectRecord& record, std::shared_ptr<CFrameList> frames,
                                    float startSeconds) const {
    const EntryEffectFrames fr = Frames(record, startSeconds);
    const float w = record.width, h = record.height, n = static_cast<float>(fr.n);
    CMaskWriter writer(record, frames, fr);
    for (std::uint32_t frame = fr.start; frame <= fr.end; ++frame) {
        const float k = static_cast<float>(frame - fr.start) / n;
        auto shape = writer.Mask().AddShape();
        for (int i = 0; i < 6; ++i) {
            writer.BlackRectangleIn(*shape, record.x + static_cast<float>(i) * e * w,
                                    record.y + static_cast<float>(i) * f * h, c * a * w + w * e * k,
                                    d * b * h + h * f * k);
        }
        writer.ShowPart(frame - fr.start, shape);
    }
    writer.Finish();
}

CBoxTransition::CBoxTransition(int code_) : code(code_) {
    if (code == 3073) {
        start = 0.5f;
        move = -0.5f;
        grow = 1;
    } else if (code == 3074) {
        move = 0.5f;
        size = 1;
        grow = -1;
    }
}

void CBoxTransition::WriteFrames(CShapeObjectRecord& record, std::shared_ptr<CFrameList> frames,
                                 float startSeconds) const {
    const EntryEffectFrames f = Frames(record, startSeconds);
    const float w = record.width, h = record.height, n = static_cast<float>(f.n);
    CMaskWriter writer(record, frames, f);
    for (std::uint32_t frame = f.start; frame <= f.end; ++frame) {
        const float k = static_cast<float>(frame - f.start) / n;
        const float bx = record.x + w * start + w * move * k;
        const float by = record.y + h * start + h * move * k;
        const float bw = w * size + w * grow * k;
        const float bh = h * size + h * grow * k;
        if (code != 3074) {
            writer.ShowPart(frame - f.start, writer.BlackRectangle(bx, by, bw, bh));
            continue;
        }
        // The bands around the box; the top and bottom ones take the corners.
        const float right = record.x + w, bottom = record.y + h;
        auto shape = writer.Mask().AddShape();
        writer.BlackRectangleIn(*shape, record.x, record.y, w, by - record.y);
        writer.BlackRectangleIn(*shape, record.x, by + bh, w, bottom - (by + bh));
        writer.BlackRectangleIn(*shape, record.x, by, bx - record.x, bh);
        writer.BlackRectangleIn(*shape, bx + bw, by, right - (bx + bw), bh);
        writer.ShowPart(frame - f.start, shape);
    }
    writer.Finish();
}

CSplitTransition::CSplitTransition(int code) {
    switch (code) {
    case 3585:
        startY1 = 0.5f;
        moveY1 = -0.5f;
        startY2 = 0.5f;
        startW = 1;
        growH = 0.5f;
        break;
    case 3586:
        startY2 = 1;
        moveY2 = -0.5f;
        startW = 1;
        growH = 0.5f;
        break;
    case 3587:
        startX1 = 0.5f;
        moveX1 = -0.5f;
        startX2 = 0.5f;
        startH = 1;
        growW = 0.5f;
        break;
    case 3588:
        startX2 = 1;
        moveX2 = -0.5f;
        startH = 1;
        growW = 0.5f;
        break;
    default:
        break;
    }
}

void CSplitTransition::WriteFrames(CShapeObjectRecord& record, std::shared_ptr<CFrameList> frames,
                                   float startSeconds) const {
    const EntryEffectFrames f = Frames(record, startSeconds);
    const float w = record.width, h = record.height, n = static_cast<float>(f.n);
    CMaskWriter writer(record, frames, f);
    for (std::uint32_t frame = f.start; frame <= f.end; ++frame) {
        const float k = static_cast<float>(frame - f.start) / n;
        const float width = w * startW + w * growW * k;
        const float height = h * startH + h * growH * k;
        auto shape = writer.Mask().AddShape();
        writer.BlackRectangleIn(*shape, record.x + w * startX1 + w * moveX1 * k,
                                record.y + h * startY1 + h * moveY1 * k, width, height);
        writer.BlackRectangleIn(*shape, record.x + w * startX2 + w * moveX2 * k,
                                record.y + h * startY2 + h * moveY2 * k, width, height);
        writer.ShowPart(frame - f.start, shape);
    }
    writer.Finish();
}

CStripsTransition::CStripsTransition(int code) {
    static const float table[4][5] = {
        {1, 1, 0, -1, -1},  // 2565 left up
        {0, -1, -1, 1, 1},  // 2566 right up
        {1, 0, 0, 1, -1},   // 2567 left down
        {0, 0, -1, -1, 1},  // 2568 right down
    };
    if (code >= 2565 && code <= 2568)
        for (int i = 0; i < 5; ++i) factors[i] = table[code - 2565][i];
}

void CStripsTransition::WriteFrames(CShapeObjectRecord& record, std::shared_ptr<CFrameList> frames,
                                    float startSeconds) const {
    const EntryEffectFrames f = Frames(record, startSeconds);
    const float w = record.width, h = record.height, n = static_cast<float>(f.n);
    CMaskWriter writer(record, frames, f);
    const float x0 = record.x + w * factors[0] + h * factors[1] + (w + h) * factors[2];
    auto shape = writer.Mask().AddShape();
    for (int k = 0; k < 15; ++k) {
        const float fk = static_cast<float>(k);
        writer.BlackRectangleIn(*shape, x0 + fk * (h / 14.0f) * factors[3], record.y - h / 14.0f + fk * h / 14.0f,
                                w + h, h / 7.0f);
    }
    const std::wstring showId = writer.ShowPart(0, shape)->GetShowId();
    auto track = writer.Mask().GetTrack();
    for (std::uint32_t frame = f.start + 1; frame <= f.end; ++frame) {
        CMatrix m;
        m.Translate((w + h) * factors[4] * static_cast<float>(frame - f.start) / n, 0.0f);
        track->AddModify(frame - f.start, showId, m);
    }
    writer.Finish();
}

CCoverTransition::CCoverTransition(int code) {
    switch (code) {
    case 1281:
    case 3339:
        dx = -1;
        offsetX = 1;
        break;
    case 1282:
    case 3338:
        dy = -1;
        offsetY = 1;
        break;
    case 1283:
    case 3337:
        dx = 1;
        offsetX = -1;
        break;
    case 1284:
    case 3340:
        dy = 1;
        offsetY = -1;
        break;
    case 1285:
        dx = -1;
        dy = -1;
        offsetX = 1;
        offsetY = 1;
        break;
    case 1286:
        dx = 1;
        dy = -1;
        offsetX = -1;
        offsetY = 1;
        break;
    case 1287:
        dx = -1;
        dy = 1;
        offsetX = 1;
        offsetY = -1;
        break;
    case 1288:
        dx = 1;
        dy = 1;
        offsetX = -1;
        offsetY = -1;
        break;
    default:
        break;
    }
}

void CCoverTransition::WriteFrames(CShapeObjectRecord& record, std::shared_ptr<CFrameList> frames,
                                   float startSeconds) const {
    const EntryEffectFrames f = Frames(record, startSeconds);
    const float w = record.width, h = record.height, n = static_cast<float>(f.n);
    CMaskWriter writer(record, frames, f);
    writer.ShowPart(0, writer.BlackRectangle(record.x, record.y, w, h));
    for (std::uint32_t frame = f.start; frame <= f.end; ++frame) {
        const float k = static_cast<float>(frame - f.start) / n;
        writer.MoveShape(frame, w * offsetX + w * dx * k, h * offsetY + h * dy * k);
    }
    writer.Finish();
}

void CDefaultTransition::WriteFrames(CShapeObjectRecord& record, std::shared_ptr<CFrameList> frames,
                                     float startSeconds) const {
    const EntryEffectFrames f = Frames(record, startSeconds);
    auto rectangle = CreateRectangleObject(record.movie, record.x, record.y, record.width, record.height);
    rectangle->SetFillStyle(record.movie->GetBlackFillStyleId());
    auto rectangleShow = frames->AddTrack()->AddShow(f.start, rectangle->GetId(), CMatrix());
    auto shapeShow = frames->AddTrack()->AddShow(f.start, record.objectId, record.firstMatrix);
    shapeShow->maskId = rectangleShow->GetShowId();
    shapeShow->AddAttribute(L"maskId", rectangleShow->GetShowId());
    record.SetShowCommand(shapeShow);
    rectangle->Write(record.GetObjectsElement());
}

}  // namespace genswf
