#pragma once
// The record tree of the "PowerPoint Document" stream: records, containers and the factory.

#include "base/bytes/ByteView.h"
#include "libpptparser/RecordTypes.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace libpptparser {

class CPptContainer;
class CPptRecord;
class IPptRecordVisitor;

// A read-only window on bytes of the stream. Reads of fields that do not fit give 0, so an
// atom shorter than its format keeps defaults for what is missing.
using CPptByteView = base::bytes::ByteView;

// What the factory and every record constructor are given.
struct CPptRecordDescriptor {
    uint16_t versionInstance = 0;
    uint16_t type = 0;
    uint32_t length = 0;
    uint32_t ordinal = 0;
    const uint8_t* data = nullptr;  // just behind the record's header, inside the stream buffer
    CPptContainer* parent = nullptr;
    // The stream the data lies in; records keep it so that their bytes stay readable.
    std::shared_ptr<const std::vector<uint8_t>> stream;
    uint32_t depth = 0;  // containers above this record
};

// Containers deeper than this are refused: nesting is bounded by the stream's length only, and
// the tree is built depth-first.
constexpr uint32_t kMaxRecordDepth = 128;

class CPptRecord {
public:
    explicit CPptRecord(const CPptRecordDescriptor& descriptor);
    virtual ~CPptRecord();
    CPptRecord(const CPptRecord&) = delete;
    CPptRecord& operator=(const CPptRecord&) = delete;

    virtual void Accept(IPptRecordVisitor& visitor) = 0;
    virtual bool IsContainer() const = 0;

    uint16_t GetVersion() const { return m_version; }
    uint16_t GetInstance() const { return m_instance; }
    uint16_t GetType() const { return m_type; }
    uint32_t GetLength() const { return m_length; }
    CPptContainer* GetParent() const { return m_parent; }
    uint32_t GetOrdinal() const { return m_ordinal; }
    // Where the record's header starts in the stream.
    uint64_t GetOffset() const;
    // The record's data, behind its header.
    CPptByteView GetBytes() const;
    // The whole stream the record lies in.
    const std::shared_ptr<const std::vector<uint8_t>>& GetStream() const { return m_stream; }

private:
    uint16_t m_version;
    uint16_t m_instance;
    uint16_t m_type;
    uint32_t m_length;
    CPptContainer* m_parent;
    uint32_t m_ordinal;
    std::shared_ptr<const std::vector<uint8_t>> m_stream;
    uint64_t m_dataOffset = 0;
};

class CPptAtom : public CPptRecord {
public:
    explicit CPptAtom(const CPptRecordDescriptor& descriptor) : CPptRecord(descriptor) {}
    bool IsContainer() const override { return false; }
};

class CPptContainer : public CPptRecord {
public:
    // Walks the children of the data: a record that would run past the end ends the walk.
    explicit CPptContainer(const CPptRecordDescriptor& descriptor);
    bool IsContainer() const override { return true; }
    void Accept(IPptRecordVisitor& visitor) override;

    const std::vector<std::shared_ptr<CPptRecord>>& GetChildren() const { return m_children; }
    size_t GetChildCount() const { return m_children.size(); }
    // Child i; empty past the end.
    std::shared_ptr<CPptRecord> GetChild(size_t i) const { return i < m_children.size() ? m_children[i] : nullptr; }
    // Every child with this type and instance, in stream order.
    std::vector<std::shared_ptr<CPptRecord>> GetChildren(uint16_t type, uint16_t instance) const;
    // The first child that is a container of this type.
    std::shared_ptr<CPptContainer> FindChildContainer(uint16_t type) const;
    // The first child of class T with this type (0: any type).
    template <class T>
    std::shared_ptr<T> FindChild(uint16_t type) const {
        for (const auto& child : m_children) {
            if (type != 0 && child->GetType() != type) continue;
            if (auto typed = std::dynamic_pointer_cast<T>(child)) return typed;
        }
        return nullptr;
    }

private:
    std::vector<std::shared_ptr<CPptRecord>> m_children;
};

class CPptDefaultContainer : public CPptContainer {
public:
    using CPptContainer::CPptContainer;
};

// The record factory: chooses the class by the version nibble and the type.
std::shared_ptr<CPptRecord> CreatePptRecord(const CPptRecordDescriptor& descriptor);

}  // namespace libpptparser
