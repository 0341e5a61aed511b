#include "Actions.h"

#include "SwfWriter.h"
#include "tarnquill/Compiler.h"

namespace tarnquill {
namespace {

enum : std::uint8_t {
    kActionStop = 0x07,
    kActionPop = 0x17,
    kActionCallFunction = 0x3D,
    kActionGotoFrame = 0x81,
    kActionGetURL = 0x83,
    kActionSetTarget = 0x8B,
    kActionPush = 0x96,
};

void Record(BitWriter& w, std::uint8_t code, const std::vector<std::uint8_t>& payload) {
    if (payload.size() > 0xffff) throw CompileError("action data too long");
    w.U8(code);
    w.U16(static_cast<std::uint16_t>(payload.size()));
    w.Bytes(payload);
}

std::vector<std::uint8_t> Zstring(const std::string& a, const std::string* b = nullptr) {
    BitWriter w;
    w.String(a);
    if (b) w.String(*b);
    return w.Data();
}

}  // namespace

std::vector<std::uint8_t> EncodeActions(const std::vector<Action>& actions) {
    BitWriter w;
    bool targetChanged = false;
    for (const Action& a : actions) {
        switch (a.kind) {
        case ActionKind::Stop:
            w.U8(kActionStop);
            break;
        case ActionKind::GetURL:
            Record(w, kActionGetURL, Zstring(a.url, &a.target));
            break;
        case ActionKind::SetTarget:
            Record(w, kActionSetTarget, Zstring(a.name));
            targetChanged = true;
            break;
        case ActionKind::GoToFrame: {
            BitWriter p;
            p.U16(static_cast<std::uint16_t>(a.index));
            Record(w, kActionGotoFrame, p.Data());
            break;
        }
        case ActionKind::CallFunction: {
            // Arguments are pushed last first, then their count and the name.
            BitWriter p;
            for (auto it = a.params.rbegin(); it != a.params.rend(); ++it) {
                p.U8(7);  // integer
                p.U32(static_cast<std::uint32_t>(*it));
            }
            p.U8(7);
            p.U32(static_cast<std::uint32_t>(a.params.size()));
            p.U8(0);  // string
            p.String(a.name);
            Record(w, kActionPush, p.Data());
            w.U8(kActionCallFunction);
            w.U8(kActionPop);  // the result is not used
            break;
        }
        }
    }
    // A changed target would otherwise leak into the timeline's later actions.
    if (targetChanged) Record(w, kActionSetTarget, Zstring(""));
    w.U8(0);
    return w.Data();
}

}  // namespace tarnquill
