#pragma once
// Reads the "PowerPoint Document" stream of a presentation file into a record tree.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "libpptparser/PersistDirectory.h"
#include "libpptparser/PptRecord.h"

namespace compoundfile {
class CCompoundFileStorage;
}

namespace libpptparser {

class CPresentation;

class CStreamParser {
public:
    // `path` is the file's path as bytes (UTF-8). Opens nothing yet.
    explicit CStreamParser(const std::string& path);
    // A parser over an already made storage (a file image in memory, for instance).
    explicit CStreamParser(std::unique_ptr<compoundfile::CCompoundFileStorage> storage);
    virtual ~CStreamParser();
    CStreamParser(const CStreamParser&) = delete;
    CStreamParser& operator=(const CStreamParser&) = delete;

    // Opens the file, refuses encrypted files and older formats, reads the stream and builds the
    // tree. Throws CPptParserException.
    void Parse();

    // The root container (type 0xFFFF) whose children are the stream's top-level records; empty
    // before Parse.
    std::shared_ptr<CPptContainer> GetRoot() const { return m_root; }
    const std::vector<uint8_t>& GetStreamBytes() const;
    // A new presentation model built from the tree. Throws CPptParserException.
    std::shared_ptr<CPresentation> GetPresentation() const;
    const compoundfile::CCompoundFileStorage& GetStorage() const { return *m_storage; }
    // The storage that holds the presentation's streams: "" for the root, or the storage a
    // PowerPoint 95 file keeps its 97-2003 presentation in. Set by Parse.
    const std::string& GetPresentationStorage() const { return m_presentationStorage; }
    // The path of a stream of the presentation ("Current User", "Pictures") inside the file.
    std::string GetStreamPath(const std::string& name) const;
    // True when the presentation was read from the 97-2003 storage of a PowerPoint 95 file.
    bool IsDualFormat() const { return !m_presentationStorage.empty(); }
    // Where the latest save's objects are; empty before Parse.
    std::shared_ptr<const CPersistDirectory> GetPersistDirectory() const { return m_directory; }

    // The record tree of stream bytes held in memory. Throws CPptParserException.
    static std::shared_ptr<CPptContainer> BuildRecordTree(std::shared_ptr<const std::vector<uint8_t>> stream);

private:
    // Refuses encrypted files and older formats and chooses the storage to read.
    void ChoosePresentationStorage();

    std::shared_ptr<const std::vector<uint8_t>> m_stream;
    std::shared_ptr<CPptContainer> m_root;
    std::unique_ptr<compoundfile::CCompoundFileStorage> m_storage;
    std::string m_presentationStorage;
    std::shared_ptr<const CPersistDirectory> m_directory;
};

}  // namespace libpptparser
