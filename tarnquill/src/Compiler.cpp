// Resolves the ids of a movie description into SWF characters and depths, and writes
// the file.
#include "tarnquill/Compiler.h"

#include "Actions.h"
#include "DescriptionReader.h"
#include "Files.h"
#include "Fonts.h"
#include "Html.h"
#include "Pictures.h"
#include "Sounds.h"
#include "SwfImport.h"
#include "SwfWriter.h"
#include "tarnquill/Wmf.h"

#include <libxml/parser.h>
#include <libxml/xmlschemas.h>

#include <unistd.h>
#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <functional>
#include <memory>
#include <optional>
#include <set>

namespace tarnquill {

namespace {
std::string FormatError(const std::string& message, const std::string& element, const std::string& attribute,
                        long line) {
    std::string where;
    if (line > 0) where += "line " + std::to_string(line);
    if (!element.empty()) where += (where.empty() ? "" : ", ") + std::string("element \"") + element + "\"";
    if (!attribute.empty()) where += (where.empty() ? "" : ", ") + std::string("attribute \"") + attribute + "\"";
    return where.empty() ? message : where + ": " + message;
}
}  // namespace

CompileError::CompileError(const std::string& message, const std::string& element, const std::string& attribute,
                           long line)
    : std::runtime_error(FormatError(message, element, attribute, line)),
      message_(message),
      element_(element),
      attribute_(attribute),
      line_(line) {}

namespace {

[[noreturn]] void FailAt(const Where& where, const std::string& attribute, const std::string& message) {
    throw CompileError(message, where.element, attribute, where.line);
}

constexpr std::uint64_t kMaxFrames = 65535;  // the frame count is a 16-bit field

bool IsPlaceable(DefKind kind) { return kind != DefKind::Font && kind != DefKind::Sound; }

// Characters whose placement can be swapped in place; others are removed and placed anew.
bool IsGraphic(DefKind kind) {
    return kind == DefKind::Rectangle || kind == DefKind::Oval || kind == DefKind::Shape || kind == DefKind::Image;
}

struct ShowInfo {
    const Command* show = nullptr;
    const Definition* def = nullptr;
    std::uint32_t frame = 0;
    std::uint16_t depth = 0;
    std::uint16_t clipDepth = 0;  // non-zero for a mask
};

struct Plan {
    std::uint32_t frameCount = 1;
    std::vector<std::vector<const Command*>> frames;  // shows of a frame first, then the rest in order
    std::vector<std::string> labels;
    std::map<std::string, ShowInfo> shows;
    std::vector<const Definition*> references;   // in order of first use
    std::vector<std::unique_ptr<Command>> made;  // sound stops and stops at a sound's end
};

class Compiler {
public:
    Compiler(Movie& movie, const CompileOptions& options, std::vector<std::string>& warnings)
        : movie_(movie), options_(options), warnings_(warnings) {}

    std::vector<std::uint8_t> Run() {
        BitWriter attributes;
        attributes.U32(0);
        WriteTag(out_, kFileAttributes, attributes.Data());
        BitWriter background;
        background.U8(static_cast<std::uint8_t>(movie_.bgColor >> 16));
        background.U8(static_cast<std::uint8_t>(movie_.bgColor >> 8));
        background.U8(static_cast<std::uint8_t>(movie_.bgColor));
        WriteTag(out_, kSetBackgroundColor, background.Data());

        Plan plan = MakePlan(movie_.root, Where{"movie", 0});
        if (movie_.objectsFirst)
            for (const auto& def : movie_.definitions) Emit(*def);
        FrameState state;
        for (std::uint32_t f = 0; f < plan.frameCount; ++f) {
            // Also with the objects first: a shape's part is no definition of its own and is
            // written only once a frame shows it.
            for (const Command* cmd : plan.frames[f])
                if (cmd->kind == CommandKind::Show || cmd->kind == CommandKind::Replace ||
                    cmd->kind == CommandKind::StartSound)
                    Emit(*movie_.byId.at(cmd->objectId));
            EmitFrame(plan, f, state, out_);
        }
        // Definitions no frame uses still go in, so that every file named is checked.
        for (const auto& def : movie_.definitions) Emit(*def);
        WriteTag(out_, kEnd, {});
        return Finish(plan.frameCount);
    }

private:
    struct FrameState {
        std::map<std::string, const Definition*> current;  // show id -> shown character, while displayed
    };

    const Definition& Lookup(const std::string& id, const Where& where, const char* attribute) {
        auto it = movie_.byId.find(id);
        if (it == movie_.byId.end()) FailAt(where, attribute, "id \"" + id + "\" has no definition");
        return *it->second;
    }

    const FillStyle& Style(const Definition& def) {
        auto it = movie_.styles.find(def.fillStyle);
        if (it == movie_.styles.end())
            FailAt(def.where, "fillStyle", "fill style \"" + def.fillStyle + "\" has no definition");
        return it->second;
    }

    std::uint16_t NewCharacterId(const Where& where) {
        if (nextId_ > 65535) FailAt(where, "id", "too many definitions for one movie (65535 at most)");
        return static_cast<std::uint16_t>(nextId_++);
    }

    // ---- timelines ----

