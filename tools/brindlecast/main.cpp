// Command-line host: loads a presentation and exports it through the add-in's control.
#include "BcVersion.h"
#include "addin/control/BrindlecastFree.h"
#include "base/encodings/TextEncoding.h"
#include "com/ComBstr.h"
#include "com/ComRuntime.h"
#include "powerpoint/loader/PptLoader.h"
#include "ui/ScriptedAnswers.h"

#include <unistd.h>
#include <cstdio>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

namespace {

const char kUsage[] =
    "Usage: brindlecast FILE.ppt -o OUT.swf [options]\n"
    "Converts a PowerPoint 97-2003 presentation into a Flash movie.\n"
    "\n"
    "  -o, --output OUT.swf     the movie to write\n"
    "  --width N, --height N    the movie's size in pixels (default: the slide size)\n"
    "  --slides all|current|N-M which slides to convert (default: the saved choice)\n"
    "  --auto-advance SECONDS   move to the next slide after this many seconds\n"
    "  --debug                  keep the temporary files\n"
    "  --lang ID                interface language id (1033: US English)\n"
    "  --yes                    replace an existing output file\n"
    "  --open                   open the output folder and the movie afterwards\n"
    "  --help, --version\n"
    "\n"
    "Ctrl-C cancels a running export. Exit status: 0 done, 1 failed, 2 bad arguments.\n";

int BadArguments(const std::string& message) {
    std::fprintf(stderr, "brindlecast: %s (try --help)\n", message.c_str());
    return 2;
}

int Failed(const std::wstring& message) {
    std::fprintf(stderr, "brindlecast: %s\n", base::encodings::Utf8FromWide(message).c_str());
    return 1;
}

bool IsPositiveNumber(const std::string& text, int max) {
    int value = 0;
    return ui::ParseWholeNumber(base::encodings::WideFromUtf8(text), value) && value >= 1 && value <= max;
}

}  // namespace

int main(int argc, char** argv) {
    std::string input;
    std::string slides;
    std::vector<std::pair<std::wstring, std::wstring>> answers;
    bool haveOutput = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        auto value = [&](std::string& out) {
            if (i + 1 >= argc) return false;
            out = argv[++i];
            return true;
        };
        std::string v;
        if (arg == "--help" || arg == "-h") {
            std::fputs(kUsage, stdout);
            return 0;
        } else if (arg == "--version") {
            std::printf("brindlecast %s\n", BC_VERSION_STRING);
            return 0;
        } else if (arg == "-o" || arg == "--output") {
            if (!value(v) || v.empty()) return BadArguments("-o needs a file name");
            answers.emplace_back(L"output", base::encodings::WideFromUtf8(v));
            haveOutput = true;
        } else if (arg == "--width" || arg == "--height") {
            if (!value(v) || !IsPositiveNumber(v, 8191)) return BadArguments(arg + " needs a number from 1 to 8191");
            answers.emplace_back(base::encodings::WideFromUtf8(arg.substr(2)), base::encodings::WideFromUtf8(v));
        } else if (arg == "--slides") {
            if (!value(v)) return BadArguments("--slides needs all, current or N-M");
            slides = v;
        } else if (arg == "--auto-advance") {
            if (!value(v) || !IsPositiveNumber(v, 3600))
                return BadArguments("--auto-advance needs seconds from 1 to 3600");
            answers.emplace_back(L"auto-advance", base::encodings::WideFromUtf8(v));
        } else if (arg == "--lang") {
            if (!value(v) || !IsPositiveNumber(v, 0xFFFF))
                return BadArguments("--lang needs a language id such as 1033");
            answers.emplace_back(L"lang", base::encodings::WideFromUtf8(v));
        } else if (arg == "--debug" || arg == "--yes" || arg == "--open") {
            answers.emplace_back(base::encodings::WideFromUtf8(arg.substr(2)), L"1");
        } else if (!arg.empty() && arg[0] == '-') {
            return BadArguments("unknown option " + arg);
        } else if (input.empty()) {
            input = arg;
        } else {
            return BadArguments("more than one presentation given");
        }
    }
    if (input.empty()) return BadArguments("no presentation given");
    if (!haveOutput) return BadArguments("no output file given (-o OUT.swf)");

    int first = 0;
    int last = 0;
    if (slides == "all" || slides == "current") {
        answers.emplace_back(L"slides", base::encodings::WideFromUtf8(slides));
    } else if (!slides.empty()) {
        const std::size_t dash = slides.find('-');
        const std::wstring from = base::encodings::WideFromUtf8(slides.substr(0, dash));
        const std::wstring to =
            dash == std::string::npos ? from : base::encodings::WideFromUtf8(slides.substr(dash + 1));
        if (!ui::ParseWholeNumber(from, first) || !ui::ParseWholeNumber(to, last) || first < 1 || last < first)
            return BadArguments("--slides needs all, current or N-M with 1 <= N <= M");
        answers.emplace_back(L"slides", L"selected");
    }
    answers.emplace_back(L"terminal", ::isatty(2) == 1 ? L"1" : L"0");

    PowerPoint::Loader::LoadResult loaded;
    try {
        loaded = PowerPoint::Loader::LoadPresentation(input);
    } catch (const PowerPoint::Loader::CPptLoadError& e) {
        return Failed(e.GetMessage());
    } catch (const std::exception& e) {
        return Failed(L"cannot load " + base::encodings::WideFromUtf8(input) + L": " +
                      base::encodings::WideFromUtf8(e.what()));
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
    IBrindlecastFree* control = nullptr;
    if (FAILED(CoCreateInstance(CLSID_BrindlecastFree, nullptr, CLSCTX_INPROC_SERVER, UuidOf<IBrindlecastFree>(),
                                reinterpret_cast<void**>(&control))) ||
        !control) {
        control = nullptr;
        if (FAILED(CreateBrindlecastFree(UuidOf<IBrindlecastFree>(), reinterpret_cast<void**>(&control))) || !control)
            return Failed(L"the converter could not be started");
    }
    IBrindlecastScript* script = nullptr;
    if (FAILED(control->QueryInterface(UuidOf<IBrindlecastScript>(), reinterpret_cast<void**>(&script))) || !script) {
        control->Release();
        return Failed(L"the converter cannot be driven from the command line");
    }
    for (const auto& answer : answers) {
        CBstr name(answer.first);
        CBstr text(answer.second);
        if (FAILED(script->SetAnswer(name, text))) {
            script->Release();
            control->Release();
            return BadArguments("bad value for --" + base::encodings::Utf8FromWide(answer.first));
        }
    }

    CComPtr<PowerPoint::_Presentation> presentation = document.Presentation();
    control->Export(presentation.Get(), range.Get());
    LONG outcome = kOutcomeNone;
    script->get_LastOutcome(&outcome);
    BSTR errorText = nullptr;
    script->get_LastErrorText(&errorText);
    const std::wstring error = WStringFromBstr(errorText);
    SysFreeString(errorText);
    script->Release();
    control->Release();

    switch (outcome) {
    case kOutcomeSucceeded:
        return 0;
    case kOutcomeFailed:
        return 1;  // the error is already written, with its report
    default:
        return Failed(error.empty() ? std::wstring(L"the export was not done") : error);
    }
}
