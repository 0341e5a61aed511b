// Slide transitions, the animation settings of the older model, and the timeline effects the
// application builds from those settings when a file holds no timeline of its own.

#include "LoaderInternal.h"

#include "libpptparser/PptAtoms.h"

#include <algorithm>
#include <map>

namespace PowerPoint {
namespace Loader {
namespace Detail {

using namespace Host;

namespace {

// Entry effects number their kind in the high byte and the variant in the low one.
PpEntryEffect EntryEffect(std::uint8_t effect, std::uint8_t direction) {
    return static_cast<PpEntryEffect>(((effect + 1) << 8) | (direction + 1));
}

MsoAnimEffect TimelineEffect(std::uint8_t effect) {
    switch (effect) {
    case 0:
        return msoAnimEffectAppear;
    case 2:
        return 3;  // blinds
    case 3:
        return 5;  // checkerboard
    case 5:
        return 9;  // dissolve
    case 6:
        return msoAnimEffectFade;
    case 8:
        return 14;  // random bars
    case 9:
        return 18;  // strips
    case 10:
        return 22;  // wipe
    case 11:
        return 4;  // box
    case 12:
        return msoAnimEffectFly;
    case 13:
        return 16;  // split
    case 17:
        return 8;  // diamond
    case 18:
        return 13;  // plus
    case 19:
        return 20;  // wedge
    case 1:
        return 24;  // random
    default:
        return msoAnimEffectAppear;
    }
}

MsoAnimDirection FlyDirection(std::uint8_t direction) {
    switch (direction) {
    case 0:
        return msoAnimDirectionLeft;
    case 1:
        return msoAnimDirectionUp;
    case 2:
        return msoAnimDirectionRight;
    case 3:
        return msoAnimDirectionDown;
    default:
        return msoAnimDirectionNone;
    }
}

}  // namespace

void ReadTransition(const CPptContainer& slideRecord, TransitionData& out) {
    RecordPtr atom = FirstChild(&slideRecord, kSlideShowSlideInfoAtom);
    if (!atom) return;
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
    if (out.advanceOnClick == msoFalse && out.advanceOnTime == msoFalse) out.advanceOnClick = msoTrue;
}

void ReadAnimationInfo(CLoadContext&, const CPptContainer& info, const ULONG* scheme, AnimationData& out) {
    RecordPtr atom = FirstChild(&info, libpptparser::kRecordAnimationInfoAtom);
    if (!atom) return;
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
}

void BuildEffects(CLoadContext&, CHostSlide& slide) {
    std::vector<CHostShape*> animated;
    for (CHostShape* s : slide.shapes)
        if (s->data.animation.animate == msoTrue) animated.push_back(s);
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
                if (t.paragraphs[p].indentLevel <= a.textLevelEffect) paragraphs.push_back(static_cast<LONG>(p + 1));
            if (a.animateTextInReverse == msoTrue) std::reverse(paragraphs.begin(), paragraphs.end());
        }
        if (paragraphs.empty()) paragraphs.push_back(0);
        bool first = true;
        for (LONG paragraph : paragraphs) {
            CHostEffect* e = slide.AddEffect(s, type);
            EffectData& d = e->data;
            d.paragraph = paragraph;
            d.triggerType =
                (first && a.advanceMode == ppAdvanceOnTime) ? msoAnimTriggerAfterPrevious : msoAnimTriggerOnPageClick;
            d.triggerDelayTime = first && a.advanceMode == ppAdvanceOnTime ? a.advanceTime : 0.0f;
            d.direction = type == msoAnimEffectFly ? FlyDirection(direction) : msoAnimDirectionNone;
            d.afterEffect = a.afterEffect;
            d.animateBackground = a.animateBackground;
            d.animateTextInReverse = a.animateTextInReverse;
            d.buildByLevelEffect =
                a.textLevelEffect == ppAnimateLevelNone ? msoAnimateLevelNone : msoAnimateTextByFirstLevel;
            first = false;
        }
    }
}

namespace {

// Time nodes nest by their records; deeper nesting is not followed.
constexpr int kMaxTimeDepth = 32;

constexpr std::uint16_t kTimeNode = 0xF144, kTimePropertyList = 0xF13D, kTimeVariant = 0xF142, kTimeCondition = 0xF125,
                        kTimeConditionAtom = 0xF128, kVisualShapeAtom = 11003;

struct TimelineReader {
    CLoadContext& ctx;
    CHostSlide& slide;
    const std::map<std::uint32_t, CHostShape*>& shapes;
    int effects = 0;

    // An integer property of a node's property list; `fallback` when absent.
    static std::int32_t Property(const CPptContainer& node, std::uint16_t id, std::int32_t fallback) {
        ContainerPtr list = ChildContainer(&node, kTimePropertyList);
        RecordPtr v = FirstChild(list.get(), kTimeVariant, id);
        if (!v || v->GetBytes().U8(0) != 1) return fallback;
        return S32(v->GetBytes(), 1);
    }

