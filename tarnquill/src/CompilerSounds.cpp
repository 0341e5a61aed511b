// Event sounds: their definitions and the stops planned at their end.
#include "CompilerInternal.h"
#include "Files.h"

#include <algorithm>
#include <cmath>

namespace tarnquill {

// A started sound is an event sound (StartSound). "stopOnFinish" puts a stop action on
// the first frame after the sound has ended, adding frames when the timeline is
// shorter; "trimFrames" and "trimToMovie" stop the sound (StartSound with SyncStop)
// after that many frames or on the timeline's last frame, when it would still play.
void Compiler::PlanSounds(Plan& plan) {
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

const Sound& Compiler::LoadSound(const Definition& def) {
    auto found = sounds_.find(&def);
    if (found != sounds_.end()) return found->second;
    try {
        return sounds_.emplace(&def, ReadSound(ResolvePath(def.src))).first->second;
    } catch (const InputError& e) {
        FailAt(def.where, "src", e.what());
    }
}

std::uint16_t Compiler::EmitSound(const Definition& def) {
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

}  // namespace tarnquill