    Plan MakePlan(const Timeline& timeline, const Where& owner) {
        Plan plan;
        std::uint32_t last = 0;
        bool any = false;
        for (const Layer& layer : timeline.layers)
            for (const Frame& frame : layer.frames) {
                last = std::max(last, frame.index);
                any = true;
            }
        plan.frameCount = any ? last + 1 : 1;
        plan.frames.resize(plan.frameCount);
        plan.labels.resize(plan.frameCount);

        // Depth order: layers from the bottom, each layer's shows by frame, then by order.
        std::vector<const Command*> order;
        std::vector<std::uint32_t> orderFrames;
        for (const Layer& layer : timeline.layers) {
            std::vector<const Frame*> frames;
            for (const Frame& frame : layer.frames) frames.push_back(&frame);
            std::stable_sort(frames.begin(), frames.end(),
                             [](const Frame* a, const Frame* b) { return a->index < b->index; });
            for (const Frame* frame : frames) {
                if (!frame->label.empty()) plan.labels[frame->index] = frame->label;
                for (const Command& cmd : frame->commands) {
                    plan.frames[frame->index].push_back(&cmd);
                    if (cmd.kind != CommandKind::Show) continue;
                    const Definition& def = Lookup(cmd.objectId, cmd.where, "objectId");
                    if (!IsPlaceable(def.kind))
                        FailAt(cmd.where, "objectId", "\"" + cmd.objectId + "\" cannot be shown");
                    ShowInfo info;
                    info.show = &cmd;
                    info.def = &def;
                    info.frame = frame->index;
                    if (!plan.shows.emplace(cmd.showId, info).second)
                        FailAt(cmd.where, "id", "duplicate show id \"" + cmd.showId + "\"");
                    order.push_back(&cmd);
                }
            }
        }

        // A masked show goes right above its mask, so that the mask's clip depth covers
        // exactly the shows it masks.
        std::map<std::string, std::vector<const Command*>> masked;
        for (const Command* cmd : order) {
            if (cmd->placement.maskId.empty()) continue;
            if (!plan.shows.count(cmd->placement.maskId))
                FailAt(cmd->where, "maskId", "mask \"" + cmd->placement.maskId + "\" is not a show of this timeline");
            if (cmd->placement.maskId == cmd->showId) FailAt(cmd->where, "maskId", "a show cannot mask itself");
            masked[cmd->placement.maskId].push_back(cmd);
        }
        std::vector<const Command*> stacked;
        std::set<std::string> placed;
        std::function<void(const Command*, int)> append = [&](const Command* cmd, int level) {
            if (level > 64) FailAt(cmd->where, "maskId", "masks nested too deeply");
            placed.insert(cmd->showId);
            stacked.push_back(cmd);
            std::size_t self = stacked.size() - 1;
            auto it = masked.find(cmd->showId);
            if (it != masked.end())
                for (const Command* child : it->second) append(child, level + 1);
            if (stacked.size() > 65535) FailAt(cmd->where, "id", "too many shows in one timeline (65535 at most)");
            ShowInfo& info = plan.shows[cmd->showId];
            info.depth = static_cast<std::uint16_t>(self + 1);
            if (it != masked.end()) info.clipDepth = static_cast<std::uint16_t>(stacked.size());
        };
        for (const Command* cmd : order)
            if (cmd->placement.maskId.empty()) append(cmd, 0);
        for (const Command* cmd : order)
            if (!placed.count(cmd->showId)) FailAt(cmd->where, "maskId", "masks refer to each other in a cycle");

        // Shows act first within a frame; every reference must name an earlier or same-frame show.
        for (std::uint32_t f = 0; f < plan.frameCount; ++f) {
            auto& cmds = plan.frames[f];
            std::stable_partition(cmds.begin(), cmds.end(),
                                  [](const Command* c) { return c->kind == CommandKind::Show; });
            for (const Command* cmd : cmds) {
                switch (cmd->kind) {
                case CommandKind::Show:
                    plan.references.push_back(plan.shows[cmd->showId].def);
                    break;
                case CommandKind::Replace:
                case CommandKind::Modify:
                case CommandKind::Hide: {
                    auto it = plan.shows.find(cmd->showId);
                    if (it == plan.shows.end())
                        FailAt(cmd->where, "showId", "show \"" + cmd->showId + "\" is not defined in this timeline");
                    if (it->second.frame > f)
                        FailAt(cmd->where, "showId", "show \"" + cmd->showId + "\" is used before its frame");
                    if (cmd->kind == CommandKind::Replace) {
                        const Definition& def = Lookup(cmd->objectId, cmd->where, "objectId");
                        if (!IsPlaceable(def.kind))
                            FailAt(cmd->where, "objectId", "\"" + cmd->objectId + "\" cannot be shown");
                        plan.references.push_back(&def);
                    }
                    break;
                }
                case CommandKind::StartSound: {
                    const Definition& def = Lookup(cmd->objectId, cmd->where, "objectId");
                    if (def.kind != DefKind::Sound)
                        FailAt(cmd->where, "objectId", "\"" + cmd->objectId + "\" is not a sound");
                    plan.references.push_back(&def);
                    break;
                }
                case CommandKind::Actions:
                    break;
                }
            }
        }
        PlanSounds(plan);
        (void)owner;
        return plan;
    }

