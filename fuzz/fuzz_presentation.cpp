// Whole files through the parser's presentation model and its debug dump, as pptdump shows them.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <sstream>
#include <vector>

#include "compoundfile/CompoundFile.h"
#include "libpptparser/PptParserException.h"
#include "libpptparser/Presentation.h"
#include "libpptparser/StreamParser.h"

using namespace libpptparser;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    try {
        CStreamParser parser(
            std::make_unique<compoundfile::CCompoundFileStorage>(std::vector<std::uint8_t>(data, data + size)));
        parser.Parse();
        const auto presentation = parser.GetPresentation();
        if (!presentation) __builtin_trap();
        std::ostringstream dump;
        CPresentationXmlVisitor visitor(dump);
        presentation->Accept(visitor);
        for (const auto& warning : presentation->GetWarnings())
            if (warning.empty()) __builtin_trap();
    } catch (const CPptParserException& e) {
        if (e.GetMessage().empty()) __builtin_trap();
    }
    return 0;
}
