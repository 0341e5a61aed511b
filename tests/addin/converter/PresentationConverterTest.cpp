#include "FailureText.h"
#include "TempDir.h"
#include "addin/converter/PresentationConverter.h"
#include "addin/settings/Settings.h"
#include "genswf/utils/Exceptions.h"
#include "genswf/utils/Utils.h"

#include <gtest/gtest.h>

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <future>

using namespace addin;

using namespace genswf;

namespace {

// A scratch folder that also serves as TMPDIR, so the converter's temporary folders land in it.
class ConverterTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_root = m_folder.Path();
        m_tmp = m_root + L"/tmp";
        ASSERT_TRUE(CreateFolderTree(m_tmp));
        const char* old = std::getenv("TMPDIR");
        m_savedTmp = old ? old : "";
        m_hadTmp = old != nullptr;
        ::setenv("TMPDIR", NativePath(m_tmp).c_str(), 1);
        m_settings.OutputFilePath = m_root + L"/out/deck.swf";
    }
    void TearDown() override {
        if (m_hadTmp)
            ::setenv("TMPDIR", m_savedTmp.c_str(), 1);
        else
            ::unsetenv("TMPDIR");
    }
    // Entries of the output's folder other than the output: a half-written movie left behind.
    int LeftBesideOutput() const {
        int count = 0;
        DIR* dir = ::opendir(NativePath(GetFolderOfPath(m_settings.OutputFilePath)).c_str());
        if (!dir) return 0;
        const std::string output = NativePath(GetFileNameOfPath(m_settings.OutputFilePath));
        while (dirent* e = ::readdir(dir)) {
            const std::string name = e->d_name;
            if (name != "." && name != ".." && name != output) ++count;
        }
        ::closedir(dir);
        return count;
    }
    int TempFolderCount() const {
        int count = 0;
        DIR* dir = ::opendir(NativePath(m_tmp).c_str());
        if (!dir) return -1;
        while (dirent* e = ::readdir(dir)) {
            if (std::string(e->d_name).rfind("bclite", 0) == 0) ++count;
        }
        ::closedir(dir);
        return count;
    }

    CScratchFolder m_folder;
    std::wstring m_root;
    std::wstring m_tmp;
    std::string m_savedTmp;
    bool m_hadTmp = false;
    CSettings m_settings;
};

// A description check that found the description unreadable.
std::shared_future<void> FailedCheck() {
    std::promise<void> verdict;
    verdict.set_exception(std::make_exception_ptr(CBaseException(3, L"Cannot reload the movie description: x")));
    return verdict.get_future().share();
}

// Stands in for the movie document, the compiler and the language.
class CTestConverter : public CPresentationConverter {
public:
    using CPresentationConverter::CPresentationConverter;

    std::function<void(const std::wstring& tempFolder)> writeMovie = [](const std::wstring& folder) {
        WriteWholeFile(folder + L"movie.xml", "<movie/>", 8);
    };
    std::function<void(std::vector<std::uint8_t>&)> compile = [](std::vector<std::uint8_t>& bytes) {
        bytes.assign({'F', 'W', 'S', 8});
    };
    // The description's own check, as the movie hands it over.
    std::shared_future<void> descriptionCheck;
    int currentRangeCalls = 0;
    std::wstring seenTempFolder;
    std::wstring seenXmlPath;

protected:
    void ExportMovieDescription(const std::wstring& xmlFileName) override {
        EXPECT_EQ(xmlFileName, L"movie.xml");
        seenTempFolder = m_tempFolder;
        writeMovie(m_tempFolder);
        m_descriptionCheck = descriptionCheck;
    }
    void CompileSwf(const std::wstring& xmlPath, std::vector<std::uint8_t>& bytes) override {
        seenXmlPath = xmlPath;
        bytes.clear();
        compile(bytes);
    }
    PowerPoint::SlideRange* GetCurrentSlideRange(PowerPoint::_Presentation*) override {
        ++currentRangeCalls;
        return nullptr;
    }
    std::wstring GetMessageString(const std::wstring& name) override { return L"[" + name + L"]"; }
};