    // A started sound is an event sound (StartSound). "stopOnFinish" puts a stop action on
    // the first frame after the sound has ended, adding frames when the timeline is
    // shorter; "trimFrames" and "trimToMovie" stop the sound (StartSound with SyncStop)
    // after that many frames or on the timeline's last frame, when it would still play.
    void PlanSounds(Plan& plan) {
        struct Start {
            const Command* cmd;
            std::uint32_t frame;
            std::uint64_t length;  // frames until the sound has ended
        };
        std::vector<Start> starts;
        for (std::uint32_t f = 0; f < plan.frameCount; ++f)
            for (const Command* cmd : plan.frames[f])
                if (cmd->kind == CommandKind::StartSound) {
                    const Sound& sound = LoadSound(*movie_.byId.at(cmd->objectId));
                    auto length = static_cast<std::uint64_t>(std::ceil(sound.Seconds() * movie_.frameRate - 1e-9));
                    starts.push_back(Start{cmd, f, length});
                }
        auto add = [&](std::uint32_t frame, const Command& from, bool stopSound) {
            auto made = std::make_unique<Command>();
            made->where = from.where;
            if (stopSound) {
                made->kind = CommandKind::StartSound;
                made->objectId = from.objectId;
                made->soundStop = true;
            } else {
                made->kind = CommandKind::Actions;
                made->actions.push_back(Action{});
            }
            plan.frames[frame].push_back(made.get());
            plan.made.push_back(std::move(made));
        };
        for (const Start& s : starts) {
            if (!s.cmd->stopOnFinish) continue;
            std::uint64_t end = s.frame + s.length;
            if (s.cmd->trimFrames >= 0) end = std::min<std::uint64_t>(end, s.frame + s.cmd->trimFrames);
            if (s.cmd->trimFrames < 0 && s.cmd->trimToMovie) end = std::min<std::uint64_t>(end, plan.frameCount - 1);
            if (end > kMaxFrames - 1)
                FailAt(s.cmd->where, "stopOnFinish", "the sound is too long to stop the timeline at its end");
            if (end >= plan.frameCount) {
                plan.frameCount = static_cast<std::uint32_t>(end + 1);
                plan.frames.resize(plan.frameCount);
                plan.labels.resize(plan.frameCount);
            }
            add(static_cast<std::uint32_t>(end), *s.cmd, false);
        }
        const std::uint64_t last = plan.frameCount - 1;
        for (const Start& s : starts) {
            std::uint64_t stop = 0;
            if (s.cmd->trimFrames >= 0)
                stop = s.frame + static_cast<std::uint64_t>(s.cmd->trimFrames);
            else if (s.cmd->trimToMovie)
                stop = last;
            else
                continue;
            if (stop >= s.frame + s.length) continue;  // it has ended by then anyway
            // Cut to the timeline: a stop on the start frame itself would silence it.
            if (stop > last) stop = last;
            if (stop == s.frame && (s.cmd->trimFrames != 0)) continue;
            add(static_cast<std::uint32_t>(stop), *s.cmd, true);
        }
    }

    const Sound& LoadSound(const Definition& def) {
        auto found = sounds_.find(&def);
        if (found != sounds_.end()) return found->second;
        try {
            return sounds_.emplace(&def, ReadSound(ResolvePath(def.src))).first->second;
        } catch (const InputError& e) {
            FailAt(def.where, "src", e.what());
        }
    }

    void Place(BitWriter& w, const ShowInfo& info, const Definition* def, const Placement& p, bool move) {
        std::uint8_t flags = 0x04 | 0x08;  // matrix and colour transform, always absolute
        if (move) flags |= 0x01;
        if (def) flags |= 0x02;
        bool named = def && def->kind == DefKind::Sprite && !def->name.empty();
        if (named) flags |= 0x20;
        if (info.clipDepth) flags |= 0x40;
        w.U8(flags);
        w.U16(info.depth);
        if (def) w.U16(CharacterOf(*def));
        WriteMatrix(w, p);
        WriteColorTransform(w, p.shift);
        if (named) w.String(def->name);
        if (info.clipDepth) w.U16(info.clipDepth);
    }

    void EmitFrame(const Plan& plan, std::uint32_t f, FrameState& state, std::vector<std::uint8_t>& out) {
        for (const Command* cmd : plan.frames[f]) {
            switch (cmd->kind) {
            case CommandKind::Show: {
                const ShowInfo& info = plan.shows.at(cmd->showId);
                BitWriter w;
                Place(w, info, info.def, cmd->placement, false);
                WriteTag(out, kPlaceObject2, w.Data());
                state.current[cmd->showId] = info.def;
                break;
            }
            case CommandKind::Replace: {
                auto shown = state.current.find(cmd->showId);
                if (shown == state.current.end()) break;  // already hidden: nothing to swap
                const ShowInfo& info = plan.shows.at(cmd->showId);
                const Definition* def = movie_.byId.at(cmd->objectId).get();
                BitWriter w;
                if (IsGraphic(def->kind) && IsGraphic(shown->second->kind)) {
                    Place(w, info, def, cmd->placement, true);
                } else {
                    BitWriter remove;
                    remove.U16(info.depth);
                    WriteTag(out, kRemoveObject2, remove.Data());
                    Place(w, info, def, cmd->placement, false);
                }
                WriteTag(out, kPlaceObject2, w.Data());
                shown->second = def;
                break;
            }
            case CommandKind::Modify: {
                if (!state.current.count(cmd->showId)) break;
                BitWriter w;
                Place(w, plan.shows.at(cmd->showId), nullptr, cmd->placement, true);
                WriteTag(out, kPlaceObject2, w.Data());
                break;
            }
            case CommandKind::Hide: {
                if (!state.current.erase(cmd->showId)) break;
                BitWriter w;
                w.U16(plan.shows.at(cmd->showId).depth);
                WriteTag(out, kRemoveObject2, w.Data());
                break;
            }
            case CommandKind::Actions:
                if (!cmd->actions.empty()) WriteTag(out, kDoAction, EncodeActions(cmd->actions));
                break;
            case CommandKind::StartSound:
                EmitStartSound(*cmd, out);
                break;
            }
        }
        if (!plan.labels[f].empty()) {
            BitWriter w;
            w.String(plan.labels[f]);
            WriteTag(out, kFrameLabel, w.Data());
        }
        WriteTag(out, kShowFrame, {});
    }

    void EmitStartSound(const Command& cmd, std::vector<std::uint8_t>& out) {
        BitWriter w;
        w.U16(CharacterOf(*movie_.byId.at(cmd.objectId)));
        // A start does not pile a second copy on one still playing (a looping timeline).
        w.U8(cmd.soundStop ? 0x20 : 0x10);
        WriteTag(out, kStartSound, w.Data());
    }

    // ---- definitions ----

    std::uint16_t CharacterOf(const Definition& def) { return ids_.at(&def); }

