#pragma once
// A movie, an animated object over one layer and records with set frames, and a flat view of
// the commands the exporters wrote.

#include "genswf/animation/EffectExporter.h"
#include "genswf/animation/EffectExporters.h"

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

namespace exporterstest {

using namespace genswf;

class TestObject : public CAnimatedObject {
public:
    TestObject(CMovie* movie) : layer(CreateLayer(movie)), objects(CreateObjectsCollection(movie)) {}
    std::shared_ptr<CLayer> GetLayer() override { return layer; }
    std::shared_ptr<CLayer> layer;
    std::shared_ptr<CObjectsCollection> objects;

protected:
    std::shared_ptr<CObjectsCollection> FetchObjects() override { return objects; }
};

inline std::shared_ptr<CTimeLineEffect> Record(int type, bool exit, int direction, std::uint32_t start,
                                               std::uint32_t end, float duration = 1.0f) {
    CTimeLineEffect::Values v;
    v.exit = exit;
    v.effectType = type;
    v.targetShapeName = L"Box";
    v.parameters = std::make_shared<CEffectParameters>(direction);
    v.timing = std::make_shared<CEffectTiming>(duration, 0.0f, 1);
    v.information = std::make_shared<CEffectInformation>(0, false);
    auto effect = std::make_shared<CTimeLineEffect>(v);
    effect->SetStartFrame(start);
    effect->SetEndFrame(end);
    return effect;
}

// One written command with the track it is on (tracks numbered in layer order).
struct Written {
    std::size_t track;
    std::uint32_t frame;
    std::shared_ptr<CFrameCommand> command;
    int Type() const { return command->GetType(); }
    CPlacementCommand* Placement() const { return dynamic_cast<CPlacementCommand*>(command.get()); }
};

// Every command in frame order; within a frame, in track order then insertion order.
inline std::vector<Written> Commands(const CLayer& layer) {
    std::vector<Written> out;
    const auto& tracks = layer.GetFrames()->GetTracks();
    for (std::size_t t = 0; t < tracks.size(); ++t)
        for (const auto& entry : tracks[t]->GetCommandMap())
            for (const auto& command : entry.second) out.push_back({t, entry.first, command});
    std::stable_sort(out.begin(), out.end(), [](const Written& a, const Written& b) { return a.frame < b.frame; });
    return out;
}

}  // namespace exporterstest
