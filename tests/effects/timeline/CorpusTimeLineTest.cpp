// Real presentations: every slide's timeline reads into records that match the loaded effects,
// and every record goes through its exporter without fault.

#include "genswf/animation/EffectExporter.h"
#include "genswf/animation/EffectRegistry.h"
#include "genswf/animation/TimeLine.h"
#include "powerpoint/loader/PptLoader.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace genswf;
using namespace PowerPoint;
using namespace PowerPoint::Host;
namespace fs = std::filesystem;

namespace {

class ShapeObject : public CAnimatedObject {
public:
    explicit ShapeObject(CMovie* movie) : layer(CreateLayer(movie)), objects(CreateObjectsCollection(movie)) {}
    std::shared_ptr<CLayer> GetLayer() override { return layer; }
    std::shared_ptr<CLayer> layer;
    std::shared_ptr<CObjectsCollection> objects;

protected:
    std::shared_ptr<CObjectsCollection> FetchObjects() override { return objects; }
};

TEST(CorpusTimeLine, EffectsReadAsLoadedAndExport) {
    if (!fs::is_directory(BC_CORPUS_DIR)) GTEST_SKIP() << "no corpus at " << BC_CORPUS_DIR;
    int effectsSeen = 0;
    for (const auto& entry : fs::directory_iterator(BC_CORPUS_DIR)) {
        if (entry.path().extension() != ".ppt") continue;
        Loader::LoadResult loaded;
        try {
            loaded = Loader::LoadPresentation(entry.path().string());
        } catch (const Loader::CPptLoadError&) {
            continue;  // unreadable files are the loader's concern
        }
        CEffectRegistry::CreateGlobal(loaded.document->Application());
        auto movie = CMovie::CreateEmpty();
        movie->SetMovieSize(720, 540);
        auto factory = CEffectExporterFactory::Create(movie.get());
        for (CHostSlide* slide : loaded.document->Slides()) {
            const std::string where = entry.path().filename().string() + " slide " + std::to_string(slide->slideId);
            auto list = CTimeLineAnimation::CreateForSlide(slide->Interface())->GetEffectList();
            std::vector<const EffectData*> targeted;
            for (CHostEffect* effect : slide->effects)
                if (effect->data.shape && !effect->data.shape->data.name.empty()) targeted.push_back(&effect->data);
            ASSERT_EQ(targeted.size(), list->GetCount()) << where;
            for (std::size_t i = 0; i < list->GetCount(); ++i) {
                auto record = list->GetItem(i);
                EXPECT_EQ(targeted[i]->shape->data.name, record->GetTargetShapeName()) << where;
                EXPECT_EQ(targeted[i]->effectType, record->GetEffectType()) << where;
                record->SetStartFrame(static_cast<std::uint32_t>(i * 6));
                record->SetEndFrame(static_cast<std::uint32_t>(i * 6 + 5));
                auto object = std::make_shared<ShapeObject>(movie.get());
                object->SetObject(movie->GetObjects()->AddRectangle(0, 0, 10, 10));
                auto placement = CPlacement::Create(movie.get(), 10, 10, 100, 50, CMatrix());
                factory->GetExporter(record)->Export(placement, object, record);
                EXPECT_FALSE(object->layer->GetFrames()->GetTracks().empty()) << where;
                ++effectsSeen;
            }
        }
    }
    CEffectRegistry::CreateGlobal(nullptr);
    RecordProperty("effects", effectsSeen);
}

}  // namespace
