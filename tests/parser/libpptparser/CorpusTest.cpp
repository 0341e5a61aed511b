// Every presentation of the shared corpus either yields its record tree or fails with a clear
// message; the files of a known kind fail with the message of that kind.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>

#include "libpptparser/PptAtoms.h"
#include "libpptparser/PptParserException.h"
#include "libpptparser/PptStyleTextPropAtom.h"
#include "libpptparser/Presentation.h"
#include "libpptparser/StreamParser.h"

using namespace libpptparser;
namespace fs = std::filesystem;

namespace {

std::vector<fs::path> CorpusFiles() {
    std::vector<fs::path> files;
    const fs::path dir(BC_CORPUS_DIR);
    if (!fs::is_directory(dir)) return files;
    for (const auto& entry : fs::directory_iterator(dir))
        if (entry.path().extension() == ".ppt") files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    return files;
}

struct TreeFacts {
    size_t records = 0;
    bool ordinalsMatch = true;
    size_t styleAtoms = 0;
    size_t styleAtomsCoveringText = 0;  // runs sum to the text length + 1 in both loops
    size_t styleAtomsUsingAllData = 0;  // runs end exactly at the atom's end
};

TreeFacts Inspect(const CPptContainer& root) {
    TreeFacts facts;
    std::vector<const CPptContainer*> stack{&root};
    while (!stack.empty()) {
        const CPptContainer* c = stack.back();
        stack.pop_back();
        for (size_t i = 0; i < c->GetChildCount(); ++i) {
            const auto child = c->GetChild(i);
            ++facts.records;
            if (child->GetOrdinal() != i || child->GetParent() != c) facts.ordinalsMatch = false;
            if (child->IsContainer()) stack.push_back(static_cast<const CPptContainer*>(child.get()));
            const auto style = std::dynamic_pointer_cast<CPptStyleTextPropAtom>(child);
            if (!style || i == 0) continue;
            const auto text = std::dynamic_pointer_cast<CPptCommonString>(c->GetChild(i - 1));
            if (!text || text->GetType() == kRecordCString) continue;
            ++facts.styleAtoms;
            uint64_t paragraphs = 0, characters = 0, bytes = 0;
            for (const auto& run : style->GetParagraphStyles())
                paragraphs += run->GetCharacterCount(), bytes += run->GetSize();
            for (const auto& run : style->GetCharacterStyles())
                characters += run->GetCharacterCount(), bytes += run->GetSize();
            if (paragraphs == text->GetLength() + 1 && characters == text->GetLength() + 1)
                ++facts.styleAtomsCoveringText;
            if (bytes == style->GetLength()) ++facts.styleAtomsUsingAllData;
        }
    }
    return facts;
}

// Files that must be refused: why, and a word their message must hold.
struct Refusal {
    CPptParserException::Kind kind;
    const char* says;
};
const std::map<std::string, Refusal> kRefused = {
    {"Password_Protected-hello.ppt", {CPptParserException::kEncrypted, "encrypted"}},
    {"pp40only.ppt", {CPptParserException::kOlderFormat, "PowerPoint 4.0"}},
    {"PPT95.ppt", {CPptParserException::kOlderFormat, "PowerPoint 95"}},
    {"clusterfuzz-testcase-minimized-POIFuzzer-5429732352851968.ppt", {CPptParserException::kEncrypted, "encrypted"}},
    {"clusterfuzz-testcase-minimized-POIFuzzer-6411649193738240.ppt", {CPptParserException::kEncrypted, "encrypted"}},
    {"clusterfuzz-testcase-minimized-POIHSLFFuzzer-4624961081573376.ppt",
     {CPptParserException::kEncrypted, "encrypted"}},
};

// Files written by presentation programs that must parse, and whose text styles must line up.
const char* const kWellFormed[] = {"SampleShow.ppt",   "bullets.ppt", "text_shapes.ppt",   "WithMaster.ppt",
                                   "empty.ppt",        "sound.ppt",   "54880_chinese.ppt", "49541_symbol_map.ppt",
                                   "text-margins.ppt", "numbers.ppt"};

}  // namespace

TEST(ParserCorpus, EveryFileYieldsItsTreeOrAClearMessage) {
    const auto files = CorpusFiles();
    if (files.empty()) GTEST_SKIP() << "corpus folder " << BC_CORPUS_DIR << " is absent";
    // A listed file that went missing would pass unnoticed.
    for (const auto& [name, refusal] : kRefused) EXPECT_TRUE(fs::exists(fs::path(BC_CORPUS_DIR) / name)) << name;
    for (const char* name : kWellFormed) EXPECT_TRUE(fs::exists(fs::path(BC_CORPUS_DIR) / name)) << name;
    for (const fs::path& file : files) {
        const std::string name = file.filename().string();
        SCOPED_TRACE(name);
        CStreamParser parser(file.string());
        try {
            parser.Parse();
        } catch (const CPptParserException& e) {
            EXPECT_FALSE(e.GetMessage().empty());
            const auto refused = kRefused.find(name);
            if (refused != kRefused.end()) {
                EXPECT_EQ(e.GetKind(), refused->second.kind) << e.what();
                EXPECT_NE(std::string(e.what()).find(refused->second.says), std::string::npos) << e.what();
            } else {
                ADD_FAILURE() << "unexpected failure: " << e.what();
            }
            continue;
        }
        EXPECT_EQ(kRefused.count(name), 0u) << "should have been refused";
        const auto root = parser.GetRoot();
        ASSERT_TRUE(root);
        EXPECT_TRUE(root->FindChildContainer(kRecordDocument)) << "no Document record";
        const TreeFacts facts = Inspect(*root);
        EXPECT_GT(facts.records, 0u);
        EXPECT_TRUE(facts.ordinalsMatch);
        // The model: built, or refused with its message only for the fuzzed files.
        try {
            const auto model = parser.GetPresentation();
            EXPECT_TRUE(model->GetSlides());
        } catch (const CPptParserException& e) {
            EXPECT_EQ(name.rfind("clusterfuzz-", 0), 0u) << "unexpected failure: " << e.what();
            EXPECT_NE(std::string(e.what()).find(" in file libpptparser/src/"), std::string::npos) << e.what();
        }
        const bool wellFormed = std::find_if(std::begin(kWellFormed), std::end(kWellFormed),
                                             [&](const char* n) { return name == n; }) != std::end(kWellFormed);
        if (wellFormed) {
            // With the format's full field sets every run lines up: the counts cover the text and its
            // final mark, and the runs use the atom's data to its last byte.
            EXPECT_GT(facts.styleAtoms, 0u);
            EXPECT_EQ(facts.styleAtomsCoveringText, facts.styleAtoms);
            EXPECT_EQ(facts.styleAtomsUsingAllData, facts.styleAtoms);
        }
    }
}
