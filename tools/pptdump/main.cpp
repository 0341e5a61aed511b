// pptdump FILE.ppt: parses a presentation and writes its model as the debug dump to stdout.

#include <getopt.h>

#include <cstring>
#include <iostream>
#include <string>

#include "BcVersion.h"
#include "libpptparser/PptParserException.h"
#include "libpptparser/PptStrings.h"
#include "libpptparser/Presentation.h"
#include "libpptparser/StreamParser.h"

namespace {

void Usage(std::ostream& out) {
    out << "Usage: pptdump FILE.ppt\n"
           "Reads a PowerPoint 97-2003 presentation and writes what the parser found (slides,\n"
           "shapes, text frames and animations) as indented XML to standard output.\n"
           "\n"
           "Options:\n"
           "  --help     show this help and exit\n"
           "  --version  show the version and exit\n"
           "\n"
           "Exit status: 0 on success, 1 when the file cannot be read, 2 for wrong arguments.\n";
}

// The option as the user wrote it, for the message about it.
std::string Offending(char** argv) {
    if (optopt > 0 && optopt < 128) return std::string("-") + static_cast<char>(optopt);
    return argv[optind - 1];
}

}  // namespace

int main(int argc, char** argv) {
    enum { kVersion = 256 };
    static const option kOptions[] = {
        {"help", no_argument, nullptr, 'h'}, {"version", no_argument, nullptr, kVersion}, {nullptr, 0, nullptr, 0}};
    opterr = 0;
    for (int c; (c = getopt_long(argc, argv, ":h", kOptions, nullptr)) != -1;) {
        switch (c) {
        case 'h':
            Usage(std::cout);
            return 0;
        case kVersion:
            std::cout << "pptdump " << BC_VERSION_STRING << "\n";
            return 0;
        default:
            std::cerr << "pptdump: unknown option " << Offending(argv) << " (see pptdump --help)\n";
            return 2;
        }
    }
    if (optind >= argc) {
        std::cerr << "pptdump: no file given (see pptdump --help)\n";
        return 2;
    }
    if (argc - optind > 1) {
        std::cerr << "pptdump: one file at a time (see pptdump --help)\n";
        return 2;
    }
    const std::string file = argv[optind];

    try {
        libpptparser::CStreamParser parser(file);
        parser.Parse();
        const auto presentation = parser.GetPresentation();
        libpptparser::CPresentationXmlVisitor visitor(std::cout);
        presentation->Accept(visitor);
        for (const auto& warning : presentation->GetWarnings())
            std::cerr << "pptdump: warning: " << libpptparser::WideToUtf8(warning) << "\n";
        std::cout.flush();
        if (!std::cout) {
            std::cerr << "pptdump: cannot write the dump\n";
            return 1;
        }
    } catch (const libpptparser::CPptParserException& e) {
        std::cerr << "pptdump: " << file << ": " << e.what() << "\n";
        return 1;
    } catch (const std::bad_alloc&) {
        std::cerr << "pptdump: " << file << ": out of memory\n";
        return 1;
    }
    return 0;
}
