// Real presentations through the text wrappers: every paragraph of every text gives its indent,
// ruler margins, bullet and bullet text, and every run a font snapshot, without a failure.

#include "CorpusDecks.h"
#include "genswf/ppt/PptBulletFormat.h"
#include "genswf/ppt/PptFont.h"
#include "genswf/ppt/PptParagraphFormat.h"
#include "genswf/ppt/PptRuler.h"
#include "genswf/ppt/PptTextFrame.h"
#include "genswf/ppt/PptTextRange.h"
#include "powerpoint/loader/PptLoader.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>

using namespace genswf;
using namespace PowerPoint;
using namespace PowerPoint::Host;
namespace fs = std::filesystem;

namespace {

struct Tally {
    int paragraphs = 0;
    int bullets = 0;
    int runs = 0;
};

void WalkParagraphs(const std::shared_ptr<CPptTextFrame>& frame, const std::string& where, Tally& tally) {
    PowerPoint::TextRange* range = frame->GetTextRange();
    auto text = CreatePptTextRange(range);
    range->Release();
    auto levels = frame->GetRuler()->GetLevels();
    auto paragraphs = text->Paragraphs(-1, -1);
    const LONG count = paragraphs->GetCount();
    for (LONG p = 0; p < count; ++p) {
        auto paragraph = paragraphs->Paragraphs(p, 1);
        const LONG level = paragraph->GetIndentLevel();
        EXPECT_GE(level, 1) << where;
        EXPECT_LE(level, 5) << where;
        if (auto ruler = levels->GetItem(static_cast<std::uint32_t>(level - 1))) {
            EXPECT_TRUE(std::isfinite(ruler->GetFirstMargin())) << where;
            EXPECT_TRUE(std::isfinite(ruler->GetLeftMargin())) << where;
        }
        auto bullet = paragraph->GetParagraphFormat()->GetBullet();
        const std::wstring& bulletText = bullet->GetBulletText();
        const LONG type = bullet->GetType();
        if (type == ppBulletUnnumbered || type == ppBulletPicture) {
            EXPECT_EQ(1u, bulletText.size()) << where;
        } else if (type == ppBulletNumbered && bullet->GetStyle() >= 0 && bullet->GetStyle() < 30) {
            EXPECT_FALSE(bulletText.empty()) << where;
        }
        EXPECT_LE(bulletText.size(), 4100u) << where;
        if (bullet->GetVisible() != msoFalse) {
            ++tally.bullets;
            EXPECT_TRUE(std::isfinite(bullet->GetFont()->GetSize())) << where;
        }
        ++tally.paragraphs;

        auto runs = paragraph->Runs(-1, -1);
        const LONG runCount = runs->GetCount();
        for (LONG r = 0; r < runCount; ++r) {
            auto font = runs->Runs(r, 1)->GetFont();
            EXPECT_TRUE(std::isfinite(font->GetDisplaySize())) << where;
            EXPECT_LE(font->GetDisplaySize(), font->GetSize() + 0.001f) << where;
            EXPECT_TRUE(std::isfinite(font->GetBaselineOffset())) << where;
            ++tally.runs;
        }
    }
}

TEST(TextCorpus, EveryParagraphGivesItsFormatsAndBullet) {
    if (!fs::is_directory(BC_CORPUS_DIR)) GTEST_SKIP() << "corpus folder " << BC_CORPUS_DIR << " is absent";
    int files = 0;
    Tally tally;
    files += bctest::ForEachLoadedDeck(BC_CORPUS_DIR, [&](const std::string& name, Loader::LoadResult& loaded) {
        for (CHostSlide* slide : loaded.document->Slides()) {
            for (CHostShape* shape : slide->shapes) {
                if (shape->data.hasTextFrame == msoFalse) continue;
                const std::string where =
                    name + " slide " + std::to_string(slide->SlideIndex()) + " shape " + std::to_string(shape->data.id);
                CComPtr<TextFrame> frame;
                ASSERT_EQ(S_OK, shape->Interface()->get_TextFrame(&frame)) << where;
                try {
                    WalkParagraphs(CreatePptTextFrame(frame), where, tally);
                } catch (const CPPTException& e) {
                    ADD_FAILURE() << where << ": " << std::string(e.GetMessage().begin(), e.GetMessage().end());
                }
            }
        }
    });
    EXPECT_GT(files, 0) << "no corpus file loads";
    EXPECT_GT(tally.paragraphs, 0);
    EXPECT_GT(tally.bullets, 0) << "no visible bullet in the corpus";
    EXPECT_GT(tally.runs, 0);
    std::printf("%d files, %d paragraphs, %d visible bullets, %d runs\n", files, tally.paragraphs, tally.bullets,
                tally.runs);
}

}  // namespace
