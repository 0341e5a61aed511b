// Real presentations through the format and timeline wrappers: every effect of every slide reads
// into its stored records with the values the loaded slide holds, and every shape's fill and line
// read as loaded.

#include "CorpusDecks.h"
#include "WrapperTestSupport.h"
#include "genswf/ppt/PptFillFormat.h"
#include "genswf/ppt/PptLineFormat.h"
#include "genswf/ppt/PptTimeLine.h"
#include "powerpoint/loader/PptLoader.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace genswf;
using namespace PowerPoint;
using namespace PowerPoint::Host;
namespace fs = std::filesystem;

namespace {

// Reads the slide's main sequence as the effect list does; returns the effects read.
int ReadEffects(CHostSlide* slide, const std::string& where) {
    CComPtr<TimeLine> raw;
    if (slide->Interface()->get_TimeLine(&raw) < 0) return 0;
    CPptTimeLine timeLine(raw);
    PowerPoint::Sequence* sequencePtr = timeLine.GetMainSequencePtr();
    CPptSequence sequence(sequencePtr);
    sequencePtr->Release();
    EXPECT_EQ(static_cast<LONG>(slide->effects.size()), sequence.GetCount()) << where;
    for (LONG i = 0; i < sequence.GetCount(); ++i) {
        const EffectData& data = slide->effects[static_cast<std::size_t>(i)]->data;
        PowerPoint::Effect* effectPtr = sequence.GetItem(i);
        CPptEffect effect(effectPtr);
        effectPtr->Release();
        EXPECT_EQ(i, effect.GetIndex()) << where;
        EXPECT_EQ(data.paragraph - 1, effect.GetParagraph()) << where;
        EXPECT_EQ(data.effectType, effect.GetEffectType()) << where;
        EXPECT_EQ(data.exit, effect.GetExit()) << where;
        PowerPoint::Shape* shape = effect.GetShapePtr();
        EXPECT_EQ(data.shape != nullptr, shape != nullptr) << where;
        if (shape) shape->Release();

        PowerPoint::Timing* timingPtr = effect.GetTimingPtr();
        CPptTiming timing(timingPtr);
        timingPtr->Release();
        auto storedTiming = CreateEffectTiming(timing);
        EXPECT_EQ(data.duration, storedTiming->GetDuration()) << where;
        EXPECT_EQ(data.triggerDelayTime, storedTiming->GetTriggerDelayTime()) << where;
        EXPECT_EQ(data.triggerType, storedTiming->GetTriggerType()) << where;

        PowerPoint::EffectParameters* parametersPtr = effect.GetEffectParametersPtr();
        CPptEffectParameters parameters(parametersPtr);
        parametersPtr->Release();
        EXPECT_EQ(data.direction, CreateEffectParameters(parameters)->GetDirection()) << where;

        PowerPoint::EffectInformation* informationPtr = effect.GetEffectInformationPtr();
        CPptEffectInformation information(informationPtr);
        informationPtr->Release();
        auto storedInformation = CreateEffectInformation(information);
        EXPECT_EQ(data.buildByLevelEffect, storedInformation->GetBuildByLevelEffect()) << where;
        EXPECT_EQ(data.animateTextInReverse == msoTrue, storedInformation->GetAnimateTextInReverse()) << where;
    }
    return static_cast<int>(sequence.GetCount());
}

TEST(CorpusWrappers, EffectsFillsAndLinesReadAsLoaded) {
    if (!fs::is_directory(BC_CORPUS_DIR)) GTEST_SKIP() << "no corpus at " << BC_CORPUS_DIR;
    int files = 0, effects = 0, shapes = 0;
    files += bctest::ForEachLoadedDeck(BC_CORPUS_DIR, [&](const std::string& name, Loader::LoadResult& loaded) {
        const ULONG before = wrapperstest::Refs(loaded.document);
        for (CHostSlide* slide : loaded.document->Slides()) {
            const std::string where = name + " slide " + std::to_string(slide->slideId);
            effects += ReadEffects(slide, where);
            for (CHostShape* shape : slide->shapes) {
                CComPtr<FillFormat> fillPtr;
                CComPtr<LineFormat> linePtr;
                ASSERT_EQ(S_OK, shape->Interface()->get_Fill(&fillPtr)) << where;
                ASSERT_EQ(S_OK, shape->Interface()->get_Line(&linePtr)) << where;
                auto fill = CreatePptFillFormat(fillPtr);
                auto line = CreatePptLineFormat(linePtr);
                EXPECT_EQ(shape->data.fill.visible, fill->GetVisible()) << where;
                EXPECT_EQ(shape->data.fill.transparency, fill->GetTransparency()) << where;
                EXPECT_EQ(shape->data.fill.foreColor.rgb, fill->GetForeColor()->GetRGB()) << where;
                EXPECT_EQ(shape->data.line.visible, line->GetVisible()) << where;
                EXPECT_EQ(shape->data.line.transparency, line->GetTransparency()) << where;
                ++shapes;
            }
        }
        EXPECT_EQ(before, wrapperstest::Refs(loaded.document)) << name;
    });
    EXPECT_GT(files, 0);
    EXPECT_GT(shapes, 0);
    // The corpus holds animated slides: none read means the timeline lost them.
    EXPECT_GT(effects, 0);
    RecordProperty("effects", effects);
}

}  // namespace
