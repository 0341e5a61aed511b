#include "TempDir.h"
#include "genswf/movie/ParsedPresentation.h"
#include "genswf/utils/Exceptions.h"
#include "genswf/utils/Utils.h"
#include "libpptparser/Presentation.h"

#include <gtest/gtest.h>

using namespace genswf;

namespace {

TEST(ParsedPresentation, ReadsASavedPresentation) {
    const std::wstring sample = WideFromUtf8(BC_SOURCE_DIR "/examples/sample.ppt");
    if (!FileExists(sample)) GTEST_SKIP() << "examples/sample.ppt is missing";
    const auto presentation = ParseSavedPresentation(sample);
    ASSERT_NE(presentation, nullptr);
    EXPECT_EQ(presentation->GetSlides()->GetCount(), 4u);
}

TEST(ParsedPresentation, ParserFailuresKeepTheirReason) {
    CScratchFolder scratch;
    const std::wstring folder = scratch.Path();
    const std::wstring garbage = folder + L"/~tmp.ppt";
    ASSERT_TRUE(WriteWholeFile(garbage, "not a presentation at all", 25));

    const std::wstring encrypted = WideFromUtf8(BC_CORPUS_DIR "/Password_Protected-hello.ppt");
    for (const std::wstring& path : {garbage, folder + L"/missing.ppt", encrypted}) {
        if (path == encrypted && !FileExists(encrypted)) continue;
        try {
            ParseSavedPresentation(path);
            ADD_FAILURE() << NativePath(path) << " parsed";
        } catch (const CBaseException& e) {
            EXPECT_EQ(e.GetCode(), kParseFailureCode);
            EXPECT_GT(e.GetMessage().size(), std::wstring(L"The presentation cannot be read: ").size() + 5)
                << NativePath(e.GetMessage());
        }
    }
}

}  // namespace
