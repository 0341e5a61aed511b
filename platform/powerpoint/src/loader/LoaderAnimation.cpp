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
    RecordPtr atom = FirstChild(&slideRecord, libpptparser::kRecordSlideShowSlideInfoAtom);
    if (!atom) return;
    const CPptByteView b = atom->GetBytes();
    const std::int32_t time = b.I32(0);
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
    const std::int32_t delay = b.I32(12);
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
            d.afterEffect = a.afterEffect == ppAfterEffectDim           ? msoAnimAfterEffectDim
                            : a.afterEffect == ppAfterEffectHide        ? msoAnimAfterEffectHide
                            : a.afterEffect == ppAfterEffectHideOnClick ? msoAnimAfterEffectHideOnNextClick
                                                                        : msoAnimAfterEffectNone;
            d.dimColor = a.dimColor;
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

// Properties of a time node.
constexpr std::uint16_t kPresetId = 0x09, kPresetSubtype = 0x0A, kPresetClass = 0x0B, kAfterEffectNode = 0x0D,
                        kNodeType = 0x14;

// The roles of time nodes.
enum : std::int32_t {
    kClickEffect = 1,
    kWithEffect = 2,
    kAfterEffect = 3,
    kMainSequence = 4,
    kInteractiveSequence = 5
};

// Event of a condition: the slide show's "next" (a click anywhere).
constexpr std::uint32_t kEventNext = 9;

// Emphasis presets and the object model's numbers for them; the others have none of their own.
MsoAnimEffect EmphasisEffect(std::int32_t preset) {
    static const std::pair<std::int32_t, MsoAnimEffect> kTable[] = {
        {1, 54},  {2, 55},  {3, 56},  {4, 57},  {5, 58},  {6, 59},  {7, 60},  {8, 61},  {9, 62},  {10, 63},
        {14, 64}, {15, 65}, {16, 66}, {18, 67}, {19, 68}, {20, 69}, {21, 70}, {22, 71}, {23, 72}, {24, 73},
        {25, 74}, {26, 75}, {27, 76}, {28, 77}, {30, 78}, {31, 79}, {32, 80}, {33, 81}, {34, 82}};
    for (const auto& entry : kTable)
        if (entry.first == preset) return entry.second;
    return msoAnimEffectCustom;
}

// A preset's variant as the object model's direction. Sides are bits: 1 top, 2 right, 4 bottom,
// 8 left; 16 in, 32 out; zooms add 0x100 slightly, 0x200 centre, 0x400 bottom.
MsoAnimDirection PresetDirection(MsoAnimEffect effect, std::int32_t subtype) {
    switch (effect) {
    case 16:  // split
        switch (subtype) {
        case 21:
            return 23;  // in, between the top and bottom edges
        case 37:
            return 24;
        case 26:
            return 25;  // in, between the left and right edges
        case 42:
            return 26;
        default:
            return msoAnimDirectionNone;
        }
    case 23:  // zoom
        switch (subtype) {
        case 16:
            return 19;
        case 32:
            return 20;
        case 0x110:
            return 29;
        case 0x210:
            return 30;
        case 0x410:
            return 31;
        case 0x120:
            return 32;
        case 0x220:
            return 33;
        case 0x420:
            return 34;
        default:
            return msoAnimDirectionNone;
        }
    default:
        break;
    }
    switch (subtype) {
    case 1:
        return msoAnimDirectionUp;
    case 2:
        return msoAnimDirectionRight;
    case 4:
        return msoAnimDirectionDown;
    case 8:
        return msoAnimDirectionLeft;
    case 9:
        return 6;  // up left
    case 3:
        return 7;  // up right
    case 6:
        return 8;  // down right
    case 12:
        return 9;  // down left
    case 10:
        return 16;  // horizontal
    case 5:
        return 17;  // vertical
    case 16:
        return 19;  // in
    case 32:
        return 20;  // out
    default:
        return msoAnimDirectionNone;
    }
}

struct TimelineReader {
    CLoadContext& ctx;
    CHostSlide& slide;
    const std::map<std::uint32_t, CHostShape*>& shapes;
    int effects = 0;

    // A boolean or integer property of a node's property list.
    static bool ReadProperty(const CPptContainer& node, std::uint16_t id, std::int32_t& value) {
        ContainerPtr list = ChildContainer(&node, libpptparser::kRecordTimePropertyList);
        RecordPtr v = FirstChild(list.get(), libpptparser::kRecordAnimAttributeValueAtom, id);
        if (!v) return false;
        const CPptByteView b = v->GetBytes();
        if (b.U8(0) == 0 && b.size() >= 2) {
            value = b.U8(1) ? 1 : 0;
            return true;
        }
        if (b.U8(0) != 1 || b.size() < 5) return false;
        value = b.I32(1);
        return true;
    }
    static std::int32_t Property(const CPptContainer& node, std::uint16_t id, std::int32_t fallback) {
        std::int32_t value = fallback;
        return ReadProperty(node, id, value) ? value : fallback;
    }

