#include "EnvOverride.h"
#include "MediaFixtures.h"
#include "TempDir.h"
#include "com/ComLite.h"
#include "genswf/compiler/CompileSwf.h"
#include "genswf/utils/Exceptions.h"
#include "genswf/utils/ProgressSink.h"
#include "genswf/utils/Utils.h"
#include "registry/Registry.h"

#include <gtest/gtest.h>

#include <dlfcn.h>
#include <algorithm>
#include <cstdlib>

using namespace genswf;

namespace {

const char* const kComponent = BC_BINARY_DIR "/lib/libtarnquill.so";

class CompileSwfTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_root = m_folder.Path();
        registry::ResetForTesting();
    }

    void Register() {
        void* library = ::dlopen(kComponent, RTLD_NOW | RTLD_LOCAL);
        ASSERT_NE(library, nullptr) << ::dlerror();
        auto registerServer = reinterpret_cast<HRESULT (*)()>(::dlsym(library, "DllRegisterServer"));
        ASSERT_NE(registerServer, nullptr);
        ASSERT_EQ(registerServer(), S_OK);
    }

    std::wstring WriteMovie(const std::string& xml) {
        const std::wstring path = m_root + L"/movie.xml";
        EXPECT_TRUE(WriteWholeFile(path, xml.data(), xml.size()));
        return path;
    }

    void TearDown() override { registry::ResetForTesting(); }

    CScratchFolder m_folder;
    CEnvOverride m_registryFolder{"BRINDLECAST_REGISTRY", (m_folder.Native() + "/registry").c_str()};
    std::wstring m_root;
};

const char* const kSmallMovie =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
    "<movie width=\"200\" height=\"100\" frameRate=\"12\" compressed=\"1\" bgColor=\"#ffffff\">\n"
    "<styles><solidFillStyle id=\"style0\" color=\"#3366cc\"/></styles>\n"
    "<objects><rectangle id=\"rect0\" x=\"0tw\" y=\"0tw\" width=\"2000tw\" height=\"1000tw\" "
    "fillStyle=\"style0\"/></objects>\n"
    "<layers><layer><frame index=\"0\"><show id=\"show0\" objectId=\"rect0\"/></frame></layer></layers>\n"
    "</movie>\n";

TEST_F(CompileSwfTest, UnregisteredCompilerIsReportedAsNotInstalled) {
    std::vector<std::uint8_t> bytes{1, 2, 3};
    try {
        CompileSwf(WriteMovie(kSmallMovie), bytes);
        FAIL() << "compiled without a registered compiler";
    } catch (const CXml2SwfException& e) {
        EXPECT_EQ(e.GetMessage(), L"Tarnquill is not installed. Error code: -2147221164");
    }
    EXPECT_TRUE(bytes.empty());
}

TEST_F(CompileSwfTest, CompilesThroughTheRegisteredComponent) {
    Register();
    std::vector<std::uint8_t> bytes;
    CompileSwf(WriteMovie(kSmallMovie), bytes);
    ASSERT_GT(bytes.size(), 8u);
    EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 3), "CWS");
    EXPECT_EQ(bytes[3], 8) << "SWF version";
}

TEST_F(CompileSwfTest, CompileFailureCarriesTheCompilersReason) {
    Register();
    std::vector<std::uint8_t> bytes;
    try {
        CompileSwf(WriteMovie("<movie width=\"10\" height=\"10\"><layers><layer><frame index=\"0\">"
                              "<show id=\"s\" objectId=\"nothing\"/></frame></layer></layers></movie>"),
                   bytes);
        FAIL() << "a show of an undefined object compiled";
    } catch (const CComError& e) {
        EXPECT_LT(e.Error(), 0);
        EXPECT_FALSE(e.ErrorMessage().empty());
    }
    EXPECT_TRUE(bytes.empty());
}

