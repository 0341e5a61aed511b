// tarnquill MOVIE.xml -o OUT.swf: compile a movie description from the command line.
#include "BcVersion.h"
#include "tarnquill/Compiler.h"

#include <getopt.h>

#include <cstdio>
#include <cstring>
#include <string>

namespace {

void Usage(FILE* to) {
    std::fputs(
        "usage: tarnquill MOVIE.xml -o OUT.swf [--schema FILE.xsd] [--ignore-errors]\n"
        "Compile a movie description into a Flash movie (SWF version 8).\n"
        "Files named by the description are read relative to the folder of MOVIE.xml.\n"
        "  -o, --output=FILE   the SWF file to write (required)\n"
        "  --schema=FILE       validate the description against this XML schema first\n"
        "  --ignore-errors     turn unreadable pictures into empty shapes instead of failing\n"
        "  -h, --help          show this help\n"
        "  --version           show the version\n"
        "Exit status: 0 on success, 1 when compiling or writing fails, 2 for wrong arguments.\n",
        to);
}

// The option as the user wrote it, for the message about it.
std::string Offending(char** argv) {
    if (optopt > 0 && optopt < 128) return std::string("-") + static_cast<char>(optopt);
    return argv[optind - 1];
}

}  // namespace

int main(int argc, char** argv) {
    std::string input, output;
    tarnquill::CompileOptions options;
    enum { kSchema = 256, kIgnoreErrors, kVersion };
    static const option kOptions[] = {{"output", required_argument, nullptr, 'o'},
                                      {"schema", required_argument, nullptr, kSchema},
                                      {"ignore-errors", no_argument, nullptr, kIgnoreErrors},
                                      {"help", no_argument, nullptr, 'h'},
                                      {"version", no_argument, nullptr, kVersion},
                                      {nullptr, 0, nullptr, 0}};
    opterr = 0;
    for (int c; (c = getopt_long(argc, argv, ":ho:", kOptions, nullptr)) != -1;) {
        switch (c) {
        case 'h':
            Usage(stdout);
            return 0;
        case kVersion:
            std::printf("tarnquill %s\n", BC_VERSION_STRING);
            return 0;
        case 'o':
            output = optarg;
            break;
        case kSchema:
            options.schemaPath = optarg;
            break;
        case kIgnoreErrors:
            options.ignoreErrors = true;
            break;
        case ':':
            std::fprintf(stderr, "tarnquill: option %s needs a value (see --help)\n", Offending(argv).c_str());
            return 2;
        default:
            std::fprintf(stderr, "tarnquill: unknown option %s (see --help)\n", Offending(argv).c_str());
            return 2;
        }
    }
    if (optind < argc) input = argv[optind++];
    if (optind < argc) {
        std::fprintf(stderr, "tarnquill: more than one description given (see --help)\n");
        return 2;
    }
    if (input.empty() || output.empty()) {
        std::fprintf(stderr, "tarnquill: a description and -o OUT.swf are required (see --help)\n");
        return 2;
    }
    try {
        tarnquill::CompileResult result = tarnquill::CompileFile(input, options);
        for (const std::string& warning : result.warnings)
            std::fprintf(stderr, "tarnquill: warning: %s: %s\n", input.c_str(), warning.c_str());
        tarnquill::WriteFileAtomically(output, result.swf);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "tarnquill: %s: %s\n", input.c_str(), e.what());
        return 1;
    }
    return 0;
}
