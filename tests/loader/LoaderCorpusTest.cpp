#include "PptLoader.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace PowerPoint;
using namespace PowerPoint::Loader;

namespace {

std::string Corpus(const std::string& name) { return std::string(BC_CORPUS_DIR) + "/" + name; }

} // namespace

TEST(LoaderCorpus, EveryFileLoadsOrIsRefusedClearly)
{
    if (!std::filesystem::is_directory(BC_CORPUS_DIR))
        GTEST_SKIP() << "corpus folder " << BC_CORPUS_DIR << " is absent";
    for (const auto& entry : std::filesystem::directory_iterator(BC_CORPUS_DIR)) {
        const std::string path = entry.path().string();
        try {
            LoadResult r = LoadPresentation(path);
            std::printf("%s: %zu slides, %zu warnings\n", entry.path().filename().c_str(), r.document->Slides().size(), r.warnings.size());
            for (auto& w : r.warnings) std::printf("   %ls\n", w.c_str());
        } catch (const CPptLoadError& e) {
            std::printf("%s: refused (%d): %s\n", entry.path().filename().c_str(), e.GetKind(), e.what());
        }
    }
}