TEST_F(ConverterTest, WritesTheMovieAndRemovesTheTemporaryFolder) {
    CTestConverter converter(nullptr, &m_settings, nullptr, nullptr);
    converter.Convert();
    std::vector<std::uint8_t> bytes;
    ASSERT_TRUE(ReadWholeFile(m_settings.OutputFilePath, bytes));
    EXPECT_EQ(bytes, (std::vector<std::uint8_t>{'F', 'W', 'S', 8}));
    EXPECT_EQ(converter.GetOutputFilePath(), m_settings.OutputFilePath);
    EXPECT_EQ(GetFileNameOfPath(GetFolderOfPath(converter.seenTempFolder)).rfind(L"bclite", 0), 0u);
    EXPECT_EQ(converter.seenXmlPath, converter.seenTempFolder + L"movie.xml");
    EXPECT_EQ(TempFolderCount(), 0);
    EXPECT_EQ(LeftBesideOutput(), 0);
}

// The movie replaces its file through a new file made beside it; a link planted at that name
// is never written through.
TEST_F(ConverterTest, PlantedLinkBesideTheOutputIsNotFollowed) {
    ASSERT_TRUE(CreateFolderTree(GetFolderOfPath(m_settings.OutputFilePath)));
    const std::string victim = NativePath(m_root + L"/victim");
    { std::ofstream(victim) << "keep"; }
    const std::string planted = NativePath(m_settings.OutputFilePath) + ".tmp" + std::to_string(::getpid());
    ASSERT_EQ(::symlink(victim.c_str(), planted.c_str()), 0);

    CTestConverter converter(nullptr, &m_settings, nullptr, nullptr);
    converter.Convert();
    std::vector<std::uint8_t> bytes;
    ASSERT_TRUE(ReadWholeFile(m_settings.OutputFilePath, bytes));
    EXPECT_EQ(bytes, (std::vector<std::uint8_t>{'F', 'W', 'S', 8}));
    ASSERT_TRUE(ReadWholeFile(WideFromUtf8(victim), bytes));
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), "keep");
    struct stat link {};
    EXPECT_EQ(::lstat(planted.c_str(), &link), 0);
    EXPECT_TRUE(S_ISLNK(link.st_mode)) << "the planted link is left as it was";
}

TEST_F(ConverterTest, ExportModes) {
    struct Case {
        int mode;
        int currentRangeCalls;
        const wchar_t* error;
    } cases[] = {{0, 0, nullptr},
                 {1, 0, nullptr},
                 {2, 1, nullptr},
                 {3, 0, L"Invalid export mode!!"},
                 {-1, 0, L"Invalid export mode!!"}};
    for (const auto& c : cases) {
        m_settings.ExportMode = c.mode;
        CTestConverter converter(nullptr, &m_settings, nullptr, nullptr);
        const std::wstring message = bctest::MessageOf([&] { converter.Convert(); });
        EXPECT_EQ(message, c.error ? c.error : L"(no exception)") << c.mode;
        EXPECT_EQ(converter.currentRangeCalls, c.currentRangeCalls) << c.mode;
    }
    EXPECT_EQ(TempFolderCount(), 0);
}

TEST_F(ConverterTest, OutputFolderIsCreatedLevelByLevelOrRefused) {
    m_settings.OutputFilePath = m_root + L"/a/b/c/deck.swf";
    CTestConverter(nullptr, &m_settings, nullptr, nullptr).Convert();
    EXPECT_TRUE(FileExists(m_settings.OutputFilePath));

    m_settings.OutputFilePath = L"relative/deck.swf";
    CTestConverter relative(nullptr, &m_settings, nullptr, nullptr);
    EXPECT_EQ(bctest::MessageOf([&] { relative.Convert(); }), L"[ERR_CANNOT_CREATE_OUTPUT_FOLDER]relative");

    ASSERT_TRUE(WriteWholeFile(m_root + L"/blocker", "x", 1));
    m_settings.OutputFilePath = m_root + L"/blocker/deck.swf";
    CTestConverter blocked(nullptr, &m_settings, nullptr, nullptr);
    EXPECT_EQ(bctest::MessageOf([&] { blocked.Convert(); }),
              L"[ERR_CANNOT_CREATE_OUTPUT_FOLDER]" + m_root + L"/blocker");
}

TEST_F(ConverterTest, MissingTemporaryFolderIsReported) {
    ::setenv("TMPDIR", "/proc/no-such-place", 1);
    CTestConverter converter(nullptr, &m_settings, nullptr, nullptr);
    EXPECT_EQ(bctest::MessageOf([&] { converter.Convert(); }), L"[ERR_CANNOT_CREATE_TEMPORARY_FOLDER]");
}