    std::uint16_t Emit(const Definition& def) {
        auto found = ids_.find(&def);
        if (found != ids_.end()) return found->second;
        if (!visiting_.insert(&def).second) FailAt(def.where, "id", "\"" + def.id + "\" contains itself");
        std::uint16_t id = 0;
        switch (def.kind) {
        case DefKind::Rectangle:
        case DefKind::Oval:
            id = EmitShape(def, {&def});
            break;
        case DefKind::Shape: {
            std::vector<const Definition*> parts;
            for (const auto& p : def.parts) parts.push_back(p.get());
            id = EmitShape(def, parts);
            break;
        }
        case DefKind::Image:
            id = EmitImage(def);
            break;
        case DefKind::Sprite:
            id = EmitSprite(def);
            break;
        case DefKind::Button:
            id = EmitButton(def);
            break;
        case DefKind::Font:
            id = EmitFont(def);
            break;
        case DefKind::Text:
            id = EmitText(def);
            break;
        case DefKind::Sound:
            id = EmitSound(def);
            break;
        }
        visiting_.erase(&def);
        ids_[&def] = id;
        return id;
    }

    static Rect Bounds(const Definition& d) {
        std::int32_t x0 = std::min(d.x, d.x + d.width), x1 = std::max(d.x, d.x + d.width);
        std::int32_t y0 = std::min(d.y, d.y + d.height), y1 = std::max(d.y, d.y + d.height);
        return Rect{x0, x1, y0, y1};
    }

    static bool Contains(const Rect& outer, const Rect& inner) {
        return outer.xMin <= inner.xMin && outer.yMin <= inner.yMin && outer.xMax >= inner.xMax &&
               outer.yMax >= inner.yMax;
    }

    // Each part keeps its own fill entry so that overlapping parts paint over each other
    // instead of cancelling. A transparent part lying inside an earlier opaque rectangle is
    // cut out of it as a hole (that is how masks leave an opening); any other transparent
    // part stays as an invisible, clickable area.
    std::uint16_t EmitShape(const Definition& def, const std::vector<const Definition*>& parts) {
        struct Entry {
            std::uint32_t rgb;
            std::uint8_t alpha;
        };
        std::vector<Entry> fills;
        std::vector<int> fillOf(parts.size(), 0), holeOf(parts.size(), 0);
        Rect bounds;
        bool first = true;
        for (std::size_t i = 0; i < parts.size(); ++i) {
            const Definition& p = *parts[i];
            Rect r = Bounds(p);
            if (first) bounds = r;
            bounds = Rect{std::min(bounds.xMin, r.xMin), std::max(bounds.xMax, r.xMax), std::min(bounds.yMin, r.yMin),
                          std::max(bounds.yMax, r.yMax)};
            first = false;
            if (p.fillStyle.empty()) {
                warnings_.push_back(
                    FormatError("no fill style: the part is invisible", p.where.element, "fillStyle", p.where.line));
                continue;
            }
            const FillStyle& style = Style(p);
            if (style.alpha == 0) {
                for (std::size_t j = i; j-- > 0;) {
                    const Definition& q = *parts[j];
                    if (fillOf[j] && fills[fillOf[j] - 1].alpha != 0 && q.kind == DefKind::Rectangle &&
                        Contains(Bounds(q), r)) {
                        holeOf[i] = fillOf[j];
                        break;
                    }
                }
                if (holeOf[i]) continue;
            }
            fills.push_back(Entry{style.rgb, style.alpha});
            fillOf[i] = static_cast<int>(fills.size());
        }
        BitWriter w;
        std::uint16_t id = NewCharacterId(def.where);
        w.U16(id);
        WriteRect(w, bounds);
        WriteFillCount(w, fills.size());
        for (const Entry& e : fills) {
            w.U8(0x00);
            w.U8(static_cast<std::uint8_t>(e.rgb >> 16));
            w.U8(static_cast<std::uint8_t>(e.rgb >> 8));
            w.U8(static_cast<std::uint8_t>(e.rgb));
            w.U8(e.alpha);
        }
        w.U8(0);  // no line styles
        int fillBits = UnsignedBitCount(fills.size());
        w.Bits(static_cast<std::uint32_t>(fillBits), 4);
        w.Bits(0, 4);
        ShapeBuilder shape(fillBits);
        for (std::size_t i = 0; i < parts.size(); ++i) {
            int fill = fillOf[i] ? fillOf[i] : holeOf[i];
            if (!fill) continue;
            const Definition& p = *parts[i];
            if (p.kind == DefKind::Oval)
                shape.Ellipse(p.x, p.y, p.width, p.height, 0, fill);
            else
                shape.Rectangle(p.x, p.y, p.width, p.height, 0, fill);
        }
        shape.End();
        w.Bytes(shape.Writer().Data());
        WriteTag(out_, kDefineShape3, w.Data());
        return id;
    }

    static void WriteFillCount(BitWriter& w, std::size_t count) {
        if (count < 255) {
            w.U8(static_cast<std::uint8_t>(count));
        } else {
            w.U8(0xff);
            w.U16(static_cast<std::uint16_t>(count));
        }
    }

    std::string ResolvePath(const std::string& src) const {
        std::string path = src;
        std::replace(path.begin(), path.end(), '\\', '/');
        if (!path.empty() && path[0] == '/') return path;
        std::string base = options_.baseFolder;
        std::replace(base.begin(), base.end(), '\\', '/');
        if (base.empty()) return path;
        if (base.back() != '/') base += '/';
        return base + path;
    }

    std::uint16_t EmitEmptyShape(const Definition& def) {
        BitWriter w;
        std::uint16_t id = NewCharacterId(def.where);
        w.U16(id);
        WriteRect(w, Rect{});
        w.U8(0);
        w.U8(0);
        w.Bits(0, 8);
        w.Bits(0, 6);
        w.Align();
        WriteTag(out_, kDefineShape3, w.Data());
        return id;
    }

