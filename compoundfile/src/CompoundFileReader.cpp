// Loading a compound file: header, allocation tables, directory and stream chains.

#include "compoundfile/CompoundFile.h"

#include "base/bytes/ByteView.h"

#include <algorithm>
#include <cstring>
#include <fstream>

namespace compoundfile {

namespace {

using base::bytes::ByteView;

constexpr size_t kDirectoryRecordSize = 128;

}  // namespace

// ---------------------------------------------------------------------------------------------

CCompoundFileHeader::CCompoundFileHeader() {
    std::fill(std::begin(allocationBlocks), std::end(allocationBlocks), CSectorAllocationTable::kFreeBlock);
}

void CCompoundFileHeader::Read(const uint8_t* bytes) {
    std::memcpy(signature, bytes, sizeof signature);
    const ByteView header(bytes, kSize);
    majorVersion = header.U16(26);
    bigBlockShift = header.U16(30);
    smallBlockShift = header.U16(32);
    allocationBlockCount = header.U32(44);
    directoryStart = header.U32(48);
    smallStreamThreshold = header.U32(56);
    smallAllocationStart = header.U32(60);
    smallAllocationBlockCount = header.U32(64);
    extensionStart = header.U32(68);
    extensionBlockCount = header.U32(72);
    for (size_t i = 0; i < kHeaderAllocationEntries; ++i) allocationBlocks[i] = header.U32(76 + 4 * i);
}

bool CCompoundFileHeader::HasSignature() const {
    static const uint8_t kSignature[8] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};
    return std::memcmp(signature, kSignature, sizeof kSignature) == 0;
}

// ---------------------------------------------------------------------------------------------

CSectorAllocationTable::CSectorAllocationTable() : m_blockSize(4096), m_entries(128, kFreeBlock) {}

void CSectorAllocationTable::Load(const std::vector<uint8_t>& buffer) {
    m_entries.assign(buffer.size() / 4, kFreeBlock);
    const ByteView table(buffer);
    for (size_t i = 0; i < m_entries.size(); ++i) m_entries[i] = table.U32(4 * i);
}

void CSectorAllocationTable::SetEntry(size_t i, uint32_t value) {
    if (i >= m_entries.size()) Resize(i + 1);
    m_entries[i] = value;
}

std::vector<uint32_t> CSectorAllocationTable::FollowChain(uint32_t start, uint64_t blockLimit) const {
    std::vector<uint32_t> chain;
    const uint64_t count = m_entries.size();
    if (start >= count) return chain;
    std::vector<bool> seen(m_entries.size(), false);
    uint32_t p = start;
    for (;;) {
        if (p == kEndOfChain || p == kAllocationBlock || p == kExtensionBlock || p >= count) break;
        if (p >= blockLimit || seen[p]) break;  // a block that cannot exist, or a cycle
        seen[p] = true;
        chain.push_back(p);
        if (m_entries[p] >= count) break;
        p = m_entries[p];
    }
    return chain;
}

// ---------------------------------------------------------------------------------------------

CDirectoryTree::CDirectoryTree() {
    CDirectoryEntry root;
    root.name = "Root Entry";
    m_entries.push_back(root);
}

void CDirectoryTree::Load(const std::vector<uint8_t>& buffer, bool wideSizes) {
    m_entries.clear();
    const size_t records = buffer.size() / kDirectoryRecordSize;
    m_entries.reserve(records);
    for (size_t r = 0; r < records; ++r) {
        const uint8_t* rec = buffer.data() + r * kDirectoryRecordSize;
        const ByteView fields(rec, kDirectoryRecordSize);
        CDirectoryEntry entry;
        const uint16_t nameLength = std::min<uint16_t>(fields.U16(64), 64);
        // Names are kept as the low bytes of their UTF-16 units; the format's stream names are ASCII.
        for (uint16_t off = 0; off < nameLength && rec[off] != 0; off += 2)
            entry.name.push_back(static_cast<char>(rec[off]));
        // Property-set streams start with a control character that is not part of the looked-up name.
        if (rec[0] < 32 && !entry.name.empty()) entry.name.erase(0, 1);
        const uint8_t type = rec[66];
        entry.isStorage = type != 2;
        entry.valid = (type == 1 || type == 2 || type == 5) && nameLength >= 1;
        entry.start = fields.U32(116);
        entry.size = fields.U32(120);
        if (wideSizes) entry.size |= static_cast<uint64_t>(fields.U32(124)) << 32;
        entry.previous = fields.U32(68);
        entry.next = fields.U32(72);
        entry.child = fields.U32(76);
        m_entries.push_back(std::move(entry));
    }
}

