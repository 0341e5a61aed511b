// The sound collection of the Document.

#include "libpptparser/Presentation.h"

#include <climits>

#include "ModelLookups.h"

namespace libpptparser {

CSound::CSound(const CPptSoundContainer& container) {
    const long id = container.GetId();
    m_id = static_cast<int32_t>(id < INT32_MIN ? INT32_MIN : id > INT32_MAX ? INT32_MAX : id);
    m_name = container.GetName();
    m_data = container.GetSoundData();
}

CSound::~CSound() = default;

CSoundCollection::CSoundCollection(const CPptContainer& document, CPresentation* presentation) {
    const auto collection = document.FindChildContainer(kRecordSoundCollection);
    if (!collection) return;
    size_t number = 0;
    for (const auto& child : collection->GetChildren()) {
        if (child->GetType() != kRecordSound) continue;
        const auto sound = std::dynamic_pointer_cast<CPptSoundContainer>(child);
        if (!sound) continue;
        ++number;
        try {
            m_sounds.push_back(std::make_shared<CSound>(*sound));
        } catch (const CPptParserException& e) {
            // One broken sound must not cost the whole presentation.
            presentation->AddWarning(L"Sound " + std::to_wstring(number) + L" is left out: " + e.GetMessage());
        }
    }
}

CSoundCollection::~CSoundCollection() = default;

std::shared_ptr<CSound> CSoundCollection::FindSound(int32_t id) const {
    for (const auto& sound : m_sounds)
        if (sound->GetId() == id) return sound;
    return nullptr;
}

}  // namespace libpptparser
