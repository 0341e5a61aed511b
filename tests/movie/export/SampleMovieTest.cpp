// The example presentation converted the whole way: loaded into the host, exported into a
// working folder by both PowerPoint versions, compiled by the registered compiler and, where
// the player tools are installed, parsed by an independent SWF reader.

#include "AddinTestSupport.h"
#include "SlideTestSupport.h"
#include "SwfTestReader.h"
#include "genswf/animation/EffectRegistry.h"
#include "genswf/compiler/CompileSwf.h"
#include "genswf/movie/ExportSettings.h"
#include "genswf/movie/Movie.h"
#include "powerpoint/loader/PptLoader.h"

#include <gtest/gtest.h>

#include <dlfcn.h>
#include <sys/wait.h>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

using namespace genswf;
using namespace slidetest;

namespace {

const char* const kSample = BC_SOURCE_DIR "/examples/sample.ppt";
// BC_SWFSHOT names the tool where the shared folder lies elsewhere.
std::string SwfShot() {
    const char* given = std::getenv("BC_SWFSHOT");
    return given ? given : BC_SOURCE_DIR "/../shared/tools/swfshot/swfshot";
}

void RegisterCompiler() {
    void* library = ::dlopen(BC_BINARY_DIR "/lib/libtarnquill.so", RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(library, nullptr) << ::dlerror();
    auto registerServer = reinterpret_cast<HRESULT (*)()>(::dlsym(library, "DllRegisterServer"));
    ASSERT_NE(registerServer, nullptr);
    ASSERT_EQ(registerServer(), S_OK);
}

struct Converted {
    std::size_t slides = 0;
    std::vector<std::string> rootFrames;  // the root layer's frames, described
    std::vector<std::uint8_t> swf;
    std::size_t changes = 0;
    PowerPoint::MsoTriState saved = PowerPoint::msoFalse;
};

// What the converter does around the movie: settings, the movie with its options, the export
// into "movie.xml" and the compile.
Converted Convert(const std::string& path, const wchar_t* version, const CScratchFolder& folder) {
    PowerPoint::Loader::LoadOptions options;
    options.version = version;
    PowerPoint::Loader::LoadResult loaded = PowerPoint::Loader::LoadPresentation(path, options);
    loaded.document->saved = PowerPoint::msoFalse;
    loaded.document->ClearChanges();
    Converted out;
    {
        auto settings = CExportSettings::Create(loaded.document->Presentation());
        settings->SetTempFolder(folder.Path() + L"/");
        settings->SetMovieSize(720, 540);
        settings->ReadSlides(nullptr);
        auto movie = CMovie::Create(settings);
        movie->SetFrameRate(24);
        movie->SetLoopAllowed(true);
        movie->SetOneFramePerSlide(true);
        movie->Export(L"movie.xml");
        out.slides = movie->GetSlideCount();
        // The root layer is the last one the export writes into the movie's "layers".
        std::vector<XmlElementPtr> layers = Children(movie->GetLayersElement(), L"layer");
        if (!layers.empty())
            for (const XmlElementPtr& frame : Children(layers.back(), L"frame"))
                out.rootFrames.push_back(U8(frame->getAttribute(L"index")));
        EXPECT_EQ("", Validate(folder.Path() + L"/movie.xml"));
        CompileSwf(folder.Path() + L"/movie.xml", out.swf);
    }
    // The copy is saved from a presentation marked saved; the mark is put back afterwards.
    for (const auto& change : loaded.document->Changes()) {
        if (change.member == "Presentation.put_Saved") continue;
        ++out.changes;
        ADD_FAILURE() << "changed: " << U8(change.object) << " " << change.member;
    }
    out.saved = loaded.document->saved;
    CEffectRegistry::CreateGlobal(nullptr);
    return out;
}

TEST(SampleMovie, ConvertsUnderBothVersionsAndParses) {
    if (!std::filesystem::exists(kSample)) GTEST_SKIP() << "no example presentation at " << kSample;
    CTestRegistry registry;
    RegisterCompiler();
    for (const wchar_t* version : {L"11.0", L"9.0"}) {
        SCOPED_TRACE(U8(version));
        CScratchFolder folder;
        Converted movie;
        ASSERT_EQ("", FailureOf([&] { movie = Convert(kSample, version, folder); }));
        ASSERT_GT(movie.slides, 0u);
        // One frame per slide and the end frame.
        ASSERT_EQ(movie.slides + 1, movie.rootFrames.size());
        EXPECT_EQ(std::to_string(movie.slides), movie.rootFrames.back());
        EXPECT_EQ(0u, movie.changes) << "the export changed the user's presentation";
        EXPECT_EQ(PowerPoint::msoFalse, movie.saved) << "the export marked the presentation saved";
        ASSERT_GT(movie.swf.size(), 8u);
        EXPECT_EQ("CWS", std::string(movie.swf.begin(), movie.swf.begin() + 3));
        // The sample's picture reaches the movie as a bitmap on both paths: the older one carries
        // it inside the shape's metafile.
        const swftest::Movie parsed = swftest::Read(movie.swf);
        EXPECT_TRUE(std::any_of(parsed.tags.begin(), parsed.tags.end(), [](const swftest::Tag& t) {
            return t.code == 36 || t.code == 35;
        })) << "no bitmap in the movie";

        const std::string swfPath = folder.Native() + "/sample.swf";
        ASSERT_TRUE(WriteWholeFile(folder.Path() + L"/sample.swf", movie.swf.data(), movie.swf.size()));
        // To look at the movie: BC_KEEP_MOVIE names a folder the movies are copied into.
        if (const char* keep = std::getenv("BC_KEEP_MOVIE"))
            std::filesystem::copy_file(swfPath, std::string(keep) + "/sample-" + U8(version) + ".swf",
                                       std::filesystem::copy_options::overwrite_existing);
        const std::string tool = SwfShot();
        if (!std::filesystem::exists(tool)) {
            std::printf("swfshot is not installed at %s; the SWF reader check is skipped\n", tool.c_str());
            continue;
        }
        // Checks take turns: the checker rewrites its scripts in a shared cache on every start.
        const std::string command = "flock '" + tool + "' '" + tool + "' --check '" + swfPath + "' >/dev/null 2>&1";
        const int status = std::system(command.c_str());
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << command;
    }
}

}  // namespace
