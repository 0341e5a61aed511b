#include "E2eSupport.h"

#include "addin/language/LanguageManager.h"
#include "genswf/utils/RegistryKey.h"

#include <gtest/gtest.h>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <cstdio>
#include <fstream>
#include <sstream>

using namespace addin;

namespace e2e {

std::string CorpusDir(std::string& why) {
    struct stat info {};
    for (const char* dir : {BC_SHARED_CORPUS, BC_CORPUS_DIR}) {
        if (::stat(dir, &info) == 0 && S_ISDIR(info.st_mode)) return dir;
    }
    why = std::string("no corpus at ") + BC_SHARED_CORPUS;
    return std::string();
}

std::string CorpusFile(const std::string& name) {
    std::string why;
    const std::string dir = CorpusDir(why);
    return dir.empty() ? std::string() : dir + "/" + name;
}

std::string ReadText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

ProcessResult Run(const std::vector<std::string>& args, const ProcessOptions& options) {
    ProcessResult result;
    CScratchFolder capture;
    const std::string outPath = capture.Native() + "/out";
    const std::string errPath = capture.Native() + "/err";
    const pid_t pid = ::fork();
    if (pid < 0) return result;
    if (pid == 0) {
        const int out = ::open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        const int err = ::open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        const int in = ::open("/dev/null", O_RDONLY);
        if (out < 0 || err < 0 || in < 0) ::_exit(126);
        ::dup2(in, 0);
        ::dup2(out, 1);
        ::dup2(err, 2);
        for (const auto& [name, value] : options.env) ::setenv(name.c_str(), value.c_str(), 1);
        if (!options.folder.empty() && ::chdir(options.folder.c_str()) != 0) ::_exit(126);
        std::vector<char*> argv;
        for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    int status = 0;
    bool watching = static_cast<bool>(options.whileRunning);
    for (;;) {
        const pid_t done = ::waitpid(pid, &status, watching ? WNOHANG : 0);
        if (done == pid) break;
        if (done < 0) return result;
        if (watching && options.whileRunning(pid)) watching = false;
        if (watching) ::usleep(1000);
    }
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    result.out = ReadText(outPath);
    result.err = ReadText(errPath);
    return result;
}

int ParsedFrameCount(const std::string& movie, std::string& why) {
    if (::access(BC_SWFSHOT, X_OK) != 0) {
        why = std::string("no movie checker at ") + BC_SWFSHOT;
        return -1;
    }
    // The checker rewrites its scripts in a shared cache on every start, so two checks at once
    // can run a half-written script: checks take turns under a lock on the checker itself.
    const ProcessResult r = Run({"/usr/bin/flock", BC_SWFSHOT, "/bin/bash", BC_SWFSHOT, "--check", movie});
    const std::string key = "\"frameCount\":";
    const std::size_t at = r.out.find(key);
    if (r.status != 0 || at == std::string::npos) {
        why =
            "the independent parser refuses " + movie + " (status " + std::to_string(r.status) + "): " + r.err + r.out;
        return -2;
    }
    return std::atoi(r.out.c_str() + at + key.size());
}

int CountEntries(const std::string& folder, const std::string& prefix) {
    int count = 0;
    DIR* dir = ::opendir(folder.c_str());
    if (!dir) return -1;
    while (dirent* e = ::readdir(dir)) {
        if (std::string(e->d_name).rfind(prefix, 0) == 0) ++count;
    }
    ::closedir(dir);
    return count;
}

CInstallation::CInstallation() : m_tmpdir("TMPDIR", m_temp.Native().c_str()) {
    genswf::CRegistryKey machine;
    machine.Create(HKEY_LOCAL_MACHINE, L"Software\\Ombrel Works\\Brindlecast 1 Roru");
    machine.SetStringValue(genswf::WideFromUtf8(BC_BINARY_DIR), L"Installation Folder");
    // The compiler is found through its registration, as an installation has it.
    const ProcessResult registered = Run({BC_BINARY_DIR "/bin/bcregsvr", BC_BINARY_DIR "/lib/libtarnquill.so"});
    if (registered.status != 0) ADD_FAILURE() << "bcregsvr: " << registered.err;
    registry::ResetForTesting();
}

CInstallation::~CInstallation() { SetLanguageManager(nullptr); }

}  // namespace e2e
