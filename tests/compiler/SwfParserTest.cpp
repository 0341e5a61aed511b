// Our output read by the independent parser agrees, tag by tag, with what we read back
// ourselves: kinds, order, character ids, depths, clip depths, bitmap sizes, frame counts.
#include "SwfTestReader.h"
#include "tarnquill/Compiler.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <unistd.h>

namespace {

const std::string kTools = BC_BINARY_DIR "/node-tools";

std::string Name(int code) {
    switch (code) {
    case 1: return "ShowFrame";
    case 9: return "SetBackgroundColor";
    case 12: return "DoAction";
    case 26: return "PlaceObject";
    case 28: return "RemoveObject";
    case 32: return "DefineShape";
    case 34: return "DefineButton";
    case 35: case 36: return "DefineBitmap";
    case 39: return "DefineSprite";
    case 43: return "FrameLabel";
    case 69: return "FileAttributes";
    default: return std::to_string(code);
    }
}

void Describe(const std::vector<swftest::Tag>& tags, const std::string& indent, std::vector<std::string>& out) {
    for (const auto& t : tags) {
        if (t.code == 0) continue;
        std::string s = indent + Name(t.code);
        if (int id = swftest::DefinedId(t)) s += " id=" + std::to_string(id);
        if (t.code == 36) s += " size=" + std::to_string(t.body[3] | (t.body[4] << 8)) + "x" +
                               std::to_string(t.body[5] | (t.body[6] << 8));
        if (t.code == 35) s += " size=?"; // the JPEG's own header holds it; compared below
        if (t.code == 39) s += " frames=" + std::to_string(t.body[2] | (t.body[3] << 8));
        if (t.code == 26) {
            auto p = swftest::ReadPlace(t);
            s += " depth=" + std::to_string(p.depth);
            if (p.hasCharacter) s += " char=" + std::to_string(p.character);
            if (p.clipDepth) s += " clip=" + std::to_string(p.clipDepth);
        }
        if (t.code == 28) s += " depth=" + std::to_string(t.body[0] | (t.body[1] << 8));
        out.push_back(s);
        if (t.code == 39) Describe(t.children, indent + "  ", out);
    }
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

TEST(CompilerSwfParser, IndependentParserReadsWhatWeWrote) {
    if (!std::ifstream(kTools + "/node_modules/swf-parser/package.json"))
        GTEST_SKIP() << "swf-parser is not installed in " << kTools << " (npm or network unavailable)";
    for (const char* fixture : {"slides.xml", "masks.xml"}) {
        auto swf = tarnquill::CompileFile(BC_SOURCE_DIR "/tests/data/compiler/" + std::string(fixture), {}).swf;
        std::string path = kTools + "/check-" + std::to_string(::getpid()) + ".swf";
        std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(swf.data()), swf.size());
        std::string command = "node " + kTools + "/swfsummary.mjs " + path + " 2>&1";
        FILE* pipe = popen(command.c_str(), "r");
        ASSERT_NE(pipe, nullptr);
        std::string text;
        char buffer[4096];
        while (std::size_t n = fread(buffer, 1, sizeof buffer, pipe)) text.append(buffer, n);
        int status = pclose(pipe);
        std::remove(path.c_str());
        ASSERT_EQ(status, 0) << text;

        auto movie = swftest::Read(swf);
        std::vector<std::string> ours = {"header 8 " + std::to_string(movie.frameCount) + " " +
                                         std::to_string(movie.width) + "x" + std::to_string(movie.height)};
        Describe(movie.tags, "", ours);
        auto theirs = Lines(text);
        ASSERT_EQ(theirs.size(), ours.size()) << fixture << "\n" << text;
        for (std::size_t i = 0; i < ours.size(); ++i) {
            if (ours[i].find("size=?") != std::string::npos) {
                EXPECT_EQ(theirs[i].rfind(ours[i].substr(0, ours[i].find(" size=")), 0), 0u) << fixture;
                EXPECT_NE(theirs[i].find("size=20x20"), std::string::npos) << theirs[i];
            } else {
                EXPECT_EQ(theirs[i], ours[i]) << fixture << " line " << i;
            }
        }
    }
}

} // namespace
