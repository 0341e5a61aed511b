#include "libpptparser/StreamParser.h"

#include "compoundfile/CompoundFile.h"
#include "libpptparser/PptParserException.h"
#include "libpptparser/PptStrings.h"

namespace libpptparser {

namespace {

const char kDocumentStream[] = "PowerPoint Document";
const char kCurrentUserStream[] = "Current User";
const char kDualStorage[] = "PP97_DUALSTORAGE";
// The header token of the current-user record of an encrypted presentation.
constexpr uint32_t kEncryptedToken = 0xF3D1C4DF;

std::vector<uint8_t> ReadStream(const compoundfile::CCompoundFileStorage& storage, const std::string& name) {
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

std::string CStreamParser::GetStreamPath(const std::string& name) const {
    return m_presentationStorage.empty() ? name : m_presentationStorage + "/" + name;
}

namespace {

// True when the storage's "Current User" stream starts with the current-user record of the
// 97-2003 format; `encrypted` tells whether that record marks the presentation as encrypted.
bool HasCurrentUserAtom(const compoundfile::CCompoundFileStorage& storage, const std::string& path, bool& encrypted) {
    const std::vector<uint8_t> user = ReadStream(storage, path);
    const CPptByteView userBytes(user.data(), user.size());
    const bool has = userBytes.Has(0, 16) && userBytes.U16(2) == kRecordCurrentUserAtom;
    encrypted = has && userBytes.U32(12) == kEncryptedToken;
    return has;
}

}  // namespace

void CStreamParser::ChoosePresentationStorage() {
    const compoundfile::CCompoundFileStorage& storage = *m_storage;
    m_presentationStorage.clear();

    // The current-user record tells the format's own files apart and marks encrypted ones.
    bool encrypted = false;
    bool hasCurrentUserAtom = HasCurrentUserAtom(storage, kCurrentUserStream, encrypted);
    const bool hasDocument = storage.HasStream(kDocumentStream);

    // A PowerPoint 95 file saved for both versions keeps the whole 97-2003 presentation (its
    // record stream, current user and pictures) in a storage of its own; that one is read.
    if (hasDocument && !hasCurrentUserAtom && storage.HasStream("Header")) {
        const std::string dual = kDualStorage;
        bool dualEncrypted = false;
        if (storage.HasStream(dual + "/" + kDocumentStream) &&
            HasCurrentUserAtom(storage, dual + "/" + kCurrentUserStream, dualEncrypted)) {
            m_presentationStorage = dual;
            hasCurrentUserAtom = true;
            encrypted = dualEncrypted;
        }
    }

    if (storage.HasStream("EncryptedPackage") || storage.HasStream("EncryptionInfo") ||
        storage.HasStream("EncryptedSummary") || storage.HasStream(GetStreamPath("EncryptedSummary")) || encrypted)
        throw CPptParserException(
            L"The presentation is encrypted (protected by a password); encrypted presentations cannot be read",
            CPptParserException::kEncrypted);

    if (!hasDocument && storage.HasStream("PP40"))
        throw CPptParserException(
            L"The file is a PowerPoint 4.0 presentation; only PowerPoint 97-2003 presentations can be read",
            CPptParserException::kOlderFormat);
    if (hasDocument && !hasCurrentUserAtom && storage.HasStream("Header"))
        throw CPptParserException(
            L"The file is a PowerPoint 95 presentation; only PowerPoint 97-2003 presentations can be read",
            CPptParserException::kOlderFormat);
}

void CStreamParser::Parse() {
    m_root.reset();
    m_stream.reset();
    m_directory.reset();
    m_presentationStorage.clear();

    if (!m_storage->Open()) {
        switch (m_storage->GetResult()) {
        case compoundfile::kResultNotCompoundFile:
            throw CPptParserException(L"Failed to open file: it is not a PowerPoint 97-2003 presentation (" +
                                          Utf8ToWide(m_storage->GetErrorText()) + L")",
                                      CPptParserException::kNotPresentation);
        case compoundfile::kResultDamaged:
            throw CPptParserException(L"Failed to open file: the compound file is damaged (" +
                                      Utf8ToWide(m_storage->GetErrorText()) + L")");
        default:
            throw CPptParserException(L"Failed to open file", CPptParserException::kCannotOpen);
        }
    }

    ChoosePresentationStorage();

    const std::string documentPath = GetStreamPath(kDocumentStream);
    compoundfile::CCompoundFileStream stream(*m_storage, documentPath);
    if (stream.Failed()) {
        if (!m_storage->HasStream(documentPath))
            throw CPptParserException(L"No \"PowerPoint Document\" stream", CPptParserException::kNotPresentation);
        throw CPptParserException(L"The \"PowerPoint Document\" stream is damaged: " +
                                  Utf8ToWide(stream.GetErrorText()));
    }
    auto bytes = std::make_shared<std::vector<uint8_t>>(stream.ReadAll());
    if (bytes->size() < stream.GetSize())
        PPT_PARSER_THROW(L"The \"PowerPoint Document\" stream is truncated: " + std::to_wstring(bytes->size()) +
                         L" of its " + std::to_wstring(stream.GetSize()) + L" bytes are in the file");
    m_stream = bytes;
    m_root = BuildRecordTree(m_stream);
    m_directory = std::make_shared<CPersistDirectory>(ReadStream(*m_storage, GetStreamPath(kCurrentUserStream)),
                                                      *m_stream, m_root);
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
