// pptdump FILE.ppt: parses a presentation and writes its model as the debug dump to stdout.

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

}  // namespace

int main(int argc, char** argv) {
    std::string file;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            Usage(std::cout);
            return 0;
        }
        if (arg == "--version") {
            std::cout << "pptdump " << BC_VERSION_STRING << "\n";
            return 0;
        }
        if (arg.size() > 1 && arg[0] == '-' && arg != "--") {
            std::cerr << "pptdump: unknown option " << arg << " (see pptdump --help)\n";
            return 2;
        }
        if (arg == "--" && i + 1 < argc) {
            file = argv[++i];
        } else if (file.empty()) {
            file = arg;
        } else {
            std::cerr << "pptdump: one file at a time (see pptdump --help)\n";
            return 2;
        }
    }
    if (file.empty()) {
        std::cerr << "pptdump: no file given (see pptdump --help)\n";
        return 2;
    }

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