TEST_F(ConverterTest, FailuresCleanUpAndKeepTheEarlierOutput) {
    ASSERT_TRUE(CreateFolderTree(GetFolderOfPath(m_settings.OutputFilePath)));
    const std::string earlier = "an earlier good movie";
    ASSERT_TRUE(WriteWholeFile(m_settings.OutputFilePath, earlier.data(), earlier.size()));

    // Ctrl-C while the compiler runs is seen at the check after it.
    struct CCancelSink : CProgressSink {
        bool cancelled = false;
        void PumpMessagesAndCheckCancel() override {
            if (cancelled) throw CInterruptedException();
        }
    } sink;
    struct Case {
        const char* what;
        std::function<void(CTestConverter&)> arrange;
        bool interrupted;
        const char* message = "";  // how the error starts
    } cases[] = {
        {"cancel during the export",
         [](CTestConverter& c) { c.writeMovie = [](const std::wstring&) { throw CInterruptedException(); }; }, true},
        {"cancel while compiling",
         [&sink](CTestConverter& c) {
             c.compile = [&sink](std::vector<std::uint8_t>& bytes) {
                 bytes.assign({'F', 'W', 'S', 8});
                 sink.cancelled = true;
             };
         },
         true},
        {"compiler returns nothing", [](CTestConverter& c) { c.compile = [](std::vector<std::uint8_t>&) {}; }, false},
        {"compiler fails",
         [](CTestConverter& c) { c.compile = [](std::vector<std::uint8_t>&) { throw CXml2SwfException(L"x"); }; },
         false},
        {"description does not read back", [](CTestConverter& c) { c.descriptionCheck = FailedCheck(); }, false,
         "Cannot reload"},
        {"description does not read back and the compiler fails",
         [](CTestConverter& c) {
             c.descriptionCheck = FailedCheck();
             c.compile = [](std::vector<std::uint8_t>&) { throw CXml2SwfException(L"x"); };
         },
         false, "Cannot reload"},
    };
    for (auto& c : cases) {
        sink.cancelled = false;
        CTestConverter converter(nullptr, &m_settings, nullptr, &sink);
        c.arrange(converter);
        bool cancelled = false;
        std::string message;
        try {
            converter.Convert();
            ADD_FAILURE() << c.what << ": no failure";
        } catch (const CInterruptedException&) {
            cancelled = true;
        } catch (const CBaseException& e) {
            message = Utf8FromWide(e.GetMessage());
        }
        EXPECT_EQ(cancelled, c.interrupted) << c.what;
        EXPECT_EQ(message.rfind(c.message, 0), 0u) << c.what << ": " << message;
        EXPECT_EQ(TempFolderCount(), 0) << c.what;
        std::vector<std::uint8_t> bytes;
        ASSERT_TRUE(ReadWholeFile(m_settings.OutputFilePath, bytes)) << c.what;
        EXPECT_EQ(std::string(bytes.begin(), bytes.end()), earlier) << c.what;
        EXPECT_EQ(LeftBesideOutput(), 0) << c.what;
    }
}

TEST_F(ConverterTest, OutputErrorNamesTheFileAndThePlace) {
    // The target is a folder: the finished movie cannot take its place.
    ASSERT_TRUE(CreateFolderTree(m_settings.OutputFilePath + L"/inside"));
    CTestConverter converter(nullptr, &m_settings, nullptr, nullptr);
    const std::wstring message = bctest::MessageOf([&] { converter.Convert(); });
    EXPECT_EQ(message.rfind(L"[ERR_WRITE_OUTPUT_FILE_ERROR] File name is: " + m_settings.OutputFilePath +
                                L" in file addin/src/converter/PresentationConverter.cpp at line ",
                            0),
              0u)
        << NativePath(message);
    EXPECT_EQ(LeftBesideOutput(), 0);
}

TEST_F(ConverterTest, DebugModeKeepsTheTemporaryFiles) {
    m_settings.DebugMode = true;
    std::wstring folder;
    {
        CTestConverter converter(nullptr, &m_settings, nullptr, nullptr);
        converter.writeMovie = [](const std::wstring& f) {
            WriteWholeFile(f + L"movie.xml", "<movie/>", 8);
            WriteWholeFile(f + L"~tmp.ppt", "ppt", 3);
        };
        converter.Convert();
        folder = converter.seenTempFolder;
    }
    EXPECT_TRUE(FileExists(folder + L"movie.xml"));
    EXPECT_TRUE(FileExists(folder + L"~tmp.ppt"));
}

}  // namespace
