// Parsed shapes: type, anchor, rotation, adjustments, text rotation, sound and text frame.

#include "libpptparser/Presentation.h"

#include "ModelLookups.h"
#include "libpptparser/PptStrings.h"

namespace libpptparser {

namespace {

constexpr uint16_t kPropertyRotation = 0x0004;
constexpr uint16_t kPropertyTextRotation = 0x0089;
constexpr uint16_t kPropertyFirstAdjustment = 0x0147;
constexpr int kAdjustmentCount = 10;
constexpr float kMasterUnitsToPoints = 0.125f;

}  // namespace

CShapesCollection::CShapesCollection(const std::shared_ptr<CPptContainer>& group, CSlide* slide,
                                     CPresentation* presentation)
    : m_slide(slide), m_presentation(presentation) {
    if (!group) return;  // a damaged drawing
    uint32_t kept = 0;
    for (const auto& child : group->GetChildren()) {
        if (child->GetType() != kRecordEscherSpContainer && child->GetType() != kRecordEscherSpgrContainer) continue;
        auto shape = std::make_shared<CShape>(child, this, presentation, kept);
        if (shape->IsGroupHeader()) continue;
        m_shapes.push_back(shape);
        ++kept;
    }
}

CShapesCollection::~CShapesCollection() = default;

// ---------------------------------------------------------------------------------------------

CShape::CShape(const std::shared_ptr<CPptRecord>& record, CShapesCollection* collection, CPresentation* presentation,
               uint32_t index)
    : m_collection(collection), m_presentation(presentation), m_index(index) {
    const auto container =
        PPT_REQUIRE(std::dynamic_pointer_cast<CPptContainer>(record), L"a shape record is not a container");
    if (record->GetType() == kRecordEscherSpgrContainer)
        ReadGroup(*container);
    else
        ReadShape(*container);
}

CShape::~CShape() = default;

void CShape::ReadShape(const CPptContainer& container) {
    const auto sp = PPT_REQUIRE(container.FindChild<CPptEscherSpAtom>(kRecordEscherSp), L"a shape has no shape atom");
    const auto opt = container.FindChild<CPptEscherOPTAtom>(kRecordEscherOPT);
    bool hasGroupAtom = false;
    for (const auto& child : container.GetChildren())
        if (child->GetType() == kRecordEscherSpgr && !child->IsContainer()) hasGroupAtom = true;

    m_shapeType = sp->GetInstance();
    m_isGroupHeader = m_shapeType == 0 && hasGroupAtom;
    if (m_isGroupHeader) return;

    if (opt) {
        uint32_t value = 0;
        if (opt->GetProperty(kPropertyTextRotation, value)) m_fontRotation = static_cast<int32_t>(value);
        if (opt->GetProperty(kPropertyRotation, value))
            m_rotation = static_cast<float>(static_cast<int32_t>(value) / 65536.0);
        for (int n = 0; n < kAdjustmentCount; ++n) {
            if (!opt->GetProperty(static_cast<uint16_t>(kPropertyFirstAdjustment + n), value)) break;
            m_adjustments.push_back(static_cast<float>(static_cast<int32_t>(value)) * (1.0f / 21600.0f));
        }
    }

    // A damaged shape without its anchor stays in the list at 0,0, where the application puts it,
    // so that the shapes keep the application's order.
    if (const auto anchor = container.FindChild<CPptEscherClientAnchorAtom>(kRecordEscherClientAnchor)) {
        m_left = static_cast<float>(anchor->GetLeft()) * kMasterUnitsToPoints;
        m_top = static_cast<float>(anchor->GetTop()) * kMasterUnitsToPoints;
        m_right = static_cast<float>(anchor->GetRight()) * kMasterUnitsToPoints;
        m_bottom = static_cast<float>(anchor->GetBottom()) * kMasterUnitsToPoints;
    } else {
        m_presentation->AddWarning(L"Shape " + std::to_wstring(m_index) + L" has no anchor; it is placed at 0,0");
    }

    ReadClientData(container.FindChildContainer(kRecordEscherClientData));

    if (const auto textBox = container.FindChildContainer(kRecordEscherClientTextbox))
        m_textFrame = std::make_shared<CTextFrame>(textBox, this);
}

void CShape::ReadGroup(const CPptContainer& container) {
    const auto own =
        PPT_REQUIRE(container.FindChildContainer(kRecordEscherSpContainer), L"a group has no shape record of its own");
    PPT_REQUIRE(own->FindChild<CPptEscherSpAtom>(kRecordEscherSp), L"a group's shape record has no shape atom");
    ReadClientData(own->FindChildContainer(kRecordEscherClientData));
}

void CShape::ReadClientData(const std::shared_ptr<CPptContainer>& clientData) {
    if (!clientData) return;
    const auto info = clientData->FindChildContainer(kRecordAnimationInfo);
    if (!info) return;
    const auto atom = info->FindChild<CPptAnimationInfoAtom>(kRecordAnimationInfoAtom);
    if (!atom) {
        // Only the shape's sound depends on it: leave the sound out, keep the shape.
        m_presentation->AddWarning(L"Shape " + std::to_wstring(m_index) +
                                   L": animation information without its atom; its sound is left out");
        return;
    }
    m_sound = m_presentation->GetSounds()->FindSound(static_cast<int32_t>(atom->GetSoundReference()));
}

}  // namespace libpptparser
