#include "libpptparser/PptAtoms.h"
#include "libpptparser/PptContainers.h"

namespace libpptparser {

std::shared_ptr<CPptAnimGroupContainer> CPptAnimGroupContainer::FindRootAnimGroup() const {
    for (const auto& child : GetChildren()) {
        if (child->GetType() != kRecordAnimGroup) continue;
        auto group = std::dynamic_pointer_cast<CPptAnimGroupContainer>(child);
        // The node atom must be there and be one before its values mean anything.
        if (!group || group->GetChildCount() == 0) continue;
        const auto first = group->GetChild(0);
        if (first->GetType() != kRecordAnimNodeAtom) continue;
        const auto node = std::dynamic_pointer_cast<CPptAnimNodeAtom>(first);
        if (node && node->GetValue(1) == 0) return group;
    }
    return nullptr;
}

CPptOutlineTextRefAtom::CPptOutlineTextRefAtom(const CPptRecordDescriptor& descriptor)
    : CPptContainer(descriptor), m_index(GetBytes().U32(0)) {}

}  // namespace libpptparser