std::vector<uint32_t> CDirectoryTree::GetChildren(uint32_t index) const {
    std::vector<uint32_t> result;
    const CDirectoryEntry* parent = GetEntry(index);
    const size_t count = m_entries.size();
    if (!parent || !parent->valid || parent->child >= count) return result;

    // Pre-order walk of the sibling tree (self, previous subtree, next subtree) with an explicit
    // stack: a degenerate tree of many thousand entries must not exhaust the call stack.
    std::vector<bool> collected(count, false);
    std::vector<uint32_t> stack{parent->child};
    while (!stack.empty()) {
        const uint32_t i = stack.back();
        stack.pop_back();
        if (i >= count || collected[i] || !m_entries[i].valid) continue;
        collected[i] = true;
        result.push_back(i);
        const CDirectoryEntry& e = m_entries[i];
        if (e.next > 0 && e.next < count && !collected[e.next]) stack.push_back(e.next);
        if (e.previous > 0 && e.previous < count && !collected[e.previous]) stack.push_back(e.previous);
    }
    return result;
}

int64_t CDirectoryTree::Find(const std::string& path) const {
    if (path.empty() || m_entries.empty()) return -1;
    int64_t current = 0;
    size_t pos = 0;
    while (pos <= path.size()) {
        size_t slash = path.find('/', pos);
        if (slash == std::string::npos) slash = path.size();
        const std::string name = path.substr(pos, slash - pos);
        pos = slash + 1;
        if (name.empty()) continue;
        int64_t match = -1;
        for (uint32_t child : GetChildren(static_cast<uint32_t>(current))) {
            const CDirectoryEntry& e = m_entries[child];
            if (e.valid && e.name.size() > 1 && e.name == name) match = child;  // the last match wins
        }
        if (match < 0) return -1;
        current = match;
    }
    return current;
}

// ---------------------------------------------------------------------------------------------

struct CCompoundFileReader::FileHandle {
    std::ifstream in;
};

CCompoundFileReader::CCompoundFileReader(std::string path) : m_path(std::move(path)) {}

CCompoundFileReader::CCompoundFileReader(std::vector<uint8_t> image) : m_inMemory(true), m_image(std::move(image)) {}

CCompoundFileReader::~CCompoundFileReader() { Close(); }

void CCompoundFileReader::Close() {
    m_file.reset();
    m_opened = false;
}

int CCompoundFileReader::Fail(int result, std::string text) {
    m_result = result;
    m_errorText = std::move(text);
    m_file.reset();
    return result;
}

uint64_t CCompoundFileReader::GetBigBlockLimit() const {
    const uint64_t blockSize = m_bigBlocks.GetBlockSize();
    if (m_fileSize <= blockSize) return 0;
    return (m_fileSize - blockSize + blockSize - 1) / blockSize;
}

uint64_t CCompoundFileReader::ReadAt(uint64_t offset, uint8_t* buffer, uint64_t count) const {
    if (offset >= m_fileSize || count == 0) return 0;
    count = std::min(count, m_fileSize - offset);
    if (m_inMemory) {
        std::memcpy(buffer, m_image.data() + offset, static_cast<size_t>(count));
        return count;
    }
    if (!m_file) return 0;
    std::ifstream& in = m_file->in;
    in.clear();
    in.seekg(static_cast<std::streamoff>(offset));
    in.read(reinterpret_cast<char*>(buffer), static_cast<std::streamsize>(count));
    return static_cast<uint64_t>(std::max<std::streamsize>(in.gcount(), 0));
}

uint64_t CCompoundFileReader::ReadBigBlocks(const std::vector<uint32_t>& blocks, uint8_t* buffer,
                                            uint64_t maximum) const {
    if (!buffer || blocks.empty() || maximum == 0) return 0;
    const uint64_t blockSize = m_bigBlocks.GetBlockSize();
    uint64_t done = 0;
    for (uint32_t block : blocks) {
        if (done >= maximum) break;
        const uint64_t want = std::min(blockSize, maximum - done);
        const uint64_t got = ReadAt(blockSize * (static_cast<uint64_t>(block) + 1), buffer + done, want);
        done += got;
        if (got < want) break;  // past the end of a truncated file: nothing after a hole is usable
    }
    return done;
}

uint64_t CCompoundFileReader::ReadSmallBlocks(const std::vector<uint32_t>& blocks, uint8_t* buffer,
                                              uint64_t maximum) const {
    if (!buffer || blocks.empty() || maximum == 0) return 0;
    const uint64_t bigSize = m_bigBlocks.GetBlockSize();
    const uint64_t smallSize = m_smallBlocks.GetBlockSize();
    uint64_t done = 0;
    for (uint32_t block : blocks) {
        if (done >= maximum) break;
        const uint64_t position = static_cast<uint64_t>(block) * smallSize;
        const uint64_t bigIndex = position / bigSize;
        if (bigIndex >= m_smallStreamBlocks.size()) break;
        const uint64_t within = position % bigSize;
        const uint64_t want = std::min({maximum - done, bigSize - within, smallSize});
        const uint64_t offset = bigSize * (static_cast<uint64_t>(m_smallStreamBlocks[bigIndex]) + 1) + within;
        const uint64_t got = ReadAt(offset, buffer + done, want);
        done += got;
        if (got < want) break;
    }
    return done;
}

