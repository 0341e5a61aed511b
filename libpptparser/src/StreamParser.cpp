#include "libpptparser/StreamParser.h"

#include "compoundfile/CompoundFile.h"
#include "libpptparser/PptParserException.h"
#include "libpptparser/PptStrings.h"

namespace libpptparser {

namespace {

const char kDocumentStream[] = "PowerPoint Document";
const char kCurrentUserStream[] = "Current User";
// The header token of the current-user record of an encrypted presentation.
constexpr uint32_t kEncryptedToken = 0xF3D1C4DF;

std::vector<uint8_t> ReadStream(const compoundfile::CCompoundFileStorage& storage, const char* name) {
    compoundfile::CCompoundFileStream stream(storage, name);
    return stream.Failed() ? std::vector<uint8_t>() : stream.ReadAll();
}

}  // namespace

CStreamParser::CStreamParser(const std::string& path)
    : m_storage(std::make_unique<compoundfile::CCompoundFileStorage>(path)) {}

CStreamParser::CStreamParser(std::unique_ptr<compoundfile::CCompoundFileStorage> storage)
    : m_storage(std::move(storage)) {}

CStreamParser::~CStreamParser() = default;

const std::vector<uint8_t>& CStreamParser::GetStreamBytes() const {
    static const std::vector<uint8_t> kEmpty;
    return m_stream ? *m_stream : kEmpty;
}

void CStreamParser::RefuseUnsupportedFormats() const {
    const compoundfile::CCompoundFileStorage& storage = *m_storage;

    // The current-user record tells the format's own files apart and marks encrypted ones.
    const std::vector<uint8_t> user = ReadStream(storage, kCurrentUserStream);
    const CPptByteView userBytes(user.data(), user.size());
    const bool hasCurrentUserAtom = userBytes.Has(0, 16) && userBytes.U16(2) == kRecordCurrentUserAtom;

    if (storage.HasStream("EncryptedPackage") || storage.HasStream("EncryptionInfo") ||
        storage.HasStream("EncryptedSummary") || (hasCurrentUserAtom && userBytes.U32(12) == kEncryptedToken))
        throw CPptParserException(
            L"The presentation is encrypted (protected by a password); encrypted presentations cannot be read");

    const bool hasDocument = storage.HasStream(kDocumentStream);
    if (!hasDocument && storage.HasStream("PP40"))
        throw CPptParserException(
            L"The file is a PowerPoint 4.0 presentation; only PowerPoint 97-2003 presentations can be read");
    if (hasDocument && !hasCurrentUserAtom && storage.HasStream("Header"))
        throw CPptParserException(
            L"The file is a PowerPoint 95 presentation; only PowerPoint 97-2003 presentations can be read");
}

void CStreamParser::Parse() {
    m_root.reset();
    m_stream.reset();

    if (!m_storage->Open()) {
        switch (m_storage->GetResult()) {
        case compoundfile::kResultNotCompoundFile:
            throw CPptParserException(L"Failed to open file: it is not a PowerPoint 97-2003 presentation (" +
                                      Utf8ToWide(m_storage->GetErrorText()) + L")");
        case compoundfile::kResultDamaged:
            throw CPptParserException(L"Failed to open file: the compound file is damaged (" +
                                      Utf8ToWide(m_storage->GetErrorText()) + L")");
        default:
            throw CPptParserException(L"Failed to open file");
        }
    }

    RefuseUnsupportedFormats();

    compoundfile::CCompoundFileStream stream(*m_storage, kDocumentStream);
    if (stream.Failed()) {
        if (!m_storage->HasStream(kDocumentStream)) throw CPptParserException(L"No \"PowerPoint Document\" stream");
        throw CPptParserException(L"The \"PowerPoint Document\" stream is damaged: " +
                                  Utf8ToWide(stream.GetErrorText()));
    }
    auto bytes = std::make_shared<std::vector<uint8_t>>(stream.ReadAll());
    if (bytes->size() < stream.GetSize())
        PPT_PARSER_THROW(L"The \"PowerPoint Document\" stream is truncated: " + std::to_wstring(bytes->size()) +
                         L" of its " + std::to_wstring(stream.GetSize()) + L" bytes are in the file");
    m_stream = bytes;
    m_root = BuildRecordTree(m_stream);
}

std::shared_ptr<CPptContainer> CStreamParser::BuildRecordTree(std::shared_ptr<const std::vector<uint8_t>> stream) {
    if (!stream) stream = std::make_shared<const std::vector<uint8_t>>();
    if (stream->size() > UINT32_MAX) PPT_PARSER_THROW(L"The \"PowerPoint Document\" stream is larger than 4 GB");
    CPptRecordDescriptor root;
    root.versionInstance = 0x000F;
    root.type = kRecordRoot;
    root.length = static_cast<uint32_t>(stream->size());
    root.ordinal = 0;
    root.data = stream->data();
    root.parent = nullptr;
    root.stream = stream;
    root.depth = 0;
    return std::dynamic_pointer_cast<CPptContainer>(CreatePptRecord(root));
}

}  // namespace libpptparser
