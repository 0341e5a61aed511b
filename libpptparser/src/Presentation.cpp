// The presentation, its slides collection and the slides.

#include "libpptparser/Presentation.h"

#include <map>

#include "ModelLookups.h"
#include "libpptparser/StreamParser.h"

namespace libpptparser {

namespace {

constexpr uint16_t kRecordPersistDirectoryAtom = 6002;

// Persist identifier -> stream offset, from every persist directory at the top level. Later
// directories belong to later saves and override earlier entries.
std::map<uint32_t, uint32_t> ReadPersistDirectory(const CPptContainer& root) {
    std::map<uint32_t, uint32_t> offsets;
    for (const auto& child : root.GetChildren()) {
        if (child->GetType() != kRecordPersistDirectoryAtom || child->IsContainer()) continue;
        const CPptByteView b = child->GetBytes();
        size_t at = 0;
        while (b.Has(at, 4)) {
            const uint32_t word = b.U32(at);
            const uint32_t first = word & 0xFFFFF;
            const uint32_t count = word >> 20;
            at += 4;
            for (uint32_t k = 0; k < count && b.Has(at, 4); ++k, at += 4) offsets[first + k] = b.U32(at);
        }
    }
    return offsets;
}

struct OrderedSlide {
    std::shared_ptr<CPptContainer> container;
    std::shared_ptr<CPptSlidePersistAtom> persistAtom;
};

// The slides as the slide list orders them; empty when the list cannot be resolved.
std::vector<OrderedSlide> SlidesInListOrder(const CPptContainer& root, const CPptContainer* slideList) {
    std::vector<OrderedSlide> ordered;
    if (!slideList) return ordered;
    const auto offsets = ReadPersistDirectory(root);
    std::map<uint64_t, std::shared_ptr<CPptContainer>> slidesByOffset;
    for (const auto& child : root.GetChildren())
        if (child->GetType() == kRecordSlide && child->IsContainer())
            slidesByOffset[child->GetOffset()] = std::static_pointer_cast<CPptContainer>(child);
    for (const auto& child : slideList->GetChildren()) {
        const auto persist = std::dynamic_pointer_cast<CPptSlidePersistAtom>(child);
        if (!persist) continue;
        const auto offset = offsets.find(persist->GetPersistReference());
        if (offset == offsets.end()) return {};
        const auto slide = slidesByOffset.find(offset->second);
        if (slide == slidesByOffset.end()) return {};
        ordered.push_back({slide->second, persist});
    }
    return ordered;
}

}  // namespace

// ---------------------------------------------------------------------------------------------

CPresentation::CPresentation(const std::shared_ptr<CPptRecord>& root) {
    m_sounds = std::make_shared<CSoundCollection>(root, this);
    const auto rootContainer =
        PPT_REQUIRE(std::dynamic_pointer_cast<CPptContainer>(root), L"the stream has no records");
    const auto document = PPT_REQUIRE(rootContainer->FindChildContainer(kRecordDocument), L"no Document record");
    const auto environment =
        PPT_REQUIRE(document->FindChildContainer(kRecordEnvironment), L"no Environment record in the Document");
    m_fontCollection =
        PPT_REQUIRE(environment->FindChildContainer(kRecordFontCollection), L"no font collection in the Environment");
    // Character runs count fonts among the font entities only; other records between them (such
    // as embedded font data) do not take an index.
    for (const auto& child : m_fontCollection->GetChildren())
        if (auto font = std::dynamic_pointer_cast<CPptFontEntityAtom>(child)) m_fonts.push_back(font);
    const auto lists = document->GetChildren(kRecordSlideListWithText, 0);
    for (const auto& list : lists) {
        if ((m_slideList = std::dynamic_pointer_cast<CPptContainer>(list))) break;
    }
    m_slides = std::make_shared<CSlidesCollection>(root, this);
}

CPresentation::~CPresentation() = default;

// ---------------------------------------------------------------------------------------------

CSlidesCollection::CSlidesCollection(const std::shared_ptr<CPptRecord>& root, CPresentation* presentation)
    : m_presentation(presentation) {
    const auto rootContainer =
        PPT_REQUIRE(std::dynamic_pointer_cast<CPptContainer>(root), L"the stream has no records");
    std::vector<OrderedSlide> slides = SlidesInListOrder(*rootContainer, presentation->GetSlideList().get());
    if (slides.empty()) {
        for (const auto& child : rootContainer->GetChildren())
            if (child->GetType() == kRecordSlide && child->IsContainer())
                slides.push_back({std::static_pointer_cast<CPptContainer>(child), nullptr});
    }
    uint32_t kept = 0;
    for (const OrderedSlide& s : slides) {
        auto slide = std::make_shared<CSlide>(s.container, kept, this, presentation, s.persistAtom);
        if (slide->GetLayout() == 2 || slide->GetLayout() == 3) continue;  // title masters
        m_slides.push_back(slide);
        ++kept;
    }
}

CSlidesCollection::~CSlidesCollection() = default;

// ---------------------------------------------------------------------------------------------

CSlide::CSlide(const std::shared_ptr<CPptContainer>& container, uint32_t index, CSlidesCollection* collection,
               CPresentation* presentation, std::shared_ptr<CPptSlidePersistAtom> persistAtom)
    : m_collection(collection), m_presentation(presentation), m_index(index), m_persistAtom(std::move(persistAtom)) {
    const auto slideAtom =
        PPT_REQUIRE(container->FindChild<CPptSlideAtom>(kRecordSlideAtom), L"a slide has no slide atom");
    m_layout = slideAtom->GetLayout();
    m_flags = slideAtom->GetFlags();
    const auto drawing = PPT_REQUIRE(container->FindChildContainer(kRecordPPDrawing), L"a slide has no drawing");
    const auto dg =
        PPT_REQUIRE(drawing->FindChildContainer(kRecordEscherDgContainer), L"a slide drawing has no drawing container");
    const auto group =
        PPT_REQUIRE(dg->FindChildContainer(kRecordEscherSpgrContainer), L"a slide drawing has no shape group");
    m_shapes = std::make_shared<CShapesCollection>(group, this, presentation);
    ReadAnimations(*container);
}

void CSlide::ReadAnimations(const CPptContainer& container) {
    // Tags are optional at every level: a slide may have string tags only, or binary tags of
    // other versions before the one that holds the timeline.
    const auto tags = container.FindChildContainer(kRecordProgTags);
    if (!tags) return;
    for (const auto& tag : tags->GetChildren()) {
        if (tag->GetType() != kRecordProgBinaryTag || !tag->IsContainer()) continue;
        const auto data = std::static_pointer_cast<CPptContainer>(tag)->FindChildContainer(kRecordBinaryTagData);
        if (!data) continue;
        const auto group = data->FindChild<CPptAnimGroupContainer>(kRecordAnimGroup);
        if (!group) continue;
        m_animations = std::make_shared<CAnimationsCollection>(group->FindRootAnimGroup(), this, m_presentation);
        return;
    }
}

CSlide::~CSlide() = default;

// ---------------------------------------------------------------------------------------------

std::shared_ptr<CPresentation> CStreamParser::GetPresentation() const {
    if (!m_root) PPT_PARSER_THROW(L"The presentation has not been read");
    return std::make_shared<CPresentation>(m_root);
}

}  // namespace libpptparser
