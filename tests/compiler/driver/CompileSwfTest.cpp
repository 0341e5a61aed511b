#include "EnvOverride.h"
#include "TempDir.h"
#include "com/ComLite.h"
#include "genswf/compiler/CompileSwf.h"
#include "genswf/utils/Exceptions.h"
#include "genswf/utils/Utils.h"
#include "registry/Registry.h"

#include <gtest/gtest.h>

#include <dlfcn.h>
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

}  // namespace
