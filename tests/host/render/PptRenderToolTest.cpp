// pptrender over the corpus: every slide of every file that loads is drawn at its size in points;
// files that do not load are refused with a message and no picture. What it draws is what the
// host's Slide.Export and Shape.Export draw, text included.

#include "FileBytes.h"
#include "PngSize.h"
#include "TempDir.h"
#include "powerpoint/loader/PptLoader.h"

#include <gtest/gtest.h>

#include <unistd.h>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

struct ToolRun {
    int code;
    std::string output;
};

ToolRun RunTool(const std::string& args) {
    ToolRun r{-1, {}};
    FILE* p = ::popen((std::string(BC_PPTRENDER) + " " + args + " 2>&1").c_str(), "r");
    if (!p) return r;
    char buf[4096];
    while (size_t n = std::fread(buf, 1, sizeof buf, p)) r.output.append(buf, n);
    const int status = ::pclose(p);
    r.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return r;
}

std::string Quote(const fs::path& p) { return "'" + p.string() + "'"; }

}  // namespace

TEST(PptRenderTool, DrawsEverySlideOfEveryFileThatLoads) {
    const fs::path corpus = BC_CORPUS_DIR;
    if (!fs::is_directory(corpus)) GTEST_SKIP() << "no corpus at " << corpus;
    CScratchFolder folder;
    const fs::path out = folder.Fs();
    int slides = 0;
    for (const auto& entry : fs::directory_iterator(corpus)) {
        if (entry.path().extension() != ".ppt") continue;
        SCOPED_TRACE(entry.path().filename().string());
        // Each run loads the whole file: beyond its tenth slide a long deck is drawn every tenth slide.
        for (int n = 1; n < 1000; n += n < 10 ? 1 : 10) {
            const fs::path png = out / ("s" + std::to_string(n) + ".png");
            const ToolRun r =
                RunTool(Quote(entry.path()) + " --slide " + std::to_string(n) + " --shapes -o " + Quote(png));
            if (r.code != 0) {
                EXPECT_EQ(r.code, 1) << r.output;
                EXPECT_TRUE(r.output.find("cannot be opened") != std::string::npos ||
                            r.output.find("slides, not " + std::to_string(n)) != std::string::npos)
                    << r.output;
                EXPECT_FALSE(fs::exists(png));
                break;
            }
            const auto [w, h] = bctest::PngSize(png);
            EXPECT_GT(w, 0);
            EXPECT_GT(h, 0);
            ++slides;
            fs::remove(png);
        }
    }
    EXPECT_GT(slides, 50);
}

TEST(PptRenderTool, BadArgumentsShowUsage) {
    for (const char* args : {"", "x.ppt", "x.ppt --slide 0 -o y.png", "x.ppt --slide two -o y.png", "--bogus",
                             "x.ppt --slide=1 -o y.png z.ppt", "x.ppt --slide"}) {
        const ToolRun r = RunTool(args);
        EXPECT_EQ(r.code, 2) << args;
        EXPECT_NE(r.output.find("usage:"), std::string::npos) << args;
    }
    const ToolRun missing = RunTool("--slide=1 --output=/tmp/never.png -- /no/such/file.ppt");
    EXPECT_EQ(missing.code, 1);
    const ToolRun help = RunTool("--help");
    EXPECT_EQ(help.code, 0);
    EXPECT_NE(help.output.find("--slide=N"), std::string::npos);
}

TEST(PptRenderTool, DrawsWhatTheHostExportsTextIncluded) {
    using namespace PowerPoint;
    const fs::path corpus = BC_CORPUS_DIR;
    if (!fs::is_directory(corpus)) GTEST_SKIP() << "no corpus at " << corpus;
    CScratchFolder folder;
    const fs::path out = folder.Fs();
    int shapes = 0;
    // Titles and body text from the master; a footer, a slide number and a date of the slide's own.
    for (const auto& [file, number] : {std::make_pair("WithMaster.ppt", 1), std::make_pair("WithMaster.ppt", 2),
                                       std::make_pair("headers_footers.ppt", 2)}) {
        SCOPED_TRACE(std::string(file) + " slide " + std::to_string(number));
        const fs::path tool = out / "tool.png";
        const ToolRun r =
            RunTool(Quote(corpus / file) + " --slide " + std::to_string(number) + " --shapes -o " + Quote(tool));
        ASSERT_EQ(r.code, 0) << r.output;

        Loader::LoadResult loaded = Loader::LoadPresentation((corpus / file).string());
        Host::CHostSlide* slide = loaded.document->Slides().at(number - 1);
        const auto width = static_cast<LONG>(slide->master->width), height = static_cast<LONG>(slide->master->height);
        const fs::path host = out / "host.png";
        ASSERT_EQ(S_OK, slide->Interface()->Export(CBstr(host.wstring()), CBstr(L"png"), width, height));
        EXPECT_EQ(bctest::FileText(tool), bctest::FileText(host));

        // Each shape's own picture, numbered among the slide's visible shapes.
        int n = 0;
        for (Host::CHostShape* shape : slide->shapes) {
            if (shape->data.visible == msoFalse) continue;
            ++n;
            const fs::path own = out / ("tool-shape" + std::to_string(n) + ".png");
            ASSERT_TRUE(fs::exists(own)) << n;
            ASSERT_EQ(S_OK,
                      shape->Interface()->Export(CBstr(host.wstring()), ppShapeFormatPNG, width, height, ppScaleXY));
            EXPECT_EQ(bctest::FileText(own), bctest::FileText(host)) << n;
        }
        shapes += n;
    }
    EXPECT_GT(shapes, 0);
}
