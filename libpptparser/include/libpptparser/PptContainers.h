#pragma once
// Container classes with operations of their own.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "libpptparser/PptRecord.h"
#include "libpptparser/PptRecordVisitor.h"

namespace libpptparser {

// One sound of the sound collection (type 2022).
class CPptSoundContainer : public CPptContainer {
public:
    using CPptContainer::CPptContainer;
    // The bytes of the first sound data atom; throws when there is none.
    const std::vector<uint8_t>& GetSoundData() const;
    // The text of the first string atom of instance 0; throws when there is none.
    std::wstring GetName() const;
    // The number in the text of the first string atom of instance 2; throws when there is none.
    long GetId() const;
};

// A node of the animation time tree (type 0xF144).
class CPptAnimGroupContainer : public CPptContainer {
public:
    using CPptContainer::CPptContainer;
    // The first child time node whose own first child is a time-node atom with 0 in its second
    // value: the root of the slide's timeline. Empty when there is none.
    std::shared_ptr<CPptAnimGroupContainer> FindRootAnimGroup() const;
};

// The reference of a placeholder to its outline text (type 3998). A container by class, whose
// four data bytes hold no child; the index is the u32 at 0.
class CPptOutlineTextRefAtom : public CPptContainer {
public:
    explicit CPptOutlineTextRefAtom(const CPptRecordDescriptor& descriptor);
    void Accept(IPptRecordVisitor& visitor) override { visitor.Visit(*this); }
    uint32_t GetIndex() const { return m_index; }

private:
    uint32_t m_index;
};

}  // namespace libpptparser
