// Timelines: frames, depths and masks planned, then written frame by frame.
#include "Actions.h"
#include "CompilerInternal.h"

#include <algorithm>
#include <functional>
#include <unordered_set>

namespace tarnquill {

Plan Compiler::MakePlan(const Timeline& timeline, const Where& owner) {
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
        frames.reserve(layer.frames.size());
        for (const Frame& frame : layer.frames) frames.push_back(&frame);
        const auto byIndex = [](const Frame* a, const Frame* b) { return a->index < b->index; };
        // Frames mostly come in order; sorting would only make a buffer to find that out.
        if (!std::is_sorted(frames.begin(), frames.end(), byIndex))
            std::stable_sort(frames.begin(), frames.end(), byIndex);
        for (const Frame* frame : frames) {
            if (!frame->label.empty()) plan.labels[frame->index] = frame->label;
            for (const Command& cmd : frame->commands) {
                plan.frames[frame->index].push_back(&cmd);
                if (cmd.kind != CommandKind::Show) continue;
                const Definition& def = Lookup(cmd.objectId, cmd.where, "objectId");
                if (!IsPlaceable(def.kind)) FailAt(cmd.where, "objectId", "\"" + cmd.objectId + "\" cannot be shown");
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
    stacked.reserve(order.size());
    std::unordered_set<const Command*> placed;  // each show has an id of its own
    std::function<void(const Command*, int)> append = [&](const Command* cmd, int level) {
        if (level > 64) FailAt(cmd->where, "maskId", "masks nested too deeply");
        placed.insert(cmd);
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
        if (!placed.count(cmd)) FailAt(cmd->where, "maskId", "masks refer to each other in a cycle");

    // Shows act first within a frame; every reference must name an earlier or same-frame show.
    for (std::uint32_t f = 0; f < plan.frameCount; ++f) {
        auto& cmds = plan.frames[f];
        const auto isShow = [](const Command* c) { return c->kind == CommandKind::Show; };
        if (!std::is_partitioned(cmds.begin(), cmds.end(), isShow))
            std::stable_partition(cmds.begin(), cmds.end(), isShow);
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

void Compiler::Place(BitWriter& w, const ShowInfo& info, const Definition* def, const Placement& p, bool move) {
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

void Compiler::EmitFrame(const Plan& plan, std::uint32_t f, FrameState& state, std::vector<std::uint8_t>& out) {
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

void Compiler::EmitStartSound(const Command& cmd, std::vector<std::uint8_t>& out) {
    BitWriter w;
    w.U16(CharacterOf(*movie_.byId.at(cmd.objectId)));
    // A start does not pile a second copy on one still playing (a looping timeline).
    w.U8(cmd.soundStop ? 0x20 : 0x10);
    WriteTag(out, kStartSound, w.Data());
}

}  // namespace tarnquill
