#include "shell/Shell.h"

#include "base/encodings/TextEncoding.h"

#include <fcntl.h>
#include <poll.h>
#include <pwd.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <vector>

extern char** environ;

namespace {

// How long a handler may take to report failure before we take it as started.
constexpr int kOpenWaitMs = 2000;
// How long xdg-user-dir may take, and how much of its answer we read.
constexpr int kQueryWaitMs = 2000;
constexpr std::size_t kQueryMaxBytes = 4096;

// Status codes the watcher process reports for the handler.
constexpr int kStatusStillRunning = -1;
constexpr int kStatusSpawnFailed = -2;

std::string HomeFolder() {
    const char* home = std::getenv("HOME");
    if (home && *home) return home;
    struct passwd pwd;
    struct passwd* found = nullptr;
    std::vector<char> buffer(16384);
    if (::getpwuid_r(::getuid(), &pwd, buffer.data(), buffer.size(), &found) == 0 && found && found->pw_dir)
        return found->pw_dir;
    return std::string();
}

std::string WithoutTrailingSlashes(std::string path) {
    while (path.size() > 1 && path.back() == '/') path.pop_back();
    return path;
}

bool IsExecutableFile(const std::string& path) {
    struct stat info;
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) && ::access(path.c_str(), X_OK) == 0;
}

// The program's full path: as given when it names a folder, else searched in $PATH.
std::string FindProgram(const std::string& name) {
    if (name.empty()) return std::string();
    if (name.find('/') != std::string::npos) return IsExecutableFile(name) ? name : std::string();
    const char* path = std::getenv("PATH");
    std::string folders = path ? path : "/usr/local/bin:/usr/bin:/bin";
    std::size_t start = 0;
    while (start <= folders.size()) {
        std::size_t end = folders.find(':', start);
        if (end == std::string::npos) end = folders.size();
        std::string folder = folders.substr(start, end - start);
        if (folder.empty()) folder = ".";
        const std::string candidate = folder + "/" + name;
        if (IsExecutableFile(candidate)) return candidate;
        start = end + 1;
    }
    return std::string();
}

void SleepMs(long ms) {
    struct timespec pause {
        ms / 1000, (ms % 1000) * 1000000L
    };
    while (::nanosleep(&pause, &pause) != 0 && errno == EINTR) {}
}

long NowMs() {
    struct timespec now;
    ::clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<long>(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
}

std::vector<char*> ArgumentPointers(std::vector<std::string>& arguments) {
    std::vector<char*> pointers;
    for (auto& argument : arguments) pointers.push_back(argument.data());
    pointers.push_back(nullptr);
    return pointers;
}

// Starts program with the arguments, detached from our standard streams. A watcher process
// waits for it up to waitMs and reports its exit status (or kStatusStillRunning) through a
// pipe; a handler that stays open (a browser) is left running and is never our zombie.
int StartDetached(const std::string& program, std::vector<std::string> arguments, int waitMs) {
    std::vector<char*> argv = ArgumentPointers(arguments);
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0) return kStatusSpawnFailed;
    const int devNull = ::open("/dev/null", O_RDWR | O_CLOEXEC);
    if (devNull < 0) {
        ::close(fds[0]);
        ::close(fds[1]);
        return kStatusSpawnFailed;
    }
    const pid_t watcher = ::fork();
    if (watcher == 0) {
        // Only async-signal-safe calls from here on.
        int status = kStatusSpawnFailed;
        const pid_t child = ::fork();
        if (child == 0) {
            ::dup2(devNull, 0);
            ::dup2(devNull, 1);
            ::dup2(devNull, 2);
            ::setsid();
            ::execve(program.c_str(), argv.data(), environ);
            ::_exit(127);
        }
        if (child > 0) {
            status = kStatusStillRunning;
            for (int waited = 0; waited <= waitMs; waited += 20) {
                int childStatus = 0;
                const pid_t done = ::waitpid(child, &childStatus, WNOHANG);
                if (done == child) {
                    status = WIFEXITED(childStatus) ? WEXITSTATUS(childStatus) : 128;
                    break;
                }
                if (done < 0) break;
                struct timespec pause {
                    0, 20 * 1000000L
                };
                ::nanosleep(&pause, nullptr);
            }
        }
        const ssize_t written = ::write(fds[1], &status, sizeof status);
        ::_exit(written == static_cast<ssize_t>(sizeof status) ? 0 : 1);
    }
    ::close(fds[1]);
    ::close(devNull);
    if (watcher < 0) {
        ::close(fds[0]);
        return kStatusSpawnFailed;
    }
    int status = kStatusSpawnFailed;
    std::size_t got = 0;
    auto* bytes = reinterpret_cast<char*>(&status);
    while (got < sizeof status) {
        const ssize_t n = ::read(fds[0], bytes + got, sizeof status - got);
        if (n > 0) {
            got += static_cast<std::size_t>(n);
        } else if (n < 0 && errno == EINTR) {
            continue;
        } else {
            break;
        }
    }
    ::close(fds[0]);
    while (::waitpid(watcher, nullptr, 0) < 0 && errno == EINTR) {}
    return got == sizeof status ? status : kStatusSpawnFailed;
}

