// Command-line host: loads a presentation and exports it through the add-in's control.
#include "BcVersion.h"
#include "addin/control/BrindlecastFree.h"
#include "base/encodings/TextEncoding.h"
#include "com/ComBstr.h"
#include "com/ComPtr.h"
#include "com/ComRuntime.h"
#include "powerpoint/loader/PptLoader.h"
#include "render/BcRender.h"
#include "ui/ScriptedAnswers.h"

#include <getopt.h>
#include <malloc.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

using namespace addin;

namespace {

const char kUsage[] =
    "Usage: brindlecast FILE.ppt -o OUT.swf [options]\n"
    "Converts a PowerPoint 97-2003 presentation into a Flash movie.\n"
    "\n"
    "  -o, --output OUT.swf     the movie to write\n"
    "  --width N, --height N    the movie's size in pixels (default: the slide size)\n"
    "  --slides all|current|N-M which slides to convert (default: the saved choice)\n"
    "  --auto-advance SECONDS   move to the next slide after this many seconds\n"
    "  --no-auto-advance        slides wait for a click (undoes a saved --auto-advance)\n"
    "  --debug                  keep the temporary files\n"
    "  --lang ID                interface language id (1033: US English)\n"
    "  --yes                    replace an existing output file\n"
    "  --open                   open the output folder and the movie afterwards\n"
    "  -h, --help, --version\n"
    "\n"
    "Ctrl-C cancels a running export. Exit status: 0 done, 1 failed, 2 bad arguments.\n";

enum OptionId {
    kWidth = 256,
    kHeight,
    kSlides,
    kAutoAdvance,
    kNoAutoAdvance,
    kDebug,
    kLang,
    kYes,
    kOpen,
    kVersion,
};

const option kOptions[] = {
    {"output", required_argument, nullptr, 'o'},
    {"width", required_argument, nullptr, kWidth},
    {"height", required_argument, nullptr, kHeight},
    {"slides", required_argument, nullptr, kSlides},
    {"auto-advance", required_argument, nullptr, kAutoAdvance},
    {"no-auto-advance", no_argument, nullptr, kNoAutoAdvance},
    {"debug", no_argument, nullptr, kDebug},
    {"lang", required_argument, nullptr, kLang},
    {"yes", no_argument, nullptr, kYes},
    {"open", no_argument, nullptr, kOpen},
    {"help", no_argument, nullptr, 'h'},
    {"version", no_argument, nullptr, kVersion},
    {nullptr, 0, nullptr, 0},
};

int BadArguments(const std::string& message) {
    std::fprintf(stderr, "brindlecast: %s (try --help)\n", message.c_str());
    return 2;
}

int Failed(const std::wstring& message) {
    std::fprintf(stderr, "brindlecast: %s\n", base::encodings::Utf8FromWide(message).c_str());
    return 1;
}

std::wstring Wide(const std::string& text) { return base::encodings::WideFromUtf8(text); }

bool IsPositiveNumber(const std::string& text, int max) {
    int value = 0;
    return ui::ParseWholeNumber(Wide(text), value) && value >= 1 && value <= max;
}

// The option getopt stopped at, as the user wrote it, for the message.
std::string OffendingOption(int argc, char** argv, int index, int shortOption) {
    const std::string arg = index >= 1 && index <= argc ? argv[index - 1] : "";
    if (arg.rfind("--", 0) == 0) return arg.substr(0, arg.find('='));
    if (shortOption > 0 && shortOption < 128 && std::isprint(shortOption)) return std::string("-") + char(shortOption);
    return arg;
}

// A path as the user typed it, made absolute against the working folder, with "." and ".."
// steps and doubled separators taken out.
std::string AbsolutePath(const std::string& path) {
    std::string full = path;
    if (full.empty() || full[0] != '/') {
        std::vector<char> buffer(4096);
        while (!::getcwd(buffer.data(), buffer.size())) {
            if (errno != ERANGE || buffer.size() > (1u << 20)) return path;
            buffer.resize(buffer.size() * 2);
        }
        full = std::string(buffer.data()) + "/" + path;
    }
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (start <= full.size()) {
        std::size_t end = full.find('/', start);
        if (end == std::string::npos) end = full.size();
        const std::string part = full.substr(start, end - start);
        if (part == "..") {
            if (!parts.empty()) parts.pop_back();
        } else if (!part.empty() && part != ".") {
            parts.push_back(part);
        }
        start = end + 1;
    }
    std::string result;
    for (const std::string& part : parts) result += "/" + part;
    return result.empty() ? "/" : result;
}

bool IsFolder(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

// Whether the kernel gives 2 MiB pages to memory that asks for them.
bool LargePagesOnRequest() {
    std::ifstream setting("/sys/kernel/mm/transparent_hugepage/enabled");
    std::string modes;
    std::getline(setting, modes);
    return modes.find("[always]") != std::string::npos ||
           modes.find("[madvise]") != std::string::npos;
}

// A long deck touches about 90 MiB of fresh memory. In 4 KiB pages that is some 24,000 page
// faults, a third of the export's time on a virtual machine; in 2 MiB pages it is a few
// hundred. The C library puts its heaps on such pages when GLIBC_TUNABLES asks it to, and it
// reads that setting only as the program starts: the host starts itself once more with the
// setting added. It does not where the setting is already there (a user's own choice, or the
// second start), where the kernel has no such pages, where a library is preloaded (a memory
// checker or another allocator, which would not follow or not heed it), or where the program
// cannot be started again (then it carries on as it is).
void StartAgainOnLargePages(char** argv) {
#if !defined(__SANITIZE_ADDRESS__)
    const char* const kSetting = "glibc.malloc.hugetlb";
    const char* tunables = std::getenv("GLIBC_TUNABLES");
    const char* preload = std::getenv("LD_PRELOAD");
    if (tunables && std::strstr(tunables, kSetting)) return;
    if (preload && *preload) return;
    if (!LargePagesOnRequest()) return;
    std::string value = tunables && *tunables ? std::string(tunables) + ":" : std::string();
    value += kSetting;
    value += "=1";
    if (::setenv("GLIBC_TUNABLES", value.c_str(), 1) != 0) return;
    ::execv("/proc/self/exe", argv);
    // Not started again: leave the environment as it was for anything this process starts.
    if (tunables) ::setenv("GLIBC_TUNABLES", tunables, 1);
    else ::unsetenv("GLIBC_TUNABLES");
#else
    (void)argv;
#endif
}

}  // namespace

int main(int argc, char** argv) {
    StartAgainOnLargePages(argv);
    // Few heaps for the threads: the slide pictures the export's helper threads free are used
    // again by the movie description that grows after them, instead of staying resident in a
    // heap for every thread. One heap for all made the exporting thread wait for its lock
    // while the helpers read pictures and the schema; two keep the waits and the memory low
    // (on 2 MiB pages a third heap cost 4 MiB of peak and no time).
    ::mallopt(M_ARENA_MAX, 2);
    // Small blocks are merged with their neighbours as they are freed, not gathered for a later
    // sweep: freeing a long deck's movie left hundreds of thousands of them for one sweep that
    // took longer than the freeing (17-24 ms against 10-13 ms for bug56240).
    ::mallopt(M_MXFAST, 0);
    std::string slides;
    std::vector<std::pair<std::wstring, std::wstring>> answers;
    std::string output;
    std::string autoAdvance;  // "" untouched, "off", or seconds
    ::opterr = 0;
    for (;;) {
        const int id = ::getopt_long(argc, argv, ":o:h", kOptions, nullptr);
        if (id == -1) break;
        const std::string value = ::optarg ? ::optarg : "";
        switch (id) {
        case 'h':
            std::fputs(kUsage, stdout);
            return 0;
        case kVersion:
            std::printf("brindlecast %s\n", BC_VERSION_STRING);
            return 0;
        case 'o':
            if (value.empty()) return BadArguments("-o needs a file name");
            output = value;
            break;
        case kWidth:
        case kHeight:
            if (!IsPositiveNumber(value, 8191))
                return BadArguments(std::string(id == kWidth ? "--width" : "--height") +
                                    " needs a number from 1 to 8191");
            answers.emplace_back(id == kWidth ? L"width" : L"height", Wide(value));
            break;
        case kSlides:
            slides = value;
            break;
        case kAutoAdvance:
            if (!IsPositiveNumber(value, 3600)) return BadArguments("--auto-advance needs seconds from 1 to 3600");
            autoAdvance = value;
            break;
        case kNoAutoAdvance:
            autoAdvance = "off";
            break;
        case kLang:
            if (!IsPositiveNumber(value, 0xFFFF)) return BadArguments("--lang needs a language id such as 1033");
            answers.emplace_back(L"lang", Wide(value));
            break;
        case kDebug:
            answers.emplace_back(L"debug", L"1");
            break;
        case kYes:
            answers.emplace_back(L"yes", L"1");
            break;
        case kOpen:
            answers.emplace_back(L"open", L"1");
            break;
        case ':':
            return BadArguments(OffendingOption(argc, argv, ::optind, ::optopt) + " needs a value");
        default: {
            const std::string name = OffendingOption(argc, argv, ::optind, ::optopt);
            for (const option* known = kOptions; known->name; ++known) {
                if (name == std::string("--") + known->name) return BadArguments(name + " takes no value");
            }
            return BadArguments("unknown option " + name);
        }
        }
    }
    if (::optind >= argc) return BadArguments("no presentation given");
    if (argc - ::optind > 1) return BadArguments("more than one presentation given");
    const std::string input = argv[::optind];
    if (input.empty()) return BadArguments("no presentation given");
    if (output.empty()) return BadArguments("no output file given (-o OUT.swf)");

    // The converter takes whole paths; the command line speaks from the working folder.
    const std::string outputPath = AbsolutePath(output);
    if (IsFolder(outputPath)) return BadArguments(output + " is a folder; -o needs a file name");
    answers.emplace_back(L"output", Wide(outputPath));
    if (autoAdvance == "off")
        answers.emplace_back(L"no-auto-advance", L"1");
    else if (!autoAdvance.empty())
        answers.emplace_back(L"auto-advance", Wide(autoAdvance));

    int first = 0;
    int last = 0;
    if (slides == "all" || slides == "current") {
        answers.emplace_back(L"slides", Wide(slides));
    } else if (!slides.empty()) {
        const std::size_t dash = slides.find('-');
        const std::wstring from = Wide(slides.substr(0, dash));
        const std::wstring to = dash == std::string::npos ? from : Wide(slides.substr(dash + 1));
        if (!ui::ParseWholeNumber(from, first) || !ui::ParseWholeNumber(to, last) || first < 1 || last < first)
            return BadArguments("--slides needs all, current or N-M with 1 <= N <= M");
        answers.emplace_back(L"slides", L"selected");
    }
    // Progress is drawn only for a user watching: nothing but errors when the output goes
    // elsewhere.
    answers.emplace_back(L"terminal", ::isatty(1) == 1 && ::isatty(2) == 1 ? L"1" : L"0");

    const std::string inputPath = AbsolutePath(input);
    if (IsFolder(inputPath)) return Failed(Wide(input) + L" is a folder, not a presentation file.");
    // The presentation is read until the program ends, and the end gives its memory back
    // wholesale: freeing its many objects one by one took longer than the rest of the exit. It
    // stays reachable, so leak checkers do not count it.
    static PowerPoint::Loader::LoadResult& loaded = *new PowerPoint::Loader::LoadResult();
    try {
        loaded = PowerPoint::Loader::LoadPresentation(inputPath);
    } catch (const PowerPoint::Loader::CPptLoadError& e) {
        return Failed(e.GetMessage());
    } catch (const std::exception& e) {
        return Failed(L"cannot load " + Wide(input) + L": " + Wide(e.what()));
    }
    PowerPoint::Host::CHostDocument& document = *loaded.document;

    CComPtr<PowerPoint::SlideRange> range;
    if (first > 0) {
        const auto& all = document.Slides();
        if (static_cast<std::size_t>(last) > all.size())
            return BadArguments("--slides " + slides + ": the presentation has " + std::to_string(all.size()) +
                                " slides");
        range = document.MakeSlideRange(
            std::vector<PowerPoint::Host::CHostSlide*>(all.begin() + (first - 1), all.begin() + last));
    }

    // The registered component when there is one, else the control of this program.
    CoInitialize(nullptr);
    CComPtr<IBrindlecastFree> control;
    if (FAILED(CoCreateInstance(CLSID_BrindlecastFree, nullptr, CLSCTX_INPROC_SERVER, UuidOf<IBrindlecastFree>(),
                                reinterpret_cast<void**>(&control))) ||
        !control) {
        if (FAILED(CreateBrindlecastFree(UuidOf<IBrindlecastFree>(), reinterpret_cast<void**>(&control))) || !control)
            return Failed(L"the converter could not be started");
    }
    CComPtr<IBrindlecastScript> script;
    if (FAILED(control->QueryInterface(UuidOf<IBrindlecastScript>(), reinterpret_cast<void**>(&script))) || !script)
        return Failed(L"the converter cannot be driven from the command line");
    for (const auto& answer : answers) {
        CBstr name(answer.first);
        CBstr text(answer.second);
        if (FAILED(script->SetAnswer(name, text)))
            return BadArguments("bad value for --" + base::encodings::Utf8FromWide(answer.first));
    }

    // What reading the file skipped, and what drawing its shapes could not show as they are,
    // reach the user with the export's own warnings.
    for (const std::wstring& warning : loaded.warnings) {
        CBstr text(L"Reading the presentation: " + warning);
        script->AddWarning(text);
    }
    render::SetRenderLog([&script](const std::string& line) {
        CBstr text(L"Drawing: " + Wide(line));
        script->AddWarning(text);
    });

    CComPtr<PowerPoint::_Presentation> presentation = document.Presentation();
    control->Export(presentation.Get(), range.Get());
    render::SetRenderLog(nullptr);
    LONG outcome = kOutcomeNone;
    script->get_LastOutcome(&outcome);
    CBstr errorText;
    script->get_LastErrorText(&errorText);
    const std::wstring error = WStringFromBstr(errorText);

    switch (outcome) {
    case kOutcomeSucceeded:
        return 0;
    case kOutcomeFailed:
        return 1;  // the error is already written, with its report
    default:
        return Failed(error.empty() ? std::wstring(L"the export was not done") : error);
    }
}