    // The first shape target in the node's subtree.
    static const CPptRecord* Target(const CPptContainer& node, int depth) {
        if (depth > kMaxTimeDepth) return nullptr;
        for (const RecordPtr& r : node.GetChildren()) {
            if (r->GetType() == kVisualShapeAtom) return r.get();
            if (ContainerPtr c = AsContainer(r))
                if (const CPptRecord* t = Target(*c, depth + 1)) return t;
        }
        return nullptr;
    }

    void Effect(const CPptContainer& node, std::int32_t nodeType) {
        const CPptRecord* target = Target(node, 0);
        if (!target) return;
        const CPptByteView t = target->GetBytes();
        auto it = shapes.find(t.U32(8));
        if (it == shapes.end()) {
            ctx.Warn(L"an animation names shape " + std::to_wstring(t.U32(8)) + L", which its slide does not hold");
            return;
        }
        CHostShape* shape = it->second;
        const std::int32_t presetClass = Property(node, 0x0B, 1);
        if (presetClass == 5) return;  // object verbs have no effect of their own
        std::int32_t type = Property(node, 0x09, msoAnimEffectAppear);
        if (presetClass == 6)  // media: play, pause, stop
            type = 83 + std::max(0, std::min(2, type - 1));
        CHostEffect* e = slide.AddEffect(shape, type);
        EffectData& d = e->data;
        d.exit = presetClass == 2 ? msoTrue : msoFalse;
        d.triggerType = nodeType == 2   ? msoAnimTriggerWithPrevious
                        : nodeType == 3 ? msoAnimTriggerAfterPrevious
                                        : msoAnimTriggerOnPageClick;
        switch (Property(node, 0x0A, 0)) {
        case 1:
            d.direction = msoAnimDirectionUp;
            break;
        case 2:
            d.direction = msoAnimDirectionRight;
            break;
        case 4:
            d.direction = msoAnimDirectionDown;
            break;
        case 8:
            d.direction = msoAnimDirectionLeft;
            break;
        default:
            d.direction = msoAnimDirectionNone;
            break;
        }
        d.afterEffect = Property(node, 0x0D, 0);
        for (const RecordPtr& r : node.GetChildren()) {
            ContainerPtr c = AsContainer(r);
            if (!c || r->GetType() != kTimeCondition || r->GetInstance() != 1) continue;
            if (RecordPtr a = FirstChild(c.get(), kTimeConditionAtom)) {
                const std::int32_t delay = S32(a->GetBytes(), 12);
                if (delay > 0) d.triggerDelayTime = static_cast<float>(delay) / 1000.0f;
            }
            break;
        }
        // A text range target animates the paragraph it starts in.
        if (t.U32(0) == 2 && shape->data.hasTextFrame == msoTrue) {
            const std::wstring& text = shape->data.text.text;
            const std::size_t begin = std::min<std::size_t>(t.U32(12), text.size());
            d.paragraph =
                static_cast<LONG>(std::count(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(begin), L'\r')) +
                1;
        }
        ++effects;
    }

    void Walk(const CPptContainer& node, int depth, bool inMain) {
        if (depth > kMaxTimeDepth) {
            ctx.Warn(L"a timeline nested too deep was cut");
            return;
        }
        const std::int32_t nodeType = Property(node, 0x14, 0);
        if (nodeType == 5) return;  // interactive sequences start on a shape's click, not in the main sequence
        if (inMain && nodeType >= 1 && nodeType <= 3) {
            Effect(node, nodeType);
            return;
        }
        for (const RecordPtr& r : node.GetChildren())
            if (r->GetType() == kTimeNode)
                if (ContainerPtr c = AsContainer(r)) Walk(*c, depth + 1, inMain || nodeType == 4);
    }
};

}  // namespace

bool ReadTimeline(CLoadContext& ctx, const CPptContainer& slideRecord, CHostSlide& slide) {
    ContainerPtr tags = ChildContainer(&slideRecord, libpptparser::kRecordProgTags);
    if (!tags) return false;
    ContainerPtr root;
    for (const RecordPtr& r : tags->GetChildren()) {
        ContainerPtr bin = AsContainer(r);
        if (!bin || r->GetType() != libpptparser::kRecordProgBinaryTag || CStringChild(bin.get(), 0) != L"___PPT10")
            continue;
        root = ChildContainer(ChildContainer(bin.get(), libpptparser::kRecordBinaryTagData).get(), kTimeNode);
        break;
    }
    if (!root) return false;
    std::map<std::uint32_t, CHostShape*> shapes;
    for (CHostShape* s : slide.shapes) shapes[static_cast<std::uint32_t>(s->data.id)] = s;
    TimelineReader reader{ctx, slide, shapes};
    reader.Walk(*root, 0, false);
    return true;
}

}  // namespace Detail
}  // namespace Loader
}  // namespace PowerPoint