std::vector<uint8_t> CCompoundFileReader::ReadChain(const std::vector<uint32_t>& blocks) const {
    // Chains are bounded by the blocks the file can hold, so this is at most the file's size.
    std::vector<uint8_t> buffer(blocks.size() * static_cast<size_t>(m_bigBlocks.GetBlockSize()));
    buffer.resize(ReadBigBlocks(blocks, buffer.data(), buffer.size()));
    return buffer;
}

int CCompoundFileReader::Load() {
    Close();
    m_result = kResultCannotOpen;
    m_errorText.clear();
    m_header = CCompoundFileHeader();
    m_directory = CDirectoryTree();
    m_bigBlocks = CSectorAllocationTable();
    m_smallBlocks = CSectorAllocationTable();
    m_smallStreamBlocks.clear();

    // 1. Open.
    if (m_inMemory) {
        m_fileSize = m_image.size();
    } else {
        m_file = std::make_unique<FileHandle>();
        m_file->in.open(m_path, std::ios::binary);
        if (!m_file->in.good()) return Fail(kResultCannotOpen, "the file cannot be opened");
        m_file->in.seekg(0, std::ios::end);
        const std::streamoff end = m_file->in.tellg();
        if (end < 0) return Fail(kResultCannotOpen, "the file cannot be read");
        m_fileSize = static_cast<uint64_t>(end);
    }

    // 2-3. Header and signature.
    uint8_t headerBytes[CCompoundFileHeader::kSize] = {};
    const uint64_t headerRead = ReadAt(0, headerBytes, sizeof headerBytes);
    m_header.Read(headerBytes);
    if (headerRead < 8 || !m_header.HasSignature())
        return Fail(kResultNotCompoundFile, "the file is not a compound file (wrong signature)");

    // 4. Validity of the header; every count must fit in the file that is actually there.
    const CCompoundFileHeader& h = m_header;
    if (headerRead < CCompoundFileHeader::kSize)
        return Fail(kResultDamaged, "the file is shorter than the compound-file header");
    if (h.bigBlockShift != 9 && h.bigBlockShift != 12)
        return Fail(kResultDamaged, "the block size shift " + std::to_string(h.bigBlockShift) + " is not 9 or 12");
    if (h.smallBlockShift != 6)
        return Fail(kResultDamaged, "the small block size shift " + std::to_string(h.smallBlockShift) + " is not 6");
    if (h.smallStreamThreshold != 4096)
        return Fail(kResultDamaged,
                    "the small stream threshold " + std::to_string(h.smallStreamThreshold) + " is not 4096");
    if (h.allocationBlockCount == 0) return Fail(kResultDamaged, "the file has no allocation table");

    m_bigBlocks.SetBlockSize(1u << h.bigBlockShift);
    m_smallBlocks.SetBlockSize(1u << h.smallBlockShift);
    const uint64_t blockSize = m_bigBlocks.GetBlockSize();
    const uint64_t blockLimit = GetBigBlockLimit();
    const uint64_t perExtension = blockSize / 4 - 1;

    if (h.allocationBlockCount > CCompoundFileHeader::kHeaderAllocationEntries &&
        h.allocationBlockCount > CCompoundFileHeader::kHeaderAllocationEntries + perExtension * h.extensionBlockCount)
        return Fail(kResultDamaged, "the allocation table has more blocks than its extension blocks can list");
    if (h.allocationBlockCount < CCompoundFileHeader::kHeaderAllocationEntries && h.extensionBlockCount != 0)
        return Fail(kResultDamaged, "the header lists extension blocks that the allocation table does not need");
    if (h.allocationBlockCount > blockLimit)
        return Fail(kResultDamaged, "the allocation table (" + std::to_string(h.allocationBlockCount) +
                                        " blocks) is larger than the file");
    if (h.extensionBlockCount > blockLimit)
        return Fail(kResultDamaged, "the header counts more extension blocks than the file holds");
    if (h.smallAllocationBlockCount > blockLimit)
        return Fail(kResultDamaged, "the header counts more small allocation blocks than the file holds");

    // 6-7. The list of allocation-table blocks: the header's first 109, then the extension chain.
    std::vector<uint32_t> tableBlocks(h.allocationBlockCount, CSectorAllocationTable::kFreeBlock);
    for (size_t i = 0; i < tableBlocks.size() && i < CCompoundFileHeader::kHeaderAllocationEntries; ++i)
        tableBlocks[i] = h.allocationBlocks[i];
    if (h.allocationBlockCount > CCompoundFileHeader::kHeaderAllocationEntries && h.extensionBlockCount != 0) {
        size_t fill = CCompoundFileHeader::kHeaderAllocationEntries;
        uint32_t block = h.extensionStart;
        std::vector<uint8_t> buffer(blockSize);
        const ByteView extension(buffer);
        std::vector<uint32_t> seen;
        for (uint32_t n = 0; n < h.extensionBlockCount && block != CSectorAllocationTable::kEndOfChain; ++n) {
            if (block >= blockLimit || std::find(seen.begin(), seen.end(), block) != seen.end()) break;
            seen.push_back(block);
            if (ReadBigBlocks({block}, buffer.data(), blockSize) < blockSize) break;
            for (uint64_t off = 0; off < blockSize - 4 && fill < tableBlocks.size(); off += 4)
                tableBlocks[fill++] = extension.U32(off);
            block = extension.U32(blockSize - 4);
        }
    }

    // 8. The big-block table. Blocks missing from a truncated file read as free entries.
    {
        std::vector<uint8_t> buffer(tableBlocks.size() * blockSize, 0xFF);
        for (size_t i = 0; i < tableBlocks.size(); ++i)
            ReadBigBlocks({tableBlocks[i]}, buffer.data() + i * blockSize, blockSize);
        m_bigBlocks.Load(buffer);
    }

    // 9. The small-block table.
    {
        std::vector<uint8_t> buffer = ReadChain(m_bigBlocks.FollowChain(h.smallAllocationStart, blockLimit));
        if (!buffer.empty()) m_smallBlocks.Load(buffer);
    }

    // 10. The directory, and the big blocks that hold the small-block stream.
    {
        std::vector<uint8_t> buffer = ReadChain(m_bigBlocks.FollowChain(h.directoryStart, blockLimit));
        if (buffer.size() < kDirectoryRecordSize) return Fail(kResultDamaged, "the directory is missing");
        m_directory.Load(buffer, h.bigBlockShift == 12);
        m_smallStreamBlocks = m_bigBlocks.FollowChain(ByteView(buffer).U32(116), blockLimit);
    }

    m_result = kResultSuccess;
    m_opened = true;
    return m_result;
}