// Runs program and returns what it wrote to its standard output (at most maxBytes); false
// when it cannot start, fails, or takes longer than waitMs (it is then killed).
bool RunAndCapture(const std::string& program, std::vector<std::string> arguments, int waitMs, std::size_t maxBytes,
                   std::string& output) {
    output.clear();
    std::vector<char*> argv = ArgumentPointers(arguments);
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0) return false;
    const int devNull = ::open("/dev/null", O_RDWR | O_CLOEXEC);
    if (devNull < 0) {
        ::close(fds[0]);
        ::close(fds[1]);
        return false;
    }
    const pid_t child = ::fork();
    if (child == 0) {
        ::dup2(devNull, 0);
        ::dup2(fds[1], 1);
        ::dup2(devNull, 2);
        ::execve(program.c_str(), argv.data(), environ);
        ::_exit(127);
    }
    ::close(fds[1]);
    ::close(devNull);
    if (child < 0) {
        ::close(fds[0]);
        return false;
    }
    bool complete = false;
    const long deadline = NowMs() + waitMs;
    char buffer[1024];
    for (;;) {
        const long left = deadline - NowMs();
        if (left <= 0) break;
        struct pollfd watch {
            fds[0], POLLIN, 0
        };
        const int ready = ::poll(&watch, 1, static_cast<int>(left));
        if (ready < 0 && errno == EINTR) continue;
        if (ready <= 0) break;
        const ssize_t n = ::read(fds[0], buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            complete = n == 0;
            break;
        }
        if (output.size() + static_cast<std::size_t>(n) > maxBytes) break;
        output.append(buffer, static_cast<std::size_t>(n));
    }
    ::close(fds[0]);
    int status = 0;
    pid_t done = 0;
    if (complete) {
        // The output is closed; give the program its remaining time to exit.
        while ((done = ::waitpid(child, &status, WNOHANG)) == 0 && NowMs() < deadline) SleepMs(10);
    }
    if (done != child) {
        ::kill(child, SIGKILL);
        while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {}
        return false;
    }
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

