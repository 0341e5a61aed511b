// The presentation, its slides collection and the slides.

#include "libpptparser/Presentation.h"

#include <map>

#include "ModelLookups.h"
#include "libpptparser/StreamParser.h"

namespace libpptparser {

CPresentation::CPresentation(const std::shared_ptr<CPptRecord>& root,
                             std::shared_ptr<const CPersistDirectory> directory)
    : m_directory(std::move(directory)) {
    const auto rootContainer =
        PPT_REQUIRE(std::dynamic_pointer_cast<CPptContainer>(root), L"the stream has no records");
    // A record tree alone has no edit chain to follow: its stream order is all there is.
    const bool fromFile = m_directory != nullptr;
    if (!fromFile)
        m_directory =
            std::make_shared<CPersistDirectory>(std::vector<uint8_t>(), std::vector<uint8_t>(), rootContainer);
    if (fromFile && m_directory->IsRecovered())
        AddWarning(L"The file was recovered: its chain of edits is damaged (" +
                   (m_directory->GetWarnings().empty() ? std::wstring(L"no edit record")
                                                       : m_directory->GetWarnings().front()) +
                   L"), so its slides were taken from every persist directory in stream order");
    m_document = PPT_REQUIRE(m_directory->GetDocument(), L"no Document record");
    m_sounds = std::make_shared<CSoundCollection>(*m_document, this);
    const auto environment =
        PPT_REQUIRE(m_document->FindChildContainer(kRecordEnvironment), L"no Environment record in the Document");
    m_fontCollection =
        PPT_REQUIRE(environment->FindChildContainer(kRecordFontCollection), L"no font collection in the Environment");
    // Character runs count fonts among the font entities only; other records between them (such
    // as embedded font data) do not take an index.
    for (const auto& child : m_fontCollection->GetChildren())
        if (auto font = std::dynamic_pointer_cast<CPptFontEntityAtom>(child)) m_fonts.push_back(font);
    const auto lists = m_document->GetChildren(kRecordSlideListWithText, 0);
    for (const auto& list : lists) {
        if ((m_slideList = std::dynamic_pointer_cast<CPptContainer>(list))) break;
    }
    m_slides = std::make_shared<CSlidesCollection>(*m_directory, this);
}

CPresentation::~CPresentation() = default;

// ---------------------------------------------------------------------------------------------

CSlidesCollection::CSlidesCollection(const CPersistDirectory& directory, CPresentation* presentation)
    : m_presentation(presentation) {
    uint32_t index = 0;
    for (const CSlideListEntry& entry : directory.GetSlideList(0)) {
        if (!entry.sheet) {
            presentation->AddWarning(L"Slide " + std::to_wstring(entry.slideId) +
                                     L" is missing from the file and was left out");
            continue;
        }
        m_slides.push_back(
            std::make_shared<CSlide>(entry.sheet, index++, this, presentation,
                                     std::dynamic_pointer_cast<CPptSlidePersistAtom>(entry.persistAtom)));
    }
}

CSlidesCollection::~CSlidesCollection() = default;

std::shared_ptr<CSlide> CSlidesCollection::FindSlide(uint32_t slideId) const {
    if (slideId == 0) return nullptr;  // a slide without a slide-list entry has no identity
    for (const auto& slide : m_slides)
        if (slide->GetSlideId() == slideId) return slide;
    return nullptr;
}

// ---------------------------------------------------------------------------------------------

CSlide::CSlide(const std::shared_ptr<CPptContainer>& container, uint32_t index, CSlidesCollection* collection,
               CPresentation* presentation, std::shared_ptr<CPptSlidePersistAtom> persistAtom)
    : m_collection(collection), m_presentation(presentation), m_index(index), m_persistAtom(std::move(persistAtom)) {
    // The application loads a slide without its slide atom with the defaults; so does the model.
    if (const auto slideAtom = container->FindChild<CPptSlideAtom>(kRecordSlideAtom)) {
        m_layout = slideAtom->GetLayout();
        m_flags = slideAtom->GetFlags();
    } else {
        presentation->AddWarning(L"Slide " + std::to_wstring(index + 1) + L" has no slide atom");
    }
    // A slide whose drawing is missing or damaged before its shape group still is a slide: it
    // has no shapes, as the application shows it.
    const auto drawing = container->FindChildContainer(kRecordPPDrawing);
    const auto dg = drawing ? drawing->FindChildContainer(kRecordEscherDgContainer) : nullptr;
    const auto group = dg ? dg->FindChildContainer(kRecordEscherSpgrContainer) : nullptr;
    if (!group)
        presentation->AddWarning(L"Slide " + std::to_wstring(index + 1) +
                                 L" has no shape group in its drawing; it has no shapes");
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
    return std::make_shared<CPresentation>(m_root, m_directory);
}

}  // namespace libpptparser