    std::uint16_t EmitImage(const Definition& def) {
        Picture picture;
        try {
            picture = ReadPng(ResolvePath(def.src));
        } catch (const PictureError& e) {
            if (!options_.ignoreErrors) FailAt(def.where, "src", e.what());
            warnings_.push_back(FormatError(e.what(), def.where.element, "src", def.where.line));
            return EmitEmptyShape(def);
        }
        std::uint16_t bitmapId = NewCharacterId(def.where);
        BitWriter b;
        b.U16(bitmapId);
        int tag = kDefineBitsLossless2;
        if (def.jpegQuality > 0) {
            tag = kDefineBitsJPEG3;
            std::vector<std::uint8_t> jpeg = EncodeJpeg(picture, def.jpegQuality);
            std::vector<std::uint8_t> alpha(static_cast<std::size_t>(picture.width) * picture.height);
            for (std::size_t i = 0; i < alpha.size(); ++i) alpha[i] = picture.argb[i * 4];
            b.U32(static_cast<std::uint32_t>(jpeg.size()));
            b.Bytes(jpeg);
            b.Bytes(Deflate(alpha));
        } else {
            b.U8(5);  // 32-bit premultiplied ARGB
            b.U16(static_cast<std::uint16_t>(picture.width));
            b.U16(static_cast<std::uint16_t>(picture.height));
            b.Bytes(Deflate(picture.argb));
        }
        WriteTag(out_, tag, b.Data(), true);

        // Width and height 0 mean the picture's own size.
        std::int64_t w = def.width ? def.width : static_cast<std::int64_t>(picture.width) * 20;
        std::int64_t h = def.height ? def.height : static_cast<std::int64_t>(picture.height) * 20;
        BitWriter s;
        std::uint16_t id = NewCharacterId(def.where);
        s.U16(id);
        WriteRect(s, Rect{def.x, static_cast<std::int32_t>(def.x + w), def.y, static_cast<std::int32_t>(def.y + h)});
        s.U8(1);
        s.U8(def.smoothing ? 0x41 : 0x43);  // clipped bitmap, smoothed or not
        s.U16(bitmapId);
        Placement m;
        m.a = static_cast<double>(w) / picture.width;
        m.d = static_cast<double>(h) / picture.height;
        m.tx = def.x;
        m.ty = def.y;
        WriteMatrix(s, m);
        s.U8(0);
        s.Bits(1, 4);
        s.Bits(0, 4);
        ShapeBuilder shape(1);
        shape.Rectangle(def.x, def.y, static_cast<std::int32_t>(w), static_cast<std::int32_t>(h), 0, 1);
        shape.End();
        s.Bytes(shape.Writer().Data());
        WriteTag(out_, kDefineShape3, s.Data());
        return id;
    }

    std::uint16_t EmitSprite(const Definition& def) {
        if (!def.src.empty()) return EmitSpriteFromFile(def);
        Plan plan = MakePlan(*def.timeline, def.where);
        for (const Definition* ref : plan.references) Emit(*ref);
        std::vector<std::uint8_t> body;
        std::uint16_t id = NewCharacterId(def.where);
        body.push_back(static_cast<std::uint8_t>(id));
        body.push_back(static_cast<std::uint8_t>(id >> 8));
        body.push_back(static_cast<std::uint8_t>(plan.frameCount));
        body.push_back(static_cast<std::uint8_t>(plan.frameCount >> 8));
        FrameState state;
        for (std::uint32_t f = 0; f < plan.frameCount; ++f) EmitFrame(plan, f, state, body);
        WriteTag(body, kEnd, {});
        WriteTag(out_, kDefineSprite, body);
        return id;
    }

    std::uint16_t EmitButton(const Definition& def) {
        // One record per distinct object, carrying every state it appears in.
        const std::string* states[4] = {&def.up, &def.over, &def.down, &def.hit};
        std::vector<std::pair<const Definition*, std::uint8_t>> records;
        for (int s = 0; s < 4; ++s) {
            if (states[s]->empty()) continue;
            static const char* const names[4] = {"up", "over", "down", "hit"};
            const Definition& target = Lookup(*states[s], def.where, names[s]);
            if (!IsPlaceable(target.kind)) FailAt(def.where, names[s], "\"" + *states[s] + "\" cannot be shown");
            Emit(target);
            auto it = std::find_if(records.begin(), records.end(), [&](const auto& r) { return r.first == &target; });
            if (it == records.end())
                records.emplace_back(&target, static_cast<std::uint8_t>(1u << s));
            else
                it->second |= static_cast<std::uint8_t>(1u << s);
        }
        BitWriter w;
        std::uint16_t id = NewCharacterId(def.where);
        w.U16(id);
        w.U8(def.menu ? 1 : 0);
        BitWriter rest;
        std::uint16_t depth = 1;
        for (const auto& r : records) {
            rest.U8(r.second);  // bit 0 up, 1 over, 2 down, 3 hit
            rest.U16(CharacterOf(*r.first));
            rest.U16(depth++);
            WriteMatrix(rest, Placement{});
            std::int32_t none[4] = {0, 0, 0, 0};
            WriteColorTransform(rest, none);
        }
        rest.U8(0);
        std::uint16_t actionOffset = 0;
        if (!def.actions.empty()) {
            actionOffset = static_cast<std::uint16_t>(std::min<std::size_t>(rest.Size() + 2, 0xffff));
            if (rest.Size() + 2 > 0xffff) FailAt(def.where, "", "button too large");
            rest.U16(0);    // last condition record
            rest.U8(0x08);  // on release (over, down -> over, up)
            rest.U8(0x00);
            rest.Bytes(EncodeActions(def.actions));
        }
        w.U16(actionOffset);
        w.Bytes(rest.Data());
        WriteTag(out_, kDefineButton2, w.Data());
        return id;
    }

    // ---- sprites from files: metafiles and movies ----

    std::uint16_t EmitSpriteFromFile(const Definition& def) {
        std::vector<std::uint8_t> bytes;
        try {
            bytes =
                ReadWholeFile(ResolvePath(def.src), std::max(kMaxImportedSwfBytes, wmf::kMaxWmfBytes), "sprite file");
        } catch (const InputError& e) {
            FailAt(def.where, "src", e.what());
        }
        if (LooksLikeSwf(bytes)) return EmitImportedMovie(def, bytes);
        if (wmf::LooksLikeWmf(bytes.data(), bytes.size())) return EmitMetafile(def, bytes);
        FailAt(def.where, "src", "sprite file " + def.src + " is neither a SWF movie nor a Windows metafile");
    }