bool HasUrlScheme(const std::wstring& target) {
    // scheme ":" as in "https:" or "mailto:"; one letter before ':' is not taken as a scheme.
    const std::size_t colon = target.find(L':');
    if (colon == std::wstring::npos || colon < 2) return false;
    for (std::size_t i = 0; i < colon; ++i) {
        const wchar_t c = target[i];
        const bool letter = (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z');
        const bool other = (c >= L'0' && c <= L'9') || c == L'+' || c == L'.' || c == L'-';
        if (!letter && !(i > 0 && other)) return false;
    }
    return true;
}

std::wstring ErrorForStatus(int status, const std::string& program) {
    const std::wstring name = base::encodings::WideFromUtf8(program);
    switch (status) {
    case kStatusSpawnFailed:
        return L"Cannot start " + name + L".";
    case 127:
        return L"Cannot run " + name + L".";
    case 2:
        return L"The file or folder does not exist.";
    case 3:
        return L"No program is installed that can open it (" + name + L" found no handler).";
    default:
        return name + L" could not open it (exit status " + std::to_wstring(status) + L").";
    }
}

std::intptr_t ErrorCodeForStatus(int status) {
    switch (status) {
    case 2:
        return SE_ERR_FNF;
    case 3:
        return SE_ERR_NOASSOC;
    case kStatusSpawnFailed:
        return SE_ERR_OOM;
    default:
        return SE_ERR_NOASSOC;
    }
}

// Opens target (already resolved) and returns a ShellExecute-style code.
std::intptr_t OpenTarget(const std::wstring& target, std::wstring* error) {
    const auto fail = [error](std::intptr_t code, const std::wstring& why) {
        if (error) *error = why;
        return code;
    };
    if (target.empty()) return fail(SE_ERR_FNF, L"Nothing to open.");
    if (target.find(L'\0') != std::wstring::npos) return fail(SE_ERR_FNF, L"The name to open is not valid.");

    std::string argument;
    if (HasUrlScheme(target)) {
        argument = base::encodings::Utf8FromWide(target);
    } else {
        std::wstring path = target;
        for (wchar_t& c : path)
            if (c == L'\\') c = L'/';
        // A name beginning with '-' must not reach the handler as an option.
        if (path[0] == L'-') path = L"./" + path;
        argument = base::encodings::Utf8FromWide(path);
        struct stat info;
        if (::stat(argument.c_str(), &info) != 0)
            return fail(SE_ERR_FNF, L"The file or folder does not exist: " + path);
    }

    const char* chosen = std::getenv("BRINDLECAST_OPENER");
    const std::string opener = chosen && *chosen ? chosen : "xdg-open";
    const std::string program = FindProgram(opener);
    if (program.empty())
        return fail(SE_ERR_NOASSOC,
                    base::encodings::WideFromUtf8(opener) + L" is not available, so the item cannot be opened.");

    const int status = StartDetached(program, {program, argument}, kOpenWaitMs);
    if (status == 0 || status == kStatusStillRunning) {
        if (error) error->clear();
        return 42;
    }
    return fail(ErrorCodeForStatus(status), ErrorForStatus(status, program));
}

}  // namespace

std::intptr_t ShellExecuteW(void* /*owner*/, const wchar_t* operation, const wchar_t* file,
                            const wchar_t* /*parameters*/, const wchar_t* directory, int /*showCommand*/) {
    if (operation && *operation && std::wcscmp(operation, L"open") != 0) return SE_ERR_NOASSOC;
    if (!file || !*file) return SE_ERR_FNF;
    std::wstring target = file;
    if (!HasUrlScheme(target) && target[0] != L'/' && target[0] != L'\\' && directory && *directory) {
        std::wstring folder = directory;
        if (folder.back() != L'/' && folder.back() != L'\\') folder += L'/';
        target = folder + target;
    }
    return OpenTarget(target, nullptr);
}

namespace shell {

bool Open(const std::wstring& target, std::wstring* error) { return OpenTarget(target, error) > 32; }

std::wstring GetDocumentsFolder() {
    const std::string home = WithoutTrailingSlashes(HomeFolder());
    const std::string program = FindProgram("xdg-user-dir");
    std::string answer;
    if (!program.empty() && RunAndCapture(program, {program, "DOCUMENTS"}, kQueryWaitMs, kQueryMaxBytes, answer)) {
        while (!answer.empty() && (answer.back() == '\n' || answer.back() == '\r')) answer.pop_back();
        answer = WithoutTrailingSlashes(answer);
        // The tool answers the home folder itself when no documents folder is configured.
        if (!answer.empty() && answer[0] == '/' && answer.find('\n') == std::string::npos && answer != home)
            return base::encodings::WideFromUtf8(answer);
    }
    if (home.empty()) return std::wstring();
    return base::encodings::WideFromUtf8(home == "/" ? "/Documents" : home + "/Documents");
}

std::wstring GetSpecialFolderPath(int csidl) { return csidl == CSIDL_PERSONAL ? GetDocumentsFolder() : std::wstring(); }

}  // namespace shell
