#pragma once
// Where the objects of a presentation's latest save are in its record stream.
//
// Each save appends the records it changed, a persist directory (persist id -> stream offset) and
// an edit record that points at that directory, at the document and at the previous edit; the
// current-user record points at the last edit. Following that chain gives the latest state of
// every object. When the chain is damaged (an offset outside the stream or at another record, a
// directory that is not one), every persist directory of the stream is walked in stream order
// instead, later entries over earlier ones, and the file counts as recovered. Objects that lie
// past a top-level record whose length runs off the stream are read at their directory offsets.
//
// Both readers of the file (the parser's model and the application's loader) take their slides
// from here, so that they agree on which slides a file holds and in which order.

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "libpptparser/PptRecord.h"

namespace libpptparser {

// One entry of a slide list: the persist atom, the sheet it names (empty when the file lacks it)
// and the records that follow the atom in the list (the slide's outline text).
struct CSlideListEntry {
    uint32_t persistReference = 0;
    uint32_t slideId = 0;
    std::shared_ptr<CPptRecord> persistAtom;
    std::shared_ptr<CPptContainer> sheet;
    std::vector<std::shared_ptr<CPptRecord>> outline;
};

class CPersistDirectory {
public:
    // `currentUser` is the "Current User" stream, `stream` the "PowerPoint Document" stream and
    // `root` its record tree. Never throws for malformed data.
    CPersistDirectory(const std::vector<uint8_t>& currentUser, const std::vector<uint8_t>& stream,
                      std::shared_ptr<CPptContainer> root);

    // True when the edit chain was damaged and the directories were walked in stream order.
    bool IsRecovered() const { return m_recovered; }
    // What was wrong with the file's bookkeeping, one line each.
    const std::vector<std::wstring>& GetWarnings() const { return m_warnings; }

    // Stream offset of a persist object; false when no directory names it.
    bool FindOffset(uint32_t persistId, uint32_t& offset) const;
    // The top-level record at a persist object's offset; empty when there is none.
    std::shared_ptr<CPptRecord> GetRecord(uint32_t persistId) const;
    // The document of the latest save; empty when the file has none.
    std::shared_ptr<CPptContainer> GetDocument() const { return m_document; }

    // The entries of the document's slide list of an instance (0: slides, 1: masters, 2: notes)
    // with the sheets they name, in list order. When the file was recovered, entries that no
    // directory resolves to a sheet take the file's unclaimed sheets of that kind in stream order.
    // A document without a slide list has the slide sheets of the stream as its slides, in stream
    // order, without persist atoms.
    std::vector<CSlideListEntry> GetSlideList(uint16_t instance) const;

private:
    bool FollowEditChain(const std::vector<uint8_t>& currentUser, const std::vector<uint8_t>& stream,
                         uint32_t& documentReference);
    void WalkAllDirectories(uint32_t& documentReference, bool& haveDocumentReference);
    void ReadRecordsPastTheWalk(const std::vector<uint8_t>& stream);
    void ReadDirectory(const CPptByteView& directory, bool keepKnown, uint64_t& entryBudget);
    void Warn(std::wstring text);

    std::shared_ptr<CPptContainer> m_root;
    // Top-level records: those of the stream's walk, then those read at a directory's offsets
    // past a record that ran off the end.
    std::map<uint64_t, std::shared_ptr<CPptRecord>> m_byOffset;
    std::map<uint32_t, uint32_t> m_offsets;
    std::shared_ptr<CPptContainer> m_document;
    bool m_recovered = false;
    std::vector<std::wstring> m_warnings;
};

}  // namespace libpptparser