    std::uint16_t EmitImportedMovie(const Definition& def, const std::vector<std::uint8_t>& bytes) {
        if (bytes.size() > kMaxImportedSwfBytes)
            FailAt(def.where, "src", "movie " + def.src + " is too large to import");
        std::vector<std::string> notes;
        ImportedMovie movie;
        try {
            movie = ImportSwf(
                bytes, [&] { return NewCharacterId(def.where); }, def.lockroot, notes);
        } catch (const InputError& e) {
            FailAt(def.where, "src", "cannot import movie " + def.src + ": " + e.what());
        }
        for (const std::string& note : notes)
            warnings_.push_back(
                FormatError("movie " + def.src + ": " + note, def.where.element, "src", def.where.line));
        out_.insert(out_.end(), movie.definitions.begin(), movie.definitions.end());
        std::uint16_t id = NewCharacterId(def.where);
        BitWriter body;
        body.U16(id);
        body.U16(movie.frameCount);
        body.Bytes(movie.timeline);
        WriteTag(out_, kDefineSprite, body.Data());
        return id;
    }

    // The metafile's drawing becomes one DefineShape3 scaled to the sprite's size, each
    // path with styles of its own so that later paths paint over earlier ones.
    std::uint16_t EmitMetafile(const Definition& def, const std::vector<std::uint8_t>& bytes) {
        if (!def.hasWidth || !def.hasHeight || def.width <= 0 || def.height <= 0)
            FailAt(def.where, def.hasWidth && def.width > 0 ? "height" : "width",
                   "a metafile sprite needs a positive width and height");
        wmf::Drawing drawing;
        try {
            drawing = wmf::ParseWmf(bytes);
        } catch (const wmf::WmfError& e) {
            FailAt(def.where, "src", "metafile " + def.src + ": " + e.what());
        }
        for (const std::string& w : drawing.warnings)
            warnings_.push_back(
                FormatError("metafile " + def.src + ": " + w, def.where.element, "src", def.where.line));
        const double w = def.width, h = def.height;
        auto X = [&](double v) { return static_cast<std::int32_t>(std::lround(std::clamp(v * w, -1e8, 1e8))); };
        auto Y = [&](double v) { return static_cast<std::int32_t>(std::lround(std::clamp(v * h, -1e8, 1e8))); };
        Rect bounds{0, def.width, 0, def.height};
        ShapeBuilder shape(0);
        for (const wmf::Path& path : drawing.paths) {
            std::uint16_t lineWidth = 20;  // the thinnest pen is one pixel
            if (path.stroked && path.strokeWidth > 0)
                lineWidth = static_cast<std::uint16_t>(std::clamp(std::lround(path.strokeWidth * w), 20L, 65535L));
            std::int32_t pad = path.stroked ? lineWidth / 2 + 1 : 0;
            BitWriter arrays;
            arrays.U8(path.filled ? 1 : 0);
            if (path.filled) {
                arrays.U8(0x00);
                arrays.U8(static_cast<std::uint8_t>(path.fillRgb >> 16));
                arrays.U8(static_cast<std::uint8_t>(path.fillRgb >> 8));
                arrays.U8(static_cast<std::uint8_t>(path.fillRgb));
                arrays.U8(255);
            }
            arrays.U8(path.stroked ? 1 : 0);
            if (path.stroked) {
                arrays.U16(lineWidth);
                arrays.U8(static_cast<std::uint8_t>(path.strokeRgb >> 16));
                arrays.U8(static_cast<std::uint8_t>(path.strokeRgb >> 8));
                arrays.U8(static_cast<std::uint8_t>(path.strokeRgb));
                arrays.U8(255);
            }
            shape.NewStyles(arrays.Data(), path.filled ? 1 : 0, path.stroked ? 1 : 0);
            for (const wmf::Contour& c : path.contours) {
                bool fill = path.filled && c.closed;
                shape.Select(X(c.start.x), Y(c.start.y), 0, fill ? 1 : 0, path.stroked ? 1 : 0);
                auto grow = [&](std::int32_t x, std::int32_t y) {
                    bounds = Rect{std::min(bounds.xMin, x - pad), std::max(bounds.xMax, x + pad),
                                  std::min(bounds.yMin, y - pad), std::max(bounds.yMax, y + pad)};
                };
                grow(X(c.start.x), Y(c.start.y));
                for (const wmf::Segment& s : c.segments) {
                    if (s.curve) {
                        shape.CurveTo(X(s.control.x), Y(s.control.y), X(s.to.x), Y(s.to.y));
                        grow(X(s.control.x), Y(s.control.y));
                    } else {
                        shape.LineTo(X(s.to.x), Y(s.to.y));
                    }
                    grow(X(s.to.x), Y(s.to.y));
                }
            }
        }
        shape.End();
        BitWriter s;
        std::uint16_t shapeId = NewCharacterId(def.where);
        s.U16(shapeId);
        WriteRect(s, bounds);
        s.U8(0);  // styles come with each path
        s.U8(0);
        s.U8(0);  // no fill or line bits until then
        s.Bytes(shape.Writer().Data());
        WriteTag(out_, kDefineShape3, s.Data());

        std::uint16_t id = NewCharacterId(def.where);
        BitWriter body;
        body.U16(id);
        body.U16(1);
        BitWriter place;
        place.U8(0x02 | 0x04);
        place.U16(1);
        place.U16(shapeId);
        WriteMatrix(place, Placement{});
        WriteTag(body.Data(), kPlaceObject2, place.Data());
        WriteTag(body.Data(), kShowFrame, {});
        WriteTag(body.Data(), kEnd, {});
        WriteTag(out_, kDefineSprite, body.Data());
        return id;
    }

    // ---- fonts, text fields and sounds ----

    struct FontInfo {
        std::uint16_t id = 0;
        std::string name;  // what the SWF calls it: the "name" attribute, else the id
        EmbeddedFont font;
    };

