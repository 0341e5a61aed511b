#include "libpptparser/PptAtoms.h"
#include "libpptparser/PptContainers.h"
#include "libpptparser/PptParserException.h"
#include "libpptparser/PptStrings.h"

namespace libpptparser {

namespace {

std::shared_ptr<CPptCommonString> FindString(const CPptContainer& container, uint16_t instance) {
    for (const auto& child : container.GetChildren(kRecordCString, instance))
        if (auto text = std::dynamic_pointer_cast<CPptCommonString>(child)) return text;
    return nullptr;
}

}  // namespace

const std::vector<uint8_t>& CPptSoundContainer::GetSoundData() const {
    for (const auto& child : GetChildren())
        if (child->GetType() == kRecordSoundData)
            if (auto data = std::dynamic_pointer_cast<CPptSoundDataAtom>(child)) return data->GetData();
    PPT_PARSER_THROW(L"Error: no SoundData records found");
}

std::wstring CPptSoundContainer::GetName() const {
    if (auto text = FindString(*this, 0)) return text->GetText();
    PPT_PARSER_THROW(L"Error: no String records found");
}

long CPptSoundContainer::GetId() const {
    if (auto text = FindString(*this, 2)) return ParseInteger(text->GetText());
    PPT_PARSER_THROW(L"Error: no String records found");
}

}  // namespace libpptparser
