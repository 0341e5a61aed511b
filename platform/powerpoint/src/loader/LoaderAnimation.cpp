// Slide transitions, the animation settings of the older model, and the timeline effects the
// application builds from those settings when a file holds no timeline of its own.

#include "LoaderInternal.h"

#include "libpptparser/PptAtoms.h"

#include <algorithm>

namespace PowerPoint {
namespace Loader {
namespace Detail {

using namespace Host;

namespace {

// Entry effects number their kind in the high byte and the variant in the low one.
PpEntryEffect EntryEffect(std::uint8_t effect, std::uint8_t direction)
{
    return static_cast<PpEntryEffect>(((effect + 1) << 8) | (direction + 1));
}

MsoAnimEffect TimelineEffect(std::uint8_t effect)
{
    switch (effect) {
    case 0: return msoAnimEffectAppear;
    case 2: return 3;   // blinds
    case 3: return 5;   // checkerboard
    case 5: return 9;   // dissolve
    case 6: return msoAnimEffectFade;
    case 8: return 14;  // random bars
    case 9: return 18;  // strips
    case 10: return 22; // wipe
    case 11: return 4;  // box
    case 12: return msoAnimEffectFly;
    case 13: return 16; // split
    case 17: return 8;  // diamond
    case 18: return 13; // plus
    case 19: return 20; // wedge
    case 1: return 24;  // random
    default: return msoAnimEffectAppear;
    }
}

MsoAnimDirection FlyDirection(std::uint8_t direction)
{
    switch (direction) {
    case 0: return msoAnimDirectionLeft;
    case 1: return msoAnimDirectionUp;
    case 2: return msoAnimDirectionRight;
    case 3: return msoAnimDirectionDown;
    default: return msoAnimDirectionNone;
    }
}

} // namespace

void ReadTransition(const CPptContainer& slideRecord, TransitionData& out)
{
    RecordPtr atom = FirstChild(&slideRecord, kSlideShowSlideInfoAtom);
    if (!atom)
        return;
    const CPptByteView b = atom->GetBytes();
    const std::int32_t time = S32(b, 0);
    const std::uint8_t direction = b.U8(8);
    const std::uint8_t effect = b.U8(9);
    const std::uint16_t flags = b.U16(10);
    out.advanceOnClick = (flags & 0x1) ? msoTrue : msoFalse;
    out.hidden = (flags & 0x4) ? msoTrue : msoFalse;
    out.advanceOnTime = (flags & 0x400) ? msoTrue : msoFalse;
    out.advanceTime = time > 0 ? static_cast<float>(time) / 1000.0f : 0.0f;
    if (effect == 0 && direction == 0 && !(flags & 0x400) && time <= 0)
        out.entryEffect = ppEffectNone;
    else
        out.entryEffect = EntryEffect(effect, direction);
    // A slide that moves on neither by click nor by time still moves on by click.
    if (out.advanceOnClick == msoFalse && out.advanceOnTime == msoFalse)
        out.advanceOnClick = msoTrue;
}

void ReadAnimationInfo(CLoadContext&, const CPptContainer& info, const ULONG* scheme, AnimationData& out)
{
    RecordPtr atom = FirstChild(&info, libpptparser::kRecordAnimationInfoAtom);
    if (!atom)
        return;
    const CPptByteView b = atom->GetBytes();
    const std::uint32_t dim = b.U32(0);
    const std::uint32_t flags = b.U32(4);
    const std::int32_t delay = S32(b, 12);
    const std::uint16_t order = b.U16(16);
    const std::uint8_t build = b.U8(20);
    const std::uint8_t effect = b.U8(21);
    const std::uint8_t direction = b.U8(22);
    const std::uint8_t after = b.U8(23);
    out.animate = msoTrue;
    out.animationOrder = order;
    out.animateTextInReverse = (flags & 0x1) ? msoTrue : msoFalse;
    out.animateBackground = (flags & 0x4000) ? msoTrue : msoFalse;
    out.advanceMode = (flags & 0x4) ? ppAdvanceOnTime : ppAdvanceOnClick;
    out.advanceTime = delay > 0 ? static_cast<float>(delay) / 1000.0f : 0.0f;
    // "Cut" of a shape is its appearing.
    out.entryEffect = effect == 0 ? ppEffectAppear : EntryEffect(effect, direction);
    static const PpAfterEffect kAfter[] = {ppAfterEffectNothing, ppAfterEffectDim, ppAfterEffectHide,
                                           ppAfterEffectHideOnClick};
    out.afterEffect = after < 4 ? kAfter[after] : ppAfterEffectNothing;
    out.textLevelEffect = build >= 2 && build <= 6 ? static_cast<PpTextLevelEffect>(build - 1) : ppAnimateLevelNone;
    const std::uint32_t index = dim >> 24;
    if (index == 0xFE || index == 0) {
        out.dimColor.rgb = dim & 0xFFFFFF;
    } else if (index < 8 && scheme) {
        out.dimColor.rgb = scheme[index];
        out.dimColor.scheme = static_cast<PpColorSchemeIndex>(index + 1);
    }
    // The effect itself is kept to build the timeline from.
    out.dimColor.scheme = out.dimColor.scheme;
    (void)direction;
}

void BuildEffects(CLoadContext&, CHostSlide& slide)
{
    std::vector<CHostShape*> animated;
    for (CHostShape* s : slide.shapes)
        if (s->data.animation.animate == msoTrue)
            animated.push_back(s);
    std::stable_sort(animated.begin(), animated.end(), [](const CHostShape* a, const CHostShape* b) {
        return a->data.animation.animationOrder < b->data.animation.animationOrder;
    });
    for (CHostShape* s : animated) {
        const AnimationData& a = s->data.animation;
        const std::uint8_t kind = static_cast<std::uint8_t>((a.entryEffect >> 8) - 1);
        const std::uint8_t direction = static_cast<std::uint8_t>((a.entryEffect & 0xFF) - 1);
        const MsoAnimEffect type = a.entryEffect == ppEffectAppear ? msoAnimEffectAppear : TimelineEffect(kind);
        // Text built by paragraphs gets one effect per first-level paragraph.
        std::vector<LONG> paragraphs;
        if (a.textLevelEffect != ppAnimateLevelNone && s->data.hasTextFrame == msoTrue) {
            const TextData& t = s->data.text;
            for (std::size_t p = 0; p < t.paragraphs.size(); ++p)
                if (t.paragraphs[p].indentLevel <= a.textLevelEffect)
                    paragraphs.push_back(static_cast<LONG>(p + 1));
            if (a.animateTextInReverse == msoTrue)
                std::reverse(paragraphs.begin(), paragraphs.end());
        }
        if (paragraphs.empty())
            paragraphs.push_back(0);
        bool first = true;
        for (LONG paragraph : paragraphs) {
            CHostEffect* e = slide.AddEffect(s, type);
            EffectData& d = e->data;
            d.paragraph = paragraph;
            d.triggerType = (first && a.advanceMode == ppAdvanceOnTime) ? msoAnimTriggerAfterPrevious
                                                                         : msoAnimTriggerOnPageClick;
            d.triggerDelayTime = first && a.advanceMode == ppAdvanceOnTime ? a.advanceTime : 0.0f;
            d.direction = type == msoAnimEffectFly ? FlyDirection(direction) : msoAnimDirectionNone;
            d.afterEffect = a.afterEffect;
            d.animateBackground = a.animateBackground;
            d.animateTextInReverse = a.animateTextInReverse;
            d.buildByLevelEffect = a.textLevelEffect == ppAnimateLevelNone ? msoAnimateLevelNone
                                                                           : msoAnimateTextByFirstLevel;
            first = false;
        }
    }
}

} // namespace Detail
} // namespace Loader
} // namespace PowerPoint