    std::uint16_t EmitFont(const Definition& def) {
        FontInfo info;
        info.name = def.fontName.empty() ? def.id : def.fontName;
        try {
            info.font = BuildFont(ResolvePath(def.src), info.name, def.chars);
        } catch (const InputError& e) {
            FailAt(def.where, "src", e.what());
        }
        if (!info.font.missing.empty()) {
            std::string list;
            for (char32_t c : info.font.missing) {
                char buffer[16];
                std::snprintf(buffer, sizeof buffer, "%sU+%04X", list.empty() ? "" : " ", static_cast<unsigned>(c));
                list += buffer;
            }
            warnings_.push_back(FormatError("font " + def.src + " has no outline for " + list + "; skipped",
                                            def.where.element, "chars", def.where.line));
        }
        info.id = NewCharacterId(def.where);
        BitWriter w;
        w.U16(info.id);
        w.Bytes(info.font.body);
        WriteTag(out_, kDefineFont3, w.Data(), true);
        std::uint16_t id = info.id;
        fonts_.emplace(&def, std::move(info));
        return id;
    }

    const FontInfo& Font(const Definition& def) {
        Emit(def);
        return fonts_.at(&def);
    }

    // A face named in the markup: a font's id, its name, or the family of its file.
    std::optional<std::string> FaceOf(const std::string& face) {
        auto byId = movie_.byId.find(face);
        if (byId != movie_.byId.end() && byId->second->kind == DefKind::Font) return Font(*byId->second).name;
        for (const auto& def : movie_.definitions)
            if (def->kind == DefKind::Font && def->fontName == face) return Font(*def).name;
        auto lower = [](std::string s) {
            for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
            return s;
        };
        for (const auto& def : movie_.definitions)
            if (def->kind == DefKind::Font && lower(Font(*def).font.familyName) == lower(face)) return Font(*def).name;
        return std::nullopt;
    }

    std::uint16_t EmitText(const Definition& def) {
        const FontInfo* font = nullptr;
        if (!def.fontId.empty()) {
            const Definition& target = Lookup(def.fontId, def.where, "fontId");
            if (target.kind != DefKind::Font) FailAt(def.where, "fontId", "\"" + def.fontId + "\" is not a font");
            font = &Font(target);
        }
        if (def.fontSize < 0 || def.fontSize > 65535) FailAt(def.where, "fontSize", "font size out of range");
        std::set<std::string> unknown;
        std::string html = RewriteFontFaces(
            def.html, [&](const std::string& face) { return FaceOf(face); },
            [&](const std::string& face) { unknown.insert(face); });
        for (const std::string& face : unknown)
            warnings_.push_back(FormatError("font face \"" + face + "\" is not embedded; its text may not show",
                                            def.where.element, "", def.where.line));
        if (font) {
            // Outlines only draw what the font holds; say which characters will be missing.
            std::u32string absent;
            for (char32_t c : HtmlPlainText(html))
                if (c != ' ' && c != 0xa0 && !font->font.glyphs.count(c) && absent.find(c) == std::u32string::npos)
                    absent.push_back(c);
            if (!absent.empty())
                warnings_.push_back(FormatError(std::to_string(absent.size()) +
                                                    " character(s) of the text are not in font \"" + def.fontId +
                                                    "\" and will not show",
                                                def.where.element, "", def.where.line));
        }

        BitWriter w;
        std::uint16_t id = NewCharacterId(def.where);
        w.U16(id);
        WriteRect(w, Bounds(def));
        std::uint8_t flags = 0x80 | 0x08 | 0x04;  // has text, read-only, has colour
        if (def.wordWrap) flags |= 0x40;
        if (def.multiline) flags |= 0x20;
        if (font) flags |= 0x01;
        std::uint8_t flags2 = 0x20 | 0x02;  // has layout, HTML
        if (!def.selectable) flags2 |= 0x10;
        if (font) flags2 |= 0x01;  // draw with the embedded outlines
        w.U8(flags);
        w.U8(flags2);
        if (font) {
            w.U16(font->id);
            // A field without a size would show nothing at all.
            w.U16(static_cast<std::uint16_t>(def.fontSize ? def.fontSize : 240));
        }
        w.U8(static_cast<std::uint8_t>(def.color >> 16));
        w.U8(static_cast<std::uint8_t>(def.color >> 8));
        w.U8(static_cast<std::uint8_t>(def.color));
        w.U8(255);
        w.U8(0);   // left aligned
        w.U16(0);  // margins, indent and leading
        w.U16(0);
        w.U16(0);
        w.U16(0);
        w.String("");  // no variable
        w.String(html);
        WriteTag(out_, kDefineEditText, w.Data());
        return id;
    }

    std::uint16_t EmitSound(const Definition& def) {
        const Sound& sound = LoadSound(def);
        if (def.mp3Quality != 0 && sound.format != 2)
            warnings_.push_back(FormatError("no MP3 encoder: " + def.src + " is kept as uncompressed PCM",
                                            def.where.element, "mp3Quality", def.where.line));
        BitWriter w;
        std::uint16_t id = NewCharacterId(def.where);
        w.U16(id);
        w.U8(static_cast<std::uint8_t>((sound.format << 4) | (sound.rateCode << 2) | (sound.sixteenBit ? 2 : 0) |
                                       (sound.stereo ? 1 : 0)));
        w.U32(sound.sampleCount);
        w.Bytes(sound.data);
        WriteTag(out_, kDefineSound, w.Data(), true);
        sounds_.erase(&def);  // the samples are in the movie now
        return id;
    }