    // The first shape target in the subtree.
    static const CPptRecord* Target(const CPptContainer& node, int depth) {
        if (depth > kMaxTimeDepth) return nullptr;
        for (const RecordPtr& r : node.GetChildren()) {
            if (r->GetType() == libpptparser::kRecordAnimReferenceAtom) return r.get();
            if (ContainerPtr c = AsContainer(r))
                if (const CPptRecord* t = Target(*c, depth + 1)) return t;
        }
        return nullptr;
    }

    // The node's first begin condition.
    static RecordPtr BeginCondition(const CPptContainer& node, ContainerPtr* container = nullptr) {
        for (const RecordPtr& r : node.GetChildren()) {
            ContainerPtr c = AsContainer(r);
            if (!c || r->GetType() != libpptparser::kRecordTimeCondition || r->GetInstance() != 1) continue;
            if (container) *container = c;
            return FirstChild(c.get(), libpptparser::kRecordTimeConditionAtom);
        }
        return nullptr;
    }
    // Milliseconds after its parent's begin; 0 for "indefinite" and for none.
    static std::int64_t BeginDelay(const CPptContainer& node) {
        RecordPtr a = BeginCondition(node);
        const std::int32_t delay = a ? a->GetBytes().I32(12) : 0;
        return delay > 0 ? delay : 0;
    }

    // How long the node's behaviours run, in milliseconds after the node's begin; after-effects
    // follow the effect and do not count.
    static std::int64_t Extent(const CPptContainer& node, int depth) {
        if (depth > kMaxTimeDepth) return 0;
        std::int64_t extent = 0;
        for (const RecordPtr& r : node.GetChildren()) {
            ContainerPtr c = AsContainer(r);
            if (!c || r->GetType() != libpptparser::kRecordAnimGroup) continue;
            if (Property(*c, kAfterEffectNode, 0) != 0) continue;
            std::int64_t own = Extent(*c, depth + 1);
            if (RecordPtr a = FirstChild(c.get(), libpptparser::kRecordAnimNodeAtom)) {
                const CPptByteView b = a->GetBytes();
                const std::int32_t duration = b.I32(24);
                if ((b.U32(28) & 0x10) && duration > 0) own = std::max<std::int64_t>(own, duration);
            }
            extent = std::max(extent, BeginDelay(*c) + own);
        }
        return extent;
    }

    // The after-effect among the node's children: a colour change dims, a visibility set hides,
    // on the next click when it waits for one.
    void AfterEffect(const CPptContainer& node, EffectData& d, int depth) {
        if (depth > kMaxTimeDepth) return;
        for (const RecordPtr& r : node.GetChildren()) {
            ContainerPtr c = AsContainer(r);
            if (!c || r->GetType() != libpptparser::kRecordAnimGroup) continue;
            if (Property(*c, kAfterEffectNode, 0) == 0) {
                AfterEffect(*c, d, depth + 1);
                continue;
            }
            if (ContainerPtr color = ChildContainer(c.get(), libpptparser::kRecordTimeColorBehavior)) {
                d.afterEffect = msoAnimAfterEffectDim;
                if (RecordPtr a = FirstChild(color.get(), libpptparser::kRecordTimeColorBehaviorAtom)) {
                    // The target colour: a model (0 RGB, 2 scheme index) and three values.
                    const CPptByteView b = a->GetBytes();
                    const std::uint32_t model = b.U32(36);
                    if (model == 0)
                        d.dimColor.rgb = (b.U32(40) & 0xFF) | ((b.U32(44) & 0xFF) << 8) | ((b.U32(48) & 0xFF) << 16);
                    else if (model == 2 && b.U32(40) < 8)
                        d.dimColor =
                            ColorData{slide.colorScheme[b.U32(40)], static_cast<PpColorSchemeIndex>(b.U32(40) + 1)};
                }
            } else if (ChildContainer(c.get(), libpptparser::kRecordTimeSetBehavior)) {
                RecordPtr begin = BeginCondition(*c);
                d.afterEffect = begin && begin->GetBytes().U32(4) == kEventNext ? msoAnimAfterEffectHideOnNextClick
                                                                                : msoAnimAfterEffectHide;
            }
        }
    }

