// The edit chain, the persist directories and the slide lists they resolve.

#include "libpptparser/PersistDirectory.h"

#include <set>

namespace libpptparser {

namespace {

constexpr uint32_t kCurrentUserToken = 0xE391C05F;
constexpr uint64_t kRecordHeaderSize = 8;
// Edit chains longer than this are damage (each save adds one edit).
constexpr size_t kMaxEdits = 100000;
// Layouts of a title master's slide atom: such a sheet is never one of the slides.
bool IsTitleMasterLayout(uint32_t layout) { return layout == 2 || layout == 3; }

// The fields of an edit record that are read: it is damaged when they do not fit.
constexpr size_t kUserEditFields = 20;

bool IsSheetOf(const CPptRecord& record, uint16_t instance) {
    if (!record.IsContainer()) return false;
    switch (instance) {
    case 0:
        return record.GetType() == kRecordSlide;
    case 1:
        return record.GetType() == kRecordMainMaster || record.GetType() == kRecordSlide;
    case 2:
        return record.GetType() == kRecordNotes;
    default:
        return false;
    }
}

uint32_t LayoutOf(const CPptContainer& sheet) {
    for (const auto& child : sheet.GetChildren())
        if (child->GetType() == kRecordSlideAtom) return child->GetBytes().U32(0);
    return 0;
}

}  // namespace

CPersistDirectory::CPersistDirectory(const std::vector<uint8_t>& currentUser, const std::vector<uint8_t>& stream,
                                     std::shared_ptr<CPptContainer> root)
    : m_root(std::move(root)) {
    if (!m_root) return;
    for (const auto& child : m_root->GetChildren()) m_byOffset[child->GetOffset()] = child;

    uint32_t documentReference = 0;
    if (FollowEditChain(currentUser, stream, documentReference)) {
        ReadRecordsPastTheWalk(stream);
        m_document = std::dynamic_pointer_cast<CPptContainer>(GetRecord(documentReference));
        if (m_document && m_document->GetType() == kRecordDocument) return;
        Warn(L"the last edit does not lead to the document");
        m_document.reset();
    }

    m_recovered = true;
    m_offsets.clear();
    bool haveDocumentReference = false;
    WalkAllDirectories(documentReference, haveDocumentReference);
    ReadRecordsPastTheWalk(stream);
    if (haveDocumentReference) m_document = std::dynamic_pointer_cast<CPptContainer>(GetRecord(documentReference));
    if (!m_document || m_document->GetType() != kRecordDocument) {
        // The last document record of the stream belongs to the latest save.
        m_document.reset();
        for (const auto& [offset, record] : m_byOffset)
            if (record->GetType() == kRecordDocument && record->IsContainer())
                m_document = std::static_pointer_cast<CPptContainer>(record);
    }
}

void CPersistDirectory::ReadRecordsPastTheWalk(const std::vector<uint8_t>& stream) {
    // The walk of the stream stops at the first record whose length runs past the end; the
    // objects a directory places beyond that point are read at their own offsets, as the
    // directory means them to be. Only offsets past the walk and past each other are taken, so
    // that no byte is read as two records.
    uint64_t from = 0;
    if (!m_byOffset.empty()) {
        const auto& last = m_byOffset.rbegin()->second;
        from = last->GetOffset() + kRecordHeaderSize + last->GetLength();
    }
    std::set<uint64_t> wanted;
    for (const auto& [id, offset] : m_offsets)
        if (offset >= from) wanted.insert(offset);
    const CPptByteView s(stream.data(), stream.size());
    const std::shared_ptr<const std::vector<uint8_t>>& bytes = m_root->GetStream();
    if (!bytes || bytes->data() != stream.data()) return;  // the tree was built from other bytes
    bool any = false;
    for (const uint64_t offset : wanted) {
        if (offset < from || !s.Has(offset, kRecordHeaderSize)) continue;
        const uint64_t length = s.U32(offset + 4);
        if (length > stream.size() - offset - kRecordHeaderSize) continue;  // damaged as well
        CPptRecordDescriptor d;
        d.versionInstance = s.U16(offset);
        d.type = s.U16(offset + 2);
        d.length = static_cast<uint32_t>(length);
        d.data = stream.data() + offset + kRecordHeaderSize;
        d.stream = bytes;
        d.depth = 1;
        m_byOffset[offset] = CreatePptRecord(d);
        from = offset + kRecordHeaderSize + length;
        any = true;
    }
    if (any)
        Warn(
            L"a record runs past the end of the stream; the objects behind it were read where the directory places "
            L"them");
}

void CPersistDirectory::Warn(std::wstring text) {
    // A damaged file can repeat one fault many times; the list stays short.
    if (m_warnings.size() < 50) m_warnings.push_back(std::move(text));
}

void CPersistDirectory::ReadDirectory(const CPptByteView& directory, bool keepKnown, uint64_t& entryBudget) {
    size_t at = 0;
    while (directory.Has(at, 4) && entryBudget > 0) {
        const uint32_t word = directory.U32(at);
        const uint32_t first = word & 0xFFFFF;
        const uint32_t count = word >> 20;
        at += 4;
        for (uint32_t i = 0; i < count && directory.Has(at, 4) && entryBudget > 0; ++i, at += 4, --entryBudget) {
            if (keepKnown)
                m_offsets.emplace(first + i, directory.U32(at));  // an id already known is newer
            else
                m_offsets[first + i] = directory.U32(at);
        }
    }
}

bool CPersistDirectory::FollowEditChain(const std::vector<uint8_t>& currentUser, const std::vector<uint8_t>& stream,
                                        uint32_t& documentReference) {
    const CPptByteView user(currentUser.data(), currentUser.size());
    if (!user.Has(0, 20) || user.U16(2) != kRecordCurrentUserAtom) {
        Warn(L"the \"Current User\" stream is missing or damaged");
        return false;
    }
    if (user.U32(12) != kCurrentUserToken) Warn(L"the current-user record has an unexpected token");

    const CPptByteView s(stream.data(), stream.size());
    uint64_t offset = user.U32(16);
    std::set<uint64_t> seen;
    // Directories of a well-formed file do not overlap, so they hold at most a quarter as many
    // entries as the stream has bytes; overlapping ones made up to repeat each other stop there.
    uint64_t entryBudget = stream.size() / 4 + 1024;
    bool first = true;
    while (true) {
        if (!s.Has(offset, 8 + kUserEditFields) || s.U16(offset + 2) != kRecordUserEditAtom ||
            s.U32(offset + 4) < kUserEditFields || seen.count(offset) || seen.size() >= kMaxEdits) {
            Warn(first ? L"the last edit record is missing or damaged" : L"the chain of edits is broken");
            return false;
        }
        seen.insert(offset);
        const CPptByteView edit(stream.data() + offset + 8, kUserEditFields);
        if (first) documentReference = edit.U32(16);
        first = false;
        const uint64_t directoryAt = edit.U32(12);
        if (!s.Has(directoryAt, 8) || s.U16(directoryAt + 2) != kRecordPersistDirectoryAtom) {
            Warn(L"an edit's persist directory is missing");
            return false;
        }
        const uint64_t length = std::min<uint64_t>(s.U32(directoryAt + 4), stream.size() - directoryAt - 8);
        ReadDirectory(CPptByteView(stream.data() + directoryAt + 8, static_cast<size_t>(length)), true, entryBudget);
        if (entryBudget == 0) {
            Warn(L"the persist directories repeat themselves");
            return false;
        }
        const uint32_t previous = edit.U32(8);
        if (previous == 0) return true;
        offset = previous;
    }
}

void CPersistDirectory::WalkAllDirectories(uint32_t& documentReference, bool& haveDocumentReference) {
    uint64_t entryBudget = UINT64_MAX;  // each entry comes from bytes of its own
    for (const auto& child : m_root->GetChildren()) {
        if (child->IsContainer()) continue;
        if (child->GetType() == kRecordPersistDirectoryAtom) {
            ReadDirectory(child->GetBytes(), false, entryBudget);
        } else if (child->GetType() == kRecordUserEditAtom && child->GetBytes().Has(0, kUserEditFields)) {
            // The latest edit whose document is there names the document.
            const uint32_t reference = child->GetBytes().U32(16);
            const auto record = [&] {
                uint32_t at = 0;
                if (!FindOffset(reference, at)) return std::shared_ptr<CPptRecord>();
                const auto it = m_byOffset.find(at);
                return it == m_byOffset.end() ? nullptr : it->second;
            }();
            if (record && record->IsContainer() && record->GetType() == kRecordDocument) {
                documentReference = reference;
                haveDocumentReference = true;
            }
        }
    }
}

bool CPersistDirectory::FindOffset(uint32_t persistId, uint32_t& offset) const {
    const auto it = m_offsets.find(persistId);
    if (it == m_offsets.end()) return false;
    offset = it->second;
    return true;
}

std::shared_ptr<CPptRecord> CPersistDirectory::GetRecord(uint32_t persistId) const {
    uint32_t offset = 0;
    if (!FindOffset(persistId, offset)) return nullptr;
    const auto it = m_byOffset.find(offset);
    return it == m_byOffset.end() ? nullptr : it->second;
}

std::vector<CSlideListEntry> CPersistDirectory::GetSlideList(uint16_t instance) const {
    std::vector<CSlideListEntry> entries;
    if (!m_document) return entries;
    std::shared_ptr<CPptContainer> list;
    for (const auto& child : m_document->GetChildren(kRecordSlideListWithText, instance))
        if ((list = std::dynamic_pointer_cast<CPptContainer>(child))) break;
    if (!list) {
        // Without a list of slides, the slide sheets of the stream are the slides, in stream order
        // (a file with no slides has no such sheets: title masters are not slides).
        if (instance != 0) return entries;
        for (const auto& [offset, record] : m_byOffset) {
            if (!IsSheetOf(*record, 0)) continue;
            const auto sheet = std::static_pointer_cast<CPptContainer>(record);
            if (IsTitleMasterLayout(LayoutOf(*sheet))) continue;
            CSlideListEntry entry;
            entry.sheet = sheet;
            entries.push_back(std::move(entry));
        }
        return entries;
    }

    std::set<uint64_t> claimed;
    for (const auto& child : list->GetChildren()) {
        if (child->GetType() != kRecordSlidePersistAtom || child->IsContainer()) {
            if (!entries.empty()) entries.back().outline.push_back(child);
            continue;
        }
        CSlideListEntry entry;
        entry.persistAtom = child;
        entry.persistReference = child->GetBytes().U32(0);
        entry.slideId = child->GetBytes().U32(12);
        const auto record = GetRecord(entry.persistReference);
        if (record && IsSheetOf(*record, instance) && !claimed.count(record->GetOffset())) {
            entry.sheet = std::static_pointer_cast<CPptContainer>(record);
            claimed.insert(record->GetOffset());
        }
        entries.push_back(std::move(entry));
    }
    if (!m_recovered) return entries;

    // A recovered file may have lost the directory entries of some sheets that it still holds:
    // the sheets no entry claims go, in stream order, to the entries that found none.
    auto next = m_byOffset.begin();
    const auto end = m_byOffset.end();
    for (CSlideListEntry& entry : entries) {
        if (entry.sheet) continue;
        for (; next != end; ++next) {
            const auto& record = next->second;
            if (!IsSheetOf(*record, instance) || claimed.count(record->GetOffset())) continue;
            const auto sheet = std::static_pointer_cast<CPptContainer>(record);
            // Title masters are sheets of the master list only.
            if (instance == 0 && IsTitleMasterLayout(LayoutOf(*sheet))) continue;
            entry.sheet = sheet;
            claimed.insert(record->GetOffset());
            ++next;
            break;
        }
    }
    return entries;
}

}  // namespace libpptparser
