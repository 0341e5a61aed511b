// Record base, the container walk and the record factory.

#include "libpptparser/PptRecord.h"

#include "libpptparser/PptAtoms.h"
#include "libpptparser/PptContainers.h"
#include "libpptparser/PptParserException.h"
#include "libpptparser/PptRecordVisitor.h"
#include "libpptparser/PptStyleTextPropAtom.h"

namespace libpptparser {

namespace {

constexpr uint16_t kContainerVersion = 0xF;
constexpr uint32_t kHeaderSize = 8;

}  // namespace

CPptRecord::CPptRecord(const CPptRecordDescriptor& descriptor)
    : m_version(descriptor.versionInstance & 0xF),
      m_instance(descriptor.versionInstance >> 4),
      m_type(descriptor.type),
      m_length(descriptor.length),
      m_parent(descriptor.parent),
      m_ordinal(descriptor.ordinal),
      m_stream(descriptor.stream) {
    if (m_stream && descriptor.data >= m_stream->data() && descriptor.data <= m_stream->data() + m_stream->size()) {
        m_dataOffset = static_cast<uint64_t>(descriptor.data - m_stream->data());
        // The length was checked against the parent's data by the walk; clip for direct callers.
        if (m_length > m_stream->size() - m_dataOffset)
            m_length = static_cast<uint32_t>(m_stream->size() - m_dataOffset);
    } else {
        m_stream.reset();
        m_length = 0;
    }
}

CPptRecord::~CPptRecord() = default;

uint64_t CPptRecord::GetOffset() const { return m_dataOffset >= kHeaderSize ? m_dataOffset - kHeaderSize : 0; }

CPptByteView CPptRecord::GetBytes() const {
    if (!m_stream) return CPptByteView();
    return CPptByteView(m_stream->data() + m_dataOffset, m_length);
}

// ---------------------------------------------------------------------------------------------

CPptContainer::CPptContainer(const CPptRecordDescriptor& descriptor) : CPptRecord(descriptor) {
    if (descriptor.depth > kMaxRecordDepth)
        PPT_PARSER_THROW(L"Records are nested more than " + std::to_wstring(kMaxRecordDepth) +
                         L" levels deep at stream offset " + std::to_wstring(GetOffset()));
    const CPptByteView data = GetBytes();
    const uint8_t* base = data.data();
    uint64_t p = 0;
    const uint64_t end = data.size();
    while (p < end) {
        if (end - p < kHeaderSize) break;
        CPptRecordDescriptor child;
        child.versionInstance = data.U16(p);
        child.type = data.U16(p + 2);
        child.length = data.U32(p + 4);
        if (child.length > end - p - kHeaderSize) break;  // would run past this container
        child.ordinal = static_cast<uint32_t>(m_children.size());
        child.data = base + p + kHeaderSize;
        child.parent = this;
        child.stream = descriptor.stream;
        child.depth = descriptor.depth + 1;
        m_children.push_back(CreatePptRecord(child));
        p += kHeaderSize + child.length;
    }
}

void CPptContainer::Accept(IPptRecordVisitor& visitor) { visitor.Visit(*this); }

std::vector<std::shared_ptr<CPptRecord>> CPptContainer::GetChildren(uint16_t type, uint16_t instance) const {
    std::vector<std::shared_ptr<CPptRecord>> result;
    for (const auto& child : m_children)
        if (child->GetType() == type && child->GetInstance() == instance) result.push_back(child);
    return result;
}

std::shared_ptr<CPptContainer> CPptContainer::FindChildContainer(uint16_t type) const {
    for (const auto& child : m_children)
        if (child->GetType() == type && child->IsContainer())
            if (auto container = std::dynamic_pointer_cast<CPptContainer>(child)) return container;
    return nullptr;
}

// ---------------------------------------------------------------------------------------------

std::shared_ptr<CPptRecord> CreatePptRecord(const CPptRecordDescriptor& d) {
    if ((d.versionInstance & 0xF) == kContainerVersion) {
        switch (d.type) {
        case kRecordSound:
            return std::make_shared<CPptSoundContainer>(d);
        case kRecordAnimGroup:
            return std::make_shared<CPptAnimGroupContainer>(d);
        default:
            return std::make_shared<CPptDefaultContainer>(d);
        }
    }
    switch (d.type) {
    case kRecordBinaryTagData:
        return std::make_shared<CPptDefaultContainer>(d);
    case kRecordSlideAtom:
        return std::make_shared<CPptSlideAtom>(d);
    case kRecordSlidePersistAtom:
        return std::make_shared<CPptSlidePersistAtom>(d);
    case kRecordSoundCollAtom:
        return std::make_shared<CPptSoundCollAtom>(d);
    case kRecordSoundData:
        return std::make_shared<CPptSoundDataAtom>(d);
    case kRecordOutlineTextRefAtom:
        return std::make_shared<CPptOutlineTextRefAtom>(d);
    case kRecordTextHeaderAtom:
        return std::make_shared<CPptTextHeaderAtom>(d);
    case kRecordTextCharsAtom:
        return std::make_shared<CPptStringAtom>(d);
    case kRecordStyleTextPropAtom:
        return std::make_shared<CPptStyleTextPropAtom>(d);
    case kRecordTextBytesAtom:
        return std::make_shared<CPptByteStringAtom>(d);
    case kRecordTextSpecInfoAtom:
        return std::make_shared<CPptTextSpecInfoAtom>(d);
    case kRecordFontEntityAtom:
        return std::make_shared<CPptFontEntityAtom>(d);
    case kRecordCString:
        return std::make_shared<CPptStringAtom>(d);
    case kRecordSlideNumberMCAtom:
        return std::make_shared<CPptSlideNumberMCAtom>(d);
    case kRecordAnimationInfoAtom:
        return std::make_shared<CPptAnimationInfoAtom>(d);
    case kRecordDateTimeMCAtom:
        return std::make_shared<CPptDateTimeMCAtom>(d);
    case kRecordAnimReferenceAtom:
        return std::make_shared<CPptAnimReferenceAtom>(d);
    case kRecordEscherSp:
        return std::make_shared<CPptEscherSpAtom>(d);
    case kRecordEscherOPT:
        return std::make_shared<CPptEscherOPTAtom>(d);
    case kRecordEscherClientAnchor:
        return std::make_shared<CPptEscherClientAnchorAtom>(d);
    case kRecordAnimNodeAtom:
        return std::make_shared<CPptAnimNodeAtom>(d);
    case kRecordAnimateTargetAtom:
        return std::make_shared<CPptAnimateTargetAtom>(d);
    case kRecordAnimateSetAtom:
        return std::make_shared<CPptAnimateSetAtom>(d);
    case kRecordAnimIterationAtom:
        return std::make_shared<CPptAnimIterationAtom>(d);
    case kRecordAnimAttributeValueAtom:
        return std::make_shared<CPptAnimAttributeValueAtom>(d);
    default:
        return std::make_shared<CPptDefaultAtom>(d);
    }
}

}  // namespace libpptparser