// ---------------------------------------------------------------------------------------------

CCompoundStreamReader::CCompoundStreamReader(const CCompoundFileReader& reader, const CDirectoryEntry& entry,
                                             std::string path)
    : m_reader(reader), m_entry(entry), m_path(std::move(path)) {
    m_small = entry.size < reader.GetHeader().smallStreamThreshold;
    if (m_small) {
        // Small blocks live in the small-block stream; more cannot exist than it can hold.
        const uint64_t perBig = reader.GetBigBlockTable().GetBlockSize() / reader.GetSmallBlockTable().GetBlockSize();
        m_blocks = reader.GetSmallBlockTable().FollowChain(entry.start, reader.GetSmallStreamBlocks().size() * perBig);
    } else {
        if (entry.size > reader.GetFileSize()) {
            m_failed = true;
            return;
        }
        m_blocks = reader.GetBigBlockTable().FollowChain(entry.start, reader.GetBigBlockLimit());
    }
}

uint64_t CCompoundStreamReader::Read(uint64_t position, uint8_t* buffer, uint64_t count) const {
    if (!buffer || count == 0 || m_failed || position >= m_entry.size) return 0;
    count = std::min(count, m_entry.size - position);
    const uint64_t b =
        m_small ? m_reader.GetSmallBlockTable().GetBlockSize() : m_reader.GetBigBlockTable().GetBlockSize();
    uint64_t index = position / b;
    uint64_t offset = position % b;
    uint64_t done = 0;
    std::vector<uint8_t> block(b);
    while (done < count && index < m_blocks.size()) {
        const uint64_t take = std::min(b - offset, count - done);
        uint64_t got;
        if (offset == 0 && take == b) {
            got = m_small ? m_reader.ReadSmallBlocks({m_blocks[index]}, buffer + done, b)
                          : m_reader.ReadBigBlocks({m_blocks[index]}, buffer + done, b);
        } else {
            const uint64_t whole = m_small ? m_reader.ReadSmallBlocks({m_blocks[index]}, block.data(), b)
                                           : m_reader.ReadBigBlocks({m_blocks[index]}, block.data(), b);
            got = whole > offset ? std::min(take, whole - offset) : 0;
            if (got) std::memcpy(buffer + done, block.data() + offset, static_cast<size_t>(got));
        }
        done += got;
        if (got < take) break;
        offset = 0;
        ++index;
    }
    return done;
}

}  // namespace compoundfile