    void Effect(const CPptContainer& node, std::int32_t nodeType, CHostSequence* sequence, bool first) {
        const CPptRecord* target = Target(node, 0);
        if (!target) {
            ctx.Warn(L"an animation without a target shape is left out");
            return;
        }
        const CPptByteView t = target->GetBytes();
        auto it = shapes.find(t.U32(8));
        if (it == shapes.end()) {
            ctx.Warn(L"an animation names shape " + std::to_wstring(t.U32(8)) + L", which its slide does not hold");
            return;
        }
        CHostShape* shape = it->second;
        const std::int32_t presetClass = Property(node, kPresetClass, 0);
        if (presetClass == 5) return;  // object verbs have no effect of their own
        const std::int32_t preset = Property(node, kPresetId, 0);
        const std::int32_t subtype = Property(node, kPresetSubtype, 0);
        MsoAnimEffect type = preset > 0 ? preset : msoAnimEffectCustom;
        switch (presetClass) {
        case 3:
            type = EmphasisEffect(preset);
            break;
        case 4:
            type = msoAnimEffectCustom;  // paths have numbers of their own, none animated here
            break;
        case 6:  // media: play, pause, stop
            type = 83 + std::max(0, std::min(2, preset - 1));
            break;
        default:
            break;
        }
        CHostEffect* e = sequence ? sequence->AddEffect(shape, type) : slide.AddEffect(shape, type);
        EffectData& d = e->data;
        d.presetClass = presetClass;
        d.presetId = preset;
        d.presetSubtype = subtype;
        d.exit = presetClass == 2 ? msoTrue : msoFalse;
        if (sequence && (first || nodeType == kClickEffect))
            d.triggerType = msoAnimTriggerOnShapeClick;
        else
            d.triggerType = nodeType == kWithEffect    ? msoAnimTriggerWithPrevious
                            : nodeType == kAfterEffect ? msoAnimTriggerAfterPrevious
                                                       : msoAnimTriggerOnPageClick;
        d.direction = PresetDirection(type, subtype);
        d.triggerDelayTime = static_cast<float>(BeginDelay(node)) / 1000.0f;
        d.duration = static_cast<float>(Extent(node, 0)) / 1000.0f;
        AfterEffect(node, d, 0);
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

    // An interactive sequence starts on a click on the shape its begin condition names.
    CHostSequence* InteractiveSequence(const CPptContainer& node) {
        ContainerPtr condition;
        BeginCondition(node, &condition);
        const CPptRecord* trigger = condition ? Target(*condition, 0) : nullptr;
        auto it = trigger ? shapes.find(trigger->GetBytes().U32(8)) : shapes.end();
        if (it == shapes.end()) {
            ctx.Warn(L"an interactive animation without its trigger shape is left out");
            return nullptr;
        }
        return slide.AddInteractiveSequence(it->second);
    }

    // inMain: inside the main sequence; sequence: inside that interactive sequence.
    void Walk(const CPptContainer& node, int depth, bool inMain, CHostSequence* sequence) {
        if (depth > kMaxTimeDepth) {
            ctx.Warn(L"a timeline nested too deep was cut");
            return;
        }
        const std::int32_t nodeType = Property(node, kNodeType, 0);
        if (nodeType == kInteractiveSequence) {
            // Sequences do not nest; one inside another is not played.
            if (inMain || sequence) return;
            sequence = InteractiveSequence(node);
            if (!sequence) return;
        }
        if ((inMain || sequence) && nodeType >= kClickEffect && nodeType <= kAfterEffect) {
            Effect(node, nodeType, sequence, sequence && sequence->effects.empty());
            return;
        }
        for (const RecordPtr& r : node.GetChildren())
            if (r->GetType() == libpptparser::kRecordAnimGroup)
                if (ContainerPtr c = AsContainer(r)) Walk(*c, depth + 1, inMain || nodeType == kMainSequence, sequence);
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
        root = ChildContainer(ChildContainer(bin.get(), libpptparser::kRecordBinaryTagData).get(),
                              libpptparser::kRecordAnimGroup);
        break;
    }
    if (!root) return false;
    std::map<std::uint32_t, CHostShape*> shapes;
    for (CHostShape* s : slide.shapes) shapes[static_cast<std::uint32_t>(s->data.id)] = s;
    TimelineReader reader{ctx, slide, shapes};
    reader.Walk(*root, 0, false, nullptr);
    return true;
}

}  // namespace Detail
}  // namespace Loader
}  // namespace PowerPoint
