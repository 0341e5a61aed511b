// Raw "PowerPoint Document" streams: the record walk, the factory, the atoms, style runs and
// the presentation model built from them.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <sstream>
#include <vector>

#include "libpptparser/PptAtoms.h"
#include "libpptparser/PptContainers.h"
#include "libpptparser/PptParserException.h"
#include "libpptparser/PptStyleTextPropAtom.h"
#include "libpptparser/Presentation.h"
#include "libpptparser/StreamParser.h"

using namespace libpptparser;

namespace {

// Touches what the model reads of each record, without recursion.
void Walk(const std::shared_ptr<CPptContainer>& root) {
    std::vector<std::shared_ptr<CPptContainer>> stack{root};
    while (!stack.empty()) {
        auto c = stack.back();
        stack.pop_back();
        for (const auto& child : c->GetChildren()) {
            (void)child->GetBytes().U32(child->GetLength());
            if (auto container = std::dynamic_pointer_cast<CPptContainer>(child)) stack.push_back(container);
            if (auto style = std::dynamic_pointer_cast<CPptStyleTextPropAtom>(child)) {
                for (const auto& run : style->GetParagraphStyles()) (void)run->GetTabStops().size();
            }
            if (auto text = std::dynamic_pointer_cast<CPptCommonString>(child)) (void)text->GetAnsiText();
            if (auto group = std::dynamic_pointer_cast<CPptAnimGroupContainer>(child)) (void)group->FindRootAnimGroup();
            if (auto sound = std::dynamic_pointer_cast<CPptSoundContainer>(child)) {
                try {
                    (void)sound->GetId();
                    (void)sound->GetName();
                    (void)sound->GetSoundData();
                } catch (const CPptParserException&) {}
            }
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    try {
        const auto root =
            CStreamParser::BuildRecordTree(std::make_shared<const std::vector<uint8_t>>(data, data + size));
        Walk(root);
        CPresentation model(root);
        std::ostringstream dump;
        CPresentationXmlVisitor visitor(dump);
        model.Accept(visitor);
    } catch (const CPptParserException& e) {
        if (e.GetMessage().empty()) __builtin_trap();
    }
    return 0;
}
