// Real presentations: every slide's timeline reads into records that match the loaded effects,
// and every record goes through its exporter without fault.

#include "CorpusDecks.h"
#include "genswf/animation/EffectExporter.h"
#include "genswf/animation/EffectRegistry.h"
#include "genswf/animation/TimeLine.h"
#include "powerpoint/loader/PptLoader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

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
    bctest::ForEachLoadedDeck(BC_CORPUS_DIR, [&](const std::string& name, Loader::LoadResult& loaded) {
        CEffectRegistry::CreateGlobal(loaded.document->Application());
        auto movie = CMovie::CreateEmpty();
        movie->SetMovieSize(720, 540);
        auto factory = CEffectExporterFactory::Create(movie.get());
        for (CHostSlide* slide : loaded.document->Slides()) {
            const std::string where = name + " slide " + std::to_string(slide->slideId);
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
    });
    CEffectRegistry::CreateGlobal(nullptr);
    RecordProperty("effects", effectsSeen);
    // The corpus holds animated slides (see the next test): none read means effects were lost.
    EXPECT_GT(effectsSeen, 0) << "no effect read from the corpus";
}

}  // namespace

namespace {

// What the corpus files hold in the timelines of the slides their slide lists name, read from
// their records apart from the loader: per deck, the slides with effects and each effect's
// target, class, preset, trigger, delay and duration. Every other deck's slides hold none
// (41246-1, WithLinks, missing-moveto, slide_master and table_test have empty timelines).
// 49541_symbol_map's two other timelines, of seven effects each, belong to its title masters,
// whose shapes and animations a slide does not take over.
struct CorpusEffect {
    LONG shape, presetClass, preset, subtype;
    MsoAnimTriggerType trigger;
    float delay, duration;
    LONG paragraph;
};
struct CorpusSlide {
    const char* deck;
    LONG slideId;
    std::vector<CorpusEffect> effects;
};

TEST(CorpusTimeLine, EffectsPerSlideAgreeWithTheFiles) {
    if (!fs::is_directory(BC_CORPUS_DIR)) GTEST_SKIP() << "no corpus at " << BC_CORPUS_DIR;
    const CorpusSlide expected[] = {
        // A zoom in slightly on the third paragraph, on click.
        {"45543.ppt", 499, {{1028, 1, 23, 272, msoAnimTriggerOnPageClick, 0.0f, 0.5f, 3}}},
        {"45543.ppt", 545, {{3076, 1, 23, 272, msoAnimTriggerOnPageClick, 0.0f, 0.5f, 3}}},
        // The sound plays after the previous effect (there is none) for 906 ms.
        {"sound.ppt", 256, {{4098, 6, 1, 0, msoAnimTriggerAfterPrevious, 0.0f, 0.906f, 0}}},
    };
    std::size_t matched = 0;
    std::vector<fs::path> decks;
    for (const auto& entry : fs::directory_iterator(BC_CORPUS_DIR))
        if (entry.path().extension() == ".ppt") decks.push_back(entry.path());
    std::sort(decks.begin(), decks.end());
    std::ostringstream table;
    table << "deck | slides | effects per slide (slide id: count, by class)\n";
    for (const fs::path& path : decks) {
        Loader::LoadResult loaded;
        try {
            loaded = Loader::LoadPresentation(path.string());
        } catch (const Loader::CPptLoadError&) {
            table << path.filename().string() << " | not loaded |\n";
            continue;
        }
        const std::string deck = path.filename().string();
        table << deck << " | " << loaded.document->Slides().size() << " |";
        bool any = false;
        for (CHostSlide* slide : loaded.document->Slides()) {
            if (slide->effects.empty()) continue;
            static const char* const kClass[] = {"?", "entrance", "exit", "emphasis", "path", "verb", "media"};
            int byClass[7] = {};
            for (const CHostEffect* e : slide->effects)
                ++byClass[e->data.presetClass >= 0 && e->data.presetClass < 7 ? e->data.presetClass : 0];
            table << (any ? ", " : " ") << slide->slideId << ": " << slide->effects.size() << " (";
            bool first = true;
            for (int c = 0; c < 7; ++c)
                if (byClass[c]) {
                    table << (first ? "" : " ") << kClass[c] << " " << byClass[c];
                    first = false;
                }
            table << ")";
            any = true;
        }
        table << (any ? "\n" : " none\n");
        for (CHostSlide* slide : loaded.document->Slides()) {
            SCOPED_TRACE(deck + " slide " + std::to_string(slide->slideId));
            EXPECT_TRUE(slide->interactiveSequences.empty());
            const CorpusSlide* want = nullptr;
            for (const CorpusSlide& c : expected)
                if (deck == c.deck && slide->slideId == c.slideId) want = &c;
            if (!want) {
                EXPECT_TRUE(slide->effects.empty());
                continue;
            }
            ++matched;
            ASSERT_EQ(want->effects.size(), slide->effects.size());
            for (std::size_t i = 0; i < slide->effects.size(); ++i) {
                const EffectData& d = slide->effects[i]->data;
                const CorpusEffect& w = want->effects[i];
                ASSERT_TRUE(d.shape);
                EXPECT_EQ(w.shape, d.shape->data.id);
                EXPECT_EQ(w.presetClass, d.presetClass);
                EXPECT_EQ(w.preset, d.presetId);
                EXPECT_EQ(w.subtype, d.presetSubtype);
                EXPECT_EQ(w.trigger, d.triggerType);
                EXPECT_FLOAT_EQ(w.delay, d.triggerDelayTime);
                EXPECT_FLOAT_EQ(w.duration, d.duration);
                EXPECT_EQ(w.paragraph, d.paragraph);
            }
        }
    }
    EXPECT_EQ(std::size(expected), matched);
    std::cout << table.str();
}

}  // namespace