    std::vector<std::uint8_t> Finish(std::uint32_t frameCount) {
        BitWriter head;
        WriteRect(head, Rect{0, static_cast<std::int32_t>(movie_.widthPx * 20), 0,
                             static_cast<std::int32_t>(movie_.heightPx * 20)});
        head.U16(static_cast<std::uint16_t>(std::lround(movie_.frameRate * 256.0)));
        head.U16(static_cast<std::uint16_t>(frameCount));
        std::uint64_t total = 8 + head.Size() + out_.size();
        if (total > 0xffffffffu) throw CompileError("the movie is too large for the SWF format");
        std::vector<std::uint8_t> body = std::move(head.Data());
        body.insert(body.end(), out_.begin(), out_.end());
        std::vector<std::uint8_t> file = {static_cast<std::uint8_t>(movie_.compressed ? 'C' : 'F'), 'W', 'S', 8};
        for (int i = 0; i < 4; ++i) file.push_back(static_cast<std::uint8_t>(total >> (8 * i)));
        if (movie_.compressed) {
            // Bitmaps inside are deflated already; a fast level keeps the second pass cheap.
            std::vector<std::uint8_t> packed = Deflate(body, 1);
            file.insert(file.end(), packed.begin(), packed.end());
        } else {
            file.insert(file.end(), body.begin(), body.end());
        }
        return file;
    }

    Movie& movie_;
    const CompileOptions& options_;
    std::vector<std::string>& warnings_;
    std::vector<std::uint8_t> out_;
    std::map<const Definition*, std::uint16_t> ids_;
    std::map<const Definition*, FontInfo> fonts_;
    std::map<const Definition*, Sound> sounds_;
    std::set<const Definition*> visiting_;
    std::uint32_t nextId_ = 1;
};

// libxml2 reports through a global hook; keep the first message with its line.
struct XmlErrors {
    std::string message;
    long line = 0;
    static void Handler(void* context, xmlErrorPtr error) {
        auto* self = static_cast<XmlErrors*>(context);
        if (!error || error->level < XML_ERR_ERROR || !self->message.empty()) return;
        self->message = error->message ? error->message : "malformed XML";
        while (!self->message.empty() && (self->message.back() == '\n' || self->message.back() == ' '))
            self->message.pop_back();
        self->line = error->line;
    }
    static void Silent(void*, const char*, ...) {}
};

struct DocumentOwner {
    xmlDocPtr doc = nullptr;
    ~DocumentOwner() {
        if (doc) xmlFreeDoc(doc);
    }
};

void Validate(xmlDocPtr doc, const std::string& schemaPath) {
    XmlErrors errors;
    xmlSchemaParserCtxtPtr parser = xmlSchemaNewParserCtxt(schemaPath.c_str());
    if (!parser) throw CompileError("cannot read the schema " + schemaPath);
    xmlSchemaSetParserStructuredErrors(parser, XmlErrors::Handler, &errors);
    xmlSchemaPtr schema = xmlSchemaParse(parser);
    xmlSchemaFreeParserCtxt(parser);
    if (!schema) throw CompileError("cannot read the schema " + schemaPath + ": " + errors.message);
    xmlSchemaValidCtxtPtr valid = xmlSchemaNewValidCtxt(schema);
    int result = -1;
    if (valid) {
        xmlSchemaSetValidStructuredErrors(valid, XmlErrors::Handler, &errors);
        result = xmlSchemaValidateDoc(valid, doc);
        xmlSchemaFreeValidCtxt(valid);
    }
    xmlSchemaFree(schema);
    if (result != 0)
        throw CompileError("the description does not match the schema: " +
                               (errors.message.empty() ? std::string("validation failed") : errors.message),
                           "", "", errors.line);
}

CompileResult CompileDocument(xmlDocPtr doc, const CompileOptions& options) {
    if (!options.schemaPath.empty()) Validate(doc, options.schemaPath);
    Movie movie = ReadMovie(doc);
    CompileResult result;
    result.swf = Compiler(movie, options, result.warnings).Run();
    return result;
}

const int kParseOptions = XML_PARSE_NONET | XML_PARSE_NOWARNING | XML_PARSE_NOERROR;

CompileResult ParseAndCompile(const std::function<xmlDocPtr()>& parse, const CompileOptions& options) {
    XmlErrors errors;
    xmlSetStructuredErrorFunc(&errors, XmlErrors::Handler);
    xmlSetGenericErrorFunc(nullptr, XmlErrors::Silent);
    DocumentOwner owner;
    owner.doc = parse();
    xmlSetStructuredErrorFunc(nullptr, nullptr);
    if (!owner.doc || !errors.message.empty())
        throw CompileError("malformed description: " + (errors.message.empty() ? "cannot parse" : errors.message), "",
                           "", errors.line);
    return CompileDocument(owner.doc, options);
}

}  // namespace

CompileResult CompileFile(const std::string& xmlPath, const CompileOptions& options) {
    std::ifstream probe(xmlPath, std::ios::binary);
    if (!probe) throw CompileError("cannot open the description " + xmlPath + ": " + std::strerror(errno));
    probe.close();
    CompileOptions effective = options;
    if (effective.baseFolder.empty()) {
        auto slash = xmlPath.find_last_of("/\\");
        effective.baseFolder = slash == std::string::npos ? "." : xmlPath.substr(0, slash);
    }
    return ParseAndCompile([&] { return xmlReadFile(xmlPath.c_str(), nullptr, kParseOptions); }, effective);
}

CompileResult CompileText(const std::string& xmlText, const CompileOptions& options) {
    if (xmlText.size() > 0x7fffffff) throw CompileError("description too large");
    return ParseAndCompile(
        [&] {
            return xmlReadMemory(xmlText.data(), static_cast<int>(xmlText.size()), "movie.xml", nullptr, kParseOptions);
        },
        options);
}

void WriteFileAtomically(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    std::string temp = path + ".tmp" + std::to_string(::getpid());
    FILE* f = std::fopen(temp.c_str(), "wb");
    if (!f) throw CompileError("cannot create " + path + ": " + std::strerror(errno));
    bool ok = bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    ok = (std::fclose(f) == 0) && ok;
    if (!ok || std::rename(temp.c_str(), path.c_str()) != 0) {
        int saved = errno;
        std::remove(temp.c_str());
        throw CompileError("cannot write " + path + ": " + std::strerror(saved));
    }
}

}  // namespace tarnquill
