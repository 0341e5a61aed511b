// The storage and stream facades the parser sees.

#include "compoundfile/CompoundFile.h"

#include <algorithm>

namespace compoundfile {

CCompoundFileStorage::CCompoundFileStorage(const std::string& path)
    : m_reader(std::make_unique<CCompoundFileReader>(path)) {}

CCompoundFileStorage::CCompoundFileStorage(std::vector<uint8_t> image)
    : m_reader(std::make_unique<CCompoundFileReader>(std::move(image))) {}

CCompoundFileStorage::~CCompoundFileStorage() { m_reader->Close(); }

bool CCompoundFileStorage::Open() { return m_reader->Load() == kResultSuccess; }

int CCompoundFileStorage::GetResult() const { return m_reader->GetResult(); }

const std::string& CCompoundFileStorage::GetErrorText() const { return m_reader->GetErrorText(); }

bool CCompoundFileStorage::HasStream(const std::string& path) const {
    if (!m_reader->IsOpened()) return false;
    const int64_t index = m_reader->GetDirectory().Find(path);
    const CDirectoryEntry* entry = index < 0 ? nullptr : m_reader->GetDirectory().GetEntry(static_cast<size_t>(index));
    return entry && !entry->isStorage;
}

// ---------------------------------------------------------------------------------------------

CCompoundFileStream::CCompoundFileStream(const CCompoundFileStorage& storage, const std::string& path) {
    const CCompoundFileReader& reader = storage.GetReader();
    if (!reader.IsOpened()) {
        m_errorText = "the file is not open";
        return;
    }
    const int64_t index = reader.GetDirectory().Find(path);
    const CDirectoryEntry* entry = index < 0 ? nullptr : reader.GetDirectory().GetEntry(static_cast<size_t>(index));
    if (!entry) {
        m_errorText = "the stream \"" + path + "\" does not exist";
        return;
    }
    if (entry->isStorage) {
        m_errorText = "\"" + path + "\" is a storage, not a stream";
        return;
    }
    auto streamReader = std::make_unique<CCompoundStreamReader>(reader, *entry, path);
    if (streamReader->Failed()) {
        m_errorText = "the size of the stream \"" + path + "\" (" + std::to_string(entry->size) +
                      " bytes) exceeds the size of the file";
        return;
    }
    m_reader = std::move(streamReader);
}

CCompoundFileStream::~CCompoundFileStream() = default;

bool CCompoundFileStream::Failed() const { return !m_reader || m_reader->Failed(); }

uint64_t CCompoundFileStream::GetSize() const { return m_reader ? m_reader->GetSize() : 0; }

void CCompoundFileStream::Seek(uint64_t position) {
    if (m_reader) m_position = position;
}

uint64_t CCompoundFileStream::Read(void* buffer, uint64_t count) {
    if (!m_reader) return 0;
    const uint64_t got = m_reader->Read(m_position, static_cast<uint8_t*>(buffer), count);
    m_position += got;
    return got;
}

std::vector<uint8_t> CCompoundFileStream::ReadAll() {
    std::vector<uint8_t> bytes(static_cast<size_t>(GetSize()));
    Seek(0);
    bytes.resize(static_cast<size_t>(Read(bytes.data(), bytes.size())));
    return bytes;
}

}  // namespace compoundfile
