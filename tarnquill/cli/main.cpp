// tarnquill MOVIE.xml -o OUT.swf: compile a movie description from the command line.
#include "BcVersion.h"
#include "tarnquill/Compiler.h"

#include <cstdio>
#include <cstring>
#include <string>

namespace {

void Usage(FILE* to) {
    std::fputs(
        "usage: tarnquill MOVIE.xml -o OUT.swf [--schema FILE.xsd] [--ignore-errors]\n"
        "Compile a movie description into a Flash movie (SWF version 8).\n"
        "Files named by the description are read relative to the folder of MOVIE.xml.\n"
        "  -o, --output FILE   the SWF file to write (required)\n"
        "  --schema FILE       validate the description against this XML schema first\n"
        "  --ignore-errors     turn unreadable pictures into empty shapes instead of failing\n"
        "  -h, --help          show this help\n"
        "  --version           show the version\n",
        to);
}

}  // namespace

int main(int argc, char** argv) {
    std::string input, output;
    tarnquill::CompileOptions options;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (arg == "-h" || arg == "--help") {
            Usage(stdout);
            return 0;
        }
        if (arg == "--version") {
            std::printf("tarnquill %s\n", BC_VERSION_STRING);
            return 0;
        }
        if ((arg == "-o" || arg == "--output" || arg == "--schema") && i + 1 < argc) {
            (arg == "--schema" ? options.schemaPath : output) = argv[++i];
        } else if (arg == "--ignore-errors") {
            options.ignoreErrors = true;
        } else if (!arg.empty() && arg[0] == '-') {
            std::fprintf(stderr, "tarnquill: unknown or incomplete option %s (see --help)\n", arg.c_str());
            return 1;
        } else if (input.empty()) {
            input = arg;
        } else {
            std::fprintf(stderr, "tarnquill: more than one description given (see --help)\n");
            return 1;
        }
    }
    if (input.empty() || output.empty()) {
        std::fprintf(stderr, "tarnquill: a description and -o OUT.swf are required (see --help)\n");
        return 1;
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
