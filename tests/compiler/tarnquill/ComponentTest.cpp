// The component through COM-lite, as the driver calls it, and the command-line tool.
#include "EnvOverride.h"
#include "TempDir.h"
#include "tarnquill/Tarnquill.h"

#include <gtest/gtest.h>

#include <dlfcn.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace {

const std::string kData = BC_SOURCE_DIR "/tests/data/compiler";
const std::string kLibrary = BC_BINARY_DIR "/lib/libtarnquill.so";

class TarnquillComponent : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = scratch_.Fs();
        void* lib = dlopen(kLibrary.c_str(), RTLD_NOW);
        ASSERT_NE(lib, nullptr) << dlerror();
        auto reg = reinterpret_cast<HRESULT (*)()>(dlsym(lib, "DllRegisterServer"));
        ASSERT_NE(reg, nullptr);
        ASSERT_EQ(reg(), S_OK);
        CoInitialize(nullptr);
        ASSERT_EQ(CoCreateInstance(CLSID_TarnquillCompiler, nullptr, 7, IID_ITarnquillCompiler,
                                   reinterpret_cast<void**>(&compiler_)),
                  S_OK);
    }
    void TearDown() override {
        if (compiler_) compiler_->Release();
    }
    CScratchFolder scratch_;
    CEnvOverride registryFolder_{"BRINDLECAST_REGISTRY", (scratch_.Native() + "/registry").c_str()};
    fs::path dir_;
    ITarnquillCompiler* compiler_ = nullptr;
};

TEST_F(TarnquillComponent, CompilesInTheDriversOrder) {
    CBstr base(std::wstring(kData.begin(), kData.end()));
    std::string schema = BC_BINARY_DIR "/lib\\tarnquill.xsd";  // the driver joins with a backslash
    CBstr schemaPath(std::wstring(schema.begin(), schema.end()));
    std::string xml = kData + "/masks.xml";
    CBstr xmlPath(std::wstring(xml.begin(), xml.end()));
    EXPECT_EQ(compiler_->put_IgnoreErrors(VARIANT_FALSE), S_OK);
    EXPECT_EQ(compiler_->put_BaseFolder(base), S_OK);
    EXPECT_EQ(compiler_->put_SchemaPath(schemaPath), S_OK);
    ASSERT_EQ(compiler_->Compile(xmlPath), S_OK);
    VARIANT data;
    ASSERT_EQ(compiler_->GetSwfData(&data), S_OK);
    EXPECT_EQ(data.vt, VT_ARRAY | VT_UI1);
    LONG size = 0;
    ASSERT_EQ(compiler_->GetSwfSize(&size), S_OK);
    LONG upper = -1;
    SafeArrayGetUBound(data.parray, 1, &upper);
    EXPECT_EQ(upper + 1, size);
    void* bytes = nullptr;
    ASSERT_EQ(SafeArrayAccessData(data.parray, &bytes), S_OK);
    EXPECT_EQ(std::string(static_cast<char*>(bytes), 3), "FWS");
    SafeArrayUnaccessData(data.parray);
    VariantClear(&data);
}

TEST_F(TarnquillComponent, FailureIsReadableAndKeepsNoBytes) {
    fs::path bad = dir_ / "movie.xml";
    std::ofstream(bad) << "<movie width=\"10\" height=\"10\">\n<objects>\n<image id=\"i\" src=\"gone.png\"/>\n"
                          "</objects>\n</movie>\n";
    CBstr path(bad.wstring());
    EXPECT_EQ(compiler_->put_IgnoreErrors(VARIANT_FALSE), S_OK);
    EXPECT_LT(compiler_->Compile(path), 0);
    BSTR text = nullptr;
    ASSERT_EQ(compiler_->GetLastErrorText(&text), S_OK);
    std::wstring message = WStringFromBstr(text);
    SysFreeString(text);
    EXPECT_NE(message.find(L"line 3"), std::wstring::npos) << std::string(message.begin(), message.end());
    EXPECT_NE(message.find(L"gone.png"), std::wstring::npos);
    VARIANT data;
    EXPECT_EQ(compiler_->GetSwfData(&data), E_UNEXPECTED);
    LONG size = -1;
    EXPECT_EQ(compiler_->GetSwfSize(&size), S_OK);
    EXPECT_EQ(size, 0);
}

struct ToolRun {
    int status;
    std::string err;
};

ToolRun Tool(const std::string& args, const fs::path& dir) {
    fs::path err = dir / "stderr.txt";
    std::string command = BC_BINARY_DIR "/bin/tarnquill " + args + " >/dev/null 2>" + err.string();
    int status = std::system(command.c_str());
    std::ifstream in(err);
    return {WEXITSTATUS(status), std::string(std::istreambuf_iterator<char>(in), {})};
}

TEST(TarnquillTool, ExitStatusAndOneClearLine) {
    CScratchFolder scratch;
    const fs::path dir = scratch.Fs();
    fs::path out = dir / "out.swf";
    EXPECT_EQ(Tool("--help", dir).status, 0);
    EXPECT_EQ(Tool("--version", dir).status, 0);
    EXPECT_EQ(Tool(kData + "/slides.xml", dir).status, 2);  // no -o
    EXPECT_EQ(Tool("--bogus " + kData + "/slides.xml", dir).status, 2);

    // Options after the file, --opt=value, and a file after "--".
    ToolRun ok = Tool(kData + "/slides.xml --output=" + out.string() + " -- " + kData + "/slides.xml", dir);
    EXPECT_EQ(ok.status, 2) << ok.err;  // two descriptions
    ok = Tool("--output=" + out.string() + " -- " + kData + "/slides.xml", dir);
    EXPECT_EQ(ok.status, 0) << ok.err;
    EXPECT_TRUE(fs::exists(out));
    fs::remove(out);

    fs::path bad = dir / "bad.xml";
    std::ofstream(bad) << "<movie width=\"10\" height=\"10\">\n<layers>\n<layer>\n<frame index=\"0\">\n"
                          "<show id=\"a\" objectId=\"ghost\"/>\n</frame></layer></layers></movie>\n";
    ToolRun failed = Tool(bad.string() + " -o " + out.string(), dir);
    EXPECT_EQ(failed.status, 1);
    EXPECT_FALSE(fs::exists(out));
    EXPECT_EQ(std::count(failed.err.begin(), failed.err.end(), '\n'), 1) << failed.err;
    EXPECT_NE(failed.err.find("line 5, element \"show\", attribute \"objectId\""), std::string::npos) << failed.err;
}

}  // namespace
