// Text boxes of real decks take the presentation's default text style, not their master's
// "other" style: a deck whose masters right-align such text, and one whose default centres it.

#include "powerpoint/loader/PptLoader.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace PowerPoint;
using namespace PowerPoint::Host;
using namespace PowerPoint::Loader;

TEST(InheritedStyles, TextBoxesTakeThePresentationsDefaultStyle) {
    if (!std::filesystem::is_directory(BC_CORPUS_DIR))
        GTEST_SKIP() << "corpus folder " << BC_CORPUS_DIR << " is absent";
    struct Case {
        const char* file;
        size_t slide;
        const wchar_t* start;  // the text box's first characters
        PpParagraphAlignment alignment;
    } cases[] = {
        {"41246-1.ppt", 8, L"c:\\temp>java -prof", ppAlignLeft},
        {"45543.ppt", 0, L"Access to Finance", ppAlignCenter},
    };
    for (const Case& c : cases) {
        const LoadResult r = LoadPresentation(std::string(BC_CORPUS_DIR) + "/" + c.file);
        ASSERT_LT(c.slide, r.document->Slides().size()) << c.file;
        const ShapeData* found = nullptr;
        for (const CHostShape* s : r.document->Slides()[c.slide]->shapes)
            if (s->data.text.text.rfind(c.start, 0) == 0) found = &s->data;
        ASSERT_NE(found, nullptr) << c.file;
        ASSERT_FALSE(found->text.paragraphs.empty());
        for (const ParagraphData& p : found->text.paragraphs) EXPECT_EQ(p.alignment, c.alignment) << c.file;
    }
}