TEST_F(CompileSwfTest, RegistrationWithoutLibraryPathIsNamed) {
    Register();
    // A class key whose server path is gone: creation itself fails first.
    ASSERT_EQ(registry::WriteString(HKEY_CLASSES_ROOT, L"CLSID\\{D2403EC7-03E2-44BC-A3F6-DE230C9BD7AE}\\InprocServer32",
                                    L"", L""),
              true);
    std::vector<std::uint8_t> bytes;
    EXPECT_THROW(CompileSwf(WriteMovie(kSmallMovie), bytes), CXml2SwfException);
}

// Records the percentages and cancels at a chosen pump, as the progress dialog does.
class CRecordingSink : public CProgressSink {
public:
    std::vector<int> values;
    int pumps = 0;
    int cancelAtPump = -1;
    int SetValue(int value) override {
        values.push_back(value);
        return CProgressSink::SetValue(value);
    }
    void PumpMessagesAndCheckCancel() override {
        if (++pumps == cancelAtPump) throw CInterruptedException();
    }
};

// Six rectangles, one a frame, and a sound the compiler has to keep uncompressed: a warning.
std::string ManyDefinitionsMovie() {
    std::string objects, frames;
    for (int i = 0; i < 6; ++i) {
        const std::string n = std::to_string(i);
        objects +=
            "<rectangle id=\"r" + n + "\" x=\"0tw\" y=\"0tw\" width=\"200tw\" height=\"100tw\" fillStyle=\"s\"/>";
        frames += "<frame index=\"" + n + "\"><show id=\"show" + n + "\" objectId=\"r" + n + "\"/></frame>";
    }
    return "<movie width=\"20\" height=\"10\" frameRate=\"12\"><styles><solidFillStyle id=\"s\" color=\"#ff0000\"/>"
           "</styles><objects>" +
           objects + "<sound id=\"snd\" src=\"ding.wav\" mp3Quality=\"5\"/></objects><layers><layer>" + frames +
           "</layer><layer><frame index=\"0\"><startSoundStream objectId=\"snd\"/></frame></layer></layers></movie>";
}

TEST_F(CompileSwfTest, ProgressRisesToTheEndWarningsComeBackAndCancelStopsTheCompile) {
    Register();
    media::Write(m_folder.Native() + "/ding.wav", media::Wav(1, 11025, 16, 200));
    const std::wstring xml = WriteMovie(ManyDefinitionsMovie());
    const struct {
        const char* name;
        int cancelAtPump;
        bool compiled;
    } cases[] = {{"no cancel", -1, true}, {"cancel at the first report", 1, false}, {"cancel midway", 3, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CRecordingSink sink;
        sink.cancelAtPump = c.cancelAtPump;
        std::vector<std::uint8_t> bytes{1};
        std::vector<std::wstring> warnings;
        if (!c.compiled) {
            EXPECT_THROW(CompileSwf(xml, bytes, &sink, &warnings), CInterruptedException);
            EXPECT_TRUE(bytes.empty());
            EXPECT_TRUE(warnings.empty());
            EXPECT_EQ(sink.pumps, c.cancelAtPump);  // nothing more is asked of a cancelled sink
            continue;
        }
        CompileSwf(xml, bytes, &sink, &warnings);
        ASSERT_GT(bytes.size(), 8u);
        ASSERT_GE(sink.values.size(), 3u);
        EXPECT_EQ(sink.values.front(), 0);
        EXPECT_EQ(sink.values.back(), 100);
        EXPECT_TRUE(std::is_sorted(sink.values.begin(), sink.values.end()));
        ASSERT_EQ(warnings.size(), 1u);
        EXPECT_NE(warnings[0].find(L"no MP3 encoder"), std::wstring::npos) << Utf8FromWide(warnings[0]);
    }
    // Without a sink the same movie compiles as before.
    std::vector<std::uint8_t> bytes;
    CompileSwf(xml, bytes);
    EXPECT_GT(bytes.size(), 8u);
}

}  // namespace
